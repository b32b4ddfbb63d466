#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

namespace gdi_internal {

namespace {

constexpr int64_t kExtentLimit = int64_t{1} << 27;  // logical coordinates have 27 bits
constexpr DWORD kGdiError = 0xFFFFFFFF;
constexpr int kDefaultPalette = 15;  // DEFAULT_PALETTE

int64_t RoundDiv(int64_t n, int64_t d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
}

int ClampCoord(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, -kCoordLimit, kCoordLimit));
}
int ClampInt(int64_t v) {
  return static_cast<int>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool HatchBit(uintptr_t hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL:
      return y == 3;
    case HS_VERTICAL:
      return x == 3;
    case HS_FDIAGONAL:
      return x == y;
    case HS_BDIAGONAL:
      return x + y == 7;
    case HS_CROSS:
      return x == 3 || y == 3;
    case HS_DIAGCROSS:
      return x == y || x + y == 7;
    default:
      return false;
  }
}

int g_screenBits = 32;
int g_screenWidth = 1920;
int g_screenHeight = 1080;

// Millimetres of `pixels` at 96 dpi, rounded.
int Millimetres(int pixels) {
  return static_cast<int>((static_cast<int64_t>(pixels) * 254 + 480) / 960);
}

}  // namespace

int ScreenBitsPerPixel() {
  return g_screenBits;
}

TBitmapObj* TDeviceContext::SurfaceBitmap() const {
  return Lookup<TBitmapObj>(Type == TDCType::Memory ? State.Bitmap : Target);
}

int TDeviceContext::DeviceWidth() const {
  if (Type == TDCType::Surface && Extent.cx > 0) return Extent.cx;
  const TBitmapObj* bmp = SurfaceBitmap();
  if (!bmp) return 0;
  return std::max(0, bmp->Width - SurfaceOrigin().X);
}

TRect TDeviceContext::DeviceBounds() const {
  const TBitmapObj* bmp = SurfaceBitmap();
  if (!bmp) return TRect{};
  if (Type != TDCType::Surface) return TRect{0, 0, bmp->Width, bmp->Height};
  if (Extent.cx > 0 && Extent.cy > 0) return TRect{0, 0, Extent.cx, Extent.cy};
  TRect area{0, 0, bmp->Width, bmp->Height};
  if (Visible) IntersectRect(area, area, Visible->Bounds());
  OffsetRect(area, -Origin.X, -Origin.Y);
  return area;
}

// --- mapping ---

int64_t TDeviceContext::ToDeviceX(int64_t x) const {
  const TDCState& s = State;
  if (s.MapMode == MM_TEXT) return x - s.WindowOrg.X + s.ViewportOrg.X;
  return RoundDiv((x - s.WindowOrg.X) * s.ViewportExt.cx, s.WindowExt.cx) + s.ViewportOrg.X;
}

int64_t TDeviceContext::ToDeviceY(int64_t y) const {
  const TDCState& s = State;
  if (s.MapMode == MM_TEXT) return y - s.WindowOrg.Y + s.ViewportOrg.Y;
  return RoundDiv((y - s.WindowOrg.Y) * s.ViewportExt.cy, s.WindowExt.cy) + s.ViewportOrg.Y;
}

int64_t TDeviceContext::ToLogicalX(int64_t x) const {
  const TDCState& s = State;
  if (s.MapMode == MM_TEXT) return x - s.ViewportOrg.X + s.WindowOrg.X;
  return RoundDiv((x - s.ViewportOrg.X) * s.WindowExt.cx, s.ViewportExt.cx) + s.WindowOrg.X;
}

int64_t TDeviceContext::ToLogicalY(int64_t y) const {
  const TDCState& s = State;
  if (s.MapMode == MM_TEXT) return y - s.ViewportOrg.Y + s.WindowOrg.Y;
  return RoundDiv((y - s.ViewportOrg.Y) * s.WindowExt.cy, s.ViewportExt.cy) + s.WindowOrg.Y;
}

TPoint TDeviceContext::MapPoint(POINT p) const {
  int x = ClampCoord(ToDeviceX(p.X));
  if (Mirrored()) x = DeviceWidth() - 1 - x;
  return {x, ClampCoord(ToDeviceY(p.Y))};
}

