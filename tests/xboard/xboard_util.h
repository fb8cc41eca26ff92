// quorvel-xboard over pipes as XBoard drives it: the handshake, the lines up
// to a pong, the engine's next move, and the position a test keeps beside
// the engine to judge the moves it plays.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "play/play_util.h"

namespace xboard {

using namespace play;

// The start position as XBoard writes it: H for the horse, E for the elephant.
constexpr const char* XboardStartFen = "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR w 0 1";

class Xboard : public ::testing::Test {
protected:
    EngineProcess engine;
    std::vector<std::string> features;
    Position board;  // the game as the test has played it
    int pings = 0;

    void SetUp() override {
        ASSERT_TRUE(startEngine(engine, Protocol::Xboard, &features));
        engine.send("post");
        board.setFromFen(StartFen);
    }

    // Every line the commands sent so far printed, up to the pong of a new ping.
    std::vector<std::string> untilPong(int timeoutMs = 5000) {
        const std::string number = std::to_string(++pings);
        return linesBefore(engine, "ping " + number, "pong " + number, timeoutMs);
    }

    // The engine's next move, checked against the test's board and made there;
    // "" when none came in time.
    std::string nextMove(std::vector<std::string>* seen = nullptr, int timeoutMs = 10000) {
        std::vector<std::string> lines;
        if (!engine.waitFor("move ", &lines, timeoutMs)) return "";
        if (seen != nullptr) seen->insert(seen->end(), lines.begin(), lines.end());
        const std::string move = lines.back().substr(5);
        const int legal = legalMoveOfText(board, move.c_str());
        EXPECT_NE(legal, 0) << move;
        board.makeMove(legal);
        return move;
    }

    // A move by the test's side: sent to the engine and made on the board.
    void userMove(const std::string& move) {
        const int legal = legalMoveOfText(board, move.c_str());
        ASSERT_NE(legal, 0) << move;
        board.makeMove(legal);
        engine.send("usermove " + move);
    }

    // Some legal move of the side to move other than avoid.
    std::string anyMoveBut(const std::string& avoid = "") {
        Move moves[MoveListCapacity];
        const int total = legalMoves(board, moves);
        for (int i = 0; i < total; i++) {
            if (text(moves[i]) != avoid) return text(moves[i]);
        }
        return "";
    }

    static bool isThinking(const std::string& line) {
        static const std::regex format("^\\d+ -?\\d+ \\d+ \\d+( [a-i]\\d[a-i]\\d)+$");
        return std::regex_match(line, format);
    }
};

}  // namespace xboard
