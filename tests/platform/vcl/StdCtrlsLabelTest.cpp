// TLabel, TGroupBox and TScrollBar.
#include "platform/rtl/Filer.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"

namespace stdctrls_test {
namespace {

class TLabelTest : public TStdCtrlsTest {};

TEST_F(TLabelTest, AutoSizeFollowsTheCaption) {
  auto* l = Make<TLabel>(10, 10);
  l->SetCaption("abc");
  EXPECT_EQ(l->Width(), 3 * 7);
  EXPECT_EQ(l->Height(), 13);
  l->SetCaption("&Name");
  EXPECT_EQ(l->Width(), 4 * 7) << "the accelerator marker takes no room";
  l->SetShowAccelChar(false);
  l->SetCaption("&Name!");
  EXPECT_EQ(l->Width(), 6 * 7);
  l->SetAlignment(taRightJustify);
  const int right = l->Left() + l->Width();
  l->SetCaption("ab");
  EXPECT_EQ(l->Left() + l->Width(), right) << "a right-aligned label keeps its right edge";
  l->SetAutoSize(false);
  l->SetCaption("a much longer caption");
  EXPECT_EQ(l->Width(), 14);
}

TEST_F(TLabelTest, AcceleratorFocusesTheFocusControl) {
  auto* first = Make<TEdit>(100, 10);
  auto* target = Make<TEdit>(100, 40);
  auto* l = Make<TLabel>(10, 40);
  l->SetCaption("&Amount");
  l->SetFocusControl(target);
  first->SetFocus();
  Pump();
  Input::KeyDown(VK_MENU);
  WinTesting::KeyPress('A');
  Input::KeyUp(VK_MENU);
  Pump();
  EXPECT_TRUE(target->Focused());
  delete target;
  EXPECT_EQ(l->FocusControl(), nullptr) << "freeing the control clears the reference";
}

TEST_F(TLabelTest, GroupBoxChildrenLiveBelowTheCaption) {
  auto* g = Make<TGroupBox>(10, 10);
  g->SetCaption("账户");
  auto* child = Make<TButton>(0, 0, g);
  child->SetAlign(alClient);
  EXPECT_TRUE(g->ControlStyle().Contains(csAcceptsControls));
  EXPECT_EQ(child->Top(), 13 + 2);
  EXPECT_EQ(child->Left(), 2);
  EXPECT_EQ(child->Width(), g->ClientWidth() - 4);
}

TEST_F(TLabelTest, DescriptionsLoadTheControls) {
  RegisterStdControls();
  ReadComponentFromText(
      "object Form1: TForm\n"
      "  object Edit1: TEdit\n    Left = 8\n    Top = 8\n    MaxLength = 5\n    CharCase = ecUpperCase\n"
      "    PasswordChar = '*'\n    Text = 'x'\n  end\n"
      "  object ListBox1: TListBox\n    Left = 8\n    Top = 40\n    Items.Strings = (\n      'a'\n      "
      "'b')\n"
      "    Style = lbOwnerDrawFixed\n  end\n"
      "  object CheckBox1: TCheckBox\n    State = cbGrayed\n    AllowGrayed = True\n  end\n"
      "  object CheckBox2: TCheckBox\n    Checked = True\n  end\n"
      "  object ScrollBar1: TScrollBar\n    Max = 50\n    Position = 20\n    Kind = sbVertical\n  end\n"
      "end\n",
      form);
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent("Edit1"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->Parent(), form);
  EXPECT_EQ(edit->MaxLength(), 5);
  EXPECT_EQ(edit->CharCase(), ecUpperCase);
  EXPECT_EQ(edit->PasswordChar(), U'*');
  EXPECT_EQ(edit->Text(), "x");
  auto* lb = dynamic_cast<TListBox*>(form->FindComponent("ListBox1"));
  ASSERT_NE(lb, nullptr);
  EXPECT_EQ(lb->Count(), 2);
  EXPECT_EQ(lb->Style(), lbOwnerDrawFixed);
  auto* check = dynamic_cast<TCheckBox*>(form->FindComponent("CheckBox1"));
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(check->State(), cbGrayed);
  auto* checked = dynamic_cast<TCheckBox*>(form->FindComponent("CheckBox2"));
  ASSERT_NE(checked, nullptr);
  EXPECT_EQ(checked->State(), cbChecked);
  auto* bar = dynamic_cast<TScrollBar*>(form->FindComponent("ScrollBar1"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Position(), 20);
  EXPECT_EQ(bar->Kind(), sbVertical);
}

// --- scroll bar ----------------------------------------------------------------------------------

class TScrollBarTest : public TStdCtrlsTest {
 protected:
  TScrollBar* Bar() {
    auto* b = Make<TScrollBar>(10, 10);
    b->SetWidth(200);
    b->OnScroll = [this](TObject*, TScrollCode code, int& pos) {
      codes.push_back(code);
      positions.push_back(pos);
    };
    b->OnChange = [this](TObject*) { ++changes; };
    return b;
  }
  std::vector<TScrollCode> codes;
  std::vector<int> positions;
  int changes = 0;
};

TEST_F(TScrollBarTest, SetParamsClampsAndChecks) {
  TScrollBar* b = Bar();
  b->SetParams(150, 0, 100);
  EXPECT_EQ(b->Position(), 100);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(GetScrollPos(b->Handle(), SB_CTL), 100);
  b->SetParams(100, 0, 100);
  EXPECT_EQ(changes, 1) << "no change, no event";
  EXPECT_THROW(b->SetParams(0, 10, 5), EInvalidOperation);
  b->SetPageSize(20);
  EXPECT_THROW(b->SetMax(10), EInvalidOperation);
  b->SetMin(-50);
  int lo = 0, hi = 0;
  GetScrollRange(b->Handle(), SB_CTL, &lo, &hi);
  EXPECT_EQ(lo, -50);
  EXPECT_EQ(hi, 100);
}

TEST_F(TScrollBarTest, KeysScrollWithTheirCodes) {
  TScrollBar* b = Bar();
  b->SetSmallChange(3);
  b->SetLargeChange(10);
  b->SetFocus();
  Pump();
  struct Step {
    int Key;
    TScrollCode Code;
    int Position;
  };
  const Step steps[] = {{VK_RIGHT, scLineDown, 3}, {VK_NEXT, scPageDown, 13}, {VK_LEFT, scLineUp, 10},
                        {VK_END, scBottom, 100},   {VK_PRIOR, scPageUp, 90},  {VK_HOME, scTop, 0}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Key);
    codes.clear();
    positions.clear();
    WinTesting::KeyPress(s.Key);
    Pump();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), s.Code);
    EXPECT_EQ(positions.front(), s.Position);
    EXPECT_EQ(codes.back(), scEndScroll);
    EXPECT_EQ(b->Position(), s.Position);
  }
}

TEST_F(TScrollBarTest, OnScrollMayAdjustThePosition) {
  TScrollBar* b = Bar();
  b->OnScroll = [](TObject*, TScrollCode code, int& pos) {
    if (code == scLineDown) pos = 42;
  };
  b->Perform(CN_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(b->Handle()));
  EXPECT_EQ(b->Position(), 42);
  EXPECT_EQ(changes, 1);
}

TEST_F(TScrollBarTest, KindSwapsTheSizeAndKeepsTheRange) {
  TScrollBar* b = Bar();
  b->SetParams(30, 10, 60);
  const int w = b->Width(), h = b->Height();
  b->SetKind(sbVertical);
  EXPECT_EQ(b->Width(), h);
  EXPECT_EQ(b->Height(), w);
  EXPECT_TRUE(StyleOf(b) & SBS_VERT);
  EXPECT_EQ(GetScrollPos(b->Handle(), SB_CTL), 30);
  int lo = 0, hi = 0;
  GetScrollRange(b->Handle(), SB_CTL, &lo, &hi);
  EXPECT_EQ(lo, 10);
  EXPECT_EQ(hi, 60);
}

}  // namespace
}  // namespace stdctrls_test
