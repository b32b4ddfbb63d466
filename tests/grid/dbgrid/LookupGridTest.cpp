// The lookup grid over two in-memory data sets: a list of accounts (ID, NAME) and a data side of
// postings (ACCOUNT, optionally with the lookup field ACCNAME).
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "platform/rtl/Clock.h"
#include "platform/win/Painting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/grid/dbgrid/LookupGridTestSupport.h"

namespace {

TEST_F(LookupGridTest, ResolvesFieldsAndRaisesItsThreeErrors) {
  AddNumbered(10);
  BindList();
  EXPECT_TRUE(grid->ListActive());
  EXPECT_EQ(grid->ListFieldObject()->FieldName(), "NAME");
  EXPECT_FALSE(grid->LookupMode());

  // Without list fields the key is shown; an index past the list fields means the first.
  grid->SetListField("");
  EXPECT_EQ(grid->ListFieldObject()->FieldName(), "ID");
  grid->SetListField("ID;NAME");
  grid->SetListFieldIndex(1);
  EXPECT_EQ(grid->ListFieldObject()->FieldName(), "NAME");
  grid->SetListFieldIndex(5);
  EXPECT_EQ(grid->ListFieldObject()->FieldName(), "ID");

  // A plain data field receives the key itself and gives the grid its value.
  OpenData(true, 4);
  grid->DataFieldLink()->SetDataSource(dataSource);
  grid->SetDataFieldName("ACCOUNT");
  EXPECT_FALSE(grid->LookupMode());
  EXPECT_EQ(grid->MasterFieldNames(), "ACCOUNT");
  EXPECT_EQ(Key(), 4);

  // A lookup field defines the list source, the key and the shown field.
  grid->SetListSource(nullptr);
  grid->SetDataFieldName("ACCNAME");
  EXPECT_TRUE(grid->LookupMode());
  EXPECT_EQ(grid->MasterFieldNames(), "ACCOUNT");
  EXPECT_EQ(grid->KeyField(), "ID");
  EXPECT_EQ(grid->ListSource()->DataSet(), list);
  EXPECT_EQ(grid->ListFieldObject()->FieldName(), "NAME");
  EXPECT_EQ(grid->SelectedText(), "Name 4");
  const std::string byLookup = "Property already defined by lookup field";
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { grid->SetKeyField("NAME"); }), byLookup);
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { grid->SetListField("ID"); }), byLookup);
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { grid->SetListSource(listSource); }), byLookup);

  // Back to a plain field: the lookup's list source goes.
  grid->SetDataFieldName("ACCOUNT");
  EXPECT_FALSE(grid->LookupMode());
  EXPECT_EQ(grid->ListSource(), nullptr);

  // An unknown name is refused and the previous field stays.
  EXPECT_NE(ErrorOf<EDatabaseError>([&] { grid->SetDataFieldName("NOPE"); }), "");
  EXPECT_EQ(grid->DataFieldName(), "ACCOUNT");
  EXPECT_EQ(grid->MasterFieldNames(), "ACCOUNT");

  // The list data set may not be the one that receives the key.
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { grid->SetListSource(dataSource); }),
            "Circular datalinks are not allowed");
  EXPECT_EQ(grid->ListSource(), nullptr);
  grid->DataLink()->SetDataSourceFixed(true);
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { grid->SetListSource(listSource); }),
            "Operation not allowed in a DBCtrlGrid");
}

TEST_F(LookupGridTest, KeySelectionLocatesAndWritesTheDataField) {
  AddNumbered(30);
  BindList();
  grid->SetKeyValue(Variant(17));
  EXPECT_EQ(list->RecNo(), 17);
  EXPECT_EQ(grid->SelectedText(), "Name 17");
  // A key not in the list leaves the list on its first record.
  grid->SetKeyValue(Variant(99));
  EXPECT_EQ(list->RecNo(), 1);
  // ... or on the special row, which then stands for it.
  grid->SpecRow()->SetCellsText("(none)");
  grid->SpecRow()->SetVisible(true);
  grid->SetKeyValue(Variant(98));
  EXPECT_TRUE(grid->SpecRow()->Selected());
  EXPECT_EQ(grid->SelectedText(), "(none)");

  // With a data side the chosen key goes into the data field.
  OpenData(false, 3);
  grid->DataFieldLink()->SetDataSource(dataSource);
  grid->SetDataFieldName("ACCOUNT");
  EXPECT_EQ(Key(), 3);
  EXPECT_FALSE(grid->SpecRow()->Selected());
  {
    // Moved by code inside an internal change, the list does not go back to the key.
    TDBLookupGridEh::TInternalChangeScope quiet(grid);
    list->First();
    list->MoveBy(7);
  }
  grid->SelectCurrent();
  EXPECT_EQ(data->FieldByName("ACCOUNT")->AsInteger(), 8);
  EXPECT_EQ(Key(), 8);
}

