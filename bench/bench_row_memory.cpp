// What a row costs in memory: the peak resident size (VmHWM) of a child process that loads the
// 1,000,000 benchmark rows into the in-memory data set, into the table store, or into SQLite's
// in-memory database, less that of a child that only builds the source rows, divided by the
// row count. Each child is this program started again with --resident=WHAT, so no heap of the
// measuring process is counted. None of the three keeps an index: the data set and the table
// store hold the rows alone, and the SQLite table has no key but its rowid. The data set is
// filled through LoadRows a row at a time, so no copy of all the rows sits beside it.
// The counter bytes_per_row carries the figure; after the runs a table prints the medians.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/BenchRows.h"
#include "bench/DataSetSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "bench/TableSupport.h"

extern char** environ;

namespace {

using bench_rows::kRecords;

constexpr const char* kResidentFlag = "--resident=";

// The peak resident size of this process in KiB, -1 when /proc does not tell.
long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

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

// Starts this program with --resident=`what` and reads the peak it prints; -1 on failure.
long ChildPeakKb(const std::string& what) {
  char self[PATH_MAX] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) return -1;
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string flag = kResidentFlag + what;
  char* argv[] = {self, const_cast<char*>(flag.c_str()), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string text;
  char buf[256];
  for (ssize_t n; spawned == 0 && (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
  close(out[0]);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) return -1;
  return std::stol(text);
}

void RowBytes(benchmark::State& state, const char* what) {
  for (auto _ : state) {
    const long base = ChildPeakKb("rows");
    const long peak = ChildPeakKb(what);
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
