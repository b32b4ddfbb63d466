#pragma once
// The columns of the axis grid (axis bars), their titles and their collection, and the cell
// parameter block that carries one cell's look from the grid through the column to the painter.
//
// A column binds a field of the grid's data set by name and resolves each visual and
// behavioural property either from a value of its own (its bit in AssignedValues) or from a
// fallback: the field, the grid, or the grid's ColumnDefValues. A property is stored in a
// window description only while its bit is set and its own value differs from the fallback.
//
// Files: AxisBarEh.cpp (the model: creation, properties, Assign, field binding),
// AxisBarTitleEh.cpp (the title and the collection), AxisBarValuesEh.cpp (cell values and
// editing), AxisBarEditStyleEh.cpp (the edit style of the column's cell).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/axis/AxisBarDefValuesEh.h"
#include "grid/data/DynVarsEh.h"
#include "grid/foundation/DropDownFormEh.h"
#include "grid/foundation/EditButtonsEh.h"
#include "grid/foundation/GridsEh.h"
#include "grid/foundation/MRUListEh.h"
#include "grid/foundation/SpecRowEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"

class TCustomDBAxisGridEh;
class TAxisBarEh;
class TAxisBarTitleEh;
class TGridAxisBarsEh;
class TPopupMenu;
class TCustomForm;

// --- enumerations ------------------------------------------------------------------------------

enum class TAxisBarAssignedValueEh {
  abvColor,
  abvWidth,
  abvFont,
  abvAlignment,
  abvReadOnly,
  abvTitleColor,
  abvTitleCaption,
  abvTitleAlignment,
  abvTitleFont,
  abvTitleButton,
  abvTitleEndEllipsis,
  abvTitleToolTips,
  abvTitleOrientation,
  abvImeMode,
  abvImeName,
  abvWordWrap,
  abvLookupDisplayFields,
  abvCheckboxes,
  abvAlwaysShowEditButton,
  abvEndEllipsis,
  abvAutoDropDown,
  abvDblClickNextVal,
  abvToolTips,
  abvDropDownSizing,
  abvDropDownShowTitles,
  abvLayout,
  abvHighlightRequired,
  abvBiDiMode,
  abvTextEditing
};
using enum TAxisBarAssignedValueEh;
using TAxisBarAssignedValuesEh = TSet<TAxisBarAssignedValueEh, 32>;

enum class TCellButtonStyleEh {
  cbsAuto,
  cbsEllipsis,
  cbsNone,
  cbsUpDown,
  cbsDropDown,
  cbsAltUpDown,
  cbsAltDropDown
};
using enum TCellButtonStyleEh;
RTL_ENUM_INFO(TCellButtonStyleEh, "cbsAuto", "cbsEllipsis", "cbsNone", "cbsUpDown", "cbsDropDown",
              "cbsAltUpDown", "cbsAltDropDown");

// The kind of cell a column shows (GetColumnType).
enum TAxisBarKindEh : int {
  abkTextEh = 0,
  abkPickListEh = 1,
  abkLookupEh = 2,
  abkKeyPickListEh = 3,
  abkImageListEh = 4,
  abkCheckboxesEh = 5,
  abkGraphicEh = 6
};

// The edit style of a cell, resolved from the column's button style and field.
enum class TInplaceEditStyleEh {
  esSimpleEh,
  esEllipsisEh,
  esPickListEh,
  esDataListEh,
  esDropDownEh,
  esUpDownEh,
  esDateCalendarEh,
  esAltDropDownEh,
  esAltUpDownEh,
  esAltDateCalendarEh
};
using enum TInplaceEditStyleEh;

// --- events ------------------------------------------------------------------------------------

using TColCellUpdateDataEventEh =
    TEvent<void(TObject* Sender, std::string& Text, Variant& Value, bool& UseText, bool& Handled)>;
