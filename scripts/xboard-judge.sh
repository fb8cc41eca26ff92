#!/bin/sh
# XBoard as a second opinion on the game judge: each case of the judge's tests
# (tests/game/game_test.cpp) is played through the real xboard, on a virtual
# display, by two scripted CECP engines that play the case's moves from its
# FEN, with XBoard adjudicating; XBoard's result and reason, read from the PGN
# it saves, are printed beside the judge's verdict. Run by hand:
#
#   scripts/xboard-judge.sh [DIR]
#
# DIR (default xboard-judge) receives each case's PGN and XBoard's output.
# Needs xboard, xvfb and python3. XBoard knows no rule sets: each case is
# compared under the Asian rules, the judge's default.
set -eu

dir="${1:-xboard-judge}"
PATH="$PATH:/usr/games"
export PATH
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

# The scripted engine: plays its list of moves, one each time it is on move,
# and then waits for XBoard's verdict.
cat >"$dir/scripted.py" <<'EOF'
import sys
moves = sys.argv[1].split()
force = False
def say(text):
    sys.stdout.write(text + "\n")
    sys.stdout.flush()
def play():
    if moves:
        say("move " + moves.pop(0))
for line in sys.stdin:
    words = line.split()
    if not words:
        continue
    if words[0] == "protover":
        say('feature setboard=1 usermove=1 variants="xiangqi" sigint=0 sigterm=0 myname="scripted" done=1')
    elif words[0] == "force":
        force = True
    elif words[0] == "go":
        force = False
        play()
    elif words[0] == "usermove" and not force:
        play()
    elif words[0] == "quit":
        break
EOF

# name | FEN | moves | the judge's verdict (as in the tests; the three cases
# without a test are the README's counterparts of the pinned pieces and of a
# side escaping check)
cases='PerpetualCheckLoses|4k4/9/9/9/9/9/9/9/R8/5K3 w|a1e1 e9d9 e1d1 d9e9 d1e1 e9d9 e1d1 d9e9 d1e1|0-1 perpetual check
ChaseOfUnprotectedPieceLoses|4k4/9/9/9/1c7/9/9/9/R8/3K5 w|a1b1 b5a5 b1a1 a5b5 a1b1 b5a5 b1a1 a5b5|0-1 perpetual chase
ChaseOfProtectedPieceDraws|4k4/9/9/pp7/1c7/9/9/9/R8/3K5 w|a1b1 b5a5 b1a1 a5b5 a1b1 b5a5 b1a1 a5b5|1/2-1/2 repetition
RookChasedByKnightLosesThoughProtected|r1r1k4/3N5/9/9/9/9/9/9/9/5K3 w|d8b7 a9b9 b7d8 b9a9 d8b7 a9b9 b7d8 b9a9|0-1 perpetual chase
CrossedPawnCanBeChased|4k4/9/9/1N2n4/9/C3p4/9/9/9/5K3 w|b6c4 e6d4 c4b6 d4e6 b6c4 e6d4 c4b6 d4e6|0-1 perpetual chase
PawnOnItsOwnHalfCannotBeChased|4k4/1N2n4/9/C3p4/9/9/9/9/9/5K3 w|b8c6 e8d6 c6b8 d6e8 b8c6 e8d6 c6b8 d6e8|1/2-1/2 repetition
BothSidesCheckingDraw|9/9/3k5/4c4/4r4/9/3C5/9/4K4/3R5 w|d3e3 e5d5 e3d3 d5e5 d3e3 e5d5 e3d3 d5e5|1/2-1/2 repetition
CheckBeatsChase|9/3k3c1/7r1/9/3C5/8n/9/9/3R5/3K3N1 w|d5h5 h7d7 h5d5 d7h7 d5h5 h7d7 h5d5 d7h7|0-1 perpetual check
OneCheckOneChaseIsAChase|8R/9/4k4/r8/8n/9/9/8C/9/3K5 w|i9e9 e7f7 e9i9 f7e7 i9e9 e7f7 e9i9 f7e7|0-1 perpetual chase
PinnedDefenderDoesNotProtect|4k4/4a4/3c5/9/9/9/5R3/4R4/4A4/4K4 w|f3d3 d7f7 d3f3 f7d7 f3d3 d7f7 d3f3 f7d7|0-1 perpetual chase
PinnedAttackerDoesNotChase|4k4/4r4/9/9/9/4R4/c8/9/9/4K4 w|e4e3 a3a4 e3e4 a4a3 e4e3 a3a4 e3e4 a4a3|1/2-1/2 repetition
UnpinnedDefenderProtects|4k4/4a4/3c5/9/9/9/5R3/9/4A4/4K4 w|f3d3 d7f7 d3f3 f7d7 f3d3 d7f7 d3f3 f7d7|1/2-1/2 repetition
UnpinnedAttackerChases|4k4/4a4/9/9/9/4R4/c8/9/9/4K4 w|e4e3 a3a4 e3e4 a4a3 e4e3 a3a4 e3e4 a4a3|0-1 perpetual chase
CheckedSideEscapingDoesNotChase|9/1R7/4k4/9/8n/9/8r/8N/5K3/9 w|b8b7 e7e8 b7b8 e8e7 b8b7 e7e8 b7b8 e8e7|0-1 perpetual check
ExchangeOfferIsNoChase|r3k4/9/9/9/9/9/9/9/1R7/3K5 w|b1a1 a9b9 a1b1 b9a9 b1a1 a9b9 a1b1 b9a9|1/2-1/2 repetition
IdleRepetitionDraws|4k4/4a4/8r/9/9/9/9/R8/4A4/4K4 w|a2b2 i7h7 b2a2 h7i7 a2b2 i7h7 b2a2 h7i7|1/2-1/2 repetition
Checkmate|4k4/R8/9/9/9/9/9/9/9/1R1K5 w|b0b9|1-0 checkmate
StalemateLoses|4k4/9/R8/9/9/9/9/9/9/3K1R3 w|a7a8|1-0 stalemate
InsufficientMaterial|4k4/9/9/9/9/9/9/9/4p4/3K1A3 w|f0e1|1/2-1/2 insufficient material'

