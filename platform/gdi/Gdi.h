#pragma once
// The drawing half of the window system: device contexts over in-memory 32-bit bitmaps,
// GDI objects behind handles, and the drawing entry points with their customary names,
// flags and pixel rules (rectangles exclude their right and bottom edges, lines their last
// pixel). Handles are table entries with a generation: a stale or foreign handle is refused
// (the call fails) instead of touching freed memory.
#include <cstdint>
#include <string>

#include "platform/gdi/Colors.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/Types.h"

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;
using BOOL = int;
using UINT = uint32_t;
using DWORD = uint32_t;
using LONG = int32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

#define GDI_DECLARE_HANDLE(name) \
  struct name##__ {              \
    int unused;                  \
  };                             \
  using name = name##__*
GDI_DECLARE_HANDLE(HDC);
GDI_DECLARE_HANDLE(HBITMAP);
GDI_DECLARE_HANDLE(HPEN);
GDI_DECLARE_HANDLE(HBRUSH);
GDI_DECLARE_HANDLE(HFONT);
GDI_DECLARE_HANDLE(HRGN);
GDI_DECLARE_HANDLE(HPALETTE);
GDI_DECLARE_HANDLE(HICON);
#undef GDI_DECLARE_HANDLE
using HGDIOBJ = void*;
using HCURSOR = HICON;

// --- structures ------------------------------------------------------------------------------

constexpr int LF_FACESIZE = 32;

struct LOGFONT {
  LONG lfHeight = 0;  // < 0: character height in pixels; > 0: cell height; 0: default
  LONG lfWidth = 0;
  LONG lfEscapement = 0;  // tenths of a degree; 900 = bottom-to-top
  LONG lfOrientation = 0;
  LONG lfWeight = 400;  // FW_NORMAL; 700 = FW_BOLD
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 1;  // DEFAULT_CHARSET
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  std::string lfFaceName;  // UTF-8
};

struct TEXTMETRIC {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 1;
};

struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth{};
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  uintptr_t lbHatch = 0;  // hatch style, or the pattern bitmap for BS_PATTERN
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 32;
  void* bmBits = nullptr;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // > 0 bottom-up, < 0 top-down
  WORD biPlanes = 1;
  WORD biBitCount = 32;
  DWORD biCompression = 0;  // BI_RGB
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];  // palette for 1, 4 and 8 bits
};

constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;

struct RGNDATAHEADER {
  DWORD dwSize = 32;
  DWORD iType = 1;  // RDH_RECTANGLES
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound{};
};

// Followed in memory by nCount RECTs, as the window system lays it out.
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};

struct BLENDFUNCTION {
  BYTE BlendOp = 0;  // AC_SRC_OVER
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;  // 0: constant alpha only
};
constexpr BYTE AC_SRC_OVER = 0, AC_SRC_ALPHA = 1;

struct DRAWTEXTPARAMS {
  UINT cbSize = 20;
  int iTabLength = 0;
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;
};

// --- constants --------------------------------------------------------------------------------

// Pen styles
constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
               PS_INSIDEFRAME = 6, PS_ALTERNATE = 8;
// Brush styles and hatches
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
              HS_DIAGCROSS = 5;
// Stock objects
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
              OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
              DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;
// Binary raster operations (SetROP2)
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
              R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
              R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
// Ternary raster operations (BitBlt, PatBlt)
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
                SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
                MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09,
                PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000) | fore; }
// Background modes, stretch modes
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
// Mapping modes and layout
constexpr int MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
constexpr DWORD LAYOUT_RTL = 1, LAYOUT_BITMAPORIENTATIONPRESERVED = 8;
// Text alignment
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0,
               TA_BOTTOM = 8, TA_BASELINE = 24, TA_RTLREADING = 256;
