// Without a display the host stays out of the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/host/DisplayHost.h"
#include "platform/win/Input.h"

namespace {

TEST(TDisplayHostTest, WithoutADisplayNothingStarts) {
  const char* saved = std::getenv("DISPLAY");
  const std::optional<std::string> display = saved ? std::optional<std::string>(saved) : std::nullopt;
  IEventSource* headless = GetEventSource();
  for (const char* value : {static_cast<const char*>(nullptr), ""}) {
    SCOPED_TRACE(value ? "empty DISPLAY" : "no DISPLAY");
    if (value)
      setenv("DISPLAY", value, 1);
    else
      unsetenv("DISPLAY");
    EXPECT_FALSE(StartDisplayHost());
    EXPECT_FALSE(DisplayHostRunning());
    EXPECT_EQ(GetEventSource(), headless);  // message loops keep the headless source
    StopDisplayHost();                      // harmless when not running
  }
  if (display) setenv("DISPLAY", display->c_str(), 1);
}

}  // namespace
