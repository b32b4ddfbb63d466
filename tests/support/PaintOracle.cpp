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

// All of a top-level window's surface, row by row.
TWindowPixels SurfacePixels(HWND Top) {
  TWindowPixels out;
  const HBITMAP surface = GetTopLevelSurface(Top);
  BITMAP size{};
  if (!surface || !GetObject(surface, sizeof(size), &size) || size.bmWidth <= 0 || size.bmHeight <= 0)
    return out;
  BITMAPINFO info{};
  info.bmiHeader.biWidth = size.bmWidth;
  info.bmiHeader.biHeight = -size.bmHeight;  // top-down
  info.bmiHeader.biBitCount = 32;
  out.Pixels.resize(static_cast<size_t>(size.bmWidth) * static_cast<size_t>(size.bmHeight));
  if (GetDIBits(nullptr, surface, 0, static_cast<UINT>(size.bmHeight), out.Pixels.data(), &info,
                DIB_RGB_COLORS) != size.bmHeight)
    return TWindowPixels{};
  out.Width = size.bmWidth;
  out.Height = size.bmHeight;
  for (uint32_t& p : out.Pixels) p &= 0xFFFFFF;
  return out;
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
  if (!top || !GetWindowRect(top, &topRect) || !GetWindowRect(Window, &rect)) return {};
  const TWindowPixels all = SurfacePixels(top);
  if (all.Pixels.empty()) return {};
  // Window rectangle in surface coordinates, cut to the surface.
  const int left = std::max(0, rect.Left - topRect.Left), top0 = std::max(0, rect.Top - topRect.Top);
  const int right = std::min(all.Width, rect.Right - topRect.Left);
  const int bottom = std::min(all.Height, rect.Bottom - topRect.Top);
  TWindowPixels out;
  if (right <= left || bottom <= top0) return out;
  out.Width = right - left;
  out.Height = bottom - top0;
  out.Pixels.reserve(static_cast<size_t>(out.Width) * static_cast<size_t>(out.Height));
  for (int y = top0; y < bottom; ++y) {
    const auto row = all.Pixels.begin() + static_cast<ptrdiff_t>(y) * all.Width;
    out.Pixels.insert(out.Pixels.end(), row + left, row + right);
  }
  return out;
}

void RepaintWholeWindow(HWND Window) {
  RedrawWindow(Window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

TPixelDifference ComparePixels(const TWindowPixels& Actual, const TWindowPixels& Expected) {
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
