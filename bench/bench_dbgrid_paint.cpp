// Painting the data grid over an in-memory data set of 100 and of 1,000,000 records (the
// benchmark rows: ID, Name, Amount, When): a shown 1280 x 800 grid of twenty columns (the four
// fields five times over) under two-level titles ("Set n|Field") and over a footer row. The
// cells are counted instead of drawn, so what is measured is the grid's own walk: the band
// preparation, the line rules and the cells it asks for.
//   BM_DBGridLayoutPaint  InternalLayout and one paint of the whole grid into a bitmap;
//   BM_DBGridScrollOne    the data set moved one record down from the window's last row: the
//                         grid's scrolled reaction and the paint of what it left invalid;
//   BM_DBGridFullRepaint  the whole grid invalidated and painted, the same way as the scroll.
// The scroll and the full repaint paint through the window's paint message into the form's
// surface, an in-memory bitmap like the one of the first. The layout and the paint read the
// record window only, so their cost must not grow with the record count (goal: ratio at most
// 1.1); a scroll by one record repaints one row, the indicator and the footer, so it should cost
// at most a fifth of a full repaint. Every run checks the cells it asked for and the data set's
// record; the medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DataSetSupport.h"
#include "bench/SideBySide.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Painting.h"

namespace {

constexpr int kClientWidth = 1280, kClientHeight = 800, kCols = 20;
static_assert(bench_rows::kRecords == 1000000);
const char* const kFields[] = {"ID", "Name", "Amount", "When"};

// The errors raised while the window paints: the paint message hands them to the application.
std::vector<std::string> paintErrors;

// The grid counting the cells its paint asks for, row by row and column by column, and its
// scrolled reactions.
class TCountingDBGridEh : public TDBGridEh {
  RTL_CLASS(TCountingDBGridEh, TDBGridEh)
 public:
  using TDBGridEh::TDBGridEh;
  void DrawCell(int ACol, int ARow, const TRect&, TGridDrawState) override {
    ++Cells;
    if (size_t(ACol) >= ColumnCells.size()) ColumnCells.resize(size_t(ACol) + 1);
    ++ColumnCells[size_t(ACol)];
    if (size_t(ARow) >= RowCells.size()) RowCells.resize(size_t(ARow) + 1);
    ++RowCells[size_t(ARow)];
  }
  void InternalLayout() override {
    ++Layouts;
    TDBGridEh::InternalLayout();
  }
  void Scroll(int Distance) override {
    ++Scrolls;
    LastDistance = Distance;
    TDBGridEh::Scroll(Distance);
  }
  void ClearCounts() {
    Cells = 0;
    ColumnCells.assign(ColumnCells.size(), 0);
    RowCells.assign(RowCells.size(), 0);
  }
  int64_t Cells = 0;
  std::vector<int64_t> ColumnCells;
  std::vector<int64_t> RowCells;
  int64_t Layouts = 0;
  int64_t Scrolls = 0;
  int LastDistance = 0;
};

// The cells a paint of the whole grid asks for: every row and column that shows.
struct TFrameShape {
  int Rows = 0;
  int Cols = 0;
  int TitleRows = 0;
  int TitleHeight = 0;
  int TopRow = 0;
  int DataRows = 0;
  int FooterRows = 0;
  int FirstFooter = 0;  // the first footer row, shown or not
  int64_t Cells() const { return int64_t(Rows) * Cols; }
  bool IsFooter(int ARow) const { return FooterRows > 0 && ARow >= FirstFooter; }
};

struct TPaintSetup {
  explicit TPaintSetup(int ARecords) : Records(ARecords) {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, kClientWidth + 40, kClientHeight + 60);
    dataSet = new TMemoryDataSet(form);
    bench_dataset::AddFields(*dataSet);
    dataSet->CreateDataSet();
    bench_dataset::LoadAll(*dataSet, static_cast<size_t>(Records));
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TCountingDBGridEh(form);
    grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing});
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    grid->TitleParams()->SetMultiTitle(true);
    grid->SetFooterRowCount(1);
    for (int i = 0; i < kCols; ++i) {
      TColumnEh* column = grid->Columns()->Add();
      column->SetFieldName(kFields[i % 4]);
      column->Title()->SetCaption("Set " + std::to_string(i / 4 + 1) + "|" + kFields[i % 4]);
    }
    form->Show();
    form->SetClientWidth(kClientWidth);
    form->SetClientHeight(kClientHeight);
    grid->SetDataSource(source);
    Application->ProcessMessages();
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
    PlaceAtLastRow();
  }
  // The current record near the middle, on the window's last row: the next record scrolls by
  // one. Start is where it lands.
  void PlaceAtLastRow() {
    dataSet->SetRecNo(Records / 2);
    TAxisGridDataLinkEh* link = grid->DataLink();
    dataSet->MoveBy(link->RecordCount() - 1 - link->ActiveRecord());
    Start = dataSet->RecNo();
    Application->ProcessMessages();
    ValidateRect(grid->Handle(), nullptr);
  }
  bool AtLastRow() const {
    TAxisGridDataLinkEh* link = grid->DataLink();
    return link->RecordCount() >= 2 && link->ActiveRecord() == link->RecordCount() - 1;
  }
  // The rows and columns that show, read from the cell rectangles rather than from a paint.
  TFrameShape Shape() const {
    TFrameShape s;
    s.TopRow = grid->TopRow();
    s.FirstFooter = grid->RowCount() - grid->FooterRowCount();
    for (int r = 0; r < grid->RowCount(); ++r) {
      if (IsRectEmpty(grid->CellRect(0, r))) continue;
      ++s.Rows;
      int areaCol = 0, areaRow = 0;
      const TCellAreaVertTypeEh type = grid->GetCellType(0, r, areaCol, areaRow).VertType;
      if (type == vctTitleEh || type == vctSubTitleEh) {
        ++s.TitleRows;
        s.TitleHeight += grid->RowHeights(r);
      }
      if (type == vctDataEh) ++s.DataRows;
      if (type == vctFooterEh) ++s.FooterRows;
    }
    for (int c = 0; c < grid->ColCount(); ++c)
      if (!IsRectEmpty(grid->CellRect(c, 0))) ++s.Cols;
    return s;
  }
  // Whether each column that shows was asked for Times cells per frame, and no other.
  bool EveryColumn(int64_t Times) const {
    for (int c = 0; c < grid->ColCount(); ++c) {
      const int64_t n = size_t(c) < grid->ColumnCells.size() ? grid->ColumnCells[size_t(c)] : 0;
      if (n != (IsRectEmpty(grid->CellRect(c, 0)) ? 0 : Times)) return false;
    }
    return true;
  }

  const int Records;
  int Start = 0;
  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TCountingDBGridEh* grid = nullptr;
  std::unique_ptr<TBitmap> bitmap;
};

