// Reading dates and times typed in the locale's order and separators.
#include <string>
#include <string_view>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateTimeInternal.h"
#include "platform/rtl/Exceptions.h"

namespace {

enum class TDateOrder { MDY, DMY, YMD };

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The order of the first year, month or day letter of the short date format.
TDateOrder GetDateOrder(const std::string& format) {
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const size_t end = format.find(c, i + 1);
      if (end == std::string::npos) break;
      i = end;
      continue;
    }
    switch (UpperAscii(c)) {
      case 'E':
      case 'Y':
        return TDateOrder::YMD;
      case 'M':
        return TDateOrder::MDY;
      case 'D':
        return TDateOrder::DMY;
      default:
        break;
    }
  }
  return TDateOrder::MDY;
}

class TDateTimeScanner {
 public:
  TDateTimeScanner(std::string_view text, const TFormatSettings& settings) : s_(text), settings_(settings) {}

  bool AtEnd() const { return pos_ >= s_.size(); }
  size_t Pos() const { return pos_; }

  bool ScanDate(TDateTime& date);
  bool ScanTime(TDateTime& time);

 private:
  void SkipBlanks() {
    while (pos_ < s_.size() && IsBlank(s_[pos_])) ++pos_;
  }

  // Up to four digits (the number stops growing at 1000) and how many were read.
  bool ScanNumber(int& number, int& length) {
    SkipBlanks();
    size_t i = pos_;
    int n = 0;
    while (i < s_.size() && s_[i] >= '0' && s_[i] <= '9' && n < 1000) n = n * 10 + (s_[i++] - '0');
    if (i == pos_) return false;
    length = static_cast<int>(i - pos_);
    number = n;
    pos_ = i;
    return true;
  }

  // The locale's separator or one of `alternatives`. A blank separator matches the blanks
  // that SkipBlanks has just passed.
  bool ScanSeparator(const std::string& separator, std::string_view alternatives) {
    const size_t before = pos_;
    SkipBlanks();
    if (!separator.empty() && s_.substr(pos_, separator.size()) == separator) {
      pos_ += separator.size();
      return true;
    }
    if (pos_ < s_.size() && alternatives.find(s_[pos_]) != std::string_view::npos) {
      ++pos_;
      return true;
    }
    const bool blankSeparator = !separator.empty() && separator.find_first_not_of(" \t") == std::string::npos;
    return blankSeparator && pos_ > before;
  }

  // Case-insensitive (ASCII) match of a nonempty symbol such as "AM" or the locale's texts.
  bool ScanString(const std::string& symbol) {
    if (symbol.empty()) return false;
    SkipBlanks();
    if (s_.size() - pos_ < symbol.size()) return false;
    for (size_t i = 0; i < symbol.size(); ++i)
      if (UpperAscii(s_[pos_ + i]) != UpperAscii(symbol[i])) return false;
    pos_ += symbol.size();
    return true;
  }

  // -1 when no marker is there, 0 for AM and 12 for PM.
  int ScanAmPm() {
    if (ScanString(settings_.TimeAMString) || ScanString("AM")) return 0;
    if (ScanString(settings_.TimePMString) || ScanString("PM")) return 12;
    return -1;
  }

  std::string_view s_;
  const TFormatSettings& settings_;
  size_t pos_ = 0;
};

bool TDateTimeScanner::ScanDate(TDateTime& date) {
  static constexpr std::string_view kDateSeparators = "/-.";
  const TDateOrder order = GetDateOrder(settings_.ShortDateFormat);
  int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
  if (!ScanNumber(n1, l1) || !ScanSeparator(settings_.DateSeparator, kDateSeparators) || !ScanNumber(n2, l2))
    return false;
  int y = 0, m = 0, d = 0;
  if (ScanSeparator(settings_.DateSeparator, kDateSeparators)) {
    if (!ScanNumber(n3, l3)) return false;
    int yearLength = 0;
    switch (order) {
      case TDateOrder::MDY:
        y = n3, yearLength = l3, m = n1, d = n2;
        break;
      case TDateOrder::DMY:
        y = n3, yearLength = l3, m = n2, d = n1;
        break;
      case TDateOrder::YMD:
        y = n1, yearLength = l1, m = n2, d = n3;
        break;
    }
    if (yearLength <= 2) {
      // A short year lands in the hundred years that start Window years before this one.
      const int window = settings_.TwoDigitYearCenturyWindow;
      const int centuryBase = DateTimeDetail::CurrentYear() - window;
      y += centuryBase / 100 * 100;
      if (window > 0 && y < centuryBase) y += 100;
    }
  } else {
    y = DateTimeDetail::CurrentYear();
    if (order == TDateOrder::DMY)
      d = n1, m = n2;
    else
      m = n1, d = n2;
  }
  ScanSeparator(settings_.DateSeparator, kDateSeparators);
  SkipBlanks();
  return DateTimeDetail::TryEncodeDateInt(y, m, d, date);
}

