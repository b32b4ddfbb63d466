#pragma once
// The built-in window classes with their styles, messages and notifications at the customary
// values: "Button", "Static", "Edit", "ListBox", "ComboBox", "ScrollBar", "SysMonthCal32",
// "MDIClient" and the common controls (most of those keep and answer state only; "ComboBoxEx32",
// "SysTreeView32" and "ToolbarWindow32" are registered names with the default behaviour).
//
// Text is UTF-8; the Edit class counts positions in characters (code points), so EM_GETSEL and
// friends answer character indexes while WM_GETTEXTLENGTH answers bytes.
#include <cstdint>

#include "platform/win/Painting.h"
#include "platform/win/Windows.h"

// Registers every built-in class as a system class; the window manager calls it at start-up
// and calling it again does nothing.
void RegisterBuiltinClasses();

// --- class names ------------------------------------------------------------------------------------

inline constexpr const char* WC_BUTTON = "Button";
inline constexpr const char* WC_STATIC = "Static";
inline constexpr const char* WC_EDIT = "Edit";
inline constexpr const char* WC_LISTBOX = "ListBox";
inline constexpr const char* WC_COMBOBOX = "ComboBox";
inline constexpr const char* WC_COMBOLBOX = "ComboLBox";
inline constexpr const char* WC_SCROLLBAR = "ScrollBar";
inline constexpr const char* MONTHCAL_CLASS = "SysMonthCal32";
inline constexpr const char* WC_MDICLIENT = "MDIClient";
inline constexpr const char* WC_TABCONTROL = "SysTabControl32";
inline constexpr const char* WC_HEADER = "SysHeader32";
inline constexpr const char* TRACKBAR_CLASS = "msctls_trackbar32";
inline constexpr const char* UPDOWN_CLASS = "msctls_updown32";
inline constexpr const char* PROGRESS_CLASS = "msctls_progress32";
inline constexpr const char* STATUSCLASSNAME = "msctls_statusbar32";
inline constexpr const char* WC_LISTVIEW = "SysListView32";
inline constexpr const char* WC_COMBOBOXEX = "ComboBoxEx32";
inline constexpr const char* WC_TREEVIEW = "SysTreeView32";
inline constexpr const char* TOOLBARCLASSNAME = "ToolbarWindow32";

// --- notifications through WM_NOTIFY --------------------------------------------------------------------

struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};

// WM_CTLCOLOR* answers: the control paints its background with the brush the parent returns.
// Owner draw
constexpr UINT ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4;
constexpr UINT ODS_SELECTED = 0x1, ODS_GRAYED = 0x2, ODS_DISABLED = 0x4, ODS_CHECKED = 0x8, ODS_FOCUS = 0x10,
               ODS_DEFAULT = 0x20, ODS_COMBOBOXEDIT = 0x1000;

struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem{};
  ULONG_PTR itemData = 0;
};

struct MEASUREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  ULONG_PTR itemData = 0;
};

// --- Button ---------------------------------------------------------------------------------------

constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7,
                BS_USERBUTTON = 0x8, BS_AUTORADIOBUTTON = 0x9, BS_PUSHBOX = 0xA, BS_OWNERDRAW = 0xB,
                BS_TYPEMASK = 0xF, BS_LEFTTEXT = 0x20, BS_RIGHTBUTTON = BS_LEFTTEXT, BS_TEXT = 0x0,
                BS_ICON = 0x40, BS_BITMAP = 0x80, BS_LEFT = 0x100, BS_RIGHT = 0x200, BS_CENTER = 0x300,
                BS_TOP = 0x400, BS_BOTTOM = 0x800, BS_VCENTER = 0xC00, BS_PUSHLIKE = 0x1000,
                BS_MULTILINE = 0x2000, BS_NOTIFY = 0x4000, BS_FLAT = 0x8000;
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
               BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5, BM_GETIMAGE = 0x00F6, BM_SETIMAGE = 0x00F7;
constexpr LRESULT BST_UNCHECKED = 0x0, BST_CHECKED = 0x1, BST_INDETERMINATE = 0x2, BST_PUSHED = 0x4,
                  BST_FOCUS = 0x8;
constexpr WORD BN_CLICKED = 0, BN_PAINT = 1, BN_HILITE = 2, BN_UNHILITE = 3, BN_DISABLE = 4,
               BN_DOUBLECLICKED = 5, BN_SETFOCUS = 6, BN_KILLFOCUS = 7;

