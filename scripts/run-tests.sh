#!/bin/sh
# Builds Quorvel and runs every test twice: a Release build in build/, then a
# build with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/.
# Fails when either run fails.
set -eu

cd "$(dirname "$0")/.."
JOBS="${JOBS:-2}"

run_suite() {
    dir="$1"
    shift
    echo "== $dir: configure and build"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
    echo "== $dir: tests"
    (cd "$dir" && ctest -j "$JOBS" --output-on-failure)
}

run_suite build
# LeakSanitizer needs ptrace, which many CI containers forbid; this run is for
# memory errors and undefined behaviour.
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" \
    run_suite build-sanitize -DQUORVEL_SANITIZE=ON
echo "== all tests passed"
