// The "msctls_trackbar32" class: range, position, line and page sizes, tics and a selection
// range, drawn through custom draw. Of the common controls only the track bar takes the mouse:
// the thumb drags, and a press beside it pages on a timer while held.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

constexpr int kChannelInset = 8;  // channel end to control edge, leaves room for half a thumb
constexpr int kChannelTop = 8;
constexpr int kChannelThickness = 4;
constexpr int kSelChannelThickness = 8;  // wide enough to show the selection inside its edge
constexpr int kThumbWidth = 11;          // along the channel
constexpr int kThumbLength = 20;         // across it
constexpr int kTicLength = 3;
constexpr UINT_PTR kPageTimer = 0xFFFD;  // clear of the small ids programs use
constexpr UINT kPageFirstDelay = 400;
constexpr UINT kPageRepeatDelay = 100;

struct TTrackState : win_internal::TWndData {
  int Min = 0;
  int Max = 100;
  int Pos = 0;
  int LineSize = 1;
  int PageSize = -1;  // below zero: a fifth of the range
  int TicFreq = 1;
  int SelStart = 0;
  int SelEnd = 0;
  std::vector<int> Tics;  // manual tics, sorted
  bool Dragging = false;
  int DragOffset = 0;  // press to thumb centre, along the channel
  WORD Paging = 0;     // TB_PAGEUP or TB_PAGEDOWN while a press beside the thumb is held
  int PageTarget = 0;  // where the cursor is, along the channel
};

int64_t TrackRange(const TTrackState& s) {
  return std::max<int64_t>(1, static_cast<int64_t>(s.Max) - s.Min);
}

int TrackHigh(const TTrackState& s) {
  return std::max(s.Min, s.Max);
}

int PageSizeOf(const TTrackState& s) {
  if (s.PageSize >= 0) return s.PageSize;
  return static_cast<int>(std::max<int64_t>(1, TrackRange(s) / 5));
}

struct TTrackGeometry {
  RECT Channel{};  // in client coordinates, as drawn
  RECT Thumb{};
  RECT Tics{};          // below (or right of) the thumb; above (left) with TBS_TOP
  RECT TicsTop{};       // the second row of TBS_BOTH
  int ChannelFrom = 0;  // the channel's ends along it
  int ChannelTo = 0;
};

// Where a value sits along the channel, the channel laid out horizontally.
int ValueOffset(const TTrackState& s, int from, int span, int64_t value) {
  return from + static_cast<int>((value - s.Min) * span / TrackRange(s));
}

TTrackGeometry TrackGeometry(HWND h, const TTrackState& s) {
  const DWORD style = StyleOf(h);
  const bool vertical = style & TBS_VERT;
  const RECT client = ClientOf(h);
  const int length = vertical ? client.Height() : client.Width();
  const int thickness = (style & TBS_ENABLESELRANGE) ? kSelChannelThickness : kChannelThickness;
  // Tics above the thumb push everything down by a row.
  const bool ticsBefore = !(style & TBS_NOTICKS) && (style & (TBS_TOP | TBS_BOTH));
  const int top = kChannelTop + (ticsBefore ? kTicLength + 1 : 0);
  TTrackGeometry g;
  // Laid out horizontally, then turned for a vertical bar.
  RECT channel = Rect(kChannelInset, top, std::max(kChannelInset, length - kChannelInset), top + thickness);
  const int centre = ValueOffset(s, channel.Left, channel.Width(), s.Pos);
  RECT thumb =
      Bounds(centre - kThumbWidth / 2, top + thickness / 2 - kThumbLength / 2 + 2, kThumbWidth, kThumbLength);
  thumb.Top = std::max(0, thumb.Top);
  RECT below = Rect(channel.Left, thumb.Bottom + 1, channel.Right, thumb.Bottom + 1 + kTicLength);
  RECT above = Rect(channel.Left, thumb.Top - 1 - kTicLength, channel.Right, thumb.Top - 1);
  auto turn = [vertical](RECT r) { return vertical ? Rect(r.Top, r.Left, r.Bottom, r.Right) : r; };
  g.Channel = turn(channel);
  g.Thumb = turn(thumb);
  const bool topOnly = (style & TBS_TOP) && !(style & TBS_BOTH);
  g.Tics = turn(topOnly ? above : below);
  if (style & TBS_BOTH) g.TicsTop = turn(above);
  g.ChannelFrom = channel.Left;
  g.ChannelTo = channel.Right;
  return g;
}

