// The "ListBox" class: strings or owner-drawn items with data, single, multiple and extended
// selection (basic), a top index kept in step with the window's vertical scroll bar, and the
// LBN_ notifications of LBS_NOTIFY.
#include <algorithm>
#include <vector>

#include "platform/rtl/Collation.h"
#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

struct TItem {
  std::string Text;
  ULONG_PTR Data = 0;
  bool Selected = false;
  int Height = 0;  // owner draw variable only
};

struct TListState : win_internal::TWndData {
  std::vector<TItem> Items;
  int Cur = -1;  // the selection (single) or the focus item (multiple)
  int Top = 0;
  int ItemHeight = 0;
  HFONT Font = nullptr;
  bool Focused = false;
  bool Tracking = false;
  int Anchor = -1;
  bool VScroll = false;  // created with WS_VSCROLL (hiding the bar clears the style)
};

DWORD StyleOf(HWND h) {
  return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
}
int Count(const TListState& s) {
  return static_cast<int>(s.Items.size());
}
bool MultiSel(HWND h) {
  return (StyleOf(h) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}
bool OwnerDraw(HWND h) {
  return (StyleOf(h) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
}
bool HasStrings(HWND h) {
  return !OwnerDraw(h) || (StyleOf(h) & LBS_HASSTRINGS);
}
bool Valid(const TListState& s, int i) {
  return i >= 0 && i < Count(s);
}

int HeightOf(HWND h, const TListState& s, int i) {
  if ((StyleOf(h) & LBS_OWNERDRAWVARIABLE) && Valid(s, i)) return s.Items[static_cast<size_t>(i)].Height;
  return s.ItemHeight;
}

int ClientHeight(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return r.Height();
}

// Items that fit entirely from the top index (at least one).
int VisibleCount(HWND h, const TListState& s) {
  int y = 0;
  int n = 0;
  for (int i = s.Top; i < Count(s); ++i) {
    y += HeightOf(h, s, i);
    if (y > ClientHeight(h)) break;
    ++n;
  }
  if (n == 0 && s.ItemHeight > 0) n = std::max(1, ClientHeight(h) / std::max(1, s.ItemHeight));
  return std::max(1, n);
}

void UpdateScrollBar(HWND h, TListState& s) {
  if (!s.VScroll) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (StyleOf(h) & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, Count(s) - 1);
  si.nPage = static_cast<UINT>(VisibleCount(h, s));
  si.nPos = s.Top;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void Redraw(HWND h) {
  InvalidateRect(h, nullptr, TRUE);
}

void SetTop(HWND h, TListState& s, int top) {
  // The last page stays full.
  int maxTop = Count(s) - 1;
  int y = 0;
  while (maxTop > 0 && y + HeightOf(h, s, maxTop - 1) + HeightOf(h, s, maxTop) <= ClientHeight(h)) {
    y += HeightOf(h, s, maxTop);
    --maxTop;
  }
  top = std::clamp(top, 0, std::max(0, maxTop));
  if (top == s.Top) return;
  s.Top = top;
  UpdateScrollBar(h, s);
  Redraw(h);
}

void EnsureVisible(HWND h, TListState& s, int i) {
  if (!Valid(s, i)) return;
  if (i < s.Top) {
    SetTop(h, s, i);
    return;
  }
  while (i >= s.Top + VisibleCount(h, s) && s.Top < i) {
    const int before = s.Top;
    SetTop(h, s, s.Top + 1);
    if (s.Top == before) break;
  }
}

RECT ItemRect(HWND h, const TListState& s, int i) {
  RECT client;
  GetClientRect(h, &client);
  int y = 0;
  if (i >= s.Top)
    for (int k = s.Top; k < i; ++k) y += HeightOf(h, s, k);
  else
    for (int k = i; k < s.Top; ++k) y -= HeightOf(h, s, k);
  return RECT{0, y, client.Right, y + HeightOf(h, s, i)};
}

int ItemAt(HWND h, const TListState& s, int y, bool* outside) {
  *outside = y < 0 || y >= ClientHeight(h);
  int top = 0;
  for (int i = s.Top; i < Count(s); ++i) {
    const int bottom = top + HeightOf(h, s, i);
    if (y < bottom) return std::max(i, s.Top);
    top = bottom;
  }
  *outside = true;
  return std::max(0, Count(s) - 1);
}

int CompareText(const std::string& a, const std::string& b) {
  std::u32string x = Decode(a), y = Decode(b);
  for (auto& c : x) c = UnicodeFoldCase(c);
  for (auto& c : y) c = UnicodeFoldCase(c);
  return x.compare(y);
}

int Insert(HWND h, TListState& s, int index, LPARAM value, bool sorted) {
  TItem item;
  if (HasStrings(h)) {
    const char* text = reinterpret_cast<const char*>(value);
    item.Text = text ? text : "";
  } else {
    item.Data = static_cast<ULONG_PTR>(value);
  }
  if (sorted && HasStrings(h)) {
    index = 0;
    while (index < Count(s) && CompareText(s.Items[static_cast<size_t>(index)].Text, item.Text) <= 0) ++index;
  } else if (index < 0) {
    index = Count(s);
  } else if (index > Count(s)) {
    return static_cast<int>(LB_ERR);
  }
  item.Height = s.ItemHeight;
  s.Items.insert(s.Items.begin() + index, item);
  if (StyleOf(h) & LBS_OWNERDRAWVARIABLE) {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_LISTBOX;
    mis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
    mis.itemID = static_cast<UINT>(index);
    mis.itemHeight = static_cast<UINT>(s.ItemHeight);
    mis.itemData = HasStrings(h) ? 0 : item.Data;
    SendMessage(ControlParent(h), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    s.Items[static_cast<size_t>(index)].Height = static_cast<int>(std::min<UINT>(mis.itemHeight, 255));
  }
  if (s.Cur >= index) ++s.Cur;
  UpdateScrollBar(h, s);
  Redraw(h);
  return index;
}

int Find(const TListState& s, int start, const std::string& text, bool exact, bool hasStrings) {
  const int n = Count(s);
  if (n == 0) return static_cast<int>(LB_ERR);
  const std::u32string want = Decode(text);
  for (int k = 1; k <= n; ++k) {
    const int i = ((start < 0 || start >= n ? -1 : start) + k) % n;
    const TItem& item = s.Items[static_cast<size_t>(i)];
    if (!hasStrings) {
      if (item.Data == reinterpret_cast<ULONG_PTR>(text.c_str())) return i;
      continue;
    }
    const std::u32string have = Decode(item.Text);
    if (exact ? have.size() != want.size() : have.size() < want.size()) continue;
    bool same = true;
    for (size_t c = 0; c < want.size() && same; ++c)
      same = UnicodeFoldCase(have[c]) == UnicodeFoldCase(want[c]);
    if (same) return i;
  }
  return static_cast<int>(LB_ERR);
}

bool Select(HWND h, TListState& s, int i) {
  if (!MultiSel(h)) {
    if (!Valid(s, i)) i = -1;
    if (s.Cur == i) return false;
    if (Valid(s, s.Cur)) s.Items[static_cast<size_t>(s.Cur)].Selected = false;
    s.Cur = i;
    if (Valid(s, i)) s.Items[static_cast<size_t>(i)].Selected = true;
  } else {
    if (!Valid(s, i)) return false;
    bool changed = s.Cur != i;
    for (int k = 0; k < Count(s); ++k) {
      const bool want = k == i;
      changed |= s.Items[static_cast<size_t>(k)].Selected != want;
      s.Items[static_cast<size_t>(k)].Selected = want;
    }
    s.Cur = i;
    s.Anchor = i;
    if (!changed) return false;
  }
  EnsureVisible(h, s, i);
  Redraw(h);
  return true;
}

void UserSelect(HWND h, TListState& s, int i) {
  if (Select(h, s, i) && (StyleOf(h) & LBS_NOTIFY)) NotifyParent(h, LBN_SELCHANGE);
}

void Paint(HWND h, HDC dc) {
  auto& s = State<TListState>(h);
  RECT client;
  GetClientRect(h, &client);
  HBRUSH brush = ControlColor(h, dc, WM_CTLCOLORLISTBOX);
  FillRect(dc, &client, brush);
  SelectObject(dc, ControlFont(s.Font));
  const COLORREF text = GetTextColor(dc);
  const bool enabled = IsWindowEnabled(h);
  for (int i = s.Top; i < Count(s); ++i) {
    RECT r = ItemRect(h, s, i);
    if (r.Top >= client.Bottom) break;
    const TItem& item = s.Items[static_cast<size_t>(i)];
    const bool focus = s.Focused && i == s.Cur;
    if (OwnerDraw(h)) {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_LISTBOX;
      dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
      dis.itemID = static_cast<UINT>(i);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState =
          (item.Selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
      dis.hwndItem = h;
      dis.hDC = dc;
      dis.rcItem = r;
      dis.itemData = item.Data;
      SendMessage(ControlParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      continue;
    }
    if (item.Selected) {
      FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, enabled ? text : GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(dc, TRANSPARENT);
    RECT tr = r;
    tr.Left += 2;
    DrawText(dc, item.Text, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    if (focus) DrawFocusRect(dc, &r);
  }
}

void KeyDown(HWND h, TListState& s, WPARAM vk) {
  if (Count(s) == 0) return;
  int to = s.Cur;
  const int page = std::max(1, VisibleCount(h, s) - 1);
  switch (vk) {
    case VK_UP:
    case VK_LEFT:
      to = std::max(0, s.Cur - 1);
      break;
    case VK_DOWN:
    case VK_RIGHT:
      to = std::min(Count(s) - 1, s.Cur + 1);
      break;
    case VK_HOME:
      to = 0;
      break;
    case VK_END:
      to = Count(s) - 1;
      break;
    case VK_PRIOR:
      to = std::max(0, s.Cur - page);
      break;
    case VK_NEXT:
      to = std::min(Count(s) - 1, s.Cur + page);
      break;
    case VK_SPACE:
      if ((StyleOf(h) & LBS_MULTIPLESEL) && Valid(s, s.Cur)) {
        s.Items[static_cast<size_t>(s.Cur)].Selected = !s.Items[static_cast<size_t>(s.Cur)].Selected;
        Redraw(h);
        if (StyleOf(h) & LBS_NOTIFY) NotifyParent(h, LBN_SELCHANGE);
      }
      return;
    default:
      return;
  }
  if (to < 0) to = 0;
  if ((StyleOf(h) & LBS_MULTIPLESEL)) {
    s.Cur = to;
    EnsureVisible(h, s, to);
    Redraw(h);
    return;
  }
  UserSelect(h, s, to);
}

LRESULT ListBoxProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TListState>(h);
  const int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (msg) {
    case WM_NCCREATE:
      s.VScroll = (reinterpret_cast<const CREATESTRUCT*>(lParam)->style & WS_VSCROLL) != 0;
      break;
    case WM_CREATE:
      s.ItemHeight = FontHeight(s.Font);
      if (StyleOf(h) & LBS_OWNERDRAWFIXED) {
        MEASUREITEMSTRUCT mis;
        mis.CtlType = ODT_LISTBOX;
        mis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
        mis.itemHeight = static_cast<UINT>(s.ItemHeight);
        SendMessage(ControlParent(h), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
        s.ItemHeight = std::clamp(static_cast<int>(mis.itemHeight), 1, 255);
      }
      UpdateScrollBar(h, s);
      return 0;
    case WM_SIZE:
      UpdateScrollBar(h, s);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      if (!OwnerDraw(h)) s.ItemHeight = FontHeight(s.Font);
      UpdateScrollBar(h, s);
      if (LOWORD(static_cast<uintptr_t>(lParam))) Redraw(h);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    case WM_SETFOCUS:
      s.Focused = true;
      if (s.Cur < 0 && MultiSel(h) && Count(s) > 0) s.Cur = 0;
      Redraw(h);
      if (StyleOf(h) & LBS_NOTIFY) NotifyParent(h, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s.Focused = false;
      Redraw(h);
      if (StyleOf(h) & LBS_NOTIFY) NotifyParent(h, LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != h) SetFocus(h);
      SetCapture(h);
      s.Tracking = GetCapture() == h;
      bool outside = false;
      const int i = ItemAt(h, s, GET_Y_LPARAM(lParam), &outside);
      if (outside || !Valid(s, i)) return 0;
      if (StyleOf(h) & LBS_MULTIPLESEL) {
        s.Items[static_cast<size_t>(i)].Selected = !s.Items[static_cast<size_t>(i)].Selected;
        s.Cur = i;
        Redraw(h);
        if (StyleOf(h) & LBS_NOTIFY) NotifyParent(h, LBN_SELCHANGE);
      } else if ((StyleOf(h) & LBS_EXTENDEDSEL) && (wParam & (MK_SHIFT | MK_CONTROL))) {
        if (wParam & MK_CONTROL) {
          s.Items[static_cast<size_t>(i)].Selected = !s.Items[static_cast<size_t>(i)].Selected;
          s.Anchor = i;
        } else {
          const int a = Valid(s, s.Anchor) ? s.Anchor : i;
          for (int k = 0; k < Count(s); ++k)
            s.Items[static_cast<size_t>(k)].Selected = k >= std::min(a, i) && k <= std::max(a, i);
        }
        s.Cur = i;
        Redraw(h);
        if (StyleOf(h) & LBS_NOTIFY) NotifyParent(h, LBN_SELCHANGE);
      } else {
        UserSelect(h, s, i);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (s.Tracking && !(StyleOf(h) & LBS_MULTIPLESEL) && !(wParam & (MK_SHIFT | MK_CONTROL))) {
        bool outside = false;
        const int y = GET_Y_LPARAM(lParam);
        int i = ItemAt(h, s, y, &outside);
        if (y < 0) i = s.Top > 0 ? s.Top - 1 : 0;
        UserSelect(h, s, i);
      }
      return 0;
    case WM_LBUTTONUP:
      if (s.Tracking) {
        s.Tracking = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      s.Tracking = false;
      return 0;
    case WM_LBUTTONDBLCLK:
      if (StyleOf(h) & LBS_NOTIFY) NotifyParent(h, LBN_DBLCLK);
      return 0;
    case WM_KEYDOWN:
      KeyDown(h, s, wParam);
      return 0;
    case WM_CHAR: {
      if (!HasStrings(h) || wParam < 0x20) return 0;
      const int i = Find(s, s.Cur, Encode(static_cast<char32_t>(wParam)), false, true);
      if (i >= 0) UserSelect(h, s, i);
      return 0;
    }
    case WM_VSCROLL: {
      int top = s.Top;
      switch (LOWORD(wParam)) {
        case SB_LINEUP:
          --top;
          break;
        case SB_LINEDOWN:
          ++top;
          break;
        case SB_PAGEUP:
          top -= std::max(1, VisibleCount(h, s) - 1);
          break;
        case SB_PAGEDOWN:
          top += std::max(1, VisibleCount(h, s) - 1);
          break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
          top = HIWORD(wParam);
          break;
        case SB_TOP:
          top = 0;
          break;
        case SB_BOTTOM:
          top = Count(s);
          break;
        default:
          return 0;
      }
      SetTop(h, s, top);
      return 0;
    }
    case WM_MOUSEWHEEL:
      SetTop(h, s, s.Top - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
      return 0;
    case LB_ADDSTRING:
      if (StyleOf(h) & LBS_NODATA) return LB_ERR;
      return Insert(h, s, -1, lParam, (StyleOf(h) & LBS_SORT) != 0);
    case LB_INSERTSTRING:
      if (StyleOf(h) & LBS_NODATA) return LB_ERR;
      return Insert(h, s, index, lParam, false);
    case LB_DELETESTRING:
      if (!Valid(s, index)) return LB_ERR;
      s.Items.erase(s.Items.begin() + index);
      if (s.Cur == index)
        s.Cur = MultiSel(h) ? std::min(index, Count(s) - 1) : -1;
      else if (s.Cur > index)
        --s.Cur;
      if (s.Top >= Count(s)) s.Top = std::max(0, Count(s) - 1);
      UpdateScrollBar(h, s);
      Redraw(h);
      return Count(s);
    case LB_RESETCONTENT:
      s.Items.clear();
      s.Cur = -1;
      s.Top = 0;
      s.Anchor = -1;
      UpdateScrollBar(h, s);
      Redraw(h);
      return 0;
    case LB_SETCOUNT:
      if (!(StyleOf(h) & LBS_NODATA)) return LB_ERR;
      s.Items.assign(static_cast<size_t>(std::clamp(index, 0, 1 << 24)),
                     TItem{std::string(), 0, false, s.ItemHeight});
      s.Cur = -1;
      s.Top = 0;
      UpdateScrollBar(h, s);
      Redraw(h);
      return 0;
    case LB_GETCOUNT:
      return Count(s);
    case LB_GETTEXT:
      if (!Valid(s, index)) return LB_ERR;
      if (!HasStrings(h)) {
        if (lParam) *reinterpret_cast<ULONG_PTR*>(lParam) = s.Items[static_cast<size_t>(index)].Data;
        return sizeof(ULONG_PTR);
      }
      CopyWhole(s.Items[static_cast<size_t>(index)].Text, lParam);
      return static_cast<LRESULT>(s.Items[static_cast<size_t>(index)].Text.size());
    case LB_GETTEXTLEN:
      if (!Valid(s, index)) return LB_ERR;
      return HasStrings(h) ? static_cast<LRESULT>(s.Items[static_cast<size_t>(index)].Text.size())
                           : static_cast<LRESULT>(sizeof(ULONG_PTR));
    case LB_SETITEMDATA:
      if (!Valid(s, index)) return LB_ERR;
      s.Items[static_cast<size_t>(index)].Data = static_cast<ULONG_PTR>(lParam);
      return TRUE;
    case LB_GETITEMDATA:
      if (!Valid(s, index)) return LB_ERR;
      return static_cast<LRESULT>(s.Items[static_cast<size_t>(index)].Data);
    case LB_SETCURSEL:
      if (MultiSel(h)) return LB_ERR;
      Select(h, s, index);
      return Valid(s, index) ? index : LB_ERR;
    case LB_GETCURSEL:
      if (MultiSel(h)) return Valid(s, s.Cur) ? s.Cur : LB_ERR;
      return Valid(s, s.Cur) ? s.Cur : LB_ERR;
    case LB_SETSEL: {
      if (!MultiSel(h)) return LB_ERR;
      const auto i = static_cast<int>(lParam);
      if (i == -1) {
        for (auto& item : s.Items) item.Selected = wParam != 0;
      } else {
        if (!Valid(s, i)) return LB_ERR;
        s.Items[static_cast<size_t>(i)].Selected = wParam != 0;
        s.Cur = i;
      }
      Redraw(h);
      return 0;
    }
    case LB_GETSEL:
      if (!Valid(s, index)) return LB_ERR;
      return s.Items[static_cast<size_t>(index)].Selected ? 1 : 0;
    case LB_GETSELCOUNT:
      if (!MultiSel(h)) return LB_ERR;
      return std::count_if(s.Items.begin(), s.Items.end(), [](const TItem& i) { return i.Selected; });
    case LB_GETSELITEMS: {
      if (!MultiSel(h)) return LB_ERR;
      int* out = reinterpret_cast<int*>(lParam);
      int n = 0;
      for (int i = 0; i < Count(s) && n < index && out; ++i)
        if (s.Items[static_cast<size_t>(i)].Selected) out[n++] = i;
      return n;
    }
    case LB_GETCARETINDEX:
      return Valid(s, s.Cur) ? s.Cur : (Count(s) ? 0 : LB_ERR);
    case LB_SETCARETINDEX:
      if (!Valid(s, index)) return LB_ERR;
      if (MultiSel(h))
        s.Cur = index;
      else
        Select(h, s, index);
      EnsureVisible(h, s, index);
      Redraw(h);
      return 0;
    case LB_SETTOPINDEX:
      if (Count(s) > 0 && !Valid(s, index)) return LB_ERR;
      SetTop(h, s, index);
      return 0;
    case LB_GETTOPINDEX:
      return s.Top;
    case LB_SETITEMHEIGHT: {
      const int height = LOWORD(static_cast<uintptr_t>(lParam));
      if (height <= 0 || height > 255) return LB_ERR;
      if (StyleOf(h) & LBS_OWNERDRAWVARIABLE) {
        if (!Valid(s, index)) return LB_ERR;
        s.Items[static_cast<size_t>(index)].Height = height;
      } else {
        s.ItemHeight = height;
      }
      UpdateScrollBar(h, s);
      Redraw(h);
      return 0;
    }
    case LB_GETITEMHEIGHT:
      if ((StyleOf(h) & LBS_OWNERDRAWVARIABLE) && !Valid(s, index)) return LB_ERR;
      return HeightOf(h, s, index);
    case LB_GETITEMRECT:
      if (!Valid(s, index) && !(index == 0 && Count(s) == 0)) return LB_ERR;
      if (lParam) *reinterpret_cast<RECT*>(lParam) = ItemRect(h, s, index);
      return 1;
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      const int x = GET_X_LPARAM(lParam);
      RECT client;
      GetClientRect(h, &client);
      const int i = ItemAt(h, s, GET_Y_LPARAM(lParam), &outside);
      outside |= x < 0 || x >= client.Right || Count(s) == 0;
      return MAKELRESULT(i, outside ? 1 : 0);
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      int i = static_cast<int>(LB_ERR);
      if (HasStrings(h))
        i = Find(s, index, text ? text : "", msg == LB_FINDSTRINGEXACT, true);
      else
        for (int k = 0; k < Count(s) && i < 0; ++k)
          if (s.Items[static_cast<size_t>(k)].Data == static_cast<ULONG_PTR>(lParam)) i = k;
      if (msg == LB_SELECTSTRING && i >= 0 && !MultiSel(h)) Select(h, s, i);
      return i;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { Paint(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterListBoxClass() {
  RegisterControlClass(WC_LISTBOX, ListBoxProc, CS_DBLCLKS);
}

}  // namespace win_controls
