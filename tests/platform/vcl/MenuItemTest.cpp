// Menu items: the tree, the entries of the window manager's menus, radio groups, lookups and
// loading from descriptions.
#include <gtest/gtest.h>

#include "platform/rtl/Filer.h"
#include "platform/vcl/Messages.h"
#include "tests/platform/vcl/MenuTestSupport.h"

namespace {

using namespace menutest;

class MenuItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    owner_ = std::make_unique<TComponent>(nullptr);
    popup_ = new TPopupMenu(owner_.get());
  }
  void TearDown() override { owner_.reset(); }

  std::unique_ptr<TComponent> owner_;
  TPopupMenu* popup_ = nullptr;
};

TEST_F(MenuItemTest, ItemsBecomeEntriesWithTheirFlags) {
  TMenuItem* open = Item("&Open", TextToShortCut("Ctrl+O"));
  TMenuItem* off = Item("Off");
  off->SetEnabled(false);
  TMenuItem* checked = Item("Checked");
  checked->SetChecked(true);
  checked->SetDefault(true);
  TMenuItem* radio = Item("Radio");
  radio->SetRadioItem(true);
  TMenuItem* broken = Item("Next column");
  broken->SetBreak(mbBarBreak);
  popup_->Items()->Add({open, NewLine(), off, checked, radio, broken});

  HMENU h = popup_->Handle();
  ASSERT_EQ(GetMenuItemCount(h), 6);
  EXPECT_EQ(Texts(h), "&Open\tCtrl+O|-|Off|Checked|Radio|Next column");
  EXPECT_EQ(Entry(h, 0).Id, open->Command());
  EXPECT_EQ(Entry(h, 0).Data, reinterpret_cast<ULONG_PTR>(open));
  EXPECT_TRUE(Entry(h, 1).Type & MFT_SEPARATOR);
  EXPECT_EQ(Entry(h, 2).State & MFS_GRAYED, MFS_GRAYED);
  EXPECT_TRUE(Entry(h, 3).State & MFS_CHECKED);
  EXPECT_TRUE(Entry(h, 3).State & MFS_DEFAULT);
  EXPECT_TRUE(Entry(h, 4).Type & MFT_RADIOCHECK);
  EXPECT_TRUE(Entry(h, 5).Type & MFT_MENUBARBREAK);
  EXPECT_FALSE(Entry(h, 0).Type & MFT_OWNERDRAW);
}

TEST_F(MenuItemTest, ChangesRebuildTheEntries) {
  TMenuItem* a = Item("A");
  TMenuItem* b = Item("B");
  popup_->Items()->Add({a, b});
  HMENU h = popup_->Handle();
  a->SetCaption("Alpha");
  b->SetShortCut(TextToShortCut("F2"));
  EXPECT_EQ(Texts(h), "Alpha|B\tF2");
  a->SetVisible(false);
  EXPECT_EQ(Texts(h), "B\tF2");
  a->SetVisible(true);
  a->SetMenuIndex(1);
  EXPECT_EQ(Texts(h), "B\tF2|Alpha");
  b->SetEnabled(false);
  EXPECT_EQ(Entry(h, 0).State & MFS_GRAYED, MFS_GRAYED);
  EXPECT_EQ(popup_->Handle(), h);  // the same menu, refilled
}

TEST_F(MenuItemTest, SubmenusGetTheirOwnHandle) {
  TMenuItem* file = Item("File");
  popup_->Items()->Add(file);
  HMENU h = popup_->Handle();
  EXPECT_EQ(Entry(h, 0).SubMenu, nullptr);
  TMenuItem* inner = Item("Inner");
  file->Add(inner);  // the entry becomes a submenu
  ASSERT_NE(Entry(h, 0).SubMenu, nullptr);
  EXPECT_EQ(Entry(h, 0).SubMenu, file->Handle());
  EXPECT_EQ(Texts(file->Handle()), "Inner");
  file->Add(Item("Second"));
  EXPECT_EQ(Texts(file->Handle()), "Inner|Second");
  EXPECT_EQ(popup_->FindItem(reinterpret_cast<UINT_PTR>(file->Handle()), fkHandle), file);
  EXPECT_EQ(popup_->FindItem(reinterpret_cast<UINT_PTR>(h), fkHandle), popup_->Items());
}

