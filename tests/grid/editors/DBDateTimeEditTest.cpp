// The date-time editor on a shown form, driven by keys, characters, the wheel, its button and its
// calendar, unbound and bound to date, time and date-time fields of an in-memory data set.
#include "grid/editors/DBDateTimeEditEh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Streams.h"
#include "tests/grid/editors/EditorTestSupport.h"

namespace {

TFormatSettings Locale(const std::string& shortDate, const std::string& dateSep = "/") {
  TFormatSettings s;
  s.ShortDateFormat = shortDate;
  s.DateSeparator = dateSep;
  s.TimeSeparator = ":";
  s.TwoDigitYearCenturyWindow = 50;
  return s;
}

Variant At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return Variant::FromDate(EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0));
}

std::string Show(const Variant& v) {
  if (v.IsNull()) return "Null";
  return FormatDateTime("yyyy-mm-dd hh:nn:ss", v.AsDateTime());
}

// Opens the MRU filter to the test.
class TProbeDateTimeEditEh : public TDBDateTimeEditEh {
 public:
  explicit TProbeDateTimeEditEh(TComponent* AOwner) : TDBDateTimeEditEh(AOwner) {}
  using TDBDateTimeEditEh::FilterMRUItem;
  using TDBDateTimeEditEh::GetPaintText;
};

// Today is pinned to 2026-03-15 10:20:30; the locale edits day-month-year with "/" and ":".
class DBDateTimeEditTest : public editor_test::EditorFormTest<TDBDateTimeEditEh> {
 protected:
  void SetUp() override {
    ResetVcl();
    savedNow_ = ClockNow();
    savedTick_ = GetTickCount();
    VirtualClock::Set(EncodeDate(2026, 3, 15) + EncodeTime(10, 20, 30, 0), savedTick_);
    scope_ = std::make_unique<TFormatSettingsScope>(Locale("dd/MM/yyyy"));
    MakeForm(400, 300);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("D", ftDate);
    ds->FieldDefs()->Add("T", ftTime);
    ds->FieldDefs()->Add("DT", ftDateTime);
    ds->CreateDataSet();
    ds->AppendRecord(
        {1, At(2024, 1, 31), Variant::FromDate(EncodeTime(8, 30, 0, 0)), At(2024, 1, 31, 14, 45, 10)});
    ds->AppendRecord({2, Variant::Null(), Variant::Null(), Variant::Null()});
    PlaceControls(Bounds(10, 10, 180, 21), Bounds(10, 200, 80, 21));
  }
  void TearDown() override {
    ResetVcl();
    scope_.reset();
    VirtualClock::Set(savedNow_, savedTick_);
  }

  // Puts the caret on a text position of the focused editor.
  void Caret(int pos) {
    ed->SetSelStart(pos);
    ed->SetSelLength(0);
  }

 private:
  TDateTime savedNow_ = 0;
  uint32_t savedTick_ = 0;
  std::unique_ptr<TFormatSettingsScope> scope_;
};

// --- kind, format and mask ----------------------------------------------------------------------

