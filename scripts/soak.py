#!/usr/bin/env python3
"""Protocol soak: drives a Quorvel program over pipes with random mixes of
valid commands, mutated commands and raw bytes, and checks what a front end
relies on:

- every go gets exactly one answer, never two, and never none (no hang);
- isready (UCCI, UCI) and ping (CECP, when the engine is not thinking on its
  own move) are answered within 100 ms, also during a search;
- stop ends a search within 50 ms;
- quit and the end of input end the program within 100 ms;
- the program never dies of a signal;
- its resident memory at the end is within 10% of that after the first
  minute (or after half the run, when it is shorter).

usage: soak.py PROGRAM SECONDS [--protocol ucci|uci|cecp] [--seed N]
The protocol follows from the program's name unless given.
"""

import collections
import os
import queue
import random
import subprocess
import sys
import threading
import time

FENS = [
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
    "2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1",
    "4kar2/4a2rn/4bc3/RN1c5/2bC5/9/4p4/9/4p4/3p1K3 w - - 0 1",
    "3k5/4PP3/4r4/3P5/9/9/9/9/9/5K3 w - - 0 1",
    "4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1",
    "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1",
    "4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1",
]
OPENING = "h2e2 h9g7 h0g2 i9h9 i0h0 b9c7 b0c2 a9b9 a0b0 c6c5 g3g4 b7b3".split()
# Raw lines use no letters, so that no command can form in them by chance.
RAW = [chr(c) for c in range(32, 127) if not chr(c).isalpha()] + ["\r", "\0", "\t", "\x80", "\xff", "\x1b"]

LATENCY_READY = 0.100
LATENCY_STOP = 0.050
LATENCY_EXIT = 0.100


class Failure(Exception):
    pass


class Engine:
    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, bufsize=0)
        self.lines = queue.Queue()
        self.trace = collections.deque(maxlen=120)  # the last lines both ways, for a failure report
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        buffer = b""
        while True:
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                self.lines.put((time.monotonic(), None))
                return
            buffer += chunk
            while b"\n" in buffer:
                line, buffer = buffer.split(b"\n", 1)
                self.lines.put((time.monotonic(), line.decode("latin-1")))
                self.trace.append(("<", line[:120].decode("latin-1")))

    def send(self, text):
        data = text.encode("latin-1") if isinstance(text, str) else text
        for line in text.split("\n")[:-1] if isinstance(text, str) else []:
            self.trace.append((">", line[:120]))
        try:
            self.process.stdin.write(data)
            self.process.stdin.flush()
        except BrokenPipeError:
            raise Failure("the program closed its input")
        return time.monotonic()

    def next(self, timeout):
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            return None, None

    def wait_exit(self, timeout):
        """The exit status and the moment of the exit, or None on timeout. A
        blocking wait in a thread: a polling wait would add its own delay."""
        ended = {}

        def waiter():
            code = self.process.wait()
            ended["at"], ended["code"] = time.monotonic(), code

        thread = threading.Thread(target=waiter, daemon=True)
        thread.start()
        thread.join(timeout)
        if "at" not in ended:
            return None, None
        return ended["code"], ended["at"]

    def rss_kb(self):
        try:
            with open("/proc/%d/status" % self.process.pid) as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        return int(line.split()[1])
        except OSError:
            pass
        return 0


