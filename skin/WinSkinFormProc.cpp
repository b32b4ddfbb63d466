// The skinned form's window procedure in three stages: what any attached window answers, what a
// top-level window with a skinned frame answers, and the non-client work of a ready, visible
// frame (sizing, hit testing, painting, the non-client mouse). The hover check sits here too.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"

namespace skin_form_proc {

// The system commands that a WM_COMMAND of a menu may carry and that go on as WM_SYSCOMMAND.
bool IsForwardedSysCommand(WORD Id) {
  switch (Id) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
      return true;
    default:
      return false;
  }
}

POINT MessagePoint(LPARAM LParam) {
  return POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
}

}  // namespace skin_form_proc

LRESULT TWinSkinForm::CallDefault(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return CallWindowProc(OldWndProc, hWnd, Msg, WParam, LParam);
}

LRESULT TWinSkinForm::WindowProcedure(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // Nothing is painted before the first SKMSG_ACTIVATE has laid the frame out.
  if (LifeState == TSkinLifeState::Attached && Msg == WM_NCPAINT) return 0;
  const bool bareWindow = FormControl == nullptr;
  switch (Msg) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
      const LRESULT result = CallDefault(Msg, WParam, LParam);
      if (!bareWindow) return result;
      SetBkMode(reinterpret_cast<HDC>(WParam), TRANSPARENT);
      const HBRUSH brush = SkinData ? SkinData->BackgroundBrush() : nullptr;
      if (Msg == WM_CTLCOLORSTATIC && brush) return reinterpret_cast<LRESULT>(brush);
      return result;
    }
    case WM_ERASEBKGND: {
      const LRESULT result = CallDefault(Msg, WParam, LParam);
      const HBRUSH brush = SkinData ? SkinData->BackgroundBrush() : nullptr;
      if (!bareWindow || !brush || !WParam) return result;
      RECT client{};
      GetClientRect(hWnd, &client);
      FillRect(reinterpret_cast<HDC>(WParam), &client, brush);
      return 1;
    }
    case WM_NCDESTROY: {
      LifeState = TSkinLifeState::Destroying;
      const WNDPROC old = OldWndProc;
      const HWND window = hWnd;
      Release();
      const LRESULT result = CallWindowProc(old, window, Msg, WParam, LParam);
      LifeState = TSkinLifeState::Destroyed;
      return result;
    }
    case WM_NCACTIVATE:
      // Before the first SKMSG_ACTIVATE: allow the change, paint nothing (refusing it would keep
      // a deactivated window active).
      if (LifeState == TSkinLifeState::Attached && FormKind != TSkinFormKind::MDIChild) {
        Active = WParam != 0;
        return 1;
      }
      return FrameSkinning ? SecondStage(Msg, WParam, LParam) : CallDefault(Msg, WParam, LParam);
    case WM_INITMENUPOPUP:
      if (TSkinManage* manage = SkinManage())
        manage->MenuKind = SystemMenu && reinterpret_cast<HMENU>(WParam) == SystemMenu ? 2 : 1;
      return CallDefault(Msg, WParam, LParam);
    case SKMSG_ACTIVATE:
      Activate();
      return 0;
    case SKMSG_RESKINSCROLLBAR:
      if (Children) Children->ReskinScrollBar(reinterpret_cast<HWND>(WParam));
      return 0;
    case SKMSG_ISSKINNED:
      return 1;
    default:
      return FrameSkinning ? SecondStage(Msg, WParam, LParam) : CallDefault(Msg, WParam, LParam);
  }
}

