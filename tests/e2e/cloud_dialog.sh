#!/usr/bin/env bash
# The cloud updates dialog in the real program, used as a user would: opened from the tray menu
# with updates off, it shows the stored mirrors, "Never" and the delivered map. Ticking the box,
# typing a mirror's address, adding it and moving it to the top, then OK, stores the choices and
# re-arms the cloud timer: a few seconds later the map comes from that mirror (a one-channel
# JPEG, as the live service sends it). Opened again, the dialog shows the moment of the update
# and the new map, and its OK draws the next frame, which shows the new clouds; Cancel after
# editing changes nothing.
#
# The timed redraws are ten minutes apart: each sets the wallpaper, which Wine paints over every
# window of its virtual desktop, dialogs included, until they repaint; screenshots of the dialog
# must not meet one.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kCaption="Orbiscape - Cloud Updates"
readonly kCloudUpdatesCommand=$(e2e_id ID_CLOUD_UPDATES)
readonly kOk=$(e2e_id IDOK) kCancel=$(e2e_id IDCANCEL)
readonly kPeriodList=$(e2e_id IDC_CLOUD_UPDATE_FREQ) kUpdateBox=$(e2e_id IDC_UPDATE_CLOUDS)
readonly kMirrorList=$(e2e_id IDC_MIRROR_LIST) kMoveUp=$(e2e_id IDC_MOVE_MIRROR_UP)
readonly kMoveDown=$(e2e_id IDC_MOVE_MIRROR_DOWN) kDelete=$(e2e_id IDC_DELETE_MIRROR)
readonly kAdd=$(e2e_id IDC_ADD_MIRROR) kAddressBox=$(e2e_id IDC_MIRROR_ADDRESS)
readonly kLastUpdated=$(e2e_id IDC_LAST_UPDATED) kPreview=$(e2e_id IDC_CLOUD_PREVIEW)
readonly kUpdateFreq=600000
readonly kNewMirror="http://$kMirror$kMapPath"
readonly kDeadMirrors=("http://$kDeadMirror$kMapPath" "http://$kDeadMirror/second.jpg")

control() { e2e_probe dialog-control "$kCaption" "$1"; }
# Clicks are posted: the dialog handles them a moment later.
click() { e2e_probe dialog-click "$kCaption" "$1" >/dev/null; }
# "ENABLED CHECKED SELECTION" of the update box.
update_box() { control $kUpdateBox | cut -d' ' -f1-3; }
dialog_open() { e2e_window_exists "$kCaption"; }
dialog_closed() { ! e2e_window_exists "$kCaption"; }
# "ENABLED" of each control named, in order.
enabled_states() {
    local id states=
    for id in "$@"; do
        states+=$(control "$id" | cut -d' ' -f1)
    done
    echo "$states"
}

open_dialog() {
    e2e_require "the tray menu's cloud updates command is delivered" e2e_probe choose-tray-command $kCloudUpdatesCommand
    e2e_require "the cloud updates dialog opens" e2e_wait 30 dialog_open
}

# preview_shot NAME: a screenshot of the desktop with the dialog as NAME.png, and the preview's
# place on it ("X Y W H") in PREVIEW_RECT; the bitmap form of the shot is E2E_DIR/NAME.bmp.
preview_shot() {
    PREVIEW_RECT=$(e2e_probe dialog-rect "$kCaption" $kPreview)
    e2e_screenshot "$1"
    convert "$E2E_OUT/$1.png" -type TrueColor "BMP3:$E2E_DIR/$1.bmp"
}

# is_picture NAME: the preview in the shot NAME shows a picture: the means of its eight cells
# (four across, two down) differ.
is_picture() {
    local x y w h row column cells=()
    read -r x y w h <<<"$PREVIEW_RECT"
    for row in 0 1; do
        for column in 0 1 2 3; do
            cells+=($((x + column * w / 4)) $((y + row * h / 2)) $((w / 4)) $((h / 2)))
        done
    done
    e2e_probe region-means "$E2E_DIR/$1.bmp" "${cells[@]}" |
        awk '{ s = $1 + $2 + $3; if (NR == 1 || s < lo) lo = s; if (NR == 1 || s > hi) hi = s }
            END { exit !(NR == 8 && hi - lo > 60) }'
}

