#include "grid/data/DataRoutinesEh.h"

#include <algorithm>

#include "grid/data/SharedTypesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool IsNoValue(const Variant& v) {
  return v.IsNull() || v.IsEmpty();
}

// The elements of an array in index order (last dimension fastest).
std::vector<Variant> ArrayElements(const Variant& v) {
  int dims = v.DimCount();
  std::vector<int> idx(static_cast<size_t>(dims));
  for (int d = 0; d < dims; ++d) {
    if (v.HighBound(d + 1) < v.LowBound(d + 1)) return {};
    idx[static_cast<size_t>(d)] = v.LowBound(d + 1);
  }
  std::vector<Variant> out;
  for (;;) {
    out.push_back(dims == 1 ? v.GetElement(idx[0]) : v.GetElement(idx));
    int d = dims - 1;
    while (d >= 0 && idx[static_cast<size_t>(d)] == v.HighBound(d + 1)) {
      idx[static_cast<size_t>(d)] = v.LowBound(d + 1);
      --d;
    }
    if (d < 0) return out;
    ++idx[static_cast<size_t>(d)];
  }
}

bool SameShape(const Variant& a, const Variant& b) {
  if (a.DimCount() != b.DimCount()) return false;
  for (int d = 1; d <= a.DimCount(); ++d)
    if (a.LowBound(d) != b.LowBound(d) || a.HighBound(d) != b.HighBound(d)) return false;
  return true;
}

std::vector<std::string> SplitNameList(const std::string& names) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos <= names.size()) {
    size_t end = names.find(';', pos);
    if (end == std::string::npos) end = names.size();
    std::string name = Trim(names.substr(pos, end - pos));
    if (!name.empty()) out.push_back(name);
    pos = end + 1;
  }
  return out;
}

bool FieldIsCurrency(TField* f) {
  if (f->DataType() == ftCurrency) return true;
  if (auto* ff = dynamic_cast<TFloatField*>(f)) return ff->IsCurrency();
  if (auto* bf = dynamic_cast<TBCDField*>(f)) return bf->IsCurrency();
  if (auto* mf = dynamic_cast<TFMTBCDField*>(f)) return mf->IsCurrency();
  return false;
}

}  // namespace

bool VarEquals(const Variant& A, const Variant& B) {
  if (A.IsArray() || B.IsArray()) {
    if (!A.IsArray() || !B.IsArray() || !SameShape(A, B)) return false;
    std::vector<Variant> x = ArrayElements(A), y = ArrayElements(B);
    for (size_t i = 0; i < x.size(); ++i)
      if (!VarEquals(x[i], y[i])) return false;
    return true;
  }
  if (IsNoValue(A) || IsNoValue(B)) return IsNoValue(A) && IsNoValue(B);
  try {
    return VarCompareValue(A, B) == TVariantRelationship::vrEqual;
  } catch (const Exception&) {
    return false;  // values that cannot be compared differ
  }
}

TVariantRelationship DBVarCompareValues(const Variant& A, const Variant& B) {
  using enum TVariantRelationship;
  bool na = IsNoValue(A), nb = IsNoValue(B);
  if (na || nb) return na && nb ? vrEqual : na ? vrLessThan : vrGreaterThan;
  if (A.IsArray() || B.IsArray()) {
    if (!A.IsArray() || !B.IsArray() || A.DimCount() != B.DimCount()) return vrNotEqual;
    std::vector<Variant> x = ArrayElements(A), y = ArrayElements(B);
    size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
      TVariantRelationship r = DBVarCompareValues(x[i], y[i]);
      if (r != vrEqual) return r;
    }
    if (x.size() == y.size()) return vrEqual;
    return x.size() < y.size() ? vrLessThan : vrGreaterThan;
  }
  try {
    return VarCompareValue(A, B);
  } catch (const Exception&) {
    return vrNotEqual;
  }
}

std::string FormatValueLikeField(const std::string& FormatStr, const Variant& Value, TField* Field) {
  if (IsNoValue(Value)) return "";
  if (!Field || Value.IsArray()) return Value.IsArray() ? "" : VarToStr(Value);
  switch (Field->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: {
      if (!FormatStr.empty()) {
        if (Value.VarType() == varCurrency) return FormatCurr(FormatStr, Value.AsCurrency());
        return FormatFloat(FormatStr, Value.AsExtended());
      }
      if (FieldIsCurrency(Field))
        return FloatToStrF(Value.AsExtended(), ffCurrency, 15, FormatSettings().CurrencyDecimals);
      return VarToStr(Value);
    }
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: {
      std::string fmt = FormatStr;
      if (fmt.empty())
        if (auto* df = dynamic_cast<TDateTimeField*>(Field)) fmt = df->DisplayFormat();
      if (fmt.empty()) fmt = Field->DataType() == ftDate ? FormatSettings().ShortDateFormat : "c";
      return FormatDateTime(fmt, Value.AsDateTime());
    }
    default:
      return VarToStr(Value);
  }
}

int LocateTextInStrings(TStrings* Strings, const std::string& Text, bool CaseInsensitive) {
  if (!Strings) return -1;
  std::string key = CaseInsensitive ? AnsiUpperCase(Text) : Text;
  for (int i = 0; i < Strings->Count(); ++i) {
    std::string s = Strings->Strings(i);
    if (!CaseInsensitive) {
      if (s.compare(0, Text.size(), Text) == 0) return i;
      continue;
    }
    // Simple case mapping maps each character on its own, so a prefix stays a prefix.
    std::string upper = AnsiUpperCase(s);
    if (upper.compare(0, key.size(), key) == 0) return i;
  }
  return -1;
}

bool FieldsCanModify(const std::vector<TField*>& Fields) {
  return std::all_of(Fields.begin(), Fields.end(), [](TField* f) { return f && f->CanModify(); });
}

void GetFieldsList(std::vector<TField*>* List, TDataSet* DataSet, TComponent* Control,
                   const std::string& FieldNames) {
  for (const std::string& name : SplitNameList(FieldNames)) {
    TField* f = DataSet ? DataSet->FindField(name) : nullptr;
    if (!f) DatabaseErrorFmt(SFieldNotFound, {name}, Control ? Control : DataSet);
    if (List) List->push_back(f);
  }
}

std::vector<TField*> GetFieldsArray(TDataSet* DataSet, const std::string& FieldNames, TComponent* Control) {
  std::vector<TField*> out;
  GetFieldsList(&out, DataSet, Control, FieldNames);
  return out;
}

void SetDataSetFieldValues(TDataSet* DataSet, const std::string& FieldNames, const Variant& Value) {
  std::vector<TField*> fields = GetFieldsArray(DataSet, FieldNames);
  if (IsNoValue(Value)) {
    for (TField* f : fields) f->Clear();
    return;
  }
  if (!Value.IsArray()) {
    for (TField* f : fields) f->SetValue(Value);
    return;
  }
  if (fields.size() == 1 && Value.DimCount() == 1 && Value.HighBound(1) == Value.LowBound(1)) {
    fields[0]->SetValue(Value.GetElement(Value.LowBound(1)));
    return;
  }
  if (Value.DimCount() != 1 || Value.HighBound(1) - Value.LowBound(1) + 1 != static_cast<int>(fields.size()))
    throw EInvalidGridOperationEh("The value array does not match the field list");
  for (size_t i = 0; i < fields.size(); ++i)
    fields[i]->SetValue(Value.GetElement(Value.LowBound(1) + static_cast<int>(i)));
}

bool IsNumericFieldType(TFieldType FieldType) {
  switch (FieldType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
      return true;
    default:
      return false;
  }
}