TEST_F(DBDateTimeEditTest, KindChoosesTheEditFormatAndItsMask) {
  const struct {
    TDateTimeKindEh kind;
    const char* format;
    const char* mask;
  } cases[] = {
      {dtkDateEh, "DD/MM/YYYY", "!99/99/9999;1; "},
      {dtkTimeEh, "HH:NN:SS", "!99:99:99;1; "},
      {dtkDateTimeEh, "DD/MM/YYYY HH:NN:SS", "!99/99/9999 99:99:99;1; "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    ed->SetKind(c.kind);
    EXPECT_EQ(ed->Kind(), c.kind);
    EXPECT_EQ(ed->EditFormat(), c.format);
    EXPECT_EQ(ed->EditMask(), c.mask);
  }
  ed->SetEditFormat("MM/YYYY");
  EXPECT_EQ(ed->Kind(), dtkCustomEh);
  EXPECT_EQ(ed->EditMask(), "!99/9999;1; ");
  EXPECT_EQ(ed->DisplayFormat(), "MM/YYYY");
  // The custom kind keeps its format.
  ed->SetKind(dtkCustomEh);
  EXPECT_EQ(ed->EditFormat(), "MM/YYYY");
}

TEST_F(DBDateTimeEditTest, DefaultDateFormatFollowsTheLocaleOrderAndYearDigits) {
  const struct {
    const char* shortDate;
    const char* format;
  } cases[] = {{"yy/MM/dd", "YY/MM/DD"},
               {"yyyy-MM-dd", "YYYY/MM/DD"},
               {"M/d/yyyy", "MM/DD/YYYY"},
               {"d.M.yy", "DD/MM/YY"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shortDate);
    TFormatSettingsScope scope(Locale(c.shortDate, "-"));
    TDBDateTimeEditEh e(nullptr);
    EXPECT_EQ(e.EditFormat(), c.format);
    e.SetValue(At(2024, 2, 9));
    // The mask's "/" shows the locale's separator.
    const std::string expected = std::string(c.format) == "YY/MM/DD"     ? "24-02-09"
                                 : std::string(c.format) == "YYYY/MM/DD" ? "2024-02-09"
                                 : std::string(c.format) == "MM/DD/YYYY" ? "02-09-2024"
                                                                         : "09-02-24";
    EXPECT_EQ(e.Text(), expected);
  }
}

TEST_F(DBDateTimeEditTest, AMalformedEditFormatRaisesAndChangesNothing) {
  ed->SetValue(At(2024, 1, 31));
  const struct {
    const char* format;
    const char* message;
  } cases[] = {
      {"D/M/YYYY", "Invalid datetime format element length: \"D\""},
      {"DD/MM/DD", "Duplicating datetime format element: \"D\""},
      {"DDD", "Element in EditFormat: \"DDD\" is too long. Pos: 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    try {
      ed->SetEditFormat(c.format);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(ed->Kind(), dtkDateEh);
    EXPECT_EQ(ed->EditFormat(), "DD/MM/YYYY");
    EXPECT_EQ(ed->Text(), "31/01/2024");
  }
}

TEST_F(DBDateTimeEditTest, FormatChangeWhoseChangeEventRaisesStillLetsTypingMarkTheLink) {
  ed->SetValue(At(2024, 1, 31));
  ed->OnChange = [](TObject*) { throw Exception("change refused"); };
  EXPECT_THROW(ed->SetEditFormat("YYYY/MM/DD"), Exception);
  ed->OnChange = nullptr;
  Focus(ed);
  Caret(0);
  Type("1");
  EXPECT_TRUE(ed->DataLink()->IsModified());
}

// --- value and text, unbound ---------------------------------------------------------------------

TEST_F(DBDateTimeEditTest, UnboundValueAndTextRoundTrip) {
  ed->SetKind(dtkDateTimeEh);
  ed->SetValue(At(2024, 1, 31, 14, 5, 9));
  EXPECT_EQ(ed->Text(), "31/01/2024 14:05:09");
  EXPECT_EQ(Show(ed->DataLink()->DataIndependentValue()), "2024-01-31 14:05:09");
  ed->SetText("01/02/2025 07:08:09");
  EXPECT_EQ(Show(ed->Value()), "2025-02-01 07:08:09");
  EXPECT_EQ(Show(ed->DataLink()->DataIndependentValue()), "2025-02-01 07:08:09");
  ed->SetValue(Variant::Null());
  EXPECT_TRUE(ed->Value().IsNull());
  EXPECT_EQ(ed->EditText(), "  /  /       :  :  ");
  EXPECT_TRUE(ed->DataLink()->DataIndependentValue().IsNull());
  // A value that is no date is refused.
  EXPECT_THROW(ed->SetValue(Variant("soon")), Exception);
  EXPECT_TRUE(ed->Value().IsNull());
}

TEST_F(DBDateTimeEditTest, TextThatFormsNoDateRaisesAndKeepsValueAndText) {
  ed->SetValue(At(2024, 1, 31));
  for (const char* text : {"31/02/2024", "00/13/2024", "12/  /2024"}) {
    SCOPED_TRACE(text);
    try {
      ed->SetText(text);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), std::string("Invalid datetime: \"") + text + "\"");
    }
    EXPECT_EQ(Show(ed->Value()), "2024-01-31 00:00:00");
    EXPECT_EQ(ed->Text(), "31/01/2024");
  }
}

TEST_F(DBDateTimeEditTest, WithoutAMaskThePlatformConversionsApply) {
  ed->SetEditFormat("");
  EXPECT_EQ(ed->EditMask(), "");
  ed->SetValue(At(2024, 1, 31, 14, 5, 9));
  EXPECT_EQ(ed->Text(), DateTimeToStr(EncodeDate(2024, 1, 31) + EncodeTime(14, 5, 9, 0)));
  ed->SetText("02/03/2024");
  EXPECT_EQ(Show(ed->Value()), "2024-03-02 00:00:00");
  EXPECT_THROW(ed->SetText("nonsense"), Exception);
  EXPECT_EQ(Show(ed->Value()), "2024-03-02 00:00:00");
}

// --- typing and leaving --------------------------------------------------------------------------

TEST_F(DBDateTimeEditTest, TypingRecomputesTheValueAndLeavingWritesTheField) {
  Bind("D");
  EXPECT_EQ(ed->Text(), "31/01/2024");
  Focus(ed);
  Caret(0);
  Type("05");
  EXPECT_EQ(Show(ed->Value()), "2024-01-05 00:00:00");
  EXPECT_EQ(Show(FieldValue("D")), "2024-01-31 00:00:00");
  Focus(other);
  EXPECT_EQ(Show(FieldValue("D")), "2024-01-05 00:00:00");
  EXPECT_EQ(ds->State(), dsEdit);
}

