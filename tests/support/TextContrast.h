#pragma once
// How well text stands out from what lies behind it: the contrast ratio of the relative
// luminances of two colours, as accessibility guidelines define it (1 for equal colours, 21 for
// black on white); text reads well from 4.5 on.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace test_support {

inline constexpr double kReadableContrast = 4.5;

// The relative luminance of a 0x00RRGGBB colour: its channels made linear, then weighed.
inline double RelativeLuminance(uint32_t Rgb) {
  const auto linear = [](uint32_t Channel) {
    const double s = double(Channel & 0xFF) / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(Rgb >> 16) + 0.7152 * linear(Rgb >> 8) + 0.0722 * linear(Rgb);
}

inline double ContrastRatio(uint32_t A, uint32_t B) {
  const double a = RelativeLuminance(A), b = RelativeLuminance(B);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace test_support
