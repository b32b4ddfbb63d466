// The data grid's cells: classification, delete confirmation, the group-footer value menu, the
// keyboard context menu, width write-back, column moves, data changes and the indicator width.
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

using DBGridCells = DBGridTestBase;

// Every band combination: each grid row's band and index as "T0" (title), "S0" (filter row
// under the title), "D0" (data), "F0" (footer); then the row past the last one. Row -1 counts
// as a title row whatever the bands. Three records, three columns.
TEST_F(DBGridCells, CellTypesForEveryBandCombination) {
  AddNumberedRows(3);
  struct Case {
    bool titles, filterVisible;
    TSTFilterLocationEh location;
    bool indicator;
    int footers;
    const char* rows;
    const char* beyond;
  };
  const Case cases[] = {
      {true, false, stflUnderTitleFilterEh, true, 0, "T0 D0 D1 D2", "F0"},
      {true, true, stflUnderTitleFilterEh, true, 1, "T0 S0 D0 D1 D2 F0", "F1"},
      {true, true, stflInTitleFilterEh, false, 2, "T0 D0 D1 D2 F0 F1", "F2"},
      {false, true, stflUnderTitleFilterEh, false, 2, "S0 D0 D1 D2 F0 F1", "F2"},
      {false, false, stflUnderTitleFilterEh, true, 1, "D0 D1 D2 F0", "F1"},
      {false, true, stflInTitleFilterEh, true, 0, "D0 D1 D2", "F0"},
  };
  auto describe = [](TCustomDBGridEh* G, int Col, int Row, int& AreaCol) -> std::string {
    int areaRow = -5;
    AreaCol = -5;
    const TCellAreaTypeEh type = G->GetCellType(Col, Row, AreaCol, areaRow);
    const char* band = type.VertType == vctTitleEh      ? "T"
                       : type.VertType == vctSubTitleEh ? "S"
                       : type.VertType == vctDataEh     ? "D"
                       : type.VertType == vctFooterEh   ? "F"
                                                        : "?";
    return band + std::to_string(areaRow);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    auto* g = new TDBGridEh(form);
    TScopeExit freeGrid([g] { delete g; });
    g->SetParent(form);
    g->SetBounds(0, 0, 400, 300);
    TDBGridOptions options = g->Options();
    c.titles ? options.Include(dgTitles) : options.Exclude(dgTitles);
    c.indicator ? options.Include(dgIndicator) : options.Exclude(dgIndicator);
    g->SetOptions(options);
    g->STFilter()->SetLocation(c.location);
    g->SetFooterRowCount(c.footers);
    for (const char* name : {"ID", "NAME", "AMOUNT"}) g->Columns()->Add()->SetFieldName(name);
    g->SetDataSource(source);
    Pump();
    g->STFilter()->SetVisible(c.filterVisible);
    const int offset = c.indicator ? 1 : 0;
    EXPECT_EQ(g->IndicatorOffset(), offset);
    EXPECT_EQ(g->TopDataOffset(),
              (c.titles ? 1 : 0) + (c.filterVisible && c.location == stflUnderTitleFilterEh));
    std::string rows;
    int areaCol = 0;
    for (int row = 0; row < g->GetFullRowCount(); ++row) {
      rows += (row ? " " : "") + describe(g, offset, row, areaCol);
      EXPECT_EQ(areaCol, 0);
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(describe(g, offset + 2, g->GetFullRowCount(), areaCol), c.beyond);
    EXPECT_EQ(describe(g, offset + 2, -1, areaCol), "T-1");
    // Across: the indicator column keeps its index, data columns count from the first one.
    for (int col = 0; col < 3 + offset; ++col) {
      int area = -5, areaRow = -5;
      EXPECT_EQ(g->GetCellType(col, g->TopDataOffset(), area, areaRow).HorzType,
                col < offset ? hctIndicatorEh : hctDataEh);
      EXPECT_EQ(area, col < offset ? col : col - offset) << col;
    }
  }
}

TEST_F(DBGridCells, ConfirmDeleteAsksWithTheSelectionsText) {
  AddNumberedRows(3);
  struct Case {
    bool confirm;
    int selected;
    int key;  // the key that answers the box
    const char* text;
    bool result;
  };
  const Case cases[] = {
      {true, 0, VK_RETURN, "Delete record?", true},
      {true, 1, VK_ESCAPE, "Delete record?", false},
      {true, 2, VK_RETURN, "Delete all selected records?", true},
      {false, 2, 0, nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    TDBGridOptions options = grid->Options();
    c.confirm ? options.Include(dgConfirmDelete) : options.Exclude(dgConfirmDelete);
    grid->SetOptions(options);
    grid->SelectedRows()->Clear();
    dataSet->First();
    for (int i = 0; i < c.selected; ++i, dataSet->Next()) grid->SelectedRows()->SetCurrentRowSelected(true);
    ASSERT_EQ(grid->SelectedRows()->Count(), c.selected);
    grid->SetFocus();
    std::string shown;
    if (c.key)
      WinTesting::Schedule([&] {
        auto* dialog = dynamic_cast<TMessageForm*>(FindControl(GetActiveWindow()));
        ASSERT_NE(dialog, nullptr);
        if (auto* label = dynamic_cast<TLabel*>(dialog->FindComponent("Message"))) shown = label->Caption();
        WinTesting::KeyPress(c.key);
      });
    EXPECT_EQ(grid->ConfirmDelete(), c.result);
    EXPECT_EQ(WinTesting::ScheduledSteps(), 0u);
    EXPECT_EQ(shown, c.text ? c.text : "");
    EXPECT_EQ(GetFocus(), grid->Handle());
  }
}

TEST_F(DBGridCells, GroupFooterMenuOffersTheFieldsValueTypes) {
  AddNumberedRows(2);
  AddColumns({"NAME", "AMOUNT", "PAID", ""});
  TGridDataGroupFooterEh* footer = grid->DataGrouping()->Footers()->Add();
  auto itemOf = [&](int ColumnIndex) -> TGridDataGroupFooterColumnItemEh* {
    TColumnEh* column = grid->Columns()->GetColumn(ColumnIndex);
    for (int i = 0; i < footer->ColumnItems()->Count(); ++i)
      if (footer->ColumnItems()->Items(i)->Column() == column) return footer->ColumnItems()->Items(i);
    return nullptr;
  };
  using V = std::vector<std::string>;
  // Each entry as caption=value type.
  const std::pair<int, V> cases[] = {
      {0, V{"Max=4", "Min=5", "Count=3", "(Empty)=0"}},
      {1, V{"Sum=1", "Max=4", "Min=5", "Count=3", "Average=2", "(Empty)=0"}},
      {2, V{"Sum=1", "Max=4", "Min=5", "Count=3", "(Empty)=0"}},
      {3, V{"(Empty)=0"}},
  };
  for (const auto& [column, entries] : cases) {
    SCOPED_TRACE(column);
    TGridDataGroupFooterColumnItemEh* item = itemOf(column);
    ASSERT_NE(item, nullptr);
    grid->BuildGroupFooterMenu(item);
    TPopupMenu* menu = grid->GroupFooterMenu();
    V seen;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      auto* entry = dynamic_cast<TDBGridEhMenuItem*>(menu->Items()->Items(i));
      ASSERT_TRUE(entry && entry->Grid == grid && entry->FooterColumnItem == item);
      seen.push_back(entry->Caption() + "=" + std::to_string(entry->Tag()));
    }
    EXPECT_EQ(seen, entries);
    // Choosing an entry sets the item's value type; the last entry empties it again.
    grid->GroupFooterMenuItemClick(menu->Items()->Items(0));
    EXPECT_EQ(static_cast<int>(item->ValueType()), menu->Items()->Items(0)->Tag());
    grid->GroupFooterMenuItemClick(menu->Items()->Items(menu->Items()->Count() - 1));
    EXPECT_EQ(item->ValueType(), gfvNonEh);
  }
}

TEST_F(DBGridCells, ContextMenuFromTheKeyboardPopsUpAtTheCurrentCellsCentre) {
  AddNumberedRows(3);
  AddColumns({"ID", "NAME"});
  auto* columnMenu = new TPopupMenu(form);
  auto* titleMenu = new TPopupMenu(form);
  for (TPopupMenu* menu : {columnMenu, titleMenu}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption("Copy");
    menu->Items()->Add(item);
  }
  grid->Columns()->GetColumn(1)->SetPopupMenu(columnMenu);
  grid->Columns()->GetColumn(1)->Title()->SetPopupMenu(titleMenu);
  for (int row : {1, 2}) {
    SCOPED_TRACE(row);
    grid->FocusCell(2, row, true);
    const TRect r = grid->CellRect(2, row);
    Pump();
    WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
    bool handled = false;
    grid->DoContextPopup(TPoint{-1, -1}, handled);
    EXPECT_EQ(WinTesting::ScheduledSteps(), 0u);
    EXPECT_TRUE(handled);
    EXPECT_EQ(columnMenu->PopupPoint(),
              grid->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
    EXPECT_EQ(columnMenu->PopupComponent(), grid);
  }
  // The title row takes the title's menu; a mouse point picks the cell under it.
  const TRect title = grid->CellRect(2, 0);
  const TPoint at{title.Left + 3, title.Top + 3};
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  bool handled = false;
  grid->DoContextPopup(at, handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(titleMenu->PopupPoint(), grid->ClientToScreen(at));
  // Without AutoPopup nothing pops up.
  columnMenu->SetAutoPopup(false);
  handled = false;
  grid->DoContextPopup(TPoint{-1, -1}, handled);
  EXPECT_FALSE(handled);
  EXPECT_EQ(WinTesting::ScheduledSteps(), 0u);
}

TEST_F(DBGridCells, AutoFitResizeTakesFromTheColumnsToTheRightInProportion) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "AMOUNT"});
  grid->SetAutoFitColWidths(true);
  Pump();
  auto widths = [&](bool Init) {
    std::vector<int> w;
    for (int i = 0; i < 3; ++i)
      w.push_back(Init ? grid->Columns()->GetColumn(i)->InitWidth() : grid->Columns()->GetColumn(i)->Width());
    return w;
  };
  int fired = 0;
  grid->OnColWidthsChanged = [&](TObject*) { ++fired; };
  auto sum = [](const std::vector<int>& w) { return w[0] + w[1] + w[2]; };
  struct Case {
    int column, grow;
  };
  // A column gives its change to the columns to its right in proportion; the last column has
  // none and takes nothing: its fitting base alone changes and the fit shares the width out.
  const Case cases[] = {{0, 30}, {1, -12}, {2, 20}, {2, -20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.column << " " << c.grow);
    const std::vector<int> before = widths(false);
    fired = 0;
    const int raw = grid->DataToRawColumn(c.column);
    grid->SetColWidths(raw, grid->ColWidths(raw) + c.grow);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(sum(widths(false)), sum(before));
    std::vector<int> expected = before;
    expected[c.column] += c.grow;
    int rest = 0;
    for (int i = c.column + 1; i < 3; ++i) rest += before[i];
    int remaining = c.grow;
    for (int i = c.column + 1; i < 3; ++i) {
      const int share = remaining * before[i] / rest;
      expected[i] -= share;
      remaining -= share;
      rest -= before[i];
    }
    EXPECT_EQ(widths(true), expected);
    if (c.column < 2) {
      EXPECT_EQ(widths(false), expected);
    }
  }
}

