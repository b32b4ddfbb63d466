// The lookup grid's columns filling its width. The data grid's own fitting shares the width out
// once for each new width; it is switched off again at once, because while on it would take a
// column the user widens from its neighbours, where the lookup grid grows with the column instead.
// The columns' InitWidth keeps the widths they were given, which the fitting shares the width
// in proportion to and which they get back when fitting ends.
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "platform/rtl/ScopeGuard.h"

void TDBLookupGridEh::SetAutoFitColWidths(bool Value) {
  if (autoFitColWidths_ == Value) return;
  autoFitColWidths_ = Value;
  TDBGridColumnsEh* columns = Columns();
  if (Value) {
    for (int i = 0; i < columns->Count(); ++i)
      columns->GetColumn(i)->SetInitWidth(columns->GetColumn(i)->Width());
    AutoFitColumns();
    return;
  }
  autoFitWidths_.clear();
  {
    TValueRestorer<bool> guard(inAutoFit_, true);
    columns->BeginUpdate();
    TScopeExit endUpdate([columns] { columns->EndUpdate(); });
    for (int i = 0; i < columns->Count(); ++i) {
      TColumnEh* column = columns->GetColumn(i);
      if (column->InitWidth() > 0) column->SetWidth(column->InitWidth());
    }
  }
  ApplyRowCount();
}

void TDBLookupGridEh::AutoFitColumns() {
  // A change of layout only: the list fields are not resolved again for it.
  TInternalChangeScope internal(this);
  TValueRestorer<bool> guard(inAutoFit_, true);
  TDBGridColumnsEh* columns = Columns();
  TCustomDBGridEh::SetAutoFitColWidths(true);
  autoFitWidths_.assign(static_cast<size_t>(columns->Count()), 0);
  for (int i = 0; i < columns->Count(); ++i)
    autoFitWidths_[static_cast<size_t>(i)] = columns->GetColumn(i)->Width();
  TCustomDBGridEh::SetAutoFitColWidths(false);
  {
    columns->BeginUpdate();
    TScopeExit endUpdate([columns] { columns->EndUpdate(); });
    for (int i = 0; i < columns->Count(); ++i)
      columns->GetColumn(i)->SetWidth(autoFitWidths_[static_cast<size_t>(i)]);
  }
  ApplyRowCount();
}

int TDBLookupGridEh::GetColumnsWidth() {
  const int line = Options().Contains(dgColLines) ? GridLineWidth() : 0;
  const bool fitted = autoFitColWidths_ && autoFitWidths_.size() == static_cast<size_t>(Columns()->Count());
  int width = 0;
  for (int i = 0; i < Columns()->Count(); ++i) {
    TColumnEh* column = Columns()->GetColumn(i);
    if (!column->Visible()) continue;
    width += (fitted ? autoFitWidths_[static_cast<size_t>(i)] : column->Width()) + line;
  }
  return width;
}

// A column the user sizes while the columns fit keeps its new width, and so do the others: the
// grid's client width follows their sum, and the new widths become those the fitting shares by.
void TDBLookupGridEh::ColWidthsChanged() {
  if (!autoFitColWidths_ || inAutoFit_ || GridState() != gsColSizing) {
    inherited::ColWidthsChanged();
    return;
  }
  TValueRestorer<bool> guard(inAutoFit_, true);
  inherited::ColWidthsChanged();
  TDBGridColumnsEh* columns = Columns();
  autoFitWidths_.assign(static_cast<size_t>(columns->Count()), 0);
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnEh* column = columns->GetColumn(i);
    autoFitWidths_[static_cast<size_t>(i)] = column->Width();
    column->SetInitWidth(column->Width());
  }
  SetClientWidth(GetColumnsWidth());
}
