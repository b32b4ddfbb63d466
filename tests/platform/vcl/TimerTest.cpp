// TTimer on the virtual clock: when it runs, how changes restart the period, and teardown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/VclTesting.h"

namespace {

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    start_ = GetTickCount();
  }
  // Lets `ms` of virtual time pass one millisecond at a time, dispatching what falls due.
  void Run(uint32_t ms) {
    const uint32_t end = GetTickCount() + ms;
    for (;;) {
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
      if (GetTickCount() >= end) break;
      VirtualClock::Advance(1);
    }
  }
  uint32_t Elapsed() const { return GetTickCount() - start_; }
  // An OnTimer handler that logs the elapsed time of each call.
  TNotifyEvent Logger(TTimer* t) {
    return [this, t](TObject* Sender) {
      EXPECT_EQ(Sender, t);
      fired.push_back(Elapsed());
    };
  }
  std::vector<uint32_t> fired;

 private:
  uint32_t start_ = 0;
};

TEST_F(TimerTest, DefaultsAndPublishedProperties) {
  TTimer t(nullptr);
  EXPECT_TRUE(t.Enabled());
  EXPECT_EQ(t.Interval(), 1000u);
  EXPECT_FALSE(t.OnTimer);
  EXPECT_EQ(GetPropText(&t, "Interval"), "1000");
  EXPECT_EQ(GetPropInfo(&t, "Enabled")->DefaultValue, 1);
  EXPECT_EQ(GetPropInfo(&t, "Interval")->DefaultValue, 1000);
  EXPECT_TRUE(SetPropText(&t, "Interval", "250"));
  EXPECT_EQ(t.Interval(), 250u);
}

TEST_F(TimerTest, RunsOnlyWhileEnabledWithIntervalAndHandler) {
  TTimer t(nullptr);
  Run(3000);  // no handler: nothing runs
  EXPECT_TRUE(fired.empty());

  t.OnTimer = Logger(&t);  // assigning starts the period at 3000
  Run(2500);
  EXPECT_EQ(fired, (std::vector<uint32_t>{4000, 5000}));

  t.SetEnabled(false);
  Run(3000);
  EXPECT_EQ(fired.size(), 2u);

  t.SetEnabled(true);  // at 8500
  Run(1000);
  EXPECT_EQ(fired.back(), 9500u);

  t.OnTimer = nullptr;
  Run(3000);
  EXPECT_EQ(fired.size(), 3u);
}

TEST_F(TimerTest, ZeroIntervalStopsTheTimer) {
  TTimer t(nullptr);
  t.OnTimer = Logger(&t);
  t.SetInterval(0);
  Run(5000);
  EXPECT_TRUE(fired.empty());
  t.SetInterval(100);  // at 5000
  Run(250);
  EXPECT_EQ(fired, (std::vector<uint32_t>{5100, 5200}));
}

TEST_F(TimerTest, ChangingTheIntervalStartsThePeriodOver) {
  struct Case {
    Cardinal first, wait, second;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {1000, 400, 500, {900, 1400}},     // shorter: counts from the change
      {100, 250, 300, {100, 200, 550}},  // longer: no fire at 300
      {500, 300, 500, {500}},            // same value: nothing restarts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    SetUp();
    fired.clear();
    TTimer t(nullptr);
    t.SetInterval(c.first);
    t.OnTimer = Logger(&t);
    Run(c.wait);
    t.SetInterval(c.second);
    Run(c.expected.back() - c.wait);
    EXPECT_EQ(fired, c.expected);
  }
}

TEST_F(TimerTest, HandlerMayDisableOrFreeItsOwnTimer) {
  auto* t = new TTimer(nullptr);
  t->SetInterval(50);
  int calls = 0;
  t->OnTimer = [&](TObject*) {
    if (++calls == 2) t->SetEnabled(false);
  };
  Run(500);
  EXPECT_EQ(calls, 2);
  delete t;
  Run(500);  // the hidden window is gone with it; nothing fires
  EXPECT_EQ(calls, 2);
}

TEST_F(TimerTest, OwnerFreesItsTimers) {
  auto* owner = new TComponent(nullptr);
  auto* t = new TTimer(owner);
  t->SetInterval(10);
  t->OnTimer = Logger(t);
  Run(25);
  EXPECT_EQ(fired.size(), 2u);
  delete owner;
  Run(100);
  EXPECT_EQ(fired.size(), 2u);
}

}  // namespace

namespace {

TEST_F(TimerTest, ExceptionsInOnTimerGoToTheApplication) {
  std::vector<std::string> seen;
  Application->OnException = [&](TObject* Sender, const Exception& E) {
    EXPECT_NE(dynamic_cast<TTimer*>(Sender), nullptr);
    seen.push_back(E.Message());
  };
  TTimer t(nullptr);
  t.SetInterval(10);
  t.OnTimer = [](TObject*) { throw EConvertError("bad tick"); };
  Run(25);
  EXPECT_EQ(seen, (std::vector<std::string>{"bad tick", "bad tick"}));
}

}  // namespace
