// The number editor: its number text rules (edit formats, separators, parsing, rounding, the
// range clamp, display text) as tables, and the editor on a shown form driven by typed keys,
// paste, the wheel, its button and its calculator, unbound and bound to integer, float,
// currency, BCD and large-integer fields of an in-memory data set.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "grid/editors/DBNumberEditEh.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "tests/grid/editors/EditorTestSupport.h"

namespace {

TFormatSettings NumberLocale(const std::string& ds, const std::string& ts, int currDecimals = 2) {
  TFormatSettings s;
  s.DecimalSeparator = ds;
  s.ThousandSeparator = ts;
  s.CurrencyDecimals = currDecimals;
  return s;
}

// --- number text routines -------------------------------------------------------------------------

TEST(DBNumberEditRoutines, DisplayFormatToEditFormatKeepsDigitPlaceholdersOfTheFirstSection) {
  const struct {
    const char* format;
    const char* edit;
  } cases[] = {
      {"", ""},
      {"#,##0.00", "#,##0.00"},
      {"0.00E+00", "0.000"},  // only the first zero of the exponent is dropped
      {"0.0e+0", "0.0"},
      {"0.00E-00", "0.0000"},  // "E-" sets no mark
      {"#,##0.00;(#,##0.00);Zero", "#,##0.00"},
      {"\"USD \"#,##0.00\" net\"", "#,##0.00"},
      {"'0#.,'0.0", "0.0"},
      // The other kind of quote inside a run switches the run to that kind.
      {"'a\"b'0\"1\"0", "0"},
      {"0.00 kg", "0.00"},
      // The fifth exponent zero ends the scan.
      {"0E+00E+00E+00E+00E+00#", "00000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(DisplayFormatToEditFormatEh(c.format), c.edit);
  }
}

TEST(DBNumberEditRoutines, InsertsThousandSeparatorsIntoTheIntegerPartOnly) {
  TFormatSettingsScope scope(NumberLocale(",", " "));
  const struct {
    const char* text;
    bool group;
    const char* result;
  } cases[] = {
      {"1234567", true, "1 234 567"},
      {"-1234,5678", true, "-1 234,5678"},
      {"+123", true, "+123"},
      {"1234E1234", true, "1 234E1234"},
      {"1234567", false, "1234567"},
      {"", true, ""},
      {"-", true, "-"},
      {"123456,", true, "123 456,"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(InsertThousandSeparatorsEh(c.text, c.group), c.result);
  }
}

TEST(DBNumberEditRoutines, NormalizesSeparatorsForEachLocale) {
  const struct {
    const char* ds;
    const char* ts;
    const char* text;
    const char* result;
  } cases[] = {
      {".", ",", " 1,234.5\t", "1234.5"}, {",", ".", "1.234,5", "1234,5"},
      {",", " ", "1 234.5", "1234,5"},  // "." is neither separator: it becomes the decimal one
      {".", "'", "1'234,5", "1234.5"},    {".", ".", "1.5", "1.5"},  // equal separators are not removed
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.ds) + c.ts + c.text);
    TFormatSettingsScope scope(NumberLocale(c.ds, c.ts));
    EXPECT_EQ(NormalizeNumberTextEh(c.text), c.result);
  }
}

TEST(DBNumberEditRoutines, ReadsNumbersAndNumbersBeingTyped) {
  TFormatSettingsScope scope(NumberLocale(",", "."));
  const struct {
    const char* text;
    bool ok;
    long double value;
  } cases[] = {
      {"12,5", true, 12.5L},   {"-", true, 0},     {"+", true, 0},   {"1E3", true, 1000},
      {"1e", true, 1},         {"2E+", true, 2},   {",", true, 0},   {"-,", true, 0},
      {"1E300", true, 1e300L}, {"12.5", false, 0}, {"1x", false, 0}, {"1E400", false, 0},
      {"--1", false, 0},       {"", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Extended v = -7;
    EXPECT_EQ(TryTextToNumberEh(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_NEAR(static_cast<double>(v), static_cast<double>(c.value), std::fabs(c.value) * 1e-15);
    }
  }
}

TEST(DBNumberEditRoutines, RoundsOnlyWhereTheScaledValueFitsA64BitInteger) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const struct {
    long double v;
    Cardinal dp;
    long double result;
  } cases[] = {
      {0.125L, 2, 0.12L},  // ties to even
      {0.375L, 2, 0.38L},
      {2.5L, 0, 2},
      {3.5L, 0, 4},
      {-2.5L, 0, -2},
      {1.23456L, 3, 1.235L},
      {1e300L, 2, 1e300L},
      {-1e300L, 0, -1e300L},
      // 2^63 / 100 and beyond keep their digits.
      {92233720368547758.0L, 2, 92233720368547758.0L},
      {1e18L, 1, 1e18L},
      {123.456L, 38, 123.456L},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(c.v) << " dp " << c.dp);
    const long double r = RoundToDecimalPlacesEh(c.v, c.dp);
    EXPECT_NEAR(static_cast<double>(r), static_cast<double>(c.result),
                std::fabs(static_cast<double>(c.result)) * 1e-15 + 1e-12);
  }
  EXPECT_TRUE(std::isnan(RoundToDecimalPlacesEh(nan, 2)));
  EXPECT_TRUE(std::isinf(RoundToDecimalPlacesEh(std::numeric_limits<long double>::infinity(), 2)));
}

TEST(DBNumberEditRoutines, ClampsByTheRangeRule) {
  const struct {
    long double v, min, max, result;
  } cases[] = {
      {-10, 0, 0, -10},  {100, 0, 0, 100},  // equal bounds: no range
      {3, 5, 10, 5},     {12, 5, 10, 10},     {7, 5, 10, 7},
      {3, 5, 0, 5},      {1e9, 5, 0, 1e9},     // only the lower bound
      {0, 0, -5, -5},    {-9, 0, -5, -9},      // only the upper bound
      {100, 10, 5, 100}, {-100, 10, 5, -100},  // crossed bounds: none
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(c.v) << " in " << static_cast<double>(c.min)
                                    << ".." << static_cast<double>(c.max));
    EXPECT_EQ(ClampToRangeEh(c.v, c.min, c.max), c.result);
  }
}

