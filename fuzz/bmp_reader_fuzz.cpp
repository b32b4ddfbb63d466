// Decodes arbitrary bytes as a BMP file and as a packed DIB. A refusal must be EInvalidGraphic;
// an accepted image must have consistent sizes and survive a write and a second read.
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/BmpCodec.h"

namespace {

void CheckAccepted(const TBmpImage& image) {
  const size_t count = static_cast<size_t>(image.Width) * image.Height;
  if (image.Width <= 0 || image.Height <= 0 || image.Pixels.size() != count) std::abort();
  if (!image.Alpha.empty() && image.Alpha.size() != count) std::abort();
  if (count > 256 * 256) return;  // keep the round trip cheap
  TBmpWriteOptions options;
  options.BitCount = image.Alpha.empty() ? 24 : 32;
  const TBmpImage again = DecodeBmp(EncodeBmp(image, options));
  if (again.Pixels != image.Pixels || again.Alpha != image.Alpha) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    CheckAccepted(DecodeBmp(data, size));
  } catch (const EInvalidGraphic&) {
  }
  try {
    CheckAccepted(DecodeDib(data, size));
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
