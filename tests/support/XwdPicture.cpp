#include "tests/support/XwdPicture.h"

#include <algorithm>
#include <cstdio>

#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Exceptions.h"

namespace test_support {
namespace {

// The header of an xwd file: 25 big-endian 32-bit fields, then the window's name.
enum TXwdField : size_t {
  kHeaderSize = 0,
  kFormat = 2,
  kWidth = 4,
  kHeight = 5,
  kByteOrder = 7,
  kBitsPerPixel = 11,
  kBytesPerLine = 12,
  kRedMask = 14,
  kGreenMask = 15,
  kBlueMask = 16,
  kColorCount = 19,
  kFieldCount = 25,
};
constexpr uint32_t kZPixmap = 2;
constexpr size_t kColorEntrySize = 12;  // pixel, red, green, blue, flags, pad

uint32_t BigEndian(const unsigned char* b) {
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

// The channel Mask selects in Value, scaled to 8 bits.
uint32_t Channel(uint32_t Value, uint32_t Mask) {
  if (!Mask) return 0;
  const int shift = __builtin_ctz(Mask);
  return ((Value & Mask) >> shift) * 255 / (Mask >> shift);
}

std::string Hex(uint32_t V) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", V);
  return buf;
}

}  // namespace

std::optional<TWindowPixels> ParseXwd(const std::string& Dump) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(Dump.data());
  if (Dump.size() < kFieldCount * 4) return std::nullopt;
  auto field = [&](size_t index) { return BigEndian(bytes + index * 4); };
  const uint64_t width = field(kWidth), height = field(kHeight), perLine = field(kBytesPerLine);
  if (field(kFormat) != kZPixmap || field(kBitsPerPixel) != 32 || width == 0 || height == 0 ||
      width > 1 << 15 || height > 1 << 15 || perLine < width * 4)
    return std::nullopt;
  const uint64_t start = uint64_t{field(kHeaderSize)} + uint64_t{field(kColorCount)} * kColorEntrySize;
  if (start + perLine * (height - 1) + width * 4 > Dump.size()) return std::nullopt;
  const bool msbFirst = field(kByteOrder) != 0;
  const uint32_t red = field(kRedMask), green = field(kGreenMask), blue = field(kBlueMask);
  TWindowPixels out;
  out.Width = static_cast<int>(width);
  out.Height = static_cast<int>(height);
  out.Pixels.reserve(width * height);
  for (uint64_t y = 0; y < height; ++y)
    for (uint64_t x = 0; x < width; ++x) {
      const unsigned char* b = bytes + start + y * perLine + x * 4;
      const uint32_t v = msbFirst
                             ? BigEndian(b)
                             : (uint32_t{b[3]} << 24) | (uint32_t{b[2]} << 16) | (uint32_t{b[1]} << 8) | b[0];
      out.Pixels.push_back((Channel(v, red) << 16) | (Channel(v, green) << 8) | Channel(v, blue));
    }
  return out;
}

TWindowPixels CropPixels(const TWindowPixels& Picture, const RECT& Rect) {
  const int left = std::max(0, Rect.Left), top = std::max(0, Rect.Top);
  const int right = std::min(Picture.Width, Rect.Right), bottom = std::min(Picture.Height, Rect.Bottom);
  TWindowPixels out;
  if (right <= left || bottom <= top) return out;
  out.Width = right - left;
  out.Height = bottom - top;
  out.Pixels.reserve(static_cast<size_t>(out.Width) * static_cast<size_t>(out.Height));
  for (int y = top; y < bottom; ++y) {
    const auto row = Picture.Pixels.begin() + static_cast<ptrdiff_t>(y) * Picture.Width;
    out.Pixels.insert(out.Pixels.end(), row + left, row + right);
  }
  return out;
}

uint32_t PixelAt(const TWindowPixels& Picture, int X, int Y) {
  if (X < 0 || Y < 0 || X >= Picture.Width || Y >= Picture.Height) return 0xFFFFFFFF;
  return Picture.Pixels[static_cast<size_t>(Y) * static_cast<size_t>(Picture.Width) + static_cast<size_t>(X)];
}

bool WritePicturePng(const std::string& Path, const TWindowPixels& Picture) {
  if (Picture.Width <= 0 || Picture.Height <= 0) return false;
  try {
    WritePng(Path, Picture.Width, Picture.Height, Picture.Pixels.data());
  } catch (const Exception&) {  // the caller reports the picture it could not keep
    return false;
  }
  return true;
}

std::string DescribeDifference(const TWindowPixels& A, const TWindowPixels& B) {
  const TPixelDifference d = ComparePixels(A, B);
  if (d.Count == 0) return "";
  if (A.Width != B.Width || A.Height != B.Height)
    return "sizes differ: " + std::to_string(A.Width) + "x" + std::to_string(A.Height) + " and " +
           std::to_string(B.Width) + "x" + std::to_string(B.Height);
  return std::to_string(d.Count) + " pixels differ within (" + std::to_string(d.Bounds.Left) + "," +
         std::to_string(d.Bounds.Top) + ")-(" + std::to_string(d.Bounds.Right) + "," +
         std::to_string(d.Bounds.Bottom) + "); first at (" + std::to_string(d.First.X) + "," +
         std::to_string(d.First.Y) + "): " + Hex(d.Actual) + " and " + Hex(d.Expected);
}

}  // namespace test_support
