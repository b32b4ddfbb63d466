// The default non-client geometry: how WM_NCCALCSIZE turns a window rectangle into a client
// rectangle and how WM_NCHITTEST names the parts in between. From the outside in: the frame
// (a sizing frame SM_CXFRAME wide, else a dialog frame SM_CXDLGFRAME, else a thin border
// SM_CXBORDER), the caption band (SM_CYCAPTION, SM_CYSMCAPTION for tool windows) when both
// WS_CAPTION bits are set, the menu bar, the client and static edges, and the window scroll
// bars (the vertical one on the left with WS_EX_LEFTSCROLLBAR), which leave a size box in the
// corner when both are present.
//
// The caption's hit zones are full-height strips from the right: close, maximise and
// minimise buttons SM_CXSIZE wide (SM_CXSMSIZE on tool windows, which have no other
// buttons), and the system menu SM_CXSIZE wide at the left. On a sizing frame the corners
// reach SM_CXSIZE / SM_CYSIZE along each edge from the outer corner.
#include <algorithm>

#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

RECT Normalised(RECT r) {
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

RECT Clipped(const RECT& r, const RECT& to) {
  RECT out{std::max(r.Left, to.Left), std::max(r.Top, to.Top), std::min(r.Right, to.Right),
           std::min(r.Bottom, to.Bottom)};
  if (out.Right <= out.Left || out.Bottom <= out.Top) return RECT{};
  return out;
}

bool In(const RECT& r, POINT p) {
  return PtInRect(r, p);
}

}  // namespace

