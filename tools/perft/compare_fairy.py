#!/usr/bin/env python3
"""Times start-position perft 5 of quorvel-perft against fairy-stockfish,
alternating the two programs so that both see the same machine load.

usage: compare_fairy.py PERFT_BINARY [ROUNDS] [DEPTH]
"""
import statistics
import subprocess
import sys
import time

FAIRY = "/usr/games/fairy-stockfish"


def time_quorvel(binary, depth):
    start = time.monotonic()
    out = subprocess.run([binary, str(depth)], capture_output=True, text=True, check=True).stdout
    return time.monotonic() - start, int(out.strip().splitlines()[-1].split()[1])


def time_fairy(depth):
    p = subprocess.Popen([FAIRY], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
    p.stdin.write("uci\nsetoption name UCI_Variant value xiangqi\nposition startpos\nisready\n")
    p.stdin.flush()
    for line in p.stdout:
        if line.startswith("readyok"):
            break
    start = time.monotonic()
    p.stdin.write("go perft %d\n" % depth)
    p.stdin.flush()
    for line in p.stdout:
        if line.startswith("Nodes searched"):
            break
    elapsed = time.monotonic() - start
    p.stdin.write("quit\n")
    p.stdin.flush()
    p.wait()
    return elapsed, int(line.split(":")[1])


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    binary = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    depth = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    ours, theirs = [], []
    for i in range(rounds):
        q, qn = time_quorvel(binary, depth)
        f, fn = time_fairy(depth)
        if qn != fn:
            print("node counts differ: %d vs %d" % (qn, fn))
            return 1
        ours.append(q)
        theirs.append(f)
        print("round %d: quorvel %.3f s, fairy-stockfish %.3f s, ratio %.2f" % (i + 1, q, f, f / q))
    q, f = statistics.median(ours), statistics.median(theirs)
    print("median: quorvel %.3f s, fairy-stockfish %.3f s, ratio %.2f (nodes %d)" % (q, f, f / q, qn))
    return 0


if __name__ == "__main__":
    sys.exit(main())
