// The field model of the in-memory table store: the field base class, the structure that lists
// the fields, value conversion between fields, and the stream encoding of one value.
#include <algorithm>
#include <cstring>
#include <utility>

#include "grid/data/MemTableDataEh.h"
#include "grid/data/MemTableInternalEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Guid.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

using namespace memtable_detail;

// --- shared helpers ------------------------------------------------------------------------

namespace memtable_detail {

Variant CastValue(const Variant& Value, TVarType Type) {
  TVarType from = Value.VarType();
  if (from == varNull || Type == varVariant || from == Type) return Value;
  if (from == varByteArray && Type == varString) {
    std::vector<uint8_t> bytes = Value.ArrayBytes();
    return Variant(std::string(bytes.begin(), bytes.end()));
  }
  if (Type == varByteArray && (from == varString || from == varOleStr)) {
    std::string s = Value.AsString();
    return VarArrayFromBytes(std::vector<uint8_t>(s.begin(), s.end()));
  }
  return VarAsType(Value, Type);
}

std::string CutText(const std::string& Text, int Count) {
  if (Count < 0) Count = 0;
  if (Text.size() <= static_cast<size_t>(Count)) return Text;  // never more characters than bytes
  return Utf8Left(Text, Count);
}

Variant ConvertValue(const Variant& Value, const TMTDataFieldEh* From, const TMTDataFieldEh* To) {
  Variant v = CastValue(Value, To->ValueVarType());
  if (!To->IsStringField() || v.IsNull()) return v;
  if (From->IsStringField() && From->Size() <= To->Size()) return v;
  int size = To->Size();
  if (v.VarType() == varOleStr) {
    std::u16string w = v.AsWideString();
    // Characters of a wide text: a surrogate pair is one character.
    std::string text = CutText(Utf16ToUtf8(w), size);
    return Variant(Utf8ToUtf16(text));
  }
  if (v.VarType() == varString) return Variant(CutText(v.AsString(), size));
  return v;
}

int CompareKeys(const Variant& A, const Variant& B) {
  bool nullA = A.IsNull(), nullB = B.IsNull();
  if (nullA || nullB) return nullA == nullB ? kEqual : nullA ? kLess : kGreater;
  if (A.IsArray() && B.IsArray() && A.DimCount() == 1 && B.DimCount() == 1 && A.ElementType() == varVariant &&
      B.ElementType() == varVariant) {
    int na = A.HighBound(1) - A.LowBound(1) + 1, nb = B.HighBound(1) - B.LowBound(1) + 1;
    int n = std::min(na, nb);
    for (int i = 0; i < n; ++i) {
      int r = CompareKeys(A.GetElement(A.LowBound(1) + i), B.GetElement(B.LowBound(1) + i));
      if (r != kEqual) return r;
    }
    return na == nb ? kEqual : na < nb ? kLess : kGreater;
  }
  switch (VarCompareValue(A, B)) {
    case TVariantRelationship::vrEqual:
      return kEqual;
    case TVariantRelationship::vrLessThan:
      return kLess;
    case TVariantRelationship::vrGreaterThan:
      return kGreater;
    default:
      return kNotComparable;
  }
}

std::string KeyText(const Variant& Key) {
  if (Key.IsArray() && Key.DimCount() == 1 && Key.ElementType() == varVariant) {
    std::string text;
    for (int i = Key.LowBound(1); i <= Key.HighBound(1); ++i) {
      if (i > Key.LowBound(1)) text += ", ";
      text += KeyText(Key.GetElement(i));
    }
    return text;
  }
  try {
    return VarToStr(Key);
  } catch (const Exception&) {
    return VarTypeAsText(Key.VarType());
  }
}

}  // namespace memtable_detail

