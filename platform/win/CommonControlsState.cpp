// The common controls that only keep and report state: the tab control, the header, the track
// bar (with custom draw), the up-down control, the progress bar, the status bar and the list
// view's header; "ComboBoxEx32", "SysTreeView32" and "ToolbarWindow32" are registered names.
// They paint plainly; of them only the track bar takes the mouse (drag and paging).
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

// Copies text into a caller's buffer of `size` bytes (nothing when it has no room).
void CopyText(const std::string& text, char* buffer, int size) {
  if (buffer && size > 0) win_internal::CopyTextToBuffer(text, buffer, size);
}

// WM_SETFONT/WM_GETFONT for a state that has a Font member; false when not handled.
template <class T>
bool FontMessage(T& s, HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_SETFONT) {
    s.Font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(h, nullptr, TRUE);
    result = 0;
    return true;
  }
  if (msg == WM_GETFONT) {
    result = reinterpret_cast<LRESULT>(s.Font);
    return true;
  }
  return false;
}

DWORD StyleOf(HWND h) {
  return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
}

RECT ClientOf(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return r;
}

// --- tab control -------------------------------------------------------------------------------------

constexpr int kTabPad = 6;      // text to tab edge
constexpr int kTabMargin = 2;   // tab row to control edge
constexpr int kPageBorder = 4;  // frame and margin around the display area

struct TTab {
  std::string Text;
  int Image = -1;
  LPARAM Param = 0;
  DWORD State = 0;
};

struct TTabState : win_internal::TWndData {
  HFONT Font = nullptr;
  std::vector<TTab> Items;
  int Sel = -1;
  int Focus = -1;
};

int TabBand(const TTabState& s) {
  return FontHeight(s.Font) + kTabPad;
}

// A tab along the row: horizontal tabs run left to right at the top (or bottom); vertical
// tabs run top to bottom at the left (or right).
RECT TabRect(HWND h, const TTabState& s, int index) {
  const DWORD style = StyleOf(h);
  const RECT client = ClientOf(h);
  const int band = TabBand(s);
  int along = kTabMargin;
  RECT r{};
  for (int i = 0; i <= index; ++i) {
    const int length = MeasureText(s.Font, s.Items[static_cast<size_t>(i)].Text).cx + 2 * kTabPad;
    if (i == index) {
      if (style & TCS_VERTICAL) {
        const int left = style & TCS_RIGHT ? client.Right - kTabMargin - band : kTabMargin;
        r = Bounds(left, along, band, length);
      } else {
        const int top = style & TCS_BOTTOM ? client.Bottom - kTabMargin - band : kTabMargin;
        r = Bounds(along, top, length, band);
      }
    }
    along += length;
  }
  return r;
}

// The display area from the window area (or back with `larger`).
void AdjustTabRect(HWND h, const TTabState& s, bool larger, RECT& r) {
  const DWORD style = StyleOf(h);
  const int band = TabBand(s) + kTabMargin;
  RECT grow{kPageBorder, kPageBorder, kPageBorder, kPageBorder};  // left, top, right, bottom
  if (style & TCS_VERTICAL)
    (style & TCS_RIGHT ? grow.Right : grow.Left) += band;
  else
    (style & TCS_BOTTOM ? grow.Bottom : grow.Top) += band;
  const int sign = larger ? -1 : 1;
  r.Left += sign * grow.Left;
  r.Top += sign * grow.Top;
  r.Right -= sign * grow.Right;
  r.Bottom -= sign * grow.Bottom;
}

