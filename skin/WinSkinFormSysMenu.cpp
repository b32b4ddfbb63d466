// The system menu of a skinned form and the caption's keyboard entry points: WM_SYSCOMMAND with
// Alt, Alt+letter and Alt+Space, the skinned copy of the system menu, and maximising,
// minimising and restoring from caption buttons and double clicks.
#include <string>

#include "platform/rtl/Clock.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinMenu.h"

namespace system_menu {
namespace {

constexpr int kMenuTextLength = 80;

// The images of the skin's menu glyphs.
constexpr int kGlyphRestore = 0;
constexpr int kGlyphMaximize = 1;
constexpr int kGlyphMinimize = 2;
constexpr int kGlyphClose = 3;

// SC_KEYMENU keys left to the default: Alt+minus opens an MDI child's system menu.
constexpr LPARAM kKeySpace = ' ';
constexpr LPARAM kKeyMinus = '-';

HMENU SystemMenuOf(const TWinSkinForm& Form) {
  return Form.SystemMenu ? Form.SystemMenu : GetSystemMenu(Form.hWnd, FALSE);
}

}  // namespace
}  // namespace system_menu

bool TWinSkinForm::SysCommand(WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  if (MenuTracking) return false;
  const WPARAM command = WParam & 0xFFF0;
  TSkinManage* manager = SkinManage();
  if (command == SC_KEYMENU) {
    const LPARAM key = LParam;
    if (key != system_menu::kKeySpace && key != system_menu::kKeyMinus && !GetCapture()) {
      TMenuBtn* button = nullptr;
      if (MenuBar) {
        if (key == 0)
          button = MenuBar->Buttons.empty() ? nullptr : MenuBar->Buttons.front().get();
        else
          button = MenuBar->FindByAccel(static_cast<WORD>(key));
      }
      if (key == 0 || button) {
        if (MenuBar && button) MenuBar->OpenDropDown(button);
        Result = 1;
        return true;
      }
    }
    if (key == system_menu::kKeySpace) {
      POINT origin{0, 0};
      ClientToScreen(hWnd, &origin);
      ShowSystemMenu(origin);
      // The default would open the unskinned system menu a second time.
      Result = 0;
      return true;
    }
  }
  switch (command) {
    case SC_MINIMIZE:
      WindowState = TSkinWindowState::Minimized;
      if (IsMDIChild()) SetCaptionBits(false);
      break;
    case SC_MAXIMIZE:
      WindowState = TSkinWindowState::Maximized;
      break;
    case SC_RESTORE:
      WindowState = TSkinWindowState::Normal;
      if (IsMDIChild()) {
        SetCaptionBits(true);
        if (manager && manager->MDIMaximized) manager->SetMDIMaximized(false);
      }
      break;
    default:
      break;
  }
  return false;
}

void TWinSkinForm::ShowSystemMenu(POINT Screen) {
  const uint32_t now = GetTickCount();
  // Without an earlier request this one is no second click, however soon after the start.
  if (!LastSysMenuClick || now - *LastSysMenuClick > DoubleClickTime) {
    if (TSkinManage* manager = SkinManage()) manager->MenuKind = 2;
    LastSysMenuClick = now;
    if (SkinData && SkinData->SkinControls().Contains(xcSystemMenu) && !IsMDIChild()) {
      BuildSystemPopup();
      SystemPopup->Popup(Screen.X, Screen.Y);
    } else {
      TrackPopupMenu(system_menu::SystemMenuOf(*this), TPM_RIGHTBUTTON, Screen.X, Screen.Y, 0, hWnd, nullptr);
    }
    return;
  }
  // A second click within the double-click time closes the window.
  if (!HotObject) return;
  if (Timer) Timer->SetEnabled(false);
  PostMessage(hWnd, WM_CLOSE, 0, 0);
}

void TWinSkinForm::BuildSystemPopup() {
  if (!SystemPopup) SystemPopup = std::make_unique<TPopupMenu>(nullptr);
  TPopupMenu& popup = *SystemPopup;
  popup.Items()->Clear();
  popup.SetTag(kSkinSystemPopupTag);
  popup.SetOwnerDraw(true);
  popup.SetImages(SkinData ? SkinData->MenuGlyphs() : nullptr);
  HMENU system = system_menu::SystemMenuOf(*this);
  const int count = GetMenuItemCount(system);
  const bool normal = WindowState == TSkinWindowState::Normal;
  const bool maximized = WindowState == TSkinWindowState::Maximized;
  const bool minimized = WindowState == TSkinWindowState::Minimized;
  const HWND window = hWnd;
  for (int i = 0; i < count; ++i) {
    char text[system_menu::kMenuTextLength + 1] = {};
    MENUITEMINFO info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfo(system, static_cast<UINT>(i), TRUE, &info)) continue;
    const std::string full = text;
    const size_t tab = full.find('\t');
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(full.empty() ? cLineCaption : full.substr(0, tab));
    if (tab != std::string::npos) item->SetShortCut(TextToShortCut(full.substr(tab + 1)));
    item->SetTag(static_cast<int>(info.wID));
    switch (info.wID) {
      case SC_CLOSE:
        item->SetImageIndex(system_menu::kGlyphClose);
        break;
      case SC_RESTORE:
        item->SetImageIndex(system_menu::kGlyphRestore);
        item->SetEnabled(!normal);
        break;
      case SC_MAXIMIZE:
        item->SetImageIndex(system_menu::kGlyphMaximize);
        item->SetEnabled(!maximized && (BorderIcons & kSkinIconMaximize));
        break;
      case SC_MINIMIZE:
        item->SetImageIndex(system_menu::kGlyphMinimize);
        item->SetEnabled(!minimized && (BorderIcons & kSkinIconMinimize));
        break;
      case SC_SIZE:
      case SC_MOVE:
        item->SetEnabled(!maximized);
        break;
      default:
        break;
    }
    // Grayed or disabled alone also disables: the entry would not run either way.
    if (info.fState & MFS_GRAYED) item->SetEnabled(false);
    if (info.fState & MFS_CHECKED) item->SetChecked(true);
    item->OnClick = [window, item](TObject*) {
      PostMessage(window, WM_SYSCOMMAND, static_cast<WPARAM>(item->Tag()), 0);
    };
    SetSkinItemPainters(SkinData, item, true, true);
    popup.Items()->Add(item);
  }
}

bool TWinSkinForm::CanClose() const {
  MENUITEMINFO info;
  info.fMask = MIIM_ID;
  return GetMenuItemInfo(system_menu::SystemMenuOf(*this), SC_CLOSE, FALSE, &info) != FALSE;
}

void TWinSkinForm::Maximize() {
  if (WindowState == TSkinWindowState::Maximized) {
    Restore();
    return;
  }
  TSkinManage* manager = SkinManage();
  if (IsMDIChild() && manager) manager->SetMDIMaximized(true);
  WindowState = TSkinWindowState::Maximized;
  PostMessage(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  HotObject = nullptr;
}

void TWinSkinForm::Minimize() {
  if (WindowState == TSkinWindowState::Minimized) {
    Restore();
    return;
  }
  WindowState = TSkinWindowState::Minimized;
  SetSystemMenuBit(false);
  PostMessage(hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWinSkinForm::Restore() {
  WindowState = TSkinWindowState::Normal;
  PostMessage(hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
}
