// ResetVcl: every test of the class library starts from a clean program.
#include <vector>

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/WinTesting.h"

std::vector<TCustomFrame*> LiveFramesForReset();

void ResetVcl() {
  ClearMessageDlgAnswers();
  ClearMessageBoxAnswers();
  ResetMsgDlgTexts();
  // Only what nobody else frees: components without an owner or owned by the
  // application (a form owned by another form goes with it).
  auto freeable = [](TComponent* c) { return !c->Owner() || c->Owner() == Application; };
  auto freeOne = [&]() -> bool {
    if (Screen) {
      for (int i = Screen->CustomFormCount() - 1; i >= 0; --i)
        if (freeable(Screen->CustomForms(i))) {
          Screen->CustomForms(i)->Free();
          return true;
        }
      for (int i = Screen->DataModuleCount() - 1; i >= 0; --i)
        if (freeable(Screen->DataModules(i))) {
          Screen->DataModules(i)->Free();
          return true;
        }
    }
    for (TCustomFrame* f : LiveFramesForReset())
      if (freeable(f) && !f->Parent()) {
        f->Free();
        return true;
      }
    return false;
  };
  while (freeOne()) {
  }
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
  WinTesting::ResetWindowManager();
  InitVcl();
}
