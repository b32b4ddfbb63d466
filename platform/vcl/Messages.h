#pragma once
// The class library's message record and its own message numbers: the CM_ messages that
// controls send each other (CM_BASE + n, in the customary numbering) and the CN_ messages,
// which are window messages a parent reflects back to the child control they concern
// (CN_BASE + the window message).
//
// Every customary message record is an alias of TMessage; its fields are accessor functions
// that read the packed parameters. Object pointers travel in the parameters as the type
// named in the comment of each message (senders cast exactly that type to LPARAM/WPARAM).
#include <string>

#include "platform/gdi/Colors.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/ShiftState.h"
#include "platform/win/Windows.h"

class TControl;
class TWinControl;

// --- CM_ messages ------------------------------------------------------------------------------

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;         // LParam: TControl* sender
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;          // as WM_KEYDOWN; Result non-zero: handled
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;         // as WM_CHAR; Result non-zero: handled
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;       // LParam: TWinControl* now focused
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;  // WParam non-zero: LParam is the TFont*
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;         // XPos/YPos in client coordinates; Result non-zero: hit
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;  // WParam: the new Visible
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;  // to the control entered; LParam 0
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;  // to the control left; LParam 0
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;  // WParam: group index; LParam: TControl* pressed
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;  // as WM_KEYDOWN; Result 1: the control wants it
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;  // WParam: TControl*; LParam: inserting
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;  // WParam: the key; LParam: TWinControl* sender
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;  // LParam: THintInfo*; Result 0: show the hint
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;  // WParam non-zero: the control is opaque
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;  // WParam: TControl*; LParam: inserting
constexpr UINT CM_CHANGED = CM_BASE + 55;        // LParam: TControl* that changed
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;   // LParam: TBasicAction*; Result non-zero: handled
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;  // LParam: TBasicAction*; Result non-zero: handled
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;  // WParam: was showing; LParam: int* pause
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;  // WParamLo: shift bits; WParamHi: delta; LParam: screen pos
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;  // as WM_KEYDOWN; Result non-zero: it is a short cut

// --- CN_ messages: window messages reflected to the child control -------------------------------

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// --- the message record --------------------------------------------------------------------------

// Packs a shift state into the low word of CM_MOUSEWHEEL's WParam and back.
inline WORD ShiftStateToWord(TShiftState s) {
  return static_cast<WORD>(s.ToBits() & 0xFFFF);
}
inline TShiftState WordToShiftState(WORD w) {
  return TShiftState::FromUInt(w);
}

struct TMessage {
  UINT Msg = 0;
  union {
    WPARAM WParam = 0;
    // The low and high words of WParam as storage, so CharCode() can be passed by reference.
    struct {
      WORD wlo_;
      WORD whi_;
    } wparts_;
  };
  LPARAM LParam = 0;
  LRESULT Result = 0;

  TMessage() = default;
  TMessage(UINT msg, WPARAM w, LPARAM l) : Msg(msg), WParam(w), LParam(l) {}

  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(static_cast<uintptr_t>(LParam)); }
  WORD LParamHi() const { return HIWORD(static_cast<uintptr_t>(LParam)); }

  // Mouse messages (client coordinates; screen ones for WM_CONTEXTMENU, WM_MOUSEWHEEL,
  // WM_NCHITTEST and CM_MOUSEWHEEL).
  int XPos() const { return GET_X_LPARAM(LParam); }
  int YPos() const { return GET_Y_LPARAM(LParam); }
  TPoint Pos() const { return {XPos(), YPos()}; }
  WORD Keys() const { return LOWORD(WParam); }
  int WheelDelta() const { return GET_WHEEL_DELTA_WPARAM(WParam); }
  TShiftState ShiftState() const { return WordToShiftState(WParamLo()); }  // CM_MOUSEWHEEL

  // Key messages (WM_KEYDOWN, WM_CHAR, CN_KEYDOWN, CM_DIALOGKEY, CM_WANTSPECIALKEY, ...). For
  // character messages CharCode is the low 16 bits; CharValue the whole code point.
  WORD& CharCode() { return wparts_.wlo_; }
  WORD CharCode() const { return LOWORD(WParam); }
  char32_t CharValue() const { return static_cast<char32_t>(WParam); }
  LPARAM KeyData() const { return LParam; }

  // WM_SIZE
  WPARAM SizeType() const { return WParam; }
  int Width() const { return LParamLo(); }
  int Height() const { return LParamHi(); }
  // WM_COMMAND
  WORD ItemID() const { return WParamLo(); }
  WORD NotifyCode() const { return WParamHi(); }
  HWND Ctl() const { return reinterpret_cast<HWND>(LParam); }
  // WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_WINDOWPOSCHANGED
  NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(LParam); }
  DRAWITEMSTRUCT* DrawItemStruct() const { return reinterpret_cast<DRAWITEMSTRUCT*>(LParam); }
  MEASUREITEMSTRUCT* MeasureItemStruct() const { return reinterpret_cast<MEASUREITEMSTRUCT*>(LParam); }
  WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(LParam); }
  // WM_PAINT, WM_ERASEBKGND, WM_CTLCOLOR*: the DC in WParam.
  HDC DC() const { return reinterpret_cast<HDC>(WParam); }
  HDC ChildDC() const { return reinterpret_cast<HDC>(WParam); }
  HWND ChildWnd() const { return reinterpret_cast<HWND>(LParam); }
  // WM_SETFOCUS / WM_KILLFOCUS: the window that lost or gains the focus.
  HWND FocusedWnd() const { return reinterpret_cast<HWND>(WParam); }
  // WM_SETCURSOR
  HWND CursorWnd() const { return reinterpret_cast<HWND>(WParam); }
  int HitTest() const { return static_cast<SHORT>(LParamLo()); }
  WORD MouseMsg() const { return LParamHi(); }
  // WM_HSCROLL / WM_VSCROLL (and their CN_ forms)
  int ScrollCode() const { return static_cast<SHORT>(WParamLo()); }
  int ScrollPos() const { return static_cast<SHORT>(WParamHi()); }
  HWND ScrollBar() const { return reinterpret_cast<HWND>(LParam); }
  // WM_CONTEXTMENU
  HWND hWnd() const { return reinterpret_cast<HWND>(WParam); }

  // CM_ messages carrying objects.
  TControl* Sender() const { return reinterpret_cast<TControl*>(LParam); }   // CM_CANCELMODE
  TControl* Child() const { return reinterpret_cast<TControl*>(LParam); }    // CM_CHANGED
  TControl* Control() const { return reinterpret_cast<TControl*>(WParam); }  // CM_CONTROLCHANGE
  bool Inserting() const { return LParam != 0; }                             // CM_CONTROL*CHANGE
  TWinControl* WinSender() const {
    return reinterpret_cast<TWinControl*>(LParam);
  }  // CM_CHILDKEY,
     // CM_FOCUSCHANGED
  struct THintInfo* HintInfo() const {
    return reinterpret_cast<struct THintInfo*>(LParam);
  }
};

