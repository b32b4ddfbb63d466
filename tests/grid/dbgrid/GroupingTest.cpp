// Grouping over an in-memory table: the current node and the current record following each
// other, grouped moves with their ends, the group-row and group-footer keys, inserting into groups.
#include <functional>
#include <vector>

#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/rtl/Clock.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/support/CellListPick.h"

namespace dbgrid_grouping_test {

class TGroupingGridEh : public TDBGridEh {
 public:
  using TDBGridEh::groupedBOF_;
  using TDBGridEh::groupedEOF_;
  using TDBGridEh::TDBGridEh;
  // Counts the passes that measure every data row: each costs a call per record.
  void UpdateDataRowHeights() override {
    ++dataRowPasses;
    TDBGridEh::UpdateDataRowHeights();
  }
  int dataRowPasses = 0;
};

// What the first frame rests on: the grid's rows with their heights, the top row and the
// current row.
std::string RowsLaidOut(TDBGridEh* Grid) {
  std::string out = "rows " + std::to_string(Grid->RowCount()) + "+" +
                    std::to_string(Grid->ContraRowCount()) + " top " + std::to_string(Grid->TopRow()) +
                    " row " + std::to_string(Grid->Row()) + " heights";
  for (int r = 0; r < Grid->GetFullRowCount(); ++r) out += " " + std::to_string(Grid->RowHeights(r));
  return out;
}

// Records 0..4 (ACCOUNT, KIND, AMOUNT): A x 1, B y 2, A y 3, B x 4, A x 5, grouped by ACCOUNT and
// KIND, all open. Flat rows: 0 A, 1 A/x, 2 #0, 3 #4, 4 A/y, 5 #2, 6 B, 7 B/x, 8 #3, 9 B/y, 10 #1.
class Grouping : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return grid_ = new TGroupingGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    table = new TMemoryDataSetEh(form);
    for (const char* name : {"ACCOUNT", "KIND"}) table->FieldDefs()->Add(name, ftString, 10);
    table->FieldDefs()->Add("AMOUNT", ftInteger);
    table->CreateDataSet();
    table->LoadFromRows({{"A", "x", 1}, {"B", "y", 2}, {"A", "y", 3}, {"B", "x", 4}, {"A", "x", 5}});
    table->First();
    AddColumns({"ACCOUNT", "KIND", "AMOUNT"});
    source->SetDataSet(table);
    grouping = grid->DataGrouping();
    grouping->SetDefaultStateExpanded(true);
    for (int i : {0, 1}) grouping->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(i));
    grouping->SetActive(true);
    Pump();
  }
  TGridGroupDataTreeEh* Tree() { return grouping->GroupDataTree(); }
  TGroupDataTreeNodeEh* Flat(int Index) { return Tree()->GetFlatNode(Index); }
  int CurrentFlat() { return Tree()->IndexOfFlatNode(grid->CurrentNode()); }
  // A key on flat row From, through the grid's key handling.
  void Key(int From, WORD Key, TShiftState Shift = {}) {
    grid->SetCurrentNode(Flat(From), true);
    grid->KeyDown(Key, Shift);
  }
  std::string Inserted() {
    return table->State() != dsInsert
               ? ""
               : table->FieldByName("ACCOUNT")->AsString() + table->FieldByName("KIND")->AsString();
  }

  TGroupingGridEh* grid_ = nullptr;
  TMemoryDataSetEh* table = nullptr;
  TDBGridEhDataGroupsEh* grouping = nullptr;
};

