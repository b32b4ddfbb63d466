// What a row costs in memory: the peak resident size (VmHWM) of a child process that loads the
// 1,000,000 benchmark rows into the in-memory data set, into the table store, or into SQLite's
// in-memory database, less that of a child that only builds the source rows, divided by the
// row count. Each child is this program started again with --resident=WHAT, so no heap of the
// measuring process is counted. None of the three keeps an index: the data set and the table
// store hold the rows alone, and the SQLite table has no key but its rowid. The data set is
// filled through LoadRows a row at a time, so no copy of all the rows sits beside it.
// The counter bytes_per_row carries the figure; after the runs a table prints the medians.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/BenchRows.h"
#include "bench/DataSetSupport.h"
#include "bench/ResidentSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "bench/TableSupport.h"

namespace {

using bench_resident::ChildPeakKb;
using bench_resident::PeakResidentKb;
using bench_rows::kRecords;

constexpr const char* kResidentFlag = "--resident=";

// Prints the child's peak and ends it at once: the loaded rows are left to the system, as
// freeing a million records only costs time.
[[noreturn]] void Finish(const std::string& what, long loaded) {
  std::printf("%ld\n", PeakResidentKb());
  std::fflush(stdout);
  if (loaded != kRecords) std::fprintf(stderr, "%s: %ld records loaded\n", what.c_str(), loaded);
  _exit(loaded == kRecords ? 0 : 1);
}

// The child: builds the rows, loads them into `what` and prints its peak resident size.
int Resident(const std::string& what) {
  bench_rows::Rows();
  if (what == "dataset") {
    bench_dataset::MemoryDataSetPtr ds = bench_dataset::NewDataSet(false);
    bench_dataset::LoadAll(*ds);
    Finish(what, ds->RecordCount());
  }
  if (what == "table") {
    bench_table::TablePtr t = bench_table::NewTable();
    bench_table::Load(t.get());
    Finish(what, t->RecordsList()->Count());
  }
  if (what == "sqlite") {
    bench_sqlite::DbPtr db = bench_sqlite::NewDb();
    bench_sqlite::InsertRows(db.get());
    Finish(what, static_cast<long>(bench_sqlite::CountRows(db.get())));
  }
  if (what == "rows") Finish(what, kRecords);
  std::fprintf(stderr, "unknown %s%s\n", kResidentFlag, what.c_str());
  return 2;
}

void RowBytes(benchmark::State& state, const char* what) {
  for (auto _ : state) {
    const long base = ChildPeakKb(std::string(kResidentFlag) + "rows");
    const long peak = ChildPeakKb(kResidentFlag + std::string(what));
    if (base < 0 || peak < 0) {
      state.SkipWithError("a child process failed; run it alone with --resident=WHAT");
      break;
    }
    state.counters["bytes_per_row"] = static_cast<double>(peak - base) * 1024.0 / kRecords;
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
    state.counters["rows_MiB"] = static_cast<double>(base) / 1024.0;
  }
}

void BM_RowBytes_DataSet(benchmark::State& state) {
  RowBytes(state, "dataset");
}
void BM_RowBytes_Table(benchmark::State& state) {
  RowBytes(state, "table");
}
void BM_RowBytes_SQLite(benchmark::State& state) {
  RowBytes(state, "sqlite");
}

BENCHMARK(BM_RowBytes_DataSet)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_RowBytes_Table)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_RowBytes_SQLite)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strncmp(argv[1], kResidentFlag, std::strlen(kResidentFlag)) == 0)
    return Resident(argv[1] + std::strlen(kResidentFlag));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-34s %14s\n", "memory (1,000,000 records)", "bytes a row");
  for (const char* what : {"DataSet", "Table", "SQLite"}) {
    const double bytes = reporter.CounterOf(std::string("BM_RowBytes_") + what, "bytes_per_row");
    if (bytes >= 0) std::printf("%-34s %14.1f\n", what, bytes);
  }
  std::printf("medians of the repetitions; peak resident size less that of building the rows alone\n");
  for (const auto& [n, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", n.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
