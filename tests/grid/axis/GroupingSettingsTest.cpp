// The grouping settings and their levels: active levels, how level changes reach the group tree,
// parent colours and fonts, stored flags, a record's key values and the brackets they open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinGroupingGrid.h"

namespace {

// Settings whose rebuild of the active levels fails on request.
class TRaisingDataGroupsEh : public TGridDataGroupsEh {
 public:
  using TGridDataGroupsEh::TGridDataGroupsEh;
  bool Raise = false;
  void RebuildActiveGroupLevels() override {
    TGridDataGroupsEh::RebuildActiveGroupLevels();
    if (Raise) throw Exception("rebuild failed");
  }
};

bool IsStored(TObject* Object, const char* Name) {
  const TPropInfo* prop = Object->ClassType()->FindProp(Name);
  return prop && (!prop->Stored || prop->Stored(*Object));
}

// A shown grid "Grid1" over records (ID, CAT, ITEM, KIND); record r has ID r + 1.
class GroupingSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 500, 400);
    dataSet = new TMemoryDataSetEh(form);
    const char* names[] = {"CAT", "ITEM", "KIND"};
    dataSet->FieldDefs()->Add("ID", ftInteger);
    for (const char* name : names) dataSet->FieldDefs()->Add(name, ftString, 10);
    dataSet->CreateDataSet();
    const char* rows[][3] = {
        {"B", "x", "k1"}, {"A", "y", "k2"}, {"C", "x", "k1"}, {"A", "x", "k2"}, {"B", "y", "k1"}};
    int id = 1;
    for (const auto& row : rows) {
      dataSet->Append();
      dataSet->FieldByName("ID")->SetAsInteger(id++);
      for (int f = 0; f < 3; ++f) dataSet->FieldByName(names[f])->SetAsString(row[f]);
      dataSet->Post();
    }
    dataSet->First();
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TThinGroupingGridEh(form);
    grid->SetName("Grid1");
    grid->SetParent(form);
    grid->SetAlign(alClient);
    form->Show();
    grid->SetDataSource(source);
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  TGridDataGroupsEh* Groups() { return grid->DataGrouping(); }
  TGroupDataTreeNodeEh* Root() { return grid->GroupTree()->GetRoot(); }
  int FlatCount() { return grid->GroupTree()->GetFlatCount(); }
  // The keys of the group rows in the flat list, in order.
  std::vector<std::string> FlatGroupKeys() {
    std::vector<std::string> keys;
    for (int i = 0; i < FlatCount(); ++i) {
      TGroupDataTreeNodeEh* node = grid->GroupTree()->GetFlatNode(i);
      if (node->NodeType == dntDataGroupEh) keys.push_back(VarToStr(node->KeyValue));
    }
    return keys;
  }

  TForm* form = nullptr;
  TMemoryDataSetEh* dataSet = nullptr;
  TDataSource* source = nullptr;
  TThinGroupingGridEh* grid = nullptr;
};

using Keys = std::vector<std::string>;

TEST_F(GroupingSettings, LevelIsActiveOnlyWithAColumn) {
  TGridDataGroupLevelEh* level = Groups()->GroupLevels()->Add();
  EXPECT_EQ(level->GetDisplayName(), "Grid1.DataGrouping");
  level->SetColumnName("Column_9_NONE");
  EXPECT_EQ(Groups()->GetActiveGroupLevelsCount(), 0);
  EXPECT_EQ(level->ActiveIndex(), -1);

  TAxisBarEh* cat = grid->FindColumnByFieldName("CAT");
  level->SetColumnName("Column_1_CAT");
  ASSERT_EQ(Groups()->GetActiveGroupLevelsCount(), 1);
  EXPECT_EQ(Groups()->GetActiveGroupColumn(0), cat);
  EXPECT_EQ(level->ActiveIndex(), 0);
  EXPECT_EQ(level->GetDisplayName(), "Grid1.DataGrouping['CAT']");
  level->SetColumn(nullptr);
  EXPECT_EQ(Groups()->GetActiveGroupLevelsCount(), 0);

  // A name read before the grid has its columns resolves when grouping starts.
  auto* other = new TThinGroupingGridEh(form);
  TGridDataGroupLevelEh* early = other->DataGrouping()->GroupLevels()->Add();
  early->SetColumnName("Column_1_CAT");
  EXPECT_EQ(early->Column(), nullptr);
  other->SetParent(form);
  other->SetDataSource(source);
  Application->ProcessMessages();
  other->DataGrouping()->SetActive(true);
  EXPECT_EQ(early->Column(), other->FindColumnByFieldName("CAT"));
  EXPECT_EQ(other->GroupTree()->GetRoot()->GetRowsCount(), 3);
}

