#include <gtest/gtest.h>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class TRefusingCenter : public TDBGridEhCenter {
 public:
  bool CanSearchInColumn(TCustomDBGridEh*, TColumnEh*) override { return false; }
};

constexpr uint8_t kIC = ltoIgnoreCaseEh, kAll = ltoAllFieldsEh, kFmt = ltoMatchFormatEh,
                  kEsc = ltoStopOnEscapeEh, kSel = ltoInSelectionEh;

}  // namespace

// Columns ID, NAME, AMOUNT (shown as "0.00"); the current column is NAME.
class LocateText : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddRows({{1, "Alpha", 10}, {2, "beta", 20}, {3, "Gamma", 30}, {4, "alphabet", 40}, {5, "Ärger", 50}});
    AddColumns({"ID", "NAME", "AMOUNT"});
    grid->Columns()->GetColumn(2)->SetDisplayFormat("0.00");
    grid->SetSelectedIndex(1);
  }
  int CurrentId() { return dataSet->FieldByName("ID")->AsInteger(); }
  TBookmark BookmarkOf(int RecNo) {
    dataSet->SetRecNo(RecNo);
    return dataSet->Bookmark();
  }
  // Searches from the NAME cell of record Start; the ID found (0: none) after checking the column and the
  // record.
  int Search(int Start, const std::string& Text, uint8_t Options, int Direction, int Matching,
             int ExpectCol = 1, const std::string& FieldName = "") {
    dataSet->SetRecNo(Start);
    grid->SetSelectedIndex(1);
    const bool found = LocateTextInDataSet(grid, FieldName, Text, Options, Direction, Matching);
    EXPECT_EQ(grid->GetSelectedIndex(), found ? ExpectCol : 1);
    if (!found) {
      EXPECT_EQ(dataSet->RecNo(), Start) << "a miss goes back to the record it started on";
    }
    return found ? CurrentId() : 0;
  }
};

