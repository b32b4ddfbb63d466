// Timers on the virtual clock. WM_TIMER is made up at retrieval time, when nothing else
// waits: one message per due timer however many periods passed, earliest first. Taking the
// message out of the queue starts the next period. A timer with a procedure carries a token
// in lParam that DispatchMessage turns back into the procedure.
#include <algorithm>
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

struct TTimerState {
  std::vector<TTimer> Timers;
  uint64_t NextOrder = 1;
  LPARAM NextToken = 1;
  UINT_PTR NextThreadId = 1;
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

TTimer* FindTimer(HWND hwnd, UINT_PTR id) {
  for (TTimer& t : State().Timers)
    if (t.Hwnd == hwnd && t.Id == id) return &t;
  return nullptr;
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
  std::erase_if(State().Timers, [hwnd](const TTimer& t) { return t.Hwnd == hwnd; });
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
  } else if (!id || !FindTimer(nullptr, id)) {
    // A thread timer gets a fresh id unless it names a running one.
    do {
      id = s.NextThreadId++;
    } while (FindTimer(nullptr, id));
  }
  TTimer t;
  t.Hwnd = hwnd;
  t.Id = id;
  t.Interval = Clamp(elapse);
  t.Due = GetTickCount() + t.Interval;
  t.Proc = std::move(proc);
  t.Token = t.Proc ? s.NextToken++ : 0;
  t.Order = s.NextOrder++;
  if (TTimer* running = FindTimer(hwnd, id))
    *running = std::move(t);
  else
    s.Timers.push_back(std::move(t));
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& timers = State().Timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const TTimer& t) { return t.Hwnd == hwnd && t.Id == id; });
  if (it == timers.end()) return FALSE;
  timers.erase(it);
  return TRUE;
}
