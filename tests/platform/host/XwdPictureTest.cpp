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
    auto put = [&](uint32_t v, bool msb) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (msb ? 24 - 8 * i : 8 * i)));
    };
    const uint32_t w = static_cast<uint32_t>(Width), h = static_cast<uint32_t>(Height), msb = MsbFirst;
    // clang-format off
    const uint32_t header[25] = {25 * 4 + static_cast<uint32_t>(Name.size()) + 1, 7, Format, 24, w, h, 0,
                                 msb, 32, msb, 32, BitsPerPixel, w * 4 + Padding, 4, 0xFF0000, 0x00FF00,
                                 0x0000FF, 8, 256, Colors, w, h, 0, 0, 0};
    // clang-format on
    for (uint32_t f : header) put(f, true);  // the header is big-endian whatever the pixels are
    out += Name;
    out.push_back('\0');
    out.append(Colors * 12, '\x55');
    for (int y = 0; y < Height; ++y) {
      for (int x = 0; x < Width; ++x) put(Pixels[static_cast<size_t>(y * Width + x)], MsbFirst);
      out.append(Padding, '\0');
    }
    return out;
  }
};

const std::vector<uint32_t> kPixels = {0x112233, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};

TEST(XwdPicture, ReadsThePixelsOfA32BitDump) {
  const std::pair<const char*, TDump> cases[] = {{"lsb-first", {}},
                                                 {"msb-first", {.MsbFirst = true}},
                                                 {"padded-lines", {.Padding = 8}},
                                                 {"colour-map", {.Colors = 3}}};
  for (const auto& [id, dump] : cases) {
    SCOPED_TRACE(id);
    const auto picture = ParseXwd(dump.Bytes(kPixels));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width, 3);
    EXPECT_EQ(picture->Height, 2);
    EXPECT_EQ(picture->Pixels, kPixels);
  }
}

TEST(XwdPicture, RefusesOtherFormatsAndCutFiles) {
  const std::string whole = TDump{}.Bytes(kPixels);
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"header-cut", whole.substr(0, 60)},
      {"xy-format", TDump{.Format = 1}.Bytes(kPixels)},
      {"16-bits", TDump{.BitsPerPixel = 16}.Bytes(kPixels)},
      {"last-pixel-cut", whole.substr(0, whole.size() - 1)},
  };
  for (const auto& [id, bytes] : cases) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(ParseXwd(bytes));
  }
}

TEST(XwdPicture, CropsToThePicture) {
  const auto picture = ParseXwd(TDump{}.Bytes(kPixels));
  ASSERT_TRUE(picture);
  EXPECT_EQ(PixelAt(*picture, 2, 1), 0x000000u);
  EXPECT_EQ(PixelAt(*picture, 0, 1), 0x0000FFu);
  EXPECT_EQ(PixelAt(*picture, 3, 0), 0xFFFFFFFFu) << "outside";
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
