#include "platform/gdi/PngWriter.h"

#include <png.h>

#include <cstring>

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/SurfaceAccess.h"

namespace {

constexpr int kMaxSide = 32768;

// libpng's simplified interface wants packed R, G, B (and A) bytes.
std::vector<uint8_t> PackedBytes(int width, int height, const uint32_t* pixels, const uint8_t* alpha) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || !pixels)
    throw EInvalidGraphic("Bitmap image is not valid: bad size for a PNG image");
  const size_t count = static_cast<size_t>(width) * height;
  const size_t channels = alpha ? 4 : 3;
  std::vector<uint8_t> bytes(count * channels);
  uint8_t* d = bytes.data();
  for (size_t i = 0; i < count; ++i, d += channels) {
    d[0] = static_cast<uint8_t>(pixels[i] >> 16);
    d[1] = static_cast<uint8_t>(pixels[i] >> 8);
    d[2] = static_cast<uint8_t>(pixels[i]);
    if (alpha) d[3] = alpha[i];
  }
  return bytes;
}

png_image Description(int width, int height, bool alpha) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  return image;
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, const uint32_t* pixels, const uint8_t* alpha) {
  const std::vector<uint8_t> bytes = PackedBytes(width, height, pixels, alpha);
  png_image image = Description(width, height, alpha != nullptr);
  png_alloc_size_t size = 0;
  // The first call measures, the second writes.
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, bytes.data(), 0, nullptr))
    throw EInvalidGraphic(std::string("PNG encoding failed: ") + image.message);
  std::vector<uint8_t> out(size);
  image = Description(width, height, alpha != nullptr);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, bytes.data(), 0, nullptr))
    throw EInvalidGraphic(std::string("PNG encoding failed: ") + image.message);
  out.resize(size);
  return out;
}

void WritePng(const std::string& path, int width, int height, const uint32_t* pixels, const uint8_t* alpha) {
  const std::vector<uint8_t> bytes = PackedBytes(width, height, pixels, alpha);
  png_image image = Description(width, height, alpha != nullptr);
  if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr))
    throw EFCreateError("Cannot create file \"" + path + "\". " + image.message);
}

void WritePng(const std::string& path, HBITMAP bitmap) {
  int width = 0, height = 0;
  const uint32_t* pixels = gdi_internal::BitmapPixels(bitmap, &width, &height);
  if (!pixels) throw EInvalidGraphic("Bitmap image is not valid: not a 32-bit bitmap");
  WritePng(path, width, height, pixels);
}
