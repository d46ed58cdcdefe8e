# Sourced by every end-to-end scenario. A scenario runs orbiscape.exe as a user would: installed
# in a folder of its own beside its pictures, in a fresh Wine prefix with its own wineserver, on
# a 1280 x 1024 Wine virtual desktop. It prepares the registry from outside, watches the files,
# the registry and the screen, and counts its checks. Everything it starts ends by its id when
# the scenario ends, passed or not, and the prefix's wineserver is killed with everything in it.
#
# ctest passes ORBISCAPE_EXE, ORBISCAPE_E2E_PROBE, ORBISCAPE_SOURCE_DIR and ORBISCAPE_E2E_OUTPUT
# (where screenshots and logs are kept). DISPLAY comes from the test run; without a reachable
# one the scenario starts an Xvfb of its own.

source "$ORBISCAPE_SOURCE_DIR/tools/wine-session.sh"
source "$ORBISCAPE_SOURCE_DIR/tools/wine-desktop.sh"

E2E_SETTINGS_KEY='HKCU\Software\Orbiscape'
E2E_POLL_SECONDS=0.25

# e2e_begin NAME: a prefix, a display and the program laid out in its install folder, all
# cleaned up at exit.
e2e_begin() {
    e2e_begin_session "$1"
    orbiscape_lay_out_install "$E2E_INSTALL" "$ORBISCAPE_EXE" "$ORBISCAPE_SOURCE_DIR/data"
    E2E_COMMAND_FOLDER=$E2E_INSTALL
}

# e2e_begin_session NAME: a prefix and a display, cleaned up at exit; E2E_INSTALL names the
# install folder, which is left for the scenario to fill (by an installer, say).
e2e_begin_session() {
    e2e_begin_bookkeeping "$1"
    e2e_begin_wine
}

# e2e_begin_bookkeeping NAME: the scenario's folders, its counts of checks and its clean-up at
# exit, without Wine yet (for a scenario that first decides who runs it).
e2e_begin_bookkeeping() {
    E2E_NAME=$1
    : "${ORBISCAPE_EXE:?}" "${ORBISCAPE_E2E_PROBE:?}" "${ORBISCAPE_E2E_OUTPUT:?}"
    E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-e2e-$E2E_NAME.XXXXXX")
    E2E_OUT="$ORBISCAPE_E2E_OUTPUT/$E2E_NAME"
    rm -rf "$E2E_OUT"
    mkdir -p "$E2E_OUT"
    E2E_INSTALL="$E2E_DIR/install"
    E2E_COMMAND_FOLDER=$E2E_DIR
    E2E_PIDS=()
    E2E_AT_END=()
    E2E_PASSED=0
    E2E_FAILED=0
    E2E_BEGAN=$SECONDS
    E2E_STOPPED_AT=
    # The command that stops a scenario early, for its report: functions and subshells inherit
    # the trap, which fires where errexit would end the script.
    set -E
    trap 'E2E_STOPPED_AT="${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND"' ERR
    trap e2e_end EXIT
    trap 'exit 130' INT TERM
}

# e2e_begin_wine: the prefix, its wineserver and, without a reachable display, an Xvfb.
e2e_begin_wine() {
    local display_mode=
    if [ -z "${DISPLAY:-}" ] || ! timeout 10 xdpyinfo >/dev/null 2>&1; then
        display_mode=xvfb
    fi
    orbiscape_wine_start "$E2E_DIR/wine" $display_mode
    orbiscape_use_virtual_desktop
    # The monthly maps' built-in sources are real servers, which no scenario may reach: unless a
    # scenario names its own, the one source is a loopback address where nothing listens.
    e2e_set_list SharpMapSources "http://127.0.0.3/{MM}.jpg"
    echo "== $E2E_NAME: prefix $WINEPREFIX, display $DISPLAY"
}

