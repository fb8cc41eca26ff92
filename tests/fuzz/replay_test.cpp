// Every input kept in fuzz/: the seeds of each target and the inputs that
// once broke something, replayed through the same functions libFuzzer drives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "targets.h"

namespace {

void replay(const std::string& folder) {
    for (int t = 0; t < FuzzTargetCount; t++) {
        std::filesystem::path directory = std::filesystem::path(QUORVEL_FUZZ_DIR) / folder / FuzzTargets[t].name;
        if (!std::filesystem::is_directory(directory)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
            std::ifstream file(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            const char* fault = FuzzTargets[t].run(bytes.data(), bytes.size());
            EXPECT_EQ(fault, nullptr) << entry.path() << ": " << fault;
        }
    }
}

TEST(FuzzReplay, RegressionInputs) { replay("regressions"); }

TEST(FuzzReplay, SeedInputs) { replay("corpus"); }

}  // namespace
