#pragma once
// Multi-field record order for the in-memory data set. Every record gets a byte key whose
// memcmp order is the record order: numbers encoded order-preserving, text as the locale's
// collation key (so Chinese sorts in pinyin order), Nulls ahead of any value; a descending
// field has its part of the key inverted. Sorting compares keys only, never re-collates.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Consistency.h"
#include "platform/rtl/Variant.h"

// How a field's values order.
enum class TSortValueKind { Text, Integer, Float, Currency, Boolean, DateTime, Bytes };

struct TSortField {
  int Slot = 0;  // index into the row
  TSortValueKind Kind = TSortValueKind::Text;
  bool Descending = false;
  bool CaseInsensitive = true;  // Text only
};

// One entry of an index field list: "Name;Amount DESC;Date".
struct TIndexFieldEntry {
  std::string Name;
  bool Descending = false;
};

// Splits on ";", trims, and takes a trailing " DESC" / " ASC" word (any case) off each name.
// Empty entries are skipped.
std::vector<TIndexFieldEntry> ParseIndexFieldNames(const std::string& Text);

class TRecordKeyBuilder {
 public:
  TRecordKeyBuilder() = default;
  explicit TRecordKeyBuilder(std::vector<TSortField> Fields) : fields_(std::move(Fields)) {}

  const std::vector<TSortField>& Fields() const { return fields_; }
  bool Empty() const { return fields_.empty(); }

  // The same order, keying ASCII texts by per-character ranks (far cheaper than collation
  // keys, same order) or not. Keys of the two kinds must never be compared with each other,
  // so whoever keeps keys makes all of them with one builder.
  TRecordKeyBuilder WithAsciiTextKeys(bool On) const;
  bool AsciiTextKeys() const { return asciiText_; }

  // Appends the key of `Row` (which holds every slot the fields name) to `Out`. Answers false
  // (`Out` then holds part of a key) when the builder keys ASCII texts by ranks and a text is
  // not ASCII, or the locale's collation has no ASCII ranks: the keys must then all be made
  // without them.
  [[nodiscard]] bool AppendKey(const Variant* Row, std::string& Out) const;
  // <0, 0, >0 in record order.
  int Compare(const Variant* A, const Variant* B) const;

 private:
  std::vector<TSortField> fields_;
  bool asciiText_ = false;
};

// Keys by record id, packed in one arena; replacing a key leaves the old bytes behind until
// the arena is compacted.
class TSortKeys {
 public:
  void Clear();
  void Set(uint32_t Id, std::string_view Key);
  void Erase(uint32_t Id);
  std::string_view Get(uint32_t Id) const {
    if (Id >= refs_.size()) return {};
    const Ref& r = refs_[Id];
    return std::string_view(arena_.data() + r.Offset, r.Length);
  }
  int Compare(uint32_t A, uint32_t B) const;
  // Fills keys for `Ids` with the builder (rows from `RowOf(id)`), replacing any present.
  // Answers false, holding no keys, when the builder could not key a row (see AppendKey).
  template <class RowOf>
  [[nodiscard]] bool Build(const TRecordKeyBuilder& Builder, const std::vector<uint32_t>& Ids, RowOf rowOf) {
    Clear();
    std::string key;
    for (uint32_t id : Ids) {
      key.clear();
      if (!Builder.AppendKey(rowOf(id), key)) {
        Clear();
        return false;
      }
      Set(id, key);
    }
    return true;
  }
  size_t ArenaBytes() const { return arena_.size(); }
  // Raises EInternalError when a key lies outside the arena or the live byte count is off.
  void CheckConsistency() const;

 private:
  struct Ref {
    uint64_t Offset = 0;
    uint32_t Length = 0;
  };
  void Compact();
  std::vector<char> arena_;
  std::vector<Ref> refs_;
  uint64_t live_ = 0;
};

// Orders `Ids` by their keys; equal keys keep their order in `Ids` (a stable sort).
void SortIdsByKeys(std::vector<uint32_t>& Ids, const TSortKeys& Keys);
