// TDataSet and its fields: the field list, binding fields to buffer slots, default fields,
// value access, calculated and lookup fields, and the generic Locate/Lookup scans.
#include <algorithm>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TFields)

// --- name helpers ----------------------------------------------------------------------------

std::vector<std::string> SplitFieldNames(const std::string& FieldNames) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= FieldNames.size()) {
    size_t end = FieldNames.find(';', start);
    if (end == std::string::npos) end = FieldNames.size();
    std::string name = Trim(FieldNames.substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}

bool SameFieldName(const std::string& A, const std::string& B) {
  if (A.size() == B.size() && SameText(A, B)) return true;
  auto ascii = [](const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  if (ascii(A) && ascii(B)) return false;
  return AnsiUpperCase(A) == AnsiUpperCase(B);
}

// --- TFields ---------------------------------------------------------------------------------

TFields::TFields(TDataSet* ADataSet) : dataSet_(ADataSet) {}

TFields::~TFields() = default;

void TFields::Changed() {
  if (dataSet_ && !dataSet_->ComponentState().Contains(csDestroying))
    dataSet_->DataEvent(deFieldListChange, 0);
  OnChange(this);
}

void TFields::Add(TField* Field) {
  if (!Field || IndexOf(Field) >= 0) return;
  CheckFieldName(Field->FieldName());
  list_.push_back(Field);
  Changed();
}

void TFields::Remove(TField* Field) {
  auto it = std::find(list_.begin(), list_.end(), Field);
  if (it == list_.end()) return;
  list_.erase(it);
  Changed();
}

void TFields::Clear() {
  if (list_.empty()) return;
  list_.clear();
  Changed();
}

void TFields::CheckFieldName(const std::string& FieldName) const {
  if (FieldName.empty()) DatabaseError(SFieldNameMissing, dataSet_);
  if (FindField(FieldName)) DatabaseErrorFmt(SDuplicateFieldName, {FieldName}, dataSet_);
}

void TFields::CheckFieldNames(const std::string& FieldNames) const {
  for (const std::string& name : SplitFieldNames(FieldNames)) FieldByName(name);
}

TField* TFields::FindField(const std::string& FieldName) const {
  for (TField* f : list_)
    if (f->FieldName() == FieldName) return f;
  for (TField* f : list_)
    if (SameFieldName(f->FieldName(), FieldName)) return f;
  return nullptr;
}

TField* TFields::FieldByName(const std::string& FieldName) const {
  TField* f = FindField(FieldName);
  if (!f) DatabaseErrorFmt(SFieldNotFound, {FieldName}, dataSet_);
  return f;
}

TField* TFields::FieldByNumber(int FieldNo) const {
  for (TField* f : list_)
    if (f->FieldNo() == FieldNo) return f;
  return nullptr;
}

void TFields::GetFieldNames(TStrings* List) const {
  if (!List) return;
  List->BeginUpdate();
  TScopeExit endUpdate([List] { List->EndUpdate(); });
  List->Clear();
  for (TField* f : list_) List->Add(f->FieldName());
}

int TFields::IndexOf(const TField* Field) const {
  auto it = std::find(list_.begin(), list_.end(), Field);
  return it == list_.end() ? -1 : static_cast<int>(it - list_.begin());
}

TField* TFields::Fields(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Fmt("List index out of bounds (%d)", Index));
  return list_[static_cast<size_t>(Index)];
}

void TFields::SetFieldIndex(TField* Field, int Value) {
  int cur = IndexOf(Field);
  if (cur < 0) return;
  Value = std::clamp(Value, 0, Count() - 1);
  if (Value == cur) return;
  list_.erase(list_.begin() + cur);
  list_.insert(list_.begin() + Value, Field);
  Changed();
  // Controls show fields in list order.
  if (dataSet_ && dataSet_->Active()) dataSet_->DataEvent(deLayoutChange, 0);
}

// --- creating and binding fields -------------------------------------------------------------

void TDataSet::CreateFields() {
  for (int i = 0; i < fieldDefs_->Count(); ++i) {
    TFieldDef* def = fieldDefs_->Items(i);
    if (def->Attributes().Contains(faHiddenCol)) continue;
    def->CreateField(this);
  }
}

void TDataSet::DestroyFields() {
  while (fields_->Count() > 0) {
    const int before = fields_->Count();
    TField* f = fields_->Fields(before - 1);
    f->Free();
    // A field leaves the list as it is freed; never loop on one that did not.
    if (fields_->Count() == before) fields_->Remove(f);
  }
}

namespace {
// Type families a field may be bound across: a field of one member reads a definition of another.
int TypeFamily(TFieldType t) {
  switch (t) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      return 1;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
      return 2;
    case ftFloat:
    case ftCurrency:
      return 3;
    case ftBCD:
    case ftFMTBcd:
      return 4;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
      return 5;
    case ftBytes:
    case ftVarBytes:
      return 6;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
      return 7;
    default:
      return 100 + static_cast<int>(t);
  }
}
}  // namespace

