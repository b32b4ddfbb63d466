#include "grid/data/PropFilerEh.h"

#include <vector>

#include "platform/rtl/Exceptions.h"

RTL_IMPLEMENT_CLASS(TStoragePropertyInterceptor)

namespace {

struct TInterceptorEntry {
  TClass ComponentClass;
  TStoragePropertyInterceptorClass InterceptorClass;
};

// Made on first use; lives for the program.
std::vector<TInterceptorEntry>& Registry() {
  static std::vector<TInterceptorEntry> registry;
  return registry;
}

}  // namespace

void RegisterStoragePropertyInterceptor(TClass ComponentClass,
                                        const TStoragePropertyInterceptorClass& InterceptorClass) {
  if (ComponentClass == nullptr || InterceptorClass.Class == nullptr || !InterceptorClass.Create)
    throw EInvalidOperation("Invalid storage property interceptor registration");
  for (TInterceptorEntry& e : Registry())
    if (e.ComponentClass == ComponentClass) {
      e.InterceptorClass = InterceptorClass;
      return;
    }
  Registry().push_back({ComponentClass, InterceptorClass});
}

void UnregisterStoragePropertyInterceptor(TClass ComponentClass) {
  auto& r = Registry();
  std::erase_if(r, [&](const TInterceptorEntry& e) { return e.ComponentClass == ComponentClass; });
}

const TStoragePropertyInterceptorClass* GetStoragePropertyInterceptorClass(TClass ComponentClass) {
  for (TClass c = ComponentClass; c != nullptr; c = c->Parent)
    for (const TInterceptorEntry& e : Registry())
      if (e.ComponentClass == c) return &e.InterceptorClass;
  return nullptr;
}

std::unique_ptr<TStoragePropertyInterceptor> CreateStoragePropertyInterceptor(TObject* Target) {
  if (Target == nullptr) return nullptr;
  const TStoragePropertyInterceptorClass* cls = GetStoragePropertyInterceptorClass(Target->ClassType());
  return cls != nullptr ? cls->Create(Target) : nullptr;
}
