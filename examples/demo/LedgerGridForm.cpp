// The ledger grid form: a base-grid descendant that shows a snapshot of the ledger. Row
// numbers form the fixed column, the date stays as a frozen column, titles form the fixed
// row, a totals row stays at the bottom and a balance column at the right (the contra
// bands). Columns and rows can be sized by mouse; the keyboard moves the current cell.
#include <cstdio>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "grid/foundation/GridsEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"

namespace {

class TLedgerGridEh : public TCustomGridEh {
  RTL_CLASS(TLedgerGridEh, TCustomGridEh)
 public:
  explicit TLedgerGridEh(TComponent* AOwner) : TCustomGridEh(AOwner) {}

  // Copies the ledger into the grid's text table.
  void Load(TMemoryDataSet* Ledger) {
    titles_ = {"#", "日期", "账户", "类型", "金额", "已核对", "备注"};
    cells_.clear();
    double total = 0;
    std::vector<double> balances;
    Ledger->First();
    while (!Ledger->Eof()) {
      const double amount = Ledger->FieldByName("Amount")->AsFloat();
      const bool income = Ledger->FieldByName("Kind")->AsString() == "I";
      total += income ? amount : -amount;
      cells_.push_back({std::to_string(cells_.size() + 1),
                        FormatDateTime("yyyy-mm-dd", Ledger->FieldByName("Date")->AsDateTime()),
                        Ledger->FieldByName("Account")->AsString(), income ? "收入" : "支出", Money(amount),
                        Ledger->FieldByName("Cleared")->AsBoolean() ? "是" : "否",
                        Ledger->FieldByName("Note")->AsString()});
      balances.push_back(total);
      Ledger->Next();
    }
    balances_ = balances;
    SetColCount(static_cast<int>(titles_.size()));
    SetRowCount(static_cast<int>(cells_.size()) + 1);
    SetFixedRows(1);
    SetFixedCols(2);
    SetFrozenCols(1);
    SetContraColCount(1);
    SetContraRowCount(1);
    totalText_ = Money(total);
    SetColWidths(0, 32);
    SetColWidths(1, 92);
    SetColWidths(6, 160);
  }

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    TCanvas* canvas = Canvas();
    const bool fixed = AState.Contains(gdFixed);
    TColor back = fixed ? FixedColor() : Color();
    if (!fixed && AState.Contains(gdSelected)) back = clHighlight;
    canvas->Brush()->SetColor(back);
    canvas->Font()->SetColor(!fixed && AState.Contains(gdSelected) ? clHighlightText : clWindowText);
    canvas->FillRect(ARect);
    canvas->TextRect(ARect, ARect.Left + 4, ARect.Top + 4, CellText(ACol, ARow));
  }

 private:
  static std::string Money(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
  }

  std::string CellText(int ACol, int ARow) const {
    const int dataRows = static_cast<int>(cells_.size());
    if (ACol >= ColCount()) {  // the balance column
      if (ARow == 0) return "余额";
      if (ARow > dataRows) return totalText_;
      return Money(balances_[static_cast<size_t>(ARow - 1)]);
    }
    if (ARow == 0) return titles_[static_cast<size_t>(ACol)];
    if (ARow > dataRows) return ACol == 0 ? "合计" : ACol == 4 ? totalText_ : "";
    return cells_[static_cast<size_t>(ARow - 1)][static_cast<size_t>(ACol)];
  }

  std::vector<std::string> titles_;
  std::vector<std::vector<std::string>> cells_;
  std::vector<double> balances_;
  std::string totalText_;
};

class TLedgerGridForm : public TForm {
  RTL_CLASS(TLedgerGridForm, TForm)
 public:
  TLedgerGridForm(TComponent* AOwner, TMemoryDataSet* Ledger) : TForm(AOwner, 0) {
    SetCaption("账目 — 表格");
    SetBounds(690, 360, 560, 320);
    auto* grid = new TLedgerGridEh(this);
    grid->SetParent(this);
    grid->SetAlign(alClient);
    grid->SetOptions(grid->Options() + goColSizingEh + goRowSizingEh + goTabsEh);
    grid->Load(Ledger);
    Ledger->First();
  }
};

RTL_IMPLEMENT_CLASS(TLedgerGridEh)
RTL_IMPLEMENT_CLASS(TLedgerGridForm)

}  // namespace

TForm* CreateLedgerGridForm(TComponent* Owner, TMemoryDataSet* Ledger) {
  auto* form = new TLedgerGridForm(Owner, Ledger);
  form->AfterConstruction();
  return form;
}
