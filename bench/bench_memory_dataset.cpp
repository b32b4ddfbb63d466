// The in-memory data set against SQLite's in-memory database on the same work, 1,000,000
// records of (Integer, String of 8-16 letters, Float, DateTime):
//   Append   - every record through the data set's Append/Post path (AppendRecord), and through
//              LoadFromRows; SQLite: one prepared INSERT a row inside a transaction.
//   Scan     - First..Eof reading every field; SQLite: SELECT * stepping every row.
//   Sort     - order by the text field, case ignored (IndexFieldNames, locale collation);
//              SQLite: SELECT id ... ORDER BY name COLLATE NOCASE, stepping every row.
//   Filter   - Name Like '%ab%' and the count of matches; SQLite: SELECT COUNT(*) ... LIKE.
//   Locate   - 10,000 keys on the integer field. The data set declares a key index on it
//              (AddKeyIndex), as the SQLite table declares it its INTEGER PRIMARY KEY; both
//              keep it while records are added. LocateCold: no declared index, so the first
//              search builds one and is counted in.
// After the runs a table puts both side by side with the ratio SQLite time / our time.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"

namespace {

constexpr int kLocates = 10000;
constexpr const char* kLikePattern = "%ab%";

using bench_rows::kRecords;
using bench_rows::Row;
using bench_rows::Rows;

std::vector<int> LocateKeys() {
  std::mt19937 rng(99);
  std::vector<int> keys;
  for (int i = 0; i < kLocates; ++i) keys.push_back(1 + static_cast<int>(rng() % kRecords));
  return keys;
}

// --- the data set side ---------------------------------------------------------------------

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using MemoryDataSetPtr = std::unique_ptr<TMemoryDataSet, FreeComponent>;

MemoryDataSetPtr NewDataSet(bool keyIndex = true) {
  MemoryDataSetPtr ds(new TMemoryDataSet(nullptr));
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Name", ftString, 16);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("When", ftDateTime);
  if (keyIndex) ds->AddKeyIndex("ID");
  ds->CreateDataSet();
  return ds;
}

void LoadAll(TMemoryDataSet& ds) {
  std::vector<std::vector<Variant>> rows;
  rows.reserve(kRecords);
  for (const Row& r : Rows()) rows.push_back({r.Id, r.Name, r.Amount, Variant::FromDate(r.When)});
  ds.LoadFromRows(rows);
}

TMemoryDataSet& SharedDataSet() {
  static MemoryDataSetPtr ds = [] {
    MemoryDataSetPtr d = NewDataSet();
    LoadAll(*d);
    return d;
  }();
  return *ds;
}

void BM_Append_Memory(benchmark::State& state) {
  const std::vector<Row>& rows = Rows();
  MemoryDataSetPtr ds = NewDataSet();
  for (auto _ : state) {
    state.PauseTiming();
    ds->EmptyDataSet();
    state.ResumeTiming();
    for (const Row& r : rows) ds->AppendRecord({r.Id, r.Name, r.Amount, Variant::FromDate(r.When)});
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_AppendBulk_Memory(benchmark::State& state) {
  MemoryDataSetPtr ds = NewDataSet();
  for (auto _ : state) {
    state.PauseTiming();
    ds->EmptyDataSet();
    state.ResumeTiming();
    LoadAll(*ds);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Scan_Memory(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  TField* id = ds.FieldByName("ID");
  TField* name = ds.FieldByName("Name");
  TField* amount = ds.FieldByName("Amount");
  TField* when = ds.FieldByName("When");
  for (auto _ : state) {
    int64_t sum = 0;
    double total = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
      sum += id->AsInteger();
      std::string s = name->AsString();
      sum += static_cast<int64_t>(s.size());
      total += amount->AsFloat() + when->AsDateTime();
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Sort_Memory(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  for (auto _ : state) {
    state.PauseTiming();
    ds.SetIndexFieldNames("");
    state.ResumeTiming();
    ds.SetIndexFieldNames("Name");
    ds.First();
  }
  ds.SetIndexFieldNames("");
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Filter_Memory(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  int count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ds.SetFiltered(false);
    state.ResumeTiming();
    ds.SetFilter(std::string("Name Like '") + kLikePattern + "'");
    ds.SetFiltered(true);
    count = ds.RecordCount();
  }
  ds.SetFiltered(false);
  state.counters["matches"] = count;
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Locate_Memory(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  const std::vector<int> keys = LocateKeys();
  for (auto _ : state) {
    int found = 0;
    for (int k : keys) found += ds.Locate("ID", k, {}) ? 1 : 0;
    if (found != kLocates) state.SkipWithError("a key was not found");
  }
  state.SetItemsProcessed(state.iterations() * kLocates);
}

void BM_LocateCold_Memory(benchmark::State& state) {
  // A data set without a declared index: its first search builds one.
  const std::vector<int> keys = LocateKeys();
  for (auto _ : state) {
    state.PauseTiming();
    MemoryDataSetPtr ds = NewDataSet(false);
    LoadAll(*ds);
    state.ResumeTiming();
    int found = 0;
    for (int k : keys) found += ds->Locate("ID", k, {}) ? 1 : 0;
    if (found != kLocates) state.SkipWithError("a key was not found");
    state.PauseTiming();
    ds.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kLocates);
}

// --- the SQLite side -----------------------------------------------------------------------

void Check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::abort();
  }
}

void Exec(sqlite3* db, const char* sql) {
  Check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db);
}

sqlite3* OpenDatabase() {
  sqlite3* db = nullptr;
  Check(sqlite3_open(":memory:", &db), db);
  Exec(db, "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, amount REAL, at REAL)");
  return db;
}

void InsertAll(sqlite3* db) {
  Exec(db, "BEGIN");
  sqlite3_stmt* st = nullptr;
  Check(sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?,?,?,?)", -1, &st, nullptr), db);
  for (const Row& r : Rows()) {
    sqlite3_bind_int(st, 1, r.Id);
    sqlite3_bind_text(st, 2, r.Name.data(), static_cast<int>(r.Name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_double(st, 3, r.Amount);
    sqlite3_bind_double(st, 4, r.When);
    Check(sqlite3_step(st), db);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  Exec(db, "COMMIT");
}

sqlite3* SharedDatabase() {
  static sqlite3* db = [] {
    sqlite3* d = OpenDatabase();
    InsertAll(d);
    return d;
  }();
  return db;
}

void BM_Append_SQLite(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    sqlite3* db = OpenDatabase();
    state.ResumeTiming();
    InsertAll(db);
    state.PauseTiming();
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Scan_SQLite(benchmark::State& state) {
  sqlite3* db = SharedDatabase();
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT id, name, amount, at FROM t", -1, &st, nullptr), db);
    int64_t sum = 0;
    double total = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      sum += sqlite3_column_int(st, 0);
      std::string s(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                    static_cast<size_t>(sqlite3_column_bytes(st, 1)));
      sum += static_cast<int64_t>(s.size());
      total += sqlite3_column_double(st, 2) + sqlite3_column_double(st, 3);
    }
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Sort_SQLite(benchmark::State& state) {
  sqlite3* db = SharedDatabase();
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT id FROM t ORDER BY name COLLATE NOCASE", -1, &st, nullptr), db);
    int64_t sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) sum += sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Filter_SQLite(benchmark::State& state) {
  sqlite3* db = SharedDatabase();
  int count = 0;
  const std::string sql = std::string("SELECT COUNT(*) FROM t WHERE name LIKE '") + kLikePattern + "'";
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), db);
    if (sqlite3_step(st) == SQLITE_ROW) count = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
  }
  state.counters["matches"] = count;
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Locate_SQLite(benchmark::State& state) {
  sqlite3* db = SharedDatabase();
  const std::vector<int> keys = LocateKeys();
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT id, name, amount, at FROM t WHERE id = ?", -1, &st, nullptr), db);
    int found = 0;
    for (int k : keys) {
      sqlite3_bind_int(st, 1, k);
      if (sqlite3_step(st) == SQLITE_ROW) ++found;
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    if (found != kLocates) state.SkipWithError("a key was not found");
  }
  state.SetItemsProcessed(state.iterations() * kLocates);
}

#define PAIR(Work, Iters)                                                                         \
  BENCHMARK(BM_##Work##_Memory)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime(); \
  BENCHMARK(BM_##Work##_SQLite)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime()

PAIR(Append, 2);
BENCHMARK(BM_AppendBulk_Memory)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
PAIR(Scan, 3);
PAIR(Sort, 3);
PAIR(Filter, 3);
PAIR(Locate, 3);
BENCHMARK(BM_LocateCold_Memory)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  auto find = [&reporter](const std::string& prefix) { return reporter.TimeOf(prefix); };
  std::printf("\n%-28s %16s %12s %10s\n", "work (1,000,000 records)", "TMemoryDataSet", "SQLite", "ratio");
  // Each row of ours against the SQLite work it stands for.
  const std::pair<const char*, const char*> works[] = {
      {"Append", "Append"}, {"AppendBulk", "Append"}, {"Scan", "Scan"},        {"Sort", "Sort"},
      {"Filter", "Filter"}, {"Locate", "Locate"},     {"LocateCold", "Locate"}};
  for (const auto& [w, sqlite] : works) {
    const double mine = find(std::string("BM_") + w + "_Memory");
    const double theirs = find(std::string("BM_") + sqlite + "_SQLite");
    if (mine < 0 || theirs < 0) continue;
    std::printf("%-28s %13.1f ms %9.1f ms %9.2fx\n", w, mine, theirs, theirs / mine);
  }
  std::printf("ratio: SQLite time / TMemoryDataSet time (above 1: the data set is faster)\n");
  return 0;
}
