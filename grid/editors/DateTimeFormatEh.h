#pragma once
// The date-time edit format language of the date-time editor: a format such as "DD/MM/YYYY" or
// "HH:NN:SS" is parsed into element positions and an edit mask, turned into a display format
// for FormatDateTime, and used to read typed text back into date parts, merge those parts into a
// date-time value and step the section under the caret. The small date routines these need
// (two-digit years, days in a month, completing and clamping parts, default formats) live here
// too. All of them read the process-wide locale settings.
//
// Positions: element positions are 1-based character (code point) positions in the edited text;
// caret and selection positions are 0-based, as SelStart counts them.
#include <array>
#include <string>

#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

enum TDateTimeElementEh { dteYearEh, dteMonthEh, dteDayEh, dteHourEh, dteMinuteEh, dteSecondEh };

struct TDateTimeElementInfoEh {
  int Pos = -1;  // 1-based position in the edited text, -1 when absent
  int Length = -1;
  bool Present = false;
};

// Indexed by TDateTimeElementEh.
using TDateTimeElementsEh = std::array<TDateTimeElementInfoEh, 6>;
// Year, month, day, hour, minute, second; -1 means "not given".
using TDateTimePartsEh = std::array<int, 6>;

enum TDateOrderEh { doMDYEh, doDMYEh, doYMDEh };

int CurrentYearEh();
// Years of 100 or more are kept; smaller ones go through the locale's century window.
int ExpandTwoDigitYearEh(int Year);
int DaysInMonthEh(int Year, int Month);  // 0 for a month outside 1..12
// Parts below 1 come from today; the month is capped at 12, the year at 9999 (and expanded),
// the day at the days of the resulting month.
void CompleteDateEh(int& Year, int& Month, int& Day);
void ClampTimeEh(int& Hour, int& Minute, int& Second);
// The first of D, M, Y in Format decides; day-month-year when there is none.
TDateOrderEh GetDateOrderEh(const std::string& Format);
// "MM/DD/YYYY", "DD/MM/YYYY" or "YYYY/MM/DD" (two-digit years without FourDigitYear), by the
// date order of the locale's short date format.
std::string DefaultDateEditFormatEh(bool FourDigitYear);
std::string DefaultTimeEditFormatEh();  // "HH:NN:SS"
bool TryEncodeDateEh(int Year, int Month, int Day, TDateTime& Date);
bool TryEncodeTimeEh(int Hour, int Minute, int Second, int MSec, TDateTime& Time);

// Parses an edit format into its elements and the edit mask ("!" + mask + ";1; "). Raises
// Exception for an element that is too long, of an invalid length or duplicated; the outputs
// are then left untouched.
void ParseEditFormatEh(const std::string& Format, TDateTimeElementsEh& Elements, std::string& Mask);
// The format for FormatDateTime: element letters and "/" ":" upper-cased and unquoted, other
// runs quoted; "\x" makes x literal.
std::string EditFormatToDisplayFormatEh(const std::string& Format);
// One character per text position: element letters, "/" and ":"; everything else a space.
std::string EditFormatToSectionTemplateEh(const std::string& Format);

// Digits and spaces only; -1 for blank text or any other character (or a number too large).
int ElementTextToIntEh(const std::string& Text);
// Reads every present element of Text (absent ones give -1); two-digit years are expanded.
// True when every present element held a number.
bool TextToDatePartsEh(const std::string& Text, const TDateTimeElementsEh& Elements, TDateTimePartsEh& Parts);
// Merges Parts into Value (Null when every part is -1). With Complete missing date parts come
// from today and out-of-range ones are clamped. Components the format does not show keep Value's;
// a kept day is clamped to the days of the resulting month. On failure Value becomes Null.
bool DatePartsToValueEh(const TDateTimePartsEh& Parts, const TDateTimeElementsEh& Elements, Variant& Value,
                        bool Complete);

// The section of EditFormat at Caret: a separator under the caret means the section right of it.
bool SectionAtCaretEh(const std::string& EditFormat, int Caret, int& SelStart, int& SelLength);

struct TStepSectionResultEh {
  std::string Text;
  int SelStart = 0;
  int SelLength = 0;
};
// Steps the number of the section at Caret up or down with wrap-around (a two-character year
// wraps 00-99; down from an element's minimum gives its maximum). False when no section is there.
bool StepSectionEh(const std::string& EditFormat, const std::string& Text, int Caret, bool Up,
                   TStepSectionResultEh& Result);
