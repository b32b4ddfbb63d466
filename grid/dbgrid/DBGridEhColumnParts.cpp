// The small objects a data grid column owns: its footers, its filter-row setting, and the
// grid's column default values.
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TColumnFooterEh)
RTL_IMPLEMENT_CLASS(TColumnFootersEh)
RTL_IMPLEMENT_CLASS(TSTColumnFilterEh)
RTL_IMPLEMENT_CLASS(TColumnTitleDefValuesEh)
RTL_IMPLEMENT_CLASS(TColumnDefValuesEh)
RTL_IMPLEMENT_CLASS(TColumnsEhList)

namespace dbgrid_parts_detail {

TCustomDBGridEh* GridOf(TColumnEh* Column) {
  return Column ? Column->Grid() : nullptr;
}

bool IsSumKind(TFooterValueType Kind) {
  return Kind == fvtSum || Kind == fvtAvg || Kind == fvtCount;
}

}  // namespace dbgrid_parts_detail

using namespace dbgrid_parts_detail;

// --- a footer ----------------------------------------------------------------------------------

TColumnFooterEh::TColumnFooterEh(TCollection* Collection) : TCollectionItem(Collection) {
  if (auto* footers = dynamic_cast<TColumnFootersEh*>(Collection)) column_ = footers->Column();
  font_ = std::make_unique<TFont>();
  RestoreDefaults();
  font_->OnChange = TNotifyEvent::Method(this, &TColumnFooterEh::FontChanged);
}

TColumnFooterEh::TColumnFooterEh(TColumnEh* AColumn) : TCollectionItem(nullptr), column_(AColumn) {
  font_ = std::make_unique<TFont>();
  assignedValues_ = TFooterValues();
  Font();
  font_->OnChange = TNotifyEvent::Method(this, &TColumnFooterEh::FontChanged);
}

TColumnFooterEh::~TColumnFooterEh() {
  ReleaseSumItem();
}

void TColumnFooterEh::ReleaseSumItem() {
  // The sum item belongs to the grid's sum list; a grid being destroyed frees it with the list.
  TCustomDBGridEh* grid = GridOf(column_);
  if (sumItem_ && grid && !grid->ComponentState().Contains(csDestroying) && grid->SumList() &&
      sumItem_->Collection() == grid->SumList()->SumCollection())
    delete sumItem_;
  sumItem_ = nullptr;
}

void TColumnFooterEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnFooterEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  if (src->IsAlignmentStored()) SetAlignment(src->Alignment());
  if (src->IsColorStored()) SetColor(src->Color());
  if (src->IsFontStored()) SetFont(src->Font());
  if (src->IsToolTipsStored()) SetToolTips(src->ToolTips());
  SetDisplayFormat(src->DisplayFormat());
  SetEndEllipsis(src->EndEllipsis());
  SetFieldName(src->FieldName());
  SetValue(src->Value());
  SetValueType(src->ValueType());
  SetWordWrap(src->WordWrap());
}

void TColumnFooterEh::RestoreDefaults() {
  assignedValues_ = TFooterValues();
  Font();
  Changed();
}

void TColumnFooterEh::Changed() {
  if (column_) column_->NotifyChanged(false);
}

void TColumnFooterEh::FontChanged(TObject* /*Sender*/) {
  assignedValues_.Include(fvFontEh);
  Changed();
}

TAlignment TColumnFooterEh::Alignment() const {
  if (assignedValues_.Contains(fvAlignmentEh) || !column_) return alignment_;
  return column_->Alignment();
}

void TColumnFooterEh::SetAlignment(TAlignment Value) {
  if (assignedValues_.Contains(fvAlignmentEh) && alignment_ == Value) return;
  alignment_ = Value;
  assignedValues_.Include(fvAlignmentEh);
  Changed();
}

TColor TColumnFooterEh::Color() const {
  if (assignedValues_.Contains(fvColorEh)) return color_;
  TCustomDBGridEh* grid = GridOf(column_);
  if (grid && grid->FooterParams()) return grid->FooterParams()->Color();
  return column_ ? column_->Color() : color_;
}

void TColumnFooterEh::SetColor(TColor Value) {
  if (assignedValues_.Contains(fvColorEh) && color_ == Value) return;
  color_ = Value;
  assignedValues_.Include(fvColorEh);
  Changed();
}

