// Per-window data: text through the messages, properties, atoms, styles and classes.
#include <cstring>

#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TWindowDataTest = TWinTest;

TEST_F(TWindowDataTest, TextGoesThroughTheMessagesAndIsCutAtCharacterBoundaries) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  Log().Clear();
  const std::string text = "ab\xE4\xB8\xAD\xE6\x96\x87";  // "ab中文": 8 bytes
  ASSERT_TRUE(SetWindowText(w, text));
  EXPECT_EQ(GetWindowTextLength(w), 8);
  struct Case {
    int size;
    int copied;
    std::string result;
  };
  const Case cases[] = {{100, 8, text}, {9, 8, text}, {8, 5, "ab\xE4\xB8\xAD"},
                        {5, 2, "ab"},   {3, 2, "ab"}, {1, 0, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    char buffer[100];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowText(w, buffer, c.size), c.copied);
    EXPECT_EQ(std::string(buffer), c.result);
  }
  char untouched = 'x';
  EXPECT_EQ(GetWindowText(w, &untouched, 0), 0);
  EXPECT_EQ(untouched, 'x');
  EXPECT_EQ(GetWindowText(w), text);
  EXPECT_TRUE(SequenceIs(Log().Only({WM_SETTEXT}), {"w WM_SETTEXT"}));
}

TEST_F(TWindowDataTest, AProcedureCanAnswerTheTextItself) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  Log().Handle("w", [](HWND, UINT m, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (m == WM_GETTEXTLENGTH) return 1 << 30;  // not to be believed
    if (m == WM_GETTEXT) {
      std::strncpy(reinterpret_cast<char*>(lParam), "own", wParam);
      return 3;
    }
    return std::nullopt;
  });
  EXPECT_EQ(GetWindowText(w), "own");
}

TEST_F(TWindowDataTest, PropertiesByNameAndByAtom) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  int data = 0;
  EXPECT_TRUE(SetProp(w, "ControlOfs00400000000001A4", &data));
  EXPECT_EQ(GetProp(w, "controlofs00400000000001a4"), &data);  // names ignore case
  const ATOM atom = GlobalFindAtom("ControlOfs00400000000001A4");
  ASSERT_NE(atom, 0);
  EXPECT_EQ(GetProp(w, atom), &data);
  EXPECT_EQ(GetProp(w, "missing"), nullptr);
  EXPECT_TRUE(SetProp(w, atom, nullptr));
  EXPECT_EQ(GetProp(w, atom), nullptr);
  EXPECT_EQ(RemoveProp(w, "ControlOfs00400000000001A4"), nullptr);
  EXPECT_EQ(GlobalFindAtom("ControlOfs00400000000001A4"), 0);  // the property's hold on the atom is gone
  SetProp(w, "OwnerObject", &data);
  DestroyWindow(w);
  EXPECT_EQ(GlobalFindAtom("OwnerObject"), 0);  // released with the window
  EXPECT_FALSE(SetProp(w, "x", &data));
}

TEST_F(TWindowDataTest, Atoms) {
  const ATOM a = GlobalAddAtom("Skin");
  EXPECT_GE(a, 0xC000);
  EXPECT_EQ(GlobalAddAtom("SKIN"), a);
  EXPECT_EQ(GlobalGetAtomName(a), "Skin");
  EXPECT_EQ(GlobalDeleteAtom(a), 0);
  EXPECT_EQ(GlobalFindAtom("skin"), a);  // one reference left
  EXPECT_EQ(GlobalDeleteAtom(a), 0);
  EXPECT_EQ(GlobalFindAtom("skin"), 0);
  EXPECT_EQ(GlobalDeleteAtom(a), a);  // gone: answered back as a failure
  EXPECT_EQ(GlobalAddAtom("#123"), 123);
  EXPECT_EQ(GlobalGetAtomName(123), "#123");
  EXPECT_EQ(GlobalAddAtom("#0"), 0);
  EXPECT_EQ(GlobalAddAtom("#49152"), 0);
  EXPECT_EQ(GlobalAddAtom(""), 0);
  EXPECT_EQ(GlobalAddAtom(std::string(256, 'x')), 0);
  EXPECT_NE(GlobalAddAtom(std::string(255, 'x')), 0);
  char buffer[4];
  EXPECT_EQ(GlobalGetAtomName(GlobalAddAtom("abcdef"), buffer, sizeof buffer), 3u);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_NE(AddAtom("local"), 0);
  EXPECT_EQ(GlobalFindAtom("local"), 0);  // separate tables
}

