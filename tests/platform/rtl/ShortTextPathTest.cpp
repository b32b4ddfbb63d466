// The short ways to float and date texts give exactly what the full number and date-time
// format code gives.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatDecimal.h"
#include "platform/rtl/NumberFormat.h"

namespace {

class ShortTextPathTest : public ::testing::Test {
 protected:
  static TFormatSettings Settings(const char* decimal, const char* date) {
    TFormatSettings s = TFormatSettings::Invariant();
    s.DecimalSeparator = decimal;
    s.DateSeparator = date;
    return s;
  }
  std::mt19937_64 rng_{20261208};
  const TFormatSettings dot_ = Settings(".", "/"), wide_ = Settings("::", "-.");
};

TEST_F(ShortTextPathTest, GeneralFloatTextsMatchTheFullRounding) {
  const struct {
    double Value;
    int Precision, Digits;
    const char* Expected;
  } cases[] = {
      {562949953421311.0, 15, 0, "562949953421311"},  // the last scaled value taken
      {562949953421313.0, 15, 0, "562949953421313"},  // past it: the general digits
      {0.00001, 15, 3, "1E-005"},
      {1.25, 2, 0, "1.3"},  // more digits than the precision: the full rounding
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(FloatToStrF(c.Value, ffGeneral, c.Precision, c.Digits, dot_), c.Expected);
  }
  int mismatches = 0;
  for (int i = 0; i < 6000; ++i) {
    double v = static_cast<double>(rng_() % 100000000000) / std::pow(10.0, static_cast<double>(rng_() % 9));
    const uint64_t bits = rng_();
    if (i % 3 == 1) std::memcpy(&v, &bits, sizeof v);  // any bit pattern
    if (i % 3 == 2) v = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 120) - 100);
    const int precision = 1 + static_cast<int>(rng_() % 18), digits = static_cast<int>(rng_() % 5);
    const TFormatSettings& s = i % 4 == 0 ? wide_ : dot_;
    const std::string text = FloatToStrF(i % 2 ? -v : v, ffGeneral, precision, digits, s);
    const std::string full = DecimalText::ToText(DecimalText::FromExtended(i % 2 ? -v : v), ffGeneral,
                                                 precision, digits, DecimalText::kExtendedDigits, s);
    if (text != full && ++mismatches <= 5) ADD_FAILURE() << v << " precision " << precision << ": " << text;
  }
  EXPECT_EQ(mismatches, 0);
}

// The values at the edges of the short way, each at every precision and exponent width.
TEST_F(ShortTextPathTest, GeneralFloatEdgesMatchTheFullRounding) {
  const double values[] = {0.0,
                           -0.0,
                           1.0,
                           -7.0,
                           0.5,
                           2.5,
                           -1234.5,
                           0.1,
                           0.2,
                           0.3,
                           -0.7,
                           1234.56,
                           -0.125,
                           0.001,
                           0.0001,
                           0.00001,
                           -0.000123,
                           99999.995,
                           1e14,
                           999999999999999.0,
                           1e15,
                           1e15 + 2,
                           9007199254740993.0,
                           1e16,
                           1e17,
                           1e18,
                           1e19,
                           1e20,
                           1e21,
                           -1e21,
                           1e22,
                           123456789012345678.0,
                           1.7976931348623157e308,
                           2.2250738585072014e-308,
                           4.9406564584124654e-324,
                           -1e-310,
                           std::nan(""),
                           HUGE_VAL,
                           -HUGE_VAL};
  int mismatches = 0;
  for (const double v : values) {
    for (int precision = 1; precision <= 18; ++precision) {
      for (int digits = 0; digits <= 4; ++digits) {
        const std::string text = FloatToStrF(v, ffGeneral, precision, digits, dot_);
        const std::string full = DecimalText::ToText(DecimalText::FromExtended(v), ffGeneral, precision,
                                                     digits, DecimalText::kExtendedDigits, dot_);
        if (text != full && ++mismatches <= 5)
          ADD_FAILURE() << v << " precision " << precision << " digits " << digits << ": " << text << " not "
                        << full;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(ShortTextPathTest, DateFormatsGiveTheInterpretersTexts) {
  // Beside each format the same nested in "ddddd", which the interpreter always writes.
  const struct {
    const char* Format;
    const char* Expected;  // of 0005-03-07 14:30, a time that counts down from the day before 1899
  } cases[] = {{"MM/dd/yyyy", "03-.07-.0005"}, {"dd.MM.yyy y", "07.03.0005 05"}, {"dD mM Yy", "77 33 0505"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Format);
    EXPECT_EQ(FormatDateTime(c.Format, EncodeDate(5, 3, 7) - EncodeTime(14, 30, 0, 0), wide_), c.Expected);
  }
  // Random days of all years beside the same format nested in "ddddd", which the interpreter
  // always writes.
  const char* const formats[] = {"MM/dd/yyyy", "d/m/yy", "yyyy-mm-dd", "m/d/y"};
  int mismatches = 0;
  for (int i = 0; i < 4000; ++i) {
    const TDateTime day = EncodeDate(1, 1, 1) + static_cast<double>(rng_() % 3652059);
    const TDateTime value = day + static_cast<double>(rng_() % 1000) / 1000.0 * (day < 0 ? -1 : 1);
    TFormatSettings s = i % 2 ? dot_ : wide_;
    s.ShortDateFormat = formats[i % 4];
    const std::string text = FormatDateTime(s.ShortDateFormat, value, s);
    if (text != FormatDateTime("ddddd", value, s) && ++mismatches <= 5)
      ADD_FAILURE() << value << ": " << text;
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
