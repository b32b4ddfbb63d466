#pragma once
// TCustomDBCheckBoxEh and TDBCheckBoxEh: a self-painted, data-aware check box. The field's value
// maps to three states through two ";"-separated value lists (or, for a Boolean field with the
// default lists, through its Boolean value); without a data source and field name the check box
// keeps its value itself, as a Boolean Variant in its data link.
#include <memory>
#include <string>

#include "grid/data/DynVarsEh.h"
#include "grid/editors/FieldDataLinkEh.h"
#include "platform/db/DB.h"
#include "platform/rtl/Event.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/StdCtrls.h"

// True when Text matches an item of the ";"-separated List (items trimmed, compared without
// case by the locale); an empty Text also matches an empty List or one that ends with ";".
bool CheckBoxValueInListEh(const std::string& List, const std::string& Text);
// The first item of a ";"-separated list, trimmed ("" for an empty list).
std::string CheckBoxFirstValueEh(const std::string& List);

class TCustomDBCheckBoxEh : public TButtonControl {
  RTL_CLASS(TCustomDBCheckBoxEh, TButtonControl)
 public:
  explicit TCustomDBCheckBoxEh(TComponent* AOwner);
  ~TCustomDBCheckBoxEh() override;

  // The texts the value lists start with; a Boolean field is read by its value while both
  // lists keep them.
  static constexpr const char* DefaultValueChecked = "True";
  static constexpr const char* DefaultValueUnchecked = "False";

  // --- properties ---
  // taRightJustify: the caption right of the box.
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight Value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  // The box frame shows even while the mouse is elsewhere (not with themes).
  bool AlwaysShowBorder() const { return alwaysShowBorder_; }
  void SetAlwaysShowBorder(bool Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TCheckBoxState State() const { return state_; }
  // Bound: puts the data set into edit state through the link (nothing without a data set),
  // shows the state and writes it (through OnUpdateData or to the field). At design time only
  // an unbound check box takes a state.
  void SetState(TCheckBoxState Value);
  bool Checked() override { return state_ == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  const std::string& ValueChecked() const { return valueChecked_; }
  void SetValueChecked(const std::string& Value);
  const std::string& ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(const std::string& Value);

  const std::string& DataField() const { return dataLink_->FieldName(); }
  void SetDataField(const std::string& Value) { dataLink_->SetFieldName(Value); }
  TDataSource* DataSource() const { return dataLink_->DataSource(); }
  void SetDataSource(TDataSource* Value);
  bool ReadOnly() const { return dataLink_->ReadOnly(); }
  void SetReadOnly(bool Value) { dataLink_->SetReadOnly(Value); }
  TField* Field() const { return dataLink_->Field(); }
  TFieldDataLinkEh* DataLink() const { return dataLink_.get(); }
  TDynVarsEh* DynProps() const { return dynProps_.get(); }
  void SetDynProps(TDynVarsEh* Value) { dynProps_->Assign(Value); }
  TCanvas* Canvas() const { return canvas_.get(); }

  // The state changed since the value was last read.
  bool Modified() const { return modified_; }
  bool MouseOver() const { return mouseOver_; }
  bool SpaceDown() const { return spaceDown_; }

  // The state the field (or the link's own value) stands for.
  TCheckBoxState GetFieldState();
  virtual bool IsDataIndependent() const { return dataLink_->DataIndependent(); }

  // Lets the owner write the state itself: set Handled to keep it from the field.
  TEvent<void(TObject* Sender, bool& Handled)> OnUpdateData;

  // --- overrides ---
  void DefineProperties(TFiler& Filer) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void CreateWnd() override;
  void PaintWindow(HDC DC) override;
  // The mouse click toggles; the click event itself comes from the state change.
  void Click() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // --- message handlers ---
  void WMPaint(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMCancelMode(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  virtual void CMWantSpecialKey(TMessage& Message);
  virtual void CNCommand(TMessage& Message);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Draws the current state (a painted copy shows the field's state, neither hot nor pressed).
  virtual void Paint();
  virtual void PaintCaption(const TRect& CaptionRect);
  virtual void PaintCheckBoxRect(const TRect& BoxRect, TCheckBoxState AState, bool Pressed, bool Hot);
  // Places the box and the caption and paints both.
  virtual void PaintContent(TCheckBoxState AState, bool Pressed, bool Hot);
  // Shows a state without writing it; a change clicks (unless clicks are disabled) and marks
  // the check box modified.
  virtual void InternalSetState(TCheckBoxState Value);
  virtual void WriteStateToField();
  // Once the link is editing: Unchecked -> Grayed -> Checked -> Unchecked, where Grayed takes
  // part only when GrayedInToggleCycle allows it; a shown Grayed (a value in neither list) is
  // followed by Checked.
  virtual void Toggle();
  // Grayed writes a Null, so it belongs to the cycle only when AllowGrayed is set and the field
  // can keep a Null that reads back as grayed: always unbound, for a Boolean field read by its
  // value and for a field whose empty text (what a Null shows) is in neither list; never for a
  // required field, which refuses the Null on posting. Otherwise the Null would show as
  // Unchecked (or Checked), every click would land there again and the stored text would be
  // replaced by the Null, so the cycle is Unchecked <-> Checked.
  bool GrayedInToggleCycle();
  // OnUpdateData, and unless it handled the value, WriteStateToField.
  virtual void UpdateDataWithEvent();

  // The rectangles PaintContent uses.
  TRect CheckBoxRect();
  TRect CaptionRect(const TRect& BoxRect);

 private:
  void DataChange(TObject* Sender);
  // A Boolean field with both lists at their defaults is read by its value, not its text.
  bool ReadsBooleanValue(const TField* F) const;
  // The state a field text stands for through the value lists.
  TCheckBoxState StateOfText(const std::string& Text) const;
  void LinkUpdateData(TObject* Sender);

  TLeftRight alignment_ = taRightJustify;
  bool allowGrayed_ = false;
  bool alwaysShowBorder_ = false;
  std::unique_ptr<TDynVarsEh> dynProps_;
  std::unique_ptr<TFieldDataLinkEh> dataLink_;
  bool flat_ = false;
  bool modified_ = false;
  bool mouseOver_ = false;
  TCheckBoxState state_ = cbUnchecked;
  std::string valueChecked_ = DefaultValueChecked;
  std::string valueUnchecked_ = DefaultValueUnchecked;
  std::unique_ptr<TControlCanvas> canvas_;
  bool inUpdateEvent_ = false;
  bool spaceDown_ = false;
};

class TDBCheckBoxEh : public TCustomDBCheckBoxEh {
  RTL_CLASS(TDBCheckBoxEh, TCustomDBCheckBoxEh)
 public:
  explicit TDBCheckBoxEh(TComponent* AOwner) : TCustomDBCheckBoxEh(AOwner) {}
  static void DescribeClass(TClassBuilder<TDBCheckBoxEh>& c);
};

// Makes both classes findable by name for window descriptions (also done at start-up).
void RegisterDBCheckBoxClasses();
