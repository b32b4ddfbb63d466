#include "platform/gdi/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <iterator>
#include <optional>
#include <unordered_map>

#include "platform/gdi/SurfaceAccess.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12, kInfoHeaderSize = 40;
// A valid file is at most the largest pixel array plus headers and a palette.
constexpr uint64_t kMaxFileSize = kBmpMaxPixels * 4 + 64 * 1024;

[[noreturn]] void Refuse(const std::string& reason) {
  throw EInvalidGraphic("Bitmap image is not valid: " + reason);
}

class TBytes {
 public:
  TBytes(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}
  size_t Size() const { return size_; }
  bool Has(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
  const uint8_t* At(uint64_t offset) const { return data_ + offset; }
  uint8_t U8(uint64_t offset) const {
    Need(offset, 1);
    return data_[offset];
  }
  uint16_t U16(uint64_t offset) const {
    Need(offset, 2);
    return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
  }
  uint32_t U32(uint64_t offset) const {
    Need(offset, 4);
    return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
           static_cast<uint32_t>(data_[offset + 2]) << 16 | static_cast<uint32_t>(data_[offset + 3]) << 24;
  }

 private:
  void Need(uint64_t offset, uint64_t count) const {
    if (!Has(offset, count)) Refuse("header truncated");
  }
  const uint8_t* data_;
  size_t size_;
};

// One colour channel of a 16- or 32-bit pixel, scaled to eight bits.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  static TChannel FromMask(uint32_t mask) {
    TChannel c;
    if (mask == 0) return c;
    c.Mask = mask;
    c.Shift = std::countr_zero(mask);
    const uint32_t run = mask >> c.Shift;
    if ((run & (run + 1)) != 0) Refuse("bit field mask is not contiguous");
    c.Bits = std::popcount(mask);
    return c;
  }
  uint32_t Extract(uint32_t value) const {
    if (Bits == 0) return 0;
    const uint64_t max = (uint64_t{1} << Bits) - 1;
    const uint64_t v = (value & Mask) >> Shift;
    return static_cast<uint32_t>((v * 255 + max / 2) / max);
  }
};

struct TLayout {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int BitCount = 0;
  DWORD Compression = BI_RGB;
  uint32_t SizeImage = 0;
  TChannel Red, Green, Blue, AlphaChannel;
  bool KeepAlpha = false;
  std::vector<uint32_t> Palette;
  uint64_t PixelOffset = 0;

  uint32_t Color(uint32_t index) const { return index < Palette.size() ? Palette[index] : 0; }
  uint32_t Masked(uint32_t v) const { return Red.Extract(v) << 16 | Green.Extract(v) << 8 | Blue.Extract(v); }
};

bool ValidBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

void CheckDimensions(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) Refuse("zero or negative size");
  if (width > kBmpMaxSide || height > kBmpMaxSide) Refuse("dimensions too large");
  if (width * height > kBmpMaxPixels) Refuse("too many pixels");
}

