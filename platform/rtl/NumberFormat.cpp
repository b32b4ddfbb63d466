// FormatFloat and FormatCurr: the picture language of number texts.
#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/FloatDecimal.h"
#include "platform/rtl/NumberFormat.h"

namespace {

using DecimalText::TDecimal;

// Splits "pos;neg;zero" at the semicolons outside quoted literals (at most three sections).
std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  for (size_t i = 0; i < format.size() && sections.size() < 2; ++i) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const size_t end = format.find(c, i + 1);
      if (end == std::string_view::npos) break;
      i = end;
    } else if (c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string_view rest = format.substr(std::min(start, format.size()));
  // A third ";" ends the zero section; anything after it is ignored.
  for (size_t i = 0; i < rest.size(); ++i) {
    const char c = rest[i];
    if (c == '\'' || c == '"') {
      const size_t end = rest.find(c, i + 1);
      if (end == std::string_view::npos) break;
      i = end;
    } else if (c == ';') {
      rest = rest.substr(0, i);
      break;
    }
  }
  sections.push_back(rest);
  return sections;
}

// An "E+"/"E-" (or lower case) exponent marker at `i`.
bool IsExponentAt(std::string_view s, size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

// What a section asks for: its digit placeholders, required digits, grouping and exponent.
struct TSectionLayout {
  int DigitCount = 0;     // "0" and "#" placeholders outside the exponent
  int IntegerPlaces = 0;  // placeholders before the decimal point
  int RequiredInteger = 0;
  int RequiredFraction = 0;
  bool Thousands = false;
  bool Scientific = false;
};

TSectionLayout ScanSection(std::string_view section, bool canGroup) {
  TSectionLayout layout;
  int decimalIndex = -1;
  int firstZero = INT_MAX;
  int lastZero = 0;
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    switch (c) {
      case '#':
        ++layout.DigitCount;
        break;
      case '0':
        firstZero = std::min(firstZero, layout.DigitCount);
        lastZero = ++layout.DigitCount;
        break;
      case '.':
        if (decimalIndex < 0) decimalIndex = layout.DigitCount;
        break;
      case ',':
        if (decimalIndex < 0 && canGroup) layout.Thousands = true;
        break;
      case '\'':
      case '"': {
        const size_t end = section.find(c, i + 1);
        i = end == std::string_view::npos ? section.size() : end;
        break;
      }
      default:
        if (IsExponentAt(section, i)) {
          layout.Scientific = true;
          i += 1;
          while (i + 1 < section.size() && section[i + 1] == '0') ++i;
        }
        break;
    }
  }
  if (decimalIndex < 0) decimalIndex = layout.DigitCount;
  layout.IntegerPlaces = decimalIndex;
  layout.RequiredInteger = firstZero == INT_MAX ? 0 : std::max(0, decimalIndex - firstZero);
  layout.RequiredFraction = std::max(0, lastZero - decimalIndex);
  return layout;
}

// Lays the rounded digits into the section's placeholders and literals.
class TSectionWriter {
 public:
  TSectionWriter(const TDecimal& d, const TSectionLayout& layout, const TFormatSettings& settings)
      : d_(d), layout_(layout), settings_(settings) {
    size_ = static_cast<long long>(d.Digits.size());
    integerCount_ = layout.Scientific ? layout.IntegerPlaces : std::max(d.Exponent, 0);
    fractionStart_ = layout.Scientific ? layout.IntegerPlaces : d.Exponent;
    fractionAvailable_ = std::max(0LL, size_ - fractionStart_);
  }

  std::string Write(std::string_view section, bool minus) {
    if (minus) out_ += '-';
    for (size_t i = 0; i < section.size(); ++i) {
      const char c = section[i];
      if (c == '#' || c == '0') {
        Placeholder();
      } else if (c == '.' || c == ',') {
        // The decimal point is written before the first fraction digit; grouping is automatic.
      } else if (c == '\'' || c == '"') {
        const size_t end = section.find(c, i + 1);
        const size_t stop = end == std::string_view::npos ? section.size() : end;
        out_.append(section.substr(i + 1, stop - i - 1));
        i = stop;
      } else if (IsExponentAt(section, i)) {
        i = Exponent(section, i);
      } else {
        out_ += c;
      }
    }
    return std::move(out_);
  }

 private:
  char DigitAt(long long index) const {
    return (index >= 0 && index < size_) ? d_.Digits[static_cast<size_t>(index)] : '0';
  }

