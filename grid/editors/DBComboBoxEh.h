#pragma once
// TCustomDBComboBoxEh: the combo box of the editor family. Text mode (KeyItems empty): the
// editor holds free text and Items offers completions and a drop-down list. Key mode (KeyItems
// not empty): the value is a key of KeyItems and the editor shows the Items entry at the same
// index; only items can be chosen, by the list, the arrow keys, the mouse wheel or type-ahead.
// TDBComboBoxEh publishes it.
#include <cstdint>
#include <memory>
#include <string>

#include "grid/data/SharedTypesEh.h"
#include "grid/editors/DBEditEh.h"
#include "grid/foundation/DropDownFormEh.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Variant.h"

class TCustomDBComboBoxEh;

using TCloseUpEventEh = TEvent<void(TObject* Sender, bool Accept)>;
// OnNotInList: the text that is not among Items; RecheckInList asks the editor to look again.
using TNotInListEventEh = TEvent<void(TObject* Sender, const std::string& NewText, bool& RecheckInList)>;
// Why the text changed by the user's hand: typed (or pasted) text, or an item chosen in the list.
enum class TComboBoxChangeReasonEh : uint8_t { ccrTextTypedEh, ccrListItemChosenEh };
using enum TComboBoxChangeReasonEh;
using TComboBoxChangeNotifyEventEh = TEvent<void(TObject* Sender, TComboBoxChangeReasonEh Reason)>;

// The settings of the drop-down list of a combo box.
class TDropDownBoxEh : public TPersistent {
  RTL_CLASS(TDropDownBoxEh, TPersistent)
 public:
  explicit TDropDownBoxEh(TPersistent* AOwner = nullptr) : owner_(AOwner) {}
  static void DescribeClass(TClassBuilder<TDropDownBoxEh>& c);
  // From another TDropDownBoxEh: Align, Rows, Width and Sizable.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  TDropDownAlign Align() const { return align_; }
  void SetAlign(TDropDownAlign Value) { align_ = Value; }
  // Typing a character drops the list.
  bool AutoDrop() const { return autoDrop_; }
  void SetAutoDrop(bool Value) { autoDrop_ = Value; }
  int Rows() const { return rows_; }
  void SetRows(int Value) { rows_ = Value; }
  // The list shows a size grip.
  bool Sizable() const { return sizable_; }
  void SetSizable(bool Value) { sizable_ = Value; }
  // 0: the editor's width; -1: as wide as the widest item; positive: that width. The list is
  // never narrower than the editor.
  int Width() const { return width_; }
  void SetWidth(int Value) { width_ = Value; }

 private:
  TPersistent* owner_;
  TDropDownAlign align_ = daLeft;
  bool autoDrop_ = false;
  int rows_ = 7;
  bool sizable_ = false;
  int width_ = 0;
};

class TCustomDBComboBoxEh : public TCustomDBEditEh {
  RTL_CLASS(TCustomDBComboBoxEh, TCustomDBEditEh)
 public:
  explicit TCustomDBComboBoxEh(TComponent* AOwner);
  ~TCustomDBComboBoxEh() override;

  TDropDownBoxEh* DropDownBox() const { return dropDownBox_.get(); }
  void SetDropDownBox(TDropDownBoxEh* Value) { dropDownBox_->Assign(Value); }
  // -1 when no item is selected. Writing is a value entry: unless data-independent the data set
  // is put into edit state through the link, then the item is taken and written.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int Value);
  // The shown texts; lookups by text ignore case.
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  // The keys; lookups respect case. Not empty: key mode.
  TStrings* KeyItems() const { return keyItems_.get(); }
  void SetKeyItems(TStrings* Value) { keyItems_->Assign(Value); }
  // Items.Count in text mode; the smaller of both counts in key mode.
  int ItemCount() const { return itemCount_; }
  bool KeyMode() const { return keyMode_; }

  // The drop-down list, made on first use; nullptr before.
  TPopupListboxEh* PopupListbox() const { return popupListbox_; }
  bool ListVisible() const;
  // The class of the list to make (a TPopupListboxEh descendant); nullptr: TPopupListboxEh.
  TClass PopupListboxClass() const { return popupListboxClass_; }
  void SetPopupListboxClass(TClass Value) { popupListboxClass_ = Value; }