TEST_F(GroupingSettings, RemovingTheMiddleOfThreeLevelsRegroupsByTheOuterTwo) {
  grid->AddGroupLevel("CAT");
  grid->AddGroupLevel("ITEM");
  TGridDataGroupLevelEh* kind = grid->AddGroupLevel("KIND");
  Groups()->SetActive(true);
  TGroupDataTreeNodeEh* groupA = Root()->GetItem(0);
  ASSERT_EQ(VarToStr(groupA->KeyValue), "A");
  ASSERT_EQ(groupA->GetRowsCount(), 2);  // ITEM x and y
  groupA->SetExpanded(true);

  // Inside an update the tree is refreshed before the collection hears of the deletion: the
  // deleted level's group rows must be gone already.
  Groups()->GroupLevels()->BeginUpdate();
  Groups()->GroupLevels()->Delete(1);
  Groups()->GroupRowDefValues()->SetFooterInGroupRow(true);
  Groups()->GroupLevels()->EndUpdate();
  ASSERT_EQ(Groups()->GetActiveGroupLevelsCount(), 2);
  // The first level's group rows keep their state; below them the KIND groups.
  ASSERT_EQ(Root()->GetItem(0), groupA);
  EXPECT_TRUE(groupA->Expanded());
  ASSERT_EQ(groupA->GetRowsCount(), 1);
  EXPECT_EQ(groupA->GetItem(0)->DataGroupLevel, kind);
  EXPECT_EQ(VarToStr(groupA->GetItem(0)->KeyValue), "k2");
  EXPECT_EQ(groupA->GetItem(0)->GetRowsCount(), 2);
  grid->GroupTree()->CheckConsistency();
}

TEST_F(GroupingSettings, SortOrderAndExpansionActOnlyOnAnActiveLevel) {
  TGridDataGroupLevelEh* cat = grid->AddGroupLevel("CAT");
  TGridDataGroupLevelEh* idle = Groups()->GroupLevels()->Add();
  Groups()->SetActive(true);
  const int recounts = grid->RowCountUpdates;
  idle->SetSortOrder(soDescEh);
  idle->ExpandNodes();
  EXPECT_EQ(FlatGroupKeys(), (Keys{"A", "B", "C"}));
  EXPECT_EQ(FlatCount(), 3);
  EXPECT_EQ(grid->RowCountUpdates, recounts);

  cat->SetSortOrder(soDescEh);
  EXPECT_EQ(FlatGroupKeys(), (Keys{"C", "B", "A"}));
  EXPECT_EQ(grid->RowCountUpdates, recounts + 1);
  cat->ExpandNodes();
  EXPECT_EQ(FlatCount(), 8);
  cat->CollapseNodes();
  EXPECT_EQ(FlatCount(), 3);
}

