// The search-text record filter: the grid shows only the records in which the search text occurs
// in a searched column's shown text. It filters through the data set's OnFilterRecord (kept
// and called first) or, with a data interface, through a filter item of the interface; removing
// it keeps the user's record on its screen row.
#include <algorithm>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace dbgrid_search_filter_detail {

// The current record's screen row, to be given back after the records in view changed.
struct TScreenPlace {
  TBookmark Bookmark;
  int Distance = 0;  // rows between the top data row and the current one
};

// Puts the current record Distance rows below the top of the data link's record window, as far
// as the records around it allow: far down first, so that coming back up to Distance rows above
// it starts the window there.
void PlaceInWindow(TDataSet* DataSet, int WindowSize, int Distance) {
  const int down = DataSet->MoveBy(WindowSize);
  const int up = DataSet->MoveBy(-(down + Distance));
  DataSet->MoveBy(-(down + up));
}

// Whether Text upper-cased holds Upper (upper-cased already). Text of ASCII characters only is
// compared in place, without a copy; any other is upper-cased by the locale's rules first.
// Every searched cell of every record comes here: the loops stay plain and skip ahead to the
// first letter in either case.
bool HoldsUpperCased(const std::string& Text, const std::string& Upper) {
  unsigned char high = 0;
  for (const char c : Text) high |= static_cast<unsigned char>(c);
  if (high >= 0x80) return AnsiUpperCase(Text).find(Upper) != std::string::npos;
  const size_t length = Text.size();
  const size_t wanted = Upper.size();
  if (wanted == 0) return true;
  if (wanted > length) return false;
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  const char first = Upper[0];
  const char firstLower = first >= 'A' && first <= 'Z' ? static_cast<char>(first - 'A' + 'a') : first;
  for (size_t start = 0; start + wanted <= length; ++start) {
    if (Text[start] != first && Text[start] != firstLower) continue;
    size_t matched = 1;
    while (matched < wanted && upper(Text[start + matched]) == Upper[matched]) ++matched;
    if (matched == wanted) return true;
  }
  return false;
}

}  // namespace dbgrid_search_filter_detail

using dbgrid_search_filter_detail::TScreenPlace;

void TCustomDBGridEh::SetSearchMode(bool Value) {
  if (Value == searchMode_) return;
  searchMode_ = Value;
  TDBGridSearchPanelEh* panel = SearchPanel();
  // The strip's search starts in the current column.
  panel->SetSearchColumn(Value ? SelectedIndex() : -1);
  panel->SetSearching(Value);
}

void TCustomDBGridEh::ApplySearchFilter(const std::string& Text) {
  // No text leaves nothing to look for: every record shows again.
  if (Text.empty()) {
    CancelSearchFilter();
    return;
  }
  // Kept upper-cased: each record's texts are compared upper-cased too.
  searchFilterText_ = AnsiUpperCase(Text);
  searchSelection_->Assign(Selection());
  const TDBGridEhSelectionType kind = Selection()->SelectionType();
  if (kind == gstRecordBookmarks || kind == gstRectangle) Selection()->Clear();
  if (!DataLink()->Active()) return;
  TDataSet* dataSet = DataLink()->DataSet();
  // The data set may have been closed or replaced since the last search.
  CheckSearchFilterDataSet();
  const TFilterRecordEvent filter = TFilterRecordEvent::Method(this, &TCustomDBGridEh::SearchFilterRecord);
  if (IMemTableEh* intf = DataIntf()) {
    if (searchFilterItem_ == 0) {
      searchFilterItem_ = intf->AddFilterItem(filter);
      filterItemDataSet_ = dataSet;
      dataSet->FreeNotification(this);
    }
    searchFilterActive_ = true;
    intf->ApplyFilterItems();
  } else {
    if (!(dataSet->OnFilterRecord == filter)) {
      savedFilterRecord_ = dataSet->OnFilterRecord;
      savedFiltered_ = dataSet->Filtered();
      // A Filter text not in force stays out of force: the search finds among the records in
      // view, and switching Filtered on for it must not bring an old condition back.
      setAsideFilter_.clear();
      if (!savedFiltered_ && !dataSet->Filter().empty()) {
        setAsideFilter_ = dataSet->Filter();
        dataSet->SetFilter("");
      }
      dataSet->OnFilterRecord = filter;
      hookedDataSet_ = dataSet;
      dataSet->FreeNotification(this);
    }
    searchFilterActive_ = true;
    if (dataSet->Filtered()) {
      dataSet->DisableControls();
      TScopeExit enable([dataSet] { dataSet->EnableControls(); });
      dataSet->SetFiltered(false);
      dataSet->SetFiltered(true);
    } else {
      dataSet->SetFiltered(true);
    }
  }
  if (SumList()->Active()) SumList()->RecalcAll();
}

