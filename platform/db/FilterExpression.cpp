#include "platform/db/FilterExpression.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string_view>

#include "platform/rtl/Collation.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

// --- case folding and LIKE ------------------------------------------------------------------

namespace {

constexpr uint64_t kEveryByte = 0x0101010101010101u;
constexpr uint64_t kHighBits = 0x8080808080808080u;
constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;

uint64_t LoadWord(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

// The n < 8 bytes at p in the low bytes of a word, the rest zero: two overlapping loads, where
// bytes copied one by one into a word would stall the load that reads them back.
uint64_t LoadShort(const char* p, size_t n) {
  if (n >= 4) {
    uint32_t low, high;
    std::memcpy(&low, p, 4);
    std::memcpy(&high, p + n - 4, 4);
    return low | (uint64_t{high} << (8 * (n - 4)));
  }
  if (n == 0) return 0;
  const auto byte = [p](size_t i) { return uint64_t{static_cast<unsigned char>(p[i])}; };
  return byte(0) | (byte(n / 2) << (8 * (n / 2))) | (byte(n - 1) << (8 * (n - 1)));
}

// Text bytes [at, at + 8) as a word, those past the end zero; reads nothing outside the text.
// `at` < s.size().
uint64_t WindowAt(std::string_view s, size_t at) {
  const size_t left = s.size() - at;
  if (left >= 8) return LoadWord(s.data() + at);
  // The last eight bytes shifted down to the ones wanted.
  if (s.size() >= 8) return LoadWord(s.data() + s.size() - 8) >> (8 * (8 - left));
  return LoadShort(s.data() + at, left);
}

bool IsAsciiText(std::string_view s) {
  uint64_t seen = 0;
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) seen |= LoadWord(s.data() + i);
  if (i < s.size()) seen |= WindowAt(s, i);
  return (seen & kHighBits) == 0;
}

char AsciiFold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// ASCII text against a folded ASCII segment, folding as it reads, so a match copies nothing.
bool FoldedEqualAt(std::string_view s, size_t at, std::string_view seg) {
  if (s.size() - at < seg.size()) return false;
  for (size_t k = 0; k < seg.size(); ++k)
    if (AsciiFold(s[at + k]) != seg[k]) return false;
  return true;
}

// Eight ASCII bytes with 'A'..'Z' lowered: a byte's high bit after adding 0x3F says it is at
// least 'A', after adding 0x25 that it is past 'Z'; no byte carries into the next one.
uint64_t FoldWord(uint64_t w) {
  const uint64_t upper = ((w + 0x3F3F3F3F3F3F3F3Fu) ^ (w + 0x2525252525252525u)) & kHighBits;
  return w | (upper >> 2);
}

// The high bit of every byte of `w` equal to the byte `repeated` holds in each; exact in every
// byte, as no sum carries past its own byte.
uint64_t EqualBytes(uint64_t w, uint64_t repeated) {
  const uint64_t x = w ^ repeated;
  return ~(((x & kLowBits) + kLowBits) | x) & kHighBits;
}

__extension__ typedef unsigned __int128 TTwoWords;

constexpr size_t kShortText = 16;

// FoldedFind from the start of a text of at most kShortText bytes, the usual length of a cell:
// the text in two words, the segment's first and last bytes compared at every start at once.
// `Ascii` tells whether the text is ASCII; the answer counts only if it is.
size_t FoldedFindShort(std::string_view s, std::string_view seg, bool& Ascii) {
  const size_t n = s.size();
  const size_t m = seg.size();
  uint64_t low = n >= 8 ? LoadWord(s.data()) : LoadShort(s.data(), n);
  uint64_t high = n > 8 ? LoadWord(s.data() + n - 8) >> (8 * (kShortText - n)) : 0;
  Ascii = ((low | high) & kHighBits) == 0;
  if (m > n) return std::string_view::npos;
  low = FoldWord(low);
  high = FoldWord(high);
  const uint64_t first = kEveryByte * static_cast<unsigned char>(seg[0]);
  const uint64_t last = kEveryByte * static_cast<unsigned char>(seg[m - 1]);
  const TTwoWords text = (TTwoWords{high} << 64) | low;
  const TTwoWords ends = text >> (8 * (m - 1));
  TTwoWords hits =
      (TTwoWords{EqualBytes(high, first) & EqualBytes(static_cast<uint64_t>(ends >> 64), last)} << 64) |
      (EqualBytes(low, first) & EqualBytes(static_cast<uint64_t>(ends), last));
  // No start past the last one that leaves room for the segment.
  const size_t starts = n - m + 1;
  if (starts < kShortText) hits &= (TTwoWords{1} << (8 * starts)) - 1;
  const std::string_view middle = m > 2 ? seg.substr(1, m - 2) : std::string_view();
  for (; hits != 0; hits &= hits - 1) {
    const uint64_t lowHits = static_cast<uint64_t>(hits);
    const size_t bit =
        lowHits ? __builtin_ctzll(lowHits) : 64 + __builtin_ctzll(static_cast<uint64_t>(hits >> 64));
    const size_t start = bit / 8;
    if (FoldedEqualAt(s, start + 1, middle)) return start;
  }
  return std::string_view::npos;
}

// The first place from `from` on where `seg` starts in ASCII text, folding as it reads: eight
// starts at a time keep those whose first and last bytes match the segment's, and only those
// are checked whole, so a text of letters unlike the segment's costs two loads a step.
size_t FoldedFind(std::string_view s, size_t from, std::string_view seg) {
  const size_t m = seg.size();
  if (m == 0) return from <= s.size() ? from : std::string_view::npos;
  if (s.size() < m || s.size() - m < from) return std::string_view::npos;
  const size_t lastStart = s.size() - m;
  if (s.size() - from <= kShortText) {
    bool ascii;
    const size_t at = FoldedFindShort(s.substr(from), seg, ascii);
    return at == std::string_view::npos ? at : from + at;
  }
  const uint64_t first = kEveryByte * static_cast<unsigned char>(seg[0]);
  const uint64_t last = kEveryByte * static_cast<unsigned char>(seg[m - 1]);
  const std::string_view middle = m > 2 ? seg.substr(1, m - 2) : std::string_view();
  for (size_t at = from; at <= lastStart; at += 8) {
    uint64_t hits =
        EqualBytes(FoldWord(WindowAt(s, at)), first) & EqualBytes(FoldWord(WindowAt(s, at + m - 1)), last);
    if (lastStart - at < 7)
      hits &= (uint64_t{1} << (8 * (lastStart - at + 1))) - 1;  // no start past lastStart
    for (; hits; hits &= hits - 1) {
      const size_t start = at + static_cast<size_t>(__builtin_ctzll(hits)) / 8;
      if (FoldedEqualAt(s, start + 1, middle)) return start;
    }
  }
  return std::string_view::npos;
}

// The glob walk shared by both representations: segments in order, greedy leftmost, the
// first anchored to the start and the last to the end when the pattern has no wildcard there.
template <class Text, class Seg, class StartsWith, class Find>
bool GlobMatch(const Text& text, const std::vector<Seg>& segs, bool anchoredStart, bool anchoredEnd,
               StartsWith startsWith, Find find) {
  const size_t k = segs.size();
  if (k == 0) return anchoredStart && anchoredEnd ? text.size() == 0 : true;
  size_t pos = 0;
  size_t first = 0;
  if (anchoredStart) {
    if (!startsWith(text, 0, segs[0])) return false;
    pos = segs[0].size();
    first = 1;
    if (k == 1 && anchoredEnd) return pos == text.size();
  }
  size_t last = anchoredEnd ? k - 1 : k;
  for (size_t j = first; j < last; ++j) {
    size_t at = find(text, pos, segs[j]);
    if (at == std::string_view::npos) return false;
    pos = at + segs[j].size();
  }
  if (anchoredEnd && last >= first) {
    const Seg& tail = segs[k - 1];
    if (text.size() < pos + tail.size()) return false;
    return startsWith(text, text.size() - tail.size(), tail);
  }
  return true;
}

// The whole pattern, '%' any run and '_' any one code point: on a mismatch the last '%' takes
// one more character, so no step recurses and the work is bounded by text times pattern.
bool MatchWithAnyCharacter(std::u32string_view text, std::u32string_view pattern) {
  size_t t = 0, p = 0;
  size_t star = std::u32string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == U'%') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && (pattern[p] == U'_' || pattern[p] == text[t])) {
      ++t;
      ++p;
    } else if (star != std::u32string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'%') ++p;
  return p == pattern.size();
}

}  // namespace

