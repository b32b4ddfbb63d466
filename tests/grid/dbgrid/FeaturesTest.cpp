// Data-set features: the registry's lookup through a class hierarchy, and a data grid over the
// in-memory data set that sorts, filters, fills filter lists and locates through the centre,
// with and without the registration.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace features_test {

class TLevel1DataSet : public TMemoryDataSet {
  RTL_CLASS(TLevel1DataSet, TMemoryDataSet)
 public:
  using TMemoryDataSet::TMemoryDataSet;
};
class TLevel2DataSet : public TLevel1DataSet {
  RTL_CLASS(TLevel2DataSet, TLevel1DataSet)
 public:
  using TLevel1DataSet::TLevel1DataSet;
};
// Another class under TLevel1DataSet's name in other case: the lookup compares names.
class TNamesakeDataSet : public TMemoryDataSet {
  RTL_CLASS(TNamesakeDataSet, TMemoryDataSet)
 public:
  using TMemoryDataSet::TMemoryDataSet;
};
class TFeaturesA : public TDataSetFeatureHandlerEh {
  RTL_CLASS(TFeaturesA, TDataSetFeatureHandlerEh)
};
class TFeaturesB : public TDataSetFeatureHandlerEh {
  RTL_CLASS(TFeaturesB, TDataSetFeatureHandlerEh)
};
RTL_IMPLEMENT_CLASS(TLevel1DataSet)
RTL_IMPLEMENT_CLASS(TLevel2DataSet)
RTL_IMPLEMENT_CLASS_NAMED(TNamesakeDataSet, "TLEVEL1DATASET")
RTL_IMPLEMENT_CLASS(TFeaturesA)
RTL_IMPLEMENT_CLASS(TFeaturesB)

struct FreeObject {
  void operator()(TObject* Object) const { Object->Free(); }
};

std::vector<std::string> Texts(TStrings& Items) {
  std::vector<std::string> texts;
  for (int i = 0; i < Items.Count(); ++i) texts.push_back(Items.Strings(i));
  return texts;
}

TEST(DataSetFeaturesRegistry, NearestRegisteredAncestorWins) {
  const TClass A = TFeaturesA::StaticClass(), B = TFeaturesB::StaticClass();
  const TClass mem = TMemoryDataSet::StaticClass(), l1 = TLevel1DataSet::StaticClass(),
               l2 = TLevel2DataSet::StaticClass(), namesake = TNamesakeDataSet::StaticClass();
  struct Registration {
    TClass Features, DataSet;
  };
  struct Case {
    const char* id;
    std::vector<Registration> registered;
    TClass unregistered;  // removed after the registrations (nullptr: none)
    TClass lookup;
    TClass expected;  // the feature object's class (nullptr: none found)
  } const cases[] = {
      {"ancestor", {{A, mem}}, nullptr, l2, A},
      {"nearest", {{A, mem}, {B, l1}}, nullptr, l2, B},
      {"nearest-registered-last", {{B, l1}, {A, mem}}, nullptr, l2, B},
      {"exact", {{A, mem}, {B, l1}}, nullptr, mem, A},
      {"descendant-only", {{A, l1}}, nullptr, mem, nullptr},
      {"tie-by-name-first", {{A, l1}, {B, namesake}}, nullptr, l2, A},
      {"tie-by-name-first-2", {{B, namesake}, {A, l1}}, nullptr, l2, B},
      {"replaced", {{A, l1}, {B, l1}}, nullptr, l2, B},
      {"unregistered", {{A, mem}, {B, l1}}, l1, l2, A},
      {"unregistered-none-left", {{A, l1}}, l1, l1, nullptr},
  };
  TScopeExit restore([] {
    FreeDataSetFeaturesRegistry();
    CreateDataSetFeaturesRegistry();
    RegisterMemoryDataSetFeatures();
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    FreeDataSetFeaturesRegistry();
    CreateDataSetFeaturesRegistry();
    for (const Registration& r : c.registered) RegisterDatasetFeaturesEh(r.Features, r.DataSet);
    if (c.unregistered) UnregisterDatasetFeaturesEh(c.unregistered);
    TDataSetFeatureHandlerEh* found = GetDataSetFeatures(c.lookup);
    EXPECT_EQ(found ? found->ClassType() : nullptr, c.expected);
  }
  // A data set finds its class's features; a class that is no feature class is refused and
  // leaves the registration as it was.
  FreeDataSetFeaturesRegistry();
  CreateDataSetFeaturesRegistry();
  RegisterDatasetFeaturesEh(A, mem);
  std::unique_ptr<TLevel2DataSet, FreeObject> dataSet(new TLevel2DataSet(nullptr));
  ASSERT_NE(GetDataSetFeatures(dataSet.get()), nullptr);
  EXPECT_EQ(GetDataSetFeatures(dataSet.get())->DataSetClass(), mem);
  try {
    RegisterDatasetFeaturesEh(TStringList::StaticClass(), mem);
    ADD_FAILURE() << "registered";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              "RegisterDatasetFeaturesEh: class 'TStringList' is not a TDataSetFeatureHandlerEh");
  }
  EXPECT_EQ(GetDataSetFeatures(mem)->ClassType(), A);
}

