#pragma once
// The axis grid: the data-aware layer between the base grid and the data grid. It owns the
// columns (axis bars), the data link with its field map, the column default values, the line
// parameters and the border, and runs in-place editing against the current record's fields.
// Many of its virtual operations are hooks that the data grid fills; each has its base answer
// here (or raises a text naming it).
//
// Files: DBAxisGridEh.cpp (construction, properties, messages, the holder interface, timer),
// DBAxisGridLayoutEh.cpp (the layout protocol and InternalLayout), DBAxisGridEditingEh.cpp
// (data reactions and the editing protocol), DBAxisGridDrawingEh.cpp (cell drawing and hints).
#include <cstdint>
#include <memory>
#include <string>

#include "grid/axis/AxisBarDefValuesEh.h"
#include "grid/axis/AxisBarEh.h"
#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/data/DynVarsEh.h"
#include "grid/data/MemTableInterfacesEh.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/GridsEh.h"
#include "grid/foundation/InplaceEditEh.h"
#include "grid/foundation/InplaceEditHolderEh.h"
#include "platform/db/DB.h"

// The private message that runs one deferred layout.
constexpr UINT WM_AXISGRID_DEFERRED_LAYOUT = WM_USER + 100;

enum class TGridAllowedOperationEh { alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh };
using enum TGridAllowedOperationEh;
RTL_ENUM_INFO(TGridAllowedOperationEh, "alopInsertEh", "alopUpdateEh", "alopDeleteEh", "alopAppendEh");
using TGridAllowedOperationsEh = TSet<TGridAllowedOperationEh, 8>;

enum class TGridCellFillStyleEh { cfstDefaultEh, cfstThemedEh, cfstSolidEh, cfstGradientEh };
using enum TGridCellFillStyleEh;

// The kinds of edge DrawEdgeBorders draws.
enum class TGridCellBorderTypeEh { gbtNoneEh, gbtRaisedEh, gbtSunkenEh, gbtFlatEh };
using enum TGridCellBorderTypeEh;

using TAxisGridNotifyEventEh = TEvent<void(TObject* Sender, int Code)>;

class TCustomDBAxisGridEh : public TCustomGridEh, public IInplaceEditHolderEh {
  RTL_CLASS(TCustomDBAxisGridEh, TCustomGridEh)
  RTL_INTERFACES(IInplaceEditHolderEh)

 public:
  explicit TCustomDBAxisGridEh(TComponent* AOwner);
  ~TCustomDBAxisGridEh() override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefineProperties(TFiler& Filer) override;