namespace {

bool IsByteStreamKind(TFieldType t) {
  switch (t) {
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftGraphic:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftCursor:
    case ftADT:
    case ftArray:
    case ftReference:
    case ftDataSet:
      return true;
    default:
      return false;
  }
}

TVarType VarTypeOfFieldType(TFieldType t) {
  switch (t) {
    case ftString:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftFixedChar:
    case ftOraBlob:
    case ftOraClob:
    case ftGuid:
      return varString;
    case ftSmallint:
      return varSmallint;
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return varInteger;
    case ftBoolean:
      return varBoolean;
    case ftFloat:
      return varDouble;
    case ftCurrency:
    case ftBCD:
      return varCurrency;
    case ftDate:
    case ftTime:
    case ftDateTime:
      return varDate;
    case ftWideString:
      return varOleStr;
    case ftLargeint:
      return varInt64;
    case ftVariant:
      return varVariant;
    case ftInterface:
      return varUnknown;
    case ftIDispatch:
      return varDispatch;
    case ftTimeStamp:
      return varSQLTimeStamp;
    case ftFMTBcd:
      return varFMTBcd;
    case ftBytes:
    case ftVarBytes:
      return varByteArray;
    default:  // ftUnknown, ftCursor, ftADT, ftArray, ftReference, ftDataSet
      return varError;
  }
}

// Keeps "0"-"9", "A"-"Z", "a"-"z" and "_"; every other byte (so every multi-byte character)
// goes.
std::string CleanIdent(const std::string& s) {
  std::string r;
  for (char c : s)
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') r += c;
  return r;
}

bool IsDecimalText(const std::string& s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t digits = 0, dots = 0;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9')
      ++digits;
    else if (s[i] == '.' && dots == 0)
      ++dots;
    else
      return false;
  }
  return digits > 0 && digits <= 64;
}

[[noreturn]] void InvalidValue() {
  throw EReadError(SInvalidPropertyValue);
}

}  // namespace

// --- TMTDataFieldEh ------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTDataFieldEh)

TMTDataFieldEh::TMTDataFieldEh(TComponent* AOwner)
    : TComponent(AOwner), identity_(GUIDToString(CreateGUID())) {
  varType_ = GetVarType();
  if (auto* s = dynamic_cast<TMTDataStructEh*>(AOwner)) s->AddField(this);
}

TMTDataFieldEh::~TMTDataFieldEh() {
  if (struct_) struct_->Detach(this);
}

void TMTDataFieldEh::DescribeClass(TClassBuilder<TMTDataFieldEh>& c) {
  c.Property("FieldName", &TMTDataFieldEh::FieldName, &TMTDataFieldEh::SetFieldName);
}

TVarType TMTDataFieldEh::GetVarType() const {
  return VarTypeOfFieldType(DataType());
}

void TMTDataFieldEh::UpdateVarType() {
  varType_ = GetVarType();
}

void TMTDataFieldEh::Changed() {
  if (struct_) struct_->FieldChanged();
}

void TMTDataFieldEh::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Changed();
}

void TMTDataFieldEh::SetAutoIncrement(bool Value) {
  if (autoIncrement_ == Value) return;
  autoIncrement_ = Value;
  Changed();
}

void TMTDataFieldEh::SetDefaultExpression(const std::string& Value) {
  if (defaultExpression_ == Value) return;
  defaultExpression_ = Value;
  Changed();
}

void TMTDataFieldEh::SetDisplayLabel(const std::string& Value) {
  if (displayLabel_ == Value) return;
  displayLabel_ = Value;
  Changed();
}

void TMTDataFieldEh::SetDisplayWidth(int Value) {
  if (displayWidth_ == Value) return;
  displayWidth_ = Value;
  Changed();
}

void TMTDataFieldEh::SetEditMask(const std::string& Value) {
  if (editMask_ == Value) return;
  editMask_ = Value;
  Changed();
}

void TMTDataFieldEh::SetFieldName(const std::string& Value) {
  if (fieldName_ == Value) return;
  if (struct_ && AnsiCompareText(fieldName_, Value) != 0) struct_->CheckFieldName(Value);
  fieldName_ = Value;
  MakeComponentName();
  Changed();
}

