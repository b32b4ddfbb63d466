// The display host in a real X server: starts Xvfb on a free display, runs host_demo through
// it, and checks with the X utilities that the window appears with its size, that a click
// reaches the right child, that the screen shows its pixels, that text travels through the
// CLIPBOARD selection both ways, that the window's names are UTF-8 and its class the program's,
// that a window moved by another client stays where it was put and takes clicks there, and that
// the program sees the server's screen size and the real date. Every wait is bounded, so a
// broken X setup fails instead of hanging. Skipped when Xvfb or the utilities are missing.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/XvfbSession.h"
#include "tests/support/XwdPicture.h"

namespace {

using namespace std::chrono_literals;
using test_support::TProcess;
using test_support::WaitFor;

size_t CountOf(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

// Today in the local zone, as "yyyy-mm-dd".
std::string LocalDate() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return text;
}

class THostXvfbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string missing =
        test_support::MissingTool({"Xvfb", "xdotool", "xwininfo", "xclip", "xwd", "xprop"});
    if (!missing.empty())
      GTEST_SKIP() << missing
                   << " is not installed (scripts/setup.sh installs it); the real-window test is skipped";
    ASSERT_TRUE(server_.Start("1280x1024")) << "Xvfb did not accept connections on any display from :90";
  }
  void TearDown() override { demo_.reset(); }

  // Runs a utility against the server, bounded; answers the exit code and its output.
  std::pair<int, std::string> Run(const std::vector<std::string>& argv, const std::string& input = "") {
    return server_.Run(argv, input);
  }

  std::string DemoOutput() const { return server_.OutputOf("demo"); }
  void SpawnDemo() { demo_ = server_.Spawn({HOST_DEMO_PATH, server_.Folder()}, "demo"); }
  // Starts host_demo and waits for its window to be mapped; answers the window's id.
  std::string StartDemo() {
    SpawnDemo();
    if (!demo_->Started() || !DemoSaid("ready")) return "";
    std::string id;
    WaitFor([&] {
      auto [code, out] = Run({"xdotool", "search", "--name", "^HostDemo$"});
      id = code == 0 ? out.substr(0, out.find('\n')) : "";
      return !id.empty() && Run({"xwininfo", "-id", id}).second.find("IsViewable") != std::string::npos;
    });
    return id;
  }
  // The value of one demo line "<key> <rest>" (the first such line), or "".
  std::string DemoLine(const std::string& key) {
    const std::string out = DemoOutput();
    const size_t at = out.find(key + " ");
    if (at == std::string::npos) return "";
    const size_t end = out.find('\n', at);
    return out.substr(at + key.size() + 1,
                      end == std::string::npos ? std::string::npos : end - at - key.size() - 1);
  }
  bool DemoSaid(const std::string& line, std::chrono::milliseconds timeout = 5s) {
    return WaitFor([&] { return DemoOutput().find(line + "\n") != std::string::npos; }, timeout);
  }

  // "Absolute upper-left X:  100" and the like from xwininfo.
  static int Field(const std::string& info, const std::string& name) {
    const size_t at = info.find(name);
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
  }

  // The screen's pixel at (x, y) as 0xRRGGBB, from an xwd dump of the root window; -1 when
  // the dump failed.
  long ScreenPixel(int x, int y) {
    const std::string path = server_.Folder() + "/screen.xwd";
    if (Run({"xwd", "-root", "-silent", "-out", path}).first != 0) return -1;
    const auto picture = test_support::ParseXwd(test_support::ReadFile(path));
    return picture ? static_cast<long>(test_support::PixelAt(*picture, x, y)) : -1;
  }

  test_support::TXvfbServer server_;
  std::unique_ptr<TProcess> demo_;
};

