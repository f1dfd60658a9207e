#include "output/vectorexport.h"

#include <cmath>
#include <new>

#include "core/codepage.h"
#include "core/safefile.h"
#include "i18n/texts.h"
#include "pdf/pdfimages.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/pictures.h"
#include "pdfvector/vectordoc.h"
#include "render/render.h"

namespace output {

namespace {

// The renderers' own resolution for the vector pages: the layout measures
// at 300 ppi, so positions and text sizes land exactly where it planned them.
constexpr int32_t kVectorDpi = 300;
constexpr int32_t kMaxPages = 100000;

// Loads through the session's loader and tells the document which file each
// decoded picture came from (JPEG files are then stored as they are).
class OriginLoader : public render::PictureLoader {
 public:
  OriginLoader(render::PictureLoader& inner, pdfvec::VectorDocument& doc) : inner_(inner), doc_(doc) {}
  bool Load(const std::u16string& filename, dib& out) override {
    if (!inner_.Load(filename, out)) return false;
    doc_.NoteOrigin(pdfvec::PictureHash(out), ql::ToUtf8(filename));
    return true;
  }
  bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) override {
    return inner_.PixelSize(filename, width, height);
  }

 private:
  render::PictureLoader& inner_;
  pdfvec::VectorDocument& doc_;
};

class VectorSink : public render::PageSink {
 public:
  VectorSink(pdfvec::VectorDocument& doc, const PdfExportProgressFn& progress)
      : doc_(doc), progress_(progress) {}
  render::DrawingSurface& MeasuringSurface() override { return doc_.MeasuringSurface(); }
  render::DrawingSurface* BeginPage(int32_t page) override {
    if (page > kMaxPages) {
      error = "the catalog has more than " + std::to_string(kMaxPages) + " pages";
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
    res.error = "the bleed must lie between 0 and 25 mm";
    return res;
  }
  if (!(options.maxPictureppi == 0 || (options.maxPictureppi >= 36 && options.maxPictureppi <= 4000))) {
    res.error =
        "the maximum picture resolution must lie between 36 and 4000 ppi (0: keep every picture's own)";
    return res;
  }
  Document& doc = session.doc();
  const PdfGeometry g = VectorPdfGeometry(doc.settings);
  res.geometry = g;
  if (g.pageWidth <= 0 || g.pageHeight <= 0 || g.bitmapWidth <= 0 || g.bitmapHeight <= 0) {
    res.error = "the PDF page size must be positive";
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
  vo.title = pdfvec::CatalogTitle(doc);
  vo.threads = options.threads;
  // The pages are measured and drawn with the layout's font metrics, as
  // every other output: the same widths, wraps and table columns.
  vo.metrics = &session.cache().measurer();

  // The writer writes and closes the temporary file's descriptor itself;
  // the target is replaced only after Finish.
  ql::SafeFile tmp;
  if (!tmp.Open(path)) {
    res.error = ql::ToUtf8(
        i18n::Say(i18n::Text::CannotWriteFile, {ql::FromUtf8(path), i18n::SystemErrorText(tmp.Error())}));
    return res;
  }
  pdfvec::VectorDocument pdf(vo);
  if (!pdf.Begin(tmp.ReleaseDescriptor(), tmp.TempName())) {
    res.error = pdf.error();
    return res;
  }
  res.profile = pdf.profile();
  res.profileDescription = pdf.profileDescription();
  if (options.cmyk && res.profile.empty())
    res.colorNote = "no usable press profile (" + vo.profilePath + "): arithmetic CMYK";

  VectorSink sink(pdf, progress);
  try {
    // A session of its own over the same document, measurer and loader:
    // the pictures it loads tell the document their files, and the caller's
    // prepared pictures and caches stay as they are.
    OriginLoader loader(session.loader(), pdf);
    render::RenderSession s(doc, session.cache().measurer(), loader);
    s.today = session.today;
    s.LoadFurniturePictures();
    render::RenderParams p;
    p.dpi = kVectorDpi;
    p.width = g.bitmapWidth;
    p.height = g.bitmapHeight;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = g.widthmm;
    p.heightmm = g.heightmm;
    const render::AllPagesResult r = render::RenderAllPages(s, p, sink);
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
    res.error = "not enough memory to export page " + std::to_string(sink.pages + 1);
  }
  if (res.cancelled || !res.error.empty()) {
    pdf.Abort();
    return res;
  }
  res.pictures = pdf.pictureCount();
  if (!tmp.Commit()) {
    res.error = ql::ToUtf8(
        i18n::Say(i18n::Text::CannotWriteFile, {ql::FromUtf8(path), i18n::SystemErrorText(tmp.Error())}));
    return res;
  }
  res.ok = true;
  return res;
}

}  // namespace output
