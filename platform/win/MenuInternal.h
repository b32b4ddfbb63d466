#pragma once
// The menu objects behind HMENU handles and what the menu files share: item lookup, layout and
// drawing of items, the running menu loop. Not for use above platform/.
#include <string>
#include <vector>

#include "platform/win/MenuApi.h"
#include "platform/win/WindowManager.h"

namespace win_internal {

struct TMenuItem {
  UINT Type = MFT_STRING;  // MFT_ bits
  UINT State = 0;          // MFS_ bits
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  std::string Text;
  ULONG_PTR Data = 0;
  RECT Rect{};  // from the last layout: client coordinates of the popup, or of the bar band
};

struct TMenu {
  HMENU Handle = nullptr;
  bool Popup = true;    // CreatePopupMenu; false for a menu bar
  bool System = false;  // a window's system menu: commands go out as WM_SYSCOMMAND
  std::vector<TMenuItem> Items;
  HWND Shown = nullptr;  // the "#32768" window showing it while the loop runs
};

TMenu* FindMenu(HMENU menu);
// The item named by command (searching submenus) or by position; `owner` receives the menu
// that holds it.
TMenuItem* FindItem(HMENU menu, UINT item, bool byPosition, TMenu** owner = nullptr, int* position = nullptr);
// The item text without the '&' markers and the accelerator after a '\t'.
void SplitItemText(const std::string& text, std::string& label, std::string& accel);
// The lower-cased mnemonic letter of an item text, 0 when none.
char32_t MnemonicOf(const std::string& text);
bool IsSelectable(const TMenuItem& item);  // not a separator
bool IsEnabled(const TMenuItem& item);
// Whether the window's own system menu greys or disables the command; false while the window
// has none (GetSystemMenu(FALSE) was never asked for, so the default menu applies).
bool SystemCommandDisabled(const TWnd& w, UINT command);

// The menu font, created on each call; the caller deletes it.
HFONT CreateMenuFont();
// Lays out a popup's items (asking `owner` to measure owner-drawn ones) in client coordinates;
// answers the client size.
SIZE LayoutPopup(TMenu& menu, HWND owner);
// Lays out a menu bar in a band of the given width; answers the band height.
int LayoutMenuBar(TMenu& menu, HWND owner, int width);
// Draws one item of a popup or a bar (owner-drawn ones through WM_DRAWITEM to `owner`); the
// item rectangles are offset by `origin`. The DC's font, colours and mode are kept.
void DrawMenuItem(HDC dc, TMenu& menu, int position, HWND owner, bool bar, UINT odAction, POINT origin);
// Draws every item of a laid-out popup into its client DC.
void DrawPopupItems(HDC dc, TMenu& menu, HWND owner);

// Paints the menu bar of `hwnd` into a window DC, in the band given in window coordinates (the
// non-client painter calls this for NcGeometry's Menu rectangle).
void PaintMenuBar(HWND hwnd, HDC windowDC, const RECT& band);

// The window-level hooks the menus install once: DefWindowProc handlers, the menu-bar height,
// the "#32768" class, the destruction of a window's menus.
void EnsureMenuHooks();
void InstallMenuPopupClass();           // "#32768" (MenuLoop.cpp)
void InstallMenuDestructionObserver();  // a window's menus die with it (MenuObjects.cpp)

// --- the menu loop --------------------------------------------------------------------------------------

// Runs a menu loop over a popup (bar nullptr) or over a window's menu bar (`barItem` the item
// to open first, -1 to only highlight the first item, `byMouse` when a click started it).
// Answers the chosen command or 0.
UINT RunMenuTracking(HMENU popup, UINT flags, int x, int y, HWND owner, HMENU bar, int barItem, bool byMouse,
                     const RECT* exclude);
bool MenuLoopRunning();
// Ends the running loop without a choice.
void CancelMenuLoop();

// The menu-bar entry points (MenuBar.cpp).
void TrackMenuBarFromMouse(HWND top, POINT screen);
void TrackMenuBarFromKey(HWND top, char32_t ch);
void TrackSystemMenu(HWND top, bool byMouse);
// The screen rectangle of a window's menu band; empty when it has none.
RECT MenuBandScreenRect(const TWnd& w);

}  // namespace win_internal
