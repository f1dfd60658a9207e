#include "pdf/pdfimages.h"

#include <fcntl.h>
#include <lcms2.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "core/codepage.h"
#include "core/temppaths.h"
#include "i18n/texts.h"

namespace pdfimg {

void ArithmeticRGBTOCMYK(uint8_t r, uint8_t g, uint8_t b, uint8_t cmyk[4]) {
  const uint8_t c = 255 - r, m = 255 - g, y = 255 - b;
  const uint8_t k = std::min(c, std::min(m, y));
  cmyk[0] = c - k;
  cmyk[1] = m - k;
  cmyk[2] = y - k;
  cmyk[3] = k;
}

// ---------------------------------------------------------------- CmykConverter

std::string ChooseCmykProfile(const std::string& progpath, const std::string& named) {
  if (!named.empty()) return named;
  std::string folder = progpath;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string press = folder + kPressProfileName, shipped = folder + kShippedProfileName;
  if (::access(press.c_str(), R_OK) == 0) return press;
  if (::access(shipped.c_str(), R_OK) == 0) return shipped;
  return press;
}

CmykConverter::CmykConverter(const std::string& profilePath) : path_(profilePath) {
  if (profilePath.empty()) {
    reason_ = i18n::SayUtf8(i18n::Text::ProfileNotNamed);
    return;
  }
  hSrc_ = cmsOpenProfileFromFile(profilePath.c_str(), "r");
  if (!hSrc_) {
    reason_ = i18n::SayUtf8(i18n::Text::ProfileCannotOpen, {ql::FromUtf8(profilePath)});
    return;
  }
  hDest_ = cmsCreate_sRGBProfile();
  if (hDest_)
    xform_ = cmsCreateTransform(static_cast<cmsHPROFILE>(hDest_), TYPE_BGR_8, static_cast<cmsHPROFILE>(hSrc_),
                                TYPE_CMYK_8, INTENT_PERCEPTUAL, 0);
  if (!xform_) {
    reason_ = i18n::SayUtf8(i18n::Text::ProfileNotCmyk, {ql::FromUtf8(profilePath)});
    if (hDest_) cmsCloseProfile(static_cast<cmsHPROFILE>(hDest_));
    cmsCloseProfile(static_cast<cmsHPROFILE>(hSrc_));
    hDest_ = hSrc_ = nullptr;
  }
}

CmykConverter::~CmykConverter() {
  if (xform_) cmsDeleteTransform(static_cast<cmsHTRANSFORM>(xform_));
  if (hSrc_) cmsCloseProfile(static_cast<cmsHPROFILE>(hSrc_));
  if (hDest_) cmsCloseProfile(static_cast<cmsHPROFILE>(hDest_));
}

void CmykConverter::RGBTOCMYK(uint8_t r, uint8_t g, uint8_t b, uint8_t cmyk[4]) const {
  if (!xform_) {
    ArithmeticRGBTOCMYK(r, g, b, cmyk);
    return;
  }
  const uint8_t bgr[3] = {b, g, r};
  cmsDoTransform(static_cast<cmsHTRANSFORM>(xform_), bgr, cmyk, 1);
}

void CmykConverter::ConvertBGR(const uint8_t* bgr, uint8_t* cmyk, size_t n) const {
  if (xform_) {
    // The transform reads B, G, R directly; split so the count fits its type.
    constexpr size_t kMax = 1u << 30;
    while (n > 0) {
      const size_t part = std::min(n, kMax);
      cmsDoTransform(static_cast<cmsHTRANSFORM>(xform_), bgr, cmyk, static_cast<cmsUInt32Number>(part));
      bgr += part * 3;
      cmyk += part * 4;
      n -= part;
    }
    return;
  }
  for (size_t i = 0; i < n; ++i)
    ArithmeticRGBTOCMYK(bgr[3 * i + 2], bgr[3 * i + 1], bgr[3 * i], cmyk + 4 * i);
}

// ---------------------------------------------------------------- samples

namespace {

void SwapRedBluePlain(const uint8_t* src, uint8_t* out, size_t x, size_t w) {
  for (; x < w; ++x) {
    out[3 * x] = src[3 * x + 2];
    out[3 * x + 1] = src[3 * x + 1];
    out[3 * x + 2] = src[3 * x];
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Five pixels per step through one byte shuffle. Each step reads and writes
// 16 bytes; the 16th byte written is the next step's first pixel, so the
// loop stops while a whole pixel beyond the step remains in the row.
__attribute__((target("ssse3"))) void SwapRedBlueSsse3(const uint8_t* src, uint8_t* out, size_t w) {
  const __m128i mask = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  size_t x = 0;
  for (; x + 6 <= w; x += 5) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(v, mask));
  }
  SwapRedBluePlain(src, out, x, w);
}
// Drops the fourth byte of every pixel: 4 pixels per step, 16 bytes written
// of which the last 4 are rewritten by the next step.
__attribute__((target("ssse3"))) void DropFourthSsse3(const uint8_t* src, uint8_t* out, size_t w) {
  const __m128i mask = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  size_t x = 0;
  for (; x + 6 <= w; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(v, mask));
  }
  for (; x < w; ++x) std::memcpy(out + 3 * x, src + 4 * x, 3);
}

bool HaveSsse3() {
  static const bool have = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
  }();
  return have;
}
#endif

}  // namespace

