// A column's filter-row condition: setting it from text, writing it back as text (the cell's
// form and the quoted form of the custom filter dialog), the lookup fields behind it, and the
// value list it ticks and is built from.
#include <algorithm>
#include <string>
#include <vector>

#include "grid/data/FieldValueListEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

namespace filter_model_detail {

const char* CellOperatorText(TSTFilterOpEh Op) {
  static const char* const kTexts[] = {"",   "=",  "<>",  ">",    "<",    ">=",  "<=", "~",
                                       "!~", "In", "!In", "Null", "Null", "AND", "OR"};
  const auto index = static_cast<size_t>(Op);
  return index < std::size(kTexts) ? kTexts[index] : "";
}

// The elements of a value: a Variant array's in order, else the value alone.
std::vector<Variant> OperandElements(const Variant& Value) {
  if (!VarIsArray(Value)) return {Value};
  std::vector<Variant> out;
  for (int i = VarArrayLowBound(Value, 1), high = VarArrayHighBound(Value, 1); i <= high; ++i)
    out.push_back(Value.GetElement(i));
  return out;
}

// Applies Map to a value, element by element for a list.
template <class F>
Variant MapOperandElements(const Variant& Value, F&& Map) {
  if (!VarIsArray(Value)) return Map(Value);
  std::vector<Variant> out;
  for (const Variant& v : OperandElements(Value)) out.push_back(Map(v));
  return VarArrayOf(out);
}

bool TakesOperand(TSTFilterOpEh Op) {
  return Op >= fopEqualEh && Op <= fopNotInEh;
}

// A non-empty value found in From becomes To's entry at the same place; any other stays.
Variant ListedCounterpart(TStrings* From, TStrings* To, const Variant& Value) {
  const std::string text = VarToStr(Value);
  if (text.empty()) return Value;
  const int index = From->IndexOf(text);
  return index >= 0 && index < To->Count() ? Variant(To->Strings(index)) : Value;
}

// A number in the user's decimal separator, with as few digits as read back to the same Double.
std::string RoundTripNumberText(double Value) {
  std::string text = FloatToStr(Value);
  for (int precision = 16; precision <= 18; ++precision) {
    double back = 0;
    if (TryStrToFloat(text, back) && back == Value) break;
    text = FloatToStrF(Value, ffGeneral, precision, 0);
  }
  return text;
}

// The program's date-time text; milliseconds after a "." (the time parser takes "." whatever
// the locale, and a "," would split a list).
std::string RoundTripDateText(TDateTime Value) {
  std::string text = DateTimeToStr(Value);
  Word h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(Value, h, m, s, ms);
  if (ms != 0) {
    if (text.find(' ') == std::string::npos) text += " " + TimeToStr(TimeOf(Value));
    char digits[8];
    std::snprintf(digits, sizeof digits, ".%03u", unsigned{ms});
    text += digits;
  }
  return text;
}

// What a value reads as, without quotes: numbers and dates in the forms the parser reads back.
std::string OperandPlainText(const Variant& Value) {
  switch (Value.VarType()) {
    case varDouble:
    case varSingle:
      return RoundTripNumberText(Value.AsDouble());
    case varDate:
      return RoundTripDateText(Value.AsDateTime());
    default:
      return VarToStr(Value);
  }
}

// A value of the cell's condition text: numbers and dates bare, unless a decimal comma would
// split a list; anything else quoted with its quotes doubled.
std::string CellValueText(const Variant& Value) {
  const TVarType type = Value.VarType();
  if (type == varDouble || type == varSingle || type == varDate) {
    const std::string text = OperandPlainText(Value);
    return text.find(',') == std::string::npos ? text : QuotedStr(text);
  }
  return QuotedStr(VarToStr(Value));
}

std::string CellOperatorPart(TSTFilterOpEh Op, const Variant& Value) {
  switch (Op) {
    case fopNullEh:
      return "=Null";
    case fopNotNullEh:
      return "<>Null";
    case fopInEh:
    case fopNotInEh: {
      std::string text = std::string(CellOperatorText(Op)) + " (";
      for (const Variant& v : OperandElements(Value)) text += CellValueText(v) + ",";
      if (text.back() == ',') text.pop_back();
      return text + ")";
    }
    default:
      return std::string(CellOperatorText(Op)) + " " + CellValueText(Value);
  }
}

// Whether Text, written bare where a value belongs, reads back as exactly that one value.
bool ReadsBackBare(const std::string& Text, bool InList) {
  int position = 1;
  TSTFilterOpEh kind = fopNoneEh;
  Variant value;
  try {
    ReadFilterToken(Text, position, kind, value, InList);
  } catch (const Exception&) {
    return false;
  }
  return kind == fopValueEh && VarToStr(value) == Text && static_cast<size_t>(position) > Text.size();
}

std::string DialogQuotedElement(const std::string& Text, TSTFilterOpEh Op) {
  const bool inList = Op == fopInEh || Op == fopNotInEh;
  const std::string upper = AnsiUpperCase(Text);
  auto endsWith = [&upper](const std::string& Tail) {
    return upper.size() >= Tail.size() && upper.compare(upper.size() - Tail.size(), Tail.size(), Tail) == 0;
  };
  const bool quote = (inList && Text.find(',') != std::string::npos) || CharAtEh(Text, 1) == ' ' ||
                     CharAtEh(Text, 1) == '\'' || (!Text.empty() && Text.back() == ' ') || endsWith(" OR") ||
                     endsWith(" AND") || upper == "OR" || upper == "AND" || !ReadsBackBare(Text, inList);
  return quote ? QuotedStr(Text) : Text;
}

// Looks Value up in DataSet's KeyField and answers its ListField (or the other way round).
Variant LookupListValue(TDataSet* DataSet, const std::string& From, const Variant& Value,
                        const std::string& To) {
  if (VarIsNull(Value) || VarIsEmpty(Value)) return Variant::Null();
  return DataSet->Lookup(From, Value, To);
}

// The lookup field behind a column while its data set is open; nullptr otherwise.
TField* ActiveLookupField(TColumnEh* Column) {
  TCustomDBGridEh* grid = Column ? Column->Grid() : nullptr;
  TDataSet* dataSet = grid ? grid->DataLink()->DataSet() : nullptr;
  if (!dataSet || !dataSet->Active()) return nullptr;
  TField* field = Column->GetField();
  return field && field->FieldKind() == fkLookup ? field : nullptr;
}

bool ListDataSetEditing(TDataSet* DataSet) {
  return DataSet->State() == dsEdit || DataSet->State() == dsInsert;
}

}  // namespace filter_model_detail

