#include "pdfvector/pdfwriter.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/codepage.h"
#include "i18n/texts.h"
#include "pdf/pdfimages.h"

namespace pdfvec {

namespace {
constexpr size_t kBufferBytes = 1 << 20;
// Queued bodies beyond the ones being made: bounds the memory they hold.
constexpr size_t kMaxPending = 12;
}  // namespace

PdfWriter::PdfWriter(int threads) {
  if (threads < 0) threads = pdfimg::DefaultEncoderThreads();
  if (threads > 0) pool_ = std::make_unique<pdfimg::WorkerPool>(threads, kMaxPending);
}

PdfWriter::~PdfWriter() { Abort(); }

void PdfWriter::Open(int fd, const std::string& name) {
  fd_ = fd;
  name_ = name;
  offsets_.assign(1, 0);
  // The comment of bytes above 127 marks the file as binary for transfers.
  Write("%PDF-1.6\n%\xE2\xE3\xCF\xD3\n");
}

int32_t PdfWriter::Reserve() {
  offsets_.push_back(0);
  return static_cast<int32_t>(offsets_.size() - 1);
}

std::string PdfWriter::CannotWrite(int err) const {
  return i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(name_), i18n::SystemErrorText(err)});
}

void PdfWriter::Fail(const std::string& message) {
  if (error_.empty()) error_ = message.empty() ? CannotWrite(EIO) : message;
}

void PdfWriter::Write(const std::string& s) {
  if (failed()) return;
  buf_ += s;
  pos_ += s.size();
  if (buf_.size() >= kBufferBytes) Flush();
}

void PdfWriter::Flush() {
  if (buf_.empty() || failed()) return;
  if (fd_ < 0 || !pdfimg::WriteAll(fd_, reinterpret_cast<const uint8_t*>(buf_.data()), buf_.size()))
    Fail(CannotWrite(errno));
  buf_.clear();
}

void PdfWriter::WriteObject(int32_t num, const std::string& body) {
  if (num <= 0 || static_cast<size_t>(num) >= offsets_.size()) {
    Fail(i18n::SayUtf8(i18n::Text::PdfInternalError, {i18n::Decimal(num)}));
    return;
  }
  offsets_[num] = pos_;
  Write(std::to_string(num) + " 0 obj\n");
  Write(body);
  Write("\nendobj\n");
}

void PdfWriter::WriteStream(int32_t num, const std::string& dict, const std::string& data) {
  WriteObject(
      num, "<<" + dict + " /Length " + std::to_string(data.size()) + ">>\nstream\n" + data + "\nendstream");
}

void PdfWriter::WriteReady(bool wait_front) {
  while (!pending_.empty()) {
    Pending& p = pending_.front();
    if (!wait_front && p.body.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    try {
      const std::string body = p.body.get();
      WriteObject(p.num, body);
    } catch (const std::bad_alloc&) {
      Fail(i18n::SayUtf8(i18n::Text::NoMemory));
    } catch (const std::exception& e) {
      Fail(e.what());
    }
    pending_.pop_front();
    wait_front = false;  // the rest only as far as they are ready
  }
}

void PdfWriter::Enqueue(int32_t num, std::function<std::string()> make) {
  if (failed()) return;
  if (!pool_) {
    try {
      WriteObject(num, make());
    } catch (const std::bad_alloc&) {
      Fail(i18n::SayUtf8(i18n::Text::NoMemory));
    } catch (const std::exception& e) {
      Fail(e.what());
    }
    return;
  }
  auto task = std::make_shared<std::packaged_task<std::string()>>(std::move(make));
  pending_.push_back({num, task->get_future()});
  pool_->Submit([task] { (*task)(); });
  WriteReady(false);
  while (pending_.size() > kMaxPending) WriteReady(true);
}

void PdfWriter::Drain() {
  while (!pending_.empty()) WriteReady(true);
}

bool PdfWriter::Finish(const std::string& trailer) {
  if (fd_ < 0) return false;
  Drain();
  for (size_t i = 1; i < offsets_.size(); ++i)
    if (offsets_[i] == 0) Fail(i18n::SayUtf8(i18n::Text::PdfInternalError, {i18n::Decimal(int64_t(i))}));
  const uint64_t xref = pos_;
  std::string x = "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
  char line[32];
  for (size_t i = 1; i < offsets_.size(); ++i) {
    std::snprintf(line, sizeof line, "%010llu 00000 n \n", static_cast<unsigned long long>(offsets_[i]));
    x += line;
  }
  Write(x);
  Write("trailer\n<< /Size " + std::to_string(offsets_.size()) + " " + trailer + " >>\nstartxref\n" +
        std::to_string(xref) + "\n%%EOF\n");
  Flush();
  if (!failed() && ::fsync(fd_) != 0 && errno != EINVAL) Fail(CannotWrite(errno));
  if (::close(fd_) != 0) Fail(CannotWrite(errno));
  fd_ = -1;
  return !failed();
}

void PdfWriter::Abort() {
  if (pool_) pool_->DropPending();
  // Running makers finish; their results are dropped with the futures.
  for (Pending& p : pending_) {
    if (p.body.valid()) p.body.wait();
  }
  pending_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// ---------------------------------------------------------------------------

std::string Num(double v, int decimals) {
  if (!std::isfinite(v)) v = 0;
  char b[64];
  std::snprintf(b, sizeof b, "%.*f", decimals, v);
  std::string s = b;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

std::string Ref(int32_t num) { return std::to_string(num) + " 0 R"; }

std::string Literal(const std::string& bytes) {
  std::string s = "(";
  for (unsigned char c : bytes) {
    if (c == '(' || c == ')' || c == '\\') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c < 32 || c > 126) {
      char b[8];
      std::snprintf(b, sizeof b, "\\%03o", c);
      s += b;
    } else {
      s += static_cast<char>(c);
    }
  }
  return s + ")";
}

std::string TextString(const std::u16string& s) {
  bool ascii = true;
  for (char16_t c : s)
    if (c < 32 || c > 126) ascii = false;
  if (ascii) return Literal(std::string(s.begin(), s.end()));
  std::string h = "<FEFF";
  char b[8];
  for (char16_t c : s) {
    std::snprintf(b, sizeof b, "%04X", static_cast<unsigned>(c));
    h += b;
  }
  return h + ">";
}

std::string Name(const std::string& s) {
  std::string n = "/";
  for (unsigned char c : s) {
    if (c < '!' || c > '~' || std::strchr("#()<>[]{}/%", c)) {
      char b[8];
      std::snprintf(b, sizeof b, "#%02X", c);
      n += b;
    } else {
      n += static_cast<char>(c);
    }
  }
  return n;
}

std::string Deflate(const uint8_t* data, size_t len) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::bad_alloc();
  std::string out;
  out.resize(deflateBound(&z, static_cast<uLong>(len)));
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(len);
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  // deflate fails only when it cannot allocate.
  if (rc != Z_STREAM_END) throw std::bad_alloc();
  return out;
}

std::string Deflate(const std::string& data) {
  return Deflate(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

}  // namespace pdfvec
