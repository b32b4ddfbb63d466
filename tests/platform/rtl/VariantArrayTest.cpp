#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

namespace {

template <class F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no exception";
}

const char* kBadIndex = "Variant or safe array index out of bounds";

TEST(VariantArrayTest, CreateOneDimension) {
  Variant a = VarArrayCreate({-2, 3}, varVariant);
  EXPECT_TRUE(a.IsArray());
  EXPECT_TRUE(VarIsArray(a));
  EXPECT_EQ(a.VarType(), varArray | varVariant);
  EXPECT_EQ(a.ElementType(), varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), -2);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  for (int i = -2; i <= 3; ++i) EXPECT_TRUE(a.GetElement(i).IsEmpty());
  a.PutElement(-2, Variant("first"));
  a.PutElement(3, Variant::Null());
  EXPECT_EQ(a.GetElement(-2).AsString(), "first");
  EXPECT_TRUE(a.GetElement(3).IsNull());
  // An empty array: high = low - 1.
  Variant none = VarArrayCreate({0, -1}, varVariant);
  EXPECT_EQ(none.HighBound(), -1);
  EXPECT_THROW(none.GetElement(0), EVariantBadIndexError);
}

TEST(VariantArrayTest, TypedElementsStartAtZeroAndConvertOnPut) {
  struct Case {
    TVarType type;
    Variant initial;
    Variant put;
    Variant stored;
  } cases[] = {
      {varInteger, Variant(0), Variant("12"), Variant(12)},
      {varSmallint, Variant::FromSmallint(0), Variant(2.5), Variant::FromSmallint(2)},
      {varDouble, Variant(0.0), Variant(3), Variant(3.0)},
      {varSingle, Variant(0.0f), Variant(0.5), Variant(0.5f)},
      {varCurrency, Variant(Currency()), Variant(1.25), Variant(Currency::FromRaw(12500))},
      {varDate, Variant::FromDate(0), Variant(2), Variant::FromDate(2)},
      {varBoolean, Variant(false), Variant(1), Variant(true)},
      {varString, Variant(""), Variant(42), Variant("42")},
      {varOleStr, Variant(u""), Variant("x"), Variant(u"x")},
      {varInt64, Variant(0LL), Variant(true), Variant(-1LL)},
      {varByte, Variant::FromByte(0), Variant(255), Variant::FromByte(255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarTypeAsText(c.type));
    Variant a = VarArrayCreate({1, 3}, c.type);
    EXPECT_EQ(a.VarType(), varArray | c.type);
    Variant first = a.GetElement(1);
    EXPECT_EQ(first.VarType(), c.initial.VarType());
    EXPECT_TRUE(first == c.initial);
    a.PutElement(2, c.put);
    Variant got = a.GetElement(2);
    EXPECT_EQ(got.VarType(), c.stored.VarType());
    EXPECT_TRUE(got == c.stored);
  }
}

TEST(VariantArrayTest, FailedPutLeavesTheArrayUnchanged) {
  Variant a = VarArrayCreate({0, 1}, varByte);
  a.PutElement(0, Variant(7));
  Variant before = a;
  EXPECT_THROW(a.PutElement(0, Variant(256)), EVariantOverflowError);
  EXPECT_THROW(a.PutElement(0, Variant("x")), EVariantTypeCastError);
  EXPECT_EQ(a.GetElement(0).AsInteger(), 7);
  EXPECT_TRUE(a == before);
}

TEST(VariantArrayTest, MultiDimensional) {
  Variant a = VarArrayCreate({1, 3, -1, 0}, varInteger);
  EXPECT_EQ(a.DimCount(), 2);
  EXPECT_EQ(a.LowBound(1), 1);
  EXPECT_EQ(a.HighBound(1), 3);
  EXPECT_EQ(a.LowBound(2), -1);
  EXPECT_EQ(a.HighBound(2), 0);
  for (int i = 1; i <= 3; ++i)
    for (int j = -1; j <= 0; ++j) a.PutElement({i, j}, Variant(i * 10 + j));
  for (int i = 1; i <= 3; ++i)
    for (int j = -1; j <= 0; ++j) EXPECT_EQ(a.GetElement({i, j}).AsInteger(), i * 10 + j);
  EXPECT_EQ(MessageOf([&] { a.GetElement(1); }), kBadIndex);  // one index for two dimensions
  EXPECT_THROW(a.GetElement({1, 0, 0}), EVariantBadIndexError);
  EXPECT_THROW(a.LowBound(3), EVariantBadIndexError);
  EXPECT_THROW(a.HighBound(0), EVariantBadIndexError);
}

TEST(VariantArrayTest, IndexesAreChecked) {
  Variant a = VarArrayCreate({5, 7}, varVariant);
  Variant m = VarArrayCreate({0, 1, 0, 1}, varVariant);
  struct Case {
    std::vector<int> index;
    const Variant* array;
  } cases[] = {{{4}, &a},    {{8}, &a},     {{INT32_MIN}, &a}, {{INT32_MAX}, &a},
               {{0, 2}, &m}, {{-1, 0}, &m}, {{}, &m}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index.empty() ? -999 : c.index[0]);
    EXPECT_EQ(MessageOf([&] { c.array->GetElement(c.index); }), kBadIndex);
    Variant copy = *c.array;
    EXPECT_EQ(MessageOf([&] { copy.PutElement(c.index, Variant(1)); }), kBadIndex);
  }
}

