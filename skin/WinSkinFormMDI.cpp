// The MDI side of a skinned frame: the procedure that replaces the "MDIClient" child's (menu
// merging into the skinned bar, maximised children, scroll bars) and the MDI caption commands
// that go to the active child.
#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/MenuApi.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinMenu.h"

HWND TWinSkinForm::FindMDIClient(HWND Frame) {
  for (HWND child = GetWindow(Frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (LowerCase(GetClassName(child)) == "mdiclient") return child;
  return nullptr;
}

void TWinSkinForm::HookMDIClient() {
  if (MDIClientInstance) return;
  if (!MDIClient) MDIClient = FindMDIClient(hWnd);
  if (!MDIClient) return;
  MDIClientInstance =
      std::make_unique<TWndProcInstance>([this](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) {
        return MDIClientProcedure(Msg, WParam, LParam);
      });
  OldMDIClientProc = WNDPROC(GetWindowLong(MDIClient, GWL_WNDPROC));
  SetWindowLong(MDIClient, GWL_WNDPROC, MDIClientInstance->Token());
}

void TWinSkinForm::UnhookMDIClient() {
  if (!MDIClientInstance) return;
  // A later subclasser keeps its place in the chain.
  if (IsWindow(MDIClient) && GetWindowLong(MDIClient, GWL_WNDPROC) == MDIClientInstance->Token())
    SetWindowLong(MDIClient, GWL_WNDPROC, OldMDIClientProc.Token());
  MDIClientInstance.reset();
}

LRESULT TWinSkinForm::MDIClientProcedure(UINT Msg, WPARAM WParam, LPARAM LParam) {
  const HWND client = MDIClient;
  const WNDPROC old = OldMDIClientProc;
  auto passOn = [&] { return CallWindowProc(old, client, Msg, WParam, LParam); };
  TSkinManage* manager = SkinManage();
  switch (Msg) {
    case WM_NCDESTROY: {
      const LRESULT result = passOn();
      UnhookMDIClient();
      MDIClient = nullptr;
      return result;
    }
    case WM_NCCALCSIZE:
      if (FrameSkinning && SkinData && !SkinData->Options().Contains(xoMDIScrollbar)) {
        const LONG_PTR style = GetWindowLong(client, GWL_STYLE);
        if (style & (WS_HSCROLL | WS_VSCROLL))
          SetWindowLong(client, GWL_STYLE, style & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
      }
      return passOn();
    case WM_MDICREATE:
      if (SkinData) SkinData->SetMenuUpdate(false);
      return passOn();
    case WM_MDIDESTROY: {
      const LRESULT result = passOn();
      if (!FrameSkinning) return result;
      bool maximized = false;
      const HWND active = ActiveMDIChild(&maximized);
      if (manager) manager->SetMDIMaximized(maximized);
      if (!active && MenuBar) {
        if (SkinData) SkinData->SetMenuUpdate(SavedMenuUpdate);
        // The bar shows the frame's own menu again, not the last child's merged one.
        if (IsMenu(Menu)) SetMenu(hWnd, Menu);
        MenuBar->BuildButtons();
        SendMessage(hWnd, SKMSG_REPAINTFRAME, 0, 0);
      }
      return result;
    }
    case WM_MDITILE:
    case WM_MDICASCADE:
      if (FrameSkinning && manager && manager->MDIMaximized) manager->SetMDIMaximized(false);
      return passOn();
    case WM_MDISETMENU: {
      const LRESULT result = passOn();
      const HMENU frameMenu = reinterpret_cast<HMENU>(WParam);
      if (!FrameSkinning || !frameMenu || !MenuBar) return result;
      if (frameMenu != MenuBar->WindowMenu) MenuBar->BuildButtonsFrom(frameMenu);
      SetMenu(hWnd, nullptr);
      return result;
    }
    default:
      if (Msg == SKMSG_MDIREDRAW) {
        RedrawWindow(hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return 0;
      }
      return passOn();
  }
}

void TWinSkinForm::SendToActiveMDIChild(WPARAM Command) {
  if (FormKind != TSkinFormKind::MDIFrame) return;
  if (HWND child = ActiveMDIChild()) SendMessage(child, WM_SYSCOMMAND, Command, 0);
}

HWND TWinSkinForm::ActiveMDIChild(bool* Maximized) const {
  if (Maximized) *Maximized = false;
  if (!MDIClient || !IsWindow(MDIClient)) return nullptr;
  BOOL maximized = FALSE;
  const HWND child = reinterpret_cast<HWND>(
      SendMessage(MDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  if (Maximized) *Maximized = child && maximized;
  return child;
}