// Reads the info header at `at` and what follows it up to the pixels. `fileOffset` is the
// pixel offset a file header gave; a packed DIB has its pixels right after the palette.
TLayout ReadLayout(const TBytes& in, uint64_t at, std::optional<uint64_t> fileOffset) {
  TLayout l;
  const uint32_t headerSize = in.U32(at);
  if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize && headerSize != 52 &&
      headerSize != 56 && headerSize != 108 && headerSize != 124)
    Refuse("unsupported header size " + std::to_string(headerSize));
  if (!in.Has(at, headerSize)) Refuse("header truncated");
  const bool core = headerSize == kCoreHeaderSize;
  int64_t width = 0, height = 0;
  uint32_t planes = 0, clrUsed = 0;
  if (core) {
    width = in.U16(at + 4);
    height = in.U16(at + 6);
    planes = in.U16(at + 8);
    l.BitCount = in.U16(at + 10);
  } else {
    width = static_cast<int32_t>(in.U32(at + 4));
    height = static_cast<int32_t>(in.U32(at + 8));
    planes = in.U16(at + 12);
    l.BitCount = in.U16(at + 14);
    l.Compression = in.U32(at + 16);
    l.SizeImage = in.U32(at + 20);
    clrUsed = in.U32(at + 32);
  }
  if (planes != 1) Refuse("plane count is not 1");
  l.TopDown = height < 0;
  if (l.TopDown) height = -height;
  CheckDimensions(width, height);
  l.Width = static_cast<int>(width);
  l.Height = static_cast<int>(height);

  const int bits = l.BitCount;
  if (!ValidBitCount(bits) || (core && (bits == 16 || bits == 32)))
    Refuse("bad bit count " + std::to_string(bits));
  switch (l.Compression) {
    case BI_RGB:
      break;
    case BI_RLE8:
    case BI_RLE4:
      if (bits != (l.Compression == BI_RLE8 ? 8 : 4)) Refuse("bad compression for the bit count");
      if (l.TopDown) Refuse("run-length data cannot be top-down");
      break;
    case BI_BITFIELDS:
      if (bits != 16 && bits != 32) Refuse("bad compression for the bit count");
      break;
    default:
      Refuse("unsupported compression " + std::to_string(l.Compression));
  }

  uint64_t pos = at + headerSize;
  if (l.Compression == BI_BITFIELDS) {
    uint64_t masks = at + kInfoHeaderSize;
    if (headerSize == kInfoHeaderSize) {
      if (!in.Has(pos, 12)) Refuse("bit field masks truncated");
      pos += 12;
    }
    const uint32_t r = in.U32(masks), g = in.U32(masks + 4), b = in.U32(masks + 8);
    const uint32_t a = headerSize >= 56 ? in.U32(masks + 12) : 0;
    if (bits == 16 && ((r | g | b | a) >> 16) != 0) Refuse("bit field mask wider than the pixel");
    if ((r & g) || (r & b) || (g & b) || (a & (r | g | b))) Refuse("bit field masks overlap");
    l.Red = TChannel::FromMask(r);
    l.Green = TChannel::FromMask(g);
    l.Blue = TChannel::FromMask(b);
    l.AlphaChannel = TChannel::FromMask(a);
    l.KeepAlpha = bits == 32 && a != 0;
  } else if (bits == 16) {
    l.Red = TChannel::FromMask(0x7C00);
    l.Green = TChannel::FromMask(0x03E0);
    l.Blue = TChannel::FromMask(0x001F);
  } else if (bits == 32) {
    l.Red = TChannel::FromMask(0x00FF0000);
    l.Green = TChannel::FromMask(0x0000FF00);
    l.Blue = TChannel::FromMask(0x000000FF);
    l.AlphaChannel = TChannel::FromMask(0xFF000000);
    l.KeepAlpha = true;
  }

  if (bits <= 8) {
    const uint32_t max = 1u << bits;
    if (clrUsed > max) Refuse("palette larger than the bit count allows");
    const uint32_t count = clrUsed ? clrUsed : max;
    const uint32_t entry = core ? 3 : 4;
    if (!in.Has(pos, uint64_t{count} * entry)) Refuse("palette truncated");
    l.Palette.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = in.At(pos + uint64_t{i} * entry);
      l.Palette[i] = uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0];
    }
    pos += uint64_t{count} * entry;
  } else if (!fileOffset) {
    // A packed DIB of more than eight bits may still carry an (unused) colour table.
    if (!in.Has(pos, uint64_t{clrUsed} * 4)) Refuse("palette truncated");
    pos += uint64_t{clrUsed} * 4;
  }

  if (fileOffset) {
    if (*fileOffset < pos) Refuse("pixel data overlaps the headers");
    if (*fileOffset > in.Size()) Refuse("pixel data offset beyond the end");
    l.PixelOffset = *fileOffset;
  } else {
    l.PixelOffset = pos;
  }
  return l;
}

