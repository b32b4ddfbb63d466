// Inserting and deleting at the front of a loaded table store: 2,000 records each way into
// (out of) tables of 100,000 and 400,000 records, without an index and with one. A cost that grows
// with the table's size would show as a time that grows with it; the time per insert should stay flat. The
// loaded table is made outside the timing; each side checks its answer (the count, the positions of the first
// and the last record).
#include <benchmark/benchmark.h>

#include "bench/TableSupport.h"

namespace {

constexpr int kChanges = 2000;

bench_table::TablePtr LoadedTable(int Records) {
  bench_table::TablePtr t = bench_table::NewTable();
  t->RecordsList()->FetchRecords(static_cast<size_t>(Records), [](size_t Row, std::span<Variant> Values) {
    Values[0] = static_cast<int>(Row);
    Values[1] = "name";
  });
  return t;
}

// The list holds Count records and the first and the last know their positions.
bool Sound(TRecordsListEh* List, int Count) {
  return List->Count() == Count && List->Rec(0)->Index() == 0 && List->Rec(Count - 1)->Index() == Count - 1;
}

void BM_FrontInsert(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    bench_table::TablePtr t = LoadedTable(records);
    TRecordsListEh* list = t->RecordsList();
    state.ResumeTiming();
    for (int i = 0; i < kChanges; ++i) list->InsertRecord(list->NewRecord(), 0, false, false);
    if (!Sound(list, records + kChanges)) state.SkipWithError("front insert: positions or count wrong");
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kChanges);
}

void BM_FrontDelete(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    bench_table::TablePtr t = LoadedTable(records);
    TRecordsListEh* list = t->RecordsList();
    state.ResumeTiming();
    for (int i = 0; i < kChanges; ++i) list->DeleteRecord(0);
    if (!Sound(list, records - kChanges)) state.SkipWithError("front delete: positions or count wrong");
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kChanges);
}

// The same inserts with a unique index on ID, each key the smallest so far: the index's item
// goes to its front too. Items name their records, so no other item changes.
void BM_FrontInsertIndexed(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    bench_table::TablePtr t = LoadedTable(records);
    TMTIndexEh* byId = bench_table::AddIndex(t.get(), "ID", true);
    TRecordsListEh* list = t->RecordsList();
    state.ResumeTiming();
    for (int i = 0; i < kChanges; ++i) {
      TMemoryRecordEh* r = list->NewRecord();
      r->SetDataValue(0, dvkCurrentEh, -1 - i);
      list->InsertRecord(r, 0, false, false);
    }
    if (!Sound(list, records + kChanges) || byId->Count() != records + kChanges ||
        byId->RecordIndexAt(0) != 0)
      state.SkipWithError("indexed front insert: positions, count or index wrong");
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kChanges);
}

// Deletes at the front with a unique index on ID: the items of the records deleted go, the
// others stay where they are.
void BM_FrontDeleteIndexed(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    bench_table::TablePtr t = LoadedTable(records);
    TMTIndexEh* byId = bench_table::AddIndex(t.get(), "ID", true);
    TRecordsListEh* list = t->RecordsList();
    state.ResumeTiming();
    for (int i = 0; i < kChanges; ++i) list->DeleteRecord(0);
    if (!Sound(list, records - kChanges) || byId->Count() != records - kChanges ||
        byId->RecordIndexAt(0) != 0)
      state.SkipWithError("indexed front delete: positions, count or index wrong");
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kChanges);
}

BENCHMARK(BM_FrontInsert)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_FrontDelete)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_FrontInsertIndexed)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_FrontDeleteIndexed)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
