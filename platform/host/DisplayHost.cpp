// The display host: top-level windows mirrored as X11 windows, their surfaces put on screen,
// and X11 events fed to the window manager's input queue. The host is the message loops' event
// source: when nothing can be retrieved it shows what was painted and blocks on the X
// connection until an event arrives or the next timer falls due.
#include "platform/host/DisplayHost.h"

#include <poll.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/SurfaceAccess.h"
#include "platform/host/CursorInternal.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Input.h"
#include "platform/win/WindowManager.h"

// Last: Xlib's macros.
#include "platform/host/HostInternal.h"

namespace host_internal {

TConnection& Conn() {
  static auto* c = new TConnection;
  return *c;
}

}  // namespace host_internal

namespace {

using namespace host_internal;

struct THostWindow {
  Window Xid = 0;
  XIC Ic = nullptr;
  RECT Rect{};  // the X window's geometry as last set or reported, screen coordinates
  bool Mapped = false;
  bool Dirty = false;
  RECT DirtyRect{};  // window coordinates
  std::vector<uint32_t> Buffer;
  TWindowShape Shape;
};

struct TChannel {
  int Shift = 0;
  bool Valid = false;
};

TChannel ChannelOf(unsigned long mask) {
  if (mask == 0) return {};
  const int shift = std::countr_zero(mask);
  return TChannel{shift, (mask >> shift) == 0xFF};
}

RECT Union(const RECT& a, const RECT& b) {
  return RECT{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
              std::max(a.Bottom, b.Bottom)};
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

int IgnoreXErrors(Display*, XErrorEvent*) {
  // Requestors and windows of other clients may vanish at any time; such errors are expected.
  return 0;
}

class THost : public IEventSource {
 public:
  bool Running() const { return Conn().Dpy != nullptr; }

  bool Start() {
    if (Running()) return true;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    Display* dpy = XOpenDisplay(display);
    if (!dpy) return false;
    TConnection& c = Conn();
    c.Dpy = dpy;
    c.Screen = DefaultScreen(dpy);
    c.Root = RootWindow(dpy, c.Screen);
    if (!ChooseVisual()) {
      XCloseDisplay(dpy);
      c = TConnection{};
      return false;
    }
    XSetErrorHandler(IgnoreXErrors);
    InternAtoms();
    QueryShapeExtension();
    XSetWindowAttributes a{};
    a.colormap = colormap_;
    a.event_mask = PropertyChangeMask;
    c.Helper = XCreateWindow(dpy, c.Root, -10, -10, 1, 1, 0, depth_, InputOutput, visual_,
                             CWColormap | CWEventMask, &a);
    gc_ = XCreateGC(dpy, c.Helper, 0, nullptr);
    im_ = XOpenIM(dpy, nullptr, nullptr, nullptr);
    // The screen's size and work area, now and as they change.
    XSelectInput(dpy, c.Root, StructureNotifyMask | PropertyChangeMask);
    ReportScreenGeometry();
    // Real windows show the user's date and time, and time runs as the user's clock does.
    VirtualClock::SetToSystemTime();
    VirtualClock::UseRealTime(true);
    observer_ =
        win_internal::AddWindowObserver([this](const win_internal::TWindowNotice& n) { OnNotice(n); });
    surfaceObserver_ = AddSurfaceObserver([this](HWND top, const RECT& dirty) { MarkDirty(top, dirty); });
    StartClipboardBridge();
    SetEventSource(this);
    EnumWindows(
        [this](HWND h, LPARAM) {
          Sync(h);
          return TRUE;
        },
        0);
    XFlush(dpy);
    return true;
  }

  void Stop() {
    if (!Running()) return;
    TConnection& c = Conn();
    if (GetEventSource() == this) SetEventSource(nullptr);
    StopClipboardBridge();
    win_internal::RemoveWindowObserver(observer_);
    RemoveSurfaceObserver(surfaceObserver_);
    while (!windows_.empty()) DestroyMirror(windows_.begin()->first);
    FreePointerCursors();
    if (im_) XCloseIM(im_);
    im_ = nullptr;
    XFreeGC(c.Dpy, gc_);
    XDestroyWindow(c.Dpy, c.Helper);
    if (ownColormap_) XFreeColormap(c.Dpy, colormap_);
    XCloseDisplay(c.Dpy);
    c = TConnection{};
  }

  void WaitForEvents(int64_t msUntilTimer) override {
    TakeEvents(msUntilTimer < 0 ? -1 : static_cast<int>(std::min<int64_t>(msUntilTimer, INT_MAX)));
  }
  void PollEvents() override { TakeEvents(0); }

 private:
  // Shows what was drawn, then takes the events that arrive within TimeoutMs (-1: until one
  // does; 0: only those already there).
  void TakeEvents(int TimeoutMs) {
    Display* dpy = Conn().Dpy;
    FlushSurfaces();
    // The input just handled may have set another cursor (WM_SETCURSOR).
    FollowCursor();
    XFlush(dpy);
    if (XPending(dpy) == 0) {
      pollfd p{ConnectionNumber(dpy), POLLIN, 0};
      poll(&p, 1, TimeoutMs);
    }
    while (Running() && XPending(dpy) > 0) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (XFilterEvent(&e, None)) continue;
      Handle(e);
    }
  }

  bool ChooseVisual() {
    TConnection& c = Conn();
    XVisualInfo want{};
    want.screen = c.Screen;
    want.c_class = TrueColor;
    int count = 0;
    XVisualInfo* infos = XGetVisualInfo(c.Dpy, VisualScreenMask | VisualClassMask, &want, &count);
    const XVisualInfo* best = nullptr;
    Visual* def = DefaultVisual(c.Dpy, c.Screen);
    for (int i = 0; i < count; ++i) {
      const XVisualInfo& v = infos[i];
      if ((v.depth != 24 && v.depth != 32) || !ChannelOf(v.red_mask).Valid ||
          !ChannelOf(v.green_mask).Valid || !ChannelOf(v.blue_mask).Valid || !Has32BitPixels(v.depth))
        continue;
      if (!best || v.visual == def || (best->visual != def && v.depth == 24 && best->depth != 24)) best = &v;
    }
    bool ok = best != nullptr;
    if (ok) {
      visual_ = best->visual;
      depth_ = best->depth;
      red_ = ChannelOf(best->red_mask);
      green_ = ChannelOf(best->green_mask);
      blue_ = ChannelOf(best->blue_mask);
      ownColormap_ = visual_ != def;
      colormap_ = ownColormap_ ? XCreateColormap(c.Dpy, c.Root, visual_, AllocNone)
                               : DefaultColormap(c.Dpy, c.Screen);
    }
    if (infos) XFree(infos);
    return ok;
  }

  static bool Has32BitPixels(int depth) {
    int n = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(Conn().Dpy, &n);
    bool ok = false;
    for (int i = 0; i < n; ++i)
      if (formats[i].depth == depth) ok = formats[i].bits_per_pixel == 32;
    if (formats) XFree(formats);
    return ok;
  }

  static void InternAtoms() {
    TConnection& c = Conn();
    TAtoms& a = c.Atoms;
    auto intern = [&](const char* name) { return XInternAtom(c.Dpy, name, False); };
    a.Clipboard = intern("CLIPBOARD");
    a.Targets = intern("TARGETS");
    a.Utf8String = intern("UTF8_STRING");
    a.TextPlainUtf8 = intern("text/plain;charset=utf-8");
    a.TextPlain = intern("text/plain");
    a.String = XA_STRING;
    a.Text = intern("TEXT");
    a.TextCsv = intern("text/csv");
    a.TextRtf = intern("text/rtf");
    a.Incr = intern("INCR");
    a.Transfer = intern("GRID_SELECTION");
    a.WmProtocols = intern("WM_PROTOCOLS");
    a.WmDeleteWindow = intern("WM_DELETE_WINDOW");
    a.NetWmName = intern("_NET_WM_NAME");
    a.NetWmIconName = intern("_NET_WM_ICON_NAME");
    a.NetWorkarea = intern("_NET_WORKAREA");
    a.NetCurrentDesktop = intern("_NET_CURRENT_DESKTOP");
    a.MotifHints = intern("_MOTIF_WM_HINTS");
  }

  // --- mirroring windows ---------------------------------------------------------------------------

  static bool ShouldMirror(HWND h) {
    win_internal::TWnd* w = win_internal::Find(h);
    return w && !w->IsRoot && !w->Dead && w->Parent == &win_internal::Desktop() && w->Visible() &&
           !(w->Style & WS_MINIMIZE);
  }

  void OnNotice(const win_internal::TWindowNotice& n) {
    using win_internal::TWindowEvent;
    if (!n.Hwnd) return;
    switch (n.Event) {
      case TWindowEvent::Created:
      case TWindowEvent::Shown:
      case TWindowEvent::Hidden:
      case TWindowEvent::PosChanged:
      case TWindowEvent::StyleChanged:
      case TWindowEvent::Reparented:
        Sync(n.Hwnd);
        break;
      case TWindowEvent::Destroyed:
        DestroyMirror(n.Hwnd);
        break;
      case TWindowEvent::RegionChanged:
        if (auto it = windows_.find(n.Hwnd); it != windows_.end()) Reshape(n.Hwnd, it->second);
        break;
      case TWindowEvent::TextChanged:
        if (auto it = windows_.find(n.Hwnd); it != windows_.end())
          SetWindowNames(it->second.Xid, GetWindowText(n.Hwnd));
        break;
      case TWindowEvent::Activated:
        Activated(n.Hwnd);
        break;
      default:
        break;
    }
  }

  void Sync(HWND h) {
    Display* dpy = Conn().Dpy;
    auto it = windows_.find(h);
    if (!ShouldMirror(h)) {
      if (it == windows_.end()) return;
      if (win_internal::Find(h) && win_internal::Find(h)->Parent != &win_internal::Desktop()) {
        DestroyMirror(h);
      } else if (it->second.Mapped) {
        XUnmapWindow(dpy, it->second.Xid);
        it->second.Mapped = false;
      }
      return;
    }
    RECT r{};
    GetWindowRect(h, &r);
    const bool created = it == windows_.end();
    if (created) it = windows_.emplace(h, Create(h, r)).first;
    THostWindow& hw = it->second;
    const bool resized = r.Width() != hw.Rect.Width() || r.Height() != hw.Rect.Height();
    if (!SameRect(r, hw.Rect)) {
      XMoveResizeWindow(dpy, hw.Xid, r.Left, r.Top, static_cast<unsigned>(std::max(1, r.Width())),
                        static_cast<unsigned>(std::max(1, r.Height())));
      hw.Rect = r;
    }
    // The shape is cut to the window's size, so a larger window may show more of its region.
    if (created || resized) Reshape(h, hw);
    if (!hw.Mapped) {
      XMapRaised(dpy, hw.Xid);
      hw.Mapped = true;
      MarkDirty(h, RECT{0, 0, r.Width(), r.Height()});
    }
  }

  THostWindow Create(HWND h, const RECT& r) {
    TConnection& c = Conn();
    const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
    XSetWindowAttributes a{};
    a.colormap = colormap_;
    a.background_pixel = 0;
    a.border_pixel = 0;
    a.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                   PointerMotionMask | FocusChangeMask | StructureNotifyMask;
    // Windows without a caption (menus, drop-downs, tips) are placed exactly, without a frame.
    a.override_redirect = (style & WS_CAPTION) != WS_CAPTION ? True : False;
    THostWindow hw;
    hw.Xid = XCreateWindow(c.Dpy, c.Root, r.Left, r.Top, static_cast<unsigned>(std::max(1, r.Width())),
                           static_cast<unsigned>(std::max(1, r.Height())), 0, depth_, InputOutput, visual_,
                           CWColormap | CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect, &a);
    hw.Rect = r;
    Atom protocols[] = {c.Atoms.WmDeleteWindow};
    XSetWMProtocols(c.Dpy, hw.Xid, protocols, 1);
    // The window draws its own frame: no decorations from a window manager.
    long motif[5] = {2, 0, 0, 0, 0};
    XChangeProperty(c.Dpy, hw.Xid, c.Atoms.MotifHints, c.Atoms.MotifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);
    XSizeHints hints{};
    hints.flags = USPosition | PPosition | PSize;
    hints.x = r.Left;
    hints.y = r.Top;
    hints.width = r.Width();
    hints.height = r.Height();
    XSetWMNormalHints(c.Dpy, hw.Xid, &hints);
    SetWindowClass(hw.Xid);
    SetWindowNames(hw.Xid, GetWindowText(h));
    if (im_)
      hw.Ic = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, hw.Xid,
                        XNFocusWindow, hw.Xid, nullptr);
    byXid_[hw.Xid] = h;
    AddPointerWindow(hw.Xid);
    return hw;
  }