TEST_F(LocateText, DirectionsMatchingsCaseColumnsAndSelections) {
  enum { kNone, kBookmarks, kRectangle, kColumns };  // the selection made first
  struct Case {
    const char* id;
    int selection, start;
    const char* text;
    uint8_t options;
    int direction, matching, expectId, expectCol;
  };
  const Case cases[] = {
      {"down-skips-current", kNone, 1, "alpha", kIC, ltdDownEh, ltmAnyPartEh, 4, 1},
      {"down-wraps-case", kNone, 2, "Alpha", 0, ltdDownEh, ltmAnyPartEh, 1, 1},
      {"up", kNone, 5, "alpha", kIC, ltdUpEh, ltmAnyPartEh, 4, 1},
      {"up-wraps", kNone, 1, "ger", 0, ltdUpEh, ltmAnyPartEh, 5, 1},
      {"all-from-first", kNone, 5, "alpha", kIC, ltdAllEh, ltmAnyPartEh, 1, 1},
      {"whole-start-cell-last", kNone, 1, "alpha", kIC, ltdDownEh, ltmWholeEh, 1, 1},
      {"begin", kNone, 3, "bet", 0, ltdDownEh, ltmFromBeginningEh, 2, 1},
      {"any-part", kNone, 3, "bet", 0, ltdDownEh, ltmAnyPartEh, 4, 1},
      {"utf8-ignore-case", kNone, 1, "äRG", kIC, ltdDownEh, ltmAnyPartEh, 5, 1},
      {"utf8-case-miss", kNone, 1, "äRG", 0, ltdDownEh, ltmAnyPartEh, 0, 1},
      {"current-column-only", kNone, 1, "30", 0, ltdDownEh, ltmAnyPartEh, 0, 1},
      {"all-columns", kNone, 1, "30", kAll, ltdDownEh, ltmAnyPartEh, 3, 2},
      {"all-columns-up", kNone, 4, "3", kAll, ltdUpEh, ltmAnyPartEh, 3, 2},
      {"all-columns-whole-data", kNone, 4, "3", kAll, ltdAllEh, ltmWholeEh, 3, 0},
      {"whole-data-miss", kNone, 3, "zzz", kIC | kAll, ltdAllEh, ltmAnyPartEh, 0, 1},
      {"display-text", kNone, 1, "30.00", kAll | kFmt, ltdDownEh, ltmWholeEh, 3, 2},
      {"field-text", kNone, 1, "30.00", kAll, ltdDownEh, ltmWholeEh, 0, 1},
      {"rows-from-first-selected", kBookmarks, 1, "a", kIC | kSel, ltdDownEh, ltmAnyPartEh, 4, 1},
      {"rows-ignored-without-option", kBookmarks, 1, "a", kIC, ltdDownEh, ltmAnyPartEh, 2, 1},
      {"rows-miss", kBookmarks, 1, "Gamma", kSel, ltdDownEh, ltmAnyPartEh, 0, 1},
      {"rect-rows-only", kRectangle, 1, "alpha", kIC | kAll | kSel, ltdDownEh, ltmAnyPartEh, 0, 1},
      {"rect-hit", kRectangle, 1, "30", kAll | kSel, ltdAllEh, ltmAnyPartEh, 3, 2},
      {"rect-columns-only", kRectangle, 1, "3", kAll | kSel, ltdDownEh, ltmAnyPartEh, 3, 2},
      {"columns-hit", kColumns, 1, "4", kAll | kSel, ltdDownEh, ltmAnyPartEh, 4, 0},
      {"columns-miss", kColumns, 1, "alpha", kIC | kAll | kSel, ltdDownEh, ltmAnyPartEh, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->Selection()->Clear();
    if (c.selection == kBookmarks) {
      for (int recNo : {2, 4}) {
        dataSet->SetRecNo(recNo);
        grid->SelectedRows()->SetCurrentRowSelected(true);
      }
    } else if (c.selection == kRectangle) {  // NAME..AMOUNT of records 2 and 3
      grid->Selection()->Rect()->SetCorners(2, BookmarkOf(3), 1, BookmarkOf(2));
      grid->Selection()->SetSelectionType(gstRectangle);
    } else if (c.selection == kColumns) {
      grid->Selection()->Columns()->TColumnsEhList::Add(grid->Columns()->GetColumn(0));
      grid->Selection()->SetSelectionType(gstColumns);
    }
    EXPECT_EQ(Search(c.start, c.text, c.options, c.direction, c.matching, c.expectCol), c.expectId);
  }
}

// A search from anywhere reads each cell once before it gives up: one wrap, one full pass.
TEST_F(LocateText, WrapsOnceAndReadsEachCellOnce) {
  int reads = 0;
  dataSet->FieldByName("NAME")->OnGetText = [&](TField* Sender, std::string& Text, bool) {
    ++reads;
    Text = Sender->AsString();
  };
  const struct {
    int start, direction;
  } cases[] = {{5, ltdDownEh}, {3, ltdDownEh}, {1, ltdUpEh}, {3, ltdAllEh}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << "/" << c.direction);
    reads = 0;
    EXPECT_EQ(Search(c.start, "zzz", 0, c.direction, ltmAnyPartEh), 0);
    EXPECT_EQ(reads, 5);
  }
  EXPECT_EQ(Search(5, "Alpha", 0, ltdDownEh, ltmWholeEh), 1);
}

TEST_F(LocateText, PendingEscapeEndsTheSearch) {
  const struct {
    uint8_t options;
    WPARAM key;
    int expectId;
    bool keyStaysQueued;
  } cases[] = {{kEsc, VK_ESCAPE, 0, false}, {0, VK_ESCAPE, 4, true}, {kEsc, VK_RETURN, 4, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.options) << "/" << c.key);
    PostMessage(grid->Handle(), WM_KEYDOWN, c.key, 0);
    EXPECT_EQ(Search(1, "alpha", kIC | c.options, ltdDownEh, ltmAnyPartEh), c.expectId);
    MSG msg{};
    EXPECT_EQ(PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) != FALSE, c.keyStaysQueued);
  }
}

TEST_F(LocateText, NoSearchableColumnFindsNothing) {
  EXPECT_EQ(Search(2, "a", kIC, ltdDownEh, ltmAnyPartEh, 1, "NOSUCHFIELD"), 0);
  EXPECT_EQ(Search(2, "ALPHA", 0, ltdDownEh, ltmAnyPartEh, 1, "name"), 0);
  EXPECT_EQ(Search(2, "Alpha", 0, ltdDownEh, ltmAnyPartEh, 1, "name"), 1);
  TRefusingCenter center;
  grid->SetCenter(&center);
  EXPECT_EQ(Search(2, "a", kIC | kAll, ltdDownEh, ltmAnyPartEh), 0);
  grid->SetCenter(DBGridEhCenter());
}