TEST_F(LookupGridTest, MovedColumnsKeepTheListFieldAndTheSpecialTexts) {
  AddNumbered(5);
  BindList();
  grid->SetListField("ID;NAME;CODE");
  grid->SetListFieldIndex(1);
  grid->SpecRow()->SetCellsText("i;n;c");
  grid->SpecRow()->SetVisible(true);
  for (const char* name : {"ID", "NAME", "CODE"}) grid->Columns()->Add()->SetFieldName(name);
  ASSERT_EQ(grid->Columns()->Count(), 3);
  ASSERT_NE(dynamic_cast<TDBLookupGridColumnEh*>(grid->Columns()->Items(0)), nullptr);
  ASSERT_TRUE(grid->ListActive());
  const struct {
    int from, to, listIndex;
    std::string cells;
  } moves[] = {{1, 0, 0, "n;i;c"}, {2, 0, 1, "c;n;i"}, {0, 2, 0, "n;i;c"}, {2, 1, 0, "n;c;i"}};
  for (const auto& m : moves) {
    SCOPED_TRACE(std::to_string(m.from) + "->" + std::to_string(m.to));
    grid->Columns()->Items(m.from)->SetIndex(m.to);
    EXPECT_EQ(grid->ListFieldIndex(), m.listIndex);
    EXPECT_EQ(grid->SpecRow()->CellsText(), m.cells);
  }
}

TEST_F(LookupGridTest, KeysMoveAroundTheSpecialRow) {
  AddNumbered(30);
  BindList();
  grid->SpecRow()->SetCellsText("(none)");
  grid->SpecRow()->SetVisible(true);
  grid->SetKeyValue(Variant(1));
  const int page = grid->VisibleDataRowCount();
  const struct {
    WORD vk;
    bool specialRow;
    int key;
  } steps[] = {{VK_UP, true, 0},     {VK_UP, true, 0},   {VK_DOWN, false, 1}, {VK_DOWN, false, 2},
               {VK_END, false, 30},  {VK_UP, false, 29}, {VK_HOME, false, 1}, {VK_NEXT, false, 1 + page},
               {VK_PRIOR, false, 1}, {VK_UP, true, 0},   {VK_RIGHT, false, 1}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    Key(steps[i].vk);
    EXPECT_EQ(grid->SpecRow()->Selected(), steps[i].specialRow);
    EXPECT_EQ(Key(), steps[i].key);
  }
}

TEST_F(LookupGridTest, AnEmptyListTakesKeysAndTypingWithoutAChoice) {
  // Left in lookup mode: the grid is freed with its own list source bound.
  OpenData(true, 2);
  grid->DataFieldLink()->SetDataSource(dataSource);
  grid->SetDataFieldName("ACCNAME");
  ASSERT_TRUE(grid->LookupMode());
  for (WORD vk : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME, VK_DOWN}) Key(vk);
  Type("ab");
  for (int code = SB_LINEUP; code <= SB_ENDSCROLL; ++code) grid->ScrollList(code, 3);
  EXPECT_EQ(data->FieldByName("ACCOUNT")->AsInteger(), 2);
  EXPECT_EQ(grid->SearchText(), "");
  // The special row stands for a key not in the list; choosing it writes its value.
  grid->SpecRow()->SetVisible(true);
  EXPECT_TRUE(grid->SpecRow()->Selected());
  Key(VK_UP);
  EXPECT_TRUE(data->FieldByName("ACCOUNT")->IsNull());
  EXPECT_TRUE(VarIsNull(grid->KeyValue()));
}

