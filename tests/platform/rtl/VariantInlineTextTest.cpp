// Short texts live inside the Variant; these tests pin the boundary between that form and the
// shared payload and check that nothing outside can tell the two apart.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

namespace {

const std::string kLong = "a text well past the inline bytes";  // 33 bytes
const std::u16string kLongWide = u"wide text past inline";

// Whether the text of `v` is stored inside `v` itself (no payload, nothing counted).
bool TextIsInside(const Variant& v) {
  std::string_view view;
  if (!v.TryTextView(view)) return false;
  const char* self = reinterpret_cast<const char*>(&v);
  return view.data() >= self && view.data() + view.size() <= self + sizeof(Variant);
}

TEST(VariantInlineText, BoundaryCases) {
  const std::string a13(13, 'a');
  struct Case {
    const char* id;
    std::string text;
    bool inside;
  } cases[] = {
      {"empty", "", true},
      {"one", "x", true},
      {"13", a13, true},
      {"14", a13 + "b", true},
      {"15", a13 + "bc", false},
      {"16", a13 + "bcd", false},
      {"2-byte-fills-14", "äöüäöüä", true},
      {"2-byte-ends-at-15", a13 + "ä", false},
      {"3-byte-ends-at-14", std::string(11, 'a') + "€", true},
      {"4-byte-ends-at-14", std::string(10, 'a') + "😀", true},
      {"4-byte-ends-at-15", std::string(11, 'a') + "😀", false},
      {"nul-inside", std::string("ab\0cd", 5), true},
      {"nul-14", std::string(14, '\0'), true},
      {"nul-15", std::string(15, '\0'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    for (const Variant& v : {Variant(c.text), Variant(std::string(c.text))}) {
      EXPECT_EQ(v.VarType(), varString);
      EXPECT_TRUE(v.IsString());
      EXPECT_EQ(TextIsInside(v), c.inside);
      std::string_view view;
      ASSERT_TRUE(v.TryTextView(view));
      EXPECT_EQ(view, c.text);
      EXPECT_EQ(v.AsString(), c.text);
      EXPECT_EQ(VarToStr(v), c.text);
      EXPECT_EQ(v.AsWideString(), Utf8ToUtf16(c.text));
      EXPECT_TRUE(v == Variant(c.text));
      Variant copy = v;
      EXPECT_EQ(TextIsInside(copy), c.inside);
      EXPECT_EQ(copy.AsString(), c.text);
    }
  }
  // A C string stops at its first NUL.
  EXPECT_EQ(Variant("ab\0cd").AsString(), "ab");
  EXPECT_EQ(Variant(static_cast<const char*>(nullptr)).AsString(), "");
}

TEST(VariantInlineText, CopyMoveSwapAcrossTheForms) {
  struct Case {
    const char* id;
    Variant a, b;
  } cases[] = {
      {"short-short", Variant("left"), Variant("right")},
      {"short-long", Variant("left"), Variant(kLong)},
      {"long-short", Variant(kLong), Variant("right")},
      {"long-long", Variant(kLong), Variant(kLong + "!")},
      {"wide-short-long", Variant(u"wide"), Variant(kLongWide)},
      {"utf8-wide", Variant("left"), Variant(u"wide")},
      {"short-integer", Variant("left"), Variant(42)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string ta = c.a.AsString(), tb = c.b.AsString();
    const TVarType ya = c.a.VarType(), yb = c.b.VarType();

    Variant x = c.a;
    x = c.b;  // copy assignment replaces either form with either form
    EXPECT_EQ(x.VarType(), yb);
    EXPECT_EQ(x.AsString(), tb);
    x = c.a;
    EXPECT_EQ(x.AsString(), ta);

    Variant& self = x;
    x = self;
    EXPECT_EQ(x.AsString(), ta);
    x = std::move(self);
    EXPECT_EQ(x.AsString(), ta);

    Variant y = c.b;
    y = std::move(x);
    EXPECT_TRUE(x.IsEmpty());
    EXPECT_EQ(y.VarType(), ya);
    EXPECT_EQ(y.AsString(), ta);
    Variant z(std::move(y));
    EXPECT_TRUE(y.IsEmpty());
    EXPECT_EQ(z.AsString(), ta);

    Variant p = c.a, q = c.b;
    p.Swap(q);
    EXPECT_EQ(p.VarType(), yb);
    EXPECT_EQ(p.AsString(), tb);
    EXPECT_EQ(q.VarType(), ya);
    EXPECT_EQ(q.AsString(), ta);
    // The originals are untouched by everything done to their copies.
    EXPECT_EQ(c.a.AsString(), ta);
    EXPECT_EQ(c.b.AsString(), tb);
  }
}

TEST(VariantInlineText, WideTextsOfBothLengths) {
  for (const std::u16string& s : {std::u16string(), std::u16string(u"ab\0c", 4), std::u16string(7, u'ß'),
                                  std::u16string(8, u'ß'), kLongWide}) {
    SCOPED_TRACE(Utf16ToUtf8(s));
    Variant v(s), w(s.c_str());
    EXPECT_EQ(v.VarType(), varOleStr);
    EXPECT_EQ(v.AsWideString(), s);
    EXPECT_EQ(v.AsString(), Utf16ToUtf8(s));
    EXPECT_TRUE(v == Variant(Utf16ToUtf8(s)));
    EXPECT_EQ(w.AsWideString(), s.c_str());
    std::string_view view;
    EXPECT_FALSE(v.TryTextView(view));
  }
}

TEST(VariantInlineText, ComparisonAndConcatenationAcrossTheForms) {
  const Variant shortA("abc"), longA(kLong), wide(u"abc");
  EXPECT_TRUE(shortA == wide);
  EXPECT_TRUE(shortA != longA);
  EXPECT_TRUE(longA < shortA);  // "a " sorts before "ab"
  EXPECT_TRUE(Variant("b") > longA);
  EXPECT_EQ(VarCompareValue(shortA, Variant(std::string("abc"))), TVariantRelationship::vrEqual);

  struct Case {
    const char* id;
    Variant sum;
    TVarType type;
    std::string text;
  } cases[] = {
      {"short+short=short", shortA + Variant("defghijklmn"), varString, "abcdefghijklmn"},
      {"short+short=long", shortA + Variant("defghijklmno"), varString, "abcdefghijklmno"},
      {"short+long", shortA + longA, varString, "abc" + kLong},
      {"long+short", longA + shortA, varString, kLong + "abc"},
      {"utf8+wide", shortA + wide, varString, "abcabc"},
      {"wide+wide", wide + Variant(u"defgh"), varOleStr, "abcdefgh"},
      {"empty+short", Variant() + shortA, varString, "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(c.sum.VarType(), c.type);
    EXPECT_EQ(c.sum.AsString(), c.text);
  }
}

TEST(VariantInlineText, ConversionsFromBothForms) {
  TFormatSettings settings;  // the defaults: "yyyy-MM-dd", "H:mm:ss", "." separator
  TFormatSettingsScope scope(settings);
  // Each value as a short text and as one padded past the inline bytes.
  struct Case {
    const char* shortText;
    const char* longText;
  } cases[] = {
      {"12345", "0000000000000012345"},    {"-1.5", "-1.5000000000000000"},
      {"12.3456", "000000000000012.3456"}, {"1", "00000000000000000001"},
      {"-12.50", "-0000000000000012.50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shortText);
    const Variant s(c.shortText), l(c.longText);
    ASSERT_TRUE(TextIsInside(s));
    ASSERT_FALSE(TextIsInside(l));
    EXPECT_DOUBLE_EQ(s.AsDouble(), l.AsDouble());
    EXPECT_EQ(s.AsCurrency(), l.AsCurrency());
    EXPECT_EQ(s.AsBoolean(), l.AsBoolean());
    EXPECT_TRUE(Variant(s.AsBcd()) == Variant(l.AsBcd()));
    EXPECT_EQ(VarAsType(s, varDouble).AsDouble(), VarAsType(l, varDouble).AsDouble());
    EXPECT_TRUE(s == Variant(l.AsDouble()));
    EXPECT_TRUE(l == Variant(s.AsDouble()));
  }
  EXPECT_EQ(Variant("12345").AsInteger(), 12345);
  EXPECT_EQ(Variant("-9000000000").AsInt64(), -9000000000);
  EXPECT_EQ(Variant(u"42").AsInteger(), 42);
  EXPECT_TRUE(Variant("TRUE").AsBoolean());
  EXPECT_DOUBLE_EQ(Variant("2024-03-01").AsDateTime(), 45352.0);
  EXPECT_DOUBLE_EQ(Variant("2024-03-01 12:00:00").AsDateTime(), 45352.5);
  EXPECT_TRUE(Variant("45352") == Variant::FromDate(45352));
  EXPECT_EQ(VarAsType(Variant(7), varString).AsString(), "7");
}

TEST(VariantInlineText, ArrayElementsOfBothForms) {
  Variant a = VarArrayCreate({0, 1}, varString);
  a.PutElement(0, Variant("short"));
  a.PutElement(1, Variant(kLong));
  Variant copy = a;
  a.PutElement(0, Variant(kLong));
  EXPECT_EQ(copy.GetElement(0).AsString(), "short");
  EXPECT_EQ(copy.GetElement(1).AsString(), kLong);
  EXPECT_EQ(a.GetElement(0).AsString(), kLong);
  EXPECT_TRUE(TextIsInside(copy.GetElement(0)));
  EXPECT_TRUE(VarArrayOf({Variant("x"), Variant(kLong)}) == VarArrayOf({Variant("x"), Variant(kLong)}));
}

}  // namespace
