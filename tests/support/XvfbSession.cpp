#include "tests/support/XvfbSession.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace test_support {

using namespace std::chrono_literals;

std::string Which(const std::string& Tool) {
  if (Tool.find('/') != std::string::npos) return access(Tool.c_str(), X_OK) == 0 ? Tool : "";
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = dir + "/" + Tool;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::string MissingTool(std::initializer_list<const char*> Tools) {
  for (const char* tool : Tools)
    if (Which(tool).empty()) return tool;
  return "";
}

std::string ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WaitFor(const std::function<bool()>& Ready, std::chrono::milliseconds Timeout) {
  const auto deadline = std::chrono::steady_clock::now() + Timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (Ready()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return Ready();
}

// --- TProcess -------------------------------------------------------------------------------------

TProcess::TProcess(const std::vector<std::string>& Argv, const std::string& Display,
                   const std::string& Output, const std::string& Input) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.emplace_back(*e);
  env.push_back("DISPLAY=" + Display);
  std::vector<char*> args, envp;
  for (const auto& a : Argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, Input.empty() ? "/dev/null" : Input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, Output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (Output + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  if (Argv.empty() || posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
    pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
}

std::optional<int> TProcess::Exited() {
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

std::optional<int> TProcess::WaitExit(std::chrono::milliseconds Timeout) {
  std::optional<int> code;
  WaitFor([&] { return (code = Exited()).has_value(); }, Timeout);
  return code;
}

void TProcess::Stop() {
  if (pid_ <= 0 || Exited()) return;
  kill(pid_, SIGTERM);
  if (!WaitExit(2s)) {
    kill(pid_, SIGKILL);
    WaitExit(2s);
  }
}

// --- TXvfbServer ----------------------------------------------------------------------------------

TXvfbServer::TXvfbServer() {
  char dir[] = "/tmp/xvfbtestXXXXXX";
  if (mkdtemp(dir)) folder_ = dir;
}

TXvfbServer::~TXvfbServer() {
  Stop();
  std::error_code ec;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

bool TXvfbServer::Start(const std::string& Size, int FirstDisplay) {
  Stop();
  const std::string xvfb = Which("Xvfb");
  if (xvfb.empty() || folder_.empty()) return false;
  // Test programs run side by side, each starting servers: each begins its search at a number of
  // its own, so two of them rarely race for the same display.
  const int first = FirstDisplay + static_cast<int>(getpid() % 64) * 2;
  for (int n = first; n < first + 40; ++n) {
    const std::string number = std::to_string(n);
    const std::string lock = "/tmp/.X" + number + "-lock";
    struct stat st;
    if (stat(("/tmp/.X11-unix/X" + number).c_str(), &st) == 0 || stat(lock.c_str(), &st) == 0) continue;
    display_ = ":" + number;
    // -noreset: by default the server resets whenever its last client leaves (each xwd or xwininfo
    // run), and a program connecting during that reset is refused.
    server_ =
        std::make_unique<TProcess>(std::vector<std::string>{xvfb, display_, "-screen", "0", Size + "x24",
                                                            "-nolisten", "tcp", "-noreset"},
                                   display_, folder_ + "/xvfb.log");
    if (!server_->Started()) break;
    // The lock file holds the owner's process id, right-aligned in eleven characters.
    auto ours = [&] { return std::atol(ReadFile(lock).c_str()) == static_cast<long>(server_->Pid()); };
    const bool up = WaitFor(
        [&] {
          return server_->Exited() || (ours() && Run({"xwininfo", "-root"}).first == 0);
        },
        10s);
    if (up && !server_->Exited()) return true;
    server_.reset();  // taken after all: try the next number
  }
  display_.clear();
  return false;
}

void TXvfbServer::Stop() {
  server_.reset();
}

std::pair<int, std::string> TXvfbServer::Run(const std::vector<std::string>& Argv, const std::string& Input,
                                             std::chrono::milliseconds Timeout) {
  if (Argv.empty()) return {-1, ""};
  std::vector<std::string> full = Argv;
  full[0] = Which(Argv[0]);
  if (full[0].empty()) return {-1, ""};
  const std::string out = folder_ + "/run.out";
  TProcess p(full, display_, out, Input);
  const std::optional<int> code = p.WaitExit(Timeout);
  if (!code) p.Stop();
  return {code.value_or(-1), ReadFile(out)};
}

std::unique_ptr<TProcess> TXvfbServer::Spawn(const std::vector<std::string>& Argv, const std::string& Name,
                                             const std::string& Input) {
  std::vector<std::string> full = Argv;
  if (!full.empty()) full[0] = Which(Argv[0]);
  return std::make_unique<TProcess>(full, display_, folder_ + "/" + Name + ".out", Input);
}

}  // namespace test_support
