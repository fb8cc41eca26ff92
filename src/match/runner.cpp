// The match loop: one thread, one poll() over every engine's pipes. Each game
// slot holds one process per engine; a game there goes from a sync (new game,
// readyok or pong) through turns to a finish that records it. Every wait has
// a deadline that the loop checks on each wake, so an engine that stops
// answering, floods its output or dies costs its game, never the match.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <poll.h>
#include <sys/resource.h>

#include "io/line_input.h"
#include "match/match.h"
#include "match/openings.h"
#include "match/pgn.h"
#include "match/process.h"
#include "match/protocol.h"
#include "match/results.h"
#include "match/stats.h"
#include "movegen/generate.h"

namespace {

constexpr int HandshakeTimeoutMs = 10000;  // uciok, ucciok, feature done=1
constexpr int CecpFeatureWaitMs = 2000;    // a CECP engine that never says done=0 is done by then
constexpr int SyncTimeoutMs = 5000;        // readyok or pong before a game
constexpr int QuitGraceMs = 1000;          // after quit, before a kill
// A move without a clock (depth=, nodes=) is still awaited no longer than this.
constexpr int64_t UnclockedMoveTimeoutMs = 300000;
constexpr int MaxPollWaitMs = 1000;
constexpr size_t ReadChunkBytes = 65536;
// Reads per engine and wake: a flooding engine cannot starve the others.
constexpr int ReadsPerWake = 4;
// An engine line longer than this is dropped whole.
constexpr size_t MaxLineBytes = LineBufferSize - 1;
// Commands queued for an engine that does not read them; past this it is taken for dead.
constexpr size_t MaxQueuedBytes = 1 << 20;
// A mate as a score in centipawns, for adjudication.
constexpr int32_t MateCentipawns = 100000;

volatile sig_atomic_t StopRequested = 0;

void onSignal(int) { StopRequested = 1; }

enum LinkState {
    LinkDown,
    LinkHandshake,
    LinkSyncing,
    LinkIdle,
    LinkThinking,
    LinkPondering,
    LinkPonderMiss,  // stopped a ponder search on another move; its answer is discarded, then go
    LinkStopping,    // the game is over; an answer still coming is discarded
};

struct Slot;

struct Link {
    Slot* owner;
    const EngineSettings* settings;
    int engine;  // 0 first, 1 second
    ChildProcess process;
    LinkState state;
    EngineTraits traits;
    std::string input, output;
    int discarding;  // inside a line longer than MaxLineBytes
    int64_t startedMs;
    int64_t deadlineMs;  // of the handshake or the sync
    int doneZero;        // CECP: feature done=0 seen
    int64_t ping;
    // CECP: playing a side (after go), and the plies of the game it knows
    int playing;
    int sentPlies;
    // the last thinking line of the current move
    EngineEvent thought;
    Move ponderMove;
    int failed;  // could not be started again
};

struct Slot {
    Link links[2];
    int active;    // a game is assigned
    int started;   // its moves have begun
    int gameIndex;
    int redLink;
    const Opening* opening;
    GameRecord game;
    std::vector<PlayedMove> moves;
    int64_t clockMs[2];  // by link
    int32_t movesMade[2];
    int64_t turnStartUs;
    int64_t turnDeadlineMs;
    int redLosingPlies, blackLosingPlies, drawnPlies;
};

struct Runner {
    const MatchConfig& config;
    MatchReport& report;
    std::vector<Opening> openings;
    std::vector<int> schedule;  // the games of this shard, in order
    size_t nextGame = 0;
    std::vector<std::unique_ptr<Slot>> slots;
    FILE* pgn = nullptr;
    int fatal = 0;
    int64_t wakeUs = 0;      // when the last poll() returned
    int64_t lastSendUs = 0;  // when the last command began to be written
    int64_t startMs = nowMs();

    Runner(const MatchConfig& c, MatchReport& r) : config(c), report(r) {}

    // ---- talking to an engine ----------------------------------------------

    // Milliseconds since the match began, the engine (A first, B second) and its slot.
    void debugLine(const Link& link, const char* direction, const std::string& line) {
        if (!config.debug) return;
        int slot = 0;
        while (slots[slot].get() != link.owner) slot++;
        std::fprintf(stderr, "%lld %c%d %s %s\n", static_cast<long long>(nowMs() - startMs), link.engine ? 'B' : 'A',
                     slot + 1, direction, line.c_str());
    }

    Slot& slotOf(const Link& link) { return *link.owner; }

    void flush(Link& link) {
        while (!link.output.empty()) {
            long written = writeSome(link.process, link.output.data(), link.output.size());
            if (written <= 0) break;
            link.output.erase(0, static_cast<size_t>(written));
        }
    }

