// The operations this version does not carry yet. Each raises an error that names it, so that
// a caller never mistakes a missing piece for a finished one; an override whose own behaviour
// is not built yet keeps the inherited one. The table at the end calls every raising operation
// once, for the tests to check that each still names itself.
#include <stdexcept>

#include "grid/data/SharedTypesEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_detail {

std::string NotAvailableText(const char* Name) {
  return std::string(Name) + " is not available in this version";
}

void RaiseNotAvailable(const char* Name) {
  throw EInvalidGridOperationEh(NotAvailableText(Name));
}

}  // namespace dbgrid_detail

using dbgrid_detail::RaiseNotAvailable;

// --- TCustomDBGridEh: not available yet ---

void TCustomDBGridEh::ForwardBoolOperation(bool) {
  RaiseNotAvailable("TCustomDBGridEh.ForwardBoolOperation");
}
bool TCustomDBGridEh::ForEachSelectedRecord(bool, int) {
  RaiseNotAvailable("TCustomDBGridEh.ForEachSelectedRecord");
}
void TCustomDBGridEh::ApplySorting() {
  RaiseNotAvailable("TCustomDBGridEh.ApplySorting");
}
void TCustomDBGridEh::DrawDataGroupRow(int, int, int, int, TCellAreaTypeEh, const TRect&, TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawDataGroupRow");
}
void TCustomDBGridEh::DrawDataRowGroupIndent(int, int, const TRect&, TGridDrawState, int) {
  RaiseNotAvailable("TCustomDBGridEh.DrawDataRowGroupIndent");
}
void TCustomDBGridEh::DrawDataGroupFooterCell(int, int, int, int, TCellAreaTypeEh, const TRect&,
                                              TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawDataGroupFooterCell");
}
void TCustomDBGridEh::DrawTreeArea(int, int, const TRect&, TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawTreeArea");
}
void TCustomDBGridEh::OutBoundaryMouseDown(TMouseButton, TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.OutBoundaryMouseDown");
}
void TCustomDBGridEh::HotTrackChanged() {
  RaiseNotAvailable("TCustomDBGridEh.HotTrackChanged");
}
void TCustomDBGridEh::DrawRowPanelTitleCell(int, int, int, int, TCellAreaTypeEh, const TRect&,
                                            TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawRowPanelTitleCell");
}
void TCustomDBGridEh::DrawRowPanelDataCell(int, int, int, int, TCellAreaTypeEh, const TRect&,
                                           TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawRowPanelDataCell");
}
void TCustomDBGridEh::DrawRowPanelFooterCell(int, int, int, int, TCellAreaTypeEh, const TRect&,
                                             TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawRowPanelFooterCell");
}
int TCustomDBGridEh::DrawRowDetailButton(const TRect&) {
  RaiseNotAvailable("TCustomDBGridEh.DrawRowDetailButton");
}
void TCustomDBGridEh::ScrollBarPanelScroll(TObject*, TScrollCode, int&) {
  RaiseNotAvailable("TCustomDBGridEh.ScrollBarPanelScroll");
}
TColor TCustomDBGridEh::GetToolStripTextColor() {
  RaiseNotAvailable("TCustomDBGridEh.GetToolStripTextColor");
}
void TCustomDBGridEh::SetCopyMenuHint(const std::string&) {
  RaiseNotAvailable("TCustomDBGridEh.SetCopyMenuHint");
}
void TCustomDBGridEh::SelectionAggregates(Variant&, Variant&, Variant&, Variant&, Variant&) {
  RaiseNotAvailable("TCustomDBGridEh.SelectionAggregates");
}
void TCustomDBGridEh::DefaultCellMouseDown(const TGridCoord&, TMouseButton, TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.DefaultCellMouseDown");
}
int TCustomDBGridEh::TitleHitTest(int, int, TColumnEh*, const TRect&, TPoint) {
  RaiseNotAvailable("TCustomDBGridEh.TitleHitTest");
}
bool TCustomDBGridEh::TitleEdgeHitTest(int, int) {
  RaiseNotAvailable("TCustomDBGridEh.TitleEdgeHitTest");
}
void TCustomDBGridEh::DragAutoScroll() {
  RaiseNotAvailable("TCustomDBGridEh.DragAutoScroll");
}
void TCustomDBGridEh::StartRowDragTimer(int) {
  RaiseNotAvailable("TCustomDBGridEh.StartRowDragTimer");
}
void TCustomDBGridEh::StopRowDragTimer() {
  RaiseNotAvailable("TCustomDBGridEh.StopRowDragTimer");
}
void TCustomDBGridEh::GroupRowKeyDown(WORD&, TShiftState) {
  RaiseNotAvailable("TCustomDBGridEh.GroupRowKeyDown");
}
void TCustomDBGridEh::GroupFooterKeyDown(WORD&, TShiftState) {
  RaiseNotAvailable("TCustomDBGridEh.GroupFooterKeyDown");
}
void GridCutAction(TCustomDBGridEh*, bool) {
  RaiseNotAvailable("GridCutAction");
}
void GridCopyAction(TCustomDBGridEh*, bool) {
  RaiseNotAvailable("GridCopyAction");
}
void GridPasteAction(TCustomDBGridEh*, bool) {
  RaiseNotAvailable("GridPasteAction");
}
void GridDeleteAction(TCustomDBGridEh*, bool) {
  RaiseNotAvailable("GridDeleteAction");
}
void TCustomDBGridEh::WMGetDlgCode(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.WMGetDlgCode");
}
void TCustomDBGridEh::CMHintShowPause(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMHintShowPause");
}
void TCustomDBGridEh::CMDesignHitTest(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMDesignHitTest");
}
void TCustomDBGridEh::CMCancelMode(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMCancelMode");
}
void TCustomDBGridEh::CMChanged(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMChanged");
}
void TCustomDBGridEh::ApplyFilter() {
  RaiseNotAvailable("TCustomDBGridEh.ApplyFilter");
}
void TCustomDBGridEh::ClearFilter() {
  RaiseNotAvailable("TCustomDBGridEh.ClearFilter");
}
bool TCustomDBGridEh::CanEditFilterCell(int) {
  RaiseNotAvailable("TCustomDBGridEh.CanEditFilterCell");
}
void TCustomDBGridEh::StartFilterEdit(int) {
  RaiseNotAvailable("TCustomDBGridEh.StartFilterEdit");
}
void TCustomDBGridEh::StopFilterEdit() {
  RaiseNotAvailable("TCustomDBGridEh.StopFilterEdit");
}
void TCustomDBGridEh::MoveFilterEditCol(bool, bool) {
  RaiseNotAvailable("TCustomDBGridEh.MoveFilterEditCol");
}
bool TCustomDBGridEh::IsFilterRow(int) {
  RaiseNotAvailable("TCustomDBGridEh.IsFilterRow");
}
void TCustomDBGridEh::TakeFilterEditorValue() {
  RaiseNotAvailable("TCustomDBGridEh.TakeFilterEditorValue");
}
void TCustomDBGridEh::HideFilterEditor() {
  RaiseNotAvailable("TCustomDBGridEh.HideFilterEditor");
}
void TCustomDBGridEh::PlaceFilterEditor(bool) {
  RaiseNotAvailable("TCustomDBGridEh.PlaceFilterEditor");
}
void TCustomDBGridEh::PrepareFilterEditor(TColumnEh*) {
  RaiseNotAvailable("TCustomDBGridEh.PrepareFilterEditor");
}
void TCustomDBGridEh::FilterEditKeyPress(TObject*, char32_t&) {
  RaiseNotAvailable("TCustomDBGridEh.FilterEditKeyPress");
}
void TCustomDBGridEh::FilterEditDropDown(TObject*) {
  RaiseNotAvailable("TCustomDBGridEh.FilterEditDropDown");
}
void TCustomDBGridEh::FilterEditCloseUp(TObject*, bool) {
  RaiseNotAvailable("TCustomDBGridEh.FilterEditCloseUp");
}
void TCustomDBGridEh::FilterEditChangeNotify(TObject*, int) {
  RaiseNotAvailable("TCustomDBGridEh.FilterEditChangeNotify");
}
void TCustomDBGridEh::STFilterChanged(TColumnEh*) {
  RaiseNotAvailable("TCustomDBGridEh.STFilterChanged");
}
void TCustomDBGridEh::DropDownTitleFilter(TColumnEh*) {
  RaiseNotAvailable("TCustomDBGridEh.DropDownTitleFilter");
}
void TCustomDBGridEh::CloseTitleFilter(bool) {
  RaiseNotAvailable("TCustomDBGridEh.CloseTitleFilter");
}
TColumnEh* TCustomDBGridEh::ColumnByFieldNameForFilter(const std::string&) {
  RaiseNotAvailable("TCustomDBGridEh.ColumnByFieldNameForFilter");
}
TInplaceFilterEditEh* TCustomDBGridEh::CreateFilterEditor() {
  RaiseNotAvailable("TCustomDBGridEh.CreateFilterEditor");
}
bool TCustomDBGridEh::CanShowFilterEditor() {
  RaiseNotAvailable("TCustomDBGridEh.CanShowFilterEditor");
}
void TCustomDBGridEh::SetColumnFilterText(int) {
  RaiseNotAvailable("TCustomDBGridEh.SetColumnFilterText");
}
void TCustomDBGridEh::SetSearchMode(bool) {
  RaiseNotAvailable("TCustomDBGridEh.SetSearchMode");
}
void TCustomDBGridEh::ApplySearchFilter(const std::string&) {
  RaiseNotAvailable("TCustomDBGridEh.ApplySearchFilter");
}
void TCustomDBGridEh::CancelSearchFilter() {
  RaiseNotAvailable("TCustomDBGridEh.CancelSearchFilter");
}
void TCustomDBGridEh::CheckSearchFilterDataSet() {
  RaiseNotAvailable("TCustomDBGridEh.CheckSearchFilterDataSet");
}
void TCustomDBGridEh::SearchFilterRecord(TDataSet*, bool&) {
  RaiseNotAvailable("TCustomDBGridEh.SearchFilterRecord");
}
void TCustomDBGridEh::ExecuteFindDialog(const std::string&, TColumnEh*, bool) {
  RaiseNotAvailable("TCustomDBGridEh.ExecuteFindDialog");
}
bool TCustomDBGridEh::StartRecordMoving(int, int, bool) {
  RaiseNotAvailable("TCustomDBGridEh.StartRecordMoving");
}
bool TCustomDBGridEh::CanStartRecordMoving(int&, int&, const TPoint&) {
  RaiseNotAvailable("TCustomDBGridEh.CanStartRecordMoving");
}
int TCustomDBGridEh::GetRecordMovingTarget(int, const TPoint&, TRect&) {
  RaiseNotAvailable("TCustomDBGridEh.GetRecordMovingTarget");
}
void TCustomDBGridEh::UpdateRecordMoving(int, int) {
  RaiseNotAvailable("TCustomDBGridEh.UpdateRecordMoving");
}
void TCustomDBGridEh::EndRecordMoving(bool) {
  RaiseNotAvailable("TCustomDBGridEh.EndRecordMoving");
}
bool TCustomDBGridEh::DoMoveRecords(TBMListEh*, int, bool) {
  RaiseNotAvailable("TCustomDBGridEh.DoMoveRecords");
}
bool TCustomDBGridEh::DefaultMoveRecords(TBMListEh*, int, bool) {
  RaiseNotAvailable("TCustomDBGridEh.DefaultMoveRecords");
}
void TCustomDBGridEh::OptimizeSelectedColsWidth(TColumnEh*) {
  RaiseNotAvailable("TCustomDBGridEh.OptimizeSelectedColsWidth");
}
void TCustomDBGridEh::PaintTreeArea(TCanvas*, const TRect&, bool, bool) {
  RaiseNotAvailable("TCustomDBGridEh.PaintTreeArea");
}
void TCustomDBGridEh::DrawTreeElementMirrored(TCanvas*, const TRect&, int, TTreeViewGlyphStyleEh, bool) {
  RaiseNotAvailable("TCustomDBGridEh.DrawTreeElementMirrored");
}
void TCustomDBGridEh::DrawTreeElementInSlot(TCanvas*, const TRect&, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.DrawTreeElementInSlot");
}
void TCustomDBGridEh::MemTableRecordsChanged(TMemTableChangeKindEh, int) {
  RaiseNotAvailable("TCustomDBGridEh.MemTableRecordsChanged");
}
void TCustomDBGridEh::MemTableRecordMoved(int, int) {
  RaiseNotAvailable("TCustomDBGridEh.MemTableRecordMoved");
}
void TCustomDBGridEh::OwnRowsScroll(int, int) {
  RaiseNotAvailable("TCustomDBGridEh.OwnRowsScroll");
}
void TCustomDBGridEh::UpdateOwnRowsVertScrollBar() {
  RaiseNotAvailable("TCustomDBGridEh.UpdateOwnRowsVertScrollBar");
}
void TCustomDBGridEh::LimitTopRow() {
  RaiseNotAvailable("TCustomDBGridEh.LimitTopRow");
}
void TCustomDBGridEh::RequestRowsToFillView() {
  RaiseNotAvailable("TCustomDBGridEh.RequestRowsToFillView");
}
void TCustomDBGridEh::EnterRowRead(int) {
  RaiseNotAvailable("TCustomDBGridEh.EnterRowRead");
}
void TCustomDBGridEh::LeaveRowRead() {
  RaiseNotAvailable("TCustomDBGridEh.LeaveRowRead");
}
int TCustomDBGridEh::GetDataRowCount() {
  RaiseNotAvailable("TCustomDBGridEh.GetDataRowCount");
}
TGroupDataTreeNodeEh* TCustomDBGridEh::GetReadFlatNode() {
  RaiseNotAvailable("TCustomDBGridEh.GetReadFlatNode");
}
bool TCustomDBGridEh::IsCurrentRecordRow(int) {
  RaiseNotAvailable("TCustomDBGridEh.IsCurrentRecordRow");
}
void TCustomDBGridEh::FollowCurrentRecord(bool) {
  RaiseNotAvailable("TCustomDBGridEh.FollowCurrentRecord");
}
void TCustomDBGridEh::RefreshDataInterface() {
  RaiseNotAvailable("TCustomDBGridEh.RefreshDataInterface");
}
void TCustomDBGridEh::UpdateRowsLayoutForDataIntf() {
  RaiseNotAvailable("TCustomDBGridEh.UpdateRowsLayoutForDataIntf");
}
void TCustomDBGridEh::SetFlatRowHeight(int) {
  RaiseNotAvailable("TCustomDBGridEh.SetFlatRowHeight");
}
void TCustomDBGridEh::UpdateGroupFooterHeights() {
  RaiseNotAvailable("TCustomDBGridEh.UpdateGroupFooterHeights");
}
void TCustomDBGridEh::DrawDataGroupFooterIndent(int, int, bool, const TRect&, TGridDrawState, int) {
  RaiseNotAvailable("TCustomDBGridEh.DrawDataGroupFooterIndent");
}
bool TCustomDBGridEh::CheckDataGroupRowHighlight(TFont*, TColor&, int, TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.CheckDataGroupRowHighlight");
}
void TCustomDBGridEh::GotoRecordNode(int, bool) {
  RaiseNotAvailable("TCustomDBGridEh.GotoRecordNode");
}
void TCustomDBGridEh::SetCurrentNode(TGroupDataTreeNodeEh*, bool) {
  RaiseNotAvailable("TCustomDBGridEh.SetCurrentNode");
}
void TCustomDBGridEh::SelectVisibleNode(TGroupDataTreeNodeEh*, bool) {
  RaiseNotAvailable("TCustomDBGridEh.SelectVisibleNode");
}
void TCustomDBGridEh::SyncDataSetToCurrentNode() {
  RaiseNotAvailable("TCustomDBGridEh.SyncDataSetToCurrentNode");
}
int TCustomDBGridEh::GroupedMoveBy(int, bool) {
  RaiseNotAvailable("TCustomDBGridEh.GroupedMoveBy");
}
bool TCustomDBGridEh::IsGroupingWorking() {
  RaiseNotAvailable("TCustomDBGridEh.IsGroupingWorking");
}
bool TCustomDBGridEh::UpdateTopOutBoundaryHeight() {
  RaiseNotAvailable("TCustomDBGridEh.UpdateTopOutBoundaryHeight");
}
void TCustomDBGridEh::DrawGroupingPanelItem(const TRect&, TDBGridEhDataGroupLevelEh*) {
  RaiseNotAvailable("TCustomDBGridEh.DrawGroupingPanelItem");
}
void TCustomDBGridEh::GroupingPanelMouseDown(TMouseButton, TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.GroupingPanelMouseDown");
}
void TCustomDBGridEh::BeginGroupingPanelDrag() {
  RaiseNotAvailable("TCustomDBGridEh.BeginGroupingPanelDrag");
}
void TCustomDBGridEh::GetGroupingPanelDropPosition(int, int&, TPoint&, int&) {
  RaiseNotAvailable("TCustomDBGridEh.GetGroupingPanelDropPosition");
}
void TCustomDBGridEh::GroupingPanelDragMove(TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.GroupingPanelDragMove");
}
void TCustomDBGridEh::EndGroupingPanelDrag(TShiftState, int, bool, int) {
  RaiseNotAvailable("TCustomDBGridEh.EndGroupingPanelDrag");
}
void TCustomDBGridEh::GroupingPanelItemClick() {
  RaiseNotAvailable("TCustomDBGridEh.GroupingPanelItemClick");
}
int TCustomDBGridEh::GetRowDetailPanelKeepInViewRow() {
  RaiseNotAvailable("TCustomDBGridEh.GetRowDetailPanelKeepInViewRow");
}
int TCustomDBGridEh::GetRowDetailPanelLeft() {
  RaiseNotAvailable("TCustomDBGridEh.GetRowDetailPanelLeft");
}
int TCustomDBGridEh::DrawRowDetailPanelSign(int, const TRect&) {
  RaiseNotAvailable("TCustomDBGridEh.DrawRowDetailPanelSign");
}
int TCustomDBGridEh::RowPanelLineHeight() {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelLineHeight");
}
void TCustomDBGridEh::CalcRowPanelLayout() {
  RaiseNotAvailable("TCustomDBGridEh.CalcRowPanelLayout");
}
void TCustomDBGridEh::OrderColumnsByRowPanelPlaces() {
  RaiseNotAvailable("TCustomDBGridEh.OrderColumnsByRowPanelPlaces");
}
void TCustomDBGridEh::DrawRowPanelRow(int, const TRect&, TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawRowPanelRow");
}
TColumnEh* TCustomDBGridEh::RowPanelColumnAt(int, int) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelColumnAt");
}
void TCustomDBGridEh::RowPanelFocusColumn(int) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelFocusColumn");
}
void TCustomDBGridEh::RowPanelKeyDown(WORD&, TShiftState) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelKeyDown");
}
void TCustomDBGridEh::RowPanelCellMouseDown(TMouseButton, TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelCellMouseDown");
}
void TCustomDBGridEh::RowPanelTitleDrag(int, int) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelTitleDrag");
}
void TCustomDBGridEh::RowPanelColumnDragMove(TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelColumnDragMove");
}
void TCustomDBGridEh::RowPanelCellClick(TColumnEh*) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelCellClick");
}
void TCustomDBGridEh::RowPanelMouseMove(TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelMouseMove");
}
void TCustomDBGridEh::RowPanelMouseUp(TMouseButton, TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelMouseUp");
}
void TCustomDBGridEh::RowPanelColumnMoveEnd(bool) {
  RaiseNotAvailable("TCustomDBGridEh.RowPanelColumnMoveEnd");
}

