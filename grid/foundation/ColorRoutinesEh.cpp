#include "grid/foundation/ColorRoutinesEh.h"

#include <algorithm>
#include <cmath>

namespace {

int ClampChannel(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::clamp(v, 0.0, 255.0));
}

}  // namespace

TColor BlendColors(TColor FromColor, TColor ToColor, double Weight) {
  COLORREF f = ColorToRGB(FromColor), t = ColorToRGB(ToColor);
  auto mix = [Weight](int a, int b) {
    // Truncated like an integer conversion; the clamp keeps weights outside 0..255 in range.
    double v = a + (b - a) * Weight / 255.0;
    return ClampChannel(std::trunc(v));
  };
  return static_cast<TColor>(
      RGB(mix(GetRValue(f), GetRValue(t)), mix(GetGValue(f), GetGValue(t)), mix(GetBValue(f), GetBValue(t))));
}

TColor BlendColorsPercent(TColor FromColor, TColor ToColor, int Percent) {
  COLORREF f = ColorToRGB(FromColor), t = ColorToRGB(ToColor);
  auto mix = [Percent](int a, int b) {
    double v = a + (b - a) * static_cast<double>(Percent) / 100.0;
    return ClampChannel(std::nearbyint(v));
  };
  return static_cast<TColor>(
      RGB(mix(GetRValue(f), GetRValue(t)), mix(GetGValue(f), GetGValue(t)), mix(GetBValue(f), GetBValue(t))));
}

int ColorLuminance(TColor Color) {
  COLORREF c = ColorToRGB(Color);
  return (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8;
}

TColor ColorToGray(TColor Color) {
  int l = ColorLuminance(Color);
  return static_cast<TColor>(RGB(l, l, l));
}

TColor DarkerColor(TColor A, TColor B) {
  return ColorLuminance(B) < ColorLuminance(A) ? B : A;
}
