#include <gtest/gtest.h>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_mouse_tracking_test {

// Exposes the tracking state; OwnSizing leaves what a press on a frozen column's edge leaves.
class TTrackGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void OwnSizing(int ACol) {
    std::tie(dragState_, sizingCol_, ownSizingOfs_) = std::tuple(dgsFrozenColSizingEh, ACol, 0);
  }
  bool MultiSortPending() const { return multiSortPending_; }
  bool Tracking() const { return titleTracking_; }
};

// Five records; grid column 0 the indicator, 1-4 ID, NAME, AMOUNT, PAID; row 0 the titles.
class DBGridTracking : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TTrackGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddNumberedRows(5);
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    grid->SetOptionsEh(grid->OptionsEh() + dghAutoSortMarking + dghMultiSortMarking + dghColumnMove +
                       dghColumnResize);
    grid->OnSortMarkingChanged = [this](TObject*) { ++sorts; };
    for (int i = 0; i < 4; ++i) Col(i)->Title()->SetTitleButton(true);
  }
  TTrackGridEh* Grid() { return static_cast<TTrackGridEh*>(grid); }
  TColumnEh* Col(int I) { return grid->Columns()->GetColumn(I); }
  TPoint Centre(int ACol, int ARow) {
    const TRect r = grid->CellRect(ACol, ARow);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void Send(UINT Msg, TPoint P, WPARAM Keys = 0) { grid->Perform(Msg, Keys, MAKELPARAM(P.X, P.Y)); }
  void Click(TPoint P, WPARAM Keys = 0) {
    Send(WM_LBUTTONDOWN, P, Keys | MK_LBUTTON);
    Send(WM_LBUTTONUP, P, Keys);
  }
  int sorts = 0;
};

TEST_F(DBGridTracking, TitleClickSortsAndADragOfFourPixelsMovesTheColumn) {
  grid->OnSortMarkingChanged = nullptr;  // the centre sorts the data set
  int btnClicks = 0;
  grid->OnTitleBtnClick = [&](TObject*, int, TColumnEh*) { ++btnClicks; };
  // Rows run in order: each click steps the marker from the row before.
  // clang-format off
  struct Case { const char* id; int dx, dy, releaseCol; TSortMarkerEh marker; const char* index; TGridState moving; }
  cases[] = {{"click", 0, 0, 2, smUpEh, "NAME DESC", gsNormal}, {"3 pixels right", 3, 0, 2, smDownEh, "NAME", gsNormal},
             {"3 pixels down", 0, 3, 2, smUpEh, "NAME DESC", gsNormal},
             {"4 pixels right", 4, 0, 2, smUpEh, "NAME DESC", gsColMoving},
             {"4 pixels up", 0, -4, 2, smUpEh, "NAME DESC", gsColMoving},
             {"released on the next title", 0, 0, 3, smUpEh, "NAME DESC", gsNormal}};
  // clang-format on
  int wantClicks = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const TPoint p = Centre(2, 0);
    Send(WM_LBUTTONDOWN, p, MK_LBUTTON);
    EXPECT_TRUE(Grid()->Tracking());
    Send(WM_MOUSEMOVE, TPoint{p.X + c.dx, p.Y + c.dy}, MK_LBUTTON);
    EXPECT_EQ(grid->GridState(), c.moving);
    Send(WM_LBUTTONUP, c.releaseCol == 2 ? TPoint{p.X + c.dx, p.Y + c.dy} : Centre(c.releaseCol, 0));
    wantClicks += c.moving == gsNormal && c.releaseCol == 2;
    EXPECT_EQ(
        std::tuple(Col(1)->Title()->SortMarker(), dataSet->IndexFieldNames(), btnClicks, Grid()->Tracking(),
                   grid->MouseCapture(), grid->GridState(), grid->Columns()->GetColumn(1)->FieldName()),
        std::tuple(c.marker, std::string(c.index), wantClicks, false, false, gsNormal, std::string("NAME")));
  }
  dataSet->First();
  EXPECT_EQ(dataSet->FieldByName("NAME")->AsString(), "Row 5");
}

TEST_F(DBGridTracking, CtrlClicksSortOnceWhenCtrlComesUpOrTheFocusLeaves) {
  for (const bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Ctrl released" : "focus lost");
    for (int i = 0; i < 4; ++i) Col(i)->Title()->SetSortMarker(smNoneEh);
    sorts = 0;
    for (int c = 1; c <= 3; ++c) Click(Centre(c, 0), MK_CONTROL);
    EXPECT_EQ(std::tuple(Col(0)->Title()->SortIndex(), Col(1)->Title()->SortIndex(),
                         Col(2)->Title()->SortIndex(), sorts, Grid()->MultiSortPending()),
              std::tuple(1, 2, 3, 0, true));
    for (int twice = 0; twice < 2; ++twice)
      byKey ? grid->Perform(WM_KEYUP, VK_CONTROL, 0) : grid->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(std::tuple(sorts, Grid()->MultiSortPending()), std::tuple(1, false));
  }
}

