#pragma once
// Pixel-level painting shared by the edge, frame-control, system-bitmap and theme painters.
// Everything goes through gdi_internal::FillSolidRect, so it honours the DC's mapping and clip
// without selecting pens or brushes, and nested painting is not logged as separate calls:
// only the public entry point records itself.
#include <algorithm>

#include "platform/gdi/Gdi.h"

namespace gdi_internal {

class TPixelPainter {
 public:
  // `clip` (logical coordinates) further limits everything painted, when given.
  explicit TPixelPainter(HDC dc, const RECT* clip = nullptr);

  HDC DC() const { return dc_; }
  void Fill(const RECT& r, COLORREF color) const;
  void Fill(int left, int top, int right, int bottom, COLORREF color) const {
    Fill(RECT{left, top, right, bottom}, color);
  }
  void Pixel(int x, int y, COLORREF color) const { Fill(x, y, x + 1, y + 1, color); }
  void HLine(int x1, int x2, int y, COLORREF color) const { Fill(x1, y, x2, y + 1, color); }  // [x1, x2)
  void VLine(int x, int y1, int y2, COLORREF color) const { Fill(x, y1, x + 1, y2, color); }  // [y1, y2)
  // Draws the 8-connected line from (x1, y1) to (x2, y2), both ends included.
  void Line(int x1, int y1, int x2, int y2, COLORREF color) const;
  // The checkerboard of two colours that marks "checked but not pushed" and indeterminate faces;
  // the phase follows the logical coordinates so adjacent fills line up.
  void Dither(const RECT& r, COLORREF even, COLORREF odd) const;

  // Paints a character pattern of `sw` x `sh` cells scaled (nearest neighbour) onto the
  // rectangle `dst`; `colorOf(cell)` answers the colour of a cell or CLR_INVALID to leave it.
  // Horizontal runs of one colour go out as one fill.
  template <typename ColorOf>
  void Pattern(const RECT& dst, const char* const* rows, int sw, int sh, ColorOf colorOf) const {
    const int dw = dst.Right - dst.Left, dh = dst.Bottom - dst.Top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    for (int y = 0; y < dh; ++y) {
      const char* row = rows[static_cast<long long>(y) * sh / dh];
      int runStart = 0;
      COLORREF runColor = CLR_INVALID;
      for (int x = 0; x <= dw; ++x) {
        const COLORREF c = x < dw ? colorOf(row[static_cast<long long>(x) * sw / dw]) : CLR_INVALID;
        if (x < dw && c == runColor) continue;
        if (runColor != CLR_INVALID) HLine(dst.Left + runStart, dst.Left + x, dst.Top + y, runColor);
        runStart = x;
        runColor = c;
      }
    }
  }

 private:
  HDC dc_;
  bool hasClip_;
  RECT clip_;
};

// A new 32-bit bitmap of `width` x `height` that `paint` fills through a pixel painter; nullptr
// when no bitmap could be made. The caller deletes it.
template <typename Paint>
HBITMAP PaintedBitmap(int width, int height, Paint paint) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) {
    DeleteObject(bitmap);
    return nullptr;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  paint(TPixelPainter(dc));
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

// The largest square of `r`, centred in it.
RECT CenteredSquare(const RECT& r);
// A `w` x `h` rectangle centred in `r` (rounding towards the top-left).
RECT CenteredRect(const RECT& r, int w, int h);

// What DrawEdge paints, unlogged. Shrinks `rect` by the drawn borders when BF_ADJUST is set.
void PaintEdge(const TPixelPainter& p, RECT& rect, UINT edge, UINT flags);
// What DrawFrameControl paints, unlogged; false for an unknown type or kind.
bool PaintFrameControl(const TPixelPainter& p, RECT& rect, UINT type, UINT state);

// Glyphs shared with the theme painter.
// The classic 7 x 7 check mark, scaled to `box`.
void PaintCheckMark(const TPixelPainter& p, const RECT& box, COLORREF color);
// A solid triangle pointing `direction` (0 up, 1 down, 2 left, 3 right, as DFCS_SCROLLxxx) of
// height `size` and base 2 * size - 1, centred in `box`.
void PaintArrow(const TPixelPainter& p, const RECT& box, int direction, int size, COLORREF color);
// A filled disc of diameter `diameter` centred in `box`.
void PaintDisc(const TPixelPainter& p, const RECT& box, int diameter, COLORREF color);

}  // namespace gdi_internal
