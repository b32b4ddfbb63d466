// The skin manager through real windows and the CBT hook, with a skinned form that records what
// the manager asks of it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/MessageBox.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinPopMenu.h"

namespace {

std::vector<std::string> gCalls;  // "<call> <window class>"
int gFormsFreed = 0;

class TRecordingSkinForm : public TSkinFormBase {
 public:
  using TSkinFormBase::TSkinFormBase;
  ~TRecordingSkinForm() override { ++gFormsFreed; }
  void AttachForm(TWinControl*, TSkinData*) override { Note("form"); }
  void AttachWindow(HWND, TSkinData*) override { Note("window"); }
  void Detach() override { Note("detach"); }
  void ReloadElements() override { Note("reload"); }
  void RecolourChildren() override { Note("recolour"); }
  bool WindowDestroyed() const override { return !IsWindow(hWnd); }
  void SkinChildWindow(HWND) override { Note("grip"); }
  bool IsMDIChild() const override { return GetWindowLong(hWnd, GWL_EXSTYLE) & WS_EX_MDICHILD; }
  void MDIBorderChanged() override { Note("mdi"); }
  void Note(const char* Call) { gCalls.push_back(std::string(Call) + " " + GetClassName(hWnd)); }
};

void DenySkin(TObject*, const std::string&, bool& DoSkin) {
  DoSkin = false;
}

LRESULT ProbeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == SKMSG_ISSKINNED && GetClassName(w) == "ProbeSkinned") return 1;
  return DefWindowProc(w, msg, wp, lp);
}

class SkinManageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    gCalls.clear();
    gFormsFreed = 0;
    for (const char* name : {"ProbeFrame", "ProbeSkinned", "TApplication", "XTcxPopupEditPopupWindow",
                             "MyPreviewForm", "TMessageForm"}) {
      WNDCLASSEX wc;
      if (GetClassInfoEx(MainInstance(), name, &wc)) continue;  // the program's own "TApplication"
      wc.style = CS_GLOBALCLASS;
      wc.lpfnWndProc = &ProbeProc;
      wc.hInstance = MainInstance();
      wc.lpszClassName = name;
      ASSERT_NE(RegisterClassEx(&wc), 0);
    }
    PushMessageBoxAnswer(IDOK);  // registers the system's dialog-box class "#32770"
    MessageBox(nullptr, "", "", MB_OK);
    SetSkinFormFactory([](TComponent* Owner) { return new TRecordingSkinForm(Owner); });
    DestroySkinManage();  // one left by an earlier test holds that test's windows and timer
    manage = EnsureSkinManage();
    main = NewData(sfMainform);
    manage->Active = true;
    manage->StartState = kSkinStartRunning;
  }
  void TearDown() override {
    // Before the application goes: a "TApplication" window calls the application's procedure.
    for (HWND w : made)
      if (IsWindow(w)) DestroyWindow(w);
    made.clear();
    datas.clear();
    DestroySkinManage();
    SetSkinFormFactory(nullptr);
  }
  TSkinData* NewData(TSkinFormType Type, TComponent* Owner = nullptr, bool Load = true) {
    TSkinData* data = datas.emplace_back(std::make_unique<TSkinData>(Owner)).get();
    data->SetSkinFormtype(Type);
    if (Load) {
      data->SkinStream()->LoadFromFile(OUR_SKINS_DIR "/light.skn");
      EXPECT_TRUE(data->LoadSkin());
    }
    manage->AddSkinData(data);
    return data;
  }
  HWND Window(const char* Class, DWORD Style = WS_POPUP | WS_VISIBLE, int Size = 100, HWND Parent = nullptr,
              HINSTANCE Instance = MainInstance(), DWORD ExStyle = 0) {
    return made.emplace_back(
        CreateWindowEx(ExStyle, Class, "w", Style, 10, 10, Size, Size, Parent, nullptr, Instance, nullptr));
  }
  TForm* ShownForm(int Tag = 0) {
    auto* form = new TForm(Application, 0);
    form->SetTag(Tag);
    form->Show();
    return form;
  }
  // Asks for the action for the main skin and lets the timer's 250 ms pass.
  void Act(int Action) {
    manage->ActionSkinData = main;
    manage->SetAction(Action, 250);
    Pump(250);
  }
  void Pump(uint32_t Ms) {
    for (uint32_t i = 0; i <= Ms; ++i) {
      if (i) VirtualClock::Advance(1);
      Application->ProcessMessages();
    }
  }
  TSkinManage* manage = nullptr;
  TSkinData* main = nullptr;
  std::vector<std::unique_ptr<TSkinData>> datas;
  std::vector<HWND> made;
};

