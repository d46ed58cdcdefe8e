# Sourced by the run, measurement and end-to-end scripts: orbiscape.exe laid out as it is
# installed (the program beside its pictures, which it reads from its own folder) and started on
# a Wine virtual desktop, the way a user sees it. Needs a prefix and a wineserver first
# (tools/wine-session.sh).
#
#   orbiscape_build_windows_program LOG         orbiscape.exe and the probe, built by the
#                                               windows preset (run from the checkout's top)
#   orbiscape_lay_out_install DIR EXE DATA_DIR  the program and every picture of DATA_DIR in DIR
#   orbiscape_use_virtual_desktop               every later Wine program of the prefix opens on
#                                               the virtual desktop, so helpers see its windows
#   orbiscape_start_on_desktop DIR LOG          starts DIR/orbiscape.exe on the desktop in the
#                                               background; its launcher's pid in
#                                               ORBISCAPE_DESKTOP_PID (the launcher ends at
#                                               once when the desktop is open already)
#   orbiscape_frame_stamp DIR                   what tells one DIR/current.bmp from the next
#   orbiscape_frame_shown PROBE DIR [STAMP]     DIR/current.bmp (another one than STAMP's) is
#                                               there and is the wallpaper
#   orbiscape_repaint_taskbar PROBE             the taskbar and its tray icons shown again after
#                                               a new wallpaper
#   orbiscape_desktop_screenshot PROBE FILE     a PNG of the desktop with the tray icons drawn
#   orbiscape_program_linux_pid                 the Linux pid of orbiscape.exe in this prefix

ORBISCAPE_DESKTOP_NAME=orbiscape
ORBISCAPE_DESKTOP_SIZE=1280x1024
# The X window that Wine opens for the virtual desktop.
ORBISCAPE_DESKTOP_WINDOW="$ORBISCAPE_DESKTOP_NAME - Wine desktop"

# Where the windows preset puts the program and the probe that drives it.
ORBISCAPE_WINDOWS_PROGRAM=build/windows/app/orbiscape.exe
ORBISCAPE_WINDOWS_PROBE=build/windows/tests/e2e/orbiscape-e2e-probe.exe

orbiscape_build_windows_program() {
    local log=$1
    if ! { cmake --preset windows && cmake --build --preset windows -j "$(nproc)" --target orbiscape orbiscape-e2e-probe; } \
        >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        return 1
    fi
}

orbiscape_lay_out_install() {
    local dir=$1 exe=$2 data=$3
    mkdir -p "$dir"
    cp "$exe" "$dir/orbiscape.exe"
    cp "$data"/*.jpg "$dir/"
}

orbiscape_use_virtual_desktop() {
    # A program started without /desktop opens on the prefix's default desktop; naming ours
    # puts the probe, a second copy and "/uninstall" beside the running program, where a
    # user's programs would be too.
    timeout 60 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$ORBISCAPE_DESKTOP_NAME" /f >/dev/null
    timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$ORBISCAPE_DESKTOP_NAME" \
        /d "$ORBISCAPE_DESKTOP_SIZE" /f >/dev/null
}

orbiscape_start_on_desktop() {
    local dir=$1 log=$2
    # The program finds its pictures and keeps its working files in the current directory.
    (cd "$dir" && exec wine explorer "/desktop=$ORBISCAPE_DESKTOP_NAME,$ORBISCAPE_DESKTOP_SIZE" orbiscape.exe) \
        >"$log" 2>&1 &
    ORBISCAPE_DESKTOP_PID=$!
}

orbiscape_frame_stamp() {
    # Every frame is written under another name and renamed into place: a new file each time.
    stat -c '%i %.9Y' "$1/current.bmp" 2>/dev/null || true
}

orbiscape_frame_shown() {
    local probe=$1 dir=$2 stamp=${3:-}
    [ -f "$dir/current.bmp" ] && [ "$(orbiscape_frame_stamp "$dir")" != "$stamp" ] &&
        (cd "$dir" && timeout 30 wine "$probe" wallpaper 2>/dev/null) | tr -d '\r' | grep -qi 'current\.bmp$'
}

orbiscape_repaint_taskbar() {
    # Wine paints a wallpaper set after the tray icon was added over the taskbar, icon included,
    # until the taskbar repaints; so it is asked to repaint, and given a moment to do so.
    timeout 30 wine "$1" repaint-taskbar >/dev/null 2>&1 || true
    sleep 0.5
}

orbiscape_desktop_screenshot() {
    local probe=$1 file=$2
    orbiscape_repaint_taskbar "$probe"
    timeout 30 import -window "$ORBISCAPE_DESKTOP_WINDOW" "$file"
}

orbiscape_program_linux_pid() {
    # Other prefixes may run an orbiscape.exe of their own: only ours counts.
    local pid
    for pid in $(pgrep -x orbiscape.exe); do
        if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}