TNcGeometry NcGeometry(DWORD style, DWORD exStyle, const RECT& window, int menuHeight) {
  TNcGeometry g;
  g.Window = Normalised(window);
  if (style & WS_THICKFRAME) {
    g.FrameX = GetSystemMetrics(SM_CXFRAME);
    g.FrameY = GetSystemMetrics(SM_CYFRAME);
    g.Sizing = true;
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    g.FrameX = GetSystemMetrics(SM_CXDLGFRAME);
    g.FrameY = GetSystemMetrics(SM_CYDLGFRAME);
  } else if (style & WS_BORDER) {
    g.FrameX = GetSystemMetrics(SM_CXBORDER);
    g.FrameY = GetSystemMetrics(SM_CYBORDER);
  }
  RECT rest = g.Window;
  InflateRect(rest, -g.FrameX, -g.FrameY);
  rest = Normalised(rest);
  g.Inner = rest;

  const bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
  if ((style & WS_CAPTION) == WS_CAPTION) {
    const int h = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    g.Caption = Clipped(RECT{rest.Left, rest.Top, rest.Right, rest.Top + h}, g.Inner);
    rest.Top = std::min(rest.Top + h, rest.Bottom);
    if (style & WS_SYSMENU) {
      const int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE);
      int x = g.Caption.Right;
      g.CloseButton = Clipped(RECT{x - bw, g.Caption.Top, x, g.Caption.Bottom}, g.Caption);
      x -= bw;
      if (!tool && (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
        g.MaxButton = Clipped(RECT{x - bw, g.Caption.Top, x, g.Caption.Bottom}, g.Caption);
        x -= bw;
        g.MinButton = Clipped(RECT{x - bw, g.Caption.Top, x, g.Caption.Bottom}, g.Caption);
      }
      if (!tool)
        g.SysMenu = Clipped(RECT{g.Caption.Left, g.Caption.Top, g.Caption.Left + GetSystemMetrics(SM_CXSIZE),
                                 g.Caption.Bottom},
                            g.Caption);
    }
  }
  if (menuHeight > 0) {
    g.Menu = Clipped(RECT{rest.Left, rest.Top, rest.Right, rest.Top + menuHeight}, g.Inner);
    rest.Top = std::min(rest.Top + menuHeight, rest.Bottom);
  }
  if (exStyle & WS_EX_CLIENTEDGE)
    InflateRect(rest, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
  if (exStyle & WS_EX_STATICEDGE)
    InflateRect(rest, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
  rest = Normalised(rest);
  g.Edge = rest;

  const int cxv = GetSystemMetrics(SM_CXVSCROLL);
  const int cyh = GetSystemMetrics(SM_CYHSCROLL);
  // A bar that does not fit is left out, as the system does for tiny windows.
  const bool vs = (style & WS_VSCROLL) && rest.Width() >= cxv;
  const bool hs = (style & WS_HSCROLL) && rest.Height() >= cyh;
  const bool left = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
  const int barBottom = hs ? rest.Bottom - cyh : rest.Bottom;
  if (vs) {
    g.VScroll = left ? RECT{rest.Left, rest.Top, rest.Left + cxv, barBottom}
                     : RECT{rest.Right - cxv, rest.Top, rest.Right, barBottom};
    g.VScroll = Normalised(g.VScroll);
  }
  if (hs) {
    g.HScroll = RECT{rest.Left + (vs && left ? cxv : 0), rest.Bottom - cyh,
                     rest.Right - (vs && !left ? cxv : 0), rest.Bottom};
    g.HScroll = Normalised(g.HScroll);
  }
  if (vs && hs)
    g.SizeBox = left ? RECT{rest.Left, rest.Bottom - cyh, rest.Left + cxv, rest.Bottom}
                     : RECT{rest.Right - cxv, rest.Bottom - cyh, rest.Right, rest.Bottom};
  RECT client = rest;
  if (vs) {
    if (left)
      client.Left += cxv;
    else
      client.Right -= cxv;
  }
  if (hs) client.Bottom -= cyh;
  g.Client = Normalised(client);
  return g;
}

RECT FrameThickness(DWORD style, DWORD exStyle, int menuHeight) {
  const RECT big{0, 0, 100000, 100000};
  const TNcGeometry g = NcGeometry(style & ~(WS_HSCROLL | WS_VSCROLL), exStyle, big, menuHeight);
  return RECT{g.Client.Left, g.Client.Top, big.Right - g.Client.Right, big.Bottom - g.Client.Bottom};
}

int MenuBarHeight(const TWnd& w) {
  // A child window never has a menu bar; its id field is a control id.
  if (!w.IsTopLevel() || (w.Style & WS_CHILD)) return 0;
  const auto& hook = NonClientHooks().MenuBarHeight;
  return hook ? std::max(0, hook(w.Handle)) : 0;
}

LRESULT DefaultHitTest(const TWnd& w, POINT screen) {
  const RECT wr = ScreenRect(w);
  if (!PtInRect(wr, screen)) return HTNOWHERE;
  if (w.Style & WS_MINIMIZE) return HTCAPTION;
  // The real client area first: a procedure may have made it differ from the default.
  if (PtInRect(ScreenClientRect(w), screen)) return HTCLIENT;

  const TNcGeometry g = NcGeometry(w.Style, w.ExStyle, RECT{0, 0, wr.Width(), wr.Height()}, MenuBarHeight(w));
  const POINT p{screen.X - wr.Left, screen.Y - wr.Top};
  if (!In(g.Inner, p)) {
    if (!g.Sizing) return HTBORDER;
    const int cornerX = GetSystemMetrics(SM_CXSIZE);
    const int cornerY = GetSystemMetrics(SM_CYSIZE);
    const bool leftSide = p.X < g.Window.Left + cornerX, rightSide = p.X >= g.Window.Right - cornerX;
    const bool topSide = p.Y < g.Window.Top + cornerY, bottomSide = p.Y >= g.Window.Bottom - cornerY;
    if (p.Y < g.Inner.Top) return leftSide ? HTTOPLEFT : rightSide ? HTTOPRIGHT : HTTOP;
    if (p.Y >= g.Inner.Bottom) return leftSide ? HTBOTTOMLEFT : rightSide ? HTBOTTOMRIGHT : HTBOTTOM;
    if (p.X < g.Inner.Left) return topSide ? HTTOPLEFT : bottomSide ? HTBOTTOMLEFT : HTLEFT;
    return topSide ? HTTOPRIGHT : bottomSide ? HTBOTTOMRIGHT : HTRIGHT;
  }
  if (In(g.Caption, p)) {
    if (In(g.SysMenu, p)) return HTSYSMENU;
    if (In(g.CloseButton, p)) return HTCLOSE;
    if (In(g.MaxButton, p)) return HTMAXBUTTON;
    if (In(g.MinButton, p)) return HTMINBUTTON;
    return HTCAPTION;
  }
  if (In(g.Menu, p)) return HTMENU;
  if (!In(g.Edge, p)) return HTBORDER;
  if (In(g.VScroll, p)) return HTVSCROLL;
  if (In(g.HScroll, p)) return HTHSCROLL;
  // What the default geometry calls client but the real client rectangle (checked above) leaves
  // out belongs to a frame the window's procedure draws itself: no part the default knows.
  return HTNOWHERE;
}

TNonClientHooks& NonClientHooks() {
  static TNonClientHooks* hooks = new TNonClientHooks;
  return *hooks;
}

}  // namespace win_internal

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  const RECT t = win_internal::FrameThickness(style, exStyle, menu ? GetSystemMetrics(SM_CYMENU) : 0);
  rect->Left -= t.Left;
  rect->Top -= t.Top;
  rect->Right += t.Right;
  rect->Bottom += t.Bottom;
  return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
  return AdjustWindowRectEx(rect, style, menu, 0);
}
