#pragma once
// TEvent<Sig>: the class library's method pointer. It calls like a std::function, tests as
// "assigned" with operator bool, and compares by identity: two events are equal when they
// call the same member function on the same object (or are copies of one callable).
#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>

// Who an event calls: the object, the member function (its bytes), or a serial number
// given to a plain callable when it is first wrapped.
struct TMethodIdentity {
  const void* Data = nullptr;
  std::array<unsigned char, 2 * sizeof(void*)> Code{};
  uint64_t Serial = 0;
  bool operator==(const TMethodIdentity&) const = default;
};

uint64_t NextEventSerial();

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
 public:
  using Function = std::function<R(A...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TEvent> &&
                                              std::is_invocable_r_v<R, F&, A...>>>
  TEvent(F f) : fn_(std::move(f)) {
    id_.Serial = NextEventSerial();
  }

  // Binds a member function; `name` is its published name, used when the event streams.
  template <class C, class Obj>
  static TEvent Method(Obj* obj, R (C::*method)(A...), std::string name = {}) {
    TEvent e;
    C* target = obj;
    e.fn_ = [target, method](A... a) -> R { return (target->*method)(std::forward<A>(a)...); };
    e.id_.Data = static_cast<const void*>(target);
    static_assert(sizeof(method) <= sizeof(e.id_.Code), "member pointer too large");
    std::memcpy(e.id_.Code.data(), &method, sizeof(method));
    e.name_ = std::move(name);
    return e;
  }

  explicit operator bool() const { return static_cast<bool>(fn_); }

  // Calling an unassigned event does nothing and answers a default value.
  R operator()(A... a) const {
    if (!fn_) {
      if constexpr (std::is_void_v<R>) {
        return;
      } else {
        return R{};
      }
    }
    return fn_(std::forward<A>(a)...);
  }

  bool operator==(const TEvent& o) const {
    if (!fn_ || !o.fn_) return !fn_ && !o.fn_;
    return id_ == o.id_;
  }
  bool operator==(std::nullptr_t) const { return !fn_; }

  const void* Data() const { return id_.Data; }
  const std::string& Name() const { return name_; }
  const TMethodIdentity& Identity() const { return id_; }

 private:
  Function fn_;
  TMethodIdentity id_;
  std::string name_;
};

class TObject;
using TNotifyEvent = TEvent<void(TObject* Sender)>;