// --- Static ---------------------------------------------------------------------------------------

constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_ICON = 0x3, SS_BLACKRECT = 0x4,
                SS_GRAYRECT = 0x5, SS_WHITERECT = 0x6, SS_BLACKFRAME = 0x7, SS_GRAYFRAME = 0x8,
                SS_WHITEFRAME = 0x9, SS_SIMPLE = 0xB, SS_LEFTNOWORDWRAP = 0xC, SS_OWNERDRAW = 0xD,
                SS_BITMAP = 0xE, SS_ETCHEDHORZ = 0x10, SS_ETCHEDVERT = 0x11, SS_ETCHEDFRAME = 0x12,
                SS_TYPEMASK = 0x1F, SS_NOPREFIX = 0x80, SS_NOTIFY = 0x100, SS_CENTERIMAGE = 0x200,
                SS_SUNKEN = 0x1000, SS_ENDELLIPSIS = 0x4000;
constexpr UINT STM_SETICON = 0x0170, STM_GETICON = 0x0171, STM_SETIMAGE = 0x0172, STM_GETIMAGE = 0x0173;
constexpr WORD STN_CLICKED = 0, STN_DBLCLK = 1;

// --- Edit -----------------------------------------------------------------------------------------

constexpr DWORD ES_LEFT = 0x0, ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_MULTILINE = 0x4, ES_UPPERCASE = 0x8,
                ES_LOWERCASE = 0x10, ES_PASSWORD = 0x20, ES_AUTOVSCROLL = 0x40, ES_AUTOHSCROLL = 0x80,
                ES_NOHIDESEL = 0x100, ES_OEMCONVERT = 0x400, ES_READONLY = 0x800, ES_WANTRETURN = 0x1000,
                ES_NUMBER = 0x2000;
constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3,
               EM_SETRECTNP = 0x00B4, EM_SCROLL = 0x00B5, EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB,
               EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4, EM_LIMITTEXT = 0x00C5,
               EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9,
               EM_SETPASSWORDCHAR = 0x00CC, EM_EMPTYUNDOBUFFER = 0x00CD, EM_GETFIRSTVISIBLELINE = 0x00CE,
               EM_SETREADONLY = 0x00CF, EM_GETPASSWORDCHAR = 0x00D2, EM_SETMARGINS = 0x00D3,
               EM_GETMARGINS = 0x00D4, EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6,
               EM_CHARFROMPOS = 0x00D7;
constexpr WPARAM EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;
constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;

// --- ListBox --------------------------------------------------------------------------------------

constexpr DWORD LBS_NOTIFY = 0x1, LBS_SORT = 0x2, LBS_NOREDRAW = 0x4, LBS_MULTIPLESEL = 0x8,
                LBS_OWNERDRAWFIXED = 0x10, LBS_OWNERDRAWVARIABLE = 0x20, LBS_HASSTRINGS = 0x40,
                LBS_USETABSTOPS = 0x80, LBS_NOINTEGRALHEIGHT = 0x100, LBS_MULTICOLUMN = 0x200,
                LBS_WANTKEYBOARDINPUT = 0x400, LBS_EXTENDEDSEL = 0x800, LBS_DISABLENOSCROLL = 0x1000,
                LBS_NODATA = 0x2000, LBS_NOSEL = 0x4000, LBS_COMBOBOX = 0x8000;
constexpr DWORD LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
               LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187,
               LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B,
               LB_SELECTSTRING = 0x018C, LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F,
               LB_GETSELCOUNT = 0x0190, LB_GETSELITEMS = 0x0191, LB_SETTOPINDEX = 0x0197,
               LB_GETITEMRECT = 0x0198, LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A,
               LB_SETCARETINDEX = 0x019E, LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0,
               LB_GETITEMHEIGHT = 0x01A1, LB_FINDSTRINGEXACT = 0x01A2, LB_SETCOUNT = 0x01A7,
               LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
constexpr WORD LBN_ERRSPACE = static_cast<WORD>(-2), LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3,
               LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5;

// --- ComboBox -------------------------------------------------------------------------------------

