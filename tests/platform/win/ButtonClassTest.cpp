// The "Button" class: clicks by mouse and keyboard with their BN_CLICKED, check states of each
// type, radio groups, capture while pressed, and what painting asks of the parent.
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

using TButtonTest = TControlTest;

TEST_F(TButtonTest, ClicksCycleTheCheckStateOfEachType) {
  struct TCase {
    DWORD Type;
    std::vector<LRESULT> Checks;  // BM_GETCHECK after each of three clicks
  };
  const TCase cases[] = {
      {BS_PUSHBUTTON, {0, 0, 0}},   {BS_CHECKBOX, {0, 0, 0}},  // not automatic: the parent decides
      {BS_AUTOCHECKBOX, {1, 0, 1}}, {BS_AUTO3STATE, {1, 2, 0}}, {BS_AUTORADIOBUTTON, {1, 1, 1}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Type);
    HWND b = Control(WC_BUTTON, "B", c.Type | WS_GROUP, RECT{10, 10, 90, 30});
    Notes();
    for (LRESULT expected : c.Checks) {
      ClickAt(b, 5, 5);
      EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), expected);
    }
    EXPECT_TRUE(SequenceIs(Notes(), {"cmd 5 0", "cmd 5 0", "cmd 5 0"}));
    DestroyWindow(b);
  }
}

TEST_F(TButtonTest, CapturesWhilePressedAndClicksOnlyWhenReleasedInside) {
  HWND b = Control(WC_BUTTON, "OK", BS_PUSHBUTTON, RECT{10, 10, 90, 30});
  Notes();
  Input::MouseDown(VK_LBUTTON, ScreenPoint(b, 5, 5));
  Pump();
  EXPECT_EQ(GetCapture(), b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
  Input::MouseMove(ScreenPoint(b, 200, 5));
  Pump();
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  Input::MouseMove(ScreenPoint(b, 6, 6));
  Pump();
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
  Input::MouseMove(ScreenPoint(b, 200, 5));
  Input::MouseUp(VK_LBUTTON, ScreenPoint(b, 200, 5));
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Notes().empty());
}

TEST_F(TButtonTest, SpaceClicksOnReleaseAndEnterClicksPushButtons) {
  HWND check = Control(WC_BUTTON, "C", BS_AUTOCHECKBOX, RECT{10, 10, 90, 30}, 7);
  HWND push = Control(WC_BUTTON, "P", BS_PUSHBUTTON, RECT{10, 40, 90, 60}, 8);
  SetFocus(check);
  Pump();
  Notes();
  Input::KeyDown(VK_SPACE);
  Pump();
  EXPECT_EQ(SendMessage(check, BM_GETSTATE, 0, 0), BST_PUSHED | BST_FOCUS);
  EXPECT_TRUE(Notes().empty());
  Input::KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  SetFocus(push);
  Press(VK_RETURN);
  EXPECT_TRUE(SequenceIs(Notes(), {"cmd 7 0", "cmd 8 0"}));
}

