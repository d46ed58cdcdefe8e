# Sourced by the test and run scripts: a private Wine prefix, a persistent wineserver and, when
# asked for, an Xvfb display, all of which end again with orbiscape_wine_stop.
#
#   orbiscape_wine_template DIR       a booted prefix in DIR, to be copied by later starts; made
#                                     only when DIR holds none for this Wine yet
#   orbiscape_wine_start DIR [xvfb] [PREFIX]
#                                     prefix in PREFIX, else DIR/prefix; with "xvfb" a new
#                                     virtual display. A new prefix is a copy of the template
#                                     that ORBISCAPE_WINE_TEMPLATE names, if any, else booted.
#   orbiscape_wine_stop               ends the wineserver and the display started above
#   orbiscape_wineserver_restart      ends the prefix's wineserver and starts it anew, as a
#                                     setting that Wine reads at its start needs
#   orbiscape_wine_fixed_layout SCRIPT ARGS...
#                                     runs the script (by bash) anew without address-space
#                                     randomization, unless this shell runs so already

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
        if [ ! -s "$dir/display" ]; then
            # Its log goes with the session's folder, so it is shown here.
            echo "Xvfb did not start. Its messages:" >&2
            tail -n 20 "$dir/xvfb.log" >&2
            return 1
        fi
        export DISPLAY=":$(tr -d '[:space:]' <"$dir/display")"
    fi
    ORBISCAPE_WINE_OVERLAY=
    mkdir -p "$WINEPREFIX"
    local template=${ORBISCAPE_WINE_TEMPLATE:-}
    if [ -n "$template" ] && [ -f "$template/system.reg" ] && [ ! -e "$WINEPREFIX/system.reg" ]; then
        orbiscape_wine_copy_template "$template" "$dir"
    fi
    # A persistent server first, so that wineboot and every later start attach to it instead of
    # paying for a server start each time. The server needs the prefix folder to exist.
    orbiscape_wineserver_start "$dir"
    if [ ! -e "$WINEPREFIX/system.reg" ]; then
        orbiscape_wine_setup "$dir" 180 wineboot -i
    fi
    if [ "$display_mode" = xvfb ]; then
        # A display of our own has no window manager, and Wine waits up to two seconds for one to
        # confirm that a managed window has gone each time a dialog or message box closes.
        # Windows that no manager handles go at once.
        orbiscape_wine_setup "$dir" 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    fi
}

# orbiscape_wine_setup DIR SECONDS COMMAND...: a step of the session's start. Its output and
# Wine's error messages, which the session otherwise silences, go to DIR/session.log, and a step
# that fails says so with them, instead of ending the caller without a word.
orbiscape_wine_setup() {
    local dir=$1 seconds=$2
    shift 2
    echo "== $*" >>"$dir/session.log"
    if ! WINEDEBUG=-all,err+all timeout "$seconds" "$@" >>"$dir/session.log" 2>&1; then
        echo "The Wine session in $dir did not start: '$*' failed. Its messages:" >&2
        tail -n 30 "$dir/session.log" >&2
        return 1
    fi
}

# orbiscape_wineserver_start DIR: a persistent server for the prefix, its messages in DIR. The
# command returns once the server listens, the server going on in the background: started in the
# background instead, it could still be starting when wineboot came, which then started a server
# of its own and failed now and then on a busy machine. Its output goes to a log, so that the
# server never holds a test's output open. A server that runs already (status 2) serves as well.
orbiscape_wineserver_start() {
    wineserver -p </dev/null >>"$1/wineserver.log" 2>&1 || true
    ORBISCAPE_WINESERVER_DIR=$1
}

orbiscape_wineserver_stop() {
    if [ -n "${ORBISCAPE_WINESERVER_DIR:-}" ]; then
        wineserver -k 2>/dev/null || true
        # -k asks the server to end; the prefix may go only once it has.
        timeout 60 wineserver -w 2>/dev/null || true
        ORBISCAPE_WINESERVER_DIR=
    fi
}

orbiscape_wineserver_restart() {
    local dir=$ORBISCAPE_WINESERVER_DIR
    orbiscape_wineserver_stop
    orbiscape_wineserver_start "$dir"
}

orbiscape_wine_stop() {
    orbiscape_wineserver_stop
    if [ -n "${ORBISCAPE_WINE_OVERLAY:-}" ]; then
        umount "$ORBISCAPE_WINE_OVERLAY" 2>/dev/null || true
        ORBISCAPE_WINE_OVERLAY=
    fi
    if [ -n "${ORBISCAPE_XVFB_PID:-}" ]; then
        kill "$ORBISCAPE_XVFB_PID" 2>/dev/null || true
        wait "$ORBISCAPE_XVFB_PID" 2>/dev/null || true
        ORBISCAPE_XVFB_PID=
    fi
}

# Booting a prefix writes some 700 MB of system files and costs seconds of processor time, so a
# test run boots one and gives each test a copy: an overlay over it where the system allows
# (root), which copies only what the test changes, else a copy of the whole.
orbiscape_wine_copy_template() {
    local template=$1 dir=$2
    mkdir -p "$dir/prefix-changes" "$dir/prefix-work"
    if [ "$(id -u)" = 0 ] && mount -t overlay orbiscape-wine-prefix \
        -o "lowerdir=$template,upperdir=$dir/prefix-changes,workdir=$dir/prefix-work" "$WINEPREFIX" 2>/dev/null; then
        ORBISCAPE_WINE_OVERLAY=$WINEPREFIX
    else
        cp -a "$template/." "$WINEPREFIX/"
    fi
}

orbiscape_wine_template() {
    local dir=$1 stamp
    stamp="$(wine --version 2>/dev/null) $(id -un)"
    if [ -f "$dir/prefix/system.reg" ] && [ "$(cat "$dir/stamp" 2>/dev/null)" = "$stamp" ]; then
        return 0
    fi
    rm -rf "$dir"
    (
        ORBISCAPE_WINE_TEMPLATE=
        orbiscape_wine_start "$dir" xvfb
        # The server writes the registry out as it ends: every file is whole before any copy.
        orbiscape_wine_stop
    )
    echo "$stamp" >"$dir/stamp"
}

# Every Wine process starts without address-space randomization. Debian's Wine 8 has no preloader
# to keep 0x7ffe0000 free, where each process maps the shared user data first thing; its loader
# lies at 0x7d000000, and the kernel starts a process's heap anywhere in the gigabyte above the
# program. About one start in a few thousand found its heap there and ended at once ("failed to
# map the shared user data"), without a word under WINEDEBUG=-all. Without randomization the
# heap starts right after the loader. The setting passes on to every process started from here.
orbiscape_wine_fixed_layout() {
    local personality
    personality=$(cat /proc/self/personality)
    if (((16#$personality & 16#0040000) == 0)); then
        exec setarch "$(uname -m)" --addr-no-randomize bash "$@"
    fi
}
