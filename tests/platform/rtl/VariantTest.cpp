#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Variant.h"

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr uint64_t kUInt64Max = std::numeric_limits<uint64_t>::max();

// Counts references so that a test can see the Variant hold and drop them.
class TCountedIntf : public IInterface {
 public:
  HRESULT QueryInterface(const TGUID&, void** obj) override {
    *obj = nullptr;
    return E_NOINTERFACE;
  }
  int32_t _AddRef() override { return ++refs; }
  int32_t _Release() override { return --refs; }
  int32_t refs = 0;
};

// The message of the exception `f` raises; fails the test when it raises none or another type.
template <class E>
std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "wrong exception: " << e.what();
    return {};
  }
  ADD_FAILURE() << "no exception";
  return {};
}

std::string CastMessage(const std::string& from, const std::string& to) {
  return "Could not convert variant of type (" + from + ") into type (" + to + ")";
}

TEST(VariantTest, ConstructorsChooseTheVarType) {
  TCountedIntf intf;
  struct Case {
    Variant v;
    TVarType type;
  } cases[] = {
      {Variant(), varEmpty},
      {Variant::Null(), varNull},
      {Variant(true), varBoolean},
      {Variant(7), varInteger},
      {Variant(7L), varInt64},
      {Variant(7LL), varInt64},
      {Variant(7u), varLongWord},
      {Variant(7UL), varUInt64},
      {Variant(7ULL), varUInt64},
      {Variant(1.5), varDouble},
      {Variant(1.5L), varDouble},
      {Variant(1.5f), varSingle},
      {Variant(Currency::FromInt(2)), varCurrency},
      {Variant("a"), varString},
      {Variant(std::string("a")), varString},
      {Variant(std::u16string(u"a")), varOleStr},
      {Variant(TSQLTimeStamp{}), varSQLTimeStamp},
      {Variant(TBcd{"1.5"}), varFMTBcd},
      {Variant(static_cast<IInterface*>(&intf)), varUnknown},
      {Variant::FromDispatch(&intf), varDispatch},
      {Variant::FromDate(1), varDate},
      {Variant::FromSmallint(1), varSmallint},
      {Variant::FromByte(1), varByte},
      {Variant::FromWord(1), varWord},
      {Variant::FromShortInt(1), varShortInt},
      {Variant::FromError(5), varError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarTypeAsText(c.type));
    EXPECT_EQ(c.v.VarType(), c.type);
  }
}

TEST(VariantTest, ScalarsStayInline) {
  // Every cell of a large table is a Variant: a scalar must not cost more than 16 bytes.
  EXPECT_LE(sizeof(Variant), 16u);
}

TEST(VariantTest, TypePredicates) {
  struct Case {
    Variant v;
    bool numeric, ordinal, flt, str;
  } cases[] = {
      {Variant(1), true, true, false, false},
      {Variant(1ULL), true, true, false, false},
      {Variant(true), false, true, false, false},
      {Variant(1.5), true, false, true, false},
      {Variant(1.5f), true, false, true, false},
      {Variant(Currency()), true, false, true, false},
      {Variant::FromDate(1), false, false, true, false},
      {Variant("1"), false, false, false, true},
      {Variant(u"1"), false, false, false, true},
      {Variant(), false, false, false, false},
      {Variant::Null(), false, false, false, false},
      {Variant(TBcd{"1"}), true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarTypeAsText(c.v.VarType()));
    EXPECT_EQ(c.v.IsNumeric(), c.numeric);
    EXPECT_EQ(VarIsNumeric(c.v), c.numeric);
    EXPECT_EQ(c.v.IsOrdinal(), c.ordinal);
    EXPECT_EQ(c.v.IsFloat(), c.flt);
    EXPECT_EQ(c.v.IsString(), c.str);
    EXPECT_EQ(VarIsStr(c.v), c.str);
  }
}

