// quorvel-bench [DEPTH]: searches a fixed list of positions to a fixed depth
// and prints the total node count, the engine's search signature, with the
// time taken. A change that should not alter the search leaves the count as it was.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "board/tables.h"
#include "io/command_line.h"
#include "search/driver.h"
#include "search/hash.h"

namespace {

constexpr int DefaultDepth = 10;

constexpr const char* Usage =
    "Usage: quorvel-bench [DEPTH]\n"
    "Searches ten fixed Xiangqi positions to DEPTH plies (10 unless given), each\n"
    "with a fresh 16 MB table and no book, prints each position's nodes, time and\n"
    "move, and last the total nodes, time and speed. The total is the engine's\n"
    "search signature: the same on every machine for one version of the search.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the name and version and exit\n";

// Openings, middlegames and endgames, the named positions among them.
const char* const BenchPositions[] = {
    StartPositionFen,
    "r1bakabnr/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b - - 0 1",
    "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1",
    "2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1",
    "r2akab2/9/2n1b1n2/p1p1p1c1p/6p2/2P6/P3P1P1P/1CN1B1N2/4A4/R2AK1B1R w - - 0 1",
    "4kar2/4a2rn/4bc3/RN1c5/2bC5/9/4p4/9/4p4/3p1K3 w - - 0 1",
    "2bak4/9/4b4/4N4/2p6/6c2/9/4B4/4A4/3AK4 w - - 0 1",
    "3ak4/4a4/9/9/9/9/4P4/9/4R4/3K5 w - - 0 1",
    "3k5/4PP3/4r4/3P5/9/9/9/9/9/5K3 w - - 0 1",
    "4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1",
};

// Every run searches alike: nothing to read, nothing to show until the end.
class BenchReporter : public SearchReporter {
public:
    void newBestMove(const SearchReport&) override {}
    PollEvent poll() override { return PollNothing; }
    void searchDone(const SearchResult&) override {}
};

// Its state is large, so it lives outside the stack.
SearchEngine BenchEngine;

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerStandardArguments(argc, argv, {"quorvel-bench", Usage, ListedOptions});
    if (answered != ArgumentsForProgram) return answered;
    int depth = DefaultDepth;
    if (argc > 1) {
        depth = std::atoi(argv[1]);
        if (depth < 1 || depth > MaxSearchDepth) {
            std::fprintf(stderr, "usage: quorvel-bench [DEPTH 1..32]\n");
            return 2;
        }
    }
    buildPopCount();
    buildTables();
    allocateHashTable(BenchEngine.table, 24);

    int64_t totalNodes = 0;
    int64_t totalTime = 0;
    const int count = static_cast<int>(sizeof(BenchPositions) / sizeof(BenchPositions[0]));
    for (int i = 0; i < count; i++) {
        clearHashTable(BenchEngine.table);
        Position pos;
        pos.setFromFen(BenchPositions[i]);
        SearchLimits limits;
        limits.maxDepth = depth;
        BenchReporter reporter;
        SearchResult result = runSearch(BenchEngine, pos, limits, reporter);
        char move[5] = "none";
        if (result.bestMove != 0) moveToText(result.bestMove, move);
        totalNodes += result.statistics.nodes;
        totalTime += result.statistics.elapsed;
        std::printf("bench position %d nodes %" PRId64 " time %" PRId64 " move %s fen %s\n", i + 1,
                    result.statistics.nodes, result.statistics.elapsed, move, BenchPositions[i]);
        std::fflush(stdout);
    }
    releaseHashTable(BenchEngine.table);

    int64_t nodesPerSecond = totalTime > 0 ? totalNodes * 1000 / totalTime : 0;
    std::printf("bench nodes %" PRId64 " time %" PRId64 " nps %" PRId64 "\n", totalNodes, totalTime, nodesPerSecond);
    return 0;
}