// ExtTextOut options
constexpr UINT ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004, ETO_RTLREADING = 0x0080;
// DrawText flags
constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
               DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
               DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400,
               DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000,
               DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000,
               DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000,
               DT_PREFIXONLY = 0x200000;
// DrawEdge
constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
               BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
               EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3,
               BF_TOPRIGHT = 0x6, BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF, BF_DIAGONAL = 0x10,
               BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;
// DrawFrameControl
constexpr UINT DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4;
constexpr UINT DFCS_CAPTIONCLOSE = 0x0, DFCS_CAPTIONMIN = 0x1, DFCS_CAPTIONMAX = 0x2,
               DFCS_CAPTIONRESTORE = 0x3, DFCS_CAPTIONHELP = 0x4;
constexpr UINT DFCS_MENUARROW = 0x0, DFCS_MENUCHECK = 0x1, DFCS_MENUBULLET = 0x2;
constexpr UINT DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
               DFCS_SCROLLCOMBOBOX = 0x5, DFCS_SCROLLSIZEGRIP = 0x8, DFCS_SCROLLSIZEGRIPRIGHT = 0x10;
constexpr UINT DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIOIMAGE = 0x1, DFCS_BUTTONRADIOMASK = 0x2,
               DFCS_BUTTONRADIO = 0x4, DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10;
constexpr UINT DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800,
               DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;
// Regions
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
// GetDeviceCaps
constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24, LOGPIXELSX = 88,
              LOGPIXELSY = 90, RASTERCAPS = 38, SIZEPALETTE = 104;
// System bitmaps
constexpr int OBM_CHECK = 32760, OBM_CHECKBOXES = 32759;
// System icons
constexpr int IDI_HAND = 32513, IDI_QUESTION = 32514, IDI_EXCLAMATION = 32515, IDI_ASTERISK = 32516,
              IDI_ERROR = IDI_HAND, IDI_WARNING = IDI_EXCLAMATION, IDI_INFORMATION = IDI_ASTERISK;
// Font weights and GetObject types
constexpr LONG FW_NORMAL = 400, FW_BOLD = 700;
constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7,
                OBJ_REGION = 8, OBJ_MEMDC = 10;

// --- device contexts ------------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC dc);  // a memory DC with a 1x1 monochrome-like default bitmap
BOOL DeleteDC(HDC dc);
// The screen DC (measuring without a window): GetDC(0) comes from the window manager and
// uses this one when there is no window.
HDC GetScreenDC();
int GetDeviceCaps(HDC dc, int index);
// The colour-depth switch for tests (BITSPIXEL / NUMCOLORS answers); 32 by default.
void SetScreenColorDepthForTest(int bitsPerPixel);
// The screen size HORZRES and VERTRES answer (and HORZSIZE and VERTSIZE at 96 dpi); the window
// manager passes on the display's. 1920 x 1080 until then; sizes below 1 are ignored.
void SetScreenResolution(int width, int height);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedDC);  // by index, or -1 for the last
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);  // a region selects a copy as the clip
HGDIOBJ GetCurrentObject(HDC dc, UINT objectType);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* org);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* org);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old);
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old);
BOOL LPtoDP(HDC dc, POINT* pts, int count);
BOOL DPtoLP(HDC dc, POINT* pts, int count);
DWORD SetLayout(HDC dc, DWORD layout);
DWORD GetLayout(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);

// --- objects ----------------------------------------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN& pen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);  // the brush keeps its own copy of the pattern
HBRUSH CreateBrushIndirect(const LOGBRUSH& brush);
HBRUSH GetSysColorBrush(int index);  // stock: never deleted
HFONT CreateFontIndirect(const LOGFONT& font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const std::string& faceName);
HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ obj);  // stock objects and selected objects are not deleted
// GetObject: fills LOGPEN, LOGBRUSH, LOGFONT or BITMAP by the object's kind; answers the size or 0.
int GetObject(HGDIOBJ obj, int size, void* out);
DWORD GetObjectType(HGDIOBJ obj);

