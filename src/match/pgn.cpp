// A played game as a game file record, written by src/game.
#include "match/pgn.h"

#include <cstdio>

#include "game/game_file.h"

namespace {

std::string seconds(int64_t ms) {
    char text[32];
    if (ms % 1000 == 0)
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(ms / 1000));
    else
        std::snprintf(text, sizeof text, "%g", ms / 1000.0);
    return text;
}

std::string comment(const PlayedMove& played) {
    if (played.fromOpening) return "book";
    char text[64];
    if (!played.hasScore)
        std::snprintf(text, sizeof text, "%.3fs", played.timeMs / 1000.0);
    else if (played.mateIn != 0)
        std::snprintf(text, sizeof text, "%sM%d/%d %.3fs", played.mateIn > 0 ? "+" : "-",
                      played.mateIn > 0 ? played.mateIn : -played.mateIn, played.depth, played.timeMs / 1000.0);
    else
        std::snprintf(text, sizeof text, "%+.2f/%d %.3fs", played.scoreCp / 100.0, played.depth,
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

std::string formatPgn(const PgnGame& game, MoveNotation notation) {
    SavedGame saved;
    saved.tags = {{"Event", game.event}, {"Site", "?"},          {"Date", game.date},   {"Round", std::to_string(game.round)},
                  {"White", game.red},   {"Black", game.black}, {"Result", game.result}, {"Variant", "xiangqi"}};
    if (game.redTimeControl == game.blackTimeControl) {
        saved.tags.push_back({"TimeControl", game.redTimeControl});
    } else {
        saved.tags.push_back({"WhiteTimeControl", game.redTimeControl});
        saved.tags.push_back({"BlackTimeControl", game.blackTimeControl});
    }
    saved.tags.push_back({"Termination", game.termination});
    saved.tags.push_back({"PlyCount", std::to_string(game.moves.size())});
    saved.startFen = game.fen;
    saved.comments.emplace_back();
    for (const PlayedMove& played : game.moves) {
        saved.moves.push_back(played.move);
        saved.comments.push_back(comment(played));
    }
    saved.result = game.result;
    std::string text;
    writePgnGame(saved, notation, 0, text);
    return text;
}
