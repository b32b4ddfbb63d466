// The items of a key index (TIndexItemsEh): inserts and deletes anywhere, block splits and
// drops, and the partition search, against a plain vector.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "grid/data/MemTableIndexItemsEh.h"
#include "tests/grid/data/MemTableTestSupport.h"

namespace {

// Items whose P0 is their key, ascending, each naming its own record.
class TIndexItemsModel {
 public:
  TIndexEntryEh Make(uint64_t Key) {
    records_.push_back(std::make_unique<TMemoryRecordEh>());
    return TIndexEntryEh{Key, 0, records_.back().get()};
  }
  std::vector<TIndexEntryEh> Expected;

 private:
  std::vector<std::unique_ptr<TMemoryRecordEh>> records_;
};

bool SameItem(const TIndexEntryEh& A, const TIndexEntryEh& B) {
  return A.P0 == B.P0 && A.P1 == B.P1 && A.Rec == B.Rec;
}

}  // namespace

TEST(MemTableIndexItems, FollowsAPlainVectorThroughInsertsAndDeletesAnywhere) {
  // Keys from a few values (runs of equal keys across blocks), inserted where the search puts
  // them (after their equals), mostly at the front, up past several blocks; then deletes,
  // mostly at the front, down to a third: blocks split and empty ones go.
  TIndexItemsModel model;
  std::vector<TIndexEntryEh>& expected = model.Expected;
  TIndexItemsEh items;
  std::mt19937 rng(11);
  const size_t peak = 4 * TIndexItemsEh::kBlockMax + 33;
  auto check = [&](size_t step) {
    SCOPED_TRACE(step);
    ExpectConsistent(items);
    ASSERT_EQ(items.size(), expected.size());
    const size_t probes = step % 211 == 0 ? expected.size() : std::min<size_t>(5, expected.size());
    for (size_t k = 0; k < probes; ++k) {
      const size_t at = probes == expected.size() ? k : rng() % expected.size();
      ASSERT_TRUE(SameItem(items[at], expected[at])) << at;
    }
    const uint64_t key = rng() % 9;
    auto before = [key](const TIndexEntryEh& e) { return e.P0 < key; };
    ASSERT_EQ(items.PartitionPoint(before),
              static_cast<size_t>(std::partition_point(expected.begin(), expected.end(), before) -
                                  expected.begin()));
  };
  size_t step = 0;
  while (expected.size() < peak) {
    // Front-heavy: small keys most of the time.
    const uint64_t key = rng() % 4 == 0 ? rng() % 8 : 0;
    const TIndexEntryEh e = model.Make(key);
    auto after = [key](const TIndexEntryEh& x) { return x.P0 <= key; };
    const size_t at = items.PartitionPoint(after);
    items.insert(at, e);
    expected.insert(expected.begin() + static_cast<ptrdiff_t>(at), e);
    check(++step);
  }
  while (expected.size() > peak / 3) {
    const size_t at = rng() % 3 == 0 ? rng() % expected.size() : 0;
    items.erase(at);
    expected.erase(expected.begin() + static_cast<ptrdiff_t>(at));
    check(++step);
  }
  std::vector<TIndexEntryEh> all;
  items.ForEach([&](const TIndexEntryEh& e) { all.push_back(e); });
  EXPECT_TRUE(std::equal(all.begin(), all.end(), expected.begin(), expected.end(), SameItem));
  // A build's items replace them all, in full blocks that the next insert splits.
  std::vector<TIndexEntryEh> built;
  for (uint64_t k = 0; k < 3 * TIndexItemsEh::kBlockMax; ++k) built.push_back(model.Make(k));
  items.Assign(built);
  expected = built;
  check(++step);
  items.insert(1, model.Make(0));
  expected.insert(expected.begin() + 1, items[1]);
  check(++step);
  items.clear();
  expected.clear();
  check(++step);
  EXPECT_EQ(items.PartitionPoint([](const TIndexEntryEh&) { return true; }), 0u);
}

// The checker is not blind: an item made to name no record is reported with its block.
TEST(MemTableIndexItems, CheckerNamesAnItemWithoutARecord) {
  TIndexItemsModel model;
  TIndexItemsEh items;
  for (uint64_t k = 0; k < TIndexItemsEh::kBlockMax + 5; ++k) items.insert(items.size(), model.Make(k));
  ExpectConsistent(items);
  items[TIndexItemsEh::kBlockMax + 2].Rec = nullptr;
  EXPECT_EQ(BrokenRule(items), "TIndexItemsEh: item names no record at block 1");
}

// The search reads copies of some items: a prefix written through an item (the index renews
// prefixes in place when its encoding changes) must reach them, whichever item it is.
TEST(MemTableIndexItems, SearchSeesPrefixesWrittenThroughItems) {
  TIndexItemsModel model;
  std::vector<TIndexEntryEh>& expected = model.Expected;
  for (uint64_t k = 0; k < 3 * TIndexItemsEh::kBlockMax; ++k) expected.push_back(model.Make(10 * k));
  TIndexItemsEh items;
  items.Assign(expected);
  items.insert(1, expected[0]);  // the first block now changes item by item
  expected.insert(expected.begin() + 1, expected[0]);
  const size_t written[] = {1, 64, 100, 511, 512, 575, 1023, expected.size() - 1};
  for (size_t at : written) {
    SCOPED_TRACE(at);
    items[at].P0 += 5;  // still between its neighbours
    expected[at].P0 += 5;
    ExpectConsistent(items);
    for (uint64_t key : {expected[at].P0 - 1, expected[at].P0, expected[at].P0 + 1}) {
      auto before = [key](const TIndexEntryEh& e) { return e.P0 < key; };
      EXPECT_EQ(items.PartitionPoint(before),
                static_cast<size_t>(std::partition_point(expected.begin(), expected.end(), before) -
                                    expected.begin()));
    }
  }
}
