// The skin container reader: decodes a skin, checks every field of the container before it
// trusts it, and hands out entries by name.
#include "skin/SkinRead.h"

#include <cstring>
#include <string_view>

#include "platform/rtl/Consistency.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/MessageBox.h"

RTL_IMPLEMENT_CLASS(TSkinReader)

namespace {

constexpr int64_t kContainerHeaderSize = 16;

int32_t ReadContainerInt(const std::string& Bytes, int64_t Offset) {
  uint32_t value = 0;
  std::memcpy(&value, Bytes.data() + Offset, sizeof(value));  // little-endian, as the file
  return static_cast<int32_t>(value);
}

// The lines a string list makes of Text (CR LF, CR and LF each end one; a final break adds
// none), counted without building them, so that a block of a million breaks costs no list.
int64_t CountNameLines(std::string_view Text) {
  int64_t lines = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] != '\r' && Text[i] != '\n') continue;
    ++lines;
    if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
  }
  const bool openLast = !Text.empty() && Text.back() != '\r' && Text.back() != '\n';
  return lines + (openLast ? 1 : 0);
}

void ShowOldSkinVersionMessage() {
  if (Application != nullptr)
    Application->MessageBox(kSkinOldVersionMessage, Application->Title(), MB_OK);
  else
    MessageBox(HWND{}, kSkinOldVersionMessage, "", MB_OK);
}

}  // namespace

bool TSkinReader::Refuse(const char* Reason) {
  refusal_ = Reason;
  return false;
}

bool TSkinReader::LoadSkinContainer(TStream* Skin) {
  refusal_.clear();
  std::string container;
  const TLzhStatus status = LzhDecode(Skin, container);
  if (status == TLzhStatus::SizeTooLarge) return Refuse(kSkinTooLarge);
  if (status == TLzhStatus::NoSizeField || status == TLzhStatus::SizeBeyondInput)
    return Refuse(kSkinTruncated);
  const int64_t size = static_cast<int64_t>(container.size());

  // A short container reads as zeros, so a skin of S = 0 fails here as another version.
  std::array<int32_t, 4> header{};
  std::memcpy(header.data(), container.data(),
              static_cast<size_t>(std::min<int64_t>(size, kContainerHeaderSize)));
  if (header[0] != kSkinVersion) {
    ShowOldSkinVersionMessage();
    return Refuse(kSkinOldVersion);
  }
  if (status == TLzhStatus::ReadPastInput) return Refuse(kSkinTruncated);

  const int64_t nameLength = header[1];
  if (size < kContainerHeaderSize || nameLength < 0 || kContainerHeaderSize + nameLength > size)
    return Refuse(kSkinMalformed);
  const std::string_view nameBlock(container.data() + kContainerHeaderSize, size_t(nameLength));
  if (CountNameLines(nameBlock) > kMaxEntries) return Refuse(kSkinTooManyEntries);
  TStringList names;
  names.SetText(LowerCase(std::string(nameBlock)));
  const int count = names.Count();

  const int64_t sizeTable = kContainerHeaderSize + nameLength;
  const int64_t entryArea = sizeTable + 4 * int64_t(count);
  if (entryArea > size) return Refuse(kSkinMalformed);
  std::array<int32_t, kMaxEntries> sizes{};
  int64_t total = 0;
  for (int i = 0; i < count; ++i) {
    sizes[size_t(i)] = ReadContainerInt(container, sizeTable + 4 * int64_t(i));
    if (sizes[size_t(i)] < 0) return Refuse(kSkinMalformed);
    total += sizes[size_t(i)];
  }
  if (total > size - entryArea) return Refuse(kSkinMalformed);

  // Everything checked: take the container over.
  names_.Assign(&names);
  count_ = count;
  sizes_ = sizes;
  header_ = header;
  entries_.Clear();
  entries_.SetSize(size - entryArea);
  if (size > entryArea)
    std::memcpy(entries_.Memory(), container.data() + entryArea, size_t(size - entryArea));
  entries_.SetPosition(0);
  entryAreaSize_ = size - entryArea;
  DEBUG_CHECK_CONSISTENCY(*this);
  return true;
}

void TSkinReader::CopyEntry(int Index, int64_t Offset, TMemoryStream* Out) const {
  const int32_t size = sizes_[size_t(Index)];
  Out->SetSize(size);
  if (size > 0) std::memcpy(Out->Memory(), entries_.Memory() + Offset, size_t(size));
  Out->SetPosition(0);
}

void TSkinReader::ReadEntry(const std::string& Name, TMemoryStream* Out) const {
  Out->Clear();
  const std::string wanted = LowerCase(Name);
  int64_t offset = 0;
  for (int i = 0; i < count_; ++i) {
    if (names_.Strings(i) == wanted) return CopyEntry(i, offset, Out);
    offset += sizes_[size_t(i)];
  }
}

void TSkinReader::ReadEntryContaining(const std::string& Text, TMemoryStream* Out, std::string& Name) const {
  Out->Clear();
  if (Text.empty()) return;  // an empty text is contained nowhere, as the system's substring search has it
  int64_t offset = 0;
  for (int i = 0; i < count_; ++i) {
    std::string name = names_.Strings(i);
    if (name.find(Text) != std::string::npos) {
      CopyEntry(i, offset, Out);
      Name = std::move(name);
      return;
    }
    offset += sizes_[size_t(i)];
  }
}

// Rules: the name list holds EntryCount names, at most kMaxEntries; sizes are not negative and
// together fit the entry area.
void TSkinReader::CheckConsistency() const {
  CheckRule(count_ >= 0 && count_ <= kMaxEntries, "TSkinReader", "entry count out of range");
  CheckRule(names_.Count() == count_, "TSkinReader", "name list and entry count differ");
  int64_t total = 0;
  for (int i = 0; i < count_; ++i) {
    CheckRule(sizes_[size_t(i)] >= 0, "TSkinReader", "negative entry size", "entry", i);
    total += sizes_[size_t(i)];
  }
  CheckRule(total <= entryAreaSize_, "TSkinReader", "entries run past the entry area");
}
