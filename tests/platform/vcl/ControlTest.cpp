// TControl: ownership and free notification across controls, parenting, bounds and alignment,
// ParentFont/ParentColor, scaling, graphic controls (mouse and painting), WindowProc routing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"

namespace {

// A graphic control that paints itself one colour and logs what reaches it.
class TProbeGraphic : public TGraphicControl {
  RTL_CLASS(TProbeGraphic, TGraphicControl)
 public:
  explicit TProbeGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 20, 20); }
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
    ++paints;
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    log.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
    inherited::MouseDown(Button, Shift, X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    log.push_back("up " + std::to_string(X) + "," + std::to_string(Y));
    inherited::MouseUp(Button, Shift, X, Y);
  }
  void Click() override {
    log.push_back("click");
    inherited::Click();
  }
  void CMMouseEnter(TMessage& Message) override {
    log.push_back("enter");
    inherited::CMMouseEnter(Message);
  }
  void CMMouseLeave(TMessage& Message) override {
    log.push_back("leave");
    inherited::CMMouseLeave(Message);
  }
  TColor Fill = clRed;
  int paints = 0;
  std::vector<std::string> log;
};
RTL_IMPLEMENT_CLASS(TProbeGraphic)

// A plain container.
class TBox : public TCustomControl {
  RTL_CLASS(TBox, TCustomControl)
 public:
  explicit TBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
  }
};
RTL_IMPLEMENT_CLASS(TBox)

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetVcl(); }
  void TearDown() override { ResetVcl(); }

  static TForm* ShownForm() {
    auto* f = new TForm(Application, 0);
    f->SetBounds(100, 100, 300, 200);
    f->Show();
    Application->ProcessMessages();
    return f;
  }
};

TEST_F(ControlTest, FreeingAParentFreesItsChildrenWhoeverOwnsThem) {
  auto* owner = new TComponent(nullptr);
  auto* parent = new TBox(nullptr);
  auto* child = new TProbeGraphic(owner);
  auto* inner = new TBox(owner);
  auto* grandchild = new TProbeGraphic(owner);
  child->SetParent(parent);
  inner->SetParent(parent);
  grandchild->SetParent(inner);
  EXPECT_EQ(owner->ComponentCount(), 3);
  parent->Free();
  // The children left their owner as they went.
  EXPECT_EQ(owner->ComponentCount(), 0);
  owner->Free();
}

TEST_F(ControlTest, FreeingAChildRemovesItFromItsParent) {
  auto* parent = new TBox(nullptr);
  auto* a = new TProbeGraphic(parent);
  auto* b = new TBox(parent);
  a->SetParent(parent);
  b->SetParent(parent);
  EXPECT_EQ(parent->ControlCount(), 2);
  a->Free();
  ASSERT_EQ(parent->ControlCount(), 1);
  EXPECT_EQ(parent->Controls(0), b);
  b->SetParent(nullptr);
  EXPECT_EQ(parent->ControlCount(), 0);
  EXPECT_EQ(b->Parent(), nullptr);
  parent->Free();  // b is still owned by parent and goes with it
}

TEST_F(ControlTest, AFreedPopupMenuOrActionIsForgotten) {
  auto* c = new TProbeGraphic(nullptr);
  auto* menu = new TPopupMenu(nullptr);
  auto* action = new TAction(nullptr);
  c->SetPopupMenu(menu);
  c->SetAction(action);
  EXPECT_EQ(c->PopupMenu(), menu);
  EXPECT_EQ(c->Action(), action);
  menu->Free();
  action->Free();
  EXPECT_EQ(c->PopupMenu(), nullptr);
  EXPECT_EQ(c->Action(), nullptr);
  c->Free();
}

TEST_F(ControlTest, ControlsListsGraphicChildrenFirstAndSetParentToSelfFails) {
  auto* parent = new TBox(nullptr);
  auto* w = new TBox(parent);
  auto* g = new TProbeGraphic(parent);
  w->SetParent(parent);
  g->SetParent(parent);
  ASSERT_EQ(parent->ControlCount(), 2);
  EXPECT_EQ(parent->Controls(0), g);
  EXPECT_EQ(parent->Controls(1), w);
  EXPECT_THROW(parent->Controls(2), EListError);
  EXPECT_THROW(w->SetParent(w), EInvalidOperation);
  EXPECT_TRUE(parent->ContainsControl(g));
  EXPECT_FALSE(w->ContainsControl(g));
  parent->Free();
}

