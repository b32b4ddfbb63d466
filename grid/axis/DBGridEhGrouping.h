#pragma once
// Data grouping of a grid's records: the settings (the grid's DataGrouping) with their group
// levels, the group tree whose flat list of visible rows the grid shows while grouping is
// active, and the group footers with their aggregates.
//
// A level names a grid column; the distinct values of its field form the groups. The tree holds
// one group row per distinct key of each active level, the data rows of a group under its group
// row in data-set order, and the footer rows of a group as its last children. Records are read
// only through the grid's data interface (IMemTableEh: record count, instant reading of record
// r, current record index, update bracket) and identified by their index 0 .. count - 1.
//
// The settings call operations only the data grid supplies (row heights, row count, repaint of
// one row, the grouping layout and the three footer event relays) through
// IGridDataGroupsHostEh; without a host they fall back to the grid's default row height and do
// nothing else.
//
// Files: DBGridEhGroupingSettings.cpp (settings, levels, row defaults, line pen),
// DBGridEhGroupingTree.cpp (tree and nodes), DBGridEhGroupingFooters.cpp (footers, column
// items, aggregation and RecalcFooterValues).
#include <cstdint>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grid/axis/AxisBarEh.h"
#include "grid/axis/GroupFlatListEh.h"
#include "grid/data/MemTableInterfacesEh.h"
#include "grid/data/MemTreeEh.h"
#include "grid/data/SharedTypesEh.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/Graphics.h"

class TCustomDBAxisGridEh;
class TGridDataGroupsEh;
class TGridDataGroupLevelEh;
class TGridDataGroupLevelsEh;
class TGridDataGroupFooterEh;
class TGridDataGroupFootersEh;
class TGridDataGroupFooterColumnItemEh;
class TGridGroupDataTreeEh;
class TGroupDataTreeNodeEh;

enum class TGroupFooterValueTypeEh : uint8_t {
  gfvNonEh,
  gfvSumEh,
  gfvAvgEh,
  gfvCountEh,
  gfvMaxEh,
  gfvMinEh,
  gfvStaticTextEh,
  gfvCustomEh
};
using enum TGroupFooterValueTypeEh;
RTL_ENUM_INFO(TGroupFooterValueTypeEh, "gfvNonEh", "gfvSumEh", "gfvAvgEh", "gfvCountEh", "gfvMaxEh",
              "gfvMinEh", "gfvStaticTextEh", "gfvCustomEh");

// What a node of the group tree shows.
enum class TGroupDataTreeNodeTypeEh : uint8_t { dntDataSetRecordEh, dntDataGroupEh, dntDataGroupFooterEh };
using enum TGroupDataTreeNodeTypeEh;

// The grid operations grouping calls; the data grid implements them.
class IGridDataGroupsHostEh {
 public:
  // The height of the data row of the data set's current (or instantly read) record.
  virtual int CalcDataRowHeight() = 0;
  // The height of a group row or a group footer row.
  virtual int CalcDataGroupRowHeight(TGroupDataTreeNodeEh* Node) = 0;
  // The flat list changed: the grid recounts its rows.
  virtual void UpdateRowCountForGrouping() = 0;
  // A group collapsed or expanded: flat rows At .. At + Removed - 1 gave way to Inserted rows,
  // the rows before At stayed. A grid that keeps nothing per row recounts its rows.
  virtual void GroupFlatRowsSpliced(int At, int Removed, int Inserted) { UpdateRowCountForGrouping(); }
  // Repaints the row that shows Node.
  virtual void InvalidateGroupFlatRow(TGroupDataTreeNodeEh* Node) = 0;
  // The grouping panel's visibility changed.
  virtual void UpdateGroupingLayout() = 0;
  // The footer event relays: the column's event, then the grid's. True when the application
  // handled the step (the built-in step is then skipped).
  virtual bool DoDataGroupFooterAggregateValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                               TGridDataGroupFooterColumnItemEh* Item, Variant& AggValue,
                                               TGroupDataTreeNodeEh* Node) = 0;
  virtual bool DoDataGroupFooterFinalizeValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                              TGridDataGroupFooterColumnItemEh* Item, Variant& AggValue) = 0;
  virtual bool DoDataGroupFooterToDisplayText(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                              TGridDataGroupFooterColumnItemEh* Item, const Variant& Value,
                                              std::string& Text) = 0;

 protected:
  ~IGridDataGroupsHostEh() = default;
};

// ================================================================================================
// Footers (DBGridEhGroupingFooters.cpp)
// ================================================================================================

