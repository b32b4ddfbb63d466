// The in-memory table store against SQLite's in-memory database on the same work, 1,000,000
// records of (Integer id, in shuffled order here, String name of 8-16 letters, Float amount,
// DateTime):
//   Load        - every record through NewRecord and FetchRecord; SQLite: one prepared INSERT a
//                 row inside a transaction. One load a process, into a fresh heap.
//   IndexName   - a non-unique index on the name (locale collation); SQLite: CREATE INDEX.
//   IndexId     - a unique index on the shuffled ids; SQLite: CREATE UNIQUE INDEX.
//   SortNames   - std::sort of the same name keys, by bytes and by the index's collation, for
//                 what a plain sort of the keys costs.
//   LocateName, LocateId - 100,000 keys found through the index; SQLite: SELECT rowid WHERE.
//   Update      - 100,000 amounts changed by Edit/Post with both indexes kept; SQLite: UPDATE
//                 of the amount WHERE id = ? with both indexes present.
// Every side checks its answer (counts, the index's own consistency check, the records found,
// the amounts written) and a wrong one fails the benchmark. After the runs a table puts both
// side by side: medians of the repetitions, with the ratio SQLite time / our time.
// bench/run_side_by_side.py runs each benchmark in a fresh process.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "bench/TableSupport.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kProbes = 100000;

using bench_rows::kRecords;
using bench_rows::Row;
using bench_rows::Rows;
using bench_sqlite::DbPtr;
using bench_sqlite::Exec;
using bench_sqlite::NewDb;
using bench_table::AddIndex;
using bench_table::NewTable;
using bench_table::TablePtr;

// The ids of this program's rows: shuffled, so an index on them must sort.
const std::vector<int>* Ids() {
  return &bench_rows::ShuffledIds();
}
int IdOf(int row) {
  return (*Ids())[size_t(row)];
}

// Positions in Rows().
std::vector<int> Probes() {
  std::mt19937 rng(99);
  std::vector<int> p;
  for (int i = 0; i < kProbes; ++i) p.push_back(static_cast<int>(rng() % kRecords));
  return p;
}

// Fails the benchmark unless `ok`; call it with the timer running (after ResumeTiming).
bool Fails(benchmark::State& state, bool ok, const std::string& why) {
  if (!ok) state.SkipWithError(why.c_str());
  return !ok;
}

// --- the table side ------------------------------------------------------------------------

// One loaded table with both indexes, shared by the searches and the updates.
TMemTableDataEh* IndexedTable() {
  static TablePtr t = [] {
    TablePtr table = NewTable();
    bench_table::Load(table.get(), Ids());
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
    bench_table::Load(t.get(), Ids());
    state.PauseTiming();
    const bool ok = t->RecordsList()->Count() == kRecords;
    t.reset();
    state.ResumeTiming();
    if (Fails(state, ok, "load: wrong record count")) break;
  }
}

// Empty when the index holds every record in order, else what is wrong.
std::string IndexFault(TMTIndexEh* index) {
  if (index->Count() != kRecords) return "index incomplete";
  try {
    index->CheckConsistency();
  } catch (const std::exception& e) {
    return std::string("index inconsistent: ") + e.what();
  }
  return {};
}

template <bool ByName>
void IndexBuild(benchmark::State& state) {
  static TablePtr t = [] {
    TablePtr table = NewTable();
    bench_table::Load(table.get(), Ids());
    return table;
  }();
  bool checked = false;
  for (auto _ : state) {
    TMTIndexEh* index = AddIndex(t.get(), ByName ? "Name" : "ID", !ByName);
    state.PauseTiming();
    // The full check walks every record: once a process is enough.
    const std::string fault =
        checked ? (index->Count() == kRecords ? "" : "index incomplete") : IndexFault(index);
    checked = true;
    t->RecordsList()->Indexes()->Clear();
    state.ResumeTiming();
    if (Fails(state, fault.empty(), fault)) break;
  }
}

void BM_IndexName_Table(benchmark::State& state) {
  IndexBuild<true>(state);
}
void BM_IndexId_Table(benchmark::State& state) {
  IndexBuild<false>(state);
}

