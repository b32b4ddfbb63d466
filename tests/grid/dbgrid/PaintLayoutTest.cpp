// The data grid's paint preparation, empty-data notice, line rules, title heights, widths, row
// sizing and right-to-left canvas.
#include <functional>
#include <set>

#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Variant.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Opens the paint pass's state and the row-sizing state to the tests.
class TProbeGrid : public TRecordingDBGridEh {
 public:
  using TRecordingDBGridEh::TRecordingDBGridEh;
  // A row of its own height under the title, standing in for the filter row (whose height the
  // layout cannot ask yet).
  int GetSubtitleRowCount() override { return underTitleHeight > 0 && !inRowsLayout ? 1 : 0; }
  void UpdateRowsLayout() override {
    {
      TValueRestorer<bool> plain(inRowsLayout, true);
      TRecordingDBGridEh::UpdateRowsLayout();
    }
    if (underTitleHeight == 0) return;
    SetFixedRows(2);
    SetRowHeights(1, underTitleHeight);
  }
  // As the mouse does: the row border dragged from the remembered data row height.
  void SizeRow(int ARow, int Height) {
    gridState_ = gsRowSizing;
    sizingRowHeight_ = RowHeights(ARow);
    SetRowHeights(ARow, Height);
  }
  bool inRowsLayout = false;
  int underTitleHeight = 0;
  friend class PaintLayoutTest;
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
  // What Draw does on DC.
  template <class F>
  static TDrawLog Recorded(HDC DC, F&& Draw) {
    TDrawLog log;
    AttachDrawRecorder(DC, &log);
    TScopeExit detach([DC] { AttachDrawRecorder(DC, nullptr); });
    Draw();
    return log;
  }
  TDrawLog PaintRecorded() {
    TBitmap bmp;
    bmp.SetSize(grid->ClientWidth(), grid->ClientHeight());
    grid->Invalidate();  // the whole grid is due
    HDC dc = bmp.Canvas()->Handle();
    return Recorded(dc, [&] { grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); });
  }
  // The line on a side of a cell (0 top, 1 left, 2 bottom, 3 right): first, visible, colour.
  // Visible starts opposite to the expected answer, so an answer left out shows.
  std::tuple<bool, bool, TColor> LineOf(int Col, int Row, int Side, bool Expected) {
    bool first = false, visible = !Expected;
    TColor color = clDefault;
    grid->GetCellLineParams(Col, Row, Side, first, color, visible);
    return {first, visible, color};
  }
  void Footer(TColor Horz, TColor Vert) {
    grid->SetFooterRowCount(1);
    grid->FooterParams()->SetHorzLineColor(Horz);
    grid->FooterParams()->SetVertLineColor(Vert);
  }
  void Boundary(TDrawEmptySpaceStyle Style, TColor Color) {
    grid->GridLineParams()->SetGridBoundaries(true);
    grid->GridLineParams()->SetVertEmptySpaceStyle(Style);
    grid->GridLineParams()->SetDataBoundaryColor(Color);
  }
  std::vector<std::vector<uint8_t>>& DuplicateFlags() { return Probe()->duplicateFlags_; }
  THeadTreeNode* HeadTree() { return Probe()->headTree_.get(); }
};

TEST_F(PaintLayoutTest, PaintAsksEveryShownCellOnceAndPreparesThePass) {
  grid->Columns()->GetColumn(1)->SetHideDuplicates(true);
  HeadTree()->Drawed = true;
  const std::vector<TRecordedCellEh>& cells = Repaint();
  EXPECT_TRUE(handlerErrors.empty());
  ASSERT_EQ(cells.size(), 4u * 6u);  // indicator and three columns; title and five rows
  std::set<std::pair<int, int>> seen;
  for (const TRecordedCellEh& c : cells) EXPECT_TRUE(seen.insert({c.Col, c.Row}).second);
  const TRecordedCellEh* data = Recorder()->Find(2, 3);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->CellType, (TCellAreaTypeEh{hctDataEh, vctDataEh}));
  EXPECT_EQ(std::make_pair(data->AreaCol, data->AreaRow), std::make_pair(1, 2));
  EXPECT_FALSE(HeadTree()->Drawed);
  EXPECT_EQ(DuplicateFlags(), std::vector<std::vector<uint8_t>>(
                                  3, std::vector<uint8_t>(size_t(grid->VisibleDataRowCount() + 2), 0)));
}

