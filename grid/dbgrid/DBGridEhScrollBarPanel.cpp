// The scroll-bar strips of the data grid: the strip's bar, the strip with its navigator, and the
// grid's side of the strip's scroll events.
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"

#include <algorithm>
#include <cstdint>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"
#include "grid/dbgrid/DBGridEhToolResources.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Messages.h"

RTL_IMPLEMENT_CLASS(TControlScrollBarEh)
RTL_IMPLEMENT_CLASS(TDBGridEhScrollBarPanelControl)

// --- TControlScrollBarEh ----------------------------------------------------------------------

TControlScrollBarEh::TControlScrollBarEh(TComponent* AOwner) : TScrollBar(AOwner) {}

void TControlScrollBarEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      // A click on the bar leaves the focus and the activation where they are.
      Message.Result = MA_NOACTIVATE;
      return;
    case CM_DESIGNHITTEST:
      Message.Result = 1;
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// --- TDBGridEhScrollBarPanelControl -----------------------------------------------------------

TDBGridEhScrollBarPanelControl::TDBGridEhScrollBarPanelControl(TComponent* AOwner, TScrollBarKind AKind)
    : TCustomPanel(AOwner), grid_(dynamic_cast<TCustomDBGridEh*>(AOwner)), kind_(AKind) {
  // The grid names the strip; the name is no caption.
  SetControlStyle(ControlStyle() - csSetCaption);
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);

  scrollBar_ = new TControlScrollBarEh(this);
  scrollBar_->SetKind(AKind);
  scrollBar_->SetCtl3D(false);
  scrollBar_->SetTabStop(false);
  scrollBar_->SetAlign(alClient);
  scrollBar_->OnScroll = TScrollEvent::Method(this, &TDBGridEhScrollBarPanelControl::ScrollBarScroll);
  scrollBar_->SetParent(this);

  navigator_ = new TDBGridEhNavigatorPanel(this);
  navigator_->SetAlign(alLeft);
  navigator_->SetBevelOuter(bvRaised);
  navigator_->SetBevelKind(bkFlat);
  navigator_->SetBevelEdges(TBevelEdges{beTop, beRight});
  navigator_->SetParentColor(true);
  navigator_->SetVisible(AKind == sbHorizontal);
  navigator_->SetGrid(grid_);
  navigator_->SetVisibleButtons(navigatorButtons_);
  navigator_->SetVisibleItems(visibleItems_);
  AssignNavigatorImages();
  navigator_->SetParent(this);
}

TNavButtonSetEh TDBGridEhScrollBarPanelControl::NavigatorButtons() {
  return navigatorButtons_;
}

void TDBGridEhScrollBarPanelControl::SetNavigatorButtons(TNavButtonSetEh v) {
  if (navigatorButtons_ == v) return;
  navigatorButtons_ = v;
  navigator_->SetVisibleButtons(v);
  RealignChildren();
}

TGridSBItemsEh TDBGridEhScrollBarPanelControl::VisibleItems() {
  return visibleItems_;
}

void TDBGridEhScrollBarPanelControl::SetVisibleItems(TGridSBItemsEh v) {
  if (visibleItems_ == v) return;
  visibleItems_ = v;
  navigator_->SetVisibleItems(v);
  RealignChildren();
}

void TDBGridEhScrollBarPanelControl::SetScrollParams(int Position, int Min, int PageSize, int Max) {
  const int64_t span = static_cast<int64_t>(Max) - Min;
  if (span <= 0 || span < PageSize) {
    scrollBar_->SetEnabled(false);
    return;
  }
  scrollBar_->SetEnabled(true);
  const int page = std::max(0, PageSize);
  if (scrollBar_->Min() == Min && scrollBar_->Max() == Max && scrollBar_->PageSize() == page &&
      scrollBar_->Position() == std::clamp(Position, Min, Max))
    return;
  // The bar refuses a page above its maximum and a maximum below its page: the page goes first
  // to nothing, then the range, then the page again.
  scrollBar_->SetPageSize(0);
  scrollBar_->SetParams(Position, Min, Max);
  scrollBar_->SetPageSize(page);
}

