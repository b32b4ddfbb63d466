// The text form of descriptions and its conversion to and from the binary form.
//
//   object Form1: TForm1          ("inherited" / "inline" for the flags, "[n]" a child position)
//     Caption = 'it''s'#13#10     (control characters as #N; UTF-8 as is; ' +' joins lines)
//     Hint = 'wide'w              (w marks a wide string, which the binary form keeps apart)
//     Ratio = 1.500000000000000000  Size = 2.5s  Price = 125000c  When = 45000.5d
//     Options = [a, b]  Items = ('x' 'y')  Columns = <item ... end>  Data = {0A0B}
//   end
//
// Numbers are written so that they read back to the same bits: an extended value takes 18
// decimals when that is exact, else its shortest round-trip digits; a currency is its count
// of ten-thousandths with the suffix c.
#include <locale.h>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/rtl/Filer.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kMaxDepth = 256;
constexpr size_t kLineChunk = 64;  // string bytes (or wide units) per text line
constexpr const char* kEol = "\r\n";

// --- numbers -----------------------------------------------------------------------------

// Locale-independent: the text form always uses ".".
bool ParseExtended(const std::string& text, long double& value) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = strtold_l(text.c_str(), &end, cLocale);
  if (end != text.c_str() + text.size()) return false;
  return !(errno == ERANGE && std::isinf(value));  // underflow to a denormal is fine
}

bool SameBits(long double a, long double b) {
  return std::memcmp(&a, &b, 10) == 0;
}

template <class F>
std::string Shortest(F value) {
  char buf[128];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::string FormatExtended(long double value) {
  if (!std::isfinite(value)) return Shortest(value);
  long double magnitude = std::fabs(value);
  if (value == 0 || (magnitude >= 1e-4L && magnitude < 1e15L)) {
    char buf[128];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 18);
    std::string fixed(buf, r.ptr);
    long double back;
    if (ParseExtended(fixed, back) && SameBits(back, value)) return fixed;
  }
  std::string s = Shortest(value);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";  // must not read back as an integer
  return s;
}

// --- binary to text ----------------------------------------------------------------------

class TBinaryToText {
 public:
  explicit TBinaryToText(TStream& input) : reader_(input, 4096) {}

  std::string Convert() {
    reader_.ReadSignature();
    ConvertObject(0);
    return std::move(out_);
  }

 private:
  void Indent(int level) { out_.append(static_cast<size_t>(level) * 2, ' '); }
  void NewLine(int level) {
    out_ += kEol;
    Indent(level);
  }
  void Enter() {
    if (++depth_ > kMaxDepth) throw EReadError("Description nested too deeply");
  }

  void ConvertObject(int level) {
    Enter();
    TFilerFlags flags;
    int childPos = 0;
    reader_.ReadPrefix(flags, childPos);
    std::string className = reader_.ReadStr();
    std::string name = reader_.ReadStr();
    Indent(level);
    out_ += flags.Contains(ffInherited) ? "inherited " : flags.Contains(ffInline) ? "inline " : "object ";
    if (!name.empty()) out_ += name + ": ";
    out_ += className;
    if (flags.Contains(ffChildPos)) out_ += " [" + std::to_string(childPos) + "]";
    out_ += kEol;
    while (!reader_.EndOfList()) ConvertProperty(level + 1);
    reader_.ReadListEnd();
    while (!reader_.EndOfList()) ConvertObject(level + 1);
    reader_.ReadListEnd();
    Indent(level);
    out_ += "end";
    out_ += kEol;
    --depth_;
  }

  void ConvertProperty(int level) {
    Indent(level);
    out_ += reader_.ReadStr();
    out_ += " = ";
    ConvertValue(level);
    out_ += kEol;
  }

