#include "platform/rtl/Resources.h"

#include <cctype>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace {

struct Entry {
  std::shared_ptr<const void> data;
  TResourceFactory factory;
  std::optional<std::type_index> type;
  uint64_t generation = 0;  // tells a factory's late result from a re-registration
};

using Key = std::pair<std::string, std::string>;

struct Registry {
  std::mutex lock;
  std::map<int, std::string> strings;
  std::map<Key, Entry> resources;
  uint64_t generation = 0;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::string Upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

Key MakeKey(std::string_view kind, std::string_view name) {
  return {Upper(kind), Upper(name)};
}

void Store(std::string_view kind, std::string_view name, std::shared_ptr<const void> data,
           TResourceFactory factory, std::optional<std::type_index> type) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  Entry& e = r.resources[MakeKey(kind, name)];
  e.data = std::move(data);
  e.factory = std::move(factory);
  e.type = type;
  e.generation = ++r.generation;
}

// The resource, running its factory when needed, and its registered type.
std::pair<std::shared_ptr<const void>, std::optional<std::type_index>> Lookup(std::string_view kind,
                                                                              std::string_view name) {
  Registry& r = TheRegistry();
  Key key = MakeKey(kind, name);
  TResourceFactory factory;
  uint64_t generation = 0;
  std::optional<std::type_index> type;
  {
    std::lock_guard guard(r.lock);
    auto it = r.resources.find(key);
    if (it == r.resources.end()) return {nullptr, std::nullopt};
    if (it->second.data || !it->second.factory) return {it->second.data, it->second.type};
    factory = it->second.factory;
    generation = it->second.generation;
    type = it->second.type;
  }
  // Outside the lock: a factory may itself look resources up.
  std::shared_ptr<const void> data = factory();
  if (data) {
    std::lock_guard guard(r.lock);
    auto it = r.resources.find(key);
    if (it != r.resources.end() && it->second.generation == generation && !it->second.data)
      it->second.data = data;
  }
  return {data, type};
}

}  // namespace

void RegisterResourceString(int Id, std::string Text) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  r.strings[Id] = std::move(Text);
}

void UnregisterResourceString(int Id) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  r.strings.erase(Id);
}

std::string LoadStr(int Id) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  auto it = r.strings.find(Id);
  return it == r.strings.end() ? std::string{} : it->second;
}

void RegisterResource(std::string_view Kind, std::string_view Name, std::shared_ptr<const void> Data) {
  Store(Kind, Name, std::move(Data), nullptr, std::nullopt);
}

void RegisterResource(std::string_view Kind, std::string_view Name, TResourceFactory Factory) {
  Store(Kind, Name, nullptr, std::move(Factory), std::nullopt);
}

void RegisterResource(std::string_view Kind, std::string_view Name, std::shared_ptr<const void> Data,
                      std::type_index Type) {
  Store(Kind, Name, std::move(Data), nullptr, Type);
}

void RegisterResource(std::string_view Kind, std::string_view Name, TResourceFactory Factory,
                      std::type_index Type) {
  Store(Kind, Name, nullptr, std::move(Factory), Type);
}

bool UnregisterResource(std::string_view Kind, std::string_view Name) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  return r.resources.erase(MakeKey(Kind, Name)) > 0;
}

std::shared_ptr<const void> FindResource(std::string_view Kind, std::string_view Name) {
  return Lookup(Kind, Name).first;
}

std::vector<std::string> ResourceNames(std::string_view Kind) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  std::string kind = Upper(Kind);
  std::vector<std::string> names;
  for (auto it = r.resources.lower_bound({kind, std::string{}});
       it != r.resources.end() && it->first.first == kind; ++it)
    names.push_back(it->first.second);
  return names;
}

std::shared_ptr<const void> rtl_detail::FindTypedResource(std::string_view Kind, std::string_view Name,
                                                          std::type_index Type) {
  auto [data, type] = Lookup(Kind, Name);
  if (type && *type != Type) return nullptr;
  return data;
}
