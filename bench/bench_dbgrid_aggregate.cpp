// The data grid's selection aggregation over 1,000,000 records (Integer id, String name, Float
// amount, DateTime) in TMemoryDataSet, against SQLite in memory:
//   Columns   - the amount column selected: SelectionAggregates gives its sum, count, average,
//               minimum and maximum. SQLite: SELECT sum(a), count(a), avg(a), min(a), max(a).
//   Rectangle - the same over a rectangle from the first record to the last (each record
//               visited with its bookmark); for information, without a SQLite pair.
// Each side checks its five values against the rows themselves, and the grid's against SQLite's;
// a wrong answer fails the benchmark. The table after the runs gives the medians and the speed
// ratio (SQLite's time over ours: above 1 the grid is faster; goal at least 1).
//
//   bench_dbgrid_aggregate --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "bench/BenchRows.h"
#include "bench/DBGridBenchSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/vcl/VclTesting.h"

namespace {

using side_by_side::Guarded;

// Sum, count, average, minimum and maximum of one side.
struct TFive {
  double Sum = 0;
  int64_t Count = 0;
  double Avg = 0;
  double Min = 0;
  double Max = 0;
};

// "" when the values are the rows' own (and, given Other, the same as Other's to rounding).
std::string Check(const TFive& F, const TFive* Other = nullptr) {
  static const TFive rows = [] {
    TFive r;
    r.Count = bench_rows::kRecords;
    r.Min = r.Max = bench_rows::Rows().front().Amount;
    for (const bench_rows::Row& row : bench_rows::Rows()) {
      r.Min = std::min(r.Min, row.Amount);
      r.Max = std::max(r.Max, row.Amount);
    }
    return r;
  }();
  const int64_t cents = bench_rows::Expected().AmountCents;
  if (F.Count != rows.Count || F.Min != rows.Min || F.Max != rows.Max ||
      !bench_rows::SameTotal(F.Sum, cents) ||
      std::fabs(F.Avg - static_cast<double>(cents) / 100.0 / static_cast<double>(rows.Count)) > 1e-6)
    return "count " + std::to_string(F.Count) + ", sum " + std::to_string(F.Sum) + " or a bound differs";
  // A plain running sum and a compensated one part in the last digits.
  auto near = [](double A, double B) {
    return std::fabs(A - B) <= 1e-12 * std::max(std::fabs(A), std::fabs(B));
  };
  if (Other && (F.Count != Other->Count || F.Min != Other->Min || F.Max != Other->Max ||
                !near(F.Sum, Other->Sum) || !near(F.Avg, Other->Avg)))
    return "the sides differ: sum " + std::to_string(F.Sum) + " / " + std::to_string(Other->Sum);
  return "";
}

TFive& SqliteFive() {
  static TFive five;
  return five;
}

// SQLite's answer once its run has given one.
const TFive* SqliteAnswer() {
  return SqliteFive().Count > 0 ? &SqliteFive() : nullptr;
}

// --- the grid side -------------------------------------------------------------------------------

struct TAggregateGrid : dbgrid_bench::TBenchDBGrid {
  TAggregateGrid() : TBenchDBGrid(bench_rows::Rows().size()) { grid->SetDataSource(source); }
  void SelectAmountColumn() { grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(2), false); }
  void SelectEveryAmount() {
    dataSet->Last();
    const TBookmark last = dataSet->Bookmark();
    dataSet->First();
    grid->Selection()->Rect()->Select(2, dataSet->Bookmark(), false);
    grid->Selection()->Rect()->Select(3, last, true);
  }
  TFive Aggregate() {
    Variant sum, count, avg, min, max;
    grid->SelectionAggregates(sum, count, avg, min, max);
    if (count.IsEmpty() || sum.IsEmpty()) return TFive{};
    return TFive{sum.AsDouble(), count.AsInt64(), avg.AsDouble(), min.AsDouble(), max.AsDouble()};
  }
};

// Made on first use: the load is not timed.
TAggregateGrid& AggregateGrid() {
  static std::unique_ptr<TAggregateGrid> grid = std::make_unique<TAggregateGrid>();
  return *grid;
}

void BM_Aggregate_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TAggregateGrid& g = AggregateGrid();
    g.SelectAmountColumn();
    TFive five;
    for (auto _ : state) five = g.Aggregate();
    if (const std::string why = Check(five, SqliteAnswer()); !why.empty()) state.SkipWithError(why.c_str());
  });
}

void BM_Aggregate_GridRectangle(benchmark::State& state) {
  Guarded(state, [&] {
    TAggregateGrid& g = AggregateGrid();
    g.SelectEveryAmount();
    TFive five;
    for (auto _ : state) five = g.Aggregate();
    if (const std::string why = Check(five, SqliteAnswer()); !why.empty()) state.SkipWithError(why.c_str());
  });
}

// --- the SQLite side -----------------------------------------------------------------------------

sqlite3* Database() {
  static bench_sqlite::DbPtr db = [] {
    bench_sqlite::DbPtr d = bench_sqlite::NewDb();
    bench_sqlite::InsertRows(d.get());
    return d;
  }();
  return db.get();
}

void BM_Aggregate_SQLite(benchmark::State& state) {
  sqlite3* db = Database();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT sum(amount), count(amount), avg(amount), min(amount), max(amount) FROM t",
                     -1, &st, nullptr);
  TFive five;
  for (auto _ : state) {
    if (sqlite3_step(st) == SQLITE_ROW)
      five = TFive{sqlite3_column_double(st, 0), sqlite3_column_int64(st, 1), sqlite3_column_double(st, 2),
                   sqlite3_column_double(st, 3), sqlite3_column_double(st, 4)};
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  SqliteFive() = five;
  if (const std::string why = Check(five); !why.empty()) state.SkipWithError(why.c_str());
}

#define RUN(Name) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime()
// SQLite first: the grid's runs compare their values with its answer.
RUN(BM_Aggregate_SQLite);
RUN(BM_Aggregate_Grid);
RUN(BM_Aggregate_GridRectangle);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  // The rows and both loads are made before any run is timed.
  bench_rows::Expected();
  Database();
  AggregateGrid();
  const int result = dbgrid_bench::RunAndReportPair("BM_Aggregate_Grid", "BM_Aggregate_SQLite",
                                                    "sum, count, avg, min, max of a column");
  ResetVcl();
  return result;
}
