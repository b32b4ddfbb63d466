#pragma once
// Runs the registered benchmarks while keeping the real time and counters of every repetition,
// so a benchmark program can print its own work beside SQLite's in one table after the run.
// The table takes the median of the repetitions (--benchmark_repetitions): one slow or fast
// repetition on a shared machine does not move it. A benchmark that failed its check has no
// figure at all.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace side_by_side {

inline double Median(std::vector<double> v) {
  if (v.empty()) return -1.0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

class TTableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      // Aggregates (mean, median...) are made from these very runs.
      if (r.run_type != Run::RT_Iteration) continue;
      const std::string& name = r.run_name.function_name;
      if (r.error_occurred) {
        failed_[name] = r.error_message;
        continue;
      }
      times_[name].push_back(r.GetAdjustedRealTime());
      for (const auto& [counter, value] : r.counters) counters_[name][counter].push_back(value.value);
    }
  }
  // The median real time of the benchmark whose function is named `name` (or, failing that,
  // the first whose name starts with it); -1 when it did not run or failed its check.
  double TimeOf(const std::string& name) const {
    if (failed_.count(name)) return -1.0;
    if (auto it = times_.find(name); it != times_.end()) return Median(it->second);
    for (const auto& [n, t] : times_)
      if (n.rfind(name, 0) == 0) return Median(t);
    return -1.0;
  }
  // The median of a counter the benchmark set; -1 when it has none.
  double CounterOf(const std::string& name, const std::string& counter) const {
    auto it = counters_.find(name);
    if (it == counters_.end() || failed_.count(name)) return -1.0;
    auto c = it->second.find(counter);
    return c == it->second.end() ? -1.0 : Median(c->second);
  }
  const std::map<std::string, std::string>& Failed() const { return failed_; }

 private:
  std::map<std::string, std::vector<double>> times_;
  std::map<std::string, std::map<std::string, std::vector<double>>> counters_;
  std::map<std::string, std::string> failed_;
};

}  // namespace side_by_side
