// TWinControl: window creation (CreateParams, CreateSubClass, messages during creation),
// RecreateWnd, focus and tab order, CM_ENTER/CM_EXIT, key preprocessing, capture and
// mouse enter/leave, painting through TCustomControl.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"

namespace {

std::vector<std::string>* gLog = nullptr;
void Log(const std::string& s) {
  if (gLog) gLog->push_back(s);
}

// A focusable control that logs focus, keys and the messages of its creation.
class TProbe : public TCustomControl {
  RTL_CLASS(TProbe, TCustomControl)
 public:
  explicit TProbe(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 40, 20);
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_NCCREATE || Message.Msg == WM_CREATE)
      Log(Name() + (Message.Msg == WM_CREATE ? " create" : " nccreate"));
    if (Message.Msg == WM_GETDLGCODE && DlgCode) {
      Message.Result = DlgCode;
      return;
    }
    if (Message.Msg == CM_WANTSPECIALKEY && Message.CharCode() == WantKey) {
      Message.Result = 1;
      return;
    }
    inherited::WndProc(Message);
  }
  void CreateWnd() override {
    Log(Name() + " createwnd");
    inherited::CreateWnd();
  }
  void DoEnter() override {
    Log("enter " + Name());
    inherited::DoEnter();
  }
  void DoExit() override {
    Log("exit " + Name());
    inherited::DoExit();
  }
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Log(Name() + " keydown " + std::to_string(Key));
    inherited::KeyDown(Key, Shift);
  }
  void KeyPress(char32_t& Key) override {
    Log(Name() + " char " + std::string(1, static_cast<char>(Key)));
    inherited::KeyPress(Key);
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(ClientRect());
  }
  void CMMouseEnter(TMessage&) override { Log("mouse enter " + Name()); }
  void CMMouseLeave(TMessage&) override { Log("mouse leave " + Name()); }
  LRESULT DlgCode = 0;
  WORD WantKey = 0;
};
RTL_IMPLEMENT_CLASS(TProbe)

// A control wrapping the window manager's "Edit" class.
class TWrappedEdit : public TWinControl {
  RTL_CLASS(TWrappedEdit, TWinControl)
 public:
  explicit TWrappedEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 80, 20);
  }
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    CreateSubClass(Params, "Edit");
    Params.Style |= ES_AUTOHSCROLL;
  }
};
RTL_IMPLEMENT_CLASS(TWrappedEdit)

class TKeyForm : public TForm {
  RTL_CLASS(TKeyForm, TForm)
 public:
  using TForm::TForm;
  void CMDialogKey(TMessage& Message) override {
    Log("form dialogkey " + std::to_string(Message.CharCode()));
    Message.Result = 1;
  }
};
RTL_IMPLEMENT_CLASS(TKeyForm)

class WinControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    gLog = &log;
  }
  void TearDown() override {
    ResetVcl();
    gLog = nullptr;
  }
  template <class F = TForm>
  F* ShownForm() {
    auto* f = new F(Application, 0);
    f->SetBounds(100, 100, 300, 200);
    f->Show();
    Application->ProcessMessages();
    return f;
  }
  TProbe* Probe(TWinControl* parent, const std::string& name, int left) {
    auto* p = new TProbe(parent);
    p->SetName(name);
    p->SetLeft(left);
    p->SetParent(parent);
    return p;
  }
  std::vector<std::string> log;
};

TEST_F(WinControlTest, ParentHandlesComeFirstAndCreationMessagesReachTheControl) {
  auto* f = new TForm(Application, 0);
  auto* outer = Probe(f, "outer", 0);
  auto* inner = Probe(outer, "inner", 0);
  EXPECT_FALSE(inner->HandleAllocated());
  EXPECT_EQ(inner->Width(), 40);  // geometry without a window
  HWND h = inner->Handle();
  EXPECT_TRUE(f->HandleAllocated());
  EXPECT_EQ(FindControl(h), inner);
  EXPECT_EQ(GetParent(h), outer->Handle());
  EXPECT_EQ(GetClassName(h), "TProbe");
  const std::vector<std::string> expected = {"outer createwnd", "outer nccreate", "outer create",
                                             "inner createwnd", "inner nccreate", "inner create"};
  EXPECT_EQ(log, expected);
  f->Free();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(FindControl(h), nullptr);
}

TEST_F(WinControlTest, AChildWindowNeedsAParent) {
  auto* lone = new TProbe(nullptr);
  EXPECT_THROW(lone->HandleNeeded(), EInvalidOperation);
  lone->Free();
}

TEST_F(WinControlTest, SubclassedControlBehavesAsTheWindowClassItWraps) {
  TForm* f = ShownForm();
  auto* e = new TWrappedEdit(f);
  e->SetParent(f);
  e->SetText("abc");
  EXPECT_EQ(e->Text(), "abc");
  HWND h = e->Handle();
  EXPECT_EQ(GetWindowText(h), "abc");  // the text went into the window
  EXPECT_EQ(GetClassName(h), "TWrappedEdit");
  WNDCLASS edit;
  ASSERT_TRUE(GetClassInfo(nullptr, "Edit", &edit));
  EXPECT_TRUE(e->DefWndProc() == edit.lpfnWndProc);
  e->SetFocus();
  SendMessage(h, EM_SETSEL, 3, 3);
  WinTesting::Type("de");
  Application->ProcessMessages();
  EXPECT_EQ(e->Text(), "abcde");
  // The edit claims characters and arrows through WM_GETDLGCODE.
  EXPECT_NE(e->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS, 0);
}

