#include <gtest/gtest.h>

#include "grid/data/LocaleRoutinesEh.h"
#include "platform/rtl/FormatSettings.h"

namespace {

TEST(LocaleRoutinesTest, CharSetsAndLocale) {
  TCharSetEh set = TCharSetEh{'*', '+', '-'} + TCharSetEh::Range(0x81, 0xFE);
  EXPECT_TRUE(CharInSetEh('*', set));
  EXPECT_FALSE(CharInSetEh('/', set));
  EXPECT_TRUE(CharInSetEh(static_cast<char>(0x81), set));
  EXPECT_TRUE(CharInSetEh(static_cast<char>(0xFE), set));
  EXPECT_FALSE(CharInSetEh(static_cast<char>(0xFF), set));
  EXPECT_FALSE(CharInSetEh(U'\u012A', set));
  TFormatSettings fs = FormatSettings();
  fs.DecimalSeparator = ",";
  fs.ThousandSeparator = " ";
  fs.CurrencyDecimals = 3;
  TFormatSettingsScope scope(fs);
  EXPECT_EQ(GetDecimalSeparator(), ",");
  EXPECT_EQ(GetThousandSeparator(), " ");
  EXPECT_EQ(GetCurrencyDecimals(), 3);
  EXPECT_EQ(NlsUpperCase("abc ä"), "ABC Ä");
  EXPECT_EQ(NlsCompareText("abc", "ABC"), 0);
  EXPECT_LT(NlsCompareText("abc", "abd"), 0);
}

}  // namespace