  TCloseUpEventEh OnCloseUp;
  // Asked while the list closes, before the choice is taken: may change Accept.
  TEvent<void(TObject* Sender, bool& Accept)> OnCloseUpRequest;
  TNotifyEvent OnDropDown;
  TGetItemImageIndexEventEh OnGetItemImageIndex;
  TNotInListEventEh OnNotInList;
  // After a change the user made; text set from code does not fire it.
  TComboBoxChangeNotifyEventEh OnChangeNotify;
  // Fired before the items are needed while Items is empty: the host fills them on demand.
  TNotifyEvent OnGetItemsList;

  void UpdateData() override;
  void Clear() override;
  void CloseUp(bool Accept) override;
  void DropDown() override;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void CMWantSpecialKey(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMPaste(TMessage& Message) override;

 protected:
  // New virtual operations, in slot order.
  virtual std::unique_ptr<TDropDownBoxEh> CreateDropDownBox();
  // Selects the first item equal to Text ignoring case (Partial: that begins with it); True
  // when ItemIndex changed.
  virtual bool LocateItem(const std::string& Text, bool Partial);
  // Completes the text before the caret followed by Text from Items.
  virtual bool TypeAhead(const std::string& Text);
  virtual void RequestItems();
  virtual void SetItemIndexInternal(int Index);
  virtual TColor GetListColor();
  virtual TFont* GetListFont();
  // Steps to the next item (Up: the previous one).
  virtual void SelectNextItem(bool Up);

  // Overrides of the base editor.
  Variant GetVariantValue() override;
  void SetVariantValue(const Variant& V) override;
  void InternalSetText(const std::string& AText) override;
  void WriteValueToField() override;
  void DataChanged() override;
  TAlignment DefaultAlignment() const override;
  bool IsValidChar(char32_t Key) override;
  void UpdateEditReadOnly() override;
  void ResetMaxLength() override;
  int DefaultImageIndex() const override;
  void UpdateImageIndex() override;
  std::string GetPaintText() override;
  std::unique_ptr<TEditButtonEh> CreateEditButton() override;
  void EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) override;
  void Change() override;
  void WMMouseWheel(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void CMCancelMode(TMessage& Message) override;

  // The user chose an item: the link and the edit are marked modified.
  void MarkUserChange();

 private:
  void ItemsChanged(TObject* Sender);
  void KeyItemsChanged(TObject* Sender);
  void UpdateItemsState();
  // The index of Text in Items below the item count, or -1.
  int IndexOfText(const std::string& Text) const;
  // Text mode: ItemIndex follows the text.
  void SyncItemIndexWithText();
  bool IsButtonShortCut(WORD Key, TShiftState Shift) const;
  void CreatePopupListbox();
  void ListWindowProc(TMessage& Message);
  void ListGetImageIndex(TObject* Sender, int ItemIndex, int& ImageIndex);
  // The list's row at a point of its client area, clamped to the rows.
  int ListRowAt(int Y);
  // Measures the widest item with the editor's font.
  int WidestItemWidth();
  // Key-mode mouse on the edit area; True when the message was handled.
  bool KeyModeMouse(TMessage& Message);

  std::unique_ptr<TDropDownBoxEh> dropDownBox_;
  std::unique_ptr<TStringList> items_;
  std::unique_ptr<TStringListEh> keyItems_;
  TPopupListboxEh* popupListbox_ = nullptr;  // owned by the editor as a component
  TWndMethod listDefaultWndProc_;
  TClass popupListboxClass_ = nullptr;
  Variant keyValue_ = Variant::Null();
  int itemIndex_ = -1;
  int itemCount_ = 0;
  int itemImageIndex_ = -1;
  bool keyMode_ = false;
  bool listTracking_ = false;  // the list holds the mouse for a press that chooses a row
  bool closingUp_ = false;
  bool settingItemText_ = false;  // the text is set from the item: ItemIndex stays
};

// The published combo box editor.
class TDBComboBoxEh : public TCustomDBComboBoxEh {
  RTL_CLASS(TDBComboBoxEh, TCustomDBComboBoxEh)
 public:
  explicit TDBComboBoxEh(TComponent* AOwner) : TCustomDBComboBoxEh(AOwner) {}
  static void DescribeClass(TClassBuilder<TDBComboBoxEh>& c);
};

// Registers the classes of this unit for descriptions.
void RegisterDBComboBoxClasses();