TEST_F(LookupGridTest, ClicksAndDragsTakeRows) {
  AddNumbered(30);
  BindList();
  grid->SetRowCount(5);
  grid->SetKeyValue(Variant(1));
  Pump();
  auto centre = [&](int Row) {
    const TRect r = grid->CellRect(grid->IndicatorOffset(), Row);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  auto send = [&](UINT Msg, TPoint P, WPARAM Keys) {
    grid->Perform(Msg, Keys, MAKELPARAM(P.X, P.Y));
    Pump();
  };
  const int firstRow = grid->TopDataOffset();
  for (auto [row, key] : {std::pair{2, 3}, {4, 5}, {0, 1}}) {
    SCOPED_TRACE(row);
    send(WM_LBUTTONDOWN, centre(firstRow + row), MK_LBUTTON);
    send(WM_LBUTTONUP, centre(firstRow + row), 0);
    EXPECT_EQ(Key(), key);
  }

  // Dragged below the rows the list steps on at once and then on every timer tick.
  send(WM_LBUTTONDOWN, centre(firstRow + 4), MK_LBUTTON);
  const TPoint below{centre(firstRow).X, grid->ClientHeight() + 20};
  send(WM_MOUSEMOVE, below, MK_LBUTTON);
  EXPECT_EQ(Key(), 6);
  for (int key = 7; key <= 9; ++key) {
    VirtualClock::Advance(10);
    Pump();
    EXPECT_EQ(Key(), key);
  }
  send(WM_LBUTTONUP, below, 0);
  VirtualClock::Advance(100);
  Pump();
  EXPECT_EQ(Key(), 9);

  grid->SpecRow()->SetVisible(true);
  Pump();
  send(WM_LBUTTONDOWN, centre(firstRow), MK_LBUTTON);
  send(WM_LBUTTONUP, centre(firstRow), 0);
  EXPECT_TRUE(grid->SpecRow()->Selected());
  EXPECT_EQ(Key(), 0);
}

TEST_F(LookupGridTest, TheSpecialRowPaintsItsColourOrTheHighlight) {
  AddNumbered(10);
  BindList();
  grid->SetKeyValue(Variant(1));
  grid->SpecRow()->SetColor(clLime);
  grid->SpecRow()->SetVisible(true);
  Pump();
  const TRect cell = grid->CellRect(grid->IndicatorOffset(), grid->TopDataOffset() - 1);
  auto pixel = [&] {
    grid->Invalidate();
    Pump();
    HDC dc = GetDC(grid->Handle());
    const COLORREF color = GetPixel(dc, cell.Right - 4, (cell.Top + cell.Bottom) / 2);
    ReleaseDC(grid->Handle(), dc);
    return color;
  };
  EXPECT_EQ(pixel(), static_cast<COLORREF>(ColorToRGB(clLime)));
  Key(VK_UP);
  ASSERT_TRUE(grid->SpecRow()->Selected());
  EXPECT_EQ(pixel(), static_cast<COLORREF>(ColorToRGB(clHighlight)));
}

TEST_F(LookupGridTest, TypeAheadSearchesThePrefixWithItsPauseAndLimit) {
  AddNames({"Apple", "Apricot", "banana", "Cherry", "苹果", "苹果汁", std::string(40, 'x')});
  BindList();
  const struct {
    uint32_t pause;
    std::string typed;
    std::string search;
    int key;
  } steps[] = {
      {0, "a", "a", 1},         {100, "P", "aP", 1},   {100, "r", "aPr", 2},
      {100, "z", "aPr", 2},     {2001, "B", "B", 3},   {2000, "A", "BA", 3},
      {0, "\b", "", 3},         {0, "c", "c", 4},      {2001, "苹", "苹", 5},
      {0, "果汁", "苹果汁", 6}, {2001, "\x1b", "", 6}, {0, std::string(33, 'x'), std::string(32, 'x'), 7},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    VirtualClock::Advance(steps[i].pause);
    Type(steps[i].typed);
    EXPECT_EQ(grid->SearchText(), steps[i].search);
    EXPECT_EQ(Key(), steps[i].key);
  }
}

TEST_F(LookupGridTest, ScrollCodesMoveTheListAndTheBarFollowsIt) {
  AddNumbered(50);
  BindList();
  grid->SetRowCount(5);
  Pump();
  ASSERT_EQ(grid->VisibleDataRowCount(), 5);
  // The place of the current record (IDs number the records).
  auto place = [&] { return list->FieldByName("ID")->AsInteger(); };
  for (bool sequenced : {true, false}) {
    list->SetSequenced(sequenced);
    // Records 17..21 on screen, 21 current (the last row): each code's distance from there.
    const struct {
      int code, pos, place;
    } cases[] = {{SB_LINEUP, 0, 16},
                 {SB_LINEDOWN, 0, 22},
                 {SB_PAGEUP, 0, 13},
                 {SB_PAGEDOWN, 0, 25},
                 {SB_THUMBPOSITION, 0, 1},
                 {SB_THUMBPOSITION, 1, 13},
                 {SB_THUMBPOSITION, 2, 21},
                 {SB_THUMBPOSITION, 3, 25},
                 {SB_THUMBPOSITION, 4, 50},
                 {SB_TOP, 0, 1},
                 {SB_BOTTOM, 0, 50},
                 {SB_ENDSCROLL, 0, 21},
                 {SB_THUMBTRACK, 10, sequenced ? 11 : 21},
                 {SB_THUMBTRACK, 30, sequenced ? 35 : 21},
                 {SB_THUMBTRACK, 16, 21}};
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(sequenced) + " code " + std::to_string(c.code) + " pos " +
                   std::to_string(c.pos));
      grid->SetKeyValue(Variant(21));
      {
        TDBLookupGridEh::TInternalChangeScope quiet(grid);
        list->First();
        list->MoveBy(20);
      }
      ASSERT_EQ(grid->DataLink()->ActiveRecord(), 4);
      grid->ScrollList(c.code, c.pos);
      EXPECT_EQ(place(), c.place);
      EXPECT_EQ(Key(), 21);
    }
  }

  // The bar: record numbers when sequenced, five coarse positions when not.
  const struct {
    bool sequenced;
    int moveTo;  // 0 first, -1 last, else a record
    int max, page, pos;
  } bars[] = {{true, 0, 49, 5, 0},
              {true, 21, 49, 5, 16},
              {false, 0, 4, 0, 0},
              {false, 21, 4, 0, 2},
              {false, -1, 4, 0, 4}};
  for (const auto& b : bars) {
    SCOPED_TRACE(std::to_string(b.sequenced) + " at " + std::to_string(b.moveTo));
    list->SetSequenced(b.sequenced);
    TDBLookupGridEh::TInternalChangeScope quiet(grid);
    list->First();
    if (b.moveTo > 0) list->MoveBy(b.moveTo - 1);
    if (b.moveTo < 0) {
      list->Last();
      list->Next();
    }
    grid->UpdateVertScrollBar();
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(grid->Handle(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, b.max);
    EXPECT_EQ(static_cast<int>(info.nPage), b.page);
    EXPECT_EQ(info.nPos, b.pos);
  }
  grid->SetListSource(nullptr);
  EXPECT_EQ(grid->CalcLookupScrollParams().Max, 2);
}

