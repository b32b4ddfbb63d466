// The column default values, the drop-down box settings and the lookup grid factory.
#include "grid/axis/AxisBarDefValuesEh.h"

#include "grid/axis/DBAxisGridEh.h"
#include "grid/data/MemTableInterfacesEh.h"

RTL_IMPLEMENT_CLASS(TAxisBarCaptionDefValuesEh)
RTL_IMPLEMENT_CLASS(TColumnFooterDefValuesEh)
RTL_IMPLEMENT_CLASS(TAxisBarDefValuesEh)
RTL_IMPLEMENT_CLASS(TCustomColumnDefValuesEh)
RTL_IMPLEMENT_CLASS(TColumnDropDownBoxEh)

namespace axis_def_values_detail {

TLookupGridFactoryEh& LookupGridFactory() {
  static TLookupGridFactoryEh factory;
  return factory;
}

template <class T>
void SetAndRelayout(TAxisBarDefValuesEh* Owner, T& Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  Owner->Changed();
}

}  // namespace axis_def_values_detail

using namespace axis_def_values_detail;

// --- the lookup grid factory -------------------------------------------------------------------

void RegisterLookupGridFactoryEh(TLookupGridFactoryEh Factory) {
  LookupGridFactory() = std::move(Factory);
}

ILookupGridEh* CreateLookupGridEh(TAxisBarEh* Column) {
  const TLookupGridFactoryEh& factory = LookupGridFactory();
  return factory ? factory(Column) : nullptr;
}

// --- title defaults ----------------------------------------------------------------------------

TAxisBarCaptionDefValuesEh::TAxisBarCaptionDefValuesEh(TAxisBarDefValuesEh* AOwner) : owner_(AOwner) {}

TAxisBarCaptionDefValuesEh::~TAxisBarCaptionDefValuesEh() = default;

void TAxisBarCaptionDefValuesEh::DescribeClass(TClassBuilder<TAxisBarCaptionDefValuesEh>& c) {
  using T = TAxisBarCaptionDefValuesEh;
  c.Property("Alignment", &T::Alignment, &T::SetAlignment).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsAlignmentStored();
  });
  c.Property("Color", &T::Color, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsColorStored(); });
  c.Property("EndEllipsis", &T::EndEllipsis, &T::SetEndEllipsis).Default(0);
  c.Property("Orientation", &T::Orientation, &T::SetOrientation).Default(static_cast<int64_t>(tohHorizontal));
  c.Property("TitleButton", &T::TitleButton, &T::SetTitleButton).Default(0);
  c.Property("ToolTips", &T::ToolTips, &T::SetToolTips).Default(0);
}

TPersistent* TAxisBarCaptionDefValuesEh::GetOwner() {
  return owner_;
}

TCustomDBAxisGridEh* TAxisBarCaptionDefValuesEh::Grid() const {
  return owner_ ? owner_->Grid() : nullptr;
}

void TAxisBarCaptionDefValuesEh::Changed() {
  if (owner_) owner_->Changed();
}

void TAxisBarCaptionDefValuesEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TAxisBarCaptionDefValuesEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src->alignmentAssigned_) SetAlignment(src->alignment_);
  if (src->colorAssigned_) SetColor(src->color_);
  SetEndEllipsis(src->endEllipsis_);
  SetOrientation(src->orientation_);
  SetTitleButton(src->titleButton_);
  SetToolTips(src->toolTips_);
}

TAlignment TAxisBarCaptionDefValuesEh::Alignment() const {
  if (alignmentAssigned_) return alignment_;
  TCustomDBAxisGridEh* grid = Grid();
  return grid ? grid->GetDefaultTitleAlignment() : taLeftJustify;
}

void TAxisBarCaptionDefValuesEh::SetAlignment(TAlignment Value) {
  if (alignmentAssigned_ && alignment_ == Value) return;
  alignment_ = Value;
  alignmentAssigned_ = true;
  Changed();
}

bool TAxisBarCaptionDefValuesEh::IsAlignmentStored() const {
  if (!alignmentAssigned_) return false;
  TCustomDBAxisGridEh* grid = Grid();
  return alignment_ != (grid ? grid->GetDefaultTitleAlignment() : taLeftJustify);
}

