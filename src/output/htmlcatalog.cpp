#include "output/htmlcatalog.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <new>
#include <sstream>

#include "core/codepage.h"
#include "core/safefile.h"
#include "core/temppaths.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "i18n/texts.h"
#include "imaging/jpegwrite.h"
#include "imaging/pixoran.h"
#include "output/bitmapsink.h"
#include "output/pagejobs.h"
#include "pdfvector/vectordoc.h"
#include "project/document.h"
#include "render/layouts/layouts.h"
#include "render/units.h"

namespace output {

const char* const kHtmlTemplateName = "flippages.htm";
const char* const kHtmlCatalogName = "catalog.htm";
const char* const kHtmlPdfName = "catalog.pdf";
const std::vector<const char*> kHtmlNavPictures = {"vcr-end.gif",
                                                   "vcr-next.gif",
                                                   "vcr-previous.gif",
                                                   "vcr-start.gif",
                                                   "magnifying-glass-plus.gif",
                                                   "magnifying-glass-minus.gif"};

namespace {

// Larger templates or pictures are not what the program ships; refusing
// them keeps a wrong file from being read whole into memory.
constexpr std::streamoff kMaxDataFile = 64LL * 1024 * 1024;

bool ReadWhole(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxDataFile) return false;
  in.seekg(0);
  out.resize(static_cast<size_t>(size));
  in.read(out.data(), size);
  return static_cast<bool>(in) || size == 0;
}

// The navigation pictures are written here: under a temporary name, renamed
// over the target when complete.
bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& error,
                     ql::Sync sync = ql::Sync::Now) {
  std::string reason;
  if (ql::WriteFileSafely(path, bytes, reason, sync)) return true;
  error = i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(path), i18n::SystemErrorText(reason)});
  return false;
}

// The page images are written into a folder of their own inside the output
// folder (registered for removal on interrupt) and moved to their names only
// when the whole export has succeeded; otherwise the folder goes with them.
class StagedImages {
 public:
  ~StagedImages() { Discard(); }

  bool Make(const std::string& folder, std::string& error) {
    std::string templ = folder + ".catalogpages-XXXXXX";
    if (!::mkdtemp(templ.data())) {
      const int err = errno;
      error = i18n::SayUtf8(i18n::Text::CannotWriteIntoFolder,
                            {ql::FromUtf8(folder), i18n::SystemErrorText(err)});
      return false;
    }
    stage_ = templ + "/";
    guard_.Reset(templ, true);
    return true;
  }
  const std::string& Folder() const { return stage_; }

  // Moves every staged file into `folder`. Refuses, moving nothing, when a
  // target is a folder or a read-only file (the refusals of every writer).
  bool Publish(const std::string& folder, std::string& error) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(stage_, ec))
      names.push_back(e.path().filename());
    if (ec) {
      error = i18n::SayUtf8(i18n::Text::CannotReadFile,
                            {ql::FromUtf8(stage_), i18n::SystemErrorText(ec.value())});
      return false;
    }
    std::sort(names.begin(), names.end());
    // The staged files reach the disk together, before any is moved.
    std::string reason;
    if (!ql::SyncFolder(stage_, reason)) {
      error = i18n::SayUtf8(i18n::Text::CannotWriteIntoFolder,
                            {ql::FromUtf8(folder), i18n::SystemErrorText(reason)});
      return false;
    }
    for (const std::string& n : names) {
      const std::string target = folder + n;
      struct stat st {};
      if (::lstat(target.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        error =
            i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(target), i18n::SystemErrorText(EISDIR)});
        return false;
      }
      if (S_ISREG(st.st_mode) && ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        error = i18n::SayUtf8(i18n::Text::CannotWriteFile,
                              {ql::FromUtf8(target), i18n::Say(i18n::Text::ErrFileReadOnly)});
        return false;
      }
    }
    // A link in the folder is replaced, not written through: the images are
    // the export's own files.
    for (const std::string& n : names)
      if (::rename((stage_ + n).c_str(), (folder + n).c_str()) != 0) {
        const int err = errno;
        error = i18n::SayUtf8(i18n::Text::CannotWriteFile,
                              {ql::FromUtf8(folder + n), i18n::SystemErrorText(err)});
        return false;
      }
    if (!ql::SyncFolderNames(folder, reason)) {
      error = i18n::SayUtf8(i18n::Text::CannotWriteIntoFolder,
                            {ql::FromUtf8(folder), i18n::SystemErrorText(reason)});
      return false;
    }
    return true;
  }

  void Discard() {
    if (stage_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(stage_, ec);
    stage_.clear();
    guard_.Reset();
  }

 private:
  std::string stage_;
  ql::TemporaryPath guard_;
};