// One row a test of SkinWindow: each refusing row differs from a skinned one in one thing.
TEST_F(SkinManageTest, EachTestOfSkinWindowRefusesOnItsOwn) {
  struct TCase {
    const char* Id;
    const char* Class;  // nullptr: a shown form whose Tag is Size
    DWORD Style;        // WS_CHILD: a child of a new top-level window
    int Size;
    DWORD ExStyle;
    bool OtherModule;
    std::function<void(HWND)> Tweak;  // after the window is made
    bool Skinned;
  };
#define TWEAK(...) [&](HWND w) { __VA_ARGS__; }
  const TCase cases[] = {
      {"top-level window", "ProbeFrame", 0, 100, 0, false, {}, true},
      {"manager inactive", "ProbeFrame", 0, 100, 0, false, TWEAK(manage->Active = false), false},
      {"answers ISSKINNED", "ProbeSkinned", 0, 100, 0, false, {}, false},
      {"already listed", "ProbeFrame", 0, 100, 0, false, TWEAK(manage->SkinWindow(w); Pump(0)), false},
      {"plain child", "ProbeFrame", WS_CHILD, 50, 0, false, {}, false},
      {"child while sweeping", "ProbeFrame", WS_CHILD, 50, 0, false, TWEAK(manage->SweepAll = true), true},
      {"other module", "ProbeFrame", 0, 100, 0, true, {}, false},
      {"dialog box of other module", "#32770", 0, 100, 0, true, {}, true},
      {"zero area", "ProbeFrame", 0, 0, 0, false, {}, false},
      {"zero-area MDI child", "ProbeFrame", 0, 0, WS_EX_MDICHILD, false, {}, true},
      {"form with tag 99", nullptr, 0, 99, 0, false, TWEAK(main->SetDisableTag(5)), false},
      {"form", nullptr, 0, 98, 0, false, {}, true},
      {"TApplication", "TApplication", 0, 100, 0, false, {}, false},
      {"cx popup window", "XTcxPopupEditPopupWindow", 0, 100, 0, false, {}, false},
      {"preview without xoPreview", "MyPreviewForm", 0, 100, 0, false, TWEAK(main->SetOptions({})), false},
      {"preview with xoPreview", "MyPreviewForm", 0, 100, 0, false, {}, true},
      {"OnFormSkin says no", "ProbeFrame", 0, 100, 0, false, TWEAK(main->OnFormSkin = DenySkin), false},
      {"no skin data", "ProbeFrame", 0, 100, 0, false, TWEAK(manage->RemoveSkinData(main)), false},
      {"empty skin data", "ProbeFrame", 0, 100, 0, false,
       TWEAK(manage->RemoveSkinData(main); NewData(sfMainform, nullptr, false)), false},
      {"no skinned form yet", "ProbeFrame", 0, 100, 0, false, TWEAK(SetSkinFormFactory(nullptr)), false},
  };
#undef TWEAK
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    TearDown();
    SetUp();
    const HWND parent = c.Style == WS_CHILD ? Window("ProbeFrame") : nullptr;
    const HWND window = !c.Class
                            ? ShownForm(c.Size)->Handle()
                            : Window(c.Class, parent ? WS_CHILD : WS_POPUP | WS_VISIBLE, c.Size, parent,
                                     c.OtherModule ? GetModuleHandle("user32") : MainInstance(), c.ExStyle);
    if (c.Tweak) c.Tweak(window);
    const size_t before = manage->Forms.size();
    EXPECT_EQ(manage->SkinWindow(window), c.Skinned);
    EXPECT_EQ(manage->Forms.size(), before + (c.Skinned ? 1 : 0));
    MSG msg;
    EXPECT_EQ(PeekMessage(&msg, window, SKMSG_ACTIVATE, SKMSG_ACTIVATE, PM_REMOVE) != 0, c.Skinned);
    if (c.Skinned) {
      EXPECT_EQ(msg.lParam, 1000);
    }
  }
}

TEST_F(SkinManageTest, FindsSkinDataAndControlsOfWindows) {
  TForm* owner = ShownForm();
  TSkinData* dialog = NewData(sfDialog);
  TSkinData* only = NewData(sfOnlyThisForm, owner);
  TSkinData* main2 = NewData(sfMainform);
  const HWND box = Window("#32770"), message = Window("TMessageForm"), frame = Window("ProbeFrame");
  EXPECT_EQ(manage->FindSkinDataFor(owner->Handle()), only);
  EXPECT_EQ(manage->FindSkinDataFor(box), dialog);
  EXPECT_EQ(manage->FindSkinDataFor(message), dialog);
  EXPECT_EQ(manage->FindSkinDataFor(frame), main2);
  EXPECT_EQ(manage->MainSkinData, main);
  manage->RemoveSkinData(main);
  manage->RemoveSkinData(main2);
  EXPECT_EQ(manage->MainSkinData, nullptr);
  EXPECT_EQ(manage->FindSkinDataFor(frame), dialog);  // no main-form data: the first registered

  auto* button = new TButton(owner);
  button->SetParent(owner);
  EXPECT_EQ(manage->FindControl(owner->Handle()), owner);
  EXPECT_EQ(manage->FindControl(button->Handle()), button);
  EXPECT_EQ(manage->FindControl(frame), nullptr);
}