TEST_F(GroupingSettings, AssignCopiesActiveLevelsAndPanelOnly) {
  TGridDataGroupsEh source(grid, nullptr);
  TGridDataGroupLevelEh* level = source.GroupLevels()->Add();
  level->SetColumn(grid->FindColumnByFieldName("ITEM"));
  level->SetSortOrder(soDescEh);
  source.SetActive(true);
  source.SetGroupPanelVisible(true);
  source.SetColor(clRed);
  source.Font()->SetSize(20);
  source.SetDefaultStateExpanded(true);
  source.SetShiftFolldataGroupRow(false);
  source.GroupRowDefValues()->SetRowHeight(30);
  source.FootersDefValues()->SetShowFunctionName(true);
  source.Footers()->Add();

  Groups()->Assign(&source);
  EXPECT_TRUE(Groups()->Active());
  EXPECT_TRUE(Groups()->GroupPanelVisible());
  EXPECT_EQ(grid->GroupingLayoutUpdates, 1);
  ASSERT_EQ(Groups()->GroupLevels()->Count(), 1);
  EXPECT_EQ(FlatGroupKeys(), (Keys{"y", "x"}));
  // Nothing else is taken over.
  EXPECT_TRUE(Groups()->ParentColor());
  EXPECT_TRUE(Groups()->ParentFont());
  EXPECT_FALSE(Groups()->DefaultStateExpanded());
  EXPECT_TRUE(Groups()->ShiftFolldataGroupRow());
  EXPECT_EQ(Groups()->GroupRowDefValues()->RowHeight(), 0);
  EXPECT_FALSE(Groups()->FootersDefValues()->ShowFunctionName());
  EXPECT_EQ(Groups()->Footers()->Count(), 0);
}

TEST_F(GroupingSettings, LookFollowsTheGridAndTheDefaultsUntilOwnValues) {
  TGridDataGroupLevelEh* level = grid->AddGroupLevel("CAT");
  auto check = [this](auto* c, const char* id) {
    SCOPED_TRACE(id);
    grid->SetColor(clYellow);
    EXPECT_EQ(c->Color(), clYellow);
    EXPECT_FALSE(IsStored(c, "Color"));
    c->SetColor(clRed);
    grid->SetColor(clBlue);
    EXPECT_EQ(c->Color(), clRed);
    EXPECT_TRUE(IsStored(c, "Color"));

    grid->Font()->SetSize(15);
    EXPECT_EQ(c->Font()->Size(), 15);
    grid->Font()->SetSize(16);  // read again only after a second change
    EXPECT_EQ(c->Font()->Size(), 16);
    EXPECT_FALSE(IsStored(c, "Font"));
    c->Font()->SetSize(9);
    EXPECT_TRUE(IsStored(c, "Font"));
    grid->Font()->SetSize(17);
    EXPECT_EQ(c->Font()->Size(), 9);
    c->SetParentFont(true);
    EXPECT_EQ(c->Font()->Size(), 17);
  };
  check(Groups(), "settings");
  check(level, "level");

  // A level's row height and lines follow the defaults until stored.
  using L = TGridDataGroupLevelEh;
  using D = TGridDataGroupRowDefValuesEh;
  struct Case {
    const char* name;
    void (D::*setDefault)(int);
    int (L::*value)() const;
    void (L::*set)(int);
    void (L::*setStored)(bool);
  };
  const Case cases[] = {
      {"RowHeight", &D::SetRowHeight, &L::RowHeight, &L::SetRowHeight, &L::SetRowHeightStored},
      {"RowLines", &D::SetRowLines, &L::RowLines, &L::SetRowLines, &L::SetRowLinesStored},
  };
  D* defaults = Groups()->GroupRowDefValues();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    (defaults->*c.setDefault)(20);
    EXPECT_EQ((level->*c.value)(), 20);
    EXPECT_FALSE(IsStored(level, c.name));
    (level->*c.set)(25);
    EXPECT_TRUE(IsStored(level, c.name));
    (defaults->*c.setDefault)(30);
    EXPECT_EQ((level->*c.value)(), 25);
    (level->*c.setStored)(false);
    EXPECT_EQ((level->*c.value)(), 30);
    EXPECT_FALSE(IsStored(level, c.name));
  }
}

