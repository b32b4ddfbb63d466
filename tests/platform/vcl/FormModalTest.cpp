// Modal forms, closing, releasing and the main form's end of the application.
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class FormModal : public VclFormTest {
 protected:
  // A dialog with an OK and a Cancel button.
  static TForm* NewDialog(TButton*& ok, TButton*& cancel) {
    auto* f = new TForm(Application, 0);
    f->SetBounds(150, 150, 200, 120);
    ok = new TButton(f);
    ok->SetParent(f);
    ok->SetBounds(10, 60, 75, 25);
    ok->SetModalResult(mrOk);
    cancel = new TButton(f);
    cancel->SetParent(f);
    cancel->SetBounds(100, 60, 75, 25);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    return f;
  }
};

}  // namespace

TEST_F(FormModal, ClickedButtonAnswersItsModalResultAndOtherWindowsComeBack) {
  TForm* main = NewShownForm("Main");
  TButton *ok, *cancel;
  TForm* dialog = NewDialog(ok, cancel);
  bool mainDisabledWhileModal = false;
  WinTesting::Schedule([&] {
    mainDisabledWhileModal = !IsWindowEnabled(main->Handle());
    EXPECT_TRUE(dialog->Visible());
    EXPECT_TRUE(dialog->FormState().Contains(fsModal));
    WinTesting::Click(CenterOf(ok));
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_TRUE(mainDisabledWhileModal);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->FormState().Contains(fsModal));
  EXPECT_EQ(Application->ModalLevel(), 0);
}

TEST_F(FormModal, EscapeAnswersTheCancelButton) {
  TButton *ok, *cancel;
  TForm* dialog = NewDialog(ok, cancel);
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(FormModal, NestedModalFormsEndInTurn) {
  TButton *ok1, *cancel1, *ok2, *cancel2;
  TForm* outer = NewDialog(ok1, cancel1);
  TForm* inner = NewDialog(ok2, cancel2);
  inner->SetBounds(200, 200, 200, 120);
  TModalResult innerResult = mrNone;
  int levelInside = 0;
  WinTesting::Schedule([&] {
    WinTesting::Schedule([&] {
      levelInside = Application->ModalLevel();
      inner->SetModalResult(mrRetry);
    });
    innerResult = inner->ShowModal();
    EXPECT_TRUE(outer->Visible());
    outer->SetModalResult(mrAbort);
  });
  EXPECT_EQ(outer->ShowModal(), mrAbort);
  EXPECT_EQ(innerResult, mrRetry);
  EXPECT_EQ(levelInside, 2);
}

TEST_F(FormModal, VisibleFormCannotBeMadeModal) {
  TForm* f = NewShownForm();
  try {
    f->ShowModal();
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Cannot make a visible window modal");
  }
}

TEST_F(FormModal, RefusedCloseQueryKeepsTheLoopRunning) {
  TButton *ok, *cancel;
  TForm* dialog = NewDialog(ok, cancel);
  int queries = 0;
  dialog->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++queries > 1; };
  WinTesting::Schedule([&] { dialog->SetModalResult(mrOk); });
  WinTesting::Schedule([&] {
    EXPECT_EQ(dialog->ModalResult(), mrNone);  // reset by the refusal
    dialog->SetModalResult(mrIgnore);
  });
  EXPECT_EQ(dialog->ShowModal(), mrIgnore);
  EXPECT_EQ(queries, 2);
}

TEST_F(FormModal, HidingTheFormEndsTheLoop) {
  TButton *ok, *cancel;
  TForm* dialog = NewDialog(ok, cancel);
  WinTesting::Schedule([&] { dialog->Hide(); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(FormModal, CloseActionsDecideWhatHappens) {
  struct Case {
    TCloseAction action;
    bool allow;
    bool visibleAfter;
    bool freedAfter;
  };
  const Case cases[] = {
      {caHide, true, false, false},    {caNone, true, true, false},  {caFree, true, false, true},
      {caMinimize, true, true, false}, {caHide, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "action " << c.action << " allow " << c.allow);
    NewShownForm("Main");  // the first form is not the main form: none was made by CreateForm
    TForm* f = NewShownForm("Other");
    int before = Screen->FormCount();
    std::vector<std::string> log;
    f->OnCloseQuery = [&](TObject*, bool& CanClose) {
      log.push_back("query");
      CanClose = c.allow;
    };
    f->OnClose = [&](TObject*, TCloseAction& Action) {
      log.push_back("close");
      EXPECT_EQ(Action, caHide);
      Action = c.action;
    };
    f->Close();
    Application->ProcessMessages();
    const std::vector<std::string> expected =
        c.allow ? std::vector<std::string>{"query", "close"} : std::vector<std::string>{"query"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(Screen->FormCount(), c.freedAfter ? before - 1 : before);
    if (!c.freedAfter) {
      EXPECT_EQ(f->Visible(), c.visibleAfter);
      if (c.action == caMinimize && c.allow) {
        EXPECT_EQ(f->WindowState(), wsMinimized);
      }
    }
    ResetVcl();
  }
}

TEST_F(FormModal, ReleaseFreesAfterTheCurrentMessage) {
  TForm* f = NewShownForm();
  bool destroyed = false;
  f->OnDestroy = [&](TObject*) { destroyed = true; };
  auto* button = new TButton(f);
  button->SetParent(f);
  button->SetBounds(10, 10, 75, 25);
  // Releasing from the form's own button click: the form outlives the click.
  button->OnClick = [&](TObject*) {
    f->Release();
    EXPECT_FALSE(destroyed);
  };
  WinTesting::Click(CenterOf(button));
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(FormModal, ClosingTheMainFormTerminatesTheApplication) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  TForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), main);  // the first stays the main form
  WinTesting::Schedule([&] { main->Close(); });
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(main->Showing());  // Run showed it; closing the main form hides nothing
}