// One setup for each record count, made on first use (loading a million records for every run
// would take longer than the runs); only the one in use is shown. Freed before the forms are.
std::map<int, std::unique_ptr<TPaintSetup>> setups;

TPaintSetup& SetupFor(int Records) {
  for (auto& [n, s] : setups)
    if (n != Records && s->form->Visible()) s->form->Hide();
  std::unique_ptr<TPaintSetup>& s = setups[Records];
  if (!s) s = std::make_unique<TPaintSetup>(Records);
  if (!s->form->Visible()) s->form->Show();
  s->PlaceAtLastRow();
  s->grid->ClearCounts();
  paintErrors.clear();
  return *s;
}

using side_by_side::Guarded;

bool PaintFailed(benchmark::State& state) {
  if (paintErrors.empty()) return false;
  state.SkipWithError(("painting raised: " + paintErrors.front()).c_str());
  return true;
}

// The counts of a run, kept aside while the grid is put back between rounds.
struct TCountsSnapshot {
  explicit TCountsSnapshot(const TCountingDBGridEh& G)
      : Cells(G.Cells), ColumnCells(G.ColumnCells), RowCells(G.RowCells) {}
  void Restore(TCountingDBGridEh& G) const {
    G.Cells = Cells;
    G.ColumnCells = ColumnCells;
    G.RowCells = RowCells;
  }
  int64_t Cells;
  std::vector<int64_t> ColumnCells, RowCells;
};

