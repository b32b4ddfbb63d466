// The demo ledger: household entries in an in-memory data set, twelve written out and as many
// more as asked for made up day by day after them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "grid/axis/AxisBarEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"

namespace {

// A small receipt: a slip of paper with printed lines and a stamp, as BMP bytes. The stamp is
// red on a paid receipt, grey on one not yet cleared.
std::string ReceiptPicture(bool Cleared) {
  TBitmap bmp;
  bmp.SetSize(32, 20);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->Pen()->SetColor(clGray);
  c->Rectangle(0, 0, 32, 20);
  c->Pen()->SetColor(clNavy);
  for (int y = 4; y < 17; y += 4) {
    c->MoveTo(3, y);
    c->LineTo(y == 16 ? 12 : 20, y);
  }
  c->Brush()->SetColor(Cleared ? clRed : clSilver);
  c->Pen()->SetColor(Cleared ? clMaroon : clGray);
  c->Ellipse(20, 9, 30, 19);
  TStringStream bytes;
  bmp.SaveToStream(&bytes);
  return bytes.DataString();
}

// One made-up entry a day after the written ones: the salary on the 3rd, the rent on the 5th,
// interest on the 18th, and on other days one expense drawn from a fixed pseudo-random sequence,
// so every run (and every test) sees the same ledger.
struct TMadeUpEntry {
  TDateTime date;
  std::string account, kind, note;
  double amount;
  bool cleared;
};

class TLedgerEntryMaker {
 public:
  TMadeUpEntry Next() {
    const TDateTime date = EncodeDate(2026, 3, 12) + day_++;
    Word year, month, day;
    DecodeDate(date, year, month, day);
    const std::string monthName = std::to_string(month) + "月";
    // Entries of the last few weeks are not yet cleared.
    const bool cleared = day_ < 300 || Draw(3) != 0;
    if (day == 3) return {date, "工资", "I", monthName + "工资", 8200.00, cleared};
    if (day == 5) return {date, "房租", "E", monthName + "房租", 2600.00, cleared};
    if (day == 18) return {date, "利息", "I", "活期利息", 15 + Draw(1000) / 100.0, cleared};
    struct TExpense {
      const char* account;
      const char* notes[4];
      int cents;  // the largest amount, in cents
    };
    static const TExpense kExpenses[] = {
        {"餐饮", {"超市", "早餐", "午餐", "外卖"}, 30000},
        {"餐饮", {"水果", "晚餐", "聚餐", "咖啡"}, 50000},
        {"交通", {"地铁", "公交卡充值", "打车", "加油"}, 40000},
        {"医疗", {"药店", "门诊", "体检", "牙科"}, 90000},
    };
    const TExpense& e = kExpenses[Draw(4)];
    const double amount = (100 + Draw(e.cents)) / 100.0;
    return {date, e.account, "E", e.notes[Draw(4)], amount, cleared};
  }

