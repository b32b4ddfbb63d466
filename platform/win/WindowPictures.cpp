// Top-level windows as they look on a screen that honours window regions: the region as
// rectangles (the display host shapes its X windows by them) and PNG pictures whose pixels
// outside the region are transparent, so that headless pictures show cut-out corners.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/PngWriter.h"
#include "platform/gdi/SurfaceAccess.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"

std::optional<std::vector<RECT>> WindowRegionRects(HWND hwnd) {
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  if (!copy) return std::nullopt;
  TScopeExit freeCopy([&] { DeleteObject(copy); });
  if (GetWindowRgn(hwnd, copy) == ERROR) return std::nullopt;
  const DWORD bytes = GetRegionData(copy, 0, nullptr);
  std::vector<std::byte> data(bytes);
  if (bytes < sizeof(RGNDATAHEADER) ||
      GetRegionData(copy, bytes, reinterpret_cast<RGNDATA*>(data.data())) == 0)
    return std::nullopt;  // unreadable: show the whole rectangle rather than nothing
  RGNDATAHEADER header;
  std::memcpy(&header, data.data(), sizeof header);
  std::vector<RECT> rects(header.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), data.data() + header.dwSize, rects.size() * sizeof(RECT));
  return rects;
}

void WriteWindowPng(const std::string& Path, HWND Top) {
  HBITMAP surface = GetTopLevelSurface(Top);
  int width = 0, height = 0;
  const uint32_t* pixels = surface ? gdi_internal::BitmapPixels(surface, &width, &height) : nullptr;
  if (!pixels || width <= 0 || height <= 0) throw EInvalidGraphic("Not a visible top-level window");
  const auto region = WindowRegionRects(Top);
  const size_t rowBytes = static_cast<size_t>(width);
  std::vector<uint8_t> alpha(rowBytes * static_cast<size_t>(height), region ? 0 : 255);
  if (region)
    for (const RECT& r : *region) {
      // The surface may be smaller than the window (very large windows), the region larger.
      const int left = std::clamp(r.Left, 0, width), right = std::clamp(r.Right, 0, width);
      const int top = std::clamp(r.Top, 0, height), bottom = std::clamp(r.Bottom, 0, height);
      for (int y = top; y < bottom && left < right; ++y)
        std::fill_n(alpha.begin() + static_cast<ptrdiff_t>(y * rowBytes + static_cast<size_t>(left)),
                    right - left, uint8_t{255});
    }
  WritePng(Path, width, height, pixels, alpha.data());
}
