#include <gtest/gtest.h>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_mouse_down_test {

// Logs the presses handed to the cell's own handling and to the indicator title's click.
class TPressGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void DrawCell(int, int, const TRect&, TGridDrawState) override {}
  bool ProcessCellMouseDown(int, int, bool DblClick) override {
    log.push_back(DblClick ? "cell double" : "cell");
    return false;
  }
  void OutBoundaryMouseDown(TMouseButton, TShiftState, int, int) override { log.push_back("strip"); }
  void IndicatorTitleClick(TGridCoord, TMouseButton, TShiftState, int X, int Y) override {
    log.push_back("title click " + IntToStr(X) + "," + IntToStr(Y));
  }
  // The tracking state a press leaves for the move and release handlers.
  int PressedTitleCol() const { return titleTracking_ ? pressedTitleCol_ : -1; }
  TShiftState PressShift() const { return mouseDownShift_; }
  std::vector<std::string> log;
};

// Five records; grid column 0 the indicator, 1-4 ID, NAME, AMOUNT, PAID; row 0 the titles.
class DBGridMouseDown : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TPressGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddNumberedRows(5);
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    grid->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
  }
  std::vector<std::string>& Log() { return static_cast<TPressGridEh*>(grid)->log; }
  TPoint Centre(int Col, int Row) {
    const TRect r = grid->CellRect(Col, Row);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  // A press at P and its release; Keys as the message carries them.
  void Press(TPoint P, WPARAM Keys = 0, UINT Msg = WM_LBUTTONDOWN) {
    const bool right = Msg == WM_RBUTTONDOWN;
    grid->Perform(Msg, Keys | (right ? 0 : MK_LBUTTON), MAKELPARAM(P.X, P.Y));
    grid->Perform(right ? WM_RBUTTONUP : WM_LBUTTONUP, Keys, MAKELPARAM(P.X, P.Y));
  }
  // The first record's NAME cell current, nothing selected, edited or logged.
  void Restart() {
    dataSet->Cancel();
    dataSet->First();
    grid->KeyClearSelection();
    grid->HideEditor();
    grid->MoveColRow(2, 1, true, true);
    Log().clear();
    mouseDowns = 0;
  }
  // A handler of the indicator title's press that logs Who and takes the press when Takes.
  auto Taker(const char* Who, bool Takes) {
    return [this, Who, Takes](TCustomDBGridEh*, TGridCoord, TMouseButton, TShiftState, int, int,
                              bool& Processed) {
      Log().push_back(Who);
      Processed = Takes;
    };
  }
  bool EditorShown() { return grid->InplaceEditor() && grid->InplaceEditor()->Visible(); }
  int mouseDowns = 0;
};

TEST_F(DBGridMouseDown, PressMovesAndShowsTheEditorOrStaysOutsideTheCells) {
  // col -1: 3 pixels inside the right edge; row -1: 3 pixels above the bottom edge, -2 below the top.
  // clang-format off
  struct Case {
    const char* id; UINT msg; int col, row; bool always, strip; int recNo, newCol; bool editor;
    std::vector<std::string> log; int downs;
  } cases[] = {
    {"current cell", WM_LBUTTONDOWN, 2, 1, false, false, 1, 2, true, {"cell"}, 1},
    {"other row", WM_LBUTTONDOWN, 2, 3, false, false, 3, 2, false, {"cell"}, 1},
    {"other column", WM_LBUTTONDOWN, 3, 1, false, false, 1, 3, false, {"cell"}, 1},
    {"right press", WM_RBUTTONDOWN, 3, 3, false, false, 3, 3, false, {"cell"}, 1},
    {"below the rows", WM_LBUTTONDOWN, 2, -1, false, false, 1, 2, false, {}, 1},
    {"right of the columns", WM_LBUTTONDOWN, -1, -2, false, false, 1, 2, false, {}, 1},
    {"strip above the cells", WM_LBUTTONDOWN, 2, -2, false, true, 1, 2, false, {"strip"}, 0},
    {"other row, editor always", WM_LBUTTONDOWN, 3, 4, true, true, 4, 3, true, {"cell"}, 1}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (c.always) grid->SetOptions(grid->Options() + dgAlwaysShowEditor);
    grid->OutBoundaryData()->SetTopIndent(c.strip ? 10 : 0);
    Restart();
    grid->SetMouseCapture(true);
    const int x = c.col < 0 ? grid->ClientWidth() - 3 : Centre(c.col, 1).X;
    const TPoint p{x, c.row == -1 ? grid->ClientHeight() - 3 : c.row == -2 ? 3 : Centre(2, c.row).Y};
    Press(p, 0, c.msg);
    TPoint at{};
    int32_t time = 0;
    grid->GetMouseDownInfo(at, time);  // what a hosted editor asks
    EXPECT_EQ(
        std::tuple(at, grid->MouseCapture(), dataSet->RecNo(), grid->Col(), EditorShown(), Log(), mouseDowns),
        std::tuple(grid->ClientToScreen(p), false, c.recNo, c.newCol, c.editor, c.log, c.downs));
  }
}

