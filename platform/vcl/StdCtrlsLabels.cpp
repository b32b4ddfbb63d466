// TCustomLabel / TLabel (a graphic control) and TCustomGroupBox / TGroupBox (a container that
// paints its own caption and frame).
#include <algorithm>

#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrlsItems.h"
#include "platform/win/Painting.h"

using vcl_detail::CanvasDrawText;

RTL_IMPLEMENT_CLASS(TCustomGroupBox)
RTL_IMPLEMENT_CLASS(TGroupBox)
RTL_IMPLEMENT_CLASS(TCustomLabel)
RTL_IMPLEMENT_CLASS(TLabel)

// --- TCustomGroupBox -------------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks, csReplicatable});
  SetBounds(Left(), Top(), 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

namespace {

// Measured on the screen, so a group box lays out its children before it has a window.
int TextHeightOf(TFont* Font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  SIZE size{};
  GetTextExtentPoint32(dc, "0", &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cy;
}

}  // namespace

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  Rect.Top += TextHeightOf(Font());
  const int inset = Ctl3D() ? 2 : 1;
  Rect.Left += inset;
  Rect.Top += inset;
  Rect.Right -= inset;
  Rect.Bottom -= inset;
}

void TCustomGroupBox::Paint() {
  TCanvas* c = Canvas();
  c->SetFont(Font());
  const int h = c->TextHeight("0");
  TRect r{0, h / 2 - 1, Width(), Height()};
  if (Ctl3D()) {
    // The etched frame: a highlight line under a shadow line one pixel up and left.
    r.Left += 1;
    r.Top += 1;
    c->Brush()->SetColor(clBtnHighlight);
    c->FrameRect(r);
    r = TRect{r.Left - 1, r.Top - 1, r.Right - 1, r.Bottom - 1};
    c->Brush()->SetColor(clBtnShadow);
  } else {
    c->Brush()->SetColor(clWindowFrame);
  }
  c->FrameRect(r);
  const std::string text = Text();
  if (text.empty()) return;
  TRect t{8, 0, 0, h};
  CanvasDrawText(c, t, text, DT_SINGLELINE | DT_CALCRECT);
  c->Brush()->SetColor(Color());
  CanvasDrawText(c, t, text, DT_SINGLELINE);
}

void TCustomGroupBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    SelectFirst();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
  Realign();
}

void TCustomGroupBox::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  Realign();
}

void TGroupBox::DescribeClass(TClassBuilder<TGroupBox>& c) {
  PublishControl(
      c, {"Align",          "Anchors",     "BiDiMode",    "Caption",     "Color",          "Constraints",
          "Ctl3D",          "DragCursor",  "DragMode",    "Enabled",     "Font",           "ParentBackground",
          "ParentBiDiMode", "ParentColor", "ParentCtl3D", "ParentFont",  "ParentShowHint", "PopupMenu",
          "ShowHint",       "TabOrder",    "TabStop",     "Visible",     "OnClick",        "OnContextPopup",
          "OnDblClick",     "OnEnter",     "OnExit",      "OnMouseDown", "OnMouseMove",    "OnMouseUp"});
}

// --- TCustomLabel ----------------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csOpaque + csReplicatable);
  SetBounds(Left(), Top(), 65, 17);
}

std::string TCustomLabel::GetLabelText() {
  return Caption();
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  std::string text = GetLabelText();
  // An empty caption still measures one blank line.
  if ((Flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
  if (!showAccelChar_) Flags |= DT_NOPREFIX;
  TCanvas* c = Canvas();
  c->SetFont(Font());
  if (!Enabled()) {
    TRect shifted{Rect.Left + 1, Rect.Top + 1, Rect.Right + 1, Rect.Bottom + 1};
    c->Font()->SetColor(clBtnHighlight);
    CanvasDrawText(c, shifted, text, Flags);
    c->Font()->SetColor(clBtnShadow);
  }
  CanvasDrawText(c, Rect, text, Flags);
}

void TCustomLabel::Paint() {
  static constexpr UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  TCanvas* c = Canvas();
  if (!Transparent()) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->FillRect(ClientRect());
  }
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  TRect rect = ClientRect();
  const UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | kAlignments[alignment_];
  if (layout_ != tlTop) {
    TRect calc = rect;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int offset = layout_ == tlBottom ? Height() - calc.Bottom : (Height() - calc.Bottom) / 2;
    rect.Top += offset;
    rect.Bottom += offset;
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) return;
  TRect rect = ClientRect();
  HDC dc = GetDC(nullptr);
  Canvas()->SetHandle(dc);
  DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  Canvas()->SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  int x = Left();
  if (alignment_ == taRightJustify) x += Width() - rect.Right;
  SetBounds(x, Top(), rect.Right, rect.Bottom);
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

void TCustomLabel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR) {
    CMDialogChar(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomLabel::CMDialogChar(TMessage& Message) {
  if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(Message.CharCode(), Caption()) &&
      focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    Message.Result = 1;
  }
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (focusControl_ == Value) return;
  focusControl_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (showAccelChar_ == Value) return;
  showAccelChar_ = Value;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  SetControlStyle(Value ? ControlStyle() - csOpaque : ControlStyle() + csOpaque);
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  AdjustBounds();
  Invalidate();
}

void TLabel::DescribeClass(TClassBuilder<TLabel>& c) {
  PublishControl(
      c, {"Align",          "Anchors",        "BiDiMode",    "Caption",     "Color",          "Constraints",
          "DragCursor",     "DragMode",       "Enabled",     "Font",        "ParentBiDiMode", "ParentColor",
          "ParentFont",     "ParentShowHint", "PopupMenu",   "ShowHint",    "Visible",        "OnClick",
          "OnContextPopup", "OnDblClick",     "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  c.Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment);
  c.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(1);
  c.Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  c.Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout);
  c.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(1);
  c.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  c.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
}
