#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/db/FilterExpression.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Resources.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

// A grid over ID, NAME, AMOUNT, never shown (painting is not built yet): the filter lists are
// filled through the centre's default path, the in-memory data set's features unregistered.
class CenterFilterListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
    UnregisterDatasetFeaturesEh(TMemoryDataSet::StaticClass());
    form = new TForm(Application, 0);
    form->AfterConstruction();
    dataSet = new TMemoryDataSet(form);
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("NAME", ftString, 20);
    dataSet->FieldDefs()->Add("AMOUNT", ftFloat);
    dataSet->CreateDataSet();
    const std::tuple<int, const char*, double> rows[] = {
        {1, "Anna", 1.5}, {2, "Bob", 2.5}, {3, "Anna", 3.5}, {4, "Carl", 1.5}, {5, "", 9}};
    for (auto [id, name, amount] : rows) dataSet->AppendRecord({id, name, amount});
    dataSet->First();
    auto* source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetDataSource(source);
    for (const char* name : {"ID", "NAME", "AMOUNT"}) grid->Columns()->Add()->SetFieldName(name);
    items = std::make_unique<TStringList>();
  }
  void TearDown() override {
    RegisterMemoryDataSetFeatures();
    ResetVcl();
  }
  TColumnEh* Col(int i) { return grid->Columns()->GetColumn(i); }
  void Filter(int Column, const std::string& Text) {
    TSTFilterExpressionEh e;
    e.ValueKind = FilterValueKindOf(Col(Column));
    ParseFilterExpression(Text, e, dfoAutomaticEh);
    Col(Column)->STFilter()->SetExpression(e);
  }
  std::string Texts() {
    std::string s;
    for (int i = 0; i < items->Count(); ++i) s += (i ? "|" : "") + items->Strings(i);
    return s;
  }
  std::string DataTexts() {
    std::string s;
    for (int i = 0; i < items->Count(); ++i)
      if (items->Objects(i) == PopupListboxItemEhData()) s += (s.empty() ? "" : "|") + items->Strings(i);
    return s;
  }

  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDBGridEh* grid = nullptr;
  std::unique_ptr<TStringList> items;
};

}  // namespace

TEST(FilterListItemsTest, SharedObjectsAnswerTheirPredicatesAndAreMadeOnce) {
  FreeFilterPopupListboxItems();
  EXPECT_EQ(PopupListboxItemEhLine(), nullptr);
  CreateFilterPopupListboxItems();
  TPopupListboxItemEhLine* line = PopupListboxItemEhLine();
  CreateFilterPopupListboxItems();
  EXPECT_EQ(PopupListboxItemEhLine(), line);  // a repeat keeps the first
  struct Case {
    TDBGridFilterPopupListboxItemEh* Item;
    bool CloseOnExecute;
  };
  std::vector<Case> cases = {{PopupListboxItemEhLine(), false},
                             {PopupListboxItemEhData(), false},
                             {PopupListboxItemEhSort(smUpEh), true},
                             {PopupListboxItemEhSort(smDownEh), true}};
  for (int kind = 0; kind < 6; ++kind) {
    auto* spec = PopupListboxItemEhSpec(static_cast<TPopupListboxItemEhSpecKind>(kind));
    ASSERT_NE(spec, nullptr);
    EXPECT_EQ(static_cast<int>(spec->Kind()), kind);
    cases.push_back({spec, true});
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(cases[i].Item, nullptr);
    EXPECT_FALSE(cases[i].Item->CanFocus(nullptr, 0));
    EXPECT_EQ(cases[i].Item->CloseOnExecute(nullptr, 0), cases[i].CloseOnExecute);
  }
  EXPECT_EQ(PopupListboxItemEhSort(smUpEh)->Marker(), smUpEh);
  EXPECT_EQ(PopupListboxItemEhSort(smDownEh)->Marker(), smDownEh);
  EXPECT_EQ(PopupListboxItemEhSort(smNoneEh), nullptr);
}

