// The data grid's option sets and layout properties: how Options, OptionsEh and
// IndicatorOptions mirror each other and map onto the base grid's bits, the content sizes
// without grid lines, the 3D decision, timed scrolling and the small overrides that keep the
// grid in step with its data set, style and centre.
#include <vector>

#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Windows.h"

namespace dbgrid_options_detail {

constexpr const char* kFrozenColsTooLarge = "Frozen column count must be less than scrollable column count";

bool HasResizeAndMove(TDBGridEhOptions Options) {
  return Options.Contains(dghColumnResize) && Options.Contains(dghColumnMove);
}

// The members of Options whose change needs a new layout.
bool LayoutOptionsDiffer(TDBGridOptions A, TDBGridOptions B) {
  for (TDBGridOption o : {dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColLines, dgRowLines,
                          dgRowSelect, dgAlwaysShowSelection})
    if (A.Contains(o) != B.Contains(o)) return true;
  return false;
}

}  // namespace dbgrid_options_detail

using namespace dbgrid_options_detail;

// --- option sets ----------------------------------------------------------------------------------

TGridOptionsEh TCustomDBGridEh::BuildBaseOptions() const {
  // Thumb tracking is always on; the line, editing, tab and row-select bits follow Options.
  TGridOptionsEh base = dbgrid_detail::BaseOptionsFor(options_, TGridOptionsEh{goThumbTrackingEh});
  if (rowSizingAllowed_) base.Include(goRowSizingEh);
  if (optionsEh_.Contains(dghExtendVertLines)) base.Include(goExtendedVertLinesEh);
  if (optionsEh_.Contains(dghColumnResize)) base.Include(goColSizingEh);
  if (optionsEh_.Contains(dghColumnMove)) base.Include(goColMovingEh);
  return base;
}

void TCustomDBGridEh::ApplyBaseOptions() {
  TCustomGridEh::SetOptions(BuildBaseOptions());
}

void TCustomDBGridEh::SyncColumnResizeOptions(TDBGridOptions& NewOptions, TDBGridEhOptions& NewOptionsEh) {
  const bool wasResize = options_.Contains(dgColumnResize);
  const bool isResize = NewOptions.Contains(dgColumnResize);
  if (!wasResize && isResize) {
    NewOptionsEh.Include(dghColumnResize).Include(dghColumnMove);
  } else if (wasResize && !isResize) {
    NewOptionsEh.Exclude(dghColumnResize).Exclude(dghColumnMove);
  } else if (HasResizeAndMove(NewOptionsEh) && !HasResizeAndMove(optionsEh_)) {
    NewOptions.Include(dgColumnResize);
  } else if (!HasResizeAndMove(NewOptionsEh) && HasResizeAndMove(optionsEh_)) {
    NewOptions.Exclude(dgColumnResize);
  }
  if (NewOptions == options_ && NewOptions.Contains(dgColumnResize) && NewOptionsEh == optionsEh_) {
    optionsEh_.Include(dghColumnResize).Include(dghColumnMove);
    NewOptionsEh.Include(dghColumnResize).Include(dghColumnMove);
  }
}

void TCustomDBGridEh::SetOptions(TDBGridOptions Value) {
  if (Value == options_) return;
  // Row select and a shown editor exclude each other.
  if (Value.Contains(dgRowSelect)) Value.Exclude(dgEditing).Exclude(dgAlwaysShowEditor);
  const TDBGridOptions old = options_;
  if (old.Contains(dgMultiSelect) && !Value.Contains(dgMultiSelect) && selection_) selection_->Clear();
  if (!ComponentState().Contains(csLoading)) {
    TDBGridEhOptions eh = optionsEh_;
    SyncColumnResizeOptions(Value, eh);
    optionsEh_ = eh;
  }
  options_ = Value;
  if (Value.Contains(dgIndicator))
    indicatorOptions_.Include(gioShowRowIndicatorEh);
  else
    indicatorOptions_.Exclude(gioShowRowIndicatorEh);
  ApplyBaseOptions();
  if (LayoutOptionsDiffer(old, Value)) {
    UpdateIndicatorColWidth();
    LayoutChanged();
  }
  if (old.Contains(dgRowLines) != Value.Contains(dgRowLines) && IsDataIntfAssigned()) UpdateDataRowHeights();
  if (InplaceEditor() && EditorMode()) InvalidateEditor();
}

