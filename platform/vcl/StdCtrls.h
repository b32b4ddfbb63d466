#pragma once
// The standard controls: edits, memos, list boxes, combo boxes, buttons, check boxes, radio
// buttons, group boxes, labels and scroll bars. The windowed ones wrap the window manager's
// built-in classes ("Edit", "ListBox", "ComboBox", "Button", "ScrollBar") through
// CreateParams / CreateSubClass and hear the class's notifications as CN_COMMAND, CN_DRAWITEM,
// CN_MEASUREITEM, CN_HSCROLL and CN_VSCROLL reflected by the parent.
//
// Each control keeps its state while it has no window (text, items, selection, limits, check
// state, scroll range) and hands it to the window when the handle is made; DestroyWnd takes it
// back, so RecreateWnd keeps it.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Lists.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Messages.h"
#include "platform/win/ControlClasses.h"

// --- types ---------------------------------------------------------------------------------------

// taLeftJustify or taRightJustify.
using TLeftRight = TAlignment;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
RTL_ENUM_INFO(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase");

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
RTL_ENUM_INFO(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth");

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
RTL_ENUM_INFO(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual",
              "lbVirtualOwnerDraw");

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
RTL_ENUM_INFO(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
              "csOwnerDrawVariable");

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
RTL_ENUM_INFO(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed");

enum TTextLayout { tlTop, tlCenter, tlBottom };
RTL_ENUM_INFO(TTextLayout, "tlTop", "tlCenter", "tlBottom");

// In the order of the SB_ codes of WM_HSCROLL / WM_VSCROLL.
enum TScrollCode {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,
  scTrack,
  scTop,
  scBottom,
  scEndScroll
};

// TOwnerDrawState (odSelected, odFocused ...) comes with Menus.h.

using TDrawItemEvent =
    TEvent<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;
using TLBGetDataEvent = TEvent<void(TWinControl* Control, int Index, std::string& Data)>;
using TLBGetDataObjectEvent = TEvent<void(TWinControl* Control, int Index, TObject*& DataObject)>;
using TLBFindDataEvent = TEvent<int(TWinControl* Control, const std::string& FindString)>;
using TScrollEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

namespace vcl_detail {
class TItemStrings;
}

// --- edits ---------------------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
  RTL_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  virtual void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  bool CanUndo();
  void ClearUndo();
  void SelectAll();
  // Copies the selection (UTF-8, NUL-terminated, cut to BufSize - 1 bytes at a character
  // boundary) and answers the bytes copied.
  int GetSelTextBuf(char* Buffer, int BufSize);
  void SetSelTextBuf(const char* Buffer);

  // Selection in characters. Reading and writing them makes the window.
  int SelStart();
  virtual void SetSelStart(int Value);
  int SelLength();
  virtual void SetSelLength(int Value);
  std::string SelText();
  virtual void SetSelText(const std::string& Value);

  bool Modified();
  void SetModified(bool Value);

  // Published by TEdit and the other descendants.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool Value) { autoSelect_ = Value; }
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool Value);
  // One character; 0 shows the text as it is.
  char32_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char32_t Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);

  TNotifyEvent OnChange;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  // EN_CHANGE (not while the window is being made) calls Change.
  virtual void CNCommand(TMessage& Message);
  // AutoSelect selects all of a single-line edit that gains the focus by keyboard.
  void CMEnter(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMCtl3DChanged(TMessage& Message) override;
  // The text changed without EN_CHANGE (no window, or a multi-line window): Change.
  void CMTextChanged(TMessage& Message) override;

 protected:
  virtual void Change();
  virtual void DoSetMaxLength(int Value);
  // Multi-line with word wrap (ES_MULTILINE | ES_AUTOVSCROLL without ES_AUTOHSCROLL), for
  // descendants that show long text in a cell; recreates the window.
  bool MultiLineWrap() const { return multiLineWrap_; }
  void SetMultiLineWrap(bool Value);
  // Height from the font when AutoSize and a single border.
  void AdjustHeight();
  void UpdateHeight();
  // Sends to the window when there is one; 0 otherwise.
  LRESULT SendToWindow(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  bool creating_ = false;

 private:
  int maxLength_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  char32_t passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  TAlignment alignment_ = taLeftJustify;
  bool autoSelect_ = true;
  bool autoSize_ = true;
  bool hideSelection_ = true;
  bool oemConvert_ = false;
  bool readOnly_ = false;
  bool modified_ = false;
  bool multiLineWrap_ = false;
};

class TEdit : public TCustomEdit {
  RTL_CLASS(TEdit, TCustomEdit)
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  static void DescribeClass(TClassBuilder<TEdit>& c);
};

// --- memos ---------------------------------------------------------------------------------------

class TCustomMemo : public TCustomEdit {
  RTL_CLASS(TCustomMemo, TCustomEdit)
 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  // The lines of the text. With a window they are the window's lines (word-wrapped lines
  // count); without one, the text split at its line breaks.
  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* Value);
  // Column and line of the caret.
  TPoint CaretPos();
  void SetCaretPos(const TPoint& Value);

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  virtual void WMGetDlgCode(TMessage& Message);
  void KeyPress(char32_t& Key) override;

 private:
  std::unique_ptr<TStrings> lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = true;
};

class TMemo : public TCustomMemo {
  RTL_CLASS(TMemo, TCustomMemo)
 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
  static void DescribeClass(TClassBuilder<TMemo>& c);
};

// --- list boxes ----------------------------------------------------------------------------------

class TCustomListBox : public TWinControl {
  RTL_CLASS(TCustomListBox, TWinControl)
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  // Strings with objects (the objects are not owned). In the virtual styles the items come
  // from OnData / OnDataObject / OnDataFind and adding does nothing.
  TStrings* Items() const;
  void SetItems(TStrings* Value);
  void Clear();
  // The item count; settable in the virtual styles only (EInvalidOperation otherwise).
  int Count();
  void SetCount(int Value);
  // The selected item (-1: none); with MultiSelect the focused item.
  int ItemIndex();
  void SetItemIndex(int Value);
  int TopIndex();
  void SetTopIndex(int Value);
  // The item at Pos (client coordinates); a point below the last item answers -1 when
  // Existing, else Count.
  int ItemAtPos(const TPoint& Pos, bool Existing);
  // The item's rectangle; Count answers the place after the last one.
  TRect ItemRect(int Index);
  bool Selected(int Index);
  void SetSelected(int Index, bool Value);
  int SelCount();

  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle Value);
  int ItemHeight();
  void SetItemHeight(int Value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool Value);
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool Value);
  int Columns() const { return columns_; }
  void SetColumns(int Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TCanvas* Canvas() const { return canvas_.get(); }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TLBFindDataEvent OnDataFind;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  // LBN_SELCHANGE: Click; LBN_DBLCLK: DblClick.
  virtual void CNCommand(TMessage& Message);
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);

  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  bool IsVirtual() const { return style_ == lbVirtual || style_ == lbVirtualOwnerDraw; }

 protected:
  virtual std::string DoGetData(int Index);
  virtual TObject* DoGetDataObject(int Index);
  virtual int DoFindData(const std::string& Data);

 private:
  friend class vcl_detail::TItemStrings;
  std::unique_ptr<vcl_detail::TItemStrings> items_;
  std::unique_ptr<TControlCanvas> canvas_;
  TListBoxStyle style_ = lbStandard;
  TBorderStyle borderStyle_ = bsSingle;
  int itemHeight_ = 16;
  int columns_ = 0;
  int count_ = 0;  // the virtual styles
  bool sorted_ = false;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool integralHeight_ = false;
  // Kept while there is no window.
  int savedItemIndex_ = -1;
  int savedTopIndex_ = 0;
  std::vector<bool> savedSelection_;
};