 private:
  // A linear congruential sequence: the same numbers on every machine.
  int Draw(int Below) {
    seed_ = seed_ * 1103515245u + 12345u;
    return static_cast<int>((seed_ >> 16) % static_cast<uint32_t>(Below));
  }
  int day_ = 0;
  uint32_t seed_ = 20260312u;
};

// The accounts the ledger books to, by their numbers: the ones the entries use and a few more
// a user may pick.
const char* const kAccountNames[] = {"工资", "奖金", "利息", "房租", "餐饮",
                                     "交通", "医疗", "购物", "旅游", "教育"};

// The category of each account above, which the account lists show beside the name.
const char* const kAccountCategories[] = {"收入",     "收入",     "收入",     "固定支出", "日常支出",
                                          "日常支出", "日常支出", "日常支出", "休闲支出", "固定支出"};
static_assert(std::size(kAccountCategories) == std::size(kAccountNames));

int AccountIdOf(const std::string& Name) {
  for (int i = 0; i < static_cast<int>(std::size(kAccountNames)); ++i)
    if (Name == kAccountNames[i]) return i + 1;
  return 0;
}

// Gives the ledger its account number and, over Accounts, the account's name looked up by that
// number. The text account stays the stored one the other parts read: a new number writes its
// name there too.
void AddAccountLookup(TMemoryDataSet* ds, TDataSet* Accounts) {
  ds->FieldDefs()->Add(kLedgerAccountIdField, ftInteger);
  for (int i = 0; i < ds->FieldDefs()->Count(); ++i) ds->FieldDefs()->Items(i)->CreateField(ds);
  TField* name = CreateFieldForType(ftString, ds);
  name->SetFieldName(kLedgerAccountNameField);
  name->SetSize(20);
  name->SetFieldKind(fkLookup);
  name->SetKeyFields(kLedgerAccountIdField);
  name->SetLookupDataSet(Accounts);
  name->SetLookupKeyFields("ID");
  name->SetLookupResultField("NAME");
  name->SetDataSet(ds);
  ds->FieldByName(kLedgerAccountIdField)->OnChange = [ds, Accounts](TField* Sender) {
    const Variant named =
        Sender->IsNull() ? Variant::Null() : Accounts->Lookup("ID", Sender->Value(), "NAME");
    ds->FieldByName("Account")->SetAsString(VarToStr(named));
  };
}

// Gives the data set the ledger's fields and its first Entries entries, and opens it. Numbered,
// an Integer "Seq" field comes first and numbers the entries 1..Entries in entry order. With
// Accounts, each entry also holds its account's number (see AddAccountLookup).
void FillLedger(TMemoryDataSet* ds, int Entries, bool Numbered = false, TDataSet* Accounts = nullptr) {
  if (Numbered) ds->FieldDefs()->Add(kLedgerSeqField, ftInteger);
  ds->FieldDefs()->Add("Date", ftDate);
  ds->FieldDefs()->Add("Account", ftString, 20);
  ds->FieldDefs()->Add("Kind", ftString, 1);
  ds->FieldDefs()->Add("Amount", ftCurrency);
  ds->FieldDefs()->Add("Cleared", ftBoolean);
  ds->FieldDefs()->Add("Note", ftString, 40);
  // Expenses keep a picture of their receipt.
  ds->FieldDefs()->Add("Receipt", ftGraphic);
  if (Accounts) AddAccountLookup(ds, Accounts);
  ds->CreateDataSet();
  // What titles, grouping panels, group rows and copied header lines show for the fields.
  const std::pair<const char*, const char*> labels[] = {{kLedgerSeqField, "序号"},
                                                        {"Date", "日期"},
                                                        {"Account", "账户"},
                                                        {"Kind", "类型"},
                                                        {"Amount", "金额"},
                                                        {"Cleared", "已核对"},
                                                        {"Note", "备注"},
                                                        {"Receipt", "收据"},
                                                        {kLedgerAccountIdField, "账户编号"},
                                                        {kLedgerAccountNameField, "账户"}};
  for (const auto& [field, label] : labels)
    if (TField* f = ds->FindField(field)) f->SetDisplayLabel(label);
  // Amounts read with thousands separators and two decimals wherever they are shown: the
  // entry form's number editor and the grid both take the field's display format.
  static_cast<TNumericField*>(ds->FieldByName("Amount"))->SetDisplayFormat(",0.00");
  struct Entry {
    int month, day;
    const char* account;
    const char* kind;
    double amount;
    bool cleared;
    const char* note;
  };
  const Entry entries[] = {
      {1, 3, "工资", "I", 8200.00, true, "一月工资"},  {1, 5, "房租", "E", 2600.00, true, "一月房租"},
      {1, 9, "餐饮", "E", 312.40, true, "超市"},       {1, 18, "利息", "I", 21.37, true, "活期利息"},
      {2, 3, "工资", "I", 8200.00, true, "二月工资"},  {2, 5, "房租", "E", 2600.00, true, "二月房租"},
      {2, 14, "餐饮", "E", 486.90, false, "聚餐"},     {2, 20, "交通", "E", 150.00, true, "公交卡充值"},
      {3, 3, "工资", "I", 8200.00, true, "三月工资"},  {3, 4, "奖金", "I", 3000.00, false, "季度奖金"},
      {3, 5, "房租", "E", 2600.00, false, "三月房租"}, {3, 11, "医疗", "E", 220.50, false, "体检"},
  };
  std::vector<std::vector<Variant>> rows;
  for (const Entry& e : entries)
    rows.push_back({Variant::FromDate(EncodeDate(2026, e.month, e.day)), Variant(std::string(e.account)),
                    Variant(std::string(e.kind)), Variant(e.amount), Variant(e.cleared),
                    Variant(std::string(e.note)),
                    *e.kind == 'E' ? Variant(ReceiptPicture(e.cleared)) : Variant::Null()});
  TLedgerEntryMaker maker;
  while (static_cast<int>(rows.size()) < Entries) {
    const TMadeUpEntry e = maker.Next();
    rows.push_back({Variant::FromDate(e.date), Variant(e.account), Variant(e.kind), Variant(e.amount),
                    Variant(e.cleared), Variant(e.note),
                    e.kind == "E" ? Variant(ReceiptPicture(e.cleared)) : Variant::Null()});
  }
  if (Accounts)
    for (std::vector<Variant>& row : rows) row.push_back(Variant(AccountIdOf(VarToStr(row[1]))));
  if (Numbered)
    for (size_t i = 0; i < rows.size(); ++i)
      rows[i].insert(rows[i].begin(), Variant(static_cast<int>(i + 1)));
  ds->LoadFromRows(rows);
}

}  // namespace

