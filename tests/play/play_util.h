// Helpers for the tests that play the real engine over pipes: the handshake,
// one go with every line up to its answer, and the engine's own rules as the
// judge of a move's legality.
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

namespace play {

using Clock = std::chrono::steady_clock;

inline int64_t millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

inline bool startsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

inline bool isAnswer(const std::string& line) {
    return startsWith(line, "bestmove") || startsWith(line, "nobestmove");
}

// Starts the engine and completes the handshake; the book is switched off so
// that a book file lying beside the binary cannot answer instead of the search.
inline bool startEngine(EngineProcess& engine, const std::string& command = "") {
    if (!engine.start(command)) return false;
    if (!engine.send("ucci") || !engine.waitFor("ucciok")) return false;
    return engine.send("setoption usebook false");
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
    auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count());
        if (left <= 0) return true;
        std::string line;
        if (engine.readLine(line, left) != EngineProcess::LineRead) return true;
        if (seen) seen->push_back(line);
        if (isAnswer(line)) return false;
    }
}

inline GoResult go(EngineProcess& engine, const std::string& goLine, int timeoutMs = 20000) {
    auto start = Clock::now();
    engine.send(goLine);
    return readAnswer(engine, start, timeoutMs);
}

// The move of a "bestmove xxxx ..." line, or "" for nobestmove.
inline std::string bestMoveOf(const std::string& answer) {
    if (!startsWith(answer, "bestmove ") || answer.size() < 13) return "";
    return answer.substr(9, 4);
}

inline int countLines(const std::vector<std::string>& lines, const char* prefix) {
    int count = 0;
    for (const auto& line : lines) count += startsWith(line, prefix) ? 1 : 0;
    return count;
}

struct Statistics {
    bool found = false;
    long long time = 0, nodes = 0, nps = 0, hcut = 0, adptR = 0, fh = 0;
};

inline Statistics statisticsOf(const std::vector<std::string>& lines) {
    static const std::regex format(
        "^info time (\\d+) nodes (\\d+) nps (\\d+) hcut (\\d+) adptR (\\d+) fh (\\d+)$");
    Statistics statistics;
    for (const auto& line : lines) {
        std::smatch match;
        if (!std::regex_match(line, match, format)) continue;
        statistics.found = true;
        statistics.time = std::atoll(match[1].str().c_str());
        statistics.nodes = std::atoll(match[2].str().c_str());
        statistics.nps = std::atoll(match[3].str().c_str());
        statistics.hcut = std::atoll(match[4].str().c_str());
        statistics.adptR = std::atoll(match[5].str().c_str());
        statistics.fh = std::atoll(match[6].str().c_str());
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

// Legal by the engine's own rules: generated in the position and accepted by makeMove.
inline bool isLegalMove(Position& pos, const std::string& text) {
    if (text.size() != 4) return false;
    int move = textToMove(text.c_str());
    if (move == 0) return false;
    MoveEntry entries[MoveListCapacity];
    int total = generateCaptures(pos, entries);
    total += generateQuietMoves(pos, entries + total);
    for (int i = 0; i < total; i++) {
        if (entries[i].move != move) continue;
        if (!pos.makeMove(move)) return false;
        pos.unmakeMove();
        return true;
    }
    return false;
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
