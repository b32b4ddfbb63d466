#pragma once
// Programs in a real X server, for the tests that drive a program's windows through X: a child
// process with its output in files, an Xvfb server on a display of its own, and the X
// utilities (xdotool, xwininfo, xwd, xprop, ...) run against it. Every wait is bounded, so a
// broken X setup fails a test instead of hanging it, and everything started is stopped on
// destruction, whichever way a test ends. No X headers: the server is reached through the
// utilities only.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// The path of an executable on PATH, or "".
std::string Which(const std::string& Tool);
// The first of Tools that is not on PATH, or "" when all are there.
std::string MissingTool(std::initializer_list<const char*> Tools);
std::string ReadFile(const std::string& Path);
// Polls Ready every 50 ms until it holds or Timeout passes; answers its last answer.
bool WaitFor(const std::function<bool()>& Ready,
             std::chrono::milliseconds Timeout = std::chrono::milliseconds(5000));

// A child process with DISPLAY set to Display, standard input from Input (else /dev/null),
// output in Output and errors in Output + ".err"; stopped (SIGTERM, then SIGKILL) and reaped
// on destruction.
class TProcess {
 public:
  TProcess(const std::vector<std::string>& Argv, const std::string& Display, const std::string& Output,
           const std::string& Input = "");
  ~TProcess() { Stop(); }
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // The exit status once it ended (128 when a signal ended it); nullopt while it runs.
  std::optional<int> Exited();
  std::optional<int> WaitExit(std::chrono::milliseconds Timeout);
  void Stop();

 private:
  pid_t pid_ = -1;
  bool done_ = false;
  int status_ = 0;
};

// An Xvfb server and a scratch folder for the files of the programs run on it. The
// destructor stops the server and removes the folder.
class TXvfbServer {
 public:
  TXvfbServer();
  ~TXvfbServer();
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;

  // Starts a server with one screen of Size ("WIDTHxHEIGHT", depth 24) on the first free
  // display from FirstDisplay on, and waits until it accepts connections. A display is ours
  // only when its lock file names our server: two tests that pick the same number at once
  // cannot both take it.
  bool Start(const std::string& Size, int FirstDisplay = 90);
  void Stop();
  bool Running() { return server_ && !server_->Exited(); }

  const std::string& Display() const { return display_; }
  const std::string& Folder() const { return folder_; }

  // Runs a utility on PATH against the server; answers its exit code (-1 when it could not
  // start or did not end within Timeout) and its standard output.
  std::pair<int, std::string> Run(const std::vector<std::string>& Argv, const std::string& Input = "",
                                  std::chrono::milliseconds Timeout = std::chrono::milliseconds(5000));
  // Starts Argv (a path, or a tool on PATH) on the server; its output goes to
  // <Folder>/<Name>.out and .out.err.
  std::unique_ptr<TProcess> Spawn(const std::vector<std::string>& Argv, const std::string& Name,
                                  const std::string& Input = "");
  std::string OutputOf(const std::string& Name) const { return ReadFile(folder_ + "/" + Name + ".out"); }
  std::string ErrorsOf(const std::string& Name) const { return ReadFile(folder_ + "/" + Name + ".out.err"); }

 private:
  std::string folder_;
  std::string display_;
  std::unique_ptr<TProcess> server_;
};

}  // namespace test_support