bool IsUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t more = c < 0x80                   ? 0
                        : (c >= 0xC2 && c <= 0xDF) ? 1
                        : (c & 0xF0) == 0xE0       ? 2
                        : (c >= 0xF0 && c <= 0xF4) ? 3
                                                   : 9;
    if (more == 9 || i + more >= s.size() + (more == 0 ? 1 : 0)) return false;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

void ReplaceAll(std::string& s, const std::string& what, const std::string& by) {
  for (size_t at = 0; (at = s.find(what, at)) != std::string::npos; at += by.size())
    s.replace(at, what.size(), by);
}

// shade[f - 50][c] = Round(f * c / 100 + (100 - f) * 128 / 100) for f = 50 ... 100.
const std::array<std::array<uint8_t, 256>, 51>& ShadeTable() {
  static const auto table = [] {
    std::array<std::array<uint8_t, 256>, 51> t{};
    for (int f = 50; f <= 100; ++f)
      for (int c = 0; c < 256; ++c)
        t[f - 50][c] = static_cast<uint8_t>(render::RoundEven(f * c / 100.0 + (100 - f) * 128 / 100.0));
    return t;
  }();
  return table;
}

inline void ShadePixel(uint8_t* px, int32_t f) {
  if (f >= 100) return;  // f = 100 keeps the colour
  const auto& t = ShadeTable()[f - 50];
  px[0] = t[px[0]];
  px[1] = t[px[1]];
  px[2] = t[px[2]];
}

// The catalog's name in the browser: the header text or the project's name.
std::u16string HtmlTitle(const Document& doc) {
  const std::u16string t = pdfvec::CatalogTitle(doc);
  return doc.afilename.empty() && t == u"Catalog" ? i18n::Tr(u"Katalog") : t;
}

// The text of every page beside its pictures, the search index and the
// page list for readers without scripts (into info.noscript). Written into
// the staging folder, flushed and moved with the pictures.
bool WriteTextLayer(const std::string& folder, const Document& doc, const render::RenderParams& p,
                    HtmlTemplateInfo& info, const std::vector<PageText>& texts, std::string& error) {
  const std::vector<std::u16string> alts = PageAltTexts(doc, info.pageCount);
  for (int32_t page = 1; page <= info.pageCount; ++page) {
    const size_t i = static_cast<size_t>(page - 1);
    const std::string script = PageTextScript(page, p.width, p.height, alts[i], texts[i]);
    if (!WriteFileSafely(folder + HtmlPageTextName(page), script, error, ql::Sync::Later)) return false;
  }
  if (!WriteFileSafely(folder + kHtmlSearchIndexName, SearchIndexScript(texts), error, ql::Sync::Later))
    return false;
  const std::u16string list = NoScriptPages(texts, alts, p.width, p.height, info.title, info.lang);
  if (!WriteFileSafely(folder + kHtmlPageListName, ql::ToUtf8(list), error, ql::Sync::Later)) return false;
  info.noscript =
      u"<a href=\"" + ql::FromUtf8(kHtmlPageListName) + u"\">" + HtmlEscapeText(info.title) + u"</a>";
  info.noscriptHead = u"<noscript><meta http-equiv=\"refresh\" content=\"0; url=" +
                      ql::FromUtf8(kHtmlPageListName) + u"\"></noscript>";
  return true;
}

// Rows of blue, green, red pixels, top row first: a bitmap's (3 bytes a
// pixel, stored bottom row first, so the stride is negative) or a page
// image's (4 bytes, the fourth unused). Shading, curl and halving work on
// either, so the export can keep its pages as the surface drew them.
struct PixelRows {
  uint8_t* top = nullptr;
  ptrdiff_t stride = 0;  // bytes from one row to the next below it
  int32_t width = 0, height = 0;
  int bpp = 3;
  uint8_t* Row(int32_t y) const { return top + y * stride; }
};

