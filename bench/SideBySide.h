#pragma once
// Runs the registered benchmarks while keeping each one's real time, so a benchmark program can
// print its own work beside SQLite's in one table after the run.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace side_by_side {

class TTableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred) times[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  // The real time of the first benchmark whose name starts with `prefix`; -1 when none ran.
  double TimeOf(const std::string& prefix) const {
    for (const auto& [name, t] : times)
      if (name.rfind(prefix, 0) == 0) return t;
    return -1.0;
  }
  std::map<std::string, double> times;
};

}  // namespace side_by_side