// The value under a point along the channel, rounded to the nearest and kept within the range.
int ValueAt(const TTrackState& s, const TTrackGeometry& g, int along) {
  const int span = std::max(1, g.ChannelTo - g.ChannelFrom);
  const int64_t offset = std::clamp(along, g.ChannelFrom, g.ChannelFrom + span) - g.ChannelFrom;
  const int64_t value = s.Min + (offset * TrackRange(s) * 2 + span) / (2 * static_cast<int64_t>(span));
  return static_cast<int>(std::clamp<int64_t>(value, s.Min, TrackHigh(s)));
}

// Sends one custom-draw stage to the parent; without a parent the default drawing is done.
LRESULT CustomDraw(HWND h, HDC dc, DWORD stage, const RECT& r, DWORD_PTR item, UINT state) {
  if (!GetParent(h)) return CDRF_DODEFAULT;
  NMCUSTOMDRAW cd;
  cd.hdr.code = NM_CUSTOMDRAW;
  cd.dwDrawStage = stage;
  cd.hdc = dc;
  cd.rc = r;
  cd.dwItemSpec = item;
  cd.uItemState = state;
  return NotifyParent(h, cd.hdr);
}

// The values that get a tic: both ends always, every TicFreq with TBS_AUTOTICKS (the ends only
// when there would be more tics than pixels), and the manual tics inside the range.
std::vector<int64_t> TicValues(const TTrackState& s, DWORD style, int span) {
  std::vector<int64_t> values{s.Min, static_cast<int64_t>(s.Min) + TrackRange(s)};
  const int64_t range = TrackRange(s);
  const int64_t freq = std::max(1, s.TicFreq);
  if ((style & TBS_AUTOTICKS) && range / freq <= span)
    for (int64_t v = s.Min + freq; v < s.Min + range; v += freq) values.push_back(v);
  for (int t : s.Tics)
    if (t > s.Min && t < TrackHigh(s)) values.push_back(t);
  return values;
}

void DrawTicRow(HDC dc, const TTrackState& s, const TTrackGeometry& g, const std::vector<int64_t>& values,
                const RECT& row, bool vertical) {
  const int span = g.ChannelTo - g.ChannelFrom;
  for (int64_t v : values) {
    const int at = ValueOffset(s, g.ChannelFrom, span, v);
    if (vertical) {
      MoveToEx(dc, row.Left, at, nullptr);
      LineTo(dc, row.Right, at);
    } else {
      MoveToEx(dc, at, row.Top, nullptr);
      LineTo(dc, at, row.Bottom);
    }
  }
}

