#pragma once
// TCustomDBEditEh: the base of the data-aware editors. A masked single-line edit bound to a
// field through a TFieldDataLinkEh, or working unbound (the link keeps the value). It adds edit
// buttons, an image, an MRU text list, tool tips, a grey empty-value text, a required-value
// highlight, and an in-place mode in which a grid hosts it through IInplaceEditHolderEh.
//
// The value model, the data link reactions, keys, read-only rules and the in-place mode live in
// DBEditEh.cpp; the members of the sections marked "around the text" live in DBEditButtonsEh.cpp
// (edit buttons, border-active state), DBEditDropDownFormEh.cpp, DBEditMRUEh.cpp,
// DBEditHintsEh.cpp and DBEditPaintEh.cpp (image, empty-data text, required highlight, frame).
#include <memory>
#include <string>
#include <vector>

#include "grid/data/DynVarsEh.h"
#include "grid/editors/FieldDataLinkEh.h"
#include "grid/foundation/DropDownFormEh.h"
#include "grid/foundation/EditButtonsEh.h"
#include "grid/foundation/InplaceEditHolderEh.h"
#include "grid/foundation/MRUListEh.h"
#include "platform/db/DB.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Mask.h"

class TEditImageEh;
class TControlEmptyDataInfoEh;
class TCustomDBEditEh;

using TButtonClickEventEh = TEvent<void(TObject* Sender, bool& Handled)>;
using TCheckDrawRequiredStateEventEh = TEvent<void(TObject* Sender, bool& DrawState)>;
using TGetImageIndexEventEh = TEvent<void(TObject* Sender, int& ImageIndex)>;
using TUpdateDataEventEh = TEvent<void(TObject* Sender, bool& Handled)>;
// Button is always passed as nullptr; the handler may replace DropDownForm.
using TEditControlShowDropDownFormEventEh = TEvent<void(TCustomDBEditEh* EditControl, TEditButtonEh* Button,
                                                        TCustomForm*& DropDownForm, TDynVarsEh* DynParams)>;
using TEditControlCloseDropDownFormEventEh =
    TEvent<void(TCustomDBEditEh* EditControl, TEditButtonEh* Button, bool Accept, TCustomForm* DropDownForm,
                TDynVarsEh* DynParams)>;

// Which of the field-following properties were set explicitly.
enum class TAssignedValueEh { avAlignmentEh, avEditMaskEh };
using enum TAssignedValueEh;
using TAssignedValuesEh = TSet<TAssignedValueEh>;

// Posted to the editor's window when a drop-down form closed (WParam: the editor's window,
// LParam: the button item, or the editor itself for none).
inline constexpr UINT WM_DROPDOWNFORMCLOSEDEH = WM_USER;

class TCustomDBEditEh : public TCustomMaskEdit {
  RTL_CLASS(TCustomDBEditEh, TCustomMaskEdit)
 public:
  explicit TCustomDBEditEh(TComponent* AOwner);
  ~TCustomDBEditEh() override;

  // --- value ---
  // Writing: a bound editor at design time ignores it; unless data-independent the data set is
  // put into edit state through the link; the text goes in without posting; then UpdateData
  // (unless inside OnUpdateData).
  void SetText(const std::string& Value) override;
  Variant Value() { return GetVariantValue(); }
  void SetValue(const Variant& Value) { InternalSetValue(Value); }
  void Clear() override;
  // Writes the editor's value: validate when focused, OnUpdateData, WriteValueToField unless
  // handled, clear the modified flag, add the text to the MRU list.
  virtual void UpdateData();

  // --- data binding ---
  std::string DataField() const { return GetDataField(); }
  TDataSource* DataSource() const { return GetDataSource(); }
  TField* Field() const;
  TFieldDataLinkEh* DataLink() const { return dataLink_.get(); }

  // --- look and behaviour ---
  // The stored alignment when assigned, else DefaultAlignment.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool IsAlignmentStored() const { return assignedValues_.Contains(avAlignmentEh); }
  // The stored mask when assigned, else the field's mask (applied on data change).
  const std::string& EditMask() const { return TCustomMaskEdit::EditMask(); }
  void SetEditMask(const std::string& Value);
  bool IsEditMaskStored() const { return assignedValues_.Contains(avEditMaskEh); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }
  // Removes automatic horizontal scrolling; alignment styles are used only with it.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  TDynVarsEh* DynProps() const { return dynProps_.get(); }
  void SetDynProps(TDynVarsEh* Value) { dynProps_->Assign(Value); }
  // In in-place mode the window's visible style.
  bool Visible() const;
  void SetVisible(bool Value);
  // True while a drop-down of the editor is open.
  bool DroppedDown() const { return droppedDown_; }

