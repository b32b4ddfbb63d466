// The "ComboBox" class: a selection field (an "Edit" child for CBS_SIMPLE and CBS_DROPDOWN,
// drawn by the combo box for CBS_DROPDOWNLIST) over a "ComboLBox" list that holds the items.
// CBS_SIMPLE keeps the list as a child below the field; the other styles drop it down as a
// pop-up shown without activation while the combo box holds the capture, so a click outside,
// Escape, Enter or F4 / Alt+Down close it again. The "ComboLBox" class is the "ListBox" class
// with the mouse handled here: the list never takes the focus or the activation.
#include <algorithm>
#include <unordered_map>

#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

struct TComboState : win_internal::TWndData {
  HWND Edit = nullptr;
  HWND List = nullptr;
  WNDPROC EditProc;  // the edit's own procedure under our key filter
  HFONT Font = nullptr;
  int FieldItemHeight = 0;
  int DropHeight = 0;  // the height asked for at creation or by resizing: field plus list
  bool Dropped = false;
  bool Focused = false;
  bool ButtonDown = false;
  bool ListPressed = false;       // a button press that started inside the dropped list
  bool ForwardingToList = false;  // the list's scroll bar holds the capture for a moment
  bool SettingText = false;       // our own text changes are not the user's edits
  int Notified = -1;              // the selection last reported with CBN_SELCHANGE
};

// The list's combo box: the key to ControlParent for the pop-up list.
std::unordered_map<HWND, HWND>& ListOwners() {
  static auto* owners = new std::unordered_map<HWND, HWND>;
  return *owners;
}

constexpr int kEdge = 2;  // the sunken edge around the field