TColor TAxisBarCaptionDefValuesEh::Color() const {
  if (colorAssigned_) return color_;
  TCustomDBAxisGridEh* grid = Grid();
  return grid ? grid->GetTitleColor() : clBtnFace;
}

void TAxisBarCaptionDefValuesEh::SetColor(TColor Value) {
  if (colorAssigned_ && color_ == Value) return;
  color_ = Value;
  colorAssigned_ = true;
  Changed();
}

bool TAxisBarCaptionDefValuesEh::IsColorStored() const {
  if (!colorAssigned_) return false;
  TCustomDBAxisGridEh* grid = Grid();
  return color_ != (grid ? grid->GetTitleColor() : clBtnFace);
}

void TAxisBarCaptionDefValuesEh::SetEndEllipsis(bool Value) {
  if (endEllipsis_ == Value) return;
  endEllipsis_ = Value;
  Changed();
}

void TAxisBarCaptionDefValuesEh::SetOrientation(TTextOrientationEh Value) {
  if (orientation_ == Value) return;
  orientation_ = Value;
  Changed();
}

void TAxisBarCaptionDefValuesEh::SetTitleButton(bool Value) {
  if (titleButton_ == Value) return;
  titleButton_ = Value;
  Changed();
}

void TAxisBarCaptionDefValuesEh::SetToolTips(bool Value) {
  if (toolTips_ == Value) return;
  toolTips_ = Value;
  Changed();
}

// --- footer defaults ---------------------------------------------------------------------------

void TColumnFooterDefValuesEh::DescribeClass(TClassBuilder<TColumnFooterDefValuesEh>& c) {
  c.Property("ToolTips", &TColumnFooterDefValuesEh::ToolTips, &TColumnFooterDefValuesEh::SetToolTips)
      .Default(0);
}

TPersistent* TColumnFooterDefValuesEh::GetOwner() {
  return owner_;
}

void TColumnFooterDefValuesEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TColumnFooterDefValuesEh*>(Source)) {
    SetToolTips(src->toolTips_);
    return;
  }
  inherited::Assign(Source);
}

void TColumnFooterDefValuesEh::SetToolTips(bool Value) {
  if (toolTips_ == Value) return;
  toolTips_ = Value;
  if (owner_) owner_->Changed();
}

// --- column defaults ---------------------------------------------------------------------------

TAxisBarDefValuesEh::TAxisBarDefValuesEh(TCustomDBAxisGridEh* AGrid) : grid_(AGrid) {
  footer_ = std::make_unique<TColumnFooterDefValuesEh>(this);
}

TAxisBarDefValuesEh::~TAxisBarDefValuesEh() = default;

void TAxisBarDefValuesEh::DescribeClass(TClassBuilder<TAxisBarDefValuesEh>& c) {
  using D = TAxisBarDefValuesEh;
  c.Property("AlwaysShowEditButton", &D::AlwaysShowEditButton, &D::SetAlwaysShowEditButton).Default(0);
  c.Property("AutoDropDown", &D::AutoDropDown, &D::SetAutoDropDown).Default(0);
  c.Property("DblClickNextVal", &D::DblClickNextVal, &D::SetDblClickNextVal).Default(0);
  c.Property("DropDownShowTitles", &D::DropDownShowTitles, &D::SetDropDownShowTitles).Default(0);
  c.Property("DropDownSizing", &D::DropDownSizing, &D::SetDropDownSizing).Default(0);
  c.Property("EndEllipsis", &D::EndEllipsis, &D::SetEndEllipsis).Default(0);
  c.Property("Footer", &D::Footer, &D::SetFooter);
  c.Property("HighlightRequired", &D::HighlightRequired, &D::SetHighlightRequired).Default(0);
  c.Property("Layout", &D::Layout, &D::SetLayout).Default(static_cast<int64_t>(tlTop));
  c.Property(
      "Title", [](const D& d) { return const_cast<D&>(d).Title(); }, &D::SetTitle);
  c.Property("ToolTips", &D::ToolTips, &D::SetToolTips).Default(0);
}