class TListBox : public TCustomListBox {
  RTL_CLASS(TListBox, TCustomListBox)
 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
  static void DescribeClass(TClassBuilder<TListBox>& c);
};

// --- combo boxes ---------------------------------------------------------------------------------

class TCustomComboBox : public TWinControl {
  RTL_CLASS(TCustomComboBox, TWinControl)
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings* Items() const;
  void SetItems(TStrings* Value);
  void Clear();
  int ItemIndex();
  void SetItemIndex(int Value);
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  void SelectAll();
  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  std::string SelText();
  void SetSelText(const std::string& Value);
  // The edit child (null for the drop-down list styles) and the list, once the window exists.
  HWND EditHandle() const { return editHandle_; }
  HWND ListHandle() const { return listHandle_; }
  TCanvas* Canvas() const { return canvas_.get(); }

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int Value) { dropDownCount_ = Value; }
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  int ItemHeight();
  void SetItemHeight(int Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  // The edit child or the list holding the focus counts as the combo box's, so that recreating
  // the window gives the focus back.
  bool Focused() override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void CNCommand(TMessage& Message);
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);

  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  // The edit child's messages pass here first: its keys become the combo box's OnKeyDown,
  // OnKeyPress and OnKeyUp (a key set to 0 goes no further); the rest go to the edit.
  virtual void EditWndProc(TMessage& Message);

 protected:
  virtual void Change();
  // OnSelect, or Change when OnSelect is not assigned.
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  // Gives the dropped list room for DropDownCount items.
  void AdjustDropDown();
  void UnhookEdit();

 private:
  friend class vcl_detail::TItemStrings;
  std::unique_ptr<vcl_detail::TItemStrings> items_;
  std::unique_ptr<TControlCanvas> canvas_;
  HWND editHandle_ = nullptr;
  HWND listHandle_ = nullptr;
  std::unique_ptr<TWndProcInstance> editInstance_;
  WNDPROC defEditProc_;
  TComboBoxStyle style_ = csDropDown;
  TEditCharCase charCase_ = ecNormal;
  int dropDownCount_ = 8;
  int maxLength_ = 0;
  int itemHeight_ = 16;
  bool sorted_ = false;
  bool settingText_ = false;  // our own WM_SETTEXT: the edit's change is not the user's
  int savedItemIndex_ = -1;
};

