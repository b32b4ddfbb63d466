// Headless window pictures: the surface's pixels as they stand, transparent outside the window
// region, and clear errors for windows without a surface and for unwritable paths.
#include <png.h>

#include <cstring>

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/SurfaceAccess.h"
#include "platform/win/Painting.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

// The 40 x 30 picture read back as 0xAARRGGBB pixels (empty when it is not that).
std::vector<uint32_t> ReadPicture(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint32_t> pixels;
  if (png_image_begin_read_from_file(&image, path.c_str()) && image.width == 40 && image.height == 30) {
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB
    pixels.resize(PNG_IMAGE_SIZE(image) / 4);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
  }
  return pixels;
}

class TWindowPictureTest : public TWinTest {};

TEST_F(TWindowPictureTest, PixelsOutsideTheRegionAreTransparent) {
  HWND top = Make("top", WS_POPUP | WS_VISIBLE, {50, 40, 90, 70});
  FlushPaint();
  int w = 0, h = 0;
  uint32_t* surface = gdi_internal::BitmapPixels(GetTopLevelSurface(top), &w, &h);
  ASSERT_EQ(w * h, 1200);
  surface[5 * w + 20] = 0x123456;  // a mark, so that the picture is seen to carry the surface
  const std::string path = testing::TempDir() + "/window-picture.png";
  struct Case {
    const char* name;
    bool hasRegion;
    RECT keep, cut;  // the region: keep without cut
    int transparent;
  };
  const Case cases[] = {{"none", false, {}, {}, 0},
                        {"cut corner", true, {0, 0, 40, 30}, {0, 0, 10, 10}, 100},
                        {"beyond the window", true, {-20, -20, 35, 500}, {}, 5 * 30},
                        {"empty", true, {}, {}, 1200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HRGN region = c.hasRegion ? CreateRectRgnIndirect(&c.keep) : nullptr;
    if (region) {
      HRGN cut = CreateRectRgnIndirect(&c.cut);
      CombineRgn(region, region, cut, RGN_DIFF);
      DeleteObject(cut);
    }
    ASSERT_EQ(SetWindowRgn(top, region, FALSE), 1);
    EXPECT_EQ(WindowRegionRects(top).has_value(), c.hasRegion);
    WriteWindowPng(path, top);
    const std::vector<uint32_t> picture = ReadPicture(path);
    ASSERT_EQ(picture.size(), 1200u);
    int transparent = 0;
    for (int i = 0; i < 1200; ++i) {
      const POINT at{i % 40, i / 40};
      const bool inside = !c.hasRegion || (PtInRect(c.keep, at) && !PtInRect(c.cut, at));
      ASSERT_EQ(picture[i], surface[i] | (inside ? 0xFF000000u : 0u)) << at.X << "," << at.Y;
      transparent += !inside;
    }
    EXPECT_EQ(transparent, c.transparent);
  }
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, top);
  HWND hidden = Make("hidden", WS_POPUP, {0, 0, 10, 10});
  for (HWND refused : {child, hidden, HWND{}}) EXPECT_THROW(WriteWindowPng(path, refused), EInvalidGraphic);
  EXPECT_THROW(WriteWindowPng("/nonexistent-dir/top.png", top), EFCreateError);
}

}  // namespace
}  // namespace wintest
