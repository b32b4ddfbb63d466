#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct FormatCase {
  const char* name;
  std::string fmt;
  std::vector<TVarRec> args;
  std::string expected;
};

class FormatTest : public testing::TestWithParam<FormatCase> {
 protected:
  TFormatSettingsScope settings_{TFormatSettings()};
};

TEST_P(FormatTest, Produces) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(Format(c.fmt, c.args), c.expected) << c.fmt;
}

INSTANTIATE_TEST_SUITE_P(
    Directives, FormatTest,
    testing::Values(
        FormatCase{"Width", "%3d", {5}, "  5"}, FormatCase{"LeftJustify", "[%-4d]", {5}, "[5   ]"},
        FormatCase{"WidthTooSmall", "%1d", {12345}, "12345"},
        FormatCase{"PrecisionPadsZeros", "%.3d", {7}, "007"},
        FormatCase{"PrecisionNegative", "%.3d", {-7}, "-007"},
        FormatCase{"Int64", "%d", {static_cast<long long>(INT64_MIN)}, "-9223372036854775808"},
        FormatCase{"Unsigned32", "%u", {-1}, "4294967295"}, FormatCase{"Hex", "%.8X", {255}, "000000FF"},
        FormatCase{"HexLowerDirective", "%x", {255}, "FF"},
        FormatCase{"HexNegative32", "%x", {-1}, "FFFFFFFF"}, FormatCase{"UpperDirective", "%D", {3}, "3"},
        FormatCase{"Fixed", "%.2f", {1234.5}, "1234.50"}, FormatCase{"FixedDefault", "%f", {1.0 / 3}, "0.33"},
        FormatCase{"FixedHalfUp", "%.2f", {0.125}, "0.13"},
        FormatCase{"FixedBinaryBelowHalf", "%.2f", {1.005}, "1.00"},
        FormatCase{"FixedCarry", "%.1f", {9.96}, "10.0"}, FormatCase{"FixedZeroDecimals", "%.0f", {2.5}, "3"},
        FormatCase{"FixedNegativeRoundsToZero", "%.2f", {-0.001}, "0.00"},
        FormatCase{"FixedTiny", "%.3f", {0.0006}, "0.001"}, FormatCase{"Number", "%n", {1234.5}, "1,234.50"},
        FormatCase{"NumberMillions", "%.0n", {-1234567.0}, "-1,234,567"},
        FormatCase{"NumberSmall", "%n", {12.0}, "12.00"},
        FormatCase{"Exponent", "%e", {1000.0}, "1.00000000000000E+003"},
        FormatCase{"ExponentPrecision", "%.3e", {-0.000123456}, "-1.23E-004"},
        FormatCase{"ExponentZero", "%.2e", {0.0}, "0.0E+000"}, FormatCase{"General", "%g", {0.1}, "0.1"},
        FormatCase{"GeneralInteger", "%g", {1234.0}, "1234"},
        FormatCase{"GeneralPrecision", "%.3g", {1234.5}, "1.23E003"},
        FormatCase{"GeneralSmall", "%g", {0.0001}, "0.0001"},
        FormatCase{"GeneralTinyIsScientific", "%g", {0.00001}, "1E-005"},
        FormatCase{"GeneralThird", "%g", {1.0 / 3}, "0.333333333333333"},
        FormatCase{"Nan", "%f", {std::numeric_limits<double>::quiet_NaN()}, "NAN"},
        FormatCase{"NegInf", "%g", {-std::numeric_limits<double>::infinity()}, "-INF"},
        FormatCase{"Money", "%m", {1234.5}, "¥1,234.50"}, FormatCase{"MoneyNegative", "%m", {-2.0}, "¥-2.00"},
        FormatCase{"MoneyFromCurrency", "%m", {Currency::FromRaw(123456789)}, "¥12,345.68"},
        FormatCase{"FixedFromCurrency", "%.4f", {Currency::FromRaw(-5)}, "-0.0005"},
        FormatCase{"String", "[%s]", {"abc"}, "[abc]"},
        FormatCase{"StringPrecisionTruncates", "%.2s", {"abcdef"}, "ab"},
        FormatCase{"StringPrecisionByCharacter", "%.2s", {"北京市"}, "北京"},
        FormatCase{"StringWidthByCharacter", "%4s", {"北京"}, "  北京"},
        FormatCase{"Char", "%s%s", {'a', std::string("b")}, "ab"},
        FormatCase{"Index", "%1:s %0:s %s", {"a", "b"}, "b a b"},
        FormatCase{"StarWidth", "%*d", {4, 7}, "   7"}, FormatCase{"StarPrecision", "%.*f", {1, 2.25}, "2.3"},
        FormatCase{"Percent", "100%%", {}, "100%"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(FormatPointerTest, SixteenUpperHexDigits) {
  const void* p = reinterpret_cast<const void*>(uintptr_t{0xABCDEF});
  EXPECT_EQ(Format("%p", {p}), "0000000000ABCDEF");
}

TEST(FormatErrorTest, MismatchesRaise) {
  struct Case {
    std::string fmt;
    std::vector<TVarRec> args;
  } cases[] = {
      {"%d", {"x"}}, {"%d", {1.5}},          {"%s", {1}}, {"%f", {1}},
      {"%d", {}},    {"%s %s", {"a"}},       {"%", {1}},  {"%5", {1}},
      {"%y", {1}},   {"%d", {true}},         {"%p", {1}}, {"%*d", {"x", 1}},
      {"%2:d", {1}}, {"%99999999999d", {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fmt);
    try {
      Format(c.fmt, c.args);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Format '" + c.fmt + "' invalid or incompatible with argument");
    }
  }
}

TEST(FormatSettingsTest, SeparatorsAndCurrencyFollowSettings) {
  TFormatSettings fs;
  fs.DecimalSeparator = ",";
  fs.ThousandSeparator = ".";
  fs.CurrencyString = "€";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.CurrencyDecimals = 1;
  TFormatSettingsScope scope(fs);
  EXPECT_EQ(Format("%.2f", {1234.5}), "1234,50");
  EXPECT_EQ(Format("%n", {1234.5}), "1.234,50");
  EXPECT_EQ(Format("%m", {1234.56}), "1.234,6 €");
  EXPECT_EQ(Format("%m", {-3.0}), "-3,0 €");
  EXPECT_EQ(Format("%.3e", {1.5}), "1,50E+000");
}

TEST(FormatSettingsTest, EveryNegativeCurrencyPattern) {
  const char* expected[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                            "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  TFormatSettings fs;
  fs.CurrencyString = "$";
  fs.CurrencyDecimals = 0;
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    fs.NegCurrFormat = i;
    TFormatSettingsScope scope(fs);
    EXPECT_EQ(Format("%m", {-1.0}), expected[i]);
  }
}

TEST(FormatTemplateTest, FmtForwardsArguments) {
  EXPECT_EQ(Fmt("%s=%d (%.1f)", std::string("x"), 3, 0.25), "x=3 (0.3)");
}

}  // namespace
