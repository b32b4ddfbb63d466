// Status bar (parts handed to the window, painted text and owner-drawn panels at key pixels),
// header (clicks and resizing by scripted mouse) and tool bar (layout, wrapping, check
// buttons and groups).
#include <string>
#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/win/Painting.h"
#include "tests/platform/vcl/ComCtrlsTestUtil.h"

namespace {

// --- status bar ---------------------------------------------------------------------------------

class ComCtrlsStatusBarTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    bar = Make<TStatusBar>();
    bar->SetSizeGrip(false);
    for (int width : {60, 80, 70}) bar->Panels()->Add()->SetWidth(width);
  }

  std::vector<int> Parts() {
    int edges[8] = {};
    const int n =
        static_cast<int>(SendMessage(bar->Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + n);
  }
  // The columns of the panel whose pixels differ from the bar's face.
  std::vector<int> InkColumns(const TRect& r) {
    std::vector<int> cols;
    const COLORREF face = ColorToRGB(clBtnFace);
    for (int x = r.Left + 2; x < r.Right - 2; ++x)
      for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
        if (PixelOf(bar, x, y) != face) {
          cols.push_back(x);
          break;
        }
    return cols;
  }

  TStatusBar* bar = nullptr;
};

TEST_F(ComCtrlsStatusBarTest, PanelsBecomeTheWindowsPartsAlongTheBottom) {
  ShowForm();
  EXPECT_EQ(Parts(), (std::vector<int>{60, 140, -1}));
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  bar->Panels()->Items(0)->SetWidth(30);
  EXPECT_EQ(Parts(), (std::vector<int>{30, 110, -1}));
  bar->Panels()->Delete(2);
  EXPECT_EQ(Parts(), (std::vector<int>{30, -1}));
}

TEST_F(ComCtrlsStatusBarTest, TextIsPaintedOnTheAlignedSide) {
  bar->Panels()->Items(0)->SetText("L");
  bar->Panels()->Items(1)->SetText("R");
  bar->Panels()->Items(1)->SetAlignment(taRightJustify);
  bar->Panels()->Items(2)->SetText("C");
  bar->Panels()->Items(2)->SetAlignment(taCenter);
  ShowForm();
  char text[16] = {};
  SendMessage(bar->Handle(), SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "L");
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TRect r = bar->PanelRect(i);
    const std::vector<int> ink = InkColumns(r);
    ASSERT_FALSE(ink.empty());
    const int mid = (ink.front() + ink.back()) / 2;
    if (i == 0) {
      EXPECT_LT(mid, r.Left + r.Width() / 3);
    } else if (i == 1) {
      EXPECT_GT(mid, r.Right - r.Width() / 3);
    } else {
      EXPECT_NEAR(mid, (r.Left + r.Right) / 2, 4);
    }
  }
}

TEST_F(ComCtrlsStatusBarTest, OwnerDrawnPanelsAreDrawnByOnDrawPanel) {
  bar->Panels()->Items(1)->SetStyle(psOwnerDraw);
  std::vector<std::pair<int, TRect>> calls;
  bar->OnDrawPanel = [&](TStatusBar* sb, TStatusPanel* panel, const TRect& r) {
    calls.emplace_back(panel->Index(), r);
    sb->Canvas()->Brush()->SetColor(clRed);
    sb->Canvas()->FillRect(r);
  };
  ShowForm();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().first, 1);
  const TRect part = bar->PanelRect(1);
  const TRect r = calls.back().second;
  EXPECT_TRUE(r.Left >= part.Left && r.Right <= part.Right);
  EXPECT_EQ(PixelOf(bar, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), RGB(255, 0, 0));
  EXPECT_NE(PixelOf(bar, bar->PanelRect(0).Left + 30, (r.Top + r.Bottom) / 2), RGB(255, 0, 0));
}

