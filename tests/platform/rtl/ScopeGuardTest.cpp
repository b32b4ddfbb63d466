#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rtl/ScopeGuard.h"

TEST(ScopeGuard, ExitAndFailRunOnTheirPathsUnlessDismissed) {
  struct Case {
    const char* id;
    bool raise, dismiss;
    int exitRuns, failRuns;
  };
  const Case cases[] = {{"normal-return", false, false, 1, 0},
                        {"exception", true, false, 1, 1},
                        {"dismissed", false, true, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    int exitRuns = 0, failRuns = 0;
    try {
      TScopeExit onExit([&] { ++exitRuns; });
      TScopeFail onFail([&] { ++failRuns; });
      if (c.dismiss) onExit.Dismiss();
      if (c.raise) throw std::runtime_error("body failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(c.exitRuns, exitRuns);
    EXPECT_EQ(c.failRuns, failRuns);
  }
}

TEST(ScopeGuard, CleanupErrorReachesCallerOnNormalPath) {
  EXPECT_THROW({ TScopeExit guard([] { throw std::logic_error("cleanup failed"); }); }, std::logic_error);
}

TEST(ScopeGuard, FirstExceptionWinsWhenCleanupRaisesDuringUnwinding) {
  try {
    TScopeExit exitGuard([] { throw std::logic_error("exit cleanup failed"); });
    TScopeFail failGuard([] { throw std::logic_error("fail cleanup failed"); });
    throw std::runtime_error("body failed");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ("body failed", e.what());
  } catch (...) {
    ADD_FAILURE() << "the cleanup's exception replaced the body's";
  }
}

TEST(ScopeGuard, FailGuardInsideCatchHandlerSeesOnlyItsOwnScope) {
  // A guard made while another exception is being handled must not count that one as its own.
  int failRuns = 0;
  try {
    throw std::runtime_error("outer");
  } catch (const std::runtime_error&) {
    try {
      throw std::logic_error("inner");
    } catch (const std::logic_error&) {
      TScopeFail guard([&] { ++failRuns; });
    }
  }
  EXPECT_EQ(0, failRuns);
}

TEST(ScopeGuard, RestorerAndCounterUndoOnEveryPath) {
  for (bool raise : {false, true}) {
    SCOPED_TRACE(raise ? "exception" : "normal-return");
    bool flag = false;
    std::string mode = "idle";
    int depth = 3;
    try {
      TValueRestorer<bool> keepFlag(flag, true);
      TValueRestorer<std::string> keepMode(mode);
      TCounterScope<int> nested(depth);
      mode = "busy";
      EXPECT_TRUE(flag);
      EXPECT_EQ(4, depth);
      if (raise) throw std::runtime_error("body failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(flag);
    EXPECT_EQ("idle", mode);
    EXPECT_EQ(3, depth);
  }
}
