#pragma once
// Pictures of an X screen as the xwd utility dumps them, turned into the pixels the paint
// oracle compares (0x00RRGGBB, row by row) and into PNG files a person can look at.
#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/PaintOracle.h"

namespace test_support {

// The pixels of an xwd dump in the Z format at 32 bits a pixel (what a true-colour X server of
// depth 24 writes), in either byte order; nullopt for anything else or a cut file.
std::optional<TWindowPixels> ParseXwd(const std::string& Dump);

// The part of Picture inside Rect (cut to the picture).
TWindowPixels CropPixels(const TWindowPixels& Picture, const RECT& Rect);

// The pixel at (X, Y), or 0xFFFFFFFF outside the picture.
uint32_t PixelAt(const TWindowPixels& Picture, int X, int Y);

// Writes Picture as a PNG file; false when it is empty or the file cannot be written.
bool WritePicturePng(const std::string& Path, const TWindowPixels& Picture);

// "N pixels differ within (l,t)-(r,b); first at (x,y): a RRGGBB, b RRGGBB", or "" when equal.
std::string DescribeDifference(const TWindowPixels& A, const TWindowPixels& B);

}  // namespace test_support
