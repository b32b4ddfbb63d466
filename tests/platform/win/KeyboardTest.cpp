// Keyboard input: the key state as retrieved, which window gets which key message with which
// flags, and the keys the default procedure acts on.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TKeyboardTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
    edit = Make("edit", WS_CHILD | WS_VISIBLE, {0, 0, 50, 20}, frame);
    SetFocus(edit);
    Log().Clear();
  }
  static MSG Take() {
    MSG m{};
    EXPECT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    return m;
  }
  HWND frame = nullptr, edit = nullptr;
};

TEST_F(TKeyboardTest, KeyStateFollowsTheMessagesRetrieved) {
  Input::KeyDown(VK_CONTROL);
  Input::KeyDown('C');
  EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(GetKeyState(VK_CONTROL), 0);  // looking is not taking
  Take();
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  EXPECT_LT(GetAsyncKeyState(VK_CONTROL), 0);
  EXPECT_EQ(GetKeyState('C'), 0);
  Take();
  BYTE keys[256];
  GetKeyboardState(keys);
  EXPECT_TRUE(keys['C'] & 0x80);
  EXPECT_TRUE(keys[VK_LCONTROL] & 0x80);
  Input::KeyUp('C');
  Input::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
  // Toggle keys flip their low bit on each press.
  WinTesting::KeyPress(VK_CAPITAL);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
  WinTesting::KeyPress(VK_CAPITAL);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
}

TEST_F(TKeyboardTest, KeyMessagesAndTheirFlags) {
  struct Case {
    const char* name;
    std::vector<int> held;
    int vk;
    bool focusless;
    std::string target;
    UINT message;
    LPARAM flags;  // bits 24 (extended) and 29 (Alt)
  };
  const LPARAM kExt = LPARAM{1} << 24, kAlt = LPARAM{1} << 29;
  const Case cases[] = {
      {"plain key", {}, 'X', false, "edit", WM_KEYDOWN, 0},
      {"arrow keys are extended", {}, VK_LEFT, false, "edit", WM_KEYDOWN, kExt},
      {"F10 is a system key", {}, VK_F10, false, "edit", WM_SYSKEYDOWN, 0},
      {"Alt with a key", {VK_MENU}, 'X', false, "edit", WM_SYSKEYDOWN, kAlt},
      {"Alt itself", {}, VK_MENU, false, "edit", WM_SYSKEYDOWN, kAlt},
      {"Ctrl+Alt is not a system key", {VK_CONTROL, VK_MENU}, 'X', false, "edit", WM_KEYDOWN, kAlt},
      {"without focus the active window gets system keys", {}, 'X', true, "frame", WM_SYSKEYDOWN, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(c.focusless ? nullptr : edit);
    for (int k : c.held) Input::KeyDown(k);
    Pump();
    Input::KeyDown(c.vk);
    MSG m = Take();
    EXPECT_EQ(Log().NameOf(m.hwnd), c.target);
    EXPECT_EQ(m.message, c.message);
    EXPECT_EQ(m.lParam & (kExt | kAlt), c.flags);
    EXPECT_EQ(m.lParam & 0xFFFF, 1);
    EXPECT_EQ((m.lParam >> 16) & 0xFF,
              static_cast<LPARAM>(MapVirtualKey(static_cast<UINT>(c.vk), MAPVK_VK_TO_VSC)));
    Input::KeyUp(c.vk);
    for (int k : c.held) Input::KeyUp(k);
    Pump();
  }
}

TEST_F(TKeyboardTest, RepeatAndReleaseBits) {
  Input::KeyDown('A');
  Input::KeyDown('A');  // auto-repeat
  Input::KeyUp('A');
  const LPARAM kPrevious = LPARAM{1} << 30, kTransition = LPARAM{1} << 31;
  EXPECT_EQ(Take().lParam & (kPrevious | kTransition), 0);
  EXPECT_EQ(Take().lParam & (kPrevious | kTransition), kPrevious);
  MSG up = Take();
  EXPECT_EQ(up.message, WM_KEYUP);
  EXPECT_EQ(up.lParam & (kPrevious | kTransition), kPrevious | kTransition);
}

TEST_F(TKeyboardTest, SidedModifiersReportTheGenericKey) {
  Input::KeyDown(VK_RSHIFT);
  MSG m = Take();
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(VK_SHIFT));
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_RSHIFT), 0);
  EXPECT_EQ(GetKeyState(VK_LSHIFT) & 0x8000, 0);
  Input::KeyDown(VK_LSHIFT);
  Input::KeyUp(VK_RSHIFT);
  Pump();
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);  // the left one is still down
  Input::KeyUp(VK_LSHIFT);
  Pump();
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(TKeyboardTest, DefaultKeyHandling) {
  std::vector<LPARAM> menus;
  Log().Handle("frame", [&menus](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_CONTEXTMENU) menus.push_back(l);
    return std::nullopt;
  });
  Input::KeyDown(VK_SHIFT);
  WinTesting::KeyPress(VK_F10);
  Input::KeyUp(VK_SHIFT);
  WinTesting::KeyPress(VK_APPS);
  Pump();
  EXPECT_EQ(menus, (std::vector<LPARAM>{-1, -1}));  // from the keyboard: (-1, -1), passed up to the frame
  Log().Clear();
  Input::KeyDown(VK_MENU);
  WinTesting::KeyPress(VK_F4);
  Pump();
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_TRUE(SequenceIs(Log().Only({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
                         {"frame WM_SYSCOMMAND", "frame WM_CLOSE", "frame WM_DESTROY", "edit WM_DESTROY"}));
}

TEST_F(TKeyboardTest, TypingUsesKeysWhereTheLayoutHasThemAndCharactersElsewhere) {
  WinTesting::Type("a\n\xE4\xB8\xAD");  // a, Return, 中
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_KEYDOWN, WM_CHAR}),
                         {"edit WM_KEYDOWN 65", "edit WM_CHAR 97", "edit WM_KEYDOWN 13", "edit WM_CHAR 13",
                          "edit WM_CHAR 20013"}));
  WinTesting::Type("\xFF");  // not UTF-8: the replacement character
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_CHAR}), {"edit WM_CHAR 65533"}));
}

TEST_F(TKeyboardTest, KeysWithoutAnyWindowStillChangeTheState) {
  DestroyWindow(frame);
  ASSERT_EQ(GetActiveWindow(), nullptr);
  Input::KeyDown(VK_SHIFT);
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(Input::PendingInput(), 0u);
}

TEST_F(TKeyboardTest, LayoutQueries) {
  struct Case {
    char32_t ch;
    SHORT scan;
  };
  const Case cases[] = {{U'a', 'A'},       {U'A', 0x100 | 'A'},      {U'7', '7'},      {U'&', 0x100 | '7'},
                        {U'\'', VK_OEM_7}, {U'"', 0x100 | VK_OEM_7}, {U' ', VK_SPACE}, {U'\u4e2d', -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<uint32_t>(c.ch));
    EXPECT_EQ(VkKeyScan(c.ch), c.scan);
  }
  EXPECT_EQ(MapVirtualKey('Q', MAPVK_VK_TO_VSC), 0x10u);
  EXPECT_EQ(MapVirtualKey(0x10, MAPVK_VSC_TO_VK), static_cast<UINT>('Q'));
  EXPECT_EQ(MapVirtualKey(VK_OEM_2, MAPVK_VK_TO_CHAR), static_cast<UINT>('/'));
  EXPECT_EQ(MapVirtualKey('b', 99), 0u);
}

}  // namespace
}  // namespace wintest
