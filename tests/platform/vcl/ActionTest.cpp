// Actions, action lists and the links that keep menu items in step with their action.
#include <gtest/gtest.h>

#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Messages.h"
#include "tests/platform/vcl/MenuTestSupport.h"

namespace {

using namespace menutest;

// Records what the application side is asked, and answers as configured.
class TRecordingAppHandler : public IApplicationActionHandler {
 public:
  bool ExecuteAction(TBasicAction*) override {
    Log.push_back("app execute");
    return AnswerExecute;
  }
  bool UpdateAction(TBasicAction*) override {
    Log.push_back("app update");
    return false;
  }
  bool DispatchAction(bool execute, TBasicAction*) override {
    Log.push_back(execute ? "dispatch execute" : "dispatch update");
    return AnswerDispatch;
  }
  std::vector<std::string> Log;
  bool AnswerExecute = false;
  bool AnswerDispatch = false;
};

class ActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    owner_ = std::make_unique<TComponent>(nullptr);
    list_ = new TActionList(owner_.get());
    action_ = new TAction(owner_.get());
    action_->SetActionList(list_);
    popup_ = new TPopupMenu(owner_.get());
    item_ = new TMenuItem(owner_.get());
    popup_->Items()->Add(item_);
  }
  void TearDown() override { owner_.reset(); }

  std::unique_ptr<TComponent> owner_;
  TActionList* list_ = nullptr;
  TAction* action_ = nullptr;
  TPopupMenu* popup_ = nullptr;
  TMenuItem* item_ = nullptr;
};

TEST_F(ActionTest, AnItemTakesTheActionsPropertiesAndFollowsThem) {
  action_->SetCaption("&Save");
  action_->SetShortCut(TextToShortCut("Ctrl+S"));
  action_->SetHint("Saves");
  item_->SetAction(action_);
  EXPECT_EQ(item_->Caption(), "&Save");
  EXPECT_EQ(item_->ShortCut(), TextToShortCut("Ctrl+S"));
  EXPECT_EQ(item_->Hint(), "Saves");
  EXPECT_EQ(action_->LinkCount(), 1);

  action_->SetCaption("Save &All");
  action_->SetEnabled(false);
  action_->SetChecked(true);
  action_->SetVisible(false);
  EXPECT_EQ(item_->Caption(), "Save &All");
  EXPECT_FALSE(item_->Enabled());
  EXPECT_TRUE(item_->Checked());
  EXPECT_FALSE(item_->Visible());
  EXPECT_EQ(GetMenuItemCount(popup_->Handle()), 0);
  action_->SetVisible(true);
  EXPECT_EQ(Entry(popup_->Handle(), 0).Text, "Save &All\tCtrl+S");
  EXPECT_EQ(Entry(popup_->Handle(), 0).State & (MFS_GRAYED | MFS_CHECKED), MFS_GRAYED | MFS_CHECKED);
}

TEST_F(ActionTest, APropertyTheItemChangedItselfIsNoLongerLinkedUntilTheActionChanges) {
  action_->SetCaption("Copy");
  item_->SetAction(action_);
  EXPECT_TRUE(item_->ActionLink()->IsCaptionLinked());
  item_->SetCaption("My copy");
  EXPECT_FALSE(item_->ActionLink()->IsCaptionLinked());
  EXPECT_TRUE(item_->ActionLink()->IsEnabledLinked());
  // Any change of the action brings the client back to the action's state.
  action_->SetEnabled(false);
  EXPECT_FALSE(item_->Enabled());
  EXPECT_EQ(item_->Caption(), "Copy");
  EXPECT_TRUE(item_->ActionLink()->IsCaptionLinked());
}

TEST_F(ActionTest, ClickingTheItemExecutesTheAction) {
  std::vector<TComponent*> sources;
  action_->SetOnExecute([&](TObject* sender) {
    EXPECT_EQ(sender, action_);
    sources.push_back(action_->ActionComponent());
  });
  item_->SetAction(action_);
  EXPECT_TRUE(item_->OnClick == action_->OnExecute);
  EXPECT_TRUE(popup_->DispatchCommand(item_->Command()));
  ASSERT_EQ(sources.size(), 1u);
  EXPECT_EQ(sources[0], item_);
  EXPECT_EQ(action_->ActionComponent(), nullptr);  // only while executing

  // An OnClick of the item's own replaces the action.
  int own = 0;
  item_->OnClick = [&](TObject*) { ++own; };
  item_->Click();
  EXPECT_EQ(own, 1);
  EXPECT_EQ(sources.size(), 1u);
}

