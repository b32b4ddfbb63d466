#include "platform/vcl/MaskUtils.h"

#include <algorithm>

#include "platform/rtl/Collation.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The mask split into code points with the kind of each one.
struct TParsedMask {
  std::u32string Chars;
  std::vector<TMaskCharType> Types;
  int FieldSeparator = -1;  // 0-based index, -1 without trailing fields
};

bool IsCaseOrReverse(char32_t C) {
  return C == mDirReverse || C == mDirUpperCase || C == mDirLowerCase;
}

TParsedMask ParseMask(const std::string& EditMask) {
  TParsedMask p;
  p.Chars = MaskToCodePoints(EditMask);
  const int n = static_cast<int>(p.Chars.size());
  std::vector<bool> escaped(n, false);
  for (int i = 0; i + 1 < n; ++i)
    if (!escaped[i] && p.Chars[i] == mDirLiteral) escaped[i + 1] = true;
  // The trailing fields fit in the last four characters (";1;_"), so only a separator there
  // counts; an earlier ';' is a literal of the picture.
  for (int i = std::max(0, n - 4); i < n; ++i) {
    if (!escaped[i] && p.Chars[i] == MaskFieldSeparator) {
      p.FieldSeparator = i;
      break;
    }
  }
  p.Types.resize(n, mcLiteral);
  int separators = 0;
  for (int i = 0; i < n; ++i) {
    const char32_t c = p.Chars[i];
    TMaskCharType& t = p.Types[i];
    if (p.FieldSeparator >= 0 && i >= p.FieldSeparator) {
      // Two separators at most: a ';' after the second one is the blank character.
      if (c == MaskFieldSeparator && separators < 2) {
        t = mcFieldSeparator;
        ++separators;
      } else {
        t = mcField;
      }
    } else if (escaped[i]) {
      t = mcLiteral;
    } else if (c == mDirLiteral || IsCaseOrReverse(c)) {
      t = mcDirective;
    } else if (c == mMskTimeSeparator || c == mMskDateSeparator) {
      t = mcIntlLiteral;
    } else if (c == mMskAlpha || c == mMskAlphaNum || c == mMskAscii || c == mMskNumeric) {
      t = mcMask;
    } else if (c == mMskAlphaOpt || c == mMskAlphaNumOpt || c == mMskAsciiOpt || c == mMskNumericOpt ||
               c == mMskNumSymOpt) {
      t = mcMaskOpt;
    } else {
      t = mcLiteral;
    }
  }
  return p;
}

bool ProducesChar(TMaskCharType t) {
  return t == mcLiteral || t == mcIntlLiteral || t == mcMask || t == mcMaskOpt;
}

char32_t FirstCodePoint(const std::string& S, char32_t Fallback) {
  if (S.empty()) return Fallback;
  char32_t c = 0;
  int len = 0;
  Utf8Decode(S, 0, c, len);
  return c;
}

bool IsAsciiDigit(char32_t C) {
  return C >= U'0' && C <= U'9';
}

}  // namespace

std::u32string MaskToCodePoints(const std::string& S) {
  std::u32string out;
  out.reserve(S.size());
  size_t i = 0;
  while (i < S.size()) {
    char32_t c = 0;
    int len = 1;
    Utf8Decode(S, i, c, len);
    out.push_back(c);
    i += static_cast<size_t>(std::max(len, 1));
  }
  return out;
}

std::string MaskFromCodePoints(const std::u32string& S) {
  std::string out;
  out.reserve(S.size());
  for (char32_t c : S) Utf8Append(out, c);
  return out;
}

char32_t MaskIntlLiteralToChar(char32_t IChar) {
  if (IChar == mMskTimeSeparator) return FirstCodePoint(FormatSettings().TimeSeparator, IChar);
  if (IChar == mMskDateSeparator) return FirstCodePoint(FormatSettings().DateSeparator, IChar);
  return IChar;
}

int MaskGetFldSeparator(const std::string& EditMask) {
  const int sep = ParseMask(EditMask).FieldSeparator;
  return sep < 0 ? -1 : sep + 1;
}

bool MaskGetMaskSave(const std::string& EditMask) {
  const TParsedMask p = ParseMask(EditMask);
  if (p.FieldSeparator < 0) return true;
  const size_t i = static_cast<size_t>(p.FieldSeparator) + 1;
  return !(i < p.Chars.size() && p.Chars[i] == MaskNoSave);
}

