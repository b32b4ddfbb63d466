#pragma once
// Where the demo draws its forms when no display was found, and what it says about it.
#include <filesystem>
#include <string>

// The program's own path (from /proc/self/exe), or Argv0 made absolute when that cannot be read.
std::filesystem::path DemoExecutablePath(const char* Argv0);
// demo-output/ in the build folder the program lives in: the nearest folder above it that
// holds CMakeCache.txt, else the program's own folder. The working directory plays no part,
// so the pictures land in the same place wherever the demo is started from.
std::filesystem::path DemoOutputFolder(const std::filesystem::path& Executable);
// The one line said before the paths of the pictures.
std::string NoDisplayMessage(const std::filesystem::path& Folder);
