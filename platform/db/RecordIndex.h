#pragma once
// Hash indexes over record values for exact-key search (Locate, Lookup). Values are first
// normalised per field kind (numbers by value, text folded when the search ignores case), so
// a key of another Variant type finds the record as the comparison would. Records with equal
// keys share one chain, so duplicates cost nothing to insert or remove.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/LargeArray.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/Variant.h"

enum class TKeyValueKind { Text, Integer, Currency, Float, DateTime, Boolean };

struct TKeyField {
  int Slot = 0;
  TKeyValueKind Kind = TKeyValueKind::Text;
  bool CaseInsensitive = false;  // Text only
  bool operator==(const TKeyField&) const = default;
};

// One normalised value.
struct TKeyAtom {
  enum Type : uint8_t { atNull, atInt, atFloat, atText, atInvalid } AtomType = atNull;
  int64_t Int = 0;
  double Float = 0;
  std::string Text;
  bool operator==(const TKeyAtom& o) const {
    if (AtomType != o.AtomType) return false;
    switch (AtomType) {
      case atInt:
        return Int == o.Int;
      case atFloat:
        return Float == o.Float;
      case atText:
        return Text == o.Text;
      default:
        return true;  // Null, and Invalid (a stored value no search value equals)
    }
  }
};

// Normalises a stored value of a field of `Field.Kind`.
void NormalizeStoredValue(const TKeyField& Field, const Variant& Value, TKeyAtom& Atom);
// Normalises a search value for the field; Invalid when it cannot equal any value of the
// field (a fraction for an integer field, text that is not a number...).
void NormalizeSearchValue(const TKeyField& Field, const Variant& Value, TKeyAtom& Atom);
// Whether a stored value matches a normalised search value; `Partial` makes a text key a
// prefix.
bool StoredValueMatches(const TKeyField& Field, const Variant& Value, const TKeyAtom& Key, bool Partial);

class TKeyIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;
  using RowOf = std::function<const Variant*(uint32_t Id)>;

  TKeyIndex(std::vector<TKeyField> Fields, RowOf Rows);
  const std::vector<TKeyField>& Fields() const { return fields_; }

  void Clear();
  // Indexes every record `Id` with Live[Id] != 0, replacing what the index held. A single
  // integer key whose values are dense (record numbers, say) gets a direct table; anything
  // else a hash table filled in the order of its slots, so a build over a million records
  // walks the table once instead of missing the cache on every insert.
  void Build(const std::vector<uint8_t>& Live);
  void Insert(uint32_t Id);
  // The record must still hold the values it was inserted with.
  void Remove(uint32_t Id);

  // The records whose key equals `Key` (one normalised atom per field): the first of the
  // chain, then NextInChain until kNone.
  uint32_t Find(const std::vector<TKeyAtom>& Key) const;
  uint32_t NextInChain(uint32_t Id) const { return Id < next_.size() ? next_[Id] : kNone; }
  size_t Size() const { return size_; }
  bool IsDense() const { return dense_; }

  // Raises EInternalError naming the first broken rule (chains, keys, links, counts, probing).
  void CheckConsistency() const;
  // The same, and the records held are exactly those with Live[Id] != 0.
  void CheckConsistency(const std::vector<uint8_t>& Live) const;

 private:
  struct Slot {
    uint32_t Hash = 0;
    uint32_t Head = kEmpty;
  };
  static constexpr uint32_t kEmpty = UINT32_MAX;
  static constexpr uint32_t kTomb = UINT32_MAX - 1;

  void AtomsOf(uint32_t id, std::vector<TKeyAtom>& atoms) const;
  static uint32_t HashOf(const std::vector<TKeyAtom>& atoms);
  void EnsureLinks(uint32_t id);
  // Chains: `next_` always; `prev_` (for O(1) removal) only once the first removal needs it.
  void Link(uint32_t id, uint32_t& head);
  bool Unlink(uint32_t id, uint32_t& head);
  void EnsurePrevLinks();
  template <class F>
  void ForEachHead(F f) const;

  bool TryBuildDense(const std::vector<uint8_t>& live);
  bool DenseSlot(const TKeyAtom& atom, size_t& k) const;
  void LeaveDense();
  void BuildHashed(const std::vector<uint32_t>& ids);
  void InsertHashed(uint32_t id, uint32_t hash, bool atomsReady);
  void Grow(size_t forRecords = 0);
  void CheckChains(const std::vector<uint8_t>* live) const;
  void CheckLinksOf(uint32_t id, bool held) const;

  std::vector<TKeyField> fields_;
  RowOf rows_;
  TLargeArray<uint32_t> next_, prev_;
  bool prevReady_ = true;
  size_t size_ = 0;  // records

  bool dense_ = false;
  int64_t denseBase_ = 0;
  TLargeArray<uint32_t> heads_;  // dense: chain heads by key - denseBase_

  TLargeArray<Slot> table_;
  size_t used_ = 0;   // slots with a chain
  size_t tombs_ = 0;  // slots whose chain emptied
  mutable std::vector<TKeyAtom> scratchA_, scratchB_;
};
