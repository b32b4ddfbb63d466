#pragma once
// TSet<E>: the class library's "set of E" over an enumeration whose values are 0..N-1.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

template <typename E, std::size_t N = 64>
class TSet {
 public:
  constexpr TSet() = default;
  TSet(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }

  bool Contains(E e) const { return bits_.test(Index(e)); }
  TSet& Include(E e) {
    bits_.set(Index(e));
    return *this;
  }
  TSet& Exclude(E e) {
    bits_.reset(Index(e));
    return *this;
  }
  bool Empty() const { return bits_.none(); }
  std::size_t Count() const { return bits_.count(); }

  TSet operator+(const TSet& o) const { return FromBits(bits_ | o.bits_); }
  TSet operator-(const TSet& o) const { return FromBits(bits_ & ~o.bits_); }
  TSet operator*(const TSet& o) const { return FromBits(bits_ & o.bits_); }
  TSet operator+(E e) const { return TSet(*this).Include(e); }
  TSet operator-(E e) const { return TSet(*this).Exclude(e); }
  TSet& operator+=(const TSet& o) { return *this = *this + o; }
  TSet& operator-=(const TSet& o) { return *this = *this - o; }
  TSet& operator*=(const TSet& o) { return *this = *this * o; }
  TSet& operator+=(E e) { return Include(e); }
  TSet& operator-=(E e) { return Exclude(e); }
  bool operator==(const TSet& o) const { return bits_ == o.bits_; }
  // "A <= B": every element of A is in B.
  bool operator<=(const TSet& o) const { return (bits_ & ~o.bits_).none(); }

  // The ordinal image used by the property system and by streaming (elements 0..63).
  uint64_t ToBits() const { return bits_.to_ullong(); }
  static TSet FromUInt(uint64_t v) { return FromBits(std::bitset<N>(v)); }

 private:
  static std::size_t Index(E e) { return static_cast<std::size_t>(e); }
  static TSet FromBits(const std::bitset<N>& b) {
    TSet s;
    s.bits_ = b;
    return s;
  }
  std::bitset<N> bits_;
};
