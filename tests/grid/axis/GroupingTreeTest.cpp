// The group tree over a grouping grid: filing and order, the flat list, single edits heard
// from the data set, inserting into a group, sorting and expanding a level, large groups, and
// the brackets closed when an application's event raises.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinGroupingGrid.h"

namespace {

// Answers row heights as the data grid would, noting which record was read and raising on
// request.
class TRecordingGroupingGrid : public TThinGroupingGridEh {
 public:
  using TThinGroupingGridEh::TThinGroupingGridEh;
  int CalcDataRowHeight() override {
    ReadRecord = DataIntf()->GetRowIndex();
    if (RaiseHeight) throw Exception("height");
    return DataRowHeight;
  }
  int ReadRecord = -1;
  bool RaiseHeight = false;
};

using Row = std::pair<Variant, Variant>;  // CAT, SUB

class GroupingTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    dataSet = new TMemoryDataSetEh(form);
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("CAT", ftString, 20);
    dataSet->FieldDefs()->Add("SUB", ftString, 20);
    dataSet->CreateDataSet();
    auto* source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TRecordingGroupingGrid(form);
    grid->SetParent(form);
    form->Show();
    grid->SetDataSource(source);
    groups = grid->DataGrouping();
    tree = grid->GroupTree();
  }
  void TearDown() override { ResetVcl(); }

  void AddRows(const std::vector<Row>& Rows) {
    for (const auto& [cat, sub] : Rows) dataSet->AppendRecord({++lastId, cat, sub});
  }
  // Grouping on by the fields (a "-" before a name: descending), optionally with a visible
  // grand-total footer that the levels share.
  void Group(std::initializer_list<std::string> Fields, bool Footer = false) {
    groups->SetActive(false), groups->GroupLevels()->Clear(), groups->Footers()->Clear();
    if (Footer) groups->Footers()->Add()->SetVisible(true);
    for (const std::string& f : Fields)
      grid->AddGroupLevel(f[0] == '-' ? f.substr(1) : f, f[0] == '-' ? soDescEh : soAscEh);
    groups->SetActive(true);
  }
  // Group rows by key ('text', ~ for Null), data rows by record, footers as F.
  static std::string Label(const TGroupDataTreeNodeEh* N) {
    if (N->NodeType == dntDataGroupFooterEh) return "F";
    if (N->NodeType == dntDataSetRecordEh) return std::to_string(N->RecNo);
    const Variant& k = N->KeyValue;
    return k.IsNull() ? "~" : k.VarType() == varString ? "'" + VarToStr(k) + "'" : VarToStr(k);
  }
  // The rows below Node, a group row as label:RecNo(its rows).
  static std::string Dump(const TGroupDataTreeNodeEh* Node) {
    std::string s;
    for (int i = 0; i < Node->Count(); ++i) {
      auto* n = static_cast<const TGroupDataTreeNodeEh*>(Node->Items(i));
      s += (i ? " " : "") + Label(n);
      if (n->NodeType == dntDataGroupEh) s += ":" + std::to_string(n->RecNo) + "(" + Dump(n) + ")";
    }
    return s;
  }
  std::string Tree() {
    tree->CheckConsistency();
    return Dump(tree->GetRoot());
  }
  std::string Flat() {
    tree->CheckConsistency();
    std::string s;
    for (int i = 0; i < tree->GetFlatCount(); ++i) s += (i ? " " : "") + Label(tree->GetFlatNode(i));
    return s;
  }
  TGroupDataTreeNodeEh* GroupRow(const Variant& Key) {
    for (int i = 0; i < tree->GetRoot()->GetRowsCount(); ++i)
      if (CompareGroupKeysEh(tree->GetRoot()->GetItem(i)->KeyValue, Key) == 0)
        return tree->GetRoot()->GetItem(i);
    return nullptr;
  }
  void EditRecord(int RecIndex, const char* Field, const Variant& Value, bool Insert = false) {
    dataSet->SetRecNo(RecIndex + 1);
    Insert ? dataSet->Insert() : dataSet->Edit();
    dataSet->FieldByName(Field)->SetAsVariant(Value);
    dataSet->Post();
  }

  TForm* form = nullptr;
  TMemoryDataSetEh* dataSet = nullptr;
  TRecordingGroupingGrid* grid = nullptr;
  TGridDataGroupsEh* groups = nullptr;
  TGridGroupDataTreeEh* tree = nullptr;
  int lastId = 0;
};

