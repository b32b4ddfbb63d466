#pragma once
// The data grid's columns: TColumnEh (an axis bar with width rules, footers, a filter-row
// setting, cell-parameter and drop-down events and a place in the row-panel layout), its title
// with the sort marker that title clicks cycle, the collection with the editable-column
// navigation, and the small classes a column owns.
//
// Files: DBGridEhColumn.cpp (the column), DBGridEhColumnTitle.cpp (title and sort markers),
// DBGridEhColumnsCollection.cpp (the collection and its navigation), DBGridEhColumnParts.cpp
// (footers, the filter setting, the default values, the sort-marked list), DBGridEhFilterModel.cpp
// (the filter's condition, its texts and its value list).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/axis/AxisBarDefValuesEh.h"
#include "grid/axis/AxisBarEh.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/DBSumListEh.h"
#include "grid/data/FieldValueListEh.h"
#include "grid/foundation/GridsEh.h"
#include "platform/db/DB.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Variant.h"

class TCustomDBGridEh;
class TColumnEh;
class TColumnTitleEh;
class TDBGridColumnsEh;
class TSTColumnFilterEh;
class TColumnFooterEh;
class TColumnFootersEh;

// smDownEh is ascending, smUpEh descending.
enum class TSortMarkerEh { smNoneEh, smDownEh, smUpEh };
using enum TSortMarkerEh;
RTL_ENUM_INFO(TSortMarkerEh, "smNoneEh", "smDownEh", "smUpEh");

enum class TFooterValueType { fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText };
using enum TFooterValueType;
RTL_ENUM_INFO(TFooterValueType, "fvtNon", "fvtSum", "fvtAvg", "fvtCount", "fvtFieldValue", "fvtStaticText");

// Operand kind of a column's filter condition.
enum class TSTFilterValueKindEh : uint8_t {
  fvkNoneEh,
  fvkStringEh,
  fvkNumberEh,
  fvkDateTimeEh,
  fvkBooleanEh
};
using enum TSTFilterValueKindEh;

// Operators and relations of a filter condition.
enum class TSTFilterOpEh : uint8_t {
  fopNoneEh,
  fopEqualEh,
  fopNotEqualEh,
  fopGreaterEh,
  fopLessEh,
  fopGreaterOrEqualEh,
  fopLessOrEqualEh,
  fopLikeEh,
  fopNotLikeEh,
  fopInEh,
  fopNotInEh,
  fopNullEh,
  fopNotNullEh,
  fopAndEh,
  fopOrEh,
  // Only while reading a filter text: a value token, and the equality forms of the null tests.
  fopValueEh,
  fopEqualNullEh,
  fopNotEqualNullEh
};
using enum TSTFilterOpEh;

// A parsed filter condition: up to two operator-operand parts joined by a relation.
struct TSTFilterExpressionEh {
  // Set from the column's field before parsing.
  TSTFilterValueKindEh ValueKind = fvkNoneEh;
  // fopNoneEh: no condition.
  TSTFilterOpEh Operator1 = fopNoneEh;
  // The value, or a Variant array for fopInEh and fopNotInEh.
  Variant Operand1;
  // fopAndEh, fopOrEh or fopNoneEh.
  TSTFilterOpEh Relation = fopNoneEh;
  TSTFilterOpEh Operator2 = fopNoneEh;
  Variant Operand2;
};

// Which of a footer's values were set rather than followed.
enum class TFooterValueEh { fvAlignmentEh, fvFontEh, fvColorEh, fvToolTipsEh };
using enum TFooterValueEh;
using TFooterValues = TSet<TFooterValueEh, 8>;

// The data grid's cell parameters: what the axis grid's block carries, plus the grid's own.
class TColCellParamsEh : public TAxisColCellParamsEh {
  RTL_CLASS(TColCellParamsEh, TAxisColCellParamsEh)
 public:
  TColCellParamsEh() = default;
  // The column's row for the current record while a cell is painted (-1 outside painting).
  int Row = -1;
  // The cell's own font when an event replaced the canvas font (not owned).
  TFont* SuppliedFont = nullptr;
  // The data-cell painter serves a cell outside the data rows: it only fills it.
  bool NotDataRowCell = false;
  // The painter takes the grid's FixedColor for the background.
  bool UseFixedColor = false;
  // The cell's frame: 2 plain, 1 in 3-D, one less when flat.
  int FrameWidth = 2;
};

