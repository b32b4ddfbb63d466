// The lookup-grid interface on the lookup grid itself: what a column's drop-down box and the cell
// editor ask of the list they drop down. Most of it is the lookup grid's own members; here are the
// rest.
#include "grid/dbgrid/DBLookupGridsEh.h"

TGridAxisBarsEh* TDBLookupGridEh::LookupColumns() {
  return Columns();
}

TAxisBarDefValuesEh* TDBLookupGridEh::LookupColumnDefValues() {
  return ColumnDefValues();
}

std::string TDBLookupGridEh::ListFieldName() {
  return listField_ ? listField_->FieldName() : std::string();
}

void TDBLookupGridEh::SetSizeGripVisible(bool) {}

void TDBLookupGridEh::SetOnCloseUp(TCloseUpEventEh) {}

std::string TDBLookupGridEh::SpecRowCellsText() {
  return specRow_->CellsText();
}

void TDBLookupGridEh::SetSortMarkerStyle(int Value) {
  const int last = static_cast<int>(smstThemeDefinedEh);
  TitleParams()->SetSortMarkerStyle(static_cast<TSortMarkerStyleEh>(Value >= 0 && Value <= last ? Value : 0));
}

void TDBLookupGridEh::ColumnMoved(int FromIndex, int ToIndex) {
  inherited::ColumnMoved(FromIndex, ToIndex);
  if (onLookupColumnMoved_) onLookupColumnMoved_(this);
}

// --- streaming -------------------------------------------------------------------------------------

void TGridColumnSpecCellEh::DescribeClass(TClassBuilder<TGridColumnSpecCellEh>& c) {
  using T = TGridColumnSpecCellEh;
  // Each value is written only when set on the cell itself; the rest follows the grid's row.
  c.Property("Text", &T::Text, &T::SetText).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsTextStored();
  });
  c.Property("Color", &T::Color, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsColorStored(); });
  c.Property(
       "Font", [](const T& cell) { return const_cast<T&>(cell).Font(); }, &T::SetFont)
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).IsFontStored(); });
}

void TDBLookupGridColumnEh::DescribeClass(TClassBuilder<TDBLookupGridColumnEh>& c) {
  using C = TDBLookupGridColumnEh;
  c.Property("SpecCell", &C::SpecCell, &C::SetSpecCell);
}

// --- the unit's start-up -------------------------------------------------------------------------

void InitDBLookupGridsEhUnit() {
  RegisterClasses({TDBLookupGridEh::StaticClass(), TPopupDataGridEh::StaticClass(),
                   TDBLookupGridColumnEh::StaticClass()});
  // A column's drop-down list; the column owns and frees it.
  RegisterLookupGridFactoryEh([](TAxisBarEh*) -> ILookupGridEh* {
    auto* popup = new TPopupDataGridEh(nullptr);
    popup->SetName("DataList");
    popup->SetVisible(false);
    return popup;
  });
}
