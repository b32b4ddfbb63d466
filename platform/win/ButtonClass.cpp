// The "Button" class: push buttons, check boxes (two and three states), radio buttons and group
// boxes, with their auto variants. The type sits in the low four bits of the style.
#include <algorithm>
#include <vector>

#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

struct TButtonState : win_internal::TWndData {
  LRESULT Check = BST_UNCHECKED;
  bool Pushed = false;
  bool Focused = false;
  bool Tracking = false;  // the mouse went down on the button and holds the capture
  bool SpaceDown = false;
  HFONT Font = nullptr;
  HANDLE Image = nullptr;
  UINT ImageType = IMAGE_BITMAP;
};

DWORD TypeOf(HWND h) {
  return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsPush(DWORD type) {
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON || type == BS_PUSHBOX ||
         type == BS_OWNERDRAW;
}
bool IsCheck(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadio(DWORD type) {
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void Redraw(HWND h) {
  InvalidateRect(h, nullptr, FALSE);
}

void SetPushed(HWND h, TButtonState& s, bool pushed) {
  if (s.Pushed == pushed) return;
  s.Pushed = pushed;
  Redraw(h);
}

// Unchecks the other auto radio buttons of the group (siblings between WS_GROUP marks).
void UncheckGroupSiblings(HWND h) {
  HWND parent = GetParent(h);
  if (!parent) return;
  std::vector<HWND> siblings;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) siblings.push_back(c);
  // GetWindow lists children top first; the tab order is creation order, which is z-order here.
  auto self = std::find(siblings.begin(), siblings.end(), h);
  if (self == siblings.end()) return;
  auto first = self;
  while (first != siblings.begin() && !(GetWindowLong(*first, GWL_STYLE) & WS_GROUP)) --first;
  auto last = self + 1;
  while (last != siblings.end() && !(GetWindowLong(*last, GWL_STYLE) & WS_GROUP)) ++last;
  for (auto it = first; it != last; ++it) {
    if (*it == h || GetClassName(*it) != WC_BUTTON) continue;
    if (TypeOf(*it) == BS_AUTORADIOBUTTON) SendMessage(*it, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void Click(HWND h) {
  auto& s = State<TButtonState>(h);
  switch (TypeOf(h)) {
    case BS_AUTOCHECKBOX:
      SendMessage(h, BM_SETCHECK, s.Check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE:
      SendMessage(h, BM_SETCHECK, (s.Check + 1) % 3, 0);
      break;
    case BS_AUTORADIOBUTTON:
      UncheckGroupSiblings(h);
      SendMessage(h, BM_SETCHECK, BST_CHECKED, 0);
      break;
    default:
      break;
  }
  NotifyParent(h, BN_CLICKED);
}

void DrawImage(HDC dc, const RECT& area, const TButtonState& s, bool pushed) {
  if (s.ImageType == IMAGE_ICON) {
    HICON icon = static_cast<HICON>(s.Image);
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return;
    BITMAP bm{};
    GetObject(info.hbmColor ? static_cast<HGDIOBJ>(info.hbmColor) : static_cast<HGDIOBJ>(info.hbmMask),
              sizeof bm, &bm);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    int x = area.Left + (area.Width() - bm.bmWidth) / 2 + (pushed ? 1 : 0);
    int y = area.Top + (area.Height() - bm.bmHeight) / 2 + (pushed ? 1 : 0);
    DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  HBITMAP bitmap = static_cast<HBITMAP>(s.Image);
  BITMAP bm{};
  if (!GetObject(bitmap, sizeof bm, &bm)) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bitmap);
  int x = area.Left + (area.Width() - bm.bmWidth) / 2 + (pushed ? 1 : 0);
  int y = area.Top + (area.Height() - bm.bmHeight) / 2 + (pushed ? 1 : 0);
  BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void DrawLabel(HWND h, HDC dc, RECT area, UINT format, const TButtonState& s, bool pushed) {
  DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  if ((style & (BS_BITMAP | BS_ICON)) && s.Image) {
    DrawImage(dc, area, s, pushed);
    return;
  }
  if (pushed) OffsetRect(area, 1, 1);
  if (!IsWindowEnabled(h)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(dc, GetWindowText(h), &area, format);
}

void Paint(HWND h, HDC dc) {
  auto& s = State<TButtonState>(h);
  DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  DWORD type = style & BS_TYPEMASK;
  RECT client;
  GetClientRect(h, &client);
  bool enabled = IsWindowEnabled(h);

  if (type == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState =
        (s.Pushed ? ODS_SELECTED : 0) | (s.Focused ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = client;
    SendMessage(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }

  SelectObject(dc, ControlFont(s.Font));
  const bool pushLike = IsPush(type) || ((style & BS_PUSHLIKE) && (IsCheck(type) || IsRadio(type)));
  HBRUSH brush = ControlColor(h, dc, pushLike ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);

  if (pushLike) {
    FillRect(dc, &client, brush);
    RECT r = client;
    const bool def = type == BS_DEFPUSHBUTTON;
    if (def) {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
      InflateRect(r, -1, -1);
    }
    const bool down = s.Pushed || (!IsPush(type) && s.Check != BST_UNCHECKED);
    UINT state = DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0) | (style & BS_FLAT ? DFCS_FLAT : 0) |
                 (enabled ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
    SetBkMode(dc, TRANSPARENT);
    DrawLabel(h, dc, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, s, down);
    if (s.Focused) {
      RECT f = r;
      InflateRect(f, -3, -3);
      DrawFocusRect(dc, &f);
    }
    return;
  }

  if (type == BS_GROUPBOX) {
    const std::string text = GetWindowText(h);
    const SIZE extent = MeasureText(s.Font, text);
    RECT frame = client;
    frame.Top += extent.cy / 2;
    FillRect(dc, &client, brush);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!text.empty()) {
      RECT label{8, 0, 8 + extent.cx + 4, extent.cy};
      FillRect(dc, &label, brush);
      label.Left += 2;
      SetBkMode(dc, TRANSPARENT);
      DrawLabel(h, dc, label, DT_LEFT | DT_TOP | DT_SINGLELINE, s, false);
    }
    return;
  }

  // Check boxes and radio buttons: the box beside the label (on the right with BS_LEFTTEXT).
  FillRect(dc, &client, brush);
  constexpr int kBox = 13;
  const bool leftText = (style & BS_LEFTTEXT) != 0;
  const int top = client.Top + (client.Height() - kBox) / 2;
  RECT box = leftText ? RECT{client.Right - kBox, top, client.Right, top + kBox}
                      : RECT{client.Left, top, client.Left + kBox, top + kBox};
  UINT state = IsRadio(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if (s.Check == BST_CHECKED) state |= DFCS_CHECKED;
  if (s.Check == BST_INDETERMINATE) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (s.Pushed) state |= DFCS_PUSHED;
  if (style & BS_FLAT) state |= DFCS_FLAT;
  if (!enabled) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &box, DFC_BUTTON, state);
  RECT label = leftText ? RECT{client.Left, client.Top, box.Left - 4, client.Bottom}
                        : RECT{box.Right + 4, client.Top, client.Right, client.Bottom};
  SetBkMode(dc, TRANSPARENT);
  DrawLabel(h, dc, label, (leftText ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_SINGLELINE, s, false);
  if (s.Focused) {
    SIZE extent = MeasureText(s.Font, GetWindowText(h));
    RECT f{label.Left, label.Top + (label.Height() - extent.cy) / 2, label.Left + extent.cx + 2, 0};
    if (leftText) f.Left = label.Right - extent.cx - 2, f.Right = label.Right;
    f.Bottom = f.Top + extent.cy;
    DrawFocusRect(dc, &f);
  }
}

LRESULT ButtonProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TButtonState>(h);
  const DWORD type = TypeOf(h);
  switch (msg) {
    case WM_GETDLGCODE:
      if (type == BS_GROUPBOX) return DLGC_STATIC;
      if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (IsPush(type)) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    case WM_NCHITTEST:
      if (type == BS_GROUPBOX) return HTTRANSPARENT;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) return 0;
      SetCapture(h);
      if (GetFocus() != h) SetFocus(h);
      s.Tracking = GetCapture() == h;
      SetPushed(h, s, true);
      return 0;
    case WM_MOUSEMOVE:
      if (s.Tracking) {
        RECT r;
        GetClientRect(h, &r);
        SetPushed(h, s, PtInRect(r, TPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
      }
      return 0;
    case WM_LBUTTONUP:
      if (s.Tracking) {
        RECT r;
        GetClientRect(h, &r);
        const bool inside = PtInRect(r, TPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        s.Tracking = false;
        ReleaseCapture();
        SetPushed(h, s, false);
        if (inside) Click(h);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (s.Tracking) {
        s.Tracking = false;
        SetPushed(h, s, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) {
        s.SpaceDown = true;
        SetPushed(h, s, true);
        return 0;
      }
      if (wParam == VK_RETURN && IsPush(type)) {
        Click(h);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE && s.SpaceDown) {
        s.SpaceDown = false;
        const bool wasPushed = s.Pushed;
        SetPushed(h, s, false);
        if (wasPushed) Click(h);
        return 0;
      }
      break;
    case WM_CHAR:
      return 0;
    case WM_SETFOCUS:
      s.Focused = true;
      // In a dialog the focused push button shows the default frame.
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
        if (HWND dialog = DialogKeepingDefault(h)) CheckDefaultPushButton(dialog, h);
      Redraw(h);
      if (GetWindowLong(h, GWL_STYLE) & BS_NOTIFY) NotifyParent(h, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s.Focused = false;
      s.SpaceDown = false;
      if (s.Tracking) ReleaseCapture();
      SetPushed(h, s, false);
      // The focus moving to another control of the dialog gives the default frame back.
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        HWND dialog = DialogKeepingDefault(h);
        HWND next = reinterpret_cast<HWND>(wParam);
        if (dialog && next && IsChild(dialog, next)) CheckDefaultPushButton(dialog, next);
      }
      Redraw(h);
      if (GetWindowLong(h, GWL_STYLE) & BS_NOTIFY) NotifyParent(h, BN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      Redraw(h);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wParam, lParam);
      Redraw(h);
      return r;
    }
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<uintptr_t>(lParam))) Redraw(h);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    case BM_GETCHECK:
      return IsCheck(type) || IsRadio(type) ? s.Check : BST_UNCHECKED;
    case BM_SETCHECK: {
      if (!IsCheck(type) && !IsRadio(type)) return 0;
      LRESULT v = static_cast<LRESULT>(wParam);
      if (v != BST_INDETERMINATE || (type != BS_3STATE && type != BS_AUTO3STATE))
        v = v ? BST_CHECKED : BST_UNCHECKED;
      if (v != s.Check) {
        s.Check = v;
        Redraw(h);
      }
      return 0;
    }
    case BM_GETSTATE:
      return (IsCheck(type) || IsRadio(type) ? s.Check : 0) | (s.Pushed ? BST_PUSHED : 0) |
             (s.Focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      SetPushed(h, s, wParam != 0);
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled(h)) Click(h);
      return 0;
    case BM_SETSTYLE: {
      DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
      SetWindowLong(h, GWL_STYLE, static_cast<LONG_PTR>((style & 0xFFFF0000u) | LOWORD(wParam)));
      if (lParam) Redraw(h);
      return 0;
    }
    case BM_GETIMAGE:
      return wParam == s.ImageType ? reinterpret_cast<LRESULT>(s.Image) : 0;
    case BM_SETIMAGE: {
      if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON) return 0;
      HANDLE old = wParam == s.ImageType ? s.Image : nullptr;
      s.ImageType = static_cast<UINT>(wParam);
      s.Image = reinterpret_cast<HANDLE>(lParam);
      Redraw(h);
      return reinterpret_cast<LRESULT>(old);
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

void RegisterButtonClass() {
  RegisterControlClass(WC_BUTTON, ButtonProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
