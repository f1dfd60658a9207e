#include "output/vectorexport.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "core/codepage.h"
#include "core/safefile.h"
#include "i18n/texts.h"
#include "pdf/pdfimages.h"
#include "pdfvector/imageobjects.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/vectordoc.h"
#include "render/layouts/layouts.h"

namespace output {

namespace {

// The renderers' own resolution for the vector pages: the layout measures
// at 300 ppi, so positions and text sizes land exactly where it planned them.
constexpr int32_t kVectorDpi = 300;
constexpr int32_t kMaxPages = 100000;
// What the picture loader may keep decoded while the export runs. Pages are
// drawn once, in order: the cache serves a picture shown again on nearby
// pages (or at another size close by), while a preview-sized cache would
// only hold pictures of pages long written.
constexpr uint64_t kExportPictureCacheBytes = uint64_t(16) << 20;

// Loads through the session's loader and tells the document which file each
// decoded picture came from and its full size (JPEG files are then stored
// as they are, and each use takes the pixels it needs), and which pictures
// could not be loaded. Boxes are asked for the pixels the maximum
// resolution needs at the drawn size, so a picture is decoded no sharper.
class OriginLoader : public render::PictureLoader {
 public:
  OriginLoader(render::PictureLoader& inner, pdfvec::VectorDocument& doc, double maxppi)
      : inner_(inner), doc_(doc), scale_(maxppi > 0 ? maxppi / kVectorDpi : 0) {}
  bool Load(const std::u16string& filename, dib& out) override {
    if (!inner_.Load(filename, out)) {
      Missing(filename);
      return false;
    }
    doc_.NoteOrigin(pdfvec::PictureHash(out), ql::ToUtf8(filename), out.width, out.height);
    return true;
  }
  bool LoadForBox(const std::u16string& filename, int32_t boxWidth, int32_t boxHeight, dib& out,
                  int32_t& fullWidth, int32_t& fullHeight) override {
    // 0: the whole picture (no box known, or pictures kept as they are).
    auto scaled = [this](int32_t v) {
      return scale_ <= 0 || v <= 0 ? 0 : static_cast<int32_t>(std::min(std::ceil(v * scale_), 1e9));
    };
    int32_t bw = scaled(boxWidth), bh = scaled(boxHeight);
    if (bw == 0 || bh == 0) bw = bh = 0;
    if (!inner_.LoadForBox(filename, bw, bh, out, fullWidth, fullHeight)) {
      Missing(filename);
      return false;
    }
    doc_.NoteOrigin(pdfvec::PictureHash(out), ql::ToUtf8(filename), fullWidth, fullHeight);
    return true;
  }
  bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) override {
    if (inner_.PixelSize(filename, width, height)) return true;
    Missing(filename);
    return false;
  }
  std::vector<Problem> TakeProblems() override { return inner_.TakeProblems(); }
  uint64_t CacheLimit() const override { return inner_.CacheLimit(); }
  void SetCacheLimit(uint64_t bytes) override { inner_.SetCacheLimit(bytes); }
  void NoteDerived(const dib& pic, const std::u16string& filename) override {
    // Processed pixels: named after the file, never passed through.
    doc_.NoteOrigin(pdfvec::PictureHash(pic), ql::ToUtf8(filename), pic.width, pic.height, false);
  }

 private:
  void Missing(const std::u16string& filename) {
    if (filename.empty()) return;
    const std::string name = ql::ToUtf8(filename);
    struct stat st {};
    doc_.NoteMissingPicture(name, ::stat(name.c_str(), &st) == 0);
  }
  render::PictureLoader& inner_;
  pdfvec::VectorDocument& doc_;
  const double scale_;
};

// Lowers the loader's cache limit to the export's for the lifetime of the
// object (never raises it) and puts the caller's back afterwards; the
// pictures dropped to make room are decoded again when next asked for.
class CacheLimitForExport {
 public:
  explicit CacheLimitForExport(render::PictureLoader& loader) : loader_(loader), old_(loader.CacheLimit()) {
    loader_.SetCacheLimit(std::min(old_, kExportPictureCacheBytes));
  }
  ~CacheLimitForExport() { loader_.SetCacheLimit(old_); }
  CacheLimitForExport(const CacheLimitForExport&) = delete;
  CacheLimitForExport& operator=(const CacheLimitForExport&) = delete;

