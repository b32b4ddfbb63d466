// Forms, frames and data modules loaded from window descriptions; window styles; scrolling.
#include <climits>

#include "platform/rtl/Filer.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class TDescForm : public TForm {
  RTL_CLASS(TDescForm, TForm)
 public:
  explicit TDescForm(TComponent* AOwner) : TForm(AOwner) {}
  static void DescribeClass(TClassBuilder<TDescForm>& c) {
    c.Method("ButtonClick", &TDescForm::ButtonClick);
    c.Method("FormCreate", &TDescForm::FormCreate);
  }
  void ButtonClick(TObject* Sender) { clickedBy = Sender; }
  void FormCreate(TObject*) { createdWithChildren = FindComponent("Button1") != nullptr; }
  TObject* clickedBy = nullptr;
  bool createdWithChildren = false;
};

class TNoDescForm : public TForm {
  RTL_CLASS(TNoDescForm, TForm)
 public:
  explicit TNoDescForm(TComponent* AOwner) : TForm(AOwner) {}
  TNoDescForm(TComponent* AOwner, int Dummy) : TForm(AOwner, Dummy) {}
};

class TTestFrame : public TFrame {
  RTL_CLASS(TTestFrame, TFrame)
 public:
  explicit TTestFrame(TComponent* AOwner) : TFrame(AOwner) {}
};

class TFrameHostForm : public TForm {
  RTL_CLASS(TFrameHostForm, TForm)
 public:
  explicit TFrameHostForm(TComponent* AOwner) : TForm(AOwner) {}
};

class TTestModule : public TDataModule {
  RTL_CLASS(TTestModule, TDataModule)
 public:
  explicit TTestModule(TComponent* AOwner) : TDataModule(AOwner) {}
  static void DescribeClass(TClassBuilder<TTestModule>& c) {
    c.Method("ModuleCreate", &TTestModule::ModuleCreate);
  }
  void ModuleCreate(TObject*) { timerAtCreate = FindComponent("Timer1") != nullptr; }
  bool timerAtCreate = false;
};

const char kDescForm[] =
    "object DescForm: TDescForm\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  Width = 300\n"
    "  Height = 200\n"
    "  Caption = '账户'\n"
    "  KeyPreview = True\n"
    "  Position = poScreenCenter\n"
    "  OnCreate = FormCreate\n"
    "  object Button1: TButton\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Caption = '收入'\n"
    "    OnClick = ButtonClick\n"
    "  end\n"
    "end\n";

const char kTestFrame[] =
    "object TestFrame: TTestFrame\n"
    "  Width = 120\n"
    "  Height = 60\n"
    "  object Button1: TButton\n"
    "    Left = 4\n"
    "    Top = 4\n"
    "    Width = 60\n"
    "    Height = 25\n"
    "    Caption = '支出'\n"
    "  end\n"
    "end\n";

const char kFrameHost[] =
    "object FrameHostForm: TFrameHostForm\n"
    "  Caption = 'Host'\n"
    "  object Frame1: TTestFrame\n"
    "    Left = 30\n"
    "    Top = 40\n"
    "  end\n"
    "end\n";

const char kTestModule[] =
    "object TestModule: TTestModule\n"
    "  OnCreate = ModuleCreate\n"
    "  object Timer1: TTimer\n"
    "    Interval = 250\n"
    "  end\n"
    "end\n";

class FormDescription : public VclFormTest {
 protected:
  void SetUp() override {
    VclFormTest::SetUp();
    RegisterClasses({TButton::StaticClass(), TTimer::StaticClass(), TTestFrame::StaticClass()});
    RegisterDescription("TDescForm", kDescForm);
    RegisterDescription("TTestFrame", kTestFrame);
    RegisterDescription("TFrameHostForm", kFrameHost);
    RegisterDescription("TTestModule", kTestModule);
  }
  void TearDown() override {
    for (const char* n : {"TDescForm", "TTestFrame", "TFrameHostForm", "TTestModule"})
      UnregisterDescription(n);
    VclFormTest::TearDown();
  }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TDescForm)
