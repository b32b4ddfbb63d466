#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Guid.h"
#include "platform/rtl/NumberFormat.h"

namespace {

template <class F>
std::string ConvertErrorOf(F f) {
  try {
    f();
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "<no error>";
}

TEST(SysUtilsTest, AsciiComparisonFoldsOnlyAscii) {
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(SameText("Äb", "äb"));  // not ASCII: left to the locale-aware routines
  // Bytes >= 0x80 sort after ASCII, as unsigned bytes.
  EXPECT_LT(CompareStr("z", "\xC3\xA4"), 0);
  EXPECT_LT(CompareStr("A", "a"), 0);
  EXPECT_EQ(UpperCase("straße"), "STRAßE");
  EXPECT_EQ(LowerCase("ÄBC"), "Äbc");
}

TEST(SysUtilsTest, TrimRemovesControlCharsButNotUtf8) {
  EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\xE3\x80\x80中\xE3\x80\x80"), "\xE3\x80\x80中\xE3\x80\x80");  // ideographic space is > ' '
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
}

TEST(SysUtilsTest, PosAndCopyAreOneBasedAndClamped) {
  EXPECT_EQ(Pos("b", "abcb"), 2);
  EXPECT_EQ(Pos("b", "abcb", 3), 4);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("a", "abc", 0), 0);
  EXPECT_EQ(Pos("a", "abc", 4), 0);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
  EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
  EXPECT_EQ(Copy("abcdef", 7, 1), "");
  EXPECT_EQ(Copy("abcdef", 2, -1), "");
  EXPECT_EQ(AnsiPos("京", "北京市"), 2);
  EXPECT_EQ(AnsiPos("\x97", "北京"), 0);  // a continuation byte is not a character
}

TEST(SysUtilsTest, StringReplaceFlags) {
  EXPECT_EQ(StringReplace("aXbXc", "X", "--", 0), "a--bXc");
  EXPECT_EQ(StringReplace("aXbXc", "X", "--", rfReplaceAll), "a--b--c");
  EXPECT_EQ(StringReplace("aXbxc", "x", "", rfReplaceAll), "aXbc");
  EXPECT_EQ(StringReplace("aXbxc", "x", "", rfReplaceAll | rfIgnoreCase), "abc");
  EXPECT_EQ(StringReplace("ÄpfelÄ", "ä", "ae", rfReplaceAll | rfIgnoreCase), "aepfelae");
  EXPECT_EQ(StringReplace("aaa", "aa", "b", rfReplaceAll), "ba");  // no overlapping matches
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  // The replacement text is not searched again.
  EXPECT_EQ(StringReplace("ab", "a", "aa", rfReplaceAll), "aab");
}

TEST(SysUtilsTest, Quoting) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  // A quote byte inside a multi-byte character is never doubled.
  EXPECT_EQ(AnsiQuotedStr("\xE4\xB8\xAD", '\xB8'), "\xB8\xE4\xB8\xAD\xB8");

  struct Case {
    std::string text;
    size_t start;
    std::string token;
    size_t end;
  } cases[] = {
      {"'it''s' rest", 0, "it's", 7},
      {"x'ab'", 1, "ab", 5},
      {"'unterminated", 0, "unterminated", 13},
      {"''", 0, "", 2},
      {"abc", 0, "", 0},  // not at a quote: nothing read
      {"'a'", 3, "", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    size_t pos = c.start;
    EXPECT_EQ(AnsiExtractQuotedStr(c.text, pos, '\''), c.token);
    EXPECT_EQ(pos, c.end);
  }
  EXPECT_EQ(AnsiDequotedStr("'a''b'", '\''), "a'b");
  EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
  EXPECT_EQ(AnsiDequotedStr("'open", '\''), "'open");
}

TEST(SysUtilsTest, StartsAndEndsTextIgnoreCase) {
  EXPECT_TRUE(StartsText("AB", "abc"));
  EXPECT_TRUE(StartsText("", "abc"));
  EXPECT_FALSE(StartsText("abcd", "abc"));
  EXPECT_TRUE(StartsText("äB", "ÄbC"));
  EXPECT_TRUE(EndsText("BC", "abc"));
  EXPECT_TRUE(EndsText("ÖL", "Heizöl"));
  EXPECT_FALSE(EndsText("ab", "abc"));
  EXPECT_FALSE(EndsText("xabc", "abc"));
}

TEST(SysUtilsTest, IntToStrAndHex) {
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFFFFFFFFFF");
}

TEST(SysUtilsTest, StrToIntSyntax) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"123", true, 123},
      {"-123", true, -123},
      {"+7", true, 7},
      {"  12", true, 12},
      {"12 ", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"$FF", true, 255},
      {"0x1F", true, 31},
      {"0X1f", true, 31},
      {"-$10", true, -16},
      {"$", false, 0},
      {"0x", false, 0},
      {"12a", false, 0},
      {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"$FFFFFFFF", true, -1},
      {"$100000000", false, 0},
      {"1e3", false, 0},
      {"٣", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int32_t v = 0;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
  EXPECT_EQ(ConvertErrorOf([] { StrToInt("12x"); }), "'12x' is not a valid integer value");
  EXPECT_EQ(ConvertErrorOf([] { StrToInt("99999999999"); }), "'99999999999' is not a valid integer value");
  EXPECT_EQ(StrToIntDef("x", -5), -5);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64Def("9223372036854775808", 3), 3);
}