TEST_F(DBGridMouseDown, SelectionByIndicatorCellAndCheckBox) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  const int glyph = 11;  // the row indicator's part right of the check box
  // fromRight > 0 presses that far left of the cell's right edge.
  // clang-format off
  struct Case {
    const char* id; bool rowSelect, boxes; int col, row, fromRight; WPARAM keys; int recNo, selected;
    TDBGridEhDragStateEh state;
  } cases[] = {
    {"indicator", false, false, 0, 3, 0, 0, 3, 0, dgsRowSelectingEh},
    {"indicator, Ctrl", false, false, 0, 3, 0, MK_CONTROL, 3, 1, dgsRowSelectingEh},
    {"indicator, Shift", false, false, 0, 4, 0, MK_SHIFT, 4, 4, dgsRowSelectingEh},
    {"data cell starts a rectangle", false, false, 2, 3, 0, 0, 3, 0, dgsRectSelectingEh},
    {"row select, Ctrl", true, false, 2, 2, 0, MK_CONTROL, 2, 1, dgsRowSelectingEh},
    {"glyph beside the check box", false, true, 0, 2, 3, 0, 2, 0, dgsRowSelectingEh},
    {"check box", false, true, 0, 2, glyph + 3, 0, 2, 1, dgsNormalEh}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetOptions(c.rowSelect ? grid->Options() + dgRowSelect : grid->Options() - dgRowSelect);
    TDBGridEhIndicatorOptions indicator{gioShowRowIndicatorEh};
    grid->SetIndicatorOptions(c.boxes ? indicator + gioShowRowselCheckboxesEh : indicator);
    Restart();
    TPoint p = Centre(c.col, c.row);
    if (c.fromRight > 0) p.X = grid->CellRect(c.col, c.row).Right - c.fromRight;
    // The state the press leaves; the release returns it to idle.
    grid->Perform(WM_LBUTTONDOWN, c.keys | MK_LBUTTON, MAKELPARAM(p.X, p.Y));
    const TDBGridEhDragStateEh state = grid->DragState();
    grid->Perform(WM_LBUTTONUP, c.keys, MAKELPARAM(p.X, p.Y));
    EXPECT_EQ(std::tuple(dataSet->RecNo(), grid->SelectedRows()->Count(), state, grid->DragState()),
              std::tuple(c.recNo, c.selected, c.state, dgsNormalEh));
  }
  // A second check box adds its row to the first.
  Press(TPoint{grid->CellRect(0, 4).Right - glyph - 3, Centre(0, 4).Y});
  EXPECT_EQ(grid->SelectedRows()->Count(), 2);
  // With records the only selection, Shift on a data cell extends from the current record.
  grid->SetAllowedSelections({gstRecordBookmarks});
  grid->SetIndicatorOptions({gioShowRowIndicatorEh});
  Restart();
  Press(Centre(2, 3), MK_SHIFT);
  EXPECT_EQ(std::pair(dataSet->RecNo(), grid->SelectedRows()->Count()), std::pair(3, 3));
}