void FoldCaseUtf8(std::string_view Text, std::u32string& Out) {
  Out.clear();
  Out.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    unsigned char c = static_cast<unsigned char>(Text[i]);
    if (c < 0x80) {
      Out.push_back(static_cast<char32_t>(AsciiFold(static_cast<char>(c))));
      ++i;
      continue;
    }
    char32_t cp;
    int len;
    Utf8Decode(Text, i, cp, len);
    Out.push_back(UnicodeFoldCase(cp));
    i += static_cast<size_t>(len);
  }
}

std::string FoldCaseText(const std::string& Text) {
  if (IsAsciiText(Text)) {
    std::string r = Text;
    for (char& c : r) c = AsciiFold(c);
    return r;
  }
  std::u32string folded;
  FoldCaseUtf8(Text, folded);
  std::string r;
  r.reserve(Text.size());
  for (char32_t c : folded) Utf8Append(r, c);
  return r;
}

TLikePattern::TLikePattern(const std::string& Pattern) {
  std::u32string folded;
  FoldCaseUtf8(Pattern, folded);
  if (folded.find(U'_') != std::u32string::npos) {
    anyCharacter_ = true;
    ascii_ = false;  // no byte path: matched whole, by code points
    for (char32_t& c : folded)
      if (c == U'*') c = U'%';
    folded_ = std::move(folded);
    return;
  }
  std::u32string current;
  bool any = false;
  for (size_t i = 0; i < folded.size(); ++i) {
    char32_t c = folded[i];
    if (c == U'%' || c == U'*') {
      if (i == 0) anchoredStart_ = false;
      if (i + 1 == folded.size()) anchoredEnd_ = false;
      if (!current.empty()) segments_.push_back(std::move(current));
      current.clear();
      any = true;
      continue;
    }
    current.push_back(c);
  }
  if (!current.empty() || (!any && segments_.empty())) {
    if (!current.empty()) segments_.push_back(std::move(current));
  }
  for (const std::u32string& s : segments_) {
    std::string a;
    for (char32_t c : s) {
      if (c >= 0x80) {
        ascii_ = false;
        break;
      }
      a.push_back(static_cast<char>(c));
    }
    if (!ascii_) break;
    asciiSegments_.push_back(std::move(a));
  }
  if (!ascii_) asciiSegments_.clear();
  contains_ = ascii_ && !anchoredStart_ && !anchoredEnd_ && asciiSegments_.size() == 1;
}