PixelRows RowsOf(const dib& d) {
  return {const_cast<uint8_t*>(d.toprow(0)), -static_cast<ptrdiff_t>(d.bytew), d.width, d.height, 3};
}

// `o` := rows `a` and `b` (2 width pixels each) halved: each 2 x 2 block
// averaged (rounded); `n` bytes per pixel in all three.
void HalveRow(const uint8_t* a, const uint8_t* b, uint8_t* o, int32_t width, int n) {
  if (n == 4) {
    // Page pixels: the three channels of a pixel summed at once, each in
    // its own 10 bits (4 x 255 + 2 < 1024), so no sum spills into the next.
    int32_t x = 0;
#ifdef __SSE2__
    // Four pixels out of eight pairs at a time: the channels widened to
    // 16 bits, the rows added, then each pixel added to its right-hand
    // neighbour; the same sums and rounding as below.
    const __m128i zero = _mm_setzero_si128(), two = _mm_set1_epi16(2);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; x + 4 <= width; x += 4) {
      const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 8 * x));
      const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 8 * x + 16));
      const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 8 * x));
      const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 8 * x + 16));
      // Column sums of input pixels 0 1 | 2 3 | 4 5 | 6 7.
      const __m128i c01 = _mm_add_epi16(_mm_unpacklo_epi8(a0, zero), _mm_unpacklo_epi8(b0, zero));
      const __m128i c23 = _mm_add_epi16(_mm_unpackhi_epi8(a0, zero), _mm_unpackhi_epi8(b0, zero));
      const __m128i c45 = _mm_add_epi16(_mm_unpacklo_epi8(a1, zero), _mm_unpacklo_epi8(b1, zero));
      const __m128i c67 = _mm_add_epi16(_mm_unpackhi_epi8(a1, zero), _mm_unpackhi_epi8(b1, zero));
      // Output pixels 0 and 1, 2 and 3, in the low half of each sum.
      const __m128i s0 = _mm_add_epi16(c01, _mm_srli_si128(c01, 8));
      const __m128i s1 = _mm_add_epi16(c23, _mm_srli_si128(c23, 8));
      const __m128i s2 = _mm_add_epi16(c45, _mm_srli_si128(c45, 8));
      const __m128i s3 = _mm_add_epi16(c67, _mm_srli_si128(c67, 8));
      const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(s0, s1), two), 2);
      const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(s2, s3), two), 2);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 4 * x), _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
    }
#endif
    for (; x < width; ++x) {
      uint32_t p[4];
      std::memcpy(p, a + 8 * x, 8);
      std::memcpy(p + 2, b + 8 * x, 8);
      const uint32_t rb =
          (p[0] & 0xFF00FF) + (p[1] & 0xFF00FF) + (p[2] & 0xFF00FF) + (p[3] & 0xFF00FF) + 0x20002;
      const uint32_t g = (p[0] & 0xFF00) + (p[1] & 0xFF00) + (p[2] & 0xFF00) + (p[3] & 0xFF00) + 0x200;
      const uint32_t v = ((rb >> 2) & 0xFF00FF) | ((g >> 2) & 0xFF00) | 0xFF000000u;
      std::memcpy(o + 4 * x, &v, 4);
    }
    return;
  }
  for (int32_t x = 0; x < width; ++x, o += n, a += 2 * n, b += 2 * n)
    for (int c = 0; c < 3; ++c) o[c] = static_cast<uint8_t>((a[c] + a[n + c] + b[c] + b[n + c] + 2) / 4);
}

// `out` := the top left 2 out.width x 2 out.height pixels of `big`, each
// 2 x 2 block averaged (rounded); both of the same pixel size.
void HalveRows(const PixelRows& big, const PixelRows& out) {
  for (int32_t y = 0; y < out.height; ++y)
    HalveRow(big.Row(2 * y), big.Row(2 * y + 1), out.Row(y), out.width, big.bpp);
}

