#include "platform/rtl/Collation.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uiter.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/rtl/AsciiCollation.h"

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct CollatorDeleter {
  void operator()(UCollator* c) const {
    if (c) ucol_close(c);
  }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorDeleter>;

CollatorPtr OpenCollator(const std::string& locale, UCollationStrength strength) {
  UErrorCode status = U_ZERO_ERROR;
  CollatorPtr c(ucol_open(locale.c_str(), &status));
  if (U_FAILURE(status) || !c) {
    // An unknown or broken locale name must not take comparison down: use the root order.
    status = U_ZERO_ERROR;
    c.reset(ucol_open("", &status));
    if (U_FAILURE(status)) return nullptr;
  }
  ucol_setStrength(c.get(), strength);
  // Some locales move their own script ahead of Latin (Chinese puts Han first). The
  // desktop's order keeps digits and Latin ahead of every other script, so undo that; the
  // locale's order within its script (pinyin) stays.
  const int32_t noReordering[] = {UCOL_REORDER_CODE_NONE};
  status = U_ZERO_ERROR;
  ucol_setReorderCodes(c.get(), noReordering, 1, &status);
  return c;
}

// Collators are not safe to share while their attributes change, so each thread keeps
// its own pair; the pair is reopened only when the configured locale name changes.
struct ThreadCollators {
  std::string locale;
  bool ready = false;
  CollatorPtr caseless;   // secondary strength
  CollatorPtr sensitive;  // tertiary strength
  // [ignoreCase]: made on first use, as ranking the ASCII characters takes a few thousand
  // comparisons.
  bool asciiMade[2] = {false, false};
  std::optional<TAsciiCollationKeys> ascii[2];

  UCollator* Get(bool ignoreCase) {
    const std::string& wanted = FormatSettings().CollationLocale;
    if (!ready || wanted != locale) {
      locale = wanted;
      caseless = OpenCollator(locale, UCOL_SECONDARY);
      sensitive = OpenCollator(locale, UCOL_TERTIARY);
      asciiMade[0] = asciiMade[1] = false;
      ascii[0] = ascii[1] = std::nullopt;
      ready = true;
    }
    return ignoreCase ? caseless.get() : sensitive.get();
  }

  const TAsciiCollationKeys* Ascii(bool ignoreCase) {
    UCollator* coll = Get(ignoreCase);
    const int i = ignoreCase ? 1 : 0;
    if (!asciiMade[i]) {
      ascii[i] = coll ? TAsciiCollationKeys::FromCollator(coll, ucol_getStrength(coll) + 1) : std::nullopt;
      asciiMade[i] = true;
    }
    return ascii[i] ? &*ascii[i] : nullptr;
  }
};

int ClampInt(std::string_view a, std::string_view b) {
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

ThreadCollators& CollatorsOfThisThread() {
  thread_local ThreadCollators collators;
  return collators;
}

}  // namespace

UCollator* CurrentCollator(bool IgnoreCase) {
  return CollatorsOfThisThread().Get(IgnoreCase);
}

const TAsciiCollationKeys* CurrentAsciiCollationKeys(bool IgnoreCase) {
  return CollatorsOfThisThread().Ascii(IgnoreCase);
}

int CollateText(std::string_view S1, std::string_view S2, bool IgnoreCase) {
  UCollator* coll = CurrentCollator(IgnoreCase);
  if (!coll) return ClampInt(S1, S2);
  // ICU takes int32_t lengths; longer texts go through character iterators.
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult r;
  if (S1.size() <= INT32_MAX && S2.size() <= INT32_MAX) {
    r = ucol_strcollUTF8(coll, S1.data(), static_cast<int32_t>(S1.size()), S2.data(),
                         static_cast<int32_t>(S2.size()), &status);
  } else {
    UCharIterator i1, i2;
    uiter_setUTF8(&i1, S1.data(), S1.size() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(S1.size()));
    uiter_setUTF8(&i2, S2.data(), S2.size() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(S2.size()));
    r = ucol_strcollIter(coll, &i1, &i2, &status);
  }
  if (U_FAILURE(status)) return ClampInt(S1, S2);
  return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

char32_t UnicodeToUpper(char32_t C) {
  return static_cast<char32_t>(u_toupper(static_cast<UChar32>(C)));
}
char32_t UnicodeToLower(char32_t C) {
  return static_cast<char32_t>(u_tolower(static_cast<UChar32>(C)));
}
char32_t UnicodeFoldCase(char32_t C) {
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(C), U_FOLD_CASE_DEFAULT));
}
bool UnicodeIsLetter(char32_t C) {
  return u_isalpha(static_cast<UChar32>(C)) != 0;
}

// --- the runtime library's locale-aware routines ---------------------------------------

namespace {

template <class Map>
std::string MapChars(const std::string& s, Map map) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char32_t cp;
    int len;
    if (Utf8Decode(s, i, cp, len))
      Utf8Append(out, map(cp));
    else
      out += s[i];  // invalid bytes pass through untouched
    i += static_cast<size_t>(len);
  }
  return out;
}

}  // namespace

int AnsiCompareStr(const std::string& S1, const std::string& S2) {
  int c = CollateText(S1, S2, false);
  // Different texts never compare equal, so sorted lists keep a total order.
  return c != 0 ? c : ClampInt(S1, S2);
}

int AnsiCompareText(const std::string& S1, const std::string& S2) {
  return CollateText(S1, S2, true);
}
bool AnsiSameText(const std::string& S1, const std::string& S2) {
  return AnsiCompareText(S1, S2) == 0;
}
bool AnsiSameStr(const std::string& S1, const std::string& S2) {
  return S1 == S2;
}

std::string AnsiUpperCase(const std::string& S) {
  return MapChars(S, UnicodeToUpper);
}
std::string AnsiLowerCase(const std::string& S) {
  return MapChars(S, UnicodeToLower);
}
