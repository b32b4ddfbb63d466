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

void TDBLookupGridEh::DescribeClass(TClassBuilder<TDBLookupGridEh>& c) {
  using L = TDBLookupGridEh;
  PublishControl(c,
                 {"Align",     "Anchors",        "BiDiMode",   "Color",          "Constraints", "Enabled",
                  "Font",      "ParentBiDiMode", "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint",
                  "TabOrder",  "Visible",        "OnClick",    "OnDblClick",     "OnEnter",     "OnExit",
                  "OnKeyDown", "OnKeyPress",     "OnKeyUp",    "OnMouseDown",    "OnMouseMove", "OnMouseUp"});
  c.Property(
      "ListSource", [](const L& g) { return g.ListSource(); },
      [](L& g, TDataSource* v) { g.SetListSource(v); });
  c.Property(
      "KeyField", [](const L& g) { return g.KeyField(); },
      [](L& g, const std::string& v) { g.SetKeyField(v); });
  c.Property(
      "ListField", [](const L& g) { return g.ListField(); },
      [](L& g, const std::string& v) { g.SetListField(v); });
  c.Property(
       "ListFieldIndex", [](const L& g) { return g.ListFieldIndex(); },
       [](L& g, int v) { g.SetListFieldIndex(v); })
      .Default(0);
  c.Property(
       "RowCount", [](const L& g) { return g.RowCount(); }, [](L& g, int v) { g.SetRowCount(v); })
      .Default(7);
  c.Property(
       "ShowTitles", [](const L& g) { return g.ShowTitles(); }, [](L& g, bool v) { g.SetShowTitles(v); })
      .Default(0);
  c.Property(
       "UseMultiTitle", [](const L& g) { return g.UseMultiTitle(); },
       [](L& g, bool v) { g.SetUseMultiTitle(v); })
      .Default(0);
  c.Property(
       "AutoFitColWidths", [](const L& g) { return g.AutoFitColWidths(); },
       [](L& g, bool v) { g.SetAutoFitColWidths(v); })
      .Default(0);
  c.Property(
       "Options", [](const L& g) { return g.LookupOptions(); },
       [](L& g, TDBLookupGridEhOptions v) { g.SetLookupOptions(v); })
      .Default(TDBLookupGridEhOptions{dlgColLinesEh}.ToBits());
  c.Property(
      "SpecRow", [](const L& g) { return g.SpecRow(); }, [](L& g, TSpecRowEh* v) { g.SetSpecRow(v); });
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
