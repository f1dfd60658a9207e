#include "project/fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/codepage.h"
#include "core/safefile.h"
#include "core/temppaths.h"

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

bool HasFolderPart(const std::u16string& name) { return name.find_first_of(u"/\\") != std::u16string::npos; }

namespace {
bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool HasDriveLetter(const std::u16string& n) {
  return n.size() >= 2 && n[1] == u':' && ((n[0] >= u'A' && n[0] <= u'Z') || (n[0] >= u'a' && n[0] <= u'z'));
}

bool IsAbsoluteName(const std::u16string& n) {
  return (!n.empty() && IsSeparator(n[0])) || HasDriveLetter(n);
}

std::u16string CurrentFolder() {
  std::string buf(4096, '\0');
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE || buf.size() > (size_t(1) << 20)) return std::u16string();
    buf.resize(buf.size() * 2);
  }
  buf.resize(std::strlen(buf.c_str()));
  return ql::FromUtf8(buf);
}

// `name` made absolute against the current folder, with "/" between steps and
// "." and ".." resolved lexically (a symbolic link is a step like any other,
// as it is for the reader that joins folder and bare name).
std::u16string LexicalAbsolute(const std::u16string& name) {
  std::u16string full = IsAbsoluteName(name) ? name : CurrentFolder() + u"/" + name;
  std::u16string prefix;
  size_t i = 0;
  if (HasDriveLetter(full)) {
    prefix = full.substr(0, 2);
    i = 2;
  }
  std::vector<std::u16string> steps;
  while (i <= full.size()) {
    size_t j = i;
    while (j < full.size() && !IsSeparator(full[j])) ++j;
    std::u16string step = full.substr(i, j - i);
    if (step == u"..") {
      if (!steps.empty()) steps.pop_back();
    } else if (!step.empty() && step != u".") {
      steps.push_back(std::move(step));
    }
    i = j + 1;
  }
  std::u16string out = prefix;
  for (const auto& s : steps) out += u"/" + s;
  return out;
}
}  // namespace

std::u16string StoredPictureName(const std::u16string& name, const std::u16string& projectFolder) {
  // A name ending in a separator, ".", or ".." names a folder, not a picture.
  if (name.empty() || IsSeparator(name.back())) return name;
  const size_t lastSep = name.find_last_of(u"/\\");
  const std::u16string last = lastSep == std::u16string::npos ? name : name.substr(lastSep + 1);
  if (last == u"." || last == u"..") return name;
  const std::u16string full = LexicalAbsolute(name);
  const size_t cut = full.find_last_of(u'/');
  const std::u16string nameFolder = cut == std::u16string::npos ? std::u16string() : full.substr(0, cut);
  const std::u16string bare = full.substr(cut == std::u16string::npos ? 0 : cut + 1);
  if (LexicalAbsolute(projectFolder.empty() ? u"." : projectFolder) == nameFolder) return bare;
  return IsAbsoluteName(name) ? name : full;
}

namespace {
std::u16string InFolder(const std::u16string& folder, const std::u16string& name) {
  if (folder.empty() || IsSeparator(folder.back())) return folder + name;
  return folder + u"/" + name;
}

bool IsRegularFile(const std::u16string& name) {
  struct stat st {};
  return ::stat(ql::ToUtf8(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

std::u16string FindPictureFile(const std::u16string& name, const std::u16string& projectFolder,
                               const std::u16string& programFolder, bool* found) {
  if (found) *found = true;
  if (name.empty() || HasFolderPart(name)) return name;
  for (const std::u16string* folder : {&projectFolder, &programFolder}) {
    if (folder->empty()) continue;
    std::u16string full = InFolder(*folder, name);
    if (IsRegularFile(full)) return full;
  }
  // In the current folder the bare name itself names the file.
  if (found) *found = IsRegularFile(name);
  return name;
}

std::u16string ResolveStoredPictureName(const std::u16string& name, const std::u16string& projectFolder,
                                        const std::u16string& programFolder) {
  bool found = true;
  const std::u16string file = FindPictureFile(name, projectFolder, programFolder, &found);
  return found ? file : InFolder(projectFolder, name);
}

bool HasOlderProjectExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".pkd";
}

}  // namespace project