void TCustomDBGridEh::SetOptionsEh(TDBGridEhOptions Value) {
  if (Value == optionsEh_) return;
  const TDBGridEhOptions old = optionsEh_;
  if (old.Contains(dghMultiSortMarking) && !Value.Contains(dghMultiSortMarking)) {
    // Only the first sort-marked column keeps its marker.
    std::vector<TColumnEh*> marked;
    for (int i = 0; i < sortMarkedColumns_.Count(); ++i) marked.push_back(sortMarkedColumns_[i]);
    for (size_t i = 1; i < marked.size(); ++i)
      if (marked[i]) marked[i]->Title()->SetSortMarker(smNoneEh);
  }
  if (!ComponentState().Contains(csLoading)) {
    TDBGridOptions options = options_;
    SyncColumnResizeOptions(options, Value);
    options_ = options;
  }
  // Stored before the empty-space style changes: the style's setter puts dghExtendVertLines
  // back and must find nothing left to change.
  optionsEh_ = Value;
  if (Value.Contains(dghShowRecNo))
    indicatorOptions_.Include(gioShowRecNoEh);
  else
    indicatorOptions_.Exclude(gioShowRecNoEh);
  const bool wasExtended = old.Contains(dghExtendVertLines);
  const bool isExtended = Value.Contains(dghExtendVertLines);
  TDBAxisGridLineParamsEh* lines = TCustomDBAxisGridEh::GridLineParams();
  if (wasExtended != isExtended && lines) {
    const TDrawEmptySpaceStyle style = lines->VertEmptySpaceStyle();
    if (ComponentState().Contains(csLoading)) {
      if (!isExtended && style == dessGradiendEh) lines->SetVertEmptySpaceStyle(dessNonEh);
    } else if (isExtended && style == dessNonEh) {
      lines->SetVertEmptySpaceStyle(dessGradiendEh);
    } else if (!isExtended && style != dessNonEh) {
      lines->SetVertEmptySpaceStyle(dessNonEh);
    }
  }
  ApplyBaseOptions();
  UpdateIndicatorColWidth();
  if (old.Contains(dghAutoFitRowHeight) != Value.Contains(dghAutoFitRowHeight) && IsDataIntfAssigned())
    UpdateDataRowHeights();
  LayoutChanged();
}

void TCustomDBGridEh::SetIndicatorOptions(TDBGridEhIndicatorOptions Value) {
  if (Value == indicatorOptions_) return;
  indicatorOptions_ = Value;
  // The mirrors are set directly: the Options accessors would run their own rules.
  if (Value.Contains(gioShowRowIndicatorEh))
    options_.Include(dgIndicator);
  else
    options_.Exclude(dgIndicator);
  if (Value.Contains(gioShowRecNoEh))
    optionsEh_.Include(dghShowRecNo);
  else
    optionsEh_.Exclude(dghShowRecNo);
  UpdateIndicatorColWidth();
  LayoutChanged();
}

// --- layout properties ----------------------------------------------------------------------------

void TCustomDBGridEh::SetRowSizingAllowed(bool Value) {
  if (Value == rowSizingAllowed_) return;
  rowSizingAllowed_ = Value;
  ApplyBaseOptions();
}

