#include <algorithm>
#include <cstring>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"

using namespace gdi_internal;

namespace gdi_internal {

namespace {

uint32_t PaletteEntry(const RGBQUAD* palette, int count, unsigned index) {
  if (static_cast<int>(index) >= count) return 0;
  const RGBQUAD& q = palette[index];
  return (uint32_t{q.rgbRed} << 16) | (uint32_t{q.rgbGreen} << 8) | q.rgbBlue;
}

int Channel(uint32_t p, int shift) {
  return static_cast<int>((p >> shift) & 0xFF);
}

// Nearest palette entry, remembering the last answer: DIB rows repeat colours.
class TPaletteMatcher {
 public:
  TPaletteMatcher(const RGBQUAD* palette, int count) : palette_(palette), count_(count) {}
  unsigned Index(uint32_t pixel) {
    pixel &= kColorMask;
    if (haveLast_ && pixel == lastPixel_) return lastIndex_;
    unsigned best = 0;
    int64_t bestDistance = INT64_MAX;
    for (int i = 0; i < count_; ++i) {
      const int dr = Channel(pixel, 16) - palette_[i].rgbRed, dg = Channel(pixel, 8) - palette_[i].rgbGreen,
                db = Channel(pixel, 0) - palette_[i].rgbBlue;
      const int64_t d = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
      if (d < bestDistance) {
        bestDistance = d;
        best = static_cast<unsigned>(i);
        if (d == 0) break;
      }
    }
    haveLast_ = true;
    lastPixel_ = pixel;
    lastIndex_ = best;
    return best;
  }