using TAxisBarButtonClickEventEh = TEvent<void(TObject* Sender, bool& Handled)>;
using TAxisBarButtonDownEventEh =
    TEvent<void(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled)>;
using TAxisBarNotInListEventEh =
    TEvent<void(TObject* Sender, const std::string& NewText, bool& RecheckInList)>;
using TAxisBarOpenDropDownFormEventEh =
    TEvent<void(TCustomDBAxisGridEh* Grid, TAxisBarEh* Column, TEditButtonEh* Button,
                TCustomForm*& DropDownForm, TDynVarsEh* DynParams)>;
using TAxisBarCloseDropDownFormEventEh =
    TEvent<void(TCustomDBAxisGridEh* Grid, TAxisBarEh* Column, TEditButtonEh* Button, bool Accept,
                TCustomForm* DropDownForm, TDynVarsEh* DynParams)>;

// --- cell parameters ---------------------------------------------------------------------------

// One cell's look, filled per cell and read by the painter; the data grid's TColCellParamsEh
// adds its own members.
class TAxisColCellParamsEh : public TObject {
  RTL_CLASS(TAxisColCellParamsEh, TObject)
 public:
  TAxisColCellParamsEh();
  ~TAxisColCellParamsEh() override;

  TGridDrawState State;
  TFont* Font = nullptr;  // not owned: the canvas font while a cell is drawn
  TColor Background = clWindow;
  TAlignment Alignment = taLeftJustify;
  std::string Text;
  int ImageIndex = -1;
  TCheckBoxState CheckState = cbUnchecked;
  bool ReadOnly = false;
  bool TextEditing = true;
  // The cell's column and row in the grid and in the data area, and its rectangle.
  int Col = 0;
  int Row = 0;
  int DataCol = 0;
  int DataRow = 0;
  TRect CellRect{};
  // The data grid draws the cell itself (its own painter runs instead of the content steps).
  bool DrawsCellItself = false;
  // The data grid marked the cell as the current one (its selection colours apply).
  bool IsCurrentCellMarked = false;
  // Drawn as a 3-D fixed cell / through the visual theme.
  bool Cell3D = false;
  bool ThemedCell = false;
  // The two processed flags FillColCellParams clears.
  bool BlankCell = false;
  bool ProcessedByEvent = false;
};

// --- the title ---------------------------------------------------------------------------------

// A column's header cell. It has no assigned-values set of its own: it uses its column's bits
// abvTitleColor .. abvTitleOrientation.
class TAxisBarTitleEh : public TPersistent {
  RTL_CLASS(TAxisBarTitleEh, TPersistent)
 public:
  explicit TAxisBarTitleEh(TAxisBarEh* AColumn);
  ~TAxisBarTitleEh() override;
  static void DescribeClass(TClassBuilder<TAxisBarTitleEh>& c);
  // Alignment, Color, Caption and Font only when set in the source; then the rest with the
  // source's effective values.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TAxisBarEh* Column() const { return column_; }
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool IsAlignmentStored() const;
  std::string Caption() const;
  virtual void SetCaption(const std::string& Value);
  bool IsCaptionStored() const;
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const;
  bool EndEllipsis() const;
  void SetEndEllipsis(bool Value);
  bool IsEndEllipsisStored() const;
  // Reloaded from the fallback while abvTitleFont is clear.
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool IsFontStored() const;
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value) { hint_ = Value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  TTextOrientationEh Orientation() const;
  void SetOrientation(TTextOrientationEh Value);
  bool IsOrientationStored() const;
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);
  bool TitleButton() const;
  void SetTitleButton(bool Value);
  bool IsTitleButtonStored() const;
  bool ToolTips() const;
  void SetToolTips(bool Value);
  bool IsToolTipsStored() const;

  // The fallbacks.
  TAlignment DefaultAlignment() const;
  std::string DefaultCaption() const;
  TColor DefaultColor() const;
  TFont* DefaultFont() const;
  bool DefaultEndEllipsis() const;
  TTextOrientationEh DefaultOrientation() const;
  bool DefaultTitleButton() const;
  bool DefaultToolTips() const;

  // Clears the title's bits, empties Caption and reloads the font.
  virtual void RestoreDefaults();
  // Reloads the font from the fallback when it differs (change handler unhooked meanwhile).
  void RefreshDefaultFont() const;

 private:
  void FontChanged(TObject* Sender);
  bool Assigned(TAxisBarAssignedValueEh V) const;
  void AssignBit(TAxisBarAssignedValueEh V);
  void Notify();
  TAxisBarEh* column_;
  TAlignment alignment_ = taLeftJustify;
  std::string caption_;
  TColor color_ = clBtnFace;
  bool endEllipsis_ = false;
  std::unique_ptr<TFont> font_;
  std::string hint_;
  int imageIndex_ = -1;
  TTextOrientationEh orientation_ = tohHorizontal;
  TPopupMenu* popupMenu_ = nullptr;
  bool toolTips_ = false;
  bool titleButton_ = false;
};