TEST_F(DBDateTimeEditTest, DateKindOverADateTimeFieldKeepsTheStoredTime) {
  Bind("DT");
  EXPECT_EQ(ed->Text(), "31/01/2024");
  Focus(ed);
  Caret(3);
  Type("03");
  Focus(other);
  EXPECT_EQ(Show(FieldValue("DT")), "2024-03-31 14:45:10");
}

TEST_F(DBDateTimeEditTest, TimeKindOverATimeFieldWritesTheTime) {
  ed->SetKind(dtkTimeEh);
  Bind("T");
  EXPECT_EQ(ed->Text(), "08:30:00");
  Focus(ed);
  Caret(0);
  Type("2315");
  Focus(other);
  EXPECT_EQ(FormatDateTime("hh:nn:ss", FieldValue("T").AsDateTime()), "23:15:00");
}

TEST_F(DBDateTimeEditTest, ADayAloneIsCompletedFromTodayAndClampedOnLeaving) {
  ds->Next();  // the record of Nulls
  Bind("D");
  EXPECT_EQ(ed->EditText(), "  /  /    ");
  Focus(ed);
  Caret(0);
  Type("31");
  Focus(other);
  // March 2026 has 31 days.
  EXPECT_EQ(Show(FieldValue("D")), "2026-03-31 00:00:00");
  ed->SetKind(dtkDateEh);
  ds->Edit();
  ds->FieldByName("D")->Clear();
  Focus(ed);
  Caret(0);
  Type("3102");  // 31 February: clamped to the last day
  Focus(other);
  EXPECT_EQ(Show(FieldValue("D")), "2026-02-28 00:00:00");
}

TEST_F(DBDateTimeEditTest, ClearingTheTextAndLeavingWritesNull) {
  Bind("D");
  Focus(ed);
  ed->SelectAll();
  Key(VK_DELETE);
  EXPECT_TRUE(ed->Value().IsNull());
  Focus(other);
  EXPECT_TRUE(FieldValue("D").IsNull());
  EXPECT_EQ(ed->EditText(), "  /  /    ");
}

// The day the format does not show is clamped to the month it does show.
TEST_F(DBDateTimeEditTest, MonthAndYearTypedOverTheEndOfAMonthClampTheKeptDay) {
  ed->SetEditFormat("MM/YYYY");
  Bind("DT");
  EXPECT_EQ(ed->Text(), "01/2024");
  Focus(ed);
  Caret(0);
  Type("02");
  EXPECT_EQ(Show(ed->Value()), "2024-02-29 14:45:10");
  Focus(other);
  EXPECT_EQ(Show(FieldValue("DT")), "2024-02-29 14:45:10");
  // Unbound as well: the independent value is merged.
  ed->SetDataSource(nullptr);
  ed->SetDataField("");
  ed->SetValue(At(2023, 3, 31, 9, 0, 0));
  ed->SetText("04/2023");
  EXPECT_EQ(Show(ed->Value()), "2023-04-30 09:00:00");
  EXPECT_EQ(Show(ed->DataLink()->DataIndependentValue()), "2023-04-30 09:00:00");
}

// --- stepping --------------------------------------------------------------------------------------

// A two-character year wraps 00-99; down from the minimum gives the maximum.
TEST_F(DBDateTimeEditTest, ArrowKeysStepTheSectionAtTheCaretWithWrapAround) {
  const struct {
    const char* format;
    Variant value;
    int caret;
    int key;
    const char* text;
    int selStart;
  } cases[] = {
      {"DD/MM/YY", At(2000, 5, 9), 7, VK_DOWN, "09/05/99", 6},
      {"DD/MM/YY", At(2099, 5, 9), 6, VK_UP, "09/05/00", 6},
      {"DD/MM/YYYY", At(2024, 1, 31), 0, VK_UP, "01/01/2024", 0},
      {"DD/MM/YYYY", At(2024, 1, 31), 3, VK_DOWN, "31/12/2024", 3},
      {"DD/MM/YYYY", At(2024, 1, 1), 1, VK_DOWN, "31/01/2024", 0},
      {"DD/MM/YYYY", At(2024, 1, 1), 8, VK_UP, "01/01/2025", 6},
      {"HH:NN:SS", At(1900, 1, 1, 0, 59, 0), 0, VK_DOWN, "23:59:00", 0},
      {"HH:NN:SS", At(1900, 1, 1, 0, 59, 0), 4, VK_UP, "00:00:00", 3},
      {"HH:NN:SS", At(1900, 1, 1, 0, 0, 0), 6, VK_DOWN, "00:00:59", 6},
      {"HH:NN:SS", At(1900, 1, 1, 23, 1, 0), 2, VK_UP, "23:02:00", 3},  // a separator means the next section
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.text);
    ed->SetEditFormat(c.format);
    ed->SetValue(c.value);
    Focus(ed);
    Caret(c.caret);
    Key(c.key);
    EXPECT_EQ(ed->EditText(), c.text);
    EXPECT_EQ(ed->SelStart(), c.selStart);
    EXPECT_EQ(ed->SelLength(), c.format[c.selStart] == 'Y' && std::string(c.format).size() == 10 ? 4 : 2);
    Focus(other);
  }
}

