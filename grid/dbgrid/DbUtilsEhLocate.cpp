// The generic text search: walks the records (and columns) of a grid for the next cell whose
// text matches, when no feature object of the data set searches.
//
// The walk is a cycle over (record, column) positions that starts next to the current cell
// (at the first cell for the whole-data direction) and wraps at most once. It ends at the latest
// when it comes back to its start cell, so a miss reads each cell once however far from the
// end the search began. A search that finds nothing puts the record it started on back.
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"

namespace dbutils_locate_detail {

bool IsAsciiText(const std::string& S) {
  for (const char c : S)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Upper-cases Source into Target; ASCII text (the common case) reuses Target's storage.
void UpperCaseInto(const std::string& Source, std::string& Target) {
  if (!IsAsciiText(Source)) {
    Target = AnsiUpperCase(Source);
    return;
  }
  Target.assign(Source);
  for (char& c : Target)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

// The searched text, upper-cased once when case is ignored.
class TLocateMatcher {
 public:
  TLocateMatcher(const std::string& Text, bool IgnoreCase, int Matching)
      : ignoreCase_(IgnoreCase), matching_(Matching) {
    if (IgnoreCase)
      UpperCaseInto(Text, text_);
    else
      text_ = Text;
  }

  bool Matches(const std::string& Cell) {
    const std::string* s = &Cell;
    if (ignoreCase_) {
      UpperCaseInto(Cell, buffer_);
      s = &buffer_;
    }
    switch (matching_) {
      case ltmWholeEh:
        return *s == text_;
      case ltmFromBeginningEh:
        return s->starts_with(text_);
      default:
        return s->find(text_) != std::string::npos;
    }
  }

 private:
  std::string text_;
  bool ignoreCase_;
  int matching_;
  std::string buffer_;  // the upper-cased cell, kept for its storage
};

// A pending Escape key-down ends the search; it is taken from the queue, other keys stay.
bool TakePendingEscape() {
  MSG msg{};
  if (!PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) || msg.wParam != VK_ESCAPE)
    return false;
  PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
  return true;
}

TColumnEh* CurrentColumn(TCustomDBGridEh* Grid) {
  const int index = Grid->GetSelectedIndex();
  if (index < 0 || index >= Grid->Columns()->Count()) return nullptr;
  return Grid->Columns()->GetColumn(index);
}

// The column named by FieldName: the first visible one, else the first at all.
TColumnEh* ColumnOfField(TCustomDBGridEh* Grid, const std::string& FieldName) {
  TColumnEh* hidden = nullptr;
  for (int i = 0; i < Grid->Columns()->Count(); ++i) {
    TColumnEh* column = Grid->Columns()->GetColumn(i);
    if (!SameText(column->FieldName(), FieldName)) continue;
    if (column->Visible()) return column;
    if (!hidden) hidden = column;
  }
  return hidden;
}

std::vector<TColumnEh*> SearchedColumns(TCustomDBGridEh* Grid, const std::string& FieldName,
                                        uint8_t Options) {
  std::vector<TColumnEh*> columns;
  if (!FieldName.empty()) {
    if (TColumnEh* column = ColumnOfField(Grid, FieldName)) columns.push_back(column);
    return columns;
  }
  TDBGridEhSelection* selection = Grid->Selection();
  const bool inSelection = (Options & ltoInSelectionEh) != 0;
  TColumnsEhList& visible = Grid->VisibleColumns();
  if (inSelection && selection->SelectionType() == gstRectangle) {
    const int left = std::min(selection->Rect()->AnchorCol(), selection->Rect()->ShiftCol());
    const int right = std::max(selection->Rect()->AnchorCol(), selection->Rect()->ShiftCol());
    for (int i = 0; i < visible.Count(); ++i) {
      TColumnEh* column = visible[i];
      if (column->Index() >= left && column->Index() <= right &&
          dbgrid_detail::SearchesInColumn(Grid, column))
        columns.push_back(column);
    }
  } else if (inSelection && selection->SelectionType() == gstColumns) {
    // A hidden column cannot show its match.
    TDBGridEhSelectionCols* selected = selection->Columns();
    for (int i = 0; i < selected->Count(); ++i) {
      TColumnEh* column = selected->Items(i);
      if (column->Visible() && dbgrid_detail::SearchesInColumn(Grid, column)) columns.push_back(column);
    }
  } else if ((Options & ltoAllFieldsEh) == 0) {
    if (TColumnEh* column = CurrentColumn(Grid)) columns.push_back(column);
  } else {
    for (int i = 0; i < visible.Count(); ++i)
      if (dbgrid_detail::SearchesInColumn(Grid, visible[i])) columns.push_back(visible[i]);
  }
  return columns;
}

// The records a search walks: every record, the selected bookmarks in their order, or the
// rows of the selection rectangle. Steps report the end (the beginning backwards) instead
// of passing it.
class TLocateRecordWalk {
 public:
  enum class TKind { Records, Bookmarks, Rectangle };

  TLocateRecordWalk(TDataSet* DataSet, TKind Kind, TBookmarkListEh* Rows)
      : dataSet_(DataSet), kind_(Kind), rows_(Rows) {}

  void SetRectangle(const TBookmark& Anchor, const TBookmark& Shift) {
    // The smaller bookmark is the top; the anchor when both compare equal.
    const bool shiftFirst = dataSet_->CompareBookmarks(Shift, Anchor) < 0;
    top_ = shiftFirst ? Shift : Anchor;
    bottom_ = shiftFirst ? Anchor : Shift;
  }

  // Puts the walk on the current record, or on the first record of the selection when the
  // current one lies outside it; that record is the start of the cycle.
  void Start() {
    switch (kind_) {
      case TKind::Records:
        break;
      case TKind::Bookmarks:
        if (!rows_->Find(dataSet_->Bookmark(), index_)) {
          index_ = 0;
          dataSet_->GotoBookmark(rows_->Item(0));
        }
        break;
      case TKind::Rectangle: {
        const TBookmark current = dataSet_->Bookmark();
        if (dataSet_->CompareBookmarks(current, top_) < 0 || dataSet_->CompareBookmarks(current, bottom_) > 0)
          dataSet_->GotoBookmark(top_);
        break;
      }
    }
    MarkStart();
  }

  // The current record becomes the start of the cycle.
  void MarkStart() {
    startIndex_ = index_;
    if (kind_ != TKind::Bookmarks) startBookmark_ = dataSet_->Bookmark();
  }

  bool AtStart() {
    if (kind_ == TKind::Bookmarks) return index_ == startIndex_;
    return dataSet_->Bookmark() == startBookmark_;
  }

  void ToFirst() {
    switch (kind_) {
      case TKind::Records:
        dataSet_->First();
        break;
      case TKind::Bookmarks:
        index_ = 0;
        dataSet_->GotoBookmark(rows_->Item(index_));
        break;
      case TKind::Rectangle:
        dataSet_->GotoBookmark(top_);
        break;
    }
  }

  void ToLast() {
    switch (kind_) {
      case TKind::Records:
        dataSet_->Last();
        break;
      case TKind::Bookmarks:
        index_ = rows_->Count() - 1;
        dataSet_->GotoBookmark(rows_->Item(index_));
        break;
      case TKind::Rectangle:
        dataSet_->GotoBookmark(bottom_);
        break;
    }
  }

  // One record on; false at the end (the beginning backwards).
  bool Step(bool Forward) {
    switch (kind_) {
      case TKind::Records:
        break;
      case TKind::Bookmarks: {
        const int next = index_ + (Forward ? 1 : -1);
        if (next < 0 || next >= rows_->Count()) return false;
        index_ = next;
        dataSet_->GotoBookmark(rows_->Item(index_));
        return true;
      }
      case TKind::Rectangle:
        if (dataSet_->Bookmark() == (Forward ? bottom_ : top_)) return false;
        break;
    }
    if (Forward) {
      dataSet_->Next();
      return !dataSet_->Eof();
    }
    dataSet_->Prior();
    return !dataSet_->Bof();
  }

 private:
  TDataSet* dataSet_;
  TKind kind_;
  TBookmarkListEh* rows_;
  int index_ = 0;  // in the selected rows
  int startIndex_ = 0;
  TBookmark startBookmark_;
  TBookmark top_;
  TBookmark bottom_;
};

// What one search asks for, read once before the walk.
struct TLocateRequest {
  std::vector<TColumnEh*> Columns;
  std::vector<TField*> Fields;  // per column; nullptr for a column without a field
  int StartColumn = 0;
  bool Forward = true;
  bool WholeData = false;
  bool AllFields = false;
  bool DisplayText = false;
  bool StopOnEscape = false;
};

// Walks the cycle; the matched column, or nullptr when the search ends without a match.
TColumnEh* WalkForMatch(const TLocateRequest& Request, TLocateRecordWalk& Walk, TLocateMatcher& Matcher) {
  const int count = static_cast<int>(Request.Columns.size());
  std::string text;
  auto matches = [&](int Column) {
    if (Request.DisplayText) {
      text = Request.Columns[static_cast<size_t>(Column)]->GetDisplayText();
    } else {
      TField* field = Request.Fields[static_cast<size_t>(Column)];
      text = field ? field->Text() : std::string();
    }
    return Matcher.Matches(text);
  };

  int column = Request.StartColumn;
  int startColumn = column;
  bool startTested = false;
  Walk.Start();
  if (Request.WholeData) {
    Walk.ToFirst();
    if (Request.AllFields) column = startColumn = 0;
    Walk.MarkStart();
    if (matches(column)) return Request.Columns[static_cast<size_t>(column)];
    startTested = true;
  }

  bool wrapped = false;
  bool cellRead = startTested;
  for (;;) {
    // Escape is looked for between steps, once a cell has been read.
    if (cellRead && Request.StopOnEscape && TakePendingEscape()) return nullptr;
    cellRead = true;
    if (Request.AllFields && (Request.Forward ? column + 1 < count : column > 0)) {
      column += Request.Forward ? 1 : -1;
    } else {
      if (!Walk.Step(Request.Forward)) {
        if (wrapped) return nullptr;
        wrapped = true;
        if (Request.Forward)
          Walk.ToFirst();
        else
          Walk.ToLast();
      }
      if (Request.AllFields) column = Request.Forward ? 0 : count - 1;
    }
    // Back at the start cell the cycle is complete: it is read now unless it was read first.
    const bool atStart = wrapped && column == startColumn && Walk.AtStart();
    if (atStart && startTested) return nullptr;
    if (matches(column)) return Request.Columns[static_cast<size_t>(column)];
    if (atStart) return nullptr;
  }
}

}  // namespace dbutils_locate_detail

bool dbgrid_detail::SearchesInColumn(TCustomDBGridEh* Grid, TColumnEh* Column) {
  TDBGridEhCenter* center = Grid->Center();
  return !center || center->CanSearchInColumn(Grid, Column);
}

bool LocateTextInDataSet(TCustomDBGridEh* Grid, const std::string& FieldName, const std::string& Text,
                         uint8_t Options, int Direction, int Matching) {
  using namespace dbutils_locate_detail;
  if (!Grid || !Grid->DataSource()) return false;
  TDataSet* dataSet = Grid->DataSource()->DataSet();
  if (!dataSet || !dataSet->Active()) return false;

  TLocateRequest request;
  request.Columns = SearchedColumns(Grid, FieldName, Options);
  if (request.Columns.empty()) return false;
  for (TColumnEh* column : request.Columns) request.Fields.push_back(column->GetField());
  if (FieldName.empty() && Grid->Options().Contains(dgRowSelect)) {
    request.StartColumn = 0;
  } else {
    TColumnEh* current = CurrentColumn(Grid);
    for (size_t i = 0; i < request.Columns.size(); ++i)
      if (request.Columns[i] == current) request.StartColumn = static_cast<int>(i);
  }
  request.Forward = Direction != ltdUpEh;
  request.WholeData = Direction == ltdAllEh;
  request.AllFields = (Options & ltoAllFieldsEh) != 0;
  request.DisplayText = (Options & ltoMatchFormatEh) != 0;
  request.StopOnEscape = (Options & ltoStopOnEscapeEh) != 0;

  TDBGridEhSelection* selection = Grid->Selection();
  TLocateRecordWalk::TKind kind = TLocateRecordWalk::TKind::Records;
  if ((Options & ltoInSelectionEh) != 0) {
    if (selection->SelectionType() == gstRecordBookmarks) {
      if (selection->Rows()->Count() == 0) return false;
      kind = TLocateRecordWalk::TKind::Bookmarks;
    } else if (selection->SelectionType() == gstRectangle) {
      kind = TLocateRecordWalk::TKind::Rectangle;
    }
  }

  dataSet->CheckBrowseMode();
  if (dataSet->IsEmpty()) return false;
  TLocateRecordWalk walk(dataSet, kind, selection->Rows());
  if (kind == TLocateRecordWalk::TKind::Rectangle)
    walk.SetRectangle(selection->Rect()->AnchorBookmark(), selection->Rect()->ShiftBookmark());
  TLocateMatcher matcher(Text, (Options & ltoIgnoreCaseEh) != 0, Matching);

  TColumnEh* match = nullptr;
  {
    const TBookmark start = dataSet->Bookmark();
    dataSet->DisableControls();
    TScopeExit enableControls([&] { dataSet->EnableControls(); });
    // Without a match the record the search started on comes back (before the controls see it).
    TScopeExit backToStart([&] {
      if (!match) dataSet->GotoBookmark(start);
    });
    match = WalkForMatch(request, walk, matcher);
  }
  if (!match) return false;
  // The grid's selected index moves its column (the row panel's focus in row-panel mode).
  if (Grid->GetSelectedIndex() != match->Index()) Grid->SetSelectedIndex(match->Index());
  return true;
}
