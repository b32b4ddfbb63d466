// The skin engine's colour routines: blending, saturation and cached gradient fills.
#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/rtl/Consistency.h"
#include "skin/WinSkinStore.h"

namespace skin_colors_detail {

using TChannels = std::array<int, 3>;  // red, green, blue

TChannels Channels(COLORREF Color) {
  return {GetRValue(Color), GetGValue(Color), GetBValue(Color)};
}

COLORREF FromChannels(const TChannels& C) {
  return RGB(std::clamp(C[0], 0, 255), std::clamp(C[1], 0, 255), std::clamp(C[2], 0, 255));
}

// Numerator / Denominator (> 0) to the nearest integer, halves away from zero, so that a ramp
// and its reverse take the same steps.
int64_t DivideRounded(int64_t Numerator, int64_t Denominator) {
  const int64_t half = Denominator / 2;
  return Numerator >= 0 ? (Numerator + half) / Denominator : -((-Numerator + half) / Denominator);
}

}  // namespace skin_colors_detail

COLORREF ResolveSkinColor(TColor Color) {
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return static_cast<COLORREF>(Color) & 0xFFFFFF;
}

// A weight outside 0 .. scale would push a channel past 0 .. 255 into its neighbour: the
// channels are clamped.
TColor BlendColor(TColor C1, TColor C2, int Weight) {
  using namespace skin_colors_detail;
  const TChannels a = Channels(ResolveSkinColor(C1)), b = Channels(ResolveSkinColor(C2));
  const int64_t scale = Weight < 100 ? 100 : 1000;
  TChannels mixed{};
  for (int i = 0; i < 3; ++i) {
    const int64_t sum = b[i] * (scale - Weight) + a[i] * int64_t{Weight} + scale / 2;
    mixed[i] = static_cast<int>(std::clamp<int64_t>(sum / scale, 0, 255));
  }
  return static_cast<TColor>(FromChannels(mixed));
}

int ColorSaturation(TColor Color) {
  const skin_colors_detail::TChannels c = skin_colors_detail::Channels(ResolveSkinColor(Color));
  if (c[0] < 160 && c[1] < 160 && c[2] < 160) return 200;
  const int high = std::max({c[0], c[1], c[2]}), low = std::min({c[0], c[1], c[2]});
  if (high == 0) return 0;
  return (255 * (high - low) + high / 2) / high;
}

// --- the gradient cache -------------------------------------------------------------------------

// The key is kept beside the ramp rather than read from its ends: a one-entry ramp holds the
// midpoint, which matches neither end, and would otherwise take a fresh slot on every call.
const std::vector<COLORREF>& TGradientCache::Ramp(int Length, COLORREF From, COLORREF To) {
  using namespace skin_colors_detail;
  const int found = FindSlot(Length, From, To);
  if (found >= 0) return slots_[found].Colors;
  TSlot& slot = slots_[next_];
  next_ = (next_ + 1) % kSlotCount;
  slot.Length = std::max(Length, 1);
  slot.From = From;
  slot.To = To;
  slot.Colors.assign(static_cast<size_t>(slot.Length), 0);
  const TChannels from = Channels(From), to = Channels(To);
  for (int k = 0; k < slot.Length; ++k) {
    TChannels entry{};
    for (int i = 0; i < 3; ++i) {
      const int delta = to[i] - from[i];
      entry[i] = slot.Length == 1
                     ? from[i] + delta / 2
                     : from[i] + static_cast<int>(DivideRounded(int64_t{delta} * k, slot.Length - 1));
    }
    slot.Colors[static_cast<size_t>(k)] = FromChannels(entry);
  }
  DEBUG_CHECK_CONSISTENCY(*this);
  return slot.Colors;
}

// The most recently filled slots are searched first.
int TGradientCache::FindSlot(int Length, COLORREF From, COLORREF To) const {
  for (int i = kSlotCount - 1; i >= 0; --i) {
    const TSlot& s = slots_[i];
    if (s.Length > 0 && s.Length == std::max(Length, 1) && s.From == From && s.To == To) return i;
  }
  return -1;
}

// Rules: the rotation counter is a slot index; a used slot holds Length colours; a ramp of
// two or more entries starts at From and ends at To; an unused slot holds nothing.
void TGradientCache::CheckConsistency() const {
  CheckRule(next_ >= 0 && next_ < kSlotCount, "TGradientCache", "rotation counter out of range");
  for (int i = 0; i < kSlotCount; ++i) {
    const TSlot& s = slots_[i];
    if (s.Length == 0) {
      CheckRule(s.Colors.empty(), "TGradientCache", "unused slot holds colours", "slot", i);
      continue;
    }
    CheckRule(static_cast<int>(s.Colors.size()) == s.Length, "TGradientCache", "ramp length differs", "slot",
              i);
    if (s.Length > 1)
      CheckRule(s.Colors.front() == s.From && s.Colors.back() == s.To, "TGradientCache", "ramp ends differ",
                "slot", i);
  }
}

TGradientCache& SkinGradientCache() {
  static TGradientCache cache;
  return cache;
}

void GradientFill(HDC DC, const TRect& Rect, TColor FromColor, bool Vertical, TColor ToColor) {
  const int length = Vertical ? Rect.Height() : Rect.Width();
  if (length < 1 || !RectVisible(DC, &Rect)) return;
  const std::vector<COLORREF>& ramp =
      SkinGradientCache().Ramp(length, ResolveSkinColor(FromColor), ResolveSkinColor(ToColor));
  TRect clip;
  GetClipBox(DC, &clip);
  // Only the lines that cross the clip box are filled.
  const int first = std::max(0, (Vertical ? clip.Top - Rect.Top : clip.Left - Rect.Left));
  const int last = std::min(length, (Vertical ? clip.Bottom - Rect.Top : clip.Right - Rect.Left));
  for (int k = first; k < last; ++k) {
    TRect line = Vertical ? TRect{std::max(Rect.Left, clip.Left), Rect.Top + k,
                                  std::min(Rect.Right, clip.Right), Rect.Top + k + 1}
                          : TRect{Rect.Left + k, std::max(Rect.Top, clip.Top), Rect.Left + k + 1,
                                  std::min(Rect.Bottom, clip.Bottom)};
    if (IsRectEmpty(line)) continue;
    HBRUSH brush = CreateSolidBrush(ramp[static_cast<size_t>(k)]);
    FillRect(DC, &line, brush);
    DeleteObject(brush);
  }
}
