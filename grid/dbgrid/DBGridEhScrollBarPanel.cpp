// The scroll-bar strips of the data grid.
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhNavigator.h"

RTL_IMPLEMENT_CLASS(TControlScrollBarEh)
RTL_IMPLEMENT_CLASS(TDBGridEhScrollBarPanelControl)

TControlScrollBarEh::TControlScrollBarEh(TComponent* AOwner) : TScrollBar(AOwner) {}

void TControlScrollBarEh::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
}

// --- TDBGridEhScrollBarPanelControl -----------------------------------------------------------

TDBGridEhScrollBarPanelControl::TDBGridEhScrollBarPanelControl(TComponent* AOwner, TScrollBarKind AKind)
    : TCustomPanel(AOwner), kind_(AKind) {
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
}

TNavButtonSetEh TDBGridEhScrollBarPanelControl::NavigatorButtons() {
  return navigatorButtons_;
}

void TDBGridEhScrollBarPanelControl::SetNavigatorButtons(TNavButtonSetEh v) {
  if (navigatorButtons_ == v) return;
  navigatorButtons_ = v;
  if (navigator_ != nullptr) UpdateNavigatorLayout();
  Invalidate();
}

TGridSBItemsEh TDBGridEhScrollBarPanelControl::VisibleItems() {
  return visibleItems_;
}

void TDBGridEhScrollBarPanelControl::SetVisibleItems(TGridSBItemsEh v) {
  if (visibleItems_ == v) return;
  visibleItems_ = v;
  Invalidate();
}

void TDBGridEhScrollBarPanelControl::UpdateContent() {
  if (navigator_ != nullptr) {
    UpdateNavigatorLayout();
    UpdateNavigatorButtonStates();
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
}
