// TSkinData's loading: the SkinStream property, SkinFile and LoadSkin. Every load decodes into
// temporaries and commits stream, elements, brush and Empty only on success.
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinStore.h"

bool TSkinData::LoadSkin() {
  // Decode a copy: a refusal must leave the held bytes as they are, and Commit takes the copy.
  auto candidate = std::make_unique<TMemoryStream>();
  candidate->CopyFrom(skinStream_.get(), 0);
  return LoadSkinFrom(std::move(candidate));
}

bool TSkinData::LoadSkinFrom(std::unique_ptr<TMemoryStream> Candidate) {
  Candidate->SetPosition(0);
  std::unique_ptr<TSkinElements> decoded;
  std::string reason;
  if (!LoadSkinElements(Candidate.get(), decoded, reason)) {
    loadError_ = reason;
    return false;
  }
  Candidate->SetPosition(0);
  skinStream_ = std::move(Candidate);
  // The forms' caption buttons point into the old elements: they are rebuilt from the new ones
  // before the old ones go.
  std::unique_ptr<TSkinElements> old = std::exchange(elements_, std::move(decoded));
  empty_ = false;
  loadError_.clear();
  MakeBackgroundBrush();
  ReloadForms();
  return true;
}

void TSkinData::MakeBackgroundBrush() {
  if (backgroundBrush_) DeleteObject(backgroundBrush_);
  backgroundBrush_ = CreateSolidBrush(ResolveSkinColor(elements_->BackgroundColour));
}

void TSkinData::SetSkinFile(const std::string& Value) {
  skinFile_ = Value;
  if (!FileExists(Value)) {
    loadError_ = kSkinFileMissing;
    return;
  }
  // A name from a description may point at a device or a huge file: only a regular file that
  // could hold a skin is read.
  std::error_code error;
  const std::filesystem::path path(Value);
  if (!std::filesystem::is_regular_file(path, error) ||
      std::filesystem::file_size(path, error) > kSkinMaxDecodedSize || error) {
    loadError_ = kSkinFileUnreadable;
    return;
  }
  auto candidate = std::make_unique<TMemoryStream>();
  try {
    candidate->LoadFromFile(Value);
  } catch (const Exception&) {
    loadError_ = kSkinFileUnreadable;
    return;
  }
  if (!LoadSkinFrom(std::move(candidate))) return;
  // While a description is read, its Loaded does the activation that a change would ask for.
  if (skinFormtype_ == sfMainform && !ComponentState().Contains(csLoading)) RequestReapply();
}

// Always written, also when empty: a 32-bit length and then the skin file's bytes.
void TSkinData::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineBinaryProperty(
      "SkinStream", [this](TStream& s) { ReadSkinStream(s); }, [this](TStream& s) { WriteSkinStream(s); },
      true);
}

void TSkinData::ReadSkinStream(TStream& Stream) {
  int32_t length = 0;
  Stream.ReadBuffer(&length, sizeof(length));
  if (length < 0) throw EReadError(kSkinStreamBadLength);
  if (length == 0) return;
  if (length > Stream.Size() - Stream.Position()) throw EReadError(kSkinStreamBadLength);
  auto candidate = std::make_unique<TMemoryStream>();
  candidate->CopyFrom(&Stream, length);
  LoadSkinFrom(std::move(candidate));
}

void TSkinData::WriteSkinStream(TStream& Stream) {
  const auto length = static_cast<int32_t>(skinStream_->Size());
  Stream.WriteBuffer(&length, sizeof(length));
  if (length > 0) Stream.WriteBuffer(skinStream_->Memory(), length);
}
