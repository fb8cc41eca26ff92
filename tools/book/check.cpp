// Scores the book moves of every repertoire position against the best move of
// a short search. Each position gets a fresh table and fresh history, so the
// verdict on a position does not depend on which positions came before it.
#include "check.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "board/tables.h"
#include "book/book_writer.h"
#include "movegen/movelist.h"
#include "search/hash.h"
#include "search/search.h"

namespace {

struct RootMove {
    int move;
    int value;
};

struct Verdict {
    int bestMove;
    int bestValue;
};

// Value of one root move of Context.position; a check is searched without depth loss.
int searchMove(int move, int depth, int alpha, int beta) {
    Position& pos = Context.position;
    if (!pos.makeMove(move)) return -MateValue;
    int childDepth = (pos.lastRecord().flags & 3) ? depth : depth - 1;
    int value = -alphaBeta(Context, -beta, -alpha, childDepth, 0, 0);
    pos.unmakeMove();
    return value;
}

std::vector<RootMove> legalMoves(Position& pos) {
    MoveEntry entries[MoveListCapacity];
    int total = pos.generateCaptures(entries);
    total += pos.generateQuietMoves(entries + total);
    std::vector<RootMove> moves;
    for (int i = 0; i < total; i++) {
        if (!pos.makeMove(entries[i].move)) continue;
        pos.unmakeMove();
        moves.push_back(RootMove{entries[i].move, -MateValue});
    }
    return moves;
}

void prepareSearch(const Position& pos) {
    clearHashTable();
    resetSearchState();
    Context.pollEnabled = 0;
    Context.stopRequested = 0;
    Context.position = pos;
    Context.position.rootCount = Context.position.moveCount;
    Context.position.preEvaluate();
}

bool isBookMove(const std::vector<BookEntry>& bookMoves, int move) {
    for (const BookEntry& entry : bookMoves) {
        if (entry.move == move) return true;
    }
    return false;
}

// Iterative deepening with a principal-variation root: the first move gets the
// full window, the others a null window that is widened when they beat it. In
// the last iteration the book moves get the full window too, so that their
// values are exact; they are left in moves for the caller.
Verdict searchPosition(const Position& pos, int depth, const std::vector<BookEntry>& bookMoves,
                       std::vector<RootMove>& moves) {
    prepareSearch(pos);
    moves = legalMoves(Context.position);
    Verdict verdict{0, -MateValue};
    for (int d = 1; d <= depth; d++) {
        int best = -MateValue;
        for (size_t i = 0; i < moves.size(); i++) {
            int value;
            if (i == 0 || (d == depth && isBookMove(bookMoves, moves[i].move))) {
                value = searchMove(moves[i].move, d, -MateValue, MateValue);
            } else {
                value = searchMove(moves[i].move, d, best, best + 1);
                if (value > best) value = searchMove(moves[i].move, d, best, MateValue);
            }
            moves[i].value = value;
            if (value > best) best = value;
        }
        std::stable_sort(moves.begin(), moves.end(),
                         [](const RootMove& a, const RootMove& b) { return a.value > b.value; });
    }
    if (!moves.empty()) verdict = Verdict{moves[0].move, moves[0].value};
    return verdict;
}

// The entries of pos in a sorted entry list.
std::vector<BookEntry> bookMovesOf(const std::vector<BookEntry>& sorted, const Position& pos) {
    BookEntry key{pos.lock1, pos.lock2, 0, 0};
    auto before = [](const BookEntry& a, const BookEntry& b) {
        return a.lock2 != b.lock2 ? a.lock2 < b.lock2 : a.lock1 < b.lock1;
    };
    auto range = std::equal_range(sorted.begin(), sorted.end(), key, before);
    return std::vector<BookEntry>(range.first, range.second);
}

std::string moveText(int move) {
    char text[5] = {};
    moveToText(move, text);
    return text;
}

}  // namespace

int checkBookLines(const std::string& text, const CheckSettings& settings) {
    std::vector<BookEntry> entries;
    BookLineError error{};
    if (!collectBookLines(text, entries, error)) {
        std::printf("line %d: %s %s\n", error.lineNumber, error.reason, error.token);
        return -1;
    }
    sortBookEntries(entries);

    // Walk the lines again: each position is judged once, where it first occurs,
    // against all its book moves.
    std::set<std::pair<uint32_t, uint32_t>> judged;
    int positions = 0;
    int weak = 0;
    std::istringstream lines(text);
    std::string line;
    static Position pos;
    for (int lineNumber = 1; std::getline(lines, line); lineNumber++) {
        std::vector<std::string> tokens = splitBookLine(line);
        pos.setFromFen(StartPositionFen);
        for (size_t ply = 0; ply < tokens.size(); ply++) {
            int move = textToMove(tokens[ply].c_str());
            if (judged.insert(std::make_pair(pos.lock2, pos.lock1)).second) {
                positions++;
                std::vector<BookEntry> bookMoves = bookMovesOf(entries, pos);
                std::vector<RootMove> moves;
                Verdict verdict = searchPosition(pos, settings.depth, bookMoves, moves);
                for (const RootMove& root : moves) {
                    if (!isBookMove(bookMoves, root.move) || root.value >= verdict.bestValue - settings.margin) continue;
                    weak++;
                    std::printf("line %d ply %zu: %s scores %d, best %s scores %d\n", lineNumber, ply + 1,
                                moveText(root.move).c_str(), root.value, moveText(verdict.bestMove).c_str(),
                                verdict.bestValue);
                    std::fflush(stdout);
                }
            }
            pos.makeMove(move);
        }
    }
    std::printf("checked %d positions at depth %d, margin %d: %d weak book moves\n", positions, settings.depth,
                settings.margin, weak);
    return weak;
}
