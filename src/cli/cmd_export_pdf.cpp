// quillane-cli export-pdf: writes a project's catalog as a PDF file, one
// page image per page. Options override the project's settings for this run
// only; the project file is not changed.
#include <CLI/CLI.hpp>
#include <cmath>
#include <memory>
#include <ostream>

#include "cli/options.h"
#include "cli/support.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"
#include "platform/printer.h"

namespace cli {

namespace {

// "210x297": width and height in millimetres, each above 0 and up to 1000.
bool ParsePdfSize(const std::string& v, double& w, double& h) {
  const size_t x = v.find_first_of("xX");
  if (x == std::string::npos) return false;
  try {
    size_t used = 0;
    const std::string ws = v.substr(0, x), hs = v.substr(x + 1);
    w = std::stod(ws, &used);
    if (used != ws.size()) return false;
    h = std::stod(hs, &used);
    if (used != hs.size()) return false;
  } catch (const std::exception&) {
    return false;
  }
  return w > 0 && h > 0 && w <= 1000 && h <= 1000;
}

}  // namespace

CommandRun ExportPdf(CLI::App& app) {
  struct Args {
    std::string in, out;
    LayoutOption layout;
    int dpi = 300;
    ColourOptions colour;
    double pw = 0, ph = 0, margin = -1;
    bool stretch = false, progress = false;
    bool vector = false;
    double bleed = -1, maxppi = -1;
    std::string printer;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->in, "project file")->required();
  app.add_option("OUT", a->out, "PDF file to write")->required();
  AddLayoutOption(app, a->layout);
  AddDpiOption(app, a->dpi);
  AddColourOptions(app, a->colour);
  CLI::Option* printer = AddPrinterOption(app, a->printer);
  CLI::Option* size = app.add_option_function<std::string>(
                             "--pdf-size",
                             [a](const std::string& v) {
                               if (!ParsePdfSize(v, a->pw, a->ph))
                                 throw CLI::ValidationError(
                                     "--pdf-size", "needs WIDTHxHEIGHT in millimetres (each up to 1000)");
                             },
                             "page size of the PDF in millimetres instead of the page laid out on "
                             "(with --vector: the trim size, default A4)")
                          ->type_name("WxH");
  CLI::Option* margin =
      app.add_option("--margin", a->margin, "margin around the page image in millimetres, 0 ... 1000")
          ->type_name("MM")
          ->check(CLI::Range(0.0, 1000.0));
  CLI::Option* stretch =
      app.add_flag("--stretch", a->stretch, "stretch the page image over the PDF page (with --pdf-size)")
          ->needs(size);
  app.add_flag("--progress", a->progress, "write each finished page number on stderr");
  CLI::Option* vector = app.add_flag("--vector", a->vector,
                                     "a print-ready PDF of text, paths and pictures instead of page images; "
                                     "laid out for its trim size, never a printer's page");
  vector->excludes(printer)->excludes(margin)->excludes(stretch);
  app.add_option("--bleed", a->bleed, "with --vector: bleed in millimetres, 0 ... 25 (default 3)")
      ->type_name("MM")
      ->check(CLI::Range(0.0, 25.0))
      ->needs(vector);
  app.add_option(
         "--max-picture-ppi", a->maxppi,
         "with --vector: pictures above this resolution at their drawn size are resampled, 36 ... 4000 "
         "(default 300; 0: pictures as they are)")
      ->type_name("N")
      ->check(CLI::Range(0.0, 4000.0))
      ->needs(vector);
  return [a](Console& io) {
    if (a->vector && a->maxppi > 0 && a->maxppi < 36)
      return UsageError(io, "export-pdf", "--max-picture-ppi needs 36 ... 4000 (0: pictures as they are)");
    Document doc;
    if (!OpenProject(io, doc, a->in)) return int(kFileError);
    CatalogSettings& set = doc.settings;
    a->layout.ApplyTo(set);
    if (a->pw > 0) {
      set.SetPDFSizeCheck = true;
      set.PDFWidthEd = a->pw;
      set.PDFHeightED = a->ph;
      set.ZerrePDFCheck = a->stretch;
    }
    if (a->margin >= 0) set.PDFRandEd = a->margin;

    auto setup = MakeRenderSetup(io, doc, "export-pdf");
    if (!setup) return int(kFileError);
    if (a->vector) {
      output::VectorPdfOptions vo = output::PrintPdfPreset();
      if (a->bleed >= 0) vo.bleedMm = a->bleed;
      if (a->maxppi >= 0) vo.maxPictureppi = a->maxppi;
      vo.cmyk = a->colour.Cmyk(true);
      vo.progpath = io.progpath;
      vo.profilePath = a->colour.profile;
      output::PdfExportProgressFn vreport;
      if (a->progress)
        vreport = [&io](const output::PdfExportProgress& p) {
          io.err << "page " << p.pagesDone << '\n';
          return true;
        };
      const output::VectorPdfResult r = output::ExportVectorPDF(setup->session, a->out, vo, vreport);
      if (!r.ok) return FileError(io, "export-pdf", r.error);
      ReportPictureProblems(io, *setup, "export-pdf");
      std::string colours = "RGB (output intent sRGB)";
      if (vo.cmyk)
        colours = r.profile.empty()
                      ? "CMYK (" + r.colorNote + ")"
                      : "CMYK (profile " + r.profile +
                            (r.profileDescription.empty() ? "" : ", \"" + r.profileDescription + "\"") + ")";
      io.out << a->out << ": " << r.anzpages << " pages of " << r.geometry.pageWidth << " x "
             << r.geometry.pageHeight << " pt, vector, bleed " << vo.bleedMm << " mm, " << r.pictures
             << " pictures, " << colours << '\n';
      return int(kOk);
    }
    output::PdfExportOptions opts;
    opts.dpi = a->dpi;
    opts.cmyk = a->colour.Cmyk(true);
    opts.progpath = io.progpath;
    opts.profilePath = a->colour.profile;
    if (!ChoosePrinterPage(io, "export-pdf", a->printer, opts.printer)) return int(kFileError);
    output::PdfExportProgressFn report;
    if (a->progress)
      report = [&io](const output::PdfExportProgress& p) {
        io.err << "page " << p.pagesDone << '\n';
        return true;
      };
    const output::PdfExportResult r = output::ExportPDF(setup->session, a->out, opts, report);
    if (!r.ok) return FileError(io, "export-pdf", r.error);
    ReportPictureProblems(io, *setup, "export-pdf");
    std::string colours = "RGB";
    if (opts.cmyk)
      colours = r.uselcms ? "CMYK (Little CMS, profile " + r.profile + ")"
                          : "CMYK (arithmetic: " + r.colorNote + ")";
    io.out << a->out << ": " << r.anzpages << " pages of " << r.geometry.pageWidth << " x "
           << r.geometry.pageHeight << " pt, " << r.geometry.bitmapWidth << " x " << r.geometry.bitmapHeight
           << " pixels at " << a->dpi << " dpi, " << colours << '\n';
    return int(kOk);
  };
}

}  // namespace cli
