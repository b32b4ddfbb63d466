#include "tests/support/PaintOracle.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Caret.h"
#include "platform/win/Painting.h"

namespace test_support {
namespace {

// The pixel loops need no coverage feedback in the fuzz build (they would only slow every
// check down, a picture at a time).
#if defined(__clang__)
#define PAINT_ORACLE_PIXEL_LOOP __attribute__((no_sanitize("coverage")))
#else
#define PAINT_ORACLE_PIXEL_LOOP
#endif

// The size of a top-level window's surface; false when it has none.
bool SurfaceSize(HWND Top, HBITMAP& Surface, BITMAP& Size) {
  Surface = GetTopLevelSurface(Top);
  Size = BITMAP{};
  return Surface && GetObject(Surface, sizeof(Size), &Size) && Size.bmWidth > 0 && Size.bmHeight > 0;
}

// Rows First..Last (exclusive) of a surface, whole, top-down, into Rows (grown as needed:
// checks come in the thousands, each capture twice).
bool SurfaceRows(HBITMAP Surface, int Width, int First, int Last, std::vector<uint32_t>& Rows) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = -Last;  // top-down: the scans count from the top
  info.bmiHeader.biBitCount = 32;
  const size_t count = static_cast<size_t>(Width) * static_cast<size_t>(Last - First);
  if (Rows.size() < count) Rows.resize(count);
  return GetDIBits(nullptr, Surface, static_cast<UINT>(First), static_cast<UINT>(Last - First), Rows.data(),
                   &info, DIB_RGB_COLORS) == Last - First;
}

// Columns Left..Right of rows copied whole, without their alpha byte.
PAINT_ORACLE_PIXEL_LOOP void CopyColumns(const std::vector<uint32_t>& Rows, int RowWidth, int Left, int Right,
                                         int Height, std::vector<uint32_t>& Out) {
  const size_t width = static_cast<size_t>(Right - Left);
  Out.resize(width * static_cast<size_t>(Height));
  uint32_t* to = Out.data();
  for (int y = 0; y < Height; ++y) {
    const uint32_t* from = Rows.data() + static_cast<size_t>(y) * static_cast<size_t>(RowWidth) + Left;
    for (size_t x = 0; x < width; ++x) *to++ = from[x] & 0xFFFFFF;
  }
}

std::string Hex(uint32_t V) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", V);
  return buf;
}

// Differing pixels red over a dimmed copy of the expected picture.
std::vector<uint32_t> DiffPicture(const TWindowPixels& Actual, const TWindowPixels& Expected) {
  std::vector<uint32_t> out(Expected.Pixels.size());
  for (size_t i = 0; i < out.size(); ++i) {
    if (Actual.Pixels[i] != Expected.Pixels[i]) {
      out[i] = 0xFF0000;
      continue;
    }
    const uint32_t p = Expected.Pixels[i];
    auto dim = [](uint32_t c) { return 128 + c / 2; };
    out[i] = (dim((p >> 16) & 0xFF) << 16) | (dim((p >> 8) & 0xFF) << 8) | dim(p & 0xFF);
  }
  return out;
}

}  // namespace

TWindowPixels CaptureWindowPixels(HWND Window) {
  const HWND top = GetAncestor(Window, GA_ROOT);
  RECT topRect{}, rect{};
  HBITMAP surface = nullptr;
  BITMAP size{};
  if (!top || !GetWindowRect(top, &topRect) || !GetWindowRect(Window, &rect) ||
      !SurfaceSize(top, surface, size))
    return {};
  // Window rectangle in surface coordinates, cut to the surface.
  const int left = std::max(0, rect.Left - topRect.Left), top0 = std::max(0, rect.Top - topRect.Top);
  const int right = std::min(size.bmWidth, rect.Right - topRect.Left);
  const int bottom = std::min(size.bmHeight, rect.Bottom - topRect.Top);
  TWindowPixels out;
  if (right <= left || bottom <= top0) return out;
  thread_local std::vector<uint32_t> rows;
  if (!SurfaceRows(surface, size.bmWidth, top0, bottom, rows)) return out;
  out.Width = right - left;
  out.Height = bottom - top0;
  CopyColumns(rows, size.bmWidth, left, right, out.Height, out.Pixels);
  return out;
}

