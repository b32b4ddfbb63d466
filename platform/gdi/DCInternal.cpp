#include "platform/gdi/DCInternal.h"

#include "platform/gdi/DeviceContext.h"

namespace gdi_internal {

bool GetTextState(HDC dc, TTextState& state) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return false;
  const TDCState& s = d->State;
  if (const auto* font = Lookup<TFontObj>(s.Font)) state.Font = font->Log;
  state.TextColor = s.TextColor;
  state.BkColor = s.BkColor;
  state.BkMode = s.BkMode;
  state.TextAlign = s.TextAlign;
  state.CurrentPos = s.CurrentPos;
  state.Layout = s.Layout;
  return true;
}

void SetCurrentPos(HDC dc, POINT pos) {
  if (TDeviceContext* d = LookupDC(dc)) d->State.CurrentPos = pos;
}

bool FillSolidRect(HDC dc, const RECT& logical, COLORREF color) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return false;
  TDrawScope scope(*d);
  if (!scope.Ok()) return true;
  scope.Raster().FillRect(scope.ToSurface(d->MapRect(logical)), TPaint::Solid(d->DevicePixel(color)),
                          R2_COPYPEN);
  return true;
}

bool DrawCoverageMask(HDC dc, int x, int y, int width, int height, const uint8_t* coverage, int stride,
                      COLORREF color, const RECT* clipLogical) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || width < 0 || height < 0 || stride < width) return false;
  if (width == 0 || height == 0) return true;
  if (!coverage) return false;
  TDrawScope scope(*d);
  if (!scope.Ok()) return true;
  // The mask is in device pixels and keeps its orientation: on a mirrored DC only its place
  // is mirrored (its logical left edge becomes its device right edge).
  const int edge = d->MapEdgeX(x);
  const int left = d->Mirrored() ? ClampedSum(edge, -int64_t{width}) : edge;
  const int top = d->MapEdgeY(y);
  TRect area = scope.ToSurface(TRect{left, top, ClampedSum(left, width), ClampedSum(top, height)});
  const TRect maskArea = area;
  if (clipLogical && !IntersectRect(area, area, scope.ToSurface(d->MapRect(*clipLogical)))) return true;
  const uint32_t pixel = d->DevicePixel(color);
  const uint32_t cr = (pixel >> 16) & 0xFF, cg = (pixel >> 8) & 0xFF, cb = pixel & 0xFF;
  TRaster& raster = scope.Raster();
  bool blended = false;
  raster.ForEachClipped(area, [&](const TRect& part) {
    for (int sy = part.Top; sy < part.Bottom; ++sy) {
      uint32_t* row = raster.Surface().Row(sy);
      const uint8_t* cov = coverage + static_cast<ptrdiff_t>(sy - maskArea.Top) * stride;
      for (int sx = part.Left; sx < part.Right; ++sx) {
        const uint32_t a = cov[sx - maskArea.Left];
        if (a == 0) continue;
        if (a == 255) {
          row[sx] = pixel;
          continue;
        }
        const uint32_t dp = row[sx], na = 255 - a;
        const uint32_t r = (cr * a + ((dp >> 16) & 0xFF) * na + 127) / 255;
        const uint32_t g = (cg * a + ((dp >> 8) & 0xFF) * na + 127) / 255;
        const uint32_t b = (cb * a + (dp & 0xFF) * na + 127) / 255;
        row[sx] = (r << 16) | (g << 8) | b;
        blended = true;
      }
    }
  });
  if (blended) scope.MarkBlended();
  return true;
}

}  // namespace gdi_internal
