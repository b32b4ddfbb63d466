// The scroll bar tracking loop, and DefWindowProc's WM_NCLBUTTONDOWN and WM_NCLBUTTONDBLCLK on a
// window scroll bar.
//
// The loop takes its own messages rather than dispatching them: the mouse (captured by the
// bar's window) and the auto-repeat timer drive the bar; everything else is dispatched as in
// any modal loop. Each message first goes to the message-filter hooks with MSGF_SCROLLBAR.
#include <algorithm>

#include "platform/win/PaintingInternal.h"
#include "platform/win/ScrollBarImpl.h"

namespace win_internal {
namespace {

constexpr UINT_PTR kRepeatTimer = 0xFFFE;  // clear of the small ids programs use

WORD LineOrPageCode(TScrollPart part) {
  switch (part) {
    case spLineUp:
      return SB_LINEUP;
    case spLineDown:
      return SB_LINEDOWN;
    case spPageUp:
      return SB_PAGEUP;
    default:
      return SB_PAGEDOWN;
  }
}

struct TTrackLoop {
  const TScrollTracker& T;
  TScrollPart Part = spNone;
  int GrabOffset = 0;  // cursor offset from the thumb's leading edge
  int LastTrack = 0;
  bool Done = false;

  bool Alive() const { return IsWindow(T.Capture) && IsWindow(T.Notify) && T.State() != nullptr; }

  bool Layout(TScrollBarLayout& l) {
    RECT r;
    TScrollBarState* s = T.State();
    if (!s || !T.BarRect(r)) return false;
    l = ScrollBarLayout(r, T.Vertical, *s, IsWindowEnabled(T.Capture) != FALSE);
    return true;
  }

  void Send(WORD code, int pos = 0) {
    const WPARAM wp = MAKEWPARAM(code, code == SB_THUMBTRACK || code == SB_THUMBPOSITION ? pos : 0);
    SendMessage(T.Notify, T.Vertical ? WM_VSCROLL : WM_HSCROLL, wp, T.Control);
  }

  void SetPressed(int part) {
    if (TScrollBarState* s = T.State()) {
      if (s->PressedPart == part) return;
      s->PressedPart = part;
      if (T.Redraw) T.Redraw();
    }
  }

  // Line and page parts act while the cursor is on them (a page part until the thumb reaches it).
  void Repeat(POINT screen) {
    TScrollBarLayout l;
    if (!Layout(l)) return;
    const bool on = HitScrollPart(l, T.Vertical, screen) == Part;
    SetPressed(on ? Part : spNone);
    if (on) Send(LineOrPageCode(Part));
  }

  void Hover(POINT screen) {
    TScrollBarLayout l;
    if (Layout(l)) SetPressed(HitScrollPart(l, T.Vertical, screen) == Part ? Part : spNone);
  }

  void Drag(POINT screen) {
    TScrollBarLayout l;
    TScrollBarState* s = T.State();
    if (!s || !Layout(l)) return;
    const int at = T.Vertical ? screen.Y - l.Bar.Top : screen.X - l.Bar.Left;
    const int pos = PosFromThumb(l, T.Vertical, *s, at - GrabOffset);
    if (pos == LastTrack) return;
    LastTrack = pos;
    s->TrackPos = pos;
    if (T.Redraw) T.Redraw();
    Send(SB_THUMBTRACK, pos);
  }

  void ButtonUp() {
    KillTimer(T.Capture, kRepeatTimer);
    if (Part == spThumb) Send(SB_THUMBPOSITION, LastTrack);
    Finish();
  }

