// A column's title and the column collection.
#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Menus.h"

RTL_IMPLEMENT_CLASS(TAxisBarTitleEh)
RTL_IMPLEMENT_CLASS(TGridAxisBarsEh)
RTL_IMPLEMENT_CLASS(TBaseColumnsEh)

namespace axis_bar_title_detail {

// The title's bits in its column's assigned-values set.
constexpr TAxisBarAssignedValueEh kTitleBits[] = {abvTitleColor,    abvTitleCaption,    abvTitleAlignment,
                                                  abvTitleFont,     abvTitleButton,     abvTitleEndEllipsis,
                                                  abvTitleToolTips, abvTitleOrientation};

}  // namespace axis_bar_title_detail

using namespace axis_bar_title_detail;

// --- the title ---------------------------------------------------------------------------------

TAxisBarTitleEh::TAxisBarTitleEh(TAxisBarEh* AColumn) : column_(AColumn) {
  font_ = std::make_unique<TFont>();
  ReloadFontSilently(font_.get(), DefaultFont());
  font_->OnChange = TNotifyEvent::Method(this, &TAxisBarTitleEh::FontChanged);
  titleButton_ = false;
  imageIndex_ = -1;
}

TAxisBarTitleEh::~TAxisBarTitleEh() = default;

void TAxisBarTitleEh::DescribeClass(TClassBuilder<TAxisBarTitleEh>& c) {
  using T = TAxisBarTitleEh;
  c.Property("Alignment", &T::Alignment, &T::SetAlignment).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsAlignmentStored();
  });
  c.Property("Caption", &T::Caption, &T::SetCaption).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsCaptionStored();
  });
  c.Property("Color", &T::Color, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsColorStored(); });
  c.Property("EndEllipsis", &T::EndEllipsis, &T::SetEndEllipsis).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsEndEllipsisStored();
  });
  c.Property("Font", &T::Font, &T::SetFont).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsFontStored();
  });
  c.Property("Hint", &T::Hint, &T::SetHint);
  c.Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(-1);
  c.Property("TitleButton", &T::TitleButton, &T::SetTitleButton).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsTitleButtonStored();
  });
  c.Property("ToolTips", &T::ToolTips, &T::SetToolTips).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsToolTipsStored();
  });
}

TPersistent* TAxisBarTitleEh::GetOwner() {
  return column_;
}

bool TAxisBarTitleEh::Assigned(TAxisBarAssignedValueEh V) const {
  return column_->IsAssigned(V);
}

void TAxisBarTitleEh::AssignBit(TAxisBarAssignedValueEh V) {
  column_->IncludeAssigned(V);
}

void TAxisBarTitleEh::Notify() {
  column_->NotifyChanged(false);
}

void TAxisBarTitleEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TAxisBarTitleEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  if (src->Assigned(abvTitleAlignment)) SetAlignment(src->Alignment());
  if (src->Assigned(abvTitleColor)) SetColor(src->Color());
  if (src->Assigned(abvTitleCaption)) SetCaption(src->Caption());
  if (src->Assigned(abvTitleFont)) SetFont(src->Font());
  SetHint(src->Hint());
  SetOrientation(src->Orientation());
  SetPopupMenu(src->PopupMenu());
  SetImageIndex(src->ImageIndex());
  SetTitleButton(src->TitleButton());
  SetEndEllipsis(src->EndEllipsis());
  SetToolTips(src->ToolTips());
}

void TAxisBarTitleEh::RestoreDefaults() {
  const bool fontWasAssigned = Assigned(abvTitleFont);
  for (TAxisBarAssignedValueEh bit : kTitleBits) column_->ExcludeAssigned(bit);
  caption_.clear();
  ReloadFontSilently(font_.get(), DefaultFont());
  column_->NotifyChanged(fontWasAssigned);
}

void TAxisBarTitleEh::RefreshDefaultFont() const {
  if (Assigned(abvTitleFont)) return;
  TFont* def = DefaultFont();
  if (!def || def == font_.get()) return;
  if (FontDiffers(font_.get(), def)) ReloadFontSilently(font_.get(), def);
}

void TAxisBarTitleEh::FontChanged(TObject* /*Sender*/) {
  AssignBit(abvTitleFont);
  column_->NotifyChanged(true);
}

// --- fallbacks ---------------------------------------------------------------------------------

TAlignment TAxisBarTitleEh::DefaultAlignment() const {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  return grid ? grid->ColumnDefValues()->Title()->Alignment() : taLeftJustify;
}

