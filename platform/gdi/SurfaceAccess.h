#pragma once
// What the window manager and the display host need of the painting library beyond the
// window system's entry points: device contexts over a top-level window's surface, and direct
// access to a surface's pixels.
#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace gdi_internal {

// A DC drawing into `target` with the device origin at `origin` (the window's place in its
// top-level bitmap), limited to the rectangles of `visible` (target coordinates). The window
// manager deletes it with DeleteDC.
HDC CreateSurfaceDC(HBITMAP target, POINT origin, const std::vector<RECT>& visible);
// The device size of a surface DC (the window's size): the width a mirrored layout (LAYOUT_RTL)
// reflects about, and the area a clip with no region stands for. Without it, the part of the
// target right of and below the origin.
void SetSurfaceExtent(HDC dc, SIZE extent);
// Direct pixel access to a 32-bit bitmap (0x00RRGGBB per pixel, top-down rows).
uint32_t* BitmapPixels(HBITMAP bitmap, int* width, int* height);

}  // namespace gdi_internal
