#pragma once
// The popup menu of the editors' buttons and the grids: its entries are owner-drawn, each
// through its item's drawing (events or the default look), not by the system.
#include "platform/vcl/Menus.h"

class TPopupMenuEh : public TPopupMenu {
  RTL_CLASS(TPopupMenuEh, TPopupMenu)
 public:
  explicit TPopupMenuEh(TComponent* AOwner);
};
