#pragma once
// Storage property interceptors: objects that expose pseudo-properties of a target so that
// a stored layout can be written and read back, registered per component class.
#include <functional>
#include <memory>
#include <type_traits>

#include "platform/rtl/Classes.h"

class TStoragePropertyInterceptor : public TPersistent {
  RTL_CLASS(TStoragePropertyInterceptor, TPersistent)
 public:
  explicit TStoragePropertyInterceptor(TObject* ATarget) : target_(ATarget) {}
  TObject* Target() const { return target_; }
  // Applies to the target what was read; nothing in the base.
  virtual void ApplyProperties() {}

 private:
  TObject* target_;
};

// An interceptor class: its class reference and its virtual constructor.
struct TStoragePropertyInterceptorClass {
  TClass Class = nullptr;
  std::function<std::unique_ptr<TStoragePropertyInterceptor>(TObject* Target)> Create;

  template <class I>
  static TStoragePropertyInterceptorClass Of() {
    static_assert(std::is_base_of_v<TStoragePropertyInterceptor, I>);
    return {I::StaticClass(), [](TObject* Target) { return std::make_unique<I>(Target); }};
  }
};

// Adds the pair to the registry; an existing entry for ComponentClass is replaced. A null
// class or an interceptor class without a constructor raises EInvalidOperation.
void RegisterStoragePropertyInterceptor(TClass ComponentClass,
                                        const TStoragePropertyInterceptorClass& InterceptorClass);
// Removes the entry of ComponentClass, if any.
void UnregisterStoragePropertyInterceptor(TClass ComponentClass);
// The interceptor class registered for ComponentClass or its nearest registered ancestor;
// nullptr when none.
const TStoragePropertyInterceptorClass* GetStoragePropertyInterceptorClass(TClass ComponentClass);
// A new interceptor over Target by its class's registration; nullptr when none applies.
std::unique_ptr<TStoragePropertyInterceptor> CreateStoragePropertyInterceptor(TObject* Target);