// --- events ------------------------------------------------------------------------------------

using TGetColCellParamsEventEh = TEvent<void(TObject* Sender, bool EditMode, TColCellParamsEh* Params)>;
using TDrawColumnEhCellEvent =
    TEvent<void(TObject* Sender, const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State)>;
using TDrawColumnDataCellEventEh =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, int Cell, int AreaCol, int AreaRow,
                const TRect& ARect, TGridDrawState State, TColCellParamsEh* Params, bool& Processed)>;
using TColCheckDrawRequiredStateEventEh =
    TEvent<void(TObject* Sender, const std::string& Text, bool& DrawState)>;
using TColHintShowPauseEventEh =
    TEvent<void(TCustomDBGridEh* Sender, TPoint MousePos, TGridCoord Cell, TPoint InCellPos,
                TColumnEh* Column, int& HintPause, bool& Processed)>;
using TDBGridEhDataHintShowEventEh =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, TPoint CursorPos, TPoint Cell, int InCellX,
                int InCellY, std::string& HintText, bool& Processed)>;
using TFillSTFilterListValuesEventEh =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items, bool& Processed)>;
using TColumnGroupGetKeyValueEventEh =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, Variant& KeyValue)>;
using TColumnGroupGetKeyValueAsTextEventEh =
    TEvent<void(TCustomDBGridEh* Sender, TGroupDataTreeNodeEh* GroupDataTreeNode, const Variant& KeyValue,
                std::string& KeyValueAsText)>;
using TGetHideDuplicatesValueEventEh =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, Variant& Value, bool& Processed)>;
// The group-footer relays of the grid and the column.
using TGridDataGroupFooterItemAggregateValueEvent =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, TGridDataGroupFooterEh* GroupFooter,
                TGridDataGroupFooterColumnItemEh* FooterColumnItem, Variant& AValue,
                TGroupDataTreeNodeEh* Node, bool& Processed)>;
using TGridDataGroupFooterItemFinalizeValueEvent =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, TGridDataGroupFooterEh* GroupFooter,
                TGridDataGroupFooterColumnItemEh* FooterColumnItem, Variant& AValue, bool& Processed)>;
using TGridDataGroupFooterItemToDisplayTextEvent =
    TEvent<void(TCustomDBGridEh* Grid, TColumnEh* Column, TGridDataGroupFooterEh* GroupFooter,
                TGridDataGroupFooterColumnItemEh* FooterColumnItem, Variant& AValue,
                std::string& DisplayValue, bool& Processed)>;
using TDropDownBoxApplyTextFilterEventEh =
    TEvent<void(TColumnEh* Column, TCustomDBGridEh* Grid, TDataSet* ListDataSet,
                const std::string& KeyFieldName, const std::string& Text, bool Contains)>;

// --- the title ---------------------------------------------------------------------------------

class TColumnTitleEh : public TAxisBarTitleEh {
  RTL_CLASS(TColumnTitleEh, TAxisBarTitleEh)
 public:
  explicit TColumnTitleEh(TAxisBarEh* AColumn);
  ~TColumnTitleEh() override;
  static void DescribeClass(TClassBuilder<TColumnTitleEh>& c);
  // From another title also SortIndex, then SortMarker, through their writes.
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  TColumnEh* Column() const;
  TCustomDBGridEh* Grid() const;
  // 0 = not in the sort order, else the 1-based place.
  int SortIndex() const { return sortIndex_; }
  void SetSortIndex(int Value);
  TSortMarkerEh SortMarker() const { return sortMarker_; }
  void SetSortMarker(TSortMarkerEh Value);
  // A title-button click: cycles the marker (with MultiSort the third click clears it).
  void ToggleSortMarker(bool MultiSort);
  // The room the marker takes in the title.
  int GetSortMarkerAreaWidth();
  // The width of the filter drop-down button drawn in the title (0 when none).
  int GetFilterButtonWidth();

 private:
  int sortIndex_ = 0;
  TSortMarkerEh sortMarker_ = smNoneEh;
};

// --- footers -----------------------------------------------------------------------------------

// One footer cell of a column: a total, a count, the field's value or a static text.
class TColumnFooterEh : public TCollectionItem {
  RTL_CLASS(TColumnFooterEh, TCollectionItem)
 public:
  explicit TColumnFooterEh(TCollection* Collection);
  // The single footer of a column (not in a collection).
  explicit TColumnFooterEh(TColumnEh* AColumn);
  ~TColumnFooterEh() override;
  static void DescribeClass(TClassBuilder<TColumnFooterEh>& c);
  void Assign(TPersistent* Source) override;
  // Forgets the set values (AssignedValues empty), reloads the font and notifies.
  void RestoreDefaults();

