#include "project/fileio.h"

#include "core/safefile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace project {

namespace {
std::string SystemReason(int err) { return std::strerror(err); }

// Closes the descriptor when leaving scope unless released.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};
}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason) {
  Fd f;
  f.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (f.fd < 0) {
    reason = SystemReason(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(f.fd, &st) != 0) {
    reason = SystemReason(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    reason = SystemReason(EISDIR);
    return false;
  }
  // A pipe or device may never end; what is read from one is bounded.
  constexpr size_t kMaxFromStream = size_t(256) << 20;
  const bool regular = S_ISREG(st.st_mode);
  std::string out;
  if (regular && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(f.fd, buf, sizeof(buf));
    if (n < 0) {
      if (errno == EINTR) continue;
      reason = SystemReason(errno);
      return false;
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
    if (!regular && out.size() > kMaxFromStream) {
      reason = SystemReason(EFBIG);
      return false;
    }
  }
  bytes.swap(out);
  return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& reason) {
  return ql::WriteFileSafely(path, bytes, reason);
}

namespace {
template <class S>
S FolderPartOf(const S& name) {
  for (size_t i = name.size(); i > 0; --i)
    if (name[i - 1] == '/' || name[i - 1] == '\\') return name.substr(0, i);
  return S();
}
}  // namespace

std::u16string FolderPart(const std::u16string& name) { return FolderPartOf(name); }
std::string FolderPart(const std::string& name) { return FolderPartOf(name); }

bool HasFolderPart(const std::u16string& name) {
  return name.find_first_of(u"/\\") != std::u16string::npos;
}

bool HasOlderProjectExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".pkd";
}

}  // namespace project