TEST_F(DBGridMouseDown, DoubleClickFitsTheWidthOrStepsTheValue) {
  TImageList images(form);
  TColumnEh* amount = grid->Columns()->GetColumn(2);
  amount->SetImageList(&images);
  grid->Columns()->GetColumn(3)->SetCheckboxes(true);
  grid->Columns()->GetColumn(3)->SetDblClickNextVal(true);
  // clang-format off
  struct Case { const char* id; bool fit, nextVal; int col; WPARAM keys; double amount; bool paid; }
  cases[] = {
    {"steps forward", false, true, 3, 0, 2.5, true},
    {"Shift steps back", false, true, 3, MK_SHIFT, 0.5, true},
    {"single steps only", false, false, 3, 0, 1.5, true},
    {"check box turns over", false, true, 4, MK_SHIFT, 1.5, false},
    {"sizing edge fits", true, true, 3, 0, 1.5, true}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TDBGridEhOptions options = grid->OptionsEh() - dghDblClickOptimizeColWidth;
    grid->SetOptionsEh(c.fit ? options + dghDblClickOptimizeColWidth : options);
    amount->SetDblClickNextVal(c.nextVal);
    Restart();
    const TPoint p = c.fit ? TPoint{grid->CellRect(c.col, 0).Right, Centre(c.col, 0).Y} : Centre(c.col, 1);
    const std::string error = ErrorOf([&] { Press(p, c.keys, WM_LBUTTONDBLCLK); });
    EXPECT_DOUBLE_EQ(dataSet->FieldByName("AMOUNT")->AsFloat(), c.amount);
    EXPECT_EQ(std::pair(error, dataSet->FieldByName("PAID")->AsBoolean()), std::pair(std::string(), c.paid));
  }
}

