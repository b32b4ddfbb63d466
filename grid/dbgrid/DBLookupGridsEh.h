#pragma once
// The lookup grid: a data grid that shows the rows of a list data set, keeps one chosen key value
// and, bound to a data field, writes that key into the field. The list side is the grid's own data
// link (ListSource); the data side is a TLookupGridDataLinkEh (its DataSource, DataFieldName). A special
// first row (SpecRow) can stand for "no value"; typing searches the list field (type-ahead).
//
// Files: DBLookupGridsEh.cpp (fields, selection, keys, type-ahead), DBLookupGridsEhScroll.cpp
// (the vertical scroll bar, the height), DBLookupGridsEhMouse.cpp (clicks and drags),
// DBLookupGridsEhPaint.cpp (rows, the special row, highlighted text), DBLookupGridsEhAutoFit.cpp
// (columns filling the width, the columns' width sum),
// DBLookupGridsEhIntf.cpp (the lookup-grid interface a column's cell editor drives, the factory and
// the streaming registration), DBLookupGridsEhPopup.cpp (TPopupDataGridEh, the drop-down).
#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/foundation/PopupListboxEh.h"  // TSizeGripEh

class TDBLookupGridEh;

// The data side's link: the field that receives the chosen key.
class TLookupGridDataLinkEh : public TDataLink {
  RTL_CLASS(TLookupGridDataLinkEh, TDataLink)
 public:
  explicit TLookupGridDataLinkEh(TDBLookupGridEh* AGrid) : grid_(AGrid) {}
  TDBLookupGridEh* Grid() const { return grid_; }
  void ActiveChanged() override;
  void LayoutChanged() override;
  void FocusControl(TField*& Field) override;
  void RecordChanged(TField* Field) override;

 private:
  TDBLookupGridEh* grid_;
};

class TDBLookupGridColumnEh;

// The special-row cell of one lookup column; unassigned values follow the grid's special row.
class TGridColumnSpecCellEh : public TPersistent {
  RTL_CLASS(TGridColumnSpecCellEh, TPersistent)
 public:
  explicit TGridColumnSpecCellEh(TDBLookupGridColumnEh* AOwner);
  ~TGridColumnSpecCellEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  std::string Text() const;
  void SetText(const std::string& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TFont* Font();
  void SetFont(TFont* Value);
  bool IsTextStored() const { return textAssigned_; }
  bool IsColorStored() const { return colorAssigned_; }
  bool IsFontStored() const { return fontAssigned_; }
  static void DescribeClass(TClassBuilder<TGridColumnSpecCellEh>& c);  // DBLookupGridsEhIntf.cpp

 private:
  TSpecRowEh* GridSpecRow() const;
  void FontChanged(TObject* Sender);

  TDBLookupGridColumnEh* column_;
  std::unique_ptr<TFont> font_;
  TColor color_ = clWindow;
  std::string text_;
  bool colorAssigned_ = false;
  bool fontAssigned_ = false;
  bool textAssigned_ = false;
  bool refreshingFont_ = false;
};

// A lookup grid's column: a data grid column with its special-row cell.
class TDBLookupGridColumnEh : public TColumnEh {
  RTL_CLASS(TDBLookupGridColumnEh, TColumnEh)
 public:
  explicit TDBLookupGridColumnEh(TCollection* Collection);
  ~TDBLookupGridColumnEh() override;
  void Assign(TPersistent* Source) override;
  TGridColumnSpecCellEh* SpecCell() const { return specCell_.get(); }
  void SetSpecCell(TGridColumnSpecCellEh* Value) { specCell_->Assign(Value); }
  // Keeps the grid's list-field index on the same column and the special row's texts in the
  // columns' new order.
  void SetIndex(int Value) override;
  TDBLookupGridEh* LookupGrid() const;
  static void DescribeClass(TClassBuilder<TDBLookupGridColumnEh>& c);  // DBLookupGridsEhIntf.cpp

