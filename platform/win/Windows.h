#pragma once
// The window half of the window system: the window tree, window classes and procedures,
// the message queue, timers, input, focus and activation, hooks, system metrics and the
// default window procedure, with their customary names, structures and constant values.
//
// One thread, one deterministic queue. Handles are table entries with a generation, so a
// handle that outlived its window is refused instead of reaching freed memory.
//
// Text is UTF-8 throughout; text lengths and buffer sizes count bytes. There is no A/W split.
//
// Window procedures are closures with an identity (TWndProc): a token that SetWindowLong(h,
// GWL_WNDPROC, v) accepts and returns, that CallWindowProc calls, and that round-trips when
// restored. A plain function converts to one implicitly (the same function gives the same
// token); MakeWndProc binds a function to a context or wraps a std::function.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/gdi/Gdi.h"

// --- basic types ------------------------------------------------------------------------------------

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using ATOM = uint16_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using HANDLE = void*;

#define WIN_DECLARE_HANDLE(name) \
  struct name##__ {              \
    int unused;                  \
  };                             \
  using name = name##__*
WIN_DECLARE_HANDLE(HWND);
WIN_DECLARE_HANDLE(HMENU);
WIN_DECLARE_HANDLE(HINSTANCE);
WIN_DECLARE_HANDLE(HHOOK);
WIN_DECLARE_HANDLE(HWINEVENTHOOK);
#undef WIN_DECLARE_HANDLE
using HMODULE = HINSTANCE;

constexpr WORD LOWORD(uintptr_t v) {
  return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t v) {
  return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr BYTE LOBYTE(uintptr_t v) {
  return static_cast<BYTE>(v & 0xFF);
}
constexpr BYTE HIBYTE(uintptr_t v) {
  return static_cast<BYTE>((v >> 8) & 0xFF);
}
constexpr LONG MAKELONG(int lo, int hi) {
  return static_cast<LONG>((static_cast<uint32_t>(lo) & 0xFFFF) |
                           ((static_cast<uint32_t>(hi) & 0xFFFF) << 16));
}
// The 32-bit pair, zero-extended: (WPARAM)-1 style sentinels are written out explicitly.
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
  return static_cast<WPARAM>(static_cast<uint32_t>(MAKELONG(lo, hi)));
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<uint32_t>(MAKELONG(lo, hi)));
}
constexpr LRESULT MAKELRESULT(int lo, int hi) {
  return MAKELPARAM(lo, hi);
}
constexpr int GET_X_LPARAM(LPARAM l) {
  return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(l)));
}
constexpr int GET_Y_LPARAM(LPARAM l) {
  return static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(l)));
}
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) {
  return static_cast<SHORT>(HIWORD(w));
}
constexpr int GET_KEYSTATE_WPARAM(WPARAM w) {
  return LOWORD(w);
}
constexpr int GET_XBUTTON_WPARAM(WPARAM w) {
  return HIWORD(w);
}
constexpr bool IS_INTRESOURCE(uintptr_t v) {
  return (v >> 16) == 0;
}

// --- window procedures ------------------------------------------------------------------------------

class TWndProc;
using WNDPROC = TWndProc;
using TWndProcFunction = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TWndProcContextFunction = LRESULT (*)(void* context, HWND, UINT, WPARAM, LPARAM);
using TWndProcClosure = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// A window procedure by identity. The token is the LONG_PTR value GWL_WNDPROC reads and writes;
// 0 is no procedure. Copies share the identity; the closure behind it lives in a table.
class TWndProc {
 public:
  constexpr TWndProc() = default;
  constexpr TWndProc(std::nullptr_t) {}
  // A plain function: interned, so the same function always gives the same token.
  TWndProc(TWndProcFunction function);
  explicit constexpr TWndProc(LONG_PTR token) : token_(token) {}
  explicit constexpr operator LONG_PTR() const { return token_; }
  constexpr LONG_PTR Token() const { return token_; }
  explicit constexpr operator bool() const { return token_ != 0; }
  constexpr bool operator==(const TWndProc&) const = default;

 private:
  LONG_PTR token_ = 0;
};

// Binds a function to a context, or wraps a closure. The result belongs to the caller until
// FreeWndProc; a procedure still installed in a window or class lives until the last of them
// lets it go. Calling a freed procedure through CallWindowProc falls back to DefWindowProc.
WNDPROC MakeWndProc(TWndProcContextFunction function, void* context);
WNDPROC MakeWndProc(TWndProcClosure closure);
void FreeWndProc(WNDPROC proc);
// Whether the token still names a callable procedure.
bool IsWndProcAlive(WNDPROC proc);

// Owns a procedure made by MakeWndProc and frees it on destruction.
class TWndProcInstance {
 public:
  TWndProcInstance() = default;
  explicit TWndProcInstance(TWndProcClosure closure) : proc_(MakeWndProc(std::move(closure))) {}
  TWndProcInstance(TWndProcContextFunction function, void* context) : proc_(MakeWndProc(function, context)) {}
  ~TWndProcInstance() { FreeWndProc(proc_); }
  TWndProcInstance(const TWndProcInstance&) = delete;
  TWndProcInstance& operator=(const TWndProcInstance&) = delete;
  WNDPROC Proc() const { return proc_; }
  LONG_PTR Token() const { return proc_.Token(); }