TEST_F(Grouping, TheCurrentNodeAndTheCurrentRecordFollowEachOther) {
  ASSERT_EQ(std::tuple(grid->IsGroupingWorking(), Tree()->GetFlatCount(), CurrentFlat()),
            std::tuple(true, 11, 2));
  // Grid to data set: a group row stands for its first record.
  for (auto [flat, recNo] : {std::pair(0, 1), {4, 3}, {8, 4}, {9, 2}, {3, 5}}) {
    grid->SetCurrentNode(Flat(flat), true);
    EXPECT_EQ(std::tuple(table->RecNo(), grid->Row(), grouping->GetCurrentNode()),
              std::tuple(recNo, flat + grid->TopDataOffset(), Flat(flat)));
  }
  // Data set to grid: the record's row, or its visible group while the group is closed.
  Flat(6)->SetExpanded(false);  // B
  for (auto [recNo, flat] : {std::pair(3, 5), {4, 6}, {2, 6}, {5, 3}}) {
    table->SetRecNo(recNo);
    EXPECT_EQ(std::pair(CurrentFlat(), grid->Row()), std::pair(flat, flat + grid->TopDataOffset())) << recNo;
  }
  // The grid's key handling hands a group row's keys over.
  grid->SetFocus();
  grid->SetCurrentNode(Flat(0), true);
  Input::KeyDown(VK_SUBTRACT);
  Input::KeyUp(VK_SUBTRACT);
  Pump();
  EXPECT_EQ(std::pair(Flat(0)->Expanded(), CurrentFlat()), std::pair(false, 0));
  Flat(0)->SetExpanded(true);
  grid->GotoRecordNode(3, true);  // opens the closed group on the way
  EXPECT_EQ(std::tuple(Flat(6)->Expanded(), grid->CurrentNode(), table->RecNo()),
            std::tuple(true, Tree()->FindRecordNode(3), 4));
  grid->SelectVisibleNode(nullptr, false);
  EXPECT_EQ(grid->CurrentNode(), nullptr);
}

// A group that collapses or expands splices its rows' heights out of or into the grid's; every
// row must then have the height a full measuring gives it. The second level's rows, which the
// toggles take out and put back, are taller than the others, so the grid keeps a height per row.
TEST_F(Grouping, AToggledGroupLeavesEveryRowTheHeightAFullMeasureGives) {
  grouping->GetActiveGroupLevel(1)->Font()->SetSize(20);
  grid->UpdateAllRowHeights();
  auto heights = [&] {
    std::vector<int> h;
    for (int r = 0; r < grid->GetFullRowCount(); ++r) h.push_back(grid->RowHeights(r));
    return h;
  };
  ASSERT_NE(grid->RowHeights(grid->TopDataOffset() + 1), grid->RowHeights(grid->TopDataOffset() + 2));
  struct Case {
    const char* id;
    int flat;       // the row toggled
    int rowsAfter;  // the flat list's length after
  } const cases[] = {
      {"A/x collapsed", 1, 9},  {"A collapsed", 0, 6},   {"A expanded", 0, 9},  {"A/x expanded", 1, 11},
      {"B/y collapsed", 9, 10}, {"B collapsed", 6, 7},   {"B expanded", 6, 10}, {"B/y expanded", 9, 11},
      {"A/y collapsed", 4, 10}, {"A/y expanded", 4, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Flat(c.flat)->SetExpanded(!Flat(c.flat)->Expanded());
    EXPECT_EQ(Tree()->GetFlatCount(), c.rowsAfter);
    EXPECT_EQ(grid->RowCount(), grid->TopDataOffset() + c.rowsAfter);
    const std::vector<int> spliced = heights();
    static_cast<IGridDataGroupsHostEh*>(grid)->UpdateRowCountForGrouping();  // every row measured
    EXPECT_EQ(spliced, heights());
  }
}

TEST_F(Grouping, GroupedMovesStopAtTheirEndsPostTheEditAndAppendIntoTheGroup) {
  // clang-format off
  struct { int from, distance, moved, to; bool bof, eof; int recNo; } cases[] = {
    {1, -1, -1, 0, false, false, 1}, {0, -1, 0, 0, true, false, 1}, {2, -5, -2, 0, true, false, 1},
    {10, 1, 0, 10, false, true, 2}, {5, 20, 5, 10, false, true, 2}, {0, 6, 6, 6, false, false, 4}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " by " << c.distance);
    grid->SetCurrentNode(Flat(c.from), true);
    grid_->groupedBOF_ = grid_->groupedEOF_ = false;
    EXPECT_EQ(grid->GroupedMoveBy(c.distance, false), c.moved);
    EXPECT_EQ(std::tuple(CurrentFlat(), grid_->groupedBOF_, grid_->groupedEOF_, table->RecNo()),
              std::tuple(c.to, c.bof, c.eof, c.recNo));
  }
  for (bool change : {true, false}) {  // posted when changed, else cancelled
    grid->SetCurrentNode(Flat(2), true);
    table->Edit();
    if (change) table->FieldByName("AMOUNT")->SetAsInteger(70);
    grid->GroupedMoveBy(1, false);
    EXPECT_EQ(std::tuple(table->State(), CurrentFlat(), table->Lookup("AMOUNT", 70, "KIND")),
              std::tuple(dsBrowse, 3, Variant("x")));
  }
  // Down on the last record starts a record of its group; cancelled, the grid follows the record
  // the data set lands on (#2).
  grid->SetCurrentNode(Flat(10), true);
  EXPECT_EQ(grid->GroupedMoveBy(1, true), 0);
  EXPECT_EQ(std::pair(table->RecNo(), Inserted()), std::pair(3, std::string("By")));
  grid->CancelEdit();
  EXPECT_EQ(std::tuple(table->State(), table->RecordCount(), CurrentFlat()), std::tuple(dsBrowse, 5, 5));
  grid->SetCurrentNode(Flat(10), true);
  grid->GroupedMoveBy(1, true);
  table->Post();
  EXPECT_EQ(Tree()->FindRecordNode(2)->GetParent(), Flat(9));
}

