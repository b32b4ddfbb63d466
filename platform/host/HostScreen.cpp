// The screen's size and work area as the X server reports them, passed on to the window
// manager when the host starts and again whenever the root window changes size (a RandR
// change) or a window manager publishes another work area.
#include <algorithm>
#include <climits>
#include <vector>

#include "platform/host/ScreenInternal.h"
#include "platform/win/Display.h"

// Last: Xlib's macros.
#include "platform/host/HostInternal.h"

namespace host_internal {

RECT WorkAreaFromProperty(const long* values, size_t count, long desktop) {
  const size_t desktops = values ? count / 4 : 0;
  if (desktops == 0) return RECT{};
  const size_t index =
      desktop >= 0 && static_cast<unsigned long>(desktop) < desktops ? static_cast<size_t>(desktop) : 0;
  const long* q = values + index * 4;
  auto side = [](long v) { return static_cast<int>(std::clamp<long>(v, 0, kMaxDisplaySide)); };
  if (q[0] < 0 || q[1] < 0 || q[2] <= 0 || q[3] <= 0) return RECT{};
  const int x = side(q[0]), y = side(q[1]);
  return RECT{x, y, x + side(q[2]), y + side(q[3])};
}

namespace {

// One property of the root window as 32-bit CARDINALs (Xlib hands them out as longs).
std::vector<long> RootCardinals(Atom property, long maxItems) {
  TConnection& c = Conn();
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> out;
  if (XGetWindowProperty(c.Dpy, c.Root, property, 0, maxItems, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && data)
    out.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
  if (data) XFree(data);
  return out;
}

}  // namespace

void ReportScreenGeometry() {
  TConnection& c = Conn();
  Window root = 0;
  int x = 0, y = 0;
  unsigned width = 0, height = 0, border = 0, depth = 0;
  if (!XGetGeometry(c.Dpy, c.Root, &root, &x, &y, &width, &height, &border, &depth)) return;
  // Desktops beyond 64 are not worth a longer read: the first one answers for them.
  const std::vector<long> areas = RootCardinals(c.Atoms.NetWorkarea, 4 * 64);
  const std::vector<long> current = RootCardinals(c.Atoms.NetCurrentDesktop, 1);
  const RECT work = WorkAreaFromProperty(areas.data(), areas.size(), current.empty() ? 0 : current[0]);
  // A size the window manager refuses leaves the last good one in place.
  SetDisplayGeometry(static_cast<int>(std::min<unsigned>(width, INT_MAX)),
                     static_cast<int>(std::min<unsigned>(height, INT_MAX)), work);
}

bool HandleScreenEvent(const XEvent& event) {
  TConnection& c = Conn();
  if (event.xany.window != c.Root) return false;
  if (event.type == ConfigureNotify ||
      (event.type == PropertyNotify &&
       (event.xproperty.atom == c.Atoms.NetWorkarea || event.xproperty.atom == c.Atoms.NetCurrentDesktop)))
    ReportScreenGeometry();
  return true;
}

}  // namespace host_internal
