// Popup menus: the menu loop through the popup list window, scripted choices, flags and owner
// drawing.
#include <gtest/gtest.h>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Painting.h"
#include "tests/platform/vcl/MenuTestSupport.h"

namespace {

using namespace menutest;

POINT Center(const RECT& r) {
  return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

class MenuPopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    // The keyboard goes to the active window, as when a form shows the popup.
    form_ = CreateWindowEx(0, "Static", "form", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                           nullptr, nullptr);
    SetActiveWindow(form_);
    SetFocus(form_);
    owner_ = std::make_unique<TComponent>(nullptr);
    popup_ = new TPopupMenu(owner_.get());
    for (const char* caption : {"&Alpha", "&Beta", "&Gamma"}) {
      TMenuItem* item = Item(caption);
      item->OnClick = [this, item](TObject* sender) {
        EXPECT_EQ(sender, item);
        clicked_.push_back(item->Caption());
      };
      popup_->Items()->Add(item);
    }
  }
  void TearDown() override { owner_.reset(); }

  // Clicks entry `position` of `menu` once the loop shows it.
  void ScheduleClick(HMENU menu, int position) {
    WinTesting::Schedule([menu, position] {
      RECT r{};
      ASSERT_TRUE(GetMenuItemRect(PopupList().Window(), menu, static_cast<UINT>(position), &r));
      WinTesting::Click(Center(r));
    });
  }

  HWND form_ = nullptr;
  std::unique_ptr<TComponent> owner_;
  TPopupMenu* popup_ = nullptr;
  std::vector<std::string> clicked_;
};

TEST_F(MenuPopupTest, AScriptedClickRunsTheItemOnceAfterTheMenuCloses) {
  bool poppedUp = false;
  popup_->OnPopup = [&](TObject* sender) {
    EXPECT_EQ(sender, popup_);
    poppedUp = true;
  };
  WinTesting::Schedule([&] { EXPECT_TRUE(poppedUp); });  // OnPopup came before the menu showed
  ScheduleClick(popup_->Handle(), 1);
  popup_->Popup(120, 80);
  EXPECT_TRUE(clicked_.empty());  // the choice is posted to the popup list window
  EXPECT_EQ(popup_->PopupPoint(), (TPoint{120, 80}));
  Pump();
  EXPECT_EQ(clicked_, std::vector<std::string>{"&Beta"});
  Pump();
  EXPECT_EQ(clicked_.size(), 1u);
}

TEST_F(MenuPopupTest, EscapeChoosesNothing) {
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  popup_->Popup(50, 50);
  Pump();
  EXPECT_TRUE(clicked_.empty());
}

TEST_F(MenuPopupTest, ASubmenuItemIsChosenAndItsParentHearsTheOpening) {
  TMenuItem* more = Item("&More");
  int opened = 0;
  more->OnClick = [&](TObject*) { ++opened; };
  TMenuItem* inner = Item("&Inner");
  inner->OnClick = [&](TObject*) { clicked_.push_back("inner"); };
  more->Add(inner);
  popup_->Items()->Add(more);
  ScheduleClick(popup_->Handle(), 3);
  ScheduleClick(more->Handle(), 0);
  popup_->Popup(100, 100);
  Pump();
  EXPECT_EQ(clicked_, std::vector<std::string>{"inner"});
  EXPECT_EQ(opened, 1);
}

TEST_F(MenuPopupTest, AlignmentAndTrackButtonBecomeTrackFlags) {
  struct {
    TPopupAlignment Alignment;
    TTrackButton Button;
    UINT Flags;
  } const cases[] = {{paLeft, tbRightButton, TPM_LEFTALIGN | TPM_RIGHTBUTTON},
                     {paRight, tbRightButton, TPM_RIGHTALIGN | TPM_RIGHTBUTTON},
                     {paCenter, tbLeftButton, TPM_CENTERALIGN | TPM_LEFTBUTTON}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Flags);
    popup_->SetAlignment(c.Alignment);
    popup_->SetTrackButton(c.Button);
    EXPECT_EQ(popup_->PopupFlags(), c.Flags);
  }
}

TEST_F(MenuPopupTest, RightAlignmentPutsTheMenuLeftOfThePoint) {
  popup_->SetAlignment(paRight);
  RECT first{};
  WinTesting::Schedule([&] {
    GetMenuItemRect(PopupList().Window(), popup_->Handle(), 0, &first);
    WinTesting::KeyPress(VK_ESCAPE);
  });
  popup_->Popup(300, 200);
  EXPECT_LE(first.Right, 300);
  EXPECT_GT(first.Left, 100);
}