// Key values read a record and keep the position, also when the application's key event
// raises; a new record takes the kept keys once.
TEST_F(GroupingSettings, KeyValuesAndBracketsThatCloseOnFailure) {
  TGridDataGroupLevelEh* cat = grid->AddGroupLevel("CAT");
  grid->AddGroupLevel("ITEM");
  const Variant keys = Groups()->GetGroupKeyValues(2);
  ASSERT_EQ(keys.HighBound(), 2);
  EXPECT_EQ(VarToStr(keys.GetElement(0)), "C");
  EXPECT_EQ(VarToStr(keys.GetElement(1)), "x");
  EXPECT_EQ(keys.GetElement(2).AsInteger(), 2);
  EXPECT_EQ(VarToStr(Groups()->GetGroupKeyValues(0).GetElement(0)), "B");

  cat->OnGetKeyValue = [this](TGridDataGroupLevelEh*, Variant& Key) {
    Key = dataSet->FieldByName("CAT")->AsVariant();
    if (VarToStr(Key) == "C") throw Exception("bad key");
  };
  EXPECT_THROW(Groups()->GetGroupKeyValues(2), Exception);
  EXPECT_EQ(dataSet->GetRowIndex(), 0);
  EXPECT_EQ(dataSet->FieldByName("CAT")->AsString(), "B");
  cat->OnGetKeyValue = nullptr;

  Groups()->SetNewRecordKeyValues(VarArrayOf({Variant("C"), Variant("y"), Variant(7)}));
  dataSet->Append();
  EXPECT_TRUE(Groups()->WriteNewRecordKeyValues());
  EXPECT_EQ(dataSet->FieldByName("CAT")->AsString(), "C");
  EXPECT_EQ(dataSet->FieldByName("ITEM")->AsString(), "y");
  EXPECT_TRUE(Groups()->NewRecordKeyValues().IsEmpty());
  EXPECT_FALSE(Groups()->WriteNewRecordKeyValues());
  dataSet->Cancel();

  // A failing rebuild of the active levels leaves no update bracket open.
  TRaisingDataGroupsEh groups(grid, nullptr);
  TGridDataGroupLevelEh* level = groups.GroupLevels()->Add();
  groups.Raise = true;
  EXPECT_THROW(level->SetColumn(grid->FindColumnByFieldName("ITEM")), Exception);
  EXPECT_EQ(groups.GroupDataTree()->UpdateCount(), 0);
  EXPECT_EQ(dataSet->UpdateCount(), 0);
}

TEST_F(GroupingSettings, RemovedColumnLeavesLevelsAndFooterItems) {
  grid->AddGroupLevel("CAT");
  TGridDataGroupLevelEh* itemLevel = grid->AddGroupLevel("ITEM");
  itemLevel->SetUseDataGroupsFooters(false);
  itemLevel->OwnFooters()->Add();
  Groups()->Footers()->Add();
  Groups()->InitFootersColumnItems();
  Groups()->SetActive(true);
  TAxisBarEh* itemColumn = grid->FindColumnByFieldName("ITEM");
  TGridDataGroupFootersEh* footerSets[] = {Groups()->Footers(), itemLevel->OwnFooters()};
  for (auto* footers : footerSets) ASSERT_EQ(footers->Items(0)->ColumnItems()->Count(), 4);

  Groups()->ColumnRemoving(itemColumn);
  EXPECT_EQ(itemLevel->Column(), nullptr);
  EXPECT_EQ(itemLevel->ColumnName(), "");
  EXPECT_EQ(Groups()->GetActiveGroupLevelsCount(), 1);
  for (auto* footers : footerSets) {
    TGridDataGroupFooterColumnItemsEh* items = footers->Items(0)->ColumnItems();
    ASSERT_EQ(items->Count(), 3);
    for (int i = 0; i < items->Count(); ++i) EXPECT_NE(items->Items(i)->Column(), itemColumn);
  }
  // One level left: the data rows sit right under the CAT groups.
  ASSERT_EQ(Root()->GetRowsCount(), 3);
  EXPECT_EQ(Root()->GetItem(0)->GetItem(0)->NodeType, dntDataSetRecordEh);
}

}  // namespace
