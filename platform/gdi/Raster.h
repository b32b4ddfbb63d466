#pragma once
// The pixel engine under every drawing call: a 32-bit surface, the clip resolved to a few
// rectangles in surface coordinates, paints (a colour or a tiled pattern), and the binary and
// ternary raster operations applied a span at a time.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace gdi_internal {

// The one place where COLORREF (0x00BBGGRR) and pixels (0x00RRGGBB) meet.
constexpr uint32_t kColorMask = 0x00FFFFFF;
constexpr uint32_t PixelFromColor(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF ColorFromPixel(uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
// The nearer of black and white, for monochrome surfaces.
constexpr uint32_t MonoPixel(uint32_t p) {
  return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) >= 383 ? 0xFFFFFF : 0;
}

struct TSurface {
  uint32_t* Row0 = nullptr;  // pixel (0, 0)
  ptrdiff_t Stride = 0;      // pixels from one row to the next; negative for bottom-up memory
  int Width = 0;
  int Height = 0;
  bool Mono = false;
  uint32_t* Row(int y) const { return Row0 + y * Stride; }
  bool Valid() const { return Row0 != nullptr && Width > 0 && Height > 0; }
};

// A colour, or a pattern tiled from an origin (surface coordinates). A pattern may carry a
// mask: where it is 0 the destination is left alone (a hatch with a transparent background).
struct TPaint {
  bool Null = true;
  uint32_t Color = 0;
  std::vector<uint32_t> Pattern;
  std::vector<uint8_t> Mask;
  int PatternWidth = 0;
  int PatternHeight = 0;
  int OrgX = 0;
  int OrgY = 0;

  static TPaint Solid(uint32_t pixel) {
    TPaint p;
    p.Null = false;
    p.Color = pixel;
    return p;
  }
  bool HasPattern() const { return !Pattern.empty(); }
  // Expands `n` pixels starting at surface point (x, y); `mask` may be null.
  void Expand(int x, int y, int n, uint32_t* out, uint8_t* mask) const;
};

uint32_t Rop2Pixel(int rop2, uint32_t pen, uint32_t dst);
// The truth-table index of a ternary ROP (the low byte of its high word) over P, S and D.
constexpr uint8_t RopIndex(DWORD rop) {
  return static_cast<uint8_t>((rop >> 16) & 0xFF);
}
constexpr bool RopIndexUsesSource(uint8_t i) {
  return ((i >> 2) ^ i) & 0x33;
}
constexpr bool RopIndexUsesPattern(uint8_t i) {
  return ((i >> 4) ^ i) & 0x0F;
}
uint32_t Rop3Pixel(uint8_t index, uint32_t pat, uint32_t src, uint32_t dst);
// d[i] = rop(p[i], s[i], d[i]); `s` and `p` may be null when the operation does not read them.
void Rop3Row(uint8_t index, uint32_t* d, const uint32_t* s, const uint32_t* p, int n);

class TRaster {
 public:
  // `clip`: banded rectangles in surface coordinates, all inside the surface.
  TRaster(const TSurface& surface, const std::vector<TRect>& clip);

  const TSurface& Surface() const { return s_; }
  const std::vector<TRect>& Clip() const { return clip_; }
  const TRect& Bounds() const { return bounds_; }
  bool Visible(int x, int y) const;

  void FillRect(const TRect& rect, const TPaint& paint, int rop2);
  void FillSpan(int y, int x0, int x1, const TPaint& paint, int rop2);
  void Plot(int x, int y, uint32_t pixel, int rop2);

  // Calls f(rect) for each part of `rect` inside the clip.
  template <class F>
  void ForEachClipped(const TRect& rect, F&& f) const {
    if (rect.Right <= bounds_.Left || rect.Left >= bounds_.Right || rect.Bottom <= bounds_.Top ||
        rect.Top >= bounds_.Bottom)
      return;
    for (const TRect& c : clip_) {
      if (c.Top >= rect.Bottom) break;
      TRect part;
      if (IntersectRect(part, c, rect)) f(part);
    }
  }

 private:
  void FillRow(uint32_t* row, int x0, int x1, int y, const TPaint& paint, int rop2) const;

  TSurface s_;
  const std::vector<TRect>& clip_;
  TRect bounds_{};
};

// Row spans (y, [x0, x1)) that shapes collect before painting, so that a pixel is painted
// once however the outline and the fill meet.
struct TSpan {
  int Y;
  int X0;
  int X1;
};
class TSpanList {
 public:
  void Add(int y, int x0, int x1) {
    if (x0 >= x1) return;
    if (!spans_.empty() && spans_.back().Y == y && spans_.back().X1 == x0) {
      spans_.back().X1 = x1;  // the next pixel of a horizontal run
      return;
    }
    spans_.push_back({y, x0, x1});
  }
  // Mirrors the spans about a device of `width` pixels (x becomes width - 1 - x), then moves them.
  void MirrorAndOffset(bool mirror, int width, int dx, int dy) {
    for (TSpan& sp : spans_) {
      if (mirror) {
        const int x0 = width - sp.X1;
        sp.X1 = width - sp.X0;
        sp.X0 = x0;
      }
      sp.X0 += dx;
      sp.X1 += dx;
      sp.Y += dy;
    }
  }
  void Append(const TSpanList& other) {
    spans_.insert(spans_.end(), other.spans_.begin(), other.spans_.end());
  }
  // Sorts and merges overlapping or touching spans of a row.
  void Normalise();
  // The parts of this (normalised) list outside `other` (normalised).
  TSpanList Minus(const TSpanList& other) const;
  const std::vector<TSpan>& Spans() const { return spans_; }
  bool Empty() const { return spans_.empty(); }
  void Paint(TRaster& raster, const TPaint& paint, int rop2) const {
    for (const TSpan& s : spans_) raster.FillSpan(s.Y, s.X0, s.X1, paint, rop2);
  }

 private:
  std::vector<TSpan> spans_;
};

}  // namespace gdi_internal
