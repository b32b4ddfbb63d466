// The names a mirrored window carries on the X server: its title and icon name in UTF-8 under
// both the ICCCM and the EWMH properties (WM_NAME as a Latin-1 STRING would garble every
// character past ASCII), and WM_CLASS after the program, so that window managers, task bars
// and resource files find the program by its own name.
#include <errno.h>

#include <cstdlib>

#include "platform/host/WindowNamesInternal.h"

// Last: Xlib's macros.
#include "platform/host/HostInternal.h"

namespace host_internal {

TWindowClassNames WindowClassNames(const std::string& program, const char* resourceName) {
  const bool fromResource = resourceName && *resourceName;
  std::string name = fromResource ? resourceName : program;
  if (!fromResource) {
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
  }
  if (name.empty()) name = "program";
  std::string cls = name;
  if (cls[0] >= 'a' && cls[0] <= 'z') cls[0] = static_cast<char>(cls[0] - 'a' + 'A');
  return TWindowClassNames{name, cls};
}

void SetWindowNames(Window xid, const std::string& title) {
  TConnection& c = Conn();
  const auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
  const int length = static_cast<int>(title.size());
  for (Atom property : {Atom{XA_WM_NAME}, c.Atoms.NetWmName, Atom{XA_WM_ICON_NAME}, c.Atoms.NetWmIconName})
    XChangeProperty(c.Dpy, xid, property, c.Atoms.Utf8String, 8, PropModeReplace, bytes, length);
}

void SetWindowClass(Window xid) {
  const TWindowClassNames names =
      WindowClassNames(program_invocation_name ? program_invocation_name : "", std::getenv("RESOURCE_NAME"));
  XClassHint hint{const_cast<char*>(names.Instance.c_str()), const_cast<char*>(names.Class.c_str())};
  XSetClassHint(Conn().Dpy, xid, &hint);
}

}  // namespace host_internal
