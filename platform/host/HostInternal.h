#pragma once
// What the display host's files share. The only place that includes Xlib; include it after
// every other header, since Xlib's macros (KeyPress, None, Status ...) would break them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Windows.h"

// After the window manager's headers, for the reason above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace host_internal {

struct TAtoms {
  Atom Clipboard = None;
  Atom Targets = None;
  Atom Utf8String = None;
  Atom TextPlainUtf8 = None;
  Atom TextPlain = None;
  Atom String = None;
  Atom Text = None;
  Atom TextCsv = None;
  Atom TextRtf = None;
  Atom Incr = None;
  Atom Transfer = None;  // the property incoming selections are delivered to
  Atom WmProtocols = None;
  Atom WmDeleteWindow = None;
  Atom NetWmName = None;
  Atom NetWmIconName = None;
  Atom NetWorkarea = None;
  Atom NetCurrentDesktop = None;
  Atom MotifHints = None;
};

struct TConnection {
  Display* Dpy = nullptr;
  int Screen = 0;
  Window Root = 0;
  Window Helper = 0;  // unmapped; owns the selection and receives conversions
  Time LastTime = CurrentTime;
  TAtoms Atoms;
};

TConnection& Conn();

// The window manager's virtual key for an X11 keysym (0 for none).
int VirtualKeyOf(unsigned long keysym);

// The screen (HostScreen.cpp): passes the root window's size and the work area to the window
// manager; HandleScreenEvent answers true for the root window's events.
void ReportScreenGeometry();
bool HandleScreenEvent(const XEvent& event);

// The names of a mirrored window (HostWindowNames.cpp): its title and icon name, its class.
void SetWindowNames(Window xid, const std::string& title);
void SetWindowClass(Window xid);

// The shape of a mirrored window (HostShape.cpp): with a window region it shows, and takes
// the pointer, only inside it; without one it is its rectangle. What was sent is remembered
// so that an unchanged shape is not sent again.
struct TWindowShape {
  bool Shaped = false;
  std::vector<XRectangle> Rects;  // window coordinates, cut to the window
};
// Asks the server for the Shape extension; without it windows stay rectangles.
void QueryShapeExtension();
// Sends the window region of `hwnd`, cut to width x height, as the X window's shape.
void UpdateWindowShape(Window xid, HWND hwnd, int width, int height, TWindowShape& shape);

// The pointer (HostCursor.cpp; FollowCursor in CursorInternal.h): a mirrored window takes the
// current cursor when added; stopping frees the X cursors made.
void AddPointerWindow(Window xid);
void RemovePointerWindow(Window xid);
void FreePointerCursors();

// The selection bridge (HostClipboard.cpp).
void StartClipboardBridge();
void StopClipboardBridge();
// True when the event belonged to the selection protocol.
bool HandleSelectionEvent(const XEvent& event);

// Selection bytes through properties (HostSelectionTransfer.cpp). Incoming data stops at what a
// global block holds.
constexpr size_t kMaxIncomingBytes = size_t{1} << 30;
// Writes the data to the requestor's property, or starts an incremental transfer when it is
// larger than one request carries.
void SendSelectionData(Window requestor, Atom property, Atom type, std::string data);
// Answers a requestor's deletion with the next chunk (true: the event was a transfer's); any
// event drops the transfers whose requestor stopped reading.
bool HandleTransferEvent(const XEvent& event);
void DropOutgoingTransfers();
// Asks the clipboard's owner for the target and reads the answer, whole or incremental, with
// bounded waits; `refused` when the owner answered without data.
std::optional<std::string> ReceiveSelectionData(Atom target, bool& refused);

}  // namespace host_internal
