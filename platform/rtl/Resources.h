#pragma once
// The process-wide resource registry that stands in for resources linked into the program:
// a string table by number and named resources by kind ("BITMAP", "CURSOR", ...). The layers
// above register what they ship; tests register doubles. Kinds and names ignore ASCII case.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

// --- string table ------------------------------------------------------------------------

void RegisterResourceString(int Id, std::string Text);
void UnregisterResourceString(int Id);
// "" when no string has that number.
std::string LoadStr(int Id);

// --- named resources ---------------------------------------------------------------------

using TResourceFactory = std::function<std::shared_ptr<const void>()>;

// Registers (or replaces) a resource. `Type` names the C++ type the data points to, so that
// FindResourceAs can refuse a mismatch; the untyped overloads leave it unchecked.
void RegisterResource(std::string_view Kind, std::string_view Name, std::shared_ptr<const void> Data);
// The factory runs on the first FindResource; its result is kept. A factory that answers
// nullptr is asked again next time.
void RegisterResource(std::string_view Kind, std::string_view Name, TResourceFactory Factory);
void RegisterResource(std::string_view Kind, std::string_view Name, std::shared_ptr<const void> Data,
                      std::type_index Type);
void RegisterResource(std::string_view Kind, std::string_view Name, TResourceFactory Factory,
                      std::type_index Type);
// False when nothing was registered under that kind and name.
bool UnregisterResource(std::string_view Kind, std::string_view Name);

// nullptr when missing.
std::shared_ptr<const void> FindResource(std::string_view Kind, std::string_view Name);
// The names registered for a kind (upper case, sorted).
std::vector<std::string> ResourceNames(std::string_view Kind);

// Typed registration and lookup. FindResourceAs answers nullptr when the resource is missing
// or was registered with another type.
template <class T>
void RegisterResourceAs(std::string_view Kind, std::string_view Name, std::shared_ptr<const T> Data) {
  RegisterResource(Kind, Name, std::shared_ptr<const void>(std::move(Data)), std::type_index(typeid(T)));
}

template <class T>
void RegisterResourceFactoryAs(std::string_view Kind, std::string_view Name,
                               std::function<std::shared_ptr<const T>()> Factory) {
  RegisterResource(
      Kind, Name, TResourceFactory([f = std::move(Factory)]() -> std::shared_ptr<const void> { return f(); }),
      std::type_index(typeid(T)));
}

namespace rtl_detail {
// The resource and whether its registered type (if any) is `Type`.
std::shared_ptr<const void> FindTypedResource(std::string_view Kind, std::string_view Name,
                                              std::type_index Type);
}  // namespace rtl_detail

template <class T>
std::shared_ptr<const T> FindResourceAs(std::string_view Kind, std::string_view Name) {
  return std::static_pointer_cast<const T>(
      rtl_detail::FindTypedResource(Kind, Name, std::type_index(typeid(T))));
}
