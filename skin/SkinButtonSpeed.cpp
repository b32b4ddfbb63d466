// TSkinSpeedButton: windowless speed buttons. The skinner sits in the graphic control's
// WindowProc (there is no window of its own) and paints onto the parent's surface through a
// control canvas.
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Messages.h"
#include "skin/SkinButtons.h"

RTL_IMPLEMENT_CLASS(TSkinSpeedButton)

namespace {

bool SpeedPropIsTrue(TObject* Object, const char* Name) {
  return LowerCase(GetPropText(Object, Name)) == "true";
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
  if (!glyph || glyph->Empty())
    DrawPlainCaption(client);
  else
    PaintGlyphAndCaption(client, frame, true);
  EndButtonPaint(DC, R);
}