LRESULT TWinSkinForm::SecondStage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (FormKind != TSkinFormKind::MDIChild && ChildWindow) return CallDefault(Msg, WParam, LParam);
  switch (Msg) {
    case WM_SYSCOMMAND: {
      LRESULT result = 0;
      if (SysCommand(WParam, LParam, result)) return result;
      return CallDefault(Msg, WParam, LParam);
    }
    case WM_WINDOWPOSCHANGED:
      ReadWindowState();
      return CallDefault(Msg, WParam, LParam);
    case WM_SIZE: {
      // The default procedure sees the message once, here.
      const LRESULT result = CallDefault(Msg, WParam, LParam);
      if (WParam == SIZE_RESTORED) WindowState = TSkinWindowState::Normal;
      if (WParam == SIZE_MINIMIZED) WindowState = TSkinWindowState::Minimized;
      if (WParam == SIZE_MAXIMIZED) WindowState = TSkinWindowState::Maximized;
      TSkinManage* manage = SkinManage();
      const bool mdiChildAside =
          FormKind == TSkinFormKind::MDIChild &&
          ((manage && manage->MDIMaximized) || WindowState != TSkinWindowState::Normal);
      if (WindowState != TSkinWindowState::Minimized && !mdiChildAside &&
          (LifeState == TSkinLifeState::Ready || LifeState == TSkinLifeState::Reskinning))
        BuildRegion();
      return result;
    }
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
      Active = LOBYTE(WParam) != 0;
      return ThirdStage(Msg, WParam, LParam);
    case WM_COMMAND:
      if (skin_form_proc::IsForwardedSysCommand(LOWORD(WParam))) {
        PostMessage(hWnd, WM_SYSCOMMAND, LOWORD(WParam), 0);
        return 0;
      }
      return CallDefault(Msg, WParam, LParam);
    case SKMSG_MENUBARAT:
      if (MenuBar) {
        const POINT screen{static_cast<SHORT>(LOWORD(WParam)), static_cast<SHORT>(HIWORD(WParam))};
        if (TMenuBtn* button = MenuBar->ButtonAt(WindowPoint(screen))) MenuBar->PostOpen(button);
      }
      return 0;
    case CM_MENUCHANGED: {
      LRESULT result = 0;
      {
        // The frame is not painted from a half-changed menu.
        TValueRestorer<bool> noPainting(SkinData->Painting, false);
        result = CallDefault(Msg, WParam, LParam);
      }
      if (MenuBar && SkinData->MenuUpdate() && GetMenu(hWnd)) {
        if (auto* form = dynamic_cast<TCustomForm*>(FormControl)) MenuBar->VclMenu = form->Menu();
        MenuBar->BuildButtons();
      }
      return result;
    }
    default:
      return ThirdStage(Msg, WParam, LParam);
  }
}

LRESULT TWinSkinForm::ThirdStage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  using skin_form_proc::MessagePoint;
  const bool mdiChildAside = FormKind == TSkinFormKind::MDIChild && WindowState != TSkinWindowState::Normal;
  if (LifeState == TSkinLifeState::Attached || WindowState == TSkinWindowState::Minimized || mdiChildAside)
    return CallDefault(Msg, WParam, LParam);
  switch (Msg) {
    case WM_NCACTIVATE: {
      Active = WParam != 0;
      Timer->SetEnabled(Active);
      if (!Active && Children) {
        POINT cursor{};
        GetCursorPos(&cursor);
        Children->CheckHovered(cursor, true);
      }
      if (FormKind == TSkinFormKind::MDIFrame && MDIClient)
        SendMessage(MDIClient, WM_NCACTIVATE, WParam, LParam);
      if (FormKind == TSkinFormKind::MDIChild) CallDefault(Msg, WParam, LParam);
      PaintFrame();
      return 1;
    }
    case WM_WINDOWPOSCHANGING:
      return CallDefault(Msg, WParam, LParam);
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(LParam);
      if (item && item->CtlType == ODT_MENU && DrawMenuItem(*item)) return TRUE;
      return CallDefault(Msg, WParam, LParam);
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
      if (item && item->CtlType == ODT_MENU && MeasureMenuItem(*item)) return TRUE;
      return CallDefault(Msg, WParam, LParam);
    }
    case WM_NCCALCSIZE:
      return NCCalcSize(WParam, LParam);
    case WM_NCHITTEST:
      return NCHitTest(WParam, LParam);
    case WM_NCPAINT:
      SetSystemMenuBit(true);
      if (!SkinData || !SkinData->Painting) return 0;
      if (BorderKind == TSkinBorderKind::None) return CallDefault(Msg, WParam, LParam);
      PaintFrame();
      return 0;
    case WM_NCMOUSEMOVE: {
      if (!Active) return 0;
      if (TNCObject* object = ObjectAt(WindowPoint(MessagePoint(LParam)))) {
        object->MouseEnter();
        return 0;
      }
      if (HotObject) HotObject->MouseLeave();
      return CallDefault(Msg, WParam, LParam);
    }
    case WM_NCLBUTTONDOWN: {
      if (TNCObject* object = ObjectAt(WindowPoint(MessagePoint(LParam)))) {
        if (!Active) SetForegroundWindow(hWnd);
        object->MouseDown();
        if (auto* button = dynamic_cast<TMenuBtn*>(object); button && MenuBar) {
          // A click the menu hook posted to switch items only opens the drop-down.
          const bool switching = MenuTrackState().SwitchRequested;
          const UINT command = button->Command;
          const bool submenu = button->Submenu != nullptr;
          const HWND window = hWnd;
          // The drop-down's loop may see the window go and this form with it.
          MenuBar->OpenDropDown(button);
          if (!submenu && !switching) PostMessage(window, WM_COMMAND, command, 0);
        }
        return 0;
      }
      // A maximised window cannot be dragged by its caption.
      if (WindowState == TSkinWindowState::Maximized && Active && WParam == WPARAM(HTCAPTION))
        return CallDefault(Msg, WPARAM(HTMENU), LParam);
      return CallDefault(Msg, WParam, LParam);
    }
    case WM_NCLBUTTONUP: {
      const POINT mouse = MessagePoint(LParam);
      TNCObject* object = ObjectAt(WindowPoint(mouse));
      if (!object) return CallDefault(Msg, WParam, LParam);
      if (auto* button = dynamic_cast<TWinSysButton*>(object); button && button == HotObject) {
        button->MouseUp();
        RunButtonAction(*button, mouse);
      }
      return 0;
    }
    case WM_NCLBUTTONDBLCLK: {
      TNCObject* object = ObjectAt(WindowPoint(MessagePoint(LParam)));
      if (auto* button = dynamic_cast<TWinSysButton*>(object); button && button->IsIconButton()) {
        Timer->SetEnabled(false);
        PostMessage(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
      }
      if (object) return 0;
      if (WindowState != TSkinWindowState::Normal) {
        Restore();
        return 0;
      }
      if (BorderIcons & kSkinIconMaximize) {
        Maximize();
        return 0;
      }
      return CallDefault(Msg, WParam, LParam);
    }
    case WM_NCRBUTTONDOWN:
      if (WParam == WPARAM(HTCAPTION) && FormKind != TSkinFormKind::MDIChild) {
        ShowSystemMenu(MessagePoint(LParam));
        return 0;
      }
      return CallDefault(Msg, WParam, LParam);
    case SKMSG_REPAINTFRAME:
      PaintFrame();
      return 0;
    default:
      return CallDefault(Msg, WParam, LParam);
  }
}

