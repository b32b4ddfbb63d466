// Controls and actions, the hint request, the drag loop, and loading controls from a window
// description (children read with their parent set).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Filer.h"
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"

namespace {

class TDescProbe : public TGraphicControl {
  RTL_CLASS(TDescProbe, TGraphicControl)
 public:
  explicit TDescProbe(TComponent* AOwner) : TGraphicControl(AOwner) {}
  static void DescribeClass(TClassBuilder<TDescProbe>& c) {
    PublishControl(c, {"Align", "Caption", "Color", "ParentColor", "Visible", "OnClick", "DragMode"});
  }
};
RTL_IMPLEMENT_CLASS(TDescProbe)

class TDescBox : public TCustomControl {
  RTL_CLASS(TDescBox, TCustomControl)
 public:
  explicit TDescBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
  }
  static void DescribeClass(TClassBuilder<TDescBox>& c) {
    PublishControl(c, {"Align", "Color", "TabStop", "TabOrder", "BorderWidth", "DragMode"});
  }
};
RTL_IMPLEMENT_CLASS(TDescBox)

class ControlActionDragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    RegisterClasses({TDescProbe::StaticClass(), TDescBox::StaticClass()});
  }
  void TearDown() override { ResetVcl(); }
};

TEST_F(ControlActionDragTest, AControlShowsItsActionAndItsClickRunsIt) {
  auto* action = new TAction(nullptr);
  action->SetCaption("Save");
  action->SetHint("Save the file");
  int executed = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  auto* c = new TDescProbe(nullptr);
  c->SetAction(action);
  EXPECT_EQ(c->Caption(), "Save");
  EXPECT_EQ(c->Hint(), "Save the file");
  EXPECT_TRUE(c->ControlStyle().Contains(csActionClient));
  c->Click();
  EXPECT_EQ(executed, 1);

  // Later changes of the action reach the control while it shows the action's values.
  action->SetCaption("Save all");
  action->SetEnabled(false);
  EXPECT_EQ(c->Caption(), "Save all");
  EXPECT_FALSE(c->Enabled());

  // An OnClick of the control's own wins over the action.
  int own = 0;
  c->OnClick = [&](TObject*) { ++own; };
  c->Click();
  EXPECT_EQ(own, 1);
  EXPECT_EQ(executed, 1);

  c->SetAction(nullptr);
  EXPECT_FALSE(c->ControlStyle().Contains(csActionClient));
  c->Free();
  action->Free();
}

TEST_F(ControlActionDragTest, LoadedActionKeepsWhatTheControlSetItself) {
  auto* action = new TAction(nullptr);
  action->SetCaption("From action");
  action->SetHint("action hint");
  auto* c = new TDescProbe(nullptr);
  c->SetCaption("Own");
  c->ActionChange(action, true);  // what Loaded does: defaults only
  EXPECT_EQ(c->Caption(), "Own");
  EXPECT_EQ(c->Hint(), "action hint");
  c->Free();
  action->Free();
}

TEST_F(ControlActionDragTest, HintRequestIsAnsweredZeroAndLeavesTheInfoAlone) {
  auto* c = new TDescProbe(nullptr);
  THintInfo info;
  info.HintStr = "Short";
  info.HintControl = c;
  EXPECT_EQ(c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.HintStr, "Short");
  c->Free();
}