// `step` 2 shades a page drawn at twice the resolution as its halved
// picture is shaded: each pixel takes the factor of the pixel it halves
// into (the last column or row of an odd size the factor of the one
// before), so the sharper picture shows the same shade.
class BindingShade {
 public:
  BindingShade(const PixelRows& page, bool oddPage, int step = 1)
      : page_(page),
        step_(step),
        w_(std::max(1, page.width / step)),
        h_(std::max(1, page.height / step)),
        dx_(static_cast<size_t>(page.width)) {
    // The distance from the spine (or 5 x the distance from the outer
    // edge) of every column; the same for every row.
    for (int32_t col = 0; col < page.width; ++col) {
      const int32_t x = At(col, w_);
      int32_t d;
      if (oddPage) {
        d = x;
        if (x > w_ - 10) d = 5 * (w_ - 1 - x);
      } else {
        d = w_ - 1 - x;
        if (d > w_ - 10) d = 5 * x;
      }
      dx_[static_cast<size_t>(col)] = d;
      if (d < 50) shaded_.push_back(col);
    }
  }

  // Shades row `line` of the page.
  void Row(int32_t line) const {
    const int32_t n = page_.bpp;
    const int32_t y = At(line, h_);
    int32_t cap = INT32_MAX;
    if (y < 10) cap = 5 * y;
    if (y > h_ - 11 && cap > 5 * (h_ - 1 - y)) cap = 5 * (h_ - 1 - y);
    uint8_t* row = page_.Row(line);
    if (cap >= 50) {
      for (int32_t x : shaded_) ShadePixel(row + n * x, std::min(dx_[static_cast<size_t>(x)] + 50, 100));
    } else {
      for (int32_t x = 0; x < page_.width; ++x)
        ShadePixel(row + n * x, std::min(std::min(dx_[static_cast<size_t>(x)], cap) + 50, 100));
    }
  }

 private:
  int32_t At(int32_t v, int32_t size) const { return std::min(v / step_, size - 1); }

  PixelRows page_;
  int step_;
  int32_t w_, h_;
  std::vector<int32_t> dx_;
  std::vector<int32_t> shaded_;  // columns that change in a row away from the top and bottom
};

void ShadeRows(const PixelRows& page, bool oddPage, int step = 1) {
  const BindingShade shade(page, oddPage, step);
  for (int32_t line = 0; line < page.height; ++line) shade.Row(line);
}

void CurlRows(const PixelRows& page, bool oddPage) {
  const int32_t w = page.width, h = page.height, n = page.bpp;
  static const auto grey = [] {
    std::array<uint8_t, 101> g{};
    for (int a = 0; a <= 100; ++a)
      g[a] = static_cast<uint8_t>(render::RoundEven(a * 255 / 100.0 + (100 - a) * 128 / 100.0));
    return g;
  }();
  const double s45 = std::sin(M_PI / 4), c45 = std::cos(M_PI / 4);
  const int32_t x0 = oddPage ? std::max(0, w - 80) : 0;
  const int32_t x1 = oddPage ? w - 1 : std::min(80, w - 1);
  for (int32_t y = std::max(0, h - 80); y < h; ++y) {
    uint8_t* row = page.Row(y);
    const double dy = std::abs(h - y) * c45;
    for (int32_t x = x0; x <= x1; ++x) {
      int32_t a = render::RoundEven(std::abs(oddPage ? w - x : x) * s45 + dy);
      if (a < 60) a = 100;
      a = std::min(a, 100);
      std::memset(row + n * x, grey[static_cast<size_t>(a)], 3);
    }
  }
}

// The pixels of the pages in the encoders' hands, recycled: a long catalog
// does not pay for fresh memory (zeroing, page faults) on every page. There
// are never more than the jobs PageJobs lets wait plus the one being
// filled.
class PageBuffers {
 public:
  // Pixels left as they are (not zeroed): every byte is written before use.
  // A page is many megabytes; the system is asked for large pages, so
  // taking the memory into use costs a few faults instead of thousands.
  class Pixels {
   public:
    Pixels() = default;
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
    ~Pixels() { std::free(bytes_); }
    uint8_t* Get(size_t n) {
      if (n != size_) {
        std::free(bytes_);
        size_ = 0;
        const size_t rounded = (n + kLarge - 1) / kLarge * kLarge;
        bytes_ = static_cast<uint8_t*>(std::aligned_alloc(kLarge, rounded));
        if (!bytes_) throw std::bad_alloc();
        ::madvise(bytes_, rounded, MADV_HUGEPAGE);
        size_ = n;
      }
      return bytes_;
    }
    uint8_t* Data() const { return bytes_; }

