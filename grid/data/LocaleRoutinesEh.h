#pragma once
// Locale-aware text routines, byte character sets and the format-settings accessors the
// editors and grids share.
#include <bitset>
#include <initializer_list>
#include <string>

#include "platform/rtl/FormatSettings.h"

int NlsCompareText(const std::string& S1, const std::string& S2);
int NlsCompareStr(const std::string& S1, const std::string& S2);
std::string NlsUpperCase(const std::string& S);
std::string NlsLowerCase(const std::string& S);

// A set of byte characters.
class TCharSetEh {
 public:
  TCharSetEh() = default;
  TCharSetEh(std::initializer_list<unsigned char> Chars) {
    for (unsigned char c : Chars) bits_.set(c);
  }
  // Every character of First..Last.
  static TCharSetEh Range(unsigned char First, unsigned char Last);
  bool Contains(unsigned char C) const { return bits_.test(C); }
  void Include(unsigned char C) { bits_.set(C); }
  void Exclude(unsigned char C) { bits_.reset(C); }
  TCharSetEh operator+(const TCharSetEh& O) const {
    TCharSetEh r;
    r.bits_ = bits_ | O.bits_;
    return r;
  }
  bool operator==(const TCharSetEh&) const = default;

 private:
  std::bitset<256> bits_;
};
bool CharInSetEh(char C, const TCharSetEh& CharSet);
bool CharInSetEh(char32_t C, const TCharSetEh& CharSet);  // false beyond 255

// The shared format settings of the grid library (the process settings).
TFormatSettings& FormatSettingsProxy();
std::string GetDecimalSeparator();
std::string GetThousandSeparator();
int GetCurrencyDecimals();
