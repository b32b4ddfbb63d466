// Timers on the virtual clock: due times, coalescing, replacement, clamping, procedures, and
// their place at the end of the retrieval order.
#include "platform/rtl/Clock.h"
#include "platform/win/Input.h"
#include "platform/win/WindowManager.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TTimerTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    w = Make("w", WS_POPUP, {0, 0, 10, 10});
    Log().Clear();
  }
  // The timers that fire in `ms` of virtual time, taken one at a time as a loop would.
  std::vector<std::string> Run(uint32_t ms) {
    std::vector<std::string> fired;
    const DWORD end = GetTickCount() + ms;
    for (;;) {
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER)
          fired.push_back(std::to_string(GetTickCount() - start_) + ":" + std::to_string(msg.wParam));
        DispatchMessage(&msg);
      }
      if (GetTickCount() >= end) break;
      VirtualClock::Advance(1);
    }
    return fired;
  }
  void StartClock() { start_ = GetTickCount(); }
  HWND w = nullptr;

 private:
  DWORD start_ = 0;
};

TEST_F(TTimerTest, FiresEveryIntervalOnTheVirtualClock) {
  StartClock();
  SetTimer(w, 1, 60, nullptr);
  SetTimer(w, 2, 100, nullptr);
  EXPECT_EQ(Run(200), (std::vector<std::string>{"60:1", "100:2", "120:1", "180:1", "200:2"}));
}

TEST_F(TTimerTest, MissedPeriodsCoalesceIntoOneMessage) {
  StartClock();
  SetTimer(w, 1, 10, nullptr);
  VirtualClock::Advance(95);
  EXPECT_EQ(Run(0), (std::vector<std::string>{"95:1"}));
  EXPECT_EQ(Run(10), (std::vector<std::string>{"105:1"}));  // the next period starts at retrieval
}

TEST_F(TTimerTest, ReplacingKillingAndClamping) {
  StartClock();
  SetTimer(w, 1, 500, nullptr);
  VirtualClock::Advance(400);
  SetTimer(w, 1, 500, nullptr);  // a running id starts over
  EXPECT_TRUE(Run(499).empty());
  EXPECT_EQ(Run(1), (std::vector<std::string>{"900:1"}));
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  EXPECT_TRUE(Run(1000).empty());

  struct Case {
    UINT elapse;
    DWORD first;
  };
  // 200 - 15 * distance can go negative: it arrives as a huge unsigned value.
  const Case cases[] = {{0, 10}, {5, 10}, {static_cast<UINT>(-50), 10}, {10, 10}, {11, 11}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.elapse);
    StartClock();
    SetTimer(w, 7, c.elapse, nullptr);
    auto fired = Run(c.first);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], std::to_string(c.first) + ":7");
    KillTimer(w, 7);
  }
}

TEST_F(TTimerTest, TimerMessagesWaitForEverythingElse) {
  SetTimer(w, 1, 10, nullptr);
  VirtualClock::Advance(10);
  PostMessage(w, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_TIMER);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_TIMER);  // peeking did not start the next period
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(TTimerTest, ProceduresAndThreadTimers) {
  std::vector<std::string> calls;
  auto proc = [&calls](HWND h, UINT m, UINT_PTR id, DWORD) {
    calls.push_back((h ? Log().NameOf(h) : std::string("thread")) + " " + MessageName(m) + " " +
                    std::to_string(id));
  };
  SetTimer(w, 3, 20, proc);
  const UINT_PTR a = SetTimer(nullptr, 0, 30, proc);
  const UINT_PTR b = SetTimer(nullptr, 0, 30, nullptr);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(SetTimer(nullptr, a, 40, proc), a);  // names a running thread timer: replaces it
  StartClock();
  Run(40);
  EXPECT_EQ(calls, (std::vector<std::string>{"w WM_TIMER 3", "w WM_TIMER 3",
                                             "thread WM_TIMER " + std::to_string(a)}));
  Log().Clear();
  Run(20);
  // The window's procedure never saw the timers with a procedure.
  EXPECT_TRUE(Log().Only({WM_TIMER}).empty());
  // A forged token reaches the window rather than some procedure.
  MSG forged{w, WM_TIMER, 9, 12345, 0, {}};
  DispatchMessage(&forged);
  EXPECT_TRUE(SequenceIs(Log().Only({WM_TIMER}), {"w WM_TIMER 9"}));
  EXPECT_FALSE(SetTimer(reinterpret_cast<HWND>(0x4242), 1, 10, nullptr));
}

