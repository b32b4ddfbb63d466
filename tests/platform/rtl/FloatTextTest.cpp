#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

TEST(FloatTextTest, FloatToStrGeneralFifteenDigits) {
  TFormatSettingsScope scope{TFormatSettings()};
  const struct {
    long double Value;
    const char* Expected;
  } cases[] = {
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {1e15, "1E15"},
      {999999999999999.0, "999999999999999"},
      {1e14, "100000000000000"},
      {1e-5, "1E-5"},
      {0.0001, "0.0001"},
      {0.00009, "9E-5"},
      {123456789012345678.0L, "1.23456789012346E17"},
      {-0.0, "0"},
      {0, "0"},
      {-1.5, "-1.5"},
      {100, "100"},
      {0.1 + 0.2, "0.3"},
      {1.5e-10, "1.5E-10"},
      {1e300, "1E300"},
      {9.9999999999999999e14L, "1E15"},  // rounds up past the precision
      {std::numeric_limits<double>::max(), "1.79769313486232E308"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {std::numeric_limits<long double>::max(), "1.18973149535723E4932"},
      {kNaN, "NAN"},
      {kInf, "INF"},
      {-kInf, "-INF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(FloatToStr(c.Value), c.Expected);
  }
}

TEST(FloatTextTest, FloatToStrFFormats) {
  const TFormatSettings s = TFormatSettings::Invariant();
  const struct {
    long double Value;
    TFloatFormat Format;
    int Precision, Digits;
    const char* Expected;
  } cases[] = {
      {1234.5, ffFixed, 15, 2, "1234.50"},
      {1234.5, ffNumber, 15, 2, "1,234.50"},
      {1234.5, ffNumber, 15, 0, "1,235"},
      {-1234567.891, ffNumber, 15, 1, "-1,234,567.9"},
      {0.5, ffFixed, 15, 0, "1"},
      {-0.001, ffFixed, 15, 2, "0.00"},
      {1.23456, ffFixed, 3, 4, "1.2300"},  // no more digits than the precision
      {123456, ffFixed, 4, 2, "1.235E5"},  // integer part wider than the precision
      {1e20, ffNumber, 15, 2, "1E20"},
      {1.005, ffFixed, 15, 2, "1.00"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {1234.5, ffExponent, 15, 0, "1.23450000000000E+3"},
      {0.00012, ffExponent, 3, 3, "1.20E-004"},
      {0, ffExponent, 3, 2, "0.00E+00"},
      {-5, ffExponent, 1, 0, "-5E+0"},
      {1234.5678, ffGeneral, 6, 0, "1234.57"},
      {1234567, ffGeneral, 4, 0, "1.235E6"},
      {0.00001234, ffGeneral, 15, 2, "1.234E-05"},
      {1.5, ffGeneral, 0, 0, "2"},                          // precision below 1 counts as 1
      {1.0 / 3, ffGeneral, 30, 0, "0.333333333333333315"},  // at most 18 digits
      {kNaN, ffFixed, 15, 2, "NAN"},
      {-kInf, ffCurrency, 15, 2, "-INF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, s), c.Expected);
  }
}

// Doubles whose shortest digits stand in for the 18 rounded ones, and those that must not:
// more digits than the precision, cut decimals, ties, subnormal-adjacent, extended-only values.
TEST(FloatTextTest, FloatToStrFShortestDigitsGiveTheSameTexts) {
  TFormatSettings comma = TFormatSettings::Invariant();
  comma.DecimalSeparator = ",";
  comma.ThousandSeparator = ".";
  const struct {
    long double Value;
    TFloatFormat Format;
    int Precision, Digits;
    bool Comma;
    const char* Expected;
  } cases[] = {
      {-1234.5678, ffGeneral, 15, 0, false, "-1234.5678"},
      {-0.0, ffFixed, 15, 2, false, "0.00"},
      {-0.0, ffExponent, 3, 2, false, "0.00E+00"},
      {0.1 + 0.2, ffGeneral, 17, 0, false, "0.30000000000000004"},
      {0.09999999999999999, ffGeneral, 15, 0, false, "0.1"},
      {999999999999999.9, ffGeneral, 15, 0, false, "1E15"},
      {123456789012.125, ffGeneral, 15, 0, false, "123456789012.125"},
      {1.7976931348623157e308, ffExponent, 15, 3, false, "1.79769313486232E+308"},
      {2.2250738585072014e-308, ffGeneral, 15, 0, false, "2.2250738585072E-308"},
      {0.125, ffFixed, 15, 2, false, "0.13"},
      {2.675, ffFixed, 15, 2, false, "2.67"},
      {1.005, ffNumber, 15, 2, false, "1.00"},
      {0.0009995, ffFixed, 15, 3, false, "0.001"},
      {9.5, ffFixed, 1, 0, false, "1E1"},
      {1.490116119384765625e-8L, ffGeneral, 18, 0, false, "1.49011611938476562E-8"},  // a tie at digit 18
      {9007199254740993.0L, ffGeneral, 18, 0, false, "9007199254740993"},             // no double holds it
      {-1234567.891, ffNumber, 15, 2, true, "-1.234.567,89"},
      {0.000015, ffGeneral, 15, 0, true, "1,5E-5"},
      {12345.678, ffFixed, 15, 2, true, "12345,68"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(
        FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, c.Comma ? comma : TFormatSettings::Invariant()),
        c.Expected);
  }
}

TEST(FloatTextTest, CurrencyPatterns) {
  TFormatSettings s;  // "¥", grouping ",", NegCurrFormat 2
  const char* const positive[] = {"¥1,234.50", "1,234.50¥", "¥ 1,234.50", "1,234.50 ¥"};
  for (int f = 0; f < 4; ++f) {
    SCOPED_TRACE(f);
    s.CurrencyFormat = f;
    EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, s), positive[f]);
    EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345000), ffCurrency, 2, s), positive[f]);
  }
  const char* const negative[] = {"(¥1,234.50)", "-¥1,234.50",  "¥-1,234.50",   "¥1,234.50-",
                                  "(1,234.50¥)", "-1,234.50¥",  "1,234.50-¥",   "1,234.50¥-",
                                  "-1,234.50 ¥", "-¥ 1,234.50", "1,234.50 ¥-",  "¥ 1,234.50-",
                                  "¥ -1,234.50", "1,234.50- ¥", "(¥ 1,234.50)", "(1,234.50 ¥)"};
  for (int f = 0; f < 16; ++f) {
    SCOPED_TRACE(f);
    s.NegCurrFormat = f;
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, s), negative[f]);
    EXPECT_EQ(CurrToStrF(Currency::FromRaw(-12345000), ffCurrency, 2, s), negative[f]);
  }
  s.NegCurrFormat = 99;  // out of range: the plain leading minus
  EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 0, s), "-¥1");
}