void TCustomDBGridEh::SearchFilterRecord(TDataSet* DataSet, bool& Accept) {
  if (savedFilterRecord_) {
    savedFilterRecord_(DataSet, Accept);
    if (!Accept) return;
  }
  Accept = false;
  if (!DataSet || searchFilterText_.empty()) return;
  if (searchSelection_->SelectionType() == gstRecordBookmarks) {
    // The record under test: the interface's positioned one, else the data set's in its filter.
    const TBookmark bookmark = DataIntf() ? DataIntf()->GetPositionedBookmark() : DataSet->Bookmark();
    if (bookmark.empty() || searchSelection_->Rows()->IndexOf(bookmark) < 0) return;
  }
  TColumnsEhList& columns =
      searchSelection_->SelectionType() == gstColumns ? *searchSelection_->Columns() : visibleColumns_;
  for (int i = 0; i < columns.Count(); ++i) {
    // Columns the searches skip (a picture's placeholder text) find no record here either.
    if (!dbgrid_detail::SearchesInColumn(this, columns[i])) continue;
    // A lookup column's text comes from its field's looked-up value, which leaves the lookup
    // data set where it is.
    if (dbgrid_search_filter_detail::HoldsUpperCased(columns[i]->GetDisplayText(), searchFilterText_)) {
      Accept = true;
      return;
    }
  }
}

void TCustomDBGridEh::CancelSearchFilter() {
  TAxisGridDataLinkEh* link = DataLink();
  TDataSet* dataSet = link->Active() ? link->DataSet() : nullptr;
  const bool filteredHere = dataSet && (dataSet == hookedDataSet_ || dataSet == filterItemDataSet_);
  const bool hadFilter = hookedDataSet_ || searchFilterItem_ != 0;
  // Where the user is, given back once the hidden records are in view again.
  TScreenPlace place;
  if (filteredHere) {
    place.Bookmark = dataSet->Bookmark();
    place.Distance = ScrollsOwnRows() ? Row() - TopRow() : link->ActiveRecord();
  }
  LockPaint();
  TScopeExit unlock([this] {
    UnlockPaint();
    if (!ComponentState().Contains(csDestroying)) Invalidate();
  });
  if (hookedDataSet_) {
    TDataSet* hooked = hookedDataSet_;
    hookedDataSet_ = nullptr;
    if (hooked != filterItemDataSet_) hooked->RemoveFreeNotification(this);
    // A handler installed over the grid's since then stays.
    if (hooked->OnFilterRecord == TFilterRecordEvent::Method(this, &TCustomDBGridEh::SearchFilterRecord))
      hooked->OnFilterRecord = savedFilterRecord_;
    savedFilterRecord_ = nullptr;
    // Filtered goes back to what it was, the records tested by the handler put back; a Filter
    // text set while the search ran (the filter row's) stays in force, else the text set aside
    // comes back out of force. A data set on its way out is left alone.
    std::string setAside;
    setAside.swap(setAsideFilter_);
    if (!hooked->ComponentState().Contains(csDestroying)) {
      const bool textSince = !savedFiltered_ && !hooked->Filter().empty();
      if (hooked->Active() && (savedFiltered_ || textSince)) {
        hooked->DisableControls();
        TScopeExit enable([hooked] { hooked->EnableControls(); });
        hooked->SetFiltered(false);
        hooked->SetFiltered(true);
      } else {
        hooked->SetFiltered(savedFiltered_ || textSince);
        if (!textSince && !setAside.empty()) hooked->SetFilter(setAside);
      }
    }
  }
  if (searchFilterItem_ != 0) {
    TDataSet* owner = filterItemDataSet_;
    const TMemTableFilterItemEh item = searchFilterItem_;
    searchFilterItem_ = 0;
    filterItemDataSet_ = nullptr;
    if (owner) {
      owner->RemoveFreeNotification(this);
      if (IMemTableEh* intf = Supports<IMemTableEh>(owner)) {
        intf->RemoveFilterItem(item);
        if (owner->Active() && !owner->ComponentState().Contains(csDestroying)) intf->ApplyFilterItems();
      }
    }
  }
  searchFilterActive_ = false;
  if (filteredHere && link->Active() && link->DataSet() == dataSet &&
      dataSet->BookmarkValid(place.Bookmark)) {
    dataSet->GotoBookmark(place.Bookmark);
    if (ScrollsOwnRows())
      SetTopRow(std::max(FixedRows(), Row() - place.Distance));
    else
      dbgrid_search_filter_detail::PlaceInWindow(dataSet, link->BufferCount(), place.Distance);
  }
  if (hadFilter && SumList()->Active() && !ComponentState().Contains(csDestroying)) SumList()->RecalcAll();
}

// A data set closed or no longer the grid's keeps no search filter of the grid.
void TCustomDBGridEh::CheckSearchFilterDataSet() {
  if (!hookedDataSet_ && !filterItemDataSet_) return;
  TAxisGridDataLinkEh* link = DataLink();
  TDataSet* current = link && link->Active() ? link->DataSet() : nullptr;
  if ((hookedDataSet_ && hookedDataSet_ != current) || (filterItemDataSet_ && filterItemDataSet_ != current))
    CancelSearchFilter();
}
