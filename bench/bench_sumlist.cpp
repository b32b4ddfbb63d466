// The sum list's RecalcAll over 1,000,000 records of the in-memory data set against SQLite's
// in-memory database on the same values:
//   Sum         - one total (the sum of the Float amount); SQLite: SELECT SUM(amount).
//   SumAvgCnt   - a sum, an average and a record count; SQLite: SELECT SUM, AVG, COUNT(*).
//   SumSorted   - the total over the data set sorted by the text field (IndexFieldNames), as a
//                 grid sorted by a column shows it; SQLite: SELECT SUM(amount), as the order
//                 does not change a sum.
//   SumFiltered - the total over the data set filtered by Name Like '%ab%'; SQLite:
//                 SELECT SUM(amount) ... WHERE name LIKE '%ab%'. The data set holds its filter
//                 before the clock starts, as the grid's does when the footer recalculates;
//                 SQLite answers the same question from the table.
// RecalcAll walks the data set as a grid's footer would (DisableControls, First..Eof, back to
// the saved bookmark); Walk is that navigation alone. Every side checks its totals against the
// rows. After the runs a table gives both times, the medians of the repetitions. bench/run_side_by_side.py
// runs each benchmark in a fresh process.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DataSetSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/data/DBSumListEh.h"

namespace {

using bench_rows::kRecords;

// --- the data set side -----------------------------------------------------------------------

using bench_dataset::MemoryDataSetPtr;
using bench_rows::Expected;
using bench_rows::SameTotal;

// The expected results are worked out once, before any benchmark runs: made lazily, their
// sort of the names would land in the first timed iteration of whichever side came first.
const bool kExpectedReady = (Expected(), true);

// Which records the totals run over.
enum class TView { All, SortedByName, Filtered };

TMemoryDataSet& SharedDataSet() {
  static MemoryDataSetPtr ds = [] {
    MemoryDataSetPtr d = bench_dataset::NewDataSet(false);
    bench_dataset::LoadAll(*d);
    return d;
  }();
  return *ds;
}

void ShowView(TMemoryDataSet& ds, TView view) {
  ds.SetIndexFieldNames(view == TView::SortedByName ? "Name" : "");
  if (view == TView::Filtered) ds.SetFilter(std::string("Name Like '") + bench_rows::kLikePattern + "'");
  ds.SetFiltered(view == TView::Filtered);
}

// The count and the sum of the amounts in cents the view must give.
std::pair<int, int64_t> ExpectedTotals(TView view) {
  const bench_rows::Known& k = Expected();
  return view == TView::Filtered ? std::pair(k.FilterMatches, k.FilterAmountCents)
                                 : std::pair(kRecords, k.AmountCents);
}

template <bool AllThree, TView View>
void RecalcAll(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  ShowView(ds, View);
  TDBSumListProducer producer;
  TDBSum* sum = producer.SumCollection()->Add();
  sum->SetFieldName("Amount");
  TDBSum* avg = nullptr;
  TDBSum* count = nullptr;
  if (AllThree) {
    avg = producer.SumCollection()->Add();
    avg->SetFieldName("Amount");
    avg->SetGroupOperation(goAvg);
    count = producer.SumCollection()->Add();
    count->SetGroupOperation(goCount);
  }
  producer.SetDataSet(&ds);
  const auto [records, cents] = ExpectedTotals(View);
  for (auto _ : state) {
    producer.RecalcAll();
    benchmark::DoNotOptimize(sum->SumValue());
    // Amounts have two decimals, so the currency total is exact.
    bool ok = sum->SumValue().Raw() == cents * 100 && sum->ValueCount() == records;
    if (AllThree)
      ok = ok && count->SumValue() == Currency::FromInt(records) &&
           std::fabs(avg->SumValue().ToDouble() - static_cast<double>(cents) / 100.0 / records) < 0.0001;
    if (!ok) {
      state.SkipWithError("RecalcAll: wrong totals");
      break;
    }
  }
  producer.SetDataSet(nullptr);
  ShowView(ds, TView::All);
  state.SetItemsProcessed(state.iterations() * records);
}

void BM_Sum_SumList(benchmark::State& state) {
  RecalcAll<false, TView::All>(state);
}
void BM_SumAvgCnt_SumList(benchmark::State& state) {
  RecalcAll<true, TView::All>(state);
}
void BM_SumSorted_SumList(benchmark::State& state) {
  RecalcAll<false, TView::SortedByName>(state);
}
void BM_SumFiltered_SumList(benchmark::State& state) {
  RecalcAll<false, TView::Filtered>(state);
}

// The bare walk RecalcAll makes, without reading a field: what the navigation alone costs.
void BM_Walk_DataSet(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  for (auto _ : state) {
    ds.DisableControls();
    int n = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) ++n;
    ds.EnableControls();
    if (n != kRecords) {
      state.SkipWithError("walk incomplete");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// --- the SQLite side -------------------------------------------------------------------------

using bench_sqlite::DbPtr;

sqlite3* SharedDb() {
  static DbPtr db = [] {
    DbPtr d = bench_sqlite::NewDb();
    bench_sqlite::InsertRows(d.get());
    return d;
  }();
  return db.get();
}

template <bool AllThree, TView View>
void SelectSum(benchmark::State& state) {
  sqlite3* db = SharedDb();
  sqlite3_stmt* st = nullptr;
  const std::string where = std::string(" WHERE name LIKE '") + bench_rows::kLikePattern + "'";
  const std::string sql = std::string(AllThree ? "SELECT SUM(amount), AVG(amount), COUNT(*) FROM t"
                                               : "SELECT SUM(amount) FROM t") +
                          (View == TView::Filtered ? where : "");
  sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
  const auto [records, cents] = ExpectedTotals(View);
  for (auto _ : state) {
    double total = 0, average = 0;
    int64_t n = 0;
    if (sqlite3_step(st) == SQLITE_ROW) {
      total = sqlite3_column_double(st, 0);
      if (AllThree) average = sqlite3_column_double(st, 1);
      if (AllThree) n = sqlite3_column_int64(st, 2);
    }
    sqlite3_reset(st);
    benchmark::DoNotOptimize(total);
    bool ok = SameTotal(total, cents);
    if (AllThree)
      ok = ok && n == records && std::fabs(average - static_cast<double>(cents) / 100.0 / records) < 0.0001;
    if (!ok) {
      state.SkipWithError("SELECT SUM: wrong totals");
      break;
    }
  }
  sqlite3_finalize(st);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Sum_SQLite(benchmark::State& state) {
  SelectSum<false, TView::All>(state);
}
void BM_SumAvgCnt_SQLite(benchmark::State& state) {
  SelectSum<true, TView::All>(state);
}
void BM_SumSorted_SQLite(benchmark::State& state) {
  SelectSum<false, TView::SortedByName>(state);
}
void BM_SumFiltered_SQLite(benchmark::State& state) {
  SelectSum<false, TView::Filtered>(state);
}

#define PAIR(Work, Iters)                                                                          \
  BENCHMARK(BM_##Work##_SumList)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime(); \
  BENCHMARK(BM_##Work##_SQLite)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime()

PAIR(Sum, 5);
PAIR(SumAvgCnt, 5);
PAIR(SumSorted, 3);
PAIR(SumFiltered, 5);
BENCHMARK(BM_Walk_DataSet)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-28s %16s %12s %10s\n", "work (1,000,000 records)", "RecalcAll", "SQLite", "ratio");
  for (const char* w : {"Sum", "SumAvgCnt", "SumSorted", "SumFiltered"}) {
    const double mine = reporter.TimeOf(std::string("BM_") + w + "_SumList");
    const double theirs = reporter.TimeOf(std::string("BM_") + w + "_SQLite");
    if (mine < 0 || theirs < 0) continue;
    std::printf("%-28s %13.1f ms %9.1f ms %9.2fx\n", w, mine, theirs, theirs / mine);
  }
  std::printf(
      "medians of the repetitions; ratio: SQLite time / RecalcAll time (above 1: the sum list is faster)\n");
  const double walk = reporter.TimeOf("BM_Walk_DataSet");
  if (walk > 0) std::printf("%-28s %13.1f ms   (First..Eof alone)\n", "Walk", walk);
  for (const auto& [n, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", n.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