TEST(VariantTest, VarTypeAsText) {
  // These names appear in every conversion message.
  std::string names;
  for (TVarType t : {varEmpty,    varNull,   varSmallint, varInteger,  varSingle,  varDouble,  varCurrency,
                     varDate,     varOleStr, varDispatch, varError,    varBoolean, varVariant, varUnknown,
                     varShortInt, varByte,   varWord,     varLongWord, varInt64,   varUInt64,  varString})
    names += VarTypeAsText(t) + " ";
  EXPECT_EQ(
      names,
      "Empty Null Smallint Integer Single Double Currency Date OleStr Dispatch Error Boolean Variant Unknown "
      "ShortInt Byte Word LongWord Int64 UInt64 String ");
  EXPECT_EQ(VarTypeAsText(varArray | varVariant), "Array Variant");
  EXPECT_EQ(VarTypeAsText(varArray | varByte), "Array Byte");
  EXPECT_EQ(VarTypeAsText(0x0042), "$0042");
}

TEST(VariantTest, IntegerConversionsRoundAndCheckRange) {
  struct Case {
    Variant v;
    int64_t expected;
  } cases[] = {
      {Variant(), 0},
      {Variant(true), -1},
      {Variant(false), 0},
      {Variant(2.5), 2},
      {Variant(3.5), 4},
      {Variant(-2.5), -2},
      {Variant(-2.6), -3},
      {Variant(2.5f), 2},
      {Variant(Currency::FromRaw(25000)), 2},
      {Variant(Currency::FromRaw(35000)), 4},
      {Variant(Currency::FromRaw(-15001)), -2},
      {Variant::FromDate(1.5), 2},
      {Variant("42"), 42},
      {Variant(u"-17"), -17},
      {Variant("2.5"), 2},
      {Variant::FromWord(65535), 65535},
      {Variant(4000000000u), 4000000000LL},
      {Variant(kInt64Max), kInt64Max},
      {Variant(TBcd{"-12.5"}), -12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarTypeAsText(c.v.VarType()) + " " + std::to_string(c.expected));
    EXPECT_EQ(c.v.AsInt64(), c.expected);
    if (c.expected >= INT32_MIN && c.expected <= INT32_MAX)
      EXPECT_EQ(c.v.AsInteger(), c.expected);
    else
      EXPECT_EQ(MessageOf<EVariantOverflowError>([&] { c.v.AsInteger(); }), "Arithmetic overflow");
  }
  const Variant tooBig[] = {Variant(kUInt64Max), Variant(1e19), Variant(-1e19), Variant(std::nan("")),
                            Variant(std::numeric_limits<double>::infinity())};
  for (const Variant& v : tooBig) EXPECT_THROW(v.AsInt64(), EVariantOverflowError);
}

TEST(VariantTest, NullConvertsToNothing) {
  Variant n = Variant::Null();
  struct Case {
    std::function<void()> f;
    const char* to;
  } cases[] = {
      {[&] { n.AsInteger(); }, "Integer"},   {[&] { n.AsInt64(); }, "Int64"},
      {[&] { n.AsDouble(); }, "Double"},     {[&] { n.AsExtended(); }, "Double"},
      {[&] { n.AsBoolean(); }, "Boolean"},   {[&] { n.AsCurrency(); }, "Currency"},
      {[&] { n.AsDateTime(); }, "Date"},     {[&] { n.AsString(); }, "String"},
      {[&] { n.AsWideString(); }, "OleStr"}, {[&] { n.AsError(); }, "Error"},
      {[&] { n.AsBcd(); }, "FMTBcd"},        {[&] { n.AsSQLTimeStamp(); }, "SQLTimeStamp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    EXPECT_EQ(MessageOf<EVariantTypeCastError>(c.f), CastMessage("Null", c.to));
  }
  EXPECT_EQ(n.AsInterface(), nullptr);
}

TEST(VariantTest, UnconvertibleValuesRaiseTheCastError) {
  TCountedIntf intf;
  Variant unknown(static_cast<IInterface*>(&intf));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant("abc").AsInteger(); }),
            CastMessage("String", "Integer"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"x").AsDouble(); }),
            CastMessage("OleStr", "Double"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant("yes").AsBoolean(); }),
            CastMessage("String", "Boolean"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { unknown.AsInteger(); }),
            CastMessage("Unknown", "Integer"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { unknown.AsString(); }), CastMessage("Unknown", "String"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant::FromError(3).AsDouble(); }),
            CastMessage("Error", "Double"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(1).AsError(); }), CastMessage("Integer", "Error"));
  EXPECT_EQ(Variant::FromError(-7).AsError(), -7);
}

