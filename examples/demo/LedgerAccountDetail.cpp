// The other entries of an account, read from the ledger without moving its cursor.
#include "examples/demo/LedgerAccountDetail.h"

#include <memory>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "platform/db/Fields.h"
#include "platform/rtl/SysUtils.h"

namespace {

class TAccountEntries {
 public:
  TAccountEntries(TComponent* Owner, TDBGridEh* Grid, TDataSource* Source)
      : owner_(Owner), grid_(Grid), source_(Source), entries_(new TMemoryDataSet(Owner)) {
    entries_->FieldDefs()->Add("Date", ftDate);
    entries_->FieldDefs()->Add("Amount", ftCurrency);
    entries_->FieldDefs()->Add("Note", ftString, 40);
    entries_->CreateDataSet();
    entries_->SetIndexFieldNames("Date");
    const struct {
      const char* field;
      const char* label;
      int width;
    } shown[] = {{"Date", "日期", 10}, {"Amount", "金额", 12}, {"Note", "备注", 16}};
    for (const auto& f : shown) {
      entries_->FieldByName(f.field)->SetDisplayLabel(f.label);
      entries_->FieldByName(f.field)->SetDisplayWidth(f.width);
    }
    static_cast<TNumericField*>(entries_->FieldByName("Amount"))->SetDisplayFormat(",0.00");
  }
  TMemoryDataSet* Entries() const { return entries_; }

  // Fills the list for the current entry unless it already shows that entry's list.
  void Refill() {
    TDataSet* ledger = source_->DataSet();
    auto* memory = dynamic_cast<TMemoryDataSet*>(ledger);
    if (!memory || !memory->Active() || memory->IsEmpty() || memory->State() != dsBrowse) return;
    const int seq = memory->FieldByName(kLedgerSeqField)->AsInteger();
    if (seq == shownSeq_) return;
    const std::string account = memory->FieldByName("Account")->AsString();
    std::vector<std::vector<Variant>> rows;
    TField* seqField = memory->FieldByName(kLedgerSeqField);
    TField* date = memory->FieldByName("Date");
    TField* amount = memory->FieldByName("Amount");
    TField* note = memory->FieldByName("Note");
    // Every entry of the account, hidden by the grid's filter or not; fields read the visited one.
    const bool scanned =
        memory->ScanRecordsWhere("Account = " + QuotedStr(account), [&](const TStoredRecord&) {
          if (seqField->AsInteger() != seq) rows.push_back({date->Value(), amount->Value(), note->Value()});
          return true;
        });
    if (!scanned) return;
    shownSeq_ = seq;
    entries_->EmptyDataSet();
    entries_->LoadFromRows(rows);
  }
  // The next opening reads the ledger again: an edit may have changed the entries.
  void Forget() { shownSeq_ = -1; }

  void DataChanged(TObject*, TField* Field) {
    // While the window goes, the grid may be gone before its source.
    if (owner_->ComponentState().Contains(csDestroying)) return;
    if (!Field && grid_->RowDetailPanel()->Expanded()) Refill();
  }
  void PanelShowing(TCustomDBGridEh*, bool& CanShow) {
    if (!CanShow) return;
    Forget();
    Refill();
  }

 private:
  TComponent* owner_;
  TDBGridEh* grid_;
  TDataSource* source_;
  TMemoryDataSet* entries_;
  int shownSeq_ = -1;
};

}  // namespace

TDBGridEh* BuildLedgerAccountDetail(TComponent* Owner, TDBGridEh* Grid, TDataSource* Source) {
  // Held by the two events it serves, so it lives as long as they do.
  auto detail = std::make_shared<TAccountEntries>(Owner, Grid, Source);
  auto* entriesSource = new TDataSource(Owner);
  entriesSource->SetDataSet(detail->Entries());
  auto* nested = new TDBGridEh(Owner);
  nested->SetName("LedgerAccountEntries");
  nested->SetParent(Grid->RowDetailPanelControl());
  nested->SetAlign(alClient);
  nested->SetReadOnly(true);
  nested->SetDataSource(entriesSource);
  Grid->OnRowDetailPanelShow = [detail](TCustomDBGridEh* G, bool& CanShow) {
    detail->PanelShowing(G, CanShow);
  };
  Source->OnDataChange = [detail](TObject* Sender, TField* Field) { detail->DataChanged(Sender, Field); };
  return nested;
}