# The 60-move case: red's rook walks a2..h2 round, black's a7..i7 (as in the tests).
walk=$(python3 -c '
red = black = 0
out = []
for ply in range(120):
    if ply % 2 == 0:
        nxt = (red + 1) % 8; out.append("%s2%s2" % ("abcdefghi"[red], "abcdefghi"[nxt])); red = nxt
    else:
        nxt = (black + 1) % 9; out.append("%s7%s7" % ("abcdefghi"[black], "abcdefghi"[nxt])); black = nxt
print(" ".join(out))')
cases="$cases
SixtyMovesEachWithoutCaptureDraw|4k4/4a4/r8/9/9/9/9/R8/4A4/4K4 w|$walk|1/2-1/2 60-move rule"

# Plays one case; prints XBoard's result, its reason and the ply it came at.
# XBoard does not count the loaded position as an occurrence, so a case that
# ends in a cycle goes round it twice more: XBoard may stop wherever it sees fit.
referee() {
    name="$1" fen="$2" moves="$3"
    count=$(echo "$moves" | wc -w)
    if [ "$count" -ge 8 ]; then
        cycle=$(echo "$moves" | tr ' ' '\n' | tail -4 | tr '\n' ' ')
        moves="$moves $cycle $cycle"
    fi
    red="" black="" ply=0
    for move in $moves; do
        if [ $((ply % 2)) -eq 0 ]; then red="$red $move"; else black="$black $move"; fi
        ply=$((ply + 1))
    done
    # XBoard writes the knight H and the bishop E.
    echo "$fen - - 0 1" | tr 'NBnb' 'HEhe' >"$dir/$name.fen"
    rm -f "$dir/$name.pgn"
    # Its own process group, so that the whole of xvfb-run, XBoard and the
    # engines can be ended once the game is saved.
    setsid xvfb-run -a xboard -noGUI -variant xiangqi -matchGames 1 -loadPositionFile "$dir/$name.fen" \
        -fcp "python3 $dir/scripted.py '$red'" -scp "python3 $dir/scripted.py '$black'" -fd "$dir" -sd "$dir" \
        -mps 0 -tc 0:10 -inc 0 -autoCallFlag true -testClaims true -checkMates true -materialDraws true \
        -ruleMoves 60 -repeatsToDraw 3 -saveGameFile "$dir/$name.pgn" -popupExitMessage false \
        -popupMoveErrors false -settingsFile /dev/null -saveSettingsOnExit false >"$dir/$name.out" 2>&1 &
    group=$!
    waited=0
    while [ $waited -lt 30 ] && ! grep -q '^\[Result "[^*]' "$dir/$name.pgn" 2>/dev/null; do
        sleep 1
        waited=$((waited + 1))
    done
    sleep 1
    kill -TERM -- "-$group" 2>/dev/null || true
    wait "$group" 2>/dev/null || true
    result=$(sed -n 's/^\[Result "\(.*\)"\]$/\1/p' "$dir/$name.pgn" 2>/dev/null)
    reason=$(tr '\n' ' ' <"$dir/$name.pgn" 2>/dev/null | grep -o '{[^{}]*} *[-0-9/*]* *$' | sed 's/^{\(.*\)}.*/\1/')
    plies=$(tr '\n' ' ' <"$dir/$name.pgn" 2>/dev/null | sed 's/{[^}]*}//g; s/\[[^]]*\]//g' |
        tr ' ' '\n' | grep -c -E '^[A-Za-z+][^.]*$' || true)
    echo "${result:-none} ${reason:-(no reason given)} (ply ${plies:-0})"
}

printf '%-40s %-34s %s\n' "case" "judge" "xboard"
echo "$cases" | while IFS='|' read -r name fen moves ours; do
    printf '%-40s %-34s %s\n' "$name" "$ours" "$(referee "$name" "$fen" "$moves")"
done
