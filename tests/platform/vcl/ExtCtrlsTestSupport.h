#pragma once
// A borderless form to host the controls under test, and pixel probes of its surface.
#include <gtest/gtest.h>

#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/support/SurfacePixels.h"

namespace vclext_test {

class THostFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 240, 160);
    form->SetColor(clWhite);
  }
  void ShowAndPaint() {
    if (!form->Visible()) form->Show();
    Application->ProcessMessages();
  }
  // The colour (as a colour reference) at the client point (X, Y) of Control.
  COLORREF Pixel(TControl* Control, int X, int Y) {
    return test_support::ScreenPixel(form->Handle(), Control->ClientToScreen({X, Y}));
  }
  static COLORREF RGBOf(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }
  // Screen point of a control's client point, for scripted input.
  static POINT ScreenOf(TControl* Control, int X, int Y) {
    const TPoint p = Control->ClientToScreen({X, Y});
    return {p.X, p.Y};
  }

  TForm* form = nullptr;
};

// Reads a pixel of a bitmap as a colour reference.
inline COLORREF BitmapPixel(TBitmap* Bitmap, int X, int Y) {
  return ColorToRGB(Bitmap->Canvas()->Pixels(X, Y));
}

}  // namespace vclext_test