    void send(Link& link, const std::string& lines) {
        if (link.process.pid <= 0) return;
        if (config.debug) {
            size_t start = 0;
            while (start < lines.size()) {
                size_t end = lines.find('\n', start);
                debugLine(link, ">", lines.substr(start, end - start));
                start = end == std::string::npos ? lines.size() : end + 1;
            }
        }
        link.output += lines;
        lastSendUs = nowUs();
        flush(link);
        if (link.output.size() > MaxQueuedBytes) engineGone(link, "does not read its input");
    }

    std::string moveText(const Link& link, Move move) const { return engineTextOfMove(move, link.settings->ranksFromOne); }

    // ---- starting and restarting --------------------------------------------

    int startLink(Link& link) {
        link.input.clear();
        link.output.clear();
        link.discarding = 0;
        link.traits = EngineTraits{};
        link.doneZero = 0;
        link.playing = 0;
        const EngineSettings& settings = *link.settings;
        if (!startProcess(link.process, settings.command, settings.arguments, settings.directory)) {
            std::fprintf(stderr, "quorvel-match: cannot start %s\n", settings.command.c_str());
            link.state = LinkDown;
            return 0;
        }
        link.state = LinkHandshake;
        link.startedMs = nowMs();
        link.deadlineMs = link.startedMs + HandshakeTimeoutMs;
        static const char* const Hello[] = {"ucci\n", "uci\n", "xboard\nprotover 2\n"};
        send(link, Hello[settings.protocol]);
        return 1;
    }

    void configure(Link& link) {
        const EngineSettings& settings = *link.settings;
        std::string lines;
        if (settings.protocol == ProtocolUci) {
            if (link.traits.variantOption) lines += "setoption name UCI_Variant value xiangqi\n";
            if (settings.ponder) lines += "setoption name Ponder value true\n";
            for (const auto& option : settings.options)
                lines += "setoption name " + option.first + " value " + option.second + "\n";
        } else if (settings.protocol == ProtocolUcci) {
            if (link.traits.millisec) lines += "setoption usemillisec true\n";
            if (settings.ponder) lines += "setoption ponder true\n";
            for (const auto& option : settings.options)  // UCCI calls the table size hashsize
                lines += "setoption " + (option.first == "Hash" ? std::string("hashsize") : option.first) + " " +
                         option.second + "\n";
        } else {
            for (const auto& option : settings.options)
                lines += option.first == "Hash" ? "memory " + option.second + "\n"
                                                : "option " + option.first + "=" + option.second + "\n";
        }
        send(link, lines);
        if (link.state == LinkHandshake) link.state = LinkIdle;
    }

    void restartLink(Link& link) {
        stopProcess(link.process, 0);
        link.state = LinkDown;
        if (!startLink(link)) link.failed = 1;
    }

    // ---- game start ---------------------------------------------------------

    std::string positionCommand(const Slot& slot, const Link& link, int extraPlies, const Move* extra) const {
        std::string line = slot.opening->fen.empty() ? "position startpos" : "position fen " + slot.opening->fen;
        if (slot.game.plyCount + extraPlies > 0) line += " moves";
        for (int ply = 0; ply < slot.game.plyCount; ply++) line += " " + moveText(link, slot.game.moves[ply]);
        for (int n = 0; n < extraPlies; n++) line += " " + moveText(link, extra[n]);
        return line + "\n";
    }

    std::string cecpMove(const Link& link, Move move) const {
        return (link.traits.usermove ? "usermove " : "") + moveText(link, move) + "\n";
    }

