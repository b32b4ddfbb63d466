// The caret. It blinks on a thread timer (no WM_TIMER reaches the window's procedure) and is
// drawn by inversion, so every draw is undone by drawing again at the same place.
#include "platform/win/Caret.h"

#include "platform/win/Painting.h"
#include "platform/win/WindowManager.h"

namespace {

constexpr UINT kDefaultBlinkTime = 530;

struct TCaret {
  HWND Hwnd = nullptr;
  HBITMAP Bitmap = nullptr;  // nullptr: solid; CaretGrayBitmap(): gray
  int Width = 0;
  int Height = 0;
  POINT Pos{};
  int HideCount = 0;
  bool Drawn = false;
  UINT_PTR Timer = 0;
};

struct TCaretState {
  TCaret Caret;
  UINT BlinkTime = kDefaultBlinkTime;
  bool Observing = false;
};

TCaretState& State() {
  static auto* s = new TCaretState;
  return *s;
}

TCaret& Caret() {
  return State().Caret;
}

// Inverts the caret's rectangle in its window; the one place the caret touches pixels.
void InvertCaret(const TCaret& c) {
  HDC dc = GetDC(c.Hwnd);
  if (!dc) return;
  if (c.Bitmap && c.Bitmap != CaretGrayBitmap()) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, c.Bitmap);
    if (old) {
      BitBlt(dc, c.Pos.X, c.Pos.Y, c.Width, c.Height, mem, 0, 0, SRCINVERT);
      SelectObject(mem, old);
    }
    DeleteDC(mem);
  } else if (c.Bitmap) {
    HBRUSH gray = CreateSolidBrush(RGB(128, 128, 128));
    HGDIOBJ old = SelectObject(dc, gray);
    PatBlt(dc, c.Pos.X, c.Pos.Y, c.Width, c.Height, PATINVERT);
    SelectObject(dc, old);
    DeleteObject(gray);
  } else {
    PatBlt(dc, c.Pos.X, c.Pos.Y, c.Width, c.Height, DSTINVERT);
  }
  ReleaseDC(c.Hwnd, dc);
}

void Toggle() {
  TCaret& c = Caret();
  if (!c.Hwnd) return;
  InvertCaret(c);
  c.Drawn = !c.Drawn;
}

void Erase() {
  if (Caret().Drawn) Toggle();
}

void StopBlinking() {
  TCaret& c = Caret();
  if (c.Timer) KillTimer(nullptr, c.Timer);
  c.Timer = 0;
}

void StartBlinking() {
  TCaret& c = Caret();
  c.Timer = SetTimer(nullptr, c.Timer, State().BlinkTime, [](HWND, UINT, UINT_PTR, DWORD) {
    if (Caret().HideCount == 0) Toggle();
  });
}

// Shows the caret in the "on" phase and restarts the blink from there.
void DrawAndRestart() {
  if (!Caret().Drawn) Toggle();
  StartBlinking();
}

void Forget() {
  StopBlinking();
  Caret() = TCaret{};
}

void ObserveDestruction() {
  TCaretState& s = State();
  if (s.Observing) return;
  s.Observing = true;
  win_internal::AddWindowObserver([](const win_internal::TWindowNotice& n) {
    if (n.Event == win_internal::TWindowEvent::Destroyed && n.Hwnd && n.Hwnd == Caret().Hwnd) Forget();
  });
}

bool Owns(HWND hwnd) {
  const TCaret& c = Caret();
  return c.Hwnd && (!hwnd || hwnd == c.Hwnd);
}

}  // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
  win_internal::TWnd* w = win_internal::Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  ObserveDestruction();
  DestroyCaret();
  TCaret& c = Caret();
  if (bitmap && bitmap != CaretGrayBitmap()) {
    BITMAP bm{};
    if (!GetObject(bitmap, sizeof bm, &bm)) return FALSE;
    width = bm.bmWidth;
    height = bm.bmHeight;
  }
  c.Hwnd = hwnd;
  c.Bitmap = bitmap;
  c.Width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.Height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  c.HideCount = 1;
  return TRUE;
}

BOOL DestroyCaret() {
  if (!Caret().Hwnd) return FALSE;
  Erase();
  Forget();
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  if (!Owns(hwnd)) return FALSE;
  TCaret& c = Caret();
  if (c.HideCount++ == 0) {
    Erase();
    StopBlinking();
  }
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  if (!Owns(hwnd)) return FALSE;
  TCaret& c = Caret();
  if (c.HideCount == 0) return TRUE;
  if (--c.HideCount == 0) DrawAndRestart();
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  TCaret& c = Caret();
  if (!c.Hwnd) return FALSE;
  if (c.Pos.X == x && c.Pos.Y == y) return TRUE;
  Erase();
  c.Pos = POINT{x, y};
  if (c.HideCount == 0) DrawAndRestart();
  return TRUE;
}

BOOL GetCaretPos(POINT* point) {
  if (!point) return FALSE;
  *point = Caret().Pos;
  return TRUE;
}

UINT GetCaretBlinkTime() {
  return State().BlinkTime;
}

BOOL SetCaretBlinkTime(UINT ms) {
  State().BlinkTime = ms;
  if (Caret().Timer) StartBlinking();
  return TRUE;
}

HWND GetCaretWindow() {
  return Caret().Hwnd;
}

bool IsCaretDrawn() {
  return Caret().Drawn;
}