TEST(FloatTextTest, CurrToStrWithDefaultSettings) {
  TFormatSettingsScope scope{TFormatSettings()};
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345000), ffCurrency, 2), "¥1,234.50");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(-12345000), ffCurrency, 2), "¥-1,234.50");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(10050), ffFixed, 2), "1.01");  // exact 1.005
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(-49), ffFixed, 2), "0.00");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(12345)), "1.2345");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(1)), "0.0001");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(0)), "0");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(INT64_MAX)), "922337203685477.5807");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(INT64_MIN)), "-922337203685477.5808");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(INT64_MIN), ffNumber, 4), "-922,337,203,685,477.5808");
}

TEST(FloatTextTest, DecimalSeparatorFollowsTheSettingsButNotForInvariantText) {
  TFormatSettings comma = TFormatSettings::Invariant();
  comma.DecimalSeparator = ",";
  comma.ThousandSeparator = ".";
  TFormatSettingsScope scope{comma};
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  EXPECT_EQ(FloatToStr(1.5e-7), "1,5E-7");
  EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 1), "1.234,5");
  EXPECT_EQ(FloatToStrInvariant(1.5), "1.5");
  EXPECT_EQ(FloatToStrInvariant(1234567.25), "1234567.25");
  EXPECT_EQ(StrToFloat("1,5"), 1.5L);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
}

