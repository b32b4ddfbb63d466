// The empty space below the rows (lines and column colours carried into it), the highlighted
// cell texts and the data grid's answers to the axis grid.
#include <string>
#include <tuple>
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

class EmptySpaceTest : public RecordingDBGridTestBase {
 protected:
  void SetUp() override {
    RecordingDBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    AddNumberedRows(3);
    for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetWidth(60);
  }
  // Paints the grid into a recording bitmap; answers the fills wholly inside the empty space.
  std::vector<TDrawCall> EmptySpaceFills(int& Top) {
    TBitmap bmp;
    bmp.SetSize(grid->ClientWidth(), grid->ClientHeight());
    TDrawLog log;
    AttachDrawRecorder(bmp.Canvas()->Handle(), &log);
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp.Canvas()->Handle()), 0);
    AttachDrawRecorder(bmp.Canvas()->Handle(), nullptr);
    TGridDrawInfoEh info;
    grid->CalcDrawInfo(info);
    Top = info.Vert.GridBoundary + grid->OutBoundaryData()->BottomIndent();
    std::vector<TDrawCall> out;
    for (const TDrawCall* c : log.OfKind(TDrawKind::FillRect))
      if (c->Rect.Top >= Top && c->Rect.Right - c->Rect.Left < grid->ClientWidth()) out.push_back(*c);
    return out;
  }
};

// Only NAME is coloured; the indicator and the three columns draw a line each. A gradient is
// filled row by row, from the line or column colour at the top to the grid colour at the bottom.
TEST_F(EmptySpaceTest, LinesAndColumnColoursRunIntoTheEmptySpace) {
  grid->Columns()->GetColumn(1)->SetColor(clRed);
  grid->GridLineParams()->SetDataBoundaryColor(clLime);
  const std::tuple<TDrawEmptySpaceStyle, bool> cases[] = {
      {dessNonEh, false}, {dessSolidEh, false}, {dessGradiendEh, false}, {dessSolidEh, true}};
  for (const auto& [style, boundaries] : cases) {
    SCOPED_TRACE(static_cast<int>(style) * 10 + boundaries);
    grid->GridLineParams()->SetVertEmptySpaceStyle(style);
    grid->GridLineParams()->SetGridBoundaries(boundaries);
    EXPECT_EQ(grid->OptionsEh().Contains(dghExtendVertLines), style != dessNonEh);
    int top = 0;
    const auto fills = EmptySpaceFills(top);
    const int rows = style == dessGradiendEh ? grid->ClientHeight() - top : style == dessSolidEh ? 1 : 0;
    std::vector<TDrawCall> strips;
    int lines = 0, boundary = 0;
    for (const TDrawCall& f : fills) {
      const int w = f.Rect.Right - f.Rect.Left;
      if (w > 1 && w <= 60) strips.push_back(f);
      lines += w == 1 ? 1 : 0;
      boundary += w == 1 && f.Color == ColorToRGB(clLime) ? 1 : 0;
    }
    EXPECT_EQ(static_cast<int>(strips.size()), rows);
    EXPECT_EQ(lines, 4 * rows);
    EXPECT_EQ(boundary, boundaries ? rows : 0);
    if (rows == 0) continue;
    EXPECT_TRUE(strips.front().Rect.Top == top && strips.front().Color == ColorToRGB(clRed));
    EXPECT_TRUE(strips.back().Rect.Bottom == grid->ClientHeight() &&
                strips.back().Color == ColorToRGB(style == dessGradiendEh ? grid->Color() : clRed));
  }
}

TEST_F(EmptySpaceTest, HighlightedCellTextMarksEveryShownMatch) {
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);  // right-to-left reading needs it
  TGridHighlightTextParamsEh entry;
  entry.Text = "match";
  TColumnEh* name = grid->Columns()->GetColumn(1);
  entry.Columns()->Add(name);
  grid->AddHighlightTexts(&entry);
  grid->AddHighlightTexts(&entry);  // once in the list
  TBitmap bmp;
  bmp.SetSize(200, 100);
  TCanvas* canvas = bmp.Canvas();
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
      // Added twice, removed once: nothing is marked any more.
      {"removed", "a match", "", false, false, bdLeftToRight, 0, -1, false, "a match"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    if (std::string(c.id) == "removed") grid->RemoveHighlightTexts(&entry);
    grid->SetBiDiMode(c.bidi);
    name->SetWordWrap(c.wrap);
    name->SetEndEllipsis(c.ellipsis);
    const int width = *c.widthOf ? canvas->TextWidth(c.widthOf) + 2 : 200;
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
}

TEST_F(EmptySpaceTest, AnswersToTheAxisGrid) {
  const int offset = grid->IndicatorOffset();
  TColumnEh* amount = grid->Columns()->GetColumn(2);
  int col = -1, row = -1;
  grid->GetCellOfAxisBar(amount, col, row);
  EXPECT_EQ(col, 2 + offset);
  EXPECT_EQ(row, grid->Row());

  grid->TitleParams()->SetMultiTitle(true);
  EXPECT_EQ(grid->GetTitleLayoutMode(), 2);

  // The column under a title point, only for persistent columns in the title row.
  const TRect title = grid->CellRect(2 + offset, 0), data = grid->CellRect(2 + offset, grid->FixedRows());
  EXPECT_EQ(grid->GetAxisBarAtTitlePoint(title.Left + 3, title.Top + 3), amount);
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
    EXPECT_EQ(r, (themes ? TRect{9, 9, 21, 21} : TRect{10, 10, 22, 20}));
    HDC dc = grid->Canvas()->Handle();
    TDrawLog log;
    AttachDrawRecorder(dc, &log);
    grid->FillCellBackground(TRect{0, 0, 40, 20}, &params, TGridDrawState{});
    AttachDrawRecorder(dc, nullptr);
    EXPECT_EQ(log.OfKind(TDrawKind::ThemePart).size(), themes ? 1u : 0u);
  }
}

}  // namespace empty_space_test
