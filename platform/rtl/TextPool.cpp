// Text blocks: a header counting the holds on the block (the pool's own while the block is
// current, one a text), then text payloads back to back. A payload finds its block by
// rounding its address down to the block size, which is also the block's alignment.
#include "platform/rtl/TextPool.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/rtl/VariantInternal.h"

namespace {

struct alignas(64) TextBlockHeader {
  std::atomic<int32_t> holds{1};
};

constexpr std::align_val_t kBlockAlignment{TTextPool::kBlockBytes};
std::atomic<size_t> liveBlocks{0};

void ReleaseBlock(TextBlockHeader* block) noexcept {
  if (block->holds.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  block->~TextBlockHeader();
  ::operator delete(static_cast<void*>(block), kBlockAlignment);
  liveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

TextBlockHeader* BlockOf(void* payload) {
  const auto address = reinterpret_cast<uintptr_t>(payload);
  return reinterpret_cast<TextBlockHeader*>(address & ~(uintptr_t{TTextPool::kBlockBytes} - 1));
}

// Same layout as a heap text payload; only where its memory goes back differs.
struct PooledStringPayload final : VarStringPayload {
  explicit PooledStringPayload(size_t n) : VarStringPayload(n) {}
  static void operator delete(void* p) { ReleaseBlock(BlockOf(p)); }
};
static_assert(sizeof(PooledStringPayload) == sizeof(VarStringPayload), "the text follows the header");

constexpr size_t RoundUp(size_t n, size_t to) {
  return (n + to - 1) / to * to;
}
constexpr size_t kHeaderBytes = RoundUp(sizeof(TextBlockHeader), alignof(PooledStringPayload));

}  // namespace

TTextPool::~TTextPool() {
  Retire();
}

void TTextPool::Retire() {
  if (block_) ReleaseBlock(reinterpret_cast<TextBlockHeader*>(block_));
  block_ = nullptr;
  used_ = 0;
}

Variant TTextPool::MakeText(std::string_view Text) {
  if (VariantAccess::FitsInline(Text) || Text.size() > kLargestPooled) return VariantAccess::MakeText(Text);
  const size_t bytes = RoundUp(sizeof(PooledStringPayload) + Text.size(), alignof(PooledStringPayload));
  if (!block_ || used_ + bytes > kBlockBytes) {
    Retire();
    void* memory = ::operator new(kBlockBytes, kBlockAlignment);
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
    block_ = static_cast<char*>(memory);
    new (memory) TextBlockHeader;
    used_ = kHeaderBytes;
  }
  char* at = block_ + used_;
  auto* payload = new (at) PooledStringPayload(Text.size());
  std::memcpy(at + sizeof(PooledStringPayload), Text.data(), Text.size());
  reinterpret_cast<TextBlockHeader*>(block_)->holds.fetch_add(1, std::memory_order_relaxed);
  used_ += bytes;
  return VariantAccess::Adopt(varString, payload);
}

size_t TTextPool::LiveBlocks() {
  return liveBlocks.load(std::memory_order_relaxed);
}
