#pragma once
// The font interface behind text drawing: a LOGFONT is realised by the current engine into a
// face that answers metrics, advances and glyph coverage masks. Two engines exist: the
// built-in deterministic test font (the default, so every layout and pixel test is exact)
// and the system engine (FreeType with fontconfig) that programs switch on with
// UseSystemFonts(true). The system engine falls back to the test font when its font files
// are missing, so a missing package degrades the look and never the program.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Gdi.h"

// The metrics of a realised font in pixels. Rows are counted from the top of the text cell:
// the cell is Height rows high and the baseline lies Ascent rows below its top.
struct TFontMetrics {
  int Height = 0;  // Ascent + Descent
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;  // Height minus the character (em) height
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int UnderlineTop = 0;  // first row of the underline, from the cell top
  int UnderlineThickness = 1;
  int StrikeOutTop = 0;  // first row of the strike-out line, from the cell top
  int StrikeOutThickness = 1;
  bool FixedPitch = false;
};

// One glyph's coverage: an 8-bit mask (0 transparent .. 255 opaque) whose top-left lies at
// (Left, Top) from the pen position on the cell's top edge. Whitespace has an empty mask.
struct TGlyph {
  int Advance = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Coverage;  // Width * Height, row by row
};

// A realised font: one LOGFONT at one pixel size. Faces cache what they compute.
class IFontFace {
 public:
  virtual ~IFontFace() = default;
  virtual const TFontMetrics& Metrics() const = 0;
  virtual int Advance(char32_t codePoint) = 0;
  virtual std::shared_ptr<const TGlyph> Glyph(char32_t codePoint) = 0;
  // The family whose outlines draw `codePoint` (for the test font, "Test Font").
  virtual std::string FamilyFor(char32_t codePoint) = 0;
};

class IFontEngine {
 public:
  virtual ~IFontEngine() = default;
  virtual std::string Name() const = 0;
  // Never fails: an unusable request is answered with the nearest usable face.
  virtual std::shared_ptr<IFontFace> Realize(const LOGFONT& font) = 0;
};

// The deterministic test font; every face name maps to it.
IFontEngine& TestFontEngine();
// FreeType and fontconfig: DejaVu Sans, WenQuanYi Micro Hei for CJK code points.
IFontEngine& SystemFontEngine();
// True when the system engine found its primary font file (DejaVu Sans).
bool SystemFontsAvailable();

// The process-wide engine choice: the test font unless UseSystemFonts(true).
IFontEngine& CurrentFontEngine();
void UseSystemFonts(bool on);
bool UsingSystemFonts();
// An engine of the caller's own in place of the choice above; nullptr gives the choice back.
void UseFontEngine(IFontEngine* engine);

// East Asian wide code points (CJK ideographs, kana, hangul, full-width forms): these take
// two cells in the test font and may be broken between when wrapping lines.
bool IsWideCodePoint(char32_t codePoint);

namespace gdi_internal {

// Decodes UTF-8; each byte of an invalid sequence becomes U+FFFD. When `offsets` is given it
// receives the byte offset of each code point, plus the text's length as a final entry.
std::vector<char32_t> DecodeUtf8(std::string_view text, std::vector<uint32_t>* offsets = nullptr);
void AppendUtf8(std::string& out, char32_t codePoint);

// Character (em) heights in pixels: lfHeight 0 asks for the default 8-point size; requests
// are clamped to kMaxFontPixels so a hostile LOGFONT cannot ask for giant glyph masks.
constexpr int kDefaultFontPixels = 11;
constexpr int kMaxFontPixels = 1024;

}  // namespace gdi_internal