// --- TCustomDBGridEh: overrides keeping the inherited behaviour ---

void TCustomDBGridEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
}
void TCustomDBGridEh::DrawTopOutBoundaryData(const TRect& ARect) {
  inherited::DrawTopOutBoundaryData(ARect);
}
bool TCustomDBGridEh::NeedGridBoundaryLine(bool Vertical) {
  return inherited::NeedGridBoundaryLine(Vertical);
}
bool TCustomDBGridEh::IsSmoothHorzScroll() {
  return inherited::IsSmoothHorzScroll();
}
bool TCustomDBGridEh::IsSmoothVertScroll() {
  return inherited::IsSmoothVertScroll();
}
void TCustomDBGridEh::OutBoundaryDataChanged() {
  inherited::OutBoundaryDataChanged();
}
int TCustomDBGridEh::ClampTopRow(int ARow, bool NoApply) {
  return inherited::ClampTopRow(ARow, NoApply);
}
void TCustomDBGridEh::FlatChanged() {
  inherited::FlatChanged();
}
void TCustomDBGridEh::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  inherited::FocusCell(ACol, ARow, MoveAnchor);
}
void TCustomDBGridEh::InvalidateHotTrackSpot(TGridHotTrackSpotEh* Spot) {
  inherited::InvalidateHotTrackSpot(Spot);
}
TWinControl* TCustomDBGridEh::GetOpenFilterDropDown() {
  return inherited::GetOpenFilterDropDown();
}
int TCustomDBGridEh::GetRowTreeIndent(int ARow) {
  return inherited::GetRowTreeIndent(ARow);
}
bool TCustomDBGridEh::IsDesignHitTest(int X, int Y) {
  return inherited::IsDesignHitTest(X, Y);
}
void TCustomDBGridEh::GetSizingLineRange(const TGridDrawInfoEh& DrawInfo, int& StartPos, int& EndPos) {
  inherited::GetSizingLineRange(DrawInfo, StartPos, EndPos);
}
bool TCustomDBGridEh::EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  return inherited::EndColumnDrag(Origin, Destination, MousePt);
}
bool TCustomDBGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  return inherited::DoMouseWheelDown(Shift, MousePos);
}
bool TCustomDBGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  return inherited::DoMouseWheelUp(Shift, MousePos);
}
void TCustomDBGridEh::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
}
void TCustomDBGridEh::WndProc(TMessage& Message) {
  inherited::WndProc(Message);
}
void TCustomDBGridEh::WMVScroll(TMessage& Message) {
  inherited::WMVScroll(Message);
}
void TCustomDBGridEh::WMHScroll(TMessage& Message) {
  inherited::WMHScroll(Message);
}
void TCustomDBGridEh::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
}
void TCustomDBGridEh::WMSetCursor(TMessage& Message) {
  inherited::WMSetCursor(Message);
}
void TCustomDBGridEh::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
}
void TCustomDBGridEh::WMCommand(TMessage& Message) {
  inherited::WMCommand(Message);
}
void TCustomDBGridEh::WMCancelMode(TMessage& Message) {
  inherited::WMCancelMode(Message);
}
void TCustomDBGridEh::WMRButtonDown(TMessage& Message) {
  inherited::WMRButtonDown(Message);
}
void TCustomDBGridEh::WMLButtonDown(TMessage& Message) {
  inherited::WMLButtonDown(Message);
}
void TCustomDBGridEh::WMWindowPosChanged(TMessage& Message) {
  inherited::WMWindowPosChanged(Message);
}
void TCustomDBGridEh::WMDeferredLayout(TMessage& Message) {
  inherited::WMDeferredLayout(Message);
}
void TCustomDBGridEh::CMMouseWheel(TMessage& Message) {
  inherited::CMMouseWheel(Message);
}
void TCustomDBGridEh::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
}
void TCustomDBGridEh::CMHintShow(TMessage& Message) {
  inherited::CMHintShow(Message);
}
void TCustomDBGridEh::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
}
void TCustomDBGridEh::SetFocus() {
  inherited::SetFocus();
}
bool TCustomDBGridEh::ExecuteAction(TBasicAction* Action) {
  return inherited::ExecuteAction(Action);
}
bool TCustomDBGridEh::UpdateAction(TBasicAction* Action) {
  return inherited::UpdateAction(Action);
}
bool TCustomDBGridEh::CanUpdateByAllowedOperations() {
  return inherited::CanUpdateByAllowedOperations();
}
TRect TCustomDBGridEh::GetEditRect(int ACol, int ARow) {
  return inherited::GetEditRect(ACol, ARow);
}
void TCustomDBGridEh::InvalidateEditor() {
  inherited::InvalidateEditor();
}
void TCustomDBGridEh::UpdateData() {
  inherited::UpdateData();
}
void TCustomDBGridEh::CancelEdit() {
  inherited::CancelEdit();
}
void TCustomDBGridEh::RecordChanged(TField* Field) {
  inherited::RecordChanged(Field);
}
void TCustomDBGridEh::InplaceEditKeyDown(TControl* Editor, Word& Key, TShiftState Shift) {
  inherited::InplaceEditKeyDown(Editor, Key, Shift);
}
void TCustomDBGridEh::SetCol(int Value) {
  inherited::SetCol(Value);
}