LRESULT TWinSkinForm::NCCalcSize(WPARAM WParam, LPARAM LParam) {
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam);
  const RECT proposed = params && WParam ? params->rgrc[0] : RECT{};
  CallDefault(WM_NCCALCSIZE, WParam, LParam);
  if (!WParam || !params) return 0;
  const bool mdiChildAside = FormKind == TSkinFormKind::MDIChild && WindowState != TSkinWindowState::Normal;
  if (!mdiChildAside && BorderKind != TSkinBorderKind::None) {
    RECT window = proposed;
    if (const WINDOWPOS* pos = params->lppos)
      window = RECT{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
    RECT client{window.Left + L, window.Top + T + MenuBarHeight, window.Right - R, window.Bottom - B};
    // A skin larger than the window leaves an empty client area, never an inverted one.
    client.Right = std::max(client.Right, client.Left);
    client.Bottom = std::max(client.Bottom, client.Top);
    params->rgrc[0] = client;
  }
  params->rgrc[1] = params->rgrc[0];
  return WVR_VALIDRECTS;
}

LRESULT TWinSkinForm::NCHitTest(WPARAM WParam, LPARAM LParam) {
  const LRESULT answer = CallDefault(WM_NCHITTEST, WParam, LParam);
  if (answer != HTNOWHERE && answer != HTCAPTION) return answer;
  const TPoint p = WindowPoint(skin_form_proc::MessagePoint(LParam));
  RECT window{};
  GetWindowRect(hWnd, &window);
  // Only the strip between the side borders is caption or menu bar: the skin's side and bottom
  // borders keep the default answer, so dragging them never moves the window.
  if (p.X < L || p.X >= window.Width() - R) return answer;
  if (p.Y > 3 && p.Y <= T) return HTCAPTION;
  if (MenuBar && p.Y > T && p.Y <= T + MenuBarHeight) return HTMENU;
  return answer;
}

TPoint TWinSkinForm::WindowPoint(POINT Screen) const {
  POINT p = Screen;
  ScreenToClient(hWnd, &p);
  if (WindowState != TSkinWindowState::Minimized) {
    p.X += L;
    p.Y += T + MenuBarHeight;
  }
  return p;
}

TNCObject* TWinSkinForm::ObjectAt(TPoint P) const {
  for (const auto& button : CaptionButtons)
    if (button->Visible && button->Element && button->Element->Action >= 0 && PtInRect(button->BoundsRect, P))
      return button.get();
  return MenuBar ? MenuBar->ButtonAt(P) : nullptr;
}

void TWinSkinForm::HoverCheck(TObject*) {
  if (MenuTracking || !ProcInstance) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  if (HotObject && !PtInRect(HotObject->BoundsRect, WindowPoint(cursor))) HotObject->MouseLeave();
  if (!FormControl && Children) Children->CheckHovered(cursor, false);
}
