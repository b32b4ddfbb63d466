// The grouped ledger window: the grid groups by account and kind from the start; a title dragged
// onto the grouping panel adds a level, a panel item dragged off removes one and a click on an
// item reverses its order. The tree grid at the right sums the entries by category and account.
#include "examples/demo/LedgerGroupedDBGrid.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/db/Fields.h"

namespace {

// The accounts of each category, in the order the tree shows them.
struct TCategory {
  const char* name;
  std::vector<const char*> accounts;
};
const TCategory kCategories[] = {
    {"收入", {"工资", "奖金", "利息"}},
    {"固定支出", {"房租"}},
    {"日常支出", {"餐饮", "交通", "医疗"}},
};

// The columns' fields and widths.
using TColumnList = std::vector<std::pair<const char*, int>>;

TDBGridEh* MakeGrid(TForm* Form, const char* Name, TDataSet* DataSet, const TColumnList& Fields) {
  auto* source = new TDataSource(Form);
  source->SetDataSet(DataSet);
  auto* grid = new TDBGridEh(Form);
  grid->SetName(Name);
  grid->SetParent(Form);
  grid->SetDataSource(source);
  for (const auto& [field, width] : Fields) {
    TColumnEh* column = grid->Columns()->Add();
    column->SetFieldName(field);
    column->SetWidth(width);
  }
  return grid;
}

TColumnEh* ColumnOf(TDBGridEh* Grid, const std::string& FieldName) {
  for (int i = 0; i < Grid->Columns()->Count(); ++i)
    if (Grid->Columns()->GetColumn(i)->FieldName() == FieldName) return Grid->Columns()->GetColumn(i);
  return nullptr;
}

// Groups the grid by its account and kind columns, every group open, with a footer under each
// group that sums the amounts.
void GroupByAccountAndKind(TDBGridEh* Grid) {
  TDBGridEhDataGroupsEh* grouping = Grid->DataGrouping();
  grouping->SetDefaultStateExpanded(true);
  grouping->SetGroupPanelVisible(true);
  TGridDataGroupFooterEh* footer = grouping->Footers()->Add();
  footer->SetVisible(true);
  grouping->InitFootersColumnItems();
  for (int i = 0; i < footer->ColumnItems()->Count(); ++i) {
    TGridDataGroupFooterColumnItemEh* item = footer->ColumnItems()->Items(i);
    if (item->Column() != ColumnOf(Grid, "Amount")) continue;
    item->SetValueType(gfvSumEh);
    // The sums read as the amounts do.
    item->SetDisplayFormat(",0.00");
  }
  ShowLedgerKindAsText(ColumnOf(Grid, "Kind"));
  for (const char* field : {"Account", "Kind"})
    grouping->GroupLevels()->Add()->SetColumn(ColumnOf(Grid, field));
  grouping->SetActive(true);
}

class TLedgerGroupedForm : public TForm {
  RTL_CLASS(TLedgerGroupedForm, TForm)
 public:
  TLedgerGroupedForm(TComponent* AOwner, TMemoryDataSetEh* Ledger) : TForm(AOwner, 0) {
    SetCaption(kLedgerGroupedCaption);
    SetBounds(80, 120, 900, 520);
    SetBorderStyle(bsSizeable);
    TDBGridEh* tree = MakeGrid(this, "CategoryTree", CreateLedgerCategories(this, Ledger),
                               {{"Name", 135}, {"Amount", 100}});
    tree->SetAlign(alRight);
    tree->SetWidth(260);
    tree->TreeViewParams()->SetShowTreeLines(true);
    TDBGridEh* grouped =
        MakeGrid(this, "GroupedGrid", Ledger,
                 {{"Date", 90}, {"Account", 80}, {"Kind", 40}, {"Amount", 90}, {"Note", 240}});
    grouped->SetAlign(alClient);
    GroupByAccountAndKind(grouped);
  }
};

RTL_IMPLEMENT_CLASS(TLedgerGroupedForm)

}  // namespace

TForm* CreateLedgerGroupedForm(TComponent* Owner, TMemoryDataSetEh* Ledger) {
  InitDBGridEhUnit();
  auto* form = new TLedgerGroupedForm(Owner, Ledger);
  form->AfterConstruction();
  return form;
}

TDBGridEh* LedgerGroupedGridOf(TForm* Form) {
  return Form ? dynamic_cast<TDBGridEh*>(Form->FindComponent("GroupedGrid")) : nullptr;
}

TDBGridEh* LedgerCategoryTreeOf(TForm* Form) {
  return Form ? dynamic_cast<TDBGridEh*>(Form->FindComponent("CategoryTree")) : nullptr;
}

TMemoryDataSetEh* CreateLedgerCategories(TComponent* Owner, TDataSet* Ledger) {
  std::map<std::string, double> sums;  // by account
  TBookmark here = Ledger->Bookmark();
  for (Ledger->First(); !Ledger->Eof(); Ledger->Next())
    sums[Ledger->FieldByName("Account")->AsString()] += Ledger->FieldByName("Amount")->AsFloat();
  if (!here.empty()) Ledger->GotoBookmark(here);

  auto* ds = new TMemoryDataSetEh(Owner);
  ds->FieldDefs()->Add("Id", ftInteger);
  ds->FieldDefs()->Add("ParentId", ftInteger);
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Amount", ftCurrency);
  ds->CreateDataSet();
  ds->FieldByName("Name")->SetDisplayLabel("分类");
  ds->FieldByName("Amount")->SetDisplayLabel("金额");
  static_cast<TNumericField*>(ds->FieldByName("Amount"))->SetDisplayFormat(",0.00");
  std::vector<std::vector<Variant>> rows;
  int id = 0;
  for (const TCategory& category : kCategories) {
    const int categoryId = ++id;
    double total = 0;
    for (const char* account : category.accounts) total += sums[account];
    rows.push_back(
        {Variant(categoryId), Variant::Null(), Variant(std::string(category.name)), Variant(total)});
    for (const char* account : category.accounts)
      rows.push_back(
          {Variant(++id), Variant(categoryId), Variant(std::string(account)), Variant(sums[account])});
  }
  ds->LoadFromRows(rows);
  ds->SetTreeKeyFieldName("Id");
  ds->SetTreeParentFieldName("ParentId");
  ds->SetTreeViewActive(true);
  ds->First();
  return ds;
}
