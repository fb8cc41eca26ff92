// Every test program works on positions: build the static tables once, as the
// engine does after its handshake.
#include <gtest/gtest.h>

#include "board/tables.h"

namespace {

class TablesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        buildPopCount();
        buildTables();
    }
};

const auto* const Registered = ::testing::AddGlobalTestEnvironment(new TablesEnvironment);

}  // namespace
