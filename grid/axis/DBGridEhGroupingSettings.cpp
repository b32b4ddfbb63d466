// Data grouping settings: the grid's DataGrouping with its levels, the group-row defaults and
// the bottom line of group rows.
#include <algorithm>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TGridGroupLinePenEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupRowDefValuesEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupLevelEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupLevelsEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupsEh)

namespace grouping_settings_detail {

// Lets every footer of a footers collection (and its items) look at its parent font again.
void RefreshFooterFonts(TGridDataGroupFootersEh* Footers) {
  if (!Footers) return;
  for (int i = 0; i < Footers->Count(); ++i) {
    TGridDataGroupFooterEh* footer = Footers->Items(i);
    footer->Font();
    TGridDataGroupFooterColumnItemsEh* items = footer->ColumnItems();
    for (int j = 0; items && j < items->Count(); ++j) items->Items(j)->Font();
  }
}

}  // namespace grouping_settings_detail

using namespace grouping_settings_detail;

// ================================================================================================
// TGridGroupLinePenEh
// ================================================================================================

TGridGroupLinePenEh::TGridGroupLinePenEh(TGridDataGroupsEh* ADataGroups) : dataGroups_(ADataGroups) {}

void TGridGroupLinePenEh::DescribeClass(TClassBuilder<TGridGroupLinePenEh>& c) {
  using T = TGridGroupLinePenEh;
  c.Property("Color", &T::Color, &T::SetColor).Default(clDefault).WithIdents(ColorIdents());
  c.Property("Width", &T::Width, &T::SetWidth).Default(1);
}

void TGridGroupLinePenEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGridGroupLinePenEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  SetColor(src->Color());
  SetWidth(src->Width());
}

void TGridGroupLinePenEh::SetColor(TColor Value) {
  if (color_ == Value) return;
  color_ = Value;
  if (dataGroups_) dataGroups_->InvalidateGrid();
}

void TGridGroupLinePenEh::SetWidth(int Value) {
  if (width_ == Value) return;
  width_ = Value;
  if (dataGroups_) dataGroups_->InvalidateGrid();
}

// ================================================================================================
// TGridDataGroupRowDefValuesEh
// ================================================================================================

TGridDataGroupRowDefValuesEh::TGridDataGroupRowDefValuesEh(TGridDataGroupsEh* ADataGroups)
    : dataGroups_(ADataGroups), bottomLine_(std::make_unique<TGridGroupLinePenEh>(ADataGroups)) {}

TGridDataGroupRowDefValuesEh::~TGridDataGroupRowDefValuesEh() = default;

void TGridDataGroupRowDefValuesEh::DescribeClass(TClassBuilder<TGridDataGroupRowDefValuesEh>& c) {
  using T = TGridDataGroupRowDefValuesEh;
  c.Property("FooterInGroupRow", &T::FooterInGroupRow, &T::SetFooterInGroupRow);
  c.Property("RowHeight", &T::RowHeight, &T::SetRowHeight);
  c.Property("RowLines", &T::RowLines, &T::SetRowLines);
  c.Property("BottomLine", &T::BottomLine, &T::SetBottomLine);
}

void TGridDataGroupRowDefValuesEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGridDataGroupRowDefValuesEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  SetFooterInGroupRow(src->FooterInGroupRow());
  SetRowHeight(src->RowHeight());
  SetRowLines(src->RowLines());
  bottomLine_->Assign(src->BottomLine());
}

TPersistent* TGridDataGroupRowDefValuesEh::GetOwner() {
  return dataGroups_;
}

void TGridDataGroupRowDefValuesEh::SetFooterInGroupRow(bool Value) {
  if (footerInGroupRow_ == Value) return;
  footerInGroupRow_ = Value;
  if (dataGroups_) dataGroups_->RefreshGroupTree();
}

void TGridDataGroupRowDefValuesEh::SetRowHeight(int Value) {
  if (rowHeight_ == Value) return;
  rowHeight_ = Value;
  if (dataGroups_) dataGroups_->LayoutChanged();
}

void TGridDataGroupRowDefValuesEh::SetRowLines(int Value) {
  if (rowLines_ == Value) return;
  rowLines_ = Value;
  if (dataGroups_) dataGroups_->LayoutChanged();
}

// ================================================================================================
// TGridDataGroupLevelEh
// ================================================================================================