 private:
  WNDPROC proc_;
};

// A hidden utility window whose messages all go to `handler`; the handler answers what it
// does not handle itself with DefWindowProc. DeallocateHWnd destroys it.
HWND AllocateHWnd(std::function<LRESULT(UINT, WPARAM, LPARAM)> handler);
void DeallocateHWnd(HWND hwnd);

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The dialog manager's default procedure as far as this window manager has one: a dialog keeps
// the id of its default push button (DM_SETDEFID, DM_GETDEFID) and moves the default frame
// with the focus; every other message goes to DefWindowProc.
LRESULT DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// --- structures -------------------------------------------------------------------------------------

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt{};
};

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  const char* lpszName = nullptr;  // UTF-8
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct CBT_CREATEWND {
  CREATESTRUCT* lpcs = nullptr;
  HWND hwndInsertAfter = nullptr;
};

struct CBTACTIVATESTRUCT {
  BOOL fMouse = FALSE;
  HWND hWndActive = nullptr;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3]{};
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved{};
  POINT ptMaxSize{};
  POINT ptMaxPosition{};
  POINT ptMinTrackSize{};
  POINT ptMaxTrackSize{};
};

struct STYLESTRUCT {
  DWORD styleOld = 0;
  DWORD styleNew = 0;
};

struct WINDOWPLACEMENT {
  UINT length = 44;
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition{};
  POINT ptMaxPosition{};
  RECT rcNormalPosition{};
};

struct WNDCLASSEX {
  UINT cbSize = 48;
  UINT style = 0;
  WNDPROC lpfnWndProc;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  std::string lpszMenuName;
  std::string lpszClassName;
  HICON hIconSm = nullptr;
};

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  std::string lpszMenuName;
  std::string lpszClassName;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize = 16;
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};

struct MOUSEHOOKSTRUCT {
  POINT pt{};
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  ULONG_PTR dwExtraInfo = 0;
};

struct CWPSTRUCT {
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};

struct CWPRETSTRUCT {
  LRESULT lResult = 0;
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};

struct NONCLIENTMETRICS {
  UINT cbSize = 340;
  int iBorderWidth = 0;
  int iScrollWidth = 0;
  int iScrollHeight = 0;
  int iCaptionWidth = 0;
  int iCaptionHeight = 0;
  LOGFONT lfCaptionFont;
  int iSmCaptionWidth = 0;
  int iSmCaptionHeight = 0;
  LOGFONT lfSmCaptionFont;
  int iMenuWidth = 0;
  int iMenuHeight = 0;
  LOGFONT lfMenuFont;
  LOGFONT lfStatusFont;
  LOGFONT lfMessageFont;
};

struct OSVERSIONINFO {
  DWORD dwOSVersionInfoSize = 148;
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  std::string szCSDVersion;
};

// --- messages ---------------------------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
               WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
               WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
               WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUERYENDSESSION = 0x0011, WM_QUIT = 0x0012,
               WM_QUERYOPEN = 0x0013, WM_ERASEBKGND = 0x0014, WM_SYSCOLORCHANGE = 0x0015,
               WM_ENDSESSION = 0x0016, WM_SHOWWINDOW = 0x0018, WM_WININICHANGE = 0x001A,
               WM_SETTINGCHANGE = 0x001A, WM_DEVMODECHANGE = 0x001B, WM_ACTIVATEAPP = 0x001C,
               WM_FONTCHANGE = 0x001D, WM_TIMECHANGE = 0x001E, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
               WM_MOUSEACTIVATE = 0x0021, WM_CHILDACTIVATE = 0x0022, WM_QUEUESYNC = 0x0023,
               WM_GETMINMAXINFO = 0x0024, WM_PAINTICON = 0x0026, WM_ICONERASEBKGND = 0x0027,
               WM_NEXTDLGCTL = 0x0028, WM_SPOOLERSTATUS = 0x002A, WM_DRAWITEM = 0x002B,
               WM_MEASUREITEM = 0x002C, WM_DELETEITEM = 0x002D, WM_VKEYTOITEM = 0x002E,
               WM_CHARTOITEM = 0x002F, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_SETHOTKEY = 0x0032,
               WM_GETHOTKEY = 0x0033, WM_QUERYDRAGICON = 0x0037, WM_COMPAREITEM = 0x0039,
               WM_GETOBJECT = 0x003D, WM_COMPACTING = 0x0041, WM_WINDOWPOSCHANGING = 0x0046,
               WM_WINDOWPOSCHANGED = 0x0047, WM_COPYDATA = 0x004A, WM_CANCELJOURNAL = 0x004B,
               WM_NOTIFY = 0x004E, WM_INPUTLANGCHANGEREQUEST = 0x0050, WM_INPUTLANGCHANGE = 0x0051,
               WM_HELP = 0x0053, WM_USERCHANGED = 0x0054, WM_NOTIFYFORMAT = 0x0055, WM_CONTEXTMENU = 0x007B,
               WM_STYLECHANGING = 0x007C, WM_STYLECHANGED = 0x007D, WM_DISPLAYCHANGE = 0x007E,
               WM_GETICON = 0x007F, WM_SETICON = 0x0080, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082,
               WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086,
               WM_GETDLGCODE = 0x0087, WM_SYNCPAINT = 0x0088, WM_NCMOUSEMOVE = 0x00A0,
               WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3,
               WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6,
               WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8, WM_NCMBUTTONDBLCLK = 0x00A9,
               WM_NCXBUTTONDOWN = 0x00AB, WM_NCXBUTTONUP = 0x00AC, WM_NCXBUTTONDBLCLK = 0x00AD;