TEST_F(WinControlTest, RecreateWndKeepsTextBoundsAndFocus) {
  TForm* f = ShownForm();
  auto* e = new TWrappedEdit(f);
  e->SetParent(f);
  e->SetBounds(10, 20, 90, 22);
  e->SetText("kept");
  e->SetFocus();
  HWND before = e->Handle();
  e->RecreateWnd();
  HWND after = e->Handle();
  EXPECT_NE(before, after);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(GetWindowText(after), "kept");
  EXPECT_EQ(e->BoundsRect(), Bounds(10, 20, 90, 22));
  EXPECT_TRUE(IsWindowVisible(after));
  EXPECT_TRUE(e->Focused());
}

TEST_F(WinControlTest, TextLivesInTheControlUntilTheWindowAndReturnsWhenItGoes) {
  auto* f = new TForm(Application, 0);
  auto* e = new TWrappedEdit(f);
  e->SetParent(f);
  e->SetText("before");
  EXPECT_FALSE(e->HandleAllocated());
  EXPECT_EQ(e->Caption(), "before");
  e->HandleNeeded();
  SetWindowText(e->Handle(), "changed");
  e->DestroyHandle();
  EXPECT_FALSE(e->HandleAllocated());
  EXPECT_EQ(e->Text(), "changed");
  f->Free();
}

TEST_F(WinControlTest, TabOrderRenumbersAndSelectNextWraps) {
  TForm* f = ShownForm();
  TProbe* a = Probe(f, "a", 0);
  TProbe* b = Probe(f, "b", 50);
  TProbe* c = Probe(f, "c", 100);
  EXPECT_EQ(a->TabOrder(), 0);
  EXPECT_EQ(c->TabOrder(), 2);
  c->SetTabOrder(0);
  EXPECT_EQ(c->TabOrder(), 0);
  EXPECT_EQ(a->TabOrder(), 1);
  EXPECT_EQ(b->TabOrder(), 2);
  std::vector<TWinControl*> order;
  f->GetTabOrderList(order);
  EXPECT_EQ(order, (std::vector<TWinControl*>{c, a, b}));
  b->SetTabStop(false);
  EXPECT_EQ(f->FindNextControl(a, true, true, false), c);  // skips b, wraps
  EXPECT_EQ(f->FindNextControl(c, false, true, false), a);
  a->SetEnabled(false);
  EXPECT_EQ(f->FindNextControl(c, true, true, false), c);
  EXPECT_FALSE(a->CanFocus());
  EXPECT_TRUE(c->CanFocus());
}

TEST_F(WinControlTest, FocusMovesWithExitBeforeEnterAndTabKeys) {
  TForm* f = ShownForm();
  TProbe* a = Probe(f, "a", 0);
  TProbe* b = Probe(f, "b", 50);
  a->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(a->Focused());
  log.clear();
  b->SetFocus();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"exit a", "enter b"}));
  log.clear();
  WinTesting::KeyPress(VK_TAB);
  Application->ProcessMessages();
  EXPECT_TRUE(a->Focused());
  WinTesting::KeyPress(VK_TAB);
  Application->ProcessMessages();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"exit b", "enter a", "exit a", "enter b"}));
}

TEST_F(WinControlTest, DialogKeysGoToTheFormUnlessTheControlClaimsThem) {
  auto* f = ShownForm<TKeyForm>();
  TProbe* a = Probe(f, "a", 0);
  a->SetFocus();
  Application->ProcessMessages();
  struct Case {
    int Key;
    LRESULT DlgCode;
    WORD WantKey;
    bool ToForm;
  };
  const std::vector<Case> cases = {{VK_ESCAPE, 0, 0, true},
                                   {VK_RETURN, 0, 0, true},
                                   {VK_LEFT, 0, 0, true},
                                   {VK_ESCAPE, DLGC_WANTALLKEYS, 0, false},
                                   {VK_LEFT, DLGC_WANTARROWS, 0, false},
                                   {VK_TAB, DLGC_WANTTAB, 0, false},
                                   {VK_RETURN, DLGC_WANTARROWS, 0, true},
                                   {VK_RETURN, 0, VK_RETURN, false},
                                   {'A', 0, 0, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Key);
    a->DlgCode = k.DlgCode;
    a->WantKey = k.WantKey;
    log.clear();
    WinTesting::KeyPress(k.Key);
    Application->ProcessMessages();
    const std::string keydown = "a keydown " + std::to_string(k.Key);
    if (k.ToForm)
      EXPECT_EQ(log, (std::vector<std::string>{"form dialogkey " + std::to_string(k.Key)}));
    else
      EXPECT_EQ(log.at(0), keydown);
  }
}

