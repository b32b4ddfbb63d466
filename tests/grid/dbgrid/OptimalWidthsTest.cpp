// Optimal column widths: the test font advances 7 pixels a character and every measure keeps a
// margin of 5, so a text of n characters needs 7n + 5.
#include <gtest/gtest.h>

#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_optimal_widths_test {

constexpr int Fit(int Characters) {
  return 7 * Characters + 5;
}

// Four records; NAME's longest value has 17 characters.
class OptimalWidths : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddRows({{1, "ab", 1.5}, {2, "Longest name here", 2.5}, {3, "x", 3.5}, {4, "mid size", 4.5}});
    AddColumns({"ID", "NAME", "AMOUNT"});
    grid->OnGetCellParams = [this](TObject*, TColumnEh* Column, TFont*, TColor&, TGridDrawState) {
      if (Column != Name()) return;
      ++reads;
      if (dataSet->FieldByName("ID")->AsInteger() == failAt) throw Exception("no cell");
    };
  }
  TColumnEh* Name() { return grid->Columns()->GetColumn(1); }
  int reads = 0;
  int failAt = 0;
};

TEST_F(OptimalWidths, WidestOfTitleDataAndFooterWithinMaxWidthRestoredAfterTheWalk) {
  // The walk starts on the second record; "edit" edits it (NAME "Edited"), "fail" raises on a record.
  // clang-format off
  struct Case { const char* id; const char* caption; int maxWidth; const char* footer; bool active, edit; int fail;
                const char* error; int width, reads; } cases[] = {
    {"data widest", "N", 0, "", true, false, 0, "", Fit(17), 4},
    {"title widest", "A caption of twenty.", 0, "", true, false, 0, "", Fit(20), 4},
    {"footer widest", "N", 0, "Footer is the widest one", true, false, 0, "", Fit(24), 4},
    {"a title over MaxWidth reads no record", "A caption of twenty.", 80, "", true, false, 0, "", 80, 0},
    {"the walk ends when MaxWidth is reached", "N", 100, "", true, false, 0, "", 100, 2},
    {"MaxWidth holds for the footer too", "N", 150, "Footer is the widest one", true, false, 0, "", 150, 4},
    {"inactive: title and footer only", "Title", 0, "Sum", false, false, 0, "", Fit(5), 0},
    {"raised on the third record", "N", 0, "", true, false, 3, "no cell", 30, 3},
    {"editing: only the edited record", "N", 0, "", true, true, 0, "", Fit(6), 1}};
  // clang-format on
  grid->SetFooterRowCount(1);
  Name()->Footer()->SetValueType(fvtStaticText);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Name()->Title()->SetCaption(c.caption);
    Name()->SetMaxWidth(c.maxWidth);
    Name()->Footer()->SetValue(c.footer);
    source->SetEnabled(c.active);
    dataSet->First();
    dataSet->Next();
    if (c.edit) dataSet->Edit(), dataSet->FieldByName("NAME")->SetAsString("Edited");
    Name()->SetWidth(30);
    std::tie(reads, failAt) = std::pair(0, c.fail);
    EXPECT_EQ(ErrorOf([&] { Name()->OptimizeWidth(); }), c.error);
    EXPECT_EQ(
        std::tuple(Name()->Width(), reads, dataSet->RecNo(), dataSet->ControlsDisabled(), dataSet->State()),
        std::tuple(c.width, c.reads, 2, false, c.edit ? dsEdit : dsBrowse));
    dataSet->Cancel();
  }
}

TEST_F(OptimalWidths, DoubleClickOnATitleEdgeFitsTheClickedAndTheSelectedColumns) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  grid->SetOptionsEh(grid->OptionsEh() + dghDblClickOptimizeColWidth);
  // clang-format off
  struct Case { const char* id; TDBGridEhSelectionType selection; std::vector<int> widths; }
  cases[] = {
    {"no selection: the clicked column", gstNon, {30, Fit(17), 30}},
    {"selected columns and the clicked one", gstColumns, {Fit(2), Fit(17), 30}},
    {"everything selected", gstAll, {Fit(2), Fit(17), Fit(6)}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->Selection()->Clear();
    for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetWidth(30);
    if (c.selection == gstColumns) grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(0), false);
    if (c.selection == gstAll) grid->Selection()->SelectAll();
    Pump();
    const TRect title = grid->CellRect(2, 0);
    const LPARAM edge = MAKELPARAM(title.Right, (title.Top + title.Bottom) / 2);
    EXPECT_EQ(ErrorOf([&] { grid->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, edge); }), "");
    grid->Perform(WM_LBUTTONUP, 0, edge);
    std::vector<int> widths;
    for (int i = 0; i < 3; ++i) widths.push_back(grid->Columns()->GetColumn(i)->Width());
    EXPECT_EQ(widths, c.widths);
  }
}

}  // namespace dbgrid_optimal_widths_test