const std::vector<Row> kRows = {{"b", "x"}, {"a", "y"}, {Null(), "x"}, {"b", "y"}, {"a", "x"}, {"b", "x"}};

TEST_F(GroupingTree, FilesRecordsInKeyOrderWithNullFirstAndEqualKeysTogether) {
  struct Case {
    std::initializer_list<std::string> levels;
    const char* tree;
  } const cases[] = {
      {{}, "0 1 2 3 4 5"},
      {{"CAT"}, "~:2(2) 'a':1(1 4) 'b':0(0 3 5)"},
      {{"-CAT"}, "'b':0(0 3 5) 'a':1(1 4) ~:2(2)"},
      {{"CAT", "-SUB"}, "~:2('x':2(2)) 'a':1('y':1(1) 'x':4(4)) 'b':0('y':3(3) 'x':0(0 5))"},
      {{"-CAT", "SUB"}, "'b':0('x':0(0 5) 'y':3(3)) 'a':1('x':4(4) 'y':1(1)) ~:2('x':2(2))"},
  };
  AddRows(kRows);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tree);
    Group(c.levels);
    EXPECT_EQ(Tree(), c.tree);
    tree->Rebuild();  // the group rows kept from before change nothing
    EXPECT_EQ(Tree(), c.tree);
  }
  // The sort order of an active level resorts its groups, and later filing follows it.
  Group({"CAT", "SUB"});
  groups->GetActiveGroupLevel(1)->SetSortOrder(soDescEh);
  EXPECT_EQ(Tree(), "~:2('x':2(2)) 'a':1('y':1(1) 'x':4(4)) 'b':0('y':3(3) 'x':0(0 5))");
  groups->GetActiveGroupLevel(0)->SetSortOrder(soDescEh);
  EXPECT_EQ(Tree(), "'b':0('y':3(3) 'x':0(0 5)) 'a':1('y':1(1) 'x':4(4)) ~:2('x':2(2))");
  EditRecord(2, "CAT", "ab");
  EditRecord(3, "SUB", "w");
  EXPECT_EQ(Tree(), "'b':0('x':0(0 5) 'w':3(3)) 'ab':2('x':2(2)) 'a':1('y':1(1) 'x':4(4))");
  // Mixed keys: texts after numbers whatever they read as; "10" < "9" as texts, 9 < 10 as numbers.
  const std::vector<Variant> keys = {10, "10", 9, "9", 10, Null(), "9", 9.5};
  AddRows({{"", ""}, {"", ""}});
  Group({"CAT"});
  groups->GetActiveGroupLevel(0)->OnGetKeyValue = [&](TGridDataGroupLevelEh*, Variant& Key) {
    Key = keys[static_cast<size_t>(groups->DataIntf()->GetRowIndex())];
  };
  tree->Rebuild();
  EXPECT_EQ(Tree(), "~:5(5) 9:2(2) 9.5:7(7) 10:0(0 4) '10':1(1) '9':3(3 6)");
  EXPECT_LT(CompareGroupKeysEh(VarArrayOf({1, "a"}), VarArrayOf({1, "b"})), 0);
  EXPECT_GT(CompareGroupKeysEh(VarArrayOf({2}), VarArrayOf({1, "b"})), 0);
}