template <typename Less>
void SortNames(benchmark::State& state, Less less) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> keys;
    keys.reserve(kRecords);
    for (const Row& r : Rows()) keys.push_back(r.Name);
    state.ResumeTiming();
    std::sort(keys.begin(), keys.end(), less);
    state.PauseTiming();
    const bool ok = std::is_sorted(keys.begin(), keys.end(), less);
    state.ResumeTiming();
    if (Fails(state, ok, "sort: keys out of order")) break;
  }
}

void BM_SortNamesBytes_Std(benchmark::State& state) {
  SortNames(state, std::less<std::string>());
}

void BM_SortNamesCollation_Std(benchmark::State& state) {
  SortNames(state, [](const std::string& a, const std::string& b) { return AnsiCompareStr(a, b) < 0; });
}

template <bool ByName>
void Locate(benchmark::State& state) {
  TMemTableDataEh* t = IndexedTable();
  TMTIndexEh* index = t->RecordsList()->Indexes()->Items(ByName ? 0 : 1);
  std::vector<Variant> keys;
  for (int p : Probes()) keys.push_back(ByName ? Variant(Rows()[size_t(p)].Name) : Variant(IdOf(p)));
  std::vector<TMemoryRecordEh*> found;
  found.reserve(kProbes);
  for (auto _ : state) {
    state.PauseTiming();
    found.clear();
    state.ResumeTiming();
    for (const Variant& k : keys) {
      int pos = 0;
      if (index->FindKeyValueIndex(k, pos)) found.push_back(t->RecordsList()->Rec(index->RecordIndexAt(pos)));
    }
    state.PauseTiming();
    bool ok = found.size() == keys.size();
    for (size_t i = 0; ok && i < found.size(); ++i)
      ok = found[i]->GetDataValue(ByName ? 1 : 0, dvkCurrentEh) == keys[i];
    state.ResumeTiming();
    if (Fails(state, ok, "locate: a key was not found, or found the wrong record")) break;
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
  const std::vector<int> probes = Probes();
  double delta = 1;
  for (auto _ : state) {
    for (int p : probes) {
      int pos = 0;
      byId->FindKeyValueIndex(IdOf(p), pos);
      TMemoryRecordEh* r = t->RecordsList()->Rec(byId->RecordIndexAt(pos));
      r->Edit();
      r->SetDataValue(2, dvkCurrentEh, Rows()[size_t(p)].Amount + delta);
      r->Post();
    }
    delta += 1;
  }
  // Every probed record holds the amount the last round wrote.
  bool ok = true;
  for (size_t i = 0; ok && i < probes.size(); ++i) {
    const Row& row = Rows()[size_t(probes[i])];
    int pos = 0;
    ok = byId->FindKeyValueIndex(IdOf(probes[i]), pos) &&
         t->RecordsList()->Rec(byId->RecordIndexAt(pos))->GetDataValue(2, dvkCurrentEh).AsDouble() ==
             row.Amount + (delta - 1);
  }
  if (!ok) state.SkipWithError("update: a record does not hold the amount written");
  state.SetItemsProcessed(state.iterations() * kProbes);
}

// --- the SQLite side -----------------------------------------------------------------------

sqlite3* IndexedDb() {
  static DbPtr db = [] {
    DbPtr d = NewDb();
    bench_sqlite::InsertRows(d.get(), Ids());
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
    bool ok = bench_sqlite::InsertRows(db.get(), Ids());
    state.PauseTiming();
    ok = ok && bench_sqlite::CountRows(db.get()) == kRecords;
    db.reset();
    state.ResumeTiming();
    if (Fails(state, ok, "insert: wrong row count")) break;
  }
}

template <bool ByName>
void IndexBuildDb(benchmark::State& state) {
  static DbPtr db = [] {
    DbPtr d = NewDb();
    bench_sqlite::InsertRows(d.get(), Ids());
    return d;
  }();
  for (auto _ : state) {
    // SQLite checks the unique index itself: a repeated id fails the statement.
    bool ok = Exec(db.get(), ByName ? "CREATE INDEX ix ON t (name)" : "CREATE UNIQUE INDEX ix ON t (id)");
    state.PauseTiming();
    ok = Exec(db.get(), "DROP INDEX ix") && ok;
    state.ResumeTiming();
    if (Fails(state, ok, "create index failed")) break;
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
  const std::vector<int> probes = Probes();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, ByName ? "SELECT rowid FROM t WHERE name = ?" : "SELECT rowid FROM t WHERE id = ?",
                     -1, &st, nullptr);
  std::vector<int64_t> found;
  found.reserve(kProbes);
  for (auto _ : state) {
    state.PauseTiming();
    found.clear();
    state.ResumeTiming();
    for (int p : probes) {
      const Row& r = Rows()[size_t(p)];
      if (ByName)
        sqlite3_bind_text(st, 1, r.Name.data(), static_cast<int>(r.Name.size()), SQLITE_STATIC);
      else
        sqlite3_bind_int(st, 1, IdOf(p));
      if (sqlite3_step(st) == SQLITE_ROW) found.push_back(sqlite3_column_int64(st, 0));
      sqlite3_reset(st);
    }
    state.PauseTiming();
    // The rows went in in order, so rowid - 1 is the row's position.
    bool ok = found.size() == probes.size();
    for (size_t i = 0; ok && i < found.size(); ++i) {
      ok = found[i] >= 1 && found[i] <= kRecords &&
           (ByName ? Rows()[size_t(found[i] - 1)].Name == Rows()[size_t(probes[i])].Name
                   : found[i] - 1 == probes[i]);
    }
    state.ResumeTiming();
    if (Fails(state, ok, "locate: a key was not found, or found the wrong row")) break;
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
  const std::vector<int> probes = Probes();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "UPDATE t SET amount = ? WHERE id = ?", -1, &st, nullptr);
  double delta = 1;
  for (auto _ : state) {
    Exec(db, "BEGIN");
    for (int p : probes) {
      const Row& r = Rows()[size_t(p)];
      sqlite3_bind_double(st, 1, r.Amount + delta);
      sqlite3_bind_int(st, 2, IdOf(p));
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    Exec(db, "COMMIT");
    delta += 1;
  }
  sqlite3_finalize(st);
  // Every probed row holds the amount the last round wrote.
  sqlite3_prepare_v2(db, "SELECT amount FROM t WHERE id = ?", -1, &st, nullptr);
  bool ok = true;
  for (size_t i = 0; ok && i < probes.size(); ++i) {
    const Row& row = Rows()[size_t(probes[i])];
    sqlite3_bind_int(st, 1, IdOf(probes[i]));
    ok = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_double(st, 0) == row.Amount + (delta - 1);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  if (!ok) state.SkipWithError("update: a row does not hold the amount written");
  state.SetItemsProcessed(state.iterations() * kProbes);
}

#define RUN(Name, Iters) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(Iters)->UseRealTime()
#define PAIR(Work, Iters)        \
  RUN(BM_##Work##_Table, Iters); \
  RUN(BM_##Work##_SQLite, Iters)

// A load is one iteration: a second one in the same process would run after the first was
// freed.
PAIR(Load, 1);
PAIR(IndexName, 2);
PAIR(IndexId, 2);
RUN(BM_SortNamesBytes_Std, 2);
RUN(BM_SortNamesCollation_Std, 1);
PAIR(LocateName, 3);
PAIR(LocateId, 3);
PAIR(Update, 2);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-28s %16s %12s %10s\n", "work (1,000,000 records)", "TMemTableDataEh", "SQLite", "ratio");
  for (const char* w : {"Load", "IndexName", "IndexId", "LocateName", "LocateId", "Update"}) {
    const double mine = reporter.TimeOf(std::string("BM_") + w + "_Table");
    const double theirs = reporter.TimeOf(std::string("BM_") + w + "_SQLite");
    if (mine < 0 || theirs < 0) continue;
    std::printf("%-28s %13.1f ms %9.1f ms %9.2fx\n", w, mine, theirs, theirs / mine);
  }
  std::printf(
      "medians of the repetitions; ratio: SQLite time / TMemTableDataEh time (above 1: the table store is "
      "faster)\n");
  const double name = reporter.TimeOf("BM_IndexName_Table");
  for (const char* s : {"BM_SortNamesBytes_Std", "BM_SortNamesCollation_Std"}) {
    const double sorted = reporter.TimeOf(s);
    if (name > 0 && sorted > 0) std::printf("name index build / %s: %.2f\n", s + 3, name / sorted);
  }
  for (const auto& [n, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", n.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
