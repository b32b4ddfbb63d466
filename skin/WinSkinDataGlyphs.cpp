// The menu glyphs "SKINMENUGLYPHS": four 16 x 16 black glyphs on white (white is the mask),
// side by side: restore, maximise, minimise, close. Drawn here rather than shipped, like the
// track images.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/Resources.h"
#include "platform/vcl/ImgList.h"
#include "skin/WinSkinData.h"

namespace skin_menu_glyphs_detail {

constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kPaper = 0xFFFFFF;

// Each glyph as 16 rows of 16 characters; '#' is ink.
using TGlyphRows = std::array<const char*, kSkinMenuGlyphSize>;

constexpr TGlyphRows kRestore = {
    "................", "................", "................", ".....######.....",
    ".....######.....", ".....#....#.....", "...######.#.....", "...######.#.....",
    "...#....###.....", "...#....#.......", "...#....#.......", "...######.......",
    "................", "................", "................", "................"};
constexpr TGlyphRows kMaximise = {
    "................", "................", "................", "...#########....",
    "...#########....", "...#.......#....", "...#.......#....", "...#.......#....",
    "...#.......#....", "...#.......#....", "...#.......#....", "...#########....",
    "................", "................", "................", "................"};
constexpr TGlyphRows kMinimise = {
    "................", "................", "................", "................",
    "................", "................", "................", "................",
    "................", "................", "....######......", "....######......",
    "................", "................", "................", "................"};
constexpr TGlyphRows kClose = {
    "................", "................", "................", "....##....##....",
    ".....##..##.....", "......####......", ".......##.......", "......####......",
    ".....##..##.....", "....##....##....", "................", "................",
    "................", "................", "................", "................"};

TBmpImage MenuGlyphsImage() {
  const std::array<const TGlyphRows*, kSkinMenuGlyphCount> glyphs = {&kRestore, &kMaximise, &kMinimise,
                                                                     &kClose};
  TBmpImage image;
  image.Width = kSkinMenuGlyphSize * kSkinMenuGlyphCount;
  image.Height = kSkinMenuGlyphSize;
  image.Pixels.assign(static_cast<size_t>(image.Width) * image.Height, kPaper);
  for (size_t g = 0; g < glyphs.size(); ++g)
    for (int y = 0; y < kSkinMenuGlyphSize; ++y)
      for (int x = 0; x < kSkinMenuGlyphSize; ++x)
        if ((*glyphs[g])[static_cast<size_t>(y)][x] == '#')
          image.Pixels[static_cast<size_t>(y) * image.Width + g * kSkinMenuGlyphSize + x] = kInk;
  return image;
}

}  // namespace skin_menu_glyphs_detail

// A program's own image under the name stays.
void RegisterSkinMenuGlyphsResource() {
  for (const std::string& n : ResourceNames("BITMAP"))
    if (n == kSkinMenuGlyphsResource) return;
  RegisterResourceFactoryAs<TBmpImage>(
      "BITMAP", kSkinMenuGlyphsResource, std::function<std::shared_ptr<const TBmpImage>()>([] {
        return std::make_shared<const TBmpImage>(skin_menu_glyphs_detail::MenuGlyphsImage());
      }));
}

void TSkinData::LoadMenuGlyphs() {
  RegisterSkinMenuGlyphsResource();
  menuGlyphs_->ResourceLoad(rtBitmap, kSkinMenuGlyphsResource, clWhite);
}
