#include "platform/gdi/BmpCodec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <set>

#include "platform/gdi/SurfaceAccess.h"

namespace {

using ::testing::HasSubstr;

// Builds BMP files field by field, so tests can make any header, valid or not.
struct TFileFields {
  uint32_t HeaderSize = 40;
  int32_t Width = 4, Height = 3;
  uint16_t Planes = 1, BitCount = 8;
  uint32_t Compression = BI_RGB;
  std::vector<uint32_t> Masks;    // inside the header when it is larger than 40 bytes, else after it
  std::vector<uint32_t> Palette;  // 0x00RRGGBB; three bytes an entry for the core header
  int64_t ClrUsed = -1;           // -1: the palette's size
  std::vector<uint8_t> Pixels;
  int64_t SizeImage = -1;  // -1: the pixel byte count
  int64_t OffBits = -1;    // -1: right after the palette
};

void Put(std::vector<uint8_t>& out, size_t at, uint64_t v, int bytes) {
  if (out.size() < at + bytes) out.resize(at + bytes);
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> Build(const TFileFields& s) {
  std::vector<uint8_t> out(14, 0);
  out[0] = 'B';
  out[1] = 'M';
  const size_t h = 14;
  const bool core = s.HeaderSize == 12;
  Put(out, h, s.HeaderSize, 4);
  if (core) {
    Put(out, h + 4, static_cast<uint16_t>(s.Width), 2);
    Put(out, h + 6, static_cast<uint16_t>(s.Height), 2);
    Put(out, h + 8, s.Planes, 2);
    Put(out, h + 10, s.BitCount, 2);
  } else {
    Put(out, h + 4, static_cast<uint32_t>(s.Width), 4);
    Put(out, h + 8, static_cast<uint32_t>(s.Height), 4);
    Put(out, h + 12, s.Planes, 2);
    Put(out, h + 14, s.BitCount, 2);
    Put(out, h + 16, s.Compression, 4);
    Put(out, h + 20, static_cast<uint32_t>(s.SizeImage >= 0 ? s.SizeImage : s.Pixels.size()), 4);
    Put(out, h + 32, static_cast<uint32_t>(s.ClrUsed >= 0 ? s.ClrUsed : s.Palette.size()), 4);
  }
  out.resize(h + s.HeaderSize, 0);
  for (size_t i = 0; i < s.Masks.size(); ++i) {
    if (s.HeaderSize > 40)
      Put(out, h + 40 + 4 * i, s.Masks[i], 4);
    else
      Put(out, out.size(), s.Masks[i], 4);
  }
  for (uint32_t c : s.Palette) Put(out, out.size(), c, core ? 3 : 4);
  const size_t offset = s.OffBits >= 0 ? static_cast<size_t>(s.OffBits) : out.size();
  Put(out, 10, offset, 4);
  out.resize(std::max(out.size(), offset));
  out.insert(out.end(), s.Pixels.begin(), s.Pixels.end());
  Put(out, 2, out.size(), 4);
  return out;
}

// A valid 4 x 3 8-bit file: the base the refusal cases mangle.
TFileFields EightBit() {
  TFileFields s;
  s.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  s.Pixels.assign(4 * 3, 1);
  return s;
}

TFileFields Rle8(std::vector<uint8_t> data, int width = 4, int height = 1) {
  TFileFields s = EightBit();
  s.Compression = BI_RLE8;
  s.Width = width;
  s.Height = height;
  s.Pixels = std::move(data);
  return s;
}

TBmpImage Pattern(int w, int h, const std::vector<uint32_t>& colors) {
  TBmpImage img;
  img.Width = w;
  img.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.Pixels.push_back(colors[(x * 7 + y * 3) % colors.size()]);
  return img;
}

std::vector<uint32_t> Colors(int n) {
  std::vector<uint32_t> c;
  for (int i = 0; i < n; ++i)
    c.push_back(static_cast<uint32_t>((i * 37 % 256) << 16 | (i * 91 % 256) << 8 | i));
  return c;
}

int32_t I32At(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<int32_t>(d[at] | d[at + 1] << 8 | d[at + 2] << 16 |
                              static_cast<uint32_t>(d[at + 3]) << 24);
}

// --- round trips -----------------------------------------------------------------------------

TEST(BmpCodec, RoundTripsEveryBitDepthBothWays) {
  // For 16 bits only full and empty channels survive five-bit quantisation unchanged.
  const std::vector<uint32_t> corners = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                         0xFFFF00, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  struct Case {
    int bits;
    std::vector<uint32_t> colors;
  } cases[] = {
      {1, {0x102030, 0xF0E0D0}}, {4, Colors(16)},  {8, Colors(200)}, {16, corners},
      {24, Colors(97)},          {32, Colors(97)},
  };
  for (const Case& c : cases) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.bits << " bits, " << (topDown ? "top-down" : "bottom-up"));
      const TBmpImage img = Pattern(13, 5, c.colors);  // odd width: rows need padding
      TBmpWriteOptions options;
      options.BitCount = c.bits;
      options.TopDown = topDown;
      const std::vector<uint8_t> file = EncodeBmp(img, options);
      const size_t stride = (13 * c.bits + 31) / 32 * 4;
      const size_t used = std::set<uint32_t>(img.Pixels.begin(), img.Pixels.end()).size();
      const size_t palette = c.bits <= 8 ? used * 4 : 0;  // the colours the image uses
      EXPECT_EQ(file.size(), 54 + palette + stride * 5);
      EXPECT_EQ(I32At(file, 22), topDown ? -5 : 5);
      const TBmpImage back = DecodeBmp(file);
      EXPECT_EQ(back.Width, 13);
      EXPECT_EQ(back.Height, 5);
      EXPECT_EQ(back.SourceBitCount, c.bits);
      EXPECT_EQ(back.Pixels, img.Pixels);
      EXPECT_EQ(back.Alpha.size(), c.bits == 32 ? img.Pixels.size() : 0u);
      EXPECT_FALSE(back.AlphaUsed());
    }
  }
}