using namespace filter_model_detail;

// --- the condition as text ---------------------------------------------------------------------

std::string TSTColumnFilterEh::GetExpressionAsText() {
  const TSTFilterExpressionEh& e = expression_;
  if (e.ValueKind == fvkNoneEh || e.Operator1 == fopNoneEh) return "";
  if (ListSource()) {
    // A list source shows the chosen values alone.
    if (!VarIsArray(e.Operand1)) return OperandPlainText(e.Operand1);
    std::string text;
    for (const Variant& v : OperandElements(e.Operand1))
      text += (text.empty() ? "" : ",") + QuotedStr(VarToStr(v));
    return text;
  }
  std::string text = CellOperatorPart(e.Operator1, e.Operand1);
  if (e.Relation == fopAndEh || e.Relation == fopOrEh)
    text += std::string(" ") + CellOperatorText(e.Relation) + " " + CellOperatorPart(e.Operator2, e.Operand2);
  return text;
}

std::string TSTColumnFilterEh::GetOperandAsQuotedText(const Variant& Value, TSTFilterOpEh Op) {
  std::string text;
  for (const Variant& v : OperandElements(Value))
    text += (text.empty() ? "" : ",") + DialogQuotedElement(OperandPlainText(v), Op);
  return text;
}

bool TSTColumnFilterEh::CanShowList() {
  return true;
}

// --- setting the condition ---------------------------------------------------------------------