// The customary record names.
using TWMMouse = TMessage;
using TWMLButtonDown = TMessage;
using TWMLButtonUp = TMessage;
using TWMLButtonDblClk = TMessage;
using TWMRButtonDown = TMessage;
using TWMRButtonUp = TMessage;
using TWMRButtonDblClk = TMessage;
using TWMMButtonDown = TMessage;
using TWMMButtonUp = TMessage;
using TWMMButtonDblClk = TMessage;
using TWMMouseMove = TMessage;
using TWMMouseWheel = TMessage;
using TWMNCHitTest = TMessage;
using TWMNCCalcSize = TMessage;
using TWMNCPaint = TMessage;
using TWMKey = TMessage;
using TWMKeyDown = TMessage;
using TWMKeyUp = TMessage;
using TWMChar = TMessage;
using TWMSysKeyDown = TMessage;
using TWMSysChar = TMessage;
using TWMPaint = TMessage;
using TWMEraseBkgnd = TMessage;
using TWMSize = TMessage;
using TWMMove = TMessage;
using TWMSetFocus = TMessage;
using TWMKillFocus = TMessage;
using TWMCommand = TMessage;
using TWMNotify = TMessage;
using TWMDrawItem = TMessage;
using TWMMeasureItem = TMessage;
using TWMDeleteItem = TMessage;
using TWMCompareItem = TMessage;
using TWMSetCursor = TMessage;
using TWMGetDlgCode = TMessage;
using TWMScroll = TMessage;
using TWMHScroll = TMessage;
using TWMVScroll = TMessage;
using TWMContextMenu = TMessage;
using TWMWindowPosChanged = TMessage;
using TWMWindowPosChanging = TMessage;
using TWMCtlColor = TMessage;
using TWMCancelMode = TMessage;
using TWMSetText = TMessage;
using TWMGetText = TMessage;
using TWMTimer = TMessage;
using TWMActivate = TMessage;
using TWMMouseActivate = TMessage;
using TWMNoParams = TMessage;
using TCMEnter = TMessage;
using TCMExit = TMessage;
using TCMHintShow = TMessage;
using TCMHintShowPause = TMessage;
using TCMDialogKey = TMessage;
using TCMDialogChar = TMessage;
using TCMWantSpecialKey = TMessage;
using TCMMouseWheel = TMessage;
using TCMChildKey = TMessage;
using TCMCancelMode = TMessage;
using TCMFocusChanged = TMessage;
using TCMChanged = TMessage;
using TCMControlChange = TMessage;
using TCMControlListChange = TMessage;
using TCMHitTest = TMessage;
using TCMDesignHitTest = TMessage;
using TCMActionUpdate = TMessage;
using TCMActionExecute = TMessage;
using TCMButtonPressed = TMessage;

// --- hints --------------------------------------------------------------------------------------

// CM_HINTSHOW's record: the control may change the text, position, colour, window class and
// the rectangle the hint belongs to before it shows.
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;  // a THintWindow class
  TPoint HintPos{};                  // screen coordinates
  int HintMaxWidth = 0;
  TColor HintColor = 0;
  TRect CursorRect{};  // client coordinates of HintControl
  TPoint CursorPos{};  // client coordinates of HintControl
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  std::string HintStr;
  void* HintData = nullptr;
};
using PHintInfo = THintInfo*;