TEST_F(ComCtrlsStatusBarTest, SimplePanelShowsSimpleTextAcrossTheBar) {
  bar->SetSimpleText("Ready");
  bar->SetSimplePanel(true);
  ShowForm();
  EXPECT_EQ(Parts(), (std::vector<int>{-1}));
  char text[16] = {};
  SendMessage(bar->Handle(), SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Ready");
  bar->SetSimplePanel(false);
  EXPECT_EQ(Parts().size(), 3u);
}

TEST_F(ComCtrlsStatusBarTest, PanelsAndSectionsAddedToLiveWindowsArriveWhole) {
  auto* header = Make<THeaderControl>();
  ShowForm();
  bar->Panels()->Add()->SetText("Fourth");
  header->Sections()->Add()->SetText("First");
  EXPECT_EQ(Parts(), (std::vector<int>{60, 140, 210, -1}));
  EXPECT_EQ(SendMessage(header->Handle(), HDM_GETITEMCOUNT, 0, 0), 1);
}

TEST_F(ComCtrlsStatusBarTest, PanelsFollowTheBarsBiDiModeUntilGivenTheirOwn) {
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);
  const struct {
    TBiDiMode Bar;
    bool SetOwn, ParentAgain;  // the panel gets bdLeftToRight of its own, then follows again
    TBiDiMode Expected;
    bool ExpectedParent, Swaps;
  } cases[] = {{bdRightToLeft, false, false, bdRightToLeft, true, true},
               {bdRightToLeftNoAlign, false, false, bdRightToLeftNoAlign, true, false},
               {bdRightToLeft, true, false, bdLeftToRight, false, false},
               {bdRightToLeft, true, true, bdRightToLeft, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(bar->Panels()->Count());
    TStatusPanel* panel = bar->Panels()->Add();
    bar->SetBiDiMode(c.Bar);
    if (c.SetOwn) panel->SetBiDiMode(bdLeftToRight);
    if (c.ParentAgain) panel->SetParentBiDiMode(true);
    EXPECT_EQ(panel->BiDiMode(), c.Expected);
    EXPECT_EQ(GetPropText(panel, "ParentBiDiMode"), c.ExpectedParent ? "True" : "False");
    EXPECT_EQ(panel->UseRightToLeftAlignment(), c.Swaps);
  }
  SysLocale().MiddleEast = false;
  EXPECT_FALSE(bar->Panels()->Items(3)->UseRightToLeftAlignment());
  ShowForm();
  ValidateRect(bar->Handle(), nullptr);
  EXPECT_TRUE(SetPropText(bar, "BiDiMode", "bdLeftToRight"));  // published on the bar too
  EXPECT_EQ(bar->Panels()->Items(0)->BiDiMode(), bdLeftToRight);
  RECT dirty{};
  EXPECT_TRUE(GetUpdateRect(bar->Handle(), &dirty, FALSE));  // the panels show it
}

// --- header ---------------------------------------------------------------------------------------

class ComCtrlsHeaderTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    header = Make<THeaderControl>();
    for (const char* text : {"Name", "Amount", "Date"}) {
      THeaderSection* s = header->Sections()->Add();
      s->SetText(text);
      s->SetWidth(80);
    }
    header->OnSectionClick = [this](THeaderControl*, THeaderSection* s) {
      log.push_back("click " + s->Text());
    };
    header->OnSectionResize = [this](THeaderControl*, THeaderSection* s) {
      log.push_back("resize " + s->Text() + " " + std::to_string(s->Width()));
    };
  }
  THeaderControl* header = nullptr;
  std::vector<std::string> log;
};

TEST_F(ComCtrlsHeaderTest, SectionsReachTheWindowAndClicksNameTheirSection) {
  ShowForm();
  EXPECT_EQ(SendMessage(header->Handle(), HDM_GETITEMCOUNT, 0, 0), 3);
  RECT r{};
  SendMessage(header->Handle(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Left, 80);
  EXPECT_EQ(r.Right, 160);
  ClickAt(header, 120, 5);
  header->Sections()->Items(2)->SetAllowClick(false);
  ClickAt(header, 200, 5);
  ClickAt(header, 20, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"click Amount", "click Name"}));
  EXPECT_EQ(header->SectionAt(239), 2);
  EXPECT_EQ(header->SectionAt(240), -1);
}

TEST_F(ComCtrlsHeaderTest, DraggingADividerResizesWithinTheLimits) {
  header->Sections()->Items(0)->SetMaxWidth(100);
  ShowForm();
  const TPoint from = header->ClientToScreen(TPoint{80, 5});
  Input::MouseMove(from);
  Input::MouseDown(VK_LBUTTON, from);
  Input::MouseMove(TPoint{from.X + 10, from.Y});
  Application->ProcessMessages();
  EXPECT_EQ(header->Sections()->Items(0)->Width(), 90);
  Input::MouseMove(TPoint{from.X + 60, from.Y});
  Input::MouseUp(VK_LBUTTON, TPoint{from.X + 60, from.Y});
  Application->ProcessMessages();
  EXPECT_EQ(header->Sections()->Items(0)->Width(), 100);
  EXPECT_EQ(header->Sections()->Items(1)->Left(), 100);
  EXPECT_EQ(log, (std::vector<std::string>{"resize Name 100"}));
  RECT r{};
  SendMessage(header->Handle(), HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Right, 100);
}

// --- tool bar -------------------------------------------------------------------------------------

class ComCtrlsToolBarTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    bar = Make<TToolBar>();
  }
  TToolButton* AddButton(TToolButtonStyle style = tbsButton, const std::string& caption = "") {
    auto* b = new TToolButton(form);
    b->SetStyle(style);
    b->SetCaption(caption);
    b->SetParent(bar);
    return b;
  }
  std::vector<int> Lefts() {
    std::vector<int> v;
    for (int i = 0; i < bar->ButtonCount(); ++i) v.push_back(bar->Buttons(i)->Left());
    return v;
  }
  TToolBar* bar = nullptr;
};

TEST_F(ComCtrlsToolBarTest, ButtonsAreLaidInARowWithSeparators) {
  bar->SetIndent(4);
  AddButton();
  AddButton();
  AddButton(tbsSeparator);
  AddButton(tbsDropDown);
  AddButton();
  EXPECT_EQ(bar->ButtonCount(), 5);
  EXPECT_EQ(Lefts(), (std::vector<int>{4, 27, 50, 58, 95}));
  EXPECT_EQ(bar->Buttons(3)->Width(), 23 + 14);
  EXPECT_EQ(bar->Buttons(0)->Height(), 22);
  bar->SetButtonWidth(30);
  EXPECT_EQ(Lefts(), (std::vector<int>{4, 34, 64, 72, 116}));
  EXPECT_EQ(bar->RowCount(), 1);
  EXPECT_THROW(bar->Buttons(5), EListError);
}

TEST_F(ComCtrlsToolBarTest, WrapableBarsStartANewRow) {
  bar->SetAlign(alNone);
  bar->SetWidth(80);
  for (int i = 0; i < 5; ++i) AddButton();
  EXPECT_EQ(bar->RowCount(), 2);
  EXPECT_EQ(bar->Buttons(2)->Top(), 0);
  EXPECT_EQ(bar->Buttons(3)->Left(), 0);
  EXPECT_EQ(bar->Buttons(3)->Top(), 22);
  bar->SetWrapable(false);
  EXPECT_EQ(bar->RowCount(), 1);
  EXPECT_EQ(bar->Buttons(4)->Left(), 4 * 23);
  bar->Buttons(1)->SetWrap(true);
  EXPECT_EQ(bar->Buttons(2)->Left(), 0);
  EXPECT_EQ(bar->Buttons(2)->Top(), 22);
}

TEST_F(ComCtrlsToolBarTest, ShowCaptionsWidensButtonsForTheirText) {
  AddButton(tbsButton, "A");
  AddButton(tbsButton, "Preferences");
  bar->SetShowCaptions(true);
  EXPECT_EQ(bar->Buttons(0)->Width(), 23);  // short text fits the button width
  EXPECT_EQ(bar->Buttons(1)->Width(), 11 * 7 + 14);
  EXPECT_EQ(bar->Buttons(1)->Left(), 23);
}

TEST_F(ComCtrlsToolBarTest, CheckButtonsToggleAndGroupsKeepOneDown) {
  TToolButton* check = AddButton(tbsCheck);
  TToolButton* a = AddButton(tbsCheck);
  TToolButton* b = AddButton(tbsCheck);
  a->SetGrouped(true);
  b->SetGrouped(true);
  int clicks = 0;
  check->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  auto click = [&](TToolButton* btn) { ClickAt(btn, 5, 5); };
  click(check);
  EXPECT_TRUE(check->Down());
  click(check);
  EXPECT_FALSE(check->Down());
  EXPECT_EQ(clicks, 2);
  click(a);
  EXPECT_TRUE(a->Down());
  click(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_FALSE(check->Down());  // not in the group
  click(b);
  EXPECT_TRUE(b->Down());  // a group keeps one down
  b->SetAllowAllUp(true);
  click(b);
  EXPECT_FALSE(b->Down());
}

TEST_F(ComCtrlsToolBarTest, DropDownArrowPopsUpTheMenuUnderTheButton) {
  AddButton();
  TToolButton* drop = AddButton(tbsDropDown);
  auto* menu = new TPopupMenu(form);
  drop->SetDropdownMenu(menu);
  int clicks = 0;
  drop->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  ClickAt(drop, drop->Width() - 3, 5);
  EXPECT_EQ(menu->PopupPoint(), drop->ClientToScreen(TPoint{0, drop->Height()}));
  EXPECT_EQ(clicks, 0);  // the arrow opens the menu instead of clicking
  ClickAt(drop, 3, 5);
  EXPECT_EQ(clicks, 1);
  delete menu;
  EXPECT_EQ(drop->DropdownMenu(), nullptr);
}

TEST_F(ComCtrlsToolBarTest, FreedButtonsLeaveTheBar) {
  AddButton();
  TToolButton* middle = AddButton();
  AddButton();
  delete middle;
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(Lefts(), (std::vector<int>{0, 23}));
  bar->Buttons(0)->SetParent(nullptr);
  EXPECT_EQ(bar->ButtonCount(), 1);
}

}  // namespace
