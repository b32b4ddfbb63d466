// The date-time edit format language: parsing formats into elements and masks, display formats,
// reading typed text, merging parts into values, section stepping and the date helpers.
#include "grid/editors/DateTimeFormatEh.h"

#include <gtest/gtest.h>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/MaskUtils.h"

namespace {

// Pins "today" to 2026-03-15 10:20:30 and the locale to known separators and window.
class DateTimeFormat : public ::testing::Test {
 protected:
  void SetUp() override {
    savedNow_ = ClockNow();
    savedTick_ = GetTickCount();
    VirtualClock::Set(EncodeDate(2026, 3, 15) + EncodeTime(10, 20, 30, 0));
  }
  void TearDown() override { VirtualClock::Set(savedNow_, savedTick_); }

  static TFormatSettings Locale(const std::string& shortDate, const std::string& dateSep, int window = 50) {
    TFormatSettings s;
    s.ShortDateFormat = shortDate;
    s.DateSeparator = dateSep;
    s.TimeSeparator = ":";
    s.TwoDigitYearCenturyWindow = window;
    return s;
  }

  static TDateTimeElementsEh Parse(const std::string& format, std::string* mask = nullptr) {
    TDateTimeElementsEh e;
    std::string m;
    ParseEditFormatEh(format, e, m);
    if (mask) *mask = m;
    return e;
  }

  static std::string ErrorOf(const std::string& format) {
    try {
      Parse(format);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }

  static std::string Show(const Variant& v) {
    if (v.IsNull()) return "Null";
    return FormatDateTime("yyyy-mm-dd hh:nn:ss", v.AsDateTime());
  }

  static Variant At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return Variant::FromDate(EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0));
  }

 private:
  TDateTime savedNow_ = 0;
  uint32_t savedTick_ = 0;
};

