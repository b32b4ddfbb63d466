#pragma once
// Painting on windows: update regions and WM_PAINT, window device contexts over each visible
// top-level window's 32-bit surface, scrolling of client pixels, printing a window into a DC,
// and the window scroll bars of the non-client area.
//
// Coordinates: client DCs have their origin at the client's top-left, window DCs (GetWindowDC,
// DCX_WINDOW) at the window's top-left. Update regions are kept in client coordinates.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Windows.h"

// --- painting protocol ------------------------------------------------------------------------------

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;  // TRUE: the background still needs erasing (WM_ERASEBKGND answered 0)
  RECT rcPaint{};
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32]{};
};

constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008,
               RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020, RDW_NOCHILDREN = 0x0040,
               RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400,
               RDW_NOFRAME = 0x0800;

constexpr DWORD DCX_WINDOW = 0x00000001, DCX_CACHE = 0x00000002, DCX_NORESETATTRS = 0x00000004,
                DCX_CLIPCHILDREN = 0x00000008, DCX_CLIPSIBLINGS = 0x00000010, DCX_PARENTCLIP = 0x00000020,
                DCX_EXCLUDERGN = 0x00000040, DCX_INTERSECTRGN = 0x00000080, DCX_INTERSECTUPDATE = 0x00000200,
                DCX_VALIDATE = 0x00200000;

// ScrollWindowEx
constexpr UINT SW_SCROLLCHILDREN = 0x0001, SW_INVALIDATE = 0x0002, SW_ERASE = 0x0004,
               SW_SMOOTHSCROLL = 0x0010;

// WM_PRINT / WM_PRINTCLIENT lParam
constexpr LPARAM PRF_CHECKVISIBLE = 0x1, PRF_NONCLIENT = 0x2, PRF_CLIENT = 0x4, PRF_ERASEBKGND = 0x8,
                 PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;

// Adds to the window's update region (client coordinates; nullptr: the whole client area).
// Children are invalidated with it unless the parent has WS_CLIPCHILDREN.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL ValidateRgn(HWND hwnd, HRGN region);
// Sends WM_PAINT at once when the window has an update region (its children are not updated).
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
// The bounding box of the update region; `erase` sends WM_ERASEBKGND when one is pending.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase);

// Validates the update region, sends WM_NCPAINT (when the frame is invalid) and WM_ERASEBKGND
// (when erasing is pending) and answers a client DC clipped to what was invalid. The caret is
// hidden until EndPaint.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

// --- device contexts ----------------------------------------------------------------------------------

// GetDC(nullptr) is the screen DC. Every DC from these must go back through ReleaseDC.
HDC GetDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);  // takes over `clip` for DCX_EXCLUDERGN / DCX_INTERSECTRGN
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
HWND WindowFromDC(HDC dc);

// --- scrolling --------------------------------------------------------------------------------------

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip);
// Answers the region type of what was uncovered (ERROR on failure).
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags);

// --- composition (for the display host) ----------------------------------------------------------------

// The 32-bit bitmap a visible top-level window paints into, window-sized (owned by the window
// manager; nullptr for hidden and child windows).
HBITMAP GetTopLevelSurface(HWND top);
// Called when pixels of a top-level surface changed (`dirty` in window coordinates) or the
// surface was replaced (`dirty` covers all of it).
using TSurfaceObserver = std::function<void(HWND top, const RECT& dirty)>;
int AddSurfaceObserver(TSurfaceObserver observer);
void RemoveSurfaceObserver(int id);
// Runs every pending WM_PAINT through the queue's paint path (what a host does before it
// shows a surface).
void FlushPaint();
// The rectangles of the window's region in window coordinates, in bands from top to bottom;
// nullopt when the window has no region (all of its rectangle shows), none when it is empty.
std::optional<std::vector<RECT>> WindowRegionRects(HWND hwnd);
// The window's top-level surface as a PNG; pixels outside its window region get alpha 0.
// EInvalidGraphic when the window is not a visible top-level window, EFCreateError when the
// file cannot be written.
void WriteWindowPng(const std::string& Path, HWND Top);

// --- window scroll bars ---------------------------------------------------------------------------------

struct SCROLLINFO {
  UINT cbSize = 28;
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

struct SCROLLBARINFO {
  DWORD cbSize = 60;
  RECT rcScrollBar{};  // screen coordinates
  int dxyLineButton = 0;
  int xyThumbTop = 0;  // relative to rcScrollBar's top (left for a horizontal bar)
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6]{};  // the bar, up arrow, page up, thumb, page down, down arrow
};

constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
// WM_HSCROLL / WM_VSCROLL codes
constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
               SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5,
               SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_BOTH = 3, ESB_DISABLE_LEFT = 1, ESB_DISABLE_RIGHT = 2,
               ESB_DISABLE_UP = 1, ESB_DISABLE_DOWN = 2, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2;
constexpr LONG OBJID_CLIENT = -4, OBJID_VSCROLL = -5, OBJID_HSCROLL = -6;
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_PRESSED = 0x8, STATE_SYSTEM_INVISIBLE = 0x8000,
                STATE_SYSTEM_OFFSCREEN = 0x10000;
// Messages of the "ScrollBar" class; SB_CTL calls on such a control go through them.
constexpr UINT SBM_SETPOS = 0x00E0, SBM_GETPOS = 0x00E1, SBM_SETRANGE = 0x00E2, SBM_GETRANGE = 0x00E3,
               SBM_ENABLE_ARROWS = 0x00E4, SBM_SETRANGEREDRAW = 0x00E6, SBM_SETSCROLLINFO = 0x00E9,
               SBM_GETSCROLLINFO = 0x00EA, SBM_GETSCROLLBARINFO = 0x00EB;

// Answers the new position. Setting a range or page on a bar of the window's WS_HSCROLL/
// WS_VSCROLL shows it when it becomes scrollable and hides it (or, with SIF_DISABLENOSCROLL,
// disables it) when it does not.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);  // the previous position
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND hwnd, LONG idObject, SCROLLBARINFO* info);
