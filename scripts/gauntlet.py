#!/usr/bin/env python3
"""Plays Quorvel against the Xiangqi engines Debian packages, with quorvel-match,
and prints one README table row per opponent: score, Elo with its 95%
interval, and how the games ended, from Quorvel's side.

usage: scripts/gauntlet.py [--program quorvel|quorvel-uci] [--games 200]
                           [--tc 10+0.1] [--opponents fsf,maxqi,sjaakii]
                           [--concurrency 2] [--out build/gauntlet]

Quorvel plays as shipped: its own book on, from the first eight plies of each
repertoire line (130 openings), each opening twice with the colours swapped,
under the Asian rules. The commands are printed before they run; each match's
PGN and results file are kept in OUT, and a match already played in full is
read back instead of played again."""
import argparse
import collections
import json
import math
import os
import subprocess
import sys

from match_stats import Z95, elo_of, openings_file

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OPPONENTS = {
    "fsf": ("Fairy-Stockfish 11.1", ["cmd=/usr/games/fairy-stockfish", "proto=uci", "ranks=1", "option.Hash=16"]),
    "maxqi": ("MaxQi", ["cmd=/usr/games/maxqi", "proto=xboard"]),
    "sjaakii": ("Sjaak II 1.4.1", ["cmd=/usr/games/sjaakii", "proto=xboard"]),
}
PROTOCOLS = {"quorvel": "ucci", "quorvel-uci": "uci"}


def play(args, key, openings):
    name, words = OPPONENTS[key]
    stem = os.path.join(args.out, "%s-%s" % (args.program, key))
    results = stem + ".json"
    if os.path.exists(results):
        with open(results) as file:
            done = json.load(file)
        if done["wins"] + done["losses"] + done["draws"] >= args.games:
            return name, done
        os.remove(results)
    if os.path.exists(stem + ".pgn"):
        os.remove(stem + ".pgn")
    command = [os.path.join(args.build, "quorvel-match"),
               "-engine", "cmd=" + os.path.join(args.build, args.program), "proto=" + PROTOCOLS[args.program],
               "name=Quorvel", "-engine"] + words + ["name=" + key,
               "-each", "tc=" + args.tc, "-games", str(args.games), "-repeat", "-concurrency", str(args.concurrency),
               "-openings", "file=" + openings, "order=random", "-seed", "1", "-rules", "asian",
               "-pgnout", stem + ".pgn", "-results", results, "-quiet"]
    print(" ".join(command), flush=True)
    subprocess.run(command, check=True)
    with open(results) as file:
        return name, json.load(file)


def endings(done):
    """How Quorvel's games ended: wins, losses and draws by termination."""
    counts = collections.Counter()
    for game in done["games"]:
        quorvel_red = game["firstIsRed"] == 1
        result = game["result"]
        if result == "1/2-1/2":
            side = "draw"
        elif (result == "1-0") == quorvel_red:
            side = "won"
        else:
            side = "lost"
        counts[(side, game["termination"])] += 1
    parts = []
    for side in ("won", "lost", "draw"):
        items = sorted(((n, t) for (s, t), n in counts.items() if s == side), reverse=True)
        if items:
            parts.append("%s: %s" % (side, ", ".join("%s %d" % (t, n) for n, t in items)))
    return "; ".join(parts)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", default="quorvel", choices=sorted(PROTOCOLS))
    parser.add_argument("--games", type=int, default=200)
    parser.add_argument("--tc", default="10+0.1")
    parser.add_argument("--opponents", default="fsf,maxqi,sjaakii")
    parser.add_argument("--concurrency", type=int, default=2)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "gauntlet"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    openings = openings_file(args.out)
    rows = []
    for key in args.opponents.split(","):
        name, done = play(args, key, openings)
        wins, losses, draws = done["wins"], done["losses"], done["draws"]
        games = wins + losses + draws
        elo, half = elo_of(wins, losses, draws)
        if math.isinf(elo):
            # Every game one way: only a bound, where that result still has a 2.5% chance.
            p = 0.025 ** (1 / games)
            bound = 400 * math.log10(p / (1 - p))
            text = "%s %+.0f" % (">" if elo > 0 else "<", bound if elo > 0 else -bound)
        else:
            text = "%+.0f ± %.0f" % (elo, half)
        rows.append("| %s | %s | %d | %.1f%% (+%d -%d =%d) | %s | %s |" % (
            args.program, name, games, 100 * (wins + draws / 2) / games, wins, losses, draws, text,
            endings(done)))
    print("\n| Quorvel | Opponent | Games | Score | Elo | How the games ended |")
    print("|---|---|---|---|---|---|")
    for row in rows:
        print(row)
    return 0


if __name__ == "__main__":
    sys.exit(main())
