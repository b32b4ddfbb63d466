// The "SysListView32" class: its header child (shown in report view without
// LVS_NOCOLUMNHEADER), its font, which it passes on to the header, and its items with their
// sub-items and states. Only the report view draws the items, one row each under the header's
// columns, and keeps a vertical window scroll bar over the rows; the other views keep the items
// without showing them.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

// Room above and below the text of a row, and between a cell's edge and its text.
constexpr int kRowPad = 4;
constexpr int kCellInset = 4;
// More sub-items than any header could show: a caller's wild index gets no memory.
constexpr int kMaxSubItems = 256;

struct TListViewItem {
  std::vector<std::string> Texts{std::string()};  // the caption, then the sub-items
  LPARAM Param = 0;
  UINT State = 0;
};

struct TListViewState : win_internal::TWndData {
  HFONT Font = nullptr;
  HWND Header = nullptr;
  std::vector<TListViewItem> Items;
  int Top = 0;
  int Focus = -1;
  int FontHeight = 0;  // measured once a font, not for every row
};

int Count(const TListViewState& s) {
  return static_cast<int>(s.Items.size());
}

bool Valid(const TListViewState& s, int i) {
  return i >= 0 && i < Count(s);
}

bool IsReport(HWND h) {
  return (StyleOf(h) & LVS_TYPEMASK) == LVS_REPORT;
}

bool HeaderShown(HWND h) {
  return IsReport(h) && !(StyleOf(h) & LVS_NOCOLUMNHEADER);
}

int HeaderHeight(const TListViewState& s) {
  return s.FontHeight + kTabPad;
}

int RowHeight(const TListViewState& s) {
  return s.FontHeight + kRowPad;
}

// Where the rows start: below the header when it shows.
int RowsTop(HWND h, const TListViewState& s) {
  return HeaderShown(h) && IsWindow(s.Header) ? HeaderHeight(s) : 0;
}

// Rows that fit entirely below the header.
int RowsPerPage(HWND h, const TListViewState& s) {
  return std::max(0, (ClientOf(h).Height() - RowsTop(h, s)) / RowHeight(s));
}

int MaxTop(HWND h, const TListViewState& s) {
  return std::max(0, Count(s) - std::max(1, RowsPerPage(h, s)));
}

