#include "tests/support/InProcessHost.h"

#include <cstdlib>

#include "platform/host/DisplayHost.h"
#include "platform/rtl/Clock.h"
#include "platform/win/Display.h"
#include "platform/win/Input.h"

namespace test_support {

bool TInProcessHost::Start(TXvfbServer& Server) {
  Stop();
  server_ = &Server;
  const char* display = std::getenv("DISPLAY");
  hadDisplay_ = display != nullptr;
  display_ = display ? display : "";
  clockNow_ = ClockNow();
  tickCount_ = GetTickCount();
  screen_ = DisplayGeometry();
  setenv("DISPLAY", Server.Display().c_str(), 1);
  started_ = true;
  return StartDisplayHost();
}

void TInProcessHost::Stop() {
  if (!started_) return;
  started_ = false;
  StopDisplayHost();
  VirtualClock::UseRealTime(false);
  VirtualClock::Set(clockNow_, tickCount_);
  SetDisplayGeometry(screen_.Width, screen_.Height, screen_.WorkArea);
  if (hadDisplay_)
    setenv("DISPLAY", display_.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

void TInProcessHost::Pump(std::chrono::milliseconds Time) {
  const auto end = std::chrono::steady_clock::now() + Time;
  while (DisplayHostRunning()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    GetEventSource()->WaitForEvents(std::min<long long>(left, 20));
  }
}

std::pair<int, std::string> TInProcessHost::Run(const std::vector<std::string>& Argv,
                                                const std::string& Input, std::chrono::milliseconds Timeout) {
  const std::string name = "hosted-run-" + std::to_string(++runs_);
  auto process = server_->Spawn(Argv, name, Input);
  if (!process->Started()) return {-1, ""};
  const auto end = std::chrono::steady_clock::now() + Timeout;
  std::optional<int> code;
  while (!(code = process->Exited()) && std::chrono::steady_clock::now() < end)
    Pump(std::chrono::milliseconds(20));
  if (!code) process->Stop();
  return {code.value_or(-1), server_->OutputOf(name)};
}

}  // namespace test_support