// --- TDBGridTitleParamsEh: not available yet ---

void TDBGridTitleParamsEh::DrawSortMarker(TCanvas*, const TRect&, TSortMarkerEh, TSortMarkerStyleEh, bool) {
  RaiseNotAvailable("TDBGridTitleParamsEh.DrawSortMarker");
}

// --- TSTDBGridEhFilter: not available yet ---

TFont* TSTDBGridEhFilter::GetParentFont() {
  RaiseNotAvailable("TSTDBGridEhFilter.GetParentFont");
}
TColor TSTDBGridEhFilter::GetActualColor() {
  RaiseNotAvailable("TSTDBGridEhFilter.GetActualColor");
}
TColor TSTDBGridEhFilter::GetActualHorzLineColor() {
  RaiseNotAvailable("TSTDBGridEhFilter.GetActualHorzLineColor");
}
TColor TSTDBGridEhFilter::GetActualVertLineColor() {
  RaiseNotAvailable("TSTDBGridEhFilter.GetActualVertLineColor");
}
void TSTDBGridEhFilter::RefreshDefaultFont() {
  RaiseNotAvailable("TSTDBGridEhFilter.RefreshDefaultFont");
}
int TSTDBGridEhFilter::GetRowHeight() {
  RaiseNotAvailable("TSTDBGridEhFilter.GetRowHeight");
}

