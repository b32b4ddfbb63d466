// The track-bar channel images the skin engine ships: "TRACK" (horizontal) and "TRACKVERT".
//
// The channel is drawn nine-part with a margin of 3 on every side. A channel 8 pixels thick
// shows the whole groove; the usual 4-pixel one drops the margin pair across it, and the
// nearest-neighbour stretch then takes rows 0, 2, 4 and 6: shadow, fill, fill, light, still a
// sunken groove.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/Resources.h"
#include "skin/WinSkinStore.h"

namespace skin_resources_detail {

constexpr int kTrackLength = 16;
constexpr int kTrackThickness = 8;

// Across the groove, from its upper (or left) edge: shadow, dark shadow, fill, light, highlight.
constexpr std::array<uint32_t, kTrackThickness> kAcross = {0xA0A0A0, 0x696969, 0xF0F0F0, 0xF0F0F0,
                                                           0xF0F0F0, 0xF0F0F0, 0xE3E3E3, 0xFFFFFF};

// Along the groove its two ends close it with the same shading; a pixel takes the darker of its
// row's and column's shade where the edges meet, so the corners stay sunken.
uint32_t GroovePixel(int Along, int Across) {
  const uint32_t across = kAcross[static_cast<size_t>(Across)];
  int end = -1;
  if (Along < 3) end = Along;
  if (Along >= kTrackLength - 3) end = kTrackThickness - (kTrackLength - Along);
  if (end < 0) return across;
  const uint32_t along = kAcross[static_cast<size_t>(end)];
  const bool upperLeft = Along < 3 || Across < 3;
  if (upperLeft) return std::min(along, across);
  return std::max(along, across);
}

TBmpImage TrackImage(bool Vertical) {
  TBmpImage image;
  image.Width = Vertical ? kTrackThickness : kTrackLength;
  image.Height = Vertical ? kTrackLength : kTrackThickness;
  image.Pixels.resize(static_cast<size_t>(image.Width) * image.Height);
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x)
      image.Pixels[static_cast<size_t>(y) * image.Width + x] =
          Vertical ? GroovePixel(y, x) : GroovePixel(x, y);
  return image;
}

// A program's own images under these names stay. ResourceNames answers upper case, as the
// names are; no locale-aware comparison, since this also runs during static start-up.
void RegisterTrack(const char* Name, bool Vertical) {
  for (const std::string& n : ResourceNames("BITMAP"))
    if (n == Name) return;
  RegisterResourceFactoryAs<TBmpImage>("BITMAP", Name,
                                       std::function<std::shared_ptr<const TBmpImage>()>([Vertical] {
                                         return std::make_shared<const TBmpImage>(TrackImage(Vertical));
                                       }));
}

}  // namespace skin_resources_detail

void RegisterSkinTrackResources() {
  skin_resources_detail::RegisterTrack("TRACK", false);
  skin_resources_detail::RegisterTrack("TRACKVERT", true);
}
