// The caret: nesting of hide and show, blinking on the virtual clock, and drawing by inversion
// so that two draws restore the pixels.
#include "platform/rtl/Clock.h"
#include "platform/win/Caret.h"
#include "platform/win/Painting.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TCaretTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 40, 30});
    other = Make("other", WS_POPUP, {50, 0, 90, 30});
    Pump();
  }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
  }
  void Paint(COLORREF color) {
    HDC dc = GetDC(w);
    HBRUSH b = CreateSolidBrush(color);
    RECT r{0, 0, 40, 30};
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(w, dc);
  }
  // Lets `ms` of virtual time pass the way a message loop sees it.
  void Wait(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) {
      VirtualClock::Advance(10);
      Pump();
    }
  }
  HWND w = nullptr;
  HWND other = nullptr;
};

TEST_F(TCaretTest, StartsHiddenAndHideShowNest) {
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 12));
  EXPECT_EQ(GetCaretWindow(), w);
  EXPECT_FALSE(IsCaretDrawn());
  EXPECT_TRUE(ShowCaret(w));
  EXPECT_TRUE(IsCaretDrawn());
  EXPECT_TRUE(HideCaret(w));
  EXPECT_TRUE(HideCaret(nullptr));  // nullptr: the owner
  EXPECT_TRUE(ShowCaret(w));
  EXPECT_FALSE(IsCaretDrawn());  // hidden twice needs two shows
  EXPECT_TRUE(ShowCaret(w));
  EXPECT_TRUE(IsCaretDrawn());
  EXPECT_TRUE(ShowCaret(w));  // already shown: no count below zero
  EXPECT_TRUE(HideCaret(w));
  EXPECT_FALSE(IsCaretDrawn());
  EXPECT_FALSE(ShowCaret(other));  // not the owner
  EXPECT_FALSE(HideCaret(other));
}

TEST_F(TCaretTest, BlinksOnTheVirtualClock) {
  EXPECT_EQ(GetCaretBlinkTime(), 530u);
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 12));
  ShowCaret(w);
  std::vector<bool> phases;
  for (uint32_t t : {520u, 20u, 480u, 50u}) {  // periods end at 530 and 1060
    Wait(t);
    phases.push_back(IsCaretDrawn());
  }
  EXPECT_EQ(phases, (std::vector<bool>{true, false, false, true}));
  // Moving shows it at once and restarts the period.
  Wait(530);
  ASSERT_FALSE(IsCaretDrawn());
  SetCaretPos(10, 4);
  EXPECT_TRUE(IsCaretDrawn());
  Wait(520);
  EXPECT_TRUE(IsCaretDrawn());
  // A hidden caret does not blink back into view.
  HideCaret(w);
  Wait(2000);
  EXPECT_FALSE(IsCaretDrawn());
}

TEST_F(TCaretTest, DrawingInvertsAndTwoDrawsRestore) {
  Paint(RGB(255, 255, 255));
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  SetCaretPos(5, 6);
  EXPECT_EQ(Pixel(5, 6), RGB(255, 255, 255));  // created hidden
  ShowCaret(w);
  EXPECT_EQ(Pixel(5, 6), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(6, 15), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(7, 6), RGB(255, 255, 255));   // 2 pixels wide
  EXPECT_EQ(Pixel(5, 16), RGB(255, 255, 255));  // 10 high
  Wait(530);
  EXPECT_EQ(Pixel(5, 6), RGB(255, 255, 255));
  Wait(530);
  SetCaretPos(20, 6);  // erased at the old place, drawn at the new one
  EXPECT_EQ(Pixel(5, 6), RGB(255, 255, 255));
  EXPECT_EQ(Pixel(20, 6), RGB(0, 0, 0));
  ASSERT_TRUE(DestroyCaret());
  EXPECT_EQ(Pixel(20, 6), RGB(255, 255, 255));
  EXPECT_EQ(GetCaretWindow(), nullptr);
  EXPECT_FALSE(DestroyCaret());
}

TEST_F(TCaretTest, GrayCaretAndDefaultSizeAlsoRestore) {
  Paint(RGB(10, 200, 30));
  ASSERT_TRUE(CreateCaret(w, CaretGrayBitmap(), 0, 0));  // border-sized
  SetCaretPos(3, 3);
  ShowCaret(w);
  EXPECT_NE(Pixel(3, 3), RGB(10, 200, 30));
  EXPECT_EQ(Pixel(4, 3), RGB(10, 200, 30));
  HideCaret(w);
  EXPECT_EQ(Pixel(3, 3), RGB(10, 200, 30));
}

TEST_F(TCaretTest, GoesWithItsWindowAndWithANewCaret) {
  ASSERT_TRUE(CreateCaret(w, nullptr, 1, 5));
  ShowCaret(w);
  ASSERT_TRUE(CreateCaret(other, nullptr, 1, 5));  // replaces the first
  EXPECT_EQ(GetCaretWindow(), other);
  EXPECT_FALSE(IsCaretDrawn());
  DestroyWindow(other);
  EXPECT_EQ(GetCaretWindow(), nullptr);
  Wait(1100);  // no timer left behind to touch a dead caret
  EXPECT_FALSE(CreateCaret(other, nullptr, 1, 5));
}

}  // namespace
}  // namespace wintest
