// The data grid grouping the records of the grouping benchmarks (bench/GroupingBenchRows.h) by
// category and item, all groups expanded, with a footer summing the amount, in a shown
// 1280 x 800 grid of the five fields:
//   BM_GridGroupingActivate  DataGrouping.Active from false to true and the first frame painted:
//                            the tree's rebuild, the row count, every row height, the layout and
//                            the paint (1,000,000 records);
//   BM_GroupTreeRebuild      the group tree's Rebuild alone, under a thin grid that only counts
//                            its rows (the same records);
//   BM_GroupBy_SQLite        SQLite in memory's GROUP BY of the same two columns, stepped to its
//                            last row;
//   BM_GroupedRepaint        the whole grid invalidated and painted (100 records of one group, and
//                            1,000,000 records from the middle: both screens mostly records);
//   BM_GroupedPageDown       a page down through the grid's own scroll bar and its repaint;
//   BM_GroupedCollapse/Expand  one group of the first level collapsed or expanded, repainted;
//   BM_GroupedToggleOne      one group of a fixed number of rows collapsed and expanded again,
//                            repainted after each (10,000 and 1,000,000 records).
// Goals: the grid's own share of the activation (all but the rebuild) at most half the rebuild's
// time; the repaint and the page down cost the same for 100 and 1,000,000 records (ratio at most
// 1.1); the toggle of one group at 1,000,000 records within 3x of the same at 10,000. Every run
// checks what it built; the medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/DBGridBenchSupport.h"
#include "bench/GroupingBenchRows.h"
#include "bench/SideBySide.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"

namespace {

using namespace grouping_bench;
using side_by_side::Guarded;

constexpr int kClientWidth = 1280, kClientHeight = 800;
// Fewer records than this all go into one group, so that they fill a screen as many do.
constexpr int kScreenRecords = 1000;

std::vector<std::string> paintErrors;

// The data grid counting the cells it paints.
class TGroupedBenchDBGridEh : public TDBGridEh {
  RTL_CLASS(TGroupedBenchDBGridEh, TDBGridEh)
 public:
  using TDBGridEh::TDBGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    ++Cells;
    TDBGridEh::DrawCell(ACol, ARow, ARect, AState);
  }
  int64_t Cells = 0;
};

struct TGroupedGridSetup {
  explicit TGroupedGridSetup(int ARecords) : Records(ARecords) {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, kClientWidth + 40, kClientHeight + 60);
    table = new TMemoryDataSetEh(form);
    LoadGroupRows(table, static_cast<size_t>(Records), Records < kScreenRecords);
    table->First();
    source = new TDataSource(form);
    source->SetDataSet(table);
    grid = new TGroupedBenchDBGridEh(form);
    grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing});
    grid->SetBorderStyle(bsNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    for (const char* field : kFields) grid->Columns()->Add()->SetFieldName(field);
    form->Show();
    form->SetClientWidth(kClientWidth);
    form->SetClientHeight(kClientHeight);
    grid->SetDataSource(source);
    TDBGridEhDataGroupsEh* groups = grid->DataGrouping();
    groups->SetDefaultStateExpanded(true);
    TGridDataGroupFooterEh* footer = groups->Footers()->Add();
    groups->InitFootersColumnItems();
    footer->ColumnItems()->Items(kAmountColumn)->SetValueType(gfvSumEh);
    footer->SetVisible(true);
    groups->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(1));
    groups->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(2));
    groups->SetActive(true);
    Application->ProcessMessages();
    PlaceInMiddle();
  }
  TGridGroupDataTreeEh* Tree() const { return grid->DataGrouping()->GroupDataTree(); }
  void PlaceInMiddle() {
    grid->SetTopRow(grid->FixedRows() + (Records > 1000 ? Records / 2 : 0));
    Application->ProcessMessages();
    ValidateRect(grid->Handle(), nullptr);
  }
  // Empty when the grid's rows are the tree's flat list, else what is wrong.
  std::string Check() const {
    if (!grid->IsGroupingWorking()) return "grouping does not work";
    if (!grid->ScrollsOwnRows()) return "the grid does not scroll its rows itself";
    TGridGroupDataTreeEh* tree = Tree();
    int data = 0;
    for (int i = 0; i < tree->GetFlatCount(); ++i)
      data += tree->GetFlatNode(i)->NodeType == dntDataSetRecordEh;
    if (data != Records) return "the flat list does not hold every record";
    if (grid->RowCount() != grid->TopDataOffset() + tree->GetFlatCount())
      return "the grid's rows are not the flat list";
    return {};
  }
  int64_t ShownCells() const { return dbgrid_bench::ShownCells(grid); }

  const int Records;
  TForm* form = nullptr;
  TMemoryDataSetEh* table = nullptr;
  TDataSource* source = nullptr;
  TGroupedBenchDBGridEh* grid = nullptr;
};

std::map<int, std::unique_ptr<TGroupedGridSetup>> setups;

