#pragma once
// A thin axis grid for the tests, benchmarks and fuzz targets: it supplies the hooks the data
// grid supplies later (the selected column is the current grid column, the editor text and
// mask come from the column, cells are drawn through DrawDataCell), with its column class and
// its line parameters. Row 0 holds the titles; row r > 0 shows record r - 1 of the data link's
// window. Column i is column i of Columns.
#include <functional>
#include <string>

#include "grid/axis/AxisBarDefValuesEh.h"
#include "grid/axis/DBAxisGridEh.h"

// A column that takes its widths from the grid and lets a caller change its cell parameters.
class TThinAxisBarEh : public TBaseColumnEh {
  RTL_CLASS(TThinAxisBarEh, TBaseColumnEh)
 public:
  explicit TThinAxisBarEh(TCollection* Collection);

  // Runs on every GetColCellParams (the data grid's column event).
  std::function<void(TAxisColCellParamsEh*)> OnGetCellParams;
  void GetColCellParams(TAxisColCellParamsEh* Params) override;
  void SetTextArea(const TRect& ARect) override {}
  bool GetAutoFitColWidth() override { return false; }
  int GetWidth() override;
  int GetMaxWidth() override { return 0; }
  int GetMinWidth() override { return 0; }
  void SetAutoFitColWidth(bool Value) override {}
  void SetMaxWidth(int Value) override {}
  void SetMinWidth(int Value) override {}
  void SetWidth(int Value) override;
};

// Line parameters answering the data grid's hooks: data lines on; glcsDefaultEh resolves as the
// data grid does (themed with themes on, flat for a flat grid, else classic).
class TThinAxisLineParamsEh : public TDBAxisGridLineParamsEh {
  RTL_CLASS(TThinAxisLineParamsEh, TDBAxisGridLineParamsEh)
 public:
  explicit TThinAxisLineParamsEh(TCustomDBAxisGridEh* AGrid) : TDBAxisGridLineParamsEh(AGrid) {}
  bool DefaultDataVertLines() override { return true; }
  bool DefaultDataHorzLines() override { return true; }
  TDBGridLinesColorSchemeEh GetActualColorScheme() override;
};

// Editing is on. BufferRows sets how many records the link keeps in its window (0: the link's
// own count).
class TThinAxisGridEh : public TCustomDBAxisGridEh {
  RTL_CLASS(TThinAxisGridEh, TCustomDBAxisGridEh)
 public:
  explicit TThinAxisGridEh(TComponent* AOwner, int BufferRows = 0);
  ~TThinAxisGridEh() override;

  // Cells filled plain instead of drawn, for programs that never look at them and where
  // painting would cost most of a run.
  void SetPlainCells(bool Value) { plainCells_ = Value; }

  int GetSelectedIndex() override;
  void SetSelectedIndex(int Value) override;
  std::string GetEditText(int ACol, int ARow) override;
  std::string GetEditMask(int ACol, int ARow) override;
  TFont* GetTitleFont() override { return titleFont_.get(); }
  void SetTitleFont(TFont* Value) override { titleFont_->Assign(Value); }
  bool CanEditModify() override { return CanEditModifyField(); }
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void LinkActive(bool Value) override;
  void DataChanged() override;
  void Scroll(int Distance) override;
  bool SelectCell(int ACol, int ARow) override;

 protected:
  TGridAxisBarsEh* CreateAxisBars() override;
  TGridLineColorsEh* CreateGridLineColors() override { return new TThinAxisLineParamsEh(this); }
  void InternalLayout() override;

 private:
  // Rows and columns follow the columns and the link's window.
  void SyncDimensions();

  bool plainCells_ = false;
};

// A lookup grid without a window of its own, for tests, benchmarks and fuzz targets: it notes
// what the column and the cell editor hand it; Freed (when given) tells when the column let it
// go. Its display text is the list field's text of the list source's current record.
class TThinLookupGridEh : public TComponent, public ILookupGridEh {
  RTL_CLASS(TThinLookupGridEh, TComponent)
  RTL_INTERFACES(ILookupGridEh)
 public:
  explicit TThinLookupGridEh(bool* AFreed = nullptr);
  ~TThinLookupGridEh() override;
  TComponent* LookupGridComponent() override { return this; }
  TGridAxisBarsEh* LookupColumns() override { return nullptr; }
  TAxisBarDefValuesEh* LookupColumnDefValues() override { return nullptr; }
  TDBLookupGridEhOptions LookupOptions() const override { return {}; }
  void SetLookupOptions(TDBLookupGridEhOptions) override {}
  bool SortLocal() const override { return false; }
  void SetSortLocal(bool) override {}
  TDataSource* ListSource() const override { return listSource; }
  void SetListSource(TDataSource* Value) override { listSource = Value; }
  void SetKeyField(const std::string& Value) override { keyField = Value; }
  void SetListField(const std::string& Value) override { listField = Value; }
  void AssignSpecRow(TSpecRowEh* Value) override { specRowText = Value->CellsText(); }
  TWinControl* LookupGridControl() override { return control; }
  Variant KeyValue() const override { return keyValue; }
  void SetKeyValue(const Variant& Value) override { keyValue = Value; }
  std::string DisplayText() override;
  int RowCount() const override { return rowCount; }
  void SetRowCount(int Value) override { rowCount = Value; }
  void SetShowTitles(bool Value) override { showTitles = Value; }
  void SetListFieldIndex(int Value) override { listFieldIndex = Value; }
  std::string ListFieldName() override { return listField; }
  void SetAutoFitColWidths(bool Value) override { autoFit = Value; }
  void SetUseMultiTitle(bool Value) override { useMultiTitle = Value; }
  int GetColumnsWidth() override { return columnsWidth; }
  void SetSizeGripVisible(bool Value) override { sizeGrip = Value; }
  bool SizeChangedByUser() override { return sizeChanged; }
  void ClearSizeChangedByUser() override { sizeChanged = false; }
  std::string SpecRowCellsText() override { return specRowText; }
  void SetSortMarkerStyle(int Value) override { sortMarkerStyle = Value; }
  void SetHighlightText(const std::string& Value) override { highlightText = Value; }
  void SetOnCloseUp(TCloseUpEventEh Value) override { onCloseUp = Value; }
  void SetOnColumnMoved(TNotifyEvent Value) override { onColumnMoved = Value; }

  TDataSource* listSource = nullptr;
  std::string keyField, listField, specRowText, highlightText;
  TWinControl* control = nullptr;  // the window the editor places; nullptr: none
  Variant keyValue;
  int rowCount = 0, listFieldIndex = -1, columnsWidth = 0, sortMarkerStyle = 0;
  bool showTitles = false, autoFit = false, useMultiTitle = false, sizeGrip = false, sizeChanged = false;
  TCloseUpEventEh onCloseUp;
  TNotifyEvent onColumnMoved;

 private:
  bool* freed_;
};
