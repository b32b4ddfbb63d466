// Group footers: their defaults, the footers of a level or of the grand totals, one column item
// per grid column, the aggregation of a record's value into a footer value, its finalisation and
// its text, and the recalculation of every footer value of the group tree.
#include <algorithm>
#include <cmath>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/DataRoutinesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TGridDataGroupFootersDefValuesEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupFooterColumnItemEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupFooterColumnItemsEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupFooterEh)
RTL_IMPLEMENT_CLASS(TGridDataGroupFootersEh)

namespace grouping_footers_detail {

const Variant& NullVariant() {
  static const Variant value = Null();
  return value;
}

const Variant& EmptyTextVariant() {
  static const Variant value = std::string();
  return value;
}

// The value types whose aggregate uses the record's value (and whose prefix is shown).
bool UsesFieldValue(TGroupFooterValueTypeEh Type) {
  return Type >= gfvSumEh && Type <= gfvMinEh;
}

const char* FunctionPrefix(TGroupFooterValueTypeEh Type) {
  switch (Type) {
    case gfvSumEh:
      return "Sum = ";
    case gfvAvgEh:
      return "Avg = ";
    case gfvCountEh:
      return "Cnt = ";
    case gfvMaxEh:
      return "Max = ";
    case gfvMinEh:
      return "Min = ";
    default:
      return "";
  }
}

// The built-in aggregation step of Item on a record value V already read; the relay is asked
// first (Host and Column resolved by the caller).
void AggregateStep(TGridDataGroupFooterColumnItemEh* Item, TGridDataGroupFooterEh* Footer, Variant& AggValue,
                   const Variant& V, TGroupDataTreeNodeEh* Node, IGridDataGroupsHostEh* Host,
                   TAxisBarEh* Column) {
  const TGroupFooterValueTypeEh type = Item->ValueType();
  if (type != gfvNonEh && Host && Host->DoDataGroupFooterAggregateValue(Column, Footer, Item, AggValue, Node))
    return;
  if (AggValue.IsEmpty()) {
    switch (type) {
      case gfvNonEh:
        AggValue = Null();
        break;
      case gfvSumEh:
      case gfvMaxEh:
      case gfvMinEh:
        AggValue = V;
        break;
      case gfvAvgEh: {
        // [0] the running sum, [1] the number of non-null values; updated in place afterwards.
        Variant pair = VarArrayCreate({0, 1}, varVariant);
        pair.PutElement(0, V);
        pair.PutElement(1, Variant(V.IsNull() ? 0 : 1));
        AggValue = std::move(pair);
        break;
      }
      case gfvCountEh:
        AggValue = V.IsNull() ? 0 : 1;
        break;
      case gfvStaticTextEh:
        AggValue = "StaticText";
        break;
      case gfvCustomEh:
        AggValue = "Custom";
        break;
    }
    return;
  }
  switch (type) {
    case gfvNonEh:
      if (AggValue.VarType() != varString) AggValue = EmptyTextVariant();
      break;
    case gfvSumEh:
      if (V.IsNull()) break;
      if (AggValue.IsNull()) {
        AggValue = V;
      } else if (AggValue.VarType() == varDouble && V.VarType() == varDouble &&
                 std::isfinite(AggValue.AsDouble() + V.AsDouble())) {
        // A float field's sum, a record at a time: the general addition's result without its
        // type dispatch; an overflow goes the general way, which raises it.
        AggValue = AggValue.AsDouble() + V.AsDouble();
      } else {
        AggValue = AggValue + V;
      }
      break;
    case gfvAvgEh:
      if (V.IsNull() || !AggValue.IsArray()) break;
      {
        Variant sum = AggValue.GetElement(0);
        AggValue.PutElement(0, sum.IsNull() ? V : sum + V);
        AggValue.PutElement(1, AggValue.GetElement(1) + Variant(1));
      }
      break;
    case gfvCountEh:
      if (!V.IsNull()) AggValue = AggValue + Variant(1);
      break;
    case gfvMaxEh:
      if (V.IsNull()) break;
      if (AggValue.IsNull() || AggValue < V) AggValue = V;
      break;
    case gfvMinEh:
      if (V.IsNull()) break;
      if (AggValue.IsNull() || AggValue > V) AggValue = V;
      break;
    case gfvStaticTextEh:
      AggValue = "StaticText";
      break;
    case gfvCustomEh:
      AggValue = "Custom";
      break;
  }
}

// What one footer's items need during a recalculation, resolved once: the items, their
// columns, and the slot of the record value each reads (-1: it reads none).
struct TFooterPlan {
  TGridDataGroupFooterEh* Footer = nullptr;
  std::vector<TGridDataGroupFooterColumnItemEh*> Items;
  std::vector<TAxisBarEh*> Columns;
  std::vector<int> Slots;
  // An item of a descendant class goes through its own (virtual) AggregateValue.
  std::vector<bool> OwnStep;
};

// One column item of one footer node on the walk's path: what a record adds to it.
struct TAggregateStep {
  Variant* Value;
  TGridDataGroupFooterColumnItemEh* Item;
  TGridDataGroupFooterEh* Footer;
  TAxisBarEh* Column;
  TGroupDataTreeNodeEh* FooterNode;
  int Slot;
  bool OwnStep;
};

}  // namespace grouping_footers_detail

