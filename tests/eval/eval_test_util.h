// Shared helpers of the evaluation tests: positions from FEN and from piece
// lists with the pre-evaluation run (its values in Pre), FEN of a position and
// of its colour-swapped twin, and random play.
#pragma once

#include <random>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "common/positions.h"
#include "eval/evaluation.h"
#include "movegen/generate.h"

// What the pre-evaluation of the last position evaluated() set up gave; the
// tests score that position with it.
inline PreEvaluation Pre;

// A position set up from FEN with the pre-evaluation run on it, as a search would.
inline Position evaluated(const char* fen) {
    Position pos;
    pos.setFromFen(fen);
    preEvaluate(pos, Pre);
    return pos;
}

// Board and side fields of a position (piece letters K A B N R C P). Turned:
// the same position half a board round with colours and side to move swapped,
// which every evaluation term must score exactly as the original.
inline std::string fenOf(const Position& pos, bool turned = false) {
    static const char Letters[] = "KABNRCP";
    std::string out;
    for (int row = 3; row <= 12; ++row) {
        int empty = 0;
        for (int column = 3; column <= 11; ++column) {
            int square = row * 16 + column;
            int code = pos.board[turned ? 254 - square : square];
            if (code == 0) {
                ++empty;
                continue;
            }
            if (empty) out += static_cast<char>('0' + empty);
            empty = 0;
            char letter = Letters[PieceType[code]];
            out += (code < 32) != turned ? letter : static_cast<char>(letter - 'A' + 'a');
        }
        if (empty) out += static_cast<char>('0' + empty);
        if (row < 12) out += '/';
    }
    out += (pos.sideToMove == 0) != turned ? " w" : " b";
    return out;
}

// A FEN from a piece list such as "Ke0 Ad0 Af0 ke9" (letter, then square);
// side 'w' or 'b'.
inline std::string fenFromPieces(const std::string& pieces, char side = 'w') {
    char grid[10][9] = {};
    for (size_t i = 0; i + 2 < pieces.size(); ++i) {
        if (pieces[i] == ' ') continue;
        grid[9 - (pieces[i + 2] - '0')][pieces[i + 1] - 'a'] = pieces[i];
        i += 2;
    }
    std::string out;
    for (int r = 0; r < 10; ++r) {
        int empty = 0;
        for (int c = 0; c < 9; ++c) {
            if (grid[r][c] == 0) {
                ++empty;
                continue;
            }
            if (empty) out += static_cast<char>('0' + empty);
            empty = 0;
            out += grid[r][c];
        }
        if (empty) out += static_cast<char>('0' + empty);
        if (r < 9) out += '/';
    }
    out += ' ';
    out += side;
    return out;
}

inline Position evaluatedPieces(const std::string& pieces, char side = 'w') {
    return evaluated(fenFromPieces(pieces, side).c_str());
}

// Makes a legal move of pos picked at random; 0 when there is none.
inline int playRandomMove(Position& pos, std::mt19937& random) {
    Move moves[MoveListCapacity];
    const int count = legalMoves(pos, moves);
    return count > 0 && pos.makeMove(moves[random() % count]);
}