DWORD StyleOf(HWND h) {
  return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
}
DWORD Kind(HWND h) {
  return StyleOf(h) & 0x3;
}
bool IsSimple(HWND h) {
  return Kind(h) == CBS_SIMPLE;
}
bool IsDropList(HWND h) {
  return Kind(h) == CBS_DROPDOWNLIST;
}
bool IsOwnerDraw(HWND h) {
  return (StyleOf(h) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
}
bool Inside(const RECT& r, POINT p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

int FieldHeight(const TComboState& s) {
  return s.FieldItemHeight + 2 * (kEdge + 1);
}

struct TLayout {
  RECT Item{};
  RECT Button{};
  RECT List{};  // CBS_SIMPLE only
};

TLayout Layout(HWND h, const TComboState& s) {
  RECT c;
  GetClientRect(h, &c);
  TLayout l;
  if (IsSimple(h)) {
    const int field = std::min(c.Bottom, FieldHeight(s));
    l.Item = RECT{kEdge + 1, kEdge + 1, std::max(kEdge + 1, c.Right - kEdge - 1),
                  std::max(kEdge + 1, field - kEdge - 1)};
    l.List = RECT{0, field, c.Right, std::max(field, c.Bottom)};
    return l;
  }
  const int cx = GetSystemMetrics(SM_CXVSCROLL);
  l.Button = RECT{std::max(kEdge, c.Right - kEdge - cx), kEdge, std::max(kEdge, c.Right - kEdge),
                  std::max(kEdge, c.Bottom - kEdge)};
  l.Item = RECT{kEdge + 1, kEdge + 1, std::max(kEdge + 1, l.Button.Left - 1),
                std::max(kEdge + 1, c.Bottom - kEdge - 1)};
  return l;
}

LRESULT ToList(const TComboState& s, UINT msg, WPARAM w = 0, LPARAM l = 0) {
  return s.List ? SendMessage(s.List, msg, w, l) : CB_ERR;
}
int CurSel(const TComboState& s) {
  return static_cast<int>(ToList(s, LB_GETCURSEL));
}
int Count(const TComboState& s) {
  return static_cast<int>(ToList(s, LB_GETCOUNT));
}

std::string ItemText(const TComboState& s, int i) {
  const LRESULT n = ToList(s, LB_GETTEXTLEN, static_cast<WPARAM>(i));
  if (n < 0) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  ToList(s, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

void Redraw(HWND h) {
  InvalidateRect(h, nullptr, FALSE);
}

// The field shows the selection: the edit gets its text, all of it selected while the combo
// box has the focus (an unfocused field shows no highlight).
void ShowSelection(HWND h, TComboState& s) {
  if (s.Edit) {
    const int cur = CurSel(s);
    const std::string text = cur >= 0 ? ItemText(s, cur) : std::string();
    s.SettingText = true;
    SetWindowText(s.Edit, text);
    s.SettingText = false;
    if (s.Focused) SendMessage(s.Edit, EM_SETSEL, 0, -1);
  }
  Redraw(h);
}

// A selection the user made: shown, and reported once.
void CommitSelection(HWND h, TComboState& s) {
  const int cur = CurSel(s);
  ShowSelection(h, s);
  if (cur == s.Notified) return;
  s.Notified = cur;
  NotifyParent(h, CBN_SELCHANGE);
}

void SelectByUser(HWND h, TComboState& s, int i) {
  if (i < 0 || i >= Count(s) || i == CurSel(s)) return;
  ToList(s, LB_SETCURSEL, static_cast<WPARAM>(i));
  CommitSelection(h, s);
}

void DropDown(HWND h, TComboState& s) {
  if (s.Dropped || IsSimple(h) || !s.List) return;
  NotifyParent(h, CBN_DROPDOWN);
  if (!IsWindow(h) || s.Dropped) return;
  s.Dropped = true;
  s.Notified = CurSel(s);
  RECT r;
  GetWindowRect(h, &r);
  const int itemHeight = std::max(1, static_cast<int>(ToList(s, LB_GETITEMHEIGHT)));
  const int border = 2 * GetSystemMetrics(SM_CYBORDER);
  const int wanted = std::max(1, Count(s)) * itemHeight + border;
  const int room = std::max(itemHeight + border, s.DropHeight - r.Height());
  SetWindowPos(s.List, HWND_TOPMOST, r.Left, r.Bottom, r.Width(), std::min(wanted, room),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (CurSel(s) >= 0) ToList(s, LB_SETTOPINDEX, static_cast<WPARAM>(CurSel(s)));
  SetCapture(h);
  Redraw(h);
}

// Closes the dropped list: `ok` keeps the highlighted item (CBN_SELENDOK), otherwise the
// selection returns to the one reported last (CBN_SELENDCANCEL).
void CloseUp(HWND h, TComboState& s, bool ok) {
  if (!s.Dropped) return;
  s.Dropped = false;
  s.ButtonDown = false;
  s.ListPressed = false;
  if (!ok && CurSel(s) != s.Notified) ToList(s, LB_SETCURSEL, static_cast<WPARAM>(s.Notified));
  NotifyParent(h, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!IsWindow(h)) return;
  ShowWindow(s.List, SW_HIDE);
  if (GetCapture() == h) ReleaseCapture();
  NotifyParent(h, CBN_CLOSEUP);
  if (!IsWindow(h)) return;
  if (ok) CommitSelection(h, s);
  Redraw(h);
}

void Toggle(HWND h, TComboState& s) {
  if (s.Dropped)
    CloseUp(h, s, true);
  else
    DropDown(h, s);
}

// Keys the combo box takes from itself or from its edit; false leaves the key to the edit.
bool KeyDown(HWND h, TComboState& s, WPARAM vk, bool alt) {
  if (alt) {
    if ((vk == VK_DOWN || vk == VK_UP) && !IsSimple(h)) {
      Toggle(h, s);
      return true;
    }
    return false;
  }
  const int cur = CurSel(s);
  const int last = Count(s) - 1;
  const int itemHeight = std::max(1, static_cast<int>(ToList(s, LB_GETITEMHEIGHT)));
  switch (vk) {
    case VK_F4:
      if (IsSimple(h)) return false;
      Toggle(h, s);
      return true;
    case VK_RETURN:
      if (!s.Dropped) return false;
      CloseUp(h, s, true);
      return true;
    case VK_ESCAPE:
      if (!s.Dropped) return false;
      CloseUp(h, s, false);
      return true;
    case VK_UP:
      SelectByUser(h, s, cur < 0 ? 0 : std::max(0, cur - 1));
      return true;
    case VK_DOWN:
      SelectByUser(h, s, std::min(last, cur + 1));
      return true;
    case VK_HOME:
    case VK_END:
      if (!IsDropList(h)) return false;
      SelectByUser(h, s, vk == VK_HOME ? 0 : last);
      return true;
    case VK_PRIOR:
    case VK_NEXT: {
      RECT lr;
      GetClientRect(s.List, &lr);
      const int step = std::max(1, lr.Height() / itemHeight - 1);
      SelectByUser(h, s, vk == VK_PRIOR ? std::max(0, cur - step) : std::min(last, cur + step));
      return true;
    }
    default:
      return false;
  }
}

// The edit's keys go through the combo box first.
LRESULT EditFilterProc(HWND e, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = GetParent(e);
  auto* s = h ? StateIf<TComboState>(h) : nullptr;
  if (!s) return DefWindowProc(e, msg, wParam, lParam);
  if (msg == WM_GETDLGCODE && s->Dropped)
    return CallWindowProc(s->EditProc, e, msg, wParam, lParam) | DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN && KeyDown(h, *s, wParam, false)) return 0;
  if (msg == WM_SYSKEYDOWN && KeyDown(h, *s, wParam, true)) return 0;
  return CallWindowProc(s->EditProc, e, msg, wParam, lParam);
}

void PaintField(HWND h, TComboState& s, HDC dc, const RECT& item) {
  const int cur = CurSel(s);
  const bool enabled = IsWindowEnabled(h);
  const bool highlight = s.Focused && !s.Dropped && enabled;
  if (IsOwnerDraw(h)) {
    HBRUSH brush = ControlColor(h, dc, WM_CTLCOLORLISTBOX);
    FillRect(dc, &item, brush);
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
    dis.itemID = static_cast<UINT>(cur);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState =
        ODS_COMBOBOXEDIT | (highlight ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = item;
    dis.itemData = cur >= 0 ? static_cast<ULONG_PTR>(ToList(s, LB_GETITEMDATA, static_cast<WPARAM>(cur))) : 0;
    SendMessage(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  HBRUSH brush = ControlColor(h, dc, WM_CTLCOLORLISTBOX);
  FillRect(dc, &item, brush);
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  if (highlight) {
    RECT hr = item;
    InflateRect(hr, -1, -1);
    FillRect(dc, &hr, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!enabled) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  RECT tr = item;
  tr.Left += 2;
  if (cur >= 0) DrawText(dc, ItemText(s, cur), &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (highlight) {
    RECT fr = item;
    InflateRect(fr, -1, -1);
    DrawFocusRect(dc, &fr);
  }
}

void Paint(HWND h, HDC dc) {
  auto& s = State<TComboState>(h);
  const TLayout l = Layout(h, s);
  RECT frame;
  GetClientRect(h, &frame);
  if (IsSimple(h)) frame.Bottom = l.List.Top;
  DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
  if (!IsSimple(h)) {
    RECT b = l.Button;
    UINT state = DFCS_SCROLLCOMBOBOX;
    if (s.ButtonDown || s.Dropped) state |= DFCS_PUSHED;
    if (!IsWindowEnabled(h)) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &b, DFC_SCROLL, state);
  }
  if (IsDropList(h)) {
    PaintField(h, s, dc, l.Item);
  } else {
    // Around the edit: the field's background in the colour the parent gives an edit.
    HBRUSH brush = ControlColor(h, dc, WM_CTLCOLOREDIT);
    RECT r = l.Item;
    FillRect(dc, &r, brush);
  }
}

void PlaceChildren(HWND h, TComboState& s) {
  const TLayout l = Layout(h, s);
  if (s.Edit)
    SetWindowPos(s.Edit, nullptr, l.Item.Left, l.Item.Top, l.Item.Width(), l.Item.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (s.List && IsSimple(h))
    SetWindowPos(s.List, nullptr, l.List.Left, l.List.Top, l.List.Width(), l.List.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Create(HWND h, TComboState& s, const CREATESTRUCT& cs) {
  s.FieldItemHeight = FontHeight(s.Font);
  const DWORD style = StyleOf(h);
  if (IsOwnerDraw(h)) {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_COMBOBOX;
    mis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
    mis.itemID = static_cast<UINT>(-1);
    mis.itemHeight = static_cast<UINT>(s.FieldItemHeight);
    SendMessage(GetParent(h), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    s.FieldItemHeight = std::clamp(static_cast<int>(mis.itemHeight), 1, 255);
  }
  // The scroll-bar styles asked for the combo box are its list's (the combo box dropped them
  // from itself in WM_NCCREATE).
  DWORD listStyle = (static_cast<DWORD>(cs.style) & (WS_VSCROLL | WS_HSCROLL)) | WS_BORDER | LBS_COMBOBOX |
                    LBS_NOINTEGRALHEIGHT;
  if (style & CBS_SORT) listStyle |= LBS_SORT;
  if (style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
  if (style & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
  if (style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
  if (style & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
  void* self = h;
  if (IsSimple(h)) {
    s.List = CreateWindowEx(0, WC_COMBOLBOX, "", WS_CHILD | WS_VISIBLE | listStyle, 0, 0, 0, 0, h,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(1000)), cs.hInstance, self);
  } else {
    s.List = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WC_COMBOLBOX, "", WS_POPUP | listStyle, 0, 0, 0,
                            0, h, nullptr, cs.hInstance, self);
  }
  if (!IsDropList(h)) {
    // Without ES_NOHIDESEL: the field's highlight shows only while the combo box has the focus.
    DWORD editStyle = WS_CHILD | WS_VISIBLE;
    if (style & CBS_AUTOHSCROLL) editStyle |= ES_AUTOHSCROLL;
    if (style & CBS_UPPERCASE) editStyle |= ES_UPPERCASE;
    if (style & CBS_LOWERCASE) editStyle |= ES_LOWERCASE;
    s.Edit = CreateWindowEx(0, WC_EDIT, cs.lpszName ? cs.lpszName : "", editStyle, 0, 0, 0, 0, h,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(1001)), cs.hInstance, nullptr);
    if (s.Edit)
      s.EditProc = WNDPROC(
          static_cast<LONG_PTR>(SetWindowLongPtr(s.Edit, GWLP_WNDPROC, TWndProc(EditFilterProc).Token())));
  }
  if (IsSimple(h)) {
    PlaceChildren(h, s);
  } else {
    // The window keeps the field's height; the height asked for is the dropped extent.
    SetWindowPos(h, nullptr, 0, 0, cs.cx, cs.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Destroy(TComboState& s) {
  // The pop-up list is not our child: it goes with us.
  if (s.List && !(GetWindowLong(s.List, GWL_STYLE) & WS_CHILD)) DestroyWindow(s.List);
  s.List = nullptr;
  s.Edit = nullptr;
}

void MouseDown(HWND h, TComboState& s, POINT client) {
  POINT screen = client;
  ClientToScreen(h, &screen);
  if (s.Dropped) {
    RECT lr;
    GetWindowRect(s.List, &lr);
    if (Inside(lr, screen)) {
      POINT lp = screen;
      ScreenToClient(s.List, &lp);
      RECT lc;
      GetClientRect(s.List, &lc);
      if (Inside(lc, lp)) {
        s.ListPressed = true;
        const LRESULT at = ToList(s, LB_ITEMFROMPOINT, 0, MAKELPARAM(lp.X, lp.Y));
        if (!HIWORD(at)) ToList(s, LB_SETCURSEL, LOWORD(at));
        return;
      }
      // The list's own scroll bar: it tracks with the capture, then we take it back.
      const LRESULT hit = SendMessage(s.List, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
      s.ForwardingToList = true;
      SendMessage(s.List, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screen.X, screen.Y));
      s.ForwardingToList = false;
      if (IsWindow(h) && s.Dropped) SetCapture(h);
      return;
    }
    CloseUp(h, s, false);
    return;
  }
  if (GetFocus() != h && GetFocus() != s.Edit) SetFocus(h);
  const TLayout l = Layout(h, s);
  if (IsSimple(h) || !(IsDropList(h) || Inside(l.Button, client))) return;
  s.ButtonDown = true;
  DropDown(h, s);
}

void MouseMove(HWND h, TComboState& s, POINT client) {
  if (!s.Dropped) return;
  POINT lp = client;
  ClientToScreen(h, &lp);
  ScreenToClient(s.List, &lp);
  RECT lc;
  GetClientRect(s.List, &lc);
  if (!Inside(lc, lp)) return;
  const LRESULT at = ToList(s, LB_ITEMFROMPOINT, 0, MAKELPARAM(lp.X, lp.Y));
  if (!HIWORD(at) && static_cast<int>(LOWORD(at)) != CurSel(s)) ToList(s, LB_SETCURSEL, LOWORD(at));
}

void MouseUp(HWND h, TComboState& s, POINT client) {
  const bool pressedButton = s.ButtonDown;
  s.ButtonDown = false;
  if (!s.Dropped) return;
  POINT lp = client;
  ClientToScreen(h, &lp);
  ScreenToClient(s.List, &lp);
  RECT lc;
  GetClientRect(s.List, &lc);
  // Released over an item after pressing there or dragging from the button: that item.
  if (Inside(lc, lp) && (s.ListPressed || pressedButton)) {
    const LRESULT at = ToList(s, LB_ITEMFROMPOINT, 0, MAKELPARAM(lp.X, lp.Y));
    if (!HIWORD(at)) {
      ToList(s, LB_SETCURSEL, LOWORD(at));
      CloseUp(h, s, true);
      return;
    }
  }
  s.ListPressed = false;
  Redraw(h);
}

// Owner-draw requests from the list reach the parent as the combo box's.
LRESULT ForwardOwnerDraw(HWND h, UINT msg, LPARAM lParam) {
  const UINT id = static_cast<UINT>(GetDlgCtrlID(h));
  if (msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    dis->CtlType = ODT_COMBOBOX;
    dis->CtlID = id;
    dis->hwndItem = h;
  } else {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    mis->CtlType = ODT_COMBOBOX;
    mis->CtlID = id;
  }
  HWND parent = GetParent(h);
  return parent ? SendMessage(parent, msg, id, lParam) : 0;
}

LRESULT EditText(HWND h, TComboState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (s.Edit) return SendMessage(s.Edit, msg, wParam, lParam);
  const int cur = CurSel(s);
  const std::string text = cur >= 0 ? ItemText(s, cur) : std::string();
  if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
  // WM_GETTEXT: as much as fits, NUL-terminated.
  char* out = reinterpret_cast<char*>(lParam);
  const size_t room = static_cast<size_t>(wParam);
  if (!out || room == 0) return 0;
  const size_t n = std::min(room - 1, text.size());
  text.copy(out, n);
  out[n] = '\0';
  (void)h;
  return static_cast<LRESULT>(n);
}

LRESULT ComboBoxProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TComboState>(h);
  const auto index = static_cast<WPARAM>(wParam);
  switch (msg) {
    case WM_NCCREATE:
      // WS_VSCROLL and WS_HSCROLL describe the list; on the field they would reserve a
      // scroll bar beside the button.
      SetWindowLong(h, GWL_STYLE,
                    static_cast<LONG_PTR>(StyleOf(h) & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL)));
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_CREATE:
      Create(h, s, *reinterpret_cast<const CREATESTRUCT*>(lParam));
      return s.List ? 0 : -1;
    case WM_DESTROY:
      Destroy(s);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!IsSimple(h) && !(wp->flags & SWP_NOSIZE) && wp->cy != FieldHeight(s)) {
        s.DropHeight = wp->cy;
        wp->cy = FieldHeight(s);
      }
      return DefWindowProc(h, msg, wParam, lParam);
    }
    case WM_SIZE:
      PlaceChildren(h, s);
      Redraw(h);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (s.Dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      if (s.Edit) SendMessage(s.Edit, WM_SETFONT, wParam, 0);
      if (s.List) SendMessage(s.List, WM_SETFONT, wParam, 0);
      if (!IsOwnerDraw(h)) {
        s.FieldItemHeight = FontHeight(s.Font);
        if (!IsSimple(h)) {
          RECT r;
          GetWindowRect(h, &r);
          const int drop = s.DropHeight;
          SetWindowPos(h, nullptr, 0, 0, r.Width(), FieldHeight(s),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
          s.DropHeight = drop;
        }
        PlaceChildren(h, s);
      }
      if (LOWORD(static_cast<uintptr_t>(lParam))) Redraw(h);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    case WM_SETFOCUS:
      if (s.Edit) {
        SetFocus(s.Edit);
        return 0;
      }
      s.Focused = true;
      Redraw(h);
      NotifyParent(h, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (s.Edit) return 0;
      CloseUp(h, s, false);
      s.Focused = false;
      Redraw(h);
      NotifyParent(h, CBN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      if (s.Edit) EnableWindow(s.Edit, wParam != 0);
      if (!wParam) CloseUp(h, s, false);
      Redraw(h);
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == s.Edit && s.Edit) {
        switch (HIWORD(wParam)) {
          case EN_SETFOCUS:
            s.Focused = true;
            SendMessage(s.Edit, EM_SETSEL, 0, -1);
            NotifyParent(h, CBN_SETFOCUS);
            break;
          case EN_KILLFOCUS:
            CloseUp(h, s, false);
            s.Focused = false;
            // The next focus selects the whole text again; until then nothing is selected.
            SendMessage(s.Edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
            NotifyParent(h, CBN_KILLFOCUS);
            break;
          case EN_CHANGE:
            if (!s.SettingText) NotifyParent(h, CBN_EDITCHANGE);
            break;
          case EN_UPDATE:
            if (!s.SettingText) NotifyParent(h, CBN_EDITUPDATE);
            break;
          default:
            break;
        }
      }
      return 0;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      return ForwardOwnerDraw(h, msg, lParam);
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
      return reinterpret_cast<LRESULT>(ControlColor(h, reinterpret_cast<HDC>(wParam), msg));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      MouseDown(h, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(h, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONUP:
      MouseUp(h, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CAPTURECHANGED:
      if (s.Dropped && !s.ForwardingToList && reinterpret_cast<HWND>(lParam) != h) CloseUp(h, s, false);
      return 0;
    case WM_MOUSEWHEEL:
      if (s.Dropped) return SendMessage(s.List, msg, wParam, lParam);
      KeyDown(h, s, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? VK_UP : VK_DOWN, false);
      return 0;
    case WM_KEYDOWN:
      KeyDown(h, s, wParam, false);
      return 0;
    case WM_SYSKEYDOWN:
      if (KeyDown(h, s, wParam, true)) return 0;
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_CHAR:
      if (IsDropList(h) && wParam >= 0x20) {
        const std::string prefix = Encode(static_cast<char32_t>(wParam));
        const auto i = ToList(s, LB_FINDSTRING, static_cast<WPARAM>(CurSel(s)),
                              reinterpret_cast<LPARAM>(prefix.c_str()));
        if (i >= 0) SelectByUser(h, s, static_cast<int>(i));
      }
      return 0;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return EditText(h, s, msg, wParam, lParam);
    case WM_SETTEXT:
      if (s.Edit) return SendMessage(s.Edit, msg, wParam, lParam);
      if (lParam && s.List) {
        const LRESULT i = ToList(s, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
        if (i < 0) return CB_ERR;
        ToList(s, LB_SETCURSEL, static_cast<WPARAM>(i));
        Redraw(h);
      }
      return TRUE;
    case CB_ADDSTRING:
      return ToList(s, LB_ADDSTRING, 0, lParam);
    case CB_INSERTSTRING:
      return ToList(s, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: {
      const int cur = CurSel(s);
      const LRESULT r = ToList(s, LB_DELETESTRING, wParam, 0);
      if (r >= 0 && static_cast<int>(index) == cur) ShowSelection(h, s);
      if (r >= 0) s.Notified = CurSel(s);
      Redraw(h);
      return r;
    }
    case CB_RESETCONTENT:
      ToList(s, LB_RESETCONTENT);
      s.Notified = -1;
      if (IsDropList(h)) Redraw(h);
      return CB_OKAY;
    case CB_GETCOUNT:
      return ToList(s, LB_GETCOUNT);
    case CB_GETLBTEXT:
      return ToList(s, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN:
      return ToList(s, LB_GETTEXTLEN, wParam, 0);
    case CB_SETCURSEL: {
      const LRESULT r = ToList(s, LB_SETCURSEL, wParam, 0);
      s.Notified = CurSel(s);
      ShowSelection(h, s);
      return r;
    }
    case CB_GETCURSEL:
      return CurSel(s);
    case CB_SETITEMDATA:
      return ToList(s, LB_SETITEMDATA, wParam, lParam);
    case CB_GETITEMDATA:
      return ToList(s, LB_GETITEMDATA, wParam, 0);
    case CB_FINDSTRING:
      return ToList(s, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT:
      return ToList(s, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
      const LRESULT i = ToList(s, LB_FINDSTRING, wParam, lParam);
      if (i < 0) return CB_ERR;
      ToList(s, LB_SETCURSEL, static_cast<WPARAM>(i));
      s.Notified = static_cast<int>(i);
      ShowSelection(h, s);
      return i;
    }
    case CB_SHOWDROPDOWN:
      if (wParam)
        DropDown(h, s);
      else
        CloseUp(h, s, false);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return s.Dropped ? TRUE : FALSE;
    case CB_SETITEMHEIGHT: {
      const int height = LOWORD(static_cast<uintptr_t>(lParam));
      if (height <= 0 || height > 255) return CB_ERR;
      if (static_cast<int>(index) != -1) return ToList(s, LB_SETITEMHEIGHT, wParam, lParam);
      s.FieldItemHeight = height;
      if (!IsSimple(h)) {
        RECT r;
        GetWindowRect(h, &r);
        const int drop = s.DropHeight;
        SetWindowPos(h, nullptr, 0, 0, r.Width(), FieldHeight(s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        s.DropHeight = drop;
      }
      PlaceChildren(h, s);
      Redraw(h);
      return CB_OKAY;
    }
    case CB_GETITEMHEIGHT:
      if (static_cast<int>(index) == -1) return s.FieldItemHeight;
      return ToList(s, LB_GETITEMHEIGHT, wParam, 0);
    case CB_GETDROPPEDCONTROLRECT: {
      auto* out = reinterpret_cast<RECT*>(lParam);
      if (!out) return CB_ERR;
      GetWindowRect(h, out);
      if (!IsSimple(h)) out->Bottom = out->Top + std::max(out->Height(), s.DropHeight);
      return TRUE;
    }
    case CB_LIMITTEXT:
      if (!s.Edit) return CB_ERR;
      SendMessage(s.Edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_GETEDITSEL: {
      if (!s.Edit) return CB_ERR;
      DWORD start = 0, end = 0;
      SendMessage(s.Edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      if (auto* p = reinterpret_cast<DWORD*>(wParam)) *p = start;
      if (auto* p = reinterpret_cast<DWORD*>(lParam)) *p = end;
      return MAKELRESULT(start, end);
    }
    case CB_SETEDITSEL:
      if (!s.Edit) return CB_ERR;
      SendMessage(s.Edit, EM_SETSEL,
                  static_cast<WPARAM>(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)))),
                  static_cast<LPARAM>(static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)))));
      return TRUE;
    case CB_GETCOMBOBOXINFO: {
      auto* info = reinterpret_cast<COMBOBOXINFO*>(lParam);
      if (!info || info->cbSize != 52) return FALSE;
      const TLayout l = Layout(h, s);
      info->rcItem = l.Item;
      info->rcButton = l.Button;
      info->stateButton =
          IsSimple(h) ? STATE_SYSTEM_INVISIBLE : (s.Dropped || s.ButtonDown ? STATE_SYSTEM_PRESSED : 0);
      info->hwndCombo = h;
      info->hwndItem = s.Edit;
      info->hwndList = s.List;
      return TRUE;
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

// --- the list ---------------------------------------------------------------------------------------

WNDPROC& ListBoxProc() {
  static WNDPROC proc;
  return proc;
}

LRESULT ComboListProc(HWND l, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs->lpCreateParams) ListOwners()[l] = static_cast<HWND>(cs->lpCreateParams);
      break;
    }
    case WM_NCDESTROY:
      ListOwners().erase(l);
      break;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // Only the always-shown list of CBS_SIMPLE gets here; it picks without taking the focus.
      HWND combo = ComboOfList(l);
      auto* s = combo ? StateIf<TComboState>(combo) : nullptr;
      if (!s) return 0;
      if (GetFocus() != combo && GetFocus() != s->Edit) SetFocus(combo);
      const LRESULT at = CallWindowProc(ListBoxProc(), l, LB_ITEMFROMPOINT, 0, lParam);
      if (!HIWORD(at)) SelectByUser(combo, *s, LOWORD(at));
      if (msg == WM_LBUTTONDBLCLK) NotifyParent(combo, CBN_DBLCLK);
      return 0;
    }
    case WM_SETFOCUS:
      return 0;
    default:
      break;
  }
  return CallWindowProc(ListBoxProc(), l, msg, wParam, lParam);
}

}  // namespace

HWND ComboOfList(HWND list) {
  auto& owners = ListOwners();
  const auto it = owners.find(list);
  return it == owners.end() ? nullptr : it->second;
}

void RegisterComboBoxClass() {
  WNDCLASSEX wc;
  if (GetClassInfoEx(nullptr, WC_LISTBOX, &wc)) ListBoxProc() = wc.lpfnWndProc;
  RegisterControlClass(WC_COMBOLBOX, ComboListProc, CS_DBLCLKS);
  RegisterControlClass(WC_COMBOBOX, ComboBoxProc, CS_DBLCLKS);
}

}  // namespace win_controls

BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO* info) {
  if (!info || !IsWindow(combo)) return FALSE;
  return SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE : FALSE;
}
