// The lookup grid's vertical scroll bar and scroll codes (when it does not map its rows itself the
// bar follows the list data set: record numbers when sequenced, else five coarse positions), its
// row count and the height that follows from it.
#include <algorithm>

#include "grid/dbgrid/DBLookupGridsEh.h"
#include "platform/win/Painting.h"

// --- scroll bar -------------------------------------------------------------------------------------

TDBLookupGridEh::TLookupScrollParamsEh TDBLookupGridEh::CalcLookupScrollParams() {
  TLookupScrollParamsEh params;
  if (!DataLink()->Active()) {
    params.Max = 2;
    return params;
  }
  TDataSet* list = DataLink()->DataSet();
  RefreshListState();
  if (list->IsSequenced()) {
    params.Max = list->RecordCount() - 1;
    params.Page = VisibleDataRowCount();
    // While inserting the record number means nothing yet.
    params.Pos = list->State() >= dsInsert ? 0 : list->RecNo() - activeRecord_ - 1;
    return params;
  }
  if (recordCount_ >= VisibleDataRowCount()) {
    params.Max = 4;
    params.Pos = list->Bof() ? 0 : list->Eof() ? 4 : 2;
  }
  return params;
}

void TDBLookupGridEh::UpdateVertScrollBar() {
  if (ScrollsOwnRows()) {
    inherited::UpdateVertScrollBar();
    return;
  }
  if (!HandleAllocated()) return;
  const TLookupScrollParamsEh params = CalcLookupScrollParams();
  SCROLLINFO held{};
  held.cbSize = sizeof(SCROLLINFO);
  held.fMask = SIF_ALL;
  GetScrollInfo(Handle(), SB_VERT, &held);
  if (held.nMin == 0 && held.nMax == params.Max && static_cast<int>(held.nPage) == params.Page &&
      held.nPos == params.Pos)
    return;
  SCROLLINFO info{};
  info.cbSize = sizeof(SCROLLINFO);
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = params.Max;
  info.nPage = static_cast<UINT>(params.Page);
  info.nPos = params.Pos;
  SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void TDBLookupGridEh::WMVScroll(TMessage& Message) {
  if (ScrollsOwnRows()) {
    inherited::WMVScroll(Message);
    return;
  }
  const int code = Message.WParamLo();
  int pos = static_cast<int16_t>(Message.WParamHi());
  if (code == SB_THUMBTRACK && HandleAllocated()) {
    SCROLLINFO info{};
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(Handle(), SB_VERT, &info);
    pos = info.nTrackPos;
  }
  ScrollList(code, pos);
  UpdateVertScrollBar();
}

void TDBLookupGridEh::ListDataSetMoveBy(int Distance) {
  if (Distance != 0) DataLink()->DataSet()->MoveBy(Distance);
}

void TDBLookupGridEh::ScrollList(int ScrollCode, int Pos) {
  TInternalChangeScope scope(this);
  searchText_.clear();
  if (!DataLink()->Active()) return;
  TDataSet* list = DataLink()->DataSet();
  RefreshListState();
  const int pageUp = -activeRecord_ - recordCount_ + 1;
  const int pageDown = 2 * recordCount_ - activeRecord_ - 2;
  switch (ScrollCode) {
    case SB_LINEUP:
      ListDataSetMoveBy(-activeRecord_ - 1);
      break;
    case SB_LINEDOWN:
      ListDataSetMoveBy(recordCount_ - activeRecord_);
      break;
    case SB_PAGEUP:
      ListDataSetMoveBy(pageUp);
      break;
    case SB_PAGEDOWN:
      ListDataSetMoveBy(pageDown);
      break;
    case SB_THUMBPOSITION:
      switch (Pos) {
        case 0:
          list->First();
          break;
        case 1:
          ListDataSetMoveBy(pageUp);
          break;
        case 3:
          ListDataSetMoveBy(pageDown);
          break;
        case 4:
          list->Last();
          break;
        default:
          break;
      }
      break;
    case SB_THUMBTRACK: {
      if (!list->IsSequenced()) break;
      // Measured from the first visible row: record Pos becomes the first visible row.
      DataLink()->SetActiveRecord(0);
      const int first = list->RecNo() - 1;
      if (Pos < first)
        ListDataSetMoveBy(Pos - first);
      else if (Pos > first)
        ListDataSetMoveBy(recordCount_ - 1 + (Pos - first));
      else
        DataLink()->SetActiveRecord(activeRecord_);
      break;
    }
    case SB_TOP:
      list->First();
      break;
    case SB_BOTTOM:
      list->Last();
      break;
    default:
      break;
  }
  RefreshListState();
}

// --- rows and height ----------------------------------------------------------------------------------

int TDBLookupGridEh::GetBorderSize() {
  return HandleAllocated() ? Height() - ClientHeight() : 0;
}

int TDBLookupGridEh::GetDataRowHeight() {
  return DataRowHeight() + (Options().Contains(dgRowLines) ? GridLineWidth() : 0);
}

int TDBLookupGridEh::GetSpecRowHeight() {
  return DataRowHeight() + (Options().Contains(dgRowLines) ? GridLineWidth() : 0);
}

int TDBLookupGridEh::GetSubtitleRowCount() {
  return inherited::GetSubtitleRowCount() + (specRow_ && specRow_->Visible() ? 1 : 0);
}

int TDBLookupGridEh::TitlesHeight() {
  return Options().Contains(dgTitles) ? TitleRowHeight() : 0;
}

int TDBLookupGridEh::CalcHeightForRowCount(int Rows) {
  const int line = Options().Contains(dgRowLines) ? GridLineWidth() : 0;
  return GetBorderSize() + TitlesHeight() + line + Rows * DataRowHeight() + Rows * line + specRowHeight_;
}

void TDBLookupGridEh::SetRowCount(int Value) {
  rowCount_ = std::clamp(Value, 1, 100);
  ApplyRowCount();
}

void TDBLookupGridEh::ApplyRowCount() {
  if (DataRowHeight() <= 0) return;
  SetBounds(Left(), Top(), Width(), CalcHeightForRowCount(rowCount_));
}

void TDBLookupGridEh::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (DataRowHeight() > 0) {
    // The height snaps to whole rows; the rows follow the height asked for.
    const int line = Options().Contains(dgRowLines) ? GridLineWidth() : 0;
    const int fixed = CalcHeightForRowCount(0);
    rowCount_ = std::clamp((AHeight - fixed) / (DataRowHeight() + line), 1, 100);
    AHeight = CalcHeightForRowCount(rowCount_);
  }
  const int oldWidth = Width();
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  // Fitting columns share a new width out again.
  if (autoFitColWidths_ && !inAutoFit_ && HandleAllocated() && Width() != oldWidth) AutoFitColumns();
}