namespace gfd = grouping_footers_detail;

// ================================================================================================
// TGridDataGroupFootersDefValuesEh
// ================================================================================================

TGridDataGroupFootersDefValuesEh::TGridDataGroupFootersDefValuesEh(TGridDataGroupsEh* AOwner)
    : owner_(AOwner) {}

void TGridDataGroupFootersDefValuesEh::DescribeClass(TClassBuilder<TGridDataGroupFootersDefValuesEh>& c) {
  using T = TGridDataGroupFootersDefValuesEh;
  c.Property("RunTimeCustomizable", &T::RunTimeCustomizable, &T::SetRunTimeCustomizable).Default(0);
  c.Property("ShowFunctionName", &T::ShowFunctionName, &T::SetShowFunctionName).Default(0);
}

void TGridDataGroupFootersDefValuesEh::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TGridDataGroupFootersDefValuesEh*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  SetRunTimeCustomizable(source->RunTimeCustomizable());
  SetShowFunctionName(source->ShowFunctionName());
}

TPersistent* TGridDataGroupFootersDefValuesEh::GetOwner() {
  return owner_;
}

void TGridDataGroupFootersDefValuesEh::SetShowFunctionName(bool Value) {
  if (showFunctionName_ == Value) return;
  showFunctionName_ = Value;
  if (owner_) owner_->RecalcFooters();
}

// ================================================================================================
// TGridDataGroupFooterColumnItemEh
// ================================================================================================

TGridDataGroupFooterColumnItemEh::TGridDataGroupFooterColumnItemEh(TCollection* Collection)
    : TCollectionItem(Collection) {
  font_ = std::make_unique<TFont>();
  if (TGridDataGroupFooterEh* footer = Footer()) ReloadFontSilently(font_.get(), footer->Font());
  font_->OnChange = TNotifyEvent::Method(this, &TGridDataGroupFooterColumnItemEh::FontChanged);
}

TGridDataGroupFooterColumnItemEh::~TGridDataGroupFooterColumnItemEh() {
  font_->OnChange = TNotifyEvent();
}

void TGridDataGroupFooterColumnItemEh::DescribeClass(TClassBuilder<TGridDataGroupFooterColumnItemEh>& c) {
  using T = TGridDataGroupFooterColumnItemEh;
  c.Property("Alignment", &T::Alignment, &T::SetAlignment).Default(static_cast<int64_t>(taRightJustify));
  c.Property("Color", &T::Color, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsColorStored(); });
  c.Property("Font", &T::Font, &T::SetFont).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsFontStored();
  });
  c.Property("ParentColor", &T::ParentColor, &T::SetParentColor).Default(1);
  c.Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(1);
  c.Property("ValueType", &T::ValueType, &T::SetValueType).Default(static_cast<int64_t>(gfvNonEh));
  c.Property("DisplayFormat", &T::DisplayFormat, &T::SetDisplayFormat);
  c.Property("ShowFunctionName", &T::ShowFunctionName, &T::SetShowFunctionName)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).ShowFunctionNameStored(); });
  c.Property("ShowFunctionNameStored", &T::ShowFunctionNameStored, &T::SetShowFunctionNameStored).Default(0);
  c.Property("RunTimeCustomizable", &T::RunTimeCustomizable, &T::SetRunTimeCustomizable)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).RunTimeCustomizableStored(); });
  c.Property("RunTimeCustomizableStored", &T::RunTimeCustomizableStored, &T::SetRunTimeCustomizableStored)
      .Default(0);
}

void TGridDataGroupFooterColumnItemEh::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TGridDataGroupFooterColumnItemEh*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  alignment_ = source->alignment_;
  color_ = source->color_;
  parentColor_ = source->parentColor_;
  {
    TValueRestorer<bool> refreshing(fontRefreshing_, true);
    font_->Assign(source->font_.get());
  }
  parentFont_ = source->parentFont_;
  valueType_ = source->valueType_;
  // A column ID names a column of one grid only.
  TGridDataGroupsEh* mine = DataGroups();
  TGridDataGroupsEh* theirs = source->DataGroups();
  if (mine && theirs && mine->Grid() == theirs->Grid()) columnId_ = source->columnId_;
  fieldName_ = source->fieldName_;
  displayFormat_ = source->displayFormat_;
  showFunctionName_ = source->showFunctionName_;
  showFunctionNameStored_ = source->showFunctionNameStored_;
  runTimeCustomizable_ = source->runTimeCustomizable_;
  runTimeCustomizableStored_ = source->runTimeCustomizableStored_;
  InvalidateGrid();
}

