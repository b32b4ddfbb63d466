#include "platform/rtl/FormatSettings.h"

TFormatSettings TFormatSettings::Invariant() {
  TFormatSettings s;
  s.ThousandSeparator = ",";
  s.DecimalSeparator = ".";
  s.DateSeparator = "/";
  s.TimeSeparator = ":";
  s.CurrencyString = "";
  s.ShortDateFormat = "MM/dd/yyyy";
  s.LongDateFormat = "dddd, dd MMMMM yyyy HH:mm:ss";
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  s.ShortTimeFormat = "HH:mm";
  s.LongTimeFormat = "HH:mm:ss";
  s.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  s.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  s.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  s.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  s.OkCaption = "OK";
  s.TodayCaption = "Today:";
  s.CollationLocale = "en_US";
  return s;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

TFormatSettingsScope::TFormatSettingsScope(const TFormatSettings& settings) : saved_(FormatSettings()) {
  FormatSettings() = settings;
}

TFormatSettingsScope::~TFormatSettingsScope() {
  FormatSettings() = saved_;
}

TSysLocale& SysLocale() {
  static TSysLocale locale;
  return locale;
}
