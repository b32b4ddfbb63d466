// Fitting one frame of a skin image to a rectangle: nine-part slicing, three-part strips,
// stretched and centred frames, tiling, and the scratch bitmap the menu bar paints through.
#include "skin/WinSkinDraw.h"

#include <algorithm>
#include <cstdint>

namespace skin_draw {

// A frame's rectangle in its image and the margins that apply to it.
struct TFittedFrame {
  TRect Frame;  // inside the image, never beyond it
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Frame.Width(); }
  int Height() const { return Frame.Height(); }
};

// Each margin clamped to 0 .. the frame's size; a pair that exceeds the frame or the destination
// (DestWidth, DestHeight) is dropped whole, so no piece reads outside the frame or draws mirrored.
TFittedFrame FitNinePart(const TRect& Frame, int LeftWidth, int TopHeight, int RightWidth, int BottomHeight,
                         int DestWidth, int DestHeight) {
  TFittedFrame f;
  f.Frame = Frame;
  const int fw = Frame.Width(), fh = Frame.Height();
  f.Left = std::clamp(LeftWidth, 0, fw);
  f.Right = std::clamp(RightWidth, 0, fw);
  f.Top = std::clamp(TopHeight, 0, fh);
  f.Bottom = std::clamp(BottomHeight, 0, fh);
  if (f.Left + f.Right > DestWidth || f.Left + f.Right > fw) f.Left = f.Right = 0;
  if (f.Top + f.Bottom > DestHeight || f.Top + f.Bottom > fh) f.Top = f.Bottom = 0;
  return f;
}

// A bitmap of the given size whose canvas stretches by nearest neighbour.
std::unique_ptr<TBitmap> NewFrameBitmap(int Width, int Height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(Width, Height);
  if (!bitmap->Empty()) SetStretchBltMode(bitmap->Canvas()->Handle(), COLORONCOLOR);
  return bitmap;
}

// Stretches From of Source onto To of Dest (by the canvas or straight between DCs); a piece with no
// area on either side is skipped, as a negative extent would mirror.
void CopyPiece(TCanvas* Dest, const TRect& To, TCanvas* Source, const TRect& From) {
  if (IsRectEmpty(To) || IsRectEmpty(From)) return;
  Dest->CopyRect(To, Source, From);
}
void BlitPiece(HDC Dest, const TRect& To, HDC Source, const TRect& From) {
  if (IsRectEmpty(To) || IsRectEmpty(From)) return;
  StretchBlt(Dest, To.Left, To.Top, To.Width(), To.Height(), Source, From.Left, From.Top, From.Width(),
             From.Height(), SRCCOPY);
}

