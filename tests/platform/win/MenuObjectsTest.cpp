// Menu objects: items by position and by command, item information, handles that die, the
// system menu and the menu bar of a window.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TMenuObjectsTest = TWinTest;

TEST_F(TMenuObjectsTest, ItemsAreFoundByPositionAndByCommandThroughSubmenus) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  ASSERT_TRUE(AppendMenu(file, MF_STRING, 10, "&Open\tCtrl+O"));
  ASSERT_TRUE(AppendMenu(file, MF_SEPARATOR, 0));
  ASSERT_TRUE(AppendMenu(file, MF_STRING | MF_GRAYED | MF_CHECKED, 11, "&Save"));
  ASSERT_TRUE(AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File"));
  ASSERT_TRUE(InsertMenu(bar, 0, MF_BYPOSITION | MF_STRING, 20, "&Help"));
  ASSERT_TRUE(InsertMenu(bar, 11, MF_BYCOMMAND | MF_STRING, 12, "Save &As"));  // into the submenu

  EXPECT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(GetMenuItemID(bar, 0), 20u);
  EXPECT_EQ(GetMenuItemID(bar, 1), 0xFFFFFFFFu);  // a submenu
  EXPECT_EQ(GetSubMenu(bar, 1), file);
  EXPECT_EQ(GetMenuString(bar, 12, MF_BYCOMMAND), "Save &As");
  EXPECT_EQ(GetMenuString(file, 2, MF_BYPOSITION), "Save &As");
  EXPECT_EQ(GetMenuState(bar, 11, MF_BYCOMMAND), MF_GRAYED | MF_CHECKED);
  EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION), MF_POPUP | (4u << 8));
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(bar, 99, MF_BYCOMMAND), 0xFFFFFFFFu);

  EXPECT_EQ(CheckMenuItem(bar, 11, MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(EnableMenuItem(bar, 11, MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(file, 11, MF_BYCOMMAND), 0u);
  EXPECT_EQ(CheckMenuItem(bar, 99, MF_CHECKED), 0xFFFFFFFFu);
}

TEST_F(TMenuObjectsTest, ItemInfoReadsAndWritesTheMaskedMembers) {
  HMENU m = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenu(m, MF_STRING, 7, "&Copy");
  MENUITEMINFO add;
  add.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_DATA | MIIM_STATE;
  add.wID = 8;
  add.hSubMenu = sub;
  char more[] = "More";
  add.dwTypeData = more;
  add.dwItemData = 0xABCD;
  add.fState = MFS_DEFAULT;
  ASSERT_TRUE(InsertMenuItem(m, 0, TRUE, &add));

  MENUITEMINFO get;
  get.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
  ASSERT_TRUE(GetMenuItemInfo(m, 0, TRUE, &get));
  EXPECT_EQ(get.wID, 8u);
  EXPECT_EQ(get.hSubMenu, sub);
  EXPECT_EQ(get.dwItemData, 0xABCDu);
  EXPECT_EQ(get.fState, MFS_DEFAULT);
  EXPECT_EQ(get.fType, MFT_STRING);
  EXPECT_EQ(get.cch, 4u);  // no buffer: the length

  char buf[4];
  get.dwTypeData = buf;
  get.cch = sizeof buf;
  ASSERT_TRUE(GetMenuItemInfo(m, 7, FALSE, &get));  // by command
  EXPECT_EQ(std::string(buf), "&Co");               // cut to the buffer
  EXPECT_EQ(get.cch, 3u);
  EXPECT_EQ(get.wID, 7u);

  MENUITEMINFO od;
  od.fMask = MIIM_FTYPE | MIIM_DATA;
  od.fType = MFT_OWNERDRAW;
  od.dwItemData = 42;
  ASSERT_TRUE(SetMenuItemInfo(m, 7, FALSE, &od));
  EXPECT_EQ(GetMenuState(m, 7, MF_BYCOMMAND), MF_OWNERDRAW);

  MENUITEMINFO self;
  self.fMask = MIIM_SUBMENU;
  self.hSubMenu = m;
  EXPECT_FALSE(SetMenuItemInfo(m, 0, TRUE, &self));  // a menu inside itself
  EXPECT_FALSE(GetMenuItemInfo(m, 5, TRUE, &get));
}

TEST_F(TMenuObjectsTest, DeleteDestroysASubmenuAndRemoveKeepsIt) {
  HMENU m = CreatePopupMenu();
  HMENU kept = CreatePopupMenu();
  HMENU gone = CreatePopupMenu();
  AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(kept), "a");
  AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(gone), "b");
  ASSERT_TRUE(RemoveMenu(m, 0, MF_BYPOSITION));
  ASSERT_TRUE(DeleteMenu(m, 0, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(kept));
  EXPECT_FALSE(IsMenu(gone));
  EXPECT_EQ(GetMenuItemCount(m), 0);

  HMENU inner = CreatePopupMenu();
  AppendMenu(kept, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "c");
  ASSERT_TRUE(DestroyMenu(kept));
  EXPECT_FALSE(IsMenu(inner));
  EXPECT_FALSE(DestroyMenu(kept));
  // A new menu reusing the slot does not revive the old handle.
  HMENU reused = CreatePopupMenu();
  EXPECT_NE(reused, kept);
  EXPECT_FALSE(IsMenu(kept));
  EXPECT_EQ(GetMenuItemCount(kept), -1);
  EXPECT_FALSE(AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(kept), "stale"));
}

