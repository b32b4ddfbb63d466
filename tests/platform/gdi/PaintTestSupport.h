#pragma once
// A small bitmap with a memory DC over it for the edge, frame-control and theme tests, and a
// scope that gives every system colour a distinct value so each border is recognisable.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/gdi/DCInternal.h"
#include "platform/gdi/Gdi.h"

// Never one of the colours the painters use.
constexpr COLORREF kCanvasBackground = RGB(1, 2, 3);

class TPaintCanvas {
 public:
  explicit TPaintCanvas(int width = 32, int height = 32) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(GetScreenDC());
    bitmap_ = CreateCompatibleBitmap(GetScreenDC(), width, height);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Clear();
  }
  ~TPaintCanvas() {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TPaintCanvas(const TPaintCanvas&) = delete;
  TPaintCanvas& operator=(const TPaintCanvas&) = delete;

  HDC Dc() const { return dc_; }
  RECT All() const { return RECT{0, 0, width_, height_}; }
  void Clear() { gdi_internal::FillSolidRect(dc_, All(), kCanvasBackground); }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  int Count(COLORREF color, const RECT& within) const {
    int n = 0;
    for (int y = within.Top; y < within.Bottom; ++y)
      for (int x = within.Left; x < within.Right; ++x) n += At(x, y) == color;
    return n;
  }
  int Count(COLORREF color) const { return Count(color, All()); }
  // Every pixel of `r` still has the background colour.
  bool Untouched(const RECT& r) const { return Count(kCanvasBackground, r) == r.Width() * r.Height(); }

  // The smallest rectangle holding every pixel of `color`; empty when there is none.
  RECT BoundsOf(COLORREF color) const {
    RECT r{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) == color) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    if (r.Right <= r.Left) return RECT{};
    return r;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

// Distinct values for every system colour while it lives (the classic table shares values,
// e.g. the 3D light colour and the button face).
class TDistinctSysColors {
 public:
  TDistinctSysColors() {
    for (int i = 0; i <= COLOR_MENUBAR; ++i) SetSysColorForTest(i, Sys(i));
  }
  ~TDistinctSysColors() { ResetSysColors(); }
  static COLORREF Sys(int index) { return RGB(10 + 7 * index, 200 - 5 * index, 40 + 3 * index); }
};

inline std::string RectString(const RECT& r) {
  return "{" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom) + "}";
}