void TDBGridEhScrollBarPanelControl::Invalidate() {
  inherited::Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void TDBGridEhScrollBarPanelControl::UpdateNavigatorLayout() {
  if (kind_ == sbHorizontal) RealignChildren();
}

void TDBGridEhScrollBarPanelControl::UpdateNavigatorButtonStates() {
  if (kind_ == sbHorizontal) navigator_->UpdateButtonStates();
}

void TDBGridEhScrollBarPanelControl::UpdateContent() {
  if (kind_ == sbHorizontal && grid_) {
    if (navigator_->DataSource() != grid_->DataSource()) navigator_->SetDataSource(grid_->DataSource());
    // The theme switch may have changed since the last layout.
    AssignNavigatorImages();
    PlaceSearchPanel();
    RealignChildren();
    navigator_->UpdateButtonStates();
  }
  Invalidate();
}

TControlScrollBarEh* TDBGridEhScrollBarPanelControl::ScrollBar() const {
  return scrollBar_;
}

TDBGridEhNavigatorPanel* TDBGridEhScrollBarPanelControl::Navigator() const {
  return navigator_;
}

TScrollBarKind TDBGridEhScrollBarPanelControl::Kind() const {
  return kind_;
}

void TDBGridEhScrollBarPanelControl::Resize() {
  inherited::Resize();
  // The navigator's cap follows the strip's width.
  RealignChildren();
}

void TDBGridEhScrollBarPanelControl::ScrollBarScroll(TObject* Sender, TScrollCode Code, int& Pos) {
  if (grid_) grid_->ScrollBarPanelScroll(Sender, Code, Pos);
}

void TDBGridEhScrollBarPanelControl::RealignChildren() {
  if (realigning_ || !navigator_ || !navigator_->Visible()) return;
  TValueRestorer<bool> inLayout(realigning_, true);
  // Two arrows' room is left to the bar whatever the navigator wants.
  const int cap = std::max(0, Width() - 2 * GetSystemMetrics(SM_CYHSCROLL));
  const int width = std::clamp(navigator_->UpdateLayout(), 0, cap);
  if (navigator_->Width() != width) navigator_->SetWidth(width);
}

void TDBGridEhScrollBarPanelControl::AssignNavigatorImages() {
  TDBGridEhRes* res = DBGridEhRes();
  if (!res) return;
  if (ThemesEnabled())
    navigator_->SetImages(res->IMList10, res->IMList10D);
  else
    navigator_->SetImages(res->IMList10Bmp, res->IMList10DBmp);
}

void TDBGridEhScrollBarPanelControl::PlaceSearchPanel() {
  TDBGridSearchPanelControlEh* search = grid_->SearchPanelControl();
  if (!search) return;
  TDBGridSearchPanelEh* settings = grid_->SearchPanel();
  const bool here = settings->Location() == splHorzScrollBarExtraPanelEh && settings->Visible();
  if (!here) {
    if (navigator_->AttachedControl() != search) return;
    // Back to the grid, hidden: the grid's own placement takes it from there.
    navigator_->SetAttachedControl(nullptr);
    search->SetVisible(false);
    search->SetParent(grid_);
    search->SetInScrollBarPanel(false);
    grid_->UpdateSearchPanelLayout();
    return;
  }
  search->SetInScrollBarPanel(true);
  if (search->Parent() != navigator_) search->SetParent(navigator_);
  const int height = navigator_->ClientHeight();
  search->SetBounds(search->Left(), search->Top(), search->GetPreferredWidth(std::max(0, height - 1)),
                    height);
  search->SetVisible(true);
  if (navigator_->AttachedControl() != search) navigator_->SetAttachedControl(search);
}

// --- TCustomDBGridEh: the strip's scroll events -----------------------------------------------

void TCustomDBGridEh::ScrollBarPanelScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos) {
  auto* bar = dynamic_cast<TScrollBar*>(Sender);
  const TScrollBarKind kind = bar ? bar->Kind() : sbHorizontal;
  const LPARAM barWnd = bar && bar->HandleAllocated() ? reinterpret_cast<LPARAM>(bar->Handle()) : 0;
  Perform(kind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL,
          MAKEWPARAM(static_cast<WORD>(ScrollCode), static_cast<WORD>(ScrollPos)), barWnd);
  // The bar shows where the grid went, not where the press alone would have put the thumb.
  SCROLLINFO info{};
  info.cbSize = sizeof(SCROLLINFO);
  info.fMask = SIF_POS;
  ReadScrollBarPanelInfo(kind, info);
  ScrollPos = info.nPos;
}