e2e_end() {
    local status=$?
    trap - EXIT
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    orbiscape_wine_stop
    for pid in "${E2E_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    local command
    for command in "${E2E_AT_END[@]}"; do
        eval "$command" || true
    done
    cp "$E2E_DIR"/*.log "$E2E_DIR"/wine/*.log "$E2E_OUT/" 2>/dev/null || true
    rm -rf "$E2E_DIR"
    if [ "$status" -ne 0 ] && [ "$E2E_FAILED" -eq 0 ]; then
        E2E_FAILED=1
        echo "not ok - the scenario stopped early (status $status${E2E_STOPPED_AT:+, at $E2E_STOPPED_AT})"
    fi
    echo "$E2E_NAME: $E2E_PASSED passed, $E2E_FAILED failed in $((SECONDS - E2E_BEGAN)) s"
    [ "$E2E_FAILED" -eq 0 ]
    exit
}

# e2e_track PID: ended by its id when the scenario ends.
e2e_track() {
    E2E_PIDS+=("$1")
}

# e2e_id NAME: the number of a control or command as resources/resource_ids.h defines it, or
# of the system's IDOK and IDCANCEL.
e2e_id() {
    case $1 in
        IDOK) echo 1 ;;
        IDCANCEL) echo 2 ;;
        *) awk -v name="$1" '$1 == "#define" && $2 == name { print $3; found = 1 } END { exit !found }' \
            "$ORBISCAPE_SOURCE_DIR/resources/resource_ids.h" || echo "e2e_id: no $1 in resource_ids.h" >&2 ;;
    esac
}

# e2e_at_end COMMAND: run (by eval) when the scenario ends, after its processes, before its
# folder is removed.
e2e_at_end() {
    E2E_AT_END+=("$1")
}

# e2e_pass / e2e_fail DESCRIPTION [DETAIL]
e2e_pass() {
    E2E_PASSED=$((E2E_PASSED + 1))
    echo "ok - $1"
}
e2e_fail() {
    E2E_FAILED=$((E2E_FAILED + 1))
    echo "not ok - $1${2:+ ($2)}"
}

# e2e_check DESCRIPTION COMMAND...: passes when the command succeeds.
e2e_check() {
    local description=$1
    shift
    if "$@"; then
        e2e_pass "$description"
    else
        e2e_fail "$description"
    fi
}

# e2e_check_equal DESCRIPTION EXPECTED ACTUAL
e2e_check_equal() {
    if [ "$2" = "$3" ]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "expected '$2', got '$3'"
    fi
}

# e2e_check_becomes DESCRIPTION EXPECTED COMMAND...: like e2e_check_equal with the command's
# output, which may take up to ten seconds to become EXPECTED: a click on a dialog is posted, and
# done a moment after the probe returns.
e2e_check_becomes() {
    local description=$1 expected=$2 actual deadline=$((SECONDS + 10))
    shift 2
    until actual=$("$@") && [ "$actual" = "$expected" ]; do
        [ $SECONDS -lt $deadline ] || break
        sleep "$E2E_POLL_SECONDS"
    done
    e2e_check_equal "$description" "$expected" "$actual"
}

# e2e_require DESCRIPTION COMMAND...: like e2e_check, but the scenario cannot go on without it.
e2e_require() {
    local failed_before=$E2E_FAILED
    e2e_check "$@"
    if [ "$E2E_FAILED" -ne "$failed_before" ]; then
        exit 1
    fi
}

# e2e_not COMMAND...: the command failed.
e2e_not() {
    ! "$@"
}

# e2e_wait SECONDS COMMAND...: true as soon as the command succeeds, false at the deadline.
e2e_wait() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep "$E2E_POLL_SECONDS"
    done
}

# e2e_stays_false SECONDS SINCE COMMAND...: the command has not succeeded by SECONDS after the
# moment SINCE (a value of $SECONDS), looking until then, or once if that is past already.
e2e_stays_false() {
    local remaining=$(($1 - (SECONDS - $2)))
    shift 2
    ! e2e_wait $((remaining > 0 ? remaining : 0)) "$@"
}

# e2e_map_box LATITUDE LONGITUDE TOP [WIDTH HEIGHT SIDE]: the square of SIDE pixels (48) around
# a place on an equirectangular map of WIDTH x HEIGHT (1280 x 640) that starts TOP rows down, as
# "X Y W H".
e2e_map_box() {
    awk -v lat="$1" -v lon="$2" -v top="$3" -v w="${4:-1280}" -v h="${5:-640}" -v box="${6:-48}" 'BEGIN {
        x = (lon + 180) / 360 * w; y = top + (90 - lat) / 180 * h
        printf "%d %d %d %d\n", x - box / 2, y - box / 2, box, box }'
}

# e2e_closer_to COLOUR A B: whether the colour ("R G B") is clearly nearer to A than to B.
e2e_closer_to() {
    awk -v f="$1" -v a="$2" -v b="$3" 'BEGIN {
        split(f, F); split(a, A); split(b, B); da = 0; db = 0
        for (i = 1; i <= 3; i++) { da += (F[i] > A[i] ? F[i] - A[i] : A[i] - F[i]); db += (F[i] > B[i] ? F[i] - B[i] : B[i] - F[i]) }
        exit !(db >= 2 * da + 3) }'
}

# e2e_check_day_and_night TOP SUN_LAT DAY_LON SUN_LON NIGHT_LON NIGHT_MAP_LON DAY_TEXT NIGHT_TEXT:
# checks that "current.bmp", whose map starts TOP rows down, shows at longitude DAY_LON on the
# sun's latitude what the prepared day image shows under the sun (SUN_LON), and at NIGHT_LON on
# the opposite latitude what the prepared night image shows at NIGHT_MAP_LON.
e2e_check_day_and_night() {
    local top=$1 sun_lat=$2 anti_lat
    anti_lat=$(awk -v v="$sun_lat" 'BEGIN { print -v }')
    local -a frame day night
    mapfile -t frame < <(e2e_probe region-means current.bmp $(e2e_map_box "$sun_lat" "$3" "$top") \
        $(e2e_map_box "$anti_lat" "$5" "$top"))
    mapfile -t day < <(e2e_probe region-means current-day.bmp $(e2e_map_box "$sun_lat" "$4" 0) \
        $(e2e_map_box "$anti_lat" "$6" 0))
    mapfile -t night < <(e2e_probe region-means current-night.bmp $(e2e_map_box "$sun_lat" "$4" 0) \
        $(e2e_map_box "$anti_lat" "$6" 0))
    echo "   day place: frame ${frame[0]}, day ${day[0]}, night ${night[0]}"
    echo "   night place: frame ${frame[1]}, day ${day[1]}, night ${night[1]}"
    e2e_check "$7" e2e_closer_to "${frame[0]}" "${day[0]}" "${night[0]}"
    e2e_check "$8" e2e_closer_to "${frame[1]}" "${night[1]}" "${day[1]}"
}

# e2e_wine ARGS...: a Wine command, bounded in time, from E2E_COMMAND_FOLDER: the install folder
# when e2e_begin laid the program out there, otherwise the scenario's own folder, since a
# command whose current directory is an installed program's folder keeps an uninstaller from
# removing it.
e2e_wine() {
    (cd "$E2E_COMMAND_FOLDER" && timeout 60 wine "$@")
}

# e2e_probe COMMAND ARGS...: the probe, run as e2e_wine runs commands, its output without the
# carriage returns of Windows line ends.
e2e_probe() {
    (cd "$E2E_COMMAND_FOLDER" && timeout 60 wine "$ORBISCAPE_E2E_PROBE" "$@") | tr -d '\r'
}

# e2e_set_dword NAME VALUE, e2e_set_qword NAME VALUE, e2e_set_list NAME ENTRY..., e2e_set_urls
# URL...: stored settings.
e2e_set_dword() {
    timeout 60 wine reg add "$E2E_SETTINGS_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null
}
e2e_set_qword() {
    timeout 60 wine reg add "$E2E_SETTINGS_KEY" /v "$1" /t REG_QWORD /d "$2" /f >/dev/null
}
e2e_set_list() {
    local name=$1 joined=$2
    shift 2
    local entry
    for entry in "$@"; do
        joined="$joined\\0$entry"
    done
    timeout 60 wine reg add "$E2E_SETTINGS_KEY" /v "$name" /t REG_MULTI_SZ /d "$joined" /f >/dev/null
}
e2e_set_urls() {
    e2e_set_list URLs "$@"
}

# e2e_use_dpi DPI: the prefix's screens at DPI dots per inch (96 is 100 %) from now on. Wine
# reads the setting when its server starts, so the server is started anew.
e2e_use_dpi() {
    timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    orbiscape_wineserver_restart
}

# e2e_reg_value KEY NAME: the data of a string or number value as `wine reg query` shows it.
e2e_reg_value() {
    timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]*/, ""); print; exit }'
}

