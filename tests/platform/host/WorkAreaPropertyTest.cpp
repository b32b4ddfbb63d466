// The work area read from a _NET_WORKAREA property that another client wrote: the current
// desktop's quadruple when there is one, else the first; anything malformed means the whole
// screen (an empty rectangle), and huge values cannot overflow.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/host/ScreenInternal.h"
#include "platform/win/Display.h"

namespace {

TEST(TWorkAreaPropertyTest, TheCurrentDesktopsQuadrupleOrTheWholeScreen) {
  struct Case {
    const char* id;
    std::vector<long> values;
    long desktop;
    RECT expected;
  };
  const Case cases[] = {
      {"one-desktop", {0, 24, 1280, 1000}, 0, {0, 24, 1280, 1024}},
      {"second-desktop", {0, 0, 1280, 1024, 40, 0, 1240, 1024}, 1, {40, 0, 1280, 1024}},
      {"desktop-missing", {0, 24, 1280, 1000, 40, 0, 1240, 1024}, 5, {0, 24, 1280, 1024}},
      {"desktop-negative", {0, 24, 1280, 1000}, -1, {0, 24, 1280, 1024}},
      {"partial-quadruple", {0, 24, 1280, 1000, 40, 0}, 1, {0, 24, 1280, 1024}},
      {"empty", {}, 0, {0, 0, 0, 0}},
      {"too-short", {0, 24, 1280}, 0, {0, 0, 0, 0}},
      {"zero-width", {0, 24, 0, 1000}, 0, {0, 0, 0, 0}},
      {"negative-origin", {-10, 0, 1280, 1000}, 0, {0, 0, 0, 0}},
      {"huge",
       {LONG_MAX, LONG_MAX, LONG_MAX, LONG_MAX},
       0,
       {kMaxDisplaySide, kMaxDisplaySide, 2 * kMaxDisplaySide, 2 * kMaxDisplaySide}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(host_internal::WorkAreaFromProperty(c.values.data(), c.values.size(), c.desktop), c.expected);
  }
  EXPECT_EQ(host_internal::WorkAreaFromProperty(nullptr, 4, 0), (RECT{0, 0, 0, 0}));
}

}  // namespace
