// Atom tables: the global and local tables of the program, and the user table shared by
// window messages, window classes and clipboard formats. String atoms run from 0xC000 to
// 0xFFFF and ignore ASCII case; "#123" names the integer atom 123 (1..0xBFFF), which is
// never stored.
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/win/WindowManager.h"

namespace {

constexpr ATOM kFirstStringAtom = 0xC000;
constexpr size_t kMaxAtoms = 0x4000;
constexpr size_t kMaxAtomName = 255;

std::string Fold(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

// "#123" → 123; 0 when the name is not an integer atom, or is out of range.
ATOM IntegerAtom(const std::string& name, bool& isInteger) {
  isInteger = false;
  if (name.size() < 2 || name[0] != '#') return 0;
  uint32_t v = 0;
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    v = v * 10 + static_cast<uint32_t>(name[i] - '0');
    if (v > 0xFFFF) break;
  }
  isInteger = true;
  return v >= 1 && v < kFirstStringAtom ? static_cast<ATOM>(v) : 0;
}

class TAtomTable {
 public:
  ATOM Add(const std::string& name, bool permanent) {
    bool isInteger;
    ATOM a = IntegerAtom(name, isInteger);
    if (isInteger) return a;
    if (name.empty() || name.size() > kMaxAtomName) return 0;
    const std::string key = Fold(name);
    auto it = index_.find(key);
    if (it != index_.end()) {
      TEntry& e = *entries_[it->second];
      if (permanent)
        e.Permanent = true;
      else
        ++e.Refs;
      return static_cast<ATOM>(kFirstStringAtom + it->second);
    }
    size_t slot = entries_.size();
    for (size_t i = 0; i < entries_.size(); ++i)
      if (!entries_[i]) {
        slot = i;
        break;
      }
    if (slot >= kMaxAtoms) return 0;
    if (slot == entries_.size()) entries_.emplace_back();
    entries_[slot] = TEntry{name, permanent ? 0 : 1, permanent};
    index_.emplace(key, slot);
    return static_cast<ATOM>(kFirstStringAtom + slot);
  }

  ATOM Find(const std::string& name) const {
    bool isInteger;
    ATOM a = IntegerAtom(name, isInteger);
    if (isInteger) return a;
    auto it = index_.find(Fold(name));
    return it == index_.end() ? 0 : static_cast<ATOM>(kFirstStringAtom + it->second);
  }

  // True when the atom existed (integer atoms always do).
  bool Delete(ATOM atom) {
    if (atom == 0) return false;
    if (atom < kFirstStringAtom) return true;
    TEntry* e = Lookup(atom);
    if (!e) return false;
    if (e->Permanent) return true;
    if (--e->Refs <= 0) {
      index_.erase(Fold(e->Name));
      entries_[atom - kFirstStringAtom].reset();
    }
    return true;
  }

  // nullopt for an unknown atom.
  std::optional<std::string> Name(ATOM atom) const {
    if (atom == 0) return std::nullopt;
    if (atom < kFirstStringAtom) return "#" + std::to_string(atom);
    const TEntry* e = const_cast<TAtomTable*>(this)->Lookup(atom);
    if (!e) return std::nullopt;
    return e->Name;
  }

  void Clear() {
    entries_.clear();
    index_.clear();
  }

 private:
  struct TEntry {
    std::string Name;
    int Refs = 0;
    bool Permanent = false;
  };

  TEntry* Lookup(ATOM atom) {
    if (atom < kFirstStringAtom) return nullptr;
    size_t i = atom - kFirstStringAtom;
    if (i >= entries_.size() || !entries_[i]) return nullptr;
    return &*entries_[i];
  }

  std::vector<std::optional<TEntry>> entries_;
  std::unordered_map<std::string, size_t> index_;
};

TAtomTable& GlobalTable() {
  static TAtomTable* t = new TAtomTable;
  return *t;
}
TAtomTable& LocalTable() {
  static TAtomTable* t = new TAtomTable;
  return *t;
}
TAtomTable& UserTable() {
  static TAtomTable* t = new TAtomTable;
  return *t;
}

UINT CopyName(const std::optional<std::string>& name, char* buffer, int bufferSize) {
  if (!name) {
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(win_internal::CopyTextToBuffer(*name, buffer, bufferSize));
}

}  // namespace

ATOM GlobalAddAtom(const std::string& name) {
  return GlobalTable().Add(name, false);
}
ATOM GlobalFindAtom(const std::string& name) {
  return GlobalTable().Find(name);
}
ATOM GlobalDeleteAtom(ATOM atom) {
  return GlobalTable().Delete(atom) ? 0 : atom;
}
UINT GlobalGetAtomName(ATOM atom, char* buffer, int bufferSize) {
  return CopyName(GlobalTable().Name(atom), buffer, bufferSize);
}
std::string GlobalGetAtomName(ATOM atom) {
  return GlobalTable().Name(atom).value_or("");
}

ATOM AddAtom(const std::string& name) {
  return LocalTable().Add(name, false);
}
ATOM FindAtom(const std::string& name) {
  return LocalTable().Find(name);
}
ATOM DeleteAtom(ATOM atom) {
  return LocalTable().Delete(atom) ? 0 : atom;
}
UINT GetAtomName(ATOM atom, char* buffer, int bufferSize) {
  return CopyName(LocalTable().Name(atom), buffer, bufferSize);
}

UINT RegisterWindowMessage(const std::string& name) {
  bool isInteger;
  IntegerAtom(name, isInteger);
  if (isInteger) return 0;  // only string atoms make message numbers
  return UserTable().Add(name, true);
}

namespace win_internal {

ATOM UserAtomAdd(const std::string& name) {
  return UserTable().Add(name, false);
}
ATOM UserAtomFind(const std::string& name) {
  return UserTable().Find(name);
}
std::string UserAtomName(ATOM atom) {
  return UserTable().Name(atom).value_or("");
}
void UserAtomRelease(ATOM atom) {
  UserTable().Delete(atom);
}

void ResetProcessAtoms() {
  GlobalTable().Clear();
  LocalTable().Clear();
}

}  // namespace win_internal
