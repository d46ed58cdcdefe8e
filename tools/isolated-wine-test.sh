#!/usr/bin/env bash
# Runs one Windows test by itself, so that many can run side by side without meeting:
# - as root, in network and mount namespaces of its own: the loopback addresses 127.0.0.x and
#   their port 80, which the download tests serve on, are its own, so are its X display's socket
#   files and compiled keymaps, and whatever it mounts goes with it; without root it waits until
#   no other test holds the machine's loopback lock;
# - with --wine-session, in a Wine session of its own (a display, a copy of the run's prefix
#   template, a wineserver), ended with it. Without it, the command (an end-to-end scenario) starts
#   its own session, and is told to start its own display too.
#
#   isolated-wine-test.sh [--wine-session] COMMAND ARGS...
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
source "$tools/wine-session.sh"
orbiscape_wine_fixed_layout "$tools/isolated-wine-test.sh" "$@"

if [ "${1:-}" = --in-namespace ]; then
    shift
    ip link set lo up
    # The X servers' socket files and compiled keymaps too: every test's display is :0 in its own
    # network namespace, while /tmp/.X11-unix/X0 would be one file that each new server took
    # over and each ending one deleted, and /var/lib/xkb/server-0.xkm one file that servers
    # starting together wrote, read and deleted under each other, so that one now and then
    # ended with "Failed to activate virtual core keyboard".
    mkdir -p -m 1777 /tmp/.X11-unix
    mount -t tmpfs -o mode=1777 orbiscape-x11-sockets /tmp/.X11-unix
    if [ -d /var/lib/xkb ]; then
        mount -t tmpfs orbiscape-x11-keymaps /var/lib/xkb
    fi
elif [ "$(id -u)" = 0 ] && unshare --net --mount true 2>/dev/null; then
    exec unshare --net --mount --propagation private -- bash "$tools/isolated-wine-test.sh" --in-namespace "$@"
else
    exec 9>"${TMPDIR:-/tmp}/orbiscape-loopback.lock"
    flock 9
fi

if [ "${1:-}" != --wine-session ]; then
    unset DISPLAY
    exec "$@"
fi
shift
session=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-wine-test.XXXXXX")
trap 'orbiscape_wine_stop; rm -rf "$session"' EXIT
orbiscape_wine_start "$session" xvfb
"$@"
