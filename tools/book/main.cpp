// quorvel-book: builds an opening book from line files, shows what the book
// holds for a position, checks a repertoire against the engine's search, and
// grows weighted lines from the engine's own analysis.
//
//   quorvel-book build LINES.txt [MORE.txt ...] -o qvr.bin
//   quorvel-book probe qvr.bin [FEN | startpos] [moves M1 M2 ...]
//   quorvel-book check LINES.txt [DEPTH [MARGIN]]
//   quorvel-book grow LINES.txt OUT.txt [NAME=VALUE ...]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/tables.h"
#include "book/book_writer.h"
#include "check.h"
#include "grow.h"
#include "io/command_line.h"
#include "search/engine.h"
#include "search/hash.h"

namespace {

constexpr int DefaultCheckDepth = 5;
// Most of a knight or cannon (about 90 to 100): a short search misjudges a quiet
// opening move, such as declining a rook exchange, by up to about 75, while a
// piece left hanging costs more than the margin.
constexpr int DefaultCheckMargin = 80;
constexpr int CheckHashExponent = 22;
// The engine's own default table: one size for every run, so that a grown
// position's lines depend on the settings alone.
constexpr int GrowHashExponent = 24;

// grow's settings: depth 9 searches an opening position in a few seconds.
// Scores are in the engine's units, a tenth of a pawn.
constexpr GrowSettings DefaultGrowSettings = {
    9,     // depth
    8,     // lines
    6,     // margin
    3,     // halving
    1000,  // positions
    16,    // plies
    0, 1,  // shard 1 of 1
};
constexpr int MaxShards = 64;
constexpr int MaxGrowPositions = 10000000;
constexpr int MaxGrowPlies = 200;

constexpr const char* Usage =
    "Usage: quorvel-book build LINES.txt [MORE.txt ...] -o BOOK.bin\n"
    "       quorvel-book probe BOOK.bin [FEN | startpos] [moves M1 M2 ...]\n"
    "       quorvel-book check LINES.txt [DEPTH [MARGIN]]\n"
    "       quorvel-book grow LINES.txt OUT.txt [depth=D] [lines=L] [margin=M]\n"
    "                         [halving=H] [positions=N] [plies=P] [shard=K/S]\n"
    "Makes and inspects Quorvel's opening books. build turns line files into a\n"
    "book: plain lines (one variation from the start position, a move's weight\n"
    "the number of lines playing it) and weighted lines ('MOVES | MOVE WEIGHT\n"
    "...', moves with their weights in the position the moves reach), '#'\n"
    "starting a comment. probe lists the book moves of a position with their\n"
    "weights; check searches every position of the lines to DEPTH (5) and lists\n"
    "each book move that scores more than MARGIN (80) below the best, with\n"
    "status 1. grow searches the start position and every position of LINES.txt\n"
    "with L lines to depth D, keeps the moves at most M below the best (the best\n"
    "weighs 4096, halving every H below it), searches the positions they lead to\n"
    "in turn, fewer than P plies from the start and N positions in all, and writes\n"
    "one weighted line per position to OUT.txt for build; shard K of S analyses\n"
    "its share of the tree, to run S processes side by side (defaults: depth=9\n"
    "lines=8 margin=6 halving=3 positions=1000 plies=16 shard=1/1).\n"
    "\n"
    "  -o BOOK.bin  the book file that build writes\n"
    "  --help       print this help and exit\n"
    "  --version    print the name and version and exit\n";

constexpr const char* const Options[] = {"-o", nullptr};

int usage() {
    std::fputs(Usage, stderr);
    return ArgumentsRefused;
}

int readWholeFile(const char* path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return 0;
    std::ostringstream buffer;
    buffer << file.rdbuf();
    text = buffer.str();
    return 1;
}

// build FILE... -o BOOK: every file's lines go into one book.
int buildCommand(int argc, char** argv) {
    const char* bookPath = nullptr;
    std::vector<const char*> linePaths;
    for (int i = 2; i < argc; i++) {
        if (std::strcmp(argv[i], "-o") != 0) {
            linePaths.push_back(argv[i]);
        } else if (bookPath != nullptr || i + 1 == argc) {
            return usage();
        } else {
            bookPath = argv[++i];
        }
    }
    if (bookPath == nullptr || linePaths.empty()) return usage();
    BookBuilder builder;
    for (const char* path : linePaths) {
        std::string text;
        if (!readWholeFile(path, text)) {
            std::fprintf(stderr, "quorvel-book: cannot read %s\n", path);
            return 1;
        }
        BookLineError error{};
        if (!addBookLines(builder, text, error)) {
            std::fprintf(stderr, "%s:%d: %s '%s'\n", path, error.lineNumber, error.reason, error.token);
            return 1;
        }
    }
    std::vector<BookRecord> entries = bookEntries(builder);
    sortBookEntries(entries);
    if (!writeBookFile(bookPath, entries)) {
        std::fprintf(stderr, "quorvel-book: cannot write %s\n", bookPath);
        return 1;
    }
    std::printf("%s: %zu records\n", bookPath, entries.size());
    return 0;
}

// Sets pos from the words after the book name: a FEN of up to six fields or
// "startpos", then optionally "moves" and move texts. 0 on a bad move.
int setProbePosition(int argc, char** argv, Position& pos) {
    std::string fen;
    int index = 3;
    for (; index < argc && std::strcmp(argv[index], "moves") != 0; index++) {
        if (!fen.empty()) fen += ' ';
        fen += argv[index];
    }
    if (fen.empty() || fen == "startpos") fen = StartPositionFen;
    pos.setFromFen(fen.c_str());
    for (index++; index < argc; index++) {
        int move = std::strlen(argv[index]) == 4 ? textToMove(argv[index]) : 0;
        if (move == 0 || !pos.isValidMove(move) || !pos.makeMove(move)) {
            std::fprintf(stderr, "quorvel-book: illegal move %s\n", argv[index]);
            return 0;
        }
    }
    return 1;
}

int probeCommand(int argc, char** argv) {
    if (argc < 3) return usage();
    Position pos;
    if (!setProbePosition(argc, argv, pos)) return 1;
    std::vector<BookRecord> moves;
    int mirrored = 0;
    if (!listBookMoves(argv[2], pos, moves, mirrored)) {
        std::fprintf(stderr, "quorvel-book: cannot read %s\n", argv[2]);
        return 1;
    }
    if (moves.empty()) {
        std::printf("not in the book\n");
        return 0;
    }
    unsigned total = 0;
    for (const BookRecord& entry : moves) total += entry.weight;
    std::printf("%zu book moves%s\n", moves.size(), mirrored ? " (found as the mirror image)" : "");
    for (const BookRecord& entry : moves) {
        char text[5] = {};
        moveToText(entry.move, text);
        double share = total == 0 ? 0.0 : 100.0 * entry.weight / total;
        std::printf("%s weight %u (%.1f%%)\n", text, static_cast<unsigned>(entry.weight), share);
    }
    return 0;
}

int readNumber(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < low || number > high) return 0;
    value = static_cast<int>(number);
    return 1;
}

