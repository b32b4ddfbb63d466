// Drop-downs of the skinned menu bar. Each runs TrackPopupMenu modally; meanwhile a
// message-filter hook moves along the bar by the arrow keys and the mouse, as a native menu bar
// does, by ending the running drop-down with a click posted onto the next button.
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Menus.h"
#include "platform/win/MenuApi.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinMenu.h"

namespace {

constexpr UINT kDropDownClosing = 0xFFFF;

// Leading, repeated and trailing separators among the visible subitems are hidden; the others
// are shown again. Only changes are written: each one rebuilds the menu.
void TidyDropDownSeparators(TMenuItem* Parent) {
  TMenuItem* pending = nullptr;  // a separator waiting for a visible item after it
  bool anyItem = false;
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    if (!item->IsLine()) {
      if (!item->Visible()) continue;
      if (pending && !pending->Visible()) pending->SetVisible(true);
      pending = nullptr;
      anyItem = true;
      continue;
    }
    if (!anyItem || pending) {
      if (item->Visible()) item->SetVisible(false);
      continue;
    }
    pending = item;
  }
  if (pending && pending->Visible()) pending->SetVisible(false);
}

// The menu of the item reads right to left when it follows a right-to-left owner.
bool InRightToLeftDropDown(TMenuItem* Item) {
  TMenu* menu = Item ? Item->GetParentMenu() : nullptr;
  if (!menu || !menu->ParentBiDiMode()) return false;
  auto* owner = dynamic_cast<TControl*>(menu->Owner());
  return owner && owner->IsRightToLeft();
}

void SwapDropDownArrowKeys(MSG& Msg) {
  if (Msg.message != WM_KEYDOWN && Msg.message != WM_KEYUP) return;
  if (Msg.wParam == VK_LEFT)
    Msg.wParam = VK_RIGHT;
  else if (Msg.wParam == VK_RIGHT)
    Msg.wParam = VK_LEFT;
}

// The menu loop sends WM_MENUSELECT to the form rather than passing it through the message
// filter, so a window-procedure hook of the same lifetime watches it.
HHOOK gDropDownSelectHook = nullptr;

void DropDownMenuSelect(WPARAM WParam, LPARAM LParam) {
  TMenuTrackState& s = MenuTrackState();
  TWinSkinForm* form = s.Form;
  const UINT flags = HIWORD(WParam);
  const HMENU menu = reinterpret_cast<HMENU>(LParam);
  if (flags == kDropDownClosing && !menu) {
    if (!s.Switching && form) form->MenuTracking = false;
    return;
  }
  s.Switching = false;
  TMenu* vclMenu = form && form->MenuBar ? form->MenuBar->VclMenu : nullptr;
  if (!vclMenu) {
    s.Selected = nullptr;
    return;
  }
  if (flags & MF_POPUP) {
    const HMENU submenu = GetSubMenu(menu, LOWORD(WParam));
    s.Selected = vclMenu->FindItem(reinterpret_cast<UINT_PTR>(submenu), fkHandle);
  } else {
    s.Selected = vclMenu->FindItem(LOWORD(WParam), fkCommand);
  }
}

// Steps 6 and 7: the button a mouse move or an arrow key asks for, or nullptr.
TMenuBtn* DropDownSwitchTarget(const MSG& Msg) {
  TMenuTrackState& s = MenuTrackState();
  TWinSkinMenu* bar = s.Form ? s.Form->MenuBar.get() : nullptr;
  if (!bar) return nullptr;
  if (Msg.message == WM_MOUSEMOVE) {
    if (Msg.pt.X == s.LastMouse.X && Msg.pt.Y == s.LastMouse.Y) return nullptr;
    s.LastMouse = Msg.pt;
    RECT window{};
    if (!GetWindowRect(s.Form->hWnd, &window)) return nullptr;
    return bar->ButtonAt(Point(Msg.pt.X - window.Left, Msg.pt.Y - window.Top));
  }
  if (Msg.message != WM_KEYDOWN) return nullptr;
  switch (Msg.wParam) {
    case VK_RETURN:
    case VK_ESCAPE:
      s.Switching = false;
      return nullptr;
    case VK_RIGHT:
      if (s.Selected && s.Selected->Count() > 0) return nullptr;  // the menu opens the submenu
      return bar->NextButton(s.OpenIndex, true);
    case VK_LEFT: {
      const bool inBounds = s.OpenIndex >= 0 && size_t(s.OpenIndex) < bar->Buttons.size();
      TMenuItem* open = inBounds ? bar->Buttons[size_t(s.OpenIndex)]->MenuItem : nullptr;
      // In a deeper submenu Left closes that submenu: the menu's own business.
      if (s.Selected && !(open && (s.Selected == open || s.Selected->Parent() == open))) return nullptr;
      return bar->NextButton(s.OpenIndex, false);
    }
    default:
      return nullptr;
  }
}

