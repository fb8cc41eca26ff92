// Helpers for the tests that drive the real programs over pipes: each
// protocol's handshake, the lines before the reply to a sync command, one go
// with every line up to its answer, and the engine's own rules as the judge
// of a move's legality.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

#include "board/position.h"
#include "common/engine_process.h"
#include "common/positions.h"
#include "movegen/generate.h"
#include "session/session.h"

namespace play {

using Clock = std::chrono::steady_clock;

inline int64_t millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

inline bool startsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

inline bool isAnswer(const std::string& line) {
    return startsWith(line, "bestmove") || startsWith(line, "nobestmove");
}

enum class Protocol { Ucci, Uci, Xboard };
enum BookUse { BookOff, BookOn };

// Starts the program of protocol (command, when given, instead of the built
// one) and completes the handshake a front end makes; seen, when given, gets
// the program's lines up to the end of it. The book is off unless asked for,
// so that a qvr.bin beside the program cannot answer instead of the search.
inline bool startEngine(EngineProcess& engine, Protocol protocol = Protocol::Ucci,
                        std::vector<std::string>* seen = nullptr, std::string command = "", BookUse book = BookOff) {
    struct Handshake {
        std::string (*command)();
        std::vector<const char*> opening;
        const char* done;
        std::vector<const char*> then;
        const char* bookOff;
    };
    static const Handshake handshakes[] = {
        {EngineProcess::engineCommand, {"ucci"}, "ucciok", {}, "setoption usebook false"},
        {EngineProcess::uciCommand, {"uci"}, "uciok", {}, "setoption name OwnBook value false"},
        {EngineProcess::xboardCommand, {"xboard", "protover 2"}, "feature done=1", {"new", "variant xiangqi"},
         "option OwnBook=0"},
    };
    const Handshake& handshake = handshakes[static_cast<int>(protocol)];
    if (!engine.start(command.empty() ? handshake.command() : command)) return false;
    for (const char* line : handshake.opening) engine.send(line);
    if (!engine.waitFor(handshake.done, seen)) return false;
    for (const char* line : handshake.then) engine.send(line);
    return book == BookOn || engine.send(handshake.bookOff);
}

// The next line of the program, or "<no line>" when none came in time.
inline std::string nextLine(EngineProcess& engine, int timeoutMs = 5000) {
    std::string line;
    return engine.readLine(line, timeoutMs) == EngineProcess::LineRead ? line : "<no line>";
}

// Sends sync and returns every line up to its reply, the reply left out:
// what the commands sent before it printed.
inline std::vector<std::string> linesBefore(EngineProcess& engine, const std::string& sync, const std::string& reply,
                                            int timeoutMs = 5000) {
    std::vector<std::string> seen;
    engine.send(sync);
    if (engine.waitFor(reply, &seen, timeoutMs)) {
        seen.pop_back();
    } else {
        ADD_FAILURE() << "no " << reply << " after " << sync;
    }
    return seen;
}

inline std::vector<std::string> linesUntilReady(EngineProcess& engine) {
    return linesBefore(engine, "isready", "readyok");
}

struct GoResult {
    bool answered = false;
    std::vector<std::string> lines;  // every line up to and with the answer
    std::string answer;              // the bestmove or nobestmove line
    int64_t milliseconds = 0;        // from the go line to the answer
};

// Reads until the bestmove or nobestmove line, at most timeoutMs in all.
inline GoResult readAnswer(EngineProcess& engine, Clock::time_point since, int timeoutMs) {
    GoResult result;
    auto deadline = since + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int left = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        std::string line;
        if (left <= 0 || engine.readLine(line, left) != EngineProcess::LineRead) return result;
        result.lines.push_back(line);
        if (isAnswer(line)) {
            result.answered = true;
            result.answer = line;
            result.milliseconds = millisecondsSince(since);
            return result;
        }
    }
}

// Reads for about the given time; false if an answer to go came meanwhile.
inline bool noAnswerFor(EngineProcess& engine, int milliseconds, std::vector<std::string>* seen = nullptr) {
    GoResult result = readAnswer(engine, Clock::now(), milliseconds);
    if (seen != nullptr) seen->insert(seen->end(), result.lines.begin(), result.lines.end());
    return !result.answered;
}

// Sends line (a go, or what ends one) and reads up to the answer, timed from
// the line; no answer in time fails the test.
inline GoResult go(EngineProcess& engine, const std::string& line, int timeoutMs = 20000) {
    auto start = Clock::now();
    engine.send(line);
    GoResult result = readAnswer(engine, start, timeoutMs);
    EXPECT_TRUE(result.answered) << "no answer to " << line;
    return result;
}

// The move of a "bestmove xxxx ..." line, or "" for nobestmove.
inline std::string bestMoveOf(const std::string& answer) {
    if (!startsWith(answer, "bestmove ") || answer.size() < 13) return "";
    return answer.substr(9, 4);
}

// The legal move in pos that answers the go, or 0 for none or an illegal one.
inline int legalAnswer(Position& pos, const GoResult& result) {
    return legalMoveOfText(pos, bestMoveOf(result.answer).c_str());
}

// The line just before the answer: the search's last report.
inline std::string lastReport(const GoResult& result) {
    return result.lines.size() >= 2 ? result.lines[result.lines.size() - 2] : "";
}

inline int countLines(const std::vector<std::string>& lines, const char* prefix) {
    int count = 0;
    for (const auto& line : lines) count += startsWith(line, prefix) ? 1 : 0;
    return count;
}

// The statistics line UCCI prints after a search that ran to its end.
struct Statistics {
    bool found = false;
    long long nodes = 0;
};

inline Statistics statisticsOf(const std::vector<std::string>& lines) {
    static const std::regex format("^info time \\d+ nodes (\\d+) nps \\d+ hcut \\d+ adptR \\d+ fh \\d+$");
    Statistics statistics;
    for (const auto& line : lines) {
        std::smatch match;
        if (!std::regex_match(line, match, format)) continue;
        statistics.found = true;
        statistics.nodes = std::atoll(match[1].str().c_str());
    }
    return statistics;
}

// The position a position command with these moves sets up; moves that the
// engine's rules refuse are reported through the return value.
inline bool playMoves(Position& pos, const char* fen, const std::vector<std::string>& moves) {
    pos.setFromFen(fen);
    for (const auto& move : moves) {
        if (!pos.makeMove(textToMove(move.c_str()))) return false;
    }
    return true;
}

// A copy of a built program in a scratch folder of its own, so that the
// qvr.bin beside it can be anything; returns the copy's path.
inline std::string programCopy(const std::string& folder, const std::string& program) {
    namespace fs = std::filesystem;
    const fs::path directory = fs::path(::testing::TempDir()) / folder;
    fs::remove_all(directory);
    fs::create_directories(directory);
    const fs::path copy = directory / fs::path(program).filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    return copy.string();
}

// Where a program looks for its book.
inline std::string bookBeside(const std::string& program) {
    return (std::filesystem::path(program).parent_path() / "qvr.bin").string();
}

inline std::string joinMoves(const std::vector<std::string>& moves) {
    std::string text;
    for (const auto& move : moves) text += " " + move;
    return text;
}

}  // namespace play
