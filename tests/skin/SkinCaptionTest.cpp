// The caption component on a headless window skinned by hand with our light skin: where the
// caption text and the buttons placed against it land, the 10 ms poll for the first form, and
// switching the shared Active.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "platform/rtl/Clock.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinForm.h"

namespace skin_caption_test {

constexpr int kW = 300, kH = 160;
// The light skin: caption 26 high, text at 28 or before the right clip of 84, text background
// caps of 6; white text when active.
constexpr int kTop = 26, kShift = 28, kClipRight = kW - 84, kCaps = 12;
constexpr TColor kActiveText = 0xFFFFFF;

class SkinCaptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    CreateSkinScratchBitmap();
    InitSkinCaptionUnit();
    WNDCLASSEX wc{};
    wc.lpfnWndProc = &DefWindowProc, wc.hInstance = MainInstance(), wc.lpszClassName = "CaptionTestWindow";
    ASSERT_NE(RegisterClassEx(&wc), 0);
    data_ = std::make_unique<TSkinData>(nullptr);
    data_->SkinStream()->LoadFromFile(OUR_SKINS_DIR "/light.skn");
    ASSERT_TRUE(data_->LoadSkin()) << data_->LoadError();
  }
  void TearDown() override {
    form_.reset();
    DestroySkinManage();
    FinalizeSkinCaptionUnit();
    data_.reset();
    ResetVcl();
  }
  // A ready skinned form put together by hand on a new window.
  void MakeForm(const std::string& Text, DWORD Style = WS_OVERLAPPED, DWORD ExStyle = 0) {
    form_.reset();
    const HWND w = CreateWindowEx(ExStyle, "CaptionTestWindow", Text.c_str(), Style | WS_VISIBLE, 20, 20, kW,
                                  kH, nullptr, nullptr, MainInstance(), nullptr);
    form_ = std::make_unique<TWinSkinForm>(nullptr);
    form_->hWnd = w, form_->SkinData = data_.get(), form_->FrameSkinning = true;
    form_->BorderIcons = kSkinIconMaximize | kSkinIconMinimize | kSkinIconSystemMenu;
    form_->ComputeBorderWidths();
    form_->LifeState = TSkinLifeState::Ready;
  }
  int TextWidth(const std::string& Text) {
    TBitmap b;
    b.Canvas()->Font()->Assign(data_->CaptionFont() ? data_->CaptionFont() : form_->CaptionFont.get());
    return b.Canvas()->TextWidth("  " + Text + " ");
  }
  // Pixels of Colour in the caption strip inside R and outside it (the buttons' glyphs apart).
  std::pair<int, int> ColourCount(TColor Colour, const TRect& R) {
    HDC dc = GetWindowDC(form_->hWnd);
    std::pair<int, int> n{0, 0};
    auto onButton = [&](TPoint P) {
      for (const auto& b : form_->CaptionButtons)
        if (b->Visible && PtInRect(b->BoundsRect, P)) return true;
      return false;
    };
    for (int y = 0; y < kTop; ++y)
      for (int x = 0; x < kW; ++x)
        if (GetPixel(dc, x, y) == COLORREF(Colour) && !onButton(Point(x, y)))
          ++(PtInRect(R, Point(x, y)) ? n.first : n.second);
    ReleaseDC(form_->hWnd, dc);
    return n;
  }
  void Pump(uint32_t Ms) {
    VirtualClock::Advance(Ms);
    Application->ProcessMessages();
  }

  std::unique_ptr<TSkinData> data_;
  std::unique_ptr<TWinSkinForm> form_;
};

