// The glyph strip of buttons, its layout next to a caption, and the classic button face.
#include <algorithm>

#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"

RTL_IMPLEMENT_CLASS(TButtonGlyph)

namespace {
// Bitmap images hold 0x00RRGGBB; colour references 0x00BBGGRR.
uint32_t SwapRB(uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
}  // namespace

TRect DrawButtonFace(TCanvas* Canvas, const TRect& Client, int BevelWidth, TButtonStyle Style, bool IsRounded,
                     bool IsDown, bool IsFocused) {
  TRect r = Client;
  if (Style == bsWin31) {
    Canvas->Pen()->SetColor(clWindowFrame);
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Rectangle(r);
    if (IsRounded) {
      Canvas->SetPixels(r.Left, r.Top, clBtnFace);
      Canvas->SetPixels(r.Left, r.Bottom - 1, clBtnFace);
      Canvas->SetPixels(r.Right - 1, r.Top, clBtnFace);
      Canvas->SetPixels(r.Right - 1, r.Bottom - 1, clBtnFace);
    }
    if (IsFocused) {
      InflateRect(r, -1, -1);
      Canvas->Brush()->SetStyle(bsClear);
      Canvas->Rectangle(r);
    }
    InflateRect(r, -1, -1);
    if (!IsDown) {
      Frame3D(Canvas, r, clBtnHighlight, clBtnShadow, BevelWidth);
    } else {
      Canvas->Pen()->SetColor(clBtnShadow);
      Canvas->Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
    }
  } else {
    if (IsDown) {
      Frame3D(Canvas, r, clWindowFrame, clBtnHighlight, 1);
      Frame3D(Canvas, r, clBtnShadow, clBtnFace, 1);
    } else {
      if (IsFocused) Frame3D(Canvas, r, clWindowFrame, clWindowFrame, 1);
      Frame3D(Canvas, r, clBtnHighlight, clWindowFrame, 1);
      Frame3D(Canvas, r, clBtnFace, clBtnShadow, 1);
    }
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(r);
  }
  TRect result = Rect(Client.Left + 1, Client.Top + 1, Client.Right - 2, Client.Bottom - 2);
  if (IsDown) OffsetRect(result, 1, 1);
  return result;
}

// --- TButtonGlyph -------------------------------------------------------------------------------------

TButtonGlyph::TButtonGlyph() : original_(std::make_unique<TBitmap>()) {
  original_->OnChange = TNotifyEvent::Method(this, &TButtonGlyph::GlyphChanged);
}

TButtonGlyph::~TButtonGlyph() {
  original_->OnChange = nullptr;
}

void TButtonGlyph::Invalidate() {
  for (auto& image : images_) image.reset();
}

void TButtonGlyph::GlyphChanged(TObject*) {
  transparentColor_ = original_->Empty() ? clOlive : original_->TransparentColor();
  Invalidate();
  OnChange(this);
}

void TButtonGlyph::SetGlyph(TBitmap* Value) {
  Invalidate();
  original_->Assign(Value);
  if (Value && Value->Height() > 0) {
    transparentColor_ = Value->TransparentColor();
    if (Value->Width() % Value->Height() == 0) {
      int glyphs = Value->Width() / Value->Height();
      if (glyphs > 4) glyphs = 1;
      SetNumGlyphs(glyphs);
    }
  }
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value) {
  if (Value < 1 || Value > 4) Value = 1;
  if (Value == numGlyphs_) return;
  numGlyphs_ = Value;
  GlyphChanged(original_.get());
}

TPoint TButtonGlyph::GlyphSize() const {
  if (original_->Empty()) return {0, 0};
  return {original_->Width() / numGlyphs_, original_->Height()};
}

TButtonState TButtonGlyph::ImageState(TButtonState State) const {
  if (State == bsDown && numGlyphs_ < 3) return bsUp;
  if (State == bsExclusive && numGlyphs_ < 4) return bsUp;
  return State;
}

TBitmap* TButtonGlyph::StateImage(TButtonState State) {
  const TPoint size = GlyphSize();
  if (size.X <= 0 || size.Y <= 0) return nullptr;
  State = ImageState(State);
  auto& slot = images_[State];
  if (slot) return slot.get();

  const TBmpImage strip = original_->ToImage();
  const uint32_t transparent = SwapRB(ColorToRGB(transparentColor_) & 0xFFFFFF);
  TBmpImage image;
  image.Width = size.X;
  image.Height = size.Y;
  image.Pixels.resize(static_cast<size_t>(size.X) * size.Y);
  COLORREF key = ColorToRGB(transparentColor_) & 0xFFFFFF;
  if (State == bsDisabled && numGlyphs_ == 1) {
    const uint32_t face = SwapRB(ColorToRGB(clBtnFace));
    const uint32_t highlight = SwapRB(ColorToRGB(clBtnHighlight));
    const uint32_t shadow = SwapRB(ColorToRGB(clBtnShadow));
    std::fill(image.Pixels.begin(), image.Pixels.end(), face);
    auto ink = [&](int x, int y) {
      const uint32_t p = strip.Pixel(x, y) & 0xFFFFFF;
      return p != transparent && p != 0xFFFFFF;
    };
    for (int pass = 0; pass < 2; ++pass) {
      const int d = pass == 0 ? 1 : 0;  // highlight first, one pixel down and right
      for (int y = 0; y < size.Y; ++y)
        for (int x = 0; x < size.X; ++x)
          if (ink(x, y) && x + d < size.X && y + d < size.Y)
            image.Pixels[static_cast<size_t>(y + d) * size.X + x + d] = pass == 0 ? highlight : shadow;
    }
    key = ColorToRGB(clBtnFace) & 0xFFFFFF;
  } else {
    const int left = static_cast<int>(State) * size.X;
    for (int y = 0; y < size.Y; ++y)
      for (int x = 0; x < size.X; ++x)
        image.Pixels[static_cast<size_t>(y) * size.X + x] = strip.Pixel(left + x, y) & 0xFFFFFF;
  }
  slot = std::make_unique<TBitmap>();
  slot->SetImage(image);
  keys_[State] = key;
  return slot.get();
}

TPoint TButtonGlyph::DrawButtonGlyph(TCanvas* Canvas, const TPoint& GlyphPos, TButtonState State,
                                     bool Transparent) {
  TBitmap* image = StateImage(State);
  if (!image) return {0, 0};
  const int w = image->Width(), h = image->Height();
  if (!Transparent && State != bsExclusive) {
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(Bounds(GlyphPos.X, GlyphPos.Y, w, h));
  }
  TransparentBlt(Canvas->Handle(), GlyphPos.X, GlyphPos.Y, w, h, image->Canvas()->Handle(), 0, 0, w, h,
                 keys_[ImageState(State)]);
  return {w, h};
}

void TButtonGlyph::DrawButtonText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds,
                                  TButtonState State, int BiDiFlags) {
  Canvas->Brush()->SetStyle(bsClear);
  const UINT flags = DT_CENTER | DT_VCENTER | static_cast<UINT>(BiDiFlags);
  if (State == bsDisabled) {
    OffsetRect(TextBounds, 1, 1);
    Canvas->Font()->SetColor(clBtnHighlight);
    DrawText(Canvas->Handle(), Caption, &TextBounds, flags);
    OffsetRect(TextBounds, -1, -1);
    Canvas->Font()->SetColor(clBtnShadow);
    DrawText(Canvas->Handle(), Caption, &TextBounds, flags);
  } else {
    DrawText(Canvas->Handle(), Caption, &TextBounds, flags);
  }
}

