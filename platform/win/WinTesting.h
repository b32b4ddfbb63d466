#pragma once
// Test support for the window manager: conveniences over the raw input entry points
// (Input.h), scripted steps for the headless event source, the beep count, fixed system
// metrics, and a clean state between tests.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/win/Windows.h"

namespace WinTesting {

// A move to the point, then a press and a release there.
void Click(POINT screen, int button = VK_LBUTTON);
void KeyPress(int vk);  // down and up
// Presses the US-layout keys for each character (with Shift where needed) and injects the
// characters the layout lacks directly. "\n" presses Return.
void Type(const std::string& utf8);

// Headless source: steps run one at a time when a loop would otherwise wait. A step with a
// delay first lets that much virtual time pass (timers falling due earlier fire first).
void Schedule(std::function<void()> step, uint32_t delayMs = 0);
size_t ScheduledSteps();

// MessageBeep calls since the last reset.
int BeepCount();

// Back to a clean state between tests: destroys every window, removes hooks, timers, queued
// messages and input, releases focus, capture and activation, clears the key state, the
// scheduled steps and the beep count, unregisters the program's classes, and resets system
// metrics and parameters. The virtual clock keeps running.
void ResetWindowManager();

}  // namespace WinTesting

// Fixed system metrics for tests; ResetSystemMetrics restores the table.
void SetSystemMetricForTest(int index, int value);
void ResetSystemMetrics();