TEST_F(MenuItemTest, SeparatorsAreReducedUnlessTurnedOff) {
  popup_->Items()->Add({NewLine(), Item("A"), NewLine(), NewLine(), Item("B"), NewLine()});
  HMENU h = popup_->Handle();
  EXPECT_EQ(Texts(h), "A|-|B");
  popup_->SetAutoLineReduction(maManual);
  EXPECT_EQ(Texts(h), "-|A|-|-|B|-");
  popup_->SetAutoLineReduction(maAutomatic);
  popup_->Items()->SetAutoLineReduction(maManual);  // the item's flag wins over the menu's
  EXPECT_EQ(Texts(h), "-|A|-|-|B|-");
}

TEST_F(MenuItemTest, ARadioItemUnchecksItsGroupOnly) {
  TMenuItem* items[4];
  for (int i = 0; i < 4; ++i) {
    items[i] = Item("R" + std::to_string(i));
    items[i]->SetRadioItem(true);
    items[i]->SetGroupIndex(i < 3 ? 1 : 2);
    popup_->Items()->Add(items[i]);
  }
  TMenuItem* plain = Item("Plain");
  plain->SetGroupIndex(1);
  plain->SetChecked(true);
  popup_->Items()->Add(plain);
  items[3]->SetChecked(true);
  items[0]->SetChecked(true);
  items[1]->SetChecked(true);
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[1]->Checked());
  EXPECT_FALSE(items[2]->Checked());
  EXPECT_TRUE(items[3]->Checked());  // another group
  EXPECT_TRUE(plain->Checked());     // not a radio item
  HMENU h = popup_->Handle();
  EXPECT_FALSE(Entry(h, 0).State & MFS_CHECKED);
  EXPECT_TRUE(Entry(h, 1).State & MFS_CHECKED);
}

TEST_F(MenuItemTest, AutoCheckTogglesOnClick) {
  TMenuItem* check = Item("Check");
  check->SetAutoCheck(true);
  int clicks = 0;
  check->OnClick = [&](TObject*) { ++clicks; };
  popup_->Items()->Add(check);
  check->Click();
  EXPECT_TRUE(check->Checked());
  check->Click();
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(clicks, 2);
  check->SetEnabled(false);
  check->Click();
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(check->Checked());
}

TEST_F(MenuItemTest, FindsItemsByCommandHandleShortCutAndCaption) {
  TMenuItem* edit = Item("&Edit");
  TMenuItem* copy = Item("&Copy", TextToShortCut("Ctrl+C"));
  TMenuItem* paste = Item("Paste", TextToShortCut("Ctrl+V"));
  edit->Add({copy, paste});
  popup_->Items()->Add(edit);
  EXPECT_EQ(popup_->FindItem(copy->Command(), fkCommand), copy);
  EXPECT_EQ(popup_->FindItem(TextToShortCut("Ctrl+V"), fkShortCut), paste);
  EXPECT_EQ(popup_->FindItem(reinterpret_cast<UINT_PTR>(edit->Handle()), fkHandle), edit);
  EXPECT_EQ(popup_->FindItem(0, fkCommand), nullptr);
  EXPECT_EQ(popup_->FindItem(TextToShortCut("Ctrl+X"), fkShortCut), nullptr);
  EXPECT_EQ(edit->Find("copy"), copy);
  EXPECT_EQ(edit->Find("&Paste"), paste);
  EXPECT_EQ(edit->Find("Cut"), nullptr);
  EXPECT_NE(copy->Command(), paste->Command());
  int clicks = 0;
  paste->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, paste);
    ++clicks;
  };
  EXPECT_TRUE(popup_->DispatchCommand(paste->Command()));
  EXPECT_FALSE(popup_->DispatchCommand(0xFFFF));
  EXPECT_EQ(clicks, 1);
}