// The footers' defaults of the settings.
class TGridDataGroupFootersDefValuesEh : public TPersistent {
  RTL_CLASS(TGridDataGroupFootersDefValuesEh, TPersistent)
 public:
  explicit TGridDataGroupFootersDefValuesEh(TGridDataGroupsEh* AOwner);
  static void DescribeClass(TClassBuilder<TGridDataGroupFootersDefValuesEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  // A change makes the settings recalculate their footers.
  bool ShowFunctionName() const { return showFunctionName_; }
  void SetShowFunctionName(bool Value);
  bool RunTimeCustomizable() const { return runTimeCustomizable_; }
  void SetRunTimeCustomizable(bool Value) { runTimeCustomizable_ = Value; }

 private:
  TGridDataGroupsEh* owner_;
  bool showFunctionName_ = false;
  bool runTimeCustomizable_ = false;
};

// One grid column's cell of a footer: which aggregate it shows and how.
class TGridDataGroupFooterColumnItemEh : public TCollectionItem {
  RTL_CLASS(TGridDataGroupFooterColumnItemEh, TCollectionItem)
 public:
  explicit TGridDataGroupFooterColumnItemEh(TCollection* Collection);
  ~TGridDataGroupFooterColumnItemEh() override;
  static void DescribeClass(TClassBuilder<TGridDataGroupFooterColumnItemEh>& c);
  void Assign(TPersistent* Source) override;

  TGridDataGroupFooterEh* Footer() const;
  TGridDataGroupsEh* DataGroups() const;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  // The footer's font while ParentFont; a change of the own font clears ParentFont.
  TFont* Font() const;
  void SetFont(TFont* Value);
  // The footer's colour while ParentColor; setting it clears ParentColor.
  TColor Color() const;
  void SetColor(TColor Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  bool IsColorStored() const { return !parentColor_; }
  bool IsFontStored() const { return !parentFont_; }
  // A change recalculates the footers.
  TGroupFooterValueTypeEh ValueType() const { return valueType_; }
  void SetValueType(TGroupFooterValueTypeEh Value);
  // The grid column this item belongs to (found by its collection ID; nullptr once it is gone)
  // and the field name it had.
  TAxisBarEh* Column() const;
  void SetColumn(TAxisBarEh* Value);
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value) { fieldName_ = Value; }
  // A change invalidates the grid.
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);
  // The footer's value while not stored; writing stores it.
  bool ShowFunctionName() const;
  void SetShowFunctionName(bool Value);
  bool ShowFunctionNameStored() const { return GetShowFunctionNameStored(); }
  void SetShowFunctionNameStored(bool Value);
  bool RunTimeCustomizable() const;
  void SetRunTimeCustomizable(bool Value);
  bool RunTimeCustomizableStored() const { return runTimeCustomizableStored_; }
  void SetRunTimeCustomizableStored(bool Value);

  virtual void InvalidateGrid();
  virtual bool GetDefaultRunTimeCustomizable() const;
  virtual bool GetShowFunctionNameStored() const { return showFunctionNameStored_; }
  // Adds the current record's value of the column's field into AggValue (Empty: nothing added
  // yet); asks the host's relay first unless ValueType is gfvNonEh.
  virtual void AggregateValue(Variant& AggValue, TGroupDataTreeNodeEh* Node);
  // Turns the running aggregate into the value to show (an average's sum / count).
  virtual void FinalizeValue(Variant& AggValue);
  // The text of a finalised value, with its format and the function-name prefix.
  std::string GetDisplayText(const Variant& Value);
  // The aggregation step on a value already read (AggregateValue reads the field, then this).
  void AggregateFieldValue(Variant& AggValue, const Variant& V, TGroupDataTreeNodeEh* Node);

 private:
  friend class TGridDataGroupFooterEh;  // UpdateColumnItems matches items by column ID
  void FontChanged(TObject* Sender);
  void RefreshParentFont() const;
  TAlignment alignment_ = taRightJustify;
  std::unique_ptr<TFont> font_;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  bool parentFont_ = true;
  bool fontRefreshing_ = false;
  TGroupFooterValueTypeEh valueType_ = gfvNonEh;
  int columnId_ = -1;  // the column's collection ID; -1 none
  std::string fieldName_;
  std::string displayFormat_;
  bool showFunctionName_ = false;
  bool showFunctionNameStored_ = false;
  bool runTimeCustomizable_ = false;
  bool runTimeCustomizableStored_ = false;
};

class TGridDataGroupFooterColumnItemsEh : public TCollection {
  RTL_CLASS(TGridDataGroupFooterColumnItemsEh, TCollection)
 public:
  explicit TGridDataGroupFooterColumnItemsEh(TGridDataGroupFooterEh* AFooter);
  TGridDataGroupFooterColumnItemEh* Items(int Index) const {
    return static_cast<TGridDataGroupFooterColumnItemEh*>(TCollection::Items(Index));
  }
  TGridDataGroupFooterColumnItemEh* Add() {
    return static_cast<TGridDataGroupFooterColumnItemEh*>(TCollection::Add());
  }
  TGridDataGroupFooterEh* Footer() const { return footer_; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TGridDataGroupFooterEh* footer_;
};

// A summary row after the data rows of each group (a level's footers) or after all rows (the
// settings' grand totals).
class TGridDataGroupFooterEh : public TCollectionItem {
  RTL_CLASS(TGridDataGroupFooterEh, TCollectionItem)
 public:
  explicit TGridDataGroupFooterEh(TCollection* Collection);
  ~TGridDataGroupFooterEh() override;
  static void DescribeClass(TClassBuilder<TGridDataGroupFooterEh>& c);
  void Assign(TPersistent* Source) override;
  // The grid's name + ".DataGrouping" (+ ".Footers[i]" for a grand-total footer).
  std::string GetDisplayName() const override;

  TGridDataGroupFootersEh* Footers() const;
  TGridDataGroupsEh* DataGroups() const;

