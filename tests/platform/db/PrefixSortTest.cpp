// The prefix radix sort gives what a stable comparison sort of the same items gives, for key
// distributions that take each of its paths: shared leading bytes, buckets around the size
// where insertion sort takes over, keys that differ only in their last byte, and all equal.
#include "platform/db/PrefixSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace prefix_sort_test {

struct Item {
  uint64_t P0, P1;
  int Tag;  // the original position, to see that equal keys keep their order
  bool operator==(const Item&) const = default;
};

std::vector<Item> Sorted(std::vector<Item> items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const Item& a, const Item& b) { return a.P0 != b.P0 ? a.P0 < b.P0 : a.P1 < b.P1; });
  return items;
}

TEST(PrefixSort, MatchesAStableComparisonSort) {
  using R = std::mt19937_64;
  using P = std::pair<uint64_t, uint64_t>;
  // The key of item K.
  const struct {
    const char* Id;
    size_t Count;
    P (*Make)(R&, uint64_t K);
  } cases[] = {
      // clang-format off
      {"random", 5000, [](R& r, uint64_t) { return P{r(), r()}; }},
      {"few-distinct", 5000, [](R& r, uint64_t) { return P{r() % 3, r() % 2}; }},
      // The first five bytes are the same everywhere; keys differ further in.
      {"shared-lead", 4000,
       [](R& r, uint64_t) { return P{0x0102030405000000ull | (r() & 0xFFFFFF), r() % 7}; }},
      {"low-half-only", 3000, [](R& r, uint64_t) { return P{42, r() % 1000}; }},
      {"last-byte", 2000, [](R& r, uint64_t) { return P{7, 0xAB00 | (r() & 0xFF)}; }},
      {"top-bit", 1000, [](R& r, uint64_t) { return P{(r() % 2) << 63, 0}; }},
      {"all-equal", 300, [](R&, uint64_t) { return P{5, 6}; }},
      {"below-bucket", 47, [](R& r, uint64_t) { return P{r() % 10, r() % 3}; }},
      {"at-bucket", 48, [](R& r, uint64_t) { return P{r() % 10, r() % 3}; }},
      // Buckets of 40-60 items a level: both sides of the insertion-sort size.
      {"bucket-edges", 12000,
       [](R& r, uint64_t) { return P{(r() % 250) << 56 | (r() % 250) << 48, r() % 5}; }},
      {"descending", 3000, [](R&, uint64_t k) { return P{~k << 20, 0}; }},
      {"one", 1, [](R& r, uint64_t) { return P{r(), r()}; }},
      {"none", 0, [](R& r, uint64_t) { return P{r(), r()}; }},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    R rng(77);
    std::vector<Item> items;
    for (size_t k = 0; k < c.Count; ++k) {
      const auto [p0, p1] = c.Make(rng, k);
      items.push_back({p0, p1, static_cast<int>(k)});
    }
    std::vector<Item> expected = Sorted(items);
    SortByPrefix(items);
    EXPECT_EQ(items, expected);
  }
}

}  // namespace prefix_sort_test
