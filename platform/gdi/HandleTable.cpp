#include "platform/gdi/HandleTable.h"

#include <vector>

namespace gdi_internal {

namespace {

// handle = generation << 32 | kind << 24 | slot
constexpr uint64_t kSlotBits = 24;
constexpr uint64_t kMaxSlots = uint64_t{1} << kSlotBits;

struct TEntry {
  std::unique_ptr<TGdiObject> Object;
  uint32_t Generation = 1;
};

struct TTable {
  std::vector<TEntry> Entries;
  std::vector<uint32_t> FreeSlots;
  size_t Live = 0;
};

// Never destroyed: objects still alive at exit stay reachable, and no destructor can run
// against a half-destroyed table.
TTable& Table() {
  static TTable* table = new TTable;
  return *table;
}

uint64_t Encode(uint32_t slot, uint32_t generation, TObjKind kind) {
  return (uint64_t{generation} << 32) | (uint64_t{static_cast<uint8_t>(kind)} << kSlotBits) | slot;
}

TEntry* Resolve(const void* handle) {
  const auto value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
  const auto generation = static_cast<uint32_t>(value >> 32);
  if (generation == 0) return nullptr;
  const auto slot = static_cast<uint32_t>(value & (kMaxSlots - 1));
  const auto kind = static_cast<uint8_t>((value >> kSlotBits) & 0xFF);
  TTable& t = Table();
  if (slot >= t.Entries.size()) return nullptr;
  TEntry& e = t.Entries[slot];
  if (!e.Object || e.Generation != generation || static_cast<uint8_t>(e.Object->Kind) != kind) return nullptr;
  return &e;
}

}  // namespace

void* RegisterObject(std::unique_ptr<TGdiObject> object) {
  if (!object) return nullptr;
  TTable& t = Table();
  uint32_t slot;
  if (!t.FreeSlots.empty()) {
    slot = t.FreeSlots.back();
    t.FreeSlots.pop_back();
  } else {
    if (t.Entries.size() >= kMaxSlots) return nullptr;
    slot = static_cast<uint32_t>(t.Entries.size());
    t.Entries.emplace_back();
  }
  TEntry& e = t.Entries[slot];
  void* handle = reinterpret_cast<void*>(static_cast<uintptr_t>(Encode(slot, e.Generation, object->Kind)));
  object->Handle = handle;
  e.Object = std::move(object);
  ++t.Live;
  return handle;
}

TGdiObject* LookupObject(const void* handle) {
  TEntry* e = Resolve(handle);
  return e ? e->Object.get() : nullptr;
}

TGdiObject* LookupObject(const void* handle, TObjKind kind) {
  TGdiObject* o = LookupObject(handle);
  return o && o->Kind == kind ? o : nullptr;
}

bool DestroyObject(const void* handle) {
  TEntry* e = Resolve(handle);
  if (!e) return false;
  // Retire the handle before the destructor runs, so nothing it calls can reach the object.
  std::unique_ptr<TGdiObject> doomed = std::move(e->Object);
  if (++e->Generation == 0) e->Generation = 1;
  TTable& t = Table();
  t.FreeSlots.push_back(static_cast<uint32_t>(e - t.Entries.data()));
  --t.Live;
  doomed.reset();
  return true;
}

size_t LiveObjectCount() {
  return Table().Live;
}

}  // namespace gdi_internal