void TCustomDBGridEh::SetAutoFitColWidths(bool Value) {
  if (Value == autoFitColWidths_) return;
  autoFitColWidths_ = Value;
  if (ComponentState().Contains(csDesigning)) return;
  TDBGridColumnsEh* columns = Columns();
  if (!Value) {
    columns->BeginUpdate();
    TScopeExit endUpdate([columns] { columns->EndUpdate(); });
    for (int i = 0; i < columns->Count(); ++i) {
      TColumnEh* column = columns->GetColumn(i);
      // A column that never had its width saved (fitting on from a stored form) keeps its width.
      if (column->SavedWidth() > 0) column->SetWidth(column->SavedWidth());
    }
  } else if (!ComponentState().Contains(csLoading)) {
    for (int i = 0; i < columns->Count(); ++i)
      columns->GetColumn(i)->SetSavedWidth(columns->GetColumn(i)->Width());
  }
  CalcHorzScrollExtent();
  if (Value && LeftCol() != FixedCols() && FixedCols() < ColCount()) SetLeftCol(FixedCols());
  LayoutChanged();
}

void TCustomDBGridEh::SetMinAutoFitWidth(int Value) {
  if (Value == minAutoFitWidth_) return;
  minAutoFitWidth_ = Value;
  LayoutChanged();
}

void TCustomDBGridEh::SetFooterRowCount(int Value) {
  if (Value < 0 || Value == footerRowCount_) return;
  footerRowCount_ = Value;
  RefreshDataInterface();
  if (DataGrouping()->IsGroupingActive()) DataGrouping()->RecalcFooters();
  LayoutChanged();
}

void TCustomDBGridEh::SetRowHeight(int Value) {
  Value = ClampControlSize(Value);
  if (Value == rowHeight_) return;
  rowHeight_ = Value;
  LayoutChanged();
  if (IsDataIntfAssigned()) UpdateDataRowHeights();
}

void TCustomDBGridEh::SetRowLines(int Value) {
  Value = ClampControlSize(Value);
  if (Value == rowLines_) return;
  rowLines_ = Value;
  LayoutChanged();
  if (IsDataIntfAssigned()) UpdateDataRowHeights();
}

void TCustomDBGridEh::SetFrozenCols(int Value) {
  if (Value < 0 || Value == FrozenCols()) return;
  if (!ComponentState().Contains(csLoading) && Value >= ColCount() - indicatorOffset_)
    throw EInvalidGridOperationEh(kFrozenColsTooLarge);
  TCustomGridEh::SetFrozenCols(Value);
  LayoutChanged();
}

// --- content sizes without the grid line ----------------------------------------------------------

int TCustomDBGridEh::DataColWidth(int ACol) {
  return ColWidths(ACol) - (options_.Contains(dgColLines) ? GridLineWidth() : 0);
}

void TCustomDBGridEh::SetDataColWidth(int ACol, int Value) {
  SetColWidths(ACol, Value + (options_.Contains(dgColLines) ? GridLineWidth() : 0));
}

int TCustomDBGridEh::DataRowHeight(int ARow) {
  return RowHeights(ARow) - (options_.Contains(dgRowLines) ? GridLineWidth() : 0);
}

void TCustomDBGridEh::SetDataRowHeight(int ARow, int Value) {
  SetRowHeights(ARow, Value + (options_.Contains(dgRowLines) ? GridLineWidth() : 0));
}

// The row layout hands this height to the base grid as it is (its margin holds the line already).
int TCustomDBGridEh::DefaultDataRowHeight() {
  return defaultDataRowHeight_;
}

void TCustomDBGridEh::SetDefaultDataRowHeight(int Value) {
  if (Value == defaultDataRowHeight_) return;
  defaultDataRowHeight_ = Value;
  LayoutChanged();
}

// --- answers --------------------------------------------------------------------------------------