    void sync(Slot& slot, Link& link) {
        if (link.state == LinkDown) {
            if (!startLink(link)) link.failed = 1;
            return;  // the handshake's end comes back here
        }
        if (link.state == LinkHandshake) return;
        const EngineSettings& settings = *link.settings;
        std::string lines;
        if (settings.protocol == ProtocolUci) {
            lines = "ucinewgame\nisready\n";
        } else if (settings.protocol == ProtocolUcci) {
            lines = "setoption newgame\nisready\n";
        } else {
            if (!slot.opening->fen.empty() && !link.traits.setboard) {
                std::fprintf(stderr,
                             "quorvel-match: %s cannot start from a FEN (it has no setboard); give it openings as "
                             "moves from the start position (a PGN file without FEN tags)\n",
                             settings.command.c_str());
                fatal = 1;
                return;
            }
            const TimeControl& limits = settings.limits;
            lines = "new\nvariant xiangqi\nforce\n";
            if (!slot.opening->fen.empty()) lines += "setboard " + slot.opening->fen + "\n";
            if (limits.baseMs > 0) {
                char level[96];
                int64_t seconds = limits.baseMs / 1000;
                std::snprintf(level, sizeof level, "level %d %lld:%02lld %g\n", limits.movesPerPeriod,
                              static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60),
                              limits.incrementMs / 1000.0);
                lines += level;
            }
            if (limits.moveTimeMs > 0) lines += "st " + std::to_string(limits.moveTimeMs / 1000) + "\n";
            if (limits.depth > 0) lines += "sd " + std::to_string(limits.depth) + "\n";
            lines += "post\n";
            lines += settings.ponder ? "hard\n" : "easy\n";
            link.playing = 0;
            link.sentPlies = 0;
            if (!link.traits.ping) {
                send(link, lines);
                link.state = LinkIdle;
                return;
            }
            lines += "ping " + std::to_string(++link.ping) + "\n";
        }
        link.state = LinkSyncing;
        link.deadlineMs = nowMs() + SyncTimeoutMs;
        send(link, lines);
    }

    void assignGame(Slot& slot, int gameIndex) {
        slot.active = 1;
        slot.started = 0;
        slot.gameIndex = gameIndex;
        slot.redLink = gameIndex % 2;  // the first engine is red in the first game of a pair
        size_t count = openings.size();
        slot.opening = &openings[(config.repeat ? static_cast<size_t>(gameIndex / 2) : static_cast<size_t>(gameIndex)) % count];
        startGame(slot.game, slot.opening->fen.empty() ? nullptr : slot.opening->fen.c_str(), config.rules);
        slot.moves.clear();
        for (Move move : slot.opening->moves) {
            playGameMove(slot.game, move);
            slot.moves.push_back(PlayedMove{move, 1, 0, 0, 0, 0, 0});
        }
        for (Link& link : slot.links) {
            link.failed = 0;
            sync(slot, link);
        }
    }

    void beginIfReady(Slot& slot) {
        if (!slot.active || slot.started) return;
        for (int n = 0; n < 2; n++) {
            Link& link = slot.links[n];
            if (link.failed) {
                endGame(slot, n, "crash", "could not be started again");
                return;
            }
            if (link.state != LinkIdle) return;
        }
        slot.started = 1;
        for (int n = 0; n < 2; n++) {
            slot.clockMs[n] = slot.links[n].settings->limits.baseMs;
            slot.movesMade[n] = 0;
        }
        slot.redLosingPlies = slot.blackLosingPlies = slot.drawnPlies = 0;
        startTurn(slot);
    }

    // ---- turns ---------------------------------------------------------------

    int linkToMove(const Slot& slot) const {
        return slot.game.position.sideToMove == 0 ? slot.redLink : 1 - slot.redLink;
    }

    std::string goCommand(const Slot& slot, const Link& link, int ponder) {
        const EngineSettings& settings = *link.settings;
        const TimeControl& limits = settings.limits;
        int me = &link == &slot.links[0] ? 0 : 1;
        // A clock run past zero but within the margin is told as empty.
        int64_t own = std::max<int64_t>(slot.clockMs[me], 0), other = std::max<int64_t>(slot.clockMs[1 - me], 0);
        int64_t ownIncrement = limits.incrementMs, otherIncrement = slot.links[1 - me].settings->limits.incrementMs;
        int movesToGo = limits.movesPerPeriod > 0 ? limits.movesPerPeriod - slot.movesMade[me] % limits.movesPerPeriod : 0;
        std::string go = ponder ? "go ponder" : "go";
        char text[256];
        if (settings.protocol == ProtocolUci) {
            int meRed = me == slot.redLink;
            if (limits.baseMs > 0) {
                std::snprintf(text, sizeof text, " wtime %lld btime %lld winc %lld binc %lld",
                              static_cast<long long>(meRed ? own : other), static_cast<long long>(meRed ? other : own),
                              static_cast<long long>(meRed ? ownIncrement : otherIncrement),
                              static_cast<long long>(meRed ? otherIncrement : ownIncrement));
                go += text;
                if (movesToGo > 0) go += " movestogo " + std::to_string(movesToGo);
            }
            if (limits.moveTimeMs > 0) go += " movetime " + std::to_string(limits.moveTimeMs);
            if (limits.depth > 0) go += " depth " + std::to_string(limits.depth);
            if (limits.nodes > 0) go += " nodes " + std::to_string(limits.nodes);
            return go + "\n";
        }
        // UCCI takes one limit: the clock before a depth before nodes.
        int64_t unit = link.traits.millisec ? 1 : 1000;
        if (limits.baseMs > 0) {
            if (movesToGo > 0)
                std::snprintf(text, sizeof text, " time %lld movestogo %d opptime %lld", static_cast<long long>(own / unit),
                              movesToGo, static_cast<long long>(other / unit));
            else
                std::snprintf(text, sizeof text, " time %lld increment %lld opptime %lld oppincrement %lld",
                              static_cast<long long>(own / unit), static_cast<long long>(ownIncrement / unit),
                              static_cast<long long>(other / unit), static_cast<long long>(otherIncrement / unit));
            go += text;
        } else if (limits.moveTimeMs > 0) {
            go += " time " + std::to_string(limits.moveTimeMs / unit) + " movestogo 1";
        } else if (limits.depth > 0) {
            go += " depth " + std::to_string(limits.depth);
        } else {
            go += " nodes " + std::to_string(limits.nodes);
        }
        return go + "\n";
    }