TEST(DataSetFeatures, IsoDatesForTheFilter) {
  struct Case {
    TDateTime value;
    const char* text;
  } const cases[] = {
      {EncodeDate(2024, 1, 5), "'2024-01-05'"},
      {EncodeDate(987, 12, 31), "'0987-12-31'"},
      {EncodeDate(2024, 1, 5) + EncodeTime(7, 8, 9, 0), "'2024-01-05 07:08:09'"},
      {EncodeDate(2024, 1, 5) + EncodeTime(23, 0, 0, 250), "'2024-01-05 23:00:00.250'"},
  };
  TFormatSettings comma;
  comma.DecimalSeparator = ",";
  comma.TimeSeparator = ".";
  TFormatSettingsScope scope(comma);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TMemoryDataSetFeaturesEh::FormatFilterDate(c.value), c.text);
  }
}

// ID, NAME, AMOUNT and DAY (a date) over six rows; columns ID, NAME, AMOUNT, DAY and one
// without a field.
class MemoryFeaturesTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    dataSet->Close();
    dataSet->FieldDefs()->Add("DAY", ftDate);
    dataSet->CreateDataSet();
    AddRows({{1, "bob", 10},
             {2, "Anna", 2.25},
             {3, "bob", 1.5},
             {4, "Cid", 0.5},
             {5, "Anna", 10},
             {6, "Dee", 2.25}});
    for (int id = 1; id <= 6; ++id) {
      dataSet->Locate("ID", id, {});
      dataSet->Edit();
      dataSet->FieldByName("DAY")->SetAsDateTime(EncodeDate(2024, 1, id));
      dataSet->Post();
    }
    AddColumns({"ID", "NAME", "AMOUNT", "DAY", ""});
    center = grid->Center();
    ASSERT_NE(center, nullptr);
  }
  void TearDown() override {
    if (!GetDataSetFeatures(TMemoryDataSet::StaticClass())) RegisterMemoryDataSetFeatures();
    DBGridTestBase::TearDown();
  }
  TColumnEh* Col(int i) { return grid->Columns()->GetColumn(i); }
  // Marks: (column, sort index, marker) a column.
  void Mark(const std::vector<std::tuple<int, int, TSortMarkerEh>>& Marks) {
    grid->Columns()->BeginUpdate();
    for (int i = 0; i < grid->Columns()->Count(); ++i) {
      Col(i)->Title()->SetSortMarker(smNoneEh);
      Col(i)->Title()->SetSortIndex(0);
    }
    for (auto [col, index, marker] : Marks) {
      Col(col)->Title()->SetSortMarker(marker);
      Col(col)->Title()->SetSortIndex(index);
    }
    grid->Columns()->EndUpdate();
  }
  void Condition(int Column, TSTFilterOpEh Op, const Variant& Operand, TSTFilterOpEh Relation = fopNoneEh,
                 TSTFilterOpEh Op2 = fopNoneEh, const Variant& Operand2 = Variant()) {
    TSTFilterExpressionEh e;
    e.ValueKind = FilterValueKindOf(Col(Column));
    e.Operator1 = Op;
    e.Operand1 = Operand;
    e.Relation = Relation;
    e.Operator2 = Op2;
    e.Operand2 = Operand2;
    Col(Column)->STFilter()->SetExpression(e);
  }
  std::vector<int> Ids() {
    std::vector<int> ids;
    const TBookmark here = dataSet->Bookmark();
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      ids.push_back(dataSet->FieldByName("ID")->AsInteger());
    dataSet->GotoBookmark(here);
    return ids;
  }
  int CurrentId() { return dataSet->FieldByName("ID")->AsInteger(); }
  TDBGridEhCenter* center = nullptr;
};

