#pragma once
// The device context: its state (selected objects, colours, modes, mapping, clip), the stack
// SaveDC pushes, the logical-to-device mapping, and the clip resolved into rectangles of the
// bitmap drawn into. Three kinds share it: memory DCs (draw into the selected bitmap), surface
// DCs (a window's part of a top-level bitmap) and screen DCs (a 1x1 bitmap of their own).
#include <optional>
#include <vector>

#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/HandleTable.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Regions.h"

namespace gdi_internal {

enum class TDCType { Memory, Surface, Screen };

struct TDCState {
  HPEN Pen = nullptr;
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  HBITMAP Bitmap = nullptr;  // memory DCs
  HPALETTE Palette = nullptr;
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int StretchMode = BLACKONWHITE;
  UINT TextAlign = 0;
  POINT BrushOrg{};
  POINT CurrentPos{};
  COLORREF DCBrushColor = 0xFFFFFF;
  COLORREF DCPenColor = 0;
  int MapMode = MM_TEXT;
  POINT WindowOrg{};
  POINT ViewportOrg{};
  SIZE WindowExt{1, 1};
  SIZE ViewportExt{1, 1};
  DWORD Layout = 0;
  std::optional<TRegion> Clip;  // device coordinates; none: the whole surface
};

// The selected pen in device units.
struct TPenInfo {
  bool Null = true;
  UINT Style = PS_SOLID;
  int Width = 1;
  uint32_t Pixel = 0;
  COLORREF Color = 0;
  int LogicalWidth = 0;
};

// Mapped coordinates are kept inside this range so later arithmetic cannot overflow.
constexpr int kCoordLimit = 1 << 29;
// a + b kept well inside the int range (coordinates past the mapping limit draw nothing anyway).
inline int ClampedSum(int64_t a, int64_t b) {
  const int64_t v = a + b;
  return static_cast<int>(v < -2 * int64_t{kCoordLimit}  ? -2 * int64_t{kCoordLimit}
                          : v > 2 * int64_t{kCoordLimit} ? 2 * int64_t{kCoordLimit}
                                                         : v);
}
// The widest pen drawn, in device pixels: wider pens draw at this width, which keeps the cost
// of a stroke bounded.
constexpr int kMaxPenWidth = 1024;

class TDeviceContext : public TGdiObject {
 public:
  static constexpr TObjKind kKind = TObjKind::DC;
  explicit TDeviceContext(TDCType type) : TGdiObject(kKind), Type(type) {}

  TDCType Type;
  TDCState State;
  std::vector<TDCState> Saved;
  HBITMAP Target = nullptr;        // surface and screen DCs
  POINT Origin{};                  // device (0, 0) in the target
  std::optional<TRegion> Visible;  // surface DCs, target coordinates
  SIZE Extent{};                   // surface DCs: the device size, when the window manager gave it
  IDrawRecorder* Recorder = nullptr;

  TBitmapObj* SurfaceBitmap() const;
  // Device (0, 0) in the surface bitmap.
  POINT SurfaceOrigin() const { return Type == TDCType::Memory ? POINT{} : Origin; }
  // The whole drawable device area (device coordinates).
  TRect DeviceBounds() const;
  int DeviceWidth() const;

  // --- mapping ---
  bool Mirrored() const { return (State.Layout & LAYOUT_RTL) != 0; }
  // Points name pixels (lines, SetPixel): a mirrored x becomes width - 1 - x.
  TPoint MapPoint(POINT logical) const;
  // Rectangles and polygon fills name pixel edges: a mirrored x becomes width - x.
  TRect MapRect(const RECT& logical) const;
  int MapEdgeX(int x) const;
  int MapEdgeY(int y) const;
  TPoint UnmapPoint(POINT device) const;
  TRect UnmapRect(const RECT& device) const;
  // A logical length (pen width) in device pixels.
  int ScaleLength(int logical) const;
  void AdjustIsotropic();

