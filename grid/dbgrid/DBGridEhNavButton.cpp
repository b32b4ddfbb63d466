// The navigator's buttons: their faces (classic, flat or themed), the glyph from the image lists
// (also over a face a skin paints) and the auto-repeat of Prior and Next while held.
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TNavButtonEh)
RTL_IMPLEMENT_CLASS(TNavFindButtonEh)

namespace {

// A held button repeats after the first pause, then at the shorter interval.
constexpr Cardinal kNavRepeatPause = 400;
constexpr Cardinal kNavRepeatInterval = 100;

int ToolBarThemeState(bool Enabled, bool Pressed, bool Hot) {
  if (!Enabled) return TS_DISABLED;
  if (Pressed) return TS_PRESSED;
  return Hot ? TS_HOT : TS_NORMAL;
}

}  // namespace

TNavButtonEh::TNavButtonEh(TComponent* AOwner) : TSpeedButton(AOwner) {
  SetColor(clMenu);
}

TNavButtonEh::~TNavButtonEh() {
  StopRepeat();
}

void TNavButtonEh::SetGlyphIndex(int Value) {
  if (glyphIndex_ == Value) return;
  glyphIndex_ = Value;
  Invalidate();
}

void TNavButtonEh::SetImages(TCustomImageList* Enabled, TCustomImageList* Disabled) {
  if (enabledImages_ == Enabled && disabledImages_ == Disabled) return;
  enabledImages_ = Enabled;
  disabledImages_ = Disabled;
  Invalidate();
}

// --- painting ------------------------------------------------------------------------------------

void TNavButtonEh::DrawFaceOf(TCanvas* ACanvas, const TRect& ARect) {
  const bool pressed = FState == bsDown || FState == bsExclusive;
  const bool hot = FMouseInControl && Enabled();
  HDC dc = ACanvas->Handle();
  if (ThemesEnabled()) {
    if (HTHEME theme = OpenThemeData(nullptr, "TOOLBAR")) {
      // A tool-bar button in its normal state has no fill of its own.
      ACanvas->Brush()->SetColor(Color());
      ACanvas->FillRect(ARect);
      DrawThemeBackground(theme, dc, TP_BUTTON, ToolBarThemeState(Enabled(), pressed, hot), &ARect, nullptr);
      CloseThemeData(theme);
      return;
    }
  }
  TRect face = ARect;
  if (!Flat()) {
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    return;
  }
  ACanvas->Brush()->SetColor(Color());
  ACanvas->FillRect(face);
  if (pressed || hot) DrawEdge(dc, &face, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void TNavButtonEh::Paint() {
  SyncStateWithEnabled();
  TCanvas* canvas = Canvas();
  DrawFaceOf(canvas, ClientRect());
  DrawGlyphAndFocus(canvas);
}

bool TNavButtonEh::PaintContentOverFace(TCanvas* ACanvas) {
  SyncStateWithEnabled();
  DrawGlyphAndFocus(ACanvas);
  return true;
}

void TNavButtonEh::DrawGlyphAndFocus(TCanvas* ACanvas) {
  const TRect r = ClientRect();
  // The disabled look comes from its own list when there is one, else the list greys it.
  TCustomImageList* images = Enabled() || !disabledImages_ ? enabledImages_ : disabledImages_;
  if (images && glyphIndex_ >= 0 && glyphIndex_ < images->Count()) {
    const int shift = FState == bsDown ? 1 : 0;
    const int x = r.Left + (r.Width() - images->Width()) / 2 + shift;
    const int y = r.Top + (r.Height() - images->Height()) / 2 + shift;
    images->Draw(ACanvas, x, y, glyphIndex_, Enabled() || disabledImages_ != nullptr);
  }
  // The keyboard's button while the navigator has the focus.
  auto* navigator = dynamic_cast<TDBGridEhNavigatorPanel*>(Parent());
  if (navigator && navigator->Focused() && navigator->FocusedButton() == static_cast<int>(kind_)) {
    TRect focus = r;
    InflateRect(focus, -3, -3);
    ACanvas->DrawFocusRect(focus);
  }
}

// --- clicks and the auto-repeat ------------------------------------------------------------------

void TNavButtonEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (!repeatClick_ || Button != mbLeft || !Enabled() || !FDragging) return;
  if (!repeatTimer_) {
    repeatTimer_ = std::make_unique<TTimer>(nullptr);
    repeatTimer_->SetEnabled(false);
    repeatTimer_->OnTimer = TNotifyEvent::Method(this, &TNavButtonEh::RepeatTimerTick);
  }
  repeatTimer_->SetInterval(kNavRepeatPause);
  repeatTimer_->SetEnabled(true);
  pressActed_ = true;
  TScopeFail stop([this] { StopRepeat(); });
  Click();
}

void TNavButtonEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  StopRepeat();
  TValueRestorer<bool> skipClick(releaseWithoutClick_, pressActed_);
  pressActed_ = false;
  inherited::MouseUp(Button, Shift, X, Y);
}

void TNavButtonEh::Click() {
  if (releaseWithoutClick_) return;
  inherited::Click();
}

void TNavButtonEh::RepeatTimerTick(TObject*) {
  repeatTimer_->SetInterval(kNavRepeatInterval);
  if (FState != bsDown || !MouseCapture()) return;
  // An action that fails ends the repeat; the error goes on to the caller.
  TScopeFail stop([this] { StopRepeat(); });
  Click();
}

void TNavButtonEh::StopRepeat() {
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}