TGridDataGroupLevelEh::TGridDataGroupLevelEh(TCollection* Collection) : TCollectionItem(Collection) {
  font_ = std::make_unique<TFont>();
  TGridDataGroupsEh* groups = DataGroups();
  if (groups) ReloadFontSilently(font_.get(), groups->GetLevelDefaultFont());
  font_->OnChange = TNotifyEvent::Method(this, &TGridDataGroupLevelEh::FontChanged);
  footers_ = std::make_unique<TGridDataGroupFootersEh>(groups, this);
}

TGridDataGroupLevelEh::~TGridDataGroupLevelEh() = default;

void TGridDataGroupLevelEh::DescribeClass(TClassBuilder<TGridDataGroupLevelEh>& c) {
  using T = TGridDataGroupLevelEh;
  c.Property("Color", &T::Color, &T::SetColor)
      .Default(clWindow)
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsColorStored(); });
  c.Property("ColumnName", &T::ColumnName, &T::SetColumnName);
  c.Property("Font", &T::Font, &T::SetFont).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsFontStored();
  });
  c.Property("ParentColor", &T::ParentColor, &T::SetParentColor).Default(1);
  c.Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(1);
  c.Property("SortOrder", &T::SortOrder, &T::SetSortOrder);
  c.Property("RowHeight", &T::RowHeight, &T::SetRowHeight).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).RowHeightStored();
  });
  c.Property("RowHeightStored", &T::RowHeightStored, &T::SetRowHeightStored);
  c.Property("RowLines", &T::RowLines, &T::SetRowLines).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).RowLinesStored();
  });
  c.Property("RowLinesStored", &T::RowLinesStored, &T::SetRowLinesStored);
  c.Property("OnGetKeyValue", &T::OnGetKeyValue,
             [](T& l, const TGroupLevelGetKeyValueEventEh& e) { l.OnGetKeyValue = e; });
  c.Property("OnGetKeyValueAsText", &T::OnGetKeyValueAsText,
             [](T& l, const TGroupLevelGetKeyValueAsTextEventEh& e) { l.OnGetKeyValueAsText = e; });
  c.Property("OnGetGroupRowText", &T::OnGetGroupRowText,
             [](T& l, const TGroupLevelGetGroupRowTextEventEh& e) { l.OnGetGroupRowText = e; });
}

void TGridDataGroupLevelEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGridDataGroupLevelEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  TGridDataGroupsEh* groups = DataGroups();
  TGridDataGroupsEh* srcGroups = src->DataGroups();
  // A column of the same grid is taken as it is; another grid's is looked up by its name.
  if (src->Column() && groups && srcGroups && groups->Grid() == srcGroups->Grid())
    SetColumn(src->Column());
  else
    SetColumnName(src->ColumnName());
  if (src->ParentColor())
    SetParentColor(true);
  else
    SetColor(src->Color());
  if (src->ParentFont())
    SetParentFont(true);
  else
    SetFont(src->Font());
  if (src->RowHeightStored())
    SetRowHeight(src->RowHeight());
  else
    SetRowHeightStored(false);
  if (src->RowLinesStored())
    SetRowLines(src->RowLines());
  else
    SetRowLinesStored(false);
  if (src->FooterInGroupRowStored())
    SetFooterInGroupRow(src->GetFooterInGroupRow());
  else
    SetFooterInGroupRowStored(false);
  SetSortOrder(src->SortOrder());
  OnGetKeyValue = src->OnGetKeyValue;
  OnGetKeyValueAsText = src->OnGetKeyValueAsText;
  OnGetGroupRowText = src->OnGetGroupRowText;
}

std::string TGridDataGroupLevelEh::GetDisplayName() const {
  TGridDataGroupsEh* groups = DataGroups();
  std::string result = groups && groups->Grid() ? groups->Grid()->Name() : std::string();
  result += ".DataGrouping";
  if (column_ && !column_->FieldName().empty()) result += "['" + column_->FieldName() + "']";
  return result;
}

TGridDataGroupLevelsEh* TGridDataGroupLevelEh::Levels() const {
  return dynamic_cast<TGridDataGroupLevelsEh*>(Collection());
}

TGridDataGroupsEh* TGridDataGroupLevelEh::DataGroups() const {
  TGridDataGroupLevelsEh* levels = Levels();
  return levels ? levels->DataGroups() : nullptr;
}

