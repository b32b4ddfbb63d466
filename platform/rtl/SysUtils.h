#pragma once
// Text routines of the runtime library. Text is UTF-8; a "character" is a code point.
// Locale-aware comparison and case mapping use ICU collation for the configured locale
// (FormatSettings().CollationLocale), so Chinese text sorts in pinyin order.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Currency.h"
#include "platform/rtl/Types.h"

// Case and comparison. Compare* answer <0, 0 or >0.
int CompareStr(const std::string& S1, const std::string& S2);   // bytes
int CompareText(const std::string& S1, const std::string& S2);  // ASCII case folded
bool SameText(const std::string& S1, const std::string& S2);
bool SameStr(const std::string& S1, const std::string& S2);
int AnsiCompareStr(const std::string& S1, const std::string& S2);   // collation, case-sensitive
int AnsiCompareText(const std::string& S1, const std::string& S2);  // collation, case-insensitive
bool AnsiSameText(const std::string& S1, const std::string& S2);
bool AnsiSameStr(const std::string& S1, const std::string& S2);
std::string UpperCase(const std::string& S);      // ASCII only
std::string LowerCase(const std::string& S);      // ASCII only
std::string AnsiUpperCase(const std::string& S);  // Unicode simple case mapping
std::string AnsiLowerCase(const std::string& S);
int AnsiPos(const std::string& Substr, const std::string& S);  // 1-based, in code points; 0 = none

// Search, trim, replace, quote. Positions are 1-based byte positions as in the class library.
int Pos(const std::string& Substr, const std::string& S, int Offset = 1);
std::string Trim(const std::string& S);  // removes characters <= ' ' at both ends
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);
std::string Copy(const std::string& S, int Index, int Count);  // 1-based, clamped
enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          int Flags);
std::string QuotedStr(const std::string& S);                  // 'it''s'
std::string AnsiQuotedStr(const std::string& S, char Quote);  // never splits a character
std::string AnsiDequotedStr(const std::string& S, char Quote);
// Reads a quoted string starting at `pos` (0-based byte index); advances `pos` past it.
std::string AnsiExtractQuotedStr(const std::string& S, size_t& pos, char Quote);
std::string StringOfChar(char C, int Count);
bool StartsText(const std::string& Sub, const std::string& S);
bool EndsText(const std::string& Sub, const std::string& S);

// Integers and text. EConvertError "'%s' is not a valid integer value".
std::string IntToStr(int64_t Value);
std::string IntToHex(int64_t Value, int Digits);
int32_t StrToInt(const std::string& S);  // decimal or $hex / 0x hex
int64_t StrToInt64(const std::string& S);
int32_t StrToIntDef(const std::string& S, int32_t Default);
int64_t StrToInt64Def(const std::string& S, int64_t Default);
bool TryStrToInt(const std::string& S, int32_t& Value);
bool TryStrToInt64(const std::string& S, int64_t& Value);
std::string BoolToStr(bool B, bool UseBoolStrs = false);  // "-1"/"0", or "True"/"False"
bool StrToBool(const std::string& S);
bool TryStrToBool(const std::string& S, bool& Value);

// Format with the class library's directives: %s %d %u %x %X %e %f %g %n %m %p %%, with index
// ("%0:s"), "-" (left justify), width and precision, "*" from the arguments.
// EConvertError "Format '%s' invalid or incompatible with argument" on a mismatch.
struct TVarRec {
  enum Kind { vtInteger, vtInt64, vtExtended, vtString, vtPointer, vtBoolean, vtChar, vtCurrency } VType;
  int64_t VInt = 0;
  Extended VExtended = 0;
  std::string VString;
  const void* VPointer = nullptr;
  TVarRec(int v) : VType(vtInteger), VInt(v) {}
  TVarRec(unsigned v) : VType(vtInt64), VInt(v) {}
  TVarRec(long v) : VType(vtInt64), VInt(v) {}
  TVarRec(long long v) : VType(vtInt64), VInt(v) {}
  TVarRec(unsigned long v) : VType(vtInt64), VInt(static_cast<int64_t>(v)) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(long double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(bool v) : VType(vtBoolean), VInt(v) {}
  TVarRec(char v) : VType(vtChar), VString(1, v) {}
  TVarRec(const char* v) : VType(vtString), VString(v ? v : "") {}
  TVarRec(std::string v) : VType(vtString), VString(std::move(v)) {}
  TVarRec(std::string_view v) : VType(vtString), VString(v) {}
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  TVarRec(Currency v) : VType(vtCurrency), VInt(v.Raw()) {}  // VInt holds the raw ten-thousandths
};
std::string Format(const std::string& Fmt, const std::vector<TVarRec>& Args);
template <class... A>
std::string Fmt(const std::string& FormatText, A&&... args) {
  return Format(FormatText, std::vector<TVarRec>{TVarRec(std::forward<A>(args))...});
}

// Hints: "short|long".
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

// UTF-8 <-> UTF-16; invalid input becomes U+FFFD, never an overrun.
std::u16string Utf8ToUtf16(std::string_view S);
std::string Utf16ToUtf8(std::u16string_view S);
// Code points: count, and the byte length of the character that starts at S[i] (1 for an
// invalid byte).
int Utf8Length(std::string_view S);
int Utf8CharLength(std::string_view S, size_t i);
// The first `count` characters.
std::string Utf8Left(std::string_view S, int Count);
// Decodes the character at S[i] (i < S.size()) into CodePoint and its byte length; answers
// false for an invalid byte, with CodePoint = U+FFFD and Length = 1.
bool Utf8Decode(std::string_view S, size_t i, char32_t& CodePoint, int& Length);
// Appends the UTF-8 form of CodePoint (U+FFFD for surrogates and values past U+10FFFF).
void Utf8Append(std::string& Out, char32_t CodePoint);

// Identifiers: a letter or "_" followed by letters, digits or "_".
bool IsValidIdent(const std::string& Ident);

// The nearest integer, a half going to the even neighbour (the runtime's Round).
inline int RoundHalfEven(double Value) {
  return static_cast<int>(std::nearbyint(Value));
}
