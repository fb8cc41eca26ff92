// Reading engine lines. UCI scores are centipawns; UCCI scores are taken in
// Quorvel's unit (a tenth of a pawn, mates near 1000); CECP scores are
// centipawns with mates from 100000 on, as XBoard engines write them.
#include "match/protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/notation.h"
#include "io/text.h"

namespace {

// CECP engines write a mate in N as 100000 + N, and a mated score negated.
constexpr int64_t CecpMateScore = 100000;
// Scores beyond this are no engine's: the line is left aside rather than overflow.
constexpr int64_t MaxScore = 100000000;

int number(const char* text, int64_t& out) {
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text) return 0;
    out = value;
    return 1;
}

// The features of a CECP feature line (after "feature "), quoted values unquoted.
void readFeatures(const char* line, EngineTraits& traits, int& done) {
    const char* at = line;
    while (*at != '\0') {
        while (*at == ' ') at++;
        const char* equals = std::strchr(at, '=');
        if (equals == nullptr) return;
        std::string key(at, static_cast<size_t>(equals - at));
        at = equals + 1;
        std::string value;
        if (*at == '"') {
            const char* close = std::strchr(at + 1, '"');
            if (close == nullptr) close = at + std::strlen(at);
            value.assign(at + 1, close);
            at = *close == '"' ? close + 1 : close;
        } else {
            const char* end = std::strchr(at, ' ');
            if (end == nullptr) end = at + std::strlen(at);
            value.assign(at, end);
            at = end;
        }
        int on = value == "1";
        if (key == "usermove") traits.usermove = on;
        else if (key == "setboard") traits.setboard = on;
        else if (key == "ping") traits.ping = on;
        else if (key == "san") traits.san = on;
        else if (key == "myname") traits.name = value;
        else if (key == "done") done = on;
    }
}

void readUciInfo(const Words& words, EngineEvent& event) {
    int64_t value = 0;
    int scored = 0;
    for (int n = 1; n + 1 < words.count; n++) {
        if (sameWord(words.word[n], "depth") && number(words.word[n + 1], value)) {
            event.depth = static_cast<int32_t>(value);
        } else if (sameWord(words.word[n], "score") && n + 2 < words.count && number(words.word[n + 2], value) &&
                   value > -MaxScore && value < MaxScore) {
            if (sameWord(words.word[n + 1], "cp")) {
                event.scoreCp = static_cast<int32_t>(value);
                scored = 1;
            } else if (sameWord(words.word[n + 1], "mate") && value != 0) {
                event.mateIn = static_cast<int32_t>(value);
                scored = 1;
            }
        } else if (sameWord(words.word[n], "pv") || sameWord(words.word[n], "string")) {
            break;
        }
    }
    if (scored) event.kind = EventScore;
}

void readUcciInfo(const Words& words, EngineEvent& event) {
    int64_t value = 0;
    int scored = 0;
    for (int n = 1; n + 1 < words.count; n++) {
        if (sameWord(words.word[n], "depth") && number(words.word[n + 1], value)) {
            event.depth = static_cast<int32_t>(value);
        } else if (sameWord(words.word[n], "score") && number(words.word[n + 1], value) && value > -MaxScore &&
                   value < MaxScore) {
            int score = static_cast<int>(value);
            event.mateIn = mateMoves(score);
            event.scoreCp = score * CentipawnsPerUnit;
            scored = 1;
        } else if (sameWord(words.word[n], "pv")) {
            break;
        }
    }
    if (scored) event.kind = EventScore;
}

// "DEPTH SCORE TIME NODES PV..." with a mark such as '.' or '&' allowed after the depth.
void readCecpThinking(const Words& words, EngineEvent& event) {
    int64_t depth = 0, score = 0, time = 0, nodes = 0;
    if (words.count < 4 || !number(words.word[0], depth) || !number(words.word[1], score) ||
        !number(words.word[2], time) || !number(words.word[3], nodes) || depth < 1 || depth > MaxScore ||
        score <= -MaxScore || score >= MaxScore)
        return;
    event.kind = EventScore;
    event.depth = static_cast<int32_t>(depth);
    if (score >= CecpMateScore) event.mateIn = static_cast<int32_t>(score - CecpMateScore);
    else if (score <= -CecpMateScore) event.mateIn = -static_cast<int32_t>(-score - CecpMateScore);
    else event.scoreCp = static_cast<int32_t>(score);
    if (event.mateIn == 0 && (score >= CecpMateScore || score <= -CecpMateScore))
        event.mateIn = score > 0 ? 1 : -1;
}

}  // namespace