char32_t MaskGetMaskBlank(const std::string& EditMask) {
  const TParsedMask p = ParseMask(EditMask);
  if (p.FieldSeparator < 0) return DefaultBlank;
  // The blank is the character after the second separator.
  for (size_t i = static_cast<size_t>(p.FieldSeparator) + 1; i < p.Chars.size(); ++i) {
    if (p.Types[i] == mcFieldSeparator) return i + 1 < p.Chars.size() ? p.Chars[i + 1] : DefaultBlank;
  }
  return DefaultBlank;
}

TMaskCharType MaskGetCharType(const std::string& EditMask, int MaskOffset) {
  const TParsedMask p = ParseMask(EditMask);
  if (MaskOffset < 1 || MaskOffset > static_cast<int>(p.Chars.size())) return mcNone;
  return p.Types[MaskOffset - 1];
}

TMaskDirectives MaskGetCurrentDirectives(const std::string& EditMask, int MaskOffset) {
  const TParsedMask p = ParseMask(EditMask);
  TMaskDirectives result;
  const int n = static_cast<int>(p.Chars.size());
  for (int i = 0; i < n; ++i) {
    if (p.Types[i] != mcDirective) continue;
    const char32_t c = p.Chars[i];
    if (c == mDirReverse) {
      result.Include(mdReverseDir);
    } else if (i < MaskOffset - 1 && c == mDirLowerCase) {
      result.Exclude(mdUpperCase).Include(mdLowerCase);
    } else if (i < MaskOffset - 1 && c == mDirUpperCase) {
      // "<>" turns case conversion off.
      const bool afterLower = i > 0 && p.Types[i - 1] == mcDirective && p.Chars[i - 1] == mDirLowerCase;
      result.Exclude(mdLowerCase);
      if (afterLower)
        result.Exclude(mdUpperCase);
      else
        result.Include(mdUpperCase);
    }
  }
  if (MaskOffset >= 1 && MaskOffset <= n && p.Types[MaskOffset - 1] == mcLiteral)
    result.Include(mdLiteralChar);
  return result;
}

int MaskOffsetToOffset(const std::string& EditMask, int MaskOffset) {
  const TParsedMask p = ParseMask(EditMask);
  const int last = std::min(MaskOffset, static_cast<int>(p.Chars.size()));
  int count = 0;
  for (int i = 0; i < last; ++i)
    if (ProducesChar(p.Types[i])) ++count;
  return count;
}

int OffsetToMaskOffset(const std::string& EditMask, int Offset) {
  if (Offset < 0) return -1;
  const TParsedMask p = ParseMask(EditMask);
  int count = 0;
  for (int i = 0; i < static_cast<int>(p.Chars.size()); ++i) {
    if (!ProducesChar(p.Types[i])) continue;
    if (count == Offset) return i + 1;
    ++count;
  }
  return -1;
}

bool IsLiteralChar(const std::string& EditMask, int Offset) {
  const int maskOffset = OffsetToMaskOffset(EditMask, Offset);
  if (maskOffset < 0) return false;
  const TMaskCharType t = MaskGetCharType(EditMask, maskOffset);
  return t == mcLiteral || t == mcIntlLiteral;
}

// ---- TEditMaskModel -----------------------------------------------------------------------

TEditMaskModel::TEditMaskModel(const std::string& EditMask) : mask_(EditMask) {
  const TParsedMask p = ParseMask(EditMask);
  save_ = MaskGetMaskSave(EditMask);
  blank_ = MaskGetMaskBlank(EditMask);
  TCase currentCase = TCase::None;
  const int n = static_cast<int>(p.Chars.size());
  for (int i = 0; i < n; ++i) {
    const char32_t c = p.Chars[i];
    switch (p.Types[i]) {
      case mcDirective:
        if (c == mDirReverse) {
          reverse_ = true;
        } else if (c == mDirLowerCase) {
          currentCase = TCase::Lower;
        } else if (c == mDirUpperCase) {
          const bool afterLower = i > 0 && p.Types[i - 1] == mcDirective && p.Chars[i - 1] == mDirLowerCase;
          currentCase = afterLower ? TCase::None : TCase::Upper;
        }
        break;
      case mcLiteral: {
        // An unescaped '_' is a space position; escaped it is an underscore.
        const bool escapedChar = i > 0 && p.Types[i - 1] == mcDirective && p.Chars[i - 1] == mDirLiteral;
        positions_.push_back({true, (c == mMskSpace && !escapedChar) ? U' ' : c, TCase::None});
        break;
      }
      case mcIntlLiteral:
        positions_.push_back({true, MaskIntlLiteralToChar(c), TCase::None});
        break;
      case mcMask:
      case mcMaskOpt:
        positions_.push_back({false, c, currentCase});
        break;
      default:
        break;
    }
  }
}