TEST_F(PaintLayoutTest, EmptyDataNoticeOnlyOverAnOpenEmptyDataSet) {
  grid->EmptyDataInfo()->SetText("Nothing here");
  struct Case {
    bool active, empty;
    size_t notices;
  } cases[] = {{true, false, 0}, {true, true, 1}, {false, true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.active << c.empty);
    while (c.empty && !dataSet->IsEmpty()) dataSet->Delete();
    grid->EmptyDataInfo()->SetActive(c.active);
    Pump();
    size_t notices = 0;
    for (const TDrawCall& t : PaintRecorded().Calls)
      notices += t.Kind == TDrawKind::Text && t.Text == "Nothing here";
    EXPECT_EQ(notices, c.notices);
  }
}

TEST_F(PaintLayoutTest, LineRulesPerBandAndBoundary) {
  auto lines = [this] { return grid->GridLineParams(); };
  const TColor bright = lines()->GetBrightColor();
  auto title = [this] { return grid->TitleParams(); };
  auto ind = [this] { return grid->IndicatorParams(); };
  struct Case {
    const char* note;
    std::function<void()> setup;
    int col, row, side;
    bool visible;
    TColor color;  // clDefault: not checked
  } cases[] = {
      // Rows: title 0, data 1 to 5, footer 6; columns: indicator 0, data 1 to 3.
      {"data horizontal: bright colour", [] {}, 2, 2, 2, true, bright},
      {"data vertical", [&] { lines()->SetDataVertColor(clBlue); }, 2, 2, 3, true, clBlue},
      {"data vertical off", [&] { lines()->SetDataVertLines(false); }, 2, 2, 3, false, clNone},
      {"zero-width column", [&] { grid->SetColWidths(2, 0); }, 2, 2, 1, false, clDefault},
      {"title", [&] { title()->SetHorzLineColor(clRed); }, 1, 0, 2, true, clRed},
      {"filled title", [&] { title()->SetBorderInFillStyle(true); }, 1, 0, 3, false, clDefault},
      {"filled title indicator", [&] { title()->SetBorderInFillStyle(true); }, 0, 0, 3, true, bright},
      {"multi-title", [&] { title()->SetMultiTitle(true); }, 1, 0, 3, false, clDefault},
      {"indicator", [&] { ind()->SetVertLineColor(clRed); }, 0, 2, 3, true, clRed},
      {"indicator off", [&] { ind()->SetHorzLines(false); }, 0, 2, 2, false, clDefault},
      {"frozen edge", [&] { grid->SetFrozenCols(1); }, 1, 2, 3, true, bright},
      {"bottom boundary", [&] { Boundary(dessNonEh, clRed); }, 2, 5, 2, true, clRed},
      {"bottom boundary clNone", [&] { Boundary(dessNonEh, clNone); }, 2, 5, 2, false, clNone},
      {"empty space below", [&] { Boundary(dessGradiendEh, clRed); }, 2, 5, 2, true, bright},
      {"right boundary", [&] { Boundary(dessGradiendEh, clDefault); }, 3, 2, 3, true, bright},
      {"footer", [&] { Footer(clRed, clYellow); }, 2, 6, 2, true, clRed},
      {"footer top: darker vertical", [&] { Footer(clYellow, clNavy); }, 2, 6, 0, true, clNavy},
      {"footer vertical off", [&] { Footer(clRed, clYellow), grid->FooterParams()->SetVertLines(false); }, 2,
       6, 3, false, clDefault},
      {"indicator opens the footer", [&] { Footer(clRed, clRed), ind()->SetHorzLineColor(clBlue); }, 0, 6, 0,
       true, clBlue},
      {"footer right boundary", [&] { Footer(clRed, clYellow); }, 3, 6, 3, true, clRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    SetUp();
    c.setup();
    Pump();
    const auto [first, visible, color] = LineOf(c.col, c.row, c.side, c.visible);
    EXPECT_TRUE(first);
    EXPECT_EQ(visible, c.visible);
    if (c.color != clDefault) {
      EXPECT_EQ(color, c.color) << std::hex << color;
    }
    TearDown();
  }
  SetUp();
}

TEST_F(PaintLayoutTest, GroupRowsOpenAndCloseTheDataLines) {
  UseMemTable();
  // Four records: PAID false for IDs 2 and 4, true for 1 and 3.
  dataSet->Last();
  dataSet->Delete();
  AddColumns({"PAID"});
  grid->DataGrouping()->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(3));
  grid->DataGrouping()->SetActive(true);
  Pump();
  // Flat rows 1 to 6: a group row, two records, a group row, two records.
  TGridGroupDataTreeEh* tree = grid->DataGrouping()->GroupDataTree();
  tree->SetLevelExpanded(1, true);
  tree->RebuildFlatList();
  grid->SetRowCount(1 + tree->GetFlatCount());
  ASSERT_EQ(grid->LastVisibleCol(), 4);
  struct Case {
    int col, row, side;
    bool visible;
  } cases[] = {{2, 1, 2, false}, {2, 1, 3, false}, {4, 1, 3, true}, {2, 2, 2, true},
               {2, 3, 2, true},  {1, 3, 2, false}, {2, 6, 2, true}, {1, 6, 2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.col << " " << c.row << " " << c.side);
    const auto [first, visible, color] = LineOf(c.col, c.row, c.side, c.visible);
    EXPECT_EQ(visible, c.visible);
    if (c.visible && c.side == 2) {
      EXPECT_EQ(color, grid->GridLineParams()->GetDataHorzColor());
    }
  }
}

