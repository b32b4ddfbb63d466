#pragma once
// What the skin benchmarks share: our packed skins, the virtual clock pumped past the manager's
// activation delay, and controls placed on a parent.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/rtl/Clock.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

namespace skin_bench {

inline constexpr uint32_t kActionWait = 260;  // the manager applies an activation after 250 ms

// The bytes of one of our packed skins (OUR_SKINS_DIR is given by the build).
inline std::string ReadOurSkin(const std::string& Name) {
  std::ifstream in(std::string(OUR_SKINS_DIR) + "/" + Name + ".skn", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Ms of virtual time in steps of 10, the queue emptied after each.
inline void Pump(uint32_t Ms) {
  for (uint32_t i = 0; i <= Ms; i += 10) {
    VirtualClock::Advance(10);
    Application->ProcessMessages();
  }
}

template <class T>
T* Place(TWinControl* Parent, int X, int Y, int W, int H) {
  auto* control = new T(Parent);
  control->SetParent(Parent);
  control->SetBounds(X, Y, W, H);
  return control;
}

}  // namespace skin_bench