TEST(BmpCodec, SixteenBitsQuantiseToFiveBitsAChannel) {
  TBmpImage img = Pattern(3, 1, {0x123456, 0x808080, 0xFEFEFE});
  TBmpWriteOptions options;
  options.BitCount = 16;
  const TBmpImage once = DecodeBmp(EncodeBmp(img, options));
  EXPECT_EQ(once.Pixel(0, 0), 0x103152u);  // each channel's top five bits, scaled back up
  const TBmpImage twice = DecodeBmp(EncodeBmp(once, options));
  EXPECT_EQ(twice.Pixels, once.Pixels);
}

TEST(BmpCodec, ThirtyTwoBitsKeepTheAlphaChannel) {
  TBmpImage img = Pattern(4, 2, Colors(5));
  img.Alpha = {0, 1, 2, 128, 200, 250, 254, 255};
  TBmpWriteOptions options;
  options.BitCount = 32;
  const TBmpImage back = DecodeBmp(EncodeBmp(img, options));
  EXPECT_EQ(back.Alpha, img.Alpha);
  EXPECT_TRUE(back.AlphaUsed());
  options.BitCount = 24;
  EXPECT_TRUE(DecodeBmp(EncodeBmp(img, options)).Alpha.empty());
}

TEST(BmpCodec, WriterUsesAGivenPaletteAndRefusesWhatDoesNotFit) {
  TBmpImage img = Pattern(3, 1, {0x00FF00, 0xFF0000});
  TBmpWriteOptions options;
  options.BitCount = 8;
  options.Palette = {0xFF0000, 0x0000FF, 0x00FF00};
  const std::vector<uint8_t> file = EncodeBmp(img, options);
  EXPECT_EQ(I32At(file, 46), 3);   // colours used
  EXPECT_EQ(file[54 + 3 * 4], 2);  // first pixel: palette entry 2
  EXPECT_EQ(DecodeBmp(file).Pixels, img.Pixels);

  struct Case {
    const char* name;
    std::function<void(TBmpImage&, TBmpWriteOptions&)> mangle;
    const char* reason;
  } cases[] = {
      {"colour missing", [](TBmpImage&, TBmpWriteOptions& o) { o.Palette = {0xFF0000}; },
       "not in the palette"},
      {"too many colours",
       [](TBmpImage& i, TBmpWriteOptions& o) {
         o.Palette.clear();
         o.BitCount = 1;
         i = Pattern(3, 1, {1, 2, 3});
       },
       "too many colours"},
      {"palette too long",
       [](TBmpImage&, TBmpWriteOptions& o) {
         o.BitCount = 1;
         o.Palette = {1, 2, 3};
       },
       "palette larger"},
      {"bit count", [](TBmpImage&, TBmpWriteOptions& o) { o.BitCount = 7; }, "cannot write 7 bits"},
      {"pixel count", [](TBmpImage& i, TBmpWriteOptions&) { i.Pixels.pop_back(); }, "pixel count"},
      {"alpha count", [](TBmpImage& i, TBmpWriteOptions&) { i.Alpha = {1}; }, "alpha count"},
      {"empty", [](TBmpImage& i, TBmpWriteOptions&) { i = TBmpImage{}; }, "zero or negative size"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBmpImage i = img;
    TBmpWriteOptions o = options;
    c.mangle(i, o);
    try {
      EncodeBmp(i, o);
      ADD_FAILURE() << "written";
    } catch (const EInvalidGraphic& e) {
      EXPECT_THAT(e.Message(), HasSubstr(c.reason));
    }
  }
}

// --- hand-made headers --------------------------------------------------------------------------

TEST(BmpCodec, ReadsTheCoreHeader) {
  TFileFields s;
  s.HeaderSize = 12;
  s.Width = 2;
  s.Height = 2;
  s.BitCount = 24;
  // Bottom row first; each row padded to four bytes.
  s.Pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0, 0};
  TBmpImage img = DecodeBmp(Build(s));
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0x131211, 0x161514, 0x030201, 0x060504}));

  s.BitCount = 8;
  s.Palette = {0xAABBCC, 0x112233};
  s.Pixels = {1, 0, 0, 0, 0, 1, 0, 0};
  EXPECT_THROW(DecodeBmp(Build(s)), EInvalidGraphic);  // a core palette has all 256 entries
  s.Palette.resize(256, 0x445566);
  img = DecodeBmp(Build(s));
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0xAABBCC, 0x112233, 0x112233, 0xAABBCC}));
}