TEST_F(SkinCaptionTest, TextPlacementByAlignmentRightToLeftAndKind) {
  const std::string shortText = "Ledger", longText = "Ledger of the year with every entry and note";
  MakeForm(shortText);
  // The padded texts' widths with the text background's caps.
  const int ws = TextWidth(shortText) + kCaps, wl = TextWidth(longText) + kCaps;
  const TSkinBorderKind sizeable = TSkinBorderKind::Sizeable;
  struct TCase {
    const char* Id;
    int Alignment;
    bool Long;
    DWORD Style, ExStyle;
    TSkinBorderKind Kind;
    int Left, Right;
  };
  const TCase cases[] = {
      {"align-0", 0, false, 0, 0, sizeable, kShift, kShift + ws},
      {"align-1", 1, false, 0, 0, sizeable, (kW - ws) / 2, (kW - ws) / 2 + ws},
      {"align-2", 2, false, 0, 0, sizeable, kClipRight - ws, kClipRight},
      {"right-to-left", 0, false, 0, WS_EX_LEFTSCROLLBAR, sizeable, kClipRight - ws, kClipRight},
      {"dialog-shift", 0, false, 0, 0, TSkinBorderKind::Dialog, kShift - 16, kShift + ws},
      {"long-clipped", 1, true, 0, 0, sizeable, (kW - wl) / 2, kClipRight},
      // A popup stops 5 pixels before the largest left edge of its right-aligned buttons.
      {"long-popup", 1, true, WS_POPUP, 0, sizeable, (kW - wl) / 2, kW - 28 - 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    MakeForm(c.Long ? longText : shortText, c.Style, c.ExStyle);
    form_->BorderKind = c.Kind;
    data_->Elements()->Title->TextAlignment = c.Alignment;
    EnumCaption()->Install(*form_);
    form_->PaintFrame();
    const TRect r = form_->CaptionTextRect;
    // Centred vertically: TextShiftVert is 0.
    EXPECT_EQ(std::tuple(r.Left, r.Right, r.Top), std::tuple(c.Left, c.Right, (kTop - r.Height()) / 2));
    const auto [inside, outside] = ColourCount(kActiveText, r);
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
  }
}

TEST_F(SkinCaptionTest, ButtonsAlignAgainstThePreviousTextRectangle) {
  MakeForm("Ledger");
  EnumCaption()->Install(*form_);
  TWinSysButton& close = *form_->CaptionButtons[0];
  const int bw = close.Element->Bitmap->Width() / close.FrameCount(), bh = close.Element->Bitmap->Height();
  const TRect previous = Rect(100, 4, 180, 20);
  // The last: beyond the window, nothing left.
  for (const auto& [align, x, expected] : {std::tuple{2, 28, Bounds(100 - bw - 28, 4, bw, bh)},
                                           {8, 0, Bounds(100 - bw, 4, bw, bh)},
                                           {3, 28, Bounds(180 + 28, 4, bw, bh)},
                                           {9, 1000, TRect{}}}) {
    SCOPED_TRACE(align);
    close.Element->Align = align, close.Element->Xcoord = x;
    form_->CaptionTextRect = previous;
    form_->PaintFrame();
    EXPECT_EQ(close.BoundsRect, expected);
    EXPECT_NE(form_->CaptionTextRect, previous);  // stored for the next paint
  }
}

TEST_F(SkinCaptionTest, PollsUntilTheFirstFormAndSwitchesEveryForm) {
  TSkinManage* manager = EnsureSkinManage();
  TSkinCaption caption(nullptr);
  caption.SetActive(true);
  TTimer& timer = *EnumCaption()->Timer;
  EXPECT_TRUE(timer.Enabled());
  Pump(10);
  EXPECT_TRUE(timer.Enabled());  // no form yet: polls on
  MakeForm("Ledger");
  manager->Forms.push_back({form_.get(), form_->LifeToken()});
  Pump(10);
  EXPECT_FALSE(timer.Enabled());
  ASSERT_TRUE(form_->CaptionPaint);
  // Its own OnFormSkin stands for the data's rules and never vetoes.
  bool doSkin = true;
  data_->DoFormSkin("SysMonthCal32", doSkin);
  EXPECT_TRUE(doSkin);
  EXPECT_TRUE(timer.Enabled());
  Pump(10);
  form_->PaintFrame();  // the painter has now painted: Active acts at once
  caption.SetActive(false);
  EXPECT_FALSE(SkinCaptionActive());
  EXPECT_FALSE(form_->CaptionPaint);
  EXPECT_FALSE(data_->OnFormSkin);
  caption.SetActive(true);
  EXPECT_TRUE(form_->CaptionPaint);
  caption.SetAuthor("someone");
  EXPECT_NE(caption.Author(), "someone");
}

}  // namespace skin_caption_test
