// The ledger's data-grid window: the grid described in LedgerDBGridDescription.cpp over the
// ledger it is given; an edit in a cell reaches that data set. Entries dragged in the indicator
// are renumbered, the detail panel lists the account's other entries, a title click sorts the
// ledger (the account column by the stored account), the Edit menu opens the find dialog and the
// View menu switches the grid to row panel mode and back.
#include "examples/demo/LedgerDBGridForm.h"

#include <string>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerAccountDetail.h"
#include "examples/demo/LedgerDBGridDescription.h"
#include "examples/demo/LedgerRecordMoving.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/vcl/Menus.h"

namespace {

class TLedgerDBGridForm : public TForm {
  RTL_CLASS(TLedgerDBGridForm, TForm)
 public:
  TLedgerDBGridForm(TComponent* AOwner, TMemoryDataSet* Ledger) : TForm(AOwner, 0) {
    SetCaption(kLedgerDBGridCaption);
    // Over the lower right of the screen: opened last, it lies on top of the other ledgers.
    SetBounds(560, 500, 700, 500);
    // The grid fills the client area, so the grip in its corner drags the window's own corner.
    SetBorderStyle(bsSizeable);
    BuildMenu();
    auto* source = new TDataSource(this);
    source->SetDataSet(Ledger);
    grid_ = LoadLedgerDBGrid(this, source);
    grid_->OnMoveRecords = [Ledger](TObject*, TBMListEh* Entries, int Target, bool CheckOnly) {
      return MoveLedgerEntries(Ledger, Entries, Target, CheckOnly);
    };
    grid_->OnSortMarkingChanged = [this, Ledger](TObject*) { SortLedger(Ledger); };
    BuildLedgerAccountDetail(this, grid_, source);
  }

 private:
  void BuildMenu() {
    auto* menu = new TMainMenu(this);
    // The find dialog searches the current column; Ctrl+F opens the search strip instead.
    TMenuItem* find = AddNamedItem(AddMenu(menu, "编辑(&E)"), kLedgerDBGridFindItem, "查找(&F)…");
    find->OnClick = [this](TObject*) {
      grid_->ExecuteFindDialog("", grid_->Columns()->GetColumn(grid_->SelectedIndex()),
                               grid_->IsFindDialogModal());
    };
    TMenuItem* rowPanel = AddNamedItem(AddMenu(menu, "视图(&V)"), kLedgerDBGridRowPanelItem, "行面板(&R)");
    rowPanel->SetAutoCheck(true);
    rowPanel->OnClick = [this, rowPanel](TObject*) { grid_->RowPanel()->SetActive(rowPanel->Checked()); };
    SetMenu(menu);
  }
  static TMenuItem* AddMenu(TMainMenu* Menu, const char* Caption) {
    auto* item = new TMenuItem(Menu);
    item->SetCaption(Caption);
    Menu->Items()->Add(item);
    return item;
  }
  // Owned by the form, so that a test finds the item by its name.
  TMenuItem* AddNamedItem(TMenuItem* Parent, const char* Name, const char* Caption) {
    auto* item = new TMenuItem(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
  }

  // The order the title markers ask for. The looked-up account name is no stored field to keep
  // the ledger in order by; the stored text account it mirrors sorts the same way.
  void SortLedger(TMemoryDataSet* Ledger) {
    std::string names = TMemoryDataSetFeaturesEh::SortIndexFieldNames(grid_);  // "A;B DESC"
    const std::string looked = kLedgerAccountNameField, stored = "Account";
    for (size_t at = 0; (at = names.find(looked, at)) != std::string::npos;) {
      const size_t end = at + looked.size();
      const bool whole = (at == 0 || names[at - 1] == ';') &&
                         (end == names.size() || names[end] == ' ' || names[end] == ';');
      if (whole) names.replace(at, looked.size(), stored);
      at += whole ? stored.size() : looked.size();
    }
    if (names != Ledger->IndexFieldNames()) Ledger->SetIndexFieldNames(names);
  }

  TDBGridEh* grid_ = nullptr;
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
