// The "Static" class: a label (left, centred or right, with or without "&" prefixes), simple
// rectangles and frames, and a minimal icon or bitmap picture.
#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

struct TStaticState : win_internal::TWndData {
  HFONT Font = nullptr;
  HANDLE Image = nullptr;
  UINT ImageType = IMAGE_BITMAP;
};

void PaintImage(HDC dc, const RECT& client, const TStaticState& s) {
  if (!s.Image) return;
  if (s.ImageType == IMAGE_ICON) {
    DrawIconEx(dc, client.Left, client.Top, static_cast<HICON>(s.Image), 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  BITMAP bm{};
  if (!GetObject(static_cast<HBITMAP>(s.Image), sizeof bm, &bm)) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, static_cast<HBITMAP>(s.Image));
  BitBlt(dc, client.Left, client.Top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void Paint(HWND h, HDC dc) {
  auto& s = State<TStaticState>(h);
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  const DWORD type = style & SS_TYPEMASK;
  RECT client;
  GetClientRect(h, &client);
  switch (type) {
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT: {
      const int color = type == SS_BLACKRECT  ? COLOR_WINDOWFRAME
                        : type == SS_GRAYRECT ? COLOR_BTNSHADOW
                                              : COLOR_WINDOW;
      FillRect(dc, &client, GetSysColorBrush(color));
      return;
    }
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME: {
      const int color = type == SS_BLACKFRAME  ? COLOR_WINDOWFRAME
                        : type == SS_GRAYFRAME ? COLOR_BTNSHADOW
                                               : COLOR_WINDOW;
      FrameRect(dc, &client, GetSysColorBrush(color));
      return;
    }
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
    case SS_ETCHEDFRAME:
      DrawEdge(dc, &client, EDGE_ETCHED,
               type == SS_ETCHEDHORZ   ? BF_TOP
               : type == SS_ETCHEDVERT ? BF_LEFT
                                       : BF_RECT);
      return;
    case SS_OWNERDRAW: {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_STATIC;
      dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = IsWindowEnabled(h) ? 0 : ODS_DISABLED;
      dis.hwndItem = h;
      dis.hDC = dc;
      dis.rcItem = client;
      SendMessage(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      return;
    }
    default:
      break;
  }
  HBRUSH brush = ControlColor(h, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, brush);
  if (type == SS_ICON || type == SS_BITMAP) {
    PaintImage(dc, client, s);
    return;
  }
  SelectObject(dc, ControlFont(s.Font));
  UINT format = DT_EXPANDTABS;
  if (type == SS_CENTER)
    format |= DT_CENTER | DT_WORDBREAK;
  else if (type == SS_RIGHT)
    format |= DT_RIGHT | DT_WORDBREAK;
  else if (type == SS_LEFT)
    format |= DT_LEFT | DT_WORDBREAK;
  else
    format |= DT_LEFT | DT_SINGLELINE;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
  if (!IsWindowEnabled(h)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(dc, GetWindowText(h), &client, format);
}

LRESULT StaticProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TStaticState>(h);
  switch (msg) {
    case WM_NCHITTEST:
      return GetWindowLong(h, GWL_STYLE) & SS_NOTIFY ? HTCLIENT : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
      if (GetWindowLong(h, GWL_STYLE) & SS_NOTIFY) NotifyParent(h, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (GetWindowLong(h, GWL_STYLE) & SS_NOTIFY) NotifyParent(h, STN_DBLCLK);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wParam, lParam);
      InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    case STM_SETICON:
    case STM_SETIMAGE: {
      const UINT type = msg == STM_SETICON ? IMAGE_ICON : static_cast<UINT>(wParam);
      if (type != IMAGE_BITMAP && type != IMAGE_ICON) return 0;
      HANDLE old = type == s.ImageType ? s.Image : nullptr;
      s.ImageType = type;
      s.Image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? static_cast<LPARAM>(wParam) : lParam);
      InvalidateRect(h, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
      return s.ImageType == IMAGE_ICON ? reinterpret_cast<LRESULT>(s.Image) : 0;
    case STM_GETIMAGE:
      return wParam == s.ImageType ? reinterpret_cast<LRESULT>(s.Image) : 0;
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

void RegisterStaticClass() {
  RegisterControlClass(WC_STATIC, StaticProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
