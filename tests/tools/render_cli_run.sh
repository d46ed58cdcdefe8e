#!/usr/bin/env bash
# Runs orbiscape-render as a user would and checks what it leaves behind: a refused command line
# or an unreadable input exits non-zero, says why on stderr and writes no output file; a good
# one writes the frame at the day map's size.
#   render_cli_run.sh PROGRAM [EMULATOR]
set -u
program=$1
emulator=${2:-}
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

[ "$failures" -eq 0 ] && echo "render_cli_run: all checks passed"
exit "$failures"