  void ConvertValue(int level) {
    switch (reader_.NextValue()) {
      case vaList:
        reader_.ReadValue();
        Enter();
        out_ += '(';
        while (!reader_.EndOfList()) {
          NewLine(level + 1);
          ConvertValue(level + 1);
        }
        reader_.ReadListEnd();
        out_ += ')';
        --depth_;
        break;
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64:
        out_ += std::to_string(reader_.ReadInt64());
        break;
      case vaExtended: {
        reader_.ReadValue();
        long double v = 0;
        reader_.Read(&v, 10);
        out_ += FormatExtended(v);
        break;
      }
      case vaDouble: {
        reader_.ReadValue();
        double v;
        reader_.Read(&v, 8);
        std::string s = Shortest(v);
        if (s.find_first_of(".e") == std::string::npos && std::isfinite(v)) s += ".0";
        out_ += s;
        break;
      }
      case vaSingle:
        out_ += Shortest(reader_.ReadSingle()) + "s";
        break;
      case vaCurrency:
        out_ += std::to_string(reader_.ReadCurrency().Raw()) + "c";
        break;
      case vaDate:
        out_ += Shortest(reader_.ReadDate()) + "d";
        break;
      case vaWString:
        WriteWide(reader_.ReadWideString(), level);
        break;
      case vaString:
      case vaLString:
      case vaUTF8String:
        WriteNarrow(reader_.ReadString(), level);
        break;
      case vaIdent:
      case vaFalse:
      case vaTrue:
      case vaNil:
      case vaNull:
        out_ += reader_.ReadIdent();
        break;
      case vaBinary:
        ConvertBinary(level);
        break;
      case vaSet: {
        reader_.ReadValue();
        out_ += '[';
        for (bool first = true;; first = false) {
          std::string name = reader_.ReadStr();
          if (name.empty()) break;
          if (!first) out_ += ", ";
          out_ += name;
        }
        out_ += ']';
        break;
      }
      case vaCollection:
        ConvertCollection(level);
        break;
    }
  }

  void ConvertBinary(int level) {
    static const char kHex[] = "0123456789ABCDEF";
    reader_.ReadValue();
    int32_t count;
    reader_.Read(&count, 4);
    if (count < 0) throw EReadError("Invalid stream format");
    out_ += '{';
    uint8_t chunk[32];
    while (count > 0) {
      int32_t n = count < 32 ? count : 32;
      reader_.Read(chunk, n);  // a short stream fails here, before the text grows further
      NewLine(level + 1);
      for (int32_t i = 0; i < n; ++i) {
        out_ += kHex[chunk[i] >> 4];
        out_ += kHex[chunk[i] & 15];
      }
      count -= n;
    }
    out_ += '}';
  }

  void ConvertCollection(int level) {
    reader_.ReadValue();
    Enter();
    out_ += '<';
    while (!reader_.EndOfList()) {
      NewLine(level + 1);
      out_ += "item";
      TValueType t = reader_.NextValue();
      if (t == vaInt8 || t == vaInt16 || t == vaInt32)
        out_ += " [" + std::to_string(reader_.ReadInteger()) + "]";
      out_ += kEol;
      reader_.CheckValue(vaList);
      while (!reader_.EndOfList()) ConvertProperty(level + 2);
      reader_.ReadListEnd();
      Indent(level + 1);
      out_ += "end";
    }
    reader_.ReadListEnd();
    out_ += '>';
    --depth_;
  }

  // Quoted runs and #N codes; strings longer than a line go on lines of their own, joined by " +".
  template <class Piece>
  void WriteChunks(size_t length, int level, Piece piece) {
    if (length == 0) {
      out_ += "''";
      return;
    }
    bool multiLine = length > kLineChunk;
    size_t pos = 0;
    while (pos < length) {
      if (multiLine) NewLine(level + 1);
      pos = piece(pos);
      if (pos < length) out_ += " +";
    }
  }

  void AppendCode(bool& quoted, uint32_t code) {
    if (quoted) out_ += '\'';
    quoted = false;
    out_ += '#' + std::to_string(code);
  }
  void AppendText(bool& quoted, std::string_view text) {
    if (!quoted) out_ += '\'';
    quoted = true;
    for (char c : text) {
      if (c == '\'') out_ += '\'';
      out_ += c;
    }
  }

  void WriteNarrow(const std::string& s, int level) {
    WriteChunks(s.size(), level, [&](size_t pos) {
      size_t end = std::min(pos + kLineChunk, s.size());
      while (end < s.size() && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        ++end;  // whole characters
      bool quoted = false;
      for (size_t i = pos; i < end; ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F)
          AppendCode(quoted, c);
        else
          AppendText(quoted, std::string_view(&s[i], 1));
      }
      if (quoted) out_ += '\'';
      return end;
    });
  }

