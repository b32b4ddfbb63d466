// TScrollBar over the "ScrollBar" class, and the registration of the unit's classes.
#include <algorithm>

#include "platform/vcl/StdCtrls.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TScrollBar)

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(TControlStyle{csFramed, csDoubleClicks, csOpaque});
  SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "ScrollBar");
  Params.Style |= kind_ == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
  inherited::CreateWnd();
  SetScrollRange(Handle(), SB_CTL, min_, max_, FALSE);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_PAGE;
  info.nPage = static_cast<UINT>(pageSize_);
  SetScrollInfo(Handle(), SB_CTL, &info, FALSE);
  SetScrollPos(Handle(), SB_CTL, position_, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin || AMax < pageSize_) throw EInvalidOperation("Scrollbar property out of range");
  APosition = std::clamp(APosition, AMin, AMax);
  if (min_ != AMin || max_ != AMax) {
    min_ = AMin;
    max_ = AMax;
    if (HandleAllocated()) SetScrollRange(Handle(), SB_CTL, AMin, AMax, position_ == APosition);
  }
  if (position_ != APosition) {
    position_ = APosition;
    if (HandleAllocated()) SetScrollPos(Handle(), SB_CTL, position_, TRUE);
    Change();
  }
}

void TScrollBar::SetPageSize(int Value) {
  if (pageSize_ == Value || Value > max_) return;
  pageSize_ = Value;
  if (!HandleAllocated()) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_PAGE;
  info.nPage = static_cast<UINT>(std::max(0, Value));
  SetScrollInfo(Handle(), SB_CTL, &info, TRUE);
}

void TScrollBar::Change() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
  OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TMessage& Message) {
  const int code = Message.ScrollCode();
  if (code < scLineUp || code > scEndScroll) return;
  int pos = position_;
  switch (static_cast<TScrollCode>(code)) {
    case scLineUp:
      pos -= smallChange_;
      break;
    case scLineDown:
      pos += smallChange_;
      break;
    case scPageUp:
      pos -= largeChange_;
      break;
    case scPageDown:
      pos += largeChange_;
      break;
    case scPosition:
    case scTrack: {
      // The 32-bit track position, not the 16 bits the message carries.
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_ALL;
      if (HandleAllocated() && GetScrollInfo(Handle(), SB_CTL, &info))
        pos = info.nTrackPos;
      else
        pos = Message.ScrollPos();
      break;
    }
    case scTop:
      pos = min_;
      break;
    case scBottom:
      pos = max_;
      break;
    case scEndScroll:
      break;
  }
  pos = std::clamp(pos, min_, max_);
  Scroll(static_cast<TScrollCode>(code), pos);
  SetPosition(pos);
}

void TScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
      CNHScroll(Message);
      return;
    case CN_VSCROLL:
      CNVScroll(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TScrollBar::CNHScroll(TMessage& Message) {
  DoScroll(Message);
}

void TScrollBar::CNVScroll(TMessage& Message) {
  DoScroll(Message);
}

void TScrollBar::DescribeClass(TClassBuilder<TScrollBar>& c) {
  PublishControl(c, {"Align",    "Anchors",   "BiDiMode",       "Constraints", "Ctl3D",          "DragCursor",
                     "DragMode", "Enabled",   "ParentBiDiMode", "ParentCtl3D", "ParentShowHint", "PopupMenu",
                     "ShowHint", "TabOrder",  "TabStop",        "Visible",     "OnContextPopup", "OnEnter",
                     "OnExit",   "OnKeyDown", "OnKeyPress",     "OnKeyUp"});
  c.Property("Kind", &TScrollBar::Kind, &TScrollBar::SetKind);
  c.Property("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
  c.Property("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  c.Property("Min", &TScrollBar::Min, &TScrollBar::SetMin);
  c.Property("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize);
  c.Property("Position", &TScrollBar::Position, &TScrollBar::SetPosition);
  c.Property("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
  c.Property("OnChange", &TScrollBar::OnChange, [](TScrollBar& o, const TNotifyEvent& e) { o.OnChange = e; });
  c.Property("OnScroll", &TScrollBar::OnScroll, [](TScrollBar& o, const TScrollEvent& e) { o.OnScroll = e; });
}

void RegisterStdControls() {
  RegisterClasses({TEdit::StaticClass(), TMemo::StaticClass(), TListBox::StaticClass(),
                   TComboBox::StaticClass(), TButton::StaticClass(), TCheckBox::StaticClass(),
                   TRadioButton::StaticClass(), TGroupBox::StaticClass(), TLabel::StaticClass(),
                   TScrollBar::StaticClass()});
}
