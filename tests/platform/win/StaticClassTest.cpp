// The "Static" class: text alignment and prefix handling as drawn, the parent's colours, and
// transparency to the mouse unless SS_NOTIFY.
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

using TStaticTest = TControlTest;

TEST_F(TStaticTest, AlignmentAndPrefixReachDrawText) {
  struct TCase {
    DWORD Style;
    UINT Want;
    UINT Mask;
  };
  const TCase cases[] = {
      {SS_LEFT, DT_LEFT | DT_WORDBREAK, DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_NOPREFIX},
      {SS_CENTER, DT_CENTER | DT_WORDBREAK, DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_NOPREFIX},
      {SS_RIGHT | SS_NOPREFIX, DT_RIGHT | DT_WORDBREAK | DT_NOPREFIX,
       DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_NOPREFIX},
      {SS_LEFTNOWORDWRAP, DT_LEFT | DT_SINGLELINE, DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_SINGLELINE},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Style);
    HWND s = Control(WC_STATIC, "&Name", c.Style, RECT{0, 0, 100, 20});
    TDrawLog log = Painted(s);
    auto calls = log.OfKind(TDrawKind::DrawText);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]->Flags & c.Mask, c.Want);
    DestroyWindow(s);
  }
}

TEST_F(TStaticTest, ParentColoursAreHonoured) {
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  int asked = 0;
  parentHandler_ = [&](UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_CTLCOLORSTATIC) return std::nullopt;
    ++asked;
    SetTextColor(reinterpret_cast<HDC>(w), RGB(0, 255, 0));
    return reinterpret_cast<LRESULT>(blue);
  };
  HWND s = Control(WC_STATIC, "Hi", SS_LEFT, RECT{0, 0, 100, 20});
  TDrawLog log = Painted(s);
  EXPECT_EQ(asked, 1);
  ASSERT_FALSE(log.OfKind(TDrawKind::FillRect).empty());
  EXPECT_EQ(log.OfKind(TDrawKind::FillRect)[0]->Color, RGB(0, 0, 255));
  ASSERT_FALSE(log.OfKind(TDrawKind::Text).empty());
  EXPECT_EQ(log.OfKind(TDrawKind::Text)[0]->Color, RGB(0, 255, 0));
  parentHandler_ = nullptr;
  DeleteObject(blue);
}

TEST_F(TStaticTest, MouseGoesThroughUnlessNotify) {
  HWND plain = Control(WC_STATIC, "a", SS_LEFT, RECT{0, 0, 50, 20}, 1);
  HWND notify = Control(WC_STATIC, "b", SS_LEFT | SS_NOTIFY, RECT{0, 30, 50, 50}, 2);
  Log().Clear();
  ClickAt(plain, 5, 5);
  EXPECT_TRUE(SequenceIs(Log().Only({WM_LBUTTONDOWN}), {"parent WM_LBUTTONDOWN"}));
  ClickAt(notify, 5, 5);
  EXPECT_TRUE(SequenceIs(Log().Only({WM_LBUTTONDOWN}), {"cmd 2 0"}));
}

}  // namespace
}  // namespace wintest