  void WriteWide(const std::u16string& s, int level) {
    WriteChunks(s.size(), level, [&](size_t pos) {
      size_t end = std::min(pos + kLineChunk, s.size());
      if (end < s.size() && end > pos && (s[end - 1] & 0xFC00) == 0xD800 && (s[end] & 0xFC00) == 0xDC00)
        ++end;
      bool quoted = false;
      for (size_t i = pos; i < end; ++i) {
        char16_t c = s[i];
        if (c < 0x20 || c == 0x7F) {
          AppendCode(quoted, c);
        } else if ((c & 0xFC00) == 0xD800 && i + 1 < end && (s[i + 1] & 0xFC00) == 0xDC00) {
          AppendText(quoted, Utf16ToUtf8(s.substr(i, 2)));
          ++i;
        } else if ((c & 0xF800) == 0xD800) {
          AppendCode(quoted, c);  // a lone surrogate has no UTF-8 form
        } else {
          AppendText(quoted, Utf16ToUtf8(std::u16string(1, c)));
        }
      }
      if (quoted) out_ += '\'';
      return end;
    });
    out_ += 'w';
  }

  TReader reader_;
  std::string out_;
  int depth_ = 0;
};

// --- text to binary ----------------------------------------------------------------------

enum class TToken { Eof, Symbol, Integer, Float, String, Char };

// One piece of a string constant: quoted UTF-8 text, or a #N code.
struct TStringPiece {
  bool IsCode;
  std::string Text;
  uint32_t Code;
};

class TTextToBinary {
 public:
  TTextToBinary(std::string_view text, TWriter& writer) : src_(text), writer_(writer) {
    if (src_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    Next();
  }

  void Convert() {
    ConvertObject(0);
    if (token_ != TToken::Eof) Error("End of text expected");
  }

 private:
  [[noreturn]] void Error(const std::string& message) {
    throw EParserError(message + " on line " + std::to_string(tokenLine_));
  }

  static bool IdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
  }
  static bool IdentChar(char c) { return IdentStart(c) || (c >= '0' && c <= '9'); }
  static bool Digit(char c) { return c >= '0' && c <= '9'; }
  char At(size_t i) const { return i < src_.size() ? src_[i] : '\0'; }

  void SkipBlanks() {
    while (pos_ < src_.size()) {
      char c = src_[pos_];
      if (c == '\n') {
        ++line_;
      } else if (c == '\r') {
        if (At(pos_ + 1) != '\n') ++line_;
      } else if (c != ' ' && c != '\t') {
        break;
      }
      ++pos_;
    }
  }

  void Next() {
    SkipBlanks();
    tokenLine_ = line_;
    text_.clear();
    if (pos_ >= src_.size()) {
      token_ = TToken::Eof;
      return;
    }
    char c = src_[pos_];
    if (IdentStart(c)) {
      ScanSymbol();
    } else if (c == '\'' || c == '#') {
      ScanString();
    } else if (Digit(c) || (c == '-' && Digit(At(pos_ + 1))) || c == '$' ||
               (c == '-' && At(pos_ + 1) == '$')) {
      ScanNumber();
    } else {
      token_ = TToken::Char;
      char_ = c;
      ++pos_;
    }
  }

  void ScanSymbol() {
    size_t start = pos_;
    for (;;) {
      while (pos_ < src_.size() && IdentChar(src_[pos_])) ++pos_;
      if (At(pos_) == '.' && IdentStart(At(pos_ + 1)))
        ++pos_;
      else
        break;
    }
    token_ = TToken::Symbol;
    text_.assign(src_.substr(start, pos_ - start));
  }