  static void Reshape(HWND h, THostWindow& hw) {
    UpdateWindowShape(hw.Xid, h, hw.Rect.Width(), hw.Rect.Height(), hw.Shape);
  }

  void DestroyMirror(HWND h) {
    auto it = windows_.find(h);
    if (it == windows_.end()) return;
    if (it->second.Ic) XDestroyIC(it->second.Ic);
    RemovePointerWindow(it->second.Xid);
    XDestroyWindow(Conn().Dpy, it->second.Xid);
    byXid_.erase(it->second.Xid);
    windows_.erase(it);
  }

  void Activated(HWND h) {
    auto it = windows_.find(h);
    if (it == windows_.end() || !it->second.Mapped) return;
    XRaiseWindow(Conn().Dpy, it->second.Xid);
    XWindowAttributes attrs{};
    if (XGetWindowAttributes(Conn().Dpy, it->second.Xid, &attrs) && attrs.map_state == IsViewable) {
      focusSerial_ = NextRequest(Conn().Dpy);
      XSetInputFocus(Conn().Dpy, it->second.Xid, RevertToParent, CurrentTime);
    }
  }

  // --- putting surfaces on screen -------------------------------------------------------------------

  void MarkDirty(HWND top, const RECT& dirty) {
    auto it = windows_.find(top);
    if (it == windows_.end()) return;
    THostWindow& hw = it->second;
    hw.DirtyRect = hw.Dirty ? Union(hw.DirtyRect, dirty) : dirty;
    hw.Dirty = true;
  }

