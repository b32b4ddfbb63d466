// The calendar's CalColors reach its window: its title shows on the form in the colour the
// class library gives it (the active caption's by default), after a change and across a new
// window.
#include <gtest/gtest.h>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/SurfacePixels.h"

namespace {

TEST(MonthCalendarColors, TheTitleShowsTheTitleColourOnTheForm) {
  ResetVcl();
  TScopeExit reset([] { ResetVcl(); });
  auto* form = new TForm(Application, 0);
  form->AfterConstruction();
  form->SetBounds(0, 0, 500, 400);
  auto* calendar = new TMonthCalendar(form);
  calendar->SetParent(form);
  calendar->SetBounds(8, 8, 300, 250);
  form->Show();
  Application->ProcessMessages();
  // The title's first row, halfway across: between the arrows, above the month's name.
  auto title = [&] {
    const TPoint p = calendar->ClientToScreen(TPoint{calendar->GetMinReqRect().Width() / 2, 1});
    return test_support::ScreenPixel(form->Handle(), POINT{p.X, p.Y});
  };
  EXPECT_EQ(title(), ColorToRGB(clActiveCaption));

  calendar->CalColors()->SetTitleBackColor(clRed);
  Application->ProcessMessages();
  EXPECT_EQ(title(), RGB(255, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(SendMessage(calendar->Handle(), MCM_GETCOLOR, MCSC_TITLEBK, 0)),
            RGB(255, 0, 0));

  calendar->SetWeekNumbers(true);  // a new window
  Application->ProcessMessages();
  EXPECT_EQ(title(), RGB(255, 0, 0));
}

}  // namespace
