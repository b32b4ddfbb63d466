// The operations this version does not carry yet. Each raises an error that names it, so that
// a caller never mistakes a missing piece for a finished one; an override whose own behaviour
// is not built yet keeps the inherited one. The table at the end calls every raising operation
// once, for the tests to check that each still names itself.
#include <stdexcept>

#include "grid/data/SharedTypesEh.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
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
void TCustomDBGridEh::OutBoundaryMouseDown(TMouseButton, TShiftState, int, int) {
  RaiseNotAvailable("TCustomDBGridEh.OutBoundaryMouseDown");
}
void TCustomDBGridEh::HotTrackChanged() {
  RaiseNotAvailable("TCustomDBGridEh.HotTrackChanged");
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
bool ShowSimpleFilterDialog(TColumnEh*) {
  RaiseNotAvailable("ShowSimpleFilterDialog");
}
void TCustomDBGridEh::CMDesignHitTest(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMDesignHitTest");
}
void TCustomDBGridEh::CMChanged(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMChanged");
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

// --- TCustomDBGridEh: overrides keeping the inherited behaviour ---

void TCustomDBGridEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
}
void TCustomDBGridEh::DrawTopOutBoundaryData(const TRect& ARect) {
  inherited::DrawTopOutBoundaryData(ARect);
}
bool TCustomDBGridEh::IsSmoothVertScroll() {
  return inherited::IsSmoothVertScroll();
}
void TCustomDBGridEh::OutBoundaryDataChanged() {
  inherited::OutBoundaryDataChanged();
}
void TCustomDBGridEh::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  inherited::FocusCell(ACol, ARow, MoveAnchor);
}
TWinControl* TCustomDBGridEh::GetOpenFilterDropDown() {
  return inherited::GetOpenFilterDropDown();
}
bool TCustomDBGridEh::IsDesignHitTest(int X, int Y) {
  return inherited::IsDesignHitTest(X, Y);
}
bool TCustomDBGridEh::EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  return inherited::EndColumnDrag(Origin, Destination, MousePt);
}
void TCustomDBGridEh::WMVScroll(TMessage& Message) {
  inherited::WMVScroll(Message);
}
void TCustomDBGridEh::WMWindowPosChanged(TMessage& Message) {
  inherited::WMWindowPosChanged(Message);
}
void TCustomDBGridEh::WMDeferredLayout(TMessage& Message) {
  inherited::WMDeferredLayout(Message);
}
void TCustomDBGridEh::SetFocus() {
  inherited::SetFocus();
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
void TCustomDBGridEh::SetCol(int Value) {
  inherited::SetCol(Value);
}

// --- TDBGridTitleParamsEh: not available yet ---

void TDBGridTitleParamsEh::DrawSortMarker(TCanvas*, const TRect&, TSortMarkerEh, TSortMarkerStyleEh, bool) {
  RaiseNotAvailable("TDBGridTitleParamsEh.DrawSortMarker");
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

// --- TDBGridEhIndicatorTitle: not available yet ---

// --- TDBGridInplaceEdit: overrides keeping the inherited behaviour ---

void TDBGridInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
}
void TDBGridInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
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

TRect TCustomDBGridEh::GetDataAreaRect() {
  RaiseNotAvailable("TCustomDBGridEh.GetDataAreaRect");
}

// --- operations that work while their feature is off and are not available once it is on ---

// The grouping panel takes room above the cells only while it shows.
void TCustomDBGridEh::CalcGroupingPanelLayout() {
  if (!DataGrouping()->GroupPanelVisible()) return;
  RaiseNotAvailable("TCustomDBGridEh.CalcGroupingPanelLayout");
}
// The top strip holds the search strip shown there and, below it, the grouping panel.
bool TCustomDBGridEh::UpdateTopOutBoundaryHeight() {
  if (DataGrouping()->GroupPanelVisible()) RaiseNotAvailable("TCustomDBGridEh.UpdateTopOutBoundaryHeight");
  if (!HandleAllocated()) return false;
  const int height = SearchPanel()->GetHeightInGrid();
  if (OutBoundaryData()->TopIndent() == height) return false;
  OutBoundaryData()->SetTopIndent(height);
  return true;
}

const std::vector<TDBGridEhPendingEntry>& TDBGridEhPendingTable::Entries() {
  using namespace dbgrid_pending_detail;
  // One entry a line.
  // clang-format off
  static const std::vector<TDBGridEhPendingEntry> entries{
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ForwardBoolOperation", g->ForwardBoolOperation(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ApplySorting", g->ApplySorting()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataGroupRow", g->DrawDataGroupRow(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataRowGroupIndent", g->DrawDataRowGroupIndent(0, 0, TRect{}, TGridDrawState{}, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataGroupFooterCell", g->DrawDataGroupFooterCell(0, 0, 0, 0, TCellAreaTypeEh{}, TRect{}, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.OutBoundaryMouseDown", g->OutBoundaryMouseDown(TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.HotTrackChanged", g->HotTrackChanged()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DefaultCellMouseDown", g->DefaultCellMouseDown(TGridCoord{}, TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.TitleHitTest", g->TitleHitTest(0, 0, nullptr, TRect{}, TPoint{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.TitleEdgeHitTest", g->TitleEdgeHitTest(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupRowKeyDown", WORD key{}; g->GroupRowKeyDown(key, TShiftState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupFooterKeyDown", WORD key{}; g->GroupFooterKeyDown(key, TShiftState{})),
    DBGRID_PENDING_ENTRY("GridCutAction", GridCutAction(g, false)),
    DBGRID_PENDING_ENTRY("GridCopyAction", GridCopyAction(g, false)),
    DBGRID_PENDING_ENTRY("GridPasteAction", GridPasteAction(g, false)),
    DBGRID_PENDING_ENTRY("GridDeleteAction", GridDeleteAction(g, false)),
    DBGRID_PENDING_ENTRY("ShowSimpleFilterDialog", ShowSimpleFilterDialog(AnyColumn(g))),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMDesignHitTest", TMessage message{}; g->CMDesignHitTest(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMChanged", TMessage message{}; g->CMChanged(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawDataGroupFooterIndent", g->DrawDataGroupFooterIndent(0, 0, false, TRect{}, TGridDrawState{}, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CheckDataGroupRowHighlight", TColor background{}; g->CheckDataGroupRowHighlight(nullptr, background, 0, TGridDrawState{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GotoRecordNode", g->GotoRecordNode(0, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SetCurrentNode", g->SetCurrentNode(nullptr, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SelectVisibleNode", g->SelectVisibleNode(nullptr, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.SyncDataSetToCurrentNode", g->SyncDataSetToCurrentNode()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupedMoveBy", g->GroupedMoveBy(0, false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.IsGroupingWorking", g->IsGroupingWorking()),
    // Showing the grouping panel raises first, for its own layout.
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.UpdateTopOutBoundaryHeight",
                         TScopeExit hide([g] { g->DataGrouping()->SetGroupPanelVisible(false); });
                         try { g->DataGrouping()->SetGroupPanelVisible(true); } catch (const EInvalidGridOperationEh&) {}
                         g->UpdateTopOutBoundaryHeight()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DrawGroupingPanelItem", g->DrawGroupingPanelItem(TRect{}, nullptr)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupingPanelMouseDown", g->GroupingPanelMouseDown(TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.BeginGroupingPanelDrag", g->BeginGroupingPanelDrag()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetGroupingPanelDropPosition", int index{}; TPoint markerPos{}; int markerHeight{}; g->GetGroupingPanelDropPosition(0, index, markerPos, markerHeight)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupingPanelDragMove", g->GroupingPanelDragMove(TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.EndGroupingPanelDrag", g->EndGroupingPanelDrag(TShiftState{}, 0, false, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GroupingPanelItemClick", g->GroupingPanelItemClick()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CalcGroupingPanelLayout",
                         TScopeExit hide([g] { g->DataGrouping()->SetGroupPanelVisible(false); });
                         g->DataGrouping()->SetGroupPanelVisible(true); g->CalcGroupingPanelLayout()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetDataAreaRect", g->GetDataAreaRect()),
    DBGRID_PENDING_ENTRY("TDBGridTitleParamsEh.DrawSortMarker", g->TitleParams()->DrawSortMarker(nullptr, TRect{}, TSortMarkerEh{}, TSortMarkerStyleEh{}, false)),
    DBGRID_PENDING_ENTRY("TDBGridEhGroupingPanelEh.GetColor", Part(g->DataGrouping())->GroupPanel()->GetColor()),
    DBGRID_PENDING_ENTRY("TDBGridEhDataGroupsEh.GetCurrentNode", Part(g->DataGrouping())->GetCurrentNode()),
    DBGRID_PENDING_ENTRY("TDBGridEhDataGroupLevelEh.GetGroupRowText", TDBGridEhDataGroupLevelEh level(nullptr); std::string text{}; level.GetGroupRowText(nullptr, text)),
  };
  // clang-format on
  return entries;
}

#undef DBGRID_PENDING_ENTRY
