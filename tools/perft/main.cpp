// quorvel-perft [--divide] DEPTH [FEN]: counts the leaves of the legal move
// tree of a position (the start position by default).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/position.h"
#include "io/command_line.h"
#include "board/tables.h"
#include "movegen/generate.h"
#include "movegen/perft.h"

namespace {

// Deeper trees would take years; the bound also keeps the history far from full.
constexpr int MaxDepth = 32;

constexpr const char* Usage =
    "Usage: quorvel-perft [--divide] DEPTH [FEN]\n"
    "Counts the leaves of the legal move tree of a Xiangqi position to DEPTH\n"
    "(1 to 32) plies, from the start position unless a FEN is given (as one\n"
    "argument or several words), and prints the time, the rate and the count.\n"
    "\n"
    "  --divide   first print each legal root move with its leaves\n"
    "  --help     print this help and exit\n"
    "  --version  print the name and version and exit\n";

constexpr const char* const Options[] = {"--divide", nullptr};

int usage()
{
    std::fprintf(stderr, "usage: quorvel-perft [--divide] DEPTH [FEN]\n");
    return 2;
}

// A plain decimal number 1..MaxDepth, or 0 when the text is anything else.
int parseDepth(const char* text)
{
    if (*text == '\0' || std::strlen(text) > 2)
        return 0;
    int depth = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return 0;
        depth = depth * 10 + (*c - '0');
    }
    return depth <= MaxDepth ? depth : 0;
}


}  // namespace

int main(int argc, char** argv)
{
    const int answered = answerStandardArguments(argc, argv, {"quorvel-perft", Usage, ListedOptions, Options});
    if (answered != ArgumentsForProgram)
        return answered;
    bool divide = false;
    int depth = 0;
    std::string fen;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--divide") == 0) {
            divide = true;
        } else if (depth == 0) {
            depth = parseDepth(argv[i]);
            if (depth == 0)
                return usage();
        } else {
            if (!fen.empty())
                fen += ' ';
            fen += argv[i];
        }
    }
    if (depth == 0)
        return usage();

    buildPopCount();
    buildTables();
    Position position;
    position.setFromFen(fen.empty() ? StartPositionFen : fen.c_str());

    const auto start = std::chrono::steady_clock::now();
    uint64_t leaves = 0;
    if (divide) {
        PerftDivision divisions[MoveListCapacity];
        const int count = perftDivide(position, depth, divisions);
        for (int i = 0; i < count; ++i) {
            char text[4];
            moveToText(divisions[i].move, text);
            std::printf("%.4s: %llu\n", text, static_cast<unsigned long long>(divisions[i].leaves));
            leaves += divisions[i].leaves;
        }
    } else {
        leaves = perft(position, depth);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double rate = seconds > 0 ? static_cast<double>(leaves) / seconds : 0;
    std::printf("time %.3f s, %.0f leaves/s\n", seconds, rate);
    std::printf("nodes %llu\n", static_cast<unsigned long long>(leaves));
    return 0;
}
