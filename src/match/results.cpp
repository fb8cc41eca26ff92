// Writing and reading the results file. The reader is a small JSON parser,
// enough for any file a results writer or a person's editor leaves behind.
#include "match/results.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "match/stats.h"

namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

struct JsonValue {
    enum Kind { Null, Number, String, Array, Object } kind = Null;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    const JsonValue* member(const char* name) const {
        for (const auto& entry : members)
            if (entry.first == name) return &entry.second;
        return nullptr;
    }
};

// Recursive descent; nesting is bounded so that no input can exhaust the stack.
constexpr int MaxJsonDepth = 32;

struct JsonParser {
    const std::string& in;
    size_t at = 0;

    void blanks() {
        while (at < in.size() && std::isspace(static_cast<unsigned char>(in[at]))) at++;
    }
    int literal(const char* word) {
        size_t length = std::char_traits<char>::length(word);
        if (in.compare(at, length, word) != 0) return 0;
        at += length;
        return 1;
    }
    int string(std::string& out) {
        if (at >= in.size() || in[at] != '"') return 0;
        for (at++; at < in.size(); at++) {
            char c = in[at];
            if (c == '"') {
                at++;
                return 1;
            }
            if (c == '\\') {
                if (++at >= in.size()) return 0;
                char e = in[at];
                if (e == 'u') {
                    if (at + 4 >= in.size()) return 0;
                    unsigned long code = std::strtoul(in.substr(at + 1, 4).c_str(), nullptr, 16);
                    out += code < 0x80 ? static_cast<char>(code) : '?';
                    at += 4;
                } else {
                    out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                }
            } else {
                out += c;
            }
        }
        return 0;
    }
    int value(JsonValue& out, int depth) {
        if (depth > MaxJsonDepth) return 0;
        blanks();
        if (at >= in.size()) return 0;
        char c = in[at];
        if (c == '"') {
            out.kind = JsonValue::String;
            return string(out.text);
        }
        if (c == '[' || c == '{') {
            int object = c == '{';
            out.kind = object ? JsonValue::Object : JsonValue::Array;
            at++;
            blanks();
            if (at < in.size() && in[at] == (object ? '}' : ']')) {
                at++;
                return 1;
            }
            for (;;) {
                JsonValue item;
                std::string name;
                if (object) {
                    blanks();
                    if (!string(name)) return 0;
                    blanks();
                    if (at >= in.size() || in[at++] != ':') return 0;
                }
                if (!value(item, depth + 1)) return 0;
                if (object)
                    out.members.emplace_back(name, item);
                else
                    out.items.push_back(item);
                blanks();
                if (at >= in.size()) return 0;
                if (in[at] == ',') {
                    at++;
                    continue;
                }
                if (in[at++] != (object ? '}' : ']')) return 0;
                return 1;
            }
        }
        if (literal("null") || literal("false")) return 1;
        if (literal("true")) {
            out.kind = JsonValue::Number;
            out.number = 1;
            return 1;
        }
        char* end = nullptr;
        out.number = std::strtod(in.c_str() + at, &end);
        if (end == in.c_str() + at) return 0;
        at = static_cast<size_t>(end - in.c_str());
        out.kind = JsonValue::Number;
        return 1;
    }
};

double numberOf(const JsonValue* value, double otherwise) {
    return value != nullptr && value->kind == JsonValue::Number ? value->number : otherwise;
}

}  // namespace

const char* outcomeText(GameOutcome outcome) {
    switch (outcome) {
        case RedWins: return "1-0";
        case BlackWins: return "0-1";
        case GameDrawn: return "1/2-1/2";
        default: return "*";
    }
}

GameOutcome outcomeOfText(const std::string& text) {
    if (text == "1-0") return RedWins;
    if (text == "0-1") return BlackWins;
    if (text == "1/2-1/2") return GameDrawn;
    return GameOngoing;
}

