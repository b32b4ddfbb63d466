// The month calendar over its window (state before and after the window, keys, clicks, the
// range and its errors, styles kept across a new window) and the date-time picker's model.
#include <cmath>
#include <functional>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "tests/platform/vcl/ComCtrlsTestUtil.h"

namespace {

class ComCtrlsCalendarTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    VirtualClock::Set(EncodeDate(2024, 3, 15) + 0.5);
    cal = Make<TMonthCalendar>();
    cal->SetBounds(10, 10, 250, 230);
    cal->SetFirstDayOfWeek(dowMonday);
  }

  SYSTEMTIME WindowSel() {
    SYSTEMTIME st;
    EXPECT_TRUE(SendMessage(cal->Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st)));
    return st;
  }

  // The centre of the grid cell of a day in the shown month, from the window's minimum size
  // (title 2h, header h + 4, six rows of h + 2, today line h + 4, margin 4).
  TPoint DayCell(TDateTime day) {
    const TRect min = cal->GetMinReqRect();
    const int h = (min.Height() - 24) / 10;
    const int cellW = (min.Width() - 8) / 7, cellH = h + 2;
    Word y, m, d;
    DecodeDate(day, y, m, d);
    const TDateTime first = EncodeDate(y, m, 1);
    const int lead = (DayOfWeek(first) + 5) % 7;  // Monday first
    const int index = lead + d - 1;
    return TPoint{4 + (index % 7) * cellW + cellW / 2, 3 * h + 4 + (index / 7) * cellH + cellH / 2};
  }

  TMonthCalendar* cal = nullptr;
};

TEST_F(ComCtrlsCalendarTest, DateSetWithoutWindowIsHandedOverAndKeepsItsTime) {
  EXPECT_FALSE(cal->HandleAllocated());
  cal->SetDate(EncodeDate(2024, 5, 20) + 0.25);
  ShowForm();
  const SYSTEMTIME st = WindowSel();
  EXPECT_EQ(st.wYear, 2024);
  EXPECT_EQ(st.wMonth, 5);
  EXPECT_EQ(st.wDay, 20);
  EXPECT_DOUBLE_EQ(cal->Date(), EncodeDate(2024, 5, 20) + 0.25);
}

