// The empty space below the rows (lines and column colours carried into it), the highlighted
// cell texts and the data grid's answers to the axis grid.
#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace empty_space_test {

constexpr COLORREF kMark = 0x0096FFFF;  // the highlight colour, RGB(255, 255, 150)

// Right-to-left reading is taken only with a Middle-East locale.
struct TRightToLeftReadingScope {
  bool old = SysLocale().MiddleEast;
  TRightToLeftReadingScope() { SysLocale().MiddleEast = true; }
  ~TRightToLeftReadingScope() { SysLocale().MiddleEast = old; }
};

class EmptySpaceTest : public RecordingDBGridTestBase {
 protected:
  void SetUp() override {
    RecordingDBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    AddNumberedRows(3);
    for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetWidth(60);
  }
  // Paints the whole grid into a bitmap whose device context records every call.
  std::vector<TDrawCall> PaintRecorded() {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(grid->ClientWidth(), grid->ClientHeight());
    HDC dc = bmp->Canvas()->Handle();
    TDrawLog log;
    AttachDrawRecorder(dc, &log);
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
    return log.Calls;
  }
  // The fills that lie wholly in the empty space below the rows.
  std::vector<TDrawCall> EmptySpaceFills(const std::vector<TDrawCall>& Calls, int& Top) {
    TGridDrawInfoEh info;
    grid->CalcDrawInfo(info);
    Top = info.Vert.GridBoundary + grid->OutBoundaryData()->BottomIndent();
    std::vector<TDrawCall> out;
    for (const TDrawCall& c : Calls)
      if (c.Kind == TDrawKind::FillRect && c.Rect.Top >= Top &&
          c.Rect.Right - c.Rect.Left < grid->ClientWidth())
        out.push_back(c);
    return out;
  }
};

