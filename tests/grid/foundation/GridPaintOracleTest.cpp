// The base grid under the paint oracle: random scripts of keys, wheel turns, scroll-bar clicks
// and drags, scroll messages, column and row sizing, cell clicks, the in-place editor and window
// resizes, on grids with fixed, frozen and contra bands; after every step the window must show
// what a full repaint shows. The same scripts run as the fuzz target grid_paint_oracle_fuzz
// (the step bytes printed on a failure make a corpus file for it).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "platform/vcl/VclTesting.h"
#include "tests/grid/foundation/GridPaintScript.h"

namespace {

using grid_paint_script::TScript;
using grid_paint_script::TSetup;

class GridPaintOracleTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetVcl(); }
  void TearDown() override { ResetVcl(); }
};

TEST_F(GridPaintOracleTest, RandomScriptsPaintAsAFullRepaint) {
  struct Case {
    const char* id;
    uint8_t setupA, setupB;  // TSetup::FromBytes
    uint32_t seed;
    int steps;
  } cases[] = {
      {"ledger-bands", 0x00, 0x00, 16, 150},
      {"pixel-scrolling", 0x03, 0x00, 17, 100},
      {"strips-wide-lines-extended", 0xA0, 0x02, 18, 80},
      {"no-contra-no-frozen-row-select", 0x5C, 0x00, 19, 60},
      {"right-to-left-pixel-scrolling", 0x01, 0x01, 20, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ResetVcl();
    TScript script(TSetup::FromBytes(c.setupA, c.setupB), std::string("grid-paint-oracle-") + c.id);
    std::mt19937 random(c.seed);
    int steps = 0;
    std::string report;
    for (; steps < c.steps && report.empty(); ++steps) {
      const auto kind = static_cast<uint8_t>(random() & 0xFF), arg = static_cast<uint8_t>(random() & 0xFF);
      report = script.Step(kind, arg);
    }
    EXPECT_EQ(report, "") << "steps:\n" << script.History();
    EXPECT_EQ(steps, c.steps);
    EXPECT_EQ(script.Oracle().Mismatches(), 0);
  }
}

}  // namespace