TEST_F(DBDateTimeEditTest, SteppingTheHourDownFromZeroReachesZeroAgainAfterAFullTurn) {
  ed->SetKind(dtkTimeEh);
  ed->SetValue(At(1900, 1, 1, 1, 0, 0));
  Focus(ed);
  Caret(0);
  Key(VK_DOWN);
  EXPECT_EQ(ed->EditText(), "00:00:00");
  Key(VK_DOWN);
  EXPECT_EQ(ed->EditText(), "23:00:00");
  Key(VK_UP);
  EXPECT_EQ(ed->EditText(), "00:00:00");
}

TEST_F(DBDateTimeEditTest, SteppedValueIsWrittenToTheFieldOnLeaving) {
  Bind("D");
  Focus(ed);
  Caret(0);
  Key(VK_UP);  // day 31 steps to 01, whatever the month
  EXPECT_EQ(ed->EditText(), "01/01/2024");
  EXPECT_EQ(Show(ed->Value()), "2024-01-01 00:00:00");
  Focus(other);
  EXPECT_EQ(Show(FieldValue("D")), "2024-01-01 00:00:00");
}

TEST_F(DBDateTimeEditTest, TheWheelStepsTheSectionAtTheCaret) {
  ed->SetValue(At(2024, 1, 31));
  Focus(ed);
  Caret(3);
  Wheel(WHEEL_DELTA);
  EXPECT_EQ(ed->EditText(), "31/02/2024");
  Wheel(-WHEEL_DELTA);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(ed->EditText(), "31/12/2024");
  // With a modifier held the wheel does not step.
  Input::KeyDown(VK_CONTROL);
  Wheel(WHEEL_DELTA);
  Input::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(ed->EditText(), "31/12/2024");
}

TEST_F(DBDateTimeEditTest, ReadOnlyEditorsAndReadOnlyDataDoNotStep) {
  ed->SetValue(At(2024, 1, 31));
  ed->SetReadOnly(true);
  Focus(ed);
  Caret(0);
  Key(VK_UP);
  Wheel(WHEEL_DELTA);
  EXPECT_EQ(ed->EditText(), "31/01/2024");
  ed->SetReadOnly(false);
  Bind("D");
  ed->DataLink()->SetReadOnly(true);
  Focus(ed);
  Caret(0);
  Key(VK_UP);
  EXPECT_EQ(ed->EditText(), "31/01/2024");
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(DBDateTimeEditTest, OnKeyDownSeesTheArrowFirstAndCanSwallowIt) {
  ed->SetValue(At(2024, 1, 31));
  int seen = 0;
  ed->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (key == VK_UP) {
      ++seen;
      key = 0;
    }
  };
  Focus(ed);
  Caret(0);
  Key(VK_UP);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(ed->EditText(), "31/01/2024");
}

TEST_F(DBDateTimeEditTest, InPlaceTheEventThenTheHolderSeeTheArrowBeforeTheStep) {
  auto* holder = new editor_test::TTestHolderEh(form);
  holder->canModify = true;
  holder->SetParent(form);
  holder->SetBounds(200, 10, 190, 100);
  ed->SetParent(holder);
  ed->SetInplaceEditHolder(holder);
  ed->SetBoundsRect(TRect{0, 0, 180, 21});
  ed->SetValue(At(2024, 1, 31));
  ed->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (key == VK_UP || key == VK_DOWN) holder->log += "event ";
  };
  Focus(ed);
  ASSERT_EQ(GetFocus(), ed->Handle());
  Caret(3);
  Key(VK_UP);
  EXPECT_EQ(holder->log, "event holder ");
  EXPECT_EQ(ed->EditText(), "31/02/2024");
  holder->eatKey = VK_UP;
  Key(VK_UP);
  EXPECT_EQ(ed->EditText(), "31/02/2024");
}

