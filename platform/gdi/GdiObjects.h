#pragma once
// The objects behind GDI handles: pens, brushes, fonts, bitmaps, regions and palettes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/HandleTable.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Regions.h"

namespace gdi_internal {

constexpr BOOL kGdiTrue = 1, kGdiFalse = 0;

struct TPenObj : TGdiObject {
  static constexpr TObjKind kKind = TObjKind::Pen;
  TPenObj() : TGdiObject(kKind) {}
  LOGPEN Log;
  bool DCPen = false;  // takes the colour of the DC that uses it
};

struct TBrushObj : TGdiObject {
  static constexpr TObjKind kKind = TObjKind::Brush;
  TBrushObj() : TGdiObject(kKind) {}
  LOGBRUSH Log;
  int SysColorIndex = -1;  // follows the system-colour table
  bool DCBrush = false;    // takes the colour of the DC that uses it
  // BS_PATTERN: the brush's own copy of the bitmap (pixels; 0 or 0xFFFFFF when monochrome).
  int PatternWidth = 0;
  int PatternHeight = 0;
  bool PatternMono = false;
  std::vector<uint32_t> Pattern;
};

struct TFontObj : TGdiObject {
  static constexpr TObjKind kKind = TObjKind::Font;
  TFontObj() : TGdiObject(kKind) {}
  LOGFONT Log;
};

struct TRegionObj : TGdiObject {
  static constexpr TObjKind kKind = TObjKind::Region;
  TRegionObj() : TGdiObject(kKind) {}
  TRegion Region;
};

struct TPaletteObj : TGdiObject {
  static constexpr TObjKind kKind = TObjKind::Palette;
  TPaletteObj() : TGdiObject(kKind) {}
};

// A bitmap. Drawing always works on 32-bit pixels: device-dependent bitmaps of any depth keep
// only those (a monochrome one holds 0 and 0xFFFFFF), a 32-bit DIB section draws straight into
// the memory the program sees, and a DIB section of fewer bits keeps a working copy that each
// drawing call loads before and stores back after.
struct TBitmapObj : TGdiObject {
  static constexpr TObjKind kKind = TObjKind::Bitmap;
  TBitmapObj() : TGdiObject(kKind) {}

  int Width = 0;
  int Height = 0;
  int Bpp = 32;
  bool Dib = false;
  bool TopDown = true;
  std::vector<uint32_t> Pixels;     // see above
  std::vector<uint32_t> DibMemory;  // DIB sections below 32 bits: the program's memory
  std::vector<RGBQUAD> Palette;     // DIB sections of 1, 4 and 8 bits
  void* OwnerDC = nullptr;          // the memory DC that has it selected
  int OwnerRefs = 0;                // that DC's states holding it

  // A device-dependent monochrome bitmap: blits convert through the DCs' text and
  // background colours.
  bool Mono() const { return Bpp == 1 && !Dib; }
  size_t DibStride() const { return DibRowBytes(Width, Bpp); }
  void* Bits();  // the DIB memory; nullptr for device-dependent bitmaps
  TSurface Surface();
  bool NeedsSync() const { return Dib && Bpp != 32; }
  // Working copy from the DIB memory.
  void Load();
  // Working copy back into the DIB memory; a monochrome bitmap snaps blended pixels to
  // black or white when `blended`.
  void Store(bool blended);

  static size_t DibRowBytes(int width, int bpp) {
    return ((static_cast<size_t>(width) * static_cast<size_t>(bpp) + 31) / 32) * 4;
  }
};

// Largest bitmap side and pixel count accepted, so a request cannot allocate without bound.
constexpr int kMaxBitmapSide = 1 << 16;
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;

// DIB rows of 1, 4, 8, 16 (5-5-5), 24 and 32 bits to and from pixels. Palette indexes past
// `paletteCount` read as black.
void DecodeDibRow(const uint8_t* src, int bpp, int width, const RGBQUAD* palette, int paletteCount,
                  uint32_t* out);
void EncodeDibRow(const uint32_t* pixels, int width, int bpp, const RGBQUAD* palette, int paletteCount,
                  uint8_t* out);

// A new bitmap registered in the table (pixels black); nullptr when the size is refused.
TBitmapObj* NewBitmap(int width, int height, int bpp);
// The 1x1 monochrome bitmap of a fresh memory DC.
HBITMAP DefaultBitmap();

}  // namespace gdi_internal