void TMTDataFieldEh::MakeComponentName() {
  std::string base = CleanIdent(fieldName_);
  if (base.empty() || !IsValidIdent(base)) {
    std::string prefix = ClassName();
    if (!prefix.empty() && prefix[0] == 'T') prefix.erase(0, 1);
    base = CleanIdent(prefix + base);
  }
  auto taken = [this](const std::string& name) {
    if (!struct_) return false;
    for (TMTDataFieldEh* f : struct_->fields_)
      if (f != this && SameText(f->Name(), name)) return true;
    // The structure may own other components of that name.
    TComponent* other = struct_->FindComponent(name);
    return other != nullptr && other != this;
  };
  std::string candidate = base;
  for (int n = 2; taken(candidate); ++n) candidate = Fmt("%s%d", base, n);
  SetName(candidate);
}

void TMTDataFieldEh::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  Changed();
}

void TMTDataFieldEh::SetRequired(bool Value) {
  if (required_ == Value) return;
  required_ = Value;
  Changed();
}

void TMTDataFieldEh::SetSize(int Value) {
  if (!HasSize()) DatabaseError(SInvalidFieldSize);
  if (size_ == Value) return;
  size_ = Value;
  Changed();
}

void TMTDataFieldEh::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed();
}

void TMTDataFieldEh::AssignDataTypeFromField(TFieldType) {
  throw Exception("Can't assign DataType from Field");
}

void TMTDataFieldEh::AssignPropsFromField(TField* Field) {
  if (!Field) return;
  SetAlignment(Field->Alignment());
  SetDefaultExpression(Field->DefaultExpression());
  SetDisplayLabel(Field->DisplayLabel());
  SetDisplayWidth(Field->DisplayWidth());
  SetEditMask(Field->EditMask());
  SetRequired(Field->Required());
  if (Field->AutoGenerateValue() == arAutoInc) SetAutoIncrement(true);
  if (HasSize()) SetSize(Field->Size());
  SetVisible(Field->Visible());
}

void TMTDataFieldEh::AssignPropsToField(TField* Field) {
  if (!Field) return;
  Field->SetAlignment(Alignment());
  Field->SetDefaultExpression(DefaultExpression());
  Field->SetDisplayLabel(DisplayLabel());
  Field->SetDisplayWidth(DisplayWidth());
  Field->SetEditMask(EditMask());
  Field->SetRequired(Required());
  if (AutoIncrement()) Field->SetAutoGenerateValue(arAutoInc);
  if (HasSize()) Field->SetSize(Size());
  Field->SetVisible(Visible());
}

void TMTDataFieldEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TMTDataFieldEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetFieldName(src->FieldName());
  if (HasSize() && src->HasSize()) SetSize(src->Size());
  SetAlignment(src->Alignment());
  SetDefaultExpression(src->DefaultExpression());
  SetDisplayLabel(src->DisplayLabel());
  SetDisplayWidth(src->displayWidth_);
  SetEditMask(src->EditMask());
  SetRequired(src->Required());
  SetVisible(src->Visible());
  SetAutoIncrement(src->AutoIncrement());
}

TComponent* TMTDataFieldEh::GetParentComponent() const {
  return struct_;
}

void TMTDataFieldEh::SetParentComponent(TComponent* Value) {
  auto* s = dynamic_cast<TMTDataStructEh*>(Value);
  if (s == struct_) return;
  if (struct_) struct_->RemoveField(this);
  if (s) s->AddField(this);
}

