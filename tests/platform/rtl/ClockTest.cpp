#include <gtest/gtest.h>

#include "platform/rtl/Clock.h"

namespace {

constexpr double kMsPerDay = 86400000.0;

TEST(ClockTest, SetFixesTheDateAndTheTickCount) {
  VirtualClock::Set(45000.5, 1000);
  EXPECT_EQ(GetTickCount(), 1000u);
  EXPECT_DOUBLE_EQ(ClockNow(), 45000.5);
}

TEST(ClockTest, AdvanceMovesTicksAndDateTogether) {
  VirtualClock::Set(45000.0, 0);
  VirtualClock::Advance(1500);
  VirtualClock::Advance(500);
  EXPECT_EQ(GetTickCount(), 2000u);
  EXPECT_NEAR(ClockNow(), 45000.0 + 2000 / kMsPerDay, 1e-9);
  // A whole day of ticks is a whole day of date.
  VirtualClock::Advance(86400000u);
  EXPECT_NEAR(ClockNow(), 45001.0 + 2000 / kMsPerDay, 1e-9);
}

TEST(ClockTest, TheTickCountWrapsLikeTheSystemOne) {
  VirtualClock::Set(45000.0, 0xFFFFFFF0u);
  VirtualClock::Advance(0x20);
  EXPECT_EQ(GetTickCount(), 0x10u);
  EXPECT_NEAR(ClockNow(), 45000.0 + 0x20 / kMsPerDay, 1e-9);
}

}  // namespace