bool TDateTimeScanner::ScanTime(TDateTime& time) {
  int baseHour = ScanAmPm();
  if (baseHour >= 0) SkipBlanks();
  int hour = 0, min = 0, sec = 0, msec = 0, length = 0;
  if (!ScanNumber(hour, length)) return false;
  if (ScanSeparator(settings_.TimeSeparator, ":")) {
    if (!ScanNumber(min, length)) return false;
    if (ScanSeparator(settings_.TimeSeparator, ":")) {
      if (!ScanNumber(sec, length)) return false;
      // The digits after the decimal separator count milliseconds.
      if (ScanSeparator(settings_.DecimalSeparator, ".") && !ScanNumber(msec, length)) return false;
    }
  }
  if (baseHour < 0) baseHour = ScanAmPm();
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour += baseHour;
  }
  SkipBlanks();
  if (min >= 60 || sec >= 60 || msec >= 1000 || hour >= 24) return false;
  return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(min), static_cast<Word>(sec),
                       static_cast<Word>(msec), time);
}

[[noreturn]] void RaiseConvert(const std::string& text, const char* what) {
  throw EConvertError(QuotedInput(text) + " is not a valid " + what);
}

}  // namespace

bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
  TDateTimeScanner scanner(S, Settings);
  TDateTime date;
  if (!scanner.ScanDate(date) || !scanner.AtEnd()) return false;
  Value = date;
  return true;
}

bool TryStrToDate(const std::string& S, TDateTime& Value) {
  return TryStrToDate(S, Value, FormatSettings());
}

bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
  TDateTimeScanner scanner(S, Settings);
  TDateTime time;
  if (!scanner.ScanTime(time) || !scanner.AtEnd()) return false;
  Value = time;
  return true;
}

bool TryStrToTime(const std::string& S, TDateTime& Value) {
  return TryStrToTime(S, Value, FormatSettings());
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
  TDateTimeScanner scanner(S, Settings);
  TDateTime date, time;
  if (scanner.ScanDate(date)) {
    if (scanner.AtEnd()) {
      Value = date;
      return true;
    }
    if (scanner.ScanTime(time) && scanner.AtEnd()) {
      // The time is a positive fraction on either side of day 0.
      Value = date >= 0 ? date + time : date - time;
      return true;
    }
  }
  return TryStrToTime(S, Value, Settings);
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value) {
  return TryStrToDateTime(S, Value, FormatSettings());
}

TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings) {
  TDateTime result;
  if (!TryStrToDate(S, result, Settings)) RaiseConvert(S, "date");
  return result;
}

TDateTime StrToDate(const std::string& S) {
  return StrToDate(S, FormatSettings());
}

TDateTime StrToTime(const std::string& S) {
  TDateTime result;
  if (!TryStrToTime(S, result)) RaiseConvert(S, "time");
  return result;
}

TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings) {
  TDateTime result;
  if (!TryStrToDateTime(S, result, Settings)) RaiseConvert(S, "date and time");
  return result;
}

TDateTime StrToDateTime(const std::string& S) {
  return StrToDateTime(S, FormatSettings());
}

TDateTime StrToDateDef(const std::string& S, TDateTime Default) {
  TDateTime result;
  return TryStrToDate(S, result) ? result : Default;
}

TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default) {
  TDateTime result;
  return TryStrToDateTime(S, result) ? result : Default;
}
