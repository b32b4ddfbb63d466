// Moving and sizing a window with the mouse, from the default window procedure: a press on the
// caption or a sizing border becomes SC_MOVE or SC_SIZE, which runs a loop of its own until the
// button goes up (Escape puts the window back). Also the caption double-click, WM_SETREDRAW and
// switching between top-level windows with SC_NEXTWINDOW / SC_PREVWINDOW.
#include <algorithm>
#include <cstdlib>

#include "platform/win/PaintingInternal.h"

namespace win_internal {
namespace {

// The border codes of WM_SIZING and of SC_SIZE's low four bits.
constexpr int kWmszLeft = 1, kWmszRight = 2, kWmszTop = 3, kWmszTopLeft = 4, kWmszTopRight = 5,
              kWmszBottom = 6, kWmszBottomLeft = 7, kWmszBottomRight = 8;
constexpr int kKeyStep = 8;  // pixels an arrow key moves the pointer in the loop

TDefHandler& Previous(UINT msg) {
  static auto* ncDown = new TDefHandler;
  static auto* ncDbl = new TDefHandler;
  static auto* sysCommand = new TDefHandler;
  static auto* setRedraw = new TDefHandler;
  static auto* cancelMode = new TDefHandler;
  switch (msg) {
    case WM_NCLBUTTONDOWN:
      return *ncDown;
    case WM_NCLBUTTONDBLCLK:
      return *ncDbl;
    case WM_SYSCOMMAND:
      return *sysCommand;
    case WM_SETREDRAW:
      return *setRedraw;
    default:
      return *cancelMode;
  }
}

LRESULT PassOn(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const TDefHandler& prev = Previous(msg);
  return prev ? prev(h, msg, w, l) : CoreDefWindowProc(h, msg, w, l);
}

// The window a running loop tracks; WM_CANCELMODE to it ends the loop.
struct TLoopState {
  HWND Hwnd = nullptr;
  bool Cancelled = false;
};
TLoopState& Loop() {
  static TLoopState state;
  return state;
}

bool HasLeft(int border) {
  return border == kWmszLeft || border == kWmszTopLeft || border == kWmszBottomLeft;
}
bool HasRight(int border) {
  return border == kWmszRight || border == kWmszTopRight || border == kWmszBottomRight;
}
bool HasTop(int border) {
  return border == kWmszTop || border == kWmszTopLeft || border == kWmszTopRight;
}
bool HasBottom(int border) {
  return border == kWmszBottom || border == kWmszBottomLeft || border == kWmszBottomRight;
}

// The original rectangle with the dragged edges moved by (dx, dy), kept within the tracking
// limits with the opposite edges anchored.
RECT SizedRect(const RECT& orig, int border, int dx, int dy, const MINMAXINFO& mmi) {
  RECT r = orig;
  if (HasLeft(border)) r.Left += dx;
  if (HasRight(border)) r.Right += dx;
  if (HasTop(border)) r.Top += dy;
  if (HasBottom(border)) r.Bottom += dy;
  const int minX = std::max<int>(0, mmi.ptMinTrackSize.X), minY = std::max<int>(0, mmi.ptMinTrackSize.Y);
  const int maxX = std::max<int>(minX, mmi.ptMaxTrackSize.X),
            maxY = std::max<int>(minY, mmi.ptMaxTrackSize.Y);
  const int cx = std::clamp<int>(r.Right - r.Left, minX, maxX);
  const int cy = std::clamp<int>(r.Bottom - r.Top, minY, maxY);
  if (HasLeft(border))
    r.Left = r.Right - cx;
  else
    r.Right = r.Left + cx;
  if (HasTop(border))
    r.Top = r.Bottom - cy;
  else
    r.Bottom = r.Top + cy;
  return r;
}

// Places the window at a screen rectangle.
void PlaceAt(HWND h, const RECT& screen, bool sizing) {
  RECT r = screen;
  if (HWND parent = GetAncestor(h, GA_PARENT); parent && parent != GetDesktopWindow())
    MapWindowPoints(nullptr, parent, &r);
  SetWindowPos(h, nullptr, r.Left, r.Top, r.Width(), r.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | (sizing ? 0 : SWP_NOSIZE));
}

// A caption press only becomes a move once the pointer leaves the drag rectangle; a release
// before that stays in the queue for the window. Answers the point the drag starts from.
bool DragStarts(HWND h, POINT start, POINT& moved) {
  const int dx = GetSystemMetrics(SM_CXDRAG), dy = GetSystemMetrics(SM_CYDRAG);
  for (;;) {
    if (!Find(h)) return false;
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP || msg.message == WM_QUIT) return false;
    PeekMessage(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
      if (std::abs(msg.pt.X - start.X) > dx / 2 || std::abs(msg.pt.Y - start.Y) > dy / 2) {
        moved = msg.pt;
        return true;
      }
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return false;
    if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
        (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
        (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK))
      continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

// border 0 moves the window; 1..8 size it by that border.
void RunSizeMoveLoop(HWND h, int border, POINT start) {
  TWnd* w = Find(h);
  if (!w || (w->Style & (WS_MAXIMIZE | WS_MINIMIZE)) || !w->Enabled()) return;
  if (GetKeyState(VK_LBUTTON) >= 0) GetCursorPos(&start);  // from the keyboard: the pointer moves
  const bool sizing = border != 0;
  const bool keyboard = GetKeyState(VK_LBUTTON) >= 0;
  POINT firstMove = start;
  if (!sizing && !keyboard && !DragStarts(h, start, firstMove)) return;
  w = Find(h);
  if (!w) return;
  const MINMAXINFO mmi = sizing ? QueryMinMaxInfo(*w) : MINMAXINFO{};
  RECT orig;
  GetWindowRect(h, &orig);

  TLoopState saved = Loop();
  Loop() = TLoopState{h, false};
  SendMessage(h, WM_ENTERSIZEMOVE, 0, 0);
  if (Find(h)) SetCapture(h);

  POINT at = start;
  bool done = false, restore = false;
  auto follow = [&](POINT p) {
    at = p;
    RECT r = orig;
    if (sizing) {
      r = SizedRect(orig, border, p.X - start.X, p.Y - start.Y, mmi);
      SendMessage(h, WM_SIZING, static_cast<WPARAM>(border), reinterpret_cast<LPARAM>(&r));
    } else {
      OffsetRect(r, p.X - start.X, p.Y - start.Y);
      SendMessage(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    }
    if (Find(h)) PlaceAt(h, r, sizing);
  };

  if (Find(h) && (firstMove.X != start.X || firstMove.Y != start.Y)) follow(firstMove);
  while (!done) {
    if (!Find(h) || GetCapture() != h || Loop().Cancelled) break;
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
        if (msg.pt.X != at.X || msg.pt.Y != at.Y) follow(msg.pt);
        continue;
      case WM_LBUTTONUP:
      case WM_NCLBUTTONUP:
      case WM_LBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
        // A press only ends a loop the keyboard started.
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP || keyboard) done = true;
        continue;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        switch (msg.wParam) {
          case VK_ESCAPE:
            restore = true;
            done = true;
            break;
          case VK_RETURN:
            done = true;
            break;
          case VK_LEFT:
            follow(POINT{at.X - kKeyStep, at.Y});
            break;
          case VK_RIGHT:
            follow(POINT{at.X + kKeyStep, at.Y});
            break;
          case VK_UP:
            follow(POINT{at.X, at.Y - kKeyStep});
            break;
          case VK_DOWN:
            follow(POINT{at.X, at.Y + kKeyStep});
            break;
          default:
            break;
        }
        continue;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_CHAR:
      case WM_SYSCHAR:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
      case WM_NCRBUTTONDOWN:
      case WM_NCRBUTTONUP:
        continue;  // the loop owns the mouse and the keyboard
      default:
        break;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }

  Loop() = saved;
  if (!Find(h)) return;
  if (restore) PlaceAt(h, orig, sizing);
  if (GetCapture() == h) ReleaseCapture();
  if (Find(h)) SendMessage(h, WM_EXITSIZEMOVE, 0, 0);
}

LRESULT OnNcLButtonDown(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto hit = static_cast<LRESULT>(wParam);
  if (hit == HTCAPTION) {
    SendMessage(h, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
    return 0;
  }
  if (hit >= HTSIZEFIRST && hit <= HTSIZELAST) {
    SendMessage(h, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(hit - HTSIZEFIRST + 1), lParam);
    return 0;
  }
  return PassOn(h, msg, wParam, lParam);
}

LRESULT OnNcLButtonDblClk(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (static_cast<LRESULT>(wParam) != HTCAPTION) return PassOn(h, msg, wParam, lParam);
  TWnd* w = Find(h);
  if (!w) return 0;
  if (w->Style & (WS_MAXIMIZE | WS_MINIMIZE))
    SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, lParam);
  else if (w->Style & WS_MAXIMIZEBOX)
    SendMessage(h, WM_SYSCOMMAND, SC_MAXIMIZE, lParam);
  return 0;
}

bool CanSwitchTo(const TWnd& w) {
  return w.Visible() && w.Enabled() && !(w.ExStyle & WS_EX_TOOLWINDOW) && !w.Owner;
}

void SwitchWindow(bool next) {
  std::vector<TWnd*> candidates;
  for (TWnd* top : Desktop().Children)
    if (CanSwitchTo(*top)) candidates.push_back(top);
  if (candidates.size() < 2) return;
  TWnd* current = Find(FocusState().Active);
  HWND target = nullptr;
  if (next) {
    // The active window goes to the bottom, so repeating walks through them all.
    auto it = std::find(candidates.begin(), candidates.end(), current);
    target = (it == candidates.end() || it + 1 == candidates.end()) ? candidates.front()->Handle
                                                                    : (*(it + 1))->Handle;
    if (current && current->Handle != target)
      SetWindowPos(current->Handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    target = candidates.back()->Handle;
  }
  if (Find(target)) {
    SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetActiveWindow(target);
  }
}

LRESULT OnSysCommand(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WPARAM cmd = wParam & 0xFFF0;
  if (cmd != SC_MOVE && cmd != SC_SIZE && cmd != SC_NEXTWINDOW && cmd != SC_PREVWINDOW)
    return PassOn(h, msg, wParam, lParam);
  if (CallHooks(WH_CBT, HCBT_SYSCOMMAND, wParam, lParam)) return 0;
  if (cmd == SC_NEXTWINDOW || cmd == SC_PREVWINDOW) {
    SwitchWindow(cmd == SC_NEXTWINDOW);
    return 0;
  }
  int border = 0;
  if (cmd == SC_SIZE) {
    border = static_cast<int>(wParam & 0xF);
    if (border < kWmszLeft || border > kWmszBottomRight) return 0;
  }
  RunSizeMoveLoop(h, border, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  return 0;
}

LRESULT OnCancelMode(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (Loop().Hwnd && Loop().Hwnd == h) Loop().Cancelled = true;
  return PassOn(h, msg, wParam, lParam);
}

LRESULT OnSetRedraw(HWND h, UINT, WPARAM wParam, LPARAM) {
  TWnd* w = Find(h);
  if (!w) return 0;
  PaintData(*w).NoRedraw = wParam == FALSE;
  return 0;
}

}  // namespace

bool RedrawSuppressed(const TWnd& w) {
  for (const TWnd* p = &w; p && !p->IsRoot; p = p->Parent)
    if (const auto* d = p->Get<TPaintData>(TExtSlot::Paint); d && d->NoRedraw) return true;
  return false;
}

void InstallSizeMoveHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  Previous(WM_NCLBUTTONDOWN) = SetDefWindowProcHandler(WM_NCLBUTTONDOWN, OnNcLButtonDown);
  Previous(WM_NCLBUTTONDBLCLK) = SetDefWindowProcHandler(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk);
  Previous(WM_SYSCOMMAND) = SetDefWindowProcHandler(WM_SYSCOMMAND, OnSysCommand);
  Previous(WM_SETREDRAW) = SetDefWindowProcHandler(WM_SETREDRAW, OnSetRedraw);
  Previous(WM_CANCELMODE) = SetDefWindowProcHandler(WM_CANCELMODE, OnCancelMode);
}

}  // namespace win_internal
