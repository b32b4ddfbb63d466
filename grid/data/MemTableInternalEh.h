#pragma once
// What the files of the in-memory table store share and do not publish: value conversion,
// key comparison and the message texts.
#include <string>

#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/Variant.h"

namespace memtable_detail {

constexpr TVarType varByteArray = varArray | varByte;

// The answers of CompareKeys.
constexpr int kLess = -1;
constexpr int kEqual = 0;
constexpr int kGreater = 1;
constexpr int kNotComparable = 2;

inline constexpr const char* SOldValuesNotAccessible =
    "TMemoryRecordEh.GetDataValues: Old values is not accessible.";
inline constexpr const char* SEditValuesNotAccessible =
    "TMemoryRecordEh.GetDataValues: Edit values is not accessible.";
inline constexpr const char* SNotComparable = "TMTIndexEh.FindKeyValueIndex: values is not comparable.";
inline constexpr const char* SUniqueViolation = "Unical key violation ";
inline constexpr const char* SWriteEmpty = "\"TMemoryRecordEh.WriteData\" - Invalid variant type - varEmpty";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";

// Casts a value to a field's Variant type: Null stays Null, a byte array becomes the string of
// its bytes for varString (and a string a byte array for the byte-array type), varVariant
// copies, anything else goes through VarAsType.
Variant CastValue(const Variant& Value, TVarType Type);

// Converts a value of field From to field To: the cast, then a text cut to To's Size (in
// characters) when To is a string field and From is not one or is a longer one.
Variant ConvertValue(const Variant& Value, const TMTDataFieldEh* From, const TMTDataFieldEh* To);

// The order of index keys: Null before any value and two Nulls equal, arrays element by
// element, anything else by the Variant comparison; kNotComparable when there is none.
int CompareKeys(const Variant& A, const Variant& B);

// A key as text for messages: the value, or the elements of an array joined by ", ".
std::string KeyText(const Variant& Key);

// The first Count characters (code points) of a UTF-8 text.
std::string CutText(const std::string& Text, int Count);

}  // namespace memtable_detail