TEST_F(Grouping, GroupRowAndFooterKeys) {
  for (int i : {0, 1}) grid->Columns()->GetColumn(i)->SetWidth(400);
  const TShiftState ctrl{ssCtrl}, shift{ssShift};
  // clang-format off
  struct { const char* id; int from; WORD key; TShiftState shift; int to, flatCount, leftColMoved, column; } cases[] = {
    {"Down", 0, VK_DOWN, {}, 1, 11, 0, 1}, {"Up", 4, VK_UP, {}, 3, 11, 0, 1}, {"Left closes", 1, VK_LEFT, {}, 1, 9, 0, 1},
    {"Left on a closed group scrolls", 1, VK_LEFT, {}, 1, 9, -1, 1}, {"Right opens", 1, VK_RIGHT, {}, 1, 11, 0, 1},
    {"Right on an open group scrolls", 1, VK_RIGHT, {}, 1, 11, 1, 1}, {"numeric minus", 0, VK_SUBTRACT, {}, 0, 6, 0, 1},
    {"numeric plus", 0, VK_ADD, {}, 0, 11, 0, 1}, {"numeric star", 6, VK_MULTIPLY, {}, 6, 7, 0, 1},
    {"Ctrl minus closes the level", 4, VK_SUBTRACT, ctrl, 2, 6, 0, 1},
    {"Ctrl plus opens the level, not the parent", 1, VK_ADD, ctrl, 1, 7, 0, 1},
    {"Ctrl star on an open group closes the level", 0, VK_MULTIPLY, ctrl, 0, 2, 0, 1},
    {"Tab onto a record: first column", 4, VK_TAB, {}, 5, 11, -1, 0}, {"Tab onto a group row", 0, VK_TAB, {}, 1, 11, 0, 1},
    {"Shift+Tab onto a record: last column", 4, VK_TAB, shift, 3, 11, 1, 2},
    // Keys a group row does not list do nothing there, not what they do on a record row.
    {"Home", 6, VK_HOME, {}, 6, 11, 0, 1}, {"End", 0, VK_END, {}, 0, 11, 0, 1}, {"Ctrl+Home", 6, VK_HOME, ctrl, 6, 11, 0, 1},
    {"Ctrl+End", 0, VK_END, ctrl, 0, 11, 0, 1}, {"main keyboard minus", 0, VK_OEM_MINUS, {}, 0, 11, 0, 1},
    {"main keyboard plus", 1, VK_OEM_PLUS, shift, 1, 9, 0, 1}, {"Alt+Down", 0, VK_DOWN, {ssAlt}, 0, 11, 0, 1}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    for (int depth : {1, 2}) Tree()->SetLevelExpanded(depth, true);
    const std::string id = c.id;
    if (id == "Right opens" || id.starts_with("Left on") || id == "main keyboard plus")
      Flat(1)->SetExpanded(false);
    if (id.starts_with("Ctrl plus")) {
      Tree()->SetLevelExpanded(2, false);
      Flat(3)->SetExpanded(false);  // B, after A's two closed groups
    }
    grid->SetCurrentNode(Flat(c.from), true);
    grid->SetSelectedIndex(1);
    const int left = grid->LeftCol();
    Key(c.from, c.key, c.shift);
    EXPECT_EQ(
        std::tuple(CurrentFlat(), Tree()->GetFlatCount(), grid->LeftCol() - left, grid->SelectedIndex()),
        std::tuple(c.to, c.flatCount, c.leftColMoved, c.column));
  }
  grouping->Footers()->Add()->SetVisible(true);  // flat row 4: A/x's footer
  // clang-format off
  struct { const char* id; int fromColumn; WORD key; TShiftState shift; int column, flat; } footerCases[] = {
    {"Tab", 0, VK_TAB, {}, 1, 4}, {"Tab at the last column", 2, VK_TAB, {}, 0, 5}, {"Shift+Tab", 1, VK_TAB, shift, 0, 4},
    {"Shift+Tab at the first", 0, VK_TAB, shift, 2, 3}, {"Home", 2, VK_HOME, {}, 0, 4}, {"End", 0, VK_END, {}, 2, 4},
    {"Right", 0, VK_RIGHT, {}, 1, 4}, {"Left", 1, VK_LEFT, {}, 0, 4}, {"Down", 1, VK_DOWN, {}, 1, 5},
    {"Ctrl+Right", 0, VK_RIGHT, ctrl, 0, 4}};
  // clang-format on
  for (const auto& c : footerCases) {
    SCOPED_TRACE(c.id);
    grid->SetSelectedIndex(c.fromColumn);
    Key(4, c.key, c.shift);
    EXPECT_EQ(std::pair(grid->SelectedIndex(), CurrentFlat()), std::pair(c.column, c.flat));
  }
  // Insert adds to a group of the last level only: from level-1 rows nothing.
  for (auto [from, inserted] : {std::pair(0, ""), {4, "Ax"}, {7, "Ay"}, {8, ""}}) {
    Key(from, VK_INSERT);
    EXPECT_EQ(Inserted(), inserted) << from;
    if (table->State() == dsInsert) grid->CancelEdit();
  }
}

