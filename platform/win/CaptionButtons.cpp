// The close, maximise and minimise buttons of the caption, from the default window procedure.
//
// WM_NCLBUTTONDOWN on HTCLOSE, HTMAXBUTTON or HTMINBUTTON runs a loop of its own while the
// button is held: the window takes the capture, the button is drawn pushed while the pointer is
// over it and raised when it leaves. Releasing over the button sends the system command
// (SC_CLOSE; SC_MAXIMIZE, or SC_RESTORE for a maximised window; SC_MINIMIZE, or SC_RESTORE for
// a minimised one) as WM_SYSCOMMAND, with the release point in lParam; releasing elsewhere, or
// losing the capture (WM_CANCELMODE), does nothing. A button that does not act is not pressed.
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/MenuInternal.h"
#include "platform/win/PaintingInternal.h"

namespace win_internal {
namespace {

// The one press being tracked: there is one mouse.
struct TPress {
  HWND Hwnd = nullptr;
  LRESULT Hit = HTNOWHERE;
  bool Over = false;  // the pointer is over the button: drawn pushed
};

TPress& Press() {
  static TPress press;
  return press;
}

TDefHandler& Previous() {
  static auto* previous = new TDefHandler;
  return *previous;
}

bool IsCaptionButton(LRESULT hit) {
  return hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON;
}

// The button's hit zone in screen coordinates, empty when the window no longer has it.
RECT ButtonScreenRect(const TWnd& w, LRESULT hit) {
  const RECT wr = ScreenRect(w);
  const TNcGeometry g = NcGeometry(w.Style, w.ExStyle, wr, MenuBarHeight(w));
  return hit == HTCLOSE ? g.CloseButton : hit == HTMAXBUTTON ? g.MaxButton : g.MinButton;
}

WPARAM CommandOf(const TWnd& w, LRESULT hit) {
  if (hit == HTCLOSE) return SC_CLOSE;
  if (hit == HTMAXBUTTON) return (w.Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
  return (w.Style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
}

void SetOver(HWND h, bool over) {
  if (Press().Over == over) return;
  Press().Over = over;
  if (TWnd* w = Find(h)) RedrawCaptionButtons(*w);
}

bool IsButtonMessage(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
}

// Answers whether the button was released over it, and where.
bool TrackPress(HWND h, LRESULT hit, POINT& release) {
  for (;;) {
    TWnd* w = Find(h);
    if (!w || GetCapture() != h) return false;
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    switch (msg.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
        SetOver(h, PtInRect(ButtonScreenRect(*w, hit), msg.pt));
        continue;
      case WM_LBUTTONUP:
      case WM_NCLBUTTONUP:
        release = msg.pt;
        return PtInRect(ButtonScreenRect(*w, hit), msg.pt) != FALSE;
      default:
        break;
    }
    // The button keeps the mouse and the keyboard until it goes up.
    if (IsButtonMessage(msg.message) || (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

LRESULT OnNcLButtonDown(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto hit = static_cast<LRESULT>(wParam);
  TWnd* w = Find(h);
  if (!w || !IsCaptionButton(hit)) {
    if (Previous()) return Previous()(h, msg, wParam, lParam);
    return CoreDefWindowProc(h, msg, wParam, lParam);
  }
  if (Press().Hwnd || !CaptionButtonEnabled(*w, hit)) return 0;
  // Only a real press is tracked: without the button held no release would end the loop.
  const POINT start{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (GetKeyState(VK_LBUTTON) >= 0 || !PtInRect(ButtonScreenRect(*w, hit), start)) return 0;

  SetCapture(h);
  if (GetCapture() != h) return 0;
  POINT release = start;
  bool chosen = false;
  {
    TValueRestorer<TPress> restore(Press(), TPress{h, hit, false});
    TScopeExit raise([h] {
      SetOver(h, false);
      if (GetCapture() == h) ReleaseCapture();
    });
    SetOver(h, true);
    chosen = TrackPress(h, hit, release);
  }
  w = Find(h);
  if (chosen && w && CaptionButtonEnabled(*w, hit))
    SendMessage(h, WM_SYSCOMMAND, CommandOf(*w, hit), MAKELPARAM(release.X, release.Y));
  return 0;
}

}  // namespace

bool CaptionButtonEnabled(const TWnd& w, LRESULT hit) {
  switch (hit) {
    case HTCLOSE:
      return !(w.Class->Style & CS_NOCLOSE) && !SystemCommandDisabled(w, SC_CLOSE);
    case HTMAXBUTTON:
      return (w.Style & WS_MAXIMIZEBOX) != 0;
    case HTMINBUTTON:
      return (w.Style & WS_MINIMIZEBOX) != 0;
    default:
      return false;
  }
}

LRESULT PushedCaptionButton(const TWnd& w) {
  const TPress& p = Press();
  return p.Hwnd == w.Handle && p.Over ? p.Hit : HTNOWHERE;
}

void InstallCaptionButtonHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  Previous() = SetDefWindowProcHandler(WM_NCLBUTTONDOWN, OnNcLButtonDown);
}

}  // namespace win_internal
