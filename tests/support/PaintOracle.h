#pragma once
// The paint oracle: after any input, what a window shows (its frame, client area and child
// windows, as its top-level surface holds them) must equal a full repaint of the same state,
// pixel for pixel. Incremental painting (ScrollWindow, partial invalidation, XOR focus frames,
// the caret) is where pictures go stale; a fresh paint of everything is the reference.
//
// Use: drive the window through real input, pump the messages, call Check. A mismatch comes
// back as a report and as PNG files next to the running program; the window is then repainted
// whole, so the next step starts from a sound picture.
//
// Built on public entry points only; no test framework, so fuzz targets can use it too.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/Windows.h"

namespace test_support {

// Pixels of one window, 0x00RRGGBB, row by row.
struct TWindowPixels {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  bool operator==(const TWindowPixels&) const = default;
};

// The window's rectangle (frame included) as its top-level surface holds it; empty when the
// window is hidden or has no surface. Parts outside the surface are left out.
TWindowPixels CaptureWindowPixels(HWND Window);

// Invalidates all of the window (frame and child windows included) and paints it at once.
void RepaintWholeWindow(HWND Window);

// Where two pictures of the same size differ.
struct TPixelDifference {
  int Count = 0;        // differing pixels
  RECT Bounds{};        // their bounding box
  POINT First{};        // the first in row order
  uint32_t Actual = 0;  // the pixels there
  uint32_t Expected = 0;
};
TPixelDifference ComparePixels(const TWindowPixels& Actual, const TWindowPixels& Expected);

// The directory of the running program, with a trailing slash ("" when unknown).
std::string ProgramDirectory();

class TPaintOracle {
 public:
  // Name prefixes the PNG files a mismatch writes: <Name>-actual.png, <Name>-expected.png
  // and <Name>-diff.png (differing pixels red on a dimmed copy of the expected picture).
  TPaintOracle(HWND Window, std::string Name);

  // Compares the window's picture with a full repaint. Answers "" when they are equal, else a
  // report of the difference naming the PNG files. A shown caret is hidden for the comparison
  // and shown again afterwards (its blink is not part of the picture).
  std::string Check();

  // Checks done and mismatches found.
  int Checks() const { return checks_; }
  int Mismatches() const { return mismatches_; }
  // Whether a mismatch writes PNG files (on by default).
  void SetWritePictures(bool Value) { writePictures_ = Value; }

 private:
  HWND window_;
  std::string name_;
  bool writePictures_ = true;
  int checks_ = 0;
  int mismatches_ = 0;
};

}  // namespace test_support
