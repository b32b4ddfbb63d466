// Arbitrary bytes as a skin file through the whole load: decoding, container, ini text, sections
// with their derived images, bitmap entries. A refusal must carry a reason and leave the
// caller's elements alone; an accepted skin must hold every element a load always makes.
// Inputs above kMaxInput are skipped: a small skin reaches every section, and a load's time
// grows with the skin.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/rtl/Streams.h"
#include "platform/win/MessageBox.h"
#include "skin/WinSkinIni.h"

namespace {
constexpr size_t kMaxInput = 8 * 1024;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  static const bool answered = [] {
    SetMessageBoxScript([](const std::string&, const std::string&, UINT) { return IDOK; });
    return true;
  }();
  (void)answered;
  TStringStream skin(std::string(reinterpret_cast<const char*>(data), size));
  auto held = std::make_unique<TSkinElements>();
  const TSkinElements* before = held.get();
  std::string reason;
  if (!LoadSkinElements(&skin, held, reason)) {
    if (reason.empty() || held.get() != before) std::abort();
    return 0;
  }
  if (!held || held.get() == before || !held->Left || !held->Title || !held->Buttons) std::abort();
  for (const TDataSkinObject* element : held->Elements())
    if (element == nullptr) std::abort();
  return 0;
}
