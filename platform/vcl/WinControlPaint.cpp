// Painting of windowed controls: WM_PAINT through PaintHandler (the window, then the graphic
// children on top), double buffering, the background, the non-client bevels, PaintTo, and
// TCustomControl's canvas.
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ControlInternal.h"
#include "platform/vcl/Controls.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TCustomControl)

using namespace vcl_internal;

// --- invalidation ---------------------------------------------------------------------------------

void TWinControl::Invalidate() {
  Perform(CM_INVALIDATE, 0, 0);
}

// WParam 1: a child asks; the parent need not repaint itself.
void TWinControl::CMInvalidate(TMessage& Message) {
  if (!handle_) return;
  if (parent_) parent_->Perform(CM_INVALIDATE, 1, 0);
  if (Message.WParam == 0) InvalidateRect(handle_, nullptr, controlStyle_.Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
  HDC dc = GetDC(Handle());
  if (!dc) throw EOutOfResources("Out of system resources");
  WindowHandle = handle_;
  return dc;
}

// --- WM_PAINT --------------------------------------------------------------------------------------

void TWinControl::WMPaint(TMessage& Message) {
  if (!doubleBuffered_ || Message.DC()) {
    if (!controlState_.Contains(csCustomPaint) && ControlCount() == 0)
      DefaultHandler(Message);
    else
      PaintHandler(Message);
    return;
  }
  // Double buffered: paint the whole client into a memory bitmap, then copy it in one go.
  const TRect client = GetClientRect();
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(1, client.Right), std::max(1, client.Bottom));
  ReleaseDC(nullptr, screen);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bitmap);
  PAINTSTRUCT ps;
  // The paint's handler may free the control: what is released afterwards is held here.
  HWND window = handle_;
  const TLivenessWatch watch = Watch();
  HDC dc = BeginPaint(window, &ps);
  TScopeExit release([&] {
    EndPaint(window, &ps);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
  });
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
  if (watch.Gone()) return;
  Message.WParam = reinterpret_cast<WPARAM>(mem);
  WMPaint(Message);
  if (watch.Gone()) return;
  Message.WParam = 0;
  BitBlt(dc, 0, 0, client.Right, client.Bottom, mem, 0, 0, SRCCOPY);
}

