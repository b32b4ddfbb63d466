#pragma once
// The grid centre: the behaviour every data grid asks for when a decision depends on the kind
// of data set behind it (applying the filter row and the sort markers, locating a text, the
// find dialog, filling a filter-row list, the first sort direction, the indicator-title menu).
// Most operations ask the data set's registered feature object first (GetDataSetFeatures) and
// fall back to a default without one. One instance, made by the unit's start-up.
//
// Files: DBGridEhCenter.cpp (fields, decisions, delegation, wait cursor, grid list, the
// singleton), DBGridEhCenterFilterList.cpp (special items and value lists),
// DBGridEhCenterMenu.cpp (the indicator-title menu and its items).
#include <cstdint>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/rtl/Set.h"
#include "platform/vcl/Menus.h"

class TCustomDBGridEh;
class TPopupMenuEh;
struct TCellAreaTypeEh;

// Which standard items the indicator-title menu offers (bit order).
enum class TDBGridEhIndicatorTitleMenuItemEh : uint8_t {
  itmVisibleColumnsEh,
  itmCutEh,
  itmCopyEh,
  itmPasteEh,
  itmDeleteEh,
  itmSelectAllEh
};
using enum TDBGridEhIndicatorTitleMenuItemEh;
using TDBGridEhIndicatorTitleMenuItemsEh = TSet<TDBGridEhIndicatorTitleMenuItemEh, 8>;

// The change reasons of the filter editor (its change notification's Reason).
enum class TFilterEditChangeReasonEh : uint8_t { fecrTextChangedEh, fecrListItemChosenEh };
using enum TFilterEditChangeReasonEh;
using TFilterEditChangeReasonsEh = TSet<TFilterEditChangeReasonEh, 8>;

// LocateText's option bits.
enum : uint8_t {
  ltoIgnoreCaseEh = 1 << 0,
  ltoAllFieldsEh = 1 << 1,
  ltoMatchFormatEh = 1 << 2,  // compare display texts
  ltoStopOnEscapeEh = 1 << 4,
  ltoInSelectionEh = 1 << 5
};
// LocateText's directions and matchings.
enum : int { ltdUpEh = 0, ltdDownEh = 1, ltdAllEh = 2 };
enum : int { ltmAnyPartEh = 0, ltmWholeEh = 1, ltmFromBeginningEh = 2 };

using TDBGridEhCenterNotifyEvent = TEvent<void(TCustomDBGridEh* Grid)>;
using TDBGridEhCenterCellMouseEvent =
    TEvent<void(TCustomDBGridEh* Grid, TGridCoord Cell, const TCellAreaTypeEh& Area, TMouseButton Button,
                TShiftState Shift, int X, int Y, bool& Processed)>;
using TDBGridEhCenterLocateTextEvent =
    TEvent<bool(TCustomDBGridEh* Grid, const std::string& Text, const std::string& FieldName, uint8_t Options,
                int Direction, int Matching, int TreeRange)>;
using TDBGridEhCenterBuildMenuEvent = TEvent<void(TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu)>;
using TDBGridEhCenterIndicatorTitleEvent =
    TEvent<void(TCustomDBGridEh* Grid, TGridCoord Cell, TMouseButton Button, TShiftState Shift, int X, int Y,
                bool& Processed)>;

class TDBGridEhCenter : public TPersistent {
  RTL_CLASS(TDBGridEhCenter, TPersistent)
 public:
  TDBGridEhCenter();
  // Clears the global getter when it is this centre, then hands every registered grid (last
  // first) a nil centre.
  ~TDBGridEhCenter() override;