TEST_F(DBGridTracking, OnlyAMarkingClickAsksWhetherTheColumnCanBeSorted) {
  // clang-format off
  struct TNoSortCenter : TDBGridEhCenter {
    bool CanSortByColumn(TCustomDBGridEh*, TColumnEh* Column) override { return Column->FieldName() != "PAID"; }
  } center;
  TDBGridEhCenter* const old = grid->Center();
  grid->SetCenter(&center);
  TScopeExit restore([&] { grid->SetCenter(old); });
  struct Case { const char* id; bool autoSort; WPARAM keys; const char* error; bool pending; } cases[] = {
      {"no marking, Ctrl", false, MK_CONTROL, "", true},
      {"no marking", false, 0, "", false},
      {"marking, Ctrl", true, MK_CONTROL, "Sorting by this column is not possible", false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetOptionsEh(c.autoSort ? grid->OptionsEh() + dghAutoSortMarking
                                  : grid->OptionsEh() - dghAutoSortMarking);
    sorts = 0;
    int btnClicks = 0;
    grid->OnTitleBtnClick = [&](TObject*, int ACol, TColumnEh*) { btnClicks += ACol == 3; };
    const std::string error = ErrorOf([&] { Click(Centre(4, 0), c.keys); });
    EXPECT_EQ(std::tuple(error, Grid()->MultiSortPending(), sorts, btnClicks, Col(3)->Title()->SortMarker(),
                         Grid()->Tracking()),
              std::tuple(std::string(c.error), c.pending, 0, 1, smNoneEh, false));
  }
}

TEST_F(DBGridTracking, ColumnSizingFollowsTheLineLiveOrInAScrolledGrid) {
  // clang-format off
  struct Case { const char* id; bool live, scrolled, own, filterRow; int liveWidth; } cases[] = {
      {"sizing line", false, false, false, false, 0}, {"live", true, false, false, false, 20},
      {"own line, scrolled", false, true, true, false, 0}, {"filter row under the title", false, false, false, true, 0}};
  // clang-format on
  // The sizing spot of the frozen ID column: 3 pixels either side of its right edge, in the title
  // rows only, the filter row under the titles among them. The mouse goes to the grid there and on
  // the base grid's own edges, which leave the filter row out.
  grid->SetFrozenCols(1);
  grid->STFilter()->SetVisible(true);
  Pump();
  const TRect id = grid->CellRect(1, 0), name = grid->CellRect(2, 0);
  // clang-format off
  struct Spot { const char* id; int x, row; bool frozen, grid; } spots[] = {
    {"3 right", id.Right + 3, 0, true, true}, {"3 left", id.Right - 3, 0, true, true},
    {"4 right: the base edge only", id.Right + 4, 0, false, true}, {"5 right", id.Right + 5, 0, false, false},
    {"filter row", id.Right, 1, true, true}, {"data row", id.Right, 2, false, false},
    {"a scrolled column's edge", name.Right, 0, false, true}};
  // clang-format on
  for (const Spot& c : spots) {
    SCOPED_TRACE(c.id);
    const int y = Centre(1, c.row).Y;
    int index = -1, pos = 0, ofs = 0;
    EXPECT_EQ(grid->CalcFrozenColSizingState(c.x, y, index, pos, ofs), c.frozen);
    EXPECT_EQ(std::tuple(index, pos, ofs),
              c.frozen ? std::tuple(1, id.Right, id.Right - c.x) : std::tuple(-1, 0, 0));
    EXPECT_EQ(std::pair(grid->TitleEdgeHitTest(c.x, y), grid->IsDesignHitTest(c.x, y)),
              std::pair(c.frozen, c.grid));
  }
  grid->STFilter()->SetVisible(false);
  grid->SetFrozenCols(0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetOptionsEh(c.live ? grid->OptionsEh() + dghTraceColSizing
                              : grid->OptionsEh() - dghTraceColSizing);
    grid->STFilter()->SetVisible(c.filterRow);
    for (int i = 0; i < 4; ++i) Col(i)->SetWidth(c.scrolled ? 160 : 60);
    grid->SetLeftCol(c.scrolled ? 2 : 1);
    Pump();
    const int col = c.scrolled ? 3 : 2, before = Col(col - 1)->Width();
    const TPoint edge{grid->CellRect(col, 0).Right, Centre(col, 0).Y};
    if (c.own)
      Grid()->OwnSizing(col);
    else
      Send(WM_LBUTTONDOWN, edge, MK_LBUTTON);
    Send(WM_MOUSEMOVE, TPoint{edge.X + 20, edge.Y}, MK_LBUTTON);
    EXPECT_EQ(Col(col - 1)->Width() - before, c.liveWidth);
    Send(WM_LBUTTONUP, TPoint{edge.X + 20, edge.Y});
    EXPECT_EQ(std::tuple(Col(col - 1)->Width() - before, grid->GridState(), grid->DragState(),
                         grid->ScrollPosLockCount()),
              std::tuple(20, gsNormal, dgsNormalEh, 0));
  }
}

TEST_F(DBGridTracking, AClickOnACheckBoxCellStepsItsValueAndFiresTheCellClick) {
  grid->SetOptions(grid->Options() + dgEditing);
  int cellClicks = 0;
  grid->OnCellClick = [&](TColumnEh* Column) { cellClicks += Column == Col(3); };
  // clang-format off
  struct Case { const char* id; WPARAM keys; bool dblClickNext, paid; } cases[] = {
      {"click", 0, false, true}, {"Shift steps back", MK_SHIFT, false, false}, {"DblClickNextVal", 0, true, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Col(3)->SetDblClickNextVal(c.dblClickNext);
    dataSet->First();  // a press on the current cell would show the editor
    Pump();
    Click(Centre(4, 2), c.keys);  // record 2: PAID false
    EXPECT_EQ(std::tuple(dataSet->RecNo(), dataSet->FieldByName("PAID")->AsBoolean(), cellClicks),
              std::tuple(2, c.paid, static_cast<int>(&c - cases) + 1));
  }
}

}  // namespace dbgrid_mouse_tracking_test