TEST(DBNumberEditRoutines, CountsIntegerDigitsAndBuildsTheCurrencyFormat) {
  TFormatSettingsScope scope(NumberLocale(".", ",", 3));
  EXPECT_EQ(IntegerDigitCountEh("-1,234,567.89"), 7);
  EXPECT_EQ(IntegerDigitCountEh(".5"), 0);
  EXPECT_EQ(IntegerDigitCountEh("12E345"), 2);
  EXPECT_EQ(CurrencyEditFormatEh(), ",#.000");
  EXPECT_EQ(PowerOfTenEh(0), 1.0L);
  EXPECT_EQ(PowerOfTenEh(3), 1000.0L);
}

TEST(DBNumberEditRoutines, FormatsDisplayTextAndMoneyBeyondTheCurrencyRange) {
  TFormatSettingsScope scope(NumberLocale(".", ","));
  EXPECT_EQ(FormatNumberDisplayTextEh(Variant::Null(), "0.00", true), "");
  EXPECT_EQ(FormatNumberDisplayTextEh(Variant(1234.5), "#,##0.000", true), "1,234.500");
  EXPECT_EQ(FormatNumberDisplayTextEh(Variant(1234.5), "", false), "1234.5");
  EXPECT_EQ(FormatNumberDisplayTextEh(Variant(1234.5), "", true),
            CurrToStrF(Currency::FromDouble(1234.5), ffCurrency, 2));
  // 1e15 x 10000 leaves the 64-bit range: the money text goes through floating point.
  for (double v : {1e15, -1e300, 1e300}) {
    SCOPED_TRACE(v);
    std::string text;
    EXPECT_NO_THROW(text = FormatNumberDisplayTextEh(Variant(v), "", true));
    EXPECT_EQ(text, FloatToStrF(v, ffCurrency, 15, 2));
  }
}