  // The owner's default colour while ParentColor; setting it clears ParentColor.
  TColor Color() const;
  void SetColor(TColor Value);
  // The owner's default font while ParentFont (re-copied when its handle differs).
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  bool IsColorStored() const { return !parentColor_; }
  bool IsFontStored() const { return !parentFont_; }
  // Off at creation; a change rebuilds the visible list and refreshes the group tree.
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  TGridDataGroupFooterColumnItemsEh* ColumnItems() const { return columnItems_.get(); }
  void SetColumnItems(TGridDataGroupFooterColumnItemsEh* Value) { columnItems_->Assign(Value); }
  // Stored only when the grid's columns are persistent.
  bool IsColumnItemsStored() const;
  bool ShowFunctionName() const;
  void SetShowFunctionName(bool Value);
  bool ShowFunctionNameStored() const { return showFunctionNameStored_; }
  void SetShowFunctionNameStored(bool Value);
  bool RunTimeCustomizable() const;
  void SetRunTimeCustomizable(bool Value);
  bool RunTimeCustomizableStored() const { return runTimeCustomizableStored_; }
  void SetRunTimeCustomizableStored(bool Value);

  // Brings the items in line with Columns (deleted, moved, added, field names renewed); True
  // when anything changed.
  virtual bool UpdateColumnItems(TGridAxisBarsEh* Columns);
  virtual void InvalidateGrid();
  virtual void RecalcFooters();
  virtual bool GetDefaultRunTimeCustomizable() const;

 private:
  void FontChanged(TObject* Sender);
  void RefreshParentFont() const;
  TColor color_ = clWindow;
  std::unique_ptr<TFont> font_;
  bool visible_ = false;
  std::unique_ptr<TGridDataGroupFooterColumnItemsEh> columnItems_;
  bool parentColor_ = true;
  bool parentFont_ = true;
  bool fontRefreshing_ = false;
  bool showFunctionName_ = false;
  bool showFunctionNameStored_ = false;
  bool runTimeCustomizable_ = false;
  bool runTimeCustomizableStored_ = false;
};

// The footers of a level, or the grand totals of the settings (Level nullptr).
class TGridDataGroupFootersEh : public TCollection {
  RTL_CLASS(TGridDataGroupFootersEh, TCollection)
 public:
  TGridDataGroupFootersEh(TGridDataGroupsEh* ADataGroups, TGridDataGroupLevelEh* ALevel);
  TGridDataGroupFooterEh* Items(int Index) const {
    return static_cast<TGridDataGroupFooterEh*>(TCollection::Items(Index));
  }
  TGridDataGroupFooterEh* Add() { return static_cast<TGridDataGroupFooterEh*>(TCollection::Add()); }
  TGridDataGroupsEh* DataGroups() const { return dataGroups_; }
  TGridDataGroupLevelEh* Level() const { return level_; }
  TCustomDBAxisGridEh* Grid() const;
  TPersistent* GetOwner() override;

  // The footers whose Visible is set, in collection order.
  int GetVisibleCount() const { return static_cast<int>(visibleItems_.size()); }
  TGridDataGroupFooterEh* GetVisibleItem(int Index) const;
  void RebuildVisibleItems();

  // What footers with ParentColor / ParentFont follow: the level's, else the settings'.
  TColor DefaultColor() const;
  TFont* DefaultFont() const;

 protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  friend class TGridDataGroupFooterEh;
  // The footer's constructor has finished: a deferred structure change is applied now.
  void FooterConstructed(TGridDataGroupFooterEh* Footer);
  TGridDataGroupsEh* dataGroups_;
  TGridDataGroupLevelEh* level_;
  std::vector<TGridDataGroupFooterEh*> visibleItems_;
  TCollectionItem* constructing_ = nullptr;  // added, its constructor still running
  bool structureChanged_ = false;            // footers added or removed since the last refresh
};

// ================================================================================================
// Settings and levels (DBGridEhGroupingSettings.cpp)
// ================================================================================================

// The bottom line of group rows.
class TGridGroupLinePenEh : public TPersistent {
  RTL_CLASS(TGridGroupLinePenEh, TPersistent)
 public:
  explicit TGridGroupLinePenEh(TGridDataGroupsEh* ADataGroups);
  static void DescribeClass(TClassBuilder<TGridGroupLinePenEh>& c);
  void Assign(TPersistent* Source) override;
  // Changes invalidate the grid.
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  int Width() const { return width_; }
  void SetWidth(int Value);