TEST(BmpCodec, ReadsBitFieldsFromEveryHeaderVersion) {
  // 5-6-5 masks after a 40-byte header.
  TFileFields s;
  s.Width = 4;
  s.Height = 1;
  s.BitCount = 16;
  s.Compression = BI_BITFIELDS;
  s.Masks = {0xF800, 0x07E0, 0x001F};
  s.Pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x10, 0x84};
  TBmpImage img = DecodeBmp(Build(s));
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x848284}));
  EXPECT_TRUE(img.Alpha.empty());

  // Plain 16 bits are 5-5-5.
  s.Compression = BI_RGB;
  s.Masks.clear();
  s.Pixels = {0x00, 0x7C, 0xFF, 0x7F, 0x00, 0x00, 0x1F, 0x00};
  EXPECT_EQ(DecodeBmp(Build(s)).Pixels, (std::vector<uint32_t>{0xFF0000, 0xFFFFFF, 0x000000, 0x0000FF}));

  // Swapped masks inside a 56-byte header, with an alpha mask; and the same in v4 and v5.
  for (uint32_t size : {56u, 108u, 124u}) {
    SCOPED_TRACE(size);
    TFileFields v;
    v.HeaderSize = size;
    v.Width = 2;
    v.Height = -1;
    v.BitCount = 32;
    v.Compression = BI_BITFIELDS;
    v.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    v.Pixels = {0x11, 0x22, 0x33, 0x80, 0xFF, 0x00, 0x00, 0x00};
    img = DecodeBmp(Build(v));
    EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0x112233, 0xFF0000}));
    EXPECT_EQ(img.Alpha, (std::vector<uint8_t>{0x80, 0x00}));
  }

  // A v4 header with BI_RGB ignores its mask fields.
  TFileFields v4;
  v4.HeaderSize = 108;
  v4.Width = 1;
  v4.Height = 1;
  v4.BitCount = 24;
  v4.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  v4.Pixels = {0x01, 0x02, 0x03, 0x00};
  EXPECT_EQ(DecodeBmp(Build(v4)).Pixel(0, 0), 0x030201u);
}

