// The demo's ledger grid on a shown form, driven by keys, clicks, the wheel and a drag of the
// form's frame: amounts in the amount field's format, the cleared column as check boxes, the
// totals row at the bottom edge and the mark of the current row.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridsEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/support/SurfacePixels.h"

namespace {

// The grid's columns (the balance is the contra column after them).
enum { kNumber, kDate, kAccount, kKind, kAmount, kCleared, kNote, kBalance };

void Pump() {
  Application->ProcessMessages();
}

class LedgerGridFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    ledger = CreateLedger(Application);
    form = CreateLedgerGridForm(Application, ledger);
    form->SetBounds(20, 20, 560, 320);
    form->Show();
    Pump();
    ASSERT_EQ(form->ControlCount(), 1);
    grid = dynamic_cast<TCustomGridEh*>(form->Controls(0));
    ASSERT_NE(grid, nullptr);
  }
  void TearDown() override { ResetVcl(); }

  int TotalsRow() const { return grid->RowCount(); }

  // What the grid draws for WM_PAINT, into a bitmap of its client size.
  TDrawLog RecordPaint() {
    TDrawLog log;
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(grid->ClientWidth(), grid->ClientHeight());
    HDC dc = bmp->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
    return log;
  }

  // The texts drawn inside a cell.
  static std::vector<const TDrawCall*> TextsIn(const TDrawLog& log, const TRect& cell) {
    std::vector<const TDrawCall*> found;
    for (const TDrawCall* c : log.OfKind(TDrawKind::Text))
      if (c->Rect.Left >= cell.Left && c->Rect.Right <= cell.Right && c->Rect.Top >= cell.Top &&
          c->Rect.Bottom <= cell.Bottom)
        found.push_back(c);
    return found;
  }

  // A client point of the grid as a screen point.
  POINT Screen(int x, int y) const {
    const TPoint p = grid->ClientToScreen({x, y});
    return {p.X, p.Y};
  }
  POINT CellCentre(int col, int row) const {
    const TRect r = grid->CellRect(col, row);
    return Screen((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  // What the form shows at a client point of the grid.
  COLORREF Shown(int x, int y) const { return test_support::ScreenPixel(form->Handle(), Screen(x, y)); }

  // Drags the bottom edge of the form's frame by Dy, as the display host feeds the mouse.
  void DragBottomEdge(int dy) {
    RECT w{};
    GetWindowRect(form->Handle(), &w);
    const POINT from{(w.Left + w.Right) / 2, w.Bottom - 1};
    Input::MouseMove(from);
    Input::MouseDown(VK_LBUTTON, from);
    Input::MouseMove({from.X, from.Y + dy / 2});
    Input::MouseMove({from.X, from.Y + dy});
    Input::MouseUp(VK_LBUTTON, {from.X, from.Y + dy});
    Pump();
  }

  TMemoryDataSet* ledger = nullptr;
  TForm* form = nullptr;
  TCustomGridEh* grid = nullptr;
};

TEST_F(LedgerGridFormTest, CellTextsAreFormattedAlignedAndCentredVertically) {
  struct Case {
    int col, row;
    const char* text;
    TAlignment align;
  } cases[] = {
      {kAmount, 1, "8,200.00", taRightJustify},
      {kAmount, 3, "312.40", taRightJustify},
      {kAmount, 4, "21.37", taRightJustify},
      {kBalance, 2, "5,600.00", taRightJustify},
      {kBalance, 9, "18,472.07", taRightJustify},
      {kDate, 1, "2026-01-03", taLeftJustify},
      {kKind, 2, "支出", taLeftJustify},
      {kNumber, 7, "7", taRightJustify},
      {kAmount, 0, "金额", taCenter},
      {kBalance, 0, "余额", taCenter},
  };
  const TDrawLog log = RecordPaint();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " at " << c.col << ", " << c.row);
    const TRect cell = grid->CellRect(c.col, c.row);
    // A cell cut by a contra band is drawn whole under it and clipped there: what shows in a
    // cell is the text drawn there last.
    const std::vector<const TDrawCall*> texts = TextsIn(log, cell);
    ASSERT_FALSE(texts.empty());
    const RECT& t = texts.back()->Rect;
    EXPECT_EQ(texts.back()->Text, c.text);
    if (c.align == taRightJustify) {
      EXPECT_EQ(t.Right, cell.Right - 4);
    } else if (c.align == taLeftJustify) {
      EXPECT_EQ(t.Left, cell.Left + 4);
    } else {
      EXPECT_LE(std::abs((t.Left + t.Right) - (cell.Left + cell.Right)), 1);
    }
    EXPECT_LE(std::abs((t.Top + t.Bottom) - (cell.Top + cell.Bottom)), 1) << "centred vertically";
  }
}