 private:
  TGridDataGroupsEh* dataGroups_;
  TColor color_ = clDefault;
  int width_ = 1;
};

// Defaults of group rows.
class TGridDataGroupRowDefValuesEh : public TPersistent {
  RTL_CLASS(TGridDataGroupRowDefValuesEh, TPersistent)
 public:
  explicit TGridDataGroupRowDefValuesEh(TGridDataGroupsEh* ADataGroups);
  ~TGridDataGroupRowDefValuesEh() override;
  static void DescribeClass(TClassBuilder<TGridDataGroupRowDefValuesEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  // A change refreshes the group tree.
  bool FooterInGroupRow() const { return footerInGroupRow_; }
  void SetFooterInGroupRow(bool Value);
  // Changes relayout the grid.
  int RowHeight() const { return rowHeight_; }
  void SetRowHeight(int Value);
  int RowLines() const { return rowLines_; }
  void SetRowLines(int Value);
  TGridGroupLinePenEh* BottomLine() const { return bottomLine_.get(); }
  void SetBottomLine(TGridGroupLinePenEh* Value) { bottomLine_->Assign(Value); }

 private:
  TGridDataGroupsEh* dataGroups_;
  bool footerInGroupRow_ = false;
  int rowHeight_ = 0;
  int rowLines_ = 0;
  std::unique_ptr<TGridGroupLinePenEh> bottomLine_;
};

using TGroupLevelGetKeyValueEventEh = TEvent<void(TGridDataGroupLevelEh* Level, Variant& KeyValue)>;
using TGroupLevelGetKeyValueAsTextEventEh =
    TEvent<void(TGridDataGroupLevelEh* Level, const Variant& KeyValue, std::string& KeyText)>;
using TGroupLevelGetGroupRowTextEventEh =
    TEvent<void(TGridDataGroupLevelEh* Level, TGroupDataTreeNodeEh* Node, std::string& GroupRowText)>;

// One grouping level: the column whose values form its groups and how its group rows look.
class TGridDataGroupLevelEh : public TCollectionItem {
  RTL_CLASS(TGridDataGroupLevelEh, TCollectionItem)
 public:
  explicit TGridDataGroupLevelEh(TCollection* Collection);
  ~TGridDataGroupLevelEh() override;
  static void DescribeClass(TClassBuilder<TGridDataGroupLevelEh>& c);
  void Assign(TPersistent* Source) override;
  // The grid's name + ".DataGrouping" (+ "['field']" when the column has a field name).
  std::string GetDisplayName() const override;

  TGridDataGroupLevelsEh* Levels() const;
  TGridDataGroupsEh* DataGroups() const;

  // The settings' level default colour while ParentColor; setting it clears ParentColor.
  TColor Color() const;
  void SetColor(TColor Value);
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  bool IsColorStored() const { return !parentColor_; }
  bool IsFontStored() const { return !parentFont_; }
  // The column the level groups by (nullptr: the level is not active). Setting it (or its name,
  // GetAxisBarName's form, resolved through the grid's columns) updates the active levels.
  TAxisBarEh* Column() const { return column_; }
  void SetColumn(TAxisBarEh* Value);
  std::string ColumnName() const;
  void SetColumnName(const std::string& Value);
  // soDescEh orders this level's groups descending; a change re-sorts the level when active.
  TSortOrderEh SortOrder() const { return sortOrder_; }
  void SetSortOrder(TSortOrderEh Value);
  int RowHeight() const;
  void SetRowHeight(int Value);
  bool RowHeightStored() const { return rowHeightStored_; }
  void SetRowHeightStored(bool Value);
  int RowLines() const;
  void SetRowLines(int Value);
  bool RowLinesStored() const { return rowLinesStored_; }
  void SetRowLinesStored(bool Value);
  bool GetFooterInGroupRow() const;
  void SetFooterInGroupRow(bool Value);
  bool FooterInGroupRowStored() const { return footerInGroupRowStored_; }
  void SetFooterInGroupRowStored(bool Value);
  // The level's own footers; used while UseDataGroupsFooters is off.
  TGridDataGroupFootersEh* OwnFooters() const { return footers_.get(); }
  bool UseDataGroupsFooters() const { return useDataGroupsFooters_; }
  void SetUseDataGroupsFooters(bool Value);
  // The footers this level's group rows show: the settings' Footers by default.
  TGridDataGroupFootersEh* UsedFooters() const;
  TGridDataGroupFooterEh* GetFooter(int Index) const;
  int GetFootersCount() const;
  // The level's place among the active levels, -1 when not active.
  int ActiveIndex() const;

  // The key of the data set's current (or instantly read) record: OnGetKeyValue when assigned,
  // else the column field's value (Null without an active field).
  virtual Variant GetKeyValue();
  // The key as text for the application; empty here.
  virtual std::string GetKeyValueAsText(const Variant& KeyValue);
  // The display text of a group row with this key (Null: empty).
  virtual std::string GetNodeKeyValue(const Variant& KeyValue);
  virtual void InvalidateGrid();
  // Expand or collapse every group row of this level.
  void ExpandNodes();
  void CollapseNodes();

  TGroupLevelGetKeyValueEventEh OnGetKeyValue;
  TGroupLevelGetKeyValueAsTextEventEh OnGetKeyValueAsText;
  TGroupLevelGetGroupRowTextEventEh OnGetGroupRowText;

