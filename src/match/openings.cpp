// Reading openings: an EPD line is a board and a side to move (any further
// fields and operations are left aside); a PGN game is its FEN tag, if any,
// and its moves, with comments, variations, NAGs and move numbers skipped.
#include "match/openings.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

int readFile(const std::string& name, std::string& text) {
    FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) return 0;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    std::fclose(file);
    return 1;
}

// A move as Quorvel writes it, also with a dash between the squares and any
// check or comment marks after it.
Move moveOfToken(const std::string& token) {
    std::string squares;
    for (char c : token)
        if (c != '-' && c != '+' && c != '#' && c != '!' && c != '?') squares += c;
    if (squares.size() != 4) return 0;
    return static_cast<Move>(textToMove(squares.c_str()));
}

void readEpd(const std::string& text, std::vector<Opening>& out) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        char board[FenSize] = "", side[8] = "w";
        if (line.empty() || line[0] == '#' || std::sscanf(line.c_str(), "%127s %7s", board, side) < 1) continue;
        out.push_back(Opening{std::string(board) + " " + side + " - - 0 1", {}});
    }
}

int readPgn(const std::string& text, std::vector<Opening>& out, std::string& error) {
    Opening current;
    int inGame = 0;  // tags or moves seen since the last game ended
    size_t i = 0;
    auto finish = [&]() {
        if (inGame) out.push_back(current);
        current = Opening{};
        inGame = 0;
    };
    while (i < text.size()) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            i++;
        } else if (c == '[') {
            size_t end = text.find(']', i);
            if (end == std::string::npos) end = text.size();
            std::string tag = text.substr(i + 1, end - i - 1);
            if (inGame && !current.moves.empty()) finish();
            inGame = 1;
            if (tag.compare(0, 4, "FEN ") == 0) {
                size_t open = tag.find('"'), close = tag.rfind('"');
                if (open != std::string::npos && close > open) current.fen = tag.substr(open + 1, close - open - 1);
            }
            i = end + 1;
        } else if (c == '{') {
            size_t end = text.find('}', i);
            i = end == std::string::npos ? text.size() : end + 1;
        } else if (c == ';') {
            size_t end = text.find('\n', i);
            i = end == std::string::npos ? text.size() : end + 1;
        } else if (c == '(') {
            int depth = 0;
            for (; i < text.size(); i++) {
                depth += text[i] == '(';
                depth -= text[i] == ')';
                if (depth == 0) break;
            }
            i++;
        } else {
            size_t end = i;
            while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '{' &&
                   text[end] != '(' && text[end] != '[')
                end++;
            std::string token = text.substr(i, end - i);
            i = end;
            if (token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*") {
                inGame = 1;
                finish();
                continue;
            }
            if (std::isdigit(static_cast<unsigned char>(token[0]))) {
                size_t number = token.find_first_not_of("0123456789.");
                if (number == std::string::npos) continue;
                token = token.substr(number);
            }
            if (token[0] == '$') continue;
            Move move = moveOfToken(token);
            if (move == 0) {
                error = "unreadable move in the PGN openings: " + token;
                return 0;
            }
            current.moves.push_back(move);
            inGame = 1;
        }
    }
    finish();
    return 1;
}

}  // namespace

uint64_t nextRandom(uint64_t& state) {
    // splitmix64: one multiply-xorshift chain, identical on every platform.
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void shuffleOpenings(std::vector<Opening>& openings, uint64_t seed) {
    uint64_t state = seed;
    for (size_t i = openings.size(); i > 1; i--) {
        size_t j = static_cast<size_t>(nextRandom(state) % i);
        std::swap(openings[i - 1], openings[j]);
    }
}

int loadOpenings(const OpeningSource& settings, RuleSet rules, std::vector<Opening>& out, std::string& error) {
    std::string text;
    if (!readFile(settings.file, text)) {
        error = "cannot read the openings file " + settings.file;
        return 0;
    }
    std::vector<Opening> read;
    if (settings.pgn) {
        if (!readPgn(text, read, error)) return 0;
    } else {
        readEpd(text, read);
    }
    static GameRecord game;  // a record is large: one, kept off the stack
    for (size_t n = 0; n < read.size(); n++) {
        Opening& opening = read[n];
        if (settings.maxPlies > 0 && opening.moves.size() > static_cast<size_t>(settings.maxPlies))
            opening.moves.resize(settings.maxPlies);
        if (opening.fen == StartPositionFen) opening.fen.clear();
        if (!startGame(game, opening.fen.empty() ? nullptr : opening.fen.c_str(), rules)) {
            error = "opening " + std::to_string(n + 1) + ": the rules refuse its FEN " + opening.fen;
            return 0;
        }
        for (Move move : opening.moves) {
            char text4[5] = "";
            moveToText(move, text4);
            if (!playGameMove(game, move) || judgeGame(game).outcome != GameOngoing) {
                error = "opening " + std::to_string(n + 1) + ": illegal or final move " + std::string(text4, 4);
                return 0;
            }
        }
    }
    if (read.empty()) {
        error = "no opening in " + settings.file;
        return 0;
    }
    out = read;
    return 1;
}
