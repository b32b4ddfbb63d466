// The check-box and radio-button skinners: the state glyph from the skin's strip and, when the
// skinner paints the whole control, the caption beside it.
#include <algorithm>
#include <array>
#include <string>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Messages.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/Windows.h"
#include "skin/SkinStateControls.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinCheckBox)
RTL_IMPLEMENT_CLASS(TSkinRadioButton)

namespace check_radio_detail {

// A BM_SETCHECK value beyond any strip: keeps WParam + 1 and the disabled offset from overflowing.
constexpr WPARAM kCheckValueLimit = 1 << 16;
// The gap between the glyph and the caption box.
constexpr int kCaptionGap = 2;

// The 12-frame check strip and the 8-frame radio strip order their frames differently from the
// 4-frame one; one lookup, so a mapped number is never mapped again.
int WideStripFrame(int Frame) {
  switch (Frame) {
    case 2:
      return 5;
    case 3:
      return 4;
    case 4:
      return 8;
    default:
      return Frame;
  }
}

bool Contains(const std::string& Text, const char* Part) {
  return Text.find(Part) != std::string::npos;
}

// The published property's text lower-cased, "" when the object has no such property.
std::string LowerPropText(TObject* Object, const char* Name) {
  if (!Object || !IsPublishedProp(Object, Name)) return "";
  return LowerCase(GetPropText(Object, Name));
}

bool Publishes(TObject* Object, const char* Name) {
  return Object && IsPublishedProp(Object, Name);
}

}  // namespace check_radio_detail

int CheckBoxFrame(const TCheckFrameInput& In) {
  int frame = (In.BMState & BST_CHECKED) ? 2 : 1;
  if (In.HasControl) {
    if (!In.StateText.empty()) {
      if (check_radio_detail::Contains(In.StateText, "uncheck"))
        frame = 1;
      else if (check_radio_detail::Contains(In.StateText, "check"))
        frame = 2;
      else if (check_radio_detail::Contains(In.StateText, "gray"))
        frame = 4;
    } else if (!In.CheckedText.empty()) {
      frame = In.CheckedText == "true" ? 2 : 1;
    }
  }
  if (In.HasDataField && In.CheckState != 0) frame = In.CheckState == 3 ? 4 : In.CheckState;
  if (In.HasDataBinding) frame = 1;
  if (In.Disabled) frame += 2;
  const bool indeterminate = (In.BMState & BST_INDETERMINATE) != 0;
  if (indeterminate) frame = 4;
  if (In.Frames == 12)
    return indeterminate ? (In.Disabled ? 12 : 9) : check_radio_detail::WideStripFrame(frame);
  return frame;
}

int RadioButtonFrame(bool Checked, bool Disabled, int Frames) {
  const int frame = (Checked ? 2 : 1) + (Disabled ? 2 : 0);
  return Frames == 8 ? check_radio_detail::WideStripFrame(frame) : frame;
}

int ClampFrame(int Frame, int Frames) {
  return std::clamp(Frame, 1, std::max(Frames, 1));
}

// --- TSkinCheckBox ---------------------------------------------------------------------------------

TSkinCheckBox::TSkinCheckBox(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinCheckBox::~TSkinCheckBox() = default;

void TSkinCheckBox::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor,
                                  TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  if (!Attached) return;
  CheckState = 0;
  int frames = 0;
  OwnPaint = Control != nullptr && Strip(frames) != nullptr;
  Transparent = (Control && Control->Tag() == kSkinTransparentTag) || HasOption(xoTransparent);
}

void TSkinCheckBox::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  TSkinControl::AttachWindow(AHandle, Data, AForm, ACanvas);
  CheckState = 0;
  OwnPaint = false;
  Transparent = HasOption(xoTransparent);
}

bool TSkinCheckBox::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  if (!OwnPaint) return true;
  switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINT: {
      int frames = 0;
      // A skin without the strip: the control paints itself from now on.
      if (!Strip(frames)) {
        OwnPaint = false;
        return true;
      }
      PaintFromMessage(Message);
      return false;
    }
    case WM_ERASEBKGND:
      if (!Transparent) return true;
      EraseFromMessage(Message);
      return false;
    default:
      return true;
  }
}

void TSkinCheckBox::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case BM_SETCHECK:
      CheckState = static_cast<int>(std::min(Message.WParam, check_radio_detail::kCheckValueLimit)) + 1;
      Repaint();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case CM_EXIT:
    case kSkinRepaintStateMessage:
      Repaint();
      return;
    default:
      TSkinControl::AfterMessage(Message);
  }
}

void TSkinCheckBox::PaintSkin(HDC DC, const TRect& R) {
  PaintGlyphAndCaption(DC, R);
}

TBitmap* TSkinCheckBox::Strip(int& Frames) const {
  const TSkinElements* elements = Elements();
  if (!elements || !elements->Buttons || elements->Buttons->CheckBitmap->Empty()) return nullptr;
  Frames = std::max(elements->Buttons->CheckButtonFrame, 1);
  return elements->Buttons->CheckBitmap.get();
}

int TSkinCheckBox::StateFrame(int Frames) const {
  TObject* control = Control;
  TCheckFrameInput in;
  in.BMState = SendMessage(Handle, BM_GETSTATE, 0, 0);
  in.HasControl = control != nullptr;
  in.StateText = check_radio_detail::LowerPropText(control, "State");
  in.CheckedText = check_radio_detail::LowerPropText(control, "Checked");
  in.HasDataField = check_radio_detail::Publishes(control, "DataField");
  in.HasDataBinding = check_radio_detail::Publishes(control, "DataBinding");
  in.CheckState = CheckState;
  in.Disabled = (GetWindowLongAW(Handle, GWL_STYLE) & WS_DISABLED) != 0;
  in.Frames = Frames;
  return CheckBoxFrame(in);
}

