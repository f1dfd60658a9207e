// Temporary files and folders that must not outlive an interrupted run.
//
// Whoever creates a temporary file (or a folder it alone fills) registers it
// for as long as it exists; a program that ends on a signal removes every
// registered path first (InstallInterruptCleanup). Registration is cheap and
// thread-safe; the removal is async-signal-safe (no allocation, no locks, only
// open/getdents64/unlink/unlinkat/rmdir/close), so it may run in a signal
// handler while other threads register and unregister.
#pragma once

#include <string>

namespace ql {

// The most paths registered at once; beyond that Register fails (the path is
// then simply not removed on interruption).
constexpr int kMaxTemporaryPaths = 128;

// Registers `path` as a temporary file, or (`folder`) as a temporary folder
// whose whole content is removed before the folder itself — only for folders
// the caller created for itself (mkdtemp). Returns a handle for Unregister,
// or -1 when the path is too long or every slot is taken.
int RegisterTemporaryPath(const std::string& path, bool folder = false);
// Forgets the registration (the path itself is left alone); -1 is ignored.
void UnregisterTemporaryPath(int handle);

// Removes every registered path: files first, then the folders with their
// content. Async-signal-safe.
void RemoveTemporaryPaths();

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the registered
// paths and end the process with status 128 + the signal's number (130, 143,
// 129). Signals that were ignored when the program started stay ignored.
void InstallInterruptCleanup();

// For a program's start, before anything is written: cleans up after
// earlier runs that could not (SIGKILL, a crash, a power cut), then keeps a
// journal for this run, so that the next start can do the same for it.
//
// The journal is a folder "quillane-<pid>-XXXXXX" (0700) in the user's
// temporary folder ($TMPDIR, else /tmp) holding one symbolic link per
// registered path ("f<n>" for a file, "d<n>" for a folder) that points at
// it; it goes when the program ends or is interrupted. At start, every
// journal and every spool folder ("quillane-pdf-<pid>-XXXXXX") there whose
// process no longer runs and that belongs to this user is worked off: a
// file a journal names is removed when it is a regular file of this user,
// a folder with its content when it is a folder of this user; then the
// journal or spool folder itself. Folders of running processes and of other
// users are left alone. Returns the number of paths removed.
int StartTemporaryPathJournal();

// The user's temporary folder with a "/" at the end: $TMPDIR, else /tmp/.
std::string TemporaryFolder();

// A registration held for a scope.
class TemporaryPath {
 public:
  TemporaryPath() = default;
  TemporaryPath(const std::string& path, bool folder = false)
      : handle_(RegisterTemporaryPath(path, folder)) {}
  ~TemporaryPath() { UnregisterTemporaryPath(handle_); }
  TemporaryPath(const TemporaryPath&) = delete;
  TemporaryPath& operator=(const TemporaryPath&) = delete;
  // Registers another path in place of the current one (empty: none).
  void Reset(const std::string& path = std::string(), bool folder = false) {
    UnregisterTemporaryPath(handle_);
    handle_ = path.empty() ? -1 : RegisterTemporaryPath(path, folder);
  }
  bool registered() const { return handle_ >= 0; }

 private:
  int handle_ = -1;
};

}  // namespace ql
