// The "SysMonthCal32" class: selection by message, keyboard and mouse, the notifications to the
// parent, today from the virtual clock, the date range, the first day of the week and the
// minimum size from the font.
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

SYSTEMTIME Day(WORD y, WORD m, WORD d) {
  SYSTEMTIME st;
  st.wYear = y;
  st.wMonth = m;
  st.wDay = d;
  return st;
}

std::string Text(const SYSTEMTIME& st) {
  return std::to_string(st.wYear) + "-" + std::to_string(st.wMonth) + "-" + std::to_string(st.wDay);
}

class TMonthCalTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    VirtualClock::Set(EncodeDate(2024, 3, 15) + 0.5);
    parentHandler_ = [this](UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
      if (m != WM_NOTIFY) return std::nullopt;
      const auto* n = reinterpret_cast<const NMSELCHANGE*>(l);
      const char* what = n->nmhdr.code == MCN_SELCHANGE ? "selchange "
                         : n->nmhdr.code == MCN_SELECT  ? "select "
                                                        : "?";
      notes_.push_back(what + Text(n->stSelStart) + " id " + std::to_string(n->nmhdr.idFrom));
      return 0;
    };
    cal_ = Control(MONTHCAL_CLASS, "", WS_TABSTOP, RECT{10, 10, 260, 230}, 7);
    ASSERT_NE(cal_, nullptr);
  }

  SYSTEMTIME Sel() const {
    SYSTEMTIME st;
    EXPECT_TRUE(SendMessage(cal_, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st)));
    return st;
  }
  void SetSel(SYSTEMTIME st) {
    ASSERT_TRUE(SendMessage(cal_, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)));
  }

  // The cell a day number was painted in (the first one drawn in the shown month's colour).
  RECT CellOf(const std::string& day) {
    TDrawLog log = Painted(cal_);
    for (const TDrawCall* c : log.OfKind(TDrawKind::DrawText))
      if (c->Text == day) return c->Rect;
    ADD_FAILURE() << "day " << day << " not painted";
    return RECT{};
  }

  std::vector<std::string> notes_;
  HWND cal_ = nullptr;
};