TEST_F(DateTimeFormat, ParsesFormatsIntoElementsAndMasks) {
  struct Case {
    const char* format;
    const char* mask;
    std::array<int, 6> pos;  // -1 absent
    std::array<int, 6> len;
  };
  const Case cases[] = {
      {"DD/MM/YYYY", "!99/99/9999;1; ", {7, 4, 1, -1, -1, -1}, {4, 2, 2, -1, -1, -1}},
      {"DD.MM.YYYY HH:NN", "!99.99.9999 99:99;1; ", {7, 4, 1, 12, 15, -1}, {4, 2, 2, 2, 2, -1}},
      {"hh:nn:ss", "!99:99:99;1; ", {-1, -1, -1, 1, 4, 7}, {-1, -1, -1, 2, 2, 2}},
      {"yy-Mm-dD", "!99-99-99;1; ", {1, 4, 7, -1, -1, -1}, {2, 2, 2, -1, -1, -1}},
      // An escaped letter is literal text; the backslash takes no position.
      {"\\D DD", "!D 99;1; ", {-1, -1, 3, -1, -1, -1}, {-1, -1, 2, -1, -1, -1}},
      // Mask characters in the format stay literal, except right after a backslash.
      {"DD A\\0", "!99 \\A0;1; ", {-1, -1, 1, -1, -1, -1}, {-1, -1, 2, -1, -1, -1}},
      {"DD#<>!;c9l_", "!99\\#\\<\\>\\!\\;\\c\\9\\l\\_;1; ", {-1, -1, 1, -1, -1, -1}, {-1, -1, 2, -1, -1, -1}},
      // An escaped backslash stays a literal backslash.
      {"DD\\\\MM", "!99\\\\99;1; ", {-1, 4, 1, -1, -1, -1}, {-1, 2, 2, -1, -1, -1}},
      // Positions count characters, not bytes.
      {"YYYY年MM月DD日", "!9999年99月99日;1; ", {1, 6, 9, -1, -1, -1}, {4, 2, 2, -1, -1, -1}},
      {"", "!;1; ", {-1, -1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    std::string mask;
    const TDateTimeElementsEh e = Parse(c.format, &mask);
    EXPECT_EQ(mask, c.mask);
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(e[i].Pos, c.pos[i]);
      EXPECT_EQ(e[i].Length, c.len[i]);
      EXPECT_EQ(e[i].Present, c.pos[i] != -1);
    }
  }
}

TEST_F(DateTimeFormat, ParseErrorsCarryExactTextsAndLeaveOutputsAlone) {
  const std::pair<const char*, const char*> cases[] = {
      {"D/M/YYYY", "Invalid datetime format element length: \"D\""},
      {"DDD", "Element in EditFormat: \"DDD\" is too long. Pos: 3"},
      {"DD/MM/YYYYY", "Element in EditFormat: \"DD/MM/YYYYY\" is too long. Pos: 11"},
      {"DD/MM/DD", "Duplicating datetime format element: \"D\""},
      {"dd/mm/dd", "Duplicating datetime format element: \"D\""},
      {"YYY", "Invalid datetime format element length: \"Y\""},
      {"DD/MM/Y", "Invalid datetime format element length: \"Y\""},
      {"HH:N", "Invalid datetime format element length: \"N\""},
      {"\\DDD/MM/DD", "Duplicating datetime format element: \"D\""},
  };
  for (const auto& [format, message] : cases) {
    SCOPED_TRACE(format);
    EXPECT_EQ(ErrorOf(format), message);
  }
  TDateTimeElementsEh e = Parse("DD/MM/YYYY");
  std::string mask = "kept";
  EXPECT_THROW(ParseEditFormatEh("DD/MM/DD", e, mask), Exception);
  EXPECT_EQ(mask, "kept");
  EXPECT_EQ(e[dteYearEh].Pos, 7);
}

TEST_F(DateTimeFormat, DisplayFormatsAndSectionTemplates) {
  const std::array<const char*, 3> cases[] = {
      {"DD.MM.YYYY", "DD'.'MM'.'YYYY", "DD MM YYYY"},
      {"dd/mm/yy hh:nn:ss", "DD/MM/YY' 'HH:NN:SS", "DD/MM/YY HH:NN:SS"},
      {"\\D DD", "'D 'DD", "  DD"},
      {"DD 'at' HH", "DD' ''at'' 'HH", "DD      HH"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    EXPECT_EQ(EditFormatToDisplayFormatEh(c[0]), c[1]);
    EXPECT_EQ(EditFormatToSectionTemplateEh(c[0]), c[2]);
  }
  // The display format drives the platform formatting with the locale separators.
  TFormatSettingsScope scope(Locale("dd.MM.yyyy", "."));
  EXPECT_EQ(FormatDateTime(EditFormatToDisplayFormatEh("DD/MM/YYYY HH:NN"), EncodeDate(2024, 2, 9) + 0.5),
            "09.02.2024 12:00");
  EXPECT_EQ(FormatDateTime(EditFormatToDisplayFormatEh("YYYY-MM-DD"), EncodeDate(2024, 2, 9)), "2024-02-09");
}

TEST_F(DateTimeFormat, DateHelpers) {
  EXPECT_EQ(CurrentYearEh(), 2026);
  const std::array<int, 3> months[] = {{2024, 2, 29}, {2023, 2, 28},  {1900, 2, 28}, {2000, 2, 29},
                                       {2024, 4, 30}, {2024, 12, 31}, {2024, 13, 0}, {2024, 0, 0}};
  for (const auto& m : months) {
    SCOPED_TRACE(m[0] * 100 + m[1]);
    EXPECT_EQ(DaysInMonthEh(m[0], m[1]), m[2]);
  }
  {
    TFormatSettingsScope scope(Locale("dd/MM/yyyy", "/", 50));
    EXPECT_EQ(ExpandTwoDigitYearEh(30), 2030);
    EXPECT_EQ(ExpandTwoDigitYearEh(80), 1980);
    EXPECT_EQ(ExpandTwoDigitYearEh(76), 1976);
    EXPECT_EQ(ExpandTwoDigitYearEh(100), 100);
  }
  {
    TFormatSettingsScope scope(Locale("dd/MM/yyyy", "/", 0));
    EXPECT_EQ(ExpandTwoDigitYearEh(80), 2080);
  }
  int h = -3, n = 75, s = 60;
  ClampTimeEh(h, n, s);
  EXPECT_EQ(h * 10000 + n * 100 + s, 5959);
  h = 30;
  ClampTimeEh(h, n, s);
  EXPECT_EQ(h, 23);

  int y = -1, mo = 2, d = 31;
  CompleteDateEh(y, mo, d);
  EXPECT_EQ(y * 10000 + mo * 100 + d, 20260228);
  y = 24, mo = 14, d = 0;
  CompleteDateEh(y, mo, d);
  EXPECT_EQ(y * 10000 + mo * 100 + d, 20241215);
  y = 12000, mo = 0, d = 40;
  CompleteDateEh(y, mo, d);
  EXPECT_EQ(y * 10000 + mo * 100 + d, 99990331);

  TDateTime t = 0;
  EXPECT_FALSE(TryEncodeDateEh(2023, 2, 29, t));
  EXPECT_FALSE(TryEncodeDateEh(0, 1, 1, t));
  EXPECT_FALSE(TryEncodeDateEh(10000, 1, 1, t));
  EXPECT_TRUE(TryEncodeDateEh(2024, 2, 29, t));
  EXPECT_EQ(t, EncodeDate(2024, 2, 29));
  EXPECT_FALSE(TryEncodeTimeEh(24, 0, 0, 0, t));
  EXPECT_FALSE(TryEncodeTimeEh(0, -1, 0, 0, t));
  EXPECT_FALSE(TryEncodeTimeEh(0, 0, 0, 1000, t));
  EXPECT_TRUE(TryEncodeTimeEh(23, 59, 59, 999, t));
}

TEST_F(DateTimeFormat, DefaultFormatsFollowTheLocaleDateOrder) {
  struct Case {
    const char* shortDate;
    const char* four;
    const char* two;
  };
  const Case cases[] = {{"M/d/yyyy", "MM/DD/YYYY", "MM/DD/YY"},
                        {"dd.MM.yyyy", "DD/MM/YYYY", "DD/MM/YY"},
                        {"yyyy-MM-dd", "YYYY/MM/DD", "YY/MM/DD"},
                        {"yy/MM/dd", "YYYY/MM/DD", "YY/MM/DD"},
                        {"'x' ", "DD/MM/YYYY", "DD/MM/YY"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shortDate);
    TFormatSettingsScope scope(Locale(c.shortDate, "/"));
    EXPECT_EQ(DefaultDateEditFormatEh(true), c.four);
    EXPECT_EQ(DefaultDateEditFormatEh(false), c.two);
  }
  EXPECT_EQ(DefaultTimeEditFormatEh(), "HH:NN:SS");
  EXPECT_EQ(GetDateOrderEh("mdy"), doMDYEh);
}

TEST_F(DateTimeFormat, ElementTextToNumber) {
  const std::pair<const char*, int> cases[] = {
      {"12", 12}, {" 7", 7},  {"1 2", 12}, {"  ", -1},          {"", -1},
      {"1a", -1}, {"-1", -1}, {"0005", 5}, {"99999999999", -1}, {"\xE4\xB8\x80", -1}};
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ElementTextToIntEh(text), value);
  }
}