TEST_F(TWindowDataTest, RegisteredMessagesAreStableAndInTheirRange) {
  const UINT m = RegisterWindowMessage("SkinMessage");
  EXPECT_GE(m, 0xC000u);
  EXPECT_LE(m, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage("skinmessage"), m);
  EXPECT_NE(RegisterWindowMessage("Other"), m);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  EXPECT_EQ(RegisterWindowMessage("#12"), 0u);
}

TEST_F(TWindowDataTest, StyleChangesAreAnnouncedAndMayBeAdjusted) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  Log().Handle("w", [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_STYLECHANGING) reinterpret_cast<STYLESTRUCT*>(l)->styleNew &= ~WS_VSCROLL;
    return std::nullopt;
  });
  Log().Clear();
  const LONG_PTR old = SetWindowLong(w, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_BORDER | WS_VSCROLL));
  EXPECT_EQ(static_cast<DWORD>(old), WS_POPUP);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLong(w, GWL_STYLE)), WS_POPUP | WS_BORDER);
  EXPECT_LT(GetWindowLong(w, GWL_STYLE), 0);  // read back as the signed 32-bit value
  EXPECT_TRUE(SequenceIs(Log().Sequence({WM_STYLECHANGING, WM_STYLECHANGED}),
                         {"w WM_STYLECHANGING", "w WM_STYLECHANGED"}));
  // The new style takes effect on the frame only with SWP_FRAMECHANGED.
  RECT r;
  GetClientRect(w, &r);
  EXPECT_EQ(r.Width(), 10);
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  GetClientRect(w, &r);
  EXPECT_EQ(r.Width(), 8);
}

TEST_F(TWindowDataTest, ClassQueries) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10}, nullptr, 0, kLogDblClass);
  EXPECT_EQ(GetClassName(w), kLogDblClass);
  char small[4];
  EXPECT_EQ(GetClassName(w, small, sizeof small), 3);
  EXPECT_STREQ(small, "Log");
  WNDCLASSEX wc;
  ASSERT_TRUE(GetClassInfoEx(MainInstance(), "logwnddbl", &wc));
  EXPECT_EQ(wc.style, CS_DBLCLKS);
  EXPECT_EQ(wc.lpfnWndProc, WNDPROC(&TMessageLog::Proc));
  EXPECT_FALSE(GetClassInfoEx(MainInstance(), "nothing", &wc));
  EXPECT_EQ(GetClassLong(w, GCL_STYLE), static_cast<LONG_PTR>(CS_DBLCLKS));
  EXPECT_EQ(static_cast<ATOM>(GetClassLong(w, GCW_ATOM)), RegisterWindowMessage(kLogDblClass));
  EXPECT_TRUE(IsWindowUnicode(w));
  DWORD pid = 0;
  EXPECT_EQ(GetWindowThreadProcessId(w, &pid), GetCurrentThreadId());
  EXPECT_EQ(pid, GetCurrentProcessId());
  // A class of one module is not found from another; a global class is.
  HINSTANCE other = GetModuleHandle("user32");
  EXPECT_FALSE(GetClassInfoEx(other, kLogClass, &wc));
  WNDCLASSEX global;
  global.style = CS_GLOBALCLASS;
  global.lpfnWndProc = DefWindowProc;
  global.hInstance = MainInstance();
  global.lpszClassName = "Shared";
  ASSERT_NE(RegisterClassEx(&global), 0);
  EXPECT_TRUE(GetClassInfoEx(other, "shared", &wc));
}

}  // namespace
}  // namespace wintest