TGridDataGroupFooterEh* TGridDataGroupFooterColumnItemEh::Footer() const {
  auto* items = dynamic_cast<TGridDataGroupFooterColumnItemsEh*>(Collection());
  return items ? items->Footer() : nullptr;
}

TGridDataGroupsEh* TGridDataGroupFooterColumnItemEh::DataGroups() const {
  TGridDataGroupFooterEh* footer = Footer();
  return footer ? footer->DataGroups() : nullptr;
}

void TGridDataGroupFooterColumnItemEh::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  InvalidateGrid();
}

void TGridDataGroupFooterColumnItemEh::RefreshParentFont() const {
  if (!parentFont_) return;
  TGridDataGroupFooterEh* footer = Footer();
  if (!footer) return;
  TFont* parent = footer->Font();
  if (FontDiffers(font_.get(), parent)) ReloadFontSilently(font_.get(), parent);
}

TFont* TGridDataGroupFooterColumnItemEh::Font() const {
  RefreshParentFont();
  return font_.get();
}

void TGridDataGroupFooterColumnItemEh::SetFont(TFont* Value) {
  if (Value) font_->Assign(Value);
}

void TGridDataGroupFooterColumnItemEh::FontChanged(TObject* /*Sender*/) {
  if (fontRefreshing_) return;
  parentFont_ = false;
  InvalidateGrid();
}

TColor TGridDataGroupFooterColumnItemEh::Color() const {
  if (parentColor_) {
    TGridDataGroupFooterEh* footer = Footer();
    if (footer) return footer->Color();
  }
  return color_;
}

void TGridDataGroupFooterColumnItemEh::SetColor(TColor Value) {
  if (color_ == Value && !parentColor_) return;
  color_ = Value;
  parentColor_ = false;
  InvalidateGrid();
}

void TGridDataGroupFooterColumnItemEh::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  parentColor_ = Value;
  InvalidateGrid();
}

void TGridDataGroupFooterColumnItemEh::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (Value) {
    TGridDataGroupFooterEh* footer = Footer();
    if (footer) {
      TValueRestorer<bool> refreshing(fontRefreshing_, true);
      font_->Assign(footer->Font());
    }
  }
  InvalidateGrid();
}

void TGridDataGroupFooterColumnItemEh::SetValueType(TGroupFooterValueTypeEh Value) {
  if (valueType_ == Value) return;
  valueType_ = Value;
  if (TGridDataGroupFooterEh* footer = Footer()) footer->RecalcFooters();
}

TAxisBarEh* TGridDataGroupFooterColumnItemEh::Column() const {
  if (columnId_ < 0) return nullptr;
  TGridDataGroupsEh* groups = DataGroups();
  TCustomDBAxisGridEh* grid = groups ? groups->Grid() : nullptr;
  TGridAxisBarsEh* columns = grid ? grid->Columns() : nullptr;
  return columns ? static_cast<TAxisBarEh*>(columns->FindItemID(columnId_)) : nullptr;
}

void TGridDataGroupFooterColumnItemEh::SetColumn(TAxisBarEh* Value) {
  columnId_ = Value ? Value->ID() : -1;
}

void TGridDataGroupFooterColumnItemEh::SetDisplayFormat(const std::string& Value) {
  if (displayFormat_ == Value) return;
  displayFormat_ = Value;
  InvalidateGrid();
}

bool TGridDataGroupFooterColumnItemEh::ShowFunctionName() const {
  if (GetShowFunctionNameStored()) return showFunctionName_;
  TGridDataGroupFooterEh* footer = Footer();
  return footer ? footer->ShowFunctionName() : showFunctionName_;
}

void TGridDataGroupFooterColumnItemEh::SetShowFunctionName(bool Value) {
  const bool changed = !showFunctionNameStored_ || showFunctionName_ != Value;
  showFunctionName_ = Value;
  showFunctionNameStored_ = true;
  if (changed) InvalidateGrid();
}

void TGridDataGroupFooterColumnItemEh::SetShowFunctionNameStored(bool Value) {
  if (showFunctionNameStored_ == Value) return;
  if (Value) {
    showFunctionName_ = ShowFunctionName();
    showFunctionNameStored_ = true;
  } else {
    showFunctionNameStored_ = false;
    showFunctionName_ = ShowFunctionName();
  }
  if (TGridDataGroupFooterEh* footer = Footer()) footer->RecalcFooters();
}

bool TGridDataGroupFooterColumnItemEh::RunTimeCustomizable() const {
  return runTimeCustomizableStored_ ? runTimeCustomizable_ : GetDefaultRunTimeCustomizable();
}

void TGridDataGroupFooterColumnItemEh::SetRunTimeCustomizable(bool Value) {
  runTimeCustomizable_ = Value;
  runTimeCustomizableStored_ = true;
}