TEST(SysUtilsTest, Booleans) {
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  struct Case {
    const char* text;
    bool ok, value;
  } cases[] = {{"true", true, true}, {"FALSE", true, false}, {"0", true, false},    {"-1", true, true},
               {"2.5", true, true},  {" 0 ", true, false},   {"yes", false, false}, {"", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    bool v = !c.value;
    EXPECT_EQ(TryStrToBool(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
  EXPECT_EQ(ConvertErrorOf([] { StrToBool("maybe"); }), "'maybe' is not a valid boolean value");
}

TEST(SysUtilsTest, Hints) {
  EXPECT_EQ(GetShortHint("Save|Saves the document"), "Save");
  EXPECT_EQ(GetLongHint("Save|Saves the document"), "Saves the document");
  EXPECT_EQ(GetShortHint("Save"), "Save");
  EXPECT_EQ(GetLongHint("Save"), "Save");
  EXPECT_EQ(GetLongHint("a|b|c"), "b|c");
}

TEST(SysUtilsTest, Utf8RoundTripAndReplacement) {
  const std::string text = "a中€😀";
  std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, u"a中€😀");
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf8Length(text), 4);
  EXPECT_EQ(Utf8Left(text, 2), "a中");
  EXPECT_EQ(Utf8Left(text, 10), text);

  struct Case {
    std::string bytes;
    std::u16string wide;
  } bad[] = {
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"a\xE4\xB8", u"a\uFFFD\uFFFD"},                    // truncated at the end
      {"\xFF", u"\uFFFD"},
  };
  for (const Case& c : bad) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.wide);
    EXPECT_EQ(Utf8Length(c.bytes), static_cast<int>(c.wide.size()));
  }
  EXPECT_EQ(Utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");  // lone surrogate
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8CharLength("中", 0), 3);
  EXPECT_EQ(Utf8CharLength("中", 1), 1);  // starting mid-character: one invalid byte
}

TEST(SysUtilsTest, IsValidIdent) {
  for (const char* ok : {"a", "_x", "Button1", "名称", "x_名"}) EXPECT_TRUE(IsValidIdent(ok)) << ok;
  for (const char* bad : {"", "1a", "a b", "a-b", "a.b", "\xFF"}) EXPECT_FALSE(IsValidIdent(bad)) << bad;
}

}  // namespace

// A message quotes at most 100 characters of what it refused, so a huge input cannot make a
// huge message; the cut never splits a UTF-8 sequence.
TEST(SysUtilsTest, ConversionErrorsQuoteAShortenedInput) {
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += "\xC3\xA9";  // é, two bytes
  EXPECT_EQ(QuotedInput(hundred), "'" + hundred + "'");
  EXPECT_EQ(QuotedInput(hundred + "x"), "'" + hundred + "...'");
  EXPECT_EQ(QuotedInput(""), "''");

  const std::string huge = hundred + std::string(4 << 20, '9') + "?";
  const std::string quoted = "'" + hundred + "...'";
  const struct {
    const char* id;
    std::function<void()> convert;
    std::string message;
  } cases[] = {
      {"int", [&] { StrToInt(huge); }, quoted + " is not a valid integer value"},
      {"float", [&] { StrToFloat(huge); }, quoted + " is not a valid floating point value"},
      {"curr", [&] { StrToCurr(huge); }, quoted + " is not a valid floating point value"},
      {"bool", [&] { StrToBool(huge); }, quoted + " is not a valid boolean value"},
      {"date", [&] { StrToDate(huge); }, quoted + " is not a valid date"},
      {"datetime", [&] { StrToDateTime(huge); }, quoted + " is not a valid date and time"},
      {"guid", [&] { StringToGUID(huge); }, quoted + " is not a valid GUID value"},
      {"format", [&] { Format(huge + "%q", {1}); },
       "Format " + quoted + " invalid or incompatible with argument"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(ConvertErrorOf(c.convert), c.message);
  }
  TStringStream in("object A: TB\r\n  Left = 1" + std::string(4 << 20, '5') + "x\r\nend\r\n"), out;
  try {
    ObjectTextToBinary(in, out);
    ADD_FAILURE() << "no error";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Message(), "'1" + std::string(99, '5') + "...' is not a valid number on line 2");
  }
}