TEST_F(TMonthCalTest, StartsOnTodayFromTheClock) {
  EXPECT_EQ(Text(Sel()), "2024-3-15");
  EXPECT_EQ(Sel().wDayOfWeek, 5);  // a Friday
  SYSTEMTIME today;
  ASSERT_TRUE(SendMessage(cal_, MCM_GETTODAY, 0, reinterpret_cast<LPARAM>(&today)));
  EXPECT_EQ(Text(today), "2024-3-15");
  SYSTEMTIME other = Day(2020, 1, 2);
  SendMessage(cal_, MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&other));
  SendMessage(cal_, MCM_GETTODAY, 0, reinterpret_cast<LPARAM>(&today));
  EXPECT_EQ(Text(today), "2020-1-2");
  SendMessage(cal_, MCM_SETTODAY, 0, 0);  // back to the clock
  VirtualClock::Set(EncodeDate(2025, 6, 1));
  SendMessage(cal_, MCM_GETTODAY, 0, reinterpret_cast<LPARAM>(&today));
  EXPECT_EQ(Text(today), "2025-6-1");
  EXPECT_EQ(SendMessage(cal_, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST_F(TMonthCalTest, SetCurSelRejectsInvalidDates) {
  struct TCase {
    SYSTEMTIME St;
    bool Ok;
  };
  const TCase cases[] = {{Day(2024, 2, 29), true}, {Day(2023, 2, 29), false}, {Day(2024, 13, 1), false},
                         {Day(2024, 0, 1), false}, {Day(2024, 4, 31), false}, {Day(1500, 1, 1), false},
                         {Day(9999, 12, 31), true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(Text(c.St));
    SetSel(Day(2024, 3, 15));
    SYSTEMTIME st = c.St;
    EXPECT_EQ(SendMessage(cal_, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)) != 0, c.Ok);
    EXPECT_EQ(Text(Sel()), c.Ok ? Text(c.St) : "2024-3-15");
  }
  EXPECT_FALSE(SendMessage(cal_, MCM_SETCURSEL, 0, 0));
  EXPECT_TRUE(notes_.empty());  // setting by message does not notify
}

TEST_F(TMonthCalTest, KeyboardMovesTheSelectionAndNotifies) {
  struct TCase {
    SYSTEMTIME From;
    int Vk;
    const char* Want;
  };
  const TCase cases[] = {
      {Day(2024, 3, 1), VK_LEFT, "2024-2-29"},   {Day(2024, 3, 31), VK_RIGHT, "2024-4-1"},
      {Day(2024, 3, 5), VK_UP, "2024-2-27"},     {Day(2024, 12, 28), VK_DOWN, "2025-1-4"},
      {Day(2024, 3, 31), VK_PRIOR, "2024-2-29"}, {Day(2024, 1, 31), VK_NEXT, "2024-2-29"},
      {Day(2024, 12, 15), VK_NEXT, "2025-1-15"}, {Day(2024, 3, 15), VK_HOME, "2024-3-1"},
      {Day(2024, 2, 10), VK_END, "2024-2-29"},
  };
  SetFocus(cal_);
  for (const TCase& c : cases) {
    SCOPED_TRACE(Text(c.From) + " key " + std::to_string(c.Vk));
    SetSel(c.From);
    notes_.clear();
    Press(c.Vk);
    EXPECT_EQ(Text(Sel()), c.Want);
    EXPECT_EQ(notes_, std::vector<std::string>{std::string("selchange ") + c.Want + " id 7"});
  }
}

TEST_F(TMonthCalTest, MouseClickOnADayPicksIt) {
  SetSel(Day(2024, 3, 15));
  RECT cell = CellOf("20");
  ClickAt(cal_, (cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
  EXPECT_EQ(Text(Sel()), "2024-3-20");
  EXPECT_EQ(notes_, (std::vector<std::string>{"selchange 2024-3-20 id 7", "select 2024-3-20 id 7"}));
  EXPECT_EQ(GetFocus(), cal_);

  // The picked day is painted highlighted.
  TDrawLog log = Painted(cal_);
  bool highlighted = false;
  for (const TDrawCall* c : log.OfKind(TDrawKind::FillRect))
    highlighted |= c->Rect == cell && c->Color == GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_TRUE(highlighted);

  // Clicking the selected day again only confirms it.
  notes_.clear();
  ClickAt(cal_, (cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
  EXPECT_EQ(notes_, std::vector<std::string>{"select 2024-3-20 id 7"});
}

TEST_F(TMonthCalTest, TitleShowsTheMonthOfTheSelection) {
  SetSel(Day(2023, 11, 5));
  TDrawLog log = Painted(cal_);
  const std::string month = FormatSettings().LongMonthNames[10];
  bool found = false;
  for (const TDrawCall* c : log.OfKind(TDrawKind::DrawText)) found |= c->Text == "2023 " + month;
  EXPECT_TRUE(found);
  EXPECT_EQ(log.OfKind(TDrawKind::FrameControl).size(), 2u);  // the two arrows
}

// The today line speaks the locale's language, as the title and the day names do.
TEST_F(TMonthCalTest, TodayLineSpeaksTheLocaleLanguage) {
  struct Case {
    const char* id;
    TFormatSettings locale;
    const char* line;
  } cases[] = {
      {"chinese-defaults", TFormatSettings{}, "今天: 2024-03-15"},
      {"invariant", TFormatSettings::Invariant(), "Today: 03/15/2024"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TFormatSettingsScope scope(c.locale);
    TDrawLog log = Painted(cal_);
    std::vector<const TDrawCall*> texts = log.OfKind(TDrawKind::DrawText);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back()->Text, c.line) << "the today line comes last";
  }
}

TEST_F(TMonthCalTest, RangeClampsSelectionAndNavigation) {
  SetSel(Day(2024, 3, 15));
  SYSTEMTIME range[2] = {Day(2024, 3, 10), Day(2024, 3, 12)};
  ASSERT_TRUE(SendMessage(cal_, MCM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range)));
  EXPECT_EQ(Text(Sel()), "2024-3-12");
  SYSTEMTIME got[2];
  EXPECT_EQ(SendMessage(cal_, MCM_GETRANGE, 0, reinterpret_cast<LPARAM>(got)),
            static_cast<LRESULT>(GDTR_MIN | GDTR_MAX));
  EXPECT_EQ(Text(got[0]), "2024-3-10");
  EXPECT_EQ(Text(got[1]), "2024-3-12");
  SYSTEMTIME outside = Day(2024, 3, 20);
  EXPECT_FALSE(SendMessage(cal_, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&outside)));

  SetFocus(cal_);
  notes_.clear();
  Press(VK_NEXT);
  EXPECT_EQ(Text(Sel()), "2024-3-12");
  EXPECT_TRUE(notes_.empty());
  Press(VK_UP);
  EXPECT_EQ(Text(Sel()), "2024-3-10");

  SYSTEMTIME reversed[2] = {Day(2024, 5, 1), Day(2024, 4, 1)};
  EXPECT_FALSE(SendMessage(cal_, MCM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(reversed)));
  ASSERT_TRUE(SendMessage(cal_, MCM_SETRANGE, GDTR_MIN, reinterpret_cast<LPARAM>(range)));
  EXPECT_EQ(SendMessage(cal_, MCM_GETRANGE, 0, reinterpret_cast<LPARAM>(got)),
            static_cast<LRESULT>(GDTR_MIN));
  EXPECT_EQ(got[1].wYear, 0);
}

TEST_F(TMonthCalTest, FirstDayOfWeekOrdersTheGrid) {
  // Low word the day (0 = Monday), high word whether it differs from the locale's.
  EXPECT_EQ(SendMessage(cal_, MCM_GETFIRSTDAYOFWEEK, 0, 0), MAKELONG(0, 0));
  EXPECT_EQ(SendMessage(cal_, MCM_SETFIRSTDAYOFWEEK, 0, 6), MAKELONG(0, 0));
  EXPECT_EQ(SendMessage(cal_, MCM_GETFIRSTDAYOFWEEK, 0, 0), MAKELONG(6, 1));

  struct TCase {
    int First;
    const char* TopLeft;  // March 2024 begins on a Friday
  };
  for (TCase c : {TCase{0, "26"}, TCase{6, "25"}, TCase{4, "1"}}) {
    SCOPED_TRACE(c.First);
    SendMessage(cal_, MCM_SETFIRSTDAYOFWEEK, 0, c.First);
    TDrawLog log = Painted(cal_);
    std::vector<const TDrawCall*> texts = log.OfKind(TDrawKind::DrawText);
    // title, seven day names, then the grid
    ASSERT_GT(texts.size(), 9u);
    EXPECT_EQ(texts[8]->Text, c.TopLeft);
    EXPECT_EQ(texts[1]->Text, FormatSettings().ShortDayNames[(c.First + 1) % 7]);
  }
}

TEST_F(TMonthCalTest, MinReqRectFollowsTheFont) {
  RECT small{}, large{}, noToday{};
  ASSERT_TRUE(SendMessage(cal_, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&small)));
  HFONT big = CreateFont(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SendMessage(cal_, WM_SETFONT, reinterpret_cast<WPARAM>(big), 0);
  ASSERT_TRUE(SendMessage(cal_, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&large)));
  EXPECT_GT(large.Width(), small.Width());
  EXPECT_GT(large.Height(), small.Height());

  // Six rows of days at least a text line each, under a title and a header.
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, big);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SIZE wide{};
  GetTextExtentPoint32(dc, "28", &wide);
  DeleteDC(dc);
  EXPECT_GE(large.Height(), 8 * tm.tmHeight);
  EXPECT_GE(large.Width(), 7 * wide.cx);

  SetWindowLong(cal_, GWL_STYLE, GetWindowLong(cal_, GWL_STYLE) | MCS_NOTODAY);
  ASSERT_TRUE(SendMessage(cal_, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&noToday)));
  EXPECT_LT(noToday.Height(), large.Height());
  EXPECT_EQ(noToday.Width(), large.Width());
  SendMessage(cal_, WM_SETFONT, 0, 0);
  DeleteObject(big);
}

}  // namespace
}  // namespace wintest
