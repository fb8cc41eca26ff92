#!/usr/bin/env python3
"""The release in dist/ as a user installs it, without installing anything here.

    tests/install/check_release.py DIST

The Debian package is unpacked into a scratch root (dpkg-deb -x) and every
program runs from there: --version, the engines' handshakes with a book move
read from the installed book, a short search, each manual page rendered, and
lintian's verdict. The Windows zip is unpacked and each engine runs under Wine
from another folder; the npm tarball is installed into an empty folder and
plays a move; SHA256SUMS is checked. Every wait is bounded; the first broken
promise fails the run.
"""
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

ENGINES = ["quorvel", "quorvel-uci", "quorvel-xboard"]
PROGRAMS = ENGINES + ["quorvel-match", "quorvel-book", "quorvel-perft", "quorvel-bench", "quorvel-eval"]
# A depth no search reaches in the time allowed: an answer in time comes from the book.
UNREACHABLE_DEPTH = 40
ANSWER_SECONDS = 10
# Wine's first start in a prefix takes a while.
WINE_ANSWER_SECONDS = 60

# What a front end sends, and the reply that ends the handshake.
HANDSHAKES = {
    "quorvel": (["ucci"], "ucciok"),
    "quorvel-uci": (["uci"], "uciok"),
    "quorvel-xboard": (["xboard", "protover 2"], "feature done=1"),
}
# The search that the book must answer at once, and the prefix of its answer.
# quorvel-uci plays from its book in timed games only, and says so.
BOOK_SEARCH = {
    "quorvel": (["position startpos", f"go depth {UNREACHABLE_DEPTH}"], "bestmove "),
    "quorvel-uci": (["position startpos", "go wtime 600000 btime 600000"], "info string book move "),
    "quorvel-xboard": (["new", "variant xiangqi", f"sd {UNREACHABLE_DEPTH}", "go"], "move "),
}

failures = []


def fail(message):
    failures.append(message)
    print(f"FAIL: {message}", flush=True)


def run(command, seconds=60, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=seconds, **options)


class Conversation:
    """One program over pipes, lines in and out, every read bounded."""

    def __init__(self, command, cwd):
        self.process = subprocess.Popen(command, cwd=cwd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)
        self.pending = b""

    def send(self, *lines):
        for line in lines:
            self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()

    def read_until(self, prefix, seconds):
        """Every line up to one that starts with prefix; None when none comes in time."""
        seen = []
        deadline = time.monotonic() + seconds
        while True:
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                text = line.decode(errors="replace").rstrip("\r")
                seen.append(text)
                if text.startswith(prefix):
                    return seen
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stdout], [], [], left)[0]:
                return None
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                return None
            self.pending += chunk

    def close(self, quit_line="quit"):
        try:
            self.send(quit_line)
            self.process.stdin.close()
            self.process.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()


def book_moves(book_tool, book):
    """The moves the shipped book holds for the start position."""
    probe = run(book_tool + ["probe", book], seconds=ANSWER_SECONDS * 3)
    return set(re.findall(r"\b([a-i][0-9][a-i][0-9])\b", probe.stdout))


def check_book_move(name, command, cwd, moves, seconds):
    """The handshake, then a search only the book can answer in time, with a book move."""
    conversation = Conversation(command, cwd)
    try:
        opening, done = HANDSHAKES[name]
        conversation.send(*opening)
        if conversation.read_until(done, seconds) is None:
            fail(f"{name}: no '{done}' from {' '.join(command)}")
            return
        search, answer = BOOK_SEARCH[name]
        conversation.send(*search)
        lines = conversation.read_until(answer, ANSWER_SECONDS)
        if lines is None:
            fail(f"{name}: no book answer within {ANSWER_SECONDS} s (is the book found?)")
            return
        move = lines[-1].split()[-1]
        if move not in moves:
            fail(f"{name}: '{lines[-1]}' is not a book move of the start position {sorted(moves)}")
        else:
            print(f"{name}: book move {move}")
    finally:
        conversation.close()