void ShapeCounters(benchmark::State& state, const TFrameShape& Shape) {
  state.counters["cells"] = static_cast<double>(Shape.Cells());
  state.counters["titleH"] = Shape.TitleHeight;
  state.counters["footers"] = Shape.FooterRows;
}

void BM_DBGridLayoutPaint(benchmark::State& state) {
  Guarded(state, [&] {
    TPaintSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TCountingDBGridEh& grid = *setup.grid;
    HDC dc = setup.bitmap->Canvas()->Handle();
    const int64_t layouts = grid.Layouts;
    for (auto _ : state) {
      grid.InternalLayout();
      grid.PaintWindow(dc);
      benchmark::ClobberMemory();
    }
    const TFrameShape shape = setup.Shape();
    const int64_t frames = state.iterations();
    if (grid.Layouts - layouts != frames || grid.Cells != frames * shape.Cells() ||
        !setup.EveryColumn(frames * shape.Rows))
      state.SkipWithError("a frame did not lay out, or did not ask for every cell that shows once");
    else if (setup.dataSet->RecNo() != setup.Start || !setup.AtLastRow())
      state.SkipWithError("a layout moved the record window");
    ShapeCounters(state, shape);
  });
}
BENCHMARK(BM_DBGridLayoutPaint)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Whether what a scroll by one record left invalid lies within its share: the indicator strip,
// the last two data rows (the uncovered one and the one that shows in part) and what lies below
// them (the footer rows). The grid then paints the invalid region, walking the cells that meet
// its bounding box.
bool InvalidWithinShare(TPaintSetup& Setup, const TFrameShape& Shape) {
  TCountingDBGridEh& grid = *Setup.grid;
  const int lastData = Shape.TopRow + Shape.DataRows - 1;
  const int width = grid.ClientWidth(), height = grid.ClientHeight();
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  HRGN share = CreateRectRgn(0, grid.CellRect(0, lastData - 2).Bottom, width, height);
  HRGN indicator =
      CreateRectRgn(0, grid.CellRect(0, Shape.TopRow).Top, grid.CellRect(1, Shape.TopRow).Left, height);
  TScopeExit free([&] {
    DeleteObject(update);
    DeleteObject(share);
    DeleteObject(indicator);
  });
  const bool invalid = GetUpdateRgn(grid.Handle(), update, FALSE) > NULLREGION;
  CombineRgn(share, share, indicator, RGN_OR);
  return invalid && CombineRgn(update, update, share, RGN_DIFF) == NULLREGION;
}

