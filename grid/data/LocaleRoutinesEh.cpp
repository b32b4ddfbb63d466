#include "grid/data/LocaleRoutinesEh.h"

#include "platform/rtl/SysUtils.h"

int NlsCompareText(const std::string& S1, const std::string& S2) {
  return AnsiCompareText(S1, S2);
}

int NlsCompareStr(const std::string& S1, const std::string& S2) {
  return AnsiCompareStr(S1, S2);
}

std::string NlsUpperCase(const std::string& S) {
  return AnsiUpperCase(S);
}

std::string NlsLowerCase(const std::string& S) {
  return AnsiLowerCase(S);
}

TCharSetEh TCharSetEh::Range(unsigned char First, unsigned char Last) {
  TCharSetEh s;
  for (int c = First; c <= Last; ++c) s.bits_.set(static_cast<size_t>(c));
  return s;
}

bool CharInSetEh(char C, const TCharSetEh& CharSet) {
  return CharSet.Contains(static_cast<unsigned char>(C));
}

bool CharInSetEh(char32_t C, const TCharSetEh& CharSet) {
  return C < 256 && CharSet.Contains(static_cast<unsigned char>(C));
}

TFormatSettings& FormatSettingsProxy() {
  return FormatSettings();
}

std::string GetDecimalSeparator() {
  return FormatSettingsProxy().DecimalSeparator;
}

std::string GetThousandSeparator() {
  return FormatSettingsProxy().ThousandSeparator;
}

int GetCurrencyDecimals() {
  return FormatSettingsProxy().CurrencyDecimals;
}