TEST(VariantTest, TextOfValues) {
  struct Case {
    Variant v;
    const char* text;
  } cases[] = {
      {Variant(), ""},
      {Variant(42), "42"},
      {Variant(-42LL), "-42"},
      {Variant(kUInt64Max), "18446744073709551615"},
      {Variant::FromShortInt(-8), "-8"},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant(1.5), "1.5"},
      {Variant(0.1f), "0.1"},  // a Single shows its own precision, not the double's digits
      {Variant(Currency::FromRaw(15000)), "1.5"},
      {Variant("abc"), "abc"},
      {Variant(u"\u4e2d\u6587"), "\xe4\xb8\xad\xe6\x96\x87"},
      {Variant(TBcd{"-12.50"}), "-12.50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.v.AsString(), c.text);
    EXPECT_EQ(VarToStr(c.v), c.text);
  }
  EXPECT_EQ(Variant("\xe4\xb8\xad").AsWideString(), u"\u4e2d");
}

TEST(VariantTest, TextUsesTheLocaleSettings) {
  TFormatSettings settings;  // the defaults: "yyyy-MM-dd", "H:mm:ss", "." separator
  TFormatSettingsScope scope(settings);
  EXPECT_EQ(Variant::FromDate(45352.5).AsString(), "2024-03-01 12:00:00");
  EXPECT_DOUBLE_EQ(Variant("2024-03-01").AsDateTime(), 45352.0);
  EXPECT_TRUE(Variant::FromDate(45352) == Variant("2024-03-01"));
  EXPECT_TRUE(Variant::FromDate(45352) < Variant("2024-03-02"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant("someday").AsDateTime(); }),
            CastMessage("String", "Date"));

  settings.DecimalSeparator = ",";
  TFormatSettingsScope comma(settings);
  EXPECT_DOUBLE_EQ(Variant("1,5").AsDouble(), 1.5);
  EXPECT_EQ(Variant(1.5).AsString(), "1,5");
  EXPECT_EQ(Variant(TBcd{"-12.50"}).AsString(), "-12,50");
  EXPECT_EQ(Variant("-12,50").AsBcd().Digits, "-12.50");
  EXPECT_TRUE(Variant("2,5") == Variant(2.5));
}

TEST(VariantTest, VarToStrTreatsNullAndEmptyAsEmptyText) {
  EXPECT_EQ(VarToStr(Variant::Null()), "");
  EXPECT_EQ(VarToStr(Variant()), "");
  EXPECT_EQ(VarToWideStr(Variant::Null()), u"");
  EXPECT_EQ(VarToStrDef(Variant::Null(), "n/a"), "n/a");
  EXPECT_EQ(VarToStrDef(Variant(5), "n/a"), "5");
  EXPECT_THROW(VarToStr(VarArrayOf({1, 2})), EVariantTypeCastError);
}

