#pragma once
// What the field classes' source files share: the message texts DB.h does not hold and
// small helpers.
#include <string>
#include <string_view>

#include "platform/db/Fields.h"
#include "platform/rtl/Exceptions.h"

namespace fields_detail {

inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SFieldRangeError =
    "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SFieldValueTooLong = "Field '%s' value too long";
inline constexpr const char* SInvalidIntegerValue = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloatValue = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SInvalidFieldType = "Invalid field type";

// EConvertError with the message.
[[noreturn]] void ConvertError(const std::string& Message);
// Refused input as the messages above quote it between their own quotes: cut short, so that a
// huge input gives a short message.
inline std::string ShortInput(std::string_view Text) {
  const std::string quoted = QuotedInput(Text);
  return quoted.substr(1, quoted.size() - 2);
}
// EConvertError "'%s' is not a valid integer value" / "... floating point value".
[[noreturn]] void IntegerValueError(const std::string& Text);
[[noreturn]] void FloatValueError(const std::string& Text);

// Parses an integer text (optional blanks and sign, decimal digits or $hex); false when it
// is not one or does not fit.
bool ParseInt64(const std::string& Text, Int64& Value);
// The first character of the locale's decimal separator.
char32_t DecimalSeparatorChar();
// varString or varOleStr: Variants the typed setters take through SetAsString.
bool IsTextVariant(const Variant& Value);

}  // namespace fields_detail