TEST_F(ComCtrlsCalendarTest, KeysMoveTheDateThroughTheWindowsNotifications) {
  ShowForm();
  cal->SetDate(EncodeDate(2024, 3, 15) + 0.5);
  cal->SetFocus();
  struct Case {
    int vk;
    TDateTime expected;
  } cases[] = {{VK_RIGHT, EncodeDate(2024, 3, 16)}, {VK_DOWN, EncodeDate(2024, 3, 23)},
               {VK_LEFT, EncodeDate(2024, 3, 22)},  {VK_UP, EncodeDate(2024, 3, 15)},
               {VK_NEXT, EncodeDate(2024, 4, 15)},  {VK_END, EncodeDate(2024, 4, 30)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    Press(c.vk);
    EXPECT_DOUBLE_EQ(cal->Date(), c.expected + 0.5);
  }
}

TEST_F(ComCtrlsCalendarTest, ClickOnADayPicksItAndFiresOnClickOnce) {
  ShowForm();
  cal->SetDate(EncodeDate(2024, 3, 15) + 0.5);
  int clicks = 0;
  TDateTime seen = 0;
  cal->OnClick = [&](TObject*) {
    ++clicks;
    seen = cal->Date();
  };
  const TPoint p = DayCell(EncodeDate(2024, 3, 20));
  ClickAt(cal, p.X, p.Y);
  EXPECT_DOUBLE_EQ(cal->Date(), EncodeDate(2024, 3, 20) + 0.5);
  EXPECT_EQ(clicks, 1);
  EXPECT_DOUBLE_EQ(seen, cal->Date());
  EXPECT_TRUE(cal->Focused());
}

TEST_F(ComCtrlsCalendarTest, RangeLimitsTheDateAndTheWindow) {
  ShowForm();
  cal->SetDate(EncodeDate(2024, 3, 15));
  cal->SetMaxDate(EncodeDate(2024, 3, 17));
  cal->SetMinDate(EncodeDate(2024, 3, 10));
  try {
    cal->SetDate(EncodeDate(2024, 3, 18));
    FAIL() << "no error";
  } catch (const ECommonCalendarError& e) {
    EXPECT_EQ(e.Message(), "Date exceeds maximum of " + DateToStr(EncodeDate(2024, 3, 17)));
  }
  try {
    cal->SetDate(EncodeDate(2024, 3, 9));
    FAIL() << "no error";
  } catch (const ECommonCalendarError& e) {
    EXPECT_EQ(e.Message(), "Date is less than minimum of " + DateToStr(EncodeDate(2024, 3, 10)));
  }
  EXPECT_THROW(cal->SetMinDate(EncodeDate(2024, 3, 18)), ECommonCalendarError);
  // The window stops at the maximum too.
  cal->SetFocus();
  Press(VK_DOWN);
  EXPECT_DOUBLE_EQ(cal->Date(), EncodeDate(2024, 3, 17));
  // A lowered maximum pulls the date in.
  cal->SetMaxDate(EncodeDate(2024, 3, 12));
  EXPECT_DOUBLE_EQ(cal->Date(), EncodeDate(2024, 3, 12));
  EXPECT_EQ(WindowSel().wDay, 12);
}

TEST_F(ComCtrlsCalendarTest, StylesFollowThePropertiesAcrossANewWindow) {
  ShowForm();
  cal->SetDate(EncodeDate(2024, 7, 1));
  struct Case {
    std::function<void(TMonthCalendar*)> set;
    DWORD style;
    bool present;
  };
  const Case cases[] = {{[](TMonthCalendar* m) { m->SetWeekNumbers(true); }, MCS_WEEKNUMBERS, true},
                        {[](TMonthCalendar* m) { m->SetShowToday(false); }, MCS_NOTODAY, true},
                        {[](TMonthCalendar* m) { m->SetShowTodayCircle(false); }, MCS_NOTODAYCIRCLE, true},
                        {[](TMonthCalendar* m) { m->SetMultiSelect(true); }, MCS_MULTISELECT, true},
                        {[](TMonthCalendar* m) { m->SetShowToday(true); }, MCS_NOTODAY, false}};
  for (const Case& c : cases) {
    c.set(cal);
    const DWORD style = static_cast<DWORD>(GetWindowLong(cal->Handle(), GWL_STYLE));
    EXPECT_EQ((style & c.style) != 0, c.present) << std::hex << c.style;
    EXPECT_EQ(WindowSel().wMonth, 7);
  }
  // The minimum size has no today line without ShowToday.
  const TRect withToday = cal->GetMinReqRect();
  cal->SetShowToday(false);
  EXPECT_LT(cal->GetMinReqRect().Height(), withToday.Height());
}

TEST_F(ComCtrlsCalendarTest, FirstDayOfWeekReachesTheWindow) {
  ShowForm();
  cal->SetFirstDayOfWeek(dowSunday);
  EXPECT_EQ(LOWORD(SendMessage(cal->Handle(), MCM_GETFIRSTDAYOFWEEK, 0, 0)), 6);
  cal->SetFirstDayOfWeek(dowLocaleDefault);
  EXPECT_EQ(HIWORD(SendMessage(cal->Handle(), MCM_GETFIRSTDAYOFWEEK, 0, 0)), 0);
}

TEST_F(ComCtrlsCalendarTest, PublishedPropertiesAreReadByName) {
  TClass cls = GetClass("TMonthCalendar");
  ASSERT_NE(cls, nullptr);
  for (const char* name : {"Date", "MinDate", "MaxDate", "MultiSelect", "FirstDayOfWeek", "WeekNumbers",
                           "ShowToday", "ShowTodayCircle", "CalColors", "OnGetMonthInfo"})
    EXPECT_NE(cls->FindProp(name), nullptr) << name;
  EXPECT_TRUE(cal->InheritsFrom("TCommonCalendar"));
}

// --- date-time picker --------------------------------------------------------------------------------

class ComCtrlsDateTimePickerTest : public TComCtrlsTest {};

TEST_F(ComCtrlsDateTimePickerTest, DateAndTimeAreTheTwoHalvesOfDateTime) {
  auto* p = Make<TDateTimePicker>();
  int changes = 0;
  p->OnChange = [&](TObject*) { ++changes; };
  p->SetDateTime(EncodeDate(2024, 2, 29) + 0.75);
  p->SetTime(EncodeTime(6, 0, 0, 0));
  EXPECT_DOUBLE_EQ(p->DateTime(), EncodeDate(2024, 2, 29) + 0.25);
  p->SetDate(EncodeDate(2023, 1, 2) + 0.9);  // the time part of a date is ignored
  EXPECT_DOUBLE_EQ(p->DateTime(), EncodeDate(2023, 1, 2) + 0.25);
  p->SetDate(EncodeDate(2023, 1, 2));  // no change, no event
  EXPECT_EQ(changes, 3);
}

TEST_F(ComCtrlsDateTimePickerTest, ShowsTheValueByKindAndFormat) {
  auto* p = Make<TDateTimePicker>();
  p->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
  EXPECT_EQ(p->DisplayText(), FormatDateTime(FormatSettings().ShortDateFormat, p->DateTime()));
  p->SetDateFormat(dfLong);
  EXPECT_EQ(p->DisplayText(), FormatDateTime(FormatSettings().LongDateFormat, p->DateTime()));
  p->SetKind(dtkTime);
  EXPECT_EQ(p->DisplayText(), FormatDateTime(FormatSettings().LongTimeFormat, p->DateTime()));
}

TEST_F(ComCtrlsDateTimePickerTest, KindAndDateModeAreReadByName) {
  auto* p = Make<TDateTimePicker>();
  p->SetKind(dtkTime);
  p->SetDateMode(dmUpDown);
  const TPropInfo* kind = p->ClassType()->FindProp("Kind");
  const TPropInfo* mode = p->ClassType()->FindProp("DateMode");
  ASSERT_TRUE(kind && mode);
  EXPECT_EQ(kind->Enum->NameOf(static_cast<int>(kind->GetOrd(*p))), "dtkTime");
  EXPECT_EQ(mode->Enum->NameOf(static_cast<int>(mode->GetOrd(*p))), "dmUpDown");
}

TEST_F(ComCtrlsDateTimePickerTest, LimitsRaiseTheirErrors) {
  auto* p = Make<TDateTimePicker>();
  p->SetDateTime(EncodeDate(2024, 1, 10));
  p->SetMaxDate(EncodeDate(2024, 1, 31));
  p->SetMinDate(EncodeDate(2024, 1, 1));
  EXPECT_THROW(p->SetDate(EncodeDate(2024, 2, 1)), EDateTimeError);
  EXPECT_THROW(p->SetDate(EncodeDate(2023, 12, 31)), EDateTimeError);
  EXPECT_THROW(p->SetMaxDate(EncodeDate(2023, 12, 1)), EDateTimeError);
  EXPECT_DOUBLE_EQ(p->Date(), EncodeDate(2024, 1, 10));
}

}  // namespace

namespace {

TEST_F(ComCtrlsDateTimePickerTest, PaintsItsTextAfterTheCheckBox) {
  auto* p = Make<TDateTimePicker>();
  p->SetBounds(10, 10, 186, 21);
  p->SetDateTime(EncodeDate(2024, 3, 5));
  form->SetColor(clBtnFace);
  ShowForm();
  EXPECT_EQ(PixelOf(p, 1, 1), ColorToRGB(clWindow));  // the field does not take its parent's colour
  // The last column with ink left of the button: the end of the text.
  auto lastInk = [&]() {
    const COLORREF window = PixelOf(p, 1, 1);  // the background
    for (int x = p->ClientWidth() - 19; x > 0; --x)
      for (int y = 3; y < 18; ++y)
        if (PixelOf(p, x, y) != window) return x;
    return -1;
  };
  const int plain = lastInk();
  EXPECT_GT(plain, 40);
  p->SetShowCheckbox(true);
  Application->ProcessMessages();
  EXPECT_EQ(lastInk(), plain + 16);  // the box and its gap push the text along
}

}  // namespace