   private:
    static constexpr size_t kLarge = 2 * 1024 * 1024;
    uint8_t* bytes_ = nullptr;
    size_t size_ = 0;
  };
  struct Buffer {
    Pixels big, small;  // the page as drawn; halved
    std::string jpeg;   // the encoder's output, kept for its capacity
  };
  std::shared_ptr<Buffer> Take() {
    std::lock_guard<std::mutex> lock(mu_);
    if (free_.empty()) return std::make_shared<Buffer>();
    std::shared_ptr<Buffer> b = std::move(free_.back());
    free_.pop_back();
    return b;
  }
  void Give(std::shared_ptr<Buffer> b) {
    std::lock_guard<std::mutex> lock(mu_);
    free_.push_back(std::move(b));
  }

 private:
  std::mutex mu_;
  std::vector<std::shared_ptr<Buffer>> free_;
};

// The page as a JPEG file, claiming the picture writers' default
// resolution (as SaveDib writes it). Staged: flushed with the others on
// publication.
bool WritePicture(const PixelRows& rows, int quality, const std::string& file, std::string& bytes,
                  std::string& error, const std::function<void(int32_t row)>& before = {}) {
  std::string why;
  if (!EncodeJpegRows(rows.top, rows.stride, rows.width, rows.height, rows.bpp, quality, kDefaultDibDpi,
                      bytes, why, before)) {
    error = i18n::SayUtf8(i18n::Text::PictureNotDrawn, {ql::FromUtf8(file), ql::FromUtf8(why)});
    return false;
  }
  if (!ql::WriteFileSafely(file, bytes, why, ql::Sync::Later)) {
    error = i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(file), i18n::SystemErrorText(why)});
    return false;
  }
  return true;
}

}  // namespace

std::string HtmlPageImageName(int32_t p) { return "catalogpage" + std::to_string(p) + ".jpg"; }
std::string HtmlCurlImageName(int32_t p) { return "catalogpageflip" + std::to_string(p) + ".jpg"; }
std::string HtmlHdImageName(int32_t p) { return "catalogpagehd" + std::to_string(p) + ".jpg"; }

bool HalveDib(const dib& big, int32_t width, int32_t height, dib& out) {
  if (big.bitcount != 24 || !big.loaded() || width < 1 || height < 1 || big.width < 2 * width ||
      big.height < 2 * height || !newdib(out, width, height, 24))
    return false;
  HalveRows(RowsOf(big), RowsOf(out));
  return true;
}

std::string FillHtmlTemplate(const std::string& templ, int32_t evenPageCount) {
  const bool utf8 = IsUtf8(templ);
  auto text = [&](int msg) {
    const std::u16string t = HtmlEscapeText(i18n::Msg(msg));
    return utf8 ? ql::ToUtf8(t) : ql::ToCp1252(t);
  };
  std::string s = templ;
  ReplaceAll(s, "%%ANZPAGES%%", std::to_string((evenPageCount + 1) / 2 + 1));
  ReplaceAll(s, "%%BACKTEXT%%", text(39));
  ReplaceAll(s, "%%FORWARDTEXT%%", text(40));
  ReplaceAll(s, "%%FIRSTPAGE%%", text(41));
  ReplaceAll(s, "%%LASTPAGE%%", text(42));
  // As text lines: every line, the last one too, ends with CR LF.
  std::string out;
  out.reserve(s.size() + s.size() / 16 + 2);
  size_t start = 0;
  while (start < s.size()) {
    size_t end = s.find('\n', start);
    if (end == std::string::npos) end = s.size();
    size_t stop = end;
    if (stop > start && s[stop - 1] == '\r') --stop;
    out.append(s, start, stop - start);
    out += "\r\n";
    start = end + 1;
  }
  return out;
}