TEST_F(SkinManageTest, PurgeDropsFreedFormsAndFreesThoseWhoseWindowIsGone) {
  TForm* owned = ShownForm();
  const HWND bare = Window("ProbeFrame"), kept = Window("ProbeFrame");
  for (HWND w : {owned->Handle(), bare, kept}) ASSERT_TRUE(manage->SkinWindow(w));
  delete owned;  // frees its skinned form, which stays listed
  DestroyWindow(bare);
  manage->PurgeForms();
  EXPECT_EQ(gFormsFreed, 2);
  ASSERT_EQ(manage->Forms.size(), 1u);
  EXPECT_EQ(manage->Forms[0].Form->hWnd, kept);
}

TEST_F(SkinManageTest, DestroyedManagerDetachesEveryFormAndFreesTheOwnerless) {
  TForm* owned = ShownForm();
  const HWND bare = Window("ProbeFrame");
  for (HWND w : {owned->Handle(), bare}) ASSERT_TRUE(manage->SkinWindow(w));
  gCalls.clear();
  DestroySkinManage();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"detach TForm", "detach ProbeFrame"}));
  EXPECT_EQ(gFormsFreed, 1);
  delete owned;
  EXPECT_EQ(gFormsFreed, 2);
  manage = EnsureSkinManage();
}

TEST_F(SkinManageTest, ActionsRunOnTheTimerAfter250Ms) {
  TForm* form = ShownForm();
  const HWND frame = Window("ProbeFrame");
  ASSERT_TRUE(manage->SkinWindow(frame));
  int changed = 0;
  main->OnSkinChanged = [&](TObject* Sender) { changed += Sender == main; };
  manage->ActionSkinData = main;
  manage->SetAction(kSkinActionActivate, 250);
  Pump(249);
  EXPECT_EQ(manage->Forms.size(), 1u);
  Pump(1);
  EXPECT_EQ(manage->Forms.size(), 2u);  // the visible form joined
  EXPECT_EQ(manage->Forms[1].Form->hWnd, form->Handle());
  EXPECT_FALSE(manage->SweepAll);

  gCalls.clear();
  Act(kSkinActionSkinChanged);
  const std::string formClass = GetClassName(form->Handle());
  EXPECT_EQ(gCalls, (std::vector<std::string>{"reload ProbeFrame", "reload " + formClass,
                                              "recolour ProbeFrame", "recolour " + formClass}));
  DestroyWindow(frame);
  Act(kSkinActionDropDestroyed);
  EXPECT_EQ(gFormsFreed, 1);
  gCalls.clear();
  Act(kSkinActionDeactivate);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"detach " + formClass}));
  EXPECT_TRUE(manage->Forms.empty());
  EXPECT_FALSE(manage->Active);
  EXPECT_EQ(changed, 4);
  EXPECT_EQ(gFormsFreed, 2);
}

TEST_F(SkinManageTest, HookAndActivationRequestsBeforeTheFirstActivation) {
  manage->Active = false;
  manage->StartState = kSkinStartIdle;
  manage->SetAction(kSkinActionActivate, 250);  // no window was activated: at once, no timer
  EXPECT_TRUE(manage->Active);
  EXPECT_FALSE(manage->Timer->Enabled());
  manage->InstallHook();
  const HWND frame = Window("ProbeFrame", WS_POPUP);
  EXPECT_EQ(manage->StartState, kSkinStartIdle);
  ShowWindow(frame, SW_SHOW);  // activates it
  EXPECT_EQ(manage->StartState, kSkinStartRunning);
  const HWND mdi = Window("ProbeFrame", WS_POPUP, 0, nullptr, MainInstance(), WS_EX_MDICHILD);
  ASSERT_EQ(manage->Forms.size(), 2u);
  EXPECT_EQ(manage->Forms[0].Form->hWnd, frame);
  EXPECT_EQ(manage->Forms[1].Form->hWnd, mdi);
  Window("ScrollBar", WS_CHILD | 0x10, 20, mdi);  // a size grip goes to its form
  EXPECT_EQ(gCalls.back(), "grip ProbeFrame");
}

TEST_F(SkinManageTest, FreedSkinDataLeavesNothingThatUsesIt) {
  TSkinData* second = NewData(sfMainform);
  const HWND a = Window("ProbeFrame"), b = Window("ProbeFrame");
  ASSERT_TRUE(manage->SkinWindow(a));
  ASSERT_TRUE(manage->SkinWindow(b));
  manage->Forms[1].Form->SkinData = main;
  for (TSkinData* data : {main, second}) {
    manage->PopupMenus.push_back(new TWinSkinPopMenu());
    manage->PopupMenus.back()->SkinData = data;
  }
  CurrentPopup = manage->PopupMenus[0];
  manage->ActionSkinData = main;
  datas.erase(datas.begin());  // frees main
  EXPECT_EQ(gFormsFreed, 1);
  ASSERT_EQ(manage->Forms.size(), 1u);
  EXPECT_EQ(manage->Forms[0].Form->hWnd, a);
  ASSERT_EQ(manage->PopupMenus.size(), 1u);
  EXPECT_EQ(manage->PopupMenus[0]->SkinData, second);
  EXPECT_EQ(CurrentPopup, nullptr);
  EXPECT_EQ(manage->ActionSkinData, nullptr);
  EXPECT_EQ(manage->MainSkinData, second);
  EXPECT_TRUE(manage->CheckConsistency());
}

}  // namespace
