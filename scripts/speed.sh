#!/bin/sh
# Compares the search speed of two commits. Each is exported with git archive
# and built (Release) under build/speed/<commit>; their quorvel-bench then run
# in turn, five rounds each, and the median nodes per second of each is
# printed with the ratio NEW/OLD. With valgrind installed, callgrind's
# instructions per node are printed too (quorvel-bench at a small depth),
# with and without the table clears between positions.
#
# usage: scripts/speed.sh OLD_COMMIT NEW_COMMIT
# environment: BENCH_DEPTH (default: the bench's own), CALLGRIND_DEPTH (6), JOBS (2)
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 OLD_COMMIT NEW_COMMIT" >&2
    exit 2
fi
cd "$(dirname "$0")/.."
ROOT="$PWD/build/speed"
ROUNDS=5

# Builds commit $1 once and prints the path of its quorvel-bench.
build_bench() {
    commit=$(git rev-parse --verify --short=12 "$1^{commit}")
    dir="$ROOT/$commit"
    if [ ! -x "$dir/build/quorvel-bench" ]; then
        echo "== building $1 ($commit)" >&2
        rm -rf "$dir"
        mkdir -p "$dir/source"
        git archive "$commit" | tar -x -C "$dir/source"
        cmake -S "$dir/source" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF >/dev/null
        cmake --build "$dir/build" -j "${JOBS:-2}" --target quorvel-bench >/dev/null
    fi
    echo "$dir/build/quorvel-bench"
}

# The last line of quorvel-bench reads "bench nodes N time T nps P".
bench_line() {
    "$1" ${BENCH_DEPTH:-} | tail -n 1
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

old=$(build_bench "$1")
new=$(build_bench "$2")
work=$(mktemp -d "$ROOT/run.XXXXXX")
trap 'rm -rf "$work"' EXIT

round=1
while [ "$round" -le "$ROUNDS" ]; do
    bench_line "$old" >>"$work/old"
    bench_line "$new" >>"$work/new"
    echo "== round $round of $ROUNDS: old $(awk '{ print $7 }' "$work/old" | tail -n 1) nps," \
        "new $(awk '{ print $7 }' "$work/new" | tail -n 1) nps" >&2
    round=$((round + 1))
done

old_nps=$(awk '{ print $7 }' "$work/old" | median)
new_nps=$(awk '{ print $7 }' "$work/new" | median)
echo "old $1: nodes $(awk 'END { print $3 }' "$work/old"), median $old_nps nps"
echo "new $2: nodes $(awk 'END { print $3 }' "$work/new"), median $new_nps nps"
awk -v o="$old_nps" -v n="$new_nps" 'BEGIN { printf "nps ratio new/old: %.3f\n", n / o }'
if [ "$(awk 'END { print $3 }' "$work/old")" != "$(awk 'END { print $3 }' "$work/new")" ]; then
    echo "note: the node counts differ, so the two commits do not search alike"
fi

if command -v valgrind >/dev/null 2>&1; then
    depth=${CALLGRIND_DEPTH:-6}
    for side in old new; do
        eval "bench=\$$side"
        valgrind --tool=callgrind --callgrind-out-file="$work/$side.callgrind" "$bench" "$depth" \
            >"$work/$side.out" 2>"$work/$side.err"
        ir=$(sed -n 's/.*I *refs: *//p' "$work/$side.err" | tr -d ',')
        nodes=$(awk '/^bench nodes/ { print $3 }' "$work/$side.out")
        # The bench clears its table before each position with memset, whose
        # rep stosb valgrind counts byte by byte; the second figure leaves it out.
        clear=$(callgrind_annotate "$work/$side.callgrind" 2>/dev/null |
            awk '/__memset/ { gsub(",", "", $1); sum += $1 } END { print sum + 0 }')
        awk -v s="$side" -v ir="$ir" -v n="$nodes" -v d="$depth" -v c="$clear" \
            'BEGIN { printf "%s: callgrind at depth %s: %d instructions, %d nodes, %.1f per node, %.1f without memset\n", s, d, ir, n, ir / n, (ir - c) / n }'
    done
else
    echo "valgrind not installed: no instruction counts"
fi
