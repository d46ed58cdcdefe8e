#!/usr/bin/env bash
# The monthly map of 5400 x 2700 pixels through the real program: with the choice on and no map of
# the month downloaded, the program fetches it once, from the first source that has it, keeps it
# beside itself, prepares its sources from it and redraws; that frame is byte for byte the one
# orbiscape-render draws for the same moment from a data folder in which the map stands in the
# month's place. The settings dialog shows the choice ticked and its preview the new map, and
# "/uninstall" removes the map with the other working files.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/sharp_map_server.sh"

# No timed redraw comes between the map's arrival and the comparison.
readonly kUpdateFreq=3600000
# The served map's red patch over northern Europe in the prepared day source: cropped to
# 1280 x 1024 and centred on longitude 0, the map is 2048 x 1024 and keeps columns 384 to 1663.
readonly kPatchInDaySource="780 125 60 30"

# red_pixels BITMAP: how many pixels are red, as the served map's patch is and the delivered
# maps never are.
red_pixels() {
    convert "$1" -fx 'r > 0.8 && g < 0.2 && b < 0.2 ? 1 : 0' -format '%[fx:round(mean * w * h)]' info:
}
# day_source_patch: the mean colour ("R G B") of the patch's place in the prepared day source.
day_source_patch() {
    e2e_probe region-means current-day.bmp $kPatchInDaySource
}
is_red() {
    awk -v c="$1" 'BEGIN { split(c, C); exit !(C[1] > 200 && C[2] < 60 && C[3] < 60) }'
}

e2e_begin sharp-maps
e2e_choose_sharp_month
E2E_MAP_DIR="$E2E_DIR/map-server"
map_path=$(e2e_sharp_map_path)
mkdir -p "$E2E_MAP_DIR$(dirname "$map_path")"
served="$E2E_MAP_DIR$map_path"
e2e_make_sharp_map "$served"
echo "   month $E2E_MM: serving $map_path, $(stat -c %s "$served") bytes"
e2e_start_map_server

e2e_set_dword CenterOn 0
e2e_set_dword UpdateFreq $kUpdateFreq
e2e_set_dword SharpMaps 1
# The first source is down; the second has the map.
e2e_set_list SharpMapSources "http://$kDeadSource/{MM}.jpg" "http://$kMapServer$kSharpMapPattern"
e2e_start_program
e2e_wait_for_first_frame
first_frame=$(e2e_frame_stamp)
delivered_patch=$(day_source_patch)
cp "$E2E_INSTALL/current.bmp" "$E2E_DIR/frame-from-delivered-map.bmp"

installed() { [ -f "$E2E_INSTALL/$E2E_MM-5400.jpg" ] && [ -f "$E2E_INSTALL/$E2E_MM-5400-512.bmp" ]; }
e2e_require "the month's map is fetched and installed" e2e_wait 120 installed
e2e_check "the installed map is the served one, as it came" cmp -s "$served" "$E2E_INSTALL/$E2E_MM-5400.jpg"
e2e_check_equal "its small form is the preview's size" "512 256" \
    "$(e2e_probe bitmap-size "$E2E_MM-5400-512.bmp" | awk '{ print ($1 >= 511 ? 512 : $1), ($2 >= 255 ? 256 : $2) }')"
e2e_check_equal "the download left nothing else behind" "$(printf '%s\n' "$E2E_MM-5400-512.bmp" "$E2E_MM-5400.jpg")" \
    "$(e2e_sharp_files | sort)"
e2e_require "the frame is redrawn from the new map" e2e_wait 60 e2e_frame_replaced "$first_frame"
frame_at=$(stat -c %Y "$E2E_INSTALL/current.bmp")
cp "$E2E_INSTALL/current.bmp" "$E2E_DIR/frame-from-sharp-map.bmp"
e2e_screenshot desktop-with-sharp-map
sharp_patch=$(day_source_patch)
echo "   the patch's place in the day source: $delivered_patch before, $sharp_patch after"
e2e_check "the day source is prepared from the new map (its red patch)" is_red "$sharp_patch"
e2e_check "it was prepared from the delivered map before" e2e_not is_red "$delivered_patch"
e2e_check "the frame changed" e2e_not cmp -s "$E2E_DIR/frame-from-delivered-map.bmp" "$E2E_DIR/frame-from-sharp-map.bmp"

# orbiscape-render under Wine, with the served map in the month's place of a data folder, draws
# the same frame for the moment the program drew it (a second or two before the file was written).
render_data="$E2E_DIR/render-data"
mkdir -p "$render_data"
cp "$ORBISCAPE_SOURCE_DIR"/data/*.jpg "$render_data/"
cp "$served" "$render_data/$E2E_MM-2560.jpg"
same_moment=
for moment in $(seq $((frame_at - 4)) "$frame_at"); do
    (cd "$E2E_DIR" && timeout 120 wine "$ORBISCAPE_RENDER" --data "$(winepath -w "$render_data" 2>/dev/null)" \
        --size 1280x1024 --center 0 "--day=$E2E_DAY_IMAGE" --at "$(date -u -d "@$moment" +%Y-%m-%dT%H:%M:%SZ)" \
        -o rendered.bmp) >>"$E2E_DIR/render.log" 2>&1 || continue
    if cmp -s "$E2E_DIR/rendered.bmp" "$E2E_DIR/frame-from-sharp-map.bmp"; then
        same_moment=$moment
        break
    fi
done
echo "   the frame matches orbiscape-render at ${same_moment:-no moment} (written at $frame_at)"
e2e_check "the frame is byte for byte orbiscape-render's from the same map" test -n "$same_moment"

# The dialog: the choice ticked, and the preview from the new map.
e2e_require "the tray's Options command is delivered" e2e_probe choose-tray-command "$(e2e_id ID_OPTIONS)"
e2e_require "the settings dialog opens" e2e_wait 60 e2e_settings_dialog_open
e2e_check "the preview is shown" e2e_wait 30 e2e_settings_preview_shown
e2e_check_equal "the monthly maps' box is ticked" "1 1" \
    "$(e2e_probe dialog-control Orbiscape "$(e2e_id IDC_SHARP_MAPS)" | cut -d' ' -f1,2)"
# Without night or clouds the whole preview shows the day map, whatever the hour.
e2e_require "No Night Image is chosen" e2e_probe dialog-select Orbiscape "$(e2e_id IDC_NIGHT_IMAGE)" "No Night Image"
e2e_require "the clouds are switched off" e2e_probe dialog-click Orbiscape "$(e2e_id IDC_CLOUDS)"
preview_red() { [ "$(red_pixels "$E2E_INSTALL/preview.bmp" 2>/dev/null || echo 0)" -gt 3 ]; }
e2e_check "the preview shows the new map (its red patch)" e2e_wait 30 preview_red
e2e_screenshot settings-dialog-with-sharp-map
e2e_require "Cancel is pressed" e2e_probe dialog-click Orbiscape "$(e2e_id IDCANCEL)"
e2e_check "the dialog closes" e2e_wait 30 e2e_settings_dialog_closed

e2e_check_equal "the map was asked for once" 1 "$(e2e_map_requests "$map_path")"

(cd "$E2E_DIR" && timeout 60 wine "$E2E_INSTALL/orbiscape.exe" /uninstall) >"$E2E_DIR/uninstall.log" 2>&1 || true
e2e_check "the program ends at /uninstall" e2e_wait 30 e2e_program_gone
e2e_check_equal "/uninstall removes the downloaded map" "" "$(e2e_sharp_files)"
e2e_check "the delivered maps stay" test -f "$E2E_INSTALL/$E2E_MM-2560.jpg"