TColor TGridDataGroupLevelEh::Color() const {
  if (parentColor_) {
    TGridDataGroupsEh* groups = DataGroups();
    if (groups) return groups->GetLevelDefaultColor();
  }
  return color_;
}

void TGridDataGroupLevelEh::SetColor(TColor Value) {
  if (!parentColor_ && color_ == Value) return;
  color_ = Value;
  parentColor_ = false;
  InvalidateGrid();
}

void TGridDataGroupLevelEh::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  // Turned off, the level keeps the colour it showed.
  if (!Value) color_ = Color();
  parentColor_ = Value;
  InvalidateGrid();
}

TFont* TGridDataGroupLevelEh::Font() const {
  RefreshParentFont();
  return font_.get();
}

void TGridDataGroupLevelEh::SetFont(TFont* Value) {
  if (Value && Value != font_.get()) font_->Assign(Value);
}

void TGridDataGroupLevelEh::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (Value) {
    TGridDataGroupsEh* groups = DataGroups();
    TValueRestorer<bool> keepRefreshing(fontRefreshing_);
    fontRefreshing_ = true;
    if (groups) ReloadFontSilently(font_.get(), groups->GetLevelDefaultFont());
  }
  InvalidateGrid();
}

void TGridDataGroupLevelEh::RefreshParentFont() const {
  if (!parentFont_) return;
  TGridDataGroupsEh* groups = DataGroups();
  if (!groups) return;
  TFont* def = groups->GetLevelDefaultFont();
  if (FontDiffers(font_.get(), def)) ReloadFontSilently(font_.get(), def);
}

void TGridDataGroupLevelEh::FontChanged(TObject* /*Sender*/) {
  if (fontRefreshing_) return;
  parentFont_ = false;
  InvalidateGrid();
}

void TGridDataGroupLevelEh::SetColumn(TAxisBarEh* Value) {
  if (column_ == Value && (Value || columnName_.empty())) return;
  column_ = Value;
  columnName_.clear();
  Changed(false);
}

std::string TGridDataGroupLevelEh::ColumnName() const {
  return column_ ? column_->GetAxisBarName() : columnName_;
}

void TGridDataGroupLevelEh::SetColumnName(const std::string& Value) {
  if (Value.empty()) {
    SetColumn(nullptr);
    return;
  }
  TAxisBarEh* bar = FindNamedColumn(Value);
  if (bar) {
    SetColumn(bar);
    return;
  }
  // Not among the grid's columns yet (a level read before the columns): the name waits until
  // the active levels are rebuilt.
  if (!column_ && columnName_ == Value) return;
  column_ = nullptr;
  columnName_ = Value;
  Changed(false);
}

TAxisBarEh* TGridDataGroupLevelEh::FindNamedColumn(const std::string& Name) const {
  TGridDataGroupsEh* groups = DataGroups();
  TCustomDBAxisGridEh* grid = groups ? groups->Grid() : nullptr;
  return grid ? grid->Columns()->FindAxisBarByName(Name) : nullptr;
}

bool TGridDataGroupLevelEh::ResolveColumnName() {
  if (column_ || columnName_.empty()) return false;
  TAxisBarEh* bar = FindNamedColumn(columnName_);
  if (!bar) return false;
  column_ = bar;
  columnName_.clear();
  return true;
}

void TGridDataGroupLevelEh::ReleaseColumn() {
  column_ = nullptr;
  columnName_.clear();
}

void TGridDataGroupLevelEh::SetSortOrder(TSortOrderEh Value) {
  if (sortOrder_ == Value) return;
  sortOrder_ = Value;
  TGridDataGroupLevelsEh* levels = Levels();
  if (levels) levels->LevelSortOrderChanged(this);
}

int TGridDataGroupLevelEh::RowHeight() const {
  if (rowHeightStored_) return rowHeight_;
  TGridDataGroupsEh* groups = DataGroups();
  return groups ? groups->GroupRowDefValues()->RowHeight() : rowHeight_;
}

void TGridDataGroupLevelEh::SetRowHeight(int Value) {
  if (rowHeightStored_ && rowHeight_ == Value) return;
  rowHeight_ = Value;
  rowHeightStored_ = true;
  if (TGridDataGroupsEh* groups = DataGroups()) groups->LayoutChanged();
}