TEST_F(DBDateTimeEditTest, UpDownButtonStepsTheSectionAtTheCaret) {
  ed->EditButton()->SetStyle(ebsUpDownEh);
  ed->SetValue(At(2024, 1, 31));
  Focus(ed);
  Caret(3);
  TEditButtonControlEh* button = ed->ButtonControl(0);
  ASSERT_NE(button, nullptr);
  const TPoint top = button->ClientToScreen(TPoint{button->Width() / 2, 2});
  WinTesting::Click(POINT{top.X, top.Y});
  Pump();
  EXPECT_EQ(ed->EditText(), "31/02/2024");
  const TPoint bottom = button->ClientToScreen(TPoint{button->Width() / 2, button->Height() - 2});
  WinTesting::Click(POINT{bottom.X, bottom.Y});
  Pump();
  EXPECT_EQ(ed->EditText(), "31/01/2024");
  EXPECT_FALSE(ed->CalendarDropped());
}

TEST_F(DBDateTimeEditTest, LeftAndRightCollapseASelection) {
  ed->SetValue(At(2024, 1, 31));
  Focus(ed);
  ed->SetSelStart(3);
  ed->SetSelLength(4);
  Key(VK_LEFT);
  EXPECT_EQ(ed->SelStart(), 3);
  EXPECT_LE(ed->SelLength(), 1);
  ed->SetSelStart(3);
  ed->SetSelLength(4);
  Key(VK_RIGHT);
  EXPECT_EQ(ed->SelStart(), 6);
  EXPECT_LE(ed->SelLength(), 1);
}

// --- separator keys ---------------------------------------------------------------------------------

// The sections are those of the editor's own edit format.
TEST_F(DBDateTimeEditTest, SeparatorKeysMoveToTheNextSectionOfTheOwnFormat) {
  const struct {
    TDateTimeKindEh kind;
    const char* format;
    int caret;
    const char* keys;
    int selStart;
    int selLength;
  } cases[] = {
      {dtkTimeEh, nullptr, 0, ":", 3, 2},       {dtkTimeEh, nullptr, 0, "::", 6, 2},
      {dtkTimeEh, nullptr, 7, ":", 0, 2},  // no further separator: the first section
      {dtkDateTimeEh, nullptr, 11, ":", 14, 2}, {dtkDateTimeEh, nullptr, 11, "::", 17, 2},
      {dtkDateTimeEh, nullptr, 0, "//", 6, 4},  {dtkCustomEh, "YYYY/MM/DD", 0, "/", 5, 2},
      {dtkCustomEh, "HH:NN", 0, ":", 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " " << c.caret << " " << c.keys);
    if (c.format)
      ed->SetEditFormat(c.format);
    else
      ed->SetKind(c.kind);
    ed->SetValue(At(2024, 1, 31, 14, 5, 9));
    const std::string before = ed->EditText();
    Focus(ed);
    Caret(c.caret);
    Type(c.keys);
    EXPECT_EQ(ed->SelStart(), c.selStart);
    EXPECT_EQ(ed->SelLength(), c.selLength);
    EXPECT_EQ(ed->EditText(), before);  // the separator itself is dropped
    Focus(other);
  }
}

TEST_F(DBDateTimeEditTest, TheLocaleDateSeparatorIsTheKeyThatMoves) {
  TFormatSettingsScope scope(Locale("dd.MM.yyyy", "."));
  TDBDateTimeEditEh* e = new TDBDateTimeEditEh(form);
  e->SetParent(form);
  e->SetBounds(10, 50, 180, 21);
  e->SetValue(At(2024, 1, 31));
  EXPECT_EQ(e->Text(), "31.01.2024");
  Focus(e);
  e->SetSelStart(0);
  e->SetSelLength(0);
  Type(".");
  EXPECT_EQ(e->SelStart(), 3);
  EXPECT_EQ(e->SelLength(), 2);
}

// --- calendar -------------------------------------------------------------------------------------

TEST_F(DBDateTimeEditTest, CalendarOpensOnTodayForNullAndEnterAcceptsTheDay) {
  int dropDowns = 0, closeUps = 0;
  bool accepted = false;
  ed->OnDropDown = [&](TObject* s) {
    EXPECT_EQ(s, ed);
    ++dropDowns;
  };
  ed->OnCloseUp = [&](TObject*, bool accept) {
    ++closeUps;
    accepted = accept;
  };
  Focus(ed);
  AltKey(VK_DOWN);
  ASSERT_TRUE(ed->CalendarDropped());
  ASSERT_NE(ed->Calendar(), nullptr);
  EXPECT_TRUE(IsWindowVisible(ed->Calendar()->Handle()));
  EXPECT_EQ(dropDowns, 1);
  EXPECT_EQ(DateOf(ed->Calendar()->Date()), EncodeDate(2026, 3, 15));
  // Placed under the editor, at its left edge.
  RECT cal{}, edit{};
  GetWindowRect(ed->Calendar()->Handle(), &cal);
  GetWindowRect(ed->Handle(), &edit);
  EXPECT_EQ(cal.Left, edit.Left);
  EXPECT_EQ(cal.Top, edit.Bottom);
  // Arrow keys move the calendar's day, not the editor's text.
  Key(VK_RIGHT);
  Key(VK_DOWN);
  EXPECT_EQ(DateOf(ed->Calendar()->Date()), EncodeDate(2026, 3, 23));
  Key(VK_NEXT);
  EXPECT_EQ(DateOf(ed->Calendar()->Date()), EncodeDate(2026, 4, 23));
  Key(VK_PRIOR);
  EXPECT_EQ(DateOf(ed->Calendar()->Date()), EncodeDate(2026, 3, 23));
  EXPECT_EQ(ed->EditText(), "  /  /    ");
  Key(VK_RETURN);
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_FALSE(IsWindowVisible(ed->Calendar()->Handle()));
  EXPECT_EQ(closeUps, 1);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(ed->EditText(), "23/03/2026");
  EXPECT_EQ(Show(ed->Value()), "2026-03-23 00:00:00");
}

