// A clipboard peer that stops half way, for the tests that check a program never hangs on one.
//   x_stalled_peer read: asks the CLIPBOARD owner for UTF8_STRING, prints "incr" once the answer
//     is an incremental transfer, and never asks for a chunk.
//   x_stalled_peer own: takes the CLIPBOARD, prints "owner", answers every request with an
//     incremental transfer ("answered" each time) and never sends a chunk.
// Either runs until killed (or a minute passes); exit code 1 when the display is missing.
#include <cstdio>
#include <cstring>
#include <ctime>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

bool Read(Display* dpy, Window w, Atom clipboard, Atom utf8, Atom incr) {
  const Atom property = XInternAtom(dpy, "STALLED_PEER", False);
  XConvertSelection(dpy, clipboard, utf8, property, w, CurrentTime);
  XFlush(dpy);
  for (XEvent e;;) {
    XNextEvent(dpy, &e);
    if (e.type != SelectionNotify) continue;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(dpy, w, property, 0, 0, False, AnyPropertyType, &type, &format, &count, &after, &data);
    if (data) XFree(data);
    if (type != incr) return false;
    std::printf("incr\n");
    return true;
  }
}

void Own(Display* dpy, Window w, Atom clipboard, Atom incr) {
  XSetSelectionOwner(dpy, clipboard, w, CurrentTime);
  if (XGetSelectionOwner(dpy, clipboard) != w) return;
  std::printf("owner\n");
  const std::time_t end = std::time(nullptr) + 60;
  while (std::time(nullptr) < end) {
    XEvent e;
    XNextEvent(dpy, &e);
    if (e.type != SelectionRequest) continue;
    const XSelectionRequestEvent& r = e.xselectionrequest;
    long size = 1 << 20;
    XChangeProperty(dpy, r.requestor, r.property, incr, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&size), 1);
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = r.requestor;
    reply.selection = r.selection;
    reply.target = r.target;
    reply.property = r.property;
    reply.time = r.time;
    XSendEvent(dpy, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(dpy);
    std::printf("answered\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy || argc < 2) return 1;
  const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
  const Atom incr = XInternAtom(dpy, "INCR", False);
  if (std::strcmp(argv[1], "own") == 0) {
    Own(dpy, w, clipboard, incr);
  } else if (Read(dpy, w, clipboard, XInternAtom(dpy, "UTF8_STRING", False), incr)) {
    const std::time_t end = std::time(nullptr) + 60;
    while (std::time(nullptr) < end) {
      XEvent e;
      XNextEvent(dpy, &e);  // keeps the connection, and the stalled transfer, open
    }
  }
  XCloseDisplay(dpy);
  return 0;
}
