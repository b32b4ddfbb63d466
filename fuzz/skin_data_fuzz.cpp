// Arbitrary bytes as a window description holding a TSkinData, and the same bytes as the
// SkinStream of a TSkinData that holds a good skin. Reading may refuse with an exception of the
// class library, never crash; afterwards the held skin is either the new one, loaded whole, or
// the old one, intact: name, elements, colours, bytes and Empty. Inputs above kMaxInput are
// skipped: a small skin reaches every section, and a load's time grows with the skin.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/win/MessageBox.h"
#include "skin/WinSkinData.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

constexpr size_t kMaxInput = 8 * 1024;

std::string Str(const std::string& Text) {
  return std::string(1, static_cast<char>(Text.size())) + Text;
}

std::string Le32(uint32_t Value) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &Value, 4);
  return bytes;
}

// A binary description of one TSkinData whose SkinStream carries Skin.
std::string DescriptionWithSkin(const std::string& Skin) {
  const std::string block = Le32(static_cast<uint32_t>(Skin.size())) + Skin;
  return "TPF0" + Str("TSkinData") + Str("Held") + Str("SkinStream") + '\x0A' +
         Le32(static_cast<uint32_t>(block.size())) + block + std::string(2, '\0');
}

void Read(const std::string& Description, TSkinData& Into) {
  TStringStream in(Description);
  try {
    in.ReadComponent(&Into);
  } catch (const Exception&) {
  }
}

std::string Held(const TSkinData& Data) {
  TMemoryStream* s = Data.SkinStream();
  return std::string(reinterpret_cast<const char*>(s->Memory()), static_cast<size_t>(s->Size()));
}

const std::string& GoodSkin() {
  static const std::string skin =
      PackSkin({{"skin.ini", "[TitlebarSkin]\r\nSkinName=Held\r\n[Colours]\r\nButtonFace=10 20 30\r\n"}});
  return skin;
}

TSkinData& HeldData() {
  static TSkinData* data = [] {
    SetMessageBoxScript([](const std::string&, const std::string&, UINT) { return IDOK; });
    auto* d = new TSkinData(nullptr);
    Read(DescriptionWithSkin(GoodSkin()), *d);
    if (d->Empty() || d->SkinName() != "Held") std::abort();
    return d;
  }();
  return *data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  TSkinData& held = HeldData();
  const std::string input(reinterpret_cast<const char*>(data), size);

  {
    TSkinData fresh(nullptr);
    Read(input, fresh);
    // Data that left Empty holds a whole skin and no refusal.
    if (!fresh.Empty() && (fresh.SkinStream()->Size() == 0 || !fresh.LoadError().empty() ||
                           !fresh.Elements()->Left || !fresh.BackgroundBrush()))
      std::abort();
  }

  const TSkinElements* elements = held.Elements();
  const TColor background = elements->BackgroundColour;
  const std::string bytes = Held(held);
  Read(DescriptionWithSkin(input), held);
  if (held.Empty()) std::abort();
  if (held.LoadError().empty() && Held(held) == input && held.Elements() != elements) {
    Read(DescriptionWithSkin(GoodSkin()), held);  // loaded: the next input starts from the good skin
  } else if (held.Elements() != elements || held.SkinName() != "Held" ||
             elements->BackgroundColour != background || Held(held) != bytes) {
    std::abort();
  }
  return 0;
}