 private:
  std::unique_ptr<TGridColumnSpecCellEh> specCell_;
};

class TDBLookupGridColumnDefValuesEh : public TColumnDefValuesEh {
  RTL_CLASS(TDBLookupGridColumnDefValuesEh, TColumnDefValuesEh)
 public:
  explicit TDBLookupGridColumnDefValuesEh(TCustomDBAxisGridEh* AGrid);
};

class TDBLookupGridEh : public TCustomDBGridEh, public ILookupGridEh {
  RTL_CLASS(TDBLookupGridEh, TCustomDBGridEh)
  RTL_INTERFACES(ILookupGridEh)
  friend class TLookupGridDataLinkEh;

 public:
  explicit TDBLookupGridEh(TComponent* AOwner);
  ~TDBLookupGridEh() override;
  // The list side's settings and the look, for window descriptions (DBLookupGridsEhIntf.cpp).
  static void DescribeClass(TClassBuilder<TDBLookupGridEh>& c);

  // --- virtual operations the lookup grid introduces, in slot order ---
  virtual bool CanModify();
  virtual bool IsListItemValid(const std::vector<TField*>& Fields);
  virtual int GetBorderSize();
  virtual int GetSpecRowHeight();
  virtual int GetDataRowHeight();
  virtual void UpdateSelection();
  virtual void UpdateRowState();
  virtual void ProcessSearchKey(char32_t Key);
  virtual void SelectKeyValue(const Variant& Value);
  virtual void SpecRowChanged(TObject* Sender);
  virtual void AutoFitColumns();
  virtual void UpdateDataFields();
  virtual void UpdateListFields();
  virtual bool IsInternalChange();
  virtual bool LocateKey();

  // --- the data side ---
  // The data side's source is set on the link: DataFieldLink()->SetDataSource.
  const std::string& DataFieldName() const { return dataFieldName_; }
  void SetDataFieldName(const std::string& Value);
  TLookupGridDataLinkEh* DataFieldLink() const { return dataFieldLink_.get(); }
  const std::vector<TField*>& DataFields() const { return dataFields_; }
  const std::vector<TField*>& MasterFields() const { return masterFields_; }
  const std::string& MasterFieldNames() const { return masterFieldNames_; }
  bool LookupMode() const { return lookupMode_; }

  // --- the list side ---
  TDataSource* ListSource() const override { return TCustomDBGridEh::DataSource(); }
  void SetListSource(TDataSource* Value) override;
  const std::string& KeyField() const { return keyFieldName_; }
  void SetKeyField(const std::string& Value) override;
  const std::string& ListField() const { return listFieldName_; }
  void SetListField(const std::string& Value) override;
  int ListFieldIndex() const { return listFieldIndex_; }
  void SetListFieldIndex(int Value) override;
  TField* ListFieldObject() const { return listField_; }
  TList* ListFields() const { return listFields_.get(); }
  const std::vector<TField*>& KeyFields() const { return keyFields_; }
  bool ListActive() const { return listActive_; }
  Variant KeyValue() const override { return keyValue_; }
  void SetKeyValue(const Variant& Value) override;
  const std::string& SelectedText() const { return selectedText_; }
  const std::string& SearchText() const { return searchText_; }
  // Takes the list's current record as the chosen row.
  void SelectCurrent();
  // Chooses the special row.
  void SelectSpecRow();

  // --- appearance ---
  TSpecRowEh* SpecRow() const { return specRow_.get(); }
  void SetSpecRow(TSpecRowEh* Value) { specRow_->Assign(Value); }
  // The visible data rows, 1..100 (hides the grid's own row count).
  int RowCount() const override { return rowCount_; }
  void SetRowCount(int Value) override;
  bool ShowTitles() const;
  void SetShowTitles(bool Value) override;
  bool UseMultiTitle() const;
  void SetUseMultiTitle(bool Value) override;
  bool AutoFitColWidths() const { return autoFitColWidths_; }
  void SetAutoFitColWidths(bool Value) override;
  // The published Options.
  TDBLookupGridEhOptions LookupOptions() const override { return lookupOptions_; }
  void SetLookupOptions(TDBLookupGridEhOptions Value) override;
  TGridHighlightTextParamsEh* HighlightTextParams() const { return highlightTextParams_.get(); }
  void SetHighlightText(const std::string& Text) override;
  // The sum of the visible columns' widths and their lines.
  int GetColumnsWidth() override;
  int SpecRowHeight() const { return specRowHeight_; }
  // The height RowCount rows take, titles, lines, border and special row included.
  int CalcHeightForRowCount(int Rows);