  // --- properties ---
  TGridAllowedOperationsEh AllowedOperations() const { return allowedOperations_; }
  void SetAllowedOperations(TGridAllowedOperationsEh Value);
  // The columns, default values, data link and cell parameters are made on first use through
  // their virtual Create... hooks (a constructor cannot reach a descendant's override).
  TGridAxisBarsEh* Columns() const;
  void SetColumns(TGridAxisBarsEh* Value) { columns_->Assign(Value); }
  TAxisColCellParamsEh* ColCellParams() const;
  TAxisBarDefValuesEh* ColumnDefValues() const;
  TAxisGridDataLinkEh* DataLink() const;
  TDataSource* DataSource() const { return GetDataSource(); }
  virtual TDataSource* GetDataSource() const;
  virtual void SetDataSource(TDataSource* Value);
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool Value) { defaultDrawing_ = Value; }
  TDynVarsEh* DynProps() const { return dynProps_.get(); }
  bool ReadOnly() const { return readOnly_; }
  // Ends with ReadOnlyChanged.
  void SetReadOnly(bool Value);
  // After ReadOnly changed: what offers edits follows (the data grid's navigator).
  virtual void ReadOnlyChanged() {}
  bool DrawMemoText() const { return drawMemoText_; }
  void SetDrawMemoText(bool Value);
  bool DrawGraphicData() const { return drawGraphicData_; }
  void SetDrawGraphicData(bool Value);
  TControlBorderEh* Border() const { return border_.get(); }
  void SetBorder(TControlBorderEh* Value) { border_->Assign(Value); }
  TDBAxisGridLineParamsEh* GridLineParams() const;
  // The cell text margin: 4, or 2 in flat mode.
  int CellTextMargin() const { return cellTextMargin_; }
  int DefaultEditButtonWidth() const { return editButtonDefaultWidth_; }
  TAxisBarsEhList& VisibleAxisBars() { return visibleBars_; }
  const std::string& EditText() const { return editText_; }
  // The key value the cell editor chose from a list (lookup columns write it).
  const Variant& EditKeyValue() const { return editKeyValue_; }
  void SetEditKeyValue(const Variant& Value) { editKeyValue_ = Value; }
  bool LayoutFromDataLink() const { return layoutFromDataLink_; }
  void SetLayoutFromDataLink(bool Value) { layoutFromDataLink_ = Value; }
  int InternalScrollNesting() const { return scrollNesting_; }
  TAxisGridNotifyEventEh OnAxisGridNotify;

  TAxisBarEh* SelectedAxisBar();
  TField* SelectedField();
  void SetSelectedField(TField* Value);
  int SelectedIndex() { return GetSelectedIndex(); }
  // EInvalidGridOperationEh "字段名 '%s' 没有找到" when no column shows it.
  TAxisBarEh* GetColumnByFieldName(const std::string& FieldName);
  TAxisBarEh* FindColumnByFieldName(const std::string& FieldName);

  // --- layout protocol (DBAxisGridLayoutEh.cpp) ---
  void LockLayoutChange();
  void UnlockLayoutChange();
  void BeginLayout();
  void EndLayout();
  void CancelLayout();
  bool AcquireLayout();
  virtual void LayoutChanged();
  // Posts the deferred-layout message when the window exists and none is queued.
  void PostLayoutChanged();
  uint8_t LayoutLock() const { return layoutLock_; }
  uint8_t LayoutChangeLock() const { return layoutChangeLock_; }
  bool LayoutChangePending() const { return layoutChangePending_; }
  void InvalidateRowCells(int ARow);

  // --- data (DBAxisGridEditingEh.cpp) ---
  virtual void LinkActive(bool Value);
  virtual void DataChanged() {}
  virtual void EditingChanged() {}
  virtual void Scroll(int Distance) {}
  virtual void RecordChanged(TField* Field);
  virtual void UpdateData();
  virtual void CancelEdit() {}
  virtual void DefineFieldMap();
  virtual void ListFieldsOfDataSet(TList* Fields);
  // Whether the grid holds its data set's in-memory-table interface.
  bool IsDataIntfAssigned() const { return dataIntf_ != nullptr; }
  bool GetDataIntfAssigned() const { return IsDataIntfAssigned(); }
  IMemTableEh* DataIntf() const { return dataIntf_; }
  // Takes the interface while the link is active, drops it otherwise.
  virtual void UpdateDataIntf();

  // --- the editing protocol ---
  bool CanEditShow() override;
  bool CanEditModify() override { return false; }
  virtual bool CanEditModifyField();
  bool CanEditAcceptKey(char32_t Key) override;
  virtual bool CanUpdateByAllowedOperations();
  virtual bool CanEditAxisBar(TAxisBarEh* Bar) { return false; }
  // True when the cell parameters imposed the cell editor's read-only state (it differs from
  // what the column's own rule gives), with that state in ReadOnly; the grid's cell editor
  // answers it. Such a state decides CanEditModifyField and CanEditAcceptKey. None here.
  virtual bool GetImposedEditorReadOnly(bool& ReadOnly) { return false; }
  virtual bool IsAlwaysShowEditor() { return false; }
  int GetEditLimit() override;
  // Raise "Must be rewrited in the inherited class" here.
  std::string GetEditMask(int ACol, int ARow) override;
  std::string GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const std::string& Value) override;
  void InvalidateEditor() override;
  bool IsInplaceEditorVisible();
  bool EditorRefreshing() const { return editorRefreshing_; }

  // Makes the grid's TDBAxisGridInplaceEdit.
  TInplaceEdit* CreateEditor() override;
  // While the cell editor has the focus, the wheel goes to it first (an open list, an up-down
  // cell); the form hands the wheel to the grid, not to its editor.
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  // Fires OnEditButtonClick (the cell editor's main button, Ctrl+Enter).
  virtual void EditButtonClick();
  TNotifyEvent OnEditButtonClick;

  // --- IInplaceEditHolderEh ---
  bool InplaceEditCanModify(TControl* Editor) override { return true; }
  void GetMouseDownInfo(TPoint& Pos, int32_t& Time) override;
  void InplaceEditWndProc(TControl* Editor, TMessage& Message) override {}
  void InplaceEditKeyDown(TControl* Editor, Word& Key, TShiftState Shift) override {}
  void InplaceEditKeyPress(TControl* Editor, char32_t& Key) override {}
  void InplaceEditKeyUp(TControl* Editor, Word& Key, TShiftState Shift) override {}

  // --- other operations ---
  virtual bool AcquireFocus();
  virtual bool IsFocusedOrChildFocused();
  virtual int GetSelectedIndex() { return -1; }
  // Raises " TCustomDBAxisGridEh.SetSelectedIndex must be realized in the inherited class."
  virtual void SetSelectedIndex(int Value);
  virtual void GetCellOfAxisBar(TAxisBarEh* Bar, int& ACol, int& ARow);
  // Raise "Write TCustomDBAxisGridEh.SetTitleFont in the inherited class" (GetTitleFont alike).
  virtual void SetTitleFont(TFont* Value);
  virtual TFont* GetTitleFont();
  virtual TColor GetTitleColor() { return FixedColor(); }
  virtual TAlignment GetDefaultTitleAlignment() { return taLeftJustify; }
  virtual TColor GetDefaultHighlightColor();
  virtual void UpdateColumnIme();
  virtual void ApplyIme();
  virtual std::string GetDefinePropertyName() { return "<Define property Name>"; }
  virtual int GetSortMarkerStyle() { return 0; }
  virtual int GetRowTreeIndent(int ARow) { return 0; }
  virtual void AxisBarExtracting(TAxisBarEh* Item);
  // The row clamped between FixedRows and RowCount - 1 and to the largest top row that still
  // fills the view; NoApply is ignored here.
  virtual int ClampTopRow(int ARow, bool NoApply);
  // Timer 1, shared with the base grid's automatic scrolling.
  void StartGridTimer(int Interval);
  void StopGridTimer();
  bool GridTimerRunning() const { return timerActive_; }
  int GridTimerInterval() const { return gridTimerInterval_; }
  // The mouse cursor lies inside ARect (client coordinates).
  bool IsCursorInRect(const TRect& ARect);

  // --- cell drawing (DBAxisGridDrawingEh.cpp) ---
  virtual void DrawDataCell(int ACol, int ARow, int AreaCol, int AreaRow, const TRect& ARect,
                            TGridDrawState AState, TAxisBarEh* Bar);
  virtual void DrawCellBackground(TGridCellFillStyleEh FillStyle, const TRect& ARect, bool Pressed,
                                  bool Selected, const TRect& ClipRect, bool FixedLook, bool Focused,
                                  TColor AColor);
  virtual bool DrawCellSelectionBackground(int ACol, int ARow, int AreaCol, int AreaRow, TAxisBarEh* Bar,
                                           const TRect& ARect, TAxisColCellParamsEh* Params);
  virtual void DrawGraphicData(TAxisBarEh* Bar, const TRect& ARect, bool Opaque);
  virtual void DrawBorder();
  void DrawEdgeBorders(TCanvas* ACanvas, const TRect& ARect, TGridCellBorderTypeEh Type, bool Flat);
  void WriteCellText(TAxisBarEh* Bar, TCanvas* ACanvas, const TRect& ARect, bool FillRect, int DX, int DY,
                     const std::string& Text, TAlignment Alignment, TTextLayout Layout, bool MultyL,
                     bool EndEllipsis, int LeftMarg, int RightMarg, bool RightToLeft);
  // A check box (Kind abkCheckboxesEh) or an edit button face in ARect; Hot: under the mouse.
  void PaintCellButton(TCanvas* ACanvas, const TRect& ARect, TCheckBoxState State, bool Enabled, bool Flat,
                       bool Hot = false);
  // An edit button of Kind (0..7: the cell button kinds) over Background with an optional
  // image. Transparency is a percentage: 0 draws directly, 100 is invisible; above 0 the face is
  // drawn into one shared bitmap and blended onto the canvas.
  void FillTranslucentRect(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images, int ImageIndex,
                           TColor Background, int Transparency, bool Pressed, bool Hot, bool Flat,
                           bool Active, bool Enabled, int Kind);
  // The size of the one bitmap translucent buttons are drawn into (it only grows).
  static TSize TranslucentBitmapSize();
  // The hint text and rectangle of a cell; False when the cell offers none.
  virtual bool GetCellHint(int ACol, int ARow, std::string& HintText, TRect& HintRect);
  virtual TGridCellFillStyleEh GetDefaultFillStyle();
  // True while the data grid draws ACol, ARow with the fixed look.
  virtual bool IsFixedLookCell(int ACol, int ARow, TGridDrawState AState);
  // The data grid draws its own cell without gdFixed: does it still look fixed? True here.
  virtual bool IsOwnDrawnCellFixedLook() { return true; }
  // Moves the right and/or bottom edge outward by 2 pixels.
  virtual void AdjustFixedCellRect(TRect& ARect, bool Right, bool Bottom);
  // The transparency of edit buttons in percent (0 here).
  virtual int GetEditButtonTransparency(int ACol, int ARow) { return 0; }
  // The data grid's own cell painter (empty here).
  virtual void DrawOwnCellContent(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {}
  // The custom gradient: False here; both colours clNone.
  virtual bool UseCustomGradient() { return false; }
  virtual void GetCustomGradientColors(TColor& TopColor, TColor& BottomColor);
  // A cell's highlight colours; True when it changed them.
  virtual bool GetSelectionColors(int ACol, int ARow, TAxisColCellParamsEh* Params, TFont* AFont,
                                  TColor& AColor);

  // --- unnamed data-grid hooks, by role (base answers) ---
  // The title layout mode (0).
  virtual int GetTitleLayoutMode() { return 0; }
  // The column whose title lies at a client point (none).
  virtual TAxisBarEh* GetAxisBarAtTitlePoint(int X, int Y) { return nullptr; }
  // The open filter drop-down list (none).
  virtual TWinControl* GetOpenFilterDropDown() { return nullptr; }
  // The highlight opacity of a cell in percent (0: no overlay).
  virtual int GetCellHighlightOpacity(int ACol, int ARow) { return 0; }
  // The cell background fill: DrawCellBackground with clDefault, themed when Params ask.
  virtual void FillCellBackground(const TRect& ARect, TAxisColCellParamsEh* Params, TGridDrawState AState);
  // The wParam of the deferred-layout message (0).
  virtual WPARAM GetDeferredLayoutParam() { return 0; }

 protected:
  // --- creation hooks ---
  virtual TAxisBarDefValuesEh* CreateAxisBarDefValues();
  virtual TGridAxisBarsEh* CreateAxisBars();
  virtual TAxisGridDataLinkEh* CreateDataLink();
  virtual TAxisColCellParamsEh* CreateColCellParams();

 public:
  virtual TAxisColCellParamsEh* GetColCellParamsObj() { return ColCellParams(); }
  // A column's own block (the column calls it on creation).
  TAxisColCellParamsEh* NewColCellParams() { return CreateColCellParams(); }

 protected:
  TGridLineColorsEh* CreateGridLineColors() override;
  virtual void InternalLayout();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void FlatChanged() override;
  void ChangeScale(int M, int D) override;
  void CMFontChanged(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void WMNCCalcSize(TMessage& Message) override;
  void WMNCPaint(TMessage& Message) override;
  void WMCommand(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // A data cell whose column has ToolTips and whose text does not show whole shows it in a
  // TGridToolTipsWindowEh over the cell.
  void CMHintShow(TMessage& Message) override;
  // The deferred-layout message.
  virtual void WMDeferredLayout(TMessage& Message);
  // Timer 1 ticks; the base grid's automatic scrolling runs here too.
  void GridTimerTick();
  void WMTimer(TMessage& Message) override;
  // The automatic scrolling drives timer 1 through StartGridTimer and StopGridTimer.
  void StartMouseTimer() override;
  void StopMouseTimer() override;
  void ReadColumns(TReader& Reader);
  void WriteColumns(TWriter& Writer);
  bool ColumnsStoredInDescription(TFiler& Filer);

  // Frees the automatic columns when persistent ones are present too.
  void RemoveAutomaticBarsAmongPersistent();
  void RebuildVisibleBars();

  mutable std::unique_ptr<TAxisBarDefValuesEh> columnDefValues_;
  mutable std::unique_ptr<TGridAxisBarsEh> columns_;
  mutable std::unique_ptr<TAxisGridDataLinkEh> dataLink_;
  mutable std::unique_ptr<TAxisColCellParamsEh> colCellParams_;
  std::unique_ptr<TFont> titleFont_;
  std::unique_ptr<TDynVarsEh> dynProps_;
  std::unique_ptr<TControlBorderEh> border_;
  std::unique_ptr<TFont> hintFont_;  // made on first use
  TAxisBarsEhList visibleBars_;
  TGridAllowedOperationsEh allowedOperations_{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh};
  bool defaultDrawing_ = true;
  bool layoutChangePending_ = false;
  uint8_t layoutLock_ = 0;
  uint8_t layoutChangeLock_ = 0;
  TImeMode gridImeMode_ = imDontCare;
  TImeName gridImeName_;
  bool readOnly_ = false;
  bool canFocusOnDemand_ = true;
  TPoint mouseDownPoint_{};
  int32_t mouseDownTime_ = 0;
  bool drawMemoText_ = false;
  bool drawGraphicData_ = false;
  int editButtonDefaultWidth_ = 0;
  IMemTableEh* dataIntf_ = nullptr;
  int gridTimerInterval_ = -1;
  int scrollNesting_ = 0;
  int cellTextMargin_ = 4;
  bool layoutFromDataLink_ = false;
  std::string editText_;
  Variant editKeyValue_;
  bool editorRefreshing_ = false;

 private:
  // The outermost EndLayout's and CancelLayout's closing steps: the columns' update, the
  // pending flag and both locks.
  void CloseLayout();
  // The pixels the extended border takes on each drawn side.
  int ExtendedBorderWidth() const;
  // Set by CreateParams: the grid draws its single border itself.
  bool extendedBorderDrawing_ = false;
  // The field whose removal is being handled: the layout leaves it out.
  TField* removingField_ = nullptr;
};