def check_debian_package(deb, scratch):
    root = os.path.join(scratch, "root")
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True, timeout=60)
    games = os.path.join(root, "usr", "games")
    elsewhere = os.path.join(scratch, "elsewhere")
    os.makedirs(elsewhere)
    for program in PROGRAMS:
        path = os.path.join(games, program)
        if not os.path.islink(path):
            fail(f"{program}: not a link in /usr/games")
            continue
        version = run([path, "--version"])
        if version.returncode != 0 or not version.stdout.startswith(program + " "):
            fail(f"{program} --version: status {version.returncode}, '{version.stdout.strip()}'")
    book = os.path.join(root, "usr", "share", "games", "quorvel", "qvr.bin")
    moves = book_moves([os.path.join(games, "quorvel-book")], book)
    if not moves:
        fail("quorvel-book probe finds no move of the start position in the installed book")
    for engine in ENGINES:
        check_book_move(engine, [os.path.join(games, engine)], elsewhere, moves, ANSWER_SECONDS)

    search = Conversation([os.path.join(games, "quorvel-uci")], elsewhere)
    search.send("uci", "setoption name OwnBook value false", "position startpos moves h2e2", "go depth 6")
    lines = search.read_until("bestmove ", ANSWER_SECONDS * 3)
    if lines is None or not any(line.startswith("info depth 6 ") for line in lines):
        fail("quorvel-uci: no search to depth 6 from the installed program")
    else:
        print(f"quorvel-uci: go depth 6 -> {lines[-1]}")
    search.close()

    for program in PROGRAMS:
        page = os.path.join(root, "usr", "share", "man", "man6", program + ".6.gz")
        shown = run(["man", "--warnings", "-l", page], env=dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING=""))
        if shown.returncode != 0 or shown.stderr.strip() or program not in shown.stdout:
            fail(f"man -l {program}.6.gz: status {shown.returncode} {shown.stderr.strip()}")
    plugin = os.path.join(root, "usr", "share", "games", "plugins")
    if not (os.path.isfile(os.path.join(plugin, "xboard", "quorvel.eng"))
            and os.path.isfile(os.path.join(plugin, "logos", "quorvel.png"))):
        fail("no XBoard plugin file or logo")

    verdict = run(["lintian", "--fail-on", "error", deb], seconds=300)
    print(verdict.stdout, end="")
    if verdict.returncode != 0:
        fail(f"lintian: status {verdict.returncode} {verdict.stderr.strip()}")


def check_windows_zip(archive, scratch):
    folder = os.path.join(scratch, "windows")
    shutil.unpack_archive(archive, folder)
    programs = [os.path.join(folder, name) for name in os.listdir(folder)]
    if len(programs) != 1:
        fail(f"the zip holds {len(programs)} top folders")
        return
    top = programs[0]
    with open(os.path.join(top, "README.txt"), "rb") as readme:
        text = readme.read()
    if text.count(b"\r\n") != text.count(b"\n"):
        fail("README.txt has lines without CRLF")
    for name in ["LICENSE", "qvr.bin", "quorvel-book.exe"]:
        if not os.path.isfile(os.path.join(top, name)):
            fail(f"the zip has no {name}")
    elsewhere = os.path.join(scratch, "windows-elsewhere")
    os.makedirs(elsewhere)
    moves = book_moves(["wine", os.path.join(top, "quorvel-book.exe")], os.path.join(top, "qvr.bin"))
    if not moves:
        fail("quorvel-book.exe probe finds no book move")
    for engine in ENGINES:
        check_book_move(engine, ["wine", os.path.join(top, engine + ".exe")], elsewhere, moves, WINE_ANSWER_SECONDS)


def check_npm_package(tarball, scratch):
    project = os.path.join(scratch, "npm-project")
    os.makedirs(project)
    with open(os.path.join(project, "package.json"), "w") as manifest:
        manifest.write('{"name": "quorvel-user", "version": "1.0.0", "private": true}\n')
    installed = run(["npm", "install", "--no-audit", "--no-fund", "--prefer-offline", tarball], seconds=300,
                    cwd=project)
    if installed.returncode != 0:
        fail(f"npm install: {installed.stderr.strip()}")
        return
    script = os.path.join(project, "play.mjs")
    with open(script, "w") as source:
        source.write("import { Quorvel } from 'quorvel';\n"
                     "const engine = await Quorvel.start();\n"
                     "engine.send('position startpos moves h2e2');\n"
                     "engine.send('go depth 4');\n"
                     "console.log(await engine.next('bestmove'));\n"
                     "await engine.quit();\n")
    played = run(["node", "--no-experimental-fetch", script], seconds=120, cwd=project)
    if played.returncode != 0 or not re.match(r"bestmove [a-i][0-9][a-i][0-9]", played.stdout):
        fail(f"the npm package played no move: {played.stdout.strip()} {played.stderr.strip()}")
    else:
        print(f"npm package: {played.stdout.strip()}")


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    dist = os.path.abspath(sys.argv[1])
    sums = run(["sha256sum", "-c", "SHA256SUMS"], cwd=dist)
    print(sums.stdout, end="")
    if sums.returncode != 0:
        fail("sha256sum -c SHA256SUMS")

    def one(pattern):
        found = [name for name in sorted(os.listdir(dist)) if re.fullmatch(pattern, name)]
        if len(found) != 1:
            fail(f"dist/ has {len(found)} files like {pattern}")
            return None
        return os.path.join(dist, found[0])

    with tempfile.TemporaryDirectory(prefix="quorvel-install-") as scratch:
        for pattern, check in [(r"quorvel_.*_amd64\.deb", check_debian_package),
                               (r"quorvel-.*-win64\.zip", check_windows_zip),
                               (r"quorvel-[0-9.]*\.tgz", check_npm_package)]:
            path = one(pattern)
            if path is not None:
                check(path, scratch)
        for pattern in [r"quorvel-web-.*\.tar\.gz", r"quorvel-[0-9.]*\.tar\.gz"]:
            one(pattern)
    print(f"{len(failures)} failed" if failures else "release checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
