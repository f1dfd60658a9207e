#include "core/temppaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

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

// The journal folder of this run (empty until StartTemporaryPathJournal).
char g_journal[kMaxPath];
std::atomic<bool> g_journalSet{false};

// "<journal>/f12": the journal's entry for slot 12.
bool JournalEntry(int slot, bool folder, char* out) {
  if (!g_journalSet.load()) return false;
  const size_t n = std::strlen(g_journal);
  if (n + 16 >= kMaxPath) return false;
  std::memcpy(out, g_journal, n);
  out[n] = '/';
  out[n + 1] = folder ? 'd' : 'f';
  char digits[12];
  int k = 0;
  for (unsigned v = static_cast<unsigned>(slot); k == 0 || v > 0; v /= 10)
    digits[k++] = static_cast<char>('0' + v % 10);
  size_t at = n + 2;
  while (k > 0) out[at++] = digits[--k];
  out[at] = 0;
  return true;
}

void RemoveJournal() {
  if (!g_journalSet.load()) return;
  EmptyFolder(g_journal);
  ::rmdir(g_journal);
}

volatile std::sig_atomic_t g_handling = 0;

void OnInterrupt(int sig) {
  // A second signal while cleaning up waits for the first to finish.
  if (g_handling) return;
  g_handling = 1;
  RemoveTemporaryPaths();
  RemoveJournal();
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
    char entry[kMaxPath];
    if (JournalEntry(i, folder, entry)) {
      // The journal holds absolute names: the next start may run elsewhere.
      std::string target = path;
      if (target[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd)) target = std::string(cwd) + "/" + target;
      }
      if (::symlink(target.c_str(), entry) != 0 && errno == EEXIST) {
        ::unlink(entry);
        (void)!::symlink(target.c_str(), entry);
      }
    }
    return i;
  }
  return -1;
}

void UnregisterTemporaryPath(int handle) {
  if (handle < 0 || handle >= kMaxTemporaryPaths) return;
  char entry[kMaxPath];
  if (g_slots[handle].state.load() == 2 && JournalEntry(handle, g_slots[handle].folder, entry))
    ::unlink(entry);
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

std::string TemporaryFolder() {
  const char* t = std::getenv("TMPDIR");
  std::string base = (t && *t) ? t : "/tmp";
  if (base.back() != '/') base += '/';
  return base;
}

namespace {

// The pid in "<prefix><pid>-XXXXXX", or 0 when `name` is not of that form.
pid_t PidOf(const std::string& name, const std::string& prefix) {
  if (name.compare(0, prefix.size(), prefix) != 0) return 0;
  size_t i = prefix.size();
  long long pid = 0;
  const size_t first = i;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9' && i - first < 10)
    pid = pid * 10 + (name[i++] - '0');
  if (i == first || i >= name.size() || name[i] != '-' || name.size() - i - 1 != 6) return 0;
  return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool Running(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// A folder (not a link to one) that belongs to this user.
bool OwnFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// Removes a folder of ours with its files and empty subfolders.
bool RemoveOwnFolder(const std::string& path) {
  if (!OwnFolder(path)) return false;
  EmptyFolder(path.c_str());
  return ::rmdir(path.c_str()) == 0;
}

// Works off the journal of a run that ended without removing it.
int WorkOffJournal(const std::string& journal) {
  int removed = 0;
  DIR* d = ::opendir(journal.c_str());
  if (!d) return 0;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string entry = journal + "/" + name;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(entry.c_str(), target, sizeof target - 1);
    if (n > 0 && target[0] == '/') {
      target[n] = 0;
      struct stat st {};
      if (::lstat(target, &st) == 0 && st.st_uid == ::geteuid()) {
        if (name[0] == 'f' && S_ISREG(st.st_mode) && ::unlink(target) == 0) ++removed;
        if (name[0] == 'd' && S_ISDIR(st.st_mode) && RemoveOwnFolder(target)) ++removed;
      }
    }
  }
  ::closedir(d);
  if (RemoveOwnFolder(journal)) ++removed;
  return removed;
}

std::once_flag g_journalOnce;

}  // namespace

int StartTemporaryPathJournal() {
  int removed = 0;
  std::call_once(g_journalOnce, [&removed] {
    const std::string base = TemporaryFolder();
    const std::string journalPrefix = "quillane-", spoolPrefix = "quillane-pdf-";
    if (DIR* d = ::opendir(base.c_str())) {
      std::vector<std::string> names;
      while (const dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
      ::closedir(d);
      for (const std::string& name : names) {
        const pid_t spool = PidOf(name, spoolPrefix), journal = spool ? 0 : PidOf(name, journalPrefix);
        const pid_t pid = spool ? spool : journal;
        if (pid == 0 || pid == ::getpid() || Running(pid) || !OwnFolder(base + name)) continue;
        if (journal) removed += WorkOffJournal(base + name);
        if (spool && RemoveOwnFolder(base + name)) ++removed;
      }
    }
    std::string templ = base + journalPrefix + std::to_string(::getpid()) + "-XXXXXX";
    if (templ.size() < kMaxPath - 32 && ::mkdtemp(templ.data())) {
      std::memcpy(g_journal, templ.c_str(), templ.size() + 1);
      g_journalSet.store(true);
      // A normal end takes the journal along (and whatever is still registered).
      std::atexit([] {
        RemoveTemporaryPaths();
        RemoveJournal();
      });
    }
  });
  return removed;
}

}  // namespace ql
