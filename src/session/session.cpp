#include "session/session.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "board/tables.h"
#include "io/platform.h"
#include "movegen/generate.h"
#include "search/hash.h"

namespace {

// The table a session starts with: 2^24 bytes, 16 MB.
constexpr int StartTableExponent = 24;

uint32_t clockSeed() { return static_cast<uint32_t>(std::time(nullptr)); }

constexpr const char* BookFileName = "qvr.bin";

int fileExists(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return 0;
    std::fclose(file);
    return 1;
}

// Beside the program file itself, so that a program started through a link or
// from the PATH finds its book; else beside the path it was started by, where
// earlier versions looked, so that no existing setup loses its book.
void locateBook(EngineSession& session, const char* programName) {
    char programFile[BookPathSize];
    if (platformProgramFile(programFile, BookPathSize)) {
        locatePath(session.bookPath, BookPathSize, programFile, BookFileName);
        if (fileExists(session.bookPath)) return;
    }
    locatePath(session.bookPath, BookPathSize, programName, BookFileName);
}

void sizeTable(EngineSession& session, int exponent) {
    if (session.bounds.maxTableExponent > 0 && exponent > session.bounds.maxTableExponent)
        exponent = session.bounds.maxTableExponent;
    releaseHashTable(session.engine.table);
    allocateHashTable(session.engine.table, exponent);
    session.tableExponent = exponent;
}

}  // namespace

void startSession(EngineSession& session, const char* programName, const SessionBounds& bounds) {
    // The tables never change once built; a conversation run in process again
    // finds them ready.
    static bool built = false;
    if (!built) {
        buildPopCount();
        buildTables();
        built = true;
    }
    session.bounds = bounds;
    setGameLeniently(session, StartPositionFen);
    for (int id = 0; id < OptionCount; id++) session.options[id] = Options[id].startValue;
    sizeTable(session, StartTableExponent);
    locateBook(session, programName);
    session.randomSeed = clockSeed();
}

void endSession(EngineSession& session) { releaseHashTable(session.engine.table); }

void setOption(EngineSession& session, OptionId id, int value) {
    const OptionEntry& entry = Options[id];
    if (value < entry.low) value = entry.low;
    if (value > entry.high) value = entry.high;
    session.options[id] = value;
    if (id == OptionHash) sizeTable(session, hashExponent(value));
    if (id == OptionClearHash) clearHashTable(session.engine.table);
    if (id == OptionSeed) session.randomSeed = value != 0 ? static_cast<uint32_t>(value) : clockSeed();
}

int32_t playingLevel(const EngineSession& session) {
    if (option(session, OptionLimitStrength)) return levelOfElo(option(session, OptionElo));
    return option(session, OptionSkillLevel) * LevelHundredths;
}

void restartRandom(EngineSession& session) {
    const int seed = option(session, OptionSeed);
    if (seed != 0) session.randomSeed = static_cast<uint32_t>(seed);
}

void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName) {
    if (destinationSize <= 0) return;
    const char* slash = std::strrchr(programName, '/');
    const char* backslash = std::strrchr(programName, '\\');
    if (backslash != nullptr && (slash == nullptr || backslash > slash)) slash = backslash;
    const size_t directory = slash == nullptr ? 0 : static_cast<size_t>(slash - programName) + 1;
    std::snprintf(destination, static_cast<size_t>(destinationSize), "%.*s%s", static_cast<int>(directory),
                  programName, fileName);
}

int legalMoveOfText(Position& pos, const char* text) {
    if (std::strlen(text) != 4) return 0;
    int move = textToMove(text);
    return move != 0 && pos.isLegalMove(move) ? move : 0;
}

int firstLegalMove(Position& pos) {
    Move moves[MoveListCapacity];
    return legalMoves(pos, moves) > 0 ? moves[0] : 0;
}

namespace {

void replaceGame(EngineSession& session, const Position& pos) {
    session.position = pos;
    session.droppedPlies = 0;
    session.bannedCount = 0;
}

// A game that has used most of the history makes room for the longest line a
// search plays on from it.
int keepHistoryRoom(Position& game) {
    constexpr int Room = 256;
    constexpr int MostKept = 300;
    return game.moveCount < MaxHistory - Room ? 0 : game.dropOldHistory(MostKept);
}

}  // namespace

int setGame(EngineSession& session, const char* fen) {
    Position pos;
    if (!pos.loadFen(fen)) return 0;
    replaceGame(session, pos);
    return 1;
}

void setGameLeniently(EngineSession& session, const char* fen) {
    session.position.setFromFen(fen);
    session.droppedPlies = 0;
    session.bannedCount = 0;
}

int makeGameMove(EngineSession& session, int move) {
    if (move == 0 || !session.position.isLegalMove(move)) return 0;
    session.droppedPlies += keepHistoryRoom(session.position);
    if (!session.position.makeMove(move)) return 0;
    session.bannedCount = 0;
    return 1;
}

int playMoveText(EngineSession& session, const char* text) {
    const int move = legalMoveOfText(session.position, text);
    return move != 0 && makeGameMove(session, move) ? move : 0;
}

int takeBackMoves(EngineSession& session, int count) {
    if (session.position.moveCount <= count) return 0;
    for (int i = 0; i < count; i++) session.position.unmakeMove();
    session.bannedCount = 0;
    return 1;
}

// The side is changed through the FEN, so the position's own test refuses a
// side not to move that would stand in check.
int setSideToMove(EngineSession& session, int side) {
    if (session.position.sideToMove == side) return 1;
    char fen[FenSize];
    session.position.writeFen(fen);
    char* letter = std::strstr(fen, " w ");
    if (letter == nullptr) letter = std::strstr(fen, " b ");
    if (letter == nullptr) return 0;
    letter[1] = side == 0 ? 'w' : 'b';
    return setGame(session, fen);
}
