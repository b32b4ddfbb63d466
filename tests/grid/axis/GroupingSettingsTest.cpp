// The grouping settings and their levels: which levels are active, how level changes reach the
// group tree, parent colours and fonts, stored flags, key values of a record and the brackets
// they open.
#include <gtest/gtest.h>

#include <functional>
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
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("CAT", ftString, 10);
    dataSet->FieldDefs()->Add("ITEM", ftString, 10);
    dataSet->FieldDefs()->Add("KIND", ftString, 10);
    dataSet->CreateDataSet();
    const char* rows[][3] = {
        {"B", "x", "k1"}, {"A", "y", "k2"}, {"C", "x", "k1"}, {"A", "x", "k2"}, {"B", "y", "k1"}};
    int id = 1;
    for (const auto& row : rows) {
      dataSet->Append();
      dataSet->FieldByName("ID")->SetAsInteger(id++);
      dataSet->FieldByName("CAT")->SetAsString(row[0]);
      dataSet->FieldByName("ITEM")->SetAsString(row[1]);
      dataSet->FieldByName("KIND")->SetAsString(row[2]);
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
  // The keys of the group rows in the flat list, in order.
  std::vector<std::string> FlatGroupKeys() {
    std::vector<std::string> keys;
    for (int i = 0; i < grid->GroupTree()->GetFlatCount(); ++i) {
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
  EXPECT_EQ(Groups()->GetActiveGroupLevelsCount(), 0);
  EXPECT_EQ(level->GetDisplayName(), "Grid1.DataGrouping");
  level->SetColumnName("Column_9_NONE");
  EXPECT_EQ(Groups()->GetActiveGroupLevelsCount(), 0);
  EXPECT_EQ(level->ColumnName(), "Column_9_NONE");
  EXPECT_EQ(level->ActiveIndex(), -1);

  TAxisBarEh* cat = grid->FindColumnByFieldName("CAT");
  level->SetColumnName("Column_1_CAT");
  EXPECT_EQ(level->Column(), cat);
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
  EXPECT_EQ(other->DataGrouping()->GetActiveGroupLevelsCount(), 1);
  EXPECT_EQ(other->GroupTree()->GetRoot()->GetRowsCount(), 3);
}

TEST_F(GroupingSettings, RemovingTheMiddleOfThreeLevelsRegroupsByTheOuterTwo) {
  TGridDataGroupLevelEh* cat = grid->AddGroupLevel("CAT");
  grid->AddGroupLevel("ITEM");
  TGridDataGroupLevelEh* kind = grid->AddGroupLevel("KIND");
  Groups()->SetActive(true);
  TGroupDataTreeNodeEh* groupA = Root()->GetItem(0);
  ASSERT_EQ(VarToStr(groupA->KeyValue), "A");
  ASSERT_EQ(groupA->GetRowsCount(), 2);  // ITEM x and y
  groupA->SetExpanded(true);

  // Inside an update of the collection the tree is refreshed before the collection hears of
  // the deletion: the group rows of the deleted level must be gone already.
  Groups()->GroupLevels()->BeginUpdate();
  Groups()->GroupLevels()->Delete(1);
  Groups()->GroupRowDefValues()->SetFooterInGroupRow(true);
  Groups()->GroupLevels()->EndUpdate();
  ASSERT_EQ(Groups()->GetActiveGroupLevelsCount(), 2);
  EXPECT_EQ(Groups()->GetActiveGroupLevel(0), cat);
  EXPECT_EQ(Groups()->GetActiveGroupLevel(1), kind);
  // The first level's group rows stay with their state; below them the KIND groups.
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
  ASSERT_EQ(FlatGroupKeys(), (Keys{"A", "B", "C"}));
  const int recounts = grid->RowCountUpdates;

  idle->SetSortOrder(soDescEh);
  idle->ExpandNodes();
  EXPECT_EQ(idle->SortOrder(), soDescEh);
  EXPECT_EQ(FlatGroupKeys(), (Keys{"A", "B", "C"}));
  EXPECT_EQ(grid->GroupTree()->GetFlatCount(), 3);
  EXPECT_EQ(grid->RowCountUpdates, recounts);

  cat->SetSortOrder(soDescEh);
  EXPECT_EQ(FlatGroupKeys(), (Keys{"C", "B", "A"}));
  EXPECT_EQ(grid->RowCountUpdates, recounts + 1);
  cat->ExpandNodes();
  EXPECT_EQ(grid->GroupTree()->GetFlatCount(), 8);
  cat->CollapseNodes();
  EXPECT_EQ(grid->GroupTree()->GetFlatCount(), 3);
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
  EXPECT_EQ(Groups()->GroupLevels()->Items(0)->Column(), grid->FindColumnByFieldName("ITEM"));
  EXPECT_EQ(FlatGroupKeys(), (Keys{"y", "x"}));

  EXPECT_TRUE(Groups()->ParentColor());
  EXPECT_TRUE(Groups()->ParentFont());
  EXPECT_FALSE(Groups()->DefaultStateExpanded());
  EXPECT_TRUE(Groups()->ShiftFolldataGroupRow());
  EXPECT_EQ(Groups()->GroupRowDefValues()->RowHeight(), 0);
  EXPECT_FALSE(Groups()->FootersDefValues()->ShowFunctionName());
  EXPECT_EQ(Groups()->Footers()->Count(), 0);
}

TEST_F(GroupingSettings, ColoursAndFontsFollowTheGridUntilOwnValues) {
  TGridDataGroupLevelEh* level = grid->AddGroupLevel("CAT");
  struct Case {
    const char* id;
    TPersistent* object;
    std::function<TColor()> color;
    std::function<void(TColor)> setColor;
    std::function<bool()> parentColor;
    std::function<TFont*()> font;
    std::function<bool()> parentFont;
    std::function<void(bool)> setParentFont;
  };
  TGridDataGroupsEh* groups = Groups();
  const Case cases[] = {
      {"settings", groups, [=] { return groups->Color(); }, [=](TColor c) { groups->SetColor(c); },
       [=] { return groups->ParentColor(); }, [=] { return groups->Font(); },
       [=] { return groups->ParentFont(); }, [=](bool v) { groups->SetParentFont(v); }},
      {"level", level, [=] { return level->Color(); }, [=](TColor c) { level->SetColor(c); },
       [=] { return level->ParentColor(); }, [=] { return level->Font(); },
       [=] { return level->ParentFont(); }, [=](bool v) { level->SetParentFont(v); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetColor(clYellow);
    EXPECT_EQ(c.color(), clYellow);
    EXPECT_FALSE(IsStored(c.object, "Color"));
    c.setColor(clRed);
    EXPECT_FALSE(c.parentColor());
    grid->SetColor(clBlue);
    EXPECT_EQ(c.color(), clRed);
    EXPECT_TRUE(IsStored(c.object, "Color"));

    grid->Font()->SetSize(15);
    EXPECT_EQ(c.font()->Size(), 15);
    grid->Font()->SetSize(16);  // read again only after a second change
    EXPECT_EQ(c.font()->Size(), 16);
    EXPECT_TRUE(c.parentFont());
    EXPECT_FALSE(IsStored(c.object, "Font"));
    c.font()->SetSize(9);
    EXPECT_FALSE(c.parentFont());
    EXPECT_TRUE(IsStored(c.object, "Font"));
    grid->Font()->SetSize(17);
    EXPECT_EQ(c.font()->Size(), 9);
    c.setParentFont(true);
    EXPECT_EQ(c.font()->Size(), 17);
  }
}

TEST_F(GroupingSettings, LevelRowHeightAndRowLinesFollowTheDefaultsUntilStored) {
  TGridDataGroupLevelEh* level = grid->AddGroupLevel("CAT");
  TGridDataGroupRowDefValuesEh* defaults = Groups()->GroupRowDefValues();
  struct Case {
    const char* name;
    std::function<void(int)> setDefault;
    std::function<int()> value;
    std::function<void(int)> set;
    std::function<void(bool)> setStored;
  };
  const Case cases[] = {
      {"RowHeight", [=](int v) { defaults->SetRowHeight(v); }, [=] { return level->RowHeight(); },
       [=](int v) { level->SetRowHeight(v); }, [=](bool v) { level->SetRowHeightStored(v); }},
      {"RowLines", [=](int v) { defaults->SetRowLines(v); }, [=] { return level->RowLines(); },
       [=](int v) { level->SetRowLines(v); }, [=](bool v) { level->SetRowLinesStored(v); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.setDefault(20);
    EXPECT_EQ(c.value(), 20);
    EXPECT_FALSE(IsStored(level, c.name));
    c.set(25);
    EXPECT_TRUE(IsStored(level, c.name));
    c.setDefault(30);
    EXPECT_EQ(c.value(), 25);
    c.setStored(false);
    EXPECT_EQ(c.value(), 30);
    EXPECT_FALSE(IsStored(level, c.name));
  }
}

TEST_F(GroupingSettings, GroupKeyValuesReadARecordAndKeepThePosition) {
  grid->AddGroupLevel("CAT");
  grid->AddGroupLevel("ITEM");
  const Variant keys = Groups()->GetGroupKeyValues(2);
  ASSERT_EQ(keys.HighBound(), 2);
  EXPECT_EQ(VarToStr(keys.GetElement(0)), "C");
  EXPECT_EQ(VarToStr(keys.GetElement(1)), "x");
  EXPECT_EQ(keys.GetElement(2).AsInteger(), 2);
  EXPECT_EQ(dataSet->FieldByName("CAT")->AsString(), "B");
  EXPECT_EQ(dataSet->GetRowIndex(), 0);
  EXPECT_EQ(VarToStr(Groups()->GetGroupKeyValues(0).GetElement(0)), "B");
}

// An application's key event that raises, and a failing rebuild of the active levels, leave
// no reading and no update bracket open.
TEST_F(GroupingSettings, BracketsCloseWhenAKeyOrRebuildFails) {
  TGridDataGroupLevelEh* cat = grid->AddGroupLevel("CAT");
  cat->OnGetKeyValue = [this](TGridDataGroupLevelEh*, Variant& Key) {
    Key = dataSet->FieldByName("CAT")->AsVariant();
    if (VarToStr(Key) == "C") throw Exception("bad key");
  };
  EXPECT_THROW(Groups()->GetGroupKeyValues(2), Exception);
  EXPECT_EQ(dataSet->GetRowIndex(), 0);
  EXPECT_EQ(dataSet->FieldByName("CAT")->AsString(), "B");

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
  for (TGridDataGroupFootersEh* footers : footerSets) ASSERT_EQ(footers->Items(0)->ColumnItems()->Count(), 4);

  Groups()->ColumnRemoving(itemColumn);
  EXPECT_EQ(itemLevel->Column(), nullptr);
  EXPECT_EQ(itemLevel->ColumnName(), "");
  EXPECT_EQ(Groups()->GetActiveGroupLevelsCount(), 1);
  for (TGridDataGroupFootersEh* footers : footerSets) {
    TGridDataGroupFooterColumnItemsEh* items = footers->Items(0)->ColumnItems();
    ASSERT_EQ(items->Count(), 3);
    for (int i = 0; i < items->Count(); ++i) EXPECT_NE(items->Items(i)->Column(), itemColumn);
  }
  // One level left: the data rows sit right under the CAT groups.
  ASSERT_EQ(Root()->GetRowsCount(), 3);
  EXPECT_EQ(Root()->GetItem(0)->GetItem(0)->NodeType, dntDataSetRecordEh);
}

TEST_F(GroupingSettings, NewRecordTakesTheKeptKeysOnce) {
  grid->AddGroupLevel("CAT");
  grid->AddGroupLevel("ITEM");
  Groups()->SetNewRecordKeyValues(VarArrayOf({Variant("C"), Variant("y"), Variant(7)}));
  dataSet->Append();
  EXPECT_TRUE(Groups()->WriteNewRecordKeyValues());
  EXPECT_EQ(dataSet->FieldByName("CAT")->AsString(), "C");
  EXPECT_EQ(dataSet->FieldByName("ITEM")->AsString(), "y");
  EXPECT_TRUE(Groups()->NewRecordKeyValues().IsEmpty());
  EXPECT_FALSE(Groups()->WriteNewRecordKeyValues());
  dataSet->Cancel();
}

}  // namespace
