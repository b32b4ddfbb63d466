// TSkinButton: push buttons painted whole from the skin's button element, and the shared paint
// frame of every button skinner; TSkinMenuButton: the same with a drop-down arrow at the right.
#include <utility>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Painting.h"
#include "skin/SkinButtons.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinButton)
RTL_IMPLEMENT_CLASS(TSkinMenuButton)

namespace {

// The arrow column of a menu button, at the right of its client area.
constexpr int kMenuButtonArrowWidth = 17;

// DrawText flags as the canvas's text formats (DT_LEFT and DT_TOP are zero).
TTextFormat ButtonTextFormatOfFlags(UINT Flags) {
  static constexpr std::pair<UINT, TTextFormats> kFlags[] = {
      {DT_CALCRECT, tfCalcRect},     {DT_CENTER, tfCenter},          {DT_RIGHT, tfRight},
      {DT_WORDBREAK, tfWordBreak},   {DT_EXPANDTABS, tfExpandTabs},  {DT_NOCLIP, tfNoClip},
      {DT_SINGLELINE, tfSingleLine}, {DT_VCENTER, tfVerticalCenter}, {DT_BOTTOM, tfBottom}};
  TTextFormat format;
  for (auto [flag, tf] : kFlags)
    if (Flags & flag) format.Include(tf);
  return format;
}

bool ButtonWindowDisabled(HWND Window) {
  return Window && (GetWindowLong(Window, GWL_STYLE) & WS_DISABLED) != 0;
}

}  // namespace

int ButtonFrame(uint8_t State, bool Focused, bool Disabled) {
  int frame = 1;
  if (Focused) frame = 4;
  if (State & kSkinPressed)
    frame = 2;
  else if (State & kSkinHot)
    frame = 4;
  if (Disabled) frame = 3;
  return frame;
}

std::string ButtonCaption(const std::string& Caption) {
  std::string text = Caption;
  const size_t at = text.find("||");
  if (at != std::string::npos) text.replace(at, 2, "\r\n");
  return text;
}

// --- TSkinButton ---------------------------------------------------------------------------------

TSkinButton::TSkinButton(TComponent* AOwner) : TSkinControl(AOwner), Buffer(std::make_unique<TBitmap>()) {}

TSkinButton::~TSkinButton() = default;

void TSkinButton::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  OwnPaint = false;
  if (Control) {
    // These libraries' buttons take the press themselves; forwarding it would press them twice.
    const std::string name = LowerCase(Control->ClassName());
    if (name.rfind("trz", 0) == 0 || name.rfind("tel", 0) == 0) OwnPaint = true;
  }
  Transparent = (Control && Control->Tag() == kSkinTransparentTag) || HasOption(xoTransparent);
}

void TSkinButton::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  TSkinControl::AttachWindow(AHandle, Data, AForm, ACanvas);
  Transparent = HasOption(xoTransparent);
}

bool TSkinButton::BeforeMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      PaintFromMessage(Message);
      return false;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Focused && Handle) SetFocus(Handle);
      State |= kSkinPressed;
      PaintWindow(0);
      if (!OwnPaint && Control) ForwardMouseDown(Message);
      return false;
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SETTEXT:
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED:
      return true;
    default:
      return TSkinControl::BeforeMessage(Message);
  }
}

void TSkinButton::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONUP:
      // Only a press that began here clicks: the press itself never reached the control.
      if (!(State & kSkinPressed)) return;
      State &= ~kSkinPressed;
      Repaint();
      Click();
      return;
    case WM_MOUSEMOVE:
      if (WindowEnabled && !(State & kSkinHot)) {
        State |= kSkinHot;
        Repaint();
      }
      if (Handle) TSkinData::SkinTrackMouseLeave(Handle);
      return;
    case WM_MOUSELEAVE:
      State &= ~(kSkinHot | kSkinPressed);
      Repaint();
      return;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (Message.WParam != VK_SPACE) return;
      if (Message.Msg == WM_KEYDOWN)
        State |= kSkinPressed;
      else
        State &= ~kSkinPressed;
      Repaint();
      return;
    case WM_SETTEXT:
      PaintWindow(0);
      return;
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED:
      Repaint();
      return;
    default:
      TSkinControl::AfterMessage(Message);
  }
}

void TSkinButton::Click() {
  if (Control) {
    Control->Click();
    return;
  }
  if (!Handle) return;
  // The class library's own button class identifies itself by handle alone.
  const WPARAM id =
      LowerCase(GetClassName(Handle)) == "tbutton" ? 0 : static_cast<WPARAM>(GetDlgCtrlID(Handle) & 0xFFFF);
  PostMessage(GetParent(Handle), WM_COMMAND, id, reinterpret_cast<LPARAM>(Handle));
}

std::string TSkinButton::CaptionText() const {
  if (TObject* object = PropertyObject()) return Utf16ToUtf8(GetWideTextProp(object, "Caption"));
  return Handle ? GetWindowText(Handle) : std::string();
}

bool TSkinButton::CaptionColour(int Frame, TColor& Colour) const {
  const TSkinElements* elements = Elements();
  const TDataSkinButton* b = elements ? elements->Buttons.get() : nullptr;
  if (Frame == 3) {
    Colour = clBtnShadow;
    return true;
  }
  if (!b) return false;
  if (Frame == 1 && b->HasNormalColour2)
    Colour = b->NormalColour2;
  else if (Frame == 4 && b->HasMouseOverColour2)
    Colour = b->MouseOverColour2;
  else if (Frame == 2 && b->HasPressedColour2)
    Colour = b->PressedColour2;
  else
    return false;
  return true;
}