void TButtonGlyph::CalcButtonLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                                    const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                                    TPoint& GlyphPos, TRect& TextBounds, int BiDiFlags) {
  const TPoint clientSize{Client.Width(), Client.Height()};
  const TPoint glyphSize = GlyphSize();
  TPoint textSize{0, 0};
  if (!Caption.empty()) {
    TextBounds = Rect(0, 0, Client.Width(), 0);
    DrawText(Canvas->Handle(), Caption, &TextBounds, DT_CALCRECT | static_cast<UINT>(BiDiFlags));
    textSize = {TextBounds.Width(), TextBounds.Height()};
  } else {
    TextBounds = Rect(0, 0, 0, 0);
  }
  TPoint textPos{0, 0};
  GlyphPos = {0, 0};
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  // Side by side both are centred vertically; stacked both are centred horizontally.
  if (horizontal) {
    GlyphPos.Y = (clientSize.Y - glyphSize.Y + 1) / 2;
    textPos.Y = (clientSize.Y - textSize.Y + 1) / 2;
  } else {
    GlyphPos.X = (clientSize.X - glyphSize.X + 1) / 2;
    textPos.X = (clientSize.X - textSize.X + 1) / 2;
  }
  if (textSize.X == 0 || glyphSize.X == 0) Spacing = 0;
  if (Margin == -1) {
    if (Spacing == -1) {
      const TPoint total{glyphSize.X + textSize.X, glyphSize.Y + textSize.Y};
      Margin = horizontal ? (clientSize.X - total.X) / 3 : (clientSize.Y - total.Y) / 3;
      Spacing = Margin;
    } else {
      const TPoint total{glyphSize.X + Spacing + textSize.X, glyphSize.Y + Spacing + textSize.Y};
      Margin = horizontal ? (clientSize.X - total.X + 1) / 2 : (clientSize.Y - total.Y + 1) / 2;
    }
  } else if (Spacing == -1) {
    const TPoint total{clientSize.X - (Margin + glyphSize.X), clientSize.Y - (Margin + glyphSize.Y)};
    Spacing = horizontal ? (total.X - textSize.X) / 2 : (total.Y - textSize.Y) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.X = Margin;
      textPos.X = GlyphPos.X + glyphSize.X + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.X = clientSize.X - Margin - glyphSize.X;
      textPos.X = GlyphPos.X - Spacing - textSize.X;
      break;
    case blGlyphTop:
      GlyphPos.Y = Margin;
      textPos.Y = GlyphPos.Y + glyphSize.Y + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.Y = clientSize.Y - Margin - glyphSize.Y;
      textPos.Y = GlyphPos.Y - Spacing - textSize.Y;
      break;
  }
  GlyphPos.X += Client.Left + Offset.X;
  GlyphPos.Y += Client.Top + Offset.Y;
  OffsetRect(TextBounds, textPos.X + Client.Left + Offset.X, textPos.Y + Client.Top + Offset.Y);
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                         const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                         TButtonState State, bool Transparent, int BiDiFlags) {
  TPoint glyphPos;
  TRect textBounds;
  CalcButtonLayout(Canvas, Client, Offset, Caption, Layout, Margin, Spacing, glyphPos, textBounds, BiDiFlags);
  DrawButtonGlyph(Canvas, glyphPos, State, Transparent);
  if (!Caption.empty()) DrawButtonText(Canvas, Caption, textBounds, State, BiDiFlags);
  return textBounds;
}