bool TDBLookupGridEh::ShowTitles() const {
  return Options().Contains(dgTitles);
}

void TDBLookupGridEh::SetShowTitles(bool Value) {
  if (ShowTitles() == Value) return;
  TDBGridOptions options = Options();
  if (Value)
    options.Include(dgTitles);
  else
    options.Exclude(dgTitles);
  TCustomDBGridEh::SetOptions(options);
  ApplyRowCount();
}

bool TDBLookupGridEh::UseMultiTitle() const {
  return TitleParams()->MultiTitle();
}

void TDBLookupGridEh::SetUseMultiTitle(bool Value) {
  TitleParams()->SetMultiTitle(Value);
  ApplyRowCount();
}

void TDBLookupGridEh::SetLookupOptions(TDBLookupGridEhOptions Value) {
  lookupOptions_ = Value;
  TDBGridOptions options = Options();
  auto map = [&](TDBLookupGridEhOption From, TDBGridOption To) {
    if (Value.Contains(From))
      options.Include(To);
    else
      options.Exclude(To);
  };
  map(dlgColumnResizeEh, dgColumnResize);
  map(dlgColLinesEh, dgColLines);
  map(dlgRowLinesEh, dgRowLines);
  TCustomDBGridEh::SetOptions(options);
  TDBGridEhOptions optionsEh = OptionsEh();
  auto mapEh = [&](TDBLookupGridEhOption From, TDBGridEhOption To) {
    if (Value.Contains(From))
      optionsEh.Include(To);
    else
      optionsEh.Exclude(To);
  };
  mapEh(dlgAutoSortMarkingEh, dghAutoSortMarking);
  mapEh(dlgMultiSortMarkingEh, dghMultiSortMarking);
  SetOptionsEh(optionsEh);
  ApplyRowCount();
}

void TDBLookupGridEh::CreateWnd() {
  inherited::CreateWnd();
  ApplyRowCount();
  UpdateVertScrollBar();
  // Without a window the columns could not be fitted yet.
  if (autoFitColWidths_) AutoFitColumns();
}