constexpr UINT WM_KEYFIRST = 0x0100, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
               WM_DEADCHAR = 0x0103, WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106,
               WM_SYSDEADCHAR = 0x0107, WM_UNICHAR = 0x0109, WM_KEYLAST = 0x0109,
               WM_IME_STARTCOMPOSITION = 0x010D, WM_IME_ENDCOMPOSITION = 0x010E, WM_IME_COMPOSITION = 0x010F,
               WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113,
               WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115, WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117,
               WM_MENUSELECT = 0x011F, WM_MENUCHAR = 0x0120, WM_ENTERIDLE = 0x0121, WM_MENURBUTTONUP = 0x0122,
               WM_MENUDRAG = 0x0123, WM_MENUGETOBJECT = 0x0124, WM_UNINITMENUPOPUP = 0x0125,
               WM_MENUCOMMAND = 0x0126, WM_CHANGEUISTATE = 0x0127, WM_UPDATEUISTATE = 0x0128,
               WM_QUERYUISTATE = 0x0129, WM_CTLCOLORMSGBOX = 0x0132, WM_CTLCOLOREDIT = 0x0133,
               WM_CTLCOLORLISTBOX = 0x0134, WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORDLG = 0x0136,
               WM_CTLCOLORSCROLLBAR = 0x0137, WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
               WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
               WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
               WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_XBUTTONDOWN = 0x020B,
               WM_XBUTTONUP = 0x020C, WM_XBUTTONDBLCLK = 0x020D, WM_MOUSELAST = 0x020D,
               WM_MOUSEHWHEEL = 0x020E;
constexpr UINT WM_PARENTNOTIFY = 0x0210, WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212,
               WM_NEXTMENU = 0x0213, WM_SIZING = 0x0214, WM_CAPTURECHANGED = 0x0215, WM_MOVING = 0x0216,
               WM_POWERBROADCAST = 0x0218, WM_DEVICECHANGE = 0x0219, WM_MDICREATE = 0x0220,
               WM_MDIDESTROY = 0x0221, WM_MDIACTIVATE = 0x0222, WM_MDIRESTORE = 0x0223, WM_MDINEXT = 0x0224,
               WM_MDIMAXIMIZE = 0x0225, WM_MDITILE = 0x0226, WM_MDICASCADE = 0x0227,
               WM_MDIICONARRANGE = 0x0228, WM_MDIGETACTIVE = 0x0229, WM_MDISETMENU = 0x0230,
               WM_ENTERSIZEMOVE = 0x0231, WM_EXITSIZEMOVE = 0x0232, WM_DROPFILES = 0x0233,
               WM_MDIREFRESHMENU = 0x0234, WM_IME_SETCONTEXT = 0x0281, WM_IME_NOTIFY = 0x0282,
               WM_NCMOUSEHOVER = 0x02A0, WM_MOUSEHOVER = 0x02A1, WM_NCMOUSELEAVE = 0x02A2,
               WM_MOUSELEAVE = 0x02A3, WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302,
               WM_CLEAR = 0x0303, WM_UNDO = 0x0304, WM_RENDERFORMAT = 0x0305, WM_RENDERALLFORMATS = 0x0306,
               WM_DESTROYCLIPBOARD = 0x0307, WM_DRAWCLIPBOARD = 0x0308, WM_PAINTCLIPBOARD = 0x0309,
               WM_VSCROLLCLIPBOARD = 0x030A, WM_SIZECLIPBOARD = 0x030B, WM_ASKCBFORMATNAME = 0x030C,
               WM_CHANGECBCHAIN = 0x030D, WM_HSCROLLCLIPBOARD = 0x030E, WM_QUERYNEWPALETTE = 0x030F,
               WM_PALETTEISCHANGING = 0x0310, WM_PALETTECHANGED = 0x0311, WM_HOTKEY = 0x0312,
               WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318, WM_APPCOMMAND = 0x0319, WM_THEMECHANGED = 0x031A,
               WM_USER = 0x0400, WM_APP = 0x8000;

// WM_ACTIVATE
constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_SIZE
constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2, SIZE_MAXSHOW = 3,
                 SIZE_MAXHIDE = 4;
