// The hints of the data-aware editor: the hint flag with tool tips, the clipped text as the
// hint, and the tool-tip window that shows it whole on hovering.
#include <gtest/gtest.h>

#include <string>

#include "grid/editors/EditToolTipsWindowEh.h"
#include "platform/rtl/Clock.h"
#include "tests/grid/editors/DBEditFormTestSupport.h"

namespace {

using namespace dbedit_test;

class DBEditHintsTest : public DBEditFormTest {};

TEST_F(DBEditHintsTest, ToolTipsShowClippedTextOnly) {
  struct Case {
    const char* name;
    bool tooltips;
    bool showHint;
    std::string text;
    LRESULT result;
    bool textAsHint;
  };
  const std::string longText(50, 'w');
  const Case cases[] = {
      {"clipped text is the hint", true, false, longText, 0, true},
      {"fitting text: no hint without ShowHint", true, false, "short", 1, false},
      {"fitting text keeps the control hint with ShowHint", true, true, "short", 0, false},
      {"no tool tips", false, false, longText, 1, false},
  };
  edit->SetHint("control hint");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit->SetTooltips(c.tooltips);
    edit->SetShowHint(c.showHint);
    EXPECT_EQ(static_cast<TControl*>(edit)->TControl::ShowHint(), c.tooltips || c.showHint);
    edit->SetText(c.text);
    THintInfo info;
    info.HintControl = edit;
    info.HintStr = "control hint";
    const LRESULT result = edit->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(result, c.result);
    if (c.textAsHint) {
      EXPECT_EQ(info.HintStr, c.text);
      EXPECT_EQ(info.HintWindowClass, TEditToolTipsWindowEh::StaticClass());
      const TPoint corner = form->ClientToScreen(TPoint{edit->Left(), edit->Top() + edit->Height()});
      EXPECT_EQ(info.HintPos, corner);
    } else if (result == 0) {
      EXPECT_EQ(info.HintStr, "control hint");
    }
  }
}

TEST_F(DBEditHintsTest, ToolTipWindowShowsTheWholeClippedText) {
  const std::string longText(50, 'w');
  edit->SetTooltips(true);
  edit->SetText(longText);
  const TPoint p = edit->ClientToScreen(TPoint{20, 5});
  Application->ActivateHint(p);
  THintWindow* hint = Application->HintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->InheritsFrom(TEditToolTipsWindowEh::StaticClass()));
  EXPECT_EQ(hint->Caption(), longText);
  EXPECT_GT(hint->Width(), edit->Width());
  Application->CancelHint();
}

TEST_F(DBEditHintsTest, HoverShowsClippedTextAlsoWithoutAHint) {
  const std::string longText(50, 'w');
  edit->SetHint("");
  edit->SetTooltips(true);
  const auto hintShowing = [] {
    THintWindow* w = Application->HintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  };
  const struct {
    const char* name;
    std::string text;
    bool shown;
  } cases[] = {{"clipped text", longText, true}, {"fitting text", "short", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    edit->SetText(c.text);
    const TPoint away = other->ClientToScreen(TPoint{5, 5});
    Input::MouseMove(POINT{away.X, away.Y});
    Application->ProcessMessages();
    Application->CancelHint();
    const TPoint p = edit->ClientToScreen(TPoint{20, 5});
    Input::MouseMove(POINT{p.X, p.Y});
    Application->ProcessMessages();
    VirtualClock::Advance(static_cast<uint32_t>(Application->HintPause() + 10));
    Application->ProcessMessages();
    ASSERT_EQ(hintShowing(), c.shown);
    if (c.shown) {
      EXPECT_EQ(Application->HintWindow()->Caption(), longText);
    }
    Application->CancelHint();
  }
}

}  // namespace
