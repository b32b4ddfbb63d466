// Fuzz target for number and date text: the input's first byte picks the locale settings
// (separators, date order, century window), the rest is split at the first newline into a
// format and a text. The text is parsed as an integer, a float, a currency amount and a date
// and time; whatever parses is formatted again and must read back as the same value, the
// throwing and the Try forms must agree, and the format language must take any format.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"

namespace {

TFormatSettings SettingsFor(uint8_t pick) {
  TFormatSettings s;
  switch (pick % 4) {
    case 0:  // the defaults: year-month-day, "." and ","
      break;
    case 1:  // day.month.year with "," as decimal separator
      s.DecimalSeparator = ",";
      s.ThousandSeparator = ".";
      s.DateSeparator = ".";
      s.ShortDateFormat = "dd.MM.yyyy";
      s.LongTimeFormat = "hh:mm:ss";
      s.CurrencyString = "EUR";
      s.CurrencyFormat = 3;
      s.NegCurrFormat = 8;
      break;
    case 2:  // month/day/two-digit year, AM/PM times
      s.DateSeparator = "/";
      s.ShortDateFormat = "M/d/yy";
      s.ShortTimeFormat = "h:mm AMPM";
      s.LongTimeFormat = "h:mm:ss AMPM";
      s.TimeAMString = "AM";
      s.TimePMString = "PM";
      s.CurrencyString = "$";
      s.NegCurrFormat = 0;
      break;
    case 3:  // a blank thousands separator and a multi-byte decimal separator
      s.ThousandSeparator = " ";
      s.DecimalSeparator = "·";
      s.DateSeparator = "/";
      s.ShortDateFormat = "d/M/yyyy";
      s.TimeSeparator = ".";
      s.CurrencyDecimals = (pick >> 2) % 5;
      s.CurrencyFormat = 2;
      s.NegCurrFormat = (pick >> 4) % 16;
      break;
  }
  s.TwoDigitYearCenturyWindow = (pick >> 6) * 25;
  return s;
}

void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void CheckIntegers(const std::string& text) {
  int32_t i32 = 0;
  const bool ok = TryStrToInt(text, i32);
  bool threw = false;
  try {
    if (StrToInt(text) != i32 && ok) Fail("StrToInt differs from TryStrToInt");
  } catch (const EConvertError&) {
    threw = true;
  }
  if (threw == ok) Fail("StrToInt and TryStrToInt disagree");
  if (ok && StrToInt(IntToStr(i32)) != i32) Fail("IntToStr does not read back");
  int64_t i64 = 0;
  if (TryStrToInt64(text, i64)) {
    if (StrToInt64(IntToStr(i64)) != i64) Fail("IntToStr of an Int64 does not read back");
    // Hexadecimal texts up to $FFFFFFFF wrap into the 32-bit range.
    if (ok && static_cast<int32_t>(i64) != i32) Fail("TryStrToInt64 differs from TryStrToInt");
  }
}

void CheckFloats(const std::string& text, const std::string& format, const TFormatSettings& s, uint8_t pick) {
  Extended v = 0;
  const bool ok = TryStrToFloat(text, v, s);
  bool threw = false;
  try {
    StrToFloat(text, s);
  } catch (const EConvertError&) {
    threw = true;
  }
  if (threw == ok) Fail("StrToFloat and TryStrToFloat disagree");
  if (!ok || !std::isfinite(static_cast<double>(v))) return;
  // Fifteen digits lose bits; one round settles the text.
  const std::string once = FloatToStr(v, s);
  Extended back = 0;
  if (!TryStrToFloat(once, back, s)) Fail("FloatToStr does not read back");
  if (FloatToStr(back, s) != once) Fail("FloatToStr is not stable");
  static const TFloatFormat kFormats[] = {ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency};
  const int precision = 1 + pick % 18, digits = (pick >> 3) % 19;
  for (TFloatFormat f : kFormats) FloatToStrF(v, f, precision, digits, s);
  FormatFloat(format, v, s);
  // ffFixed with the full precision reads back within a unit of its last digit.
  if (std::fabs(static_cast<double>(v)) < 1e15) {
    Extended fixed = 0;
    if (!TryStrToFloat(FloatToStrF(v, ffFixed, 18, 4, s), fixed, s)) Fail("ffFixed does not read back");
    if (std::fabs(static_cast<double>(fixed - v)) > 0.00005001L + std::fabs(static_cast<double>(v)) * 1e-15)
      Fail("ffFixed reads back as another value");
  }
}

void CheckCurrency(const std::string& text, const std::string& format, const TFormatSettings& s) {
  TFormatSettingsScope scope(s);
  Currency c;
  if (!TryStrToCurr(text, c)) return;
  Currency back;
  if (!TryStrToCurr(CurrToStr(c), back) || back != c) Fail("CurrToStr does not read back");
  CurrToStrF(c, ffCurrency, s.CurrencyDecimals, s);
  CurrToStrF(c, ffNumber, 4, s);
  FormatCurr(format, c, s);
}

void CheckDates(const std::string& text, const std::string& format, const TFormatSettings& s) {
  TDateTime dt = 0;
  const bool ok = TryStrToDateTime(text, dt, s);
  bool threw = false;
  try {
    StrToDateTime(text, s);
  } catch (const EConvertError&) {
    threw = true;
  }
  if (threw == ok) Fail("StrToDateTime and TryStrToDateTime disagree");
  TDateTime d = 0;
  // Two-digit years read back through the century window only.
  if (TryStrToDate(text, d, s) && s.ShortDateFormat.find("yyyy") != std::string::npos) {
    TDateTime again = 0;
    if (!TryStrToDate(DateToStr(d, s), again, s) || again != d) Fail("DateToStr does not read back");
  }
  TDateTime t = 0;
  if (TryStrToTime(text, t, s)) TimeToStr(t, s);
  if (!ok) return;
  FormatDateTime(format, dt, s);
  // The text keeps whole seconds, and leaves out a time that became 0: two rounds settle it.
  TDateTime back = 0;
  if (!TryStrToDateTime(DateTimeToStr(dt, s), back, s)) Fail("DateTimeToStr does not read back");
  const std::string settled = DateTimeToStr(back, s);
  TDateTime again = 0;
  if (!TryStrToDateTime(settled, again, s)) Fail("DateTimeToStr does not read back");
  if (DateTimeToStr(again, s) != settled) Fail("DateTimeToStr is not stable");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 512) return 0;
  const TFormatSettings settings = SettingsFor(data[0]);
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t newline = rest.find('\n');
  const std::string format =
      newline == std::string::npos ? std::string("#,##0.00;(#,##0.00);'zero'") : rest.substr(0, newline);
  const std::string text = newline == std::string::npos ? rest : rest.substr(newline + 1);
  CheckIntegers(text);
  CheckFloats(text, format, settings, data[0]);
  CheckCurrency(text, format, settings);
  CheckDates(text, format, settings);
  // The text's bytes as a double: every kind of value, NaN and infinities included, through
  // the number formats (dates only where a date exists).
  if (text.size() >= 8) {
    double raw;
    std::memcpy(&raw, text.data(), sizeof raw);
    FloatToStr(raw, settings);
    FormatFloat(format, raw, settings);
    FloatToStrF(raw, ffNumber, 15, 2, settings);
    // Years 1 to 9999 (days -693593 to 2958465) format; NaN, infinities and values clear of
    // that range raise the conversion error; a day at either edge may go either way.
    const bool hasDate = raw > -693592.0 && raw < 2958465.0;
    const bool noDate = !(raw > -693595.0 && raw < 2958467.0);
    try {
      FormatDateTime(format, raw, settings);
      if (noDate) std::abort();
    } catch (const EConvertError&) {
      if (hasDate) std::abort();
    }
  }
  return 0;
}
