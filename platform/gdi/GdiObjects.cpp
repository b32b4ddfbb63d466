#include <algorithm>
#include <array>
#include <cstring>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"

using namespace gdi_internal;

namespace {

constexpr int kStockCount = 20;
constexpr int kDefaultPalette = 15, kDeviceDefaultFont = 14, kSystemFixedFont = 16;

template <class T>
HGDIOBJ AddStock(std::unique_ptr<T> object) {
  object->Stock = true;
  return RegisterObject(std::move(object));
}

HGDIOBJ StockPen(UINT style, COLORREF color, bool dcPen = false) {
  auto pen = std::make_unique<TPenObj>();
  pen->Log.lopnStyle = style;
  pen->Log.lopnColor = color;
  pen->DCPen = dcPen;
  return AddStock(std::move(pen));
}

HGDIOBJ StockBrush(UINT style, COLORREF color, bool dcBrush = false) {
  auto brush = std::make_unique<TBrushObj>();
  brush->Log.lbStyle = style;
  brush->Log.lbColor = color;
  brush->DCBrush = dcBrush;
  return AddStock(std::move(brush));
}

HGDIOBJ StockFont(LONG height, LONG weight, const char* face, BYTE pitch) {
  auto font = std::make_unique<TFontObj>();
  font->Log.lfHeight = height;
  font->Log.lfWeight = weight;
  font->Log.lfFaceName = face;
  font->Log.lfPitchAndFamily = pitch;
  return AddStock(std::move(font));
}

HGDIOBJ MakeStock(int index) {
  constexpr BYTE kFixed = 1, kVariable = 2;
  switch (index) {
    case WHITE_BRUSH:
      return StockBrush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH:
      return StockBrush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH:
      return StockBrush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH:
      return StockBrush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH:
      return StockBrush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH:
      return StockBrush(BS_NULL, 0);
    case DC_BRUSH:
      return StockBrush(BS_SOLID, RGB(255, 255, 255), true);
    case WHITE_PEN:
      return StockPen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN:
      return StockPen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN:
      return StockPen(PS_NULL, 0);
    case DC_PEN:
      return StockPen(PS_SOLID, RGB(0, 0, 0), true);
    case OEM_FIXED_FONT:
      return StockFont(12, FW_NORMAL, "Terminal", kFixed);
    case ANSI_FIXED_FONT:
      return StockFont(12, FW_NORMAL, "Fixed", kFixed);
    case ANSI_VAR_FONT:
      return StockFont(12, FW_NORMAL, "Sans Serif", kVariable);
    case SYSTEM_FONT:
    case kDeviceDefaultFont:
      return StockFont(16, FW_BOLD, "System", kVariable);
    case kSystemFixedFont:
      return StockFont(16, FW_NORMAL, "Fixed", kFixed);
    case DEFAULT_GUI_FONT:
      return StockFont(-11, FW_NORMAL, "Sans Serif", kVariable);
    case kDefaultPalette:
      return AddStock(std::make_unique<TPaletteObj>());
    default:
      return nullptr;
  }
}

std::array<HGDIOBJ, kStockCount>& StockTable() {
  static std::array<HGDIOBJ, kStockCount> table{};
  return table;
}

HBRUSH NewBrush(const LOGBRUSH& log) {
  auto brush = std::make_unique<TBrushObj>();
  brush->Log = log;
  return static_cast<HBRUSH>(RegisterObject(std::move(brush)));
}

template <class T>
int CopyOut(const T& value, int size, void* out) {
  if (!out) return static_cast<int>(sizeof(T));
  if (size < static_cast<int>(sizeof(T))) return 0;
  *static_cast<T*>(out) = value;
  return static_cast<int>(sizeof(T));
}

}  // namespace

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= kStockCount) return nullptr;
  HGDIOBJ& slot = StockTable()[static_cast<size_t>(index)];
  if (!LookupObject(slot)) slot = MakeStock(index);
  return slot;
}

HBRUSH GetSysColorBrush(int index) {
  static std::array<HBRUSH, COLOR_ENDCOLORS> brushes{};
  if (index < 0 || index >= COLOR_ENDCOLORS) return nullptr;
  HBRUSH& slot = brushes[static_cast<size_t>(index)];
  if (!Lookup<TBrushObj>(slot)) {
    auto brush = std::make_unique<TBrushObj>();
    brush->Log.lbStyle = BS_SOLID;
    brush->Log.lbColor = GetSysColor(index);
    brush->SysColorIndex = index;
    brush->Stock = true;
    slot = static_cast<HBRUSH>(RegisterObject(std::move(brush)));
  }
  return slot;
}

