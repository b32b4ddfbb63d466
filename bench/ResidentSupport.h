#pragma once
// Peak memory of a child process: a benchmark starts itself again with one flag, the child builds
// what is measured, prints its peak resident size (VmHWM) and ends; no heap of the measuring
// process is counted.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <string>

extern char** environ;

namespace bench_resident {

// The peak resident size of this process in KiB, -1 when /proc does not tell.
inline long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Starts this program with the one argument Flag and reads the peak it prints; -1 on failure.
inline long ChildPeakKb(const std::string& Flag) {
  char self[PATH_MAX] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) return -1;
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char* argv[] = {self, const_cast<char*>(Flag.c_str()), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string text;
  char buf[256];
  for (ssize_t n; spawned == 0 && (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
  close(out[0]);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) return -1;
  return std::stol(text);
}

}  // namespace bench_resident