// --- the editor on a form ---------------------------------------------------------------------------

class DBNumberEditTest : public editor_test::EditorFormTest<TDBNumberEditEh> {
 protected:
  void SetUp() override {
    ResetVcl();
    scope_ = std::make_unique<TFormatSettingsScope>(NumberLocale(".", ","));
    MakeForm(300, 200);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Amount", ftFloat);
    ds->FieldDefs()->Add("Price", ftCurrency);
    ds->FieldDefs()->Add("Cost", ftBCD, 4);
    ds->FieldDefs()->Add("Big", ftLargeint);
    ds->CreateDataSet();
    ds->AppendRecord({1, 12.5, 3.25, 7.5, static_cast<long long>(9007199254740993LL)});
    ds->AppendRecord({2, Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()});
    PlaceControls(Bounds(10, 10, 150, 21), Bounds(10, 100, 80, 21));
  }
  void TearDown() override {
    ResetVcl();
    scope_.reset();
  }

  // Focuses the editor and replaces its text by typing.
  void TypeFresh(const std::string& s) {
    Focus(ed);
    ed->SelectAll();
    Key(VK_DELETE);
    Type(s);
  }
  double Val() { return ed->Value().AsDouble(); }

  std::unique_ptr<TFormatSettingsScope> scope_;
};

TEST_F(DBNumberEditTest, StartsUnboundEmptyRightAlignedWithTwoDecimals) {
  EXPECT_TRUE(ed->Value().IsNull());
  EXPECT_EQ(ed->Text(), "");
  EXPECT_EQ(ed->DecimalPlaces(), 2u);
  EXPECT_EQ(ed->Increment(), 1.0L);
  EXPECT_EQ(ed->Alignment(), taRightJustify);
  EXPECT_NE(GetWindowLong(ed->Handle(), GWL_STYLE) & ES_RIGHT, 0);
  EXPECT_TRUE(ed->EditButton()->InheritsFrom(TDropDownEditButtonEh::StaticClass()));
  EXPECT_FALSE(ed->ControlStyle().Contains(csSetCaption));
}

TEST_F(DBNumberEditTest, TypingRegroupsTheTextAndKeepsTheCaretAfterTheLastDigit) {
  ed->SetDisplayFormat("#,##0.00");
  EXPECT_EQ(ed->EditFormat(), "#,##0.00");
  TypeFresh("1234567");
  EXPECT_EQ(ed->Text(), "1,234,567");
  EXPECT_EQ(ed->SelStart(), 9);
  EXPECT_DOUBLE_EQ(Val(), 1234567);
  // Back-space just after a separator only moves the caret over it.
  ed->SetSelStart(2);
  Key(VK_BACK);
  EXPECT_EQ(ed->Text(), "1,234,567");
  EXPECT_EQ(ed->SelStart(), 1);
  // Leaving shows the display format.
  Focus(other);
  EXPECT_EQ(ed->Text(), "1,234,567.00");
  EXPECT_TRUE(ed->DataLink()->DataIndependentValue().VarType() == varDouble);
}

TEST_F(DBNumberEditTest, CommaAndPointTypeTheLocaleDecimalSeparator) {
  scope_.reset();
  scope_ = std::make_unique<TFormatSettingsScope>(NumberLocale(",", " "));
  for (const char* sep : {".", ","}) {
    SCOPED_TRACE(sep);
    TypeFresh(std::string("12") + sep + "5");
    EXPECT_EQ(ed->Text(), "12,5");
    EXPECT_DOUBLE_EQ(Val(), 12.5);
  }
}

