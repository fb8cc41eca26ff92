#!/usr/bin/env python3
"""Fast self-play through the UCCI protocol, as a match runner plays it:
two engine processes, a clock per side, every move checked.

usage: selfplay.py PROGRAM GAMES [--base MS] [--increment MS] [--plies N]

Each game starts from the start position with the engines' books on, so
that games differ. A side loses on time when it answers after its clock
ran out; every answer must be a legal move (checked by python-chinese-chess
when it is importable, otherwise by quorvel-uci beside PROGRAM); a game ends
on nobestmove, resign, no legal move, or after the ply limit. Any time loss,
illegal move, missing answer or crash fails the run.
"""

import os
import subprocess
import sys
import time


class Engine:
    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def until(self, prefixes, timeout):
        """Lines until one starts with a prefix; the process must live."""
        start = time.monotonic()
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError("engine ended (status %s)" % self.process.wait())
            line = line.rstrip("\n")
            if any(line.startswith(p) for p in prefixes):
                return line
            if time.monotonic() - start > timeout:
                raise RuntimeError("no answer within %.0f s" % timeout)

    def close(self):
        try:
            self.send("quit")
            self.process.stdin.close()
        except (BrokenPipeError, OSError):
            pass
        code = self.process.wait(timeout=10)
        if code != 0:
            raise RuntimeError("engine exit status %d" % code)


class Referee:
    """Legal moves of a position, from cchess or from quorvel-uci."""

    def __init__(self, program):
        self.board = None
        try:
            import cchess  # noqa: F401
            self.cchess = __import__("cchess")
        except ImportError:
            self.cchess = None
            directory = os.path.dirname(program)
            self.uci = Engine([os.path.join(directory, "quorvel-uci")])
            self.uci.send("uci")
            self.uci.until(["uciok"], 30)

    def legal(self, moves, move):
        if self.cchess is not None:
            board = self.cchess.Board()
            for m in moves:
                board.push(self.cchess.Move.from_uci(m))
            return self.cchess.Move.from_uci(move) in board.legal_moves
        self.uci.send("position startpos moves " + " ".join(moves + [move]))
        self.uci.send("isready")
        line = self.uci.until(["readyok", "info string illegal"], 30)
        if line.startswith("info string"):
            self.uci.until(["readyok"], 30)
            return False
        return True


def play(program, referee, base, increment, plies):
    red, black = Engine([program]), Engine([program])
    for engine in (red, black):
        engine.send("ucci")
        engine.until(["ucciok"], 30)
        engine.send("setoption usemillisec on")
    clocks = [base, base]
    moves = []
    result = "ply limit"
    while len(moves) < plies:
        side = len(moves) % 2
        engine = (red, black)[side]
        engine.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
        start = time.monotonic()
        engine.send("go time %d increment %d" % (clocks[side], increment))
        answer = engine.until(["bestmove", "nobestmove"], 60)
        used = int((time.monotonic() - start) * 1000)
        clocks[side] -= used
        if clocks[side] < 0:
            raise RuntimeError("%s lost on time after %d plies (%d ms over)" % (("red", "black")[side], len(moves), -clocks[side]))
        clocks[side] += increment
        words = answer.split()
        if words[0] == "nobestmove":
            result = "nobestmove"
            break
        if not referee.legal(moves, words[1]):
            raise RuntimeError("illegal move %s after %s" % (words[1], " ".join(moves)))
        moves.append(words[1])
        if "resign" in words:
            result = "resign"
            break
    red.close()
    black.close()
    return result, len(moves), min(clocks)


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__)
        return 2
    program, games = args[0], int(args[1])
    option = lambda name, default: int(args[args.index(name) + 1]) if name in args else default
    base, increment, plies = option("--base", 1000), option("--increment", 50), option("--plies", 300)
    referee = Referee(program)
    results = {}
    lowest = base
    started = time.monotonic()
    for game in range(games):
        try:
            result, length, left = play(program, referee, base, increment, plies)
        except RuntimeError as fault:
            print("game %d: FAILED: %s" % (game + 1, fault))
            return 1
        results[result] = results.get(result, 0) + 1
        lowest = min(lowest, left)
        print("game %d: %s after %d plies, least clock left %d ms" % (game + 1, result, length, left), flush=True)
    print("%d games in %.0f s: %s; the least clock left was %d ms" % (games, time.monotonic() - started, results, lowest))
    return 0


if __name__ == "__main__":
    sys.exit(main())
