// The data grid over an in-memory table of 100 and of 1,000,000 records (the benchmark rows: ID,
// Name, Amount, When) that it reads through the table's interface and scrolls itself: a shown
// 1280 x 800 grid of the four fields, its rows the table's records.
//   BM_OwnRowsRepaint   the whole grid invalidated and painted through the window's paint message,
//                       the rows read by instant reading from a top row in the middle;
//   BM_OwnRowsPageDown  a page down through the grid's own vertical scroll bar and the repaint it
//                       leaves; the top row is put back (not timed) before every page.
// Both read and move only the rows that show, so they cost the same for both counts (goal: ratio
// at most 1.1). Every run checks the cells painted, the top row reached and that the table's
// current record stayed where it was; the medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DBGridBenchSupport.h"
#include "bench/DataSetSupport.h"
#include "bench/SideBySide.h"
#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Painting.h"

namespace {

constexpr int kClientWidth = 1280, kClientHeight = 800;
static_assert(bench_rows::kRecords == 1000000);
const char* const kFields[] = {"ID", "Name", "Amount", "When"};

// The errors raised while the window paints: the paint message hands them to the application.
std::vector<std::string> paintErrors;

// The data grid painting every cell for real, counting the cells it paints.
class TOwnRowsDBGridEh : public TDBGridEh {
  RTL_CLASS(TOwnRowsDBGridEh, TDBGridEh)
 public:
  using TDBGridEh::TDBGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    ++Cells;
    TDBGridEh::DrawCell(ACol, ARow, ARect, AState);
  }
  int64_t Cells = 0;
};

struct TOwnRowsSetup {
  explicit TOwnRowsSetup(int ARecords) : Records(ARecords) {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, kClientWidth + 40, kClientHeight + 60);
    table = new TMemoryDataSetEh(form);
    bench_dataset::AddFields(*table);
    table->CreateDataSet();
    bench_dataset::LoadAll(*table, static_cast<size_t>(Records));
    source = new TDataSource(form);
    source->SetDataSet(table);
    grid = new TOwnRowsDBGridEh(form);
    grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing});
    grid->SetBorderStyle(bsNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    for (const char* field : kFields) grid->Columns()->Add()->SetFieldName(field);
    form->Show();
    form->SetClientWidth(kClientWidth);
    form->SetClientHeight(kClientHeight);
    grid->SetDataSource(source);
    table->SetRecNo(Records / 2);
    Application->ProcessMessages();
    PlaceInMiddle();
  }
  // The top row in the middle of the million rows (the first of a hundred, where a page down
  // still fits), nothing left to paint.
  void PlaceInMiddle() {
    grid->SetTopRow(grid->FixedRows() + (Records > 1000 ? Records / 2 : 0));
    Application->ProcessMessages();
    ValidateRect(grid->Handle(), nullptr);
  }
  bool RowsAreTheRecords() const {
    return grid->ScrollsOwnRows() && grid->RowCount() == grid->TopDataOffset() + Records;
  }
  int64_t ShownCells() const { return dbgrid_bench::ShownCells(grid); }

  const int Records;
  TForm* form = nullptr;
  TMemoryDataSetEh* table = nullptr;
  TDataSource* source = nullptr;
  TOwnRowsDBGridEh* grid = nullptr;
};

// One setup for each record count, made on first use; only the form in use is shown.
std::map<int, std::unique_ptr<TOwnRowsSetup>> setups;

TOwnRowsSetup& SetupFor(int Records) {
  TOwnRowsSetup& s = dbgrid_bench::ShownSetup(setups, Records);
  s.PlaceInMiddle();
  s.grid->Cells = 0;
  paintErrors.clear();
  return s;
}

using side_by_side::Guarded;

bool PaintFailed(benchmark::State& state) {
  if (paintErrors.empty()) return false;
  state.SkipWithError(("painting raised: " + paintErrors.front()).c_str());
  return true;
}

void BM_OwnRowsRepaint(benchmark::State& state) {
  Guarded(state, [&] {
    TOwnRowsSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TOwnRowsDBGridEh& grid = *setup.grid;
    const HWND handle = grid.Handle();
    for (auto _ : state) {
      InvalidateRect(handle, nullptr, FALSE);
      UpdateWindow(handle);
    }
    const int64_t shown = setup.ShownCells();
    if (PaintFailed(state)) return;
    if (!setup.RowsAreTheRecords())
      state.SkipWithError("the grid's rows are not the table's records");
    else if (grid.Cells != state.iterations() * shown)
      state.SkipWithError("a frame did not paint every cell that shows once");
    else if (setup.table->RecNo() != setup.Records / 2)
      state.SkipWithError("a frame moved the current record");
    state.counters["cells"] = static_cast<double>(shown);
  });
}
BENCHMARK(BM_OwnRowsRepaint)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_OwnRowsPageDown(benchmark::State& state) {
  Guarded(state, [&] {
    TOwnRowsSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TOwnRowsDBGridEh& grid = *setup.grid;
    const HWND handle = grid.Handle();
    const int from = grid.TopRow();
    const int page = grid.VisibleRowCount() - 1;
    int64_t wrongTops = 0, unpainted = 0;
    for (auto _ : state) {
      const int64_t cells = grid.Cells;
      grid.Perform(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
      UpdateWindow(handle);
      state.PauseTiming();
      if (grid.TopRow() != from + page) ++wrongTops;
      if (grid.Cells == cells) ++unpainted;
      setup.PlaceInMiddle();
      state.ResumeTiming();
    }
    if (PaintFailed(state)) return;
    if (!setup.RowsAreTheRecords() || page < 1)
      state.SkipWithError("the grid's rows are not the table's records");
    else if (wrongTops > 0)
      state.SkipWithError("a page down did not move the top row by a page");
    else if (unpainted > 0)
      state.SkipWithError("a page down left nothing painted");
    else if (setup.table->RecNo() != setup.Records / 2)
      state.SkipWithError("scrolling the rows moved the current record");
    state.counters["rows"] = page;
  });
}
BENCHMARK(BM_OwnRowsPageDown)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

RTL_IMPLEMENT_CLASS(TOwnRowsDBGridEh)

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows are made once, before any run is timed.
  bench_rows::Rows();
  ResetVcl();
  InitDBGridEhUnit();
  Application->OnException = [](TObject*, const Exception& e) { paintErrors.push_back(e.Message()); };
  const int result = dbgrid_bench::RunAndReportScaling(
      "own rows, 1280x800, 4 columns, us",
      {{"BM_OwnRowsRepaint", "repaint"}, {"BM_OwnRowsPageDown", "page down by the bar"}});
  setups.clear();
  ResetVcl();
  return result;
}
