#pragma once
// Cleanup bound to a scope: state changed for the length of a call is put back on every way
// out, the error path included, without a catch-and-rethrow block at each site.
//
//   DisableAlign();
//   TScopeExit enableAlign([&] { EnableAlign(); });   // runs on return and on exception
//
//   TValueRestorer<bool> keep(updating_, true);        // updating_ = true; old value back at exit
//   TCounterScope depth(changeLevel_);                 // ++changeLevel_; -- at exit
//
//   TScopeFail forget([&] { gCreating = nullptr; });   // only when the scope ends by an exception
//
// When the scope ends by an exception and the cleanup raises as well, the first exception
// goes on and the cleanup's is dropped: two in flight at once would end the program.
#include <exception>
#include <utility>

namespace scope_guard_detail {

// Runs F, dropping what it raises while another exception is already unwinding the stack.
template <class F>
void RunCleanup(F& Action, int UncaughtAtEntry) {
  if (std::uncaught_exceptions() > UncaughtAtEntry) {
    try {
      Action();
    } catch (...) {  // the exception that is unwinding takes precedence
    }
  } else {
    Action();
  }
}

}  // namespace scope_guard_detail

// Runs the action when the scope ends, however it ends, unless dismissed.
template <class F>
class [[nodiscard]] TScopeExit {
 public:
  explicit TScopeExit(F Action) : action_(std::move(Action)), uncaught_(std::uncaught_exceptions()) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;
  ~TScopeExit() noexcept(false) {
    if (active_) scope_guard_detail::RunCleanup(action_, uncaught_);
  }
  // The cleanup is no longer needed (the work was handed on).
  void Dismiss() { active_ = false; }

 private:
  F action_;
  int uncaught_;
  bool active_ = true;
};

// Runs the action only when the scope ends by an exception: the rollback of a step that, on
// success, stays done.
template <class F>
class [[nodiscard]] TScopeFail {
 public:
  explicit TScopeFail(F Action) : action_(std::move(Action)), uncaught_(std::uncaught_exceptions()) {}
  TScopeFail(const TScopeFail&) = delete;
  TScopeFail& operator=(const TScopeFail&) = delete;
  ~TScopeFail() {
    if (std::uncaught_exceptions() <= uncaught_) return;
    try {
      action_();
    } catch (...) {  // the exception that is unwinding takes precedence
    }
  }

 private:
  F action_;
  int uncaught_;
};

// Puts a variable (a flag, a pointer, a mode) back to the value it had when the scope began.
template <class T>
class [[nodiscard]] TValueRestorer {
 public:
  explicit TValueRestorer(T& Target) : target_(Target), saved_(Target) {}
  // Sets Target to NewValue for the length of the scope.
  TValueRestorer(T& Target, T NewValue)
      : target_(Target), saved_(std::exchange(Target, std::move(NewValue))) {}
  TValueRestorer(const TValueRestorer&) = delete;
  TValueRestorer& operator=(const TValueRestorer&) = delete;
  ~TValueRestorer() { target_ = std::move(saved_); }

 private:
  T& target_;
  T saved_;
};

// Counts a nesting level up for the length of the scope (re-entrancy and update counters).
template <class T>
class [[nodiscard]] TCounterScope {
 public:
  explicit TCounterScope(T& Counter) : counter_(Counter) { ++counter_; }
  TCounterScope(const TCounterScope&) = delete;
  TCounterScope& operator=(const TCounterScope&) = delete;
  ~TCounterScope() { --counter_; }

 private:
  T& counter_;
};
