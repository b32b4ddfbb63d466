// Icons and cursors: a colour image and an AND mask drawn the classic way (the mask cuts the
// destination with SRCAND, the image is XORed in), so transparent pixels leave what lies below.
#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/HandleTable.h"

namespace gdi_internal {
namespace {

struct TIconObj : TGdiObject {
  static constexpr TObjKind kKind = TObjKind::Icon;
  TIconObj() : TGdiObject(kKind) {}
  ~TIconObj() override {
    if (Mask) DeleteObject(Mask);
    if (Color) DeleteObject(Color);
  }
  bool IsIcon = true;
  POINT HotSpot{};
  HBITMAP Mask = nullptr;
  HBITMAP Color = nullptr;
  int Width = 0;
  int Height = 0;
};

bool BitmapSize(HBITMAP bmp, int& w, int& h) {
  BITMAP info{};
  if (!bmp || GetObject(bmp, sizeof info, &info) == 0) return false;
  w = info.bmWidth;
  h = info.bmHeight;
  return w > 0 && h > 0;
}

// A copy of `src` scaled to w x h with the given bit depth (1 for masks, 32 for images).
HBITMAP CopyBitmap(HBITMAP src, int w, int h, int bitsPerPixel) {
  int sw = 0, sh = 0;
  if (!BitmapSize(src, sw, sh) || w <= 0 || h <= 0) return nullptr;
  HBITMAP dst = CreateBitmap(w, h, 1, static_cast<UINT>(bitsPerPixel), nullptr);
  if (!dst) return nullptr;
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFrom = SelectObject(from, src);
  HGDIOBJ oldTo = SelectObject(to, dst);
  StretchBlt(to, 0, 0, w, h, from, 0, 0, sw, sh, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  return dst;
}

int BitsOf(HBITMAP bmp) {
  BITMAP info{};
  GetObject(bmp, sizeof info, &info);
  return info.bmBitsPixel == 1 ? 1 : 32;
}

HICON MakeIcon(const TIconObj& from, int w, int h) {
  auto icon = std::make_unique<TIconObj>();
  icon->IsIcon = from.IsIcon;
  icon->HotSpot = from.HotSpot;
  icon->Width = w;
  icon->Height = h;
  // A monochrome icon keeps its image below the mask in one bitmap of double height.
  const int maskHeight = from.Color ? h : 2 * h;
  icon->Mask = CopyBitmap(from.Mask, w, maskHeight, 1);
  if (from.Color) icon->Color = CopyBitmap(from.Color, w, h, BitsOf(from.Color));
  if (!icon->Mask || (from.Color && !icon->Color)) return nullptr;
  return static_cast<HICON>(RegisterObject(std::move(icon)));
}

}  // namespace
}  // namespace gdi_internal

using namespace gdi_internal;

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info || !info->hbmMask) return nullptr;
  int w = 0, h = 0;
  if (!BitmapSize(info->hbmColor ? info->hbmColor : info->hbmMask, w, h)) return nullptr;
  if (!info->hbmColor) h /= 2;
  if (h <= 0) return nullptr;
  TIconObj source;
  source.IsIcon = info->fIcon != 0;
  source.HotSpot = POINT{static_cast<int>(info->xHotspot), static_cast<int>(info->yHotspot)};
  source.Mask = info->hbmMask;
  source.Color = info->hbmColor;
  HICON icon = MakeIcon(source, w, h);
  // The caller's bitmaps stay the caller's.
  source.Mask = nullptr;
  source.Color = nullptr;
  return icon;
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
  TIconObj* icon = Lookup<TIconObj>(handle);
  if (!icon || !info) return FALSE;
  info->fIcon = icon->IsIcon ? TRUE : FALSE;
  info->xHotspot = static_cast<DWORD>(icon->HotSpot.X);
  info->yHotspot = static_cast<DWORD>(icon->HotSpot.Y);
  info->hbmMask = CopyBitmap(icon->Mask, icon->Width, icon->Color ? icon->Height : 2 * icon->Height, 1);
  info->hbmColor =
      icon->Color ? CopyBitmap(icon->Color, icon->Width, icon->Height, BitsOf(icon->Color)) : nullptr;
  return info->hbmMask ? TRUE : FALSE;
}

HICON CopyIcon(HICON handle) {
  TIconObj* icon = Lookup<TIconObj>(handle);
  return icon ? MakeIcon(*icon, icon->Width, icon->Height) : nullptr;
}

BOOL DestroyIcon(HICON handle) {
  return Lookup<TIconObj>(handle) && DestroyObject(handle) ? TRUE : FALSE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int cx, int cy, UINT, HBRUSH, UINT flags) {
  TIconObj* icon = Lookup<TIconObj>(handle);
  if (!icon || !dc) return FALSE;
  if (cx == 0) cx = icon->Width;
  if (cy == 0) cy = icon->Height;
  if ((flags & DI_NORMAL) == 0) flags |= DI_NORMAL;
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(source, icon->Mask);
  // A monochrome source takes the destination's text colour for 0 and its background colour
  // for 1; the mask (and a monochrome image) mean black and white whatever the DC holds.
  const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
  BOOL ok = TRUE;
  const bool normal = (flags & DI_NORMAL) == DI_NORMAL;
  if (flags & DI_MASK)
    ok &= StretchBlt(dc, x, y, cx, cy, source, 0, 0, icon->Width, icon->Height, normal ? SRCAND : SRCCOPY);
  if (flags & DI_IMAGE) {
    if (icon->Color) {
      SelectObject(source, icon->Color);
      ok &=
          StretchBlt(dc, x, y, cx, cy, source, 0, 0, icon->Width, icon->Height, normal ? SRCINVERT : SRCCOPY);
    } else {
      ok &= StretchBlt(dc, x, y, cx, cy, source, 0, icon->Height, icon->Width, icon->Height,
                       normal ? SRCINVERT : SRCCOPY);
    }
  }
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  SelectObject(source, old);
  DeleteDC(source);
  return ok ? TRUE : FALSE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void* CopyImage(void* image, UINT type, int cx, int cy, UINT flags) {
  void* copy = nullptr;
  if (type == IMAGE_BITMAP) {
    int w = 0, h = 0;
    if (!BitmapSize(static_cast<HBITMAP>(image), w, h)) return nullptr;
    copy = CopyBitmap(static_cast<HBITMAP>(image), cx ? cx : w, cy ? cy : h,
                      BitsOf(static_cast<HBITMAP>(image)));
    if (copy && (flags & LR_COPYDELETEORG)) DeleteObject(image);
  } else if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
    TIconObj* icon = Lookup<TIconObj>(image);
    if (!icon) return nullptr;
    // Icons are drawn by us at every size, so "from the resource" is a plain scaled copy.
    copy = MakeIcon(*icon, cx ? cx : icon->Width, cy ? cy : icon->Height);
    if (copy && (flags & LR_COPYDELETEORG)) DestroyIcon(static_cast<HICON>(image));
  }
  return copy;
}
