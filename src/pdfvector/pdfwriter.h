// PdfWriter: the object layer of the vector PDF. Objects are numbered when
// reserved and may be written in any order; the cross-reference table at
// the end lists where each one landed. Output goes straight to the file
// through a buffer (no object model in memory).
//
// Bodies that are expensive to make (deflated page contents, encoded
// pictures, font subsets) are queued with Enqueue: a pool of threads makes
// them while the caller goes on, and they are written in the order they were
// queued, so the file's bytes do not depend on the number of threads. At
// most a bounded number of queued bodies exist at a time.
//
// Errors are sticky: later output is skipped and Finish returns false; the
// message is in error(). A body maker that throws fails the document with
// its message.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace pdfimg {
class WorkerPool;
}

namespace pdfvec {

class PdfWriter {
 public:
  // threads: -1 one per core, 0 everything on the calling thread.
  explicit PdfWriter(int threads = -1);
  ~PdfWriter();
  PdfWriter(const PdfWriter&) = delete;
  PdfWriter& operator=(const PdfWriter&) = delete;

  // Takes over `fd` (closed by Finish or the destructor) and writes the
  // header of a PDF 1.6 file. `name` (the file the user chose) is
  // used in messages.
  void Open(int fd, const std::string& name);
  int32_t Reserve();
  // "n 0 obj" body "endobj".
  void WriteObject(int32_t num, const std::string& body);
  // A stream object: `dict` is the inside of the dictionary without
  // /Length; `data` is written as given (already encoded).
  void WriteStream(int32_t num, const std::string& dict, const std::string& data);
  // A body made on a worker thread; written after everything queued before.
  void Enqueue(int32_t num, std::function<std::string()> make);
  // Writes every queued body (waiting for them).
  void Drain();
  // Drains, writes the cross-reference table and the trailer, flushes to
  // disk and closes the file. `trailer` is the inside of the trailer
  // dictionary without /Size.
  bool Finish(const std::string& trailer);
  // Closes the file without completing it; queued bodies are dropped.
  void Abort();

  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  void Fail(const std::string& message);
  uint64_t bytesWritten() const { return pos_; }

 private:
  // The message for the file that cannot be written, for a system error.
  std::string CannotWrite(int err) const;
  void Write(const std::string& s);
  void Flush();
  void WriteReady(bool wait_front);

  std::unique_ptr<pdfimg::WorkerPool> pool_;
  struct Pending {
    int32_t num;
    std::future<std::string> body;
  };
  std::deque<Pending> pending_;
  std::vector<uint64_t> offsets_;  // by object number; 0 = not written
  int fd_ = -1;
  std::string name_;
  std::string buf_;
  uint64_t pos_ = 0;
  std::string error_;
};

// ---- small formatting helpers of the PDF syntax ----
// A number with at most `decimals` decimals, no exponent, no trailing zeros.
std::string Num(double v, int decimals = 3);
// "n 0 R"
std::string Ref(int32_t num);
// A text string: (literal) for printable ASCII, else <FEFF...> UTF-16BE.
std::string TextString(const std::u16string& s);
// A literal string of bytes with (, ) and \ escaped.
std::string Literal(const std::string& bytes);
// A PDF name (/...) with the characters outside ! ... ~ and the delimiters as #xx.
std::string Name(const std::string& s);
// zlib-wrapped deflate at zlib's default level (throws std::bad_alloc).
std::string Deflate(const std::string& data);
std::string Deflate(const uint8_t* data, size_t len);

}  // namespace pdfvec
