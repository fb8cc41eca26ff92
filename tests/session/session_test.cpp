// The engine session that every protocol shares: options and the table they
// size, the limits of each kind of request, and the answer held until the
// front end releases it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/positions.h"
#include "io/line_input.h"
#include "movegen/generate.h"
#include "search/hash.h"
#include "session/go.h"

namespace {

class Session : public ::testing::Test {
protected:
    void SetUp() override { startSession(session, "/opt/quorvel/bin/quorvel", SessionBounds()); }
    void TearDown() override { endSession(session); }

    SearchLimits limitsOf(const GoRequest& request) { return searchLimitsOf(session, session.position, request); }

    EngineSession session;
};

// A front end that answers isready, releases on ponderhit and stop, and keeps
// what the session gives it.
class Recorder : public Conversation {
public:
    void newBestMove(const SearchReport& report) override {
        reports++;
        lastLine.clear();
        for (const Move* move = report.pv; *move != 0; move++) lastLine.push_back(*move);
    }
    PollEvent busyLine(const char* line) override {
        lines.push_back(line);
        if (line == std::string("ponderhit")) return PollPonderHit;
        if (line == std::string("stop")) return PollStop;
        return PollNothing;
    }
    bool readsInput() override { return reads; }
    void answer(const GoAnswer& given) override {
        answers++;
        last = given;
    }
    bool reads = true;
    int reports = 0, answers = 0;
    std::vector<Move> lastLine;  // the last report's moves
    std::vector<std::string> lines;
    GoAnswer last = {};
};

// Runs a go with these lines as what the front end sends meanwhile.
GoAnswer goWithInput(EngineSession& session, const GoRequest& request, Recorder& recorder, const std::string& input) {
    useMemoryInput(input.data(), input.size());
    openInput();
    return runGo(session, session.position, request, recorder);
}

TEST_F(Session, StartsWithEveryOptionAtItsStartValueAndTheBookBesideTheProgram) {
    for (int id = 0; id < OptionCount; id++) EXPECT_EQ(session.options[id], Options[id].startValue) << id;
    EXPECT_STREQ(session.bookPath, "/opt/quorvel/bin/qvr.bin");
    EXPECT_EQ(session.engine.table.mask, (1u << 24) / 16 - 1);
    char fen[FenSize];
    session.position.writeFen(fen);
    EXPECT_STREQ(fen, StartFen);
}

TEST_F(Session, OptionsAreClampedToTheirRangeAndEveryTableSizeMakesAFreshTable) {
    setOption(session, OptionMultiPV, 500);
    EXPECT_EQ(option(session, OptionMultiPV), 128);
    setOption(session, OptionMoveOverhead, -3);
    EXPECT_EQ(option(session, OptionMoveOverhead), 0);
    // The largest power of two of megabytes not above the size, 16 MB at least.
    const struct { int megabytes; uint32_t bytes; } sizes[] = {{0, 1u << 24}, {31, 1u << 24}, {48, 1u << 25}};
    for (const auto& size : sizes) {
        setOption(session, OptionHash, size.megabytes);
        EXPECT_EQ(session.engine.table.mask, size.bytes / 16 - 1) << size.megabytes;
    }
    storeHash(session.engine.table, session.position, HashExact, 5, 3, mv("h2e2"));
    EXPECT_EQ(probeHashMove(session.engine.table, session.position), mv("h2e2"));
    setOption(session, OptionHash, 48);
    EXPECT_EQ(probeHashMove(session.engine.table, session.position), 0);
    storeHash(session.engine.table, session.position, HashExact, 5, 3, mv("h2e2"));
    setOption(session, OptionClearHash, 0);
    EXPECT_EQ(probeHashMove(session.engine.table, session.position), 0);
}

TEST_F(Session, EachLimitOfARequestAppliesAndTheTightestWins) {
    GoRequest request;
    SearchLimits limits = limitsOf(request);
    EXPECT_EQ(limits.kind, LimitDepth);
    EXPECT_EQ(limits.maxDepth, MaxSearchDepth);
    EXPECT_EQ(limits.untilStopped, 1);  // nothing named: only a command ends it

    request.depthGiven = true;
    request.depth = 40;
    request.mateGiven = true;
    request.mate = 3;
    request.nodesGiven = true;
    request.nodes = 5000;
    limits = limitsOf(request);
    EXPECT_EQ(limits.maxDepth, 5);
    EXPECT_EQ(limits.kind, LimitNodes);
    EXPECT_EQ(limits.nodeLimit, 5000);
    EXPECT_EQ(limits.untilStopped, 0);

    // Red's clock, less the move overhead, shared over the moves to go; a
    // fixed time is used in full where it is the shorter.
    GoRequest timed;
    timed.clockGiven[0] = timed.clockGiven[1] = true;
    timed.clock[0] = 60030;
    timed.clock[1] = 1000;
    timed.movesToGo = 30;
    limits = limitsOf(timed);
    EXPECT_EQ(limits.kind, LimitTime);
    EXPECT_EQ(limits.normalTime, 2000);
    EXPECT_EQ(limits.maxTime, 20000);
    EXPECT_EQ(limits.stopWhenForced, 1);
    timed.moveTimeGiven = true;
    timed.moveTime = 1030;
    limits = limitsOf(timed);
    EXPECT_EQ(limits.normalTime, 2000);
    EXPECT_EQ(limits.maxTime, 1000);
    // Pondering gives a quarter more normal time.
    setOption(session, OptionPonder, 1);
    timed.moveTimeGiven = false;
    EXPECT_EQ(limitsOf(timed).normalTime, 2500);

    GoRequest analysis;
    analysis.infinite = true;
    analysis.analysis = true;
    limits = limitsOf(analysis);
    EXPECT_EQ(limits.untilStopped, 1);
    EXPECT_EQ(limits.stopWhenForced, 0);
}

TEST_F(Session, BoundsCapEverySearchAndTheTable) {
    endSession(session);
    SessionBounds bounds;
    bounds.maxDepth = 3;
    bounds.maxNodes = 100;
    bounds.maxTableExponent = 20;
    startSession(session, "", bounds);
    EXPECT_EQ(session.engine.table.mask, (1u << 20) / 16 - 1);
    GoRequest request;
    request.depthGiven = true;
    request.depth = 9;
    const SearchLimits limits = limitsOf(request);
    EXPECT_EQ(limits.maxDepth, 3);
    EXPECT_EQ(limits.kind, LimitNodes);
    EXPECT_EQ(limits.nodeLimit, 100);
}

TEST_F(Session, APonderAnswerIsHeldUntilPonderhitAndLinesMeanwhileGoToTheProtocol) {
    GoRequest request;
    request.ponder = true;
    request.depthGiven = true;
    request.depth = 2;
    Recorder recorder;
    const GoAnswer answer = goWithInput(session, request, recorder, "isready\nponderhit\nlater\n");
    EXPECT_EQ(recorder.answers, 1);
    EXPECT_EQ(answer.source, AnswerSearch);
    EXPECT_NE(answer.move, 0);
    EXPECT_TRUE(answer.ponderHit);
    // Nothing read after the release: that line is the next command's.
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"isready", "ponderhit"}));
}

