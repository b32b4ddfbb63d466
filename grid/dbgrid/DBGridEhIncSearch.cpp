// The incremental search inside the grid: typed characters grow a search text that the grid
// locates in the current column; the search ends by a key, or by itself on timer 2 when no
// character came for its time-out.
#include "grid/data/DataRoutinesEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace dbgrid_inc_search_detail {

// Timer 1 belongs to the base grid (mouse and drag scrolling).
constexpr UINT_PTR kDragTimerId = 1;
constexpr UINT_PTR kIncSearchTimerId = 2;

// The column the search reads: with row select the first column the row shows.
TColumnEh* SearchColumn(TCustomDBGridEh* Grid) {
  int index = Grid->GetSelectedIndex();
  if (Grid->Options().Contains(dgRowSelect) && Grid->VisibleColumns().Count() > 0)
    index = Grid->VisibleColumns()[0]->Index();
  if (index < 0 || index >= Grid->Columns()->Count()) return nullptr;
  return Grid->Columns()->GetColumn(index);
}

// Whether the current record's value begins with Text, compared as the locate compares it.
bool CurrentRecordBeginsWith(TColumnEh* Column, TField* Field, uint8_t Options, const std::string& Text) {
  const std::string value = (Options & ltoMatchFormatEh) != 0 ? Column->GetDisplayText() : Field->Text();
  return AnsiUpperCase(value).starts_with(AnsiUpperCase(Text));
}

}  // namespace dbgrid_inc_search_detail

using dbgrid_inc_search_detail::kDragTimerId;
using dbgrid_inc_search_detail::kIncSearchTimerId;

bool TCustomDBGridEh::LocateText(const std::string& Text, const std::string& FieldName, uint8_t Options,
                                 int Direction, int Matching, int TreeRange) {
  TDBGridEhCenter* center = Center();
  if (!center) return false;
  BeginWaitCursor();
  TScopeExit restore([] { EndWaitCursor(); });
  if (!center->LocateText(this, Text, FieldName, Options, Direction, Matching, TreeRange)) return false;
  // Grouped rows show the found record at its node.
  if (dataGrouping_->IsGroupingActive() && IsDataIntfAssigned())
    GotoRecordNode(DataIntf()->GetCurrentRecordIndex(), true);
  return true;
}

bool TCustomDBGridEh::IsFindDialogModal() {
  return true;
}

void TCustomDBGridEh::IncSearch(const std::string& Text, int TimeOut, int Direction) {
  TAxisGridDataLinkEh* link = DataLink();
  if (!link->Active()) return;
  TColumnEh* column = dbgrid_inc_search_detail::SearchColumn(this);
  TField* field = column ? column->GetField() : nullptr;
  if (field) {
    const std::string wanted = incSearchText_ + Text;
    // Numbers are matched as shown, so that "12.5" finds what the cell displays.
    uint8_t options = ltoIgnoreCaseEh;
    if (IsNumericFieldType(field->DataType())) options |= ltoMatchFormatEh;
    if (!Text.empty() || !wanted.empty()) {
      // A typed character searches from the current record: the record found for the shorter
      // text, when it still matches, is the first one that can.
      const bool stillFound =
          incSearching_ && !Text.empty() && !incSearchText_.empty() &&
          dbgrid_inc_search_detail::CurrentRecordBeginsWith(column, field, options, wanted);
      if (stillFound || LocateText(wanted, field->FieldName(), options, Direction, ltmFromBeginningEh, 0)) {
        // The text keeps the found value's own spelling, cut by whole characters.
        incSearchText_ = Utf8Left(field->DisplayText(), Utf8Length(wanted));
        if (IsDataIntfAssigned() && ScrollsOwnRows() && HandleAllocated()) {
          const int top = Row() - VisibleDataRowCount() / 2;
          if (top >= FixedRows()) SetTopRow(top);
        }
      }
    }
  }
  incSearching_ = true;
  if (HandleAllocated() && Row() < RowCount()) InvalidateRow(Row());
  incSearchTimeOut_ = TimeOut;
  RestartIncSearchTimer();
}

void TCustomDBGridEh::IncrementalSearchKey(char32_t Key) {
  std::string typed;
  Utf8Append(typed, Key);
  IncSearch(typed, incSearching_ ? incSearchTimeOut_ : DBGridEhIncSearchResetInterval, 2);
}

void TCustomDBGridEh::StopIncSearch() {
  if (!incSearching_) return;
  if (incSearchTimerRunning_ && HandleAllocated()) KillTimer(Handle(), kIncSearchTimerId);
  incSearchTimerRunning_ = false;
  incSearching_ = false;
  incSearchText_.clear();
  if (HandleAllocated() && Row() < RowCount()) InvalidateRow(Row());
  if (options_.Contains(dgAlwaysShowEditor)) UpdateEditorVisibility();
}

void TCustomDBGridEh::RestartIncSearchTimer() {
  if (incSearchTimerRunning_ && HandleAllocated()) KillTimer(Handle(), kIncSearchTimerId);
  incSearchTimerRunning_ = false;
  if (incSearchTimeOut_ < 0 || !HandleAllocated()) return;
  SetTimer(Handle(), kIncSearchTimerId, static_cast<UINT>(incSearchTimeOut_));
  incSearchTimerRunning_ = true;
}

void TCustomDBGridEh::WMTimer(TMessage& Message) {
  if (Message.WParam == kIncSearchTimerId) {
    StopIncSearch();
    return;
  }
  if (Message.WParam == kDragTimerId) {
    DragTimerTick();
    return;
  }
  inherited::WMTimer(Message);
}
