#include "output/pdfexport.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/codepage.h"
#include "core/safefile.h"
#include "i18n/texts.h"
#include "imaging/dib/dib.h"
#include "imaging/qtdib.h"
#include "output/bitmapsink.h"
#include "pdf/pdfcanvas.h"
#include "pdf/pdfimages.h"
#include "platform/qtsurface.h"
#include "render/layouts/layouts.h"

namespace output {

namespace {

constexpr double kMmPerInch = 25.39995;
// The page counter's own limit (the preview's page box goes to 100000):
// pages beyond it are not drawn and the export fails.
constexpr int32_t kMaxPages = 100000;

int32_t WholePart(double v) {
  if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;  // NaN or out of range: unusable
  return static_cast<int32_t>(std::trunc(v));
}

void FillWhite(platform::ImageSurface& surf, int32_t w, int32_t h) {
  QPainter& p = surf.painter();
  p.save();
  p.setClipping(false);
  p.resetTransform();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(0, 0, w, h, Qt::white);
  p.restore();
}

// The page image as a 24-bit dib (bottom row first, B, G, R), reusing the
// dib's memory from page to page.
bool PageToDib(const QImage& img, dib& d) {
  if (d.width != img.width() || d.height != img.height() || d.bitcount != 24 || !d.loaded()) {
    if (!newdib(d, img.width(), img.height(), 24)) return false;
  }
  if (QSysInfo::ByteOrder == QSysInfo::LittleEndian &&
      (img.format() == QImage::Format_RGB32 || img.format() == QImage::Format_ARGB32)) {
    for (int32_t y = 0; y < d.height; ++y) {
      const uint8_t* src = img.constScanLine(y);  // B, G, R, A in memory
      uint8_t* dst = d.toprow(y);
      pdfimg::DropFourthByte(src, dst, static_cast<size_t>(d.width));
    }
    return true;
  }
  return QImageToDib(img, d);
}

// The pages of one export: each is drawn into the one page bitmap, copied
// into a dib and handed to the writer, whose encoder threads convert and
// deflate it while the next page is drawn.
class PdfPageSink : public render::PageSink {
 public:
  PdfPageSink(TPDFCanvas& pdf, platform::ImageSurface& surf, const PdfGeometry& g, PdfExportResult& res,
              const PdfExportProgressFn& progress)
      : pdf_(pdf), surf_(surf), g_(g), res_(res), progress_(progress) {}

  render::DrawingSurface& MeasuringSurface() override { return surf_; }

  render::DrawingSurface* BeginPage(int32_t page) override {
    if (page > kMaxPages || !res_.error.empty() || res_.cancelled) return nullptr;
    if (page > 1) pdf_.NewPage();
    FillWhite(surf_, g_.bitmapWidth, g_.bitmapHeight);
    return &surf_;
  }

  bool EndPage(int32_t page, render::DrawingSurface&) override {
    if (!PageToDib(surf_.image(), dib_)) {
      res_.error = i18n::SayUtf8(i18n::Text::NoMemoryForPage, {i18n::Decimal(page)});
      return false;
    }
    // The page's memory goes to the writer (no copy); `dib_` gets memory
    // back that the next page overwrites.
    pdf_.DrawDIB(0, 0, pdf_.PageWidth, pdf_.PageHeight, std::move(dib_), 0, 0, g_.bitmapWidth,
                 g_.bitmapHeight);
    if (pdf_.Failed()) {
      res_.error = pdf_.LastError();
      return false;
    }
    res_.anzpages = page;
    if (progress_ && !progress_(PdfExportProgress{page})) {
      res_.cancelled = true;
      return false;
    }
    return true;
  }

