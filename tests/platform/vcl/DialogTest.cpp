// Message dialogs: the TMessageForm, scripted answers and answers given by clicks and keys.
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/WindowManager.h"
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class Dialogs_ : public VclFormTest {};

}  // namespace

TEST_F(Dialogs_, QueuedAnswerIsGivenByTheShownDialog) {
  std::vector<std::string> seen;
  int observer = win_internal::AddWindowObserver([&](const win_internal::TWindowNotice& n) {
    if (n.Event == win_internal::TWindowEvent::Shown) seen.push_back(GetClassName(n.Hwnd));
  });
  PushMessageDlgAnswer(mrYes);
  EXPECT_EQ(MessageDlg("Delete record?", mtConfirmation, mbYesNoCancel, 0), mrYes);
  win_internal::RemoveWindowObserver(observer);
  EXPECT_NE(std::find(seen.begin(), seen.end(), "TMessageForm"), seen.end());
  EXPECT_EQ(Screen->FormCount(), 0);  // freed afterwards
}

TEST_F(Dialogs_, ScriptSeesTheDialogAndMayClickIt) {
  struct Case {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    const char* caption;
    const char* click;
    TModalResult result;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {mtConfirmation, mbYesNoCancel, "Confirm", "No", mrNo, {"Yes", "No", "Cancel"}},
      {mtWarning, TMsgDlgButtons{mbYes, mbNo, mbAll}, "Warning", "All", mrAll, {"Yes", "No", "All"}},
      {mtError, TMsgDlgButtons{mbOK}, "Error", "OK", mrOk, {"OK"}},
      {mtInformation, mbAbortRetryIgnore, "Information", "Retry", mrRetry, {"Abort", "Retry", "Ignore"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    std::string caption, text, className;
    std::vector<std::string> names;
    SetMessageDlgScript([&](TMessageForm& d) {
      caption = d.Caption();
      className = d.ClassName();
      auto* label = dynamic_cast<TLabel*>(d.FindComponent("Message"));
      text = label ? label->Caption() : "";
      for (int i = 0; i < d.ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(d.Components(i))) names.push_back(b->Name());
      auto* target = dynamic_cast<TButton*>(d.FindComponent(c.click));
      EXPECT_NE(target, nullptr);
      if (target) WinTesting::Click(target->ClientToScreen(TPoint{10, 10}));
      return mrNone;  // the click decides
    });
    EXPECT_EQ(MessageDlg("清除选择的单元？", c.type, c.buttons, 0), c.result);
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(className, "TMessageForm");
    EXPECT_EQ(text, "清除选择的单元？");
    EXPECT_EQ(names, c.names);
    ClearMessageDlgAnswers();
  }
}

TEST_F(Dialogs_, ButtonCaptionsDefaultAndCancel) {
  TForm* d = CreateMessageDialog("Delete All records?", mtCustom,
                                 TMsgDlgButtons{mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
                                                mbAll, mbNoToAll, mbYesToAll, mbHelp});
  const std::pair<const char*, const char*> captions[] = {{"Yes", "&Yes"},
                                                          {"No", "&No"},
                                                          {"OK", "OK"},
                                                          {"Cancel", "Cancel"},
                                                          {"Abort", "&Abort"},
                                                          {"Retry", "&Retry"},
                                                          {"Ignore", "&Ignore"},
                                                          {"All", "&All"},
                                                          {"NoToAll", "N&o to All"},
                                                          {"YesToAll", "Yes to &All"},
                                                          {"Help", "&Help"}};
  for (const auto& [name, caption] : captions) {
    SCOPED_TRACE(name);
    auto* b = dynamic_cast<TButton*>(d->FindComponent(name));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Caption(), caption);
  }
  EXPECT_TRUE(dynamic_cast<TButton*>(d->FindComponent("OK"))->Default());
  EXPECT_TRUE(dynamic_cast<TButton*>(d->FindComponent("Cancel"))->Cancel());
  EXPECT_EQ(d->Caption(), Application->Title());  // mtCustom
  EXPECT_EQ(d->BorderStyle(), bsDialog);
  d->Free();
}

TEST_F(Dialogs_, EscapeAndEnterAnswerTheCancelAndDefaultButtons) {
  struct Case {
    int key;
    TMsgDlgButtons buttons;
    TModalResult result;
  };
  const Case cases[] = {
      {VK_ESCAPE, mbYesNoCancel, mrCancel},
      {VK_ESCAPE, TMsgDlgButtons{mbYes, mbNo}, mrNo},
      {VK_RETURN, mbOKCancel, mrOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    WinTesting::Schedule([&] { WinTesting::KeyPress(c.key); });
    EXPECT_EQ(MessageDlg("Delete %d selected records?", mtConfirmation, c.buttons, 0), c.result);
  }
}
