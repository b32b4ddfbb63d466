// Encoding and decoding of TDateTime values and the current date and time.
#include "platform/rtl/DateTime.h"

#include <cmath>
#include <cstdint>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTimeInternal.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr int64_t kMSecsPerDay = 86400000;
constexpr int64_t kDaysPer400Years = 146097;
constexpr int64_t kDaysPer100Years = 36524;
constexpr int64_t kDaysPer4Years = 1461;
constexpr int64_t kDaysPerYear = 365;
// Day numbers of the time stamp: 0001-01-01 is day 1, 9999-12-31 the last valid day.
constexpr int64_t kFirstDay = 1;
constexpr int64_t kLastDay = 3652059;

constexpr Word kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
constexpr int kDaysBeforeMonth[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                         {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

}  // namespace

namespace DateTimeDetail {

TTimeStamp ToTimeStamp(TDateTime Value) {
  TTimeStamp ts;
  // Values outside the years 1..9999 (and NaN) decode to zeros instead of overflowing.
  if (!std::isfinite(Value) || Value < -693594.0 || Value > 2958466.0) return ts;
  // The whole value is rounded to the millisecond once, so that the date and the time agree
  // (23:59:59.9995 is midnight of the next day, never second 60). Negative values carry the
  // time as a positive fraction: -1.25 is 1899-12-29 06:00.
  const double scaled = std::nearbyint(static_cast<double>(Value) * static_cast<double>(kMSecsPerDay));
  const int64_t ms = static_cast<int64_t>(std::fabs(scaled));
  int64_t days = ms / kMSecsPerDay;
  if (Value < 0) days = -days;
  const int64_t date = static_cast<int64_t>(DateDelta) + days;
  if (date < kFirstDay || date > kLastDay) return ts;
  ts.Date = date;
  ts.Time = ms % kMSecsPerDay;
  ts.Valid = true;
  return ts;
}

bool DecodeDayNumber(int64_t DayNumber, int& Year, int& Month, int& Day) {
  Year = Month = Day = 0;
  if (DayNumber < kFirstDay || DayNumber > kLastDay) return false;
  int64_t t = DayNumber - 1;
  int64_t y = 1 + (t / kDaysPer400Years) * 400;
  t %= kDaysPer400Years;
  int64_t i = t / kDaysPer100Years;
  t %= kDaysPer100Years;
  if (i == 4) {  // the last day of a 400-year cycle
    i = 3;
    t += kDaysPer100Years;
  }
  y += i * 100;
  y += (t / kDaysPer4Years) * 4;
  t %= kDaysPer4Years;
  i = t / kDaysPerYear;
  t %= kDaysPerYear;
  if (i == 4) {  // the last day of a leap year
    i = 3;
    t += kDaysPerYear;
  }
  y += i;
  // Every shown date is decoded: the month from the day of the year / 32, which is the month's
  // index or the one before, instead of a walk over the months.
  const int* before = kDaysBeforeMonth[IsLeapYear(static_cast<Word>(y)) ? 1 : 0];
  int m = static_cast<int>(t >> 5);
  if (t >= before[m + 1]) ++m;
  Year = static_cast<int>(y);
  Month = m + 1;
  Day = static_cast<int>(t) - before[m] + 1;
  return true;
}

bool TryEncodeDateInt(int Year, int Month, int Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1) return false;
  const Word* table = kMonthDays[IsLeapYear(static_cast<Word>(Year)) ? 1 : 0];
  if (Day > table[Month - 1]) return false;
  int64_t days = Day;
  for (int m = 0; m < Month - 1; ++m) days += table[m];
  const int64_t y = Year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  Date = static_cast<TDateTime>(days - static_cast<int64_t>(DateDelta));
  return true;
}

int CurrentYear() {
  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

}  // namespace DateTimeDetail

using namespace DateTimeDetail;

bool IsLeapYear(Word Year) {
  return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

Word MonthDays(Word Year, Word Month) {
  if (Month < 1 || Month > 12) return 0;
  return kMonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date) {
  return TryEncodeDateInt(Year, Month, Day, Date);
}

TDateTime EncodeDate(Word Year, Word Month, Word Day) {
  TDateTime result;
  if (!TryEncodeDate(Year, Month, Day, result)) throw EConvertError("Invalid argument to date encode");
  return result;
}

bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time) {
  if (Hour >= 24 || Min >= 60 || Sec >= 60 || MSec >= 1000) return false;
  const int64_t ms = ((static_cast<int64_t>(Hour) * 60 + Min) * 60 + Sec) * 1000 + MSec;
  Time = static_cast<TDateTime>(ms) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec) {
  TDateTime result;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, result)) throw EConvertError("Invalid argument to time encode");
  return result;
}

void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day) {
  int y = 0, m = 0, d = 0;
  const TTimeStamp ts = ToTimeStamp(Date);
  if (ts.Valid) DecodeDayNumber(ts.Date, y, m, d);
  Year = static_cast<Word>(y);
  Month = static_cast<Word>(m);
  Day = static_cast<Word>(d);
}

void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
  const int64_t ms = ToTimeStamp(Time).Time;
  Hour = static_cast<Word>(ms / 3600000);
  Min = static_cast<Word>(ms / 60000 % 60);
  Sec = static_cast<Word>(ms / 1000 % 60);
  MSec = static_cast<Word>(ms % 1000);
}

void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec,
                    Word& MSec) {
  DecodeDate(Value, Year, Month, Day);
  DecodeTime(Value, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime Date) {
  const TTimeStamp ts = ToTimeStamp(Date);
  // Day 1 (0001-01-01) was a Monday.
  return static_cast<int>(ts.Date % 7) + 1;
}

TDateTime DateOf(TDateTime Value) {
  return std::trunc(Value);
}

TDateTime TimeOf(TDateTime Value) {
  return Value - std::trunc(Value);
}

TDateTime Now() {
  return ClockNow();
}

TDateTime Date() {
  return std::trunc(ClockNow());
}

TDateTime Time() {
  const TDateTime now = ClockNow();
  return now - std::trunc(now);
}
