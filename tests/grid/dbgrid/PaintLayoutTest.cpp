// The data grid's paint preparation, empty-data notice, line rules, title heights, widths, row
// sizing and right-to-left canvas.
#include <functional>
#include <set>

#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Opens the paint pass's state and the row-sizing state to the tests.
class TProbeGrid : public TRecordingDBGridEh {
 public:
  using TRecordingDBGridEh::TRecordingDBGridEh;
  std::vector<std::vector<uint8_t>>& DuplicateFlags() { return duplicateFlags_; }
  THeadTreeNode* HeadTree() { return headTree_.get(); }
  // A row of its own height under the title, standing in for the filter row (whose height
  // the layout cannot ask yet).
  int GetSubtitleRowCount() override { return underTitleHeight > 0 && !inRowsLayout ? 1 : 0; }
  void UpdateRowsLayout() override {
    inRowsLayout = true;
    TRecordingDBGridEh::UpdateRowsLayout();
    inRowsLayout = false;
    if (underTitleHeight == 0) return;
    SetFixedRows(2);
    SetRowHeights(1, underTitleHeight);
  }
  bool inRowsLayout = false;
  int underTitleHeight = 0;
  // As the mouse does: the row border dragged from the remembered data row height.
  void SizeRow(int ARow, int Height) {
    gridState_ = gsRowSizing;
    sizingRowHeight_ = RowHeights(ARow);
    SetRowHeights(ARow, Height);
  }
};

class PaintLayoutTest : public RecordingDBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TProbeGrid(AOwner); }
  TProbeGrid* Probe() const { return static_cast<TProbeGrid*>(grid); }
  void SetUp() override {
    RecordingDBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    AddNumberedRows(5);
  }
  // Paints the grid into a recorded bitmap.
  TDrawLog PaintRecorded() {
    TBitmap bmp;
    bmp.SetSize(grid->ClientWidth(), grid->ClientHeight());
    HDC dc = bmp.Canvas()->Handle();
    TDrawLog log;
    AttachDrawRecorder(dc, &log);
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
    return log;
  }
  void Footer(TColor Horz, TColor Vert) {
    grid->SetFooterRowCount(1);
    grid->FooterParams()->SetHorzLineColor(Horz);
    grid->FooterParams()->SetVertLineColor(Vert);
  }
  int TextHeight(TFont* Font) {
    grid->Canvas()->Font()->Assign(Font);
    return grid->Canvas()->TextHeight("Wg");
  }
};

TEST_F(PaintLayoutTest, PaintAsksEveryShownCellOnceAndPreparesThePass) {
  grid->Columns()->GetColumn(1)->SetHideDuplicates(true);
  Probe()->HeadTree()->Drawed = true;
  const std::vector<TRecordedCellEh>& cells = Repaint();
  EXPECT_TRUE(handlerErrors.empty());
  ASSERT_EQ(cells.size(), 4u * 6u);  // indicator and three columns; title and five rows
  std::set<std::pair<int, int>> seen;
  for (const TRecordedCellEh& c : cells) EXPECT_TRUE(seen.insert({c.Col, c.Row}).second);
  const TRecordedCellEh* title = Recorder()->Find(0, 0);
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->CellType, (TCellAreaTypeEh{hctIndicatorEh, vctTitleEh}));
  const TRecordedCellEh* data = Recorder()->Find(2, 3);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->CellType, (TCellAreaTypeEh{hctDataEh, vctDataEh}));
  EXPECT_EQ(data->AreaCol, 1);
  EXPECT_EQ(data->AreaRow, 2);
  EXPECT_FALSE(Probe()->HeadTree()->Drawed);
  ASSERT_EQ(Probe()->DuplicateFlags().size(), 3u);
  for (const auto& flags : Probe()->DuplicateFlags())
    EXPECT_EQ(flags, std::vector<uint8_t>(static_cast<size_t>(grid->VisibleDataRowCount() + 2), 0));
}

