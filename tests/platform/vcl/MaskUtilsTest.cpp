// The edit-mask language: parsing, the customary routines and the editing model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/MaskUtils.h"

namespace {

std::u32string U(const std::string& s) {
  return MaskToCodePoints(s);
}
std::string S(const std::u32string& s) {
  return MaskFromCodePoints(s);
}

class MaskUtilsTest : public ::testing::Test {
 protected:
  MaskUtilsTest() : scope_(Pinned()) {}
  static TFormatSettings Pinned() {
    TFormatSettings fs;
    fs.DateSeparator = "/";
    fs.TimeSeparator = ":";
    return fs;
  }
  TFormatSettingsScope scope_;
};

TEST_F(MaskUtilsTest, EachMaskCharacterAcceptsAndRefuses) {
  struct Case {
    const char* mask;
    const char* typed;
    bool accepted;
    const char* stored;
  };
  const std::vector<Case> cases = {
      {"L", "a", true, "a"},   {"L", "中", true, "中"},  {"L", "5", false, "_"},  {"L", " ", false, "_"},
      {"L", "-", false, "_"},  {"l", "Q", true, "Q"},    {"l", " ", true, "_"},   {"l", "7", false, "_"},
      {"A", "7", true, "7"},   {"A", "ж", true, "ж"},    {"A", "-", false, "_"},  {"A", " ", false, "_"},
      {"a", " ", true, "_"},   {"a", "%", false, "_"},   {"C", "%", true, "%"},   {"C", " ", true, " "},
      {"C", "\t", false, "_"}, {"c", " ", true, " "},    {"c", "中", true, "中"}, {"0", "5", true, "5"},
      {"0", "a", false, "_"},  {"0", "+", false, "_"},   {"0", "٣", false, "_"},  {"0", " ", false, "_"},
      {"9", "0", true, "0"},   {"9", " ", true, "_"},    {"9", "x", false, "_"},  {"#", "+", true, "+"},
      {"#", "-", true, "-"},   {"#", "3", true, "3"},    {"#", "*", false, "_"},  {"#", " ", true, "_"},
      {">L", "é", true, "É"},  {">L", "中", true, "中"}, {"<L", "Q", true, "q"},  {"<>L", "q", true, "q"},
      {"<>L", "Q", true, "Q"}, {">A", "5", true, "5"},   {"><L", "X", true, "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " <- '" + c.typed + "'");
    const TEditMaskModel model(c.mask);
    std::u32string text = model.EmptyText();
    int start = 0, stop = 0;
    EXPECT_EQ(c.accepted, model.InputChar(text, start, stop, U(c.typed)[0]));
    EXPECT_EQ(c.stored, S(text));
    EXPECT_EQ(c.accepted ? 1 : 0, start);
  }
}

TEST_F(MaskUtilsTest, CharTypesOfEveryKindOfMaskCharacter) {
  const std::string mask = "!>L\\L:/9;0;*";
  const std::vector<TMaskCharType> expected = {
      mcNone,        mcDirective, mcDirective,      mcMask,  mcDirective,      mcLiteral, mcIntlLiteral,
      mcIntlLiteral, mcMaskOpt,   mcFieldSeparator, mcField, mcFieldSeparator, mcField,   mcNone};
  for (int offset = 0; offset < static_cast<int>(expected.size()); ++offset) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(expected[offset], MaskGetCharType(mask, offset));
  }
  // A ';' before the last four characters belongs to the picture.
  EXPECT_EQ(mcLiteral, MaskGetCharType("0;0000000", 2));
  EXPECT_EQ(mcLiteral, MaskGetCharType("0\\;0", 3));
  EXPECT_EQ(mcLiteral, MaskGetCharType("_", 1));
}

TEST_F(MaskUtilsTest, TrailingFieldsGiveSaveBlankAndSeparator) {
  struct Case {
    const char* mask;
    bool save;
    char32_t blank;
    int separator;
  };
  const std::vector<Case> cases = {
      {"000", true, U'_', -1},     {"000;0", false, U'_', 4}, {"000;1;*", true, U'*', 4},
      {"000;0; ", false, U' ', 4}, {"000;;#", true, U'#', 4}, {"00;00;00;0;_", false, U'_', 9},
      {"0\\;0", true, U'_', -1},   {"00;1;;", true, U';', 3}, {"中文;0", false, U'_', 3},
      {"0;x", true, U'_', 2},      {"00;0;", false, U'_', 3}, {"", true, U'_', -1},
      {"0;1;空", true, U'空', 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    EXPECT_EQ(c.save, MaskGetMaskSave(c.mask));
    EXPECT_EQ(c.blank, MaskGetMaskBlank(c.mask));
    EXPECT_EQ(c.separator, MaskGetFldSeparator(c.mask));
  }
}

TEST_F(MaskUtilsTest, OffsetsBetweenMaskAndText) {
  const std::string mask = "!(999)\\-000;0";  // text "(999)-000"
  const std::vector<std::pair<int, int>> toMask = {{0, 2},  {1, 3},  {4, 6},  {5, 8},
                                                   {8, 11}, {9, -1}, {-1, -1}};
  for (auto [offset, maskOffset] : toMask) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(maskOffset, OffsetToMaskOffset(mask, offset));
  }
  const std::vector<std::pair<int, int>> toText = {{0, 0}, {1, 0}, {2, 1}, {7, 5}, {8, 6}, {13, 9}, {40, 9}};
  for (auto [maskOffset, offset] : toText) {
    SCOPED_TRACE(maskOffset);
    EXPECT_EQ(offset, MaskOffsetToOffset(mask, maskOffset));
  }
  const std::vector<std::pair<int, bool>> literal = {{0, true}, {1, false}, {4, true},
                                                     {5, true}, {6, false}, {9, false}};
  for (auto [offset, isLiteral] : literal) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(isLiteral, IsLiteralChar(mask, offset));
  }
  // Code points, not bytes.
  EXPECT_EQ(3, OffsetToMaskOffset("年0月0", 2));
  EXPECT_TRUE(IsLiteralChar("0年0", 1));
}

