// Navigation: the BOF/EOF rule, MoveBy distances, RecNo, bookmarks and full scans with windows
// of every size.
#include <gtest/gtest.h>

#include "tests/platform/db/TestDataSet.h"

using dbtest::TEventRecorder;
using dbtest::TTestDataSet;
using dbtest::TTestLink;

namespace {

struct NavigationFixture : ::testing::Test {
  TTestDataSet ds{nullptr};
  void OpenWith(int rows) {
    ds.AddColumn("ID", ftInteger);
    ds.AddColumn("Name", ftString, 20);
    ds.FillNumbered(rows);
    ds.Open();
  }
  int Id() { return ds.FieldByName("ID")->AsInteger(); }
};

TEST_F(NavigationFixture, OpenSetsBofOnFirstRecord) {
  OpenWith(3);
  EXPECT_TRUE(ds.Bof());
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(Id(), 1);
  EXPECT_EQ(ds.RecNo(), 1);
  EXPECT_EQ(ds.RecordCount(), 3);
}

TEST_F(NavigationFixture, EmptyDataSetIsBothBofAndEof) {
  OpenWith(0);
  EXPECT_TRUE(ds.Bof());
  EXPECT_TRUE(ds.Eof());
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_EQ(ds.MoveBy(1), 0);
  EXPECT_EQ(ds.MoveBy(-1), 0);
  ds.First();
  EXPECT_TRUE(ds.Bof() && ds.Eof());
  ds.Last();
  EXPECT_TRUE(ds.Bof() && ds.Eof());
  EXPECT_TRUE(ds.FieldByName("ID")->IsNull());
}

TEST_F(NavigationFixture, EofOnlyAfterANextThatCouldNotMove) {
  OpenWith(3);
  ds.Next();
  ds.Next();
  EXPECT_EQ(Id(), 3);
  EXPECT_FALSE(ds.Eof()) << "on the last record, but no Next has failed yet";
  EXPECT_FALSE(ds.Bof());
  ds.Next();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(Id(), 3);
  ds.Prior();
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(Id(), 2);
}

TEST_F(NavigationFixture, BofOnlyAfterAPriorThatCouldNotMoveOrFirst) {
  OpenWith(3);
  ds.Last();
  EXPECT_TRUE(ds.Eof());
  EXPECT_FALSE(ds.Bof());
  ds.Prior();
  ds.Prior();
  EXPECT_EQ(Id(), 1);
  EXPECT_FALSE(ds.Bof());
  ds.Prior();
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(Id(), 1);
  ds.Next();
  ds.First();
  EXPECT_TRUE(ds.Bof());
}

TEST_F(NavigationFixture, MoveByAnswersTheDistanceMoved) {
  OpenWith(10);
  struct Case {
    int startId, distance, moved, endId;
    bool bof, eof;
  };
  const Case cases[] = {
      {1, 3, 3, 4, false, false},    {1, 9, 9, 10, false, false},   {1, 10, 9, 10, false, true},
      {1, 50, 9, 10, false, true},   {10, -9, -9, 1, false, false}, {10, -10, -9, 1, true, false},
      {5, -100, -4, 1, true, false}, {5, 0, 0, 5, false, false},    {4, 1, 1, 5, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("start " + std::to_string(c.startId) + " by " + std::to_string(c.distance));
    ds.SetRecNo(c.startId);
    ASSERT_EQ(Id(), c.startId);
    EXPECT_EQ(ds.MoveBy(c.distance), c.moved);
    EXPECT_EQ(Id(), c.endId);
    EXPECT_EQ(ds.Bof(), c.bof);
    EXPECT_EQ(ds.Eof(), c.eof);
    EXPECT_EQ(ds.RecNo(), c.endId);
  }
}

TEST_F(NavigationFixture, ScrollEventsFireOnlyWhenAMoveIsPossible) {
  OpenWith(2);
  TEventRecorder rec(&ds);
  ds.Next();
  EXPECT_EQ(rec.Joined(), "BeforeScroll AfterScroll");
  rec.Clear();
  ds.Next();  // fails: becomes Eof
  EXPECT_EQ(rec.Joined(), "BeforeScroll AfterScroll");
  rec.Clear();
  ds.Next();  // already Eof: nothing is attempted
  EXPECT_EQ(rec.Joined(), "BeforeScroll");
}

TEST_F(NavigationFixture, ScanVisitsEveryRecordOnceForEveryWindowSize) {
  ds.AddColumn("ID", ftInteger);
  ds.AddColumn("Name", ftString, 20);
  ds.FillNumbered(23);
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  TTestLink link;
  link.SetDataSource(&src);
  ds.Open();
  for (int window : {1, 2, 5, 22, 23, 40}) {
    SCOPED_TRACE("window " + std::to_string(window));
    link.SetBufferCount(window);
    std::vector<int> forward, backward;
    for (ds.First(); !ds.Eof(); ds.Next()) forward.push_back(Id());
    for (ds.Last(); !ds.Bof(); ds.Prior()) backward.push_back(Id());
    ASSERT_EQ(forward.size(), 23u);
    ASSERT_EQ(backward.size(), 23u);
    for (int i = 0; i < 23; ++i) {
      EXPECT_EQ(forward[static_cast<size_t>(i)], i + 1);
      EXPECT_EQ(backward[static_cast<size_t>(i)], 23 - i);
    }
  }
}

TEST_F(NavigationFixture, RecNoWriteGoesToThatRecord) {
  OpenWith(12);
  for (int n : {7, 1, 12, 3}) {
    ds.SetRecNo(n);
    EXPECT_EQ(ds.RecNo(), n);
    EXPECT_EQ(Id(), n);
  }
}

TEST_F(NavigationFixture, BookmarksReturnToTheirRecordAndCompareInRecordOrder) {
  OpenWith(8);
  ds.SetRecNo(3);
  const TBookmark third = ds.Bookmark();
  ds.SetRecNo(6);
  const TBookmark sixth = ds.Bookmark();
  ASSERT_FALSE(third.empty());
  EXPECT_LT(ds.CompareBookmarks(third, sixth), 0);
  EXPECT_GT(ds.CompareBookmarks(sixth, third), 0);
  EXPECT_EQ(ds.CompareBookmarks(third, third), 0);
  EXPECT_LT(ds.CompareBookmarks(TBookmark(), third), 0);
  EXPECT_GT(ds.CompareBookmarks(third, TBookmark()), 0);
  EXPECT_EQ(ds.CompareBookmarks(TBookmark(), TBookmark()), 0);
  ds.SetBookmark(third);
  EXPECT_EQ(Id(), 3);
  EXPECT_TRUE(ds.BookmarkValid(sixth));
  ds.GotoBookmark(sixth);
  EXPECT_EQ(Id(), 6);
}

TEST_F(NavigationFixture, EmptyBookmarkDoesNothing) {
  OpenWith(5);
  ds.SetRecNo(4);
  ds.Edit();
  ds.FieldByName("Name")->SetAsString("changed");
  TEventRecorder rec(&ds);
  ds.SetBookmark(TBookmark());
  EXPECT_TRUE(rec.Log.empty());
  EXPECT_EQ(ds.State(), dsEdit) << "not even the pending edit is posted";
  EXPECT_EQ(Id(), 4);
}

TEST_F(NavigationFixture, BookmarkOfADeletedRecordIsInvalid) {
  OpenWith(4);
  ds.SetRecNo(2);
  const TBookmark b = ds.Bookmark();
  ds.Delete();
  EXPECT_FALSE(ds.BookmarkValid(b));
  EXPECT_EQ(Id(), 3);
  EXPECT_THROW(ds.GotoBookmark(b), EDatabaseError);
}

TEST_F(NavigationFixture, NoBookmarkWhileInsertingOrEmpty) {
  OpenWith(0);
  EXPECT_TRUE(ds.Bookmark().empty());
  ds.Insert();
  EXPECT_TRUE(ds.Bookmark().empty());
  ds.Cancel();
}

}  // namespace
