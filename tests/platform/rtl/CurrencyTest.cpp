#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/Currency.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

Currency Raw(int64_t r) {
  return Currency::FromRaw(r);
}

TEST(CurrencyTest, FromDoubleRoundsToNearestTenThousandthTiesToEven) {
  // 0.03125 and 0.09375 are exact binary fractions whose ten-thousandths end in exactly .5.
  struct Case {
    double value;
    int64_t raw;
  } cases[] = {
      {0.0, 0},           {1.0, 10000},   {-1.0, -10000},   {0.03125, 312},
      {-0.03125, -312},   {0.09375, 938}, {-0.09375, -938}, {1.23456, 12346},
      {-1.23454, -12345}, {0.00004, 0},   {0.00006, 1},     {123456.7891, 1234567891},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Currency::FromDouble(c.value).Raw(), c.raw);
    EXPECT_EQ(Currency::FromExtended(c.value).Raw(), c.raw);
  }
}

TEST(CurrencyTest, FromDoubleRejectsWhatDoesNotFit) {
  const double bad[] = {1e15,
                        -1e15,
                        1e300,
                        std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN()};
  for (double v : bad) {
    SCOPED_TRACE(v);
    EXPECT_THROW(Currency::FromDouble(v), EOverflow);
    EXPECT_THROW(Currency::FromExtended(v), EOverflow);
  }
  // Amounts next to the limit of about 922 337 203 685 477.58.
  EXPECT_EQ(Currency::FromExtended(922337203685477.0L).Raw(), 9223372036854770000LL);
  EXPECT_EQ(Currency::FromExtended(-922337203685477.0L).Raw(), -9223372036854770000LL);
  EXPECT_THROW(Currency::FromExtended(922337203685478.0L), EOverflow);
  EXPECT_THROW(Currency::FromExtended(-922337203685478.0L), EOverflow);
}

TEST(CurrencyTest, OverflowMessage) {
  try {
    Currency::FromInt(kMax / 10000 + 1);
    FAIL() << "no exception";
  } catch (const EOverflow& e) {
    EXPECT_EQ(e.Message(), "Floating point overflow");
  }
}

TEST(CurrencyTest, FromIntScalesAndChecksRange) {
  EXPECT_EQ(Currency::FromInt(42).Raw(), 420000);
  EXPECT_EQ(Currency::FromInt(-42).Raw(), -420000);
  EXPECT_EQ(Currency::FromInt(kMax / 10000).Raw(), kMax / 10000 * 10000);
  EXPECT_THROW(Currency::FromInt(kMax / 10000 + 1), EOverflow);
  EXPECT_THROW(Currency::FromInt(kMin / 10000 - 1), EOverflow);
}

TEST(CurrencyTest, AdditionAndSubtractionRaiseInsteadOfWrapping) {
  EXPECT_EQ((Raw(15000) + Raw(2500)).Raw(), 17500);
  EXPECT_EQ((Raw(15000) - Raw(25000)).Raw(), -10000);
  EXPECT_EQ((Raw(kMax) + Raw(kMin)).Raw(), -1);
  EXPECT_THROW(Raw(kMax) + Raw(1), EOverflow);
  EXPECT_THROW(Raw(kMin) - Raw(1), EOverflow);
  EXPECT_THROW(Raw(kMin) + Raw(-1), EOverflow);
  Currency c = Raw(1);
  c += Raw(2);
  c -= Raw(10);
  EXPECT_EQ(c.Raw(), -7);
  EXPECT_THROW(-Raw(kMin), EOverflow);
  EXPECT_EQ((-Raw(kMax)).Raw(), -kMax);
}

TEST(CurrencyTest, MultiplicationUsesWideIntermediateAndTiesToEven) {
  struct Case {
    int64_t a, b, product;
  } cases[] = {
      {20000, 30000, 60000},  // 2 * 3
      {5, 5000, 2},           // 0.0005 * 0.5 = 0.00025 -> 0.0002 (tie, even)
      {5, 15000, 8},          // 0.0005 * 1.5 = 0.00075 -> 0.0008 (tie, even)
      {-5, 5000, -2},         // ties to even below zero as well
      {-5, 15000, -8},
      {3, 3333, 1},  // 0.0003 * 0.3333 = 0.00009999 -> 0.0001
      {1, 4999, 0},  // just under half
      {1, 5001, 1},  // just over half
      // Operands whose raw product leaves 64 bits while the result fits.
      {900000000000000000LL, 100, 9000000000000000LL},
      {kMax, 10000, kMax},
      {kMin, 10000, kMin},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " * " << c.b);
    EXPECT_EQ((Raw(c.a) * Raw(c.b)).Raw(), c.product);
    EXPECT_EQ((Raw(c.b) * Raw(c.a)).Raw(), c.product);
  }
  EXPECT_THROW(Raw(kMax) * Raw(20000), EOverflow);
  EXPECT_THROW(Raw(kMin) * Raw(-10000), EOverflow);
}

TEST(CurrencyTest, DivisionUsesWideIntermediateAndTiesToEven) {
  struct Case {
    int64_t a, b, quotient;
  } cases[] = {
      {10000, 30000, 3333},  // 1 / 3
      {20000, 30000, 6667},  // 2 / 3
      {-20000, 30000, -6667},
      {1, 20000, 0},  // 0.0001 / 2 = 0.00005 -> 0 (tie, even)
      {3, 20000, 2},  // 0.0003 / 2 = 0.00015 -> 0.0002 (tie, even)
      {-3, 20000, -2},
      {3, -20000, -2},
      {kMax, 10000, kMax},  // a * 10000 leaves 64 bits on the way
      {kMax / 2, 5000, kMax / 2 * 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
    EXPECT_EQ((Raw(c.a) / Raw(c.b)).Raw(), c.quotient);
  }
  EXPECT_THROW(Raw(kMax) / Raw(5000), EOverflow);
  EXPECT_THROW(Raw(kMin) / Raw(-10000), EOverflow);
  try {
    Raw(10000) / Raw(0);
    FAIL() << "no exception";
  } catch (const EZeroDivide& e) {
    EXPECT_EQ(e.Message(), "Floating point division by zero");
  }
}

TEST(CurrencyTest, ComparesByValue) {
  EXPECT_LT(Raw(-1), Raw(0));
  EXPECT_EQ(Currency::FromInt(3), Raw(30000));
  EXPECT_GT(Currency::FromDouble(0.5), Currency::FromDouble(0.4999));
  EXPECT_DOUBLE_EQ(Raw(12345).ToDouble(), 1.2345);
}

}  // namespace
