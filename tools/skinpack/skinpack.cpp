// skinpack: packs files into a skin file, lists a skin file's entries, unpacks them into a folder.
//
//   skinpack pack [--literal] SKIN (FOLDER | FILE...)   entries named by the files' names; a
//                                                     folder gives its regular files by name
//   skinpack list SKIN                                 one line an entry: size, name
//   skinpack unpack SKIN FOLDER                        every entry as a file of the folder
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/skinpack/SkinPacker.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
  std::fputs(
      "usage: skinpack pack [--literal] SKIN (FOLDER | FILE...)\n"
      "       skinpack list SKIN\n"
      "       skinpack unpack SKIN FOLDER\n",
      stderr);
  return 2;
}

std::string ReadFile(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw ESkinPackError("Cannot read " + Path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& Path, const std::string& Bytes) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  out.close();
  if (!out) throw ESkinPackError("Cannot write " + Path.string());
}

TSkinEntries EntriesFrom(const std::vector<fs::path>& Sources) {
  std::vector<fs::path> files;
  for (const fs::path& source : Sources) {
    if (!fs::is_directory(source)) {
      files.push_back(source);
      continue;
    }
    std::vector<fs::path> inFolder;
    for (const auto& entry : fs::directory_iterator(source))
      if (entry.is_regular_file()) inFolder.push_back(entry.path());
    std::sort(inFolder.begin(), inFolder.end());  // the same skin from the same folder, always
    files.insert(files.end(), inFolder.begin(), inFolder.end());
  }
  TSkinEntries entries;
  for (const fs::path& file : files) entries.emplace_back(file.filename().string(), ReadFile(file));
  return entries;
}

// An entry name of an untrusted skin becomes a file only when it names no other folder.
bool IsPlainFileName(const std::string& Name) {
  return !Name.empty() && Name != "." && Name != ".." &&
         Name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

int Pack(std::vector<std::string> Args) {
  TLzhPackMode mode = TLzhPackMode::Greedy;
  if (!Args.empty() && Args.front() == "--literal") {
    mode = TLzhPackMode::Literal;
    Args.erase(Args.begin());
  }
  if (Args.size() < 2) return Usage();
  const std::vector<fs::path> sources(Args.begin() + 1, Args.end());
  const TSkinEntries entries = EntriesFrom(sources);
  WriteFile(Args.front(), PackSkin(entries, mode));
  return 0;
}

int List(const std::string& Skin) {
  for (const auto& [name, bytes] : UnpackSkin(ReadFile(Skin)))
    std::printf("%10zu  %s\n", bytes.size(), name.c_str());
  return 0;
}

int Unpack(const std::string& Skin, const fs::path& Folder) {
  const TSkinEntries entries = UnpackSkin(ReadFile(Skin));
  fs::create_directories(Folder);
  int refused = 0;
  for (const auto& [name, bytes] : entries) {
    if (!IsPlainFileName(name)) {
      std::fprintf(stderr, "skinpack: entry \"%s\" is not a plain file name; not written\n", name.c_str());
      ++refused;
      continue;
    }
    WriteFile(Folder / name, bytes);
  }
  return refused == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (command == "pack") return Pack(args);
    if (command == "list" && args.size() == 1) return List(args[0]);
    if (command == "unpack" && args.size() == 2) return Unpack(args[0], args[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skinpack: %s\n", e.what());
    return 1;
  }
  return Usage();
}