 private:
  friend class TGridDataGroupsEh;
  friend class TGridDataGroupLevelsEh;
  void FontChanged(TObject* Sender);
  void RefreshParentFont() const;
  TAxisBarEh* FindNamedColumn(const std::string& Name) const;
  // Resolves a name kept while loading; True when the level got its column.
  bool ResolveColumnName();
  // The column is going away: the level lets go without an update of its own.
  void ReleaseColumn();
  TColor color_ = clWindow;
  TAxisBarEh* column_ = nullptr;
  std::string columnName_;  // kept while the column cannot be resolved yet (loading)
  std::unique_ptr<TFont> font_;
  bool parentColor_ = true;
  bool parentFont_ = true;
  bool fontRefreshing_ = false;
  int rowHeight_ = 0;
  int rowLines_ = 0;
  TSortOrderEh sortOrder_ = soAscEh;
  std::unique_ptr<TGridDataGroupFootersEh> footers_;
  bool useDataGroupsFooters_ = true;
  bool footerInGroupRow_ = false;
  bool footerInGroupRowStored_ = false;
  bool rowHeightStored_ = false;
  bool rowLinesStored_ = false;
};

class TGridDataGroupLevelsEh : public TCollection {
  RTL_CLASS(TGridDataGroupLevelsEh, TCollection)
 public:
  TGridDataGroupLevelsEh(TGridDataGroupsEh* ADataGroups, TClass ItemClass);
  TGridDataGroupLevelEh* Items(int Index) const {
    return static_cast<TGridDataGroupLevelEh*>(TCollection::Items(Index));
  }
  TGridDataGroupLevelEh* Add() { return static_cast<TGridDataGroupLevelEh*>(TCollection::Add()); }
  TGridDataGroupsEh* DataGroups() const { return dataGroups_; }
  TPersistent* GetOwner() override;
  // When Level is active: the settings' ResortLevel with its place and new sort order.
  void LevelSortOrderChanged(TGridDataGroupLevelEh* Level);

 protected:
  // UpdateActiveGroupLevels, then the grid is refreshed.
  void Update(TCollectionItem* Item) override;
  // An active level that is being deleted leaves the active levels (and the tree) while it is
  // still whole: the tree's group rows point at it.
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  TGridDataGroupsEh* dataGroups_;
};

// The grid's DataGrouping.
class TGridDataGroupsEh : public TPersistent {
  RTL_CLASS(TGridDataGroupsEh, TPersistent)
 public:
  // AHost may be nullptr (no data grid above).
  TGridDataGroupsEh(TCustomDBAxisGridEh* AGrid, IGridDataGroupsHostEh* AHost);
  ~TGridDataGroupsEh() override;  // the tree's nodes first
  static void DescribeClass(TClassBuilder<TGridDataGroupsEh>& c);
  // Copies Active, GroupLevels and GroupPanelVisible only.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TCustomDBAxisGridEh* Grid() const { return grid_; }
  IGridDataGroupsHostEh* Host() const { return host_; }
  // The grid's data interface (nullptr without one).
  IMemTableEh* DataIntf() const;
  TGridGroupDataTreeEh* GroupDataTree() const { return tree_.get(); }

