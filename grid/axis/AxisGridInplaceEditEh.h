#pragma once
// The axis grid's cell editor: the base grid's in-place edit with an edit style chosen per cell
// from the column and its field, a row of edit buttons at the right edge, drop-down windows
// (pick list, lookup list, calendar, calculator, MRU list, drop-down forms), type-ahead against
// pick lists and lookup data sets, keys for opening, closing, clearing and stepping values, and
// an image left of the text. The editor never owns the value: it reads the column's editor text
// and keeps the grid's edit text and edit key value current; the grid writes the field.
//
// Files: AxisGridInplaceEditEh.cpp (creation, style and contents, the button row, button
// clicks, stepping, the image part, focus and mouse), AxisGridInplaceEditKeysEh.cpp (WndProc
// and KeyDown rules, KeyPress, type-ahead, paste), AxisGridInplaceEditDropDownEh.cpp (DropDown,
// CloseUp, the list filter), AxisGridInplaceEditFormEh.cpp (the drop-down form call),
// AxisGridInplaceEditMRUEh.cpp (the MRU drop-down).
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/axis/AxisBarEh.h"
#include "grid/foundation/CalculatorEh.h"
#include "grid/foundation/DropDownFormEh.h"
#include "grid/foundation/EditButtonsEh.h"
#include "grid/foundation/InplaceEditEh.h"
#include "grid/foundation/MRUListEh.h"
#include "grid/foundation/PopupListboxEh.h"
#include "grid/foundation/PopupMonthCalendarEh.h"
#include "platform/db/DB.h"
#include "platform/vcl/ExtCtrls.h"

class TCustomDBAxisGridEh;

// What the drop-down form call hands the close callback: the column and the call parameters.
class TAxisGridDropDownFormSysParams : public TDropDownFormSysParams {
  RTL_CLASS(TAxisGridDropDownFormSysParams, TDropDownFormSysParams)
 public:
  TAxisGridDropDownFormSysParams() = default;
  TAxisBarEh* Column = nullptr;
  TDropDownFormCallParamsEh* CallParams = nullptr;
  // The call used the column's own parameters (not an extra edit button's).
  bool ColumnParams = false;
};

class TDBAxisGridInplaceEdit : public TInplaceEdit {
  RTL_CLASS(TDBAxisGridInplaceEdit, TInplaceEdit)
 public:
  explicit TDBAxisGridInplaceEdit(TComponent* AOwner);
  ~TDBAxisGridInplaceEdit() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The owning grid, and its column at the selected index (nullptr when out of range).
  TCustomDBAxisGridEh* GetGrid() const;
  TAxisBarEh* GetColumn() const;

  TInplaceEditStyleEh EditStyle() const { return editStyle_; }
  TInplaceEditStyleEh ColumnEditStyle() const { return columnEditStyle_; }
  // The drop-down window bound to the current style; nullptr when it has none.
  TWinControl* ActiveList() const { return activeList_; }
  // The lookup list while the style is esDataListEh.
  ILookupGridEh* DataList() const { return dataList_; }
  bool ListShown() const { return listShown_; }
  bool ListVisible() const { return listVisible_; }
  bool MultiLine() const { return multiLine_; }
  int ImageIndex() const { return imageIndex_; }
  bool InCloseUp() const { return inCloseUp_; }
  TDataSource* ListDataSource() const { return listDataSource_; }
  // Made on first use.
  TPopupListboxEh* PickListBox() const { return pickListBox_; }
  TPopupMonthCalendarEh* Calendar() const { return calendar_; }
  TPopupCalculatorEh* Calculator() const { return calculator_; }
  TMRUListboxEh* MRUListBox() const { return mruListBox_; }
  // Entry 0 is the main button (nullptr edit button); entries 1.. mirror the column's buttons.
  const std::vector<std::pair<TEditButtonEh*, TEditButtonControlEh*>>& EditButtonControls() const {
    return editButtonControls_;
  }
  // The width the button row takes at the right edge.
  int ButtonRowWidth() const;

  void UpdateContents() override;
  void BoundsChanged() override;
  void Invalidate() override;

