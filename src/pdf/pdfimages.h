// Image objects of the PDF writer: turning a 24-bit page bitmap into PDF
// samples (top row first, RGB or CMYK), the RGB -> CMYK conversion, the
// deflate encoder, the private spool folder and the encoder thread pool.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "imaging/dib/dib.h"

namespace pdfimg {

// Name of the press profile looked for in the program's folder.
constexpr const char* kPressProfileName = "WebCoatedSWOP2006Grade3.icc";
// The free press profile shipped beside the program (offset on coated
// paper, made from the FOGRA39 characterization data).
constexpr const char* kShippedProfileName = "QuillaneCoatedFOGRA39.icc";

// The profile a CMYK export uses: `named` when the user named one; else
// kPressProfileName in `progpath` if it exists there; else
// kShippedProfileName there if that exists; else the (missing) press
// profile's path, so the fallback reason names it.
std::string ChooseCmykProfile(const std::string& progpath, const std::string& named);

// C' = 255 - R ..., K = min(C', M', Y'), then K is taken out of C', M', Y'.
void ArithmeticRGBTOCMYK(uint8_t r, uint8_t g, uint8_t b, uint8_t cmyk[4]);

// RGB -> CMYK through Little CMS (built-in sRGB to the press profile,
// TYPE_BGR_8 -> TYPE_CMYK_8, perceptual) when the profile can be opened and
// the transform created; the arithmetic conversion otherwise. The choice is
// made once, in the constructor. Conversions may run on several threads at
// once (Little CMS keeps its pixel cache per call since 2.3).
class CmykConverter {
 public:
  explicit CmykConverter(const std::string& profilePath);
  ~CmykConverter();
  CmykConverter(const CmykConverter&) = delete;
  CmykConverter& operator=(const CmykConverter&) = delete;

  bool uselcms() const { return xform_ != nullptr; }
  // The profile file asked for (in use when uselcms()).
  const std::string& profilePath() const { return path_; }
  // Why Little CMS is not in use (empty when it is).
  const std::string& fallbackReason() const { return reason_; }

  // One pixel; with Little CMS one transform call per pixel.
  void RGBTOCMYK(uint8_t r, uint8_t g, uint8_t b, uint8_t cmyk[4]) const;
  // n pixels of B, G, R bytes (the bitmap's own order) to n × C, M, Y, K.
  // Same bytes as n calls of RGBTOCMYK.
  void ConvertBGR(const uint8_t* bgr, uint8_t* cmyk, size_t n) const;

 private:
  void* hSrc_ = nullptr;   // press profile (output side)
  void* hDest_ = nullptr;  // sRGB (input side)
  void* xform_ = nullptr;
  std::string path_;
  std::string reason_;
};

// The pixel rows of one 24-bit bitmap as the encoder sees them: stored
// bottom row first, `bytew` bytes per row, pixels B, G, R.
struct PixelView {
  const uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bytew = 0;
};

// w pixels of 3 bytes with the first and third byte of each exchanged
// (B, G, R to R, G, B and back); `src` and `out` must not overlap.
void SwapRedBlue(const uint8_t* src, uint8_t* out, size_t w);
// w pixels of 4 bytes to 3 bytes, the fourth byte of each left out (a
// 32-bit B, G, R, x row to a 24-bit bitmap row).
void DropFourthByte(const uint8_t* src, uint8_t* out, size_t w);

// Samples of `rows` rows starting at sample row `top` (0 = top of the page),
// unpadded: R, G, B or (with `cmyk`) C, M, Y, K per pixel. `cmyk` needs `conv`.
void BuildSampleRows(const PixelView& v, int32_t top, int32_t rows, const CmykConverter* conv, uint8_t* out);
// All samples of a bitmap, W × H × 3 or × 4 bytes.
std::vector<uint8_t> BuildSamples(const PixelView& v, const CmykConverter* conv);

// Receives the encoder's output. Returns false (with a message) on failure.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(const uint8_t* data, size_t len, std::string& error) = 0;
};

class MemorySink : public ByteSink {
 public:
  bool Write(const uint8_t* data, size_t len, std::string& error) override;
  std::vector<uint8_t> bytes;
};

// Writes to an open file descriptor, retrying short writes.
class FdSink : public ByteSink {
 public:
  FdSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  bool Write(const uint8_t* data, size_t len, std::string& error) override;

 private:
  int fd_;
  std::string name_;
};

// Deflates the samples of `v` (zlib wrapper, zlib's default level), built a
// band of rows at a time so the whole sample buffer never exists at once;
// the bytes are those of compressing the whole buffer in one call.
// `length` receives the compressed length.
bool EncodeImage(const PixelView& v, const CmykConverter* conv, ByteSink& sink, uint64_t& length,
                 std::string& error);

// write(2) of the whole buffer, retrying after EINTR and short writes.
bool WriteAll(int fd, const uint8_t* data, size_t len);
// The message for `file` that could not be written, for system error `err`.
std::string CannotWrite(const std::string& file, int err);

// A folder only the user can enter, "quillane-pdf-<pid>-XXXXXX" made by
// mkdtemp inside `parent` (the user's temporary folder when empty: $TMPDIR,
// else /tmp), mode 0700.
bool MakeSpoolFolder(const std::string& parent, std::string& folder, std::string& error);
// Creates folder + "temppdfimg" + n + ".bmp" for the smallest n >= `n` whose
// name is free, exclusively: an existing file or link of that name is never
// opened. Returns the open descriptor (and sets `n` and `path`) or -1.
int CreateSpoolFile(const std::string& folder, uint32_t& n, std::string& path, std::string& error);
// Removes the spool files named in `files` and then the folder itself.
void RemoveSpoolFolder(const std::string& folder, const std::vector<std::string>& files);

// A fixed set of worker threads fed through a bounded queue: Submit blocks
// while `capacity` tasks wait, so at most threads + capacity tasks (and the
// memory they hold) exist at once. Tasks must not throw.
class WorkerPool {
 public:
  WorkerPool(int threads, size_t capacity);
  ~WorkerPool();  // drops waiting tasks, finishes running ones, joins
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void Submit(std::function<void()> task);
  void WaitIdle();     // until the queue is empty and no task runs
  void DropPending();  // forgets waiting tasks (running ones finish)
  int threads() const { return static_cast<int>(workers_.size()); }

 private:
  void Run();
  std::mutex mu_;
  std::condition_variable wake_, space_, idle_;
  std::deque<std::function<void()>> queue_;
  size_t capacity_;
  int running_ = 0;
  bool stop_ = false;
  std::vector<std::thread> workers_;
};

// The number of encoder threads to use when the caller does not say: one per
// core, at least 1, at most 8.
int DefaultEncoderThreads();

}  // namespace pdfimg