  // --- the lookup-grid interface (DBLookupGridsEhIntf.cpp); the members above with the
  // interface's names and signatures serve it as well ---
  TComponent* LookupGridComponent() override { return this; }
  TGridAxisBarsEh* LookupColumns() override;
  TAxisBarDefValuesEh* LookupColumnDefValues() override;
  bool SortLocal() const override { return TCustomDBGridEh::SortLocal(); }
  void SetSortLocal(bool Value) override { TCustomDBGridEh::SetSortLocal(Value); }
  void AssignSpecRow(TSpecRowEh* Value) override { SetSpecRow(Value); }
  TWinControl* LookupGridControl() override { return this; }
  // The chosen row's text: the list field's, or the special row's cell under it.
  std::string DisplayText() override { return selectedText_; }
  std::string ListFieldName() override;
  // A plain lookup grid has no grip and never closes: these do nothing (the popup overrides).
  void SetSizeGripVisible(bool Value) override;
  bool SizeChangedByUser() override { return false; }
  void ClearSizeChangedByUser() override {}
  void SetOnCloseUp(TCloseUpEventEh Value) override;
  std::string SpecRowCellsText() override;
  void SetSortMarkerStyle(int Value) override;
  // Told after the user moved a column (beside the data grid's OnColumnMoved).
  void SetOnColumnMoved(TNotifyEvent Value) override { onLookupColumnMoved_ = Value; }
  void ColumnMoved(int FromIndex, int ToIndex) override;

  // --- overrides of the data grid ---
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void CreateWnd() override;
  void ColWidthsChanged() override;
  TAxisBarDefValuesEh* CreateAxisBarDefValues() override;
  TGridAxisBarsEh* CreateAxisBars() override;
  void DataChanged() override;
  void ListFieldsOfDataSet(TList* Fields) override;
  void LayoutChanged() override;
  void LinkActive(bool Value) override;
  int GetCellHighlightOpacity(int ACol, int ARow) override;
  int GetSubtitleRowCount() override;
  void UpdateVertScrollBar() override;
  void WMVScroll(TMessage& Message) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The row holding KeyValue paints in the highlight colours, focused or not.
  bool CheckCellSelectedColors(int ACol, int ARow, TFont* AFont, TColor& Background) override;
  void DrawSubTitleCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                        const TRect& ARect, TGridDrawState AState) override;

  // The vertical bar the grid shows when it does not map its rows itself.
  struct TLookupScrollParamsEh {
    int Max = 0;
    int Page = 0;
    int Pos = 0;
  };
  TLookupScrollParamsEh CalcLookupScrollParams();
  // Moves the list as a scroll code asks (inside an internal change; the key stays).
  void ScrollList(int ScrollCode, int Pos);
  // The list's rows on screen and the current one among them.
  int ListRecordCount() const { return recordCount_; }
  int ListActiveRecord() const { return activeRecord_; }

  // Brackets internal moves so that the list's data events do not re-select.
  class TInternalChangeScope {
   public:
    explicit TInternalChangeScope(TDBLookupGridEh* AGrid) : grid_(AGrid) { ++grid_->internalChangeCount_; }
    ~TInternalChangeScope() { --grid_->internalChangeCount_; }
    TInternalChangeScope(const TInternalChangeScope&) = delete;
    TInternalChangeScope& operator=(const TInternalChangeScope&) = delete;

   private:
    TDBLookupGridEh* grid_;
  };

 protected:
  // Raises when the list data set is linked to the data side's source.
  void CheckNotCircular();
  void CheckNotLookup();
  void SetLookupModeOn(bool Value);
  void RefreshListState();
  // After a key or list field setting: the list fields, and the columns built from them.
  void RefreshListFields();
  // One movement of the keyboard: a step, or the first or last record.
  void MoveListBy(int Distance, bool ToFirst, bool ToLast);
  // The list's current record holds KeyValue.
  bool CurrentRowHoldsKey();
  // Height of the title rows as the layout has them; 0 without titles.
  int TitlesHeight();
  void ApplyRowCount();
  void ListDataSetMoveBy(int Distance);
  // Mouse (DBLookupGridsEhMouse.cpp): the cell lies among the data rows and columns, or is the
  // special row's.
  bool InLookupDataArea(const TGridCoord& Cell);
  bool OnSpecRowCell(const TGridCoord& Cell);
  // Takes the row at Y (the special row, or a list row) as a click does.
  void SelectRowAt(int X, int Y);
  // One step of a drag beyond the rows, repeated by the grid timer.
  void TrackingStep();