TEST_F(DBGridMouseDown, IndicatorTitleGoesThroughTheCentre) {
  // clang-format off
  struct Case { const char* id; bool centreTakes, gridTakes; std::vector<std::string> log; } cases[] = {
    {"nobody takes it", false, false, {"centre", "grid", "title click 3,4"}},
    {"the grid's event takes it", false, true, {"centre", "grid"}},
    {"the centre's event takes it", true, false, {"centre"}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Restart();
    grid->Center()->OnIndicatorTitleMouseDown = Taker("centre", c.centreTakes);
    grid->OnIndicatorTitleMouseDown = Taker("grid", c.gridTakes);
    const TRect r = grid->CellRect(0, 0);
    Press(TPoint{r.Left + 3, r.Top + 4});
    EXPECT_EQ(Log(), c.log);
  }
  grid->Center()->OnIndicatorTitleMouseDown = nullptr;
}

TEST_F(DBGridMouseDown, CellPressGoesThroughTheCentreWhichMayTakeIt) {
  TDBGridEhCenter* centre = grid->Center();
  TScopeExit restore([&] {
    centre->OnCellMouseDown = nullptr;
    grid->SetCenter(centre);
  });
  // clang-format off
  struct Case { const char* id; bool centre, takes; int recNo; std::vector<std::string> log; } cases[] = {
    {"the centre's default: the grid's press", true, false, 3, {"cell", "centre 2,3 data"}},
    {"the centre's event takes it", true, true, 1, {"cell", "centre 2,3 data"}},
    {"no centre: the grid's press", false, false, 3, {"cell"}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetCenter(c.centre ? centre : nullptr);
    TPoint at{};
    centre->OnCellMouseDown = [&](TCustomDBGridEh*, TGridCoord Cell, const TCellAreaTypeEh& Area,
                                  TMouseButton, TShiftState, int X, int Y, bool& Processed) {
      Log().push_back("centre " + IntToStr(Cell.X) + "," + IntToStr(Cell.Y) +
                      (Area == TCellAreaTypeEh{hctDataEh, vctDataEh} ? " data" : " other"));
      at = TPoint{X, Y};
      Processed = c.takes;
    };
    Restart();
    const TPoint p = Centre(2, 3);
    Press(p);
    EXPECT_EQ(std::tuple(dataSet->RecNo(), Log(), mouseDowns), std::tuple(c.recNo, c.log, 1));
    EXPECT_EQ(at, c.centre ? p : TPoint{});
  }
}

TEST_F(DBGridMouseDown, PressOnATitleFilterButtonDropsItsList) {
  grid->STFilter()->SetLocation(stflInTitleFilterEh);
  grid->STFilter()->SetVisible(true);
  TColumnEh* name = grid->Columns()->GetColumn(1);
  name->Title()->SetTitleButton(true);
  Pump();
  TRect button;
  ASSERT_TRUE(grid->GetTitleFilterButtonRect(2, button));
  const TPoint onButton{(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2};
  auto* g = static_cast<TPressGridEh*>(grid);
  // Rows run in order: the button drops the list; a press beside it closes the list and holds the
  // title button.
  // clang-format off
  struct Case { const char* id; TPoint p; bool shown; int pressed; } cases[] = {
    {"button", onButton, true, -1},
    {"beside the button", TPoint{grid->CellRect(2, 0).Left + 5, onButton.Y}, false, 2}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.p.X, c.p.Y));
    TPopupListboxEh* list = grid->TitleFilterList();
    TColumnEh* dropped = list && list->Visible() ? grid->TitleFilterColumn() : nullptr;
    EXPECT_EQ(std::tuple(dropped, g->PressedTitleCol()), std::tuple(c.shown ? name : nullptr, c.pressed));
    grid->EndTitleTracking();
  }
}

TEST_F(DBGridMouseDown, EditButtonOfAnotherRowIsPressedInTheSameClick) {
  TColumnEh* name = grid->Columns()->GetColumn(1);
  name->SetButtonStyle(cbsEllipsis);
  name->SetAlwaysShowEditButton(true);
  int clicks = 0;
  grid->OnEditButtonClick = [&](TObject*) { ++clicks; };
  Restart();
  const TPoint p = grid->ClientToScreen(TPoint{grid->CellRect(2, 3).Right - 3, grid->CellRect(2, 3).Top + 3});
  WinTesting::Click(POINT{p.X, p.Y});
  Pump();
  EXPECT_EQ(std::tuple(dataSet->RecNo(), EditorShown(), clicks), std::tuple(3, true, 1));
}

TEST_F(DBGridMouseDown, GroupRowButtonTogglesTheRowOrWithCtrlItsLevel) {
  UseMemTable();
  // Four records: PAID false for IDs 2 and 4, true for 1 and 3.
  dataSet->Last();
  dataSet->Delete();
  grid->DataGrouping()->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(3));
  grid->DataGrouping()->SetActive(true);
  Pump();
  TGridGroupDataTreeEh* tree = grid->DataGrouping()->GroupDataTree();
  // Expanded: a group row, two records, a group row, two records.
  // clang-format off
  struct Case { const char* id; int col, dx; WPARAM keys; int flatRows; } cases[] = {
    {"button", 1, 5, 0, 4}, {"Ctrl+button", 1, 5, MK_CONTROL, 2}, {"left of the button", 0, 5, 0, 6},
    {"right of the button", 1, 25, 0, 6}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    tree->SetLevelExpanded(1, true);
    tree->RebuildFlatList();
    grid->SetRowCount(1 + tree->GetFlatCount());
    const TPoint p{grid->CellRect(c.col, 1).Left + c.dx, Centre(c.col, 1).Y};
    const std::string error = ErrorOf([&] { Press(p, c.keys); });
    EXPECT_EQ(std::pair(error, tree->GetFlatCount()), std::pair(std::string(), c.flatRows));
  }
}

