// The parent's background under a transparent control: the parent erases and paints into the
// control's DC, shifted so that the control's client area shows the part of the parent under it.
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Messages.h"
#include "skin/WinSkinDraw.h"

void PaintParentBackground(TControl* Control, HDC DC) {
  if (!Control || !Control->Parent()) return;
  const TRect client = Control->ClientRect();
  const int saved = SaveDC(DC);
  TScopeExit restoreDC([DC, saved] { RestoreDC(DC, saved); });
  OffsetViewportOrgEx(DC, -Control->Left(), -Control->Top(), nullptr);
  // In the parent's coordinates from here on.
  IntersectClipRect(DC, Control->Left(), Control->Top(), Control->Left() + client.Width(),
                    Control->Top() + client.Height());
  TWinControl* parent = Control->Parent();
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
}
