#include "grid/foundation/EditButtonRowEh.h"

#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/DropDownPlacementEh.h"

int SharedFlatButtonWidthEh() {
  if (FlatButtonWidth() <= 0) SetFlatButtonWidth(GetDefaultFlatButtonWidth());
  return FlatButtonWidth();
}

int EditButtonRowWidthEh(bool Visible, int OwnWidth, bool Flat) {
  if (!Visible) return 0;
  if (OwnWidth > 0) return OwnWidth;
  return Flat ? SharedFlatButtonWidthEh() : GetSystemMetrics(SM_CXVSCROLL);
}

void AssignEditButtonLookEh(TEditButtonControlEh* Control, TEditButtonEh* Item, bool Flat) {
  Control->SetVisible(Item->Visible());
  Control->SetEnabled(Item->Enabled());
  Control->SetStyle(Item->Style());
  Control->SetGlyph(Item->Glyph());
  Control->SetNumGlyphs(Item->NumGlyphs());
  Control->SetHint(Item->Hint());
  Control->SetButtonImages(Item->Images());
  Control->SetFlat(Flat);
}

void PopupEditButtonMenuEh(TPopupMenu* Menu, TEditButtonControlEh* Control) {
  if (!Menu || !Control) return;
  const bool right = Menu->Alignment() == paRight;
  const TPoint p = Control->ClientToScreen(TPoint{right ? Control->Width() : 0, Control->Height()});
  Menu->Popup(p.X, p.Y);
  // The menu loop took the release of the press that opened it; the click that closed the
  // menu must not press the button again. Released off the button: no click follows.
  PeekClickOnControl(Control);
  Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-1), static_cast<WORD>(-1)));
}