std::string TAxisBarTitleEh::DefaultCaption() const {
  TField* field = column_->GetField();
  return field ? field->DisplayName() : column_->FieldName();
}

TColor TAxisBarTitleEh::DefaultColor() const {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  return grid ? grid->ColumnDefValues()->Title()->Color() : clBtnFace;
}

TFont* TAxisBarTitleEh::DefaultFont() const {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  return grid ? grid->GetTitleFont() : column_->Font();
}

bool TAxisBarTitleEh::DefaultEndEllipsis() const {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  return grid && grid->ColumnDefValues()->Title()->EndEllipsis();
}

TTextOrientationEh TAxisBarTitleEh::DefaultOrientation() const {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  return grid ? grid->ColumnDefValues()->Title()->Orientation() : tohHorizontal;
}

bool TAxisBarTitleEh::DefaultTitleButton() const {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  return grid && grid->ColumnDefValues()->Title()->TitleButton();
}

bool TAxisBarTitleEh::DefaultToolTips() const {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  return grid && grid->ColumnDefValues()->Title()->ToolTips();
}

// --- properties --------------------------------------------------------------------------------

TAlignment TAxisBarTitleEh::Alignment() const {
  return Assigned(abvTitleAlignment) ? alignment_ : DefaultAlignment();
}

void TAxisBarTitleEh::SetAlignment(TAlignment Value) {
  if (Assigned(abvTitleAlignment) && alignment_ == Value) return;
  alignment_ = Value;
  AssignBit(abvTitleAlignment);
  Notify();
}

bool TAxisBarTitleEh::IsAlignmentStored() const {
  return Assigned(abvTitleAlignment) && alignment_ != DefaultAlignment();
}

std::string TAxisBarTitleEh::Caption() const {
  return Assigned(abvTitleCaption) ? caption_ : DefaultCaption();
}

void TAxisBarTitleEh::SetCaption(const std::string& Value) {
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  TField* field = column_->GetField();
  if (column_->IsAutomatic() && grid && grid->DataLink()->Active() && field) {
    field->SetDisplayLabel(Value);
    return;
  }
  if (Assigned(abvTitleCaption) && caption_ == Value) return;
  caption_ = Value;
  AssignBit(abvTitleCaption);
  Notify();
}

bool TAxisBarTitleEh::IsCaptionStored() const {
  return Assigned(abvTitleCaption) && caption_ != DefaultCaption();
}

TColor TAxisBarTitleEh::Color() const {
  return Assigned(abvTitleColor) ? color_ : DefaultColor();
}

void TAxisBarTitleEh::SetColor(TColor Value) {
  if (Assigned(abvTitleColor) && color_ == Value) return;
  color_ = Value;
  AssignBit(abvTitleColor);
  Notify();
}

bool TAxisBarTitleEh::IsColorStored() const {
  return Assigned(abvTitleColor) && color_ != DefaultColor();
}

bool TAxisBarTitleEh::EndEllipsis() const {
  return Assigned(abvTitleEndEllipsis) ? endEllipsis_ : DefaultEndEllipsis();
}

void TAxisBarTitleEh::SetEndEllipsis(bool Value) {
  if (Assigned(abvTitleEndEllipsis) && endEllipsis_ == Value) return;
  endEllipsis_ = Value;
  AssignBit(abvTitleEndEllipsis);
  Notify();
}

bool TAxisBarTitleEh::IsEndEllipsisStored() const {
  return Assigned(abvTitleEndEllipsis) && endEllipsis_ != DefaultEndEllipsis();
}

TFont* TAxisBarTitleEh::Font() const {
  RefreshDefaultFont();
  return font_.get();
}

void TAxisBarTitleEh::SetFont(TFont* Value) {
  if (Value) font_->Assign(Value);
}

bool TAxisBarTitleEh::IsFontStored() const {
  return Assigned(abvTitleFont);
}

void TAxisBarTitleEh::SetImageIndex(int Value) {
  imageIndex_ = Value;
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  TCollection* coll = column_->Collection();
  if (grid && coll && coll->UpdateCount() == 0) grid->LayoutChanged();
}

TTextOrientationEh TAxisBarTitleEh::Orientation() const {
  return Assigned(abvTitleOrientation) ? orientation_ : DefaultOrientation();
}

void TAxisBarTitleEh::SetOrientation(TTextOrientationEh Value) {
  if (Assigned(abvTitleOrientation) && orientation_ == Value) return;
  orientation_ = Value;
  AssignBit(abvTitleOrientation);
  Notify();
}

