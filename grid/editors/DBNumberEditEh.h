#pragma once
// TCustomDBNumberEditEh: the data-aware editor for numbers. It holds its value as a Variant
// (Null or a double), regroups the text with the locale's thousands separator while the user
// types, filters typed characters, clamps to MinValue..MaxValue, cuts the value to
// DecimalPlaces, steps by Increment (arrow keys, wheel, up-down button) and drops a calculator
// down from its built-in button. Bad or out-of-range input never shows a message box: it is
// filtered and clamped.
//
// The free routines below are the editor's number text rules; they read the locale through the
// foundation's format-settings accessors and never raise.
#include <memory>
#include <string>

#include "grid/editors/DBEditEh.h"
#include "grid/foundation/CalculatorEh.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

// --- number text routines -----------------------------------------------------------------------

// 10 raised to N by repeated multiplication of 10.0 (1 for N <= 0).
Extended PowerOfTenEh(int N);
// V clamped by the editor's range rule: equal bounds mean no range; Min < Max clamps into
// [Min, Max]; Min > Max with Max = 0 keeps only the lower bound, with Min = 0 only the upper
// bound, otherwise no bound.
Extended ClampToRangeEh(Extended V, Extended MinValue, Extended MaxValue);
// V rounded to DecimalPlaces decimals (ties to even) where |V| x 10^DecimalPlaces fits a 64-bit
// integer; otherwise, and for more than 37 places or a value that is not finite, V unchanged.
Extended RoundToDecimalPlacesEh(Extended V, Cardinal DecimalPlaces);
// Only the decimal separator, "+", "-", digits and "E"/"e" are allowed; "+" and "-" alone read
// as 0. A number still being typed (a trailing "E", "E+" or "E-", or a separator with no digit
// yet) reads as what it has so far. The result must fit a double.
bool TryTextToNumberEh(const std::string& S, Extended& Value);
// A whole number, as a text set from code or a paste must hold: an optional sign, digits with
// at most one decimal separator (at least one digit), an optional exponent of "E", an optional
// sign and digits; finite and within a double. A number still being typed ("-", ".", "1E") is
// not whole, nor is any spelling of a non-finite value.
bool TryWholeNumberTextEh(const std::string& S, Extended& Value);
// A leading sign stays apart; the integer part ends before the first decimal separator or "E";
// with Group the thousands separator goes after every third integer digit from the right.
std::string InsertThousandSeparatorsEh(const std::string& S, bool Group);
// ",#." followed by one "0" for each currency decimal of the locale.
std::string CurrencyEditFormatEh();
// The edit format of a display format: only "#", ",", "." and "0" of the first section survive,
// quoted text is dropped, and the first "0" after "E+" is dropped (so "0.00E+00" gives "0.000").
std::string DisplayFormatToEditFormatEh(const std::string& Format);
// Trims blanks, removes thousands separators (when they differ from the decimal separator) and
// turns "." and "," that are neither separator into the decimal separator.
std::string NormalizeNumberTextEh(const std::string& S);
// The digits of S before its first decimal separator (and before an exponent).
int IntegerDigitCountEh(const std::string& S);
// The display text of a value: empty for Null; the display format when there is one; currency
// text with the locale's currency decimals (through floating point beyond the currency range);
// else the general float text.
std::string FormatNumberDisplayTextEh(const Variant& Value, const std::string& DisplayFormat,
                                      bool IsCurrency);

// --- the editor ----------------------------------------------------------------------------------

// Which of the field-following properties were set explicitly.
enum class TNumberEditAssignedValueEh { nevDisplayFormatEh, nevCurrencyEh, nevMaxValueEh, nevMinValueEh };
using enum TNumberEditAssignedValueEh;
using TNumberEditAssignedValuesEh = TSet<TNumberEditAssignedValueEh>;

class TCustomDBNumberEditEh : public TCustomDBEditEh {
  RTL_CLASS(TCustomDBNumberEditEh, TCustomDBEditEh)
 public:
  explicit TCustomDBNumberEditEh(TComponent* AOwner);
  ~TCustomDBNumberEditEh() override;

