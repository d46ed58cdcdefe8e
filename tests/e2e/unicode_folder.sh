#!/usr/bin/env bash
# The program under a user profile whose name no ANSI code page holds ("Юлия 陈", Cyrillic and
# Chinese, where Wine's ANSI code page is 1252), installed there by the installer, as a user of
# an English Windows meets it: started from its folder as the Start menu entry starts it, it
# draws, sets the frame as the wallpaper by its full name and redraws; its settings preview and
# a cloud map from a loopback mirror land in that folder; started as the login start starts it
# ("/install" from elsewhere) it draws again; and the uninstaller, through "/uninstall", takes
# the picture off the desktop and leaves no file behind. Prints the times to the first frames.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"
: "${ORBISCAPE_SETUP:?}"

readonly kProfile='C:\users\Юлия 陈'
readonly kShellFolders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
readonly kRunKey='Software\Microsoft\Windows\CurrentVersion\Run'
readonly kUpdateFreq=2000
readonly kDialog="Orbiscape" kOptions=$(e2e_id ID_OPTIONS) kCancel=$(e2e_id IDCANCEL)

frame_is_wallpaper() { [ "$(e2e_probe wallpaper)" = "$install_folder\\current.bmp" ]; }
folder_gone() { [ ! -e "$E2E_INSTALL" ]; }

e2e_begin_session unicode-folder
e2e_open_desktop
# The profile's local application data, where the installer puts the program.
for key in 'User Shell Folders' 'Shell Folders'; do
    timeout 60 wine reg add "$kShellFolders\\$key" /v 'Local AppData' /d "$kProfile\\AppData\\Local" /f >/dev/null
done
install_folder="$kProfile\\AppData\\Local\\Programs\\Orbiscape"
E2E_INSTALL=$(winepath -u "$install_folder" 2>/dev/null)
E2E_COMMAND_FOLDER=$E2E_DIR
echo "   installing into $install_folder"
e2e_require "the silent installation with /NOSTART succeeds" e2e_wine "$ORBISCAPE_SETUP" /S /NOSTART
e2e_check "the program is installed under the profile" test -f "$E2E_INSTALL/orbiscape.exe"
login_start=$(e2e_probe registry-string "$kRunKey" Orbiscape)
e2e_check_equal "the login start names the program by its full name" "\"$install_folder\\orbiscape.exe\" /install" \
    "$login_start"
E2E_COMMAND_FOLDER=$E2E_INSTALL

e2e_make_cloud_maps
e2e_start_mirror
e2e_set_dword CenterOn 0
e2e_set_dword UpdateFreq $kUpdateFreq
e2e_set_dword AutoUpdateClouds 1
e2e_set_qword CloudsLastUpdated 0
e2e_set_urls "http://$kMirror$kMapPath"

# Started from its folder, as the Start menu entry starts it.
started=$SECONDS
e2e_start_program
e2e_wait_for_first_frame
from_folder=$((SECONDS - started))
e2e_check "the wallpaper is the frame, named by its full path" frame_is_wallpaper
e2e_check_equal "the frame has the screen's size" "1280 1024" "$(e2e_probe bitmap-size current.bmp)"
first_frame=$(e2e_frame_stamp)
e2e_check "a timed redraw replaces the frame" e2e_wait 30 e2e_frame_replaced "$first_frame"

e2e_require "the cloud map is installed in the folder" e2e_wait 60 e2e_map_installed
e2e_check "clouds-2560.bmp shows the served map" e2e_is_map clouds-2560.bmp "$E2E_DIR/served-2560.bmp"

e2e_require "the tray's Options command is delivered" e2e_probe choose-tray-command $kOptions
e2e_require "the settings dialog opens" e2e_wait 60 e2e_settings_dialog_open
e2e_check "the preview is shown" e2e_wait 30 e2e_settings_preview_shown
e2e_check "the preview is written in the folder" test -s "$E2E_INSTALL/preview.bmp"
e2e_screenshot settings-dialog-in-unicode-folder
e2e_require "Cancel is pressed" e2e_probe dialog-click "$kDialog" $kCancel
e2e_check "the dialog closes" e2e_wait 30 e2e_settings_dialog_closed

e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
e2e_check "the program ends after Exit" e2e_wait 30 e2e_program_gone

# Started as the login start starts it: "/install" from another folder.
program=${login_start%\" /install}
program=${program#\"}
E2E_COMMAND_FOLDER=$E2E_DIR
last_frame=$(e2e_frame_stamp)
started=$SECONDS
e2e_check "\"/install\" from another folder returns" e2e_wine "$program" /install
E2E_COMMAND_FOLDER=$E2E_INSTALL
e2e_require "a new frame is drawn and set as the wallpaper" \
    e2e_wait 120 orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL" "$last_frame"
by_login_start=$((SECONDS - started))
e2e_check "the wallpaper is the frame again" frame_is_wallpaper
echo "   first frame after $from_folder s from the folder, after $by_login_start s by the login start"

# The uninstaller runs "/uninstall", which ends the program, takes the picture away and deletes
# the working files; only then can the folder go.
E2E_COMMAND_FOLDER=$E2E_DIR
e2e_check "the silent uninstallation succeeds" e2e_wine "$E2E_INSTALL/uninstall.exe" /S
e2e_check "the program ends" e2e_wait 30 e2e_program_gone
e2e_check "the install folder is removed, working files and all" e2e_wait 30 folder_gone
[ ! -e "$E2E_INSTALL" ] || echo "   left in the install folder:" $(ls -A "$E2E_INSTALL")
e2e_check_equal "the wallpaper is taken away" "" "$(e2e_probe wallpaper)"