void TDataSet::BindFields(bool Binding) {
  if (Binding) {
    dataSlotCount_ = fieldDefs_->Count();
    calcSlotCount_ = 0;
    int next = dataSlotCount_ + 1;
    for (TField* f : *fields_) {
      const TFieldKind kind = f->FieldKind();
      const int defIndex =
          kind == fkData || kind == fkInternalCalc ? fieldDefs_->IndexOf(f->FieldName()) : -1;
      if (defIndex < 0) {
        if (kind == fkData) DatabaseErrorFmt(SFieldNotFound, {f->DisplayName()}, this);
        f->SetFieldNo(next++);
        ++calcSlotCount_;
      } else {
        TFieldDef* def = fieldDefs_->Items(defIndex);
        if (f->DataType() != ftUnknown && def->DataType() != ftUnknown &&
            TypeFamily(f->DataType()) != TypeFamily(def->DataType())) {
          // Types are named without their "ft" prefix: "Integer", "String".
          const TEnumInfo& names = TEnumTraits<TFieldType>::Info();
          DatabaseErrorFmt(SFieldTypeMismatch,
                           {f->DisplayName(), names.NameOf(f->DataType()).substr(2),
                            names.NameOf(def->DataType()).substr(2)},
                           this);
        }
        f->SetFieldNo(defIndex + 1);
      }
    }
  }
  for (TField* f : *fields_) f->Bind(Binding);
}

void TDataSet::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  if (defaultFields_) return;
  for (TField* f : *fields_)
    if (f->Owner() == Root) Proc(f);
}

void TDataSet::SetChildOrder(TComponent* Child, int Order) {
  if (auto* f = dynamic_cast<TField*>(Child); f && fields_->IndexOf(f) >= 0) f->SetIndex(Order);
}

// --- access by name --------------------------------------------------------------------------

int TDataSet::FieldCount() const {
  return fields_->Count();
}

TField* TDataSet::FieldByName(const std::string& FieldName) const {
  return fields_->FieldByName(FieldName);
}

TField* TDataSet::FindField(const std::string& FieldName) const {
  return fields_->FindField(FieldName);
}