int TDeviceContext::MapEdgeX(int x) const {
  const int d = ClampCoord(ToDeviceX(x));
  return Mirrored() ? DeviceWidth() - d : d;
}

int TDeviceContext::MapEdgeY(int y) const {
  return ClampCoord(ToDeviceY(y));
}

TRect TDeviceContext::MapRect(const RECT& r) const {
  int l = MapEdgeX(r.Left), rt = MapEdgeX(r.Right), t = MapEdgeY(r.Top), b = MapEdgeY(r.Bottom);
  if (l > rt) std::swap(l, rt);
  if (t > b) std::swap(t, b);
  return {l, t, rt, b};
}

TPoint TDeviceContext::UnmapPoint(POINT p) const {
  int64_t x = p.X;
  if (Mirrored()) x = int64_t{DeviceWidth()} - 1 - x;
  return {ClampInt(ToLogicalX(x)), ClampInt(ToLogicalY(p.Y))};
}

TRect TDeviceContext::UnmapRect(const RECT& r) const {
  int64_t l = r.Left, rt = r.Right;
  if (Mirrored()) {
    l = int64_t{DeviceWidth()} - l;
    rt = int64_t{DeviceWidth()} - rt;
  }
  int x0 = ClampInt(ToLogicalX(l)), x1 = ClampInt(ToLogicalX(rt));
  int y0 = ClampInt(ToLogicalY(r.Top)), y1 = ClampInt(ToLogicalY(r.Bottom));
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  return {x0, y0, x1, y1};
}

int TDeviceContext::ScaleLength(int logical) const {
  if (State.MapMode == MM_TEXT) return logical;
  return ClampCoord(RoundDiv(int64_t{logical} * std::abs(int64_t{State.ViewportExt.cx}),
                             std::abs(int64_t{State.WindowExt.cx})));
}

void TDeviceContext::AdjustIsotropic() {
  if (State.MapMode != MM_ISOTROPIC) return;
  SIZE& v = State.ViewportExt;
  const SIZE& w = State.WindowExt;
  const int64_t vx = std::abs(int64_t{v.cx}), vy = std::abs(int64_t{v.cy});
  const int64_t wx = std::abs(int64_t{w.cx}), wy = std::abs(int64_t{w.cy});
  // Both axes take the smaller scale, keeping the viewport's signs.
  if (vx * wy < vy * wx) {
    const int64_t ny = std::max<int64_t>(1, RoundDiv(wy * vx, wx));
    v.cy = static_cast<int>(v.cy < 0 ? -ny : ny);
  } else {
    const int64_t nx = std::max<int64_t>(1, RoundDiv(wx * vy, wy));
    v.cx = static_cast<int>(v.cx < 0 ? -nx : nx);
  }
}

// --- clipping ---

const std::vector<TRect>& TDeviceContext::ClipRects() {
  if (clipValid_) return clip_;
  clipValid_ = true;
  clip_.clear();
  const TBitmapObj* bmp = SurfaceBitmap();
  if (!bmp) return clip_;
  TRegion area(TRect{0, 0, bmp->Width, bmp->Height});
  if (Type == TDCType::Surface) {
    if (Visible) TRegion::Combine(area, *Visible, RGN_AND, area);
    if (Extent.cx > 0 && Extent.cy > 0)
      area = area.Intersected(TRect{Origin.X, Origin.Y, Origin.X + Extent.cx, Origin.Y + Extent.cy});
  }
  if (State.Clip) {
    TRegion clip = *State.Clip;
    const POINT o = SurfaceOrigin();
    if (!clip.Offset(o.X, o.Y) || !TRegion::Combine(area, clip, RGN_AND, area)) area = TRegion();
  }
  clip_ = area.Rects();
  return clip_;
}

TRegion TDeviceContext::EffectiveClip() {
  TRegion r;
  TRegion::FromRects(ClipRects(), r);
  const POINT o = SurfaceOrigin();
  r.Offset(-o.X, -o.Y);
  return r;
}