TEST_F(DBDateTimeEditTest, AcceptedDayKeepsTheTimeOfTheOldValueAndIsWrittenOnLeaving) {
  Bind("DT");
  Focus(ed);
  AltKey(VK_DOWN);
  ASSERT_TRUE(ed->CalendarDropped());
  EXPECT_EQ(DateOf(ed->Calendar()->Date()), EncodeDate(2024, 1, 31));
  Key(VK_LEFT);
  AltKey(VK_UP);  // accepts, as Enter does
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_EQ(Show(ed->Value()), "2024-01-30 14:45:10");
  EXPECT_EQ(ed->EditText(), "30/01/2024");
  EXPECT_EQ(Show(FieldValue("DT")), "2024-01-31 14:45:10");
  Focus(other);
  EXPECT_EQ(Show(FieldValue("DT")), "2024-01-30 14:45:10");
}

TEST_F(DBDateTimeEditTest, EscapeAndFocusLossCloseWithoutAccepting) {
  ed->SetValue(At(2024, 1, 31));
  auto* cancel = new TButton(form);
  cancel->SetParent(form);
  cancel->SetBounds(200, 200, 60, 21);
  cancel->SetCancel(true);
  int cancelClicks = 0;
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  bool accepted = true;
  ed->OnCloseUp = [&](TObject*, bool accept) { accepted = accept; };
  Focus(ed);
  AltKey(VK_DOWN);
  Key(VK_LEFT);
  Key(VK_ESCAPE);
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_FALSE(accepted);
  EXPECT_EQ(ed->EditText(), "31/01/2024");
  // The Escape only closed the calendar: the form's cancel button saw nothing of it.
  EXPECT_EQ(GetFocus(), ed->Handle());
  EXPECT_EQ(cancelClicks, 0);

  AltKey(VK_DOWN);
  ASSERT_TRUE(ed->CalendarDropped());
  Key(VK_LEFT);
  accepted = true;
  Focus(other);
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_FALSE(accepted);
  EXPECT_EQ(Show(ed->Value()), "2024-01-31 00:00:00");
}

TEST_F(DBDateTimeEditTest, ClickingADayInTheCalendarAcceptsIt) {
  ed->SetValue(At(2024, 1, 31, 6, 7, 8));
  Focus(ed);
  AltKey(VK_DOWN);
  ASSERT_TRUE(ed->CalendarDropped());
  TPopupMonthCalendarEh* cal = ed->Calendar();
  // The middle of the client area lies in the grid of days.
  RECT client{};
  GetClientRect(cal->Handle(), &client);
  const TPoint screen = cal->ClientToScreen(TPoint{client.Right / 2, client.Bottom * 3 / 5});
  WinTesting::Click(POINT{screen.X, screen.Y});
  Pump();
  EXPECT_FALSE(ed->CalendarDropped());
  const TDateTime picked = DateOf(cal->Date());
  EXPECT_NE(picked, EncodeDate(2024, 1, 31));
  EXPECT_LT(std::abs(picked - EncodeDate(2024, 1, 31)), 42);
  EXPECT_EQ(Show(ed->Value()), FormatDateTime("yyyy-mm-dd", picked) + " 06:07:08");
  EXPECT_EQ(GetFocus(), ed->Handle());
}

TEST_F(DBDateTimeEditTest, TheButtonOpensAndClosesTheCalendar) {
  ed->SetValue(At(2024, 1, 31));
  Focus(ed);
  TEditButtonControlEh* button = ed->ButtonControl(0);
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->Visible());
  const TPoint p = button->ClientToScreen(TPoint{button->Width() / 2, button->Height() / 2});
  WinTesting::Click(POINT{p.X, p.Y});
  Pump();
  EXPECT_TRUE(ed->CalendarDropped());
  WinTesting::Click(POINT{p.X, p.Y});
  Pump();
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_EQ(ed->EditText(), "31/01/2024");
}

