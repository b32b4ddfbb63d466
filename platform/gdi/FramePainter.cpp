#include "platform/gdi/FramePainter.h"

#include <cstdlib>

#include "platform/gdi/DCInternal.h"

namespace gdi_internal {

TPixelPainter::TPixelPainter(HDC dc, const RECT* clip) : dc_(dc), hasClip_(clip != nullptr), clip_{} {
  if (clip) clip_ = *clip;
}

void TPixelPainter::Fill(const RECT& r, COLORREF color) const {
  if (IsRectEmpty(r)) return;
  if (!hasClip_) {
    FillSolidRect(dc_, r, color);
    return;
  }
  RECT part;
  if (IntersectRect(part, r, clip_)) FillSolidRect(dc_, part, color);
}

void TPixelPainter::Line(int x1, int y1, int x2, int y2, COLORREF color) const {
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Pixel(x1, y1, color);
    if (x1 == x2 && y1 == y2) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

void TPixelPainter::Dither(const RECT& r, COLORREF even, COLORREF odd) const {
  Fill(r, odd);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left + ((r.Left + y) & 1); x < r.Right; x += 2) Pixel(x, y, even);
}

RECT CenteredSquare(const RECT& r) {
  const int side = std::max(0, std::min(r.Width(), r.Height()));
  return CenteredRect(r, side, side);
}

RECT CenteredRect(const RECT& r, int w, int h) {
  const int left = r.Left + (r.Width() - w) / 2, top = r.Top + (r.Height() - h) / 2;
  return RECT{left, top, left + w, top + h};
}

void PaintCheckMark(const TPixelPainter& p, const RECT& box, COLORREF color) {
  // Three-pixel strokes falling to the bottom of the third column, then rising to the right.
  static const char* const kCheck[7] = {
      "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
  };
  p.Pattern(box, kCheck, 7, 7, [color](char c) { return c == '#' ? color : CLR_INVALID; });
}

void PaintArrow(const TPixelPainter& p, const RECT& box, int direction, int size, COLORREF color) {
  if (size <= 0) return;
  const int base = 2 * size - 1;
  const bool vertical = direction == 0 || direction == 1;
  const RECT r = vertical ? CenteredRect(box, base, size) : CenteredRect(box, size, base);
  for (int i = 0; i < size; ++i) {
    // Row (or column) i counted from the apex holds 2 * i + 1 pixels.
    const int from = size - 1 - i, to = size + i;
    switch (direction) {
      case 0:
        p.HLine(r.Left + from, r.Left + to, r.Top + i, color);
        break;
      case 1:
        p.HLine(r.Left + from, r.Left + to, r.Bottom - 1 - i, color);
        break;
      case 2:
        p.VLine(r.Left + i, r.Top + from, r.Top + to, color);
        break;
      default:
        p.VLine(r.Right - 1 - i, r.Top + from, r.Top + to, color);
        break;
    }
  }
}

void PaintDisc(const TPixelPainter& p, const RECT& box, int diameter, COLORREF color) {
  if (diameter <= 0) return;
  const RECT r = CenteredRect(box, diameter, diameter);
  // Pixel centres measured in half pixels from the disc's centre.
  for (int y = 0; y < diameter; ++y) {
    const int dy = 2 * y + 1 - diameter;
    int from = -1, to = -1;
    for (int x = 0; x < diameter; ++x) {
      const int dx = 2 * x + 1 - diameter;
      if (dx * dx + dy * dy <= diameter * diameter) {
        if (from < 0) from = x;
        to = x + 1;
      }
    }
    if (from >= 0) p.HLine(r.Left + from, r.Left + to, r.Top + y, color);
  }
}

}  // namespace gdi_internal
