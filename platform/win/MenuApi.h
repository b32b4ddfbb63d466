#pragma once
// Menus: menu objects behind handles, the menu bar of a top-level window, the system menu, and
// the modal menu loop of TrackPopupMenu with its popup windows of class "#32768".
//
// Menu handles are table entries with a generation: a destroyed menu's handle is refused.
// Item text is UTF-8; lengths count bytes. An '&' marks the mnemonic letter, a '\t' starts the
// right-aligned accelerator text.
//
// Owner-drawn items are measured and drawn through MEASUREITEMSTRUCT and DRAWITEMSTRUCT
// (ODT_MENU), which the built-in controls share.
#include <string>

#include "platform/win/ControlClasses.h"
#include "platform/win/Windows.h"

// --- flags --------------------------------------------------------------------------------------------

constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200, MF_REMOVE = 0x1000,
               MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800, MF_ENABLED = 0x0,
               MF_GRAYED = 0x1, MF_DISABLED = 0x2, MF_UNCHECKED = 0x0, MF_CHECKED = 0x8,
               MF_USECHECKBITMAPS = 0x200, MF_STRING = 0x0, MF_BITMAP = 0x4, MF_OWNERDRAW = 0x100,
               MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40, MF_UNHILITE = 0x0,
               MF_HILITE = 0x80, MF_DEFAULT = 0x1000, MF_SYSMENU = 0x2000, MF_HELP = 0x4000,
               MF_RIGHTJUSTIFY = 0x4000, MF_MOUSESELECT = 0x8000, MF_END = 0x80;

constexpr UINT MFT_STRING = MF_STRING, MFT_BITMAP = MF_BITMAP, MFT_MENUBARBREAK = MF_MENUBARBREAK,
               MFT_MENUBREAK = MF_MENUBREAK, MFT_OWNERDRAW = MF_OWNERDRAW, MFT_RADIOCHECK = 0x200,
               MFT_SEPARATOR = MF_SEPARATOR, MFT_RIGHTORDER = 0x2000, MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;

constexpr UINT MFS_GRAYED = 0x3, MFS_DISABLED = MFS_GRAYED, MFS_CHECKED = MF_CHECKED, MFS_HILITE = MF_HILITE,
               MFS_ENABLED = MF_ENABLED, MFS_UNCHECKED = MF_UNCHECKED, MFS_UNHILITE = MF_UNHILITE,
               MFS_DEFAULT = MF_DEFAULT;

constexpr UINT MIIM_STATE = 0x1, MIIM_ID = 0x2, MIIM_SUBMENU = 0x4, MIIM_CHECKMARKS = 0x8, MIIM_TYPE = 0x10,
               MIIM_DATA = 0x20, MIIM_STRING = 0x40, MIIM_BITMAP = 0x80, MIIM_FTYPE = 0x100;

constexpr UINT TPM_LEFTBUTTON = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_LEFTALIGN = 0x0, TPM_CENTERALIGN = 0x4,
               TPM_RIGHTALIGN = 0x8, TPM_TOPALIGN = 0x0, TPM_VCENTERALIGN = 0x10, TPM_BOTTOMALIGN = 0x20,
               TPM_HORIZONTAL = 0x0, TPM_VERTICAL = 0x40, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100,
               TPM_RECURSE = 0x1, TPM_HORPOSANIMATION = 0x400, TPM_HORNEGANIMATION = 0x800,
               TPM_VERPOSANIMATION = 0x1000, TPM_VERNEGANIMATION = 0x2000, TPM_NOANIMATION = 0x4000,
               TPM_LAYOUTRTL = 0x8000;

// GetMenuDefaultItem
constexpr UINT GMDI_USEDISABLED = 0x1, GMDI_GOINTOPOPUPS = 0x2;

// WM_MENUCHAR results (high word)
constexpr LRESULT MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;

// --- structures -----------------------------------------------------------------------------------------

struct MENUITEMINFO {
  UINT cbSize = 80;
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  // Text: set from a NUL-terminated string; read into a buffer of `cch` bytes (nullptr asks the
  // length, answered in `cch`).
  char* dwTypeData = nullptr;
  UINT cch = 0;
  HBITMAP hbmpItem = nullptr;
};

struct TPMPARAMS {
  UINT cbSize = 20;
  RECT rcExclude{};
};

// --- menu objects -------------------------------------------------------------------------------------

HMENU CreateMenu();            // a menu bar
HMENU CreatePopupMenu();       // a drop-down or shortcut menu
BOOL DestroyMenu(HMENU menu);  // with its submenus
BOOL IsMenu(HMENU menu);

// `flags`: MF_STRING / MF_SEPARATOR / MF_OWNERDRAW, MF_POPUP (then `idNewItem` is the submenu),
// the state bits and MF_BYPOSITION for the insertion point.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, const std::string& text = {});
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const std::string& text = {});
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const std::string& text = {});
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);  // keeps a submenu alive
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);  // destroys a submenu
int GetMenuItemCount(HMENU menu);                        // -1 for a bad handle
UINT GetMenuItemID(HMENU menu, int position);            // -1 for submenus and bad positions
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
// The MF_ flags of an item; for a submenu the item count in the high byte. -1 when not found.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuString(HMENU menu, UINT item, char* buffer, int bufferSize, UINT flags);
std::string GetMenuString(HMENU menu, UINT item, UINT flags);
HMENU GetSubMenu(HMENU menu, int position);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);  // the previous MF_CHECKED state, or -1
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);  // the previous state, or -1
BOOL HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT hilite);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);  // -1 clears
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked);

// --- menus and windows --------------------------------------------------------------------------------

HMENU GetMenu(HWND hwnd);
// Attaches a menu bar (nullptr removes it) and recalculates the frame. The window destroys its
// menu bar when it is destroyed.
BOOL SetMenu(HWND hwnd, HMENU menu);
BOOL DrawMenuBar(HWND hwnd);
// bRevert FALSE: the window's own copy, created on first use; TRUE: back to the default
// (answers nullptr).
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
// Screen rectangle of an item of the window's menu bar or of an open popup.
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT* rect);
int MenuItemFromPoint(HWND hwnd, HMENU menu, POINT screen);  // -1 when none

// --- the menu loop ------------------------------------------------------------------------------------

// Shows `menu` at (x, y) and runs the modal menu loop. Without TPM_RETURNCMD the chosen command
// is posted to `owner` (WM_COMMAND, or WM_SYSCOMMAND for the system menu) and the result is
// whether something was chosen; with it the result is the command id (0 for none).
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* notUsed);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
BOOL EndMenu();  // ends the running menu loop, choosing nothing
