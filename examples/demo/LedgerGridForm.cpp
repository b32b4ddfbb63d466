// The ledger grid form: a base-grid descendant that shows a snapshot of the ledger. Row
// numbers form the fixed column, the date stays as a frozen column, titles form the fixed
// row, a totals row stays at the bottom and a balance column at the right (the contra
// bands). Columns and rows can be sized by mouse; the keyboard moves the current cell.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "grid/editors/DBNumberEditEh.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridsEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

// The grid's columns; the balance is the contra column after them.
enum TLedgerColumn : int { lcNumber, lcDate, lcAccount, lcKind, lcAmount, lcCleared, lcNote, lcCount };

// Text inside a cell keeps this far from the cell's sides.
constexpr int kTextMargin = 4;

// One ledger entry as the grid shows it: the texts are already formatted.
struct TLedgerLine {
  std::string date, account, kind, amount, note, balance;
  bool cleared = false;
};

class TLedgerGridEh : public TCustomGridEh {
  RTL_CLASS(TLedgerGridEh, TCustomGridEh)
 public:
  explicit TLedgerGridEh(TComponent* AOwner) : TCustomGridEh(AOwner) {}

  // Copies the ledger into the grid. Amounts are written as the entry form's number editor
  // writes them: with the amount field's display format.
  void Load(TMemoryDataSet* Ledger) {
    TField* amountField = Ledger->FieldByName("Amount");
    auto* numeric = dynamic_cast<TNumericField*>(amountField);
    amountFormat_ = numeric ? numeric->DisplayFormat() : std::string{};
    amountIsCurrency_ = amountField->DataType() == ftCurrency;
    lines_.clear();
    double amountSum = 0, balance = 0;
    Ledger->First();
    while (!Ledger->Eof()) {
      const double amount = amountField->AsFloat();
      const bool income = Ledger->FieldByName("Kind")->AsString() == "I";
      amountSum += amount;
      balance += income ? amount : -amount;
      lines_.push_back({FormatDateTime("yyyy-mm-dd", Ledger->FieldByName("Date")->AsDateTime()),
                        Ledger->FieldByName("Account")->AsString(), income ? "收入" : "支出", Money(amount),
                        Ledger->FieldByName("Note")->AsString(), Money(balance),
                        Ledger->FieldByName("Cleared")->AsBoolean()});
      Ledger->Next();
    }
    amountTotal_ = Money(amountSum);
    closingBalance_ = Money(balance);
    SetColCount(lcCount);
    SetRowCount(static_cast<int>(lines_.size()) + 1);
    SetFixedRows(1);
    SetFixedCols(2);
    SetFrozenCols(1);
    SetContraColCount(1);
    SetContraRowCount(1);
    SetColWidths(lcNumber, 40);
    SetColWidths(lcDate, 92);
    SetColWidths(lcAmount, 84);
    SetColWidths(lcCleared, 56);
    SetColWidths(lcNote, 160);
    SetColWidths(lcCount, 84);  // the balance
    markedRow_ = Row();
    AnchorTotalsRow();
  }

  void WMSize(TMessage& Message) override {
    inherited::WMSize(Message);
    AnchorTotalsRow();
  }

 protected:
  void RowHeightsChanged() override {
    inherited::RowHeightsChanged();
    AnchorTotalsRow();
  }
  // Scrolled to the end, the last rows may leave room below them.
  void TopLeftChanged() override {
    inherited::TopLeftChanged();
    AnchorTotalsRow();
  }