// Parsed aside first: a text the parser refuses leaves condition, text and key value as they were.
void TSTColumnFilterEh::SetExpressionStr(const std::string& Value) {
  TCustomDBGridEh* grid = Grid();
  TSTFilterExpressionEh parsed;
  parsed.ValueKind = FilterValueKindOf(column_);
  const int defaultOperator =
      grid && grid->Center() ? grid->Center()->DefaultFilterOperatorFor(grid, column_, parsed) : 0;
  ParseFilterExpression(Value, parsed, defaultOperator);

  TSTFilterExpressionEh oldExpression = std::move(expression_);
  Variant oldKey = keyValue_;
  TScopeFail restore([&] {
    expression_ = std::move(oldExpression);
    keyValue_ = oldKey;
  });
  expression_ = std::move(parsed);
  if (!listSource_) TranslatePickKeyOperands();
  const std::string keyField = GetKeyField(), listField = GetListField();
  TDataSet* listDataSet = GetListDataSet();
  if (!keyField.empty() && listDataSet && !listField.empty() && TakesOperand(expression_.Operator1))
    keyValue_ = MapOperandElements(expression_.Operand1, [&](const Variant& v) {
      return LookupListValue(listDataSet, listField, v, keyField);
    });
  expressionStr_ = Value;
  if (grid) grid->STFilterChanged(column_);
}

void TSTColumnFilterEh::UpdateExpressionFromText() {
  SetExpressionStr(expressionStr_);
}

void TSTColumnFilterEh::TranslatePickKeyOperands() {
  if (!column_ || !column_->HasKeyListItems() || !column_->HasPickListItems()) return;
  TStrings* picks = column_->PickList();
  TStrings* keys = column_->KeyList();
  auto toKey = [picks, keys](const Variant& v) { return ListedCounterpart(picks, keys, v); };
  if (TakesOperand(expression_.Operator1))
    expression_.Operand1 = MapOperandElements(expression_.Operand1, toKey);
  if (TakesOperand(expression_.Operator2))
    expression_.Operand2 = MapOperandElements(expression_.Operand2, toKey);
}

Variant TSTColumnFilterEh::GetOperand1() {
  return GetKeyField().empty() ? expression_.Operand1 : keyValue_;
}

// The second part's key values are looked up as they are asked for: only the first is kept.
Variant TSTColumnFilterEh::GetOperand2() {
  const std::string keyField = GetKeyField(), listField = GetListField();
  TDataSet* listDataSet = GetListDataSet();
  if (keyField.empty() || !listDataSet || listField.empty() || !TakesOperand(expression_.Operator2))
    return expression_.Operand2;
  return MapOperandElements(expression_.Operand2, [&](const Variant& v) {
    return LookupListValue(listDataSet, listField, v, keyField);
  });
}

void TSTColumnFilterEh::Clear() {
  SetExpressionStr("");
  keyValue_ = Unassigned();
  TCustomDBGridEh* grid = Grid();
  if (!grid) return;
  grid->Invalidate();
  if (grid->FilterEdit() && grid->FilterEdit()->Visible()) grid->PlaceFilterEditor(true);
}

// --- keys shown as picked ----------------------------------------------------------------------

bool dbgrid_detail::ShowsKeysAsPicks(TColumnEh* Column) {
  return Column && !Column->STFilter()->ListSource() && Column->HasKeyListItems() &&
         Column->HasPickListItems();
}

std::string dbgrid_detail::KeyAsPick(TColumnEh* Column, const std::string& Key) {
  if (!ShowsKeysAsPicks(Column)) return Key;
  return VarToStr(ListedCounterpart(Column->KeyList(), Column->PickList(), Variant(Key)));
}

Variant dbgrid_detail::KeysAsPicks(TColumnEh* Column, const Variant& Operand) {
  if (!ShowsKeysAsPicks(Column)) return Operand;
  return MapOperandElements(Operand, [Column](const Variant& v) {
    return ListedCounterpart(Column->KeyList(), Column->PickList(), v);
  });
}

// --- the lookup defaults -----------------------------------------------------------------------

std::string TSTColumnFilterEh::GetDataField() {
  if (!dataField_.empty()) return dataField_;
  if (TField* lookup = ActiveLookupField(column_))
    if (!lookup->KeyFields().empty()) return lookup->KeyFields();
  return column_ ? column_->FieldName() : std::string();
}

std::string TSTColumnFilterEh::GetKeyField() {
  if (!keyField_.empty()) return keyField_;
  TField* lookup = ActiveLookupField(column_);
  return lookup ? lookup->LookupKeyFields() : std::string();
}

TDataSet* TSTColumnFilterEh::GetListDataSet() {
  if (listSource_) return listSource_->DataSet();
  TField* lookup = ActiveLookupField(column_);
  return lookup ? lookup->LookupDataSet() : nullptr;
}

std::string TSTColumnFilterEh::GetListField() {
  if (!listField_.empty()) return listField_;
  TField* lookup = ActiveLookupField(column_);
  return lookup ? lookup->LookupResultField() : std::string();
}