bool TEditMaskModel::IsLiteral(int Pos) const {
  return Pos >= 0 && Pos < Count() && positions_[Pos].Literal;
}

bool TEditMaskModel::IsRequired(int Pos) const {
  if (Pos < 0 || Pos >= Count() || positions_[Pos].Literal) return false;
  const char32_t m = positions_[Pos].Char;
  return m == mMskAlpha || m == mMskAlphaNum || m == mMskAscii || m == mMskNumeric;
}

char32_t TEditMaskModel::MaskChar(int Pos) const {
  return Pos >= 0 && Pos < Count() ? positions_[Pos].Char : 0;
}

bool TEditMaskModel::Accepts(int Pos, char32_t& C) const {
  if (Pos < 0 || Pos >= Count() || positions_[Pos].Literal) return false;
  const TPosition& pos = positions_[Pos];
  const char32_t m = pos.Char;
  if (C == U' ' && !IsRequired(Pos) && m != mMskAsciiOpt) {
    C = blank_;
    return true;
  }
  const bool letter = UnicodeIsLetter(C);
  bool ok = false;
  switch (m) {
    case mMskAlpha:
    case mMskAlphaOpt:
      ok = letter;
      break;
    case mMskAlphaNum:
    case mMskAlphaNumOpt:
      ok = letter || IsAsciiDigit(C);
      break;
    case mMskAscii:
    case mMskAsciiOpt:
      ok = C >= 0x20 && C != 0x7F && !(C >= 0x80 && C < 0xA0);
      break;
    case mMskNumeric:
    case mMskNumericOpt:
      ok = IsAsciiDigit(C);
      break;
    case mMskNumSymOpt:
      ok = IsAsciiDigit(C) || C == U'+' || C == U'-';
      break;
    default:
      break;
  }
  if (!ok) return false;
  if (letter && pos.Case == TCase::Upper) C = UnicodeToUpper(C);
  if (letter && pos.Case == TCase::Lower) C = UnicodeToLower(C);
  return true;
}

int TEditMaskModel::NextInput(int Pos) const {
  for (int i = std::max(Pos, 0); i < Count(); ++i)
    if (!positions_[i].Literal) return i;
  return Count();
}

int TEditMaskModel::PrevInput(int Pos) const {
  for (int i = std::min(Pos, Count()) - 1; i >= 0; --i)
    if (!positions_[i].Literal) return i;
  return -1;
}

std::u32string TEditMaskModel::EmptyText() const {
  std::u32string out;
  out.reserve(positions_.size());
  for (const TPosition& p : positions_) out.push_back(p.Literal ? p.Char : blank_);
  return out;
}

std::u32string TEditMaskModel::Normalize(const std::u32string& Value) const {
  std::u32string out = EmptyText();
  const int n = std::min(Count(), static_cast<int>(Value.size()));
  for (int i = 0; i < n; ++i)
    if (!positions_[i].Literal) out[i] = Value[i];
  return out;
}