// WM_SHOWWINDOW lParam
constexpr LPARAM SW_PARENTCLOSING = 1, SW_OTHERZOOM = 2, SW_PARENTOPENING = 3, SW_OTHERUNZOOM = 4;
// WM_NCCALCSIZE results
constexpr LRESULT WVR_ALIGNTOP = 0x10, WVR_ALIGNLEFT = 0x20, WVR_ALIGNBOTTOM = 0x40, WVR_ALIGNRIGHT = 0x80,
                  WVR_HREDRAW = 0x100, WVR_VREDRAW = 0x200, WVR_REDRAW = 0x300, WVR_VALIDRECTS = 0x400;
// WM_MOUSEACTIVATE results
constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
// WM_GETICON / WM_SETICON
constexpr WPARAM ICON_SMALL = 0, ICON_BIG = 1, ICON_SMALL2 = 2;
// WM_GETDLGCODE
constexpr LRESULT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_WANTMESSAGE = 0x4,
                  DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10, DLGC_UNDEFPUSHBUTTON = 0x20,
                  DLGC_RADIOBUTTON = 0x40, DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;
// The default push button of a dialog: DM_GETDEFID answers MAKELRESULT(id, DC_HASDEFID), or 0.
constexpr UINT DM_GETDEFID = WM_USER, DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

// WM_NCHITTEST codes
constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
                  HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8,
                  HTREDUCE = 8, HTMAXBUTTON = 9, HTZOOM = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12,
                  HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17,
                  HTBORDER = 18, HTSIZEFIRST = 10, HTSIZELAST = 17, HTOBJECT = 19, HTCLOSE = 20, HTHELP = 21;

// WM_SYSCOMMAND
constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                 SC_NEXTWINDOW = 0xF040, SC_PREVWINDOW = 0xF050, SC_CLOSE = 0xF060, SC_VSCROLL = 0xF070,
                 SC_HSCROLL = 0xF080, SC_MOUSEMENU = 0xF090, SC_KEYMENU = 0xF100, SC_ARRANGE = 0xF110,
                 SC_RESTORE = 0xF120, SC_TASKLIST = 0xF130, SC_SCREENSAVE = 0xF140, SC_HOTKEY = 0xF150,
                 SC_DEFAULT = 0xF160, SC_MONITORPOWER = 0xF170, SC_CONTEXTHELP = 0xF180,
                 SC_ICON = SC_MINIMIZE, SC_ZOOM = SC_MAXIMIZE;

// Mouse key flags (wParam of client mouse messages)
constexpr WPARAM MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10,
                 MK_XBUTTON1 = 0x20, MK_XBUTTON2 = 0x40;
constexpr WORD XBUTTON1 = 1, XBUTTON2 = 2;
constexpr int WHEEL_DELTA = 120;
// SPI_GETWHEELSCROLLLINES's answer for "a page a notch".
constexpr UINT WHEEL_PAGESCROLL = 0xFFFFFFFF;

// --- styles -----------------------------------------------------------------------------------------

constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000, WS_TILED = WS_OVERLAPPED,
                WS_ICONIC = WS_MINIMIZE, WS_SIZEBOX = WS_THICKFRAME, WS_CHILDWINDOW = WS_CHILD;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004,
                WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010, WS_EX_TRANSPARENT = 0x00000020,
                WS_EX_MDICHILD = 0x00000040, WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100,
                WS_EX_CLIENTEDGE = 0x00000200, WS_EX_CONTEXTHELP = 0x00000400, WS_EX_RIGHT = 0x00001000,
                WS_EX_LEFT = 0x00000000, WS_EX_RTLREADING = 0x00002000, WS_EX_LTRREADING = 0x00000000,
                WS_EX_LEFTSCROLLBAR = 0x00004000, WS_EX_RIGHTSCROLLBAR = 0x00000000,
                WS_EX_CONTROLPARENT = 0x00010000, WS_EX_STATICEDGE = 0x00020000, WS_EX_APPWINDOW = 0x00040000,
                WS_EX_LAYERED = 0x00080000, WS_EX_NOINHERITLAYOUT = 0x00100000, WS_EX_LAYOUTRTL = 0x00400000,
                WS_EX_COMPOSITED = 0x02000000, WS_EX_NOACTIVATE = 0x08000000;
constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr DWORD WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// Dialog styles. DS_MODALFRAME becomes WS_EX_DLGMODALFRAME for windows of the dialog class "#32770".
constexpr DWORD DS_ABSALIGN = 0x01, DS_SYSMODAL = 0x02, DS_3DLOOK = 0x04, DS_FIXEDSYS = 0x08,
                DS_NOFAILCREATE = 0x10, DS_LOCALEDIT = 0x20, DS_SETFONT = 0x40, DS_MODALFRAME = 0x80,
                DS_NOIDLEMSG = 0x100, DS_SETFOREGROUND = 0x200, DS_CONTROL = 0x400, DS_CENTER = 0x800,
                DS_CENTERMOUSE = 0x1000, DS_CONTEXTHELP = 0x2000;

// Class styles
constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_OWNDC = 0x0020,
               CS_CLASSDC = 0x0040, CS_PARENTDC = 0x0080, CS_NOCLOSE = 0x0200, CS_SAVEBITS = 0x0800,
               CS_BYTEALIGNCLIENT = 0x1000, CS_BYTEALIGNWINDOW = 0x2000, CS_GLOBALCLASS = 0x4000,
               CS_IME = 0x00010000, CS_DROPSHADOW = 0x00020000;