// --- the key and list values -------------------------------------------------------------------

// The walk leaves the list data set where it was; one that is being edited is not walked, so
// its pending edit is never posted from here.
void TSTColumnFilterEh::FillKeyAndListValues() {
  keyValues_->Clear();
  listValues_->Clear();
  if (column_) column_->ReleaseFilterValueList();
  TDataSet* dataSet = listSource_ ? listSource_->DataSet() : nullptr;
  if (!dataSet || !dataSet->Active() || listField_.empty() || keyField_.empty() ||
      ListDataSetEditing(dataSet))
    return;
  TField* list = dataSet->FindField(listField_);
  TField* key = dataSet->FindField(keyField_);
  if (!list || !key) return;
  const TBookmark place = dataSet->Bookmark();
  dataSet->DisableControls();
  TScopeExit restore([dataSet, &place] {
    if (!place.empty() && dataSet->BookmarkValid(place)) dataSet->GotoBookmark(place);
    dataSet->EnableControls();
  });
  for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
    listValues_->Add(list->AsString());
    keyValues_->Add(key->AsString());
  }
}

IMemTableDataFieldValueListEh* TSTColumnFilterEh::GetListFieldValueList() {
  auto* list = new TDatasetFieldValueListEh();
  list->SetDataSource(listSource_);
  list->SetFieldName(GetListField());
  return list;
}

// --- ticking the value list --------------------------------------------------------------------

void TSTColumnFilterEh::CheckStatesFromExpression() {
  if (!ListItems) return;
  CheckStates.assign(static_cast<size_t>(ListItems->Count()), 0);
  const TSTFilterExpressionEh& e = expression_;
  std::vector<Variant> values;
  if (e.Operator1 == fopInEh) {
    values = OperandElements(e.Operand1);
  } else if (e.Operator1 == fopEqualEh && e.Relation == fopOrEh && e.Operator2 == fopEqualEh) {
    values = {e.Operand1, e.Operand2};
  } else if (e.Operator1 == fopEqualEh && e.Relation == fopNoneEh) {
    values = {e.Operand1};
  }
  // The operands keep the shown values (the keys of a list source live in the key value), so
  // they are compared as they stand.
  const bool pickKeys = column_ && column_->HasKeyListItems() && column_->HasPickListItems();
  for (const Variant& value : values) {
    std::string text = VarToStr(value);
    if (pickKeys) {
      const int index = column_->KeyList()->IndexOf(text);
      if (index >= 0 && index < column_->PickList()->Count()) text = column_->PickList()->Strings(index);
    }
    for (int i = 0; i < ListItems->Count(); ++i)
      if (ListItems->Objects(i) == PopupListboxItemEhData() && ListItems->Strings(i) == text)
        CheckStates[static_cast<size_t>(i)] = 1;
  }
}

void TSTColumnFilterEh::SetExpressionFromCheckStates() {
  if (!ListItems) return;
  TField* field = column_ ? column_->GetField() : nullptr;
  const TSTFilterValueKindEh kind = field ? FilterValueKindOf(field->DataType()) : fvkNoneEh;
  const bool nullable = kind == fvkNumberEh || kind == fvkDateTimeEh || kind == fvkBooleanEh;
  std::string values;
  int count = 0;
  bool wantsNull = false;
  for (int i = 0; i < ListItems->Count() && i < static_cast<int>(CheckStates.size()); ++i) {
    if (ListItems->Objects(i) != PopupListboxItemEhData() || CheckStates[static_cast<size_t>(i)] != 1)
      continue;
    const std::string text = ListItems->Strings(i);
    if (nullable && text.empty()) {
      wantsNull = true;
      continue;
    }
    values += (count++ ? "," : "") + QuotedStr(text);
  }
  std::string condition;
  if (count == 1) condition = "=" + values;
  if (count > 1) condition = "in (" + values + ")";
  if (wantsNull) condition = count ? condition + " OR =Null " : "=Null";
  SetExpressionStr(condition);
  TCustomDBGridEh* grid = Grid();
  if (!grid) return;
  if (grid->FilterEdit() && grid->FilterEdit()->Visible()) grid->FilterEdit()->SetText(condition);
  if (grid->STFilter()->InstantApply()) grid->ApplyFilter();
}