TEST_F(MaskUtilsTest, CurrentDirectives) {
  const std::string mask = ">L<L<>L!";
  EXPECT_EQ((TMaskDirectives{mdUpperCase, mdReverseDir}), MaskGetCurrentDirectives(mask, 2));
  EXPECT_EQ((TMaskDirectives{mdLowerCase, mdReverseDir}), MaskGetCurrentDirectives(mask, 4));
  EXPECT_EQ((TMaskDirectives{mdReverseDir}), MaskGetCurrentDirectives(mask, 7));
  EXPECT_EQ((TMaskDirectives{mdLiteralChar}), MaskGetCurrentDirectives("x0", 1));
  // An escaped '>' is a literal, not a case directive.
  EXPECT_EQ((TMaskDirectives{}), MaskGetCurrentDirectives("\\>L", 3));
}

TEST_F(MaskUtilsTest, LocaleSeparatorsFollowFormatSettings) {
  TFormatSettings fs;
  fs.DateSeparator = ".";
  fs.TimeSeparator = "时";
  TFormatSettingsScope scope(fs);
  EXPECT_EQ(U'.', MaskIntlLiteralToChar(U'/'));
  EXPECT_EQ(U'时', MaskIntlLiteralToChar(U':'));
  EXPECT_EQ(U'x', MaskIntlLiteralToChar(U'x'));
  EXPECT_EQ("12.31 10时45", FormatMaskText("00/00 00:00;0", "12311045"));
  EXPECT_EQ(mcIntlLiteral, MaskGetCharType("00/00", 3));
  TEditMaskModel model("00:00");
  EXPECT_EQ("__时__", S(model.EmptyText()));
  EXPECT_TRUE(model.IsLiteral(2));
}

TEST_F(MaskUtilsTest, FormatMaskTextSamples) {
  struct Case {
    const char* mask;
    const char* value;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"!(999)000-0000;0;_", "4155551212", "(415)555-1212"},
      {"!(999)000-0000;0;_", "5551212", "(   )555-1212"},
      {"(999)000-0000;0;_", "5551212", "(555)121-2   "},
      {"00-00;1", "12-34", "12-34"},
      {"00-00;1", "1234", "12-34"},
      {"00-00;1", "12", "12-  "},
      {"!00-00;1", "3-45", " 3-45"},
      {"LL_00", "AB 12", "AB 12"},
      {"\\L0;0", "5", "L5"},
      {"", "abc", "abc"},
      {">LLL;0", "abc", "abc"},
      {"000;0", "12345", "123"},
      {"!000;0", "12345", "345"},
      {"中00;0", "12", "中12"},
      {"!99/99/9999 99:99;1; ", "01/02/2024 10:30", "01/02/2024 10:30"},
      {"99/99/9999;1;_", "1/2/2024", "1 /2 /2024"},
      {"!99/99/9999;1;_", "1/2/2024", " 1/ 2/2024"},
      {"##-##;1", "-1-23", "-1-23"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " / " + c.value);
    EXPECT_EQ(c.expected, FormatMaskText(c.mask, c.value));
  }
  EXPECT_EQ("12-**", PadInputLiterals("00-00", "12", U'*'));
  EXPECT_EQ("**7", MaskDoFormatText("!000", "7", U'*'));
}

