// The ledger entry form: one data-aware editor of each kind bound to the ledger, and a
// navigation bar to move through its records.
#include "examples/demo/DemoSupport.h"
#include "grid/editors/DBCheckBoxEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/DBDateTimeEditEh.h"
#include "grid/editors/DBEditEh.h"
#include "grid/editors/DBNumberEditEh.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/StdCtrls.h"

namespace {

class TLedgerEditorsForm : public TForm {
  RTL_CLASS(TLedgerEditorsForm, TForm)
 public:
  TLedgerEditorsForm(TComponent* AOwner, TMemoryDataSet* Ledger) : TForm(AOwner, 0), ledger_(Ledger) {
    SetCaption("账目 — 编辑");
    SetBounds(690, 40, 420, 300);
    source_ = new TDataSource(this);
    source_->SetDataSet(Ledger);
    int y = 12;
    auto label = [&](const char* caption) {
      auto* l = Place<TLabel>(this, 12, y + 4, 80, 16);
      l->SetCaption(caption);
    };
    label("日期:");
    auto* date = Place<TDBDateTimeEditEh>(this, 100, y, 140, 22);
    Bind(date, "Date");
    y += 32;
    label("账户:");
    auto* account = Place<TDBEditEh>(this, 100, y, 200, 22);
    Bind(account, "Account");
    y += 32;
    label("类型:");
    auto* kind = Place<TDBComboBoxEh>(this, 100, y, 140, 22);
    kind->Items()->Add("收入");
    kind->Items()->Add("支出");
    kind->KeyItems()->Add("I");
    kind->KeyItems()->Add("E");
    Bind(kind, "Kind");
    y += 32;
    label("金额:");
    auto* amount = Place<TDBNumberEditEh>(this, 100, y, 140, 22);
    Bind(amount, "Amount");
    y += 32;
    auto* cleared = Place<TDBCheckBoxEh>(this, 100, y, 140, 20);
    cleared->SetCaption("已核对");
    cleared->SetDataSource(source_);
    cleared->SetDataField("Cleared");
    y += 30;
    label("备注:");
    auto* note = Place<TDBEditEh>(this, 100, y, 290, 22);
    Bind(note, "Note");
    y += 40;
    Button("<", 100, y, [this] { ledger_->Prior(); });
    Button(">", 160, y, [this] { ledger_->Next(); });
    Button("保存", 220, y, [this] {
      if (ledger_->State() == dsEdit || ledger_->State() == dsInsert) ledger_->Post();
    });
  }

 private:
  void Bind(TCustomDBEditEh* editor, const char* field) {
    editor->SetDataSource(source_);
    editor->SetDataField(field);
  }
  void Button(const char* caption, int x, int y, std::function<void()> action) {
    auto* b = Place<TButton>(this, x, y, 52, 25);
    b->SetCaption(caption);
    b->OnClick = [action](TObject*) { action(); };
  }

  TMemoryDataSet* ledger_;
  TDataSource* source_ = nullptr;
};

RTL_IMPLEMENT_CLASS(TLedgerEditorsForm)

}  // namespace

TForm* CreateLedgerEditorsForm(TComponent* Owner, TMemoryDataSet* Ledger) {
  auto* form = new TLedgerEditorsForm(Owner, Ledger);
  form->AfterConstruction();
  return form;
}
