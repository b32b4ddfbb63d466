#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Resources.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

class TFillRecordingFeatures : public TDataSetFeatureHandlerEh {
  RTL_CLASS(TFillRecordingFeatures, TDataSetFeatureHandlerEh)
 public:
  void FillFilterList(TCustomDBGridEh*, TColumnEh* Column, TStrings* Items) override {
    Items->Add("features of " + Column->FieldName());
  }
};
RTL_IMPLEMENT_CLASS(TFillRecordingFeatures)

// The shared object of an entry as a tag: U/D sort up/down, L line, S<kind>, V value.
std::string TagOf(TObject* Item) {
  if (Item == PopupListboxItemEhSort(smUpEh)) return "U";
  if (Item == PopupListboxItemEhSort(smDownEh)) return "D";
  if (Item == PopupListboxItemEhLine()) return "L";
  if (Item == PopupListboxItemEhData()) return "V";
  if (auto* special = dynamic_cast<TPopupListboxItemEhSpec*>(Item))
    if (special == PopupListboxItemEhSpec(special->Kind()))
      return "S" + std::to_string(static_cast<int>(special->Kind()));
  return "?";
}

// A grid over ID, NAME, AMOUNT, never shown; the in-memory data set's features unregistered, so
// the centre's default path fills the lists.
class CenterFilterListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
    UnregisterDatasetFeaturesEh(TMemoryDataSet::StaticClass());
    form = new TForm(Application, 0);
    form->AfterConstruction();
    dataSet = new TMemoryDataSet(form);
    for (auto [name, type] : {std::pair{"ID", ftInteger}, {"NAME", ftString}, {"AMOUNT", ftFloat}})
      dataSet->FieldDefs()->Add(name, type, type == ftString ? 20 : 0);
    dataSet->CreateDataSet();
    const std::tuple<int, const char*, double> rows[] = {
        {1, "Anna", 1.5}, {2, "Bob", 2.5}, {3, "Anna", 3.5}, {4, "Carl", 1.5}, {5, "", 9}};
    for (auto [id, name, amount] : rows) dataSet->AppendRecord({id, name, amount});
    auto* source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetDataSource(source);
    for (const char* name : {"ID", "NAME", "AMOUNT"}) grid->Columns()->Add()->SetFieldName(name);
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
  // "caption/tag|..." with Tags, else the captions alone.
  std::string Dump(bool Tags = false) {
    std::string s;
    for (int i = 0; i < items.Count(); ++i)
      s += (i ? "|" : "") + items.Strings(i) + (Tags ? "/" + TagOf(items.Objects(i)) : "");
    return s;
  }

  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDBGridEh* grid = nullptr;
  TStringList items;
};

}  // namespace

TEST(FilterListItemsTest, SharedObjectsAreMadeOnceAndNoneTakesTheFocus) {
  FreeFilterPopupListboxItems();
  EXPECT_EQ(PopupListboxItemEhLine(), nullptr);
  CreateFilterPopupListboxItems();
  TPopupListboxItemEhLine* line = PopupListboxItemEhLine();
  CreateFilterPopupListboxItems();
  EXPECT_EQ(PopupListboxItemEhLine(), line);
  std::vector<std::pair<TDBGridFilterPopupListboxItemEh*, bool>> cases = {
      {line, false},
      {PopupListboxItemEhData(), false},
      {PopupListboxItemEhSort(smUpEh), true},
      {PopupListboxItemEhSort(smDownEh), true}};
  for (int kind = 0; kind < 6; ++kind)
    cases.push_back({PopupListboxItemEhSpec(static_cast<TPopupListboxItemEhSpecKind>(kind)), true});
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(cases[i].first, nullptr);
    EXPECT_EQ(TagOf(cases[i].first), i < 4 ? std::string("LVUD").substr(i, 1) : "S" + std::to_string(i - 4));
    EXPECT_FALSE(cases[i].first->CanFocus(nullptr, 0));
    EXPECT_EQ(cases[i].first->CloseOnExecute(nullptr, 0), cases[i].second);
  }
}

