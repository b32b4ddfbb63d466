// The size grip in the corner between the grid's scroll bars: while the grid sits in the corner of
// a sizable window, dragging the grip resizes that window.
#include <cstdlib>

#include "grid/dbgrid/DBGridEhScrollBarPanel.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TSizeGripPanelEh)

namespace dbgrid_size_grip_detail {

// How far the grip's outer corner may lie from the window's client corner.
constexpr int kCornerTolerance = 4;

TRect ScreenRectOfClient(HWND Wnd) {
  RECT client{};
  ::GetClientRect(Wnd, &client);
  POINT origin{0, 0};
  ::ClientToScreen(Wnd, &origin);
  OffsetRect(client, origin.X, origin.Y);
  return client;
}

// A window's bounds in its parent's client coordinates (the screen for a top window).
TRect BoundsInParent(HWND Wnd) {
  RECT r{};
  ::GetWindowRect(Wnd, &r);
  if (HWND parent = (GetWindowLong(Wnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(Wnd) : nullptr) {
    POINT origin{0, 0};
    ::ClientToScreen(parent, &origin);
    OffsetRect(r, -origin.X, -origin.Y);
  }
  return r;
}

// A mirrored canvas paints a part drawn for the bottom-right corner into the bottom-left one.
class TMirroredDC {
 public:
  TMirroredDC(HDC DC, int Width, int Height) : dc_(DC), saved_(SaveDC(DC)) {
    SetMapMode(DC, MM_ANISOTROPIC);
    SetWindowOrgEx(DC, Width - 1, 0, nullptr);
    SetWindowExtEx(DC, -1, 1, nullptr);
    SetViewportExtEx(DC, 1, 1, nullptr);
  }
  ~TMirroredDC() { RestoreDC(dc_, saved_); }

 private:
  HDC dc_;
  int saved_;
};

}  // namespace dbgrid_size_grip_detail

using namespace dbgrid_size_grip_detail;

TSizeGripPanelEh::TSizeGripPanelEh(TComponent* AOwner) : TCustomPanel(AOwner) {
  // The grid names the box; the name is no caption.
  SetControlStyle(ControlStyle() - csSetCaption);
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
}

HWND TSizeGripPanelEh::SizedWindow() {
  if (!HandleAllocated()) return nullptr;
  HWND wnd = Handle();
  while (wnd && (GetWindowLong(wnd, GWL_STYLE) & WS_CHILD)) wnd = ::GetParent(wnd);
  return wnd;
}

bool TSizeGripPanelEh::IsGripActive() {
  HWND top = SizedWindow();
  if (!top || !(GetWindowLong(top, GWL_STYLE) & WS_THICKFRAME)) return false;
  const TRect grip = ScreenRectOfClient(Handle());
  if (IsRectEmpty(grip)) return false;
  const TRect client = ScreenRectOfClient(top);
  const bool rtl = UseRightToLeftAlignment();
  const int horz = rtl ? grip.Left - client.Left : grip.Right - client.Right;
  return std::abs(horz) <= kCornerTolerance && std::abs(grip.Bottom - client.Bottom) <= kCornerTolerance;
}

void TSizeGripPanelEh::Paint() {
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  const bool rtl = UseRightToLeftAlignment();
  if (!IsGripActive()) {
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(r);
    return;
  }
  if (HTHEME theme = OpenThemeData(Handle(), "STATUS")) {
    TScopeExit close([theme] { CloseThemeData(theme); });
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(r);
    // The theme draws its gripper for the right-hand corner only.
    if (rtl) {
      TMirroredDC mirror(canvas->Handle(), r.Width(), r.Height());
      DrawThemeBackground(theme, canvas->Handle(), SP_GRIPPER, 0, &r, nullptr);
    } else {
      DrawThemeBackground(theme, canvas->Handle(), SP_GRIPPER, 0, &r, nullptr);
    }
    return;
  }
  RECT frame = r;
  DrawFrameControl(canvas->Handle(), &frame, DFC_SCROLL,
                   rtl ? DFCS_SCROLLSIZEGRIPRIGHT : DFCS_SCROLLSIZEGRIP);
}

void TSizeGripPanelEh::MouseDown(TMouseButton B, TShiftState S, int X, int Y) {
  inherited::MouseDown(B, S, X, Y);
  if (B != mbLeft || !IsGripActive()) return;
  dragStart_ = ClientToScreen(TPoint{X, Y});
  boundsAtPress_ = BoundsInParent(SizedWindow());
}

void TSizeGripPanelEh::MouseMove(TShiftState S, int X, int Y) {
  inherited::MouseMove(S, X, Y);
  if (dragStart_ == TPoint{-1, -1}) return;
  HWND top = SizedWindow();
  if (!top) return;
  // The grip stands in the window's bottom-left corner right to left: the right edge stays.
  const TSizeGripPosition corner = UseRightToLeftAlignment() ? sgpBottomLeft : sgpBottomRight;
  const TRect bounds = SizeGripDragBounds(boundsAtPress_, dragStart_, ClientToScreen(TPoint{X, Y}), corner,
                                          GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK));
  SetWindowPos(top, nullptr, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSizeGripPanelEh::MouseUp(TMouseButton B, TShiftState S, int X, int Y) {
  dragStart_ = TPoint{-1, -1};
  inherited::MouseUp(B, S, X, Y);
}

void TSizeGripPanelEh::WMSetCursor(TMessage& M) {
  if (M.HitTest() == HTCLIENT && Screen && IsGripActive()) {
    ::SetCursor(Screen->Cursors(UseRightToLeftAlignment() ? crSizeNESW : crSizeNWSE));
    M.Result = 1;
    return;
  }
  inherited::WMSetCursor(M);
}