TEST_F(MemoryFeaturesTest, SortMarkersSortTheDataSetAndKeepTheCurrentRecord) {
  struct Case {
    const char* id;
    std::vector<std::tuple<int, int, TSortMarkerEh>> marks;
    const char* names;
    std::vector<int> ids;
  } const cases[] = {
      {"name-up-amount-down", {{1, 1, smDownEh}, {2, 2, smUpEh}}, "NAME;AMOUNT DESC", {5, 2, 1, 3, 4, 6}},
      {"amount-then-name", {{1, 2, smUpEh}, {2, 1, smDownEh}}, "AMOUNT;NAME DESC", {4, 3, 6, 2, 1, 5}},
      {"no-field-skipped", {{4, 1, smDownEh}, {3, 2, smUpEh}}, "DAY DESC", {6, 5, 4, 3, 2, 1}},
      {"none", {}, "", {1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ASSERT_TRUE(dataSet->Locate("ID", 3, {}));
    Mark(c.marks);
    center->ApplySorting(grid);
    EXPECT_EQ(dataSet->IndexFieldNames(), c.names);
    EXPECT_EQ(CurrentId(), 3);
    EXPECT_EQ(Ids(), c.ids);
  }
}

TEST_F(MemoryFeaturesTest, FilterRowFiltersTheDataSet) {
  TFormatSettings comma;
  comma.DecimalSeparator = ",";
  comma.ThousandSeparator = ".";
  TFormatSettingsScope scope(comma);
  TSTFilterExpressionEh parsed;
  parsed.ValueKind = fvkNumberEh;
  ParseFilterExpression(">=2,25", parsed, dfoAutomaticEh);
  Col(2)->STFilter()->SetExpression(parsed);
  Condition(3, fopLessEh, Variant::FromDate(EncodeDate(2024, 1, 6)), fopOrEh, fopNullEh);
  center->ApplyFilter(grid);
  EXPECT_EQ(dataSet->Filter(), " [AMOUNT] >= 2.25 AND ( [DAY] < '2024-01-06' OR [DAY] IS NULL) ");
  EXPECT_TRUE(dataSet->Filtered());
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 5}));
  Condition(1, fopLikeEh, "b%");
  center->ApplyFilter(grid);
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
  for (int i = 1; i <= 3; ++i) Condition(i, fopNoneEh, Variant());
  center->ApplyFilter(grid);
  EXPECT_FALSE(dataSet->Filtered());
  EXPECT_EQ(Ids().size(), 6u);
}

TEST_F(MemoryFeaturesTest, RefusedFilterTextLeavesTheDataSetAsItWas) {
  for (bool filtered : {false, true}) {
    SCOPED_TRACE(filtered ? "filtered" : "not filtered");
    dataSet->SetFilter("[ID] > 2");
    dataSet->SetFiltered(filtered);
    Condition(0, fopGreaterEh, 1.0);
    Col(0)->STFilter()->SetDataField("NO_SUCH_FIELD");
    EXPECT_THROW(center->ApplyFilter(grid), EDatabaseError);
    EXPECT_EQ(dataSet->Filter(), "[ID] > 2");
    EXPECT_EQ(dataSet->Filtered(), filtered);
    EXPECT_EQ(Ids().size(), filtered ? 4u : 6u);
    Col(0)->STFilter()->SetDataField("");
  }
}