bool TLikePattern::Matches(std::string_view Text) const {
  // Folding can turn a letter past ASCII into an ASCII one (the Kelvin sign into 'k'), so only
  // text that is all ASCII may take the byte paths.
  if (contains_ && Text.size() <= kShortText) {
    bool ascii;
    const size_t at = FoldedFindShort(Text, asciiSegments_[0], ascii);
    if (ascii) return at != std::string_view::npos;
  }
  if (ascii_ && IsAsciiText(Text))
    return GlobMatch(
        Text, asciiSegments_, anchoredStart_, anchoredEnd_,
        [](std::string_view t, size_t at, const std::string& seg) { return FoldedEqualAt(t, at, seg); },
        [](std::string_view t, size_t from, const std::string& seg) { return FoldedFind(t, from, seg); });
  return MatchesByCodePoints(Text);
}

bool TLikePattern::MatchesByCodePoints(std::string_view Text) const {
  thread_local std::u32string folded;
  FoldCaseUtf8(Text, folded);
  if (anyCharacter_) return MatchWithAnyCharacter(folded, folded_);
  std::u32string_view t(folded);
  return GlobMatch(
      t, segments_, anchoredStart_, anchoredEnd_,
      [](std::u32string_view s, size_t at, const std::u32string& seg) {
        return s.size() - at >= seg.size() && s.compare(at, seg.size(), seg) == 0;
      },
      [](std::u32string_view s, size_t from, const std::u32string& seg) {
        size_t r = s.find(seg, from);
        return r == std::u32string_view::npos ? std::string_view::npos : r;
      });
}

// --- the expression tree --------------------------------------------------------------------

namespace {

enum class TCompareOp : uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

// How a comparison reads its operands; chosen once, when the text is bound to the fields.
enum class TCompareMode : uint8_t { Int, Float, Text, Bool, Variant };

TCompareOp Mirror(TCompareOp op) {
  switch (op) {
    case TCompareOp::Lt:
      return TCompareOp::Gt;
    case TCompareOp::Gt:
      return TCompareOp::Lt;
    case TCompareOp::Le:
      return TCompareOp::Ge;
    case TCompareOp::Ge:
      return TCompareOp::Le;
    default:
      return op;
  }
}

bool Holds(TCompareOp op, int c) {
  switch (op) {
    case TCompareOp::Eq:
      return c == 0;
    case TCompareOp::Ne:
      return c != 0;
    case TCompareOp::Lt:
      return c < 0;
    case TCompareOp::Gt:
      return c > 0;
    case TCompareOp::Le:
      return c <= 0;
    case TCompareOp::Ge:
      return c >= 0;
  }
  return false;
}

bool IsNumericKind(TFilterValueKind k) {
  switch (k) {
    case TFilterValueKind::Integer:
    case TFilterValueKind::Float:
    case TFilterValueKind::Currency:
    case TFilterValueKind::Date:
    case TFilterValueKind::Time:
    case TFilterValueKind::DateTime:
      return true;
    default:
      return false;
  }
}

bool IsDateKind(TFilterValueKind k) {
  return k == TFilterValueKind::Date || k == TFilterValueKind::Time || k == TFilterValueKind::DateTime;
}

}  // namespace

// One operand: a field slot, or a literal converted once to the comparison's mode.
struct TFilterOperand {
  int Slot = -1;
  TFilterValueKind Kind = TFilterValueKind::Other;
  Variant Literal;
  int64_t Int = 0;
  double Float = 0;
  bool Bool = false;
  std::string Text;
  std::u32string Folded;  // Text folded, for case-insensitive equality
  bool IsField() const { return Slot >= 0; }
};

struct TFilterExpression::Node {
  enum Kind : uint8_t { And, Or, Not, Compare, Like, IsNull, Truth, Constant } NodeKind = Constant;
  TCompareOp Op = TCompareOp::Eq;
  TCompareMode Mode = TCompareMode::Variant;
  bool Negate = false;   // NOT LIKE, IS NOT NULL
  bool Partial = false;  // "= 'abc*'": the right operand's text is a prefix
  bool Value = false;    // Constant
  int First = 0;         // And/Or: offset into children_; Not: the child node
  int Count = 0;
  TFilterOperand Lhs, Rhs;
  std::shared_ptr<TLikePattern> Pattern;
};

namespace {

// Numeric view of a stored value; false for Null or a value that is not a number.
bool ReadFloat(const Variant& v, double& d) {
  switch (v.VarType()) {
    case varNull:
    case varEmpty:
      return false;
    case varDouble:
    case varDate:
    case varSingle:
    case varCurrency:
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varBoolean:
    case varFMTBcd:
    case varSQLTimeStamp:
      d = v.AsDouble();
      return true;
    default:
      if (v.IsString()) {
        try {
          d = v.AsDouble();
          return true;
        } catch (const Exception&) {
          return false;
        }
      }
      return false;
  }
}

bool ReadInt(const Variant& v, int64_t& i) {
  switch (v.VarType()) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varBoolean:
      i = v.AsInt64();
      return true;
    default:
      return false;
  }
}

bool FoldedEquals(const std::string& text, const std::u32string& folded, bool prefix) {
  thread_local std::u32string buf;
  FoldCaseUtf8(text, buf);
  if (prefix) return buf.size() >= folded.size() && std::equal(folded.begin(), folded.end(), buf.begin());
  return buf == folded;
}

}  // namespace

