// The month calendar's six colours: each starts as its system colour, MCM_SETCOLOR answers the
// colour it replaces and MCM_GETCOLOR the one in force, an index past the six is refused, and
// a paint draws each part in its colour.
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

class TMonthCalColorsTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    VirtualClock::Set(EncodeDate(2024, 3, 15) + 0.5);
    cal_ = Control(MONTHCAL_CLASS, "", 0, RECT{10, 10, 300, 260});
    ASSERT_NE(cal_, nullptr);
  }
  COLORREF Get(WPARAM index) { return static_cast<COLORREF>(SendMessage(cal_, MCM_GETCOLOR, index, 0)); }
  COLORREF Set(WPARAM index, COLORREF color) {
    return static_cast<COLORREF>(SendMessage(cal_, MCM_SETCOLOR, index, static_cast<LPARAM>(color)));
  }

  HWND cal_ = nullptr;
};

struct TColorCase {
  WPARAM index;
  int system;  // the colour before any is set
  COLORREF set;
};
const TColorCase kColors[] = {
    {MCSC_BACKGROUND, COLOR_WINDOW, RGB(1, 2, 3)},     {MCSC_TEXT, COLOR_WINDOWTEXT, RGB(4, 5, 6)},
    {MCSC_TITLEBK, COLOR_ACTIVECAPTION, RGB(7, 8, 9)}, {MCSC_TITLETEXT, COLOR_CAPTIONTEXT, RGB(10, 11, 12)},
    {MCSC_MONTHBK, COLOR_WINDOW, RGB(13, 14, 15)},     {MCSC_TRAILINGTEXT, COLOR_GRAYTEXT, RGB(16, 17, 18)},
};

TEST_F(TMonthCalColorsTest, StartAsSystemColoursAndAnswerTheOneReplaced) {
  for (const TColorCase& c : kColors) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(Get(c.index), GetSysColor(c.system));
    EXPECT_EQ(Set(c.index, c.set), GetSysColor(c.system));
    EXPECT_EQ(Get(c.index), c.set);
    EXPECT_EQ(Set(c.index, RGB(200, 200, 200)), c.set);
  }
  EXPECT_EQ(SendMessage(cal_, MCM_SETCOLOR, 6, RGB(1, 1, 1)), -1);
  EXPECT_EQ(SendMessage(cal_, MCM_GETCOLOR, 6, 0), -1);
}

TEST_F(TMonthCalColorsTest, EachPartIsPaintedInItsColour) {
  for (const TColorCase& c : kColors) Set(c.index, c.set);
  RECT minRect{};
  ASSERT_TRUE(SendMessage(cal_, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minRect)));
  const TDrawLog log = Painted(cal_);

  // The fills: the whole client in the background colour, the month, the title, the line under
  // the day names (title colour), the selection.
  const std::vector<const TDrawCall*> fills = log.OfKind(TDrawKind::FillRect);
  const COLORREF fillColors[] = {RGB(1, 2, 3), RGB(13, 14, 15), RGB(7, 8, 9), RGB(7, 8, 9),
                                 GetSysColor(COLOR_HIGHLIGHT)};
  ASSERT_EQ(fills.size(), std::size(fillColors));
  for (size_t i = 0; i < fills.size(); ++i) EXPECT_EQ(fills[i]->Color, fillColors[i]) << "fill " << i;
  EXPECT_EQ(fills[0]->Rect, (RECT{0, 0, 290, 250}));
  EXPECT_EQ(fills[1]->Rect.Bottom, minRect.Bottom);
  EXPECT_EQ(fills[2]->Rect.Top, 0);
  EXPECT_EQ(fills[2]->Rect.Right, minRect.Right);

  // The texts: the title, seven day names, 42 days (March 2024 from Monday 26 February), the
  // today line.
  const std::vector<const TDrawCall*> texts = log.OfKind(TDrawKind::DrawText);
  ASSERT_EQ(texts.size(), 1u + 7 + 42 + 1);
  EXPECT_EQ(texts[0]->Text, "2024 " + FormatSettings().LongMonthNames[2]);
  EXPECT_EQ(texts[0]->Color, RGB(10, 11, 12));
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(texts[i]->Color, RGB(7, 8, 9)) << texts[i]->Text;
  struct {
    size_t at;
    const char* day;
    COLORREF color;
  } days[] = {
      {8, "26", RGB(16, 17, 18)},                            // February: trailing
      {8 + 4, "1", RGB(4, 5, 6)},                            // March
      {8 + 4 + 14, "15", GetSysColor(COLOR_HIGHLIGHTTEXT)},  // the selection
      {8 + 4 + 31, "1", RGB(16, 17, 18)},                    // April: trailing
  };
  for (const auto& d : days) {
    SCOPED_TRACE(d.at);
    EXPECT_EQ(texts[d.at]->Text, d.day);
    EXPECT_EQ(texts[d.at]->Color, d.color);
  }
  EXPECT_EQ(texts.back()->Color, RGB(4, 5, 6)) << "the today line";
}

}  // namespace
}  // namespace wintest
