#!/bin/sh
# scripts/soak.sh PROGRAM SECONDS [--seed N]: drives PROGRAM (quorvel,
# quorvel-uci or quorvel-xboard, told apart by its name) over pipes for
# SECONDS with random valid, mutated and raw input, and fails when an
# invariant breaks: one answer per go, isready/ping within 100 ms, stop within
# 50 ms, quit and end of input within 100 ms, no death by a signal, flat
# resident memory. The driver is scripts/soak.py (python3).
set -eu
if [ $# -lt 2 ]; then
    echo "usage: scripts/soak.sh PROGRAM SECONDS [--seed N]" >&2
    exit 2
fi
program="$1"
seconds="$2"
shift 2
# The sanitizers report to standard error and end the program with a failure.
# AddressSanitizer keeps freed blocks in a quarantine of up to 256 MB, which
# would grow the resident size with every book probe's fopen; 1 MB keeps the
# recent frees checked and the resident size the program's own.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:quarantine_size_mb=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
exec python3 "$(dirname "$0")/soak.py" "$program" "$seconds" "$@"