  bool Active() const { return active_; }
  void SetActive(bool Value);
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const { return !parentColor_; }
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool IsFontStored() const { return !parentFont_; }
  // Made on first use through CreateGroupLevels.
  TGridDataGroupLevelsEh* GroupLevels() const;
  void SetGroupLevels(TGridDataGroupLevelsEh* Value) { GroupLevels()->Assign(Value); }
  bool IsGroupLevelsStored() const { return GroupLevels()->Count() > 0; }
  TGridDataGroupFootersEh* Footers() const { return footers_.get(); }
  void SetFooters(TGridDataGroupFootersEh* Value) { footers_->Assign(Value); }
  bool IsFootersStored() const { return footers_->Count() > 0; }
  TGridDataGroupFootersDefValuesEh* FootersDefValues() const { return footersDefValues_.get(); }
  void SetFootersDefValues(TGridDataGroupFootersDefValuesEh* Value) { footersDefValues_->Assign(Value); }
  bool GroupPanelVisible() const { return groupPanelVisible_; }
  void SetGroupPanelVisible(bool Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  bool DefaultStateExpanded() const { return defaultStateExpanded_; }
  void SetDefaultStateExpanded(bool Value) { defaultStateExpanded_ = Value; }
  TGridDataGroupRowDefValuesEh* GroupRowDefValues() const { return groupRowDefValues_.get(); }
  void SetGroupRowDefValues(TGridDataGroupRowDefValuesEh* Value) { groupRowDefValues_->Assign(Value); }
  bool ShiftFolldataGroupRow() const { return shiftFolldataGroupRow_; }
  void SetShiftFolldataGroupRow(bool Value);

  // --- virtual operations
  virtual TGridDataGroupLevelsEh* CreateGroupLevels();
  virtual TColor GetParentColor() const;
  virtual TColor GetLevelDefaultColor() const { return GetParentColor(); }
  virtual TFont* GetLevelDefaultFont() const { return GetParentFont(); }
  virtual TFont* GetParentFont() const;
  virtual void ActiveChanged() {}
  virtual void ActiveGroupingStructChanged() {}
  virtual void InvalidateGrid();
  virtual void RebuildActiveGroupLevels();
  virtual void ResortLevel(int LevelIndex, TSortOrderEh SortOrder);
  virtual bool IsGroupingActive() const { return active_; }
  virtual void RefreshGroupTree();
  virtual void RecalcFooters();
  virtual void UpdateFootersColumnItems();
  virtual void InitFootersColumnItems();

  // --- the active levels (those with a column, in collection order) and their columns
  TGridDataGroupLevelEh* GetActiveGroupLevel(int Index) const;
  int GetActiveGroupLevelsCount() const { return static_cast<int>(activeLevels_.size()); }
  TAxisBarEh* GetActiveGroupColumn(int Index) const;
  // [key of active level 0, ..., key of level n - 1, RecIndex]; reads record RecIndex through
  // the data interface when it is not the current one.
  Variant GetGroupKeyValues(int RecIndex);
  // The key values the next record inserted into a group takes (Empty: none).
  void SetNewRecordKeyValues(const Variant& Value) { newRecordKeyValues_ = Value; }
  const Variant& NewRecordKeyValues() const { return newRecordKeyValues_; }
  // Writes the kept key values into the level fields of the record being inserted and clears
  // them; True when there were any.
  bool WriteNewRecordKeyValues();
  // Keeps the active levels in step with the collection (run by the levels' Update).
  void UpdateActiveGroupLevels();
  bool FootersColumnItemsInitialized() const { return footersColumnItemsInitialized_; }
  // The grid removes a column: levels and footer items let go of it.
  void ColumnRemoving(TAxisBarEh* Column);
  // The grid's layout changed (relayout request from a setting).
  void LayoutChanged();

 private:
  void FontChanged(TObject* Sender);
  void RefreshParentFont() const;
  // Levels and footers look at their parent fonts again.
  void RefreshChildFonts();

  TCustomDBAxisGridEh* grid_;
  IGridDataGroupsHostEh* host_;
  bool active_ = false;
  TColor color_ = clWindow;
  std::unique_ptr<TFont> font_;
  mutable std::unique_ptr<TGridDataGroupLevelsEh> groupLevels_;
  std::unique_ptr<TGridDataGroupFootersEh> footers_;
  std::unique_ptr<TGridDataGroupFootersDefValuesEh> footersDefValues_;
  bool groupPanelVisible_ = false;
  bool parentColor_ = true;
  bool parentFont_ = true;
  bool fontRefreshing_ = false;
  bool defaultStateExpanded_ = false;
  std::unique_ptr<TGridDataGroupRowDefValuesEh> groupRowDefValues_;
  bool shiftFolldataGroupRow_ = true;
  std::unique_ptr<TGridGroupDataTreeEh> tree_;
  std::vector<TGridDataGroupLevelEh*> activeLevels_;
  std::vector<TAxisBarEh*> activeColumns_;
  Variant newRecordKeyValues_;
  bool footersColumnItemsInitialized_ = false;
  bool destroying_ = false;  // set while the destructor takes the parts down
};

// ================================================================================================
// Tree and nodes (DBGridEhGroupingTree.cpp)
// ================================================================================================

// A group row's text: one pointer while empty, as it is on every data row. Reads as the text.
class TGroupRowTextEh {
 public:
  TGroupRowTextEh() = default;
  TGroupRowTextEh(const TGroupRowTextEh& Other) { *this = Other.str(); }
  TGroupRowTextEh& operator=(const TGroupRowTextEh& Other) { return *this = Other.str(); }
  TGroupRowTextEh& operator=(std::string Value) {
    if (Value.empty())
      text_.reset();
    else if (text_)
      *text_ = std::move(Value);
    else
      text_ = std::make_unique<std::string>(std::move(Value));
    return *this;
  }
  const std::string& str() const {
    static const std::string empty;
    return text_ ? *text_ : empty;
  }
  operator const std::string&() const { return str(); }
  bool empty() const { return !text_; }
  void clear() { text_.reset(); }
  friend bool operator==(const TGroupRowTextEh& A, std::string_view B) { return A.str() == B; }
  friend std::ostream& operator<<(std::ostream& Out, const TGroupRowTextEh& Text) {
    return Out << Text.str();
  }

 private:
  std::unique_ptr<std::string> text_;
};

// A footer row's values, one per column item: one pointer while empty, as on every other row.
class TGroupFooterValuesEh {
 public:
  TGroupFooterValuesEh() = default;
  TGroupFooterValuesEh(const TGroupFooterValuesEh& Other)
      : values_(Other.values_ ? std::make_unique<std::vector<Variant>>(*Other.values_) : nullptr) {}
  TGroupFooterValuesEh& operator=(const TGroupFooterValuesEh& Other) {
    if (this != &Other) *this = TGroupFooterValuesEh(Other);
    return *this;
  }
  TGroupFooterValuesEh(TGroupFooterValuesEh&&) noexcept = default;
  TGroupFooterValuesEh& operator=(TGroupFooterValuesEh&&) noexcept = default;

  size_t size() const { return values_ ? values_->size() : 0; }
  bool empty() const { return size() == 0; }
  Variant& operator[](size_t I) { return (*values_)[I]; }
  const Variant& operator[](size_t I) const { return (*values_)[I]; }
  Variant* begin() { return values_ ? values_->data() : nullptr; }
  Variant* end() { return values_ ? values_->data() + values_->size() : nullptr; }
  const Variant* begin() const { return values_ ? values_->data() : nullptr; }
  const Variant* end() const { return values_ ? values_->data() + values_->size() : nullptr; }
  void assign(size_t Count, const Variant& Value) {
    if (Count == 0) {
      values_.reset();
      return;
    }
    if (!values_) values_ = std::make_unique<std::vector<Variant>>();
    values_->assign(Count, Value);
  }
  void clear() { values_.reset(); }

