// Building book files from line files, and reading a position's records back.
#include "book/book_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "board/tables.h"
#include "book/book.h"

namespace {

void fillError(BookLineError& error, int lineNumber, const std::string& token, const char* reason) {
    error.lineNumber = lineNumber;
    std::snprintf(error.token, sizeof(error.token), "%s", token.c_str());
    error.reason = reason;
}

int mirrorMove(int move) {
    return makeMoveValue(MirrorSquare[moveSource(move)], MirrorSquare[moveDestination(move)]);
}

// The tally of move in a position of table, made when new.
BookMoveTally& tallyOf(std::map<BookLocks, BookPositionTally>& table, const BookLocks& locks, int move) {
    BookPositionTally& position = table[locks];
    position.lock2 = locks.first;
    position.lock1 = locks.second;
    for (BookMoveTally& tally : position.moves) {
        if (tally.move == move) return tally;
    }
    position.moves.push_back(BookMoveTally{static_cast<uint16_t>(move), 0, 0, -1});
    return position.moves.back();
}

// The move of token, legal in pos, or 0 with error filled.
int readMove(Position& pos, const std::string& token, int lineNumber, BookLineError& error) {
    int move = token.size() == 4 ? textToMove(token.c_str()) : 0;
    if (move == 0) {
        fillError(error, lineNumber, token, "unreadable move");
        return 0;
    }
    if (!pos.isValidMove(move)) {
        fillError(error, lineNumber, token, "illegal move");
        return 0;
    }
    if (!pos.isLegalMove(move)) {
        fillError(error, lineNumber, token, "illegal move (own king left in check)");
        return 0;
    }
    return move;
}

// A weight of 0 to MaxBookWeight in decimal digits, or -1.
int readWeight(const std::string& token) {
    if (token.empty() || token.size() > 5 || token.find_first_not_of("0123456789") != std::string::npos) return -1;
    int weight = std::atoi(token.c_str());
    return weight <= MaxBookWeight ? weight : -1;
}

// The weighted pairs of a line, tokens[first..], in the position the line reached.
int addWeightedMoves(BookBuilder& builder, Position& pos, const std::vector<std::string>& tokens, size_t first,
                     int lineNumber, BookLineError& error) {
    const BookLocks own = positionLocks(pos);
    const BookLocks image = mirrorLocks(pos);
    for (size_t i = first; i < tokens.size(); i += 2) {
        if (tokens[i] == "|") {
            fillError(error, lineNumber, tokens[i], "a second '|'");
            return 0;
        }
        int move = readMove(pos, tokens[i], lineNumber, error);
        if (move == 0) return 0;
        if (i + 1 == tokens.size()) {
            fillError(error, lineNumber, tokens[i], "move without a weight");
            return 0;
        }
        int weight = readWeight(tokens[i + 1]);
        if (weight < 0) {
            fillError(error, lineNumber, tokens[i + 1], "unreadable weight");
            return 0;
        }
        const bool turned = image < own;
        BookMoveTally& tally = tallyOf(builder.weighted, turned ? image : own, turned ? mirrorMove(move) : move);
        tally.weight = std::max(tally.weight, weight);
        builder.weighted[turned ? image : own].image = turned ? own : image;
    }
    return 1;
}

int scaledWeight(int64_t weight, int64_t top) { return top > 0 ? static_cast<int>(weight * BookTopWeight / top) : 0; }

// The weights of the moves of one position.
void addEntries(const BookPositionTally& position, std::vector<BookRecord>& entries) {
    uint32_t lineTop = 0;
    int32_t weightTop = -1;
    for (const BookMoveTally& tally : position.moves) {
        lineTop = std::max(lineTop, tally.lineCount);
        weightTop = std::max(weightTop, tally.weight);
    }
    for (const BookMoveTally& tally : position.moves) {
        int64_t weight = 0;
        if (weightTop < 0) {
            weight = tally.lineCount;
        } else if (lineTop == 0) {
            weight = tally.weight;
        } else {
            const int given = std::max(tally.weight, 0);
            weight = (scaledWeight(tally.lineCount, lineTop) + scaledWeight(given, weightTop)) / 2;
            if (weight == 0 && (tally.lineCount > 0 || given > 0)) weight = 1;
        }
        entries.push_back(BookRecord{position.lock1, position.lock2, tally.move,
                                     static_cast<uint16_t>(std::min<int64_t>(weight, MaxBookWeight))});
    }
}

void putLittle32(unsigned char* bytes, uint32_t value) {
    for (int i = 0; i < 4; i++) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

BookLocks positionLocks(const Position& pos) { return std::make_pair(pos.lock2, pos.lock1); }

BookLocks mirrorLocks(const Position& pos) {
    Position image = pos;
    mirrorPosition(image);
    return positionLocks(image);
}

std::vector<std::string> splitBookLine(const std::string& line) {
    std::string spaced;
    for (char c : line.substr(0, line.find('#'))) {
        if (c == '|') {
            spaced += " | ";
        } else {
            spaced += c;
        }
    }
    std::vector<std::string> tokens;
    std::istringstream words(spaced);
    std::string token;
    while (words >> token) tokens.push_back(token);
    return tokens;
}

int addBookLines(BookBuilder& builder, const std::string& text, BookLineError& error) {
    std::istringstream lines(text);
    std::string line;
    Position pos;
    for (int lineNumber = 1; std::getline(lines, line); lineNumber++) {
        std::vector<std::string> tokens = splitBookLine(line);
        if (tokens.empty()) continue;
        const int serial = ++builder.linesRead;
        const bool weighted = std::find(tokens.begin(), tokens.end(), "|") != tokens.end();
        pos.setFromFen(StartPositionFen);
        for (size_t i = 0; i < tokens.size(); i++) {
            if (tokens[i] == "|") {
                if (!addWeightedMoves(builder, pos, tokens, i + 1, lineNumber, error)) return 0;
                break;
            }
            int move = readMove(pos, tokens[i], lineNumber, error);
            if (move == 0) return 0;
            // A weighted line's moves before '|' only lead to its position.
            if (!weighted) {
                BookMoveTally& tally = tallyOf(builder.plain, positionLocks(pos), move);
                if (tally.lastLine != serial) {
                    tally.lastLine = serial;
                    tally.lineCount++;
                }
            }
            pos.makeMove(move);
        }
    }
    return 1;
}

std::vector<BookRecord> bookEntries(const BookBuilder& builder) {
    std::map<BookLocks, BookPositionTally> positions = builder.plain;
    for (const auto& [locks, grown] : builder.weighted) {
        // The weights join each orientation the plain lines reach, turned to
        // it; a position the plain lines miss in both keeps them alone.
        const BookLocks orientations[2] = {locks, grown.image};
        const int orientationCount = grown.image == locks ? 1 : 2;  // a symmetric position is its own image
        int joined = 0;
        for (int mirrored = 0; mirrored < orientationCount; mirrored++) {
            if (builder.plain.count(orientations[mirrored]) == 0) continue;
            joined = 1;
            for (const BookMoveTally& tally : grown.moves) {
                BookMoveTally& target =
                    tallyOf(positions, orientations[mirrored], mirrored ? mirrorMove(tally.move) : tally.move);
                target.weight = std::max(target.weight, tally.weight);
            }
        }
        if (!joined) positions[locks] = grown;
    }
    std::vector<BookRecord> entries;
    for (const auto& [locks, position] : positions) addEntries(position, entries);
    return entries;
}

int collectBookLines(const std::string& text, std::vector<BookRecord>& entries, BookLineError& error) {
    BookBuilder builder;
    int added = addBookLines(builder, text, error);
    entries = bookEntries(builder);
    return added;
}

void sortBookEntries(std::vector<BookRecord>& entries) {
    std::sort(entries.begin(), entries.end(), [](const BookRecord& a, const BookRecord& b) {
        if (a.lock2 != b.lock2) return a.lock2 < b.lock2;
        if (a.lock1 != b.lock1) return a.lock1 < b.lock1;
        if (a.weight != b.weight) return a.weight > b.weight;
        return a.move < b.move;
    });
}

int writeBookFile(const char* path, const std::vector<BookRecord>& entries) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return 0;
    int written = 1;
    for (const BookRecord& entry : entries) {
        unsigned char bytes[BookRecordSize];
        putLittle32(bytes, entry.lock1);
        putLittle32(bytes + 4, entry.lock2);
        bytes[8] = static_cast<unsigned char>(entry.move & 0xFF);
        bytes[9] = static_cast<unsigned char>(entry.move >> 8);
        bytes[10] = static_cast<unsigned char>(entry.weight & 0xFF);
        bytes[11] = static_cast<unsigned char>(entry.weight >> 8);
        if (std::fwrite(bytes, 1, BookRecordSize, file) != BookRecordSize) {
            written = 0;
            break;
        }
    }
    if (std::fclose(file) != 0) written = 0;
    return written;
}

int listBookMoves(const char* path, const Position& pos, std::vector<BookRecord>& moves, int& mirrored) {
    moves.clear();
    BookMove found[MaxBookMoves];
    int total = readBookMoves(path, pos, found, mirrored);
    if (total < 0) return 0;
    for (int i = 0; i < total; i++) moves.push_back(BookRecord{pos.lock1, pos.lock2, found[i].move, found[i].weight});
    return 1;
}
