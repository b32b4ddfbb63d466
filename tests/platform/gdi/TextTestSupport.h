#pragma once
// A small white bitmap with a memory DC over it, and font selection, for the text tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/gdi/DCInternal.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceAccess.h"

inline LOGFONT TestLogFont(LONG height = -11) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfFaceName = "MS Sans Serif";
  return lf;
}

// A white bitmap with black text on it: transparent mode, red background colour, and the
// 8-point grid font selected.
class TTextCanvas {
 public:
  explicit TTextCanvas(int width = 32, int height = 32) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(GetScreenDC());
    bitmap_ = CreateCompatibleBitmap(GetScreenDC(), width, height);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Clear();
    SetTextColor(dc_, RGB(0, 0, 0));
    SetBkColor(dc_, RGB(255, 0, 0));
    SetBkMode(dc_, TRANSPARENT);
    UseFont(TestLogFont());
  }
  ~TTextCanvas() {
    SelectObject(dc_, oldBitmap_);
    if (font_) {
      SelectObject(dc_, oldFont_);
      DeleteObject(font_);
    }
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TTextCanvas(const TTextCanvas&) = delete;
  TTextCanvas& operator=(const TTextCanvas&) = delete;

  HDC Dc() const { return dc_; }
  void Clear() { gdi_internal::FillSolidRect(dc_, RECT{0, 0, width_, height_}, RGB(255, 255, 255)); }

  void UseFont(const LOGFONT& lf) {
    HFONT font = CreateFontIndirect(lf);
    HGDIOBJ old = SelectObject(dc_, font);
    if (font_)
      DeleteObject(font_);
    else
      oldFont_ = old;
    font_ = font;
  }

  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // A pixel by its place in the bitmap, whatever the DC's mapping or layout.
  COLORREF DeviceAt(int x, int y) const {
    int w = 0, h = 0;
    const uint32_t* pixels = gdi_internal::BitmapPixels(bitmap_, &w, &h);
    const uint32_t p = pixels[static_cast<size_t>(y) * w + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  bool Inked(int x, int y) const { return At(x, y) == RGB(0, 0, 0); }

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
  HFONT font_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

// Rectangles compared as text read well in failure messages.
inline std::string RectText(const RECT& r) {
  return "{" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom) + "}";
}
