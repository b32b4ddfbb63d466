// TSkinSpeedButton: windowless speed buttons. The skinner sits in the graphic control's
// WindowProc (there is no window of its own) and paints onto the parent's surface through a
// control canvas.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Messages.h"
#include "skin/SkinButtons.h"

RTL_IMPLEMENT_CLASS(TSkinSpeedButton)

namespace {

// Glyph ink whose contrast with the face behind it stays below this is not readable (the usual
// minimum for the parts of a control a user must see).
constexpr double kMinGlyphContrast = 3.0;

bool SpeedPropIsTrue(TObject* Object, const char* Name) {
  return LowerCase(GetPropText(Object, Name)) == "true";
}

// Relative luminance (0 black .. 1 white) of a pixel's sRGB channels.
double PixelLuminance(const uint8_t* Bgr) {
  const auto linear = [](uint8_t Channel) {
    const double c = Channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(Bgr[2]) + 0.7152 * linear(Bgr[1]) + 0.0722 * linear(Bgr[0]);
}

// Over holds Face with a button's content drawn on it; the pixels that differ are its ink. Ink
// that does not stand out from the face under it, on the average, is drawn in Ink instead.
void KeepGlyphReadable(TBitmap& Face, TBitmap& Over, TColor Ink) {
  Face.SetPixelFormat(pf32bit);
  Over.SetPixelFormat(pf32bit);
  const int w = Over.Width(), h = Over.Height();
  double inkLight = 0, faceLight = 0;
  int count = 0;
  for (int y = 0; y < h; ++y) {
    const auto* face = static_cast<const uint8_t*>(Face.ScanLine(y));
    const auto* over = static_cast<const uint8_t*>(Over.ScanLine(y));
    for (int x = 0; x < w * 4; x += 4) {
      if (std::memcmp(face + x, over + x, 3) == 0) continue;
      inkLight += PixelLuminance(over + x);
      faceLight += PixelLuminance(face + x);
      ++count;
    }
  }
  if (count == 0) return;
  const double lighter = std::max(inkLight, faceLight) / count,
               darker = std::min(inkLight, faceLight) / count;
  if ((lighter + 0.05) / (darker + 0.05) >= kMinGlyphContrast) return;
  const COLORREF rgb = ColorToRGB(Ink);
  const uint8_t bgr[3] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
  for (int y = 0; y < h; ++y) {
    const auto* face = static_cast<const uint8_t*>(Face.ScanLine(y));
    auto* over = static_cast<uint8_t*>(Over.ScanLine(y));
    for (int x = 0; x < w * 4; x += 4)
      if (std::memcmp(face + x, over + x, 3) != 0) std::memcpy(over + x, bgr, 3);
  }
}

}  // namespace

TSkinSpeedButton::TSkinSpeedButton(TComponent* AOwner) : TSkinBitButton(AOwner) {}

TSkinSpeedButton::~TSkinSpeedButton() = default;

void TSkinSpeedButton::AttachGraphic(TWinSkinForm* AForm, TSkinData* Data, TCanvas* ACanvas) {
  auto* owner = dynamic_cast<TControl*>(Owner());
  if (Attached || !owner) return;
  Form = AForm;
  SkinData = Data;
  Canvas = ACanvas;
  GraphicControl = owner;
  OldWindowProc = owner->WindowProc();
  owner->SetWindowProc(TWndMethod::Method(this, &TSkinControl::WindowProcedure));
  RegisterWithForm();
  Transparent = owner->Tag() == kSkinTransparentTag || HasOption(xoTransparent);
  Attached = true;
  Lifecycle = kSkinnerAttached;
  owner->Invalidate();
}

void TSkinSpeedButton::UnhookGraphic() {
  if (GraphicControl && OldWindowProc) GraphicControl->SetWindowProc(OldWindowProc);
  OldWindowProc = nullptr;
}

bool TSkinSpeedButton::BeforeMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      // The parent's DC, already at the control's origin and clipped to it.
      if (Message.WParam && GraphicControl)
        PaintSkin(reinterpret_cast<HDC>(Message.WParam),
                  Rect(0, 0, GraphicControl->Width(), GraphicControl->Height()));
      Message.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      CallDefault(Message);
      State |= kSkinPressed;
      PaintWindow(0);
      return false;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case WM_NCDESTROY:
    case CM_RELEASE:
      return true;
    default:
      return TSkinButton::BeforeMessage(Message);
  }
}

