// Focus, activation and capture.
//
// Activation: CBT HCBT_ACTIVATE → WM_NCACTIVATE(FALSE) to the window losing it (FALSE refuses)
// → WM_ACTIVATE(WA_INACTIVE) to it → the new window to the top → WM_ACTIVATEAPP when the
// program becomes active → WM_NCACTIVATE(TRUE) → WM_ACTIVATE → the focus (DefWindowProc's
// WM_ACTIVATE gives it to the window; a window that kept it elsewhere gets it anyway).
//
// Focus: CBT HCBT_SETFOCUS → activation of the window's top-level window when another one is
// active → WM_KILLFOCUS to the old window → WM_SETFOCUS to the new one, each with the other
// window in wParam. GetFocus already answers the new window during WM_KILLFOCUS.
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

bool InSubtree(const TWnd& root, const TWnd* w) {
  return w && (w == &root || IsAncestor(&root, w));
}

bool OwnedBy(const TWnd* w, const TWnd* owner) {
  for (const TWnd* o = w->Owner; o; o = o->Owner)
    if (o == owner) return true;
  return false;
}

void BroadcastActivateApp(bool active) {
  for (HWND h : Handles(Desktop().Children))
    if (Find(h))
      SendMessage(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, static_cast<LPARAM>(GetCurrentThreadId()));
}

void KillFocusSilently() {
  TFocusState& fs = FocusState();
  HWND old = fs.Focus;
  if (!old) return;
  fs.Focus = nullptr;
  if (Find(old)) SendMessage(old, WM_KILLFOCUS, 0, 0);
  NotifyObservers(TWindowEvent::FocusChanged, nullptr);
}

bool Activatable(const TWnd* c, const TWnd* leaving) {
  return c && c != leaving && !c->Dead && !c->Destroying && c->Parent == &Desktop() && c->Visible() &&
         c->Enabled() && !(c->Style & WS_MINIMIZE);
}

}  // namespace

TFocusState& FocusState() {
  static TFocusState* state = new TFocusState;
  return *state;
}

void ResetFocusState() {
  FocusState() = TFocusState{};
}

bool ActivateWindow(TWnd* w, WORD how, bool mouse, bool fromSetWindowPos, bool force) {
  TFocusState& fs = FocusState();
  if (w) {
    w = TopLevelOf(w);
    if (!w || w->IsRoot || w->Parent != &Desktop() || !w->Enabled()) return false;
  }
  TWnd* old = Find(fs.Active);
  if (old == w) return true;
  auto keepNew = Hold(w);
  auto keepOld = Hold(old);
  HWND newH = w ? w->Handle : nullptr;
  HWND oldH = old ? old->Handle : nullptr;

  if (w && HasHooks(WH_CBT)) {
    CBTACTIVATESTRUCT cs{mouse ? TRUE : FALSE, oldH};
    if (CallHooks(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(newH), reinterpret_cast<LPARAM>(&cs)))
      return false;
    if (w->Dead) return false;
  }
  if (old) {
    const LRESULT agreed = SendMessage(oldH, WM_NCACTIVATE, FALSE, 0);
    if (!agreed && !force && !old->Dead) return false;
    if (!old->Dead) old->NcActive = false;
  }
  if (Find(fs.Active) != old) return false;  // someone else activated meanwhile
  fs.Active = newH;
  if (old && !old->Dead) {
    SendMessage(oldH, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (old->Style & WS_MINIMIZE) ? 1 : 0),
                reinterpret_cast<LPARAM>(newH));
    NotifyObservers(TWindowEvent::Deactivated, oldH);
  }
  if (!w) {
    if (fs.AppActive) {
      fs.AppActive = false;
      BroadcastActivateApp(false);
    }
    KillFocusSilently();
    return true;
  }
  if (w->Dead || fs.Active != newH) return false;

  if (!fromSetWindowPos && w->Visible()) {
    SetWindowPosInternal(*w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (w->Dead || fs.Active != newH) return false;
  }
  if (!fs.AppActive) {
    fs.AppActive = true;
    BroadcastActivateApp(true);
    if (w->Dead || fs.Active != newH) return false;
  }
  SendMessage(newH, WM_NCACTIVATE, TRUE, 0);
  if (w->Dead) return false;
  w->NcActive = true;
  TWnd* root = w;
  while (root->Owner) root = root->Owner;
  root->LastActivePopup = newH;

  const bool minimized = (w->Style & WS_MINIMIZE) != 0;
  SendMessage(newH, WM_ACTIVATE, MAKEWPARAM(how, minimized ? 1 : 0), reinterpret_cast<LPARAM>(oldH));
  if (w->Dead || fs.Active != newH) return false;
  NotifyObservers(TWindowEvent::Activated, newH);

  TWnd* focus = Find(fs.Focus);
  if (minimized) {
    if (focus) SetFocus(nullptr);
  } else if (!focus || TopLevelOf(focus) != w) {
    SetFocus(newH);
  }
  return true;
}

