#include "platform/rtl/TypInfo.h"

#include <algorithm>
#include <climits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool IsOrdinalKind(TTypeKind k) {
  switch (k) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet:
      return true;
    default:
      return false;
  }
}

bool IsStringKind(TTypeKind k) {
  return k == TTypeKind::tkString || k == TTypeKind::tkLString || k == TTypeKind::tkWString;
}

const TPropInfo& FindProp(TObject* instance, std::string_view name) {
  const TPropInfo* p = GetPropInfo(instance, name);
  if (!p) throw EPropertyError("Property " + std::string(name) + " does not exist");
  return *p;
}

[[noreturn]] void InvalidType(const TPropInfo& p) {
  throw EPropertyError("Invalid property type: " + (p.TypeName.empty() ? p.Name : p.TypeName));
}

[[noreturn]] void ReadOnly(const TPropInfo& p) {
  throw EPropertyError("Property " + p.Name + " is read-only");
}

[[noreturn]] void InvalidElement(std::string_view element) {
  throw EPropertyError("Invalid property element: " + std::string(element));
}

void CheckWritable(const TPropInfo& p) {
  if (!p.IsWritable()) ReadOnly(p);
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

std::string EnumText(const TEnumInfo* info, int64_t value) {
  if (info && value >= INT_MIN && value <= INT_MAX) {
    std::string name = info->NameOf(static_cast<int>(value));
    if (!name.empty()) return name;
  }
  return std::to_string(value);
}

// The ordinal a text names for an ordinal property; false when it does not parse or fit.
bool ParseOrdinal(const TPropInfo& p, std::string_view text, int64_t& value) {
  std::string t(TrimBlanks(text));
  switch (p.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64: {
      if (p.Idents && p.Idents->ToInt(t, value)) return true;
      if (!TryStrToInt64(t, value)) return false;
      if (p.Kind == TTypeKind::tkInt64) return true;
      // 32-bit values may be written as unsigned hex ($80000005): keep the bit pattern.
      if (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX)) return false;
      value = static_cast<int32_t>(static_cast<uint32_t>(value));
      return true;
    }
    case TTypeKind::tkChar:
      if (text.size() != 1) return false;
      value = static_cast<unsigned char>(text[0]);
      return true;
    case TTypeKind::tkWChar: {
      std::u16string w = Utf8ToUtf16(text);
      if (w.size() != 1) return false;
      value = w[0];
      return true;
    }
    case TTypeKind::tkEnumeration: {
      if (!p.Enum) return false;
      int index = p.Enum->IndexOf(t);
      if (index >= 0) {
        value = index;
        return true;
      }
      return TryStrToInt64(t, value) && value >= 0 && value < static_cast<int64_t>(p.Enum->Names.size());
    }
    case TTypeKind::tkSet:
      if (!p.Enum) return false;
      try {
        value = static_cast<int64_t>(StringToSet(*p.Enum, t));
      } catch (const EPropertyError&) {
        return false;
      }
      return true;
    default:
      return false;
  }
}

}  // namespace

// --- lookup ------------------------------------------------------------------------------

const TPropInfo* GetPropInfo(TObject* Instance, std::string_view PropName) {
  return Instance ? GetPropInfo(Instance->ClassType(), PropName) : nullptr;
}

const TPropInfo* GetPropInfo(TClass AClass, std::string_view PropName) {
  return AClass ? AClass->FindProp(PropName) : nullptr;
}

bool IsPublishedProp(TObject* Instance, std::string_view PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

bool IsPublishedProp(TClass AClass, std::string_view PropName) {
  return GetPropInfo(AClass, PropName) != nullptr;
}

std::vector<const TPropInfo*> GetPropList(TObject* Instance) {
  return Instance ? Instance->ClassType()->AllProps() : std::vector<const TPropInfo*>{};
}

TTypeKind PropType(TObject* Instance, std::string_view PropName) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  return p ? p->Kind : TTypeKind::tkUnknown;
}

