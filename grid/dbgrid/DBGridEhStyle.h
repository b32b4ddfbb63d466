#pragma once
// The grid style (colours and looks shared by grids) and the grid centre (behaviour shared by
// grids). Each keeps the list of grids linked to it; the global instances are none until the
// start-up makes them.
//
// Files: DBGridEhStyle.cpp.
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"

class TCustomDBGridEh;

class TDBGridEhStyle : public TPersistent {
  RTL_CLASS(TDBGridEhStyle, TPersistent)
 public:
  TDBGridEhStyle() = default;
  // Grids linked to the style.
  void RegisterGrid(TCustomDBGridEh* Grid);
  void UnregisterGrid(TCustomDBGridEh* Grid);
  bool IsGridRegistered(TCustomDBGridEh* Grid);
  // Final answer for a data cell's colours.
  virtual bool GetCellColors(TCustomDBGridEh* Grid, int ACol, int ARow, int DataCol, int DataRow, int Unused,
                             TGridDrawState& State, bool Selected, TColor& Background, TFont* Font);
  // Title and fixed-cell colours.
  virtual bool GetTitleColors(TCustomDBGridEh* Grid, int ACol, TFont* Font, TColor& Background,
                              bool Highlighted, uint16_t CellType);
  TSortMarkerStyleEh SortMarkerStyle() const { return sortMarkerStyle_; }
  void SetSortMarkerStyle(TSortMarkerStyleEh v) { sortMarkerStyle_ = v; }

 private:
  std::vector<TCustomDBGridEh*> grids_;
  TSortMarkerStyleEh sortMarkerStyle_ = smstDefaultEh;
};

class TDBGridEhCenter : public TPersistent {
  RTL_CLASS(TDBGridEhCenter, TPersistent)
 public:
  TDBGridEhCenter() = default;
  // Grids linked to the centre.
  void RegisterGrid(TCustomDBGridEh* Grid);
  void UnregisterGrid(TCustomDBGridEh* Grid);
  // Indicator width when record numbers show.
  virtual int GetRecNoColWidth(TCustomDBGridEh* Grid);
  // Marker of a column's first sort click.
  virtual TSortMarkerEh DefaultSortMarkerFor(TCustomDBGridEh* Grid, TColumnEh* Column);
  // Raises for smNoneEh.
  virtual bool IsSortMarkerAscending(TCustomDBGridEh* Grid, TColumnEh* Column, TSortMarkerEh Marker);

 private:
  std::vector<TCustomDBGridEh*> grids_;
};

// The global style and centre (nullptr until the start-up makes them, and after they are freed).
TDBGridEhStyle* DBGridEhDefaultStyle();
TDBGridEhCenter* DBGridEhCenter();