    void startTurn(Slot& slot) {
        int me = linkToMove(slot);
        Link& link = slot.links[me];
        const EngineSettings& settings = *link.settings;
        const TimeControl& limits = settings.limits;
        link.thought = EngineEvent{};
        slot.turnStartUs = nowUs();
        int64_t allowed = limits.baseMs > 0       ? slot.clockMs[me] + settings.timeMarginMs
                          : limits.moveTimeMs > 0 ? limits.moveTimeMs + settings.timeMarginMs
                                                  : UnclockedMoveTimeoutMs;
        slot.turnDeadlineMs = slot.turnStartUs / 1000 + allowed;
        if (settings.protocol == ProtocolXboard) {
            char clocks[96];
            std::snprintf(clocks, sizeof clocks, "time %lld\notim %lld\n",
                          static_cast<long long>(std::max<int64_t>(slot.clockMs[me], 0) / 10),
                          static_cast<long long>(std::max<int64_t>(slot.clockMs[1 - me], 0) / 10));
            std::string lines;
            if (!link.playing) {
                for (int ply = link.sentPlies; ply < slot.game.plyCount; ply++) lines += cecpMove(link, slot.game.moves[ply]);
                lines += clocks;
                lines += "go\n";
                link.playing = 1;
            } else {
                lines += clocks;
                for (int ply = link.sentPlies; ply < slot.game.plyCount; ply++) lines += cecpMove(link, slot.game.moves[ply]);
            }
            link.sentPlies = slot.game.plyCount;
            link.state = LinkThinking;
            send(link, lines);
            return;
        }
        if (link.state == LinkPondering) {
            Move last = slot.game.plyCount > 0 ? slot.game.moves[slot.game.plyCount - 1] : 0;
            if (last == link.ponderMove) {
                link.state = LinkThinking;
                send(link, "ponderhit\n");
            } else {
                link.state = LinkPonderMiss;
                send(link, "stop\n");
            }
            return;
        }
        link.state = LinkThinking;
        send(link, positionCommand(slot, link, 0, nullptr) + goCommand(slot, link, 0));
    }

    void startPondering(Slot& slot, Link& link, Move ponder) {
        Move legal[MoveListCapacity];
        int count = legalMoves(slot.game.position, legal);
        int found = 0;
        for (int n = 0; n < count; n++) found |= legal[n] == ponder;
        if (!found) return;
        link.ponderMove = ponder;
        link.state = LinkPondering;
        send(link, positionCommand(slot, link, 1, &ponder) + goCommand(slot, link, 1));
    }

    // Adjudication after a move with its score: the streaks count plies, so
    // N moves of each engine are 2N plies in a row.
    int adjudicate(Slot& slot, const PlayedMove& played, int moverIsRed) {
        const Adjudication& rule = config.adjudication;
        if (!played.hasScore) {
            slot.redLosingPlies = slot.blackLosingPlies = slot.drawnPlies = 0;
        } else {
            int64_t score = played.mateIn > 0   ? MateCentipawns - played.mateIn
                            : played.mateIn < 0 ? -MateCentipawns - played.mateIn
                                                : played.scoreCp;
            int64_t red = moverIsRed ? score : -score;
            slot.redLosingPlies = red <= -rule.resignScore ? slot.redLosingPlies + 1 : 0;
            slot.blackLosingPlies = red >= rule.resignScore ? slot.blackLosingPlies + 1 : 0;
            int moveNumber = slot.game.plyCount / 2 + 1;
            int quiet = moveNumber >= rule.drawMoveNumber && red <= rule.drawScore && red >= -rule.drawScore;
            slot.drawnPlies = quiet ? slot.drawnPlies + 1 : 0;
        }
        if (rule.resignMoveCount > 0 && slot.redLosingPlies >= 2 * rule.resignMoveCount) return BlackWins;
        if (rule.resignMoveCount > 0 && slot.blackLosingPlies >= 2 * rule.resignMoveCount) return RedWins;
        if (rule.drawMoveCount > 0 && slot.drawnPlies >= 2 * rule.drawMoveCount) return GameDrawn;
        int maxPlies = rule.maxPlies > 0 && rule.maxPlies < MaxGamePlies ? rule.maxPlies : MaxGamePlies;
        if (slot.game.plyCount >= maxPlies) return GameDrawn;
        return GameOngoing;
    }

