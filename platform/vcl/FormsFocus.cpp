// The form's focus and activation: the focused control with its CM_EXIT /
// CM_ENTER chain, ActiveControl, activation and deactivation, and the dialog
// keys.
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"

namespace {

// Counts focus changes, so that a handler that moves the focus elsewhere ends
// the chain.
int g_focusCount = 0;

}  // namespace

bool TCustomForm::SendFocusMessage(HWND Window, UINT Msg) {
  int count = g_focusCount;
  SendMessage(Window, Msg, 0, 0);
  return g_focusCount == count;
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  ++g_focusCount;
  activeControl_ = Control != this ? Control : nullptr;
  if (Screen) Screen->UpdateActive(this, Control);
  if (!Control || Control->ControlState().Contains(csFocusing)) return false;
  Control->SetControlState(Control->ControlState() + csFocusing);
  TScopeExit focused([Control] { Control->SetControlState(Control->ControlState() - csFocusing); });
  if (Screen && Screen->FocusedForm() != this) {
    if (TCustomForm* old = Screen->FocusedForm()) {
      Screen->SetFocusedForm(nullptr);
      if (old->HandleAllocated() && !SendFocusMessage(old->Handle(), CM_DEACTIVATE)) return false;
    }
    Screen->SetFocusedForm(this);
    if (!SendFocusMessage(Handle(), CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != Control) {
    // Exits up to the common ancestor, then enters down to the new control.
    while (focusedControl_ && !focusedControl_->ContainsControl(Control)) {
      HWND h = focusedControl_->Handle();
      focusedControl_ = focusedControl_->Parent();
      if (!SendFocusMessage(h, CM_EXIT)) return false;
    }
    while (focusedControl_ != Control) {
      TWinControl* step = Control;
      while (step->Parent() != focusedControl_) step = step->Parent();
      focusedControl_ = step;
      if (!SendFocusMessage(step->Handle(), CM_ENTER)) return false;
    }
    for (TWinControl* p = Control->Parent(); p; p = p->Parent())
      if (auto* scrolling = dynamic_cast<TScrollingWinControl*>(p)) scrolling->AutoScrollInView(Control);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  }
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (!Control) return;
  if (Removing && focusedControl_ && Control->ContainsControl(focusedControl_))
    focusedControl_ = Control->Parent();
  if (activeControl_ && Control->ContainsControl(activeControl_)) SetActiveControl(nullptr);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (activeControl_ == Control) return;
  if (Control && (Control == this || GetParentForm(Control) != this ||
                  (!ComponentState().Contains(csLoading) && !Control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  activeControl_ = Control;
  if (!ComponentState().Contains(csLoading) && active_) SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND h = nullptr;
  if (activeControl_ && activeControl_->CanFocus())
    h = activeControl_->Handle();
  else if (HandleAllocated())
    h = Handle();
  if (h && ::GetFocus() != h) ::SetFocus(h);
}

void TCustomForm::FocusControl(TWinControl* Control) {
  bool wasActive = active_;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!Visible() || !Enabled()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (HandleAllocated() && ::GetActiveWindow() != Handle() && formStyle_ != fsMDIChild)
    ::SetActiveWindow(Handle());
  SetWindowFocus();
}

void TCustomForm::SetActive(bool Value) {
  active_ = Value;
  if (!Value) return;
  if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

void TCustomForm::WMActivate(TMessage& Message) {
  if (formStyle_ != fsMDIForm) SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
  Message.Result = 0;
}

void TCustomForm::CMActivate(TMessage& Message) {
  (void)Message;
  if (ComponentState().Contains(csReading)) {
    formState_.Include(fsActivated);
    return;
  }
  Activate();
}

void TCustomForm::CMDeactivate(TMessage& Message) {
  (void)Message;
  if (ComponentState().Contains(csReading)) {
    formState_.Exclude(fsActivated);
    return;
  }
  Deactivate();
}

void TCustomForm::Activate() {
  OnActivate(this);
}

void TCustomForm::Deactivate() {
  OnDeactivate(this);
}

bool TCustomForm::WantChildKey(TControl* Child, TMessage& Message) {
  (void)Child;
  (void)Message;
  return false;
}

void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.CharCode()) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          WORD key = Message.CharCode();
          activeControl_->Parent()->SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
      default:
        break;
    }
  }
  inherited::CMDialogKey(Message);
}