 private:
  const RGBQUAD* palette_;
  int count_;
  bool haveLast_ = false;
  uint32_t lastPixel_ = 0;
  unsigned lastIndex_ = 0;
};

}  // namespace

void DecodeDibRow(const uint8_t* src, int bpp, int width, const RGBQUAD* palette, int paletteCount,
                  uint32_t* out) {
  switch (bpp) {
    case 1:
      for (int x = 0; x < width; ++x)
        out[x] = PaletteEntry(palette, paletteCount, (src[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case 4:
      for (int x = 0; x < width; ++x)
        out[x] = PaletteEntry(palette, paletteCount, (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4));
      break;
    case 8:
      for (int x = 0; x < width; ++x) out[x] = PaletteEntry(palette, paletteCount, src[x]);
      break;
    case 16:
      for (int x = 0; x < width; ++x) {
        const unsigned v = src[2 * x] | (unsigned{src[2 * x + 1]} << 8);
        const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        out[x] = (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
      }
      break;
    case 24:
      for (int x = 0; x < width; ++x)
        out[x] = (uint32_t{src[3 * x + 2]} << 16) | (uint32_t{src[3 * x + 1]} << 8) | src[3 * x];
      break;
    case 32:
      std::memcpy(out, src, static_cast<size_t>(width) * 4);
      break;
    default:
      std::fill(out, out + width, 0u);
      break;
  }
}

void EncodeDibRow(const uint32_t* pixels, int width, int bpp, const RGBQUAD* palette, int paletteCount,
                  uint8_t* out) {
  TPaletteMatcher match(palette, paletteCount);
  switch (bpp) {
    case 1:
      std::memset(out, 0, (static_cast<size_t>(width) + 7) / 8);
      for (int x = 0; x < width; ++x)
        if (match.Index(pixels[x]) & 1) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      break;
    case 4:
      std::memset(out, 0, (static_cast<size_t>(width) + 1) / 2);
      for (int x = 0; x < width; ++x) {
        const unsigned i = match.Index(pixels[x]) & 0x0F;
        out[x >> 1] |= static_cast<uint8_t>((x & 1) ? i : i << 4);
      }
      break;
    case 8:
      for (int x = 0; x < width; ++x) out[x] = static_cast<uint8_t>(match.Index(pixels[x]));
      break;
    case 16:
      for (int x = 0; x < width; ++x) {
        const uint32_t p = pixels[x];
        const unsigned v = ((Channel(p, 16) >> 3) << 10) | ((Channel(p, 8) >> 3) << 5) | (Channel(p, 0) >> 3);
        out[2 * x] = static_cast<uint8_t>(v & 0xFF);
        out[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      }
      break;
    case 24:
      for (int x = 0; x < width; ++x) {
        out[3 * x] = static_cast<uint8_t>(Channel(pixels[x], 0));
        out[3 * x + 1] = static_cast<uint8_t>(Channel(pixels[x], 8));
        out[3 * x + 2] = static_cast<uint8_t>(Channel(pixels[x], 16));
      }
      break;
    case 32:
      std::memcpy(out, pixels, static_cast<size_t>(width) * 4);
      break;
    default:
      break;
  }
}

void* TBitmapObj::Bits() {
  if (!Dib) return nullptr;
  return Bpp == 32 ? static_cast<void*>(Pixels.data()) : static_cast<void*>(DibMemory.data());
}

TSurface TBitmapObj::Surface() {
  TSurface s;
  s.Width = Width;
  s.Height = Height;
  s.Mono = Mono();
  if (Pixels.empty()) return s;
  if (Dib && Bpp == 32 && !TopDown) {
    s.Row0 = Pixels.data() + static_cast<ptrdiff_t>(Height - 1) * Width;
    s.Stride = -static_cast<ptrdiff_t>(Width);
  } else {
    s.Row0 = Pixels.data();
    s.Stride = Width;
  }
  return s;
}

void TBitmapObj::Load() {
  if (!NeedsSync()) return;
  const auto* bytes = reinterpret_cast<const uint8_t*>(DibMemory.data());
  const size_t stride = DibStride();
  for (int y = 0; y < Height; ++y) {
    const int row = TopDown ? y : Height - 1 - y;
    DecodeDibRow(bytes + static_cast<size_t>(row) * stride, Bpp, Width, Palette.data(),
                 static_cast<int>(Palette.size()), Pixels.data() + static_cast<size_t>(y) * Width);
  }
}

void TBitmapObj::Store(bool blended) {
  if (NeedsSync()) {
    auto* bytes = reinterpret_cast<uint8_t*>(DibMemory.data());
    const size_t stride = DibStride();
    for (int y = 0; y < Height; ++y) {
      const int row = TopDown ? y : Height - 1 - y;
      EncodeDibRow(Pixels.data() + static_cast<size_t>(y) * Width, Width, Bpp, Palette.data(),
                   static_cast<int>(Palette.size()), bytes + static_cast<size_t>(row) * stride);
    }
  } else if (Mono() && blended) {
    for (uint32_t& p : Pixels) p = MonoPixel(p);
  }
}

namespace {

bool SizeAccepted(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
         width * height <= kMaxBitmapPixels;
}

}  // namespace

TBitmapObj* NewBitmap(int width, int height, int bpp) {
  if (!SizeAccepted(width, height)) return nullptr;
  auto bmp = std::make_unique<TBitmapObj>();
  bmp->Width = width;
  bmp->Height = height;
  bmp->Bpp = bpp;
  bmp->Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
  TBitmapObj* raw = bmp.get();
  return RegisterObject(std::move(bmp)) ? raw : nullptr;
}

HBITMAP DefaultBitmap() {
  static HBITMAP stock = nullptr;
  if (!Lookup<TBitmapObj>(stock)) {
    TBitmapObj* bmp = NewBitmap(1, 1, 1);
    if (!bmp) return nullptr;
    bmp->Stock = true;
    stock = static_cast<HBITMAP>(bmp->Handle);
  }
  return stock;
}

}  // namespace gdi_internal

namespace {

// The colour table GetDIBits writes for a depth of 8 bits or fewer: the bitmap's own when it
// has one of that size, black and white at 1 bit, the 16 standard colours at 4, and a 6x6x6
// cube with a grey ramp at 8.
std::vector<RGBQUAD> DefaultPalette(const TBitmapObj& bmp, int bpp) {
  if (bmp.Dib && bmp.Bpp == bpp && !bmp.Palette.empty()) return bmp.Palette;
  std::vector<RGBQUAD> pal;
  auto add = [&](int r, int g, int b) {
    RGBQUAD q;
    q.rgbRed = static_cast<BYTE>(r);
    q.rgbGreen = static_cast<BYTE>(g);
    q.rgbBlue = static_cast<BYTE>(b);
    pal.push_back(q);
  };
  if (bpp == 1) {
    add(0, 0, 0);
    add(255, 255, 255);
  } else if (bpp == 4) {
    static const int kVga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const auto& c : kVga) add(c[0], c[1], c[2]);
  } else if (bpp == 8) {
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) add(r * 51, g * 51, b * 51);
    for (int i = 0; i < 40; ++i) add(i * 255 / 39, i * 255 / 39, i * 255 / 39);
  }
  return pal;
}

bool DepthSupported(int bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// Colour-table entries a BITMAPINFO carries; -1 when the header is unusable.
int ColorTableSize(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return 0;
  const DWORD max = DWORD{1} << h.biBitCount;
  const DWORD used = h.biClrUsed ? h.biClrUsed : max;
  return used > max ? -1 : static_cast<int>(used);
}

bool HeaderUsable(const BITMAPINFOHEADER& h) {
  return h.biSize >= 40 && h.biPlanes == 1 && DepthSupported(h.biBitCount) && h.biCompression == BI_RGB &&
         h.biWidth > 0 && h.biHeight != 0 && h.biHeight != INT32_MIN &&
         SizeAccepted(h.biWidth, h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight) &&
         ColorTableSize(h) >= 0;
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  int bpp = 32;
  if (dc) {
    TDeviceContext* d = LookupDC(dc);
    if (!d) return nullptr;
    // A memory DC still holding its monochrome default bitmap makes monochrome bitmaps.
    if (d->Type == TDCType::Memory && d->MonoSurface()) bpp = 1;
  }
  if (width == 0 || height == 0) {
    width = height = 1;
    bpp = 1;
  }
  TBitmapObj* bmp = NewBitmap(width, height, bpp);
  return bmp ? static_cast<HBITMAP>(bmp->Handle) : nullptr;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || !DepthSupported(static_cast<int>(bitsPerPixel))) return nullptr;
  const int bpp = static_cast<int>(bitsPerPixel);
  // Initial bits are taken at 1, 24 and 32 bits; rows are padded to 16 bits.
  if (bits && bpp != 1 && bpp != 24 && bpp != 32) return nullptr;
  TBitmapObj* bmp = NewBitmap(width, height, bpp);
  if (!bmp) return nullptr;
  if (bits) {
    const auto* src = static_cast<const uint8_t*>(bits);
    const size_t stride = ((static_cast<size_t>(width) * static_cast<size_t>(bpp) + 15) / 16) * 2;
    static const RGBQUAD kMono[2] = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    for (int y = 0; y < height; ++y)
      DecodeDibRow(src + static_cast<size_t>(y) * stride, bpp, width, kMono, 2,
                   bmp->Pixels.data() + static_cast<size_t>(y) * width);
  }
  return static_cast<HBITMAP>(bmp->Handle);
}

HBITMAP CreateDIBSection(HDC /*dc*/, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD /*offset*/) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section || !HeaderUsable(info->bmiHeader)) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  auto bmp = std::make_unique<TBitmapObj>();
  bmp->Dib = true;
  bmp->Bpp = h.biBitCount;
  bmp->Width = h.biWidth;
  bmp->TopDown = h.biHeight < 0;
  bmp->Height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const int colors = ColorTableSize(h);
  bmp->Palette.assign(info->bmiColors, info->bmiColors + colors);
  const size_t pixels = static_cast<size_t>(bmp->Width) * static_cast<size_t>(bmp->Height);
  bmp->Pixels.assign(pixels, 0u);
  if (bmp->Bpp != 32)
    bmp->DibMemory.assign((bmp->DibStride() * static_cast<size_t>(bmp->Height) + 3) / 4, 0u);
  bmp->Load();
  TBitmapObj* raw = bmp.get();
  HBITMAP handle = static_cast<HBITMAP>(RegisterObject(std::move(bmp)));
  if (handle && bits) *bits = raw->Bits();
  return handle;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info,
              UINT usage) {
  TBitmapObj* bmp = Lookup<TBitmapObj>(bitmap);
  if ((dc && !LookupDC(dc)) || !bmp || !info || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < 40) return 0;
  if (!bits) {
    // Describe the bitmap: its own format when no depth is asked for, else the asked one.
    const bool own = h.biBitCount == 0;
    const int bpp = own ? bmp->Bpp : h.biBitCount;
    if (!DepthSupported(bpp)) return 0;
    h.biWidth = bmp->Width;
    h.biHeight = bmp->Height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bpp);
    h.biCompression = BI_RGB;
    h.biSizeImage =
        static_cast<DWORD>(TBitmapObj::DibRowBytes(bmp->Width, bpp) * static_cast<size_t>(bmp->Height));
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    if (!own && bpp <= 8) {
      const std::vector<RGBQUAD> pal = DefaultPalette(*bmp, bpp);
      std::copy(pal.begin(), pal.end(), info->bmiColors);
    }
    return 1;
  }
  if (!HeaderUsable(h) || h.biWidth != bmp->Width) return 0;
  const int bpp = h.biBitCount;
  const int dibHeight = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const bool topDown = h.biHeight < 0;
  std::vector<RGBQUAD> pal;
  if (bpp <= 8) {
    pal = DefaultPalette(*bmp, bpp);
    std::copy(pal.begin(), pal.end(), info->bmiColors);
    h.biClrUsed = 0;
  }
  if (bmp->NeedsSync()) bmp->Load();
  const TSurface s = bmp->Surface();
  const size_t stride = TBitmapObj::DibRowBytes(bmp->Width, bpp);
  auto* out = static_cast<uint8_t*>(bits);
  int copied = 0;
  for (int64_t scan = startScan; scan < int64_t{startScan} + scanLines && scan < dibHeight; ++scan) {
    const int64_t row = topDown ? scan : dibHeight - 1 - scan;  // from the top
    if (row >= bmp->Height) continue;
    EncodeDibRow(s.Row(static_cast<int>(row)), bmp->Width, bpp, pal.data(), static_cast<int>(pal.size()),
                 out + static_cast<size_t>(scan - startScan) * stride);
    ++copied;
  }
  return copied;
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  TBitmapObj* bmp = Lookup<TBitmapObj>(bitmap);
  if ((dc && !LookupDC(dc)) || !bmp || !info || !bits || usage != DIB_RGB_COLORS ||
      !HeaderUsable(info->bmiHeader))
    return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int bpp = h.biBitCount;
  const int dibHeight = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const bool topDown = h.biHeight < 0;
  const int colors = ColorTableSize(h);
  const size_t stride = TBitmapObj::DibRowBytes(h.biWidth, bpp);
  const int width = std::min(bmp->Width, h.biWidth);
  if (bmp->NeedsSync()) bmp->Load();
  const TSurface s = bmp->Surface();
  std::vector<uint32_t> row(static_cast<size_t>(h.biWidth));
  const auto* in = static_cast<const uint8_t*>(bits);
  int copied = 0;
  for (int64_t scan = startScan; scan < int64_t{startScan} + scanLines && scan < dibHeight; ++scan) {
    const int64_t y = topDown ? scan : dibHeight - 1 - scan;
    if (y >= bmp->Height) continue;
    DecodeDibRow(in + static_cast<size_t>(scan - startScan) * stride, bpp, h.biWidth, info->bmiColors, colors,
                 row.data());
    uint32_t* dst = s.Row(static_cast<int>(y));
    for (int x = 0; x < width; ++x) dst[x] = s.Mono ? MonoPixel(row[x]) : row[x];
    ++copied;
  }
  bmp->Store(false);
  return copied;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return CLR_INVALID;
  TDrawScope scope(*d, false);
  if (!scope.Ok()) return CLR_INVALID;
  const TPoint p = scope.ToSurface(d->MapPoint({x, y}));
  if (!scope.Raster().Visible(p.X, p.Y)) return CLR_INVALID;
  return ColorFromPixel(scope.Raster().Surface().Row(p.Y)[p.X]) & kColorMask;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return CLR_INVALID;
  if (Recording(*d)) {
    TDrawCall call = MakeCall(TDrawKind::Pixel);
    call.Rect = {x, y, ClampedSum(x, 1), ClampedSum(y, 1)};
    call.Points = {{x, y}};
    call.Color = color & kColorMask;
    call.Note = "SetPixel";
    RecordCall(*d, std::move(call));
  }
  TDrawScope scope(*d);
  if (!scope.Ok()) return CLR_INVALID;
  const TPoint p = scope.ToSurface(d->MapPoint({x, y}));
  if (!scope.Raster().Visible(p.X, p.Y)) return CLR_INVALID;
  const uint32_t pixel = d->DevicePixel(color);
  scope.Raster().Surface().Row(p.Y)[p.X] = pixel;
  return ColorFromPixel(pixel);
}
