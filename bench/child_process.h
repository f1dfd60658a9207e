// Runs this benchmark again as a child process (argv[0] path `self` with
// `args`), so that a measurement starts from a fresh process and its peak
// resident memory is the child's own (from wait4).
#pragma once

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

struct ChildOutput {
  bool ok = false;     // started and exited with status 0
  std::string out;     // what it wrote to stdout
  double peakMb = -1;  // its peak resident memory
  int signal = 0;      // the signal that ended it (SIGALRM: its time limit)
};

inline ChildOutput RunSelf(const std::string& self, std::vector<std::string> args) {
  ChildOutput res;
  int fds[2];
  if (pipe(fds) != 0) return res;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
  posix_spawn_file_actions_addclose(&fa, fds[0]);
  args.insert(args.begin(), self);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  const bool started = posix_spawn(&pid, self.c_str(), &fa, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&fa);
  close(fds[1]);
  if (!started) {
    close(fds[0]);
    return res;
  }
  char buf[256];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) res.out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  struct rusage ru {};
  wait4(pid, &status, 0, &ru);
  res.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (WIFSIGNALED(status)) res.signal = WTERMSIG(status);
  res.peakMb = ru.ru_maxrss / 1024.0;
  return res;
}

// The folder a benchmark works in: DIR of "--keep DIR" (kept afterwards), or
// a fresh one under the temporary folder named after `name` and the process.
inline std::filesystem::path WorkFolder(int argc, char** argv, const std::string& name, bool& keep) {
  namespace fs = std::filesystem;
  keep = argc == 3 && std::string(argv[1]) == "--keep";
  const fs::path dir =
      keep ? fs::path(argv[2]) : fs::temp_directory_path() / (name + "." + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir;
}

}  // namespace bench