// Next from the window's last row until the data set's end, then (not timed) back to the
// middle. The first step, not timed, checks what the scrolled reaction leaves invalid; each
// paint must ask for the uncovered row and the footer rows, and never for a title.
void BM_DBGridScrollOne(benchmark::State& state) {
  Guarded(state, [&] {
    TPaintSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TCountingDBGridEh& grid = *setup.grid;
    TMemoryDataSet& ds = *setup.dataSet;
    const HWND handle = grid.Handle();
    const TFrameShape shape = setup.Shape();
    const int lastData = shape.TopRow + shape.DataRows - 1;
    ds.Next();
    const bool withinShare = InvalidWithinShare(setup, shape);
    ValidateRect(handle, nullptr);
    int expected = setup.Start + 1;
    int64_t wrongScrolls = 0, wrongRecords = 0;
    for (auto _ : state) {
      if (expected == setup.Records) {
        state.PauseTiming();
        const TCountsSnapshot counts(grid);
        setup.PlaceAtLastRow();
        counts.Restore(grid);
        expected = setup.Start;
        state.ResumeTiming();
      }
      const int64_t scrolls = grid.Scrolls;
      ds.Next();
      UpdateWindow(handle);
      ++expected;
      if (grid.Scrolls != scrolls + 1 || grid.LastDistance != 1) ++wrongScrolls;
      if (ds.RecNo() != expected) ++wrongRecords;
    }
    const int64_t n = state.iterations();
    auto rowCells = [&grid](int Row) {
      return size_t(Row) < grid.RowCells.size() ? grid.RowCells[size_t(Row)] : 0;
    };
    bool rowsRight = rowCells(lastData) == n * shape.Cols;
    for (int r = 0; r < grid.RowCount(); ++r) {
      if (r < shape.TopRow && rowCells(r) != 0) rowsRight = false;
      if (shape.IsFooter(r) && !IsRectEmpty(grid.CellRect(0, r)) && rowCells(r) != n * shape.Cols)
        rowsRight = false;
    }
    if (wrongScrolls > 0 || wrongRecords > 0)
      state.SkipWithError("a record step did not scroll the grid by one, or did not reach the next record");
    else if (!withinShare)
      state.SkipWithError(
          "a scroll by one record left more invalid than the uncovered row, the indicator and the footer");
    else if (!rowsRight)
      state.SkipWithError(
          "a scroll's paint did not ask for the uncovered row and the footer once, or asked for a title");
    else if (!setup.AtLastRow())
      state.SkipWithError("the current record left the window's last row");
    else
      PaintFailed(state);
    state.counters["cells"] = static_cast<double>(grid.Cells) / static_cast<double>(std::max<int64_t>(1, n));
  });
}
BENCHMARK(BM_DBGridScrollOne)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_DBGridFullRepaint(benchmark::State& state) {
  Guarded(state, [&] {
    TPaintSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TCountingDBGridEh& grid = *setup.grid;
    const HWND handle = grid.Handle();
    for (auto _ : state) {
      InvalidateRect(handle, nullptr, FALSE);
      UpdateWindow(handle);
    }
    const TFrameShape shape = setup.Shape();
    const int64_t frames = state.iterations();
    if (PaintFailed(state)) return;
    if (grid.Cells != frames * shape.Cells() || !setup.EveryColumn(frames * shape.Rows))
      state.SkipWithError("a repaint did not ask for every cell that shows once");
    else if (setup.dataSet->RecNo() != setup.Start || !setup.AtLastRow())
      state.SkipWithError("a repaint moved the record window");
    ShapeCounters(state, shape);
  });
}
BENCHMARK(BM_DBGridFullRepaint)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

RTL_IMPLEMENT_CLASS(TCountingDBGridEh)

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows are made once, before any run is timed.
  bench_rows::Rows();
  ResetVcl();
  InitDBGridEhUnit();
  Application->OnException = [](TObject*, const Exception& e) { paintErrors.push_back(e.Message()); };
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const std::string few = "/records:100", many = "/records:1000000";
  std::printf("\ndata grid 1280x800, 20 columns, us  100 records    1,000,000   ratio (goal)\n");
  const double paintFew = reporter.TimeOf("BM_DBGridLayoutPaint" + few),
               paintMany = reporter.TimeOf("BM_DBGridLayoutPaint" + many);
  if (paintFew > 0 && paintMany > 0)
    std::printf("%-34s %12.3f %12.3f %7.3f (<= 1.1)\n", "InternalLayout + Paint", paintFew, paintMany,
                paintMany / paintFew);
  for (const std::string& records : {few, many}) {
    const double scroll = reporter.TimeOf("BM_DBGridScrollOne" + records),
                 full = reporter.TimeOf("BM_DBGridFullRepaint" + records);
    if (scroll > 0 && full > 0)
      std::printf("scroll by one / full repaint, %-9s %8.3f / %8.3f = %.3f (<= 0.2)\n", records.c_str() + 9,
                  scroll, full, scroll / full);
  }
  for (const std::string& records : {few, many}) {
    const double scrollCells = reporter.CounterOf("BM_DBGridScrollOne" + records, "cells"),
                 fullCells = reporter.CounterOf("BM_DBGridFullRepaint" + records, "cells");
    if (scrollCells >= 0 && fullCells >= 0)
      std::printf("cells asked for, %-9s scroll %.0f, full repaint %.0f\n", records.c_str() + 9, scrollCells,
                  fullCells);
  }
  const double titleHeight = reporter.CounterOf("BM_DBGridFullRepaint" + many, "titleH"),
               footers = reporter.CounterOf("BM_DBGridFullRepaint" + many, "footers");
  if (titleHeight >= 0)
    std::printf("title rows %.0f px high, footer rows shown: %.0f of 1\n", titleHeight, footers);
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  setups.clear();
  ResetVcl();
  return 0;
}
