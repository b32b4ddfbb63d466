// The record-buffer window as links see it: ActiveRecord, RecordCount, DataSetScrolled
// distances, several links with different window sizes, and reading other buffered rows.
#include <gtest/gtest.h>

#include "tests/platform/db/TestDataSet.h"

using dbtest::TTestDataSet;
using dbtest::TTestLink;

namespace {

struct BufferWindowFixture : ::testing::Test {
  TTestDataSet ds{nullptr};
  TDataSource src{nullptr};
  TTestLink link;

  void SetUp() override {
    ds.AddColumn("ID", ftInteger);
    ds.AddColumn("Name", ftString, 20);
    ds.FillNumbered(20);
    src.SetDataSet(&ds);
    link.SetBufferCount(5);
    link.SetDataSource(&src);
    ds.Open();
    link.ClearLog();
  }
  int Id() { return ds.FieldByName("ID")->AsInteger(); }
  // The IDs of the rows in a link's window, read through its ActiveRecord.
  std::vector<int> Rows(TDataLink& l) {
    std::vector<int> ids;
    const int saved = l.ActiveRecord();
    for (int r = 0; r < l.RecordCount(); ++r) {
      l.SetActiveRecord(r);
      ids.push_back(Id());
    }
    l.SetActiveRecord(saved);
    return ids;
  }
  // Every link's window holds consecutive records and shows the current one at ActiveRecord.
  void ExpectConsistent(TDataLink& l, int expectedRows) {
    const int current = Id();
    std::vector<int> ids = Rows(l);
    ASSERT_EQ(static_cast<int>(ids.size()), expectedRows);
    ASSERT_GE(l.ActiveRecord(), 0);
    ASSERT_LT(l.ActiveRecord(), l.RecordCount());
    EXPECT_EQ(ids[static_cast<size_t>(l.ActiveRecord())], current);
    for (size_t i = 1; i < ids.size(); ++i) EXPECT_EQ(ids[i], ids[i - 1] + 1);
    EXPECT_EQ(Id(), current) << "reading other rows must not change the current record";
  }
};

TEST_F(BufferWindowFixture, DataSetKeepsTheLargestWindow) {
  EXPECT_EQ(ds.BufferCount(), 5);
  EXPECT_EQ(link.RecordCount(), 5);
  EXPECT_EQ(link.ActiveRecord(), 0);
  TTestLink big;
  big.SetBufferCount(9);
  big.SetDataSource(&src);
  EXPECT_EQ(ds.BufferCount(), 9);
  big.SetDataSource(nullptr);
  EXPECT_EQ(ds.BufferCount(), 5);
}

TEST_F(BufferWindowFixture, MovingByOneScrollsOnlyAtTheWindowEdge) {
  for (int step = 1; step <= 4; ++step) {
    ds.Next();
    EXPECT_EQ(link.ActiveRecord(), step);
  }
  EXPECT_EQ(link.Scrolls, (std::vector<int>{0, 0, 0, 0}));
  link.ClearLog();
  ds.Next();
  EXPECT_EQ(Id(), 6);
  EXPECT_EQ(link.ActiveRecord(), 4);
  EXPECT_EQ(link.Scrolls, (std::vector<int>{1}));
  EXPECT_EQ(Rows(link), (std::vector<int>{2, 3, 4, 5, 6}));
  link.ClearLog();
  for (int i = 0; i < 4; ++i) ds.Prior();
  EXPECT_EQ(link.Scrolls, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(link.ActiveRecord(), 0);
  ds.Prior();
  EXPECT_EQ(link.Scrolls.back(), -1);
  EXPECT_EQ(Rows(link), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(BufferWindowFixture, PageMovesReportThePageDistance) {
  ds.MoveBy(4);  // bottom row of the first page
  link.ClearLog();
  EXPECT_EQ(ds.MoveBy(5), 5);
  EXPECT_EQ(link.Scrolls, (std::vector<int>{5}));
  EXPECT_EQ(Rows(link), (std::vector<int>{6, 7, 8, 9, 10}));
  link.ClearLog();
  EXPECT_EQ(ds.MoveBy(-7), -7);
  // The window moves only as far as it must to show the new record at its top.
  EXPECT_EQ(link.Scrolls, (std::vector<int>{-3}));
  EXPECT_EQ(link.ActiveRecord(), 0);
  EXPECT_EQ(Id(), 3);
}

TEST_F(BufferWindowFixture, FirstAndLastRebuildTheWindow) {
  ds.Last();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "changed"}));
  EXPECT_EQ(link.ActiveRecord(), 4);
  EXPECT_EQ(Rows(link), (std::vector<int>{16, 17, 18, 19, 20}));
  link.ClearLog();
  ds.First();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "changed"}));
  EXPECT_EQ(link.ActiveRecord(), 0);
  EXPECT_EQ(Rows(link), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(BufferWindowFixture, ActiveRecordRedirectsFieldReadsUntilRestored) {
  ds.MoveBy(2);
  link.SetActiveRecord(4);
  EXPECT_EQ(Id(), 5);
  EXPECT_EQ(ds.FieldByName("Name")->AsString(), "Name5");
  link.SetActiveRecord(0);
  EXPECT_EQ(Id(), 1);
  link.SetActiveRecord(2);
  EXPECT_EQ(Id(), 3);
}

TEST_F(BufferWindowFixture, TwoLinksWithDifferentWindowsEachSeeTheCursor) {
  TDataSource src2(nullptr);
  src2.SetDataSet(&ds);
  TTestLink small, large;
  small.SetBufferCount(3);
  small.SetDataSource(&src);
  large.SetBufferCount(8);
  large.SetDataSource(&src2);
  ASSERT_EQ(ds.BufferCount(), 8);
  // A fixed walk of moves of every kind; after each, every window must hold consecutive rows
  // around the current record, and a scroll must move a window by exactly the distance told.
  const int moves[] = {1, 1, 1, 3, 7, -2, -9, 12, 1, 1, -1, 30, -4, -4, -30, 6, 2, -1};
  for (int m : moves) {
    SCOPED_TRACE("MoveBy " + std::to_string(m));
    const std::vector<int> beforeSmall = Rows(small), beforeLarge = Rows(large), beforeLink = Rows(link);
    small.ClearLog();
    large.ClearLog();
    link.ClearLog();
    ds.MoveBy(m);
    ExpectConsistent(small, 3);
    ExpectConsistent(large, 8);
    ExpectConsistent(link, 5);
    ASSERT_EQ(small.Scrolls.size(), 1u);
    EXPECT_EQ(Rows(small)[0] - beforeSmall[0], small.Scrolls[0]);
    EXPECT_EQ(Rows(large)[0] - beforeLarge[0], large.Scrolls[0]);
    EXPECT_EQ(Rows(link)[0] - beforeLink[0], link.Scrolls[0]);
  }
  ds.Last();
  ExpectConsistent(small, 3);
  ExpectConsistent(large, 8);
  ds.SetRecNo(10);
  ExpectConsistent(small, 3);
  ExpectConsistent(large, 8);
  ExpectConsistent(link, 5);
}

TEST_F(BufferWindowFixture, ShrinkingAWindowKeepsTheCurrentRecord) {
  link.SetBufferCount(10);
  ds.MoveBy(8);
  ASSERT_EQ(link.ActiveRecord(), 8);
  link.SetBufferCount(3);
  EXPECT_EQ(ds.BufferCount(), 3);
  EXPECT_EQ(Id(), 9);
  ExpectConsistent(link, 3);
  ds.Next();
  EXPECT_EQ(Id(), 10);
  ExpectConsistent(link, 3);
  link.SetBufferCount(12);
  ExpectConsistent(link, 12);
  EXPECT_EQ(Id(), 10);
}

TEST_F(BufferWindowFixture, WindowLargerThanTheDataSetHoldsEveryRow) {
  link.SetBufferCount(50);
  EXPECT_EQ(link.RecordCount(), 20);
  ds.Last();
  EXPECT_EQ(link.ActiveRecord(), 19);
  EXPECT_EQ(Rows(link).front(), 1);
}

TEST_F(BufferWindowFixture, InsertAndPostKeepTheWindowConsistent) {
  ds.MoveBy(3);
  ds.Insert();
  EXPECT_EQ(link.RecordCount(), 5);
  EXPECT_TRUE(ds.FieldByName("ID")->IsNull());
  ds.FieldByName("ID")->SetAsInteger(100);
  ds.Post();
  EXPECT_EQ(Id(), 100);
  const std::vector<int> rows = Rows(link);
  EXPECT_EQ(rows[static_cast<size_t>(link.ActiveRecord())], 100);
  ds.Next();
  EXPECT_EQ(Id(), 4) << "the insert went before the record that was current";
}

TEST_F(BufferWindowFixture, GrowingTheWindowDuringAnInsertKeepsEveryRecord) {
  link.SetBufferCount(3);
  ds.MoveBy(2);  // the bottom row of a full window
  ds.Insert();
  ds.FieldByName("ID")->SetAsInteger(100);
  link.SetBufferCount(6);
  EXPECT_EQ(Rows(link), (std::vector<int>{1, 2, 100, 3, 4, 5}));
  EXPECT_EQ(Id(), 100);
  ds.Post();
  EXPECT_EQ(Rows(link), (std::vector<int>{1, 2, 100, 3, 4, 5}));
}

TEST_F(BufferWindowFixture, DeleteRefillsTheWindow) {
  ds.Last();
  ds.Delete();
  EXPECT_EQ(Id(), 19);
  EXPECT_EQ(Rows(link), (std::vector<int>{15, 16, 17, 18, 19}));
  ds.First();
  ds.Delete();
  EXPECT_EQ(Id(), 2);
  EXPECT_EQ(Rows(link), (std::vector<int>{2, 3, 4, 5, 6}));
}

}  // namespace