constexpr DWORD CBS_SIMPLE = 0x1, CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3, CBS_OWNERDRAWFIXED = 0x10,
                CBS_OWNERDRAWVARIABLE = 0x20, CBS_AUTOHSCROLL = 0x40, CBS_OEMCONVERT = 0x80, CBS_SORT = 0x100,
                CBS_HASSTRINGS = 0x200, CBS_NOINTEGRALHEIGHT = 0x400, CBS_DISABLENOSCROLL = 0x800,
                CBS_UPPERCASE = 0x2000, CBS_LOWERCASE = 0x4000;
constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142, CB_ADDSTRING = 0x0143,
               CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147, CB_GETLBTEXT = 0x0148,
               CB_GETLBTEXTLEN = 0x0149, CB_INSERTSTRING = 0x014A, CB_RESETCONTENT = 0x014B,
               CB_FINDSTRING = 0x014C, CB_SELECTSTRING = 0x014D, CB_SETCURSEL = 0x014E,
               CB_SHOWDROPDOWN = 0x014F, CB_GETITEMDATA = 0x0150, CB_SETITEMDATA = 0x0151,
               CB_GETDROPPEDCONTROLRECT = 0x0152, CB_SETITEMHEIGHT = 0x0153, CB_GETITEMHEIGHT = 0x0154,
               CB_GETDROPPEDSTATE = 0x0157, CB_FINDSTRINGEXACT = 0x0158, CB_GETCOMBOBOXINFO = 0x0164;
constexpr LRESULT CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;
constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1), CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3,
               CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5, CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8,
               CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;

// 52 bytes in its 32-bit layout; cbSize must say so.
struct COMBOBOXINFO {
  DWORD cbSize = 52;
  RECT rcItem{};
  RECT rcButton{};
  DWORD stateButton = 0;  // 0, STATE_SYSTEM_PRESSED or STATE_SYSTEM_INVISIBLE
  HWND hwndCombo = nullptr;
  HWND hwndItem = nullptr;
  HWND hwndList = nullptr;
};

// Fails unless cbSize is 52. rcItem and rcButton are in the combo box's client coordinates;
// hwndItem is the edit (null for CBS_DROPDOWNLIST), hwndList the "ComboLBox" list.
BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO* info);

// --- ScrollBar ------------------------------------------------------------------------------------

constexpr DWORD SBS_HORZ = 0x0, SBS_VERT = 0x1, SBS_TOPALIGN = 0x2, SBS_LEFTALIGN = 0x2,
                SBS_BOTTOMALIGN = 0x4, SBS_RIGHTALIGN = 0x4, SBS_SIZEBOXTOPLEFTALIGN = 0x2,
                SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x4, SBS_SIZEBOX = 0x8, SBS_SIZEGRIP = 0x10;
// SBM_* and SCROLLINFO come with the scroll-bar API of Painting.h.

// --- SysMonthCal32 --------------------------------------------------------------------------------

using MONTHDAYSTATE = DWORD;
constexpr DWORD MCS_DAYSTATE = 0x1, MCS_MULTISELECT = 0x2, MCS_WEEKNUMBERS = 0x4, MCS_NOTODAYCIRCLE = 0x8,
                MCS_NOTODAY = 0x10;
constexpr UINT MCM_FIRST = 0x1000, MCM_GETCURSEL = MCM_FIRST + 1, MCM_SETCURSEL = MCM_FIRST + 2,
               MCM_GETMAXSELCOUNT = MCM_FIRST + 3, MCM_SETMAXSELCOUNT = MCM_FIRST + 4,
               MCM_GETSELRANGE = MCM_FIRST + 5, MCM_SETSELRANGE = MCM_FIRST + 6,
               MCM_GETMONTHRANGE = MCM_FIRST + 7, MCM_SETDAYSTATE = MCM_FIRST + 8,
               MCM_GETMINREQRECT = MCM_FIRST + 9, MCM_SETCOLOR = MCM_FIRST + 10,
               MCM_GETCOLOR = MCM_FIRST + 11, MCM_SETTODAY = MCM_FIRST + 12, MCM_GETTODAY = MCM_FIRST + 13,
               MCM_HITTEST = MCM_FIRST + 14, MCM_SETFIRSTDAYOFWEEK = MCM_FIRST + 15,
               MCM_GETFIRSTDAYOFWEEK = MCM_FIRST + 16, MCM_GETRANGE = MCM_FIRST + 17,
               MCM_SETRANGE = MCM_FIRST + 18;
