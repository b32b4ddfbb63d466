// The date-time format language of FormatDateTime and the texts built on it.
#include <charconv>
#include <string>
#include <string_view>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateTimeInternal.h"
#include "platform/rtl/Exceptions.h"

namespace {

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Case-insensitive match of `word` (upper case) at `pos`.
bool MatchAt(std::string_view s, size_t pos, std::string_view word) {
  if (pos + word.size() > s.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (UpperAscii(s[pos + i]) != word[i]) return false;
  return true;
}

const std::string& NameAt(const std::string* names, size_t count, int index) {
  static const std::string empty;
  return (index >= 0 && static_cast<size_t>(index) < count) ? names[index] : empty;
}

class TDateTimeFormatter {
 public:
  // `stamp` is value's, decoded once by the caller that checked it.
  TDateTimeFormatter(TDateTime value, const DateTimeDetail::TTimeStamp& stamp,
                     const TFormatSettings& settings)
      : value_(value), stamp_(stamp), settings_(settings) {}

  std::string Run(const std::string& format) {
    out_.reserve(32);  // a date with a time, without growing on the way
    Append(format.empty() ? std::string_view("C") : std::string_view(format));
    return std::move(out_);
  }

 private:
  // The nested formats (c, ddddd, dddddd, t, tt) go one level deep, so a locale format that
  // names itself cannot recurse without end.
  static constexpr int kMaxLevel = 2;

  void Append(std::string_view f);
  void AppendHour(std::string_view f, size_t pos, int n, bool& use12Hour);
  bool AppendAmPm(std::string_view f, size_t& pos, bool& use12Hour);

  // Every text has many numbers: written straight into the text, without a string of each.
  void Number(int value, int digits) {
    if (value >= 0 && value < 100 && digits <= 2) {  // days, months, hours, minutes, seconds
      if (value >= 10 || digits == 2) out_ += static_cast<char>('0' + value / 10);
      out_ += static_cast<char>('0' + value % 10);
      return;
    }
    char text[16];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
    const size_t length = static_cast<size_t>(r.ptr - text);
    if (static_cast<int>(length) < digits) out_.append(digits - length, '0');
    out_.append(text, length);
  }

  void NeedDate() {
    if (dateDecoded_) return;
    DateTimeDetail::DecodeDayNumber(stamp_.Date, year_, month_, day_);
    dateDecoded_ = true;
  }

  void NeedTime() {
    if (timeDecoded_) return;
    const int64_t ms = stamp_.Time;
    hour_ = static_cast<int>(ms / 3600000);
    min_ = static_cast<int>(ms / 60000 % 60);
    sec_ = static_cast<int>(ms / 1000 % 60);
    msec_ = static_cast<int>(ms % 1000);
    timeDecoded_ = true;
  }

  const std::string& DayName(bool longName) {
    const auto& names = longName ? settings_.LongDayNames : settings_.ShortDayNames;
    return NameAt(names.data(), names.size(), DayOfWeek(value_) - 1);
  }

  TDateTime value_;
  DateTimeDetail::TTimeStamp stamp_;
  const TFormatSettings& settings_;
  std::string out_;
  int level_ = 0;
  bool dateDecoded_ = false, timeDecoded_ = false;
  int year_ = 0, month_ = 0, day_ = 0;
  int hour_ = 0, min_ = 0, sec_ = 0, msec_ = 0;
};

void TDateTimeFormatter::Append(std::string_view f) {
  if (level_ >= kMaxLevel) return;
  ++level_;
  char lastToken = ' ';
  bool use12Hour = false;
  size_t pos = 0;
  while (pos < f.size()) {
    const char starter = f[pos++];
    char token = UpperAscii(starter);
    if (IsAsciiLetter(token)) {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    // Repeats of the same character (case-sensitive) form one token.
    auto count = [&] {
      int n = 1;
      while (pos < f.size() && f[pos] == starter) ++pos, ++n;
      return n;
    };
    switch (token) {
      case 'Y': {
        const int n = count();
        NeedDate();
        if (n <= 2)
          Number(year_ % 100, 2);
        else
          Number(year_, 4);
        break;
      }
      case 'G':  // era names: this locale has none
        count();
        break;
      case 'E':  // era year: the Gregorian year
        count();
        NeedDate();
        Number(year_, 1);
        break;
      case 'M': {
        const int n = count();
        NeedDate();
        if (n <= 2)
          Number(month_, n);
        else if (n == 3)
          out_ += NameAt(settings_.ShortMonthNames.data(), 12, month_ - 1);
        else
          out_ += NameAt(settings_.LongMonthNames.data(), 12, month_ - 1);
        break;
      }
      case 'D': {
        const int n = count();
        if (n <= 2) {
          NeedDate();
          Number(day_, n);
        } else if (n <= 4) {
          out_ += DayName(n == 4);
        } else {
          Append(n == 5 ? settings_.ShortDateFormat : settings_.LongDateFormat);
        }
        break;
      }
      case 'H': {
        const int n = count();
        AppendHour(f, pos, n, use12Hour);
        break;
      }
      case 'N': {
        const int n = count();
        NeedTime();
        Number(min_, n > 2 ? 2 : n);
        break;
      }
      case 'S': {
        const int n = count();
        NeedTime();
        Number(sec_, n > 2 ? 2 : n);
        break;
      }
      case 'Z': {
        const int n = count();
        NeedTime();
        Number(msec_, n > 3 ? 3 : n);
        break;
      }
      case 'T':
        Append(count() == 1 ? settings_.ShortTimeFormat : settings_.LongTimeFormat);
        break;
      case 'A':
        if (!AppendAmPm(f, pos, use12Hour)) out_ += starter;
        break;
      case 'C':
        count();
        Append(settings_.ShortDateFormat);
        NeedTime();
        if (hour_ != 0 || min_ != 0 || sec_ != 0 || msec_ != 0) {
          out_ += ' ';
          Append(settings_.LongTimeFormat);
        }
        break;
      case '/':
        out_ += settings_.DateSeparator;
        break;
      case ':':
        out_ += settings_.TimeSeparator;
        break;
      case '\'':
      case '"': {
        const size_t end = f.find(starter, pos);
        const size_t stop = end == std::string_view::npos ? f.size() : end;
        out_.append(f.substr(pos, stop - pos));
        pos = end == std::string_view::npos ? f.size() : end + 1;
        break;
      }
      default:
        out_ += starter;
        break;
    }
  }
  --level_;
}

// Writes the hour; an am/pm marker later in the format (before the next hour token) switches
// to the 12-hour clock even though it comes after the hour.
void TDateTimeFormatter::AppendHour(std::string_view f, size_t pos, int n, bool& use12Hour) {
  NeedTime();
  bool quoted = false;
  for (size_t p = pos; p < f.size(); ++p) {
    const char c = f[p];
    if (c == '\'' || c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == 'a' || c == 'A')) {
      if (MatchAt(f, p, "AM/PM") || MatchAt(f, p, "A/P") || MatchAt(f, p, "AMPM")) use12Hour = true;
      break;
    } else if (c == 'h' || c == 'H') {
      break;
    }
  }
  int h = hour_;
  if (use12Hour) {
    if (h == 0)
      h = 12;
    else if (h > 12)
      h -= 12;
  }
  Number(h, n > 2 ? 2 : n);
}

// am/pm and a/p copy the letters of the format in their own case; ampm uses the locale's
// texts; aaa and aaaa are day names. `pos` is just past the "a".
bool TDateTimeFormatter::AppendAmPm(std::string_view f, size_t& pos, bool& use12Hour) {
  const size_t start = pos - 1;
  NeedTime();
  const bool pm = hour_ >= 12;
  if (MatchAt(f, start, "AM/PM")) {
    out_.append(f.substr(start + (pm ? 3 : 0), 2));
    pos = start + 5;
    use12Hour = true;
  } else if (MatchAt(f, start, "A/P")) {
    out_.append(f.substr(start + (pm ? 2 : 0), 1));
    pos = start + 3;
    use12Hour = true;
  } else if (MatchAt(f, start, "AMPM")) {
    out_ += pm ? settings_.TimePMString : settings_.TimeAMString;
    pos = start + 4;
    use12Hour = true;
  } else if (MatchAt(f, start, "AAAA")) {
    out_ += DayName(true);
    pos = start + 4;
  } else if (MatchAt(f, start, "AAA")) {
    out_ += DayName(false);
    pos = start + 3;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string FormatDateTime(const std::string& Format, TDateTime DateTime, const TFormatSettings& Settings) {
  const DateTimeDetail::TTimeStamp stamp = DateTimeDetail::ToTimeStamp(DateTime);
  if (!stamp.Valid) throw EConvertError("Invalid argument to date encode");
  std::string text;
  if (DateTimeDetail::PlainDateText(Format, stamp.Date, Settings, text)) return text;
  return TDateTimeFormatter(DateTime, stamp, Settings).Run(Format);
}

std::string FormatDateTime(const std::string& Format, TDateTime DateTime) {
  return FormatDateTime(Format, DateTime, FormatSettings());
}

void DateTimeToString(std::string& Result, const std::string& Format, TDateTime DateTime) {
  Result = FormatDateTime(Format, DateTime);
}

std::string DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings) {
  return FormatDateTime("c", DateTime, Settings);
}

std::string DateTimeToStr(TDateTime DateTime) {
  return DateTimeToStr(DateTime, FormatSettings());
}

std::string DateToStr(TDateTime Date, const TFormatSettings& Settings) {
  return FormatDateTime("ddddd", Date, Settings);
}

std::string DateToStr(TDateTime Date) {
  return DateToStr(Date, FormatSettings());
}

std::string TimeToStr(TDateTime Time, const TFormatSettings& Settings) {
  return FormatDateTime("tt", Time, Settings);
}

std::string TimeToStr(TDateTime Time) {
  return TimeToStr(Time, FormatSettings());
}