// --- TDBGridEhSumList: overrides keeping the inherited behaviour ---

void TDBGridEhSumList::SetDataSetEvents() {
  inherited::SetDataSetEvents();
}
void TDBGridEhSumList::ResetDataSetEvents() {
  inherited::ResetDataSetEvents();
}
void TDBGridEhSumList::RecalcAll() {
  inherited::RecalcAll();
}

// --- TDBGridEhGroupingPanelEh: not available yet ---

TColor TDBGridEhGroupingPanelEh::GetColor() {
  RaiseNotAvailable("TDBGridEhGroupingPanelEh.GetColor");
}

// --- TDBGridEhDataGroupsEh: not available yet ---

TGroupDataTreeNodeEh* TDBGridEhDataGroupsEh::GetCurrentNode() {
  RaiseNotAvailable("TDBGridEhDataGroupsEh.GetCurrentNode");
}

// --- TDBGridEhDataGroupsEh: overrides keeping the inherited behaviour ---

TColor TDBGridEhDataGroupsEh::GetLevelDefaultColor() const {
  return inherited::GetLevelDefaultColor();
}
TFont* TDBGridEhDataGroupsEh::GetLevelDefaultFont() const {
  return inherited::GetLevelDefaultFont();
}
void TDBGridEhDataGroupsEh::ActiveChanged() {
  inherited::ActiveChanged();
}
void TDBGridEhDataGroupsEh::ActiveGroupingStructChanged() {
  inherited::ActiveGroupingStructChanged();
}
void TDBGridEhDataGroupsEh::InvalidateGrid() {
  inherited::InvalidateGrid();
}
void TDBGridEhDataGroupsEh::RebuildActiveGroupLevels() {
  inherited::RebuildActiveGroupLevels();
}
void TDBGridEhDataGroupsEh::ResortLevel(int LevelIndex, TSortOrderEh SortOrder) {
  inherited::ResortLevel(LevelIndex, SortOrder);
}
bool TDBGridEhDataGroupsEh::IsGroupingActive() const {
  return inherited::IsGroupingActive();
}

// --- TDBGridEhDataGroupLevelEh: not available yet ---

void TDBGridEhDataGroupLevelEh::GetGroupRowText(TGroupDataTreeNodeEh*, std::string&) {
  RaiseNotAvailable("TDBGridEhDataGroupLevelEh.GetGroupRowText");
}

// --- TDBGridEhDataGroupLevelEh: overrides keeping the inherited behaviour ---

Variant TDBGridEhDataGroupLevelEh::GetKeyValue() {
  return inherited::GetKeyValue();
}
std::string TDBGridEhDataGroupLevelEh::GetKeyValueAsText(const Variant& KeyValue) {
  return inherited::GetKeyValueAsText(KeyValue);
}
void TDBGridEhDataGroupLevelEh::InvalidateGrid() {
  inherited::InvalidateGrid();
}

// --- TRowDetailPanelEh: not available yet ---

bool TRowDetailPanelEh::ExpandButtonHitTest(int, int, const TRect&) {
  RaiseNotAvailable("TRowDetailPanelEh.ExpandButtonHitTest");
}
TColor TRowDetailPanelEh::GetActualColor() {
  RaiseNotAvailable("TRowDetailPanelEh.GetActualColor");
}

// --- TDBGridEhIndicatorTitle: not available yet ---

// --- TDBGridSearchPanelEh: not available yet ---