TEST_F(DBDateTimeEditTest, ReadOnlyEditorDoesNotTakeTheCalendarDay) {
  ed->SetValue(At(2024, 1, 31));
  ed->SetReadOnly(true);
  Focus(ed);
  AltKey(VK_DOWN);
  ASSERT_TRUE(ed->CalendarDropped());
  Key(VK_LEFT);
  Key(VK_RETURN);
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_EQ(ed->EditText(), "31/01/2024");
}

TEST_F(DBDateTimeEditTest, ACancelModeFromAnotherControlClosesTheCalendar) {
  ed->SetValue(At(2024, 1, 31));
  bool accepted = true;
  ed->OnCloseUp = [&](TObject*, bool accept) { accepted = accept; };
  Focus(ed);
  AltKey(VK_DOWN);
  ASSERT_TRUE(ed->CalendarDropped());
  // From the editor itself or its calendar: stays open.
  ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(ed)));
  ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(ed->Calendar())));
  EXPECT_TRUE(ed->CalendarDropped());
  Key(VK_LEFT);
  ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(other)));
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_FALSE(accepted);
  EXPECT_EQ(ed->EditText(), "31/01/2024");
}

TEST_F(DBDateTimeEditTest, DraggingFromTheButtonIntoTheCalendarPicksADay) {
  ed->SetValue(At(2024, 1, 31));
  Focus(ed);
  TEditButtonControlEh* button = ed->ButtonControl(0);
  ASSERT_NE(button, nullptr);
  const TPoint p = button->ClientToScreen(TPoint{button->Width() / 2, button->Height() / 2});
  Input::MouseDown(VK_LBUTTON, POINT{p.X, p.Y});
  Pump();
  ASSERT_TRUE(ed->CalendarDropped());
  RECT client{};
  GetClientRect(ed->Calendar()->Handle(), &client);
  const TPoint in = ed->Calendar()->ClientToScreen(TPoint{client.Right / 2, client.Bottom * 3 / 5});
  Input::MouseMove(POINT{in.X, in.Y});
  Pump();
  Input::MouseUp(VK_LBUTTON, POINT{in.X, in.Y});
  Pump();
  EXPECT_FALSE(ed->CalendarDropped());
  EXPECT_NE(ed->EditText(), "31/01/2024");
  EXPECT_EQ(Show(ed->Value()), FormatDateTime("yyyy-mm-dd", DateOf(ed->Calendar()->Date())) + " 00:00:00");
}

// --- untrusted input and the MRU list -------------------------------------------------------------

TEST_F(DBDateTimeEditTest, PastedTextGoesThroughTheMaskAndNeverWritesAHalfValue) {
  Bind("D");
  Focus(ed);
  ed->SelectAll();
  Paste("15/06/2025");
  EXPECT_EQ(ed->EditText(), "15/06/2025");
  EXPECT_EQ(Show(ed->Value()), "2025-06-15 00:00:00");
  ed->SelectAll();
  Paste("abc\x01");
  // Whatever the mask kept, leaving completes it into a whole date or Null.
  Focus(other);
  const Variant v = FieldValue("D");
  EXPECT_TRUE(v.IsNull() || v.AsDateTime() >= EncodeDate(1, 1, 1));
  EXPECT_EQ(ed->EditText(), v.IsNull() ? "  /  /    " : FormatDateTime("dd/mm/yyyy", v.AsDateTime()));
}