  void ScanString() {
    token_ = TToken::String;
    pieces_.clear();
    wide_ = false;
    for (;;) {
      char c = At(pos_);
      if (c == '\'') {
        ++pos_;
        std::string run;
        for (;;) {
          if (pos_ >= src_.size() || src_[pos_] == '\r' || src_[pos_] == '\n') Error("Unterminated string");
          if (src_[pos_] == '\'') {
            if (At(pos_ + 1) != '\'') break;
            ++pos_;
          }
          run += src_[pos_++];
        }
        ++pos_;
        pieces_.push_back({false, std::move(run), 0});
      } else if (c == '#') {
        ++pos_;
        uint32_t code = 0;
        bool hex = At(pos_) == '$';
        if (hex) ++pos_;
        size_t digits = 0;
        for (;; ++pos_, ++digits) {
          char d = At(pos_);
          int v = Digit(d)                      ? d - '0'
                  : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                  : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                : -1;
          if (v < 0) break;
          code = code * (hex ? 16 : 10) + static_cast<uint32_t>(v);
          if (code > 0x10FFFF) Error("Invalid string constant");
        }
        if (digits == 0) Error("Invalid string constant");
        pieces_.push_back({true, {}, code});
      } else {
        break;
      }
    }
    if ((At(pos_) == 'w' || At(pos_) == 'W') && !IdentChar(At(pos_ + 1))) {
      wide_ = true;
      ++pos_;
    }
  }

  void ScanNumber() {
    size_t start = pos_;
    if (At(pos_) == '-') ++pos_;
    suffix_ = 0;
    if (At(pos_) == '$') {
      ++pos_;
      while (std::isxdigit(static_cast<unsigned char>(At(pos_)))) ++pos_;
      token_ = TToken::Integer;
      text_.assign(src_.substr(start, pos_ - start));
      if (IdentChar(At(pos_))) Error(QuotedInput(text_ + At(pos_)) + " is not a valid number");
      return;
    }
    bool isFloat = false;
    while (Digit(At(pos_))) ++pos_;
    if (At(pos_) == '.' && Digit(At(pos_ + 1))) {
      isFloat = true;
      ++pos_;
      while (Digit(At(pos_))) ++pos_;
    }
    if (At(pos_) == 'e' || At(pos_) == 'E') {
      size_t p = pos_ + 1;
      if (At(p) == '+' || At(p) == '-') ++p;
      if (Digit(At(p))) {
        isFloat = true;
        pos_ = p;
        while (Digit(At(pos_))) ++pos_;
      }
    }
    text_.assign(src_.substr(start, pos_ - start));
    char s = At(pos_);
    if ((s == 's' || s == 'S' || s == 'c' || s == 'C' || s == 'd' || s == 'D') && !IdentChar(At(pos_ + 1))) {
      isFloat = true;
      suffix_ = static_cast<char>(s | 0x20);
      ++pos_;
    }
    if (IdentChar(At(pos_))) {
      size_t end = pos_;
      while (IdentChar(At(end))) ++end;
      Error(QuotedInput(src_.substr(start, end - start)) + " is not a valid number");
    }
    token_ = isFloat ? TToken::Float : TToken::Integer;
  }

  bool IsSymbol(const char* name) const { return token_ == TToken::Symbol && SameText(text_, name); }
  bool IsChar(char c) const { return token_ == TToken::Char && char_ == c; }
  void ExpectChar(char c) {
    if (!IsChar(c)) Error(std::string("'") + c + "' expected");
    Next();
  }
  std::string ExpectSymbol() {
    if (token_ != TToken::Symbol) Error("Identifier expected");
    if (text_.size() > 255) Error("Identifier too long");
    std::string s = text_;
    Next();
    return s;
  }
  void Enter() {
    if (++depth_ > kMaxDepth) Error("Description nested too deeply");
  }

