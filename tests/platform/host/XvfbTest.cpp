// The display host in a real X server: starts Xvfb on a free display, runs host_demo through
// it, and checks with the X utilities that the window appears with its size, that a click
// reaches the right child, that the screen shows its pixels, that text travels through the
// CLIPBOARD selection both ways, that the window's names are UTF-8 and its class the program's,
// that a window moved by another client stays where it was put and takes clicks there, and that
// the program sees the server's screen size and the real date. Every wait is bounded, so a
// broken X setup fails instead of hanging. Skipped when Xvfb or the utilities are missing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

std::string Which(const std::string& tool) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = dir + "/" + tool;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Polls `ready` until it holds or `timeout` passes.
bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds timeout = 5s) {
  const auto deadline = TClock::now() + timeout;
  while (TClock::now() < deadline) {
    if (ready()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return ready();
}

// A child process with its output in a file; stopped (and reaped) on destruction.
class TProcess {
 public:
  TProcess(const std::vector<std::string>& argv, const std::string& display, const std::string& output,
           const std::string& input = "") {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.emplace_back(*e);
    env.push_back("DISPLAY=" + display);
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (output + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TProcess() { Stop(); }
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // The exit status once it ended; nullopt while it runs.
  std::optional<int> Exited() {
    if (done_) return status_;
    if (pid_ <= 0) return -1;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      done_ = true;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      return status_;
    }
    return std::nullopt;
  }
  std::optional<int> WaitExit(std::chrono::milliseconds timeout) {
    std::optional<int> code;
    WaitFor([&] { return (code = Exited()).has_value(); }, timeout);
    return code;
  }
  void Stop() {
    if (pid_ <= 0 || Exited()) return;
    kill(pid_, SIGTERM);
    if (!WaitExit(2s)) {
      kill(pid_, SIGKILL);
      WaitExit(2s);
    }
  }

 private:
  pid_t pid_ = -1;
  bool done_ = false;
  int status_ = 0;
};

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
    for (const char* tool : {"xdotool", "xwininfo", "xclip", "xwd", "xprop"})
      if (Which(tool).empty())
        GTEST_SKIP() << tool
                     << " is not installed (scripts/setup.sh installs it); the real-window test is skipped";
    xvfb_ = Which("Xvfb");
    if (xvfb_.empty())
      GTEST_SKIP() << "Xvfb is not installed (scripts/setup.sh installs it); the real-window test is skipped";
    char dir[] = "/tmp/hostxvfbXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    ASSERT_TRUE(StartServer("1280x1024")) << "Xvfb did not accept connections on any display from :90";
  }
  void TearDown() override {
    demo_.reset();
    server_.reset();
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  // A server with one screen of `size` ("WIDTHxHEIGHT"), on the first free display from :90.
  bool StartServer(const std::string& size) {
    for (int n = 90; n < 130; ++n) {
      const std::string display = ":" + std::to_string(n);
      struct stat st;
      if (stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) == 0 ||
          stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) == 0)
        continue;
      server_ = std::make_unique<TProcess>(
          std::vector<std::string>{xvfb_, display, "-screen", "0", size + "x24", "-nolisten", "tcp"}, display,
          dir_ + "/xvfb.log");
      if (!server_->Started()) return false;
      display_ = display;
      if (WaitFor(
              [&] {
                return server_->Exited() || Run({"xwininfo", "-root"}).first == 0;
              },
              10s) &&
          !server_->Exited())
        return true;
      server_.reset();  // taken after all: try the next number
    }
    return false;
  }

  // Runs a utility against the server, bounded; answers the exit code and its output.
  std::pair<int, std::string> Run(const std::vector<std::string>& argv, const std::string& input = "") {
    std::vector<std::string> full = argv;
    full[0] = Which(argv[0]);
    if (full[0].empty()) return {-1, ""};
    const std::string out = dir_ + "/run.out";
    TProcess p(full, display_, out, input);
    const std::optional<int> code = p.WaitExit(5s);
    return {code.value_or(-1), ReadFile(out)};
  }

  std::string DemoOutput() const { return ReadFile(dir_ + "/demo.out"); }
  // Starts host_demo and waits for its window to be mapped; answers the window's id.
  std::string StartDemo() {
    demo_ =
        std::make_unique<TProcess>(std::vector<std::string>{HOST_DEMO_PATH}, display_, dir_ + "/demo.out");
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

  // The pixel of an xwd dump of the root window at (x, y) as 0xRRGGBB; -1 when unreadable.
  static long XwdPixel(const std::string& dump, int x, int y) {
    auto field = [&](size_t index) -> uint32_t {
      const size_t at = index * 4;
      if (dump.size() < at + 4) return 0;
      const auto* b = reinterpret_cast<const unsigned char*>(dump.data() + at);
      return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
    };
    const uint32_t headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7);
    const uint32_t bitsPerPixel = field(11), bytesPerLine = field(12), ncolors = field(19);
    const uint32_t red = field(14), green = field(15), blue = field(16);
    if (bitsPerPixel != 32 || x < 0 || y < 0 || static_cast<uint32_t>(x) >= width ||
        static_cast<uint32_t>(y) >= height)
      return -1;
    const size_t at = headerSize + size_t{ncolors} * 12 + size_t{bytesPerLine} * static_cast<size_t>(y) +
                      static_cast<size_t>(x) * 4;
    if (dump.size() < at + 4) return -1;
    const auto* b = reinterpret_cast<const unsigned char*>(dump.data() + at);
    const uint32_t v = byteOrder == 0
                           ? (uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0])
                           : (uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]);
    auto channel = [v](uint32_t mask) { return mask ? (v & mask) >> __builtin_ctz(mask) : 0; };
    return static_cast<long>((channel(red) << 16) | (channel(green) << 8) | channel(blue));
  }

  std::string xvfb_;
  std::string dir_;
  std::string display_;
  std::unique_ptr<TProcess> server_;
  std::unique_ptr<TProcess> demo_;
};