 private:
  TPDFCanvas& pdf_;
  platform::ImageSurface& surf_;
  const PdfGeometry& g_;
  PdfExportResult& res_;
  const PdfExportProgressFn& progress_;
  dib dib_;
};

}  // namespace

PdfGeometry ComputePdfGeometry(const CatalogSettings& set, int32_t dpi,
                               const platform::PrinterPage& printer) {
  PdfGeometry g;
  const double r = set.PDFRandEd * 2 * 72 / kMmPerInch;
  const double pdpi = printer.resx > 0 ? printer.resx : 1;
  if (set.SetPDFSizeCheck) {
    g.pageWidth = WholePart(set.PDFWidthEd * 72 / kMmPerInch + r);
    g.pageHeight = WholePart(set.PDFHeightED * 72 / kMmPerInch + r);
  } else {
    g.pageWidth = WholePart(printer.width * 72 / pdpi + r);
    g.pageHeight = WholePart(printer.height * 72 / pdpi + r);
  }
  if (set.SetPDFSizeCheck && !set.ZerrePDFCheck) {
    g.bitmapWidth = WholePart(set.PDFWidthEd * dpi / kMmPerInch + set.PDFRandEd * 2 * dpi / kMmPerInch);
    g.bitmapHeight = WholePart(set.PDFHeightED * dpi / kMmPerInch + set.PDFRandEd * 2 * dpi / kMmPerInch);
    // The renderers lay the page out for the bitmap they draw into.
    g.widthmm = set.PDFWidthEd + 2 * set.PDFRandEd;
    g.heightmm = set.PDFHeightED + 2 * set.PDFRandEd;
  } else {
    const int64_t pd = printer.resx > 0 ? printer.resx : 1;
    const int64_t bw = static_cast<int64_t>(printer.width) * dpi / pd;
    const int64_t bh = static_cast<int64_t>(printer.height) * dpi / pd;
    g.bitmapWidth = bw > INT32_MAX ? 0 : static_cast<int32_t>(bw);
    g.bitmapHeight = bh > INT32_MAX ? 0 : static_cast<int32_t>(bh);
    g.widthmm = printer.width / pdpi * kMmPerInch;
    g.heightmm = printer.height / pdpi * kMmPerInch;
  }
  return g;
}

PdfExportResult ExportPDF(render::RenderSession& session, const std::string& path,
                          const PdfExportOptions& options, const PdfExportProgressFn& progress) {
  PdfExportResult res;
  if (!(options.dpi >= 10 && options.dpi <= 4000)) {
    res.error = i18n::SayUtf8(i18n::Text::ResolutionOutOfRange, {u"10", u"4000"});
    return res;
  }
  if (options.printer.width <= 0 || options.printer.height <= 0 || options.printer.resx <= 0) {
    res.error = i18n::SayUtf8(i18n::Text::PrinterNoPageSize);
    return res;
  }
  const int32_t dpi = WholePart(options.dpi);
  const PdfGeometry g = ComputePdfGeometry(session.doc().settings, dpi, options.printer);
  res.geometry = g;
  if (g.pageWidth <= 0 || g.pageHeight <= 0) {
    res.error = i18n::SayUtf8(i18n::Text::PdfPageSizeNotPositive);
    return res;
  }
  if (g.bitmapWidth <= 0 || g.bitmapHeight <= 0 ||
      static_cast<int64_t>(g.bitmapWidth) * g.bitmapHeight > kMaxDibPixels) {
    res.error = i18n::SayUtf8(i18n::Text::PageTooLargeToDraw,
                              {i18n::Decimal(g.bitmapWidth), i18n::Decimal(g.bitmapHeight),
                               i18n::Decimal(kMaxDibPixels / (1024 * 1024))});
    return res;
  }

  // The writer writes and closes the temporary file's descriptor itself;
  // the target is replaced only after EndDoc.
  ql::SafeFile tmp;
  if (!tmp.Open(path)) {
    res.error = ql::ToUtf8(
        i18n::Say(i18n::Text::CannotWriteFile, {ql::FromUtf8(path), i18n::SystemErrorText(tmp.Error())}));
    return res;
  }

  PDFCanvasOptions po;
  po.progpath = options.progpath;
  po.profilePath = options.profilePath;
  po.tempFolder = options.tempFolder;
  po.encoderThreads = options.encoderThreads;
  po.syncOnClose = true;
  TPDFCanvas pdf(po);
  pdf.usetempfileforimages = true;
  pdf.compressasCMYK = options.cmyk;
  pdf.PageWidth = g.pageWidth;
  pdf.PageHeight = g.pageHeight;
  res.uselcms = options.cmyk && pdf.uselcms();
  if (res.uselcms) res.profile = pdf.profileUsed();
  if (options.cmyk && !pdf.uselcms()) {
    // The press profile beside the program is optional; one the user named
    // explicitly must work.
    if (!options.profilePath.empty()) {
      res.error = pdf.colorFallbackReason();
      return res;
    }
    res.colorNote = pdf.colorFallbackReason();
  }
  if (!pdf.BeginDoc(tmp.ReleaseDescriptor(), tmp.TempName())) {
    res.error = pdf.LastError().empty()
                    ? i18n::SayUtf8(i18n::Text::CannotWriteFilePlain, {ql::FromUtf8(path)})
                    : pdf.LastError();
    return res;
  }

  try {
    platform::ImageSurface surf(g.bitmapWidth, g.bitmapHeight);
    if (!surf.ok()) {
      pdf.AbortDoc();
      res.error = NoMemoryForPageOf(g.bitmapWidth, g.bitmapHeight);
      return res;
    }
    PdfPageSink sink(pdf, surf, g, res, progress);
    render::RenderParams p;
    p.dpi = dpi;
    p.width = g.bitmapWidth;
    p.height = g.bitmapHeight;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = g.widthmm;
    p.heightmm = g.heightmm;
    const render::AllPagesResult all = render::RenderAllPages(session, p, sink, options.layout);
    if (res.error.empty() && all.pages > kMaxPages)
      res.error = i18n::SayUtf8(i18n::Text::TooManyPages, {i18n::Decimal(kMaxPages)});
  } catch (const std::bad_alloc&) {
    res.error = i18n::SayUtf8(i18n::Text::NoMemoryForPage, {i18n::Decimal(res.anzpages + 1)});
  }
  session.anzpages = res.anzpages;

  if (res.cancelled || !res.error.empty()) {
    pdf.AbortDoc();
    return res;
  }
  if (!pdf.EndDoc()) {
    res.error = pdf.LastError();
    return res;
  }
  if (!tmp.Commit()) {
    res.error = ql::ToUtf8(
        i18n::Say(i18n::Text::CannotWriteFile, {ql::FromUtf8(path), i18n::SystemErrorText(tmp.Error())}));
    return res;
  }
  res.ok = true;
  return res;
}

}  // namespace output
