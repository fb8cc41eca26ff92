// The command line of the chess runners (cutechess, fastchess) as far as a
// match of two Xiangqi engines needs it, so that testers' scripts carry over.
// What -each gives is a default that an engine's own words override.
#include <cstdlib>
#include <cstring>

#include "match/match.h"

namespace {

// The answer the runner allows past an engine's clock unless timemargin= says
// otherwise: room for the pipes and for a machine busy with other games.
constexpr int64_t DefaultTimeMarginMs = 100;

int readWhole(const std::string& text, int64_t low, int64_t high, int64_t& out) {
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high) return 0;
    out = value;
    return 1;
}

int readNumber(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

// Seconds as "12.5" or "M:SS", to milliseconds; at most a day.
int readSeconds(const std::string& text, int64_t& ms) {
    constexpr double MaxSeconds = 86400;
    size_t colon = text.find(':');
    double minutes = 0, seconds = 0;
    if (colon != std::string::npos) {
        if (!readNumber(text.substr(0, colon), minutes)) return 0;
        if (!readNumber(text.substr(colon + 1), seconds)) return 0;
    } else if (!readNumber(text, seconds)) {
        return 0;
    }
    double total = minutes * 60 + seconds;
    if (!(total >= 0 && total <= MaxSeconds)) return 0;
    ms = static_cast<int64_t>(total * 1000 + 0.5);
    return 1;
}

// tc=[MOVES/]TIME[+INC] or inf.
int readTimeControl(const std::string& text, TimeControl& limits) {
    limits.movesPerPeriod = 0;
    limits.baseMs = limits.incrementMs = 0;
    if (text == "inf" || text == "infinite") return 1;
    std::string rest = text;
    size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        int64_t moves;
        if (!readWhole(rest.substr(0, slash), 1, 1000, moves)) return 0;
        limits.movesPerPeriod = static_cast<int32_t>(moves);
        rest = rest.substr(slash + 1);
    }
    size_t plus = rest.find('+');
    if (plus != std::string::npos) {
        if (!readSeconds(rest.substr(plus + 1), limits.incrementMs)) return 0;
        rest = rest.substr(0, plus);
    }
    return readSeconds(rest, limits.baseMs) && limits.baseMs > 0;
}

// One engine word, key=value or a bare flag.
int readEngineWord(const std::string& word, EngineSettings& engine, std::string& error) {
    size_t equals = word.find('=');
    std::string key = word.substr(0, equals);
    std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
    int64_t number = 0;
    int ok = 1;
    if (key == "cmd") {
        engine.command = value;
    } else if (key == "dir") {
        engine.directory = value;
    } else if (key == "args" || key == "arg") {
        engine.arguments = value;
    } else if (key == "name") {
        engine.name = value;
    } else if (key == "proto") {
        if (value == "ucci") engine.protocol = ProtocolUcci;
        else if (value == "uci") engine.protocol = ProtocolUci;
        else if (value == "xboard" || value == "cecp") engine.protocol = ProtocolXboard;
        else ok = 0;
    } else if (key.compare(0, 7, "option.") == 0 && key.size() > 7) {
        std::string name = key.substr(7);
        for (auto& option : engine.options)
            if (option.first == name) {
                option.second = value;
                return 1;
            }
        engine.options.emplace_back(name, value);
    } else if (key == "tc") {
        ok = readTimeControl(value, engine.limits);
        if (ok) engine.limits.moveTimeMs = 0;
    } else if (key == "st") {
        ok = readSeconds(value, engine.limits.moveTimeMs) && engine.limits.moveTimeMs > 0;
        if (ok) engine.limits.baseMs = engine.limits.incrementMs = engine.limits.movesPerPeriod = 0;
    } else if (key == "depth") {
        ok = readWhole(value, 1, 128, number);
        engine.limits.depth = static_cast<int32_t>(number);
    } else if (key == "nodes") {
        ok = readWhole(value, 1, INT64_C(1) << 50, number);
        engine.limits.nodes = number;
    } else if (key == "ponder") {
        engine.ponder = 1;
    } else if (key == "ranks") {
        ok = readWhole(value, 0, 1, number);
        engine.ranksFromOne = static_cast<int32_t>(number);
    } else if (key == "timemargin") {
        ok = readWhole(value, 0, 3600000, engine.timeMarginMs);
    } else {
        error = "unknown engine setting " + word;
        return 0;
    }
    if (!ok) error = "bad engine setting " + word;
    return ok;
}