  virtual void UpdateImageIndex();
  virtual TEditButtonControlEh* CreateEditButtonControl();
  virtual TMRUListboxEh* CreateMRUListBox();
  virtual TPopupCalculatorEh* CreateCalculator();
  // Steps the field by the column's Increment (down: the negative step).
  virtual void StepValue(bool Down);
  virtual TRect CalcEditRect();
  virtual void TypeAheadKey(char32_t Key);
  // Opens the drop-down of the current style; nothing when one is open or the style has none.
  virtual void DropDown();
  void CloseUp(bool Accept);
  virtual void EditButtonClick(TObject* Sender);
  virtual void EditButtonDown(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled);
  // Opens the drop-down form of an extra button (EditButton) or of the column (nullptr).
  virtual void ShowDropDownForm(TEditButtonEh* EditButton, TEditButtonControlEh* ButtonControl,
                                bool& Handled);
  virtual void EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  virtual void EditButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void FilterMRUItem(const std::string& Item, bool& Accept);
  virtual void SaveMRUListSize();
  virtual void MRUListChanged();
  // Filters the lookup list's data set by Text (drop-down boxes with ListSourceAutoFilter).
  void ApplyListFilter(const std::string& Text);
  void PaintImage();
  // The wheel over the editor or its grid: moves the open list, or steps an up-down cell; false
  // when it does neither.
  bool WheelStep(bool Down);
  // The MRU drop-down under the editor with the items that begin with the text.
  void ShowMRUList();
  void CloseMRUList(bool Accept);

 protected:
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  // The image part, then the inherited painting; the data grid adds to it.
  virtual void PaintWindow(HDC DC);
  // After the text: where the data grid draws its required-field mark (nothing here).
  virtual void PaintAfterText(HDC DC) {}
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  virtual void WMPaste(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMPaint(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void CMCancelMode(TMessage& Message);
  virtual void CNCommand(TMessage& Message);
  // Typing offers the column's MRU items (AxisGridInplaceEditMRUEh.cpp).
  void Change() override;

  // The grid's edit text and key value follow the editor's text (lookup: through Locate).
  void DeriveEditValueFromText();
  // The drop-down keys of the list styles; true when the message was consumed.
  bool HandleListKeyMessage(TMessage& Message);
  void BindActiveList();
  void RebuildButtonControls();
  void PickListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void DataListCloseUp(TObject* Sender, bool Accept);
  // A day picked with the mouse closes the calendar, accepting it.
  void CalendarDayPicked(TObject* Sender);
  void CalculatorCloseUp(TObject* Sender, bool Accept);
  void ListColumnMoved(TObject* Sender);
  void DropDownFormClosed(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                          TDropDownFormSysParams* SysParams);

  TWinControl* activeList_ = nullptr;
  ILookupGridEh* dataList_ = nullptr;
  bool listShown_ = false;
  std::vector<std::pair<TEditButtonEh*, TEditButtonControlEh*>> editButtonControls_;
  TInplaceEditStyleEh editStyle_ = esSimpleEh;
  bool listColumnsMoved_ = false;
  bool inCloseUp_ = false;
  TDataSource* listDataSource_ = nullptr;  // owned by the editor
  TMRUListEh* mruList_ = nullptr;
  TMRUListboxEh* mruListBox_ = nullptr;
  TPopupListboxEh* pickListBox_ = nullptr;
  TPopupCalculatorEh* calculator_ = nullptr;
  TPopupMonthCalendarEh* calendar_ = nullptr;
  bool multiLine_ = false;
  TInplaceEditStyleEh columnEditStyle_ = esSimpleEh;
  int imageIndex_ = -1;
  TPanel* hostPanel_ = nullptr;  // owned by the editor
  std::unique_ptr<TControlCanvas> canvas_;
  bool listVisible_ = false;
  bool dropDownFormPending_ = false;
  bool mruClosing_ = false;  // the MRU choice is being put into the text

 private:
  // The type-ahead completion of the text up to the selection followed by Typed (a key or the
  // clipboard's line).
  void CompleteTypedText(const std::u32string& Typed);
  // After a key went to the open list, the editor shows the list's current entry.
  void FollowOpenList();
  // After the text changed by a key, an open list shows the grid's edit value.
  void FollowTypedValue();
  // A key shortened the text of a keyed cell: the editor and the grid's edit value take it.
  void TakeShortenedText(const std::string& Value, int Caret);
  void SetGridEditText(const std::string& Value);
  // A drop-down (List) that holds the focus hands it back to the editor, the grid keeping it.
  void TakeFocusBackFrom(TWinControl* List);
  void CMTextChanged(TMessage& Message) override;
  // The lookup list's component, for its free notification.
  TComponent* dataListComponent_ = nullptr;
  // The WM_CHAR of an Enter or Escape that closed a list is not typed.
  bool swallowChar_ = false;
};