TEST_F(THostXvfbTest, ShowsClicksPaintsAndSharesTheClipboard) {
  SpawnDemo();
  ASSERT_TRUE(demo_->Started());
  ASSERT_TRUE(DemoSaid("ready")) << DemoOutput() << server_.ErrorsOf("demo");

  // The window appears where and as large as the program made it.
  std::string info;
  ASSERT_TRUE(WaitFor([&] {
    auto [code, out] = Run({"xwininfo", "-name", "HostDemo"});
    info = out;
    return code == 0 && info.find("Map State: IsViewable") != std::string::npos;
  })) << info;
  EXPECT_EQ(Field(info, "Width:"), 400) << info;
  EXPECT_EQ(Field(info, "Height:"), 300) << info;
  const int left = Field(info, "Absolute upper-left X:");
  const int top = Field(info, "Absolute upper-left Y:");
  EXPECT_EQ(left, 100);
  EXPECT_EQ(top, 100);

  // A click well inside the right child (whatever the frame metrics) reaches that child.
  ASSERT_EQ(
      Run({"xdotool", "mousemove", std::to_string(left + 290), std::to_string(top + 90), "click", "1"}).first,
      0);
  ASSERT_TRUE(WaitFor([&] { return DemoOutput().find("click right ") != std::string::npos; }))
      << DemoOutput();
  EXPECT_EQ(DemoOutput().find("click left"), std::string::npos);

  // The screen shows the painted pixels: the right child's blue and the left child's red.
  EXPECT_EQ(ScreenPixel(left + 290, top + 90), 0x1E78E6L);
  EXPECT_EQ(ScreenPixel(left + 90, top + 90), 0xDC2828L);

  // Out: the program copies, xclip reads the text and sees the CSV target.
  ASSERT_EQ(Run({"xdotool", "key", "c"}).first, 0);
  ASSERT_TRUE(DemoSaid("copied")) << DemoOutput();
  auto [code, pasted] = Run({"xclip", "-o", "-selection", "clipboard"});
  EXPECT_EQ(code, 0);
  EXPECT_EQ(pasted,
            "Gr\xC3\xBC\xC3\x9F"
            "e from the grid");
  auto [tcode, targets] = Run({"xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"});
  EXPECT_NE(targets.find("text/csv"), std::string::npos) << targets;
  EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
  EXPECT_EQ(Run({"xclip", "-o", "-selection", "clipboard", "-t", "text/csv"}).second, "a,b\r\n1,2\r\n");

  // In: xclip owns the clipboard, the program pastes its text.
  const std::string inputPath = server_.Folder() + "/clip.in";
  std::ofstream(inputPath) << "from xclip \xE2\x9C\x93";
  const auto owner = server_.Spawn({"xclip", "-quiet", "-i", "-selection", "clipboard"}, "xclip", inputPath);
  ASSERT_TRUE(WaitFor([&] {
    return Run({"xclip", "-o", "-selection", "clipboard"}).second == "from xclip \xE2\x9C\x93";
  }));
  ASSERT_EQ(Run({"xdotool", "key", "v"}).first, 0);
  EXPECT_TRUE(DemoSaid("paste from xclip \xE2\x9C\x93")) << DemoOutput();

  ASSERT_EQ(Run({"xdotool", "key", "q"}).first, 0);
  EXPECT_EQ(demo_->WaitExit(5s).value_or(-1), 0) << DemoOutput();
}

// Texts larger than one X request travel incrementally both ways, whole and byte for byte:
// 40 MiB copied by the program reach xclip, 17 MiB written by xclip reach the program.
TEST_F(THostXvfbTest, LargeTextsTravelIncrementallyBothWays) {
  const std::string id = StartDemo();
  ASSERT_FALSE(id.empty()) << DemoOutput();
  // Lines with multi-byte characters, so that chunk boundaries fall inside characters too.
  auto text = [](size_t size, const std::string& tag) {
    std::string t;
    for (int i = 0; t.size() < size; ++i) t += tag + " " + std::to_string(i) + " \xE8\xB4\xA6\xE6\x88\xB7\n";
    return t;
  };
  const std::string out = text(40u << 20, "out");
  std::ofstream(server_.Folder() + "/big.in", std::ios::binary) << out;
  ASSERT_EQ(Run({"xdotool", "key", "--window", id, "b"}).first, 0);
  ASSERT_TRUE(DemoSaid("copied big " + std::to_string(out.size()), 10s)) << DemoOutput();
  auto [code, read] = server_.Run({"xclip", "-o", "-selection", "clipboard"}, "", 60s);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(read.size(), out.size());
  EXPECT_TRUE(read == out);

  const std::string in = text(17u << 20, "in");
  const std::string inputPath = server_.Folder() + "/clip.in";
  std::ofstream(inputPath, std::ios::binary) << in;
  const auto owner = server_.Spawn({"xclip", "-quiet", "-i", "-selection", "clipboard"}, "xclip", inputPath);
  ASSERT_TRUE(WaitFor(
      [&] {
        return server_.Run({"xclip", "-o", "-selection", "clipboard"}, "", 20s).second == in;
      },
      30s));
  ASSERT_EQ(Run({"xdotool", "key", "--window", id, "p"}).first, 0);
  ASSERT_TRUE(DemoSaid("pasted " + std::to_string(in.size()), 30s)) << DemoOutput();
  EXPECT_TRUE(test_support::ReadFile(server_.Folder() + "/paste.out") == in);
}