void RepaintWholeWindow(HWND Window) {
  RedrawWindow(Window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

PAINT_ORACLE_PIXEL_LOOP TPixelDifference ComparePixels(const TWindowPixels& Actual,
                                                       const TWindowPixels& Expected) {
  TPixelDifference d;
  if (Actual.Width != Expected.Width || Actual.Height != Expected.Height) {
    d.Count = std::max(Actual.Width * Actual.Height, Expected.Width * Expected.Height);
    d.Bounds = RECT{0, 0, std::max(Actual.Width, Expected.Width), std::max(Actual.Height, Expected.Height)};
    return d;
  }
  if (Actual.Pixels == Expected.Pixels) return d;
  RECT b{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < Actual.Height; ++y)
    for (int x = 0; x < Actual.Width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(Actual.Width) + static_cast<size_t>(x);
      if (Actual.Pixels[i] == Expected.Pixels[i]) continue;
      if (d.Count++ == 0) {
        d.First = POINT{x, y};
        d.Actual = Actual.Pixels[i];
        d.Expected = Expected.Pixels[i];
      }
      b = RECT{std::min(b.Left, x), std::min(b.Top, y), std::max(b.Right, x + 1), std::max(b.Bottom, y + 1)};
    }
  if (d.Count > 0) d.Bounds = b;
  return d;
}

std::string ProgramDirectory() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string path(buf, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
}

TPaintOracle::TPaintOracle(HWND Window, std::string Name) : window_(Window), name_(std::move(Name)) {}

std::string TPaintOracle::Check() {
  ++checks_;
  // The caret is drawn by inverting its pixels: take it off both pictures alike.
  const bool caretHidden = HideCaret(nullptr) != FALSE;
  TScopeExit showCaret([&] {
    if (caretHidden) ShowCaret(nullptr);
  });
  const TWindowPixels actual = CaptureWindowPixels(window_);
  RepaintWholeWindow(window_);
  const TWindowPixels expected = CaptureWindowPixels(window_);
  const TPixelDifference d = ComparePixels(actual, expected);
  if (d.Count == 0) return {};
  ++mismatches_;
  std::string report = std::to_string(d.Count) + " pixels differ from a full repaint";
  if (actual.Width != expected.Width || actual.Height != expected.Height) {
    report += " (sizes " + std::to_string(actual.Width) + "x" + std::to_string(actual.Height) + " and " +
              std::to_string(expected.Width) + "x" + std::to_string(expected.Height) + ")";
    return report;
  }
  report += " within (" + std::to_string(d.Bounds.Left) + "," + std::to_string(d.Bounds.Top) + ")-(" +
            std::to_string(d.Bounds.Right) + "," + std::to_string(d.Bounds.Bottom) + "); first at (" +
            std::to_string(d.First.X) + "," + std::to_string(d.First.Y) + "): shown " + Hex(d.Actual) +
            ", repainted " + Hex(d.Expected);
  if (writePictures_ && actual.Width > 0 && actual.Height > 0) {
    const std::string base = ProgramDirectory() + name_;
    WritePng(base + "-actual.png", actual.Width, actual.Height, actual.Pixels.data());
    WritePng(base + "-expected.png", expected.Width, expected.Height, expected.Pixels.data());
    const std::vector<uint32_t> diff = DiffPicture(actual, expected);
    WritePng(base + "-diff.png", expected.Width, expected.Height, diff.data());
    report += "; pictures: " + base + "-{actual,expected,diff}.png";
  }
  return report;
}

}  // namespace test_support