TEST_F(ControlTest, AlignmentLaysOutInOrderWithinTheBorderWidthWithoutAWindow) {
  auto* p = new TBox(nullptr);
  p->SetBounds(0, 0, 200, 100);
  p->SetBorderWidth(5);
  struct Case {
    TAlign Align;
    TRect Expected;
  };
  const std::vector<Case> cases = {{alTop, Bounds(5, 5, 190, 10)},
                                   {alBottom, Bounds(5, 85, 190, 10)},
                                   {alLeft, Bounds(5, 15, 20, 70)},
                                   {alRight, Bounds(175, 15, 20, 70)},
                                   {alClient, Bounds(25, 15, 150, 70)}};
  std::vector<TControl*> made;
  for (const Case& k : cases) {
    auto* c = new TProbeGraphic(p);
    c->SetBounds(0, 0, 20, 10);
    c->SetParent(p);
    c->SetAlign(k.Align);
    made.push_back(c);
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(made[i]->BoundsRect(), cases[i].Expected);
  }
  // Resizing the container lays the children out again.
  p->SetBounds(0, 0, 300, 100);
  EXPECT_EQ(made[4]->BoundsRect(), Bounds(25, 15, 250, 70));
  EXPECT_EQ(made[3]->BoundsRect(), Bounds(275, 15, 20, 70));
  p->Free();
}

TEST_F(ControlTest, TwoTopAlignedControlsStackByTheirTopAndConstraintsHold) {
  auto* p = new TBox(nullptr);
  p->SetBounds(0, 0, 100, 100);
  auto* second = new TProbeGraphic(p);
  second->SetBounds(0, 50, 10, 20);
  second->SetParent(p);
  auto* first = new TProbeGraphic(p);
  first->SetBounds(0, 10, 10, 30);
  first->SetParent(p);
  p->DisableAlign();
  second->SetAlign(alTop);
  first->SetAlign(alTop);
  p->EnableAlign();
  EXPECT_EQ(first->BoundsRect(), Bounds(0, 0, 100, 30));
  EXPECT_EQ(second->BoundsRect(), Bounds(0, 30, 100, 20));
  second->Constraints()->SetMaxHeight(15);
  EXPECT_EQ(second->Height(), 15);
  second->SetHeight(40);
  EXPECT_EQ(second->Height(), 15);
  p->Free();
}

TEST_F(ControlTest, AnchorsKeepTheirDistancesWhenTheParentGrows) {
  auto* p = new TBox(nullptr);
  p->SetBounds(0, 0, 200, 100);
  auto* right = new TProbeGraphic(p);
  right->SetParent(p);
  right->SetBounds(150, 10, 40, 20);
  right->SetAnchors({akTop, akRight});
  auto* stretch = new TProbeGraphic(p);
  stretch->SetParent(p);
  stretch->SetBounds(10, 40, 100, 50);
  stretch->SetAnchors({akLeft, akTop, akRight, akBottom});
  p->SetBounds(0, 0, 260, 130);
  EXPECT_EQ(right->BoundsRect(), Bounds(210, 10, 40, 20));
  EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 40, 160, 80));
  p->Free();
}

TEST_F(ControlTest, ParentFontAndParentColorFollowTheParentUntilSetOwn) {
  auto* p = new TBox(nullptr);
  auto* inner = new TBox(p);
  inner->SetParent(p);
  auto* leaf = new TProbeGraphic(p);
  leaf->SetParent(inner);
  p->SetColor(clYellow);
  p->Font()->SetSize(12);
  EXPECT_EQ(inner->Color(), clYellow);
  EXPECT_EQ(leaf->Color(), clYellow);
  EXPECT_EQ(leaf->Font()->Size(), 12);
  EXPECT_TRUE(leaf->ParentColor());
  EXPECT_TRUE(leaf->ParentFont());
  leaf->SetColor(clBlue);
  leaf->Font()->SetSize(9);
  EXPECT_FALSE(leaf->ParentColor());
  EXPECT_FALSE(leaf->ParentFont());
  p->SetColor(clWhite);
  p->Font()->SetSize(14);
  EXPECT_EQ(inner->Color(), clWhite);
  EXPECT_EQ(leaf->Color(), clBlue);
  EXPECT_EQ(leaf->Font()->Size(), 9);
  leaf->SetParentColor(true);
  leaf->SetParentFont(true);
  EXPECT_EQ(leaf->Color(), clWhite);
  EXPECT_EQ(leaf->Font()->Size(), 14);
  // A control joining a parent takes its look.
  auto* late = new TProbeGraphic(p);
  late->SetParent(inner);
  EXPECT_EQ(late->Color(), clWhite);
  p->Free();
}

TEST_F(ControlTest, ChangeScaleScalesCumulativelyAndLeavesTheParentFontAlone) {
  auto* p = new TBox(nullptr);
  p->SetBounds(10, 10, 100, 50);
  auto* c = new TProbeGraphic(p);
  c->SetParent(p);
  c->SetBounds(10, 20, 30, 5);
  c->Font()->SetSize(10);
  p->ScaleBy(3, 2);
  EXPECT_EQ(p->BoundsRect(), Bounds(15, 15, 150, 75));
  EXPECT_EQ(c->BoundsRect(), Bounds(15, 30, 45, 8));  // right edge 40 -> 60, bottom 25 -> 38
  EXPECT_EQ(c->Font()->Size(), 15);
  p->ScaleBy(2, 1);
  EXPECT_EQ(c->BoundsRect(), Bounds(30, 60, 90, 16));
  EXPECT_EQ(c->Font()->Size(), 30);
  p->Free();
}