TEST_F(WinControlTest, KeyPreviewLetsTheFormSeeKeysFirstAndSwallowThem) {
  TForm* f = ShownForm();
  TProbe* a = Probe(f, "a", 0);
  a->SetFocus();
  Application->ProcessMessages();
  f->SetKeyPreview(true);
  f->OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
    Log("form keydown " + std::to_string(Key));
    if (Key == 'B') Key = 0;
  };
  f->OnKeyPress = [](TObject*, char32_t& Key) {
    if (Key == 'c') Key = 'C';
  };
  log.clear();
  WinTesting::Type("ab");
  Application->ProcessMessages();
  const std::vector<std::string> expected = {"form keydown 65", "a keydown 65", "a char a", "form keydown 66",
                                             "a char b"};
  EXPECT_EQ(log, expected);
  log.clear();
  WinTesting::Type("c");
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"form keydown 67", "a keydown 67", "a char C"}));
}

TEST_F(WinControlTest, ChildKeyTravelsUpTheParentsAndCanBeClaimed) {
  TForm* f = ShownForm();
  TProbe* outer = Probe(f, "outer", 0);
  outer->SetBounds(0, 0, 200, 100);
  TProbe* inner = Probe(outer, "inner", 0);
  inner->SetFocus();
  Application->ProcessMessages();
  std::vector<TWinControl*> seen;
  TWndMethod saved = outer->WindowProc();
  outer->SetWindowProc([&](TMessage& m) {
    if (m.Msg == CM_CHILDKEY) {
      seen.push_back(m.WinSender());
      if (m.CharCode() == VK_F2) {
        m.Result = 1;
        return;
      }
    }
    saved(m);
  });
  log.clear();
  WinTesting::KeyPress(VK_F2);
  WinTesting::KeyPress(VK_F3);
  Application->ProcessMessages();
  EXPECT_EQ(seen, (std::vector<TWinControl*>{inner, inner}));
  EXPECT_EQ(log, (std::vector<std::string>{"inner keydown " + std::to_string(VK_F3)}));
  outer->SetWindowProc(saved);
}

TEST_F(WinControlTest, MouseCaptureFollowsThePressAndMouseEnterLeaveFollowTheMouse) {
  TForm* f = ShownForm();
  TProbe* a = Probe(f, "a", 10);
  TProbe* b = Probe(f, "b", 100);
  std::vector<std::string> mouse;
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState s, int x, int y) {
    mouse.push_back("down " + std::to_string(x) + "," + std::to_string(y) +
                    (s.Contains(ssLeft) ? " left" : ""));
  };
  a->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
    mouse.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  a->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    mouse.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  };
  Application->ProcessMessages();
  log.clear();
  Input::MouseMove(a->ClientToScreen({5, 5}));
  Input::MouseDown(VK_LBUTTON, a->ClientToScreen({5, 5}));
  Application->ProcessMessages();
  EXPECT_TRUE(a->MouseCapture());
  EXPECT_EQ(GetCaptureControl(), a);
  Input::MouseMove(b->ClientToScreen({5, 5}));
  Input::MouseUp(VK_LBUTTON, b->ClientToScreen({5, 5}));
  Application->ProcessMessages();
  EXPECT_FALSE(a->MouseCapture());
  // While a held the capture, b heard nothing; the next move enters it.
  Input::MouseMove(b->ClientToScreen({6, 5}));
  Application->ProcessMessages();
  EXPECT_EQ(mouse, (std::vector<std::string>{"move 5,5", "down 5,5 left", "move 95,5", "up 95,5"}));
  EXPECT_EQ(log, (std::vector<std::string>{"mouse enter a", "mouse leave a", "mouse enter b"}));
  EXPECT_EQ(MouseInControl(), b);
}

TEST_F(WinControlTest, CustomControlPaintsOnItsCanvasAndDoubleBufferingGivesTheSamePixels) {
  TForm* f = ShownForm();
  TProbe* a = Probe(f, "a", 10);
  for (bool buffered : {false, true}) {
    SCOPED_TRACE(buffered);
    a->SetDoubleBuffered(buffered);
    a->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(a->Handle());
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 255));
    ReleaseDC(a->Handle(), dc);
  }
}

TEST_F(WinControlTest, PerformEntersAtWindowProcAndBroadcastStopsAtTheFirstAnswer) {
  auto* f = new TForm(Application, 0);
  TProbe* a = Probe(f, "a", 0);
  TProbe* b = Probe(f, "b", 50);
  int seenA = 0, seenB = 0;
  TWndMethod savedA = a->WindowProc(), savedB = b->WindowProc();
  a->SetWindowProc([&](TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
      ++seenA;
      m.Result = 1;
      return;
    }
    savedA(m);
  });
  b->SetWindowProc([&](TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) ++seenB;
    savedB(m);
  });
  EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'x', 0), 1);
  EXPECT_EQ(seenA, 1);
  EXPECT_EQ(seenB, 0);
  a->SetWindowProc(savedA);
  b->SetWindowProc(savedB);
  f->Free();
}

}  // namespace
