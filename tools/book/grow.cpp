// The grown book's tree. Every shard walks the same levels in the same order;
// the first levels, few positions, are analysed by every shard alike, and
// from the first level wide enough each shard takes every Nth of its
// positions with all that grows below them, so that the shards need not talk.
// A position reached in two shards' subtrees is analysed by both: build keeps
// one weight per move.
#include "grow.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <sstream>
#include <unordered_map>
#include <utility>
#include <vector>

#include "board/notation.h"
#include "book/book_writer.h"
#include "search/driver.h"
#include "search/hash.h"

namespace {

// The shard of a position before the shards part: every shard analyses it.
constexpr int Common = -1;
// The shards part at the first level that gives each at least this many
// subtrees, so that their shares even out.
constexpr int SubtreesPerShard = 8;
constexpr int ProgressInterval = 10;  // positions between two progress lines

// Keeps the lines of the last completed depth: the first line of a depth, or
// a new best move with a single line, starts the list afresh.
class LineCollector : public SearchReporter {
public:
    struct Line {
        int move;
        int score;
    };
    std::vector<Line> lines;

    void newBestMove(const SearchReport& report) override {
        if (report.line == 1) lines.clear();
        if (report.pv[0] != 0 && report.line == static_cast<int>(lines.size()) + 1) {
            lines.push_back(Line{report.pv[0], report.score});
        }
    }
    PollEvent poll() override { return PollNothing; }
    void searchDone(const SearchResult&) override {}
};

// One position of the tree, as the moves that first reached it.
struct Node {
    std::vector<Move> path;
    uint64_t key;
    int owner;  // the shard that analyses it and what grows below it, or Common
};

// A repertoire position, with the position before it on its line.
struct Seed {
    std::vector<Move> path;
    uint64_t key;
    uint64_t previous;
};

// One key for a position and its mirror image: the smaller of their lock pairs.
uint64_t bookKey(const Position& pos) {
    std::pair<uint32_t, uint32_t> locks = std::min(positionLocks(pos), mirrorLocks(pos));
    return uint64_t{locks.first} << 32 | locks.second;
}

void setPosition(Position& pos, const std::vector<Move>& path) {
    pos.setFromFen(StartPositionFen);
    for (Move move : path) pos.makeMove(move);
}

// BookTopWeight halved for every halving units below the best, on a straight
// line between two halvings; never below 1, so that a kept move stays playable.
int weightBelowBest(int below, int halving) {
    const int halvings = below / halving;
    const int base = halvings < 16 ? BookTopWeight >> halvings : 0;
    return std::max(1, base - base * (below % halving) / (2 * halving));
}

// The repertoire's positions by their distance from the start, in file
// order; the start position first. The text has passed addBookLines, so
// every move in it is legal.
std::vector<std::vector<Seed>> seedsByPly(const std::string& repertoire, int plies) {
    std::vector<std::vector<Seed>> seeds(plies);
    Position pos;
    pos.setFromFen(StartPositionFen);
    seeds[0].push_back(Seed{{}, bookKey(pos), 0});
    std::istringstream lines(repertoire);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> tokens = splitBookLine(line);
        pos.setFromFen(StartPositionFen);
        std::vector<Move> path;
        for (size_t i = 0; i < tokens.size() && tokens[i] != "|" && path.size() + 1 < static_cast<size_t>(plies); i++) {
            const uint64_t previous = bookKey(pos);
            const Move move = static_cast<Move>(textToMove(tokens[i].c_str()));
            pos.makeMove(move);
            path.push_back(move);
            seeds[path.size()].push_back(Seed{path, bookKey(pos), previous});
        }
    }
    return seeds;
}

// Searches pos to the settings' depth with a cleared table and returns the
// scored lines, best first.
std::vector<LineCollector::Line> analyse(SearchEngine& engine, const Position& pos, const GrowSettings& settings) {
    clearHashTable(engine.table);
    SearchLimits limits;
    limits.maxDepth = settings.depth;
    limits.lines = settings.lines;
    limits.stopWhenForced = false;
    LineCollector collector;
    runSearch(engine, pos, limits, collector);
    return collector.lines;
}