  // Decimals the value is cut to (default 2); more than 37 leaves the value as it is.
  Cardinal DecimalPlaces() const { return decimalPlaces_; }
  void SetDecimalPlaces(Cardinal Value);
  // The own format when assigned, else the field's (numeric and date-time fields).
  std::string DisplayFormat() const;
  void SetDisplayFormat(const std::string& Value);
  bool IsDisplayFormatStored() const { return assigned_.Contains(nevDisplayFormatEh); }
  // Shown as money: the own flag when assigned, else the field's (float and BCD fields).
  bool IsCurrency() const;
  void SetCurrency(bool Value);
  bool IsCurrencyStored() const { return assigned_.Contains(nevCurrencyEh); }
  // The step of the arrow keys, the wheel and the up-down button (default 1).
  Extended Increment() const { return increment_; }
  void SetIncrement(Extended Value) { increment_ = Value; }
  // The own bounds when assigned, else the field's (integer, float and BCD fields). Clamping
  // uses the own bounds only (0 when not assigned).
  Extended MinValue() const;
  void SetMinValue(Extended Value);
  bool IsMinValueStored() const { return assigned_.Contains(nevMinValueEh); }
  Extended MaxValue() const;
  void SetMaxValue(Extended Value);
  bool IsMaxValueStored() const { return assigned_.Contains(nevMaxValueEh); }
  // The format of the text while editing, derived on every data change.
  const std::string& EditFormat() const { return editFormat_; }
  // True while the calculator is showing.
  bool CalculatorDroppedDown() const { return calculatorDown_; }

  // The display text of the current value.
  virtual std::string FormatDisplayText();
  // The drop-down calculator, made on first use (owned by the editor, hidden, parented to it).
  virtual TPopupCalculatorEh* GetCalculator();
  // Steps the value by Increment (up or down); a Null value becomes Increment either way.
  void IncrementValue(bool Up);
  // Range clamp by the own bounds, then the cut to DecimalPlaces.
  Extended CheckValue(Extended V) const;

  TCloseUpEventEh OnCloseUp;
  TNotifyEvent OnDropDown;

  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void WMPaste(TMessage& Message) override;
  void CMCancelMode(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Change() override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  std::unique_ptr<TEditButtonEh> CreateEditButton() override;
  TAlignment DefaultAlignment() const override;
  Variant GetVariantValue() override;
  bool IsValidChar(char32_t Key) override;
  void ButtonDropDown(bool TopButton) override;
  void CloseUp(bool Accept) override;
  void DataChanged() override;
  void DropDown() override;
  void InternalSetText(const std::string& AText) override;
  void SetVariantValue(const Variant& V) override;
  void WriteValueToField() override;

  // Regroups S with thousands separators and writes it when it differs, keeping the caret at
  // the same distance from the end of the text.
  void ReformatEditText(std::string S);
  // Reads the value from the text (clamped, cut to DecimalPlaces); the text is not rewritten.
  void UpdateValueFromText();

 private:
  void SetNumberText(const std::string& S);
  void CalculatorCloseUp(TObject* Sender, bool Accept);
  bool IsCalculatorWindow(HWND Wnd);
  bool IsCalculatorControl(TControl* Control);

  TNumberEditAssignedValuesEh assigned_;
  bool currency_ = false;
  bool calculatorDown_ = false;
  Cardinal decimalPlaces_ = 2;
  std::string displayFormat_;
  TPopupCalculatorEh* calculator_ = nullptr;  // owned by the editor as a component
  std::string editFormat_;
  Extended increment_ = 1.0L;
  Extended minValue_ = 0;
  Extended maxValue_ = 0;
  bool internalText_ = false;
  bool inDataChanged_ = false;
  // The text could not be read as a number (pasted junk, or a paste that is no whole number):
  // writing it raises the conversion error and leaves the field as it was.
  bool textInvalid_ = false;
  TAlignment windowAlignment_ = taLeftJustify;
  Variant value_ = Variant::Null();
};

// The published number editor.
class TDBNumberEditEh : public TCustomDBNumberEditEh {
  RTL_CLASS(TDBNumberEditEh, TCustomDBNumberEditEh)
 public:
  explicit TDBNumberEditEh(TComponent* AOwner) : TCustomDBNumberEditEh(AOwner) {}
  static void DescribeClass(TClassBuilder<TDBNumberEditEh>& c);
};

// Registers the classes of this unit for descriptions.
void RegisterDBNumberEditClasses();
