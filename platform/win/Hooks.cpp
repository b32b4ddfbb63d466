// Hook chains: one per hook kind for the whole process, newest first. A hook removed while a
// chain runs stays in place (marked) until no call is in progress, so CallNextHookEx from
// inside a hook that unhooked itself still finds its successor. Event hooks live by the same
// rule in a list of their own, oldest first.
#include <array>
#include <memory>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/WindowManager.h"

namespace {

constexpr int kFirstHook = WH_MSGFILTER;
constexpr int kLastHook = WH_MOUSE_LL;

struct THook {
  HHOOK Handle = nullptr;
  int Id = 0;
  HOOKPROC Proc;
  bool Removed = false;
};

struct TWinEventHook {
  HWINEVENTHOOK Handle = nullptr;
  DWORD Min = 0, Max = 0;
  WINEVENTPROC Proc;
  bool Removed = false;
};

struct THookState {
  std::array<std::vector<std::shared_ptr<THook>>, kLastHook - kFirstHook + 1> Chains;
  std::vector<std::shared_ptr<TWinEventHook>> EventHooks;
  uintptr_t NextHandle = 0x7A000000;
  int Depth = 0;  // chain calls and event deliveries in progress
};

THookState& State() {
  static THookState* s = new THookState;
  return *s;
}

bool Supported(int id) {
  switch (id) {
    case WH_CBT:
    case WH_MSGFILTER:
    case WH_SYSMSGFILTER:
    case WH_GETMESSAGE:
    case WH_CALLWNDPROC:
    case WH_CALLWNDPROCRET:
    case WH_KEYBOARD:
    case WH_MOUSE:
      return true;
    default:
      return false;
  }
}

std::vector<std::shared_ptr<THook>>& Chain(int id) {
  return State().Chains[static_cast<size_t>(id - kFirstHook)];
}

void Purge() {
  if (State().Depth > 0) return;
  for (auto& chain : State().Chains)
    std::erase_if(chain, [](const std::shared_ptr<THook>& h) { return h->Removed; });
  std::erase_if(State().EventHooks, [](const std::shared_ptr<TWinEventHook>& h) { return h->Removed; });
}

// Calls the first live hook at or after `from`, keeping the chain alive while it runs.
LRESULT CallFrom(int id, size_t from, int code, WPARAM wParam, LPARAM lParam) {
  std::vector<std::shared_ptr<THook>> chain = Chain(id);
  for (size_t i = from; i < chain.size(); ++i) {
    if (chain[i]->Removed) continue;
    ++State().Depth;
    TScopeExit leave([] {
      --State().Depth;
      Purge();
    });
    HOOKPROC proc = chain[i]->Proc;
    return proc(code, wParam, lParam);
  }
  return 0;
}

}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
  if (!proc || !Supported(idHook)) return nullptr;
  auto hook = std::make_shared<THook>();
  hook->Handle = reinterpret_cast<HHOOK>(++State().NextHandle);
  hook->Id = idHook;
  hook->Proc = std::move(proc);
  auto& chain = Chain(idHook);
  chain.insert(chain.begin(), hook);
  return hook->Handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  if (!hook) return FALSE;
  for (auto& chain : State().Chains)
    for (auto& h : chain)
      if (h->Handle == hook && !h->Removed) {
        h->Removed = true;
        Purge();
        return TRUE;
      }
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  if (!hook) return 0;
  for (int id = kFirstHook; id <= kLastHook; ++id) {
    const auto& chain = Chain(id);
    for (size_t i = 0; i < chain.size(); ++i)
      if (chain[i]->Handle == hook) return CallFrom(id, i + 1, code, wParam, lParam);
  }
  return 0;
}

HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE, WINEVENTPROC proc, DWORD, DWORD,
                              DWORD) {
  if (!proc || eventMin > eventMax) return nullptr;
  auto hook = std::make_shared<TWinEventHook>();
  hook->Handle = reinterpret_cast<HWINEVENTHOOK>(++State().NextHandle);
  hook->Min = eventMin;
  hook->Max = eventMax;
  hook->Proc = std::move(proc);
  State().EventHooks.push_back(hook);
  return hook->Handle;
}

BOOL UnhookWinEvent(HWINEVENTHOOK hook) {
  for (auto& h : State().EventHooks)
    if (hook && h->Handle == hook && !h->Removed) {
      h->Removed = true;
      Purge();
      return TRUE;
    }
  return FALSE;
}

void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
  if (State().EventHooks.empty()) return;
  // A copy: a hook may add or remove hooks.
  const std::vector<std::shared_ptr<TWinEventHook>> hooks = State().EventHooks;
  ++State().Depth;
  TScopeExit leave([] {
    --State().Depth;
    Purge();
  });
  for (const auto& h : hooks)
    if (!h->Removed && event >= h->Min && event <= h->Max)
      h->Proc(h->Handle, event, hwnd, idObject, idChild, GetCurrentThreadId(), GetTickCount());
}

BOOL CallMsgFilter(MSG* msg, int code) {
  if (!msg) return FALSE;
  using win_internal::CallHooks;
  if (CallHooks(WH_SYSMSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg))) return TRUE;
  return CallHooks(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg)) ? TRUE : FALSE;
}

namespace win_internal {

bool HasHooks(int idHook) {
  if (idHook < kFirstHook || idHook > kLastHook) return false;
  for (const auto& h : Chain(idHook))
    if (!h->Removed) return true;
  return false;
}

LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam) {
  if (!HasHooks(idHook)) return 0;
  return CallFrom(idHook, 0, code, wParam, lParam);
}

namespace {

struct TObservers {
  std::vector<std::pair<int, TWindowObserver>> List;
  int NextId = 1;
};

TObservers& Observers() {
  static TObservers* o = new TObservers;
  return *o;
}

}  // namespace

int AddWindowObserver(TWindowObserver observer) {
  if (!observer) return 0;
  TObservers& o = Observers();
  o.List.emplace_back(o.NextId, std::move(observer));
  return o.NextId++;
}

void RemoveWindowObserver(int id) {
  std::erase_if(Observers().List, [id](const auto& e) { return e.first == id; });
}

void NotifyObservers(TWindowEvent event, HWND hwnd, const TPosChange* change) {
  if (Observers().List.empty()) return;
  const TWindowNotice notice{event, hwnd, change};
  // A copy: an observer may add or remove observers.
  const auto list = Observers().List;
  for (const auto& [id, observer] : list) observer(notice);
}

void ResetHooks() {
  for (auto& chain : State().Chains) {
    for (auto& h : chain) h->Removed = true;
    if (State().Depth == 0) chain.clear();
  }
  for (auto& h : State().EventHooks) h->Removed = true;
  Purge();
}

}  // namespace win_internal