TEST_F(Grouping, LevelsAskTheColumnThenTheLevelAndNeedTheTablesInterface) {
  auto* level = static_cast<TDBGridEhDataGroupLevelEh*>(grouping->GroupLevels()->Items(0));
  TColumnEh* account = grid->Columns()->GetColumn(0);
  account->OnGroupGetKeyValue = [](TCustomDBGridEh*, TColumnEh*, Variant& key) { key = VarToStr(key) + "1"; };
  level->OnGetKeyValue = [](TCustomDBGridEh*, TDBGridEhDataGroupLevelEh*, Variant& key) {
    key = VarToStr(key) + "2";
  };
  account->OnGroupGetKeyValueAsText = [&](TCustomDBGridEh*, TGroupDataTreeNodeEh* node, const Variant&,
                                          std::string& text) { text += "/" + VarToStr(node->KeyValue); };
  EXPECT_EQ(
      std::tuple(VarToStr(level->GetKeyValue()), level->GetKeyValueAsText("A"),
                 grouping->GetLevelDefaultColor(), grouping->GetLevelDefaultFont()),
      std::tuple(std::string("A12"), std::string("A/A"), grid->FooterParams()->Color(), grid->FooterFont()));
  level->SetColumnName("NOSUCH");
  EXPECT_EQ(level->ColumnName(), "NOSUCH");
  grouping->ColumnRemoved(grid->Columns()->GetColumn(1));
  EXPECT_EQ(
      std::tuple(level->Column(), grouping->GroupLevels()->Items(1)->Column(), grid->IsGroupingWorking()),
      std::tuple(nullptr, nullptr, false));
  grouping->GroupLevels()->Items(1)->SetColumn(account);
  EXPECT_TRUE(grid->IsGroupingWorking());
  source->SetDataSet(dataSet);  // no interface: no grouping
  EXPECT_EQ(std::pair(grouping->IsGroupingActive(), grid->IsGroupingWorking()), std::pair(false, false));
}

