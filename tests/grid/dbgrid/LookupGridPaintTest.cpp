// The lookup grid's columns filling its width, the chosen row's colours without the focus and the
// typed text marked in the cells, read from the grid's painting.
#include <algorithm>
#include <utility>

#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"
#include "tests/grid/dbgrid/LookupGridTestSupport.h"

namespace {

class LookupGridPaintTest : public LookupGridTest {
 protected:
  TColumnEh* Col(int I) { return grid->Columns()->GetColumn(I); }
  // List row Row's first cell freshly painted: its colour near its right end, and the width of
  // its part painted in the mark colour RGB(255, 255, 150).
  std::pair<COLORREF, int> Paint(int Row) {
    const TRect r = grid->CellRect(0, grid->TopDataOffset() + Row);
    grid->Invalidate();
    Pump();
    HDC dc = GetDC(grid->Handle());
    TScopeExit release([&] { ReleaseDC(grid->Handle(), dc); });
    int left = r.Right, right = r.Left - 1;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (GetPixel(dc, x, y) == RGB(255, 255, 150)) left = std::min(left, x), right = std::max(right, x);
    return {GetPixel(dc, r.Right - 4, (r.Top + r.Bottom) / 2), std::max(0, right - left + 1)};
  }
};

TEST_F(LookupGridPaintTest, ColumnsFillTheWidthAndFollowTheUsersSizing) {
  AddNumbered(3);
  BindList();
  grid->SetListField("NAME;CODE");
  grid->SetShowTitles(true);
  ASSERT_EQ(grid->Columns()->Count(), 2);
  for (const int line : {1, 0}) {
    SCOPED_TRACE(line);
    grid->SetLookupOptions(line ? TDBLookupGridEhOptions{dlgColLinesEh, dlgColumnResizeEh}
                                : TDBLookupGridEhOptions{dlgColumnResizeEh});
    Col(0)->SetWidth(50);
    Col(1)->SetWidth(100);
    EXPECT_EQ(grid->GetColumnsWidth(), 150 + 2 * line);
    grid->SetClientWidth(300 + 2 * line);  // 300 pixels shared 1 : 2
    grid->SetAutoFitColWidths(true);
    EXPECT_EQ(std::tuple(Col(0)->Width(), Col(1)->Width(), grid->GetColumnsWidth()),
              std::tuple(100, 200, grid->ClientWidth()));
    grid->SetClientWidth(600 + 2 * line);
    EXPECT_EQ(std::tuple(Col(0)->Width(), Col(1)->Width()), std::tuple(200, 400));
    // The user widens the first column by 30: the second keeps its width, the grid grows.
    const TRect title = grid->CellRect(0, 0);
    const int y = (title.Top + title.Bottom) / 2;
    grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(title.Right, y));
    grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(title.Right + 30, y));
    grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(title.Right + 30, y));
    EXPECT_EQ(std::tuple(Col(0)->Width(), Col(1)->Width(), grid->ClientWidth(), grid->GetColumnsWidth()),
              std::tuple(230, 400, 630 + 2 * line, 630 + 2 * line));
    grid->SetAutoFitColWidths(false);  // the widths given, the user's included, come back
    EXPECT_EQ(std::tuple(Col(0)->Width(), Col(1)->Width()), std::tuple(230, 400));
  }
}

TEST_F(LookupGridPaintTest, TheChosenRowAndTheTypedTextPaintWithoutTheFocus) {
  AddNames({"Apple pie", "Cherry", "pie crust", "Date"});
  BindList();  // the list field's column comes with the fields
  ASSERT_FALSE(grid->Focused());
  const COLORREF window = ColorToRGB(grid->Color()), highlight = ColorToRGB(clHighlight);
  TBitmap measure;
  measure.Canvas()->Font()->Assign(Col(0)->Font());
  const int pie = measure.Canvas()->TextWidth("pie"), cherry = measure.Canvas()->TextWidth("Cherry");
  // clang-format off
  struct Case { const char* id; bool highlightFocus, specRow; int key; const char* text;
                std::pair<COLORREF, int> row0, row1, row3; int opacity3; } cases[] = {
      {"key on row 3", true, false, 4, "pie", {window, pie}, {window, 0}, {highlight, 0}, 0},
      {"key on row 1", true, false, 2, "PIE", {window, pie}, {highlight, 0}, {window, 0}, 30},
      {"no focus highlighting", false, false, 4, "Cherry", {window, 0}, {window, cherry}, {window, 0}, 30},
      {"the special row chosen", true, true, -1, "", {window, 0}, {window, 0}, {window, 0}, 30},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetOptionsEh(c.highlightFocus ? grid->OptionsEh() + dghHighlightFocus
                                        : grid->OptionsEh() - dghHighlightFocus);
    grid->SpecRow()->SetVisible(c.specRow);
    grid->SetKeyValue(c.key < 0 ? Variant::Null() : Variant(c.key));
    if (c.specRow) grid->SelectSpecRow();
    list->First();  // the list's current record does not decide
    grid->SetHighlightText(c.text);
    EXPECT_EQ(std::tuple(Paint(0), Paint(1), Paint(3)), std::tuple(c.row0, c.row1, c.row3));
    EXPECT_EQ(grid->GetCellHighlightOpacity(0, grid->TopDataOffset() + 3), c.opacity3);
  }
}

}  // namespace