TEST(BmpCodec, PackedDibHasItsPixelsAfterThePalette) {
  TBmpImage img = Pattern(5, 3, Colors(9));
  TBmpWriteOptions options;
  options.BitCount = 8;
  std::vector<uint8_t> file = EncodeBmp(img, options);
  file.erase(file.begin(), file.begin() + 14);
  EXPECT_EQ(DecodeDib(file.data(), file.size()).Pixels, img.Pixels);

  TFileFields s;
  s.Width = 1;
  s.Height = 1;
  s.BitCount = 32;
  s.Compression = BI_BITFIELDS;
  s.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  s.Pixels = {0x30, 0x20, 0x10, 0xEE};
  std::vector<uint8_t> dib = Build(s);
  dib.erase(dib.begin(), dib.begin() + 14);
  const TBmpImage back = DecodeDib(dib.data(), dib.size());
  EXPECT_EQ(back.Pixel(0, 0), 0x102030u);
  EXPECT_TRUE(back.Alpha.empty());  // no alpha mask: no alpha channel
}

TEST(BmpCodec, IndexesPastThePaletteReadAsBlack) {
  TFileFields s = EightBit();
  s.Palette = {0xFFFFFF, 0x00FF00};
  s.Pixels = {1, 5, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const TBmpImage img = DecodeBmp(Build(s));
  EXPECT_EQ(img.Pixel(0, 2), 0x00FF00u);
  EXPECT_EQ(img.Pixel(1, 2), 0u);
  EXPECT_EQ(img.Pixel(2, 2), 0u);
}

// --- run-length data ---------------------------------------------------------------------------

TEST(BmpCodec, DecodesRle8Runs) {
  TFileFields s = Rle8(
      {
          0x03, 0x01,                    // three of colour 1
          0x00, 0x03, 0x02, 0x03, 0x02,  // literal 2 3 2
          0x00,                          // pad to a word
          0x00, 0x00,                    // end of line
          0x02, 0x03,                    // two of colour 3
          0x00, 0x02, 0x02, 0x01,        // move right 2, up 1
          0x02, 0x01,                    // two of colour 1
          0x00, 0x01,                    // end of bitmap
      },
      6, 3);
  const TBmpImage img = DecodeBmp(Build(s));
  const uint32_t k = 0x000000, r = 0xFF0000, g = 0x00FF00, b = 0x0000FF;
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{k, k, k, k, r, r,  // top row, reached by the move
                                               b, b, k, k, k, k,  // skipped pixels keep entry 0
                                               r, r, r, g, b, g}));
  EXPECT_EQ(img.SourceCompression, BI_RLE8);
}

TEST(BmpCodec, DecodesRle4Runs) {
  TFileFields s = EightBit();
  s.BitCount = 4;
  s.Compression = BI_RLE4;
  s.Width = 5;
  s.Height = 2;
  s.Palette = Colors(8);
  s.Pixels = {
      0x05, 0x12,              // 1 2 1 2 1
      0x00, 0x00,              // end of line
      0x00, 0x03, 0x34, 0x50,  // literal 3 4 5 (two bytes, already a word)
      0x02, 0x77,              // 7 7
      0x00, 0x01,
  };
  const TBmpImage img = DecodeBmp(Build(s));
  const std::vector<uint32_t> c = Colors(8);
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{c[3], c[4], c[5], c[7], c[7], c[1], c[2], c[1], c[2], c[1]}));
}

TEST(BmpCodec, RleDataThatStopsBetweenCommandsEndsTheImage) {
  const TBmpImage img = DecodeBmp(Build(Rle8({0x02, 0x02})));
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0x00FF00, 0x00FF00, 0, 0}));
}

// --- refusals ------------------------------------------------------------------------------------