  // Every move of the current cell by keys, wheel or a finished mouse selection ends here.
  void Click() override {
    MarkCurrentRow();
    inherited::Click();
  }
  // A selection dragged by the mouse moves the current cell before the click.
  void MouseMove(TShiftState Shift, int X, int Y) override {
    inherited::MouseMove(Shift, X, Y);
    MarkCurrentRow();
  }

  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    TCanvas* canvas = Canvas();
    TRect cell = ARect;
    if (IsTotalsRow(ARow)) cell = DrawRoomAboveTotals(ACol, ARect);
    const bool fixed = AState.Contains(gdFixed);
    const bool selected = !fixed && AState.Contains(gdSelected);
    const TColor back = selected ? clHighlight : fixed ? FixedColor() : Color();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(back);
    canvas->FillRect(cell);
    if (IsDataRow(ARow) && ACol == lcCleared) {
      const TRect box =
          CalcAlignedRect(cell, taCenter, tlCenter, TSize{DefaultCheckBoxWidth(), DefaultCheckBoxHeight()});
      PaintButtonEh(canvas, box, back, false, true, false, false,
                    Line(ARow).cleared ? cbChecked : cbUnchecked, cbkCheckBoxEh);
      return;
    }
    if (ACol == lcNumber && ARow == Row() && IsDataRow(ARow)) DrawRowIndicator(cell);
    canvas->Font()->SetColor(selected ? clHighlightText : clWindowText);
    canvas->Brush()->SetStyle(bsClear);
    WriteTextEh(canvas, cell, false, kTextMargin, 0, CellText(ACol, ARow), CellAlignment(ACol, ARow),
                tlCenter, false, false, 0, 0);
  }

 private:
  std::string Money(double Value) const {
    return FormatNumberDisplayTextEh(Variant(Value), amountFormat_, amountIsCurrency_);
  }

  bool IsDataRow(int ARow) const { return ARow >= FixedRows() && ARow < RowCount(); }
  bool IsTotalsRow(int ARow) const { return ARow >= RowCount(); }
  const TLedgerLine& Line(int ARow) const { return lines_[static_cast<size_t>(ARow - FixedRows())]; }

  std::string CellText(int ACol, int ARow) const {
    if (ARow < FixedRows()) {
      static const char* const kTitles[] = {"#", "日期", "账户", "类型", "金额", "已核对", "备注", "余额"};
      return kTitles[ACol];
    }
    // The totals: the sum of the amount column, and where the balance column ends.
    if (IsTotalsRow(ARow))
      return ACol == lcNumber     ? "合计"
             : ACol == lcAmount   ? amountTotal_
             : ACol >= ColCount() ? closingBalance_
                                  : "";
    const TLedgerLine& line = Line(ARow);
    switch (ACol) {
      case lcNumber:
        return std::to_string(ARow - FixedRows() + 1);
      case lcDate:
        return line.date;
      case lcAccount:
        return line.account;
      case lcKind:
        return line.kind;
      case lcAmount:
        return line.amount;
      case lcNote:
        return line.note;
      default:
        return ACol >= ColCount() ? line.balance : "";
    }
  }

  TAlignment CellAlignment(int ACol, int ARow) const {
    if (ARow < FixedRows()) return taCenter;
    if (ACol == lcAmount || ACol >= ColCount()) return taRightJustify;
    if (ACol == lcNumber && IsDataRow(ARow)) return taRightJustify;
    return taLeftJustify;
  }

  // A small triangle pointing at the current row, left of its number.
  void DrawRowIndicator(const TRect& Cell) {
    TCanvas* canvas = Canvas();
    const int midY = (Cell.Top + Cell.Bottom) / 2;
    const int left = Cell.Left + kTextMargin;
    canvas->Pen()->SetColor(clWindowText);
    canvas->Brush()->SetColor(clWindowText);
    canvas->Polygon({{left, midY - 4}, {left + 4, midY}, {left, midY + 4}});
  }

  // The totals row is stretched down to the bottom edge (see AnchorTotalsRow): the room above
  // its totals continues each column's data cells. Answers the part that shows the totals.
  TRect DrawRoomAboveTotals(int ACol, const TRect& ARect) {
    TRect totals = ARect;
    totals.Top = std::max(ARect.Top, ARect.Bottom - DefaultRowHeight());
    if (totals.Top == ARect.Top) return totals;
    TCanvas* canvas = Canvas();
    const bool fixedColumn = ACol < FixedCols() - FrozenCols() || ACol >= ColCount();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(fixedColumn ? FixedColor() : Color());
    canvas->FillRect(TRect{ARect.Left, ARect.Top, ARect.Right, totals.Top});
    // The line that parts the totals from the rows above them.
    const int line = GetHorzLineWidth();
    if (line > 0) {
      canvas->Brush()->SetColor(GridLineColors()->GetDarkColor());
      canvas->FillRect(TRect{ARect.Left, totals.Top - line, ARect.Right, totals.Top});
    }
    return totals;
  }

  // The base grid places the contra rows right after the last data row. The totals belong at
  // the bottom edge, so the totals row takes the room the rows shown from the top row on leave
  // free (all of them, or the last ones when scrolled to the end); it keeps the default height
  // when the rows fill the client area.
  void AnchorTotalsRow() {
    if (ContraRowCount() == 0 || anchoring_) return;
    TValueRestorer<bool> anchoring(anchoring_, true);
    // Setting the height can show or hide a scroll bar, which changes the client height again.
    for (int pass = 0; pass < 3; ++pass) {
      const int line = GetHorzLineWidth();
      int64_t used = OutBoundaryData()->TopIndent() + OutBoundaryData()->BottomIndent();
      for (int i = 0; i < RowCount(); ++i)
        if (i < FixedRows() || i >= TopRow()) used += std::max(0, RowHeights(i) + line);
      const int64_t room = static_cast<int64_t>(ClientHeight()) - used - line;
      const int height = static_cast<int>(std::clamp<int64_t>(room, DefaultRowHeight(), INT32_MAX / 4));
      if (height == RowHeights(RowCount())) return;
      SetRowHeights(RowCount(), height);
    }
  }

  void MarkCurrentRow() {
    if (markedRow_ == Row()) return;
    InvalidateCell(lcNumber, markedRow_);
    InvalidateCell(lcNumber, Row());
    markedRow_ = Row();
  }

  std::vector<TLedgerLine> lines_;
  std::string amountFormat_;
  bool amountIsCurrency_ = false;
  std::string amountTotal_;
  std::string closingBalance_;
  int markedRow_ = 0;  // the row whose indicator is drawn
  bool anchoring_ = false;
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
