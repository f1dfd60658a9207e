// The reader shared by the three CSV imports: bytes in the 8-bit code page,
// physical lines, semicolon-separated fields with quotes, quoted fields that
// span lines and the backslash escapes "\r" and "\n".
//
// Input is streamed through a small buffer: the reader never holds more than
// the record it is building, and it looks at most one byte ahead (the byte
// after a CR or LF). A record longer than the caps below is not built; the
// reader reports RecordTooLong and stops there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace csv {

// Caps on one record (all its physical lines together). A product with the
// largest variant table the editor allows (100 x 100 cells) needs about
// 10,000 fields; the caps leave ample room and bound memory per record to a
// few tens of megabytes.
constexpr size_t kMaxRecordChars = 4u * 1024u * 1024u;
constexpr size_t kMaxRecordFields = 32768;

// A byte stream with one byte of look-back.
class ByteReader {
 public:
  virtual ~ByteReader() = default;

  // The next byte (0 ... 255), or -1 at the end of the input or on a read
  // error (see Failed).
  int Get() {
    if (pos_ == len_ && !Refill()) return -1;
    return static_cast<unsigned char>(buf_[pos_++]);
  }
  // Steps back over the byte the last Get returned (only right after a Get
  // that returned a byte, so that byte is still in the buffer).
  void Unget() {
    if (pos_ > 0) --pos_;
  }
  // True when no byte follows (reads ahead into the buffer if needed).
  bool AtEnd() { return pos_ == len_ && !Refill(); }

  bool Failed() const { return failed_; }
  const std::string& ErrorText() const { return error_; }

 protected:
  // Puts up to `cap` bytes into `dst`; returns how many, 0 at the end, or -1
  // on an error (after setting the error text with Fail).
  virtual long Fill(char* dst, size_t cap) = 0;
  void Fail(const std::string& why) {
    failed_ = true;
    error_ = why;
  }

 private:
  bool Refill();

  static constexpr size_t kBufferSize = 64 * 1024;
  char buf_[kBufferSize];
  size_t pos_ = 0;
  size_t len_ = 0;
  bool ended_ = false;
  bool failed_ = false;
  std::string error_;
};

// Bytes held by the caller (which keeps them alive while reading).
class MemoryByteReader : public ByteReader {
 public:
  explicit MemoryByteReader(std::string_view bytes) : bytes_(bytes) {}

 protected:
  long Fill(char* dst, size_t cap) override;

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// A file opened for reading (POSIX descriptor, closed on destruction).
class FileByteReader : public ByteReader {
 public:
  FileByteReader() = default;
  ~FileByteReader() override;
  FileByteReader(const FileByteReader&) = delete;
  FileByteReader& operator=(const FileByteReader&) = delete;

  // Opens `path` (UTF-8). A folder counts as a file that cannot be opened.
  // On failure `reason` holds the system's description.
  bool Open(const std::string& path, std::string& reason);

 protected:
  long Fill(char* dst, size_t cap) override;

 private:
  int fd_ = -1;
};

enum class ReadStatus {
  Record,         // a record was read (it may have no fields: an empty line)
  End,            // no more input
  RecordTooLong,  // the record exceeds kMaxRecordChars / kMaxRecordFields
  ReadError,      // the input failed; ByteReader::ErrorText says why
};

class CsvReader {
 public:
  explicit CsvReader(ByteReader& in, size_t maxChars = kMaxRecordChars, size_t maxFields = kMaxRecordFields)
      : in_(in), maxChars_(maxChars), maxFields_(maxFields) {}

  // Reads the next record into `fields` (cleared first).
  ReadStatus Next(std::vector<std::u16string>& fields);

  // Physical lines read so far: after Next, the line the record ended on.
  uint64_t LineNumber() const { return lines_; }
  // The line the last record started on.
  uint64_t RecordLine() const { return recordLine_; }

 private:
  ReadStatus ReadLine(std::u16string& line, size_t& budget);

  ByteReader& in_;
  size_t maxChars_;
  size_t maxFields_;
  uint64_t lines_ = 0;
  uint64_t recordLine_ = 0;
};

// Splits one physical line into raw fields (quotes still in place). The
// in-quotes state starts as given; every double quote flips it and a ";"
// outside quotes ends a field. A separator at the very end of the line does
// not start an empty field. An empty line gives no fields. Returns false
// (fields incomplete) when more than `maxFields` would result.
bool SplitLine(std::u16string_view line, bool inQuotes, std::vector<std::u16string>& fields,
               size_t maxFields = kMaxRecordFields);

// A field of at least two characters that begins and ends with a double
// quote loses them, and each pair of double quotes inside becomes one.
void UnquoteField(std::u16string& field);

// "\r" and "\n" become CR and LF; a backslash before any other character
// stays together with it, a backslash at the end stays.
void UnescapeField(std::u16string& field);

// True when at least one field is non-empty.
bool HasContent(const std::vector<std::u16string>& fields);

}  // namespace csv