TPersistent* TAxisBarDefValuesEh::GetOwner() {
  return grid_;
}

void TAxisBarDefValuesEh::Changed() {
  if (grid_) grid_->LayoutChanged();
}

TAxisBarCaptionDefValuesEh* TAxisBarDefValuesEh::CreateTitleDefValues() {
  return new TAxisBarCaptionDefValuesEh(this);
}

TAxisBarCaptionDefValuesEh* TAxisBarDefValuesEh::Title() {
  if (!title_) title_.reset(CreateTitleDefValues());
  return title_.get();
}

void TAxisBarDefValuesEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TAxisBarDefValuesEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetAlwaysShowEditButton(src->alwaysShowEditButton_);
  SetAutoDropDown(src->autoDropDown_);
  SetDblClickNextVal(src->dblClickNextVal_);
  SetDropDownShowTitles(src->dropDownShowTitles_);
  SetDropDownSizing(src->dropDownSizing_);
  SetEndEllipsis(src->endEllipsis_);
  SetHighlightRequired(src->highlightRequired_);
  SetLayout(src->layout_);
  SetToolTips(src->toolTips_);
  Title()->Assign(src->Title());
  footer_->Assign(src->Footer());
}

void TAxisBarDefValuesEh::SetAlwaysShowEditButton(bool Value) {
  SetAndRelayout(this, alwaysShowEditButton_, Value);
}

void TAxisBarDefValuesEh::SetAutoDropDown(bool Value) {
  SetAndRelayout(this, autoDropDown_, Value);
}

void TAxisBarDefValuesEh::SetDblClickNextVal(bool Value) {
  SetAndRelayout(this, dblClickNextVal_, Value);
}

void TAxisBarDefValuesEh::SetDropDownShowTitles(bool Value) {
  SetAndRelayout(this, dropDownShowTitles_, Value);
}

void TAxisBarDefValuesEh::SetDropDownSizing(bool Value) {
  SetAndRelayout(this, dropDownSizing_, Value);
}

void TAxisBarDefValuesEh::SetEndEllipsis(bool Value) {
  SetAndRelayout(this, endEllipsis_, Value);
}

void TAxisBarDefValuesEh::SetHighlightRequired(bool Value) {
  SetAndRelayout(this, highlightRequired_, Value);
}

void TAxisBarDefValuesEh::SetLayout(TTextLayout Value) {
  SetAndRelayout(this, layout_, Value);
}

void TAxisBarDefValuesEh::SetToolTips(bool Value) {
  SetAndRelayout(this, toolTips_, Value);
}

TCustomColumnDefValuesEh::TCustomColumnDefValuesEh(TCustomDBAxisGridEh* AGrid) : TAxisBarDefValuesEh(AGrid) {}

TCustomColumnDefValuesEh::~TCustomColumnDefValuesEh() = default;

// --- a column's drop-down box ------------------------------------------------------------------

TColumnDropDownBoxEh::TColumnDropDownBoxEh(TAxisBarEh* AColumn) : column_(AColumn) {
  specRow_ = std::make_unique<TSpecRowEh>(this);
}

TColumnDropDownBoxEh::~TColumnDropDownBoxEh() = default;

void TColumnDropDownBoxEh::DescribeClass(TClassBuilder<TColumnDropDownBoxEh>& c) {
  using B = TColumnDropDownBoxEh;
  c.Property("AutoFitColWidths", &B::AutoFitColWidths, &B::SetAutoFitColWidths).Default(1);
  c.Property("ColumnDefValues", &B::ColumnDefValues, &B::SetColumnDefValues);
  c.Property("Columns", &B::Columns, &B::SetColumns).StoredIf([](const TObject& o) {
    return static_cast<const B&>(o).IsColumnsStored();
  });
  c.Property("ListSource", &B::ListSource, &B::SetListSource);
  c.Property("ListSourceAutoFilter", &B::ListSourceAutoFilter, &B::SetListSourceAutoFilter).Default(0);
  c.Property("ListSourceAutoFilterType", &B::ListSourceAutoFilterType, &B::SetListSourceAutoFilterType)
      .Default(static_cast<int64_t>(lsftBeginsWithEh));
  c.Property("Options", &B::Options, &B::SetOptions)
      .Default(static_cast<int64_t>(TDBLookupGridEhOptions{dlgColLinesEh}.ToBits()));
  c.Property("SortLocal", &B::SortLocal, &B::SetSortLocal).Default(0);
  c.Property("SpecRow", &B::SpecRow, &B::SetSpecRow);
  c.Property("UseMultiTitle", &B::UseMultiTitle, &B::SetUseMultiTitle).Default(0);
}