bool PropIsType(TObject* Instance, std::string_view PropName, TTypeKind TypeKind) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  return p && p->Kind == TypeKind;
}

bool IsStoredProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  return p && p->IsStored(*Instance);
}

// --- ordinals ----------------------------------------------------------------------------

int64_t GetOrdProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (IsOrdinalKind(p.Kind) && p.GetOrd) return p.GetOrd(*Instance);
  if (p.Kind == TTypeKind::tkClass && p.GetObj)
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(p.GetObj(*Instance)));
  InvalidType(p);
}

void SetOrdProp(TObject* Instance, std::string_view PropName, int64_t Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (!IsOrdinalKind(p.Kind)) InvalidType(p);
  CheckWritable(p);
  p.SetOrd(*Instance, Value);
}

int64_t GetIntProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  if (!p || !IsOrdinalKind(p->Kind) || !p->GetOrd) return -1;
  return p->GetOrd(*Instance);
}

int64_t GetInt64Prop(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (!IsOrdinalKind(p.Kind) || !p.GetOrd) InvalidType(p);
  return p.GetOrd(*Instance);
}

void SetInt64Prop(TObject* Instance, std::string_view PropName, int64_t Value) {
  SetOrdProp(Instance, PropName, Value);
}

// --- floats and strings ------------------------------------------------------------------

Extended GetFloatProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkFloat || !p.GetFloat) InvalidType(p);
  return p.GetFloat(*Instance);
}

void SetFloatProp(TObject* Instance, std::string_view PropName, Extended Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkFloat) InvalidType(p);
  CheckWritable(p);
  p.SetFloat(*Instance, Value);
}

std::string GetStrProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind == TTypeKind::tkWString && p.GetWStr) return Utf16ToUtf8(p.GetWStr(*Instance));
  if (IsStringKind(p.Kind) && p.GetStr) return p.GetStr(*Instance);
  InvalidType(p);
}

void SetStrProp(TObject* Instance, std::string_view PropName, const std::string& Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (!IsStringKind(p.Kind)) InvalidType(p);
  CheckWritable(p);
  if (p.Kind == TTypeKind::tkWString)
    p.SetWStr(*Instance, Utf8ToUtf16(Value));
  else
    p.SetStr(*Instance, Value);
}

std::u16string GetWideStrProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind == TTypeKind::tkWString && p.GetWStr) return p.GetWStr(*Instance);
  if (IsStringKind(p.Kind) && p.GetStr) return Utf8ToUtf16(p.GetStr(*Instance));
  InvalidType(p);
}

void SetWideStrProp(TObject* Instance, std::string_view PropName, const std::u16string& Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (!IsStringKind(p.Kind)) InvalidType(p);
  CheckWritable(p);
  if (p.Kind == TTypeKind::tkWString)
    p.SetWStr(*Instance, Value);
  else
    p.SetStr(*Instance, Utf16ToUtf8(Value));
}

std::u16string GetWideTextProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  if (!p) return {};
  switch (p->Kind) {
    case TTypeKind::tkWString:
      return p->GetWStr ? p->GetWStr(*Instance) : std::u16string{};
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
      return p->GetStr ? Utf8ToUtf16(p->GetStr(*Instance)) : std::u16string{};
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
    case TTypeKind::tkVariant:
      return Utf8ToUtf16(GetPropText(Instance, PropName));
    default:
      return {};
  }
}

// --- enumerations and sets ---------------------------------------------------------------

std::string GetEnumName(const TEnumInfo& Info, int Value) {
  return Info.NameOf(Value);
}

int GetEnumValue(const TEnumInfo& Info, std::string_view Name) {
  return Info.IndexOf(TrimBlanks(Name));
}

std::string GetEnumProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkEnumeration || !p.GetOrd) InvalidType(p);
  return EnumText(p.Enum, p.GetOrd(*Instance));
}

