#include "pdf/pdfcanvas.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/codepage.h"
#include "i18n/texts.h"
#include "pdf/pdfimages.h"

namespace {

constexpr size_t kFileBuffer = 1 << 20;
// The cross-reference table has ten digits for an offset.
constexpr uint64_t kMaxOffset = 9999999999ULL;

std::string Padded(uint64_t v, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%0*llu", digits, static_cast<unsigned long long>(v));
  return buf;
}

}  // namespace

struct TPDFCanvas::ImageEntry {
  // The bitmap's header; the pixels are never kept.
  int32_t width = 0, height = 0, bitcount = 0, bytew = 0;
  std::string spoolname;        // empty when not spooled
  int spoolfd = -1;             // open while the encoder still has to write
  std::vector<uint8_t> stream;  // the compressed samples when not spooled
  uint64_t length = 0;          // compressed length
  bool encoded = false;
};

TPDFCanvas::TPDFCanvas(const PDFCanvasOptions& options) : opts(options) {
  conv = std::make_unique<pdfimg::CmykConverter>(pdfimg::ChooseCmykProfile(opts.progpath, opts.profilePath));
}

TPDFCanvas::~TPDFCanvas() {
  EndDoc();
  stopEncoders(true);
  pool.reset();
  pdfimg::RemoveSpoolFolder(spoolfolder, spoolFiles());
  spoolGuard_.Reset();
}

bool TPDFCanvas::uselcms() const { return conv->uselcms(); }
std::string TPDFCanvas::colorFallbackReason() const { return conv->fallbackReason(); }
std::string TPDFCanvas::profileUsed() const { return conv->uselcms() ? conv->profilePath() : std::string(); }

int TPDFCanvas::encoderThreads() const {
  return opts.encoderThreads < 0 ? pdfimg::DefaultEncoderThreads() : opts.encoderThreads;
}

std::vector<std::string> TPDFCanvas::spoolFiles() const {
  std::vector<std::string> out;
  for (const auto& img : images)
    if (!img->spoolname.empty()) out.push_back(img->spoolname);
  return out;
}

bool TPDFCanvas::Failed() const {
  std::lock_guard<std::mutex> lock(errmu);
  return !error.empty();
}

std::string TPDFCanvas::LastError() const {
  std::lock_guard<std::mutex> lock(errmu);
  return error;
}

void TPDFCanvas::fail(const std::string& message) {
  std::lock_guard<std::mutex> lock(errmu);
  if (error.empty()) error = message;
}

// ---------------------------------------------------------------- file output

void TPDFCanvas::flushFile() {
  if (filebuf.empty()) return;
  if (fd >= 0 && !Failed() && !pdfimg::WriteAll(fd, filebuf.data(), filebuf.size()))
    fail(pdfimg::CannotWrite(fname_, errno));
  filebuf.clear();
}

void TPDFCanvas::writeBytes(const uint8_t* data, size_t len) {
  filepos += len;
  if (Failed()) return;
  if (filebuf.size() + len > kFileBuffer) {
    flushFile();
    if (len >= kFileBuffer) {
      if (!Failed() && !pdfimg::WriteAll(fd, data, len)) fail(pdfimg::CannotWrite(fname_, errno));
      return;
    }
  }
  filebuf.insert(filebuf.end(), data, data + len);
}