// --- the parser -----------------------------------------------------------------------------

enum class TTokenKind { End, Name, Ident, String, Number, Op, LParen, RParen };

struct TFilterToken {
  TTokenKind Kind = TTokenKind::End;
  std::string Text;  // name, identifier, string contents, number text or operator
  size_t Pos = 0;    // byte offset of the token in the source
};

class TFilterParser {
 public:
  TFilterParser(TFilterExpression& e, const std::string& text, const TFilterFieldResolver& resolve,
                const TFilterParseOptions& options)
      : e_(e), text_(text), resolve_(resolve), options_(options) {}

  void Run() {
    if (text_.size() > TFilterExpression::MaxTextLength) Fail("expression too long", 0);
    Tokenize();
    if (tokens_.size() == 1) return;  // blank: accepts every row
    e_.root_ = ParseOr(0);
    if (Peek().Kind != TTokenKind::End) Fail("unexpected '" + Peek().Text + "'", Peek().Pos);
  }

 private:
  using Node = TFilterExpression::Node;

  [[noreturn]] void Fail(const std::string& reason, size_t bytePos, const std::string& unknownField = {}) {
    // Report the position as a 1-based character index.
    size_t chars = 1;
    for (size_t i = 0; i < bytePos && i < text_.size(); ++i)
      if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++chars;
    std::string shown = text_.size() > 200 ? Utf8Left(text_, 200) + "..." : text_;
    throw EFilterExpressionError(
        "Filter expression incorrect: " + reason + " at " + std::to_string(chars) + ": " + shown,
        unknownField);
  }

  // --- tokens ---

  static bool IsIdentStart(char32_t c) { return c == U'_' || UnicodeIsLetter(c); }
  static bool IsIdentPart(char32_t c) { return IsIdentStart(c) || (c >= U'0' && c <= U'9'); }

  void Tokenize() {
    size_t i = 0;
    const size_t n = text_.size();
    while (true) {
      while (i < n && static_cast<unsigned char>(text_[i]) <= ' ') ++i;
      TFilterToken t;
      t.Pos = i;
      if (i >= n) {
        tokens_.push_back(t);
        return;
      }
      char c = text_[i];
      if (c == '[') {
        size_t close = text_.find(']', i + 1);
        if (close == std::string::npos) Fail("missing ']'", i);
        t.Kind = TTokenKind::Name;
        t.Text = Trim(text_.substr(i + 1, close - i - 1));
        if (t.Text.empty()) Fail("field name missing", i);
        i = close + 1;
      } else if (c == '\'') {
        t.Kind = TTokenKind::String;
        size_t j = i + 1;
        while (true) {
          if (j >= n) Fail("missing closing quote", i);
          if (text_[j] == '\'') {
            if (j + 1 < n && text_[j + 1] == '\'') {
              t.Text += '\'';
              j += 2;
              continue;
            }
            break;
          }
          t.Text += text_[j++];
        }
        i = j + 1;
      } else if ((c >= '0' && c <= '9') ||
                 (c == '.' && i + 1 < n && text_[i + 1] >= '0' && text_[i + 1] <= '9') ||
                 (c == '-' && i + 1 < n &&
                  ((text_[i + 1] >= '0' && text_[i + 1] <= '9') || text_[i + 1] == '.'))) {
        t.Kind = TTokenKind::Number;
        size_t j = i + (c == '-' ? 1 : 0);
        while (j < n && ((text_[j] >= '0' && text_[j] <= '9') || text_[j] == '.')) ++j;
        if (j < n && (text_[j] == 'e' || text_[j] == 'E')) {
          size_t k = j + 1;
          if (k < n && (text_[k] == '+' || text_[k] == '-')) ++k;
          if (k < n && text_[k] >= '0' && text_[k] <= '9') {
            j = k;
            while (j < n && text_[j] >= '0' && text_[j] <= '9') ++j;
          }
        }
        t.Text = text_.substr(i, j - i);
        i = j;
        char32_t next;
        int len;
        if (i < n && Utf8Decode(text_, i, next, len) && IsIdentPart(next)) Fail("invalid number", t.Pos);
      } else if (c == '(' || c == ')') {
        t.Kind = c == '(' ? TTokenKind::LParen : TTokenKind::RParen;
        t.Text = std::string(1, c);
        ++i;
      } else if (c == '=' || c == '<' || c == '>') {
        t.Kind = TTokenKind::Op;
        t.Text = std::string(1, c);
        ++i;
        if (i < n && ((c == '<' && (text_[i] == '>' || text_[i] == '=')) || (c == '>' && text_[i] == '='))) {
          t.Text += text_[i];
          ++i;
        }
      } else {
        char32_t cp;
        int len;
        bool valid = Utf8Decode(text_, i, cp, len);
        if (!valid || !IsIdentStart(cp))
          Fail("unexpected '" + text_.substr(i, static_cast<size_t>(len)) + "'", i);
        size_t j = i;
        while (j < n && Utf8Decode(text_, j, cp, len) && IsIdentPart(cp)) j += static_cast<size_t>(len);
        t.Kind = TTokenKind::Ident;
        t.Text = text_.substr(i, j - i);
        i = j;
      }
      tokens_.push_back(std::move(t));
    }
  }

