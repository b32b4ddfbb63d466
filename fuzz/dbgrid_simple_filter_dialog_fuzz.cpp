// Fuzz target for the custom filter dialog: what a user picks and types into its two rows is
// written by OK as the column's filter text and parsed back, in a text and a number column.
//
// Input: byte 0 and byte 1 the rows' operator codes (modulo the code count), byte 2 bit 0 Or,
// bit 1 the number column, byte 3 the length of row 1's value; row 2's value is the rest.
//
// A text column reads back every typed value: the rows' operators and relation, and a value not
// in quotes as typed (with a pattern's "%"); the parser may refuse only a row whose value is
// empty ("" or ''). A number column may also give a conversion error. Nothing else is raised.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <typeinfo>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhSimpleFilterDlg.h"
#include "grid/editors/DBComboBoxEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

struct TFuzzDialog {
  TDBGridEh* Grid = nullptr;
  TDBGridEhSimpleFilterDialog* Dialog = nullptr;
};

TFuzzDialog MakeDialog() {
  ResetVcl();
  InitDBGridEhUnit();
  auto* form = new TForm(Application, 0);
  form->AfterConstruction();
  auto* ds = new TMemoryDataSet(form);
  ds->FieldDefs()->Add("NAME", ftString, 20);
  ds->FieldDefs()->Add("AMOUNT", ftFloat);
  ds->CreateDataSet();
  auto* source = new TDataSource(form);
  source->SetDataSet(ds);
  TFuzzDialog made;
  made.Grid = new TDBGridEh(form);
  made.Grid->SetParent(form);
  made.Grid->SetDataSource(source);
  made.Grid->Columns()->Add()->SetFieldName("NAME");
  made.Grid->Columns()->Add()->SetFieldName("AMOUNT");
  TDBGridEhSimpleFilterDialog::RegisterForStreaming();
  made.Dialog = Construct<TDBGridEhSimpleFilterDialog>(Application);
  return made;
}

// The operator a code gives (none for code 0, whose bare value takes the column's default).
TSTFilterOpEh OperatorOf(int Code) {
  static const TSTFilterOpEh kOps[] = {fopNoneEh,           fopEqualEh, fopNotEqualEh,    fopGreaterEh,
                                       fopGreaterOrEqualEh, fopLessEh,  fopLessOrEqualEh, fopLikeEh,
                                       fopNotLikeEh,        fopLikeEh,  fopNotLikeEh,     fopLikeEh,
                                       fopNotLikeEh,        fopLikeEh,  fopNotLikeEh,     fopInEh,
                                       fopNotInEh,          fopNullEh,  fopNotNullEh};
  return kOps[Code];
}

bool TakesValue(int Code) {
  return Code != sfoBlankEh && Code != sfoNotBlankEh;
}

bool EmptyValue(const std::string& Value) {
  std::string text;
  for (char c : Value)
    if (c != ' ') text += c;
  return text.empty() || text == "''";
}

// What a value not in quotes reads back as; empty when the check does not apply.
std::string ExpectedPattern(int Code, const std::string& Value) {
  if (Code < sfoEqualEh || Code > sfoNotLikeEh || Value.empty() || Value.front() == '\'') return {};
  const bool leading = Code >= sfoEndsWithEh && Code <= sfoNotContainsEh;
  std::string pattern = leading ? "%" + Value : Value;
  if (Code == sfoBeginsWithEh || Code == sfoNotBeginsWithEh || Code == sfoContainsEh ||
      Code == sfoNotContainsEh)
    pattern += '%';
  return pattern;
}

void Choose(TComboBox* Box, int Code) {
  Box->SetItemIndex(Box->Items()->IndexOfObject(reinterpret_cast<TObject*>(static_cast<intptr_t>(Code))));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > 1024) return 0;
  static TFuzzDialog fuzz = MakeDialog();
  const int code1 = data[0] % kSimpleFilterOperatorCountEh;
  const int code2 = data[1] % kSimpleFilterOperatorCountEh;
  const bool useOr = data[2] & 1;
  const bool number = data[2] & 2;
  const std::string rest(reinterpret_cast<const char*>(data + 4), size - 4);
  const std::string value1 = rest.substr(0, data[3]);
  const std::string value2 = rest.substr(value1.size());
  TColumnEh* column = fuzz.Grid->Columns()->GetColumn(number ? 1 : 0);
  TSTColumnFilterEh* filter = column->STFilter();
  filter->SetExpressionStr("");
  TDBGridEhSimpleFilterDialog* dialog = fuzz.Dialog;
  dialog->Init(column);
  Choose(dialog->ComboBox1, code1);
  dialog->DBComboBoxEh1->SetText(value1);
  (useOr ? dialog->rbOr : dialog->rbAnd)->SetChecked(true);
  Choose(dialog->ComboBox2, code2);
  dialog->DBComboBoxEh2->SetText(value2);
  // Rows as the dialog holds them: a number column offers no pattern codes.
  const int row1 = TDBGridEhSimpleFilterDialog::SelectedCode(dialog->ComboBox1);
  const int row2 = TDBGridEhSimpleFilterDialog::SelectedCode(dialog->ComboBox2);
  const std::string typed1 = dialog->DBComboBoxEh1->Text(), typed2 = dialog->DBComboBoxEh2->Text();
  try {
    dialog->SetFilterFromRows();
  } catch (const EConvertError&) {
    if (!number) Fail("a conversion error in a text column");
    return 0;
  } catch (const Exception& e) {
    if (typeid(e) != typeid(Exception)) Fail("a foreign error", e.Message());
    const bool empty1 = TakesValue(row1) && EmptyValue(typed1),
               empty2 = TakesValue(row2) && EmptyValue(typed2);
    if (!empty1 && !empty2 && !number) Fail("a typed value refused", e.Message());
    return 0;
  }
  const TSTFilterExpressionEh& e = filter->Expression();
  if (number || row1 == sfoNoneEh || row2 == sfoNoneEh) return 0;  // bare values take defaults
  if (e.Operator1 != OperatorOf(row1)) Fail("row 1 reads as another operator", filter->ExpressionStr());
  if (e.Operator2 != OperatorOf(row2) || e.Relation != (useOr ? fopOrEh : fopAndEh))
    Fail("row 2 reads otherwise", filter->ExpressionStr());
  const std::string expected1 = ExpectedPattern(row1, typed1), expected2 = ExpectedPattern(row2, typed2);
  if (!expected1.empty() && VarToStr(e.Operand1) != expected1)
    Fail("row 1's value changed", filter->ExpressionStr());
  if (!expected2.empty() && VarToStr(e.Operand2) != expected2)
    Fail("row 2's value changed", filter->ExpressionStr());
  return 0;
}
