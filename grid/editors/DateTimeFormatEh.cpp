#include "grid/editors/DateTimeFormatEh.h"

#include <climits>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"

namespace {

// Positions count characters, so formats and texts are handled one code point at a time; a
// malformed byte counts as one character of its own.
std::vector<std::string> SplitChars(const std::string& s) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = 1;
    if (c >= 0xF0 && c < 0xF8)
      n = 4;
    else if (c >= 0xE0)
      n = c < 0xF0 ? 3 : 1;
    else if (c >= 0xC0)
      n = 2;
    if (i + n > s.size()) n = 1;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) n = 1;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

char UpperAscii(const std::string& ch) {
  if (ch.size() != 1) return 0;
  const char c = ch[0];
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int ElementIndex(char upper) {
  switch (upper) {
    case 'Y':
      return dteYearEh;
    case 'M':
      return dteMonthEh;
    case 'D':
      return dteDayEh;
    case 'H':
      return dteHourEh;
    case 'N':
      return dteMinuteEh;
    case 'S':
      return dteSecondEh;
    default:
      return -1;
  }
}

// '_' stands for a blank in our masks, so a literal underscore needs protecting as well.
bool IsMaskControlChar(char upper) {
  switch (upper) {
    case '_':
    case '!':
    case '#':
    case '0':
    case '9':
    case ';':
    case '<':
    case '>':
    case 'A':
    case 'C':
    case 'L':
      return true;
    default:
      return false;
  }
}

bool IsDisplayChar(char upper) {
  return upper == '/' || upper == ':' || ElementIndex(upper) >= 0;
}

void DecodeValue(const Variant& Value, int (&c)[6]) {
  c[0] = 1900, c[1] = 1, c[2] = 1, c[3] = 0, c[4] = 0, c[5] = 0;
  if (Value.IsNull() || Value.IsEmpty()) return;
  TDateTime dt = 0;
  try {
    dt = Value.AsDateTime();
  } catch (const Exception&) {
    return;  // a value that is no date at all merges like Null
  }
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(dt, y, m, d, h, n, s, ms);
  if (y == 0) return;  // outside the representable years
  c[0] = y, c[1] = m, c[2] = d, c[3] = h, c[4] = n, c[5] = s;
}

}  // namespace