void SetEnumProp(TObject* Instance, std::string_view PropName, std::string_view Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkEnumeration || !p.Enum) InvalidType(p);
  CheckWritable(p);
  int index = GetEnumValue(*p.Enum, Value);
  if (index < 0) InvalidElement(Value);
  p.SetOrd(*Instance, index);
}

std::string SetToString(const TEnumInfo& Info, uint64_t Bits, bool Brackets) {
  std::string result;
  size_t limit = std::min<size_t>(Info.Names.size(), 64);
  for (size_t i = 0; i < limit; ++i) {
    if (!(Bits & (uint64_t{1} << i))) continue;
    if (!result.empty()) result += ',';
    result += Info.Names[i];
  }
  return Brackets ? "[" + result + "]" : result;
}

uint64_t StringToSet(const TEnumInfo& Info, std::string_view Text) {
  std::string_view s = TrimBlanks(Text);
  if (!s.empty() && s.front() == '[') s.remove_prefix(1);
  if (!s.empty() && s.back() == ']') s.remove_suffix(1);
  uint64_t bits = 0;
  while (!s.empty()) {
    size_t comma = s.find(',');
    std::string_view element = TrimBlanks(s.substr(0, comma));
    s = comma == std::string_view::npos ? std::string_view{} : s.substr(comma + 1);
    if (element.empty()) continue;
    int index = Info.IndexOf(element);
    if (index < 0 || index >= 64) InvalidElement(element);
    bits |= uint64_t{1} << index;
  }
  return bits;
}

std::string GetSetProp(TObject* Instance, std::string_view PropName, bool Brackets) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkSet || !p.Enum || !p.GetOrd) InvalidType(p);
  return SetToString(*p.Enum, static_cast<uint64_t>(p.GetOrd(*Instance)), Brackets);
}

void SetSetProp(TObject* Instance, std::string_view PropName, std::string_view Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkSet || !p.Enum) InvalidType(p);
  CheckWritable(p);
  p.SetOrd(*Instance, static_cast<int64_t>(StringToSet(*p.Enum, Value)));
}

// --- objects, variants, handlers ---------------------------------------------------------

TObject* GetObjectProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  if (!p || p->Kind != TTypeKind::tkClass || !p->GetObj) return nullptr;
  return p->GetObj(*Instance);
}

TObject* GetObjectPropOf(TObject* Instance, std::string_view PropName, TClass MinClass) {
  TObject* obj = GetObjectProp(Instance, PropName);
  if (obj && MinClass && !obj->InheritsFrom(MinClass)) return nullptr;
  return obj;
}

void SetObjectProp(TObject* Instance, std::string_view PropName, TObject* Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkClass) InvalidType(p);
  CheckWritable(p);
  if (Value && p.PropClass && !Value->InheritsFrom(p.PropClass)) return;
  p.SetObj(*Instance, Value);
}

Variant GetVariantProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkVariant || !p.GetVar) InvalidType(p);
  return p.GetVar(*Instance);
}

void SetVariantProp(TObject* Instance, std::string_view PropName, const Variant& Value) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkVariant) InvalidType(p);
  CheckWritable(p);
  p.SetVar(*Instance, Value);
}

TMethodRef GetMethodProp(TObject* Instance, std::string_view PropName) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkMethod || !p.GetMethod) InvalidType(p);
  return p.GetMethod(*Instance);
}

bool SetMethodProp(TObject* Instance, std::string_view PropName, const std::any& Handler) {
  const TPropInfo& p = FindProp(Instance, PropName);
  if (p.Kind != TTypeKind::tkMethod) InvalidType(p);
  CheckWritable(p);
  return p.SetMethod(*Instance, Handler);
}

// --- text --------------------------------------------------------------------------------

