// The form's focus, activation, tab order, key preview and menu commands.
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class FormFocus : public VclFormTest {
 protected:
  // A container control holding one focusable child.
  static TLogControl* AddPair(TForm* f, const std::string& group, const std::string& child, int x) {
    auto* g = new TLogControl(f);
    g->SetName(group);
    g->SetTabStop(false);
    g->SetControlStyle(g->ControlStyle() + csAcceptsControls);
    g->SetParent(f);
    g->SetBounds(x, 10, 80, 60);
    g->logging = true;
    auto* c = new TLogControl(f);
    c->SetName(child);
    c->SetParent(g);
    c->SetBounds(5, 5, 40, 20);
    c->logging = true;
    return c;
  }
};

}  // namespace

TEST_F(FormFocus, FocusMovesThroughExitAndEnterOfTheParentChains) {
  TForm* f = NewShownForm();
  std::vector<std::string>& log = FocusLog();
  TLogControl* a = AddPair(f, "GroupA", "EditA", 10);
  TLogControl* b = AddPair(f, "GroupB", "EditB", 100);
  a->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"enter GroupA", "enter EditA"}));
  log.clear();
  b->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"exit EditA", "exit GroupA", "enter GroupB", "enter EditB"}));
  EXPECT_EQ(f->ActiveControl(), b);
  EXPECT_EQ(Screen->ActiveControl(), b);
  EXPECT_EQ(Screen->ActiveForm(), f);
  EXPECT_EQ(GetFocus(), b->Handle());
}

TEST_F(FormFocus, ExitHandlerThatMovesTheFocusEndsTheChain) {
  TForm* f = NewShownForm();
  std::vector<std::string>& log = FocusLog();
  TLogControl* a = AddPair(f, "GroupA", "EditA", 10);
  TLogControl* b = AddPair(f, "GroupB", "EditB", 100);
  TLogControl* c = AddPair(f, "GroupC", "EditC", 190);
  a->SetFocus();
  bool redirected = false;
  a->OnExit = [&](TObject*) {
    if (redirected) return;
    redirected = true;
    c->SetFocus();
  };
  log.clear();
  b->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(f->ActiveControl(), c);
  // The redirected change ran to its end; B was never entered.
  EXPECT_EQ(std::count(log.begin(), log.end(), "enter EditB"), 0);
  EXPECT_EQ(log.back(), "enter EditC");
  ResetVcl();  // while the handler's captures live
}

TEST_F(FormFocus, ReactivatedFormGivesTheFocusBackToItsActiveControl) {
  TForm* first = NewShownForm("First");
  auto* e1 = new TLogControl(first);
  e1->SetParent(first);
  auto* e2 = new TLogControl(first);
  e2->SetParent(first);
  e2->SetLeft(60);
  e2->SetFocus();
  int activations = 0, deactivations = 0;
  first->OnActivate = [&](TObject*) { ++activations; };
  first->OnDeactivate = [&](TObject*) { ++deactivations; };

  TForm* second = NewShownForm("Second");
  auto* other = new TLogControl(second);
  other->SetParent(second);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(first->Active());
  EXPECT_EQ(deactivations, 1);
  EXPECT_EQ(first->ActiveControl(), e2);

  SetActiveWindow(first->Handle());
  Application->ProcessMessages();
  EXPECT_TRUE(first->Active());
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(GetFocus(), e2->Handle());
  EXPECT_EQ(Screen->ActiveForm(), first);
  EXPECT_EQ(Screen->Forms(0), first);  // the active form leads the list
  ResetVcl();                          // while the handlers' captures live
}

TEST_F(FormFocus, ActiveControlMustBeAFocusableChild) {
  TForm* f = NewShownForm();
  TForm* other = NewShownForm("Other");
  auto* foreign = new TLogControl(other);
  foreign->SetParent(other);
  auto* hidden = new TLogControl(f);
  hidden->SetParent(f);
  hidden->SetVisible(false);
  for (TWinControl* bad : std::vector<TWinControl*>{foreign, hidden, f}) {
    SCOPED_TRACE(bad->Name());
    try {
      f->SetActiveControl(bad);
      FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
    }
  }
}

