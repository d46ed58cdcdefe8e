# Sourced by the test and run scripts: a private Wine prefix, a persistent wineserver and, when
# asked for, an Xvfb display, all of which end again with orbiscape_wine_stop.
#
#   orbiscape_wine_start DIR [xvfb] [PREFIX]
#                                     prefix in PREFIX, else DIR/prefix; with "xvfb" a new
#                                     virtual display
#   orbiscape_wine_stop               ends the wineserver and the display started above

orbiscape_wine_start() {
    local dir=$1 display_mode=${2:-}
    mkdir -p "$dir"
    export WINEPREFIX="${3:-$dir/prefix}"
    export WINEDEBUG=-all
    # No Mono or Gecko installer dialogs: the program needs neither. No menu entries or file
    # associations made on the Linux desktop for the prefix's shortcuts, such as those the
    # installer adds to the Start menu.
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    ORBISCAPE_XVFB_PID=
    if [ "$display_mode" = xvfb ]; then
        rm -f "$dir/display"
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
        ORBISCAPE_XVFB_PID=$!
        local waited=0
        while [ ! -s "$dir/display" ] && [ $waited -lt 100 ]; do sleep 0.1; waited=$((waited + 1)); done
        [ -s "$dir/display" ] || { echo "Xvfb did not start (see $dir/xvfb.log)" >&2; return 1; }
        export DISPLAY=":$(tr -d '[:space:]' <"$dir/display")"
    fi
    # A persistent server first, so that wineboot and every later start attach to it instead of
    # paying for a server start each time. The server needs the prefix folder to exist.
    mkdir -p "$WINEPREFIX"
    wineserver -p &
    ORBISCAPE_WINESERVER_PID=$!
    timeout 180 wineboot -i >"$dir/wineboot.log" 2>&1
    if [ "$display_mode" = xvfb ]; then
        # A display of our own has no window manager, and Wine waits up to two seconds for one to
        # confirm that a managed window has gone each time a dialog or message box closes.
        # Windows that no manager handles go at once.
        timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    fi
}

orbiscape_wine_stop() {
    if [ -n "${ORBISCAPE_WINESERVER_PID:-}" ]; then
        wineserver -k 2>/dev/null || true
        wait "$ORBISCAPE_WINESERVER_PID" 2>/dev/null || true
        ORBISCAPE_WINESERVER_PID=
    fi
    if [ -n "${ORBISCAPE_XVFB_PID:-}" ]; then
        kill "$ORBISCAPE_XVFB_PID" 2>/dev/null || true
        wait "$ORBISCAPE_XVFB_PID" 2>/dev/null || true
        ORBISCAPE_XVFB_PID=
    fi
}
