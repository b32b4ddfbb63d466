// Block transfers. Every blit maps its destination and source rectangles to device pixels,
// resolves the destination clip once, and then works a row at a time: the source row is
// gathered through a column map (nearest neighbour: destination column i of a stretched
// blit takes source column floor(i * sw / dw), counted from the mirrored end when exactly
// one of the two extents is negative; every stretch mode stretches this way), converted
// between monochrome and colour, and combined with the destination.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/DeviceContext.h"

using namespace gdi_internal;

namespace {

enum class TBlitKind { Rop, Mask, Transparent, Alpha };

struct TBlitRequest {
  TBlitKind Kind = TBlitKind::Rop;
  const char* Api = "";
  HDC Dst = nullptr;
  int X = 0, Y = 0, W = 0, H = 0;
  HDC Src = nullptr;
  int SX = 0, SY = 0, SW = 0, SH = 0;
  DWORD Rop = SRCCOPY;
  HBITMAP Mask = nullptr;
  int MX = 0, MY = 0;
  UINT Transparent = 0;
  BLENDFUNCTION Blend{};
  bool Stretch = false;  // the source has extents of its own (SW, SH)
};

// One axis of a blit in surface pixels.
struct TAxis {
  int Dst0 = 0, DstLen = 0;  // destination span
  int Src0 = 0, SrcLen = 0;  // source span
  bool Mirror = false;
  // Source offset (from Src0) for destination offset i.
  int SourceOffset(int64_t i) const {
    const auto j = static_cast<int>(i * SrcLen / DstLen);
    return Mirror ? SrcLen - 1 - j : j;
  }
  bool Identity() const { return DstLen == SrcLen && !Mirror; }
};

// An edge pair mapped through a DC: the ordered device span and whether it turned round.
void MapSpan(int a, int b, bool flipped, int& lo, int& len, bool& reversed) {
  reversed = (b < a) != flipped;
  lo = std::min(a, b);
  len = std::abs(b - a);
}

bool BitmapOrientationKept(const TDeviceContext& dc) {
  return dc.Mirrored() && (dc.State.Layout & LAYOUT_BITMAPORIENTATIONPRESERVED);
}

void RecordBlit(TDeviceContext& dc, const TBlitRequest& r) {
  if (!Recording(dc)) return;
  TDrawCall call = MakeCall(TDrawKind::Blt);
  call.Rect = {r.X, r.Y, ClampedSum(r.X, r.W), ClampedSum(r.Y, r.H)};
  // The constant alpha of a blend tells a translucent face from an opaque one.
  call.Flags = r.Kind == TBlitKind::Transparent ? r.Transparent
               : r.Kind == TBlitKind::Alpha     ? r.Blend.SourceConstantAlpha
                                                : r.Rop;
  call.Color = r.Kind == TBlitKind::Rop ? dc.BrushColor(dc.State.Brush) : CLR_INVALID;
  call.Note = r.Api;
  RecordCall(dc, std::move(call));
}

// The source surface a blit reads: the source DC's bitmap, or a private copy of the part
// read when it overlaps the destination in the same bitmap.
struct TSourceView {
  TSurface Surface;
  std::vector<uint32_t> Copy;
  bool Mono = false;
  uint32_t BkPixel = 0;  // the source DC's background colour, for colour-to-monochrome
};

uint8_t MaskBit(const TSurface& mask, int x, int y) {
  return mask.Row(y)[x] & kColorMask ? 1 : 0;
}

uint32_t Scale255(uint32_t v, uint32_t a) {
  return (v * a + 127) / 255;
}

uint32_t BlendConstant(uint32_t s, uint32_t d, uint32_t a) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
    out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

// Source pixels carry premultiplied colour and their own alpha in the top byte.
uint32_t BlendPerPixel(uint32_t s, uint32_t d, uint32_t constant) {
  const uint32_t sa = Scale255(s >> 24, constant);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sc = Scale255((s >> shift) & 0xFF, constant), dc = (d >> shift) & 0xFF;
    out |= std::min<uint32_t>(255, sc + Scale255(dc, 255 - sa)) << shift;
  }
  return out;
}

