// Reading openings: an EPD line is a board and a side to move (any further
// fields and operations are left aside); a game of a PGN or WXF game file is
// its start position and its moves, read by src/game.
#include "match/openings.h"

#include <cstdio>
#include <cstring>

#include "game/game_file.h"

namespace {

// Reads at most limit bytes (or the whole file when limit is 0).
int readFile(const std::string& name, size_t limit, std::string& text) {
    FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) return 0;
    char chunk[65536];
    size_t got;
    while ((limit == 0 || text.size() < limit) && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    std::fclose(file);
    return 1;
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
    // One byte past the cap is enough for the game file reader to refuse it.
    if (!readFile(settings.file, settings.gameFile ? MaxGameFileBytes + 1 : 0, text)) {
        error = "cannot read the openings file " + settings.file;
        return 0;
    }
    std::vector<Opening> read;
    if (settings.gameFile) {
        std::vector<SavedGame> games;
        GameFileError fileError;
        if (!readGameFile(text.data(), text.size(), games, fileError)) {
            error = "openings file " + settings.file + ": " + gameFileErrorText(fileError);
            return 0;
        }
        for (SavedGame& game : games) read.push_back(Opening{game.startFen, std::move(game.moves)});
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