TEST(VariantArrayTest, CreateRejectsBadArguments) {
  EXPECT_THROW(VarArrayCreate({}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({0}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1, 2}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({5, 3}, varVariant), EVariantError);  // high below low - 1
  EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varFMTBcd), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varArray | varVariant), EVariantError);
  // Sizes no table needs are refused before allocating.
  EXPECT_EQ(MessageOf([] {
              VarArrayCreate({INT32_MIN, INT32_MAX}, varVariant);
            }),
            "Error creating variant or safe array");
  EXPECT_THROW(VarArrayCreate({0, 100000, 0, 100000}, varByte), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 65535, 0, 65535, 0, 65535}, varInteger), EVariantError);
}

TEST(VariantArrayTest, NonArraysAreRefused) {
  Variant v(5);
  const char* notArray = "Variant is not an array";
  EXPECT_EQ(MessageOf([&] { v.DimCount(); }), notArray);
  EXPECT_EQ(MessageOf([&] { VarArrayLowBound(v, 1); }), notArray);
  EXPECT_EQ(MessageOf([&] { VarArrayHighBound(v, 1); }), notArray);
  EXPECT_EQ(MessageOf([&] { v.ElementType(); }), notArray);
  EXPECT_EQ(MessageOf([&] { v.GetElement(0); }), notArray);
  EXPECT_EQ(MessageOf([&] { v.PutElement(0, Variant(1)); }), notArray);
  EXPECT_EQ(MessageOf([&] { v.ArrayBytes(); }), notArray);
  EXPECT_THROW(Variant::Null().GetElement(0), EVariantError);
}

TEST(VariantArrayTest, CopiesAreIndependent) {
  Variant a = VarArrayOf({1, "two", 3.0});
  Variant b = a;
  b.PutElement(1, Variant("changed"));
  EXPECT_EQ(a.GetElement(1).AsString(), "two");
  EXPECT_EQ(b.GetElement(1).AsString(), "changed");
  a.PutElement(0, Variant(10));
  EXPECT_EQ(b.GetElement(0).AsInteger(), 1);
  // An array stored into itself keeps the old contents, not a cycle.
  a.PutElement(2, a);
  Variant inner = a.GetElement(2);
  EXPECT_TRUE(inner.IsArray());
  EXPECT_EQ(inner.GetElement(0).AsInteger(), 10);
  EXPECT_EQ(inner.GetElement(2).AsDouble(), 3.0);
}

TEST(VariantArrayTest, VarArrayOf) {
  Variant a = VarArrayOf({Variant(1), Variant::Null(), Variant("x")});
  EXPECT_EQ(a.VarType(), varArray | varVariant);
  EXPECT_EQ(a.LowBound(), 0);
  EXPECT_EQ(a.HighBound(), 2);
  EXPECT_TRUE(a.GetElement(1).IsNull());
  std::vector<Variant> values(5, Variant(2.5));
  Variant b = VarArrayOf(values);
  EXPECT_EQ(b.HighBound(), 4);
  EXPECT_EQ(VarArrayOf(std::vector<Variant>()).HighBound(), -1);
}

TEST(VariantArrayTest, ByteArrays) {
  std::vector<uint8_t> bytes = {0, 'A', 0xFF, '\n'};
  Variant a = VarArrayFromBytes(bytes);
  EXPECT_EQ(a.VarType(), varArray | varByte);
  EXPECT_EQ(a.LowBound(), 0);
  EXPECT_EQ(a.HighBound(), 3);
  EXPECT_EQ(a.ArrayBytes(), bytes);
  EXPECT_EQ(a.GetElement(2).VarType(), varByte);
  EXPECT_EQ(a.GetElement(2).AsInteger(), 255);
  Variant text = VarAsType(a, varString);
  EXPECT_EQ(text.VarType(), varString);
  EXPECT_EQ(text.AsString(), std::string("\0A\xff\n", 4));
  EXPECT_TRUE(VarArrayFromBytes({}).ArrayBytes().empty());
  // Text to bytes is not a cast.
  EXPECT_THROW(VarAsType(Variant("AB"), varArray | varByte), EVariantTypeCastError);
  EXPECT_THROW(VarArrayOf({1}).ArrayBytes(), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(VarArrayOf({1}), varString), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(a, varInteger), EVariantTypeCastError);
  EXPECT_THROW(VarArrayOf({1}).AsInteger(), EVariantTypeCastError);
}

