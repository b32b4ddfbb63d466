// The application object: its window, exception display, the message loop and actions.
#include "platform/vcl/ActnList.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class Application_ : public VclFormTest {};

// Raises from its click handler, as a message handler would.
class TThrowingControl : public TLogControl {
 public:
  explicit TThrowingControl(TComponent* AOwner) : TLogControl(AOwner) {}
  void WMLButtonDown(TMessage& Message) override {
    if (abort) Abort();
    throw EConvertError("'x' is not a valid integer value");
  }
  bool abort = false;
};

}  // namespace

TEST_F(Application_, HiddenWindowOfItsOwnClassOwnsTheForms) {
  HWND h = Application->Handle();
  ASSERT_TRUE(IsWindow(h));
  EXPECT_EQ(GetClassName(h), "TApplication");
  EXPECT_FALSE(IsWindowVisible(h));
  TForm* f = NewShownForm();
  EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), h);
  Application->SetTitle("账户");
  EXPECT_EQ(GetWindowText(h), "账户");
}

TEST_F(Application_, ExceptionsAreShownTitledWithTheApplicationAndAbortIsSilent) {
  Application->SetTitle("Books");
  std::vector<std::string> shown;
  SetMessageBoxScript([&](const std::string& caption, const std::string& text, UINT type) {
    shown.push_back(caption + "|" + text + "|" + std::to_string(type & MB_ICONMASK));
    return IDOK;
  });
  TForm* f = NewShownForm();
  auto* c = new TThrowingControl(f);
  c->SetParent(f);
  c->SetBounds(10, 10, 50, 30);
  WinTesting::Click(CenterOf(c));
  Application->ProcessMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Books|'x' is not a valid integer value.|" + std::to_string(MB_ICONSTOP));
  c->abort = true;
  WinTesting::Click(CenterOf(c));
  Application->ProcessMessages();
  EXPECT_EQ(shown.size(), 1u);
  // OnException takes the place of the message box.
  std::string seen;
  Application->OnException = [&](TObject*, const Exception& E) { seen = E.Message(); };
  c->abort = false;
  WinTesting::Click(CenterOf(c));
  Application->ProcessMessages();
  EXPECT_EQ(seen, "'x' is not a valid integer value");
  EXPECT_EQ(shown.size(), 1u);
  SetMessageBoxScript(nullptr);
}

TEST_F(Application_, OnMessageSeesAndMayEatMessages) {
  TForm* f = NewShownForm();
  int posted = 0;
  Application->OnMessage = [&](MSG& Msg, bool& Handled) {
    if (Msg.message == WM_APP + 7) {
      ++posted;
      Handled = true;
    }
  };
  PostMessage(f->Handle(), WM_APP + 7, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(posted, 1);
}

TEST_F(Application_, IdleRunsOnIdleAndUpdatesTheActionsOfVisibleForms) {
  TForm* f = NewShownForm();
  auto* list = new TActionList(f);
  auto* action = new TAction(list);
  action->SetActionList(list);
  int updates = 0;
  action->OnUpdate = [&](TObject*) { ++updates; };
  auto* button = new TButton(f);
  button->SetParent(f);
  button->SetAction(action);
  int idles = 0;
  Application->OnIdle = [&](TObject*, bool& Done) {
    ++idles;
    Done = true;
  };
  Application->ProcessMessages();
  WinTesting::Schedule([] {});
  Application->HandleMessage();  // nothing queued: idle, then the wait runs the step
  EXPECT_EQ(idles, 1);
  EXPECT_GE(updates, 1);
}

TEST_F(Application_, TerminateEndsRun) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  WinTesting::Schedule([] { Application->Terminate(); });
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(main->Visible());
}

TEST_F(Application_, ModalBookkeepingFiresItsEventsAtTheOuterLevel) {
  std::vector<std::string> log;
  Application->OnModalBegin = [&](TObject*) { log.push_back("begin"); };
  Application->OnModalEnd = [&](TObject*) { log.push_back("end"); };
  Application->ModalStarted();
  Application->ModalStarted();
  Application->ModalFinished();
  Application->ModalFinished();
  Application->ModalFinished();  // unbalanced: ignored
  EXPECT_EQ(log, (std::vector<std::string>{"begin", "end"}));
  EXPECT_EQ(Application->ModalLevel(), 0);
}