TEST_F(PaintLayoutTest, BoundaryColourReachesTheCanvas) {
  for (TColor boundary : {clRed, clNone}) {
    Boundary(dessNonEh, boundary);
    Pump();
    size_t redLines = 0;
    for (const TDrawCall& c : PaintRecorded().Calls)
      redLines +=
          (c.Kind == TDrawKind::Polyline || c.Kind == TDrawKind::Line) && c.Color == ColorToRGB(clRed);
    EXPECT_EQ(redLines, boundary == clRed ? 2u : 0u);  // under the last row and right of the last column
  }
}

TEST_F(PaintLayoutTest, TitleHeightsFromTheTitleTree) {
  grid->Canvas()->Font()->Assign(grid->TitleFont());
  const int h = grid->Canvas()->TextHeight("Wg");
  const int m = grid->TitleParams()->VTitleMargin();
  THeadTreeNode root;
  THeadTreeNode* top = root.AddChild(&root, "Top", 200, 0);
  THeadTreeNode* empty = root.AddChild(&root, "", 60, 0);  // measured as " "
  THeadTreeNode* narrow = root.AddChild(&root, "Narrow", 0, 0);
  THeadTreeNode* leafA = root.AddChild(top, "A", 100, 0);
  root.AddChild(top, "B", 100, 0)->MinHeight = 3 * h;
  EXPECT_EQ(grid->CalcTitleNodeHeight(&root), h + m + 3 * h);
  // A parent keeps its own part, a leaf the whole height of its level.
  EXPECT_EQ(std::vector<int>({root.Height, top->Height, leafA->Height, empty->Height, narrow->Height}),
            std::vector<int>({h + m + 3 * h, h + m, 3 * h, h + m + 3 * h, h + m + 3 * h}));
  THeadTreeNode thin;
  thin.AddChild(&thin, "Narrow", 0, 0);
  EXPECT_EQ(grid->CalcTitleNodeHeight(&thin), 0);

  grid->Columns()->GetColumn(1)->Title()->SetCaption("Money|Name");
  grid->Columns()->GetColumn(2)->Title()->SetCaption("Money|Amount");
  grid->TitleParams()->SetMultiTitle(true);
  Pump();
  EXPECT_EQ(grid->RowHeights(0), 2 * (h + m));
  grid->TitleParams()->SetBorderInFillStyle(true);  // the top level grows by one at the next layout
  grid->LayoutChanged();
  Pump();
  EXPECT_EQ(grid->RowHeights(0), 2 * (h + m) + 1);
  EXPECT_EQ(grid->LastVisibleCol(), 3);
}

TEST_F(PaintLayoutTest, RecordNumberWidthCountsTheDigits) {
  TFont smaller;
  smaller.Assign(grid->Font());
  smaller.SetSize(smaller.Size() - 1);
  grid->Canvas()->Font()->Assign(&smaller);
  const int oneDigit = std::max(grid->Canvas()->TextWidth("0") + 4, 11);
  const int fiveDigits = grid->Canvas()->TextWidth("00000") + 4;
  EXPECT_EQ(grid->CalcRecNoColWidth(), oneDigit);  // five records
  dataSet->DisableControls();
  for (int i = 6; i <= 12345; ++i) dataSet->AppendRecord({i});
  dataSet->EnableControls();
  EXPECT_EQ(grid->CalcRecNoColWidth(), fiveDigits);
}

