#pragma once
// The recording decorator of a device context: when a recorder is attached to a DC, every
// drawing call is logged (what, where in logical and device coordinates, which colours and
// flags) before it is carried out, so tests can check decisions without reading pixels.
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

enum class TDrawKind {
  FillRect,
  FrameRect,
  InvertRect,
  FocusRect,
  Rectangle,
  RoundRect,
  Ellipse,
  Line,      // MoveTo/LineTo: Points = {from, to}
  Polyline,  // also each part of PolyPolyline
  Polygon,
  Text,      // TextOut, ExtTextOut and each line DrawText draws
  DrawText,  // the DrawText/DrawTextEx call itself (Rect = the formatting rectangle)
  Edge,
  FrameControl,
  Blt,  // BitBlt, StretchBlt, MaskBlt, TransparentBlt, AlphaBlend, PatBlt
  Pixel,
  ClipChange,
  MappingChange,
  ThemePart,
};

struct TDrawCall {
  TDrawKind Kind;
  RECT Rect{};                // logical coordinates as passed
  RECT DeviceRect{};          // after mapping
  std::vector<POINT> Points;  // lines, polygons (logical)
  COLORREF Color = CLR_INVALID;   // brush or pen or text colour
  COLORREF BkColor = CLR_INVALID; // background colour where it applies
  int BkMode = 0;
  UINT Flags = 0;   // DT_/ETO_/BF_/DFCS_/raster operation
  int PenStyle = -1;
  int PenWidth = 0;
  int Rop2 = 0;
  std::string Text;
  std::string FontFace;
  int FontHeight = 0;
  int FontWeight = 0;
  int FontEscapement = 0;
  std::string Note;  // the API name ("BitBlt", "StretchBlt", ...) or a theme part
};

class IDrawRecorder {
 public:
  virtual ~IDrawRecorder() = default;
  virtual void Record(const TDrawCall& call) = 0;
};

// A recorder that keeps every call.
class TDrawLog : public IDrawRecorder {
 public:
  void Record(const TDrawCall& call) override { Calls.push_back(call); }
  void Clear() { Calls.clear(); }
  std::vector<const TDrawCall*> OfKind(TDrawKind kind) const {
    std::vector<const TDrawCall*> out;
    for (const TDrawCall& c : Calls)
      if (c.Kind == kind) out.push_back(&c);
    return out;
  }
  std::vector<TDrawCall> Calls;
};

// Attaches (or with nullptr detaches) a recorder to a DC; DCs made from it by the window
// manager for the same window inherit nothing: attach per DC or per window there.
void AttachDrawRecorder(HDC dc, IDrawRecorder* recorder);
IDrawRecorder* GetDrawRecorder(HDC dc);
