// TSkinBitButton: a skinned push button with a glyph (a strip of NumGlyphs images, an image
// list entry or a named picture property) laid out beside its caption; the layout rules are
// shared with the speed button.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ImgList.h"
#include "skin/SkinButtons.h"
#include "skin/WinSkinDraw.h"

RTL_IMPLEMENT_CLASS(TSkinBitButton)

namespace {

constexpr int64_t kMaxButtonGlyphDistance = 1 << 15;

// The glyph a disabled button shows: each pixel's channels set to their average.
void MakeButtonGlyphGrey(TBitmap& Glyph) {
  Glyph.SetPixelFormat(pf24bit);
  for (int y = 0; y < Glyph.Height(); ++y) {
    auto* row = static_cast<uint8_t*>(Glyph.ScanLine(y));
    for (int x = 0; x < Glyph.Width(); ++x) {
      uint8_t* pixel = row + size_t(x) * 3;
      const auto average = static_cast<uint8_t>((pixel[0] + pixel[1] + pixel[2]) / 3);
      pixel[0] = pixel[1] = pixel[2] = average;
    }
  }
}

// Glyph number Index (1-based) of a strip of Count equal images, as a bitmap of its own.
std::unique_ptr<TBitmap> CutButtonGlyph(TBitmap& Strip, int Count, int Index) {
  auto cut = std::make_unique<TBitmap>();
  const int w = Strip.Width() / Count, h = Strip.Height();
  if (w <= 0 || h <= 0) return cut;
  cut->SetSize(w, h);
  BitBlt(cut->Canvas()->Handle(), 0, 0, w, h, Strip.Canvas()->Handle(), (Index - 1) * w, 0, SRCCOPY);
  return cut;
}

int ButtonLayoutOf(TObject* Object) {
  const std::string text = LowerCase(GetPropText(Object, "Layout"));
  if (text == "blglyphright") return 1;
  if (text == "blglyphtop") return 2;
  if (text == "blglyphbottom") return 3;
  return 0;
}

}  // namespace

int GlyphForFrame(int Frame, int NumGlyphs) {
  static constexpr int kGlyphOfFrame[] = {1, 1, 3, 2, 1};  // by frame 0..4
  const int count = std::max(NumGlyphs, 1);
  const int glyph = (Frame >= 1 && Frame <= 4) ? kGlyphOfFrame[Frame] : 1;
  return glyph > count ? 1 : glyph;
}

TGlyphLayout LayoutGlyph(const TRect& Client, TSize GlyphSize, TSize TextSize, int Layout, int Margin,
                         int Spacing, bool Centered, bool SpeedButton) {
  TGlyphLayout result;
  const bool vertical = Layout == 2 || Layout == 3;
  const int cw = Client.Width(), ch = Client.Height();
  const int gw = GlyphSize.cx, gh = GlyphSize.cy, tw = TextSize.cx, th = TextSize.cy;
  TPoint text;
  if (vertical) {
    result.Glyph.X = (cw - gw + 1) / 2;
    text.X = (cw - tw + 1) / 2;
  } else {
    result.Glyph.Y = (ch - gh + 1) / 2;
    text.Y = (ch - th + 1) / 2;
  }
  if (tw == 0 || gw == 0) Spacing = 0;

  // Sizes along the layout axis.
  const int size = vertical ? ch : cw, glyph = vertical ? gh : gw, textSize = vertical ? th : tw;
  const bool marginGiven = Margin != -1 && (SpeedButton || !Centered);
  if (marginGiven) {
    if (Spacing == -1) Spacing = ((size - (Margin + glyph)) - textSize) / 2;
  } else if (Spacing != -1) {
    // A speed button's pair sits one pixel further along.
    Margin = (size - (glyph + Spacing + textSize)) / 2 + (SpeedButton ? 1 : 0);
  } else {
    Margin = (size - (glyph + textSize)) / 3;
    Spacing = Margin;
  }

  result.TextFlags = DT_WORDBREAK;
  switch (Layout) {
    case 1:
      result.Glyph.X = cw - Margin - gw;
      text.X = result.Glyph.X - Spacing - tw;
      result.TextFlags |= DT_RIGHT;
      break;
    case 2:
      result.Glyph.Y = Margin;
      text.Y = Margin + gh + Spacing;
      result.TextFlags |= DT_CENTER;
      break;
    case 3:
      result.Glyph.Y = ch - Margin - gh;
      text.Y = result.Glyph.Y - Spacing - th;
      result.TextFlags |= DT_CENTER;
      break;
    default:
      result.Glyph.X = Margin;
      text.X = Margin + gw + Spacing;
      break;
  }
  result.Glyph.X += Client.Left;
  result.Glyph.Y += Client.Top;
  result.Text = Bounds(Client.Left + text.X, Client.Top + text.Y, tw, th);
  return result;
}

