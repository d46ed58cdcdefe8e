#!/usr/bin/env bash
# Nobody can see the desktop while the session is locked; the probe tells the program's tray
# window of the lock and the unlock as the system would (Wine never does). With a redraw every
# 5 s:
# - while locked, no frame comes for 30 s and no working file is written, though a wake comes
#   meanwhile; the program spends next to no processor time;
# - once unlocked, a frame follows within a second;
# - locked again, the display changes size, and nothing is drawn until the unlock, which gives a
#   frame of the new size.
# The times from the unlocks to their frames, and the processor time while locked, are shown.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

readonly kLock=7 kUnlock=8 kSmallScreen="1024 768"
# While locked the program only takes the notices: a timed redraw alone costs more than this.
readonly kMostTicksWhileLocked=20

# cpu_ticks: the user and system time of the program's process so far, in clock ticks.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$(orbiscape_program_linux_pid)/stat"
}

# nothing_written_since MARKER: no file in the install folder is newer than MARKER.
nothing_written_since() {
    [ -z "$(find "$E2E_INSTALL" -newer "$1" -print -quit)" ]
}

# session_change EVENT: the notice, answered by the program; prints the moment it was sent.
session_change() {
    e2e_probe session-change "$1"
}

e2e_begin unseen-desktop
e2e_set_dword CenterOn 0
e2e_set_dword UpdateFreq 5000

e2e_start_program
e2e_wait_for_first_frame
stamp=$(e2e_frame_stamp)
e2e_require "while the desktop is seen a frame comes every period" e2e_wait 15 e2e_frame_replaced "$stamp"

# Locked just after a frame; the probe returns once the program has taken the notice.
e2e_require "the lock reaches the program" test -n "$(session_change $kLock)"
locked_at=$SECONDS
stamp=$(e2e_frame_stamp)
touch "$E2E_DIR/locked"
ticks=$(cpu_ticks)
e2e_require "the wake broadcast is sent" test -n "$(e2e_probe broadcast-resume)"
e2e_check "no frame comes for 30 s while locked" e2e_stays_false 30 "$locked_at" e2e_frame_replaced "$stamp"
ticks=$(($(cpu_ticks) - ticks))
echo "   locked: $ticks ticks of processor time in 30 s ($(getconf CLK_TCK) a second)"
e2e_check "no working file is written while locked" nothing_written_since "$E2E_DIR/locked"
e2e_check "the program spends no more than $kMostTicksWhileLocked ticks while locked" \
    test "$ticks" -le "$kMostTicksWhileLocked"

sent=$(session_change $kUnlock)
e2e_require "the unlock reaches the program" test -n "$sent"
e2e_require "the unlock gives a new frame" e2e_wait 10 e2e_frame_replaced "$stamp"
after=$(e2e_seconds_to_frame "$sent")
echo "   unlock: the frame followed after $after s"
e2e_check "the frame follows the unlock within a second" awk -v s="$after" 'BEGIN { exit !(s <= 1.0) }'
e2e_screenshot unlocked

# A new display size while locked is drawn at the unlock.
e2e_require "the lock reaches the program" test -n "$(session_change $kLock)"
locked_at=$SECONDS
stamp=$(e2e_frame_stamp)
e2e_require "the display becomes ${kSmallScreen/ /x}" test -n "$(e2e_probe change-display $kSmallScreen)"
e2e_check "no frame comes for two periods while locked" \
    e2e_stays_false 10 "$locked_at" e2e_frame_replaced "$stamp"
sent=$(session_change $kUnlock)
e2e_require "the unlock reaches the program" test -n "$sent"
e2e_check "the unlock gives a new frame" e2e_wait 30 e2e_frame_replaced "$stamp"
echo "   unlock after the display change: the frame followed after $(e2e_seconds_to_frame "$sent") s"
e2e_check_equal "the new frame has the new size" "$kSmallScreen" "$(e2e_frame_size)"
e2e_screenshot unlocked-smaller
