// Data grouping over 1,000,000 records (Integer id, String category of 20 values, String item of
// 50 values in every category, Float amount with some Nulls, String parity "A"/"B"), in no
// particular order, in a TMemoryDataSetEh bound to a thin grouping grid without a window. All
// group rows are expanded; the settings' grand-total footer, which the levels share, holds a
// Sum item on the amount:
//   BM_Group_Tree            Rebuild grouped by category, then item: the records filed, the
//                            footer values and the flat list;
//   BM_Group_SQLite          SQLite in memory over the same rows: the three GROUP BY sums and the
//                            grouped listing, each stepped to its last row;
//   BM_GroupTwoValues_Tree   Rebuild grouped by the parity alone: two groups of 500,000 rows;
//   BM_GroupCollapse_Tree    the category level's CollapseNodes over the expanded tree;
//   BM_GroupExpand_Tree      its ExpandNodes over the collapsed tree;
//   BM_GroupMoveRecord_Tree  one record's category edited and posted: the data set's notice,
//                            DataRecordChanged moving the row and recalculating every footer;
//   BM_GroupToggleOne_Tree   one group of a fixed number of rows collapsed and expanded again,
//                            over 10,000 and over 1,000,000 records;
//   BM_GroupMemory           the memory grouping adds: the peak resident size of a child process
//                            that activates the category, item grouping less that of one that
//                            sets it up without activating it, by record (counter
//                            bytes_per_record). With --grouping-10m also over 10,000,000
//                            records (the rows come round ten times), for the peak in MiB.
// Goals: the grouped view in no more time than SQLite's four statements (ratio at most 1.0), and
// the two-value grouping within 2x of the category, item grouping (no cost quadratic in a
// group's size); the toggle of one group at 1,000,000 records within 3x of the same at 10,000
// (its cost follows the group, not the data). Every run checks what it built against figures worked out from
// the rows. The medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <numeric>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "bench/GroupingBenchRows.h"
#include "bench/ResidentSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/MemoryDataSetEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinGroupingGrid.h"