  TColumnEh* Column() const { return column_; }
  // Which of alignment, font, colour and tool tips were set.
  TFooterValues AssignedValues() const { return assignedValues_; }
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool IsAlignmentStored() const { return assignedValues_.Contains(fvAlignmentEh); }
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const { return assignedValues_.Contains(fvColorEh); }
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);
  bool EndEllipsis() const { return endEllipsis_; }
  void SetEndEllipsis(bool Value);
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value);
  // Follows the grid's footer font until set.
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool IsFontStored() const { return assignedValues_.Contains(fvFontEh); }
  // Follows the column default values until set.
  bool ToolTips() const;
  void SetToolTips(bool Value);
  bool IsToolTipsStored() const { return assignedValues_.Contains(fvToolTipsEh); }
  const std::string& Value() const { return value_; }
  void SetValue(const std::string& Value);
  TFooterValueType ValueType() const { return valueType_; }
  void SetValueType(TFooterValueType Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  // The footer's field, looked up again when the column's field changes.
  TField* Field() const { return field_; }
  // Keeps the footer's item in the grid's sum list for the sum, average and count kinds.
  void UpdateSumItem();
  TDBSum* SumItem() const { return sumItem_; }
  // Takes the footer's item out of the grid's sum list (the column is going).
  void ReleaseSumItem();
  void RebindField();

 private:
  void FontChanged(TObject* Sender);
  void Changed();
  TColumnEh* column_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  TFooterValues assignedValues_;
  TColor color_ = clWindow;
  std::string displayFormat_;
  bool endEllipsis_ = false;
  std::string fieldName_;
  std::unique_ptr<TFont> font_;
  bool toolTips_ = false;
  std::string value_;
  TFooterValueType valueType_ = fvtNon;
  bool wordWrap_ = false;
  TField* field_ = nullptr;
  // Owned by the sum list's collection.
  TDBSum* sumItem_ = nullptr;
};

class TColumnFootersEh : public TCollection {
  RTL_CLASS(TColumnFootersEh, TCollection)
 public:
  explicit TColumnFootersEh(TColumnEh* AColumn);
  TColumnFootersEh(TColumnEh* AColumn, TClass ItemClass);
  TPersistent* GetOwner() override;
  TColumnFooterEh* Items(int Index) const { return static_cast<TColumnFooterEh*>(TCollection::Items(Index)); }
  TColumnEh* Column() const { return column_; }
  TColumnFooterEh* Add() { return static_cast<TColumnFooterEh*>(TCollection::Add()); }
  TColumnFooterEh* Footer(int Index) const { return Items(Index); }

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TColumnEh* column_;
};

// --- the filter-row setting of a column --------------------------------------------------------

