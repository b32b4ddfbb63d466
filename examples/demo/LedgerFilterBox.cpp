// The ledger detail's filter box: the condition goes through the data grid's filter-row parser
// and condition writer, so what a user types here reads as it would in a filter row.
#include "examples/demo/LedgerFilterBox.h"

#include <vector>

#include "grid/axis/AxisBarEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"

namespace ledger_filter_box_detail {

// A value typed as the column shows it becomes the key stored for it.
Variant ShownToKey(const Variant& Value, TStrings* KeyList, TStrings* PickList) {
  if (!KeyList || !PickList || KeyList->Count() == 0) return Value;
  if (Value.IsArray()) {
    std::vector<Variant> items;
    for (int i = VarArrayLowBound(Value, 1); i <= VarArrayHighBound(Value, 1); ++i)
      items.push_back(ShownToKey(Value.GetElement(i), KeyList, PickList));
    return VarArrayOf(items);
  }
  if (Value.VarType() != varString) return Value;
  const int at = PickList->IndexOf(VarToStr(Value));
  return at >= 0 && at < KeyList->Count() ? Variant(KeyList->Strings(at)) : Value;
}

// Whether the data set's filter can test a field of this type.
bool Filterable(TField* Field) {
  return Field && !Field->IsBlob();
}

}  // namespace ledger_filter_box_detail

using namespace ledger_filter_box_detail;

std::string LedgerFilterText(TField* Field, const std::string& Condition, TStrings* KeyList,
                             TStrings* PickList) {
  if (!Field) return {};
  TSTFilterExpressionEh expression;
  expression.ValueKind = FilterValueKindOf(Field->DataType());
  ParseFilterExpression(Condition, expression, dfoAutomaticEh);
  if (expression.Operator1 == fopNoneEh) return {};
  const TFilterDateFormatterEh dates = TMemoryDataSetFeaturesEh::FormatFilterDate;
  std::string text;
  BuildConditionText(expression.Operator1, ShownToKey(expression.Operand1, KeyList, PickList),
                     Field->FieldName(), Field->DataSet(), dates, true, false, text);
  if (expression.Relation != fopNoneEh) {
    text += expression.Relation == fopOrEh ? " OR" : " AND";
    BuildConditionText(expression.Operator2, ShownToKey(expression.Operand2, KeyList, PickList),
                       Field->FieldName(), Field->DataSet(), dates, true, false, text);
    if (expression.Relation == fopOrEh) return "(" + Trim(text) + ")";
  }
  return Trim(text);
}

TLedgerFilterBox::TLedgerFilterBox(TComponent* AOwner, TCustomDBAxisGridEh* Grid, TWinControl* BoxParent,
                                   TWinControl* MessageParent, int MessageLeft)
    : TComponent(AOwner), grid_(Grid) {
  TDataSet* ledger = Grid->DataSource() ? Grid->DataSource()->DataSet() : nullptr;
  TGridAxisBarsEh* bars = Grid->Columns();
  for (int i = 0; i < bars->Count(); ++i) {
    TAxisBarEh* bar = bars->GetAxisBar(i);
    if (ledger && Filterable(ledger->FindField(bar->FieldName())) && !bar->Title()->Caption().empty())
      columns_.push_back(bar);
  }

  auto* caption = new TLabel(AOwner);
  caption->SetParent(BoxParent);
  caption->SetBounds(8, 9, 40, 16);
  caption->SetCaption("筛选:");
  chooser_ = new TComboBox(AOwner);
  chooser_->SetName("FilterColumn");
  chooser_->SetParent(BoxParent);
  chooser_->SetStyle(csDropDownList);
  chooser_->SetBounds(50, 5, 90, 22);
  for (TAxisBarEh* bar : columns_) chooser_->Items()->Add(bar->Title()->Caption());
  if (!columns_.empty()) chooser_->SetItemIndex(0);
  edit_ = new TEdit(AOwner);
  edit_->SetName("FilterCondition");
  // Naming an edit also gives it the name as its text.
  edit_->SetText("");
  edit_->SetParent(BoxParent);
  edit_->SetBounds(146, 5, 300, 22);
  edit_->SetHint("例: >= 1000 AND <= 5000, ~ %房%, In (工资, 奖金); 回车筛选, Esc 清除");
  edit_->SetShowHint(true);
  message_ = new TLabel(AOwner);
  message_->SetName("FilterMessage");
  message_->SetParent(MessageParent);
  message_->SetBounds(MessageLeft, 9, MessageParent->ClientWidth() - MessageLeft - 8, 16);
  message_->SetAnchors({akLeft, akTop, akRight});
  message_->SetCaption("");

  edit_->OnKeyPress = [this](TObject*, char32_t& Key) {
    if (Key == '\r') {
      Key = 0;
      Apply();
    } else if (Key == 27) {
      Key = 0;
      edit_->SetText("");
      Apply();
    }
  };
  // Another column takes the condition typed so far.
  chooser_->OnChange = [this](TObject*) {
    if (!edit_->Text().empty()) Apply();
  };
}

TAxisBarEh* TLedgerFilterBox::ChosenColumn() {
  const int i = chooser_->ItemIndex();
  return i >= 0 && i < static_cast<int>(columns_.size()) ? columns_[size_t(i)] : nullptr;
}

void TLedgerFilterBox::Apply() {
  TDataSet* ledger = grid_->DataSource() ? grid_->DataSource()->DataSet() : nullptr;
  TAxisBarEh* column = ChosenColumn();
  if (!ledger || !column) return;
  try {
    const std::string text = LedgerFilterText(ledger->FindField(column->FieldName()), edit_->Text(),
                                              column->KeyList(), column->PickList());
    // A text the data set refuses leaves its filter as it was.
    const std::string oldText = ledger->Filter();
    const bool oldFiltered = ledger->Filtered();
    TScopeFail restore([&] {
      ledger->SetFilter(oldText);
      ledger->SetFiltered(oldFiltered);
    });
    if (text.empty()) {
      ledger->SetFiltered(false);
      ledger->SetFilter("");
      Say("", false);
      return;
    }
    ledger->SetFilter(text);
    ledger->SetFiltered(true);
    Say("符合条件: " + std::to_string(ledger->RecordCount()) + " 条", false);
  } catch (const std::exception& e) {
    Say(e.what(), true);
  }
}

void TLedgerFilterBox::Say(const std::string& Text, bool IsError) {
  message_->Font()->SetColor(IsError ? clRed : clWindowText);
  message_->SetCaption(Text);
}

RTL_IMPLEMENT_CLASS(TLedgerFilterBox)
