#include "output/catalogoutput.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QString>
#include <filesystem>
#include <sstream>
#include <type_traits>

#include "i18n/messages.h"
#include "output/htmlcatalog.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"
#include "output/pricelistdocument.h"
#include "output/printjob.h"
#include "output/vectorexport.h"
#include "render/render.h"

namespace output {

namespace {

// The fields every result shares, and the pictures the run could not draw.
template <class Native>
OutputResult Common(render::RenderSession& session, const Native& r, int32_t pages) {
  OutputResult res;
  res.ok = r.ok;
  res.pages = pages;
  res.error = r.error;
  res.pictures = session.loader().TakeProblems();
  if constexpr (!std::is_same_v<Native, PrintResult>) res.cancelled = r.cancelled;
  return res;
}

// A page-picture output's own options with the shared ones put in.
template <class Options>
Options WithShared(Options o, const OutputOptions& common) {
  o.layout = common.layout;
  if (common.dpi > 0) o.dpi = common.dpi;
  o.printer = common.printer;
  return o;
}

// The output's own progress callback made from the shared one; unset when
// that is.
template <class Progress>
std::function<bool(const Progress&)> PageCallback(const OutputProgressFn& progress, int32_t Progress::*page) {
  if (!progress) return {};
  return [&progress, page](const Progress& p) { return progress({p.*page}); };
}

// The page-image PDF.
class PdfOutput : public OutputOf<PdfExportOptions> {
 public:
  OutputResult Write(render::RenderSession& session, const std::string& target, const OutputOptions& common,
                     const OutputProgressFn& progress) override {
    PdfExportOptions o = WithShared(format, common);
    o.progpath = common.progpath;
    const PdfExportResult r =
        ExportPDF(session, target, o, PageCallback(progress, &PdfExportProgress::pagesDone));
    OutputResult res = Common(session, r, r.anzpages);
    if (!r.ok) return res;
    res.files.push_back(target);
    res.filesWritten = 1;
    if (o.cmyk && !r.uselcms) res.warnings.push_back(r.colorNote);
    std::ostringstream s;
    s << target << ": " << r.anzpages << " pages of " << r.geometry.pageWidth << " x "
      << r.geometry.pageHeight << " pt, " << r.geometry.bitmapWidth << " x " << r.geometry.bitmapHeight
      << " pixels at " << static_cast<int>(o.dpi) << " dpi, "
      << (!o.cmyk     ? std::string("RGB")
          : r.uselcms ? "CMYK (Little CMS, profile " + r.profile + ")"
                      : "CMYK (arithmetic: " + r.colorNote + ")");
    res.summary = s.str();
    return res;
  }
};

// The print-ready (vector) PDF.
class VectorPdfOutput : public OutputOf<VectorPdfOptions> {
 public:
  VectorPdfOutput() { format = PrintPdfPreset(); }
  OutputResult Write(render::RenderSession& session, const std::string& target, const OutputOptions& common,
                     const OutputProgressFn& progress) override {
    VectorPdfOptions o = format;
    o.layout = common.layout;
    o.progpath = common.progpath;
    const VectorPdfResult r =
        ExportVectorPDF(session, target, o, PageCallback(progress, &PdfExportProgress::pagesDone));
    OutputResult res = Common(session, r, r.anzpages);
    res.refused = r.refused;
    if (!r.ok) return res;
    res.files.push_back(target);
    res.filesWritten = 1;
    if (o.cmyk && r.profile.empty()) res.warnings.push_back(r.colorNote);
    std::string colours = "RGB (output intent sRGB)";
    if (o.cmyk)
      colours = r.profile.empty()
                    ? "CMYK (" + r.colorNote + ")"
                    : "CMYK (profile " + r.profile +
                          (r.profileDescription.empty() ? "" : ", \"" + r.profileDescription + "\"") + ")";
    std::ostringstream s;
    s << target << ": " << r.anzpages << " pages of " << r.geometry.pageWidth << " x "
      << r.geometry.pageHeight << " pt, vector, bleed " << o.bleedMm << " mm, " << r.pictures << " pictures, "
      << colours;
    res.summary = s.str();
    return res;
  }
};

// One picture file per page.
class PageImagesOutput : public OutputOf<PageImagesOptions> {
 public:
  OutputResult Write(render::RenderSession& session, const std::string& target, const OutputOptions& common,
                     const OutputProgressFn& progress) override {
    PageImagesOptions o = WithShared(format, common);
    if (common.page > 0) {
      o.allPages = false;
      o.from = o.to = common.page;
    }
    const PageImagesResult r =
        ExportPageImages(session, target, o, PageCallback(progress, &PageImagesProgress::page));
    OutputResult res = Common(session, r, r.anzpages);
    res.filesWritten = r.saved;
    if (r.saved > 0) res.files.push_back(r.firstFile);
    std::ostringstream s;
    s << r.saved << " of " << r.anzpages << " pages saved as " << r.width << " x " << r.height
      << " pixel pictures, first " << r.firstFile;
    res.summary = s.str();
    return res;
  }
};

// The HTML page-turning catalog, with the print-ready PDF beside it when
// `format.pdfFile` names one.
class HtmlOutput : public OutputOf<HtmlCatalogOptions> {
 public:
  OutputResult Write(render::RenderSession& session, const std::string& target, const OutputOptions& common,
                     const OutputProgressFn& progress) override {
    HtmlCatalogOptions o = WithShared(format, common);
    o.progpath = common.progpath;
    std::vector<std::string> pdf;
    if (!o.pdfFile.empty()) {
      // Written first, so the catalog links only a PDF that exists.
      std::error_code ec;
      std::filesystem::create_directories(target, ec);
      VectorPdfOptions vo = ScreenPdfPreset();
      vo.progpath = common.progpath;
      vo.layout = common.layout;
      const std::string file = (std::filesystem::path(target) / o.pdfFile).string();
      const VectorPdfResult v = ExportVectorPDF(session, file, vo);
      if (!v.ok) return Common(session, v, v.anzpages);
      pdf.push_back(file);
    }
    const HtmlCatalogResult r =
        ExportHtmlCatalog(session, target, o, PageCallback(progress, &HtmlCatalogProgress::page));
    OutputResult res = Common(session, r, r.anzpages);
    // The catalog first, to be opened; its PDF only beside it.
    if (!r.catalogFile.empty()) {
      res.files.push_back(r.catalogFile);
      res.files.insert(res.files.end(), pdf.begin(), pdf.end());
    }
    res.filesWritten = r.jobsDone + static_cast<int32_t>(pdf.size()) + (r.catalogFile.empty() ? 0 : 1);
    std::ostringstream s;
    s << r.catalogFile << ": " << r.anzpages << " pages (made even) as " << r.width << " x " << r.height
      << " pixel pictures, " << r.picturesCopied << " of " << kHtmlNavPictures.size()
      << " navigation pictures" << (pdf.empty() ? std::string() : ", " + o.pdfFile);
    res.summary = s.str();
    return res;
  }
};

// The price list as text, HTML or PDF; it draws no pages.
class PriceListOutput : public OutputOf<PriceListFormat> {
 public:
  PriceListOutput() { format = PriceListFormat::Text; }
  OutputResult Write(render::RenderSession& session, const std::string& target, const OutputOptions&,
                     const OutputProgressFn&) override {
    OutputResult res;
    res.ok = WritePriceList(session.doc(), target, format, res.error);
    if (!res.ok) return res;
    res.files.push_back(target);
    res.filesWritten = 1;
    res.summary = "price list written to " + target;
    return res;
  }
};

// The catalog on a printer: a print queue (`target`; empty: the system's
// default, else the first one), Qt's PDF printer into the file `target`
// (format.toPdf), or a printer the caller set up (format.printer).
class PrintOutput : public OutputOf<PrintOutputOptions> {
 public:
  OutputResult Write(render::RenderSession& session, const std::string& target, const OutputOptions& common,
                     const OutputProgressFn&) override {
    OutputResult res;
    std::unique_ptr<QPrinter> own;
    QPrinter* printer = format.printer;
    if (!printer && format.toPdf) {
      own = std::make_unique<QPrinter>(QPrinter::HighResolution);
      own->setOutputFormat(QPrinter::PdfFormat);
      own->setOutputFileName(QString::fromStdString(target));
    } else if (!printer) {
      QPrinterInfo info = target.empty() ? QPrinterInfo::defaultPrinter()
                                         : QPrinterInfo::printerInfo(QString::fromStdString(target));
      if (info.isNull() && target.empty() && !QPrinterInfo::availablePrinters().isEmpty())
        info = QPrinterInfo::availablePrinters().first();
      if (info.isNull()) {
        res.error = target.empty() ? "there is no printer on this system (use --to-pdf FILE)"
                                   : "there is no printer named " + target;
        return res;
      }
      own = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    if (own) printer = own.get();
    const std::u16string title = i18n::Msg(21);
    const PrintResult r = common.page > 0
                              ? PrintCatalogPage(session, *printer, common.page, title, common.layout)
                              : PrintCatalog(session, *printer, title, common.layout);
    res = Common(session, r, r.anzpages);
    if (!r.ok) return res;
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat;
    const std::string file = printer->outputFileName().toStdString();
    if (toFile) res.files.push_back(file);
    res.filesWritten = toFile ? 1 : 0;
    std::ostringstream s;
    s << r.pages << " of " << r.anzpages << " pages printed on "
      << (toFile ? "PDF file " + file : "printer " + printer->printerName().toStdString()) << " at "
      << printer->resolution() << " dpi";
    res.summary = s.str();
    return res;
  }
};

template <class T>
std::unique_ptr<CatalogOutput> Make() {
  return std::make_unique<T>();
}

}  // namespace

const std::vector<OutputEntry>& OutputTable() {
  static const std::vector<OutputEntry> kOutputs = {
      {"pdf", "Als PDF Datei exportieren...", "AlsPDFDateiexportieren1", "PDF Dateien (*.pdf)|*.pdf",
       "export-pdf", "write the catalog as a PDF file of page images (default 300 dpi, CMYK)",
       OutputTarget::File, 300, Make<PdfOutput>},
      {"vector-pdf", "Als Druck-PDF exportieren...", "AlsDruckPDFexportieren1", "PDF Dateien (*.pdf)|*.pdf",
       "export-pdf", "write the catalog as a PDF file of page images (default 300 dpi, CMYK)",
       OutputTarget::File, 0, Make<VectorPdfOutput>},
      {"images", "Seiten als Bilder exportieren...", "SeitenalsBilderexportieren1", "", "export-images",
       "save every page (or pages --from ... --to) as OUT<page>.EXT (default 150 dpi, JPEG)",
       OutputTarget::File, 150, Make<PageImagesOutput>},
      {"html", "Als HTML Blätterkatalog exportieren...", "AlsHTMLBltterkatalogexportieren1", "",
       "export-html", "write the catalog as an HTML page-turning catalog into DIR and open DIR/catalog.htm",
       OutputTarget::Folder, 50, Make<HtmlOutput>},
      {"price-list", "Preisliste erzeugen...", "Preislisteerzeugen1", "", "price-list",
       "write the price list (names in bold, aligned columns) as text, HTML or PDF", OutputTarget::File, 0,
       Make<PriceListOutput>},
      {"print", "Drucken", "Drucken1", "", "print",
       "print the catalog (or one page) on a print queue or through Qt's PDF printer", OutputTarget::Printer,
       0, Make<PrintOutput>},
  };
  return kOutputs;
}

const OutputEntry* FindOutput(const std::string& id) {
  for (const OutputEntry& e : OutputTable())
    if (id == e.id) return &e;
  return nullptr;
}

OutputResult WriteOutput(const OutputEntry& entry, render::RenderSession& session, const std::string& target,
                         const OutputOptions& common, const OutputProgressFn& progress) {
  return entry.make()->Write(session, target, common, progress);
}

}  // namespace output
