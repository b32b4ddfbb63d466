// Cursors: the shared system cursors, registry cursors, SetCursor, ShowCursor, and
// DefWindowProc's WM_SETCURSOR choice by hit-test code.
#include "platform/rtl/Resources.h"
#include "platform/win/Cursors.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TCursorTest : public TWinTest {
 protected:
  void TearDown() override {
    SetCursor(nullptr);
    UnregisterResource("CURSOR", "DOWNCUREH");
    TWinTest::TearDown();
  }
  static LRESULT SendSetCursor(HWND to, HWND over, LRESULT hit, UINT mouseMsg = WM_MOUSEMOVE) {
    return SendMessage(to, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                       MAKELPARAM(static_cast<int>(hit), static_cast<int>(mouseMsg)));
  }
};

TEST_F(TCursorTest, SystemCursorsAreSharedAndDistinct) {
  const LPCSTR ids[] = {IDC_ARROW,    IDC_IBEAM,    IDC_WAIT,        IDC_CROSS,  IDC_UPARROW,
                        IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE,      IDC_SIZENS, IDC_SIZEALL,
                        IDC_NO,       IDC_HAND,     IDC_APPSTARTING, IDC_HELP};
  std::set<HCURSOR> seen;
  for (LPCSTR id : ids) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(id));
    HCURSOR c = LoadCursor(nullptr, id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(LoadCursor(nullptr, id), c);
    EXPECT_EQ(SystemCursorId(c), static_cast<int>(reinterpret_cast<uintptr_t>(id)));
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(c, &info));
    EXPECT_FALSE(info.fIcon);
    BITMAP bm{};
    GetObject(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    seen.insert(c);
  }
  EXPECT_EQ(seen.size(), std::size(ids));
  EXPECT_TRUE(DestroyCursor(LoadCursor(nullptr, IDC_ARROW)));  // shared: stays
  EXPECT_EQ(SystemCursorId(LoadCursor(nullptr, IDC_ARROW)), IDC_ARROW_ID);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(1234)), nullptr);
  EXPECT_EQ(LoadCursor(MainInstance(), IDC_ARROW), nullptr);  // numbers from a module: none here
}

TEST_F(TCursorTest, NamedCursorsComeFromTheRegistry) {
  EXPECT_EQ(LoadCursor(MainInstance(), "DOWNCUREH"), nullptr);
  auto image = std::make_shared<TCursorImage>();
  image->Width = 16;
  image->Height = 16;
  image->HotSpot = POINT{8, 15};
  image->Pixels.assign(256, 0);
  image->Mask.assign(256, 1);
  RegisterResourceAs<TCursorImage>("CURSOR", "DOWNCUREH", image);
  HCURSOR c = LoadCursor(MainInstance(), "downcureh");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(LoadCursor(MainInstance(), "DOWNCUREH"), c);
  EXPECT_EQ(SystemCursorId(c), 0);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(c, &info));
  EXPECT_EQ(info.xHotspot, 8u);
  EXPECT_EQ(info.yHotspot, 15u);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);

  auto bad = std::make_shared<TCursorImage>();  // sizes that disagree
  bad->Pixels.assign(3, 0);
  bad->Mask.assign(3, 0);
  EXPECT_EQ(CreateCursorFromImage(*bad), nullptr);
  RegisterResourceAs<TCursorImage>("CURSOR", "DOWNCUREH", bad);
  EXPECT_EQ(LoadCursor(MainInstance(), "DOWNCUREH"), nullptr);
}

TEST_F(TCursorTest, SetCursorAnswersThePreviousAndShowCursorCounts) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  HCURSOR beam = LoadCursor(nullptr, IDC_IBEAM);
  SetCursor(arrow);
  EXPECT_EQ(SetCursor(beam), arrow);
  EXPECT_EQ(GetCursor(), beam);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST_F(TCursorTest, DefaultSetCursorChoosesByHitCode) {
  WNDCLASSEX wc;
  wc.lpfnWndProc = &TMessageLog::Proc;
  wc.hInstance = MainInstance();
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = "BeamWnd";
  ASSERT_NE(RegisterClassEx(&wc), 0);
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HWND plain = Make("plain", WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, frame);  // no class cursor
  HWND beam = Make("beam", WS_CHILD | WS_VISIBLE, {60, 0, 110, 50}, frame, 0, "BeamWnd");
  struct TCase {
    HWND Over;
    LRESULT Hit;
    LRESULT Result;
    LPCSTR Cursor;  // nullptr: unchanged
  } cases[] = {
      {beam, HTCLIENT, TRUE, IDC_IBEAM},       {plain, HTCLIENT, FALSE, nullptr},
      {frame, HTLEFT, TRUE, IDC_SIZEWE},       {frame, HTRIGHT, TRUE, IDC_SIZEWE},
      {frame, HTTOP, TRUE, IDC_SIZENS},        {frame, HTBOTTOM, TRUE, IDC_SIZENS},
      {frame, HTTOPLEFT, TRUE, IDC_SIZENWSE},  {frame, HTBOTTOMRIGHT, TRUE, IDC_SIZENWSE},
      {frame, HTTOPRIGHT, TRUE, IDC_SIZENESW}, {frame, HTBOTTOMLEFT, TRUE, IDC_SIZENESW},
      {frame, HTGROWBOX, TRUE, IDC_SIZENWSE},  {frame, HTCAPTION, TRUE, IDC_ARROW},
      {frame, HTVSCROLL, TRUE, IDC_ARROW},     {frame, HTNOWHERE, TRUE, IDC_ARROW},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(Log().NameOf(c.Over) + " ht" + std::to_string(c.Hit));
    HCURSOR before = LoadCursor(nullptr, IDC_CROSS);
    SetCursor(before);
    EXPECT_EQ(SendSetCursor(c.Over, c.Over, c.Hit), c.Result);
    EXPECT_EQ(GetCursor(), c.Cursor ? LoadCursor(nullptr, c.Cursor) : before);
  }
}

TEST_F(TCursorTest, TheParentIsAskedFirstAndCanDecide) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, frame);
  HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  bool parentDecides = true;
  Log().Handle("frame", [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_SETCURSOR || !parentDecides) return std::nullopt;
    SetCursor(wait);
    return TRUE;
  });
  SetCursor(nullptr);
  Log().Clear();
  EXPECT_EQ(SendSetCursor(child, child, HTCAPTION), TRUE);
  EXPECT_EQ(GetCursor(), wait);
  EXPECT_TRUE(SequenceIs(Log().Only({WM_SETCURSOR}), {"child WM_SETCURSOR", "frame WM_SETCURSOR"}));
  // A parent that leaves it to the default does not set its own cursor for the child.
  parentDecides = false;
  EXPECT_EQ(SendSetCursor(child, child, HTCAPTION), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(TCursorTest, MouseInputSetsTheCursorThroughTheDefault) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  RECT r;
  GetWindowRect(frame, &r);
  SetCursor(nullptr);
  Input::MouseMove(POINT{r.Left + 1, r.Top + 60});  // the left sizing border
  Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
}

}  // namespace
}  // namespace wintest