TEST_F(GroupingTree, FlatListSkipsCollapsedRowsRootFootersAndHiddenFootersAndCountsTheRootExpanded) {
  AddRows(kRows);
  groups->SetDefaultStateExpanded(true);
  Group({"CAT", "SUB"}, true);
  TGridDataGroupLevelEh* sub = groups->GetActiveGroupLevel(1);
  struct Case {
    const char* id;
    std::function<void()> step;
    const char* flat;
  } const cases[] = {
      // clang-format off
      {"expanded", nullptr, "~ 'x' 2 F F 'a' 'x' 4 F 'y' 1 F F 'b' 'x' 0 5 F 'y' 3 F F"},
      {"a collapsed", [&] { GroupRow("a")->SetExpanded(false); }, "~ 'x' 2 F F 'a' 'b' 'x' 0 5 F 'y' 3 F F"},
      {"level 2 collapsed", [&] { sub->CollapseNodes(); }, "~ 'x' F 'a' 'b' 'x' 'y' F"},
      {"root collapsed", [&] { tree->GetRoot()->SetExpanded(false); }, "~ 'x' F 'a' 'b' 'x' 'y' F"},
      {"all expanded", [&] { sub->ExpandNodes(), GroupRow("a")->SetExpanded(true); },
       "~ 'x' 2 F F 'a' 'x' 4 F 'y' 1 F F 'b' 'x' 0 5 F 'y' 3 F F"},
      {"footer in group row", [&] { groups->GroupRowDefValues()->SetFooterInGroupRow(true); },
       "~ 'x' 2 'a' 'x' 4 'y' 1 'b' 'x' 0 5 'y' 3"},
      {"footer hidden", [&] { groups->GroupRowDefValues()->SetFooterInGroupRow(false), groups->Footers()->Items(0)->SetVisible(false); },
       "~ 'x' 2 'a' 'x' 4 'y' 1 'b' 'x' 0 5 'y' 3"},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const int updates = grid->RowCountUpdates;
    if (c.step) c.step();
    EXPECT_EQ(Flat(), c.flat);
    EXPECT_EQ(grid->RowCountUpdates > updates, c.step != nullptr);
  }
  groups->GroupRowDefValues()->SetFooterInGroupRow(true);
  groups->Footers()->Items(0)->SetVisible(true);
  GroupRow("b")->SetExpanded(false);
  EXPECT_EQ(tree->FlatIndexOfRecord(2), 2);
  EXPECT_EQ(tree->FlatIndexOfRecord(0), -1);
  EXPECT_FALSE(tree->IsNodeVisible(tree->FindRecordNode(0)));
  EXPECT_TRUE(tree->IsNodeVisible(tree->FindRecordNode(4)));
  EXPECT_EQ(tree->IndexOfFlatNode(GroupRow("b")), tree->GetFlatCount() - 1);
}

TEST_F(GroupingTree, SingleEditsFollowTheDataSetsNotices) {
  auto insertIn = [&](const char* Group) {  // writes the group's keys (not SUB) into the new record
    GroupRow(Group)->InsertRecordInGroup();
    ASSERT_EQ(dataSet->State(), dsInsert);
    EXPECT_EQ(dataSet->FieldByName("CAT")->AsString(), Group);
    EXPECT_TRUE(dataSet->FieldByName("SUB")->IsNull());
    EXPECT_TRUE(groups->NewRecordKeyValues().IsEmpty());
    dataSet->FieldByName("ID")->SetAsInteger(++lastId);
    dataSet->Post();
  };
  struct Case {
    const char* id;
    std::initializer_list<std::string> levels;
    std::function<void()> edit;
    const char* tree;
  } const cases[] = {
      // clang-format off
      // the rows of a group keep record order: a moved or inserted record goes in its place
      {"move to a group", {"CAT"}, [&] { EditRecord(0, "CAT", "a"); }, "~:2(2 F) 'a':0(0 1 4 F) 'b':3(3 5 F) F"},
      {"move to a new group", {"CAT"}, [&] { EditRecord(2, "CAT", "c"); }, "'a':1(1 4 F) 'b':0(0 3 5 F) 'c':2(2 F) F"},
      {"other field", {"CAT"}, [&] { EditRecord(3, "SUB", "z"); }, "~:2(2 F) 'a':1(1 4 F) 'b':0(0 3 5 F) F"},
      {"insert", {"CAT"}, [&] { EditRecord(1, "CAT", "b", true); }, "~:3(3 F) 'a':2(2 5 F) 'b':0(0 1 4 6 F) F"},
      {"insert in group a: after its last", {"CAT"}, [&] { insertIn("a"); }, "~:2(2 F) 'a':1(1 4 5 F) 'b':0(0 3 6 F) F"},
      {"insert in group b: appended", {"CAT"}, [&] { insertIn("b"); }, "~:2(2 F) 'a':1(1 4 F) 'b':0(0 3 5 6 F) F"},
      {"append", {"CAT"}, [&] { AddRows({{Null(), "x"}}); }, "~:2(2 6 F) 'a':1(1 4 F) 'b':0(0 3 5 F) F"},
      // the group row that named the deleted record names its first remaining one
      {"delete a group's first", {"CAT"}, [&] { dataSet->SetRecNo(1), dataSet->Delete(); }, "~:1(1 F) 'a':0(0 3 F) 'b':2(2 4 F) F"},
      {"delete a group's only", {"CAT", "SUB"}, [&] { dataSet->SetRecNo(3), dataSet->Delete(); },
       "'a':1('x':3(3 F) 'y':1(1 F) F) 'b':0('x':0(0 4 F) 'y':2(2 F) F) F"},
      {"move empties a subgroup", {"CAT", "SUB"}, [&] { EditRecord(1, "CAT", "b"); },
       "~:2('x':2(2 F) F) 'a':4('x':4(4 F) F) 'b':0('x':0(0 5 F) 'y':1(1 3 F) F) F"},
      {"change of a record without a row", {"CAT"}, [&] { tree->ClearDataNodes(), tree->DataRecordChanged(3); },
       "~:2(2 F) 'a':1(1 4 F) 'b':0(0 3 5 F) F"},
      {"empty group rows up to the root", {"CAT", "SUB"}, [&] { tree->ClearDataNodes(), tree->DeleteEmptyGroupNodes(); },
       "F"},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    groups->SetActive(false), dataSet->EmptyDataSet(), lastId = 0;
    AddRows(kRows);
    Group(c.levels, true);
    c.edit();
    EXPECT_EQ(Tree(), c.tree);
  }
  tree->Rebuild();
  grid->InvalidatedRows.clear();
  EditRecord(4, "ID", 99);  // no key changed: only its row is repainted
  ASSERT_EQ(grid->InvalidatedRows.size(), 1u);
  EXPECT_EQ(grid->InvalidatedRows[0], tree->FindRecordNode(4));
}