TGroupedGridSetup& SetupFor(int Records) {
  TGroupedGridSetup& s = dbgrid_bench::ShownSetup(setups, Records);
  s.PlaceInMiddle();
  s.grid->Cells = 0;
  paintErrors.clear();
  return s;
}

bool Failed(benchmark::State& state, const std::string& Why) {
  if (Why.empty() && paintErrors.empty()) return false;
  state.SkipWithError((Why.empty() ? "painting raised: " + paintErrors.front() : Why).c_str());
  return true;
}

void BM_GridGroupingActivate(benchmark::State& state) {
  Guarded(state, [&] {
    TGroupedGridSetup& setup = SetupFor(kRecords);
    TDBGridEhDataGroupsEh* groups = setup.grid->DataGrouping();
    const HWND handle = setup.grid->Handle();
    int64_t unpainted = 0;
    for (auto _ : state) {
      state.PauseTiming();
      groups->SetActive(false);
      Application->ProcessMessages();
      ValidateRect(handle, nullptr);
      const int64_t cells = setup.grid->Cells;
      state.ResumeTiming();
      groups->SetActive(true);
      UpdateWindow(handle);
      state.PauseTiming();
      unpainted += setup.grid->Cells == cells;
      state.ResumeTiming();
    }
    if (Failed(state, setup.Check())) return;
    if (unpainted > 0) state.SkipWithError("an activation painted nothing");
    state.counters["rows"] = setup.Tree()->GetFlatCount();
  });
}
BENCHMARK(BM_GridGroupingActivate)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The tree's rebuild under a thin grid that does no layout or painting of its own.
void BM_GroupTreeRebuild(benchmark::State& state) {
  Guarded(state, [&] {
    TGroupingSetup setup(false, false);
    if (Failed(state, setup.Check())) return;
    for (auto _ : state) setup.Tree()->Rebuild();
    Failed(state, setup.Check());
    state.counters["rows"] = setup.Tree()->GetFlatCount();
  });
}
BENCHMARK(BM_GroupTreeRebuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_GroupBy_SQLite(benchmark::State& state) {
  bench_sqlite::DbPtr db;
  {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    db.reset(raw);
  }
  sqlite3_stmt* st = nullptr;
  if (!InsertGroupRows(db.get()) ||
      sqlite3_prepare_v2(db.get(), "SELECT category, item, SUM(amount) FROM t GROUP BY category, item", -1,
                         &st, nullptr) != SQLITE_OK) {
    state.SkipWithError("the rows did not load");
    return;
  }
  int groups = 0;
  int64_t cents = 0;
  for (auto _ : state) {
    groups = 0;
    cents = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      ++groups;
      cents += std::llround(sqlite3_column_double(st, 2) * 100);
    }
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  if (groups != Expected().ItemGroups ||
      !SameTotal(static_cast<double>(cents) / 100.0, Expected().TotalCents))
    state.SkipWithError("the groups or their sums are not the rows'");
}
BENCHMARK(BM_GroupBy_SQLite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GroupedRepaint(benchmark::State& state) {
  Guarded(state, [&] {
    TGroupedGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    const HWND handle = setup.grid->Handle();
    for (auto _ : state) {
      InvalidateRect(handle, nullptr, FALSE);
      UpdateWindow(handle);
    }
    if (Failed(state, setup.Check())) return;
    const int64_t shown = setup.ShownCells();
    if (setup.grid->Cells != state.iterations() * shown)
      state.SkipWithError("a frame did not paint every cell that shows once");
    state.counters["cells"] = static_cast<double>(shown);
  });
}
BENCHMARK(BM_GroupedRepaint)
    ->Arg(100)
    ->Arg(kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_GroupedPageDown(benchmark::State& state) {
  Guarded(state, [&] {
    TGroupedGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TGroupedBenchDBGridEh& grid = *setup.grid;
    const HWND handle = grid.Handle();
    const int from = grid.TopRow();
    int64_t wrongTops = 0;
    for (auto _ : state) {
      grid.Perform(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
      UpdateWindow(handle);
      state.PauseTiming();
      if (grid.TopRow() <= from) ++wrongTops;
      setup.PlaceInMiddle();
      state.ResumeTiming();
    }
    if (Failed(state, setup.Check())) return;
    if (wrongTops > 0) state.SkipWithError("a page down did not move the top row");
  });
}
BENCHMARK(BM_GroupedPageDown)
    ->Arg(100)
    ->Arg(kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The first category's group row collapsed (Collapse) or expanded and the grid repainted; the
// opposite step runs untimed between the timed ones.
void RunGroupExpand(benchmark::State& state, bool Collapse) {
  Guarded(state, [&] {
    TGroupedGridSetup& setup = SetupFor(kRecords);
    TGroupDataTreeNodeEh* group = setup.Tree()->GetRoot()->GetItem(0);
    const HWND handle = setup.grid->Handle();
    const int expandedRows = setup.Tree()->GetFlatCount();
    int collapsedRows = 0;
    for (auto _ : state) {
      state.PauseTiming();
      if (!Collapse) group->SetExpanded(false);
      Application->ProcessMessages();
      ValidateRect(handle, nullptr);
      state.ResumeTiming();
      group->SetExpanded(!Collapse);
      UpdateWindow(handle);
      state.PauseTiming();
      collapsedRows = Collapse ? setup.Tree()->GetFlatCount() : collapsedRows;
      if (Collapse) group->SetExpanded(true);
      state.ResumeTiming();
    }
    if (Failed(state, setup.Check())) return;
    if (setup.Tree()->GetFlatCount() != expandedRows || (Collapse && collapsedRows >= expandedRows))
      state.SkipWithError("the group did not collapse and expand again");
  });
}
void BM_GroupedCollapse(benchmark::State& state) {
  RunGroupExpand(state, true);
}
void BM_GroupedExpand(benchmark::State& state) {
  RunGroupExpand(state, false);
}
BENCHMARK(BM_GroupedCollapse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_GroupedExpand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// One group of as many rows at 10,000 records as at 1,000,000 (the first category with its item
// groups collapsed, ToggleRows) collapsed and expanded again, the grid repainted after each
// toggle and its row count checked.
void BM_GroupedToggleOne(benchmark::State& state) {
  Guarded(state, [&] {
    const int records = static_cast<int>(state.range(0));
    TGroupedGridSetup& setup = SetupFor(records);
    TGridGroupDataTreeEh* tree = setup.Tree();
    TGroupDataTreeNodeEh* group = CollapseFirstCategoryItems(tree);
    // The other benchmarks find every group expanded.
    TScopeExit expandAll([&] {
      setup.grid->DataGrouping()->GetActiveGroupLevel(1)->ExpandNodes();
      setup.PlaceInMiddle();
    });
    const TToggleRows expected = ToggleRows(static_cast<size_t>(records));
    const HWND handle = setup.grid->Handle();
    auto wrongRows = [&](int Rows) {
      return tree->GetFlatCount() != Rows || setup.grid->RowCount() != setup.grid->TopDataOffset() + Rows;
    };
    setup.PlaceInMiddle();
    int64_t wrong = wrongRows(expected.Shown);
    for (auto _ : state) {
      group->SetExpanded(false);
      UpdateWindow(handle);
      wrong += wrongRows(expected.Collapsed);
      group->SetExpanded(true);
      UpdateWindow(handle);
      wrong += wrongRows(expected.Shown);
    }
    if (Failed(state, wrong > 0 ? "a toggle left the grid with other rows than the group's" : "")) return;
    state.counters["rows"] = tree->GetFlatCount();
  });
}
BENCHMARK(BM_GroupedToggleOne)
    ->Arg(10000)
    ->Arg(kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

RTL_IMPLEMENT_CLASS(TGroupedBenchDBGridEh)

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Expected();
  ResetVcl();
  InitDBGridEhUnit();
  Application->OnException = [](TObject*, const Exception& e) { paintErrors.push_back(e.Message()); };
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double activate = reporter.TimeOf("BM_GridGroupingActivate"),
               rebuild = reporter.TimeOf("BM_GroupTreeRebuild"),
               sqlite = reporter.TimeOf("BM_GroupBy_SQLite");
  std::printf("\ngrouped data grid, 1,000,000 records         ms      ratio (goal)\n");
  if (activate > 0 && rebuild > 0) {
    std::printf("activation to the first frame       %10.1f\n", activate);
    std::printf("the tree's rebuild alone            %10.1f\n", rebuild);
    std::printf("the grid's own share                %10.1f %8.2f (<= 0.5 of the rebuild)\n",
                activate - rebuild, (activate - rebuild) / rebuild);
  }
  if (sqlite > 0)
    std::printf("SQLite GROUP BY of the two columns  %10.1f %8.2f (activation / it, no goal)\n", sqlite,
                activate > 0 ? activate / sqlite : 0.0);
  for (const char* name : {"BM_GroupedCollapse", "BM_GroupedExpand"})
    if (const double t = reporter.TimeOf(name); t > 0) std::printf("%-35s %10.3f (no goal)\n", name + 3, t);
  std::printf("\n%-34s %12s %12s %7s\n", "grouped, 1280x800 (us)", "100 records", "1,000,000", "ratio");
  for (const char* name : {"BM_GroupedRepaint", "BM_GroupedPageDown"}) {
    const double few = reporter.TimeOf(std::string(name) + "/records:100"),
                 many = reporter.TimeOf(std::string(name) + "/records:1000000");
    if (few > 0 && many > 0)
      std::printf("%-34s %12.1f %12.1f %7.3f (<= 1.1)\n", name + 3, few, many, many / few);
  }
  const double toggleFew = reporter.TimeOf("BM_GroupedToggleOne/records:10000"),
               toggleMany = reporter.TimeOf("BM_GroupedToggleOne/records:1000000");
  if (toggleFew > 0 && toggleMany > 0)
    std::printf("%-34s %12.1f %12.1f %7.3f (<= 3.0)\n", "collapse and expand one group", toggleFew,
                toggleMany, toggleMany / toggleFew);
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  setups.clear();
  ResetVcl();
  return reporter.Failed().empty() ? 0 : 1;
}
