#include "platform/rtl/Clock.h"

#include <chrono>
#include <ctime>

namespace {

struct ClockState {
  // A fixed, recognisable start so that tests see the same dates on every run.
  TDateTime baseDate = 46023.375;  // 2026-01-01 09:00:00
  uint64_t ticks = 0;
  bool realTime = false;
  std::chrono::steady_clock::time_point realStart = std::chrono::steady_clock::now();
  uint64_t realBaseTicks = 0;
};

ClockState& State() {
  static ClockState state;
  return state;
}

uint64_t CurrentTicks() {
  ClockState& s = State();
  if (!s.realTime) return s.ticks;
  auto elapsed = std::chrono::steady_clock::now() - s.realStart;
  return s.realBaseTicks + s.ticks +
         static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace

uint32_t GetTickCount() { return static_cast<uint32_t>(CurrentTicks()); }

TDateTime ClockNow() { return State().baseDate + static_cast<double>(CurrentTicks()) / 86400000.0; }

namespace VirtualClock {

void Advance(uint32_t ms) { State().ticks += ms; }

void Set(TDateTime now, uint32_t tickCount) {
  ClockState& s = State();
  s.ticks = tickCount;
  s.realBaseTicks = 0;
  s.realStart = std::chrono::steady_clock::now();
  s.baseDate = now - static_cast<double>(tickCount) / 86400000.0;
}

TDateTime SystemLocalTime() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  // The zone's offset at this instant, summer time included; UTC when the zone is unknown.
  const long offset = localtime_r(&seconds, &local) ? local.tm_gmtoff : 0;
  const double ms = static_cast<double>(duration_cast<milliseconds>(now.time_since_epoch()).count());
  constexpr double kUnixEpoch = 25569.0;  // 1970-01-01 as a TDateTime
  return kUnixEpoch + (ms + static_cast<double>(offset) * 1000.0) / 86400000.0;
}

void SetToSystemTime() {
  Set(SystemLocalTime(), GetTickCount());
}

void UseRealTime(bool on) {
  ClockState& s = State();
  if (on == s.realTime) return;
  if (on) {
    s.realStart = std::chrono::steady_clock::now();
    s.realBaseTicks = 0;
  } else {
    s.ticks = CurrentTicks();
  }
  s.realTime = on;
}

}  // namespace VirtualClock
