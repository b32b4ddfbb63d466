// The sum list's RecalcAll over 1,000,000 records of the in-memory data set against SQLite's
// in-memory database on the same values:
//   Sum       - one total (the sum of the Float amount); SQLite: SELECT SUM(amount).
//   SumAvgCnt - a sum, an average and a record count; SQLite: SELECT SUM, AVG, COUNT(*).
// RecalcAll walks the data set as a grid's footer would (DisableControls, First..Eof, back to
// the saved bookmark); Walk is that navigation alone. After the runs a table gives both in
// records per second.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/data/DBSumListEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"

namespace {

using bench_rows::kRecords;
using bench_rows::Row;
using bench_rows::Rows;

// --- the data set side -----------------------------------------------------------------------

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using MemoryDataSetPtr = std::unique_ptr<TMemoryDataSet, FreeComponent>;

TMemoryDataSet& SharedDataSet() {
  static MemoryDataSetPtr ds = [] {
    MemoryDataSetPtr d(new TMemoryDataSet(nullptr));
    d->FieldDefs()->Add("ID", ftInteger);
    d->FieldDefs()->Add("Name", ftString, 16);
    d->FieldDefs()->Add("Amount", ftFloat);
    d->FieldDefs()->Add("When", ftDateTime);
    d->CreateDataSet();
    std::vector<std::vector<Variant>> rows;
    rows.reserve(kRecords);
    for (const Row& r : Rows()) rows.push_back({r.Id, r.Name, r.Amount, Variant::FromDate(r.When)});
    d->LoadFromRows(rows);
    return d;
  }();
  return *ds;
}

double ExpectedSum() {
  double s = 0;
  for (const Row& r : Rows()) s += r.Amount;
  return s;
}

template <bool AllThree>
void RecalcAll(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  TDBSumListProducer producer;
  TDBSum* sum = producer.SumCollection()->Add();
  sum->SetFieldName("Amount");
  if (AllThree) {
    TDBSum* avg = producer.SumCollection()->Add();
    avg->SetFieldName("Amount");
    avg->SetGroupOperation(goAvg);
    producer.SumCollection()->Add()->SetGroupOperation(goCount);
  }
  producer.SetDataSet(&ds);
  for (auto _ : state) {
    producer.RecalcAll();
    benchmark::DoNotOptimize(sum->SumValue());
  }
  // Amounts have two decimals, so the currency total is exact.
  if (sum->SumValue().ToDouble() - ExpectedSum() > 0.5 || ExpectedSum() - sum->SumValue().ToDouble() > 0.5)
    state.SkipWithError("wrong total");
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Sum_SumList(benchmark::State& state) {
  RecalcAll<false>(state);
}
void BM_SumAvgCnt_SumList(benchmark::State& state) {
  RecalcAll<true>(state);
}

// The bare walk RecalcAll makes, without reading a field: what the navigation alone costs.
void BM_Walk_DataSet(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  for (auto _ : state) {
    ds.DisableControls();
    int n = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) ++n;
    ds.EnableControls();
    if (n != kRecords) state.SkipWithError("walk incomplete");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// --- the SQLite side -------------------------------------------------------------------------

using bench_sqlite::DbPtr;
using bench_sqlite::Exec;

sqlite3* SharedDb() {
  static DbPtr db = [] {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    DbPtr d(raw);
    Exec(raw, "CREATE TABLE t (id INTEGER, name TEXT, amount REAL, whenat REAL)");
    Exec(raw, "BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO t VALUES (?, ?, ?, ?)", -1, &st, nullptr);
    for (const Row& r : Rows()) {
      sqlite3_bind_int(st, 1, r.Id);
      sqlite3_bind_text(st, 2, r.Name.data(), static_cast<int>(r.Name.size()), SQLITE_STATIC);
      sqlite3_bind_double(st, 3, r.Amount);
      sqlite3_bind_double(st, 4, r.When);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Exec(raw, "COMMIT");
    return d;
  }();
  return db.get();
}

template <bool AllThree>
void SelectSum(benchmark::State& state) {
  sqlite3* db = SharedDb();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(
      db, AllThree ? "SELECT SUM(amount), AVG(amount), COUNT(*) FROM t" : "SELECT SUM(amount) FROM t", -1,
      &st, nullptr);
  double total = 0;
  for (auto _ : state) {
    if (sqlite3_step(st) == SQLITE_ROW) total = sqlite3_column_double(st, 0);
    sqlite3_reset(st);
    benchmark::DoNotOptimize(total);
  }
  sqlite3_finalize(st);
  if (total - ExpectedSum() > 0.5 || ExpectedSum() - total > 0.5) state.SkipWithError("wrong total");
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Sum_SQLite(benchmark::State& state) {
  SelectSum<false>(state);
}
void BM_SumAvgCnt_SQLite(benchmark::State& state) {
  SelectSum<true>(state);
}

#define PAIR(Work, Iters)                                                                          \
  BENCHMARK(BM_##Work##_SumList)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime(); \
  BENCHMARK(BM_##Work##_SQLite)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime()

PAIR(Sum, 5);
PAIR(SumAvgCnt, 5);
BENCHMARK(BM_Walk_DataSet)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  // Real time is kept in milliseconds.
  auto perSecond = [](double ms) { return ms > 0 ? kRecords / (ms / 1000.0) : 0.0; };
  std::printf("\n%-28s %18s %18s %10s\n", "work (1,000,000 records)", "RecalcAll rec/s", "SQLite rec/s",
              "ratio");
  for (const char* w : {"Sum", "SumAvgCnt"}) {
    const double mine = reporter.TimeOf(std::string("BM_") + w + "_SumList");
    const double theirs = reporter.TimeOf(std::string("BM_") + w + "_SQLite");
    if (mine < 0 || theirs < 0) continue;
    std::printf("%-28s %18.0f %18.0f %9.2fx\n", w, perSecond(mine), perSecond(theirs), theirs / mine);
  }
  std::printf("ratio: SQLite time / RecalcAll time (above 1: the sum list is faster)\n");
  const double walk = reporter.TimeOf("BM_Walk_DataSet");
  if (walk > 0) std::printf("%-28s %18.0f   (First..Eof alone)\n", "Walk", perSecond(walk));
  return 0;
}