class Soak:
    def __init__(self, command, protocol, seconds, seed):
        self.command = command
        self.protocol = protocol
        self.seconds = seconds
        self.random = random.Random(seed)
        self.counts = {"go": 0, "isready": 0, "stop": 0, "mutated": 0, "raw": 0, "exits": 0}
        self.worst = {"ready": 0.0, "stop": 0.0, "exit": 0.0}
        self.stops_since_answer = 0
        self.engine = None
        self.pending = False  # a go sent and not yet answered
        self.answered_at = 0.0

    # ---- waiting for lines ------------------------------------------------------

    def wait_for(self, engine, predicate, timeout, what):
        """Lines until one satisfies predicate; returns (time, line). The
        answer to the go in progress may come meanwhile; any other is a fault."""
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise Failure("no %s within %.1f s" % (what, timeout))
            at, line = engine.next(left)
            if line is None:
                if at is None:
                    continue
                raise Failure("the program ended while waiting for %s" % what)
            if self.is_answer(line):
                if self.pending:
                    self.pending = False
                    self.answered_at = at
                else:
                    self.stray_answer(line)
            if predicate(line):
                return at, line

    def wait_answer(self, engine, timeout, what):
        if self.pending:
            self.wait_for(engine, lambda l: not self.pending, timeout, what)
        return self.answered_at

    def is_answer(self, line):
        if self.protocol == "cecp":
            # A move, a resignation, or a claim when the side to move has no move.
            return line.startswith("move ") or line == "resign" or line.split(" ")[0] in ("1-0", "0-1", "1/2-1/2")
        return line.startswith("bestmove") or line.startswith("nobestmove")

    def stray_answer(self, line):
        # A CECP engine claims the result right after a move that ends the game.
        if self.protocol == "cecp" and not line.startswith("move ") and line != "resign":
            return
        # UCCI answers a stop that finds no search with nobestmove.
        if self.protocol == "ucci" and line == "nobestmove" and self.stops_since_answer > 0:
            self.stops_since_answer -= 1
            return
        raise Failure("an answer no go asked for: %r" % line)

    def ready(self, engine):
        if self.protocol == "cecp":
            number = self.random.randint(1, 10 ** 6)
            sent = engine.send("ping %d\n" % number)
            at, _ = self.wait_for(engine, lambda l: l == "pong %d" % number, 5, "pong")
        else:
            sent = engine.send("isready\n")
            at, _ = self.wait_for(engine, lambda l: l == "readyok", 5, "readyok")
        self.counts["isready"] += 1
        latency = at - sent
        self.worst["ready"] = max(self.worst["ready"], latency)
        if latency > LATENCY_READY:
            raise Failure("isready or ping answered after %.0f ms" % (latency * 1000))

    # ---- commands ------------------------------------------------------------------

    def position(self):
        fen = self.random.choice(FENS)
        moves = []
        if fen == FENS[0] and self.random.random() < 0.7:
            moves = OPENING[: self.random.randint(0, len(OPENING))]
        if self.random.random() < 0.05:
            moves += [self.random_move() for _ in range(self.random.randint(100, 900))]
        if self.protocol == "cecp":
            lines = ["force", "setboard " + fen.replace(" - - ", " ")]
            lines += ["usermove " + m for m in moves[:40]]
            return lines
        tail = (" moves " + " ".join(moves)) if moves else ""
        return ["position fen " + fen + tail]

    def random_move(self):
        files = "abcdefghi"
        return "%s%d%s%d" % (self.random.choice(files), self.random.randint(0, 9), self.random.choice(files),
                             self.random.randint(0, 9))

    def options(self):
        if self.protocol == "ucci":
            return ["setoption " + self.random.choice(["usebook off", "usebook on", "pruning large", "knowledge none",
                                                      "knowledge large", "selectivity small", "selectivity none",
                                                      "ponder on", "ponder off", "newgame", "threads 2",
                                                      "usemillisec on"])]
        if self.protocol == "uci":
            return ["setoption name " + self.random.choice(["MultiPV value 1", "MultiPV value 3", "OwnBook value false",
                                                           "OwnBook value true", "Ponder value true", "Clear Hash",
                                                           "Selectivity value small", "Selectivity value none",
                                                           "Move Overhead value 10"])]
        return [self.random.choice(["post", "nopost", "easy", "hard", "random", "computer", "option OwnBook=0"])]

    def go_line(self):
        """A go with a limit of its own, or one that only stop ends."""
        r = self.random.random()
        if self.protocol == "ucci":
            ms = "setoption usemillisec on\n"
            forms = ["go depth %d" % self.random.randint(1, 7), "go nodes %d" % self.random.randint(100, 300000),
                     ms + "go time %d increment 0" % self.random.randint(20, 2000),
                     ms + "go time %d movestogo %d" % (self.random.randint(10, 2000), self.random.randint(1, 40)),
                     "go depth 32", "go ponder depth 32", ms + "go ponder time 3000 movestogo 5",
                     "go draw depth %d" % self.random.randint(1, 5)]
        elif self.protocol == "uci":
            forms = ["go depth %d" % self.random.randint(1, 7), "go nodes %d" % self.random.randint(100, 300000),
                     "go movetime %d" % self.random.randint(5, 300),
                     "go wtime %d btime %d winc 10 binc 10" % (self.random.randint(0, 5000), self.random.randint(0, 5000)),
                     "go infinite", "go ponder wtime 3000 btime 3000", "go mate 2", "go depth 4 searchmoves h2e2 b0c2"]
        else:
            forms = ["sd %d\ngo" % self.random.randint(1, 6), "st 1\ngo", "level 0 0:10 0.1\ntime 1000\notim 1000\ngo",
                     "sd 32\nst 100000\ngo"]
        line = forms[int(r * len(forms))]
        unbounded = any(word in line for word in ("depth 32", "ponder", "infinite", "st 100000"))
        return line, unbounded

    def mutate(self, line):
        """Changes the arguments of a command, never its first word."""
        words = line.split(" ")
        head, rest = words[0], list(" ".join(words[1:]))
        for _ in range(self.random.randint(1, 6)):
            kind = self.random.random()
            at = self.random.randint(0, len(rest)) if rest else 0
            if kind < 0.3 and rest:
                del rest[min(at, len(rest) - 1)]
            elif kind < 0.6:
                rest.insert(at, self.random.choice(RAW + list("0123456789 -")))
            elif kind < 0.8 and rest:
                rest[min(at, len(rest) - 1)] = self.random.choice("0123456789-+ ")
            else:
                rest.insert(at, str(self.random.choice([0, -1, 2 ** 31, 2 ** 63, 10 ** 30])))
        text = "".join(rest)
        # Table sizes would make the resident size a measure of the options.
        return head + " " + text.replace("hash", "h").replace("memory", "m")

    def raw_line(self):
        length = self.random.choice([1, 10, 100, 4094, 4095, 4096, 4097, 9000])
        return "".join(self.random.choice(RAW) for _ in range(length))

    # ---- one search -------------------------------------------------------------------

    def search(self, engine):
        setup = self.position() + (self.options() if self.random.random() < 0.3 else [])
        line, unbounded = self.go_line()
        mutated = self.random.random() < 0.15
        if mutated:
            *before, last = line.split("\n")
            line = "\n".join(before + [self.mutate(last)])
            unbounded = True  # the mutation may have taken its limit away
            self.counts["mutated"] += 1
        batch = "\n".join(setup) + "\n" + line + "\n"
        if self.random.random() < 0.2:
            batch = "".join(self.raw_line() + "\n" for _ in range(self.random.randint(1, 3))) + batch
            self.counts["raw"] += 1
        self.stops_since_answer = 0
        self.pending = True
        engine.send(batch)
        self.counts["go"] += 1
        # Probe readiness during the search, then stop it unless it ends by itself.
        deadline = time.monotonic() + self.random.uniform(0.0, 0.4)
        while time.monotonic() < deadline and self.pending:
            at, got = engine.next(0.01)
            if got is not None and self.is_answer(got):
                self.pending = False
            elif got is None and at is not None:
                raise Failure("the program ended during a search")
        # A thinking CECP engine owes its move before its pong.
        if self.pending and self.protocol != "cecp" and self.random.random() < 0.5:
            self.ready(engine)
        if self.pending and (unbounded or self.random.random() < 0.5):
            release = "stop"
            if self.protocol == "cecp":
                release = "?"
            elif "ponder" in line and "time" in line and not mutated and self.random.random() < 0.5:
                release = "ponderhit"  # a timed ponder search: it ends by its clock
            sent = engine.send(release + "\n")
            if release == "stop":
                self.stops_since_answer = 1
            self.counts["stop"] += 1
            # After ponderhit the search goes on as a timed one.
            at = self.wait_answer(engine, 30, "the answer to " + release)
            latency = at - sent
            if release != "ponderhit":
                self.worst["stop"] = max(self.worst["stop"], latency)
                if latency > LATENCY_STOP:
                    raise Failure("%s answered after %.0f ms" % (release, latency * 1000))
        self.wait_answer(engine, 60, "the answer to go")
        if self.protocol == "cecp":
            engine.send("force\n")
        # Whatever comes now must not be a second answer.
        self.ready(engine)

    # ---- the ends of a program -------------------------------------------------------

    def exit_check(self):
        """A short life that ends by quit or by the end of input."""
        engine = Engine(self.command)
        self.handshake(engine)
        # At the end of input a search with a limit of its own still finishes
        # and answers; quit ends any search at once. So the end of input comes
        # while idle or during a search that only a command would end.
        by_quit = self.random.random() < 0.5
        if self.random.random() < 0.5:
            line, unbounded = self.go_line()
            # A CECP engine thinking on its own move is always under a clock of its own.
            if by_quit or (unbounded and self.protocol != "cecp"):
                engine.send("\n".join(self.position()) + "\n" + line + "\n")
                time.sleep(0.05)
        sent = time.monotonic()
        if by_quit:
            engine.send("quit\n")
        engine.process.stdin.close()
        code, at = engine.wait_exit(5)
        if code is None:
            engine.process.kill()
            raise Failure("the program did not end after %s" % ("quit" if by_quit else "the end of input"))
        latency = at - sent
        self.worst["exit"] = max(self.worst["exit"], latency)
        if code < 0:
            raise Failure("the program died of signal %d" % -code)
        if latency > LATENCY_EXIT:
            raise Failure("the program took %.0f ms to end" % (latency * 1000))
        self.counts["exits"] += 1

    def handshake(self, engine):
        if self.protocol == "ucci":
            engine.send("ucci\nsetoption usebook off\n")
            self.wait_for(engine, lambda l: l == "ucciok", 10, "ucciok")
        elif self.protocol == "uci":
            engine.send("uci\nsetoption name OwnBook value false\n")
            self.wait_for(engine, lambda l: l == "uciok", 10, "uciok")
        else:
            engine.send("xboard\nprotover 2\n")
            self.wait_for(engine, lambda l: "done=1" in l, 10, "feature done=1")
            engine.send("new\nforce\nnopost\noption OwnBook=0\n")
        self.ready(engine)

    def run(self):
        engine = self.engine = Engine(self.command)
        self.handshake(engine)
        start = time.monotonic()
        baseline_at = min(60.0, self.seconds / 2.0)
        baseline = None
        next_exit_check = start + 5
        while time.monotonic() - start < self.seconds:
            self.search(engine)
            if baseline is None and time.monotonic() - start >= baseline_at:
                baseline = engine.rss_kb()
            if time.monotonic() >= next_exit_check:
                self.exit_check()
                next_exit_check = time.monotonic() + 5
        final = engine.rss_kb()
        sent = engine.send("quit\n")
        engine.process.stdin.close()
        code, at = engine.wait_exit(10)
        if code is None:
            raise Failure("the program did not end after quit")
        if at - sent > LATENCY_EXIT:
            raise Failure("quit took %.0f ms" % ((at - sent) * 1000))
        if code < 0:
            raise Failure("the program died of signal %d" % -code)
        if baseline and final > baseline * 1.10:
            raise Failure("resident memory grew from %d kB to %d kB" % (baseline, final))
        return baseline, final


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__)
        return 2
    program, seconds = args[0], float(args[1])
    protocol, seed = None, int(time.time())
    if "--protocol" in args:
        protocol = args[args.index("--protocol") + 1]
    if "--seed" in args:
        seed = int(args[args.index("--seed") + 1])
    name = os.path.basename(program.split()[-1])
    if protocol is None:
        protocol = "cecp" if "xboard" in name else ("uci" if "uci" in name and "ucci" not in name else "ucci")
    soak = Soak(program.split(), protocol, seconds, seed)
    try:
        baseline, final = soak.run()
    except Failure as failure:
        print("soak %s (%s, seed %d): FAILED: %s" % (name, protocol, seed, failure))
        if soak.engine is not None:
            for direction, line in soak.engine.trace:
                print("  %s %r" % (direction, line))
        print("counts %s worst %s" % (soak.counts, {k: round(v * 1000) for k, v in soak.worst.items()}))
        return 1
    print("soak %s (%s, seed %d): %d s, %s, worst latencies in ms %s, resident %d kB -> %d kB" % (
        name, protocol, seed, seconds, soak.counts, {k: round(v * 1000) for k, v in soak.worst.items()},
        baseline or 0, final))
    return 0


if __name__ == "__main__":
    sys.exit(main())