TEST_F(DBDateTimeEditTest, PasteAndSetTextTakeOnlyTextsTheMaskTakesWholeAsADate) {
  Bind("D");
  const struct {
    const char* text;
    const char* stored;  // nullptr: refused (a beep, an exception), the field keeps 31/01/2024
  } cases[] = {
      {"1,2,3", nullptr},
      {"00/00/0000", nullptr},
      {"-99999999999", nullptr},
      {"-15062025", nullptr},  // its digits alone would be 15/06/2025
      {"nan", nullptr},
      {"inf", nullptr},
      {"-", nullptr},
      {"15/06/2025", "2025-06-15 00:00:00"},
      {"15062025", "2025-06-15 00:00:00"},
      {"15-06-2025", "2025-06-15 00:00:00"},
      {"15.06.2025", "2025-06-15 00:00:00"},
      {"", "Null"},
      {"  /  /    ", "Null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string stored = c.stored ? c.stored : "2024-01-31 00:00:00";
    Focus(ed);
    ed->SelectAll();
    const int beeps = WinTesting::BeepCount();
    Paste(c.text);
    EXPECT_EQ(WinTesting::BeepCount(), beeps + (c.stored ? 0 : 1));
    Focus(other);
    EXPECT_EQ(Show(FieldValue("D")), stored);
    ds->Cancel();
    if (c.stored)
      ed->SetText(c.text);
    else
      EXPECT_THROW(ed->SetText(c.text), Exception);
    EXPECT_EQ(Show(FieldValue("D")), stored);
    ds->Cancel();
  }
}

TEST_F(DBDateTimeEditTest, MRUItemsAreFilteredByTheTextWithoutTrailingBlanksAndSeparators) {
  TProbeDateTimeEditEh probe(nullptr);
  probe.SetText("31/01/2024");
  const struct {
    const char* text;
    const char* item;
    bool accept;
  } cases[] = {
      {"31/  /    ", "31/01/2024", true}, {"31/  /    ", "30/01/2024", false},
      {"31/01/    ", "31/01/1999", true}, {"31/01/    ", "31/02/1999", false},
      {"  /  /    ", "01/01/2000", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + c.item);
    probe.SetEditText(c.text);
    bool accept = true;
    probe.FilterMRUItem(c.item, accept);
    EXPECT_EQ(accept, c.accept);
  }
  bool accept = false;
  probe.FilterMRUItem("31/01/2024", accept);
  EXPECT_FALSE(accept);  // an earlier refusal stands
}

// --- data events and streaming --------------------------------------------------------------------

TEST_F(DBDateTimeEditTest, FollowsTheRecordAndShowsNullsAsBlank) {
  ed->SetKind(dtkDateTimeEh);
  Bind("DT");
  EXPECT_EQ(ed->Text(), "31/01/2024 14:45:10");
  ds->Next();
  EXPECT_EQ(ed->EditText(), "  /  /       :  :  ");
  EXPECT_TRUE(ed->Value().IsNull());
  ds->Prior();
  EXPECT_EQ(Show(ed->Value()), "2024-01-31 14:45:10");
  // A new kind re-reads the field in its own format.
  ed->SetKind(dtkTimeEh);
  EXPECT_EQ(ed->Text(), "14:45:10");
  ed->SetEditFormat("YYYY/MM");
  EXPECT_EQ(ed->Text(), "2024/01");
  // Bound by name only: Null.
  ed->SetDataSource(nullptr);
  EXPECT_TRUE(ed->Value().IsNull());
}

TEST_F(DBDateTimeEditTest, YearDigitsFollowTheLocaleWhenTheFocusArrives) {
  ed->SetValue(At(2024, 1, 31));
  EXPECT_TRUE(ed->FourDigitYear());
  Focus(other);
  {
    TFormatSettingsScope scope(Locale("dd/MM/yy"));
    Focus(ed);
    EXPECT_FALSE(ed->FourDigitYear());
    EXPECT_EQ(ed->EditFormat(), "DD/MM/YY");
    EXPECT_EQ(ed->EditText(), "31/01/24");
    Focus(other);
  }
  Focus(ed);
  EXPECT_EQ(ed->EditFormat(), "DD/MM/YYYY");
  EXPECT_EQ(ed->EditText(), "31/01/2024");
}

TEST_F(DBDateTimeEditTest, PaintCopyShowsTheFieldInTheDisplayFormat) {
  auto* probe = new TProbeDateTimeEditEh(form);
  probe->SetParent(form);
  probe->SetEditFormat("YYYY/MM/DD HH:NN");
  probe->SetDataSource(src);
  probe->SetDataField("DT");
  probe->SetControlState(probe->ControlState() + csPaintCopy);
  EXPECT_EQ(probe->GetPaintText(), "2024/01/31 14:45");
  ds->Next();
  EXPECT_EQ(probe->GetPaintText(), "");
}

TEST_F(DBDateTimeEditTest, EditFormatIsStreamedOnlyForTheCustomKind) {
  RegisterDBDateTimeEditClasses();
  TDBDateTimeEditEh a(nullptr);
  a.SetName("A");
  a.SetKind(dtkTimeEh);
  std::string d = editor_test::AsText(&a);
  EXPECT_NE(d.find("Kind = dtkTimeEh"), std::string::npos) << d;
  EXPECT_EQ(d.find("EditFormat"), std::string::npos) << d;
  a.SetEditFormat("YYYY/MM");
  a.SetValue(At(2024, 5, 1));
  d = editor_test::AsText(&a);
  EXPECT_EQ(d.find("Kind ="), std::string::npos) << d;
  EXPECT_NE(d.find("EditFormat = 'YYYY/MM'"), std::string::npos) << d;

  TMemoryStream bin;
  bin.WriteComponent(&a);
  bin.SetPosition(0);
  TDBDateTimeEditEh b(nullptr);
  bin.ReadComponent(&b);
  EXPECT_EQ(b.Kind(), dtkCustomEh);
  EXPECT_EQ(b.EditFormat(), "YYYY/MM");
  EXPECT_EQ(b.Text(), "2024/05");
  EXPECT_EQ(Show(b.Value()), "2024-05-01 00:00:00");
}

}  // namespace