# e2e_open_desktop: the virtual desktop, opened from the scenario's own folder. Whatever opens
# the desktop keeps its folder as the desktop's current directory, which cannot be removed while
# the desktop runs; a scenario that removes the install folder opens the desktop this way first.
e2e_open_desktop() {
    (cd "$E2E_DIR" && exec wine explorer "/desktop=$ORBISCAPE_DESKTOP_NAME,$ORBISCAPE_DESKTOP_SIZE") \
        >"$E2E_DIR/virtual-desktop.log" 2>&1 &
    e2e_track $!
    e2e_require "the virtual desktop opens" e2e_wait 60 e2e_probe repaint-taskbar
}

e2e_start_program() {
    orbiscape_start_on_desktop "$E2E_INSTALL" "$E2E_DIR/desktop.log"
    e2e_track "$ORBISCAPE_DESKTOP_PID"
    E2E_PROGRAM_STARTED=$SECONDS
}

e2e_window_exists() {
    e2e_probe window-exists "$1" >/dev/null
}

e2e_program_count() {
    e2e_probe process-count orbiscape.exe
}

e2e_program_gone() {
    [ "$(e2e_program_count)" = 0 ]
}

# e2e_message_box_open: a message box of the program's (caption "Orbiscape") is shown.
e2e_message_box_open() {
    e2e_window_exists Orbiscape
}

