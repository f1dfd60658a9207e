#include "core/safefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace ql {

namespace {

constexpr size_t kFlushAt = 64 * 1024;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a symbolic link finally names. A dangling link resolves to the
// name it holds (relative to the link's folder), so the link survives.
std::string ThroughLinks(const std::string& path) {
  std::string cur = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat lst {};
    if (::lstat(cur.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return cur;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(cur.c_str(), buf, sizeof buf - 1);
    if (n <= 0) return cur;
    std::string to(buf, static_cast<size_t>(n));
    cur = to[0] == '/' ? to : FolderOf(cur) + to;
  }
  return cur;
}

}  // namespace

SafeFile::~SafeFile() { Abandon(); }

bool SafeFile::Fail(int err) {
  error_ = std::strerror(err);
  Abandon();
  return false;
}

bool SafeFile::Open(const std::string& path) {
  Abandon();
  error_.clear();
  released_ = false;
  if (path.empty()) {
    error_ = "no file name";
    return false;
  }
  target_ = ThroughLinks(path);
  struct stat st {};
  mode_t mode;
  bool exists = false;
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      error_ = std::strerror(EISDIR);
      return false;
    }
    // access() says yes to root for any file; the permission bits say what
    // the user meant.
    if ((st.st_mode & 0222) == 0 || ::access(target_.c_str(), W_OK) != 0) {
      error_ = "the file is read-only";
      return false;
    }
    mode = st.st_mode & 07777;
    exists = true;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  const std::string folder = FolderOf(target_);
  std::string name = folder + "." + target_.substr(folder.size()) + ".XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    error_ = std::strerror(errno);
    return false;
  }
  fd_ = fd;
  tmp_ = name;
  guard_.Reset(tmp_);
  if (::fchmod(fd_, mode) != 0) return Fail(errno);
  // Keep the owner where the process may (as root); failure is harmless.
  if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
    (void)!::fchown(fd_, st.st_uid, st.st_gid);
  return true;
}

bool SafeFile::Flush() {
  size_t done = 0;
  while (done < buf_.size()) {
    const ssize_t n = ::write(fd_, buf_.data() + done, buf_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  buf_.clear();
  return true;
}

bool SafeFile::Write(std::string_view bytes) {
  if (fd_ < 0 || released_) {
    if (error_.empty()) error_ = std::strerror(EBADF);
    return false;
  }
  if (buf_.size() + bytes.size() < kFlushAt) {
    buf_.append(bytes);
    return true;
  }
  if (!Flush()) return false;
  if (bytes.size() < kFlushAt) {
    buf_.assign(bytes);
    return true;
  }
  buf_.assign(bytes);  // a large piece goes out at once
  return Flush();
}

int SafeFile::ReleaseDescriptor() {
  if (fd_ < 0 || released_) return -1;
  if (!Flush()) return -1;
  released_ = true;
  return fd_;
}

bool SafeFile::Commit() {
  if (tmp_.empty()) {
    if (error_.empty()) error_ = std::strerror(EBADF);
    return false;
  }
  if (!released_) {
    if (!Flush()) return false;
    if (!syncLater_ && ::fsync(fd_) != 0) return Fail(errno);
#ifdef __linux__
    // Start writing now, without waiting: SyncFolder then finds little left.
    if (syncLater_) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail(errno);
  }
  fd_ = -1;
  if (::rename(tmp_.c_str(), target_.c_str()) != 0) return Fail(errno);
  tmp_.clear();
  guard_.Reset();
  if (syncLater_) return true;
  std::string folder = FolderOf(target_);
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

void SafeFile::Abandon() {
  if (fd_ >= 0 && !released_) ::close(fd_);
  fd_ = -1;
  released_ = false;
  buf_.clear();
  if (!tmp_.empty()) ::unlink(tmp_.c_str());
  tmp_.clear();
  guard_.Reset();
}

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string& reason, Sync sync) {
  SafeFile f;
  if (sync == Sync::Later) f.SyncLater();
  if (!f.Open(path) || !f.Write(bytes) || !f.Commit()) {
    reason = f.Error();
    return false;
  }
  return true;
}

namespace {

bool FlushFolder(const std::string& folder, bool contents, std::string& reason) {
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    reason = std::strerror(errno);
    return false;
  }
  int err = 0;
#ifdef __linux__
  // One flush of the folder's file system writes all of the files at once.
  if (contents && ::syncfs(dir) != 0) err = errno;
#else
  const int listing = contents ? ::dup(dir) : -1;
  DIR* d = listing >= 0 ? ::fdopendir(listing) : nullptr;
  if (!d && listing >= 0) ::close(listing);
  if (d) {
    while (const dirent* e = ::readdir(d)) {
      const int fd = ::openat(dir, e->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
      if (fd < 0) continue;
      struct stat st {};
      if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd) != 0 && err == 0) err = errno;
      ::close(fd);
    }
    ::closedir(d);
  }
#endif
  if (err == 0 && ::fsync(dir) != 0 && errno != EINVAL) err = errno;
  ::close(dir);
  if (err != 0) {
    reason = std::strerror(err);
    return false;
  }
  return true;
}

}  // namespace

bool SyncFolder(const std::string& folder, std::string& reason) { return FlushFolder(folder, true, reason); }

bool SyncFolderNames(const std::string& folder, std::string& reason) {
  return FlushFolder(folder, false, reason);
}

}  // namespace ql