TEST_F(DateTimeFormat, TextToDateParts) {
  TFormatSettingsScope scope(Locale("dd/MM/yyyy", "/", 50));
  struct Case {
    const char* format;
    const char* text;
    bool ok;
    TDateTimePartsEh parts;
  };
  const Case cases[] = {
      {"DD/MM/YYYY", "09/02/2024", true, {2024, 2, 9, -1, -1, -1}},
      {"DD/MM/YY", "09/02/30", true, {2030, 2, 9, -1, -1, -1}},
      {"DD/MM/YY", "09/02/80", true, {1980, 2, 9, -1, -1, -1}},
      {"DD/MM/YYYY", "09/  /    ", false, {-1, -1, 9, -1, -1, -1}},
      {"HH:NN", "1 :05", true, {-1, -1, -1, 1, 5, -1}},
      {"DD/MM/YYYY", "09/0", false, {-1, 0, 9, -1, -1, -1}},  // text shorter than the mask
      {"YYYY年MM月DD日", "2024年02月09日", true, {2024, 2, 9, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDateTimePartsEh parts{};
    EXPECT_EQ(TextToDatePartsEh(c.text, Parse(c.format), parts), c.ok);
    EXPECT_EQ(parts, c.parts);
  }
}

TEST_F(DateTimeFormat, DatePartsToValueMergesIntoTheOldValue) {
  TFormatSettingsScope scope(Locale("dd/MM/yyyy", "/", 50));
  struct Case {
    const char* format;
    const char* text;
    Variant old;
    bool complete;
    bool ok;
    const char* result;
  };
  const Case cases[] = {
      {"DD/MM/YYYY", "09/02/2024", At(2020, 5, 6, 13, 14, 15), false, true, "2024-02-09 13:14:15"},
      {"DD/MM/YYYY", "09/02/2024", Null(), false, true, "2024-02-09 00:00:00"},
      {"DD/MM/YYYY", "  /  /    ", At(2020, 5, 6), false, true, "Null"},
      {"DD/MM/YYYY", "31/02/2024", At(2020, 5, 6), false, false, "Null"},
      {"DD/MM/YYYY", "09/  /    ", At(2020, 5, 6), false, false, "Null"},
      // Completing takes missing parts from today and clamps the day to the month.
      {"DD/MM/YYYY", "09/  /    ", At(2020, 5, 6), true, true, "2026-03-09 00:00:00"},
      {"DD/MM/YYYY", "31/02/    ", Null(), true, true, "2026-02-28 00:00:00"},
      {"DD/MM/YYYY", "40/13/2024", Null(), true, true, "2024-12-31 00:00:00"},
      {"HH:NN:SS", "25:61:  ", At(2020, 5, 6, 1, 2, 3), true, true, "2020-05-06 23:59:00"},
      // A time format keeps the stored date; a Null value starts from 1900-01-01.
      {"HH:NN", "08:30", At(2020, 5, 6, 1, 2, 3), false, true, "2020-05-06 08:30:03"},
      {"HH:NN", "08:30", Null(), false, true, "1900-01-01 08:30:00"},
      {"HH:NN", "24:00", Null(), false, false, "Null"},
      // The kept day is clamped to the days of the month the format shows.
      {"MM/YYYY", "02/2024", At(2024, 1, 31, 9, 0, 0), false, true, "2024-02-29 09:00:00"},
      {"MM/YYYY", "04/2023", At(2024, 1, 31), true, true, "2023-04-30 00:00:00"},
      {"MM/YYYY", "02/2023", At(2024, 3, 30), false, true, "2023-02-28 00:00:00"},
      {"YYYY", "2023", At(2024, 2, 29), false, true, "2023-02-28 00:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.text + (c.complete ? " complete" : ""));
    const TDateTimeElementsEh e = Parse(c.format);
    TDateTimePartsEh parts{};
    TextToDatePartsEh(c.text, e, parts);
    Variant value = c.old;
    EXPECT_EQ(DatePartsToValueEh(parts, e, value, c.complete), c.ok);
    EXPECT_EQ(Show(value), c.result);
  }
}

TEST_F(DateTimeFormat, DatePartsToValueKeepsNegativeDatesWithTheirTime) {
  const TDateTimeElementsEh e = Parse("HH:NN");
  TDateTimePartsEh parts{-1, -1, -1, 6, 0, -1};
  Variant value = At(1899, 12, 29);
  ASSERT_TRUE(DatePartsToValueEh(parts, e, value, false));
  EXPECT_DOUBLE_EQ(value.AsDateTime(), -1.25);
}

TEST_F(DateTimeFormat, StepSectionWrapsEachElement) {
  struct Case {
    const char* format;
    const char* text;
    int caret;
    bool up;
    const char* result;
    int selStart;
    int selLength;
  };
  const Case cases[] = {
      {"DD/MM/YYYY", "15/01/2024", 3, false, "15/12/2024", 3, 2},
      {"DD/MM/YYYY", "31/02/2024", 0, true, "01/02/2024", 0, 2},
      {"DD/MM/YYYY", "01/02/2024", 1, false, "31/02/2024", 0, 2},
      {"DD/MM/YYYY", "15/12/2024", 2, true, "15/01/2024", 3, 2},   // separator: the section right of it
      {"DD/MM/YYYY", "15/12/9999", 10, true, "15/12/0001", 6, 4},  // caret at the end: last section
      {"DD/MM/YYYY", "15/12/0001", 7, false, "15/12/9999", 6, 4},
      {"DD/MM/YYYY", "  /12/2024", 0, true, "01/12/2024", 0, 2},
      {"DD/MM/YY", "15/12/99", 6, true, "15/12/00", 6, 2},
      {"DD/MM/YY", "15/12/00", 6, false, "15/12/99", 6, 2},
      {"DD/MM/YY", "15/12/01", 6, false, "15/12/00", 6, 2},
      {"HH:NN:SS", "10:59:00", 3, true, "10:00:00", 3, 2},
      {"HH:NN:SS", "00:01:00", 3, false, "00:00:00", 3, 2},
      {"HH:NN:SS", "01:00:00", 0, false, "00:00:00", 0, 2},
      {"HH:NN:SS", "00:00:00", 0, false, "23:00:00", 0, 2},
      {"HH:NN:SS", "00:00:00", 7, false, "00:00:59", 6, 2},
      {"HH:NN:SS", "00:00:75", 7, false, "00:00:59", 6, 2},
      {"HH:NN", "10:3", 3, true, "10:04", 3, 2},  // short text is padded
      {"YYYY年MM月DD日", "2024年01月31日", 5, true, "2024年02月31日", 5, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.text + " @" + std::to_string(c.caret) +
                 (c.up ? " up" : " down"));
    TStepSectionResultEh r;
    ASSERT_TRUE(StepSectionEh(c.format, c.text, c.caret, c.up, r));
    EXPECT_EQ(r.Text, c.result);
    EXPECT_EQ(r.SelStart, c.selStart);
    EXPECT_EQ(r.SelLength, c.selLength);
  }
  TStepSectionResultEh r;
  EXPECT_FALSE(StepSectionEh("DD  MM", "01  02", 2, true, r));
  EXPECT_FALSE(StepSectionEh("", "", 0, true, r));
}

TEST_F(DateTimeFormat, SectionAtCaretUsesTheGivenFormat) {
  // In a time format the separator keys must find time sections, whatever the default date format.
  TFormatSettingsScope scope(Locale("dd/MM/yyyy", "/"));
  const std::array<int, 4> cases[] = {{0, 0, 2, 1}, {2, 3, 2, 1}, {3, 3, 2, 1}, {6, 6, 2, 1}, {8, 6, 2, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    int start = -1, length = -1;
    ASSERT_TRUE(SectionAtCaretEh("HH:NN:SS", c[0], start, length));
    EXPECT_EQ(start, c[1]);
    EXPECT_EQ(length, c[2]);
  }
  int start = -1, length = -1;
  ASSERT_TRUE(SectionAtCaretEh("YYYY/MM/DD", 0, start, length));
  EXPECT_EQ(length, 4);
}

TEST_F(DateTimeFormat, MaskLiteralsFollowLocaleSeparatorsWhileDisplayFormatsAgree) {
  for (const char* sep : {"-", ".", "/"}) {
    SCOPED_TRACE(sep);
    TFormatSettingsScope scope(Locale("yyyy-MM-dd", sep));
    const std::string format = DefaultDateEditFormatEh(true);
    EXPECT_EQ(format, "YYYY/MM/DD");
    const TDateTimeElementsEh e = Parse(format);
    const std::string text = FormatDateTime(EditFormatToDisplayFormatEh(format), EncodeDate(2024, 2, 9));
    EXPECT_EQ(text, std::string("2024") + sep + "02" + sep + "09");
    TDateTimePartsEh parts{};
    ASSERT_TRUE(TextToDatePartsEh(text, e, parts));
    Variant v = Null();
    ASSERT_TRUE(DatePartsToValueEh(parts, e, v, false));
    EXPECT_EQ(Show(v), "2024-02-09 00:00:00");
  }
}

TEST_F(DateTimeFormat, FormattedTextFitsTheMaskAndReadsBack) {
  // The editor shows a value formatted with the display format inside the mask built from the
  // same edit format: the mask must keep that text as it is and the elements must find the parts.
  TFormatSettingsScope scope(Locale("dd.MM.yyyy", "."));
  const TDateTime when = EncodeDate(2024, 2, 9) + EncodeTime(7, 5, 3, 0);
  // Components a format does not show come from the old value, 2000-01-01 00:00:00.
  const std::pair<const char*, const char*> cases[] = {
      {"DD/MM/YYYY HH:NN:SS", "2024-02-09 07:05:03"}, {"YYYY-MM-DD", "2024-02-09 00:00:00"},
      {"DD_MM a YY", "2024-02-09 00:00:00"},          {"\\D DD; HH#NN", "2000-01-09 07:05:00"},
      {"MM/YYYY (Cl9!)", "2024-02-01 00:00:00"},      {"YYYY年MM月DD日", "2024-02-09 00:00:00"}};
  for (const auto& [format, expected] : cases) {
    SCOPED_TRACE(format);
    std::string mask;
    const TDateTimeElementsEh e = Parse(format, &mask);
    const std::string text = FormatDateTime(EditFormatToDisplayFormatEh(format), when);
    EXPECT_EQ(FormatMaskText(mask, text), text);
    TDateTimePartsEh parts{};
    ASSERT_TRUE(TextToDatePartsEh(text, e, parts));
    Variant v = At(2000, 1, 1, 0, 0, 0);
    ASSERT_TRUE(DatePartsToValueEh(parts, e, v, true));
    EXPECT_EQ(Show(v), expected);
  }
}

}  // namespace