  // `place` counts integer digits from the decimal point (1 = units).
  void IntegerDigit(long long place) {
    out_ += DigitAt(integerCount_ - place);
    if (layout_.Thousands && !layout_.Scientific && place > 1 && (place - 1) % 3 == 0)
      out_ += settings_.ThousandSeparator;
  }

  void FractionDigit(long long k) {
    if (!pointWritten_) {
      out_ += settings_.DecimalSeparator;
      pointWritten_ = true;
    }
    out_ += DigitAt(fractionStart_ + k - 1);
  }

  void Placeholder() {
    const long long p = placeholder_++;
    const long long places = layout_.IntegerPlaces;
    // Integer digits beyond the placeholders all go in front of the first one.
    if (p == 0)
      for (long long place = integerCount_; place > places; --place) IntegerDigit(place);
    if (p < places) {
      const long long place = places - p;
      if (place <= integerCount_ || place <= layout_.RequiredInteger) IntegerDigit(place);
      return;
    }
    const long long k = p - places + 1;
    if (k <= layout_.RequiredFraction || k <= fractionAvailable_) FractionDigit(k);
  }

  // Writes E+nn / E-nn and returns the index of the last character used.
  size_t Exponent(std::string_view section, size_t i) {
    const char letter = section[i];
    const bool alwaysSign = section[i + 1] == '+';
    i += 1;
    int minDigits = 0;
    while (i + 1 < section.size() && section[i + 1] == '0') ++i, ++minDigits;
    minDigits = std::min(minDigits, 4);
    long long exponent = d_.IsZero() ? 0 : static_cast<long long>(d_.Exponent) - layout_.IntegerPlaces;
    out_ += letter;
    if (exponent < 0) {
      out_ += '-';
      exponent = -exponent;
    } else if (alwaysSign) {
      out_ += '+';
    }
    std::string digits = std::to_string(exponent);
    if (static_cast<int>(digits.size()) < minDigits) out_.append(minDigits - digits.size(), '0');
    out_ += digits;
    return i;
  }

  const TDecimal& d_;
  const TSectionLayout& layout_;
  const TFormatSettings& settings_;
  std::string out_;
  long long size_ = 0;
  long long integerCount_ = 0;   // integer digits of the number (the integer places when scientific)
  long long fractionStart_ = 0;  // index of the first digit after the decimal point
  long long fractionAvailable_ = 0;
  long long placeholder_ = 0;
  bool pointWritten_ = false;
};

std::string FormatDecimal(const std::string& format, const TDecimal& value, int maxPrecision,
                          const TFormatSettings& settings) {
  if (format.empty() || value.Kind != TDecimal::Finite)
    return DecimalText::ToText(value, ffGeneral, 15, 0, maxPrecision, settings);
  const std::vector<std::string_view> sections = SplitSections(format);
  // An empty or missing negative or zero section falls back to the first one.
  auto pick = [&](size_t index) -> size_t {
    return index < sections.size() && !sections[index].empty() ? index : 0;
  };
  size_t index = pick(value.IsZero() ? 2 : value.Negative ? 1 : 0);
  const bool canGroup = !settings.ThousandSeparator.empty();
  TSectionLayout layout = ScanSection(sections[index], canGroup);
  TDecimal d = value;
  if (layout.Scientific)
    DecimalText::Round(d, std::clamp(layout.DigitCount, 1, maxPrecision), INT_MAX / 2);
  else
    DecimalText::Round(d, maxPrecision, layout.DigitCount - layout.IntegerPlaces);
  if (d.IsZero() && !value.IsZero()) {
    // Rounded away to nothing: the zero section, without a sign.
    index = pick(2);
    layout = ScanSection(sections[index], canGroup);
  }
  if (!layout.Scientific && d.Exponent > DecimalText::kExtendedDigits)
    return DecimalText::ToText(value, ffGeneral, 15, 0, maxPrecision, settings);
  const bool minus = d.Negative && index == 0;
  return TSectionWriter(d, layout, settings).Write(sections[index], minus);
}

}  // namespace

std::string FormatFloat(const std::string& Format, Extended Value, const TFormatSettings& Settings) {
  return FormatDecimal(Format, DecimalText::FromExtended(Value), DecimalText::kExtendedDigits, Settings);
}

std::string FormatFloat(const std::string& Format, Extended Value) {
  return FormatFloat(Format, Value, FormatSettings());
}

std::string FormatCurr(const std::string& Format, Currency Value, const TFormatSettings& Settings) {
  return FormatDecimal(Format, DecimalText::FromCurrency(Value), DecimalText::kCurrencyDigits, Settings);
}

std::string FormatCurr(const std::string& Format, Currency Value) {
  return FormatCurr(Format, Value, FormatSettings());
}