void writeLine(std::FILE* out, const std::vector<Move>& path, const std::vector<LineCollector::Line>& kept,
               int halving) {
    for (Move move : path) std::fprintf(out, "%s ", moveText(move).text);
    std::fputc('|', out);
    for (const LineCollector::Line& line : kept) {
        std::fprintf(out, " %s %d", moveText(line.move).text, weightBelowBest(kept[0].score - line.score, halving));
    }
    std::fputc('\n', out);
    std::fflush(out);
}

// The positions of one ply not met before, each once: the repertoire's first,
// each in the subtree of the position before it on its line (or dealt out by
// its key when that one is common), then the children of the ply before.
std::vector<Node> gatherLevel(const std::vector<Seed>& seeds, std::vector<Node>& children,
                              std::unordered_map<uint64_t, int>& owners, bool parted, int shards) {
    std::vector<Node> level;
    for (const Seed& seed : seeds) {
        if (owners.count(seed.key) != 0) continue;
        int owner = Common;
        if (parted) {
            auto previous = owners.find(seed.previous);
            owner = previous != owners.end() && previous->second != Common
                        ? previous->second
                        : static_cast<int>(seed.key % static_cast<uint64_t>(shards));
        }
        owners[seed.key] = owner;
        level.push_back(Node{seed.path, seed.key, owner});
    }
    for (Node& child : children) {
        if (owners.emplace(child.key, child.owner).second) level.push_back(std::move(child));
    }
    return level;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int growBook(SearchEngine& engine, const std::string& repertoire, const char* repertoireName,
             const GrowSettings& settings, const std::string& header, std::FILE* out, std::FILE* progress) {
    BookBuilder check;
    BookLineError error{};
    if (!addBookLines(check, repertoire, error)) {
        std::fprintf(progress, "%s:%d: %s '%s'\n", repertoireName, error.lineNumber, error.reason, error.token);
        return -1;
    }
    const std::vector<std::vector<Seed>> seeds = seedsByPly(repertoire, settings.plies);
    const auto started = std::chrono::steady_clock::now();
    std::fprintf(out, "%s\n", header.c_str());

    std::unordered_map<uint64_t, int> owners;  // every position met so far, and its shard
    std::vector<Node> children;                // of the level analysed, for the next one
    bool parted = false;
    int budget = settings.positions;
    int analysed = 0;
    Position pos;
    for (int ply = 0; ply < settings.plies && analysed < budget; ply++) {
        std::vector<Node> level = gatherLevel(seeds[ply], children, owners, parted, settings.shards);
        children.clear();
        if (!parted && settings.shards > 1 && level.size() >= static_cast<size_t>(SubtreesPerShard * settings.shards)) {
            parted = true;
            for (size_t i = 0; i < level.size(); i++) {
                level[i].owner = static_cast<int>(i % static_cast<size_t>(settings.shards));
                owners[level[i].key] = level[i].owner;
            }
            // What is left after the common levels is shared out evenly.
            budget = analysed + (settings.positions - analysed + settings.shards - 1) / settings.shards;
        }

        for (size_t index = 0; index < level.size(); index++) {
            const Node& node = level[index];
            if (node.owner != Common && node.owner != settings.shard) continue;
            if (analysed >= budget) break;
            setPosition(pos, node.path);
            std::vector<LineCollector::Line> lines = analyse(engine, pos, settings);
            analysed++;
            std::vector<LineCollector::Line> kept;
            for (const LineCollector::Line& line : lines) {
                if (line.score >= lines[0].score - settings.margin) kept.push_back(line);
            }
            if (!kept.empty()) writeLine(out, node.path, kept, settings.halving);
            if (analysed % ProgressInterval == 0) {
                std::fprintf(progress, "grow: %d positions analysed, at ply %d position %zu of %zu, %.0f s\n", analysed,
                             ply, index + 1, level.size(), secondsSince(started));
                std::fflush(progress);
            }
            if (ply + 1 == settings.plies) continue;
            for (const LineCollector::Line& line : kept) {
                pos.makeMove(line.move);
                const uint64_t key = bookKey(pos);
                pos.unmakeMove();
                if (owners.count(key) != 0) continue;
                std::vector<Move> path = node.path;
                path.push_back(static_cast<Move>(line.move));
                children.push_back(Node{std::move(path), key, node.owner});
            }
        }
    }
    std::fprintf(progress, "grow: done, %d positions analysed to depth %d in %.1f s\n", analysed, settings.depth,
                 secondsSince(started));
    return analysed;
}