TEST_F(ControlTest, CaptionFollowsTheNameWhileItEqualsIt) {
  auto* c = new TProbeGraphic(nullptr);
  c->SetName("Label1");
  EXPECT_EQ(c->Caption(), "Label1");
  c->SetName("Label2");
  EXPECT_EQ(c->Caption(), "Label2");
  c->SetCaption("Total");
  c->SetName("Label3");
  EXPECT_EQ(c->Caption(), "Total");
  auto* plain = new TProbeGraphic(nullptr);
  plain->SetControlStyle(plain->ControlStyle() - csSetCaption);
  plain->SetName("Other");
  EXPECT_EQ(plain->Caption(), "");
  c->Free();
  plain->Free();
}

TEST_F(ControlTest, WindowProcCanBeReplacedAndRestored) {
  auto* c = new TProbeGraphic(nullptr);
  const TWndMethod saved = c->WindowProc();
  EXPECT_TRUE(saved == TWndMethod::Method(static_cast<TControl*>(c), &TControl::WndProc));
  std::vector<UINT> seen;
  c->SetWindowProc([&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == CM_HITTEST) {
      m.Result = 7;
      return;
    }
    saved(m);
  });
  EXPECT_EQ(c->Perform(CM_HITTEST, 0, 0), 7);
  c->SetCaption("abc");  // text goes through the replaced procedure too
  EXPECT_EQ(c->Caption(), "abc");
  EXPECT_GE(seen.size(), 3u);
  c->SetWindowProc(saved);
  EXPECT_TRUE(c->WindowProc() == saved);
  EXPECT_EQ(c->Perform(CM_HITTEST, 0, 0), HTCLIENT);
  c->Free();
}

TEST_F(ControlTest, GraphicControlIsPaintedByItsParentAndGetsItsMouseMessages) {
  TForm* f = ShownForm();
  auto* g = new TProbeGraphic(f);
  g->SetBounds(30, 40, 20, 10);
  g->SetParent(f);
  Application->ProcessMessages();
  EXPECT_GE(g->paints, 1);
  HDC dc = GetDC(f->Handle());
  TPoint inside{35, 45}, outside{55, 45};
  EXPECT_EQ(GetPixel(dc, inside.X, inside.Y), RGB(255, 0, 0));
  EXPECT_NE(GetPixel(dc, outside.X, outside.Y), RGB(255, 0, 0));
  ReleaseDC(f->Handle(), dc);

  int clicks = 0;
  g->OnClick = [&](TObject*) { ++clicks; };
  Input::MouseMove(f->ClientToScreen({35, 45}));
  Input::MouseDown(VK_LBUTTON, f->ClientToScreen({35, 45}));
  Application->ProcessMessages();
  EXPECT_TRUE(g->MouseCapture());
  // Released outside: the capture kept the messages on the control, but it is no click.
  Input::MouseMove(f->ClientToScreen({80, 80}));
  Input::MouseUp(VK_LBUTTON, f->ClientToScreen({80, 80}));
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(g->MouseCapture());
  // A second press soon after is a double click, which is no click either.
  int doubles = 0;
  g->OnDblClick = [&](TObject*) { ++doubles; };
  WinTesting::Click(f->ClientToScreen({36, 46}));
  Application->ProcessMessages();
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(clicks, 0);
  VirtualClock::Advance(GetDoubleClickTime() + 1);
  WinTesting::Click(f->ClientToScreen({37, 47}));
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  const std::vector<std::string> expected = {"enter",    "down 5,5", "leave",    "up 50,40", "enter",
                                             "down 6,6", "up 6,6",   "down 7,7", "click",    "up 7,7"};
  EXPECT_EQ(g->log, expected);
}

TEST_F(ControlTest, InvisibleGraphicControlIsNeitherPaintedNorHit) {
  TForm* f = ShownForm();
  auto* g = new TProbeGraphic(f);
  g->SetBounds(10, 10, 20, 20);
  g->SetParent(f);
  g->Hide();
  Application->ProcessMessages();
  EXPECT_EQ(g->paints, 0);
  EXPECT_EQ(f->ControlAtPos({15, 15}, false), nullptr);
  g->Show();
  EXPECT_EQ(f->ControlAtPos({15, 15}, false), g);
  g->SetEnabled(false);
  EXPECT_EQ(f->ControlAtPos({15, 15}, false), nullptr);
  EXPECT_EQ(f->ControlAtPos({15, 15}, true), g);
  Application->ProcessMessages();
  EXPECT_GE(g->paints, 1);
}

TEST_F(ControlTest, RightClickOnAGraphicControlAsksItForItsContextMenu) {
  TForm* f = ShownForm();
  auto* g = new TProbeGraphic(f);
  g->SetBounds(10, 10, 20, 20);
  g->SetParent(f);
  TPoint at{-100, -100};
  g->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
    at = p;
    handled = true;
  };
  WinTesting::Click(f->ClientToScreen({14, 17}), VK_RBUTTON);
  Application->ProcessMessages();
  EXPECT_EQ(at, (TPoint{4, 7}));
}

}  // namespace