TEST_F(THostXvfbTest, ShowsClicksPaintsAndSharesTheClipboard) {
  demo_ = std::make_unique<TProcess>(std::vector<std::string>{HOST_DEMO_PATH}, display_, dir_ + "/demo.out");
  ASSERT_TRUE(demo_->Started());
  ASSERT_TRUE(DemoSaid("ready")) << DemoOutput() << ReadFile(dir_ + "/demo.out.err");

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
  const std::string dumpPath = dir_ + "/screen.xwd";
  {
    TProcess xwd({Which("xwd"), "-root", "-silent", "-out", dumpPath}, display_, dir_ + "/xwd.out");
    ASSERT_EQ(xwd.WaitExit(5s).value_or(-1), 0);
  }
  const std::string dump = ReadFile(dumpPath);
  EXPECT_EQ(XwdPixel(dump, left + 290, top + 90), 0x1E78E6L);
  EXPECT_EQ(XwdPixel(dump, left + 90, top + 90), 0xDC2828L);

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
  const std::string inputPath = dir_ + "/clip.in";
  std::ofstream(inputPath) << "from xclip \xE2\x9C\x93";
  TProcess owner({Which("xclip"), "-quiet", "-i", "-selection", "clipboard"}, display_, dir_ + "/xclip.out",
                 inputPath);
  ASSERT_TRUE(WaitFor([&] {
    return Run({"xclip", "-o", "-selection", "clipboard"}).second == "from xclip \xE2\x9C\x93";
  }));
  ASSERT_EQ(Run({"xdotool", "key", "v"}).first, 0);
  EXPECT_TRUE(DemoSaid("paste from xclip \xE2\x9C\x93")) << DemoOutput();

  ASSERT_EQ(Run({"xdotool", "key", "q"}).first, 0);
  EXPECT_EQ(demo_->WaitExit(5s).value_or(-1), 0) << DemoOutput();
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
    const std::string dumpPath = dir_ + "/moved.xwd";
    EXPECT_TRUE(WaitFor([&] {
      TProcess xwd({Which("xwd"), "-root", "-silent", "-out", dumpPath}, display_, dir_ + "/xwd.out");
      xwd.WaitExit(5s);
      return XwdPixel(ReadFile(dumpPath), m.x + 290, m.y + 90) == 0x1E78E6L;
    }));
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
    server_.reset();
    ASSERT_TRUE(StartServer(c.size));
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