TEST_F(DBNumberEditTest, RefusesCharactersThatWouldSpoilTheNumber) {
  TypeFresh("12.345");
  EXPECT_EQ(ed->Text(), "12.34");  // a third decimal is refused
  TypeFresh("a-1x-2");
  EXPECT_EQ(ed->Text(), "-12");  // letters and a second sign are eaten
  ed->SetDecimalPlaces(0);
  TypeFresh("7.5");
  EXPECT_EQ(ed->Text(), "75");
  // A positive range refuses negative numbers; a sign alone still reads as 0.
  ed->SetMinValue(0);
  ed->SetMaxValue(100);
  TypeFresh("-3");
  EXPECT_EQ(ed->Text(), "-");
  EXPECT_DOUBLE_EQ(Val(), 0);
}

TEST_F(DBNumberEditTest, CapsOnlyDigitsTypedIntoTheIntegerPart) {
  // 17 - DecimalPlaces integer digits.
  TypeFresh("1234567890123456");
  EXPECT_EQ(IntegerDigitCountEh(ed->Text()), 15);
  // Decimal digits are still accepted with 15 integer digits.
  Type(".12");
  EXPECT_EQ(NormalizeNumberTextEh(ed->Text()), "123456789012345.12");
  // A digit typed into the integer part is refused, before the separator as anywhere.
  ed->SetSelStart(3);
  Type("9");
  EXPECT_EQ(NormalizeNumberTextEh(ed->Text()), "123456789012345.12");
  // Over a selection the cap does not apply.
  ed->SetSelStart(0);
  ed->SetSelLength(1);
  Type("9");
  EXPECT_EQ(NormalizeNumberTextEh(ed->Text()), "923456789012345.12");
}

TEST_F(DBNumberEditTest, HugeNumbersTypedOrPastedNeverRaiseForRounding) {
  EXPECT_NO_THROW(TypeFresh("1E300"));
  EXPECT_EQ(ed->Text(), "1E300");
  EXPECT_DOUBLE_EQ(Val(), 1e300);
  EXPECT_NO_THROW(Focus(other));
  EXPECT_DOUBLE_EQ(Val(), 1e300);

  ed->SetCurrency(true);
  Focus(ed);
  ed->SelectAll();
  EXPECT_NO_THROW(Paste("-1E300"));
  EXPECT_DOUBLE_EQ(Val(), -1e300);
  EXPECT_NO_THROW(Focus(other));
  EXPECT_EQ(ed->Text(), FloatToStrF(-1e300, ffCurrency, 15, 2));
  // Stepping a huge value keeps it.
  Focus(ed);
  EXPECT_NO_THROW(Key(VK_UP));
  EXPECT_DOUBLE_EQ(Val(), -1e300);
}

TEST_F(DBNumberEditTest, ClampsTheValueButNotTheText) {
  ed->SetMinValue(5);
  TypeFresh("3");
  EXPECT_EQ(ed->Text(), "3");
  EXPECT_DOUBLE_EQ(Val(), 5);
  ed->SetMinValue(0);
  ed->SetMaxValue(-5);
  TypeFresh("12");
  EXPECT_EQ(ed->Text(), "12");
  EXPECT_DOUBLE_EQ(Val(), -5);
  Focus(other);
  EXPECT_EQ(ed->Text(), "-5");
}

TEST_F(DBNumberEditTest, CutsTheValueToDecimalPlacesTiesToEven) {
  ed->SetDecimalPlaces(0);
  TypeFresh("2");
  ed->SetValue(Variant(2.5));
  EXPECT_DOUBLE_EQ(Val(), 2.5);  // a value written from code is not cut
  Focus(ed);
  ed->SelectAll();
  Paste("2.5");
  EXPECT_DOUBLE_EQ(Val(), 2);
  ed->SelectAll();
  Paste("3.5");
  EXPECT_DOUBLE_EQ(Val(), 4);
}