 private:
  render::PictureLoader& loader_;
  const uint64_t old_;
};

class VectorSink : public render::PageSink {
 public:
  VectorSink(pdfvec::VectorDocument& doc, const PdfExportProgressFn& progress)
      : doc_(doc), progress_(progress) {}
  render::DrawingSurface& MeasuringSurface() override { return doc_.MeasuringSurface(); }
  render::DrawingSurface* BeginPage(int32_t page) override {
    if (page > kMaxPages) {
      error = i18n::SayUtf8(i18n::Text::TooManyPages, {i18n::Decimal(kMaxPages)});
      return nullptr;
    }
    return &doc_.BeginPage();
  }
  bool EndPage(int32_t page, render::DrawingSurface&) override {
    if (!doc_.EndPage()) {
      error = doc_.error();
      return false;
    }
    pages = page;
    if (progress_ && !progress_(PdfExportProgress{page})) {
      cancelled = true;
      return false;
    }
    return true;
  }
  std::string error;
  bool cancelled = false;
  int32_t pages = 0;

 private:
  pdfvec::VectorDocument& doc_;
  const PdfExportProgressFn& progress_;
};

constexpr double kMmPerInch = 25.39995;

std::string CannotWrite(const std::string& path, const ql::SafeFile& file) {
  return i18n::SayUtf8(i18n::Text::CannotWriteFile,
                       {ql::FromUtf8(path), i18n::SystemErrorText(file.Error())});
}

}  // namespace

void VectorTrimSize(const CatalogSettings& set, double& widthMm, double& heightMm) {
  widthMm = set.SetPDFSizeCheck ? set.PDFWidthEd : kDefaultTrimWidthMm;
  heightMm = set.SetPDFSizeCheck ? set.PDFHeightED : kDefaultTrimHeightMm;
}

PdfGeometry VectorPdfGeometry(const CatalogSettings& set) {
  PdfGeometry g;
  VectorTrimSize(set, g.widthmm, g.heightmm);
  g.pageWidth = static_cast<int32_t>(g.widthmm * 72 / kMmPerInch);
  g.pageHeight = static_cast<int32_t>(g.heightmm * 72 / kMmPerInch);
  // Rounded, not cut: the points per pixel then differ least between the
  // two directions (A4: 2480 x 3508).
  g.bitmapWidth = static_cast<int32_t>(std::lround(g.widthmm * kVectorDpi / kMmPerInch));
  g.bitmapHeight = static_cast<int32_t>(std::lround(g.heightmm * kVectorDpi / kMmPerInch));
  return g;
}

VectorPdfOptions PrintPdfPreset() { return VectorPdfOptions(); }

VectorPdfOptions ScreenPdfPreset() {
  VectorPdfOptions o;
  o.bleedMm = 0;
  o.maxPictureppi = 150;
  o.cmyk = false;
  return o;
}