TEST(FloatTextTest, StrToFloatAcceptsTheDocumentedSyntax) {
  const TFormatSettings s = TFormatSettings::Invariant();
  const struct {
    const char* Text;
    long double Expected;
  } cases[] = {
      {"1.5", 1.5L},
      {" 1.5 ", 1.5L},
      {"\t-1.5e3\n", -1500.0L},
      {"+.5", 0.5L},
      {"5.", 5.0L},
      {"1E300", 1e300L},
      {"1e-5", 1e-5L},
      {"0.1", 0.1L},
      {"000123", 123.0L},
      {"1.25E+2", 125.0L},
      {"-0", -0.0L},
      {"1e-5000", 0.0L},
      {"1e4000", 1e4000L},
      {"123456789012345678901234567890", 123456789012345678901234567890.0L},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    long double v = 0;
    ASSERT_TRUE(TryStrToFloat(c.Text, v, s));
    EXPECT_EQ(v, c.Expected);
    EXPECT_EQ(StrToFloat(c.Text, s), c.Expected);
  }
}

TEST(FloatTextTest, StrToFloatRejectsEverythingElse) {
  TFormatSettingsScope scope{TFormatSettings::Invariant()};
  const char* const cases[] = {
      "",      "   ",   "1,5", "1,000.5", "e5",     "1e",  "1e+",    "--1",
      "1.2.3", "0x10",  ".",   "-",       "1.5abc", "1 5", "1e5000", "1e99999999999999999999",
      "$1",    "1_000", "inf", "-INF",    "NaN"};
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    long double v = 42;
    EXPECT_FALSE(TryStrToFloat(text, v));
    EXPECT_EQ(v, 42);
    try {
      StrToFloat(text);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + text + "' is not a valid floating point value");
    }
  }
  EXPECT_EQ(StrToFloatDef("junk", 7), 7);
  EXPECT_EQ(StrToFloatDef("8", 7), 8);
  EXPECT_THROW(StrToFloat(std::string("1\0"
                                      "2",
                                      3)),
               EConvertError);
}

TEST(FloatTextTest, TryStrToFloatForDoubles) {
  TFormatSettingsScope scope{TFormatSettings::Invariant()};
  double d = 1;
  EXPECT_TRUE(TryStrToFloat("1.7976931348623157e308", d));
  EXPECT_EQ(d, std::numeric_limits<double>::max());
  d = 1;
  EXPECT_FALSE(TryStrToFloat("1e400", d));  // fits an extended, not a double
  EXPECT_EQ(d, 1);
  EXPECT_TRUE(TryStrToFloat("0.1", d));
  EXPECT_EQ(d, 0.1);
}

TEST(FloatTextTest, LongMantissasParseAndStayCorrectlyRounded) {
  const TFormatSettings s = TFormatSettings::Invariant();
  EXPECT_EQ(StrToFloat("0." + std::string(4000, '0') + "1", s), 1e-4001L);
  EXPECT_EQ(StrToFloat("1" + std::string(6000, '0') + "e-6000", s), 1.0L);
  // 1 + 2^-64 lies exactly halfway between 1 and the next extended value: a tie goes to
  // the even neighbour, anything beyond it (however far down the digits) goes up.
  const std::string half = "1." + std::string(19, '0') + "542101086242752217003726400434970855712890625";
  EXPECT_EQ(StrToFloat(half, s), 1.0L);
  EXPECT_EQ(StrToFloat(half + std::string(5000, '0') + "1", s), std::nextafter(1.0L, 2.0L));
}

// Short plain or exponent texts are read without the C library: the value must still be the
// nearest one, on both sides of that shortcut's bounds.
TEST(FloatTextTest, ShortTextsReadAsTheNearestValue) {
  const TFormatSettings s = TFormatSettings::Invariant();
  std::vector<std::string> texts = {"-0.3", "1e28", "1e-28", "18446744073709551615",
                                    "9999999999999999999e27"};
  uint64_t state = 0x2545F4914F6CDD1Dull;
  for (int i = 0; i < 2000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    std::string m = std::to_string(state >> (state % 40));
    texts.push_back(i % 2 ? m.insert(state % (m.size() + 1), ".")
                          : m + "e" + std::to_string(static_cast<int>(state % 61) - 30));
  }
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(StrToFloat(text, s), std::strtold(text.c_str(), nullptr));
  }
}