  // --- virtual operations, in slot order ---
  virtual bool DefaultLocateText(TCustomDBGridEh* Grid, const std::string& Text, const std::string& FieldName,
                                 uint8_t Options, int Direction, int Matching, int TreeRange);
  virtual bool DefaultLocateRecord(TCustomDBGridEh* Grid, const std::string& KeyFields,
                                   const Variant& KeyValues, uint8_t Options);
  virtual bool LocateText(TCustomDBGridEh* Grid, const std::string& Text, const std::string& FieldName,
                          uint8_t Options, int Direction, int Matching, int TreeRange);
  virtual bool LocateRecord(TCustomDBGridEh* Grid, const std::string& KeyFields, const Variant& KeyValues,
                            uint8_t Options);
  virtual void ApplyFilter(TCustomDBGridEh* Grid);
  virtual void ApplySorting(TCustomDBGridEh* Grid);
  virtual void DataSetTextRequest(TCustomDBGridEh* Grid, const std::string& Text1, const std::string& Text2,
                                  bool Flag);
  virtual void ShowFindDialogFor(TCustomDBGridEh* Grid, const std::string& Text, bool Modal);
  // A default-operator code (0 automatic): 1 (equal) when the column's filter has a KeyField,
  // else the stored code for the expression's value kind.
  virtual int DefaultFilterOperatorFor(TCustomDBGridEh* Grid, TColumnEh* Column,
                                       const TSTFilterExpressionEh& Expression);
  // Raises for smNoneEh.
  virtual bool IsSortMarkerAscending(TCustomDBGridEh* Grid, TColumnEh* Column, TSortMarkerEh Marker);
  // Marker of a column's first sort click.
  virtual TSortMarkerEh DefaultSortMarkerFor(TCustomDBGridEh* Grid, TColumnEh* Column);
  // Indicator width when record numbers show.
  virtual int GetRecNoColWidth(TCustomDBGridEh* Grid);
  virtual bool CanSearchInColumn(TCustomDBGridEh* Grid, TColumnEh* Column);
  virtual bool CanSortByColumn(TCustomDBGridEh* Grid, TColumnEh* Column);
  virtual void CellMouseDown(TCustomDBGridEh* Grid, TGridCoord Cell, const TCellAreaTypeEh& Area,
                             TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void AddFilterListSpecItems(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items);
  virtual void FillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items);
  virtual void DefaultFillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items);
  virtual void DefaultApplyFilter(TCustomDBGridEh* Grid);
  virtual void DefaultApplySorting(TCustomDBGridEh* Grid);
  virtual void BuildIndicatorTitleMenu(TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu);
  virtual void DefaultCellMouseClick(TCustomDBGridEh* Grid, TGridCoord Cell, const TCellAreaTypeEh& Area,
                                     TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DefaultCellMouseDown(TCustomDBGridEh* Grid, TGridCoord Cell, const TCellAreaTypeEh& Area,
                                    TMouseButton Button, TShiftState Shift, int X, int Y);

  // --- not virtual ---
  void CellMouseClick(TCustomDBGridEh* Grid, TGridCoord Cell, const TCellAreaTypeEh& Area,
                      TMouseButton Button, TShiftState Shift, int X, int Y);
  void BuildIndicatorTitleMenuFor(TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu);
  // The indicator title was pressed: OnIndicatorTitleMouseDown, else the grid's own handling.
  void IndicatorTitleMouseDown(TCustomDBGridEh* Grid, TGridCoord Cell, TMouseButton Button, TShiftState Shift,
                               int X, int Y);
  // Whether a filter-editor change of Reason applies the filter at once.
  bool AppliesFilterOn(TFilterEditChangeReasonEh Reason) const { return ApplyTriggers().Contains(Reason); }
  // "a list item was chosen" while ApplyOnChoice is set, none otherwise.
  TFilterEditChangeReasonsEh ApplyTriggers() const;
  // The grid's question whether it steps through its own grouped rows: this flag with the
  // in-memory table interface, False without.
  bool GridScrollsOwnRows(TCustomDBGridEh* Grid);

  // --- grids using the centre ---
  void RegisterGrid(TCustomDBGridEh* Grid);
  void UnregisterGrid(TCustomDBGridEh* Grid);
  bool IsGridRegistered(TCustomDBGridEh* Grid);
  int GridCount() const { return static_cast<int>(grids_.size()); }

  // --- fields ---
  bool ApplyOnChoice() const { return applyOnChoice_; }
  void SetApplyOnChoice(bool Value) { applyOnChoice_ = Value; }
  TDBGridEhIndicatorTitleMenuItemsEh IndicatorTitleMenuItems() const { return indicatorTitleMenuItems_; }
  void SetIndicatorTitleMenuItems(TDBGridEhIndicatorTitleMenuItemsEh Value) {
    indicatorTitleMenuItems_ = Value;
  }
  bool IncrementalSearchFieldText() const { return incrementalSearchFieldText_; }
  void SetIncrementalSearchFieldText(bool Value) { incrementalSearchFieldText_ = Value; }
  // Default-operator codes by operand: other and string, number, Boolean, date-time.
  int StringDefaultFilterOperator() const { return defaultFilterOperators_[0]; }
  void SetStringDefaultFilterOperator(int Value) { defaultFilterOperators_[0] = static_cast<uint8_t>(Value); }
  int NumberDefaultFilterOperator() const { return defaultFilterOperators_[1]; }
  void SetNumberDefaultFilterOperator(int Value) { defaultFilterOperators_[1] = static_cast<uint8_t>(Value); }
  int BooleanDefaultFilterOperator() const { return defaultFilterOperators_[2]; }
  void SetBooleanDefaultFilterOperator(int Value) {
    defaultFilterOperators_[2] = static_cast<uint8_t>(Value);
  }
  int DateTimeDefaultFilterOperator() const { return defaultFilterOperators_[3]; }
  void SetDateTimeDefaultFilterOperator(int Value) {
    defaultFilterOperators_[3] = static_cast<uint8_t>(Value);
  }
  bool UseGroupedRows() const { return useGroupedRows_; }
  void SetUseGroupedRows(bool Value) { useGroupedRows_ = Value; }

  TDBGridEhCenterNotifyEvent OnApplyFilter;
  TDBGridEhCenterNotifyEvent OnApplySorting;
  TDBGridEhCenterBuildMenuEvent OnBuildIndicatorTitleMenu;
  TDBGridEhCenterCellMouseEvent OnCellMouseClick;
  TDBGridEhCenterCellMouseEvent OnCellMouseDown;
  TDBGridEhCenterLocateTextEvent OnLocateText;
  TDBGridEhCenterIndicatorTitleEvent OnIndicatorTitleMouseDown;
  // Fired after the grid's and the column's fill events.
  TFillSTFilterListValuesEventEh OnFillSTFilterListValues;

 private:
  bool applyOnChoice_ = false;
  std::vector<TCustomDBGridEh*> grids_;  // not owned
  TDBGridEhIndicatorTitleMenuItemsEh indicatorTitleMenuItems_{
      itmVisibleColumnsEh, itmCutEh, itmCopyEh, itmPasteEh, itmDeleteEh, itmSelectAllEh};
  bool incrementalSearchFieldText_ = false;
  uint8_t defaultFilterOperators_[4] = {0, 0, 0, 0};
  bool useGroupedRows_ = true;
};

