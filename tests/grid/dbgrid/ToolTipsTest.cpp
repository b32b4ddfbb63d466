// Tool tips of cut cell texts and the hint pause, per band.
#include "grid/axis/AxisGridSettingsEh.h"
#include "platform/vcl/Messages.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Grid columns 1-3: ID (no tips, 5 px, titled with a hint), NAME (60 px) and AMOUNT (400 px,
// right-aligned, cut by the grid's right edge); record 2's name does not fit.
class ToolTipsTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    AddRows({{1, "Bob", 1.5}, {2, "Maximilian Augustine", 2.5}});
    grid->SetFooterRowCount(1);
    for (int i = 0; i < 3; ++i) {
      TColumnEh* column = grid->Columns()->GetColumn(i);
      column->SetWidth(i == 0 ? 5 : i == 1 ? 60 : 400);
      column->SetToolTips(i > 0);
      column->Title()->SetToolTips(true);
      column->Footer()->SetToolTips(true);
      column->Footer()->SetValueType(fvtStaticText);
      column->Footer()->SetValue(i == 1 ? "Names of the customers" : "7");
    }
    grid->Columns()->GetColumn(0)->Title()->SetHint("Number|The record's number");
    grid->Columns()->GetColumn(1)->Title()->SetCaption("Customer name");
    grid->Columns()->GetColumn(2)->Footer()->SetAlignment(taLeftJustify);
    grid->OnGetFooterParams = [](TObject*, int, int, TColumnEh* Column, TFont*, TColor&, TAlignment&,
                                 TGridDrawState, std::string& Text) {
      if (Column->FieldName() == "NAME") Text = "Σ " + Text;
    };
    Pump();
  }
  // The grid row of band 'T' (titles), '1' or '2' (records) or 'F' (the footer after them).
  int RowOf(char Band) { return Band == 'T' ? 0 : Band == 'F' ? grid->RowCount() : Band - '0'; }
  TPoint Centre(int ACol, char Band) {
    const TRect r = grid->CellRect(ACol, RowOf(Band));
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
};

TEST_F(ToolTipsTest, ACutTextShowsWholeOverItsCell) {
  // clang-format off
  struct { const char* id; int col; char band; const char* hint; bool overCell, tipWindow; } cases[] = {
    {"data text fits", 2, '1', "", false, false},       {"data text cut", 2, '2', "Maximilian Augustine", true, true},
    {"tips off", 1, '2', "grid hint", false, false},    {"right-aligned end cut", 3, '1', "1.5", true, true},
    {"title hint", 1, 'T', "Number", true, false},      {"title caption cut", 2, 'T', "Customer name", true, true},
    {"title caption fits", 3, 'T', "", false, false},   {"footer as painted", 2, 'F', "Σ Names of the customers", true, true},
    {"left-aligned footer fits", 3, 'F', "", false, false},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    THintInfo info;
    info.HintStr = "grid hint";
    info.CursorRect = grid->ClientRect();
    info.CursorPos = Centre(c.col, c.band);
    info.HintMaxWidth = 1000;
    EXPECT_EQ(grid->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(std::make_tuple(info.HintStr, info.CursorRect == grid->CellRect(c.col, RowOf(c.band)),
                              info.HintWindowClass == TGridToolTipsWindowEh::StaticClass()),
              std::make_tuple(std::string(c.hint), c.overCell, c.tipWindow));
  }
  // The footer's tip is the very text its cell paints.
  TCellPaintEh paint;
  paint.Record(grid, 2, RowOf('F'), [&](int AreaCol, int AreaRow, TCellAreaTypeEh Type, const TRect& Cell) {
    grid->DrawFooterCell(2, RowOf('F'), AreaCol, AreaRow, Type, Cell, {});
  });
  EXPECT_EQ(paint.Texts(), "Σ Names of the customers");
}

TEST_F(ToolTipsTest, InTheRowPanelTheTipIsAboutThePanelCell) {
  grid->RowPanel()->SetActive(true), Pump();  // AMOUNT's panel cell is cut by the grid's edge
  for (auto [col, band, hint] :
       {std::tuple{1, '2', "Maximilian Augustine"}, {1, '1', ""}, {2, '1', "1.5"}, {0, 'T', "Number"}}) {
    SCOPED_TRACE(hint);
    TRect cell = grid->RowPanelCellRect(grid->Columns()->GetColumn(col), RowOf(band));
    cell.Right = std::min(cell.Right, grid->CellRect(1, RowOf(band)).Right);
    THintInfo info;
    info.CursorPos = TPoint{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2};
    grid->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::pair(info.HintStr, info.CursorRect), std::pair(std::string(hint), *hint ? cell : TRect{}));
  }
}

TEST_F(ToolTipsTest, TipsShowAtOnceAndHintsAfterThePause) {
  Application->SetHintPause(700);
  // The grid's handler decides over AMOUNT, the ID column's own one over its records.
  grid->OnHintShowPause = [](auto, auto&, auto, auto&, TColumnEh* C, int& Pause, bool& Done) {
    if (C && C->FieldName() == "AMOUNT") Pause = 123, Done = true;
  };
  grid->Columns()->GetColumn(0)->OnHintShowPause = [](auto, auto, TGridCoord Cell, auto, auto, int& P,
                                                      bool& Done) {
    if (Cell.Y > 0) P = 55, Done = true;
  };
  // clang-format off
  struct { const char* id; int col; char band; int pause; } cases[] = {
    {"data with tips", 2, '1', 0},   {"title with a hint", 1, 'T', 700}, {"title with tips", 2, 'T', 0},
    {"footer with tips", 2, 'F', 0}, {"indicator", 0, '1', -1},          {"grid's handler", 3, '1', 123},
    {"column's handler", 1, '2', 55},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const TPoint screen = grid->ClientToScreen(Centre(c.col, c.band));
    SetCursorPos(screen.X, screen.Y);
    int pause = -1;
    grid->Perform(CM_HINTSHOWPAUSE, 0, reinterpret_cast<LPARAM>(&pause));
    EXPECT_EQ(pause, c.pause);
  }
}

}  // namespace
