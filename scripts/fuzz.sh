#!/bin/sh
# scripts/fuzz.sh [TARGET|all] [SECONDS]: builds the libFuzzer targets of fuzz/
# with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/,
# and runs one target or all of them, each for SECONDS (20 unless given),
# starting from the seeds in fuzz/corpus/<target>. A crash or a broken
# invariant fails the run; the input that did it is written to
# build-fuzz/artifacts/<target>/ and belongs in fuzz/regressions/<target>/.
# Needs: apt-get install clang libfuzzer-14-dev libclang-rt-14-dev
set -eu

cd "$(dirname "$0")/.."
TARGET="${1:-all}"
SECONDS_EACH="${2:-20}"
JOBS="${JOBS:-2}"
CXX_FUZZ="${CXX_FUZZ:-clang++}"

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CXX_FUZZ" \
    -DQUORVEL_FUZZ=ON -DQUORVEL_TESTS=OFF >/dev/null
if [ "$TARGET" = all ]; then
    targets="lines conversation position book notation"
else
    targets="$TARGET"
fi
for t in $targets; do cmake --build build-fuzz -j "$JOBS" --target "fuzz_$t"; done

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
# One target: its log in build-fuzz/<target>.log; 0 when nothing broke.
run_target() {
    t="$1"
    corpus="build-fuzz/corpus/$t"
    artifacts="build-fuzz/artifacts/$t"
    mkdir -p "$corpus" "$artifacts"
    # The seeds and the inputs that once broke something start every run.
    build-fuzz/fuzz/fuzz_$t -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -timeout=30 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 \
        "$corpus" "fuzz/corpus/$t" $( [ -d "fuzz/regressions/$t" ] && echo "fuzz/regressions/$t" ) \
        >"build-fuzz/$t.log" 2>&1
}

# Two targets at a time, one per core.
status=0
set -- $targets
while [ $# -gt 0 ]; do
    first="$1"
    second="${2:-}"
    echo "== fuzz_$first${second:+ and fuzz_$second} for $SECONDS_EACH s"
    run_target "$first" & first_pid=$!
    if [ -n "$second" ]; then run_target "$second" & second_pid=$!; fi
    for t in $first $second; do
        if [ "$t" = "$first" ]; then pid=$first_pid; else pid=$second_pid; fi
        if ! wait "$pid"; then
            echo "fuzz_$t failed; its log is build-fuzz/$t.log, the input in build-fuzz/artifacts/$t/"
            tail -n 40 "build-fuzz/$t.log"
            status=1
        fi
        grep -E '^#[0-9]+.*DONE' "build-fuzz/$t.log" | sed "s/^/fuzz_$t: /" || true
    done
    shift
    [ $# -gt 0 ] && shift
done
exit $status
