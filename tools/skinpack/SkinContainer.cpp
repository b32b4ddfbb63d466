// The skin container: laying entries out for the reader, and reading a skin file back through it.
#include <cstdint>
#include <cstring>
#include <limits>
#include <set>

#include "platform/rtl/Streams.h"
#include "skin/SkinRead.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

void AppendInt32(std::string& Out, int32_t Value) {
  const auto bits = static_cast<uint32_t>(Value);
  for (int i = 0; i < 4; ++i) Out.push_back(static_cast<char>(bits >> (8 * i)));
}

int32_t CheckedSize(size_t Size, const std::string& What) {
  if (Size > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw ESkinPackError(What + " is too large for a skin");
  return static_cast<int32_t>(Size);
}

}  // namespace

std::string BuildSkinContainer(const TSkinEntries& Entries) {
  if (Entries.size() > static_cast<size_t>(TSkinReader::kMaxEntries))
    throw ESkinPackError("A skin holds at most " + std::to_string(TSkinReader::kMaxEntries) + " entries");
  std::string names;
  for (const auto& [name, bytes] : Entries) {
    // The name block is one name a line: an empty last name would not count as a line at all.
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos)
      throw ESkinPackError("Entry name \"" + name + "\" cannot stand on a line of its own");
    if (!names.empty()) names += "\r\n";
    names += name;
  }
  std::string container;
  AppendInt32(container, kSkinVersion);
  AppendInt32(container, CheckedSize(names.size(), "The name block"));
  AppendInt32(container, 0);
  AppendInt32(container, 0);
  container += names;
  for (const auto& [name, bytes] : Entries)
    AppendInt32(container, CheckedSize(bytes.size(), "Entry " + name));
  for (const auto& [name, bytes] : Entries) container += bytes;
  return container;
}

std::string PackSkin(const TSkinEntries& Entries, TLzhPackMode Mode) {
  return PackLzh(BuildSkinContainer(Entries), Mode);
}

TSkinEntries UnpackSkin(const std::string& SkinFile) {
  // The reader answers another version with a message box; a tool has nobody to click it, so
  // that refusal is found here first.
  std::string decoded;
  const TLzhStatus status =
      LzhDecode(reinterpret_cast<const uint8_t*>(SkinFile.data()), SkinFile.size(), decoded);
  if (status == TLzhStatus::Complete || status == TLzhStatus::ReadPastInput) {
    int32_t version = 0;
    if (decoded.size() >= sizeof(version)) std::memcpy(&version, decoded.data(), sizeof(version));
    if (version != kSkinVersion) throw ESkinPackError(kSkinOldVersion);
  }
  TSkinReader reader;
  TStringStream input(SkinFile);
  if (!reader.LoadSkinContainer(&input)) throw ESkinPackError(reader.Refusal());
  // Names differing only in case resolve to the first of them, so only that one is reachable.
  TSkinEntries entries;
  std::set<std::string> seen;
  TMemoryStream bytes;
  for (int i = 0; i < reader.EntryCount(); ++i) {
    const std::string name = reader.Names().Strings(i);
    if (!seen.insert(name).second) continue;
    reader.ReadEntry(name, &bytes);
    std::string data(static_cast<size_t>(bytes.Size()), '\0');
    bytes.ReadBuffer(data.data(), bytes.Size());
    entries.emplace_back(name, std::move(data));
  }
  return entries;
}