// A data row keeps no keys of its own: those it answers, read off its group rows, are the ones
// its record gives.
TEST_F(GroupingTree, DataRowKeysAreTheRecordsKeys) {
  AddRows(kRows);
  const std::initializer_list<std::string> levelSets[] = {
      {}, {"CAT"}, {"-CAT"}, {"CAT", "-SUB"}, {"-SUB", "CAT"}};
  for (const auto& levels : levelSets) {
    Group(levels, true);
    for (int r = 0; r < static_cast<int>(kRows.size()); ++r) {
      SCOPED_TRACE(std::to_string(levels.size()) + " levels, record " + std::to_string(r));
      const Variant kept = tree->FindRecordNode(r)->GetKeyValues();
      const Variant read = groups->GetGroupKeyValues(r);
      ASSERT_TRUE(kept.IsArray());
      EXPECT_EQ(kept.HighBound(), static_cast<int>(levels.size()));
      EXPECT_EQ(CompareGroupKeysEh(kept, read), 0) << VarToStr(kept.GetElement(0));
    }
    EXPECT_TRUE(tree->GetRoot()->GetKeyValues().IsEmpty());
    EXPECT_TRUE(tree->GetRoot()->GetFooterNode(0)->GetKeyValues().IsEmpty());
  }
  Group({"CAT"});
  EXPECT_EQ(GroupRow("b")->DisplayValue.str(), "b");
  EXPECT_TRUE(GroupRow(Null())->DisplayValue.empty());
  EXPECT_TRUE(tree->FindRecordNode(0)->DisplayValue.empty());
}