void TMTDataFieldEh::WriteValue(TWriter& Writer, const Variant& Value) {
  if (IsByteStreamKind(DataType())) {
    std::string bytes;
    if (Value.VarType() == varByteArray) {
      std::vector<uint8_t> b = Value.ArrayBytes();
      bytes.assign(b.begin(), b.end());
    } else if (Value.IsString()) {
      bytes = Value.AsString();
    } else if (!Value.IsNull()) {
      throw EWriteError("Invalid variant type");
    }
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) throw EWriteError("Stream write error");
    Writer.WriteValue(vaBinary);
    int32_t n = static_cast<int32_t>(bytes.size());
    Writer.Write(&n, 4);
    Writer.Write(bytes.data(), n);
    return;
  }
  switch (Value.VarType()) {
    case varEmpty:
      throw Exception(SWriteEmpty);
    case varNull:
      // Inside a record's list the Null tag would end the list; the identifier stands for it.
      Writer.WriteValue(vaIdent);
      Writer.WriteStr("Null");
      return;
    case varSQLTimeStamp: {
      TSQLTimeStamp t = Value.AsSQLTimeStamp();
      Writer.WriteListBegin();
      for (int v : {int(t.Year), int(t.Month), int(t.Day), int(t.Hour), int(t.Minute), int(t.Second)})
        Writer.WriteInteger(v);
      Writer.WriteInt64(t.Fractions);
      Writer.WriteListEnd();
      return;
    }
    case varFMTBcd:
      Writer.WriteString(Value.AsBcd().Digits);
      return;
    default:
      Writer.WriteVariant(Value);
  }
}

Variant TMTDataFieldEh::ReadValue(TReader& Reader) {
  TVarType type = ValueVarType();
  if (IsByteStreamKind(DataType())) {
    if (Reader.NextValue() != vaBinary) {
      Reader.SkipValue();
      InvalidValue();
    }
    Reader.ReadValue();
    int32_t n = 0;
    Reader.Read(&n, 4);
    if (n < 0) InvalidValue();
    // The length must fit in what is left of the stream before anything is allocated.
    int64_t rest = Reader.Stream().Size() - Reader.Position();
    if (n > rest) throw EReadError("Stream read error");
    std::vector<uint8_t> bytes(static_cast<size_t>(n));
    if (n > 0) Reader.Read(bytes.data(), n);
    if (type == varString) return Variant(std::string(bytes.begin(), bytes.end()));
    return VarArrayFromBytes(bytes);
  }
  if (Reader.NextValue() == vaIdent) {
    if (!SameText(Reader.ReadIdent(), "Null")) InvalidValue();
    return Null();
  }
  if (type == varSQLTimeStamp && Reader.NextValue() == vaList) {
    Reader.ReadListBegin();
    int64_t parts[7];
    for (int64_t& p : parts) {
      if (Reader.EndOfList()) InvalidValue();
      p = Reader.ReadInt64();
    }
    Reader.ReadListEnd();
    TSQLTimeStamp t;
    if (parts[0] < INT16_MIN || parts[0] > INT16_MAX || parts[6] < 0 || parts[6] > UINT32_MAX) InvalidValue();
    for (int i = 1; i < 6; ++i)
      if (parts[i] < 0 || parts[i] > UINT16_MAX) InvalidValue();
    t.Year = static_cast<Smallint>(parts[0]);
    t.Month = static_cast<Word>(parts[1]);
    t.Day = static_cast<Word>(parts[2]);
    t.Hour = static_cast<Word>(parts[3]);
    t.Minute = static_cast<Word>(parts[4]);
    t.Second = static_cast<Word>(parts[5]);
    t.Fractions = static_cast<LongWord>(parts[6]);
    return Variant(t);
  }
  Variant v = Reader.ReadVariant();
  if (v.IsEmpty() || v.IsNull()) return Null();
  if (type == varFMTBcd && v.IsString()) {
    std::string digits = v.AsString();
    if (!IsDecimalText(digits)) InvalidValue();
    return Variant(TBcd{digits});
  }
  try {
    return CastValue(v, type);
  } catch (const EVariantError&) {
    InvalidValue();
  } catch (const EConvertError&) {
    InvalidValue();
  }
}

// --- TMTDataStructEh -----------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTDataStructEh)

