#!/usr/bin/env bash
# The program in a folder its user cannot write to, and on a disk that fills up, as an ordinary
# user meets them (root writes everywhere, so Wine runs here as a user of its own):
# - unpacked into a folder of someone else's (as under Program Files), it says so once at start,
#   naming the folder and the reason, and ends; started again it says the same, as its
#   single-instance lock went with it;
# - "/uninstall" from such a folder still takes the program's picture off the desktop, and says
#   nothing;
# - when its disk fills up after a good start it keeps running and keeps the frame on the
#   desktop, tells the user once in a balloon from its icon, naming the folder and the reason,
#   and draws again at the next redraw once there is room, preparing its sources anew.
# Needs root (for the other user and for the small disk); without it the scenario says it was
# skipped.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

readonly kSkipped=77
readonly kUser=orbiscape-e2e
readonly kUpdateFreq=2000
# A disk with room for the program, its pictures and its working files at 1280 x 1024, and a few
# megabytes more.
readonly kDiskSize=64m
readonly kApplySettings=$(e2e_id ID_APPLY_SETTINGS)

if [ "$(id -u)" != 0 ] || ! command -v runuser >/dev/null || ! command -v useradd >/dev/null; then
    echo "unwritable-folder: skipped, it needs root to run Wine as another user and to mount a small disk"
    exit $kSkipped
fi

e2e_begin_bookkeeping unwritable-folder

# Every Wine command of the scenario runs as the ordinary user, in a prefix and a home of its own.
id -u "$kUser" >/dev/null 2>&1 || useradd --no-create-home --shell /usr/sbin/nologin "$kUser"
chmod 755 "$E2E_DIR"
mkdir -p "$E2E_DIR/home" "$E2E_DIR/wine/prefix" "$E2E_DIR/bin"
chown "$kUser" "$E2E_DIR/home" "$E2E_DIR/wine/prefix"
for tool in wine wine-stable wineserver wineboot winepath; do
    cat >"$E2E_DIR/bin/$tool" <<EOF
#!/bin/sh
exec runuser -u $kUser -- env PATH=/usr/bin:/bin HOME="$E2E_DIR/home" WINEPREFIX="\$WINEPREFIX" \
    WINEDEBUG="\$WINEDEBUG" WINEDLLOVERRIDES="\$WINEDLLOVERRIDES" DISPLAY="\$DISPLAY" /usr/bin/$tool "\$@"
EOF
    chmod 755 "$E2E_DIR/bin/$tool"
done
PATH="$E2E_DIR/bin:$PATH"
# The checkout may lie in a folder the user cannot enter (a root-only home): what the user runs,
# and the folder it runs from, are the scenario's own.
mkdir -p "$E2E_DIR/probe"
cp "$ORBISCAPE_E2E_PROBE" "$E2E_DIR/probe/"
ORBISCAPE_E2E_PROBE="$E2E_DIR/probe/$(basename "$ORBISCAPE_E2E_PROBE")"
cd "$E2E_DIR"
# The run's prefix template is root's, with root's profile in it: this user boots a prefix of its own.
unset ORBISCAPE_WINE_TEMPLATE
e2e_begin_wine
echo "   Wine runs as $kUser"