TEST_F(DBNumberEditTest, StepsWithArrowKeysWheelAndUpDownButton) {
  ed->SetIncrement(2.5);
  Focus(ed);
  Key(VK_DOWN);  // from Null: +Increment whichever the direction
  EXPECT_DOUBLE_EQ(Val(), 2.5);
  Key(VK_UP);
  EXPECT_DOUBLE_EQ(Val(), 5);
  Wheel(-WHEEL_DELTA);
  EXPECT_DOUBLE_EQ(Val(), 2.5);
  Wheel(WHEEL_DELTA);
  Wheel(WHEEL_DELTA);
  EXPECT_DOUBLE_EQ(Val(), 7.5);
  EXPECT_EQ(ed->SelLength(), static_cast<int>(ed->Text().size()));

  ed->SetMaxValue(8);
  Key(VK_UP);
  EXPECT_DOUBLE_EQ(Val(), 8);

  ed->EditButton()->SetStyle(ebsUpDownEh);
  ed->EditButton()->SetVisible(true);
  Pump();
  TEditButtonControlEh* button = ed->ButtonControl(0);
  ASSERT_NE(button, nullptr);
  const TPoint bottom = button->ClientToScreen({button->Width() / 2, button->Height() - 3});
  WinTesting::Click({bottom.X, bottom.Y});
  Pump();
  EXPECT_DOUBLE_EQ(Val(), 5.5);
  const TPoint top = button->ClientToScreen({button->Width() / 2, 2});
  WinTesting::Click({top.X, top.Y});
  Pump();
  EXPECT_DOUBLE_EQ(Val(), 8);

  ed->SetReadOnly(true);
  Key(VK_DOWN);
  Wheel(-WHEEL_DELTA);
  EXPECT_DOUBLE_EQ(Val(), 8);
}

TEST_F(DBNumberEditTest, CalculatorDropsDownAndWritesItsValueOnCloseUp) {
  ed->SetValue(Variant(4.0));
  ed->EditButton()->SetVisible(true);
  int drops = 0;
  std::vector<bool> closes;
  ed->OnDropDown = [&](TObject*) { ++drops; };
  ed->OnCloseUp = [&](TObject*, bool Accept) { closes.push_back(Accept); };
  Focus(ed);
  Input::KeyDown(VK_MENU);
  Key(VK_DOWN);
  Input::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(ed->CalculatorDroppedDown());
  EXPECT_EQ(drops, 1);
  TPopupCalculatorEh* calc = ed->GetCalculator();
  EXPECT_TRUE(static_cast<IPopupCalculatorEh*>(calc)->GetIsDropDown());
  EXPECT_EQ(calc->DisplayText(), "4");
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), "确定") << "the locale's accept word";
  EXPECT_TRUE(ed->Focused());
  // Keys go to the calculator while it is down.
  Type("*3");
  EXPECT_EQ(calc->DisplayText(), "3");
  Key(VK_RETURN);  // "="
  EXPECT_TRUE(ed->CalculatorDroppedDown());
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), "确定");
  Key(VK_RETURN);  // accepts
  EXPECT_FALSE(ed->CalculatorDroppedDown());
  EXPECT_DOUBLE_EQ(Val(), 12);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_TRUE(closes[0]);

  // Escape closes without taking the value.
  Input::KeyDown(VK_MENU);
  Key(VK_DOWN);
  Input::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(ed->CalculatorDroppedDown());
  Type("5");
  Key(VK_ESCAPE);
  EXPECT_FALSE(ed->CalculatorDroppedDown());
  EXPECT_DOUBLE_EQ(Val(), 12);
  ASSERT_EQ(closes.size(), 2u);
  EXPECT_FALSE(closes[1]);
}