namespace check_radio_detail {

// The caption of a check box or radio button that the skinner paints whole, in Box (the space
// beside the glyph), vertically centred in the window.
void PaintStateCaption(TSkinCheckBox& Skinner, HDC DC, const TRect& Window, const TRect& Box, bool LeftText) {
  TWinControl* control = Skinner.Control;
  std::string caption = GetWindowText(Skinner.Handle);
  if (caption.empty() && control) caption = GetPropText(control, "Caption");
  Skinner.Text = caption;

  TFont* font = control ? GetObjectPropAs<TFont>(control, "Font") : nullptr;
  HFONT fontHandle =
      font ? font->Handle() : reinterpret_cast<HFONT>(SendMessage(Skinner.Handle, WM_GETFONT, 0, 0));
  const TColor textColor = !Skinner.WindowEnabled ? clBtnShadow
                           : font                 ? font->Color()
                                                  : Skinner.SkinTextColor();

  const int oldMode = SetBkMode(DC, TRANSPARENT);
  const COLORREF oldText = SetTextColor(DC, ColorToRGB(textColor));
  const COLORREF oldBack = SetBkColor(DC, ColorToRGB(Skinner.SkinColor()));
  const HGDIOBJ oldFont = fontHandle ? SelectObject(DC, fontHandle) : nullptr;
  TScopeExit restore([&] {
    if (oldFont) SelectObject(DC, oldFont);
    SetBkColor(DC, oldBack);
    SetTextColor(DC, oldText);
    SetBkMode(DC, oldMode);
  });

  UINT flags = DT_WORDBREAK | DT_EXPANDTABS;
  if (LeftText) {
    const std::string bidi = check_radio_detail::LowerPropText(control, "BiDiMode");
    if (!bidi.empty() && bidi != "bdlefttoright") flags |= DT_RIGHT;
  }
  RECT measured = Box;
  TSkinData::SkinDrawText(DC, caption, measured, flags | DT_CALCRECT | DT_NOCLIP);
  const int textHeight = measured.Height();
  const int top = Box.Top + (Window.Height() - textHeight) / 2;
  RECT textRect{Box.Left, top, Box.Right, top + textHeight};

  Skinner.Focused = Skinner.Handle && GetFocus() == Skinner.Handle;
  if (Skinner.Focused) Skinner.DrawTextFocus(DC, textRect, flags);
  TSkinData::SkinDrawText(DC, caption, textRect, flags);
}

}  // namespace check_radio_detail

void TSkinCheckBox::PaintGlyphAndCaption(HDC DC, const TRect& R) {
  int frames = 0;
  TBitmap* strip = Strip(frames);
  if (!strip) {
    OwnPaint = false;
    return;
  }
  const LONG_PTR style = GetWindowLongAW(Handle, GWL_STYLE);
  WindowEnabled = (style & WS_DISABLED) == 0;
  const int glyphWidth = strip->Width() / frames, glyphHeight = strip->Height();
  const int top = R.Top + (R.Height() - glyphHeight) / 2;
  const bool leftText = (style & BS_LEFTTEXT) != 0;
  TRect glyph, captionBox;
  if (leftText) {
    const int right = R.Right - RightInset();
    glyph = Rect(right - glyphWidth, top, right, top + glyphHeight);
    captionBox = Rect(R.Left, R.Top, glyph.Left - check_radio_detail::kCaptionGap, R.Bottom);
  } else {
    glyph = Rect(R.Left, top, R.Left + glyphWidth, top + glyphHeight);
    captionBox = Rect(glyph.Right + check_radio_detail::kCaptionGap, R.Top, R.Right, R.Bottom);
  }

  if (OwnPaint && !Transparent) FillSkinColor(DC, R);
  DrawFrameTransparent(DC, glyph, strip, frames, ClampFrame(StateFrame(frames), frames));
  if (OwnPaint) check_radio_detail::PaintStateCaption(*this, DC, R, captionBox, leftText);
}

// --- TSkinRadioButton ------------------------------------------------------------------------------

TSkinRadioButton::TSkinRadioButton(TComponent* AOwner) : TSkinCheckBox(AOwner) {}

TSkinRadioButton::~TSkinRadioButton() = default;

void TSkinRadioButton::AfterMessage(TMessage& Message) {
  if (Message.Msg == BM_SETCHECK) {
    Repaint();
    return;
  }
  TSkinCheckBox::AfterMessage(Message);
}

TBitmap* TSkinRadioButton::Strip(int& Frames) const {
  const TSkinElements* elements = Elements();
  if (!elements || !elements->Buttons || elements->Buttons->RadioBitmap->Empty()) return nullptr;
  Frames = std::max(elements->Buttons->RadioButtonFrame, 1);
  return elements->Buttons->RadioBitmap.get();
}

int TSkinRadioButton::StateFrame(int Frames) const {
  // A control of the class library answers by its Checked alone (none published: unchecked).
  const bool checked = Control ? LowerCase(GetPropText(Control, "Checked")) == "true"
                               : SendMessage(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
  const bool disabled = (GetWindowLongAW(Handle, GWL_STYLE) & WS_DISABLED) != 0;
  return RadioButtonFrame(checked, disabled, Frames);
}