// --- window data indexes ----------------------------------------------------------------------------

constexpr int GWL_WNDPROC = -4, GWL_HINSTANCE = -6, GWL_HWNDPARENT = -8, GWL_STYLE = -16, GWL_EXSTYLE = -20,
              GWL_USERDATA = -21, GWL_ID = -12;
constexpr int GWLP_WNDPROC = -4, GWLP_HINSTANCE = -6, GWLP_HWNDPARENT = -8, GWLP_USERDATA = -21,
              GWLP_ID = -12;
constexpr int GCL_MENUNAME = -8, GCL_HBRBACKGROUND = -10, GCL_HCURSOR = -12, GCL_HICON = -14,
              GCL_HMODULE = -16, GCL_CBWNDEXTRA = -18, GCL_CBCLSEXTRA = -20, GCL_WNDPROC = -24,
              GCL_STYLE = -26, GCW_ATOM = -32, GCL_HICONSM = -34;
constexpr int GCLP_HBRBACKGROUND = -10, GCLP_HCURSOR = -12, GCLP_HICON = -14, GCLP_HMODULE = -16,
              GCLP_WNDPROC = -24, GCLP_HICONSM = -34;

// GetWindow
constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4,
               GW_CHILD = 5, GW_ENABLEDPOPUP = 6;
// GetAncestor
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;
// ChildWindowFromPointEx
constexpr UINT CWP_ALL = 0x0, CWP_SKIPINVISIBLE = 0x1, CWP_SKIPDISABLED = 0x2, CWP_SKIPTRANSPARENT = 0x4;

// --- positions and showing --------------------------------------------------------------------------

inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_DESKTOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<intptr_t>(1));
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<intptr_t>(-3));
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<intptr_t>(0xFFFF));

constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
               SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_DRAWFRAME = 0x0020,
               SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080, SWP_NOCOPYBITS = 0x0100,
               SWP_NOOWNERZORDER = 0x0200, SWP_NOREPOSITION = 0x0200, SWP_NOSENDCHANGING = 0x0400,
               SWP_NOCLIENTSIZE = 0x0800, SWP_NOCLIENTMOVE = 0x1000, SWP_DEFERERASE = 0x2000,
               SWP_ASYNCWINDOWPOS = 0x4000, SWP_STATECHANGED = 0x8000;

constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
              SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7,
              SW_SHOWNA = 8, SW_RESTORE = 9, SW_SHOWDEFAULT = 10, SW_FORCEMINIMIZE = 11, SW_MAX = 11;

constexpr UINT WPF_SETMINPOSITION = 0x1, WPF_RESTORETOMAXIMIZED = 0x2;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// --- queue ------------------------------------------------------------------------------------------

constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002;
constexpr UINT QS_KEY = 0x0001, QS_MOUSEMOVE = 0x0002, QS_MOUSEBUTTON = 0x0004, QS_POSTMESSAGE = 0x0008,
               QS_TIMER = 0x0010, QS_PAINT = 0x0020, QS_SENDMESSAGE = 0x0040, QS_HOTKEY = 0x0080,
               QS_ALLPOSTMESSAGE = 0x0100, QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON,
               QS_INPUT = QS_MOUSE | QS_KEY,
               QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY,
               QS_ALLINPUT = QS_ALLEVENTS | QS_SENDMESSAGE;
constexpr UINT PM_QS_INPUT = QS_INPUT << 16,
               PM_QS_POSTMESSAGE = (QS_POSTMESSAGE | QS_HOTKEY | QS_TIMER) << 16,
               PM_QS_PAINT = QS_PAINT << 16, PM_QS_SENDMESSAGE = QS_SENDMESSAGE << 16;

// --- hooks ------------------------------------------------------------------------------------------

constexpr int WH_MSGFILTER = -1, WH_JOURNALRECORD = 0, WH_JOURNALPLAYBACK = 1, WH_KEYBOARD = 2,
              WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4, WH_CBT = 5, WH_SYSMSGFILTER = 6, WH_MOUSE = 7,
              WH_HARDWARE = 8, WH_DEBUG = 9, WH_SHELL = 10, WH_FOREGROUNDIDLE = 11, WH_CALLWNDPROCRET = 12,
              WH_KEYBOARD_LL = 13, WH_MOUSE_LL = 14;
constexpr int HC_ACTION = 0, HC_GETNEXT = 1, HC_SKIP = 2, HC_NOREMOVE = 3;
constexpr int HCBT_MOVESIZE = 0, HCBT_MINMAX = 1, HCBT_QS = 2, HCBT_CREATEWND = 3, HCBT_DESTROYWND = 4,
              HCBT_ACTIVATE = 5, HCBT_CLICKSKIPPED = 6, HCBT_KEYSKIPPED = 7, HCBT_SYSCOMMAND = 8,
              HCBT_SETFOCUS = 9;
constexpr int MSGF_DIALOGBOX = 0, MSGF_MESSAGEBOX = 1, MSGF_MENU = 2, MSGF_SCROLLBAR = 5, MSGF_NEXTWINDOW = 6,
              MSGF_USER = 4096;

