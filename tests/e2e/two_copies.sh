#!/usr/bin/env bash
# The user's wallpaper through two copies of the program and through Windows' default placement.
# - Two copies: the user's picture is centred. Copy A, unpacked in one folder, runs and ends;
#   copy B, unpacked in another, runs and ends; folder A is deleted; B's "/uninstall" puts the
#   user's picture back, centred. B never takes A's frame for the user's wallpaper.
# - Missing placement: the user's picture has neither "WallpaperStyle" nor "TileWallpaper", as
#   Windows keeps its defaults (centred, not tiled). A copy runs and ends; "/uninstall" puts the
#   picture back with both values missing again, not tiled as the frame was.
# The wallpaper before, during and after is shown for each.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

readonly kDesktopKey='Control Panel\Desktop' kProgramKey='Software\Orbiscape'

desktop_text() { e2e_probe registry-string "$kDesktopKey" "$1" || echo "(missing)"; }
remembered() { e2e_probe registry-string "$kProgramKey" UserWallpaper || echo "(nothing)"; }
placement() { echo "style $(desktop_text WallpaperStyle), tiled $(desktop_text TileWallpaper)"; }
show() { echo "   $1: $(e2e_probe wallpaper), $(placement)"; }

# shows_frame_of FOLDER: the wallpaper is the frame in FOLDER, not another copy's.
shows_frame_of() {
    [[ "$(e2e_probe wallpaper)" == *"\\$(basename "$1")\\current.bmp" ]]
}

# run_copy FOLDER NAME: the copy in FOLDER runs until its frame is the wallpaper, then E&xit.
run_copy() {
    E2E_INSTALL=$1
    e2e_start_program
    e2e_require "copy $2's frame becomes the wallpaper" e2e_wait 120 shows_frame_of "$1"
    show "during copy $2"
    e2e_check_equal "copy $2's frame is tiled over the screen" "style 0, tiled 1" "$(placement)"
    e2e_check_equal "the user's wallpaper is remembered while copy $2 runs" "$expected_record" "$(remembered)"
    e2e_require "copy $2's exit command is delivered" e2e_probe choose-tray-exit
    e2e_require "copy $2 ends" e2e_wait 30 e2e_program_gone
}

# uninstall FOLDER CASE: FOLDER's "/uninstall", given from the scenario's own folder.
uninstall() {
    (cd "$E2E_DIR" && timeout 60 wine "$1/orbiscape.exe" /uninstall) >"$E2E_DIR/uninstall.log" 2>&1 &&
        uninstalled=0 || uninstalled=$?
    e2e_check_equal "/uninstall finishes ($2)" 0 "$uninstalled"
    show "after ($2)"
    e2e_check_equal "the user's picture is the wallpaper again ($2)" "$user_picture" "$(e2e_probe wallpaper)"
    e2e_check_equal "it is stored in the profile ($2)" "$user_picture" "$(desktop_text Wallpaper)"
    e2e_check_equal "nothing stays remembered ($2)" "(nothing)" "$(remembered)"
}

e2e_begin two-copies
# Folder A goes while the desktop and the probe run elsewhere.
E2E_COMMAND_FOLDER=$E2E_DIR
e2e_open_desktop
copy_a=$E2E_INSTALL
copy_b="$E2E_DIR/копия B"
orbiscape_lay_out_install "$copy_b" "$ORBISCAPE_EXE" "$ORBISCAPE_SOURCE_DIR/data"
e2e_set_dword CenterOn 0
e2e_set_dword Clouds 0
e2e_set_dword UpdateFreq 3600000

e2e_set_user_wallpaper Küste.bmp teal-gold
user_picture=$E2E_USER_PICTURE

echo "-- Two copies, the user's picture centred"
e2e_probe registry-set-text "$kDesktopKey" WallpaperStyle 0
e2e_probe registry-set-text "$kDesktopKey" TileWallpaper 0
expected_record=$(printf 'Wallpaper=%s\nWallpaperStyle=0\nTileWallpaper=0' "$user_picture")
show before
run_copy "$copy_a" A
run_copy "$copy_b" B
rm -rf "$copy_a"
e2e_require "folder A is gone" test ! -e "$copy_a"
uninstall "$copy_b" "two copies"
e2e_check_equal "it is centred again (two copies)" "style 0, tiled 0" "$(placement)"
e2e_screenshot after-two-copies

echo "-- Windows' default placement: both values missing"
timeout 60 wine reg delete "HKCU\\$kDesktopKey" /v WallpaperStyle /f >/dev/null 2>&1
timeout 60 wine reg delete "HKCU\\$kDesktopKey" /v TileWallpaper /f >/dev/null 2>&1
expected_record="Wallpaper=$user_picture"
show before
orbiscape_lay_out_install "$copy_a" "$ORBISCAPE_EXE" "$ORBISCAPE_SOURCE_DIR/data"
run_copy "$copy_a" A
uninstall "$copy_a" "missing placement"
e2e_check_equal "both placement values are missing again" "style (missing), tiled (missing)" "$(placement)"
e2e_screenshot after-missing-placement
