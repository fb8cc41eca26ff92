#!/usr/bin/env python3
"""Calibrates the skill levels: each level of quorvel-uci plays the next one up
(level 19 plays full strength) with quorvel-match, and the differences are
chained down from the top into each level's Elo relative to full strength.

usage: scripts/skill-ladder.py [--tc 2+0.02] [--games 300] [--levels 0-19]
                               [--concurrency 2] [--out build/ladder] [--no-adjudication]

Games are adjudicated as engine testers do, to spend the machine on games
still open: a loss once both engines agree for 3 moves each that one side is
10 pawns down, a draw from move 50 once both score within 0.1 pawn for 8
moves each.

Each pair's counts (not its games) are kept in OUT, and a pair already played in full
is read back instead of played again, so an interrupted run resumes. The
table printed at the end is the one in the README's "Skill levels"."""
import argparse
import json
import math
import os
import subprocess
import sys

from match_stats import Z95, elo_of, openings_file

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOP = 20


def level_words(level):
    return [] if level >= TOP else ["option.Skill Level=%d" % level]


def play_pair(args, level, openings):
    results = os.path.join(args.out, "level-%02d.json" % level)
    if os.path.exists(results):
        with open(results) as file:
            done = json.load(file)
        if done["wins"] + done["losses"] + done["draws"] >= args.games:
            return done
    if os.path.exists(results):
        os.remove(results)
    uci = os.path.join(args.build, "quorvel-uci")
    command = [os.path.join(args.build, "quorvel-match"),
               "-engine", "cmd=" + uci, "proto=uci", "name=Level%d" % level] + level_words(level) + \
              ["-engine", "cmd=" + uci, "proto=uci", "name=" + ("Full" if level + 1 >= TOP else "Level%d" % (level + 1))] + \
              level_words(level + 1) + \
              ["-each", "tc=" + args.tc, "option.OwnBook=false", "-games", str(args.games), "-repeat",
               "-concurrency", str(args.concurrency), "-openings", "file=" + openings, "order=random",
               "-seed", str(level + 1), "-rules", "asian", "-results", results, "-quiet"]
    if args.adjudication:
        command += ["-resign", "movecount=3", "score=1000", "-draw", "movenumber=50", "movecount=8", "score=10"]
    print(" ".join("'%s'" % word if " " in word else word for word in command), flush=True)
    subprocess.run(command, check=True)
    with open(results) as file:
        done = condensed(json.load(file))
    with open(results, "w") as file:
        json.dump(done, file, indent=1)
        file.write("\n")
    return done


def condensed(done):
    """A pair's counts, without its games: what the table needs, small enough to keep."""
    terminations = {}
    for game in done["games"]:
        terminations[game["termination"]] = terminations.get(game["termination"], 0) + 1
    return {"format": "skill ladder pair: counts of a quorvel-match results file",
            "engines": done["engines"], "wins": done["wins"], "losses": done["losses"], "draws": done["draws"],
            "pentanomial": done["pentanomial"], "terminations": terminations}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tc", default="2+0.02")
    parser.add_argument("--games", type=int, default=300)
    parser.add_argument("--levels", default="0-19")
    parser.add_argument("--concurrency", type=int, default=2)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "ladder"))
    parser.add_argument("--no-adjudication", dest="adjudication", action="store_false")
    args = parser.parse_args()
    low, high = (int(x) for x in args.levels.split("-"))
    os.makedirs(args.out, exist_ok=True)
    openings = openings_file(args.out)

    steps = {}
    for level in range(high, low - 1, -1):
        done = play_pair(args, level, openings)
        steps[level] = (done["wins"], done["losses"], done["draws"])

    print("\n| Level | Games | Score against the next | Elo against the next | Elo relative to full strength |")
    print("|---|---|---|---|---|")
    relative, variance = 0.0, 0.0
    rows = []
    for level in range(high, low - 1, -1):
        wins, losses, draws = steps[level]
        elo, half = elo_of(wins, losses, draws)
        relative += elo
        variance += (half / Z95) ** 2
        games = wins + losses + draws
        rows.append("| %d | %d | %.1f%% (+%d -%d =%d) | %+.0f ± %.0f | %+.0f ± %.0f |" % (
            level, games, 100 * (wins + draws / 2) / games, wins, losses, draws, elo, half, relative,
            Z95 * math.sqrt(variance)))
    print("| 20 | | | | 0 |")
    for row in rows:
        print(row)
    return 0


if __name__ == "__main__":
    sys.exit(main())
