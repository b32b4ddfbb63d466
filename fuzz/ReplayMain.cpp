// Replays fuzz inputs without libFuzzer: every regular file of the directories (or the files)
// named on the command line goes through LLVMFuzzerTestOneInput once. A crash or sanitizer
// report fails the run; otherwise it exits 0.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path path(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());  // a stable order makes failures reproducible
      for (const auto& file : files) {
        Replay(file);
        ++count;
      }
    } else if (std::filesystem::is_regular_file(path, ec)) {
      Replay(path);
      ++count;
    } else {
      std::fprintf(stderr, "skipped %s: not a file or directory\n", argv[i]);
    }
  }
  std::printf("replayed %zu inputs\n", count);
  return 0;
}
