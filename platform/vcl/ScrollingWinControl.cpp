// TControlScrollBar and TScrollingWinControl: a container whose children may
// extend past its client area, with the window's own scroll bars moving them.
#include <algorithm>
#include <cstdint>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"

RTL_IMPLEMENT_CLASS(TControlScrollBar)
RTL_IMPLEMENT_CLASS(TScrollingWinControl)

// --- TControlScrollBar
// -------------------------------------------------------------------------------

TControlScrollBar::TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind)
    : control_(AControl), kind_(AKind) {}

void TControlScrollBar::DescribeClass(TClassBuilder<TControlScrollBar>& c) {
  c.Property("ButtonSize", &TControlScrollBar::ButtonSize, &TControlScrollBar::SetButtonSize);
  c.Property("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement).Default(8);
  c.Property("Margin", &TControlScrollBar::Margin, &TControlScrollBar::SetMargin);
  c.Property("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition);
  c.Property("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange);
  c.Property("Size", &TControlScrollBar::Size, &TControlScrollBar::SetSize);
  c.Property("Smooth", &TControlScrollBar::Smooth, &TControlScrollBar::SetSmooth);
  c.Property("Style", &TControlScrollBar::Style, &TControlScrollBar::SetStyle);
  c.Property("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking);
  c.Property("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible).Default(1);
}

void TControlScrollBar::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TControlScrollBar*>(Source)) {
    SetVisible(s->Visible());
    SetRange(s->Range());
    SetPosition(s->Position());
    SetIncrement(s->Increment());
    SetMargin(s->Margin());
    SetTracking(s->Tracking());
    return;
  }
  inherited::Assign(Source);
}

int TControlScrollBar::ControlSize() const {
  return kind_ == sbHorizontal ? control_->ClientWidth() : control_->ClientHeight();
}

bool TControlScrollBar::IsScrollBarVisible() const {
  return visible_ && range_ > ControlSize();
}

int TControlScrollBar::ScrollPos() const {
  return IsScrollBarVisible() ? position_ : 0;
}

void TControlScrollBar::SetRange(int Value) {
  // An explicit range turns automatic ranges off, as in the class library.
  control_->autoScroll_ = false;
  DoSetRange(Value);
}

void TControlScrollBar::DoSetRange(int Value) {
  range_ = std::max(0, Value);
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value) {
  int maxPos = std::max(0, range_ - ControlSize());
  Value = std::clamp(Value, 0, maxPos);
  if (Value == position_) return;
  int old = position_;
  position_ = Value;
  if (kind_ == sbHorizontal)
    control_->ScrollChildren(old - Value, 0);
  else
    control_->ScrollChildren(0, old - Value);
  Update();
}

void TControlScrollBar::SetIncrement(TScrollBarInc Value) {
  if (Value < 1 || Value > 32767) throw ERangeError("Range check error");
  increment_ = Value;
}

void TControlScrollBar::SetVisible(bool Value) {
  visible_ = Value;
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetMargin(int Value) {
  margin_ = ClampControlCoord(Value);
  if (visible_) control_->UpdateScrollBars();
}

void TControlScrollBar::SetSize(int Value) {
  size_ = Value;
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetStyle(TScrollBarStyle Value) {
  style_ = Value;
  control_->UpdateScrollBars();
}

// The children's extent along this bar, measured from the unscrolled origin.
void TControlScrollBar::CalcAutoRange() {
  int64_t extent = 0;
  for (int i = 0; i < control_->ControlCount(); ++i) {
    TControl* c = control_->Controls(i);
    if (!c->Visible()) continue;
    if (kind_ == sbHorizontal) {
      // Controls aligned to the top, bottom, right or client follow the client width.
      if (c->Align() != alNone && c->Align() != alLeft) continue;
      extent = std::max(extent, int64_t{c->Left()} + c->Width() + position_);
    } else {
      if (c->Align() != alNone && c->Align() != alTop) continue;
      extent = std::max(extent, int64_t{c->Top()} + c->Height() + position_);
    }
  }
  range_ = extent > 0 ? static_cast<int>(std::clamp<int64_t>(extent + margin_, 0, INT32_MAX)) : 0;
}

void TControlScrollBar::Update() {
  if (!control_->HandleAllocated()) return;
  int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  if (IsScrollBarVisible()) {
    int maxPos = std::max(0, range_ - ControlSize());
    if (position_ > maxPos) {
      int old = position_;
      position_ = maxPos;
      if (kind_ == sbHorizontal)
        control_->ScrollChildren(old - position_, 0);
      else
        control_->ScrollChildren(0, old - position_);
    }
    si.nMin = 0;
    si.nMax = range_ - 1;
    si.nPage = static_cast<UINT>(ControlSize());
    si.nPos = position_;
  } else {
    if (position_ != 0) {
      int old = position_;
      position_ = 0;
      if (kind_ == sbHorizontal)
        control_->ScrollChildren(old, 0);
      else
        control_->ScrollChildren(0, old);
    }
    si.nMin = 0;
    si.nMax = 0;
    si.nPage = 0;
    si.nPos = 0;
  }
  SetScrollInfo(control_->Handle(), bar, &si, TRUE);
}

void TControlScrollBar::ScrollMessage(TMessage& Message) {
  int page = ControlSize();
  switch (Message.ScrollCode()) {
    case SB_LINEUP:
      SetPosition(position_ - increment_);
      break;
    case SB_LINEDOWN:
      SetPosition(position_ + increment_);
      break;
    case SB_PAGEUP:
      SetPosition(position_ - page);
      break;
    case SB_PAGEDOWN:
      SetPosition(position_ + page);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      if (Message.ScrollCode() == SB_THUMBTRACK && !tracking_) break;
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS | SIF_POS;
      int pos = Message.ScrollPos();
      if (GetScrollInfo(control_->Handle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, &si))
        pos = si.nTrackPos;
      SetPosition(pos);
      break;
    }
    case SB_TOP:
      SetPosition(0);
      break;
    case SB_BOTTOM:
      SetPosition(range_);
      break;
    default:
      break;
  }
}

// --- TScrollingWinControl
// ------------------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {
  horz_ = std::make_unique<TControlScrollBar>(this, sbHorizontal);
  vert_ = std::make_unique<TControlScrollBar>(this, sbVertical);
  autoScroll_ = true;
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::DescribeClass(TClassBuilder<TScrollingWinControl>& c) {
  c.Property("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll)
      .Default(1);
  c.Property("HorzScrollBar", &TScrollingWinControl::HorzScrollBar);
  c.Property("VertScrollBar", &TScrollingWinControl::VertScrollBar);
}

void TScrollingWinControl::SetAutoScroll(bool Value) {
  if (autoScroll_ == Value) return;
  autoScroll_ = Value;
  if (Value) {
    CalcAutoRange();
  } else {
    horz_->range_ = 0;
    vert_->range_ = 0;
  }
  UpdateScrollBars();
}

void TScrollingWinControl::SetHorzScrollBar(TControlScrollBar* Value) {
  horz_->Assign(Value);
}

void TScrollingWinControl::SetVertScrollBar(TControlScrollBar* Value) {
  vert_->Assign(Value);
}

void TScrollingWinControl::DisableAutoRange() {
  ++autoRangeCount_;
}

void TScrollingWinControl::EnableAutoRange() {
  if (autoRangeCount_ == 0) return;
  if (--autoRangeCount_ == 0 && autoScroll_) {
    CalcAutoRange();
    UpdateScrollBars();
  }
}

void TScrollingWinControl::CalcAutoRange() {
  if (autoRangeCount_ > 0 || !autoScroll_) return;
  if (!AutoScrollEnabled()) {
    horz_->range_ = 0;
    vert_->range_ = 0;
    return;
  }
  horz_->CalcAutoRange();
  vert_->CalcAutoRange();
}

void TScrollingWinControl::UpdateScrollBars() {
  if (updatingScrollBars_ || !HandleAllocated()) return;
  TValueRestorer<bool> keepUpdating(updatingScrollBars_, true);
  // Showing one bar shrinks the client along the other, so the order matters
  // little; two passes settle both.
  for (int pass = 0; pass < 2; ++pass) {
    vert_->Update();
    horz_->Update();
  }
}

// Moves the children without realigning them, so the scrolled origin is kept.
void TScrollingWinControl::ScrollChildren(int DeltaX, int DeltaY) {
  if (DeltaX == 0 && DeltaY == 0) return;
  // As DisableAutoRange, but the end does not recalculate the range.
  TCounterScope<int> noAutoRange(autoRangeCount_);
  ScrollBy(DeltaX, DeltaY);
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& ARect) {
  CalcAutoRange();
  ARect = Bounds(-horz_->Position(), -vert_->Position(), std::max(horz_->Range(), ClientWidth()),
                 std::max(vert_->Range(), ClientHeight()));
  inherited::AlignControls(AControl, ARect);
  UpdateScrollBars();
}

void TScrollingWinControl::CreateWnd() {
  inherited::CreateWnd();
  CalcAutoRange();
  UpdateScrollBars();
}

void TScrollingWinControl::WMHScroll(TMessage& Message) {
  // A scroll-bar control's message is reflected to it; only the window's own
  // bar scrolls here.
  if (Message.ScrollBar() && FindControl(Message.ScrollBar())) {
    inherited::WMHScroll(Message);
    return;
  }
  horz_->ScrollMessage(Message);
  Message.Result = 0;
}

void TScrollingWinControl::WMVScroll(TMessage& Message) {
  if (Message.ScrollBar() && FindControl(Message.ScrollBar())) {
    inherited::WMVScroll(Message);
    return;
  }
  vert_->ScrollMessage(Message);
  Message.Result = 0;
}

void TScrollingWinControl::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  CalcAutoRange();
  UpdateScrollBars();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
  if (!AControl || !ContainsControl(AControl)) return;
  TRect r = AControl->BoundsRect();
  // Into this control's client coordinates.
  for (TWinControl* p = AControl->Parent(); p && p != this; p = p->Parent())
    OffsetRect(r, p->Left(), p->Top());
  r.Left -= horz_->Margin();
  r.Right += horz_->Margin();
  r.Top -= vert_->Margin();
  r.Bottom += vert_->Margin();
  if (r.Left < 0) {
    horz_->SetPosition(horz_->Position() + r.Left);
  } else if (r.Right > ClientWidth()) {
    if (r.Width() > ClientWidth()) r.Right = r.Left + ClientWidth();
    horz_->SetPosition(horz_->Position() + r.Right - ClientWidth());
  }
  if (r.Top < 0) {
    vert_->SetPosition(vert_->Position() + r.Top);
  } else if (r.Bottom > ClientHeight()) {
    if (r.Height() > ClientHeight()) r.Bottom = r.Top + ClientHeight();
    vert_->SetPosition(vert_->Position() + r.Bottom - ClientHeight());
  }
}

void TScrollingWinControl::AutoScrollInView(TControl* AControl) {
  if (AControl && !AControl->ComponentState().Contains(csLoading) && !ComponentState().Contains(csLoading))
    ScrollInView(AControl);
}
