#pragma once
// The virtual clock: the one source of time for tick counts, message times, timers, double
// clicks and Now(). Tests advance it by hand; the display host drives it from real time.
#include <cstdint>

#include "platform/rtl/Types.h"

// Milliseconds since the clock started (wraps like the system tick count).
uint32_t GetTickCount();
// Local date and time of the clock.
TDateTime ClockNow();

namespace VirtualClock {
// Moves time forward by `ms` milliseconds.
void Advance(uint32_t ms);
// Sets the current date and time and the current tick count.
void Set(TDateTime now, uint32_t tickCount = 0);
// Follows the real monotonic clock from now on (the display host uses this); Advance still adds.
void UseRealTime(bool on);
// Moves the date and time to the system's local date and time, keeping the tick count: with a
// display, Now, Date and the calendars' today are the user's. Tests keep the fixed start.
void SetToSystemTime();
// The system's local date and time (the operating system's clock and time zone).
TDateTime SystemLocalTime();
}  // namespace VirtualClock