bool TDBGridSearchPanelEh::Visible() {
  RaiseNotAvailable("TDBGridSearchPanelEh.Visible");
}
void TDBGridSearchPanelEh::SetPanelShowing(bool) {
  RaiseNotAvailable("TDBGridSearchPanelEh.SetPanelShowing");
}
bool TDBGridSearchPanelEh::IsSearching() {
  RaiseNotAvailable("TDBGridSearchPanelEh.IsSearching");
}
void TDBGridSearchPanelEh::SetSearching(bool) {
  RaiseNotAvailable("TDBGridSearchPanelEh.SetSearching");
}
int TDBGridSearchPanelEh::GetHeightInGrid() {
  RaiseNotAvailable("TDBGridSearchPanelEh.GetHeightInGrid");
}
void TDBGridSearchPanelEh::FindNext() {
  RaiseNotAvailable("TDBGridSearchPanelEh.FindNext");
}
void TDBGridSearchPanelEh::FindPrior() {
  RaiseNotAvailable("TDBGridSearchPanelEh.FindPrior");
}
void TDBGridSearchPanelEh::SearchAsTyped() {
  RaiseNotAvailable("TDBGridSearchPanelEh.SearchAsTyped");
}

// --- TRowDetailPanelControlEh: not available yet ---

void TRowDetailPanelControlEh::WMNCHitTest(TMessage&) {
  RaiseNotAvailable("TRowDetailPanelControlEh.WMNCHitTest");
}
void TRowDetailPanelControlEh::WMNCCalcSize(TMessage&) {
  RaiseNotAvailable("TRowDetailPanelControlEh.WMNCCalcSize");
}
void TRowDetailPanelControlEh::WMNCPaint(TMessage&) {
  RaiseNotAvailable("TRowDetailPanelControlEh.WMNCPaint");
}
void TRowDetailPanelControlEh::WMSetCursor(TMessage&) {
  RaiseNotAvailable("TRowDetailPanelControlEh.WMSetCursor");
}
void TRowDetailPanelControlEh::WMNCLButtonDown(TMessage&) {
  RaiseNotAvailable("TRowDetailPanelControlEh.WMNCLButtonDown");
}
void TRowDetailPanelControlEh::WMContextMenu(TMessage&) {
  RaiseNotAvailable("TRowDetailPanelControlEh.WMContextMenu");
}
void TRowDetailPanelControlEh::CMChildKey(TMessage&) {
  RaiseNotAvailable("TRowDetailPanelControlEh.CMChildKey");
}

// --- TRowDetailPanelControlEh: overrides keeping the inherited behaviour ---

void TRowDetailPanelControlEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
}
void TRowDetailPanelControlEh::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
}
void TRowDetailPanelControlEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
}

// --- TDBGridSearchPanelControlEh: not available yet ---

void TDBGridSearchPanelControlEh::ButtonClick(int) {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.ButtonClick");
}
void TDBGridSearchPanelControlEh::ButtonMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.ButtonMouseDown");
}
void TDBGridSearchPanelControlEh::UpdateFilterButton(TObject*) {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.UpdateFilterButton");
}
int TDBGridSearchPanelControlEh::RealignControls(int, int) {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.RealignControls");
}
void TDBGridSearchPanelControlEh::SetInScrollBarPanel(bool) {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.SetInScrollBarPanel");
}
int TDBGridSearchPanelControlEh::GetPreferredHeight() {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.GetPreferredHeight");
}
int TDBGridSearchPanelControlEh::GetPreferredWidth(int) {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.GetPreferredWidth");
}
void TDBGridSearchPanelControlEh::FindNext() {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.FindNext");
}
void TDBGridSearchPanelControlEh::FindPrior() {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.FindPrior");
}
void TDBGridSearchPanelControlEh::ClearSearch() {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.ClearSearch");
}
void TDBGridSearchPanelControlEh::ApplyFilter() {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.ApplyFilter");
}
void TDBGridSearchPanelControlEh::UpdateButtonImages() {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.UpdateButtonImages");
}
void TDBGridSearchPanelControlEh::WMNCPaint(TMessage&) {
  RaiseNotAvailable("TDBGridSearchPanelControlEh.WMNCPaint");
}

// --- TDBGridSearchPanelControlEh: overrides keeping the inherited behaviour ---

void TDBGridSearchPanelControlEh::Paint() {
  inherited::Paint();
}
void TDBGridSearchPanelControlEh::Resize() {
  inherited::Resize();
}

// --- TDBGridEhScrollBarPanelControl: not available yet ---

void TDBGridEhScrollBarPanelControl::SetScrollParams(int, int, int, int) {
  RaiseNotAvailable("TDBGridEhScrollBarPanelControl.SetScrollParams");
}
void TDBGridEhScrollBarPanelControl::UpdateNavigatorLayout() {
  RaiseNotAvailable("TDBGridEhScrollBarPanelControl.UpdateNavigatorLayout");
}
void TDBGridEhScrollBarPanelControl::UpdateNavigatorButtonStates() {
  RaiseNotAvailable("TDBGridEhScrollBarPanelControl.UpdateNavigatorButtonStates");
}
void TDBGridEhScrollBarPanelControl::ScrollBarScroll(TObject*, TScrollCode, int&) {
  RaiseNotAvailable("TDBGridEhScrollBarPanelControl.ScrollBarScroll");
}

// --- TDBGridEhScrollBarPanelControl: overrides keeping the inherited behaviour ---

void TDBGridEhScrollBarPanelControl::Invalidate() {
  inherited::Invalidate();
}

// --- TSizeGripPanelEh: not available yet ---

bool TSizeGripPanelEh::IsGripActive() {
  RaiseNotAvailable("TSizeGripPanelEh.IsGripActive");
}
void TSizeGripPanelEh::WMSetCursor(TMessage&) {
  RaiseNotAvailable("TSizeGripPanelEh.WMSetCursor");
}

// --- TSizeGripPanelEh: overrides keeping the inherited behaviour ---

void TSizeGripPanelEh::Paint() {
  inherited::Paint();
}
void TSizeGripPanelEh::MouseDown(TMouseButton B, TShiftState S, int X, int Y) {
  inherited::MouseDown(B, S, X, Y);
}
void TSizeGripPanelEh::MouseMove(TShiftState S, int X, int Y) {
  inherited::MouseMove(S, X, Y);
}
void TSizeGripPanelEh::MouseUp(TMouseButton B, TShiftState S, int X, int Y) {
  inherited::MouseUp(B, S, X, Y);
}

// --- TDBGridInplaceEdit: overrides keeping the inherited behaviour ---

void TDBGridInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
}
void TDBGridInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
}

// --- TSTColumnFilterEh: not available yet ---

void TSTColumnFilterEh::Clear() {
  RaiseNotAvailable("TSTColumnFilterEh.Clear");
}
bool TSTColumnFilterEh::CanShowList() {
  RaiseNotAvailable("TSTColumnFilterEh.CanShowList");
}
std::string TSTColumnFilterEh::GetDataField() {
  RaiseNotAvailable("TSTColumnFilterEh.GetDataField");
}
Variant TSTColumnFilterEh::GetOperand1() {
  RaiseNotAvailable("TSTColumnFilterEh.GetOperand1");
}
Variant TSTColumnFilterEh::GetOperand2() {
  RaiseNotAvailable("TSTColumnFilterEh.GetOperand2");
}
void TSTColumnFilterEh::TranslatePickKeyOperands() {
  RaiseNotAvailable("TSTColumnFilterEh.TranslatePickKeyOperands");
}
std::string TSTColumnFilterEh::GetKeyField() {
  RaiseNotAvailable("TSTColumnFilterEh.GetKeyField");
}
TDataSet* TSTColumnFilterEh::GetListDataSet() {
  RaiseNotAvailable("TSTColumnFilterEh.GetListDataSet");
}
std::string TSTColumnFilterEh::GetListField() {
  RaiseNotAvailable("TSTColumnFilterEh.GetListField");
}
void TSTColumnFilterEh::UpdateExpressionFromText() {
  RaiseNotAvailable("TSTColumnFilterEh.UpdateExpressionFromText");
}
std::string TSTColumnFilterEh::GetOperandAsQuotedText(const Variant&, TSTFilterOpEh) {
  RaiseNotAvailable("TSTColumnFilterEh.GetOperandAsQuotedText");
}
void TSTColumnFilterEh::FillKeyAndListValues() {
  RaiseNotAvailable("TSTColumnFilterEh.FillKeyAndListValues");
}
IMemTableDataFieldValueListEh* TSTColumnFilterEh::GetListFieldValueList() {
  RaiseNotAvailable("TSTColumnFilterEh.GetListFieldValueList");
}
void TSTColumnFilterEh::CheckStatesFromExpression() {
  RaiseNotAvailable("TSTColumnFilterEh.CheckStatesFromExpression");
}
void TSTColumnFilterEh::SetExpressionFromCheckStates() {
  RaiseNotAvailable("TSTColumnFilterEh.SetExpressionFromCheckStates");
}