namespace {

using namespace grouping_bench;

void RunRebuild(benchmark::State& state, bool ByParity) {
  TGroupingSetup setup(ByParity);
  if (const std::string why = setup.Check(); !why.empty()) {
    state.SkipWithError(("activation: " + why).c_str());
    return;
  }
  TGridGroupDataTreeEh* tree = setup.Tree();
  int64_t recounts = 0;
  for (auto _ : state) {
    const int before = setup.grid->RowCountUpdates;
    tree->Rebuild();
    // The flat list is rebuilt when the grid is asked to recount its rows.
    recounts += setup.grid->RowCountUpdates > before ? 1 : 0;
  }
  if (recounts != static_cast<int64_t>(state.iterations()))
    state.SkipWithError("Rebuild did not rebuild the flat list");
  else if (const std::string why = setup.Check(); !why.empty())
    state.SkipWithError(why.c_str());
  state.counters["records"] = kRecords;
  state.counters["rows"] = tree->GetFlatCount();
}

void BM_Group_Tree(benchmark::State& state) {
  RunRebuild(state, false);
}
BENCHMARK(BM_Group_Tree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GroupTwoValues_Tree(benchmark::State& state) {
  RunRebuild(state, true);
}
BENCHMARK(BM_GroupTwoValues_Tree)->Unit(benchmark::kMillisecond)->UseRealTime();

// The four statements' answers of one run.
struct SqliteAnswers {
  int PairRows = 0;
  int64_t PairCents = 0;
  std::vector<int64_t> CategoryCents;
  double Total = -1;
  std::vector<int> Ids;
};

// Empty when the answers are the rows', else what is wrong.
std::string CheckSqlite(const SqliteAnswers& A) {
  const Known& k = Expected();
  if (A.PairRows != k.ItemGroups || !SameTotal(static_cast<double>(A.PairCents) / 100.0, k.TotalCents))
    return "the sums by category and item are not the rows'";
  if (A.CategoryCents.size() != k.CategoryCents.size()) return "the sums by category are not the rows'";
  for (size_t c = 0; c < A.CategoryCents.size(); ++c)
    if (std::llabs(A.CategoryCents[c] - k.CategoryCents[c]) > 1)
      return "the sums by category are not the rows'";
  if (!SameTotal(A.Total, k.TotalCents)) return "the grand sum is not the rows'";
  const std::vector<GroupRow>& rows = Rows();
  if (A.Ids.size() != k.ListingOrder.size()) return "the grouped listing does not hold every record";
  for (size_t i = 0; i < A.Ids.size(); ++i)
    if (A.Ids[i] != rows[size_t(k.ListingOrder[i])].Id) return "the grouped listing is in another order";
  return {};
}

void BM_Group_SQLite(benchmark::State& state) {
  bench_sqlite::DbPtr db;
  {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    db.reset(raw);
  }
  if (!InsertGroupRows(db.get())) {
    state.SkipWithError("the rows did not load");
    return;
  }
  const char* const sql[] = {"SELECT category, item, SUM(amount) FROM t GROUP BY category, item",
                             "SELECT category, SUM(amount) FROM t GROUP BY category",
                             "SELECT SUM(amount) FROM t", "SELECT id FROM t ORDER BY category, item, rowid"};
  sqlite3_stmt* st[4] = {};
  for (int i = 0; i < 4; ++i)
    if (sqlite3_prepare_v2(db.get(), sql[i], -1, &st[i], nullptr) != SQLITE_OK) {
      for (sqlite3_stmt* s : st) sqlite3_finalize(s);
      state.SkipWithError("a statement did not prepare");
      return;
    }
  SqliteAnswers a;
  a.Ids.reserve(kRecords);
  a.CategoryCents.reserve(kCategories);
  for (auto _ : state) {
    a.PairRows = 0;
    a.PairCents = 0;
    while (sqlite3_step(st[0]) == SQLITE_ROW) {
      ++a.PairRows;
      a.PairCents += std::llround(sqlite3_column_double(st[0], 2) * 100);
    }
    a.CategoryCents.clear();
    while (sqlite3_step(st[1]) == SQLITE_ROW)
      a.CategoryCents.push_back(std::llround(sqlite3_column_double(st[1], 1) * 100));
    a.Total = sqlite3_step(st[2]) == SQLITE_ROW ? sqlite3_column_double(st[2], 0) : -1;
    while (sqlite3_step(st[2]) == SQLITE_ROW) {
    }
    a.Ids.clear();
    while (sqlite3_step(st[3]) == SQLITE_ROW) a.Ids.push_back(sqlite3_column_int(st[3], 0));
    for (sqlite3_stmt* s : st) sqlite3_reset(s);
  }
  for (sqlite3_stmt* s : st) sqlite3_finalize(s);
  if (const std::string why = CheckSqlite(a); !why.empty()) state.SkipWithError(why.c_str());
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_Group_SQLite)->Unit(benchmark::kMillisecond)->UseRealTime();

// Collapsing (Collapse true) or expanding every group row of the category level; the opposite
// step runs untimed between the timed ones. A fixed number of runs: a collapse takes far less
// than the untimed expand beside it, so the library's own count would run for many minutes.
void RunLevelExpand(benchmark::State& state, bool Collapse) {
  TGroupingSetup setup(false);
  if (const std::string why = setup.Check(); !why.empty()) {
    state.SkipWithError(("activation: " + why).c_str());
    return;
  }
  TGridDataGroupLevelEh* level = setup.grid->DataGrouping()->GetActiveGroupLevel(0);
  TGridGroupDataTreeEh* tree = setup.Tree();
  int collapsedCount = -1;
  for (auto _ : state) {
    if (Collapse) {
      level->CollapseNodes();
      state.PauseTiming();
      collapsedCount = tree->GetFlatCount();
      level->ExpandNodes();
      state.ResumeTiming();
    } else {
      state.PauseTiming();
      level->CollapseNodes();
      collapsedCount = tree->GetFlatCount();
      state.ResumeTiming();
      level->ExpandNodes();
    }
  }
  // Collapsed, only the category rows are rows.
  if (collapsedCount != kCategories)
    state.SkipWithError(
        ("collapsed, the flat list holds " + std::to_string(collapsedCount) + " rows").c_str());
  else if (const std::string why = setup.Check(); !why.empty())
    state.SkipWithError(("expanded again: " + why).c_str());
  state.counters["records"] = kRecords;
}

void BM_GroupCollapse_Tree(benchmark::State& state) {
  RunLevelExpand(state, true);
}
BENCHMARK(BM_GroupCollapse_Tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

void BM_GroupExpand_Tree(benchmark::State& state) {
  RunLevelExpand(state, false);
}
BENCHMARK(BM_GroupExpand_Tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// One group collapsed and expanded again, each toggle checked by the flat list's length: the
// first category, whose item groups are collapsed (ToggleRows), over 10,000 and 1,000,000
// records. Its rows are as many in both; the goal is a cost that follows them, not the records.
void BM_GroupToggleOne_Tree(benchmark::State& state) {
  const auto records = static_cast<size_t>(state.range(0));
  TGroupingSetup setup(false, true, records);
  TGridGroupDataTreeEh* tree = setup.Tree();
  TGroupDataTreeNodeEh* group = CollapseFirstCategoryItems(tree);
  const TToggleRows expected = ToggleRows(records);
  int64_t wrong = tree->GetFlatCount() != expected.Shown;
  for (auto _ : state) {
    group->SetExpanded(false);
    wrong += tree->GetFlatCount() != expected.Collapsed;
    group->SetExpanded(true);
    wrong += tree->GetFlatCount() != expected.Shown;
  }
  if (wrong > 0) {
    state.SkipWithError("a toggle left the flat list of another length");
    return;
  }
  tree->CheckConsistency();
  state.counters["rows"] = tree->GetFlatCount();
}
BENCHMARK(BM_GroupToggleOne_Tree)
    ->Arg(10000)
    ->Arg(kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// One record in the middle with an amount goes to the next category and back, one edit and
// post a run: the data set tells the grid, the grid the tree. A fixed number of runs, as for
// the collapse.
void BM_GroupMoveRecord_Tree(benchmark::State& state) {
  TGroupingSetup setup(false);
  if (const std::string why = setup.Check(); !why.empty()) {
    state.SkipWithError(("activation: " + why).c_str());
    return;
  }
  const std::vector<GroupRow>& rows = Rows();
  int r = kRecords / 2;
  while (!rows[size_t(r)].HasAmount) ++r;
  const int home = rows[size_t(r)].Category, away = (home + 1) % kCategories;
  const std::string names[2] = {CategoryName(home), CategoryName(away)};
  TField* category = setup.dataSet->FieldByName("Category");
  TGridGroupDataTreeEh* tree = setup.Tree();
  const size_t noticesBefore = setup.grid->Notices.size();
  int at = 0;  // 0: at home, 1: away
  for (auto _ : state) {
    state.PauseTiming();
    setup.dataSet->SetRecNo(r + 1);
    at = 1 - at;
    state.ResumeTiming();
    setup.dataSet->Edit();
    category->SetAsString(names[at]);
    setup.dataSet->Post();
  }
  const Known& k = Expected();
  TGroupDataTreeNodeEh* node = tree->FindRecordNode(r);
  TGroupDataTreeNodeEh* group = node && node->GetParent() ? node->GetParent()->GetParent() : nullptr;
  const int64_t moved = rows[size_t(r)].Cents;
  const size_t notices = setup.grid->Notices.size() - noticesBefore;
  bool noticesRight = notices == static_cast<size_t>(state.iterations());
  for (size_t i = noticesBefore; noticesRight && i < setup.grid->Notices.size(); ++i)
    noticesRight = setup.grid->Notices[i] == std::make_pair(mtcRecordChanged, r);
  if (!noticesRight) {
    state.SkipWithError("the grid did not hear one change notice per post");
  } else if (!group || !group->KeyValue.IsString() || group->KeyValue.AsString() != names[at]) {
    state.SkipWithError("the record's row is not under its new category");
  } else if (tree->GetFlatCount() != setup.ExpandedFlatCount()) {
    state.SkipWithError("the flat list lost or gained rows");
  } else {
    // The category rows are the root's first children, in key order.
    TGroupDataTreeNodeEh* root = tree->GetRoot();
    const int64_t homeCents = k.CategoryCents[size_t(home)] - (at ? moved : 0);
    const int64_t awayCents = k.CategoryCents[size_t(away)] + (at ? moved : 0);
    TGroupDataTreeNodeEh* homeRow = root->GetItem(home);
    TGroupDataTreeNodeEh* awayRow = root->GetItem(away);
    if (!SameTotal(homeRow->GetFooterNode(0)->GetFooterValue(kAmountColumn), homeCents) ||
        !SameTotal(awayRow->GetFooterNode(0)->GetFooterValue(kAmountColumn), awayCents) ||
        !SameTotal(root->GetFooterNode(0)->GetFooterValue(kAmountColumn), k.TotalCents))
      state.SkipWithError("the footers do not follow the moved record");
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_GroupMoveRecord_Tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// --- memory -------------------------------------------------------------------------------------

constexpr const char* kResidentFlag = "--grouping-resident=";
constexpr const char* kTenMillionFlag = "--grouping-10m";

// The child: Records records in a grid set up for the category, item grouping, active when
// Grouped; prints its peak resident size and ends at once (freeing it all only costs time).
[[noreturn]] void Resident(bool Grouped, size_t Records) {
  Rows();
  TGroupingSetup setup(false, true, Records, Grouped);
  const int expected = Grouped ? setup.Groups() * 2 + static_cast<int>(Records) : 0;
  const bool right = setup.Tree()->GetFlatCount() == expected;
  std::printf("%ld\n", bench_resident::PeakResidentKb());
  std::fflush(stdout);
  if (!right)
    std::fprintf(stderr, "the flat list holds %d rows, not %d\n", setup.Tree()->GetFlatCount(), expected);
  _exit(right ? 0 : 1);
}

void BM_GroupMemory(benchmark::State& state) {
  const auto records = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    const std::string count = std::to_string(records);
    const long base = bench_resident::ChildPeakKb(kResidentFlag + ("set-up:" + count));
    const long peak = bench_resident::ChildPeakKb(kResidentFlag + ("grouped:" + count));
    if (base < 0 || peak < 0) {
      state.SkipWithError("a child process failed; run it alone with --grouping-resident=grouped:N");
      break;
    }
    state.counters["bytes_per_record"] =
        static_cast<double>(peak - base) * 1024.0 / static_cast<double>(records);
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
    state.counters["set_up_MiB"] = static_cast<double>(base) / 1024.0;
  }
}
BENCHMARK(BM_GroupMemory)->Arg(kRecords)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strncmp(argv[1], kResidentFlag, std::strlen(kResidentFlag)) == 0) {
    const std::string what = argv[1] + std::strlen(kResidentFlag);
    const size_t colon = what.find(':');
    Resident(what.substr(0, colon) == "grouped", std::stoul(what.substr(colon + 1)));
  }
  bool tenMillion = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], kTenMillionFlag) == 0) {
      tenMillion = true;
      std::copy(argv + i + 1, argv + argc + 1, argv + i);  // argv[argc] is the null at the end
      --argc;
      break;
    }
  if (tenMillion)
    benchmark::RegisterBenchmark("BM_GroupMemory", BM_GroupMemory)
        ->Arg(10 * kRecords)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows and what they must give are made once, before any run is timed.
  Expected();
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double tree = reporter.TimeOf("BM_Group_Tree");
  const double sqlite = reporter.TimeOf("BM_Group_SQLite");
  const double twoValues = reporter.TimeOf("BM_GroupTwoValues_Tree");
  std::printf("\ngrouped view, 1,000,000 records             ours (ms)  other (ms)   ratio (goal)\n");
  if (tree > 0 && sqlite > 0)
    std::printf("category, item vs SQLite's four statements %10.1f %11.1f %8.2f (<= 1.0)\n", tree, sqlite,
                tree / sqlite);
  if (twoValues > 0 && tree > 0)
    std::printf("two values vs category, item              %10.1f %11.1f %8.2f (<= 2.0)\n", twoValues, tree,
                twoValues / tree);
  const std::pair<const char*, const char*> noGoal[] = {
      {"BM_GroupCollapse_Tree", "collapse the category level"},
      {"BM_GroupExpand_Tree", "expand the category level"},
      {"BM_GroupMoveRecord_Tree", "move one record to another category"}};
  for (const auto& [name, what] : noGoal) {
    const double t = reporter.TimeOf(name);
    if (t > 0)
      std::printf("%-42s %10.3f %11s %8.3f (of the rebuild; no goal)\n", what, t, "",
                  tree > 0 ? t / tree : 0.0);
  }
  const double toggleFew = reporter.TimeOf("BM_GroupToggleOne_Tree/records:10000"),
               toggleMany = reporter.TimeOf("BM_GroupToggleOne_Tree/records:1000000");
  if (toggleFew > 0 && toggleMany > 0)
    std::printf("collapse and expand one group (us)  %10.1f %11.1f %8.2f (1M / 10k; <= 3.0)\n", toggleMany,
                toggleFew, toggleMany / toggleFew);
  for (const int64_t records : {int64_t(kRecords), 10 * int64_t(kRecords)}) {
    const std::string name = "BM_GroupMemory/" + std::to_string(records);
    const double bytes = reporter.CounterOf(name, "bytes_per_record");
    if (bytes >= 0)
      std::printf("memory grouping adds, %lld records: %.1f B a record (goal <= 120), peak %.0f MiB\n",
                  static_cast<long long>(records), bytes, reporter.CounterOf(name, "peak_MiB"));
  }
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
