// Pictures of windows, taken from inside the modal loop that shows them.
#include "examples/demo/DemoPictures.h"

#include <cstdio>
#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Forms.h"
#include "platform/win/MenuApi.h"
#include "platform/win/Painting.h"
#include "platform/win/WindowManager.h"

namespace {

// Virtual time given to the skin's timers (activation, caption poll, hover) before a picture.
constexpr uint32_t kSettleMs = 300;
// How often a window that has not appeared yet is looked for again, and how long apart.
constexpr int kFindAttempts = 10;
constexpr uint32_t kFindRetryMs = 100;

bool Write(const std::filesystem::path& File, HWND Window) {
  FlushPaint();
  if (!Window || !IsWindowVisible(Window)) return false;
  try {
    WriteWindowPng(File.string(), Window);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", File.string().c_str(), e.Message().c_str());
    return false;
  }
  std::printf("  %s\n", File.string().c_str());
  return true;
}

void Close(HWND Window) {
  if (GetClassName(Window) == "#32768")
    EndMenu();
  else
    PostMessage(Window, WM_CLOSE, 0, 0);
}

// The step that pictures and closes the window of one Open call. Pending is cleared when Open
// returns, so a step left in the queue (the window never showed) does nothing later.
void ScheduleShot(const std::filesystem::path& File, const std::function<HWND()>& Find,
                  const std::shared_ptr<bool>& Pending, int AttemptsLeft, uint32_t Delay) {
  win_internal::ScheduleStep(
      [=] {
        if (!*Pending) return;
        HWND window = Find();
        if (!window && AttemptsLeft > 1) {
          ScheduleShot(File, Find, Pending, AttemptsLeft - 1, kFindRetryMs);
          return;
        }
        if (window) {
          Write(File, window);
          Close(window);
        } else {
          // Nothing to picture: end whatever loop did open, so the program goes on.
          EndMenu();
        }
        *Pending = false;
      },
      Delay);
}

}  // namespace

HWND OpenMenuWindow() {
  HWND found = nullptr;
  EnumWindows(
      [&](HWND Window, LPARAM) {
        if (IsWindowVisible(Window) && GetClassName(Window) == "#32768") found = Window;
        return found == nullptr;
      },
      0);
  return found;
}

HWND ActiveWindowBesides(HWND Opener) {
  HWND active = GetActiveWindow();
  return active && active != Opener && IsWindowVisible(active) ? active : nullptr;
}

void WriteWindowPictures(const std::filesystem::path& Folder, const std::vector<TDemoWindow>& Windows) {
  std::filesystem::create_directories(Folder);
  for (const TDemoWindow& w : Windows) {
    const std::filesystem::path file = Folder / w.File;
    if (!w.Open) {
      if (!Write(file, w.Window))
        std::fprintf(stderr, "no window to picture for %s\n", file.string().c_str());
      continue;
    }
    auto pending = std::make_shared<bool>(true);
    ScheduleShot(file, w.Find, pending, kFindAttempts, kSettleMs);
    w.Open();
    // Keys that opened nothing are still queued: let them go by before the next window.
    Application->ProcessMessages();
    if (*pending) std::fprintf(stderr, "%s did not appear\n", file.string().c_str());
    *pending = false;
  }
}