TEST_F(MemoryFeaturesTest, FilterListHoldsTheValuesPassingTheOtherColumns) {
  static_cast<TNumericField*>(dataSet->FieldByName("AMOUNT"))->SetDisplayFormat("0.00");
  Condition(1, fopEqualEh, "Cid");  // the NAME column's own condition does not narrow its list
  Condition(2, fopGreaterOrEqualEh, 1.5);
  center->ApplyFilter(grid);
  ASSERT_TRUE(dataSet->IsEmpty());
  struct Case {
    int column;
    std::vector<std::string> items;
  } const cases[] = {
      {1, {"Anna", "bob", "Dee"}},  // AMOUNT >= 1.5: rows 1, 2, 3, 5, 6
      {2, {"0.50"}},                // NAME = Cid: row 4, whatever AMOUNT says
      {0, {}},                      // both conditions: no row
      {4, {}},                      // no field: the centre's default, nothing
  };
  const std::string filter = dataSet->Filter();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    TStringList items;
    center->FillFilterList(grid, Col(c.column), &items);
    for (int i = 0; i < items.Count(); ++i) EXPECT_EQ(items.Objects(i), PopupListboxItemEhData());
    EXPECT_EQ(Texts(items), c.items);
    EXPECT_EQ(dataSet->Filter(), filter);
    EXPECT_TRUE(dataSet->Filtered());
  }
  // Values sort by value, not by text; the current record stays.
  for (int i = 1; i <= 2; ++i) Condition(i, fopNoneEh, Variant());
  center->ApplyFilter(grid);
  ASSERT_TRUE(dataSet->Locate("ID", 4, {}));
  TStringList items;
  center->FillFilterList(grid, Col(2), &items);
  EXPECT_EQ(Texts(items), (std::vector<std::string>{"0.50", "1.50", "2.25", "10.00"}));
  EXPECT_EQ(CurrentId(), 4);
}

TEST_F(MemoryFeaturesTest, LocateRecordAndTheDefaultPathsWithoutTheRegistration) {
  EXPECT_TRUE(center->LocateRecord(grid, "NAME", "CID", 1));
  EXPECT_EQ(CurrentId(), 4);
  EXPECT_FALSE(center->LocateRecord(grid, "NAME", "CID", 0));
  EXPECT_TRUE(center->LocateRecord(grid, "NAME", "De", 2));
  EXPECT_EQ(CurrentId(), 6);

  UnregisterDatasetFeaturesEh(TMemoryDataSet::StaticClass());
  ASSERT_EQ(GetDataSetFeatures(dataSet), nullptr);
  dataSet->First();
  Mark({{1, 1, smDownEh}});
  Condition(2, fopGreaterEh, 1.0);
  center->ApplySorting(grid);
  center->ApplyFilter(grid);
  EXPECT_EQ(dataSet->IndexFieldNames(), "");
  EXPECT_EQ(dataSet->Filter(), "");
  EXPECT_FALSE(dataSet->Filtered());
  EXPECT_FALSE(center->LocateRecord(grid, "NAME", "Cid", 0));
  EXPECT_EQ(CurrentId(), 1);
}

// The base answers what the centre does without a feature object: the installed find dialog
// with no column, the centre's own filter list, no record located.
TEST_F(MemoryFeaturesTest, BaseAnswersWhatTheCentreDoesWithoutOne) {
  static std::vector<std::string> shown;
  shown.clear();
  const TShowFindDialogProcEh previous = ShowFindDialogProcEh();
  TScopeExit restore([previous] { SetShowFindDialogProcEh(previous); });
  SetShowFindDialogProcEh(
      [](TCustomDBGridEh* Grid, const std::string& Text, const std::string& Column, bool Modal, int Extra) {
        shown.push_back(Grid->Name() + "|" + Text + "|" + Column + "|" + (Modal ? "modal" : "modeless") +
                        "|" + std::to_string(Extra));
      });
  grid->SetName("Ledger");
  TDataSetFeatureHandlerEh base;
  base.Find(grid, "bob", true);
  TMemoryDataSetFeaturesEh memory;
  memory.Find(grid, "x", false);
  EXPECT_EQ(shown, (std::vector<std::string>{"Ledger|bob||modal|0", "Ledger|x||modeless|0"}));
  EXPECT_FALSE(base.LocateRecord(grid, "NAME", "Cid", 0));
  Condition(2, fopGreaterEh, 2.0);
  TStringList own, centres;
  base.FillFilterList(grid, Col(1), &own);
  center->DefaultFillFilterList(grid, Col(1), &centres);
  EXPECT_EQ(Texts(own), Texts(centres));
  EXPECT_EQ(Texts(own), (std::vector<std::string>{"Anna", "bob", "Dee"}));  // AMOUNT > 2
}

}  // namespace features_test
