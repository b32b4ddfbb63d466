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
void TCustomDBGridEh::CMDesignHitTest(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMDesignHitTest");
}
void TCustomDBGridEh::CMChanged(TMessage&) {
  RaiseNotAvailable("TCustomDBGridEh.CMChanged");
}

// --- TCustomDBGridEh: overrides keeping the inherited behaviour ---

void TCustomDBGridEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
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

// --- TDBGridEhIndicatorTitle: not available yet ---

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

const std::vector<TDBGridEhPendingEntry>& TDBGridEhPendingTable::Entries() {
  using namespace dbgrid_pending_detail;
  // One entry a line.
  // clang-format off
  static const std::vector<TDBGridEhPendingEntry> entries{
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ForwardBoolOperation", g->ForwardBoolOperation(false)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.ApplySorting", g->ApplySorting()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.HotTrackChanged", g->HotTrackChanged()),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.DefaultCellMouseDown", g->DefaultCellMouseDown(TGridCoord{}, TMouseButton{}, TShiftState{}, 0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.TitleHitTest", g->TitleHitTest(0, 0, nullptr, TRect{}, TPoint{})),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.TitleEdgeHitTest", g->TitleEdgeHitTest(0, 0)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMDesignHitTest", TMessage message{}; g->CMDesignHitTest(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.CMChanged", TMessage message{}; g->CMChanged(message)),
    DBGRID_PENDING_ENTRY("TCustomDBGridEh.GetDataAreaRect", g->GetDataAreaRect()),
    DBGRID_PENDING_ENTRY("TDBGridTitleParamsEh.DrawSortMarker", g->TitleParams()->DrawSortMarker(nullptr, TRect{}, TSortMarkerEh{}, TSortMarkerStyleEh{}, false)),
  };
  // clang-format on
  return entries;
}

#undef DBGRID_PENDING_ENTRY