TEST_F(TMenuObjectsTest, TheSystemMenuHasTheStandardEntriesAndRevertsToThem) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW, {10, 10, 300, 200});
  HMENU sys = GetSystemMenu(frame, FALSE);
  ASSERT_TRUE(IsMenu(sys));
  EXPECT_EQ(GetSystemMenu(frame, FALSE), sys);
  const std::vector<std::pair<UINT, std::string>> expected = {
      {SC_RESTORE, "&Restore"},    {SC_MOVE, "&Move"},         {SC_SIZE, "&Size"},
      {SC_MINIMIZE, "Mi&nimize"},  {SC_MAXIMIZE, "Ma&ximize"}, {0, ""},
      {SC_CLOSE, "&Close\tAlt+F4"}};
  ASSERT_EQ(GetMenuItemCount(sys), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetMenuItemID(sys, static_cast<int>(i)), expected[i].first);
    EXPECT_EQ(GetMenuString(sys, static_cast<UINT>(i), MF_BYPOSITION), expected[i].second);
  }
  EXPECT_EQ(GetMenuState(sys, 5, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuDefaultItem(sys, FALSE, 0), SC_CLOSE);

  DeleteMenu(sys, SC_MOVE, MF_BYCOMMAND);
  EXPECT_EQ(GetSystemMenu(frame, TRUE), nullptr);
  EXPECT_FALSE(IsMenu(sys));
  HMENU fresh = GetSystemMenu(frame, FALSE);
  EXPECT_EQ(GetMenuItemCount(fresh), 7);
  DestroyWindow(frame);
  EXPECT_FALSE(IsMenu(fresh));
}

TEST_F(TMenuObjectsTest, SetMenuMakesRoomForTheBarAndTheWindowDestroysIt) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {10, 10, 300, 200});
  RECT before{};
  GetClientRect(frame, &before);
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 1, "&One");
  Log().Clear();
  ASSERT_TRUE(SetMenu(frame, bar));
  EXPECT_TRUE(SequenceIs(Log().Only({WM_NCCALCSIZE}), {"frame WM_NCCALCSIZE 1"}));
  EXPECT_EQ(GetMenu(frame), bar);
  RECT after{};
  GetClientRect(frame, &after);
  EXPECT_EQ(before.Height() - after.Height(), GetSystemMetrics(SM_CYMENU));

  RECT item{};
  ASSERT_TRUE(GetMenuItemRect(frame, bar, 0, &item));
  POINT client{0, 0};
  ClientToScreen(frame, &client);
  EXPECT_EQ(item.Bottom, client.Y);
  const POINT inBar{item.Left + 2, item.Top + 2};
  EXPECT_EQ(SendMessage(frame, WM_NCHITTEST, 0, MAKELPARAM(inBar.X, inBar.Y)), HTMENU);
  EXPECT_EQ(MenuItemFromPoint(frame, bar, inBar), 0);

  HWND child = Make("child", WS_CHILD, {0, 0, 10, 10}, frame);
  EXPECT_FALSE(SetMenu(child, bar));
  DestroyWindow(frame);
  EXPECT_FALSE(IsMenu(bar));
}

}  // namespace
}  // namespace wintest