# The working files that the program keeps in its folder, all of which "/uninstall" removes.
readonly E2E_WORKING_FILES=(current.bmp current-day.bmp current-night.bmp current-clouds.bmp preview.bmp
    preview-day.bmp preview-night.bmp preview-clouds.bmp clouds-2560.bmp clouds-512.bmp)

# e2e_set_user_wallpaper PATH GRADIENT: the user's own picture, 400 x 300 pixels of an
# ImageMagick gradient ("orange-purple"), made at PATH under their Pictures folder (any letters,
# folders made as needed) and stored as the desktop's wallpaper; its Windows path in
# E2E_USER_PICTURE.
e2e_set_user_wallpaper() {
    local user_name file
    user_name=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
    file="$WINEPREFIX/drive_c/users/$user_name/Pictures/$1"
    mkdir -p "$(dirname "$file")"
    convert -size 400x300 "gradient:$2" "BMP3:$file"
    E2E_USER_PICTURE="C:\\users\\$user_name\\Pictures\\${1//\//\\}"
    e2e_probe registry-set-text 'Control Panel\Desktop' Wallpaper "$E2E_USER_PICTURE"
}

# e2e_none_present FILE...: none of the files is in the install folder.
e2e_none_present() {
    local file
    for file in "$@"; do
        [ ! -e "$E2E_INSTALL/$file" ] || return 1
    done
}

# e2e_settings_dialog_open, e2e_settings_dialog_closed: the settings dialog is open, or is not.
e2e_settings_dialog_open() {
    e2e_probe dialog-control Orbiscape "$(e2e_id IDC_CENTER_ON)" >/dev/null
}
e2e_settings_dialog_closed() {
    ! e2e_settings_dialog_open
}

# e2e_settings_preview_shown: the open settings dialog's preview shows a picture.
e2e_settings_preview_shown() {
    [ "$(e2e_probe dialog-control Orbiscape "$(e2e_id IDC_PREVIEW)" | cut -d' ' -f3)" = 1 ]
}

# e2e_frame_size: "WIDTH HEIGHT" of the install folder's current.bmp.
e2e_frame_size() {
    e2e_probe bitmap-size current.bmp
}

# e2e_frame_stamp: what tells the install folder's current.bmp from the next one;
# e2e_frame_replaced STAMP: it is another one now.
e2e_frame_stamp() {
    orbiscape_frame_stamp "$E2E_INSTALL"
}
e2e_frame_replaced() {
    [ "$(e2e_frame_stamp)" != "$1" ]
}

# e2e_seconds_to_frame SINCE: the seconds from SINCE (seconds since 1970, as the probe prints
# the moments it acts) to the last write of the install folder's current.bmp.
e2e_seconds_to_frame() {
    awk -v since="$1" -v frame="$(stat -c %.3Y "$E2E_INSTALL/current.bmp")" 'BEGIN { printf "%.2f", frame - since }'
}

# e2e_restart_program: starts the program again, after an earlier run left its frame, and waits
# until it has drawn a new one.
e2e_restart_program() {
    local stamp
    stamp=$(e2e_frame_stamp)
    e2e_start_program
    e2e_require "the restarted program draws its frame" \
        e2e_wait 120 orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL" "$stamp"
}

# e2e_exit_program: "E&xit" from the tray menu, and the program's end.
e2e_exit_program() {
    e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
    e2e_require "the program ends after Exit" e2e_wait 30 e2e_program_gone
}

e2e_wait_for_first_frame() {
    e2e_require "the first frame is drawn and set as the wallpaper" \
        e2e_wait 120 orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL"
}

# e2e_screenshot NAME: the desktop as a user sees it, in the output folder as NAME.png.
e2e_screenshot() {
    orbiscape_desktop_screenshot "$ORBISCAPE_E2E_PROBE" "$E2E_OUT/$1.png"
}

e2e_file_inode() {
    stat -c %i "$1" 2>/dev/null
}
