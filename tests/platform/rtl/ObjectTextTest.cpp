// The text form of descriptions: its exact layout, conversion both ways, and malformed text.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "platform/rtl/Filer.h"
#include "tests/platform/rtl/FilerTestClasses.h"

namespace {

// binary -> text -> binary must give the same bytes.
void ExpectBinaryRoundTrip(const std::string& binary) {
  std::string text = BinaryToText(binary);
  EXPECT_EQ(TextToBinary(text), binary) << text;
}

}  // namespace

TEST(ObjectText, SampleFormLayout) {
  TTestForm form(nullptr);
  BuildSampleForm(form);
  EXPECT_EQ(BinaryToText(ComponentToBinary(&form)),
            "object Form1: TTestForm\r\n"
            "  Left = 10\r\n"
            "  Caption = 'Hello'#13#10'it''s'\r\n"
            "  object Panel1: TTestControl\r\n"
            "    Align = taClient\r\n"
            "    object Button1: TTestControl\r\n"
            "      Caption = 'OK'\r\n"
            "      Hint = 'Press \u2713 \U0001F600'w\r\n"
            "      Ratio = 1.500000000000000000\r\n"
            "      Price = 125000c\r\n"
            "      When = 45000.25d\r\n"
            "      Scale = 0.75s\r\n"
            "      Big = 1099511627776\r\n"
            "      Value = 42\r\n"
            "      Enabled = False\r\n"
            "      Options = [toEditing, toTabs]\r\n"
            "      Color = clRed\r\n"
            "      OnClick = ButtonClick\r\n"
            "      Buddy = Edit1\r\n"
            "      Font.Name = 'Tahoma'\r\n"
            "      Font.Size = 10\r\n"
            "      Font.Charset = 134\r\n"
            "      Columns = <\r\n"
            "        item\r\n"
            "          FieldName = 'X'\r\n"
            "          Buddy = Panel1\r\n"
            "        end\r\n"
            "        item\r\n"
            "          Width = 80\r\n"
            "        end>\r\n"
            "      Items.Strings = (\r\n"
            "        'a'\r\n"
            "        'b')\r\n"
            "      Extra = (\r\n"
            "        1\r\n"
            "        300\r\n"
            "        -70000)\r\n"
            "      Data = {\r\n"
            "        0A0B0C}\r\n"
            "    end\r\n"
            "    object Edit1: TTestControl\r\n"
            "      Value = (\r\n"
            "        1\r\n"
            "        Null\r\n"
            "        'x')\r\n"
            "      Color = 12345\r\n"
            "    end\r\n"
            "  end\r\n"
            "  object Data1: TTestData\r\n"
            "    Active = True\r\n"
            "  end\r\n"
            "end\r\n");

  // Written on its own, a control names components of another owner with the owner's name;
  // handlers of another object are not written.
  auto* button = static_cast<TTestControl*>(form.FindComponent("Button1"));
  std::string text = BinaryToText(ComponentToBinary(button));
  EXPECT_NE(text.find("Buddy = Form1.Panel1"), std::string::npos);
  EXPECT_EQ(text.find("OnClick"), std::string::npos);
}

TEST(ObjectText, SampleFormRoundTripsBothWays) {
  TTestForm form(nullptr);
  BuildSampleForm(form);
  std::string binary = ComponentToBinary(&form);
  std::string text = BinaryToText(binary);
  EXPECT_EQ(TextToBinary(text), binary);
  EXPECT_EQ(BinaryToText(TextToBinary(text)), text);
}

TEST(ObjectText, FloatsReadBackToTheSameBits) {
  const long double extendeds[] = {0.0L,         -0.0L,     1.5L,          0.1L,
                                   1.0L / 3,     -2.5e-10L, 1e300L,        1e4000L,
                                   LDBL_MAX,     LDBL_MIN,  LDBL_TRUE_MIN, 1234567890123456789.0L,
                                   -98765.4321L, 1e15L,     123456.789L};
  for (long double v : extendeds) {
    SCOPED_TRACE(static_cast<double>(v));
    TMemoryStream s;
    {
      TWriter w(s);
      w.WriteSignature();
      w.WriteStr("TTestControl");
      w.WriteStr("");
      w.WriteStr("Ratio");
      w.WriteFloat(v);
      w.WriteListEnd();
      w.WriteListEnd();
    }
    ExpectBinaryRoundTrip(StreamBytes(s));
  }
  const float singles[] = {0.75f, 0.1f, FLT_MAX, FLT_TRUE_MIN, -3e-20f};
  const double doubles[] = {45000.25, 0.1, -1e-300, 1e22, DBL_TRUE_MIN};
  const int64_t currencies[] = {
      0, 1, -1, 125000, std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()};
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    TTestControl c(nullptr);
    if (i < 5) c.SetScale(singles[i]);
    if (i < 5) c.SetWhen(doubles[i]);
    c.SetValue(Variant(Currency::FromRaw(currencies[i])));
    ExpectBinaryRoundTrip(ComponentToBinary(&c));
  }
}