HPEN CreatePenIndirect(const LOGPEN& log) {
  const UINT style = log.lopnStyle & 0xF;
  if (style > PS_ALTERNATE || style == 7) return nullptr;  // 7: user styles are not offered
  auto pen = std::make_unique<TPenObj>();
  pen->Log = log;
  pen->Log.lopnWidth.X = std::max(0, log.lopnWidth.X);
  pen->Log.lopnWidth.Y = 0;
  pen->Log.lopnColor = log.lopnColor & kColorMask;
  return static_cast<HPEN>(RegisterObject(std::move(pen)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  LOGPEN log;
  log.lopnStyle = static_cast<UINT>(style);
  log.lopnWidth = {width, 0};
  log.lopnColor = color;
  return CreatePenIndirect(log);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  LOGBRUSH log;
  log.lbStyle = BS_SOLID;
  log.lbColor = color & kColorMask;
  return NewBrush(log);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  LOGBRUSH log;
  log.lbStyle = BS_HATCHED;
  log.lbColor = color & kColorMask;
  log.lbHatch = static_cast<uintptr_t>(hatch);
  return NewBrush(log);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  TBitmapObj* bmp = Lookup<TBitmapObj>(bitmap);
  if (!bmp || bmp->Pixels.empty()) return nullptr;
  if (bmp->NeedsSync()) bmp->Load();
  auto brush = std::make_unique<TBrushObj>();
  brush->Log.lbStyle = BS_PATTERN;
  brush->Log.lbHatch = reinterpret_cast<uintptr_t>(bitmap);
  brush->PatternWidth = bmp->Width;
  brush->PatternHeight = bmp->Height;
  brush->PatternMono = bmp->Mono();
  brush->Pattern.resize(static_cast<size_t>(bmp->Width) * static_cast<size_t>(bmp->Height));
  const TSurface s = bmp->Surface();
  for (int y = 0; y < s.Height; ++y)
    for (int x = 0; x < s.Width; ++x)
      brush->Pattern[static_cast<size_t>(y) * s.Width + x] = s.Row(y)[x] & kColorMask;
  return static_cast<HBRUSH>(RegisterObject(std::move(brush)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& log) {
  switch (log.lbStyle) {
    case BS_SOLID:
      return CreateSolidBrush(log.lbColor);
    case BS_NULL: {
      LOGBRUSH hollow;
      hollow.lbStyle = BS_NULL;
      return NewBrush(hollow);
    }
    case BS_HATCHED:
      return log.lbHatch <= static_cast<uintptr_t>(HS_DIAGCROSS)
                 ? CreateHatchBrush(static_cast<int>(log.lbHatch), log.lbColor)
                 : nullptr;
    case BS_PATTERN:
      return CreatePatternBrush(reinterpret_cast<HBITMAP>(log.lbHatch));
    default:
      return nullptr;
  }
}

HFONT CreateFontIndirect(const LOGFONT& log) {
  auto font = std::make_unique<TFontObj>();
  font->Log = log;
  return static_cast<HFONT>(RegisterObject(std::move(font)));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const std::string& faceName) {
  LOGFONT log;
  log.lfHeight = height;
  log.lfWidth = width;
  log.lfEscapement = escapement;
  log.lfOrientation = orientation;
  log.lfWeight = weight;
  log.lfItalic = italic ? 1 : 0;
  log.lfUnderline = underline ? 1 : 0;
  log.lfStrikeOut = strikeOut ? 1 : 0;
  log.lfCharSet = static_cast<BYTE>(charSet);
  log.lfOutPrecision = static_cast<BYTE>(outPrecision);
  log.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  log.lfQuality = static_cast<BYTE>(quality);
  log.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  log.lfFaceName = faceName;
  return CreateFontIndirect(log);
}

// A selected object (in any DC, or in a state SaveDC keeps) is refused rather than deleted
// later: FALSE, and the object stays valid. Stock objects are never deleted; the call
// answers TRUE.
BOOL DeleteObject(HGDIOBJ obj) {
  TGdiObject* o = LookupObject(obj);
  if (!o || o->Kind == TObjKind::DC) return kGdiFalse;
  if (o->Stock) return kGdiTrue;
  if (o->SelectCount > 0) return kGdiFalse;
  return DestroyObject(obj) ? kGdiTrue : kGdiFalse;
}

int GetObject(HGDIOBJ obj, int size, void* out) {
  TGdiObject* o = LookupObject(obj);
  if (!o) return 0;
  switch (o->Kind) {
    case TObjKind::Pen:
      return CopyOut(static_cast<TPenObj*>(o)->Log, size, out);
    case TObjKind::Brush: {
      auto* b = static_cast<TBrushObj*>(o);
      LOGBRUSH log = b->Log;
      if (b->SysColorIndex >= 0) log.lbColor = GetSysColor(b->SysColorIndex);
      return CopyOut(log, size, out);
    }
    case TObjKind::Font:
      return CopyOut(static_cast<TFontObj*>(o)->Log, size, out);
    case TObjKind::Bitmap: {
      auto* b = static_cast<TBitmapObj*>(o);
      BITMAP bm;
      bm.bmWidth = b->Width;
      bm.bmHeight = b->Height;
      bm.bmBitsPixel = static_cast<WORD>(b->Bpp);
      // Device-dependent rows are padded to 16 bits, DIB rows to 32.
      bm.bmWidthBytes = b->Dib ? static_cast<LONG>(b->DibStride())
                               : static_cast<LONG>(((static_cast<int64_t>(b->Width) * b->Bpp + 15) / 16) * 2);
      bm.bmBits = b->Bits();
      return CopyOut(bm, size, out);
    }
    case TObjKind::Palette:
      return CopyOut(WORD{20}, size, out);  // the default palette's entries
    default:
      return 0;
  }
}

DWORD GetObjectType(HGDIOBJ obj) {
  TGdiObject* o = LookupObject(obj);
  if (!o) return 0;
  switch (o->Kind) {
    case TObjKind::DC:
      return static_cast<TDeviceContext*>(o)->Type == TDCType::Memory ? OBJ_MEMDC : OBJ_DC;
    case TObjKind::Pen:
      return OBJ_PEN;
    case TObjKind::Brush:
      return OBJ_BRUSH;
    case TObjKind::Font:
      return OBJ_FONT;
    case TObjKind::Bitmap:
      return OBJ_BITMAP;
    case TObjKind::Region:
      return OBJ_REGION;
    case TObjKind::Palette:
      return OBJ_PAL;
    default:
      return 0;
  }
}

namespace {

template <class H>
HGDIOBJ Swap(TDeviceContext& dc, H& slot, HGDIOBJ next) {
  HGDIOBJ old = slot;
  RetainObject(next, &dc);
  ReleaseObject(old, &dc);
  slot = static_cast<H>(next);
  return old;
}

}  // namespace

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
  TDeviceContext* d = LookupDC(dc);
  TGdiObject* o = LookupObject(obj);
  if (!d || !o) return nullptr;
  switch (o->Kind) {
    case TObjKind::Pen:
      return Swap(*d, d->State.Pen, obj);
    case TObjKind::Brush:
      return Swap(*d, d->State.Brush, obj);
    case TObjKind::Font:
      return Swap(*d, d->State.Font, obj);
    case TObjKind::Bitmap: {
      if (d->Type != TDCType::Memory) return nullptr;
      auto* b = static_cast<TBitmapObj*>(o);
      // A bitmap belongs to one DC at a time.
      if (!b->Stock && b->OwnerDC && b->OwnerDC != d->Handle) return nullptr;
      HGDIOBJ old = Swap(*d, d->State.Bitmap, obj);
      d->ClipChanged();
      return old;
    }
    case TObjKind::Region:
      // Answers the region type, as a handle-sized value.
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(dc, static_cast<HRGN>(obj))));
    default:
      return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT objectType) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return nullptr;
  switch (objectType) {
    case OBJ_PEN:
      return d->State.Pen;
    case OBJ_BRUSH:
      return d->State.Brush;
    case OBJ_FONT:
      return d->State.Font;
    case OBJ_BITMAP:
      return d->Type == TDCType::Memory ? d->State.Bitmap : d->Target;
    case OBJ_PAL:
      return d->State.Palette;
    default:
      return nullptr;
  }
}
