#!/usr/bin/env bash
# The monthly map from sources that fail, on a screen of 144 DPI: a map of the wrong size, a text
# page, a mirrored map and a body cut off without a length each leave the delivered map in use
# and nothing half-written; every source is asked in its order, and after a run that installed
# nothing the next comes after a pause. The settings dialog keeps its screenshot at this DPI.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/sharp_map_server.sh"

readonly kWrongSizePath=/wrong-size.jpg kPagePath=/page.jpg kMirroredPath=/mirrored.jpg kCutPath=/cut.jpg

e2e_begin sharp-maps-faulty
e2e_use_dpi 144
e2e_choose_sharp_month
E2E_MAP_DIR="$E2E_DIR/map-server"
mkdir -p "$E2E_MAP_DIR"
e2e_make_sharp_map "$E2E_MAP_DIR$kWrongSizePath" -resize '5400x2600!'
echo "<html><body><h1>Down for maintenance</h1></body></html>" >"$E2E_MAP_DIR$kPagePath"
e2e_make_sharp_map "$E2E_MAP_DIR$kMirroredPath" -flop
e2e_make_sharp_map "$E2E_MAP_DIR$kCutPath"
e2e_start_map_server
start_cut_server() {
    (cd "$E2E_MAP_DIR" && exec timeout $((kMapServerSeconds + 10)) wine "$ORBISCAPE_E2E_MIRROR" \
        "$kCutServer" cut-map $kMapServerSeconds "${kCutPath#/}") >"$E2E_DIR/cut-server.log" 2>&1 &
    e2e_track $!
    e2e_require "the cutting server listens on $kCutServer port 80" \
        e2e_wait 60 grep -q "^listening on" "$E2E_DIR/cut-server.log"
}
start_cut_server
cut_requests() { grep -c '^request ' "$E2E_DIR/cut-server.log" || true; }

e2e_set_dword CenterOn 0
e2e_set_dword SharpMaps 1
e2e_set_list SharpMapSources "http://$kMapServer$kWrongSizePath" "http://$kMapServer$kPagePath" \
    "http://$kMapServer$kMirroredPath" "http://$kCutServer$kCutPath"
e2e_start_program
e2e_wait_for_first_frame
day_source=$(md5sum <"$E2E_INSTALL/current-day.bmp")

asked_twice() { [ "$(cut_requests)" -ge 2 ]; }
e2e_require "every source is asked, twice over" e2e_wait 120 asked_twice
mapfile -t order < <(grep -o '"GET [^ ]*' "$E2E_DIR/map-server.log" | cut -d' ' -f2 | head -3)
e2e_check_equal "the sources are asked in their order" "$kWrongSizePath $kPagePath $kMirroredPath" "${order[*]}"
e2e_check_equal "the cut body was asked for last" "request 1: GET $kCutPath HTTP/1.0" \
    "$(grep '^request 1:' "$E2E_DIR/cut-server.log" | tr -d '\r')"
e2e_check_equal "nothing is installed and nothing half-written is left" "" "$(e2e_sharp_files)"
e2e_check "no temporary file is left" e2e_not compgen -G "$E2E_INSTALL/*.tmp*"
e2e_check_equal "the day source is still the delivered map's" "$day_source" "$(md5sum <"$E2E_INSTALL/current-day.bmp")"

# The pause between the first two runs: the first is five seconds.
mapfile -t asked_at < <(grep -F "\"GET $kWrongSizePath HTTP/1.0\"" "$E2E_DIR/map-server.log" | head -2 |
    sed -E 's/.*\[([^]]+)\].*/\1/' | while read -r stamp; do date -d "${stamp//\// }" +%s; done)
pause=$((asked_at[1] - asked_at[0]))
echo "   the second run began $pause s after the first"
e2e_check "a failed run is tried again after a pause" test "$pause" -ge 4
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"

# The settings dialog at 144 DPI, with the monthly maps' box under the day image.
e2e_require "the tray's Options command is delivered" e2e_probe choose-tray-command "$(e2e_id ID_OPTIONS)"
e2e_require "the settings dialog opens" e2e_wait 60 e2e_settings_dialog_open
e2e_check "the preview is shown" e2e_wait 30 e2e_settings_preview_shown
e2e_check_equal "the monthly maps' box is ticked" "1 1" \
    "$(e2e_probe dialog-control Orbiscape "$(e2e_id IDC_SHARP_MAPS)" | cut -d' ' -f1,2)"
read -r _ day_top _ day_height < <(e2e_probe dialog-rect Orbiscape "$(e2e_id IDC_DAY_IMAGE)")
read -r _ box_top _ box_height < <(e2e_probe dialog-rect Orbiscape "$(e2e_id IDC_SHARP_MAPS)")
read -r _ night_top _ _ < <(e2e_probe dialog-rect Orbiscape "$(e2e_id IDC_NIGHT_IMAGE)")
echo "   at 144 DPI: day list at $day_top, the box at $box_top ($box_height high), night list at $night_top"
e2e_check "the box stands between the day and the night lists" test "$box_top" -gt "$day_top" -a "$((box_top + box_height))" -lt "$night_top"
e2e_screenshot settings-dialog-144-dpi
e2e_require "Cancel is pressed" e2e_probe dialog-click Orbiscape "$(e2e_id IDCANCEL)"
e2e_check "the dialog closes" e2e_wait 30 e2e_settings_dialog_closed