void DrawTrackPart(HWND h, HDC dc, const TTrackState& s, const TTrackGeometry& g, DWORD_PTR part) {
  const DWORD style = StyleOf(h);
  const bool vertical = style & TBS_VERT;
  if (part == TBCD_CHANNEL) {
    RECT r = g.Channel;
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    const int low = std::clamp(std::min(s.SelStart, s.SelEnd), s.Min, TrackHigh(s));
    const int high = std::clamp(std::max(s.SelStart, s.SelEnd), s.Min, TrackHigh(s));
    if ((style & TBS_ENABLESELRANGE) && low < high) {
      const int span = g.ChannelTo - g.ChannelFrom;
      const int from = ValueOffset(s, g.ChannelFrom, span, low);
      const int to = ValueOffset(s, g.ChannelFrom, span, high);
      RECT sel = vertical ? Rect(g.Channel.Left + 2, from, g.Channel.Right - 2, to)
                          : Rect(from, g.Channel.Top + 2, to, g.Channel.Bottom - 2);
      FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
  } else if (part == TBCD_THUMB) {
    if (style & TBS_NOTHUMB) return;
    RECT r = g.Thumb;
    FillRect(dc, &r, GetSysColorBrush(s.Dragging ? COLOR_BTNSHADOW : COLOR_BTNFACE));
    DrawEdge(dc, &r, s.Dragging ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else if (!(style & TBS_NOTICKS)) {
    const std::vector<int64_t> values = TicValues(s, style, g.ChannelTo - g.ChannelFrom);
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    DrawTicRow(dc, s, g, values, g.Tics, vertical);
    if (style & TBS_BOTH) DrawTicRow(dc, s, g, values, g.TicsTop, vertical);
    SelectObject(dc, old);
  }
}

void PaintTrack(HWND h, HDC dc) {
  auto& s = State<TTrackState>(h);
  const RECT client = ClientOf(h);
  const UINT focus = GetFocus() == h ? CDIS_FOCUS : 0;
  const LRESULT pre = CustomDraw(h, dc, CDDS_PREPAINT, client, 0, focus);
  if (!win_internal::Find(h)) return;
  if (pre & CDRF_SKIPDEFAULT) return;
  RECT all = client;
  FillRect(dc, &all, ControlColor(h, dc, WM_CTLCOLORSTATIC));
  const TTrackGeometry g = TrackGeometry(h, s);
  for (DWORD_PTR part : {TBCD_CHANNEL, TBCD_TICS, TBCD_THUMB}) {
    if (pre & CDRF_NOTIFYITEMDRAW) {
      const RECT r = part == TBCD_CHANNEL ? g.Channel : part == TBCD_THUMB ? g.Thumb : g.Tics;
      const LRESULT item = CustomDraw(h, dc, CDDS_ITEMPREPAINT, r, part, focus);
      if (!win_internal::Find(h)) return;
      if (item & CDRF_SKIPDEFAULT) continue;
    }
    DrawTrackPart(h, dc, s, g, part);
  }
  if (pre & CDRF_NOTIFYPOSTPAINT) CustomDraw(h, dc, CDDS_POSTPAINT, client, 0, focus);
}

// Tells the parent through WM_HSCROLL (WM_VSCROLL when vertical); false when the bar went away.
bool NotifyScroll(HWND h, WORD code, int pos = 0) {
  const UINT msg = (StyleOf(h) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  const WORD high = code == TB_THUMBTRACK || code == TB_THUMBPOSITION ? static_cast<WORD>(pos) : 0;
  if (HWND parent = GetParent(h))
    SendMessage(parent, msg, MAKEWPARAM(code, high), reinterpret_cast<LPARAM>(h));
  return win_internal::Find(h) != nullptr;
}

int AlongOf(HWND h, LPARAM lParam) {
  return (StyleOf(h) & TBS_VERT) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
}

// One page towards the cursor, unless the thumb already covers it; false when nothing moved.
bool PageOnce(HWND h, TTrackState& s) {
  const TTrackGeometry g = TrackGeometry(h, s);
  const int centre = ValueOffset(s, g.ChannelFrom, g.ChannelTo - g.ChannelFrom, s.Pos);
  const int64_t step = s.Paging == TB_PAGEUP ? -static_cast<int64_t>(PageSizeOf(s)) : PageSizeOf(s);
  if (s.Paging == TB_PAGEUP ? s.PageTarget >= centre - kThumbWidth / 2
                            : s.PageTarget <= centre + kThumbWidth / 2)
    return false;
  s.Pos = static_cast<int>(std::clamp<int64_t>(s.Pos + step, s.Min, TrackHigh(s)));
  InvalidateRect(h, nullptr, TRUE);
  return NotifyScroll(h, s.Paging);
}

// Ends a drag or paging: the parent hears the final position and the end of the tracking.
void EndTracking(HWND h, TTrackState& s) {
  const bool dragging = s.Dragging;
  const bool paging = s.Paging != 0;
  if (!dragging && !paging) return;
  s.Dragging = false;
  s.Paging = 0;
  KillTimer(h, kPageTimer);
  if (GetCapture() == h) ReleaseCapture();
  if (!win_internal::Find(h)) return;
  InvalidateRect(h, nullptr, TRUE);
  if (dragging && !NotifyScroll(h, TB_THUMBPOSITION, s.Pos)) return;
  NotifyScroll(h, TB_ENDTRACK);
}

void PressTrack(HWND h, TTrackState& s, LPARAM lParam) {
  if (GetFocus() != h) SetFocus(h);
  if (!win_internal::Find(h)) return;
  const TTrackGeometry g = TrackGeometry(h, s);
  const TPoint pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const int along = AlongOf(h, lParam);
  const int centre = ValueOffset(s, g.ChannelFrom, g.ChannelTo - g.ChannelFrom, s.Pos);
  SetCapture(h);
  if (GetCapture() != h) return;
  if (!(StyleOf(h) & TBS_NOTHUMB) && PtInRect(g.Thumb, pt)) {
    s.Dragging = true;
    s.DragOffset = along - centre;
    InvalidateRect(h, nullptr, TRUE);
    return;
  }
  s.Paging = along < centre ? TB_PAGEUP : TB_PAGEDOWN;
  s.PageTarget = along;
  if (!PageOnce(h, s)) return;
  if (s.Paging) SetTimer(h, kPageTimer, kPageFirstDelay);
}

void DragTrack(HWND h, TTrackState& s, LPARAM lParam) {
  const TTrackGeometry g = TrackGeometry(h, s);
  const int pos = ValueAt(s, g, AlongOf(h, lParam) - s.DragOffset);
  if (pos == s.Pos) return;
  s.Pos = pos;
  InvalidateRect(h, nullptr, TRUE);
  NotifyScroll(h, TB_THUMBTRACK, pos);
}

LRESULT TrackProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TTrackState>(h);
  auto changed = [&](bool redraw) {
    s.Pos = std::clamp(s.Pos, s.Min, TrackHigh(s));
    if (redraw) InvalidateRect(h, nullptr, TRUE);
  };
  auto swap = [](int& field, int value) {
    const int old = field;
    field = value;
    return old;
  };
  switch (msg) {
    case TBM_GETPOS:
      return s.Pos;
    case TBM_GETRANGEMIN:
      return s.Min;
    case TBM_GETRANGEMAX:
      return s.Max;
    case TBM_SETPOS:
      s.Pos = static_cast<int>(lParam);
      changed(wParam != 0);
      return 0;
    case TBM_SETRANGE:
      s.Min = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
      s.Max = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam)));
      changed(wParam != 0);
      return 0;
    case TBM_SETRANGEMIN:
      s.Min = static_cast<int>(lParam);
      changed(wParam != 0);
      return 0;
    case TBM_SETRANGEMAX:
      s.Max = static_cast<int>(lParam);
      changed(wParam != 0);
      return 0;
    case TBM_SETPAGESIZE: {
      const int old = PageSizeOf(s);
      s.PageSize = std::max(0, static_cast<int>(lParam));
      return old;
    }
    case TBM_GETPAGESIZE:
      return PageSizeOf(s);
    case TBM_SETLINESIZE:
      return swap(s.LineSize, std::max(0, static_cast<int>(lParam)));
    case TBM_GETLINESIZE:
      return s.LineSize;
    case TBM_SETTICFREQ:
      s.TicFreq = std::max(1, static_cast<int>(wParam));
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TBM_SETTIC: {
      const int value = static_cast<int>(lParam);
      if (value < s.Min || value > TrackHigh(s)) return FALSE;
      const auto at = std::lower_bound(s.Tics.begin(), s.Tics.end(), value);
      if (at == s.Tics.end() || *at != value) s.Tics.insert(at, value);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TBM_GETTIC:
      return wParam < s.Tics.size() ? s.Tics[wParam] : -1;
    case TBM_CLEARTICS:
      s.Tics.clear();
      if (wParam) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TBM_GETNUMTICS: {
      if (StyleOf(h) & TBS_NOTICKS) return 0;
      const TTrackGeometry g = TrackGeometry(h, s);
      return static_cast<LRESULT>(TicValues(s, StyleOf(h), g.ChannelTo - g.ChannelFrom).size());
    }
    case TBM_SETSEL:
      s.SelStart = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
      s.SelEnd = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam)));
      if (wParam) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TBM_SETSELSTART:
      s.SelStart = static_cast<int>(lParam);
      if (wParam) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TBM_SETSELEND:
      s.SelEnd = static_cast<int>(lParam);
      if (wParam) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TBM_GETSELSTART:
      return s.SelStart;
    case TBM_GETSELEND:
      return s.SelEnd;
    case TBM_CLEARSEL:
      s.SelStart = s.SelEnd = 0;
      if (wParam) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TBM_GETTHUMBRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = TrackGeometry(h, s).Thumb;
      return 0;
    case TBM_GETCHANNELRECT:
      if (lParam) {
        RECT r = TrackGeometry(h, s).Channel;
        if (StyleOf(h) & TBS_VERT) r = Rect(r.Top, r.Left, r.Bottom, r.Right);
        *reinterpret_cast<RECT*>(lParam) = r;
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!s.Dragging && !s.Paging) PressTrack(h, s, lParam);
      return 0;
    case WM_MOUSEMOVE:
      if (s.Dragging) DragTrack(h, s, lParam);
      if (s.Paging) s.PageTarget = AlongOf(h, lParam);
      return 0;
    case WM_TIMER:
      if (wParam != kPageTimer) break;
      if (!s.Paging) {
        KillTimer(h, kPageTimer);
      } else if (PageOnce(h, s) && s.Paging) {
        SetTimer(h, kPageTimer, kPageRepeatDelay);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      EndTracking(h, s);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintTrack(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterTrackBarClass() {
  RegisterControlClass(TRACKBAR_CLASS, TrackProc, CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
