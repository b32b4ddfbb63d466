// The order of a records list's active records (TRecordOrderEh): inserts and deletes anywhere,
// block splits and drops, against a plain vector.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "tests/grid/data/MemTableTestSupport.h"

TEST(MemTableOrder, FollowsAPlainVectorThroughInsertsAndDeletesAnywhere) {
  // Front-heavy inserts up past several blocks, then deletes down to nothing: blocks split,
  // empty ones go and their ids come back.
  std::vector<std::unique_ptr<TMemoryRecordEh>> owned;
  std::vector<TMemoryRecordEh*> expected;
  TRecordOrderEh order;
  std::mt19937 rng(7);
  const size_t peak = 3 * TRecordOrderEh::kBlockMax + 17;
  auto check = [&](size_t step) {
    SCOPED_TRACE(step);
    ExpectConsistent(order);
    ASSERT_EQ(order.size(), expected.size());
    if (expected.empty()) return;
    // A handful of probes each step, every position now and then.
    const size_t probes = step % 97 == 0 ? expected.size() : 5;
    for (size_t k = 0; k < probes; ++k) {
      const size_t at = probes == expected.size() ? k : rng() % expected.size();
      ASSERT_EQ(order[at], expected[at]);
      ASSERT_EQ(order.PositionOf(expected[at]), at);
    }
  };
  size_t step = 0;
  while (expected.size() < peak) {
    const size_t at = rng() % 4 == 0 ? rng() % (expected.size() + 1) : 0;
    owned.push_back(std::make_unique<TMemoryRecordEh>());
    order.insert(at, owned.back().get());
    expected.insert(expected.begin() + static_cast<ptrdiff_t>(at), owned.back().get());
    check(++step);
  }
  while (expected.size() > peak / 2) {
    const size_t at = rng() % 3 == 0 ? rng() % expected.size() : 0;
    EXPECT_EQ(order.erase(at), expected[at]);
    expected.erase(expected.begin() + static_cast<ptrdiff_t>(at));
    check(++step);
  }
  EXPECT_EQ(order.ToVector(), expected);
  const std::vector<TMemoryRecordEh*> tail(expected.begin() + 10, expected.end());
  EXPECT_EQ(order.TakeFrom(10), tail);
  expected.resize(10);
  check(++step);
  EXPECT_EQ(order.TakeAll(), expected);
  expected.clear();
  check(++step);
}

TEST(MemTableOrder, FrontChangesKeepTheListAndItsIndexesConsistent) {
  // Front inserts and deletes through the list with a unique and a plain index, past a
  // block's size: positions and items agree after each step.
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  TMTIndexEh* byId = AddIndex(t.get(), "ID", true);
  TMTIndexEh* byName = AddIndex(t.get(), "Name");
  const int n = static_cast<int>(TRecordOrderEh::kBlockMax) + 40;
  for (int i = 0; i < n; ++i) {
    TMemoryRecordEh* r = list->NewRecord();
    r->SetDataValue(0, dvkCurrentEh, i);
    r->SetDataValue(1, dvkCurrentEh, std::string(1, char('a' + i % 7)));
    list->InsertRecord(r, 0, false, false);
    ASSERT_EQ(r->Index(), 0);
    ExpectConsistent(*list);
  }
  EXPECT_EQ(byId->RecordIndexAt(0), n - 1);  // ID 0 went in first and is last now
  for (int i = 0; i < n / 2; ++i) {
    list->DeleteRecord(0);
    ExpectConsistent(*list);
  }
  EXPECT_EQ(list->Rec(0)->GetDataValue(0, dvkCurrentEh), Variant(n - n / 2 - 1));
  EXPECT_EQ(byName->Count(), n - n / 2);
}