std::string GetPropText(TObject* Instance, std::string_view PropName) {
  const TPropInfo* found = GetPropInfo(Instance, PropName);
  if (!found) return {};
  const TPropInfo& p = *found;
  const TObject& obj = *Instance;
  switch (p.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64: {
      if (!p.GetOrd) return {};
      int64_t v = p.GetOrd(obj);
      std::string ident;
      if (p.Idents && p.Idents->ToIdent(v, ident)) return ident;
      return std::to_string(v);
    }
    case TTypeKind::tkChar:
      return p.GetOrd ? std::string(1, static_cast<char>(p.GetOrd(obj))) : std::string{};
    case TTypeKind::tkWChar:
      return p.GetOrd ? Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(p.GetOrd(obj)))) : std::string{};
    case TTypeKind::tkEnumeration:
      return p.GetOrd ? EnumText(p.Enum, p.GetOrd(obj)) : std::string{};
    case TTypeKind::tkSet:
      return p.GetOrd && p.Enum ? SetToString(*p.Enum, static_cast<uint64_t>(p.GetOrd(obj))) : std::string{};
    case TTypeKind::tkFloat:
      return p.GetFloat ? FloatToStr(p.GetFloat(obj)) : std::string{};
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
      return p.GetStr ? p.GetStr(obj) : std::string{};
    case TTypeKind::tkWString:
      return p.GetWStr ? Utf16ToUtf8(p.GetWStr(obj)) : std::string{};
    case TTypeKind::tkVariant:
      return p.GetVar ? VarToStr(p.GetVar(obj)) : std::string{};
    case TTypeKind::tkMethod:
      return p.GetMethod ? p.GetMethod(obj).Name : std::string{};
    default:
      return {};
  }
}

bool SetPropText(TObject* Instance, std::string_view PropName, const std::string& Text) {
  const TPropInfo* found = GetPropInfo(Instance, PropName);
  if (!found || !found->IsWritable()) return false;
  const TPropInfo& p = *found;
  TObject& obj = *Instance;
  if (IsOrdinalKind(p.Kind)) {
    int64_t v = 0;
    if (!ParseOrdinal(p, Text, v)) return false;
    p.SetOrd(obj, v);
    return true;
  }
  switch (p.Kind) {
    case TTypeKind::tkFloat: {
      // The locale's form first (what GetPropText writes), then the invariant one.
      Extended v = 0;
      std::string t(TrimBlanks(Text));
      if (!TryStrToFloat(t, v) && !TryStrToFloat(t, v, TFormatSettings::Invariant())) return false;
      p.SetFloat(obj, v);
      return true;
    }
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
      p.SetStr(obj, Text);
      return true;
    case TTypeKind::tkWString:
      p.SetWStr(obj, Utf8ToUtf16(Text));
      return true;
    case TTypeKind::tkVariant:
      p.SetVar(obj, Variant(Text));
      return true;
    default:
      return false;
  }
}

// --- dotted paths ------------------------------------------------------------------------

const TPropInfo* GetPropInfoByPath(TObject* Instance, std::string_view Path, TObject** Holder) {
  TObject* current = Instance;
  while (current) {
    size_t dot = Path.find('.');
    std::string_view step = Path.substr(0, dot);
    if (step.empty()) return nullptr;
    const TPropInfo* p = GetPropInfo(current, step);
    if (!p) return nullptr;
    if (dot == std::string_view::npos) {
      if (Holder) *Holder = current;
      return p;
    }
    if (p->Kind != TTypeKind::tkClass || !p->GetObj) return nullptr;
    current = p->GetObj(*current);
    Path.remove_prefix(dot + 1);
  }
  return nullptr;
}

std::string GetPropTextPath(TObject* Instance, std::string_view Path) {
  TObject* holder = nullptr;
  const TPropInfo* p = GetPropInfoByPath(Instance, Path, &holder);
  return p ? GetPropText(holder, p->Name) : std::string{};
}

bool SetPropTextPath(TObject* Instance, std::string_view Path, const std::string& Text) {
  TObject* holder = nullptr;
  const TPropInfo* p = GetPropInfoByPath(Instance, Path, &holder);
  return p && SetPropText(holder, p->Name, Text);
}