// --- the table of raising operations ---

namespace dbgrid_pending_detail {

// A part the grid makes itself; its absence is a fault of the grid, not a pending operation.
template <class T>
T* Part(T* Object) {
  if (!Object) throw std::logic_error("the grid lacks a part it should own");
  return Object;
}

// A column of the grid; one is added when the grid has none.
TColumnEh* AnyColumn(TCustomDBGridEh* Grid) {
  TDBGridColumnsEh* columns = Grid->Columns();
  return columns->Count() > 0 ? columns->GetColumn(0) : columns->Add();
}

}  // namespace dbgrid_pending_detail

// One entry: the operation's name and a call of it on the grid g.
#define DBGRID_PENDING_ENTRY(Name, ...)           \
  TDBGridEhPendingEntry {                         \
    Name, [](TCustomDBGridEh* g) { __VA_ARGS__; } \
  }

// --- TCustomDBGridEh: the cell painters and the cell questions they ask, not available yet ---

// Only a tree-view row has anything of its own under a press (its node sign); the press on
// that sign comes with the tree rows.
bool TCustomDBGridEh::ProcessCellMouseDown(int, int, bool) {
  if (!IsDataIntfAssigned() || !DataIntf()->IsTreeViewMode()) return false;
  RaiseNotAvailable("TCustomDBGridEh.ProcessCellMouseDown");
}
void TCustomDBGridEh::DrawSubTitleCell(int, int, int, int, TCellAreaTypeEh, const TRect&, TGridDrawState) {
  RaiseNotAvailable("TCustomDBGridEh.DrawSubTitleCell");
}
TRect TCustomDBGridEh::GetDataAreaRect() {
  RaiseNotAvailable("TCustomDBGridEh.GetDataAreaRect");
}

// --- operations that work while their feature is off and are not available once it is on ---

// The grouping panel takes room above the cells only while it shows.
void TCustomDBGridEh::CalcGroupingPanelLayout() {
  if (!DataGrouping()->GroupPanelVisible()) return;
  RaiseNotAvailable("TCustomDBGridEh.CalcGroupingPanelLayout");
}

void TCustomDBGridEh::UpdateRowDetailPanel() {
  if (!RowDetailPanel()->Active()) return;
  RaiseNotAvailable("TCustomDBGridEh.UpdateRowDetailPanel");
}

void TCustomDBGridEh::RefreshColumnSelection() {
  if (Selection()->SelectionType() != gstColumns) return;
  RaiseNotAvailable("TCustomDBGridEh.RefreshColumnSelection");
}

void TCustomDBGridEh::RestartFilterRowEdit() {
  if (!filterEditMode_) return;
  RaiseNotAvailable("TCustomDBGridEh.RestartFilterRowEdit");
}

void TSTColumnFilterEh::SetExpressionStr(const std::string& Value) {
  if (Value.empty()) {
    // No condition: nothing to parse.
    expressionStr_.clear();
    expression_ = TSTFilterExpressionEh();
    Changed();
    return;
  }
  RaiseNotAvailable("TSTColumnFilterEh.SetExpressionStr");
}

