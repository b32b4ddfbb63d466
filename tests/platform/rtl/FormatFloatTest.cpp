#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"

namespace {

struct TFloatCase {
  const char* Format;
  long double Value;
  const char* Expected;
};

void ExpectAll(const TFloatCase* cases, size_t count, const TFormatSettings& s) {
  for (size_t i = 0; i < count; ++i) {
    const TFloatCase& c = cases[i];
    SCOPED_TRACE(testing::Message() << "\"" << c.Format << "\" of " << static_cast<double>(c.Value));
    EXPECT_EQ(FormatFloat(c.Format, c.Value, s), c.Expected);
  }
}

TEST(FormatFloatTest, KnownOutputs) {
  TFormatSettingsScope scope{TFormatSettings()};
  const TFloatCase cases[] = {
      {"#,##0.00", 1234.5, "1,234.50"},
      {"0.00", -0.001, "0.00"},
      {"#.##", 0, ""},
      {"0.###", 1.5, "1.5"},
      {"000", 7, "007"},
      {"0.00E+00", 12345, "1.23E+04"},
      {"#,##0;(#,##0)", -1234, "(1,234)"},
      {"#,##0;(#,##0)", 1234, "1,234"},
      {"#,##0;(#,##0)", 0, "0"},
      {"0%", 45, "45%"},
      {"0.00", 1.005, "1.00"},  // the double is 1.00499999999999989...
      {"0.00", 1.005L, "1.01"},
      {"0.00", 2.675, "2.67"},
      {"0", 0.5, "1"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", 1e17, "100000000000000000"},
      {"#,##0", 999999999999999999.0L, "999,999,999,999,999,999"},
      {"0.00", 1e18, "1E18"},
      {"#,##0", -1.5e20, "-1.5E20"},
  };
  ExpectAll(cases, std::size(cases), FormatSettings());
}

TEST(FormatFloatTest, DigitPlaceholders) {
  const TFloatCase cases[] = {
      {"0", 1234.567, "1235"},
      {"#", 0, ""},
      {"#", 0.4, ""},
      {"0", 0.4, "0"},
      {"#.##", 0.5, ".5"},
      {"#.00", 0, ".00"},
      {".00", 12.5, "12.50"},
      {"0.", 1, "1"},
      {"00.00", 1.5, "01.50"},
      {"0.#0", 1.5, "1.50"},
      {"#.0#", 3, "3.0"},
      {"0.000", 0.0005, "0.001"},
      {"0.0000", 0.0005, "0.0005"},
      {"0.#####", 0.00012, "0.00012"},
      {"0-00", 12345, "123-45"},
      {"00-00", 5, "00-05"},
      {"##x##", 5, "x5"},  // literals are always written
      {"000,000", 5, "000,005"},
      {"#,###", 1234567, "1,234,567"},
      {"#,###", 123, "123"},
      {"0,000.00", 1234567.891, "1,234,567.89"},
      {"###0.0,0", 1234.5, "1234.50"},  // a "," after the point does not group
      {"0.00", 999.995, "1000.00"},
      {"0.0", 0.96, "1.0"},
      {"#", 9.5, "10"},
  };
  ExpectAll(cases, std::size(cases), TFormatSettings::Invariant());
}

TEST(FormatFloatTest, Sections) {
  const TFloatCase cases[] = {
      {"0.00;(0.00);'zero'", 1.5, "1.50"},
      {"0.00;(0.00);'zero'", -1.5, "(1.50)"},
      {"0.00;(0.00);'zero'", 0, "zero"},
      {"0.00;(0.00);'zero'", -0.001, "zero"},  // rounds to zero: zero section
      {"0.00;(0.00);'zero'", 0.004, "zero"},
      {"0;;0.0", -3, "-3"},     // empty negative section: the first one with a minus
      {"0.0;-0.0;", 0, "0.0"},  // empty zero section: the first one
      {"0;(0)", 0, "0"},        // two sections: zero takes the first
      {"0;(0)", -0.4, "0"},     // rounds to zero in the negative section
      {"#;(#)", -0.4, ""},
      {"0;(0);z;ignored", 0, "z"},
      {"'a;b'0;x0", -5, "x5"},  // quoted semicolons do not split
      {"'a;b'0;x0", 5, "a;b5"},
      {"$#,##0.00", -5, "-$5.00"},
      {"\"pre\"0\"post\"", 7, "pre7post"},
      {"0 'unterminated", 7, "7 unterminated"},
      {"abc", 5, "abc"},
      {"abc", -5, "-abc"},
  };
  ExpectAll(cases, std::size(cases), TFormatSettings::Invariant());
}

TEST(FormatFloatTest, Scientific) {
  const TFloatCase cases[] = {
      {"0.00E+00", 12345, "1.23E+04"},  {"0.00E+00", 0.00012345, "1.23E-04"},
      {"0.00E-00", 12345, "1.23E04"},   {"0.00e-00", 0.00012345, "1.23e-04"},
      {"0.00E+00", 0, "0.00E+00"},      {"0.00E+00", -12345, "-1.23E+04"},
      {"0.##E+0", 12000, "1.2E+4"},     {"##0.0E+0", 12345, "123.5E+2"},
      {"0E+000", 9.6, "1E+001"},        {"0.00E+00", 9.999, "1.00E+01"},
      {"0.0E+00000", 1, "1.0E+0000"},                       // at most four exponent digits
      {"0.00E+00", 1e300, "1.00E+300"}, {"0 E", 5, "5 E"},  // no sign after the E: a literal
  };
  ExpectAll(cases, std::size(cases), TFormatSettings::Invariant());
}

TEST(FormatFloatTest, LocaleSeparators) {
  TFormatSettings s = TFormatSettings::Invariant();
  s.DecimalSeparator = ",";
  s.ThousandSeparator = ".";
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, s), "1.234.567,50");
  s.ThousandSeparator = "";
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, s), "1234567,50");
  s.ThousandSeparator = "\xC2\xA0";  // a two-byte no-break space
  s.DecimalSeparator = "\xC2\xB7";
  EXPECT_EQ(FormatFloat("#,##0.0", 1234.5, s),
            "1\xC2\xA0"
            "234\xC2\xB7"
            "5");
}

