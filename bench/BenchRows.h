#pragma once
// The one million rows every table benchmark loads: an Integer id, a String name of 8-16
// lowercase letters, a Float amount with two decimals and a DateTime, from fixed seeds so every
// run measures the same data. The ids are 1..kRecords in row order, as rows read by key come;
// ShuffledIds gives the same ids in no particular order, for an index that must really sort.
// Known is what a correct side must answer, worked out from the rows themselves.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"

namespace bench_rows {

constexpr int kRecords = 1000000;
// The filter pattern of the filter pairs, as LIKE writes it; the names hold lowercase letters
// only, so case-sensitive and case-insensitive matching agree.
constexpr const char* kLikePattern = "%ab%";
constexpr const char* kLikeInfix = "ab";

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

// [i] = the id row i carries where the ids come shuffled: 1..kRecords, each once.
inline const std::vector<int>& ShuffledIds() {
  static const std::vector<int> ids = [] {
    std::vector<int> v(kRecords);
    for (int i = 0; i < kRecords; ++i) v[size_t(i)] = i + 1;
    std::shuffle(v.begin(), v.end(), std::mt19937_64(77));
    return v;
  }();
  return ids;
}

inline int64_t Cents(double amount) {
  return std::llround(amount * 100);
}

inline bool MatchesFilter(const Row& r) {
  return r.Name.find(kLikeInfix) != std::string::npos;
}

struct Known {
  // [id] = the rank of the row's name among the distinct names in byte order (all letters are
  // lowercase, so every collation the sides use agrees); equal names share a rank.
  std::vector<int> NameRankOfId;
  int64_t IdSum = 0;
  int64_t NameLengthSum = 0;
  int64_t AmountCents = 0;
  double AmountPlusWhen = 0;  // the sum of Amount + When, row by row
  int FilterMatches = 0;
  int64_t FilterAmountCents = 0;
};

inline const Known& Expected() {
  static const Known known = [] {
    const std::vector<Row>& rows = Rows();
    Known k;
    k.NameRankOfId.assign(size_t(kRecords) + 1, -1);
    std::vector<int> order(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      const Row& r = rows[i];
      order[i] = static_cast<int>(i);
      k.IdSum += r.Id;
      k.NameLengthSum += static_cast<int64_t>(r.Name.size());
      k.AmountCents += Cents(r.Amount);
      k.AmountPlusWhen += r.Amount + r.When;
      if (MatchesFilter(r)) {
        ++k.FilterMatches;
        k.FilterAmountCents += Cents(r.Amount);
      }
    }
    std::sort(order.begin(), order.end(),
              [&rows](int a, int b) { return rows[size_t(a)].Name < rows[size_t(b)].Name; });
    int rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
      if (i > 0 && rows[size_t(order[i])].Name != rows[size_t(order[i - 1])].Name) ++rank;
      k.NameRankOfId[size_t(rows[size_t(order[i])].Id)] = rank;
    }
    return k;
  }();
  return known;
}

// Whether ids delivered in this order follow the names ascending: every row once, and no name
// before a smaller one. Equal names may come in any order.
inline bool SortedByName(const std::vector<int>& Ids) {
  const Known& k = Expected();
  if (Ids.size() != size_t(kRecords)) return false;
  std::vector<uint8_t> seen(size_t(kRecords) + 1, 0);
  int previous = -1;
  for (int id : Ids) {
    if (id < 1 || id > kRecords || seen[size_t(id)]) return false;
    seen[size_t(id)] = 1;
    const int rank = k.NameRankOfId[size_t(id)];
    if (rank < previous) return false;
    previous = rank;
  }
  return true;
}

// Whether `Total` is the sum of `Cents` to within rounding.
inline bool SameTotal(double Total, int64_t Cents) {
  return std::fabs(Total - static_cast<double>(Cents) / 100.0) < 0.01;
}

}  // namespace bench_rows
