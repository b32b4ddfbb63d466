// Window regions on the X server: a mirrored window whose region cuts corners off shows the
// windows (or the root) beneath there and lets their clicks through, as the window manager's
// own hit testing does. The region's rectangles become the X window's bounding shape, which
// also bounds its input; without a region the shape is removed and the window is rectangular.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <optional>
#include <utility>

#include "platform/win/Painting.h"

// Last: Xlib's macros.
#include "platform/host/HostInternal.h"

#include <X11/extensions/shape.h>

namespace host_internal {
namespace {

bool gHasShapeExtension = false;
// Rectangles a request carries (8 bytes each): well within the core request limit.
constexpr size_t kRectsPerRequest = 16384;

bool SameRects(const std::vector<XRectangle>& a, const std::vector<XRectangle>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const XRectangle& x, const XRectangle& y) {
    return x.x == y.x && x.y == y.y && x.width == y.width && x.height == y.height;
  });
}

// The region cut to the window (and to what an X rectangle holds), in the region's band order.
std::vector<XRectangle> CutToWindow(const std::vector<RECT>& region, int width, int height) {
  const int maxRight = std::min(width, SHRT_MAX), maxBottom = std::min(height, SHRT_MAX);
  std::vector<XRectangle> rects;
  rects.reserve(region.size());
  for (const RECT& r : region) {
    const int left = std::clamp(r.Left, 0, maxRight), right = std::clamp(r.Right, 0, maxRight);
    const int top = std::clamp(r.Top, 0, maxBottom), bottom = std::clamp(r.Bottom, 0, maxBottom);
    if (left < right && top < bottom)
      rects.push_back(XRectangle{static_cast<short>(left), static_cast<short>(top),
                                 static_cast<unsigned short>(right - left),
                                 static_cast<unsigned short>(bottom - top)});
  }
  return rects;
}

}  // namespace

void QueryShapeExtension() {
  int eventBase = 0, errorBase = 0;
  gHasShapeExtension = XShapeQueryExtension(Conn().Dpy, &eventBase, &errorBase) != False;
}

void UpdateWindowShape(Window xid, HWND hwnd, int width, int height, TWindowShape& shape) {
  if (!gHasShapeExtension) return;
  const std::optional<std::vector<RECT>> region = WindowRegionRects(hwnd);
  TWindowShape wanted;
  wanted.Shaped = region.has_value();
  if (region) wanted.Rects = CutToWindow(*region, width, height);
  if (wanted.Shaped == shape.Shaped && SameRects(wanted.Rects, shape.Rects)) return;
  Display* dpy = Conn().Dpy;
  if (!wanted.Shaped) {
    XShapeCombineMask(dpy, xid, ShapeBounding, 0, 0, None, ShapeSet);
  } else if (wanted.Rects.empty()) {
    XShapeCombineRectangles(dpy, xid, ShapeBounding, 0, 0, nullptr, 0, ShapeSet, YXBanded);
  } else {
    // The region's normal form is banded from top to bottom, left to right within a band; a
    // region of many rectangles goes in several requests, the first replacing the shape.
    for (size_t at = 0; at < wanted.Rects.size(); at += kRectsPerRequest) {
      const size_t count = std::min(kRectsPerRequest, wanted.Rects.size() - at);
      XShapeCombineRectangles(dpy, xid, ShapeBounding, 0, 0, wanted.Rects.data() + at,
                              static_cast<int>(count), at == 0 ? ShapeSet : ShapeUnion, YXBanded);
    }
  }
  shape = std::move(wanted);
}

}  // namespace host_internal