void readEngineLine(Protocol protocol, const char* line, EngineEvent& event, EngineTraits& traits) {
    event = EngineEvent{};
    char copy[LineBufferSize];
    std::snprintf(copy, sizeof copy, "%s", line);
    Words words;
    splitWords(copy, words);
    if (words.count == 0) return;
    const char* first = words.word[0];

    if (protocol == ProtocolXboard) {
        if (std::strcmp(first, "feature") == 0) {
            int done = 0;
            readFeatures(line + std::strlen("feature"), traits, done);
            if (done) event.kind = EventHandshake;
        } else if (std::strcmp(first, "pong") == 0 && words.count > 1 && number(words.word[1], event.value)) {
            event.kind = EventReady;
        } else if (std::strcmp(first, "move") == 0 && words.count > 1) {
            event.kind = EventMove;
            event.move = words.word[1];
        } else if (std::strcmp(first, "resign") == 0) {
            event.kind = EventResign;
        } else if (startsWith(line, "Illegal move")) {
            event.kind = EventRefusal;
        } else {
            readCecpThinking(words, event);
        }
        return;
    }

    int uci = protocol == ProtocolUci;
    if (std::strcmp(first, uci ? "uciok" : "ucciok") == 0) {
        event.kind = EventHandshake;
    } else if (std::strcmp(first, "readyok") == 0) {
        event.kind = EventReady;
    } else if (std::strcmp(first, "id") == 0 && words.count > 2 && std::strcmp(words.word[1], "name") == 0) {
        const char* name = std::strstr(line, "name") + 4;
        while (*name == ' ') name++;
        traits.name = name;
    } else if (std::strcmp(first, "option") == 0 && words.count > 1) {
        if (uci && words.count > 2 && sameWord(words.word[2], "UCI_Variant")) traits.variantOption = 1;
        if (!uci && sameWord(words.word[1], "usemillisec")) traits.millisec = 1;
    } else if (std::strcmp(first, "nobestmove") == 0) {
        event.kind = EventNoMove;
    } else if (std::strcmp(first, "bestmove") == 0) {
        if (words.count < 2 || std::strcmp(words.word[1], "(none)") == 0 || std::strcmp(words.word[1], "0000") == 0) {
            event.kind = EventNoMove;
            return;
        }
        event.kind = EventMove;
        event.move = words.word[1];
        for (int n = 2; n < words.count; n++) {
            if (std::strcmp(words.word[n], "ponder") == 0 && n + 1 < words.count) event.ponder = words.word[n + 1];
            if (!uci && std::strcmp(words.word[n], "resign") == 0) event.resigns = 1;
        }
    } else if (std::strcmp(first, "info") == 0) {
        if (uci) readUciInfo(words, event);
        else readUcciInfo(words, event);
    }
}

Move moveOfEngineText(const std::string& text, int ranksFromOne) {
    // file letter, rank number, twice; a rank of two digits only when counted from 1
    int squares[2];
    size_t at = 0;
    for (int& square : squares) {
        if (at >= text.size() || text[at] < 'a' || text[at] > 'i') return 0;
        char file = text[at++];
        int rank = 0, digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 2) {
            rank = rank * 10 + (text[at++] - '0');
            digits++;
        }
        if (digits == 0) return 0;
        rank -= ranksFromOne;
        if (rank < 0 || rank > 9) return 0;
        char square2[2] = {file, static_cast<char>('0' + rank)};
        square = textToSquare(square2);
        if (square < 0) return 0;
    }
    if (at != text.size()) return 0;
    return static_cast<Move>(makeMoveValue(squares[0], squares[1]));
}

std::string engineTextOfMove(Move move, int ranksFromOne) {
    char text[5] = "";
    moveToText(move, text);
    if (!ranksFromOne) return std::string(text, 4);
    std::string out;
    out += text[0];
    out += std::to_string(text[1] - '0' + 1);
    out += text[2];
    out += std::to_string(text[3] - '0' + 1);
    return out;
}
