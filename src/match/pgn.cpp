// PGN text of one game, lines kept under 80 characters as readers expect.
#include "match/pgn.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t PgnLineWidth = 79;

std::string seconds(int64_t ms) {
    char text[32];
    if (ms % 1000 == 0)
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(ms / 1000));
    else
        std::snprintf(text, sizeof text, "%g", ms / 1000.0);
    return text;
}

void addTag(std::string& out, const char* name, const std::string& value) {
    out += '[';
    out += name;
    out += " \"";
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += "\"]\n";
}

std::string comment(const PlayedMove& played) {
    if (played.fromOpening) return "{book}";
    char text[64];
    if (!played.hasScore)
        std::snprintf(text, sizeof text, "{%.3fs}", played.timeMs / 1000.0);
    else if (played.mateIn != 0)
        std::snprintf(text, sizeof text, "{%sM%d/%d %.3fs}", played.mateIn > 0 ? "+" : "-",
                      played.mateIn > 0 ? played.mateIn : -played.mateIn, played.depth, played.timeMs / 1000.0);
    else
        std::snprintf(text, sizeof text, "{%+.2f/%d %.3fs}", played.scoreCp / 100.0, played.depth,
                      played.timeMs / 1000.0);
    return text;
}

}  // namespace

std::string timeControlText(const TimeControl& limits) {
    if (limits.moveTimeMs > 0) return seconds(limits.moveTimeMs) + "/move";
    if (limits.baseMs == 0) return "-";
    std::string text;
    if (limits.movesPerPeriod > 0) text = std::to_string(limits.movesPerPeriod) + "/";
    text += seconds(limits.baseMs);
    if (limits.incrementMs > 0) text += "+" + seconds(limits.incrementMs);
    return text;
}

std::string formatPgn(const PgnGame& game) {
    std::string out;
    addTag(out, "Event", game.event);
    addTag(out, "Site", "?");
    addTag(out, "Date", game.date);
    addTag(out, "Round", std::to_string(game.round));
    addTag(out, "White", game.red);
    addTag(out, "Black", game.black);
    addTag(out, "Result", game.result);
    addTag(out, "Variant", "xiangqi");
    if (!game.fen.empty()) {
        addTag(out, "SetUp", "1");
        addTag(out, "FEN", game.fen);
    }
    if (game.redTimeControl == game.blackTimeControl) {
        addTag(out, "TimeControl", game.redTimeControl);
    } else {
        addTag(out, "WhiteTimeControl", game.redTimeControl);
        addTag(out, "BlackTimeControl", game.blackTimeControl);
    }
    addTag(out, "Termination", game.termination);
    addTag(out, "PlyCount", std::to_string(game.moves.size()));
    out += '\n';

    const char* fen = game.fen.empty() ? StartPositionFen : game.fen.c_str();
    const char* side = std::strchr(fen, ' ');
    int blackFirst = side != nullptr && side[1] == 'b';
    std::string line;
    auto emit = [&](const std::string& word) {
        if (!line.empty() && line.size() + 1 + word.size() > PgnLineWidth) {
            out += line + '\n';
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += word;
    };
    for (size_t ply = 0; ply < game.moves.size(); ply++) {
        size_t slot = ply + blackFirst;  // half-moves counted from a red move
        if (slot % 2 == 0)
            emit(std::to_string(slot / 2 + 1) + ".");
        else if (ply == 0)
            emit("1...");
        char text[5] = "";
        moveToText(game.moves[ply].move, text);
        emit(std::string(text, 4));
        emit(comment(game.moves[ply]));
    }
    emit(game.result);
    out += line + "\n\n";
    return out;
}
