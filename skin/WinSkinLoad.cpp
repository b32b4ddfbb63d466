// The load sequence: container, ini text, sections, into a fresh element set.
#include <memory>
#include <string>

#include "platform/rtl/Streams.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinIni.h"

bool LoadSkinElements(TStream* Skin, std::unique_ptr<TSkinElements>& Out, std::string& Reason) {
  TSkinReader reader;
  if (!reader.LoadSkinContainer(Skin)) {
    Reason = reader.Refusal();
    return false;
  }
  TMemoryStream entry;
  std::string iniName;
  reader.ReadEntryContaining(".ini", &entry, iniName);
  if (entry.Size() == 0) {
    Reason = kSkinNoIni;
    return false;
  }
  TQuickIni ini;
  entry.SetPosition(0);
  ini.LoadFromStream(&entry);
  // Read into a set of its own: the caller's elements stay as they are until it swaps.
  auto elements = std::make_unique<TSkinElements>();
  if (!ReadSkinSections(reader, ini, *elements, Reason)) return false;
  Out = std::move(elements);
  return true;
}
