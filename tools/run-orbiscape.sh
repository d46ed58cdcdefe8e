#!/usr/bin/env bash
# Builds orbiscape.exe and runs it as a user would: installed in build/run/orbiscape beside its
# pictures, in the Wine prefix build/run/wineprefix (kept, so settings and working files
# survive between runs), on a 1280 x 1024 Wine virtual desktop.
#
# With a reachable X display (DISPLAY) the desktop opens there and this script waits until the
# program ends: "E&xit" in the menu of the globe icon at the desktop's bottom right, or Ctrl-C
# here. Without one it runs on a virtual display of its own, waits for the first frame, saves a
# screenshot of the desktop as build/run/screenshot.png, and ends the program and the display.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
source tools/wine-session.sh
orbiscape_wine_fixed_layout "$top/tools/run-orbiscape.sh" "$@"
run="$top/build/run"
install="$run/orbiscape"
screenshot="$run/screenshot.png"
# How long the program may take to end after "E&xit" before it is stopped.
readonly kExitSeconds=20

tools/install-deps.sh
mkdir -p "$run"
source tools/wine-desktop.sh
echo "Building orbiscape.exe for Windows (log: build/run/build.log)"
orbiscape_build_windows_program "$run/build.log"
probe="$top/$ORBISCAPE_WINDOWS_PROBE"

echo "Installing it with its pictures in build/run/orbiscape"
orbiscape_lay_out_install "$install" "$ORBISCAPE_WINDOWS_PROGRAM" data

display_mode=xvfb
if [ -n "${DISPLAY:-}" ] && timeout 10 xdpyinfo >/dev/null 2>&1; then
    display_mode=
fi

program_running() { orbiscape_program_linux_pid >/dev/null; }

# Asks the program to end as its tray menu's "E&xit" does, then stops whatever is left.
end_everything() {
    trap - EXIT INT TERM
    if [ -n "${WINEPREFIX:-}" ] && program_running; then
        timeout 30 wine "$probe" choose-tray-exit >/dev/null 2>&1 || true
        local waited=0
        while program_running && [ $waited -lt $((kExitSeconds * 4)) ]; do
            sleep 0.25
            waited=$((waited + 1))
        done
    fi
    orbiscape_wine_stop
}
trap end_everything EXIT
trap 'echo "Ending Orbiscape."; exit 130' INT TERM

orbiscape_wine_start "$run/session" "$display_mode" "$run/wineprefix"
orbiscape_use_virtual_desktop
if program_running; then
    echo "Orbiscape already runs in build/run/wineprefix; end that run first." >&2
    exit 1
fi

frame_before=$(orbiscape_frame_stamp "$install")
orbiscape_start_on_desktop "$install" "$run/orbiscape.log"
# The launcher may hand the program to a desktop that is open already and end at once, so the
# program's own process is what is watched.
deadline=$((SECONDS + 60))
until program_running; do
    if [ $SECONDS -ge $deadline ]; then
        echo "Orbiscape did not start (log: build/run/orbiscape.log)" >&2
        exit 1
    fi
    sleep 0.25
done

if [ -z "$display_mode" ]; then
    echo "Orbiscape runs on a Wine desktop on display $DISPLAY."
    echo "End it with Exit in the globe icon's menu at the desktop's bottom right, or with Ctrl-C here."
    # Each new frame becomes the wallpaper, which Wine paints over the taskbar.
    shown=$frame_before
    while program_running; do
        if orbiscape_frame_shown "$probe" "$install" "$shown"; then
            shown=$(orbiscape_frame_stamp "$install")
            orbiscape_repaint_taskbar "$probe"
        fi
        sleep 1
    done
    echo "Orbiscape has ended."
    exit 0
fi

echo "No X display: running Orbiscape on a virtual display ($DISPLAY) until its first frame shows"
deadline=$((SECONDS + 120))
until orbiscape_frame_shown "$probe" "$install" "$frame_before"; do
    if [ $SECONDS -ge $deadline ] || ! program_running; then
        echo "Orbiscape showed no frame within 120 s (log: build/run/orbiscape.log)" >&2
        exit 1
    fi
    sleep 0.5
done
# The desktop repaints a moment after the wallpaper changes.
sleep 2
orbiscape_desktop_screenshot "$probe" "$screenshot"
end_everything
echo "Orbiscape and the virtual display have ended. The desktop as it looked: $screenshot"
