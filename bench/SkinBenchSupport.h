#pragma once
// What the skin benchmarks share: our packed skins, the virtual clock pumped past the manager's
// activation delay, and controls placed on a parent.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
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

// A skinned benchmark beside its unskinned twin, and the ratio it should stay within.
struct TSkinRatio {
  const char* What;
  const char* Skinned;
  const char* Unskinned;
  double Goal;
};

// Runs the selected benchmarks with the median reporter and prints each pair's ratio; false when
// the command line holds unknown arguments. The reporter stays for the caller's own lines.
// The repetitions of the two sides run interleaved in random order unless the command line says
// otherwise, so a burst of load on the shared machine hits both sides alike.
inline bool RunAndPrintRatios(int argc, char** argv, side_by_side::TMedianReporter& Reporter,
                              std::initializer_list<TSkinRatio> Pairs) {
  // A flag given later wins, so the caller's own setting overrides this default.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> args(argv, argv + argc);
  args.insert(args.begin() + (argc > 0 ? 1 : 0), interleave);
  args.push_back(nullptr);
  int count = static_cast<int>(args.size()) - 1;
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return false;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  std::printf("\n%-26s %12s %12s %8s\n", "skinned / unskinned", "skinned", "unskinned", "ratio");
  for (const TSkinRatio& p : Pairs) {
    const double a = Reporter.TimeOf(p.Skinned), b = Reporter.TimeOf(p.Unskinned);
    if (a > 0 && b > 0) std::printf("%-26s %12.3f %12.3f %8.2f (<= %g)\n", p.What, a, b, a / b, p.Goal);
  }
  return true;
}

// The benchmarks that refused to run, and why.
inline void PrintFailures(const side_by_side::TMedianReporter& Reporter) {
  for (const auto& [name, why] : Reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
}

}  // namespace skin_bench