class MaskModelTest : public MaskUtilsTest {
 protected:
  // Types every character of `keys` from the caret; answers how many were accepted.
  static int Type(const TEditMaskModel& m, std::u32string& text, int& caret, const std::string& keys) {
    int accepted = 0;
    for (char32_t c : U(keys)) {
      int stop = caret;
      if (m.InputChar(text, caret, stop, c)) ++accepted;
    }
    return accepted;
  }
};

TEST_F(MaskModelTest, TypingSkipsLiteralsAndRefusesWrongCharacters) {
  const TEditMaskModel m("(000)000-0000;0;_");
  ASSERT_EQ(13, m.Count());
  std::u32string text = m.EmptyText();
  EXPECT_EQ("(___)___-____", S(text));
  int caret = 0;
  EXPECT_EQ(10, Type(m, text, caret, "4155551212"));
  EXPECT_EQ("(415)555-1212", S(text));
  EXPECT_EQ(13, caret);
  // Typing past the end is refused.
  EXPECT_EQ(0, Type(m, text, caret, "1"));
  caret = 1;
  EXPECT_EQ(0, Type(m, text, caret, "x"));
  EXPECT_EQ(1, caret);
  EXPECT_EQ(1, Type(m, text, caret, "9"));
  EXPECT_EQ("(915)555-1212", S(text));
  EXPECT_EQ(2, caret);
}

TEST_F(MaskModelTest, TypingALiteralJumpsPastIt) {
  const TEditMaskModel m("99/99/99");
  std::u32string text = m.EmptyText();
  int caret = 0;
  EXPECT_EQ(2, Type(m, text, caret, "1/"));
  EXPECT_EQ("1_/__/__", S(text));
  EXPECT_EQ(3, caret);
  // Typing the separator right after the caret skipped it is no error.
  text = m.EmptyText();
  caret = 0;
  EXPECT_EQ(3, Type(m, text, caret, "12/"));
  EXPECT_EQ("12/__/__", S(text));
  EXPECT_EQ(3, caret);
  EXPECT_EQ(0, Type(m, text, caret, "-"));
}

TEST_F(MaskModelTest, BackspaceAndDeleteBlankInsteadOfShifting) {
  const TEditMaskModel m("(000)000-0000;0;_");
  std::u32string text = U("(415)555-1212");
  int start = 5, stop = 5;  // right after ')'
  EXPECT_TRUE(m.Backspace(text, start, stop));
  EXPECT_EQ("(41_)555-1212", S(text));
  EXPECT_EQ(3, start);
  start = stop = 0;
  EXPECT_FALSE(m.Backspace(text, start, stop));
  start = 6, stop = 7;  // the one-character caret
  EXPECT_TRUE(m.DeleteChar(text, start, stop));
  EXPECT_EQ("(41_)5_5-1212", S(text));
  EXPECT_EQ(6, start);
  start = stop = 4;  // a literal stays
  EXPECT_TRUE(m.DeleteChar(text, start, stop));
  EXPECT_EQ("(41_)5_5-1212", S(text));
  start = 1, stop = 10;
  EXPECT_TRUE(m.DeleteChar(text, start, stop));
  EXPECT_EQ("(___)___-_212", S(text));
  EXPECT_EQ(1, start);
  EXPECT_EQ(1, stop);
}

TEST_F(MaskModelTest, TypingOverASelectionBlanksItFirst) {
  const TEditMaskModel m("00-00");
  std::u32string text = U("12-34");
  int start = 0, stop = 5;
  EXPECT_TRUE(m.InputChar(text, start, stop, U'9'));
  EXPECT_EQ("9_-__", S(text));
  EXPECT_EQ(1, start);
  // A refused character leaves the selection alone.
  text = U("12-34");
  start = 0, stop = 5;
  EXPECT_FALSE(m.InputChar(text, start, stop, U'x'));
  EXPECT_EQ("12-34", S(text));
}

TEST_F(MaskModelTest, PasteAppliesCharactersPositionByPosition) {
  const TEditMaskModel m("(000)000-0000;0;_");
  std::u32string text = U("(415)___-____");
  int start = 5, stop = 5;
  EXPECT_TRUE(m.Paste(text, start, stop, U("555-1212")));
  EXPECT_EQ("(415)555-1212", S(text));
  EXPECT_EQ(13, start);
  text = m.EmptyText();
  start = stop = 0;
  EXPECT_FALSE(m.Paste(text, start, stop, U("41a5x55")));
  EXPECT_EQ("(415)55_-____", S(text));
  EXPECT_EQ(7, start);
  // Too long: the rest is cut.
  text = m.EmptyText();
  start = stop = 0;
  EXPECT_FALSE(m.Paste(text, start, stop, U("12345678901234")));
  EXPECT_EQ("(123)456-7890", S(text));
}

