// Data and footer row heights of a shown grid.
#include "grid/dbgrid/DBGridEhParams.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

using RowHeightsTest = DBGridTestBase;

TEST_F(RowHeightsTest, FooterRowsTakeTheirRuleHeightAtTheBottomOfTheGrid) {
  AddColumns({"ID", "NAME"});
  AddNumberedRows(50);
  TDBGridFooterParamsEh* params = grid->FooterParams();
  // Footer font size over the grid's, RowLines, RowHeight, FooterRowCount.
  const std::tuple<const char*, int, int, int, int> cases[] = {
      {"same size, bold", 0, 0, 0, 1}, {"two lines plus 4", 0, 2, 4, 1}, {"bigger font", 6, 0, 0, 2}};
  for (const auto& [id, sizeDelta, lines, extra, footers] : cases) {
    SCOPED_TRACE(id);
    grid->SetFooterRowCount(footers);
    params->SetRowLines(lines);
    params->SetRowHeight(extra);
    params->Font()->SetSize(grid->Font()->Size() + sizeDelta);
    params->Font()->SetStyle(TFontStyles{fsBold});
    Pump();
    grid->Canvas()->Font()->Assign(params->Font());
    const int wg = grid->Canvas()->TextHeight("Wg"), data = grid->DefaultDataRowHeight(),
              top = grid->TopDataOffset();
    grid->SetRowHeights(top + 1, data + 9);  // set apart, then back with the others; footers keep theirs
    grid->UpdateDataRowHeights();
    EXPECT_EQ(grid->RowHeights(top + 1), data);
    const int want = lines > 0 ? lines * wg + extra : sizeDelta ? wg + 4 : data;
    ASSERT_EQ(grid->ContraRowCount(), footers);
    for (int i = 0; i < footers; ++i) EXPECT_EQ(grid->RowHeights(grid->RowCount() + i), want);
    // At the bottom: the last footer row ends in the client area, with no room for a data row below.
    const int bottom = grid->CellRect(1, grid->GetFullRowCount() - 1).Bottom;
    EXPECT_TRUE(bottom <= grid->ClientHeight() && bottom + data > grid->ClientHeight()) << bottom;
  }
}

TEST_F(RowHeightsTest, DataRowsFitTheTallestVisibleColumnThenTheEvent) {
  AddColumns({"ID", "NAME"});
  AddRows({{1, "short", 1}, {2, "a name that wraps", 2}});
  grid->Columns()->GetColumn(1)->SetWordWrap(true);
  grid->Columns()->GetColumn(1)->SetWidth(40);
  const int def = grid->DefaultDataRowHeight();
  int added = 0;
  grid->OnGetRowHeight = [&](TCustomDBGridEh*, int& Height) { Height += added; };
  // Fitted, columns hidden, added by the event; the heights of the buffer's rows 0, 1 (-1: taller
  // than the default) and 2 (outside the buffer).
  const std::tuple<const char*, bool, bool, int, int, int> cases[] = {
      {"plain, event adds 5", false, false, 5, def + 5, def},
      {"fitted, wrapped second row", true, false, 0, def, -1},
      {"all hidden", true, true, 0, 0, 0},
      {"all hidden, event adds 7", true, true, 7, 7, 7}};
  for (const auto& [id, fit, hidden, add, first, second] : cases) {
    SCOPED_TRACE(id);
    grid->SetOptionsEh(fit ? grid->OptionsEh() + dghAutoFitRowHeight
                           : grid->OptionsEh() - dghAutoFitRowHeight);
    for (int i = 0; i < 2; ++i) grid->Columns()->GetColumn(i)->SetVisible(!hidden);
    added = add;
    const int got = grid->GetDataRowHeightByIndex(1);
    EXPECT_EQ(std::make_tuple(grid->CalcDataRowHeight(), grid->GetDataRowHeightByIndex(2),
                              grid->DataLink()->ActiveRecord()),
              std::make_tuple(first, def, 0));
    EXPECT_TRUE(second < 0 ? got > def : got == second) << got;
  }
}
