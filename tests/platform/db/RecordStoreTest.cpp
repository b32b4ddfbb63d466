// The record store under random work, checked against plain vectors: the chunked sequence,
// the view kept sorted and filtered through inserts, edits and deletes, bookmarks, and the
// hash-indexed search against a scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/db/RecordStore.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/support/ConsistencyTestSupport.h"

// Reaches into the sequence to break it on purpose.
struct TIdSequenceTestAccess {
  static std::vector<int>& Tree(TIdSequence& s) { return s.tree_; }
};

namespace {

TEST(IdSequence, MatchesAVectorThroughRandomInsertsAndErases) {
  std::mt19937 rng(7);
  TIdSequence seq;
  std::vector<uint32_t> model;
  uint32_t nextId = 0;
  for (int step = 0; step < 20000; ++step) {
    const int op = static_cast<int>(rng() % 10);
    if (op < 6 || model.empty()) {
      // Bursts at one place grow chunks past their size and split them.
      const int pos = op == 0 ? static_cast<int>(model.size()) : static_cast<int>(rng() % (model.size() + 1));
      seq.Insert(pos, nextId);
      model.insert(model.begin() + pos, nextId);
      ++nextId;
    } else {
      const size_t at = rng() % model.size();
      seq.Erase(model[at]);
      model.erase(model.begin() + static_cast<ptrdiff_t>(at));
    }
    // A full check walks the whole sequence: after every step while it is small, then now and
    // then (debug builds check the touched chunks of every step themselves).
    if (step < 500 || step % 211 == 0) ExpectConsistent(seq);
    if (step % 997 == 0 || step > 19900) {
      ASSERT_EQ(seq.Count(), static_cast<int>(model.size()));
      ASSERT_EQ(seq.ToVector(), model);
      for (size_t i = 0; i < model.size(); i += 1 + model.size() / 50) {
        ASSERT_EQ(seq.At(static_cast<int>(i)), model[i]);
        ASSERT_EQ(seq.PositionOf(model[i]), static_cast<int>(i));
      }
    }
  }
  // Walking forwards and backwards uses the cached chunk; both must agree with the model.
  for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(seq.At(static_cast<int>(i)), model[i]);
  for (size_t i = model.size(); i-- > 0;) ASSERT_EQ(seq.At(static_cast<int>(i)), model[i]);
  // Deleting almost everything merges chunks back together.
  while (model.size() > 3) {
    seq.Erase(model.back());
    model.pop_back();
    seq.Erase(model.front());
    model.erase(model.begin());
    if (model.size() < 300 || model.size() % 101 == 0) ExpectConsistent(seq);  // merges near the end
  }
  EXPECT_EQ(seq.ToVector(), model);
  EXPECT_EQ(seq.PositionOf(nextId + 5), -1);
  seq.Erase(nextId + 5);  // absent: no effect
  EXPECT_EQ(seq.Count(), static_cast<int>(model.size()));
}

TEST(IdSequence, AssignBuildsTheOrderAtOnce) {
  std::vector<uint32_t> ids;
  for (uint32_t i = 0; i < 3000; ++i) ids.push_back((i * 7919) % 3000);
  TIdSequence seq;
  seq.Assign(ids);
  ExpectConsistent(seq);
  EXPECT_EQ(seq.ToVector(), ids);
  EXPECT_EQ(seq.PositionOf(ids[2500]), 2500);
  seq.Insert(1000, 5000);
  EXPECT_EQ(seq.At(1000), 5000u);
  EXPECT_EQ(seq.PositionOf(ids[2500]), 2501);
}

TEST(RecordStore, BookmarksNameOneRecordForGood) {
  TRecordStore store;
  store.Reset(1);
  const uint32_t a = store.NewRecord();
  store.Add(a, TRecordStore::kNoRecord);
  const std::string bm = store.BookmarkOf(a);
  EXPECT_EQ(store.FromBookmark(bm), a);
  store.Remove(a);
  EXPECT_EQ(store.FromBookmark(bm), TRecordStore::kNoRecord);
  const uint32_t b = store.NewRecord();  // reuses the slot
  store.Add(b, TRecordStore::kNoRecord);
  EXPECT_EQ(b, a);
  EXPECT_EQ(store.FromBookmark(bm), TRecordStore::kNoRecord);
  store.Reset(1);
  const uint32_t c = store.NewRecord();
  store.Add(c, TRecordStore::kNoRecord);
  EXPECT_EQ(store.FromBookmark(bm), TRecordStore::kNoRecord);
  EXPECT_EQ(store.FromBookmark(""), TRecordStore::kNoRecord);
  EXPECT_EQ(store.FromBookmark(std::string(8, '\xff')), TRecordStore::kNoRecord);
}

// Slot 0 an integer key with duplicates, slot 1 text; the view keeps records whose key is
// not divisible by 3, ordered by the text descending then the key.
class StoreModel {
 public:
  StoreModel() {
    store.Reset(2);
    store.SetOrder(TRecordKeyBuilder({TSortField{1, TSortValueKind::Text, true, true},
                                      TSortField{0, TSortValueKind::Integer, false, true}}));
    store.SetFilter([this](uint32_t id) { return store.Row(id)[0].AsInteger() % 3 != 0; });
  }