    void onMove(Slot& slot, Link& link, const EngineEvent& event) {
        int me = &link == &slot.links[0] ? 0 : 1;
        const EngineSettings& settings = *link.settings;
        const TimeControl& limits = settings.limits;
        int64_t elapsedMs = (wakeUs - slot.turnStartUs + 500) / 1000;
        if (elapsedMs < 0) elapsedMs = 0;
        if ((limits.baseMs > 0 && elapsedMs > slot.clockMs[me] + settings.timeMarginMs) ||
            (limits.moveTimeMs > 0 && elapsedMs > limits.moveTimeMs + settings.timeMarginMs)) {
            link.state = LinkIdle;
            char detail[96];
            std::snprintf(detail, sizeof detail, "answered after %lld ms with %lld ms on its clock",
                          static_cast<long long>(elapsedMs),
                          static_cast<long long>(limits.baseMs > 0 ? slot.clockMs[me] : limits.moveTimeMs));
            endGame(slot, me, "time forfeit", detail);
            return;
        }
        link.state = LinkIdle;
        if (event.resigns) {
            endGame(slot, me, "resignation", "resigned");
            return;
        }
        Move move = moveOfEngineText(event.move, settings.ranksFromOne);
        if (move == 0 || !playGameMove(slot.game, move)) {
            endGame(slot, me, "illegal move", ("played " + event.move).c_str());
            return;
        }
        if (limits.baseMs > 0) {
            slot.clockMs[me] += limits.incrementMs - elapsedMs;
            slot.movesMade[me]++;
            if (limits.movesPerPeriod > 0 && slot.movesMade[me] % limits.movesPerPeriod == 0) slot.clockMs[me] += limits.baseMs;
        }
        const EngineEvent& thought = link.thought;
        PlayedMove played{move, 0, thought.kind == EventScore, thought.scoreCp, thought.mateIn, thought.depth, elapsedMs};
        slot.moves.push_back(played);
        link.sentPlies = slot.game.plyCount;

        GameVerdict verdict = judgeGame(slot.game);
        if (verdict.outcome != GameOngoing) {
            finishGame(slot, verdict.outcome, gameEndName(verdict.reason));
            return;
        }
        int adjudged = adjudicate(slot, played, me == slot.redLink);
        if (adjudged != GameOngoing) {
            finishGame(slot, static_cast<GameOutcome>(adjudged), "adjudication");
            return;
        }
        if (settings.ponder && settings.protocol != ProtocolXboard && !event.ponder.empty()) {
            Move ponder = moveOfEngineText(event.ponder, settings.ranksFromOne);
            if (ponder != 0) startPondering(slot, link, ponder);
        }
        startTurn(slot);
        int64_t latency = lastSendUs - wakeUs;
        report.latencyMoves++;
        report.latencySumUs += latency;
        if (latency > report.latencyMaxUs) report.latencyMaxUs = latency;
        report.latencyOverMs += latency > 1000;
    }

    // ---- the end of a game ----------------------------------------------------

    // The engine of link index loser lost for reason.
    void endGame(Slot& slot, int loser, const char* termination, const char* detail) {
        if (detail != nullptr && detail[0] != '\0')
            std::fprintf(stderr, "quorvel-match: game %d: %s %s (%s)\n", slot.gameIndex + 1,
                         report.names[slot.links[loser].engine].c_str(), detail, termination);
        finishGame(slot, loser == slot.redLink ? BlackWins : RedWins, termination);
    }