void PaintTabs(HWND h, HDC dc) {
  auto& s = State<TTabState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, ControlColor(h, dc, WM_CTLCOLORDLG));
  RECT page = client;
  AdjustTabRect(h, s, false, page);
  InflateRect(page, kPageBorder / 2, kPageBorder / 2);
  DrawEdge(dc, &page, EDGE_RAISED, BF_RECT);
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  const bool ownerDraw = StyleOf(h) & TCS_OWNERDRAWFIXED;
  for (int i = 0; i < static_cast<int>(s.Items.size()); ++i) {
    RECT r = TabRect(h, s, i);
    if (ownerDraw) {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_TAB;
      dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
      dis.itemID = static_cast<UINT>(i);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = i == s.Sel ? ODS_SELECTED : 0;
      dis.hwndItem = h;
      dis.hDC = dc;
      dis.rcItem = r;
      dis.itemData = static_cast<ULONG_PTR>(s.Items[static_cast<size_t>(i)].Param);
      SendMessage(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      continue;
    }
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    DrawText(dc, s.Items[static_cast<size_t>(i)].Text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

LRESULT TabProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TTabState>(h);
  LRESULT result = 0;
  if (FontMessage(s, h, msg, wParam, lParam, result)) return result;
  const int count = static_cast<int>(s.Items.size());
  const int index = static_cast<int>(wParam);
  switch (msg) {
    case TCM_GETITEMCOUNT:
      return count;
    case TCM_INSERTITEM: {
      const auto* item = reinterpret_cast<const TCITEM*>(lParam);
      if (!item || index < 0) return -1;
      const int at = std::min(index, count);
      TTab tab;
      if ((item->mask & TCIF_TEXT) && item->pszText) tab.Text = item->pszText;
      if (item->mask & TCIF_IMAGE) tab.Image = item->iImage;
      if (item->mask & TCIF_PARAM) tab.Param = item->lParam;
      if (item->mask & TCIF_STATE) tab.State = item->dwState & item->dwStateMask;
      s.Items.insert(s.Items.begin() + at, std::move(tab));
      if (s.Sel < 0)
        s.Sel = s.Focus = 0;
      else if (at <= s.Sel)
        s.Focus = ++s.Sel;
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case TCM_SETITEM:
    case TCM_GETITEM: {
      auto* item = reinterpret_cast<TCITEM*>(lParam);
      if (!item || index < 0 || index >= count) return FALSE;
      TTab& tab = s.Items[static_cast<size_t>(index)];
      if (msg == TCM_SETITEM) {
        if ((item->mask & TCIF_TEXT) && item->pszText) tab.Text = item->pszText;
        if (item->mask & TCIF_IMAGE) tab.Image = item->iImage;
        if (item->mask & TCIF_PARAM) tab.Param = item->lParam;
        if (item->mask & TCIF_STATE)
          tab.State = (tab.State & ~item->dwStateMask) | (item->dwState & item->dwStateMask);
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
      }
      if (item->mask & TCIF_TEXT) CopyText(tab.Text, item->pszText, item->cchTextMax);
      if (item->mask & TCIF_IMAGE) item->iImage = tab.Image;
      if (item->mask & TCIF_PARAM) item->lParam = tab.Param;
      if (item->mask & TCIF_STATE) item->dwState = tab.State & item->dwStateMask;
      return TRUE;
    }
    case TCM_DELETEITEM:
      if (index < 0 || index >= count) return FALSE;
      s.Items.erase(s.Items.begin() + index);
      if (index == s.Sel)
        s.Sel = -1;
      else if (index < s.Sel)
        --s.Sel;
      s.Focus = s.Sel;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_DELETEALLITEMS:
      s.Items.clear();
      s.Sel = s.Focus = -1;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEMRECT:
      if (index < 0 || index >= count || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = TabRect(h, s, index);
      return TRUE;
    case TCM_GETCURSEL:
      return s.Sel;
    case TCM_SETCURSEL: {
      if (index < 0 || index >= count) return -1;
      const int old = s.Sel;
      s.Sel = s.Focus = index;
      InvalidateRect(h, nullptr, TRUE);
      return old;
    }
    case TCM_GETCURFOCUS:
      return s.Focus;
    case TCM_SETCURFOCUS:
      if (index >= 0 && index < count) s.Focus = index;
      return 0;
    case TCM_ADJUSTRECT:
      if (lParam) AdjustTabRect(h, s, wParam != 0, *reinterpret_cast<RECT*>(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintTabs(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

// --- header ----------------------------------------------------------------------------------------

struct THeaderItem {
  std::string Text;
  int Width = 0;
  int Format = HDF_LEFT | HDF_STRING;
  LPARAM Param = 0;
  int Image = 0;
};

struct THeaderState : win_internal::TWndData {
  HFONT Font = nullptr;
  std::vector<THeaderItem> Items;
};

RECT HeaderItemRect(HWND h, const THeaderState& s, int index) {
  int left = 0;
  for (int i = 0; i < index; ++i) left += s.Items[static_cast<size_t>(i)].Width;
  return Rect(left, 0, left + s.Items[static_cast<size_t>(index)].Width, ClientOf(h).Bottom);
}

void PaintHeader(HWND h, HDC dc) {
  auto& s = State<THeaderState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int i = 0; i < static_cast<int>(s.Items.size()); ++i) {
    RECT r = HeaderItemRect(h, s, i);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    const int justify = s.Items[static_cast<size_t>(i)].Format & HDF_JUSTIFYMASK;
    RECT text = r;
    InflateRect(text, -kTabPad, 0);
    DrawText(dc, s.Items[static_cast<size_t>(i)].Text, &text,
             DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS |
                 (justify == HDF_RIGHT    ? DT_RIGHT
                  : justify == HDF_CENTER ? DT_CENTER
                                          : DT_LEFT));
  }
}

LRESULT HeaderProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<THeaderState>(h);
  LRESULT result = 0;
  if (FontMessage(s, h, msg, wParam, lParam, result)) return result;
  const int count = static_cast<int>(s.Items.size());
  const int index = static_cast<int>(wParam);
  switch (msg) {
    case HDM_GETITEMCOUNT:
      return count;
    case HDM_INSERTITEM: {
      const auto* item = reinterpret_cast<const HDITEM*>(lParam);
      if (!item || index < 0) return -1;
      const int at = std::min(index, count);
      THeaderItem it;
      if ((item->mask & HDI_TEXT) && item->pszText) it.Text = item->pszText;
      if (item->mask & HDI_WIDTH) it.Width = std::max(0, item->cxy);
      if (item->mask & HDI_FORMAT) it.Format = item->fmt;
      if (item->mask & HDI_LPARAM) it.Param = item->lParam;
      if (item->mask & HDI_IMAGE) it.Image = item->iImage;
      s.Items.insert(s.Items.begin() + at, std::move(it));
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case HDM_DELETEITEM:
      if (index < 0 || index >= count) return FALSE;
      s.Items.erase(s.Items.begin() + index);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case HDM_SETITEM:
    case HDM_GETITEM: {
      auto* item = reinterpret_cast<HDITEM*>(lParam);
      if (!item || index < 0 || index >= count) return FALSE;
      THeaderItem& it = s.Items[static_cast<size_t>(index)];
      if (msg == HDM_SETITEM) {
        if ((item->mask & HDI_TEXT) && item->pszText) it.Text = item->pszText;
        if (item->mask & HDI_WIDTH) it.Width = std::max(0, item->cxy);
        if (item->mask & HDI_FORMAT) it.Format = item->fmt;
        if (item->mask & HDI_LPARAM) it.Param = item->lParam;
        if (item->mask & HDI_IMAGE) it.Image = item->iImage;
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
      }
      if (item->mask & HDI_TEXT) CopyText(it.Text, item->pszText, item->cchTextMax);
      if (item->mask & HDI_WIDTH) item->cxy = it.Width;
      if (item->mask & HDI_FORMAT) item->fmt = it.Format;
      if (item->mask & HDI_LPARAM) item->lParam = it.Param;
      if (item->mask & HDI_IMAGE) item->iImage = it.Image;
      if (item->mask & HDI_ORDER) item->iOrder = index;
      return TRUE;
    }
    case HDM_GETITEMRECT:
      if (index < 0 || index >= count || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = HeaderItemRect(h, s, index);
      return TRUE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintHeader(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

// --- track bar ----------------------------------------------------------------------------------------

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

// --- up-down --------------------------------------------------------------------------------------

struct TUpDownState : win_internal::TWndData {
  int Min = 100;  // the customary default runs backwards: up decreases
  int Max = 0;
  int Pos = 0;
};

void PaintUpDown(HWND h, HDC dc) {
  RECT client = ClientOf(h);
  const bool horz = StyleOf(h) & UDS_HORZ;
  RECT first = client, second = client;
  if (horz)
    first.Right = second.Left = client.Left + client.Width() / 2;
  else
    first.Bottom = second.Top = client.Top + client.Height() / 2;
  DrawFrameControl(dc, &first, DFC_SCROLL, horz ? DFCS_SCROLLLEFT : DFCS_SCROLLUP);
  DrawFrameControl(dc, &second, DFC_SCROLL, horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN);
}

LRESULT UpDownProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TUpDownState>(h);
  switch (msg) {
    case UDM_SETRANGE:
      s.Max = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
      s.Min = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(static_cast<WORD>(s.Max), static_cast<WORD>(s.Min));
    case UDM_SETPOS: {
      const int old = s.Pos;
      const int want = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
      s.Pos = std::clamp(want, std::min(s.Min, s.Max), std::max(s.Min, s.Max));
      return static_cast<WORD>(old);
    }
    case UDM_GETPOS:
      return static_cast<WORD>(s.Pos);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintUpDown(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

// --- progress bar -------------------------------------------------------------------------------------

struct TProgressState : win_internal::TWndData {
  int Low = 0;
  int High = 100;
  int Pos = 0;
  int Step = 10;
};

// The filled part: from the left, or from the bottom for PBS_VERTICAL.
RECT ProgressFill(HWND h, const TProgressState& s) {
  RECT r = ClientOf(h);
  InflateRect(r, -1, -1);
  const int64_t range = std::max<int64_t>(1, static_cast<int64_t>(s.High) - s.Low);
  const int64_t done = static_cast<int64_t>(s.Pos) - s.Low;
  if (StyleOf(h) & PBS_VERTICAL)
    r.Top = r.Bottom - static_cast<int>(done * r.Height() / range);
  else
    r.Right = r.Left + static_cast<int>(done * r.Width() / range);
  return r;
}

void PaintProgress(HWND h, HDC dc) {
  auto& s = State<TProgressState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
  RECT fill = ProgressFill(h, s);
  if (fill.Width() > 0 && fill.Height() > 0) FillRect(dc, &fill, GetSysColorBrush(COLOR_HIGHLIGHT));
}

LRESULT ProgressProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TProgressState>(h);
  auto setPos = [&](int64_t pos) {
    const int old = s.Pos;
    s.Pos = static_cast<int>(std::clamp<int64_t>(pos, s.Low, std::max(s.Low, s.High)));
    if (old != s.Pos) InvalidateRect(h, nullptr, TRUE);
    return static_cast<LRESULT>(old);
  };
  auto setRange = [&](int low, int high) {
    const LRESULT old = MAKELONG(static_cast<WORD>(s.Low), static_cast<WORD>(s.High));
    s.Low = low;
    s.High = high;
    setPos(s.Pos);
    InvalidateRect(h, nullptr, TRUE);
    return old;
  };
  switch (msg) {
    case PBM_SETRANGE:
      return setRange(LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
    case PBM_SETRANGE32:
      return setRange(static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
      if (auto* r = reinterpret_cast<PBRANGE*>(lParam)) {
        r->iLow = s.Low;
        r->iHigh = s.High;
      }
      return wParam ? s.Low : s.High;
    case PBM_SETPOS:
      return setPos(static_cast<int>(wParam));
    case PBM_DELTAPOS:
      return setPos(static_cast<int64_t>(s.Pos) + static_cast<int>(wParam));
    case PBM_SETSTEP: {
      const int old = s.Step;
      s.Step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT: {
      // Stepping past the end wraps to the start.
      int64_t next = static_cast<int64_t>(s.Pos) + s.Step;
      if (next > s.High) next = s.Low + (next - s.High);
      return setPos(next);
    }
    case PBM_GETPOS:
      return s.Pos;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintProgress(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

// --- status bar ---------------------------------------------------------------------------------------

constexpr int kMaxParts = 256;
constexpr int kStatusBorderY = 2;
constexpr int kStatusGap = 2;

struct TStatusPart {
  int Right = -1;  // -1: to the right edge
  std::string Text;
  WORD Type = 0;
};

struct TStatusState : win_internal::TWndData {
  HFONT Font = nullptr;
  std::vector<TStatusPart> Parts{TStatusPart{}};
  bool Placing = false;
};

int GripWidth(HWND h) {
  return StyleOf(h) & SBARS_SIZEGRIP ? GetSystemMetrics(SM_CXVSCROLL) : 0;
}

RECT StatusPartRect(HWND h, const TStatusState& s, int index) {
  const RECT client = ClientOf(h);
  const int limit = client.Right - GripWidth(h);
  int left = 0;
  for (int i = 0; i < index; ++i) {
    const int right = s.Parts[static_cast<size_t>(i)].Right;
    left = (right < 0 ? limit : std::min(right, limit)) + kStatusGap;
  }
  const int right = s.Parts[static_cast<size_t>(index)].Right;
  const int r = right < 0 ? limit : std::min(right, limit);
  return Rect(std::min(left, r), kStatusBorderY, r, client.Bottom);
}

// Keeps the bar along the bottom of its parent's client area at the height of its font.
void PlaceStatusBar(HWND h, TStatusState& s) {
  HWND parent = GetParent(h);
  if (!parent || s.Placing) return;
  s.Placing = true;
  RECT area = ClientOf(parent);
  const int height = FontHeight(s.Font) + 2 * kStatusBorderY + 4;
  SetWindowPos(h, nullptr, 0, area.Bottom - height, area.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (auto* alive = StateIf<TStatusState>(h)) alive->Placing = false;
}

void PaintStatus(HWND h, HDC dc) {
  auto& s = State<TStatusState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int i = 0; i < static_cast<int>(s.Parts.size()); ++i) {
    RECT r = StatusPartRect(h, s, i);
    const TStatusPart& part = s.Parts[static_cast<size_t>(i)];
    if (!(part.Type & SBT_NOBORDERS))
      DrawEdge(dc, &r, part.Type & SBT_POPOUT ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    RECT text = r;
    InflateRect(text, -2, 0);
    DrawText(dc, part.Text, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (const int grip = GripWidth(h)) {
    RECT r = Rect(client.Right - grip, client.Bottom - grip, client.Right, client.Bottom);
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

LRESULT StatusProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TStatusState>(h);
  LRESULT result = 0;
  if (FontMessage(s, h, msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_CREATE:
      PlaceStatusBar(h, s);
      return 0;
    case WM_SIZE:
      PlaceStatusBar(h, s);
      return 0;
    case SB_SETPARTS: {
      const int count = static_cast<int>(wParam);
      const auto* edges = reinterpret_cast<const int*>(lParam);
      if (count <= 0 || count > kMaxParts || !edges) return FALSE;
      s.Parts.resize(static_cast<size_t>(count));
      for (int i = 0; i < count; ++i) s.Parts[static_cast<size_t>(i)].Right = edges[i];
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETPARTS: {
      const int n = static_cast<int>(s.Parts.size());
      if (auto* edges = reinterpret_cast<int*>(lParam))
        for (int i = 0; i < std::min(n, static_cast<int>(wParam)); ++i)
          edges[i] = s.Parts[static_cast<size_t>(i)].Right;
      return n;
    }
    case SB_GETRECT: {
      const int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(s.Parts.size()) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = StatusPartRect(h, s, index);
      return TRUE;
    }
    case SB_SETTEXT: {
      const int index = LOBYTE(LOWORD(wParam));
      if (index >= static_cast<int>(s.Parts.size())) return FALSE;
      TStatusPart& part = s.Parts[static_cast<size_t>(index)];
      part.Type = static_cast<WORD>(wParam & 0xFF00);
      part.Text = lParam && !(part.Type & SBT_OWNERDRAW) ? reinterpret_cast<const char*>(lParam) : "";
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETTEXTLENGTH:
    case SB_GETTEXT: {
      const int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(s.Parts.size())) return 0;
      const TStatusPart& part = s.Parts[static_cast<size_t>(index)];
      if (msg == SB_GETTEXT) CopyWhole(part.Text, lParam);
      return MAKELONG(static_cast<WORD>(part.Text.size()), part.Type);
    }
    case WM_NCHITTEST:
      if (const int grip = GripWidth(h)) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(h, &p);
        const RECT client = ClientOf(h);
        if (p.X >= client.Right - grip && p.Y >= client.Bottom - grip) return HTBOTTOMRIGHT;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintStatus(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

// --- list view --------------------------------------------------------------------------------------

struct TListViewState : win_internal::TWndData {
  HFONT Font = nullptr;
  HWND Header = nullptr;
};

LRESULT ListViewProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TListViewState>(h);
  switch (msg) {
    case WM_CREATE: {
      const DWORD style = StyleOf(h);
      const bool shown = (style & LVS_TYPEMASK) == LVS_REPORT && !(style & LVS_NOCOLUMNHEADER);
      const RECT client = ClientOf(h);
      s.Header = CreateWindowEx(0, WC_HEADER, "", WS_CHILD | (shown ? WS_VISIBLE : 0), 0, 0, client.Width(),
                                FontHeight(s.Font) + kTabPad, h, nullptr, nullptr, nullptr);
      return s.Header ? 0 : -1;
    }
    case LVM_GETHEADER:
      return reinterpret_cast<LRESULT>(IsWindow(s.Header) ? s.Header : nullptr);
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      if (IsWindow(s.Header)) SendMessage(s.Header, WM_SETFONT, wParam, lParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

LRESULT NameOnlyProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterCommonControlClasses() {
  const UINT redraw = CS_HREDRAW | CS_VREDRAW;
  RegisterControlClass(WC_TABCONTROL, TabProc, CS_DBLCLKS | redraw);
  RegisterControlClass(WC_HEADER, HeaderProc, CS_DBLCLKS | redraw);
  RegisterControlClass(TRACKBAR_CLASS, TrackProc, redraw);
  RegisterControlClass(UPDOWN_CLASS, UpDownProc, redraw);
  RegisterControlClass(PROGRESS_CLASS, ProgressProc, redraw);
  RegisterControlClass(STATUSCLASSNAME, StatusProc, CS_DBLCLKS | redraw);
  RegisterControlClass(WC_LISTVIEW, ListViewProc, CS_DBLCLKS, nullptr,
                       reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
  for (const char* name : {WC_COMBOBOXEX, WC_TREEVIEW, TOOLBARCLASSNAME})
    RegisterControlClass(name, NameOnlyProc, CS_DBLCLKS);
}

}  // namespace win_controls
