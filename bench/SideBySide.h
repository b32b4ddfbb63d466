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

// A step the code under measure does not carry yet fails the run with its message instead of
// ending the program.
template <class F>
void Guarded(benchmark::State& state, F Body) {
  try {
    Body();
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  }
}

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
      // The name without repetition or aggregate: "BM_Work_Side/arguments.../real_time".
      const std::string name = r.run_name.str();
      if (r.error_occurred) {
        failed_[name] = r.error_message;
        continue;
      }
      times_[name].push_back(r.GetAdjustedRealTime());
      for (const auto& [counter, value] : r.counters) counters_[name][counter].push_back(value.value);
    }
  }
  // The median real time of the benchmark `name`, given whole or up to a '/' of its full name
  // ("BM_Sum_SumList", "BM_PaintGrid/100"); -1 when it did not run or failed its check.
  double TimeOf(const std::string& name) const {
    const std::string* full = Find(name);
    return full && !failed_.count(*full) ? Median(times_.at(*full)) : -1.0;
  }
  // The median of a counter the benchmark set; -1 when it has none.
  double CounterOf(const std::string& name, const std::string& counter) const {
    const std::string* full = Find(name);
    if (!full || failed_.count(*full) || !counters_.count(*full)) return -1.0;
    const auto& c = counters_.at(*full);
    return c.count(counter) ? Median(c.at(counter)) : -1.0;
  }
  const std::map<std::string, std::string>& Failed() const { return failed_; }

 private:
  const std::string* Find(const std::string& name) const {
    for (const auto& [full, t] : times_)
      if (full == name || full.rfind(name + "/", 0) == 0) return &full;
    for (const auto& [full, why] : failed_)
      if (full == name || full.rfind(name + "/", 0) == 0) return &full;
    return nullptr;
  }

  std::map<std::string, std::vector<double>> times_;
  std::map<std::string, std::map<std::string, std::vector<double>>> counters_;
  std::map<std::string, std::string> failed_;
};

// Also keeps the medians of --benchmark_report_aggregates_only, where the repetitions
// themselves are not reported.
class TMedianReporter : public TTableReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    TTableReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" && !r.error_occurred) {
        medians_[r.run_name.str()] = r.GetAdjustedRealTime();
        for (const auto& [counter, value] : r.counters)
          medianCounters_[r.run_name.str()][counter] = value.value;
      }
  }
  // The median of the benchmark named Name, or whose full name starts with Name + "/".
  double TimeOf(const std::string& Name) const {
    const double t = TTableReporter::TimeOf(Name);
    if (t > 0) return t;
    for (const auto& [full, median] : medians_)
      if (full == Name || full.rfind(Name + "/", 0) == 0) return median;
    return -1.0;
  }
  // The median of a counter the benchmark set, from the repetitions or their median aggregate.
  double CounterOf(const std::string& Name, const std::string& Counter) const {
    const double c = TTableReporter::CounterOf(Name, Counter);
    if (c >= 0) return c;
    for (const auto& [full, counters] : medianCounters_)
      if ((full == Name || full.rfind(Name + "/", 0) == 0) && counters.count(Counter))
        return counters.at(Counter);
    return -1.0;
  }

 private:
  std::map<std::string, double> medians_;
  std::map<std::string, std::map<std::string, double>> medianCounters_;
};

}  // namespace side_by_side
