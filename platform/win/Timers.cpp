// Timers on the virtual clock. WM_TIMER is made up at retrieval time, when nothing else
// waits: one message per due timer however many periods passed, earliest first. Taking the
// message out of the queue starts the next period. A timer with a procedure carries a token
// in lParam that DispatchMessage turns back into the procedure.
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

struct TTimer {
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  uint32_t Due = 0;
  TIMERPROC Proc;
  LPARAM Token = 0;
  uint64_t Order = 0;
};

using TTimerKey = std::pair<uintptr_t, UINT_PTR>;  // window, id

TTimerKey KeyOf(HWND hwnd, UINT_PTR id) {
  return {reinterpret_cast<uintptr_t>(hwnd), id};
}

// The running timers in no particular order (which one fires first follows Due, then Order,
// never the place in the list), and an index by window and id: finding, replacing and killing
// a timer cost O(log n), and a window's timers are one range of the index.
struct TTimerState {
  std::vector<TTimer> Timers;
  std::map<TTimerKey, size_t> Index;  // key -> position in Timers
  uint64_t NextOrder = 1;
  LPARAM NextToken = 1;
  UINT_PTR NextThreadId = 1;

  TTimer* Find(HWND hwnd, UINT_PTR id) {
    auto it = Index.find(KeyOf(hwnd, id));
    return it == Index.end() ? nullptr : &Timers[it->second];
  }
  void Add(TTimer t) {
    Index.emplace(KeyOf(t.Hwnd, t.Id), Timers.size());
    Timers.push_back(std::move(t));
  }
  // The last timer takes the freed place.
  void Remove(std::map<TTimerKey, size_t>::iterator it) {
    const size_t pos = it->second;
    Index.erase(it);
    if (pos + 1 != Timers.size()) {
      Timers[pos] = std::move(Timers.back());
      Index[KeyOf(Timers[pos].Hwnd, Timers[pos].Id)] = pos;
    }
    Timers.pop_back();
  }
  // Every timer is indexed once under its own key.
  bool CheckConsistency() const {
    if (Index.size() != Timers.size()) return false;
    for (const auto& [key, pos] : Index)
      if (pos >= Timers.size() || KeyOf(Timers[pos].Hwnd, Timers[pos].Id) != key) return false;
    return true;
  }
};

TTimerState& State() {
  static TTimerState* s = new TTimerState;
  return *s;
}

// Intervals whose top bit is set came from a negative number.
UINT Clamp(UINT elapse) {
  if (elapse > USER_TIMER_MAXIMUM || elapse < USER_TIMER_MINIMUM) return USER_TIMER_MINIMUM;
  return elapse;
}

bool IsDue(const TTimer& t, uint32_t now) {
  return static_cast<int32_t>(now - t.Due) >= 0;
}

}  // namespace

bool NextTimerMessage(HWND filter, bool remove, MSG& msg) {
  const uint32_t now = GetTickCount();
  TTimer* best = nullptr;
  for (TTimer& t : State().Timers) {
    if (!IsDue(t, now) || !WindowFilterMatches(t.Hwnd, filter)) continue;
    if (t.Hwnd && !Find(t.Hwnd)) continue;
    if (!best || static_cast<int32_t>(t.Due - best->Due) < 0 || (t.Due == best->Due && t.Order < best->Order))
      best = &t;
  }
  if (!best) return false;
  POINT pt{};
  GetCursorPos(&pt);
  msg = MSG{best->Hwnd, WM_TIMER, best->Id, best->Token, now, pt};
  if (remove) best->Due = now + best->Interval;
  return true;
}

bool AnyTimerDue() {
  const uint32_t now = GetTickCount();
  for (const TTimer& t : State().Timers)
    if (IsDue(t, now)) return true;
  return false;
}

int64_t MsUntilNextTimer() {
  const uint32_t now = GetTickCount();
  int64_t best = -1;
  for (const TTimer& t : State().Timers) {
    const int64_t wait = std::max<int64_t>(0, static_cast<int32_t>(t.Due - now));
    if (best < 0 || wait < best) best = wait;
  }
  return best;
}

bool DispatchTimerProc(const MSG& msg) {
  for (const TTimer& t : State().Timers)
    if (t.Token == msg.lParam && t.Proc) {
      TIMERPROC proc = t.Proc;  // the procedure may kill its own timer
      proc(msg.hwnd, WM_TIMER, msg.wParam, GetTickCount());
      return true;
    }
  return false;
}

void KillTimersFor(HWND hwnd) {
  if (!hwnd) return;
  TTimerState& s = State();
  const uintptr_t window = KeyOf(hwnd, 0).first;
  for (auto it = s.Index.lower_bound(KeyOf(hwnd, 0)); it != s.Index.end() && it->first.first == window;)
    s.Remove(it++);
}

bool CheckTimerConsistency() {
  return State().CheckConsistency();
}

void ResetTimers() {
  State() = TTimerState{};
}

}  // namespace win_internal

using namespace win_internal;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  TTimerState& s = State();
  if (hwnd) {
    TWnd* w = Find(hwnd);
    if (!w || w->IsRoot) return 0;
  } else if (!id || !s.Find(nullptr, id)) {
    // A thread timer gets a fresh id unless it names a running one.
    do {
      id = s.NextThreadId++;
    } while (s.Find(nullptr, id));
  }
  TTimer t;
  t.Hwnd = hwnd;
  t.Id = id;
  t.Interval = Clamp(elapse);
  t.Due = GetTickCount() + t.Interval;
  t.Proc = std::move(proc);
  t.Token = t.Proc ? s.NextToken++ : 0;
  t.Order = s.NextOrder++;
  if (TTimer* running = s.Find(hwnd, id))
    *running = std::move(t);
  else
    s.Add(std::move(t));
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  TTimerState& s = State();
  auto it = s.Index.find(KeyOf(hwnd, id));
  if (it == s.Index.end()) return FALSE;
  s.Remove(it);
  return TRUE;
}
