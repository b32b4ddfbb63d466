// Optimal column widths over 1,000,000 records (ID Integer, Name String of 8-16 characters with
// Chinese in every fifth, Amount Float, When DateTime) in a shown data grid:
//   BM_OptimizeColsWidth_Grid  the grid's OptimizeColsWidth over the four columns;
//   BM_OptimizeColsWidth_Loop  a plain loop reading each record's display texts and measuring
//                              them with the same font, as a hand-written fit would.
// Both check their widths against the widths worked out once by the loop. The goal: the grid
// within 1.5 times the loop.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DBGridBenchSupport.h"
#include "bench/SideBySide.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

const char* const* const kFields = dbgrid_bench::kFieldNames;
constexpr int kFieldCount = 4;
// The margin a fitted cell keeps besides its text.
constexpr int kMargin = 5;

// Every fifth name starts with Chinese characters in place of its first letters, keeping 8-16
// characters.
std::string NameOf(const bench_rows::Row& Row) {
  if (Row.Id % 5 != 0) return Row.Name;
  return "记账凭证" + Row.Name.substr(4);
}

struct TOptWidthSetup : dbgrid_bench::TBenchDBGrid {
  TOptWidthSetup()
      : TBenchDBGrid(bench_rows::Rows().size(), [](size_t Row) { return NameOf(bench_rows::Rows()[Row]); }) {
    grid->SetAlign(alClient);
    form->Show();
    grid->SetDataSource(source);
    Application->ProcessMessages();
    for (int i = 0; i < kFieldCount; ++i) list.Add(grid->Columns()->GetColumn(i));
  }
  ~TOptWidthSetup() { form->Free(); }

  // The plain loop: every record's display texts measured in the column's font.
  std::vector<int> LoopWidths() {
    std::vector<int> widths(kFieldCount, 0);
    TField* fields[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i) fields[i] = dataSet->FieldByName(kFields[i]);
    HDC dc = grid->Canvas()->Handle();
    HGDIOBJ old = SelectObject(dc, grid->Columns()->GetColumn(0)->Font()->Handle());
    dataSet->DisableControls();
    const TBookmark start = dataSet->Bookmark();
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      for (int i = 0; i < kFieldCount; ++i) {
        SIZE size{};
        GetTextExtentPoint32(dc, fields[i]->DisplayText(), &size);
        widths[i] = std::max(widths[i], static_cast<int>(size.cx) + kMargin);
      }
    dataSet->GotoBookmark(start);
    dataSet->EnableControls();
    SelectObject(dc, old);
    return widths;
  }
  std::vector<int> GridWidths() {
    for (int i = 0; i < kFieldCount; ++i) grid->Columns()->GetColumn(i)->SetWidth(20);
    grid->OptimizeColsWidth(list, -1);
    std::vector<int> widths;
    for (int i = 0; i < kFieldCount; ++i) widths.push_back(grid->Columns()->GetColumn(i)->Width());
    return widths;
  }

  TColumnsEhList list;
};

std::unique_ptr<TOptWidthSetup> setup;
std::vector<int> expected;

TOptWidthSetup& Setup() {
  if (!setup) {
    setup = std::make_unique<TOptWidthSetup>();
    // The titles are narrower than the data: both sides must come to the data's widths.
    expected = setup->LoopWidths();
  }
  return *setup;
}

void BM_OptimizeColsWidth_Grid(benchmark::State& state) {
  side_by_side::Guarded(state, [&] {
    TOptWidthSetup& s = Setup();
    std::vector<int> widths;
    for (auto _ : state) widths = s.GridWidths();
    if (widths != expected) state.SkipWithError("the grid's widths differ from the measured texts");
  });
}
BENCHMARK(BM_OptimizeColsWidth_Grid)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_OptimizeColsWidth_Loop(benchmark::State& state) {
  side_by_side::Guarded(state, [&] {
    TOptWidthSetup& s = Setup();
    std::vector<int> widths;
    for (auto _ : state) widths = s.LoopWidths();
    if (widths != expected) state.SkipWithError("the loop's widths changed between runs");
  });
}
BENCHMARK(BM_OptimizeColsWidth_Loop)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench_rows::Rows();
  ResetVcl();
  InitDBGridEhUnit();
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double grid = reporter.TimeOf("BM_OptimizeColsWidth_Grid"),
               loop = reporter.TimeOf("BM_OptimizeColsWidth_Loop");
  std::printf("\noptimal widths, 4 columns x 1,000,000 records, ms   grid %.1f   loop %.1f", grid, loop);
  if (grid > 0 && loop > 0) std::printf("   ratio %.3f (goal <= 1.5)", grid / loop);
  std::printf("\n");
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  setup.reset();
  ResetVcl();
  return 0;
}
