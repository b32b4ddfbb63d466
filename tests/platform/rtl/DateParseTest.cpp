#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"

namespace {

// Pins the clock to 2026-05-10 so that short years and missing years are predictable.
class DateParseTest : public testing::Test {
 protected:
  void SetUp() override {
    savedNow_ = ClockNow();
    savedTicks_ = GetTickCount();
    VirtualClock::Set(EncodeDate(2026, 5, 10) + EncodeTime(9, 0, 0, 0), savedTicks_);
  }
  void TearDown() override { VirtualClock::Set(savedNow_, savedTicks_); }

 private:
  TDateTime savedNow_ = 0;
  uint32_t savedTicks_ = 0;
};

struct TDateCase {
  const char* Text;
  int Year, Month, Day;  // 0 = not a date
};

void ExpectDates(const TFormatSettings& s, const TDateCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const TDateCase& c = cases[i];
    SCOPED_TRACE(c.Text);
    TDateTime value = -12345;
    const bool ok = TryStrToDate(c.Text, value, s);
    if (c.Year == 0) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(value, -12345);
    } else {
      ASSERT_TRUE(ok);
      EXPECT_EQ(value, EncodeDate(c.Year, c.Month, c.Day));
    }
  }
}

TEST_F(DateParseTest, YearMonthDayOrderFromTheDefaultSettings) {
  const TDateCase cases[] = {
      {"2024-02-29", 2024, 2, 29},
      {"2024/2/29", 2024, 2, 29},
      {"2024.02.29", 2024, 2, 29},
      {"  2024 - 2 - 29  ", 2024, 2, 29},
      {"2024-02-29-", 2024, 2, 29},
      {"0075-1-2", 75, 1, 2},
      {"75-1-2", 2075, 1, 2},
      {"80-1-2", 1980, 1, 2},
      {"76-1-2", 1976, 1, 2},
      {"5-1-2", 2005, 1, 2},
      {"3-4", 2026, 3, 4},
      {"2023-02-29", 0, 0, 0},
      {"2024-13-01", 0, 0, 0},
      {"2024-02", 0, 0, 0},
      {"20245-1-1", 0, 0, 0},
      {"2024-02-29 x", 0, 0, 0},
      {"2024:02:29", 0, 0, 0},
      {"", 0, 0, 0},
      {"-", 0, 0, 0},
      {"abc", 0, 0, 0},
      {"2024--02-29", 0, 0, 0},
  };
  ExpectDates(TFormatSettings(), cases, std::size(cases));
}

TEST_F(DateParseTest, MonthDayAndDayMonthOrders) {
  TFormatSettings mdy = TFormatSettings::Invariant();
  const TDateCase us[] = {{"02/29/2024", 2024, 2, 29}, {"2/3", 2026, 2, 3}, {"12/31/99", 1999, 12, 31}};
  ExpectDates(mdy, us, std::size(us));

  TFormatSettings dmy = TFormatSettings::Invariant();
  dmy.ShortDateFormat = "dd.MM.yyyy";
  dmy.DateSeparator = ".";
  const TDateCase de[] = {{"29.02.2024", 2024, 2, 29}, {"3.2", 2026, 2, 3}, {"1/2/03", 2003, 2, 1}};
  ExpectDates(dmy, de, std::size(de));

  // A quoted literal in the format does not decide the order.
  TFormatSettings quoted = TFormatSettings::Invariant();
  quoted.ShortDateFormat = "'Year' yyyy/MM/dd";
  const TDateCase q[] = {{"2024/2/29", 2024, 2, 29}};
  ExpectDates(quoted, q, std::size(q));
}

TEST_F(DateParseTest, CenturyWindow) {
  TFormatSettings s;
  s.TwoDigitYearCenturyWindow = 0;  // no window: the current century
  const TDateCase none[] = {{"75-1-2", 2075, 1, 2}, {"99-1-2", 2099, 1, 2}, {"00-1-1", 2000, 1, 1}};
  ExpectDates(s, none, std::size(none));
  s.TwoDigitYearCenturyWindow = 10;  // base 2016
  const TDateCase ten[] = {{"16-1-1", 2016, 1, 1}, {"15-1-1", 2115, 1, 1}, {"99-1-1", 2099, 1, 1}};
  ExpectDates(s, ten, std::size(ten));
}

