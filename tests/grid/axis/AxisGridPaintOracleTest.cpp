// The axis grid under the paint oracle: after each change that repaints only part of the grid
// (a field changed in one record, a scroll, an edit in place, a column hidden, the data set
// closed and opened), the window shows what a full repaint shows.
#include <functional>

#include "platform/win/WinTesting.h"
#include "tests/grid/axis/AxisGridTestSupport.h"
#include "tests/support/PaintOracle.h"

namespace {

class AxisGridPaintOracle : public AxisGridTestBase {};

TEST_F(AxisGridPaintOracle, PartialRepaintsShowWhatAFullRepaintShows) {
  std::vector<std::tuple<int, std::string, double>> rows;
  for (int i = 1; i <= 30; ++i) rows.emplace_back(i, "name " + std::to_string(i), i * 1.5);
  AddRows(rows);
  grid->SetFocus();
  test_support::TPaintOracle oracle(grid->Handle(), "axis-grid-oracle");
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"opened", [] {}},
      {"down-keys",
       [] {
         for (int i = 0; i < 3; ++i) WinTesting::KeyPress(VK_DOWN);
       }},
      // Only the cells of the changed field are repainted while the record is edited.
      {"field-changed",
       [&] {
         dataSet->Edit();
         dataSet->FieldByName("NAME")->SetAsString("a longer name here");
       }},
      {"posted", [&] { dataSet->Post(); }},
      {"scrolled", [&] { dataSet->MoveBy(12); }},
      {"edited-in-place",
       [&] {
         grid->SetCol(2);
         WinTesting::KeyPress(VK_F2);
         WinTesting::Type("77");
         WinTesting::KeyPress(VK_RETURN);
       }},
      {"column-hidden",
       [&] {
         grid->Columns()->GetAxisBar(1)->SetVisible(false);
         grid->LayoutChanged();
       }},
      {"closed", [&] { dataSet->Close(); }},
      {"reopened", [&] { dataSet->Open(); }},
  };
  for (const auto& [id, step] : steps) {
    SCOPED_TRACE(id);
    step();
    Pump();
    EXPECT_EQ(oracle.Check(), "");
  }
  EXPECT_EQ(oracle.Checks(), 9);
}

}  // namespace
