#include "platform/rtl/Object.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/rtl/Exceptions.h"

namespace {

// Identifiers (class, property and enumeration names) compare without regard to ASCII case.
bool SameIdent(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string UpperIdent(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::map<std::string, TClass>& Registry() {
  static std::map<std::string, TClass> registry;
  return registry;
}

}  // namespace

uint64_t NextEventSerial() {
  static uint64_t serial = 0;
  return ++serial;
}

int TEnumInfo::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameIdent(Names[i], name)) return static_cast<int>(i);
  return -1;
}

std::string TEnumInfo::NameOf(int value) const {
  if (value < 0 || static_cast<size_t>(value) >= Names.size()) return {};
  return Names[static_cast<size_t>(value)];
}

bool TIdentMap::ToIdent(int64_t value, std::string& ident) const {
  for (const Entry& e : Entries)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

bool TIdentMap::ToInt(std::string_view ident, int64_t& value) const {
  for (const Entry& e : Entries)
    if (SameIdent(e.Name, ident)) {
      value = e.Value;
      return true;
    }
  return false;
}

bool TPropInfo::IsWritable() const {
  switch (Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet:
      return static_cast<bool>(SetOrd);
    case TTypeKind::tkFloat:
      return static_cast<bool>(SetFloat);
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
      return static_cast<bool>(SetStr);
    case TTypeKind::tkWString:
      return static_cast<bool>(SetWStr);
    case TTypeKind::tkClass:
      return static_cast<bool>(SetObj);
    case TTypeKind::tkMethod:
      return static_cast<bool>(SetMethod);
    case TTypeKind::tkVariant:
      return static_cast<bool>(SetVar);
    default:
      return false;
  }
}

bool TClassInfo::InheritsFrom(TClass other) const {
  for (TClass c = this; c; c = c->Parent)
    if (c == other) return true;
  return false;
}

bool TClassInfo::InheritsFrom(std::string_view name) const {
  for (TClass c = this; c; c = c->Parent)
    if (SameIdent(c->Name, name)) return true;
  return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
  for (TClass c = this; c; c = c->Parent)
    for (const TPropInfo& p : c->Props)
      if (SameIdent(p.Name, name)) return &p;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
  std::vector<TClass> chain;
  for (TClass c = this; c; c = c->Parent) chain.push_back(c);
  std::vector<const TPropInfo*> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    for (const TPropInfo& p : (*it)->Props) {
      // A redeclared property replaces the ancestor's at the ancestor's position.
      auto same = std::find_if(out.begin(), out.end(), [&](const TPropInfo* q) { return SameIdent(q->Name, p.Name); });
      if (same != out.end())
        *same = &p;
      else
        out.push_back(&p);
    }
  return out;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
  for (TClass c = this; c; c = c->Parent)
    for (const TMethodInfo& m : c->Methods)
      if (SameIdent(m.Name, name)) return &m;
  return nullptr;
}

TClass TObject::StaticClass() {
  static const TClassInfo info = [] {
    TClassInfo i;
    i.Name = "TObject";
    i.Create = [](TObject*) -> TObject* { return new TObject(); };
    return i;
  }();
  return &info;
}

std::string TObject::ClassName() const { return ClassType()->Name; }
TClass TObject::ClassParent() const { return ClassType()->Parent; }
bool TObject::InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
bool TObject::InheritsFrom(std::string_view className) const { return ClassType()->InheritsFrom(className); }
bool TObject::GetInterface(const TGUID&, void*&) { return false; }

void TObject::Free() {
  BeforeDestruction();
  delete this;
}

void RegisterClass(TClass c) {
  if (c) Registry()[UpperIdent(c->Name)] = c;
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass c) {
  if (!c) return;
  auto it = Registry().find(UpperIdent(c->Name));
  if (it != Registry().end() && it->second == c) Registry().erase(it);
}

TClass GetClass(std::string_view name) {
  auto it = Registry().find(UpperIdent(name));
  return it == Registry().end() ? nullptr : it->second;
}

TClass FindClass(std::string_view name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound("Class " + std::string(name) + " not found");
  return c;
}
