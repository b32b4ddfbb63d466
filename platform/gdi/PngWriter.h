#pragma once
// PNG writing for screenshots and test-failure images. Pixels are 0x00RRGGBB in top-down
// rows of `width` entries; with `alpha` (one byte a pixel) the file gets an alpha channel.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

// EInvalidGraphic (BmpCodec.h) for a bad size or missing pixels.
std::vector<uint8_t> EncodePng(int width, int height, const uint32_t* pixels, const uint8_t* alpha = nullptr);
// EFCreateError when the file cannot be written.
void WritePng(const std::string& path, int width, int height, const uint32_t* pixels,
              const uint8_t* alpha = nullptr);
// The pixels of a 32-bit bitmap, without alpha.
void WritePng(const std::string& path, HBITMAP bitmap);