// --- the column --------------------------------------------------------------------------------

class TAxisBarEh : public TCollectionItem {
  RTL_CLASS(TAxisBarEh, TCollectionItem)
 public:
  explicit TAxisBarEh(TCollection* Collection);
  ~TAxisBarEh() override;
  static void DescribeClass(TClassBuilder<TAxisBarEh>& c);
  // From another column: within the collection's BeginUpdate/EndUpdate, RestoreDefaults, then
  // every property (the assigned-bit ones only when set in the source).
  void Assign(TPersistent* Source) override;
  // FieldName, else the inherited name.
  std::string GetDisplayName() const override;
  void SetIndex(int Value) override;

  TCustomDBAxisGridEh* GetGrid() const;
  TGridAxisBarsEh* AxisBars() const;
  // "Column_" + index + "_" + FieldName: how group levels name a column.
  std::string GetAxisBarName() const;
  // The lookup grid, made on first use through the registered factory (nullptr without one).
  ILookupGridEh* GetDataList();
  bool HasDataList() const { return dataList_ != nullptr; }

  TAxisBarAssignedValuesEh AssignedValues() const { return assignedValues_; }
  bool IsAssigned(TAxisBarAssignedValueEh V) const { return assignedValues_.Contains(V); }
  // The title sets and clears its bits through these.
  void IncludeAssigned(TAxisBarAssignedValueEh V) { assignedValues_.Include(V); }
  void ExcludeAssigned(TAxisBarAssignedValueEh V) { assignedValues_.Exclude(V); }
  bool Persistent() const { return persistent_; }
  void SetPersistent(bool Value) { persistent_ = Value; }

