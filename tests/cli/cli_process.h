// Runs quillane-cli as a program of its own (for signals, file-size limits
// and several runs at once), with its temporary folder chosen by the test.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace cliproc {

struct Options {
  std::string tmpdir;       // TMPDIR of the child
  long long fileLimit = 0;  // RLIMIT_FSIZE in bytes; 0: unchanged
  std::string errFile;      // stderr goes here (else /dev/null)
};

// Starts quillane-cli with `args`; returns its pid (-1 on failure).
inline pid_t Start(const std::vector<std::string>& args, const Options& o) {
  const std::string cli = std::string(QL_BIN_DIR) + "/quillane-cli";
  std::vector<std::string> all = {cli};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen"};
  if (!o.tmpdir.empty()) env.push_back("TMPDIR=" + o.tmpdir);
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    if (v.rfind("TMPDIR=", 0) && v.rfind("QT_QPA_PLATFORM=", 0)) env.push_back(v);
  }
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  // The limit and the ignored SIGXFSZ (a write past the limit then fails
  // with EFBIG instead of killing) are inherited through the exec.
  struct rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  if (o.fileLimit > 0) {
    struct rlimit lim = old;
    lim.rlim_cur = static_cast<rlim_t>(o.fileLimit);
    ::setrlimit(RLIMIT_FSIZE, &lim);
  }
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, o.errFile.empty() ? "/dev/null" : o.errFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, cli.c_str(), &fa, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);
  return pid;
}

// The exit status (128 + signal when it died of one).
inline int Wait(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline int Run(const std::vector<std::string>& args, const Options& o = {}) { return Wait(Start(args, o)); }

inline bool HasEntryStarting(const std::filesystem::path& dir, const std::string& prefix) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec))
    if (e.path().filename().string().rfind(prefix, 0) == 0) return true;
  return false;
}

// Waits (at most a minute) until `ready` holds while the process runs.
template <class Ready>
bool WaitUntil(pid_t pid, Ready ready) {
  for (int i = 0; i < 12000; ++i) {
    if (ready()) return true;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

inline std::vector<std::string> Entries(const std::filesystem::path& dir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir, ec))
    out.push_back(e.path().string());
  return out;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace cliproc