  const TFilterToken& Peek(size_t ahead = 0) const {
    return tokens_[std::min(at_ + ahead, tokens_.size() - 1)];
  }
  const TFilterToken& Take() {
    const TFilterToken& t = Peek();
    if (at_ < tokens_.size() - 1) ++at_;
    return t;
  }
  bool IsKeyword(const TFilterToken& t, const char* word) const {
    return t.Kind == TTokenKind::Ident && SameText(t.Text, word);
  }
  bool TakeKeyword(const char* word) {
    if (!IsKeyword(Peek(), word)) return false;
    Take();
    return true;
  }
  void Expect(TTokenKind kind, const char* what) {
    if (Peek().Kind != kind) {
      if (Peek().Kind == TTokenKind::End) Fail(std::string("missing ") + what, Peek().Pos);
      Fail(std::string("missing ") + what + " before '" + Peek().Text + "'", Peek().Pos);
    }
    Take();
  }
  [[noreturn]] void Unexpected() {
    if (Peek().Kind == TTokenKind::End) Fail("unexpected end of expression", Peek().Pos);
    Fail("unexpected '" + Peek().Text + "'", Peek().Pos);
  }

  // --- grammar ---

  int Add(Node n) {
    e_.nodes_.push_back(std::move(n));
    return static_cast<int>(e_.nodes_.size()) - 1;
  }

  // AND and OR keep all operands of a chain in one node, so evaluation depth follows the
  // nesting of parentheses and NOTs only.
  int ParseOr(int depth) {
    std::vector<int> items{ParseAnd(depth)};
    while (TakeKeyword("OR")) items.push_back(ParseAnd(depth));
    return Chain(Node::Or, items);
  }
  int ParseAnd(int depth) {
    std::vector<int> items{ParseNot(depth)};
    while (TakeKeyword("AND")) items.push_back(ParseNot(depth));
    return Chain(Node::And, items);
  }
  int Chain(Node::Kind kind, const std::vector<int>& items) {
    if (items.size() == 1) return items[0];
    Node n;
    n.NodeKind = kind;
    n.First = static_cast<int>(e_.children_.size());
    n.Count = static_cast<int>(items.size());
    e_.children_.insert(e_.children_.end(), items.begin(), items.end());
    return Add(std::move(n));
  }
  int ParseNot(int depth) {
    if (depth >= TFilterExpression::MaxNesting) Fail("nesting too deep", Peek().Pos);
    if (TakeKeyword("NOT")) {
      Node n;
      n.NodeKind = Node::Not;
      n.First = ParseNot(depth + 1);
      return Add(std::move(n));
    }
    if (Peek().Kind == TTokenKind::LParen) {
      Take();
      int inner = ParseOr(depth + 1);
      Expect(TTokenKind::RParen, "')'");
      return inner;
    }
    return ParsePredicate();
  }

  int ParsePredicate() {
    size_t startPos = Peek().Pos;
    TFilterOperand lhs = ParseOperand();
    const TFilterToken& t = Peek();
    if (t.Kind == TTokenKind::Op) {
      std::string op = Take().Text;
      TFilterOperand rhs = ParseOperand();
      return MakeCompare(OpOf(op), std::move(lhs), std::move(rhs), startPos);
    }
    bool negate = false;
    if (IsKeyword(t, "NOT") && IsKeyword(Peek(1), "LIKE")) {
      Take();
      negate = true;
    }
    if (TakeKeyword("LIKE")) {
      if (Peek().Kind != TTokenKind::String) {
        if (Peek().Kind == TTokenKind::End) Fail("pattern expected", Peek().Pos);
        Fail("pattern expected before '" + Peek().Text + "'", Peek().Pos);
      }
      Node n;
      n.NodeKind = Node::Like;
      n.Negate = negate;
      n.Pattern = std::make_shared<TLikePattern>(Take().Text);
      if (!lhs.IsField()) {
        // A literal on the left is a constant.
        bool value = false;
        if (!lhs.Literal.IsNull()) value = n.Pattern->Matches(VarToStr(lhs.Literal)) != negate;
        return Constant(value);
      }
      n.Lhs = std::move(lhs);
      return Add(std::move(n));
    }
    if (TakeKeyword("IS")) {
      bool isNot = TakeKeyword("NOT");
      if (!TakeKeyword("NULL")) Unexpected();
      if (!lhs.IsField()) return Constant(lhs.Literal.IsNull() != isNot);
      Node n;
      n.NodeKind = Node::IsNull;
      n.Negate = isNot;
      n.Lhs = std::move(lhs);
      return Add(std::move(n));
    }
    // A Boolean operand on its own is a condition.
    if (lhs.IsField()) {
      if (lhs.Kind != TFilterValueKind::Boolean) Fail("condition expected", startPos);
      Node n;
      n.NodeKind = Node::Truth;
      n.Lhs = std::move(lhs);
      return Add(std::move(n));
    }
    if (lhs.Literal.VarType() != varBoolean) Fail("condition expected", startPos);
    return Constant(lhs.Literal.AsBoolean());
  }

  int Constant(bool value) {
    Node n;
    n.NodeKind = Node::Constant;
    n.Value = value;
    return Add(std::move(n));
  }

  static TCompareOp OpOf(const std::string& op) {
    if (op == "=") return TCompareOp::Eq;
    if (op == "<>") return TCompareOp::Ne;
    if (op == "<") return TCompareOp::Lt;
    if (op == ">") return TCompareOp::Gt;
    if (op == "<=") return TCompareOp::Le;
    return TCompareOp::Ge;
  }