    void finishGame(Slot& slot, GameOutcome outcome, const char* termination) {
        slot.active = 0;
        for (Link& link : slot.links) {
            if (link.state == LinkThinking || link.state == LinkPondering || link.state == LinkPonderMiss) {
                if (link.settings->protocol != ProtocolXboard) {
                    send(link, "stop\n");
                    link.state = LinkStopping;
                }
            }
            if (link.settings->protocol == ProtocolXboard && link.process.pid > 0) {
                send(link, std::string("result ") + outcomeText(outcome) + " {" + termination + "}\nforce\n");
                link.state = LinkIdle;
            }
        }
        GameResult result{slot.gameIndex, slot.redLink == 0, outcome, termination};
        report.games.push_back(result);

        if (pgn != nullptr) {
            PgnGame record;
            record.event = config.event;
            std::time_t now = std::time(nullptr);
            char date[16];
            std::strftime(date, sizeof date, "%Y.%m.%d", std::localtime(&now));
            record.date = date;
            record.round = slot.gameIndex + 1;
            record.red = report.names[slot.redLink];
            record.black = report.names[1 - slot.redLink];
            record.fen = slot.opening->fen;
            record.redTimeControl = timeControlText(slot.links[slot.redLink].settings->limits);
            record.blackTimeControl = timeControlText(slot.links[1 - slot.redLink].settings->limits);
            record.result = outcomeText(outcome);
            record.termination = termination;
            record.moves = slot.moves;
            std::string text = formatPgn(record, config.pgnNotation);
            std::fwrite(text.data(), 1, text.size(), pgn);
            std::fflush(pgn);
        }
        if (!config.resultsFile.empty() && !writeResults(config.resultsFile, config, report))
            std::fprintf(stderr, "quorvel-match: cannot write %s\n", config.resultsFile.c_str());
        MatchTally tally = tallyGames(report.games);
        if (!config.quiet) {
            std::printf("Game %d/%d %s - %s %s %s | %s\n", slot.gameIndex + 1, config.games * config.rounds,
                        report.names[slot.redLink].c_str(), report.names[1 - slot.redLink].c_str(), outcomeText(outcome),
                        termination, statisticsLine(tally, config.sprt).c_str());
            std::fflush(stdout);
        }
        // A shard does not stop by itself: the decision belongs to the merged results.
        if (config.sprt.enabled && config.shardCount == 1) {
            double llr = sprtLlr(tally, config.sprt);
            if (llr >= sprtUpperBound(config.sprt) || llr <= sprtLowerBound(config.sprt)) report.sprtStopped = 1;
        }
    }

    // ---- engine lines and failures --------------------------------------------

    void engineGone(Link& link, const char* why) {
        Slot& slot = slotOf(link);
        std::fprintf(stderr, "quorvel-match: %s %s\n", report.names[link.engine].empty() ? link.settings->command.c_str()
                                                                                          : report.names[link.engine].c_str(),
                     why);
        stopProcess(link.process, 0);
        LinkState was = link.state;
        link.state = LinkDown;
        if (slot.active && slot.started)
            endGame(slot, &link == &slot.links[0] ? 0 : 1, "crash", nullptr);
        else if (slot.active && (was == LinkHandshake || was == LinkSyncing))
            link.failed = 1;  // one restart per game: an engine that dies starting loses it
        else if (slot.active)
            sync(slot, link);
    }

    void onHandshake(Link& link) {
        configure(link);
        Slot& slot = slotOf(link);
        if (slot.active && !slot.started) sync(slot, link);
    }

    void onLine(Link& link, const std::string& line) {
        debugLine(link, "<", line);
        EngineEvent event;
        readEngineLine(link.settings->protocol, line.c_str(), event, link.traits);
        Slot& slot = slotOf(link);
        int me = &link == &slot.links[0] ? 0 : 1;
        switch (link.state) {
            case LinkHandshake:
                if (event.kind == EventHandshake) onHandshake(link);
                if (line.find("done=0") != std::string::npos) link.doneZero = 1;
                return;
            case LinkSyncing:
                if (event.kind == EventReady && (link.settings->protocol != ProtocolXboard || event.value == link.ping)) {
                    link.state = LinkIdle;
                    beginIfReady(slot);
                }
                return;
            case LinkStopping:
                if (event.kind == EventMove || event.kind == EventNoMove) link.state = LinkIdle;
                return;
            case LinkPonderMiss:
                if (event.kind == EventMove || event.kind == EventNoMove) {
                    link.state = LinkThinking;
                    send(link, positionCommand(slot, link, 0, nullptr) + goCommand(slot, link, 0));
                }
                return;
            case LinkThinking:
                if (!slot.active || linkToMove(slot) != me) return;
                if (event.kind == EventScore) {
                    link.thought = event;
                } else if (event.kind == EventMove) {
                    onMove(slot, link, event);
                } else if (event.kind == EventNoMove) {
                    link.state = LinkIdle;
                    endGame(slot, me, "illegal move", "answered without a move");
                } else if (event.kind == EventResign) {
                    endGame(slot, me, "resignation", "resigned");
                } else if (event.kind == EventRefusal) {
                    endGame(slot, me, "illegal move", ("refused a legal move: " + line).c_str());
                }
                return;
            default:
                if (slot.active && slot.started && link.settings->protocol == ProtocolXboard) {
                    if (event.kind == EventResign) endGame(slot, me, "resignation", "resigned");
                    else if (event.kind == EventRefusal) endGame(slot, me, "illegal move", ("refused a legal move: " + line).c_str());
                    else if (event.kind == EventMove) endGame(slot, me, "illegal move", "moved out of turn");
                }
                return;
        }
    }

