#!/bin/sh
# Plays a Xiangqi match between two CECP engines with XBoard as referee and
# clock, on a virtual display, and reports how the games ended together with
# every complaint in XBoard's debug log.
#
#   scripts/xboard-match.sh ENGINE1 ENGINE2 [GAMES] [TIME] [PONDER] [DIR]
#
# ENGINE1 and ENGINE2 are command lines, e.g. build/quorvel-xboard or maxqi.
# TIME is MINUTES[:SECONDS]+INCREMENT (0:10+0.1, the default), MOVES/MINUTES
# (40/1: 40 moves a minute) or st=SECONDS (a fixed time a move). PONDER is on
# or off (the default). DIR (default xboard-match) receives games.pgn and
# xboard.log, XBoard's debug log with both conversations.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 ENGINE1 ENGINE2 [GAMES] [TIME] [PONDER] [DIR]" >&2
    exit 2
fi
first="$1"
second="$2"
games="${3:-2}"
time="${4:-0:10+0.1}"
ponder="${5:-off}"
dir="${6:-xboard-match}"

# Debian puts xboard and maxqi in /usr/games.
PATH="$PATH:/usr/games"
export PATH
mkdir -p "$dir"
rm -f "$dir/games.pgn" "$dir/xboard.log"

# Engines are started by XBoard through a shell; a relative path is made
# absolute so that it does not depend on the engine's directory.
absolute() {
    case "$1" in
    */*) case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac ;;
    *) echo "$1" ;;
    esac
}
first=$(absolute "$first")
second=$(absolute "$second")

case "$time" in
st=*) clock="-st ${time#st=}" ;;
*/*) clock="-mps ${time%%/*} -tc ${time#*/} -inc -1" ;;
*+*) clock="-mps 0 -tc ${time%%+*} -inc ${time#*+}" ;;
*) clock="-mps 0 -tc $time -inc 0" ;;
esac
case "$ponder" in
on) pondering=true ;;
*) pondering=false ;;
esac

# No settings file is read or written, no popups wait for a click, and the
# clocks are XBoard's: a flag that falls ends the game.
# shellcheck disable=SC2086
xvfb-run -a xboard -noGUI -variant xiangqi -matchGames "$games" \
    -fcp "$first" -scp "$second" -fd "$PWD" -sd "$PWD" \
    $clock -ponderNextMove "$pondering" -autoCallFlag true \
    -saveGameFile "$dir/games.pgn" -debug -nameOfDebugFile "$dir/xboard.log" \
    -popupExitMessage false -popupMoveErrors false -settingsFile /dev/null -saveSettingsOnExit false >"$dir/xboard.out" 2>&1 || true

echo "== results ($dir/games.pgn)"
grep -E '^\[(White|Black|Result) ' "$dir/games.pgn" | paste - - - | sed 's/\[[A-Za-z]* //g; s/\]//g' || true
echo "== how the games ended"
grep -o -E '\{[^}]*\} *(1-0|0-1|1/2-1/2|\*) *$' "$dir/games.pgn" | sort | uniq -c || true
echo "== lowest clock each engine was told (centiseconds)"
for engine in first second; do
    printf '%s %s\n' "$engine" "$(sed -n -E "s/^[0-9]+ >$engine *: time (-?[0-9]+)\$/\1/p" "$dir/xboard.log" | sort -n | head -1)"
done
echo "== complaints in $dir/xboard.log (first: $first, second: $second), counted"
grep -i -E 'illegal|false|forfeit|flag|error|crash|exit|killed|unknown command' "$dir/xboard.log" |
    grep -v -E ': feature |>(first|second) *: (result|option)' | sed -E 's/^[0-9]+ //' | sort | uniq -c ||
    echo "none"