TEST(FormatFloatTest, EmptyFormatAndSpecialValues) {
  const TFormatSettings s = TFormatSettings::Invariant();
  EXPECT_EQ(FormatFloat("", 1.0 / 3, s), "0.333333333333333");
  EXPECT_EQ(FormatFloat("", 1e15, s), "1E15");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<long double>::quiet_NaN(), s), "NAN");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<long double>::infinity(), s), "INF");
  EXPECT_EQ(FormatFloat("0.00;(0.00)", -std::numeric_limits<long double>::infinity(), s), "-INF");
}

TEST(FormatFloatTest, HugePicturesStayBounded) {
  const TFormatSettings s = TFormatSettings::Invariant();
  const std::string zeros(5000, '0');
  EXPECT_EQ(FormatFloat(zeros, 42, s).size(), 5000u);
  const std::string text = FormatFloat("0." + zeros, 0.5, s);
  EXPECT_EQ(text.size(), 5002u);
  EXPECT_EQ(text.substr(0, 4), "0.50");
  EXPECT_EQ(FormatFloat("#." + std::string(5000, '#'), 0.1, s), ".100000000000000006");
  EXPECT_EQ(FormatFloat(zeros + "E+0", 1, s), "1" + std::string(4999, '0') + "E-4999");
}

struct TCurrCase {
  const char* Format;
  int64_t Raw;
  const char* Expected;
};

TEST(FormatFloatTest, CurrencyIsFormattedFromItsExactDigits) {
  const TCurrCase cases[] = {
      {"#,##0.00", 12345000, "1,234.50"},
      {"0.00", 10050, "1.01"},  // exactly 1.005: no binary error, rounds up
      {"0.00", -10050, "-1.01"},
      {"0.0000", INT64_MAX, "922337203685477.5807"},
      {"#,##0.0000", INT64_MIN, "-922,337,203,685,477.5808"},
      {"0", 5000, "1"},
      {"0.00;(0.00);-", 0, "-"},
      {"0.00;(0.00);-", -49, "-"},
      {"", 12345, "1.2345"},
  };
  const TFormatSettings s = TFormatSettings::Invariant();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Format);
    EXPECT_EQ(FormatCurr(c.Format, Currency::FromRaw(c.Raw), s), c.Expected);
  }
}

}  // namespace
