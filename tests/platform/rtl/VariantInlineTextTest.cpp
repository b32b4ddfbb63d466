// Short texts live inside the Variant: the boundary to the shared payload, and that nothing
// outside can tell the two forms apart.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

namespace {

const std::string kLong(33, 'z'), k13(13, 'a');

// Whether the text of `v` is stored inside `v` itself (no payload, nothing counted).
bool TextIsInside(const Variant& v) {
  std::string_view s;
  const char* self = reinterpret_cast<const char*>(&v);
  return v.TryTextView(s) && s.data() >= self && s.data() + s.size() <= self + sizeof(Variant);
}

TEST(VariantInlineText, BoundaryCases) {
  const std::pair<std::string, bool> cases[] = {{"", true},
                                                {"x", true},
                                                {k13, true},
                                                {k13 + "b", true},
                                                {k13 + "bc", false},
                                                {k13 + "bcd", false},
                                                {"äöüäöüä", true},
                                                {k13 + "ä", false},
                                                {k13.substr(2) + "€", true},
                                                {k13.substr(3) + "😀", true},
                                                {k13.substr(2) + "😀", false},
                                                {std::string("ab\0cd", 5), true},
                                                {std::string(14, '\0'), true},
                                                {std::string(15, '\0'), false}};
  for (const auto& [text, inside] : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    const Variant v(text), copy = v;
    EXPECT_EQ(copy.VarType(), varString);
    EXPECT_EQ(TextIsInside(v), inside);
    EXPECT_EQ(TextIsInside(copy), inside);
    std::string_view view;
    EXPECT_TRUE(copy.TryTextView(view) && view == text && VarToStr(copy) == text);
    EXPECT_TRUE(v.AsWideString() == Utf8ToUtf16(text) && v == Variant(Utf8ToUtf16(text)));
  }
  EXPECT_EQ(Variant("ab\0cd").AsString(), "ab");  // a C string stops at its first NUL
}

TEST(VariantInlineText, CopyMoveSwapAcrossTheForms) {
  const std::pair<Variant, Variant> cases[] = {{Variant("left"), Variant(kLong)},
                                               {Variant(kLong), Variant("right")},
                                               {Variant(u"wide"), Variant(std::u16string(8, u'w'))},
                                               {Variant(std::u16string(9, u'v')), Variant(42)}};
  for (const auto& [a, b] : cases) {
    SCOPED_TRACE(a.AsString() + "/" + b.AsString());
    auto same = [](const Variant& x, const Variant& y) {
      return x.VarType() == y.VarType() && x.AsString() == y.AsString();
    };
    Variant x = a, y = b;
    x = y;
    EXPECT_TRUE(same(x, b));
    x = a;
    Variant& self = x;
    x = self;
    x = std::move(self);
    y = std::move(x);
    EXPECT_TRUE(x.IsEmpty() && same(y, a));
    x = b;
    x.Swap(y);
    EXPECT_TRUE(same(x, a) && same(y, b));
  }
}

TEST(VariantInlineText, OperatorsConversionsAndArrays) {
  const Variant shortA("abc"), longA(kLong), wide(u"abc");
  EXPECT_TRUE(shortA == wide && shortA != longA && shortA < longA && !(longA < shortA));
  EXPECT_TRUE(TextIsInside(shortA + Variant("defghijklmn")));
  EXPECT_EQ((shortA + Variant("defghijklmno")).AsString(), "abcdefghijklmno");
  EXPECT_EQ((longA + shortA).AsString(), kLong + "abc");
  EXPECT_EQ((wide + Variant(u"defgh")).AsWideString(), u"abcdefgh");
  for (const char* text : {"-12.5", "-0000000000000012.50"}) {  // inline, then a payload
    SCOPED_TRACE(text);
    EXPECT_DOUBLE_EQ(Variant(text).AsDouble(), -12.5);
    EXPECT_EQ(Variant(text).AsCurrency(), Currency::FromRaw(-125000));
    EXPECT_TRUE(Variant(text).AsBoolean() && Variant(text) == Variant(-12.5));
  }
  EXPECT_EQ(Variant(u"42").AsInt64(), 42);
  Variant a = VarArrayOf({Variant("short"), Variant(kLong)});
  const Variant copy = a;
  a.PutElement(0, Variant(kLong));
  EXPECT_TRUE(TextIsInside(copy.GetElement(0)) && copy.GetElement(0).AsString() == "short");
}

}  // namespace