TEST_F(TTimerTest, AProcedureCanKillItsOwnTimer) {
  int calls = 0;
  SetTimer(w, 1, 10, [&calls](HWND h, UINT, UINT_PTR id, DWORD) {
    ++calls;
    KillTimer(h, id);
  });
  StartClock();
  Run(100);
  EXPECT_EQ(calls, 1);
}

TEST_F(TTimerTest, TimersDieWithTheirWindow) {
  SetTimer(w, 1, 10, nullptr);
  DestroyWindow(w);
  VirtualClock::Advance(50);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(KillTimer(w, 1));
}

TEST_F(TTimerTest, KillingTimersKeepsTheOthersFiringInTheirOrder) {
  // Equal due times fire in the order the timers were set, wherever the list keeps them.
  StartClock();
  const UINT intervals[] = {30, 20, 30, 10, 20, 30, 10, 20};
  for (UINT_PTR id = 1; id <= 8; ++id) SetTimer(w, id, intervals[id - 1], nullptr);
  HWND other = Make("other", WS_POPUP, {0, 0, 10, 10});
  SetTimer(other, 4, 10, nullptr);
  // The last timer is killed after it took a killed one's place; the other window's timer with
  // the same id stays until its window goes.
  for (UINT_PTR id : {4, 8, 2}) {
    EXPECT_TRUE(KillTimer(w, id));
    EXPECT_TRUE(win_internal::CheckTimerConsistency());
  }
  EXPECT_FALSE(KillTimer(w, 8));
  EXPECT_FALSE(KillTimer(w, 9));
  DestroyWindow(other);
  EXPECT_TRUE(win_internal::CheckTimerConsistency());
  EXPECT_EQ(Run(60), (std::vector<std::string>{"10:7", "20:5", "20:7", "30:1", "30:3", "30:6", "30:7", "40:5",
                                               "40:7", "50:7", "60:1", "60:3", "60:5", "60:6", "60:7"}));
}

TEST_F(TTimerTest, GetMessageWaitsForTheNextTimerByAdvancingTheClock) {
  SetTimer(w, 1, 1500, nullptr);
  const DWORD start = GetTickCount();
  MSG msg;
  ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(GetTickCount() - start, 1500u);
  EXPECT_EQ(static_cast<DWORD>(GetMessageTime()), GetTickCount());
}

TEST_F(TTimerTest, ScheduledStepsAndTimersInterleaveByTime) {
  std::vector<std::string> events;
  SetTimer(w, 1, 100,
           [&](HWND, UINT, UINT_PTR, DWORD t) { events.push_back("timer@" + std::to_string(t - 0)); });
  const DWORD start = GetTickCount();
  bool done = false;
  WinTesting::Schedule([&] { events.push_back("step@" + std::to_string(GetTickCount() - start)); }, 250);
  WinTesting::Schedule([&] { done = true; });
  RunModalLoop([&] { return done; });
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2], "step@250");
}

// A display whose mouse moved while the program was busy: the move is there to be taken only
// when the queue asks, as the display host's connection holds it.
class TBusyDisplay : public IEventSource {
 public:
  void WaitForEvents(int64_t) override { VirtualClock::Advance(1); }
  void PollEvents() override {
    if (!moved_) Input::MouseMove({5, 5});
    moved_ = true;
  }

 private:
  bool moved_ = false;
};

TEST_F(TTimerTest, ATimerAlwaysDueDoesNotStarveTheInputThatArrivedMeanwhile) {
  TBusyDisplay display;
  SetEventSource(&display);
  HWND shown = Make("shown", WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  ValidateRect(shown, nullptr);
  SetTimer(shown, 1, 10, nullptr);
  VirtualClock::Advance(10);
  MSG first{}, second{};
  ASSERT_TRUE(PeekMessage(&first, nullptr, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&second, nullptr, 0, 0, PM_REMOVE));
  SetEventSource(nullptr);
  EXPECT_EQ(first.message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(second.message, static_cast<UINT>(WM_TIMER));
}

}  // namespace
}  // namespace wintest
