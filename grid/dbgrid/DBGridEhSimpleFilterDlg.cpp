// The custom filter dialog: its window, its operator table, loading a column's condition into
// the two rows and writing the rows back as the column's filter text.
#include "grid/dbgrid/DBGridEhSimpleFilterDlg.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "grid/data/FieldValueListEh.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/DBDateTimeEditEh.h"
#include "grid/editors/DBNumberEditEh.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

RTL_IMPLEMENT_CLASS(TDBGridEhSimpleFilterDialog)

namespace simple_filter_dialog_detail {

// One operator code: its caption, its operator text, and where a pattern's "%" goes.
struct TOperatorEntry {
  const char* Caption;
  const char* Operator;
  bool PercentInFront;
  bool PercentAfter;
};

// The captions are the program's own texts, spelling included.
const TOperatorEntry kOperators[kSimpleFilterOperatorCountEh] = {
    {"", "", false, false},
    {"equals", "=", false, false},
    {"does not equal", "<>", false, false},
    {"is greate than", ">", false, false},
    {"is greate than or equall to", ">=", false, false},
    {"is less than", "<", false, false},
    {"is less than or equall to", "<=", false, false},
    {"begins with", "~", false, true},
    {"does not begin with", "!~", false, true},
    {"ends with", "~", true, false},
    {"does not end with", "!~", true, false},
    {"contains", "~", true, true},
    {"does not contain", "!~", true, true},
    {"like", "~", false, false},
    {"not like", "!~", false, false},
    {"in list", "in", false, false},
    {"not in list", "!in", false, false},
    {"is blank", "=Null", false, false},
    {"is not blank", "<>Null", false, false},
};

bool IsPatternCode(int Code) {
  return Code >= sfoBeginsWithEh && Code <= sfoNotLikeEh;
}

bool IsListCode(int Code) {
  return Code == sfoInListEh || Code == sfoNotInListEh;
}

// Past the closing quote of the literal that opens at Start, or npos when it never closes.
size_t QuotedLiteralEnd(const std::string& Text, size_t Start) {
  for (size_t i = Start + 1; i < Text.size(); ++i) {
    if (Text[i] != '\'') continue;
    if (i + 1 < Text.size() && Text[i + 1] == '\'') {
      ++i;
      continue;
    }
    return i + 1;
  }
  return std::string::npos;
}

// The whole text is one quoted literal, inner quotes doubled.
bool IsProperlyQuoted(const std::string& Text) {
  return !Text.empty() && Text[0] == '\'' && QuotedLiteralEnd(Text, 0) == Text.size();
}

std::string Unquoted(const std::string& Literal) {
  std::string out;
  for (size_t i = 1; i + 1 < Literal.size(); ++i) {
    out += Literal[i];
    if (Literal[i] == '\'') ++i;
  }
  return out;
}

// Whether the parser, meeting Text bare where a value starts, reads exactly Text as one value.
bool ReadsBackBare(const std::string& Text, bool AllowList) {
  int position = 1;
  TSTFilterOpEh kind = fopNoneEh;
  Variant value;
  try {
    ReadFilterToken(Text, position, kind, value, AllowList);
  } catch (const Exception&) {
    return false;
  }
  return kind == fopValueEh && VarToStr(value) == Text && static_cast<size_t>(position) > Text.size();
}

// A value as written into the filter text: quoted literals as they stand, anything the parser
// would misread put in quotes.
std::string WrittenValue(const std::string& Value, bool AllowList) {
  if (IsProperlyQuoted(Value) || ReadsBackBare(Value, AllowList)) return Value;
  return QuotedStr(Value);
}

std::string TrimBlanks(const std::string& Text) {
  const size_t first = Text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return Text.substr(first, Text.find_last_not_of(' ') - first + 1);
}

// The items of a list value: split at the commas outside quoted literals, blanks around an item
// dropped (the parser skips them too).
std::vector<std::string> ListItems(const std::string& Value) {
  std::vector<std::string> items;
  size_t from = 0;
  for (;;) {
    const size_t start = std::min(Value.find_first_not_of(' ', from), Value.size());
    size_t comma = std::string::npos;
    const size_t end =
        start < Value.size() && Value[start] == '\'' ? QuotedLiteralEnd(Value, start) : std::string::npos;
    const size_t after = end == std::string::npos ? end : Value.find_first_not_of(' ', end);
    if (end != std::string::npos && (after == std::string::npos || Value[after] == ',')) {
      items.push_back(Value.substr(start, end - start));
      comma = after;
    } else {
      comma = Value.find(',', start);
      items.push_back(TrimBlanks(Value.substr(start, comma == std::string::npos ? comma : comma - start)));
    }
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return items;
}

// The row's code for a parsed operator; like and not like by their wildcards (Value loses them).
int CodeForOperator(TSTFilterOpEh Operator, std::string& Value) {
  switch (Operator) {
    case fopEqualEh:
      return sfoEqualEh;
    case fopNotEqualEh:
      return sfoNotEqualEh;
    case fopGreaterEh:
      return sfoGreaterEh;
    case fopLessEh:
      return sfoLessEh;
    case fopGreaterOrEqualEh:
      return sfoGreaterOrEqualEh;
    case fopLessOrEqualEh:
      return sfoLessOrEqualEh;
    case fopInEh:
      return sfoInListEh;
    case fopNotInEh:
      return sfoNotInListEh;
    case fopNullEh:
      return sfoBlankEh;
    case fopNotNullEh:
      return sfoNotBlankEh;
    case fopLikeEh:
    case fopNotLikeEh:
      break;
    default:
      return sfoNoneEh;
  }
  const bool negated = Operator == fopNotLikeEh;
  const int size = static_cast<int>(Value.size());
  // A doubled "%" at an end is no wildcard; a lone "%" stays a pattern (nothing would be left).
  const bool front = size > 1 && CharAtEh(Value, 1) == '%' && CharAtEh(Value, 2) != '%';
  const bool back = size > 1 && CharAtEh(Value, size) == '%' && CharAtEh(Value, size - 1) != '%';
  if (front && back && size > 2) {
    Value = Value.substr(1, Value.size() - 2);
    return negated ? sfoNotContainsEh : sfoContainsEh;
  }
  if (front && !back) {
    Value.erase(0, 1);
    return negated ? sfoNotEndsWithEh : sfoEndsWithEh;
  }
  if (back && !front) {
    Value.pop_back();
    return negated ? sfoNotBeginsWithEh : sfoBeginsWithEh;
  }
  return negated ? sfoNotLikeEh : sfoLikeEh;
}

void* CodeObject(int Code) {
  return reinterpret_cast<void*>(static_cast<intptr_t>(Code));
}

TDBGridEhSimpleFilterDialog* gDialog = nullptr;

const char kDescription[] =
    "object DBGridEhSimpleFilterDialog: TDBGridEhSimpleFilterDialog\n"
    "  BorderStyle = bsDialog\n"
    "  Caption = 'Custom filter'\n"
    "  ClientWidth = 410\n"
    "  ClientHeight = 218\n"
    "  Position = poScreenCenter\n"
    "  OnCreate = FormCreate\n"
    "  object Label1: TLabel\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 110\n"
    "    Height = 13\n"
    "    Caption = 'Show records where:'\n"
    "  end\n"
    "  object Bevel1: TBevel\n"
    "    Left = 8\n"
    "    Top = 26\n"
    "    Width = 394\n"
    "    Height = 2\n"
    "    Shape = bsTopLine\n"
    "  end\n"
    "  object ComboBox1: TComboBox\n"
    "    Left = 8\n"
    "    Top = 36\n"
    "    Width = 170\n"
    "    Height = 21\n"
    "    Style = csDropDownList\n"
    "  end\n"
    "  object Edit1: TEdit\n"
    "    Left = 186\n"
    "    Top = 36\n"
    "    Width = 216\n"
    "    Height = 21\n"
    "    Visible = False\n"
    "  end\n"
    "  object DBComboBoxEh1: TDBComboBoxEh\n"
    "    Left = 186\n"
    "    Top = 36\n"
    "    Width = 216\n"
    "    Height = 21\n"
    "  end\n"
    "  object rbAnd: TRadioButton\n"
    "    Left = 24\n"
    "    Top = 66\n"
    "    Width = 60\n"
    "    Height = 17\n"
    "    Caption = '&And'\n"
    "    Checked = True\n"
    "  end\n"
    "  object rbOr: TRadioButton\n"
    "    Left = 96\n"
    "    Top = 66\n"
    "    Width = 60\n"
    "    Height = 17\n"
    "    Caption = '&Or'\n"
    "  end\n"
    "  object ComboBox2: TComboBox\n"
    "    Left = 8\n"
    "    Top = 92\n"
    "    Width = 170\n"
    "    Height = 21\n"
    "    Style = csDropDownList\n"
    "  end\n"
    "  object Edit2: TEdit\n"
    "    Left = 186\n"
    "    Top = 92\n"
    "    Width = 216\n"
    "    Height = 21\n"
    "    Visible = False\n"
    "  end\n"
    "  object DBComboBoxEh2: TDBComboBoxEh\n"
    "    Left = 186\n"
    "    Top = 92\n"
    "    Width = 216\n"
    "    Height = 21\n"
    "  end\n"
    "  object Label2: TLabel\n"
    "    Left = 8\n"
    "    Top = 128\n"
    "    Width = 220\n"
    "    Height = 13\n"
    "    Caption = 'Use ''_'' to represent any single character'\n"
    "  end\n"
    "  object Label3: TLabel\n"
    "    Left = 8\n"
    "    Top = 146\n"
    "    Width = 240\n"
    "    Height = 13\n"
    "    Caption = 'Use ''%'' to represent any series of characters'\n"
    "  end\n"
    "  object DBDateTimeEditEh1: TDBDateTimeEditEh\n"
    "    Left = 260\n"
    "    Top = 124\n"
    "    Width = 121\n"
    "    Height = 21\n"
    "    Visible = False\n"
    "  end\n"
    "  object DBNumberEditEh1: TDBNumberEditEh\n"
    "    Left = 260\n"
    "    Top = 150\n"
    "    Width = 121\n"
    "    Height = 21\n"
    "    Visible = False\n"
    "  end\n"
    "  object bOk: TButton\n"
    "    Left = 240\n"
    "    Top = 184\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Caption = 'OK'\n"
    "    Default = True\n"
    "    ModalResult = 1\n"
    "  end\n"
    "  object bCancel: TButton\n"
    "    Left = 327\n"
    "    Top = 184\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Cancel = True\n"
    "    Caption = 'Cancel'\n"
    "    ModalResult = 2\n"
    "  end\n"
    "end\n";

template <class T>
T* Child(TComponent* Owner, const char* Name) {
  auto* found = dynamic_cast<T*>(Owner->FindComponent(Name));
  if (!found) throw EResNotFound(std::string("Resource ") + Name + " not found");
  return found;
}

}  // namespace simple_filter_dialog_detail

using namespace simple_filter_dialog_detail;

// --- the operator table and the condition texts ---------------------------------------------------

std::string SimpleFilterOperatorCaption(int Code) {
  return Code > 0 && Code < kSimpleFilterOperatorCountEh ? kOperators[Code].Caption : "";
}

std::vector<int> SimpleFilterOperatorsFor(TSTFilterValueKindEh Kind, bool HasField) {
  const bool patterns = !HasField || (Kind != fvkNumberEh && Kind != fvkDateTimeEh && Kind != fvkBooleanEh);
  std::vector<int> codes;
  for (int code = 0; code < kSimpleFilterOperatorCountEh; ++code)
    if (patterns || !IsPatternCode(code)) codes.push_back(code);
  return codes;
}

std::string SimpleFilterConditionText(int Code, const std::string& Value, TSTFilterValueKindEh Kind) {
  if (Code < 0 || Code >= kSimpleFilterOperatorCountEh) Code = sfoNoneEh;
  const TOperatorEntry& entry = kOperators[Code];
  std::string text = entry.Operator;
  if (Code == sfoBlankEh || Code == sfoNotBlankEh || Value.empty()) return text;
  if (IsListCode(Code)) {
    std::string items;
    for (const std::string& item : ListItems(Value))
      items += (items.empty() ? "" : ",") + WrittenValue(item, true);
    return text + "(" + items + ")";
  }
  if (IsPatternCode(Code)) {
    // The wildcards go inside the quotes of a quoted value.
    const bool quoted = IsProperlyQuoted(Value);
    std::string pattern = quoted ? Unquoted(Value) : Value;
    if (entry.PercentInFront) pattern.insert(0, "%");
    if (entry.PercentAfter) pattern += '%';
    return text + (quoted ? QuotedStr(pattern) : WrittenValue(pattern, false));
  }
  // A bare value at the start of the text may be a list; after a comparison it is one value.
  const bool allowList =
      Code == sfoNoneEh && !(Kind == fvkNumberEh && FormatSettings().DecimalSeparator == ",");
  return text + WrittenValue(Value, allowList);
}

std::string SimpleFilterText(const std::string& Row1, const std::string& Row2, bool UseOr) {
  if (Row2.empty()) return Row1;
  if (Row1.empty()) return Row2;
  return Row1 + (UseOr ? " OR " : " AND ") + Row2;
}

// --- the dialog -----------------------------------------------------------------------------------

TDBGridEhSimpleFilterDialog::TDBGridEhSimpleFilterDialog(TComponent* AOwner) : TForm(AOwner) {}

TDBGridEhSimpleFilterDialog::~TDBGridEhSimpleFilterDialog() {
  // Freed by its owner (the application's end, a test's reset): the next call makes another.
  if (gDialog == this) gDialog = nullptr;
}

void TDBGridEhSimpleFilterDialog::DescribeClass(TClassBuilder<TDBGridEhSimpleFilterDialog>& c) {
  c.Method("FormCreate", &TDBGridEhSimpleFilterDialog::FormCreate);
}

void TDBGridEhSimpleFilterDialog::RegisterForStreaming() {
  RegisterGridEditorClasses();
  RegisterClasses({TDBGridEhSimpleFilterDialog::StaticClass()});
  RegisterDescription("TDBGridEhSimpleFilterDialog", kDescription);
}

void TDBGridEhSimpleFilterDialog::FormCreate(TObject*) {
  ComboBox1 = Child<TComboBox>(this, "ComboBox1");
  ComboBox2 = Child<TComboBox>(this, "ComboBox2");
  DBComboBoxEh1 = Child<TDBComboBoxEh>(this, "DBComboBoxEh1");
  DBComboBoxEh2 = Child<TDBComboBoxEh>(this, "DBComboBoxEh2");
  Edit1 = Child<TEdit>(this, "Edit1");
  Edit2 = Child<TEdit>(this, "Edit2");
  rbAnd = Child<TRadioButton>(this, "rbAnd");
  rbOr = Child<TRadioButton>(this, "rbOr");
  bOk = Child<TButton>(this, "bOk");
  bCancel = Child<TButton>(this, "bCancel");
  Font()->SetName(TFont::DefaultFontName());
}

int TDBGridEhSimpleFilterDialog::SelectedCode(TComboBox* Box) {
  const int index = Box->ItemIndex();
  if (index < 0 || index >= Box->Items()->Count()) return sfoNoneEh;
  return static_cast<int>(reinterpret_cast<intptr_t>(Box->Items()->Objects(index)));
}

void TDBGridEhSimpleFilterDialog::FillOperators(TComboBox* Box, TSTFilterValueKindEh Kind, bool HasField) {
  Box->Items()->Clear();
  const std::vector<int> codes = SimpleFilterOperatorsFor(Kind, HasField);
  for (int code : codes)
    Box->Items()->AddObject(SimpleFilterOperatorCaption(code), static_cast<TObject*>(CodeObject(code)));
  Box->SetDropDownCount(static_cast<int>(codes.size()));
}

void TDBGridEhSimpleFilterDialog::PrepareValueEditor(TDBComboBoxEh* Editor, TEdit* Marker) {
  Editor->SetBoundsRect(Marker->BoundsRect());
  Editor->SetVisible(true);
  Editor->Items()->Clear();
  if (IMemTableDataFieldValueListEh* values = column_->GetFilterValueList()) {
    Editor->Items()->Assign(values->GetValues());
    // The values as the column shows them: a key list's stored codes as their pick list texts.
    if (dbgrid_detail::ShowsKeysAsPicks(column_))
      for (int i = 0; i < Editor->Items()->Count(); ++i)
        Editor->Items()->SetStrings(i, dbgrid_detail::KeyAsPick(column_, Editor->Items()->Strings(i)));
  }
  Editor->SetText("");
}

void TDBGridEhSimpleFilterDialog::SetRow(TComboBox* Box, TDBComboBoxEh* Editor, TSTFilterOpEh Operator,
                                         const Variant& Operand) {
  std::string text;
  int code = sfoNoneEh;
  if (Operator == fopLikeEh || Operator == fopNotLikeEh) {
    std::string pattern = VarToStr(Operand);
    code = CodeForOperator(Operator, pattern);
    text = column_->STFilter()->GetOperandAsQuotedText(Variant(pattern), Operator);
  } else {
    code = CodeForOperator(Operator, text);
    // Shown as the column shows it; OK turns the picked texts back into keys.
    if (Operator >= fopEqualEh && Operator <= fopNotInEh)
      text =
          column_->STFilter()->GetOperandAsQuotedText(dbgrid_detail::KeysAsPicks(column_, Operand), Operator);
  }
  Box->SetItemIndex(Box->Items()->IndexOfObject(static_cast<TObject*>(CodeObject(code))));
  Editor->SetText(text);
}

void TDBGridEhSimpleFilterDialog::Init(TColumnEh* Column) {
  column_ = Column;
  TSTColumnFilterEh* filter = Column->STFilter();
  const TSTFilterValueKindEh kind = FilterValueKindOf(Column);
  const bool hasField = Column->GetField() != nullptr;
  FillOperators(ComboBox1, kind, hasField);
  FillOperators(ComboBox2, kind, hasField);
  PrepareValueEditor(DBComboBoxEh1, Edit1);
  PrepareValueEditor(DBComboBoxEh2, Edit2);
  if (!filter->ListSource()) filter->UpdateExpressionFromText();
  const TSTFilterExpressionEh& e = filter->Expression();
  SetRow(ComboBox1, DBComboBoxEh1, e.Operator1, e.Operand1);
  if (e.Relation == fopOrEh)
    rbOr->SetChecked(true);
  else
    rbAnd->SetChecked(true);
  SetRow(ComboBox2, DBComboBoxEh2, e.Operator2, e.Operand2);
}

void TDBGridEhSimpleFilterDialog::SetFilterFromRows() {
  const TSTFilterValueKindEh kind = FilterValueKindOf(column_);
  const std::string row1 = SimpleFilterConditionText(SelectedCode(ComboBox1), DBComboBoxEh1->Text(), kind);
  const std::string row2 = SimpleFilterConditionText(SelectedCode(ComboBox2), DBComboBoxEh2->Text(), kind);
  column_->STFilter()->SetExpressionStr(SimpleFilterText(row1, row2, rbOr->Checked()));
}

bool ShowSimpleFilterDialog(TColumnEh* Column) {
  if (!gDialog) {
    TDBGridEhSimpleFilterDialog::RegisterForStreaming();
    gDialog = Construct<TDBGridEhSimpleFilterDialog>(Application);
  }
  gDialog->Init(Column);
  if (gDialog->ShowModal() != mrOk) return false;
  gDialog->SetFilterFromRows();
  return true;
}