class TSTColumnFilterEh : public TPersistent {
  RTL_CLASS(TSTColumnFilterEh, TPersistent)
 public:
  explicit TSTColumnFilterEh(TColumnEh* AColumn);
  ~TSTColumnFilterEh() override;
  static void DescribeClass(TClassBuilder<TSTColumnFilterEh>& c);
  // Copies DataField, Visible, KeyField, ListField and ListSource.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TColumnEh* Column() const { return column_; }
  TCustomDBGridEh* Grid() const;
  const std::string& DataField() const { return dataField_; }
  void SetDataField(const std::string& Value);
  const std::string& KeyField() const { return keyField_; }
  void SetKeyField(const std::string& Value);
  const std::string& ListField() const { return listField_; }
  void SetListField(const std::string& Value);
  TDataSource* ListSource() const { return listSource_; }
  void SetListSource(TDataSource* Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // The parsed condition.
  TSTFilterExpressionEh& Expression() { return expression_; }
  // Sets the condition (Operator1 fopNoneEh: no condition).
  void SetExpression(const TSTFilterExpressionEh& Value);
  // The condition text as set ("" = no condition).
  const std::string& ExpressionStr() const { return expressionStr_; }
  // KeyValue unassigned, text "", repaint, editor placed again.
  void Clear();

  // --- DBGridEhFilterModel.cpp: the condition and its operands ---
  virtual std::string GetExpressionAsText();
  virtual bool CanShowList();
  // Parses the text, translates picked values to keys, stores and tells the grid.
  virtual void SetExpressionStr(const std::string& Value);
  // The lookup defaults: the column's data field, else the filter's own.
  virtual std::string GetDataField();
  // The first operand (the key value when a key field is set).
  virtual Variant GetOperand1();
  virtual Variant GetOperand2();
  // Between shown (picked) values and key values.
  virtual void TranslatePickKeyOperands();
  std::string GetKeyField();
  TDataSet* GetListDataSet();
  std::string GetListField();
  // Brings the expression up to date from the text.
  void UpdateExpressionFromText();
  // The quoted form of an operand for the custom filter dialog.
  std::string GetOperandAsQuotedText(const Variant& Value, TSTFilterOpEh Op);

  // --- DBGridEhFilterModel.cpp: the value list of the drop-down ---
  // Fills the key and list values from the list source; drops the column's cached value list.
  void FillKeyAndListValues();
  // A value list over the list source.
  IMemTableDataFieldValueListEh* GetListFieldValueList();
  // Ticks the items the condition names.
  void CheckStatesFromExpression();
  // Builds the condition from the ticked items.
  void SetExpressionFromCheckStates();

  // List state read by the filter-row editor and the list items.
  // The hot data entry (-1 none).
  int HotIndex = -1;
  // One check byte per list item.
  std::vector<uint8_t> CheckStates;
  // A data entry is being toggled: the list stays open.
  bool ListChanging = false;
  // A toggle keeps the other checked values (a mouse release or the space key toggles).
  bool KeepOthers = false;
  // The list is being filled or closed.
  bool ListBusy = false;
  // The remembered list size.
  int DropDownWidth = 0;
  int DropDownRows = 15;
  // Reset when the list fills and closes.
  int ListItemIndex = -1;
  // The entries of the open value list (not owned; nullptr while none is open).
  TStrings* ListItems = nullptr;

 private:
  void Changed();
  TColumnEh* column_;
  std::string dataField_;
  std::string keyField_;
  std::string listField_;
  TDataSource* listSource_ = nullptr;
  bool visible_ = true;
  std::string expressionStr_;
  TSTFilterExpressionEh expression_;
  // Key-field values and list-field values from the list source.
  std::unique_ptr<TStringList> keyValues_;
  std::unique_ptr<TStringList> listValues_;
  // The first operand when a key field is set.
  Variant keyValue_;
  // The list source link; an active change fills the lists again.
  std::unique_ptr<TFieldDataLink> listLink_;
};

// --- the column --------------------------------------------------------------------------------

class TColumnEh : public TBaseColumnEh {
  RTL_CLASS(TColumnEh, TBaseColumnEh)
 public:
  explicit TColumnEh(TCollection* Collection);
  ~TColumnEh() override;
  static void DescribeClass(TClassBuilder<TColumnEh>& c);
  void DefineProperties(TFiler& Filer) override;
  void Assign(TPersistent* Source) override;

  TCustomDBGridEh* Grid() const;
  TColumnTitleEh* Title() const;
  void SetTitle(TColumnTitleEh* Value) { Title()->Assign(Value); }

  // --- widths ---
  bool GetAutoFitColWidth() override { return autoFitColWidth_; }
  int GetWidth() override;
  int GetMaxWidth() override { return maxWidth_; }
  int GetMinWidth() override { return minWidth_; }
  void SetAutoFitColWidth(bool Value) override;
  void SetMaxWidth(int Value) override;
  void SetMinWidth(int Value) override;
  void SetWidth(int Value) override;
  bool AutoFitColWidth() { return GetAutoFitColWidth(); }
  int Width() { return GetWidth(); }
  int MaxWidth() { return GetMaxWidth(); }
  int MinWidth() { return GetMinWidth(); }
  bool IsWidthStored();
  // Value lowered to MaxWidth and raised to MinWidth, each when above 0.
  int ClampWidth(int Value) const;
  // The width at creation: the base of automatic fitting.
  int InitWidth() const { return initWidth_; }
  void SetInitWidth(int Value) { initWidth_ = Value; }
  int GetDefaultWidth();
  // The width kept while the grid fits its columns automatically.
  int SavedWidth() const { return savedWidth_; }
  void SetSavedWidth(int Value) { savedWidth_ = Value; }