int writeResults(const std::string& path, const MatchConfig& config, const MatchReport& report) {
    MatchTally tally = tallyGames(report.games);
    std::string out = "{\n  \"format\": \"quorvel-match results 1\",\n";
    out += "  \"engines\": [" + quoted(report.names[0]) + ", " + quoted(report.names[1]) + "],\n";
    out += "  \"shard\": \"" + std::to_string(config.shardIndex + 1) + "/" + std::to_string(config.shardCount) + "\",\n";
    char line[256];
    if (config.sprt.enabled) {
        std::snprintf(line, sizeof line,
                      "  \"sprt\": {\"elo0\": %.10g, \"elo1\": %.10g, \"alpha\": %.10g, \"beta\": %.10g, \"model\": \"%s\"},\n",
                      config.sprt.elo0, config.sprt.elo1, config.sprt.alpha, config.sprt.beta,
                      config.sprt.model == SprtNormalized ? "normalized" : "logistic");
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "  \"wins\": %lld, \"losses\": %lld, \"draws\": %lld,\n  \"pentanomial\": [%lld, %lld, %lld, %lld, %lld],\n",
                  static_cast<long long>(tally.wins), static_cast<long long>(tally.losses),
                  static_cast<long long>(tally.draws), static_cast<long long>(tally.pairs[0]),
                  static_cast<long long>(tally.pairs[1]), static_cast<long long>(tally.pairs[2]),
                  static_cast<long long>(tally.pairs[3]), static_cast<long long>(tally.pairs[4]));
    out += line;
    out += "  \"games\": [";
    for (size_t n = 0; n < report.games.size(); n++) {
        const GameResult& game = report.games[n];
        out += n == 0 ? "\n" : ",\n";
        out += "    {\"game\": " + std::to_string(game.index) + ", \"firstIsRed\": " +
               std::to_string(game.firstIsRed) + ", \"result\": \"" + outcomeText(game.outcome) +
               "\", \"termination\": " + quoted(game.termination) + "}";
    }
    out += "\n  ]\n}\n";

    std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return 0;
    int written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    written &= std::fclose(file) == 0;
    return written && std::rename(temporary.c_str(), path.c_str()) == 0;
}

int readResults(const std::string& path, ResultsFile& out, std::string& error) {
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot read " + path;
        return 0;
    }
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    std::fclose(file);

    JsonValue root;
    JsonParser parser{text};
    const JsonValue* format = nullptr;
    const JsonValue* games = nullptr;
    if (parser.value(root, 0)) {
        format = root.member("format");
        games = root.member("games");
    }
    if (format == nullptr || format->text.compare(0, 21, "quorvel-match results") != 0 || games == nullptr ||
        games->kind != JsonValue::Array) {
        error = path + " is not a results file of quorvel-match";
        return 0;
    }
    out = ResultsFile{};
    if (const JsonValue* engines = root.member("engines"))
        for (size_t n = 0; n < 2 && n < engines->items.size(); n++) out.names[n] = engines->items[n].text;
    if (const JsonValue* sprt = root.member("sprt")) {
        out.sprt.enabled = sprt->kind == JsonValue::Object;
        out.sprt.elo0 = numberOf(sprt->member("elo0"), 0);
        out.sprt.elo1 = numberOf(sprt->member("elo1"), 0);
        out.sprt.alpha = numberOf(sprt->member("alpha"), 0.05);
        out.sprt.beta = numberOf(sprt->member("beta"), 0.05);
        const JsonValue* model = sprt->member("model");
        out.sprt.model = model != nullptr && model->text == "logistic" ? SprtLogistic : SprtNormalized;
    }
    for (const JsonValue& item : games->items) {
        GameResult game{};
        const JsonValue* result = item.member("result");
        const JsonValue* termination = item.member("termination");
        game.index = static_cast<int32_t>(numberOf(item.member("game"), -1));
        game.firstIsRed = numberOf(item.member("firstIsRed"), 1) != 0;
        game.outcome = result != nullptr ? outcomeOfText(result->text) : GameOngoing;
        if (termination != nullptr) game.termination = termination->text;
        if (game.index < 0 || game.outcome == GameOngoing) {
            error = path + ": a game without an index or a result";
            return 0;
        }
        out.games.push_back(game);
    }
    return 1;
}

int mergeResultFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        std::fprintf(stderr, "usage: quorvel-match merge RESULTS.json ...\n");
        return 2;
    }
    std::vector<GameResult> all;
    std::set<int32_t> seen;
    ResultsFile first;
    for (size_t n = 0; n < paths.size(); n++) {
        ResultsFile file;
        std::string error;
        if (!readResults(paths[n], file, error)) {
            std::fprintf(stderr, "quorvel-match merge: %s\n", error.c_str());
            return 2;
        }
        if (n == 0) first = file;
        if (file.names[0] != first.names[0] || file.names[1] != first.names[1])
            std::fprintf(stderr, "quorvel-match merge: warning: %s is a match of %s against %s\n", paths[n].c_str(),
                         file.names[0].c_str(), file.names[1].c_str());
        for (const GameResult& game : file.games) {
            if (!seen.insert(game.index).second) {
                std::fprintf(stderr, "quorvel-match merge: game %d is in more than one file (%s)\n", game.index + 1,
                             paths[n].c_str());
                return 2;
            }
            all.push_back(game);
        }
    }
    MatchTally tally = tallyGames(all);
    printSummary(first.names[0] + " vs " + first.names[1], tally, first.sprt);
    return 0;
}
