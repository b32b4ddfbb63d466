// The calculator: arithmetic typed and clicked, the main button, the error state and the value
// interface of the drop-down calculator.
#include <gtest/gtest.h>

#include "grid/foundation/CalculatorEh.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/WinTesting.h"

namespace {

class CalculatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(50, 50, 300, 240);
    calc = new TCalculatorEh(form);
    calc->SetParent(form);
    calc->SetBounds(10, 10, 160, 180);
    form->Show();
    Application->ProcessMessages();
    calc->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  // Types the keys of Text into the focused calculator ("\n" presses Return).
  void Type(const std::string& Text) {
    WinTesting::Type(Text);
    Application->ProcessMessages();
  }
  void Click(TCalcButtonKindEh Kind) {
    TSpeedButton* b = calc->Buttons(Kind);
    const TPoint p = b->ClientToScreen(TPoint{b->Width() / 2, b->Height() / 2});
    WinTesting::Click(POINT{p.X, p.Y});
    Application->ProcessMessages();
  }

  TForm* form = nullptr;
  TCalculatorEh* calc = nullptr;
};

TEST_F(CalculatorTest, TypedSequences) {
  struct Case {
    const char* keys;
    const char* display;
  };
  const Case cases[] = {
      {"", "0"},
      {"007", "7"},
      {"12+3=", "15"},
      {"12-30=", "-18"},
      {"6*7=", "42"},
      {"7/2=", "3.5"},
      {"2+3*4=", "20"},   // left to right, no precedence
      {"2+3=*4=", "20"},  // a result goes on as the first operand
      {"5+=", "10"},      // the shown operand is taken again
      {"5+-3=", "2"},     // a second operator replaces the first
      {"9-", "9"},        // the accumulator shows after an operator
      {"1.5+1.25=", "2.75"},
      {"..5.", "0.5"},    // one decimal point
      {".1+.2=", "0.3"},  // shown to 15 significant digits
      {"1234567890123456789", "123456789012345"},
      {"12\b", "1"},
      {"12\b\b\b", "0"},
      {"4+5=\b", "9"},  // a result keeps its digits
      {"4+5c", "0"},
      {"8/0=", "Error"},
      {"8/0=+*", "Error"},  // operators wait for a fresh start
      {"8/0=7+1=", "8"},    // typing a digit starts afresh
      {"8/0=c3", "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    calc->Clear();
    Type(c.keys);
    EXPECT_EQ(calc->DisplayText(), c.display);
  }
}

TEST_F(CalculatorTest, DecimalPointFollowsTheLocale) {
  TFormatSettings settings = FormatSettings();
  settings.DecimalSeparator = ",";
  TFormatSettingsScope scope(settings);
  Type("1,5*2,");
  EXPECT_EQ(calc->DisplayText(), "2,");
  Type("5=");
  EXPECT_EQ(calc->DisplayText(), "3,75");
  EXPECT_DOUBLE_EQ(calc->Value(), 3.75);
}

TEST_F(CalculatorTest, SignChange) {
  struct Case {
    const char* keys;
    int signPresses;
    const char* display;
  };
  const Case cases[] = {
      {"", 1, "0"},      // zero has no sign
      {"12", 1, "-12"},  // the typed operand
      {"12", 2, "12"},
      {"3+4=", 1, "-7"},  // a result
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    calc->Clear();
    Type(c.keys);
    for (int i = 0; i < c.signPresses; ++i) {
      WinTesting::KeyPress(VK_F9);
      Application->ProcessMessages();
    }
    EXPECT_EQ(calc->DisplayText(), c.display);
  }
  calc->Clear();
  Type("12");
  WinTesting::KeyPress(VK_F9);
  Type("5+10=");
  EXPECT_EQ(calc->DisplayText(), "-115");
}

TEST_F(CalculatorTest, ClicksDriveTheSameMachine) {
  Click(cb9Eh);
  Click(cb6Eh);
  Click(cbDivideEh);
  EXPECT_EQ(calc->MainButtonCaption(), "=");
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), "=");
  Click(cb1Eh);
  Click(cb2Eh);
  Click(cbBackspaceEh);
  Click(cb6Eh);
  Click(cbSignEh);
  Click(cbEqualEh);
  EXPECT_EQ(calc->DisplayText(), "-6");
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), FormatSettings().OkCaption);
  Click(cbMultiplyEh);
  Click(cbDecimalEh);
  Click(cb5Eh);
  Click(cbEqualEh);
  EXPECT_EQ(calc->DisplayText(), "-3");
  Click(cbClearEh);
  EXPECT_EQ(calc->DisplayText(), "0");
}