TEST(VariantTest, BooleanConversions) {
  struct Case {
    Variant v;
    bool expected;
  } cases[] = {
      {Variant(), false},      {Variant(0), false},     {Variant(-3), true},
      {Variant(0.0), false},   {Variant(0.25), true},   {Variant(Currency()), false},
      {Variant("True"), true}, {Variant("tRUE"), true}, {Variant("FALSE"), false},
      {Variant("0"), false},   {Variant("2"), true},    {Variant(u"false"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarToStr(c.v));
    EXPECT_EQ(c.v.AsBoolean(), c.expected);
  }
}

TEST(VariantTest, FloatingAndCurrencyConversions) {
  EXPECT_DOUBLE_EQ(Variant(7).AsDouble(), 7.0);
  EXPECT_DOUBLE_EQ(Variant(true).AsDouble(), -1.0);
  EXPECT_DOUBLE_EQ(Variant(Currency::FromRaw(12345)).AsDouble(), 1.2345);
  EXPECT_DOUBLE_EQ(Variant("2.5").AsDouble(), 2.5);
  EXPECT_DOUBLE_EQ(Variant::FromDate(45000.25).AsDouble(), 45000.25);
  EXPECT_DOUBLE_EQ(Variant(45000.25).AsDateTime(), 45000.25);
  EXPECT_EQ(Variant(kUInt64Max).AsExtended(), 18446744073709551615.0L);
  EXPECT_EQ(Variant(1.25).AsCurrency().Raw(), 12500);
  EXPECT_EQ(Variant(0.03125).AsCurrency().Raw(), 312);
  EXPECT_EQ(Variant(-3).AsCurrency().Raw(), -30000);
  EXPECT_EQ(Variant("12.3456").AsCurrency().Raw(), 123456);
  EXPECT_THROW(Variant(kInt64Max).AsCurrency(), EVariantOverflowError);
  EXPECT_THROW(Variant(1e300).AsCurrency(), EVariantOverflowError);
  EXPECT_THROW(Variant("1e400").AsDouble(), EVariantOverflowError);
}

TEST(VariantTest, InterfacesAreReferenced) {
  TCountedIntf intf;
  {
    Variant a(static_cast<IInterface*>(&intf));
    EXPECT_EQ(intf.refs, 1);
    Variant b = a;
    EXPECT_EQ(intf.refs, 2);
    Variant c = std::move(b);
    EXPECT_EQ(intf.refs, 2);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(c.AsInterface(), &intf);
    c = Variant(1);
    EXPECT_EQ(intf.refs, 1);
    Variant d = VarAsType(a, varDispatch);
    EXPECT_EQ(d.VarType(), varDispatch);
    EXPECT_EQ(d.AsInterface(), &intf);
    EXPECT_TRUE(a == d);
  }
  EXPECT_EQ(intf.refs, 0);
  Variant none(static_cast<IInterface*>(nullptr));
  EXPECT_EQ(none.AsInterface(), nullptr);
  EXPECT_EQ(Variant(5).AsInterface(), nullptr);
}

TEST(VariantTest, CopiesAreIndependent) {
  Variant a("first");
  Variant b = a;
  a = Variant("second");
  EXPECT_EQ(b.AsString(), "first");
  b = b;  // self-assignment keeps the value
  EXPECT_EQ(b.AsString(), "first");
  Variant c = std::move(a);
  EXPECT_EQ(c.AsString(), "second");
  EXPECT_TRUE(a.IsEmpty());
}

TEST(VariantTest, VarAsTypeCastsWithRangeChecks) {
  struct Case {
    Variant v;
    TVarType to;
    Variant expected;
  } cases[] = {
      {Variant(), varEmpty, Variant()},
      {Variant(), varInteger, Variant(0)},
      {Variant(), varString, Variant("")},
      {Variant(), varBoolean, Variant(false)},
      {Variant::Null(), varNull, Variant::Null()},
      {Variant::Null(), varVariant, Variant::Null()},
      {Variant(5), varNull, Variant::Null()},
      {Variant(5), varEmpty, Variant()},
      {Variant("12"), varSmallint, Variant::FromSmallint(12)},
      {Variant(2.5), varInteger, Variant(2)},
      {Variant(255), varByte, Variant::FromByte(255)},
      {Variant(-128), varShortInt, Variant::FromShortInt(-128)},
      {Variant("4000000000"), varLongWord, Variant(4000000000u)},
      {Variant(3), varString, Variant("3")},
      {Variant(3), varOleStr, Variant(u"3")},
      {Variant(true), varInteger, Variant(-1)},
      {Variant(-1), varBoolean, Variant(true)},
      {Variant(2.0), varDate, Variant::FromDate(2.0)},
      {Variant(3), varCurrency, Variant(Currency::FromInt(3))},
      {Variant(0.5), varSingle, Variant(0.5f)},
      {Variant(7), varVariant, Variant(7)},
      {Variant("2.50"), varFMTBcd, Variant(TBcd{"2.50"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarTypeAsText(c.v.VarType()) + " -> " + VarTypeAsText(c.to));
    Variant r = VarAsType(c.v, c.to);
    EXPECT_EQ(r.VarType(), c.expected.VarType());
    EXPECT_TRUE(VariantsEqual(r, c.expected));
  }
  struct Bad {
    Variant v;
    TVarType to;
  } overflows[] = {{Variant(40000), varSmallint}, {Variant(256), varByte},        {Variant(-1), varWord},
                   {Variant(-1), varLongWord},    {Variant(128), varShortInt},    {Variant(-1), varUInt64},
                   {Variant(1e39), varSingle},    {Variant(kUInt64Max), varInt64}};
  for (const Bad& b : overflows) {
    SCOPED_TRACE(VarTypeAsText(b.to));
    EXPECT_THROW(VarAsType(b.v, b.to), EVariantOverflowError);
  }
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarAsType(Variant::Null(), varInteger); }),
            CastMessage("Null", "Integer"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarAsType(Variant(1), varUnknown); }),
            CastMessage("Integer", "Unknown"));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarAsType(Variant("ab"), varArray | varByte); }),
            CastMessage("String", "Array Byte"));
  EXPECT_THROW(VarAsType(Variant(1), 0x0777), EVariantError);
}

