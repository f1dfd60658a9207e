// quillane-cli export-html: writes the catalog as an HTML page-turning
// catalog into a folder and opens it in the browser (unless --no-open).
#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/options.h"
#include "cli/support.h"
#include "i18n/messages.h"
#include "i18n/translate.h"
#include "output/htmlcatalog.h"
#include "output/vectorexport.h"
#include "platform/printer.h"
#include "platform/shell.h"
#include "project/options.h"

namespace cli {

CommandRun ExportHtml(CLI::App& app) {
  struct Args {
    std::string in, dir;
    LayoutOption layout;
    int dpi = 50;
    int quality = 95;
    int language = -1;
    bool noOpen = false, progress = false, withPdf = false, noText = false;
    std::string printer;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->in, "project file")->required();
  app.add_option("DIR", a->dir, "folder of the catalog (made when missing)")->required();
  AddLayoutOption(app, a->layout);
  AddDpiOption(app, a->dpi);
  AddPrinterOption(app, a->printer);
  app.add_option("--quality", a->quality, "JPEG quality 0 ... 100 (default 95)")->check(CLI::Range(0, 100));
  AddLanguageOption(app, a->language, "button texts");
  app.add_flag("--no-open", a->noOpen, "do not open catalog.htm afterwards");
  app.add_flag("--with-pdf", a->withPdf,
               "also write the print-ready PDF (RGB, no bleed) as catalog.pdf and link it from the catalog");
  app.add_flag("--no-text", a->noText, "no text layer, search index or page list without scripts");
  app.add_flag("--progress", a->progress, "write each finished page number on stderr");
  return [a](Console& io) {
    Document doc;
    if (!OpenProject(io, doc, a->in)) return int(kFileError);
    auto setup = MakeRenderSetup(io, doc, "export-html");
    if (!setup) return int(kFileError);
    output::HtmlCatalogOptions opts;
    if (!ChoosePrinterPage(io, "export-html", a->printer, opts.printer)) return int(kFileError);

    // The button texts in the language of --lang or else of options.dat, as
    // the window shows them; the translation file is not changed by this run.
    i18n::TranslationTable table;
    const bool haveTable = table.Load(io.progpath) == i18n::LoadStatus::Loaded;
    i18n::TranslationTable* const previousTable = i18n::CurrentTable();
    const int previousLanguage = i18n::Language();
    if (haveTable) {
      table.SetFile({});
      i18n::SetCurrentTable(&table);
      i18n::SetLanguage(a->language >= 0 ? a->language : options::LoadOptions(io.progpath).language);
    }
    std::string pdfNote;
    if (a->withPdf) {
      // Written first, so the catalog links only a PDF that exists.
      std::error_code ec;
      std::filesystem::create_directories(a->dir, ec);
      output::VectorPdfOptions vo = output::ScreenPdfPreset();
      vo.progpath = io.progpath;
      const std::string pdf = (std::filesystem::path(a->dir) / output::kHtmlPdfName).string();
      const output::VectorPdfResult v = output::ExportVectorPDF(setup->session, pdf, vo);
      if (!v.ok) {
        i18n::SetCurrentTable(previousTable);
        i18n::SetLanguage(previousLanguage);
        return FileError(io, "export-html", v.error);
      }
      pdfNote = ", " + std::string(output::kHtmlPdfName);
    }
    opts.progpath = io.progpath;
    opts.textLayer = !a->noText;
    if (a->withPdf) opts.pdfFile = output::kHtmlPdfName;
    opts.dpi = a->dpi;
    opts.compress = 100 - a->quality;
    opts.layout = a->layout.Index();
    output::HtmlCatalogProgressFn report;
    if (a->progress)
      report = [&io](const output::HtmlCatalogProgress& p) {
        io.err << "page " << p.page << '\n';
        return true;
      };
    const output::HtmlCatalogResult r = output::ExportHtmlCatalog(setup->session, a->dir, opts, report);
    i18n::SetCurrentTable(previousTable);
    i18n::SetLanguage(previousLanguage);
    if (!r.ok) return FileError(io, "export-html", r.error);
    io.out << r.catalogFile << ": " << r.anzpages << " pages (made even) as " << r.width << " x " << r.height
           << " pixel pictures, " << r.picturesCopied << " of " << output::kHtmlNavPictures.size()
           << " navigation pictures" << pdfNote << '\n';
    if (!a->noOpen && !platform::OpenWithDefaultApplication(r.catalogFile))
      io.err << "quillane-cli export-html: could not open " << r.catalogFile << " in a browser\n";
    return int(kOk);
  };
}

}  // namespace cli