TEST(BmpCodec, RefusesMalformedFiles) {
  auto fields = [](std::function<void(TFileFields&)> f) {
    TFileFields s = EightBit();
    f(s);
    return Build(s);
  };
  auto bytes = [](std::function<void(std::vector<uint8_t>&)> f) {
    std::vector<uint8_t> d = Build(EightBit());
    f(d);
    return d;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    const char* reason;
  } cases[] = {
      {"empty", {}, "file too short"},
      {"ten bytes", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, "file too short"},
      {"signature", bytes([](auto& d) { d[1] = 'X'; }), "no BM signature"},
      {"header size 0", fields([](auto& s) { s.HeaderSize = 0; }), "unsupported header size"},
      {"header size 64", fields([](auto& s) { s.HeaderSize = 64; }), "unsupported header size"},
      {"header cut", bytes([](auto& d) { d.resize(30); }), "header truncated"},
      {"header size past the end", bytes([](auto& d) { d.resize(14 + 20); }), "header truncated"},
      {"zero width", fields([](auto& s) { s.Width = 0; }), "zero or negative size"},
      {"negative width", fields([](auto& s) { s.Width = -4; }), "zero or negative size"},
      {"zero height", fields([](auto& s) { s.Height = 0; }), "zero or negative size"},
      {"wide", fields([](auto& s) { s.Width = 8193; }), "dimensions too large"},
      {"tall top-down", fields([](auto& s) { s.Height = -8193; }), "dimensions too large"},
      {"most negative height", fields([](auto& s) { s.Height = INT32_MIN; }), "dimensions too large"},
      {"too many pixels", fields([](auto& s) {
         s.Width = 8192;
         s.Height = 4096;
       }),
       "too many pixels"},
      {"planes", fields([](auto& s) { s.Planes = 2; }), "plane count"},
      {"bit count 0", fields([](auto& s) { s.BitCount = 0; }), "bad bit count"},
      {"bit count 2", fields([](auto& s) { s.BitCount = 2; }), "bad bit count"},
      {"bit count 64", fields([](auto& s) { s.BitCount = 64; }), "bad bit count"},
      {"core 32 bits", fields([](auto& s) {
         s.HeaderSize = 12;
         s.BitCount = 32;
       }),
       "bad bit count"},
      {"RLE8 at 24 bits", fields([](auto& s) {
         s.BitCount = 24;
         s.Compression = BI_RLE8;
       }),
       "bad compression for the bit count"},
      {"RLE4 at 8 bits", fields([](auto& s) { s.Compression = BI_RLE4; }),
       "bad compression for the bit count"},
      {"bit fields at 8 bits", fields([](auto& s) { s.Compression = BI_BITFIELDS; }),
       "bad compression for the bit count"},
      {"JPEG", fields([](auto& s) { s.Compression = 4; }), "unsupported compression"},
      {"top-down RLE", fields([](auto& s) {
         s.Compression = BI_RLE8;
         s.Height = -3;
       }),
       "cannot be top-down"},
      {"palette too large", fields([](auto& s) { s.ClrUsed = 300; }), "palette larger"},
      {"palette cut", bytes([](auto& d) { d.resize(54 + 6); }), "palette truncated"},
      {"offset past the end", bytes([](auto& d) { d[12] = 0x10; }), "offset beyond the end"},
      {"offset inside the headers", fields([](auto& s) { s.OffBits = 40; }), "overlaps the headers"},
      {"pixels cut", bytes([](auto& d) { d.pop_back(); }), "pixel data truncated"},
      {"masks cut", fields([](auto& s) {
         s.BitCount = 16;
         s.Compression = BI_BITFIELDS;
         s.Palette.clear();
         s.Pixels.clear();
         s.Masks = {0xF800, 0x07E0};
       }),
       "masks truncated"},
      {"mask with a hole", fields([](auto& s) {
         s.BitCount = 16;
         s.Compression = BI_BITFIELDS;
         s.Palette.clear();
         s.Masks = {0x0F0F, 0x00F0, 0x0000};
       }),
       "not contiguous"},
      {"masks overlap", fields([](auto& s) {
         s.BitCount = 32;
         s.Compression = BI_BITFIELDS;
         s.Palette.clear();
         s.Masks = {0xFF0000, 0x01FF00, 0x0000FF};
       }),
       "overlap"},
      {"mask wider than 16 bits", fields([](auto& s) {
         s.BitCount = 16;
         s.Compression = BI_BITFIELDS;
         s.Palette.clear();
         s.Masks = {0x1F0000, 0x07E0, 0x001F};
       }),
       "wider than the pixel"},
      {"RLE run past the row", Build(Rle8({0x05, 0x01, 0x00, 0x01})), "overflows the image"},
      {"RLE literal past the row", Build(Rle8({0x00, 0x05, 1, 1, 1, 1, 1, 0, 0x00, 0x01})),
       "overflows the image"},
      {"RLE run past the last row", Build(Rle8({0x02, 0x01, 0x00, 0x00, 0x02, 0x01})), "overflows the image"},
      {"RLE too many lines", Build(Rle8({0x00, 0x00, 0x00, 0x00})), "rows overflow"},
      {"RLE move right outside", Build(Rle8({0x00, 0x02, 0x05, 0x00})), "move leaves the image"},
      {"RLE move up outside", Build(Rle8({0x00, 0x02, 0x00, 0x02})), "move leaves the image"},
      {"RLE literal cut", Build(Rle8({0x00, 0x04, 0x01, 0x02})), "run-length data truncated"},
      {"RLE odd byte", Build(Rle8({0x02, 0x01, 0x03})), "run-length data truncated"},
      {"RLE move cut", Build(Rle8({0x00, 0x02, 0x01})), "run-length data truncated"},
      {"RLE size past the data", fields([](auto& s) {
         s.Compression = BI_RLE8;
         s.SizeImage = 1000;
       }),
       "compressed data truncated"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      DecodeBmp(c.data);
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message().rfind("Bitmap image is not valid: ", 0), 0u) << e.Message();
      EXPECT_THAT(e.Message(), HasSubstr(c.reason));
    }
  }
}

