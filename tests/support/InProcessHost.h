#pragma once
// The test program's own windows in a real X server: the display host runs in-process on an
// Xvfb server, so that a test can drive its grid directly while other X programs (xclip) talk to
// it. Everything the host changed (DISPLAY, the screen geometry, the clock, the event source) is
// put back when the session ends, so the headless tests after it run as before.
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/Display.h"
#include "tests/support/XvfbSession.h"

namespace test_support {

class TInProcessHost {
 public:
  TInProcessHost() = default;
  ~TInProcessHost() { Stop(); }
  TInProcessHost(const TInProcessHost&) = delete;
  TInProcessHost& operator=(const TInProcessHost&) = delete;

  // Starts the host on the server (already started); false when it could not connect.
  bool Start(TXvfbServer& Server);
  void Stop();

  // Runs a utility on the server while the host answers its requests; the exit code (-1 when it
  // did not end within Timeout) and its standard output.
  std::pair<int, std::string> Run(const std::vector<std::string>& Argv, const std::string& Input = "",
                                  std::chrono::milliseconds Timeout = std::chrono::milliseconds(30000));
  // Lets the host take what arrives for the given time.
  void Pump(std::chrono::milliseconds Time);

 private:
  TXvfbServer* server_ = nullptr;
  bool started_ = false;
  bool hadDisplay_ = false;
  std::string display_;
  double clockNow_ = 0;
  unsigned tickCount_ = 0;
  TDisplayGeometry screen_;
  int runs_ = 0;
};

}  // namespace test_support