TEST_F(LookupGridTest, HeightFollowsTheRowCount) {
  AddNumbered(20);
  BindList();
  const struct { int asked, rows; } counts[] = {{0, 1}, {150, 100}, {4, 4}};
  for (const auto& c : counts) {
    SCOPED_TRACE(c.asked);
    grid->SetRowCount(c.asked);
    EXPECT_EQ(grid->RowCount(), c.rows);
  }
  for (bool rowLines : {false, true}) {
    SCOPED_TRACE(rowLines);
    grid->SetLookupOptions(rowLines ? TDBLookupGridEhOptions{dlgColLinesEh, dlgRowLinesEh}
                                    : TDBLookupGridEhOptions{dlgColLinesEh});
    grid->SetShowTitles(true);
    const int step = grid->GetDataRowHeight();
    // A height between whole rows snaps down to them; the grid lays out exactly those rows.
    grid->SetBounds(0, 0, 300, grid->CalcHeightForRowCount(6) + step - 1);
    Pump();
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(grid->Height(), grid->CalcHeightForRowCount(6));
    EXPECT_EQ(grid->VisibleDataRowCount(), 6);
    grid->SetShowTitles(false);
    Pump();
    EXPECT_EQ(grid->ClientHeight(), 6 * step + (rowLines ? grid->GridLineWidth() : 0));
  }
}

}  // namespace