using HOOKPROC = std::function<LRESULT(int code, WPARAM, LPARAM)>;

// --- timers -----------------------------------------------------------------------------------------

using TIMERPROC = std::function<void(HWND, UINT, UINT_PTR, DWORD)>;
constexpr UINT USER_TIMER_MINIMUM = 0x0000000A, USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// --- mouse tracking -----------------------------------------------------------------------------------

constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_NONCLIENT = 0x10, TME_QUERY = 0x40000000,
                TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

// --- virtual keys -----------------------------------------------------------------------------------

constexpr int VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_XBUTTON1 = 0x05,
              VK_XBUTTON2 = 0x06, VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D,
              VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14,
              VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
              VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SELECT = 0x29,
              VK_PRINT = 0x2A, VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
              VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D, VK_NUMPAD0 = 0x60,
              VK_NUMPAD1 = 0x61, VK_NUMPAD2 = 0x62, VK_NUMPAD3 = 0x63, VK_NUMPAD4 = 0x64, VK_NUMPAD5 = 0x65,
              VK_NUMPAD6 = 0x66, VK_NUMPAD7 = 0x67, VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A,
              VK_ADD = 0x6B, VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
              VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75,
              VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B,
              VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2,
              VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB,
              VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF,
              VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
              VK_OEM_102 = 0xE2;

// --- system metrics and parameters --------------------------------------------------------------------

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
              SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CXFIXEDFRAME = 7, SM_CYDLGFRAME = 8,
              SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12,
              SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17,
              SM_CYKANJIWINDOW = 18, SM_MOUSEPRESENT = 19, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21,
              SM_DEBUG = 22, SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31,
              SM_CXFRAME = 32, SM_CXSIZEFRAME = 32, SM_CYFRAME = 33, SM_CYSIZEFRAME = 33, SM_CXMINTRACK = 34,
              SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXICONSPACING = 38,
              SM_CYICONSPACING = 39, SM_MENUDROPALIGNMENT = 40, SM_PENWINDOWS = 41, SM_DBCSENABLED = 42,
              SM_CMOUSEBUTTONS = 43, SM_SECURE = 44, SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXMINSPACING = 47,
              SM_CYMINSPACING = 48, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52,
              SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55, SM_ARRANGE = 56, SM_CXMINIMIZED = 57,
              SM_CYMINIMIZED = 58, SM_CXMAXTRACK = 59, SM_CYMAXTRACK = 60, SM_CXMAXIMIZED = 61,
              SM_CYMAXIMIZED = 62, SM_NETWORK = 63, SM_CLEANBOOT = 67, SM_CXDRAG = 68, SM_CYDRAG = 69,
              SM_SHOWSOUNDS = 70, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_SLOWMACHINE = 73,
              SM_MIDEASTENABLED = 74, SM_MOUSEWHEELPRESENT = 75, SM_XVIRTUALSCREEN = 76,
              SM_YVIRTUALSCREEN = 77, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80,
              SM_SAMEDISPLAYFORMAT = 81, SM_IMMENABLED = 82, SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84,
              SM_TABLETPC = 86, SM_MEDIACENTER = 87, SM_CMETRICS = 90, SM_REMOTESESSION = 0x1000;

constexpr UINT SPI_GETBEEP = 0x0001, SPI_GETMOUSE = 0x0003, SPI_GETBORDER = 0x0005,
               SPI_GETKEYBOARDSPEED = 0x000A, SPI_SETKEYBOARDSPEED = 0x000B,
               SPI_ICONHORIZONTALSPACING = 0x000D, SPI_GETSCREENSAVETIMEOUT = 0x000E,
               SPI_GETSCREENSAVEACTIVE = 0x0010, SPI_GETKEYBOARDDELAY = 0x0016, SPI_SETKEYBOARDDELAY = 0x0017,
               SPI_ICONVERTICALSPACING = 0x0018, SPI_GETICONTITLEWRAP = 0x0019,
               SPI_GETMENUDROPALIGNMENT = 0x001B, SPI_SETDOUBLECLICKTIME = 0x0020,
               SPI_GETICONTITLELOGFONT = 0x001F, SPI_GETDRAGFULLWINDOWS = 0x0026,
               SPI_SETDRAGFULLWINDOWS = 0x0025, SPI_GETNONCLIENTMETRICS = 0x0029,
               SPI_GETMINIMIZEDMETRICS = 0x002B, SPI_SETWORKAREA = 0x002F, SPI_GETWORKAREA = 0x0030,
               SPI_GETHIGHCONTRAST = 0x0042, SPI_GETKEYBOARDPREF = 0x0044, SPI_GETSCREENREADER = 0x0046,
               SPI_GETFONTSMOOTHING = 0x004A, SPI_GETSHOWSOUNDS = 0x0038, SPI_GETMOUSEHOVERWIDTH = 0x0062,
               SPI_GETMOUSEHOVERHEIGHT = 0x0064, SPI_GETMOUSEHOVERTIME = 0x0066,
               SPI_GETWHEELSCROLLLINES = 0x0068, SPI_SETWHEELSCROLLLINES = 0x0069,
               SPI_GETMENUSHOWDELAY = 0x006A, SPI_GETSHOWIMEUI = 0x006E, SPI_GETWHEELSCROLLCHARS = 0x006C,
               SPI_GETMOUSESPEED = 0x0070, SPI_GETACTIVEWINDOWTRACKING = 0x1000,
               SPI_GETMENUANIMATION = 0x1002, SPI_GETCOMBOBOXANIMATION = 0x1004,
               SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006, SPI_GETGRADIENTCAPTIONS = 0x1008,
               SPI_GETKEYBOARDCUES = 0x100A, SPI_GETMENUUNDERLINES = 0x100A, SPI_GETHOTTRACKING = 0x100E,
               SPI_GETMENUFADE = 0x1012, SPI_GETSELECTIONFADE = 0x1014, SPI_GETTOOLTIPANIMATION = 0x1016,
               SPI_GETTOOLTIPFADE = 0x1018, SPI_GETCURSORSHADOW = 0x101A, SPI_GETFLATMENU = 0x1022,
               SPI_GETDROPSHADOW = 0x1024, SPI_GETUIEFFECTS = 0x103E, SPI_GETFOREGROUNDLOCKTIMEOUT = 0x2000,
               SPI_GETCARETWIDTH = 0x2006, SPI_GETFOCUSBORDERWIDTH = 0x200E,
               SPI_GETFOCUSBORDERHEIGHT = 0x2010;

constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// --- window classes ---------------------------------------------------------------------------------

ATOM RegisterClassEx(const WNDCLASSEX* wc);
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(const std::string& className, HINSTANCE instance);
BOOL GetClassInfoEx(HINSTANCE instance, const std::string& className, WNDCLASSEX* wc);
BOOL GetClassInfo(HINSTANCE instance, const std::string& className, WNDCLASS* wc);
int GetClassName(HWND hwnd, char* buffer, int bufferSize);
std::string GetClassName(HWND hwnd);
LONG_PTR GetClassLong(HWND hwnd, int index);
LONG_PTR SetClassLong(HWND hwnd, int index, LONG_PTR value);
inline LONG_PTR GetClassLongPtr(HWND hwnd, int index) {
  return GetClassLong(hwnd, index);
}
inline LONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) {
  return SetClassLong(hwnd, index, value);
}

// The program's module, and the module the built-in dialogs and controls belong to.
HINSTANCE GetModuleHandle(const char* moduleName);  // nullptr: the program; "user32": the window system
HINSTANCE MainInstance();

// --- windows ----------------------------------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param);
inline HWND CreateWindow(const std::string& className, const std::string& windowName, DWORD style, int x,
                         int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                         void* param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // answers whether it was disabled before
BOOL IsChild(HWND parent, HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL IsWindowUnicode(HWND hwnd);
HWND GetParent(HWND hwnd);                  // the parent of a child, the owner of a popup
HWND SetParent(HWND hwnd, HWND newParent);  // nullptr: top level
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);
HWND GetNextWindow(HWND hwnd, UINT cmd);
HWND GetDesktopWindow();
HWND GetLastActivePopup(HWND hwnd);
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
using WNDENUMPROC = std::function<BOOL(HWND, LPARAM)>;
BOOL EnumWindows(const WNDENUMPROC& callback, LPARAM lParam);
BOOL EnumChildWindows(HWND parent, const WNDENUMPROC& callback, LPARAM lParam);
BOOL EnumThreadWindows(DWORD threadId, const WNDENUMPROC& callback, LPARAM lParam);

// GWL_ indexes read and write the full LONG_PTR; non-negative offsets address the class's
// cbWndExtra bytes, 4 bytes at a time here and pointer-sized in the Ptr forms.
LONG_PTR GetWindowLong(HWND hwnd, int index);
LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);

BOOL SetWindowText(HWND hwnd, const std::string& text);
int GetWindowText(HWND hwnd, char* buffer, int bufferSize);  // bytes copied, not counting the NUL
std::string GetWindowText(HWND hwnd);
int GetWindowTextLength(HWND hwnd);

BOOL SetProp(HWND hwnd, const std::string& name, HANDLE data);
BOOL SetProp(HWND hwnd, ATOM atom, HANDLE data);
HANDLE GetProp(HWND hwnd, const std::string& name);
HANDLE GetProp(HWND hwnd, ATOM atom);
HANDLE RemoveProp(HWND hwnd, const std::string& name);
HANDLE RemoveProp(HWND hwnd, ATOM atom);

// --- geometry ---------------------------------------------------------------------------------------
// Window positions are kept within +-kWindowCoordLimit and sizes within 0..kWindowCoordLimit,
// well inside 32 bits, so sums of a few coordinates never overflow.
constexpr int kWindowCoordLimit = 1 << 26;

