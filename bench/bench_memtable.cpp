// The in-memory table store against SQLite's in-memory database on the same work, 1,000,000
// records of (Integer id, String name of 8-16 letters, Float amount, DateTime):
//   Load        - every record through NewRecord and FetchRecord; SQLite: one prepared INSERT a
//                 row inside a transaction.
//   IndexName   - a non-unique index on the name (locale collation); SQLite: CREATE INDEX.
//   IndexId     - a unique index on the id; SQLite: CREATE UNIQUE INDEX.
//   SortNames   - std::sort of the same name keys, by bytes and by the index's collation, for
//                 what a plain sort of the keys costs.
//   LocateName, LocateId - 100,000 keys found through the index; SQLite: SELECT rowid WHERE.
//   Update      - 100,000 amounts changed by Edit/Post with both indexes kept; SQLite: UPDATE
//                 of the amount WHERE id = ? with both indexes present.
// After the runs a table puts both side by side with the ratio SQLite time / our time.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kProbes = 100000;

using bench_rows::kRecords;
using bench_rows::Row;
using bench_rows::Rows;

std::vector<int> Probes() {
  std::mt19937 rng(99);
  std::vector<int> p;
  for (int i = 0; i < kProbes; ++i) p.push_back(static_cast<int>(rng() % kRecords));
  return p;
}

// --- the table side ------------------------------------------------------------------------

struct FreeTable {
  void operator()(TMemTableDataEh* t) const { t->Free(); }
};
using TablePtr = std::unique_ptr<TMemTableDataEh, FreeTable>;

TablePtr NewTable() {
  TablePtr t(new TMemTableDataEh(nullptr));
  TMTDataStructEh* ds = t->DataStruct();
  auto* id = ds->CreateField<TMTNumericDataFieldEh>();
  id->SetFieldName("ID");
  auto* name = ds->CreateField<TMTStringDataFieldEh>();
  name->SetFieldName("Name");
  auto* amount = ds->CreateField<TMTNumericDataFieldEh>();
  amount->SetNumericDataType(fdtFloatEh);
  amount->SetFieldName("Amount");
  ds->CreateField<TMTDateTimeDataFieldEh>()->SetFieldName("When");
  return t;
}

void Load(TMemTableDataEh* t) {
  TRecordsListEh* list = t->RecordsList();
  for (const Row& row : Rows()) {
    TMemoryRecordEh* r = list->NewRecord();
    r->SetDataValue(0, dvkCurrentEh, row.Id);
    r->SetDataValue(1, dvkCurrentEh, row.Name);
    r->SetDataValue(2, dvkCurrentEh, row.Amount);
    r->SetDataValue(3, dvkCurrentEh, Variant::FromDate(row.When));
    list->FetchRecord(r);
  }
}

TMTIndexEh* AddIndex(TMemTableDataEh* t, const char* fields, bool unique) {
  TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
  index->SetFields(fields);
  index->SetUnique(unique);
  index->SetActive(true);
  return index;
}

// One loaded table with both indexes, shared by the searches and the updates.
TMemTableDataEh* IndexedTable() {
  static TablePtr t = [] {
    TablePtr table = NewTable();
    Load(table.get());
    AddIndex(table.get(), "Name", false);
    AddIndex(table.get(), "ID", true);
    return table;
  }();
  return t.get();
}

void BM_Load_Table(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TablePtr t = NewTable();
    state.ResumeTiming();
    Load(t.get());
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
}

template <bool ByName>
void IndexBuild(benchmark::State& state) {
  static TablePtr t = [] {
    TablePtr table = NewTable();
    Load(table.get());
    return table;
  }();
  for (auto _ : state) {
    TMTIndexEh* index = AddIndex(t.get(), ByName ? "Name" : "ID", !ByName);
    state.PauseTiming();
    if (index->Count() != kRecords) state.SkipWithError("index incomplete");
    t->RecordsList()->Indexes()->Clear();
    state.ResumeTiming();
  }
}

void BM_IndexName_Table(benchmark::State& state) {
  IndexBuild<true>(state);
}
void BM_IndexId_Table(benchmark::State& state) {
  IndexBuild<false>(state);
}