VectorPdfResult ExportVectorPDF(render::RenderSession& session, const std::string& path,
                                const VectorPdfOptions& options, const PdfExportProgressFn& progress) {
  VectorPdfResult res;
  if (!(options.bleedMm >= 0 && options.bleedMm <= 25)) {
    res.error = i18n::SayUtf8(i18n::Text::BleedOutOfRange);
    return res;
  }
  if (!(options.maxPictureppi == 0 || (options.maxPictureppi >= 36 && options.maxPictureppi <= 4000))) {
    res.error = i18n::SayUtf8(i18n::Text::PictureResolutionOutOfRange);
    return res;
  }
  Document& doc = session.doc();
  const PdfGeometry g = VectorPdfGeometry(doc.settings);
  res.geometry = g;
  if (g.pageWidth <= 0 || g.pageHeight <= 0 || g.bitmapWidth <= 0 || g.bitmapHeight <= 0) {
    res.error = i18n::SayUtf8(i18n::Text::PdfPageSizeNotPositive);
    return res;
  }

  pdfvec::VectorOptions vo;
  vo.widthPx = g.bitmapWidth;
  vo.heightPx = g.bitmapHeight;
  // The trim size itself, not cut to whole points.
  vo.widthPt = g.widthmm * 72 / kMmPerInch;
  vo.heightPt = g.heightmm * 72 / kMmPerInch;
  vo.bleedMm = options.bleedMm;
  vo.cmyk = options.cmyk;
  vo.profilePath = pdfimg::ChooseCmykProfile(options.progpath, options.profilePath);
  vo.requireProfile = !options.profilePath.empty();
  vo.maxPictureppi = options.maxPictureppi;
  vo.ink = options.ink;
  vo.firstPageNr = doc.settings.FirstPageNr;
  vo.language = options.language;
  vo.marks = options.marks;
  vo.marksFile = ql::FromUtf8(path.substr(path.find_last_of('/') + 1));
  vo.title = pdfvec::CatalogTitle(doc);
  vo.threads = options.threads;
  // The pages are measured and drawn with the layout's font metrics, as
  // every other output: the same widths, wraps and table columns.
  vo.metrics = &session.cache().measurer();

  // The writer writes and closes the temporary file's descriptor itself;
  // the target is replaced only after Finish.
  ql::SafeFile tmp;
  if (!tmp.Open(path)) {
    res.error = CannotWrite(path, tmp);
    return res;
  }
  pdfvec::VectorDocument pdf(vo);
  // The writer names the target in its messages, not the temporary file.
  if (!pdf.Begin(tmp.ReleaseDescriptor(), path)) {
    res.error = pdf.error();
    return res;
  }
  res.profile = pdf.profile();
  res.profileDescription = pdf.profileDescription();
  if (options.cmyk && res.profile.empty())
    res.colorNote = i18n::SayUtf8(i18n::Text::PressProfileFallback, {ql::FromUtf8(vo.profilePath)});

  VectorSink sink(pdf, progress);
  try {
    // A session of its own over the same document, measurer and loader:
    // the pictures it loads tell the document their files, and the caller's
    // caches stay as they are. Pages draw the furniture pictures through
    // the loader, so the tabs' copies are not needed here.
    const CacheLimitForExport limit(session.loader());
    OriginLoader loader(session.loader(), pdf, options.maxPictureppi);
    render::RenderSession s(doc, session.cache().measurer(), loader);
    s.today = session.today;
    s.drawWith = session.drawWith;
    render::RenderParams p;
    p.dpi = kVectorDpi;
    p.width = g.bitmapWidth;
    p.height = g.bitmapHeight;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = g.widthmm;
    p.heightmm = g.heightmm;
    const render::AllPagesResult r = render::RenderAllPages(s, p, sink, options.layout);
    session.anzpages = s.anzpages;
    res.anzpages = sink.pages;
    if (!sink.error.empty()) {
      res.error = sink.error;
    } else if (sink.cancelled || r.cancelled) {
      res.cancelled = !sink.cancelled ? r.cancelled : true;
    } else if (!pdf.Finish(pdfvec::CatalogOutline(doc))) {
      res.error = pdf.error();
    }
  } catch (const std::bad_alloc&) {
    res.error = i18n::SayUtf8(i18n::Text::NoMemoryForPage, {i18n::Decimal(sink.pages + 1)});
  }
  res.preflight = pdf.preflight();
  if (res.cancelled || !res.error.empty()) {
    pdf.Abort();
    return res;
  }
  res.pictures = pdf.pictureCount();
  if (options.approve && !options.approve(res.preflight)) {
    res.refused = true;
    return res;  // the temporary file goes with `tmp`
  }
  if (!tmp.Commit()) {
    res.error = CannotWrite(path, tmp);
    return res;
  }
  res.ok = true;
  return res;
}

}  // namespace output