TEST(VariantTest, SQLTimeStampConvertsThroughTheCalendar) {
  struct Case {
    TSQLTimeStamp ts;
    double date;
  } cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1900, 1, 1, 12, 0, 0, 0}, 2.5},
      {{2000, 2, 29, 6, 0, 0, 0}, 36585.25},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},  // before the epoch the time still counts forward
      {{1, 1, 1, 0, 0, 0, 0}, -693593.0},
      {{9999, 12, 31, 0, 0, 0, 0}, 2958465.0},
      {{2024, 3, 1, 0, 0, 1, 500}, 45352 + 1.5 / 86400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    EXPECT_NEAR(Variant(c.ts).AsDateTime(), c.date, 1e-9);
    EXPECT_EQ(Variant::FromDate(c.date).AsSQLTimeStamp(), c.ts);
  }
  // Rounding to the millisecond carries into the next day.
  TSQLTimeStamp carried = Variant::FromDate(1.0 - 1e-10).AsSQLTimeStamp();
  EXPECT_EQ(carried, (TSQLTimeStamp{1899, 12, 31, 0, 0, 0, 0}));
  EXPECT_THROW(Variant(TSQLTimeStamp{2023, 2, 29}).AsDateTime(), EVariantTypeCastError);
  EXPECT_THROW(Variant(TSQLTimeStamp{2023, 13, 1}).AsDouble(), EVariantTypeCastError);
  EXPECT_THROW(Variant::FromDate(3e6).AsSQLTimeStamp(), EVariantOverflowError);
  EXPECT_TRUE(Variant(TSQLTimeStamp{2000, 1, 1}) < Variant(TSQLTimeStamp{2000, 1, 1, 0, 0, 0, 1}));
  EXPECT_TRUE(Variant(TSQLTimeStamp{1900, 1, 1, 12}) == Variant::FromDate(2.5));
}