bool TCustomDBGridEh::IsCell3D(int ACol, int ARow, TGridDrawState State, const TRect&) {
  const int dataCol = ACol - indicatorOffset_;
  const int dataRow = ARow - TopDataOffset();
  const int footers = GetTotalFooterRowCount();
  const int lastDataRow = GetFullRowCount() - TopDataOffset() - footers - 1;
  if (dataRow == -1 && GetSubtitleRowCount() > 0 && dataCol >= 0 && dataCol < visibleColumns_.Count()) {
    // A visible column filter has its own drop-down button, framed by the button itself.
    if (visibleColumns_[dataCol]->STFilter()->Visible()) return false;
  }
  if (State.Contains(gdFixed)) return optionsEh_.Contains(dghFixed3D) && (dataCol < 0 || dataRow < 0);
  if (optionsEh_.Contains(dghFooter3D) && footers > 0 && dataRow > lastDataRow) return true;
  if (optionsEh_.Contains(dghData3D) && (footers == 0 || dataRow <= lastDataRow)) return true;
  return optionsEh_.Contains(dghFrozen3D) && dataCol < FrozenCols() && dataRow >= 0 && ARow < RowCount();
}

bool TCustomDBGridEh::IsFocusedRowSelect() {
  return !ComponentState().Contains(csDesigning) && options_.Contains(dgRowSelect) && DefaultDrawing() &&
         Focused();
}

int TCustomDBGridEh::GetSubtitleRowCount() {
  return STFilter() && STFilter()->Visible() && STFilter()->Location() == stflUnderTitleFilterEh ? 1 : 0;
}

int TCustomDBGridEh::GetTitleRowCount() {
  return options_.Contains(dgTitles) ? 1 : 0;
}

// --- data link ------------------------------------------------------------------------------------

void TCustomDBGridEh::TimedScroll(TGridScrollDirections Direction) {
  if (!DataLink()->Active()) return;
  if (Direction.Contains(sdUp)) DataLink()->MoveBy(-(DataLink()->ActiveRecord() + 1));
  if (Direction.Contains(sdDown)) DataLink()->MoveBy(DataLink()->RecordCount() - DataLink()->ActiveRecord());
  TGridScrollDirections sideways;
  if (Direction.Contains(sdLeft)) sideways.Include(sdLeft);
  if (Direction.Contains(sdRight)) sideways.Include(sdRight);
  if (!sideways.Empty()) inherited::TimedScroll(sideways);
}

void TCustomDBGridEh::UpdateActive() {
  // Rows read through the table's interface follow its current record themselves.
  if (DataGrouping()->IsGroupingActive() || IsDataIntfAssigned()) return;
  if (!DataLink()->Active() || !HandleAllocated() || ComponentState().Contains(csLoading)) return;
  const int row = DataLink()->ActiveRecord() + TopDataOffset();
  if (row != Row() && row < RowCount()) {
    if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
    MoveColRow(Col(), row, false, false);
    InvalidateEditor();
  }
  TInplaceEdit* editor = InplaceEditor();
  if (editor && EditorMode() && editor->Text() != GetEditText(Col(), Row())) InvalidateEditor();
}

void TCustomDBGridEh::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  // Bookmarks of the old data set mean nothing to the new one.
  if (selection_) selection_->Clear();
  inherited::SetDataSource(Value);
  if (sumList_) sumList_->SetDataSet(Value ? Value->DataSet() : nullptr);
  RefreshDataInterface();
}

void TCustomDBGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  // A freed data set takes the search filter with it: nothing of it may be touched any more.
  if (Operation == opRemove && AComponent && AComponent == hookedDataSet_) {
    hookedDataSet_ = nullptr;
    savedFilterRecord_ = nullptr;
    setAsideFilter_.clear();
  }
  if (Operation == opRemove && AComponent && AComponent == filterItemDataSet_) {
    filterItemDataSet_ = nullptr;
    searchFilterItem_ = 0;
  }
  if (!hookedDataSet_ && searchFilterItem_ == 0) searchFilterActive_ = false;
  // A data set freed while closed leaves its interface behind without a word through the link.
  if (Operation == opRemove && AComponent && AComponent == dataIntfOwner_) {
    dataIntf_ = nullptr;
    dataIntfOwner_ = nullptr;
  }
  if (Operation != opRemove || ComponentState().Contains(csDestroying)) return;
  if (AComponent == titleImages_) SetTitleImages(nullptr);
  for (TDBGridEhScrollBar* bar :
       {static_cast<TDBGridEhScrollBar*>(horzScrollBar_.get()), vertScrollBar_.get()})
    if (bar && bar->ExtScrollBar() == AComponent) bar->SetExtScrollBar(nullptr);
  if (auto* dataSet = dynamic_cast<TDataSet*>(AComponent);
      dataSet && sumList_ && sumList_->DataSet() == dataSet) {
    UpdateRowsLayout();
    if (DataGrouping()->IsGroupingActive()) UpdateGroupingLayout();
    LayoutChanged();
  }
}