void DecodeRows(const TBytes& in, const TLayout& l, TBmpImage& img) {
  const uint64_t w = static_cast<uint64_t>(l.Width), h = static_cast<uint64_t>(l.Height);
  const uint64_t stride = (w * l.BitCount + 31) / 32 * 4;
  if (!in.Has(l.PixelOffset, stride * h)) Refuse("pixel data truncated");
  img.Pixels.assign(w * h, 0);  // only once the data is known to cover it
  if (l.BitCount == 32 && l.KeepAlpha) img.Alpha.assign(w * h, 0);
  for (uint64_t row = 0; row < h; ++row) {
    const uint8_t* s = in.At(l.PixelOffset + stride * (l.TopDown ? row : h - 1 - row));
    uint32_t* d = img.Pixels.data() + row * w;
    switch (l.BitCount) {
      case 1:
        for (uint64_t x = 0; x < w; ++x) d[x] = l.Color((s[x >> 3] >> (7 - (x & 7))) & 1);
        break;
      case 4:
        for (uint64_t x = 0; x < w; ++x) d[x] = l.Color((x & 1) ? s[x >> 1] & 0x0F : s[x >> 1] >> 4);
        break;
      case 8:
        for (uint64_t x = 0; x < w; ++x) d[x] = l.Color(s[x]);
        break;
      case 16:
        for (uint64_t x = 0; x < w; ++x) d[x] = l.Masked(static_cast<uint32_t>(s[2 * x] | s[2 * x + 1] << 8));
        break;
      case 24:
        for (uint64_t x = 0; x < w; ++x)
          d[x] = uint32_t{s[3 * x + 2]} << 16 | uint32_t{s[3 * x + 1]} << 8 | s[3 * x];
        break;
      default:
        for (uint64_t x = 0; x < w; ++x) {
          const uint8_t* p = s + 4 * x;
          const uint32_t v =
              uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
          d[x] = l.Masked(v);
          if (l.KeepAlpha) img.Alpha[row * w + x] = static_cast<uint8_t>(l.AlphaChannel.Extract(v));
        }
        break;
    }
  }
}

// Run-length data: (count, value) runs, and escapes 0-0 end of line, 0-1 end of bitmap,
// 0-2-dx-dy move, 0-n n literal values padded to a word. Rows run bottom-up. Pixels the data
// skips keep palette entry 0. A run past the row's end or the last row, a move outside the
// image, or a command cut short by the end of the data is refused; data that simply stops
// between commands ends the image.
void DecodeRle(const TBytes& in, const TLayout& l, TBmpImage& img) {
  uint64_t limit = in.Size() - l.PixelOffset;
  if (l.SizeImage != 0) {
    if (l.SizeImage > limit) Refuse("compressed data truncated");
    limit = l.SizeImage;
  }
  const uint8_t* s = in.At(l.PixelOffset);
  const bool rle4 = l.Compression == BI_RLE4;
  const int64_t w = l.Width, h = l.Height;
  img.Pixels.assign(static_cast<size_t>(w * h), l.Color(0));
  auto put = [&](int64_t x, int64_t y, uint32_t index) { img.Pixels[(h - 1 - y) * w + x] = l.Color(index); };
  int64_t x = 0, y = 0;
  uint64_t i = 0;
  while (i < limit) {
    if (limit - i < 2) Refuse("run-length data truncated");
    const uint32_t a = s[i], b = s[i + 1];
    i += 2;
    if (a > 0) {
      if (y >= h || x + a > w) Refuse("run-length run overflows the image");
      for (uint32_t k = 0; k < a; ++k) put(x + k, y, rle4 ? ((k & 1) ? b & 0x0F : b >> 4) : b);
      x += a;
    } else if (b == 0) {
      x = 0;
      if (++y > h) Refuse("run-length rows overflow the image");
    } else if (b == 1) {
      return;
    } else if (b == 2) {
      if (limit - i < 2) Refuse("run-length data truncated");
      x += s[i];
      y += s[i + 1];
      i += 2;
      if (x > w || y > h) Refuse("run-length move leaves the image");
    } else {
      const uint64_t bytes = rle4 ? (b + 1) / 2 : b;
      if (limit - i < bytes) Refuse("run-length data truncated");
      if (y >= h || x + b > w) Refuse("run-length run overflows the image");
      for (uint32_t k = 0; k < b; ++k) {
        const uint8_t v = s[i + (rle4 ? k / 2 : k)];
        put(x + k, y, rle4 ? ((k & 1) ? v & 0x0F : v >> 4) : v);
      }
      x += b;
      i += std::min<uint64_t>((bytes + 1) & ~uint64_t{1}, limit - i);
    }
  }
}

