// The system icons that message boxes show: error (a red disc with a white cross), question and
// information (blue discs with a white "?" and "i") and warning (a yellow triangle with a black
// "!"). Each is painted twice from the same shapes: once in its colours on black (the image),
// once in black on white (the mask), so the two always match.
#include "platform/gdi/FramePainter.h"

namespace {

constexpr int kSystemIconSize = 32;

// The colours one painting lays: the outer rim, the face inside it and the glyph on the face.
struct TIconInks {
  COLORREF Rim, Face, Glyph;
};

constexpr TIconInks kMaskInks{RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)};

const char* const kQuestionGlyph[] = {
    ".#######.", "#########", "###...###", "###...###", ".....####", "....####.", "...####..",
    "...###...", "...###...", ".........", "...###...", "...###...", "...###...",
};
const char* const kInformationGlyph[] = {
    ".###.", ".###.", ".###.", ".....", ".....", "####.", ".###.",
    ".###.", ".###.", ".###.", ".###.", ".###.", "#####",
};
const char* const kExclamationGlyph[] = {
    "###", "###", "###", "###", "###", "###", "###", "###", "...", "...", "###", "###", "###",
};

// A glyph of `rows` rows, `width` characters each, with its top-left at (x, y); "#" is ink.
template <size_t Rows>
void PaintGlyph(const gdi_internal::TPixelPainter& p, int x, int y, const char* const (&rows)[Rows],
                int width, COLORREF ink) {
  const int height = static_cast<int>(Rows);
  p.Pattern(RECT{x, y, x + width, y + height}, rows, width, height,
            [ink](char c) { return c == '#' ? ink : CLR_INVALID; });
}

// The disc of the error, question and information icons: a one-pixel rim around the face.
void PaintDiscFace(const gdi_internal::TPixelPainter& p, const TIconInks& inks) {
  const RECT box{0, 0, kSystemIconSize, kSystemIconSize};
  gdi_internal::PaintDisc(p, box, kSystemIconSize - 2, inks.Rim);
  gdi_internal::PaintDisc(p, box, kSystemIconSize - 4, inks.Face);
}

void PaintError(const gdi_internal::TPixelPainter& p, const TIconInks& inks) {
  PaintDiscFace(p, inks);
  // A cross of two strokes three pixels wide.
  for (int d = -1; d <= 1; ++d) {
    p.Line(10 + d, 10, 21 + d, 21, inks.Glyph);
    p.Line(21 + d, 10, 10 + d, 21, inks.Glyph);
  }
}

void PaintQuestion(const gdi_internal::TPixelPainter& p, const TIconInks& inks) {
  PaintDiscFace(p, inks);
  PaintGlyph(p, 12, 9, kQuestionGlyph, 9, inks.Glyph);
}

void PaintInformation(const gdi_internal::TPixelPainter& p, const TIconInks& inks) {
  PaintDiscFace(p, inks);
  PaintGlyph(p, 14, 9, kInformationGlyph, 5, inks.Glyph);
}

// A triangle standing on the icon's bottom row, apex at the top centre, with a two-pixel rim.
void PaintWarning(const gdi_internal::TPixelPainter& p, const TIconInks& inks) {
  constexpr int kApex = 2, kBase = kSystemIconSize - 3, kCentre = kSystemIconSize / 2;
  for (int y = kApex; y <= kBase; ++y) {
    const int half = (y - kApex) * (kCentre - 1) / (kBase - kApex);
    p.HLine(kCentre - half, kCentre + half + 1, y, inks.Rim);
    if (y >= kApex + 3 && y <= kBase - 2 && half > 2)
      p.HLine(kCentre - half + 2, kCentre + half - 1, y, inks.Face);
  }
  PaintGlyph(p, kCentre - 1, 12, kExclamationGlyph, 3, inks.Glyph);
}

struct TSystemIcon {
  int Id;
  void (*Paint)(const gdi_internal::TPixelPainter&, const TIconInks&);
  TIconInks Inks;
};

const TSystemIcon kSystemIcons[] = {
    {IDI_HAND, &PaintError, {RGB(0x8E, 0x14, 0x14), RGB(0xD8, 0x2C, 0x2C), RGB(0xFF, 0xFF, 0xFF)}},
    {IDI_QUESTION, &PaintQuestion, {RGB(0x12, 0x3E, 0x86), RGB(0x2A, 0x66, 0xC8), RGB(0xFF, 0xFF, 0xFF)}},
    {IDI_EXCLAMATION, &PaintWarning, {RGB(0x8A, 0x60, 0x00), RGB(0xF6, 0xC4, 0x1C), RGB(0x20, 0x20, 0x20)}},
    {IDI_ASTERISK, &PaintInformation, {RGB(0x0E, 0x52, 0x9E), RGB(0x1E, 0x80, 0xDC), RGB(0xFF, 0xFF, 0xFF)}},
};

// One painting of the icon: its shapes in `inks` over `background`.
HBITMAP PaintSystemIcon(const TSystemIcon& icon, COLORREF background, const TIconInks& inks) {
  return gdi_internal::PaintedBitmap(kSystemIconSize, kSystemIconSize,
                                     [&](const gdi_internal::TPixelPainter& p) {
                                       p.Fill(0, 0, kSystemIconSize, kSystemIconSize, background);
                                       icon.Paint(p, inks);
                                     });
}

}  // namespace

HICON LoadIcon(void* instance, int iconId) {
  if (instance) return nullptr;  // no module carries icon resources here
  for (const TSystemIcon& icon : kSystemIcons) {
    if (icon.Id != iconId) continue;
    // The image is black where the mask is white, so what lies below shows through there.
    ICONINFO info;
    info.fIcon = TRUE;
    info.hbmColor = PaintSystemIcon(icon, RGB(0, 0, 0), icon.Inks);
    info.hbmMask = PaintSystemIcon(icon, RGB(0xFF, 0xFF, 0xFF), kMaskInks);
    HICON made = info.hbmColor && info.hbmMask ? CreateIconIndirect(&info) : nullptr;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return made;
  }
  return nullptr;
}