// --- TSkinBitButton ------------------------------------------------------------------------------

TSkinBitButton::TSkinBitButton(TComponent* AOwner) : TSkinButton(AOwner) {}

TSkinBitButton::~TSkinBitButton() = default;

void TSkinBitButton::PaintSkin(HDC DC, const TRect& R) {
  int frame = 1;
  if (!BeginButtonPaint(R, frame)) return;
  PaintGlyphAndCaption(Rect(0, 0, R.Width(), R.Height()), frame, false);
  EndButtonPaint(DC, R);
}

void TSkinBitButton::PaintGlyphAndCaption(const TRect& R, int Frame, bool SpeedButton) {
  TObject* object = PropertyObject();
  TGraphic* picture = nullptr;
  TBitmap* strip = nullptr;
  TCustomImageList* images = nullptr;
  int imageIndex = -1;
  if (!PictureProperty.empty()) {
    picture = GetObjectPropAs<TGraphic>(object, PictureProperty);
    if (!picture)
      if (auto* holder = GetObjectPropAs<TPicture>(object, PictureProperty)) picture = holder->Graphic();
    if (picture && picture->Empty()) picture = nullptr;
  } else {
    strip = GetObjectPropAs<TBitmap>(object, "Glyph");
    if (strip && strip->Empty()) strip = nullptr;
    if (!SpeedButton) {
      images = GetObjectPropAs<TCustomImageList>(object, "Images");
      imageIndex = static_cast<int>(GetIntProp(object, "ImageIndex"));
    }
  }
  const int count = std::max<int>(1, static_cast<int>(GetIntProp(object, "NumGlyphs")));

  TSize glyphSize{0, 0};
  if (picture)
    glyphSize = {picture->Width(), picture->Height()};
  else if (strip)
    glyphSize = {strip->Width() / count, strip->Height()};
  else if (images && imageIndex != -1)
    glyphSize = {images->Width(), images->Height()};

  const int layout = ButtonLayoutOf(object);
  const std::string caption = ButtonCaption(CaptionText());
  TSize textSize{0, 0};
  if (!caption.empty()) {
    TRect measure = R;
    InflateRect(measure, -2, -2);
    if (layout <= 1)
      measure.Right -= glyphSize.cx + 2;
    else
      measure.Bottom -= glyphSize.cy + 2;
    DrawCaptionText(measure, caption, DT_CALCRECT | DT_WORDBREAK);
    textSize = {measure.Width(), measure.Height()};
  }
  const bool centered = !SpeedButton && LowerCase(GetPropText(object, "Alignment")) == "tacenter";
  // -1 is "computed"; anything beyond a screen's size is kept from overflowing the sums.
  auto distance = [object](const char* Name) {
    return static_cast<int>(std::clamp<int64_t>(GetIntProp(object, Name), -1, kMaxButtonGlyphDistance));
  };
  const TGlyphLayout place = LayoutGlyph(R, glyphSize, textSize, layout, distance("Margin"),
                                         distance("Spacing"), centered, SpeedButton);

  TCanvas* canvas = Buffer->Canvas();
  const bool disabled = Frame == 3;
  if (picture) {
    canvas->Draw(place.Glyph.X, place.Glyph.Y, picture);
  } else if (strip) {
    const int number = GlyphForFrame(Frame, count);
    std::unique_ptr<TBitmap> glyph = CutButtonGlyph(*strip, count, number);
    if (number == 2) MakeButtonGlyphGrey(*glyph);
    if (!glyph->Empty())
      DrawTransparent(canvas->Handle(), Bounds(place.Glyph.X, place.Glyph.Y, glyph->Width(), glyph->Height()),
                      glyph.get(), glyph->TransparentColor());
  } else if (images && imageIndex >= 0 && imageIndex < images->Count()) {
    const int disabledIndex = static_cast<int>(GetIntProp(object, "DisabledIndex"));
    if (!disabled)
      images->Draw(canvas, place.Glyph.X, place.Glyph.Y, imageIndex);
    else if (disabledIndex == -1)
      images->Draw(canvas, place.Glyph.X, place.Glyph.Y, imageIndex, false);
    else if (disabledIndex >= 0 && disabledIndex < images->Count())
      images->Draw(canvas, place.Glyph.X, place.Glyph.Y, disabledIndex);
  }

  TRect box = place.Text;
  if (!caption.empty()) DrawCaptionText(box, caption, place.TextFlags);
  DrawFocus(place.Text);
}