TEST(FloatTextTest, FifteenDigitTextsRoundTrip) {
  const TFormatSettings s = TFormatSettings::Invariant();
  uint64_t state = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 5000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    double x;
    const uint64_t bits = state & 0x7FEFFFFFFFFFFFFFull;  // finite
    std::memcpy(&x, &bits, sizeof x);
    const std::string text = FloatToStr(i % 2 ? -x : x, s);
    SCOPED_TRACE(text);
    ASSERT_EQ(FloatToStr(StrToFloat(text, s), s), text);
  }
}

TEST(FloatTextTest, StrToCurrIsExactAndRoundsTiesToEven) {
  TFormatSettingsScope scope{TFormatSettings::Invariant()};
  const struct {
    const char* Text;
    int64_t Raw;
  } cases[] = {
      {"1234.5", 12345000},
      {"0.00005", 0},
      {"0.00015", 2},
      {"0.000151", 2},
      {"0.00025", 2},
      {"-0.00025", -2},
      {"0.000250001", 3},
      {"1.0049999", 10050},
      {"922337203685477.5807", INT64_MAX},
      {"-922337203685477.5808", INT64_MIN},
      {"1e3", 10000000},
      {"1e-5", 0},
      {" -12.5 ", -125000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    Currency value;
    ASSERT_TRUE(TryStrToCurr(c.Text, value));
    EXPECT_EQ(value.Raw(), c.Raw);
  }
  const char* const bad[] = {
      "922337203685477.5808", "-922337203685477.5809", "1e20", "INF", "NAN", "", "1,5"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    Currency value = Currency::FromRaw(7);
    EXPECT_FALSE(TryStrToCurr(text, value));
    EXPECT_EQ(value.Raw(), 7);
  }
  try {
    StrToCurr("abc");
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
}

TEST(FloatTextTest, RoundTiesToEvenAndTruncation) {
  const struct {
    long double X;
    Int64 Round, Trunc;
  } cases[] = {
      {2.5, 2, 2},
      {3.5, 4, 3},
      {-2.5, -2, -2},
      {-3.5, -4, -3},
      {0.5, 0, 0},
      {1.5, 2, 1},
      {2.4999, 2, 2},
      {-2.7, -3, -2},
      {1e18, 1000000000000000000, 1000000000000000000},
      {-9223372036854775808.0L, INT64_MIN, INT64_MIN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.X));
    EXPECT_EQ(Round(c.X), c.Round);
    EXPECT_EQ(Trunc(c.X), c.Trunc);
  }
  const long double bad[] = {kNaN, kInf, -kInf, 9223372036854775808.0L, -9.3e18L};
  for (long double x : bad) {
    SCOPED_TRACE(static_cast<double>(x));
    EXPECT_THROW(Round(x), EInvalidOp);
    EXPECT_THROW(Trunc(x), EInvalidOp);
  }
  EXPECT_EQ(Int(-2.75L), -2.0L);
  EXPECT_EQ(Frac(-2.75L), -0.75L);
  EXPECT_EQ(Frac(2.75L), 0.75L);
}

TEST(FloatTextTest, SimpleRoundToHalvesAwayFromZero) {
  const struct {
    long double Value;
    int Digit;
    long double Expected;
  } cases[] = {
      {2.5, 0, 3},
      {-2.5, 0, -3},
      {1250, 2, 1300},
      {-1250, 2, -1300},
      {1234.5678, -2, 1234.57L},
      {0.125, -2, 0.13L},
      {-0.125, -2, -0.13L},
      {1234.4, 0, 1234},
      {5, 1, 10},
      {4.9, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(c.Value) << " to " << c.Digit);
    EXPECT_NEAR(static_cast<double>(SimpleRoundTo(c.Value, c.Digit)), static_cast<double>(c.Expected), 1e-12);
  }
  EXPECT_NEAR(static_cast<double>(SimpleRoundTo(1234.5678L)), 1234.57, 1e-12);  // default: cents
}

}  // namespace