TEST_F(DBGridCells, ColumnMovedMovesTheColumnAndFiresTheEvent) {
  AddNumberedRows(2);
  using V = std::vector<std::string>;
  struct Case {
    int hidden;    // Columns index of a hidden column, or -1
    int from, to;  // grid columns
    int eventFrom, eventTo;
    V order;
  };
  // Grid columns show the visible columns: a hidden column has no grid column.
  const Case cases[] = {{-1, 1, 3, 0, 2, V{"NAME", "AMOUNT", "ID"}},
                        {0, 1, 2, 1, 2, V{"ID", "AMOUNT", "NAME"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hidden);
    grid->Columns()->Clear();
    AddColumns({"ID", "NAME", "AMOUNT"});
    if (c.hidden >= 0) grid->Columns()->GetColumn(c.hidden)->SetVisible(false);
    Pump();
    std::vector<std::tuple<TObject*, int, int>> moves;
    grid->OnColumnMoved = [&](TObject* Sender, int From, int To) { moves.emplace_back(Sender, From, To); };
    grid->MoveColumn(c.from, c.to);
    EXPECT_EQ(moves, (std::vector{std::make_tuple(static_cast<TObject*>(grid), c.eventFrom, c.eventTo)}));
    V order;
    for (int i = 0; i < 3; ++i) order.push_back(grid->Columns()->GetColumn(i)->FieldName());
    EXPECT_EQ(order, c.order);
  }
}

TEST_F(DBGridCells, DataChangedDropsTheBookmarksOfDeletedRows) {
  AddNumberedRows(4);
  for (int i = 0; i < 4; ++i, dataSet->Next()) grid->SelectedRows()->SetCurrentRowSelected(true);
  ASSERT_EQ(grid->SelectedRows()->Count(), 4);
  dataSet->First();
  dataSet->Next();
  const TBookmark gone = dataSet->Bookmark();
  dataSet->Delete();
  Pump();
  EXPECT_EQ(grid->SelectedRows()->Count(), 3);
  EXPECT_LT(grid->SelectedRows()->IndexOf(gone), 0);
  // While a record is being edited, the list is left as it is.
  dataSet->Edit();
  grid->DataChanged();
  EXPECT_EQ(grid->SelectedRows()->Count(), 3);
  dataSet->Cancel();
}

TEST_F(DBGridCells, IndicatorWidthFromTheIndicatorAndCheckBoxes) {
  TFont smaller;
  smaller.Assign(grid->Font());
  smaller.SetSize(smaller.Size() - 1);
  grid->Canvas()->Font()->Assign(&smaller);
  const int checkBoxes = grid->Canvas()->TextWidth("0") + DefaultCheckBoxWidth();
  struct Case {
    bool indicator, checkBoxes;
    int width;
  };
  const Case cases[] = {
      {true, false, 11}, {false, false, 0}, {true, true, 11 + checkBoxes}, {false, true, checkBoxes}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.indicator << c.checkBoxes);
    TDBGridOptions options = grid->Options();
    c.indicator ? options.Include(dgIndicator) : options.Exclude(dgIndicator);
    grid->SetOptions(options);
    // The row indicator bit mirrors dgIndicator.
    TDBGridEhIndicatorOptions indicatorOptions = grid->IndicatorOptions();
    c.checkBoxes ? indicatorOptions.Include(gioShowRowselCheckboxesEh)
                 : indicatorOptions.Exclude(gioShowRowselCheckboxesEh);
    grid->SetIndicatorOptions(indicatorOptions);
    EXPECT_EQ(grid->CalcIndicatorColWidth(), c.width);
    grid->UpdateIndicatorColWidth();
    EXPECT_FALSE(grid->UpdateIndicatorColWidth());  // no change the second time
  }
}

}  // namespace