TEST_F(FormFocus, TabAndShiftTabFollowTheTabOrder) {
  TForm* f = NewShownForm();
  std::vector<TLogControl*> edits;
  for (int i = 0; i < 3; ++i) {
    auto* e = new TLogControl(f);
    e->SetName("E" + std::to_string(i));
    e->SetParent(f);
    e->SetLeft(10 + 50 * i);
    edits.push_back(e);
  }
  edits[2]->SetTabOrder(0);  // E2, E0, E1
  edits[2]->SetFocus();
  Application->ProcessMessages();
  struct Step {
    bool shift;
    int expected;
  };
  const Step steps[] = {{false, 0}, {false, 1}, {false, 2}, {true, 1}, {true, 0}, {true, 2}};
  for (const Step& s : steps) {
    if (s.shift) Input::KeyDown(VK_SHIFT);
    WinTesting::KeyPress(VK_TAB);
    if (s.shift) Input::KeyUp(VK_SHIFT);
    Application->ProcessMessages();
    EXPECT_EQ(f->ActiveControl(), edits[static_cast<size_t>(s.expected)]) << "shift " << s.shift;
  }
}

TEST_F(FormFocus, KeyPreviewShowsKeysToTheFormFirst) {
  TForm* f = NewShownForm();
  auto* e = new TLogControl(f);
  e->SetParent(f);
  e->SetFocus();
  std::vector<std::string> log;
  f->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
    log.push_back("form " + std::to_string(Key));
    if (Key == 'X') Key = 0;
  };
  e->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { log.push_back("edit " + std::to_string(Key)); };
  WinTesting::KeyPress('A');
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"edit 65"}));  // no preview yet
  log.clear();
  f->SetKeyPreview(true);
  WinTesting::KeyPress('A');
  WinTesting::KeyPress('X');
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"form 65", "edit 65", "form 88"}));
}

TEST_F(FormFocus, MenuCommandsAndShortCutsReachTheItems) {
  TForm* f = NewShownForm();
  auto* menu = new TMainMenu(f);
  auto* file = new TMenuItem(menu);
  file->SetCaption("文件");
  menu->Items()->Add(file);
  auto* find = new TMenuItem(menu);
  find->SetCaption("Find");
  find->SetShortCut(ShortCut('F', TShiftState{ssCtrl}));
  file->Add(find);
  int clicks = 0;
  find->OnClick = [&](TObject*) { ++clicks; };
  f->SetMenu(menu);
  EXPECT_EQ(GetMenu(f->Handle()), menu->Handle());
  SendMessage(f->Handle(), WM_COMMAND, find->Command(), 0);
  EXPECT_EQ(clicks, 1);
  auto* e = new TLogControl(f);
  e->SetParent(f);
  e->SetFocus();
  Input::KeyDown(VK_CONTROL);
  WinTesting::KeyPress('F');
  Input::KeyUp(VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 2);
  // The form lets go of the menu bar: the menu object keeps owning its handle.
  HMENU h = menu->Handle();
  f->SetMenu(nullptr);
  EXPECT_EQ(GetMenu(f->Handle()), nullptr);
  EXPECT_TRUE(IsMenu(h));
}

TEST_F(FormFocus, AFreedFormIsNoLongerTheScreensFocusedForm) {
  struct Case {
    const char* id;
    bool afterModal;  // a modal form closed just before, as a message dialog does
  };
  const Case cases[] = {{"focused-child", false}, {"after-modal", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TForm* f = NewShownForm("Main");
    TLogControl* child = AddPair(f, "Group", "Edit", 10);
    child->SetFocus();
    Application->ProcessMessages();
    if (c.afterModal) {
      auto* modal = new TForm(Application, 0);
      WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
      modal->OnKeyDown = [modal](TObject*, WORD& key, TShiftState) {
        if (key == VK_ESCAPE) modal->SetModalResult(mrCancel);
      };
      modal->SetKeyPreview(true);
      modal->ShowModal();
      modal->Free();
    }
    ASSERT_EQ(Screen->FocusedForm(), f);
    f->Free();
    EXPECT_EQ(Screen->FocusedForm(), nullptr);
    EXPECT_EQ(Screen->ActiveCustomForm(), nullptr);
    EXPECT_EQ(Screen->CustomFormCount(), 0);
  }
}
