#pragma once
// What the text and theme painters of this library need of a device context beyond the public
// entry points: the state that text drawing reads, and primitives that honour the DC's
// mapping, layout and clipping. Internal to platform/gdi.
#include <cstdint>

#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Gdi.h"

namespace gdi_internal {

struct TTextState {
  LOGFONT Font;
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  UINT TextAlign = 0;
  POINT CurrentPos{};
  DWORD Layout = 0;
};

// False for an invalid DC.
bool GetTextState(HDC dc, TTextState& state);
void SetCurrentPos(HDC dc, POINT pos);

// Fills a logical rectangle with a solid colour through the DC's mapping and clip (no ROP).
bool FillSolidRect(HDC dc, const RECT& logical, COLORREF color);

// Blends an 8-bit coverage mask (0 transparent .. 255 opaque) whose top-left lands on the
// logical point (x, y), in `color`, through the mapping and clip, further limited to
// `clipLogical` when given. Text and glyph painting go through this.
bool DrawCoverageMask(HDC dc, int x, int y, int width, int height, const uint8_t* coverage, int stride,
                      COLORREF color, const RECT* clipLogical);

// Logs a call on the DC's recorder, when one is attached (fills DeviceRect from Rect).
void Record(HDC dc, TDrawCall call);

}  // namespace gdi_internal