void ActivateOtherWindow(TWnd* leaving, bool force) {
  if (!leaving || FocusState().Active != leaving->Handle) return;
  auto keep = Hold(leaving);
  TWnd* next = nullptr;
  if (Activatable(leaving->Owner, leaving)) {
    next = leaving->Owner;
  } else {
    for (TWnd* c : Desktop().Children)
      if (Activatable(c, leaving) && !OwnedBy(c, leaving) &&
          !(c->ExStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE))) {
        next = c;
        break;
      }
  }
  if (next && ActivateWindow(next, WA_ACTIVE, false, false, force)) return;
  if (FocusState().Active == leaving->Handle) ActivateWindow(nullptr, WA_INACTIVE, false, false, force);
  if (force && FocusState().Active == leaving->Handle) FocusState().Active = nullptr;
}

void ReleaseFocusFrom(TWnd& w) {
  TFocusState& fs = FocusState();
  if (!InSubtree(w, Find(fs.Focus))) return;
  auto keep = Hold(&w);
  if (!w.IsTopLevel() && w.Parent) SetFocus(w.Parent->Handle);
  if (InSubtree(w, Find(fs.Focus))) KillFocusSilently();
}

void ReleaseCaptureFrom(TWnd& w) {
  if (InSubtree(w, Find(FocusState().Capture))) ReleaseCapture();
}

}  // namespace win_internal

using namespace win_internal;

HWND SetFocus(HWND hwnd) {
  TFocusState& fs = FocusState();
  HWND old = Find(fs.Focus) ? fs.Focus : nullptr;
  if (!hwnd) {
    if (!old) return nullptr;
    if (CallHooks(WH_CBT, HCBT_SETFOCUS, 0, reinterpret_cast<LPARAM>(old))) return nullptr;
    if (fs.Focus == old) KillFocusSilently();
    return old;
  }
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || w->Parent == &MessageRoot()) return nullptr;
  if (hwnd == old) return old;
  // No focus for a window that is, or sits in, a disabled or minimised window.
  for (TWnd* p = w; p && !p->IsRoot; p = p->Parent) {
    if (!p->Enabled() || (p->Style & WS_MINIMIZE)) return nullptr;
    if (p->IsTopLevel()) break;
  }
  auto keep = Hold(w);
  if (CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(old)))
    return nullptr;
  if (w->Dead) return nullptr;
  TWnd* top = TopLevelOf(w);
  if (fs.Active != top->Handle) {
    if (!ActivateWindow(top, WA_ACTIVE, false, false) || w->Dead || fs.Active != top->Handle) return nullptr;
    if (fs.Focus == hwnd) return old;
  }
  HWND losing = Find(fs.Focus) ? fs.Focus : nullptr;
  fs.Focus = hwnd;
  if (losing) {
    SendMessage(losing, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (fs.Focus != hwnd || w->Dead) return old;
  }
  SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(losing), 0);
  NotifyObservers(TWindowEvent::FocusChanged, hwnd);
  return old;
}

HWND GetFocus() {
  HWND h = FocusState().Focus;
  return Find(h) ? h : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  HWND old = GetActiveWindow();
  if (!hwnd) {
    ActivateWindow(nullptr, WA_INACTIVE, false, false);
    return old;
  }
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return nullptr;
  return ActivateWindow(w, WA_ACTIVE, false, false) ? old : nullptr;
}

HWND GetActiveWindow() {
  HWND h = FocusState().Active;
  return Find(h) ? h : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  return ActivateWindow(w, WA_ACTIVE, false, false) ? TRUE : FALSE;
}

HWND GetForegroundWindow() {
  return GetActiveWindow();
}

HWND SetCapture(HWND hwnd) {
  TFocusState& fs = FocusState();
  HWND old = Find(fs.Capture) ? fs.Capture : nullptr;
  if (!hwnd) {
    ReleaseCapture();
    return old;
  }
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return nullptr;
  fs.Capture = hwnd;
  if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  NotifyObservers(TWindowEvent::CaptureChanged, hwnd);
  return old;
}

BOOL ReleaseCapture() {
  TFocusState& fs = FocusState();
  HWND old = fs.Capture;
  if (!old) return TRUE;
  fs.Capture = nullptr;
  if (Find(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  NotifyObservers(TWindowEvent::CaptureChanged, nullptr);
  return TRUE;
}

HWND GetCapture() {
  HWND h = FocusState().Capture;
  return Find(h) ? h : nullptr;
}