void TGridDataGroupFooterColumnItemEh::SetRunTimeCustomizableStored(bool Value) {
  if (runTimeCustomizableStored_ == Value) return;
  if (Value) {
    runTimeCustomizable_ = RunTimeCustomizable();
    runTimeCustomizableStored_ = true;
  } else {
    runTimeCustomizableStored_ = false;
    runTimeCustomizable_ = GetDefaultRunTimeCustomizable();
  }
  if (TGridDataGroupFooterEh* footer = Footer()) footer->RecalcFooters();
}

void TGridDataGroupFooterColumnItemEh::InvalidateGrid() {
  if (TGridDataGroupFooterEh* footer = Footer()) footer->InvalidateGrid();
}

bool TGridDataGroupFooterColumnItemEh::GetDefaultRunTimeCustomizable() const {
  TGridDataGroupFooterEh* footer = Footer();
  return footer ? footer->RunTimeCustomizable() : false;
}

void TGridDataGroupFooterColumnItemEh::AggregateValue(Variant& AggValue, TGroupDataTreeNodeEh* Node) {
  TAxisBarEh* column = Column();
  TField* field = column ? column->GetField() : nullptr;
  AggregateFieldValue(AggValue, field ? field->AsVariant() : gfd::NullVariant(), Node);
}

void TGridDataGroupFooterColumnItemEh::AggregateFieldValue(Variant& AggValue, const Variant& V,
                                                           TGroupDataTreeNodeEh* Node) {
  TGridDataGroupsEh* groups = DataGroups();
  gfd::AggregateStep(this, Footer(), AggValue, V, Node, groups ? groups->Host() : nullptr, Column());
}

void TGridDataGroupFooterColumnItemEh::FinalizeValue(Variant& AggValue) {
  if (valueType_ != gfvNonEh) {
    TGridDataGroupsEh* groups = DataGroups();
    IGridDataGroupsHostEh* host = groups ? groups->Host() : nullptr;
    if (host && host->DoDataGroupFooterFinalizeValue(Column(), Footer(), this, AggValue)) return;
  }
  // Only the running pair of an average is divided: a value finalised already stays as it is.
  if (valueType_ == gfvAvgEh && AggValue.IsArray()) {
    const Variant count = AggValue.GetElement(1);
    if (!count.IsNull() && count.AsInt64() != 0)
      AggValue = AggValue.GetElement(0) / count;
    else
      AggValue = Null();
  }
  if (valueType_ == gfvCountEh && AggValue.IsEmpty()) AggValue = 0;
}

std::string TGridDataGroupFooterColumnItemEh::GetDisplayText(const Variant& Value) {
  std::string text;
  TAxisBarEh* column = Column();
  if (valueType_ != gfvNonEh) {
    TGridDataGroupsEh* groups = DataGroups();
    IGridDataGroupsHostEh* host = groups ? groups->Host() : nullptr;
    if (host && host->DoDataGroupFooterToDisplayText(column, Footer(), this, Value, text)) return text;
  }
  std::string format = displayFormat_;
  if (format.empty() && column) format = column->DisplayFormat();
  TField* field = column ? column->GetField() : nullptr;
  if (!field) {
    text = VarToStr(Value);
  } else {
    switch (valueType_) {
      case gfvSumEh:
      case gfvMaxEh:
      case gfvMinEh:
        text = FormatValueLikeField(format, Value, field);
        break;
      case gfvAvgEh:
        // An average has fractions the column's own format would hide.
        text = FormatValueLikeField(displayFormat_.empty() ? std::string("0.####") : displayFormat_, Value,
                                    field);
        break;
      default:
        text = VarToStr(Value);
        break;
    }
  }
  if (gfd::UsesFieldValue(valueType_) && ShowFunctionName()) text = gfd::FunctionPrefix(valueType_) + text;
  return text;
}

// ================================================================================================
// TGridDataGroupFooterColumnItemsEh
// ================================================================================================

TGridDataGroupFooterColumnItemsEh::TGridDataGroupFooterColumnItemsEh(TGridDataGroupFooterEh* AFooter)
    : TCollection(TGridDataGroupFooterColumnItemEh::StaticClass()), footer_(AFooter) {}

TPersistent* TGridDataGroupFooterColumnItemsEh::GetOwner() {
  return footer_;
}

// Reads nothing of the items: Update also runs while an added item is still being made.
void TGridDataGroupFooterColumnItemsEh::Update(TCollectionItem* /*Item*/) {
  if (footer_) footer_->InvalidateGrid();
}

// ================================================================================================
// TGridDataGroupFooterEh
// ================================================================================================