// A changed record is filed again only when one of its keys compares otherwise than its group
// row's: an equal key of another type keeps the row where it is and only repaints it.
TEST_F(GroupingTree, AChangedRecordMovesOnlyWhenAKeyComparesOtherwise) {
  AddRows({{"", ""}, {"", ""}, {"", ""}});
  std::vector<Variant> keys = {9, "10", Null()};
  Group({"CAT"});
  groups->GetActiveGroupLevel(0)->OnGetKeyValue = [&](TGridDataGroupLevelEh*, Variant& Key) {
    Key = keys[static_cast<size_t>(groups->DataIntf()->GetRowIndex())];
  };
  tree->Rebuild();
  struct Case {
    int record;
    Variant key;
    bool moves;
    const char* tree;
  } const cases[] = {
      {0, 9.0, false, "~:2(2) 9:0(0) '10':1(1)"},
      {2, Variant(), false, "~:2(2) 9:0(0) '10':1(1)"},  // Empty reads as Null
      {1, 10, true, "~:2(2) 9:0(0) 10:1(1)"},
      {0, "9", true, "~:2(2) 10:1(1) '9':0(0)"},
      {2, 10, true, "10:1(1 2) '9':0(0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tree);
    keys[static_cast<size_t>(c.record)] = c.key;
    grid->InvalidatedRows.clear();
    const int updates = grid->RowCountUpdates;
    tree->DataRecordChanged(c.record);
    EXPECT_EQ(grid->RowCountUpdates > updates, c.moves);
    EXPECT_EQ(grid->InvalidatedRows.size(), c.moves ? 0u : 1u);
    EXPECT_EQ(Tree(), c.tree);
  }
  // Told to move a row, the tree files it under its record's keys as they are now.
  keys[1] = Null();
  tree->MoveRecordNode(tree->FindRecordNode(1));
  EXPECT_EQ(Tree(), "~:1(1) 10:2(2) '9':0(0)");
}

TEST_F(GroupingTree, WalksAndLookupsStayLinearOnALargeGroup) {
  constexpr int kCount = 100000;
  for (int i = 0; i < kCount; ++i) dataSet->AppendRecord({i, i % 7 == 3 ? "b" : "a", ""});
  groups->SetDefaultStateExpanded(true);
  Group({"CAT"}, true);
  const int bCount = kCount / 7 + (kCount % 7 > 3 ? 1 : 0);
  ASSERT_EQ(tree->GetFlatCount(), kCount + 2 + 2);  // two group rows, their footers
  int visible = 0, all = 0;
  for (TBaseTreeNodeEh* n = tree->GetFirstVisible(); n != nullptr; n = tree->GetNextVisible(n)) ++visible;
  for (TBaseTreeNodeEh* n = tree->GetFirst(); n != nullptr; n = tree->GetNext(n)) ++all;
  EXPECT_EQ(visible, kCount + 5);  // with the grand total
  EXPECT_EQ(all, kCount + 5);
  TGroupDataTreeNodeEh* b = GroupRow("b");
  EXPECT_EQ(b->GetRowsCount(), bCount);
  EXPECT_EQ(tree->IndexOfFlatNode(b), kCount - bCount + 2);
  int misplaced = 0;
  for (int r = 0; r < kCount; ++r) misplaced += tree->GetFlatNode(tree->FlatIndexOfRecord(r))->RecNo != r;
  EXPECT_EQ(misplaced, 0);
  dataSet->SetRecNo(kCount / 2), dataSet->Delete();
  EXPECT_EQ(tree->GetFlatCount(), kCount + 3);
  tree->CheckConsistency();
  EXPECT_EQ(tree->FlatIndexOfRecord(kCount - 2), tree->IndexOfFlatNode(b) - 2);  // before a's footer
}

// A group row that collapses or expands splices its own rows out of or into the flat list; the
// list must equal a fresh walk after every toggle, across the list's blocks, with footers in
// and out of group rows, and after a change the list did not hear of.
TEST_F(GroupingTree, TogglesSpliceTheFlatListAsAFreshWalkWouldListIt) {
  constexpr int kCount = 3000;
  for (int i = 0; i < kCount; ++i)
    dataSet->AppendRecord({i, std::string(1, static_cast<char>('a' + i % 5)), std::to_string(i % 7)});
  groups->SetDefaultStateExpanded(true);
  Group({"CAT", "SUB"}, true);
  const int expanded = tree->GetFlatCount();
  ASSERT_EQ(expanded, kCount + 2 * (5 + 35));  // each group row and its footer
  auto sub = [&](const char* Cat, const char* Sub) {
    TGroupDataTreeNodeEh* cat = GroupRow(Cat);
    for (int i = 0; i < cat->GetRowsCount(); ++i)
      if (VarToStr(cat->GetItem(i)->KeyValue) == Sub) return cat->GetItem(i);
    return static_cast<TGroupDataTreeNodeEh*>(nullptr);
  };
  struct Case {
    const char* id;
    std::function<void()> step;
    int rows;  // the flat list's length after the step
  } const cases[] = {
      {"item of a middle group collapsed", [&] { sub("c", "3")->SetExpanded(false); }, expanded - 86 - 1},
      {"its group collapsed", [&] { GroupRow("c")->SetExpanded(false); }, expanded - 600 - 14 - 1},
      {"its group expanded, the item stays collapsed", [&] { GroupRow("c")->SetExpanded(true); },
       expanded - 86 - 1},
      {"the item expanded", [&] { sub("c", "3")->SetExpanded(true); }, expanded},
      {"the first group collapsed", [&] { GroupRow("a")->SetExpanded(false); }, expanded - 615},
      {"the last group collapsed", [&] { GroupRow("e")->SetExpanded(false); }, expanded - 2 * 615},
      {"a data row's flag set",
       [&] { tree->FindRecordNode(2)->SetExpanded(!tree->FindRecordNode(2)->Expanded()); },
       expanded - 2 * 615},
      {"both expanded", [&] { GroupRow("a")->SetExpanded(true), GroupRow("e")->SetExpanded(true); },
       expanded},
      {"footers in group rows, an item collapsed",
       [&] { groups->GroupRowDefValues()->SetFooterInGroupRow(true), sub("b", "0")->SetExpanded(false); },
       kCount + 40 - 86},
      {"and expanded", [&] { sub("b", "0")->SetExpanded(true); }, kCount + 40},
      {"a record hidden behind the list's back, its group collapsed",
       [&] { tree->FindRecordNode(7)->SetVisible(false), sub("c", "0")->SetExpanded(false); },
       kCount + 40 - 86},
      {"and expanded", [&] { sub("c", "0")->SetExpanded(true); }, kCount + 40 - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const int updates = grid->RowCountUpdates;
    c.step();
    EXPECT_NO_THROW(tree->CheckConsistency());  // the list against a fresh walk
    EXPECT_EQ(tree->GetFlatCount(), c.rows);
    EXPECT_GT(grid->RowCountUpdates, updates);
  }
}

// Row heights come from the host with the record read; a raising key event or host closes the
// reading and the tree update.
TEST_F(GroupingTree, RowHeightsAndRaisingKeyEventOrHost) {
  AddRows(kRows);
  Group({"CAT"}, true);
  IMemTableEh* intf = groups->DataIntf();
  const int current = intf->GetCurrentRecordIndex();
  int raiseAt = 3;
  groups->GetActiveGroupLevel(0)->OnGetKeyValue = [&](TGridDataGroupLevelEh*, Variant& Key) {
    if (intf->GetRowIndex() == raiseAt) throw Exception("key");
    Key = dataSet->FieldByName("CAT")->AsVariant();
  };
  struct Case {
    const char* id;
    std::function<void()> call;
  } const cases[] = {
      {"rebuild", [&] { tree->Rebuild(); }},
      {"changed", [&] { tree->DataRecordChanged(3); }},
      {"row height",
       [&] {
         grid->RaiseHeight = true;
         tree->FindRecordNode(3)->GetRowHeight();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_THROW(c.call(), Exception);
    EXPECT_EQ(intf->GetRowIndex(), current);
    EXPECT_EQ(tree->UpdateCount(), 0);
    raiseAt = -1;
    tree->Rebuild();
    raiseAt = 3;
  }
  grid->RaiseHeight = false;
  TGroupDataTreeNodeEh* a = GroupRow("a");
  EXPECT_EQ(tree->FindRecordNode(3)->GetRowHeight(), 18);
  EXPECT_EQ(grid->ReadRecord, 3);
  EXPECT_EQ(a->GetRowHeight() + a->GetFooterNode(0)->GetRowHeight(), 44);
  EXPECT_TRUE(a->IsInLastLevel() && a->GetFooterNode(0)->IsInLastLevel());
  EXPECT_TRUE(tree->FindRecordNode(4)->IsLastDataNode() && !tree->FindRecordNode(1)->IsLastDataNode());
  {
    TGridDataGroupsEh hostless(grid, nullptr);
    hostless.GroupDataTree()->Rebuild();
    EXPECT_EQ(hostless.GroupDataTree()->FindRecordNode(5)->GetRowHeight(), grid->DefaultRowHeight());
  }
  a->SetExpanded(true);  // the flat list follows again
  EXPECT_EQ(Flat(), "~ 'a' 1 4 F 'b'");
  // Freed with delete (not Free), the data set still lets its receivers go while it is whole.
  delete dataSet;
  EXPECT_EQ(grid->DataIntf(), nullptr);
  EXPECT_EQ(tree->GetFlatCount(), 0);
}

}  // namespace
