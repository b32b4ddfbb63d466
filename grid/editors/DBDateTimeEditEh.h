#pragma once
// TCustomDBDateTimeEditEh: the data-aware editor of dates and times. Its value is a Variant
// holding a date-time or Null. It edits through a mask built from an edit format
// (DateTimeFormatEh.h), steps the section under the caret with the arrow keys, the mouse wheel
// or an up-down button, and drops down a month calendar.
#include <memory>
#include <string>

#include "grid/editors/DBEditEh.h"
#include "grid/editors/DateTimeFormatEh.h"
#include "grid/foundation/PopupMonthCalendarEh.h"

enum TDateTimeKindEh { dtkDateEh, dtkTimeEh, dtkDateTimeEh, dtkCustomEh };
RTL_ENUM_INFO(TDateTimeKindEh, "dtkDateEh", "dtkTimeEh", "dtkDateTimeEh", "dtkCustomEh");

using TCloseUpEventEh = TEvent<void(TObject* Sender, bool Accept)>;

class TCustomDBDateTimeEditEh : public TCustomDBEditEh {
  RTL_CLASS(TCustomDBDateTimeEditEh, TCustomDBEditEh)
 public:
  explicit TCustomDBDateTimeEditEh(TComponent* AOwner);
  ~TCustomDBDateTimeEditEh() override;

  // dtkDateEh, dtkTimeEh and dtkDateTimeEh choose the edit format; dtkCustomEh keeps EditFormat.
  TDateTimeKindEh Kind() const { return kind_; }
  void SetKind(TDateTimeKindEh Value);
  // Setting it switches Kind to dtkCustomEh; a malformed format raises and changes nothing.
  const std::string& EditFormat() const { return editFormat_; }
  void SetEditFormat(const std::string& Value);
  // The FormatDateTime format derived from EditFormat.
  const std::string& DisplayFormat() const { return displayFormat_; }
  const TDateTimeElementsEh& Elements() const { return elements_; }
  bool FourDigitYear() const { return fourDigitYear_; }

  // The drop-down calendar: nullptr until first dropped down.
  TPopupMonthCalendarEh* Calendar() const { return calendar_; }
  bool CalendarDropped() const { return calendarDropped_; }

  void DropDown() override;
  void CloseUp(bool Accept) override;
  // Completes the typed parts (missing ones from today, out-of-range ones clamped) and rewrites
  // the text from the value.
  void ValidateEdit() override;

  TCloseUpEventEh OnCloseUp;
  TNotifyEvent OnDropDown;

  void DefineProperties(TFiler& Filer) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  // A paste whose text the mask cannot take whole, or that leaves parts forming no date, is
  // refused with a beep: the text and the value stay as they were.
  void WMPaste(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMWantSpecialKey(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;

 protected:
  virtual void UpdateFourDigitYear();
  virtual void UpdateEditFormat();

  Variant GetVariantValue() override;
  void SetVariantValue(const Variant& V) override;
  void InternalSetText(const std::string& AText) override;
  void WriteValueToField() override;
  void DataChanged() override;
  void Change() override;
  std::string GetPaintText() override;
  void FilterMRUItem(const std::string& AText, bool& Accept) override;
  void ButtonDropDown(bool TopButton) override;
  void EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) override;
  std::unique_ptr<TEditButtonEh> CreateEditButton() override;

  void WMMouseWheel(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void CMCancelMode(TMessage& Message) override;

  // Steps the section at the caret up or down and selects it; False when there is none.
  bool StepSectionAtCaret(bool Up);
  // Selects the section after the next occurrence of Separator in the text (or the first one).
  void MoveToNextSection(char32_t Separator);

 private:
  // Sets the edit text without the change reaction.
  void SetTextGuarded(const std::string& AText);
  // The value formatted for the edit (empty for Null).
  std::string ValueToText(const Variant& V) const;
  // The value the current text stands for (not completed); Null when it forms none.
  Variant TextToValue(const std::string& AText) const;
  // Lays Clip over [SelStart, SelStop) of the edit text EditText as a paste into the mask
  // does, leaving SelStart at the caret after it. True when the mask took every character and
  // the text is blank (Value Null) or forms a value without completion.
  bool LayIntoMask(std::string& EditText, int& SelStart, int SelStop, const std::string& Clip,
                   Variant& Value) const;
  // Re-reads the value from the link after the format changed.
  void ReReadValue();
  bool HasMask() const { return !EditMask().empty(); }
  void CalendarPicked(TObject* Sender);
  bool IsCalendarWindow(HWND Wnd) const;

  TPopupMonthCalendarEh* calendar_ = nullptr;  // owned by the editor as a component
  bool calendarDropped_ = false;
  bool inValidate_ = false;
  // The Enter or Escape that closed the calendar also sends a character, which is dropped.
  bool swallowChar_ = false;
  int inSetText_ = 0;
  TDateTimeKindEh kind_ = dtkDateEh;
  Variant value_ = Variant::Null();
  std::string editFormat_;
  std::string displayFormat_;
  TDateTimeElementsEh elements_{};
  bool fourDigitYear_ = false;
};

class TDBDateTimeEditEh : public TCustomDBDateTimeEditEh {
  RTL_CLASS(TDBDateTimeEditEh, TCustomDBDateTimeEditEh)
 public:
  explicit TDBDateTimeEditEh(TComponent* AOwner) : TCustomDBDateTimeEditEh(AOwner) {}
  static void DescribeClass(TClassBuilder<TDBDateTimeEditEh>& c);
};

// Registers the classes of this unit for descriptions.
void RegisterDBDateTimeEditClasses();
