// Prints the name of the cursor the X server shows now (as the XFIXES extension reports it),
// for tests that move the pointer with xdotool and check which shape a program gave it. An
// unnamed cursor prints an empty line; exit code 1 when the display or the extension is missing.
#include <cstdio>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

int main() {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return 1;
  int event = 0, error = 0;
  XFixesCursorImage* image = XFixesQueryExtension(dpy, &event, &error) ? XFixesGetCursorImage(dpy) : nullptr;
  if (image) std::printf("%s\n", image->name ? image->name : "");
  if (image) XFree(image);
  XCloseDisplay(dpy);
  return image ? 0 : 1;
}