  int64_t IntegerValue() {
    bool negative = !text_.empty() && text_[0] == '-';
    std::string_view digits(text_);
    if (negative) digits.remove_prefix(1);
    bool hex = !digits.empty() && digits[0] == '$';
    if (hex) digits.remove_prefix(1);
    uint64_t magnitude = 0;
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, hex ? 16 : 10);
    uint64_t limit = negative ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
    if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size() || magnitude > limit)
      Error(QuotedInput(text_) + " is not a valid integer value");
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  }

  int32_t Integer32Value() {
    int64_t v = IntegerValue();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
      Error(QuotedInput(text_) + " is not a valid integer value");
    return static_cast<int32_t>(v);
  }

  [[noreturn]] void FloatError() { Error(QuotedInput(text_) + " is not a valid floating point value"); }

  void ConvertFloat() {
    switch (suffix_) {
      case 's': {
        float v;
        auto r = std::from_chars(text_.data(), text_.data() + text_.size(), v);
        if (r.ec != std::errc() || r.ptr != text_.data() + text_.size()) FloatError();
        writer_.WriteSingle(v);
        break;
      }
      case 'd': {
        double v;
        auto r = std::from_chars(text_.data(), text_.data() + text_.size(), v);
        if (r.ec != std::errc() || r.ptr != text_.data() + text_.size()) FloatError();
        writer_.WriteDate(v);
        break;
      }
      case 'c': {
        // The count of ten-thousandths; a fraction is rounded.
        if (text_.find_first_of(".eE") == std::string::npos && text_.find('$') == std::string::npos) {
          writer_.WriteCurrency(Currency::FromRaw(IntegerValue()));
          break;
        }
        long double v;
        if (!ParseExtended(text_, v) || !(std::fabs(v) < 9.2e18L)) FloatError();
        writer_.WriteCurrency(Currency::FromRaw(std::llroundl(v)));
        break;
      }
      default: {
        long double v;
        if (!ParseExtended(text_, v)) FloatError();
        writer_.WriteFloat(v);
      }
    }
    Next();
  }

  void ConvertString() {
    std::vector<TStringPiece> pieces = std::move(pieces_);
    bool wide = wide_;
    Next();
    while (IsChar('+')) {
      Next();
      if (token_ != TToken::String) Error("String expected");
      for (TStringPiece& p : pieces_) pieces.push_back(std::move(p));
      wide = wide || wide_;
      Next();
    }
    if (wide) {
      std::u16string w;
      for (const TStringPiece& p : pieces) {
        if (!p.IsCode) {
          w += Utf8ToUtf16(p.Text);
        } else if (p.Code <= 0xFFFF) {
          w += static_cast<char16_t>(p.Code);  // a lone surrogate stays as written
        } else {
          w += static_cast<char16_t>(0xD800 + ((p.Code - 0x10000) >> 10));
          w += static_cast<char16_t>(0xDC00 + ((p.Code - 0x10000) & 0x3FF));
        }
      }
      writer_.WriteWideString(w);
    } else {
      std::string s;
      for (const TStringPiece& p : pieces) {
        if (p.IsCode)
          Utf8Append(s, p.Code);
        else
          s += p.Text;
      }
      writer_.WriteString(s);
    }
  }

  void ConvertBinary() {
    // The hex digits follow the '{' already consumed, blanks and line breaks between them.
    std::vector<uint8_t> bytes;
    int high = -1;
    for (;;) {
      if (pos_ >= src_.size()) Error("Invalid binary value");
      char c = src_[pos_++];
      if (c == '}') break;
      if (c == '\n') ++line_;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
      int v = Digit(c)               ? c - '0'
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                     : -1;
      if (v < 0) Error("Invalid binary value");
      if (high < 0) {
        high = v;
      } else {
        bytes.push_back(static_cast<uint8_t>(high * 16 + v));
        high = -1;
      }
    }
    if (high >= 0) Error("Invalid binary value");
    writer_.WriteValue(vaBinary);
    auto n = static_cast<int32_t>(bytes.size());
    writer_.Write(&n, 4);
    writer_.Write(bytes.data(), n);
    Next();
  }

  void ConvertCollection() {
    Enter();
    writer_.WriteValue(vaCollection);
    Next();
    while (IsSymbol("item")) {
      Next();
      if (IsChar('[')) {
        Next();
        if (token_ != TToken::Integer) Error("Number expected");
        writer_.WriteInteger(Integer32Value());
        Next();
        ExpectChar(']');
      }
      writer_.WriteListBegin();
      while (!IsSymbol("end")) {
        if (token_ == TToken::Eof) Error("END expected");
        ConvertProperty();
      }
      writer_.WriteListEnd();
      Next();
    }
    ExpectChar('>');
    writer_.WriteListEnd();
    --depth_;
  }

  void ConvertValue(bool inList) {
    switch (token_) {
      case TToken::Integer:
        writer_.WriteInt64(IntegerValue());
        Next();
        return;
      case TToken::Float:
        ConvertFloat();
        return;
      case TToken::String:
        ConvertString();
        return;
      case TToken::Symbol: {
        std::string name = ExpectSymbol();
        if (SameText(name, "True")) {
          writer_.WriteValue(vaTrue);
        } else if (SameText(name, "False")) {
          writer_.WriteValue(vaFalse);
        } else if (SameText(name, "nil")) {
          writer_.WriteValue(vaNil);
        } else if (SameText(name, "Null") && !inList) {
          writer_.WriteValue(vaNull);  // inside a list the Null tag would end it
        } else {
          writer_.WriteValue(vaIdent);
          writer_.WriteStr(name);
        }
        return;
      }
      case TToken::Char:
        break;
      case TToken::Eof:
        Error("Invalid property value");
    }
    switch (char_) {
      case '[':
        writer_.WriteValue(vaSet);
        Next();
        if (!IsChar(']')) {
          for (;;) {
            writer_.WriteStr(ExpectSymbol());
            if (IsChar(']')) break;
            ExpectChar(',');
          }
        }
        writer_.WriteStr("");
        Next();
        return;
      case '(':
        Enter();
        writer_.WriteValue(vaList);
        Next();
        while (!IsChar(')')) {
          if (token_ == TToken::Eof) Error("')' expected");
          ConvertValue(true);
        }
        writer_.WriteListEnd();
        Next();
        --depth_;
        return;
      case '{':
        ConvertBinary();
        return;
      case '<':
        ConvertCollection();
        return;
      default:
        Error("Invalid property value");
    }
  }

  void ConvertProperty() {
    writer_.WriteStr(ExpectSymbol());
    ExpectChar('=');
    ConvertValue(false);
  }

  bool AtObject() const { return IsSymbol("object") || IsSymbol("inherited") || IsSymbol("inline"); }

  void ConvertObject(int depth) {
    if (depth > kMaxDepth) Error("Description nested too deeply");
    if (!AtObject()) Error("OBJECT expected");
    TFilerFlags flags;
    if (IsSymbol("inherited")) flags.Include(ffInherited);
    if (IsSymbol("inline")) flags.Include(ffInline);
    Next();
    std::string name;
    std::string className = ExpectSymbol();
    if (IsChar(':')) {
      Next();
      name = std::move(className);
      className = ExpectSymbol();
    }
    int childPos = 0;
    if (IsChar('[')) {
      Next();
      if (token_ != TToken::Integer) Error("Number expected");
      childPos = Integer32Value();
      flags.Include(ffChildPos);
      Next();
      ExpectChar(']');
    }
    writer_.WritePrefix(flags, childPos);
    writer_.WriteStr(className);
    writer_.WriteStr(name);
    while (!IsSymbol("end") && !AtObject()) {
      if (token_ == TToken::Eof) Error("END expected");
      ConvertProperty();
    }
    writer_.WriteListEnd();
    while (AtObject()) ConvertObject(depth + 1);
    writer_.WriteListEnd();
    if (!IsSymbol("end")) Error("END expected");
    Next();
  }

  std::string_view src_;
  TWriter& writer_;
  size_t pos_ = 0;
  int line_ = 1;
  int tokenLine_ = 1;
  int depth_ = 0;
  TToken token_ = TToken::Eof;
  std::string text_;  // a symbol's or number's text
  char char_ = 0;
  char suffix_ = 0;  // a float's type letter, lower case
  std::vector<TStringPiece> pieces_;
  bool wide_ = false;
};

}  // namespace

void ObjectBinaryToText(TStream& Input, TStream& Output) {
  std::string text;
  {
    TBinaryToText converter(Input);
    text = converter.Convert();
  }
  Output.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void ObjectTextToBinary(TStream& Input, TStream& Output) {
  int64_t size = Input.Size() - Input.Position();
  if (size < 0) size = 0;
  if (size > (int64_t(1) << 30)) throw EParserError("Text too large on line 1");
  std::string text(static_cast<size_t>(size), '\0');
  Input.ReadBuffer(text.data(), size);
  TWriter writer(Output, 4096);
  writer.WriteSignature();
  TTextToBinary(text, writer).Convert();
  writer.FlushBuffer();
}
