#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "grid/data/DataRoutinesEh.h"
#include "grid/data/SharedTypesEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/NumberFormat.h"

namespace {

// --- Variants ---

struct VarCase {
  const char* name;
  Variant a, b;
  bool equals;
  TVariantRelationship rel;
};

Variant Matrix(std::initializer_list<int> bounds, std::initializer_list<Variant> values) {
  Variant m = VarArrayCreate(bounds, varVariant);
  int i = 0;
  auto it = values.begin();
  for (int r = m.LowBound(1); r <= m.HighBound(1); ++r)
    for (int c = m.LowBound(2); c <= m.HighBound(2); ++c, ++i) m.PutElement({r, c}, *it++);
  return m;
}

TEST(DataRoutinesTest, VarEqualsAndCompareAcrossKinds) {
  using enum TVariantRelationship;
  TSQLTimeStamp ts{2024, 3, 5, 10, 0, 0, 0};
  TSQLTimeStamp ts2 = ts;
  ts2.Hour = 11;
  const VarCase cases[] = {
      {"null null", Null(), Null(), true, vrEqual},
      {"empty empty", Variant(), Variant(), true, vrEqual},
      {"null empty", Null(), Variant(), true, vrEqual},
      {"null value", Null(), Variant(0), false, vrLessThan},
      {"value empty", Variant(0), Variant(), false, vrGreaterThan},
      {"empty text", Variant(), Variant(""), false, vrLessThan},
      {"int double", Variant(1), Variant(1.0), true, vrEqual},
      {"int int64", Variant(1), Variant(2LL), false, vrLessThan},
      {"smallint byte", Variant::FromSmallint(5), Variant::FromByte(5), true, vrEqual},
      {"word shortint", Variant::FromWord(3), Variant::FromShortInt(-3), false, vrGreaterThan},
      {"longword uint64", Variant(7u), Variant(8ULL), false, vrLessThan},
      {"single double", Variant(2.5f), Variant(2.5), true, vrEqual},
      {"currency double", Variant(Currency::FromRaw(15000)), Variant(1.5), true, vrEqual},
      {"boolean", Variant(true), Variant(true), true, vrEqual},
      {"text", Variant("abc"), Variant("abd"), false, vrLessThan},
      {"text wide", Variant("b"), Variant(u"b"), true, vrEqual},
      {"dates", Variant::FromDate(45000.0), Variant::FromDate(45001.5), false, vrLessThan},
      {"bcd", Variant(TBcd{"2.50"}), Variant(TBcd{"1.5"}), false, vrGreaterThan},
      {"timestamps", Variant(ts), Variant(ts), true, vrEqual},
      {"timestamps differ", Variant(ts2), Variant(ts), false, vrGreaterThan},
      {"errors", Variant::FromError(1), Variant::FromError(1), true, vrEqual},
      {"error value", Variant::FromError(1), Variant(1), false, vrNotEqual},
      {"arrays", VarArrayOf({1, "x"}), VarArrayOf({1, "x"}), true, vrEqual},
      {"arrays differ", VarArrayOf({1, 2}), VarArrayOf({1, 3}), false, vrLessThan},
      {"arrays longer", VarArrayOf({1, 2, 3}), VarArrayOf({1, 2}), false, vrGreaterThan},
      {"arrays nulls", VarArrayOf({Null(), 1}), VarArrayOf({Null(), 1}), true, vrEqual},
      {"arrays null first", VarArrayOf({Null()}), VarArrayOf({0}), false, vrLessThan},
      {"array scalar", VarArrayOf({1}), Variant(1), false, vrNotEqual},
      {"matrices", Matrix({0, 1, 0, 1}, {1, 2, 3, 4}), Matrix({0, 1, 0, 1}, {1, 2, 3, 4}), true, vrEqual},
      {"matrices differ", Matrix({0, 1, 0, 1}, {1, 2, 3, 4}), Matrix({0, 1, 0, 1}, {1, 2, 5, 4}), false,
       vrLessThan},
      // Same elements under other bounds: not equal, yet equal element by element.
      {"other bounds", Matrix({1, 2, 0, 1}, {1, 2, 3, 4}), Matrix({0, 1, 0, 1}, {1, 2, 3, 4}), false,
       vrEqual},
  };
  for (const VarCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(VarEquals(c.a, c.b), c.equals);
    EXPECT_EQ(VarEquals(c.b, c.a), c.equals);
    EXPECT_EQ(DBVarCompareValues(c.a, c.b), c.rel);
  }
}

// --- fields and data sets ---

class FieldRoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds = std::make_unique<TMemoryDataSet>(nullptr);
    ds->SetName("People");
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 20);
    ds->FieldDefs()->Add("Amount", ftCurrency);
    ds->FieldDefs()->Add("Born", ftDate);
    ds->CreateDataSet();
  }
  std::unique_ptr<TMemoryDataSet> ds;
};

