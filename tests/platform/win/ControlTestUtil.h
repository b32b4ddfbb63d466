#pragma once
// A fixture for the built-in window classes: a shown, active top-level parent whose WM_COMMAND
// notifications are noted as "cmd <id> <code>", and helpers to make controls, feed input and
// record what a control paints.
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/DrawRecorder.h"
#include "platform/win/ControlClasses.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {

class TControlTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    parent_ = Make("parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 400, 300});
    ASSERT_NE(parent_, nullptr);
    Log().Handle("parent", [this](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m == WM_COMMAND) Log().Note("cmd " + std::to_string(LOWORD(w)) + " " + std::to_string(HIWORD(w)));
      if (parentHandler_) return parentHandler_(m, w, l);
      return std::nullopt;
    });
    SetActiveWindow(parent_);
  }

  HWND Control(const char* cls, const std::string& text, DWORD style, RECT r, int id = 5) {
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(),
                          parent_, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), MainInstance(),
                          nullptr);
  }

  // The notes since the last call (the command notifications).
  static std::vector<std::string> Notes() { return Log().Only({}); }

  static POINT ScreenPoint(HWND h, int x, int y) {
    POINT p{x, y};
    ClientToScreen(h, &p);
    return p;
  }
  static void ClickAt(HWND h, int x, int y) {
    WinTesting::Click(ScreenPoint(h, x, y));
    Pump();
  }
  static void Press(int vk) {
    WinTesting::KeyPress(vk);
    Pump();
  }
  // Presses `vk` with a modifier held.
  static void PressWith(int modifier, int vk) {
    Input::KeyDown(modifier);
    WinTesting::KeyPress(vk);
    Input::KeyUp(modifier);
    Pump();
  }

  // What the control paints through WM_PRINTCLIENT into a recorded memory DC.
  static TDrawLog Painted(HWND h) {
    TDrawLog log;
    RECT r;
    GetClientRect(h, &r);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(GetScreenDC(), std::max(1, r.Width()), std::max(1, r.Height()));
    HGDIOBJ old = SelectObject(dc, bm);
    AttachDrawRecorder(dc, &log);
    SendMessage(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    AttachDrawRecorder(dc, nullptr);
    SelectObject(dc, old);
    DeleteObject(bm);
    DeleteDC(dc);
    return log;
  }

  HWND parent_ = nullptr;
  std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> parentHandler_;
};

}  // namespace wintest