TEST_F(PaintLayoutTest, EmptyDataNoticeOnlyOverAnOpenEmptyDataSet) {
  struct Case {
    const char* note;
    bool active;
    bool empty;
    size_t notices;
  } cases[] = {{"with rows", true, false, 0}, {"active, empty", true, true, 1}, {"inactive", false, true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    if (c.empty)
      while (!dataSet->IsEmpty()) dataSet->Delete();
    grid->EmptyDataInfo()->SetText("Nothing here");
    grid->EmptyDataInfo()->SetActive(c.active);
    Pump();
    size_t notices = 0;
    for (const TDrawCall* t : PaintRecorded().OfKind(TDrawKind::Text)) notices += t->Text == "Nothing here";
    EXPECT_EQ(notices, c.notices);
    EXPECT_TRUE(handlerErrors.empty());
  }
}

TEST_F(PaintLayoutTest, LineRulesPerBandAndBoundary) {
  auto lines = [this] { return grid->GridLineParams(); };
  const TColor bright = lines()->GetBrightColor();
  const int lastData = grid->RowCount() - 1;  // row 5
  struct Case {
    const char* note;
    std::function<void()> setup;
    int col, row, side;
    bool visible;
    TColor color;  // clDefault: not checked
  } cases[] = {
      {"data horizontal takes the bright colour", [] {}, 2, 2, lsBottomLineEh, true, bright},
      {"data vertical own colour", [&] { lines()->SetDataVertColor(clBlue); }, 2, 2, lsRightLineEh, true,
       clBlue},
      {"data vertical lines off", [&] { lines()->SetDataVertLines(false); }, 2, 2, lsRightLineEh, false,
       clNone},
      {"zero-width column", [&] { grid->SetColWidths(2, 0); }, 2, 2, lsLeftLineEh, false, clDefault},
      {"title horizontal", [&] { grid->TitleParams()->SetHorzLineColor(clRed); }, 1, 0, lsBottomLineEh, true,
       clRed},
      {"title filled: data column", [&] { grid->TitleParams()->SetBorderInFillStyle(true); }, 1, 0,
       lsRightLineEh, false, clDefault},
      {"title filled: indicator vertical", [&] { grid->TitleParams()->SetBorderInFillStyle(true); }, 0, 0,
       lsRightLineEh, true, bright},
      {"multi-title hides data title verticals", [&] { grid->TitleParams()->SetMultiTitle(true); }, 1, 0,
       lsRightLineEh, false, clDefault},
      {"indicator own vertical colour", [&] { grid->IndicatorParams()->SetVertLineColor(clRed); }, 0, 2,
       lsRightLineEh, true, clRed},
      {"indicator lines off", [&] { grid->IndicatorParams()->SetHorzLines(false); }, 0, 2, lsBottomLineEh,
       false, clDefault},
      {"frozen edge", [&] { grid->SetFrozenCols(1); }, 1, 2, lsRightLineEh, true, bright},
      {"bottom boundary",
       [&] {
         lines()->SetGridBoundaries(true);
         lines()->SetVertEmptySpaceStyle(dessNonEh);
         lines()->SetDataBoundaryColor(clRed);
       },
       2, lastData, lsBottomLineEh, true, clRed},
      {"bottom boundary hidden by clNone",
       [&] {
         lines()->SetGridBoundaries(true);
         lines()->SetVertEmptySpaceStyle(dessNonEh);
         lines()->SetDataBoundaryColor(clNone);
       },
       2, lastData, lsBottomLineEh, false, clNone},
      {"no bottom boundary over empty space",
       [&] {
         lines()->SetGridBoundaries(true);
         lines()->SetDataBoundaryColor(clRed);
       },
       2, lastData, lsBottomLineEh, true, bright},
      {"right boundary with default colours", [&] { lines()->SetGridBoundaries(true); }, 3, 2, lsRightLineEh,
       true, bright},
      {"right boundary of equal colours",
       [&] {
         lines()->SetGridBoundaries(true);
         lines()->SetDataVertColor(clGreen);
         lines()->SetDataHorzColor(clGreen);
       },
       3, 2, lsRightLineEh, true, clGreen},
      // The footer row is row 6.
      {"footer inner colour", [&] { Footer(clRed, clYellow); }, 2, 6, lsBottomLineEh, true, clRed},
      {"footer outer side takes the darker vertical colour", [&] { Footer(clYellow, clNavy); }, 2, 6,
       lsTopLineEh, true, clNavy},
      {"footer vertical lines off",
       [&] {
         Footer(clRed, clYellow);
         grid->FooterParams()->SetVertLines(false);
         grid->IndicatorParams()->SetVertLineColor(clGreen);
       },
       2, 6, lsRightLineEh, false, clGreen},
      {"indicator opens the footer",
       [&] {
         Footer(clYellow, clYellow);
         grid->IndicatorParams()->SetHorzLineColor(clRed);
         grid->IndicatorParams()->SetVertLineColor(clWhite);
       },
       0, 6, lsTopLineEh, true, clRed},
      {"footer right boundary without auto fit", [&] { Footer(clRed, clYellow); }, 3, 6, lsRightLineEh, true,
       clRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    SetUp();
    c.setup();
    Pump();
    bool first = false;
    bool visible = !c.visible;
    TColor color = clDefault;
    grid->GetCellLineParams(c.col, c.row, c.side, first, color, visible);
    EXPECT_TRUE(first);
    EXPECT_EQ(visible, c.visible);
    if (c.color != clDefault) {
      EXPECT_EQ(color, c.color);
    }
    TearDown();
  }
  SetUp();
}

TEST_F(PaintLayoutTest, BoundaryColourReachesTheCanvas) {
  TDBGridLineParamsEh* lines = grid->GridLineParams();
  lines->SetGridBoundaries(true);
  lines->SetVertEmptySpaceStyle(dessNonEh);
  const COLORREF red = static_cast<COLORREF>(ColorToRGB(clRed));
  for (TColor boundary : {clRed, clNone}) {
    SCOPED_TRACE(boundary == clRed ? "red" : "none");
    lines->SetDataBoundaryColor(boundary);
    Pump();
    size_t redLines = 0;
    for (const TDrawCall& c : PaintRecorded().Calls)
      if ((c.Kind == TDrawKind::Polyline || c.Kind == TDrawKind::Line) && c.Color == red) ++redLines;
    EXPECT_EQ(redLines, boundary == clRed ? 2u : 0u);  // under the last row and right of the last column
  }
}

TEST_F(PaintLayoutTest, TitleNodeHeights) {
  const int h = TextHeight(grid->TitleFont());
  const int margin = grid->TitleParams()->VTitleMargin();
  THeadTreeNode root;
  THeadTreeNode* top = root.AddChild(&root, "Top", 200, 0);
  THeadTreeNode* empty = root.AddChild(&root, "", 60, 0);
  THeadTreeNode* narrow = root.AddChild(&root, "Narrow", 0, 0);
  THeadTreeNode* leafA = root.AddChild(top, "A", 100, 0);
  THeadTreeNode* leafB = root.AddChild(top, "B", 100, 0);
  leafB->MinHeight = 3 * h;
  EXPECT_EQ(grid->CalcTitleNodeHeight(&root), h + margin + 3 * h);
  EXPECT_EQ(root.Height, h + margin + 3 * h);
  EXPECT_EQ(top->Height, h + margin);  // the subtree less its children's part
  EXPECT_EQ(leafA->Height, 3 * h);     // the tallest child's height
  EXPECT_EQ(leafB->Height, 3 * h);
  EXPECT_EQ(empty->Height, root.Height);  // a leaf takes the whole height
  EXPECT_EQ(narrow->Height, root.Height);
  // Measured alone: an empty caption is one line, a narrow node nothing.
  THeadTreeNode alone;
  alone.AddChild(&alone, "", 60, 0);
  EXPECT_EQ(grid->CalcTitleNodeHeight(&alone), h + margin);
  THeadTreeNode thin;
  thin.AddChild(&thin, "Narrow", 0, 0);
  EXPECT_EQ(grid->CalcTitleNodeHeight(&thin), 0);
}

TEST_F(PaintLayoutTest, MultiTitleRowTakesTheTreesHeight) {
  const int h = TextHeight(grid->TitleFont());
  const int margin = grid->TitleParams()->VTitleMargin();
  grid->Columns()->GetColumn(1)->Title()->SetCaption("Money|Name");
  grid->Columns()->GetColumn(2)->Title()->SetCaption("Money|Amount");
  grid->TitleParams()->SetMultiTitle(true);
  Pump();
  EXPECT_EQ(grid->RowHeights(0), 2 * (h + margin));
  grid->TitleParams()->SetBorderInFillStyle(true);  // the top level grows by one at the next layout
  grid->LayoutChanged();
  Pump();
  EXPECT_EQ(grid->RowHeights(0), 2 * (h + margin) + 1);
}

TEST_F(PaintLayoutTest, RecordNumberWidthAndDefaultRowHeight) {
  TFont smaller;
  smaller.Assign(grid->Font());
  smaller.SetSize(smaller.Size() - 1);
  grid->Canvas()->Font()->Assign(&smaller);
  const int oneDigit = std::max(grid->Canvas()->TextWidth("0") + 4, 11);
  const int fiveDigits = grid->Canvas()->TextWidth("00000") + 4;
  EXPECT_EQ(grid->CalcRecNoColWidth(), oneDigit);  // five records
  dataSet->DisableControls();
  for (int i = 6; i <= 12345; ++i) {
    dataSet->Append();
    dataSet->FieldByName("ID")->SetAsInteger(i);
    dataSet->Post();
  }
  dataSet->EnableControls();
  EXPECT_EQ(grid->CalcRecNoColWidth(), fiveDigits);

  const int text = TextHeight(grid->Font());
  struct Case {
    bool flat, rowLines;
    int height;
  } cases[] = {{false, true, text + 3 + 1}, {true, true, text + 1 + 1}, {false, false, text + 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flat << c.rowLines);
    grid->SetFlat(c.flat);
    TDBGridOptions options = grid->Options();
    grid->SetOptions(c.rowLines ? options + dgRowLines : options - dgRowLines);
    EXPECT_EQ(grid->CalcDefaultRowHeight(), c.height);
  }
}

// A data row sized under a fixed row of another height gives every data row the new height.
TEST_F(PaintLayoutTest, SizingADataRowUnderAnotherFixedRowSetsRowHeight) {
  Probe()->underTitleHeight = 40;
  grid->LayoutChanged();
  Pump();
  ASSERT_EQ(grid->TopDataOffset(), 2);
  ASSERT_NE(grid->RowHeights(1), grid->RowHeights(3));
  Probe()->SizeRow(4, 30);
  EXPECT_EQ(grid->RowHeight(), 30);
  EXPECT_EQ(grid->GridState(), gsNormal);
  Pump();
  for (int row = 2; row < grid->RowCount(); ++row) EXPECT_EQ(grid->RowHeights(row), 30) << row;
  EXPECT_EQ(grid->RowHeights(1), 40);
  EXPECT_EQ(grid->DataRowCount(), 4);

  grid->SetOptionsEh(grid->OptionsEh() + dghAutoFitRowHeight);
  Probe()->SizeRow(3, 50);
  EXPECT_EQ(grid->RowHeight(), 30);
}

TEST_F(PaintLayoutTest, MirroredCanvasAndCheckBoxPlace) {
  const int w = grid->ClientWidth();
  HDC dc = grid->Canvas()->Handle();
  grid->SetCanvasMirroring(true);
  POINT p{10, 5};
  LPtoDP(dc, &p, 1);
  EXPECT_EQ(p.X, w - 10);
  EXPECT_EQ(p.Y, 5);
  grid->SetCanvasMirroring(false);
  p = {10, 5};
  LPtoDP(dc, &p, 1);
  EXPECT_EQ(p.X, 10);

  const int bw = DefaultCheckBoxWidth();
  const int bh = DefaultCheckBoxHeight();
  struct Case {
    TRect in, out;
  } cases[] = {{{0, 0, bw + 10, bh + 4}, {5, 2, 5 + bw, 2 + bh}},
               {{0, 0, bw - 1, bh + 1}, {0, 0, bw - 1, bh}},
               {{3, 3, bw + 3, bh + 3}, {3, 3, bw + 3, bh + 3}}};
  for (const Case& c : cases) {
    TRect r = c.in;
    grid->CenterCheckBoxRect(r);
    EXPECT_EQ(r, c.out);
  }
}

TEST_F(PaintLayoutTest, RightToLeftTextAndImagesAreWrittenOnThePlainCanvas) {
  const bool middleEast = SysLocale().MiddleEast;
  SysLocale().MiddleEast = true;
  TScopeExit restoreLocale([&] { SysLocale().MiddleEast = middleEast; });
  grid->SetBiDiMode(bdRightToLeft);
  Pump();
  TCanvas* canvas = grid->Canvas();
  HDC dc = canvas->Handle();
  const int w = grid->ClientWidth();
  grid->SetCanvasMirroring(true);
  TDrawLog log;
  AttachDrawRecorder(dc, &log);
  grid->WriteCellTextMirrored(nullptr, canvas, TRect{10, 0, 110, 20}, false, 2, 2, "abc", taLeftJustify,
                              tlTop, false, false, 0, 0, false, "", clNone);
  AttachDrawRecorder(dc, nullptr);
  const auto formats = log.OfKind(TDrawKind::DrawText);
  ASSERT_EQ(formats.size(), 1u);
  EXPECT_EQ(formats[0]->DeviceRect.Left, w - 110);  // the cell where the mirrored canvas shows it
  EXPECT_EQ(formats[0]->DeviceRect.Right, w - 10 - 2);
  EXPECT_EQ(formats[0]->Flags & DT_RIGHT, static_cast<UINT>(DT_RIGHT));  // the grid's alignment swapped
  POINT p{10, 5};
  LPtoDP(dc, &p, 1);
  EXPECT_EQ(p.X, w - 10);  // mirrored again afterwards

  TCustomImageList images(16, 16);
  TBitmap image;
  image.SetSize(16, 16);
  images.Add(&image, nullptr);
  log.Clear();
  AttachDrawRecorder(dc, &log);
  grid->DrawCellImageMirrored(canvas, TRect{10, 0, 30, 20}, &images, 0);
  AttachDrawRecorder(dc, nullptr);
  const auto blts = log.OfKind(TDrawKind::Blt);
  ASSERT_EQ(blts.size(), 2u);  // image and mask
  for (const TDrawCall* b : blts) {
    EXPECT_GE(b->DeviceRect.Left, w - 30);
    EXPECT_LE(b->DeviceRect.Right, w - 10);
    EXPECT_EQ(b->DeviceRect.Left, b->Rect.Left);  // written with mirroring off
  }
  grid->SetCanvasMirroring(false);
}

TEST_F(PaintLayoutTest, SearchTextComesFromTheSearchPanel) {
  grid->SearchPanel()->SetSearchingText("Row 3");
  EXPECT_EQ(grid->SearchText(), "Row 3");
}

TEST_F(PaintLayoutTest, LastVisibleColIsTheLastGridColumnWithWidth) {
  EXPECT_EQ(grid->LastVisibleCol(), 3);
  grid->Columns()->GetColumn(2)->SetVisible(false);
  Pump();
  EXPECT_EQ(grid->LastVisibleCol(), 2);
}

}  // namespace