// The process-wide find dialog, installed by the find dialog's unit; the centre shows it for a
// grid whose data set has no feature object (Extra is 0).
using TShowFindDialogProcEh = void (*)(TCustomDBGridEh* Grid, const std::string& Text,
                                       const std::string& ColumnName, bool Modal, int Extra);
// nullptr uninstalls.
void SetShowFindDialogProcEh(TShowFindDialogProcEh Proc);
TShowFindDialogProcEh ShowFindDialogProcEh();

// Counted: the first call saves the screen cursor and shows the hourglass; the last
// EndWaitCursor puts the saved cursor back.
void BeginWaitCursor();
void EndWaitCursor();

// The global centre: nullptr until the start-up makes it and after it is freed.
TDBGridEhCenter* DBGridEhCenter();
// Made by InitDBGridEhUnit (a repeat keeps the first) and freed by FinalizeDBGridEhUnit.
void CreateDBGridEhCenter();
void FreeDBGridEhCenter();

// The shared indicator-title menu ("DBGridEhIndicatorTitlePopupMenu"), made on first use and
// freed with the centre; nullptr before.
TPopupMenuEh* DBGridEhIndicatorTitlePopupMenu();
// Frees the shared menu and its shared items (a repeat does nothing).
void FreeDBGridEhIndicatorTitleMenu();
