#pragma once
// A stable most-significant-byte-first radix sort of items by a 16-byte key held in two
// big-endian halves, P0 (bytes 0-7) and P1 (bytes 8-15), compared as unsigned numbers. The
// data set's sort orders and the table store's indexes sort their order-preserving key
// prefixes with it: a handful of counting passes over small items instead of a comparison sort.
//
// Items with equal keys keep their order, so a caller that fills them in record order gets
// ties in record order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace prefix_sort_detail {

// Buckets smaller than this are finished by insertion sort.
constexpr size_t kSmallBucket = 48;

template <class T>
bool KeyLess(const T& A, const T& B) {
  return A.P0 != B.P0 ? A.P0 < B.P0 : A.P1 < B.P1;
}

template <class T>
unsigned KeyByte(const T& Item, unsigned Byte) {
  const uint64_t half = Byte < 8 ? Item.P0 : Item.P1;
  return static_cast<unsigned>(half >> (56 - 8 * (Byte & 7))) & 0xFF;
}

template <class T>
void InsertionSort(T* Items, size_t Count) {
  for (size_t i = 1; i < Count; ++i) {
    if (!KeyLess(Items[i], Items[i - 1])) continue;
    T moving = Items[i];
    size_t j = i;
    do {
      Items[j] = Items[j - 1];
      --j;
    } while (j > 0 && KeyLess(moving, Items[j - 1]));
    Items[j] = moving;
  }
}

// Sorts Items[0, Count) by the key bytes from Byte on (the bytes before it are equal). Scratch
// has room for Count items; the result must end in Items when InItems, else in Scratch: the
// buffers swap roles on each level instead of copying back.
template <class T>
void SortFrom(T* Items, T* Scratch, size_t Count, unsigned Byte, bool InItems) {
  while (Byte < 16 && Count >= kSmallBucket) {
    size_t counts[256] = {};
    for (size_t i = 0; i < Count; ++i) ++counts[KeyByte(Items[i], Byte)];
    // A byte all items share orders nothing: go on with the next one in place.
    if (counts[KeyByte(Items[0], Byte)] == Count) {
      ++Byte;
      continue;
    }
    size_t starts[256];
    size_t sum = 0;
    for (unsigned b = 0; b < 256; ++b) {
      starts[b] = sum;
      sum += counts[b];
    }
    for (size_t i = 0; i < Count; ++i) Scratch[starts[KeyByte(Items[i], Byte)]++] = Items[i];
    size_t begin = 0;
    for (unsigned b = 0; b < 256; ++b) {
      if (counts[b] != 0) SortFrom(Scratch + begin, Items + begin, counts[b], Byte + 1, !InItems);
      begin += counts[b];
    }
    return;
  }
  if (Byte < 16) InsertionSort(Items, Count);
  if (!InItems) std::memcpy(static_cast<void*>(Scratch), Items, Count * sizeof(T));
}

}  // namespace prefix_sort_detail

// Sorts Items stably by (P0, P1). T is a trivially copyable struct with uint64_t members P0
// and P1.
template <class T>
void SortByPrefix(std::vector<T>& Items) {
  using namespace prefix_sort_detail;
  const size_t count = Items.size();
  if (count < 2) return;
  // The leading bytes every key shares are skipped without a pass each.
  uint64_t and0 = ~uint64_t{0}, or0 = 0, and1 = ~uint64_t{0}, or1 = 0;
  for (const T& item : Items) {
    and0 &= item.P0;
    or0 |= item.P0;
    and1 &= item.P1;
    or1 |= item.P1;
  }
  const uint64_t differ0 = and0 ^ or0, differ1 = and1 ^ or1;
  if (differ0 == 0 && differ1 == 0) return;  // one key for all
  const unsigned first = differ0 != 0 ? static_cast<unsigned>(__builtin_clzll(differ0)) / 8
                                      : 8 + static_cast<unsigned>(__builtin_clzll(differ1)) / 8;
  if (count < kSmallBucket) {
    InsertionSort(Items.data(), count);
    return;
  }
  static_assert(std::is_trivially_copyable_v<T>);
  // Scratch needs no initialising: every slot is written before it is read.
  std::unique_ptr<T, decltype(&std::free)> scratch(static_cast<T*>(std::malloc(count * sizeof(T))),
                                                   &std::free);
  if (!scratch) throw std::bad_alloc();
  SortFrom(Items.data(), scratch.get(), count, first, true);
}