TBmpImage Decode(const TBytes& in, uint64_t infoAt, std::optional<uint64_t> fileOffset) {
  const TLayout l = ReadLayout(in, infoAt, fileOffset);
  TBmpImage img;
  img.Width = l.Width;
  img.Height = l.Height;
  img.SourceBitCount = l.BitCount;
  img.SourceCompression = l.Compression;
  if (l.Compression == BI_RLE4 || l.Compression == BI_RLE8)
    DecodeRle(in, l, img);
  else
    DecodeRows(in, l, img);
  return img;
}

// --- writing -----------------------------------------------------------------------------------

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void CheckImage(const TBmpImage& image) {
  CheckDimensions(image.Width, image.Height);
  const size_t count = static_cast<size_t>(image.Width) * image.Height;
  if (image.Pixels.size() != count) Refuse("pixel count does not match the size");
  if (!image.Alpha.empty() && image.Alpha.size() != count) Refuse("alpha count does not match the size");
}

}  // namespace

bool TBmpImage::AlphaUsed() const {
  for (uint8_t a : Alpha)
    if (a != 0) return true;
  return false;
}

TBmpImage DecodeBmp(const void* data, size_t size) {
  const TBytes in(data, size);
  if (in.Size() < kFileHeaderSize) Refuse("file too short");
  if (in.U8(0) != 'B' || in.U8(1) != 'M') Refuse("no BM signature");
  return Decode(in, kFileHeaderSize, in.U32(10));
}

TBmpImage DecodeBmp(const std::vector<uint8_t>& data) {
  return DecodeBmp(data.data(), data.size());
}

TBmpImage DecodeDib(const void* data, size_t size) {
  return Decode(TBytes(data, size), 0, std::nullopt);
}

TBmpImage LoadBmpFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) throw EFOpenError("Cannot open file \"" + path + "\"");
  const std::streamoff size = file.tellg();
  if (size < 0) throw EFOpenError("Cannot open file \"" + path + "\"");
  if (static_cast<uint64_t>(size) > kMaxFileSize) Refuse("file too large");
  std::vector<uint8_t> data(static_cast<size_t>(size));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(data.data()), size))
    throw EFOpenError("Cannot open file \"" + path + "\"");
  return DecodeBmp(data);
}

