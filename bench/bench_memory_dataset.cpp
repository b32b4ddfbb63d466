// The in-memory data set against SQLite's in-memory database on the same work, 1,000,000
// records of (Integer id, String of 8-16 letters, Float, DateTime):
//   Append   - every record through the data set's Append/Post path (AppendRecord), and through
//              LoadRows (AppendBulk); SQLite: one prepared INSERT a row inside a
//              transaction. Both keep the id key while adding. One load a process, into a
//              fresh heap.
//   LoadAfterFree - the same bulk load, after another 1,000,000-record data set (SQLite: another
//              database) was loaded and freed in the same process.
//   Scan     - First..Eof reading every field; SQLite: SELECT * stepping every row.
//   Sort     - order by the text field, case ignored (IndexFieldNames), and every row delivered
//              through the cursor; SQLite: SELECT id ... ORDER BY name COLLATE NOCASE, stepping
//              every row. Both hand over the ids in order, which are checked afterwards.
//   Filter   - Name Like '%ab%' and the count of matches; SQLite: SELECT COUNT(*) ... LIKE.
//              FilterAfterFree: the same on a data set loaded after another was freed.
//   Locate   - 10,000 keys on the integer field. The data set declares a key index on it
//              (AddKeyIndex), as the SQLite table declares it its INTEGER PRIMARY KEY; both
//              keep it while records are added. LocateCold: no declared index, so the first
//              search builds one and is counted in.
// Every side checks its answer (counts, sums, order) and a wrong one fails the benchmark.
// After the runs a table puts both side by side: medians of the repetitions, with the ratio
// SQLite time / our time. bench/run_side_by_side.py runs each benchmark in a fresh process.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DataSetSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"