bool TAxisBarTitleEh::IsOrientationStored() const {
  return Assigned(abvTitleOrientation) && orientation_ != DefaultOrientation();
}

void TAxisBarTitleEh::SetPopupMenu(TPopupMenu* Value) {
  popupMenu_ = Value;
  TCustomDBAxisGridEh* grid = column_->GetGrid();
  if (Value && grid) Value->FreeNotification(grid);
}

bool TAxisBarTitleEh::TitleButton() const {
  return Assigned(abvTitleButton) ? titleButton_ : DefaultTitleButton();
}

void TAxisBarTitleEh::SetTitleButton(bool Value) {
  if (Assigned(abvTitleButton) && titleButton_ == Value) return;
  titleButton_ = Value;
  AssignBit(abvTitleButton);
  Notify();
}

bool TAxisBarTitleEh::IsTitleButtonStored() const {
  return Assigned(abvTitleButton) && titleButton_ != DefaultTitleButton();
}

bool TAxisBarTitleEh::ToolTips() const {
  return Assigned(abvTitleToolTips) ? toolTips_ : DefaultToolTips();
}

void TAxisBarTitleEh::SetToolTips(bool Value) {
  if (Assigned(abvTitleToolTips) && toolTips_ == Value) return;
  toolTips_ = Value;
  AssignBit(abvTitleToolTips);
}

bool TAxisBarTitleEh::IsToolTipsStored() const {
  return Assigned(abvTitleToolTips) && toolTips_ != DefaultToolTips();
}

// --- the collection ----------------------------------------------------------------------------

TGridAxisBarsEh::TGridAxisBarsEh(TCustomDBAxisGridEh* AGrid, TClass ItemClass)
    : TCollection(ItemClass), grid_(AGrid) {}

TGridAxisBarsEh::~TGridAxisBarsEh() {
  // The base collection frees the bars after this part is gone: they are in no axis bars then.
  for (int i = 0; i < Count(); ++i)
    if (auto* bar = dynamic_cast<TAxisBarEh*>(Items(i))) bar->bars_ = nullptr;
}

TPersistent* TGridAxisBarsEh::GetOwner() {
  return grid_;
}

void TGridAxisBarsEh::Assign(TPersistent* Source) {
  if (!grid_) {
    TCollection::Assign(Source);
    return;
  }
  grid_->BeginLayout();
  TScopeExit endLayout([this] { grid_->EndLayout(); });
  TCollection::Assign(Source);
}

TAxisBarEh* TGridAxisBarsEh::Add() {
  if (!grid_) return static_cast<TAxisBarEh*>(TCollection::Add());
  grid_->BeginLayout();
  TScopeExit endLayout([this] { grid_->EndLayout(); });
  return static_cast<TAxisBarEh*>(TCollection::Add());
}

TAxisBarEh* TGridAxisBarsEh::AddAutomatic() {
  // The layout sees the column only once it is marked automatic.
  if (grid_) grid_->BeginLayout();
  TScopeExit endLayout([this] {
    if (grid_) grid_->EndLayout();
  });
  TAxisBarEh* bar = Add();
  bar->SetPersistent(false);
  return bar;
}

bool TGridAxisBarsEh::IsPersistent() const {
  return Count() > 0 && GetAxisBar(0)->Persistent();
}

TAxisBarEh* TGridAxisBarsEh::FindAxisBarByName(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (GetAxisBar(i)->GetAxisBarName() == Name) return GetAxisBar(i);
  return nullptr;
}

bool TGridAxisBarsEh::HasAxisBar(TAxisBarEh* Item) const {
  for (int i = 0; i < Count(); ++i)
    if (GetAxisBar(i) == Item) return true;
  return false;
}

void TGridAxisBarsEh::ResetFieldLinks() {
  for (int i = 0; i < Count(); ++i) GetAxisBar(i)->ResetFieldLink();
}

void TGridAxisBarsEh::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  // While a column is being made or unmade it is no column yet: its constructor reports the
  // addition once it is whole, its destructor extracts it while still whole.
  auto* bar = dynamic_cast<TAxisBarEh*>(Item);
  if (!bar) return;
  if (Action == cnAdded) bar->bars_ = this;
  if (Action == cnExtracting && grid_) grid_->AxisBarExtracting(bar);
  if (Action == cnAdded)
    AxisBarsChanged(bar, 0);
  else if (Action == cnExtracting)
    AxisBarsChanged(bar, 1);
  if (Action == cnExtracting) bar->bars_ = nullptr;
}
