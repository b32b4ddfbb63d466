#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"

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

// The local calendar fields of the system clock, from the C library, down to the minute.
struct TLocalMinute {
  int Year, Month, Day, Hour, Minute;
  bool operator==(const TLocalMinute&) const = default;
};

TLocalMinute LocalMinuteNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

TLocalMinute LocalMinuteOf(TDateTime value) {
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(value, y, mo, d, h, mi, s, ms);
  return {y, mo, d, h, mi};
}

TEST(ClockTest, SetToSystemTimeGivesTheLocalDateAndTimeAndKeepsTheTicks) {
  // Under several zones, summer time included; the zone is the process's, so it is put back.
  const char* saved = std::getenv("TZ");
  const std::string savedZone = saved ? saved : "";
  for (const char* zone : {"UTC0", "CST-8", "EST5EDT,M3.2.0,M11.1.0", "NZST-12NZDT,M9.5.0,M4.1.0/3"}) {
    SCOPED_TRACE(zone);
    setenv("TZ", zone, 1);
    tzset();
    VirtualClock::Set(46023.375, 5000);
    // A minute may turn between the two readings: then the second try agrees.
    bool agreed = false;
    for (int attempt = 0; attempt < 2 && !agreed; ++attempt) {
      const TLocalMinute before = LocalMinuteNow();
      VirtualClock::SetToSystemTime();
      agreed = LocalMinuteOf(ClockNow()) == before;
    }
    EXPECT_TRUE(agreed);
    EXPECT_EQ(GetTickCount(), 5000u);
  }
  if (saved)
    setenv("TZ", savedZone.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  VirtualClock::Set(46023.375, 0);
}

}  // namespace
