// The month calendar is never smaller than a whole month for its font: placed smaller (as a
// program sizes it for one font and runs with another), it grows once its window exists and
// again when its font grows, and then shows on its form, through the real paint path, the same
// month pixel for pixel as a calendar with room to spare.
#include <gtest/gtest.h>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/PaintOracle.h"

namespace {

using test_support::TWindowPixels;

// The top-left Width x Height pixels of a picture (fewer where it is smaller).
TWindowPixels TopLeft(const TWindowPixels& Picture, int Width, int Height) {
  TWindowPixels out{std::min(Width, Picture.Width), std::min(Height, Picture.Height), {}};
  for (int y = 0; y < out.Height; ++y) {
    const auto line = Picture.Pixels.begin() + y * Picture.Width;
    out.Pixels.insert(out.Pixels.end(), line, line + out.Width);
  }
  return out;
}

class MonthCalendarSizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    VirtualClock::Set(EncodeDate(2024, 3, 15) + 0.5);
  }
  void TearDown() override { ResetVcl(); }

  // A shown form with one calendar; Bounds of zero width keep the calendar's default size.
  TMonthCalendar* CalendarOnForm(int FormLeft, const TRect& Bounds, int FontSize, bool ShowToday) {
    auto* form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(FormLeft, 0, 700, 600);
    auto* calendar = new TMonthCalendar(form);
    calendar->SetParent(form);
    if (Bounds.Width() > 0) calendar->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    calendar->Font()->SetSize(FontSize);
    calendar->SetShowToday(ShowToday);
    form->Show();
    Application->ProcessMessages();
    return calendar;
  }
};

TEST_F(MonthCalendarSizeTest, ShowsAWholeMonthWhateverItWasSizedFor) {
  struct Case {
    const char* id;
    TRect bounds;       // where the program puts the calendar; empty: its default size
    int fontSize;       // at creation
    int laterFontSize;  // set once the form is shown; 0: none
    bool showToday;
    bool invariant;  // the invariant locale's day names instead of the default Chinese ones
    bool grows;      // whether the month needs more than the bounds give
  } cases[] = {
      // The demo's calendar: seven Chinese day names of two wide characters need 260 px.
      {"demo-bounds", TRect{8, 8, 228, 168}, 8, 0, true, false, true},
      {"demo-bounds-invariant-locale", TRect{8, 8, 228, 168}, 8, 0, true, true, false},
      {"default-size-larger-font", TRect{}, 11, 0, true, false, true},
      {"font-grows-after-show", TRect{8, 8, 228, 168}, 8, 14, true, true, true},
      {"no-today-line-larger-font", TRect{8, 8, 228, 168}, 14, 0, false, false, true},
      {"room-to-spare", TRect{8, 8, 408, 308}, 8, 0, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TFormatSettingsScope locale(c.invariant ? TFormatSettings::Invariant() : TFormatSettings{});
    ResetVcl();
    TMonthCalendar* calendar = CalendarOnForm(0, c.bounds, c.fontSize, c.showToday);
    const TRect placed = c.bounds.Width() > 0 ? c.bounds : TRect{0, 0, 191, 154};
    if (c.laterFontSize) {
      calendar->Font()->SetSize(c.laterFontSize);
      Application->ProcessMessages();
    }
    const TRect month = calendar->GetMinReqRect();
    EXPECT_EQ(c.grows, month.Width() > placed.Width() || month.Height() > placed.Height())
        << "the case's font does not ask what it means to: month " << month.Width() << "x" << month.Height();
    EXPECT_EQ(calendar->Width(), std::max(placed.Width(), month.Width()));
    EXPECT_EQ(calendar->Height(), std::max(placed.Height(), month.Height()));
    EXPECT_EQ(calendar->Left(), placed.Left);
    EXPECT_EQ(calendar->Top(), placed.Top);

    // The same month on a calendar with room to spare, beside it.
    TMonthCalendar* roomy = CalendarOnForm(720, TRect{8, 8, 408, 358},
                                           c.laterFontSize ? c.laterFontSize : c.fontSize, c.showToday);
    ASSERT_EQ(roomy->GetMinReqRect(), month);
    const TWindowPixels shown =
        TopLeft(test_support::CaptureWindowPixels(calendar->Handle()), month.Width(), month.Height());
    const TWindowPixels whole =
        TopLeft(test_support::CaptureWindowPixels(roomy->Handle()), month.Width(), month.Height());
    const test_support::TPixelDifference d = test_support::ComparePixels(shown, whole);
    EXPECT_EQ(d.Count, 0) << "shown " << shown.Width << "x" << shown.Height << ", first difference at ("
                          << d.First.X << "," << d.First.Y << ")";
  }
}

// A size below the month's asks no more of a calendar without a window: the window decides.
TEST_F(MonthCalendarSizeTest, KeepsItsBoundsUntilItHasAWindow) {
  auto* calendar = new TMonthCalendar(Application);
  calendar->SetBounds(5, 6, 40, 30);
  EXPECT_FALSE(calendar->HandleAllocated());
  EXPECT_EQ(calendar->Width(), 40);
  EXPECT_EQ(calendar->Height(), 30);
  calendar->Free();
}

}  // namespace
