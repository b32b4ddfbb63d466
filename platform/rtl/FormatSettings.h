#pragma once
// Locale settings: one shared, injectable object read by every formatting and parsing
// routine. The defaults are those of a Chinese (PRC) desktop.
#include <array>
#include <string>

#include "platform/rtl/Types.h"

struct TFormatSettings {
  int CurrencyFormat = 0;  // 0 "¥1", 1 "1¥", 2 "¥ 1", 3 "1 ¥"
  int NegCurrFormat = 2;   // the class library's 0..15 negative currency patterns; 2 is "¥-1"
  std::string ThousandSeparator = ",";
  std::string DecimalSeparator = ".";
  int CurrencyDecimals = 2;
  std::string DateSeparator = "-";
  std::string TimeSeparator = ":";
  std::string ListSeparator = ",";
  std::string CurrencyString = "¥";
  std::string ShortDateFormat = "yyyy-MM-dd";
  std::string LongDateFormat = "yyyy'年'M'月'd'日'";
  std::string TimeAMString = "上午";
  std::string TimePMString = "下午";
  std::string ShortTimeFormat = "H:mm";
  std::string LongTimeFormat = "H:mm:ss";
  std::array<std::string, 12> ShortMonthNames{"一月", "二月", "三月", "四月", "五月",   "六月",
                                              "七月", "八月", "九月", "十月", "十一月", "十二月"};
  std::array<std::string, 12> LongMonthNames{"一月", "二月", "三月", "四月", "五月",   "六月",
                                             "七月", "八月", "九月", "十月", "十一月", "十二月"};
  // Index 0 is Sunday, as in the class library.
  std::array<std::string, 7> ShortDayNames{"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
  std::array<std::string, 7> LongDayNames{"星期日", "星期一", "星期二", "星期三",
                                          "星期四", "星期五", "星期六"};
  // Words the system's own controls show, in the locale's language: the caption of the button
  // that accepts a pop-up's value, and the label before the date on a month calendar's today line.
  std::string OkCaption = "确定";
  std::string TodayCaption = "今天:";
  int TwoDigitYearCenturyWindow = 50;
  std::string CollationLocale = "zh_CN";  // ICU locale for string comparison and case mapping

  // Settings with "." as decimal separator and no thousands separator, for texts that
  // must not depend on the user's locale (filter expressions, streamed values).
  static TFormatSettings Invariant();
};

// The process-wide settings object. Tests replace it (and restore it) through
// TFormatSettingsScope.
TFormatSettings& FormatSettings();

// Installs `settings` for the lifetime of the scope, then restores the previous ones.
class TFormatSettingsScope {
 public:
  explicit TFormatSettingsScope(const TFormatSettings& settings);
  ~TFormatSettingsScope();
  TFormatSettingsScope(const TFormatSettingsScope&) = delete;
  TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

 private:
  TFormatSettings saved_;
};

// The system locale flags; double-byte and right-to-left paths are off by default.
struct TSysLocale {
  bool FarEast = false;
  bool MiddleEast = false;
};
TSysLocale& SysLocale();
