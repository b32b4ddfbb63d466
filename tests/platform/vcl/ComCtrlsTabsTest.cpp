// The tab control and the page control: tabs handed to the window, clicks on tabs through
// scripted input, the OnChanging veto, which sheet shows, hidden tabs and page order.
#include <string>
#include <vector>

#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/Lists.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/ComCtrlsTestUtil.h"

namespace {

std::string TabText(TCustomTabControl* c, int index) {
  char buffer[64] = {};
  TCITEM item;
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessage(c->Handle(), TCM_GETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int TabCount(TCustomTabControl* c) {
  return static_cast<int>(SendMessage(c->Handle(), TCM_GETITEMCOUNT, 0, 0));
}

class ComCtrlsPageControlTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    pages = Make<TPageControl>();
    pages->SetBounds(10, 10, 300, 200);
    for (const char* caption : {"收入", "支出", "账户"}) {
      auto* sheet = new TTabSheet(form);
      sheet->SetPageControl(pages);
      sheet->SetCaption(caption);
      sheets.push_back(sheet);
    }
    pages->OnChanging = [this](TObject* sender, bool& allow) {
      EXPECT_EQ(sender, pages);
      log.push_back("changing " + std::to_string(pages->ActivePageIndex()));
      allow = allowChange;
    };
    pages->OnChange = [this](TObject*) {
      log.push_back("change " + std::to_string(pages->ActivePageIndex()));
    };
  }

  void ClickTab(int index) {
    const TRect r = pages->TabRect(index);
    ClickAt(pages, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  std::vector<bool> Visibility() const {
    std::vector<bool> v;
    for (TTabSheet* s : sheets) v.push_back(s->Visible());
    return v;
  }

  TPageControl* pages = nullptr;
  std::vector<TTabSheet*> sheets;
  std::vector<std::string> log;
  bool allowChange = true;
};

TEST_F(ComCtrlsPageControlTest, FirstSheetIsActiveAndOnlyItIsVisible) {
  ShowForm();
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  EXPECT_EQ(Visibility(), (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(sheets[0]->Showing());
  EXPECT_FALSE(sheets[1]->Showing());
  ASSERT_EQ(TabCount(pages), 3);
  EXPECT_EQ(TabText(pages, 1), "支出");
  // The sheet fills the display area inside the tabs.
  EXPECT_EQ(sheets[0]->BoundsRect(), pages->DisplayRect());
}

TEST_F(ComCtrlsPageControlTest, ClickingATabSwitchesPagesWithTheEvents) {
  ShowForm();
  ClickTab(2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(pages->TabIndex(), 2);
  EXPECT_EQ(Visibility(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(log, (std::vector<std::string>{"changing 0", "change 2"}));
  EXPECT_EQ(SendMessage(pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
  // A click on the active tab changes nothing.
  log.clear();
  ClickTab(2);
  EXPECT_TRUE(log.empty());
}

TEST_F(ComCtrlsPageControlTest, OnChangingVetoKeepsThePage) {
  ShowForm();
  allowChange = false;
  ClickTab(1);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  EXPECT_EQ(SendMessage(pages->Handle(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"changing 0"}));
  EXPECT_EQ(Visibility(), (std::vector<bool>{true, false, false}));
}

TEST_F(ComCtrlsPageControlTest, SettingActivePageInCodeFiresNoEvents) {
  ShowForm();
  pages->SetActivePageIndex(1);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_EQ(Visibility(), (std::vector<bool>{false, true, false}));
  EXPECT_TRUE(log.empty());
  pages->SetActivePage(nullptr);
  EXPECT_EQ(pages->ActivePageIndex(), -1);
  EXPECT_EQ(Visibility(), (std::vector<bool>{false, false, false}));
}

TEST_F(ComCtrlsPageControlTest, HiddenTabsAreSkippedByTabIndexAndNextPage) {
  sheets[1]->SetTabVisible(false);
  ShowForm();
  ASSERT_EQ(TabCount(pages), 2);
  EXPECT_EQ(TabText(pages, 1), "账户");
  EXPECT_EQ(sheets[1]->TabIndex(), -1);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  EXPECT_EQ(sheets[2]->PageIndex(), 2);
  EXPECT_EQ(pages->FindNextPage(sheets[0], true, true), sheets[2]);
  EXPECT_EQ(pages->FindNextPage(sheets[0], true, false), sheets[1]);
  EXPECT_EQ(pages->FindNextPage(sheets[0], false, true), sheets[2]);  // wraps backwards
  ClickTab(1);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);  // wraps past the hidden tab
  EXPECT_EQ(log.back(), "change 0");
}

TEST_F(ComCtrlsPageControlTest, SelectNextPageAsksOnChanging) {
  ShowForm();
  allowChange = false;
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  allowChange = true;
  pages->SelectNextPage(false);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(log, (std::vector<std::string>{"changing 0", "changing 0", "change 2"}));
}

TEST_F(ComCtrlsPageControlTest, CtrlTabInsideSelectsTheNextPage) {
  ShowForm();
  pages->SetFocus();
  Input::KeyDown(VK_CONTROL);
  Press(VK_TAB);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  Input::KeyDown(VK_SHIFT);
  Press(VK_TAB);
  Press(VK_TAB);
  Input::KeyUp(VK_SHIFT);
  Input::KeyUp(VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(log, (std::vector<std::string>{"changing 0", "change 1", "changing 1", "change 0", "changing 0",
                                           "change 2"}));
}

// The active page's tab looked like the others. It stands two pixels higher than its
// neighbours and is open onto its page: no page edge runs under it, while the page's edge
// runs under the others. A click on another tab moves the look along.
TEST_F(ComCtrlsPageControlTest, TheActiveTabIsRaisedAndOpenOntoItsPage) {
  ShowForm();
  const COLORREF face = GetSysColor(COLOR_3DFACE), light = GetSysColor(COLOR_3DHILIGHT);
  // Per tab: the row just above its item (the selected tab's top edge, else background) and
  // the inner row of the page's edge below it.
  const auto look = [&](int index) {
    const TRect r = pages->TabRect(index);
    const int x = (r.Left + r.Right) / 2;
    std::string out;
    out += PixelOf(pages, x, r.Top - 1) == light ? 'T' : PixelOf(pages, x, r.Top - 1) == face ? '.' : '?';
    out += PixelOf(pages, x, r.Bottom + 1) == light  ? '_'
           : PixelOf(pages, x, r.Bottom + 1) == face ? 'o'
                                                     : '?';
    return out;
  };
  EXPECT_EQ(look(0) + look(1) + look(2), "To._._");
  ClickTab(1);
  EXPECT_EQ(look(0) + look(1) + look(2), "._To._");
}

// Tab into the page control: the active tab's label gets the focus frame, and loses it when
// Tab moves on.
TEST_F(ComCtrlsPageControlTest, TheFocusFrameMarksTheActiveTabWhileFocused) {
  auto* edit = Make<TEdit>();
  edit->SetBounds(10, 220, 100, 22);
  ShowForm();
  const auto focusFrames = [&] {
    TDrawLog log;
    TBitmap bitmap;
    bitmap.SetSize(pages->Width(), pages->Height());
    HDC dc = bitmap.Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    SendMessage(pages->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    AttachDrawRecorder(dc, nullptr);
    std::vector<RECT> frames;
    for (const TDrawCall* call : log.OfKind(TDrawKind::FocusRect)) frames.push_back(call->Rect);
    return frames;
  };
  ClickAt(edit, 5, 5);
  EXPECT_TRUE(focusFrames().empty());
  Press(VK_TAB);
  ASSERT_TRUE(pages->Focused());
  const std::vector<RECT> frames = focusFrames();
  ASSERT_EQ(frames.size(), 1u);
  RECT inside;
  EXPECT_TRUE(IntersectRect(inside, frames[0], pages->TabRect(0)));
  EXPECT_EQ(inside, frames[0]) << "inside the active tab";
  Press(VK_TAB);
  ASSERT_TRUE(edit->Focused());
  EXPECT_TRUE(focusFrames().empty());
}

TEST_F(ComCtrlsPageControlTest, PageIndexReordersTabsAndCaptionsRenameThem) {
  ShowForm();
  sheets[2]->SetPageIndex(0);
  EXPECT_EQ(pages->Pages(0), sheets[2]);
  EXPECT_EQ(TabText(pages, 0), "账户");
  EXPECT_EQ(pages->TabIndex(), 1);  // the active sheet moved one place along
  sheets[0]->SetCaption("Income");
  EXPECT_EQ(TabText(pages, 1), "Income");
  EXPECT_THROW(pages->Pages(3), EListError);
}

TEST_F(ComCtrlsPageControlTest, FreeingTheActiveSheetActivatesTheNext) {
  ShowForm();
  pages->SetActivePage(sheets[1]);
  delete sheets[1];
  sheets.erase(sheets.begin() + 1);
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_TRUE(sheets[1]->Visible());
  EXPECT_EQ(TabCount(pages), 2);
  // Moving a sheet to no page control takes it out.
  sheets[0]->SetPageControl(nullptr);
  EXPECT_EQ(pages->PageCount(), 1);
  EXPECT_EQ(sheets[0]->PageControl(), nullptr);
}

TEST_F(ComCtrlsPageControlTest, TabPositionChangesTheDisplayArea) {
  ShowForm();
  const TRect top = pages->DisplayRect();
  pages->SetTabPosition(tpBottom);
  const TRect bottom = pages->DisplayRect();
  EXPECT_GT(top.Top, bottom.Top);
  EXPECT_LT(bottom.Bottom, top.Bottom);
  EXPECT_TRUE(GetWindowLong(pages->Handle(), GWL_STYLE) & TCS_BOTTOM);
  EXPECT_EQ(TabCount(pages), 3);  // the new window got the tabs again
}

// --- tab control ------------------------------------------------------------------------------------

class ComCtrlsTabControlTest : public TComCtrlsTest {};

TEST_F(ComCtrlsTabControlTest, TabsReachTheWindowAndClicksMoveTabIndex) {
  auto* tabs = Make<TTabControl>();
  tabs->SetBounds(10, 10, 300, 120);
  tabs->Tabs()->Add("One");
  tabs->Tabs()->Add("Two");
  EXPECT_EQ(tabs->TabIndex(), 0);
  ShowForm();
  ASSERT_EQ(TabCount(tabs), 2);
  tabs->Tabs()->Add("Three");
  EXPECT_EQ(TabText(tabs, 2), "Three");
  int changes = 0;
  tabs->OnChange = [&](TObject*) { ++changes; };
  const TRect r = tabs->TabRect(1);
  ClickAt(tabs, r.Left + 3, r.Top + 3);
  EXPECT_EQ(tabs->TabIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(tabs->IndexOfTabAt(r.Left + 3, r.Top + 3), 1);
  EXPECT_EQ(tabs->IndexOfTabAt(r.Left + 3, r.Bottom + 40), -1);
  tabs->SetTabIndex(2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(SendMessage(tabs->Handle(), TCM_GETCURSEL, 0, 0), 2);
  tabs->SetTabIndex(7);  // out of range: ignored
  EXPECT_EQ(tabs->TabIndex(), 2);
  tabs->Tabs()->Delete(2);
  EXPECT_EQ(tabs->TabIndex(), 1);
}

}  // namespace