BOOL DoBlit(const TBlitRequest& r) {
  TDeviceContext* dst = LookupDC(r.Dst);
  if (!dst) return kGdiFalse;
  const uint8_t fore = RopIndex(r.Rop), back = static_cast<uint8_t>((r.Rop >> 24) & 0xFF);
  bool needSource = true, needPattern = false;
  if (r.Kind == TBlitKind::Rop) {
    needSource = RopIndexUsesSource(fore);
    needPattern = RopIndexUsesPattern(fore);
  } else if (r.Kind == TBlitKind::Mask) {
    needPattern = RopIndexUsesPattern(fore) || RopIndexUsesPattern(back);
  }
  TDeviceContext* src = needSource ? LookupDC(r.Src) : nullptr;
  if (needSource && !src) return kGdiFalse;
  if (r.Kind == TBlitKind::Alpha &&
      (r.Blend.BlendOp != AC_SRC_OVER || r.Blend.BlendFlags != 0 || r.Blend.AlphaFormat > AC_SRC_ALPHA))
    return kGdiFalse;
  if ((r.Kind == TBlitKind::Alpha || r.Kind == TBlitKind::Transparent) &&
      (r.W < 0 || r.H < 0 || r.SW < 0 || r.SH < 0))
    return kGdiFalse;
  TBitmapObj* mask = nullptr;
  if (r.Kind == TBlitKind::Mask) {
    mask = Lookup<TBitmapObj>(r.Mask);
    if (!mask || mask->Bpp != 1) return kGdiFalse;
    if (mask->NeedsSync()) mask->Load();
  }
  RecordBlit(*dst, r);

  // Destination axes in device pixels.
  TAxis ax, ay;
  bool dstRevX, dstRevY;
  MapSpan(dst->MapEdgeX(r.X), dst->MapEdgeX(ClampedSum(r.X, r.W)), BitmapOrientationKept(*dst), ax.Dst0,
          ax.DstLen, dstRevX);
  MapSpan(dst->MapEdgeY(r.Y), dst->MapEdgeY(ClampedSum(r.Y, r.H)), false, ay.Dst0, ay.DstLen, dstRevY);
  if (ax.DstLen == 0 || ay.DstLen == 0) return kGdiTrue;

  TDrawScope scope(*dst);
  if (!scope.Ok()) return kGdiTrue;
  TRaster& raster = scope.Raster();
  const TRect dstRect = scope.ToSurface(TRect{ax.Dst0, ay.Dst0, ax.Dst0 + ax.DstLen, ay.Dst0 + ay.DstLen});
  ax.Dst0 = dstRect.Left;
  ay.Dst0 = dstRect.Top;

  TSourceView source;
  TRect area;  // the destination pixels that have a source pixel, inside the clip bounds
  if (!IntersectRect(area, dstRect, raster.Bounds())) return kGdiTrue;
  std::vector<int> colMap, rowMap;  // source surface column / row of each destination one in `area`
  int shiftX = 0, shiftY = 0;       // what colMap and rowMap are relative to, when reading a copy
  if (needSource) {
    TBitmapObj* sbmp = src->SurfaceBitmap();
    if (!sbmp || sbmp->Pixels.empty()) return kGdiFalse;
    if (sbmp->NeedsSync()) sbmp->Load();
    const int sw = r.Stretch ? r.SW : r.W, sh = r.Stretch ? r.SH : r.H;
    bool srcRevX, srcRevY;
    MapSpan(src->MapEdgeX(r.SX), src->MapEdgeX(ClampedSum(r.SX, sw)), BitmapOrientationKept(*src), ax.Src0,
            ax.SrcLen, srcRevX);
    MapSpan(src->MapEdgeY(r.SY), src->MapEdgeY(ClampedSum(r.SY, sh)), false, ay.Src0, ay.SrcLen, srcRevY);
    if (ax.SrcLen == 0 || ay.SrcLen == 0) return kGdiTrue;
    ax.Mirror = dstRevX != srcRevX;
    ay.Mirror = dstRevY != srcRevY;
    const POINT so = src->SurfaceOrigin();
    ax.Src0 += so.X;
    ay.Src0 += so.Y;
    source.Surface = sbmp->Surface();
    source.Mono = sbmp->Mono();
    source.BkPixel = PixelFromColor(src->State.BkColor);
    const TRect srcRect{ax.Src0, ay.Src0, ax.Src0 + ax.SrcLen, ay.Src0 + ay.SrcLen};
    const TRect srcBounds{0, 0, source.Surface.Width, source.Surface.Height};
    if (r.Kind == TBlitKind::Alpha) {
      TRect inside;
      if (!IntersectRect(inside, srcRect, srcBounds) || inside != srcRect) return kGdiFalse;
    }
    if (mask && (r.MX < 0 || r.MY < 0 || int64_t{r.MX} + ax.SrcLen > mask->Width ||
                 int64_t{r.MY} + ay.SrcLen > mask->Height))
      return kGdiFalse;
    // Destination pixels whose source lies outside the source bitmap are left alone; the
    // source offsets are monotonic, so those that remain are one run per axis.
    auto buildMap = [](const TAxis& axis, int from, int to, int limit, std::vector<int>& map, int& first,
                       int& last) {
      map.clear();
      map.reserve(static_cast<size_t>(to - from));
      first = to;
      last = from;
      if (axis.Identity()) {
        // Source = destination shifted: the run inside the source follows from the shift.
        const int64_t shift = int64_t{axis.Src0} - axis.Dst0;
        for (int d = from; d < to; ++d) map.push_back(static_cast<int>(d + shift));
        const int64_t inFirst = std::clamp<int64_t>(-shift, from, to);
        const int64_t inLast = std::clamp<int64_t>(limit - shift, from, to);
        if (inFirst < inLast) {
          first = static_cast<int>(inFirst);
          last = static_cast<int>(inLast);
        }
        return;
      }
      for (int d = from; d < to; ++d) {
        const int s = axis.Src0 + axis.SourceOffset(d - axis.Dst0);
        map.push_back(s);
        if (s >= 0 && s < limit) {
          first = std::min(first, d);
          last = std::max(last, d + 1);
        }
      }
    };
    int x0, x1, y0, y1;
    buildMap(ax, area.Left, area.Right, source.Surface.Width, colMap, x0, x1);
    buildMap(ay, area.Top, area.Bottom, source.Surface.Height, rowMap, y0, y1);
    if (x0 >= x1 || y0 >= y1) return kGdiTrue;
    colMap.erase(colMap.begin() + (x1 - area.Left), colMap.end());
    colMap.erase(colMap.begin(), colMap.begin() + (x0 - area.Left));
    rowMap.erase(rowMap.begin() + (y1 - area.Top), rowMap.end());
    rowMap.erase(rowMap.begin(), rowMap.begin() + (y0 - area.Top));
    area = {x0, y0, x1, y1};
    // Reading and writing one bitmap where the two overlap: read from a copy of the part read.
    // The maps are monotonic, so their ends are their extremes.
    const TRect used{std::min(colMap.front(), colMap.back()), std::min(rowMap.front(), rowMap.back()),
                     std::max(colMap.front(), colMap.back()) + 1,
                     std::max(rowMap.front(), rowMap.back()) + 1};
    TRect overlap;
    if (sbmp == dst->SurfaceBitmap() && IntersectRect(overlap, used, area)) {
      source.Copy.resize(static_cast<size_t>(used.Width()) * static_cast<size_t>(used.Height()));
      for (int y = used.Top; y < used.Bottom; ++y)
        std::memcpy(source.Copy.data() + static_cast<size_t>(y - used.Top) * used.Width(),
                    source.Surface.Row(y) + used.Left, static_cast<size_t>(used.Width()) * 4);
      source.Surface.Row0 = source.Copy.data();
      source.Surface.Stride = used.Width();
      for (int& c : colMap) c -= used.Left;
      for (int& c : rowMap) c -= used.Top;
      shiftX = used.Left;
      shiftY = used.Top;
    }
  }

  const bool dstMono = raster.Surface().Mono;
  const bool toColor = needSource && source.Mono && !dstMono;
  const bool toMono = needSource && !source.Mono && dstMono;
  const uint32_t textPixel = dst->DevicePixel(dst->State.TextColor),
                 bkPixel = dst->DevicePixel(dst->State.BkColor);
  const uint32_t transparentPixel = PixelFromColor(r.Transparent);
  const TPaint pattern = needPattern ? dst->BrushPaint(dst->State.Brush) : TPaint();
  const bool plainCopy = r.Kind == TBlitKind::Rop && fore == 0xCC && !toColor && !toMono;
  const bool straight = needSource && ax.Identity();
  // A mask blit whose two operations each take the source or keep the destination.
  constexpr uint8_t kRopSource = 0xCC, kRopDestination = 0xAA;
  const auto isSelect = [&](uint8_t index) { return index == kRopSource || index == kRopDestination; };
  const bool selectOnly = r.Kind == TBlitKind::Mask && needSource && isSelect(fore) && isSelect(back);

  std::vector<uint32_t> sbuf, pbuf;
  const TSurface dsurf = raster.Surface();
  raster.ForEachClipped(area, [&](const TRect& part) {
    const int n = part.Width();
    const int mapOffset = part.Left - area.Left;
    sbuf.resize(static_cast<size_t>(n));
    pbuf.resize(static_cast<size_t>(n));
    if (plainCopy && straight && ay.Identity() && part.Left == 0 && n == dsurf.Width && dsurf.Stride == n &&
        source.Surface.Stride == n && colMap[static_cast<size_t>(mapOffset)] == 0) {
      // Whole rows on both sides, one after the other in memory: one block copy.
      std::memmove(dsurf.Row(part.Top), source.Surface.Row(rowMap[static_cast<size_t>(part.Top - area.Top)]),
                   static_cast<size_t>(n) * static_cast<size_t>(part.Height()) * 4);
      return;
    }
    for (int y = part.Top; y < part.Bottom; ++y) {
      uint32_t* d = dsurf.Row(y) + part.Left;
      const uint32_t* s = nullptr;
      int srow = 0;
      if (needSource) {
        srow = rowMap[static_cast<size_t>(y - area.Top)];
        const uint32_t* line = source.Surface.Row(srow);
        if (plainCopy) {
          if (straight) {
            std::memmove(d, line + colMap[static_cast<size_t>(mapOffset)], static_cast<size_t>(n) * 4);
          } else if (y > part.Top && rowMap[static_cast<size_t>(y - area.Top)] ==
                                         rowMap[static_cast<size_t>(y - 1 - area.Top)]) {
            std::memcpy(d, dsurf.Row(y - 1) + part.Left,
                        static_cast<size_t>(n) * 4);  // a repeated source row
          } else {
            const int* map = colMap.data() + mapOffset;
            for (int i = 0; i < n; ++i) d[i] = line[map[i]];
          }
          continue;
        }
        for (int i = 0; i < n; ++i)
          sbuf[static_cast<size_t>(i)] = line[colMap[static_cast<size_t>(mapOffset + i)]];
        s = sbuf.data();
      }
      if (needPattern) pattern.Expand(part.Left, y, n, pbuf.data(), nullptr);
      uint32_t* sw = sbuf.data();
      switch (r.Kind) {
        case TBlitKind::Rop:
          if (toColor)
            for (int i = 0; i < n; ++i) sw[i] = (sw[i] & kColorMask) ? bkPixel : textPixel;
          if (toMono)
            for (int i = 0; i < n; ++i) sw[i] = (sw[i] & kColorMask) == source.BkPixel ? 0xFFFFFF : 0;
          Rop3Row(fore, d, s, pbuf.data(), n);
          break;
        case TBlitKind::Mask: {
          if (toColor)
            for (int i = 0; i < n; ++i) sw[i] = (sw[i] & kColorMask) ? bkPixel : textPixel;
          if (toMono)
            for (int i = 0; i < n; ++i) sw[i] = (sw[i] & kColorMask) == source.BkPixel ? 0xFFFFFF : 0;
          const TSurface ms = mask->Surface();
          const int my = r.MY + (srow + shiftY - ay.Src0);
          if (selectOnly) {
            // Each pixel is the destination's or the source's, as its mask bit chooses.
            const int* map = colMap.data() + mapOffset;
            const int mx0 = r.MX + shiftX - ax.Src0;
            for (int i = 0; i < n; ++i) {
              const uint8_t index = MaskBit(ms, mx0 + map[i], my) ? fore : back;
              d[i] = (index == kRopSource ? s[i] : d[i]) & kColorMask;
            }
            break;
          }
          for (int i = 0; i < n; ++i) {
            const int mx = r.MX + (colMap[static_cast<size_t>(mapOffset + i)] + shiftX - ax.Src0);
            const uint8_t index = MaskBit(ms, mx, my) ? fore : back;
            d[i] = Rop3Pixel(index, needPattern ? pbuf[static_cast<size_t>(i)] : 0, s ? s[i] : 0, d[i]);
          }
          break;
        }
        case TBlitKind::Transparent:
          for (int i = 0; i < n; ++i) {
            uint32_t p = sw[i] & kColorMask;
            if (p == transparentPixel) continue;
            if (toColor) p = p ? bkPixel : textPixel;
            if (toMono) p = p == source.BkPixel ? 0xFFFFFF : 0;
            d[i] = p;
          }
          break;
        case TBlitKind::Alpha:
          for (int i = 0; i < n; ++i) {
            uint32_t p = sw[i];
            if (toColor) p = (p & kColorMask) ? bkPixel : textPixel;
            d[i] = r.Blend.AlphaFormat == AC_SRC_ALPHA ? BlendPerPixel(p, d[i], r.Blend.SourceConstantAlpha)
                                                       : BlendConstant(p, d[i], r.Blend.SourceConstantAlpha);
          }
          break;
      }
    }
  });
  if (r.Kind == TBlitKind::Alpha) scope.MarkBlended();
  return kGdiTrue;
}

}  // namespace

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  return DoBlit({.Api = "BitBlt",
                 .Dst = dst,
                 .X = x,
                 .Y = y,
                 .W = w,
                 .H = h,
                 .Src = src,
                 .SX = sx,
                 .SY = sy,
                 .Rop = rop});
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
  return DoBlit({.Api = "StretchBlt",
                 .Dst = dst,
                 .X = x,
                 .Y = y,
                 .W = w,
                 .H = h,
                 .Src = src,
                 .SX = sx,
                 .SY = sy,
                 .SW = sw,
                 .SH = sh,
                 .Rop = rop,
                 .Stretch = true});
}

BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) {
  if (RopIndexUsesSource(RopIndex(rop))) return kGdiFalse;
  return DoBlit({.Api = "PatBlt", .Dst = dc, .X = x, .Y = y, .W = w, .H = h, .Rop = rop});
}

BOOL MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, HBITMAP mask, int mx, int my,
             DWORD rop) {
  if (!mask) return BitBlt(dst, x, y, w, h, src, sx, sy, rop & 0x00FFFFFF);
  return DoBlit({.Kind = TBlitKind::Mask,
                 .Api = "MaskBlt",
                 .Dst = dst,
                 .X = x,
                 .Y = y,
                 .W = w,
                 .H = h,
                 .Src = src,
                 .SX = sx,
                 .SY = sy,
                 .Rop = rop,
                 .Mask = mask,
                 .MX = mx,
                 .MY = my});
}

BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    UINT transparent) {
  return DoBlit({.Kind = TBlitKind::Transparent,
                 .Api = "TransparentBlt",
                 .Dst = dst,
                 .X = x,
                 .Y = y,
                 .W = w,
                 .H = h,
                 .Src = src,
                 .SX = sx,
                 .SY = sy,
                 .SW = sw,
                 .SH = sh,
                 .Transparent = transparent & kColorMask,
                 .Stretch = true});
}

BOOL AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend) {
  return DoBlit({.Kind = TBlitKind::Alpha,
                 .Api = "AlphaBlend",
                 .Dst = dst,
                 .X = x,
                 .Y = y,
                 .W = w,
                 .H = h,
                 .Src = src,
                 .SX = sx,
                 .SY = sy,
                 .SW = sw,
                 .SH = sh,
                 .Blend = blend,
                 .Stretch = true});
}
