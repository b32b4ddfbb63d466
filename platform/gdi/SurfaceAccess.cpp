#include "platform/gdi/SurfaceAccess.h"

#include <algorithm>
#include <utility>

#include "platform/gdi/DeviceContext.h"

namespace gdi_internal {

HDC CreateSurfaceDC(HBITMAP target, POINT origin, const std::vector<RECT>& visible) {
  if (!Lookup<TBitmapObj>(target)) return nullptr;
  TRegion region;
  if (!TRegion::FromRects(visible, region)) return nullptr;
  TDeviceContext* dc = NewDC(TDCType::Surface);
  if (!dc) return nullptr;
  dc->Target = target;
  dc->Origin = origin;
  dc->Visible = std::move(region);
  RetainObject(target, dc);
  return HandleOf(*dc);
}

void SetSurfaceExtent(HDC dc, SIZE extent) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || d->Type != TDCType::Surface) return;
  d->Extent = {std::max(0, extent.cx), std::max(0, extent.cy)};
  d->ClipChanged();
}

uint32_t* BitmapPixels(HBITMAP bitmap, int* width, int* height) {
  TBitmapObj* bmp = Lookup<TBitmapObj>(bitmap);
  // Only bitmaps whose drawing pixels are their memory, top-down.
  if (!bmp || bmp->NeedsSync() || !bmp->TopDown || bmp->Pixels.empty()) return nullptr;
  if (width) *width = bmp->Width;
  if (height) *height = bmp->Height;
  return bmp->Pixels.data();
}

}  // namespace gdi_internal