TEST_F(TButtonTest, AutoRadioUnchecksOnlyItsOwnGroup) {
  HWND a = Control(WC_BUTTON, "A", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 10, 90, 25}, 1);
  HWND b = Control(WC_BUTTON, "B", BS_AUTORADIOBUTTON, RECT{10, 30, 90, 45}, 2);
  HWND c = Control(WC_BUTTON, "C", BS_AUTORADIOBUTTON, RECT{10, 50, 90, 65}, 3);
  HWND d = Control(WC_BUTTON, "D", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 70, 90, 85}, 4);
  SendMessage(a, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(d, BM_SETCHECK, BST_CHECKED, 0);
  ClickAt(c, 3, 3);
  EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessage(c, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(d, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(TButtonTest, SetCheckKeepsIndeterminateOnlyForThreeStateButtons) {
  struct TCase {
    DWORD Type;
    LRESULT Expected;
  };
  for (TCase c : {TCase{BS_CHECKBOX, BST_CHECKED}, TCase{BS_3STATE, BST_INDETERMINATE},
                  TCase{BS_AUTO3STATE, BST_INDETERMINATE}, TCase{BS_PUSHBUTTON, BST_UNCHECKED}}) {
    SCOPED_TRACE(c.Type);
    HWND b = Control(WC_BUTTON, "x", c.Type, RECT{0, 0, 50, 20});
    SendMessage(b, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), c.Expected);
    DestroyWindow(b);
  }
}

TEST_F(TButtonTest, DialogCodeFollowsTheTypeAndSetStyle) {
  HWND b = Control(WC_BUTTON, "x", BS_PUSHBUTTON, RECT{0, 0, 50, 20});
  EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  SendMessage(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLong(b, GWL_STYLE) & (WS_CHILD | WS_VISIBLE),
            static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE));
  HWND r = Control(WC_BUTTON, "x", BS_RADIOBUTTON, RECT{0, 0, 50, 20});
  EXPECT_EQ(SendMessage(r, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
  HWND g = Control(WC_BUTTON, "x", BS_GROUPBOX, RECT{0, 0, 50, 20});
  EXPECT_EQ(SendMessage(g, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_F(TButtonTest, ClickMessageNotifiesAndDisabledButtonIgnoresIt) {
  HWND b = Control(WC_BUTTON, "x", BS_AUTOCHECKBOX, RECT{0, 0, 50, 20});
  Notes();
  SendMessage(b, BM_CLICK, 0, 0);
  EnableWindow(b, FALSE);
  SendMessage(b, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(SequenceIs(Notes(), {"cmd 5 0"}));
}

TEST_F(TButtonTest, PaintingAsksTheParentForItsBrushByKind) {
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  std::vector<UINT> asked;
  parentHandler_ = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_CTLCOLORBTN || m == WM_CTLCOLORSTATIC) {
      asked.push_back(m);
      return reinterpret_cast<LRESULT>(red);
    }
    return std::nullopt;
  };
  struct TCase {
    DWORD Style;
    UINT Message;
  };
  for (TCase c :
       {TCase{BS_PUSHBUTTON, WM_CTLCOLORBTN}, TCase{BS_AUTOCHECKBOX, WM_CTLCOLORSTATIC},
        TCase{BS_GROUPBOX, WM_CTLCOLORSTATIC}, TCase{BS_AUTOCHECKBOX | BS_PUSHLIKE, WM_CTLCOLORBTN}}) {
    SCOPED_TRACE(c.Style);
    HWND b = Control(WC_BUTTON, "Text", c.Style, RECT{0, 0, 80, 24});
    asked.clear();
    TDrawLog log = Painted(b);
    EXPECT_EQ(asked, std::vector<UINT>{c.Message});
    auto fills = log.OfKind(TDrawKind::FillRect);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills[0]->Color, RGB(255, 0, 0));
    DestroyWindow(b);
  }
  parentHandler_ = nullptr;
  DeleteObject(red);
}

TEST_F(TButtonTest, CheckBoxDrawsItsBoxOnTheSideLeftTextAsks) {
  for (bool leftText : {false, true}) {
    SCOPED_TRACE(leftText);
    HWND b = Control(WC_BUTTON, "Text", BS_AUTOCHECKBOX | (leftText ? BS_LEFTTEXT : 0), RECT{0, 0, 80, 21});
    SendMessage(b, BM_SETCHECK, BST_CHECKED, 0);
    TDrawLog log = Painted(b);
    auto frames = log.OfKind(TDrawKind::FrameControl);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0]->Flags & (DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_BUTTONRADIO), DFCS_CHECKED);
    const RECT expected = leftText ? RECT{67, 4, 80, 17} : RECT{0, 4, 13, 17};
    EXPECT_EQ(frames[0]->Rect, expected);
    DestroyWindow(b);
  }
}

}  // namespace
}  // namespace wintest