TEST_F(ActionTest, ADisabledActionDoesNotRun) {
  int runs = 0;
  action_->SetOnExecute([&](TObject*) { ++runs; });
  action_->OnUpdate = [&](TObject*) { action_->SetEnabled(false); };
  EXPECT_FALSE(action_->Execute());
  EXPECT_EQ(runs, 0);
}

TEST_F(ActionTest, ExecutionAsksListThenApplicationThenActionThenTargets) {
  TRecordingAppHandler app;
  IApplicationActionHandler* old = SetApplicationActionHandler(&app);
  TScopeExit restore([old] { SetApplicationActionHandler(old); });
  std::vector<std::string> log;
  list_->OnExecute = [&](TBasicAction* a, bool& handled) {
    EXPECT_EQ(a, action_);
    log.push_back("list");
  };
  action_->SetOnExecute([&](TObject*) { log.push_back("action"); });
  EXPECT_TRUE(action_->Execute());
  EXPECT_EQ(log, (std::vector<std::string>{"list", "action"}));
  EXPECT_EQ(app.Log, (std::vector<std::string>{"app update", "dispatch update", "app execute"}));

  // The list may handle it alone.
  log.clear();
  list_->OnExecute = [&](TBasicAction*, bool& handled) { handled = true; };
  EXPECT_TRUE(action_->Execute());
  EXPECT_TRUE(log.empty());

  // Without handlers the targets get it.
  list_->OnExecute = nullptr;
  action_->SetOnExecute(nullptr);
  app.Log.clear();
  app.AnswerDispatch = true;
  action_->SetEnabled(true);
  EXPECT_TRUE(action_->Execute());
  EXPECT_EQ(app.Log.back(), "dispatch execute");
}

// The application's part (installed by the forms layer) disables what nothing can run.
TEST_F(ActionTest, AnActionNobodyHandlesIsDisabledOnUpdate) {
  ASSERT_NE(ApplicationActionHandler(), nullptr);
  EXPECT_FALSE(action_->Update());
  EXPECT_FALSE(action_->Enabled());
  action_->SetEnabled(true);
  action_->SetDisableIfNoHandler(false);
  action_->Update();
  EXPECT_TRUE(action_->Enabled());
  action_->SetDisableIfNoHandler(true);
  action_->SetOnExecute([](TObject*) {});
  action_->Update();
  EXPECT_TRUE(action_->Enabled());
}

TEST_F(ActionTest, CheckingAnActionUnchecksItsGroup) {
  auto* b = new TAction(owner_.get());
  auto* c = new TAction(owner_.get());
  b->SetActionList(list_);
  c->SetActionList(list_);
  action_->SetGroupIndex(3);
  b->SetGroupIndex(3);
  action_->SetChecked(true);
  b->SetChecked(true);
  c->SetChecked(true);  // no group
  EXPECT_FALSE(action_->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked());
  c->SetGroupIndex(3);  // joining checked: the others give way
  EXPECT_FALSE(b->Checked());
}

TEST_F(ActionTest, AutoCheckTogglesOnExecuteAndTheItemFollows) {
  action_->SetAutoCheck(true);
  action_->SetOnExecute([](TObject*) {});
  item_->SetAction(action_);
  EXPECT_TRUE(item_->AutoCheck());
  item_->Click();
  EXPECT_TRUE(action_->Checked());
  EXPECT_TRUE(item_->Checked());
  item_->Click();
  EXPECT_FALSE(item_->Checked());
  // A checked action of a group stays checked.
  action_->SetGroupIndex(1);
  item_->Click();
  item_->Click();
  EXPECT_TRUE(action_->Checked());
}

TEST_F(ActionTest, FreeingTheActionUnlinksTheItem) {
  action_->SetCaption("Gone");
  item_->SetAction(action_);
  delete action_;
  EXPECT_EQ(item_->Action(), nullptr);
  EXPECT_EQ(item_->Caption(), "Gone");
  EXPECT_EQ(list_->ActionCount(), 0);
  item_->Click();  // no action to run: nothing happens
}

TEST_F(ActionTest, FreeingTheItemUnregistersItsLink) {
  item_->SetAction(action_);
  EXPECT_EQ(action_->LinkCount(), 1);
  delete item_;
  EXPECT_EQ(action_->LinkCount(), 0);
  action_->SetCaption("still fine");
}

