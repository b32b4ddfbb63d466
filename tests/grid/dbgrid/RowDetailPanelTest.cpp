// The row detail panel: its limits and events, the control under the current row, the sizing bar
// by non-client messages, the swallowed menu, Ctrl+Up, the expand button and refused hiding.
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Input.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Thirty records; grid column 1 is ID, the first visible column.
class RowDetailPanelTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddNumberedRows(30);
    AddColumns({"ID", "NAME"});
    panel = grid->RowDetailPanel(), control = grid->RowDetailPanelControl();
    panel->SetActive(true);
    grid->OnRowDetailPanelShow = [this](TCustomDBGridEh*, bool& Can) {
      log += Can ? "show+ " : "show- ", Can |= forceShow;
    };
    grid->OnRowDetailPanelHide = [this](TCustomDBGridEh*, bool& Can) { log += "hide ", Can = allowHide; };
    Pump();
  }
  TRowDetailPanelEh* panel = nullptr;
  TRowDetailPanelControlEh* control = nullptr;
  std::string log;
  bool forceShow = false, allowHide = true;
};

TEST_F(RowDetailPanelTest, SettingsLimitsAndEvents) {
  for (auto [id, min, max, set, stored] : {std::tuple{"below MinHeight", 30, 0, 10, 30},
                                           {"above MaxHeight", 1, 200, 500, 200},
                                           {"no MaxHeight", 1, 0, 5000, 5000}}) {
    SCOPED_TRACE(id);
    panel->SetMinHeight(min), panel->SetMaxHeight(max), panel->SetHeight(set);
    EXPECT_EQ(panel->Height(), stored);
  }
  // No records: the handler hears CanShow false and may open the panel all the same.
  for (bool closed : {true, false}) {
    closed ? dataSet->Close() : (dataSet->Open(), dataSet->EmptyDataSet());
    for (bool force : {false, true}) {
      SCOPED_TRACE(std::to_string(closed) + std::to_string(force));
      log.clear(), forceShow = force;
      panel->SetExpanded(true);
      EXPECT_EQ(log, "show- ");
      EXPECT_EQ(panel->Expanded(), force);
      panel->SetExpanded(false);
    }
  }
  // Switching the panel off closes it through the hide event, which cannot keep it open.
  AddNumberedRows(3), panel->SetExpanded(true), log.clear(), allowHide = false;
  panel->SetActive(false);
  EXPECT_EQ(log, "hide ");
  EXPECT_FALSE(panel->Expanded() || control->Visible());
  EXPECT_EQ(grid->MoveBy(1), 1);
}

TEST_F(RowDetailPanelTest, PlacementFollowsTheCurrentRow) {
  dataSet->MoveBy(2), panel->SetHeight(100), panel->SetColor(clYellow), panel->SetExpanded(true), Pump();
  const int dataHeight = grid->DataRowHeight(), rowTop = grid->CellRect(0, 3).Top;
  const int left = grid->ColWidths(0) + grid->GridLineWidth() + 18;
  EXPECT_EQ(control->BoundsRect(),
            (TRect{left, rowTop + dataHeight + 1, grid->ClientWidth(), rowTop + dataHeight + 101}));
  EXPECT_TRUE(control->Visible() && control->Color() == clYellow);
  EXPECT_EQ(grid->RowHeights(3), dataHeight + 102);
  const TRect cell = grid->CellRect(1, 3);
  EXPECT_EQ(grid->GetEditRect(1, 3), (TRect{cell.Left + 18, cell.Top, cell.Right, cell.Top + dataHeight}));
  // Out of view and back.
  for (int top : {4, 1}) {
    grid->SetTopRow(top);
    EXPECT_EQ(std::pair(control->Visible(), control->Top()), std::pair(top == 1, rowTop + dataHeight + 1));
  }
  // Opened near the bottom, the rows above make way; closed, they come back.
  panel->SetExpanded(false), dataSet->MoveBy(grid->VisibleRowCount() - 4), panel->SetExpanded(true);
  EXPECT_GT(grid->TopRow(), 1);
  EXPECT_EQ(control->Height(), 100);
  panel->SetExpanded(false);
  EXPECT_EQ(grid->TopRow(), 1);
}