void BM_SortNamesBytes_Std(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> keys;
    keys.reserve(kRecords);
    for (const Row& r : Rows()) keys.push_back(r.Name);
    state.ResumeTiming();
    std::sort(keys.begin(), keys.end());
    benchmark::DoNotOptimize(keys.data());
  }
}

void BM_SortNamesCollation_Std(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> keys;
    keys.reserve(kRecords);
    for (const Row& r : Rows()) keys.push_back(r.Name);
    state.ResumeTiming();
    std::sort(keys.begin(), keys.end(),
              [](const std::string& a, const std::string& b) { return AnsiCompareStr(a, b) < 0; });
    benchmark::DoNotOptimize(keys.data());
  }
}

template <bool ByName>
void Locate(benchmark::State& state) {
  TMemTableDataEh* t = IndexedTable();
  TMTIndexEh* index = t->RecordsList()->Indexes()->Items(ByName ? 0 : 1);
  std::vector<Variant> keys;
  for (int p : Probes())
    keys.push_back(ByName ? Variant(Rows()[size_t(p)].Name) : Variant(Rows()[size_t(p)].Id));
  for (auto _ : state) {
    int found = 0;
    for (const Variant& k : keys) {
      int pos = 0;
      if (index->FindKeyValueIndex(k, pos)) {
        TMemoryRecordEh* r = t->RecordsList()->Rec(index->Items(pos).RecordIndex);
        benchmark::DoNotOptimize(r);
        ++found;
      }
    }
    if (found != kProbes) state.SkipWithError("a key was not found");
  }
  state.SetItemsProcessed(state.iterations() * kProbes);
}

void BM_LocateName_Table(benchmark::State& state) {
  Locate<true>(state);
}
void BM_LocateId_Table(benchmark::State& state) {
  Locate<false>(state);
}

void BM_Update_Table(benchmark::State& state) {
  TMemTableDataEh* t = IndexedTable();
  TMTIndexEh* byId = t->RecordsList()->Indexes()->Items(1);
  std::vector<int> probes = Probes();
  double delta = 1;
  for (auto _ : state) {
    for (int p : probes) {
      int pos = 0;
      byId->FindKeyValueIndex(Rows()[size_t(p)].Id, pos);
      TMemoryRecordEh* r = t->RecordsList()->Rec(byId->Items(pos).RecordIndex);
      r->Edit();
      r->SetDataValue(2, dvkCurrentEh, Rows()[size_t(p)].Amount + delta);
      r->Post();
    }
    delta += 1;
  }
  state.SetItemsProcessed(state.iterations() * kProbes);
}

// --- the SQLite side -----------------------------------------------------------------------

using bench_sqlite::DbPtr;
using bench_sqlite::Exec;

DbPtr NewDb() {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  Exec(db, "CREATE TABLE t (id INTEGER, name TEXT, amount REAL, whenat REAL)");
  return DbPtr(db);
}

void LoadDb(sqlite3* db) {
  Exec(db, "BEGIN");
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?, ?)", -1, &st, nullptr);
  for (const Row& r : Rows()) {
    sqlite3_bind_int(st, 1, r.Id);
    sqlite3_bind_text(st, 2, r.Name.data(), static_cast<int>(r.Name.size()), SQLITE_STATIC);
    sqlite3_bind_double(st, 3, r.Amount);
    sqlite3_bind_double(st, 4, r.When);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  Exec(db, "COMMIT");
}

sqlite3* IndexedDb() {
  static DbPtr db = [] {
    DbPtr d = NewDb();
    LoadDb(d.get());
    Exec(d.get(), "CREATE INDEX ix_name ON t (name)");
    Exec(d.get(), "CREATE UNIQUE INDEX ix_id ON t (id)");
    return d;
  }();
  return db.get();
}

void BM_Load_SQLite(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    DbPtr db = NewDb();
    state.ResumeTiming();
    LoadDb(db.get());
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
}