// Reads KEY=VALUE words into numbers by name; 0 for a key not in keys.
int readSettings(const std::vector<std::string>& words, const char* const* keys, double* values,
                 std::string& error) {
    for (const std::string& word : words) {
        size_t equals = word.find('=');
        std::string key = word.substr(0, equals);
        int found = 0;
        for (int n = 0; keys[n] != nullptr; n++)
            if (key == keys[n] && equals != std::string::npos && readNumber(word.substr(equals + 1), values[n]))
                found = 1;
        if (!found) {
            error = "bad setting " + word;
            return 0;
        }
    }
    return 1;
}

}  // namespace

int parseMatchArguments(int argc, const char* const* argv, MatchConfig& config, std::string& error) {
    config.openings = OpeningSource{};
    config.adjudication = Adjudication{};
    config.sprt = SprtSettings{0, 0, 5, 0.05, 0.05, SprtNormalized};
    config.rules = RulesAsian;
    config.games = 1;
    config.rounds = 1;
    config.repeat = 0;
    config.concurrency = 1;
    config.shardIndex = 0;
    config.shardCount = 1;
    config.seed = 1;
    config.event = "quorvel-match";
    config.quiet = config.debug = 0;
    config.pgnNotation = NotationCoord;

    std::vector<std::string> engineWords[2], eachWords;
    int engines = 0;
    for (int at = 0; at < argc;) {
        std::string flag = argv[at++];
        std::vector<std::string> words;
        while (at < argc && argv[at][0] != '-') words.push_back(argv[at++]);
        auto single = [&](int64_t low, int64_t high, int64_t& out) {
            if (words.size() == 1 && readWhole(words[0], low, high, out)) return 1;
            error = flag + " needs a number from " + std::to_string(low) + " to " + std::to_string(high);
            return 0;
        };
        int64_t number = 0;
        if (flag == "-engine") {
            if (engines == 2) {
                error = "quorvel-match plays two engines";
                return 0;
            }
            engineWords[engines++] = words;
        } else if (flag == "-each") {
            eachWords.insert(eachWords.end(), words.begin(), words.end());
        } else if (flag == "-games" || flag == "-rounds" || flag == "-concurrency" || flag == "-maxplies") {
            if (!single(1, 100000000, number)) return 0;
            int32_t value = static_cast<int32_t>(number);
            if (flag == "-games") config.games = value;
            if (flag == "-rounds") config.rounds = value;
            if (flag == "-concurrency") config.concurrency = value;
            if (flag == "-maxplies") config.adjudication.maxPlies = value;
        } else if (flag == "-repeat") {
            config.repeat = 1;
        } else if (flag == "-recover") {
            // Crashed engines are always restarted.
        } else if (flag == "-seed" || flag == "-srand") {
            if (!single(0, INT64_MAX, number)) return 0;
            config.seed = static_cast<uint64_t>(number);
        } else if (flag == "-rules") {
            std::string rules = words.size() == 1 ? words[0] : "";
            if (rules == "asian") config.rules = RulesAsian;
            else if (rules == "simple") config.rules = RulesSimple;
            else if (rules == "check") config.rules = RulesCheck;
            else {
                error = "-rules takes asian, simple or check";
                return 0;
            }
        } else if (flag == "-pgnout" || flag == "-results" || flag == "-event") {
            if (words.empty()) {
                error = flag + " needs a value";
                return 0;
            }
            std::string& target = flag == "-pgnout" ? config.pgnFile : flag == "-results" ? config.resultsFile : config.event;
            target = words[0];
            // Other words after the file (cutechess's min, fi) are accepted and ignored.
            for (size_t n = 1; flag == "-pgnout" && n < words.size(); n++) {
                if (words[n].compare(0, 9, "notation=") != 0) continue;
                const int notation = notationFromName(words[n].c_str() + 9);
                if (notation < 0) {
                    error = "-pgnout notation= takes coord, iccs, wxf or chinese";
                    return 0;
                }
                config.pgnNotation = static_cast<MoveNotation>(notation);
            }
        } else if (flag == "-openings") {
            std::string format;
            for (const std::string& word : words) {
                size_t equals = word.find('=');
                std::string key = word.substr(0, equals), value = equals == std::string::npos ? "" : word.substr(equals + 1);
                if (key == "file") config.openings.file = value;
                else if (key == "format" && (value == "epd" || value == "pgn" || value == "wxf" || value == "fen")) format = value;
                else if (key == "order" && (value == "random" || value == "sequential")) config.openings.random = value == "random";
                else if (key == "plies" && readWhole(value, 0, MaxGamePlies, number)) config.openings.maxPlies = static_cast<int32_t>(number);
                else if (key != "start" && key != "policy") {
                    error = "bad -openings setting " + word;
                    return 0;
                }
            }
            const std::string& file = config.openings.file;
            const std::string extension = file.size() >= 4 ? file.substr(file.size() - 4) : "";
            if (format.empty()) format = extension == ".pgn" || extension == ".wxf" ? "pgn" : "epd";
            config.openings.gameFile = format == "pgn" || format == "wxf";
        } else if (flag == "-draw" || flag == "-resign" || flag == "-sprt") {
            static const char* const DrawKeys[] = {"movenumber", "movecount", "score", nullptr};
            static const char* const ResignKeys[] = {"movecount", "score", "twosided", nullptr};
            static const char* const SprtKeys[] = {"elo0", "elo1", "alpha", "beta", nullptr};
            double values[4] = {0, 0, 0, 0};
            Adjudication& rule = config.adjudication;
            if (flag == "-draw") {
                if (!readSettings(words, DrawKeys, values, error)) return 0;
                rule.drawMoveNumber = static_cast<int32_t>(values[0]);
                rule.drawMoveCount = static_cast<int32_t>(values[1]);
                rule.drawScore = static_cast<int32_t>(values[2]);
            } else if (flag == "-resign") {
                if (!readSettings(words, ResignKeys, values, error)) return 0;
                rule.resignMoveCount = static_cast<int32_t>(values[0]);
                rule.resignScore = static_cast<int32_t>(values[1]);
            } else {
                std::vector<std::string> numbers;
                for (const std::string& word : words) {
                    if (word == "model=normalized") config.sprt.model = SprtNormalized;
                    else if (word == "model=logistic") config.sprt.model = SprtLogistic;
                    else numbers.push_back(word);
                }
                values[2] = values[3] = 0.05;
                if (!readSettings(numbers, SprtKeys, values, error)) return 0;
                config.sprt = SprtSettings{1, values[0], values[1], values[2], values[3], config.sprt.model};
                if (!(values[0] < values[1]) || !(values[2] > 0 && values[2] < 0.5) || !(values[3] > 0 && values[3] < 0.5)) {
                    error = "-sprt needs elo0 < elo1 and alpha, beta between 0 and 0.5";
                    return 0;
                }
            }
        } else if (flag == "-shard") {
            int64_t index = 0, count = 0;
            size_t slash = words.size() == 1 ? words[0].find('/') : std::string::npos;
            if (slash == std::string::npos || !readWhole(words[0].substr(slash + 1), 1, 1000000, count) ||
                !readWhole(words[0].substr(0, slash), 1, count, index)) {
                error = "-shard takes K/N with 1 <= K <= N";
                return 0;
            }
            config.shardIndex = static_cast<int32_t>(index - 1);
            config.shardCount = static_cast<int32_t>(count);
        } else if (flag == "-quiet") {
            config.quiet = 1;
        } else if (flag == "-debug") {
            config.debug = 1;
        } else {
            error = "unknown option " + flag;
            return 0;
        }
    }
    // Every game of the match is scheduled up front, a few bytes each.
    constexpr int64_t MaxGames = 10000000;
    if (static_cast<int64_t>(config.games) * config.rounds > MaxGames) {
        error = "at most " + std::to_string(MaxGames) + " games (-games times -rounds)";
        return 0;
    }
    if (engines != 2) {
        error = "quorvel-match needs two -engine";
        return 0;
    }
    for (int n = 0; n < 2; n++) {
        EngineSettings& engine = config.engines[n];
        engine = EngineSettings{};
        engine.protocol = ProtocolUnset;
        engine.timeMarginMs = DefaultTimeMarginMs;
        for (const std::string& word : eachWords)
            if (!readEngineWord(word, engine, error)) return 0;
        for (const std::string& word : engineWords[n])
            if (!readEngineWord(word, engine, error)) return 0;
        if (engine.command.empty() || engine.protocol == ProtocolUnset) {
            error = "each engine needs cmd= and proto=ucci, uci or xboard";
            return 0;
        }
        const TimeControl& limits = engine.limits;
        if (limits.baseMs == 0 && limits.moveTimeMs == 0 && limits.depth == 0 && limits.nodes == 0) {
            error = "each engine needs a limit: tc=, st=, depth= or nodes=";
            return 0;
        }
        if (engine.protocol == ProtocolXboard && limits.nodes > 0) {
            error = "an XBoard engine takes no node limit";
            return 0;
        }
        if (engine.protocol == ProtocolXboard && limits.moveTimeMs % 1000 != 0) {
            error = "an XBoard engine takes st= in whole seconds";
            return 0;
        }
    }
    return 1;
}
