#pragma once
// Sort keys for ASCII texts from per-character ranks, in exactly the order (ties included)
// the collator gives those texts, for a fraction of the cost of the collator's own keys.
//
// The ranks are read from the collator when the table is made: every ASCII character is
// asked whether it is ignorable, and the characters are sorted by the collator one level at
// a time. Where ASCII texts do not collate character by character (a locale that joins
// letters, numeric order, a case level, accents compared backwards, ...) no table is made and
// callers use the collator's keys.
//
// A key is the primary ranks, 01, the secondary ranks, 01, the tertiary ranks (at tertiary
// strength), 00. Ranks start at 2, so a shorter text sorts first. Two texts reach the second
// level only with the same primary ranks, position by position, so the lower levels rank a
// character only among those of its own primary (its own primary and secondary for the
// third level), and end where the rest would all be the lowest rank. A key holds no other
// zero byte, so it ends itself and may be followed by more key bytes, as the collator's does.
// These keys never compare with the collator's own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct UCollator;

class TAsciiCollationKeys {
 public:
  // The table for the collator's first `Levels` levels (all its levels: its strength + 1);
  // nullopt when its order of ASCII texts at those levels is not one of per-character ranks.
  static std::optional<TAsciiCollationKeys> FromCollator(const UCollator* Collator, int Levels);

  // Appends the key of `Text` and answers true; answers false, leaving `Out` as it was, when
  // a byte of the text lies outside ASCII.
  bool TryAppend(std::string& Out, std::string_view Text) const;

  // The first-level rank of an ASCII character: 0 where it is ignored, else 2 and up.
  uint8_t PrimaryRank(unsigned char C) const { return C < kChars ? ranks_[0][C] : 0; }

 private:
  static constexpr int kChars = 128;
  static constexpr int kMaxLevels = 3;
  // [level][character]: the character's rank (2 and up) at that level, 0 where the character
  // is ignored at every level.
  uint8_t ranks_[kMaxLevels][kChars] = {};
  int levels_ = 0;  // 1 to 3
};