// A group row shows its key as the level's column shows it: a key list's codes as their pick
// list texts, named when the group is made, again when the tree is read afresh, and for a group a
// changed record opens; the column's event then finds the group row that holds the record.
TEST_F(Grouping, GroupRowsShowTheirKeysAsTheirColumnsShowThem) {
  TColumnEh* kind = grid->Columns()->GetColumn(1);
  kind->OnGroupGetKeyValueAsText = [](TCustomDBGridEh*, TGroupDataTreeNodeEh* node, const Variant& key,
                                      std::string& text) {
    if (!node || node->KeyValue != key) text += "?";
  };
  const auto rows = [&] {
    std::string text;
    for (int i = 0; i < Tree()->GetFlatCount(); ++i)
      if (Flat(i)->NodeType == dntDataGroupEh) {
        std::string row;
        static_cast<TDBGridEhDataGroupLevelEh*>(Flat(i)->DataGroupLevel)->GetGroupRowText(Flat(i), row);
        text += row + "; ";
      }
    return text;
  };
  const std::pair<std::function<void()>, const char*> steps[] = {
      {[&] {
         kind->KeyList()->SetText("x\ny");
         kind->PickList()->SetText("in\nout");
         grouping->SetActive(false), grouping->SetActive(true);
       },
       "ACCOUNT: A (2); KIND: in (2); KIND: out (1); ACCOUNT: B (2); KIND: in (1); KIND: out (1); "},
      {[&] { kind->PickList()->SetText("收入\n支出"), Tree()->Rebuild(); },
       "ACCOUNT: A (2); KIND: 收入 (2); KIND: 支出 (1); ACCOUNT: B (2); KIND: 收入 (1); KIND: 支出 (1); "},
      {[&] {
         table->SetRecNo(2);  // B y 2
         table->Edit(), table->FieldByName("ACCOUNT")->SetAsString("C"), table->Post();
       },
       "ACCOUNT: A (2); KIND: 收入 (2); KIND: 支出 (1); ACCOUNT: B (1); KIND: 收入 (1); ACCOUNT: C (1); "
       "KIND: 支出 (1); "}};
  for (const auto& [step, want] : steps) {
    SCOPED_TRACE(want);
    step();
    Pump();
    EXPECT_EQ(rows(), want);
  }
}

TEST_F(Grouping, ARecordRowEnteredFromAGroupRowTakesTheCursorInAnEditableColumn) {
  // From flat row, to flat row, the read-only column, the selected one, the one selected then.
  for (auto [from, to, readOnly, selected, result] :
       {std::tuple(1, 2, 0, 0, 1), {4, 5, 2, 2, 0}, {1, 2, 0, 1, 1}, {2, 3, 0, 0, 0}}) {
    for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetReadOnly(i == readOnly);
    grid->SetCurrentNode(Flat(from), false);
    grid->SetSelectedIndex(selected);
    grid->SetCurrentNode(Flat(to), true);
    EXPECT_EQ(std::pair(CurrentFlat(), grid->GetSelectedIndex()), std::pair(to, result)) << from << selected;
  }
}

// A pick from a cell's list with the mouse (a press and a release on the entry, through the input
// queue) is taken as a pick by keys: the editor stays open on the new value, and a click on
// another record posts the edit, which moves the record to its new group. Nothing raises,
// grouped or not.
TEST_F(Grouping, APickByMouseIsTakenAsAPickByKeys) {
  TColumnEh* account = grid->Columns()->GetColumn(0);
  for (const char* a : {"A", "B", "C"}) account->PickList()->Add(a);
  const auto click = [this](int Column, int Row) {
    const TRect r = grid->CellRect(grid->IndicatorOffset() + Column, Row);
    const TPoint p = grid->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    WinTesting::Click({p.X, p.Y});
    VirtualClock::Advance(1000);  // no double clicks
    Pump();
  };
  grid->SetFocus();
  for (const bool grouped : {false, true})
    for (const bool mouse : {false, true}) {
      SCOPED_TRACE(testing::Message() << (grouped ? "grouped" : "flat") << (mouse ? " mouse" : " keys"));
      grouping->SetActive(grouped);
      Pump();
      const auto rowOf = [&](int Record) {
        return grid->TopDataOffset() + (grouped ? Tree()->FlatIndexOfRecord(Record) : Record);
      };
      // Record #0 (A x 1) gets account B.
      click(0, rowOf(0));
      click(0, rowOf(0));
      auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
      ASSERT_TRUE(editor && grid->EditorMode() && editor->Text() == "A");
      ASSERT_TRUE(test_support::PickFromCellList(editor, 1, mouse, [this] { Pump(); }));
      EXPECT_EQ(std::tuple(editor->ListVisible(), grid->EditorMode(), editor->Visible(), editor->Text()),
                std::tuple(false, true, true, std::string("B")));
      EXPECT_EQ(std::pair(table->State(), table->FieldByName("ACCOUNT")->AsString()),
                std::pair(dsEdit, std::string("B")));
      click(2, rowOf(1));
      EXPECT_EQ(table->State(), dsBrowse);
      EXPECT_EQ(table->Lookup("AMOUNT", 1, "ACCOUNT"), Variant("B"));
      EXPECT_EQ(table->RecNo(), 2) << "the record clicked";
      EXPECT_EQ(handlerErrors, std::vector<std::string>{});
      if (grouped) {
        EXPECT_EQ(Tree()->FindRecordNode(0)->GetParent()->GetParent()->KeyValue, Variant("B"));
      }
      // Back to A, and on #1 with the editor closed, for the next case.
      table->SetRecNo(1);
      table->Edit();
      table->FieldByName("ACCOUNT")->SetAsString("A");
      table->Post();
      table->SetRecNo(2);
      grid->HideEditor();
      handlerErrors.clear();
    }
}

