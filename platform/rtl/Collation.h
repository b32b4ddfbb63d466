#pragma once
// Locale-aware comparison and Unicode case mapping through ICU. The collation locale is
// FormatSettings().CollationLocale; each thread keeps collators for the locale it last used
// and opens new ones when the setting changes.
#include <string>
#include <string_view>

// Collation order of two UTF-8 texts for the current locale: <0, 0 or >0. IgnoreCase
// compares at secondary strength (case and width ignored, accents kept), otherwise at
// tertiary strength. Texts that collate equal answer 0 even when their bytes differ.
int CollateText(std::string_view S1, std::string_view S2, bool IgnoreCase);

// The collator behind CollateText, for callers that build ICU sort keys themselves (the
// data sets' sorting). Owned by the calling thread; valid until the locale setting changes.
// nullptr when ICU could not open any collator.
struct UCollator;
UCollator* CurrentCollator(bool IgnoreCase);

// The ASCII keys of CurrentCollator(IgnoreCase) (see AsciiCollation.h), made on first use and
// with the same lifetime; nullptr where that collator's order of ASCII texts needs its own keys.
class TAsciiCollationKeys;
const TAsciiCollationKeys* CurrentAsciiCollationKeys(bool IgnoreCase);

// Unicode simple case mapping and simple case folding of one code point.
char32_t UnicodeToUpper(char32_t C);
char32_t UnicodeToLower(char32_t C);
char32_t UnicodeFoldCase(char32_t C);

// Whether the code point is a letter of any script (for identifiers and word breaks).
bool UnicodeIsLetter(char32_t C);
