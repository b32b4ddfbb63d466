// The built-in deterministic font: one metric table derived from the pixel size, every face
// name mapped to it, glyphs drawn as plain boxes so tests can find text by its pixels.
//
// For a character height of px pixels:
//   internal leading  2 (1 below 8 px, 0 below 4 px)     height   px + internal leading
//   descent           round(px * 2 / 11)                  ascent   height - descent
//   advance           round(px * 7 / 11), at least 1      wide     twice the advance
// so the default 8-point font (lfHeight -11) is 13 px high with 7 px advances, and the 7-point
// sizes (lfHeight -10 and -9) advance 6 px. A positive lfHeight asks for the cell height: the
// largest px whose height does not exceed it. lfWidth, when set, is the advance.
//
// Glyphs: a visible character is a filled box over the rows from the top of the character
// height down to the baseline, one column narrower than its advance (the gap column);
// control characters are the same box hollow; spaces draw nothing. Bold and italic keep the
// metrics and the boxes (GetTextMetrics still reports the weight and the slant).
#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

#include "platform/gdi/FontEngine.h"

namespace {

int InternalLeadingFor(int px) {
  return px >= 8 ? 2 : (px >= 4 ? 1 : 0);
}

int RoundedRatio(int px, int num, int den) {
  return (2 * px * num + den) / (2 * den);
}

int PixelSizeFor(const LOGFONT& font) {
  const int64_t h = font.lfHeight;
  int64_t px;
  if (h == 0) {
    px = gdi_internal::kDefaultFontPixels;
  } else if (h < 0) {
    px = -h;
  } else {
    px = std::min<int64_t>(h, gdi_internal::kMaxFontPixels + 2);
    while (px > 1 && px + InternalLeadingFor(static_cast<int>(px)) > h) --px;
  }
  return static_cast<int>(std::clamp<int64_t>(px, 1, gdi_internal::kMaxFontPixels));
}

bool IsBlank(char32_t c) {
  return c == 0x20 || c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

class TTestFace : public IFontFace {
 public:
  TTestFace(int px, int advance) : advance_(advance) {
    const int leading = InternalLeadingFor(px);
    m_.Height = px + leading;
    m_.Descent = RoundedRatio(px, 2, 11);
    m_.Ascent = m_.Height - m_.Descent;
    m_.InternalLeading = leading;
    m_.ExternalLeading = 0;
    m_.AveCharWidth = advance;
    m_.MaxCharWidth = 2 * advance;
    m_.UnderlineThickness = std::max(1, px / 16);
    m_.StrikeOutThickness = m_.UnderlineThickness;
    m_.UnderlineTop = std::min(m_.Ascent + (m_.Descent + 1) / 2, m_.Height - m_.UnderlineThickness);
    m_.UnderlineTop = std::max(0, m_.UnderlineTop);
    m_.StrikeOutTop = std::max(0, m_.Ascent - (px + 1) / 3);
    m_.FixedPitch = true;
  }

  const TFontMetrics& Metrics() const override { return m_; }

  int Advance(char32_t c) override { return IsWideCodePoint(c) ? 2 * advance_ : advance_; }

  std::shared_ptr<const TGlyph> Glyph(char32_t c) override {
    const bool wide = IsWideCodePoint(c);
    const int kind = IsBlank(c) ? 0 : (IsControl(c) ? 1 : 2);
    std::shared_ptr<const TGlyph>& slot = glyphs_[kind * 2 + (wide ? 1 : 0)];
    if (!slot) slot = MakeGlyph(wide ? 2 * advance_ : advance_, kind);
    return slot;
  }

  std::string FamilyFor(char32_t) override { return "Test Font"; }

 private:
  std::shared_ptr<const TGlyph> MakeGlyph(int advance, int kind) const {
    auto g = std::make_shared<TGlyph>();
    g->Advance = advance;
    if (kind == 0) return g;
    g->Left = 0;
    g->Top = m_.InternalLeading;
    g->Width = std::max(1, advance - 1);
    g->Height = std::max(1, m_.Ascent - m_.InternalLeading);
    g->Coverage.assign(static_cast<size_t>(g->Width) * g->Height, 255);
    if (kind == 1) {
      for (int y = 1; y + 1 < g->Height; ++y)
        for (int x = 1; x + 1 < g->Width; ++x) g->Coverage[static_cast<size_t>(y) * g->Width + x] = 0;
    }
    return g;
  }

  TFontMetrics m_;
  int advance_;
  std::shared_ptr<const TGlyph> glyphs_[6];
};

class TTestFontEngine : public IFontEngine {
 public:
  std::string Name() const override { return "Test Font"; }

  std::shared_ptr<IFontFace> Realize(const LOGFONT& font) override {
    const int px = PixelSizeFor(font);
    int advance = std::max(1, RoundedRatio(px, 7, 11));
    if (font.lfWidth != 0)
      advance = static_cast<int>(std::clamp<int64_t>(font.lfWidth < 0 ? -int64_t{font.lfWidth} : font.lfWidth,
                                                     1, gdi_internal::kMaxFontPixels));
    const std::pair<int, int> key{px, advance};
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second;
    // Faces are cheap; a bounded cache keeps odd requests from accumulating.
    if (faces_.size() >= 64) faces_.clear();
    auto face = std::make_shared<TTestFace>(px, advance);
    faces_.emplace(key, face);
    return face;
  }

 private:
  std::map<std::pair<int, int>, std::shared_ptr<IFontFace>> faces_;
};

}  // namespace

IFontEngine& TestFontEngine() {
  static TTestFontEngine engine;
  return engine;
}