constexpr WPARAM GDTR_MIN = 0x1, GDTR_MAX = 0x2;
// The colours of MCM_SETCOLOR and MCM_GETCOLOR.
constexpr WPARAM MCSC_BACKGROUND = 0, MCSC_TEXT = 1, MCSC_TITLEBK = 2, MCSC_TITLETEXT = 3, MCSC_MONTHBK = 4,
                 MCSC_TRAILINGTEXT = 5;
constexpr UINT MCN_FIRST = static_cast<UINT>(-750), MCN_SELCHANGE = MCN_FIRST + 1,
               MCN_GETDAYSTATE = MCN_FIRST + 3, MCN_SELECT = MCN_FIRST + 4;

struct NMSELCHANGE {
  NMHDR nmhdr;
  SYSTEMTIME stSelStart;
  SYSTEMTIME stSelEnd;
};

// --- MDIClient ------------------------------------------------------------------------------------

struct CLIENTCREATESTRUCT {
  HMENU hWindowMenu = nullptr;
  UINT idFirstChild = 0;
};

struct MDICREATESTRUCT {
  const char* szClass = nullptr;
  const char* szTitle = nullptr;
  HINSTANCE hOwner = nullptr;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int cx = CW_USEDEFAULT;
  int cy = CW_USEDEFAULT;
  DWORD style = 0;
  LPARAM lParam = 0;
};

constexpr WPARAM MDITILE_VERTICAL = 0x0, MDITILE_HORIZONTAL = 0x1, MDITILE_SKIPDISABLED = 0x2;

// The frame's and the children's default procedures: the frame sizes the client to its client
// area and activates a child picked by id; a child routes closing, maximising, restoring and
// cycling to the client.
LRESULT DefFrameProc(HWND hwnd, HWND client, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// --- Common controls ------------------------------------------------------------------------------

constexpr UINT NM_FIRST = 0, NM_CUSTOMDRAW = NM_FIRST - 12;
constexpr DWORD CDDS_PREPAINT = 0x1, CDDS_POSTPAINT = 0x2, CDDS_PREERASE = 0x3, CDDS_POSTERASE = 0x4,
                CDDS_ITEM = 0x10000, CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT,
                CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT, CDDS_SUBITEM = 0x20000;
constexpr LRESULT CDRF_DODEFAULT = 0x0, CDRF_NEWFONT = 0x2, CDRF_SKIPDEFAULT = 0x4,
                  CDRF_NOTIFYPOSTPAINT = 0x10, CDRF_NOTIFYITEMDRAW = 0x20, CDRF_NOTIFYSUBITEMDRAW = 0x20,
                  CDRF_NOTIFYPOSTERASE = 0x40;
constexpr UINT CDIS_SELECTED = 0x1, CDIS_GRAYED = 0x2, CDIS_DISABLED = 0x4, CDIS_CHECKED = 0x8,
               CDIS_FOCUS = 0x10, CDIS_DEFAULT = 0x20, CDIS_HOT = 0x40;

struct NMCUSTOMDRAW {
  NMHDR hdr;
  DWORD dwDrawStage = 0;
  HDC hdc = nullptr;
  RECT rc{};
  DWORD_PTR dwItemSpec = 0;
  UINT uItemState = 0;
  LPARAM lItemlParam = 0;
};

// Tab control
constexpr DWORD TCS_SCROLLOPPOSITE = 0x1, TCS_BOTTOM = 0x2, TCS_RIGHT = 0x2, TCS_MULTISELECT = 0x4,
                TCS_FLATBUTTONS = 0x8, TCS_FORCEICONLEFT = 0x10, TCS_FORCELABELLEFT = 0x20,
                TCS_HOTTRACK = 0x40, TCS_VERTICAL = 0x80, TCS_TABS = 0x0, TCS_BUTTONS = 0x100,
                TCS_SINGLELINE = 0x0, TCS_MULTILINE = 0x200, TCS_FIXEDWIDTH = 0x400, TCS_RAGGEDRIGHT = 0x800,
                TCS_FOCUSONBUTTONDOWN = 0x1000, TCS_OWNERDRAWFIXED = 0x2000, TCS_TOOLTIPS = 0x4000,
                TCS_FOCUSNEVER = 0x8000;
constexpr UINT TCM_FIRST = 0x1300, TCM_GETITEMCOUNT = TCM_FIRST + 4, TCM_GETITEM = TCM_FIRST + 5,
               TCM_SETITEM = TCM_FIRST + 6, TCM_INSERTITEM = TCM_FIRST + 7, TCM_DELETEITEM = TCM_FIRST + 8,
               TCM_DELETEALLITEMS = TCM_FIRST + 9, TCM_GETITEMRECT = TCM_FIRST + 10,
               TCM_GETCURSEL = TCM_FIRST + 11, TCM_SETCURSEL = TCM_FIRST + 12,
               TCM_ADJUSTRECT = TCM_FIRST + 40, TCM_GETCURFOCUS = TCM_FIRST + 47,
               TCM_SETCURFOCUS = TCM_FIRST + 48;
constexpr UINT TCIF_TEXT = 0x1, TCIF_IMAGE = 0x2, TCIF_RTLREADING = 0x4, TCIF_PARAM = 0x8, TCIF_STATE = 0x10;
constexpr UINT ODT_TAB = 101, ODT_HEADER = 100;

struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  char* pszText = nullptr;  // UTF-8
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};

