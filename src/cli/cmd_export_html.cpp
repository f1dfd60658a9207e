// quillane-cli export-html: writes the catalog as an HTML page-turning
// catalog into a folder and opens it in the browser (unless --no-open).
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/exportcommand.h"
#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "i18n/messages.h"
#include "i18n/translate.h"
#include "output/htmlcatalog.h"
#include "platform/shell.h"
#include "project/optionsfile.h"

namespace cli {

CommandRun ExportHtml(CLI::App& app) {
  struct Args {
    ExportArgs common;
    int quality = 95;
    int language = -1;
    bool noOpen = false, withPdf = false, noText = false;
  };
  auto a = std::make_shared<Args>();
  AddExportArgs(app, *output::FindOutput("html"), a->common, "DIR",
                "folder of the catalog (made when missing)");
  AddPrinterOption(app, a->common.printer);
  app.add_option("--quality", a->quality, "JPEG quality 0 ... 100 (default 95)")->check(CLI::Range(0, 100));
  AddLanguageOption(app, a->language, "button texts");
  app.add_flag("--no-open", a->noOpen, "do not open catalog.htm afterwards");
  app.add_flag("--with-pdf", a->withPdf,
               "also write the print-ready PDF (RGB, no bleed) as catalog.pdf and link it from the catalog");
  app.add_flag("--no-text", a->noText, "no text layer, search index or page list without scripts");
  return [a](Console& io) {
    const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("html")->make();
    output::HtmlCatalogOptions& o = *output::FormatOf<output::HtmlCatalogOptions>(*out);
    o.textLayer = !a->noText;
    if (a->withPdf) o.pdfFile = output::kHtmlPdfName;
    o.compress = 100 - a->quality;

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
    std::string catalog;
    ExportHooks hooks;
    hooks.after = [&catalog](Console&, const output::OutputResult& r) {
      if (r.ok) catalog = r.files.front();
      return -1;
    };
    const int code = RunExport(io, "export-html", a->common, *out, hooks);
    i18n::SetCurrentTable(previousTable);
    i18n::SetLanguage(previousLanguage);
    if (code == kOk && !a->noOpen && !platform::OpenWithDefaultApplication(catalog))
      io.err << "quillane-cli export-html: could not open " << catalog << " in a browser\n";
    return code;
  };
}

}  // namespace cli