void TGridDataGroupLevelEh::SetRowHeightStored(bool Value) {
  if (rowHeightStored_ == Value) return;
  if (!Value) {
    // Back to the default: the own value is reloaded from it.
    TGridDataGroupsEh* groups = DataGroups();
    rowHeight_ = groups ? groups->GroupRowDefValues()->RowHeight() : 0;
  }
  rowHeightStored_ = Value;
  if (TGridDataGroupsEh* groups = DataGroups()) groups->LayoutChanged();
}

int TGridDataGroupLevelEh::RowLines() const {
  if (rowLinesStored_) return rowLines_;
  TGridDataGroupsEh* groups = DataGroups();
  return groups ? groups->GroupRowDefValues()->RowLines() : rowLines_;
}

void TGridDataGroupLevelEh::SetRowLines(int Value) {
  if (rowLinesStored_ && rowLines_ == Value) return;
  rowLines_ = Value;
  rowLinesStored_ = true;
  if (TGridDataGroupsEh* groups = DataGroups()) groups->LayoutChanged();
}

void TGridDataGroupLevelEh::SetRowLinesStored(bool Value) {
  if (rowLinesStored_ == Value) return;
  if (!Value) {
    TGridDataGroupsEh* groups = DataGroups();
    rowLines_ = groups ? groups->GroupRowDefValues()->RowLines() : 0;
  }
  rowLinesStored_ = Value;
  if (TGridDataGroupsEh* groups = DataGroups()) groups->LayoutChanged();
}

bool TGridDataGroupLevelEh::GetFooterInGroupRow() const {
  if (footerInGroupRowStored_) return footerInGroupRow_;
  TGridDataGroupsEh* groups = DataGroups();
  return groups ? groups->GroupRowDefValues()->FooterInGroupRow() : footerInGroupRow_;
}

void TGridDataGroupLevelEh::SetFooterInGroupRow(bool Value) {
  if (footerInGroupRowStored_ && footerInGroupRow_ == Value) return;
  footerInGroupRow_ = Value;
  footerInGroupRowStored_ = true;
  if (TGridDataGroupsEh* groups = DataGroups()) groups->RefreshGroupTree();
}

void TGridDataGroupLevelEh::SetFooterInGroupRowStored(bool Value) {
  if (footerInGroupRowStored_ == Value) return;
  if (!Value) {
    TGridDataGroupsEh* groups = DataGroups();
    footerInGroupRow_ = groups ? groups->GroupRowDefValues()->FooterInGroupRow() : false;
  }
  footerInGroupRowStored_ = Value;
  if (TGridDataGroupsEh* groups = DataGroups()) groups->RefreshGroupTree();
}

void TGridDataGroupLevelEh::SetUseDataGroupsFooters(bool Value) {
  if (useDataGroupsFooters_ == Value) return;
  useDataGroupsFooters_ = Value;
  if (TGridDataGroupsEh* groups = DataGroups()) groups->RefreshGroupTree();
}

TGridDataGroupFootersEh* TGridDataGroupLevelEh::UsedFooters() const {
  TGridDataGroupsEh* groups = DataGroups();
  if (useDataGroupsFooters_ && groups && groups->Footers()) return groups->Footers();
  return footers_.get();
}

TGridDataGroupFooterEh* TGridDataGroupLevelEh::GetFooter(int Index) const {
  return UsedFooters()->Items(Index);
}

int TGridDataGroupLevelEh::GetFootersCount() const {
  return UsedFooters()->Count();
}

int TGridDataGroupLevelEh::ActiveIndex() const {
  TGridDataGroupsEh* groups = DataGroups();
  if (!groups) return -1;
  for (int i = 0; i < groups->GetActiveGroupLevelsCount(); ++i)
    if (groups->GetActiveGroupLevel(i) == this) return i;
  return -1;
}

Variant TGridDataGroupLevelEh::GetKeyValue() {
  if (OnGetKeyValue) {
    Variant key = Null();
    OnGetKeyValue(this, key);
    return key;
  }
  TField* field = column_ ? column_->GetField() : nullptr;
  if (!field || !field->DataSet() || !field->DataSet()->Active()) return Null();
  return field->AsVariant();
}

std::string TGridDataGroupLevelEh::GetKeyValueAsText(const Variant& KeyValue) {
  std::string text;
  if (OnGetKeyValueAsText) OnGetKeyValueAsText(this, KeyValue, text);
  return text;
}