void SwapRedBlue(const uint8_t* src, uint8_t* out, size_t w) {
#if defined(__x86_64__) || defined(__i386__)
  if (HaveSsse3()) {
    SwapRedBlueSsse3(src, out, w);
    return;
  }
#endif
  SwapRedBluePlain(src, out, 0, w);
}

void DropFourthByte(const uint8_t* src, uint8_t* out, size_t w) {
#if defined(__x86_64__) || defined(__i386__)
  if (HaveSsse3()) {
    DropFourthSsse3(src, out, w);
    return;
  }
#endif
  for (size_t x = 0; x < w; ++x) std::memcpy(out + 3 * x, src + 4 * x, 3);
}

void BuildSampleRows(const PixelView& v, int32_t top, int32_t rows, const CmykConverter* conv, uint8_t* out) {
  const size_t w = static_cast<size_t>(v.width);
  for (int32_t r = 0; r < rows; ++r) {
    const int32_t sampleRow = top + r;
    // Bitmap row i (0 = bottom) is sample row H - 1 - i.
    const uint8_t* src =
        v.pixels + static_cast<size_t>(v.height - 1 - sampleRow) * static_cast<size_t>(v.bytew);
    if (conv) {
      conv->ConvertBGR(src, out, w);
      out += w * 4;
    } else {
      SwapRedBlue(src, out, w);
      out += 3 * w;
    }
  }
}

std::vector<uint8_t> BuildSamples(const PixelView& v, const CmykConverter* conv) {
  std::vector<uint8_t> out(static_cast<size_t>(v.width) * static_cast<size_t>(v.height) * (conv ? 4 : 3));
  if (!out.empty()) BuildSampleRows(v, 0, v.height, conv, out.data());
  return out;
}

// ---------------------------------------------------------------- sinks, encoder

bool WriteAll(int fd, const uint8_t* data, size_t len) {
  while (len > 0) {
    const ssize_t n = ::write(fd, data, std::min<size_t>(len, 1u << 30));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

bool MemorySink::Write(const uint8_t* data, size_t len, std::string& error) {
  bytes.insert(bytes.end(), data, data + len);
  return true;
}

std::string CannotWrite(const std::string& file, int err) {
  return i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(file), i18n::SystemErrorText(err)});
}

bool FdSink::Write(const uint8_t* data, size_t len, std::string& error) {
  if (WriteAll(fd_, data, len)) return true;
  error = CannotWrite(name_, errno);
  return false;
}