TEST_F(Session, AnInfiniteSearchHoldsItsAnswerOnlyWhereTheProtocolSaysSo) {
    // Mate in a few moves: the search ends by itself long before stop.
    session.position = fromFen(CheckmateFen);
    GoRequest request;
    request.infinite = true;
    Recorder holding;
    holding.rules.holdInfinite = true;
    EXPECT_TRUE(goWithInput(session, request, holding, "stop\n").stopped);
    EXPECT_EQ(holding.answers, 1);
    Recorder answering;
    answering.reads = false;
    const GoAnswer answer = goWithInput(session, request, answering, "");
    EXPECT_FALSE(answer.held);
    EXPECT_EQ(text(answer.move), "b6c8");
}

TEST_F(Session, APositionDrawnByRuleIsAnsweredWithoutAMoveWhereTheProtocolSaysSo) {
    session.position = fromFen("4k4/4a4/9/9/9/9/9/9/4A4/4K4 w - - 0 1");
    GoRequest request;
    request.depthGiven = true;
    request.depth = 3;
    Recorder recorder;
    recorder.rules.noMoveWhenDrawn = true;
    EXPECT_EQ(goWithInput(session, request, recorder, "").source, AnswerDrawn);
    recorder.rules.noMoveWhenDrawn = false;
    EXPECT_EQ(goWithInput(session, request, recorder, "").source, AnswerSearch);
}

