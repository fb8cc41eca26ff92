#!/usr/bin/env python3
"""Time the engine spends between the end of a search and reading its next command.

usage: scripts/aging-time.py [ENGINE] [HASH_MB] [SEARCHES]

Defaults: build/quorvel, 1024 MB, 100 searches. Each round sends a depth-1 go
followed at once by isready; the engine answers isready only when it is back
in its command loop, so the time from the bestmove line to the readyok line is
that work (the table's aging) plus one pipe round trip. Prints the mean and
the largest figure in milliseconds.
"""
import subprocess
import sys
import time

engine = sys.argv[1] if len(sys.argv) > 1 else "build/quorvel"
megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 1024
searches = int(sys.argv[3]) if len(sys.argv) > 3 else 100

proc = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)


def send(line):
    proc.stdin.write(line + "\n")
    proc.stdin.flush()


def wait_for(prefix):
    while True:
        line = proc.stdout.readline()
        if not line:
            sys.exit("engine ended before " + prefix)
        if line.startswith(prefix):
            return time.perf_counter()


send("ucci")
wait_for("ucciok")
send("setoption usebook false")
send(f"setoption hashsize {megabytes}")
send("isready")
wait_for("readyok")

gaps = []
# Alternate two positions so that consecutive searches store different lines.
positions = ["position startpos", "position startpos moves h2e2"]
for i in range(searches):
    send(positions[i % 2])
    send("go depth 1")
    send("isready")
    ended = wait_for("bestmove")
    ready = wait_for("readyok")
    gaps.append((ready - ended) * 1000.0)

send("quit")
proc.wait(timeout=60)
print(f"{engine}: hashsize {megabytes}, {searches} searches: "
      f"mean {sum(gaps) / len(gaps):.3f} ms, max {max(gaps):.3f} ms")
