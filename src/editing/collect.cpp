#include "editing/collect.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

#include "core/codepage.h"
#include "core/safefile.h"
#include "editing/selection.h"
#include "i18n/messages.h"

namespace editing {
namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::u16string& name) { return fs::u8path(ql::ToUtf8(name)); }

// True when something (a file, a folder, even a dangling link) has this name.
bool NameTaken(const std::u16string& name) {
  std::error_code ec;
  fs::file_status st = fs::symlink_status(PathOf(name), ec);
  if (ec) return ec != std::errc::no_such_file_or_directory;  // unknown: treat as taken
  return fs::exists(st);
}

std::u16string WithSeparator(const std::u16string& folder) {
  if (folder.empty()) return u"./";
  char16_t last = folder.back();
  return last == u'/' || last == u'\\' ? folder : folder + u"/";
}

constexpr int kMaxNameTries = 100000;

}  // namespace

std::u16string CopyTargetName(const std::u16string& source, const std::u16string& folder) {
  const std::u16string file = FileNamePart(source);
  const size_t dot = file.rfind(u'.');
  const std::u16string base = dot == std::u16string::npos ? file : file.substr(0, dot);
  const std::u16string ext = dot == std::u16string::npos ? std::u16string() : file.substr(dot);
  const std::u16string dir = WithSeparator(folder);
  std::u16string target = dir + base + ext;
  if (!NameTaken(target)) return target;
  for (int n = 0; n < kMaxNameTries; ++n) {
    target = dir + base + DecimalText(n) + ext;
    if (!NameTaken(target)) return target;
  }
  return std::u16string();
}

CopyRefusal CopyPictureFile(const std::u16string& source, const std::u16string& target,
                            const PictureCheck& isPicture) {
  if (source.empty() || target.empty()) return CopyRefusal::Failed;
  const std::string src = ql::ToUtf8(source), dst = ql::ToUtf8(target);
  // Opened without blocking (a pipe named as a picture must not hang the
  // command), then checked on the descriptor: what is checked is what is read.
  const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (in < 0) return CopyRefusal::Failed;
  struct stat st {};
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(in);
    return S_ISREG(st.st_mode) ? CopyRefusal::Failed : CopyRefusal::NotAFile;
  }
  if (static_cast<uint64_t>(st.st_size) > kMaxCollectedPicture) {
    ::close(in);
    return CopyRefusal::TooLarge;
  }
  std::string bytes;
  bool ok = true;
  try {
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
      const ssize_t n = ::read(in, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ok = false;
      if (n <= 0) break;
      if (bytes.size() + static_cast<size_t>(n) > kMaxCollectedPicture) {
        ::close(in);
        return CopyRefusal::TooLarge;
      }
      bytes.append(buf, static_cast<size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  ::close(in);
  if (!ok) return CopyRefusal::Failed;
  if (!isPicture || !isPicture(bytes)) return CopyRefusal::NotAPicture;

  // Never over an existing name (CopyTargetName found it free).
  if (NameTaken(target)) return CopyRefusal::Failed;
  ql::SafeFile out;
  if (!out.Open(dst)) return CopyRefusal::Failed;
  const int fd = out.ReleaseDescriptor();
  if (fd < 0) return CopyRefusal::Failed;
  // The new file has 0666 less the umask; the copy may have less, never more.
  struct stat made {};
  const mode_t mode = ::fstat(fd, &made) == 0 ? (made.st_mode & st.st_mode & 0666) : (st.st_mode & 0600);
  ok = ::fchmod(fd, mode) == 0;
  for (size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<size_t>(n);
  }
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (!ok || !out.Commit()) return CopyRefusal::Failed;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(AT_FDCWD, dst.c_str(), times, 0);
  return CopyRefusal::None;
}

std::u16string RefusalText(CopyRefusal why) {
  switch (why) {
    case CopyRefusal::NotAFile:
      return i18n::Tr(u"keine gewöhnliche Datei");
    case CopyRefusal::TooLarge:
      return i18n::Tr(u"zu groß");
    case CopyRefusal::NotAPicture:
      return i18n::Tr(u"kein Bild, das das Programm lesen kann");
    case CopyRefusal::Failed:
    case CopyRefusal::None:
      break;
  }
  return std::u16string();
}

namespace {

// Copies one referenced file; on success the reference names the copy.
void CollectOne(std::u16string& ref, const std::u16string& folder, Feedback& fb,
                const PictureCheck& isPicture, CollectResult& res) {
  std::u16string target = CopyTargetName(ref, folder);
  const CopyRefusal why = target.empty() ? CopyRefusal::Failed : CopyPictureFile(ref, target, isPicture);
  if (why == CopyRefusal::None) {
    ref = target;
    res.copied++;
    return;
  }
  if (why != CopyRefusal::Failed) {
    res.refused.push_back({ref, why});
    return;
  }
  res.failed++;
  fb.ShowMessage(i18n::Msg(45) + u" \n" + ref + u"\n " + i18n::Msg(46) + u" \n" + target + u" !",
                 std::u16string(), MessageIcon::Information);
}

}  // namespace

CollectResult CollectPictures(Document& doc, const std::u16string& folder, Feedback& fb,
                              const PictureCheck& isPicture) {
  CollectResult res;
  std::error_code ec;
  const fs::path dir = PathOf(folder);
  if (!folder.empty()) fs::create_directories(dir, ec);
  if (folder.empty() || !fs::is_directory(dir, ec)) {
    fb.ShowMessage(i18n::Msg(49) + u": " + folder, std::u16string(), MessageIcon::Error);
    return res;
  }
  res.folderOk = true;
  doc.akat = nullptr;
  for (Category& cat : doc.kats) {
    if (cat.options && !cat.options->picfile.empty())
      CollectOne(cat.options->picfile, folder, fb, isPicture, res);
    for (Product& p : cat.products)
      for (Picture& pic : p.pictures) CollectOne(pic.filename, folder, fb, isPicture, res);
  }
  if (!res.refused.empty()) {
    std::u16string text = i18n::Tr(u"Diese Dateien wurden nicht kopiert:");
    for (const CollectRefusal& r : res.refused) text += u"\n" + r.file + u" (" + RefusalText(r.why) + u")";
    fb.ShowMessage(text, i18n::Msg(48), MessageIcon::Warning);
  }
  fb.ShowMessage(i18n::Msg(47), i18n::Msg(48), MessageIcon::Information);
  return res;
}

}  // namespace editing