// --- drawing state ---

bool TDeviceContext::MonoSurface() const {
  const TBitmapObj* bmp = SurfaceBitmap();
  return bmp && bmp->Mono();
}

uint32_t TDeviceContext::DevicePixel(COLORREF color) const {
  const uint32_t p = PixelFromColor(color);
  return MonoSurface() ? MonoPixel(p) : p;
}

TPenInfo TDeviceContext::Pen() const {
  TPenInfo info;
  const TPenObj* pen = Lookup<TPenObj>(State.Pen);
  if (!pen) return info;
  info.Style = pen->Log.lopnStyle & 0xF;
  info.Null = info.Style == PS_NULL;
  info.LogicalWidth = pen->Log.lopnWidth.X;
  info.Width = info.LogicalWidth <= 1 ? 1 : std::clamp(ScaleLength(info.LogicalWidth), 1, kMaxPenWidth);
  info.Color = pen->DCPen ? State.DCPenColor : pen->Log.lopnColor;
  info.Pixel = DevicePixel(info.Color);
  return info;
}

COLORREF TDeviceContext::BrushColor(HBRUSH brush) const {
  const auto value = reinterpret_cast<uintptr_t>(brush);
  if (value >= 1 && value <= COLOR_ENDCOLORS) return GetSysColor(static_cast<int>(value - 1));
  const TBrushObj* b = Lookup<TBrushObj>(brush);
  if (!b) return CLR_INVALID;
  switch (b->Log.lbStyle) {
    case BS_SOLID:
      if (b->DCBrush) return State.DCBrushColor;
      if (b->SysColorIndex >= 0) return GetSysColor(b->SysColorIndex);
      return b->Log.lbColor;
    case BS_HATCHED:
      return b->Log.lbColor;
    default:
      return CLR_INVALID;
  }
}

TPaint TDeviceContext::BrushPaint(HBRUSH brush) const {
  TPaint paint;
  const auto value = reinterpret_cast<uintptr_t>(brush);
  if (value >= 1 && value <= COLOR_ENDCOLORS) return TPaint::Solid(DevicePixel(BrushColor(brush)));
  const TBrushObj* b = Lookup<TBrushObj>(brush);
  if (!b) return paint;
  const POINT o = SurfaceOrigin();
  paint.OrgX = State.BrushOrg.X + o.X;
  paint.OrgY = State.BrushOrg.Y + o.Y;
  switch (b->Log.lbStyle) {
    case BS_SOLID:
      return TPaint::Solid(DevicePixel(BrushColor(brush)));
    case BS_HATCHED: {
      paint.Null = false;
      const uint32_t fg = DevicePixel(b->Log.lbColor), bg = DevicePixel(State.BkColor);
      const bool transparent = State.BkMode == TRANSPARENT;
      paint.PatternWidth = paint.PatternHeight = 8;
      paint.Pattern.resize(64);
      if (transparent) paint.Mask.resize(64);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          const bool on = HatchBit(b->Log.lbHatch, x, y);
          paint.Pattern[y * 8 + x] = on ? fg : bg;
          if (transparent) paint.Mask[y * 8 + x] = on ? 1 : 0;
        }
      return paint;
    }
    case BS_PATTERN: {
      if (b->Pattern.empty()) return paint;
      paint.Null = false;
      paint.PatternWidth = b->PatternWidth;
      paint.PatternHeight = b->PatternHeight;
      paint.Pattern = b->Pattern;
      if (b->PatternMono) {
        // A monochrome pattern paints its 0 bits in the text colour and its 1 bits in the background colour.
        const uint32_t fg = DevicePixel(State.TextColor), bg = DevicePixel(State.BkColor);
        for (uint32_t& p : paint.Pattern) p = p ? bg : fg;
      } else if (MonoSurface()) {
        for (uint32_t& p : paint.Pattern) p = MonoPixel(p);
      }
      return paint;
    }
    default:
      return paint;
  }
}

TDeviceContext* LookupDC(HDC dc) {
  return Lookup<TDeviceContext>(dc);
}

// --- references ---

