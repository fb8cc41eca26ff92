#!/usr/bin/env python3
"""Plays scripted conversations with two builds of a program and diffs their
replies, times and speeds aside: the check that a change to the front ends
or the session kept every reply as it was.

    scripts/conversations.py OLD_PROGRAM NEW_PROGRAM SCRIPT...

A script holds one step a line: "> LINE" sends LINE; "? REGEX" reads replies
until one matches (10 s at most); "~ MS" waits that long, reading replies.
Lines starting with "#" are comments."""
import re
import subprocess
import sys
import time
import select
import os

# Figures that depend on the machine's speed, not on the engine's logic.
MASKS = [
    (re.compile(r"\b(time|nps) \d+"), r"\1 T"),
    (re.compile(r"^(\d+ -?\d+) \d+ (\d+)"), r"\1 T \2"),  # XBoard thinking: ply score time nodes
    (re.compile(r"^stat01: \d+"), "stat01: T"),
]


def mask(line):
    for pattern, replacement in MASKS:
        line = pattern.sub(replacement, line)
    return line


def run(program, script):
    engine = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    os.set_blocking(engine.stdout.fileno(), False)
    seen, pending = [], b""

    def read(until, pattern=None):
        nonlocal pending
        while True:
            while b"\n" in pending:
                line, pending = pending.split(b"\n", 1)
                text = line.decode(errors="replace")
                seen.append(mask(text))
                if pattern is not None and re.search(pattern, text):
                    return True
            left = until - time.monotonic()
            if left <= 0:
                return pattern is None
            ready, _, _ = select.select([engine.stdout], [], [], left)
            if not ready:
                continue
            chunk = engine.stdout.read()
            if not chunk:
                return pattern is None
            pending += chunk

    for step in open(script):
        step = step.rstrip("\n")
        if not step or step.startswith("#"):
            continue
        kind, _, rest = step.partition(" ")
        if kind == ">":
            seen.append("> " + rest)
            try:
                engine.stdin.write((rest + "\n").encode())
                engine.stdin.flush()
            except BrokenPipeError:
                pass
        elif kind == "?":
            if not read(time.monotonic() + 10, rest):
                seen.append("!! no line matched " + rest)
        elif kind == "~":
            read(time.monotonic() + int(rest) / 1000)
    try:
        engine.stdin.close()
    except BrokenPipeError:
        pass
    read(time.monotonic() + 5)
    engine.wait(10)
    return seen


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    old, new, scripts = sys.argv[1], sys.argv[2], sys.argv[3:]
    failed = 0
    for script in scripts:
        a, b = run(old, script), run(new, script)
        if a == b:
            print(f"{script}: {len(a)} lines alike")
            continue
        failed += 1
        import difflib
        print(f"{script}: differs")
        sys.stdout.writelines(l + "\n" for l in difflib.unified_diff(a, b, "old", "new", lineterm=""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