void UpdateScrollBar(HWND h, const TListViewState& s) {
  if (!IsReport(h)) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, Count(s) - 1);
  si.nPage = static_cast<UINT>(RowsPerPage(h, s));
  si.nPos = s.Top;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void LayOutHeader(HWND h, const TListViewState& s) {
  if (IsWindow(s.Header))
    SetWindowPos(s.Header, nullptr, 0, 0, ClientOf(h).Width(), HeaderHeight(s),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetTop(HWND h, TListViewState& s, int top) {
  top = std::clamp(top, 0, MaxTop(h, s));
  if (top == s.Top) return;
  s.Top = top;
  UpdateScrollBar(h, s);
  InvalidateRect(h, nullptr, TRUE);
}

void EnsureVisible(HWND h, TListViewState& s, int i) {
  if (!Valid(s, i)) return;
  const int page = std::max(1, RowsPerPage(h, s));
  if (i < s.Top)
    SetTop(h, s, i);
  else if (i >= s.Top + page)
    SetTop(h, s, i - page + 1);
}

// Keeps the top row in range after the item count or the page changed.
void Refit(HWND h, TListViewState& s) {
  s.Top = std::clamp(s.Top, 0, MaxTop(h, s));
  UpdateScrollBar(h, s);
  InvalidateRect(h, nullptr, TRUE);
}

RECT RowRect(HWND h, const TListViewState& s, int i) {
  const int y = RowsTop(h, s) + (i - s.Top) * RowHeight(s);
  return RECT{0, y, ClientOf(h).Width(), y + RowHeight(s)};
}

struct TColumn {
  int Left = 0;
  int Right = 0;
  UINT Format = DT_LEFT;
};

std::vector<TColumn> Columns(const TListViewState& s) {
  std::vector<TColumn> columns;
  if (!IsWindow(s.Header)) return columns;
  const int n = static_cast<int>(SendMessage(s.Header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    RECT r{};
    HDITEM item;
    item.mask = HDI_FORMAT;
    if (!SendMessage(s.Header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) ||
        !SendMessage(s.Header, HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
      continue;
    const int justify = item.fmt & HDF_JUSTIFYMASK;
    columns.push_back({r.Left, r.Right,
                       justify == HDF_RIGHT    ? UINT{DT_RIGHT}
                       : justify == HDF_CENTER ? UINT{DT_CENTER}
                                               : UINT{DT_LEFT}});
  }
  return columns;
}

void PaintRows(HWND h, HDC dc) {
  auto& s = State<TListViewState>(h);
  // The background comes from the window's own erase answer, so a wrapper's colour holds also
  // when the rows are painted into a DC that nobody erased.
  SendMessage(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (!IsReport(h)) return;
  const std::vector<TColumn> columns = Columns(s);
  const int rowsRight = columns.empty() ? 0 : columns.back().Right;
  const RECT client = ClientOf(h);
  const int rowsTop = RowsTop(h, s);
  IntersectClipRect(dc, 0, rowsTop, client.Right, client.Bottom);
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  const bool enabled = IsWindowEnabled(h);
  const bool focused = GetFocus() == h;
  for (int i = s.Top; i < Count(s); ++i) {
    const RECT row = RowRect(h, s, i);
    if (row.Top >= client.Bottom) break;
    const TListViewItem& item = s.Items[static_cast<size_t>(i)];
    const bool selected = (item.State & LVIS_SELECTED) != 0;
    const RECT band{0, row.Top, std::min(rowsRight, client.Right), row.Bottom};
    if (selected) FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                 : selected ? COLOR_HIGHLIGHTTEXT
                                            : COLOR_WINDOWTEXT));
    for (size_t c = 0; c < columns.size() && c < item.Texts.size(); ++c) {
      RECT cell{columns[c].Left + kCellInset, row.Top, columns[c].Right - kCellInset, row.Bottom};
      if (cell.Right <= cell.Left) continue;
      DrawText(dc, item.Texts[c], &cell,
               columns[c].Format | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (focused && i == s.Focus && band.Right > band.Left) DrawFocusRect(dc, &band);
  }
}

// Changes an item's state bits under `mask` and tells the parent.
void SetState(HWND h, TListViewState& s, int i, UINT state, UINT mask) {
  TListViewItem& item = s.Items[static_cast<size_t>(i)];
  const UINT before = item.State;
  item.State = (item.State & ~mask) | (state & mask & (LVIS_SELECTED | LVIS_FOCUSED));
  if (item.State & LVIS_FOCUSED) {
    if (Valid(s, s.Focus) && s.Focus != i) s.Items[static_cast<size_t>(s.Focus)].State &= ~LVIS_FOCUSED;
    s.Focus = i;
  } else if (s.Focus == i) {
    s.Focus = -1;
  }
  if (item.State == before) return;
  InvalidateRect(h, nullptr, TRUE);
  NMLISTVIEW nm;
  nm.hdr.code = LVN_ITEMCHANGED;
  nm.iItem = i;
  nm.uNewState = item.State;
  nm.uOldState = before;
  nm.uChanged = LVIF_STATE;
  nm.lParam = item.Param;
  NotifyParent(h, nm.hdr);
}

// The user's pick: the one selected and focused item, kept in view.
void SelectOnly(HWND h, TListViewState& s, int i) {
  if (!Valid(s, i)) return;
  for (int k = 0; k < Count(s); ++k)
    if (k != i && (s.Items[static_cast<size_t>(k)].State & LVIS_SELECTED))
      SetState(h, s, k, 0, LVIS_SELECTED);
  SetState(h, s, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EnsureVisible(h, s, i);
}

int FirstSelected(const TListViewState& s) {
  for (int i = 0; i < Count(s); ++i)
    if (s.Items[static_cast<size_t>(i)].State & LVIS_SELECTED) return i;
  return -1;
}

void KeyDown(HWND h, TListViewState& s, WPARAM vk) {
  if (!IsReport(h) || Count(s) == 0) return;
  const int from = Valid(s, s.Focus) ? s.Focus : FirstSelected(s);
  const int page = std::max(1, RowsPerPage(h, s) - 1);
  int to = from;
  switch (vk) {
    case VK_UP:
      to = from - 1;
      break;
    case VK_DOWN:
      to = from + 1;
      break;
    case VK_PRIOR:
      to = from - page;
      break;
    case VK_NEXT:
      to = from < 0 ? page : from + page;
      break;
    case VK_HOME:
      to = 0;
      break;
    case VK_END:
      to = Count(s) - 1;
      break;
    default:
      return;
  }
  SelectOnly(h, s, std::clamp(to, 0, Count(s) - 1));
}

void VScroll(HWND h, TListViewState& s, WPARAM wParam) {
  const int page = std::max(1, RowsPerPage(h, s));
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      SetTop(h, s, s.Top - 1);
      break;
    case SB_LINEDOWN:
      SetTop(h, s, s.Top + 1);
      break;
    case SB_PAGEUP:
      SetTop(h, s, s.Top - page);
      break;
    case SB_PAGEDOWN:
      SetTop(h, s, s.Top + page);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The bar's 32-bit track position while it tracks; the 16 bits of wParam otherwise.
      SCROLLINFO si;
      si.fMask = SIF_POS | SIF_TRACKPOS;
      const bool tracking = GetScrollInfo(h, SB_VERT, &si) && si.nTrackPos != si.nPos;
      SetTop(h, s, tracking ? si.nTrackPos : HIWORD(wParam));
      break;
    }
    case SB_TOP:
      SetTop(h, s, 0);
      break;
    case SB_BOTTOM:
      SetTop(h, s, Count(s));
      break;
    default:
      break;
  }
}

void Wheel(HWND h, TListViewState& s, int delta) {
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  // A setting beyond a page (WHEEL_PAGESCROLL among them) scrolls a page.
  const int page = std::max(1, RowsPerPage(h, s));
  const int step = lines > static_cast<UINT>(page) ? page : static_cast<int>(lines);
  SetTop(h, s, s.Top - delta / WHEEL_DELTA * step);
}

int Insert(HWND h, TListViewState& s, const LVITEM* in) {
  if (!in || in->iSubItem != 0) return -1;
  const int at = in->iItem < 0 || in->iItem > Count(s) ? Count(s) : in->iItem;
  TListViewItem item;
  if ((in->mask & LVIF_TEXT) && in->pszText) item.Texts[0] = in->pszText;
  if (in->mask & LVIF_PARAM) item.Param = in->lParam;
  s.Items.insert(s.Items.begin() + at, std::move(item));
  if (s.Focus >= at) ++s.Focus;
  if (in->mask & LVIF_STATE) SetState(h, s, at, in->state, in->stateMask);
  Refit(h, s);
  return at;
}

void Delete(HWND h, TListViewState& s, int i) {
  s.Items.erase(s.Items.begin() + i);
  if (s.Focus == i)
    s.Focus = -1;
  else if (s.Focus > i)
    --s.Focus;
  Refit(h, s);
}

BOOL SetText(HWND h, TListViewState& s, int i, const LVITEM* in) {
  if (!Valid(s, i) || !in || in->iSubItem < 0 || in->iSubItem >= kMaxSubItems) return FALSE;
  auto& texts = s.Items[static_cast<size_t>(i)].Texts;
  const auto sub = static_cast<size_t>(in->iSubItem);
  if (texts.size() <= sub) texts.resize(sub + 1);
  texts[sub] = in->pszText ? in->pszText : "";
  InvalidateRect(h, nullptr, TRUE);
  return TRUE;
}

LRESULT GetText(const TListViewState& s, int i, LVITEM* out) {
  if (!Valid(s, i) || !out || out->iSubItem < 0) return 0;
  const auto& texts = s.Items[static_cast<size_t>(i)].Texts;
  const auto sub = static_cast<size_t>(out->iSubItem);
  return win_internal::CopyTextToBuffer(sub < texts.size() ? texts[sub] : std::string(), out->pszText,
                                        out->cchTextMax);
}

LRESULT NextItem(const TListViewState& s, int start, UINT flags) {
  for (int i = std::max(-1, start) + 1; i < Count(s); ++i) {
    const UINT state = s.Items[static_cast<size_t>(i)].State;
    if ((!(flags & LVNI_SELECTED) || (state & LVIS_SELECTED)) &&
        (!(flags & LVNI_FOCUSED) || (state & LVIS_FOCUSED)))
      return i;
  }
  return -1;
}

LRESULT ListViewProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TListViewState>(h);
  const int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (msg) {
    case WM_CREATE: {
      s.FontHeight = FontHeight(s.Font);
      const RECT client = ClientOf(h);
      s.Header = CreateWindowEx(0, WC_HEADER, "", WS_CHILD | (HeaderShown(h) ? WS_VISIBLE : 0), 0, 0,
                                client.Width(), HeaderHeight(s), h, nullptr, nullptr, nullptr);
      if (!s.Header) return -1;
      UpdateScrollBar(h, s);
      return 0;
    }
    case LVM_GETHEADER:
      return reinterpret_cast<LRESULT>(IsWindow(s.Header) ? s.Header : nullptr);
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      s.FontHeight = FontHeight(s.Font);
      if (IsWindow(s.Header)) SendMessage(s.Header, WM_SETFONT, wParam, lParam);
      LayOutHeader(h, s);
      Refit(h, s);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    case WM_SIZE:
      LayOutHeader(h, s);
      Refit(h, s);
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != h) SetFocus(h);
      const int y = GET_Y_LPARAM(lParam) - RowsTop(h, s);
      if (IsReport(h) && y >= 0) SelectOnly(h, s, s.Top + y / RowHeight(s));
      return 0;
    }
    case WM_KEYDOWN:
      KeyDown(h, s, wParam);
      return 0;
    case WM_VSCROLL:
      if (IsReport(h)) VScroll(h, s, wParam);
      return 0;
    case WM_MOUSEWHEEL:
      if (IsReport(h)) Wheel(h, s, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case LVM_INSERTITEM:
      return Insert(h, s, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_DELETEITEM:
      if (!Valid(s, index)) return FALSE;
      Delete(h, s, index);
      return TRUE;
    case LVM_DELETEALLITEMS:
      s.Items.clear();
      s.Focus = -1;
      Refit(h, s);
      return TRUE;
    case LVM_GETITEMCOUNT:
      return Count(s);
    case LVM_SETITEMTEXT:
      return SetText(h, s, index, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_GETITEMTEXT:
      return GetText(s, index, reinterpret_cast<LVITEM*>(lParam));
    case LVM_SETITEMSTATE: {
      const auto* in = reinterpret_cast<const LVITEM*>(lParam);
      if (!in || (index != -1 && !Valid(s, index))) return FALSE;
      for (int i = index == -1 ? 0 : index; i < (index == -1 ? Count(s) : index + 1); ++i)
        SetState(h, s, i, in->state, in->stateMask);
      return TRUE;
    }
    case LVM_GETITEMSTATE:
      return Valid(s, index) ? static_cast<LRESULT>(s.Items[static_cast<size_t>(index)].State & lParam) : 0;
    case LVM_GETNEXTITEM:
      return NextItem(s, index, static_cast<UINT>(lParam));
    case LVM_GETTOPINDEX:
      return IsReport(h) ? s.Top : 0;
    case LVM_GETCOUNTPERPAGE:
      return IsReport(h) ? RowsPerPage(h, s) : Count(s);
    case LVM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (!IsReport(h) || !Valid(s, index) || !r) return FALSE;
      const std::vector<TColumn> columns = Columns(s);
      *r = RowRect(h, s, index);
      r->Right = columns.empty() ? 0 : columns.back().Right;
      return TRUE;
    }
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintRows(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterListViewClass() {
  RegisterControlClass(WC_LISTVIEW, ListViewProc, CS_DBLCLKS, nullptr,
                       reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
}

}  // namespace win_controls
