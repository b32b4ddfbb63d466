#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"

namespace {

struct TSerialCase {
  Word Year, Month, Day;
  double Serial;
};

TEST(DateTimeTest, EncodeDateKnownSerials) {
  const TSerialCase cases[] = {
      {1899, 12, 30, 0},   {1899, 12, 31, 1},    {1900, 1, 1, 2},     {1899, 12, 29, -1},
      {2000, 1, 1, 36526}, {2024, 2, 29, 45351}, {1, 1, 1, -693593},  {9999, 12, 31, 2958465},
      {1900, 3, 1, 61},    {2000, 3, 1, 36586},  {1970, 1, 1, 25569}, {2100, 3, 1, 73110},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Year << "-" << c.Month << "-" << c.Day);
    EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Serial);
    Word y, m, d;
    DecodeDate(c.Serial, y, m, d);
    EXPECT_EQ(y, c.Year);
    EXPECT_EQ(m, c.Month);
    EXPECT_EQ(d, c.Day);
  }
}

TEST(DateTimeTest, InvalidDatesRaiseWithTheLibraryMessage) {
  const Word cases[][3] = {{2023, 2, 29}, {1900, 2, 29}, {0, 1, 1},    {10000, 1, 1},
                           {2024, 13, 1}, {2024, 0, 1},  {2024, 1, 0}, {2024, 4, 31}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << "-" << c[1] << "-" << c[2]);
    TDateTime out = 123;
    EXPECT_FALSE(TryEncodeDate(c[0], c[1], c[2], out));
    EXPECT_EQ(out, 123);
    try {
      EncodeDate(c[0], c[1], c[2]);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
  }
}

TEST(DateTimeTest, EveryDayRoundTripsAndFollowsTheLastOne) {
  Word prevY = 0, prevM = 0, prevD = 0;
  for (int serial = -693593; serial <= 2958465; ++serial) {
    Word y, m, d;
    DecodeDate(serial, y, m, d);
    if (serial > -693593) {
      const bool nextDay = y == prevY && m == prevM && d == prevD + 1;
      const bool nextMonth = y == prevY && m == prevM + 1 && d == 1 && prevD == MonthDays(prevY, prevM);
      const bool nextYear = y == prevY + 1 && m == 1 && d == 1 && prevM == 12 && prevD == 31;
      if (!(nextDay || nextMonth || nextYear)) {
        ADD_FAILURE() << "serial " << serial << " decodes to " << y << "-" << m << "-" << d;
        return;
      }
    }
    if (EncodeDate(y, m, d) != serial) {
      ADD_FAILURE() << "serial " << serial << " does not round-trip";
      return;
    }
    prevY = y, prevM = m, prevD = d;
  }
  EXPECT_EQ(prevY, 9999);
}

TEST(DateTimeTest, LeapYearsAndMonthDays) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(MonthDays(2024, 2), 29);
  EXPECT_EQ(MonthDays(2100, 2), 28);
  EXPECT_EQ(MonthDays(2024, 0), 0);
  EXPECT_EQ(MonthDays(2024, 13), 0);
}

TEST(DateTimeTest, EncodeAndDecodeTime) {
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  const Word cases[][4] = {{0, 0, 0, 0}, {13, 5, 7, 9}, {23, 59, 59, 999}, {1, 2, 3, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << ":" << c[1] << ":" << c[2] << "." << c[3]);
    Word h, n, s, ms;
    DecodeTime(EncodeTime(c[0], c[1], c[2], c[3]), h, n, s, ms);
    EXPECT_EQ(h, c[0]);
    EXPECT_EQ(n, c[1]);
    EXPECT_EQ(s, c[2]);
    EXPECT_EQ(ms, c[3]);
  }
  const Word bad[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const auto& c : bad) {
    SCOPED_TRACE(testing::Message() << c[0] << ":" << c[1] << ":" << c[2] << "." << c[3]);
    try {
      EncodeTime(c[0], c[1], c[2], c[3]);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
  }
}

TEST(DateTimeTest, NegativeValuesKeepThePositiveTimeFraction) {
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(-1.25, y, m, d, h, n, s, ms);
  EXPECT_EQ(y, 1899);
  EXPECT_EQ(m, 12);
  EXPECT_EQ(d, 29);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(n, 0);
  // Between -1 and 0 the day is day 0 itself.
  DecodeDateTime(-0.75, y, m, d, h, n, s, ms);
  EXPECT_EQ(d, 30);
  EXPECT_EQ(h, 18);
}

TEST(DateTimeTest, MillisecondRoundingCarriesIntoTheNextDay) {
  const TDateTime almostMidnight = EncodeDate(2024, 12, 31) + (MSecsPerDay - 0.4) / MSecsPerDay;
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(almostMidnight, y, m, d, h, n, s, ms);
  EXPECT_EQ(y, 2025);
  EXPECT_EQ(m, 1);
  EXPECT_EQ(d, 1);
  EXPECT_EQ(h + n + s + ms, 0);
}

TEST(DateTimeTest, OutOfRangeValuesDecodeToZeros) {
  const double cases[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e300,
                          -1e300,
                          2958466.5,
                          -693594.5};
  for (double v : cases) {
    SCOPED_TRACE(v);
    Word y = 1, m = 1, d = 1, h = 1, n = 1, s = 1, ms = 1;
    DecodeDateTime(v, y, m, d, h, n, s, ms);
    EXPECT_EQ(y + m + d + h + n + s + ms, 0);
    const int dow = DayOfWeek(v);
    EXPECT_GE(dow, 1);
    EXPECT_LE(dow, 7);
  }
}

TEST(DateTimeTest, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 29)), 5);  // Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3)), 1);   // Sunday
  EXPECT_EQ(DayOfWeek(0), 7);                        // 1899-12-30, Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);      // Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3) + 0.99), 1);
}

TEST(DateTimeTest, DateOfAndTimeOf) {
  const TDateTime v = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 7, 0);
  EXPECT_EQ(DateOf(v), EncodeDate(2024, 2, 29));
  EXPECT_NEAR(TimeOf(v), EncodeTime(13, 5, 7, 0), 1e-9);
}

TEST(DateTimeTest, NowDateAndTimeFollowTheVirtualClock) {
  const TDateTime savedNow = ClockNow();
  const uint32_t savedTicks = GetTickCount();
  const TDateTime moment = EncodeDate(2030, 6, 15) + EncodeTime(8, 30, 0, 0);
  VirtualClock::Set(moment, 1000);
  EXPECT_NEAR(Now(), moment, 1e-9);
  EXPECT_EQ(Date(), EncodeDate(2030, 6, 15));
  EXPECT_NEAR(Time(), EncodeTime(8, 30, 0, 0), 1e-9);
  VirtualClock::Advance(16 * 3600 * 1000);  // past midnight
  EXPECT_EQ(Date(), EncodeDate(2030, 6, 16));
  EXPECT_NEAR(Time(), EncodeTime(0, 30, 0, 0), 1e-9);
  VirtualClock::Set(savedNow, savedTicks);
}

}  // namespace
