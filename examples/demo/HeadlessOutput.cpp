// The headless demo's output folder and its message.
#include "examples/demo/HeadlessOutput.h"

#include <system_error>

namespace fs = std::filesystem;

fs::path DemoExecutablePath(const char* Argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && !self.empty()) return self;
  return fs::absolute(Argv0 ? fs::path(Argv0) : fs::path(), ec);
}

fs::path DemoOutputFolder(const fs::path& Executable) {
  const fs::path home = Executable.parent_path();
  std::error_code ec;
  for (fs::path dir = home; !dir.empty(); dir = dir.parent_path()) {
    if (fs::is_regular_file(dir / "CMakeCache.txt", ec)) return dir / "demo-output";
    if (dir == dir.root_path()) break;
  }
  return home / "demo-output";
}

std::string NoDisplayMessage(const fs::path& Folder) {
  return "No display was found, so the forms were drawn to PNG files in " + Folder.string() + ":";
}
