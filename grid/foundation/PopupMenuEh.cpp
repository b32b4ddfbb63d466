// The owner-drawn popup menu.
#include "grid/foundation/PopupMenuEh.h"

RTL_IMPLEMENT_CLASS(TPopupMenuEh)

TPopupMenuEh::TPopupMenuEh(TComponent* AOwner) : TPopupMenu(AOwner) {
  SetOwnerDraw(true);
}
