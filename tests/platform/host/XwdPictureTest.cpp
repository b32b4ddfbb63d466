// Reading xwd dumps: the pixels of a 32-bit Z-format dump in either byte order, whatever the
// colour map and the line padding, and a refusal of what is not such a dump or is cut short.
#include "tests/support/XwdPicture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using test_support::ParseXwd;
using test_support::PixelAt;

// A dump of Width x Height pixels (0x00RRGGBB) as an X server of depth 24 writes it.
struct TDump {
  int Width = 3, Height = 2;
  bool MsbFirst = false;
  uint32_t Format = 2;  // ZPixmap
  uint32_t BitsPerPixel = 32;
  uint32_t Padding = 0;  // bytes after each line
  uint32_t Colors = 0;   // colour map entries before the pixels
  std::string Name = "win";

  std::string Bytes(const std::vector<uint32_t>& Pixels) const {
    std::string out;
    auto put = [&](uint32_t v) {
      for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
    };
    const uint32_t header = 25 * 4 + static_cast<uint32_t>(Name.size()) + 1;
    const uint32_t perLine = static_cast<uint32_t>(Width) * 4 + Padding;
    const uint32_t fields[25] = {header,
                                 7,
                                 Format,
                                 24,
                                 static_cast<uint32_t>(Width),
                                 static_cast<uint32_t>(Height),
                                 0,
                                 MsbFirst ? 1u : 0u,
                                 32,
                                 MsbFirst ? 1u : 0u,
                                 32,
                                 BitsPerPixel,
                                 perLine,
                                 4,
                                 0xFF0000,
                                 0x00FF00,
                                 0x0000FF,
                                 8,
                                 256,
                                 Colors,
                                 static_cast<uint32_t>(Width),
                                 static_cast<uint32_t>(Height),
                                 0,
                                 0,
                                 0};
    for (uint32_t f : fields) put(f);
    out += Name;
    out.push_back('\0');
    out.append(Colors * 12, '\x55');
    for (int y = 0; y < Height; ++y) {
      for (int x = 0; x < Width; ++x) {
        const uint32_t p = Pixels[static_cast<size_t>(y * Width + x)];
        if (MsbFirst) {
          put(p);
        } else {
          for (int shift = 0; shift <= 24; shift += 8) out.push_back(static_cast<char>((p >> shift) & 0xFF));
        }
      }
      out.append(Padding, '\0');
    }
    return out;
  }
};

const std::vector<uint32_t> kPixels = {0x112233, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};

TEST(XwdPicture, ReadsThePixelsOfA32BitDump) {
  struct Case {
    const char* id;
    TDump dump;
  };
  TDump lsb, msb, padded, mapped;
  msb.MsbFirst = true;
  padded.Padding = 8;
  mapped.Colors = 3;
  const Case cases[] = {
      {"lsb-first", lsb}, {"msb-first", msb}, {"padded-lines", padded}, {"colour-map", mapped}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const auto picture = ParseXwd(c.dump.Bytes(kPixels));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width, 3);
    EXPECT_EQ(picture->Height, 2);
    EXPECT_EQ(picture->Pixels, kPixels);
    EXPECT_EQ(PixelAt(*picture, 2, 1), 0x000000u);
    EXPECT_EQ(PixelAt(*picture, 0, 0), 0x112233u);
    EXPECT_EQ(PixelAt(*picture, 3, 0), 0xFFFFFFFFu) << "outside";
  }
}

TEST(XwdPicture, RefusesOtherFormatsAndCutFiles) {
  TDump xy, sixteen, good;
  xy.Format = 1;
  sixteen.BitsPerPixel = 16;
  const std::string whole = good.Bytes(kPixels);
  const struct {
    const char* id;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"header-cut", whole.substr(0, 60)},
      {"xy-format", xy.Bytes(kPixels)},
      {"16-bits", sixteen.Bytes(kPixels)},
      {"last-pixel-cut", whole.substr(0, whole.size() - 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_FALSE(ParseXwd(c.bytes));
  }
}

TEST(XwdPicture, CropsToThePicture) {
  const auto picture = ParseXwd(TDump{}.Bytes(kPixels));
  ASSERT_TRUE(picture);
  const test_support::TWindowPixels inner = test_support::CropPixels(*picture, RECT{1, 0, 3, 1});
  EXPECT_EQ(inner.Width, 2);
  EXPECT_EQ(inner.Height, 1);
  EXPECT_EQ(inner.Pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00}));
  const test_support::TWindowPixels cut = test_support::CropPixels(*picture, RECT{-5, 1, 2, 9});
  EXPECT_EQ(cut.Pixels, (std::vector<uint32_t>{0x0000FF, 0xFFFFFF}));
  EXPECT_EQ(test_support::CropPixels(*picture, RECT{3, 0, 5, 2}).Pixels.size(), 0u);
  EXPECT_EQ(test_support::DescribeDifference(*picture, *picture), "");
  EXPECT_EQ(test_support::DescribeDifference(inner, *picture), "sizes differ: 2x1 and 3x2");
}

}  // namespace
