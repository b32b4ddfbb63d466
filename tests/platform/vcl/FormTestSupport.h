#pragma once
// Shared set-up for the form, application, screen, hint and dialog tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

// The focus messages TLogControls saw; cleared for each test.
inline std::vector<std::string>& FocusLog() {
  static std::vector<std::string> log;
  return log;
}

class VclFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    FocusLog().clear();
  }
  void TearDown() override { ResetVcl(); }

  // A shown form at (100, 100), 300 x 200, without a description.
  static TForm* NewShownForm(const std::string& Caption = "Form") {
    auto* f = new TForm(Application, 0);
    f->SetBounds(100, 100, 300, 200);
    f->SetCaption(Caption);
    f->Show();
    Application->ProcessMessages();
    return f;
  }

  static TPoint CenterOf(TControl* c) { return c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2}); }
};

// A focusable windowed control that logs its CM_ENTER / CM_EXIT into FocusLog when asked.
class TLogControl : public TWinControl {
  RTL_CLASS(TLogControl, TWinControl)
 public:
  explicit TLogControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 40, 20);
  }
  void CMEnter(TMessage& Message) override {
    if (logging) FocusLog().push_back("enter " + Name());
    inherited::CMEnter(Message);
  }
  void CMExit(TMessage& Message) override {
    if (logging) FocusLog().push_back("exit " + Name());
    inherited::CMExit(Message);
  }
  bool logging = false;
};
inline RTL_IMPLEMENT_CLASS(TLogControl)
