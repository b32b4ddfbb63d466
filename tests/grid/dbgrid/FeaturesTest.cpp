#include <gtest/gtest.h>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace features_test {

#define FEATURES_TEST_CLASS(Cls, Parent) \
  class Cls : public Parent {            \
    RTL_CLASS(Cls, Parent)               \
   public:                               \
    using Parent::Parent;                \
  };
FEATURES_TEST_CLASS(TLevel1DataSet, TMemoryDataSet)
FEATURES_TEST_CLASS(TLevel2DataSet, TLevel1DataSet)
FEATURES_TEST_CLASS(TNamesakeDataSet, TMemoryDataSet)  // named as TLevel1DataSet in other case
FEATURES_TEST_CLASS(TFeaturesA, TDataSetFeatureHandlerEh)
FEATURES_TEST_CLASS(TFeaturesB, TDataSetFeatureHandlerEh)
RTL_IMPLEMENT_CLASS(TLevel1DataSet)
RTL_IMPLEMENT_CLASS(TLevel2DataSet)
RTL_IMPLEMENT_CLASS_NAMED(TNamesakeDataSet, "TLEVEL1DATASET")
RTL_IMPLEMENT_CLASS(TFeaturesA)
RTL_IMPLEMENT_CLASS(TFeaturesB)

std::vector<std::string> Texts(TStrings& Items) {
  std::vector<std::string> texts;
  for (int i = 0; i < Items.Count(); ++i) texts.push_back(Items.Strings(i));
  return texts;
}

TEST(DataSetFeaturesRegistry, NearestRegisteredAncestorWinsByName) {
  const TClass A = TFeaturesA::StaticClass(), B = TFeaturesB::StaticClass(),
               mem = TMemoryDataSet::StaticClass(), l1 = TLevel1DataSet::StaticClass(),
               l2 = TLevel2DataSet::StaticClass(), namesake = TNamesakeDataSet::StaticClass();
  struct Case {
    std::vector<std::pair<TClass, TClass>> registered;  // (features, data set), in order
    TClass unregistered, lookup, expected;
  } const cases[] = {
      {{{A, mem}, {B, l1}}, nullptr, l2, B},      {{{B, l1}, {A, mem}}, nullptr, l2, B},
      {{{A, mem}, {B, l1}}, nullptr, mem, A},     {{{A, l1}}, nullptr, mem, nullptr},
      {{{A, l1}, {B, namesake}}, nullptr, l2, A}, {{{B, namesake}, {A, l1}}, nullptr, l2, B},
      {{{A, l1}, {B, l1}}, nullptr, l2, B},       {{{A, mem}, {B, l1}}, l1, l2, A},
  };
  TScopeExit restore([] {
    FreeDataSetFeaturesRegistry();
    RegisterMemoryDataSetFeatures();
  });
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    FreeDataSetFeaturesRegistry();
    for (auto [features, dataSet] : cases[i].registered) RegisterDatasetFeaturesEh(features, dataSet);
    if (cases[i].unregistered) UnregisterDatasetFeaturesEh(cases[i].unregistered);
    TDataSetFeatureHandlerEh* found = GetDataSetFeatures(cases[i].lookup);
    EXPECT_EQ(found ? found->ClassType() : nullptr, cases[i].expected);
  }
  EXPECT_EQ(GetDataSetFeatures(l2)->DataSetClass(), mem);
  EXPECT_EQ(ErrorOf([&] { RegisterDatasetFeaturesEh(TStringList::StaticClass(), mem); }),
            "RegisterDatasetFeaturesEh: class 'TStringList' is not a TDataSetFeatureHandlerEh");
  EXPECT_EQ(GetDataSetFeatures(mem)->ClassType(), A);
}

