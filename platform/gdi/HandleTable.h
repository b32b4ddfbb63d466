#pragma once
// The handle table behind every HDC and HGDIOBJ. A handle encodes a slot, the slot's
// generation and the object's kind, so a handle that outlived its object, or one of another
// kind, is refused instead of reaching freed memory. Handles are above 2^32, clear of the small
// integers that stand for system-colour brushes. Like the rest of the platform, the table
// belongs to the one user-interface thread.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace gdi_internal {

enum class TObjKind : uint8_t { None = 0, DC = 1, Pen, Brush, Font, Bitmap, Region, Palette, Icon };

class TGdiObject {
 public:
  explicit TGdiObject(TObjKind kind) : Kind(kind) {}
  virtual ~TGdiObject() = default;
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  const TObjKind Kind;
  void* Handle = nullptr;
  bool Stock = false;   // never deleted
  int SelectCount = 0;  // references from device-context states, current and saved
};

// Takes ownership and answers the new handle; nullptr when the table is full.
void* RegisterObject(std::unique_ptr<TGdiObject> object);
// The live object behind a handle, or nullptr (stale, foreign or of another kind).
TGdiObject* LookupObject(const void* handle);
TGdiObject* LookupObject(const void* handle, TObjKind kind);
template <class T>
T* Lookup(const void* handle) {
  return static_cast<T*>(LookupObject(handle, T::kKind));
}
// Frees the object and retires its handle; false for an unknown handle.
bool DestroyObject(const void* handle);
// Objects alive in the table (stock objects included), for leak checks in tests.
size_t LiveObjectCount();

}  // namespace gdi_internal
