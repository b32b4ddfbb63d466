#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"

namespace {

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
int Sign(int c) {
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Answers the byte length of the match of `pattern` at s[at] under simple case folding,
// or npos. The two texts may differ in byte length for the same folded characters.
size_t MatchFolded(std::string_view s, size_t at, std::string_view pattern) {
  size_t i = at, j = 0;
  while (j < pattern.size()) {
    if (i >= s.size()) return std::string_view::npos;
    char32_t a, b;
    int la, lb;
    bool va = Utf8Decode(s, i, a, la);
    bool vb = Utf8Decode(pattern, j, b, lb);
    if (va != vb) return std::string_view::npos;
    if (va ? UnicodeFoldCase(a) != UnicodeFoldCase(b) : s[i] != pattern[j]) return std::string_view::npos;
    i += static_cast<size_t>(la);
    j += static_cast<size_t>(lb);
  }
  return i - at;
}

[[noreturn]] void InvalidInteger(const std::string& s) {
  throw EConvertError(QuotedInput(s) + " is not a valid integer value");
}

// The class library's integer syntax: leading blanks, optional sign, decimal digits or
// hex after "$", "x" or "0x". Hex covers the unsigned range of the type and wraps, so
// "$FFFFFFFF" is -1 as a 32-bit value.
bool ParseInteger(std::string_view s, uint64_t decMaxPos, uint64_t decMaxNeg, uint64_t hexMax, int64_t& out) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  uint64_t limit = hex ? hexMax : neg ? decMaxNeg : decMaxPos;
  uint64_t base = hex ? 16 : 10;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    uint64_t d;
    if (c >= '0' && c <= '9')
      d = static_cast<uint64_t>(c - '0');
    else if (hex && c >= 'a' && c <= 'f')
      d = static_cast<uint64_t>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F')
      d = static_cast<uint64_t>(c - 'A' + 10);
    else
      return false;
    if (v > (limit - d) / base) return false;
    v = v * base + d;
  }
  if (hex && hexMax == 0xFFFFFFFFull) {
    uint32_t w = static_cast<uint32_t>(v);
    if (neg) w = 0u - w;
    out = static_cast<int32_t>(w);
  } else {
    uint64_t w = neg ? 0u - v : v;
    out = static_cast<int64_t>(w);
  }
  return true;
}

// A number in the locale's notation, for StrToBool: surrounding blanks, optional sign,
// digits with the locale's decimal separator and an optional exponent.
bool ParseNumber(const std::string& text, double& value) {
  std::string t = Trim(text);
  const std::string& sep = FormatSettings().DecimalSeparator;
  if (!sep.empty() && sep != ".") {
    if (t.find('.') != std::string::npos) return false;
    size_t p = t.find(sep);
    if (p != std::string::npos) t = t.substr(0, p) + '.' + t.substr(p + sep.size());
  }
  size_t start = 0;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) start = 1;
  if (start >= t.size() || !(std::isdigit(static_cast<unsigned char>(t[start])) || t[start] == '.'))
    return false;
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  const char* last = t.data() + t.size();
  auto r = std::from_chars(first, last, value, std::chars_format::general);
  return r.ec == std::errc() && r.ptr == last;
}

}  // namespace

// --- case and comparison ---------------------------------------------------------------

int CompareStr(const std::string& S1, const std::string& S2) {
  return Sign(S1.compare(S2));
}

int CompareText(const std::string& S1, const std::string& S2) {
  size_t n = std::min(S1.size(), S2.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char a = static_cast<unsigned char>(AsciiUpper(S1[i]));
    unsigned char b = static_cast<unsigned char>(AsciiUpper(S2[i]));
    if (a != b) return a < b ? -1 : 1;
  }
  return S1.size() < S2.size() ? -1 : S1.size() > S2.size() ? 1 : 0;
}

bool SameText(const std::string& S1, const std::string& S2) {
  return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}
bool SameStr(const std::string& S1, const std::string& S2) {
  return S1 == S2;
}