std::string TGridDataGroupLevelEh::GetNodeKeyValue(const Variant& KeyValue) {
  if (KeyValue.IsNull() || KeyValue.IsEmpty()) return std::string();
  return VarToStr(KeyValue);
}

void TGridDataGroupLevelEh::InvalidateGrid() {
  if (TGridDataGroupsEh* groups = DataGroups()) groups->InvalidateGrid();
}

void TGridDataGroupLevelEh::ExpandNodes() {
  TGridDataGroupsEh* groups = DataGroups();
  const int index = ActiveIndex();
  if (!groups || index < 0 || !groups->GroupDataTree()) return;
  groups->GroupDataTree()->SetLevelExpanded(index + 1, true);
}

void TGridDataGroupLevelEh::CollapseNodes() {
  TGridDataGroupsEh* groups = DataGroups();
  const int index = ActiveIndex();
  if (!groups || index < 0 || !groups->GroupDataTree()) return;
  groups->GroupDataTree()->SetLevelExpanded(index + 1, false);
}

// ================================================================================================
// TGridDataGroupLevelsEh
// ================================================================================================

TGridDataGroupLevelsEh::TGridDataGroupLevelsEh(TGridDataGroupsEh* ADataGroups, TClass ItemClass)
    : TCollection(ItemClass), dataGroups_(ADataGroups) {}

TPersistent* TGridDataGroupLevelsEh::GetOwner() {
  return dataGroups_;
}

void TGridDataGroupLevelsEh::LevelSortOrderChanged(TGridDataGroupLevelEh* Level) {
  if (!dataGroups_ || !Level) return;
  const int index = Level->ActiveIndex();
  if (index >= 0) dataGroups_->ResortLevel(index, Level->SortOrder());
}

void TGridDataGroupLevelsEh::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  if (Action != cnDeleting || !dataGroups_) return;
  auto* level = dynamic_cast<TGridDataGroupLevelEh*>(Item);
  if (!level || level->ActiveIndex() < 0) return;
  level->ReleaseColumn();
  dataGroups_->UpdateActiveGroupLevels();
}

void TGridDataGroupLevelsEh::Update(TCollectionItem* /*Item*/) {
  if (!dataGroups_) return;
  dataGroups_->UpdateActiveGroupLevels();
  dataGroups_->InvalidateGrid();
}

// ================================================================================================
// TGridDataGroupsEh
// ================================================================================================

TGridDataGroupsEh::TGridDataGroupsEh(TCustomDBAxisGridEh* AGrid, IGridDataGroupsHostEh* AHost)
    : grid_(AGrid), host_(AHost) {
  font_ = std::make_unique<TFont>();
  ReloadFontSilently(font_.get(), GetParentFont());
  font_->OnChange = TNotifyEvent::Method(this, &TGridDataGroupsEh::FontChanged);
  footersDefValues_ = std::make_unique<TGridDataGroupFootersDefValuesEh>(this);
  groupRowDefValues_ = std::make_unique<TGridDataGroupRowDefValuesEh>(this);
  tree_ = std::make_unique<TGridGroupDataTreeEh>(this);
  footers_ = std::make_unique<TGridDataGroupFootersEh>(this, nullptr);
}

TGridDataGroupsEh::~TGridDataGroupsEh() {
  // The tree's nodes point at levels and footers: they go first. What the collections report
  // while they go finds neither tree nor levels.
  destroying_ = true;
  tree_.reset();
  activeLevels_.clear();
  activeColumns_.clear();
  groupLevels_.reset();
  footers_.reset();
}

void TGridDataGroupsEh::DescribeClass(TClassBuilder<TGridDataGroupsEh>& c) {
  using T = TGridDataGroupsEh;
  c.Property("Active", &T::Active, &T::SetActive);
  c.Property("Color", &T::Color, &T::SetColor)
      .Default(clWindow)
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsColorStored(); });
  c.Property("Font", &T::Font, &T::SetFont).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsFontStored();
  });
  c.Property("GroupLevels", &T::GroupLevels, &T::SetGroupLevels).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsGroupLevelsStored();
  });
  c.Property("Footers", &T::Footers, &T::SetFooters).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsFootersStored();
  });
  c.Property("FootersDefValues", &T::FootersDefValues, &T::SetFootersDefValues);
  c.Property("GroupPanelVisible", &T::GroupPanelVisible, &T::SetGroupPanelVisible);
  c.Property("ParentColor", &T::ParentColor, &T::SetParentColor).Default(1);
  c.Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(1);
  c.Property("DefaultStateExpanded", &T::DefaultStateExpanded, &T::SetDefaultStateExpanded);
  c.Property("GroupRowDefValues", &T::GroupRowDefValues, &T::SetGroupRowDefValues);
  c.Property("ShiftFolldataGroupRow", &T::ShiftFolldataGroupRow, &T::SetShiftFolldataGroupRow).Default(1);
}

void TGridDataGroupsEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGridDataGroupsEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  // The levels before activation: the tree is then built once, with the new levels.
  GroupLevels()->Assign(src->GroupLevels());
  SetActive(src->Active());
  SetGroupPanelVisible(src->GroupPanelVisible());
}

TPersistent* TGridDataGroupsEh::GetOwner() {
  return grid_;
}

IMemTableEh* TGridDataGroupsEh::DataIntf() const {
  return grid_ ? grid_->DataIntf() : nullptr;
}

void TGridDataGroupsEh::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  // Level names read before the grid's columns resolve now.
  if (Value && !destroying_) RebuildActiveGroupLevels();
  ActiveChanged();
}

TColor TGridDataGroupsEh::Color() const {
  return parentColor_ ? GetParentColor() : color_;
}

void TGridDataGroupsEh::SetColor(TColor Value) {
  if (!parentColor_ && color_ == Value) return;
  color_ = Value;
  parentColor_ = false;
  InvalidateGrid();
}

void TGridDataGroupsEh::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  if (!Value) color_ = GetParentColor();
  parentColor_ = Value;
  InvalidateGrid();
}

TFont* TGridDataGroupsEh::Font() const {
  RefreshParentFont();
  return font_.get();
}

void TGridDataGroupsEh::SetFont(TFont* Value) {
  if (Value && Value != font_.get()) font_->Assign(Value);
}

void TGridDataGroupsEh::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (Value) {
    TValueRestorer<bool> keepRefreshing(fontRefreshing_);
    fontRefreshing_ = true;
    ReloadFontSilently(font_.get(), GetParentFont());
  }
  RefreshChildFonts();
  InvalidateGrid();
}

void TGridDataGroupsEh::RefreshParentFont() const {
  if (!parentFont_) return;
  TFont* def = GetParentFont();
  if (FontDiffers(font_.get(), def)) ReloadFontSilently(font_.get(), def);
}

void TGridDataGroupsEh::FontChanged(TObject* /*Sender*/) {
  if (fontRefreshing_) return;
  parentFont_ = false;
  RefreshChildFonts();
  InvalidateGrid();
}

void TGridDataGroupsEh::RefreshChildFonts() {
  if (destroying_) return;
  RefreshFooterFonts(footers_.get());
  TGridDataGroupLevelsEh* levels = GroupLevels();
  for (int i = 0; i < levels->Count(); ++i) {
    auto* level = dynamic_cast<TGridDataGroupLevelEh*>(levels->TCollection::Items(i));
    if (!level) continue;
    level->Font();
    RefreshFooterFonts(level->OwnFooters());
  }
}

void TGridDataGroupsEh::SetGroupPanelVisible(bool Value) {
  if (groupPanelVisible_ == Value) return;
  groupPanelVisible_ = Value;
  if (host_) host_->UpdateGroupingLayout();
}

void TGridDataGroupsEh::SetShiftFolldataGroupRow(bool Value) {
  if (shiftFolldataGroupRow_ == Value) return;
  shiftFolldataGroupRow_ = Value;
  LayoutChanged();
}

TGridDataGroupLevelsEh* TGridDataGroupsEh::GroupLevels() const {
  if (!groupLevels_) groupLevels_.reset(const_cast<TGridDataGroupsEh*>(this)->CreateGroupLevels());
  return groupLevels_.get();
}

TGridDataGroupLevelsEh* TGridDataGroupsEh::CreateGroupLevels() {
  return new TGridDataGroupLevelsEh(this, TGridDataGroupLevelEh::StaticClass());
}

TColor TGridDataGroupsEh::GetParentColor() const {
  return grid_ ? grid_->Color() : color_;
}

TFont* TGridDataGroupsEh::GetParentFont() const {
  return grid_ ? grid_->Font() : font_.get();
}