GoRequest depthRequest(int depth) {
    GoRequest request;
    request.depthGiven = true;
    request.depth = depth;
    return request;
}

TEST_F(Session, LevelTwentyIsTheFullSearchHoweverItIsAskedFor) {
    session.position = fromFen(MidgameFen);
    const GoRequest request = depthRequest(7);
    Recorder full;
    const GoAnswer expected = goWithInput(session, request, full, "");
    const struct { OptionId id; int value; } settings[] = {
        {OptionSkillLevel, FullSkillLevel},
        {OptionSeed, 9},
        {OptionElo, LevelElo[FullSkillLevel]},
        {OptionLimitStrength, 1}};
    for (const auto& setting : settings) {
        setOption(session, setting.id, setting.value);
        setOption(session, OptionClearHash, 0);
        Recorder same;
        const GoAnswer answer = goWithInput(session, request, same, "");
        EXPECT_EQ(answer.move, expected.move) << setting.id;
        EXPECT_EQ(answer.statistics.nodes, expected.statistics.nodes) << setting.id;
        EXPECT_EQ(same.reports, full.reports) << setting.id;
    }
}

TEST_F(Session, UciEloPicksALevelBetweenTheWholeOnes) {
    EXPECT_EQ(levelOfElo(LevelElo[0] - 100), 0);
    EXPECT_EQ(levelOfElo(LevelElo[7]), 7 * LevelHundredths);
    const int32_t between = levelOfElo((LevelElo[7] + LevelElo[8]) / 2);  // near the middle of 7 and 8
    EXPECT_GT(between, 7 * LevelHundredths + LevelHundredths / 4);
    EXPECT_LT(between, 8 * LevelHundredths - LevelHundredths / 4);
    EXPECT_EQ(levelOfElo(LevelElo[FullSkillLevel]), FullStrength);
    setOption(session, OptionElo, LevelElo[3]);
    EXPECT_EQ(playingLevel(session), FullStrength);  // the Elo counts under UCI_LimitStrength only
    setOption(session, OptionLimitStrength, 1);
    EXPECT_EQ(playingLevel(session), 3 * LevelHundredths);
}

TEST_F(Session, AWeakLevelDrawsFromItsLinesAndTheSeedReplaysTheDraw) {
    setOption(session, OptionSkillLevel, 0);
    std::vector<Move> chosen;
    for (int seed = 1; seed <= 10; seed++) {
        setOption(session, OptionSeed, seed);
        Recorder recorder;
        chosen.push_back(goWithInput(session, depthRequest(10), recorder, "").move);
        // A new game starts the draws over: the same seed, the same move.
        setOption(session, OptionClearHash, 0);
        restartRandom(session);
        EXPECT_EQ(goWithInput(session, depthRequest(10), recorder, "").move, chosen.back()) << seed;
    }
    std::sort(chosen.begin(), chosen.end());
    EXPECT_GT(std::unique(chosen.begin(), chosen.end()) - chosen.begin(), 2);
}

