// Fuzz target for the filter row's texts: what a user types into a filter cell goes through the
// grid's parser, the parsed conditions through the filter writer, and the written text into an
// in-memory data set's Filter.
//
// Input: the first byte picks the value kind (byte % 5), the default-operator code
// (byte / 5 % 17), the decimal separator ("," when byte / 85 is odd), and from its bits whether
// the filter reads Like (0x40 clear) and writes null tests in the equality form (0x20 set); the
// rest is the cell's text.
//
// The parser may refuse a text only with one of its seven messages followed by the text, or with
// the platform's conversion error for a number or a date. A parsed expression holds only
// operators a filter text can carry, and operands of the kind its column compares. The written
// text either filters the data set or is refused by the data set's own filter error, which leaves
// its records and its Filter as they were.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/db/DB.h"
#include "platform/db/FilterExpression.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

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

// The field each value kind filters; kind none and Boolean texts stay text, so "other" uses the
// string field.
const char* FieldOf(TSTFilterValueKindEh Kind) {
  switch (Kind) {
    case fvkNumberEh:
      return "Amount";
    case fvkDateTimeEh:
      return "Ship Date";
    case fvkBooleanEh:
      return "Flag";
    case fvkNoneEh:
    case fvkStringEh:
      break;
  }
  return "Name";
}

std::unique_ptr<TMemoryDataSet> MakeDataSet() {
  auto ds = std::make_unique<TMemoryDataSet>(nullptr);
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Amount", ftFloat, 0);
  ds->FieldDefs()->Add("Ship Date", ftDateTime, 0);
  ds->FieldDefs()->Add("Flag", ftBoolean, 0);
  const TDateTime day = EncodeDate(2024, 1, 5), time = EncodeTime(10, 30, 0, 0);
  ds->LoadFromRows({
      {Variant("O'Brien"), Variant(12.5), Variant::FromDate(day + time), Variant(true)},
      {Variant("a,b"), Variant(-0.5), Variant::FromDate(-1.5), Variant(false)},
      {Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()},
      {Variant("%_x"), Variant(1e300), Variant::FromDate(day), Variant(true)},
      {Variant("NOW"), Variant(0.0), Variant::FromDate(0.0), Variant(false)},
  });
  return ds;
}

// ISO 8601 in quotes, the form the in-memory data set reads whatever the locale.
std::string IsoDate(TDateTime Value) {
  Word y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDateTime(Value, y, mo, d, h, mi, s, ms);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "'%04u-%02u-%02u %02u:%02u:%02u.%03u'", unsigned{y}, unsigned{mo},
                unsigned{d}, unsigned{h}, unsigned{mi}, unsigned{s}, unsigned{ms});
  return buffer;
}

bool IsCondition(TSTFilterOpEh Op) {
  return Op >= fopEqualEh && Op <= fopNotNullEh;
}

// One value of a compared operand, converted by the kind: a number a Double, a date a date-time
// or the text NOW, anything else text.
void CheckValue(const Variant& Value, TSTFilterValueKindEh Kind) {
  switch (Kind) {
    case fvkNumberEh:
      if (Value.VarType() != varDouble) Fail("a number operand is no Double");
      return;
    case fvkDateTimeEh:
      if (Value.VarType() == varDate) return;
      if (Value.IsString() && SameText(VarToStr(Value), "NOW")) return;
      Fail("a date operand is neither a date-time nor NOW");
    case fvkNoneEh:
    case fvkStringEh:
    case fvkBooleanEh:
      if (!Value.IsString()) Fail("a text operand is no string");
      return;
  }
}

void CheckPart(TSTFilterOpEh Op, const Variant& Operand, TSTFilterValueKindEh Kind) {
  if (!IsCondition(Op)) Fail("an operator no filter text holds");
  if (Op == fopNullEh || Op == fopNotNullEh) {
    if (!Operand.IsEmpty()) Fail("a null test keeps an operand");
    return;
  }
  if (Operand.IsArray()) {
    // A single-value operator cannot write a list.
    if (Op != fopInEh && Op != fopNotInEh) Fail("a list after a single-value operator");
    if (Operand.LowBound() > Operand.HighBound()) Fail("an empty list");
    for (int i = Operand.LowBound(); i <= Operand.HighBound(); ++i) CheckValue(Operand.GetElement(i), Kind);
    return;
  }
  CheckValue(Operand, Kind);
}