TEST_F(FieldRoutinesTest, FieldsArrayFollowsTheListOrder) {
  std::vector<TField*> f = GetFieldsArray(ds.get(), "Name; id;;Born;");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0]->FieldName(), "Name");
  EXPECT_EQ(f[1]->FieldName(), "ID");
  EXPECT_EQ(f[2]->FieldName(), "Born");
  std::vector<TField*> list{ds->FieldByName("Amount")};
  GetFieldsList(&list, ds.get(), nullptr, "ID");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1], ds->FieldByName("ID"));
}

TEST_F(FieldRoutinesTest, UnknownFieldNameRaisesForTheControl) {
  try {
    GetFieldsList(nullptr, ds.get(), nullptr, "ID;Nope");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "People: Field 'Nope' not found");
  }
  TComponent grid(nullptr);
  grid.SetName("Grid1");
  try {
    GetFieldsArray(ds.get(), "Nope", &grid);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Grid1: Field 'Nope' not found");
  }
}

TEST_F(FieldRoutinesTest, FieldsCanModify) {
  EXPECT_TRUE(FieldsCanModify({}));
  EXPECT_TRUE(FieldsCanModify(GetFieldsArray(ds.get(), "ID;Name")));
  ds->FieldByName("Name")->SetReadOnly(true);
  EXPECT_FALSE(FieldsCanModify(GetFieldsArray(ds.get(), "ID;Name")));
  EXPECT_TRUE(FieldsCanModify(GetFieldsArray(ds.get(), "ID")));
}

TEST_F(FieldRoutinesTest, SetDataSetFieldValues) {
  ds->Append();
  SetDataSetFieldValues(ds.get(), "ID;Name", VarArrayOf({7, "Li"}));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 7);
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Li");
  SetDataSetFieldValues(ds.get(), "Amount", Variant(12.5));
  EXPECT_EQ(ds->FieldByName("Amount")->AsFloat(), 12.5);
  SetDataSetFieldValues(ds.get(), "ID", VarArrayOf({9}));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 9);
  SetDataSetFieldValues(ds.get(), "ID;Name", Null());
  EXPECT_TRUE(ds->FieldByName("ID")->IsNull());
  EXPECT_TRUE(ds->FieldByName("Name")->IsNull());
  EXPECT_THROW(SetDataSetFieldValues(ds.get(), "ID;Name", VarArrayOf({1})), EInvalidGridOperationEh);
  EXPECT_THROW(SetDataSetFieldValues(ds.get(), "Nope", Variant(1)), EDatabaseError);
}

TEST_F(FieldRoutinesTest, FormatValueLikeField) {
  TFormatSettings fs = FormatSettings();
  fs.ShortDateFormat = "yyyy-MM-dd";
  fs.ThousandSeparator = ",";
  fs.DecimalSeparator = ".";
  TFormatSettingsScope scope(fs);
  EXPECT_EQ(FormatValueLikeField("#,##0", Variant(1234), ds->FieldByName("ID")), "1,234");
  EXPECT_EQ(FormatValueLikeField("", Variant(1234), ds->FieldByName("ID")), "1234");
  EXPECT_EQ(FormatValueLikeField("0.00", Variant(2.5), ds->FieldByName("Amount")), "2.50");
  EXPECT_EQ(FormatValueLikeField("", Variant(1234.5), ds->FieldByName("Amount")),
            FloatToStrF(1234.5L, ffCurrency, 15, fs.CurrencyDecimals));
  TDateTime d = EncodeDate(2024, 3, 5);
  EXPECT_EQ(FormatValueLikeField("", Variant::FromDate(d), ds->FieldByName("Born")), "2024-03-05");
  EXPECT_EQ(FormatValueLikeField("dd.mm.yy", Variant::FromDate(d), ds->FieldByName("Born")), "05.03.24");
  EXPECT_EQ(FormatValueLikeField("0.00", Null(), ds->FieldByName("Amount")), "");
  EXPECT_EQ(FormatValueLikeField("", Variant("x"), ds->FieldByName("Name")), "x");
}

TEST(DataRoutinesTest, NumericFieldTypes) {
  for (TFieldType t : {ftSmallint, ftInteger, ftWord, ftFloat, ftCurrency, ftBCD, ftFMTBcd})
    EXPECT_TRUE(IsNumericFieldType(t)) << t;
  for (TFieldType t : {ftString, ftLargeint, ftAutoInc, ftBoolean, ftDate, ftMemo})
    EXPECT_FALSE(IsNumericFieldType(t)) << t;
}

TEST(DataRoutinesTest, LocateTextInStrings) {
  TStringList sl;
  for (const char* s : {"Apple", "banana", "Band", "Éclair", "北京大学"}) sl.Add(s);
  EXPECT_EQ(LocateTextInStrings(&sl, "ban", true), 1);
  EXPECT_EQ(LocateTextInStrings(&sl, "Ban", false), 2);
  EXPECT_EQ(LocateTextInStrings(&sl, "écl", true), 3);
  EXPECT_EQ(LocateTextInStrings(&sl, "écl", false), -1);
  EXPECT_EQ(LocateTextInStrings(&sl, "北京", false), 4);
  EXPECT_EQ(LocateTextInStrings(&sl, "", false), 0);
  EXPECT_EQ(LocateTextInStrings(&sl, "Apples", true), -1);
}

}  // namespace
