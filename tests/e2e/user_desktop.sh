#!/usr/bin/env bash
# A user's own desktop, as it differs from a bare test desktop: the user has a wallpaper of their
# own (a centred picture in their profile, under folders named in two alphabets), the display
# changes size, and the computer wakes from sleep. With a redraw period of an hour:
# - the frame replaces the user's wallpaper, which is remembered, letters and placement unchanged;
# - a smaller display, and then the larger one again, each give a frame of the new size;
# - the wake broadcast gives a new frame at once;
# - a switch to Active Desktop mode puts the user's wallpaper back, and the switch back to the
#   wallpaper remembers it again;
# - a restart finds the frame on the desktop and does not take it for the user's;
# - "/uninstall" puts the user's wallpaper back as it was.
# The times from the display changes and the wake to their frames are shown.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

readonly kDesktopKey='Control Panel\Desktop' kProgramKey='Software\Orbiscape'
readonly kCaption=Orbiscape kRefusal="Could not query Active Deskop component options."
readonly kScreenSize="1280 1024" kSmallScreen="1024 768"

desktop_text() { e2e_probe registry-string "$kDesktopKey" "$1"; }
remembered() { e2e_probe registry-string "$kProgramKey" "$1"; }

# check_user_wallpaper_back WHEN: the user's picture is the wallpaper again, centred as before.
check_user_wallpaper_back() {
    e2e_check_equal "$1: the user's picture is the wallpaper again" "$user_picture" "$(e2e_probe wallpaper)"
    e2e_check_equal "$1: it is stored in the profile" "$user_picture" "$(desktop_text Wallpaper)"
    e2e_check_equal "$1: it is centred again" "0 0" "$(desktop_text WallpaperStyle) $(desktop_text TileWallpaper)"
    e2e_check "$1: nothing stays remembered" e2e_not remembered UserWallpaper
}

# check_remembered WHEN: the user's wallpaper is remembered under the program's key, unchanged.
check_remembered() {
    e2e_check_equal "$1: the user's picture is remembered with every letter, and its placement" \
        "$(printf 'Wallpaper=%s\nWallpaperStyle=0\nTileWallpaper=0' "$user_picture")" "$(remembered UserWallpaper)"
}

# answer_apply_refusal: Wine's Active Desktop refuses the item, which an apply says once.
answer_apply_refusal() {
    e2e_require "the apply into Active Desktop mode speaks" e2e_wait 60 e2e_message_box_open
    e2e_check_equal "its message box says the options cannot be read" "$kRefusal" \
        "$(e2e_probe answer-message-box "$kCaption" 10000)"
}

e2e_begin user-desktop
e2e_set_dword CenterOn 0
e2e_set_dword Clouds 0
e2e_set_dword UpdateFreq 3600000

# The user's picture, centred on the desktop before the program ever runs.
e2e_set_user_wallpaper "Фото 旅行/море.bmp" orange-purple
user_picture=$E2E_USER_PICTURE
e2e_probe registry-set-text "$kDesktopKey" WallpaperStyle 0
e2e_probe registry-set-text "$kDesktopKey" TileWallpaper 0
echo "   before: $(e2e_probe wallpaper), style $(desktop_text WallpaperStyle), tiled $(desktop_text TileWallpaper)"
e2e_check_equal "before: the user's picture is the wallpaper" "$user_picture" "$(e2e_probe wallpaper)"

e2e_start_program
e2e_wait_for_first_frame
echo "   during: $(e2e_probe wallpaper), style $(desktop_text WallpaperStyle), tiled $(desktop_text TileWallpaper)"
e2e_check_equal "during: the frame is tiled over the screen" "0 1" \
    "$(desktop_text WallpaperStyle) $(desktop_text TileWallpaper)"
check_remembered "the first start"
e2e_screenshot during

# A smaller display, then the first size again: each change gives one frame of the new size.
for size in "$kSmallScreen" "$kScreenSize"; do
    stamp=$(e2e_frame_stamp)
    changed=$(e2e_probe change-display $size)
    e2e_require "the display becomes ${size/ /x}" test -n "$changed"
    e2e_check "a new frame follows the change to ${size/ /x}" e2e_wait 30 e2e_frame_replaced "$stamp"
    e2e_check_equal "the new frame is ${size/ /x}" "$size" "$(e2e_frame_size)"
    echo "   display change to ${size/ /x}: the frame followed after $(e2e_seconds_to_frame "$changed") s"
done
e2e_screenshot display-changes

# The wake broadcast, an hour before the next timed redraw.
stamp=$(e2e_frame_stamp)
sent=$(e2e_probe broadcast-resume)
e2e_require "the wake broadcast is sent" test -n "$sent"
e2e_check "the wake gives a new frame" e2e_wait 30 e2e_frame_replaced "$stamp"
echo "   wake: the frame followed after $(e2e_seconds_to_frame "$sent") s"
e2e_check_equal "the wake's frame covers the screen" "$kScreenSize" "$(e2e_frame_size)"

# Into Active Desktop mode, whose item Wine refuses, and back.
e2e_set_dword ActiveDesktop 1
e2e_require "an apply command is delivered" e2e_probe choose-tray-command "$(e2e_id ID_APPLY_SETTINGS)"
answer_apply_refusal
check_user_wallpaper_back "Active Desktop mode"
e2e_screenshot active-desktop-mode
e2e_set_dword ActiveDesktop 0
stamp=$(e2e_frame_stamp)
e2e_require "an apply command is delivered" e2e_probe choose-tray-command "$(e2e_id ID_APPLY_SETTINGS)"
e2e_check "back in wallpaper mode the frame is the wallpaper" e2e_wait 60 orbiscape_frame_shown \
    "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL" "$stamp"
check_remembered "back in wallpaper mode"

# A new start, as at the next login, finds its own frame on the desktop.
e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
e2e_require "the program ends" e2e_wait 30 e2e_program_gone
stamp=$(e2e_frame_stamp)
e2e_start_program
e2e_check "the restarted program draws its frame" e2e_wait 120 orbiscape_frame_shown \
    "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL" "$stamp"
check_remembered "the restart"

e2e_wine orbiscape.exe /uninstall >"$E2E_DIR/uninstall.log" 2>&1
e2e_check "/uninstall ends the program" e2e_wait 30 e2e_program_gone
echo "   after: $(e2e_probe wallpaper), style $(desktop_text WallpaperStyle), tiled $(desktop_text TileWallpaper)"
check_user_wallpaper_back "after /uninstall"
e2e_screenshot after-uninstall || true
