#pragma once
// The screen as the X server describes it, in the window manager's terms: what the display
// host's screen code (HostScreen.cpp) shares with its tests. No X11 here: the property values
// come in as the plain numbers Xlib hands out.
#include <cstddef>

#include "platform/win/Windows.h"

namespace host_internal {

// The work area a _NET_WORKAREA property gives: one x, y, width, height quadruple per desktop,
// the one of `desktop` when there is such a quadruple, else the first. The values come from
// another client: a short or malformed property, or a negative or empty area, answers an empty
// rectangle (the whole screen), and huge values cannot overflow.
RECT WorkAreaFromProperty(const long* values, size_t count, long desktop);

}  // namespace host_internal