  std::unique_ptr<TLookupGridDataLinkEh> dataFieldLink_;
  std::string dataFieldName_;
  std::vector<TField*> dataFields_;
  std::string keyFieldName_;
  std::vector<TField*> keyFields_;
  bool listActive_ = false;
  Variant keyValue_;
  TField* listField_ = nullptr;
  int listFieldIndex_ = 0;
  std::string listFieldName_;
  std::unique_ptr<TList> listFields_;
  bool inSelect_ = false;
  bool lookupMode_ = false;
  std::unique_ptr<TDataSource> listDataSource_;
  std::string masterFieldNames_;
  std::vector<TField*> masterFields_;
  int lastMouseY_ = 0;
  int recordCount_ = 0;
  int activeRecord_ = 0;
  int rowCount_ = 7;
  std::string searchText_;
  std::string selectedText_;
  std::unique_ptr<TSpecRowEh> specRow_;
  TDBLookupGridEhOptions lookupOptions_{dlgColLinesEh};
  int internalChangeCount_ = 0;
  bool inAutoFit_ = false;
  bool autoFitColWidths_ = false;
  std::vector<int> autoFitWidths_;  // each column's fitted width (by Columns() index) while auto-fit is on
  int specRowHeight_ = 0;
  std::unique_ptr<TGridHighlightTextParamsEh> highlightTextParams_;
  bool isPopup_ = false;  // the drop-down descendant does not take the focus on a click
  TNotifyEvent onLookupColumnMoved_;
};

// Moves a popup data grid's size grip to the corner in WParam (a TSizeGripPosition). A code of
// its own: the axis grid posts WM_USER + 100 for its deferred layout.
constexpr UINT WM_POPUPGRID_MOVE_SIZE_GRIP = WM_USER + 120;

// Whether a system of this GetVersion value draws a popup's drop shadow (5.1 and later).
bool PopupDropShadowByVersionEh(DWORD Version);

// The drop-down list a grid column opens for a lookup cell (the column's "DataList"): a top-level
// window that never takes the activation, with a size grip, hover selection and a close event.
class TPopupDataGridEh : public TDBLookupGridEh {
  RTL_CLASS(TPopupDataGridEh, TDBLookupGridEh)
 public:
  explicit TPopupDataGridEh(TComponent* AOwner);
  ~TPopupDataGridEh() override;

  TSizeGripEh* SizeGrip() const { return sizeGrip_; }
  // Set by every size change; the cell editor clears it when it shows the popup.
  bool SizeChanged() const { return sizeChanged_; }
  // True only while the popup's own key-down, mouse-down or mouse-move handling runs.
  bool UserAction() const { return userAction_; }

  // After a selection update made by the user (a key, a click, hovering); never for code.
  TNotifyEvent OnRowChanged;
  // A mouse-up: Accept on a data or special-row cell, not outside the window.
  TCloseUpEventEh OnCloseUp;

  // --- the lookup-grid interface ---
  void SetSizeGripVisible(bool Value) override;
  bool SizeChangedByUser() override { return sizeChanged_; }
  void ClearSizeChangedByUser() override { sizeChanged_ = false; }
  void SetOnCloseUp(TCloseUpEventEh Value) override { OnCloseUp = Value; }

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void UpdateSelection() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  TSizeGripEh* sizeGrip_ = nullptr;  // a child control, freed with the grid
  bool sizeChanged_ = false;
  bool userAction_ = false;
  bool pressHandled_ = false;  // ProcessCellMouseDown took the last press: no close on its mouse-up
};

// Registers the lookup grid's classes for streaming and the factory through which a column's
// GetDataList makes its TPopupDataGridEh ("DataList"). Run by InitDBGridEhUnit.
void InitDBLookupGridsEhUnit();

// The type-ahead pause, shared by every lookup grid: a key after this many milliseconds starts a
// new search text.
inline constexpr uint32_t kLookupSearchPauseEh = 2000;
inline constexpr int kLookupSearchMaxLengthEh = 32;