    void readLink(Link& link) {
        char chunk[ReadChunkBytes];
        for (int round = 0; round < ReadsPerWake && link.process.pid > 0; round++) {
            long got = readSome(link.process, chunk, sizeof chunk);
            if (got < 0) return;
            if (got == 0) {
                engineGone(link, "ended");
                return;
            }
            for (long n = 0; n < got && link.process.pid > 0; n++) {
                char c = chunk[n];
                if (c == '\n') {
                    if (!link.input.empty() && link.input.back() == '\r') link.input.pop_back();
                    if (!link.discarding) onLine(link, link.input);
                    link.input.clear();
                    link.discarding = 0;
                } else if (!link.discarding) {
                    link.input += c;
                    if (link.input.size() > MaxLineBytes) {
                        link.input.clear();
                        link.discarding = 1;
                    }
                }
            }
        }
    }

    void checkDeadlines(int64_t now) {
        for (auto& owned : slots) {
            Slot& slot = *owned;
            for (Link& link : slot.links) {
                if (link.state == LinkHandshake) {
                    int cecpDone = link.settings->protocol == ProtocolXboard && !link.doneZero &&
                                   now >= link.startedMs + CecpFeatureWaitMs;
                    if (cecpDone) onHandshake(link);
                    else if (now >= link.deadlineMs) engineGone(link, "did not finish its handshake");
                } else if (link.state == LinkSyncing && now >= link.deadlineMs) {
                    std::fprintf(stderr, "quorvel-match: %s did not answer before a game; restarting it\n",
                                 report.names[link.engine].c_str());
                    restartLink(link);
                }
            }
            if (slot.active && slot.started && now >= slot.turnDeadlineMs) {
                int me = linkToMove(slot);
                char detail[96];
                std::snprintf(detail, sizeof detail, "did not answer in %lld ms",
                              static_cast<long long>(now - slot.turnStartUs / 1000));
                endGame(slot, me, "time forfeit", detail);
            }
        }
    }

    int64_t nextDeadline() const {
        int64_t next = nowMs() + MaxPollWaitMs;
        for (const auto& owned : slots) {
            const Slot& slot = *owned;
            for (const Link& link : slot.links) {
                if (link.state == LinkHandshake || link.state == LinkSyncing) next = std::min(next, link.deadlineMs);
                if (link.state == LinkHandshake && link.settings->protocol == ProtocolXboard)
                    next = std::min(next, link.startedMs + CecpFeatureWaitMs);
            }
            if (slot.active && slot.started) next = std::min(next, slot.turnDeadlineMs);
        }
        return next;
    }

    void pollOnce() {
        std::vector<pollfd> fds;
        std::vector<Link*> owners;
        for (auto& slot : slots)
            for (Link& link : slot->links) {
                if (link.process.pid <= 0) continue;
                fds.push_back(pollfd{link.process.output, POLLIN, 0});
                owners.push_back(&link);
                if (!link.output.empty()) {
                    fds.push_back(pollfd{link.process.input, POLLOUT, 0});
                    owners.push_back(&link);
                }
            }
        int64_t wait = nextDeadline() - nowMs();
        if (wait < 0) wait = 0;
        int ready = poll(fds.data(), fds.size(), static_cast<int>(wait) + 1);
        wakeUs = nowUs();
        if (ready > 0) {
            for (size_t n = 0; n < fds.size(); n++) {
                Link& link = *owners[n];
                if (fds[n].revents == 0 || link.process.pid <= 0) continue;
                if (fds[n].events == POLLOUT) {
                    if (fds[n].revents & (POLLERR | POLLHUP)) link.output.clear();
                    else flush(link);
                } else if (fds[n].fd == link.process.output) {
                    readLink(link);
                }
            }
        }
        checkDeadlines(nowMs());
    }

    // ---- the match --------------------------------------------------------------

    int waitForStart() {
        // Every engine's handshake, before any game: a command that fails
        // here is the user's to mend, not a game to forfeit.
        for (;;) {
            int waiting = 0;
            for (auto& slot : slots)
                for (Link& link : slot->links) {
                    if (link.state == LinkDown) return 0;
                    waiting += link.state == LinkHandshake;
                }
            if (waiting == 0 || StopRequested) return !StopRequested;
            pollOnce();
        }
    }

