// The wheel, timer 1 (drag auto-scroll, the pending press) and the find dialog.
#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Exposes the drag state and the data area; ownRows makes the view scroll apart from the record.
class TTimerGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void SetDragState(TDBGridEhDragStateEh Value) { dragState_ = Value; }
  TRect DataArea() {
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    return TRect{di.Horz.FixedBoundary, di.Vert.FixedBoundary, di.Horz.ContraBoundary,
                 di.Vert.ContraBoundary};
  }
  bool ScrollsOwnRows() override { return ownRows || TDBGridEh::ScrollsOwnRows(); }
  bool ownRows = false;
};

// 100 records, four columns of 150 pixels: the last ones lie beyond the grid's right edge.
class WheelTimersTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TTimerGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddNumberedRows(100);
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    for (int i = 0; i < 4; ++i) grid->Columns()->GetColumn(i)->SetWidth(150);
    Pump();
  }
  TTimerGridEh* Grid() { return static_cast<TTimerGridEh*>(grid); }
  void PointAt(TPoint Client) {
    const TPoint p = grid->ClientToScreen(Client);
    SetCursorPos(p.X, p.Y);
  }
};

TEST_F(WheelTimersTest, TimerOneScrollsByTheDistanceAndPressesThrough) {
  // clang-format off
  struct { const char* id; TDBGridEhDragStateEh state; char side; int distance, records, leftCols, interval; bool running; }
  cases[] = {{"60 px below", dgsRowSelectingEh, 'B', 60, 8, 0, 0, true}, {"12 px below", dgsRowSelectingEh, 'B', 12, 2, 0, 20, true},
    {"12 px above", dgsRowSelectingEh, 'A', 12, -2, 0, 20, true}, {"3 px below", dgsRowSelectingEh, 'B', 3, 0, 0, 155, true},
    {"inside", dgsRowSelectingEh, 'I', 0, 0, 0, -1, false}, {"rectangle 30 px below", dgsRectSelectingEh, 'B', 30, 5, 0, 0, true},
    {"columns 5 px right", dgsColSelectingEh, 'R', 5, 0, 1, 150, true}, {"columns 16 px right", dgsColSelectingEh, 'R', 16, 0, 1, 40, true},
    {"pending press on the row above", dgsPressPendingEh, 'P', 0, -1, 0, -1, false}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    dataSet->SetRecNo(50);
    grid->SetLeftCol(grid->FixedCols());
    const TRect area = Grid()->DataArea();
    const int midX = area.Left + 20, midY = (area.Top + area.Bottom) / 2;
    PointAt(c.side == 'B'   ? TPoint{midX, area.Bottom - 1 + c.distance}
            : c.side == 'A' ? TPoint{midX, area.Top - c.distance}
            : c.side == 'R' ? TPoint{area.Right - 1 + c.distance, midY}
            : c.side == 'P' ? TPoint{midX, grid->CellRect(1, grid->Row() - 1).Top + 2}
                            : TPoint{midX, midY});
    Grid()->SetDragState(c.state);
    Grid()->StopGridTimer();
    Grid()->StartGridTimer(60);
    grid->Perform(WM_TIMER, 1, 0);
    EXPECT_EQ(std::make_tuple(dataSet->RecNo() - 50, grid->LeftCol() - grid->FixedCols(),
                              Grid()->GridTimerInterval(), Grid()->GridTimerRunning()),
              std::make_tuple(c.records, c.leftCols, c.interval, c.running));
    Grid()->SetDragState(dgsNormalEh);
  }
  // A selection drag that leaves the cells starts the timer.
  Grid()->SetDragState(dgsRowSelectingEh);
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, Grid()->DataArea().Bottom + 5));
  EXPECT_TRUE(Grid()->GridTimerRunning());
}

TEST_F(WheelTimersTest, ARectangleDraggedRightOfTheCellsScrollsTheColumns) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  const TRect cell = grid->CellRect(1, grid->Row());
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.Left + 2, cell.Top + 2));
  PointAt(TPoint{Grid()->DataArea().Right + 15, cell.Top + 2});
  grid->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(grid->LeftCol() - grid->FixedCols(), 1);
}

TEST_F(WheelTimersTest, TheWheelMovesTheRecordOrOnlyTheViewOfAnInMemoryTable) {
  auto* table = new TMemoryDataSetEh(form);
  table->FieldDefs()->Add("ID", ftInteger);
  table->CreateDataSet();
  for (int i = 1; i <= 100; ++i) table->AppendRecord({Variant(i)});
  // clang-format off
  struct { const char* id; bool memTable; int delta; TShiftState shift; int records; } cases[] = {
    {"plain down", false, -120, {}, 1}, {"plain up", false, 120, {}, -1}, {"plain with Ctrl", false, -120, {ssCtrl}, 1},
    {"in memory", true, -120, {}, 0}, {"in memory with Ctrl", true, -120, {ssCtrl}, 0},
    {"in memory with Shift", true, -120, {ssShift}, 1}, {"in memory up with Shift", true, 120, {ssShift}, -1}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    // The in-memory table's rows are not painted here: the grid reads them its own way.
    grid->SetVisible(!c.memTable);
    Grid()->ownRows = c.memTable;
    TDataSet* data = c.memTable ? static_cast<TDataSet*>(table) : dataSet;
    source->SetDataSet(data);
    data->SetRecNo(50);
    // CM_MOUSEWHEEL carries the shift state in its low word.
    grid->Perform(CM_MOUSEWHEEL, MAKEWPARAM(ShiftStateToWord(c.shift), static_cast<WORD>(c.delta)), 0);
    EXPECT_EQ(data->RecNo() - 50, c.records);
  }
}

TEST_F(WheelTimersTest, TheFindDialogComesFromTheCentreOrTheProcessWideProcedure) {
  using TCall = std::tuple<TCustomDBGridEh*, std::string, std::string, bool, int>;
  static std::vector<TCall> calls;
  TScopeExit restore([saved = ShowFindDialogProcEh()] { SetShowFindDialogProcEh(saved); });
  TDBGridEhCenter* centre = grid->Center();
  const TShowFindDialogProcEh record = [](auto G, auto& T, auto& C, bool M, int E) {
    calls.emplace_back(G, T, C, M, E);
  };
  // clang-format off
  struct { const char* id; bool centre, installed; size_t calls; } cases[] = {
    {"centre", true, true, 1}, {"no centre", false, true, 1}, {"nothing installed", false, false, 0}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    calls.clear();
    grid->SetCenter(c.centre ? centre : nullptr);
    SetShowFindDialogProcEh(c.installed ? record : nullptr);
    grid->ExecuteFindDialog("abc", grid->Columns()->GetColumn(1), true);
    EXPECT_EQ(calls, std::vector<TCall>(c.calls, TCall{grid, "abc", "", true, 0}));
  }
}

}  // namespace