TEST_F(RowDetailPanelTest, SizingBarByNonClientMessages) {
  panel->SetVertSizing(true), panel->SetMinHeight(50), panel->SetMaxHeight(160), panel->SetHeight(120);
  panel->SetExpanded(true), Pump();
  RECT w{};
  GetWindowRect(control->Handle(), &w);
  const int x = (w.Left + w.Right) / 2, barY = w.Bottom - 3;
  EXPECT_EQ(control->Perform(WM_NCHITTEST, 0, MAKELPARAM(x, w.Bottom - 20)), HTCLIENT);
  EXPECT_EQ(control->Perform(WM_NCHITTEST, 0, MAKELPARAM(x, barY)), HTBORDER);
  control->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(control->Handle()),
                   MAKELPARAM(HTBORDER, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), Screen->Cursors(crVSplit));
  control->Perform(WM_NCLBUTTONDOWN, HTBORDER, MAKELPARAM(x, barY));
  EXPECT_TRUE(control->MouseCapture());
  for (auto [dy, height] : {std::pair{30, 150}, {100, 160}, {-200, 50}}) {
    SCOPED_TRACE(dy);
    const TPoint p = control->ScreenToClient(TPoint{x, barY + dy});
    control->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.X, p.Y)), Pump();
    EXPECT_EQ(std::pair(panel->Height(), control->Height()), std::pair(height, height));
  }
  control->Perform(WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(control->MouseCapture());
}

TEST_F(RowDetailPanelTest, MenuAndKeysInsideThePanel) {
  auto* edit = new TEdit(form);
  edit->SetParent(control);
  panel->SetExpanded(true), Pump();
  int gridMenus = 0;
  grid->OnContextPopup = [&](TObject*, TPoint, bool& Handled) { ++gridMenus, Handled = true; };
  for (bool parentMenu : {true, false}) {
    panel->SetParentPopupMenu(parentMenu);
    const TPoint p = control->ClientToScreen(TPoint{5, 5});
    control->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()), MAKELPARAM(p.X, p.Y));
  }
  EXPECT_EQ(gridMenus, 1);
  for (bool ctrl : {false, true}) {
    edit->SetFocus();
    if (ctrl) Input::KeyDown(VK_CONTROL);
    Input::KeyDown(VK_UP), Input::KeyUp(VK_UP);
    if (ctrl) Input::KeyUp(VK_CONTROL);
    Pump();
    EXPECT_EQ(grid->Focused(), ctrl);
  }
}

TEST_F(RowDetailPanelTest, ExpandButtonAndRefusedHide) {
  const TRect cell = grid->CellRect(1, 3);
  // The handler judges the pressed row's record: record 2 has no panel.
  grid->OnCheckRowHaveDetailPanel = [this](TCustomDBGridEh*, bool& Have) {
    Have = dataSet->FieldByName("ID")->AsInteger() != 2;
  };
  for (auto [dx, row, hit] : {std::tuple{0, 3, true}, {17, 3, true}, {18, 3, false}, {2, 2, false}}) {
    SCOPED_TRACE(dx);
    const TRect r = grid->CellRect(1, row);
    EXPECT_EQ(panel->ExpandButtonHitTest(0, r.Left + dx, r), hit);
  }
  grid->OnCheckRowHaveDetailPanel = nullptr;
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.Left + 4, cell.Top + 2));
  grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(cell.Left + 4, cell.Top + 2));
  EXPECT_TRUE(panel->Expanded() && dataSet->RecNo() == 3);
  // A hide the handler refuses keeps the record where it is.
  for (bool allow : {false, true}) {
    allowHide = allow;
    const int moved = grid->MoveBy(1);
    EXPECT_EQ(std::pair(moved, dataSet->RecNo()), std::pair(allow ? 1 : 0, allow ? 4 : 3));
  }
  EXPECT_FALSE(panel->Expanded());
}

TEST_F(RowDetailPanelTest, APressThatClosesThePanelStartsNoDragOfItsOwn) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  dataSet->MoveBy(2), panel->SetExpanded(true), Pump();
  // The press on record 5 closes the panel: the rows move up under the still mouse.
  const TRect r = grid->CellRect(1, 5);
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.Left + 20, r.Top + 2));
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(r.Left + 20, r.Top + 2));
  EXPECT_EQ(std::tuple(dataSet->RecNo(), panel->Expanded(), grid->Selection()->SelectionType()),
            std::tuple(5, false, gstNon));
  // The mouse's own way to record 7 spans the rectangle from the pressed record.
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(r.Left + 20, grid->CellRect(1, 7).Top + 2));
  // And sideways to the second column.
  const TRect name = grid->CellRect(2, 7);
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(name.Left + 2, name.Top + 2));
  EXPECT_EQ(grid->SelectedIndex(), 1);
  auto in = [this](int Rec, int Col = 0) {
    return dataSet->SetRecNo(Rec), grid->Selection()->Rect()->CellSelected(Col, dataSet->Bookmark());
  };
  EXPECT_EQ(std::vector({in(4), in(5), in(7), in(8), in(6, 1)}),
            std::vector({false, true, true, false, true}));
}

}  // namespace
