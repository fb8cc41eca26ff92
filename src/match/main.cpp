#include <cstdio>
#include <string>
#include <vector>

#include "match/match.h"
#include "match/results.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "merge")
        return mergeResultFiles(std::vector<std::string>(argv + 2, argv + argc));
    MatchConfig config;
    std::string error;
    if (argc < 2 || !parseMatchArguments(argc - 1, argv + 1, config, error)) {
        if (!error.empty()) std::fprintf(stderr, "quorvel-match: %s\n", error.c_str());
        std::fprintf(stderr,
                     "usage: quorvel-match -engine cmd=PATH proto=ucci|uci|xboard [name=N] [option.NAME=V] ... -engine ...\n"
                     "         [-each tc=40/60+0.5|st=S|depth=D|nodes=N ponder ranks=1 timemargin=MS]\n"
                     "         [-games N] [-rounds N] [-repeat] [-concurrency N] [-rules asian|simple|check]\n"
                     "         [-openings file=F format=epd|pgn|wxf order=sequential|random plies=N] [-seed N]\n"
                     "         [-draw movenumber=M movecount=N score=D] [-resign movecount=N score=R] [-maxplies N]\n"
                     "         [-sprt elo0=0 elo1=5 alpha=0.05 beta=0.05 [model=normalized|logistic]]\n"
                     "         [-pgnout F [notation=coord|iccs|wxf|chinese]] [-results F.json] [-shard K/N] [-event NAME] [-quiet] [-debug]\n"
                     "       quorvel-match merge RESULTS.json ...\n");
        return 2;
    }
    MatchReport report;
    return runMatch(config, report);
}