e2e_begin cloud-dialog
e2e_make_cloud_maps
# The served map in one channel, as the live service sends it; the map is grey already, so the
# references stay valid.
convert "$E2E_MIRROR_DIR$kMapPath" -colorspace Gray -type Grayscale "$E2E_MIRROR_DIR$kMapPath"
e2e_require "the served map is a one-channel JPEG" bash -c "file '$E2E_MIRROR_DIR$kMapPath' | grep -q 'components 1'"
e2e_start_mirror
e2e_set_dword CenterOn 0
e2e_set_dword BlackBars 1
e2e_set_dword Crop 0
e2e_set_dword UpdateFreq $kUpdateFreq
e2e_set_dword AutoUpdateClouds 0
e2e_set_dword CloudUpdateFreq 48
e2e_set_qword CloudsLastUpdated 0
e2e_set_urls "${kDeadMirrors[@]}"
e2e_start_program
e2e_wait_for_first_frame
cp "$E2E_INSTALL/current.bmp" "$E2E_DIR/frame-with-delivered-clouds.bmp"

# As opened: updates off, so every editing control is greyed out but the list is shown.
open_dialog
e2e_check_equal "the update box is unticked" "1 0 -1" "$(update_box)"
e2e_check_equal "updates off: the period list, mirror list, address box and list buttons are greyed out" \
    0000000 "$(enabled_states $kPeriodList $kMirrorList $kAddressBox $kAdd $kDelete $kMoveUp $kMoveDown)"
e2e_check_equal "the stored mirrors are listed in order" "$(printf '%s\n' "${kDeadMirrors[@]}")" \
    "$(e2e_probe dialog-list "$kCaption" $kMirrorList)"
e2e_check_equal "a stored period of 48 hours shows \"3 hours\"" "0 0 0 3 hours" "$(control $kPeriodList)"
e2e_check_equal "the periods offered" "$(printf '%s\n' '3 hours' '6 hours' '12 hours' '24 hours')" \
    "$(e2e_probe dialog-list "$kCaption" $kPeriodList)"
e2e_check_equal "never updated: the label reads Never" "1 0 0 Never" "$(control $kLastUpdated)"
preview_shot cloud-dialog-as-opened
first_rect=$PREVIEW_RECT
echo "   the preview lies at $first_rect"
e2e_check "the preview shows the delivered map" is_picture cloud-dialog-as-opened

# Ticking the box enables the lists and the box, but Add waits for an address.
click $kUpdateBox
e2e_check_becomes "ticked: everything but Add and the selection buttons is enabled" 1110000 \
    enabled_states $kPeriodList $kMirrorList $kAddressBox $kAdd $kDelete $kMoveUp $kMoveDown
e2e_probe dialog-set-text "$kCaption" $kAddressBox "$kNewMirror" >/dev/null
e2e_check_equal "an address typed: Add is enabled" 1 "$(enabled_states $kAdd)"
click $kAdd
e2e_check_becomes "Add appends the address and selects it" "1 0 2 $kNewMirror" control $kMirrorList
e2e_check_equal "the last entry: Delete and Move Up enabled, Move Down not" 110 \
    "$(enabled_states $kDelete $kMoveUp $kMoveDown)"
click $kMoveUp
click $kMoveUp
e2e_check_becomes "moved to the top, still selected" "1 0 0 $kNewMirror" control $kMirrorList
e2e_check_equal "the first entry: Move Up disabled" 101 "$(enabled_states $kDelete $kMoveUp $kMoveDown)"
e2e_probe dialog-select "$kCaption" $kPeriodList "6 hours" >/dev/null
e2e_screenshot cloud-dialog-edited
frame_before_ok=$(e2e_frame_stamp)
click $kOk
ok_clicked=$SECONDS
e2e_require "OK closes the dialog" e2e_wait 30 dialog_closed
e2e_check_equal "OK stores the mirrors as listed" "$kNewMirror\\0${kDeadMirrors[0]}\\0${kDeadMirrors[1]}" \
    "$(e2e_reg_value "$E2E_SETTINGS_KEY" URLs)"
e2e_check_equal "OK stores the updates switched on" 0x1 "$(e2e_reg_value "$E2E_SETTINGS_KEY" AutoUpdateClouds)"
e2e_check_equal "OK stores the period" 0x6 "$(e2e_reg_value "$E2E_SETTINGS_KEY" CloudUpdateFreq)"
e2e_check "OK applies the settings: a frame is drawn" e2e_wait 30 e2e_frame_replaced "$frame_before_ok"

