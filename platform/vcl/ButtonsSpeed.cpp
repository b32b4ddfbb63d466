// TSpeedButton: a windowless button with a glyph, groups of exclusive buttons and flat hot
// tracking.
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"

RTL_IMPLEMENT_CLASS(TSpeedButton)
RTL_IMPLEMENT_CLASS(TSpeedButtonActionLink)

namespace {
TCustomAction* AsCustomAction(TBasicAction* Action) {
  return dynamic_cast<TCustomAction*>(Action);
}
}  // namespace

bool TSpeedButtonActionLink::IsCheckedLinked() {
  auto* button = dynamic_cast<TSpeedButton*>(Client());
  TCustomAction* action = AsCustomAction(Action());
  return inherited::IsCheckedLinked() && button && action && button->GroupIndex() != 0 &&
         button->AllowAllUp() && button->Down() == action->Checked();
}

bool TSpeedButtonActionLink::IsGroupIndexLinked() {
  auto* button = dynamic_cast<TSpeedButton*>(Client());
  TCustomAction* action = AsCustomAction(Action());
  return button && action && button->GroupIndex() == action->GroupIndex();
}

void TSpeedButtonActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) static_cast<TSpeedButton*>(Client())->SetDown(Value);
}

void TSpeedButtonActionLink::SetGroupIndex(int Value) {
  if (IsGroupIndexLinked()) static_cast<TSpeedButton*>(Client())->SetGroupIndex(Value);
}

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), glyph_(std::make_unique<TButtonGlyph>()) {
  glyph_->OnChange = TNotifyEvent::Method(this, &TSpeedButton::GlyphChanged);
  SetBounds(0, 0, 23, 22);
  SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks});
  SetParentFont(true);
  SetColor(clBtnFace);
}

TSpeedButton::~TSpeedButton() {
  glyph_->OnChange = nullptr;
}

void TSpeedButton::DescribeClass(TClassBuilder<TSpeedButton>& c) {
  PublishControl(c, {"Action", "Align", "Anchors", "BiDiMode", "Caption", "Constraints", "Enabled", "Font",
                     "ParentFont", "ParentShowHint", "ParentBiDiMode", "PopupMenu", "ShowHint", "Visible",
                     "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  c.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(0);
  c.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  c.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(0);
  c.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(0);
  c.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  c.Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
  c.Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
  c.Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
  c.Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
  c.Property("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(1);
}

// --- properties --------------------------------------------------------------------------------------

void TSpeedButton::SetGlyph(TBitmap* Value) {
  glyph_->SetGlyph(Value);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
  if (Value < 1 || Value > 4) Value = 1;
  if (Value == glyph_->NumGlyphs()) return;
  glyph_->SetNumGlyphs(Value);
  Invalidate();
}

void TSpeedButton::GlyphChanged(TObject*) {
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
  if (Value < -1 || margin_ == Value) return;
  margin_ = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
  if (spacing_ == Value) return;
  spacing_ = Value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  SetControlStyle(Value ? ControlStyle() - csOpaque : ControlStyle() + csOpaque);
  Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
  if (groupIndex_ == Value) return;
  groupIndex_ = Value;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (allowAllUp_ == Value) return;
  allowAllUp_ = Value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
  if (groupIndex_ == 0) Value = false;
  if (Value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = Value;
  if (Value) {
    if (FState == bsUp) Invalidate();
    FState = bsExclusive;
  } else {
    FState = bsUp;
    Repaint();
  }
  if (Value) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage msg(CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this));
  Parent()->Broadcast(msg);
}

// --- painting ----------------------------------------------------------------------------------------

TRect TSpeedButton::DrawFace(TCanvas* Canvas) {
  TRect paintRect = Rect(0, 0, Width(), Height());
  const bool pressed = FState == bsDown || FState == bsExclusive;
  if (!flat_) {
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (pressed) flags |= DFCS_PUSHED;
    DrawFrameControl(Canvas->Handle(), &paintRect, DFC_BUTTON, flags);
  } else {
    if (pressed || (FMouseInControl && FState != bsDisabled)) {
      DrawEdge(Canvas->Handle(), &paintRect, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
               (transparent_ ? 0 : BF_MIDDLE) | BF_RECT);
    } else if (!transparent_) {
      Canvas->Brush()->SetColor(Color());
      Canvas->Brush()->SetStyle(bsSolid);
      Canvas->FillRect(paintRect);
    }
    InflateRect(paintRect, -1, -1);
  }
  // A button held down by its group shows the checkered face (not while a flat one is hot).
  if (FState == bsExclusive && (!flat_ || !FMouseInControl)) {
    TBitmap pattern;
    pattern.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? clBtnHighlight : clBtnFace);
    HBRUSH brush = CreatePatternBrush(pattern.Handle());
    ::FillRect(Canvas->Handle(), &paintRect, brush);
    DeleteObject(brush);
  }
  return paintRect;
}

TRect TSpeedButton::DrawButtonContent(TCanvas* Canvas, const TRect& PaintRect, const TPoint& Offset) {
  return glyph_->Draw(Canvas, PaintRect, Offset, Caption(), layout_, margin_, spacing_, FState, transparent_,
                      0);
}

void TSpeedButton::SyncStateWithEnabled() {
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = down_ && groupIndex_ != 0 ? bsExclusive : bsUp;
  }
}

bool TSpeedButton::PaintContentOverFace(TCanvas*) {
  return false;
}

void TSpeedButton::Paint() {
  SyncStateWithEnabled();
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  const TRect paintRect = DrawFace(canvas);
  const bool pressed = FState == bsDown || FState == bsExclusive;
  DrawButtonContent(canvas, paintRect, pressed ? TPoint{1, 1} : TPoint{0, 0});
}

// --- mouse -------------------------------------------------------------------------------------------

void TSpeedButton::UpdateTracking() {
  if (!flat_ || !Enabled()) return;
  POINT p{};
  GetCursorPos(&p);
  // Start from the opposite so that the message below finds a change to make.
  FMouseInControl = FindDragTarget(p, true) != this;
  Perform(FMouseInControl ? CM_MOUSELEAVE : CM_MOUSEENTER, 0, 0);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!down_) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FDragging) {
    TButtonState newState = down_ ? bsExclusive : bsUp;
    if (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight()) newState = down_ ? bsExclusive : bsDown;
    if (newState != FState) {
      FState = newState;
      Invalidate();
    }
  } else if (!FMouseInControl) {
    UpdateTracking();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  const bool doClick = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
  if (groupIndex_ == 0) {
    FState = bsUp;
    FMouseInControl = false;
    Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    if (down_) Repaint();
  } else {
    if (down_) FState = bsExclusive;
    Repaint();
  }
  if (doClick) Click();
  UpdateTracking();
}

