#include "csv/csvexport.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/codepage.h"
#include "core/linebreaks.h"
#include "core/temppaths.h"
#include "i18n/messages.h"

namespace csv {

namespace {

std::u16string AppTitle() { return i18n::Tr(u"Quillane"); }

std::u16string SystemText(int err) { return ql::FromUtf8(std::strerror(err)); }

// Collects the file's bytes in a temporary file next to the target and puts
// it in place at the end. Until Commit succeeds the target is untouched.
class AtomicFile {
 public:
  ~AtomicFile() { Abandon(); }

  // Creates the temporary file. False with errno set when that fails.
  bool Create(const std::string& path) {
    target_ = path;
    // Write through a symbolic link to the file it names, as truncating the
    // file in place would.
    struct stat lst {};
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
      char resolved[PATH_MAX];
      if (::realpath(path.c_str(), resolved)) target_ = resolved;
    }
    struct stat st {};
    mode_t mode;
    if (::stat(target_.c_str(), &st) == 0) {
      // A file the user may not write, or a folder, cannot be replaced.
      if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
      }
      if (::access(target_.c_str(), W_OK) != 0) return false;
      mode = st.st_mode & 07777;
    } else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    tmp_ = target_ + ".XXXXXX";
    fd_ = ::mkstemp(tmp_.data());
    if (fd_ < 0) {
      tmp_.clear();
      return false;
    }
    guard_.Reset(tmp_);
    if (::fchmod(fd_, mode) != 0) {
      int e = errno;
      Abandon();
      errno = e;
      return false;
    }
    return true;
  }

  bool Write(const std::string& bytes) {
    buf_ += bytes;
    return buf_.size() < kFlushAt || Flush();
  }

  // Flushes, closes and renames. False with errno set on failure (the
  // temporary file is then removed).
  bool Commit() {
    if (!Flush() || ::fsync(fd_) != 0) return Fail();
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail();
    if (::rename(tmp_.c_str(), target_.c_str()) != 0) return Fail();
    guard_.Reset();
    tmp_.clear();
    return true;
  }

 private:
  static constexpr size_t kFlushAt = 64 * 1024;

  bool Flush() {
    size_t done = 0;
    while (done < buf_.size()) {
      ssize_t n = ::write(fd_, buf_.data() + done, buf_.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += static_cast<size_t>(n);
    }
    buf_.clear();
    return true;
  }
  bool Fail() {
    int e = errno;
    Abandon();
    errno = e;
    return false;
  }
  void Abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tmp_.empty()) ::unlink(tmp_.c_str());
    guard_.Reset();
    tmp_.clear();
  }

  std::string target_;
  std::string tmp_;
  ql::TemporaryPath guard_;  // removed if the program is interrupted
  std::string buf_;
  int fd_ = -1;
};

}  // namespace

std::u16string QuoteValue(const std::u16string& value) {
  std::u16string out;
  out.reserve(value.size() + 2);
  out.push_back(u'"');
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    // Every line break (CR LF, or a lone CR or LF as typed into the editor)
    // leaves as the escaped CR LF that other programs expect.
    if (const size_t n = ql::LineBreakAt(value, i)) {
      out += u"\\r\\n";
      i += n - 1;
    } else if (c == u'"') {
      out += u"\"\"";
    } else {
      out.push_back(c);
    }
  }
  out.push_back(u'"');
  return out;
}

std::u16string ProductLine(const Document& doc, const Product& p, const std::u16string* category) {
  static const std::u16string empty;
  std::u16string line;
  auto add = [&](const std::u16string& v) {
    if (!line.empty()) line.push_back(u';');
    line += QuoteValue(v);
  };
  if (category) add(*category);
  add(p.name);
  add(p.description);
  add(p.pictures.Empty() ? empty : p.pictures[0].filename);
  const uint32_t t = static_cast<uint32_t>(doc.templatecolumns.size());
  for (const VariantRow& row : p.variants)
    for (uint32_t c = 0; c < t; ++c) add(c < row.cells.Count() ? row.cells[c].text : empty);
  return line;
}

bool ExportCSVFile(const Document& doc, const std::string& path, bool all, int32_t selected,
                   std::u16string& error) {
  const std::u16string uname = ql::FromUtf8(path);
  if (!all && (selected < 0 || static_cast<uint32_t>(selected) >= doc.kats.Count())) {
    error = i18n::Msg(37);
    return false;
  }
  AtomicFile f;
  if (!f.Create(path)) {
    error = i18n::Msg(34) + uname;
    return false;
  }
  auto writeCategory = [&](const Category& cat) {
    for (const Product& p : cat.products) {
      std::string bytes = ql::ToCp1252(ProductLine(doc, p, all ? &cat.name : nullptr));
      bytes += "\r\n";
      if (!f.Write(bytes)) return false;
    }
    return true;
  };
  bool ok = true;
  if (all) {
    for (const Category& cat : doc.kats)
      if (!(ok = writeCategory(cat))) break;
  } else {
    ok = writeCategory(doc.kats[static_cast<uint32_t>(selected)]);
  }
  if (!ok || !f.Commit()) {
    error = i18n::Tr(u"Fehler beim Schreiben der Datei: ") + uname + u" (" + SystemText(errno) + u")";
    return false;
  }
  return true;
}

bool ExportalsCSVDatei(const Document& doc, int32_t selected, Feedback& fb,
                       const std::function<std::string()>& chooseFile) {
  const bool all = fb.Ask(i18n::Msg(35), i18n::Msg(36), Buttons::YesNo) == Answer::Yes;
  if (!all && (selected < 0 || static_cast<uint32_t>(selected) >= doc.kats.Count())) {
    fb.ShowMessage(i18n::Msg(37), i18n::Msg(36), MessageIcon::Error);
    return false;
  }
  const std::string path = chooseFile ? chooseFile() : std::string();
  if (path.empty()) return false;
  std::u16string error;
  if (!ExportCSVFile(doc, path, all, selected, error)) {
    fb.ShowMessage(error, AppTitle(), MessageIcon::Error);
    return false;
  }
  return true;
}

}  // namespace csv