TGridDataGroupFooterEh::TGridDataGroupFooterEh(TCollection* Collection) : TCollectionItem(Collection) {
  columnItems_ = std::make_unique<TGridDataGroupFooterColumnItemsEh>(this);
  font_ = std::make_unique<TFont>();
  TGridDataGroupFootersEh* footers = Footers();
  if (footers) ReloadFontSilently(font_.get(), footers->DefaultFont());
  font_->OnChange = TNotifyEvent::Method(this, &TGridDataGroupFooterEh::FontChanged);
  TCustomDBAxisGridEh* grid = footers ? footers->Grid() : nullptr;
  if (grid && !grid->ComponentState().Contains(csLoading) && grid->Columns())
    UpdateColumnItems(grid->Columns());
  if (footers) footers->FooterConstructed(this);
}

TGridDataGroupFooterEh::~TGridDataGroupFooterEh() {
  font_->OnChange = TNotifyEvent();
}

void TGridDataGroupFooterEh::DescribeClass(TClassBuilder<TGridDataGroupFooterEh>& c) {
  using T = TGridDataGroupFooterEh;
  c.Property("Color", &T::Color, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsColorStored(); });
  c.Property("Font", &T::Font, &T::SetFont).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsFontStored();
  });
  c.Property("Visible", &T::Visible, &T::SetVisible).Default(0);
  c.Property("ColumnItems", &T::ColumnItems, &T::SetColumnItems).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsColumnItemsStored();
  });
  c.Property("ParentColor", &T::ParentColor, &T::SetParentColor).Default(1);
  c.Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(1);
  c.Property("ShowFunctionName", &T::ShowFunctionName, &T::SetShowFunctionName)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).ShowFunctionNameStored(); });
  c.Property("ShowFunctionNameStored", &T::ShowFunctionNameStored, &T::SetShowFunctionNameStored).Default(0);
  c.Property("RunTimeCustomizable", &T::RunTimeCustomizable, &T::SetRunTimeCustomizable)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).RunTimeCustomizableStored(); });
  c.Property("RunTimeCustomizableStored", &T::RunTimeCustomizableStored, &T::SetRunTimeCustomizableStored)
      .Default(0);
}

void TGridDataGroupFooterEh::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TGridDataGroupFooterEh*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  color_ = source->color_;
  parentColor_ = source->parentColor_;
  {
    TValueRestorer<bool> refreshing(fontRefreshing_, true);
    font_->Assign(source->font_.get());
  }
  parentFont_ = source->parentFont_;
  columnItems_->Assign(source->columnItems_.get());
  showFunctionName_ = source->showFunctionName_;
  showFunctionNameStored_ = source->showFunctionNameStored_;
  runTimeCustomizable_ = source->runTimeCustomizable_;
  runTimeCustomizableStored_ = source->runTimeCustomizableStored_;
  SetVisible(source->visible_);
  InvalidateGrid();
}

std::string TGridDataGroupFooterEh::GetDisplayName() const {
  TGridDataGroupFootersEh* footers = Footers();
  TCustomDBAxisGridEh* grid = footers ? footers->Grid() : nullptr;
  std::string name = (grid ? grid->Name() : std::string()) + ".DataGrouping";
  if (footers && !footers->Level()) name += ".Footers[" + std::to_string(Index()) + "]";
  return name;
}

TGridDataGroupFootersEh* TGridDataGroupFooterEh::Footers() const {
  return dynamic_cast<TGridDataGroupFootersEh*>(Collection());
}

TGridDataGroupsEh* TGridDataGroupFooterEh::DataGroups() const {
  TGridDataGroupFootersEh* footers = Footers();
  return footers ? footers->DataGroups() : nullptr;
}

TColor TGridDataGroupFooterEh::Color() const {
  if (parentColor_) {
    TGridDataGroupFootersEh* footers = Footers();
    if (footers) return footers->DefaultColor();
  }
  return color_;
}

void TGridDataGroupFooterEh::SetColor(TColor Value) {
  if (color_ == Value && !parentColor_) return;
  color_ = Value;
  parentColor_ = false;
  InvalidateGrid();
}

void TGridDataGroupFooterEh::RefreshParentFont() const {
  if (!parentFont_) return;
  TGridDataGroupFootersEh* footers = Footers();
  if (!footers) return;
  TFont* parent = footers->DefaultFont();
  if (FontDiffers(font_.get(), parent)) ReloadFontSilently(font_.get(), parent);
}

TFont* TGridDataGroupFooterEh::Font() const {
  RefreshParentFont();
  return font_.get();
}

void TGridDataGroupFooterEh::SetFont(TFont* Value) {
  if (Value) font_->Assign(Value);
}

void TGridDataGroupFooterEh::FontChanged(TObject* /*Sender*/) {
  if (fontRefreshing_) return;
  parentFont_ = false;
  InvalidateGrid();
}

void TGridDataGroupFooterEh::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  parentColor_ = Value;
  InvalidateGrid();
}

void TGridDataGroupFooterEh::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (Value) {
    TGridDataGroupFootersEh* footers = Footers();
    TFont* parent = footers ? footers->DefaultFont() : nullptr;
    if (parent && parent != font_.get()) {
      TValueRestorer<bool> refreshing(fontRefreshing_, true);
      font_->Assign(parent);
    }
  }
  InvalidateGrid();
}