// Header
constexpr UINT HDM_FIRST = 0x1200, HDM_GETITEMCOUNT = HDM_FIRST + 0, HDM_INSERTITEM = HDM_FIRST + 1,
               HDM_DELETEITEM = HDM_FIRST + 2, HDM_GETITEM = HDM_FIRST + 3, HDM_SETITEM = HDM_FIRST + 4,
               HDM_GETITEMRECT = HDM_FIRST + 7;
// The header keeps its image list as an opaque handle for whoever draws the items; SET answers
// the previous one.
constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8, HDM_GETIMAGELIST = HDM_FIRST + 9;
constexpr UINT HDI_WIDTH = 0x1, HDI_HEIGHT = HDI_WIDTH, HDI_TEXT = 0x2, HDI_FORMAT = 0x4, HDI_LPARAM = 0x8,
               HDI_BITMAP = 0x10, HDI_IMAGE = 0x20, HDI_ORDER = 0x80;
constexpr int HDF_LEFT = 0x0, HDF_RIGHT = 0x1, HDF_CENTER = 0x2, HDF_JUSTIFYMASK = 0x3, HDF_STRING = 0x4000,
              HDF_OWNERDRAW = 0x8000;

struct HDITEM {
  UINT mask = 0;
  int cxy = 0;
  char* pszText = nullptr;  // UTF-8
  HBITMAP hbm = nullptr;
  int cchTextMax = 0;
  int fmt = 0;
  LPARAM lParam = 0;
  int iImage = 0;
  int iOrder = 0;
};

// Track bar. TBM_GETCHANNELRECT answers the channel as if the bar were horizontal, also for
// TBS_VERT (the customary behaviour callers correct for).
constexpr DWORD TBS_AUTOTICKS = 0x1, TBS_VERT = 0x2, TBS_HORZ = 0x0, TBS_TOP = 0x4, TBS_BOTTOM = 0x0,
                TBS_LEFT = 0x4, TBS_RIGHT = 0x0, TBS_BOTH = 0x8, TBS_NOTICKS = 0x10,
                TBS_ENABLESELRANGE = 0x20, TBS_FIXEDLENGTH = 0x40, TBS_NOTHUMB = 0x80;
constexpr UINT TBM_GETPOS = WM_USER, TBM_GETRANGEMIN = WM_USER + 1, TBM_GETRANGEMAX = WM_USER + 2,
               TBM_SETPOS = WM_USER + 5, TBM_SETRANGE = WM_USER + 6, TBM_SETRANGEMIN = WM_USER + 7,
               TBM_SETRANGEMAX = WM_USER + 8, TBM_GETTHUMBRECT = WM_USER + 25,
               TBM_GETCHANNELRECT = WM_USER + 26;
constexpr UINT TBM_GETTIC = WM_USER + 3, TBM_SETTIC = WM_USER + 4, TBM_CLEARTICS = WM_USER + 9,
               TBM_SETSEL = WM_USER + 10, TBM_SETSELSTART = WM_USER + 11, TBM_SETSELEND = WM_USER + 12,
               TBM_GETNUMTICS = WM_USER + 16, TBM_GETSELSTART = WM_USER + 17, TBM_GETSELEND = WM_USER + 18,
               TBM_CLEARSEL = WM_USER + 19, TBM_SETTICFREQ = WM_USER + 20, TBM_SETPAGESIZE = WM_USER + 21,
               TBM_GETPAGESIZE = WM_USER + 22, TBM_SETLINESIZE = WM_USER + 23, TBM_GETLINESIZE = WM_USER + 24;
