// Building book files from move lines, and reading a position's records back.
#include "book/book_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <tuple>

#include "board/tables.h"
#include "book/book.h"

namespace {

using EntryKey = std::tuple<uint32_t, uint32_t, uint16_t>;  // lock2, lock1, move

struct Tally {
    int index;     // in the entry list
    int lastLine;  // a line counts once even if it passes the position twice
};

void fillError(BookLineError& error, int lineNumber, const std::string& token, const char* reason) {
    error.lineNumber = lineNumber;
    std::snprintf(error.token, sizeof(error.token), "%s", token.c_str());
    error.reason = reason;
}

// Records the move about to be played in pos, once per line.
void tallyMove(const Position& pos, int move, int lineNumber, std::vector<BookRecord>& entries,
               std::map<EntryKey, Tally>& tallies) {
    EntryKey key(pos.lock2, pos.lock1, static_cast<uint16_t>(move));
    auto found = tallies.find(key);
    if (found == tallies.end()) {
        tallies[key] = Tally{static_cast<int>(entries.size()), lineNumber};
        entries.push_back(BookRecord{pos.lock1, pos.lock2, static_cast<uint16_t>(move), 1});
        return;
    }
    if (found->second.lastLine == lineNumber) return;
    found->second.lastLine = lineNumber;
    BookRecord& entry = entries[found->second.index];
    if (entry.weight < MaxBookWeight) entry.weight++;
}

void putLittle32(unsigned char* bytes, uint32_t value) {
    for (int i = 0; i < 4; i++) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

std::vector<std::string> splitBookLine(const std::string& line) {
    std::vector<std::string> tokens;
    std::istringstream words(line.substr(0, line.find('#')));
    std::string token;
    while (words >> token) tokens.push_back(token);
    return tokens;
}

int collectBookLines(const std::string& text, std::vector<BookRecord>& entries, BookLineError& error) {
    std::map<EntryKey, Tally> tallies;
    std::istringstream lines(text);
    std::string line;
    Position pos;
    for (int lineNumber = 1; std::getline(lines, line); lineNumber++) {
        std::vector<std::string> tokens = splitBookLine(line);
        if (tokens.empty()) continue;
        pos.setFromFen(StartPositionFen);
        for (const std::string& token : tokens) {
            int move = token.size() == 4 ? textToMove(token.c_str()) : 0;
            if (move == 0) {
                fillError(error, lineNumber, token, "unreadable move");
                return 0;
            }
            if (!pos.isValidMove(move)) {
                fillError(error, lineNumber, token, "illegal move");
                return 0;
            }
            Position before = pos;
            if (!pos.makeMove(move)) {
                fillError(error, lineNumber, token, "illegal move (own king left in check)");
                return 0;
            }
            tallyMove(before, move, lineNumber, entries, tallies);
        }
    }
    return 1;
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