TEST(VariantTest, BcdKeepsItsDigits) {
  struct Case {
    Variant v;
    const char* digits;
  } cases[] = {
      {Variant(" -0012.50 "), "-12.50"},
      {Variant("+.5"), "0.5"},
      {Variant("-0.000"), "0.000"},
      {Variant(42), "42"},
      {Variant(kUInt64Max), "18446744073709551615"},
      {Variant(Currency::FromRaw(15000)), "1.5"},
      {Variant(Currency::FromRaw(-1)), "-0.0001"},
      {Variant(0.1), "0.1"},
      {Variant(1e20), "100000000000000000000"},
      {Variant(-1.5e-7), "-0.00000015"},
      {Variant(true), "-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.digits);
    EXPECT_EQ(c.v.AsBcd().Digits, c.digits);
  }
  const char* bad[] = {"", "-", ".", "1.2.3", "1e5", "12a", "1 2"};
  for (const char* s : bad) {
    SCOPED_TRACE(s);
    EXPECT_THROW(Variant(s).AsBcd(), EVariantTypeCastError);
  }
  EXPECT_THROW(Variant(std::string(65, '9')).AsBcd(), EVariantTypeCastError);
  EXPECT_EQ(Variant(std::string(64, '9')).AsBcd().Digits, std::string(64, '9'));
  EXPECT_EQ((-Variant(TBcd{"12.50"})).AsBcd().Digits, "-12.50");
  EXPECT_EQ((-Variant(TBcd{"-0.5"})).AsBcd().Digits, "0.5");
  EXPECT_DOUBLE_EQ(Variant(TBcd{"-12.5"}).AsDouble(), -12.5);
}

// ---- comparison ---------------------------------------------------------------------

using R = TVariantRelationship;

TEST(VariantTest, CompareValueAcrossTypes) {
  struct Case {
    Variant a, b;
    R r;
  } cases[] = {
      {Variant::Null(), Variant::Null(), R::vrEqual},
      {Variant::Null(), Variant(1), R::vrNotEqual},
      {Variant(), Variant::Null(), R::vrNotEqual},
      {Variant(), Variant(), R::vrEqual},
      {Variant(), Variant(0), R::vrEqual},
      {Variant(), Variant(""), R::vrEqual},
      {Variant(), Variant(-1), R::vrGreaterThan},
      {Variant(1), Variant(1.0), R::vrEqual},
      {Variant(1), Variant(Currency::FromInt(1)), R::vrEqual},
      {Variant(Currency::FromRaw(1000)), Variant(0.1), R::vrEqual},
      {Variant(Currency::FromRaw(1001)), Variant(0.1), R::vrGreaterThan},
      {Variant(kInt64Max), Variant(9223372036854775808.0), R::vrLessThan},
      {Variant(kUInt64Max), Variant(-1), R::vrGreaterThan},
      {Variant(kUInt64Max), Variant(-1.0), R::vrGreaterThan},
      {Variant::FromDate(2.5), Variant(2.5), R::vrEqual},
      {Variant(1.5f), Variant(1.5), R::vrEqual},
      {Variant("10"), Variant(9), R::vrGreaterThan},  // numeric, not "10" < "9"
      {Variant(9), Variant("10"), R::vrLessThan},
      {Variant("0.1"), Variant(0.1), R::vrEqual},
      {Variant("abc"), Variant(1), R::vrGreaterThan},  // "abc" cannot be a number: compared as text
      {Variant("a"), Variant("b"), R::vrLessThan},
      {Variant("a"), Variant(u"a"), R::vrEqual},
      {Variant(true), Variant(false), R::vrGreaterThan},
      {Variant(true), Variant(0), R::vrLessThan},  // True is -1 against numbers
      {Variant(true), Variant(-1), R::vrEqual},
      {Variant(true), Variant("true"), R::vrEqual},
      {Variant(false), Variant(), R::vrEqual},
      {Variant(TBcd{"1.50"}), Variant(TBcd{"1.5"}), R::vrEqual},
      {Variant(TBcd{"-2"}), Variant(TBcd{"-10"}), R::vrGreaterThan},
      {Variant(TBcd{"1.5"}), Variant(1.5), R::vrEqual},
      {Variant(TBcd{"1.5"}), Variant("1.50"), R::vrEqual},
      {Variant(std::nan("")), Variant(std::nan("")), R::vrNotEqual},
      {Variant::FromError(1), Variant(1), R::vrNotEqual},
      {Variant::FromError(1), Variant::FromError(2), R::vrLessThan},
  };
  auto flip = [](R r) {
    return r == R::vrLessThan ? R::vrGreaterThan : r == R::vrGreaterThan ? R::vrLessThan : r;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarTypeAsText(c.a.VarType()) + " vs " + VarTypeAsText(c.b.VarType()));
    EXPECT_EQ(VarCompareValue(c.a, c.b), c.r);
    EXPECT_EQ(VarCompareValue(c.b, c.a), flip(c.r));
    EXPECT_EQ(c.a == c.b, c.r == R::vrEqual);
    EXPECT_EQ(VariantsEqual(c.a, c.b), c.r == R::vrEqual);
    if (c.r == R::vrLessThan || c.r == R::vrGreaterThan) {
      EXPECT_EQ(c.a < c.b, c.r == R::vrLessThan);
      EXPECT_EQ(c.a > c.b, c.r == R::vrGreaterThan);
    }
  }
}

TEST(VariantTest, SortOrderPutsNullFirst) {
  EXPECT_TRUE(Variant::Null() < Variant(-1e300));
  EXPECT_TRUE(Variant::Null() < Variant(""));
  EXPECT_FALSE(Variant::Null() < Variant::Null());
  EXPECT_FALSE(Variant(1) < Variant::Null());
  EXPECT_TRUE(Variant::Null() <= Variant::Null());
  // Values without an order still sort consistently: irreflexive and asymmetric.
  TCountedIntf i1, i2;
  Variant odd[] = {Variant(std::nan("")),
                   Variant::FromError(1),
                   Variant(static_cast<IInterface*>(&i1)),
                   Variant(static_cast<IInterface*>(&i2)),
                   VarArrayOf({1}),
                   Variant(1)};
  for (const Variant& a : odd) {
    EXPECT_FALSE(a < a);
    for (const Variant& b : odd) {
      if (&a != &b) {
        EXPECT_NE(a < b, b < a);
      }
    }
  }
}

