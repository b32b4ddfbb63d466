#pragma once
// The one million rows both table benchmarks load: an Integer id, a String name of 8-16
// letters, a Float amount and a DateTime, from a fixed seed so every run measures the same data.
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"

namespace bench_rows {

constexpr int kRecords = 1000000;

struct Row {
  int Id;
  std::string Name;
  double Amount;
  double When;
};

inline const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = [] {
    std::mt19937_64 rng(20240607);
    std::vector<Row> r;
    r.reserve(kRecords);
    const double base = EncodeDate(2020, 1, 1);
    for (int i = 0; i < kRecords; ++i) {
      std::string name(8 + rng() % 9, ' ');
      for (char& c : name) c = static_cast<char>('a' + rng() % 26);
      r.push_back({i + 1, std::move(name), static_cast<double>(rng() % 1000000) / 100.0,
                   base + static_cast<double>(rng() % (5 * 365 * 24 * 60)) / (24 * 60)});
    }
    return r;
  }();
  return rows;
}

}  // namespace bench_rows