TEST_F(DBNumberEditTest, CalculatorErrorIsNotAcceptedAndFocusLossClosesIt) {
  ed->SetValue(Variant(4.0));
  Focus(ed);
  ed->EditButton()->SetVisible(true);
  Input::KeyDown(VK_MENU);
  Key(VK_DOWN);
  Input::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(ed->CalculatorDroppedDown());
  Type("/0");
  Key(VK_RETURN);
  TPopupCalculatorEh* calc = ed->GetCalculator();
  ASSERT_TRUE(calc->Error());
  // A close-up that accepts takes nothing from a calculator in its error state.
  calc->OnCloseUp(calc, true);
  EXPECT_FALSE(ed->CalculatorDroppedDown());
  EXPECT_DOUBLE_EQ(Val(), 4);

  Input::KeyDown(VK_MENU);
  Key(VK_DOWN);
  Input::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(ed->CalculatorDroppedDown());
  Focus(other);
  EXPECT_FALSE(ed->CalculatorDroppedDown());
  EXPECT_FALSE(static_cast<IPopupCalculatorEh*>(calc)->GetIsDropDown());
}

// --- bound ---------------------------------------------------------------------------------------

TEST_F(DBNumberEditTest, FollowsTheFieldsFormatsCurrencyAndRange) {
  auto* amount = static_cast<TFloatField*>(ds->FieldByName("Amount"));
  amount->SetDisplayFormat("0.000");
  amount->SetMinValue(-10);
  amount->SetMaxValue(50);
  Bind("Amount");
  EXPECT_EQ(ed->DisplayFormat(), "0.000");
  EXPECT_EQ(ed->EditFormat(), "0.000");
  EXPECT_EQ(ed->Text(), "12.500");
  EXPECT_EQ(ed->MinValue(), -10);
  EXPECT_EQ(ed->MaxValue(), 50);
  EXPECT_FALSE(ed->IsMinValueStored());
  // The field's range is not the editor's clamp.
  TypeFresh("70");
  EXPECT_DOUBLE_EQ(Val(), 70);
  Key(VK_ESCAPE);

  ed->SetDisplayFormat("#,##0.0");
  EXPECT_TRUE(ed->IsDisplayFormatStored());
  EXPECT_EQ(ed->Text(), "12.5");
  Focus(other);

  Bind("Price");
  EXPECT_TRUE(ed->IsCurrency());
  EXPECT_EQ(ed->Text(), "3.3");  // the own display format wins
  ed->SetDisplayFormat("");
  EXPECT_EQ(ed->EditFormat(), ",#.00");
  EXPECT_EQ(ed->Text(), CurrToStrF(Currency::FromDouble(3.25), ffCurrency, 2));
  Focus(ed);
  EXPECT_EQ(ed->Text(), "3.25");

  Bind("Cost");
  auto* cost = static_cast<TBCDField*>(ds->FieldByName("Cost"));
  cost->SetMaxValue(Currency::FromDouble(99.5));
  EXPECT_EQ(ed->MaxValue(), 99.5L);
  EXPECT_DOUBLE_EQ(Val(), 7.5);
}

TEST_F(DBNumberEditTest, WritesTypedValuesToTheFieldOnExit) {
  const struct {
    const char* field;
    const char* typed;
    double stored;
  } cases[] = {
      {"ID", "42", 42},       {"Amount", "-1234.56", -1234.56}, {"Price", "19.99", 19.99},
      {"Cost", "0.05", 0.05}, {"Big", "123456789", 123456789},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    Bind(c.field);
    TypeFresh(c.typed);
    Focus(other);
    EXPECT_EQ(ds->State(), dsEdit);
    ds->Post();
    EXPECT_DOUBLE_EQ(FieldValue(c.field).AsDouble(), c.stored);
  }
}

TEST_F(DBNumberEditTest, SteppingABoundEditorPutsTheDataSetInEditState) {
  Bind("ID");
  Focus(ed);
  Key(VK_UP);
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_DOUBLE_EQ(Val(), 2);
  Focus(other);
  ds->Post();
  EXPECT_EQ(FieldValue("ID").AsInteger(), 2);
  // A record with Null shows nothing and steps to +Increment.
  Bind("Amount");
  ds->Next();
  EXPECT_EQ(ed->Text(), "");
  Focus(ed);
  Wheel(-WHEEL_DELTA);
  EXPECT_DOUBLE_EQ(Val(), 1);
}

