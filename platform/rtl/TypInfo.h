#pragma once
// Access to published properties by name over the class model of Object.h: typed getters
// and setters, enumeration and set texts, and a property's value as text.
//
// Typed accessors raise EPropertyError "Property X does not exist" for an unknown name,
// "Invalid property type: T" when the property is of another kind and "Property X is
// read-only" when it cannot be written. The text accessors (GetPropText, SetPropText) never
// raise for those: they answer "" or false.
#include <any>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Object.h"

// nullptr when the object or class has no published property of that name (ignoring case).
const TPropInfo* GetPropInfo(TObject* Instance, std::string_view PropName);
const TPropInfo* GetPropInfo(TClass AClass, std::string_view PropName);
bool IsPublishedProp(TObject* Instance, std::string_view PropName);
bool IsPublishedProp(TClass AClass, std::string_view PropName);
// All published properties, ancestors' first.
std::vector<const TPropInfo*> GetPropList(TObject* Instance);
// tkUnknown when missing.
TTypeKind PropType(TObject* Instance, std::string_view PropName);
// False when missing.
bool PropIsType(TObject* Instance, std::string_view PropName, TTypeKind TypeKind);
bool IsStoredProp(TObject* Instance, std::string_view PropName);

// Ordinals: integers, Int64, characters, enumerations and sets (as their bit image).
int64_t GetOrdProp(TObject* Instance, std::string_view PropName);
void SetOrdProp(TObject* Instance, std::string_view PropName, int64_t Value);
// -1 when the property is missing or not an ordinal.
int64_t GetIntProp(TObject* Instance, std::string_view PropName);
int64_t GetInt64Prop(TObject* Instance, std::string_view PropName);
void SetInt64Prop(TObject* Instance, std::string_view PropName, int64_t Value);

Extended GetFloatProp(TObject* Instance, std::string_view PropName);
void SetFloatProp(TObject* Instance, std::string_view PropName, Extended Value);

// String properties; wide strings pass through UTF-8.
std::string GetStrProp(TObject* Instance, std::string_view PropName);
void SetStrProp(TObject* Instance, std::string_view PropName, const std::string& Value);
std::u16string GetWideStrProp(TObject* Instance, std::string_view PropName);
void SetWideStrProp(TObject* Instance, std::string_view PropName, const std::u16string& Value);
// The text of a string-like property (string, wide string, character, variant) as UTF-16;
// "" when missing or of another kind.
std::u16string GetWideTextProp(TObject* Instance, std::string_view PropName);

// Enumerations by identifier. GetEnumValue answers -1 for an unknown name; GetEnumName ""
// for an out-of-range value.
std::string GetEnumName(const TEnumInfo& Info, int Value);
int GetEnumValue(const TEnumInfo& Info, std::string_view Name);
std::string GetEnumProp(TObject* Instance, std::string_view PropName);
// EPropertyError "Invalid property element: X" for an unknown identifier.
void SetEnumProp(TObject* Instance, std::string_view PropName, std::string_view Value);

// Sets as "[a,b]" (elements in ordinal order); brackets and blanks are optional on input.
std::string SetToString(const TEnumInfo& Info, uint64_t Bits, bool Brackets = true);
// EPropertyError "Invalid property element: X" for an unknown element.
uint64_t StringToSet(const TEnumInfo& Info, std::string_view Text);
std::string GetSetProp(TObject* Instance, std::string_view PropName, bool Brackets = true);
void SetSetProp(TObject* Instance, std::string_view PropName, std::string_view Value);

// Object properties: nullptr when missing, not an object property, or not of `MinClass`.
TObject* GetObjectProp(TObject* Instance, std::string_view PropName);
TObject* GetObjectPropOf(TObject* Instance, std::string_view PropName, TClass MinClass);
template <class T>
T* GetObjectPropAs(TObject* Instance, std::string_view PropName) {
  return static_cast<T*>(GetObjectPropOf(Instance, PropName, T::StaticClass()));
}
// A value that is not of the property's class is ignored, as the class library does.
void SetObjectProp(TObject* Instance, std::string_view PropName, TObject* Value);

Variant GetVariantProp(TObject* Instance, std::string_view PropName);
void SetVariantProp(TObject* Instance, std::string_view PropName, const Variant& Value);

TMethodRef GetMethodProp(TObject* Instance, std::string_view PropName);
// `Handler` holds the event's TEvent type (or is empty to clear it); false for another type.
bool SetMethodProp(TObject* Instance, std::string_view PropName, const std::any& Handler);

// The value as text: integers in decimal (or their identifier when the property has one),
// enumerations by name, sets as "[..]", floats with FloatToStr, strings as they are, handlers
// by name, objects as "". "" when the property is missing.
std::string GetPropText(TObject* Instance, std::string_view PropName);
// Parses `Text` by the property's kind and sets it. False, changing nothing, when the property
// is missing, read-only, an object or handler, or the text does not parse.
bool SetPropText(TObject* Instance, std::string_view PropName, const std::string& Text);

// Dotted paths through published object properties ("Font.Name"). GetPropInfoByPath answers
// the last property and the object that holds it, or nullptr when any step is missing.
const TPropInfo* GetPropInfoByPath(TObject* Instance, std::string_view Path, TObject** Holder = nullptr);
std::string GetPropTextPath(TObject* Instance, std::string_view Path);
bool SetPropTextPath(TObject* Instance, std::string_view Path, const std::string& Text);
