// Speed buttons: groups, Down and AllowAllUp, the press-drag-release click rules, flat hot
// tracking; bit buttons: kinds and owner drawing.
#include <gtest/gtest.h>

#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"
#include "tests/platform/vcl/ExtCtrlsTestSupport.h"

namespace vclext_test {
namespace {

class SpeedButtonTest : public THostFormTest {
 protected:
  TSpeedButton* Add(int left, int group = 0) {
    auto* b = new TSpeedButton(form);
    b->SetParent(form);
    b->SetBounds(left, 10, 23, 22);
    b->SetGroupIndex(group);
    b->OnClick = [this, b](TObject*) { clicks.push_back(b); };
    return b;
  }
  void Press(TSpeedButton* b) {
    WinTesting::Click(ScreenOf(b, 5, 5));
    Application->ProcessMessages();
  }
  std::vector<TObject*> clicks;
};

TEST_F(SpeedButtonTest, Defaults) {
  TSpeedButton b(form);
  EXPECT_EQ(b.Width(), 23);
  EXPECT_EQ(b.Height(), 22);
  EXPECT_EQ(b.Margin(), -1);
  EXPECT_EQ(b.Spacing(), 4);
  EXPECT_EQ(b.Layout(), blGlyphLeft);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.NumGlyphs(), 1);
  EXPECT_EQ(b.State(), bsUp);
  b.SetDown(true);  // an ungrouped button cannot stay down
  EXPECT_FALSE(b.Down());
}

TEST_F(SpeedButtonTest, GroupKeepsOneButtonDown) {
  TSpeedButton* a = Add(0, 1);
  TSpeedButton* b = Add(30, 1);
  TSpeedButton* other = Add(60, 2);
  other->SetDown(true);
  a->SetDown(true);
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(a->State(), bsExclusive);
  b->SetDown(true);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->State(), bsUp);
  EXPECT_TRUE(other->Down());  // another group is not touched

  b->SetDown(false);  // without AllowAllUp the down button stays down
  EXPECT_TRUE(b->Down());
  a->SetAllowAllUp(true);  // the setting spreads through the group
  EXPECT_TRUE(b->AllowAllUp());
  b->SetDown(false);
  EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButtonTest, ClickingAGroupedButtonTogglesItThroughTheGroup) {
  TSpeedButton* a = Add(0, 1);
  TSpeedButton* b = Add(30, 1);
  ShowAndPaint();
  Press(a);
  EXPECT_TRUE(a->Down());
  Press(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  Press(b);  // stays down: all up is not allowed
  EXPECT_TRUE(b->Down());
  b->SetAllowAllUp(true);
  Press(b);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks, (std::vector<TObject*>{a, b, b, b}));
}

TEST_F(SpeedButtonTest, PressDragReleaseRules) {
  TSpeedButton* b = Add(10);
  ShowAndPaint();
  struct Case {
    const char* name;
    POINT release;  // client coordinates of the release
    bool clicked;
  };
  const Case cases[] = {
      {"release inside", {20, 20}, true},
      {"release right of it", {23, 5}, false},
      {"release above it", {5, -1}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clicks.clear();
    Input::MouseDown(VK_LBUTTON, ScreenOf(b, 5, 5));
    Application->ProcessMessages();
    EXPECT_EQ(b->State(), bsDown);
    Input::MouseMove(ScreenOf(b, c.release.X, c.release.Y));
    Application->ProcessMessages();
    EXPECT_EQ(b->State(), c.clicked ? bsDown : bsUp);
    Input::MouseUp(VK_LBUTTON, ScreenOf(b, c.release.X, c.release.Y));
    Application->ProcessMessages();
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_EQ(clicks.size(), c.clicked ? 1u : 0u);
  }
  // Coming back inside while the button is held shows it down again.
  Input::MouseDown(VK_LBUTTON, ScreenOf(b, 5, 5));
  Input::MouseMove(ScreenOf(b, 40, 5));
  Input::MouseMove(ScreenOf(b, 6, 6));
  Application->ProcessMessages();
  EXPECT_EQ(b->State(), bsDown);
  Input::MouseUp(VK_LBUTTON, ScreenOf(b, 6, 6));
  Application->ProcessMessages();
}

TEST_F(SpeedButtonTest, DisabledButtonIgnoresPresses) {
  TSpeedButton* b = Add(10);
  b->SetEnabled(false);
  ShowAndPaint();
  Press(b);
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(b->State(), bsDisabled);
}

TEST_F(SpeedButtonTest, FlatButtonIsHotOnlyWhileTheMouseIsOver) {
  TSpeedButton* flat = Add(10);
  TSpeedButton* plain = Add(50);
  flat->SetFlat(true);
  ShowAndPaint();
  Input::MouseMove(ScreenOf(flat, 5, 5));
  Application->ProcessMessages();
  EXPECT_TRUE(flat->MouseInControl());
  // Hot flat buttons draw a raised edge; cold ones draw nothing on a transparent face.
  EXPECT_EQ(Pixel(flat, 0, 0), RGBOf(clBtnHighlight));
  Input::MouseMove(ScreenOf(plain, 5, 5));
  Application->ProcessMessages();
  EXPECT_FALSE(flat->MouseInControl());
  EXPECT_FALSE(plain->MouseInControl());
  EXPECT_EQ(Pixel(flat, 0, 0), RGBOf(clWhite));
}

TEST_F(SpeedButtonTest, AcceleratorClicks) {
  TSpeedButton* b = Add(10);
  b->SetCaption("&Go");
  ShowAndPaint();
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'G', 0), 1);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'X', 0), 0);
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(SpeedButtonTest, ActionGivesGroupAndDown) {
  auto* action = new TAction(form);
  action->SetGroupIndex(2);
  action->SetChecked(true);
  TSpeedButton* b = Add(10);
  b->SetAction(action);
  EXPECT_EQ(b->GroupIndex(), 2);
  EXPECT_TRUE(b->Down());
  action->SetChecked(false);  // not linked while the group does not allow all up
  EXPECT_TRUE(b->Down());
  b->SetAllowAllUp(true);
  action->SetChecked(true);
  action->SetChecked(false);
  EXPECT_FALSE(b->Down());
}

