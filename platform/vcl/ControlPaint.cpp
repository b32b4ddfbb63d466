// Painting of controls without a window: invalidation through the parent, z-order among the
// graphic siblings, device contexts borrowed from the parent, the control canvas, and
// TGraphicControl.
#include <algorithm>
#include <vector>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ControlInternal.h"
#include "platform/vcl/Controls.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TControlCanvas)
RTL_IMPLEMENT_CLASS(TGraphicControl)

namespace vcl_internal {

namespace {
std::vector<TControlCanvas*>& CanvasList() {
  static std::vector<TControlCanvas*> list;
  return list;
}
}  // namespace

void RegisterCanvasDC(TControlCanvas* Canvas) {
  auto& list = CanvasList();
  if (std::find(list.begin(), list.end(), Canvas) == list.end()) list.push_back(Canvas);
}

void UnregisterCanvasDC(TControlCanvas* Canvas) {
  auto& list = CanvasList();
  list.erase(std::remove(list.begin(), list.end(), Canvas), list.end());
}

void FreeDeviceContexts() {
  std::vector<TControlCanvas*> copy = CanvasList();
  for (TControlCanvas* c : copy) c->FreeHandle();
}

}  // namespace vcl_internal

using namespace vcl_internal;

// --- TControl painting ---------------------------------------------------------------------------

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !parent_ || !parent_->HandleAllocated()) return;
  RECT r = BoundsRect();
  const bool erase = !(IsOpaque || parent_->ControlStyle().Contains(csOpaque));
  InvalidateRect(parent_->Handle(), &r, erase ? TRUE : FALSE);
}

void TControl::Invalidate() {
  InvalidateControl(visible_, controlStyle_.Contains(csOpaque));
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

// An opaque graphic control paints at once over its parent's DC; others invalidate and update.
void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  if (controlStyle_.Contains(csOpaque)) {
    HDC dc = GetDC(parent_->Handle());
    IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
    parent_->PaintControls(dc, this);
    ReleaseDC(parent_->Handle(), dc);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::SetZOrder(bool TopMost) {
  if (!parent_) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  const size_t from = static_cast<size_t>(it - list.begin());
  const size_t to = TopMost ? list.size() - 1 : 0;
  if (from == to) return;
  list.erase(it);
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(to), this);
  InvalidateControl(visible_, true);
  parent_->Realign();
}

HDC TControl::GetDeviceContext(HWND& WindowHandle) {
  if (!parent_) throw EInvalidOperation(Fmt("Control '%s' has no parent window", Name()));
  HDC dc = parent_->GetDeviceContext(WindowHandle);
  SetViewportOrgEx(dc, left_, top_, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  return dc;
}

// --- TControlCanvas ------------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() {
  FreeHandle();
}

void TControlCanvas::SetControl(TControl* AControl) {
  if (control_ == AControl) return;
  FreeHandle();
  control_ = AControl;
}

void TControlCanvas::CreateHandle() {
  if (!control_) return;
  if (!deviceContext_) {
    deviceContext_ = control_->GetDeviceContext(windowHandle_);
    RegisterCanvasDC(this);
  }
  SetHandle(deviceContext_);
  UpdateTextFlags();
}

void TControlCanvas::FreeHandle() {
  if (!deviceContext_) return;
  HDC dc = deviceContext_;
  deviceContext_ = nullptr;
  UnregisterCanvasDC(this);
  if (HandleAllocated()) SetHandle(nullptr);
  ReleaseDC(windowHandle_, dc);
  windowHandle_ = nullptr;
}

void TControlCanvas::UpdateTextFlags() {
  if (!control_) return;
  if (control_->UseRightToLeftReading())
    SetTextFlags(TextFlags() | static_cast<int>(ETO_RTLREADING));
  else
    SetTextFlags(TextFlags() & ~static_cast<int>(ETO_RTLREADING));
}

// --- TGraphicControl -------------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  canvas_ = std::make_unique<TControlCanvas>();
  canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
  canvas_.reset();
}

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT)
    WMPaint(Message);
  else
    inherited::Dispatch(Message);
}

// The parent hands over its DC, already moved to this control's origin and clipped to it.
void TGraphicControl::WMPaint(TMessage& Message) {
  if (!Message.DC() || ComponentState().Contains(csDestroying)) return;
  canvas_->Lock();
  canvas_->SetHandle(Message.DC());
  TScopeExit release([this] {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  });
  Paint();
}
