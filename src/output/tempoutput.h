// The temporary file an export writes: created in the target's folder
// under a hidden name, handed to the writer, and renamed over the target
// only when complete, so a failed or cancelled export leaves no partial
// file and an existing file of that name untouched.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace output {

inline std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Removed unless it was renamed over the target.
class TempOutput {
 public:
  ~TempOutput() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty() && !committed_) ::unlink(name_.c_str());
  }
  bool Create(const std::string& target, std::string& error) {
    const std::string folder = FolderOf(target);
    const std::string base = target.substr(folder.size());
    std::string templ = folder + "." + base + ".XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    fd_ = ::mkstemp(buf.data());
    if (fd_ < 0) {
      error = "cannot create " + target + ": " + std::strerror(errno);
      return false;
    }
    name_ = buf.data();
    // The finished file gets the permissions an ordinary new file would get,
    // or keeps those of the file it replaces.
    struct stat st {};
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
    return true;
  }
  // Hands the descriptor to the writer, which closes it.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  bool Commit(const std::string& target, std::string& error) {
    if (::rename(name_.c_str(), target.c_str()) != 0) {
      error = "cannot replace " + target + ": " + std::strerror(errno);
      return false;
    }
    committed_ = true;
    // Make the rename itself durable.
    std::string folder = FolderOf(target);
    if (folder.empty()) folder = ".";
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
    return true;
  }
  const std::string& name() const { return name_; }

 private:
  int fd_ = -1;
  std::string name_;
  bool committed_ = false;
};

}  // namespace output