// ID, NAME, AMOUNT, PAID, DAY (2024-01-ID) over six rows; columns ID, NAME, AMOUNT, DAY and
// one without a field.
class MemoryFeaturesTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    dataSet->Close();
    dataSet->FieldDefs()->Add("DAY", ftDate);
    dataSet->CreateDataSet();
    const std::tuple<int, const char*, double> rows[] = {{1, "bob", 10},  {2, "Anna", 2.25},
                                                         {3, "bob", 1.5}, {4, "Cid", 0.5},
                                                         {5, "Anna", 10}, {6, "Dee", 2.25}};
    for (auto [id, name, amount] : rows)
      dataSet->AppendRecord({id, name, amount, true, Variant::FromDate(EncodeDate(2024, 1, id))});
    AddColumns({"ID", "NAME", "AMOUNT", "DAY", ""});
    center = grid->Center();
  }
  void TearDown() override {
    if (!GetDataSetFeatures(TMemoryDataSet::StaticClass())) RegisterMemoryDataSetFeatures();
    DBGridTestBase::TearDown();
  }
  TColumnEh* Col(int i) { return grid->Columns()->GetColumn(i); }
  void Condition(int Column, TSTFilterOpEh Op, const Variant& Operand, TSTFilterOpEh OrOp = fopNoneEh) {
    Col(Column)->STFilter()->SetExpression({FilterValueKindOf(Col(Column)), Op, Operand,
                                            OrOp == fopNoneEh ? fopNoneEh : fopOrEh, OrOp, Variant()});
  }
  std::vector<int> Ids() {
    std::vector<int> ids;
    const TBookmark here = dataSet->Bookmark();
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) ids.push_back(CurrentId());
    dataSet->GotoBookmark(here);
    return ids;
  }
  int CurrentId() { return dataSet->FieldByName("ID")->AsInteger(); }
  TDBGridEhCenter* center = nullptr;
};

TEST_F(MemoryFeaturesTest, SortMarkersSortTheDataSetAndKeepTheCurrentRecord) {
  struct Case {
    std::vector<std::tuple<int, int, TSortMarkerEh>> marks;  // (column, sort index, marker)
    const char* names;
    std::vector<int> ids;
  } const cases[] = {
      {{{1, 1, smDownEh}, {2, 2, smUpEh}}, "NAME;AMOUNT DESC", {5, 2, 1, 3, 4, 6}},
      {{{1, 2, smUpEh}, {2, 1, smDownEh}}, "AMOUNT;NAME DESC", {4, 3, 6, 2, 1, 5}},
      {{{1, 0, smNoneEh}, {2, 0, smNoneEh}, {4, 1, smDownEh}, {3, 2, smUpEh}},
       "DAY DESC",
       {6, 5, 4, 3, 2, 1}},
      {{{3, 0, smNoneEh}, {4, 0, smNoneEh}}, "", {1, 2, 3, 4, 5, 6}},
  };
  ASSERT_TRUE(dataSet->Locate("ID", 3, {}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names);
    grid->Columns()->BeginUpdate();
    for (auto [col, index, marker] : c.marks) {
      Col(col)->Title()->SetSortMarker(marker);
      Col(col)->Title()->SetSortIndex(index);
    }
    grid->Columns()->EndUpdate();
    center->ApplySorting(grid);
    EXPECT_EQ(dataSet->IndexFieldNames(), c.names);
    EXPECT_EQ(CurrentId(), 3);
    EXPECT_EQ(Ids(), c.ids);
  }
}

// Under a "," decimal separator: a Double and ISO dates; a refused text changes nothing.
TEST_F(MemoryFeaturesTest, FilterRowFiltersTheDataSet) {
  TFormatSettings comma;
  comma.DecimalSeparator = ",";
  comma.ThousandSeparator = ".";
  TFormatSettingsScope scope(comma);
  // Before 1899-12-30 the time counts down from the date.
  EXPECT_EQ(TMemoryDataSetFeaturesEh::FormatFilterDate(EncodeDate(987, 12, 31) - EncodeTime(7, 8, 9, 250)),
            "'0987-12-31 07:08:09.250'");
  TSTFilterExpressionEh parsed;
  parsed.ValueKind = fvkNumberEh;
  ParseFilterExpression(">=2,25", parsed, dfoAutomaticEh);
  Col(2)->STFilter()->SetExpression(parsed);
  Condition(3, fopLessEh, Variant::FromDate(EncodeDate(2024, 1, 6)), fopNullEh);
  center->ApplyFilter(grid);
  EXPECT_EQ(dataSet->Filter(), " [AMOUNT] >= 2.25 AND ( [DAY] < '2024-01-06' OR [DAY] IS NULL) ");
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 5}));
  Condition(1, fopLikeEh, "b%");
  center->ApplyFilter(grid);
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
  for (bool filtered : {true, false}) {
    dataSet->SetFiltered(filtered);
    Col(0)->STFilter()->SetDataField("NO_SUCH_FIELD");
    Condition(0, fopGreaterEh, 1.0);
    const std::string before = dataSet->Filter();
    EXPECT_THROW(center->ApplyFilter(grid), EDatabaseError);
    EXPECT_EQ(dataSet->Filter(), before);
    EXPECT_EQ(Ids().size(), filtered ? 1u : 6u);
  }
  for (int i = 0; i <= 3; ++i) Condition(i, fopNoneEh, Variant());
  dataSet->SetFiltered(true);
  center->ApplyFilter(grid);
  EXPECT_FALSE(dataSet->Filtered());
}