// Notification codes in the low word of the WM_HSCROLL/WM_VSCROLL the parent gets (the position
// rides in the high word for TB_THUMBTRACK and TB_THUMBPOSITION).
constexpr WORD TB_LINEUP = 0, TB_LINEDOWN = 1, TB_PAGEUP = 2, TB_PAGEDOWN = 3, TB_THUMBPOSITION = 4,
               TB_THUMBTRACK = 5, TB_TOP = 6, TB_BOTTOM = 7, TB_ENDTRACK = 8;
constexpr DWORD_PTR TBCD_TICS = 0x1, TBCD_THUMB = 0x2, TBCD_CHANNEL = 0x3;

// Up-down
constexpr DWORD UDS_WRAP = 0x1, UDS_SETBUDDYINT = 0x2, UDS_ALIGNRIGHT = 0x4, UDS_ALIGNLEFT = 0x8,
                UDS_AUTOBUDDY = 0x10, UDS_ARROWKEYS = 0x20, UDS_HORZ = 0x40, UDS_NOTHOUSANDS = 0x80,
                UDS_HOTTRACK = 0x100;
// UDM_SETRANGE/UDM_GETRANGE pack the maximum in the low word and the minimum in the high word.
constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102, UDM_SETPOS = WM_USER + 103,
               UDM_GETPOS = WM_USER + 104;

// Progress bar
constexpr DWORD PBS_SMOOTH = 0x1, PBS_VERTICAL = 0x4;
constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
               PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
               PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8;

struct PBRANGE {
  int iLow = 0;
  int iHigh = 0;
};

// Status bar
constexpr DWORD SBARS_SIZEGRIP = 0x100;
constexpr UINT SB_SETTEXT = WM_USER + 1, SB_GETTEXT = WM_USER + 2, SB_GETTEXTLENGTH = WM_USER + 3,
               SB_SETPARTS = WM_USER + 4, SB_GETPARTS = WM_USER + 6, SB_GETRECT = WM_USER + 10;
constexpr WORD SBT_OWNERDRAW = 0x1000, SBT_NOBORDERS = 0x100, SBT_POPOUT = 0x200;

// List view
constexpr DWORD LVS_ICON = 0x0, LVS_REPORT = 0x1, LVS_SMALLICON = 0x2, LVS_LIST = 0x3, LVS_TYPEMASK = 0x3,
                LVS_NOCOLUMNHEADER = 0x4000;
constexpr UINT LVM_FIRST = 0x1000, LVM_GETITEMCOUNT = LVM_FIRST + 4, LVM_DELETEITEM = LVM_FIRST + 8,
               LVM_DELETEALLITEMS = LVM_FIRST + 9, LVM_GETNEXTITEM = LVM_FIRST + 12,
               LVM_GETITEMRECT = LVM_FIRST + 14, LVM_GETHEADER = LVM_FIRST + 31,
               LVM_GETTOPINDEX = LVM_FIRST + 39, LVM_GETCOUNTPERPAGE = LVM_FIRST + 40,
               LVM_SETITEMSTATE = LVM_FIRST + 43, LVM_GETITEMSTATE = LVM_FIRST + 44,
               LVM_INSERTITEM = LVM_FIRST + 7, LVM_GETITEMTEXT = LVM_FIRST + 45,
               LVM_SETITEMTEXT = LVM_FIRST + 46;
constexpr UINT LVIF_TEXT = 0x1, LVIF_PARAM = 0x4, LVIF_STATE = 0x8;
constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2;
constexpr UINT LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2;
constexpr UINT LVN_FIRST = static_cast<UINT>(-100), LVN_ITEMCHANGED = LVN_FIRST - 1;

// An item or a sub-item (iSubItem > 0) of a list view; the text is UTF-8.
struct LVITEM {
  UINT mask = 0;
  int iItem = 0;
  int iSubItem = 0;
  UINT state = 0;
  UINT stateMask = 0;
  char* pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};

// LVN_ITEMCHANGED: which item changed and its state before and after.
struct NMLISTVIEW {
  NMHDR hdr;
  int iItem = -1;
  int iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  POINT ptAction{};
  LPARAM lParam = 0;
};