void TCustomDBGridEh::SelectionChanged() {
  if (ComponentState().Contains(csDestroying)) return;
  for (TDBGridEhScrollBarPanelControl* panel : {horzScrollBarPanelControl_, vertScrollBarPanelControl_})
    if (panel && panel->Showing()) panel->Invalidate();
  // The navigator's records info and aggregates follow the selection.
  if (horzScrollBarPanelControl_ && horzScrollBarPanelControl_->Showing())
    horzScrollBarPanelControl_->Navigator()->UpdateInfo();
  if (OnSelectionChanged) OnSelectionChanged(this);
}

void TCustomDBGridEh::ReadOnlyChanged() {
  if (horzScrollBarPanelControl_) horzScrollBarPanelControl_->UpdateNavigatorButtonStates();
}

// The square between two system scroll bars belongs to neither: the grid paints it.
void TCustomDBGridEh::DrawBorder() {
  inherited::DrawBorder();
  if (!HandleAllocated()) return;
  TDBGridEhScrollBar* horz = horzScrollBar_.get();
  TDBGridEhScrollBar* vert = vertScrollBar_.get();
  if (!horz || !vert || horz->ExtScrollBar() || vert->ExtScrollBar()) return;
  // Without external controls the window's own bars are the ones that show.
  const auto style = static_cast<DWORD>(GetWindowLong(Handle(), GWL_STYLE));
  if (!(style & WS_HSCROLL) || !(style & WS_VSCROLL)) return;
  RECT window{}, client{};
  GetWindowRect(Handle(), &window);
  ::GetClientRect(Handle(), &client);
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  const int left = origin.X - window.Left;
  const int top = origin.Y - window.Top;
  const int cx = GetSystemMetrics(SM_CXVSCROLL);
  const int cy = GetSystemMetrics(SM_CYHSCROLL);
  // The vertical bar sits on the left in right-to-left mode.
  const int x = UseRightToLeftAlignment() ? left - cx : left + client.Width();
  const RECT corner{x, top + client.Height(), x + cx, top + client.Height() + cy};
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  TScopeExit release([&] { ReleaseDC(Handle(), dc); });
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clBtnFace));
  TScopeExit free([&] { DeleteObject(brush); });
  FillRect(dc, &corner, brush);
}

// --- style and centre -----------------------------------------------------------------------------

void TCustomDBGridEh::SetCenter(TDBGridEhCenter* Value) {
  if (center_ == Value) return;
  if (center_) center_->UnregisterGrid(this);
  center_ = Value;
  if (center_) center_->RegisterGrid(this);
  Invalidate();
}

void TCustomDBGridEh::SetStyle(TDBGridEhStyle* Value) {
  // None means the process-wide default (none itself while that one is being destroyed).
  if (!Value) Value = DBGridEhDefaultStyle();
  if (style_ == Value) return;
  if (style_) style_->UnregisterGrid(this);
  style_ = Value;
  if (style_) style_->RegisterGrid(this);
  StyleChanged();
}

void TCustomDBGridEh::UseDefaultStyle() {
  SetStyle(nullptr);
}

void TCustomDBGridEh::StyleChanged() {
  LayoutChanged();
}