 private:
  std::unique_ptr<std::vector<Variant>> values_;
};

class TGroupDataTreeNodeEh : public TBaseTreeNodeEh {
  RTL_CLASS(TGroupDataTreeNodeEh, TBaseTreeNodeEh)
 public:
  TGroupDataTreeNodeEh();
  ~TGroupDataTreeNodeEh() override;
  // Nodes of this exact class come from slabs of blocks: a rebuild frees and makes a node per
  // record, and the general heap's coalescing would cost more than the grouping itself.
  static void* operator new(size_t Size);
  static void operator delete(void* Block, size_t Size);

  TGroupDataTreeNodeEh* GetParent() const { return static_cast<TGroupDataTreeNodeEh*>(Parent()); }
  TGridGroupDataTreeEh* GetOwnerTree() const;
  // Children without the trailing footers.
  int GetRowsCount() const { return Count() - footerCount_ > 0 ? Count() - footerCount_ : 0; }
  TGroupDataTreeNodeEh* GetItem(int Index) const {
    return Index >= 0 && Index < GetRowsCount() ? static_cast<TGroupDataTreeNodeEh*>(Items(Index)) : nullptr;
  }
  int GetFooterCount() const { return footerCount_; }
  TGroupDataTreeNodeEh* GetFooterNode(int Index) const;
  // A footer node's finalised value of column item ItemIndex (Null outside the items).
  const Variant& GetFooterValue(int ItemIndex) const;

  // --- the node's data; a node a record, so laid out without gaps (the private height among them)
  TGroupDataTreeNodeTypeEh NodeType = dntDataSetRecordEh;
  bool NeedRecalc = true;
  int32_t RecNo = -1;

 private:
  int rowHeight_ = 0;

 public:
  Variant KeyValue;                                   // group rows: the key; data rows: the record index
  TGridDataGroupLevelEh* DataGroupLevel = nullptr;    // group rows
  TGridDataGroupFooterEh* DataGroupFooter = nullptr;  // footer rows
  TGroupRowTextEh DisplayValue;                       // group rows
  TGroupFooterValuesEh FooterValues;                  // footer rows: one value per column item

  // Sorts the data children only (footers stay last); with Recurse their data children too.
  void SortData(const TCompareNodesEh& Compare, intptr_t SortParam, bool Recurse) override;
  // Footer children as many as the level's footers (the root: the grand totals), each with
  // its footer and one empty value per column item.
  void RefreshGroupNode();
  // Surplus footers deleted from the end, missing ones added at the end.
  void SetFooterCount(int Value);
  // The cached height, recalculated first when marked.
  int GetRowHeight();
  void Recalc();
  bool IsInLastLevel() const;
  bool IsLastDataNode() const;
  // Data rows: [level keys..., record index], the keys being those of the group rows above;
  // Empty for other rows.
  Variant GetKeyValues() const;
  // Adds a record to this group in the data set: keeps the group's keys for the new record,
  // moves after the group's last record and inserts there (appends at the end of the data).
  void InsertRecordInGroup();

 private:
  friend class TGridGroupDataTreeEh;
  friend class TGroupFlatListEh;  // writes the slot
  int footerCount_ = 0;
  int flatIndex_ = -1;  // slot in the tree's flat list when last listed; checked on use
};

class TGridGroupDataTreeEh : public TTreeListEh {
  RTL_CLASS(TGridGroupDataTreeEh, TTreeListEh)
 public:
  explicit TGridGroupDataTreeEh(TGridDataGroupsEh* ADataGroups);
  ~TGridGroupDataTreeEh() override;

  TGridDataGroupsEh* DataGroups() const { return dataGroups_; }
  TGroupDataTreeNodeEh* GetRoot() const { return static_cast<TGroupDataTreeNodeEh*>(Root()); }

  // --- the flat list of visible rows
  int GetFlatCount() const { return flatList_.Count(); }
  // nullptr outside 0..GetFlatCount()-1.
  TGroupDataTreeNodeEh* GetFlatNode(int Index) const { return flatList_.Node(Index); }
  // Whether the row shows a record; answered without touching the node, so that a walk over
  // every row stays in the list's own memory.
  bool IsFlatRecordRow(int Index) const { return flatList_.IsRecordRow(Index); }
  int IndexOfFlatNode(TGroupDataTreeNodeEh* Node) const;
  int FlatIndexOfRecord(int RecIndex) const;
  TGroupDataTreeNodeEh* FindRecordNode(int RecIndex) const;
  // The node and its ancestors are Visible and every ancestor is expanded (the root counts as
  // expanded).
  bool IsNodeVisible(TGroupDataTreeNodeEh* Node) const;

  // --- building
  // Files one record (KeyArray: [level keys..., ordering key]) and answers its new data row.
  // The tree keeps no key of a data row but its group rows' keys.
  TGroupDataTreeNodeEh* AddRecordNode(const Variant& KeyArray, int RecNo);
  void Rebuild();
  void RebuildFlatList();
  void RecalcFooterValues();  // DBGridEhGroupingFooters.cpp
  void RecalcAllNodes();

