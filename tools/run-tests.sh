#!/usr/bin/env bash
# Runs every test of Orbiscape: the native build, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of every fuzz target, and the Windows build under Wine
# on a virtual X display.
# Fails when a build fails, a test fails, or a configuration runs no test at all.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

tools/install-deps.sh
jobs=$(nproc)

for preset in native native-sanitize windows; do
    echo "== build: $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done

echo "== tests: native"
ctest --preset native --no-tests=error

echo "== tests: native with sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset native-sanitize --no-tests=error

echo "== fuzzing: every target for 10 s"
bash tools/fuzz.sh 10

echo "== tests: Windows under Wine"
source tools/wine-session.sh
session=$(mktemp -d /tmp/orbiscape-wine-tests.XXXXXX)
trap 'orbiscape_wine_stop; rm -rf "$session"' EXIT
orbiscape_wine_start "$session" xvfb
ctest --preset windows --no-tests=error
echo "== all tests passed"