int CurrentYearEh() {
  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

int ExpandTwoDigitYearEh(int Year) {
  if (Year >= 100) return Year;
  const int window = FormatSettings().TwoDigitYearCenturyWindow;
  const int base = CurrentYearEh() - window;
  int result = Year + 100 * (base / 100);
  if (window > 0 && result < base) result += 100;
  return result;
}

int DaysInMonthEh(int Year, int Month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  if (Month == 2 && ((Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0)) return 29;
  return kDays[Month - 1];
}

void CompleteDateEh(int& Year, int& Month, int& Day) {
  Word ty, tm, td;
  DecodeDate(Date(), ty, tm, td);
  if (Year < 1) Year = ty;
  if (Month < 1) Month = tm;
  if (Day < 1) Day = td;
  if (Month > 12) Month = 12;
  if (Year > 9999) Year = 9999;
  Year = ExpandTwoDigitYearEh(Year);
  const int days = DaysInMonthEh(Year, Month);
  if (Day > days) Day = days;
}

void ClampTimeEh(int& Hour, int& Minute, int& Second) {
  if (Hour < 0) Hour = 0;
  if (Minute < 0) Minute = 0;
  if (Second < 0) Second = 0;
  if (Hour > 23) Hour = 23;
  if (Minute > 59) Minute = 59;
  if (Second > 59) Second = 59;
}

TDateOrderEh GetDateOrderEh(const std::string& Format) {
  for (char c : Format) {
    switch (c) {
      case 'M':
      case 'm':
        return doMDYEh;
      case 'D':
      case 'd':
        return doDMYEh;
      case 'Y':
      case 'y':
        return doYMDEh;
      default:
        break;
    }
  }
  return doDMYEh;
}

std::string DefaultDateEditFormatEh(bool FourDigitYear) {
  const std::string y = FourDigitYear ? "YYYY" : "YY";
  switch (GetDateOrderEh(FormatSettings().ShortDateFormat)) {
    case doMDYEh:
      return "MM/DD/" + y;
    case doYMDEh:
      return y + "/MM/DD";
    default:
      return "DD/MM/" + y;
  }
}

std::string DefaultTimeEditFormatEh() {
  return "HH:NN:SS";
}

bool TryEncodeDateEh(int Year, int Month, int Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonthEh(Year, Month))
    return false;
  return TryEncodeDate(static_cast<Word>(Year), static_cast<Word>(Month), static_cast<Word>(Day), Date);
}

bool TryEncodeTimeEh(int Hour, int Minute, int Second, int MSec, TDateTime& Time) {
  if (Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 || Second < 0 || Second > 59 || MSec < 0 ||
      MSec > 999)
    return false;
  return TryEncodeTime(static_cast<Word>(Hour), static_cast<Word>(Minute), static_cast<Word>(Second),
                       static_cast<Word>(MSec), Time);
}

void ParseEditFormatEh(const std::string& Format, TDateTimeElementsEh& Elements, std::string& Mask) {
  TDateTimeElementsEh elements{};
  std::string mask;
  const std::vector<std::string> chars = SplitChars(Format);
  char current = 0;
  int run = 0;
  int pos = 1;
  bool escaped = false;

  auto closeElement = [&]() {
    if (current == 0) return;
    const bool validLength = current == 'Y' ? (run == 2 || run == 4) : run == 2;
    if (!validLength)
      throw Exception(std::string("Invalid datetime format element length: \"") + current + "\"");
    TDateTimeElementInfoEh& e = elements[ElementIndex(current)];
    if (e.Present) throw Exception(std::string("Duplicating datetime format element: \"") + current + "\"");
    e.Present = true;
    e.Pos = pos - run;
    e.Length = run;
    mask.append(static_cast<size_t>(run), '9');
    current = 0;
  };

  for (size_t i = 0; i < chars.size(); ++i) {
    const std::string& ch = chars[i];
    const char up = UpperAscii(ch);
    if (!escaped && ElementIndex(up) >= 0) {
      if (up != current) {
        closeElement();
        run = 1;
      } else {
        ++run;
        if (run > (up == 'Y' ? 4 : 2))
          throw Exception("Element in EditFormat: \"" + Format +
                          "\" is too long. Pos: " + std::to_string(pos));
      }
      current = up;
      ++pos;
      continue;
    }
    closeElement();
    if (!escaped && ch == "\\") {
      escaped = true;
      continue;  // the escape itself takes no place in the text
    }
    const bool afterBackslash = i > 0 && chars[i - 1] == "\\";
    // An escaped backslash must stay literal in the mask too, or it would escape what follows.
    if ((IsMaskControlChar(up) && !afterBackslash) || ch == "\\") mask += '\\';
    mask += ch;
    escaped = false;
    ++pos;
  }
  closeElement();
  Elements = elements;
  Mask = "!" + mask + ";1; ";
}

std::string EditFormatToDisplayFormatEh(const std::string& Format) {
  std::string out;
  std::string literal;
  auto flush = [&]() {
    if (literal.empty()) return;
    out += '\'';
    for (char c : literal) {
      if (c == '\'') out += '\'';
      out += c;
    }
    out += '\'';
    literal.clear();
  };
  bool escaped = false;
  for (const std::string& ch : SplitChars(Format)) {
    const char up = UpperAscii(ch);
    if (!escaped && ch == "\\") {
      escaped = true;
      continue;
    }
    if (!escaped && IsDisplayChar(up)) {
      flush();
      out += up;
    } else {
      // Literal text keeps its case so it matches the literals the mask keeps.
      literal += ch;
    }
    escaped = false;
  }
  flush();
  return out;
}

std::string EditFormatToSectionTemplateEh(const std::string& Format) {
  std::string out;
  bool escaped = false;
  for (const std::string& ch : SplitChars(Format)) {
    const char up = UpperAscii(ch);
    if (!escaped && ch == "\\") {
      escaped = true;
      continue;
    }
    out += (!escaped && IsDisplayChar(up)) ? up : ' ';
    escaped = false;
  }
  return out;
}

int ElementTextToIntEh(const std::string& Text) {
  long long value = 0;
  bool any = false;
  for (char c : Text) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return -1;
    any = true;
  }
  return any ? static_cast<int>(value) : -1;
}

bool TextToDatePartsEh(const std::string& Text, const TDateTimeElementsEh& Elements,
                       TDateTimePartsEh& Parts) {
  const std::vector<std::string> chars = SplitChars(Text);
  bool ok = true;
  for (size_t i = 0; i < Elements.size(); ++i) {
    const TDateTimeElementInfoEh& e = Elements[i];
    Parts[i] = -1;
    if (!e.Present) continue;
    std::string sub;
    for (int k = 0; k < e.Length; ++k) {
      const size_t at = static_cast<size_t>(e.Pos - 1 + k);
      if (e.Pos >= 1 && at < chars.size()) sub += chars[at];
    }
    Parts[i] = ElementTextToIntEh(sub);
    if (Parts[i] < 0)
      ok = false;
    else if (i == dteYearEh)
      Parts[i] = ExpandTwoDigitYearEh(Parts[i]);
  }
  return ok;
}

