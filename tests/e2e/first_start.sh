#!/usr/bin/env bash
# First start: the Earth as it is now becomes the wallpaper at the size of the screen, with day
# where the sun stands high and night on the other side; the desktop shows it with the globe
# icon in the tray; and "E&xit" from the tray menu ends the program.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

# Centred on longitude 0 and fitted with black bars, the whole map lies 1280 x 640 in the
# middle of the 1280 x 1024 frame, so every place has a known pixel.
readonly kScreenSize="1280 1024"
readonly kMapWidth=1280 kMapHeight=640 kMapTop=192
# e2e_map_box's squares of 48 pixels around the sub-solar point and its antipode are about 13
# degrees across: there the sun stands above 80 degrees or below -80, far from the twilight band.
# The taskbar row of the virtual desktop: its tray corner, and two stretches without buttons or
# icons, all 80 x 20.
readonly kTrayCorner="1200 1004" kBareTaskbar="600 1004" kOtherBareTaskbar="800 1004" kTaskbarPiece="80 20"

# at_most COUNT_AND_TOTAL FRACTION, at_least COUNT_AND_TOTAL PIXELS
at_most_fraction() {
    awk -v r="$1" -v f="$2" 'BEGIN { split(r, R); exit !(R[2] > 0 && R[1] <= f * R[2]) }'
}
at_least() {
    awk -v r="$1" -v n="$2" 'BEGIN { split(r, R); exit !(R[1] >= n) }'
}

e2e_begin first-start
e2e_set_dword CenterOn 0
e2e_set_dword BlackBars 1
e2e_set_dword Crop 0
# Without clouds the frame is the day image or the night image, pixel for pixel, away from the
# twilight band.
e2e_set_dword Clouds 0
e2e_start_program
e2e_wait_for_first_frame

# The frame and the wallpaper setting.
e2e_check_equal "current.bmp has the virtual screen's size" "$kScreenSize" "$(e2e_probe bitmap-size current.bmp)"
frame_path=$(winepath -w "$E2E_INSTALL/current.bmp" 2>/dev/null | tr -d '\r')
e2e_check_equal "the wallpaper is current.bmp" "${frame_path,,}" "$(e2e_probe wallpaper | tr '[:upper:]' '[:lower:]')"
desktop_key='HKCU\Control Panel\Desktop'
e2e_check_equal "the stored wallpaper names current.bmp" "${frame_path,,}" \
    "$(e2e_reg_value "$desktop_key" Wallpaper | tr '[:upper:]' '[:lower:]')"
e2e_check_equal "the wallpaper is tiled" 1 "$(e2e_reg_value "$desktop_key" TileWallpaper)"
e2e_check_equal "the wallpaper style is 0" 0 "$(e2e_reg_value "$desktop_key" WallpaperStyle)"

# Day where the sun is overhead, night at the antipode: there the frame must match the
# prepared day image and the prepared night image respectively.
e2e_check_equal "the day source is prepared at the map's size" "$kMapWidth $kMapHeight" \
    "$(e2e_probe bitmap-size current-day.bmp)"
e2e_check_equal "the night source is prepared at the map's size" "$kMapWidth $kMapHeight" \
    "$(e2e_probe bitmap-size current-night.bmp)"
read -r sun_lat sun_lon < <(e2e_probe subsolar-point)
anti_lon=$(awk -v v="$sun_lon" 'BEGIN { print (v < 0 ? v + 180 : v - 180) }')
echo "   the sun stands over latitude $sun_lat, longitude $sun_lon"
e2e_check_day_and_night $kMapTop "$sun_lat" "$sun_lon" "$sun_lon" "$anti_lon" "$anti_lon" \
    "it is day where the sun stands overhead" "it is night at the antipode"

# The desktop as a user sees it: the frame as the wallpaper, and the globe in the tray. The
# desktop repaints a moment after the wallpaper changes, so the screenshot is retaken until it
# shows the frame.
screen_matches_frame() {
    e2e_screenshot desktop || return 1
    convert "$E2E_OUT/desktop.png" -type TrueColor "BMP3:$E2E_DIR/desktop.bmp" || return 1
    central=$(e2e_probe differing-pixels "$E2E_DIR/desktop.bmp" 320 256 current.bmp 320 256 640 512 24)
    at_most_fraction "$central" 0.02
}
e2e_check "the desktop shows current.bmp" e2e_wait 30 screen_matches_frame
echo "   screenshot: $E2E_OUT/desktop.png (central pixels differing from the frame: ${central:-none})"
mapfile -t cells < <(e2e_probe region-means "$E2E_DIR/desktop.bmp" \
    $(for y in 256 384 512 640; do for x in 320 480 640 800; do echo "$x $y 160 128"; done; done))
spread=$(printf '%s\n' "${cells[@]}" | awk '{ s = $1 + $2 + $3; if (NR == 1 || s < lo) lo = s; if (NR == 1 || s > hi) hi = s }
    END { print hi - lo }')
e2e_check "the desktop's middle shows a picture, not a plain colour" awk -v s="$spread" 'BEGIN { exit !(s > 60) }'
# The taskbar is one plain colour; in its tray corner something else is drawn: the icon.
shot="$E2E_DIR/desktop.bmp"
tray=$(e2e_probe differing-pixels "$shot" $kTrayCorner "$shot" $kBareTaskbar $kTaskbarPiece 48)
bare=$(e2e_probe differing-pixels "$shot" $kOtherBareTaskbar "$shot" $kBareTaskbar $kTaskbarPiece 48)
echo "   pixels unlike the bare taskbar: in the tray corner $tray, elsewhere on the taskbar $bare"
e2e_check "the taskbar is one plain colour away from its buttons" at_most_fraction "$bare" 0.01
e2e_check "an icon is drawn in the tray corner" at_least "$tray" 30

# "E&xit" ends the program, and its hidden window goes with it.
e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
e2e_check "the program ends after Exit" e2e_wait 30 e2e_program_gone
e2e_check "the window OrbiscapeCommandSink is gone" e2e_not e2e_window_exists OrbiscapeCommandSink
