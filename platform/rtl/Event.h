#pragma once
// TEvent<Sig>: the class library's method pointer. It calls like a std::function, tests as
// "assigned" with operator bool, and compares by identity: two events are equal when they
// call the same member function on the same object (or are copies of one callable).
//
// Copies share the callable, and a call holds a reference to it while it runs: a handler may
// clear or replace its own event (OnChange = nullptr inside OnChange) without destroying the
// closure it is running in. Calling takes no allocation, only a reference count.
#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
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

namespace rtl_detail {
template <class F>
struct IsStdFunction : std::false_type {};
template <class Sig>
struct IsStdFunction<std::function<Sig>> : std::true_type {};
}  // namespace rtl_detail

template <class R, class... A>
class TEvent<R(A...)> {
 public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TEvent> &&
                                              std::is_invocable_r_v<R, F&, A...>>>
  TEvent(F f) {
    // What std::function treats as empty stays unassigned here too.
    if constexpr (std::is_pointer_v<F> || std::is_member_pointer_v<F> || rtl_detail::IsStdFunction<F>::value)
      if (!f) return;
    fn_ = std::make_shared<Callable<F>>(std::move(f));
    id_.Serial = NextEventSerial();
  }

  // Binds a member function; `name` is its published name, used when the event streams.
  template <class C, class Obj>
  static TEvent Method(Obj* obj, R (C::*method)(A...), std::string name = {}) {
    TEvent e;
    C* target = obj;
    auto call = [target, method](A... a) -> R { return (target->*method)(std::forward<A>(a)...); };
    e.fn_ = std::make_shared<Callable<decltype(call)>>(std::move(call));
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
    const std::shared_ptr<CallableBase> keep = fn_;  // the handler may clear this event
    return keep->Invoke(std::forward<A>(a)...);
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
  struct CallableBase {
    virtual ~CallableBase() = default;
    virtual R Invoke(A... a) = 0;
  };
  template <class F>
  struct Callable final : CallableBase {
    explicit Callable(F f) : fn(std::move(f)) {}
    R Invoke(A... a) override {
      if constexpr (std::is_void_v<R>)
        std::invoke(fn, std::forward<A>(a)...);
      else
        return std::invoke(fn, std::forward<A>(a)...);
    }
    F fn;
  };

  std::shared_ptr<CallableBase> fn_;
  TMethodIdentity id_;
  std::string name_;
};

class TObject;
using TNotifyEvent = TEvent<void(TObject* Sender)>;