  TFilterOperand ParseOperand() {
    const TFilterToken& t = Peek();
    TFilterOperand o;
    o.Text = t.Text;
    switch (t.Kind) {
      case TTokenKind::Name:
        BindField(Take(), o);
        return o;
      case TTokenKind::String:
        o.Literal = Variant(Take().Text);
        o.Kind = TFilterValueKind::Text;
        return o;
      case TTokenKind::Number:
        o.Literal = NumberLiteral(Take());
        o.Kind = o.Literal.VarType() == varDouble ? TFilterValueKind::Float : TFilterValueKind::Integer;
        return o;
      case TTokenKind::Ident:
        if (IsKeyword(t, "TRUE") || IsKeyword(t, "FALSE")) {
          o.Literal = Variant(IsKeyword(t, "TRUE"));
          o.Kind = TFilterValueKind::Boolean;
          Take();
          return o;
        }
        if (IsKeyword(t, "NULL")) {
          o.Literal = Variant::Null();
          Take();
          return o;
        }
        if (IsKeyword(t, "AND") || IsKeyword(t, "OR") || IsKeyword(t, "NOT") || IsKeyword(t, "LIKE") ||
            IsKeyword(t, "IS"))
          Unexpected();
        BindField(Take(), o);
        return o;
      default:
        Unexpected();
    }
  }

  void BindField(const TFilterToken& t, TFilterOperand& o) {
    TFilterField f;
    if (!resolve_ || !resolve_(t.Text, f) || f.Slot < 0)
      Fail("field '" + t.Text + "' not found", t.Pos, t.Text);
    o.Slot = f.Slot;
    o.Kind = f.Kind;
    o.Text = t.Text;
    if (std::find(e_.slots_.begin(), e_.slots_.end(), f.Slot) == e_.slots_.end()) e_.slots_.push_back(f.Slot);
    e_.highestSlot_ = std::max(e_.highestSlot_, f.Slot);
  }