  // --- clipping ---
  // The clip in surface-bitmap coordinates: the drawable area, the visible region of a
  // window DC and the selected clip, resolved once and kept until one of them changes.
  const std::vector<TRect>& ClipRects();
  void ClipChanged() { clipValid_ = false; }
  // The same in device coordinates, as a region.
  TRegion EffectiveClip();

  // --- drawing state ---
  TPenInfo Pen() const;
  // The brush as a paint in surface coordinates (its origin aligned to the brush origin).
  TPaint BrushPaint(HBRUSH brush) const;
  // The colour a brush paints with (its hatch colour; CLR_INVALID for null and pattern brushes).
  COLORREF BrushColor(HBRUSH brush) const;
  // A colour as a pixel of this DC's surface (black or white on a monochrome one).
  uint32_t DevicePixel(COLORREF color) const;
  bool MonoSurface() const;

 private:
  int64_t ToDeviceX(int64_t x) const;
  int64_t ToDeviceY(int64_t y) const;
  int64_t ToLogicalX(int64_t x) const;
  int64_t ToLogicalY(int64_t y) const;

  std::vector<TRect> clip_;
  bool clipValid_ = false;
};

TDeviceContext* LookupDC(HDC dc);
inline HDC HandleOf(const TDeviceContext& dc) {
  return static_cast<HDC>(dc.Handle);
}

// References that DC states hold on objects: a referenced object cannot be deleted, and a
// bitmap belongs to one DC at a time.
void RetainObject(HGDIOBJ object, TDeviceContext* dc);
void ReleaseObject(HGDIOBJ object, TDeviceContext* dc);
void RetainState(const TDCState& state, TDeviceContext* dc);
void ReleaseState(const TDCState& state, TDeviceContext* dc);
// A fresh state with the stock objects selected.
TDCState DefaultState(TDCType type);
TDeviceContext* NewDC(TDCType type);
void DestroyDC(TDeviceContext* dc);
// Back to a fresh state (the screen DC's answer to DeleteDC).
void ResetDC(TDeviceContext* dc);

// A drawing call's hold on the pixels: loads a DIB working copy, resolves the clip, and
// stores the pixels back when it ends.
class TDrawScope {
 public:
  // `writes`: the call changes pixels, so a DIB working copy is stored back at the end.
  explicit TDrawScope(TDeviceContext& dc, bool writes = true);
  ~TDrawScope();
  TDrawScope(const TDrawScope&) = delete;
  TDrawScope& operator=(const TDrawScope&) = delete;

  bool Ok() const { return raster_.has_value(); }
  TRaster& Raster() { return *raster_; }
  TDeviceContext& DC() { return dc_; }
  // Device to surface-bitmap coordinates.
  TPoint ToSurface(TPoint device) const { return {device.X + origin_.X, device.Y + origin_.Y}; }
  TRect ToSurface(TRect device) const {
    OffsetRect(device, origin_.X, origin_.Y);
    return device;
  }
  const POINT& Origin() const { return origin_; }
  // Pixels were blended: a monochrome bitmap is snapped back to black and white.
  void MarkBlended() { blended_ = true; }

 private:
  TDeviceContext& dc_;
  TBitmapObj* bitmap_ = nullptr;
  POINT origin_{};
  std::optional<TRaster> raster_;
  bool writes_ = true;
  bool blended_ = false;
};

inline TDrawCall MakeCall(TDrawKind kind) {
  TDrawCall call;
  call.Kind = kind;
  return call;
}
// Fills in the drawing attributes of a recorded call (colours, modes, pen) and records it.
void RecordCall(TDeviceContext& dc, TDrawCall call);
inline bool Recording(const TDeviceContext& dc) {
  return dc.Recorder != nullptr;
}

// BITSPIXEL as the colour-depth switch sets it.
int ScreenBitsPerPixel();

}  // namespace gdi_internal
