// The thread's message queue. Retrieval takes, in this order: sent messages (on one thread
// they are plain calls and never wait), posted messages, WM_QUIT, input, WM_PAINT, WM_TIMER.
// WM_QUIT is a flag set by PostQuitMessage; it is retrieved whatever the filters say.
#include <deque>

#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Input.h"
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

// A runaway poster meets a full queue instead of exhausting memory.
constexpr size_t kMaxPosted = 10000;

struct TQueueState {
  std::deque<MSG> Posted;
  bool QuitPending = false;
  int QuitCode = 0;
  DWORD LastTime = 0;
  POINT LastPos{};
  UINT ChangedBits = 0;
  IEventSource* Source = nullptr;
};

TQueueState& Queue() {
  static TQueueState* q = new TQueueState;
  return *q;
}

// The window's procedure, or DefWindowProc without one. Paints the procedure begins and does
// not end before it raises are ended on the way out, so their DCs do not leak.
LRESULT CallProc(TWnd& w, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const size_t paints = OpenPaintCount();
  TScopeFail endPaints([paints] { EndOpenPaints(paints); });
  return w.Proc ? CallWindowProc(w.Proc, hwnd, msg, wParam, lParam)
                : DefWindowProc(hwnd, msg, wParam, lParam);
}

POINT CursorNow() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

bool PeekInternal(MSG* out, HWND filter, UINT min, UINT max, UINT flags) {
  TQueueState& q = Queue();
  const bool remove = (flags & PM_REMOVE) != 0;
  UINT types = flags >> 16;
  if (types == 0) types = QS_ALLINPUT | QS_ALLPOSTMESSAGE;
  MSG msg;
  bool found = false;

  if (types & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) {
    for (auto it = q.Posted.begin(); it != q.Posted.end(); ++it) {
      if (!MessageMatches(*it, filter, min, max)) continue;
      msg = *it;
      if (remove) q.Posted.erase(it);
      found = true;
      break;
    }
  }
  if (!found && q.QuitPending && (types & QS_POSTMESSAGE)) {
    msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.QuitCode), 0, GetTickCount(), CursorNow()};
    if (remove) q.QuitPending = false;
    found = true;
  }
  if (!found && (types & QS_INPUT)) found = NextInputMessage(filter, min, max, types, remove, msg);
  if (!found && (types & QS_PAINT) && RangeMatches(WM_PAINT, min, max) && PaintHooks().NextPaint)
    found = PaintHooks().NextPaint(filter, remove, msg);
  if (!found && (types & QS_TIMER) && RangeMatches(WM_TIMER, min, max)) {
    if (q.Source && AnyTimerDue()) {
      q.Source->PollEvents();
      if (types & QS_INPUT) found = NextInputMessage(filter, min, max, types, remove, msg);
    }
    if (!found) found = NextTimerMessage(filter, remove, msg);
  }
  if (!found) return false;

  UpdateMessagePos(msg);
  q.ChangedBits = 0;
  if (HasHooks(WH_GETMESSAGE))
    CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(&msg));
  *out = msg;
  return true;
}

bool AnythingPending() {
  TQueueState& q = Queue();
  return !q.Posted.empty() || q.QuitPending || PendingInputBits() != 0 ||
         (PaintHooks().AnyPaintPending && PaintHooks().AnyPaintPending()) || AnyTimerDue();
}

}  // namespace

bool RangeMatches(UINT message, UINT min, UINT max) {
  if (min == 0 && max == 0) return true;
  if (min <= max) return message >= min && message <= max;
  // An inverted range keeps everything outside the gap.
  return message >= min || message <= max;
}

bool WindowFilterMatches(HWND msgHwnd, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return msgHwnd == nullptr;
  if (msgHwnd == filter) return true;
  // A window's filter takes its children's messages too.
  TWnd* f = Find(filter);
  TWnd* m = Find(msgHwnd);
  return f && m && IsAncestor(f, m);
}

bool MessageMatches(const MSG& msg, HWND filter, UINT min, UINT max) {
  return WindowFilterMatches(msg.hwnd, filter) && RangeMatches(msg.message, min, max);
}

void RemoveQueuedMessagesFor(HWND hwnd) {
  if (!hwnd) return;
  std::erase_if(Queue().Posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

bool PostInternal(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool atFront) {
  TQueueState& q = Queue();
  if (q.Posted.size() >= kMaxPosted) return false;
  MSG m{hwnd, msg, wParam, lParam, GetTickCount(), CursorNow()};
  if (atFront)
    q.Posted.push_front(m);
  else
    q.Posted.push_back(m);
  q.ChangedBits |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
  return true;
}

void MarkQueueChanged(UINT qsBits) {
  Queue().ChangedBits |= qsBits;
}

void UpdateMessagePos(const MSG& msg) {
  Queue().LastTime = msg.time;
  Queue().LastPos = msg.pt;
}

void ResetQueue() {
  TQueueState& q = Queue();
  IEventSource* source = q.Source;
  q = TQueueState{};
  q.Source = source;
}

void WaitForSomething() {
  const int64_t untilTimer = MsUntilNextTimer();
  if (IEventSource* s = Queue().Source)
    s->WaitForEvents(untilTimer);
  else
    RunScheduledStep(untilTimer);
}

}  // namespace win_internal

using namespace win_internal;

void SetEventSource(IEventSource* source) {
  Queue().Source = source;
}
IEventSource* GetEventSource() {
  return Queue().Source;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    for (HWND h : Handles(Desktop().Children))
      if (Find(h)) SendMessage(h, msg, wParam, lParam);
    return 0;
  }
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return 0;
  auto keep = Hold(w);
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp{lParam, wParam, msg, hwnd};
    CallHooks(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
    if (w->Dead) return 0;
  }
  const LRESULT result = CallProc(*w, hwnd, msg, wParam, lParam);
  if (HasHooks(WH_CALLWNDPROCRET)) {
    CWPRETSTRUCT ret{result, lParam, wParam, msg, hwnd};
    CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 1, reinterpret_cast<LPARAM>(&ret));
  }
  return result;
}

