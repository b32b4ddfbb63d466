// The scroll bar's rules, geometry and painting, and the window scroll bars of the non-client
// area (SB_HORZ, SB_VERT) behind SetScrollInfo and friends. SB_CTL calls go to the control
// through its SBM_ messages.
#include <algorithm>
#include <cstdint>

#include "platform/win/PaintingInternal.h"
#include "platform/win/ScrollBarImpl.h"

namespace win_internal {
namespace {

struct TWindowScrollBars : TWndData {
  TScrollBarState Horz;
  TScrollBarState Vert;
};

int64_t RangeSize(const TScrollBarState& s) {  // positions in the range, at least 1
  return std::max<int64_t>(1, int64_t{s.Max} - s.Min + 1);
}

int ClampInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

bool IsWindowBar(int bar) {
  return bar == SB_HORZ || bar == SB_VERT;
}

DWORD StyleBit(int bar) {
  return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
}

// Shows or hides window bars through the style and a frame recalculation.
void SetBarsShown(TWnd& w, DWORD bits, bool show) {
  const DWORD style = show ? (w.Style | bits) : (w.Style & ~bits);
  if (style == w.Style) return;
  const DWORD old = w.Style;
  const HWND h = w.Handle;
  w.Style = style;
  SetWindowPos(h, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // Announced once the frame has made room, so that a listener finds the bar in place.
  AnnounceScrollBarChanges(h, old);
}

}  // namespace

void AnnounceScrollBarChanges(HWND hwnd, DWORD oldStyle) {
  for (const auto& [bit, object] :
       {std::pair{WS_HSCROLL, OBJID_HSCROLL}, std::pair{WS_VSCROLL, OBJID_VSCROLL}}) {
    // Read again for each: a hook may change the style or destroy the window.
    const TWnd* w = Find(hwnd);
    if (!w || w->Dead) return;
    if (((oldStyle ^ w->Style) & bit) == 0) continue;
    NotifyWinEvent((w->Style & bit) ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, hwnd, object, CHILDID_SELF);
  }
}

int ScrollMaxPos(const TScrollBarState& s) {
  if (s.Max <= s.Min) return s.Min;
  const int64_t top = int64_t{s.Max} - (s.Page ? int64_t{s.Page} - 1 : 0);
  return ClampInt(std::max<int64_t>(s.Min, top));
}

bool IsScrollable(const TScrollBarState& s) {
  if (s.Max <= s.Min) return false;
  return s.Page == 0 || int64_t{s.Page} < RangeSize(s);
}

int ApplyScrollInfo(TScrollBarState& s, const SCROLLINFO& info) {
  if (info.fMask & SIF_RANGE) {
    s.Min = info.nMin;
    s.Max = info.nMax;
  }
  if (info.fMask & SIF_PAGE) s.Page = info.nPage;
  if (s.Max > s.Min)
    s.Page = static_cast<UINT>(std::min<int64_t>(s.Page, RangeSize(s)));
  else
    s.Page = std::min<UINT>(s.Page, 1);
  if (info.fMask & SIF_POS) s.Pos = info.nPos;
  s.Pos = std::clamp(s.Pos, s.Min, std::max(s.Min, ScrollMaxPos(s)));
  if (!s.Tracking) s.TrackPos = s.Pos;
  return s.Pos;
}

void ReadScrollInfo(const TScrollBarState& s, SCROLLINFO& info) {
  if (info.fMask & SIF_RANGE) {
    info.nMin = s.Min;
    info.nMax = s.Max;
  }
  if (info.fMask & SIF_PAGE) info.nPage = s.Page;
  if (info.fMask & SIF_POS) info.nPos = s.Pos;
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = s.Tracking ? s.TrackPos : s.Pos;
}

TScrollBarLayout ScrollBarLayout(const RECT& bar, bool vertical, const TScrollBarState& s, bool enabled) {
  TScrollBarLayout l;
  l.Bar = bar;
  const int length = std::max(0, vertical ? bar.Height() : bar.Width());
  const int metric = GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
  l.ArrowSize = std::max(0, std::min(metric, length / 2));
  const int a = l.ArrowSize;
  if (vertical) {
    l.Arrow1 = RECT{bar.Left, bar.Top, bar.Right, bar.Top + a};
    l.Arrow2 = RECT{bar.Left, bar.Bottom - a, bar.Right, bar.Bottom};
  } else {
    l.Arrow1 = RECT{bar.Left, bar.Top, bar.Left + a, bar.Bottom};
    l.Arrow2 = RECT{bar.Right - a, bar.Top, bar.Right, bar.Bottom};
  }
  const int track = length - 2 * a;
  const bool disabled = !enabled || (s.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH;
  if (disabled || !IsScrollable(s) || track <= 0) return l;
  int thumb;
  if (s.Page == 0)
    thumb = GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  else
    thumb = static_cast<int>(std::max<int64_t>(kScrollMinThumb, int64_t{track} * s.Page / RangeSize(s)));
  if (thumb > track) return l;
  const int movable = track - thumb;
  const int64_t span = int64_t{ScrollMaxPos(s)} - s.Min;
  const int pos = s.Tracking ? s.TrackPos : s.Pos;
  const int64_t offset = span > 0 ? (int64_t{pos} - s.Min) * movable / span : 0;
  l.HasThumb = true;
  l.ThumbStart = a + static_cast<int>(std::clamp<int64_t>(offset, 0, movable));
  l.ThumbEnd = l.ThumbStart + thumb;
  l.Thumb = vertical ? RECT{bar.Left, bar.Top + l.ThumbStart, bar.Right, bar.Top + l.ThumbEnd}
                     : RECT{bar.Left + l.ThumbStart, bar.Top, bar.Left + l.ThumbEnd, bar.Bottom};
  return l;
}

TScrollPart HitScrollPart(const TScrollBarLayout& l, bool vertical, POINT p) {
  if (!PtInRect(l.Bar, p)) return spNone;
  if (PtInRect(l.Arrow1, p)) return spLineUp;
  if (PtInRect(l.Arrow2, p)) return spLineDown;
  if (!l.HasThumb) return spNone;
  const int at = vertical ? p.Y - l.Bar.Top : p.X - l.Bar.Left;
  if (at < l.ThumbStart) return spPageUp;
  if (at >= l.ThumbEnd) return spPageDown;
  return spThumb;
}

int PosFromThumb(const TScrollBarLayout& l, bool vertical, const TScrollBarState& s, int thumbStart) {
  const int length = vertical ? l.Bar.Height() : l.Bar.Width();
  const int movable = length - 2 * l.ArrowSize - (l.ThumbEnd - l.ThumbStart);
  if (!l.HasThumb || movable <= 0) return s.Pos;
  const int64_t offset = std::clamp<int64_t>(thumbStart - l.ArrowSize, 0, movable);
  const int64_t span = int64_t{ScrollMaxPos(s)} - s.Min;
  return ClampInt(s.Min + (offset * span + movable / 2) / movable);
}

void PaintScrollBar(HDC dc, const RECT& bar, bool vertical, const TScrollBarState& s, bool enabled) {
  if (IsRectEmpty(bar)) return;
  const TScrollBarLayout l = ScrollBarLayout(bar, vertical, s, enabled);
  const bool off = !enabled || (s.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH || !IsScrollable(s);
  auto arrow = [&](RECT r, UINT kind, UINT disabledBit, int part) {
    if (IsRectEmpty(r)) return;
    UINT state = kind;
    if (off || (s.Disabled & disabledBit)) state |= DFCS_INACTIVE;
    if (s.PressedPart == part) state |= DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(dc, &r, DFC_SCROLL, state);
  };
  arrow(l.Arrow1, vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, ESB_DISABLE_LTUP, spLineUp);
  arrow(l.Arrow2, vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, ESB_DISABLE_RTDN, spLineDown);
  RECT track = bar;
  if (vertical) {
    track.Top = l.Arrow1.Bottom;
    track.Bottom = l.Arrow2.Top;
  } else {
    track.Left = l.Arrow1.Right;
    track.Right = l.Arrow2.Left;
  }
  if (IsRectEmpty(track)) return;
  FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
  if (l.HasThumb && (s.PressedPart == spPageUp || s.PressedPart == spPageDown)) {
    RECT pressed = track;
    if (s.PressedPart == spPageUp)
      (vertical ? pressed.Bottom : pressed.Right) = vertical ? l.Thumb.Top : l.Thumb.Left;
    else
      (vertical ? pressed.Top : pressed.Left) = vertical ? l.Thumb.Bottom : l.Thumb.Right;
    FillRect(dc, &pressed, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  if (l.HasThumb) {
    RECT thumb = l.Thumb;
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
}

void FillScrollBarInfo(const RECT& barScreen, bool vertical, const TScrollBarState& s, bool visible,
                       bool enabled, SCROLLBARINFO& info) {
  const TScrollBarLayout l = ScrollBarLayout(barScreen, vertical, s, enabled);
  info.cbSize = sizeof(SCROLLBARINFO);
  info.rcScrollBar = barScreen;
  info.dxyLineButton = l.ArrowSize;
  info.xyThumbTop = l.HasThumb ? l.ThumbStart : 0;
  info.xyThumbBottom = l.HasThumb ? l.ThumbEnd : 0;
  info.reserved = 0;
  for (DWORD& st : info.rgstate) st = 0;
  const bool off = !enabled || (s.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH || !IsScrollable(s);
  if (!visible) info.rgstate[0] |= STATE_SYSTEM_INVISIBLE;
  if (off) info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  if (off || (s.Disabled & ESB_DISABLE_LTUP)) info.rgstate[spLineUp] |= STATE_SYSTEM_UNAVAILABLE;
  if (off || (s.Disabled & ESB_DISABLE_RTDN)) info.rgstate[spLineDown] |= STATE_SYSTEM_UNAVAILABLE;
  if (!l.HasThumb) {
    info.rgstate[spThumb] |= STATE_SYSTEM_INVISIBLE;
    info.rgstate[spPageUp] |= STATE_SYSTEM_INVISIBLE;
    info.rgstate[spPageDown] |= STATE_SYSTEM_INVISIBLE;
  }
  if (s.PressedPart > spNone && s.PressedPart <= spLineDown)
    info.rgstate[s.PressedPart] |= STATE_SYSTEM_PRESSED;
}

TScrollBarState& WindowScrollBar(TWnd& w, int bar) {
  auto& bars = w.Ensure<TWindowScrollBars>(TExtSlot::ScrollBars);
  return bar == SB_HORZ ? bars.Horz : bars.Vert;
}

RECT WindowScrollBarRect(const TWnd& w, int bar) {
  const RECT window{0, 0, w.Rect.Width(), w.Rect.Height()};
  const TNcGeometry g = NcGeometry(w.Style, w.ExStyle, window, MenuBarHeight(w));
  return bar == SB_HORZ ? g.HScroll : g.VScroll;
}

}  // namespace win_internal

using namespace win_internal;

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (!info) return 0;
  if (bar == SB_CTL)
    return static_cast<int>(SendMessage(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || !IsWindowBar(bar)) return 0;
  auto keep = Hold(w);
  TScrollBarState& s = WindowScrollBar(*w, bar);
  const bool wasScrollable = IsScrollable(s);
  const int pos = ApplyScrollInfo(s, *info);
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
    const bool scrollable = IsScrollable(s);
    if (info->fMask & SIF_DISABLENOSCROLL) {
      s.Disabled = scrollable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
      SetBarsShown(*w, StyleBit(bar), true);
    } else if (scrollable != wasScrollable || scrollable != ((w->Style & StyleBit(bar)) != 0)) {
      if (scrollable) s.Disabled = ESB_ENABLE_BOTH;
      SetBarsShown(*w, StyleBit(bar), scrollable);
    }
  }
  if (redraw && !w->Dead) RedrawWindowScrollBar(*w, bar);
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  if (!info) return FALSE;
  if (bar == SB_CTL)
    return SendMessage(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE : FALSE;
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || !IsWindowBar(bar)) return FALSE;
  if (!w->Get<TWindowScrollBars>(TExtSlot::ScrollBars) && !(w->Style & StyleBit(bar))) return FALSE;
  ReadScrollInfo(WindowScrollBar(*w, bar), *info);
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  const int old = GetScrollPos(hwnd, bar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  if (int64_t{max} - min > INT32_MAX) return FALSE;
  if (bar != SB_CTL && !IsWindow(hwnd)) return FALSE;
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  const BOOL ok = GetScrollInfo(hwnd, bar, &si);
  if (min) *min = ok ? si.nMin : 0;
  if (max) *max = ok ? si.nMax : 0;
  return ok;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  if (bar == SB_CTL) {
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    return IsWindow(hwnd);
  }
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  DWORD bits = 0;
  if (bar == SB_HORZ || bar == SB_BOTH) bits |= WS_HSCROLL;
  if (bar == SB_VERT || bar == SB_BOTH) bits |= WS_VSCROLL;
  if (!bits) return FALSE;
  SetBarsShown(*w, bits, show != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  if (bar == SB_CTL) return SendMessage(hwnd, SBM_ENABLE_ARROWS, arrows, 0) ? TRUE : FALSE;
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || bar > SB_BOTH) return FALSE;
  arrows &= ESB_DISABLE_BOTH;
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != SB_BOTH && static_cast<int>(bar) != b) continue;
    TScrollBarState& s = WindowScrollBar(*w, b);
    if (s.Disabled == arrows) continue;
    s.Disabled = arrows;
    changed = true;
    RedrawWindowScrollBar(*w, b);
  }
  return changed ? TRUE : FALSE;
}

BOOL GetScrollBarInfo(HWND hwnd, LONG idObject, SCROLLBARINFO* info) {
  if (!info) return FALSE;
  if (idObject == OBJID_CLIENT)
    return SendMessage(hwnd, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE : FALSE;
  if (idObject != OBJID_HSCROLL && idObject != OBJID_VSCROLL) return FALSE;
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  const int bar = idObject == OBJID_HSCROLL ? SB_HORZ : SB_VERT;
  const bool shown = (w->Style & StyleBit(bar)) != 0;
  RECT r = WindowScrollBarRect(*w, bar);
  if (IsRectEmpty(r) && shown) {
    // Styled but squeezed out of a tiny window: where it would start, with no extent.
    const TNcGeometry g =
        NcGeometry(w->Style, w->ExStyle, RECT{0, 0, w->Rect.Width(), w->Rect.Height()}, MenuBarHeight(*w));
    r = RECT{g.Client.Right, g.Client.Bottom, g.Client.Right, g.Client.Bottom};
  }
  const RECT screen = ScreenRect(*w);
  OffsetRect(r, screen.Left, screen.Top);
  FillScrollBarInfo(r, bar == SB_VERT, WindowScrollBar(*w, bar), shown && IsVisibleChain(*w),
                    IsEnabledChain(*w), *info);
  return TRUE;
}
