#pragma once
// Pixel probes of what a top-level window shows, for the tests of every layer from the window
// manager up. They read the window's surface through the public entry points only.
#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"

namespace test_support {

// Answered for a point outside the surface (no pixel of a 0x00RRGGBB surface has it).
constexpr uint32_t kNoPixel = 0xFFFFFFFF;

// The pixel (0x00RRGGBB) at (X, Y) of the surface of the top-level window Top, or kNoPixel.
inline uint32_t SurfacePixel(HWND Top, int X, int Y) {
  const HBITMAP surface = GetTopLevelSurface(Top);
  BITMAP size{};
  if (!surface || !GetObject(surface, sizeof(size), &size)) return kNoPixel;
  if (X < 0 || Y < 0 || X >= size.bmWidth || Y >= size.bmHeight) return kNoPixel;
  BITMAPINFO info{};
  info.bmiHeader.biWidth = size.bmWidth;
  info.bmiHeader.biHeight = -size.bmHeight;  // top-down: scan line Y is row Y
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> row(static_cast<size_t>(size.bmWidth));
  if (GetDIBits(nullptr, surface, static_cast<UINT>(Y), 1, row.data(), &info, DIB_RGB_COLORS) != 1)
    return kNoPixel;
  return row[static_cast<size_t>(X)];
}

// The colour reference (0x00BBGGRR) that the top-level window Top shows at the screen point
// Screen, or kNoPixel.
inline COLORREF ScreenPixel(HWND Top, POINT Screen) {
  RECT window{};
  if (!GetWindowRect(Top, &window)) return kNoPixel;
  const uint32_t px = SurfacePixel(Top, Screen.X - window.Left, Screen.Y - window.Top);
  if (px == kNoPixel) return kNoPixel;
  const uint32_t rgb = px & 0xFFFFFF;
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace test_support
