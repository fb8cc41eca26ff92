#!/usr/bin/env python3
"""Nodes per second of quorvel-bench beside fairy-stockfish on the same positions.

Runs quorvel-bench, then gives fairy-stockfish (UCI, UCI_Variant xiangqi, one
thread) each bench position for the time Quorvel spent on it, and prints both
rates and their ratio.

usage: compare_fairy.py [path/to/quorvel-bench] [DEPTH] [--fairy COMMAND]
"""
import re
import shutil
import subprocess
import sys

BENCH_LINE = re.compile(r"^bench position (\d+) nodes (\d+) time (\d+)(?: move \S+)? fen (.+)$")
TOTAL_LINE = re.compile(r"^bench nodes (\d+) time (\d+) nps (\d+)$")


def run_bench(bench, depth):
    command = [bench] + ([depth] if depth else [])
    output = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    positions, total = [], None
    for line in output.splitlines():
        match = BENCH_LINE.match(line)
        if match:
            positions.append((int(match[2]), int(match[3]), match[4]))
        match = TOTAL_LINE.match(line)
        if match:
            total = tuple(int(group) for group in match.groups())
    return positions, total


class Fairy:
    def __init__(self, command):
        self.process = subprocess.Popen(command.split(), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)
        self.send("uci")
        self.wait_for("uciok")
        for option in ("UCI_Variant value xiangqi", "Threads value 1", "Hash value 16"):
            self.send("setoption name " + option)

    def send(self, line):
        self.process.stdin.write(line + "\n")

    def wait_for(self, prefix):
        seen = []
        for line in self.process.stdout:
            seen.append(line.strip())
            if line.startswith(prefix):
                return seen
        raise RuntimeError("fairy-stockfish ended before " + prefix)

    def search(self, fen, milliseconds):
        self.send("ucinewgame")
        self.send("isready")
        self.wait_for("readyok")
        self.send("position fen " + fen)
        self.send("go movetime %d" % milliseconds)
        nodes = 0
        for line in self.wait_for("bestmove"):
            match = re.search(r"\bnodes (\d+)", line)
            if match:
                nodes = int(match[1])
        return nodes

    def close(self):
        self.send("quit")
        self.process.wait(timeout=10)


def main(arguments):
    # Debian installs it under /usr/games, which is not always on the path.
    fairy_command = shutil.which("fairy-stockfish") or "/usr/games/fairy-stockfish"
    if "--fairy" in arguments:
        at = arguments.index("--fairy")
        fairy_command = arguments[at + 1]
        del arguments[at:at + 2]
    bench = arguments[0] if arguments else "build/quorvel-bench"
    depth = arguments[1] if len(arguments) > 1 else None

    positions, total = run_bench(bench, depth)
    fairy = Fairy(fairy_command)
    fairy_nodes = fairy_time = 0
    print("%-4s %12s %8s %12s %12s" % ("pos", "quorvel nps", "ms", "fairy nps", "ratio"))
    for number, (nodes, milliseconds, fen) in enumerate(positions, 1):
        budget = max(milliseconds, 1)
        searched = fairy.search(fen, budget)
        fairy_nodes += searched
        fairy_time += budget
        own = nodes * 1000 // budget
        other = searched * 1000 // budget
        print("%-4d %12d %8d %12d %12.2f" % (number, own, budget, other, own / other if other else 0.0))
    fairy.close()

    quorvel_nps = total[0] * 1000 // max(total[1], 1)
    fairy_nps = fairy_nodes * 1000 // max(fairy_time, 1)
    print("quorvel nodes %d time %d nps %d" % (total[0], total[1], quorvel_nps))
    print("fairy-stockfish nodes %d time %d nps %d" % (fairy_nodes, fairy_time, fairy_nps))
    print("ratio %.2f" % (quorvel_nps / fairy_nps if fairy_nps else 0.0))


if __name__ == "__main__":
    main(sys.argv[1:])
