#pragma once
// A four-function calculator (digits, decimal point, + - * /, =, sign change, clear and
// backspace) driven by key strokes and by clicks on its buttons, and its drop-down form that
// the number editor opens below itself.
#include <array>
#include <string>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Controls.h"

// The buttons of the calculator. The main button (cbEqualEh) reads "=" while an operation is
// pending and the locale's accept word (FormatSettings().OkCaption) when the shown value is
// ready to be taken.
enum TCalcButtonKindEh {
  cb0Eh,
  cb1Eh,
  cb2Eh,
  cb3Eh,
  cb4Eh,
  cb5Eh,
  cb6Eh,
  cb7Eh,
  cb8Eh,
  cb9Eh,
  cbDecimalEh,
  cbPlusEh,
  cbMinusEh,
  cbMultiplyEh,
  cbDivideEh,
  cbEqualEh,
  cbSignEh,
  cbClearEh,
  cbBackspaceEh
};
constexpr int CalcButtonCountEh = cbBackspaceEh + 1;

enum TCalcOperationEh { coNoneEh, coAddEh, coSubtractEh, coMultiplyEh, coDivideEh };

class TCalculatorEh : public TCustomControl {
  RTL_CLASS(TCalculatorEh, TCustomControl)
 public:
  explicit TCalculatorEh(TComponent* AOwner);
  ~TCalculatorEh() override;
  static void DescribeClass(TClassBuilder<TCalculatorEh>& c);

  // The shown number (0 in the error state).
  double Value() const;
  // Clears, then shows Value as a result.
  void SetValue(double Value);
  // The shown number as a double Variant; an error Variant in the error state.
  Variant GetValue() const;
  // Clears, then shows the value: Null and Empty show 0, an error Variant or a value that is
  // not a number shows the error state.
  void SetValue(const Variant& Value);

  // The display's text, with the locale's decimal separator; "Error" in the error state.
  std::string DisplayText() const;
  bool Error() const { return error_; }
  TCalcOperationEh PendingOperation() const { return pending_; }
  // "=" while an operation is pending, else the locale's accept word.
  std::string MainButtonCaption() const;
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TSpeedButton* Buttons(TCalcButtonKindEh Kind) const { return buttons_[Kind]; }
  // Where the display is drawn (client coordinates).
  TRect DisplayRect();

  // What a click on that button does.
  virtual void PressButton(TCalcButtonKindEh Kind);
  // Back to 0 with nothing pending and no error.
  void Clear();

  // The main button was pressed (or Enter typed) while it accepts.
  TNotifyEvent OnOk;
  // The display changed.
  TNotifyEvent OnDisplayChange;

  // Characters: digits, "." and "," (decimal point), + - * /, "=" and Enter (the main button),
  // Backspace, Escape and "c" (clear). Keys: Delete clears, F9 changes the sign.
  void KeyPress(char32_t& Key) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void Paint() override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void DoOk();
  void UpdateMainButton();
  void LayoutButtons();

 private:
  void ButtonClick(TObject* Sender);
  void EnterDigit(int Digit);
  void EnterDecimal();
  void Backspace();
  void ChangeSign();
  void Operation(TCalcOperationEh Op);
  void Equal();
  // Applies the pending operation to the accumulator and the shown operand; false on error.
  bool ApplyPending();
  void SetResult(double Value);
  void SetError();
  // The shown operand as a number.
  double Operand() const;
  void Changed();

  std::array<TSpeedButton*, CalcButtonCountEh> buttons_{};
  // Typed text of the operand being entered ("-12.5"), with "." as decimal point.
  std::string entry_ = "0";
  // True while the operand is being typed; false while a result (value_) is shown.
  bool entering_ = true;
  double value_ = 0;
  double accumulator_ = 0;
  TCalcOperationEh pending_ = coNoneEh;
  // The next digit starts a new operand (after an operator, = or a result).
  bool startNew_ = true;
  bool error_ = false;
  bool flat_ = false;
};

// The calculator's value interface, as the number editor uses it. GetValue answers the shown
// number as a double Variant, an error Variant in the error state; SetValue clears and shows.
class IPopupCalculatorEh : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{697F81AD-0E0F-4A4A-A016-A713620660DE}");

  // The calculator's window, for placing and showing it.
  virtual TWinControl* GetControl() = 0;
  // The calculator is shown.
  virtual bool GetIsDropDown() = 0;
  virtual Variant GetValue() = 0;
  virtual void SetFlat(bool Value) = 0;
  virtual void SetValue(const Variant& Value) = 0;

 protected:
  ~IPopupCalculatorEh() override = default;
};

using TCloseUpEventEh = TEvent<void(TObject* Sender, bool Accept)>;

// The calculator dropped below an editor: a pop-up window without a tab stop, with a 3-D
// frame. Enter while the main button accepts, or a click on it then, closes it with the value
// (OnCloseUp with Accept True); the editor hides it.
class TPopupCalculatorEh : public TCalculatorEh, public IPopupCalculatorEh {
  RTL_CLASS(TPopupCalculatorEh, TCalculatorEh)
  RTL_INTERFACES(IPopupCalculatorEh)
 public:
  explicit TPopupCalculatorEh(TComponent* AOwner);

  TWinControl* GetControl() override { return this; }
  bool GetIsDropDown() override;
  Variant GetValue() override { return TCalculatorEh::GetValue(); }
  void SetFlat(bool Value) override { TCalculatorEh::SetFlat(Value); }
  void SetValue(const Variant& Value) override { TCalculatorEh::SetValue(Value); }

  TCloseUpEventEh OnCloseUp;

  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void DoOk() override;
};