class BitBtnTest : public THostFormTest {};

TEST_F(BitBtnTest, KindsGiveCaptionResultDefaultAndGlyph) {
  struct Case {
    TBitBtnKind kind;
    const char* caption;
    TModalResult result;
    bool isDefault, isCancel;
  };
  const Case cases[] = {
      {bkOK, "OK", mrOk, true, false},
      {bkCancel, "Cancel", mrCancel, false, true},
      {bkHelp, "&Help", mrNone, false, false},
      {bkYes, "&Yes", mrYes, true, false},
      {bkNo, "&No", mrNo, false, true},
      {bkClose, "&Close", mrNone, false, false},
      {bkAbort, "Abort", mrAbort, false, false},
      {bkRetry, "&Retry", mrRetry, false, false},
      {bkIgnore, "&Ignore", mrIgnore, false, false},
      {bkAll, "&All", mrAll, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    TBitBtn b(form);
    b.SetKind(c.kind);
    EXPECT_EQ(b.Kind(), c.kind);
    EXPECT_EQ(b.Caption(), c.caption);
    EXPECT_EQ(b.ModalResult(), c.result);
    EXPECT_EQ(b.Default(), c.isDefault);
    EXPECT_EQ(b.Cancel(), c.isCancel);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.Glyph()->Width(), 2 * b.Glyph()->Height());
    b.SetModalResult(mrIgnore == c.result ? mrOk : mrIgnore);  // a changed default makes it custom
    EXPECT_EQ(b.Kind(), bkCustom);
  }
}

TEST_F(BitBtnTest, IsAnOwnerDrawnButtonPaintingGlyphAndCaption) {
  auto* b = new TBitBtn(form);
  b->SetParent(form);
  b->SetBounds(10, 10, 75, 25);
  b->SetKind(bkCancel);
  ShowAndPaint();
  EXPECT_EQ(GetWindowLong(b->Handle(), GWL_STYLE) & BS_TYPEMASK, static_cast<LONG_PTR>(BS_OWNERDRAW));
  auto count = [&](TColor color) {
    int n = 0;
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 75; ++x) n += Pixel(b, x, y) == RGBOf(color);
    return n;
  };
  EXPECT_GT(count(clRed), 10);              // the cross of the glyph
  EXPECT_GT(count(b->Font()->Color()), 5);  // the caption
  b->SetEnabled(false);
  Application->ProcessMessages();
  EXPECT_EQ(count(clRed), 0);
  EXPECT_GT(count(clBtnShadow), 10);  // embossed glyph and caption
}

TEST_F(BitBtnTest, CloseKindClosesTheForm) {
  auto* b = new TBitBtn(form);
  b->SetParent(form);
  b->SetKind(bkClose);
  ShowAndPaint();
  ASSERT_TRUE(form->Visible());
  b->Click();
  Application->ProcessMessages();
  EXPECT_FALSE(form->Visible());
}

}  // namespace
}  // namespace vclext_test