TEST_F(MaskModelTest, ValidationFindsTheFirstUnfilledRequiredPosition) {
  struct Case {
    const char* mask;
    const char* text;
    int invalid;
  };
  const std::vector<Case> cases = {
      {"(000)000-0000;0;_", "(415)555-12__", 11},
      {"(000)000-0000;0;_", "(415)555-1212", -1},
      {"99-00", "__-1_", 4},
      {"99-00", "__-12", -1},
      {"C", " ", -1},
      {"C", "_", 0},
      {"L", "5", 0},
      {"l", "5", 0},
      {"l", " ", -1},
      {"0;1; ", " ", 0},
      {"!99.99;1; ", "  . 1", -1},
      {"0", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " / " + c.text);
    const TEditMaskModel m(c.mask);
    EXPECT_EQ(c.invalid, m.FirstInvalid(U(c.text)));
  }
}

TEST_F(MaskModelTest, TextWithAndWithoutSavedLiterals) {
  const TEditMaskModel noSave("000-000;0;*");
  EXPECT_EQ("12*-***", S(noSave.FromText(U("12"))));
  EXPECT_EQ("12    ", S(noSave.ToText(U("12*-***"))));
  EXPECT_EQ("123-45*", S(noSave.FromText(U("12345 "))));
  const TEditMaskModel save("000-000;1;*");
  EXPECT_EQ("12 -   ", S(save.ToText(U("12*-***"))));
  EXPECT_EQ("12*-4**", S(save.FromText(U("12 -4"))));
  // A blank shown as a space before a literal space stays in its own position.
  const TEditMaskModel spaced("00 00;1;_");
  EXPECT_EQ("1_ 23", S(spaced.FromText(spaced.ToText(U("1_ 23")))));
  const TEditMaskModel spacedReverse("!00 00;1;_");
  EXPECT_EQ("12 _3", S(spacedReverse.FromText(spacedReverse.ToText(U("12 _3")))));
  const TEditMaskModel reverse("!999;0;_");
  EXPECT_EQ("__7", S(reverse.FromText(U("7"))));
  EXPECT_EQ("  7", S(reverse.ToText(U("__7"))));
  // Whatever comes in, the edit text has one character per position with literals in place.
  EXPECT_EQ("ab-__", S(TEditMaskModel("00-00").Normalize(U("abc"))));
}

TEST_F(MaskModelTest, UnderscoreIsASpaceLiteralAndEscapedItIsAnUnderscore) {
  const TEditMaskModel m("0_0\\_0");
  EXPECT_EQ("_ ___", S(m.EmptyText()));
  EXPECT_TRUE(m.IsLiteral(1));
  EXPECT_EQ(U' ', m.MaskChar(1));
  EXPECT_EQ(U'_', m.MaskChar(3));
}

}  // namespace

namespace {

// Odd and malformed masks: every routine answers within bounds and the model stays consistent.
TEST_F(MaskUtilsTest, MalformedMasksStayWellFormed) {
  const std::vector<std::string> masks = {"",
                                          "\\",
                                          ";",
                                          ";;;;",
                                          "!><\\",
                                          "0\\",
                                          ";0;",
                                          "\xff\xfe"
                                          "0",
                                          "0;1;\xe4",
                                          "<><><>L",
                                          "____",
                                          "\\;\\;\\;"};
  for (const std::string& mask : masks) {
    SCOPED_TRACE(mask);
    const TEditMaskModel m(mask);
    const int length = static_cast<int>(MaskToCodePoints(mask).size());
    EXPECT_EQ(m.Count(), MaskOffsetToOffset(mask, length));
    EXPECT_EQ(m.Count(), static_cast<int>(m.EmptyText().size()));
    EXPECT_EQ(m.Count(), static_cast<int>(m.FromText(U("abc123-;")).size()));
    EXPECT_EQ(-1, OffsetToMaskOffset(mask, m.Count()));
    for (int i = -1; i <= length + 1; ++i) {
      MaskGetCharType(mask, i);
      MaskGetCurrentDirectives(mask, i);
      IsLiteralChar(mask, i);
    }
    std::u32string text = U("x");
    int start = 5, stop = -3;
    m.InputChar(text, start, stop, U'1');
    EXPECT_EQ(m.Count(), static_cast<int>(text.size()));
    start = -4, stop = 99;
    m.Paste(text, start, stop, U("1a\xe4"));
    m.Backspace(text, start, stop);
    m.DeleteChar(text, start, stop);
    EXPECT_EQ(m.Count(), static_cast<int>(text.size()));
    EXPECT_LE(start, m.Count());
    FormatMaskText(mask, "\xc3");
  }
}

}  // namespace
