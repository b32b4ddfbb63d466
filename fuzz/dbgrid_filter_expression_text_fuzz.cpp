// Fuzz target for a column's filter text: what a user types or pastes into a filter cell is set
// as the expression text of a data grid column of each value kind (text, number, date-time,
// Boolean, a kind the filter cannot compare), under "." and "," as the decimal separator.
//
// Input: bit 0 of the first byte picks the "," separator; the rest is the text.
//
// A text the parser refuses raises its own message or a conversion error (numbers and dates
// only) and leaves the column's condition and text as they were. A text it takes is kept as
// typed; the condition written back as the cell's text, and again with the custom filter
// dialog's quoted operands, parses to the same condition. The one exception is the parser's
// fallback that takes an unreadable text as a pattern unconverted: in a number or date column
// no written form can carry such a pattern back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <typeinfo>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

const char* const kParseErrors[] = {
    "Quote is absent: ",
    "'(' expected: ",
    "Error in expression: ",
    "Unexpected expression after operator: ",
    "Unexpected AND or OR: ",
    "Incorrect expression: ",
    "Unexpected expression before Null: ",
};

// One column of each value kind, in TSTFilterValueKindEh order from string on; the blob last.
const char* const kFields[] = {"NAME", "AMOUNT", "DAY", "FLAG", "DATA"};

TDBGridEh* MakeGrid() {
  ResetVcl();
  InitDBGridEhUnit();
  auto* form = new TForm(Application, 0);
  form->AfterConstruction();
  auto* ds = new TMemoryDataSet(form);
  ds->FieldDefs()->Add("NAME", ftString, 20);
  ds->FieldDefs()->Add("AMOUNT", ftFloat);
  ds->FieldDefs()->Add("DAY", ftDateTime);
  ds->FieldDefs()->Add("FLAG", ftBoolean);
  ds->FieldDefs()->Add("DATA", ftBlob);
  ds->CreateDataSet();
  auto* source = new TDataSource(form);
  source->SetDataSet(ds);
  auto* grid = new TDBGridEh(form);
  grid->SetParent(form);
  grid->SetDataSource(source);
  for (const char* name : kFields) grid->Columns()->Add()->SetFieldName(name);
  return grid;
}

bool SameValue(const Variant& A, const Variant& B) {
  if (A.IsArray() || B.IsArray()) {
    if (!A.IsArray() || !B.IsArray() || A.LowBound() != B.LowBound() || A.HighBound() != B.HighBound())
      return false;
    for (int i = A.LowBound(); i <= A.HighBound(); ++i)
      if (!SameValue(A.GetElement(i), B.GetElement(i))) return false;
    return true;
  }
  if (A.VarType() != B.VarType()) return false;
  if (A.VarType() == varDouble) return A.AsDouble() == B.AsDouble();
  if (A.VarType() == varDate) return A.AsDateTime() == B.AsDateTime();
  return A.IsEmpty() == B.IsEmpty() && VarToStr(A) == VarToStr(B);
}

bool SameCondition(const TSTFilterExpressionEh& A, const TSTFilterExpressionEh& B) {
  return A.ValueKind == B.ValueKind && A.Operator1 == B.Operator1 && SameValue(A.Operand1, B.Operand1) &&
         A.Relation == B.Relation && A.Operator2 == B.Operator2 && SameValue(A.Operand2, B.Operand2);
}

const char* OperatorWord(TSTFilterOpEh Op) {
  static const char* const kWords[] = {"", "=", "<>", ">", "<", ">=", "<=", "~", "!~", "In", "!In"};
  return static_cast<size_t>(Op) < std::size(kWords) ? kWords[static_cast<size_t>(Op)] : "";
}

// One row of the custom filter dialog: the operator and the quoted form of its operand.
std::string DialogPart(TSTColumnFilterEh* Filter, TSTFilterOpEh Op, const Variant& Operand) {
  if (Op == fopNullEh) return "=Null";
  if (Op == fopNotNullEh) return "<>Null";
  const std::string value = Filter->GetOperandAsQuotedText(Operand, Op);
  if (Op == fopInEh || Op == fopNotInEh) return std::string(OperatorWord(Op)) + " (" + value + ")";
  return std::string(OperatorWord(Op)) + " " + value;
}

// Sets Text and checks that the filter took it with the condition Expected.
void ReadBack(TSTColumnFilterEh* Filter, const std::string& Text, const TSTFilterExpressionEh& Expected,
              const char* Form) {
  try {
    Filter->SetExpressionStr(Text);
  } catch (const Exception& e) {
    Fail(Form, "'" + Text + "' refused: " + e.Message());
  }
  if (!SameCondition(Filter->Expression(), Expected)) Fail(Form, "'" + Text + "' reads as another condition");
}

void CheckColumn(TSTColumnFilterEh* Filter, const std::string& Text) {
  Filter->SetExpressionStr("");
  const TSTFilterValueKindEh kind = Filter->Expression().ValueKind;
  try {
    Filter->SetExpressionStr(Text);
  } catch (const EConvertError&) {
    if (kind != fvkNumberEh && kind != fvkDateTimeEh) Fail("a conversion error for an operand kept as text");
    if (!Filter->ExpressionStr().empty() || Filter->Expression().Operator1 != fopNoneEh)
      Fail("a refused text changed the condition");
    return;
  } catch (const Exception& e) {
    if (typeid(e) != typeid(Exception)) Fail("a foreign error", e.Message());
    bool known = false;
    for (const char* prefix : kParseErrors) known = known || e.Message().rfind(prefix, 0) == 0;
    if (!known) Fail("an unknown parse error", e.Message());
    if (!Filter->ExpressionStr().empty() || Filter->Expression().Operator1 != fopNoneEh)
      Fail("a refused text changed the condition");
    return;
  }
  if (Filter->ExpressionStr() != Text) Fail("the text was not kept as typed");
  const TSTFilterExpressionEh first = Filter->Expression();
  if (first.ValueKind == fvkNoneEh || first.Operator1 == fopNoneEh) return;
  const bool pattern =
      first.Operator1 == fopLikeEh && first.Relation == fopNoneEh && first.Operand1.IsString() &&
      (kind == fvkNumberEh || (kind == fvkDateTimeEh && !SameText(VarToStr(first.Operand1), "NOW")));
  if (pattern) return;
  ReadBack(Filter, Filter->GetExpressionAsText(), first, "the condition text");
  std::string dialog = DialogPart(Filter, first.Operator1, first.Operand1);
  if (first.Relation != fopNoneEh)
    dialog += std::string(first.Relation == fopAndEh ? " AND " : " OR ") +
              DialogPart(Filter, first.Operator2, first.Operand2);
  ReadBack(Filter, dialog, first, "the quoted form");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1024) return 0;
  static TDBGridEh* grid = MakeGrid();
  TFormatSettings locale;
  if (data[0] & 1) {
    locale.DecimalSeparator = ",";
    locale.ThousandSeparator = ".";
  }
  TFormatSettingsScope scope{locale};
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  for (int i = 0; i < grid->Columns()->Count(); ++i)
    CheckColumn(grid->Columns()->GetColumn(i)->STFilter(), text);
  return 0;
}