class TComboBox : public TCustomComboBox {
  RTL_CLASS(TComboBox, TCustomComboBox)
 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
  static void DescribeClass(TClassBuilder<TComboBox>& c);
};

// --- buttons -------------------------------------------------------------------------------------

class TButtonControl;

// Carries an action's Checked to the button unless the button changed it itself.
class TButtonActionLink : public TControlActionLink {
  RTL_CLASS(TButtonActionLink, TControlActionLink)
 public:
  explicit TButtonActionLink(TObject* AClient) : TControlActionLink(AClient) {}
  bool IsCheckedLinked() override;
  void SetChecked(bool Value) override;
};

// The base of the "Button"-class controls.
class TButtonControl : public TWinControl {
  RTL_CLASS(TButtonControl, TWinControl)
 public:
  explicit TButtonControl(TComponent* AOwner);

  virtual bool Checked() { return false; }
  virtual void SetChecked(bool Value) {}
  // While set, changing Checked does not click (the change came from a click).
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool Value) { clicksDisabled_ = Value; }
  // BS_MULTILINE.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

  void CreateParams(TCreateParams& Params) override;
  // A press on an unfocused button focuses it first; clicks reported while that happens are
  // dropped, and a button that could not take the focus ignores the press.
  void WndProc(TMessage& Message) override;
  TClass GetActionLinkClass() const override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

 private:
  bool clicksDisabled_ = false;
  bool wordWrap_ = false;
};

class TButton : public TButtonControl {
  RTL_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TButton>& c);

  // Sets the parent form's ModalResult, then OnClick (or the action).
  void Click() override;
  // Enter clicks a Default button while no other button has the focus.
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  // Escape clicks a Cancel button.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool Value) { cancel_ = Value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }
  // BS_DEFPUSHBUTTON is shown while this button is the active default.
  bool Active() const { return active_; }

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void CNCommand(TMessage& Message);
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;

 protected:
  void SetButtonStyle(bool ADefault);

 private:
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = mrNone;
};