// A peer that stops half way costs the program a bounded wait, never a hang: a requestor that
// never takes its chunks is dropped while others are served, an owner that never sends its
// chunks leaves the clipboard as it was.
TEST_F(THostXvfbTest, AStalledPeerCostsATimeoutNeverAHang) {
  const std::string id = StartDemo();
  ASSERT_FALSE(id.empty()) << DemoOutput();
  const std::string big(20u << 20, 'x');
  std::ofstream(server_.Folder() + "/big.in", std::ios::binary) << big;
  ASSERT_EQ(Run({"xdotool", "key", "--window", id, "b"}).first, 0);
  ASSERT_TRUE(DemoSaid("copied big " + std::to_string(big.size()), 10s)) << DemoOutput();

  const auto reader = server_.Spawn({X_STALLED_PEER_PATH, "read"}, "reader");
  ASSERT_TRUE(WaitFor([&] { return server_.OutputOf("reader") == "incr\n"; })) << server_.ErrorsOf("reader");
  auto [code, read] = server_.Run({"xclip", "-o", "-selection", "clipboard"}, "", 30s);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(read == big) << read.size();
  EXPECT_TRUE(WaitFor(
      [&] {
        Run({"xdotool", "key", "--window", id, "r"});  // any event lets the host look at its transfers
        return server_.ErrorsOf("demo").find("stopped reading") != std::string::npos;
      },
      10s))
      << server_.ErrorsOf("demo");

  const auto owner = server_.Spawn({X_STALLED_PEER_PATH, "own"}, "owner");
  ASSERT_TRUE(WaitFor([&] { return server_.OutputOf("owner") == "owner\n"; })) << server_.ErrorsOf("owner");
  const auto asked = std::chrono::steady_clock::now();
  ASSERT_EQ(Run({"xdotool", "key", "--window", id, "p"}).first, 0);
  EXPECT_TRUE(DemoSaid("pasted " + std::to_string(big.size()), 10s)) << DemoOutput();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 8s);
  EXPECT_EQ(server_.OutputOf("owner"), "owner\nanswered\n");
  EXPECT_NE(server_.ErrorsOf("demo").find("stopped sending after 0 bytes"), std::string::npos)
      << server_.ErrorsOf("demo");
}

// Read with xprop: the title as UTF-8 under both name properties, the icon name likewise, and
// the class after the program; a new title travels the same way.
TEST_F(THostXvfbTest, NamesAreUtf8AndTheClassIsTheProgram) {
  const std::string id = StartDemo();
  ASSERT_FALSE(id.empty()) << DemoOutput();
  struct Case {
    const char* property;
    std::string expected;  // xprop's line after "<property>"
  };
  const std::string wide = "\"HostDemo \xE8\xB4\xA6\xE6\x88\xB7 \xE2\x9C\x93\"";
  const Case before[] = {
      {"WM_NAME", "(UTF8_STRING) = \"HostDemo\""},
      {"_NET_WM_NAME", "(UTF8_STRING) = \"HostDemo\""},
      {"WM_ICON_NAME", "(UTF8_STRING) = \"HostDemo\""},
      {"_NET_WM_ICON_NAME", "(UTF8_STRING) = \"HostDemo\""},
      {"WM_CLASS", "(STRING) = \"host_demo\", \"Host_demo\""},
  };
  const Case after[] = {
      {"WM_NAME", "(UTF8_STRING) = " + wide},
      {"_NET_WM_NAME", "(UTF8_STRING) = " + wide},
      {"WM_ICON_NAME", "(UTF8_STRING) = " + wide},
      {"_NET_WM_ICON_NAME", "(UTF8_STRING) = " + wide},
  };
  auto check = [&](const Case& c) {
    SCOPED_TRACE(c.property);
    auto [code, out] = Run({"xprop", "-id", id, c.property});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, std::string(c.property) + c.expected + "\n");
  };
  for (const Case& c : before) check(c);
  ASSERT_EQ(Run({"xdotool", "key", "--window", id, "t"}).first, 0);
  ASSERT_TRUE(DemoSaid("titled")) << DemoOutput();
  ASSERT_TRUE(WaitFor([&] {
    return Run({"xprop", "-id", id, "WM_NAME"}).second.find("UTF8") != std::string::npos &&
           Run({"xprop", "-id", id, "WM_NAME"}).second.find("\xE2\x9C\x93") != std::string::npos;
  }));
  for (const Case& c : after) check(c);
}