  Variant NumberLiteral(const TFilterToken& t) {
    const char* b = t.Text.data();
    const char* end = b + t.Text.size();
    if (t.Text.find_first_of(".eE") == std::string::npos) {
      int64_t i = 0;
      auto r = std::from_chars(b, end, i);
      if (r.ec == std::errc() && r.ptr == end) {
        if (i >= INT32_MIN && i <= INT32_MAX) return Variant(static_cast<int>(i));
        return Variant(static_cast<long long>(i));
      }
    }
    double d = 0;
    auto r = std::from_chars(b, end, d);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(d))
      Fail("invalid number '" + t.Text + "'", t.Pos);
    return Variant(d);
  }

  // --- binding a comparison ---

  int MakeCompare(TCompareOp op, TFilterOperand lhs, TFilterOperand rhs, size_t pos) {
    if (!lhs.IsField() && rhs.IsField()) {
      std::swap(lhs, rhs);
      op = Mirror(op);
    }
    Node n;
    n.NodeKind = Node::Compare;
    n.Op = op;
    if (!lhs.IsField()) {
      // Two literals: decide now.
      if (lhs.Literal.IsNull() || rhs.Literal.IsNull()) return Constant(false);
      try {
        int c = lhs.Literal < rhs.Literal ? -1 : rhs.Literal < lhs.Literal ? 1 : 0;
        return Constant(Holds(op, c));
      } catch (const Exception&) {
        Fail("incompatible values", pos);
      }
    }
    if (!rhs.IsField() && rhs.Literal.IsNull()) return Constant(false);  // "= NULL" is never true
    n.Mode = ModeFor(lhs, rhs);
    if (!rhs.IsField()) ConvertLiteral(n, lhs, rhs, pos);
    n.Lhs = std::move(lhs);
    n.Rhs = std::move(rhs);
    return Add(std::move(n));
  }

  static TCompareMode ModeFor(const TFilterOperand& field, const TFilterOperand& other) {
    TFilterValueKind a = field.Kind;
    TFilterValueKind b = other.Kind;
    if (a == TFilterValueKind::Other) return TCompareMode::Variant;
    if (!other.IsField()) {
      if (a == TFilterValueKind::Text) return TCompareMode::Text;
      if (a == TFilterValueKind::Boolean) return TCompareMode::Bool;
      if (a == TFilterValueKind::Integer && b == TFilterValueKind::Integer) return TCompareMode::Int;
      if (a == TFilterValueKind::Integer && b == TFilterValueKind::Text)
        return TCompareMode::Int;  // refined later
      return TCompareMode::Float;
    }
    if (b == TFilterValueKind::Other) return TCompareMode::Variant;
    if (a == TFilterValueKind::Text && b == TFilterValueKind::Text) return TCompareMode::Text;
    if (a == TFilterValueKind::Boolean && b == TFilterValueKind::Boolean) return TCompareMode::Bool;
    if (a == TFilterValueKind::Integer && b == TFilterValueKind::Integer) return TCompareMode::Int;
    if (IsNumericKind(a) && IsNumericKind(b)) return TCompareMode::Float;
    return TCompareMode::Variant;
  }

  void ConvertLiteral(Node& n, const TFilterOperand& field, TFilterOperand& lit, size_t pos) {
    const Variant& v = lit.Literal;
    switch (n.Mode) {
      case TCompareMode::Text: {
        // A number keeps the text it was written with.
        bool number = lit.Kind == TFilterValueKind::Integer || lit.Kind == TFilterValueKind::Float;
        std::string s = number ? lit.Text : VarToStr(v);
        if (options_.PartialCompare && (n.Op == TCompareOp::Eq || n.Op == TCompareOp::Ne) && !s.empty() &&
            s.back() == '*') {
          s.pop_back();
          n.Partial = true;
        }
        lit.Text = s;
        if (options_.CaseInsensitive) FoldCaseUtf8(s, lit.Folded);
        break;
      }
      case TCompareMode::Bool: {
        bool b = false;
        if (v.VarType() == varBoolean) {
          b = v.AsBoolean();
        } else if (v.IsString()) {
          if (!TryStrToBool(VarToStr(v), b)) Fail("invalid Boolean value '" + VarToStr(v) + "'", pos);
        } else {
          b = v.AsDouble() != 0;
        }
        lit.Bool = b;
        break;
      }
      case TCompareMode::Int:
      case TCompareMode::Float: {
        double d = 0;
        if (v.IsString()) {
          std::string s = VarToStr(v);
          if (IsDateKind(field.Kind)) {
            if (!ParseDate(s, d)) Fail("invalid date '" + s + "'", pos);
          } else if (!ParseNumber(s, d)) {
            Fail("invalid number '" + s + "'", pos);
          }
        } else if (v.VarType() == varBoolean) {
          Fail("incompatible values", pos);
        } else {
          d = v.AsDouble();
        }
        lit.Float = d;
        if (n.Mode == TCompareMode::Int) {
          if (std::trunc(d) == d && std::fabs(d) < 9.2e18) {
            lit.Int =
                v.VarType() == varInteger || v.VarType() == varInt64 ? v.AsInt64() : static_cast<int64_t>(d);
          } else {
            n.Mode = TCompareMode::Float;
          }
        }
        break;
      }
      case TCompareMode::Variant:
        break;
    }
  }

  static bool ParseNumber(const std::string& s, double& d) {
    std::string t = Trim(s);
    const char* b = t.data();
    const char* e = b + t.size();
    auto r = std::from_chars(b, e, d);
    if (r.ec == std::errc() && r.ptr == e && !t.empty() && std::isfinite(d)) return true;
    try {
      d = Variant(t).AsDouble();  // the locale's separators
      return std::isfinite(d);
    } catch (const Exception&) {
      return false;
    }
  }

  // The locale's date-time text first, then ISO 8601 (yyyy-mm-dd[ hh:nn[:ss[.zzz]]]).
  static bool ParseDate(const std::string& text, double& d) {
    std::string s = Trim(text);
    if (TryStrToDateTime(s, d)) return true;
    int y = 0, mo = 0, dd = 0, h = 0, mi = 0, sec = 0, ms = 0;
    size_t i = 0;
    auto num = [&](int& out, size_t maxDigits) {
      size_t start = i;
      out = 0;
      while (i < s.size() && i - start < maxDigits && s[i] >= '0' && s[i] <= '9')
        out = out * 10 + (s[i++] - '0');
      return i > start;
    };
    auto sep = [&](char c) {
      if (i < s.size() && s[i] == c) {
        ++i;
        return true;
      }
      return false;
    };
    if (!num(y, 4) || !sep('-') || !num(mo, 2) || !sep('-') || !num(dd, 2)) return false;
    if (i < s.size()) {
      if (s[i] != ' ' && s[i] != 'T') return false;
      ++i;
      if (!num(h, 2) || !sep(':') || !num(mi, 2)) return false;
      if (sep(':')) {
        if (!num(sec, 2)) return false;
        if (sep('.') && !num(ms, 3)) return false;
      }
      if (i != s.size()) return false;
    }
    TDateTime date, time;
    if (!TryEncodeDate(static_cast<Word>(y), static_cast<Word>(mo), static_cast<Word>(dd), date))
      return false;
    if (!TryEncodeTime(static_cast<Word>(h), static_cast<Word>(mi), static_cast<Word>(sec),
                       static_cast<Word>(ms), time))
      return false;
    d = date < 0 ? date - time : date + time;
    return true;
  }

  TFilterExpression& e_;
  const std::string& text_;
  const TFilterFieldResolver& resolve_;
  TFilterParseOptions options_;
  std::vector<TFilterToken> tokens_;
  size_t at_ = 0;
};

// --- evaluation -----------------------------------------------------------------------------

TFilterExpression::TFilterExpression(const std::string& Text, const TFilterFieldResolver& Resolve,
                                     const TFilterParseOptions& Options)
    : caseInsensitive_(Options.CaseInsensitive) {
  TFilterParser(*this, Text, Resolve, Options).Run();
}

TFilterExpression::~TFilterExpression() = default;

bool TFilterExpression::Evaluate(const Variant* Row) const {
  if (root_ < 0) return true;
  return Eval(root_, Row);
}