TEST(BmpCodec, EveryTruncationOfAnUncompressedFileIsRefused) {
  for (int bits : {1, 8, 24, 32}) {
    SCOPED_TRACE(bits);
    TBmpWriteOptions options;
    options.BitCount = bits;
    const std::vector<uint8_t> file = EncodeBmp(Pattern(7, 3, Colors(2)), options);
    for (size_t n = 0; n < file.size(); ++n) EXPECT_THROW(DecodeBmp(file.data(), n), EInvalidGraphic) << n;
    EXPECT_NO_THROW(DecodeBmp(file));
  }
  EXPECT_THROW(DecodeBmp(nullptr, 100), EInvalidGraphic);
  EXPECT_THROW(DecodeDib(nullptr, 0), EInvalidGraphic);
}

// --- bitmaps and files --------------------------------------------------------------------------

TEST(BmpCodec, MakesADibSectionFromAnImage) {
  TBmpImage img = Pattern(3, 2, {0xFF8040, 0x102030});
  HBITMAP bitmap = CreateBitmapFromBmpImage(img);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0xFF, 0x80, 0x40));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x10, 0x20, 0x30));
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(BmpImageFromBitmap(bitmap).Pixels, img.Pixels);
  DeleteObject(bitmap);

  img.Alpha = {128, 255, 0, 0, 0, 0};
  bitmap = CreateBitmapFromBmpImage(img, true);
  int w = 0, h = 0;
  const uint32_t* px = gdi_internal::BitmapPixels(bitmap, &w, &h);
  ASSERT_NE(px, nullptr);
  EXPECT_EQ(px[0], 0x80804020u);  // premultiplied by 128/255
  EXPECT_EQ(px[1], 0xFF102030u);
  EXPECT_EQ(px[2], 0u);
  DeleteObject(bitmap);
  EXPECT_THROW(BmpImageFromBitmap(nullptr), EInvalidGraphic);
}

TEST(BmpCodec, SavesAndLoadsFiles) {
  const std::string path = testing::TempDir() + "/bmp_codec_test.bmp";
  const TBmpImage img = Pattern(9, 4, Colors(12));
  TBmpWriteOptions options;
  options.BitCount = 4;
  SaveBmpFile(path, img, options);
  EXPECT_EQ(LoadBmpFile(path).Pixels, img.Pixels);
  std::remove(path.c_str());
  EXPECT_THROW(LoadBmpFile(path), EFOpenError);
  EXPECT_THROW(SaveBmpFile("/nonexistent-dir/x.bmp", img), EFCreateError);
}

}  // namespace