int CountWalking(TMemoryDataSet& ds) {
  int n = 0;
  for (ds.First(); !ds.Eof(); ds.Next()) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const unsigned first = data[0];
  const auto kind = static_cast<TSTFilterValueKindEh>(first % 5);
  const int defaultOperator = static_cast<int>(first / 5 % 17);
  const bool comma = first / 85 % 2 == 1;
  const bool likeSupported = (first & 0x40) == 0;
  const bool useEqualNull = (first & 0x20) != 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  TFormatSettings locale;
  if (comma) {
    locale.DecimalSeparator = ",";
    locale.ThousandSeparator = ".";
  }
  TFormatSettingsScope scope{locale};

  TSTFilterExpressionEh expression;
  expression.ValueKind = kind;
  try {
    ParseFilterExpression(text, expression, defaultOperator);
  } catch (const EConvertError&) {
    if (kind != fvkNumberEh && kind != fvkDateTimeEh) Fail("a conversion error for an operand kept as text");
    return 0;
  } catch (const Exception& e) {
    if (typeid(e) != typeid(Exception)) Fail("the parser raised a foreign error", e.Message());
    const std::string& message = e.Message();
    bool known = false;
    for (const char* prefix : kParseErrors) {
      const std::string p = prefix;
      if (message.compare(0, p.size(), p) != 0) continue;
      const std::string rest = message.substr(p.size());
      known = rest == text || rest == Trim(text);
      break;
    }
    if (!known) Fail("an unknown parse error", message);
    if (expression.ValueKind != kind) Fail("a refused text changed the value kind");
    return 0;
  }

  // What was parsed: operators a filter text holds, operands as the kind compares them.
  if (expression.ValueKind != kind) Fail("parsing changed the value kind");
  if (Trim(text).empty()) {
    if (expression.Operator1 != fopNoneEh || expression.Relation != fopNoneEh ||
        expression.Operator2 != fopNoneEh)
      Fail("an empty text gave a condition");
    return 0;
  }
  // The fallback takes the whole text as a Like pattern, unconverted whatever the kind.
  const bool fallback = expression.Operator1 == fopLikeEh && expression.Relation == fopNoneEh &&
                        expression.Operand1.IsString() && VarToStr(expression.Operand1) == Trim(text);
  CheckPart(expression.Operator1, expression.Operand1, fallback ? fvkStringEh : kind);
  if (expression.Relation == fopNoneEh) {
    if (expression.Operator2 != fopNoneEh || !expression.Operand2.IsEmpty())
      Fail("a second part without relation");
  } else if (expression.Relation == fopAndEh || expression.Relation == fopOrEh) {
    CheckPart(expression.Operator2, expression.Operand2, kind);
  } else {
    Fail("a relation other than AND or OR");
  }

  // The filter text, put together as a column does.
  auto ds = MakeDataSet();
  const std::string field = FieldOf(kind);
  std::string filter;
  BuildConditionText(expression.Operator1, expression.Operand1, field, ds.get(), IsoDate, likeSupported,
                     useEqualNull, filter);
  if (filter.empty()) Fail("a condition wrote no text");
  if (expression.Relation != fopNoneEh) {
    const bool isOr = expression.Relation == fopOrEh;
    std::string second;
    BuildConditionText(expression.Operator2, expression.Operand2, field, ds.get(), IsoDate, likeSupported,
                       useEqualNull, second);
    if (second.empty()) Fail("a second condition wrote no text");
    filter += std::string(" ") + (isOr ? "OR" : "AND") + second;
    if (isOr) filter = "(" + filter + ")";
  }
  if (filter.find("[" + field + "]") == std::string::npos) Fail("a condition names no field", filter);

  // The data set takes the text or refuses it and stays as it was.
  ds->SetFiltered(true);
  const int all = ds->RecordCount();
  try {
    ds->SetFilter(filter);
  } catch (const EDatabaseError&) {
    if (ds->Filter() != "") Fail("a refused filter stayed", filter);
    if (!ds->Filtered()) Fail("a refused filter switched filtering off");
    if (ds->RecordCount() != all || CountWalking(*ds) != all) Fail("a refused filter hid records", filter);
    return 0;
  } catch (const EFilterExpressionError&) {
    if (ds->Filter() != "") Fail("a refused filter stayed", filter);
    if (ds->RecordCount() != all || CountWalking(*ds) != all) Fail("a refused filter hid records", filter);
    return 0;
  }
  if (ds->Filter() != filter) Fail("an accepted filter was not kept");
  const int kept = CountWalking(*ds);
  if (kept != ds->RecordCount()) Fail("RecordCount differs from the records walked", filter);
  if (kept > all) Fail("a filter added records", filter);
  ds->SetFiltered(false);
  if (CountWalking(*ds) != all) Fail("lifting the filter lost records", filter);
  return 0;
}
