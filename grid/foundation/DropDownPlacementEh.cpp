// Drop-down placement and the click services of the editors.
#include "grid/foundation/DropDownPlacementEh.h"

#include <algorithm>
#include <cstdlib>

#include "platform/vcl/Forms.h"
#include "platform/win/Windows.h"

TDropDownPlacementEh AlignDropDownWindowRect(const TRect& HostRect, const TSize& WindowSize,
                                             TDropDownAlign Align, const TRect& WorkArea) {
  TDropDownPlacementEh r;
  const int w = std::clamp(WindowSize.cx, 0, std::max(0, WorkArea.Width()));
  const int h = std::clamp(WindowSize.cy, 0, std::max(0, WorkArea.Height()));
  r.Size = TSize{w, h};

  int x = HostRect.Left;
  if (Align == daRight)
    x = HostRect.Right - w;
  else if (Align == daCenter)
    x = HostRect.Left + (HostRect.Width() - w) / 2;
  x = std::clamp(x, WorkArea.Left, std::max(WorkArea.Left, WorkArea.Right - w));

  const int roomBelow = WorkArea.Bottom - HostRect.Bottom;
  const int roomAbove = HostRect.Top - WorkArea.Top;
  int y = HostRect.Bottom;
  if (h > roomBelow) {
    if (h <= roomAbove || roomAbove > roomBelow) {
      y = HostRect.Top - h;
      r.Upward = true;
    }
    y = std::clamp(y, WorkArea.Top, std::max(WorkArea.Top, WorkArea.Bottom - h));
  }
  r.Pos = TPoint{x, y};
  return r;
}

TPoint AlignDropDownWindowRect(const TRect& HostRect, TWinControl* DropDownWin, TDropDownAlign Align,
                               bool* Upward) {
  InitVcl();
  const TRect work = Screen->WorkAreaRect();
  const TDropDownPlacementEh p =
      AlignDropDownWindowRect(HostRect, TSize{DropDownWin->Width(), DropDownWin->Height()}, Align, work);
  if (p.Size.cx != DropDownWin->Width() || p.Size.cy != DropDownWin->Height())
    DropDownWin->SetBounds(DropDownWin->Left(), DropDownWin->Top(), p.Size.cx, p.Size.cy);
  if (Upward) *Upward = p.Upward;
  return p.Pos;
}

bool DropDownWindowBelowControl(TControl* Host, TWinControl* DropDownWin, TDropDownAlign Align, TPoint& Pos) {
  // The host's outer rectangle: a control with a parent is taken through the parent's client
  // coordinates, so its border belongs to the host.
  const TPoint origin = Host->Parent() ? Host->Parent()->ClientToScreen(TPoint{Host->Left(), Host->Top()})
                                       : Host->ClientToScreen(TPoint{0, 0});
  const TRect hostRect = Bounds(origin.X, origin.Y, Host->Width(), Host->Height());
  bool upward = false;
  Pos = AlignDropDownWindowRect(hostRect, DropDownWin, Align, &upward);
  return upward;
}

bool PeekClickOnControl(TControl* Control) {
  if (!Control) return false;
  auto* win = dynamic_cast<TWinControl*>(Control);
  const bool ownWindow = win && win->HandleAllocated();
  TWinControl* parent = Control->Parent();
  HWND wnd = nullptr;
  if (ownWindow)
    wnd = win->Handle();
  else if (parent && parent->HandleAllocated())
    wnd = parent->Handle();
  if (!wnd) return false;

  MSG msg{};
  if (!PeekMessage(&msg, wnd, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE)) return false;
  if (msg.message == WM_LBUTTONUP) return false;
  // The point is in the client coordinates of the window the message went to.
  POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  bool onControl = false;
  if (parent && parent->HandleAllocated()) {
    if (msg.hwnd != parent->Handle()) MapWindowPoints(msg.hwnd, parent->Handle(), &pt, 1);
    onControl = parent->ControlAtPos(TPoint{pt.X, pt.Y}, true, true) == Control;
  } else if (ownWindow) {
    if (msg.hwnd != wnd) MapWindowPoints(msg.hwnd, wnd, &pt, 1);
    const TRect client = win->ClientRect();
    onControl = pt.X >= client.Left && pt.X < client.Right && pt.Y >= client.Top && pt.Y < client.Bottom;
  }
  if (!onControl) return false;
  PeekMessage(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
  return true;
}

bool IsDoubleClickGesture(const TPoint& PrevPos, uint32_t PrevTime, const TPoint& Pos, uint32_t Time) {
  const uint32_t elapsed = Time - PrevTime;
  if (elapsed > GetDoubleClickTime()) return false;
  const int halfW = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
  const int halfH = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  return std::abs(Pos.X - PrevPos.X) <= halfW && std::abs(Pos.Y - PrevPos.Y) <= halfH;
}
