// The filter writer: literals, one condition, a column's conditions and a grid's filter text.
#include <string_view>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/NumberFormat.h"

namespace filter_text_detail {

const char* OperatorText(TSTFilterOpEh Operator) {
  switch (Operator) {
    case fopEqualEh:
      return "=";
    case fopNotEqualEh:
      return "<>";
    case fopGreaterEh:
      return ">";
    case fopLessEh:
      return "<";
    case fopGreaterOrEqualEh:
      return ">=";
    case fopLessOrEqualEh:
      return "<=";
    case fopLikeEh:
      return "LIKE";
    case fopNotLikeEh:
      return "NOT LIKE";
    case fopInEh:
      return "IN";
    case fopNotInEh:
      return "NOT IN";
    case fopNullEh:
      return "IS NULL";
    case fopNotNullEh:
      return "IS NOT NULL";
    case fopAndEh:
      return "AND";
    case fopOrEh:
      return "OR";
    case fopEqualNullEh:
      return "= NULL";
    case fopNotEqualNullEh:
      return "<> NULL";
    case fopNoneEh:
    case fopValueEh:
      break;
  }
  return "";
}

bool IsNullForm(TSTFilterOpEh Operator) {
  return Operator == fopNullEh || Operator == fopNotNullEh || Operator == fopEqualNullEh ||
         Operator == fopNotEqualNullEh;
}

// An empty text: on screen it looks as a Null does, so a condition on it takes Nulls too.
bool IsEmptyText(const Variant& Value) {
  std::string_view text;
  return Value.TryTextView(text) && text.empty();
}

// Removes up to Count characters from the end, never more than the text holds.
void DropTail(std::string& Text, size_t Count) {
  Text.erase(Text.size() - std::min(Count, Text.size()));
}

std::string FilterFieldName(TColumnEh* Column, bool UseFieldOrigin) {
  TField* field = Column->GetField();
  if (!field) return {};
  const std::string& dataField = Column->STFilter()->DataField();
  if (UseFieldOrigin && !field->Origin().empty() && dataField.empty()) return field->Origin();
  return dataField.empty() ? Column->FieldName() : dataField;
}

}  // namespace filter_text_detail

std::string QuoteFilterValue(const Variant& Value, const TFilterDateFormatterEh& DateFormatter) {
  const TVarType type = Value.VarType();
  // A filter reads numbers with "." only, whatever the user's locale says.
  if (type == varDouble || type == varSingle) return FloatToStrInvariant(Value.AsDouble());
  if (type == varDate) {
    if (DateFormatter) return DateFormatter(Value.AsDateTime());
    return "'" + DateTimeToStr(Value.AsDateTime()) + "'";
  }
  std::string quoted = "'";
  for (char c : VarToStr(Value)) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  return quoted + "'";
}

void BuildConditionText(TSTFilterOpEh Operator, const Variant& Operand, const std::string& FieldName,
                        TDataSet* /*DataSet*/, const TFilterDateFormatterEh& DateFormatter,
                        bool LikeSupported, bool UseEqualNull, std::string& Text) {
  using namespace filter_text_detail;
  if (UseEqualNull) {
    if (Operator == fopNullEh) Operator = fopEqualNullEh;
    if (Operator == fopNotNullEh) Operator = fopNotEqualNullEh;
  }
  const std::string field = "[" + FieldName + "]";
  switch (Operator) {
    case fopEqualEh:
      if (!IsEmptyText(Operand)) break;
      [[fallthrough]];
    case fopInEh:
    case fopNotInEh: {
      if (Operator == fopNotInEh) Text += " NOT";
      Text += " (";
      std::string items;
      bool empty = false;
      auto add = [&](const Variant& Value) {
        items += field + " = " + QuoteFilterValue(Value, DateFormatter) + " OR ";
        empty = empty || IsEmptyText(Value);
      };
      if (Operand.IsArray()) {
        for (int i = VarArrayLowBound(Operand, 1); i <= VarArrayHighBound(Operand, 1); ++i)
          add(Operand.GetElement(i));
      } else {
        add(Operand);
      }
      DropTail(items, 4);
      // The empty text's Null twin, in the form the null tests take.
      if (empty) items += " OR " + field + " " + OperatorText(UseEqualNull ? fopEqualNullEh : fopNullEh);
      Text += items + ")";
      return;
    }
    case fopLikeEh:
      Text += " " + field + (LikeSupported ? " Like " : " = ") + QuoteFilterValue(Operand, DateFormatter);
      return;
    case fopNotLikeEh:
      if (LikeSupported)
        Text += " Not ( " + field + " Like " + QuoteFilterValue(Operand, DateFormatter) + ")";
      else
        Text += " " + field + " <> " + QuoteFilterValue(Operand, DateFormatter);
      return;
    default:
      break;
  }
  Text += " " + field + " " + OperatorText(Operator);
  if (!IsNullForm(Operator)) Text += " " + QuoteFilterValue(Operand, DateFormatter);
}

