// The data grid over an in-memory table it reads through the table's interface: the rows it
// scrolls itself, the row-read bracket, the current row following the table, taking and letting
// go of the interface, and the table's notices.
#include <functional>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Remembers what the grid asks it to fetch.
class TRequestRecordingTableEh : public TMemoryDataSetEh {
 public:
  using TMemoryDataSetEh::TMemoryDataSetEh;
  void RequestRows(int Count) override { requested.push_back(Count); }
  std::vector<int> requested;
};

// Lets a test refuse the interface and see the search filter item.
class TDataIntfGridEh : public TDBGridEh {
 public:
  using TDBGridEh::searchFilterItem_;
  using TDBGridEh::TDBGridEh;
  using TDBGridEh::useDataIntf_;
};

constexpr int kMark = 41;  // a row height no row has by itself

// 100 records "Row 1" .. "Row 100" in a table the grid reads through its interface.
class DataIntfRowsTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TDataIntfGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    table = new TRequestRecordingTableEh(form);
    table->FieldDefs()->Add("ID", ftInteger);
    table->FieldDefs()->Add("NAME", ftString, 20);
    table->CreateDataSet();
    for (int i = 1; i <= 100; ++i) table->AppendRecord({Variant(i), Variant("Row " + IntToStr(i))});
    table->First();
    AddColumns({"ID", "NAME"});
    source->SetDataSet(table);
    Pump();
  }
  TDataIntfGridEh* Grid() { return static_cast<TDataIntfGridEh*>(grid); }
  int Titles() { return grid->TopDataOffset(); }
  // The data row holding the marked height; -1 when none does.
  int MarkedRow() {
    for (int r = Titles(); r < grid->RowCount(); ++r)
      if (grid->RowHeights(r) == kMark) return r - Titles();
    return -1;
  }
  SCROLLINFO Bar() {
    SCROLLINFO si{};
    si.fMask = SIF_ALL;
    grid->VertScrollBar()->GetScrollInfo(si);
    return si;
  }

  TRequestRecordingTableEh* table = nullptr;
};