void TWinControl::PaintHandler(TMessage& Message) {
  PAINTSTRUCT ps;
  HDC dc = Message.DC();
  const bool own = dc == nullptr;
  HWND window = handle_;
  const TLivenessWatch watch = Watch();
  if (own) dc = BeginPaint(window, &ps);
  TScopeExit endPaint([&] {
    if (own) EndPaint(window, &ps);
  });
  if (controls_.empty()) {
    PaintWindow(dc);
    if (watch.Gone()) return;
  } else {
    // Opaque graphic children cover their part: the window need not paint under them.
    const int saved = SaveDC(dc);
    int clip = SIMPLEREGION;
    for (TControl* c : controls_) {
      if (c->Visible() && c->ControlStyle().Contains(csOpaque)) {
        clip = ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        if (clip == NULLREGION) break;
      }
    }
    if (clip != NULLREGION) PaintWindow(dc);
    RestoreDC(dc, saved);
    if (watch.Gone()) return;
  }
  PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage m(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t i = 0;
  if (First) {
    auto it = std::find(controls_.begin(), controls_.end(), First);
    if (it != controls_.end()) i = static_cast<size_t>(it - controls_.begin());
  }
  std::vector<TControl*> list(controls_.begin() + static_cast<std::ptrdiff_t>(i), controls_.end());
  for (TControl* c : list) {
    if (!c->Visible()) continue;
    RECT r = c->BoundsRect();
    if (!RectVisible(DC, &r)) continue;
    if (controlState_.Contains(csPaintCopy)) c->controlState_ += csPaintCopy;
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    TScopeExit restore([DC, saved, c] {
      RestoreDC(DC, saved);
      c->controlState_ -= csPaintCopy;
    });
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  controlState_ += csPaintCopy;
  // Also when a child's paint raises: left marked, the control would paint as a copy from then on.
  TScopeExit copied([this] { controlState_ -= csPaintCopy; });
  const int saved = SaveDC(DC);
  OffsetViewportOrgEx(DC, X, Y, nullptr);
  IntersectClipRect(DC, 0, 0, width_, height_);
  // The frame the window would draw, then the client at its place inside it.
  TRect client = GetClientRect();
  TPoint origin{0, 0};
  if (HandleAllocated()) {
    UINT flags = 0;
    const LONG_PTR style = GetWindowLong(handle_, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLong(handle_, GWL_EXSTYLE);
    if (style & WS_BORDER) flags = BF_RECT;
    if (exStyle & WS_EX_CLIENTEDGE) flags = BF_RECT | BF_ADJUST;
    if (flags) {
      RECT r = Rect(0, 0, width_, height_);
      DrawEdge(DC, &r, EDGE_SUNKEN, flags);
    }
    POINT p{0, 0};
    MapWindowPoints(handle_, nullptr, &p, 1);
    RECT w{};
    GetWindowRect(handle_, &w);
    origin = {p.X - w.Left, p.Y - w.Top};
  }
  OffsetViewportOrgEx(DC, origin.X, origin.Y, nullptr);
  IntersectClipRect(DC, 0, 0, client.Width(), client.Height());
  {
    TScopeExit restoreDC([DC, saved] { RestoreDC(DC, saved); });
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
  for (TWinControl* w : winControls_)
    if (w->Visible()) w->PaintTo(DC, X + origin.X + w->Left(), Y + origin.Y + w->Top());
}

// WParam == LParam marks the double-buffering pass, which erases into its memory DC.
void TWinControl::WMEraseBkgnd(TMessage& Message) {
  const bool bufferPass = Message.WParam == static_cast<WPARAM>(Message.LParam);
  if ((!doubleBuffered_ || bufferPass) && !controlStyle_.Contains(csOpaque)) {
    RECT r = GetClientRect();
    FillRect(Message.DC(), &r, brush_->Handle());
  }
  Message.Result = 1;
}

// --- non-client bevels ----------------------------------------------------------------------------

void TWinControl::WMNCCalcSize(TMessage& Message) {
  DefaultHandler(Message);
  if (bevelKind_ == bkNone || !Message.LParam) return;
  RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                           : reinterpret_cast<RECT*>(Message.LParam);
  r->Left += BevelSize(beLeft);
  r->Top += BevelSize(beTop);
  r->Right -= BevelSize(beRight);
  r->Bottom -= BevelSize(beBottom);
}

TRect TWinControl::BevelRect() {
  // The client rectangle in window coordinates, grown by the bevels.
  RECT w{};
  GetWindowRect(handle_, &w);
  POINT p{0, 0};
  ::ClientToScreen(handle_, &p);
  RECT c{};
  ::GetClientRect(handle_, &c);
  OffsetRect(c, p.X - w.Left, p.Y - w.Top);
  c.Left -= BevelSize(beLeft);
  c.Top -= BevelSize(beTop);
  c.Right += BevelSize(beRight);
  c.Bottom += BevelSize(beBottom);
  return c;
}

void TWinControl::WMNCPaint(TMessage& Message) {
  DefaultHandler(Message);
  if (bevelKind_ == bkNone || !handle_) return;
  static constexpr UINT kInner[] = {0, BDR_SUNKENINNER, BDR_RAISEDINNER, 0};
  static constexpr UINT kOuter[] = {0, BDR_SUNKENOUTER, BDR_RAISEDOUTER, 0};
  static constexpr UINT kKind[] = {0, 0, BF_SOFT, BF_FLAT};
  HDC dc = GetWindowDC(handle_);
  RECT r = BevelRect();
  const UINT edges = static_cast<UINT>(bevelEdges_.ToBits());  // beLeft..beBottom are BF_LEFT..BF_BOTTOM
  DrawEdge(dc, &r, kInner[bevelInner_] | kOuter[bevelOuter_], edges | kKind[bevelKind_] | BF_ADJUST);
  ReleaseDC(handle_, dc);
}

// --- TCustomControl ---------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  canvas_ = std::make_unique<TControlCanvas>();
  canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
  canvas_.reset();
}

void TCustomControl::WMPaint(TMessage& Message) {
  controlState_ += csCustomPaint;
  TScopeExit painted(WhileAlive(Watch(), [this] { controlState_ -= csCustomPaint; }));
  inherited::WMPaint(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
  canvas_->Lock();
  canvas_->SetHandle(DC);
  TScopeExit release(WhileAlive(Watch(), [this] {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  }));
  canvas_->UpdateTextFlags();
  Paint();
}

// --- registration ------------------------------------------------------------------------------------

void RegisterControlClasses() {
  RegisterClasses({TControl::StaticClass(), TWinControl::StaticClass(), TCustomControl::StaticClass(),
                   TGraphicControl::StaticClass()});
}
