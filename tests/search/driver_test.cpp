// The driver in process: root moves left out, the limits the poll enforces
// before it asks the front end, and the result's statistics.
#include <gtest/gtest.h>

#include <memory>

#include "search/driver.h"
#include "search/search_setup.h"

namespace {

// A front end that answers every poll with one event after a number of polls.
class ScriptedReporter : public SearchReporter {
public:
    explicit ScriptedReporter(PollEvent event = PollNothing, int after = 0) : event_(event), after_(after) {}
    void newBestMove(const SearchReport&) override { reports++; }
    PollEvent poll() override { return ++polls > after_ ? event_ : PollNothing; }
    void searchDone(const SearchResult&) override { done++; }
    int reports = 0, polls = 0, done = 0;

private:
    PollEvent event_;
    int after_;
};

class Driver : public ::testing::Test {
protected:
    void SetUp() override { useSmallTable(); }

    // Black to move with the king's only move e8e9 bringing back the start a
    // fifth time (laps gives the number of full cycles before the last one).
    static Position repeatingPosition(int laps) {
        Position pos = fromFen("4k4/9/9/4P4/3R1R3/9/9/9/9/3K5 w - - 0 1");
        const char* cycle[4] = {"d0d1", "e9e8", "d1d0", "e8e9"};
        for (int lap = 0; lap < laps; lap++)
            for (const char* move : cycle) EXPECT_EQ(pos.makeMove(mv(move)), 1);
        for (int i = 0; i < 3; i++) EXPECT_EQ(pos.makeMove(mv(cycle[i])), 1);
        return pos;
    }

    static SearchResult search(const Position& pos, const SearchLimits& limits, SearchReporter& reporter) {
        return runSearch(Engine, pos, limits, reporter);
    }
};

// At its first poll, runs a whole search of another position on another engine.
class NestingReporter : public ScriptedReporter {
public:
    NestingReporter(SearchEngine& other, const Position& pos, const SearchLimits& limits)
        : other_(other), pos_(pos), limits_(limits) {}
    PollEvent poll() override {
        if (!ran) {
            ran = true;
            ScriptedReporter quiet;
            inner = runSearch(other_, pos_, limits_, quiet);
        }
        return PollNothing;
    }
    bool ran = false;
    SearchResult inner{};

private:
    SearchEngine& other_;
    const Position& pos_;
    const SearchLimits& limits_;
};

TEST_F(Driver, TwoEnginesInOneProcessSearchAsEachDoesAlone) {
    SearchLimits limits;
    limits.maxDepth = 6;
    const Position first = fromFen(MidgameFen);
    const Position second = fromFen(ZugzwangFen);
    std::unique_ptr<SearchEngine> engines[4];
    for (auto& engine : engines) {
        engine = std::make_unique<SearchEngine>();
        allocateHashTable(engine->table, 20);
    }
    ScriptedReporter quiet;
    const SearchResult firstAlone = runSearch(*engines[0], first, limits, quiet);
    const SearchResult secondAlone = runSearch(*engines[1], second, limits, quiet);

    // The second search runs whole in the middle of the first.
    NestingReporter nesting(*engines[3], second, limits);
    const SearchResult firstAround = runSearch(*engines[2], first, limits, nesting);
    ASSERT_TRUE(nesting.ran);
    EXPECT_EQ(firstAround.statistics.nodes, firstAlone.statistics.nodes);
    EXPECT_EQ(firstAround.bestMove, firstAlone.bestMove);
    EXPECT_EQ(nesting.inner.statistics.nodes, secondAlone.statistics.nodes);
    EXPECT_EQ(nesting.inner.bestMove, secondAlone.bestMove);
    for (auto& engine : engines) releaseHashTable(engine->table);
}

TEST_F(Driver, AMoveThatRepeatsAFifthTimeIsNeverPlayed) {
    SearchLimits limits;
    limits.maxDepth = 2;
    ScriptedReporter reporter;
    EXPECT_EQ(search(repeatingPosition(3), limits, reporter).bestMove, 0);
    EXPECT_EQ(reporter.done, 1);
    // One lap fewer, the same move is allowed again; a banned move never is.
    EXPECT_EQ(search(repeatingPosition(2), limits, reporter).bestMove, mv("e8e9"));
    const Move banned = static_cast<Move>(mv("e8e9"));
    limits.bannedMoves = &banned;
    limits.bannedCount = 1;
    EXPECT_EQ(search(repeatingPosition(2), limits, reporter).bestMove, 0);
}

TEST_F(Driver, SearchMovesRestrictTheRoot) {
    SearchLimits limits;
    limits.maxDepth = 3;
    const Move only[2] = {static_cast<Move>(mv("a0a1")), static_cast<Move>(mv("i0i1"))};
    limits.searchMoves = only;
    limits.searchMoveCount = 2;
    ScriptedReporter reporter;
    const int best = search(fromFen(StartFen), limits, reporter).bestMove;
    EXPECT_TRUE(best == only[0] || best == only[1]) << text(best);
}

TEST_F(Driver, PollEnforcesTheLimitsBeforeAskingTheFrontEnd) {
    SearchLimits limits;
    limits.kind = LimitNodes;
    limits.nodeLimit = 1;
    ScriptedReporter nodes;
    SearchResult result = search(fromFen(MidgameFen), limits, nodes);
    EXPECT_EQ(nodes.polls, 0);
    EXPECT_LT(result.statistics.nodes, 100000);

    // A clock that ran out does not end a ponder search: the front end does.
    limits.kind = LimitTime;
    limits.nodeLimit = 0;
    limits.maxTime = -1;
    limits.pondering = 1;
    ScriptedReporter pondering(PollStop, 3);
    search(fromFen(MidgameFen), limits, pondering);
    EXPECT_EQ(pondering.polls, 4);
    limits.pondering = 0;
    ScriptedReporter timed(PollStop, 3);
    search(fromFen(MidgameFen), limits, timed);
    EXPECT_EQ(timed.polls, 0);
}

TEST_F(Driver, StatisticsCountNodesPerSecond) {
    SearchLimits limits;
    limits.maxDepth = 6;
    ScriptedReporter reporter;
    SearchResult result = search(fromFen(StartFen), limits, reporter);
    const SearchStatistics& s = result.statistics;
    EXPECT_GT(s.nodes, 0);
    EXPECT_EQ(s.nodesPerSecond, s.elapsed > 0 ? s.nodes * 1000 / s.elapsed : 0);
    EXPECT_GT(reporter.reports, 0);
    EXPECT_NE(result.ponderMove, 0);
}

}  // namespace
