#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"

namespace {

struct TFormatCase {
  const char* Format;
  const char* Expected;
};

// 2024-02-29 (a Thursday) 13:05:07.009
TDateTime Sample() {
  return EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 7, 9);
}

void ExpectAll(TDateTime value, const TFormatCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(cases[i].Format);
    EXPECT_EQ(FormatDateTime(cases[i].Format, value), cases[i].Expected);
  }
}

TEST(FormatDateTimeTest, TokensWithTheDefaultSettings) {
  TFormatSettingsScope scope{TFormatSettings()};
  const TFormatCase cases[] = {
      {"yyyy-mm-dd hh:nn:ss.zzz", "2024-02-29 13:05:07.009"},
      {"yyyy-MM-dd", "2024-02-29"},
      {"YYYY/M/D", "2024-2-29"},
      {"y yy yyy yyyy", "24 24 2024 2024"},
      {"d dd", "29 29"},
      {"m mm mmm mmmm", "2 02 二月 二月"},
      {"ddd", "周四"},
      {"dddd", "星期四"},
      {"ddddd", "2024-02-29"},
      {"dddddd", "2024年2月29日"},
      {"h hh n nn s ss", "13 13 5 05 7 07"},
      {"z zz zzz", "9 09 009"},
      {"t", "13:05"},
      {"tt", "13:05:07"},
      {"c", "2024-02-29 13:05:07"},
      {"", "2024-02-29 13:05:07"},
      {"h:nn am/pm", "1:05 pm"},
      {"h:nn AM/PM", "1:05 PM"},
      {"h:nn Am/Pm", "1:05 Pm"},
      {"h:nn a/p", "1:05 p"},
      {"h:nn ampm", "1:05 下午"},
      {"ampm h:nn", "下午 1:05"},
      {"aaa aaaa", "周四 星期四"},
      {"hh:mm", "13:05"},
      {"hh:mm dd/mm", "13:05 29-02"},
      {"'hh' \"mm\" hh", "hh mm 13"},
      {"yyyy'unterminated", "2024unterminated"},
      {"[yyyy] #%", "[2024] #%"},
      {"e g gg", "2024  "},
      {"年yyyy月", "年2024月"},
      {"ddddddd", "2024年2月29日"},
      {"hhh zzzz", "13 009"},
  };
  ExpectAll(Sample(), cases, std::size(cases));
}

TEST(FormatDateTimeTest, TwelveHourClockEdges) {
  TFormatSettingsScope scope{TFormatSettings()};
  const struct {
    Word Hour;
    const char* Expected;
  } cases[] = {{0, "12:00 am"}, {11, "11:00 am"}, {12, "12:00 pm"}, {23, "11:00 pm"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Hour);
    EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(c.Hour, 0, 0, 0)), c.Expected);
  }
  // A quoted "am/pm" does not switch the clock.
  EXPECT_EQ(FormatDateTime("h 'am/pm'", EncodeTime(23, 0, 0, 0)), "23 am/pm");
}

TEST(FormatDateTimeTest, SeparatorsComeFromTheSettings) {
  TFormatSettings s = TFormatSettings::Invariant();
  s.DateSeparator = ".";
  s.TimeSeparator = "h";
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", Sample(), s), "29.02.2024 13h05");
  s.DateSeparator = "";
  EXPECT_EQ(FormatDateTime("dd/mm", Sample(), s), "2902");
}

TEST(FormatDateTimeTest, InvariantNamesAndNestedFormats) {
  TFormatSettingsScope scope{TFormatSettings::Invariant()};
  const TFormatCase cases[] = {
      {"ddd, d mmm yyyy", "Thu, 29 Feb 2024"},
      {"dddd mmmm", "Thursday February"},
      {"c", "02/29/2024 13:05:07"},
      {"dddddd", "Thursday, 29 February 2024 13:05:07"},
      {"t", "13:05"},
  };
  ExpectAll(Sample(), cases, std::size(cases));
  EXPECT_EQ(DateTimeToStr(Sample()), "02/29/2024 13:05:07");
  EXPECT_EQ(DateToStr(Sample()), "02/29/2024");
  EXPECT_EQ(TimeToStr(Sample()), "13:05:07");
}

TEST(FormatDateTimeTest, DateTimeToStrLeavesOutAMidnightTime) {
  TFormatSettingsScope scope{TFormatSettings()};
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 2, 29)), "2024-02-29");
  EXPECT_EQ(DateTimeToStr(Sample()), "2024-02-29 13:05:07");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 2, 29) + EncodeTime(0, 0, 0, 1)), "2024-02-29 0:00:00");
  EXPECT_EQ(DateToStr(Sample()), "2024-02-29");
  EXPECT_EQ(TimeToStr(Sample()), "13:05:07");
  std::string text;
  DateTimeToString(text, "yyyymmdd", Sample());
  EXPECT_EQ(text, "20240229");
}

TEST(FormatDateTimeTest, RoundsMillisecondsOnceAndNeverPrintsSecondSixty) {
  TFormatSettingsScope scope{TFormatSettings()};
  const TDateTime v = EncodeDate(2024, 12, 31) + (MSecsPerDay - 0.5) / MSecsPerDay;
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v), "2025-01-01 00:00:00.000");
  const TDateTime w = EncodeDate(2024, 1, 1) + (59 * 1000 + 999.6) / MSecsPerDay;
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", w), "00:01:00.000");
}

TEST(FormatDateTimeTest, NegativeDatesAndInvalidValues) {
  TFormatSettingsScope scope{TFormatSettings()};
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", EncodeDate(9999, 12, 31)), "9999-12-31");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", EncodeDate(1, 1, 1)), "0001-01-01");
  // Values without a calendar date raise instead of printing a zero date.
  const double invalid[] = {std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            1e300,
                            EncodeDate(9999, 12, 31) + 1,
                            EncodeDate(1, 1, 1) - 1};
  for (double v : invalid) {
    SCOPED_TRACE(v);
    for (const char* format : {"yyyy-mm-dd", "hh:nn", ""}) {
      try {
        FormatDateTime(format, v);
        ADD_FAILURE() << "no exception for " << format;
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
      }
    }
  }
}

TEST(FormatDateTimeTest, SelfReferringLocaleFormatsDoNotRecurse) {
  TFormatSettings s;
  s.ShortDateFormat = "ddddd/c";
  s.LongTimeFormat = "tt";
  s.LongDateFormat = "dddddd";
  // The nested formats stop one level down: only the separator and the blanks remain.
  EXPECT_EQ(FormatDateTime("c", Sample(), s), "-  ");
  EXPECT_EQ(FormatDateTime("dddddd", Sample(), s), "");
}

}  // namespace