namespace {

int CompareTexts(const std::string& a, const std::string& b, bool ci) {
  return ci ? AnsiCompareText(a, b) : AnsiCompareStr(a, b);
}

bool CompareNode(const TFilterExpression::Node& n, const Variant* row, bool ci) {
  const Variant& a = row[n.Lhs.Slot];
  if (a.IsNull() || a.IsEmpty()) return false;
  const Variant* bp = n.Rhs.IsField() ? &row[n.Rhs.Slot] : nullptr;
  if (bp && (bp->IsNull() || bp->IsEmpty())) return false;
  try {
    switch (n.Mode) {
      case TCompareMode::Int: {
        int64_t x, y;
        if (!ReadInt(a, x)) {
          double dx;
          if (!ReadFloat(a, dx)) return false;
          double dy = bp ? 0 : n.Rhs.Float;
          if (bp && !ReadFloat(*bp, dy)) return false;
          return Holds(n.Op, dx < dy ? -1 : dx > dy ? 1 : 0);
        }
        if (bp) {
          if (!ReadInt(*bp, y)) return false;
        } else {
          y = n.Rhs.Int;
        }
        return Holds(n.Op, x < y ? -1 : x > y ? 1 : 0);
      }
      case TCompareMode::Float: {
        double x, y;
        if (!ReadFloat(a, x)) return false;
        if (bp) {
          if (!ReadFloat(*bp, y)) return false;
        } else {
          y = n.Rhs.Float;
        }
        return Holds(n.Op, x < y ? -1 : x > y ? 1 : 0);
      }
      case TCompareMode::Bool: {
        bool x = a.AsBoolean();
        bool y = bp ? bp->AsBoolean() : n.Rhs.Bool;
        return Holds(n.Op, static_cast<int>(x) - static_cast<int>(y));
      }
      case TCompareMode::Text: {
        thread_local std::string x;
        x = a.IsString() ? a.AsString() : VarToStr(a);
        if (n.Op == TCompareOp::Eq || n.Op == TCompareOp::Ne) {
          bool eq;
          if (bp) {
            std::string y = VarToStr(*bp);
            eq = ci ? FoldCaseText(x) == FoldCaseText(y) : x == y;
          } else if (ci) {
            eq = FoldedEquals(x, n.Rhs.Folded, n.Partial);
          } else {
            eq = n.Partial ? x.compare(0, n.Rhs.Text.size(), n.Rhs.Text) == 0 : x == n.Rhs.Text;
          }
          return (n.Op == TCompareOp::Eq) == eq;
        }
        return Holds(n.Op, CompareTexts(x, bp ? VarToStr(*bp) : n.Rhs.Text, ci));
      }
      case TCompareMode::Variant: {
        const Variant& b = bp ? *bp : n.Rhs.Literal;
        if (a.IsString() && b.IsString()) return Holds(n.Op, CompareTexts(a.AsString(), b.AsString(), ci));
        int c = a < b ? -1 : b < a ? 1 : 0;
        return Holds(n.Op, c);
      }
    }
  } catch (const Exception&) {
    return false;  // a value that does not convert compares as no match
  }
  return false;
}

bool LikeHolds(const TFilterExpression::Node& n, const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return false;
  try {
    // Stored UTF-8 text is matched where it lies; other values through their text.
    std::string_view view;
    if (v.TryTextView(view)) return n.Pattern->Matches(view) != n.Negate;
    const std::string text = VarToStr(v);
    return n.Pattern->Matches(text) != n.Negate;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

void TFilterExpression::EvaluateRows(std::span<const Variant* const> Rows,
                                     std::span<uint8_t> Accepted) const {
  if (root_ < 0) {
    std::fill(Accepted.begin(), Accepted.end(), uint8_t{1});
    return;
  }
  std::vector<uint32_t> all(Rows.size());
  std::iota(all.begin(), all.end(), 0u);
  EvalRows(root_, Rows.data(), all, Accepted.data());
}

void TFilterExpression::EvalRows(int index, const Variant* const* rows, std::span<const uint32_t> which,
                                 uint8_t* accepted) const {
  const Node& n = nodes_[static_cast<size_t>(index)];
  switch (n.NodeKind) {
    case Node::And:
    case Node::Or: {
      // Each operand sees only the rows the ones before it left open: false ends an AND, true an OR.
      const bool settles = n.NodeKind == Node::Or;
      std::vector<uint32_t> open(which.begin(), which.end());
      for (int i = 0; i < n.Count && !open.empty(); ++i) {
        EvalRows(children_[static_cast<size_t>(n.First + i)], rows, open, accepted);
        std::erase_if(open, [&](uint32_t r) { return (accepted[r] != 0) == settles; });
      }
      return;
    }
    case Node::Not:
      EvalRows(n.First, rows, which, accepted);
      for (uint32_t r : which) accepted[r] = !accepted[r];
      return;
    case Node::Like:
      for (uint32_t r : which) accepted[r] = LikeHolds(n, rows[r][n.Lhs.Slot]);
      return;
    default:
      for (uint32_t r : which) accepted[r] = Eval(index, rows[r]);
      return;
  }
}

bool TFilterExpression::Eval(int index, const Variant* row) const {
  const Node& n = nodes_[static_cast<size_t>(index)];
  switch (n.NodeKind) {
    case Node::And:
      for (int i = 0; i < n.Count; ++i)
        if (!Eval(children_[static_cast<size_t>(n.First + i)], row)) return false;
      return true;
    case Node::Or:
      for (int i = 0; i < n.Count; ++i)
        if (Eval(children_[static_cast<size_t>(n.First + i)], row)) return true;
      return false;
    case Node::Not:
      return !Eval(n.First, row);
    case Node::Compare:
      return CompareNode(n, row, caseInsensitive_);
    case Node::Like:
      return LikeHolds(n, row[n.Lhs.Slot]);
    case Node::IsNull: {
      const Variant& v = row[n.Lhs.Slot];
      return (v.IsNull() || v.IsEmpty()) != n.Negate;
    }
    case Node::Truth: {
      const Variant& v = row[n.Lhs.Slot];
      if (v.IsNull() || v.IsEmpty()) return false;
      try {
        return v.AsBoolean();
      } catch (const Exception&) {
        return false;
      }
    }
    case Node::Constant:
      return n.Value;
  }
  return false;
}