std::vector<uint8_t> EncodeBmp(const TBmpImage& image, const TBmpWriteOptions& options) {
  CheckImage(image);
  const int bits = options.BitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    Refuse("cannot write " + std::to_string(bits) + " bits a pixel");

  std::vector<uint32_t> palette;
  std::unordered_map<uint32_t, uint8_t> index;
  if (bits <= 8) {
    const size_t max = size_t{1} << bits;
    palette = options.Palette;
    if (palette.size() > max) Refuse("palette larger than the bit count allows");
    for (size_t i = 0; i < palette.size(); ++i) index.emplace(palette[i] & 0xFFFFFF, static_cast<uint8_t>(i));
    const bool build = options.Palette.empty();
    for (uint32_t p : image.Pixels) {
      const uint32_t c = p & 0xFFFFFF;
      if (index.count(c)) continue;
      if (!build) Refuse("colour not in the palette");
      if (palette.size() == max) Refuse("too many colours for " + std::to_string(bits) + " bits");
      index.emplace(c, static_cast<uint8_t>(palette.size()));
      palette.push_back(c);
    }
  }

  const size_t w = static_cast<size_t>(image.Width), h = static_cast<size_t>(image.Height);
  const size_t stride = (w * bits + 31) / 32 * 4;
  const size_t offset = kFileHeaderSize + kInfoHeaderSize + palette.size() * 4;
  std::vector<uint8_t> out(offset + stride * h, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, static_cast<uint32_t>(offset));
  const size_t hdr = kFileHeaderSize;
  Put32(out, hdr, kInfoHeaderSize);
  Put32(out, hdr + 4, static_cast<uint32_t>(w));
  Put32(out, hdr + 8, static_cast<uint32_t>(options.TopDown ? -image.Height : image.Height));
  Put16(out, hdr + 12, 1);
  Put16(out, hdr + 14, static_cast<uint32_t>(bits));
  Put32(out, hdr + 16, BI_RGB);
  Put32(out, hdr + 20, static_cast<uint32_t>(stride * h));
  Put32(out, hdr + 24, 3780);  // 96 dpi
  Put32(out, hdr + 28, 3780);
  Put32(out, hdr + 32, static_cast<uint32_t>(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i)
    Put32(out, hdr + kInfoHeaderSize + 4 * i, palette[i] & 0xFFFFFF);

  for (size_t row = 0; row < h; ++row) {
    uint8_t* d = out.data() + offset + stride * (options.TopDown ? row : h - 1 - row);
    const uint32_t* s = image.Pixels.data() + row * w;
    for (size_t x = 0; x < w; ++x) {
      const uint32_t c = s[x] & 0xFFFFFF;
      switch (bits) {
        case 1:
          d[x >> 3] |= static_cast<uint8_t>(index[c] << (7 - (x & 7)));
          break;
        case 4:
          d[x >> 1] |= static_cast<uint8_t>((x & 1) ? index[c] : index[c] << 4);
          break;
        case 8:
          d[x] = index[c];
          break;
        case 16: {
          const uint32_t v = ((c >> 19) & 0x1F) << 10 | ((c >> 11) & 0x1F) << 5 | ((c >> 3) & 0x1F);
          d[2 * x] = static_cast<uint8_t>(v);
          d[2 * x + 1] = static_cast<uint8_t>(v >> 8);
          break;
        }
        case 24:
          d[3 * x] = static_cast<uint8_t>(c);
          d[3 * x + 1] = static_cast<uint8_t>(c >> 8);
          d[3 * x + 2] = static_cast<uint8_t>(c >> 16);
          break;
        default:
          d[4 * x] = static_cast<uint8_t>(c);
          d[4 * x + 1] = static_cast<uint8_t>(c >> 8);
          d[4 * x + 2] = static_cast<uint8_t>(c >> 16);
          d[4 * x + 3] = image.Alpha.empty() ? 0 : image.Alpha[row * w + x];
          break;
      }
    }
  }
  return out;
}

void SaveBmpFile(const std::string& path, const TBmpImage& image, const TBmpWriteOptions& options) {
  const std::vector<uint8_t> data = EncodeBmp(image, options);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw EFCreateError("Cannot create file \"" + path + "\"");
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!file) throw EFCreateError("Cannot create file \"" + path + "\"");
}

HBITMAP CreateBitmapFromBmpImage(const TBmpImage& image, bool keepAlpha) {
  CheckImage(image);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = image.Width;
  info.bmiHeader.biHeight = -image.Height;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  uint32_t* d = static_cast<uint32_t*>(bits);
  const bool alpha = keepAlpha && !image.Alpha.empty();
  for (size_t i = 0; i < image.Pixels.size(); ++i) {
    const uint32_t c = image.Pixels[i] & 0xFFFFFF;
    if (!alpha) {
      d[i] = c;
      continue;
    }
    const uint32_t a = image.Alpha[i];
    auto pre = [a](uint32_t v) { return (v * a + 127) / 255; };
    d[i] = a << 24 | pre(c >> 16) << 16 | pre((c >> 8) & 0xFF) << 8 | pre(c & 0xFF);
  }
  return bitmap;
}

TBmpImage BmpImageFromBitmap(HBITMAP bitmap) {
  int w = 0, h = 0;
  const uint32_t* src = gdi_internal::BitmapPixels(bitmap, &w, &h);
  if (!src || w <= 0 || h <= 0) Refuse("not a 32-bit bitmap");
  TBmpImage img;
  img.Width = w;
  img.Height = h;
  img.SourceBitCount = 32;
  img.Pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < img.Pixels.size(); ++i) img.Pixels[i] = src[i] & 0xFFFFFF;
  return img;
}
