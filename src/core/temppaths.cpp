#include "core/temppaths.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace ql {

namespace {

constexpr size_t kMaxPath = 4096;

// A slot is free (0), being filled (1) or holds a path (2). Only slots in
// state 2 are read by the removal, so a handler never sees a half-copied path.
struct Slot {
  std::atomic<int> state{0};
  bool folder = false;
  char path[kMaxPath];
};

Slot g_slots[kMaxTemporaryPaths];

// Removes what the folder holds: its files, and its empty subfolders.
void EmptyFolder(const char* folder) {
  const int dir = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
  if (dir < 0) return;
  alignas(8) char buf[4096];
  for (;;) {
    const long n = ::syscall(SYS_getdents64, dir, buf, sizeof buf);
    if (n <= 0) break;
    for (long off = 0; off < n;) {
      // struct linux_dirent64: d_ino (8), d_off (8), d_reclen (2), d_type (1), d_name.
      unsigned short reclen;
      std::memcpy(&reclen, buf + off + 16, sizeof reclen);
      const char* name = buf + off + 19;
      if (!(name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))))
        if (::unlinkat(dir, name, 0) != 0) ::unlinkat(dir, name, AT_REMOVEDIR);
      if (reclen == 0) break;
      off += reclen;
    }
  }
  ::close(dir);
}

volatile std::sig_atomic_t g_handling = 0;

void OnInterrupt(int sig) {
  // A second signal while cleaning up waits for the first to finish.
  if (g_handling) return;
  g_handling = 1;
  RemoveTemporaryPaths();
  ::_exit(128 + sig);
}

}  // namespace

int RegisterTemporaryPath(const std::string& path, bool folder) {
  if (path.empty() || path.size() >= kMaxPath) return -1;
  for (int i = 0; i < kMaxTemporaryPaths; ++i) {
    int expected = 0;
    if (!g_slots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
    g_slots[i].folder = folder;
    g_slots[i].state.store(2);
    return i;
  }
  return -1;
}

void UnregisterTemporaryPath(int handle) {
  if (handle < 0 || handle >= kMaxTemporaryPaths) return;
  g_slots[handle].state.store(0);
}

void RemoveTemporaryPaths() {
  for (Slot& s : g_slots)
    if (s.state.load() == 2 && !s.folder) ::unlink(s.path);
  for (Slot& s : g_slots)
    if (s.state.load() == 2 && s.folder) {
      EmptyFolder(s.path);
      ::rmdir(s.path);
    }
}

void InstallInterruptCleanup() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    // Block the other two while one is handled.
    sigaddset(&sa.sa_mask, SIGINT);
    sigaddset(&sa.sa_mask, SIGTERM);
    sigaddset(&sa.sa_mask, SIGHUP);
    sa.sa_flags = 0;
    ::sigaction(sig, &sa, nullptr);
  }
}

}  // namespace ql