  void Finish() {
    if (Done) return;
    Done = true;
    KillTimer(T.Capture, kRepeatTimer);
    if (TScrollBarState* s = T.State()) {
      s->Tracking = false;
      s->TrackPos = s->Pos;
      s->PressedPart = spNone;
      if (T.Redraw) T.Redraw();
    }
    if (GetCapture() == T.Capture) ReleaseCapture();
    if (IsWindow(T.Notify)) Send(SB_ENDSCROLL);
  }
};

}  // namespace

void TrackScrollBar(const TScrollTracker& tracker, POINT screen) {
  TTrackLoop loop{tracker};
  TScrollBarLayout l;
  TScrollBarState* s = tracker.State();
  if (!s || !loop.Layout(l)) return;
  loop.Part = HitScrollPart(l, tracker.Vertical, screen);
  if (loop.Part == spNone) return;
  if ((loop.Part == spLineUp && (s->Disabled & ESB_DISABLE_LTUP)) ||
      (loop.Part == spLineDown && (s->Disabled & ESB_DISABLE_RTDN)))
    return;
  if (!l.HasThumb) return;  // disabled or nothing to scroll

  SetCapture(tracker.Capture);
  if (loop.Part == spThumb) {
    const int at = tracker.Vertical ? screen.Y - l.Bar.Top : screen.X - l.Bar.Left;
    loop.GrabOffset = at - l.ThumbStart;
    s->Tracking = true;
    s->TrackPos = s->Pos;
    loop.LastTrack = s->Pos;
    loop.SetPressed(spThumb);
  } else {
    loop.SetPressed(loop.Part);
    loop.Send(LineOrPageCode(loop.Part));
    if (!loop.Alive()) return loop.Finish();
    SetTimer(tracker.Capture, kRepeatTimer, kScrollFirstDelay);
  }

  bool firstRepeat = true;
  while (!loop.Done) {
    if (!loop.Alive() || GetCapture() != tracker.Capture) break;
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (CallMsgFilter(&msg, MSGF_SCROLLBAR)) continue;
    switch (msg.message) {
      case WM_LBUTTONUP:
      case WM_NCLBUTTONUP:
        loop.ButtonUp();
        continue;
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
        if (loop.Part == spThumb)
          loop.Drag(msg.pt);
        else
          loop.Hover(msg.pt);
        continue;
      case WM_TIMER:
        if (msg.hwnd == tracker.Capture && msg.wParam == kRepeatTimer) {
          if (firstRepeat) {
            firstRepeat = false;
            SetTimer(tracker.Capture, kRepeatTimer, kScrollRepeatDelay);
          }
          POINT p;
          GetCursorPos(&p);
          loop.Repeat(p);
          continue;
        }
        break;
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        continue;  // the bar keeps the mouse and the keyboard until the button goes up
      default:
        break;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  loop.Finish();
}

namespace {

TDefHandler& Previous(UINT msg) {
  static auto* down = new TDefHandler;
  static auto* dblClk = new TDefHandler;
  return msg == WM_NCLBUTTONDOWN ? *down : *dblClk;
}

// A press on a window scroll bar tracks it; a second quick press (WM_NCLBUTTONDBLCLK) is just
// another press, so fast clicks on an arrow each scroll.
LRESULT OnNcLButtonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wParam != static_cast<WPARAM>(HTVSCROLL) && wParam != static_cast<WPARAM>(HTHSCROLL)) {
    if (Previous(msg)) return Previous(msg)(hwnd, msg, wParam, lParam);
    return CoreDefWindowProc(hwnd, msg, wParam, lParam);
  }
  TWnd* w = Find(hwnd);
  if (!w || !w->Enabled()) return 0;
  const int bar = wParam == static_cast<WPARAM>(HTVSCROLL) ? SB_VERT : SB_HORZ;
  TScrollTracker t;
  t.Capture = hwnd;
  t.Notify = hwnd;
  t.Vertical = bar == SB_VERT;
  t.BarRect = [hwnd, bar](RECT& r) {
    TWnd* win = Find(hwnd);
    if (!win) return false;
    r = WindowScrollBarRect(*win, bar);
    const RECT screen = ScreenRect(*win);
    OffsetRect(r, screen.Left, screen.Top);
    return !IsRectEmpty(r);
  };
  t.State = [hwnd, bar]() -> TScrollBarState* {
    TWnd* win = Find(hwnd);
    return win ? &WindowScrollBar(*win, bar) : nullptr;
  };
  t.Redraw = [hwnd, bar] {
    if (TWnd* win = Find(hwnd)) RedrawWindowScrollBar(*win, bar);
  };
  TrackScrollBar(t, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  return 0;
}

}  // namespace

void InstallScrollBarHandlers() {
  Previous(WM_NCLBUTTONDOWN) = SetDefWindowProcHandler(WM_NCLBUTTONDOWN, OnNcLButtonDown);
  Previous(WM_NCLBUTTONDBLCLK) = SetDefWindowProcHandler(WM_NCLBUTTONDBLCLK, OnNcLButtonDown);
}

}  // namespace win_internal
