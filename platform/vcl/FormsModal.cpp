// Showing, hiding, closing and modal forms.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Input.h"

namespace {

// The program's enabled, visible top-level windows are disabled while a modal
// form runs.
std::vector<HWND> DisableTaskWindows(HWND keep) {
  std::vector<HWND> disabled;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [&](HWND w, LPARAM) {
        if (w != keep && IsWindowVisible(w) && IsWindowEnabled(w)) disabled.push_back(w);
        return TRUE;
      },
      0);
  for (HWND w : disabled) EnableWindow(w, FALSE);
  return disabled;
}

void EnableTaskWindows(const std::vector<HWND>& windows) {
  for (HWND w : windows)
    if (IsWindow(w)) EnableWindow(w, TRUE);
}

}  // namespace

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() {
  SetVisible(false);
}

void TCustomForm::DoShow() {
  OnShow(this);
}

void TCustomForm::DoHide() {
  OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  OnClose(this, Action);
}

bool TCustomForm::CloseQuery() {
  if (formStyle_ == fsMDIForm) {
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  }
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (formStyle_ == fsMDIChild) action = borderIcons_.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) {
    modalResult_ = mrNone;
  } else if (action == caFree) {
    Release();
  }
}

void TCustomForm::Release() {
  PostMessage(Handle(), CM_RELEASE, 0, 0);
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || formState_.Contains(fsModal) || formStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  Application->ModalStarted();
  formState_.Include(fsModal);
  HWND activeWindow = GetActiveWindow();
  TCustomForm* saveFocused = Screen ? Screen->FocusedForm() : nullptr;
  std::vector<HWND> disabled = DisableTaskWindows(HandleAllocated() ? Handle() : nullptr);
  TScopeExit finish([&] {
    if (Visible()) Hide();
    EnableTaskWindows(disabled);
    if (Screen && saveFocused && Screen->FocusedForm() == nullptr) Screen->SetFocusedForm(saveFocused);
    if (activeWindow && IsWindow(activeWindow) && IsWindowVisible(activeWindow))
      SetActiveWindow(activeWindow);
    formState_.Exclude(fsModal);
    Application->ModalFinished();
  });
  Show();
  SendMessage(Handle(), CM_ACTIVATE, 0, 0);
  modalResult_ = mrNone;
  do {
    Application->HandleMessage();
    if (Application->Terminated())
      modalResult_ = mrCancel;
    else if (modalResult_ != mrNone)
      CloseModal();
    else if (!Visible())
      modalResult_ = mrCancel;
  } while (modalResult_ == mrNone);
  const TModalResult result = modalResult_;
  SendMessage(Handle(), CM_DEACTIVATE, 0, 0);
  if (GetActiveWindow() != Handle()) activeWindow = nullptr;
  return result;
}

void TCustomForm::ApplyPosition() {
  if (formStyle_ == fsMDIChild) return;
  int x = Left(), y = Top();
  bool move = true;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      x = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
      y = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* center = Application ? Application->MainForm() : nullptr;
      if (position_ == poOwnerFormCenter)
        if (auto* owner = dynamic_cast<TCustomForm*>(Owner())) center = owner;
      if (center && center != this) {
        x = center->Left() + (center->Width() - Width()) / 2;
        y = center->Top() + (center->Height() - Height()) / 2;
      } else {
        x = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
      }
      break;
    }
    default:
      move = false;
  }
  if (move) {
    x = std::max(0, std::min(x, GetSystemMetrics(SM_CXSCREEN) - Width()));
    y = std::max(0, std::min(y, GetSystemMetrics(SM_CYSCREEN) - Height()));
    SetBounds(x, y, Width(), Height());
  }
  if (position_ != poDesigned) position_ = poDesigned;
}

void TCustomForm::CMShowingChanged(TMessage& Message) {
  (void)Message;
  if (formState_.Contains(fsShowing)) throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  formState_.Include(fsShowing);
  TScopeExit shown([this] { formState_.Exclude(fsShowing); });
  if (!HandleAllocated()) return;
  if (Showing()) {
    try {
      DoShow();
    } catch (const EWaitForever&) {
      throw;
    } catch (...) {
      Application->HandleException(this);
    }
    ApplyPosition();
    if (formStyle_ == fsMDIChild) {
      ShowWindow(Handle(), SW_SHOW);
      if (HWND client = GetParent(Handle()))
        SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Handle()), 0);
      return;
    }
    static constexpr int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
    ShowWindow(Handle(), kShow[windowState_]);
    if (windowState_ != wsMinimized && IsWindowEnabled(Handle())) SetActiveWindow(Handle());
  } else {
    try {
      DoHide();
    } catch (const EWaitForever&) {
      throw;
    } catch (...) {
      Application->HandleException(this);
    }
    if (Screen && Screen->FocusedForm() == this) {
      Screen->SetFocusedForm(nullptr);
      active_ = false;
    }
    ShowWindow(Handle(), SW_HIDE);
  }
}