void TGridDataGroupsEh::InvalidateGrid() {
  if (grid_ && !destroying_) grid_->Invalidate();
}

void TGridDataGroupsEh::LayoutChanged() {
  if (grid_ && !destroying_) grid_->LayoutChanged();
}

void TGridDataGroupsEh::RebuildActiveGroupLevels() {
  activeLevels_.clear();
  activeColumns_.clear();
  if (destroying_) return;
  TGridDataGroupLevelsEh* levels = GroupLevels();
  for (int i = 0; i < levels->Count(); ++i) {
    // An item still being made (or unmade) is no level yet.
    auto* level = dynamic_cast<TGridDataGroupLevelEh*>(levels->TCollection::Items(i));
    if (!level) continue;
    level->ResolveColumnName();
    if (!level->Column()) continue;
    activeLevels_.push_back(level);
    activeColumns_.push_back(level->Column());
  }
}

void TGridDataGroupsEh::ResortLevel(int LevelIndex, TSortOrderEh SortOrder) {
  if (tree_ && !destroying_) tree_->SortLevelNodes(LevelIndex, SortOrder);
}

void TGridDataGroupsEh::RefreshGroupTree() {
  if (destroying_ || !tree_ || !IsGroupingActive() || tree_->DeferWhileRead()) return;
  // The group rows first, collected apart: refreshing one adds and deletes footer children.
  std::vector<TGroupDataTreeNodeEh*> groupNodes;
  std::vector<TGroupDataTreeNodeEh*> pending{tree_->GetRoot()};
  while (!pending.empty()) {
    TGroupDataTreeNodeEh* node = pending.back();
    pending.pop_back();
    groupNodes.push_back(node);
    for (int i = 0; i < node->GetRowsCount(); ++i) {
      TGroupDataTreeNodeEh* child = node->GetItem(i);
      if (child->NodeType == dntDataGroupEh) pending.push_back(child);
    }
  }
  for (TGroupDataTreeNodeEh* node : groupNodes) node->RefreshGroupNode();
  tree_->RecalcFooterValues();
  tree_->RecalcAllNodes();
  tree_->RebuildFlatList();
}

void TGridDataGroupsEh::RecalcFooters() {
  if (destroying_ || !tree_ || !IsGroupingActive()) return;
  tree_->RecalcFooterValues();
  tree_->RecalcAllNodes();
  InvalidateGrid();
}

void TGridDataGroupsEh::UpdateFootersColumnItems() {
  if (destroying_ || !footersColumnItemsInitialized_ || !Active() || !grid_) return;
  TGridAxisBarsEh* columns = grid_->Columns();
  bool changed = false;
  for (int i = 0; i < footers_->Count(); ++i)
    changed = footers_->Items(i)->UpdateColumnItems(columns) || changed;
  TGridDataGroupLevelsEh* levels = GroupLevels();
  for (int i = 0; i < levels->Count(); ++i) {
    TGridDataGroupFootersEh* own = levels->Items(i)->OwnFooters();
    for (int j = 0; j < own->Count(); ++j) changed = own->Items(j)->UpdateColumnItems(columns) || changed;
  }
  if (changed) RefreshGroupTree();
}

void TGridDataGroupsEh::InitFootersColumnItems() {
  footersColumnItemsInitialized_ = true;
  if (!grid_) return;
  TGridAxisBarsEh* columns = grid_->Columns();
  for (int i = 0; i < footers_->Count(); ++i) {
    TGridDataGroupFooterColumnItemsEh* items = footers_->Items(i)->ColumnItems();
    items->BeginUpdate();
    TScopeExit endUpdate([items] { items->EndUpdate(); });
    items->Clear();
    for (int c = 0; c < columns->Count(); ++c) {
      TAxisBarEh* column = columns->GetAxisBar(c);
      TGridDataGroupFooterColumnItemEh* item = items->Add();
      item->SetColumn(column);
      item->SetFieldName(column->FieldName());
    }
  }
}

TGridDataGroupLevelEh* TGridDataGroupsEh::GetActiveGroupLevel(int Index) const {
  if (Index < 0 || Index >= GetActiveGroupLevelsCount()) return nullptr;
  return activeLevels_[static_cast<size_t>(Index)];
}

TAxisBarEh* TGridDataGroupsEh::GetActiveGroupColumn(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(activeColumns_.size())) return nullptr;
  return activeColumns_[static_cast<size_t>(Index)];
}