bool TSkinButton::PrepareBuffer(const TRect& R) {
  const TSkinElements* elements = Elements();
  if (!elements || !elements->Buttons || elements->Buttons->Bitmap->Empty()) return false;
  if (R.Width() <= 0 || R.Height() <= 0) return false;
  Buffer->SetSize(R.Width(), R.Height());
  TCanvas* canvas = Buffer->Canvas();
  HDC dc = canvas->Handle();
  const TRect area = Rect(0, 0, R.Width(), R.Height());
  FillSkinColor(dc, area);
  if (Transparent) {
    if (GraphicControl) {
      PaintParentBackground(GraphicControl, dc);
    } else {
      TMessage erase(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      EraseFromMessage(erase);
    }
  }
  TObject* object = PropertyObject();
  MultiLine = object && LowerCase(GetPropText(object, "MultiLine")) == "true";
  return true;
}

void TSkinButton::DrawButtonFace(const TRect& R, int Frame) {
  const TDataSkinButton* b = Elements()->Buttons.get();
  DrawElement(Buffer->Canvas()->Handle(), Rect(0, 0, R.Width(), R.Height()), b->FrameCount, Frame, b);
}

void TSkinButton::SetCaptionFont(int Frame) {
  TFont* font = Buffer->Canvas()->Font();
  if (TFont* own = GetObjectPropAs<TFont>(PropertyObject(), "Font")) {
    font->Assign(own);
  } else if (Handle) {
    if (auto window = reinterpret_cast<HFONT>(SendMessage(Handle, WM_GETFONT, 0, 0))) font->SetHandle(window);
    font->SetColor(SkinTextColor());
  }
  TColor colour = 0;
  if (CaptionColour(Frame, colour)) font->SetColor(colour);
}

bool TSkinButton::BeginButtonPaint(const TRect& R, int& Frame) {
  if (Handle) {
    WindowEnabled = !ButtonWindowDisabled(Handle);
    Focused = GetFocus() == Handle;
  }
  Frame = ButtonFrame(State, Focused, !WindowEnabled);
  if (!PrepareBuffer(R)) return false;
  DrawButtonFace(R, Frame);
  SetCaptionFont(Frame);
  return true;
}

void TSkinButton::EndButtonPaint(HDC DC, const TRect& R) {
  HDC source = Buffer->Canvas()->Handle();
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), source, 0, 0, SRCCOPY);
}

void TSkinButton::DrawCaptionText(TRect& Box, const std::string& Caption, UINT Flags) {
  TCanvas* canvas = Buffer->Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextRect(Box, Caption, ButtonTextFormatOfFlags(Flags));
}

void TSkinButton::DrawFocus(const TRect& Box) {
  if (!Focused || HasOption(xoNoFocusRect)) return;
  TRect r = Box;
  InflateRect(r, 2, 2);
  TCanvas* canvas = Buffer->Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->DrawFocusRect(r);
}

void TSkinButton::DrawPlainCaption(const TRect& R) {
  const std::string caption = ButtonCaption(CaptionText());
  constexpr UINT kFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER;
  TRect box = R;
  InflateRect(box, -2, -2);
  if (!caption.empty()) DrawCaptionText(box, caption, kFlags | DT_CALCRECT | DT_NOCLIP);
  const int w = caption.empty() ? 0 : box.Width(), h = caption.empty() ? 0 : box.Height();
  const int left = R.Left + (R.Width() - w) / 2, top = R.Top + (R.Height() - h) / 2 - 1;
  box = Rect(left, top, left + w, top + h);
  if (!caption.empty()) DrawCaptionText(box, caption, kFlags);
  DrawFocus(box);
}

void TSkinButton::PaintSkin(HDC DC, const TRect& R) {
  int frame = 1;
  if (!BeginButtonPaint(R, frame)) return;
  DrawPlainCaption(Rect(0, 0, R.Width(), R.Height()));
  EndButtonPaint(DC, R);
}

// --- TSkinMenuButton -----------------------------------------------------------------------------

TSkinMenuButton::TSkinMenuButton(TComponent* AOwner) : TSkinButton(AOwner) {}

TSkinMenuButton::~TSkinMenuButton() = default;

void TSkinMenuButton::PaintSkin(HDC DC, const TRect& R) {
  int frame = 1;
  if (!BeginButtonPaint(R, frame)) return;
  const int w = R.Width(), h = R.Height();
  const std::string caption = ButtonCaption(CaptionText());
  TRect box = Rect(0, 0, w - kMenuButtonArrowWidth, h);
  InflateRect(box, -2, -2);
  if (!caption.empty()) DrawCaptionText(box, caption, DT_WORDBREAK | DT_CALCRECT);
  const int tw = caption.empty() ? 0 : box.Width(), th = caption.empty() ? 0 : box.Height();
  const int x = (w - kMenuButtonArrowWidth - tw) / 2 + 2, y = (h - th + 1) / 2;
  box = Rect(x, y, x + tw, y + th);

  const TColor ink = WindowEnabled ? clWindowText : clBtnShadow;
  TCanvas* canvas = Buffer->Canvas();
  const int c = h / 2 + 2;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(ink);
  canvas->Pen()->SetColor(ink);
  canvas->Polygon({Point(w - 12, c), Point(w - 15, c - 3), Point(w - 9, c - 3)});
  if (!WindowEnabled) canvas->Font()->SetColor(clBtnShadow);
  if (!caption.empty()) DrawCaptionText(box, caption, DT_WORDBREAK);
  DrawFocus(box);
  EndButtonPaint(DC, R);
}