TFont* TColumnFooterEh::Font() const {
  if (!assignedValues_.Contains(fvFontEh)) {
    // Follow the grid's footer font without taking it as set.
    TCustomDBGridEh* grid = GridOf(column_);
    TFont* source = grid && grid->FooterParams() ? grid->FooterParams()->Font() : nullptr;
    if (!source && column_) source = column_->Font();
    if (source && source != font_.get()) {
      TNotifyEvent saved = font_->OnChange;
      font_->OnChange = TNotifyEvent();
      font_->Assign(source);
      font_->OnChange = saved;
    }
  }
  return font_.get();
}

void TColumnFooterEh::SetFont(TFont* Value) {
  font_->Assign(Value);
  assignedValues_.Include(fvFontEh);
}

bool TColumnFooterEh::ToolTips() const {
  if (assignedValues_.Contains(fvToolTipsEh)) return toolTips_;
  TCustomDBGridEh* grid = GridOf(column_);
  if (grid && grid->ColumnDefValues() && grid->ColumnDefValues()->Footer())
    return grid->ColumnDefValues()->Footer()->ToolTips();
  return toolTips_;
}

void TColumnFooterEh::SetToolTips(bool Value) {
  if (assignedValues_.Contains(fvToolTipsEh) && toolTips_ == Value) return;
  toolTips_ = Value;
  assignedValues_.Include(fvToolTipsEh);
  Changed();
}

void TColumnFooterEh::SetDisplayFormat(const std::string& Value) {
  if (displayFormat_ == Value) return;
  displayFormat_ = Value;
  Changed();
}

void TColumnFooterEh::SetEndEllipsis(bool Value) {
  if (endEllipsis_ == Value) return;
  endEllipsis_ = Value;
  Changed();
}

void TColumnFooterEh::SetFieldName(const std::string& Value) {
  if (fieldName_ == Value) return;
  fieldName_ = Value;
  RebindField();
  UpdateSumItem();  // the other footers' totals name their own fields: only this one changes
  Changed();
}

void TColumnFooterEh::SetValue(const std::string& Value) {
  if (value_ == Value) return;
  value_ = Value;
  Changed();
}

void TColumnFooterEh::SetValueType(TFooterValueType Value) {
  if (valueType_ == Value) return;
  valueType_ = Value;
  UpdateSumItem();
  Changed();
}

void TColumnFooterEh::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  Changed();
}

void TColumnFooterEh::RebindField() {
  field_ = nullptr;
  if (!column_) return;
  if (fieldName_.empty()) {
    field_ = column_->CachedField();
    return;
  }
  TCustomDBGridEh* grid = GridOf(column_);
  TDataSet* dataSet = grid ? grid->DataLink()->DataSet() : nullptr;
  if (dataSet) field_ = dataSet->FindField(fieldName_);
}

void TColumnFooterEh::UpdateSumItem() {
  TCustomDBGridEh* grid = GridOf(column_);
  if (!grid || !grid->SumList() || grid->ComponentState().Contains(csDestroying)) return;
  TDBSumCollection* sums = grid->SumList()->SumCollection();
  if (sumItem_ && sumItem_->Collection() != sums) sumItem_ = nullptr;
  if (!IsSumKind(valueType_)) {
    delete sumItem_;
    sumItem_ = nullptr;
    return;
  }
  // A new total joins inside an update: an active sum list recounts once, with the total
  // complete, never while the item is still being made.
  sums->BeginUpdate();
  TScopeExit endUpdate([sums] { sums->EndUpdate(); });
  if (!sumItem_) sumItem_ = sums->Add();
  // A count counts records: it names no field, and the footer texts find it that way.
  const bool count = valueType_ == fvtCount;
  sumItem_->SetFieldName(count ? std::string() : fieldName_.empty() ? column_->FieldName() : fieldName_);
  sumItem_->SetGroupOperation(count ? goCount : valueType_ == fvtSum ? goSum : goAvg);
}