// Without a data interface there is no other record to read: the keys are those of the data
// set's current record.
Variant TGridDataGroupsEh::GetGroupKeyValues(int RecIndex) {
  const int n = GetActiveGroupLevelsCount();
  Variant result = VarArrayCreate({0, n}, varVariant);
  IMemTableEh* intf = DataIntf();
  const bool reposition = intf && intf->GetCurrentRecordIndex() != RecIndex;
  if (reposition) intf->InstantReadEnter(RecIndex);
  TScopeExit leave([intf, reposition] {
    if (reposition) intf->InstantReadLeave();
  });
  for (int i = 0; i < n; ++i) result.PutElement(i, activeLevels_[static_cast<size_t>(i)]->GetKeyValue());
  result.PutElement(n, Variant(RecIndex));
  return result;
}

bool TGridDataGroupsEh::WriteNewRecordKeyValues() {
  if (newRecordKeyValues_.IsEmpty()) return false;
  const Variant keys = newRecordKeyValues_;
  newRecordKeyValues_ = Variant();
  const int n = keys.IsArray() ? std::min(GetActiveGroupLevelsCount(), keys.HighBound() + 1) : 0;
  for (int i = 0; i < n; ++i) {
    TAxisBarEh* column = GetActiveGroupColumn(i);
    TField* field = column ? column->GetField() : nullptr;
    if (!field || !field->DataSet() || field->DataSet()->State() != dsInsert) continue;
    field->SetAsVariant(keys.GetElement(i));
  }
  return true;
}

void TGridDataGroupsEh::UpdateActiveGroupLevels() {
  if (destroying_) return;
  TGridDataGroupLevelsEh* levels = GroupLevels();
  // The levels that would be active now, names read before their columns resolved included.
  std::vector<TGridDataGroupLevelEh*> wanted;
  for (int i = 0; i < levels->Count(); ++i) {
    auto* level = dynamic_cast<TGridDataGroupLevelEh*>(levels->TCollection::Items(i));
    if (!level) continue;
    level->ResolveColumnName();
    if (level->Column()) wanted.push_back(level);
  }
  const size_t oldCount = activeLevels_.size();
  size_t prefix = 0;
  while (prefix < wanted.size() && prefix < oldCount && wanted[prefix] == activeLevels_[prefix] &&
         wanted[prefix]->Column() == activeColumns_[prefix])
    ++prefix;
  if (prefix == wanted.size() && prefix == oldCount) return;

  {
    // The group rows of the levels after the unchanged ones go, with what they hold; the data
    // rows come back at the rebuild.
    if (tree_ && prefix < oldCount) tree_->DeleteLevelNodes(static_cast<int>(prefix) + 1);
    if (tree_) tree_->BeginUpdate();
    TScopeExit endTreeUpdate([this] {
      if (tree_) tree_->EndUpdate();
    });
    IMemTableEh* intf = DataIntf();
    if (intf) intf->BeginUpdate();
    TScopeExit endDataUpdate([intf] {
      if (intf) intf->EndUpdate();
    });
    RebuildActiveGroupLevels();
  }
  if (Active()) ActiveGroupingStructChanged();
}

void TGridDataGroupsEh::ColumnRemoving(TAxisBarEh* Column) {
  if (destroying_ || !Column) return;
  TGridDataGroupLevelsEh* levels = GroupLevels();
  {
    // One update of the active levels (at the end of the bracket) for all levels that let go.
    levels->BeginUpdate();
    TScopeExit endUpdate([levels] { levels->EndUpdate(); });
    for (int i = 0; i < levels->Count(); ++i) {
      TGridDataGroupLevelEh* level = levels->Items(i);
      if (level->Column() != Column) continue;
      level->ReleaseColumn();
    }
  }
  auto dropItems = [Column](TGridDataGroupFootersEh* Footers) {
    for (int f = 0; f < Footers->Count(); ++f) {
      TGridDataGroupFooterColumnItemsEh* items = Footers->Items(f)->ColumnItems();
      for (int j = items->Count() - 1; j >= 0; --j)
        if (items->Items(j)->Column() == Column) items->Delete(j);
    }
  };
  dropItems(footers_.get());
  for (int i = 0; i < levels->Count(); ++i) dropItems(levels->Items(i)->OwnFooters());
}