TEST(VariantTest, StringEqualityIsExact) {
  // Canonically equivalent spellings of "é" collate alike; equality must still tell them apart.
  Variant a("\xc3\xa9"), b("e\xcc\x81");
  EXPECT_FALSE(a == b);
  EXPECT_NE(a < b, b < a);
}

TEST(VariantTest, SameValueSeparatesEmptyAndNull) {
  EXPECT_TRUE(VarSameValue(Variant(), Variant()));
  EXPECT_TRUE(VarSameValue(Variant::Null(), Variant::Null()));
  EXPECT_FALSE(VarSameValue(Variant(), Variant(0)));
  EXPECT_FALSE(VarSameValue(Variant(0), Variant()));
  EXPECT_FALSE(VarSameValue(Variant(), Variant::Null()));
  EXPECT_TRUE(VarSameValue(Variant(1), Variant(1.0)));
  EXPECT_FALSE(VarSameValue(Variant(1), Variant(2)));
}

// ---- arithmetic ---------------------------------------------------------------------

TEST(VariantTest, ArithmeticPromotesTypes) {
  const Variant date = Variant::FromDate(45000.5);
  struct Case {
    Variant r;
    Variant expected;
  } cases[] = {
      {Variant(1) + Variant(2), Variant(3)},
      {Variant(INT32_MAX) + Variant(1), Variant(2147483648LL)},
      {Variant(INT32_MIN) - Variant(1), Variant(-2147483649LL)},
      {Variant(65536) * Variant(65536), Variant(4294967296LL)},
      {Variant::FromSmallint(30000) + Variant::FromSmallint(30000), Variant(60000)},
      {Variant::FromByte(200) + Variant::FromByte(100), Variant(300)},
      {Variant(true) + Variant(true), Variant(-2)},
      {Variant(4000000000u) + Variant(1u), Variant(4000000001u)},
      {Variant(1u) - Variant(2u), Variant(-1LL)},
      {Variant(4000000000u) + Variant(1000000000u), Variant(5000000000LL)},
      {Variant(kUInt64Max) - Variant(1ULL), Variant(kUInt64Max - 1)},
      {Variant(kInt64Max) + Variant(1ULL), Variant(9223372036854775808ULL)},
      {Variant(1) + Variant(0.5), Variant(1.5)},
      {Variant(1.5f) + Variant(1.0f), Variant(2.5f)},
      {Variant(1.5f) + Variant(1), Variant(2.5)},
      {Variant(Currency::FromRaw(15000)) + Variant(2), Variant(Currency::FromRaw(35000))},
      {Variant(Currency::FromRaw(15000)) * Variant(Currency::FromRaw(15000)),
       Variant(Currency::FromRaw(22500))},
      {Variant(Currency::FromRaw(1)) * Variant(3), Variant(Currency::FromRaw(3))},
      {Variant(Currency::FromRaw(15000)) + Variant(0.25), Variant(1.75)},
      {date + Variant(1), Variant::FromDate(45001.5)},
      {Variant(1) + date, Variant::FromDate(45001.5)},
      {date - Variant(0.5), Variant::FromDate(45000.0)},
      {date - Variant::FromDate(45000.0), Variant(0.5)},
      {date * Variant(2), Variant(90001.0)},
      {Variant("ab") + Variant("cd"), Variant("abcd")},
      {Variant(u"ab") + Variant(u"cd"), Variant(u"abcd")},
      {Variant(u"ab") + Variant("cd"), Variant("abcd")},
      {Variant("2") + Variant(3), Variant(5.0)},
      {Variant("2.5") * Variant("2"), Variant(5.0)},
      {Variant() + Variant(5), Variant(5)},
      {Variant() + Variant("x"), Variant("x")},
      {Variant() + Variant(), Variant(0)},
      {Variant() - Variant(Currency::FromInt(1)), Variant(Currency::FromInt(-1))},
      {Variant(7) / Variant(2), Variant(3.5)},
      {Variant(Currency::FromInt(1)) / Variant(Currency::FromInt(4)), Variant(0.25)},
      {Variant(6) / Variant(3), Variant(2.0)},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << ": " << VarTypeAsText(c.r.VarType()));
    EXPECT_EQ(c.r.VarType(), c.expected.VarType());
    EXPECT_TRUE(c.r == c.expected) << VarToStr(c.r);
  }
}

