// The input packed by our compressor as a skin of two entries, so that mutations reach the ini
// reader, the sections and the BMP reader rather than dying in the decoder. Input: a 16-bit
// little-endian length n, n bytes of ini text (entry "skin.ini"), then the bytes of "a.bmp".
// The packed skin must load or be refused with a reason; a refusal must not be "truncated" or
// "malformed", since our own packer wrote the file. Inputs above kMaxInput are skipped: a small
// skin reaches every section, and a load's time grows with the skin.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/rtl/Streams.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinIni.h"
#include "tools/skinpack/SkinPacker.h"

namespace {
constexpr size_t kMaxInput = 8 * 1024;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > kMaxInput) return 0;
  const size_t iniLength = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
  const char* bytes = reinterpret_cast<const char*>(data) + 2;
  const TSkinEntries entries = {{"skin.ini", std::string(bytes, iniLength)},
                                {"a.bmp", std::string(bytes + iniLength, size - 2 - iniLength)}};
  TStringStream skin(PackSkin(entries, TLzhPackMode::Literal));
  std::unique_ptr<TSkinElements> elements;
  std::string reason;
  if (LoadSkinElements(&skin, elements, reason)) {
    if (!elements) std::abort();
  } else if (reason.empty() || reason == kSkinTruncated || reason == kSkinMalformed) {
    std::abort();
  }
  return 0;
}