  // --- footers, filter, duplicates ---
  TColumnFooterEh* Footer() const { return footer_.get(); }
  void SetFooter(TColumnFooterEh* Value) { footer_->Assign(Value); }
  TColumnFootersEh* Footers() const { return footers_.get(); }
  void SetFooters(TColumnFootersEh* Value) { footers_->Assign(Value); }
  // Footers[Index] when 0 <= Index < Footers.Count, else Footer.
  TColumnFooterEh* GetFooter(int Index) const;
  TSTColumnFilterEh* STFilter() const { return stFilter_.get(); }
  void SetSTFilter(TSTColumnFilterEh* Value) { stFilter_->Assign(Value); }
  bool HideDuplicates() const { return hideDuplicates_; }
  virtual void SetHideDuplicates(bool Value);
  // Made on first use: from STFilter.ListSource, else the grid's data set for the key field.
  IMemTableDataFieldValueListEh* GetFilterValueList();
  void ReleaseFilterValueList() { filterValueList_ = nullptr; }

  // --- row panel placement ---
  // A row panel has at most this many lines: line positions and heights are clamped to them.
  static constexpr int kMaxRowPanelLines = 1024;
  int InRowLinePos() const { return inRowLinePos_; }
  void SetInRowLinePos(int Value);
  int InRowLineHeight() const { return inRowLineHeight_; }
  void SetInRowLineHeight(int Value);
  // The column's left and width inside the row panel.
  int InRowPanelLeft();
  int InRowPanelWidth();
  // Set by the row panel's layout.
  void SetInRowPanelLeft(int Value) { inRowPanelLeft_ = Value; }

  // --- values ---
  void UpdateDataText(const std::string& Text);
  void UpdateDataValue(const Variant& Value);
  // The group-footer menu kinds: 0 none, 1 sum, 2 average, 3 count, 4 max, 5 min.
  bool GetGroupFooterKindAllowed(int Kind);
  // Fits the width to the content through the grid's width optimiser.
  virtual void OptimizeWidth();

  // --- overrides ---
  TAxisBarTitleEh* CreateTitle() override;
  void NotifyChanged(bool AllItems) override;
  void SetField(TField* Value) override;
  TField* GetField() override;
  void SetTextArea(const TRect& ARect) override;
  // The text rectangle of a data cell, made narrower by the buttons and indents.
  void AdjustTextArea(TRect& ARect);
  int CalcAutoFitRowHeight() override;
  bool IsWordWrapEffective(int RowHeight) override;
  void ApplyListSourceAutoFilter(TDataSet* ListDataSet, const std::string& KeyFieldName,
                                 const std::string& Text, bool Contains) override;
  void GetColCellParams(TAxisColCellParamsEh* Params) override;
  // Fires OnGetCellParams. A descendant that overrides it overrides ChangesColCellParams too.
  virtual void GetColCellParamsEh(bool EditMode, TColCellParamsEh* Params);
  bool ChangesColCellParams() override { return static_cast<bool>(OnGetCellParams); }
  virtual TColumnFooterEh* CreateFooter();
  virtual TColumnFootersEh* CreateFooters();
  virtual TSTColumnFilterEh* CreateSTFilter();

  // --- events ---
  TGetColCellParamsEventEh OnGetCellParams;
  TDrawColumnDataCellEventEh OnAdvDrawDataCell;
  TColCheckDrawRequiredStateEventEh OnCheckDrawRequiredState;
  TColHintShowPauseEventEh OnHintShowPause;
  TDBGridEhDataHintShowEventEh OnDataHintShow;
  TFillSTFilterListValuesEventEh OnFillSTFilterListValues;
  TColumnGroupGetKeyValueEventEh OnGroupGetKeyValue;
  TColumnGroupGetKeyValueAsTextEventEh OnGroupGetKeyValueAsText;
  TGetHideDuplicatesValueEventEh OnGetHideDuplicatesValue;
  TGridDataGroupFooterItemFinalizeValueEvent OnDataGroupFooterFinalizeValue;
  TGridDataGroupFooterItemToDisplayTextEvent OnDataGroupFooterToDisplayText;
  TGridDataGroupFooterItemAggregateValueEvent OnDataGroupFooterAggregateValue;
  TDropDownBoxApplyTextFilterEventEh OnDropDownBoxApplyTextFilter;