void TGridDataGroupFooterEh::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  TGridDataGroupFootersEh* footers = Footers();
  if (footers) footers->RebuildVisibleItems();
  if (TGridDataGroupsEh* groups = DataGroups()) groups->RefreshGroupTree();
}

bool TGridDataGroupFooterEh::IsColumnItemsStored() const {
  TGridDataGroupFootersEh* footers = Footers();
  TCustomDBAxisGridEh* grid = footers ? footers->Grid() : nullptr;
  return grid && grid->Columns() && grid->Columns()->IsPersistent();
}

bool TGridDataGroupFooterEh::ShowFunctionName() const {
  if (showFunctionNameStored_) return showFunctionName_;
  TGridDataGroupsEh* groups = DataGroups();
  return groups && groups->FootersDefValues() ? groups->FootersDefValues()->ShowFunctionName()
                                              : showFunctionName_;
}

void TGridDataGroupFooterEh::SetShowFunctionName(bool Value) {
  const bool changed = !showFunctionNameStored_ || showFunctionName_ != Value;
  showFunctionName_ = Value;
  showFunctionNameStored_ = true;
  if (changed) InvalidateGrid();
}

void TGridDataGroupFooterEh::SetShowFunctionNameStored(bool Value) {
  if (showFunctionNameStored_ == Value) return;
  if (Value) {
    showFunctionName_ = ShowFunctionName();
    showFunctionNameStored_ = true;
  } else {
    showFunctionNameStored_ = false;
    showFunctionName_ = ShowFunctionName();
  }
  RecalcFooters();
}

bool TGridDataGroupFooterEh::RunTimeCustomizable() const {
  return runTimeCustomizableStored_ ? runTimeCustomizable_ : GetDefaultRunTimeCustomizable();
}

void TGridDataGroupFooterEh::SetRunTimeCustomizable(bool Value) {
  runTimeCustomizable_ = Value;
  runTimeCustomizableStored_ = true;
}

void TGridDataGroupFooterEh::SetRunTimeCustomizableStored(bool Value) {
  if (runTimeCustomizableStored_ == Value) return;
  if (Value) {
    runTimeCustomizable_ = RunTimeCustomizable();
    runTimeCustomizableStored_ = true;
  } else {
    runTimeCustomizableStored_ = false;
    runTimeCustomizable_ = GetDefaultRunTimeCustomizable();
  }
  RecalcFooters();
}

bool TGridDataGroupFooterEh::UpdateColumnItems(TGridAxisBarsEh* Columns) {
  if (!Columns) return false;
  TGridDataGroupFooterColumnItemsEh* items = columnItems_.get();
  bool changed = false;
  items->BeginUpdate();
  TScopeExit endUpdate([items] { items->EndUpdate(); });
  // Items whose column is gone.
  for (int i = items->Count() - 1; i >= 0; --i) {
    TGridDataGroupFooterColumnItemEh* item = items->Items(i);
    if (item->columnId_ >= 0 && Columns->FindItemID(item->columnId_)) continue;
    items->Delete(i);
    changed = true;
  }
  for (int i = 0; i < Columns->Count(); ++i) {
    TAxisBarEh* column = Columns->GetAxisBar(i);
    int found = -1;
    for (int k = 0; k < items->Count(); ++k)
      if (items->Items(k)->columnId_ == column->ID()) {
        found = k;
        break;
      }
    if (found == i) {
      TGridDataGroupFooterColumnItemEh* item = items->Items(i);
      if (item->FieldName() != column->FieldName()) {
        item->SetFieldName(column->FieldName());
        changed = true;
      }
    } else if (found >= 0) {
      items->Items(found)->SetIndex(i);
      changed = true;
    } else {
      // Placed at the column's index at once, so that the items before it keep matching.
      TGridDataGroupFooterColumnItemEh* item = items->Add();
      item->SetColumn(column);
      item->SetFieldName(column->FieldName());
      item->SetIndex(i);
      changed = true;
    }
  }
  return changed;
}

void TGridDataGroupFooterEh::InvalidateGrid() {
  if (TGridDataGroupsEh* groups = DataGroups()) groups->InvalidateGrid();
}

void TGridDataGroupFooterEh::RecalcFooters() {
  if (TGridDataGroupsEh* groups = DataGroups()) groups->RecalcFooters();
}

bool TGridDataGroupFooterEh::GetDefaultRunTimeCustomizable() const {
  TGridDataGroupsEh* groups = DataGroups();
  return groups && groups->FootersDefValues() ? groups->FootersDefValues()->RunTimeCustomizable() : false;
}

// ================================================================================================
// TGridDataGroupFootersEh
// ================================================================================================

