#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "tests/grid/dbgrid/DBGridTestSupport.h"

class DBGridSelection : public DBGridTestBase {
 protected:
  // Selects the records with these numbers (1-based), then returns to the first.
  void SelectRecords(const std::vector<int>& RecNos) {
    for (int recNo : RecNos) {
      dataSet->SetRecNo(recNo);
      grid->SelectedRows()->SetCurrentRowSelected(true);
    }
    dataSet->First();
    Pump();
  }
  TBookmark BookmarkOf(int RecNo) {
    dataSet->SetRecNo(RecNo);
    TBookmark bm = dataSet->Bookmark();
    dataSet->First();
    return bm;
  }
  // Counts the grid's selection-changed notifications; Action runs on each.
  void CountChanges(std::function<void(int Call)> Action = nullptr) {
    changes = 0;
    grid->OnSelectionChanged = [this, Action](TObject*) {
      ++changes;
      if (Action) Action(changes);
    };
  }
  int changes = 0;
};

TEST_F(DBGridSelection, SelectingTheCurrentRecordNeedsARecord) {
  grid->SelectedRows()->SetCurrentRowSelected(true);
  EXPECT_EQ(grid->SelectedRows()->Count(), 0);
  EXPECT_EQ(grid->Selection()->SelectionType(), gstNon);

  AddNumberedRows(3);
  grid->SelectedRows()->SetCurrentRowSelected(true);
  EXPECT_EQ(grid->SelectedRows()->Count(), 1);
  EXPECT_EQ(grid->Selection()->SelectionType(), gstRecordBookmarks);
  grid->SelectedRows()->SetCurrentRowSelected(false);
  EXPECT_EQ(grid->SelectedRows()->Count(), 0);
  EXPECT_EQ(grid->Selection()->SelectionType(), gstNon);
}

// A bookmark added while another kind of selection is in force makes it a record selection:
// only the other kind's part goes, the new bookmark stays, and a listener that adds a record
// from within the notification does not bring the change back round.
TEST_F(DBGridSelection, BookmarkAddedOverAnotherKind) {
  AddNumberedRows(5);
  AddColumns({"ID", "NAME", "AMOUNT"});
  const TBookmark fourth = BookmarkOf(4);
  struct Case {
    const char* id;
    TDBGridEhSelectionType before;
    bool listenerAdds;
    int bookmarks, notifications;
  };
  const Case cases[] = {
      {"rectangle", gstRectangle, false, 1, 3},
      {"columns", gstColumns, false, 1, 3},
      {"all", gstAll, false, 1, 2},
      {"none", gstNon, false, 1, 2},
      {"listener adds", gstRectangle, true, 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->OnSelectionChanged = nullptr;
    grid->Selection()->Clear();
    grid->SelectedRows()->Clear();
    TDBGridEhSelection* sel = grid->Selection();
    if (c.before == gstColumns) sel->Columns()->TColumnsEhList::Add(grid->Columns()->GetColumn(1));
    if (c.before == gstAll)
      sel->SelectAll();
    else
      sel->SetSelectionType(c.before);
    CountChanges([&](int Call) {
      if (c.listenerAdds && Call == 1) grid->SelectedRows()->AppendItem(fourth);
    });
    dataSet->SetRecNo(2);
    grid->SelectedRows()->SetCurrentRowSelected(true);
    EXPECT_EQ(sel->SelectionType(), gstRecordBookmarks);
    EXPECT_EQ(grid->SelectedRows()->Count(), c.bookmarks);
    EXPECT_EQ(grid->SelectedRows()->IndexOf(dataSet->Bookmark()), 0);
    EXPECT_EQ(sel->Columns()->Count(), 0);
    EXPECT_EQ(sel->Rect()->AnchorCol(), -1);
    EXPECT_EQ(changes, c.notifications);
  }
}

TEST_F(DBGridSelection, SelectedRowsRect) {
  AddNumberedRows(60);
  const int fixed = grid->FixedRows();
  const int right = grid->ColCount() - 1;
  struct Case {
    const char* id;
    std::vector<int> recNos;
    TRect expected;  // Top and Bottom without the fixed rows
  };
  const Case cases[] = {
      {"nothing selected", {}, {-1, -1, -1, -1}},          {"two rows", {2, 4}, {0, 1, right, 3}},
      {"first row only", {1}, {0, 0, right, 0}},           {"out of view", {59}, {-1, -1, -1, -1}},
      {"one in view, one out", {3, 59}, {0, 2, right, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SelectedRows()->Clear();
    SelectRecords(c.recNos);
    TRect expected = c.expected;
    if (expected.Top >= 0) {
      expected.Top += fixed;
      expected.Bottom += fixed;
    }
    TRect r{};
    grid->SelectedRows()->GetSelectedRowsRect(r);
    EXPECT_EQ(r, expected);
    EXPECT_EQ(dataSet->RecNo(), 1);  // the active record is back where it was
  }
}

TEST_F(DBGridSelection, DataCellSelected) {
  AddNumberedRows(4);
  AddColumns({"ID", "NAME", "AMOUNT"});
  const TBookmark second = BookmarkOf(2), third = BookmarkOf(3);
  struct Case {
    const char* id;
    TDBGridEhSelectionType kind;
    int dataCol;
    const TBookmark* bookmark;
    bool selected;
  };
  const Case cases[] = {
      {"listed record", gstRecordBookmarks, 0, &second, true},
      {"unlisted record", gstRecordBookmarks, 2, &third, false},
      {"listed column", gstColumns, 1, &third, true},
      {"unlisted column", gstColumns, 0, &second, false},
      {"column before the first", gstColumns, -1, &second, false},
      {"column past the last", gstColumns, 3, &second, false},
      {"all", gstAll, 2, &third, true},
      {"none", gstNon, 0, &second, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TDBGridEhSelection* sel = grid->Selection();
    sel->Clear();
    switch (c.kind) {
      case gstRecordBookmarks:
        SelectRecords({2});
        break;
      case gstColumns:
        sel->Columns()->TColumnsEhList::Add(grid->Columns()->GetColumn(1));
        sel->SetSelectionType(gstColumns);
        break;
      case gstAll:
        sel->SelectAll();
        break;
      default:
        break;
    }
    ASSERT_EQ(sel->SelectionType(), c.kind);
    EXPECT_EQ(sel->DataCellSelected(c.dataCol, *c.bookmark), c.selected);
  }
}