  // --- properties with fallbacks ---
  TAlignment Alignment();
  virtual void SetAlignment(TAlignment Value);
  bool IsAlignmentStored();
  bool AlwaysShowEditButton();
  void SetAlwaysShowEditButton(bool Value);
  bool IsAlwaysShowEditButtonStored();
  bool AutoDropDown();
  void SetAutoDropDown(bool Value);
  bool IsAutoDropDownStored();
  TBiDiMode BiDiMode();
  void SetBiDiMode(TBiDiMode Value);
  bool IsBiDiModeStored() const;
  TCellButtonStyleEh ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(TCellButtonStyleEh Value);
  bool Checkboxes();
  void SetCheckboxes(bool Value);
  bool IsCheckboxesStored() const;
  TColor Color();
  void SetColor(TColor Value);
  bool IsColorStored();
  bool DblClickNextVal();
  void SetDblClickNextVal(bool Value);
  bool IsDblClickNextValStored();
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);
  uint32_t DropDownRows() const { return dropDownRows_; }
  void SetDropDownRows(uint32_t Value) { dropDownRows_ = Value; }
  bool DropDownShowTitles();
  void SetDropDownShowTitles(bool Value);
  bool IsDropDownShowTitlesStored();
  bool DropDownSizing();
  void SetDropDownSizing(bool Value);
  bool IsDropDownSizingStored();
  int DropDownWidth() const { return dropDownWidth_; }
  void SetDropDownWidth(int Value);
  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& Value);
  bool EndEllipsis();
  void SetEndEllipsis(bool Value);
  bool IsEndEllipsisStored();
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value);
  TFont* Font();
  void SetFont(TFont* Value);
  bool IsFontStored() const;
  bool HighlightRequired();
  virtual void SetHighlightRequired(bool Value);
  bool IsHighlightRequiredStored();
  // Forgotten once the list is gone (its destructor cuts the change link).
  TCustomImageList* ImageList() const {
    return imageChangeLink_ && imageChangeLink_->Sender() == imageList_ ? imageList_ : nullptr;
  }
  void SetImageList(TCustomImageList* Value);
  TImeMode ImeMode();
  virtual void SetImeMode(TImeMode Value);
  bool IsImeModeStored();
  TImeName ImeName();
  virtual void SetImeName(const TImeName& Value);
  bool IsImeNameStored();
  long double Increment() const { return increment_; }
  void SetIncrement(long double Value) { increment_ = Value; }
  bool IsIncrementStored() const { return increment_ != 1.0L; }
  // Made empty on first read; writing nil frees the list.
  TStrings* KeyList();
  void SetKeyList(TStrings* Value);
  bool HasKeyListItems() const;
  TStrings* PickList();
  void SetPickList(TStrings* Value);
  bool HasPickListItems() const;
  TTextLayout Layout();
  void SetLayout(TTextLayout Value);
  bool IsLayoutStored();
  std::string LookupDisplayFields();
  virtual void SetLookupDisplayFields(const std::string& Value);
  bool IsLookupDisplayFieldsStored();
  int NotInKeyListIndex() const { return notInKeyListIndex_; }
  void SetNotInKeyListIndex(int Value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);
  bool ReadOnly();
  virtual void SetReadOnly(bool Value);
  bool IsReadOnlyStored();
  bool ShowImageAndText() const { return showImageAndText_; }
  void SetShowImageAndText(bool Value);
  int32_t Tag() const { return tag_; }
  void SetTag(int32_t Value) { tag_ = Value; }
  bool TextEditing();
  void SetTextEditing(bool Value);
  bool IsTextEditingStored();
  bool ToolTips();
  void SetToolTips(bool Value);
  bool IsToolTipsStored();
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  bool WordWrap();
  virtual void SetWordWrap(bool Value);
  bool IsWordWrapStored();

  // --- owned objects (write = Assign) ---
  TDynVarsEh* DynProps() const { return dynProps_.get(); }
  void SetDynProps(TDynVarsEh* Value) { dynProps_->Assign(Value); }
  TColumnDropDownBoxEh* DropDownBox() const { return dropDownBox_.get(); }
  void SetDropDownBox(TColumnDropDownBoxEh* Value) { dropDownBox_->Assign(Value); }
  TSpecRowEh* DropDownSpecRow() const { return dropDownSpecRow_.get(); }
  void SetDropDownSpecRow(TSpecRowEh* Value) { dropDownSpecRow_->Assign(Value); }
  TDropDownFormCallParamsEh* DropDownFormParams() const { return dropDownFormParams_.get(); }
  void SetDropDownFormParams(TDropDownFormCallParamsEh* Value) { dropDownFormParams_->Assign(Value); }
  // The edit buttons and the title are made on first use through CreateEditButtons and
  // CreateTitle (a constructor cannot reach a descendant's override).
  TEditButtonsEh* EditButtons() const;
  void SetEditButtons(TEditButtonsEh* Value) { EditButtons()->Assign(Value); }
  TMRUListEh* MRUList() const { return mruList_.get(); }
  void SetMRUList(TMRUListEh* Value) { mruList_->Assign(Value); }
  TAxisBarTitleEh* Title() const;
  void SetTitle(TAxisBarTitleEh* Value) { Title()->Assign(Value); }

  TAxisBarButtonClickEventEh OnEditButtonClick;
  TAxisBarButtonDownEventEh OnEditButtonDown;
  TAxisBarNotInListEventEh OnNotInList;
  TColCellUpdateDataEventEh OnUpdateData;
  TAxisBarOpenDropDownFormEventEh OnOpenDropDownForm;
  TAxisBarCloseDropDownFormEventEh OnCloseDropDownForm;

  // --- the fallbacks ---
  virtual TAlignment DefaultAlignment();
  virtual TColor DefaultColor();
  virtual TFont* DefaultFont();
  virtual TImeMode DefaultImeMode();
  virtual TImeName DefaultImeName();
  virtual bool DefaultReadOnly();
  bool DefaultCheckboxes();
  bool DefaultTextEditing();
  bool DefaultWordWrap();
  std::string DefaultLookupDisplayFields();

  // --- field binding ---
  // The bound field, looked up by name when not cached (nullptr while the data set is closed
  // and will make default fields on open).
  virtual TField* GetField();
  virtual void SetField(TField* Value);
  // Drops the cached field so that the next GetField looks it up again.
  void ResetFieldLink() { field_ = nullptr; }
  TField* CachedField() const { return field_; }

  // --- model operations ---
  virtual TEditButtonsEh* CreateEditButtons();
  virtual TAxisBarTitleEh* CreateTitle();
  virtual int GetDefaultEditButtonWidth();
  virtual bool IsAutomatic() const { return !persistent_; }
  // Tells the collection (a layout change when AllItems).
  virtual void NotifyChanged(bool AllItems);
  virtual void FontChanged(TObject* Sender);
  virtual void DropDownBoxChanged(TObject* Sender);
  virtual bool IsAlwaysShowEditButton() { return AlwaysShowEditButton(); }
  // Raise " TAxisBarEh.SetTextArea must be realized in the inherited class." here.
  virtual void SetTextArea(const TRect& ARect);
  // Raises " TAxisBarEh.GetColCellParams must be realized in the inherited class." here.
  virtual void GetColCellParams(TAxisColCellParamsEh* Params);
  // False when GetColCellParams leaves the parameters as they are: CanModify then needs none.
  virtual bool ChangesColCellParams() { return true; }
  virtual void RestoreDefaults();
  // The column's own cell-parameter block, made by the grid (nullptr without a grid).
  TAxisColCellParamsEh* ColCellParams() const { return colCellParams_.get(); }

  // --- cell values and editing (AxisBarValuesEh.cpp) ---
  virtual TAxisBarKindEh GetColumnType();
  virtual std::string GetDisplayText();
  virtual std::string GetEditText();
  std::string FormatDisplayValue(TField* Field, const std::string& Format);
  virtual int GetImageIndex();
  TCheckBoxState GetCheckboxState();
  void SetCheckboxState(TCheckBoxState State);
  void UpdateData(const std::string& Text, const Variant& Value, bool UseText);
  bool CanModify(bool TryEdit);
  void FillColCellParams(TAxisColCellParamsEh* Params);
  void SetNextFieldValue(long double Step);
  TDataSet* GetListDataSet();
  bool IsValidChar(char32_t Ch);
  std::string FilterInvalidChars(const std::string& Text);
  std::string GetEditorEditMask();
  virtual int GetEditButtonsWidth();
  virtual bool IsWordWrapEffective(int RowHeight);
  virtual bool UseRightToLeftAlignment();
  virtual bool UseRightToLeftReading();
  virtual bool UseRightToLeftScrollBar();
  virtual void ApplyListSourceAutoFilter(TDataSet* ListDataSet, const std::string& KeyFieldName,
                                         const std::string& Text, bool Contains);
  bool IsEditableDataBar();
  // 0 here; the data grid's column measures its text.
  virtual int CalcAutoFitRowHeight() { return 0; }
  // The horizontal text margin the cell painter uses.
  virtual int GetTextMargin() { return 3; }

  // --- the edit style (AxisBarEditStyleEh.cpp) ---
  // The editor's style for this column's cell; where the table gives esSimpleEh, the first
  // visible edit button lends its role (an ellipsis, up-down or the field's drop-down).
  TInplaceEditStyleEh GetInplaceEditStyle();
  // The button painted in the cell: the same table, a lookup field's data set must be active.
  // The edit buttons are painted as buttons of their own and do not count here.
  TInplaceEditStyleEh GetCellButtonStyle();

 protected:
  // The effective style for a lookup or date field under the cbsAuto rules; ForCellButton adds
  // the lookup data set's Active test.
  TInplaceEditStyleEh ResolveAutoStyle(bool ForCellButton);
  void SetAssignedBool(TAxisBarAssignedValueEh V, bool& Own, bool Value, bool Notify);
  // The key fields of a lookup field in order; empty when it names none or names a field its
  // data set lacks (AxisBarValuesEh.cpp).
  static std::vector<TField*> LookupKeyFieldList(TField* Field);
  // The style table alone, without the edit-button rule (AxisBarEditStyleEh.cpp).
  TInplaceEditStyleEh StyleFromButtonStyle(bool ForCellButton);

 private:
  friend class TGridAxisBarsEh;  // keeps bars_ as the bar joins and leaves it
  // The collection as axis bars (nullptr in any other collection): asked on every cell painted,
  // so it is kept instead of cast each time.
  TGridAxisBarsEh* bars_ = nullptr;
  friend class TAxisBarTitleEh;
  void ImageListChanged(TObject* Sender);
  void ParamsChanged(TObject* Sender);
  bool InLayoutLoading() const;

  TAlignment alignment_ = taLeftJustify;
  TAxisBarAssignedValuesEh assignedValues_;
  TBiDiMode biDiMode_ = bdLeftToRight;
  TCellButtonStyleEh buttonStyle_ = cbsAuto;
  bool checkboxes_ = false;
  TColor color_ = clWindow;
  bool dblClickNextVal_ = false;
  std::string displayFormat_;
  std::unique_ptr<TDynVarsEh> dynProps_;
  std::unique_ptr<TColumnDropDownBoxEh> dropDownBox_;
  uint32_t dropDownRows_ = 7;
  bool dropDownShowTitles_ = false;
  bool dropDownSizing_ = false;
  std::unique_ptr<TSpecRowEh> dropDownSpecRow_;
  mutable std::unique_ptr<TEditButtonsEh> editButtons_;
  std::string editMask_;
  std::string fieldName_;
  std::unique_ptr<TFont> font_;
  bool highlightRequired_ = false;
  TCustomImageList* imageList_ = nullptr;
  std::unique_ptr<TChangeLink> imageChangeLink_;
  TImeMode imeMode_ = imDontCare;
  TImeName imeName_;
  long double increment_ = 1.0L;
  TTextLayout layout_ = tlTop;
  std::unique_ptr<TStringList> keyList_;
  std::unique_ptr<TMRUListEh> mruList_;
  int notInKeyListIndex_ = -1;
  std::unique_ptr<TStringList> pickList_;
  TPopupMenu* popupMenu_ = nullptr;
  bool readOnly_ = false;
  bool persistent_ = true;
  bool showImageAndText_ = false;
  int32_t tag_ = 0;
  bool textEditing_ = true;
  mutable std::unique_ptr<TAxisBarTitleEh> title_;
  bool toolTips_ = false;
  bool visible_ = true;
  std::unique_ptr<TDropDownFormCallParamsEh> dropDownFormParams_;
  bool alwaysShowEditButton_ = false;
  bool autoDropDown_ = false;
  std::unique_ptr<TComponent> dataListOwner_;  // the lookup grid component
  ILookupGridEh* dataList_ = nullptr;
  int dropDownWidth_ = 0;
  bool endEllipsis_ = false;
  std::string lookupDisplayFields_;
  bool wordWrap_ = false;
  std::unique_ptr<TAxisColCellParamsEh> colCellParams_;
  TField* field_ = nullptr;
};