void TPDFCanvas::write(const std::string& s) {
  if (instream)
    streambuf += s;
  else
    writeBytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

void TPDFCanvas::writeln(const std::string& s) { write(s + "\n"); }

int32_t TPDFCanvas::beginObj(bool dict) {
  ObjEntry e;
  e.offset = filepos;
  objs.push_back(e);
  const int32_t n = static_cast<int32_t>(objs.size() - 1);
  writeln(std::to_string(n) + " 0 obj");
  if (dict) writeln("<<");
  return n;
}

void TPDFCanvas::endObj(bool dict) {
  if (dict) writeln(">>");
  writeln("endobj");
}

void TPDFCanvas::closeFile() {
  flushFile();
  if (fd >= 0) {
    if (opts.syncOnClose && !Failed() && ::fsync(fd) != 0) fail(pdfimg::CannotWrite(fname_, errno));
    if (::close(fd) != 0) fail(pdfimg::CannotWrite(fname_, errno));
    fd = -1;
  }
}

// ---------------------------------------------------------------- document

bool TPDFCanvas::BeginDoc(const std::string& name) {
  if (isincreation) return false;
  const int f = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (f < 0) return false;
  return BeginDoc(f, name);
}

bool TPDFCanvas::BeginDoc(int f, const std::string& name) {
  if (isincreation || f < 0) return false;
  // A writer used for a second document starts afresh: the images of the
  // first one belong to that file only.
  stopEncoders(true);
  pdfimg::RemoveSpoolFolder(spoolfolder, spoolFiles());
  spoolfolder.clear();
  spoolGuard_.Reset();
  nextspool = 0;
  images.clear();
  fd = f;
  fname_ = name;
  // Until it is complete the file is useless: an interrupted run removes it.
  fileGuard_.Reset(name);
  {
    std::lock_guard<std::mutex> lock(errmu);
    error.clear();
  }
  completed = false;
  filepos = 0;
  filebuf.clear();
  filebuf.reserve(kFileBuffer);
  objs.clear();
  PageProps.clear();
  docCMYK = compressasCMYK;

  writeln("%PDF-1.3");
  ObjEntry zero;
  zero.offset = 0;
  zero.generation = 65535;
  zero.free = true;
  objs.push_back(zero);
  procobjsnr = beginObj(false);
  writeln("[/PDF /Text /ImageB /ImageC /ImageI]");
  endObj(false);
  apages = 0;
  beginPage();
  isincreation = true;
  return true;
}

void TPDFCanvas::beginPage() {
  ++apages;
  const int32_t c = beginObj(false);
  writeln("<< /Length " + std::to_string(c + 1) + " 0 R /Filter /FlateDecode >>");
  writeln("stream");
  startstream = filepos;
  streambuf.clear();
  instream = true;
}

void TPDFCanvas::finishPage() {
  instream = false;
  uLongf clen = compressBound(static_cast<uLong>(streambuf.size()));
  std::vector<uint8_t> packed(clen);
  if (compress2(packed.data(), &clen, reinterpret_cast<const Bytef*>(streambuf.data()),
                static_cast<uLong>(streambuf.size()), 9) != Z_OK) {
    fail(i18n::SayUtf8(i18n::Text::PageContentNotCompressed, {i18n::Decimal(apages)}));
    clen = 0;
  }
  writeBytes(packed.data(), clen);
  std::string().swap(streambuf);
  writeln("");
  endstream = filepos;
  writeln("endstream");
  writeln("endobj");
  beginObj(false);
  writeln(std::to_string(endstream - startstream));
  endObj(false);
  PageProps.push_back({PageWidth, PageHeight});
}

void TPDFCanvas::NewPage() {
  if (!isincreation) return;
  finishPage();
  beginPage();
}

bool TPDFCanvas::DrawDIB(int32_t x1, int32_t y1, int32_t x2w, int32_t y2w, const dib& di, int32_t xx1,
                         int32_t yy1, int32_t xx2w, int32_t yy2w) {
  return placeImage(x1, y1, x2w, y2w, di, xx2w, yy2w, nullptr);
}

bool TPDFCanvas::DrawDIB(int32_t x1, int32_t y1, int32_t x2w, int32_t y2w, dib&& di, int32_t xx1, int32_t yy1,
                         int32_t xx2w, int32_t yy2w) {
  return placeImage(x1, y1, x2w, y2w, di, xx2w, yy2w, &di);
}

bool TPDFCanvas::placeImage(int32_t x1, int32_t y1, int32_t x2w, int32_t y2w, const dib& di, int32_t xx2w,
                            int32_t yy2w, dib* takeover) {
  if (!isincreation || x2w == 0 || y2w == 0 || xx2w == 0 || yy2w == 0) return false;
  if (di.bitcount != 24 || di.width <= 0 || di.height <= 0 ||
      static_cast<int64_t>(di.bytew) < static_cast<int64_t>(di.width) * 3 ||
      di.pixels.size() < static_cast<size_t>(di.bytew) * static_cast<size_t>(di.height)) {
    // Only a caller's mistake: the user can do no more than report it.
    fail(i18n::SayUtf8(i18n::Text::PdfInternalError, {i18n::Decimal(static_cast<int64_t>(images.size()))}));
    return false;
  }
  // Fixed-point arithmetic on 64 bits: the values come from the caller.
  const int64_t w = x2w > 0 ? int64_t(x2w) - 1 : int64_t(x2w) + 1;
  const int64_t h = y2w > 0 ? int64_t(y2w) - 1 : int64_t(y2w) + 1;
  const size_t m = images.size();
  writeln("q");
  writeln(std::to_string(w) + " 0 0 " + std::to_string(h) + " " + std::to_string(x1) + " " +
          std::to_string(int64_t(PageHeight) - 1 - y1 - h) + " cm");
  writeln("/Im" + std::to_string(m) + " Do");
  writeln("Q");

  auto entry = std::make_unique<ImageEntry>();
  ImageEntry& img = *entry;
  img.width = di.width;
  img.height = di.height;
  img.bitcount = di.bitcount;
  img.bytew = di.bytew;
  images.push_back(std::move(entry));
  if (Failed()) return false;

  if (usetempfileforimages) {
    std::string err;
    if (spoolfolder.empty()) {
      if (!pdfimg::MakeSpoolFolder(opts.tempFolder, spoolfolder, err)) {
        fail(err);
        return false;
      }
      spoolGuard_.Reset(spoolfolder, true);
    }
    img.spoolfd = pdfimg::CreateSpoolFile(spoolfolder, nextspool, img.spoolname, err);
    if (img.spoolfd < 0) {
      fail(err);
      return false;
    }
    ++nextspool;
  }

  const size_t bytes = static_cast<size_t>(di.bytew) * static_cast<size_t>(di.height);
  std::vector<uint8_t> pixels;
  if (takeover) {
    // The caller's memory goes to the encoder; it gets a recycled buffer.
    pixels = std::move(takeover->pixels);
    pixels.resize(bytes);
    takeover->pixels = takeBuffer(bytes);
  } else {
    pixels = takeBuffer(bytes);
    std::memcpy(pixels.data(), di.pixels.data(), bytes);
  }
  const int threads = encoderThreads();
  if (threads == 0) {
    encodeJob(img, std::move(pixels), di.width, di.height, di.bytew);
    return !Failed();
  }
  // One waiting image is enough to keep the encoders busy: the caller
  // blocks here with the next one ready.
  if (!pool) pool = std::make_unique<pdfimg::WorkerPool>(threads, 1);
  // The pool's queue is bounded: this waits while it is full.
  auto shared = std::make_shared<std::vector<uint8_t>>(std::move(pixels));
  const int32_t W = di.width, H = di.height, B = di.bytew;
  pool->Submit([this, &img, shared, W, H, B] { encodeJob(img, std::move(*shared), W, H, B); });
  return true;
}

void TPDFCanvas::encodeJob(ImageEntry& img, std::vector<uint8_t> pixels, int32_t width, int32_t height,
                           int32_t bytew) {
  pdfimg::PixelView v{pixels.data(), width, height, bytew};
  const pdfimg::CmykConverter* c = docCMYK ? conv.get() : nullptr;
  std::string err;
  bool ok = false;
  if (!Failed()) {
    if (img.spoolfd >= 0) {
      pdfimg::FdSink sink(img.spoolfd, img.spoolname);
      ok = pdfimg::EncodeImage(v, c, sink, img.length, err);
    } else {
      pdfimg::MemorySink sink;
      ok = pdfimg::EncodeImage(v, c, sink, img.length, err);
      img.stream = std::move(sink.bytes);
    }
  }
  if (img.spoolfd >= 0) {
    if (::close(img.spoolfd) != 0 && ok) {
      ok = false;
      err = pdfimg::CannotWrite(img.spoolname, errno);
    }
    img.spoolfd = -1;
  }
  if (!ok && !err.empty()) fail(err);
  img.encoded = ok;
  giveBuffer(std::move(pixels));
}

std::vector<uint8_t> TPDFCanvas::takeBuffer(size_t bytes) {
  std::vector<uint8_t> buf;
  {
    std::lock_guard<std::mutex> lock(bufmu);
    if (!freebufs.empty()) {
      buf = std::move(freebufs.back());
      freebufs.pop_back();
    }
  }
  buf.resize(bytes);
  return buf;
}

void TPDFCanvas::giveBuffer(std::vector<uint8_t> buf) {
  std::lock_guard<std::mutex> lock(bufmu);
  // At most one buffer per encoder and the one waiting are ever in use.
  if (freebufs.size() < static_cast<size_t>(std::max(encoderThreads(), 1)) + 1)
    freebufs.push_back(std::move(buf));
}

void TPDFCanvas::stopEncoders(bool drop) {
  if (pool) {
    if (drop) pool->DropPending();
    pool->WaitIdle();
  }
  // Images whose encoding was dropped still hold their spool descriptor.
  for (auto& img : images)
    if (img->spoolfd >= 0) {
      ::close(img->spoolfd);
      img->spoolfd = -1;
    }
}

void TPDFCanvas::writeImageObject(ImageEntry& img) {
  const int32_t object = beginObj(false);
  writeln("<<");
  writeln("/Type /XObject /Subtype /Image");
  writeln("/Width " + std::to_string(img.width) + " /Height " + std::to_string(img.height) +
          " /BitsPerComponent 8");
  writeln("/Length " + std::to_string(img.length) +
          (docCMYK ? " /ColorSpace /DeviceCMYK /Filter /FlateDecode"
                   : " /ColorSpace /DeviceRGB /Filter /FlateDecode"));
  writeln(">>");
  writeln("stream");
  if (!img.encoded) {
    fail(i18n::SayUtf8(i18n::Text::PdfInternalError, {i18n::Decimal(object)}));
  } else if (img.spoolname.empty()) {
    writeBytes(img.stream.data(), img.stream.size());
    std::vector<uint8_t>().swap(img.stream);
  } else {
    const int in = ::open(img.spoolname.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0) {
      const int err = errno;
      fail(i18n::SayUtf8(i18n::Text::CannotReadFile,
                         {ql::FromUtf8(img.spoolname), i18n::SystemErrorText(err)}));
      filepos += img.length;
    } else {
      std::vector<uint8_t> buf(kFileBuffer);
      uint64_t left = img.length;
      while (left > 0 && !Failed()) {
        const ssize_t n = ::read(in, buf.data(), std::min<uint64_t>(left, buf.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
          fail(i18n::SayUtf8(i18n::Text::SpoolFileShort, {ql::FromUtf8(img.spoolname)}));
          break;
        }
        writeBytes(buf.data(), static_cast<size_t>(n));
        left -= static_cast<uint64_t>(n);
      }
      filepos += left;  // keeps offsets consistent after a failure
      ::close(in);
    }
  }
  write("endstream\n");
  writeln("endobj");
}

bool TPDFCanvas::EndDoc() {
  if (!isincreation) return completed;
  finishPage();
  stopEncoders(false);

  const int32_t N = static_cast<int32_t>(PageProps.size());
  const int32_t M = static_cast<int32_t>(images.size());
  fontobjnr = static_cast<int32_t>(objs.size());
  const int32_t P = beginObj(true);
  parentnr = P;
  writeln("/Type /Pages");
  writeln("/Count " + std::to_string(N));
  std::string kids = "/Kids [";
  for (int32_t i = 1; i <= N; ++i) kids += std::to_string(P + i) + (i < N ? " 0 R " : " 0 R]");
  writeln(kids);
  endObj(true);

  std::string imagelist;
  for (int32_t m = 0; m < M; ++m)
    imagelist += "/Im" + std::to_string(m) + " " + std::to_string(P + N + 3 + m) + " 0 R";
  for (int32_t k = 1; k <= N; ++k) {
    beginObj(true);
    writeln("/Type /Page");
    writeln("/Parent " + std::to_string(P) + " 0 R");
    writeln("/Resources <</XObject << " + imagelist + " >>");
    writeln("/Font << >> /ProcSet " + std::to_string(procobjsnr) + " 0 R");
    writeln(">>");
    const PageSize& ps = PageProps[static_cast<size_t>(k - 1)];
    writeln("/MediaBox [0 0 " + std::to_string(int64_t(ps.width) - 1) + " " +
            std::to_string(int64_t(ps.height) - 1) + "]");
    writeln("/Contents " + std::to_string(2 * k) + " 0 R");
    endObj(true);
  }
  rootObjNr = beginObj(true);
  writeln("/Type /Catalog");
  writeln("/Pages " + std::to_string(P) + " 0 R");
  writeln("/Outlines " + std::to_string(rootObjNr + 1) + " 0 R");
  endObj(true);
  beginObj(true);
  writeln("/Type /Outlines");
  writeln("/Count 0");
  endObj(true);
  for (auto& img : images) writeImageObject(*img);

  startxref = filepos;
  const size_t S = objs.size();
  writeln("xref");
  writeln("0 " + std::to_string(S));
  for (const ObjEntry& e : objs) {
    if (e.offset > kMaxOffset) {
      fail(fname_ + " is too large for a PDF cross-reference table");
      break;
    }
    writeln(Padded(e.offset, 10) + " " + Padded(e.generation, 5) + (e.free ? " f " : " n "));
  }
  writeln("trailer");
  writeln("<<");
  writeln("/Size " + std::to_string(S));
  writeln("/Root " + std::to_string(rootObjNr) + " 0 R");
  writeln(">>");
  writeln("startxref");
  writeln(std::to_string(startxref));
  write("%%EOF");

  closeFile();
  fileGuard_.Reset();
  objs.clear();
  PageProps.clear();
  isincreation = false;
  completed = !Failed();
  return completed;
}

void TPDFCanvas::AbortDoc() {
  if (!isincreation) return;
  stopEncoders(true);
  instream = false;
  std::string().swap(streambuf);
  filebuf.clear();
  if (fd >= 0) ::close(fd);
  fd = -1;
  fileGuard_.Reset();  // the caller decides what becomes of the file
  objs.clear();
  PageProps.clear();
  isincreation = false;
  completed = false;
  fail(i18n::SayUtf8(i18n::Text::PdfAbandoned));
}