TEST_F(ActionTest, TheListKeepsItsActionsInOrder) {
  auto* b = new TAction(owner_.get());
  b->SetActionList(list_);
  EXPECT_EQ(list_->ActionCount(), 2);
  EXPECT_EQ(b->Index(), 1);
  b->SetIndex(0);
  EXPECT_EQ(list_->Actions(0), b);
  EXPECT_THROW(list_->Actions(2), EListError);
  b->SetActionList(nullptr);
  EXPECT_EQ(b->Index(), -1);
  delete list_;
  EXPECT_EQ(action_->ActionList(), nullptr);
}

TEST_F(ActionTest, ASuspendedListRunsNothing) {
  int runs = 0;
  action_->SetOnExecute([&](TObject*) { ++runs; });
  list_->SetState(asSuspended);
  EXPECT_FALSE(action_->Execute());
  action_->SetEnabled(false);
  list_->SetState(asSuspendedEnabled);
  EXPECT_TRUE(action_->Enabled());
  list_->SetState(asNormal);
  EXPECT_TRUE(action_->Execute());
  EXPECT_EQ(runs, 1);
}

TEST_F(ActionTest, ShortCutsRunTheActionOrTheMenuItem) {
  int runs = 0;
  action_->SetOnExecute([&](TObject*) { ++runs; });
  action_->SetShortCut(TextToShortCut("Ctrl+D"));
  action_->SecondaryShortCuts()->Add("F9");
  TMessage ctrlD(WM_KEYDOWN, 'D', 0);
  TMessage f9(WM_KEYDOWN, VK_F9, 0);
  TMessage plainD(WM_KEYDOWN, 'D', 0);
  EXPECT_FALSE(list_->IsShortCut(plainD));  // Ctrl is not down
  Input::KeyDown(VK_CONTROL);
  Pump();
  EXPECT_TRUE(list_->IsShortCut(ctrlD));
  Input::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_TRUE(list_->IsShortCut(f9));
  EXPECT_EQ(runs, 2);

  int clicks = 0;
  item_->SetShortCut(VK_F9 | scAlt);
  item_->OnClick = [&](TObject*) { ++clicks; };
  TMessage altF9(WM_SYSKEYDOWN, VK_F9, 0x20000000);
  EXPECT_TRUE(popup_->IsShortCut(altF9));
  EXPECT_FALSE(popup_->IsShortCut(f9));
  item_->SetEnabled(false);
  EXPECT_FALSE(popup_->IsShortCut(altF9));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ActionTest, TheListForgetsAFreedImageList) {
  auto* images = new TImageList(owner_.get());
  int changes = 0;
  list_->OnChange = [&](TObject*) { ++changes; };
  list_->SetImages(images);
  EXPECT_EQ(action_->Images(), images);
  popup_->SetImages(images);
  delete images;
  EXPECT_EQ(list_->Images(), nullptr);
  EXPECT_EQ(popup_->Images(), nullptr);
  EXPECT_GE(changes, 2);
}

TEST_F(ActionTest, ActionsLoadAsChildrenOfTheirList) {
  RegisterActionClasses();
  RegisterMenuClasses();
  auto root = std::make_unique<TComponent>(nullptr);
  ReadComponentFromText(R"(object Root: TComponent
  object ActionList1: TActionList
    object EditCopy1: TAction
      Category = 'Edit'
      Caption = '&Copy'
      ShortCut = 16451
    end
    object EditPaste1: TAction
      Caption = '&Paste'
      Enabled = False
    end
  end
  object PopupMenu1: TPopupMenu
    object Copy1: TMenuItem
      Action = EditCopy1
    end
  end
end
)",
                        root.get());
  auto* list = dynamic_cast<TActionList*>(root->FindComponent("ActionList1"));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->ActionCount(), 2);
  auto* copy = dynamic_cast<TAction*>(list->Actions(0));
  EXPECT_EQ(copy->Category(), "Edit");
  EXPECT_EQ(copy->ShortCut(), TextToShortCut("Ctrl+C"));
  EXPECT_FALSE(dynamic_cast<TAction*>(list->Actions(1))->Enabled());
  auto* item = dynamic_cast<TMenuItem*>(root->FindComponent("Copy1"));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Action(), copy);
  EXPECT_EQ(item->Caption(), "&Copy");
  EXPECT_EQ(item->ShortCut(), TextToShortCut("Ctrl+C"));
}

}  // namespace
