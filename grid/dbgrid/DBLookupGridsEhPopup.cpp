// The popup data grid: the lookup grid a column drops down under its cell editor. A top-level
// tool window that never takes the activation from the editor, with a size grip, hover selection,
// a row-changed event for the user's own moves and a close event on the mouse-up.
#include <algorithm>

#include "grid/dbgrid/DBLookupGridsEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TPopupDataGridEh)

bool PopupDropShadowByVersionEh(DWORD Version) {
  const int major = static_cast<int>(Version & 0xFF);
  const int minor = static_cast<int>((Version >> 8) & 0xFF);
  return major > 5 || (major == 5 && minor >= 1);
}

TPopupDataGridEh::TPopupDataGridEh(TComponent* AOwner) : TDBLookupGridEh(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csReplicatable);
  SetControlStyle(style);
  isPopup_ = true;
  sizeGrip_ = new TSizeGripEh(this);
  sizeGrip_->SetParent(this);
  sizeGrip_->SetTriangleShape(true);
  SetShowHint(true);
}

TPopupDataGridEh::~TPopupDataGridEh() = default;

void TPopupDataGridEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // A window of its own on the desktop: no control of a form holds it (CreateWnd takes it off
  // any it was made in), and staying topmost keeps it above the forms.
  Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD | WS_TABSTOP)) | WS_POPUP;
  if (!Flat() || ThemesEnabled()) Params.Style |= WS_BORDER;
  Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS | CS_HREDRAW;
  if (PopupDropShadowByVersionEh(GetVersion())) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TPopupDataGridEh::CreateWnd() {
  inherited::CreateWnd();
  ::SetParent(Handle(), nullptr);
  sizeGrip_->UpdatePosition();
}

void TPopupDataGridEh::SetSizeGripVisible(bool Value) {
  sizeGrip_->SetVisible(Value);
}

void TPopupDataGridEh::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      // A click in the list leaves the activation and the focus with the editor.
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_POPUPGRID_MOVE_SIZE_GRIP:
      if (Message.WParam <= static_cast<WPARAM>(sgpBottomLeft))
        sizeGrip_->ChangePosition(static_cast<TSizeGripPosition>(Message.WParam));
      return;
    case WM_WINDOWPOSCHANGING:
      if (auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam); pos && !(pos->flags & SWP_NOSIZE)) {
        pos->cx = std::max(pos->cx, GetSystemMetrics(SM_CXVSCROLL));
        pos->cy = std::max(pos->cy, GetSystemMetrics(SM_CYHSCROLL));
      }
      break;
    default:
      break;
  }
  inherited::WndProc(Message);
  if (Message.Msg == WM_SIZE) {
    sizeGrip_->UpdatePosition();
    sizeChanged_ = true;
  } else if (Message.Msg == WM_NCPAINT && !Flat() && !ThemesEnabled() && HandleAllocated()) {
    // The classic look: the frame stands out of the screen as a raised edge.
    HDC dc = GetWindowDC(Handle());
    if (!dc) return;
    TScopeExit release([&] { ReleaseDC(Handle(), dc); });
    RECT frame{0, 0, Width(), Height()};
    DrawEdge(dc, &frame, BDR_RAISEDOUTER, BF_RECT);
  }
}

// --- user actions ------------------------------------------------------------------------------

void TPopupDataGridEh::UpdateSelection() {
  inherited::UpdateSelection();
  if (OnRowChanged && userAction_) OnRowChanged(this);
}

void TPopupDataGridEh::KeyDown(WORD& Key, TShiftState Shift) {
  TValueRestorer<bool> acting(userAction_, true);
  inherited::KeyDown(Key, Shift);
}

void TPopupDataGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TValueRestorer<bool> acting(userAction_, true);
  inherited::MouseDown(Button, Shift, X, Y);
  pressHandled_ = ProcessCellMouseDown(X, Y, true);
}

void TPopupDataGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  TValueRestorer<bool> acting(userAction_, true);
  inherited::MouseMove(Shift, X, Y);
  const bool buttonHeld = Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle);
  // Hovering takes the row under the mouse, as a click would.
  if (!buttonHeld && !DataFieldLink()->ReadOnly()) SelectRowAt(X, Y);
}

void TPopupDataGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // A column sized or moved by this press ends here and chooses nothing.
  const bool wasNormal = GridState() == gsNormal;
  inherited::MouseUp(Button, Shift, X, Y);
  if (!wasNormal || pressHandled_) return;
  const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
  if (!inside) {
    if (OnCloseUp) OnCloseUp(this, false);
    return;
  }
  const TGridCoord cell = MouseCoord(X, Y);
  if ((InLookupDataArea(cell) || OnSpecRowCell(cell)) && OnCloseUp) OnCloseUp(this, true);
}