TEST_F(PaintLayoutTest, SizingADataRowUnderAnotherFixedRowSetsRowHeight) {
  Probe()->underTitleHeight = 40;
  grid->LayoutChanged();
  Pump();
  ASSERT_EQ(grid->TopDataOffset(), 2);
  Probe()->SizeRow(4, 30);
  EXPECT_EQ(grid->RowHeight(), 30);
  EXPECT_EQ(grid->GridState(), gsNormal);
  Pump();
  for (int row = 1; row < grid->RowCount(); ++row)
    EXPECT_EQ(grid->RowHeights(row), row == 1 ? 40 : 30) << row;
  EXPECT_EQ(grid->DataRowCount(), 4);

  grid->SetOptionsEh(grid->OptionsEh() + dghAutoFitRowHeight);
  Probe()->SizeRow(3, 50);
  EXPECT_EQ(grid->RowHeight(), 30);
}

TEST_F(PaintLayoutTest, RightToLeftCanvasWritesUnmirroredAtTheMirroredPlace) {
  TValueRestorer<bool> locale(SysLocale().MiddleEast, true);
  grid->SetBiDiMode(bdRightToLeft);
  Pump();
  TCanvas* canvas = grid->Canvas();
  HDC dc = canvas->Handle();
  const int w = grid->ClientWidth();
  auto deviceX = [dc](int X) {
    POINT p{X, 5};
    LPtoDP(dc, &p, 1);
    return p.X;
  };
  grid->SetCanvasMirroring(true);
  EXPECT_EQ(deviceX(10), w - 10);
  const TDrawLog text = Recorded(dc, [&] {
    grid->WriteCellTextMirrored(nullptr, canvas, TRect{10, 0, 110, 20}, false, 2, 2, "abc", taLeftJustify,
                                tlTop, false, false, 0, 0, false, "", clNone);
  });
  const auto formats = text.OfKind(TDrawKind::DrawText);
  ASSERT_EQ(formats.size(), 1u);
  EXPECT_EQ(formats[0]->DeviceRect, (TRect{w - 110, 2, w - 10 - 2, 20}));
  EXPECT_EQ(formats[0]->Flags & DT_RIGHT, UINT(DT_RIGHT));  // the grid's alignment swapped
  EXPECT_EQ(deviceX(10), w - 10);                           // mirrored again afterwards
  TCustomImageList images(16, 16);
  TBitmap picture;
  picture.SetSize(16, 16);
  images.Add(&picture, nullptr);
  const TDrawLog image = Recorded(dc, [&] {
    grid->DrawCellImageMirrored(canvas, TRect{10, 0, 30, 20}, &images, 0);
  });
  const auto blts = image.OfKind(TDrawKind::Blt);
  ASSERT_EQ(blts.size(), 2u);
  for (const TDrawCall* b : blts) EXPECT_EQ(b->DeviceRect, (TRect{w - 28, 2, w - 12, 18}));
  grid->SetCanvasMirroring(false);
  EXPECT_EQ(deviceX(10), 10);
  // A canvas found unmirrored (as the cell loop hands it) stays so.
  grid->WriteCellTextMirrored(nullptr, canvas, TRect{10, 0, 110, 20}, false, 2, 2, "abc", taLeftJustify,
                              tlTop, false, false, 0, 0, false, "", clNone);
  grid->DrawCellImageMirrored(canvas, TRect{10, 0, 30, 20}, &images, 0);
  EXPECT_EQ(deviceX(10), 10);
  const int bw = DefaultCheckBoxWidth(), bh = DefaultCheckBoxHeight();
  const std::pair<TRect, TRect> boxes[] = {{{0, 0, bw + 10, bh + 4}, {5, 2, 5 + bw, 2 + bh}},
                                           {{0, 0, bw - 1, bh + 1}, {0, 0, bw - 1, bh}}};
  for (auto [in, out] : boxes) {
    grid->CenterCheckBoxRect(in);
    EXPECT_EQ(in, out);
  }
}

}  // namespace
