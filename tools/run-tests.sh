#!/usr/bin/env bash
# Runs every test of Orbiscape: the native build, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of every fuzz target, and the Windows build under Wine.
# Fails when a build fails, a test fails, or a configuration runs no test at all.
#
# The Windows tests mostly wait (for Wine, for a slow mirror, for a timer of the program), each
# in namespaces and a Wine session of its own, so they run several at a time. The native builds,
# their tests and the fuzzing run meanwhile at the lowest priority, on the processor time the Windows
# tests leave idle. At the end it prints how long each stage took and the slowest tests.
set -euo pipefail
cd "$(dirname "$0")/.."
# The test logs, which the report at the end reads the slowest tests from.
ORBISCAPE_TEST_LOGS=build/test-logs
readonly logs=$ORBISCAPE_TEST_LOGS
# Windows tests at a time: each is mostly idle, and the processor-heavy ones say so to CTest.
# Four end well before the native builds, tests and fuzzing do; six ended no sooner overall and
# left timing-sensitive tests too little of the processor.
wine_jobs=${ORBISCAPE_WINE_TEST_JOBS:-4}
jobs=$(nproc)

source tools/test-run-report.sh
trap orbiscape_report_run EXIT

orbiscape_stage "dependency check" tools/install-deps.sh
mkdir -p "$logs"
rm -f "$logs"/*.log
for preset in native native-sanitize windows; do
    cmake --preset "$preset" >/dev/null
done

orbiscape_stage "build: windows" cmake --build --preset windows -j "$jobs"
orbiscape_stage_in_background windows_tests "tests: Windows under Wine" "$logs/windows.log" \
    ctest --preset windows --no-tests=error -j "$wine_jobs"

quietly() { nice -n 19 "$@"; }
orbiscape_stage "build: native" quietly cmake --build --preset native -j "$jobs"
orbiscape_stage "tests: native" orbiscape_logged "$logs/native.log" \
    quietly ctest --preset native --no-tests=error -j "$jobs"
orbiscape_stage "build: native-sanitize" quietly cmake --build --preset native-sanitize -j "$jobs"
orbiscape_stage "tests: native with sanitizers" orbiscape_logged "$logs/native-sanitize.log" \
    env ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    nice -n 19 ctest --preset native-sanitize --no-tests=error -j "$jobs"
orbiscape_stage "build: fuzz" quietly bash -c 'cmake --preset fuzz >/dev/null &&
    cmake --build --preset fuzz -j "$1" --target orbiscape-fuzz-targets' _ "$jobs"
orbiscape_stage "fuzzing: every target for 10 s" quietly bash tools/fuzz.sh 10 "$jobs"

orbiscape_wait_for_stage windows_tests
echo "== all tests passed"
