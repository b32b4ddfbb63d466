// Window procedures as closures with an identity. A token is
//   0x40000000 | generation << 16 | slot
// so it stays a positive 32-bit value, is never a valid window handle, and a token whose
// closure was freed is refused instead of calling freed memory.
#include <map>
#include <memory>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RingQueue.h"
#include "platform/win/WindowManager.h"

namespace {

constexpr LONG_PTR kTokenMark = 0x40000000;
constexpr uint32_t kMaxSlots = 0x10000;
constexpr uint32_t kGenerationMask = 0x3FFF;

struct TProcEntry {
  TWndProcFunction Plain = nullptr;  // a plain function: called directly, kept forever
  TWndProcClosure Closure;
  int Installed = 0;   // windows and classes that hold it
  bool Owned = false;  // the creator has not freed it yet
};

struct TSlot {
  std::shared_ptr<TProcEntry> Entry;
  uint32_t Generation = 1;
};

struct TProcTable {
  std::vector<TSlot> Slots;
  TRingQueue<uint32_t> Free;  // first in, first out: a freed token is reused as late as possible
  std::map<TWndProcFunction, LONG_PTR> Interned;
};

TProcTable& Table() {
  static TProcTable* table = new TProcTable;
  return *table;
}

LONG_PTR Encode(uint32_t slot, uint32_t generation) {
  return kTokenMark | static_cast<LONG_PTR>((generation & kGenerationMask) << 16) |
         static_cast<LONG_PTR>(slot);
}

TSlot* Resolve(LONG_PTR token) {
  if ((token & ~static_cast<LONG_PTR>(0x7FFFFFFF)) != 0 || (token & kTokenMark) == 0) return nullptr;
  const auto slot = static_cast<uint32_t>(token & 0xFFFF);
  const auto generation = static_cast<uint32_t>((token >> 16) & kGenerationMask);
  TProcTable& t = Table();
  if (slot >= t.Slots.size()) return nullptr;
  TSlot& s = t.Slots[slot];
  if (!s.Entry || s.Generation != generation) return nullptr;
  return &s;
}

WNDPROC Register(std::shared_ptr<TProcEntry> entry) {
  TProcTable& t = Table();
  uint32_t slot;
  if (!t.Free.Empty()) {
    slot = t.Free.Front();
    t.Free.PopFront();
  } else {
    if (t.Slots.size() >= kMaxSlots) throw EOutOfResources("Too many window procedures");
    slot = static_cast<uint32_t>(t.Slots.size());
    t.Slots.emplace_back();
  }
  TSlot& s = t.Slots[slot];
  s.Entry = std::move(entry);
  return WNDPROC(Encode(slot, s.Generation));
}

void Retire(TSlot& s) {
  TProcTable& t = Table();
  s.Entry.reset();
  s.Generation = (s.Generation + 1) & kGenerationMask;
  if (s.Generation == 0) s.Generation = 1;
  t.Free.PushBack(static_cast<uint32_t>(&s - t.Slots.data()));
}

void RetireIfUnused(TSlot& s) {
  const TProcEntry& e = *s.Entry;
  if (!e.Plain && !e.Owned && e.Installed <= 0) Retire(s);
}

}  // namespace

TWndProc::TWndProc(TWndProcFunction function) {
  if (!function) return;
  TProcTable& t = Table();
  auto it = t.Interned.find(function);
  if (it != t.Interned.end()) {
    token_ = it->second;
    return;
  }
  auto entry = std::make_shared<TProcEntry>();
  entry->Plain = function;
  token_ = Register(std::move(entry)).Token();
  t.Interned.emplace(function, token_);
}

WNDPROC MakeWndProc(TWndProcContextFunction function, void* context) {
  if (!function) return nullptr;
  return MakeWndProc(
      [function, context](HWND h, UINT m, WPARAM w, LPARAM l) { return function(context, h, m, w, l); });
}

WNDPROC MakeWndProc(TWndProcClosure closure) {
  if (!closure) return nullptr;
  auto entry = std::make_shared<TProcEntry>();
  entry->Closure = std::move(closure);
  entry->Owned = true;
  return Register(std::move(entry));
}

void FreeWndProc(WNDPROC proc) {
  TSlot* s = Resolve(proc.Token());
  if (!s || !s->Entry->Owned) return;
  s->Entry->Owned = false;
  RetireIfUnused(*s);
}

bool IsWndProcAlive(WNDPROC proc) {
  return Resolve(proc.Token()) != nullptr;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  TSlot* s = Resolve(proc.Token());
  if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
  if (s->Entry->Plain) return s->Entry->Plain(hwnd, msg, wParam, lParam);
  // The closure may free itself (or be replaced) while it runs.
  std::shared_ptr<TProcEntry> keep = s->Entry;
  return keep->Closure(hwnd, msg, wParam, lParam);
}

namespace win_internal {

void RetainProc(WNDPROC proc) {
  if (TSlot* s = Resolve(proc.Token())) ++s->Entry->Installed;
}

void ReleaseProc(WNDPROC proc) {
  TSlot* s = Resolve(proc.Token());
  if (!s) return;
  --s->Entry->Installed;
  RetireIfUnused(*s);
}

}  // namespace win_internal

HWND AllocateHWnd(std::function<LRESULT(UINT, WPARAM, LPARAM)> handler) {
  static const std::string kClass = "TPUtilWindow";
  WNDCLASSEX wc;
  if (!GetClassInfoEx(MainInstance(), kClass, &wc)) {
    wc.lpfnWndProc = DefWindowProc;
    wc.hInstance = MainInstance();
    wc.lpszClassName = kClass;
    if (!RegisterClassEx(&wc)) return nullptr;
  }
  HWND h = CreateWindowEx(WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          MainInstance(), nullptr);
  if (!h) return nullptr;
  if (handler) {
    // The window holds the only reference: the closure goes with it.
    WNDPROC proc = MakeWndProc(
        [handler = std::move(handler)](HWND, UINT m, WPARAM w, LPARAM l) { return handler(m, w, l); });
    SetWindowLong(h, GWL_WNDPROC, proc.Token());
    FreeWndProc(proc);
  }
  return h;
}

void DeallocateHWnd(HWND hwnd) {
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
}
