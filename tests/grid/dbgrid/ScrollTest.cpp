// The data grid's scroll bars: the vertical bar by record numbers or in five steps, external
// bars, the scroll-bar strip's layout, and what a data-set scroll leaves to repaint.
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Painting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/support/PaintOracle.h"

namespace {
class ScrollTest : public RecordingDBGridTestBase {
 protected:
  SCROLLINFO WindowBar() {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &si));
    return si;
  }
  bool StyleHas(DWORD Bit) { return (GetWindowLong(grid->Handle(), GWL_STYLE) & Bit) != 0; }
  // A bar on the form for the grid to drive.
  TScrollBar* FormBar() {
    auto* bar = new TScrollBar(form);
    bar->SetParent(form);
    return bar;
  }
  // The update region the grid has collected since its last paint.
  HRGN Pending() {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(grid->Handle(), r, FALSE);
    return r;
  }
  // Fifty records, the current one on the last visible row, all painted.
  void AtLastVisibleRow() {
    AddColumns({"ID", "NAME"});
    grid->SetFooterRowCount(1);
    AddNumberedRows(50);
    dataSet->MoveBy(grid->DataLink()->RecordCount() - 1);
    Pump();
  }
};

TEST_F(ScrollTest, TheVerticalBarShowsRecordNumbersOrFiveSteps) {
  struct Case {
    const char* name;
    bool sequenced;
    int records, moveBy;  // moveBy -1: to the last record
    TScrollBarVisibleModeEh mode;
    int min, max, pos;  // max -1: records + page - 1
    bool shown, disabled;
  };
  const Case cases[] = {
      {"numbered, first", true, 30, 0, sbAutoShowEh, 1, -1, 1, true, false},
      {"numbered, sixth", true, 30, 5, sbAutoShowEh, 1, -1, 6, true, false},
      {"numbered, last", true, 30, -1, sbAutoShowEh, 1, -1, 30, true, false},
      // One record: the range equals the page, so the bar is not needed.
      {"one record", true, 1, 0, sbAutoShowEh, 1, -1, 1, false, false},
      {"one record, always shown", true, 1, 0, sbAlwaysShowEh, 1, -1, 1, true, true},
      {"unnumbered, first", false, 30, 0, sbAutoShowEh, 0, 4, 0, true, false},
      {"unnumbered, middle", false, 30, 5, sbAutoShowEh, 0, 4, 2, true, false},
      {"unnumbered, last", false, 30, -1, sbAutoShowEh, 0, 4, 4, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    dataSet->SetSequenced(c.sequenced);
    grid->VertScrollBar()->SetVisibleMode(c.mode);
    AddNumberedRows(c.records);
    if (c.moveBy < 0)
      dataSet->Last();
    else
      dataSet->MoveBy(c.moveBy);
    Pump();
    const SCROLLINFO si = WindowBar();
    const int page = c.sequenced ? grid->VisibleRowCount() : 0;
    EXPECT_EQ(std::vector<int>({si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos}),
              std::vector<int>({c.min, c.max < 0 ? c.records + page - 1 : c.max, page, c.pos}));
    EXPECT_EQ(StyleHas(WS_VSCROLL), c.shown);
    EXPECT_EQ(grid->VertScrollBar()->IsScrollNeeded(), c.shown);
    SCROLLBARINFO info;
    GetScrollBarInfo(grid->Handle(), OBJID_VSCROLL, &info);
    if (c.shown) {
      EXPECT_EQ((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0, c.disabled);
    }
    TearDown();
  }
}

TEST_F(ScrollTest, VerticalBarActionsMoveTheRecords) {
  struct Case {
    const char* name;
    bool sequenced, tracking;
    int from;  // RecNo before
    WORD code;
    int pos, to;  // to: RecNo after
  };
  AddColumns({"ID"});
  AddNumberedRows(60);
  const int page = grid->VisibleRowCount();
  const int window = grid->DataLink()->RecordCount();
  const Case cases[] = {
      {"line down from the top: the record below the window", true, true, 1, SB_LINEDOWN, 0, window + 1},
      {"line up from the top: stays", true, true, 1, SB_LINEUP, 0, 1},
      {"page down", true, true, 3, SB_PAGEDOWN, 0, 3 + page},
      {"bottom", true, true, 3, SB_BOTTOM, 0, 60},
      {"thumb released at 25", true, true, 1, SB_THUMBPOSITION, 25, 25},
      {"thumb released at 1", true, true, 9, SB_THUMBPOSITION, 1, 1},
      {"thumb released past the end", true, true, 1, SB_THUMBPOSITION, 90, 60},
      {"thumb dragged without tracking", true, false, 1, SB_THUMBTRACK, 25, 1},
      {"five steps: released in the middle", false, true, 30, SB_THUMBPOSITION, 2, 30},
      {"five steps: one page down", false, true, 30, SB_THUMBPOSITION, 3, 30 + page},
      {"five steps: one page up", false, true, 30, SB_THUMBPOSITION, 1, 30 - page},
      {"five steps: the end", false, true, 30, SB_THUMBPOSITION, 4, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dataSet->SetSequenced(true);
    dataSet->SetRecNo(c.from);
    dataSet->SetSequenced(c.sequenced);
    grid->VertScrollBar()->SetTracking(c.tracking);
    grid->Perform(WM_VSCROLL, MAKEWPARAM(c.code, c.pos), 0);
    dataSet->SetSequenced(true);
    EXPECT_EQ(dataSet->RecNo(), c.to);
  }
}

TEST_F(ScrollTest, ExternalBarsTakeTheScrollInformation) {
  TScrollBar* vert = FormBar();
  vert->SetName("VertBar");
  vert->SetKind(sbVertical);
  AddColumns({"ID", "NAME", "AMOUNT"});
  for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetWidth(300);
  AddNumberedRows(40);
  grid->VertScrollBar()->SetExtScrollBar(vert);
  dataSet->MoveBy(9);
  Pump();
  const int page = grid->VisibleRowCount();
  EXPECT_EQ(std::vector<int>({vert->Min(), vert->Max(), vert->PageSize(), vert->Position()}),
            std::vector<int>({1, 40 + page - 1, page, 10}));
  EXPECT_TRUE(vert->Enabled());
  EXPECT_FALSE(StyleHas(WS_VSCROLL));
  EXPECT_TRUE(grid->VertScrollBar()->IsShowing());
  vert->Perform(CN_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(dataSet->RecNo(), 10 + page);
  // A bar another grid holds is refused; this grid keeps its own.
  auto* other = new TDBGridEh(form);
  other->SetParent(form);
  EXPECT_EQ(ErrorOf([&] { other->VertScrollBar()->SetExtScrollBar(vert); }),
            "Possible VertBar already attached to the other control.");
  EXPECT_EQ(grid->VertScrollBar()->ExtScrollBar(), vert);

  // The horizontal one works on 0..127 whatever the column count.
  TScrollBar* horz = FormBar();
  grid->HorzScrollBar()->SetExtScrollBar(horz);
  Pump();
  EXPECT_EQ(horz->Max(), 127);
  EXPECT_EQ(horz->Position(), 0);
  grid->Perform(WM_HSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(horz->Position(), 127);
  EXPECT_EQ(grid->ExtHorzScrollPos(), 127);
  grid->SetLeftCol(grid->FixedCols());
  EXPECT_EQ(horz->Position(), 0);

  // Its thumb names a left column on the same scale, both ends included; a track without
  // Tracking moves nothing until the thumb is released.
  const int fixed = grid->FixedCols();
  grid->Perform(WM_HSCROLL, SB_BOTTOM, 0);
  const int lastLeft = grid->LeftCol();
  ASSERT_GT(lastLeft, fixed + 1);
  grid->SetLeftCol(fixed);
  for (const int pos : {0, 64, 127}) {
    SCOPED_TRACE(pos);
    grid->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
    EXPECT_EQ(grid->LeftCol(), fixed + MulDiv(pos, lastLeft - fixed, 127));
    EXPECT_EQ(grid->ExtHorzThumbCol(grid->ExtHorzScrollPos()), grid->LeftCol());
  }
  grid->HorzScrollBar()->SetTracking(false);
  grid->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(grid->LeftCol(), lastLeft);
}

// One column wider than the view: no column can come to the left, and the scale has no span.
TEST_F(ScrollTest, TheExternalHorizontalBarStandsAtZeroWhenNoColumnCanScroll) {
  AddColumns({"ID"});
  grid->Columns()->GetColumn(0)->SetWidth(2000);
  AddNumberedRows(3);
  TScrollBar* horz = FormBar();
  grid->HorzScrollBar()->SetExtScrollBar(horz);
  Pump();
  EXPECT_EQ(grid->ColCount() - grid->FixedCols(), 1);
  EXPECT_EQ(grid->ExtHorzScrollPos(), 0);
  EXPECT_EQ(horz->Position(), 0);
}

TEST_F(ScrollTest, TheStripLaysOutItsBarsInBothDirections) {
  AddColumns({"ID", "NAME"});
  AddNumberedRows(40);
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);
  for (const bool rtl : {false, true})
    for (const TScrollBarVisibleModeEh mode : {sbAutoShowEh, sbNeverShowEh}) {
      SCOPED_TRACE(testing::Message()
                   << "right to left " << rtl << ", vertical bar " << (mode == sbAutoShowEh));
      grid->SetBiDiMode(rtl ? bdRightToLeft : bdLeftToRight);
      grid->VertScrollBar()->SetVisibleMode(mode);
      grid->HorzScrollBar()->ExtraPanel()->SetVisible(true);
      Pump();
      grid->UpdateScrollBarPanel();
      const int w = mode == sbNeverShowEh ? 0 : GetSystemMetrics(SM_CXVSCROLL);
      const int h = GetSystemMetrics(SM_CYHSCROLL);
      const int cw = grid->ClientWidth(), ch = grid->ClientHeight();
      EXPECT_EQ(grid->HorzScrollBarPanelControl()->BoundsRect(),
                (TRect{rtl ? w : 0, ch - h, (rtl ? w : 0) + cw - w, ch}));
      const int side = rtl ? 0 : cw - w;
      EXPECT_EQ(grid->VertScrollBarPanelControl()->BoundsRect(), (TRect{side, 0, side + w, ch - h}));
      EXPECT_EQ(grid->CornerScrollBarPanelControl()->BoundsRect(), (TRect{side, ch - h, side + w, ch}));
      EXPECT_TRUE(grid->HorzScrollBarPanelControl()->Visible() &&
                  grid->CornerScrollBarPanelControl()->Visible());
      grid->HorzScrollBar()->ExtraPanel()->SetVisible(false);
      grid->UpdateScrollBarPanel();
      EXPECT_EQ(grid->HorzScrollBarPanelControl()->BoundsRect(), TRect{});
      EXPECT_FALSE(grid->VertScrollBarPanelControl()->Visible());
    }
}

// A scroll by one record moves the pixels: only the uncovered row (with the line above it; the
// footer's line below it stays), the row the current record left, the indicator and the footer
// are repainted; a longer jump repaints everything.
TEST_F(ScrollTest, ADataSetScrollRepaintsOnlyWhatItUncovers) {
  AtLastVisibleRow();
  dataSet->Next();
  const int last = grid->Row();
  ASSERT_EQ(last, grid->TopDataOffset() + grid->DataLink()->RecordCount() - 1);
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  const int line = grid->GridLineWidth();
  const TRect lastRow = grid->BoxRect(0, last, grid->ColCount() - 1, last);
  std::vector<TRect> parts{
      grid->BoxRect(0, last - 1, grid->ColCount() - 1, last - 1),                         // the row it leaves
      {0, lastRow.Top - line, di.Horz.GridBoundary, lastRow.Bottom},                      // uncovered
      {0, di.Vert.FixedBoundary, grid->CellRect(0, last).Right + line, lastRow.Bottom}};  // indicator
  // The footer rows lie below the data, each with its grid line.
  for (int r = grid->RowCount(); r < grid->RowCount() + grid->ContraRowCount(); ++r) {
    const TRect first = grid->CellRect(0, r), last = grid->CellRect(grid->ColCount() - 1, r);
    parts.push_back({first.Left, first.Top, last.Right + line, first.Bottom + line});
  }
  HRGN expected = CreateRectRgn(0, 0, 0, 0), pending = Pending();
  for (const TRect& r : parts) {
    HRGN part = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(expected, expected, part, RGN_OR);
    DeleteObject(part);
  }
  EXPECT_TRUE(EqualRgn(pending, expected));
  DeleteObject(pending);
  DeleteObject(expected);
  Recorder()->cells.clear();  // the paint that follows asks only for those cells
  Pump();
  const int cols = grid->ColCount();
  EXPECT_EQ(static_cast<int>(Recorder()->cells.size()),
            (last - grid->TopRow() + 1) + 2 * (cols - 1) + grid->ContraRowCount() * cols);
  for (const TRecordedCellEh& cell : Recorder()->cells) {
    SCOPED_TRACE(testing::Message() << cell.Col << "," << cell.Row);
    EXPECT_TRUE(cell.Col == 0 || cell.Row >= last - 1);
  }
  // More than the visible rows at once: the whole grid.
  dataSet->MoveBy(grid->VisibleRowCount() + 1);
  RECT box;
  GetUpdateRect(grid->Handle(), &box, FALSE);
  EXPECT_EQ(box, grid->ClientRect());
}

// A change that waits to be painted (here a new row colour) is not lost to the narrowed
// repaint of a scroll by one record.
TEST_F(ScrollTest, ARepaintWaitingBeforeAScrollIsKept) {
  AtLastVisibleRow();
  grid->SetEvenRowColor(clYellow);
  dataSet->Next();
  RECT box;
  GetUpdateRect(grid->Handle(), &box, FALSE);
  EXPECT_EQ(box, grid->ClientRect());
}

// What a record move leaves on the screen is what a full repaint draws. The column lines
// cross over the row lines, but the line under the last record row is the footer's (without
// a footer the grid's boundary line) and crosses over the column lines: moved up among the
// records, its crossings would show there.
TEST_F(ScrollTest, ARecordMoveShowsWhatAFullRepaintShows) {
  struct Step {
    const char* name;
    int move;        // records, from where the previous step left the current one
    int activeRow;   // where the current record then shows, from the last visible row back
    int firstShown;  // the record on the first data row
  };
  for (const int footerRows : {1, 0}) {
    SCOPED_TRACE(testing::Message() << footerRows << " footer rows");
    if (footerRows == 0) {
      TearDown();
      SetUp();
    }
    AddColumns({"ID", "NAME", "AMOUNT"});
    grid->SetFooterRowCount(footerRows);
    grid->GridLineParams()->SetDataVertColor(clBlack);
    grid->GridLineParams()->SetDataHorzColor(clGray);
    AddNumberedRows(60);
    const int shown = grid->DataLink()->RecordCount();
    ASSERT_LT(2 * shown + 3, 60);
    const std::vector<Step> steps = {
        {"to the last row, no scroll", shown - 1, 0, 1},
        {"one past it", 1, 0, 2},
        {"three past it", 3, 0, 5},
        {"back within the view", -5, 5, 5},
        {"to the first row", -(shown - 6), shown - 1, 5},
        {"one before it", -1, shown - 1, 4},
        {"three before it", -3, shown - 1, 1},
        {"more than the view at once", 2 * shown + 2, 0, shown + 4},
    };
    test_support::TPaintOracle oracle(grid->Handle(), "dbgrid-record-move");
    for (const Step& step : steps) {
      SCOPED_TRACE(step.name);
      dataSet->MoveBy(step.move);
      Pump();
      ASSERT_EQ(std::tuple(shown - 1 - grid->DataLink()->ActiveRecord(),
                           dataSet->FieldByName("ID")->AsInteger() - grid->DataLink()->ActiveRecord()),
                std::tuple(step.activeRow, step.firstShown));
      EXPECT_EQ(oracle.Check(), "");
    }
  }
}

// A descendant that sizes one data row itself after every row layout.
class TTallRowDBGridEh : public TRecordingDBGridEh {
 public:
  using TRecordingDBGridEh::TRecordingDBGridEh;
  int tallRow = -1;

 protected:
  void UpdateRowsLayout() override {
    TRecordingDBGridEh::UpdateRowsLayout();
    if (tallRow >= 0 && tallRow < RowCount()) SetRowHeights(tallRow, DefaultRowHeight() + 9);
  }
};

class UnevenRowsScrollTest : public ScrollTest {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TTallRowDBGridEh(AOwner); }
};

// Rows of another height would make the moved pixels land between rows: the data area is
// repainted instead.
TEST_F(UnevenRowsScrollTest, ADataSetScrollOverUnevenRowsRepaintsTheDataArea) {
  AtLastVisibleRow();
  static_cast<TTallRowDBGridEh*>(grid)->tallRow = grid->TopRow() + 1;
  grid->SetRowHeights(grid->TopRow() + 1, grid->DefaultRowHeight() + 9);
  Pump();
  dataSet->Next();
  const int last = grid->Row();
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  HRGN pending = Pending();
  for (int y = di.Vert.FixedBoundary; y < grid->CellRect(0, last).Bottom; y += 3) {
    SCOPED_TRACE(y);
    EXPECT_TRUE(PtInRegion(pending, 50, y));
  }
  DeleteObject(pending);
}

// The empty-data notice sits in the middle of the view: a sideways scroll repaints all of it.
TEST_F(ScrollTest, ASidewaysScrollUnderTheEmptyDataNoticeRepaintsTheGrid) {
  AddColumns({"ID", "NAME"});
  grid->EmptyDataInfo()->SetActive(true);
  grid->EmptyDataInfo()->SetText("Nothing here");
  Pump();
  for (const bool empty : {true, false}) {
    SCOPED_TRACE(empty ? "empty" : "with records");
    if (!empty) AddNumberedRows(3);
    ValidateRect(grid->Handle(), nullptr);
    TGridDrawInfoEh di;
    grid->CalcDrawInfo(di);
    grid->ScrollDataInfo(-10, 0, di);
    RECT box{};
    GetUpdateRect(grid->Handle(), &box, FALSE);
    EXPECT_EQ(box == grid->ClientRect(), empty);
  }
}

}  // namespace
