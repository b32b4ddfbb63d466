// Where the demo draws its forms without a display: the folder is found from the program's path,
// and the demo itself, started from elsewhere without a display, says so and writes there.
#include "examples/demo/HeadlessOutput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A folder of its own under the test temporary folder, removed afterwards.
class ScratchFolder {
 public:
  // Named per process: test programs of other build folders may run at the same time.
  explicit ScratchFolder(const std::string& name)
      : path_(fs::path(testing::TempDir()) / (name + "-" + std::to_string(getpid()))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }
  void Touch(const fs::path& relative) const {
    fs::create_directories((path_ / relative).parent_path());
    std::ofstream(path_ / relative) << "x";
  }

 private:
  fs::path path_;
};

TEST(DemoOutputFolder, IsInTheNearestBuildFolderAboveTheProgram) {
  struct Case {
    const char* id;
    std::vector<const char*> caches;  // CMakeCache.txt files of the tree
    const char* program;
    const char* folder;
  } cases[] = {
      {"build-tree", {"build/CMakeCache.txt"}, "build/examples/demo", "build/demo-output"},
      {"beside", {"out/CMakeCache.txt"}, "out/demo", "out/demo-output"},
      {"nearest", {"b/CMakeCache.txt", "b/inner/CMakeCache.txt"}, "b/inner/x/demo", "b/inner/demo-output"},
      {"no-build-folder", {}, "bin/demo", "bin/demo-output"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ScratchFolder tree(std::string("demo-output-") + c.id);
    for (const char* cache : c.caches) tree.Touch(cache);
    tree.Touch(c.program);
    EXPECT_EQ(DemoOutputFolder(tree.path() / c.program), tree.path() / c.folder);
  }
}

// The demo started without a display from a folder of no importance, found through PATH (so
// its path comes from the running program, not from argv[0]): one line, then the pictures, all
// in demo-output/ of the build folder.
TEST(DemoWithoutDisplay, SaysSoAndDrawsItsFormsInTheBuildFolder) {
  ScratchFolder elsewhere("demo-elsewhere");
  const fs::path folder = fs::path(DEMO_BUILD_DIR) / "demo-output", demo = DEMO_PATH;
  const std::string command = "cd '" + elsewhere.path().string() + "' && PATH='" +
                              demo.parent_path().string() + "':\"$PATH\" env -u DISPLAY '" +
                              demo.filename().string() + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> out(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(out, nullptr);
  std::vector<std::string> lines;
  char buf[4096];
  while (fgets(buf, sizeof buf, out.get())) {
    std::string line = buf;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    lines.push_back(line);
  }
  EXPECT_EQ(pclose(out.release()), 0);
  // The forms as they start, then every window under each skin and unskinned, with an alpha
  // channel for the cut-out corners.
  const char* const forms[] = {"accounts.png",      "ledger-entry.png",   "ledger-grid.png",
                               "ledger-dbgrid.png", "ledger-grouped.png", "ledger-clipboard.png"};
  const char* const transient[] = {
      "file-menu.png",   "system-menu.png",  "context-menu.png",     "about.png",
      "message-box.png", "show-message.png", "accounts-expenses.png"};  // the main form's second page
  std::vector<std::string> expected = {NoDisplayMessage(folder)};
  std::vector<fs::path> pictures;
  for (const char* name : forms) pictures.push_back(folder / name);
  for (const char* skin : {"light", "dark", "none"}) {
    for (const char* name : forms) pictures.push_back(folder / "skin" / skin / name);
    for (const char* name : transient) pictures.push_back(folder / "skin" / skin / name);
  }
  for (const fs::path& p : pictures) expected.push_back("  " + p.string());
  EXPECT_EQ(lines, expected);
  for (const fs::path& p : pictures) {
    SCOPED_TRACE(p.string());
    std::ifstream png(p, std::ios::binary);
    char header[26] = {};  // signature, IHDR length and type, width, height, depth, colour type
    png.read(header, sizeof header);
    EXPECT_EQ(std::string(header, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const bool skinFolder = p.parent_path().parent_path().filename() == "skin";
    EXPECT_EQ(header[25], skinFolder ? 6 : 2) << "RGBA in the skin folders, RGB otherwise";
  }
  EXPECT_TRUE(fs::is_empty(elsewhere.path())) << "nothing lands in the working directory";
}

}  // namespace