BOOL SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd != HWND_BROADCAST && !Find(hwnd)) return FALSE;
  SendMessage(hwnd, msg, wParam, lParam);
  return TRUE;
}

LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT, DWORD_PTR* result) {
  if (hwnd != HWND_BROADCAST && !Find(hwnd)) return 0;
  const LRESULT r = SendMessage(hwnd, msg, wParam, lParam);
  if (result) *result = static_cast<DWORD_PTR>(r);
  return 1;
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    for (HWND h : Handles(Desktop().Children))
      if (!PostInternal(h, msg, wParam, lParam, false)) return FALSE;
    return TRUE;
  }
  if (hwnd) {
    TWnd* w = Find(hwnd);
    if (!w || w->IsRoot) return FALSE;
  }
  return PostInternal(hwnd, msg, wParam, lParam, false) ? TRUE : FALSE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (threadId != GetCurrentThreadId()) return FALSE;
  return PostInternal(nullptr, msg, wParam, lParam, false) ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode) {
  Queue().QuitPending = true;
  Queue().QuitCode = exitCode;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  if (hwnd && hwnd != reinterpret_cast<HWND>(static_cast<intptr_t>(-1)) && !Find(hwnd)) return FALSE;
  return PeekInternal(msg, hwnd, filterMin, filterMax, removeFlags) ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) return -1;
  if (hwnd && hwnd != reinterpret_cast<HWND>(static_cast<intptr_t>(-1)) && !Find(hwnd)) return -1;
  while (!PeekInternal(msg, hwnd, filterMin, filterMax, PM_REMOVE)) WaitForSomething();
  return msg->message == WM_QUIT ? 0 : 1;
}

BOOL TranslateMessage(const MSG* msg) {
  return msg && TranslateKeyMessage(*msg) ? TRUE : FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0 && DispatchTimerProc(*msg)) return 0;
  TWnd* w = Find(msg->hwnd);
  if (!w || w->IsRoot) return 0;
  auto keep = Hold(w);
  const LRESULT r = CallProc(*w, msg->hwnd, msg->message, msg->wParam, msg->lParam);
  if (msg->message == WM_PAINT && PaintHooks().PaintDispatched && !w->Dead)
    PaintHooks().PaintDispatched(msg->hwnd);
  return r;
}

BOOL WaitMessage() {
  if (!AnythingPending()) WaitForSomething();
  return TRUE;
}

LONG GetMessageTime() {
  return static_cast<LONG>(Queue().LastTime);
}

DWORD GetMessagePos() {
  const POINT p = Queue().LastPos;
  return static_cast<DWORD>(MAKELONG(p.X, p.Y));
}

BOOL InSendMessage() {
  return FALSE;
}
BOOL ReplyMessage(LRESULT) {
  return FALSE;
}

DWORD GetQueueStatus(UINT flags) {
  TQueueState& q = Queue();
  UINT current = PendingInputBits();
  if (!q.Posted.empty() || q.QuitPending) current |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
  if (PaintHooks().AnyPaintPending && PaintHooks().AnyPaintPending()) current |= QS_PAINT;
  if (AnyTimerDue()) current |= QS_TIMER;
  const UINT changed = (q.ChangedBits | (current & (QS_TIMER | QS_PAINT))) & current;
  q.ChangedBits = 0;
  return static_cast<DWORD>(MAKELONG(static_cast<int>(changed & flags), static_cast<int>(current & flags)));
}

BOOL GetInputState() {
  return (PendingInputBits() & (QS_KEY | QS_MOUSEBUTTON)) ? TRUE : FALSE;
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool RunModalLoop(const std::function<bool()>& done, HWND window, int filterCode) {
  for (;;) {
    if (done && done()) return true;
    if (window && !Find(window)) return true;
    MSG msg;
    if (!PeekInternal(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitForSomething();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (filterCode >= 0 && CallMsgFilter(&msg, filterCode)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

TModalOwnerScope::TModalOwnerScope(HWND owner) {
  if (owner && IsWindow(owner) && IsWindowEnabled(owner)) {
    EnableWindow(owner, FALSE);
    owner_ = owner;
  }
}

TModalOwnerScope::~TModalOwnerScope() {
  if (owner_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
}
