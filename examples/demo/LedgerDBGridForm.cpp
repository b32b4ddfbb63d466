// The ledger's data-grid window: the grid described in LedgerDBGridDescription.cpp over the
// ledger it is given; an edit in a cell reaches that data set.
#include "examples/demo/LedgerDBGridForm.h"

#include "examples/demo/LedgerDBGridDescription.h"

namespace {

class TLedgerDBGridForm : public TForm {
  RTL_CLASS(TLedgerDBGridForm, TForm)
 public:
  TLedgerDBGridForm(TComponent* AOwner, TMemoryDataSet* Ledger) : TForm(AOwner, 0) {
    SetCaption(kLedgerDBGridCaption);
    // Over the lower right of the screen: opened last, it lies on top of the other ledgers.
    SetBounds(560, 500, 700, 500);
    auto* source = new TDataSource(this);
    source->SetDataSet(Ledger);
    LoadLedgerDBGrid(this, source);
  }
};

RTL_IMPLEMENT_CLASS(TLedgerDBGridForm)

}  // namespace

TForm* CreateLedgerDBGridForm(TComponent* Owner, TMemoryDataSet* Ledger) {
  InitDBGridEhUnit();
  auto* form = new TLedgerDBGridForm(Owner, Ledger);
  form->AfterConstruction();
  return form;
}

TDBGridEh* LedgerDBGridOf(TForm* Form) {
  return Form ? dynamic_cast<TDBGridEh*>(Form->FindComponent("LedgerDBGrid")) : nullptr;
}
