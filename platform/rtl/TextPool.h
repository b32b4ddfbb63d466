#pragma once
// Long texts of a store, carved from large blocks instead of one heap allocation each, so that
// a million loaded rows hold their texts in a few hundred allocations laid out in load order
// (a scan over the rows reads them front to back).
//
// A pooled text is an ordinary varString Variant: copies share it by reference count as any
// long text does, and a copy may outlive the pool. A block is freed when the pool has moved
// past it and the last text in it is released, so memory of texts released early stays taken
// until its block empties; stores pool the texts they load in bulk, which die together.
#include <cstddef>
#include <string_view>

#include "platform/rtl/Variant.h"

class TTextPool {
 public:
  // Block size and the longest text placed in a block; longer texts get their own allocation.
  static constexpr size_t kBlockBytes = 64 * 1024;
  static constexpr size_t kLargestPooled = 2 * 1024;

  TTextPool() = default;
  ~TTextPool();
  TTextPool(const TTextPool&) = delete;
  TTextPool& operator=(const TTextPool&) = delete;

  // A varString of `Text`: inline when short, else placed in the current block.
  Variant MakeText(std::string_view Text);

  // Blocks allocated and not yet freed, across every pool of the process.
  static size_t LiveBlocks();

 private:
  void Retire();  // lets go of the current block
  char* block_ = nullptr;
  size_t used_ = 0;  // bytes of block_ taken, its header included
};