int checkCommand(int argc, char** argv) {
    if (argc < 3 || argc > 5) return usage();
    CheckSettings settings{DefaultCheckDepth, DefaultCheckMargin};
    if (argc > 3 && !readNumber(argv[3], 1, 20, settings.depth)) return usage();
    if (argc > 4 && !readNumber(argv[4], 0, 2000, settings.margin)) return usage();
    std::string text;
    if (!readWholeFile(argv[2], text)) {
        std::fprintf(stderr, "quorvel-book: cannot read %s\n", argv[2]);
        return 1;
    }
    static SearchEngine engine;  // too large for the stack
    allocateHashTable(engine.table, CheckHashExponent);
    int weak = checkBookLines(engine, text, settings);
    releaseHashTable(engine.table);
    return weak == 0 ? 0 : 1;
}

// One NAME=VALUE word of grow into settings; 0 when the name or value is wrong.
int readGrowSetting(const std::string& word, GrowSettings& settings) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) return 0;
    const std::string name = word.substr(0, equals);
    const std::string value = word.substr(equals + 1);
    if (name == "depth") return readNumber(value.c_str(), 1, MaxSearchDepth, settings.depth);
    if (name == "lines") return readNumber(value.c_str(), 1, MaxBookMoves, settings.lines);
    if (name == "margin") return readNumber(value.c_str(), 0, 2 * MateValue, settings.margin);
    if (name == "halving") return readNumber(value.c_str(), 1, 2 * MateValue, settings.halving);
    if (name == "positions") return readNumber(value.c_str(), 1, MaxGrowPositions, settings.positions);
    if (name == "plies") return readNumber(value.c_str(), 1, MaxGrowPlies, settings.plies);
    if (name == "shard") {
        const size_t slash = value.find('/');
        if (slash == std::string::npos) return 0;
        int shard = 0;
        if (!readNumber(value.substr(0, slash).c_str(), 1, MaxShards, shard)) return 0;
        if (!readNumber(value.substr(slash + 1).c_str(), shard, MaxShards, settings.shards)) return 0;
        settings.shard = shard - 1;
        return 1;
    }
    return 0;
}

int growCommand(int argc, char** argv) {
    if (argc < 4) return usage();
    GrowSettings settings = DefaultGrowSettings;
    std::string header = "#";
    for (int i = 0; i < argc; i++) header += std::string(" ") + argv[i];
    for (int i = 4; i < argc; i++) {
        if (!readGrowSetting(argv[i], settings)) return usage();
    }
    std::string text;
    if (!readWholeFile(argv[2], text)) {
        std::fprintf(stderr, "quorvel-book: cannot read %s\n", argv[2]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[3], "w");
    if (out == nullptr) {
        std::fprintf(stderr, "quorvel-book: cannot write %s\n", argv[3]);
        return 1;
    }
    static SearchEngine engine;  // too large for the stack
    allocateHashTable(engine.table, GrowHashExponent);
    const int analysed = growBook(engine, text, argv[2], settings, header, out, stderr);
    releaseHashTable(engine.table);
    const int written = std::ferror(out) == 0;
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "quorvel-book: cannot write %s\n", argv[3]);
        return 1;
    }
    if (analysed < 0) return 1;
    std::printf("%s: %d positions\n", argv[3], analysed);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerStandardArguments(argc, argv, {"quorvel-book", Usage, ListedOptions, Options});
    if (answered != ArgumentsForProgram) return answered;
    if (argc < 2) return usage();
    buildPopCount();
    buildTables();
    if (std::strcmp(argv[1], "build") == 0) return buildCommand(argc, argv);
    if (std::strcmp(argv[1], "probe") == 0) return probeCommand(argc, argv);
    if (std::strcmp(argv[1], "check") == 0) return checkCommand(argc, argv);
    if (std::strcmp(argv[1], "grow") == 0) return growCommand(argc, argv);
    return usage();
}