std::string BuildColumnFilterText(TColumnEh* Column, const TFilterConditionBuilderEh& Builder,
                                  const TFilterDateFormatterEh& DateFormatter, bool UseEqualNull,
                                  bool LikeSupported, bool UseFieldOrigin) {
  using namespace filter_text_detail;
  if (!Column || !Column->GetField()) return {};
  const TSTFilterExpressionEh& expression = Column->STFilter()->Expression();
  if (expression.ValueKind == fvkNoneEh || expression.Operator1 == fopNoneEh) return {};
  const TFilterConditionBuilderEh& build = Builder ? Builder : TFilterConditionBuilderEh(BuildConditionText);
  const std::string name = FilterFieldName(Column, UseFieldOrigin);
  TDataSet* dataSet = Column->GetField()->DataSet();
  std::string text;
  build(expression.Operator1, expression.Operand1, name, dataSet, DateFormatter, LikeSupported, UseEqualNull,
        text);
  if (expression.Relation != fopNoneEh) {
    text += std::string(" ") + OperatorText(expression.Relation);
    build(expression.Operator2, expression.Operand2, name, dataSet, DateFormatter, LikeSupported,
          UseEqualNull, text);
    if (expression.Relation == fopOrEh) text = "(" + text + ")";
  }
  return text;
}

void BuildGridFilterText(TCustomDBGridEh* Grid, const TFilterConditionBuilderEh& Builder,
                         const TFilterDateFormatterEh& DateFormatter, std::string& Text, bool UseEqualNull,
                         bool LikeSupported, bool UseFieldOrigin) {
  Text.clear();
  if (!Grid) return;
  TDBGridColumnsEh* columns = Grid->Columns();
  for (int i = 0; i < columns->Count(); ++i) {
    const std::string column = BuildColumnFilterText(columns->GetColumn(i), Builder, DateFormatter,
                                                     UseEqualNull, LikeSupported, UseFieldOrigin);
    if (!column.empty()) Text += column + " AND ";
  }
  // " AND " less its last four characters keeps one blank; nothing to cut when no column filters.
  if (!Text.empty()) filter_text_detail::DropTail(Text, 4);
}

TSTFilterValueKindEh FilterValueKindOf(TFieldType DataType) {
  switch (DataType) {
    case ftString:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftCursor:
    case ftFixedChar:
    case ftWideString:
    case ftADT:
    case ftArray:
    case ftOraBlob:
    case ftOraClob:
    case ftVariant:
    case ftGuid:
      return fvkStringEh;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
    case ftFMTBcd:
      return fvkNumberEh;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
      return fvkDateTimeEh;
    case ftBoolean:
      return fvkBooleanEh;
    default:
      return fvkNoneEh;
  }
}

TSTFilterValueKindEh FilterValueKindOf(TColumnEh* Column) {
  if (!Column) return fvkNoneEh;
  // Picked texts stand for the keys: the user types and sees strings.
  if (Column->HasKeyListItems() && Column->HasPickListItems()) return fvkStringEh;
  return Column->GetField() ? FilterValueKindOf(Column->GetField()->DataType()) : fvkNoneEh;
}