TEST_F(DBNumberEditTest, AValueTheFieldCannotTakeLeavesTheRecordAndTheText) {
  Bind("ID");
  TypeFresh("1E300");
  EXPECT_DOUBLE_EQ(Val(), 1e300);
  EXPECT_ANY_THROW(ed->UpdateData());
  EXPECT_EQ(FieldValue("ID").AsInteger(), 1);
  EXPECT_EQ(ed->Text(), "1E300");

  // Pasted text that is no number is not written as some other value.
  Bind("Amount");
  Focus(ed);
  ed->SelectAll();
  Paste("12abc");
  EXPECT_EQ(ed->Text(), "12abc");
  EXPECT_THROW(ed->UpdateData(), EConvertError);
  EXPECT_DOUBLE_EQ(FieldValue("Amount").AsDouble(), 12.5);
}

TEST_F(DBNumberEditTest, PastedTextsThatAreNoWholeNumberNeverReachTheField) {
  const struct {
    const char* text;
    double stored;  // NAN: refused, the field keeps 12.5 and the text stays for correction
  } cases[] = {{"1e400", NAN}, {"nan", NAN}, {"inf", NAN},   {"-", NAN},
               {".", NAN},     {"1E", NAN},  {"-2.5", -2.5}, {"1e3", 1000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const bool refused = std::isnan(c.stored);
    Bind("Amount");
    Focus(ed);
    ed->SelectAll();
    Paste(c.text);
    EXPECT_EQ(ed->Text(), c.text);
    if (refused)
      EXPECT_THROW(ed->UpdateData(), EConvertError);
    else
      ed->UpdateData();
    EXPECT_DOUBLE_EQ(FieldValue("Amount").AsDouble(), refused ? 12.5 : c.stored);
    ds->Cancel();
    // The text path agrees; unbound, a refused text leaves the value Null.
    ed->SetDataSource(nullptr);
    ed->SetDataField("");
    if (refused)
      EXPECT_THROW(ed->SetText(c.text), EConvertError);
    else
      ed->SetText(c.text);
    const Variant v = ed->DataLink()->DataIndependentValue();
    EXPECT_EQ(v.IsNull(), refused);
    EXPECT_DOUBLE_EQ(v.IsNull() ? 0 : v.AsDouble(), refused ? 0 : c.stored);
    Focus(other);
  }
}

TEST_F(DBNumberEditTest, LargeIntegersKeepTheirDigitsWhenNotEdited) {
  Bind("Big");
  EXPECT_EQ(ed->Alignment(), ds->FieldByName("Big")->Alignment());
  Focus(ed);
  Focus(other);
  EXPECT_EQ(FieldValue("Big").AsInt64(), 9007199254740993LL);
}

TEST_F(DBNumberEditTest, TheWindowFollowsTheFieldsAlignment) {
  ds->FieldByName("Amount")->SetAlignment(taCenter);
  Bind("Amount");
  Pump();
  EXPECT_NE(GetWindowLong(ed->Handle(), GWL_STYLE) & ES_CENTER, 0);
  ed->SetDataSource(nullptr);
  ed->SetDataField("");
  Pump();
  EXPECT_EQ(ed->Alignment(), taRightJustify);
  EXPECT_NE(GetWindowLong(ed->Handle(), GWL_STYLE) & ES_RIGHT, 0);
}

TEST_F(DBNumberEditTest, TextWritesConvertOrRaiseTheConversionError) {
  ed->SetText("1,234.5");
  EXPECT_DOUBLE_EQ(Val(), 1234.5);
  EXPECT_DOUBLE_EQ(ed->DataLink()->DataIndependentValue().AsDouble(), 1234.5);
  ed->SetText("");
  EXPECT_TRUE(ed->Value().IsNull());
  EXPECT_THROW(ed->SetText("12abc"), EConvertError);
  // An own bound set on an unbound editor writes the value into the link.
  ed->SetValue(Variant(3.0));
  ed->SetMinValue(1);
  EXPECT_DOUBLE_EQ(ed->DataLink()->DataIndependentValue().AsDouble(), 3);
}

TEST_F(DBNumberEditTest, JunkPastedIsKeptForCorrectionAndNeverCrashes) {
  const std::string cases[] = {
      "1E99999999999", std::string(5000, '9'), "\xff\xfe", "--", "1e-99999", "1,2,3.4.5", "中文"};
  for (const std::string& c : cases) {
    SCOPED_TRACE(c.substr(0, 20));
    Focus(ed);
    ed->SelectAll();
    EXPECT_NO_THROW(Paste(c));
    const Variant v = ed->Value();
    EXPECT_TRUE(v.IsNull() || std::isfinite(v.AsDouble()));
    Key(VK_ESCAPE);
  }
}

TEST_F(DBNumberEditTest, ACancelModeFromAnotherControlClosesTheCalculator) {
  Focus(ed);
  ed->EditButton()->SetVisible(true);
  Input::KeyDown(VK_MENU);
  Key(VK_DOWN);
  Input::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(ed->CalculatorDroppedDown());
  TPopupCalculatorEh* calc = ed->GetCalculator();
  ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(calc->Buttons(cb1Eh))));
  EXPECT_TRUE(ed->CalculatorDroppedDown());
  ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(other)));
  EXPECT_FALSE(ed->CalculatorDroppedDown());
}

