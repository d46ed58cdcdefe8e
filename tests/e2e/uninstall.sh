#!/usr/bin/env bash
# "/uninstall", given from another folder while the program runs: the running copy ends, the
# wallpaper is taken away and the ten working files are deleted, while the stored settings, the
# pictures and the seed cloud map stay.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

# The program never writes these three itself: they are made here, so that their removal shows.
readonly kMadePreviewFiles=(preview-day.bmp preview-night.bmp preview-clouds.bmp)

all_present() {
    local file
    for file in "$@"; do
        [ -f "$E2E_INSTALL/$file" ] || return 1
    done
}

e2e_begin uninstall
e2e_set_dword CenterOn 0
e2e_start_program
e2e_wait_for_first_frame
for file in preview.bmp "${kMadePreviewFiles[@]}"; do
    cp "$E2E_INSTALL/current.bmp" "$E2E_INSTALL/$file"
done
e2e_require "all ten working files are there before" all_present "${E2E_WORKING_FILES[@]}"
mapfile -t pictures < <(cd "$E2E_INSTALL" && ls -- *.jpg)

# Files of the same names in the folder the command is given from are someone else's.
elsewhere="$E2E_DIR/elsewhere"
mkdir -p "$elsewhere"
for file in "${E2E_WORKING_FILES[@]}"; do
    echo "not the program's" >"$elsewhere/$file"
done
(cd "$elsewhere" && timeout 60 wine "$E2E_INSTALL/orbiscape.exe" /uninstall) >"$E2E_DIR/uninstall.log" 2>&1 &&
    uninstalled=0 || uninstalled=$?
e2e_check_equal "orbiscape.exe /uninstall finishes" 0 "$uninstalled"

e2e_check "the running copy ends" e2e_wait 30 e2e_program_gone
e2e_check "the window OrbiscapeCommandSink is gone" e2e_not e2e_window_exists OrbiscapeCommandSink
e2e_check "the ten working files are gone" e2e_none_present "${E2E_WORKING_FILES[@]}"
e2e_check "the files of the folder it was given from stay" bash -c 'cd "$1" && shift && ls -- "$@" >/dev/null' \
    _ "$elsewhere" "${E2E_WORKING_FILES[@]}"
e2e_check "the pictures and the seed cloud map stay" all_present "${pictures[@]}"
e2e_check_equal "all 33 pictures are still there" 33 "${#pictures[@]}"
settings_stay() { e2e_wine reg query "$E2E_SETTINGS_KEY" /v CenterOn >/dev/null 2>&1; }
e2e_check "the settings key stays" settings_stay
e2e_check_equal "the wallpaper is taken away" "" "$(e2e_probe wallpaper)"
e2e_check_equal "the wallpaper is no longer tiled" 0 "$(e2e_reg_value 'HKCU\Control Panel\Desktop' TileWallpaper)"
