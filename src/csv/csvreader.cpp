#include "csv/csvreader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/codepage.h"

namespace csv {

namespace {
constexpr int kCR = 13;
constexpr int kLF = 10;
}  // namespace

// --- ByteReader ------------------------------------------------------------

bool ByteReader::Refill() {
  if (ended_ || failed_) return false;
  long n = Fill(buf_, kBufferSize);
  if (n <= 0) {
    ended_ = true;
    return false;
  }
  len_ = static_cast<size_t>(n);
  pos_ = 0;
  return true;
}

long MemoryByteReader::Fill(char* dst, size_t cap) {
  size_t n = std::min(cap, bytes_.size() - at_);
  if (n == 0) return 0;
  std::memcpy(dst, bytes_.data() + at_, n);
  at_ += n;
  return static_cast<long>(n);
}

FileByteReader::~FileByteReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileByteReader::Open(const std::string& path, std::string& reason) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    reason = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    reason = std::strerror(S_ISDIR(st.st_mode) ? EISDIR : errno);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

long FileByteReader::Fill(char* dst, size_t cap) {
  if (fd_ < 0) return 0;
  for (;;) {
    ssize_t n = ::read(fd_, dst, cap);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    Fail(std::strerror(errno));
    return -1;
  }
}

// --- Field helpers -----------------------------------------------------------

bool SplitLine(std::u16string_view line, bool inQuotes, std::vector<std::u16string>& fields,
               size_t maxFields) {
  if (line.empty()) return true;
  std::u16string cur;
  bool endedBySeparator = false;
  for (char16_t c : line) {
    endedBySeparator = false;
    if (c == u'"') {
      inQuotes = !inQuotes;
    } else if (c == u';' && !inQuotes) {
      if (fields.size() >= maxFields) return false;
      fields.push_back(std::move(cur));
      cur.clear();
      endedBySeparator = true;
      continue;
    }
    cur.push_back(c);
  }
  if (!endedBySeparator) {
    if (fields.size() >= maxFields) return false;
    fields.push_back(std::move(cur));
  }
  return true;
}

void UnquoteField(std::u16string& f) {
  if (f.size() < 2 || f.front() != u'"' || f.back() != u'"') return;
  std::u16string out;
  out.reserve(f.size() - 2);
  const size_t end = f.size() - 1;
  for (size_t i = 1; i < end; ++i) {
    out.push_back(f[i]);
    if (f[i] == u'"' && i + 1 < end && f[i + 1] == u'"') ++i;
  }
  f.swap(out);
}

void UnescapeField(std::u16string& f) {
  if (f.find(u'\\') == std::u16string::npos) return;
  std::u16string out;
  out.reserve(f.size());
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != u'\\' || i + 1 == f.size()) {
      out.push_back(f[i]);
      continue;
    }
    char16_t n = f[i + 1];
    if (n == u'r') {
      out.push_back(u'\r');
    } else if (n == u'n') {
      out.push_back(u'\n');
    } else {
      out.push_back(u'\\');
      out.push_back(n);
    }
    ++i;
  }
  f.swap(out);
}

bool HasContent(const std::vector<std::u16string>& fields) {
  for (const auto& f : fields)
    if (!f.empty()) return true;
  return false;
}

// --- CsvReader ---------------------------------------------------------------

// One physical line: it ends at CR, CR LF or a single LF; LF LF puts CR LF
// into the line and the line goes on. `budget` is what the record may still
// take in characters.
ReadStatus CsvReader::ReadLine(std::u16string& line, size_t& budget) {
  ++lines_;
  for (;;) {
    int c = in_.Get();
    if (c < 0) break;
    if (c == kCR) {
      int n = in_.Get();
      if (n >= 0 && n != kLF) in_.Unget();
      break;
    }
    if (c == kLF) {
      int n = in_.Get();
      if (n == kLF) {
        if (budget < 2) return ReadStatus::RecordTooLong;
        budget -= 2;
        line.push_back(u'\r');
        line.push_back(u'\n');
        continue;
      }
      if (n >= 0) in_.Unget();
      break;
    }
    if (budget == 0) return ReadStatus::RecordTooLong;
    --budget;
    line.push_back(ql::Cp1252ToUnicode(static_cast<unsigned char>(c)));
  }
  return in_.Failed() ? ReadStatus::ReadError : ReadStatus::Record;
}

ReadStatus CsvReader::Next(std::vector<std::u16string>& fields) {
  fields.clear();
  if (in_.AtEnd()) return in_.Failed() ? ReadStatus::ReadError : ReadStatus::End;
  recordLine_ = lines_ + 1;
  size_t budget = maxChars_;
  std::u16string line;
  ReadStatus st = ReadLine(line, budget);
  if (st != ReadStatus::Record) return st;
  if (line.empty()) return ReadStatus::Record;
  if (!SplitLine(line, false, fields, maxFields_)) return ReadStatus::RecordTooLong;

  size_t examined = 0;
  std::vector<std::u16string> more;
  for (;;) {
    for (size_t i = examined; i < fields.size(); ++i) UnquoteField(fields[i]);
    const std::u16string& last = fields.back();
    const bool open = last.size() >= 2 && last.front() == u'"' && last.back() != u'"';
    if (!open || in_.AtEnd()) {
      if (in_.Failed()) return ReadStatus::ReadError;
      break;
    }
    // The quoted field goes on on the next physical line.
    line.clear();
    st = ReadLine(line, budget);
    if (st != ReadStatus::Record) return st;
    examined = fields.size() - 1;
    if (line.empty()) continue;
    more.clear();
    if (budget < 2 || !SplitLine(line, true, more, maxFields_ + 1 - fields.size()))
      return ReadStatus::RecordTooLong;
    budget -= 2;
    fields.back() += u"\r\n";
    fields.back() += more[0];
    for (size_t i = 1; i < more.size(); ++i) fields.push_back(std::move(more[i]));
  }
  for (auto& f : fields) UnescapeField(f);
  return ReadStatus::Record;
}

}  // namespace csv