std::string UpperCase(const std::string& S) {
  std::string r(S);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

std::string LowerCase(const std::string& S) {
  std::string r(S);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

int AnsiPos(const std::string& Substr, const std::string& S) {
  if (Substr.empty()) return 0;
  size_t p = S.find(Substr);
  // A byte match that starts inside a character is no match; look further.
  while (p != std::string::npos && p > 0 && (static_cast<unsigned char>(S[p]) & 0xC0) == 0x80)
    p = S.find(Substr, p + 1);
  if (p == std::string::npos) return 0;
  return Utf8Length(std::string_view(S).substr(0, p)) + 1;
}

// --- search, trim, replace, quote --------------------------------------------------------

int Pos(const std::string& Substr, const std::string& S, int Offset) {
  if (Substr.empty() || Offset < 1 || static_cast<size_t>(Offset) > S.size()) return 0;
  size_t p = S.find(Substr, static_cast<size_t>(Offset - 1));
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Trim(const std::string& S) {
  size_t b = 0, e = S.size();
  while (b < e && IsBlank(S[b])) ++b;
  while (e > b && IsBlank(S[e - 1])) --e;
  return S.substr(b, e - b);
}

std::string TrimLeft(const std::string& S) {
  size_t b = 0;
  while (b < S.size() && IsBlank(S[b])) ++b;
  return S.substr(b);
}

std::string TrimRight(const std::string& S) {
  size_t e = S.size();
  while (e > 0 && IsBlank(S[e - 1])) --e;
  return S.substr(0, e);
}

std::string Copy(const std::string& S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || static_cast<size_t>(Index) > S.size()) return {};
  return S.substr(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          int Flags) {
  if (OldPattern.empty()) return S;
  const bool all = (Flags & rfReplaceAll) != 0;
  const bool ignoreCase = (Flags & rfIgnoreCase) != 0;
  std::string out;
  size_t i = 0;
  while (i < S.size()) {
    size_t matched = std::string::npos;
    if (ignoreCase) {
      matched = MatchFolded(S, i, OldPattern);
    } else if (S.compare(i, OldPattern.size(), OldPattern) == 0) {
      matched = OldPattern.size();
    }
    if (matched != std::string::npos) {
      out += NewPattern;
      i += matched;
      if (!all) break;
      continue;
    }
    // Step a whole character so that a match never starts inside one.
    int len = Utf8CharLength(S, i);
    out.append(S, i, static_cast<size_t>(len));
    i += static_cast<size_t>(len);
  }
  out.append(S, i, std::string::npos);
  return out;
}

std::string QuotedStr(const std::string& S) {
  return AnsiQuotedStr(S, '\'');
}

std::string AnsiQuotedStr(const std::string& S, char Quote) {
  std::string out;
  out.reserve(S.size() + 2);
  out += Quote;
  for (size_t i = 0; i < S.size();) {
    int len = Utf8CharLength(S, i);
    // Only a whole one-byte character is the quote; a byte inside a sequence never is.
    if (len == 1 && S[i] == Quote) out += Quote;
    out.append(S, i, static_cast<size_t>(len));
    i += static_cast<size_t>(len);
  }
  out += Quote;
  return out;
}

std::string AnsiExtractQuotedStr(const std::string& S, size_t& pos, char Quote) {
  if (pos >= S.size() || S[pos] != Quote) return {};
  std::string out;
  size_t i = pos + 1;
  while (i < S.size()) {
    if (S[i] == Quote) {
      if (i + 1 < S.size() && S[i + 1] == Quote) {
        out += Quote;
        i += 2;
        continue;
      }
      ++i;  // the closing quote
      pos = i;
      return out;
    }
    int len = Utf8CharLength(S, i);
    out.append(S, i, static_cast<size_t>(len));
    i += static_cast<size_t>(len);
  }
  pos = S.size();  // unterminated: the rest is the token
  return out;
}

std::string AnsiDequotedStr(const std::string& S, char Quote) {
  if (S.empty()) return S;
  size_t pos = 0;
  std::string r = AnsiExtractQuotedStr(S, pos, Quote);
  // Text that is not wholly quoted comes back unchanged.
  if ((r.empty() || pos >= S.size()) && (S.front() != Quote || S.back() != Quote)) return S;
  return r;
}

std::string StringOfChar(char C, int Count) {
  return Count > 0 ? std::string(static_cast<size_t>(Count), C) : std::string();
}

bool StartsText(const std::string& Sub, const std::string& S) {
  return Sub.empty() || MatchFolded(S, 0, Sub) != std::string::npos;
}

bool EndsText(const std::string& Sub, const std::string& S) {
  if (Sub.empty()) return true;
  // Folded forms may differ in byte length, so try every character start near the end.
  size_t reach = Sub.size() * 2 + 4;
  size_t from = S.size() > reach ? S.size() - reach : 0;
  for (size_t i = from; i < S.size(); ++i) {
    if ((static_cast<unsigned char>(S[i]) & 0xC0) == 0x80) continue;
    size_t m = MatchFolded(S, i, Sub);
    if (m != std::string::npos && i + m == S.size()) return true;
  }
  return false;
}

// --- integers and text ---------------------------------------------------------------------

std::string IntToStr(int64_t Value) {
  return std::to_string(Value);
}

std::string IntToHex(int64_t Value, int Digits) {
  static const char kHex[] = "0123456789ABCDEF";
  uint64_t v = static_cast<uint64_t>(Value);
  std::string r;
  do {
    r.insert(r.begin(), kHex[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  if (Digits > 0 && r.size() < static_cast<size_t>(Digits))
    r.insert(0, static_cast<size_t>(Digits) - r.size(), '0');
  return r;
}

bool TryStrToInt(const std::string& S, int32_t& Value) {
  int64_t v;
  if (!ParseInteger(S, INT32_MAX, 2147483648ull, 0xFFFFFFFFull, v)) return false;
  Value = static_cast<int32_t>(v);
  return true;
}

bool TryStrToInt64(const std::string& S, int64_t& Value) {
  return ParseInteger(S, INT64_MAX, 9223372036854775808ull, UINT64_MAX, Value);
}

int32_t StrToInt(const std::string& S) {
  int32_t v;
  if (!TryStrToInt(S, v)) InvalidInteger(S);
  return v;
}

int64_t StrToInt64(const std::string& S) {
  int64_t v;
  if (!TryStrToInt64(S, v)) InvalidInteger(S);
  return v;
}

int32_t StrToIntDef(const std::string& S, int32_t Default) {
  int32_t v;
  return TryStrToInt(S, v) ? v : Default;
}

int64_t StrToInt64Def(const std::string& S, int64_t Default) {
  int64_t v;
  return TryStrToInt64(S, v) ? v : Default;
}

std::string BoolToStr(bool B, bool UseBoolStrs) {
  if (UseBoolStrs) return B ? "True" : "False";
  return B ? "-1" : "0";
}

bool TryStrToBool(const std::string& S, bool& Value) {
  double d;
  if (ParseNumber(S, d)) {
    Value = d != 0;
    return true;
  }
  if (SameText(S, "True")) {
    Value = true;
    return true;
  }
  if (SameText(S, "False")) {
    Value = false;
    return true;
  }
  return false;
}

bool StrToBool(const std::string& S) {
  bool v;
  if (!TryStrToBool(S, v)) throw EConvertError(QuotedInput(S) + " is not a valid boolean value");
  return v;
}

// --- hints ---------------------------------------------------------------------------------

std::string GetShortHint(const std::string& Hint) {
  size_t p = Hint.find('|');
  return p == std::string::npos ? Hint : Hint.substr(0, p);
}

std::string GetLongHint(const std::string& Hint) {
  size_t p = Hint.find('|');
  return p == std::string::npos ? Hint : Hint.substr(p + 1);
}

// --- UTF-8 and UTF-16 ------------------------------------------------------------------------

bool Utf8Decode(std::string_view S, size_t i, char32_t& CodePoint, int& Length) {
  CodePoint = 0xFFFD;
  Length = 1;
  if (i >= S.size()) return false;
  const unsigned char b0 = static_cast<unsigned char>(S[i]);
  if (b0 < 0x80) {
    CodePoint = b0;
    return true;
  }
  // Lead byte -> sequence length and the allowed range of the second byte, which rules
  // out overlong forms, surrogates and values past U+10FFFF.
  int n;
  unsigned char lo = 0x80, hi = 0xBF;
  char32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return false;
  }
  if (S.size() - i < static_cast<size_t>(n)) return false;
  for (int k = 1; k < n; ++k) {
    const unsigned char b = static_cast<unsigned char>(S[i + static_cast<size_t>(k)]);
    if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) return false;
    cp = (cp << 6) | (b & 0x3F);
  }
  CodePoint = cp;
  Length = n;
  return true;
}

void Utf8Append(std::string& Out, char32_t C) {
  if ((C >= 0xD800 && C <= 0xDFFF) || C > 0x10FFFF) C = 0xFFFD;
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

std::u16string Utf8ToUtf16(std::string_view S) {
  std::u16string out;
  out.reserve(S.size());
  for (size_t i = 0; i < S.size();) {
    char32_t cp;
    int len;
    Utf8Decode(S, i, cp, len);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += static_cast<size_t>(len);
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view S) {
  std::string out;
  out.reserve(S.size());
  for (size_t i = 0; i < S.size(); ++i) {
    char32_t c = S[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < S.size() && S[i + 1] >= 0xDC00 && S[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(S[i + 1]) - 0xDC00);
      ++i;
    }
    Utf8Append(out, c);  // a lone surrogate becomes U+FFFD
  }
  return out;
}

int Utf8Length(std::string_view S) {
  int n = 0;
  for (size_t i = 0; i < S.size(); i += static_cast<size_t>(Utf8CharLength(S, i))) ++n;
  return n;
}

int Utf8CharLength(std::string_view S, size_t i) {
  char32_t cp;
  int len;
  Utf8Decode(S, i, cp, len);
  return len;
}

std::string Utf8Left(std::string_view S, int Count) {
  size_t i = 0;
  for (int n = 0; n < Count && i < S.size(); ++n) i += static_cast<size_t>(Utf8CharLength(S, i));
  return std::string(S.substr(0, i));
}

// --- identifiers -----------------------------------------------------------------------------

bool IsValidIdent(const std::string& Ident) {
  if (Ident.empty()) return false;
  for (size_t i = 0; i < Ident.size();) {
    char32_t cp;
    int len;
    if (!Utf8Decode(Ident, i, cp, len)) return false;
    bool ok = cp == '_' || (cp < 0x80 ? (cp | 0x20) >= 'a' && (cp | 0x20) <= 'z' : UnicodeIsLetter(cp)) ||
              (i > 0 && cp >= '0' && cp <= '9');
    if (!ok) return false;
    i += static_cast<size_t>(len);
  }
  return true;
}
