// The edit buttons of the data-aware editor on a shown form: layout geometry (none, one,
// several, flat), state following the editor, clicks and drop-down menus.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/vcl/Menus.h"
#include "tests/grid/editors/DBEditFormTestSupport.h"

namespace {

using namespace dbedit_test;

class DBEditButtonsTest : public DBEditFormTest {};

TEST_F(DBEditButtonsTest, ButtonLayoutGeometry) {
  struct Item {
    bool visible;
    int width;
  };
  struct Case {
    const char* name;
    int height;  // editor height (3-D border: client height is 4 less)
    bool flat;
    Item builtIn;
    std::vector<Item> items;
    int buttonsWidth;
    int commonHeight;
    std::vector<int> lefts;   // of each button control on the panel
    std::vector<int> widths;  // of each button control
  };
  const Case cases[] = {
      // With nothing visible the controls keep the base height, never the largest integer.
      {"none visible", 60, false, {false, 0}, {{false, 0}}, 0, 56, {0, 0}, {0, 0}},
      {"built-in at the scroll-bar width", 60, false, {true, 0}, {}, 18, 18, {0}, {18}},
      {"low editor takes the full height", 24, false, {true, 0}, {}, 18, 20, {0}, {18}},
      {"several in collection order",
       60,
       false,
       {true, 0},
       {{true, 20}, {false, 30}, {true, 0}},
       56,
       18,
       {0, 18, 38, 38},
       {18, 20, 0, 18}},
      {"own width", 60, false, {true, 25}, {}, 25, 25, {0}, {25}},
      // Flat: 1-pixel separators, one less in total, heights of 4/3 the width.
      {"flat with separators", 60, true, {true, 12}, {{true, 10}}, 23, 13, {0, 13}, {12, 10}},
      // Widths past the window range are kept inside it, and so is their sum.
      {"widths past the window range",
       60,
       false,
       {true, INT_MAX},
       {{true, INT_MAX}},
       kWindowCoordLimit,
       56,
       {0, kWindowCoordLimit},
       {kWindowCoordLimit, kWindowCoordLimit}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit->EditButtons()->Clear();
    edit->SetFlat(c.flat);
    edit->SetAutoSize(false);
    edit->SetBounds(10, 10, 200, c.height);
    edit->EditButton()->SetWidth(c.builtIn.width);
    edit->EditButton()->SetVisible(c.builtIn.visible);
    for (const Item& it : c.items) {
      TEditButtonEh* b = edit->EditButtons()->Add();
      b->SetWidth(it.width);
      b->SetVisible(it.visible);
    }
    Application->ProcessMessages();
    const TRect client = edit->ClientRect();
    ASSERT_EQ(client.Height(), c.height - 4);
    ASSERT_EQ(edit->ButtonControlCount(), static_cast<int>(c.items.size()) + 1);
    EXPECT_EQ(edit->ButtonsWidth(), c.buttonsWidth);
    for (int i = 0; i < edit->ButtonControlCount(); ++i) {
      SCOPED_TRACE(i);
      TEditButtonControlEh* b = edit->ButtonControl(i);
      EXPECT_EQ(b->Tag(), i);
      EXPECT_EQ(b->Left(), c.lefts[static_cast<size_t>(i)]);
      EXPECT_EQ(b->Width(), c.widths[static_cast<size_t>(i)]);
      EXPECT_EQ(b->Top(), 0);
      EXPECT_EQ(b->Height(), c.commonHeight);
    }
    const TRect buttons{client.Right - c.buttonsWidth, 0, client.Right, client.Bottom};
    EXPECT_EQ(edit->ButtonsRect(), buttons);
    EXPECT_EQ(edit->InnerPanel()->Visible(), c.buttonsWidth > 0);
    if (c.buttonsWidth > 0) {
      EXPECT_EQ(BoundsOf(edit->InnerPanel()), buttons);
    }
    EXPECT_EQ(edit->CalcEditRect(), (TRect{0, 0, std::max(0, client.Right - c.buttonsWidth), client.Bottom}));
  }
}

TEST_F(DBEditButtonsTest, ANewButtonIsLaidOutAtOnce) {
  edit->EditButton()->SetVisible(true);
  Application->ProcessMessages();
  const int before = edit->ButtonsWidth();
  // Items are visible by default; no paint runs between adding and looking.
  edit->EditButtons()->Add();
  ASSERT_EQ(edit->ButtonControlCount(), 2);
  EXPECT_EQ(edit->ButtonControl(1)->Width(), 18);
  EXPECT_EQ(edit->ButtonsWidth(), before + 18);
  EXPECT_EQ(edit->CalcEditRect().Right, edit->ButtonsRect().Left);
  edit->EditButtons()->Delete(0);
  EXPECT_EQ(edit->ButtonControlCount(), 1);
  EXPECT_EQ(edit->ButtonsWidth(), before);
}

TEST_F(DBEditButtonsTest, ButtonStateFollowsEnabledAndItems) {
  edit->EditButton()->SetVisible(true);
  TEditButtonEh* extra = edit->EditButtons()->Add();
  extra->SetVisible(true);
  extra->SetEnabled(false);
  Application->ProcessMessages();
  EXPECT_TRUE(edit->ButtonControl(0)->Enabled());
  EXPECT_FALSE(edit->ButtonControl(1)->Enabled());
  edit->SetEnabled(false);
  EXPECT_FALSE(edit->ButtonControl(0)->Enabled());
  edit->SetEnabled(true);
  EXPECT_TRUE(edit->ButtonControl(0)->Enabled());
  // The hot look follows the active border.
  edit->SetAlwaysShowBorder(true);
  EXPECT_TRUE(edit->BorderActive());
  EXPECT_TRUE(edit->ButtonControl(0)->Active());
  edit->SetAlwaysShowBorder(false);
  EXPECT_FALSE(edit->BorderActive());
  EXPECT_FALSE(edit->ButtonControl(0)->Active());
}

TEST_F(DBEditButtonsTest, ButtonClicksReachTheirHandlers) {
  edit->EditButton()->SetVisible(true);
  TEditButtonEh* extra = edit->EditButtons()->Add();
  extra->SetVisible(true);
  extra->SetWidth(15);
  std::vector<std::string> log;
  edit->OnButtonDown = [&](TObject* s, bool, bool&, bool& handled) {
    EXPECT_EQ(s, edit);
    log.push_back("down");
    handled = true;
  };
  edit->OnButtonClick = [&](TObject*, bool&) { log.push_back("click"); };
  extra->OnClick = [&](TObject*) { log.push_back("extra click"); };
  Application->ProcessMessages();
  ClickOn(edit->ButtonControl(0));
  EXPECT_EQ(log, (std::vector<std::string>{"down", "click"}));
  EXPECT_TRUE(edit->Focused());  // a press takes the focus
  log.clear();
  ClickOn(edit->ButtonControl(1));
  EXPECT_EQ(log, (std::vector<std::string>{"extra click"}));
}

TEST_F(DBEditButtonsTest, DropdownMenuPopsUpUnderTheButton) {
  for (TPopupAlignment align : {paLeft, paRight}) {
    SCOPED_TRACE(static_cast<int>(align));
    auto* menu = new TPopupMenu(form);
    menu->SetAlignment(align);
    auto* item = new TMenuItem(menu);
    item->SetCaption("One");
    menu->Items()->Add(item);
    int popups = 0, clicks = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    edit->OnButtonClick = [&](TObject*, bool&) { ++clicks; };
    edit->EditButton()->SetVisible(true);
    edit->EditButton()->SetDropdownMenu(menu);
    Application->ProcessMessages();
    TEditButtonControlEh* button = edit->ButtonControl(0);
    WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
    ClickOn(button);
    EXPECT_EQ(popups, 1);
    const TPoint corner =
        button->ClientToScreen(TPoint{align == paRight ? button->Width() : 0, button->Height()});
    EXPECT_EQ(menu->PopupPoint(), corner);
    // Not left pressed, and no click: the menu had the press.
    EXPECT_EQ(button->PaintState(), bpsNormalEh);
    EXPECT_EQ(clicks, 0);
    edit->EditButton()->SetDropdownMenu(nullptr);
    delete menu;
  }
}

}  // namespace
