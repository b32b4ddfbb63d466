#pragma once
// Dates and times: encoding and decoding, the date-time format language and parsing.
// TDateTime counts days since 1899-12-30; negative values keep the time as a positive
// fraction of the day before the integral part is applied (the class library's rule).
#include <string>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

constexpr double DateDelta = 693594;  // days from 0001-01-01 to 1899-12-31
constexpr double HoursPerDay = 24, MinsPerDay = 24 * 60, SecsPerDay = 24 * 60 * 60,
                 MSecsPerDay = SecsPerDay * 1000;

bool IsLeapYear(Word Year);
Word MonthDays(Word Year, Word Month);  // 0 for an invalid month
// EConvertError "Invalid argument to date encode" / "Invalid argument to time encode".
TDateTime EncodeDate(Word Year, Word Month, Word Day);
TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec);
bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date);
bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time);
void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day);
void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec);
void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec,
                    Word& MSec);
int DayOfWeek(TDateTime Date);  // 1 = Sunday .. 7 = Saturday
TDateTime DateOf(TDateTime Value);
TDateTime TimeOf(TDateTime Value);

// The current date and time read from the virtual clock (Clock.h).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// The format language: c d dd ddd dddd ddddd dddddd e ee g gg m mm mmm mmmm h hh n nn s ss z zzz
// t tt am/pm a/p ampm y yy yyyy / : and quoted literals in '...' or "..."; "/" and ":" become the
// locale separators. An "m" right after an "h"/"hh" means minutes. NaN, infinities and values
// outside the years 1..9999 raise EConvertError "Invalid argument to date encode" (they have no
// calendar date to print).
std::string FormatDateTime(const std::string& Format, TDateTime DateTime);
std::string FormatDateTime(const std::string& Format, TDateTime DateTime, const TFormatSettings& Settings);
void DateTimeToString(std::string& Result, const std::string& Format, TDateTime DateTime);
std::string DateTimeToStr(TDateTime DateTime);  // "c": the date, and the time when it is not 0
std::string DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings);
std::string DateToStr(TDateTime Date);
std::string DateToStr(TDateTime Date, const TFormatSettings& Settings);
std::string TimeToStr(TDateTime Time);
std::string TimeToStr(TDateTime Time, const TFormatSettings& Settings);

// Parsing: element order from ShortDateFormat; two-digit years through the century window;
// EConvertError "'%s' is not a valid date" / "... valid time" / "... valid date and time".
TDateTime StrToDate(const std::string& S);
TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings);
TDateTime StrToTime(const std::string& S);
TDateTime StrToDateTime(const std::string& S);
TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings);
bool TryStrToDate(const std::string& S, TDateTime& Value);
bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToTime(const std::string& S, TDateTime& Value);
bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToDateTime(const std::string& S, TDateTime& Value);
bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateDef(const std::string& S, TDateTime Default);
TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default);