TField* TDataSet::FieldByNumber(int FieldNo) const {
  return fields_->FieldByNumber(FieldNo);
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const {
  for (const std::string& name : SplitFieldNames(FieldNames)) List.push_back(FieldByName(name));
}

void TDataSet::GetFieldList(TList* List, const std::string& FieldNames) const {
  for (const std::string& name : SplitFieldNames(FieldNames)) List->Add(FieldByName(name));
}

void TDataSet::GetFieldNames(TStrings* List) const {
  fields_->GetFieldNames(List);
}

Variant TDataSet::FieldValues(const std::string& FieldNames) const {
  std::vector<TField*> list;
  GetFieldList(list, FieldNames);
  if (list.size() == 1) return list[0]->Value();
  std::vector<Variant> values;
  values.reserve(list.size());
  for (TField* f : list) values.push_back(f->Value());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const std::string& FieldNames, const Variant& Value) {
  std::vector<TField*> list;
  GetFieldList(list, FieldNames);
  if (list.size() == 1) {
    list[0]->SetValue(Value);
    return;
  }
  if (!Value.IsArray()) throw EVariantBadIndexError("Variant or safe array index out of bounds");
  const int low = Value.LowBound(1);
  for (size_t i = 0; i < list.size(); ++i) list[i]->SetValue(Value.GetElement(low + static_cast<int>(i)));
}

// --- values ----------------------------------------------------------------------------------

TRecordBuffer* TDataSet::ReadBuffer() {
  // A descendant's reading of another record (SetReadingBuffer) answers in the states a
  // reader meets: browse, edit and insert, and a filter test run outside the filter event.
  switch (state_) {
    case dsInactive:
    case dsOpening:
      return nullptr;
    case dsCalcFields:
    case dsInternalCalc:
      if (calcBuffer_) return calcBuffer_;
      break;
    case dsFilter:
      if (filterBuffer_) return filterBuffer_;
      if (readingBuffer_) return readingBuffer_;
      break;
    case dsOldValue:
      if (hasOldBuffer_) return &oldBuffer_;
      break;
    case dsEdit:
    case dsInsert:
      if (readingBuffer_) return readingBuffer_;
      return buffers_.empty() ? nullptr : &ActiveBuffer();
    case dsSetKey:
      return buffers_.empty() ? nullptr : &ActiveBuffer();
    case dsBrowse:
      if (readingBuffer_) return readingBuffer_;
      break;
    default:
      break;
  }
  if (buffers_.empty() || IsEmpty()) return nullptr;
  return &BufferAt(activeRecord_);
}

bool TDataSet::GetFieldData(const TField* Field, Variant& Value) {
  TRecordBuffer* buffer = ReadBuffer();
  const int slot = Field ? Field->FieldNo() - 1 : -1;
  if (!buffer || slot < 0 || static_cast<size_t>(slot) >= buffer->Values.size()) {
    Value = Variant::Null();
    return false;
  }
  Value = buffer->Values[static_cast<size_t>(slot)];
  if (Value.IsEmpty()) Value = Variant::Null();
  return true;
}

bool TDataSet::ReadFieldOf(TRecordBuffer& Buffer, const TField* Field, Variant& Value) {
  if (Buffer.StoredRecord == TRecordBuffer::kValuesHere) {
    const int slot = Field->FieldNo() - 1;
    const bool has = slot >= 0 && static_cast<size_t>(slot) < Buffer.Values.size();
    Value = has ? Buffer.Values[static_cast<size_t>(slot)] : Variant::Null();
    return has;
  }
  // Only the descendant knows where the values of a buffer that names its record are.
  const TDataSetState saved = SetTempState(dsCalcFields);
  TScopeExit restoreState([this, saved] { RestoreState(saved); });
  TValueRestorer<TRecordBuffer*> keepCalc(calcBuffer_, &Buffer);
  return GetFieldData(Field, Value);
}

void TDataSet::SetFieldData(TField* Field, const Variant& Value) {
  switch (state_) {
    case dsEdit:
    case dsInsert:
    case dsSetKey:
    case dsFilter:
    case dsNewValue:
    case dsInternalCalc:
      break;
    case dsCalcFields:
      if (Field->FieldKind() == fkData) DatabaseError(SNotEditing, this);
      break;
    default:
      DatabaseError(SNotEditing, this);
  }
  TRecordBuffer* buffer = ReadBuffer();
  if (!buffer) DatabaseError(SNotEditing, this);
  const int slot = Field->FieldNo() - 1;
  if (slot < 0 || static_cast<size_t>(slot) >= buffer->Values.size())
    DatabaseErrorFmt(SFieldNotFound, {Field->FieldName()}, this);
  buffer->Values[static_cast<size_t>(slot)] = Value.IsEmpty() ? Variant::Null() : Value;
  if (state_ != dsCalcFields && state_ != dsFilter && state_ != dsNewValue && state_ != dsInternalCalc)
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
}

// --- calculated and lookup fields ------------------------------------------------------------

void TDataSet::ClearCalcFields(TRecordBuffer& Buffer) {
  const size_t end = std::min(Buffer.Values.size(), static_cast<size_t>(RecordSlotCount()));
  for (size_t i = static_cast<size_t>(dataSlotCount_); i < end; ++i) Buffer.Values[i] = Variant::Null();
}

void TDataSet::CalculateFields(TRecordBuffer& Buffer) {
  const TDataSetState saved = SetTempState(dsCalcFields);
  TScopeExit restoreState([this, saved] { RestoreState(saved); });
  TValueRestorer<TRecordBuffer*> keepCalc(calcBuffer_, &Buffer);

  ClearCalcFields(Buffer);
  for (TField* f : *fields_) {
    if (f->FieldKind() != fkLookup) continue;
    TDataSet* lookup = f->LookupDataSet();
    const int slot = f->FieldNo() - 1;
    if (!lookup || lookup == this || !lookup->Active() || slot < 0 ||
        static_cast<size_t>(slot) >= Buffer.Values.size())
      continue;
    if (f->KeyFields().empty() || f->LookupKeyFields().empty() || f->LookupResultField().empty()) continue;
    std::vector<TField*> keys;
    GetFieldList(keys, f->KeyFields());
    std::vector<Variant> keyValues;
    bool anyNull = false;
    for (TField* k : keys) {
      keyValues.push_back(k->Value());
      anyNull = anyNull || keyValues.back().IsNull();
    }
    if (anyNull || keyValues.empty()) continue;
    Variant key = keyValues.size() == 1 ? keyValues[0] : VarArrayOf(keyValues);
    Variant result = lookup->Lookup(f->LookupKeyFields(), key, f->LookupResultField());
    const TVarType want = f->GetVarType();
    if (!result.IsNull() && !result.IsEmpty() && want != varVariant && result.VarType() != want) {
      try {
        result = VarAsType(result, want);
      } catch (const Exception&) {
        // Kept as the lookup data set answered it.
      }
    }
    Buffer.Values[static_cast<size_t>(slot)] = result;
  }
  OnCalcFields(this);
}

void TDataSet::GetCalcFields(TRecordBuffer& Buffer) {
  if (HasCalcFields()) CalculateFields(Buffer);
}

void TDataSet::UpdateCalcFields() {
  if (state_ != dsSetKey && autoCalcFields_ && HasCalcFields() && !buffers_.empty())
    GetCalcFields(ActiveBuffer());
}

// --- Locate and Lookup -----------------------------------------------------------------------

namespace {
struct KeyMatcher {
  Variant Key;
  std::string Text;  // the key as text, upper-cased when the search ignores case
  bool HasText = false;
};

bool ValueMatches(const Variant& value, const KeyMatcher& key, TLocateOptions options) {
  const bool keyNull = key.Key.IsNull() || key.Key.IsEmpty();
  const bool valueNull = value.IsNull() || value.IsEmpty();
  if (keyNull || valueNull) return keyNull && valueNull;
  if (value.IsString() && key.HasText) {
    std::string text = VarToStr(value);
    if (options.Contains(loCaseInsensitive)) text = AnsiUpperCase(text);
    if (options.Contains(loPartialKey)) return text.compare(0, key.Text.size(), key.Text) == 0;
    return text == key.Text;
  }
  try {
    return VarSameValue(value, key.Key);
  } catch (const Exception&) {
    return false;
  }
}

std::vector<KeyMatcher> MakeMatchers(size_t count, const Variant& values, TLocateOptions options) {
  std::vector<KeyMatcher> keys(count);
  if (count == 1 && !values.IsArray()) {
    keys[0].Key = values;
  } else {
    if (!values.IsArray()) throw EVariantBadIndexError("Variant or safe array index out of bounds");
    const int low = values.LowBound(1);
    for (size_t i = 0; i < count; ++i) keys[i].Key = values.GetElement(low + static_cast<int>(i));
  }
  for (KeyMatcher& k : keys) {
    if (k.Key.IsNull() || k.Key.IsEmpty()) continue;
    try {
      k.Text = VarToStr(k.Key);
      if (options.Contains(loCaseInsensitive)) k.Text = AnsiUpperCase(k.Text);
      k.HasText = true;
    } catch (const Exception&) {
      k.HasText = false;
    }
  }
  return keys;
}
}  // namespace

bool TDataSet::ScanFor(const std::vector<TField*>& Keys, const Variant& KeyValues, TLocateOptions Options,
                       TRecordBuffer& Found, bool RestoreCursor) {
  std::vector<KeyMatcher> matchers = MakeMatchers(Keys.size(), KeyValues, Options);
  Found.Values.assign(static_cast<size_t>(RecordSlotCount()), Variant::Null());
  bool found = false;
  CursorPosChanged();
  TScopeExit restoreCursor([this] {
    CursorPosChanged();
    UpdateCursorPos();
  });
  InternalFirst();
  while (!found && FetchRecord(Found, gmNext, false) == grOK) {
    found = true;
    for (size_t i = 0; i < Keys.size() && found; ++i) {
      Variant v;
      ReadFieldOf(Found, Keys[i], v);
      found = ValueMatches(v, matchers[i], Options);
    }
  }
  if (found && !RestoreCursor) restoreCursor.Dismiss();  // the cursor stays on the match
  return found;
}

bool TDataSet::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<TField*> keys;
  GetFieldList(keys, KeyFields);
  if (keys.empty()) return false;
  TRecordBuffer scratch;
  if (!ScanFor(keys, KeyValues, Options, scratch, false)) return false;
  DoBeforeScroll();
  Resync({rmExact, rmCenter});
  DoAfterScroll();
  return true;
}

Variant TDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues,
                         const std::string& ResultFields) {
  CheckActive();
  std::vector<TField*> keys;
  std::vector<TField*> results;
  GetFieldList(keys, KeyFields);
  GetFieldList(results, ResultFields);
  if (keys.empty() || results.empty()) return Variant::Null();
  TRecordBuffer scratch;
  if (!ScanFor(keys, KeyValues, {}, scratch, true)) return Variant::Null();
  auto valueOf = [this, &scratch](TField* f) {
    Variant v;
    ReadFieldOf(scratch, f, v);
    return v.IsEmpty() ? Variant::Null() : v;
  };
  if (results.size() == 1) return valueOf(results[0]);
  std::vector<Variant> values;
  for (TField* f : results) values.push_back(valueOf(f));
  return VarArrayOf(values);
}
