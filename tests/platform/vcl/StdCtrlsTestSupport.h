#pragma once
// A shown form to host the standard controls under test, and helpers to drive them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace stdctrls_test {

class TStdCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(100, 100, 320, 240);
    form->Show();
    Pump();
  }
  void TearDown() override { ResetVcl(); }

  static void Pump() { Application->ProcessMessages(); }

  // A control of class C owned by and placed on the form (or on Parent).
  template <class C>
  C* Make(int Left, int Top, TWinControl* Parent = nullptr) {
    auto* c = new C(form);
    c->SetParent(Parent ? Parent : form);
    c->SetLeft(Left);
    c->SetTop(Top);
    return c;
  }

  static POINT ScreenOf(TControl* Control, int X, int Y) {
    const TPoint p = Control->ClientToScreen(TPoint{X, Y});
    return POINT{p.X, p.Y};
  }
  static DWORD StyleOf(TWinControl* Control) {
    return static_cast<DWORD>(GetWindowLong(Control->Handle(), GWL_STYLE));
  }
  static DWORD ExStyleOf(TWinControl* Control) {
    return static_cast<DWORD>(GetWindowLong(Control->Handle(), GWL_EXSTYLE));
  }

  TForm* form = nullptr;
};

}  // namespace stdctrls_test
