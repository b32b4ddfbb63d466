// The application's hints: a timer on the application window (virtual time)
// shows the hint of the control under the mouse after HintPause, CM_HINTSHOW
// lets the control adjust it, and the hint goes after HintHidePause, on the
// next key or click, or when the mouse leaves.
#include "platform/vcl/Forms.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/Messages.h"

namespace {

// How far below the cursor's hot spot a hint starts.
constexpr int kCursorHeightMargin = 20;

std::string ShortHintOf(const std::string& Hint) {
  size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

}  // namespace

void TApplication::SetHint(const std::string& Value) {
  if (hint_ == Value) return;
  hint_ = Value;
  OnHint(this);
}

void TApplication::SetShowHint(bool Value) {
  if (showHint_ == Value) return;
  showHint_ = Value;
  if (!Value) {
    CancelHint();
    if (hintWindow_) {
      THintWindow* w = hintWindow_;
      hintWindow_ = nullptr;
      w->Free();
    }
  }
}

void TApplication::SetHintColor(TColor Value) {
  hintColor_ = Value;
  if (hintWindow_) hintWindow_->SetColor(Value);
}

TControl* TApplication::FindControlAtPos(const TPoint& ScreenPos) const {
  TWinControl* win = FindVCLWindow(ScreenPos);
  if (!win) return nullptr;
  TControl* inner = win->ControlAtPos(win->ScreenToClient(ScreenPos), false);
  return inner ? inner : win;
}

TControl* TApplication::HintControlAt(const TPoint& ScreenPos) const {
  TControl* c = FindControlAtPos(ScreenPos);
  while (c && !c->ShowHint()) c = c->Parent();
  return c;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (!showHint_ || !Control) return;
  TPoint p = Control->ClientToScreen(TPoint{Message.XPos(), Message.YPos()});
  TControl* newControl = HintControlAt(p);
  // An empty Hint still asks the control (CM_HINTSHOW may supply the text).
  if (!newControl) {
    CancelHint();
    return;
  }
  if (newControl != hintControl_ || !PtInRect(hintCursorRect_, p)) {
    bool wasActive = hintActive_;
    int pause = wasActive ? hintShortPause_ : hintPause_;
    newControl->Perform(CM_HINTSHOWPAUSE, wasActive ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    CancelHint();
    hintActive_ = wasActive;
    hintControl_ = newControl;
    StartHintTimer(pause, htmShow);
  }
}

void TApplication::StartHintTimer(int Pause, THintTimerMode Mode) {
  StopHintTimer();
  hintTimerMode_ = Mode;
  if (!handle_) return;
  SetTimer(handle_, kHintTimerId, static_cast<UINT>(Pause > 0 ? Pause : 1));
  hintTimerRunning_ = true;
}

void TApplication::StopHintTimer() {
  if (!hintTimerRunning_) return;
  hintTimerRunning_ = false;
  if (handle_) KillTimer(handle_, kHintTimerId);
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (hintTimerMode_ == htmHide) {
    CancelHint();
    return;
  }
  POINT p{};
  GetCursorPos(&p);
  if (hintControl_ && HintControlAt(p) == hintControl_)
    ActivateHint(p);
  else
    CancelHint();
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  TControl* control = HintControlAt(CursorPos);
  if (!control || !showHint_) {
    CancelHint();
    return;
  }
  hintControl_ = control;
  THintInfo info;
  info.HintControl = control;
  info.HintPos = TPoint{CursorPos.X, CursorPos.Y + kCursorHeightMargin};
  info.HintMaxWidth = Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
  info.HintColor = hintColor_;
  info.CursorRect = control->ClientRect();
  info.CursorPos = control->ScreenToClient(CursorPos);
  info.HintStr = ShortHintOf(control->Hint());
  info.ReshowTimeout = 0;
  info.HideTimeout = hintHidePause_;
  info.HintWindowClass = hintWindowClass_ ? hintWindowClass_ : ::HintWindowClass;
  info.HintData = nullptr;
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow) OnShowHint(info.HintStr, canShow, info);
  hintActive_ = canShow;
  if (canShow && !info.HintStr.empty()) {
    TClass cls = info.HintWindowClass ? info.HintWindowClass : ::HintWindowClass;
    if (hintWindow_ && hintWindow_->ClassType() != cls) {
      THintWindow* old = hintWindow_;
      hintWindow_ = nullptr;
      old->Free();
    }
    if (!hintWindow_) {
      TObject* made = cls && cls->Create ? cls->Create(this) : nullptr;
      hintWindow_ = dynamic_cast<THintWindow*>(made);
      if (!hintWindow_) {
        if (made) made->Free();
        hintWindow_ = new THintWindow(this);
      }
    }
    TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    hintWindow_->SetColor(info.HintColor);
    hintWindow_->ActivateHintData(r, info.HintStr, info.HintData);
    TPoint tl = control->ClientToScreen(info.CursorRect.TopLeft());
    TPoint br = control->ClientToScreen(info.CursorRect.BottomRight());
    hintCursorRect_ = TRect{tl.X, tl.Y, br.X, br.Y};
    if (info.ReshowTimeout > 0)
      StartHintTimer(info.ReshowTimeout, htmShow);
    else
      StartHintTimer(info.HideTimeout, htmHide);
    return;
  }
  if (info.ReshowTimeout > 0)
    StartHintTimer(info.ReshowTimeout, htmShow);
  else
    CancelHint();
}

void TApplication::HideHint() {
  if (hintWindow_ && hintWindow_->HandleAllocated() && IsWindowVisible(hintWindow_->Handle()))
    ShowWindow(hintWindow_->Handle(), SW_HIDE);
}

void TApplication::CancelHint() {
  if (hintControl_) {
    HideHint();
    hintControl_ = nullptr;
    hintActive_ = false;
  }
  StopHintTimer();
}