TEST_F(LedgerGridFormTest, ClearedColumnShowsCheckBoxesNotWords) {
  const TDrawLog log = RecordPaint();
  // The ledger's first nine entries: the seventh is not cleared.
  const bool cleared[] = {true, true, true, true, true, true, false, true, true};
  for (int row = 1; row <= 9; ++row) {
    SCOPED_TRACE(row);
    const TRect shown = grid->CellRect(kCleared, row);
    EXPECT_TRUE(TextsIn(log, shown).empty());
    // The box is centred in the whole cell, also where the totals row cuts the cell.
    const TRect cell{shown.Left, shown.Top, shown.Left + grid->ColWidths(kCleared),
                     shown.Top + grid->RowHeights(row)};
    const TRect box =
        CalcAlignedRect(cell, taCenter, tlCenter, TSize{DefaultCheckBoxWidth(), DefaultCheckBoxHeight()});
    // The mark's low point of a 3-D box: the interior starts 2 pixels in.
    const COLORREF mark = Shown(box.Left + 2 + 3, box.Top + 2 + 5);
    EXPECT_EQ(mark, (ColorToRGB(cleared[row - 1] ? clWindowText : clWindow) & 0xFFFFFF));
    EXPECT_EQ(Shown(box.Left, box.Top), ColorToRGB(clBtnShadow) & 0xFFFFFF) << "the box's 3-D edge";
  }
}

// The totals row shows the column totals and stays at the bottom edge as the form grows and
// shrinks.
TEST_F(LedgerGridFormTest, TotalsRowStaysAtTheBottomEdge) {
  const struct {
    int col;
    const char* text;  // "" for nothing at all
  } totals[] = {
      {kNumber, "合计"},      {kDate, ""}, {kAccount, ""},          {kKind, ""},
      {kAmount, "36,591.17"},                                        // the sum of the amount column
      {kCleared, ""},         {kNote, ""}, {kBalance, "18,651.57"},  // where the balance column ends
  };
  struct Case {
    const char* id;
    int dy;           // how far the frame's bottom edge is dragged
    int visibleRows;  // data rows shown whole
    bool vertBar;     // the vertical scroll bar shows
    bool toEnd;       // Ctrl+End first: the last rows leave room below them
  } cases[] = {
      {"short", 0, 8, true, false},           {"tall", 260, 12, false, false},
      {"taller", 120, 12, false, false},      {"short-again", -380, 8, true, false},
      {"short-at-the-end", 0, 8, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (c.dy != 0) DragBottomEdge(c.dy);
    if (c.toEnd) {
      WinTesting::Click(CellCentre(kAccount, 2));
      Input::KeyDown(VK_CONTROL);
      WinTesting::KeyPress(VK_END);
      Input::KeyUp(VK_CONTROL);
      Pump();
      ASSERT_EQ(grid->Row(), TotalsRow() - 1);
    }
    const int line = grid->GetHorzLineWidth();
    const TRect row = grid->CellRect(kAmount, TotalsRow());
    EXPECT_EQ(row.Bottom, grid->ClientHeight() - line);
    EXPECT_EQ(grid->VisibleRowCount(), c.visibleRows);
    const bool vertBar = (GetWindowLong(grid->Handle(), GWL_STYLE) & WS_VSCROLL) != 0;
    EXPECT_EQ(vertBar, c.vertBar);
    // The totals themselves keep a row's height at the bottom of the stretched row.
    const TDrawLog log = RecordPaint();
    const int mid = row.Bottom - grid->DefaultRowHeight() / 2;
    for (const auto& t : totals) {
      SCOPED_TRACE(t.col);
      const std::vector<const TDrawCall*> texts = TextsIn(log, grid->CellRect(t.col, TotalsRow()));
      ASSERT_EQ(texts.size(), *t.text ? 1u : 0u);
      if (texts.empty()) continue;
      EXPECT_EQ(texts[0]->Text, t.text);
      EXPECT_LE(std::abs((texts[0]->Rect.Top + texts[0]->Rect.Bottom) / 2 - mid), 1);
    }
  }
}

TEST_F(LedgerGridFormTest, CurrentRowIsMarkedInTheRowNumberColumn) {
  struct Case {
    const char* id;
    std::function<void()> input;
    int row;
  } cases[] = {
      {"start", [] {}, 1},
      {"down", [] { WinTesting::KeyPress(VK_DOWN); }, 2},
      {"down-again", [] { WinTesting::KeyPress(VK_DOWN); }, 3},
      {"click", [this] { WinTesting::Click(CellCentre(kAccount, 6)); }, 6},
      {"up", [] { WinTesting::KeyPress(VK_UP); }, 5},
      {"wheel", [this] { Input::MouseWheel(-WHEEL_DELTA, CellCentre(kKind, 4)); }, 6},
      {"drag-held",
       [this] {
         Input::MouseDown(VK_LBUTTON, CellCentre(kNote, 2));
         Input::MouseMove(CellCentre(kNote, 4));
       },
       4},
      {"drag-released", [this] { Input::MouseUp(VK_LBUTTON, CellCentre(kNote, 4)); }, 4},
  };
  grid->SetFocus();
  Pump();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    c.input();
    Pump();
    ASSERT_EQ(grid->Row(), c.row);
    for (int row = 1; row <= 9; ++row) {
      SCOPED_TRACE(row);
      const TRect cell = grid->CellRect(kNumber, row);
      // Inside the triangle left of the row number.
      const COLORREF shown = Shown(cell.Left + 5, (cell.Top + cell.Bottom) / 2);
      EXPECT_EQ(shown, ColorToRGB(row == c.row ? clWindowText : clBtnFace) & 0xFFFFFF);
    }
  }
}

}  // namespace