TEST(ObjectText, StringsRoundTrip) {
  const std::string narrow[] = {"",
                                "'",
                                "it's",
                                std::string("a\0b", 3),
                                "\t\r\n\x7f",
                                "\xE4\xBD\xA0\xE5\xA5\xBD",
                                std::string(64, 'x'),
                                std::string(65, 'y'),
                                std::string(63, 'z') + "\xE4\xBD\xA0" + std::string(100, 'w'),
                                std::string(300, '\''),
                                "bad \xFF\xFE utf8"};
  for (const std::string& s : narrow) {
    SCOPED_TRACE(s);
    TTestControl c(nullptr);
    c.SetCaption(s);
    std::string binary = ComponentToBinary(&c);
    ExpectBinaryRoundTrip(binary);
    TTestControl back(nullptr);
    ReadBinaryInto(TextToBinary(BinaryToText(binary)), &back);
    EXPECT_EQ(back.Caption(), s);
  }
  std::u16string splitPair(63, u'a');  // the pair straddles the line length
  splitPair.append(u"\U0001F600").append(10, u'b');
  const std::u16string wide[] = {u"",       u"abc",  u"\U0001F600", std::u16string{char16_t(0xD800), u'x'},
                                 splitPair, u"tab\t"};
  for (const std::u16string& w : wide) {
    SCOPED_TRACE(w.size());
    TTestControl c(nullptr);
    c.SetHint(w);
    c.SetValue(Variant(w));
    ExpectBinaryRoundTrip(ComponentToBinary(&c));
  }
}

TEST(ObjectText, LongStringsSplitIntoLines) {
  TTestControl c(nullptr);
  c.SetCaption(std::string(64, 'a') + std::string(6, 'b'));
  EXPECT_EQ(BinaryToText(ComponentToBinary(&c)),
            "object TTestControl\r\n"
            "  Caption = \r\n"
            "    '" +
                std::string(64, 'a') +
                "' +\r\n"
                "    'bbbbbb'\r\n"
                "end\r\n");
}

TEST(ObjectText, HeadersCarryFlagsAndPositions) {
  const char* text =
      "inherited Form1: TTestForm\r\n"
      "  inline Frame1: TTestControl\r\n"
      "  end\r\n"
      "  object TTestData [3]\r\n"
      "  end\r\n"
      "  inherited Button1: TTestControl [0]\r\n"
      "  end\r\n"
      "end\r\n";
  std::string binary = TextToBinary(text);
  const char kBytes[] =
      "TPF0"
      "\xF1\x09TTestForm\x05"
      "Form1"
      "\0"
      "\xF4\x0CTTestControl\x06"
      "Frame1"
      "\0\0"
      "\xF2\x02\x03\x09TTestData"
      "\0\0\0"
      "\xF3\x02\x00\x0CTTestControl\x07"
      "Button1"
      "\0\0\0";
  std::string expected(kBytes, sizeof kBytes - 1);
  EXPECT_EQ(binary, expected);
  EXPECT_EQ(BinaryToText(binary), text);
}

TEST(ObjectText, HandWrittenFormsAreAccepted) {
  // Lower-case keywords, LF line ends, '+' continuation, #$hex codes, $hex integers, item
  // orders, a BOM, and Null inside a list.
  std::string text =
      "\xEF\xBB\xBFOBJECT c1: TTestControl\n"
      "  caption = 'ab' +\n"
      "     'c'#$41#66\n"
      "  Left = $10\n"
      "  Top = -$10\n"
      "  Value = (1 Null 'x')\n"
      "  Columns = < item [2] Width = 5 end item end >\n"
      "  Extra = ()\n"
      "END\n";
  TTestControl c(nullptr);
  ReadBinaryInto(TextToBinary(text), &c);
  EXPECT_EQ(c.Name(), "c1");
  EXPECT_EQ(c.Caption(), "abcAB");
  EXPECT_EQ(c.Left(), 16);
  EXPECT_EQ(c.Top(), -16);
  EXPECT_TRUE(VariantsEqual(c.Value(), VarArrayOf({Variant(1), Null(), Variant("x")})));
  ASSERT_EQ(c.Columns()->Count(), 2);
  EXPECT_EQ(c.Column(0)->Width(), 5);
}

TEST(ObjectText, MalformedTextIsAParserError) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"", "OBJECT expected on line 1"},
      {"thing A: TB\r\nend\r\n", "OBJECT expected on line 1"},
      {"object A: TB\r\n  Left = 1\r\n", "END expected on line 3"},
      {"object A: TB\r\n  Left 1\r\nend\r\n", "'=' expected on line 2"},
      {"object A: TB\r\n  Caption = 'open\r\nend\r\n", "Unterminated string on line 2"},
      {"object A: TB\r\n  Data = {0A0}\r\nend\r\n", "Invalid binary value on line 2"},
      {"object A: TB\r\n  Data = {0G}\r\nend\r\n", "Invalid binary value on line 2"},
      {"object A: TB\r\n  Data = {0A", "Invalid binary value on line 2"},
      {"object A: TB\r\n  Left = 99999999999999999999\r\nend\r\n",
       "'99999999999999999999' is not a valid integer value on line 2"},
      {"object A: TB\r\n  Left = 1e99999\r\nend\r\n",
       "'1e99999' is not a valid floating point value on line 2"},
      {"object A: TB\r\n  Options = [a b]\r\nend\r\n", "',' expected on line 2"},
      {"object A: TB\r\n  Items = (1 2\r\nend\r\n", "')' expected on line 4"},
      {"object A: TB\r\n  Left = 'a' + 1\r\nend\r\n", "String expected on line 2"},
      {"object A: TB\r\n  Left = #\r\nend\r\n", "Invalid string constant on line 2"},
      {"object A: TB\r\n  Left = #99999999\r\nend\r\n", "Invalid string constant on line 2"},
      {"object A: TB\r\n  Left = )\r\nend\r\n", "Invalid property value on line 2"},
      {"object A: TB\r\n  Cols = <item\r\n", "END expected on line 3"},
      {"object A: TB [x]\r\nend\r\n", "Number expected on line 1"},
      {"object A: TB\r\nend\r\nend\r\n", "End of text expected on line 3"},
      {"object A: TB\r\n  Left = 1.5q\r\nend\r\n", "'1.5q' is not a valid number on line 2"},
      {"object A: TB\r\n  Left = 12px\r\nend\r\n", "'12px' is not a valid number on line 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      TextToBinary(c.text);
      FAIL() << "no exception";
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}