TGridDataGroupFootersEh::TGridDataGroupFootersEh(TGridDataGroupsEh* ADataGroups,
                                                 TGridDataGroupLevelEh* ALevel)
    : TCollection(TGridDataGroupFooterEh::StaticClass()), dataGroups_(ADataGroups), level_(ALevel) {}

TCustomDBAxisGridEh* TGridDataGroupFootersEh::Grid() const {
  return dataGroups_ ? dataGroups_->Grid() : nullptr;
}

TPersistent* TGridDataGroupFootersEh::GetOwner() {
  if (level_) return level_;
  return dataGroups_;
}

TGridDataGroupFooterEh* TGridDataGroupFootersEh::GetVisibleItem(int Index) const {
  if (Index < 0 || Index >= GetVisibleCount()) return nullptr;
  return visibleItems_[static_cast<size_t>(Index)];
}

void TGridDataGroupFootersEh::RebuildVisibleItems() {
  visibleItems_.clear();
  for (int i = 0; i < Count(); ++i) {
    if (Items(i) == constructing_) continue;
    if (Items(i)->Visible()) visibleItems_.push_back(Items(i));
  }
}

TColor TGridDataGroupFootersEh::DefaultColor() const {
  if (level_) return level_->Color();
  return dataGroups_ ? dataGroups_->Color() : clWindow;
}

TFont* TGridDataGroupFootersEh::DefaultFont() const {
  if (level_) return level_->Font();
  return dataGroups_ ? dataGroups_->Font() : nullptr;
}

// Reads no footer: Update also runs while an added footer is still being made. The visible
// list keeps the footers it had (a new footer is invisible), in collection order.
void TGridDataGroupFootersEh::Update(TCollectionItem* /*Item*/) {
  std::vector<TGridDataGroupFooterEh*> visible;
  visible.reserve(visibleItems_.size());
  for (int i = 0; i < Count(); ++i) {
    // Compared as items: a footer still being made is no footer yet to cast to.
    TCollectionItem* item = TCollection::Items(i);
    const auto kept = std::find_if(visibleItems_.begin(), visibleItems_.end(),
                                   [item](TGridDataGroupFooterEh* f) { return f == item; });
    if (kept != visibleItems_.end()) visible.push_back(*kept);
  }
  visibleItems_ = std::move(visible);
  if (!structureChanged_ || constructing_) return;
  structureChanged_ = false;
  // Footer nodes of the tree name their footers: they are made again for the new set.
  if (!dataGroups_) return;
  TCustomDBAxisGridEh* grid = Grid();
  if (grid && grid->ComponentState().Contains(csDestroying)) return;
  dataGroups_->RefreshGroupTree();
}

void TGridDataGroupFootersEh::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  structureChanged_ = true;
  if (Action == cnAdded) {
    constructing_ = Item;
    return;
  }
  if (constructing_ == Item) constructing_ = nullptr;
  auto it = std::find(visibleItems_.begin(), visibleItems_.end(), Item);
  if (it != visibleItems_.end()) visibleItems_.erase(it);
}

void TGridDataGroupFootersEh::FooterConstructed(TGridDataGroupFooterEh* Footer) {
  if (constructing_ == Footer) constructing_ = nullptr;
  Changed();
}

// ================================================================================================
// TGridGroupDataTreeEh::RecalcFooterValues
// ================================================================================================

