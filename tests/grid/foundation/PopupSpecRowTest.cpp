// The special row of lookup lists and the owner-drawn popup menu.
#include <gtest/gtest.h>

#include "grid/foundation/PopupMenuEh.h"
#include "grid/foundation/SpecRowEh.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

class PopupSpecRowTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetVcl(); }
  void TearDown() override { ResetVcl(); }
};

TEST_F(PopupSpecRowTest, Defaults) {
  TSpecRowEh row;
  EXPECT_EQ(row.ShortCut(), ShortCut(VK_DELETE, TShiftState{ssAlt}));
  EXPECT_TRUE(row.ShowIfNotInKeyList());
  EXPECT_FALSE(row.Visible());
  EXPECT_FALSE(row.Selected());
  EXPECT_TRUE(VarIsEmpty(row.Value()));
  EXPECT_EQ(row.Color(), clWindow);
}

TEST_F(PopupSpecRowTest, CellsTextSplitsIntoCells) {
  struct Case {
    const char* text;
    std::vector<std::string> cells;
  };
  const Case cases[] = {
      {"", {}},        {"(none)", {"(none)"}}, {"a;b", {"a", "b"}}, {"a;;c", {"a", "", "c"}},
      {";", {"", ""}}, {"x;", {"x", ""}},
  };
  TSpecRowEh row;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    row.SetCellsText(c.text);
    EXPECT_EQ(row.CellsText(), c.text);
    ASSERT_EQ(row.CellCount(), static_cast<int>(c.cells.size()));
    for (size_t i = 0; i < c.cells.size(); ++i) EXPECT_EQ(row.GetCellText(static_cast<int>(i)), c.cells[i]);
    EXPECT_EQ(row.GetCellText(-1), "");
    EXPECT_EQ(row.GetCellText(row.CellCount()), "");
  }
}

TEST_F(PopupSpecRowTest, EveryChangeCallsTheHandlerOnce) {
  TSpecRowEh row;
  int changes = 0;
  row.OnChanged = TNotifyEvent([&](TObject*) { ++changes; });
  const std::function<void()> steps[] = {
      [&] { row.SetCellsText("a;b"); },
      [&] { row.SetColor(clYellow); },
      [&] { row.SetShortCut(ShortCut(VK_F2, {})); },
      [&] { row.SetShowIfNotInKeyList(false); },
      [&] { row.SetValue(Variant(5)); },
      [&] { row.SetVisible(true); },
      [&] { row.SetSelected(true); },
      [&] { row.Font()->SetSize(14); },
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    changes = 0;
    steps[i]();
    EXPECT_EQ(changes, 1);
    // The same value again changes nothing (the Variant value excepted: it is not compared).
    if (i != 4 && i != 7) {
      steps[i]();
      EXPECT_EQ(changes, 1);
    }
  }
}

TEST_F(PopupSpecRowTest, ColorAndFontFollowTheOwnerUntilSet) {
  auto* owner = new TPanel(nullptr);
  owner->SetColor(clAqua);
  owner->Font()->SetSize(11);
  TSpecRowEh row(owner);
  EXPECT_EQ(row.Color(), clAqua);
  EXPECT_EQ(row.Font()->Size(), 11);
  owner->SetColor(clLime);
  owner->Font()->SetSize(13);
  EXPECT_EQ(row.Color(), clLime);
  EXPECT_EQ(row.Font()->Size(), 13);
  EXPECT_FALSE(row.FontAssigned());

  row.SetColor(clRed);
  row.Font()->SetStyle(TFontStyles{fsBold});
  owner->SetColor(clNavy);
  owner->Font()->SetSize(20);
  EXPECT_EQ(row.Color(), clRed);
  EXPECT_EQ(row.Font()->Size(), 13);
  EXPECT_TRUE(row.FontAssigned());

  TSpecRowEh copy(owner);
  copy.Assign(&row);
  EXPECT_EQ(copy.Color(), clRed);
  EXPECT_TRUE(copy.Font()->Style().Contains(fsBold));
  delete owner;
}

TEST_F(PopupSpecRowTest, AssignCopiesTheRow) {
  TSpecRowEh a, b;
  a.SetCellsText("x;y");
  a.SetValue(Variant(7));
  a.SetVisible(true);
  a.SetShowIfNotInKeyList(false);
  a.SetShortCut(ShortCut(VK_F3, {}));
  b.Assign(&a);
  EXPECT_EQ(b.GetCellText(1), "y");
  EXPECT_EQ(b.Value(), Variant(7));
  EXPECT_TRUE(b.Visible());
  EXPECT_FALSE(b.ShowIfNotInKeyList());
  EXPECT_EQ(b.ShortCut(), ShortCut(VK_F3, {}));
  EXPECT_FALSE(b.ColorAssigned());
}

TEST_F(PopupSpecRowTest, PopupMenuEntriesAreOwnerDrawn) {
  auto* menu = new TPopupMenuEh(nullptr);
  EXPECT_TRUE(menu->OwnerDraw());
  auto* item = new TMenuItem(menu);
  item->SetCaption("First");
  menu->Items()->Add(item);
  const UINT state = GetMenuState(menu->Handle(), 0, MF_BYPOSITION);
  EXPECT_TRUE(state & MF_OWNERDRAW);
  menu->Items()->Clear();
  EXPECT_EQ(GetMenuItemCount(menu->Handle()), 0);
  delete menu;
}

}  // namespace
