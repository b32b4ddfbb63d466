// The media player's buttons: layout, plain painting and the press-and-release click.
#include "platform/vcl/MPlayer.h"

#include "platform/gdi/Gdi.h"

RTL_IMPLEMENT_CLASS(TMediaPlayer)

TMediaPlayer::TMediaPlayer(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(Left(), Top(), 253, 30);
}

void TMediaPlayer::DescribeClass(TClassBuilder<TMediaPlayer>& c) {
  PublishControl(c, {"Anchors", "Enabled", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop",
                     "Visible", "OnEnter", "OnExit"});
  c.Property("ColoredButtons", &TMediaPlayer::ColoredButtons, &TMediaPlayer::SetColoredButtons)
      .Default(AllMPButtons().ToBits());
  c.Property("EnabledButtons", &TMediaPlayer::EnabledButtons, &TMediaPlayer::SetEnabledButtons)
      .Default(AllMPButtons().ToBits());
  c.Property("VisibleButtons", &TMediaPlayer::VisibleButtons, &TMediaPlayer::SetVisibleButtons)
      .Default(AllMPButtons().ToBits());
  c.Property(
      "OnClick", [](const TMediaPlayer& p) -> const TMPBtnClickEvent& { return p.OnClick; },
      [](TMediaPlayer& p, const TMPBtnClickEvent& e) { p.OnClick = e; });
}

void TMediaPlayer::SetVisibleButtons(TButtonSet Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Invalidate();
}

void TMediaPlayer::SetEnabledButtons(TButtonSet Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Invalidate();
}

void TMediaPlayer::SetColoredButtons(TButtonSet Value) {
  if (colored_ == Value) return;
  colored_ = Value;
  Invalidate();
}

int TMediaPlayer::SlotWidth() {
  const int count = static_cast<int>(visible_.Count());
  return count == 0 ? 0 : ClientWidth() / count;
}

bool TMediaPlayer::ButtonAt(int X, TMPBtnType& Button) {
  const int width = SlotWidth();
  if (width <= 0 || X < 0) return false;
  int left = 0;
  for (int i = 0; i < kMPButtonCount; ++i) {
    const auto b = static_cast<TMPBtnType>(i);
    if (!visible_.Contains(b)) continue;
    if (X < left + width) {
      Button = b;
      return true;
    }
    left += width;
  }
  return false;
}

TRect TMediaPlayer::ButtonRect(TMPBtnType Button) {
  const int width = SlotWidth();
  if (!visible_.Contains(Button)) return TRect{};
  int left = 0;
  for (int i = 0; i < static_cast<int>(Button); ++i)
    if (visible_.Contains(static_cast<TMPBtnType>(i))) left += width;
  return TRect{left, 0, left + width, ClientHeight()};
}

bool TMediaPlayer::PressedButton(TMPBtnType& Button) const {
  if (pressed_ < 0) return false;
  Button = static_cast<TMPBtnType>(pressed_);
  return true;
}

void TMediaPlayer::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  for (int i = 0; i < kMPButtonCount; ++i) {
    const auto b = static_cast<TMPBtnType>(i);
    if (!visible_.Contains(b)) continue;
    RECT r = ButtonRect(b);
    UINT state = DFCS_BUTTONPUSH;
    if (pressed_ == i) state |= DFCS_PUSHED;
    if (!enabled_.Contains(b) || !Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(canvas->Handle(), &r, DFC_BUTTON, state);
  }
}

void TMediaPlayer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TMPBtnType b;
  if (!ButtonAt(X, b) || !enabled_.Contains(b)) return;
  pressed_ = static_cast<int>(b);
  Invalidate();
}

void TMediaPlayer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || pressed_ < 0) return;
  const int was = pressed_;
  pressed_ = -1;
  Invalidate();
  TMPBtnType b;
  if (ButtonAt(X, b) && static_cast<int>(b) == was && Y >= 0 && Y < ClientHeight()) Click(b);
}

void TMediaPlayer::Click(TMPBtnType Button) {
  bool doDefault = true;
  if (OnClick) OnClick(this, Button, doDefault);
}

void RegisterMPlayerClasses() {
  RegisterClasses({TMediaPlayer::StaticClass()});
}

namespace {
// Descriptions can name the class as soon as the program starts.
const bool mediaPlayerRegistered = (RegisterMPlayerClasses(), true);
}  // namespace