  // --- in-place mode ---
  TWinControl* InplaceEditHolder() const { return inplaceEditHolder_; }
  // Raises Exception unless Value supports IInplaceEditHolderEh; nullptr leaves in-place mode.
  void SetInplaceEditHolder(TWinControl* Value);
  bool InplaceMode() const { return inplaceEditHolder_ != nullptr; }
  // In in-place mode: shows the editor at R through the holder (an empty R hides it).
  void SetBoundsRect(const TRect& R);
  void SetFocus() override;

  // --- events ---
  TUpdateDataEventEh OnUpdateData;

  // --- around the text: buttons, image, MRU list, hints, empty-data text ---
  TEditButtonEh* EditButton() const { return editButton_.get(); }
  void SetEditButton(TEditButtonEh* Value);
  TEditButtonsEh* EditButtons() const { return editButtons_.get(); }
  void SetEditButtons(TEditButtonsEh* Value);
  TEditImageEh* EditImage() const { return editImage_.get(); }
  void SetEditImage(TEditImageEh* Value);
  TControlEmptyDataInfoEh* EmptyDataInfo() const { return emptyDataInfo_.get(); }
  void SetEmptyDataInfo(TControlEmptyDataInfoEh* Value);
  TMRUListEh* MRUList() const { return mruList_.get(); }
  void SetMRUList(TMRUListEh* Value);
  // The edit image's list; setting it also makes the image visible.
  TCustomImageList* Images() const;
  void SetImages(TCustomImageList* Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  bool AlwaysShowBorder() const { return alwaysShowBorder_; }
  void SetAlwaysShowBorder(bool Value);
  bool HighlightRequired() const { return highlightRequired_; }
  void SetHighlightRequired(bool Value);
  bool Tooltips() const { return tooltips_; }
  void SetTooltips(bool Value);
  // The editor's own hint flag; the platform's flag is on when it or Tooltips is.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  // Recomputes the image index.
  void SetOnGetImageIndex(const TGetImageIndexEventEh& Value);
  // The flat border is drawn active (focused, hot, design time or AlwaysShowBorder).
  bool BorderActive() const { return borderActive_; }
  // Total width of the visible button controls and separators.
  int ButtonsWidth() const { return buttonsWidth_; }
  TPanel* InnerPanel() const { return innerPanel_; }
  // The button control of EditButton (index 0) or of EditButtons item Index - 1.
  TEditButtonControlEh* ButtonControl(int Index) const;
  int ButtonControlCount() const { return static_cast<int>(buttonControls_.size()); }
  // The rectangle the buttons occupy, and the image's area, in client coordinates.
  TRect ButtonsRect();
  TRect ImageRect();

  TButtonClickEventEh OnButtonClick;
  TButtonDownEventEh OnButtonDown;
  TCheckDrawRequiredStateEventEh OnCheckDrawRequiredState;
  TGetImageIndexEventEh OnGetImageIndex;
  TEditControlShowDropDownFormEventEh OnOpenDropDownForm;
  TEditControlCloseDropDownFormEventEh OnCloseDropDownForm;
  // --- end of around the text ---

  // --- platform overrides ---
  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool EditCanModify() override;
  void Reset() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMWantSpecialKey(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  void WMCut(TMessage& Message) override;
  void WMPaste(TMessage& Message) override;
  void WMClear(TMessage& Message) override;
  virtual void WMUndo(TMessage& Message);
  virtual void WMGetDlgCode(TMessage& Message);
  void WMChar(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;

 protected:
  // Marks the link modified unless the text is being set internally, then OnChange.
  void Change() override;
  // The clipboard's text up to its first line break; false when the clipboard cannot be opened.
  bool ReadClipboardLine(std::string& Line);

  // Virtual operations of the editor family, in slot order.
  virtual bool CanUseEditButtons();
  virtual std::unique_ptr<TFieldDataLinkEh> CreateDataLink();
  virtual std::unique_ptr<TEditButtonEh> CreateEditButton();
  virtual TEditButtonControlEh* CreateEditButtonControl();  // DBEditButtonsEh
  virtual std::unique_ptr<TEditButtonsEh> CreateEditButtons();
  virtual std::unique_ptr<TEditImageEh> CreateEditImage();
  virtual TMRUListboxEh* CreateMRUListBox();  // DBEditMRUEh
  virtual bool IsDataIndependent() const;
  virtual TAlignment DefaultAlignment() const;
  virtual std::string DefaultEditMask() const;
  virtual int DefaultImageIndex() const;
  virtual std::string GetDataField() const;
  virtual TDataSource* GetDataSource() const;
  virtual std::string GetPaintText();  // DBEditPaintEh
  virtual Variant GetVariantValue();
  // True without a field, else the field's character test.
  virtual bool IsValidChar(char32_t Key);
  virtual void ActiveChanged();
  virtual void AdjustHeight();
  // A press of the built-in button (TopButton: the upper half of an up-down button).
  virtual void ButtonDropDown(bool TopButton);  // DBEditButtonsEh
  virtual TRect CalcEditRect();                 // DBEditPaintEh
  virtual void ShowDropDownForm(TEditButtonEh* EditButton, TEditButtonControlEh* Control,
                                bool& Handled);  // DBEditDropDownFormEh
  virtual void CloseUp(bool Accept);
  virtual void DataChanged();
  virtual void DropDown();
  virtual void EditButtonClick(TObject* Sender);  // DBEditButtonsEh
  virtual void EditButtonDown(TObject* Sender, bool TopButton, bool& AutoRepeat,
                              bool& Handled);                                          // DBEditButtonsEh
  virtual void EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);  // DBEditButtonsEh
  virtual void EditButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                                 int Y);  // DBEditButtonsEh
  virtual void EditingChanged();
  virtual void FilterMRUItem(const std::string& AText, bool& Accept);  // DBEditMRUEh
  // Puts the text into the edit without posting (as internal text: no Modified mark).
  virtual void InternalSetText(const std::string& AText);
  virtual void SetVariantValue(const Variant& V);
  virtual void WriteValueToField();
  virtual void MRUListboxResized(TObject* Sender);   // DBEditMRUEh
  virtual void DrawRequiredState(TCanvas* ACanvas);  // DBEditPaintEh
  virtual void ResetMaxLength();

 public:
  // A field-not-found error of the link propagates.
  virtual void SetDataField(const std::string& Value);
  virtual void SetDataSource(TDataSource* Value);

 protected:
  virtual void SetFocused(bool Value);
  virtual void InternalSetValue(const Variant& Value);
  virtual void UpdateEditReadOnly();
  virtual void UpdateHeight();
  virtual void UpdateShowHint();     // DBEditHintsEh
  virtual void UpdateImageIndex();   // DBEditPaintEh
  virtual void UpdateMRUDropDown();  // DBEditMRUEh

  // The text is set internally while the count is above zero (no Modified mark).
  void BeginInternalText() { ++internalText_; }
  void EndInternalText() { --internalText_; }
  bool SettingTextInternally() const { return internalText_ > 0; }
  // Sets the edit text as internal text.
  void SetEditTextInternally(const std::string& Value);
  bool EditorFocused() const { return focused_; }
  bool InUpdateData() const { return inUpdateData_; }
  void SetDroppedDown(bool Value) { droppedDown_ = Value; }
  IInplaceEditHolderEh* InplaceEditHolderIntf() const { return holderIntf_; }
  // The canvas of the control, made on first use.
  TCanvas* Canvas();
  // The edit rectangle from CalcEditRect becomes the window's formatting rectangle.
  void UpdateEditRect();
  // Replaces the built-in button with a new one from CreateEditButton and wires it. A
  // descendant whose CreateEditButton differs calls it from its constructor (the base
  // constructor cannot reach the override).
  void RecreateEditButton();

  // --- around the text (protected) ---
  struct TButtonControlPairEh {
    TShape* Separator = nullptr;
    TEditButtonControlEh* Button = nullptr;
  };
  // Lays the button controls out (after the window exists, on resize, on a button change).
  void UpdateEditButtonControlList();
  // Enabled, hot look and separator colours of the button controls.
  void UpdateEditButtonControlsState();
  // Recomputes the border-active state; a change repaints the frame and the buttons.
  void UpdateBorderActive();
  void EditButtonChanged(TObject* Sender);
  void EditButtonImagesChanged(TObject* Sender);
  void MRUListDropDown(TObject* Sender);
  void MRUListCloseUp(TObject* Sender, bool Accept);
  void DropDownFormCallback(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                            TDropDownFormSysParams* SysParams);
  void PaintEmptyDataInfo(TCanvas* ACanvas);
  void PaintEditImage(TCanvas* ACanvas);
  // Frees the button controls and their separators (the destructor calls it).
  void FreeButtonControls();
  void WMPaint(TMessage& Message) override;
  void WMNCPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void CMHintShow(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentShowHintChanged(TMessage& Message) override;
  virtual void CMCancelMode(TMessage& Message);

  std::unique_ptr<TEditButtonEh> editButton_;
  std::unique_ptr<TEditButtonsEh> editButtons_;
  std::unique_ptr<TEditImageEh> editImage_;
  std::unique_ptr<TControlEmptyDataInfoEh> emptyDataInfo_;
  std::unique_ptr<TMRUListEh> mruList_;
  TMRUListboxEh* mruListBox_ = nullptr;  // owned by the editor as a component
  std::vector<TButtonControlPairEh> buttonControls_;
  TPanel* innerPanel_ = nullptr;  // owned by the editor as a component
  bool flat_ = false;
  bool alwaysShowBorder_ = false;
  bool highlightRequired_ = false;
  bool tooltips_ = false;
  bool showHint_ = false;
  bool borderActive_ = false;
  bool mouseOver_ = false;
  bool droppedByButtonPress_ = false;
  int buttonsWidth_ = 0;
  int imageWidth_ = 0;
  // While open, the MRU list takes PgUp, PgDn, Up and Down (without Alt), Ctrl+Home and Ctrl+End,
  // and closes on Enter (accepting) or Escape. True (Key zeroed) when it took the key.
  bool MRUListKeyDown(WORD& Key, TShiftState Shift);
  // Gives the open MRU list its keys before the editor sees them.
  void CNKeyDown(TMessage& Message) override;
  void MRUListBoxMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  bool mruClosing_ = false;  // the accepted MRU text is going in: no new drop-down request
  // The form's focus moved (after enter and exit): the border-active state follows.
  void CMFocusChanged(TMessage& Message) override;
  // An item told its change while still being made: the layout runs before the next paint.
  bool buttonLayoutPending_ = false;
  // --- end of around the text (protected) ---

 private:
  void DataLinkDataChange(TObject* Sender);
  void DataLinkEditingChange(TObject* Sender);
  void DataLinkUpdateData(TObject* Sender);
  void DataLinkActiveChange(TObject* Sender);
  // The field's edit text, or a memo's string value.
  static std::string FieldEditText(TField* F);
  static std::string FieldDisplayText(TField* F);
  bool ShortCutKey(WORD& Key, TShiftState Shift);
  // Takes a string field's size as MaxLength when MaxLength is 0.
  void ApplyFieldMaxLength(TField* F);
  // UpdateData for a text or value set from code; a failed write leaves the link modified.
  void UpdateDataKeepingFailedText();
  void HideInplace();

  std::unique_ptr<TFieldDataLinkEh> dataLink_;
  std::unique_ptr<TDynVarsEh> dynProps_;
  std::unique_ptr<TControlCanvas> canvas_;
  TDataSource* dataSource_ = nullptr;
  TWinControl* inplaceEditHolder_ = nullptr;
  IInplaceEditHolderEh* holderIntf_ = nullptr;
  TAssignedValuesEh assignedValues_;
  TAlignment alignment_ = taLeftJustify;
  int internalText_ = 0;
  // The size of the string field bound when MaxLength was last taken from a field (0: none).
  int lastFieldSize_ = 0;
  bool readOnly_ = false;
  bool wantReturns_ = false;
  bool wantTabs_ = false;
  bool wordWrap_ = false;
  bool inUpdateData_ = false;
  bool droppedDown_ = false;
  bool focused_ = false;
  bool textChanged_ = false;
};

// The published plain data-aware edit.
class TDBEditEh : public TCustomDBEditEh {
  RTL_CLASS(TDBEditEh, TCustomDBEditEh)
 public:
  explicit TDBEditEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {}
  static void DescribeClass(TClassBuilder<TDBEditEh>& c);
};

// Registers the plain editor and the classes of the parts it owns (image, empty-data text,
// tool-tip window) for descriptions.
void RegisterDBEditClasses();