// Every data row, in tree order, adds its record's values into the footers of all its ancestors;
// then every value is finalised, once. The field of each item is resolved once, each record's
// field values are read once for all ancestors, the rows are walked through the children of the
// group rows, and the steps of the ancestors' footer items are laid out once per group.
void TGridGroupDataTreeEh::RecalcFooterValues() {
  TGridDataGroupsEh* groups = dataGroups_;
  if (!groups) return;
  bool anyFooters = groups->Footers()->Count() > 0;
  TGridDataGroupLevelsEh* levels = groups->GroupLevels();
  for (int i = 0; !anyFooters && i < levels->Count(); ++i)
    if (levels->Items(i)->OwnFooters()->Count() > 0) anyFooters = true;
  if (!anyFooters) return;

  IMemTableEh* intf = groups->DataIntf();
  IGridDataGroupsHostEh* host = groups->Host();
  std::vector<gfd::TFooterPlan> plans;
  std::vector<TField*> fields;  // the fields read per record; values[s] is fields[s]'s value
  std::vector<Variant> values;
  std::vector<TGroupDataTreeNodeEh*> groupNodes;

  auto planOf = [&](TGridDataGroupFooterEh* footer) -> const gfd::TFooterPlan& {
    for (const gfd::TFooterPlan& plan : plans)
      if (plan.Footer == footer) return plan;
    gfd::TFooterPlan& plan = plans.emplace_back();
    plan.Footer = footer;
    TGridDataGroupFooterColumnItemsEh* items = footer->ColumnItems();
    for (int j = 0; j < items->Count(); ++j) {
      TGridDataGroupFooterColumnItemEh* item = items->Items(j);
      TAxisBarEh* column = item->Column();
      const bool ownStep = item->ClassType() != TGridDataGroupFooterColumnItemEh::StaticClass();
      int slot = -1;
      TField* field =
          column && !ownStep && gfd::UsesFieldValue(item->ValueType()) ? column->GetField() : nullptr;
      if (field) {
        auto at = std::find(fields.begin(), fields.end(), field);
        slot = static_cast<int>(at - fields.begin());
        if (at == fields.end()) fields.push_back(field);
      }
      plan.Items.push_back(item);
      plan.Columns.push_back(column);
      plan.Slots.push_back(slot);
      plan.OwnStep.push_back(ownStep);
    }
    return plan;
  };

  // The groups on the walk's path, root first, each with where its steps begin in `steps`.
  struct TFrame {
    TGroupDataTreeNodeEh* Node;
    int Next;
    size_t StepsBegin;
  };
  std::vector<TFrame> stack;
  std::vector<gfd::TAggregateStep> steps;

  // Empties the footer values of a group row (or the root), sized to their items, and lays out
  // the steps its rows take on them.
  auto enterGroup = [&](TGroupDataTreeNodeEh* node) {
    groupNodes.push_back(node);
    stack.push_back({node, 0, steps.size()});
    for (int f = 0; f < node->GetFooterCount(); ++f) {
      TGroupDataTreeNodeEh* footerNode = node->GetFooterNode(f);
      if (!footerNode) continue;
      TGridDataGroupFooterEh* footer = footerNode->DataGroupFooter;
      const size_t count = footer ? static_cast<size_t>(footer->ColumnItems()->Count()) : 0;
      footerNode->FooterValues.assign(count, Variant());
      if (!footer) continue;
      const gfd::TFooterPlan& plan = planOf(footer);
      for (size_t j = 0; j < std::min(count, plan.Items.size()); ++j)
        steps.push_back({&footerNode->FooterValues[j], plan.Items[j], footer, plan.Columns[j], footerNode,
                         plan.Slots[j], plan.OwnStep[j]});
    }
    // A group met later may bring a footer that reads further fields.
    values.resize(fields.size());
  };

  bool reading = false;
  TScopeExit endReading([&] {
    if (reading) intf->InstantReadLeave();
  });

  // The record's values go into the footers of its ancestors from the parent up to the root. The
  // footer node is the one handed to the relay: its parent is the group, its footer the
  // definition.
  auto aggregate = [&](TGroupDataTreeNodeEh* row) {
    intf->InstantReadEnter(row->RecNo);
    reading = true;
    for (size_t s = 0; s < fields.size(); ++s) values[s] = fields[s]->AsVariant();
    size_t end = steps.size();
    for (size_t f = stack.size(); f-- > 0;) {
      const size_t begin = stack[f].StepsBegin;
      for (size_t k = begin; k < end; ++k) {
        const gfd::TAggregateStep& step = steps[k];
        if (step.OwnStep)
          step.Item->AggregateValue(*step.Value, step.FooterNode);
        else
          gfd::AggregateStep(step.Item, step.Footer, *step.Value,
                             step.Slot >= 0 ? values[static_cast<size_t>(step.Slot)] : gfd::NullVariant(),
                             step.FooterNode, host, step.Column);
      }
      end = begin;
    }
    reading = false;
    intf->InstantReadLeave();
  };

  // Pre-order over the group rows: a group's footers are emptied before its rows add to them.
  enterGroup(GetRoot());
  while (!stack.empty()) {
    TFrame& top = stack.back();
    if (top.Next >= top.Node->GetRowsCount()) {
      steps.resize(top.StepsBegin);
      stack.pop_back();
      continue;
    }
    // The rows of a group lie far apart in memory: ask for one a few steps ahead early.
    if (const TBaseTreeNodeEh* ahead = top.Node->Items(top.Next + 8)) __builtin_prefetch(ahead);
    TGroupDataTreeNodeEh* child = top.Node->GetItem(top.Next++);
    if (!child) continue;
    if (child->NodeType == dntDataGroupEh)
      enterGroup(child);
    else if (child->NodeType == dntDataSetRecordEh && intf && child->RecNo >= 0)
      aggregate(child);
  }

  for (TGroupDataTreeNodeEh* node : groupNodes)
    for (int f = 0; f < node->GetFooterCount(); ++f) {
      TGroupDataTreeNodeEh* footerNode = node->GetFooterNode(f);
      if (!footerNode || !footerNode->DataGroupFooter) continue;
      TGridDataGroupFooterColumnItemsEh* items = footerNode->DataGroupFooter->ColumnItems();
      const int n = std::min(items->Count(), static_cast<int>(footerNode->FooterValues.size()));
      for (int j = 0; j < n; ++j)
        items->Items(j)->FinalizeValue(footerNode->FooterValues[static_cast<size_t>(j)]);
    }
}
