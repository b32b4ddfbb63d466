// Moving records by dragging in the indicator column, driven by mouse messages and the virtual
// clock. The handler renumbers AMOUNT as the records' order.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_record_moving_test {

// Asks the protected questions directly.
class TMovingGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  bool CouldStart(TPoint P) { return StartRecordMoving(P.X, P.Y, true); }
  bool TimerOn() const { return GridTimerRunning(); }
};

// 40 records (more than the grid shows); AMOUNT is the order field, ID at the start.
class RecordMoving : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TMovingGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddNumberedRows(40);
    AddColumns({"ID", "NAME"});
    grid->SetOptionsEh(grid->OptionsEh() + dghRecordMoving);
    // The order field puts the listed records just before record Target.
    grid->OnMoveRecords = [this](TObject*, TBMListEh* List, int Target, bool CheckOnly) {
      lastTarget = Target;
      for (int i = 0; i < List->Count() && !CheckOnly; ++i) {
        dataSet->GotoBookmark(List->Item(i));
        SetPlace(Target - 0.5 + 0.01 * i);
      }
      moves += !CheckOnly;
      return true;
    };
  }
  TMovingGridEh* Grid() { return static_cast<TMovingGridEh*>(grid); }
  void SetPlace(double Place) {
    dataSet->Edit();
    dataSet->FieldByName("AMOUNT")->SetAsFloat(Place);
    dataSet->Post();
  }
  // The IDs of the first five places and of the last.
  std::string Order() {
    std::vector<std::pair<double, int>> places;
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      places.emplace_back(dataSet->FieldByName("AMOUNT")->AsFloat(), dataSet->FieldByName("ID")->AsInteger());
    std::sort(places.begin(), places.end());
    std::string text;
    for (int i = 0; i < 5; ++i) text += IntToStr(places[i].second) + " ";
    return text + ".. " + IntToStr(places.back().second);
  }
  void Restart() {
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      SetPlace(dataSet->FieldByName("ID")->AsInteger());
    dataSet->First();
    grid->SelectedRows()->Clear();
    moves = 0;
    lastTarget = -1;
    Pump();
  }
  TPoint Indicator(int ARow) {
    const TRect r = grid->CellRect(0, ARow);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void Mouse(UINT Msg, TPoint P, WPARAM Keys = 0) {
    const TPoint s = grid->ClientToScreen(P);
    SetCursorPos(s.X, s.Y);
    grid->Perform(Msg, Keys, MAKELPARAM(P.X, P.Y));
  }
  COLORREF PixelAt(TPoint P) {
    HDC dc = GetDC(grid->Handle());
    const COLORREF color = GetPixel(dc, P.X, P.Y);
    ReleaseDC(grid->Handle(), dc);
    return color;
  }
  int moves = 0;
  int lastTarget = -1;
};

TEST_F(RecordMoving, DraggedRecordsGoBeforeTheRowUnderThePointer) {
  // clang-format off
  struct Case { const char* id; bool option; std::vector<int> selected; int from, to; WPARAM keys; bool started;
                int moves, target; const char* order; bool escape = false; } cases[] = {
    {"record 2 before record 5", true, {}, 2, 5, 0, true, 1, 5, "1 3 4 2 5 .. 40"},
    {"released on its own row", true, {}, 3, 3, 0, true, 0, -1, "1 2 3 4 5 .. 40"},
    {"without dghRecordMoving", false, {}, 2, 5, 0, false, 0, -1, "1 2 3 4 5 .. 40"},
    {"an unselected record stays", true, {1, 4}, 2, 6, 0, false, 0, -1, "1 2 3 4 5 .. 40"},
    {"the selected records go together", true, {1, 4}, 4, 7, 0, true, 1, 7, "2 3 5 6 1 .. 40"},
    {"Ctrl keeps the selection's press", true, {1, 4}, 4, 7, MK_CONTROL, false, 0, -1, "1 2 3 4 5 .. 40"},
    {"Escape cancels the move", true, {}, 2, 5, 0, true, 0, 5, "1 2 3 4 5 .. 40", true}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetOptions(c.selected.empty() ? grid->Options() - dgMultiSelect : grid->Options() + dgMultiSelect);
    grid->SetOptionsEh(c.option ? grid->OptionsEh() + dghRecordMoving : grid->OptionsEh() - dghRecordMoving);
    Restart();
    for (int rec : c.selected) {
      dataSet->First();
      dataSet->MoveBy(rec - 1);
      grid->SelectedRows()->SetCurrentRowSelected(true);
    }
    dataSet->First();
    Mouse(WM_LBUTTONDOWN, Indicator(c.from), c.keys | MK_LBUTTON);
    EXPECT_EQ(grid->RecordMoving(), c.started);
    Mouse(WM_MOUSEMOVE, Indicator(c.to), c.keys | MK_LBUTTON);
    if (c.escape) grid->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    Mouse(WM_LBUTTONUP, Indicator(c.to), c.keys);
    EXPECT_EQ(std::tuple(grid->RecordMoving(), grid->MouseCapture(), moves, lastTarget, Order()),
              std::tuple(false, false, c.moves, c.target, std::string(c.order)));
  }
}

TEST_F(RecordMoving, TheInvertedLineAndTheTimerThatScrollsToTheEnd) {
  Restart();
  const TRect target = grid->CellRect(0, 5);
  const TPoint onLine{target.Left + 3, target.Top};
  Pump();
  const COLORREF before = PixelAt(onLine);
  // Asking whether a press could start a move leaves the current record.
  EXPECT_EQ(std::pair(Grid()->CouldStart(Indicator(4)), dataSet->RecNo()), std::pair(true, 1));
  Mouse(WM_LBUTTONDOWN, Indicator(1), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, Indicator(5), MK_LBUTTON);
  EXPECT_EQ(std::tuple(Grid()->TimerOn(), PixelAt(onLine)), std::tuple(true, before ^ 0xFFFFFF));
  grid->Invalidate();  // a repaint keeps the line
  Pump();
  EXPECT_EQ(PixelAt(onLine), before ^ 0xFFFFFF);

  // Held still below the rows: each 60 ms tick scrolls one record until the last shows; the
  // row after the last buffered one means after the last record.
  Mouse(WM_MOUSEMOVE, TPoint{onLine.X, grid->ClientHeight() + 20}, MK_LBUTTON);
  for (int tick = 0; tick < 40; ++tick) VirtualClock::Advance(60), Pump();
  Mouse(WM_LBUTTONUP, TPoint{onLine.X, grid->ClientHeight() + 20});
  EXPECT_EQ(std::tuple(moves, lastTarget, Order(), Grid()->TimerOn()),
            std::tuple(1, 41, std::string("2 3 4 5 6 .. 1"), false));
  dataSet->First();
  Pump();
  EXPECT_EQ(PixelAt(onLine), before);
}

}  // namespace dbgrid_record_moving_test