namespace {

// Shared by the formatting routines and the model: lays Value into the positions.
// WithLiterals: Value carries the literals; Reverse: aligned at the end; SpacesToBlank: a space
// at an input position is the blank (the text form shows blanks as spaces).
std::u32string Layout(const TEditMaskModel& M, char32_t Blank, const std::u32string& Value, bool WithLiterals,
                      bool SpacesToBlank) {
  const int n = M.Count();
  std::u32string out(n, Blank);
  auto put = [&](int i, char32_t c) { out[i] = (SpacesToBlank && c == U' ') ? Blank : c; };
  const int m = static_cast<int>(Value.size());
  if (WithLiterals && m == n) {
    // A text laid out already (every literal in its place) is taken position by position: a
    // blank before a literal space is not the end of its field.
    bool laidOut = true;
    for (int i = 0; i < n && laidOut; ++i)
      laidOut = !M.IsLiteral(i) || Value[i] == M.MaskChar(i) || Value[i] == Blank || Value[i] == U' ';
    if (laidOut) {
      for (int i = 0; i < n; ++i) {
        if (M.IsLiteral(i))
          out[i] = M.MaskChar(i);
        else
          put(i, Value[i]);
      }
      return out;
    }
  }
  if (WithLiterals) {
    // Walks the positions (backwards under '!'). A literal position takes its own character
    // or a blank from Value; at an input position, a character that the position refuses and
    // that is the next literal ends the field early, so "1/2/2024" fits "99/99/9999".
    const int step = M.Reverse() ? -1 : 1;
    int j = M.Reverse() ? m - 1 : 0;
    auto more = [&] { return j >= 0 && j < m; };
    // The literal each input position runs into, in the direction of the walk.
    std::vector<int> upcoming(n, -1);
    for (int k = n - 1, q = -1; k >= 0; --k) {
      const int i = M.Reverse() ? n - 1 - k : k;
      upcoming[i] = q;
      if (M.IsLiteral(i)) q = i;
    }
    for (int k = 0; k < n; ++k) {
      const int i = M.Reverse() ? n - 1 - k : k;
      if (M.IsLiteral(i)) {
        out[i] = M.MaskChar(i);
        if (more() && (Value[j] == M.MaskChar(i) || Value[j] == Blank || Value[j] == U' ')) j += step;
        continue;
      }
      if (!more()) continue;
      char32_t c = Value[j];
      const int literal = upcoming[i];
      if (literal >= 0 && c == M.MaskChar(literal) && !M.Accepts(i, c)) continue;
      put(i, Value[j]);
      j += step;
    }
    return out;
  }
  int inputs = 0;
  for (int i = 0; i < n; ++i) {
    if (M.IsLiteral(i))
      out[i] = M.MaskChar(i);
    else
      ++inputs;
  }
  // Under '!' the value fills the last positions; a longer value loses its first characters.
  int skip = M.Reverse() ? std::max(0, inputs - m) : 0;
  int j = M.Reverse() ? std::max(0, m - inputs) : 0;
  for (int i = 0; i < n; ++i) {
    if (M.IsLiteral(i)) continue;
    if (skip > 0) {
      --skip;
      continue;
    }
    if (j < m) put(i, Value[j++]);
  }
  return out;
}

std::string FormatWith(const std::string& EditMask, const std::string& Value, char32_t Blank,
                       bool WithLiterals) {
  const TEditMaskModel model(EditMask);
  if (!model.IsMasked()) return Value;
  return MaskFromCodePoints(Layout(model, Blank, MaskToCodePoints(Value), WithLiterals, false));
}

}  // namespace

std::u32string TEditMaskModel::FromText(const std::u32string& Value) const {
  return save_ ? LayoutText(Value, true) : FromInputChars(Value);
}

std::u32string TEditMaskModel::FromInputChars(const std::u32string& Value) const {
  return LayoutText(Value, false);
}

std::u32string TEditMaskModel::LayoutText(const std::u32string& Value, bool WithLiterals) const {
  return Layout(*this, blank_, Value, WithLiterals, true);
}

std::u32string TEditMaskModel::ToText(const std::u32string& EditText) const {
  if (!save_) return InputChars(EditText);
  std::u32string out;
  out.reserve(positions_.size());
  for (int i = 0; i < Count(); ++i) {
    if (positions_[i].Literal) {
      out.push_back(positions_[i].Char);
    } else {
      const char32_t c = i < static_cast<int>(EditText.size()) ? EditText[i] : blank_;
      out.push_back(c == blank_ ? U' ' : c);
    }
  }
  return out;
}

std::u32string TEditMaskModel::InputChars(const std::u32string& EditText) const {
  std::u32string out;
  for (int i = 0; i < Count(); ++i) {
    if (positions_[i].Literal) continue;
    const char32_t c = i < static_cast<int>(EditText.size()) ? EditText[i] : blank_;
    out.push_back(c == blank_ ? U' ' : c);
  }
  return out;
}

int TEditMaskModel::FirstInvalid(const std::u32string& EditText) const {
  for (int i = 0; i < Count(); ++i) {
    if (positions_[i].Literal) continue;
    char32_t c = i < static_cast<int>(EditText.size()) ? EditText[i] : blank_;
    const bool empty =
        c == blank_ || (c == U' ' && positions_[i].Char != mMskAscii && positions_[i].Char != mMskAsciiOpt);
    if (empty) {
      if (IsRequired(i)) return i;
      continue;
    }
    if (!Accepts(i, c)) return i;
  }
  return -1;
}