  std::vector<uint32_t> Expected() const {
    std::vector<uint32_t> view;
    for (uint32_t id : base)
      if (store.Row(id)[0].AsInteger() % 3 != 0) view.push_back(id);
    std::stable_sort(view.begin(), view.end(), [this](uint32_t a, uint32_t b) {
      return store.Order().Compare(store.Row(a), store.Row(b)) < 0;
    });
    return view;
  }
  std::vector<uint32_t> Actual() const {
    std::vector<uint32_t> r;
    for (int i = 0; i < store.Count(); ++i) r.push_back(store.At(i));
    return r;
  }

  TRecordStore store;
  std::vector<uint32_t> base;
};

TEST(RecordStore, SortedFilteredViewFollowsEveryChange) {
  TFormatSettingsScope scope{TFormatSettings{}};
  std::mt19937 rng(11);
  StoreModel m;
  const char* words[] = {"apple", "Apple", "banana", "cherry", "date", "张", "李"};
  auto write = [&](uint32_t id) {
    m.store.Row(id)[0] = static_cast<int>(rng() % 40);
    m.store.Row(id)[1] = words[rng() % 7];
  };
  for (int step = 0; step < 3000; ++step) {
    const int op = static_cast<int>(rng() % 4);
    if (op <= 1 || m.base.empty()) {
      const uint32_t id = m.store.NewRecord();
      write(id);
      const size_t at = rng() % (m.base.size() + 1);
      const uint32_t before = at == m.base.size() ? TRecordStore::kNoRecord : m.base[at];
      m.store.Add(id, before);
      m.base.insert(m.base.begin() + static_cast<ptrdiff_t>(at), id);
    } else if (op == 2) {
      const uint32_t id = m.base[rng() % m.base.size()];
      m.store.BeginChange(id);
      write(id);
      m.store.EndChange(id);
    } else {
      const size_t at = rng() % m.base.size();
      m.store.Remove(m.base[at]);
      m.base.erase(m.base.begin() + static_cast<ptrdiff_t>(at));
    }
    if (step < 300 || step % 23 == 0) ExpectConsistent(m.store);  // a walk: every step while small
    if (step % 100 == 0) {
      ASSERT_EQ(m.Actual(), m.Expected()) << "step " << step;
    }
  }
  ASSERT_EQ(m.Actual(), m.Expected());
  std::vector<uint32_t> view = m.Actual();
  for (size_t i = 1; i < view.size(); ++i) EXPECT_LT(m.store.CompareRecords(view[i - 1], view[i]), 0);
  // Dropping the order and the filter gives the base order back.
  m.store.SetOrder(TRecordKeyBuilder());
  ExpectConsistent(m.store);
  m.store.SetFilter(nullptr);
  ExpectConsistent(m.store);
  EXPECT_EQ(m.Actual(), m.base);
}

TEST(RecordStore, AFailingFilterLeavesTheViewAsItWas) {
  TRecordStore store;
  store.Reset(1);
  for (int i = 0; i < 10; ++i) {
    uint32_t id = store.NewRecord();
    store.Row(id)[0] = i;
    store.Add(id, TRecordStore::kNoRecord);
  }
  store.SetFilter([&store](uint32_t id) { return store.Row(id)[0].AsInteger() < 5; });
  EXPECT_EQ(store.Count(), 5);
  EXPECT_THROW(store.SetFilter([](uint32_t id) -> bool { throw std::runtime_error("no"); }),
               std::runtime_error);
  EXPECT_EQ(store.Count(), 5);
  EXPECT_TRUE(store.HasFilter());
}

TEST(RecordStore, IndexedSearchAgreesWithAScan) {
  std::mt19937 rng(3);
  TRecordStore store;
  store.Reset(3);
  std::vector<uint32_t> ids;
  for (int i = 0; i < 2000; ++i) {
    uint32_t id = store.NewRecord();
    Variant* row = store.Row(id);
    row[0] = static_cast<int>(rng() % 300);
    row[1] = rng() % 5 == 0 ? Variant::Null() : Variant(std::string(1, static_cast<char>('a' + rng() % 5)));
    row[2] = static_cast<double>(rng() % 7) / 2;
    store.Add(id, TRecordStore::kNoRecord);
    ids.push_back(id);
  }
  const std::vector<TKeyField> fields = {
      {0, TKeyValueKind::Integer, false}, {1, TKeyValueKind::Text, true}, {2, TKeyValueKind::Float, false}};
  auto scan = [&](const std::vector<Variant>& key) {
    for (int pos = 0; pos < store.Count(); ++pos) {
      const Variant* row = store.Row(store.At(pos));
      bool all = true;
      for (size_t f = 0; f < fields.size(); ++f) {
        TKeyAtom atom;
        NormalizeSearchValue(fields[f], key[f], atom);
        all = all && StoredValueMatches(fields[f], row[fields[f].Slot], atom, false);
      }
      if (all) return store.At(pos);
    }
    return TRecordStore::kNoRecord;
  };
  for (int round = 0; round < 600; ++round) {
    std::vector<Variant> key = {
        static_cast<int>(rng() % 300),
        rng() % 5 == 0 ? Variant::Null() : Variant(std::string(1, static_cast<char>('A' + rng() % 5))),
        static_cast<double>(rng() % 7) / 2};
    ASSERT_EQ(store.Locate(fields, key, false), scan(key)) << "round " << round;
    // Change records between searches: the index must follow.
    const uint32_t id = ids[rng() % ids.size()];
    store.BeginChange(id);
    store.Row(id)[0] = static_cast<int>(rng() % 300);
    store.EndChange(id);
    if (round % 50 == 0) {
      store.Remove(ids.back());
      ids.pop_back();
    }
    if (round % 100 == 0) ExpectConsistent(store);  // a walk of 2000 records
  }
}

// One integer key: the direct table while keys stay compact, the hash table once a key
// lands far away; removals and edits in either, and a kept index through ClearRecords.
TEST(RecordStore, IntegerKeyIndexAgreesWithAScanAcrossItsForms) {
  std::mt19937 rng(5);
  TRecordStore store;
  store.Reset(1);
  const std::vector<TKeyField> key = {{0, TKeyValueKind::Integer, false}};
  store.KeepIndex(key);
  std::vector<uint32_t> ids;
  auto add = [&](Variant v) {
    const uint32_t id = store.NewRecord();
    store.Row(id)[0] = v;
    store.Add(id, ids.empty() || rng() % 2 ? TRecordStore::kNoRecord : ids[rng() % ids.size()]);
    ids.push_back(id);
  };
  auto scan = [&](const Variant& v) {
    TKeyAtom atom;
    NormalizeSearchValue(key[0], v, atom);
    for (int pos = 0; pos < store.Count(); ++pos)
      if (StoredValueMatches(key[0], store.Row(store.At(pos))[0], atom, false)) return store.At(pos);
    return TRecordStore::kNoRecord;
  };
  auto check = [&](int upTo) {
    for (int k = -5; k < upTo; k += 1 + upTo / 300)
      ASSERT_EQ(store.Locate(key, {Variant(k)}, false), scan(k)) << k;
  };
  for (int i = 1; i <= 2000; ++i) add(i);  // appended record numbers
  check(2100);
  for (int round = 0; round < 400; ++round) {
    const uint32_t id = ids[rng() % ids.size()];
    store.BeginChange(id);
    store.Row(id)[0] = static_cast<int>(rng() % 2500);
    store.EndChange(id);
    if (round % 3 == 0) {
      const size_t at = rng() % ids.size();
      store.Remove(ids[at]);
      ids.erase(ids.begin() + static_cast<ptrdiff_t>(at));
    }
    if (round % 50 == 0) ExpectConsistent(store);  // a walk of 2000 records
  }
  check(2600);
  add(1 << 30);  // far away: the direct table gives way to hashing
  ExpectConsistent(store);
  add(Variant::Null());
  add(-7);
  ExpectConsistent(store);
  check(2600);
  EXPECT_EQ(store.Locate(key, {Variant(1 << 30)}, false), ids[ids.size() - 3]);
  EXPECT_EQ(store.Locate(key, {Variant::Null()}, false), ids[ids.size() - 2]);
  store.ClearRecords();
  ExpectConsistent(store);
  ids.clear();
  EXPECT_EQ(store.Locate(key, {Variant(5)}, false), TRecordStore::kNoRecord);
  for (int i = 0; i < 100; ++i) add(100 - i);  // descending keys
  ExpectConsistent(store);
  check(120);
}

// The checkers are not blind: a broken tree of chunk sizes, and rows rewritten behind the
// store's back (without BeginChange and EndChange) under a sort order and under a search index.
TEST(RecordStore, CheckersNameWhatWasBroken) {
  TIdSequence seq;
  for (uint32_t id = 0; id < 600; ++id) seq.PushBack(id);  // two chunks
  ExpectConsistent(seq);
  TIdSequenceTestAccess::Tree(seq)[1] += 1;
  EXPECT_EQ(BrokenRule(seq), "TIdSequence: tree disagrees with a chunk's size at rank 0");

  struct Case {
    const char* Id;
    bool Sorted;
    const char* Message;
  };
  const Case cases[] = {
      {"sort key", true, "TRecordStore: sort key differs from the record's values at position 1"},
      {"search index", false, "TKeyIndex: record under another direct key at id 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    TRecordStore store;
    store.Reset(1);
    if (c.Sorted)
      store.SetOrder(TRecordKeyBuilder({TSortField{0, TSortValueKind::Integer, false, true}}));
    else
      store.KeepIndex({{0, TKeyValueKind::Integer, false}});
    std::vector<uint32_t> ids;
    for (int k = 1; k <= 3; ++k) {
      ids.push_back(store.NewRecord());
      store.Row(ids.back())[0] = k * 10;
      store.Add(ids.back(), TRecordStore::kNoRecord);
    }
    ExpectConsistent(store);
    store.Row(ids[1])[0] = 25;  // keeps its place in the view, but not its key
    EXPECT_EQ(BrokenRule(store), c.Message);
  }
}

}  // namespace