TEST(VariantTest, ArithmeticWithNullGivesNull) {
  const Variant values[] = {Variant(1),          Variant(1.5),    Variant("x"),
                            Variant(),           Variant::Null(), Variant(Currency::FromInt(1)),
                            Variant::FromDate(1)};
  for (const Variant& v : values) {
    SCOPED_TRACE(VarTypeAsText(v.VarType()));
    EXPECT_TRUE((Variant::Null() + v).IsNull());
    EXPECT_TRUE((v - Variant::Null()).IsNull());
    EXPECT_TRUE((v * Variant::Null()).IsNull());
    EXPECT_TRUE((Variant::Null() / v).IsNull());
  }
  EXPECT_TRUE((-Variant::Null()).IsNull());
}

TEST(VariantTest, ArithmeticErrors) {
  EXPECT_EQ(MessageOf<EZeroDivide>([] { Variant(1) / Variant(0); }), "Floating point division by zero");
  EXPECT_THROW(Variant(1.5) / Variant(), EZeroDivide);
  EXPECT_THROW(Variant(1) / Variant(Currency()), EZeroDivide);
  EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(kInt64Max) + Variant(1); }), "Arithmetic overflow");
  EXPECT_THROW(Variant(kUInt64Max) * Variant(kUInt64Max), EVariantOverflowError);
  EXPECT_THROW(Variant(Currency::FromRaw(kInt64Max)) + Variant(Currency::FromRaw(1)), EOverflow);
  EXPECT_THROW(Variant(1e308) * Variant(10), EOverflow);
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant("abc") + Variant(1); }),
            CastMessage("String", "Double"));
  EXPECT_THROW(VarArrayOf({1}) + Variant(1), EVariantInvalidOpError);
  EXPECT_THROW(Variant::FromError(1) * Variant(1), EVariantInvalidOpError);
  TCountedIntf intf;
  EXPECT_THROW(Variant(static_cast<IInterface*>(&intf)) - Variant(1), EVariantInvalidOpError);
}

TEST(VariantTest, UnaryMinus) {
  struct Case {
    Variant r;
    Variant expected;
  } cases[] = {
      {-Variant(5), Variant(-5)},
      {-Variant(INT32_MIN), Variant(2147483648LL)},
      {-Variant::FromSmallint(-32768), Variant(32768)},
      {-Variant::FromSmallint(7), Variant::FromSmallint(-7)},
      {-Variant::FromByte(7), Variant(-7)},
      {-Variant(7u), Variant(-7LL)},
      {-Variant(9223372036854775808ULL), Variant(std::numeric_limits<int64_t>::min())},
      {-Variant(true), Variant(1)},
      {-Variant(), Variant(0)},
      {-Variant(1.5), Variant(-1.5)},
      {-Variant(1.5f), Variant(-1.5f)},
      {-Variant::FromDate(2), Variant::FromDate(-2)},
      {-Variant(Currency::FromInt(2)), Variant(Currency::FromInt(-2))},
      {-Variant("2.5"), Variant(-2.5)},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cases[i].r.VarType(), cases[i].expected.VarType());
    EXPECT_TRUE(cases[i].r == cases[i].expected);
  }
  EXPECT_THROW(-Variant(std::numeric_limits<int64_t>::min()), EVariantOverflowError);
  EXPECT_THROW(-Variant(kUInt64Max), EVariantOverflowError);
}

}  // namespace

TEST(VariantTest, TextViewIsOfferedForUtf8TextOnly) {
  std::string_view view = "untouched";
  EXPECT_TRUE(Variant("äbc").TryTextView(view) && view == "äbc");
  const Variant empty = std::string();
  EXPECT_TRUE(empty.TryTextView(view) && view.empty());
  for (const Variant& other : {Variant(), Variant::Null(), Variant(12), Variant(u"wide")}) {
    view = "untouched";
    EXPECT_FALSE(other.TryTextView(view));
    EXPECT_EQ(view, "untouched");
  }
}
