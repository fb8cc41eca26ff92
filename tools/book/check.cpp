// Scores the book moves of every repertoire position against the best move of
// a short search. Each search gets a fresh table and fresh history, so the
// verdict on a position does not depend on which positions came before it.
#include "check.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "book/book_writer.h"
#include "search/driver.h"
#include "search/hash.h"

namespace {

// The check reads only the result.
class QuietReporter : public SearchReporter {
public:
    void newBestMove(const SearchReport&) override {}
    PollEvent poll() override { return PollNothing; }
    void searchDone(const SearchResult&) override {}
};

struct Verdict {
    int move;
    int value;
};

// The engine's own search to depth, over every root move or only over move.
Verdict searchPosition(SearchEngine& engine, const Position& pos, int depth, Move move) {
    clearHashTable(engine.table);
    SearchLimits limits;
    limits.maxDepth = depth;
    limits.stopWhenForced = 0;
    if (move != 0) {
        limits.searchMoves = &move;
        limits.searchMoveCount = 1;
    }
    QuietReporter reporter;
    SearchResult result = runSearch(engine, pos, limits, reporter);
    return Verdict{result.bestMove, result.bestMove != 0 ? result.lastScore : -MateValue};
}

// The entries of pos in a sorted entry list.
std::vector<BookRecord> bookMovesOf(const std::vector<BookRecord>& sorted, const Position& pos) {
    BookRecord key{pos.lock1, pos.lock2, 0, 0};
    auto before = [](const BookRecord& a, const BookRecord& b) {
        return a.lock2 != b.lock2 ? a.lock2 < b.lock2 : a.lock1 < b.lock1;
    };
    auto range = std::equal_range(sorted.begin(), sorted.end(), key, before);
    return std::vector<BookRecord>(range.first, range.second);
}

std::string moveText(int move) {
    char text[5] = {};
    moveToText(move, text);
    return text;
}

}  // namespace

int checkBookLines(SearchEngine& engine, const std::string& text, const CheckSettings& settings) {
    std::vector<BookRecord> entries;
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
    Position pos;
    for (int lineNumber = 1; std::getline(lines, line); lineNumber++) {
        std::vector<std::string> tokens = splitBookLine(line);
        pos.setFromFen(StartPositionFen);
        // A weighted line's moves after '|' are no variation to walk.
        for (size_t ply = 0; ply < tokens.size() && tokens[ply] != "|"; ply++) {
            int move = textToMove(tokens[ply].c_str());
            if (judged.insert(std::make_pair(pos.lock2, pos.lock1)).second) {
                positions++;
                Verdict best = searchPosition(engine, pos, settings.depth, 0);
                for (const BookRecord& entry : bookMovesOf(entries, pos)) {
                    Verdict book = entry.move == best.move ? best : searchPosition(engine, pos, settings.depth, entry.move);
                    if (book.value >= best.value - settings.margin) continue;
                    weak++;
                    std::printf("line %d ply %zu: %s scores %d, best %s scores %d\n", lineNumber, ply + 1,
                                moveText(entry.move).c_str(), book.value, moveText(best.move).c_str(), best.value);
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
