// Fuzz target for the base grid's painting: the input is a script of user actions
// (tests/grid/foundation/GridPaintScript.h) on the compact grid (a small window with narrow
// cells keeps each paint cheap). Two setup bytes choose the grid's bands, pixel
// scrolling, strips, line width and reading order; then every two bytes are one step (its
// kind, its argument), at most kMaxSteps of them. After every step the window must show what
// a full repaint shows (tests/support/PaintOracle.h); a mismatch prints the report and the
// steps and aborts, leaving actual/expected PNG files beside the program.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/vcl/VclTesting.h"
#include "tests/grid/foundation/GridPaintScript.h"

namespace {

// Keeps one input short: every step repaints the window twice, which takes a while in the
// instrumented build, and a few steps from a fresh compact grid reach every band's repaint.
constexpr size_t kMaxSteps = 5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  ResetVcl();
  {
    grid_paint_script::TSetup setup = grid_paint_script::TSetup::FromBytes(data[0], data[1]);
    setup.Compact = true;
    grid_paint_script::TScript script(setup);
    for (size_t i = 2, steps = 0; i + 1 < size && steps < kMaxSteps; i += 2, ++steps) {
      const std::string report = script.Step(data[i], data[i + 1]);
      if (!report.empty()) {
        std::fprintf(stderr, "paint oracle mismatch\n%ssteps:\n%s", report.c_str(), script.History().c_str());
        std::abort();
      }
    }
  }
  ResetVcl();
  return 0;
}
