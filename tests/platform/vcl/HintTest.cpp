// Hints: shown after HintPause on the virtual clock, hidden after HintHidePause, adjusted by the
// control through CM_HINTSHOW.
#include "platform/rtl/Clock.h"
#include "platform/vcl/HintWindow.h"
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

// Adjusts (or refuses) its hint through CM_HINTSHOW.
class THintedControl : public TLogControl {
 public:
  explicit THintedControl(TComponent* AOwner) : TLogControl(AOwner) {}
  void CMHintShow(TMessage& Message) override {
    THintInfo* info = Message.HintInfo();
    ++requests;
    if (!replacement.empty()) info->HintStr = replacement;
    info->HintPos.X += shiftX;
    Message.Result = refuse ? 1 : 0;
  }
  std::string replacement;
  int shiftX = 0;
  bool refuse = false;
  int requests = 0;
};

class Hints : public VclFormTest {
 protected:
  THintedControl* NewHinted(const std::string& hint) {
    TForm* f = NewShownForm();
    auto* c = new THintedControl(f);
    c->SetParent(f);
    c->SetBounds(20, 20, 80, 30);
    c->SetHint(hint);
    c->SetShowHint(true);
    return c;
  }
  // Lets virtual time pass while messages are handled.
  static void Wait(uint32_t ms) {
    Application->ProcessMessages();
    VirtualClock::Advance(ms);
    Application->ProcessMessages();
  }
  static bool HintShowing() {
    THintWindow* w = Application->HintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  }
};

}  // namespace

TEST_F(Hints, ShownAfterThePauseAndHiddenAfterTheHidePause) {
  THintedControl* c = NewHinted("Short|Long text");
  Input::MouseMove(CenterOf(c));
  Wait(Application->HintPause() - 10);
  EXPECT_FALSE(HintShowing());
  Wait(20);
  ASSERT_TRUE(HintShowing());
  THintWindow* w = Application->HintWindow();
  EXPECT_EQ(w->Caption(), "Short");
  EXPECT_EQ(w->Color(), clInfoBk);
  // Below the cursor, and never active.
  EXPECT_GT(w->Top(), CenterOf(c).Y);
  EXPECT_NE(GetActiveWindow(), w->Handle());
  EXPECT_TRUE(GetWindowLong(w->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  Wait(Application->HintHidePause() + 10);
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, ControlMayChangeTheTextOrRefuse) {
  THintedControl* c = NewHinted("Tip");
  c->replacement = "收入 changed";
  c->shiftX = 40;
  Input::MouseMove(CenterOf(c));
  Wait(Application->HintPause() + 10);
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(Application->HintWindow()->Caption(), "收入 changed");
  EXPECT_GE(Application->HintWindow()->Left(), CenterOf(c).X + 40);
  Application->CancelHint();
  EXPECT_FALSE(HintShowing());

  c->refuse = true;
  int before = c->requests;
  Application->ActivateHint(CenterOf(c));
  EXPECT_EQ(c->requests, before + 1);
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, KeyPressTakesTheHintDown) {
  THintedControl* c = NewHinted("Tip");
  Input::MouseMove(CenterOf(c));
  Wait(Application->HintPause() + 10);
  ASSERT_TRUE(HintShowing());
  WinTesting::KeyPress('A');
  Application->ProcessMessages();
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, NoHintWithoutShowHint) {
  THintedControl* c = NewHinted("Tip");
  c->SetShowHint(false);
  Input::MouseMove(CenterOf(c));
  Wait(Application->HintPause() + 10);
  EXPECT_FALSE(HintShowing());
  EXPECT_EQ(c->requests, 0);
}

TEST_F(Hints, CalcHintRectWrapsAtTheMaximumWidthWithMargins) {
  auto* w = new THintWindow(Application);
  TRect one = w->CalcHintRect(1000, "abc", nullptr);
  // The test font advances 7 pixels a character and is 13 pixels high.
  EXPECT_EQ(one, (TRect{0, 0, 3 * 7 + 6, 13 + 4}));
  // Shown at that size, the text drawn 2 pixels down inside the border is not cut at the bottom.
  w->ActivateHint(TRect{10, 10, 10 + one.Width(), 10 + one.Height()}, "abc");
  EXPECT_GE(w->ClientHeight() - 2, 13);
  TRect wrapped = w->CalcHintRect(40, "abc def ghi", nullptr);
  EXPECT_LE(wrapped.Width(), 40 + 6);
  EXPECT_GT(wrapped.Height(), one.Height());
}