namespace {

constexpr int kLocates = 10000;

using bench_dataset::LoadAll;
using bench_dataset::MemoryDataSetPtr;
using bench_dataset::NewDataSet;
using bench_rows::Expected;
using bench_rows::kLikePattern;
using bench_rows::kRecords;
using bench_rows::Row;
using bench_rows::Rows;

// The expected results are worked out once, before any benchmark runs: made lazily, their
// sort of the names would land in the first timed iteration of whichever side came first.
const bool kExpectedReady = (Expected(), true);
using bench_sqlite::DbPtr;
using bench_sqlite::NewDb;

std::vector<int> LocateKeys() {
  std::mt19937 rng(99);
  std::vector<int> keys;
  for (int i = 0; i < kLocates; ++i) keys.push_back(1 + static_cast<int>(rng() % kRecords));
  return keys;
}

// Fails the benchmark unless `ok`; call it with the timer running (after ResumeTiming).
bool Fails(benchmark::State& state, bool ok, const char* why) {
  if (!ok) state.SkipWithError(why);
  return !ok;
}

bool ScanMatches(int64_t Sum, double Total) {
  const bench_rows::Known& k = Expected();
  return Sum == k.IdSum + k.NameLengthSum && std::fabs(Total - k.AmountPlusWhen) < 1e-9 * k.AmountPlusWhen;
}

// --- the data set side ---------------------------------------------------------------------

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
  for (auto _ : state) {
    state.PauseTiming();
    MemoryDataSetPtr ds = NewDataSet();
    state.ResumeTiming();
    for (const Row& r : rows) ds->AppendRecord({r.Id, r.Name, r.Amount, Variant::FromDate(r.When)});
    state.PauseTiming();
    const bool ok = ds->RecordCount() == kRecords;
    ds.reset();
    state.ResumeTiming();
    if (Fails(state, ok, "append: wrong record count")) break;
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// What the heap looks like after a data set of all the rows was loaded and freed.
void LoadAndFree() {
  MemoryDataSetPtr ds = NewDataSet();
  LoadAll(*ds);
}

// One bulk load an iteration into a fresh data set; `FreeFirst` loads and frees another one
// first, untimed.
void BulkLoad(benchmark::State& state, bool FreeFirst, const char* Failure) {
  for (auto _ : state) {
    state.PauseTiming();
    if (FreeFirst) LoadAndFree();
    MemoryDataSetPtr ds = NewDataSet();
    state.ResumeTiming();
    LoadAll(*ds);
    state.PauseTiming();
    const bool ok = ds->RecordCount() == kRecords;
    ds.reset();
    state.ResumeTiming();
    if (Fails(state, ok, Failure)) break;
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_AppendBulk_Memory(benchmark::State& state) {
  BulkLoad(state, false, "bulk load: wrong record count");
}

void BM_LoadAfterFree_Memory(benchmark::State& state) {
  BulkLoad(state, true, "load after free: wrong record count");
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
    if (!ScanMatches(sum, total)) {
      state.SkipWithError("scan: wrong sums");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Sort_Memory(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  TField* id = ds.FieldByName("ID");
  std::vector<int> ids;
  ids.reserve(kRecords);
  for (auto _ : state) {
    state.PauseTiming();
    ds.SetIndexFieldNames("");
    ids.clear();
    state.ResumeTiming();
    ds.SetIndexFieldNames("Name");
    for (ds.First(); !ds.Eof(); ds.Next()) ids.push_back(id->AsInteger());
    state.PauseTiming();
    const bool sorted = bench_rows::SortedByName(ids);
    state.ResumeTiming();
    if (!sorted) {
      state.SkipWithError("sort: the rows did not all come, in name order");
      break;
    }
  }
  ds.SetIndexFieldNames("");
  state.SetItemsProcessed(state.iterations() * kRecords);
}

int FilterCount(TMemoryDataSet& ds, benchmark::State& state) {
  int count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ds.SetFiltered(false);
    state.ResumeTiming();
    ds.SetFilter(std::string("Name Like '") + kLikePattern + "'");
    ds.SetFiltered(true);
    count = ds.RecordCount();
    if (count != Expected().FilterMatches) {
      state.SkipWithError("filter: wrong match count");
      break;
    }
  }
  ds.SetFiltered(false);
  state.counters["matches"] = count;
  state.SetItemsProcessed(state.iterations() * kRecords);
  return count;
}

void BM_Filter_Memory(benchmark::State& state) {
  FilterCount(SharedDataSet(), state);
}

void BM_FilterAfterFree_Memory(benchmark::State& state) {
  LoadAndFree();
  MemoryDataSetPtr ds = NewDataSet();
  LoadAll(*ds);
  FilterCount(*ds, state);
}

// Each Locate is checked by the id of the record it lands on.
int LocateAll(TMemoryDataSet& ds, const std::vector<int>& keys) {
  TField* id = ds.FieldByName("ID");
  int found = 0;
  for (int k : keys)
    if (ds.Locate("ID", k, {}) && id->AsInteger() == k) ++found;
  return found;
}

void BM_Locate_Memory(benchmark::State& state) {
  TMemoryDataSet& ds = SharedDataSet();
  const std::vector<int> keys = LocateKeys();
  for (auto _ : state) {
    if (LocateAll(ds, keys) != kLocates) {
      state.SkipWithError("locate: a key was not found");
      break;
    }
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
    const int found = LocateAll(*ds, keys);
    state.PauseTiming();
    ds.reset();
    state.ResumeTiming();
    if (found != kLocates) {
      state.SkipWithError("cold locate: a key was not found");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kLocates);
}

// --- the SQLite side -----------------------------------------------------------------------

sqlite3* SharedDatabase() {
  static DbPtr db = [] {
    DbPtr d = NewDb(true);
    bench_sqlite::InsertRows(d.get());
    return d;
  }();
  return db.get();
}

void LoadAndFreeDb() {
  DbPtr db = NewDb(true);
  bench_sqlite::InsertRows(db.get());
}

// The SQLite side of BulkLoad: every row inserted into a fresh database an iteration.
void InsertAll(benchmark::State& state, bool FreeFirst, const char* Failure) {
  for (auto _ : state) {
    state.PauseTiming();
    if (FreeFirst) LoadAndFreeDb();
    DbPtr db = NewDb(true);
    state.ResumeTiming();
    bool ok = bench_sqlite::InsertRows(db.get());
    state.PauseTiming();
    ok = ok && bench_sqlite::CountRows(db.get()) == kRecords;
    db.reset();
    state.ResumeTiming();
    if (Fails(state, ok, Failure)) break;
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Append_SQLite(benchmark::State& state) {
  InsertAll(state, false, "insert: wrong row count");
}

void BM_LoadAfterFree_SQLite(benchmark::State& state) {
  InsertAll(state, true, "insert after free: wrong row count");
}

void BM_Scan_SQLite(benchmark::State& state) {
  sqlite3* db = SharedDatabase();
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT id, name, amount, whenat FROM t", -1, &st, nullptr);
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
    if (!ScanMatches(sum, total)) {
      state.SkipWithError("scan: wrong sums");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Sort_SQLite(benchmark::State& state) {
  sqlite3* db = SharedDatabase();
  std::vector<int> ids;
  ids.reserve(kRecords);
  for (auto _ : state) {
    state.PauseTiming();
    ids.clear();
    state.ResumeTiming();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT id FROM t ORDER BY name COLLATE NOCASE", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) ids.push_back(sqlite3_column_int(st, 0));
    sqlite3_finalize(st);
    state.PauseTiming();
    const bool sorted = bench_rows::SortedByName(ids);
    state.ResumeTiming();
    if (!sorted) {
      state.SkipWithError("sort: the rows did not all come, in name order");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void CountMatches(sqlite3* db, benchmark::State& state) {
  int count = 0;
  const std::string sql = std::string("SELECT COUNT(*) FROM t WHERE name LIKE '") + kLikePattern + "'";
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    count = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    if (count != Expected().FilterMatches) {
      state.SkipWithError("filter: wrong match count");
      break;
    }
  }
  state.counters["matches"] = count;
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Filter_SQLite(benchmark::State& state) {
  CountMatches(SharedDatabase(), state);
}

void BM_FilterAfterFree_SQLite(benchmark::State& state) {
  LoadAndFreeDb();
  DbPtr db = NewDb(true);
  bench_sqlite::InsertRows(db.get());
  CountMatches(db.get(), state);
}

void BM_Locate_SQLite(benchmark::State& state) {
  sqlite3* db = SharedDatabase();
  const std::vector<int> keys = LocateKeys();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT id, name, amount, whenat FROM t WHERE id = ?", -1, &st, nullptr);
  for (auto _ : state) {
    int found = 0;
    for (int k : keys) {
      sqlite3_bind_int(st, 1, k);
      if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == k) ++found;
      sqlite3_reset(st);
    }
    if (found != kLocates) {
      state.SkipWithError("locate: a key was not found");
      break;
    }
  }
  sqlite3_finalize(st);
  state.SetItemsProcessed(state.iterations() * kLocates);
}

// A load is one iteration: a second one in the same process would run after the first was
// freed, which is what LoadAfterFree measures on purpose.
#define RUN(Name, Iters) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime()
#define PAIR(Work, Iters)         \
  RUN(BM_##Work##_Memory, Iters); \
  RUN(BM_##Work##_SQLite, Iters)

PAIR(Append, 1);
RUN(BM_AppendBulk_Memory, 1);
PAIR(LoadAfterFree, 1);
PAIR(Scan, 2);
PAIR(Sort, 2);
PAIR(Filter, 3);
PAIR(FilterAfterFree, 3);
PAIR(Locate, 3);
RUN(BM_LocateCold_Memory, 3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-28s %16s %12s %10s\n", "work (1,000,000 records)", "TMemoryDataSet", "SQLite", "ratio");
  // Each row of ours against the SQLite work it stands for.
  const std::pair<const char*, const char*> works[] = {{"Append", "Append"},
                                                       {"AppendBulk", "Append"},
                                                       {"LoadAfterFree", "LoadAfterFree"},
                                                       {"Scan", "Scan"},
                                                       {"Sort", "Sort"},
                                                       {"Filter", "Filter"},
                                                       {"FilterAfterFree", "FilterAfterFree"},
                                                       {"Locate", "Locate"},
                                                       {"LocateCold", "Locate"}};
  for (const auto& [w, sqlite] : works) {
    const double mine = reporter.TimeOf(std::string("BM_") + w + "_Memory");
    const double theirs = reporter.TimeOf(std::string("BM_") + sqlite + "_SQLite");
    if (mine < 0 || theirs < 0) continue;
    std::printf("%-28s %13.1f ms %9.1f ms %9.2fx\n", w, mine, theirs, theirs / mine);
  }
  std::printf(
      "medians of the repetitions; ratio: SQLite time / TMemoryDataSet time (above 1: the data set is "
      "faster)\n");
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