TEST_F(CenterFilterListTest, SpecialItemsFollowSortMarkingTitleButtonAndInstantApply) {
  TObject* const up = PopupListboxItemEhSort(smUpEh);
  TObject* const down = PopupListboxItemEhSort(smDownEh);
  TObject* const line = PopupListboxItemEhLine();
  auto spec = [](TPopupListboxItemEhSpecKind k) -> TObject* { return PopupListboxItemEhSpec(k); };
  const std::vector<std::pair<std::string, TObject*>> sorting = {
      {"(降序)", up}, {"(升序)", down}, {"-", line}};
  const std::pair<std::string, TObject*> apply = {"(Apply filter)", spec(ptsApplyFilterEh)};
  for (int mask = 0; mask < 8; ++mask) {
    const bool autoSort = mask & 1, titleButton = mask & 2, instantApply = mask & 4;
    SCOPED_TRACE("autoSort " + std::to_string(autoSort) + " titleButton " + std::to_string(titleButton) +
                 " instantApply " + std::to_string(instantApply));
    TDBGridEhOptions options = grid->OptionsEh();
    autoSort ? options.Include(dghAutoSortMarking) : options.Exclude(dghAutoSortMarking);
    grid->SetOptionsEh(options);
    Col(1)->Title()->SetTitleButton(titleButton);
    grid->STFilter()->SetInstantApply(instantApply);
    std::vector<std::pair<std::string, TObject*>> expected;
    if (autoSort && titleButton) expected = sorting;
    expected.push_back({"(取消过滤)", spec(ptsClearFilterEh)});
    if (!instantApply) expected.push_back(apply);
    for (auto e : std::vector<std::pair<std::string, TObject*>>{{"(Custom...)", spec(ptsCustomFilterEh)},
                                                                {"(全部)", spec(ptsAllValuesEh)},
                                                                {"(非空)", spec(ptsNotEmptyEh)},
                                                                {"(空)", spec(ptsEmptyEh)}})
      expected.push_back(e);
    items->Clear();
    DBGridEhCenter()->AddFilterListSpecItems(grid, Col(1), items.get());
    ASSERT_EQ(items->Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < items->Count(); ++i) {
      EXPECT_EQ(items->Strings(i), expected[i].first);
      EXPECT_EQ(items->Objects(i), expected[i].second);
    }
    EXPECT_EQ(items->UpdateCount(), 0);
  }
  // A program's string table gives the captions.
  RegisterResourceString(SFilterListClearFilterIdEh, "(no filter)");
  items->Clear();
  DBGridEhCenter()->AddFilterListSpecItems(grid, Col(1), items.get());
  UnregisterResourceString(SFilterListClearFilterIdEh);
  EXPECT_EQ(items->Strings(items->IndexOfObject(PopupListboxItemEhSpec(ptsClearFilterEh))), "(no filter)");
}

TEST_F(CenterFilterListTest, ValuesPassTheOtherColumnsConditionsButNotTheColumnsOwn) {
  struct Case {
    const char* NameCondition;
    const char* AmountCondition;
    int Column;
    const char* Values;
  };
  const Case cases[] = {
      {"", "", 1, "Anna|Bob|Carl"},  // the empty name is no entry
      {"Anna", "", 2, "1.5|3.5"},    {"", ">2", 1, "Anna|Bob"},
      {"Anna", ">2", 1, "Anna|Bob"},  // the column's own condition filters nothing
      {"Anna", ">2", 0, "3"},        {"<>Anna", "", 2, "1.5|2.5|9"},
      {"=Null", "", 0, ""},          {"~A%", "<9", 0, "1|3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.NameCondition) + " / " + c.AmountCondition + " / column " +
                 std::to_string(c.Column));
    Filter(1, c.NameCondition);
    Filter(2, c.AmountCondition);
    const TSTFilterExpressionEh own = Col(c.Column)->STFilter()->Expression();
    dataSet->SetRecNo(2);
    // The list is the column's own and is built again only when the other columns' text changed.
    auto* list = dynamic_cast<TDatasetFieldValueListEh*>(Col(c.Column)->GetFilterValueList());
    ASSERT_NE(list, nullptr);
    const int builds = list->BuildCount();
    int scrolls[2] = {0, 0};  // outside and inside the filling mark
    dataSet->AfterScroll = [&](TDataSet*) { ++scrolls[grid->FillingFilterList()]; };
    items->Clear();
    DBGridEhCenter()->DefaultFillFilterList(grid, Col(c.Column), items.get());
    dataSet->AfterScroll = TDataSetNotifyEvent();
    EXPECT_EQ(Texts(), c.Values);
    EXPECT_EQ(DataTexts(), c.Values);
    EXPECT_EQ(scrolls[0], 0);
    EXPECT_EQ(scrolls[1] > 0, list->BuildCount() > builds);
    EXPECT_FALSE(grid->FillingFilterList());
    EXPECT_EQ(Col(c.Column)->STFilter()->Expression().Operator1, own.Operator1);
    EXPECT_EQ(VarToStr(Col(c.Column)->STFilter()->Expression().Operand1), VarToStr(own.Operand1));
    EXPECT_EQ(dataSet->RecNo(), 2);
    EXPECT_FALSE(dataSet->Filtered());
  }
  // The list is the column's own, over the grid's data source, kept for the next fill.
  auto* list = dynamic_cast<TDatasetFieldValueListEh*>(Col(1)->GetFilterValueList());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->FieldName(), "NAME");
  EXPECT_EQ(list->DataSource(), grid->DataSource());
  EXPECT_EQ(Col(1)->GetFilterValueList(), list);
}