// Puts a composed bitmap at (X, Y) of DC, opaque or with magenta left out.
void PutComposed(HDC DC, int X, int Y, TBitmap* Composed, bool Transparent) {
  if (Composed->Empty()) return;
  const TRect at = Bounds(X, Y, Composed->Width(), Composed->Height());
  if (Transparent)
    DrawTransparent(DC, at, Composed, kSkinTransparentColor);
  else
    BitBlt(DC, X, Y, Composed->Width(), Composed->Height(), Composed->Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace skin_draw

TRect SkinFrameRect(TBitmap* Source, bool Stacked, int FrameCount, int FrameIndex) {
  if (!Source || Source->Empty()) return {};
  const int count = std::max(1, FrameCount);
  const int index = std::clamp(FrameIndex, 1, count);
  if (Stacked) {
    const int fh = Source->Height() / count;
    return Rect(0, (index - 1) * fh, Source->Width(), index * fh);
  }
  const int fw = Source->Width() / count;
  return Rect((index - 1) * fw, 0, index * fw, Source->Height());
}

std::unique_ptr<TBitmap> MakeNinePartBitmap(const TRect& Dest, TBitmap* Source, int LeftWidth, int TopHeight,
                                            int RightWidth, int BottomHeight, bool Stacked, bool TileMiddle,
                                            int FrameCount, int FrameIndex) {
  const int w = std::max(0, Dest.Width()), h = std::max(0, Dest.Height());
  auto result = skin_draw::NewFrameBitmap(w, h);
  const TRect frame = SkinFrameRect(Source, Stacked, FrameCount, FrameIndex);
  if (result->Empty() || IsRectEmpty(frame)) return result;
  const skin_draw::TFittedFrame f =
      skin_draw::FitNinePart(frame, LeftWidth, TopHeight, RightWidth, BottomHeight, w, h);
  const int sx = frame.Left, sy = frame.Top, fw = f.Width(), fh = f.Height();
  const int l = f.Left, t = f.Top, r = f.Right, b = f.Bottom;
  TCanvas* to = result->Canvas();
  TCanvas* from = Source->Canvas();
  auto copy = [&](const TRect& To, const TRect& From) { skin_draw::CopyPiece(to, To, from, From); };
  // Source columns and rows where the frame's middle band and its right and bottom bands begin.
  const int sxMid = sx + l, sxRight = sx + fw - r, syMid = sy + t, syBottom = sy + fh - b;
  const int sxEnd = sx + fw, syEnd = sy + fh;

  if (l * t > 0) copy(Rect(0, 0, l, t), Rect(sx, sy, sxMid, syMid));
  if (l * b > 0) copy(Rect(0, h - b, l, h), Rect(sx, syBottom, sxMid, syEnd));
  if (r * t > 0) copy(Rect(w - r, 0, w, t), Rect(sxRight, sy, sxEnd, syMid));
  if (l > 0) copy(Rect(0, t, l, h - b), Rect(sx, syMid, sxMid, syBottom));
  if (t > 0) copy(Rect(l, 0, w - r, t), Rect(sxMid, sy, sxRight, syMid));
  const TRect middle = Rect(l, t, w - r, h - b), middleSource = Rect(sxMid, syMid, sxRight, syBottom);
  if (TileMiddle)
    TileBitmap(to, middle, Source, middleSource);
  else
    skin_draw::BlitPiece(to->Handle(), middle, from->Handle(), middleSource);
  // Drawn after the middle: they cover tiles that run past it.
  if (r * b > 0) copy(Rect(w - r, h - b, w, h), Rect(sxRight, syBottom, sxEnd, syEnd));
  if (r > 0) copy(Rect(w - r, t, w, h - b), Rect(sxRight, syMid, sxEnd, syBottom));
  if (b > 0) copy(Rect(l, h - b, w - r, h), Rect(sxMid, syBottom, sxRight, syEnd));
  return result;
}

void DrawNinePart(HDC DC, const TRect& R, TBitmap* Source, bool Stacked, bool TileMiddle, bool Transparent,
                  int FrameCount, int FrameIndex, int LeftWidth, int TopHeight, int RightWidth,
                  int BottomHeight) {
  if (IsRectEmpty(R) || IsRectEmpty(SkinFrameRect(Source, Stacked, FrameCount, FrameIndex))) return;
  auto composed = MakeNinePartBitmap(R, Source, LeftWidth, TopHeight, RightWidth, BottomHeight, Stacked,
                                     TileMiddle, FrameCount, FrameIndex);
  skin_draw::PutComposed(DC, R.Left, R.Top, composed.get(), Transparent);
}

void DrawThreePartTiled(TCanvas* Canvas, const TRect& R, TBitmap* Source, bool Stacked, bool Transparent,
                        int FrameCount, int FrameIndex, int LeftWidth, int RightWidth) {
  const TRect frame = SkinFrameRect(Source, Stacked, FrameCount, FrameIndex);
  if (!Canvas || IsRectEmpty(R) || IsRectEmpty(frame)) return;
  const int w = R.Width(), h = R.Height(), fw = frame.Width();
  const int sx = frame.Left, sy = frame.Top, sBottom = frame.Bottom;
  const int l = std::clamp(LeftWidth, 0, fw), r = std::clamp(RightWidth, 0, fw);
  auto strip = skin_draw::NewFrameBitmap(w, h);
  TCanvas* to = strip->Canvas();
  TCanvas* from = Source->Canvas();
  skin_draw::CopyPiece(to, Rect(0, 0, l, h), from, Rect(sx, sy, sx + l, sBottom));
  const int middleWidth = fw - l - r;
  if (middleWidth > 0)
    for (int x = l; x < w - r; x += middleWidth)
      skin_draw::CopyPiece(to, Rect(x, 0, x + middleWidth, h), from,
                           Rect(sx + l, sy, sx + l + middleWidth, sBottom));
  skin_draw::CopyPiece(to, Rect(w - r, 0, w, h), from, Rect(sx + fw - r, sy, sx + fw, sBottom));
  if (Transparent) {
    strip->SetTransparentColor(kSkinTransparentColor);
    strip->SetTransparent(true);
    Canvas->Draw(R.Left, R.Top, strip.get());
  } else {
    BitBlt(Canvas->Handle(), R.Left, R.Top, w, h, to->Handle(), 0, 0, SRCCOPY);
  }
}

void DrawBitmapFrame(HDC DC, const TRect& R, TBitmap* Source, bool Transparent, int FrameCount,
                     int FrameIndex) {
  const TRect frame = SkinFrameRect(Source, false, FrameCount, FrameIndex);
  if (IsRectEmpty(R) || IsRectEmpty(frame)) return;
  auto composed = skin_draw::NewFrameBitmap(R.Width(), R.Height());
  skin_draw::CopyPiece(composed->Canvas(), Rect(0, 0, R.Width(), R.Height()), Source->Canvas(), frame);
  skin_draw::PutComposed(DC, R.Left, R.Top, composed.get(), Transparent);
}

void DrawBitmapFrameCentered(HDC DC, const TRect& R, TBitmap* Source, bool Transparent, int FrameCount,
                             int FrameIndex) {
  const TRect frame = SkinFrameRect(Source, false, FrameCount, FrameIndex);
  if (IsRectEmpty(frame)) return;
  const int fw = frame.Width(), fh = frame.Height();
  auto composed = skin_draw::NewFrameBitmap(fw, fh);
  skin_draw::CopyPiece(composed->Canvas(), Rect(0, 0, fw, fh), Source->Canvas(), frame);
  skin_draw::PutComposed(DC, R.Left + (R.Width() - fw) / 2, R.Top + (R.Height() - fh) / 2, composed.get(),
                         Transparent);
}

void DrawStretchedHorizontal(HDC DC, const TRect& R, TBitmap* Source, bool Stacked, int FrameCount,
                             int FrameIndex, int LeftWidth, int RightWidth) {
  const TRect frame = SkinFrameRect(Source, Stacked, FrameCount, FrameIndex);
  if (IsRectEmpty(R) || IsRectEmpty(frame)) return;
  const int fw = frame.Width(), fh = frame.Height();
  const int l = std::clamp(LeftWidth, 0, fw), r = std::clamp(RightWidth, 0, fw);
  const int top = fh < R.Height() ? R.Top + (R.Height() - fh) / 2 : R.Top;
  HDC from = Source->Canvas()->Handle();
  const int sx = frame.Left, sy = frame.Top;
  skin_draw::BlitPiece(DC, Rect(R.Left, top, R.Left + l, top + fh), from, Rect(sx, sy, sx + l, sy + fh));
  skin_draw::BlitPiece(DC, Rect(R.Left + l, top, R.Right - r, top + fh), from,
                       Rect(sx + l, sy, sx + fw - r, sy + fh));
  skin_draw::BlitPiece(DC, Rect(R.Right - r, top, R.Right, top + fh), from,
                       Rect(sx + fw - r, sy, sx + fw, sy + fh));
}

void DrawStretchedVertical(HDC DC, const TRect& R, TBitmap* Source, bool Stacked, int FrameCount,
                           int FrameIndex, int TopHeight, int BottomHeight) {
  const TRect frame = SkinFrameRect(Source, Stacked, FrameCount, FrameIndex);
  if (IsRectEmpty(R) || IsRectEmpty(frame)) return;
  const int fw = frame.Width(), fh = frame.Height();
  const int t = std::clamp(TopHeight, 0, fh), b = std::clamp(BottomHeight, 0, fh);
  const int left = fw < R.Width() ? R.Left + (R.Width() - fw) / 2 : R.Left;
  HDC from = Source->Canvas()->Handle();
  const int sx = frame.Left, sy = frame.Top;
  skin_draw::BlitPiece(DC, Rect(left, R.Top, left + fw, R.Top + t), from, Rect(sx, sy, sx + fw, sy + t));
  skin_draw::BlitPiece(DC, Rect(left, R.Top + t, left + fw, R.Bottom - b), from,
                       Rect(sx, sy + t, sx + fw, sy + fh - b));
  skin_draw::BlitPiece(DC, Rect(left, R.Bottom - b, left + fw, R.Bottom), from,
                       Rect(sx, sy + fh - b, sx + fw, sy + fh));
}

void TileBitmap(TCanvas* Dest, const TRect& DestRect, TBitmap* Source, const TRect& SourceRect) {
  if (!Dest || !Source || Source->Empty() || IsRectEmpty(DestRect)) return;
  TRect source;
  if (!IntersectRect(source, SourceRect, Rect(0, 0, Source->Width(), Source->Height()))) return;
  const int tw = source.Width(), th = source.Height();
  auto tile = skin_draw::NewFrameBitmap(tw, th);
  BitBlt(tile->Canvas()->Handle(), 0, 0, tw, th, Source->Canvas()->Handle(), source.Left, source.Top,
         SRCCOPY);
  // Tiles wholly outside the canvas's clip would change nothing: start at the first that reaches it,
  // so a huge rectangle costs only what shows.
  TRect clip = Dest->ClipRect();
  if (IsRectEmpty(clip)) clip = DestRect;  // a DC without a surface to clip against: draw every tile
  const int64_t skipX = clip.Left > DestRect.Left ? (int64_t{clip.Left} - DestRect.Left) / tw : 0;
  const int64_t skipY = clip.Top > DestRect.Top ? (int64_t{clip.Top} - DestRect.Top) / th : 0;
  const int64_t right = std::min<int64_t>(DestRect.Right, clip.Right);
  const int64_t bottom = std::min<int64_t>(DestRect.Bottom, clip.Bottom);
  for (int64_t x = DestRect.Left + skipX * tw; x < right; x += tw)
    for (int64_t y = DestRect.Top + skipY * th; y < bottom; y += th)
      Dest->Draw(static_cast<int>(x), static_cast<int>(y), tile.get());
}

// --- the scratch bitmap ------------------------------------------------------------------------

namespace {
std::unique_ptr<TBitmap> gSkinScratchBitmap;
}  // namespace

TBitmap* SkinScratchBitmap() {
  return gSkinScratchBitmap.get();
}

void CreateSkinScratchBitmap() {
  if (gSkinScratchBitmap) return;
  auto scratch = std::make_unique<TBitmap>();
  SetStretchBltMode(scratch->Canvas()->Handle(), COLORONCOLOR);
  gSkinScratchBitmap = std::move(scratch);
}

void FreeSkinScratchBitmap() {
  gSkinScratchBitmap.reset();
}
