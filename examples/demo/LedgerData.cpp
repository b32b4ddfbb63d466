// The demo ledger: a few months of household entries in an in-memory data set.
#include <vector>

#include "examples/demo/DemoSupport.h"
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

}  // namespace

TMemoryDataSetEh* CreateLedger(TComponent* Owner) {
  auto* ds = new TMemoryDataSetEh(Owner);
  ds->FieldDefs()->Add("Date", ftDate);
  ds->FieldDefs()->Add("Account", ftString, 20);
  ds->FieldDefs()->Add("Kind", ftString, 1);
  ds->FieldDefs()->Add("Amount", ftCurrency);
  ds->FieldDefs()->Add("Cleared", ftBoolean);
  ds->FieldDefs()->Add("Note", ftString, 40);
  // Expenses keep a picture of their receipt.
  ds->FieldDefs()->Add("Receipt", ftGraphic);
  ds->CreateDataSet();
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
  ds->LoadFromRows(rows);
  return ds;
}