  // --- single edits, by record index
  void DataRecordChanged(int RecIndex);
  void DataRecordInserted(int RecIndex);
  void DataRecordDeleted(int RecIndex);
  // Files the data row again under its record's keys as they are now.
  void MoveRecordNode(TGroupDataTreeNodeEh* Node);
  void DeleteEmptyGroupNodes();
  void ClearDataNodes();
  void ExpandToNode(TGroupDataTreeNodeEh* Node);
  // Sets the expanded flag of every node at Depth (1 = the first level's group rows).
  void SetLevelExpanded(int Depth, bool Expanded);
  void SortLevelNodes(int Depth, TSortOrderEh SortOrder);
  void DeleteLevelNodes(int Depth);

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate() { --updateCount_; }
  int32_t UpdateCount() const { return updateCount_; }

  // --- readers (a paint) that hold nodes across calls to application handlers
  // While one reads, a change that would free or move nodes only marks the tree stale; the
  // last reader's EndRead answers whether the tree must be read afresh from the data. A change
  // cut short by a key handler that raised leaves the tree stale too: the next change files
  // every record again, and so does the end of the next read.
  void BeginRead() { ++readers_; }
  bool EndRead();
  bool Stale() const { return stale_; }
  // True (and the tree marked stale) when a change must wait for the readers.
  bool DeferWhileRead();
  void ExpandedChanged(TBaseTreeNodeEh* Node) override;

  // Raises EInternalError naming the first broken rule: the base tree's rules, footers last
  // with their count, node kinds by depth, the flat list against a fresh walk.
  void CheckConsistency() const;

 private:
  friend class TGroupDataTreeNodeEh;
  TGroupDataTreeNodeEh* FileRecordNode(std::span<const Variant> Keys, const Variant& Ordering, int RecNo,
                                       TGroupDataTreeNodeEh* Node);
  void RefileRecordNode(TGroupDataTreeNodeEh* Node, std::span<const Variant> Keys);
  // Whether the data row hangs under group rows whose keys equal Keys, level by level.
  bool FiledUnder(const TGroupDataTreeNodeEh* Node, std::span<const Variant> Keys) const;
  // Gives the group rows from Lowest up to Highest their levels' texts, read off record RecNo.
  void NameGroupRows(int RecNo, TGroupDataTreeNodeEh* Lowest, TGroupDataTreeNodeEh* Highest);
  TGroupDataTreeNodeEh* SearchDataChildren(TGroupDataTreeNodeEh* Parent, const Variant& Key, bool Descending,
                                           int& Code) const;
  void AttachNode(TGroupDataTreeNodeEh* Node, TGroupDataTreeNodeEh* Parent, TGroupDataTreeNodeEh* Neighbour,
                  int Code);
  void RegisterRecordNode(TGroupDataTreeNodeEh* Node);
  void ForgetRecordNode(TGroupDataTreeNodeEh* Node);
  // The active levels' keys of record RecIndex into Keys; false when a key handler freed the tree.
  bool ReadRecordKeys(IMemTableEh* Intf, int RecIndex, std::vector<Variant>& Keys);
  // ClearDataNodes; with Spare the data rows are taken out into it instead of freed.
  void ShedDataNodes(std::vector<TGroupDataTreeNodeEh*>* Spare);
  TGroupDataTreeNodeEh* DeleteEmptyAncestors(TGroupDataTreeNodeEh* Node);
  void RenewGroupRecNos(TGroupDataTreeNodeEh* Node);
  void FlatListChanged();
  void ClearFlatList();
  void CollectFlatRows(std::vector<TGroupDataTreeNodeEh*>& Rows) const;
  // The rows below Node that show while it is expanded and listed.
  void CollectFlatRowsBelow(TGroupDataTreeNodeEh* Node, std::vector<TGroupDataTreeNodeEh*>& Rows) const;
  // A listed group row's rows spliced out (collapsed) or in (expanded); false when the list is
  // not in step with the tree there and must be rebuilt.
  bool SpliceGroupRows(TGroupDataTreeNodeEh* Node);
  void CheckNode(const TGroupDataTreeNodeEh* Node, int64_t Number, int& DataRows) const;
  // The cleanup that marks the tree stale when a change ends by an exception.
  auto StaleOnFailure(const TLivenessWatch& Watch) {
    return WhileAlive(Watch, [this] { stale_ = true; });
  }

  TGridDataGroupsEh* dataGroups_;
  TGroupFlatListEh flatList_;
  // recordNodes_[r]: the data row of record r (nullptr while it has none).
  std::vector<TGroupDataTreeNodeEh*> recordNodes_;
  // While Rebuild files the records: the group rows found for text keys, by parent and text.
  struct TSearchMemo;
  TSearchMemo* searchMemo_ = nullptr;
  int32_t updateCount_ = 0;
  int32_t readers_ = 0;
  bool stale_ = false;
  TLiveness liveness_;  // the key handlers it calls may free it with its grid
};

// Orders two group keys: below 0, 0 or above 0. Null before any value; values that do not
// compare (a text against a number) by their type codes, two of one type by their text; arrays
// element by element.
int CompareGroupKeysEh(const Variant& A, const Variant& B);