template <bool ByName>
void IndexBuildDb(benchmark::State& state) {
  static DbPtr db = [] {
    DbPtr d = NewDb();
    LoadDb(d.get());
    return d;
  }();
  for (auto _ : state) {
    Exec(db.get(), ByName ? "CREATE INDEX ix ON t (name)" : "CREATE UNIQUE INDEX ix ON t (id)");
    state.PauseTiming();
    Exec(db.get(), "DROP INDEX ix");
    state.ResumeTiming();
  }
}

void BM_IndexName_SQLite(benchmark::State& state) {
  IndexBuildDb<true>(state);
}
void BM_IndexId_SQLite(benchmark::State& state) {
  IndexBuildDb<false>(state);
}

template <bool ByName>
void LocateDb(benchmark::State& state) {
  sqlite3* db = IndexedDb();
  std::vector<int> probes = Probes();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, ByName ? "SELECT rowid FROM t WHERE name = ?" : "SELECT rowid FROM t WHERE id = ?",
                     -1, &st, nullptr);
  for (auto _ : state) {
    int found = 0;
    for (int p : probes) {
      const Row& r = Rows()[size_t(p)];
      if (ByName)
        sqlite3_bind_text(st, 1, r.Name.data(), static_cast<int>(r.Name.size()), SQLITE_STATIC);
      else
        sqlite3_bind_int(st, 1, r.Id);
      if (sqlite3_step(st) == SQLITE_ROW) ++found;
      sqlite3_reset(st);
    }
    if (found != kProbes) state.SkipWithError("a key was not found");
  }
  sqlite3_finalize(st);
  state.SetItemsProcessed(state.iterations() * kProbes);
}

void BM_LocateName_SQLite(benchmark::State& state) {
  LocateDb<true>(state);
}
void BM_LocateId_SQLite(benchmark::State& state) {
  LocateDb<false>(state);
}

void BM_Update_SQLite(benchmark::State& state) {
  sqlite3* db = IndexedDb();
  std::vector<int> probes = Probes();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "UPDATE t SET amount = ? WHERE id = ?", -1, &st, nullptr);
  double delta = 1;
  for (auto _ : state) {
    Exec(db, "BEGIN");
    for (int p : probes) {
      const Row& r = Rows()[size_t(p)];
      sqlite3_bind_double(st, 1, r.Amount + delta);
      sqlite3_bind_int(st, 2, r.Id);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    Exec(db, "COMMIT");
    delta += 1;
  }
  sqlite3_finalize(st);
  state.SetItemsProcessed(state.iterations() * kProbes);
}

#define PAIR(Work, Iters)                                                                        \
  BENCHMARK(BM_##Work##_Table)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime(); \
  BENCHMARK(BM_##Work##_SQLite)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime()

PAIR(Load, 1);
PAIR(IndexName, 3);
PAIR(IndexId, 3);
BENCHMARK(BM_SortNamesBytes_Std)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SortNamesCollation_Std)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
PAIR(LocateName, 3);
PAIR(LocateId, 3);
PAIR(Update, 3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  auto find = [&reporter](const std::string& prefix) { return reporter.TimeOf(prefix); };
  std::printf("\n%-28s %16s %12s %10s\n", "work (1,000,000 records)", "TMemTableDataEh", "SQLite", "ratio");
  for (const char* w : {"Load", "IndexName", "IndexId", "LocateName", "LocateId", "Update"}) {
    const double mine = find(std::string("BM_") + w + "_Table");
    const double theirs = find(std::string("BM_") + w + "_SQLite");
    if (mine < 0 || theirs < 0) continue;
    std::printf("%-28s %13.1f ms %9.1f ms %9.2fx\n", w, mine, theirs, theirs / mine);
  }
  std::printf("ratio: SQLite time / TMemTableDataEh time (above 1: the table store is faster)\n");
  const double name = find("BM_IndexName_Table");
  for (const char* s : {"BM_SortNamesBytes_Std", "BM_SortNamesCollation_Std"}) {
    const double sorted = find(s);
    if (name > 0 && sorted > 0) std::printf("name index build / %s: %.2f\n", s + 3, name / sorted);
  }
  return 0;
}