const std::vector<TDBGridEhPendingEntry>& TDBGridEhPendingTable::Entries() {
  using namespace dbgrid_pending_detail;
  // One entry a line.
  // clang-format off
  static const std::vector<TDBGridEhPendingEntry> entries{
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ForwardBoolOperation", g->ForwardBoolOperation(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ForEachSelectedRecord", g->ForEachSelectedRecord(false, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ApplySorting", g->ApplySorting()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataGroupRow", g->DrawDataGroupRow(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataRowGroupIndent", g->DrawDataRowGroupIndent(0, 0, TRect{}, TGridDrawState{}, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataGroupFooterCell", g->DrawDataGroupFooterCell(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawTreeArea", g->DrawTreeArea(0, 0, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.OutBoundaryMouseDown", g->OutBoundaryMouseDown(TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.HotTrackChanged", g->HotTrackChanged()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawRowPanelTitleCell", g->DrawRowPanelTitleCell(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawRowPanelDataCell", g->DrawRowPanelDataCell(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawRowPanelFooterCell", g->DrawRowPanelFooterCell(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawRowDetailButton", g->DrawRowDetailButton(TRect{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ScrollBarPanelScroll", int scrollPos{}; g->ScrollBarPanelScroll(nullptr, TScrollCode{}, scrollPos)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetToolStripTextColor", g->GetToolStripTextColor()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SetCopyMenuHint", g->SetCopyMenuHint("")),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SelectionAggregates", Variant sum{}; Variant count{}; Variant avg{}; Variant min{}; Variant max{}; g->SelectionAggregates(sum, count, avg, min, max)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DefaultCellMouseDown", g->DefaultCellMouseDown(TGridCoord{}, TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.TitleHitTest", g->TitleHitTest(0, 0, nullptr, TRect{}, TPoint{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.TitleEdgeHitTest", g->TitleEdgeHitTest(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DragAutoScroll", g->DragAutoScroll()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.StartRowDragTimer", g->StartRowDragTimer(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.StopRowDragTimer", g->StopRowDragTimer()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupRowKeyDown", WORD key{}; g->GroupRowKeyDown(key, TShiftState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupFooterKeyDown", WORD key{}; g->GroupFooterKeyDown(key, TShiftState{})),
    DBGRID_PENDING_ENTRY("GridCutAction", GridCutAction(g, false)),
    DBGRID_PENDING_ENTRY("GridCopyAction", GridCopyAction(g, false)),
    DBGRID_PENDING_ENTRY("GridPasteAction", GridPasteAction(g, false)),
    DBGRID_PENDING_ENTRY("GridDeleteAction", GridDeleteAction(g, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.WMGetDlgCode", TMessage message{}; g->WMGetDlgCode(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMHintShowPause", TMessage message{}; g->CMHintShowPause(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMDesignHitTest", TMessage message{}; g->CMDesignHitTest(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMCancelMode", TMessage message{}; g->CMCancelMode(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMChanged", TMessage message{}; g->CMChanged(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ApplyFilter", g->ApplyFilter()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ClearFilter", g->ClearFilter()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CanEditFilterCell", g->CanEditFilterCell(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.StartFilterEdit", g->StartFilterEdit(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.StopFilterEdit", g->StopFilterEdit()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.MoveFilterEditCol", g->MoveFilterEditCol(false, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.IsFilterRow", g->IsFilterRow(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.TakeFilterEditorValue", g->TakeFilterEditorValue()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.HideFilterEditor", g->HideFilterEditor()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.PlaceFilterEditor", g->PlaceFilterEditor(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.PrepareFilterEditor", g->PrepareFilterEditor(nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.FilterEditKeyPress", char32_t key{}; g->FilterEditKeyPress(nullptr, key)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.FilterEditDropDown", g->FilterEditDropDown(nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.FilterEditCloseUp", g->FilterEditCloseUp(nullptr, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.FilterEditChangeNotify", g->FilterEditChangeNotify(nullptr, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.STFilterChanged", g->STFilterChanged(nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DropDownTitleFilter", g->DropDownTitleFilter(nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CloseTitleFilter", g->CloseTitleFilter(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ColumnByFieldNameForFilter", g->ColumnByFieldNameForFilter("")),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CreateFilterEditor", g->CreateFilterEditor()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CanShowFilterEditor", g->CanShowFilterEditor()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SetColumnFilterText", g->SetColumnFilterText(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SetSearchMode", g->SetSearchMode(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ApplySearchFilter", g->ApplySearchFilter("")),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CancelSearchFilter", g->CancelSearchFilter()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CheckSearchFilterDataSet", g->CheckSearchFilterDataSet()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SearchFilterRecord", bool accept{}; g->SearchFilterRecord(nullptr, accept)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ExecuteFindDialog", g->ExecuteFindDialog("", nullptr, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.StartRecordMoving", g->StartRecordMoving(0, 0, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CanStartRecordMoving", int sourceRow{}; int targetRow{}; g->CanStartRecordMoving(sourceRow, targetRow, TPoint{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetRecordMovingTarget", TRect lineRect{}; g->GetRecordMovingTarget(0, TPoint{}, lineRect)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.UpdateRecordMoving", g->UpdateRecordMoving(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.EndRecordMoving", g->EndRecordMoving(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DoMoveRecords", g->DoMoveRecords(nullptr, 0, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DefaultMoveRecords", g->DefaultMoveRecords(nullptr, 0, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.OptimizeSelectedColsWidth", g->OptimizeSelectedColsWidth(nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.PaintTreeArea", g->PaintTreeArea(nullptr, TRect{}, false, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawTreeElementMirrored", g->DrawTreeElementMirrored(nullptr, TRect{}, 0, TTreeViewGlyphStyleEh{}, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawTreeElementInSlot", g->DrawTreeElementInSlot(nullptr, TRect{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.MemTableRecordsChanged", g->MemTableRecordsChanged(TMemTableChangeKindEh{}, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.MemTableRecordMoved", g->MemTableRecordMoved(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.OwnRowsScroll", g->OwnRowsScroll(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.UpdateOwnRowsVertScrollBar", g->UpdateOwnRowsVertScrollBar()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.LimitTopRow", g->LimitTopRow()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RequestRowsToFillView", g->RequestRowsToFillView()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.EnterRowRead", g->EnterRowRead(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.LeaveRowRead", g->LeaveRowRead()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetDataRowCount", g->GetDataRowCount()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetReadFlatNode", g->GetReadFlatNode()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.IsCurrentRecordRow", g->IsCurrentRecordRow(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.FollowCurrentRecord", g->FollowCurrentRecord(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RefreshDataInterface", g->RefreshDataInterface()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.UpdateRowsLayoutForDataIntf", g->UpdateRowsLayoutForDataIntf()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SetFlatRowHeight", g->SetFlatRowHeight(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.UpdateGroupFooterHeights", g->UpdateGroupFooterHeights()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataGroupFooterIndent", g->DrawDataGroupFooterIndent(0, 0, false, TRect{}, TGridDrawState{}, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CheckDataGroupRowHighlight", TColor background{}; g->CheckDataGroupRowHighlight(nullptr, background, 0, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GotoRecordNode", g->GotoRecordNode(0, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SetCurrentNode", g->SetCurrentNode(nullptr, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SelectVisibleNode", g->SelectVisibleNode(nullptr, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SyncDataSetToCurrentNode", g->SyncDataSetToCurrentNode()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupedMoveBy", g->GroupedMoveBy(0, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.IsGroupingWorking", g->IsGroupingWorking()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.UpdateTopOutBoundaryHeight", g->UpdateTopOutBoundaryHeight()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawGroupingPanelItem", g->DrawGroupingPanelItem(TRect{}, nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupingPanelMouseDown", g->GroupingPanelMouseDown(TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.BeginGroupingPanelDrag", g->BeginGroupingPanelDrag()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetGroupingPanelDropPosition", int index{}; TPoint markerPos{}; int markerHeight{}; g->GetGroupingPanelDropPosition(0, index, markerPos, markerHeight)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupingPanelDragMove", g->GroupingPanelDragMove(TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.EndGroupingPanelDrag", g->EndGroupingPanelDrag(TShiftState{}, 0, false, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupingPanelItemClick", g->GroupingPanelItemClick()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetRowDetailPanelKeepInViewRow", g->GetRowDetailPanelKeepInViewRow()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetRowDetailPanelLeft", g->GetRowDetailPanelLeft()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawRowDetailPanelSign", g->DrawRowDetailPanelSign(0, TRect{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelLineHeight", g->RowPanelLineHeight()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CalcRowPanelLayout", g->CalcRowPanelLayout()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.OrderColumnsByRowPanelPlaces", g->OrderColumnsByRowPanelPlaces()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawRowPanelRow", g->DrawRowPanelRow(0, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelColumnAt", g->RowPanelColumnAt(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelFocusColumn", g->RowPanelFocusColumn(0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelKeyDown", WORD key{}; g->RowPanelKeyDown(key, TShiftState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelCellMouseDown", g->RowPanelCellMouseDown(TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelTitleDrag", g->RowPanelTitleDrag(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelColumnDragMove", g->RowPanelColumnDragMove(TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelCellClick", g->RowPanelCellClick(nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelMouseMove", g->RowPanelMouseMove(TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelMouseUp", g->RowPanelMouseUp(TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RowPanelColumnMoveEnd", g->RowPanelColumnMoveEnd(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CalcGroupingPanelLayout",
                         TScopeExit hide([g] { g->DataGrouping()->SetGroupPanelVisible(false); });
                         g->DataGrouping()->SetGroupPanelVisible(true); g->CalcGroupingPanelLayout()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.UpdateRowDetailPanel",
                         TScopeExit off([g] { g->RowDetailPanel()->SetActive(false); });
                         g->RowDetailPanel()->SetActive(true); g->UpdateRowDetailPanel()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RefreshColumnSelection",
                         TScopeExit clear([g] { g->Selection()->Clear(); });
                         g->Selection()->SetSelectionType(gstColumns); g->RefreshColumnSelection()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.RestartFilterRowEdit", TValueRestorer<bool> on(g->filterEditMode_, true);
                         g->RestartFilterRowEdit()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawSubTitleCell", g->DrawSubTitleCell(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetDataAreaRect", g->GetDataAreaRect()),
    DBGRID_PENDING_ENTRY("TDBGridTitleParamsEh.DrawSortMarker", g->TitleParams()->DrawSortMarker(nullptr, TRect{}, TSortMarkerEh{}, TSortMarkerStyleEh{}, false)),
    DBGRID_PENDING_ENTRY("TSTDBGridEhFilter.GetParentFont", Part(g->STFilter())->GetParentFont()),
    DBGRID_PENDING_ENTRY("TSTDBGridEhFilter.GetActualColor", Part(g->STFilter())->GetActualColor()),
    DBGRID_PENDING_ENTRY("TSTDBGridEhFilter.GetActualHorzLineColor", Part(g->STFilter())->GetActualHorzLineColor()),
    DBGRID_PENDING_ENTRY("TSTDBGridEhFilter.GetActualVertLineColor", Part(g->STFilter())->GetActualVertLineColor()),
    DBGRID_PENDING_ENTRY("TSTDBGridEhFilter.RefreshDefaultFont", Part(g->STFilter())->RefreshDefaultFont()),
    DBGRID_PENDING_ENTRY("TSTDBGridEhFilter.GetRowHeight", Part(g->STFilter())->GetRowHeight()),
    DBGRID_PENDING_ENTRY("TDBGridEhGroupingPanelEh.GetColor", Part(g->DataGrouping())->GroupPanel()->GetColor()),
    DBGRID_PENDING_ENTRY("TDBGridEhDataGroupsEh.GetCurrentNode", Part(g->DataGrouping())->GetCurrentNode()),
    DBGRID_PENDING_ENTRY("TDBGridEhDataGroupLevelEh.GetGroupRowText", TDBGridEhDataGroupLevelEh level(nullptr); std::string text{}; level.GetGroupRowText(nullptr, text)),
    DBGRID_PENDING_ENTRY("TRowDetailPanelEh.ExpandButtonHitTest", Part(g->RowDetailPanel())->ExpandButtonHitTest(0, 0, TRect{})),
    DBGRID_PENDING_ENTRY("TRowDetailPanelEh.GetActualColor", Part(g->RowDetailPanel())->GetActualColor()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.Visible", Part(g->SearchPanel())->Visible()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.SetPanelShowing", Part(g->SearchPanel())->SetPanelShowing(false)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.IsSearching", Part(g->SearchPanel())->IsSearching()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.SetSearching", Part(g->SearchPanel())->SetSearching(false)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.GetHeightInGrid", Part(g->SearchPanel())->GetHeightInGrid()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.FindNext", Part(g->SearchPanel())->FindNext()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.FindPrior", Part(g->SearchPanel())->FindPrior()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelEh.SearchAsTyped", Part(g->SearchPanel())->SearchAsTyped()),
    DBGRID_PENDING_ENTRY("TRowDetailPanelControlEh.WMNCHitTest", TMessage m{}; Part(g->RowDetailPanelControl())->WMNCHitTest(m)),
    DBGRID_PENDING_ENTRY("TRowDetailPanelControlEh.WMNCCalcSize", TMessage m{}; Part(g->RowDetailPanelControl())->WMNCCalcSize(m)),
    DBGRID_PENDING_ENTRY("TRowDetailPanelControlEh.WMNCPaint", TMessage m{}; Part(g->RowDetailPanelControl())->WMNCPaint(m)),
    DBGRID_PENDING_ENTRY("TRowDetailPanelControlEh.WMSetCursor", TMessage m{}; Part(g->RowDetailPanelControl())->WMSetCursor(m)),
    DBGRID_PENDING_ENTRY("TRowDetailPanelControlEh.WMNCLButtonDown", TMessage m{}; Part(g->RowDetailPanelControl())->WMNCLButtonDown(m)),
    DBGRID_PENDING_ENTRY("TRowDetailPanelControlEh.WMContextMenu", TMessage m{}; Part(g->RowDetailPanelControl())->WMContextMenu(m)),
    DBGRID_PENDING_ENTRY("TRowDetailPanelControlEh.CMChildKey", TMessage m{}; Part(g->RowDetailPanelControl())->CMChildKey(m)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.ButtonClick", Part(g->searchPanelControl_)->ButtonClick(0)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.ButtonMouseDown", Part(g->searchPanelControl_)->ButtonMouseDown(nullptr, TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.UpdateFilterButton", Part(g->searchPanelControl_)->UpdateFilterButton(nullptr)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.RealignControls", Part(g->searchPanelControl_)->RealignControls(0, 0)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.SetInScrollBarPanel", Part(g->searchPanelControl_)->SetInScrollBarPanel(false)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.GetPreferredHeight", Part(g->searchPanelControl_)->GetPreferredHeight()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.GetPreferredWidth", Part(g->searchPanelControl_)->GetPreferredWidth(0)),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.FindNext", Part(g->searchPanelControl_)->FindNext()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.FindPrior", Part(g->searchPanelControl_)->FindPrior()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.ClearSearch", Part(g->searchPanelControl_)->ClearSearch()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.ApplyFilter", Part(g->searchPanelControl_)->ApplyFilter()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.UpdateButtonImages", Part(g->searchPanelControl_)->UpdateButtonImages()),
    DBGRID_PENDING_ENTRY("TDBGridSearchPanelControlEh.WMNCPaint", TMessage m{}; Part(g->searchPanelControl_)->WMNCPaint(m)),
    DBGRID_PENDING_ENTRY("TDBGridEhScrollBarPanelControl.SetScrollParams", Part(g->horzScrollBarPanelControl_)->SetScrollParams(0, 0, 0, 0)),
    DBGRID_PENDING_ENTRY("TDBGridEhScrollBarPanelControl.UpdateNavigatorLayout", Part(g->horzScrollBarPanelControl_)->UpdateNavigatorLayout()),
    DBGRID_PENDING_ENTRY("TDBGridEhScrollBarPanelControl.UpdateNavigatorButtonStates", Part(g->horzScrollBarPanelControl_)->UpdateNavigatorButtonStates()),
    DBGRID_PENDING_ENTRY("TDBGridEhScrollBarPanelControl.ScrollBarScroll", int pos{}; Part(g->horzScrollBarPanelControl_)->ScrollBarScroll(nullptr, TScrollCode{}, pos)),
    DBGRID_PENDING_ENTRY("TSizeGripPanelEh.IsGripActive", Part(g->cornerScrollBarPanelControl_)->IsGripActive()),
    DBGRID_PENDING_ENTRY("TSizeGripPanelEh.WMSetCursor", TMessage m{}; Part(g->cornerScrollBarPanelControl_)->WMSetCursor(m)),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.Clear", AnyColumn(g)->STFilter()->Clear()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.SetExpressionStr", AnyColumn(g)->STFilter()->SetExpressionStr("=1")),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.CanShowList", AnyColumn(g)->STFilter()->CanShowList()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetDataField", AnyColumn(g)->STFilter()->GetDataField()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetOperand1", AnyColumn(g)->STFilter()->GetOperand1()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetOperand2", AnyColumn(g)->STFilter()->GetOperand2()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.TranslatePickKeyOperands", AnyColumn(g)->STFilter()->TranslatePickKeyOperands()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetKeyField", AnyColumn(g)->STFilter()->GetKeyField()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetListDataSet", AnyColumn(g)->STFilter()->GetListDataSet()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetListField", AnyColumn(g)->STFilter()->GetListField()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.UpdateExpressionFromText", AnyColumn(g)->STFilter()->UpdateExpressionFromText()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetOperandAsQuotedText", AnyColumn(g)->STFilter()->GetOperandAsQuotedText(Variant{}, TSTFilterOpEh{})),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.FillKeyAndListValues", AnyColumn(g)->STFilter()->FillKeyAndListValues()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.GetListFieldValueList", AnyColumn(g)->STFilter()->GetListFieldValueList()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.CheckStatesFromExpression", AnyColumn(g)->STFilter()->CheckStatesFromExpression()),
    DBGRID_PENDING_ENTRY("TSTColumnFilterEh.SetExpressionFromCheckStates", AnyColumn(g)->STFilter()->SetExpressionFromCheckStates()),
  };
  // clang-format on
  return entries;
}

#undef DBGRID_PENDING_ENTRY
