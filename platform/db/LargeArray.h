#pragma once
// An allocator for the per-record arrays of the in-memory data set (links, chain heads,
// positions). Arrays of a few megabytes and more are mapped directly and marked for huge
// pages, so filling one faults in a page per 2 MiB instead of per 4 KiB and random reads
// over it stay within the TLB; smaller ones come from the ordinary heap.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

template <class T>
class TLargeArrayAllocator {
 public:
  using value_type = T;
  TLargeArrayAllocator() = default;
  template <class U>
  TLargeArrayAllocator(const TLargeArrayAllocator<U>&) {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kMapThreshold) return static_cast<T*>(::operator new(bytes));
    // Map a huge page more than needed and trim, so the array starts on a huge-page boundary.
    const std::size_t size = Rounded(bytes);
    void* p = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    char* raw = static_cast<char*>(p);
    char* start = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(raw) + kHugePage - 1) /
                                          kHugePage * kHugePage);
    if (start > raw) ::munmap(raw, static_cast<std::size_t>(start - raw));
    char* end = raw + size + kHugePage;
    if (end > start + size) ::munmap(start + size, static_cast<std::size_t>(end - (start + size)));
    ::madvise(start, size, MADV_HUGEPAGE);  // a hint: refused, the pages stay small
    return reinterpret_cast<T*>(start);
  }
  void deallocate(T* p, std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kMapThreshold)
      ::operator delete(p);
    else
      ::munmap(p, Rounded(bytes));
  }
  template <class U>
  bool operator==(const TLargeArrayAllocator<U>&) const {
    return true;
  }

 private:
  static constexpr std::size_t kMapThreshold = std::size_t{4} << 20;
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  static std::size_t Rounded(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }
};

template <class T>
using TLargeArray = std::vector<T, TLargeArrayAllocator<T>>;