TEST_F(MenuItemTest, TheTreeOwnsItsItems) {
  TMenuItem* parent = Item("Parent");
  TMenuItem* child = Item("Child");
  parent->Add(child);
  popup_->Items()->Add(parent);
  EXPECT_THROW(popup_->Items()->Add(child), EMenuError);  // already has a parent
  EXPECT_THROW(child->Add(parent), EMenuError);           // would make a cycle
  EXPECT_THROW(parent->Items(1), EMenuError);
  EXPECT_EQ(child->Parent(), parent);
  EXPECT_EQ(child->GetParentMenu(), popup_);
  EXPECT_EQ(child->MenuIndex(), 0);

  parent->Remove(child);  // the caller owns it again
  EXPECT_EQ(child->Parent(), nullptr);
  EXPECT_EQ(parent->Count(), 0);
  popup_->Items()->Insert(0, child);
  EXPECT_EQ(Texts(popup_->Handle()), "Child|Parent");
  popup_->Items()->Delete(0);
  EXPECT_EQ(Texts(popup_->Handle()), "Parent");
  parent->Add({Item("x"), Item("y")});
  parent->Clear();
  EXPECT_EQ(parent->Count(), 0);
}

TEST_F(MenuItemTest, CommandsAreGivenBackAndUnique) {
  std::vector<WORD> seen;
  for (int i = 0; i < 50; ++i) {
    TMenuItem* item = Item("x");
    seen.push_back(item->Command());
    popup_->Items()->Add(item);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
  EXPECT_EQ(std::find(seen.begin(), seen.end(), 0), seen.end());
}

TEST_F(MenuItemTest, AMainMenuIsAMenuBarAndTellsItsWindow) {
  auto* main = new TMainMenu(owner_.get());
  TMenuItem* file = Item("&File");
  file->Add(Item("E&xit", TextToShortCut("Alt+F4")));
  main->Items()->Add(file);
  std::vector<UINT> heard;
  HWND wnd = AllocateHWnd([&](UINT m, WPARAM, LPARAM) -> LRESULT {
    if (m == CM_MENUCHANGED) heard.push_back(m);
    return 0;
  });
  main->SetWindowHandle(wnd);
  HMENU bar = main->Handle();
  EXPECT_EQ(Texts(bar), "&File");  // no short cut text on the bar itself
  EXPECT_EQ(Texts(file->Handle()), "E&xit\tAlt+F4");
  file->SetCaption("&Document");
  EXPECT_FALSE(heard.empty());
  EXPECT_EQ(Texts(bar), "&Document");
  DeallocateHWnd(wnd);
}

TEST_F(MenuItemTest, NestedItemsLoadFromADescription) {
  RegisterMenuClasses();
  ReadComponentFromText(R"(object Root: TComponent
  object PopupMenu1: TPopupMenu
    Alignment = paRight
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = 'Open'
        ShortCut = 16463
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'Exit'
        Enabled = False
      end
    end
    object Help1: TMenuItem
      Caption = 'Help'
      RadioItem = True
      Checked = True
    end
  end
end
)",
                        owner_.get());
  auto* menu = dynamic_cast<TPopupMenu*>(owner_->FindComponent("PopupMenu1"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->Alignment(), paRight);
  ASSERT_EQ(menu->Items()->Count(), 2);
  TMenuItem* file = menu->Items()->Items(0);
  EXPECT_EQ(file->Name(), "File1");
  ASSERT_EQ(file->Count(), 3);
  EXPECT_EQ(file->Items(0)->ShortCut(), TextToShortCut("Ctrl+O"));
  EXPECT_TRUE(file->Items(1)->IsLine());
  EXPECT_FALSE(file->Items(2)->Enabled());
  EXPECT_TRUE(menu->Items()->Items(1)->Checked());
  EXPECT_EQ(Texts(file->Handle()), "Open\tCtrl+O|-|Exit");
  EXPECT_EQ(file->GetParentComponent(), menu);  // a top item's parent in descriptions is the menu
  EXPECT_EQ(file->Items(0)->GetParentComponent(), file);
}

}  // namespace
