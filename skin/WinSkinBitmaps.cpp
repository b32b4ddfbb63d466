// The skin engine's bitmap routines: grey, mirror, flip, quarter turns and copy.
#include <cstring>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/vcl/Graphics.h"
#include "skin/WinSkinStore.h"

namespace skin_bitmaps_detail {

// Pixel positions of a w x h image: where the pixel at (x, y) of the result comes from.
using TSourceOf = void (*)(int W, int H, int X, int Y, int& SX, int& SY);

// The result shares the source's pixel format and transparency settings and replaces it whole:
// images loaded from files keep their depth (an 8-bit strip stays 8-bit) while being rearranged.
void Rearrange(TBitmap* Bmp, TSourceOf SourceOf) {
  if (!Bmp || Bmp->Empty()) return;
  const TBmpImage source = Bmp->ToImage();
  TBmpImage result;
  result.Width = source.Width;
  result.Height = source.Height;
  result.Pixels.resize(source.Pixels.size());
  for (int y = 0; y < result.Height; ++y)
    for (int x = 0; x < result.Width; ++x) {
      int sx = 0, sy = 0;
      SourceOf(source.Width, source.Height, x, y, sx, sy);
      result.Pixels[static_cast<size_t>(y) * result.Width + x] = source.Pixel(sx, sy);
    }
  TBitmap rearranged;
  rearranged.SetPixelFormat(Bmp->PixelFormat());
  if (Bmp->TransparentMode() == tmFixed) rearranged.SetTransparentColor(Bmp->TransparentColor());
  rearranged.SetTransparent(Bmp->Transparent());
  rearranged.SetImage(result);
  Bmp->Assign(&rearranged);
}

// Reads the bitmap through a top-down 32-bit DIB and writes a 24-bit one with the sides
// exchanged: result pixel (x, y) takes source pixel SourceOf(x, y).
void Turn(TBitmap* Bmp, TSourceOf SourceOf) {
  if (!Bmp || Bmp->Empty()) return;
  const int w = Bmp->Width(), h = Bmp->Height();
  BITMAPINFO info{};
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> source(static_cast<size_t>(w) * h);
  if (GetDIBits(nullptr, Bmp->Handle(), 0, static_cast<UINT>(h), source.data(), &info, DIB_RGB_COLORS) != h)
    return;
  TBitmap turned;
  turned.SetPixelFormat(pf24bit);
  turned.SetSize(h, w);
  for (int y = 0; y < w; ++y) {
    auto* row = static_cast<uint8_t*>(turned.ScanLine(y));
    for (int x = 0; x < h; ++x) {
      int sx = 0, sy = 0;
      SourceOf(w, h, x, y, sx, sy);
      const uint32_t p = source[static_cast<size_t>(sy) * w + sx];
      row[x * 3] = static_cast<uint8_t>(p);
      row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(p >> 16);
    }
  }
  Bmp->Assign(&turned);
}

// The track images are part of the program as linked bitmaps would be: present from start-up,
// without a call. They are registered here because every skin loader links these routines.
[[maybe_unused]] const bool trackImagesRegistered = (RegisterSkinTrackResources(), true);

}  // namespace skin_bitmaps_detail

void GrayBitmap(TBitmap* Bmp) {
  if (!Bmp) return;
  Bmp->SetPixelFormat(pf24bit);
  for (int y = 0; y < Bmp->Height() && Bmp->Width() > 0; ++y) {
    auto* row = static_cast<uint8_t*>(Bmp->ScanLine(y));
    for (int x = 0; x < Bmp->Width(); ++x) {
      uint8_t* p = row + x * 3;
      const auto grey = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
      p[0] = p[1] = p[2] = grey;
    }
  }
  Bmp->SyncScanLines();
}

void MirrorBitmap(TBitmap* Bmp) {
  skin_bitmaps_detail::Rearrange(Bmp, [](int W, int, int X, int Y, int& SX, int& SY) {
    SX = W - 1 - X;
    SY = Y;
  });
}

void FlipBitmap(TBitmap* Bmp) {
  skin_bitmaps_detail::Rearrange(Bmp, [](int, int H, int X, int Y, int& SX, int& SY) {
    SX = X;
    SY = H - 1 - Y;
  });
}

// The source's right column becomes the top row.
void RotateBitmapLeft(TBitmap* Bmp) {
  skin_bitmaps_detail::Turn(Bmp, [](int W, int, int X, int Y, int& SX, int& SY) {
    SX = W - 1 - Y;
    SY = X;
  });
}

// The source's left column becomes the top row, read upwards.
void RotateBitmapRight(TBitmap* Bmp) {
  skin_bitmaps_detail::Turn(Bmp, [](int, int H, int X, int Y, int& SX, int& SY) {
    SX = Y;
    SY = H - 1 - X;
  });
}

void CopyBitmap(TBitmap* Source, TBitmap* Target) {
  if (!Source || !Target || Source == Target) return;
  Target->SetPixelFormat(Source->PixelFormat());
  Target->SetSize(Source->Width(), Source->Height());
  if (!Source->Empty()) Target->Canvas()->Draw(0, 0, Source);
}