TEST_F(CenterFilterListTest, SpecialItemsFollowSortMarkingTitleButtonAndInstantApply) {
  const std::string sorting = "(降序)/U|(升序)/D|-/L|", apply = "(Apply filter)/S5|";
  for (int mask = 0; mask < 8; ++mask) {
    const bool autoSort = mask & 1, titleButton = mask & 2, instantApply = mask & 4;
    SCOPED_TRACE(mask);
    grid->SetOptionsEh(autoSort ? grid->OptionsEh() + dghAutoSortMarking
                                : grid->OptionsEh() - dghAutoSortMarking);
    Col(1)->Title()->SetTitleButton(titleButton);
    grid->STFilter()->SetInstantApply(instantApply);
    items.Clear();
    DBGridEhCenter()->AddFilterListSpecItems(grid, Col(1), &items);
    EXPECT_EQ(Dump(true), (autoSort && titleButton ? sorting : "") + "(取消过滤)/S0|" +
                              (instantApply ? "" : apply) + "(Custom...)/S4|(全部)/S1|(非空)/S3|(空)/S2");
    EXPECT_EQ(items.UpdateCount(), 0);
  }
  RegisterResourceString(SFilterListClearFilterIdEh, "(no filter)");
  items.Clear();
  DBGridEhCenter()->AddFilterListSpecItems(grid, Col(1), &items);
  UnregisterResourceString(SFilterListClearFilterIdEh);
  EXPECT_EQ(items.Strings(3), "(no filter)");
}

TEST_F(CenterFilterListTest, ValuesPassTheOtherColumnsConditionsButNotTheColumnsOwn) {
  const std::tuple<const char*, const char*, int, const char*> cases[] = {
      {"", "", 1, "Anna|Bob|Carl"},  // the empty name is no entry
      {"Anna", "", 2, "1.5|3.5"},    {"", ">2", 1, "Anna|Bob"},
      {"Anna", ">2", 1, "Anna|Bob"},  // the same text: the list is not built again
      {"Anna", ">2", 0, "3"},        {"<>Anna", "", 2, "1.5|2.5|9"},
      {"=Null", "", 0, ""},          {"~A%", "<9", 0, "1|3"}};
  for (const auto& [name, amount, column, values] : cases) {
    SCOPED_TRACE(std::string(name) + " / " + amount + " / " + std::to_string(column));
    Filter(1, name);
    Filter(2, amount);
    const TSTFilterExpressionEh own = Col(column)->STFilter()->Expression();
    auto* list = dynamic_cast<TDatasetFieldValueListEh*>(Col(column)->GetFilterValueList());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->DataSource(), grid->DataSource());
    const int builds = list->BuildCount();
    dataSet->SetRecNo(2);
    int scrolls[2] = {0, 0};  // outside and inside the filling mark
    dataSet->AfterScroll = [&](TDataSet*) { ++scrolls[grid->FillingFilterList()]; };
    items.Clear();
    DBGridEhCenter()->DefaultFillFilterList(grid, Col(column), &items);
    dataSet->AfterScroll = TDataSetNotifyEvent();
    EXPECT_EQ(Dump(), values);
    EXPECT_EQ(Dump(true).find("/V") == std::string::npos, items.Count() == 0);
    EXPECT_EQ(Dump(true).find("/S"), std::string::npos);
    EXPECT_EQ(scrolls[0], 0);
    EXPECT_EQ(scrolls[1] > 0, list->BuildCount() > builds);
    EXPECT_FALSE(grid->FillingFilterList());
    EXPECT_EQ(Col(column)->STFilter()->Expression().Operator1, own.Operator1);
    EXPECT_EQ(VarToStr(Col(column)->STFilter()->Expression().Operand1), VarToStr(own.Operand1));
    EXPECT_EQ(dataSet->RecNo(), 2);
    EXPECT_FALSE(dataSet->Filtered());
  }
}