bool EncodeImage(const PixelView& v, const CmykConverter* conv, ByteSink& sink, uint64_t& length,
                 std::string& error) {
  length = 0;
  const size_t bpp = conv ? 4 : 3;
  const size_t rowBytes = static_cast<size_t>(v.width) * bpp;
  // Bands of about 1 MB of samples.
  const int32_t bandRows =
      v.height <= 0 ? 1
                    : static_cast<int32_t>(std::clamp<size_t>((1u << 20) / std::max<size_t>(rowBytes, 1), 1,
                                                              static_cast<size_t>(v.height)));
  std::vector<uint8_t> band(rowBytes * static_cast<size_t>(bandRows));
  std::vector<uint8_t> out(256 * 1024);

  z_stream zs;
  std::memset(&zs, 0, sizeof(zs));
  if (deflateInit(&zs, Z_DEFAULT_COMPRESSION) != Z_OK) {
    error = i18n::SayUtf8(i18n::Text::PictureDataNotCompressed);
    return false;
  }
  bool ok = true;
  auto drain = [&](int flush) -> int {
    int rc;
    do {
      zs.next_out = out.data();
      zs.avail_out = static_cast<uInt>(out.size());
      rc = deflate(&zs, flush);
      if (rc == Z_STREAM_ERROR) return rc;
      const size_t produced = out.size() - zs.avail_out;
      if (produced > 0) {
        if (!sink.Write(out.data(), produced, error)) return Z_ERRNO;
        length += produced;
      }
    } while (zs.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    return rc;
  };
  for (int32_t top = 0; ok && top < v.height; top += bandRows) {
    const int32_t rows = std::min(bandRows, v.height - top);
    BuildSampleRows(v, top, rows, conv, band.data());
    zs.next_in = band.data();
    zs.avail_in = static_cast<uInt>(rowBytes * static_cast<size_t>(rows));
    const int rc = drain(Z_NO_FLUSH);
    if (rc == Z_STREAM_ERROR || rc == Z_ERRNO) ok = false;
  }
  if (ok) {
    zs.next_in = nullptr;
    zs.avail_in = 0;
    ok = drain(Z_FINISH) == Z_STREAM_END;
  }
  deflateEnd(&zs);
  if (!ok && error.empty()) error = i18n::SayUtf8(i18n::Text::PictureDataNotCompressed);
  return ok;
}

// ---------------------------------------------------------------- spool folder

bool MakeSpoolFolder(const std::string& parent, std::string& folder, std::string& error) {
  std::string base = parent.empty() ? ql::TemporaryFolder() : parent;
  if (base.back() != '/') base += '/';
  // The pid in the name lets a later start remove the folder of a run that
  // was killed (ql::StartTemporaryPathJournal).
  std::string templ = base + "quillane-pdf-" + std::to_string(::getpid()) + "-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) {
    const int err = errno;
    error = i18n::SayUtf8(i18n::Text::SpoolFolderFailed, {ql::FromUtf8(base), i18n::SystemErrorText(err)});
    return false;
  }
  folder = std::string(buf.data()) + "/";
  return true;
}

int CreateSpoolFile(const std::string& folder, uint32_t& n, std::string& path, std::string& error) {
  for (uint32_t i = n;; ++i) {
    std::string name = folder + "temppdfimg" + std::to_string(i) + ".bmp";
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      n = i;
      path = std::move(name);
      return fd;
    }
    if (errno != EEXIST || i == UINT32_MAX) {
      const int err = errno;
      error = i18n::SayUtf8(i18n::Text::SpoolFileFailed, {ql::FromUtf8(name), i18n::SystemErrorText(err)});
      return -1;
    }
  }
}

void RemoveSpoolFolder(const std::string& folder, const std::vector<std::string>& files) {
  for (const std::string& f : files) ::unlink(f.c_str());
  if (!folder.empty()) ::rmdir(folder.c_str());
}

// ---------------------------------------------------------------- worker pool

WorkerPool::WorkerPool(int threads, size_t capacity) : capacity_(std::max<size_t>(capacity, 1)) {
  for (int i = 0; i < std::max(threads, 1); ++i) workers_.emplace_back([this] { Run(); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    stop_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  space_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void WorkerPool::Submit(std::function<void()> task) {
  std::unique_lock<std::mutex> lock(mu_);
  space_.wait(lock, [this] { return stop_ || queue_.size() < capacity_; });
  if (stop_) return;
  queue_.push_back(std::move(task));
  lock.unlock();
  wake_.notify_one();
}

void WorkerPool::WaitIdle() {
  std::unique_lock<std::mutex> lock(mu_);
  idle_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

void WorkerPool::DropPending() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    queue_.clear();
  }
  space_.notify_all();
  idle_.notify_all();
}

void WorkerPool::Run() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mu_);
      wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
      if (stop_) return;
      task = std::move(queue_.front());
      queue_.pop_front();
      ++running_;
    }
    space_.notify_one();
    task();
    {
      std::lock_guard<std::mutex> lock(mu_);
      --running_;
      if (queue_.empty() && running_ == 0) idle_.notify_all();
    }
  }
}

int DefaultEncoderThreads() {
  const unsigned n = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp<unsigned>(n == 0 ? 1 : n, 1, 8));
}

}  // namespace pdfimg
