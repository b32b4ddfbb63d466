#pragma once
// A shown form to put common controls on, with scripted input and pixel reads.
#include <gtest/gtest.h>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

class TComCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->SetBounds(20, 20, 420, 320);
  }

  // The mouse leaves the controls while they are still alive.
  void TearDown() override {
    Input::MouseMove(TPoint{0, 0});
    Application->ProcessMessages();
    ResetVcl();
  }

  template <class T>
  T* Make(TWinControl* parent = nullptr) {
    auto* c = new T(form);
    c->SetParent(parent ? parent : form);
    return c;
  }

  void ShowForm() {
    form->Show();
    Application->ProcessMessages();
  }
  void ClickAt(TControl* c, int x, int y) {
    WinTesting::Click(c->ClientToScreen(TPoint{x, y}));
    Application->ProcessMessages();
  }
  void Press(int vk) {
    WinTesting::KeyPress(vk);
    Application->ProcessMessages();
  }
  // A pixel of what the window shows, in its client coordinates.
  COLORREF PixelOf(TWinControl* c, int x, int y) {
    HDC dc = GetDC(c->Handle());
    const COLORREF p = GetPixel(dc, x, y);
    ReleaseDC(c->Handle(), dc);
    return p;
  }

  TForm* form = nullptr;
};
