// The search strip.
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhNavigator.h"

RTL_IMPLEMENT_CLASS(TDBGridSearchPanelControlEh)

// --- TDBGridSearchPanelControlEh --------------------------------------------------------------

TDBGridSearchPanelControlEh::TDBGridSearchPanelControlEh(TCustomDBGridEh* AGrid)
    : TCustomControl(AGrid), grid_(AGrid) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  findEdit_ = new TNavFindEditEh(this);
  findEdit_->Grid = AGrid;
  findEdit_->SetParent(this);
  SetCaption("");
}

TNavFindEditEh* TDBGridSearchPanelControlEh::FindEdit() const {
  return findEdit_;
}

TNavFindButtonEh* TDBGridSearchPanelControlEh::Button(int Index) const {
  return Index >= 0 && Index < 4 ? buttons_[Index] : nullptr;
}

void TDBGridSearchPanelControlEh::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
}