// Turning grouping on lays the grid out as a full layout afterwards would, in every setting that
// bears on the rows' heights, the rows shown or the current row; the data rows are measured
// twice only: once as the tree is read afresh and once by the last layout.
TEST_F(Grouping, TurningGroupingOnMeasuresTheRowsOnlyTwiceAndAsAFullLayoutWould) {
  std::vector<std::vector<Variant>> rows;
  for (int i = 5; i < 60; ++i)
    rows.push_back({std::string(1, static_cast<char>('A' + i % 6)), i % 4 == 0 ? "x" : "y", i});
  grouping->SetActive(false);
  table->LoadFromRows(rows);
  const int fontSize = grid->Font()->Size();
  TGridDataGroupFooterEh* footer = grouping->Footers()->Add();
  grouping->InitFootersColumnItems();
  footer->ColumnItems()->Items(2)->SetValueType(gfvSumEh);
  footer->SetVisible(false);
  const auto none = [] {};
  struct TCase {
    const char* Name;
    std::function<void()> Set, Reset;
    bool LayoutLocked = false;
  } cases[] = {
      {"default heights", none, none},
      {"heights from a handler",
       [&] {
         grid->OnGetRowHeight = [&](TCustomDBGridEh*, int& Height) {
           Height += table->FieldByName("AMOUNT")->AsInteger() % 3 * 5;
         };
       },
       [&] { grid->OnGetRowHeight = nullptr; }},
      {"rows fitted to their content", [&] { grid->SetOptionsEh(grid->OptionsEh() + dghAutoFitRowHeight); },
       [&] { grid->SetOptionsEh(grid->OptionsEh() - dghAutoFitRowHeight); }},
      {"a larger font", [&] { grid->Font()->SetSize(15); }, [&] { grid->Font()->SetSize(fontSize); }},
      {"group footers with a sum", [&] { footer->SetVisible(true); }, [&] { footer->SetVisible(false); }},
      {"the group panel shown", [&] { grouping->SetGroupPanelVisible(true); },
       [&] { grouping->SetGroupPanelVisible(false); }},
      {"the current record far down", [&] { table->SetRecNo(58); }, [&] { table->First(); }},
      {"inside a layout bracket", none, none, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Set();
    Pump();
    grid_->dataRowPasses = 0;
    if (c.LayoutLocked) grid->BeginLayout();
    grouping->SetActive(true);
    if (c.LayoutLocked) grid->EndLayout();
    const std::string turnedOn = RowsLaidOut(grid);
    EXPECT_EQ(grid_->dataRowPasses, 2);
    grid->UpdateRowCountForGrouping();
    grid->UpdateGroupingLayout();
    EXPECT_EQ(turnedOn, RowsLaidOut(grid));
    EXPECT_EQ(grid->RowCount(), grid->TopDataOffset() + Tree()->GetFlatCount());
    grouping->SetActive(false);
    c.Reset();
  }
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

}  // namespace dbgrid_grouping_test
