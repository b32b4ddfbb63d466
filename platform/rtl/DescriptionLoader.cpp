// Loading window descriptions into existing roots, and the registry of descriptions by root
// class that InitInheritedComponent reads from (the stand-in for descriptions linked into
// the program as resources).
#include <map>
#include <mutex>

#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct TDescriptionRegistry {
  std::mutex Lock;
  std::map<std::string, std::string> Texts;  // by upper-case class name
};

TDescriptionRegistry& Registry() {
  static TDescriptionRegistry registry;
  return registry;
}

bool FindDescription(const std::string& ClassName, std::string& Text) {
  TDescriptionRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  auto it = r.Texts.find(UpperCase(ClassName));
  if (it == r.Texts.end()) return false;
  Text = it->second;
  return true;
}

// The class named in the description's root header, leaving the stream where it was.
std::string RootClassName(TStream& Stream) {
  int64_t start = Stream.Position();
  std::string className;
  {
    TReader reader(Stream, 512);
    reader.ReadSignature();
    TFilerFlags flags;
    int childPos = 0;
    reader.ReadPrefix(flags, childPos);
    className = reader.ReadStr();
  }
  Stream.SetPosition(start);
  return className;
}

}  // namespace

void ReadComponentFromBinary(TStream& Stream, TComponent* Root) {
  if (!Root) throw EReadError("Invalid stream format");
  std::string className = RootClassName(Stream);
  // A root loads its own class's description and those of its ancestors.
  if (!Root->InheritsFrom(className))
    throw EReadError("Description of " + className + " cannot be loaded into " + Root->ClassName());
  TReader reader(Stream, 4096);
  reader.ReadRootComponent(Root);
}

void ReadComponentFromText(const std::string& Text, TComponent* Root) {
  TStringStream text(Text);
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  ReadComponentFromBinary(binary, Root);
}

void RegisterDescription(const std::string& ClassName, const std::string& Text) {
  TDescriptionRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  r.Texts[UpperCase(ClassName)] = Text;
}

void UnregisterDescription(const std::string& ClassName) {
  TDescriptionRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  r.Texts.erase(UpperCase(ClassName));
}

bool InitInheritedComponent(TComponent* Root) {
  std::vector<TClass> chain;  // the root's class first, its ancestors after
  for (TClass c = Root->ClassType(); c; c = c->Parent) chain.push_back(c);
  auto loadAll = [&] {
    bool any = false;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      std::string text;
      if (!FindDescription((*it)->Name, text)) continue;
      ReadComponentFromText(text, Root);
      any = true;
    }
    return any;
  };
  // Already loading (a root read inside another description): Loaded comes with that read.
  if (Root->ComponentState().Contains(csLoading)) return loadAll();
  BeginGlobalLoading();
  TScopeExit endLoading([] { EndGlobalLoading(); });
  bool any = loadAll();
  NotifyGlobalLoading();
  return any;
}
