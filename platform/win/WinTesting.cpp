// Test support for the window manager, built on the raw input entry points and the reset
// functions the window manager's parts offer each other. Only tests and test support (ResetVcl)
// call it.
#include <string>
#include <utility>

#include "platform/win/Input.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WinTesting.h"
#include "platform/win/WindowManager.h"

namespace {

std::u32string DecodeUtf8(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + static_cast<size_t>(len) > s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = len == 1 ? b : b & (0xFF >> (len + 1));
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += static_cast<size_t>(len);
  }
  return out;
}

}  // namespace

namespace WinTesting {

using namespace win_internal;

void Click(POINT screen, int button) {
  Input::MouseMove(screen);
  Input::MouseDown(button, screen);
  Input::MouseUp(button, screen);
}

void KeyPress(int vk) {
  Input::KeyDown(vk);
  Input::KeyUp(vk);
}

void Type(const std::string& utf8) {
  for (char32_t cp : DecodeUtf8(utf8)) {
    const SHORT k = cp == '\n' ? static_cast<SHORT>(VK_RETURN) : VkKeyScan(cp);
    if (k == -1) {
      Input::Char(cp);
      continue;
    }
    const int vk = k & 0xFF;
    const bool shift = (k & 0x100) != 0;
    if (shift) Input::KeyDown(VK_SHIFT);
    KeyPress(vk);
    if (shift) Input::KeyUp(VK_SHIFT);
  }
}

void Schedule(std::function<void()> step, uint32_t delayMs) {
  ScheduleStep(std::move(step), delayMs);
}

size_t ScheduledSteps() {
  return ScheduledStepCount();
}

int BeepCount() {
  return BeepCountValue();
}

void ResetWindowManager() {
  ResetHooks();
  SetEventSource(nullptr);
  ReleaseCapture();
  DestroyAllWindows();
  ResetTimers();
  ResetQueue();
  ResetInput();
  ResetFocusState();
  UnregisterProgramClasses();
  ResetProcessAtoms();
  ResetSystemMetrics();
  ResetSystemParameters();
  ResetBeepCount();
  ResetMessageBoxButtonCaptions();
}

}  // namespace WinTesting

void SetSystemMetricForTest(int index, int value) {
  win_internal::OverrideSystemMetric(index, value);
}

void ResetSystemMetrics() {
  win_internal::RestoreSystemMetrics();
}
