#pragma once
// A memory DC over a small 32-bit bitmap, read back straight from the bitmap's pixels, and
// pictures of which pixels hold a colour, for the painting-core tests.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/gdi/DCInternal.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceAccess.h"

class TBitmapCanvas {
 public:
  explicit TBitmapCanvas(int width = 32, int height = 32, COLORREF background = RGB(255, 255, 255))
      : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(GetScreenDC(), width, height);
    old_ = SelectObject(dc_, bitmap_);
    Clear(background);
  }
  ~TBitmapCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TBitmapCanvas(const TBitmapCanvas&) = delete;
  TBitmapCanvas& operator=(const TBitmapCanvas&) = delete;

  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The stored pixel (0x00RRGGBB, reserved byte included), bypassing clip and mapping.
  uint32_t Raw(int x, int y) const {
    int w = 0, h = 0;
    const uint32_t* p = gdi_internal::BitmapPixels(bitmap_, &w, &h);
    return p[y * w + x];
  }
  void SetRaw(int x, int y, uint32_t pixel) {
    int w = 0, h = 0;
    gdi_internal::BitmapPixels(bitmap_, &w, &h)[y * w + x] = pixel;
  }
  COLORREF At(int x, int y) const {
    const uint32_t p = Raw(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  void Clear(COLORREF color) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        SetRaw(x, y, ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF));
  }
  int Count(COLORREF color) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += At(x, y) == color;
    return n;
  }
  // Rows of '#' (the colour) and '.' (anything else), for comparing shapes in failures.
  std::vector<std::string> Picture(COLORREF color) const {
    std::vector<std::string> rows;
    for (int y = 0; y < height_; ++y) {
      std::string row;
      for (int x = 0; x < width_; ++x) row += At(x, y) == color ? '#' : '.';
      rows.push_back(row);
    }
    return rows;
  }
  // The picture mirrored left to right.
  static std::vector<std::string> Mirrored(std::vector<std::string> rows) {
    for (std::string& r : rows) r = std::string(r.rbegin(), r.rend());
    return rows;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Selects an object for a scope and deletes it afterwards.
class TSelected {
 public:
  TSelected(HDC dc, HGDIOBJ obj) : dc_(dc), obj_(obj), old_(SelectObject(dc, obj)) {}
  ~TSelected() {
    SelectObject(dc_, old_);
    DeleteObject(obj_);
  }
  TSelected(const TSelected&) = delete;
  TSelected& operator=(const TSelected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ obj_;
  HGDIOBJ old_;
};

// Readable rectangles in failure messages (internal linkage: one copy a test file).
[[maybe_unused]] static void PrintTo(const TRect& r, std::ostream* os) {
  *os << "{" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << "}";
}
[[maybe_unused]] static void PrintTo(const TPoint& p, std::ostream* os) {
  *os << "(" << p.X << "," << p.Y << ")";
}

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0),
                   kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
