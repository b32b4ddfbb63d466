// ASCII rank keys against the collator's own sort keys: the same order, ties included, over
// texts that probe case, punctuation, digits, blanks, control characters, prefixes and texts
// equal at the first level only, in locales with and without their own ASCII rules.
#include "platform/rtl/AsciiCollation.h"

#include <gtest/gtest.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/Collation.h"
#include "platform/rtl/FormatSettings.h"

namespace {

std::vector<std::string> ProbeTexts() {
  std::vector<std::string> texts = {
      "",    "ab",  "aB",   "Ab",   "AB",   "abc",  "abC",   "ABC",  "a b",   "a-b",   "a_b",   "a.b",
      "ab ", " ab", "a  b", "a\tb", "a\nb", "a\rb", "co-op", "coop", "co op", "Co-op", "CO-OP", "01",
      "10",  "a1",  "a10",  "a2",   "A1",   "xy",   "xyz",   "xyZ",  "Xyz",   "zz",    "a\x01", "a\037b",
      "ch",  "Ch",  "CH",   "cz",   "aa",   "Aa",   "AA",    "az",   "cs",    "dz",    "dzs",   "ll",
      "ly",  "ny",  "#a",   "(a)",  "[a]",  "{a}",  "a/b",   "a\\b", "a|b"};
  texts.emplace_back("a\0b", 3);  // every single character comes below
  for (int c = 0; c < 128; ++c) texts.emplace_back(1, static_cast<char>(c));
  const std::string few = " -.09aAbBzZ_'\t\x01";
  for (char a : few)
    for (char b : few) texts.push_back(std::string{a, b});
  for (const std::string& base : {std::string("abc"), std::string("ABC"), std::string("a-c")})
    for (size_t n = 0; n <= base.size(); ++n) texts.push_back(base.substr(0, n) + "~" + base.substr(n));
  std::mt19937 rng(55);
  const std::string alphabet = "aAbBcCzZ019 -_.,'\t\001chl";
  for (int i = 0; i < 1500; ++i) {
    std::string t(rng() % 9, ' ');
    for (char& c : t) c = alphabet[rng() % alphabet.size()];
    texts.push_back(t);
  }
  return texts;
}

std::string CollatorKey(const UCollator* coll, const std::string& text) {
  std::vector<UChar> utf16(text.begin(), text.end());
  std::string key(8 + 8 * text.size(), '\0');
  int32_t got = ucol_getSortKey(coll, utf16.data(), static_cast<int32_t>(utf16.size()),
                                reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
  key.resize(static_cast<size_t>(got));
  return key;
}

// The texts' indexes in key order, equal keys in text order.
std::vector<size_t> OrderByKeys(const std::vector<std::string>& keys) {
  std::vector<size_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
  return order;
}

TEST(AsciiCollationKeys, OrderAndTiesEqualTheCollatorsInEveryLocale) {
  const std::vector<std::string> texts = ProbeTexts();
  struct Case {
    const char* Locale;
    bool RanksExpected;         // the locale keeps ASCII to per-character ranks
    bool PrimaryRanksExpected;  // the same at the first level alone
  };
  const Case cases[] = {
      {"zh_CN", true, true},   {"en_US", true, true},  {"", true, true},        {"de_DE", true, true},
      {"sv_SE", true, true},   {"ja_JP", true, true},  {"cs_CZ", false, false}, {"hu_HU", false, false},
      {"da_DK", false, false}, {"fr_CA", false, true}, {"es_ES", true, true},   {"th_TH", true, true},
      {"tr_TR", true, true},
  };
  for (const Case& c : cases) {
    for (bool ignoreCase : {true, false})
      for (bool primaryOnly : {false, true}) {
        SCOPED_TRACE(std::string(c.Locale) + (ignoreCase ? " caseless" : " case-sensitive") +
                     (primaryOnly ? ", first level" : ""));
        TFormatSettings settings;
        settings.CollationLocale = c.Locale;
        TFormatSettingsScope scope(settings);
        const UCollator* coll = CurrentCollator(ignoreCase);
        std::optional<TAsciiCollationKeys> primary;
        const TAsciiCollationKeys* ranks = CurrentAsciiCollationKeys(ignoreCase);
        if (primaryOnly) {
          primary = TAsciiCollationKeys::FromCollator(coll, 1);
          ranks = primary ? &*primary : nullptr;
        }
        ASSERT_EQ(ranks != nullptr, primaryOnly ? c.PrimaryRanksExpected : c.RanksExpected);
        if (!ranks) continue;
        std::vector<std::string> rankKeys, collatorKeys;
        for (const std::string& t : texts) {
          std::string key = "\x05";  // a key may follow other key bytes
          ASSERT_TRUE(ranks->TryAppend(key, t));
          rankKeys.push_back(key.substr(1));
          // The collator's key ends its first level at its first 01 byte.
          std::string whole = CollatorKey(coll, t);
          collatorKeys.push_back(primaryOnly ? whole.substr(0, whole.find('\1')) : whole);
        }
        const std::vector<size_t> order = OrderByKeys(rankKeys);
        ASSERT_EQ(order, OrderByKeys(collatorKeys));
        for (size_t i = 1; i < order.size(); ++i) {
          const std::string& a = rankKeys[order[i - 1]];
          const std::string& b = rankKeys[order[i]];
          SCOPED_TRACE("after \"" + texts[order[i - 1]] + "\": \"" + texts[order[i]] + "\"");
          EXPECT_EQ(a == b, collatorKeys[order[i - 1]] == collatorKeys[order[i]]);
          // Keys end themselves: what follows a key never reorders two texts.
          EXPECT_TRUE(a == b || b.compare(0, a.size(), a) != 0);
          EXPECT_EQ(a.find('\0'), a.size() - 1);
        }
      }
  }
}

TEST(AsciiCollationKeys, TextOutsideAsciiLeavesTheKeyAsItWas) {
  TFormatSettingsScope scope{TFormatSettings{}};
  const TAsciiCollationKeys* ranks = CurrentAsciiCollationKeys(true);
  ASSERT_NE(ranks, nullptr);
  for (const char* text : {"\xc3\xa4", "abc\xc3\xa4",
                           "\xe9\x98\xbf"
                           "b",
                           "a\x80", "\xff"}) {
    SCOPED_TRACE(text);
    std::string key = "head";
    EXPECT_FALSE(ranks->TryAppend(key, text));
    EXPECT_EQ(key, "head");
  }
}

}  // namespace