TMTDataStructEh::TMTDataStructEh(TComponent* AOwner) : TComponent(AOwner) {
  table_ = dynamic_cast<TMemTableDataEh*>(AOwner);
}

TMTDataStructEh::~TMTDataStructEh() {
  destroying_ = true;
  Clear();
}

void TMTDataStructEh::Detach(TMTDataFieldEh* Field) {
  auto it = std::find(fields_.begin(), fields_.end(), Field);
  if (it == fields_.end()) return;
  fields_.erase(it);
  Field->struct_ = nullptr;
  FieldChanged();
}

TMTDataFieldEh* TMTDataStructEh::CreateField(TClass FieldClass) {
  if (!FieldClass || !FieldClass->InheritsFrom(TMTDataFieldEh::StaticClass()) || !FieldClass->Create)
    throw EInvalidCast("Invalid class typecast");
  TObject* obj = FieldClass->Create(this);
  auto* field = dynamic_cast<TMTDataFieldEh*>(obj);
  if (field && field->struct_ != this) AddField(field);
  return field;
}

void TMTDataStructEh::AddField(TMTDataFieldEh* Field) {
  if (!Field || Field->struct_ == this) return;
  if (Field->struct_) Field->struct_->RemoveField(Field);
  fields_.push_back(Field);
  Field->struct_ = this;
  if (Field->fieldId_ == 0) Field->fieldId_ = ++fieldIdCounter_;
  FieldChanged();
}

void TMTDataStructEh::RemoveField(TMTDataFieldEh* Field) {
  if (!Field || Field->struct_ != this) return;
  Detach(Field);
  if (Field->Owner() == this) RemoveComponent(Field);
}

void TMTDataStructEh::Clear() {
  if (fields_.empty()) return;
  BeginUpdate();
  while (!fields_.empty()) {
    TMTDataFieldEh* f = fields_.back();
    Detach(f);
    f->Free();
  }
  EndUpdate();
}

TMTDataFieldEh* TMTDataStructEh::Fields(int Index) const {
  if (Index < 0 || Index >= FieldsCount()) throw EListError(Fmt("List index out of bounds (%d)", Index));
  return fields_[static_cast<size_t>(Index)];
}

TMTDataFieldEh* TMTDataStructEh::FindField(const std::string& FieldName) const {
  for (TMTDataFieldEh* f : fields_)
    if (AnsiCompareText(f->FieldName(), FieldName) == 0) return f;
  return nullptr;
}

TMTDataFieldEh* TMTDataStructEh::FieldByName(const std::string& FieldName) const {
  TMTDataFieldEh* f = FindField(FieldName);
  if (!f) DatabaseErrorFmt(SFieldNotFound, {FieldName});
  return f;
}

int TMTDataStructEh::IndexOf(const TMTDataFieldEh* Field) const {
  auto it = std::find(fields_.begin(), fields_.end(), Field);
  return it == fields_.end() ? -1 : static_cast<int>(it - fields_.begin());
}

int TMTDataStructEh::FieldIndex(const std::string& FieldName) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (CompareText(fields_[i]->FieldName(), FieldName) == 0) return static_cast<int>(i);
  return -1;
}

void TMTDataStructEh::GetFieldList(std::vector<TMTDataFieldEh*>& List, const std::string& FieldNames) const {
  for (const std::string& name : SplitFieldNames(FieldNames)) List.push_back(FieldByName(name));
}

void TMTDataStructEh::GetFieldList(TList* List, const std::string& FieldNames) const {
  std::vector<TMTDataFieldEh*> fields;
  GetFieldList(fields, FieldNames);
  if (List)
    for (TMTDataFieldEh* f : fields) List->Add(f);
}

void TMTDataStructEh::CheckFieldName(const std::string& FieldName) const {
  if (FieldName.empty()) DatabaseError(SFieldNameMissing);
  if (FindField(FieldName)) DatabaseErrorFmt(SDuplicateFieldName, {FieldName});
}