BOOL GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* rect);  // (0, 0, width, height)
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL BringWindowToTop(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmd);  // answers whether it was visible before
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
BOOL OpenIcon(HWND hwnd);
BOOL CloseWindow(HWND hwnd);  // minimises
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);  // MAKELONG(dx, dy)
int MapWindowPoints(HWND from, HWND to, RECT* rect);
HWND WindowFromPoint(POINT screen);
HWND ChildWindowFromPoint(HWND parent, POINT client);
HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
// The window takes the region over and deletes it when it is replaced or the window dies;
// until then DeleteObject refuses it. nullptr removes the region.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN copyInto);  // the region type, or ERROR when there is none

// --- messages ---------------------------------------------------------------------------------------

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                           DWORD_PTR* result);
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);  // 0 for WM_QUIT, -1 on error
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL WaitMessage();
LONG GetMessageTime();
DWORD GetMessagePos();
BOOL InSendMessage();  // sends on the one thread are plain calls: always FALSE
BOOL ReplyMessage(LRESULT result);
DWORD GetQueueStatus(UINT flags);
BOOL GetInputState();
UINT RegisterWindowMessage(const std::string& name);  // 0xC000..0xFFFF
BOOL CallMsgFilter(MSG* msg, int code);

// Nested loops. Both pump GetMessage/TranslateMessage/DispatchMessage; a loop that takes WM_QUIT
// re-posts it with PostQuitMessage and returns, so every loop ends in turn.
// RunMessageLoop answers the exit code of WM_QUIT.
int RunMessageLoop();
// Until `done` answers true (checked before each wait) or `window` (when given) dies; false when
// WM_QUIT ended it. With `filterCode` >= 0 every message goes through CallMsgFilter first.
bool RunModalLoop(const std::function<bool()>& done, HWND window = nullptr, int filterCode = -1);

// Disables a modal loop's owner for its lifetime (only when it was enabled) and re-enables it.
class TModalOwnerScope {
 public:
  explicit TModalOwnerScope(HWND owner);
  ~TModalOwnerScope();
  TModalOwnerScope(const TModalOwnerScope&) = delete;
  TModalOwnerScope& operator=(const TModalOwnerScope&) = delete;

 private:
  HWND owner_ = nullptr;
};

// --- timers -----------------------------------------------------------------------------------------

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// --- input, focus, activation, capture ----------------------------------------------------------------

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);  // 256 bytes
BOOL SetKeyboardState(const BYTE* state);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);
BOOL MessageBeep(UINT type);  // silent; counted (WinTesting::BeepCount)
BOOL SwapMouseButton(BOOL swap);
// The US keyboard layout: scan codes and characters of virtual keys.
constexpr UINT MAPVK_VK_TO_VSC = 0, MAPVK_VSC_TO_VK = 1, MAPVK_VK_TO_CHAR = 2, MAPVK_VSC_TO_VK_EX = 3;
UINT MapVirtualKey(UINT code, UINT mapType);
// The key for a character: low byte the virtual key, high byte 1 with Shift; -1 when none.
SHORT VkKeyScan(char32_t ch);

// --- hooks ------------------------------------------------------------------------------------------

// Per-process chains, newest first. Supported: WH_CBT, WH_MSGFILTER, WH_SYSMSGFILTER, WH_GETMESSAGE,
// WH_CALLWNDPROC, WH_CALLWNDPROCRET, WH_KEYBOARD, WH_MOUSE.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE instance, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// Event hooks, called at once (in context) for each event between eventMin and eventMax, oldest
// hook first. The window manager reports EVENT_OBJECT_SHOW and EVENT_OBJECT_HIDE for a window's
// scroll bars (idObject OBJID_HSCROLL or OBJID_VSCROLL, idChild CHILDID_SELF) when its style gains
// or loses WS_HSCROLL or WS_VSCROLL. One process, one thread: processId and threadId filter nothing.
constexpr DWORD EVENT_OBJECT_SHOW = 0x8002, EVENT_OBJECT_HIDE = 0x8003;
constexpr LONG CHILDID_SELF = 0;
constexpr DWORD WINEVENT_OUTOFCONTEXT = 0x0000, WINEVENT_INCONTEXT = 0x0004;
using WINEVENTPROC = std::function<void(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG idObject,
                                        LONG idChild, DWORD eventThread, DWORD eventTime)>;
HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC proc,
                              DWORD processId, DWORD threadId, DWORD flags);
BOOL UnhookWinEvent(HWINEVENTHOOK hook);
void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);

// --- atoms ------------------------------------------------------------------------------------------

ATOM GlobalAddAtom(const std::string& name);
ATOM GlobalFindAtom(const std::string& name);
ATOM GlobalDeleteAtom(ATOM atom);  // 0 on success
UINT GlobalGetAtomName(ATOM atom, char* buffer, int bufferSize);
std::string GlobalGetAtomName(ATOM atom);
ATOM AddAtom(const std::string& name);
ATOM FindAtom(const std::string& name);
ATOM DeleteAtom(ATOM atom);
UINT GetAtomName(ATOM atom, char* buffer, int bufferSize);

// --- system metrics and parameters --------------------------------------------------------------------

int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);
DWORD GetVersion();  // NT 5.1, build 2600
BOOL GetVersionEx(OSVERSIONINFO* info);
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/Cursors.h"
#include "platform/win/MenuApi.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Painting.h"
