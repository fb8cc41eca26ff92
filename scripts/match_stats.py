"""What scripts/gauntlet.py and scripts/skill-ladder.py share: the Elo of a
score with its interval, and the openings their matches start from."""
import math
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
Z95 = 1.959964


def elo_of(wins, losses, draws):
    """Logistic Elo of the first engine and the half width of its 95% interval."""
    games = wins + losses + draws
    score = (wins + draws / 2) / games
    if score <= 0 or score >= 1:
        return (-math.inf if score <= 0 else math.inf), math.inf
    variance = (wins * (1 - score) ** 2 + losses * score ** 2 + draws * (0.5 - score) ** 2) / games / games
    slope = 400 / (math.log(10) * score * (1 - score))
    return -400 * math.log10(1 / score - 1), Z95 * math.sqrt(variance) * slope


def openings_file(out):
    """The first eight plies of every repertoire line, one opening a line of OUT/openings.pgn."""
    path = os.path.join(out, "openings.pgn")
    lines = set()
    with open(os.path.join(ROOT, "book", "openings.txt")) as book:
        for line in book:
            words = line.split("#")[0].split()
            if words and "|" not in words:
                lines.add(" ".join(words[:8]))
    with open(path, "w") as pgn:
        for line in sorted(lines):
            pgn.write(line + " *\n")
    return path