// The data grid's columns implement the width operations.
class TBaseColumnEh : public TAxisBarEh {
  RTL_CLASS(TBaseColumnEh, TAxisBarEh)
 public:
  explicit TBaseColumnEh(TCollection* Collection);
  ~TBaseColumnEh() override;
  virtual bool GetAutoFitColWidth() = 0;
  virtual int GetWidth() = 0;
  virtual int GetMaxWidth() = 0;
  virtual int GetMinWidth() = 0;
  virtual void SetAutoFitColWidth(bool Value) = 0;
  virtual void SetMaxWidth(int Value) = 0;
  virtual void SetMinWidth(int Value) = 0;
  virtual void SetWidth(int Value) = 0;
};

// --- the collection ----------------------------------------------------------------------------

class TGridAxisBarsEh : public TCollection {
  RTL_CLASS(TGridAxisBarsEh, TCollection)
 public:
  TGridAxisBarsEh(TCustomDBAxisGridEh* AGrid, TClass ItemClass);
  ~TGridAxisBarsEh() override;
  // TCollection::Assign between the grid's BeginLayout and EndLayout.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  // Within the grid's layout brackets, so that the grid lays out a whole column (the column's
  // own brackets close before its descendant's constructor has run).
  TAxisBarEh* Add();
  // Add, then the new column is not persistent.
  TAxisBarEh* AddAutomatic();
  TAxisBarEh* GetAxisBar(int Index) const { return static_cast<TAxisBarEh*>(Items(Index)); }
  TAxisBarEh* operator[](int Index) const { return GetAxisBar(Index); }
  TCustomDBAxisGridEh* GetGrid() const { return grid_; }
  int GetUpdateCount() const { return UpdateCount(); }
  // Holds columns and the first is user-defined.
  bool IsPersistent() const;
  virtual bool IsAutomatic() const { return !IsPersistent(); }
  // A descendant collection that is not automatic asks this second test (True here).
  virtual bool KeepsOwnBars() const { return true; }
  TAxisBarEh* FindAxisBarByName(const std::string& Name) const;
  bool HasAxisBar(TAxisBarEh* Item) const;
  // Every column looks its field up again.
  void ResetFieldLinks();

 protected:
  friend class TAxisBarEh;  // reports its own addition and moves
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
  void Update(TCollectionItem* Item) override {}
  // Kind: 0 added, 1 removed, 2 moved.
  virtual void AxisBarsChanged(TAxisBarEh* Item, int Kind) {}

 private:
  TCustomDBAxisGridEh* grid_;
};

class TBaseColumnsEh : public TGridAxisBarsEh {
  RTL_CLASS(TBaseColumnsEh, TGridAxisBarsEh)
 public:
  TBaseColumnsEh(TCustomDBAxisGridEh* AGrid, TClass ItemClass) : TGridAxisBarsEh(AGrid, ItemClass) {}
};

// The visible columns in display order.
class TAxisBarsEhList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TAxisBarEh* operator[](int Index) const { return items_.at(Index); }
  void Clear() { items_.clear(); }
  void Add(TAxisBarEh* Bar) { items_.push_back(Bar); }
  int IndexOf(const TAxisBarEh* Bar) const;

 private:
  std::vector<TAxisBarEh*> items_;
};

// Registers the column, title, collection and default-value classes for window descriptions.
void RegisterAxisBarClasses();
