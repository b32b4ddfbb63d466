// Date-only formats such as the short date ("MM/dd/yyyy") written straight into a buffer: the
// text of every shown date goes through here, without the full format interpreter.
#include <cstring>

#include "platform/rtl/DateTimeInternal.h"

namespace DateTimeDetail {

namespace {

// Room for the longest plain date format we take on, with its separators.
constexpr size_t kTextCapacity = 64;

char* TwoDigits(char* out, int value, bool padded) {
  if (value >= 10 || padded) *out++ = static_cast<char>('0' + value / 10);
  *out++ = static_cast<char>('0' + value % 10);
  return out;
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

bool PlainDateText(std::string_view Format, int64_t DayNumber, const TFormatSettings& Settings,
                   std::string& Text) {
  if (Format.empty() || Format.size() > 16 || Settings.DateSeparator.size() > 4) return false;
  int year = 0, month = 0, day = 0;
  bool decoded = false;
  char text[kTextCapacity];
  char* out = text;
  size_t pos = 0;
  while (pos < Format.size()) {
    const char starter = Format[pos++];
    // Repeats of the same character (case-sensitive) form one token, as in the interpreter.
    int n = 1;
    while (pos < Format.size() && Format[pos] == starter) ++pos, ++n;
    const char token = starter >= 'a' && starter <= 'z' ? static_cast<char>(starter - 'a' + 'A') : starter;
    if (token == 'D' || token == 'M' || token == 'Y') {
      if (token != 'Y' && n > 2) return false;  // names and nested formats
      if (!decoded) {
        if (!DecodeDayNumber(DayNumber, year, month, day)) return false;
        decoded = true;
      }
      if (token == 'D') {
        out = TwoDigits(out, day, n == 2);
      } else if (token == 'M') {
        out = TwoDigits(out, month, n == 2);
      } else if (n <= 2) {
        out = TwoDigits(out, year % 100, true);
      } else {
        for (int divisor = 1000; divisor > 0; divisor /= 10)
          *out++ = static_cast<char>('0' + year / divisor % 10);
      }
    } else if (starter == '/') {
      for (int i = 0; i < n; ++i) {
        std::memcpy(out, Settings.DateSeparator.data(), Settings.DateSeparator.size());
        out += Settings.DateSeparator.size();
      }
    } else if (IsLetter(starter) || starter == '\'' || starter == '"' || starter == ':' ||
               static_cast<unsigned char>(starter) >= 0x80) {
      return false;
    } else {
      for (int i = 0; i < n; ++i) *out++ = starter;
    }
  }
  Text.assign(text, static_cast<size_t>(out - text));
  return true;
}

}  // namespace DateTimeDetail
