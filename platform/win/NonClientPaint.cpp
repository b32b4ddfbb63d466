// DefWindowProc's painting: WM_NCPAINT (frame, caption with its buttons, menu bar, client and
// static edges, window scroll bars and the size box between them), WM_NCACTIVATE (the caption
// again), WM_PAINT (an empty BeginPaint/EndPaint) and WM_PRINT.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/win/PaintingInternal.h"
#include "platform/win/ScrollBarImpl.h"

namespace win_internal {
namespace {

void Fill(HDC dc, RECT r, int color) {
  if (!IsRectEmpty(r)) FillRect(dc, &r, GetSysColorBrush(color));
}

void PaintFrame(const TWnd& w, HDC dc, const TNcGeometry& g) {
  if (g.FrameX <= 0 && g.FrameY <= 0) return;
  RECT outer = g.Window;
  if (g.Sizing || (w.Style & WS_DLGFRAME) || (w.ExStyle & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &outer, EDGE_RAISED, BF_RECT | BF_ADJUST);
    const int fill = g.Sizing ? (w.NcActive ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER) : COLOR_3DFACE;
    // The ring between the edge and the inside of the frame.
    const RECT in = g.Inner;
    Fill(dc, RECT{outer.Left, outer.Top, outer.Right, in.Top}, fill);
    Fill(dc, RECT{outer.Left, in.Bottom, outer.Right, outer.Bottom}, fill);
    Fill(dc, RECT{outer.Left, in.Top, in.Left, in.Bottom}, fill);
    Fill(dc, RECT{in.Right, in.Top, outer.Right, in.Bottom}, fill);
  } else {
    FrameRect(dc, &outer, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
}

void PaintCaptionButtons(const TWnd& w, HDC dc, const TNcGeometry& g) {
  const LRESULT pushed = PushedCaptionButton(w);
  auto button = [&](RECT r, LRESULT hit, UINT kind) {
    if (IsRectEmpty(r)) return;
    InflateRect(r, -1, -2);  // classic buttons stand 2 pixels inside the band
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const UINT state = (CaptionButtonEnabled(w, hit) ? 0 : DFCS_INACTIVE) | (pushed == hit ? DFCS_PUSHED : 0);
    DrawFrameControl(dc, &r, DFC_CAPTION, kind | state);
  };
  const bool minimized = (w.Style & WS_MINIMIZE) != 0, maximized = (w.Style & WS_MAXIMIZE) != 0;
  button(g.CloseButton, HTCLOSE, DFCS_CAPTIONCLOSE);
  button(g.MaxButton, HTMAXBUTTON, maximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX);
  button(g.MinButton, HTMINBUTTON, minimized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN);
}

TNcGeometry WindowNcGeometry(const TWnd& w) {
  return NcGeometry(w.Style, w.ExStyle, RECT{0, 0, w.Rect.Width(), w.Rect.Height()}, MenuBarHeight(w));
}

void PaintCaption(const TWnd& w, HDC dc, const TNcGeometry& g) {
  if (IsRectEmpty(g.Caption)) return;
  const bool active = w.NcActive;
  Fill(dc, g.Caption, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  PaintCaptionButtons(w, dc, g);
  if (w.Text.empty()) return;
  NONCLIENTMETRICS ncm;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  HFONT font = CreateFontIndirect((w.ExStyle & WS_EX_TOOLWINDOW) ? ncm.lfSmCaptionFont : ncm.lfCaptionFont);
  HGDIOBJ oldFont = SelectObject(dc, font);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor =
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  RECT text = g.Caption;
  text.Left = (IsRectEmpty(g.SysMenu) ? g.Caption.Left : g.SysMenu.Right) + 2;
  for (const RECT& b : {g.MinButton, g.MaxButton, g.CloseButton})
    if (!IsRectEmpty(b)) text.Right = std::min(text.Right, b.Left);
  DrawText(dc, w.Text, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

void PaintEdges(const TWnd& w, HDC dc, const TNcGeometry& g) {
  RECT r = g.Edge;
  if (w.ExStyle & WS_EX_STATICEDGE) {
    InflateRect(r, GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    RECT e = r;
    DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RECT);
  }
  if (w.ExStyle & WS_EX_CLIENTEDGE) {
    InflateRect(r, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
    RECT e = r;
    DrawEdge(dc, &e, EDGE_SUNKEN, BF_RECT);
  }
}

void PaintBar(TWnd& w, HDC dc, const RECT& r, int bar) {
  if (IsRectEmpty(r)) return;
  PaintScrollBar(dc, r, bar == SB_VERT, WindowScrollBar(w, bar), IsEnabledChain(w));
}

LRESULT OnNcPaint(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
  TWnd* w = Find(hwnd);
  if (!w || !IsVisibleChain(*w)) return 0;
  // The region handed in stays the sender's: the DC takes a copy.
  HRGN clip = nullptr;
  if (RegionOf(reinterpret_cast<HRGN>(wParam))) {
    clip = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(clip, reinterpret_cast<HRGN>(wParam), nullptr, RGN_COPY);
  }
  HDC dc = GetDCEx(hwnd, clip, DCX_WINDOW | (clip ? DCX_INTERSECTRGN : 0));
  if (!dc) {
    if (clip) DeleteObject(clip);
    return 0;
  }
  RECT client = w->Client;
  OffsetRect(client, -w->Rect.Left, -w->Rect.Top);
  ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  TScopeExit release([hwnd, dc] { ReleaseDC(hwnd, dc); });  // the menu bar may call out
  PaintNonClient(*w, dc);
  return 0;
}

LRESULT OnNcActivate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT r = CoreDefWindowProc(hwnd, msg, wParam, lParam);
  TWnd* w = Find(hwnd);
  // lParam -1: the caller paints the frame itself.
  if (w && lParam != -1 && IsVisibleChain(*w) && (w->Style & WS_CAPTION) == WS_CAPTION) {
    HDC dc = GetWindowDC(hwnd);
    TScopeExit release([hwnd, dc] { ReleaseDC(hwnd, dc); });
    PaintNonClient(*w, dc);
  }
  return r;
}

LRESULT OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
  return 0;
}

LRESULT OnPrint(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam) {
  TWnd* w = Find(hwnd);
  HDC dc = reinterpret_cast<HDC>(wParam);
  if (!w || !dc) return 0;
  if ((lParam & PRF_CHECKVISIBLE) && !IsVisibleChain(*w)) return 0;
  auto keep = Hold(w);
  if (lParam & PRF_NONCLIENT) {
    const int saved = SaveDC(dc);
    RECT client = w->Client;
    OffsetRect(client, -w->Rect.Left, -w->Rect.Top);
    ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    PaintNonClient(*w, dc);
    RestoreDC(dc, saved);
  }
  const POINT at{w->Client.Left - w->Rect.Left, w->Client.Top - w->Rect.Top};
  if (lParam & (PRF_ERASEBKGND | PRF_CLIENT)) {
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, at.X, at.Y, nullptr);
    IntersectClipRect(dc, 0, 0, w->Client.Width(), w->Client.Height());
    if (lParam & PRF_ERASEBKGND) SendMessage(hwnd, WM_ERASEBKGND, wParam, 0);
    if ((lParam & PRF_CLIENT) && !w->Dead) SendMessage(hwnd, WM_PRINTCLIENT, wParam, lParam);
    RestoreDC(dc, saved);
  }
  if ((lParam & PRF_CHILDREN) && !w->Dead) {
    std::vector<HWND> children;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it)  // bottom first
      if ((*it)->Visible()) children.push_back((*it)->Handle);
    for (HWND ch : children) {
      TWnd* c = Find(ch);
      if (!c || w->Dead) break;
      const int saved = SaveDC(dc);
      OffsetViewportOrgEx(dc, at.X + c->Rect.Left, at.Y + c->Rect.Top, nullptr);
      IntersectClipRect(dc, 0, 0, c->Rect.Width(), c->Rect.Height());
      SendMessage(ch, WM_PRINT, wParam, lParam | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
      RestoreDC(dc, saved);
    }
  }
  return 0;
}

}  // namespace

TNcPaintHooks& NcPaintHooks() {
  static auto* hooks = new TNcPaintHooks;
  return *hooks;
}

void PaintNonClient(TWnd& w, HDC dc) {
  const TNcGeometry g = WindowNcGeometry(w);
  PaintFrame(w, dc, g);
  PaintCaption(w, dc, g);
  if (!IsRectEmpty(g.Menu)) {
    if (NcPaintHooks().MenuBar)
      NcPaintHooks().MenuBar(w.Handle, dc, g.Menu);
    else
      Fill(dc, g.Menu, COLOR_MENU);
  }
  PaintEdges(w, dc, g);
  PaintBar(w, dc, g.VScroll, SB_VERT);
  PaintBar(w, dc, g.HScroll, SB_HORZ);
  Fill(dc, g.SizeBox, COLOR_3DFACE);
}

void RedrawWindowScrollBar(TWnd& w, int bar) {
  if (!IsVisibleChain(w)) return;
  const RECT r = WindowScrollBarRect(w, bar);
  if (IsRectEmpty(r)) return;
  HDC dc = GetWindowDC(w.Handle);
  if (!dc) return;
  PaintBar(w, dc, r, bar);
  ReleaseDC(w.Handle, dc);
}

void RedrawCaptionButtons(TWnd& w) {
  if (!IsVisibleChain(w) || (w.Style & WS_CAPTION) != WS_CAPTION) return;
  HDC dc = GetWindowDC(w.Handle);
  if (!dc) return;
  PaintCaptionButtons(w, dc, WindowNcGeometry(w));
  ReleaseDC(w.Handle, dc);
}

void InstallNonClientHandlers() {
  SetDefWindowProcHandler(WM_NCPAINT, OnNcPaint);
  SetDefWindowProcHandler(WM_NCACTIVATE, OnNcActivate);
  SetDefWindowProcHandler(WM_PAINT, OnPaint);
  SetDefWindowProcHandler(WM_PRINT, OnPrint);
}

}  // namespace win_internal
