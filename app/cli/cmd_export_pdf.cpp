// quillane-cli export-pdf: writes a project's catalog as a PDF file, one
// page image per page. Options override the project's settings for this run
// only; the project file is not changed.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command.h"
#include "support.h"
#include "core/codepage.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pictureloader.h"
#include "platform/printer.h"
#include "project/projectfile.h"
#include "render/render.h"

namespace {

constexpr const char* kName = "export-pdf";

int RunExportPdf(const cli::Args& args) {
  std::string in, out, profile;
  long layout = -1;  // -1: the project's own
  double dpi = 300, margin = -1, pw = 0, ph = 0;
  bool haveSize = false, stretch = false, progress = false;
  bool vector = false, haveDpi = false;
  double bleed = -1, maxppi = -1;
  int cmyk = -1;  // -1: default (on)
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--layout") {
      if (!value(v) || !cli::ParseInt(v, layout) || layout < 0 || layout > 7)
        return cli::UsageError(kName, "--layout needs a layout index 0 ... 7 (layout 1 is 0)");
    } else if (a == "--dpi") {
      if (!value(v) || !cli::ParseNumber(v, dpi) || dpi < 10 || dpi > 4000)
        return cli::UsageError(kName, "--dpi needs a resolution of 10 ... 4000");
      haveDpi = true;
    } else if (a == "--vector") {
      vector = true;
    } else if (a == "--bleed") {
      if (!value(v) || !cli::ParseNumber(v, bleed) || bleed < 0 || bleed > 25)
        return cli::UsageError(kName, "--bleed needs millimetres 0 ... 25");
    } else if (a == "--max-picture-ppi") {
      if (!value(v) || !cli::ParseNumber(v, maxppi) || (maxppi != 0 && (maxppi < 36 || maxppi > 4000)))
        return cli::UsageError(kName, "--max-picture-ppi needs 36 ... 4000 (0: pictures as they are)");
    } else if (a == "--rgb") {
      cmyk = 0;
    } else if (a == "--cmyk") {
      cmyk = 1;
    } else if (a == "--profile") {
      if (!value(profile) || profile.empty()) return cli::UsageError(kName, "--profile needs an ICC file");
    } else if (a == "--pdf-size") {
      const size_t x = value(v) ? v.find_first_of("xX") : std::string::npos;
      if (x == std::string::npos || !cli::ParseNumber(v.substr(0, x), pw) || !cli::ParseNumber(v.substr(x + 1), ph) ||
          pw <= 0 || ph <= 0 || pw > 1000 || ph > 1000)
        return cli::UsageError(kName, "--pdf-size needs WIDTHxHEIGHT in millimetres (each up to 1000)");
      haveSize = true;
    } else if (a == "--margin") {
      if (!value(v) || !cli::ParseNumber(v, margin) || margin < 0 || margin > 1000)
        return cli::UsageError(kName, "--margin needs millimetres 0 ... 1000");
    } else if (a == "--stretch") {
      stretch = true;
    } else if (a == "--progress") {
      progress = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else if (in.empty()) {
      in = a;
    } else if (out.empty()) {
      out = a;
    } else {
      return cli::UsageError(kName, "only FILE and OUT.pdf");
    }
  }
  if (in.empty() || out.empty()) return cli::UsageError(kName, "FILE and OUT.pdf are needed");
  if (stretch && !haveSize) return cli::UsageError(kName, "--stretch needs --pdf-size");
  if (!vector && (bleed >= 0 || maxppi >= 0))
    return cli::UsageError(kName, "--bleed and --max-picture-ppi need --vector");
  if (vector && haveDpi) return cli::UsageError(kName, "--dpi is for the page-image PDF, not with --vector");

  Document doc;
  if (!cli::OpenProject(doc, in)) return 1;
  CatalogSettings& set = doc.settings;
  if (layout >= 0) set.LayoutCombo = static_cast<int32_t>(layout);
  if (haveSize) {
    set.SetPDFSizeCheck = true;
    set.PDFWidthEd = pw;
    set.PDFHeightED = ph;
    set.ZerrePDFCheck = stretch;
  }
  if (margin >= 0) set.PDFRandEd = margin;

  auto setup = cli::MakeRenderSetup(doc, kName);
  if (!setup) return 1;
  render::RenderSession& session = setup->session;

  output::PdfExportProgressFn report;
  if (progress)
    report = [](const output::PdfExportProgress& p) {
      std::fprintf(stderr, "page %d\n", p.pagesDone);
      return true;
    };
  if (vector) {
    output::VectorPdfOptions vo = output::PrintPdfPreset();
    if (bleed >= 0) vo.bleedMm = bleed;
    if (maxppi >= 0) vo.maxPictureppi = maxppi;
    vo.cmyk = cmyk != 0;
    vo.progpath = cli::ProgramFolder();
    vo.profilePath = profile;
    vo.printer = platform::DefaultPrinterPage();
    const output::VectorPdfResult r = output::ExportVectorPDF(session, out, vo, report);
    if (!r.ok) {
      std::fprintf(stderr, "quillane-cli %s: %s\n", kName, r.error.c_str());
      return 1;
    }
    std::string colours = "RGB (output intent sRGB)";
    if (vo.cmyk)
      colours = r.profile.empty() ? "CMYK (" + r.colorNote + ")"
                                  : "CMYK (profile " + r.profile +
                                        (r.profileDescription.empty() ? "" : ", \"" + r.profileDescription + "\"") + ")";
    std::printf("%s: %d pages of %d x %d pt, vector, bleed %g mm, %zu pictures, %s\n", out.c_str(), r.anzpages,
                r.geometry.pageWidth, r.geometry.pageHeight, vo.bleedMm, r.pictures, colours.c_str());
    return 0;
  }

  output::PdfExportOptions opts;
  opts.dpi = dpi;
  opts.cmyk = cmyk != 0;
  opts.progpath = cli::ProgramFolder();
  opts.profilePath = profile;
  opts.printer = platform::DefaultPrinterPage();
  const output::PdfExportResult r = output::ExportPDF(session, out, opts, report);
  if (!r.ok) {
    std::fprintf(stderr, "quillane-cli %s: %s\n", kName, r.error.c_str());
    return 1;
  }
  std::string colours = "RGB";
  if (opts.cmyk)
    colours = r.uselcms ? "CMYK (Little CMS, profile " + r.profile + ")" : "CMYK (arithmetic: " + r.colorNote + ")";
  std::printf("%s: %d pages of %d x %d pt, %d x %d pixels at %d dpi, %s\n", out.c_str(), r.anzpages,
              r.geometry.pageWidth, r.geometry.pageHeight, r.geometry.bitmapWidth, r.geometry.bitmapHeight,
              static_cast<int>(std::trunc(dpi)), colours.c_str());
  return 0;
}

const cli::CliRegistrar reg({kName,
                             "export-pdf FILE OUT.pdf [--layout 0-7] [--dpi N] [--rgb|--cmyk] [--profile ICC] "
                             "[--pdf-size WxH] [--margin MM] [--stretch] [--progress] "
                             "[--vector [--bleed MM] [--max-picture-ppi N]]",
                             "write the catalog as a PDF file of page images (default 300 dpi, CMYK), or with "
                             "--vector as a print-ready PDF of text, paths and pictures (bleed 3 mm, 300 ppi)",
                             RunExportPdf});

}  // namespace