no_temporary_files() { ! ls "$E2E_INSTALL"/*.tmp >/dev/null 2>&1; }
folder_of() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

e2e_set_dword CenterOn 0
e2e_set_dword Clouds 0
e2e_set_dword UpdateFreq $kUpdateFreq

# 1. A folder that belongs to root: the user may read it, not write to it.
E2E_INSTALL="$E2E_DIR/read-only"
E2E_COMMAND_FOLDER=$E2E_INSTALL
orbiscape_lay_out_install "$E2E_INSTALL" "$ORBISCAPE_EXE" "$ORBISCAPE_SOURCE_DIR/data"
chmod 755 "$E2E_INSTALL"
shipped=$(ls "$E2E_INSTALL")
read_only_folder=$(folder_of "$E2E_INSTALL")
for start in first second; do
    e2e_start_program
    if [ "$start" = first ] && e2e_wait 60 e2e_message_box_open; then
        e2e_screenshot read-only-folder-message
    fi
    message=$(e2e_probe answer-message-box Orbiscape 60000 || true)
    echo "   the $start start says: $(tr '\n' ' ' <<<"$message")"
    e2e_check "the $start start says it cannot keep its files in the folder" \
        grep -qF "cannot keep its working files in its folder:" <<<"$message"
    e2e_check "the message names the folder in full" grep -qxF "$read_only_folder" <<<"$message"
    e2e_check "the message gives the reason" grep -qiF "denied" <<<"$message"
    e2e_check "the message says what to do" grep -qF "installer" <<<"$message"
    e2e_check "the program ends after the $start message" e2e_wait 30 e2e_program_gone
done
e2e_check_equal "nothing was written into the folder" "$shipped" "$(ls "$E2E_INSTALL")"

# 2. The same folder once held a working copy, whose frame is the wallpaper; then it became
# read-only. "/uninstall" from elsewhere takes the picture away without a word.
chown -R "$kUser" "$E2E_INSTALL"
e2e_start_program
e2e_wait_for_first_frame
e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
e2e_check "the program ends after Exit" e2e_wait 30 e2e_program_gone
chown -R root "$E2E_INSTALL"
uninstalled=0
(cd "$E2E_DIR/home" && timeout 60 wine "$(folder_of "$E2E_INSTALL/orbiscape.exe")" /uninstall) \
    >"$E2E_DIR/uninstall.log" 2>&1 || uninstalled=$?
e2e_check_equal "\"/uninstall\" from the read-only folder ends by itself, without a message" 0 "$uninstalled"
e2e_check_equal "the wallpaper is taken away" "" "$(e2e_probe wallpaper)"

# 3. A disk of its own that fills up after a good start.
E2E_INSTALL="$E2E_DIR/disk"
E2E_COMMAND_FOLDER=$E2E_INSTALL
mkdir -p "$E2E_INSTALL"
e2e_require "a small disk is mounted for the program" \
    mount -t tmpfs -o "size=$kDiskSize,uid=$(id -u "$kUser"),mode=755" orbiscape-e2e "$E2E_INSTALL"
e2e_at_end "umount '$E2E_INSTALL'"
orbiscape_lay_out_install "$E2E_INSTALL" "$ORBISCAPE_EXE" "$ORBISCAPE_SOURCE_DIR/data"
chown -R "$kUser" "$E2E_INSTALL"
disk_folder=$(folder_of "$E2E_INSTALL")
e2e_start_program
e2e_wait_for_first_frame

# The disk fills up; an apply then prepares the sources, which cannot be written, nor can the
# frame. A frame still being written gives back the space of the one it replaces once it is
# renamed into place, so the room left is measured only while no file is being written.
fill_disk() {
    local round free
    for round in 1 2 3 4 5 6; do
        e2e_wait 30 no_temporary_files || true
        free=$(df -k --output=avail "$E2E_INSTALL" | tail -n 1)
        if no_temporary_files; then
            [ "$free" -gt 1024 ] || return 0
            dd if=/dev/zero of="$E2E_INSTALL/filler-$round" bs=1k count=$((free - 512)) status=none 2>/dev/null || true
        fi
    done
    return 1
}
e2e_require "the disk is full" fill_disk
good_frame=$(e2e_frame_stamp)
prepared_day=$(e2e_file_inode "$E2E_INSTALL/current-day.bmp")
e2e_require "an apply is delivered" e2e_probe choose-tray-command $kApplySettings
balloon_shown() { balloon=$(e2e_probe balloons) && grep -qF "could not write its files in $disk_folder." <<<"$balloon"; }
e2e_check "a balloon from the icon says the files could not be written, naming the folder" e2e_wait 30 balloon_shown
echo "   the balloon: $(tr '\n' ' ' <<<"${balloon:-}")"
e2e_screenshot full-disk-balloon
e2e_check "the balloon gives the reason" grep -qiF "disk full" <<<"${balloon:-}"
e2e_check "the frame on the desktop stays while the disk is full" e2e_not e2e_wait 6 e2e_frame_replaced "$good_frame"
e2e_check "the wallpaper still names current.bmp" orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL"
e2e_check "no half-written file is left" no_temporary_files
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
# Told once per run: after the balloon has gone, further failed redraws show none. Gone means
# unseen for a few seconds on end, not missed by one look while the shell redraws its tray.
balloon_present() { e2e_probe balloons >/dev/null; }
balloon_stays_away() { e2e_not e2e_wait 3 balloon_present; }
e2e_check "the balloon goes after a while" e2e_wait 40 balloon_stays_away
e2e_check "failed redraws after it show no second balloon" e2e_not e2e_wait 6 balloon_shown

# Room again: the redraws prepare the sources that failed and draw. The room may come in the
# middle of a redraw, after its sources failed but in time for its frame, which is then drawn
# from the sources prepared before; the next redraw prepares them.
room_made=$SECONDS
rm -f "$E2E_INSTALL"/filler-*
e2e_check "a new frame is drawn once there is room" e2e_wait 60 e2e_frame_replaced "$good_frame"
echo "   $((SECONDS - room_made)) s from making room to the next frame"
day_prepared_anew() { [ "$(e2e_file_inode "$E2E_INSTALL/current-day.bmp")" != "$prepared_day" ]; }
e2e_check "the sources are prepared anew" e2e_wait 30 day_prepared_anew
e2e_check "the new frame is the wallpaper" orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL"
e2e_screenshot after-the-disk-had-room
e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
e2e_check "the program ends after Exit" e2e_wait 30 e2e_program_gone
