#!/usr/bin/env python3
"""An engine for the match runner's tests: speaks PROTO (uci, ucci, xboard),
plays the moves of LINE by ply from the game's start, and misbehaves as
BEHAVIOUR says when asked for a move:

  line       plays the line (ranks 1..10 with line+ranks1)
  crash      exits
  hang       never answers
  illegal    answers a legal-looking move that is not legal (a rook through a pawn)
  malformed  answers a move that is no move
  flood      prints thinking lines without end and never moves
  late       answers after 1.5 s

usage: scripted_engine.py PROTO BEHAVIOUR MOVE...
   or: scripted_engine.py PROTO,BEHAVIOUR,MOVE,... (one word, for a command split at blanks)
"""
import os
import sys
import time

words = sys.argv[1].split(",") if len(sys.argv) == 2 else sys.argv[1:]
proto, behaviour, line = words[0], words[1], words[2:]
ranks1 = behaviour.endswith("+ranks1")
behaviour = behaviour.split("+")[0]
plies = 0  # moves of the current game
playing = False  # CECP: plays the side to move after go


def say(text):
    try:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()
    except BrokenPipeError:  # the runner has gone on without us
        os._exit(0)


def engine_text(move):
    if not ranks1:
        return move
    return "%s%d%s%d" % (move[0], int(move[1]) + 1, move[2], int(move[3]) + 1)


def answer():
    if behaviour == "crash":
        sys.exit(3)
    if behaviour == "hang":
        return None
    if behaviour == "flood":
        while True:
            say("info depth 1 score cp 0 pv " + "a0a1 " * 200)
    if behaviour == "illegal":
        return "a0a5"
    if behaviour == "malformed":
        return "x9"
    if behaviour == "late":
        time.sleep(1.5)
    move = line[plies] if plies < len(line) else "a0a1"
    return engine_text(move)


for raw in sys.stdin:
    words = raw.split()
    if not words:
        continue
    command = words[0]
    if command == "quit":
        break
    if proto in ("uci", "ucci"):
        if command in ("uci", "ucci"):
            say("id name Scripted " + behaviour)
            say(command + "ok")
        elif command == "isready":
            say("readyok")
        elif command == "position":
            plies = len(words) - words.index("moves") - 1 if "moves" in words else 0
        elif command == "go":
            move = answer()
            if move is not None:
                say("info depth 3 score %s pv %s" % ("cp 12" if proto == "uci" else "1", move))
                say("bestmove " + move)
    else:
        if command == "protover":
            say('feature myname="Scripted %s" usermove=1 setboard=1 ping=1 done=1' % behaviour)
        elif command == "ping":
            say("pong " + words[1])
        elif command in ("new", "setboard"):
            plies = 0
        elif command == "usermove":
            plies += 1
            if playing:
                move = answer()
                if move is not None:
                    say("3 12 0 100 " + move)
                    say("move " + move)
                    plies += 1
        elif command == "go":
            playing = True
            move = answer()
            if move is not None:
                say("move " + move)
                plies += 1
        elif command in ("force", "result"):
            playing = False
