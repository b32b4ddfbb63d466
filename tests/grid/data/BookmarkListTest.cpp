#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "grid/data/BookmarkListEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace {

class TLinkedBMList : public TBMListEh {
 public:
  explicit TLinkedBMList(TDataSet* ADataSet) : dataSet_(ADataSet) {}
  TDataSet* GetDataSet() override { return dataSet_; }
  int clearedHooks = 0;
  int stringsChanges = 0;

 protected:
  void Cleared() override { ++clearedHooks; }
  void StringsChanged(TObject* Sender) override {
    ++stringsChanges;
    TBMListEh::StringsChanged(Sender);
  }

 private:
  TDataSet* dataSet_;
};

class BookmarkListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds = std::make_unique<TMemoryDataSet>(nullptr);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->CreateDataSet();
    std::vector<std::vector<Variant>> rows;
    for (int i = 1; i <= 6; ++i) rows.push_back({Variant(i)});
    ds->LoadFromRows(rows);
    list = std::make_unique<TLinkedBMList>(ds.get());
    list->SetLinkActive(true);
  }
  void TearDown() override { ExpectConsistent(*list); }
  void SelectRecNo(int RecNo) {
    ds->SetRecNo(RecNo);
    list->SetCurrentRowSelected(true);
    ExpectConsistent(*list);
  }
  int IdAt(int Index) {
    ds->GotoBookmark(list->Item(Index));
    return ds->FieldByName("ID")->AsInteger();
  }
  std::unique_ptr<TMemoryDataSet> ds;
  std::unique_ptr<TLinkedBMList> list;
};

TEST_F(BookmarkListTest, SelectingInAnyOrderKeepsDataSetOrder) {
  for (int recNo : {5, 2, 6, 1, 2}) SelectRecNo(recNo);
  ASSERT_EQ(list->Count(), 4);
  const int expected[] = {1, 2, 5, 6};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(IdAt(i), expected[i]) << i;
  ds->SetRecNo(5);
  EXPECT_TRUE(list->CurrentRowSelected());
  list->SetCurrentRowSelected(false);
  EXPECT_FALSE(list->CurrentRowSelected());
  EXPECT_EQ(list->Count(), 3);
  ds->SetRecNo(3);
  EXPECT_EQ(list->IndexOf(ds->Bookmark()), -1);
}

TEST_F(BookmarkListTest, CacheIsClearedWhenTheListChanges) {
  ds->SetRecNo(4);
  const TBookmark bm = ds->Bookmark();
  EXPECT_EQ(list->IndexOf(bm), -1);  // the miss is cached
  list->SetCurrentRowSelected(true);
  EXPECT_EQ(list->IndexOf(bm), 0);
  list->Clear();
  EXPECT_EQ(list->IndexOf(bm), -1);
}

// Finds in list order, backwards and jumping answer each entry's own place, and a record
// beside the last hit that is not listed is still a miss.
TEST_F(BookmarkListTest, FindAnswersEachPlaceInAnyVisitingOrder) {
  for (int recNo : {1, 2, 4, 5}) SelectRecNo(recNo);
  std::vector<TBookmark> marks;
  for (int recNo = 1; recNo <= 6; ++recNo) {
    ds->SetRecNo(recNo);
    marks.push_back(ds->Bookmark());
  }
  const int listed[] = {0, 1, -1, 2, 3, -1};  // index in the list of records 1..6
  for (const std::vector<int>& order :
       {std::vector<int>{0, 1, 2, 3, 4, 5}, std::vector<int>{5, 4, 3, 2, 1, 0},
        std::vector<int>{3, 0, 4, 1, 5, 2}}) {
    for (int r : order) {
      SCOPED_TRACE(r);
      int index = -1;
      EXPECT_EQ(list->Find(marks[r], index), listed[r] >= 0);
      if (listed[r] >= 0) {
        EXPECT_EQ(index, listed[r]);
      }
    }
  }
}

