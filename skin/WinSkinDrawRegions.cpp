// Skin images with a transparent colour: drawing them through a one-bit mask, and turning the
// pixels that are not of that colour into a window region.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "skin/WinSkinDraw.h"

namespace skin_draw {

// Leaves the destination as it is: the foreground operation of the mask blit.
constexpr DWORD kKeepDestination = 0x00AA0029;
// Rectangles gathered before they are made into a region and united with the result.
constexpr size_t kRegionBatch = 2000;
// Rectangles the gathering buffer grows by.
constexpr size_t kRegionGrowth = 500;

// A one-bit mask of Bitmap: 1 where the pixel is of Key (0x00RRGGBB), rows padded to 16 bits.
HBITMAP MakeKeyMask(TBitmap* Bitmap, uint32_t Key) {
  const TBmpImage image = Bitmap->ToImage();
  const size_t stride = ((static_cast<size_t>(image.Width) + 15) / 16) * 2;
  std::vector<uint8_t> bits(stride * static_cast<size_t>(image.Height), 0);
  for (int y = 0; y < image.Height; ++y) {
    uint8_t* row = bits.data() + static_cast<size_t>(y) * stride;
    for (int x = 0; x < image.Width; ++x)
      if (image.Pixel(x, y) == Key) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  }
  return CreateBitmap(image.Width, image.Height, 1, 1, bits.data());
}

uint32_t PixelOfColor(TColor Color) {
  const COLORREF c = ColorToRGB(Color);
  return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

// Gathers rectangles and unites them into one region a batch at a time.
class TRegionBuilder {
 public:
  TRegionBuilder() { rects_.reserve(kRegionGrowth); }
  ~TRegionBuilder() {
    if (result_) DeleteObject(result_);
  }
  TRegionBuilder(const TRegionBuilder&) = delete;
  TRegionBuilder& operator=(const TRegionBuilder&) = delete;

  void Add(const TRect& R) {
    if (rects_.size() == rects_.capacity()) rects_.reserve(rects_.size() + kRegionGrowth);
    rects_.push_back(R);
    if (rects_.size() == kRegionBatch) Flush();
  }

  // The region made so far (an empty one when nothing was added); the caller owns it.
  HRGN Release() {
    Flush();
    HRGN out = result_ ? result_ : CreateRectRgn(0, 0, 0, 0);
    result_ = nullptr;
    return out;
  }

 private:
  void Flush() {
    if (rects_.empty()) return;
    RGNDATAHEADER header;
    header.nCount = static_cast<DWORD>(rects_.size());
    header.nRgnSize = static_cast<DWORD>(rects_.size() * sizeof(RECT));
    header.rcBound = rects_.front();
    for (const TRect& r : rects_) UnionRect(header.rcBound, header.rcBound, r);
    std::vector<uint8_t> data(sizeof(header) + header.nRgnSize);
    std::memcpy(data.data(), &header, sizeof(header));
    std::memcpy(data.data() + sizeof(header), rects_.data(), header.nRgnSize);
    rects_.clear();
    HRGN batch =
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    if (!batch) return;
    if (!result_) {
      result_ = batch;
      return;
    }
    CombineRgn(result_, result_, batch, RGN_OR);
    DeleteObject(batch);
  }

  std::vector<TRect> rects_;
  HRGN result_ = nullptr;
};

}  // namespace skin_draw

void DrawTransparent(HDC DC, const TRect& R, TBitmap* Bitmap, TColor TransparentColor) {
  if (IsRectEmpty(R) || !Bitmap || Bitmap->Empty()) return;
  // A keyed copy puts the same pixels as a mask made of the key, without making one each time.
  Bitmap->SyncScanLines();
  const int w = Bitmap->Width(), h = Bitmap->Height();
  TransparentBlt(DC, R.Left, R.Top, w, h, Bitmap->Canvas()->Handle(), 0, 0, w, h,
                 ColorToRGB(TransparentColor));
}

HBITMAP MakeTransparentMask(TBitmap* Bitmap, TColor TransparentColor) {
  if (!Bitmap || Bitmap->Empty()) return nullptr;
  return skin_draw::MakeKeyMask(Bitmap, skin_draw::PixelOfColor(TransparentColor));
}

void DrawTransparentMasked(HDC DC, const TRect& R, TBitmap* Bitmap, HBITMAP Mask) {
  if (IsRectEmpty(R) || !Bitmap || Bitmap->Empty() || !Mask) return;
  MaskBlt(DC, R.Left, R.Top, Bitmap->Width(), Bitmap->Height(), Bitmap->Canvas()->Handle(), 0, 0, Mask, 0, 0,
          MAKEROP4(skin_draw::kKeepDestination, SRCCOPY));
}

HRGN BitmapToRegion(TBitmap* Bitmap, int X, int Y, int RedTolerance, int GreenTolerance, int BlueTolerance,
                    TColor Color) {
  skin_draw::TRegionBuilder builder;
  if (!Bitmap || Bitmap->Empty()) return builder.Release();
  const COLORREF key = ColorToRGB(Color);
  // Key range per component: c .. min(255, c + tolerance).
  auto rangeTop = [](int c, int tolerance) {
    return static_cast<int>(std::min<int64_t>(255, int64_t{c} + tolerance));
  };
  const int r0 = GetRValue(key), g0 = GetGValue(key), b0 = GetBValue(key);
  const int r1 = rangeTop(r0, RedTolerance), g1 = rangeTop(g0, GreenTolerance),
            b1 = rangeTop(b0, BlueTolerance);
  auto keyed = [&](const uint8_t* p) {  // B, G, R, 0
    return p[2] >= r0 && p[2] <= r1 && p[1] >= g0 && p[1] <= g1 && p[0] >= b0 && p[0] <= b1;
  };
  Bitmap->SetPixelFormat(pf32bit);
  const int width = Bitmap->Width(), height = Bitmap->Height();
  // Rows with the same spans (the stretched middle of a border) make one band of rectangles,
  // so the region stays small however tall the window grows.
  std::vector<std::pair<int, int>> spans, bandSpans;
  int bandTop = 0;
  auto closeBand = [&](int Bottom) {
    for (const auto& [from, to] : bandSpans) builder.Add(Rect(from + X, bandTop + Y, to + X, Bottom + Y));
  };
  for (int row = 0; row < height; ++row) {
    const auto* line = static_cast<const uint8_t*>(Bitmap->ScanLine(row));
    spans.clear();
    int x = 0;
    while (x < width) {
      while (x < width && keyed(line + 4 * x)) ++x;
      const int start = x;
      while (x < width && !keyed(line + 4 * x)) ++x;
      if (x > start) spans.emplace_back(start, x);
    }
    if (row > 0 && spans == bandSpans) continue;
    closeBand(row);
    bandSpans.swap(spans);
    bandTop = row;
  }
  closeBand(height);
  return builder.Release();
}
