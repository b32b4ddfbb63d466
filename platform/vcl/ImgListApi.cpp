// The image-list API: lists of equally sized images, each with its transparency, behind
// handles with a generation. Drawing goes through the DC's blits so that recorders see it.
#include <algorithm>
#include <memory>

#include "platform/vcl/ImgList.h"

namespace {

struct TListImage {
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB
  std::vector<bool> Transparent;
};

struct TImageListData {
  int Cx = 16;
  int Cy = 16;
  UINT Flags = 0;
  int Grow = 4;
  COLORREF BkColor = CLR_NONE;
  std::vector<TListImage> Images;
  bool Masked() const { return (Flags & ILC_MASK) != 0; }
};

struct TSlot {
  std::unique_ptr<TImageListData> Data;
  uint16_t Generation = 1;
};

// Never destroyed: image lists with static lifetime are freed after the end of main.
std::vector<TSlot>& Slots() {
  static auto* slots = new std::vector<TSlot>();
  return *slots;
}

TImageListData* Lookup(HIMAGELIST list) {
  const auto v = reinterpret_cast<uintptr_t>(list);
  const size_t index = (v >> 16);
  if (index == 0 || index > Slots().size()) return nullptr;
  TSlot& slot = Slots()[index - 1];
  if (!slot.Data || slot.Generation != (v & 0xFFFF)) return nullptr;
  return slot.Data.get();
}

uint32_t ToPixel(COLORREF c) {
  return uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c);
}

bool ValidIndex(const TImageListData* d, int index) {
  return d && index >= 0 && index < static_cast<int>(d->Images.size());
}

// Cuts cell `k` of a horizontal strip out of `image` (rows beyond it are black).
TListImage Cut(const TImageListData& d, const TBmpImage& image, const TBmpImage* mask, int k, bool useMask) {
  TListImage out;
  const size_t n = static_cast<size_t>(d.Cx) * d.Cy;
  out.Pixels.assign(n, 0);
  out.Transparent.assign(n, false);
  for (int y = 0; y < d.Cy && y < image.Height; ++y)
    for (int x = 0; x < d.Cx; ++x) {
      const int sx = k * d.Cx + x;
      if (sx >= image.Width) break;
      const size_t i = static_cast<size_t>(y) * d.Cx + x;
      out.Pixels[i] = image.Pixel(sx, y) & 0xFFFFFF;
      if (useMask && mask && sx < mask->Width && y < mask->Height)
        out.Transparent[i] = (mask->Pixel(sx, y) & 0xFFFFFF) != 0;
    }
  return out;
}