# Applying the settings armed the cloud timer, for about five seconds as nothing was ever
# downloaded.
e2e_require "the new first mirror is asked for the map" e2e_wait 60 e2e_map_requested
echo "   the map was asked for $((SECONDS - ok_clicked)) s after OK"
e2e_require "the map is installed and the moment stored" e2e_wait 60 e2e_map_installed
e2e_check "clouds-2560.bmp shows the served map" e2e_is_map clouds-2560.bmp "$E2E_DIR/served-2560.bmp"
stored=$(e2e_clouds_last_updated)

# Opened again: the moment of the update in local time, and the new map in the preview.
open_dialog
expected_time=$(date -d "@$((stored / 10000000 - 11644473600))" '+%m/%d/%y %H:%M:%S')
e2e_check_equal "the label shows the moment of the update" "1 0 0 $expected_time" "$(control $kLastUpdated)"
e2e_check_equal "the update box is ticked" "1 1 -1" "$(update_box)"
e2e_check_equal "the stored period is selected" "1 0 1 6 hours" "$(control $kPeriodList)"
e2e_check_equal "the stored mirrors are listed" \
    "$(printf '%s\n' "$kNewMirror" "${kDeadMirrors[@]}")" "$(e2e_probe dialog-list "$kCaption" $kMirrorList)"
preview_shot cloud-dialog-after-download
e2e_check_equal "the preview is where it was" "$first_rect" "$PREVIEW_RECT"
e2e_check "the preview shows a picture" is_picture cloud-dialog-after-download
read -r px py pw ph <<<"$PREVIEW_RECT"
renewed=$(e2e_probe differing-pixels "$E2E_DIR/cloud-dialog-after-download.bmp" "$px" "$py" \
    "$E2E_DIR/cloud-dialog-as-opened.bmp" "$px" "$py" "$pw" "$ph" 48)
echo "   preview pixels unlike the first preview's: $renewed"
e2e_check "the preview shows the downloaded map" awk -v r="$renewed" 'BEGIN { split(r, R); exit !(R[1] >= 0.3 * R[2]) }'

# OK once more: the next frame shows the new clouds, and the moment stays as the download stored it.
frame_before_ok=$(e2e_frame_stamp)
click $kOk
e2e_require "OK closes the dialog" e2e_wait 30 dialog_closed
e2e_check "the next frame is drawn" e2e_wait 30 e2e_frame_replaced "$frame_before_ok"
changed=$(e2e_probe differing-pixels current.bmp 0 0 "$E2E_DIR/frame-with-delivered-clouds.bmp" 0 0 1280 1024 48)
echo "   pixels of the frame unlike the first one: $changed"
e2e_check "the new clouds show in the frame" awk -v r="$changed" 'BEGIN { split(r, R); exit !(R[1] >= 0.15 * R[2]) }'
e2e_check_equal "OK keeps the moment of the update" "$stored" "$(e2e_clouds_last_updated)"
e2e_screenshot desktop-with-new-clouds

# Cancel after editing stores nothing and applies nothing.
urls_before=$(e2e_reg_value "$E2E_SETTINGS_KEY" URLs)
open_dialog
e2e_probe dialog-set-text "$kCaption" $kAddressBox "http://127.0.0.9/not-kept.jpg" >/dev/null
click $kAdd
added() { [ "$(e2e_probe dialog-list "$kCaption" $kMirrorList | wc -l)" = 4 ]; }
e2e_check "an address is added" e2e_wait 10 added
click $kUpdateBox
e2e_check_becomes "updates are switched off" "1 0 -1" update_box
frame_before_cancel=$(e2e_frame_stamp)
click $kCancel
e2e_require "Cancel closes the dialog" e2e_wait 30 dialog_closed
e2e_check_equal "Cancel leaves the mirrors" "$urls_before" "$(e2e_reg_value "$E2E_SETTINGS_KEY" URLs)"
e2e_check_equal "Cancel leaves the updates on" 0x1 "$(e2e_reg_value "$E2E_SETTINGS_KEY" AutoUpdateClouds)"
e2e_check "Cancel applies nothing: no frame is drawn" e2e_not e2e_wait 5 e2e_frame_replaced "$frame_before_cancel"
e2e_check_equal "the map was asked for once" 1 "$(e2e_mirror_requests $kMapPath)"
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
