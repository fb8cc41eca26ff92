#include "session/go.h"

#include "book/book.h"
#include "io/line_input.h"
#include "io/output.h"
#include "session/clock.h"

namespace {

// Far beyond any clock: a time limit that never ends a search by itself.
constexpr int64_t NoTimeLimit = int64_t(1) << 40;

int64_t clamped(int64_t value, int64_t low, int64_t high) { return value < low ? low : (value > high ? high : value); }

// The search's view of a go: reports and lines go to the conversation, and
// what arrives is noted for the hold that may follow.
class GoReporter : public SearchReporter {
public:
    GoReporter(const GoRequest& request, const SearchLimits& limits, Conversation& conversation)
        : request_(request), untilStopped_(limits.untilStopped), conversation_(conversation) {}

    // A weakened level's search: it keeps the lines it will draw from and
    // shows the front end only the lines it asked for.
    void weaken(EngineSession& session, const SkillSetting& setting, int shownLines) {
        skillLines_ = &session.skillLines;
        skillLines_->depth = 0;
        skillLines_->count = 0;
        randomSeed_ = &session.randomSeed;
        drawnLines_ = setting.lines < MaxSkillLines ? setting.lines : MaxSkillLines;
        weakness_ = setting.weakness;
        shownLines_ = shownLines;
    }

    void newBestMove(const SearchReport& report) override {
        if (skillLines_ == nullptr) {
            conversation_.newBestMove(report);
            return;
        }
        keepLine(report);
        if (report.line <= shownLines_) conversation_.newBestMove(report);
    }

    PollEvent poll() override {
        // Once a stop is asked for, later polls say the same.
        if (stopEvent_ != PollNothing) return stopEvent_;
        PollEvent event = PollNothing;
        char line[LineBufferSize];
        if (outputClosed()) {
            event = conversation_.outputLost();
        } else if (conversation_.readsInput()) {
            // Every line that has arrived is taken now: a release must not
            // wait behind lines that came first.
            while (event == PollNothing && readLine(line)) event = conversation_.busyLine(line);
            if (event == PollNothing && inputEnded()) event = conversation_.inputEnded();
        }
        note(event);
        return event;
    }

    // The answer goes out at once, before the driver ages the table, unless
    // it waits for its release.
    void searchDone(const SearchResult& result) override {
        answer.source = AnswerSearch;
        answer.move = result.bestMove;
        answer.ponderMove = result.ponderMove;
        answer.offer = result.offer;
        answer.drawAcceptable = result.drawAcceptable;
        answer.statistics = result.statistics;
        answer.pv = result.pv;
        if (skillLines_ != nullptr) drawLine(result);
        if (!mustHold()) deliver();
    }

    bool mustHold() const {
        if (answer.stopped || inputGone_) return false;
        if (request_.ponder && !answer.ponderHit) return true;
        return untilStopped_ && conversation_.rules.holdInfinite;
    }

    // The search has ended by itself: lines are waited for until one releases the answer.
    void hold() {
        char line[LineBufferSize];
        while (mustHold()) {
            PollEvent event;
            if (outputClosed())
                event = conversation_.outputLost();
            else if (!waitForLine(line))
                event = conversation_.inputEnded();
            else
                event = conversation_.busyLine(line);
            // Offered once the search is over, a draw is taken up as the search would have.
            if (event == PollPonderHitDraw && answer.offer == OfferNone && answer.drawAcceptable)
                answer.offer = OfferDraw;
            note(event);
        }
        answer.held = true;
    }

    void deliver() {
        if (delivered_) return;
        delivered_ = true;
        conversation_.answer(answer);
    }

    GoAnswer answer = {};

private:
    // The lines of a depth come once it is complete, best first.
    void keepLine(const SearchReport& report) {
        SkillLines& lines = *skillLines_;
        if (report.line == 1) {
            lines.depth = report.depth;
            lines.count = 0;
        }
        if (report.line != lines.count + 1 || lines.count >= drawnLines_) return;
        Move* moves = lines.moves[lines.count];
        int length = 0;
        while (length < SkillLineLength && report.pv[length] != 0) {
            moves[length] = report.pv[length];
            length++;
        }
        moves[length] = 0;
        lines.score[lines.count++] = report.score;
    }

    // The answer becomes the line drawn from the last complete depth; when it
    // is not the best one it is reported once more, as the line to play.
    void drawLine(const SearchResult& result) {
        const SkillLines& lines = *skillLines_;
        if (result.bestMove == 0 || lines.count == 0 || lines.moves[0][0] != result.bestMove) return;
        const int chosen = chooseSkillLine(lines, weakness_, *randomSeed_);
        if (chosen == 0) return;
        const Move* line = lines.moves[chosen];
        conversation_.newBestMove(SearchReport{lines.depth, 1, lines.score[chosen], result.statistics.nodes,
                                               result.statistics.elapsed, line});
        answer.move = line[0];
        answer.ponderMove = line[1];
        answer.pv = line;
    }

    void note(PollEvent event) {
        switch (event) {
        case PollPonderHit:
        case PollPonderHitDraw: answer.ponderHit = true; break;
        case PollStop:
        case PollQuit:
            answer.stopped = true;
            stopEvent_ = event;
            break;
        case PollInputEnded: inputGone_ = true; break;
        default: break;
        }
    }