TEST(VariantArrayTest, CastBetweenElementTypes) {
  Variant bytes = VarArrayFromBytes({1, 2, 3});
  Variant variants = VarAsType(bytes, varArray | varVariant);
  EXPECT_EQ(variants.VarType(), varArray | varVariant);
  EXPECT_EQ(variants.GetElement(1).VarType(), varByte);
  EXPECT_TRUE(variants == bytes);
  Variant back = VarAsType(VarArrayOf({10, "20", 30.4}), varArray | varByte);
  EXPECT_EQ(back.ArrayBytes(), (std::vector<uint8_t>{10, 20, 30}));
  EXPECT_THROW(VarAsType(VarArrayOf({300}), varArray | varByte), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant::Null(), varArray | varVariant), EVariantTypeCastError);
}

TEST(VariantArrayTest, EqualityIsElementWise) {
  struct Case {
    Variant a, b;
    bool equal;
  } cases[] = {
      {VarArrayOf({1, "x"}), VarArrayOf({1.0, "x"}), true},
      {VarArrayOf({1, Variant::Null()}), VarArrayOf({1, Variant::Null()}), true},
      {VarArrayOf({1, Variant::Null()}), VarArrayOf({1, 2}), false},
      {VarArrayOf({1, 2}), VarArrayOf({1, 2, 3}), false},
      {VarArrayOf({1, 2}), VarArrayCreate({1, 2}, varVariant), false},
      {VarArrayOf(std::vector<Variant>()), VarArrayCreate({0, -1}, varInteger), true},
      {VarArrayOf({VarArrayOf({1}), 2}), VarArrayOf({VarArrayOf({1}), 2}), true},
      {VarArrayOf({1}), Variant(1), false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cases[i].a == cases[i].b, cases[i].equal);
    EXPECT_EQ(VariantsEqual(cases[i].b, cases[i].a), cases[i].equal);
  }
  // Same values, other bounds: unequal.
  Variant shifted = VarArrayCreate({1, 2}, varVariant);
  shifted.PutElement(1, Variant(1));
  shifted.PutElement(2, Variant(2));
  EXPECT_FALSE(shifted == VarArrayOf({1, 2}));
  EXPECT_EQ(VarCompareValue(VarArrayOf({1, Variant::Null()}), VarArrayOf({1, 2})),
            TVariantRelationship::vrNotEqual);
}

// Release and comparison recurse once a level: code that nests without end must be stopped
// at the documented depth, long before the stack runs out.
TEST(VariantArrayTest, NestingIsBoundedWhicheverWayItIsBuilt) {
  const std::string kTooDeep = "Variant arrays nested more than 64 levels deep";
  Variant nested = 1;
  int levels = 0;
  std::string message = "no exception";
  for (; levels < 100000 && message == "no exception"; ++levels)
    message = MessageOf([&] { nested = VarArrayOf({nested}); });
  EXPECT_EQ(message, kTooDeep);
  EXPECT_EQ(levels - 1, MaxVarArrayDepth);
  Variant copy = nested;
  EXPECT_TRUE(copy == nested);  // the deepest array still compares

  Variant holder = VarArrayCreate({0, 1}, varVariant);
  EXPECT_EQ(MessageOf([&] { holder.PutElement(0, nested); }), kTooDeep);
  EXPECT_TRUE(holder.GetElement(0).IsEmpty());
  // Replacing the deepest element makes room again.
  Variant shallow = VarArrayOf({nested.GetElement(0), 2});
  EXPECT_EQ(MessageOf([&] { VarArrayOf({shallow}); }), kTooDeep);
  shallow.PutElement(0, 1);
  EXPECT_EQ(MessageOf([&] { VarArrayOf({shallow}); }), "no exception");
}

TEST(VariantArrayTest, GroupKeysSortLexicographically) {
  std::vector<Variant> keys = {
      VarArrayOf({"b", 1}),
      VarArrayOf({"a", 2}),
      VarArrayOf({"a", 10}),
      VarArrayOf({"a"}),
      VarArrayOf({Variant::Null(), 5}),
      VarArrayOf({"a", Variant::Null()}),
  };
  std::sort(keys.begin(), keys.end());
  std::vector<std::string> order;
  for (const Variant& k : keys) {
    std::string s;
    for (int i = k.LowBound(); i <= k.HighBound(); ++i)
      s += (i ? "," : "") + VarToStrDef(k.GetElement(i), "null");
    order.push_back(s);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"null,5", "a", "a,null", "a,2", "a,10", "b,1"}));
}

}  // namespace