bool DatePartsToValueEh(const TDateTimePartsEh& Parts, const TDateTimeElementsEh& Elements, Variant& Value,
                        bool Complete) {
  bool allMissing = true;
  for (int p : Parts)
    if (p != -1) allMissing = false;
  if (allMissing) {
    Value = Variant::Null();
    return true;
  }
  TDateTimePartsEh p = Parts;
  if (Complete) {
    CompleteDateEh(p[dteYearEh], p[dteMonthEh], p[dteDayEh]);
    ClampTimeEh(p[dteHourEh], p[dteMinuteEh], p[dteSecondEh]);
  } else {
    for (int i = dteYearEh; i <= dteDayEh; ++i)
      if (p[i] < 1 && !Elements[i].Present) p[i] = 1;
    for (int i = dteHourEh; i <= dteSecondEh; ++i)
      if (p[i] < 0 && !Elements[i].Present) p[i] = 0;
  }

  TDateTime check = 0;
  const bool noDate = p[dteYearEh] == -1 && p[dteMonthEh] == -1 && p[dteDayEh] == -1;
  if (!noDate && !TryEncodeDateEh(p[dteYearEh], p[dteMonthEh], p[dteDayEh], check)) {
    Value = Variant::Null();
    return false;
  }
  if (!TryEncodeTimeEh(p[dteHourEh], p[dteMinuteEh], p[dteSecondEh], 0, check)) {
    Value = Variant::Null();
    return false;
  }

  int c[6];
  DecodeValue(Value, c);
  for (int i = dteYearEh; i <= dteSecondEh; ++i) {
    const int minimum = i <= dteDayEh ? 1 : 0;
    if (Elements[i].Present && p[i] >= minimum) c[i] = p[i];
  }
  // A day the format does not show may not exist in the month it does show (31 into February).
  const int days = DaysInMonthEh(c[0], c[1]);
  if (!Elements[dteDayEh].Present && c[2] > days) c[2] = days;

  TDateTime date = 0, time = 0;
  if (!(c[0] == 0 && c[1] == 0 && c[2] == 0) && !TryEncodeDateEh(c[0], c[1], c[2], date)) {
    Value = Variant::Null();
    return false;
  }
  if (!TryEncodeTimeEh(c[3], c[4], c[5], 0, time)) {
    Value = Variant::Null();
    return false;
  }
  Value = Variant::FromDate(date >= 0 ? date + time : date - time);
  return true;
}

namespace {

// Finds the run of one element letter at Caret in the section template of EditFormat.
bool FindSection(const std::string& EditFormat, int Caret, int& Start, int& Length, char& Letter) {
  const std::string tmpl = EditFormatToSectionTemplateEh(EditFormat);
  const int n = static_cast<int>(tmpl.size());
  if (n == 0) return false;
  int at = Caret < 0 ? 0 : Caret;
  // A caret after the last character still means the last section.
  if (at >= n) at = n - 1;
  if (ElementIndex(tmpl[static_cast<size_t>(at)]) < 0) ++at;
  if (at >= n || ElementIndex(tmpl[static_cast<size_t>(at)]) < 0) return false;
  Letter = tmpl[static_cast<size_t>(at)];
  int s = at, e = at;
  while (s > 0 && tmpl[static_cast<size_t>(s - 1)] == Letter) --s;
  while (e + 1 < n && tmpl[static_cast<size_t>(e + 1)] == Letter) ++e;
  Start = s;
  Length = e - s + 1;
  return true;
}

}  // namespace

bool SectionAtCaretEh(const std::string& EditFormat, int Caret, int& SelStart, int& SelLength) {
  char letter = 0;
  return FindSection(EditFormat, Caret, SelStart, SelLength, letter);
}

bool StepSectionEh(const std::string& EditFormat, const std::string& Text, int Caret, bool Up,
                   TStepSectionResultEh& Result) {
  int start = 0, length = 0;
  char letter = 0;
  if (!FindSection(EditFormat, Caret, start, length, letter)) return false;

  std::vector<std::string> chars = SplitChars(Text);
  if (chars.size() < static_cast<size_t>(start + length))
    chars.resize(static_cast<size_t>(start + length), " ");
  std::string sub;
  for (int k = 0; k < length; ++k) sub += chars[static_cast<size_t>(start + k)];
  int value = ElementTextToIntEh(sub);
  if (value < 0) value = 0;

  int lo = 0, hi = 0;
  switch (ElementIndex(letter)) {
    case dteYearEh:
      lo = length <= 2 ? 0 : 1, hi = length <= 2 ? 99 : 9999;
      break;
    case dteMonthEh:
      lo = 1, hi = 12;
      break;
    case dteDayEh:
      lo = 1, hi = 31;
      break;
    case dteHourEh:
      lo = 0, hi = 23;
      break;
    default:
      lo = 0, hi = 59;
      break;
  }
  if (Up)
    value = value >= hi ? lo : value + 1;
  else
    value = value <= lo ? hi : (value > hi ? hi : value - 1);

  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < length)
    digits.insert(0, static_cast<size_t>(length) - digits.size(), '0');
  for (int k = 0; k < length; ++k)
    chars[static_cast<size_t>(start + k)] = std::string(1, digits[static_cast<size_t>(k)]);
  Result.Text.clear();
  for (const std::string& ch : chars) Result.Text += ch;
  Result.SelStart = start;
  Result.SelLength = length;
  return true;
}