TEST_F(CenterFilterListTest, ColumnsConditionIsBackWhenTheOtherColumnsTextRaises) {
  Filter(1, "=Anna");
  TSTFilterExpressionEh list;  // an equal with a list of values, which no filter text can hold
  list.ValueKind = fvkNumberEh;
  list.Operator1 = fopEqualEh;
  list.Operand1 = VarArrayOf({Variant(1), Variant(2)});
  Col(0)->STFilter()->SetExpression(list);
  EXPECT_THROW(DBGridEhCenter()->DefaultFillFilterList(grid, Col(1), &items), Exception);
  EXPECT_EQ(Col(1)->STFilter()->Expression().Operator1, fopEqualEh);
  EXPECT_EQ(VarToStr(Col(1)->STFilter()->Expression().Operand1), "Anna");
  EXPECT_FALSE(grid->FillingFilterList());
  EXPECT_EQ(items.UpdateCount(), 0);
  EXPECT_EQ(items.Count(), 0);
}

TEST_F(CenterFilterListTest, KeysAreShownAsPicksOnlyWithBothLists) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"1,3,5", "one,three,five", "one|2|three|4|five"},
      {"1,3,5", "one", "one|2|3|4|5"},  // a key without its pick stays
      {"1,3", "", "1|2|3|4|5"},
      {"", "one", "1|2|3|4|5"}};
  for (const auto& [keys, picks, values] : cases) {
    SCOPED_TRACE(values);
    Col(0)->KeyList()->SetCommaText(keys);
    Col(0)->PickList()->SetCommaText(picks);
    items.Clear();
    DBGridEhCenter()->DefaultFillFilterList(grid, Col(0), &items);
    EXPECT_EQ(Dump(), values);
  }
}

TEST_F(CenterFilterListTest, FillEventsRunGridColumnCentreUntilOneProcessesThenTheCentreFills) {
  std::string calls;
  int processedBy = -1;
  auto hook = [&](int Index, const char* Name) {
    return [&, Index, Name](TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items, bool& Processed) {
      EXPECT_TRUE(Grid == grid && Column == Col(1) && Items == &items);
      calls += std::string(calls.empty() ? "" : ",") + Name;
      Processed = Processed || Index == processedBy;
    };
  };
  grid->OnFillSTFilterListValues = hook(0, "grid");
  Col(1)->OnFillSTFilterListValues = hook(1, "column");
  DBGridEhCenter()->OnFillSTFilterListValues = hook(2, "centre");
  grid->STFilter()->SetInstantApply(true);
  grid->SetOptionsEh(grid->OptionsEh() - dghAutoSortMarking);
  const std::tuple<int, const char*, const char*> cases[] = {
      {-1, "grid,column,centre", "(取消过滤)|(Custom...)|(全部)|(非空)|(空)|Anna|Bob|Carl"},
      {0, "grid", ""},
      {1, "grid,column", ""},
      {2, "grid,column,centre", ""}};
  for (const auto& [by, expectedCalls, texts] : cases) {
    SCOPED_TRACE(by);
    processedBy = by;
    calls.clear();
    items.Clear();
    grid->FillSTFilterListValues(Col(1), &items);
    EXPECT_EQ(calls, expectedCalls);
    EXPECT_EQ(Dump(), texts);
  }
  DBGridEhCenter()->OnFillSTFilterListValues = TFillSTFilterListValuesEventEh();
}

TEST_F(CenterFilterListTest, FeatureObjectFillsTheValuesWhenOneIsRegistered) {
  Filter(2, ">2");
  for (const auto& [registered, texts] : {std::pair{true, "features of NAME"}, {false, "Anna|Bob"}}) {
    SCOPED_TRACE(registered);
    if (registered)
      RegisterDatasetFeaturesEh(TFillRecordingFeatures::StaticClass(), TMemoryDataSet::StaticClass());
    else
      UnregisterDatasetFeaturesEh(TMemoryDataSet::StaticClass());
    items.Clear();
    DBGridEhCenter()->FillFilterList(grid, Col(1), &items);
    EXPECT_EQ(Dump(), texts);
  }
}