TEST_F(ControlActionDragTest, AutomaticDragDropsOnAnAcceptingTarget) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(100, 100, 300, 200);
  auto* source = new TDescBox(f);
  source->SetBounds(10, 10, 50, 50);
  source->SetParent(f);
  source->SetDragMode(dmAutomatic);
  auto* target = new TDescProbe(f);
  target->SetBounds(150, 10, 50, 50);
  target->SetParent(f);
  f->Show();
  Application->ProcessMessages();

  std::vector<std::string> log;
  target->OnDragOver = [&](TObject*, TObject* src, int x, int y, TDragState state, bool& accept) {
    log.push_back("over " + std::to_string(state) + " " + std::to_string(x) + "," + std::to_string(y));
    accept = src == source;
  };
  target->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
    log.push_back(std::string("drop ") + (src == source ? "source " : "? ") + std::to_string(x) + "," +
                  std::to_string(y));
  };
  source->OnEndDrag = [&](TObject*, TObject* t, int x, int y) {
    log.push_back(std::string("end ") + (t == target ? "target " : "none ") + std::to_string(x) + "," +
                  std::to_string(y));
  };
  Input::MouseDown(VK_LBUTTON, source->ClientToScreen({5, 5}));
  Application->ProcessMessages();
  EXPECT_TRUE(source->Dragging());
  Input::MouseMove(target->ClientToScreen({4, 4}));
  Application->ProcessMessages();
  Input::MouseMove(target->ClientToScreen({6, 7}));
  Input::MouseUp(VK_LBUTTON, target->ClientToScreen({6, 7}));
  Application->ProcessMessages();
  EXPECT_FALSE(source->Dragging());
  const std::vector<std::string> expected = {"over 0 4,4", "over 2 6,7", "drop source 6,7", "end target 6,7"};
  EXPECT_EQ(log, expected);

  // Dropped where nobody accepts: the drag ends without a target.
  log.clear();
  Input::MouseDown(VK_LBUTTON, source->ClientToScreen({5, 5}));
  Input::MouseMove(f->ClientToScreen({100, 150}));
  Input::MouseUp(VK_LBUTTON, f->ClientToScreen({100, 150}));
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"end none 0,0"}));
}

TEST_F(ControlActionDragTest, DescriptionLoadsChildrenWithTheirParentAndProperties) {
  const char* text =
      "object Root: TDescBox\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  Width = 200\n"
      "  Height = 100\n"
      "  BorderWidth = 4\n"
      "  object Header: TDescProbe\n"
      "    Left = 8\n"
      "    Top = 16\n"
      "    Width = 50\n"
      "    Height = 20\n"
      "    Cursor = crHandPoint\n"
      "    Hint = 'tip|long tip'\n"
      "    Align = alTop\n"
      "    Caption = #25910#20837\n"
      "    Color = clYellow\n"
      "  end\n"
      "  object Second: TDescBox\n"
      "    Left = 8\n"
      "    Top = 50\n"
      "    Width = 20\n"
      "    Height = 20\n"
      "    TabOrder = 1\n"
      "  end\n"
      "  object First: TDescBox\n"
      "    Left = 40\n"
      "    Top = 50\n"
      "    Width = 20\n"
      "    Height = 20\n"
      "    TabOrder = 0\n"
      "  end\n"
      "end\n";
  auto* root = new TDescBox(nullptr);
  ReadComponentFromText(text, root);
  auto* header = dynamic_cast<TDescProbe*>(root->FindComponent("Header"));
  auto* first = dynamic_cast<TDescBox*>(root->FindComponent("First"));
  auto* second = dynamic_cast<TDescBox*>(root->FindComponent("Second"));
  ASSERT_TRUE(header && first && second);
  EXPECT_EQ(header->Parent(), root);
  EXPECT_EQ(header->Owner(), root);
  EXPECT_EQ(header->Cursor(), crHandPoint);
  EXPECT_EQ(GetShortHint(header->Hint()), "tip");
  EXPECT_EQ(header->Caption(), "收入");
  EXPECT_EQ(header->Color(), clYellow);
  EXPECT_FALSE(header->ParentColor());
  EXPECT_EQ(header->BoundsRect(), Bounds(4, 4, 192, 20));  // aligned inside the border width
  EXPECT_EQ(first->TabOrder(), 0);
  EXPECT_EQ(second->TabOrder(), 1);
  EXPECT_EQ(root->ControlCount(), 3);
  root->Free();
}

}  // namespace