class TCustomCheckBox : public TButtonControl {
  RTL_CLASS(TCustomCheckBox, TButtonControl)
 public:
  explicit TCustomCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return state_; }
  // A change clicks (unless ClicksDisabled).
  void SetState(TCheckBoxState Value);
  bool Checked() override { return state_ == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  // taLeftJustify puts the text left of the box (BS_LEFTTEXT).
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight Value);

  // Unchecked -> (Grayed when AllowGrayed) -> Checked -> Unchecked.
  virtual void Toggle();
  void Click() override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void CNCommand(TMessage& Message);
  void CMDialogChar(TMessage& Message) override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  TLeftRight alignment_ = taRightJustify;
  bool allowGrayed_ = false;
};

class TCheckBox : public TCustomCheckBox {
  RTL_CLASS(TCheckBox, TCustomCheckBox)
 public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
  static void DescribeClass(TClassBuilder<TCheckBox>& c);
};

class TRadioButton : public TButtonControl {
  RTL_CLASS(TRadioButton, TButtonControl)
 public:
  explicit TRadioButton(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TRadioButton>& c);

  bool Checked() override { return checked_; }
  // Checking unchecks the other radio buttons of the same parent and clicks.
  void SetChecked(bool Value) override;
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight Value);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void CNCommand(TMessage& Message);
  void CMDialogChar(TMessage& Message) override;

 private:
  bool checked_ = false;
  TLeftRight alignment_ = taRightJustify;
};

// --- group boxes ---------------------------------------------------------------------------------

// A container painting its caption over an etched frame.
class TCustomGroupBox : public TCustomControl {
  RTL_CLASS(TCustomGroupBox, TCustomControl)
 public:
  explicit TCustomGroupBox(TComponent* AOwner);

  void Paint() override;
  // The children live below the caption, inside the frame.
  void AdjustClientRect(TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void CMDialogChar(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
  RTL_CLASS(TGroupBox, TCustomGroupBox)
 public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
  static void DescribeClass(TClassBuilder<TGroupBox>& c);
};

// --- labels --------------------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
  RTL_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  // The control Alt+accelerator focuses.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* Value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout Value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool Value);
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

  void Paint() override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;
  virtual void CMDialogChar(TMessage& Message);
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

 protected:
  virtual std::string GetLabelText();
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  // With AutoSize: the size of the text (right-aligned labels keep their right edge).
  virtual void AdjustBounds();
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TWinControl* focusControl_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool showAccelChar_ = true;
  bool wordWrap_ = false;
};

class TLabel : public TCustomLabel {
  RTL_CLASS(TLabel, TCustomLabel)
 public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
  static void DescribeClass(TClassBuilder<TLabel>& c);
};

// --- scroll bars ---------------------------------------------------------------------------------

class TScrollBar : public TWinControl {
  RTL_CLASS(TScrollBar, TWinControl)
 public:
  explicit TScrollBar(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TScrollBar>& c);

  TScrollBarKind Kind() const { return kind_; }
  // Swaps width and height (unless loading) and recreates the window.
  void SetKind(TScrollBarKind Value);
  int Position() const { return position_; }
  void SetPosition(int Value) { SetParams(Value, min_, max_); }
  int Min() const { return min_; }
  void SetMin(int Value) { SetParams(position_, Value, max_); }
  int Max() const { return max_; }
  void SetMax(int Value) { SetParams(position_, min_, Value); }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int Value);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int Value) { smallChange_ = Value; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int Value) { largeChange_ = Value; }
  // EInvalidOperation "Scrollbar property out of range" when AMax < AMin or AMax < PageSize;
  // the position is clamped into the range. A new position calls Change.
  void SetParams(int APosition, int AMin, int AMax);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void CNHScroll(TMessage& Message);
  virtual void CNVScroll(TMessage& Message);

 protected:
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
  void DoScroll(TMessage& Message);

 private:
  TScrollBarKind kind_ = sbHorizontal;
  int position_ = 0;
  int min_ = 0;
  int max_ = 100;
  int pageSize_ = 0;
  int smallChange_ = 1;
  int largeChange_ = 1;
};

// Registers the classes of this unit for window descriptions.
void RegisterStdControls();