bool ReadBitmap(HBITMAP bmp, TBmpImage& out) {
  if (!bmp) return false;
  try {
    out = BmpImageFromBitmap(bmp);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

// A memory DC over a fresh 32-bit DIB, freed on scope exit.
class TScratch {
 public:
  TScratch(int w, int h) {
    BITMAPINFO info;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biBitCount = 32;
    void* p = nullptr;
    bmp_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    bits_ = static_cast<uint32_t*>(p);
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ && bmp_) old_ = SelectObject(dc_, bmp_);
  }
  ~TScratch() {
    if (dc_) {
      if (old_) SelectObject(dc_, old_);
      DeleteDC(dc_);
    }
    if (bmp_) DeleteObject(bmp_);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  bool Ok() const { return dc_ && bmp_ && bits_; }
  HDC Dc() const { return dc_; }
  uint32_t* Bits() const { return bits_; }

 private:
  HBITMAP bmp_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

uint32_t Blend(uint32_t p, uint32_t fg, int percentFg) {
  auto ch = [&](int shift) {
    const uint32_t a = (p >> shift) & 0xFF, b = (fg >> shift) & 0xFF;
    return ((a * (100 - percentFg) + b * percentFg) / 100) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

}  // namespace

// The shape is cut out with SRCAND and the colours added with SRCPAINT.
BOOL DrawMaskedPixels(HDC dc, int x, int y, int w, int h, int stride, const uint32_t* pixels,
                      const std::vector<bool>& transparent) {
  TScratch mask(w, h), image(w, h);
  if (!mask.Ok() || !image.Ok()) return FALSE;
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      const size_t si = static_cast<size_t>(r) * stride + c, di = static_cast<size_t>(r) * w + c;
      const bool t = transparent[si];
      mask.Bits()[di] = t ? 0xFFFFFF : 0;
      image.Bits()[di] = t ? 0 : (pixels[si] & 0xFFFFFF);
    }
  BitBlt(dc, x, y, w, h, mask.Dc(), 0, 0, SRCAND);
  return BitBlt(dc, x, y, w, h, image.Dc(), 0, 0, SRCPAINT);
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0 || cx > kBmpMaxSide || cy > kBmpMaxSide) return nullptr;
  auto data = std::make_unique<TImageListData>();
  data->Cx = cx;
  data->Cy = cy;
  data->Flags = flags;
  data->Grow = std::max(grow, 1);
  data->Images.reserve(static_cast<size_t>(std::clamp(initial, 0, 1024)));
  auto& slots = Slots();
  size_t index = 0;
  while (index < slots.size() && slots[index].Data) ++index;
  if (index == slots.size()) {
    if (slots.size() >= 0xFFFF) return nullptr;
    slots.emplace_back();
  }
  TSlot& slot = slots[index];
  slot.Data = std::move(data);
  return reinterpret_cast<HIMAGELIST>(((index + 1) << 16) | slot.Generation);
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  if (!Lookup(list)) return FALSE;
  TSlot& slot = Slots()[(reinterpret_cast<uintptr_t>(list) >> 16) - 1];
  slot.Data.reset();
  slot.Generation = static_cast<uint16_t>(slot.Generation == 0xFFFF ? 1 : slot.Generation + 1);
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  TImageListData* d = Lookup(list);
  TBmpImage img, msk;
  if (!d || !ReadBitmap(image, img)) return -1;
  const bool haveMask = mask && ReadBitmap(mask, msk);
  const int n = img.Width / d->Cx;
  if (n <= 0) return -1;
  const int first = static_cast<int>(d->Images.size());
  for (int k = 0; k < n; ++k) d->Images.push_back(Cut(*d, img, haveMask ? &msk : nullptr, k, d->Masked()));
  return first;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
  TImageListData* d = Lookup(list);
  TBmpImage img;
  if (!d || !ReadBitmap(image, img)) return -1;
  const int n = img.Width / d->Cx;
  if (n <= 0) return -1;
  const uint32_t key = ToPixel(mask);
  const int first = static_cast<int>(d->Images.size());
  for (int k = 0; k < n; ++k) {
    TListImage cell = Cut(*d, img, nullptr, k, false);
    if (d->Masked())
      for (size_t i = 0; i < cell.Pixels.size(); ++i)
        if (cell.Pixels[i] == key) {
          cell.Transparent[i] = true;
          cell.Pixels[i] = 0;
        }
    d->Images.push_back(std::move(cell));
  }
  return first;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  TImageListData* d = Lookup(list);
  if (!d || (index != -1 && !ValidIndex(d, index))) return -1;
  ICONINFO info;
  if (!icon || !GetIconInfo(icon, &info)) return -1;
  TBmpImage color, mask;
  bool ok = info.hbmColor && ReadBitmap(info.hbmColor, color) && ReadBitmap(info.hbmMask, mask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (!ok || color.Width <= 0 || color.Height <= 0) return -1;
  // The icon is scaled to the list's size (nearest neighbour).
  TListImage cell;
  const size_t n = static_cast<size_t>(d->Cx) * d->Cy;
  cell.Pixels.resize(n);
  cell.Transparent.resize(n);
  for (int y = 0; y < d->Cy; ++y)
    for (int x = 0; x < d->Cx; ++x) {
      const int sx = x * color.Width / d->Cx, sy = y * color.Height / d->Cy;
      const size_t i = static_cast<size_t>(y) * d->Cx + x;
      cell.Pixels[i] = color.Pixel(sx, sy) & 0xFFFFFF;
      cell.Transparent[i] =
          d->Masked() && sx < mask.Width && sy < mask.Height && (mask.Pixel(sx, sy) & 0xFFFFFF) != 0;
    }
  if (index == -1) {
    d->Images.push_back(std::move(cell));
    return static_cast<int>(d->Images.size()) - 1;
  }
  d->Images[static_cast<size_t>(index)] = std::move(cell);
  return index;
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
  TImageListData* d = Lookup(list);
  TBmpImage img, msk;
  if (!ValidIndex(d, index) || !ReadBitmap(image, img) || img.Width < d->Cx) return FALSE;
  const bool haveMask = mask && ReadBitmap(mask, msk);
  d->Images[static_cast<size_t>(index)] = Cut(*d, img, haveMask ? &msk : nullptr, 0, d->Masked());
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  TImageListData* d = Lookup(list);
  if (!d) return FALSE;
  if (index == -1) {
    d->Images.clear();
    return TRUE;
  }
  if (!ValidIndex(d, index)) return FALSE;
  d->Images.erase(d->Images.begin() + index);
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
  TImageListData* d = Lookup(list);
  return d ? static_cast<int>(d->Images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count) {
  TImageListData* d = Lookup(list);
  if (!d || count > 65535) return FALSE;
  const size_t n = static_cast<size_t>(d->Cx) * d->Cy;
  d->Images.resize(count, TListImage{std::vector<uint32_t>(n, 0), std::vector<bool>(n, false)});
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  TImageListData* d = Lookup(list);
  if (!d || !cx || !cy) return FALSE;
  *cx = d->Cx;
  *cy = d->Cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy) {
  TImageListData* d = Lookup(list);
  if (!d || cx <= 0 || cy <= 0 || cx > kBmpMaxSide || cy > kBmpMaxSide) return FALSE;
  d->Cx = cx;
  d->Cy = cy;
  d->Images.clear();
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
  TImageListData* d = Lookup(list);
  if (!d) return CLR_NONE;
  const COLORREF old = d->BkColor;
  d->BkColor = color;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
  TImageListData* d = Lookup(list);
  return d ? d->BkColor : CLR_NONE;
}

UINT ImageList_GetFlags(HIMAGELIST list) {
  TImageListData* d = Lookup(list);
  return d ? d->Flags : 0;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT style) {
  TImageListData* d = Lookup(list);
  if (!ValidIndex(d, index) || !dc) return FALSE;
  const TListImage& img = d->Images[static_cast<size_t>(index)];
  const int w = dx > 0 ? std::min(dx, d->Cx) : d->Cx;
  const int h = dy > 0 ? std::min(dy, d->Cy) : d->Cy;

  if (style & ILD_MASK) {
    TScratch s(w, h);
    if (!s.Ok()) return FALSE;
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c)
        s.Bits()[static_cast<size_t>(r) * w + c] =
            img.Transparent[static_cast<size_t>(r) * d->Cx + c] ? 0xFFFFFF : 0;
    return BitBlt(dc, x, y, w, h, s.Dc(), 0, 0, SRCCOPY);
  }

  std::vector<uint32_t> pixels = img.Pixels;
  const int percent = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
  if (percent && rgbFg != CLR_NONE) {
    const uint32_t fg = ToPixel(rgbFg == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : rgbFg);
    for (uint32_t& p : pixels) p = Blend(p, fg, percent);
  }
  const COLORREF bk = rgbBk == CLR_DEFAULT ? d->BkColor : rgbBk;
  if (d->Masked() && ((style & ILD_TRANSPARENT) || bk == CLR_NONE))
    return DrawMaskedPixels(dc, x, y, w, h, d->Cx, pixels.data(), img.Transparent);
  TScratch s(w, h);
  if (!s.Ok()) return FALSE;
  const uint32_t bkPixel = ToPixel(bk == CLR_NONE ? 0 : bk);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      const size_t si = static_cast<size_t>(r) * d->Cx + c;
      s.Bits()[static_cast<size_t>(r) * w + c] = d->Masked() && img.Transparent[si] ? bkPixel : pixels[si];
    }
  return BitBlt(dc, x, y, w, h, s.Dc(), 0, 0, SRCCOPY);
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT) {
  TImageListData* d = Lookup(list);
  if (!ValidIndex(d, index)) return nullptr;
  const TListImage& img = d->Images[static_cast<size_t>(index)];
  TBmpImage color, mask;
  color.Width = mask.Width = d->Cx;
  color.Height = mask.Height = d->Cy;
  color.Pixels.resize(img.Pixels.size());
  mask.Pixels.resize(img.Pixels.size());
  for (size_t i = 0; i < img.Pixels.size(); ++i) {
    color.Pixels[i] = img.Transparent[i] ? 0 : img.Pixels[i];
    mask.Pixels[i] = img.Transparent[i] ? 0xFFFFFF : 0;
  }
  ICONINFO info;
  info.hbmColor = CreateBitmapFromBmpImage(color);
  info.hbmMask = CreateBitmapFromBmpImage(mask);
  HICON icon = info.hbmColor && info.hbmMask ? CreateIconIndirect(&info) : nullptr;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return icon;
}

BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags) {
  TImageListData* d = Lookup(dst);
  TImageListData* s = Lookup(src);
  if (!d || d != s || !ValidIndex(d, iDst) || !ValidIndex(s, iSrc)) return FALSE;
  if (flags & ILCF_SWAP)
    std::swap(d->Images[static_cast<size_t>(iDst)], d->Images[static_cast<size_t>(iSrc)]);
  else
    d->Images[static_cast<size_t>(iDst)] = s->Images[static_cast<size_t>(iSrc)];
  return TRUE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST list) {
  TImageListData* d = Lookup(list);
  if (!d) return nullptr;
  HIMAGELIST copy = ImageList_Create(d->Cx, d->Cy, d->Flags, 0, d->Grow);
  if (TImageListData* c = Lookup(copy)) {
    c->BkColor = d->BkColor;
    c->Images = d->Images;
  }
  return copy;
}

BOOL ImageList_GetImagePixels(HIMAGELIST list, int index, std::vector<uint32_t>& pixels,
                              std::vector<bool>& transparent) {
  TImageListData* d = Lookup(list);
  if (!ValidIndex(d, index)) return FALSE;
  pixels = d->Images[static_cast<size_t>(index)].Pixels;
  transparent = d->Images[static_cast<size_t>(index)].Transparent;
  return TRUE;
}