TEST_F(DataIntfRowsTest, ScrollCodesMoveTheRowsByThemselvesAndTheBarFollows) {
  ASSERT_TRUE(grid->ScrollsOwnRows());
  ASSERT_EQ(grid->RowCount(), Titles() + 100);
  grid->VertScrollBar()->SetTracking(false);
  const int first = grid->FixedRows();
  const int page = grid->VisibleRowCount() - 1;
  const int last = grid->ClampTopRow(grid->RowCount(), true);
  // clang-format off
  struct { const char* id; int code, from, thumb, to; } cases[] = {
    {"line down", SB_LINEDOWN, 0, 0, 1}, {"line up at the top", SB_LINEUP, 0, 0, 0},
    {"page down", SB_PAGEDOWN, 0, 0, page}, {"page up", SB_PAGEUP, page + 3, 0, 3},
    {"bottom", SB_BOTTOM, 0, 0, last - first}, {"line down at the bottom", SB_LINEDOWN, last - first, 0, last - first},
    {"top", SB_TOP, 50, 0, 0}, {"thumb released", SB_THUMBPOSITION, 0, 40, 39},
    {"thumb dragged without tracking", SB_THUMBTRACK, 0, 40, 0}, {"end of scrolling", SB_ENDSCROLL, 5, 0, 5}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetTopRow(first + c.from);
    SCROLLINFO thumb{};
    thumb.cbSize = sizeof(SCROLLINFO);
    thumb.fMask = SIF_POS;
    thumb.nPos = c.thumb;
    if (c.thumb) SetScrollInfo(grid->Handle(), SB_VERT, &thumb, FALSE);
    grid->Perform(WM_VSCROLL, MAKEWPARAM(c.code, 0), 0);
    EXPECT_EQ(grid->TopRow() - first, c.to);
    const SCROLLINFO bar = Bar();
    EXPECT_EQ(std::tuple(bar.nMin, bar.nMax, bar.nPos, static_cast<int>(bar.nPage)),
              std::tuple(1, 100, c.to + 1, page + 1));
  }
  // A wheel notch moves the view, and the bar with it.
  grid->SetTopRow(first);
  grid->Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(std::tuple(grid->TopRow() - first, Bar().nPos), std::tuple(1, 2));
  // A view lower than one row still pages by one row.
  grid->SetAlign(alNone);
  grid->SetHeight(grid->RowHeights(0) + 5);
  grid->SetTopRow(first + 10);
  for (auto [code, to] : {std::pair(SB_PAGEDOWN, 11), std::pair(SB_PAGEUP, 10)}) {
    grid->Perform(WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    EXPECT_EQ(grid->TopRow() - first, to);
  }
}

TEST_F(DataIntfRowsTest, TheRowReadBracketPositionsTheTableAndAlwaysLetsGo) {
  table->SetRecNo(3);
  {
    TCustomDBGridEh::TRowReadScope read(grid, 7);
    EXPECT_EQ(std::tuple(table->GetRowIndex(), table->FieldByName("ID")->AsInteger()), std::tuple(7, 8));
  }
  EXPECT_NE(ErrorOf([&] { TCustomDBGridEh::TRowReadScope read(grid, 100); }), "");
  EXPECT_EQ(std::tuple(table->GetRowIndex(), grid->GetDataRowCount(), grid->GetReadFlatNode()),
            std::tuple(2, 100, nullptr));
  // Without an interface the data link's record window is read.
  Grid()->useDataIntf_ = false;
  grid->RefreshDataInterface();
  const int active = grid->DataLink()->ActiveRecord();
  grid->EnterRowRead(active + 1);
  EXPECT_EQ(table->FieldByName("ID")->AsInteger(), 4);
  grid->LeaveRowRead();
  EXPECT_EQ(grid->DataLink()->ActiveRecord(), active);
}

TEST_F(DataIntfRowsTest, TheCurrentRowFollowsTheTablesCurrentRecord) {
  for (int recNo : {1, 60, 100, 2}) {
    SCOPED_TRACE(recNo);
    table->SetRecNo(recNo);
    EXPECT_EQ(grid->Row(), Titles() + recNo - 1);
    EXPECT_EQ(std::pair(grid->IsCurrentRecordRow(recNo - 1), grid->IsCurrentRecordRow(recNo % 100)),
              std::pair(true, false));
    EXPECT_LE(grid->TopRow(), grid->Row());
    EXPECT_GE(grid->TopRow() + grid->VisibleRowCount(), grid->Row() + 1);
  }
  // No record at all: one empty row, current.
  table->EmptyDataSet();
  Pump();
  EXPECT_EQ(std::tuple(grid->RowCount(), grid->Row(), grid->IsCurrentRecordRow(0)),
            std::tuple(Titles() + 1, grid->FixedRows(), false));
}

TEST_F(DataIntfRowsTest, EachNoticeOfTheTableMovesOnlyTheRowsItConcerns) {
  auto post = [this](int RecNo, const char* Field, Variant Value) {
    table->SetRecNo(RecNo);
    table->Edit();
    table->FieldByName(Field)->SetValue(Value);
    table->Post();
  };
  // clang-format off
  struct { const char* id; int markAt; std::function<void()> act; int rows, marked; } steps[] = {
    {"inserted at the front", 0, [&] { table->First(); table->Insert(); table->FieldByName("ID")->SetAsInteger(0); table->Post(); }, 101, 1},
    {"changed", 2, [&] { post(3, "NAME", Variant("changed")); }, 101, -1},
    {"deleted", 5, [&] { table->SetRecNo(1); table->Delete(); }, 100, 4},
    {"sorted: reloaded", 5, [&] { table->SetIndexFieldNames("ID"); }, 100, -1},
    {"moved to the end", 0, [&] { post(1, "ID", Variant(1000)); }, 100, 99},
    {"suspended", 3, [&] { table->BeginUpdate(); grid->MemTableRecordsChanged(mtcRecordDeleted, 0); table->EndUpdate(); }, 100, 3},
    {"the last but one deleted", 0, [&] { while (table->RecordCount() > 1) table->Delete(); }, 1, 0},
    {"the last deleted", 0, [&] { table->Delete(); }, 1, 0}};
  // clang-format on
  for (const auto& s : steps) {
    SCOPED_TRACE(s.id);
    grid->UpdateDataRowHeights();
    grid->SetRowHeights(Titles() + s.markAt, kMark);
    s.act();
    EXPECT_EQ(std::pair(grid->RowCount() - Titles(), MarkedRow()), std::pair(s.rows, s.marked));
  }
}

TEST_F(DataIntfRowsTest, TakingTheInterfaceRegistersTheGridAndLettingGoRemovesItsSearchFilter) {
  grid->ApplySearchFilter("Row 1");
  ASSERT_NE(Grid()->searchFilterItem_, 0);
  EXPECT_EQ(std::pair(table->RecordCount(), grid->RowCount() - Titles()), std::pair(12, 12));
  Grid()->useDataIntf_ = false;
  grid->RefreshDataInterface();
  table->ApplyFilterItems();
  EXPECT_EQ(std::tuple(grid->DataIntf(), Grid()->searchFilterItem_, table->RecordCount()),
            std::tuple(nullptr, 0, 100));
  Grid()->useDataIntf_ = true;
  grid->RefreshDataInterface();
  table->Last();
  table->Delete();
  EXPECT_EQ(std::pair(grid->DataIntf(), grid->RowCount() - Titles()),
            std::pair(static_cast<IMemTableEh*>(table), 99));
  // A table freed while closed, and a grid freed while registered, leave nothing behind.
  table->Close();
  delete table;
  EXPECT_EQ(grid->DataIntf(), nullptr);
  auto* other = new TMemoryDataSetEh(form);
  other->FieldDefs()->Add("ID", ftInteger);
  other->CreateDataSet();
  source->SetDataSet(other);
  ASSERT_EQ(grid->DataIntf(), static_cast<IMemTableEh*>(other));
  delete grid;
  grid = nullptr;
  other->AppendRecord({Variant(1)});
  EXPECT_EQ(other->RecordCount(), 1);
}

TEST_F(DataIntfRowsTest, TheTableIsAskedForARowOnceTheLastRowShows) {
  table->requested.clear();
  grid->RequestRowsToFillView();
  grid->Perform(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  grid->RequestRowsToFillView();
  EXPECT_EQ(table->requested, std::vector<int>{1});
}

}  // namespace