TClass TSpeedButton::GetActionLinkClass() const {
  return TSpeedButtonActionLink::StaticClass();
}

void TSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  inherited::ActionChange(Sender, CheckDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
    if (CheckDefaults || groupIndex_ == 0) SetGroupIndex(action->GroupIndex());
    SetDown(action->Checked());
  }
}

void TSpeedButton::Loaded() {
  inherited::Loaded();
  // Make the image of the state the button starts in.
  glyph_->StateImage(Enabled() ? bsUp : bsDisabled);
}

// --- messages ----------------------------------------------------------------------------------------

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED:
      CMButtonPressed(Message);
      break;
    case CM_DIALOGCHAR:
      CMDialogChar(Message);
      break;
    case CM_SYSCOLORCHANGE:
      CMSysColorChange(Message);
      break;
    default:
      inherited::Dispatch(Message);
  }
}

void TSpeedButton::WMLButtonDblClk(TMessage& Message) {
  inherited::WMLButtonDblClk(Message);
  if (down_) DblClick();
}

void TSpeedButton::CMButtonPressed(TMessage& Message) {
  if (Message.WParam != static_cast<WPARAM>(groupIndex_)) return;
  auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
  if (sender == this) return;
  if (sender->Down() && down_) {
    down_ = false;
    FState = bsUp;
    if (auto* action = dynamic_cast<TCustomAction*>(Action())) action->SetChecked(false);
    Invalidate();
  }
  allowAllUp_ = sender->AllowAllUp();
}

void TSpeedButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
    Click();
    Message.Result = 1;
  } else {
    inherited::Dispatch(Message);
  }
}

void TSpeedButton::CMSysColorChange(TMessage&) {
  glyph_->Invalidate();
  Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  UpdateTracking();
  Repaint();
}

void TSpeedButton::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
  inherited::CMMouseEnter(Message);
  if (flat_ && !FMouseInControl && Enabled() && GetCapture() == nullptr) {
    FMouseInControl = true;
    Repaint();
  }
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  if (flat_ && FMouseInControl && Enabled() && !FDragging) {
    FMouseInControl = false;
    Invalidate();
  }
}

void RegisterButtonsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TSpeedButton::StaticClass(), TBitBtn::StaticClass()});
}

namespace {
const bool registered = (RegisterButtonsClasses(), true);
}  // namespace