    int play() {
        int total = config.games * config.rounds;
        for (int game = 0; game < total; game++)
            if ((game / 2) % config.shardCount == config.shardIndex) schedule.push_back(game);
        size_t slotCount = std::min<size_t>(static_cast<size_t>(config.concurrency), schedule.size());
        if (slotCount == 0) slotCount = 1;
        for (size_t n = 0; n < slotCount; n++) {
            slots.emplace_back(new Slot{});
            for (int e = 0; e < 2; e++) {
                Link& link = slots.back()->links[e];
                link.owner = slots.back().get();
                link.settings = &config.engines[e];
                link.engine = e;
                link.process = ChildProcess{-1, -1, -1};
                link.state = LinkDown;
            }
        }
        for (auto& slot : slots)
            for (Link& link : slot->links)
                if (!startLink(link)) return 2;
        if (!waitForStart()) {
            std::fprintf(stderr, "quorvel-match: an engine did not start\n");
            return 2;
        }
        for (int e = 0; e < 2; e++) {
            const EngineSettings& settings = config.engines[e];
            const std::string& told = slots[0]->links[e].traits.name;
            report.names[e] = !settings.name.empty() ? settings.name : !told.empty() ? told : settings.command;
        }
        if (report.names[0] == report.names[1]) {
            report.names[0] += " (1)";
            report.names[1] += " (2)";
        }
        for (;;) {
            for (auto& slot : slots) {
                if (!slot->active && nextGame < schedule.size() && !report.sprtStopped && !StopRequested && !fatal)
                    assignGame(*slot, schedule[nextGame++]);
                beginIfReady(*slot);
            }
            int busy = 0;
            for (auto& slot : slots) busy += slot->active;
            if (fatal || StopRequested || report.sprtStopped || (busy == 0 && nextGame >= schedule.size())) break;
            pollOnce();
        }
        return fatal ? 2 : StopRequested ? 1 : 0;
    }

    void quitAll() {
        std::vector<ChildProcess*> children;
        for (auto& slot : slots)
            for (Link& link : slot->links) {
                if (link.process.pid <= 0) continue;
                if (link.state == LinkThinking || link.state == LinkPondering || link.state == LinkPonderMiss)
                    send(link, link.settings->protocol == ProtocolXboard ? "force\n" : "stop\n");
                send(link, "quit\n");
                children.push_back(&link.process);
            }
        stopProcesses(children.data(), static_cast<int>(children.size()), QuitGraceMs);
    }
};

}  // namespace

int runMatch(const MatchConfig& config, MatchReport& report) {
    report = MatchReport{};
    std::signal(SIGPIPE, SIG_IGN);
    StopRequested = 0;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    Runner runner(config, report);
    if (!config.openings.file.empty()) {
        std::string error;
        if (!loadOpenings(config.openings, config.rules, runner.openings, error)) {
            std::fprintf(stderr, "quorvel-match: %s\n", error.c_str());
            return 2;
        }
        if (config.openings.random) shuffleOpenings(runner.openings, config.seed);
    } else {
        runner.openings.push_back(Opening{});
    }
    if (!config.pgnFile.empty()) {
        runner.pgn = std::fopen(config.pgnFile.c_str(), "a");
        if (runner.pgn == nullptr) {
            std::fprintf(stderr, "quorvel-match: cannot write %s\n", config.pgnFile.c_str());
            return 2;
        }
    }
    int status = runner.play();
    runner.quitAll();
    if (runner.pgn != nullptr) std::fclose(runner.pgn);
    if (status == 2) return 2;

    MatchTally tally = tallyGames(report.games);
    if (!config.quiet) {
        printSummary("Score of " + report.names[0] + " vs " + report.names[1], tally, config.sprt);
        rusage own;
        getrusage(RUSAGE_SELF, &own);
        std::printf("Runner CPU time: %.3f s\n", own.ru_utime.tv_sec + own.ru_stime.tv_sec +
                                                       (own.ru_utime.tv_usec + own.ru_stime.tv_usec) / 1e6);
        if (report.latencyMoves > 0)
            std::printf("Runner latency: %lld moves, mean %.3f ms, max %.3f ms, %lld over 1 ms (from the wake on an "
                        "answer to the write of the next command)\n",
                        static_cast<long long>(report.latencyMoves),
                        report.latencySumUs / 1000.0 / static_cast<double>(report.latencyMoves),
                        report.latencyMaxUs / 1000.0, static_cast<long long>(report.latencyOverMs));
        std::fflush(stdout);
    }
    return status;
}