 private:
  void ReadInRowLinePos(TReader& Reader);
  void WriteInRowLinePos(TWriter& Writer);
  void ReadInRowLineHeight(TReader& Reader);
  void WriteInRowLineHeight(TWriter& Writer);
  void RebindFooters();

  std::unique_ptr<TColumnFooterEh> footer_;
  std::unique_ptr<TColumnFootersEh> footers_;
  bool hideDuplicates_ = false;
  int maxWidth_ = 0;
  int minWidth_ = 0;
  int width_ = 0;
  std::unique_ptr<TSTColumnFilterEh> stFilter_;
  TInterfacePtr<IMemTableDataFieldValueListEh> filterValueList_;
  bool autoFitColWidth_ = true;
  int initWidth_ = 0;
  int savedWidth_ = 0;
  int inRowLinePos_ = 0;
  int inRowLineHeight_ = 1;
  int inRowPanelLeft_ = 0;
  // Set while automatic fitting has fixed the width.
  bool autoFitFixed_ = false;
  // One flag per visible row and two more: the cell repeats the value above.
  std::vector<uint8_t> duplicateFlags_;
};

// The published column of TDBGridEh.
class TDBGridColumnEh : public TColumnEh {
  RTL_CLASS(TDBGridColumnEh, TColumnEh)
 public:
  explicit TDBGridColumnEh(TCollection* Collection) : TColumnEh(Collection) {}
};

// --- the collection ----------------------------------------------------------------------------

class TDBGridColumnsEh : public TBaseColumnsEh {
  RTL_CLASS(TDBGridColumnsEh, TBaseColumnsEh)
 public:
  TDBGridColumnsEh(TCustomDBGridEh* AGrid, TClass ItemClass);
  TCustomDBGridEh* GetGrid() const;
  TColumnEh* GetColumn(int Index) const { return static_cast<TColumnEh*>(Items(Index)); }
  TColumnEh* operator[](int Index) const { return GetColumn(Index); }
  TColumnEh* Add() { return static_cast<TColumnEh*>(TGridAxisBarsEh::Add()); }
  TColumnEh* FindColumnByName(const std::string& Name) const;
  // Every column looks its field up again and drops its filter value list.
  void ResetFieldLinks();

  // --- editable-column navigation (Tab and arrows) ---
  // The next editable column in that direction, or Column itself when there is none.
  TColumnEh* GetNextEditableColumn(TColumnEh* Column, bool Forward);
  TColumnEh* GetFirstEditableColumn();
  TColumnEh* GetLastEditableColumn();
  // Row-panel mode: the editable column on the next (Down) or previous panel line that overlaps
  // Column horizontally; Column itself when there is none.
  TColumnEh* GetColumnAboveOrBelow(TColumnEh* Column, bool Down);

 protected:
  void Update(TCollectionItem* Item) override;
};

// The title default values of the data grid's columns.
class TColumnTitleDefValuesEh : public TAxisBarCaptionDefValuesEh {
  RTL_CLASS(TColumnTitleDefValuesEh, TAxisBarCaptionDefValuesEh)
 public:
  explicit TColumnTitleDefValuesEh(TAxisBarDefValuesEh* AOwner) : TAxisBarCaptionDefValuesEh(AOwner) {}
};

// The grid's default column values.
class TColumnDefValuesEh : public TCustomColumnDefValuesEh {
  RTL_CLASS(TColumnDefValuesEh, TCustomColumnDefValuesEh)
 public:
  explicit TColumnDefValuesEh(TCustomDBAxisGridEh* AGrid) : TCustomColumnDefValuesEh(AGrid) {}

 protected:
  // A TColumnTitleDefValuesEh.
  TAxisBarCaptionDefValuesEh* CreateTitleDefValues() override;
};

// A list of columns that owns none: the sort-marked columns in SortIndex order (lengthened
// with nil entries while it is rebuilt) and the base of the selected columns.
class TColumnsEhList : public TList {
  RTL_CLASS(TColumnsEhList, TList)
 public:
  TColumnsEhList() = default;
  TColumnEh* Items(int Index) const { return static_cast<TColumnEh*>(TList::Items(Index)); }
  TColumnEh* operator[](int Index) const { return Items(Index); }
  int Add(TColumnEh* Column) { return TList::Add(Column); }
  int Remove(TColumnEh* Column) { return TList::Remove(Column); }
  int IndexOf(const TColumnEh* Column) const { return TList::IndexOf(const_cast<TColumnEh*>(Column)); }
};
