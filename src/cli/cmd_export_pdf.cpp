// quillane-cli export-pdf: writes a project's catalog as a PDF file, one
// page image per page, or with --vector the print-ready PDF. Options
// override the project's settings for this run only; the project file is
// not changed.
#include <CLI/CLI.hpp>
#include <cctype>
#include <cmath>
#include <memory>
#include <ostream>

#include "cli/exportcommand.h"
#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "core/codepage.h"
#include "core/safefile.h"
#include "i18n/texts.h"
#include "output/catalogoutput.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"

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

// "60,40,40,100": four ink percentages, each 0 ... 100.
bool ParseInks(const std::string& v, double out[4]) {
  size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t comma = v.find(',', at);
    if ((i < 3) != (comma != std::string::npos)) return false;
    const std::string part = v.substr(at, i < 3 ? comma - at : std::string::npos);
    try {
      size_t used = 0;
      const double d = std::stod(part, &used);
      if (used != part.size() || !(d >= 0 && d <= 100)) return false;
      out[i] = d / 100;
    } catch (const std::exception&) {
      return false;
    }
    at = comma + 1;
  }
  return true;
}

}  // namespace

CommandRun ExportPdf(CLI::App& app) {
  struct Args {
    ExportArgs common;
    ColourOptions colour;
    double pw = 0, ph = 0, margin = -1;
    bool stretch = false;
    bool vector = false;
    double bleed = -1, maxppi = -1;
    bool richBlack = false;
    double rich[4] = {0, 0, 0, 1};
    bool grayAsK = true;
    std::string preflight;
    bool strict = false;
    std::string lang;
    bool marks = false;
  };
  auto a = std::make_shared<Args>();
  AddExportArgs(app, *output::FindOutput("pdf"), a->common, "OUT", "PDF file to write");
  AddColourOptions(app, a->colour);
  CLI::Option* printer = AddPrinterOption(app, a->common.printer);
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
  app.add_option_function<std::string>(
         "--rich-black",
         [a](const std::string& v) {
           if (!ParseInks(v, a->rich))
             throw CLI::ValidationError("--rich-black", "needs four ink percentages C,M,Y,K, each 0 ... 100");
           a->richBlack = true;
         },
         "with --vector: black areas over 1 cm² in these inks instead of black alone (CMYK), e.g. "
         "60,40,40,100")
      ->type_name("C,M,Y,K")
      ->needs(vector);
  app.add_flag(
         "--gray-as-k,!--no-gray-as-k", a->grayAsK,
         "with --vector: grey text and rules thinner than 1 pt in black ink alone (CMYK; on by default)")
      ->needs(vector);
  app.add_option("--preflight", a->preflight,
                 "with --vector: write what a print shop would query (low-resolution or missing pictures, "
                 "substituted fonts, missing characters, texts past the page, ink maximum) as JSON")
      ->type_name("REPORT")
      ->needs(vector);
  app.add_flag(
         "--strict", a->strict,
         "with --vector: a missing picture or a substituted font fails the export (exit 1, no PDF written)")
      ->needs(vector);
  app.add_option("--lang", a->lang, "with --vector: the catalog's language, e.g. en-GB (default de-DE)")
      ->type_name("TAG")
      ->check([](const std::string& v) {
        bool ok = !v.empty() && v.size() <= 35 && std::isalpha(static_cast<unsigned char>(v[0]));
        for (char c : v) ok = ok && (std::isalnum(static_cast<unsigned char>(c)) || c == '-');
        return ok ? std::string() : std::string("needs a language tag such as de-DE or en");
      })
      ->needs(vector);
  app.add_flag("--marks", a->marks,
               "with --vector: crop and bleed marks with the file name and page number in a slug of 10 mm "
               "around the bleed")
      ->needs(vector);
  return [a](Console& io) {
    if (a->vector && a->maxppi > 0 && a->maxppi < 36)
      return UsageError(io, "export-pdf", "--max-picture-ppi needs 36 ... 4000 (0: pictures as they are)");
    // The page size and margin hold for this run only; the layout is the
    // output's parameter.
    ExportHooks hooks;
    hooks.prepare = [a](Document& doc) {
      CatalogSettings& set = doc.settings;
      if (a->pw > 0) {
        set.SetPDFSizeCheck = true;
        set.PDFWidthEd = a->pw;
        set.PDFHeightED = a->ph;
        set.ZerrePDFCheck = a->stretch;
      }
      if (a->margin >= 0) set.PDFRandEd = a->margin;
    };
    if (!a->vector) {
      const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("pdf")->make();
      output::PdfExportOptions& o = *output::FormatOf<output::PdfExportOptions>(*out);
      o.cmyk = a->colour.Cmyk(true);
      o.profilePath = a->colour.profile;
      return RunExport(io, "export-pdf", a->common, *out, hooks);
    }
    const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("vector-pdf")->make();
    output::VectorPdfOptions& vo = *output::FormatOf<output::VectorPdfOptions>(*out);
    if (a->bleed >= 0) vo.bleedMm = a->bleed;
    if (a->maxppi >= 0) vo.maxPictureppi = a->maxppi;
    vo.cmyk = a->colour.Cmyk(true);
    vo.profilePath = a->colour.profile;
    if (!a->lang.empty()) vo.language = a->lang;
    vo.ink.grayAsK = a->grayAsK;
    vo.marks = a->marks;
    vo.ink.richBlack = a->richBlack;
    for (int i = 0; i < 4; ++i) vo.ink.rich[i] = a->rich[i];
    // The preflight is kept for the report and the refusal, which need it
    // whether or not the file was written.
    auto found = std::make_shared<pdfvec::Preflight>();
    const bool strict = a->strict;
    vo.approve = [strict, found](const pdfvec::Preflight& p) {
      *found = p;
      return !(strict && p.Blocking());
    };
    hooks.choosePage = false;
    hooks.after = [a, found](Console& io, const output::OutputResult& r) {
      if (!a->preflight.empty() && (r.ok || r.refused)) {
        std::string why;
        if (!ql::WriteFileSafely(a->preflight, found->ToJson(), why))
          return FileError(io, "export-pdf",
                           i18n::SayUtf8(i18n::Text::CannotWriteFile,
                                         {ql::FromUtf8(a->preflight), i18n::SystemErrorText(why)}));
      }
      if (!r.refused) return -1;
      ReportPictureProblems(io, r.pictures, "export-pdf");
      return FileError(
          io, "export-pdf",
          i18n::SayUtf8(i18n::Text::StrictRefused, {ql::FromUtf8(a->common.target),
                                                    i18n::Decimal(int64_t(found->missingPictures.size())),
                                                    i18n::Decimal(int64_t(found->substitutedFonts.size()))}));
    };
    return RunExport(io, "export-pdf", a->common, *out, hooks);
  };
}

}  // namespace cli