TEST_F(MenuPopupTest, OwnerDrawnItemsAreMeasuredAndDrawnOnTheMenuCanvas) {
  popup_->SetOwnerDraw(true);
  ASSERT_TRUE(Entry(popup_->Handle(), 0).Type & MFT_OWNERDRAW);
  struct TDraw {
    std::string Caption;
    TRect Rect;
    bool Selected;
  };
  std::vector<TDraw> draws;
  for (int i = 0; i < popup_->Items()->Count(); ++i) {
    TMenuItem* item = popup_->Items()->Items(i);
    item->OnMeasureItem = [](TObject*, TCanvas* canvas, int& w, int& h) {
      EXPECT_NE(canvas, nullptr);
      EXPECT_GT(w, 0);  // the default measure came first
      w = 140;
      h = 22;
    };
    item->OnDrawItem = [&draws, item](TObject* sender, TCanvas* canvas, TRect r, bool selected) {
      EXPECT_EQ(sender, item);
      ASSERT_TRUE(canvas->HandleAllocated());
      canvas->Brush()->SetColor(clRed);
      canvas->FillRect(r);
      draws.push_back({item->Caption(), r, selected});
    };
  }
  COLORREF pixel = 0;
  RECT second{};
  WinTesting::Schedule([&] {
    GetMenuItemRect(PopupList().Window(), popup_->Handle(), 1, &second);
    POINT p = Center(second);
    HWND menuWindow = WindowFromPoint(p);
    ScreenToClient(menuWindow, &p);
    HDC dc = GetDC(menuWindow);
    pixel = GetPixel(dc, p.X, p.Y);
    ReleaseDC(menuWindow, dc);
    WinTesting::KeyPress(VK_ESCAPE);
  });
  popup_->Popup(60, 60);
  Pump();
  EXPECT_EQ(second.Bottom - second.Top, 22);
  EXPECT_EQ(pixel, ColorToRGB(clRed));  // the canvas drew into the menu window
  ASSERT_GE(draws.size(), 3u);
  EXPECT_EQ(draws[0].Caption, "&Alpha");
  EXPECT_EQ(draws[0].Rect.Bottom - draws[0].Rect.Top, 22);
  EXPECT_FALSE(draws[0].Selected);
}

TEST_F(MenuPopupTest, DefaultOwnerDrawingPaintsTextAndHighlight) {
  popup_->SetOwnerDraw(true);
  COLORREF background = 0;
  bool sawText = false;
  WinTesting::Schedule([&] {
    RECT r{};
    GetMenuItemRect(PopupList().Window(), popup_->Handle(), 0, &r);
    HWND menuWindow = WindowFromPoint(Center(r));
    POINT tl{r.Left, r.Top};
    ScreenToClient(menuWindow, &tl);
    HDC dc = GetDC(menuWindow);
    background = GetPixel(dc, tl.X + 1, tl.Y + 1);
    const COLORREF text = ColorToRGB(clMenuText);
    for (int x = tl.X; x < tl.X + (r.Right - r.Left) && !sawText; ++x)
      for (int y = tl.Y; y < tl.Y + (r.Bottom - r.Top); ++y)
        if (GetPixel(dc, x, y) == text) sawText = true;
    ReleaseDC(menuWindow, dc);
    WinTesting::KeyPress(VK_ESCAPE);
  });
  popup_->Popup(60, 60);
  EXPECT_EQ(background, ColorToRGB(clMenu));
  EXPECT_TRUE(sawText);
}

TEST_F(MenuPopupTest, AnItemWithAnImageIsOwnerDrawnWithItsImage) {
  auto* images = new TImageList(owner_.get());
  TBitmap strip;
  strip.SetSize(16, 16);
  strip.Canvas()->Brush()->SetColor(clBlue);
  strip.Canvas()->FillRect(TRect{0, 0, 16, 16});
  images->Add(&strip, nullptr);
  popup_->SetImages(images);
  popup_->Items()->Items(0)->SetImageIndex(0);
  HMENU h = popup_->Handle();
  EXPECT_TRUE(Entry(h, 0).Type & MFT_OWNERDRAW);
  EXPECT_FALSE(Entry(h, 1).Type & MFT_OWNERDRAW);  // no image: drawn by the menu itself
  COLORREF glyph = 0;
  WinTesting::Schedule([&] {
    RECT r{};
    GetMenuItemRect(PopupList().Window(), h, 0, &r);
    HWND menuWindow = WindowFromPoint(Center(r));
    POINT p{r.Left + 2 + 8, (r.Top + r.Bottom) / 2};  // the middle of the glyph column
    ScreenToClient(menuWindow, &p);
    HDC dc = GetDC(menuWindow);
    glyph = GetPixel(dc, p.X, p.Y);
    ReleaseDC(menuWindow, dc);
    WinTesting::KeyPress(VK_ESCAPE);
  });
  popup_->Popup(60, 60);
  EXPECT_EQ(glyph, ColorToRGB(clBlue));
  delete images;  // free notification: the entry goes back to plain text
  EXPECT_FALSE(Entry(popup_->Handle(), 0).Type & MFT_OWNERDRAW);
}

TEST_F(MenuPopupTest, TheHighlightedItemsLongHintBecomesTheApplicationHint) {
  popup_->Items()->Items(1)->SetHint("Beta|The second letter");
  std::string beta, alpha;
  WinTesting::Schedule([&] {
    RECT r{};
    GetMenuItemRect(PopupList().Window(), popup_->Handle(), 1, &r);
    Input::MouseMove(Center(r));
  });
  WinTesting::Schedule([&] {
    beta = Application->Hint();
    RECT r{};
    GetMenuItemRect(PopupList().Window(), popup_->Handle(), 0, &r);
    Input::MouseMove(Center(r));
  });
  WinTesting::Schedule([&] {
    alpha = Application->Hint();
    WinTesting::KeyPress(VK_ESCAPE);
  });
  popup_->Popup(60, 60);
  EXPECT_EQ(beta, "The second letter");
  EXPECT_EQ(alpha, "");
}

TEST_F(MenuPopupTest, AFreedPopupLeavesThePopupList) {
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  popup_->Popup(10, 10);
  const int count = PopupList().Count();
  delete popup_;
  EXPECT_EQ(PopupList().Count(), count - 1);
}

}  // namespace
