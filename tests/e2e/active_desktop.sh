#!/usr/bin/env bash
# Active Desktop mode on Wine, whose shell object is created but refuses every call the item
# needs: each apply tells the user once that the desktop item options cannot be read, and
# nothing more; "current.bmp" is still drawn at the chosen size, every timed redraw rewrites it
# quietly, and the program keeps running. A wallpaper of the user's stays as it is, since it is
# not the program's frame. Leaving the mode makes the frame the wallpaper again.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

readonly kCaption=Orbiscape
readonly kRefusal="Could not query Active Deskop component options."
readonly kItemSize="800 600" kScreenSize="1280 1024"

new_frame() { [ "$(orbiscape_frame_stamp "$E2E_INSTALL")" != "$1" ]; }

# answer_apply_refusal WHICH: the one message box of an apply, answered with OK.
answer_apply_refusal() {
    e2e_require "the $1 apply speaks" e2e_wait 120 e2e_message_box_open
    local text
    text=$(e2e_probe answer-message-box "$kCaption" 10000) && answered=yes || answered=no
    e2e_check_equal "the $1 apply's message box is answered with OK" yes "$answered"
    e2e_check_equal "the $1 apply says the component options cannot be read" "$kRefusal" "$text"
}

# quiet_redraws COUNT: COUNT new frames at the item's size, and no message box meanwhile.
quiet_redraws() {
    local i stamp
    for ((i = 1; i <= $1; i++)); do
        stamp=$(orbiscape_frame_stamp "$E2E_INSTALL")
        e2e_check "timed redraw $i rewrites current.bmp" e2e_wait 30 new_frame "$stamp"
        e2e_check "timed redraw $i asks nothing" e2e_not e2e_message_box_open
    done
    e2e_check_equal "the timed redraws keep the item's size" "$kItemSize" "$(e2e_frame_size)"
}

e2e_begin active-desktop
e2e_set_dword CenterOn 0
e2e_set_dword ActiveDesktop 1
e2e_set_dword HorizontalRes 800
e2e_set_dword VerticalRes 600
e2e_set_dword Clouds 0
# A redraw every two seconds, so that several happen while the scenario watches.
e2e_set_dword UpdateFreq 2000
# A wallpaper from before, the user's own, which the switch into Active Desktop mode leaves alone.
timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v Wallpaper /d 'C:\windows\earlier.bmp' /f >/dev/null
tiling_before=$(e2e_reg_value 'HKCU\Control Panel\Desktop' TileWallpaper || true)
e2e_start_program

answer_apply_refusal first
e2e_check_equal "current.bmp is drawn at the chosen item size" "$kItemSize" "$(e2e_frame_size)"
e2e_check_equal "the user's wallpaper stays" 'C:\windows\earlier.bmp' "$(e2e_probe wallpaper)"
e2e_check_equal "its tiling stays" "$tiling_before" "$(e2e_reg_value 'HKCU\Control Panel\Desktop' TileWallpaper)"
e2e_screenshot after-first-apply
quiet_redraws 3

# Another apply, as the settings dialog's OK or Apply would post it: told once again.
e2e_require "an apply command is delivered" e2e_probe choose-tray-command "$(e2e_id ID_APPLY_SETTINGS)"
answer_apply_refusal second
e2e_check "no further message box follows" e2e_not e2e_wait 5 e2e_message_box_open
quiet_redraws 2
e2e_check_equal "the program still runs" 1 "$(e2e_program_count)"

# Back to the wallpaper: the items are removed without a word and the frame covers the screen.
e2e_set_dword ActiveDesktop 0
stamp=$(orbiscape_frame_stamp "$E2E_INSTALL")
e2e_require "an apply command is delivered" e2e_probe choose-tray-command "$(e2e_id ID_APPLY_SETTINGS)"
e2e_check "the frame becomes the wallpaper again" e2e_wait 60 orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" \
    "$E2E_INSTALL" "$stamp"
e2e_check "leaving Active Desktop mode asks nothing" e2e_not e2e_message_box_open
e2e_check_equal "current.bmp has the virtual screen's size again" "$kScreenSize" "$(e2e_frame_size)"

e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
e2e_check "the program ends after Exit" e2e_wait 30 e2e_program_gone