RTL_IMPLEMENT_CLASS(TNoDescForm)
RTL_IMPLEMENT_CLASS(TTestFrame)
RTL_IMPLEMENT_CLASS(TFrameHostForm)
RTL_IMPLEMENT_CLASS(TTestModule)

TEST_F(FormDescription, FormLoadsChildrenAndBindsHandlersByName) {
  TDescForm* f = nullptr;
  Application->CreateForm(f);
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->createdWithChildren);  // OnCreate runs after the description
  EXPECT_EQ(f->Caption(), "账户");
  EXPECT_TRUE(f->KeyPreview());
  EXPECT_EQ(f->Owner(), Application);
  auto* button = dynamic_cast<TButton*>(f->FindComponent("Button1"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Parent(), f);
  EXPECT_EQ(button->Caption(), "收入");
  button->Click();
  EXPECT_EQ(f->clickedBy, button);
  EXPECT_FALSE(f->FormState().Contains(fsCreating));
  // Shown for the first time: poScreenCenter centres it, then the position is kept.
  f->Show();
  EXPECT_EQ(f->Left(), (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(f->Position(), poDesigned);
}

TEST_F(FormDescription, FormClassWithoutDescriptionRaises) {
  try {
    Construct<TNoDescForm>(Application);
    FAIL() << "no exception";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource TNoDescForm not found");
  }
  EXPECT_EQ(Screen->FormCount(), 0);  // the half-made form was freed
  // CreateNew needs none.
  auto* plain = new TNoDescForm(Application, 0);
  EXPECT_NO_THROW(plain->AfterConstruction());
  plain->Free();
}

TEST_F(FormDescription, FramesLoadTheirOwnDescription) {
  TForm* host = NewShownForm();
  auto* frame = Construct<TTestFrame>(host);
  frame->SetParent(host);
  auto* button = dynamic_cast<TButton*>(frame->FindComponent("Button1"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Owner(), frame);
  EXPECT_EQ(button->Parent(), frame);
  EXPECT_EQ(frame->Width(), 120);

  // Inside a form's description: the frame's description, then the form's values for it.
  TFrameHostForm* f = Construct<TFrameHostForm>(Application);
  auto* inner = dynamic_cast<TTestFrame*>(f->FindComponent("Frame1"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Name(), "Frame1");
  EXPECT_EQ(inner->Left(), 30);
  EXPECT_EQ(inner->Width(), 120);
  EXPECT_NE(inner->FindComponent("Button1"), nullptr);
}

TEST_F(FormDescription, DataModulesLoadAndJoinTheScreenList) {
  TTestModule* m = nullptr;
  Application->CreateForm(m);
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->timerAtCreate);
  EXPECT_EQ(Application->MainForm(), nullptr);  // a data module is never the main form
  ASSERT_EQ(Screen->DataModuleCount(), 1);
  EXPECT_EQ(Screen->DataModules(0), m);
  auto* timer = dynamic_cast<TTimer*>(m->FindComponent("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 250u);
  bool destroyed = false;
  m->OnDestroy = [&](TObject*) { destroyed = true; };
  m->Free();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->DataModuleCount(), 0);
}

TEST_F(FormDescription, BorderAndStyleBecomeWindowStyles) {
  struct Case {
    TFormBorderStyle border;
    TBorderIcons icons;
    TFormStyle style;
    DWORD wantStyle;
    DWORD noStyle;
    DWORD wantEx;
  };
  const Case cases[] = {
      {bsSizeable,
       {biSystemMenu, biMinimize, biMaximize},
       fsNormal,
       WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
       WS_CHILD,
       0},
      {bsSingle,
       {biSystemMenu},
       fsNormal,
       WS_CAPTION | WS_SYSMENU,
       WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX,
       0},
      {bsDialog,
       {biSystemMenu, biMinimize, biMaximize},
       fsNormal,
       WS_POPUP | WS_CAPTION | WS_SYSMENU,
       WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
       WS_EX_DLGMODALFRAME},
      {bsNone, {biSystemMenu}, fsNormal, WS_POPUP, WS_CAPTION | WS_SYSMENU, 0},
      {bsToolWindow,
       {biSystemMenu, biMaximize},
       fsNormal,
       WS_CAPTION | WS_SYSMENU,
       WS_MAXIMIZEBOX,
       WS_EX_TOOLWINDOW},
      {bsSizeable, {biSystemMenu, biHelp}, fsStayOnTop, WS_THICKFRAME, 0, WS_EX_TOPMOST | WS_EX_CONTEXTHELP},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "border " << c.border << " style " << c.style);
    auto* f = new TForm(Application, 0);
    f->SetBorderStyle(c.border);
    f->SetBorderIcons(c.icons);
    f->SetFormStyle(c.style);
    DWORD style = static_cast<DWORD>(GetWindowLong(f->Handle(), GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLong(f->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(style & c.wantStyle, c.wantStyle);
    EXPECT_EQ(style & c.noStyle, 0u);
    EXPECT_EQ(ex & c.wantEx, c.wantEx);
    // Every form is owned by the application window.
    EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), Application->Handle());
    f->Free();
  }
}

TEST_F(FormDescription, MDIFormHasAClientAndListsItsChildren) {
  TForm* frame = nullptr;
  Application->CreateForm(frame);
  frame->SetFormStyle(fsMDIForm);
  frame->Show();
  ASSERT_NE(frame->ClientHandle(), nullptr);
  EXPECT_EQ(GetClassName(frame->ClientHandle()), "MDIClient");
  auto* child = new TForm(Application, 0);
  child->SetFormStyle(fsMDIChild);
  child->Show();
  Application->ProcessMessages();
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->MDIChildren(0), child);
  EXPECT_EQ(frame->ActiveMDIChild(), child);
}

// Bounds and margins near the integer limits are kept in the window range, so the
// automatic range adds them up without overflowing.
TEST_F(FormDescription, AutoScrollRangeOfHostileBoundsStaysInRange) {
  struct Case {
    const char* id;
    int left, width, margin;
    int range;
  };
  const Case cases[] = {
      {"far right", INT_MAX - 5, 100, 0, kWindowCoordLimit + 100},
      {"far left, negative width", INT_MIN + 5, -100, 0, 0},
      {"huge margin", 300, 50, INT_MAX, 350 + kWindowCoordLimit},
  };
  TForm* f = NewShownForm();
  auto* c = new TShape(f);  // no window of its own to clamp the bounds
  c->SetParent(f);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.id);
    f->HorzScrollBar()->SetPosition(0);
    f->HorzScrollBar()->SetMargin(k.margin);
    c->SetBounds(k.left, 10, k.width, 20);
    Application->ProcessMessages();
    EXPECT_EQ(c->Left(), ClampControlCoord(k.left));
    EXPECT_EQ(c->Width(), ClampControlSize(k.width));
    EXPECT_EQ(f->HorzScrollBar()->Range(), k.range);
  }
}

TEST_F(FormDescription, AutoScrollFollowsTheChildrenAndScrollsThem) {
  TForm* f = NewShownForm();
  f->SetClientWidth(200);
  f->SetClientHeight(100);
  auto* far = new TLogControl(f);
  far->SetParent(f);
  far->SetBounds(300, 10, 50, 20);
  Application->ProcessMessages();
  EXPECT_EQ(f->HorzScrollBar()->Range(), 350);
  EXPECT_TRUE(f->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_FALSE(f->VertScrollBar()->IsScrollBarVisible());
  SendMessage(f->Handle(), WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(f->HorzScrollBar()->Position(), 8);
  EXPECT_EQ(far->Left(), 292);
  f->ScrollInView(far);
  EXPECT_EQ(far->Left() + far->Width(), f->ClientWidth());
  f->HorzScrollBar()->SetPosition(0);
  EXPECT_EQ(far->Left(), 300);
}