TEST_F(MemoryFeaturesTest, FilterListHoldsTheValuesPassingTheOtherColumns) {
  static_cast<TNumericField*>(dataSet->FieldByName("AMOUNT"))->SetDisplayFormat("0.00");
  Condition(1, fopEqualEh, "Cid");
  Condition(2, fopGreaterOrEqualEh, 1.5);
  center->ApplyFilter(grid);
  ASSERT_TRUE(dataSet->IsEmpty());
  const std::string filter = dataSet->Filter();
  const std::pair<int, std::vector<std::string>> cases[] = {
      {1, {"Anna", "bob", "Dee"}}, {2, {"0.50"}}, {0, {}}, {4, {}}};  // column 4: no field
  for (const auto& [column, expected] : cases) {
    SCOPED_TRACE(column);
    TStringList items;
    center->FillFilterList(grid, Col(column), &items);
    EXPECT_EQ(Texts(items), expected);
    for (int i = 0; i < items.Count(); ++i) EXPECT_EQ(items.Objects(i), PopupListboxItemEhData());
    EXPECT_EQ(dataSet->Filter(), filter);
    EXPECT_TRUE(dataSet->Filtered());
  }
  for (int i = 1; i <= 2; ++i) Condition(i, fopNoneEh, Variant());
  center->ApplyFilter(grid);
  ASSERT_TRUE(dataSet->Locate("ID", 4, {}));
  TStringList items;
  center->FillFilterList(grid, Col(2), &items);
  EXPECT_EQ(Texts(items), (std::vector<std::string>{"0.50", "1.50", "2.25", "10.00"}));  // by value
  EXPECT_EQ(CurrentId(), 4);
}

// Without the registration the centre leaves the data set alone, searches the grid and shows the
// installed find dialog; the base does what the centre does without a feature object.
TEST_F(MemoryFeaturesTest, LocateRecordAndTheDefaultPaths) {
  EXPECT_TRUE(center->LocateRecord(grid, "NAME", "CID", 1));
  EXPECT_FALSE(center->LocateRecord(grid, "NAME", "DEE", 0));
  EXPECT_TRUE(center->LocateRecord(grid, "NAME", "De", 2));
  EXPECT_EQ(CurrentId(), 6);
  UnregisterDatasetFeaturesEh(TMemoryDataSet::StaticClass());
  Col(1)->Title()->SetSortMarker(smDownEh);
  Condition(2, fopGreaterEh, 2.0);
  center->ApplySorting(grid);
  center->ApplyFilter(grid);
  EXPECT_EQ(dataSet->IndexFieldNames() + dataSet->Filter(), "");
  EXPECT_FALSE(dataSet->Filtered() || center->LocateRecord(grid, "NAME", "Cid", 0));
  EXPECT_EQ(CurrentId(), 6);
  EXPECT_TRUE(center->LocateText(grid, "Cid", "NAME", 0, ltdAllEh, ltmWholeEh, 0));
  EXPECT_EQ(CurrentId(), 4);

  static std::string shown;
  const TShowFindDialogProcEh previous = ShowFindDialogProcEh();
  TScopeExit restore([previous] { SetShowFindDialogProcEh(previous); });
  SetShowFindDialogProcEh(nullptr);
  EXPECT_EQ(ErrorOf([&] { center->ShowFindDialogFor(grid, "z", false); }),
            "TDBGridEhCenter.ShowFindDialogFor: no find dialog is installed");
  SetShowFindDialogProcEh(
      [](TCustomDBGridEh*, const std::string& Text, const std::string& Column, bool Modal, int Extra) {
        shown += Text + "|" + Column + "|" + (Modal ? "1" : "0") + std::to_string(Extra) + ";";
      });
  TDataSetFeatureHandlerEh base;
  base.Find(grid, "bob", true);
  TMemoryDataSetFeaturesEh().Find(grid, "x", false);
  center->ShowFindDialogFor(grid, "z", false);
  EXPECT_EQ(shown, "bob||10;x||00;z||00;");
  TStringList own, centres;
  base.FillFilterList(grid, Col(1), &own);
  center->DefaultFillFilterList(grid, Col(1), &centres);
  EXPECT_EQ(Texts(own), Texts(centres));
  EXPECT_EQ(Texts(own), (std::vector<std::string>{"Anna", "bob", "Dee"}));  // AMOUNT > 2
}

}  // namespace features_test