void RetainObject(HGDIOBJ object, TDeviceContext* dc) {
  TGdiObject* o = LookupObject(object);
  if (!o) return;
  ++o->SelectCount;
  if (o->Kind == TObjKind::Bitmap && !o->Stock && dc && dc->Type == TDCType::Memory) {
    auto* b = static_cast<TBitmapObj*>(o);
    if (b->OwnerRefs++ == 0) b->OwnerDC = dc->Handle;
  }
}

void ReleaseObject(HGDIOBJ object, TDeviceContext* dc) {
  TGdiObject* o = LookupObject(object);
  if (!o || o->SelectCount == 0) return;
  --o->SelectCount;
  if (o->Kind == TObjKind::Bitmap && !o->Stock && dc && dc->Type == TDCType::Memory) {
    auto* b = static_cast<TBitmapObj*>(o);
    if (b->OwnerRefs > 0 && --b->OwnerRefs == 0) b->OwnerDC = nullptr;
  }
}

void RetainState(const TDCState& s, TDeviceContext* dc) {
  RetainObject(s.Pen, dc);
  RetainObject(s.Brush, dc);
  RetainObject(s.Font, dc);
  RetainObject(s.Bitmap, dc);
  RetainObject(s.Palette, dc);
}

void ReleaseState(const TDCState& s, TDeviceContext* dc) {
  ReleaseObject(s.Pen, dc);
  ReleaseObject(s.Brush, dc);
  ReleaseObject(s.Font, dc);
  ReleaseObject(s.Bitmap, dc);
  ReleaseObject(s.Palette, dc);
}

TDCState DefaultState(TDCType type) {
  TDCState s;
  s.Pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  s.Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  // A DC starts with the 8-point user-interface font rather than the bold system font, so
  // text measured on a fresh DC matches what the controls draw.
  s.Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  s.Palette = static_cast<HPALETTE>(GetStockObject(kDefaultPalette));
  if (type == TDCType::Memory) s.Bitmap = DefaultBitmap();
  return s;
}

TDeviceContext* NewDC(TDCType type) {
  auto owned = std::make_unique<TDeviceContext>(type);
  TDeviceContext* dc = owned.get();
  dc->State = DefaultState(type);
  if (!RegisterObject(std::move(owned))) return nullptr;
  RetainState(dc->State, dc);
  return dc;
}

void DestroyDC(TDeviceContext* dc) {
  ReleaseState(dc->State, dc);
  for (const TDCState& s : dc->Saved) ReleaseState(s, dc);
  if (dc->Target) {
    ReleaseObject(dc->Target, dc);
    if (dc->Type == TDCType::Screen) DestroyObject(dc->Target);
  }
  DestroyObject(dc->Handle);
}

void ResetDC(TDeviceContext* dc) {
  ReleaseState(dc->State, dc);
  for (const TDCState& s : dc->Saved) ReleaseState(s, dc);
  dc->Saved.clear();
  dc->State = DefaultState(dc->Type);
  RetainState(dc->State, dc);
  dc->Recorder = nullptr;
  dc->ClipChanged();
}

// --- drawing scope ---

TDrawScope::TDrawScope(TDeviceContext& dc, bool writes) : dc_(dc), writes_(writes) {
  bitmap_ = dc.SurfaceBitmap();
  if (!bitmap_ || bitmap_->Pixels.empty()) return;
  if (bitmap_->NeedsSync()) bitmap_->Load();
  origin_ = dc.SurfaceOrigin();
  raster_.emplace(bitmap_->Surface(), dc.ClipRects());
}

TDrawScope::~TDrawScope() {
  if (!raster_ || !writes_) return;
  if (bitmap_->NeedsSync() || (blended_ && bitmap_->Mono())) bitmap_->Store(blended_);
}

}  // namespace gdi_internal

using namespace gdi_internal;

namespace {

void RecordMapping(TDeviceContext& dc, const char* api) {
  if (!Recording(dc)) return;
  TDrawCall call = MakeCall(TDrawKind::MappingChange);
  call.Note = api;
  RecordCall(dc, std::move(call));
}

}  // namespace