TEST_F(BookmarkListTest, SelectAllListsEachRecordOnceAndReturns) {
  SelectRecNo(2);
  SelectRecNo(3);
  ds->SetRecNo(4);
  list->SelectAll();
  ASSERT_EQ(list->Count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(IdAt(i), i + 1);
  for (int i = 0; i + 1 < 6; ++i) EXPECT_LT(list->CompareBookmarks(list->Item(i), list->Item(i + 1)), 0);
  ds->SetRecNo(1);
  ds->SetRecNo(4);
  list->SelectAll();
  EXPECT_EQ(ds->RecNo(), 4);
}

TEST_F(BookmarkListTest, DeleteSelectedRecordsSkipsStaleBookmarks) {
  SelectRecNo(2);
  SelectRecNo(4);
  SelectRecNo(6);
  ds->SetRecNo(4);
  ds->Delete();  // the listed bookmark of record 4 goes stale
  list->DeleteSelectedRecords();
  EXPECT_EQ(list->Count(), 0);
  std::vector<int> left;
  for (ds->First(); !ds->Eof(); ds->Next()) left.push_back(ds->FieldByName("ID")->AsInteger());
  EXPECT_EQ(left, (std::vector<int>{1, 3, 5}));
}

TEST_F(BookmarkListTest, FailedDeletionKeepsUnhandledEntriesAndReenablesControls) {
  SelectRecNo(1);
  SelectRecNo(3);
  SelectRecNo(5);
  int calls = 0;
  ds->BeforeDelete = [&](TDataSet*) {
    if (++calls == 2) throw Exception("refused");
  };
  EXPECT_THROW(list->DeleteSelectedRecords(), Exception);
  EXPECT_FALSE(ds->ControlsDisabled());
  // Record 5 was deleted and dropped; 3 refused; 1 not reached.
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(ds->RecordCount(), 5);
}

TEST_F(BookmarkListTest, SelectAllThatFailsMidwayEndsItsUpdateAndReenablesControls) {
  int scrolls = 0;
  ds->AfterScroll = [&](TDataSet*) {
    if (++scrolls == 3) throw Exception("refused");
  };
  EXPECT_THROW(list->SelectAll(), Exception);
  ds->AfterScroll = TDataSetNotifyEvent();
  EXPECT_FALSE(ds->ControlsDisabled());
  // The list's own update is over: a selection reaches its change hook at once.
  const int before = list->stringsChanges;
  SelectRecNo(6);
  EXPECT_EQ(list->stringsChanges, before + 1);
}

TEST_F(BookmarkListTest, CurrentBookmarkNeedsAnActiveLink) {
  list->SetLinkActive(false);
  try {
    list->CurrentBookmark();
    FAIL() << "no exception";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
  }
  list->SetLinkActive(true);
  ds->Close();
  EXPECT_THROW(list->CurrentBookmark(), EDatabaseError);
  TBMListEh unlinked;
  EXPECT_THROW(unlinked.CurrentRowSelected(), EDatabaseError);
}

TEST_F(BookmarkListTest, SetLinkActiveClearsAndCallsHooks) {
  SelectRecNo(1);
  const int before = list->clearedHooks;
  list->SetLinkActive(false);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->clearedHooks, before + 1);
  list->SelectAll();  // not linked: nothing
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(BookmarkListTest, CustomSortUsesTheCallersOrder) {
  list->SelectAll();
  list->CustomSort(
      [this](TStringList* L, int A, int B) { return -list->CompareBookmarks(L->Strings(A), L->Strings(B)); });
  EXPECT_EQ(IdAt(0), 6);
  EXPECT_EQ(IdAt(5), 1);
  // The checker is not blind: the caller's order is not the data set's.
  EXPECT_EQ(BrokenRule(*list), "TBMListEh: bookmarks out of order at position 1");
  list->CustomSort(
      [this](TStringList* L, int A, int B) { return list->CompareBookmarks(L->Strings(A), L->Strings(B)); });
}

// Selections taken back at the edges, records inserted or deleted between selections,
// a sort order, select-all and clearing, each step followed by the list's own checks.
TEST_F(BookmarkListTest, TrickySelectionsKeepTheListConsistent) {
  using Step = std::function<void()>;
  auto select = [this](int id, bool value) -> Step {
    return [=, this] {
      ASSERT_TRUE(ds->Locate("ID", id, {}));
      list->SetCurrentRowSelected(value);
    };
  };
  const Step insertFirst = [this] {
    ds->First();
    ds->InsertRecord({0});
  };
  struct Case {
    const char* Id;
    std::vector<Step> Steps;
    std::vector<int> Ids;  // the listed records afterwards, in list order; -1 one deleted meanwhile
  };
  const std::vector<Case> cases = {
      {"unselect-middle-and-ends",
       {select(2, true), select(3, true), select(4, true), select(3, false), select(2, false),
        select(4, false), select(4, true)},
       {4}},
      {"record-inserted-before-all", {select(3, true), insertFirst, select(0, true)}, {0, 3}},
      {"record-deleted-between",
       {select(2, true), select(4, true), select(4, false), select(3, true),
        [this] {
          ASSERT_TRUE(ds->Locate("ID", 2, {}));
          ds->Delete();
        },
        select(1, true), select(6, true)},
       {1, -1, 3, 6}},
      {"under-a-sort-order",
       {[this] { ds->SetIndexFieldNames("ID DESC"); }, select(2, true), select(5, true), select(1, true)},
       {5, 2, 1}},
      {"select-all-then-thin-out",
       {[this] { list->SelectAll(); }, select(1, false), select(6, false)},
       {2, 3, 4, 5}},
      {"clear-then-select", {select(4, true), [this] { list->Clear(); }, select(3, true)}, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    SetUp();
    for (size_t i = 0; i < c.Steps.size(); ++i) {
      SCOPED_TRACE(i);
      c.Steps[i]();
      ExpectConsistent(*list);
    }
    std::vector<int> ids;
    for (int i = 0; i < list->Count(); ++i) ids.push_back(ds->BookmarkValid(list->Item(i)) ? IdAt(i) : -1);
    EXPECT_EQ(ids, c.Ids);
  }
}

}  // namespace
