#pragma once
// The BMP file format: a reader for untrusted files (skin files carry bitmaps) and a writer.
// The reader takes the 12-byte core header and the 40-, 52-, 56-, 108- and 124-byte info
// headers; 1, 4, 8, 16, 24 and 32 bits a pixel; BI_RGB, BI_RLE4, BI_RLE8 and BI_BITFIELDS;
// bottom-up and top-down rows. Every field, size and offset is checked against the data, and
// a refused file raises EInvalidGraphic; nothing is read or written out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Exceptions.h"

class EInvalidGraphic : public Exception {
 public:
  explicit EInvalidGraphic(std::string m) : Exception(std::move(m)) {}
};

// Limits on what the reader accepts (and the writer writes).
constexpr int kBmpMaxSide = 8192;
constexpr int64_t kBmpMaxPixels = 16 * 1024 * 1024;

// A decoded image: 0x00RRGGBB pixels in top-down rows.
struct TBmpImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  // One byte a pixel, same order as Pixels; only 32-bit sources that carry an alpha channel
  // fill it (BI_RGB, whose fourth byte is kept as is, or BI_BITFIELDS with an alpha mask).
  std::vector<uint8_t> Alpha;
  // What the source was, for callers that care (0 for images made in memory).
  int SourceBitCount = 0;
  DWORD SourceCompression = BI_RGB;

  uint32_t Pixel(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
  // True when some alpha byte is not zero (many 32-bit files leave the fourth byte unused).
  bool AlphaUsed() const;
};

// A whole .bmp file: BITMAPFILEHEADER, then the info header, masks, palette and pixels.
TBmpImage DecodeBmp(const void* data, size_t size);
TBmpImage DecodeBmp(const std::vector<uint8_t>& data);
// A packed DIB (the clipboard's form): the info header, masks, palette, then the pixels.
TBmpImage DecodeDib(const void* data, size_t size);
// Reads and decodes a file; EFOpenError when it cannot be read.
TBmpImage LoadBmpFile(const std::string& path);

struct TBmpWriteOptions {
  int BitCount = 24;  // 1, 4, 8 (with a palette), 16 (5-5-5), 24 or 32
  bool TopDown = false;
  // For 1, 4 and 8 bits: the palette (0x00RRGGBB); empty builds it from the image's colours in
  // order of appearance. Either way every pixel must find its exact colour in it.
  std::vector<uint32_t> Palette;
};

// Writes BITMAPFILEHEADER + BITMAPINFOHEADER (BI_RGB). 32-bit files carry the image's alpha
// bytes (zero when it has none).
std::vector<uint8_t> EncodeBmp(const TBmpImage& image, const TBmpWriteOptions& options = {});
void SaveBmpFile(const std::string& path, const TBmpImage& image, const TBmpWriteOptions& options = {});

// A 32-bit top-down DIB section holding the image. With `keepAlpha` and an alpha channel the
// fourth byte carries it and the colours are premultiplied, as AlphaBlend with AC_SRC_ALPHA
// wants; otherwise the fourth byte is zero. Answers nullptr when the bitmap cannot be made.
HBITMAP CreateBitmapFromBmpImage(const TBmpImage& image, bool keepAlpha = false);
// The pixels of a 32-bit bitmap (the fourth byte dropped); EInvalidGraphic for a bad handle.
TBmpImage BmpImageFromBitmap(HBITMAP bitmap);
