#include <gtest/gtest.h>

#include <vector>

#include "grid/data/MemoryStreamEh.h"
#include "platform/db/MemoryDataSet.h"

namespace {

TEST(MemoryStreamEhTest, GrowsToMultiplesOfTwiceTheIncrement) {
  struct Case {
    int64_t delta, write, capacity;
  } cases[] = {{4096, 1, 8192}, {4096, 8192, 8192}, {4096, 8193, 16384}, {65536, 10, 131072}, {0, 1, 8192}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.write);
    TMemoryStreamEh s;
    s.SetMemoryDelta(k.delta);
    std::vector<char> bytes(static_cast<size_t>(k.write), 'x');
    s.WriteBuffer(bytes.data(), k.write);
    EXPECT_EQ(s.Capacity(), k.capacity);
    EXPECT_EQ(s.Size(), k.write);
  }
}

TEST(MemoryStreamEhTest, RequestEqualToSizeIsExact) {
  TMemoryStreamEh s;
  const char data[100] = {};
  s.WriteBuffer(data, 100);
  EXPECT_EQ(s.Capacity(), 8192);
  s.SetSize(100);  // the request equals the size: no rounding
  EXPECT_EQ(s.Capacity(), 100);
  s.SetSize(0);
  EXPECT_EQ(s.Capacity(), 0);
}

TEST(MemoryStreamEhTest, DataSetCompareBookmarksFollowsTheDataSet) {
  TMemoryDataSet ds(nullptr);
  ds.FieldDefs()->Add("ID", ftInteger);
  ds.LoadFromRows({{Variant(1)}, {Variant(2)}});
  ds.First();
  const TBookmark first = ds.Bookmark();
  ds.Next();
  const TBookmark second = ds.Bookmark();
  EXPECT_LT(DataSetCompareBookmarks(&ds, first, second), 0);
  EXPECT_GT(DataSetCompareBookmarks(&ds, second, first), 0);
  EXPECT_EQ(DataSetCompareBookmarks(&ds, first, first), 0);
  EXPECT_EQ(DataSetCompareBookmarks(nullptr, "a", "b"), -1);
}

}  // namespace
