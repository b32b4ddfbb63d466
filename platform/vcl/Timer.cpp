// TTimer: a hidden window owns timer id 1; WM_TIMER calls Timer().
#include "platform/vcl/ExtCtrls.h"

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TTimer)

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  windowHandle_ =
      AllocateHWnd([this](UINT Msg, WPARAM WParam, LPARAM LParam) { return WndProc(Msg, WParam, LParam); });
}

TTimer::~TTimer() {
  enabled_ = false;
  if (windowHandle_) {
    KillTimer(windowHandle_, kTimerId);
    DeallocateHWnd(windowHandle_);
  }
}

void TTimer::DescribeClass(TClassBuilder<TTimer>& c) {
  c.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(1);
  c.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  c.Property("OnTimer", &TTimer::GetOnTimer, &TTimer::SetOnTimer);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == interval_) return;
  interval_ = Value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  // The window is gone when the window manager was reset under a surviving timer.
  if (!windowHandle_ || !IsWindow(windowHandle_)) return;
  KillTimer(windowHandle_, kTimerId);
  if (interval_ != 0 && enabled_ && OnTimer) {
    if (SetTimer(windowHandle_, kTimerId, interval_) == 0)
      throw EOutOfResources("Not enough timers available");
  }
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

LRESULT TTimer::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg != WM_TIMER) return DefWindowProc(windowHandle_, Msg, WParam, LParam);
  try {
    Timer();
  } catch (...) {
    InitVcl();
    Application->HandleException(this);
  }
  return 0;
}