// Another client moves the window (as a window manager or xdotool does): it stays where it was
// put, shows its pixels there, and a click there reaches the child under the pointer.
TEST_F(THostXvfbTest, AWindowMovedByAnotherClientStaysAndTakesClicksThere) {
  const std::string id = StartDemo();
  ASSERT_FALSE(id.empty()) << DemoOutput();
  struct Move {
    int x, y;
  };
  const Move moves[] = {{600, 500}, {20, 700}, {-50, -40}};
  for (const Move& m : moves) {
    SCOPED_TRACE(std::to_string(m.x) + "," + std::to_string(m.y));
    ASSERT_EQ(Run({"xdotool", "windowmove", "--sync", id, std::to_string(m.x), std::to_string(m.y)}).first,
              0);
    // The program's window manager follows: its rectangle is the X window's.
    const std::string expected = std::to_string(m.x) + " " + std::to_string(m.y) + " " +
                                 std::to_string(m.x + 400) + " " + std::to_string(m.y + 300);
    ASSERT_TRUE(WaitFor([&] {
      if (Run({"xdotool", "key", "--window", id, "r"}).first != 0) return false;
      std::this_thread::sleep_for(100ms);
      const std::string out = DemoOutput();
      return out.rfind("rect " + expected + "\n") != std::string::npos;
    })) << DemoOutput();
    // Still mapped, still where it was put.
    std::string info = Run({"xwininfo", "-id", id}).second;
    EXPECT_NE(info.find("Map State: IsViewable"), std::string::npos) << info;
    EXPECT_EQ(Field(info, "Absolute upper-left X:"), m.x) << info;
    EXPECT_EQ(Field(info, "Absolute upper-left Y:"), m.y) << info;
    // The screen shows the right child at its new place, and a click there reaches it.
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(m.x + 290, m.y + 90) == 0x1E78E6L; }));
    const size_t clicksBefore = CountOf(DemoOutput(), "click right ");
    ASSERT_EQ(Run({"xdotool", "mousemove", std::to_string(m.x + 290), std::to_string(m.y + 90), "click", "1"})
                  .first,
              0);
    EXPECT_TRUE(WaitFor([&] { return CountOf(DemoOutput(), "click right ") == clicksBefore + 1; }))
        << DemoOutput();
  }
  EXPECT_EQ(DemoOutput().find("click left"), std::string::npos) << DemoOutput();
}

// The program sees the server's screen, whatever its size, and maximising fills it; its clock
// starts at the real local date.
TEST_F(THostXvfbTest, TheProgramSeesTheServersScreenAndTheRealDate) {
  struct Case {
    const char* size;
    int width, height;
  };
  const Case cases[] = {{"1280x1024", 1280, 1024}, {"1024x768", 1024, 768}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    demo_.reset();
    ASSERT_TRUE(server_.Start(c.size));
    const std::string today = LocalDate();
    const std::string id = StartDemo();
    ASSERT_FALSE(id.empty()) << DemoOutput();
    const std::string w = std::to_string(c.width), h = std::to_string(c.height);
    EXPECT_EQ(DemoLine("screen"), w + " " + h + " work 0 0 " + w + " " + h);
    const std::string reported = DemoLine("today");
    EXPECT_TRUE(reported == today || reported == LocalDate()) << reported;  // midnight may pass
    ASSERT_EQ(Run({"xdotool", "key", "--window", id, "m"}).first, 0);
    ASSERT_TRUE(DemoSaid("maximized")) << DemoOutput();
    // The sizing frame (4 px) lies outside the screen; the client and caption fill it.
    std::string info;
    EXPECT_TRUE(WaitFor([&] {
      info = Run({"xwininfo", "-id", id}).second;
      return Field(info, "Width:") == c.width + 8;
    })) << info;
    EXPECT_EQ(Field(info, "Height:"), c.height + 8) << info;
    EXPECT_EQ(Field(info, "Absolute upper-left X:"), -4) << info;
    EXPECT_EQ(Field(info, "Absolute upper-left Y:"), -4) << info;
  }
}

// A window manager publishes a work area (a panel on top): the program follows it while it
// runs, and maximising fills the work area, not the screen.
TEST_F(THostXvfbTest, TheProgramFollowsTheWorkAreaAWindowManagerPublishes) {
  const std::string id = StartDemo();
  ASSERT_FALSE(id.empty()) << DemoOutput();
  ASSERT_EQ(
      Run({"xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA", "0,24,1280,1000"}).first,
      0);
  ASSERT_TRUE(WaitFor([&] {
    if (Run({"xdotool", "key", "--window", id, "w"}).first != 0) return false;
    std::this_thread::sleep_for(100ms);
    return DemoOutput().find("screen 1280 1024 work 0 24 1280 1024\n") != std::string::npos;
  })) << DemoOutput();
  ASSERT_EQ(Run({"xdotool", "key", "--window", id, "m"}).first, 0);
  ASSERT_TRUE(DemoSaid("maximized")) << DemoOutput();
  std::string info;
  EXPECT_TRUE(WaitFor([&] {
    info = Run({"xwininfo", "-id", id}).second;
    return Field(info, "Absolute upper-left Y:") == 20;
  })) << info;
  EXPECT_EQ(Field(info, "Absolute upper-left X:"), -4) << info;
  EXPECT_EQ(Field(info, "Width:"), 1288) << info;
  EXPECT_EQ(Field(info, "Height:"), 1008) << info;
}

}  // namespace
