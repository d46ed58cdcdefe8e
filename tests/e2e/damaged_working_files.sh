#!/usr/bin/env bash
# A start after a power cut that lost data which renames had already published, and after forced
# ends in the middle of writes: the master cloud map, the prepared cloud source and the frame
# hold zeros, the day source's record has another tag, the night source's is cut short, and
# temporary files of writes that never ended lie about. The start makes the cloud map again from
# the seed map, prepares the sources afresh and draws its first frame as a clean start does, and
# deletes the temporary files whose process has ended, not one whose process runs.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kPreparedFiles=(clouds-2560.bmp clouds-512.bmp current-day.bmp current-night.bmp current-clouds.bmp)
readonly kRecordTag="MAP PART"
readonly kFirstFrameSeconds=60
# A process id that no process of the prefix has.
readonly kEndedWriter=4000000

# zero_fill FILE: the file keeps its length, and every byte is 0.
zero_fill() {
    local size
    size=$(stat -c %s "$E2E_INSTALL/$1")
    head -c "$size" /dev/zero >"$E2E_INSTALL/$1"
}

# record_tag FILE: the first eight of the last 24 bytes, where a prepared part's record starts.
record_tag() {
    tail -c 24 "$E2E_INSTALL/$1" | head -c 8
}

fingerprints() {
    (cd "$E2E_INSTALL" && md5sum "${kPreparedFiles[@]}")
}

e2e_begin damaged-working-files
# Cropped and centred on a fixed longitude, the prepared sources keep only the columns the frames
# show, with a record of where they lie.
e2e_set_dword CenterOn 0
e2e_set_dword Crop 1
e2e_set_dword Clouds 1
e2e_start_program
e2e_wait_for_first_frame
e2e_exit_program
clean=$(fingerprints)
e2e_require "the day source holds a part of its map, with its record" test "$(record_tag current-day.bmp)" = "$kRecordTag"

# What the power cut left.
zero_fill clouds-2560.bmp
zero_fill current-clouds.bmp
zero_fill current.bmp
printf 'm' | dd of="$E2E_INSTALL/current-day.bmp" bs=1 seek=$(($(stat -c %s "$E2E_INSTALL/current-day.bmp") - 24)) \
    conv=notrunc status=none
truncate -s -5 "$E2E_INSTALL/current-night.bmp"
# What forced ends in the middle of writes left: one of a process that has ended, one of a
# process that runs (the virtual desktop's).
running_writer=$(e2e_probe process-ids explorer.exe | head -n 1)
e2e_require "a running process's id is known" test -n "$running_writer"
ended_temporary="current.bmp.$kEndedWriter-17.tmp"
running_temporary="clouds-2560.bmp.$running_writer-17.tmp"
cp "$E2E_INSTALL/current-clouds.bmp" "$E2E_INSTALL/$ended_temporary"
cp "$E2E_INSTALL/current-clouds.bmp" "$E2E_INSTALL/$running_temporary"
# A downloaded map might have been lost with the master map: the next download is due at once.
e2e_set_qword CloudsLastUpdated "$(e2e_filetime_now)"

started=$SECONDS
stamp=$(e2e_frame_stamp)
e2e_start_program
e2e_check "a frame is drawn within $kFirstFrameSeconds s of the start" \
    e2e_wait $kFirstFrameSeconds orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL" "$stamp"
echo "   first frame after $((SECONDS - started)) s"
e2e_check_equal "the frame has the screen's size" "1280 1024" "$(e2e_frame_size)"
e2e_check_equal "the cloud maps and the prepared sources are made as on a clean start" "$clean" "$(fingerprints)"
e2e_check "the temporary file of an ended process is deleted" e2e_none_present "$ended_temporary"
e2e_check "that of a running process stays" test -f "$E2E_INSTALL/$running_temporary"
e2e_check_equal "CloudsLastUpdated is cleared" 0 "$(e2e_clouds_last_updated)"
e2e_screenshot desktop-after-power-cut || true
e2e_exit_program
