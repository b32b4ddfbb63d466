#include "platform/rtl/AsciiCollation.h"

#include <unicode/ucol.h>
#include <unicode/uset.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct RankingCollatorCloser {
  void operator()(UCollator* c) const { ucol_close(c); }
};
using RankingCollator = std::unique_ptr<UCollator, RankingCollatorCloser>;

struct RankingSetCloser {
  void operator()(USet* s) const { uset_close(s); }
};
using RankingSet = std::unique_ptr<USet, RankingSetCloser>;

// Whether the set holds an ASCII character or a string made of ASCII characters only: a
// mapping that ASCII text could meet.
bool HoldsAsciiText(const USet* set) {
  const int32_t items = uset_getItemCount(set);
  for (int32_t i = 0; i < items; ++i) {
    UChar32 start = 0, end = 0;
    UChar text[64];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uset_getItem(set, i, &start, &end, text, 64, &status);
    if (U_FAILURE(status)) return true;  // a string too long to read: assume the worst
    if (length == 0) {
      if (start < 0x80) return true;
      continue;
    }
    if (std::all_of(text, text + length, [](UChar u) { return u < 0x80; })) return true;
  }
  return false;
}

}  // namespace

std::optional<TAsciiCollationKeys> TAsciiCollationKeys::FromCollator(const UCollator* Collator, int Levels) {
  if (!Collator || Levels < 1 || Levels > std::min<int>(kMaxLevels, ucol_getStrength(Collator) + 1))
    return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  for (UColAttribute attribute : {UCOL_NUMERIC_COLLATION, UCOL_CASE_LEVEL, UCOL_FRENCH_COLLATION})
    if ((attribute != UCOL_FRENCH_COLLATION || Levels > 1) &&
        ucol_getAttribute(Collator, attribute, &status) == UCOL_ON)
      return std::nullopt;
  RankingSet contractions(uset_openEmpty()), expansions(uset_openEmpty());
  ucol_getContractionsAndExpansions(Collator, contractions.get(), expansions.get(), true, &status);
  if (U_FAILURE(status) || HoldsAsciiText(contractions.get()) || HoldsAsciiText(expansions.get()))
    return std::nullopt;

  TAsciiCollationKeys keys;
  keys.levels_ = Levels;
  RankingCollator atLevel[kMaxLevels];
  for (int level = 0; level < keys.levels_; ++level) {
    atLevel[level].reset(ucol_clone(Collator, &status));
    if (U_FAILURE(status)) return std::nullopt;
    ucol_setStrength(atLevel[level].get(), static_cast<UCollationStrength>(level));
  }
  auto order = [&atLevel](int level, UChar a, UChar b) {
    return ucol_strcoll(atLevel[level].get(), &a, 1, &b, 1);
  };

  // Characters ignored at the first level must be ignored at all: a weight on a lower level
  // alone would shift the lower levels against the first.
  const UCollator* lowest = atLevel[Levels - 1].get();
  std::vector<UChar> chars;
  for (UChar c = 0; c < kChars; ++c) {
    const bool ignoredFirst = ucol_strcoll(atLevel[0].get(), &c, 1, &c, 0) == UCOL_EQUAL;
    const bool ignoredAll = ucol_strcoll(lowest, &c, 1, &c, 0) == UCOL_EQUAL;
    if (ignoredFirst != ignoredAll) return std::nullopt;
    if (!ignoredAll) chars.push_back(c);
  }

  // Each level sorts the groups the level above left equal and ranks within each of them.
  std::vector<std::pair<size_t, size_t>> groups{{0, chars.size()}};
  for (int level = 0; level < keys.levels_; ++level) {
    std::vector<std::pair<size_t, size_t>> finer;
    for (auto [begin, end] : groups) {
      const auto first = chars.begin() + static_cast<std::ptrdiff_t>(begin);
      std::stable_sort(first, chars.begin() + static_cast<std::ptrdiff_t>(end),
                       [&](UChar a, UChar b) { return order(level, a, b) == UCOL_LESS; });
      uint8_t rank = 2;
      size_t start = begin;
      for (size_t i = begin; i < end; ++i) {
        if (i > begin && order(level, chars[i - 1], chars[i]) != UCOL_EQUAL) {
          ++rank;
          finer.emplace_back(start, i);
          start = i;
        }
        keys.ranks_[level][chars[i]] = rank;
      }
      if (start < end) finer.emplace_back(start, end);
    }
    groups = std::move(finer);
  }
  return keys;
}

bool TAsciiCollationKeys::TryAppend(std::string& Out, std::string_view Text) const {
  const size_t at = Out.size();
  Out.resize(at + (Text.size() + 1) * static_cast<size_t>(levels_));
  char* w = Out.data() + at;
  for (char ch : Text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= kChars) {
      Out.resize(at);
      return false;
    }
    const uint8_t rank = ranks_[0][c];
    *w = static_cast<char>(rank);
    w += rank != 0 ? 1 : 0;  // ignored characters leave nothing
  }
  for (int level = 1; level < levels_; ++level) {
    *w++ = '\1';
    char* end = w;  // past the last rank above the lowest: the lowest ones after it are left out
    for (char ch : Text) {
      const uint8_t rank = ranks_[level][static_cast<unsigned char>(ch)];
      if (rank == 0) continue;
      *w++ = static_cast<char>(rank);
      if (rank > 2) end = w;
    }
    w = end;
  }
  *w++ = '\0';
  Out.resize(static_cast<size_t>(w - Out.data()));
  return true;
}
