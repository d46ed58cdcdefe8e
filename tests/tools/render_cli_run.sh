#!/usr/bin/env bash
# Runs orbiscape-render as a user would and checks what it leaves behind: a refused command line
# or an unreadable input exits non-zero, says why on stderr and writes no output file; a good
# one writes the frame, from bitmap files at the day map's size, from the imagery at the size
# asked for, cropped or with black bars.
#   render_cli_run.sh PROGRAM DATA_FOLDER [EMULATOR]
set -u
program=$1
data=$2
emulator=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

render() { $emulator "$program" "$@" >stdout.txt 2>stderr.txt; }

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# A 4 x 2 day map: a 32-bit bottom-up bitmap file of mid-grey pixels.
{
    printf 'BM\x5e\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
    printf '\x28\x00\x00\x00\x04\x00\x00\x00\x02\x00\x00\x00\x01\x00\x20\x00'
    printf '\x00\x00\x00\x00\x20\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00'
    for _ in 1 2 3 4 5 6 7 8; do printf '\x80\x80\x80\x00'; done
} >day.bmp
printf 'not a bitmap' >bogus.bmp

expect_refusal() {
    local what=$1 status=$2
    shift 2
    render "$@"
    local got=$?
    [ "$got" -eq "$status" ] || fail "$what: exit status $got, wanted $status"
    grep -q 'orbiscape-render: ' stderr.txt || fail "$what: no reason on stderr"
    [ ! -e out.bmp ] || fail "$what: left an output file"
    rm -f out.bmp
}

expect_refusal "unknown option" 2 --day-file day.bmp --frobnicate -o out.bmp
expect_refusal "missing day map" 1 --day-file missing.bmp -o out.bmp
expect_refusal "day map that is not a bitmap" 1 --day-file bogus.bmp -o out.bmp
expect_refusal "night map that is not a bitmap" 1 --day-file day.bmp --night-file bogus.bmp -o out.bmp
expect_refusal "unwritable output" 1 --day-file day.bmp -o no-such-folder/out.bmp
[ ! -e no-such-folder ] || fail "unwritable output: made a folder"

render --day-file day.bmp --darken --at 2024-06-21T12:00:00Z -o out.bmp || fail "good command line: status $?"
# 54 bytes of headers and 4 x 2 pixels of 4 bytes.
size=$(stat -c %s out.bmp 2>/dev/null || echo 0)
[ "$size" -eq 86 ] || fail "good command line: output of $size bytes, wanted 86"
[ -z "$(ls | grep -v -E '^(day|bogus|out)\.bmp$|^std(out|err)\.txt$')" ] || fail "left other files: $(ls)"

rm -f out.bmp

# Reads the little-endian number of `count` bytes at `offset` of a file.
number_at() {
    od -An -tu1 -j "$2" -N "$3" "$1" | awk '{ for (i = NF; i >= 1; i--) value = value * 256 + $i } END { print value + 0 }'
}
# Sum of the bytes of stored row `row` (0 is the bottom row of a bottom-up file).
row_sum() {
    local file=$1 row=$2 width offset
    width=$(number_at "$file" 18 4)
    offset=$(number_at "$file" 10 4)
    od -An -tu1 -v -j $((offset + row * width * 4)) -N $((width * 4)) "$file" |
        awk '{ for (i = 1; i <= NF; i++) sum += $i } END { print sum + 0 }'
}

expect_refusal "missing imagery folder" 1 --data no-such-folder --size 64x32 -o out.bmp
expect_refusal "missing day map number" 1 --data "$data" --day 42 --size 64x32 -o out.bmp

render --data "$data" --size 1024x768 --crop --at 2024-06-21T12:00:00Z -o crop.bmp || fail "--crop: status $?"
[ "$(number_at crop.bmp 18 4)x$(number_at crop.bmp 22 4)" = 1024x768 ] || fail "--crop: not 1024 x 768"
[ "$(row_sum crop.bmp 0)" -gt 0 ] && [ "$(row_sum crop.bmp 767)" -gt 0 ] || fail "--crop: black rows"

render --data "$data" --size 1024x768 --black-bars --at 2024-06-21T12:00:00Z -o bars.bmp ||
    fail "--black-bars: status $?"
[ "$(number_at bars.bmp 18 4)x$(number_at bars.bmp 22 4)" = 1024x768 ] || fail "--black-bars: not 1024 x 768"
for row in 0 127 640 767; do
    [ "$(row_sum bars.bmp $row)" -eq 0 ] || fail "--black-bars: row $row of the file is not black"
done
for row in 128 639; do
    [ "$(row_sum bars.bmp $row)" -gt 0 ] || fail "--black-bars: row $row of the file is black"
done
rm -f crop.bmp bars.bmp

[ "$failures" -eq 0 ] && echo "render_cli_run: all checks passed"
exit "$failures"