TEST_F(DBGridMouseDown, TitlePressSizesSelectsColumnsTracksOrMoves) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  grid->Columns()->GetColumn(1)->Title()->SetTitleButton(true);
  auto* g = static_cast<TPressGridEh*>(grid);
  // edge: on the column's right edge; cursor: under the column-select cursor; refuse: by OnCheckButton.
  // clang-format off
  struct Case {
    const char* id; int col; bool edge, traced, cursor, refuse; WPARAM keys; TGridState state;
    TDBGridEhDragStateEh drag; int pressed, locks;
  } cases[] = {
    {"edge, sizing line", 2, true, false, false, false, 0, gsColSizing, dgsNormalEh, -1, 0},
    {"edge, traced", 2, true, true, false, false, 0, gsColSizing, dgsNormalEh, -1, 1},
    {"column cursor", 3, false, false, true, false, 0, gsNormal, dgsColSelectingEh, -1, 0},
    {"column cursor, Ctrl", 3, false, false, true, false, MK_CONTROL, gsNormal, dgsColSelectingEh, -1, 0},
    {"column cursor, Shift", 3, false, false, true, false, MK_SHIFT, gsNormal, dgsColSelectingEh, -1, 0},
    {"title button", 2, false, false, false, false, MK_CONTROL, gsNormal, dgsNormalEh, 2, 0},
    {"title button refused", 2, false, false, false, true, MK_CONTROL, gsColMoving, dgsNormalEh, -1, 0},
    {"plain title", 3, false, false, false, false, 0, gsColMoving, dgsNormalEh, -1, 0}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TDBGridEhOptions options = grid->OptionsEh() - dghTraceColSizing;
    grid->SetOptionsEh(c.traced ? options + dghTraceColSizing : options);
    grid->OnCheckButton = [&](TObject*, int, TColumnEh*, bool& Enabled) { Enabled = Enabled && !c.refuse; };
    Restart();
    grid->StopGridTimer();
    SetCursor(c.cursor ? DBGridEhColumnSelectCursor() : nullptr);
    const TPoint p{c.edge ? grid->CellRect(c.col, 0).Right : Centre(c.col, 0).X, Centre(c.col, 0).Y};
    const std::string error =
        ErrorOf([&] { grid->Perform(WM_LBUTTONDOWN, c.keys | MK_LBUTTON, MAKELPARAM(p.X, p.Y)); });
    // One timer serves column selection and moving.
    EXPECT_EQ(
        std::tuple(error, grid->GridState(), grid->DragState(), g->PressedTitleCol(),
                   g->PressShift().Contains(ssCtrl), grid->ScrollPosLockCount(), grid->GridTimerRunning()),
        std::tuple(std::string(), c.state, c.drag, c.pressed, c.keys == MK_CONTROL, c.locks,
                   c.cursor || c.state == gsColMoving));
    // The column-select cursor selects the pressed column (plain, Ctrl toggling, Shift extending).
    if (c.cursor) {
      EXPECT_EQ(grid->Selection()->SelectionType(), gstColumns);
    }
    grid->CancelMode();
    if (c.locks > 0) grid->UnlockScrollPos();
  }
  SetCursor(nullptr);  // the cursor outlives the test
}

TEST_F(DBGridMouseDown, PressEndsWhenTheFocusStaysElsewhere) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetFocus();
  edit->OnExit = [&](TObject*) { edit->SetFocus(); };  // a validation that keeps the focus
  Restart();
  const TPoint p = Centre(2, 3);
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
  EXPECT_EQ(std::tuple(edit->Focused(), grid->MouseCapture(), dataSet->RecNo(), Log()),
            std::tuple(true, false, 1, std::vector<std::string>{}));
}

}  // namespace dbgrid_mouse_down_test