TMemoryDataSetEh* CreateLedger(TComponent* Owner, int Entries) {
  auto* ds = new TMemoryDataSetEh(Owner);
  FillLedger(ds, Entries);
  return ds;
}

TMemoryDataSet* CreatePlainLedger(TComponent* Owner, int Entries) {
  auto* ds = new TMemoryDataSet(Owner);
  FillLedger(ds, Entries);
  return ds;
}

TMemoryDataSet* CreateAccounts(TComponent* Owner) {
  auto* ds = new TMemoryDataSet(Owner);
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("NAME", ftString, 20);
  ds->FieldDefs()->Add("CATEGORY", ftString, 20);
  std::vector<std::vector<Variant>> rows;
  for (const char* name : kAccountNames)
    rows.push_back({Variant(AccountIdOf(name)), Variant(std::string(name)),
                    Variant(std::string(kAccountCategories[AccountIdOf(name) - 1]))});
  ds->LoadFromRows(rows);
  // The titles and widths (in characters) of a list of the accounts.
  const struct {
    const char* field;
    const char* label;
    int width;
  } shown[] = {{"ID", "编号", 4}, {"NAME", "账户", 6}, {"CATEGORY", "类别", 8}};
  for (const auto& f : shown) {
    ds->FieldByName(f.field)->SetDisplayLabel(f.label);
    ds->FieldByName(f.field)->SetDisplayWidth(f.width);
  }
  return ds;
}

void ShowLedgerKindAsText(TAxisBarEh* Column) {
  Column->KeyList()->Clear();
  Column->PickList()->Clear();
  for (const auto& [key, text] : {std::pair{"I", "收入"}, std::pair{"E", "支出"}}) {
    Column->KeyList()->Add(key);
    Column->PickList()->Add(text);
  }
}

TMemoryDataSetEh* CreateNumberedLedger(TComponent* Owner, int Entries) {
  auto* ds = new TMemoryDataSetEh(Owner);
  // Owned by the ledger: the account names go where it goes.
  FillLedger(ds, Entries, true, CreateAccounts(ds));
  ds->SetIndexFieldNames(kLedgerSeqField);
  return ds;
}
