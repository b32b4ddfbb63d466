// Window regions on a real X server, read back with xwd: a cut-out corner shows the root window,
// a grown window shows the part of its region it now covers, and clearing the region restores
// the rectangle. Skipped when Xvfb or xwd is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/XwdPicture.h"

namespace {

using namespace std::chrono_literals;

TEST(TWindowShapeTest, TheRegionCutsTheXWindowAndClearingItRestoresTheRectangle) {
  if (const std::string missing = test_support::MissingTool({"Xvfb", "xwd"}); !missing.empty())
    GTEST_SKIP() << missing
                 << " is not installed (scripts/setup.sh installs it); the window-shape test is skipped";
  test_support::TXvfbServer server;
  ASSERT_TRUE(server.Start("640x480")) << "Xvfb did not accept connections on any display from :90";
  WinTesting::ResetWindowManager();
  TScopeExit cleanUp([] { WinTesting::ResetWindowManager(); });  // after the host stops
  test_support::TInProcessHost host;
  ASSERT_TRUE(host.Start(server));
  auto screen = [&] {
    const std::string path = server.Folder() + "/screen.xwd";
    host.Run({"xwd", "-root", "-silent", "-out", path});
    return test_support::ParseXwd(test_support::ReadFile(path)).value_or(test_support::TWindowPixels{});
  };
  const test_support::TWindowPixels bare = screen();
  ASSERT_GT(bare.Width, 0);
  // Points in window coordinates (the window at 100, 100): true for the window's colour, false
  // for the root's pixel there. Answers the points that differ once the wait is over.
  auto mismatches = [&](std::initializer_list<std::pair<POINT, bool>> probes) {
    std::string differ;
    test_support::WaitFor([&] {
      FlushPaint();
      host.Pump(50ms);
      const test_support::TWindowPixels now = screen();
      differ.clear();
      for (const auto& [at, window] : probes) {
        const int x = 100 + at.X, y = 100 + at.Y;
        if (test_support::PixelAt(now, x, y) != (window ? 0xC81E1Eu : test_support::PixelAt(bare, x, y)))
          differ += std::to_string(at.X) + "," + std::to_string(at.Y) + " ";
      }
      return differ.empty();
    });
    return differ;
  };

  WNDCLASSEX wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.hInstance = MainInstance();
  wc.hbrBackground = CreateSolidBrush(RGB(200, 30, 30));
  wc.lpszClassName = "ShapedWindow";
  ASSERT_NE(RegisterClassEx(&wc), 0);
  HWND window = CreateWindowEx(0, "ShapedWindow", "shaped", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150,
                               nullptr, nullptr, MainInstance(), nullptr);
  // A region larger than the window, without its 30 x 30 top-left corner.
  HRGN region = CreateRectRgn(0, 0, 400, 300);
  HRGN corner = CreateRectRgn(0, 0, 30, 30);
  CombineRgn(region, region, corner, RGN_DIFF);
  DeleteObject(corner);
  ASSERT_EQ(SetWindowRgn(window, region, TRUE), 1);
  EXPECT_EQ(mismatches({{{0, 0}, false},
                        {{29, 29}, false},
                        {{30, 0}, true},
                        {{0, 30}, true},
                        {{199, 149}, true},
                        {{200, 150}, false}}),
            "");
  SetWindowPos(window, nullptr, 0, 0, 260, 190, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(mismatches({{{10, 10}, false}, {{259, 189}, true}, {{230, 20}, true}}), "");
  ASSERT_EQ(SetWindowRgn(window, nullptr, TRUE), 1);
  EXPECT_EQ(mismatches({{{0, 0}, true}, {{29, 29}, true}}), "");
}

}  // namespace