LRESULT DropDownMessageFilter(int Code, WPARAM WParam, LPARAM LParam) {
  TMenuTrackState& s = MenuTrackState();
  MSG* msg = reinterpret_cast<MSG*>(LParam);
  if (msg && s.Selected && InRightToLeftDropDown(s.Selected)) SwapDropDownArrowKeys(*msg);
  const LRESULT next = CallNextHookEx(s.Hook, Code, WParam, LParam);
  if (next != 0 || Code != MSGF_MENU || !msg || !s.Form) return next;
  if (!s.FirstKeySent) {
    s.FirstKeySent = true;
    PostMessage(msg->hwnd, WM_KEYDOWN, VK_DOWN, 0);
  }
  if (msg->message == WM_SYSKEYDOWN && msg->wParam == VK_MENU) s.Form->MenuTracking = false;
  TMenuBtn* target = DropDownSwitchTarget(*msg);
  if (target && target->Index != s.OpenIndex) {
    s.Switching = true;
    s.Form->MenuBar->PostOpen(target);
    s.SwitchRequested = true;
    // The posted click ends the loop when it lies outside the menus; with the cursor resting in
    // the drop-down it would not, so the loop is told to end as well.
    EndMenu();
  }
  return next;
}

void InstallDropDownHooks() {
  TMenuTrackState& s = MenuTrackState();
  s.Switching = false;
  s.FirstKeySent = false;
  GetCursorPos(&s.LastMouse);
  s.Hook = SetWindowsHookEx(WH_MSGFILTER, &DropDownMessageFilter, nullptr, GetCurrentThreadId());
  gDropDownSelectHook = SetWindowsHookEx(
      WH_CALLWNDPROC,
      [](int Code, WPARAM WParam, LPARAM LParam) {
        const LRESULT next = CallNextHookEx(gDropDownSelectHook, Code, WParam, LParam);
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(LParam);
        TMenuTrackState& s = MenuTrackState();
        if (Code == HC_ACTION && call && call->message == WM_MENUSELECT && s.Form &&
            call->hwnd == s.Form->hWnd)
          DropDownMenuSelect(call->wParam, call->lParam);
        return next;
      },
      nullptr, GetCurrentThreadId());
}

void RemoveDropDownHooks() {
  TMenuTrackState& s = MenuTrackState();
  if (s.Hook) UnhookWindowsHookEx(s.Hook);
  if (gDropDownSelectHook) UnhookWindowsHookEx(gDropDownSelectHook);
  s.Hook = nullptr;
  gDropDownSelectHook = nullptr;
  s.Selected = nullptr;
  s.OpenIndex = -1;
  s.FirstKeySent = false;
}

}  // namespace

TMenuTrackState& MenuTrackState() {
  static TMenuTrackState state;
  return state;
}

bool TWinSkinMenu::OpenDropDown(TMenuBtn* Button) {
  TMenuTrackState& s = MenuTrackState();
  s.SwitchRequested = false;
  if (!Button || !Button->Submenu || !Form) return false;
  // Showing or hiding a separator rebuilds the menu, which may rebuild the buttons too.
  const int index = Button->Index;
  if (Button->MenuItem) TidyDropDownSeparators(Button->MenuItem);
  if (index < 0 || size_t(index) >= Buttons.size()) return false;
  Button = Buttons[size_t(index)].get();
  if (!Button->Submenu) return false;

  s.OpenIndex = index;
  s.Form = Form;
  RECT window{};
  GetWindowRect(Form->hWnd, &window);
  const TOwnerDrawMarks marks = MakeSubmenuOwnerDraw(Button->Submenu);

  Form->MenuTracking = true;
  UINT flags = TPM_VERTICAL | TPM_RIGHTBUTTON;
  int x = Button->BoundsRect.Left + window.Left;
  const int y = Button->BoundsRect.Bottom + window.Top;
  if (Form->RightToLeft) {
    x = Button->BoundsRect.Right + window.Left;
    flags |= TPM_RIGHTALIGN;
  }
  if (TSkinManage* manager = SkinManage()) {
    manager->MenuKind = 1;
    manager->MenuBarMode = true;
  }
  Form->TrackedSubmenu = Button->Submenu;
  InstallDropDownHooks();
  TScopeExit remove([&] {
    RemoveDropDownHooks();
    Form->MenuTracking = false;
    UnmarkSubmenuOwnerDraw(marks);
  });
  if (Button->Enabled) TrackPopupMenu(Button->Submenu, flags, x, y, 0, Form->hWnd, nullptr);
  return true;
}