TEST_F(Session, TheLowestLevelTakesAMateInOneAndEscapesOneWhateverTheDraw) {
    setOption(session, OptionSkillLevel, 0);
    // Red mates with b0b9; black, to move, stops that mate by taking the
    // a8 rook, blocking on b8 or checking, and is mated after most other moves.
    const char* const mateInOne = "3k5/R8/9/9/9/9/9/9/9/1R3K3 w - - 0 1";
    const char* const mateThreat = "3k5/R6r1/9/9/9/9/9/9/9/1R3K3 b - - 0 1";
    for (int seed = 1; seed <= 20; seed++) {
        setOption(session, OptionSeed, seed);
        Recorder recorder;
        session.position = fromFen(mateInOne);
        EXPECT_EQ(text(goWithInput(session, depthRequest(10), recorder, "").move), "b0b9") << seed;
        session.position = fromFen(mateThreat);
        Position after = session.position;
        ASSERT_TRUE(after.makeMove(goWithInput(session, depthRequest(10), recorder, "").move)) << seed;
        Move replies[MoveListCapacity];
        const int replyCount = legalMoves(after, replies);
        for (int i = 0; i < replyCount; i++) {
            ASSERT_TRUE(after.makeMove(replies[i]));
            Move escapes[MoveListCapacity];
            EXPECT_GT(legalMoves(after, escapes), 0) << seed << " mated by " << text(replies[i]);
            after.unmakeMove();
        }
    }
}

// Weak levels over positions of random play: a legal move from the lines
// searched, reported last with the reply it expects.
TEST_F(Session, WeakLevelsPlayOnlyMovesOfTheirLinesAndSayWhichOne) {
    std::mt19937 random(5);
    for (int game = 0; game < 300; game++) {
        Position pos = fromFen(StartFen);
        const int length = static_cast<int>(random() % 120);
        Move moves[MoveListCapacity];
        for (int ply = 0; ply < length; ply++) {
            const int count = legalMoves(pos, moves);
            if (count == 0 || !pos.makeMove(moves[random() % count])) break;
        }
        if (legalMoves(pos, moves) == 0) continue;
        session.position = pos;
        setOption(session, OptionSkillLevel, game % 8);
        Recorder recorder;
        const GoAnswer answer = goWithInput(session, depthRequest(10), recorder, "");
        ASSERT_TRUE(pos.isLegalMove(answer.move)) << game;
        const SkillLines& lines = session.skillLines;
        bool searched = false;
        for (int i = 0; i < lines.count; i++) searched = searched || lines.moves[i][0] == answer.move;
        EXPECT_TRUE(searched) << game;
        ASSERT_GE(recorder.lastLine.size(), 1u) << game;
        EXPECT_EQ(recorder.lastLine[0], answer.move) << game;
        EXPECT_EQ(recorder.lastLine.size() > 1 ? recorder.lastLine[1] : 0, answer.ponderMove) << game;
    }
}

TEST(LocatePathTest, BookBesideTheProgram) {
    char path[1024];
    locatePath(path, sizeof path, "/opt/quorvel/bin/quorvel", "qvr.bin");
    EXPECT_STREQ(path, "/opt/quorvel/bin/qvr.bin");
    locatePath(path, sizeof path, "C:\\Games\\quorvel.exe", "qvr.bin");
    EXPECT_STREQ(path, "C:\\Games\\qvr.bin");
    locatePath(path, sizeof path, "C:/x\\y/quorvel.exe", "qvr.bin");
    EXPECT_STREQ(path, "C:/x\\y/qvr.bin");
    locatePath(path, sizeof path, "quorvel", "qvr.bin");
    EXPECT_STREQ(path, "qvr.bin");
    // A name longer than the room is cut, nothing written past it.
    const std::string longName = "/" + std::string(3000, 'd') + "/quorvel";
    char small[64];
    std::fill(small, small + sizeof small, 'x');
    locatePath(small, 16, longName.c_str(), "qvr.bin");
    EXPECT_EQ(std::string(small).size(), 15u);
    EXPECT_EQ(small[16], 'x');
}

}  // namespace
