#include <cstdio>
#include <string>
#include <vector>

#include "io/command_line.h"
#include "match/match.h"
#include "match/results.h"

namespace {

constexpr const char* Usage =
    "Usage: quorvel-match -engine cmd=PATH proto=ucci|uci|xboard [name=N] [option.NAME=V] ... -engine ...\n"
    "         [-each tc=40/60+0.5|st=S|depth=D|nodes=N ponder ranks=1 timemargin=MS]\n"
    "         [-games N] [-rounds N] [-repeat] [-concurrency N] [-rules asian|simple|check]\n"
    "         [-openings file=F format=epd|pgn|wxf order=sequential|random plies=N] [-seed N]\n"
    "         [-draw movenumber=M movecount=N score=D] [-resign movecount=N score=R] [-maxplies N]\n"
    "         [-sprt elo0=0 elo1=5 alpha=0.05 beta=0.05 [model=normalized|logistic]]\n"
    "         [-pgnout F [notation=coord|iccs|wxf|chinese]] [-results F.json] [-shard K/N] [-event NAME] [-quiet] [-debug]\n"
    "       quorvel-match merge RESULTS.json ...\n"
    "Plays a match of two Xiangqi engines (UCCI, UCI or XBoard), judging every\n"
    "game by the rules, and prints the score, Elo and SPRT as it goes; merge adds\n"
    "up the results files of the shards of one match.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the name and version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerStandardArguments(argc, argv, {"quorvel-match", Usage, OwnOptions});
    if (answered != ArgumentsForProgram) return answered;
    if (argc >= 2 && std::string(argv[1]) == "merge")
        return mergeResultFiles(std::vector<std::string>(argv + 2, argv + argc));
    if (argc < 2) {
        std::fputs(Usage, stderr);
        return ArgumentsRefused;
    }
    MatchConfig config;
    std::string error;
    if (!parseMatchArguments(argc - 1, argv + 1, config, error)) {
        std::fprintf(stderr, "quorvel-match: %s (see quorvel-match --help)\n", error.c_str());
        return ArgumentsRefused;
    }
    MatchReport report;
    return runMatch(config, report);
}
