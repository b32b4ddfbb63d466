// The data grid's filter row over 1,000,000 records (Integer id, String name of 8-16 characters,
// Chinese in every tenth, Float amount, DateTime) in TMemoryDataSet, with the sum, count and
// average of the amount in the footer row, against SQLite in memory:
//   Filter row - "~%ab%" typed into the name's filter cell and applied as the user's Enter does
//                (the cell's text set, then ApplyFilter): the centre filters the data set and
//                the footers are recounted over the records left. SQLite: SELECT count(*),
//                sum(amount) FROM t WHERE name LIKE '%ab%'.
// Between runs, untimed, the filter is taken off again. Both sides check their count and sum
// against the rows themselves; a wrong answer fails the benchmark. The table after the runs
// gives the medians and the speed ratio (SQLite's time over ours: above 1 the grid is faster;
// goal at least 1).
//
//   bench_dbgrid_filterrow --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DBGridBenchSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/db/DB.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

using side_by_side::Guarded;

constexpr const char* kTyped = "~%ab%";
constexpr const char* kInfix = "ab";
const std::vector<std::string>& Names() {
  return dbgrid_bench::NamesWithChinese();
}

// What a correct side answers: the names hold lowercase letters or Chinese only, so matching
// with or without case agrees.
struct TExpected {
  int64_t Count = 0;
  int64_t AmountCents = 0;
};
const TExpected& Matching() {
  static const TExpected expected = [] {
    TExpected e;
    const auto& rows = bench_rows::Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
      if (Names()[i].find(kInfix) == std::string::npos) continue;
      ++e.Count;
      e.AmountCents += bench_rows::Cents(rows[i].Amount);
    }
    return e;
  }();
  return expected;
}

// --- the grid side -------------------------------------------------------------------------------

struct TFilterRowGrid : dbgrid_bench::TBenchDBGrid {
  TFilterRowGrid() : TBenchDBGrid(bench_rows::Rows().size(), [](size_t Row) { return Names()[Row]; }) {
    AddFooters();
    grid->STFilter()->SetVisible(true);
    grid->SetDataSource(source);
    name = grid->Columns()->GetColumn(1);
  }
  // The filter taken off the cell and the data set, the footers recounted over every record.
  void TakeFilterOff() {
    name->STFilter()->SetExpressionStr("");
    grid->ApplyFilter();
  }
  // "" when the footer's count and sum are Count records and Cents.
  std::string Check(int64_t Count, int64_t Cents) const {
    TDBSumCollection* sums = grid->SumList()->SumCollection();
    TDBSum* sum = sums->FindSum(goSum, "amount");
    TDBSum* count = sums->FindSum(goCount, "");
    if (!sum || !count) return "no sum or count in the sum list";
    if (count->SumValue().Raw() != Count * 10000 || sum->SumValue().Raw() != Cents * 100 ||
        dataSet->RecordCount() != Count)
      return "count " + std::to_string(count->SumValue().Raw() / 10000) + " of " + std::to_string(Count) +
             " records, or the sum differs (filter: " + dataSet->Filter() + ")";
    return "";
  }
  TColumnEh* name = nullptr;
};

// Made on first use: the load is not timed.
TFilterRowGrid& FilterRowGrid() {
  static std::unique_ptr<TFilterRowGrid> grid = std::make_unique<TFilterRowGrid>();
  return *grid;
}

void BM_FilterRow_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TFilterRowGrid& g = FilterRowGrid();
    std::string filtered, restored;
    for (auto _ : state) {
      g.name->STFilter()->SetExpressionStr(kTyped);
      g.grid->ApplyFilter();
      state.PauseTiming();
      filtered = g.Check(Matching().Count, Matching().AmountCents);
      g.TakeFilterOff();
      restored = g.Check(bench_rows::kRecords, bench_rows::Expected().AmountCents);
      state.ResumeTiming();
    }
    if (!filtered.empty() || !restored.empty())
      state.SkipWithError(("filter row: " + filtered + " / taken off: " + restored).c_str());
  });
}

// --- the SQLite side -----------------------------------------------------------------------------

sqlite3* Database() {
  static bench_sqlite::DbPtr db = [] {
    bench_sqlite::DbPtr d = bench_sqlite::NewDb();
    bench_sqlite::InsertRows(d.get(), nullptr, &Names());
    return d;
  }();
  return db.get();
}

void BM_FilterRow_SQLite(benchmark::State& state) {
  sqlite3* db = Database();
  sqlite3_stmt* query = nullptr;
  sqlite3_prepare_v2(db, "SELECT count(*), sum(amount) FROM t WHERE name LIKE ?1", -1, &query, nullptr);
  const std::string pattern = std::string("%") + kInfix + "%";
  sqlite3_bind_text(query, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_STATIC);
  int64_t count = -1;
  double sum = 0;
  for (auto _ : state) {
    if (sqlite3_step(query) == SQLITE_ROW) {
      count = sqlite3_column_int64(query, 0);
      sum = sqlite3_column_double(query, 1);
    }
    sqlite3_reset(query);
  }
  sqlite3_finalize(query);
  if (count != Matching().Count || !bench_rows::SameTotal(sum, Matching().AmountCents))
    state.SkipWithError(("filter: " + std::to_string(count) + " rows").c_str());
}

#define RUN(Name) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime()
RUN(BM_FilterRow_Grid);
RUN(BM_FilterRow_SQLite);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  // The rows and both loads are made before any run is timed.
  Matching();
  bench_rows::Expected();
  Database();
  FilterRowGrid();
  const int result = dbgrid_bench::RunAndReportPair("BM_FilterRow_Grid", "BM_FilterRow_SQLite",
                                                    "filter row \"~%ab%\" with footers");
  ResetVcl();
  return result;
}