TEST_F(CalculatorTest, MainButtonReadsOkUnlessAnOperationIsPending) {
  int oks = 0;
  calc->OnOk = [&](TObject* Sender) {
    EXPECT_EQ(Sender, calc);
    ++oks;
  };
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), FormatSettings().OkCaption);
  Type("2+");
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), "=");
  Type("3\n");  // Return finishes the operation first
  EXPECT_EQ(calc->DisplayText(), "5");
  EXPECT_EQ(oks, 0);
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), FormatSettings().OkCaption);
  Type("\n");
  EXPECT_EQ(oks, 1);
  Click(cbEqualEh);
  EXPECT_EQ(oks, 2);
  Type("=");  // "=" never takes the value
  EXPECT_EQ(oks, 2);
}

// The accept word is the locale's, as the month names of a calendar beside it are.
TEST_F(CalculatorTest, MainButtonSpeaksTheLocaleLanguage) {
  struct Case {
    const char* id;
    TFormatSettings locale;
    const char* accept;
  } cases[] = {
      {"chinese-defaults", TFormatSettings{}, "确定"},
      {"invariant", TFormatSettings::Invariant(), "OK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TFormatSettingsScope scope(c.locale);
    auto* own = new TCalculatorEh(form);
    own->SetParent(form);
    own->SetBounds(170, 10, 120, 150);
    EXPECT_EQ(own->Buttons(cbEqualEh)->Caption(), c.accept);
    own->SetFocus();
    Type("4*");
    EXPECT_EQ(own->Buttons(cbEqualEh)->Caption(), "=");
    Type("2\n");
    EXPECT_EQ(own->DisplayText(), "8");
    EXPECT_EQ(own->Buttons(cbEqualEh)->Caption(), c.accept);
    delete own;
  }
}

TEST_F(CalculatorTest, ErrorStateAndRecovery) {
  Type("1/0=");
  EXPECT_TRUE(calc->Error());
  EXPECT_EQ(calc->GetValue().VarType(), varError);
  EXPECT_EQ(calc->Buttons(cbEqualEh)->Caption(), FormatSettings().OkCaption);
  WinTesting::KeyPress(VK_F9);
  Type("\b");
  EXPECT_TRUE(calc->Error());
  WinTesting::KeyPress(VK_DELETE);
  Application->ProcessMessages();
  EXPECT_FALSE(calc->Error());
  EXPECT_EQ(calc->GetValue().VarType(), varDouble);
  EXPECT_DOUBLE_EQ(calc->GetValue().AsDouble(), 0);

  Type("1e");  // an unknown key changes nothing
  EXPECT_EQ(calc->DisplayText(), "1");
  calc->SetValue(Variant(1e300));
  Type("*=");  // overflow is an error too
  EXPECT_TRUE(calc->Error());
}

TEST_F(CalculatorTest, GetValueAndSetValue) {
  struct Case {
    Variant value;
    const char* display;
    bool error;
  };
  const Case cases[] = {
      {Variant::Null(), "0", false},
      {Variant(), "0", false},
      {Variant(12.5), "12.5", false},
      {Variant(int32_t{-7}), "-7", false},
      {Variant(std::string("3.25")), "3.25", false},
      {Variant(std::string("abc")), "Error", true},
      {Variant::FromError(1), "Error", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.display);
    Type("9+");  // something pending is cleared
    calc->SetValue(c.value);
    EXPECT_EQ(calc->DisplayText(), c.display);
    EXPECT_EQ(calc->Error(), c.error);
    EXPECT_EQ(calc->PendingOperation(), coNoneEh);
  }
  calc->SetValue(Variant(2.5));
  Type("4");  // a set value is replaced by typing
  EXPECT_EQ(calc->DisplayText(), "4");
  calc->SetValue(Variant(2.5));
  Type("*4=");
  const Variant v = calc->GetValue();
  EXPECT_EQ(v.VarType(), varDouble);
  EXPECT_DOUBLE_EQ(v.AsDouble(), 10.0);
}

TEST_F(CalculatorTest, DisplayIsPainted) {
  Type("8/0=");
  Application->ProcessMessages();
  const TRect r = calc->DisplayRect();
  HDC dc = GetDC(calc->Handle());
  // The window background of the display, and the error text in red somewhere in it.
  EXPECT_EQ(GetPixel(dc, r.Left + 2, r.Top + 2), ColorToRGB(clWindow));
  bool red = false;
  for (int x = r.Left + 1; x < r.Right - 1 && !red; ++x)
    for (int y = r.Top + 1; y < r.Bottom - 1 && !red; ++y) red = GetPixel(dc, x, y) == ColorToRGB(clRed);
  ReleaseDC(calc->Handle(), dc);
  EXPECT_TRUE(red);
}

// --- the drop-down calculator ---

class PopupCalculatorTest : public CalculatorTest {};

TEST_F(PopupCalculatorTest, OffersTheValueInterfaceAndClosesOnOk) {
  auto* popup = new TPopupCalculatorEh(form);
  popup->SetParent(form);
  IPopupCalculatorEh* intf = Supports<IPopupCalculatorEh>(popup);
  ASSERT_NE(intf, nullptr);
  EXPECT_EQ(intf->GetControl(), popup);
  EXPECT_FALSE(popup->Visible());
  EXPECT_FALSE(popup->TabStop());
  EXPECT_FALSE(intf->GetIsDropDown());

  std::vector<bool> closes;
  popup->OnCloseUp = [&](TObject*, bool Accept) { closes.push_back(Accept); };
  intf->SetValue(Variant(4.0));
  intf->SetFlat(true);
  EXPECT_TRUE(popup->Flat());
  EXPECT_TRUE(popup->Buttons(cb1Eh)->Flat());
  SetWindowPos(popup->Handle(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  popup->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(intf->GetIsDropDown());
  EXPECT_NE(GetWindowLong(popup->Handle(), GWL_STYLE) & WS_POPUP, 0);

  // The editor keeps the focus and forwards its keys.
  auto send = [&](char32_t ch) { SendMessage(popup->Handle(), WM_CHAR, ch, 0); };
  send(U'*');
  send(U'3');
  send(U'\r');  // finishes the pending operation
  EXPECT_TRUE(closes.empty());
  EXPECT_DOUBLE_EQ(intf->GetValue().AsDouble(), 12.0);
  send(U'\r');  // now accepting
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_TRUE(closes[0]);

  // A click on the calculator does not take the focus from the form's control.
  TSpeedButton* ok = popup->Buttons(cbEqualEh);
  const TPoint p = ok->ClientToScreen(TPoint{ok->Width() / 2, ok->Height() / 2});
  WinTesting::Click(POINT{p.X, p.Y});
  Application->ProcessMessages();
  EXPECT_EQ(closes.size(), 2u);
  EXPECT_NE(GetActiveWindow(), popup->Handle());

  send(U'/');
  send(U'0');
  send(U'=');
  EXPECT_EQ(intf->GetValue().VarType(), varError);
}

}  // namespace
