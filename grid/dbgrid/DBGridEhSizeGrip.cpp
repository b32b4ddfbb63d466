// The size grip in the corner between the grid's scroll bars.
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"

RTL_IMPLEMENT_CLASS(TSizeGripPanelEh)

// --- TSizeGripPanelEh -------------------------------------------------------------------------

TSizeGripPanelEh::TSizeGripPanelEh(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
}

void TSizeGripPanelEh::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
}
