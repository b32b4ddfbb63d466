// The data grid's search-text record filter over 1,000,000 records (Integer id, String name of
// 8-16 characters, Chinese in every tenth, Float amount, DateTime) in TMemoryDataSet, with the
// sum, count and average of the amount in the footer row, against SQLite in memory:
//   Search - ApplySearchFilter("ab"): every record whose shown id, name, amount or time holds
//            "ab" in any case, the footers recounted over them; then CancelSearchFilter, which
//            shows every record again with the footers recounted. SQLite: SELECT count(*),
//            sum(amount) FROM t WHERE each column cast to text LIKE '%ab%' (joined by OR), then
//            the same without the condition.
// Both sides check their count and sum against the rows themselves; a wrong answer fails the
// benchmark. The table after the runs gives the medians and the speed ratio (SQLite's time over
// ours: above 1 the grid is faster; goal at least 1).
//
//   bench_dbgrid_search --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

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

constexpr const char* kText = "ab";
const std::vector<std::string>& Names() {
  return dbgrid_bench::NamesWithChinese();
}

// What a correct side answers: the ids, amounts and times are shown in digits and separators
// only, so a record matches by its name.
struct TExpected {
  int64_t Count = 0;
  int64_t AmountCents = 0;
};
const TExpected& Matching() {
  static const TExpected expected = [] {
    TExpected e;
    const auto& rows = bench_rows::Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
      std::string lower = Names()[i];
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (lower.find(kText) == std::string::npos) continue;
      ++e.Count;
      e.AmountCents += bench_rows::Cents(rows[i].Amount);
    }
    return e;
  }();
  return expected;
}

// --- the grid side -------------------------------------------------------------------------------

struct TSearchGrid : dbgrid_bench::TBenchDBGrid {
  TSearchGrid() : TBenchDBGrid(bench_rows::Rows().size(), [](size_t Row) { return Names()[Row]; }) {
    AddFooters();
    grid->SetDataSource(source);
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
             " records, or the sum differs";
    return "";
  }
};

// Made on first use: the load is not timed.
TSearchGrid& SearchGrid() {
  static std::unique_ptr<TSearchGrid> grid = std::make_unique<TSearchGrid>();
  return *grid;
}

void BM_Search_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TSearchGrid& g = SearchGrid();
    const bench_rows::Known& all = bench_rows::Expected();
    std::string filtered, restored;
    for (auto _ : state) {
      g.grid->ApplySearchFilter(kText);
      filtered = g.Check(Matching().Count, Matching().AmountCents);
      g.grid->CancelSearchFilter();
      restored = g.Check(bench_rows::kRecords, all.AmountCents);
    }
    if (!filtered.empty() || !restored.empty())
      state.SkipWithError(("search filter: " + filtered + " / cancelled: " + restored).c_str());
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

// The count and the sum of the amounts of one query.
std::pair<int64_t, double> CountAndSum(sqlite3_stmt* St) {
  std::pair<int64_t, double> out{-1, 0};
  if (sqlite3_step(St) == SQLITE_ROW) out = {sqlite3_column_int64(St, 0), sqlite3_column_double(St, 1)};
  sqlite3_reset(St);
  return out;
}

void BM_Search_SQLite(benchmark::State& state) {
  sqlite3* db = Database();
  sqlite3_stmt* search = nullptr;
  sqlite3_stmt* every = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT count(*), sum(amount) FROM t WHERE CAST(id AS TEXT) LIKE ?1 OR name LIKE ?1 "
                     "OR CAST(amount AS TEXT) LIKE ?1 OR CAST(whenat AS TEXT) LIKE ?1",
                     -1, &search, nullptr);
  sqlite3_prepare_v2(db, "SELECT count(*), sum(amount) FROM t", -1, &every, nullptr);
  const std::string pattern = std::string("%") + kText + "%";
  sqlite3_bind_text(search, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_STATIC);
  std::pair<int64_t, double> found, all;
  for (auto _ : state) {
    found = CountAndSum(search);
    all = CountAndSum(every);
  }
  sqlite3_finalize(search);
  sqlite3_finalize(every);
  if (found.first != Matching().Count || !bench_rows::SameTotal(found.second, Matching().AmountCents) ||
      all.first != bench_rows::kRecords ||
      !bench_rows::SameTotal(all.second, bench_rows::Expected().AmountCents))
    state.SkipWithError(("search: " + std::to_string(found.first) + " rows").c_str());
}

#define RUN(Name) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime()
RUN(BM_Search_Grid);
RUN(BM_Search_SQLite);

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
  SearchGrid();
  const int result = dbgrid_bench::RunAndReportPair("BM_Search_Grid", "BM_Search_SQLite",
                                                    "search \"ab\" with footers, then cancel");
  ResetVcl();
  return result;
}