using editor_test::AsText;

TEST_F(DBNumberEditTest, StreamsOwnSettingsAndTheUnboundValue) {
  RegisterDBNumberEditClasses();
  // A form of its own holds the editor, as a window description would.
  auto* host = new TForm(Application, 0);
  host->AfterConstruction();
  auto* e = new TDBNumberEditEh(host);
  e->SetName("Number");
  e->SetParent(host);
  const std::string plain = AsText(host);
  for (const char* absent :
       {"DecimalPlaces", "DisplayFormat", "currency", "Increment", "MinValue", "MaxValue", "Value"})
    EXPECT_EQ(plain.find(absent), std::string::npos) << absent << "\n" << plain;

  e->SetDecimalPlaces(3);
  e->SetIncrement(0.5);
  e->SetMinValue(-1);
  e->SetCurrency(true);
  e->SetValue(Variant(2.25));
  const std::string text = AsText(host);
  for (const char* present :
       {"DecimalPlaces = 3", "Increment = 0.5", "MinValue = -1", "currency = True", "Value = 2.25"})
    EXPECT_NE(text.find(present), std::string::npos) << present << "\n" << text;
  EXPECT_EQ(text.find("MaxValue"), std::string::npos) << text;
  for (const char* name : {"EditMask", "Text", "WordWrap", "OnCloseUp", "OnDropDown"})
    EXPECT_EQ(GetPropInfo(TDBNumberEditEh::StaticClass(), name), nullptr) << name;

  TMemoryStream bin;
  bin.WriteComponent(host);
  bin.SetPosition(0);
  auto* back = new TForm(Application, 0);
  bin.ReadComponent(back);
  auto* read = dynamic_cast<TDBNumberEditEh*>(back->FindComponent("Number"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->DecimalPlaces(), 3u);
  EXPECT_EQ(read->Increment(), 0.5L);
  EXPECT_EQ(read->MinValue(), -1.0L);
  EXPECT_TRUE(read->IsMinValueStored());
  EXPECT_FALSE(read->IsMaxValueStored());
  EXPECT_TRUE(read->IsCurrency());
  EXPECT_DOUBLE_EQ(read->Value().AsDouble(), 2.25);

  e->SetDataSource(src);
  e->SetDataField("Amount");
  EXPECT_EQ(AsText(host).find(" Value ="), std::string::npos) << "a bound editor does not store its value";
}

}  // namespace