// --- device contexts ---

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !LookupDC(dc)) return nullptr;
  TDeviceContext* created = NewDC(TDCType::Memory);
  return created ? HandleOf(*created) : nullptr;
}

BOOL DeleteDC(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  if (d->Type == TDCType::Screen) {
    ResetDC(d);
    return kGdiTrue;
  }
  DestroyDC(d);
  return kGdiTrue;
}

// One screen DC for the process, as programs use it as a reference DC without freeing it.
// DeleteDC does not free it but resets it, the way releasing a cached DC does.
HDC GetScreenDC() {
  static HDC screen = nullptr;
  if (LookupDC(screen)) return screen;
  TBitmapObj* bmp = NewBitmap(1, 1, 32);
  if (!bmp) return nullptr;
  TDeviceContext* dc = NewDC(TDCType::Screen);
  if (!dc) {
    DestroyObject(bmp->Handle);
    return nullptr;
  }
  dc->Target = static_cast<HBITMAP>(bmp->Handle);
  RetainObject(dc->Target, dc);
  screen = HandleOf(*dc);
  return screen;
}

void SetScreenColorDepthForTest(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      g_screenBits = bitsPerPixel;
      break;
    default:
      break;
  }
}

void SetScreenResolution(int width, int height) {
  if (width < 1 || height < 1) return;
  g_screenWidth = width;
  g_screenHeight = height;
}

int GetDeviceCaps(HDC dc, int index) {
  if (!LookupDC(dc)) return 0;
  const int bits = ScreenBitsPerPixel();
  switch (index) {
    case 2:  // TECHNOLOGY: a raster display
      return 1;
    case 4:  // HORZSIZE in millimetres
      return Millimetres(g_screenWidth);
    case 6:  // VERTSIZE
      return Millimetres(g_screenHeight);
    case HORZRES:
      return g_screenWidth;
    case VERTRES:
      return g_screenHeight;
    case BITSPIXEL:
      return bits;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return bits > 8 ? -1 : 1 << bits;
    case RASTERCAPS:
      // RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB, RC_PALETTE at 8
      // bits
      return 0x0001 | 0x0008 | 0x0080 | 0x0200 | 0x0800 | 0x2000 | (bits <= 8 ? 0x0100 : 0);
    case 40:  // ASPECTX
    case 42:  // ASPECTY
      return 36;
    case 44:  // ASPECTXY
      return 51;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case SIZEPALETTE:
      return bits > 8 ? 0 : 1 << bits;
    default:
      return 0;
  }
}

int SaveDC(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return 0;
  d->Saved.push_back(d->State);
  RetainState(d->Saved.back(), d);
  return static_cast<int>(d->Saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  const int count = static_cast<int>(d->Saved.size());
  const int index = savedDC > 0 ? savedDC : count + savedDC + 1;
  if (savedDC == 0 || index < 1 || index > count) return kGdiFalse;
  ReleaseState(d->State, d);
  d->State = std::move(d->Saved[static_cast<size_t>(index - 1)]);
  for (int k = index; k < count; ++k) ReleaseState(d->Saved[static_cast<size_t>(k)], d);
  d->Saved.resize(static_cast<size_t>(index - 1));
  d->ClipChanged();
  return kGdiTrue;
}

// --- mapping ---

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  if (old) *old = d->State.ViewportOrg;
  d->State.ViewportOrg = {x, y};
  RecordMapping(*d, "SetViewportOrgEx");
  return kGdiTrue;
}

BOOL GetViewportOrgEx(HDC dc, POINT* org) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !org) return kGdiFalse;
  *org = d->State.ViewportOrg;
  return kGdiTrue;
}

BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  if (old) *old = d->State.ViewportOrg;
  d->State.ViewportOrg = {ClampInt(int64_t{d->State.ViewportOrg.X} + dx),
                          ClampInt(int64_t{d->State.ViewportOrg.Y} + dy)};
  RecordMapping(*d, "OffsetViewportOrgEx");
  return kGdiTrue;
}

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  if (old) *old = d->State.WindowOrg;
  d->State.WindowOrg = {x, y};
  RecordMapping(*d, "SetWindowOrgEx");
  return kGdiTrue;
}