void TEditMaskModel::BlankRange(std::u32string& Text, int Start, int Stop) const {
  if (static_cast<int>(Text.size()) < Count()) Text = Normalize(Text);
  for (int i = std::max(Start, 0); i < std::min(Stop, Count()); ++i)
    if (!positions_[i].Literal) Text[i] = blank_;
}

bool TEditMaskModel::InputChar(std::u32string& Text, int& SelStart, int& SelStop, char32_t C) const {
  if (static_cast<int>(Text.size()) != Count()) Text = Normalize(Text);
  const int start = std::clamp(SelStart, 0, Count());
  const int stop = std::clamp(SelStop, start, Count());
  const int target = NextInput(start);
  char32_t c = C;
  int caret = -1;
  if (target < Count() && Accepts(target, c)) {
    caret = target;
  } else {
    // The literal the caret has just skipped is taken without complaint.
    for (int i = start - 1; i > PrevInput(start); --i)
      if (positions_[i].Char == C) {
        SelStart = SelStop = start;
        return true;
      }
    // Typing a literal of the mask moves past it.
    for (int i = start; i < Count(); ++i) {
      if (positions_[i].Literal && positions_[i].Char == C) {
        caret = i;
        break;
      }
    }
    if (caret < 0) return false;
  }
  // A selection longer than the one-character caret is blanked first.
  if (stop - start > 1) BlankRange(Text, start, stop);
  if (!positions_[caret].Literal) Text[caret] = c;
  SelStart = SelStop = NextInput(caret + 1);
  return true;
}

bool TEditMaskModel::Backspace(std::u32string& Text, int& SelStart, int& SelStop) const {
  if (static_cast<int>(Text.size()) != Count()) Text = Normalize(Text);
  const int start = std::clamp(SelStart, 0, Count());
  const int stop = std::clamp(SelStop, start, Count());
  if (stop - start > 1) {
    BlankRange(Text, start, stop);
    SelStart = SelStop = start;
    return true;
  }
  const int prev = PrevInput(start);
  if (prev < 0) return false;
  Text[prev] = blank_;
  SelStart = SelStop = prev;
  return true;
}

bool TEditMaskModel::DeleteChar(std::u32string& Text, int& SelStart, int& SelStop) const {
  if (static_cast<int>(Text.size()) != Count()) Text = Normalize(Text);
  const int start = std::clamp(SelStart, 0, Count());
  const int stop = std::clamp(SelStop, start, Count());
  if (stop - start > 1) {
    BlankRange(Text, start, stop);
  } else {
    if (start >= Count()) return false;
    BlankRange(Text, start, start + 1);
  }
  SelStart = SelStop = start;
  return true;
}

bool TEditMaskModel::Paste(std::u32string& Text, int& SelStart, int& SelStop,
                           const std::u32string& Clip) const {
  if (static_cast<int>(Text.size()) != Count()) Text = Normalize(Text);
  const int start = std::clamp(SelStart, 0, Count());
  const int stop = std::clamp(SelStop, start, Count());
  if (stop - start > 1) BlankRange(Text, start, stop);
  bool all = true;
  int p = start;
  for (char32_t c : Clip) {
    if (p >= Count()) {
      all = false;
      break;
    }
    if (positions_[p].Literal) {
      if (c == positions_[p].Char) {
        ++p;
        continue;
      }
      p = NextInput(p);
      if (p >= Count()) {
        all = false;
        break;
      }
    }
    char32_t converted = c;
    if (Accepts(p, converted)) {
      Text[p++] = converted;
    } else {
      all = false;
    }
  }
  SelStart = SelStop = NextInput(p);
  return all;
}

std::string MaskDoFormatText(const std::string& EditMask, const std::string& Value, char32_t Blank) {
  return FormatWith(EditMask, Value, Blank, false);
}

std::string PadInputLiterals(const std::string& EditMask, const std::string& Value, char32_t Blank) {
  return FormatWith(EditMask, Value, Blank, true);
}

std::string FormatMaskText(const std::string& EditMask, const std::string& Value) {
  return MaskGetMaskSave(EditMask) ? PadInputLiterals(EditMask, Value, U' ')
                                   : MaskDoFormatText(EditMask, Value, U' ');
}
