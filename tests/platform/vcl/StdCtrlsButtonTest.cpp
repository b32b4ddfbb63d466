// TButton, TCheckBox and TRadioButton through the "Button" window, the mouse and dialog keys.
#include "tests/platform/vcl/StdCtrlsTestSupport.h"

namespace stdctrls_test {
namespace {

class TButtonTest : public TStdCtrlsTest {
 protected:
  void ClickOn(TControl* c) {
    WinTesting::Click(ScreenOf(c, c->Width() / 2, c->Height() / 2));
    Pump();
  }
};

TEST_F(TButtonTest, ClickSetsTheFormsModalResult) {
  auto* b = Make<TButton>(10, 10);
  b->SetModalResult(mrOk);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ClickOn(b);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  EXPECT_TRUE(b->Focused()) << "a press focuses the button first";
}

TEST_F(TButtonTest, EnterClicksTheDefaultAndEscapeTheCancelButton) {
  auto* edit = Make<TEdit>(10, 10);
  auto* ok = Make<TButton>(10, 40);
  auto* cancel = Make<TButton>(100, 40);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  edit->SetFocus();
  Pump();
  EXPECT_TRUE(ok->Active());
  EXPECT_TRUE(StyleOf(ok) & BS_DEFPUSHBUTTON);
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(form->ModalResult(), mrOk);
  WinTesting::KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_EQ(form->ModalResult(), mrCancel);
}

TEST_F(TButtonTest, TheFocusedButtonTakesTheDefaultLook) {
  auto* ok = Make<TButton>(10, 40);
  auto* other = Make<TButton>(100, 40);
  ok->SetDefault(true);
  other->SetFocus();
  Pump();
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(other->Active());
  EXPECT_EQ(StyleOf(ok) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
  EXPECT_EQ(StyleOf(other) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
  int clicks = 0;
  other->OnClick = [&](TObject*) { ++clicks; };
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(clicks, 1) << "Enter clicks the focused button, not the default one";
}

TEST_F(TButtonTest, AcceleratorClicks) {
  auto* edit = Make<TEdit>(10, 10);
  auto* b = Make<TButton>(10, 40);
  b->SetCaption("&Save");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  edit->SetFocus();
  Pump();
  b->Perform(CM_DIALOGCHAR, 'S', 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(TButtonTest, CheckBoxStatesCycleWithClicks) {
  struct Case {
    bool AllowGrayed;
    std::vector<TCheckBoxState> Cycle;
  };
  const Case cases[] = {{false, {cbChecked, cbUnchecked, cbChecked}},
                        {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.AllowGrayed);
    auto* cb = Make<TCheckBox>(10, 10);
    cb->SetAllowGrayed(c.AllowGrayed);
    int clicks = 0;
    cb->OnClick = [&](TObject*) { ++clicks; };
    for (TCheckBoxState want : c.Cycle) {
      ClickOn(cb);
      EXPECT_EQ(cb->State(), want);
      EXPECT_EQ(SendMessage(cb->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(want));
    }
    EXPECT_EQ(clicks, static_cast<int>(c.Cycle.size()));
    delete cb;
  }
}

TEST_F(TButtonTest, CheckBoxStateWithoutWindowAndAlignment) {
  auto* cb = new TCheckBox(form);
  int clicks = 0;
  cb->OnClick = [&](TObject*) { ++clicks; };
  cb->SetChecked(true);
  EXPECT_EQ(clicks, 1) << "a program's change clicks too";
  cb->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  cb->SetAlignment(taLeftJustify);
  cb->SetParent(form);
  EXPECT_EQ(SendMessage(cb->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(StyleOf(cb) & BS_LEFTTEXT);
  cb->SetAlignment(taRightJustify);  // recreates
  EXPECT_FALSE(StyleOf(cb) & BS_LEFTTEXT);
  EXPECT_EQ(SendMessage(cb->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  cb->SetClicksDisabled(true);
  cb->SetState(cbGrayed);
  EXPECT_EQ(cb->State(), cbGrayed);
  EXPECT_EQ(clicks, 1) << "ClicksDisabled silences the change";
}

TEST_F(TButtonTest, RadioButtonsAreExclusiveWithinTheirParent) {
  auto* group = Make<TGroupBox>(150, 10);
  auto* a = Make<TRadioButton>(10, 10);
  auto* b = Make<TRadioButton>(10, 40);
  auto* other = Make<TRadioButton>(10, 20, group);
  other->SetChecked(true);
  a->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(a->TabStop()) << "the checked radio button is the tab stop";
  ClickOn(b);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_FALSE(a->TabStop());
  EXPECT_EQ(SendMessage(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(other->Checked()) << "another parent is another group";
}

}  // namespace
}  // namespace stdctrls_test
