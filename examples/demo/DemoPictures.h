#pragma once
// Headless pictures of the demo's top-level windows, for a person to judge the skin: forms that
// stay open, and windows that live only inside a modal loop (dialogs, message boxes, drop-down,
// context and system menus), pictured while their loop waits and then closed again. Each is
// written as a PNG whose pixels outside the window region are transparent.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/Windows.h"

struct TDemoWindow {
  std::string File;  // file name in the folder
  // A window that stays open, or nullptr when Open shows one.
  HWND Window = nullptr;
  // Shows a window in a modal loop and returns once it is closed; Find answers that window
  // while the loop waits (nullptr while it is not there yet).
  std::function<void()> Open;
  std::function<HWND()> Find;
};

// Writes each window to Folder / File and prints "  <path>" for each picture written; a
// window that did not appear is left out and named on stderr.
void WriteWindowPictures(const std::filesystem::path& Folder, const std::vector<TDemoWindow>& Windows);

// The open menu window (drop-down, context or system menu), or nullptr.
HWND OpenMenuWindow();
// The active window when it is not Opener (the modal dialog Opener's command showed), or nullptr.
HWND ActiveWindowBesides(HWND Opener);
