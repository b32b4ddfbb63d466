// The names WM_CLASS gives a program: RESOURCE_NAME when set, else the base name of the
// program's path; the class is the name capitalised.
#include <gtest/gtest.h>

#include "platform/host/WindowNamesInternal.h"

namespace {

TEST(TWindowNamesTest, TheClassNamesTheProgram) {
  struct Case {
    const char* id;
    const char* program;
    const char* resource;
    const char* instance;
    const char* cls;
  };
  const Case cases[] = {
      {"path", "/work/build/examples/demo", nullptr, "demo", "Demo"},
      {"relative", "build/examples/demo", "", "demo", "Demo"},
      {"bare", "ledger", nullptr, "ledger", "Ledger"},
      {"resource", "/usr/bin/demo", "accounts", "accounts", "Accounts"},
      {"resource-kept-whole", "/usr/bin/demo", "a/b", "a/b", "A/b"},
      {"capital", "/opt/Grid", nullptr, "Grid", "Grid"},
      {"digit", "./7zip", nullptr, "7zip", "7zip"},
      {"trailing-slash", "/usr/bin/", nullptr, "program", "Program"},
      {"empty", "", nullptr, "program", "Program"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const host_internal::TWindowClassNames names = host_internal::WindowClassNames(c.program, c.resource);
    EXPECT_EQ(names.Instance, c.instance);
    EXPECT_EQ(names.Class, c.cls);
  }
}

}  // namespace
