#!/usr/bin/env bash
# A cloud installation that its process's end cut off (a forced end, a logoff, a power cut), at
# each of its stages, and the next start: the three cloud bitmaps in use are then the whole set of
# the map that was installed before, or, once every new bitmap had moved in, the whole set of the
# new map; never a mix, never the seed map in place of a downloaded one, and nothing of the
# installation is left over. Both maps are downloads, from a mirror on this machine.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kInUse=(clouds-2560.bmp clouds-512.bmp current-clouds.bmp)
readonly kNew=(clouds-2560-new.bmp clouds-512-new.bmp current-clouds-new.bmp)
readonly kKept=(clouds-2560-old.bmp clouds-512-old.bmp current-clouds-old.bmp)

# install_map SET: the mirror's map is downloaded and installed by a run of the program, whose
# three bitmaps are then kept in E2E_DIR/SET.
install_map() {
    e2e_set_qword CloudsLastUpdated 0
    e2e_set_dword AutoUpdateClouds 1
    e2e_restart_program
    e2e_require "map $1 is downloaded and installed" e2e_wait 90 e2e_map_installed
    e2e_exit_program
    mkdir -p "$E2E_DIR/$1"
    local file
    for file in "${kInUse[@]}"; do
        cp "$E2E_INSTALL/$file" "$E2E_DIR/$1/"
    done
}

# lay_out [NAME=SET/FILE | NAME=] ...: the install folder's cloud bitmaps as a cut installation
# left them: each name holds that file of a set, or nothing.
lay_out() {
    local file
    for file in "${kInUse[@]}" "${kNew[@]}" "${kKept[@]}" clouds-new.jpg; do
        rm -f "$E2E_INSTALL/$file"
    done
    local entry name source
    for entry in "$@"; do
        name=${entry%%=*}
        source=${entry#*=}
        cp "$E2E_DIR/$source" "$E2E_INSTALL/$name"
    done
}

# set_in_use: "A" or "B" when the three names in use hold that set, else what they hold.
set_in_use() {
    local set file whole
    for set in A B; do
        whole=yes
        for file in "${kInUse[@]}"; do
            cmp -s "$E2E_INSTALL/$file" "$E2E_DIR/$set/$file" || whole=no
        done
        if [ $whole = yes ]; then
            echo "$set"
            return
        fi
    done
    echo "a mix:"
    (cd "$E2E_INSTALL" && md5sum "${kInUse[@]}" 2>&1)
}

# after_start STAGE EXPECTED [DOWNLOAD]: starts the program on the files laid out and checks
# what they hold once it has drawn: set EXPECTED in use, nothing of the installation left, and the
# downloaded map present or not.
after_start() {
    local stage=$1 expected=$2 download=${3:-absent}
    e2e_restart_program
    e2e_exit_program
    local found
    found=$(set_in_use)
    echo "   cut $stage: the next start leaves set $found in use"
    e2e_check_equal "cut $stage: the start leaves the whole set $expected in use" "$expected" "$found"
    e2e_check "cut $stage: nothing of the installation is left" e2e_none_present "${kNew[@]}" "${kKept[@]}"
    if [ "$download" = present ]; then
        e2e_check "cut $stage: the downloaded map stays for the next download" test -f "$E2E_INSTALL/clouds-new.jpg"
    else
        e2e_check "cut $stage: the installed download is deleted" e2e_none_present clouds-new.jpg
    fi
}

e2e_begin cut-cloud-installation
e2e_make_cloud_maps
e2e_start_mirror
e2e_set_dword CenterOn 0
e2e_set_urls "http://$kMirror$kMapPath"
# Set A, the map installed before; set B, the one whose installation is cut off.
install_map A
convert "$E2E_MIRROR_DIR$kMapPath" -flop "$E2E_MIRROR_DIR$kMapPath"
install_map B
cp "$E2E_MIRROR_DIR$kMapPath" "$E2E_DIR/map.jpg"
e2e_require "the two downloads differ" test "$(md5sum <"$E2E_DIR/A/clouds-2560.bmp")" != \
    "$(md5sum <"$E2E_DIR/B/clouds-2560.bmp")"
# From here no download runs: only the start decides what is in use.
e2e_set_dword AutoUpdateClouds 0

echo "-- cut while the new bitmaps are made"
lay_out clouds-2560.bmp=A/clouds-2560.bmp clouds-512.bmp=A/clouds-512.bmp current-clouds.bmp=A/current-clouds.bmp \
    clouds-2560-new.bmp=B/clouds-2560.bmp clouds-512-new.bmp=B/clouds-512.bmp clouds-new.jpg=map.jpg
after_start "while making" A present

echo "-- cut after the first new bitmap moved in"
lay_out clouds-2560.bmp=B/clouds-2560.bmp clouds-512.bmp=A/clouds-512.bmp current-clouds.bmp=A/current-clouds.bmp \
    clouds-2560-old.bmp=A/clouds-2560.bmp clouds-512-new.bmp=B/clouds-512.bmp \
    current-clouds-new.bmp=B/current-clouds.bmp clouds-new.jpg=map.jpg
after_start "after the first move" A present

echo "-- cut with the last bitmap kept aside, before it moved"
lay_out clouds-2560.bmp=B/clouds-2560.bmp clouds-512.bmp=B/clouds-512.bmp current-clouds.bmp=A/current-clouds.bmp \
    clouds-2560-old.bmp=A/clouds-2560.bmp clouds-512-old.bmp=A/clouds-512.bmp \
    current-clouds-old.bmp=A/current-clouds.bmp current-clouds-new.bmp=B/current-clouds.bmp clouds-new.jpg=map.jpg
after_start "before the last move" A present

echo "-- cut after the last new bitmap moved in"
lay_out clouds-2560.bmp=B/clouds-2560.bmp clouds-512.bmp=B/clouds-512.bmp current-clouds.bmp=B/current-clouds.bmp \
    clouds-2560-old.bmp=A/clouds-2560.bmp clouds-512-old.bmp=A/clouds-512.bmp \
    current-clouds-old.bmp=A/current-clouds.bmp clouds-new.jpg=map.jpg
after_start "after the last move" B

echo "-- cut while the kept bitmaps were cleared away"
lay_out clouds-2560.bmp=B/clouds-2560.bmp clouds-512.bmp=B/clouds-512.bmp current-clouds.bmp=B/current-clouds.bmp \
    current-clouds-old.bmp=A/current-clouds.bmp clouds-new.jpg=map.jpg
after_start "while clearing" B

# Earlier versions moved the bitmap in use aside before the new one took its name: a cut between
# the two left no master bitmap, and the next start made one from the seed map.
echo "-- cut as earlier versions left it, the master bitmap's name empty"
lay_out clouds-512.bmp=A/clouds-512.bmp current-clouds.bmp=A/current-clouds.bmp \
    clouds-2560-old.bmp=A/clouds-2560.bmp clouds-2560-new.bmp=B/clouds-2560.bmp \
    clouds-512-new.bmp=B/clouds-512.bmp current-clouds-new.bmp=B/current-clouds.bmp clouds-new.jpg=map.jpg
after_start "by an earlier version" A present
