// The prefix radix sort gives what a stable comparison sort of the same items gives, for key
// distributions that take each of its paths: shared leading bytes, buckets around the size
// where insertion sort takes over, keys that differ only in their last byte, and all equal.
#include "grid/data/PrefixSortEh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
  using Key = std::function<void(std::mt19937_64&, Item&)>;
  struct Case {
    const char* Id;
    size_t Count;
    Key Make;
  };
  const Case cases[] = {
      {"random", 5000,
       [](auto& r, Item& i) {
         i = {r(), r(), 0};
       }},
      {"few-distinct", 5000,
       [](auto& r, Item& i) {
         i = {r() % 3, r() % 2, 0};
       }},
      // The first five bytes are the same everywhere; keys differ further in.
      {"shared-lead", 4000,
       [](auto& r, Item& i) {
         i = {0x0102030405000000ull | (r() & 0xFFFFFF), r() % 7, 0};
       }},
      {"low-half-only", 3000,
       [](auto& r, Item& i) {
         i = {42, r() % 1000, 0};
       }},
      {"last-byte", 2000,
       [](auto& r, Item& i) {
         i = {7, 0xAB00 | (r() & 0xFF), 0};
       }},
      {"top-bit", 1000,
       [](auto& r, Item& i) {
         i = {(r() % 2) << 63, 0, 0};
       }},
      {"all-equal", 300,
       [](auto&, Item& i) {
         i = {5, 6, 0};
       }},
      {"below-bucket", 47,
       [](auto& r, Item& i) {
         i = {r() % 10, r() % 3, 0};
       }},
      {"at-bucket", 48,
       [](auto& r, Item& i) {
         i = {r() % 10, r() % 3, 0};
       }},
      // Buckets of 40-60 items a level: both sides of the insertion-sort size.
      {"bucket-edges", 12000,
       [](auto& r, Item& i) {
         i = {(r() % 250) << 56 | (r() % 250) << 48, r() % 5, 0};
       }},
      {"descending", 3000,
       [](auto&, Item& i) {
         i = {~uint64_t(i.Tag) << 20, 0, 0};
       }},
      {"one", 1,
       [](auto& r, Item& i) {
         i = {r(), r(), 0};
       }},
      {"none", 0,
       [](auto& r, Item& i) {
         i = {r(), r(), 0};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    std::mt19937_64 rng(77);
    std::vector<Item> items(c.Count);
    for (size_t k = 0; k < items.size(); ++k) {
      items[k].Tag = static_cast<int>(k);
      c.Make(rng, items[k]);
      items[k].Tag = static_cast<int>(k);
    }
    std::vector<Item> expected = Sorted(items);
    SortByPrefix(items);
    EXPECT_EQ(items, expected);
  }
}

}  // namespace prefix_sort_test