TEST_F(CenterFilterListTest, ColumnsConditionIsBackWhenTheOtherColumnsTextCannotBeUsed) {
  Filter(1, "=Anna");
  const TSTFilterExpressionEh own = Col(1)->STFilter()->Expression();
  ASSERT_EQ(own.Operator1, fopEqualEh);
  // An equal with a list of values cannot be written; a condition on a field the data set
  // lacks cannot be read.
  TSTFilterExpressionEh list;
  list.ValueKind = fvkNumberEh;
  list.Operator1 = fopEqualEh;
  list.Operand1 = VarArrayOf({Variant(1), Variant(2)});
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"array operand", [&] { Col(0)->STFilter()->SetExpression(list); }},
      {"unknown field",
       [&] {
         Filter(0, "1");
         Col(0)->STFilter()->SetDataField("NOPE");
       }},
  };
  for (const auto& [name, breakOtherColumn] : cases) {
    SCOPED_TRACE(name);
    breakOtherColumn();
    items->Clear();
    EXPECT_THROW(DBGridEhCenter()->DefaultFillFilterList(grid, Col(1), items.get()), Exception);
    EXPECT_EQ(Col(1)->STFilter()->Expression().Operator1, fopEqualEh);
    EXPECT_EQ(VarToStr(Col(1)->STFilter()->Expression().Operand1), "Anna");
    EXPECT_FALSE(grid->FillingFilterList());
    EXPECT_EQ(items->UpdateCount(), 0);
    EXPECT_EQ(items->Count(), 0);
  }
}

TEST_F(CenterFilterListTest, KeysAreShownAsPicksOnlyWithBothLists) {
  struct Case {
    std::vector<std::string> Keys, Picks;
    const char* Values;
  };
  const Case cases[] = {
      {{"1", "3", "5"}, {"one", "three", "five"}, "one|2|three|4|five"},
      {{"1", "3", "5"}, {"one"}, "one|2|3|4|5"},  // a key without its pick stays
      {{"1", "3"}, {}, "1|2|3|4|5"},
      {{}, {"one"}, "1|2|3|4|5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Values);
    Col(0)->KeyList()->Clear();
    Col(0)->PickList()->Clear();
    for (const std::string& k : c.Keys) Col(0)->KeyList()->Add(k);
    for (const std::string& p : c.Picks) Col(0)->PickList()->Add(p);
    items->Clear();
    DBGridEhCenter()->DefaultFillFilterList(grid, Col(0), items.get());
    EXPECT_EQ(DataTexts(), c.Values);
  }
}

TEST_F(CenterFilterListTest, FillEventsRunGridColumnCentreUntilOneProcesses) {
  std::vector<std::string> calls;
  int processedBy = -1;
  auto hook = [&](int Index, const char* Name) {
    return [&, Index, Name](TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items, bool& Processed) {
      EXPECT_EQ(Grid, grid);
      EXPECT_EQ(Column, Col(1));
      EXPECT_EQ(Items, items.get());
      calls.push_back(Name);
      Processed = Processed || Index == processedBy;
    };
  };
  grid->OnFillSTFilterListValues = hook(0, "grid");
  Col(1)->OnFillSTFilterListValues = hook(1, "column");
  DBGridEhCenter()->OnFillSTFilterListValues = hook(2, "centre");
  grid->STFilter()->SetInstantApply(true);
  grid->SetOptionsEh(grid->OptionsEh() - dghAutoSortMarking);
  const std::tuple<int, const char*, int> cases[] = {
      {-1, "grid,column,centre", 5 + 3}, {0, "grid", 0}, {1, "grid,column", 0}, {2, "grid,column,centre", 0}};
  for (const auto& [by, expectedCalls, count] : cases) {
    SCOPED_TRACE(by);
    processedBy = by;
    calls.clear();
    items->Clear();
    grid->FillSTFilterListValues(Col(1), items.get());
    std::string joined;
    for (const std::string& c : calls) joined += (joined.empty() ? "" : ",") + c;
    EXPECT_EQ(joined, expectedCalls);
    EXPECT_EQ(items->Count(), count);
  }
  EXPECT_EQ(DataTexts(), "");
  processedBy = -1;
  items->Clear();
  grid->FillSTFilterListValues(Col(1), items.get());
  EXPECT_EQ(Texts(), "(取消过滤)|(Custom...)|(全部)|(非空)|(空)|Anna|Bob|Carl");
  DBGridEhCenter()->OnFillSTFilterListValues = TFillSTFilterListValuesEventEh();
}