void TColumnFooterEh::DescribeClass(TClassBuilder<TColumnFooterEh>& c) {
  using F = TColumnFooterEh;
  c.Property("Alignment", &F::Alignment, &F::SetAlignment).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const F&>(o).IsAlignmentStored();
  });
  c.Property("Color", &F::Color, &F::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const F&>(o).IsColorStored(); });
  c.Property("DisplayFormat", &F::DisplayFormat, &F::SetDisplayFormat);
  c.Property("EndEllipsis", &F::EndEllipsis, &F::SetEndEllipsis).Default(0);
  c.Property("FieldName", &F::FieldName, &F::SetFieldName);
  c.Property("Font", &F::Font, &F::SetFont).StoredIf([](const TObject& o) {
    return static_cast<const F&>(o).IsFontStored();
  });
  c.Property("ToolTips", &F::ToolTips, &F::SetToolTips).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const F&>(o).IsToolTipsStored();
  });
  c.Property("Value", &F::Value, &F::SetValue);
  c.Property("ValueType", &F::ValueType, &F::SetValueType).Default(static_cast<int64_t>(fvtNon));
  c.Property("WordWrap", &F::WordWrap, &F::SetWordWrap).Default(0);
}

// --- the footer collection ---------------------------------------------------------------------

TColumnFootersEh::TColumnFootersEh(TColumnEh* AColumn)
    : TCollection(TColumnFooterEh::StaticClass()), column_(AColumn) {}

TColumnFootersEh::TColumnFootersEh(TColumnEh* AColumn, TClass ItemClass)
    : TCollection(ItemClass), column_(AColumn) {}

TPersistent* TColumnFootersEh::GetOwner() {
  return column_;
}

void TColumnFootersEh::Update(TCollectionItem* /*Item*/) {
  if (column_) column_->NotifyChanged(false);
}

// --- the filter-row setting --------------------------------------------------------------------

TSTColumnFilterEh::TSTColumnFilterEh(TColumnEh* AColumn) : column_(AColumn) {
  keyValues_ = std::make_unique<TStringList>();
  listValues_ = std::make_unique<TStringList>();
  // The list data set opening or closing refills the key and list values.
  listLink_ = std::make_unique<TFieldDataLink>();
  listLink_->OnActiveChange = [this](TObject*) { FillKeyAndListValues(); };
  keyValue_ = Variant::Null();
}

// The link lets go of its data set on the way out: no refill for a filter that is going.
TSTColumnFilterEh::~TSTColumnFilterEh() {
  listLink_->OnActiveChange = TNotifyEvent();
}

TPersistent* TSTColumnFilterEh::GetOwner() {
  return column_;
}

TCustomDBGridEh* TSTColumnFilterEh::Grid() const {
  return GridOf(column_);
}

void TSTColumnFilterEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TSTColumnFilterEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetDataField(src->DataField());
  SetVisible(src->Visible());
  SetKeyField(src->KeyField());
  SetListField(src->ListField());
  SetListSource(src->ListSource());
}

void TSTColumnFilterEh::Changed() {
  if (column_) column_->NotifyChanged(false);
}

void TSTColumnFilterEh::SetDataField(const std::string& Value) {
  if (dataField_ == Value) return;
  dataField_ = Value;
  Changed();
}

void TSTColumnFilterEh::SetKeyField(const std::string& Value) {
  if (keyField_ == Value) return;
  keyField_ = Value;
  if (column_) column_->ReleaseFilterValueList();
  Changed();
}

void TSTColumnFilterEh::SetListField(const std::string& Value) {
  if (listField_ == Value) return;
  listField_ = Value;
  if (column_) column_->ReleaseFilterValueList();
  Changed();
}

void TSTColumnFilterEh::SetListSource(TDataSource* Value) {
  if (listSource_ == Value) return;
  listSource_ = Value;
  listLink_->SetDataSource(Value);
  // The value list was made from the old source.
  if (column_) column_->ReleaseFilterValueList();
  Changed();
}

void TSTColumnFilterEh::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed();
}

void TSTColumnFilterEh::SetExpression(const TSTFilterExpressionEh& Value) {
  expression_ = Value;
  if (Value.Operator1 == fopNoneEh) expressionStr_.clear();
  Changed();
}

void TSTColumnFilterEh::DescribeClass(TClassBuilder<TSTColumnFilterEh>& c) {
  using S = TSTColumnFilterEh;
  c.Property("DataField", &S::DataField, &S::SetDataField);
  c.Property("KeyField", &S::KeyField, &S::SetKeyField);
  c.Property("ListField", &S::ListField, &S::SetListField);
  c.Property("ListSource", &S::ListSource, &S::SetListSource);
  c.Property("Visible", &S::Visible, &S::SetVisible).Default(1);
}

// --- the column default values -----------------------------------------------------------------

TAxisBarCaptionDefValuesEh* TColumnDefValuesEh::CreateTitleDefValues() {
  return new TColumnTitleDefValuesEh(this);
}