std::string FillHtmlTemplate(const std::string& templ, int32_t evenPageCount, const HtmlTemplateInfo& info) {
  const std::string filled = FillHtmlTemplate(templ, evenPageCount);
  const bool utf8 = IsUtf8(templ);
  auto text = [&](const std::u16string& t) {
    std::u16string e = HtmlEscapeText(t);
    for (size_t at = 0; (at = e.find(u'%', at)) != std::u16string::npos; at += 5) e.replace(at, 1, u"&#37;");
    return utf8 ? ql::ToUtf8(e) : ql::ToCp1252(e);
  };
  std::string out;
  out.reserve(filled.size() + info.noscript.size() * 2);
  size_t at = 0;
  while (at < filled.size()) {
    const size_t open = filled.find("%%", at);
    const size_t close = open == std::string::npos ? open : filled.find("%%", open + 2);
    if (close == std::string::npos) break;
    const std::string name = filled.substr(open + 2, close - open - 2);
    std::string by;
    bool known = true;
    if (name == "PAGECOUNT")
      by = std::to_string(info.pageCount);
    else if (name == "LANG")
      by = info.lang;
    else if (name == "TITLE")
      by = text(info.title);
    else if (name == "NOSCRIPT")
      by = utf8 ? ql::ToUtf8(info.noscript) : ql::ToCp1252(info.noscript);
    else if (name == "NOSCRIPTHEAD")
      by = utf8 ? ql::ToUtf8(info.noscriptHead) : ql::ToCp1252(info.noscriptHead);
    else if (name == "PDFFILE")
      by = text(ql::FromUtf8(info.pdfFile));
    else if (name == "TEXTLAYER")
      by = info.textLayer ? "1" : "";
    else if (name == "HDPICTURES")
      by = info.hdPictures ? "1" : "";
    else if (name.compare(0, 3, "TR:") == 0 && name.find('\n') == std::string::npos)
      by = text(i18n::Tr(ql::FromUtf8(name.substr(3))));
    else
      known = false;
    if (!known) {  // not ours: the second "%%" may open the next one
      out.append(filled, at, close - at);
      at = close;
      continue;
    }
    out.append(filled, at, open - at);
    out += by;
    at = close + 2;
  }
  out.append(filled, at, std::string::npos);
  return out;
}

void ApplyBindingShade(dib& page, bool oddPage, int step) {
  if (page.bitcount == 24 && page.width > 0 && page.height > 0 && page.loaded() && step >= 1)
    ShadeRows(RowsOf(page), oddPage, step);
}
void ApplyCornerCurl(dib& page, bool oddPage) {
  if (page.bitcount == 24 && page.width > 0 && page.height > 0 && page.loaded())
    CurlRows(RowsOf(page), oddPage);
}

