// The data grid's footers over the benchmark rows (BenchRows.h) in TMemoryDataSet: four
// columns (id, name, amount, when) with the sum, the count and the average of the amount in
// the footer row, kept by the grid's sum list.
//   Open   - the grid opened over the 1,000,000 records: the data link becomes active, the sum
//            list hooks the data set and recounts, and the three footer texts are read;
//            SQLite: SELECT sum(amount), count(*), avg(amount). Ratio: SQLite's time over ours
//            (goal at least 1).
//   Post/N - one posted edit of an amount in a grid over N records (100 and 1,000,000) and the
//            three footer texts read again: the sum list steps its totals by the change, so
//            the time must not grow with N (goal: the 1,000,000 time within 1.1x of the 100).
// Every run checks its totals against the rows themselves; a wrong one fails the benchmark.
//
//   bench_dbgrid_footer --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "bench/BenchRows.h"
#include "bench/DBGridBenchSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/DB.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

using side_by_side::Guarded;

// The totals a correct side answers for the first N rows, in cents.
struct TTotals {
  int64_t SumCents = 0;
  int64_t Count = 0;
};

TTotals KnownTotals(int Records) {
  TTotals t;
  const auto& rows = bench_rows::Rows();
  for (int i = 0; i < Records; ++i) t.SumCents += bench_rows::Cents(rows[size_t(i)].Amount);
  t.Count = Records;
  return t;
}

// A form that is never shown, with a grid over the first N benchmark rows; the footer row
// holds the count under the name, the sum under the amount and the average under the date.
struct TFooterGrid : dbgrid_bench::TBenchDBGrid {
  explicit TFooterGrid(int Records) : TBenchDBGrid(size_t(Records)), records(Records) {
    AddFooters();
    grid->SetDataSource(source);
    amount = dataSet->FieldByName("amount");
  }

  // The three footer texts, as the footer painter asks for them.
  size_t ReadFooters() {
    size_t length = 0;
    for (int c = 1; c <= 3; ++c) {
      std::string text;
      grid->GetFooterValue(0, grid->Columns()->GetColumn(c), text);
      length += text.size();
    }
    return length;
  }
  // The sum list's totals against the rows, with the current record's amount changed by
  // DeltaCents; "" when they agree.
  std::string Check(int64_t DeltaCents) const {
    TTotals want = KnownTotals(records);
    want.SumCents += DeltaCents;
    TDBSumCollection* sums = grid->SumList()->SumCollection();
    TDBSum* sum = sums->FindSum(goSum, "amount");
    TDBSum* count = sums->FindSum(goCount, "");
    if (!sum || !count) return "no sum or count in the sum list";
    if (sum->SumValue().Raw() != want.SumCents * 100 || count->SumValue().Raw() != want.Count * 10000)
      return "the totals differ from the rows";
    return "";
  }

  int records;
  TField* amount = nullptr;
};

// Made on first use: the loads are not timed.
TFooterGrid& FooterGrid(int Records) {
  static std::map<int, std::unique_ptr<TFooterGrid>> grids;
  auto& g = grids[Records];
  if (!g) g = std::make_unique<TFooterGrid>(Records);
  return *g;
}

void BM_Open_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TFooterGrid& g = FooterGrid(bench_rows::kRecords);
    size_t length = 0;
    for (auto _ : state) {
      state.PauseTiming();
      g.grid->SetDataSource(nullptr);
      state.ResumeTiming();
      g.grid->SetDataSource(g.source);
      length = g.ReadFooters();
    }
    benchmark::DoNotOptimize(length);
    if (const std::string why = g.Check(0); !why.empty()) state.SkipWithError(why.c_str());
  });
}

void BM_Open_SQLite(benchmark::State& state) {
  static bench_sqlite::DbPtr db = [] {
    bench_sqlite::DbPtr d = bench_sqlite::NewDb();
    bench_sqlite::InsertRows(d.get());
    return d;
  }();
  double sum = 0, average = 0;
  int64_t count = 0;
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db.get(), "SELECT sum(amount), count(*), avg(amount) FROM t", -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW) {
      sum = sqlite3_column_double(st, 0);
      count = sqlite3_column_int64(st, 1);
      average = sqlite3_column_double(st, 2);
    }
    sqlite3_finalize(st);
  }
  benchmark::DoNotOptimize(average);
  const TTotals want = KnownTotals(bench_rows::kRecords);
  if (count != want.Count || std::llround(sum * 100) != want.SumCents)
    state.SkipWithError("the totals differ from the rows");
}

// Each edit moves the first record's amount between its own value and one cent more, so the
// totals after a run are known.
void BM_Post_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TFooterGrid& g = FooterGrid(static_cast<int>(state.range(0)));
    g.dataSet->First();
    const double own = g.amount->AsFloat();
    int64_t delta = 0;
    size_t length = 0;
    for (auto _ : state) {
      delta = delta ? 0 : 1;
      g.dataSet->Edit();
      g.amount->SetAsFloat(own + static_cast<double>(delta) / 100);
      g.dataSet->Post();
      length = g.ReadFooters();
    }
    benchmark::DoNotOptimize(length);
    if (const std::string why = g.Check(delta); !why.empty()) state.SkipWithError(why.c_str());
    if (delta) {
      g.dataSet->Edit();
      g.amount->SetAsFloat(own);
      g.dataSet->Post();
    }
  });
}

BENCHMARK(BM_Open_Grid)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Open_SQLite)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Post_Grid)->Arg(100)->Arg(bench_rows::kRecords)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  bench_rows::Rows();
  FooterGrid(100);
  FooterGrid(bench_rows::kRecords);
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double open = reporter.TimeOf("BM_Open_Grid"), sql = reporter.TimeOf("BM_Open_SQLite");
  const double few = reporter.TimeOf("BM_Post_Grid/100"), many = reporter.TimeOf("BM_Post_Grid/1000000");
  std::printf("\n%-52s %12s %12s %8s\n", "work", "grid", "other", "ratio");
  if (open > 0 && sql > 0)
    std::printf("%-52s %9.1f ms %9.1f ms %7.2fx\n",
                "open, 1,000,000 records: footers vs SQLite sum/count/avg", open, sql, sql / open);
  if (few > 0 && many > 0)
    std::printf("%-52s %9.2f us %9.2f us %7.2fx\n", "one posted edit: 1,000,000 records vs 100", many, few,
                many / few);
  std::printf(
      "medians of the repetitions; open ratio: SQLite / grid (goal >= 1); post ratio: "
      "1,000,000 / 100 (goal <= 1.1)\n");
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  ResetVcl();
  return reporter.Failed().empty() ? 0 : 1;
}