TPersistent* TColumnDropDownBoxEh::GetOwner() {
  return column_;
}

ILookupGridEh* TColumnDropDownBoxEh::LookupGrid() const {
  return column_ ? column_->GetDataList() : nullptr;
}

void TColumnDropDownBoxEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnDropDownBoxEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  SetAutoFitColWidths(src->AutoFitColWidths());
  SetColumnDefValues(src->ColumnDefValues());
  // Columns the lookup grid made from its fields are not the source's own: clear ours.
  TGridAxisBarsEh* srcColumns = src->Columns();
  if (TGridAxisBarsEh* own = Columns()) {
    if (srcColumns && srcColumns->IsPersistent())
      own->Assign(srcColumns);
    else
      own->Clear();
  }
  SetListSource(src->ListSource());
  SetListSourceAutoFilter(src->ListSourceAutoFilter());
  SetListSourceAutoFilterType(src->ListSourceAutoFilterType());
  SetOptions(src->Options());
  SetSortLocal(src->SortLocal());
  SetUseMultiTitle(src->UseMultiTitle());
  SetSpecRow(src->SpecRow());
}

void TColumnDropDownBoxEh::SetAutoFitColWidths(bool Value) {
  autoFitColWidths_ = Value;
}

TAxisBarDefValuesEh* TColumnDropDownBoxEh::ColumnDefValues() const {
  ILookupGridEh* grid = LookupGrid();
  return grid ? grid->LookupColumnDefValues() : nullptr;
}

void TColumnDropDownBoxEh::SetColumnDefValues(TAxisBarDefValuesEh* Value) {
  if (TAxisBarDefValuesEh* own = ColumnDefValues(); own && Value) own->Assign(Value);
}

TGridAxisBarsEh* TColumnDropDownBoxEh::Columns() const {
  ILookupGridEh* grid = LookupGrid();
  return grid ? grid->LookupColumns() : nullptr;
}

void TColumnDropDownBoxEh::SetColumns(TGridAxisBarsEh* Value) {
  if (TGridAxisBarsEh* own = Columns(); own && Value) own->Assign(Value);
}

bool TColumnDropDownBoxEh::IsColumnsStored() const {
  TGridAxisBarsEh* columns = Columns();
  return columns && columns->IsPersistent();
}

void TColumnDropDownBoxEh::SetListSource(TDataSource* Value) {
  listSource_ = Value;
  if (ILookupGridEh* grid = LookupGrid()) grid->SetListSource(Value);
}

TDBLookupGridEhOptions TColumnDropDownBoxEh::Options() const {
  ILookupGridEh* grid = LookupGrid();
  return grid ? grid->LookupOptions() : TDBLookupGridEhOptions{dlgColLinesEh};
}

void TColumnDropDownBoxEh::SetOptions(TDBLookupGridEhOptions Value) {
  if (ILookupGridEh* grid = LookupGrid()) grid->SetLookupOptions(Value);
}

bool TColumnDropDownBoxEh::SortLocal() const {
  ILookupGridEh* grid = LookupGrid();
  return grid && grid->SortLocal();
}

void TColumnDropDownBoxEh::SetSortLocal(bool Value) {
  if (ILookupGridEh* grid = LookupGrid()) grid->SetSortLocal(Value);
}

std::string TColumnDropDownBoxEh::GetListSourceWildcard(TDataSet* ListDataSet) const {
  if (IMemTableEh* table = Supports<IMemTableEh>(ListDataSet)) return table->GetAutoFilterWildcard();
  return "*";
}
