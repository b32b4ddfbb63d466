// Replays fuzz inputs without libFuzzer: `fuzz_replay TARGET PATH...` sends every regular file of
// the directories (or the files) named on the command line once through the entry point of the
// fuzz target TARGET. A crash or sanitizer report fails the run; an unknown target exits 2;
// otherwise it exits 0.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/ReplayTable.h"

namespace {

using TEntry = int (*)(const uint8_t* data, size_t size);

void Replay(TEntry entry, const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEntry FindEntry(const char* name) {
  for (size_t i = 0; i < kFuzzEntryCount; ++i)
    if (std::strcmp(kFuzzEntries[i].Name, name) == 0) return kFuzzEntries[i].TestOneInput;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const TEntry entry = argc > 1 ? FindEntry(argv[1]) : nullptr;
  if (!entry) {
    std::fprintf(stderr, "usage: %s TARGET PATH...; targets:\n", argv[0]);
    for (size_t i = 0; i < kFuzzEntryCount; ++i) std::fprintf(stderr, "  %s\n", kFuzzEntries[i].Name);
    return 2;
  }
  size_t count = 0;
  for (int i = 2; i < argc; ++i) {
    std::filesystem::path path(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());  // a stable order makes failures reproducible
      for (const auto& file : files) {
        Replay(entry, file);
        ++count;
      }
    } else if (std::filesystem::is_regular_file(path, ec)) {
      Replay(entry, path);
      ++count;
    } else {
      std::fprintf(stderr, "skipped %s: not a file or directory\n", argv[i]);
    }
  }
  std::printf("replayed %zu inputs\n", count);
  return 0;
}
