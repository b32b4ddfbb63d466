#pragma once
// Number text: FormatFloat's format language, general and currency text, and parsing
// with the locale's decimal separator.
#include <string>

#include "platform/rtl/Currency.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Sections separated by ";" (positive;negative;zero), "0" "#" "." "," "E+00" "E-00" "e+" and
// quoted literals, with the class library's exact output ("#,##0.00" of 1234.5 = "1,234.50").
std::string FormatFloat(const std::string& Format, Extended Value);
std::string FormatFloat(const std::string& Format, Extended Value, const TFormatSettings& Settings);
std::string FormatCurr(const std::string& Format, Currency Value);
std::string FormatCurr(const std::string& Format, Currency Value, const TFormatSettings& Settings);
// 15 significant digits, the shortest text (ffGeneral, precision 15, digits 0).
std::string FloatToStr(Extended Value);
std::string FloatToStr(Extended Value, const TFormatSettings& Settings);
std::string FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits);
std::string FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits,
                        const TFormatSettings& Settings);
std::string CurrToStr(Currency Value);
std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits);
std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits, const TFormatSettings& Settings);
// The same texts with "." as separator, independent of the user's locale.
std::string FloatToStrInvariant(Extended Value);

// Parsing: optional sign, digits with the locale's decimal separator, optional exponent;
// surrounding blanks allowed. Only finite values: INF, NAN and numbers beyond the target's
// range are refused. EConvertError "'%s' is not a valid floating point value".
Extended StrToFloat(const std::string& S);
Extended StrToFloat(const std::string& S, const TFormatSettings& Settings);
Extended StrToFloatDef(const std::string& S, Extended Default);
bool TryStrToFloat(const std::string& S, Extended& Value);
bool TryStrToFloat(const std::string& S, Extended& Value, const TFormatSettings& Settings);
bool TryStrToFloat(const std::string& S, double& Value);
bool TextToFloat(const std::string& S, Extended& Value, const TFormatSettings& Settings);
Currency StrToCurr(const std::string& S);
bool TryStrToCurr(const std::string& S, Currency& Value);

// Rounding as the class library does it: Round ties to even.
Int64 Round(Extended X);
Int64 Trunc(Extended X);
Extended Frac(Extended X);
Extended Int(Extended X);
// Rounds to 10^Digit (SimpleRoundTo: halves away from zero), as used for money texts.
Extended SimpleRoundTo(Extended Value, int Digit = -2);
