// The small skinners: size grips in the skin colour, dialog boxes whose background and static
// texts take the skin colour, and check-box and radio-button look-alikes that draw their own
// glyphs from pictures the skinner fills from the skin's strips.
#include <algorithm>
#include <memory>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/ControlClasses.h"
#include "skin/SkinRangeControls.h"
#include "skin/SkinStateControls.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinSizer)
RTL_IMPLEMENT_CLASS(TSkinBoxH)
RTL_IMPLEMENT_CLASS(TSkinObjImage)

namespace small_skinners {

constexpr int kCheckGlyphs = 1;
constexpr int kRadioGlyphs = 2;
constexpr int kPropertiesGlyph = 3;

// The look-alikes' strips hold four glyphs: unchecked, checked, then both disabled.
constexpr int kStripGlyphs = 4;

// A bitmap property, or the bitmap of a picture property; nullptr when there is neither.
TBitmap* BitmapProp(TObject* Object, const char* Name) {
  if (!Object) return nullptr;
  if (auto* bitmap = GetObjectPropAs<TBitmap>(Object, Name)) return bitmap;
  if (auto* picture = GetObjectPropAs<TPicture>(Object, Name)) return picture->Bitmap();
  return nullptr;
}

// The skin's frame for one glyph of the look-alike's strip.
int SkinFrameFor(bool Radio, bool Checked, bool Disabled, int Frames) {
  if (Radio) return ClampFrame(RadioButtonFrame(Checked, Disabled, Frames), Frames);
  TCheckFrameInput in;
  in.BMState = Checked ? BST_CHECKED : 0;
  in.Disabled = Disabled;
  in.Frames = Frames;
  return ClampFrame(CheckBoxFrame(in), Frames);
}

// Unchecked, checked, disabled unchecked and disabled checked from the skin's strip, 24-bit,
// magenta where the skin is transparent. False when the skin has no strip.
bool BuildGlyphStrip(const TSkinElements* Skin, bool Radio, TBitmap& Strip) {
  if (!Skin || !Skin->Buttons) return false;
  TBitmap* source = Radio ? Skin->Buttons->RadioBitmap.get() : Skin->Buttons->CheckBitmap.get();
  if (!source || source->Empty()) return false;
  const int frames = std::max(Radio ? Skin->Buttons->RadioButtonFrame : Skin->Buttons->CheckButtonFrame, 1);
  const int width = source->Width() / frames, height = source->Height();
  if (width <= 0 || height <= 0) return false;
  Strip.SetPixelFormat(TPixelFormat::pf24bit);
  Strip.SetSize(width * kStripGlyphs, height);
  HDC dc = Strip.Canvas()->Handle();
  for (int i = 0; i < kStripGlyphs; ++i) {
    const int frame = SkinFrameFor(Radio, i % 2 == 1, i >= 2, frames);
    DrawBitmapFrame(dc, TRect{i * width, 0, (i + 1) * width, height}, source, false, frames, frame);
  }
  return true;
}

}  // namespace small_skinners

// --- TSkinSizer ---------------------------------------------------------------------------------

TSkinSizer::TSkinSizer(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinSizer::~TSkinSizer() = default;

void TSkinSizer::PaintSkin(HDC DC, const TRect& R) {
  FillSkinColor(DC, R);
}

// --- TSkinBoxH ----------------------------------------------------------------------------------

TSkinBoxH::TSkinBoxH(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinBoxH::~TSkinBoxH() = default;

bool TSkinBoxH::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      RECT window{};
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      if (dc && GetWindowRect(Handle, &window))
        FillSkinColor(dc, TRect{0, 0, window.Right - window.Left, window.Bottom - window.Top});
      Message.Result = 0;
      return false;
    }
    case WM_CTLCOLORSTATIC: {
      CallDefault(Message);
      HBRUSH brush = SkinData ? SkinData->BackgroundBrush() : nullptr;
      if (brush) Message.Result = reinterpret_cast<LRESULT>(brush);
      return false;
    }
    default:
      return true;
  }
}

// --- TSkinObjImage ------------------------------------------------------------------------------

TSkinObjImage::TSkinObjImage(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinObjImage::~TSkinObjImage() = default;

void TSkinObjImage::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor,
                                  TCanvas* ACanvas) {
  if (!BindOwner(AForm, Data, AUseSkinColor, ACanvas)) return;
  if (Control->HandleAllocated()) Handle = Control->Handle();
  RegisterWithForm();
  ApplyPictures();
  Attached = true;
  Lifecycle = kSkinnerAttached;
}

void TSkinObjImage::ApplySkinColor() {
  ApplyPictures();
}

void TSkinObjImage::ApplyPictures() {
  if (!Control) return;
  if (Mode == small_skinners::kCheckGlyphs || Mode == small_skinners::kRadioGlyphs) {
    TBitmap* glyphs = small_skinners::BitmapProp(Control, "CustomGlyphs");
    if (!glyphs ||
        !small_skinners::BuildGlyphStrip(Elements(), Mode == small_skinners::kRadioGlyphs, *glyphs))
      return;
    SetPropText(Control, "transparentcolor", std::to_string(kSkinTransparentColor));
    SetPropText(Control, "UseCustomGlyphs", "true");
    Control->Invalidate();
  } else if (Mode == small_skinners::kPropertiesGlyph) {
    TObject* properties = GetObjectPropOf(Control, "Properties", TObject::StaticClass());
    TBitmap* glyph = small_skinners::BitmapProp(properties, "Glyph");
    if (!glyph || !small_skinners::BuildGlyphStrip(Elements(), false, *glyph)) return;
    Control->Invalidate();
  }
}

void TSkinObjImage::Detach() {
  // The form is going with its controls: nothing to give back.
  // The colour was never taken, so only the pictures go back.
  if (Lifecycle == kSkinnerFormGoing || !Control) return;
  if (Mode == small_skinners::kCheckGlyphs || Mode == small_skinners::kRadioGlyphs) {
    SetPropText(Control, "UseCustomGlyphs", "false");
  } else if (Mode == small_skinners::kPropertiesGlyph) {
    TObject* properties = GetObjectPropOf(Control, "Properties", TObject::StaticClass());
    if (TBitmap* glyph = small_skinners::BitmapProp(properties, "Glyph")) glyph->Assign(nullptr);
  }
  Control->Invalidate();
  Lifecycle = kSkinnerReleased;
}