BOOL GetWindowOrgEx(HDC dc, POINT* org) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !org) return kGdiFalse;
  *org = d->State.WindowOrg;
  return kGdiTrue;
}

int SetMapMode(HDC dc, int mode) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || (mode != MM_TEXT && mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC)) return 0;
  const int old = d->State.MapMode;
  d->State.MapMode = mode;
  if (mode == MM_TEXT) {
    d->State.WindowExt = {1, 1};
    d->State.ViewportExt = {1, 1};
  }
  d->AdjustIsotropic();
  RecordMapping(*d, "SetMapMode");
  return old;
}

int GetMapMode(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->State.MapMode : 0;
}

namespace {

BOOL SetExtent(HDC dc, int x, int y, SIZE* old, bool window) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  SIZE& ext = window ? d->State.WindowExt : d->State.ViewportExt;
  if (old) *old = ext;
  if (d->State.MapMode == MM_TEXT) return kGdiTrue;  // fixed one-to-one
  if (x == 0 || y == 0 || std::abs(int64_t{x}) > kExtentLimit || std::abs(int64_t{y}) > kExtentLimit)
    return kGdiFalse;
  ext = {x, y};
  d->AdjustIsotropic();
  RecordMapping(*d, window ? "SetWindowExtEx" : "SetViewportExtEx");
  return kGdiTrue;
}

}  // namespace

BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old) {
  return SetExtent(dc, x, y, old, true);
}
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old) {
  return SetExtent(dc, x, y, old, false);
}

BOOL LPtoDP(HDC dc, POINT* pts, int count) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || (count > 0 && !pts)) return kGdiFalse;
  for (int i = 0; i < count; ++i) pts[i] = d->MapPoint(pts[i]);
  return kGdiTrue;
}

BOOL DPtoLP(HDC dc, POINT* pts, int count) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || (count > 0 && !pts)) return kGdiFalse;
  for (int i = 0; i < count; ++i) pts[i] = d->UnmapPoint(pts[i]);
  return kGdiTrue;
}

DWORD SetLayout(HDC dc, DWORD layout) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiError;
  const DWORD old = d->State.Layout;
  d->State.Layout = layout & (LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED);
  RecordMapping(*d, "SetLayout");
  return old;
}

DWORD GetLayout(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->State.Layout : kGdiError;
}

// --- colours and modes ---

COLORREF SetTextColor(HDC dc, COLORREF color) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->State.TextColor, color & kColorMask);
}

COLORREF GetTextColor(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->State.TextColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->State.BkColor, color & kColorMask);
}

COLORREF GetBkColor(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->State.BkColor : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(d->State.BkMode, mode);
}

int GetBkMode(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->State.BkMode : 0;
}

int SetROP2(HDC dc, int rop2) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return std::exchange(d->State.Rop2, rop2);
}

int GetROP2(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->State.Rop2 : 0;
}

int SetStretchBltMode(HDC dc, int mode) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(d->State.StretchMode, mode);
}

UINT SetTextAlign(HDC dc, UINT align) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiError;
  return std::exchange(d->State.TextAlign, align);
}

UINT GetTextAlign(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->State.TextAlign : kGdiError;
}

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  if (old) *old = d->State.BrushOrg;
  d->State.BrushOrg = {x, y};
  return kGdiTrue;
}

COLORREF SetDCBrushColor(HDC dc, COLORREF color) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->State.DCBrushColor, color & kColorMask);
}

COLORREF SetDCPenColor(HDC dc, COLORREF color) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->State.DCPenColor, color & kColorMask);
}

// --- palettes: a true-colour device has nothing to realise ---

HPALETTE SelectPalette(HDC dc, HPALETTE pal, BOOL /*forceBackground*/) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !Lookup<TPaletteObj>(pal)) return nullptr;
  HPALETTE old = d->State.Palette;
  RetainObject(pal, d);
  ReleaseObject(old, d);
  d->State.Palette = pal;
  return old;
}

UINT RealizePalette(HDC dc) {
  return 0;
}

BOOL GdiFlush() {
  return kGdiTrue;
}