TEST_F(DateParseTest, Times) {
  TFormatSettingsScope scope{TFormatSettings()};
  const struct {
    const char* Text;
    int H, N, S, Ms;  // H < 0: not a time
  } cases[] = {
      {"13:05", 13, 5, 0, 0},
      {"13:05:07", 13, 5, 7, 0},
      {"13:05:07.009", 13, 5, 7, 9},
      {"7", 7, 0, 0, 0},
      {" 1:05 pm ", 13, 5, 0, 0},
      {"1:05 PM", 13, 5, 0, 0},
      {"12:00 am", 0, 0, 0, 0},
      {"12:30 PM", 12, 30, 0, 0},
      {"下午 1:05", 13, 5, 0, 0},
      {"1:05 上午", 1, 5, 0, 0},
      {"AM 9:15", 9, 15, 0, 0},
      {"23:59:59.999", 23, 59, 59, 999},
      {"24:00", -1, 0, 0, 0},
      {"13:60", -1, 0, 0, 0},
      {"13:05 pm", -1, 0, 0, 0},
      {"0:10 am", -1, 0, 0, 0},
      {"13:", -1, 0, 0, 0},
      {"13:05:07.", -1, 0, 0, 0},
      {"13:05:07.1000", -1, 0, 0, 0},
      {"", -1, 0, 0, 0},
      {"pm", -1, 0, 0, 0},
      {"13:05 x", -1, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TDateTime value = -1;
    const bool ok = TryStrToTime(c.Text, value);
    if (c.H < 0) {
      EXPECT_FALSE(ok);
      continue;
    }
    ASSERT_TRUE(ok);
    EXPECT_EQ(value, EncodeTime(c.H, c.N, c.S, c.Ms));
  }
}

TEST_F(DateParseTest, DateAndTime) {
  TFormatSettingsScope scope{TFormatSettings()};
  EXPECT_EQ(StrToDateTime("2024-02-29 13:05:07"), EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 7, 0));
  EXPECT_EQ(StrToDateTime("2024-02-29"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(StrToDateTime("2024-02-29 1:05 pm"), EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0));
  EXPECT_EQ(StrToDateTime("2024-02-29 下午 1:05"), EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0));
  EXPECT_EQ(StrToDateTime("13:05"), EncodeTime(13, 5, 0, 0));
  // Before day 0 the time still moves forward within the day.
  EXPECT_EQ(StrToDateTime("1899-12-29 06:00"), -1.25);
  TDateTime value = 7;
  EXPECT_FALSE(TryStrToDateTime("2024-02-29 25:00", value));
  EXPECT_FALSE(TryStrToDateTime("2024-02-29 13:05 junk", value));
  EXPECT_EQ(value, 7);
}

TEST_F(DateParseTest, RoundTripsWhatFormatDateTimeWrites) {
  TFormatSettingsScope scope{TFormatSettings()};
  for (int day = -1000; day < 80000; day += 997) {
    const TDateTime v = day >= 0 ? day + EncodeTime(day % 24, day % 60, day % 59, 0)
                                 : day - EncodeTime(-day % 24, -day % 60, 0, 0);
    SCOPED_TRACE(DateTimeToStr(v));
    EXPECT_EQ(StrToDateTime(DateTimeToStr(v)), v);
    EXPECT_EQ(StrToDate(DateToStr(v)), DateOf(v));
  }
}

TEST_F(DateParseTest, ErrorsCarryTheLibraryMessages) {
  TFormatSettingsScope scope{TFormatSettings()};
  const struct {
    TDateTime (*Parse)(const std::string&);
    const char* Text;
    const char* Message;
  } cases[] = {
      {[](const std::string& s) { return StrToDate(s); }, "2024-02-30", "'2024-02-30' is not a valid date"},
      {[](const std::string& s) { return StrToTime(s); }, "25:00", "'25:00' is not a valid time"},
      {[](const std::string& s) { return StrToDateTime(s); }, "soon", "'soon' is not a valid date and time"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    try {
      c.Parse(c.Text);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  EXPECT_EQ(StrToDateDef("nope", 42), 42);
  EXPECT_EQ(StrToDateDef("2000-1-1", 42), 36526);
  EXPECT_EQ(StrToDateTimeDef("nope", 42), 42);
}

TEST_F(DateParseTest, BlankAndEmptySeparators) {
  TFormatSettings s = TFormatSettings::Invariant();
  s.ShortDateFormat = "dd MM yyyy";
  s.DateSeparator = " ";
  const TDateCase blank[] = {{"29 02 2024", 2024, 2, 29}, {"29/02/2024", 2024, 2, 29}};
  ExpectDates(s, blank, std::size(blank));
  s.DateSeparator = "";
  const TDateCase empty[] = {{"29-02-2024", 2024, 2, 29}, {"29 02 2024", 0, 0, 0}};
  ExpectDates(s, empty, std::size(empty));
}

}  // namespace