void TMTDataStructEh::BeginUpdate() {
  ++updateCount_;
}

void TMTDataStructEh::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) {
    changed_ = true;
    FieldChanged();
  }
}

void TMTDataStructEh::FieldChanged() {
  ++version_;
  if (destroying_) return;
  if (updateCount_ > 0) {
    changed_ = true;
    return;
  }
  if (table_ && table_->GetDataStruct() == this) {
    changed_ = false;
    table_->StructChanged();
  } else {
    changed_ = true;
  }
  OnChange(this);
}

void TMTDataStructEh::GetChildren(const TGetChildProc& Proc, TComponent*) {
  for (TMTDataFieldEh* f : fields_) Proc(f);
}

void TMTDataStructEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TMTDataStructEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  TRecordsListEh* list = table_ && table_->GetDataStruct() == this ? table_->GetRecordsList() : nullptr;
  // Every active index must still find its fields, or nothing changes.
  if (list) {
    for (int i = 0; i < list->Indexes()->Count(); ++i) {
      TMTIndexEh* index = list->Indexes()->Items(i);
      if (!index->Active() || index->Fields().empty()) continue;
      std::vector<TMTDataFieldEh*> unused;
      src->GetFieldList(unused, index->Fields());
    }
  }
  // Convert every record first, so that a value that cannot be converted changes nothing.
  struct Converted {
    TMemoryRecordEh* Rec;
    std::vector<Variant> Values, Old, Edit;
  };
  std::vector<Converted> converted;
  if (list) {
    std::vector<int> match(static_cast<size_t>(src->FieldsCount()), -1);
    for (int i = 0; i < src->FieldsCount(); ++i)
      for (int j = 0; j < FieldsCount(); ++j)
        if (fields_[static_cast<size_t>(j)]->Identity() == src->Fields(i)->Identity()) {
          match[static_cast<size_t>(i)] = j;
          break;
        }
    auto convert = [&](std::span<const Variant> from) {
      std::vector<Variant> to(match.size(), Null());
      for (size_t i = 0; i < match.size(); ++i) {
        int j = match[i];
        if (j < 0 || static_cast<size_t>(j) >= from.size()) continue;
        to[i] = ConvertValue(from[static_cast<size_t>(j)], fields_[static_cast<size_t>(j)],
                             src->Fields(static_cast<int>(i)));
      }
      return to;
    };
    auto add = [&](TMemoryRecordEh* r) {
      Converted c{r, convert(r->Values()), {}, {}};
      if (r->HasOldValues()) c.Old = convert(r->side_->Old);
      if (r->IsEditing()) c.Edit = convert(r->side_->Edit);
      converted.push_back(std::move(c));
    };
    list->active_.ForEach(add);
    for (TMemoryRecordEh* r : list->deleted_) add(r);
    for (TMemoryRecordEh* r : list->loose_) add(r);
  }
  BeginUpdate();
  {
    TScopeExit endUpdate([&] { EndUpdate(); });
    Clear();
    for (int i = 0; i < src->FieldsCount(); ++i) {
      TMTDataFieldEh* from = src->Fields(i);
      TMTDataFieldEh* f = CreateField(from->ClassType());
      f->Assign(from);
      // A structure copy keeps each field's identity and ID, so records follow it back.
      f->identity_ = from->identity_;
      f->fieldId_ = from->fieldId_;
      fieldIdCounter_ = std::max(fieldIdCounter_, from->fieldId_);
    }
    for (Converted& c : converted) {
      c.Rec->AssignValues(c.Values);
      if (c.Rec->HasOldValues()) c.Rec->side_->Old = std::move(c.Old);
      if (c.Rec->IsEditing()) c.Rec->side_->Edit = std::move(c.Edit);
    }
  }
  if (list && list->Count() > 0) list->Notify(nullptr, -1, rlnBulkChangeEh);
}
