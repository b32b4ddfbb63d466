#pragma once
// Pieces shared by the date-time encoding, formatting and parsing units.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/FormatSettings.h"

#include "platform/rtl/Types.h"

namespace DateTimeDetail {

// A TDateTime split into a day number (0001-01-01 is day 1) and milliseconds of the day.
// Invalid for NaN, infinities and values outside the years 1..9999; then both parts are 0.
struct TTimeStamp {
  int64_t Date = 0;
  int64_t Time = 0;
  bool Valid = false;
};

TTimeStamp ToTimeStamp(TDateTime Value);
// Year, month and day of a day number; false (and zeros) outside 0001-01-01..9999-12-31.
bool DecodeDayNumber(int64_t DayNumber, int& Year, int& Month, int& Day);
// EncodeDate on plain integers, so parsed numbers need no narrowing first.
bool TryEncodeDateInt(int Year, int Month, int Day, TDateTime& Date);
// The text of a format made of day, month and year numbers, "/" and plain punctuation only (the
// usual short date); false when the format needs the full interpreter.
bool PlainDateText(std::string_view Format, int64_t DayNumber, const TFormatSettings& Settings,
                   std::string& Text);
// The year of Date(), for dates typed without one and for the two-digit year window.
int CurrentYear();

}  // namespace DateTimeDetail
