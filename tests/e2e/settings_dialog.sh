#!/usr/bin/env bash
# The settings dialog with the real program: a first start whose settings were never confirmed
# shows the dialog before anything is drawn, and Cancel there ends the program; OK draws the first
# frame with what the dialog showed. Opened later from the tray, choosing "Noon" and OK moves the
# next frame's centre to where the sun stands overhead.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

readonly kDialog="Orbiscape"
readonly kOptions=$(e2e_id ID_OPTIONS) kCentreOn=$(e2e_id IDC_CENTER_ON)
readonly kOk=$(e2e_id IDOK) kCancel=$(e2e_id IDCANCEL)
# Fitted with black bars, the 2:1 map lies 1280 x 640 in the middle of the 1280 x 1024 frame.
readonly kMapTop=192

frame_exists() { [ -f "$E2E_INSTALL/current.bmp" ]; }

e2e_begin settings-dialog
e2e_set_dword CenterOn 4294967295  # -1: never confirmed
e2e_set_dword BlackBars 1
e2e_set_dword Crop 0
e2e_set_dword Clouds 0

# A first start: the dialog, and nothing drawn behind it; Cancel ends the program.
e2e_start_program
e2e_require "the first start shows the settings dialog" e2e_wait 120 e2e_settings_dialog_open
e2e_screenshot first-start-dialog
e2e_check "nothing is drawn while the dialog is open" e2e_not frame_exists
e2e_check_equal "the never-confirmed centre shows the first entry" "1 0 0 Current Time Zone" \
    "$(e2e_probe dialog-control "$kDialog" $kCentreOn)"
e2e_require "Cancel is pressed" e2e_probe dialog-click "$kDialog" $kCancel
e2e_check "Cancel ends the program" e2e_wait 30 e2e_program_gone
e2e_check "still nothing is drawn" e2e_not frame_exists

# Started again: OK stores what the dialog shows and the first frame follows.
e2e_start_program
e2e_require "the dialog is shown again" e2e_wait 120 e2e_settings_dialog_open
e2e_require "OK is pressed" e2e_probe dialog-click "$kDialog" $kOk
e2e_wait_for_first_frame
e2e_check_equal "the dialog's centre is stored" 0x3e8 "$(e2e_reg_value "$E2E_SETTINGS_KEY" CenterOn)"
e2e_check_equal "its fitting is stored" 0x1 "$(e2e_reg_value "$E2E_SETTINGS_KEY" BlackBars)"
e2e_check_equal "the frame has the screen's size" "1280 1024" "$(e2e_probe bitmap-size current.bmp)"

# From the tray: "Noon" and OK. The next frame has the sun in its middle column.
e2e_require "the tray's Options command is delivered" e2e_probe choose-tray-command $kOptions
e2e_require "the dialog opens from the tray" e2e_wait 60 e2e_settings_dialog_open
e2e_check "the preview is shown" e2e_wait 30 e2e_settings_preview_shown
e2e_screenshot settings-dialog
frame_before=$(e2e_frame_stamp)
e2e_require "Noon is chosen" e2e_probe dialog-select "$kDialog" $kCentreOn Noon
e2e_require "OK is pressed" e2e_probe dialog-click "$kDialog" $kOk
e2e_check "the dialog closes" e2e_wait 30 e2e_settings_dialog_closed
e2e_require "a new frame is drawn" e2e_wait 60 e2e_frame_replaced "$frame_before"
e2e_check_equal "Noon is stored" 0x3e9 "$(e2e_reg_value "$E2E_SETTINGS_KEY" CenterOn)"

# Centred on noon, the sun's longitude is the frame's middle column (longitude 0 of an unshifted
# map), and 10 degrees from the antipode lies near the left edge: there the frame must match the
# prepared day and night images at those places.
read -r sun_lat sun_lon < <(e2e_probe subsolar-point)
night_lon=$(awk -v v="$sun_lon" 'BEGIN { l = v - 170; print (l < -180 ? l + 360 : l) }')
echo "   the sun stands over latitude $sun_lat, longitude $sun_lon"
e2e_check_day_and_night $kMapTop "$sun_lat" 0 "$sun_lon" -170 "$night_lon" \
    "the frame's middle shows day where the sun stands overhead" \
    "its left edge shows night near the antipode"

e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
e2e_check "the program ends after Exit" e2e_wait 30 e2e_program_gone