    const GoRequest& request_;
    bool untilStopped_;
    Conversation& conversation_;
    PollEvent stopEvent_ = PollNothing;
    bool inputGone_ = false;
    bool delivered_ = false;
    SkillLines* skillLines_ = nullptr;  // set for a weakened level only
    uint32_t* randomSeed_ = nullptr;
    int drawnLines_ = 0;
    int32_t weakness_ = 0;
    int shownLines_ = 0;
};

}  // namespace

SearchLimits searchLimitsOf(EngineSession& session, const Position& root, const GoRequest& go) {
    SearchLimits limits;
    limits.usePruning = option(session, OptionPruning);
    limits.useKnowledge = option(session, OptionKnowledge);
    limits.randomMask = SelectivityMasks[option(session, OptionSelectivity) & 3];
    limits.randomSeed = &session.randomSeed;
    limits.lines = option(session, OptionMultiPV);
    limits.searchMoves = go.searchMoves;
    limits.searchMoveCount = go.searchMoveCount;
    if (&root == &session.position) {
        limits.bannedMoves = session.banned;
        limits.bannedCount = session.bannedCount;
    }
    limits.pondering = go.ponder;
    limits.drawOffered = go.drawOffered;

    // Every limit the request names applies; where they overlap the tightest wins.
    limits.maxDepth = MaxSearchDepth;
    if (go.depthGiven) limits.maxDepth = static_cast<int32_t>(clamped(go.depth, 0, MaxSearchDepth));
    if (go.mateGiven) limits.maxDepth = static_cast<int32_t>(clamped(2 * clamped(go.mate, 0, MaxSearchDepth) - 1, 1, limits.maxDepth));
    if (go.nodesGiven) {
        limits.kind = LimitNodes;
        limits.nodeLimit = go.nodes > 0 ? go.nodes : 0;
    }
    const int side = root.sideToMove;
    const bool clocked = go.clockGiven[side];
    if (clocked || go.moveTimeGiven) {
        limits.kind = LimitTime;
        const int overhead = option(session, OptionMoveOverhead);
        int64_t normal = NoTimeLimit, maximum = NoTimeLimit;
        if (clocked) {
            const int64_t left = go.clock[side] - overhead;
            const TimeBudget budget = clockBudget(left > 0 ? left : 0, go.movesToGo > 0 ? go.movesToGo : 0,
                                                  go.increment[side] > 0 ? go.increment[side] : 0,
                                                  option(session, OptionPonder));
            normal = budget.normalTime;
            maximum = budget.maxTime;
        }
        if (go.moveTimeGiven) {
            // A fixed time is there to be used: the budget only stops short of it.
            const int64_t fixed = go.moveTime - overhead > 1 ? go.moveTime - overhead : 1;
            if (fixed < maximum) maximum = fixed;
            if (2 * fixed < normal) normal = 2 * fixed;
        }
        limits.normalTime = normal;
        limits.maxTime = maximum;
    }
    limits.stopWhenForced = !go.analysis;
    limits.untilStopped =
        go.infinite || !(clocked || go.moveTimeGiven || go.depthGiven || go.nodesGiven || go.mateGiven);

    const SessionBounds& bounds = session.bounds;
    if (bounds.maxDepth > 0 && limits.maxDepth > bounds.maxDepth) limits.maxDepth = bounds.maxDepth;
    if (bounds.maxNodes > 0) {
        if (limits.kind == LimitDepth) limits.kind = LimitNodes;
        if (limits.nodeLimit == 0 || limits.nodeLimit > bounds.maxNodes) limits.nodeLimit = bounds.maxNodes;
    }
    return limits;
}

GoAnswer runGo(EngineSession& session, const Position& root, const GoRequest& request, Conversation& conversation) {
    SearchLimits limits = searchLimitsOf(session, root, request);
    const int shownLines = limits.lines;
    // Analysis that runs until stopped, and a search for a mate, show the
    // full search at every level: a person reads their lines for the truth.
    const int32_t level = playingLevel(session);
    SkillSetting skill = {};
    if (level < FullStrength && !limits.untilStopped && !request.mateGiven)
        skill = skillSetting(level, session.randomSeed);
    const bool weakened = skill.weakness > 0;
    if (weakened) {
        if (limits.maxDepth > skill.maxDepth) limits.maxDepth = skill.maxDepth;
        if (limits.lines < skill.lines) limits.lines = skill.lines;
    }
    GoReporter reporter(request, limits, conversation);
    if (weakened) reporter.weaken(session, skill, shownLines);
    GoAnswer& answer = reporter.answer;
    if (conversation.rules.noMoveWhenDrawn && isDrawByRule(root)) {
        answer.source = AnswerDrawn;
    } else if (request.mayUseBook && option(session, OptionOwnBook) && limits.bannedCount == 0 &&
               request.searchMoveCount == 0 && shownLines == 1 &&
               (answer.move = static_cast<Move>(probeBook(session.bookPath, root, session.randomSeed))) != 0) {
        answer.source = AnswerBook;
        conversation.bookMove(answer.move);
    } else {
        runSearch(session.engine, root, limits, reporter);
    }
    if (reporter.mustHold()) reporter.hold();
    reporter.deliver();
    return answer;
}