TEST_F(EmptySpaceTest, LinesAndColumnColoursRunIntoTheEmptySpace) {
  grid->Columns()->GetColumn(1)->SetColor(clRed);  // ID and AMOUNT keep the grid's colour
  struct TCase {
    const char* id;
    TDrawEmptySpaceStyle style;
    bool boundaries;
  };
  const TCase cases[] = {
      {"none", dessNonEh, false},
      {"solid", dessSolidEh, false},
      {"gradient", dessGradiendEh, false},
      {"solid-boundary", dessSolidEh, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    grid->GridLineParams()->SetVertEmptySpaceStyle(c.style);
    grid->GridLineParams()->SetGridBoundaries(c.boundaries);
    grid->GridLineParams()->SetDataBoundaryColor(clLime);
    EXPECT_EQ(grid->OptionsEh().Contains(dghExtendVertLines), c.style != dessNonEh);
    int top = 0;
    const auto fills = EmptySpaceFills(PaintRecorded(), top);
    const int bottom = grid->ClientHeight();
    const int rows = c.style == dessGradiendEh ? bottom - top : 1;  // a gradient is filled row by row
    int strips = 0, lines = 0, boundary = 0;
    for (const TDrawCall& f : fills) {
      const int w = f.Rect.Right - f.Rect.Left;
      if (w > 1 && w <= 60) ++strips;
      if (w == 1) ++lines;
      if (w == 1 && f.Color == ColorToRGB(clLime)) ++boundary;
    }
    if (c.style == dessNonEh) {
      EXPECT_EQ(strips + lines, 0);
      continue;
    }
    // Only NAME's strip is coloured; the indicator and the three columns draw a line each.
    EXPECT_EQ(strips, rows);
    EXPECT_EQ(lines, 4 * rows);
    EXPECT_EQ(boundary, c.boundaries ? rows : 0);
    if (c.style == dessGradiendEh) {
      // The strip fades from the column colour at the top to the grid colour at the bottom.
      std::vector<TDrawCall> strip;
      for (const TDrawCall& f : fills)
        if (f.Rect.Right - f.Rect.Left > 1 && f.Rect.Right - f.Rect.Left <= 60) strip.push_back(f);
      ASSERT_FALSE(strip.empty());
      EXPECT_EQ(strip.front().Rect.Top, top);
      EXPECT_EQ(strip.front().Color, ColorToRGB(clRed));
      EXPECT_EQ(strip.back().Rect.Bottom, bottom);
      EXPECT_EQ(strip.back().Color, ColorToRGB(grid->Color()));
    }
  }
}

TEST_F(EmptySpaceTest, HighlightedCellTextMarksEveryShownMatch) {
  TRightToLeftReadingScope middleEast;
  TGridHighlightTextParamsEh entry;
  entry.Text = "match";
  TColumnEh* name = grid->Columns()->GetColumn(1);
  entry.Columns()->Add(name);
  grid->AddHighlightTexts(&entry);
  grid->AddHighlightTexts(&entry);  // once in the list
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(200, 100);
  TCanvas* canvas = bmp->Canvas();
  const int th = canvas->TextHeight("Wg");
  const int matchWidth = canvas->TextWidth("match");

  struct TCase {
    const char* id;
    std::string text;
    const char* widthOf;  // the cell is as wide as this text plus 2, or 200 when empty
    bool wrap, ellipsis;
    TBiDiMode bidi;
    int marks;          // highlight fills
    int markTop;        // top of the first, relative to the cell
    bool markAtRight;   // the first ends at the cell's right edge
    const char* shown;  // the first line written
  };
  const TCase cases[] = {
      {"plain", "a match b match", "", false, false, bdLeftToRight, 2, -1, false, "a match b match"},
      // One word a line: the mark sits on the third line.
      {"wrapped", "first second match", "second", true, false, bdLeftToRight, 1, 2 + 2 * th, false, "first"},
      {"right-to-left", "the match", "", false, false, bdRightToLeftReadingOnly, 1, -1, true, "the match"},
      {"cut-inside", "ab matchWWWWWWWWWW", "ab mat...", false, true, bdLeftToRight, 1, -1, false,
       "ab mat..."},
      {"cut-before", "abcdefghijklmnopqrstuvwxyz match", "abcdef...", false, true, bdLeftToRight, 0, -1,
       false, "abcdef..."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetBiDiMode(c.bidi);
    name->SetWordWrap(c.wrap);
    name->SetEndEllipsis(c.ellipsis);
    const std::string widthOf = c.widthOf;
    const int width = widthOf.empty() ? 200 : canvas->TextWidth(widthOf) + 2;
    const TRect cell{0, 0, width, c.wrap ? 3 * th + 4 : th + 4};
    TDrawLog log;
    AttachDrawRecorder(canvas->Handle(), &log);
    grid->WriteHighlightedCellText(name, canvas, cell, c.text, taLeftJustify);
    AttachDrawRecorder(canvas->Handle(), nullptr);
    std::vector<const TDrawCall*> marks;
    for (const TDrawCall* f : log.OfKind(TDrawKind::FillRect))
      if (f->Color == kMark) marks.push_back(f);
    ASSERT_EQ(static_cast<int>(marks.size()), c.marks);
    const auto texts = log.OfKind(TDrawKind::Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front()->Text, c.shown);
    if (c.marks == 0) continue;
    const RECT m = marks.front()->Rect;
    EXPECT_EQ(m.Top, c.markTop >= 0 ? c.markTop : m.Top);
    EXPECT_EQ(m.Right, c.markAtRight ? width : m.Right);
    // A cut line marks only the part still shown.
    EXPECT_EQ(m.Right - m.Left, c.ellipsis ? canvas->TextWidth("mat") : matchWidth);
  }

  // A text of another column is written plainly; a removed entry marks nothing.
  grid->SetBiDiMode(bdLeftToRight);
  for (TColumnEh* column : {grid->Columns()->GetColumn(0), name}) {
    if (column == name) grid->RemoveHighlightTexts(&entry);
    TDrawLog log;
    AttachDrawRecorder(canvas->Handle(), &log);
    grid->WriteHighlightedCellText(column, canvas, TRect{0, 0, 200, 20}, "a match", taLeftJustify);
    AttachDrawRecorder(canvas->Handle(), nullptr);
    for (const TDrawCall* f : log.OfKind(TDrawKind::FillRect)) EXPECT_NE(f->Color, kMark);
  }
}

TEST_F(EmptySpaceTest, AnswersToTheAxisGrid) {
  const int offset = grid->IndicatorOffset();
  TColumnEh* amount = grid->Columns()->GetColumn(2);
  int col = -1, row = -1;
  grid->GetCellOfAxisBar(amount, col, row);
  EXPECT_EQ(col, 2 + offset);
  EXPECT_EQ(row, grid->Row());

  EXPECT_EQ(grid->GetTitleLayoutMode(), 0);
  grid->TitleParams()->SetMultiTitle(true);
  EXPECT_EQ(grid->GetTitleLayoutMode(), 2);
  grid->TitleParams()->SetMultiTitle(false);

  struct TRectCase {
    bool right, bottom;
    TRect expected;
  };
  for (const TRectCase& c :
       {TRectCase{true, false, TRect{10, 10, 22, 20}}, TRectCase{false, true, {10, 10, 20, 22}},
        TRectCase{true, true, {10, 10, 22, 22}}}) {
    TRect r{10, 10, 20, 20};
    grid->AdjustFixedCellRect(r, c.right, c.bottom);
    EXPECT_EQ(r, c.expected);
  }

  EXPECT_EQ(grid->GetDataAreaWidth(), grid->ClientWidth() - grid->OutBoundaryData()->LeftIndent() -
                                          grid->OutBoundaryData()->RightIndent());

  // The column under a title point, only for persistent columns in the title row.
  TRect title = grid->CellRect(2 + offset, 0);
  EXPECT_EQ(grid->GetAxisBarAtTitlePoint(title.Left + 3, title.Top + 3), amount);
  TRect data = grid->CellRect(2 + offset, grid->FixedRows());
  EXPECT_EQ(grid->GetAxisBarAtTitlePoint(data.Left + 3, data.Top + 3), nullptr);

  // No overlay on the current row with row highlighting; the plain cell takes 30.
  EXPECT_EQ(grid->GetCellHighlightOpacity(1 + offset, grid->Row()), 30);
  grid->SetOptionsEh(grid->OptionsEh() + TDBGridEhOptions{dghRowHighlight});
  EXPECT_EQ(grid->GetCellHighlightOpacity(1 + offset, grid->Row()), 0);
}

// With themes on, the frame grows by one on every side and a cell that asks for the themed fill
// gets it from the theme painter; with themes off it does not.
TEST_F(EmptySpaceTest, ThemedFrameAndCellFill) {
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  TColCellParamsEh params;
  params.ThemedCell = true;
  for (const bool themes : {true, false}) {
    SCOPED_TRACE(themes);
    SetThemesEnabled(themes);
    TRect r{10, 10, 20, 20};
    grid->AdjustFixedCellRect(r, true, false);
    const TRect expected = themes ? TRect{9, 9, 21, 21} : TRect{10, 10, 22, 20};
    EXPECT_EQ(r, expected);
    HDC dc = grid->Canvas()->Handle();
    TDrawLog log;
    AttachDrawRecorder(dc, &log);
    grid->FillCellBackground(TRect{0, 0, 40, 20}, &params, TGridDrawState{});
    AttachDrawRecorder(dc, nullptr);
    EXPECT_EQ(log.OfKind(TDrawKind::ThemePart).size(), themes ? 1u : 0u);
  }
}

}  // namespace empty_space_test