// --- bitmaps -----------------------------------------------------------------------------------------

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// 24 or 32 bits (1, 4, 8 with a palette in `info`); `bits` receives the pixel memory (top-down
// when biHeight < 0, bottom-up otherwise, rows padded to 4 bytes).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
              UINT usage);
HBITMAP LoadBitmap(void* instance, int resourceId);  // OBM_CHECKBOXES, OBM_CHECK
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
// Exact nearest neighbour: destination x takes source floor(x * sw / dw); negative extents mirror.
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
BOOL MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, HBITMAP mask, int mx, int my,
             DWORD rop);
// Copies the source except the pixels of colour `transparent`.
BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    UINT transparent);
BOOL AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);

// --- lines and shapes ---------------------------------------------------------------------------

BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL LineTo(HDC dc, int x, int y);  // the end point is not drawn
BOOL Polyline(HDC dc, const POINT* pts, int count);
BOOL PolyPolyline(HDC dc, const POINT* pts, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC dc, const POINT* pts, int count);  // alternate fill with the brush, outline with the pen
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int w, int h);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);  // `brush` may be (HBRUSH)(COLOR_x + 1)
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL DrawFocusRect(HDC dc, const RECT* rect);  // dotted XOR: a second call erases it
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// --- regions and clipping --------------------------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN ExtCreateRegion(const void* xform, DWORD count, const RGNDATA* data);  // count = bytes of data
int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
int GetRgnBox(HRGN rgn, RECT* rect);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL EqualRgn(HRGN a, HRGN b);
DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int SelectClipRgn(HDC dc, HRGN rgn);  // nullptr removes the clip
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int GetClipRgn(HDC dc, HRGN rgn);  // 1 and a copy when there is one, 0 when none
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* rect);
BOOL RectVisible(HDC dc, const RECT* rect);
BOOL PtVisible(HDC dc, int x, int y);

// --- text -------------------------------------------------------------------------------------------

BOOL TextOut(HDC dc, int x, int y, const std::string& text);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const std::string& text, const int* dx);
BOOL GetTextExtentPoint32(HDC dc, const std::string& text, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);
int DrawText(HDC dc, const std::string& text, RECT* rect, UINT format);  // answers the text height
int DrawTextEx(HDC dc, std::string& text, RECT* rect, UINT format, DRAWTEXTPARAMS* params);

// --- icons and cursors: a colour image with an AND mask ----------------------------------------------

struct ICONINFO {
  BOOL fIcon = 1;  // FALSE: a cursor with a hot spot
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;   // 1 where the destination shows through
  HBITMAP hbmColor = nullptr;  // nullptr: a monochrome icon (mask above image in hbmMask)
};
constexpr UINT DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3, DI_DEFAULTSIZE = 8;
constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;
constexpr UINT LR_COPYRETURNORG = 0x4, LR_COPYDELETEORG = 0x8, LR_COPYFROMRESOURCE = 0x4000;

// The icon keeps its own copies of the bitmaps; the caller keeps (and deletes) its own.
HICON CreateIconIndirect(const ICONINFO* info);
// Fills copies of the icon's bitmaps that the caller must delete.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
// Mask with SRCAND, then the image with SRCINVERT, stretched to cx x cy (0: the icon's size).
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree, UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// The system icons (IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK), 32 x 32, drawn on
// demand: every call answers a new icon that the caller destroys. No module carries others.
HICON LoadIcon(void* instance, int iconId);
// Copies an icon or bitmap, resized when cx/cy are given; LR_COPYDELETEORG deletes the original.
void* CopyImage(void* image, UINT type, int cx, int cy, UINT flags);

// --- palettes (no-ops on a true-colour device) ------------------------------------------------------

HPALETTE SelectPalette(HDC dc, HPALETTE pal, BOOL forceBackground);
UINT RealizePalette(HDC dc);

BOOL GdiFlush();
