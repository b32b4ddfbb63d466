#include "platform/rtl/Collation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

class CollationTest : public testing::Test {
 protected:
  TFormatSettingsScope settings_{TFormatSettings()};  // zh_CN collation
};

TEST_F(CollationTest, ChineseSortsInPinyinOrder) {
  std::vector<std::string> cities = {"天津", "上海", "北京"};
  std::sort(cities.begin(), cities.end(),
            [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
  EXPECT_EQ(cities, (std::vector<std::string>{"北京", "上海", "天津"}));
  EXPECT_LT(AnsiCompareStr("阿", "八"), 0);
  // Byte order would put 八 (E5 85 AB) before 阿 (E9 98 BF) the other way round; collation must not.
  EXPECT_GT(CompareStr("阿", "八"), 0);
}

TEST_F(CollationTest, DigitsAndLatinComeBeforeChinese) {
  EXPECT_LT(AnsiCompareText("9", "A"), 0);
  EXPECT_LT(AnsiCompareText("Zebra", "阿"), 0);
  EXPECT_LT(AnsiCompareStr("zz", "八"), 0);
}

TEST_F(CollationTest, TextIgnoresCaseStrDoesNotButNeverTiesDifferentTexts) {
  EXPECT_EQ(AnsiCompareText("abc", "ABC"), 0);
  EXPECT_EQ(AnsiCompareText("Äpfel", "äPFEL"), 0);
  EXPECT_NE(AnsiCompareText("a", "ä"), 0);  // accents still count
  EXPECT_TRUE(AnsiSameText("Ölung", "öLUNG"));
  EXPECT_NE(AnsiCompareStr("abc", "ABC"), 0);
  EXPECT_EQ(AnsiCompareStr("abc", "ABC"), -AnsiCompareStr("ABC", "abc"));
  // Texts ICU treats as equal (a control character is ignorable) still differ for CompareStr.
  EXPECT_NE(AnsiCompareStr("ab", std::string("a\x01") + "b"), 0);
  EXPECT_EQ(AnsiCompareStr("same", "same"), 0);
  // Natural-language order rather than byte order: lower case "b" after upper case "A".
  EXPECT_LT(AnsiCompareStr("A", "b"), 0);
  EXPECT_LT(AnsiCompareText("a", "B"), 0);
}

TEST_F(CollationTest, FollowsTheLocaleSettingWhenItChanges) {
  // Swedish sorts "ö" after "z"; the Chinese (root-like) order puts it with "o".
  EXPECT_LT(AnsiCompareText("öl", "zebra"), 0);
  TFormatSettings sv;
  sv.CollationLocale = "sv_SE";
  {
    TFormatSettingsScope scope(sv);
    EXPECT_GT(AnsiCompareText("öl", "zebra"), 0);
  }
  EXPECT_LT(AnsiCompareText("öl", "zebra"), 0);
}

TEST_F(CollationTest, UnknownLocaleStillCompares) {
  TFormatSettings fs;
  fs.CollationLocale = "!!not a locale";
  TFormatSettingsScope scope(fs);
  EXPECT_LT(AnsiCompareText("a", "b"), 0);
  EXPECT_EQ(AnsiCompareText("a", "A"), 0);
}

TEST_F(CollationTest, InvalidUtf8IsComparedWithoutFailing) {
  std::string bad = "a\xFF\xC0";
  EXPECT_EQ(AnsiCompareStr(bad, bad), 0);
  EXPECT_NE(AnsiCompareStr(bad, "a"), 0);
}

TEST_F(CollationTest, CaseMapping) {
  EXPECT_EQ(AnsiUpperCase("äöü abc"), "ÄÖÜ ABC");
  EXPECT_EQ(AnsiLowerCase("ÄÖÜ ABC"), "äöü abc");
  EXPECT_EQ(AnsiUpperCase("ΑΒΓ αβγ"), "ΑΒΓ ΑΒΓ");
  EXPECT_EQ(AnsiUpperCase("中文"), "中文");
  EXPECT_EQ(AnsiUpperCase("a\xFF"
                          "b"),
            "A\xFF"
            "B");  // invalid bytes pass through
  EXPECT_EQ(UnicodeFoldCase(U'Σ'), UnicodeFoldCase(U'ς'));
}

}  // namespace
