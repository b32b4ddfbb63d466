#include "platform/gdi/PngWriter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>

#include "platform/gdi/BmpCodec.h"

namespace {

// Reads a PNG back through libpng's own decoder, as packed bytes of `format`.
std::vector<uint8_t> ReadBack(const std::vector<uint8_t>* memory, const std::string* path, uint32_t format,
                              png_uint_32* width, png_uint_32* height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  const int ok = memory ? png_image_begin_read_from_memory(&image, memory->data(), memory->size())
                        : png_image_begin_read_from_file(&image, path->c_str());
  if (!ok) return {};
  image.format = format;
  std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return {};
  *width = image.width;
  *height = image.height;
  return bytes;
}

const std::vector<uint32_t> kPixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};

TEST(PngWriter, EncodesToMemoryThatDecodesToTheSamePixels) {
  const std::vector<uint8_t> png = EncodePng(3, 2, kPixels.data());
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
  png_uint_32 w = 0, h = 0;
  const std::vector<uint8_t> rgb = ReadBack(&png, nullptr, PNG_FORMAT_RGB, &w, &h);
  EXPECT_EQ(w, 3u);
  EXPECT_EQ(h, 2u);
  ASSERT_EQ(rgb.size(), 18u);
  for (size_t i = 0; i < kPixels.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(uint32_t{rgb[3 * i]} << 16 | uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2], kPixels[i]);
  }
}

TEST(PngWriter, CarriesAnAlphaChannelWhenGiven) {
  const uint8_t alpha[6] = {0, 50, 100, 150, 200, 255};
  const std::vector<uint8_t> png = EncodePng(3, 2, kPixels.data(), alpha);
  png_uint_32 w = 0, h = 0;
  const std::vector<uint8_t> rgba = ReadBack(&png, nullptr, PNG_FORMAT_RGBA, &w, &h);
  ASSERT_EQ(rgba.size(), 24u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(rgba[4 * i + 3], alpha[i]);
  EXPECT_EQ(rgba[4 * 3], 0x12);
}

TEST(PngWriter, WritesFilesAndBitmaps) {
  const std::string path = testing::TempDir() + "/png_writer_test.png";
  WritePng(path, 3, 2, kPixels.data());
  png_uint_32 w = 0, h = 0;
  std::vector<uint8_t> rgb = ReadBack(nullptr, &path, PNG_FORMAT_RGB, &w, &h);
  ASSERT_EQ(rgb.size(), 18u);
  EXPECT_EQ(rgb[9], 0x12);

  TBmpImage img;
  img.Width = 3;
  img.Height = 2;
  img.Pixels = kPixels;
  HBITMAP bitmap = CreateBitmapFromBmpImage(img);
  ASSERT_NE(bitmap, nullptr);
  WritePng(path, bitmap);
  DeleteObject(bitmap);
  rgb = ReadBack(nullptr, &path, PNG_FORMAT_RGB, &w, &h);
  ASSERT_EQ(rgb.size(), 18u);
  EXPECT_EQ(rgb[2], 0x00);
  EXPECT_EQ(rgb[5], 0x00);
  EXPECT_EQ(rgb[8], 0xFF);
  std::remove(path.c_str());
}

TEST(PngWriter, RefusesBadSizesAndPaths) {
  EXPECT_THROW(EncodePng(0, 2, kPixels.data()), EInvalidGraphic);
  EXPECT_THROW(EncodePng(3, -1, kPixels.data()), EInvalidGraphic);
  EXPECT_THROW(EncodePng(3, 2, nullptr), EInvalidGraphic);
  EXPECT_THROW(EncodePng(100000, 1, kPixels.data()), EInvalidGraphic);
  EXPECT_THROW(WritePng("/nonexistent-dir/x.png", 3, 2, kPixels.data()), EFCreateError);
  EXPECT_THROW(WritePng(testing::TempDir() + "/never.png", nullptr), EInvalidGraphic);
}

}  // namespace