  void FlushSurfaces() {
    for (auto& [h, hw] : windows_) {
      if (!hw.Dirty || !hw.Mapped) continue;
      hw.Dirty = false;
      HBITMAP surface = GetTopLevelSurface(h);
      int w = 0, ht = 0;
      const uint32_t* pixels = surface ? gdi_internal::BitmapPixels(surface, &w, &ht) : nullptr;
      if (!pixels || w <= 0 || ht <= 0) continue;
      RECT r{std::max(0, hw.DirtyRect.Left), std::max(0, hw.DirtyRect.Top), std::min(w, hw.DirtyRect.Right),
             std::min(ht, hw.DirtyRect.Bottom)};
      if (r.Left >= r.Right || r.Top >= r.Bottom) continue;
      PutPixels(hw, pixels, w, ht, r);
    }
  }

  void PutPixels(THostWindow& hw, const uint32_t* pixels, int w, int h, const RECT& r) {
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (hw.Buffer.size() != count) hw.Buffer.assign(count, 0);
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
        const uint32_t p = pixels[i];
        hw.Buffer[i] = (((p >> 16) & 0xFF) << red_.Shift) | (((p >> 8) & 0xFF) << green_.Shift) |
                       ((p & 0xFF) << blue_.Shift);
      }
    Display* dpy = Conn().Dpy;
    XImage* img = XCreateImage(dpy, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                               reinterpret_cast<char*>(hw.Buffer.data()), static_cast<unsigned>(w),
                               static_cast<unsigned>(h), 32, w * 4);
    if (!img) return;
    img->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    XPutImage(dpy, hw.Xid, gc_, img, r.Left, r.Top, r.Left, r.Top, static_cast<unsigned>(r.Width()),
              static_cast<unsigned>(r.Height()));
    img->data = nullptr;  // the buffer stays ours
    XDestroyImage(img);
  }

  // --- events ---------------------------------------------------------------------------------------

  void Handle(XEvent& e) {
    TConnection& c = Conn();
    switch (e.type) {
      case KeyPress:
      case KeyRelease:
        c.LastTime = e.xkey.time;
        break;
      case ButtonPress:
      case ButtonRelease:
        c.LastTime = e.xbutton.time;
        break;
      case MotionNotify:
        c.LastTime = e.xmotion.time;
        break;
      case PropertyNotify:
        c.LastTime = e.xproperty.time;
        break;
      case MappingNotify:
        XRefreshKeyboardMapping(&e.xmapping);
        return;
      default:
        break;
    }
    if (HandleSelectionEvent(e) || HandleScreenEvent(e)) return;
    auto found = byXid_.find(e.xany.window);
    if (found == byXid_.end()) return;
    const HWND h = found->second;
    THostWindow& hw = windows_.at(h);
    switch (e.type) {
      case Expose:
        MarkDirty(
            h, RECT{e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height});
        break;
      case ConfigureNotify:
        OnConfigure(h, hw, e.xconfigure);
        break;
      case ButtonPress:
      case ButtonRelease:
        OnButton(hw, e.xbutton);
        break;
      case MotionNotify: {
        XEvent next;
        while (XCheckTypedWindowEvent(c.Dpy, hw.Xid, MotionNotify, &next)) e = next;
        Input::MouseMove(ToScreen(hw, e.xmotion.x, e.xmotion.y));
        break;
      }
      case KeyPress:
        OnKeyPress(hw, e.xkey);
        break;
      case KeyRelease:
        OnKeyRelease(e.xkey);
        break;
      case FocusIn:
        if (hw.Ic) XSetICFocus(hw.Ic);
        // Focus changes we asked for earlier are stale once a later one is on its way: following
        // them would activate forms in turn without end.
        if (e.xfocus.mode != NotifyGrab && e.xfocus.mode != NotifyUngrab && e.xfocus.serial >= focusSerial_ &&
            GetActiveWindow() != h && IsWindowEnabled(h))
          SetForegroundWindow(h);
        break;
      case FocusOut:
        if (hw.Ic) XUnsetICFocus(hw.Ic);
        break;
      case ClientMessage:
        if (e.xclient.message_type == c.Atoms.WmProtocols &&
            static_cast<Atom>(e.xclient.data.l[0]) == c.Atoms.WmDeleteWindow)
          PostMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      default:
        break;
    }
  }

  static POINT ToScreen(const THostWindow& hw, int x, int y) {
    return POINT{hw.Rect.Left + x, hw.Rect.Top + y};
  }

  // Another client (a window manager, xdotool) moved or sized the X window. The window manager
  // follows, so that the screen coordinates of input and of the windows it places stay those of
  // the screen; the X window is moved again only when the program refuses the new rectangle
  // (a fixed size, constraints), never to echo what the X server already did.
  void OnConfigure(HWND h, THostWindow& hw, XConfigureEvent e) {
    TConnection& c = Conn();
    // Of a burst (a drag by a window manager) only the latest counts.
    XEvent next;
    while (XCheckTypedWindowEvent(c.Dpy, hw.Xid, ConfigureNotify, &next)) e = next.xconfigure;
    RECT reported{e.x, e.y, e.x + e.width, e.y + e.height};
    if (!e.send_event) {
      // A real event is relative to the parent, which a window manager may have made its frame:
      // ask the server where the window is on the root now.
      XWindowAttributes attrs{};
      Window child = 0;
      int x = 0, y = 0;
      if (!XGetWindowAttributes(c.Dpy, hw.Xid, &attrs) ||
          !XTranslateCoordinates(c.Dpy, hw.Xid, c.Root, 0, 0, &x, &y, &child))
        return;
      reported = RECT{x, y, x + attrs.width, y + attrs.height};
    }
    if (SameRect(reported, hw.Rect)) return;
    const bool resized = reported.Width() != hw.Rect.Width() || reported.Height() != hw.Rect.Height();
    hw.Rect = reported;
    if (resized) Reshape(h, hw);
    RECT current{};
    GetWindowRect(h, &current);
    if (SameRect(current, reported)) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (current.Width() == reported.Width() && current.Height() == reported.Height()) flags |= SWP_NOSIZE;
    // Sync, called back as the window moves, finds the X window already there; if the program
    // kept another rectangle, Sync moves the X window to it.
    SetWindowPos(h, nullptr, reported.Left, reported.Top, reported.Width(), reported.Height(), flags);
  }

  void OnButton(const THostWindow& hw, const XButtonEvent& e) {
    const POINT pt = ToScreen(hw, e.x, e.y);
    const bool down = e.type == ButtonPress;
    int vk = 0;
    switch (e.button) {
      case Button1:
        vk = VK_LBUTTON;
        break;
      case Button2:
        vk = VK_MBUTTON;
        break;
      case Button3:
        vk = VK_RBUTTON;
        break;
      case Button4:
      case Button5:
        if (down) Input::MouseWheel(e.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA, pt);
        return;
      case 8:
        vk = VK_XBUTTON1;
        break;
      case 9:
        vk = VK_XBUTTON2;
        break;
      default:
        return;
    }
    Input::MouseMove(pt);
    if (down)
      Input::MouseDown(vk, pt);
    else
      Input::MouseUp(vk, pt);
  }

  void OnKeyPress(const THostWindow& hw, XKeyEvent& e) {
    char buffer[128];
    KeySym sym = NoSymbol;
    std::string text;
    if (hw.Ic) {
      Status status = 0;
      const int n = Xutf8LookupString(hw.Ic, &e, buffer, sizeof buffer - 1, &sym, &status);
      if ((status == XLookupChars || status == XLookupBoth) && n > 0)
        text.assign(buffer, static_cast<size_t>(n));
    } else {
      const int n = XLookupString(&e, buffer, sizeof buffer - 1, &sym, nullptr);
      for (int i = 0; i < n; ++i) Utf8Append(text, static_cast<unsigned char>(buffer[i]));  // Latin-1
    }
    // Without an input method (a C locale) XLookupString gives nothing for a character outside
    // Latin-1; its keysym names the code point, as tools that type any text rely on.
    constexpr KeySym kUnicodeKeysyms = 0x01000000;
    if (text.empty() && sym > kUnicodeKeysyms + 0xFF && sym <= kUnicodeKeysyms + 0x10FFFF)
      Utf8Append(text, static_cast<char32_t>(sym - kUnicodeKeysyms));
    int vk = VirtualKeyOf(XLookupKeysym(&e, 0));
    if (!vk) vk = VirtualKeyOf(sym);
    std::vector<char32_t> chars;
    for (size_t i = 0; i < text.size();) {
      char32_t cp = 0;
      int len = 1;
      Utf8Decode(text, i, cp, len);
      chars.push_back(cp);
      i += static_cast<size_t>(len);
    }
    // Control characters come from the key and the key state, as the layout makes them.
    auto printable = [](char32_t ch) { return ch >= 0x20 && ch != 0x7F; };
    size_t next = 0;
    if (vk) {
      const char32_t first = !chars.empty() && printable(chars[0]) ? chars[0] : 0;
      Input::KeyDown(vk, first);
      next = first ? 1 : chars.size();
    }
    for (; next < chars.size(); ++next)
      if (printable(chars[next])) Input::Char(chars[next]);
  }

  void OnKeyRelease(XKeyEvent& e) {
    Display* dpy = Conn().Dpy;
    // Auto-repeat arrives as release + press at the same time: only the presses count.
    if (XEventsQueued(dpy, QueuedAfterReading)) {
      XEvent next;
      XPeekEvent(dpy, &next);
      if (next.type == KeyPress && next.xkey.keycode == e.keycode && next.xkey.time == e.time) return;
    }
    if (int vk = VirtualKeyOf(XLookupKeysym(&e, 0))) Input::KeyUp(vk);
  }

  Visual* visual_ = nullptr;
  int depth_ = 0;
  Colormap colormap_ = 0;
  bool ownColormap_ = false;
  GC gc_ = nullptr;
  XIM im_ = nullptr;
  TChannel red_, green_, blue_;
  int observer_ = 0;
  int surfaceObserver_ = 0;
  // Serial of our last focus request; older FocusIn events are not followed.
  unsigned long focusSerial_ = 0;
  std::map<HWND, THostWindow> windows_;
  std::map<Window, HWND> byXid_;
};

THost& Host() {
  static auto* host = new THost;
  return *host;
}

}  // namespace

bool StartDisplayHost() {
  return Host().Start();
}

void StopDisplayHost() {
  Host().Stop();
}

bool DisplayHostRunning() {
  return Host().Running();
}

int RunHostMessageLoop() {
  return RunMessageLoop();
}