void TSkinSpeedButton::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      State |= kSkinHot;
      PaintWindow(0);
      return;
    case CM_MOUSELEAVE:
      State &= ~(kSkinHot | kSkinPressed);
      if (GraphicControl && GraphicControl->Visible()) PaintWindow(0);
      return;
    case WM_LBUTTONUP:
      State &= ~kSkinPressed;
      PaintWindow(0);
      return;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (Message.WParam != VK_SPACE) return;
      if (Message.Msg == WM_KEYDOWN)
        State |= kSkinPressed;
      else
        State &= ~kSkinPressed;
      PaintWindow(0);
      return;
    case WM_NCDESTROY:
    case CM_RELEASE:
      UnhookGraphic();
      return;
    default:
      TSkinButton::AfterMessage(Message);
  }
}

void TSkinSpeedButton::PaintWindow(HDC DC) {
  TControl* control = GraphicControl;
  if (!control) return;
  const TRect area = Rect(0, 0, control->Width(), control->Height());
  if (DC) {
    PaintSkin(DC, area);
    return;
  }
  // A control canvas paints onto the parent's window: only for a shown control.
  if (!control->Visible() || !control->Parent() || !control->Parent()->HandleAllocated()) return;
  TControlCanvas canvas;
  canvas.SetControl(control);
  PaintSkin(canvas.Handle(), area);
}

int TSkinSpeedButton::SpeedFrame() const {
  TObject* object = PropertyObject();
  int frame = 1;
  if (State & kSkinPressed)
    frame = 2;
  else if (State & kSkinHot)
    frame = 4;
  if (!SpeedPropIsTrue(object, "Enabled")) frame = 3;
  // A down button shows pressed even when disabled.
  if (SpeedPropIsTrue(object, "Down")) frame = 2;
  return frame;
}

void TSkinSpeedButton::PaintSkin(HDC DC, const TRect& R) {
  if (Painting) return;
  Painting = true;
  TScopeExit done([this] { Painting = false; });
  const int frame = SpeedFrame();
  if (!PrepareBuffer(R)) return;
  TObject* object = PropertyObject();
  // A flat button at rest shows only its background.
  if (frame == 2 || frame == 4 || !SpeedPropIsTrue(object, "Flat")) DrawButtonFace(R, frame);
  SetCaptionFont(frame);
  const TRect client = Rect(0, 0, R.Width(), R.Height());
  auto* glyph = GetObjectPropAs<TBitmap>(object, "Glyph");
  auto* button = dynamic_cast<TSpeedButton*>(GraphicControl);
  if (!button || !PaintButtonContent(*button)) {
    if (!glyph || glyph->Empty())
      DrawPlainCaption(client);
    else
      PaintGlyphAndCaption(client, frame, true);
  }
  EndButtonPaint(DC, R);
}

// A button whose glyph is not its Glyph (image lists, a sign of its own) draws it over the skin's
// face itself, where it shows it bare, its signs in the caption colour; a glyph lost on the
// skin's face (a dark one on a dark skin) takes the caption colour.
bool TSkinSpeedButton::PaintButtonContent(TSpeedButton& Button) {
  TBitmap over;
  CopyBitmap(Buffer.get(), &over);
  over.Canvas()->Font()->Assign(Buffer->Canvas()->Font());
  if (!Button.PaintContentOverFace(over.Canvas())) return false;
  KeepGlyphReadable(*Buffer, over, Buffer->Canvas()->Font()->Color());
  BitBlt(Buffer->Canvas()->Handle(), 0, 0, over.Width(), over.Height(), over.Canvas()->Handle(), 0, 0,
         SRCCOPY);
  return true;
}