HtmlCatalogResult ExportHtmlCatalog(render::RenderSession& session, const std::string& folderName,
                                    const HtmlCatalogOptions& options,
                                    const HtmlCatalogProgressFn& progress) {
  HtmlCatalogResult res;
  if (folderName.empty()) {
    res.error = ql::ToUtf8(i18n::Msg(38));
    return res;
  }
  if (options.writeImages && !(options.dpi >= 10 && options.dpi <= 1440)) {
    res.error = i18n::SayUtf8(i18n::Text::ResolutionOutOfRange, {u"10", u"1440"});
    return res;
  }
  if (options.writeImages && !(options.compress >= 0 && options.compress <= 100)) {
    res.error = i18n::SayUtf8(i18n::Text::CompressionOutOfRange);
    return res;
  }
  std::string progpath = options.progpath;
  if (!progpath.empty() && progpath.back() != '/') progpath += '/';
  const std::string templPath = progpath + kHtmlTemplateName;
  std::string templ;
  if (!ReadWhole(templPath, templ)) {
    res.error = i18n::SayUtf8(i18n::Text::TemplateUnreadable, {ql::FromUtf8(templPath)});
    return res;
  }

  const render::RenderParams p = OutputPageParams(options.printer, render::TruncClamp(options.dpi));
  res.error = CheckPageSize(p);
  if (!res.error.empty()) return res;
  res.width = p.width;
  res.height = p.height;

  // Stored names may separate folders with "\" as well.
  std::string folder = folderName;
  std::replace(folder.begin(), folder.end(), '\\', '/');
  if (folder.back() != '/') folder += '/';
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder)) {
    res.error = ec ? i18n::SayUtf8(i18n::Text::CannotCreateFolder,
                                   {ql::FromUtf8(folder), i18n::SystemErrorText(ec.value())})
                   : i18n::SayUtf8(i18n::Text::CannotCreateFolderPlain, {ql::FromUtf8(folder)});
    return res;
  }

  // The catalog file is opened before the first picture: a read-only
  // catalog.htm or a folder that cannot be written is refused before any
  // work is done.
  const std::string catalog = folder + kHtmlCatalogName;
  ql::SafeFile catalogFile;
  if (!catalogFile.Open(catalog)) {
    res.error = i18n::SayUtf8(i18n::Text::CannotWriteFile,
                              {ql::FromUtf8(catalog), i18n::SystemErrorText(catalogFile.Error())});
    return res;
  }

  // The page and the pictures need the page count of this very run; with
  // page images they are written after the pages, without them after a
  // layout pass that draws nothing (the count the window last showed may
  // be stale).
  std::vector<PageText> texts;
  HtmlTemplateInfo info;
  // With the sharper pictures the pages are drawn at twice the resolution
  // once; each page's picture is that drawing halved.
  const render::RenderParams p2 =
      options.hdPictures ? OutputPageParams(options.printer, 2 * render::TruncClamp(options.dpi)) : p;
  const bool hd =
      options.hdPictures && CheckPageSize(p2).empty() && p2.width >= 2 * p.width && p2.height >= 2 * p.height;
  const render::RenderParams& drawn = hd ? p2 : p;
  info.hdPictures = hd && options.writeImages;
  // A column no language uses holds no texts: the buttons are German then.
  const i18n::InterfaceLanguage* language = i18n::FindInterfaceLanguage(i18n::Language());
  info.lang = language ? language->code : "de";
  info.title = HtmlTitle(session.doc());
  info.pdfFile = options.pdfFile;
  auto writePageAndPictures = [&](int32_t evenCount) {
    if (!catalogFile.Write(FillHtmlTemplate(templ, evenCount, info)) || !catalogFile.Commit()) {
      res.error = i18n::SayUtf8(i18n::Text::CannotWriteFile,
                                {ql::FromUtf8(catalog), i18n::SystemErrorText(catalogFile.Error())});
      return false;
    }
    res.catalogFile = catalog;
    for (const char* name : kHtmlNavPictures) {
      const std::string src = progpath + name, dst = folder + name;
      std::string bytes;
      struct stat st {};
      if (!ReadWhole(src, bytes) || ::stat(src.c_str(), &st) != 0) continue;  // missing: skipped
      std::string ignored;
      if (!WriteFileSafely(dst, bytes, ignored)) continue;
      // The copy keeps the source's times (access and modification; Linux
      // keeps no settable creation time).
      const struct timespec times[2] = {st.st_atim, st.st_mtim};
      ::utimensat(AT_FDCWD, dst.c_str(), times, 0);
      ++res.picturesCopied;
    }
    return true;
  };

  if (!options.writeImages) {
    platform::ImageSurface measure(1, 1);
    render::RenderParams q = p;
    q.canvas0 = &measure;
    q.seiteedvalue = 0;
    render::RenderLayout(session, q,
                         options.layout >= 0 ? options.layout : session.doc().settings.LayoutCombo);
    res.anzpages = session.anzpages + session.anzpages % 2;
    info.pageCount = session.anzpages;
    res.ok = writePageAndPictures(res.anzpages);
    return res;
  }

  StagedImages staged;  // outlives the jobs that write into it
  if (!staged.Make(folder, res.error)) return res;
  const std::string& stage = staged.Folder();
  const int quality = std::clamp(render::TruncClamp(100 - options.compress), 0, 100);
  SetJPEGQual(quality);  // what the picture writers use, as before
  PageBuffers buffers;   // outlives the jobs that use them
  PageJobs jobs(options.encoderThreads);
  const int32_t w = p.width, h = p.height, bigW = drawn.width, bigH = drawn.height;
  const size_t bigBytes = static_cast<size_t>(bigW) * bigH * 4;
  // Every page is drawn once (at twice the resolution with the sharper
  // pictures) straight into a buffer of its own; the job halves, shades,
  // curls and encodes it from there, with no copies.
  auto submitPage = [&](int32_t page, std::shared_ptr<PageBuffers::Buffer> buf) {
    const std::string pageFile = stage + HtmlPageImageName(page), curlFile = stage + HtmlCurlImageName(page),
                      hdFile = stage + HtmlHdImageName(page);
    const bool odd = page % 2 == 1;
    jobs.Submit(page, dib(), [=, &buffers, buf = std::move(buf)](dib&) mutable {
      const PixelRows big{buf->big.Data(), 4 * static_cast<ptrdiff_t>(bigW), bigW, bigH, 4};
      PixelRows d = big;
      std::string error;
      if (hd) {
        d = PixelRows{buf->small.Get(static_cast<size_t>(w) * h * 4), 4 * static_cast<ptrdiff_t>(w), w, h, 4};
        // One pass down the drawing: each pair of rows is halved into the
        // page's picture, then shaded and encoded while it is in the cache
        // (a page this size is far larger than the cache).
        const BindingShade shade(big, odd, 2);
        auto finish = [&](int32_t y) {
          if (y % 2 == 0 && y / 2 < d.height) HalveRow(big.Row(y), big.Row(y + 1), d.Row(y / 2), d.width, 4);
          shade.Row(y);
        };
        if (!WritePicture(big, quality, hdFile, buf->jpeg, error, finish)) return error;
      }
      const BindingShade shade(d, odd);
      if (!WritePicture(d, quality, pageFile, buf->jpeg, error, [&](int32_t y) { shade.Row(y); }))
        return error;
      CurlRows(d, odd);
      if (!WritePicture(d, quality, curlFile, buf->jpeg, error)) return error;
      buffers.Give(std::move(buf));
      return std::string();
    });
  };
  auto saveBlank = [&](int32_t page, bool withCurl) {
    const std::string pageFile = stage + HtmlPageImageName(page), curlFile = stage + HtmlCurlImageName(page);
    jobs.Submit(-page - 1, dib(), [pageFile, curlFile, withCurl, w, h, quality](dib&) {
      // One white row stands for every row.
      std::vector<uint8_t> white(static_cast<size_t>(w) * 4, 255);
      const PixelRows rows{white.data(), 0, w, h, 4};
      std::string bytes, error;
      if (!WritePicture(rows, quality, pageFile, bytes, error)) return error;
      if (withCurl && !WritePicture(rows, quality, curlFile, bytes, error)) return error;
      return std::string();
    });
  };

  saveBlank(0, false);
  // The page being drawn (outlives the sink painting into it).
  std::shared_ptr<PageBuffers::Buffer> drawing;
  BitmapSink sink(drawn.width, drawn.height,
                  [&](int32_t page, bool& draw) {
                    draw = true;
                    return !progress || progress(HtmlCatalogProgress{page});
                  },
                  {});
  sink.DrawInto(
      [&](int32_t) {
        drawing = buffers.Take();
        return drawing->big.Get(bigBytes);
      },
      [&](int32_t page) {
        submitPage(page, std::move(drawing));
        return true;
      });
  if (options.textLayer) sink.CaptureText(&texts);
  render::AllPagesResult all;
  if (!sink.ok()) {
    res.error = NoMemoryForPageOf(p.width, p.height);
  } else {
    try {
      all = render::RenderAllPages(session, drawn, sink, options.layout);
    } catch (const std::bad_alloc&) {
      res.error = i18n::SayUtf8(i18n::Text::NoMemoryForPages);
    }
  }
  if (res.error.empty()) res.error = sink.error();
  if (res.error.empty() && !sink.cancelled()) {
    // An odd count ends with an empty right-hand page; blank pages close
    // the last pair.
    const int32_t n = all.pages + all.pages % 2;
    if (n != all.pages) {
      try {
        std::shared_ptr<PageBuffers::Buffer> blank = buffers.Take();
        std::memset(blank->big.Get(bigBytes), 255, bigBytes);
        submitPage(n, std::move(blank));
      } catch (const std::bad_alloc&) {
        res.error = i18n::SayUtf8(i18n::Text::NoMemoryForPage, {i18n::Decimal(n)});
      }
    }
    saveBlank(n + 1, true);
    res.anzpages = n;
    session.anzpages = n;
    info.pageCount = all.pages;
    info.textLayer = options.textLayer;
    texts.resize(static_cast<size_t>(std::max(0, all.pages)));
    // While the encoders finish the last pages.
    if (info.textLayer) WriteTextLayer(stage, session.doc(), drawn, info, texts, res.error);
  }
  jobs.Wait();
  res.jobsDone = jobs.Succeeded();
  if (res.error.empty() && !jobs.Failures().empty()) res.error = jobs.Failures().begin()->second;
  res.cancelled = res.error.empty() && sink.cancelled();
  // A cancelled or failed export leaves the folder as it was: no catalog
  // page naming pictures that were never written, no images of this run.
  if (res.error.empty() && !res.cancelled && staged.Publish(folder, res.error))
    writePageAndPictures(res.anzpages);
  staged.Discard();
  res.ok = res.error.empty() && !res.cancelled;
  return res;
}

}  // namespace output
