// quillane-cli export-html: writes the catalog as an HTML page-turning
// catalog into a folder and opens it in the browser (unless --no-open).
#include <cstdio>
#include <string>

#include "command.h"
#include "support.h"
#include "i18n/messages.h"
#include "i18n/translate.h"
#include "output/htmlcatalog.h"
#include "platform/printer.h"
#include "platform/shell.h"
#include "project/document.h"
#include "project/options.h"

namespace {

constexpr const char* kName = "export-html";

int RunExportHtml(const cli::Args& args) {
  std::string in, dir;
  long layout = -1, language = -1;
  double dpi = 50, quality = 95;
  bool open = true, progress = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    auto value = [&]() {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    if (a == "--layout") {
      if (!value() || !cli::ParseInt(v, layout) || layout < 0 || layout > 7)
        return cli::UsageError(kName, "--layout needs a layout index 0 ... 7 (layout 1 is 0)");
    } else if (a == "--dpi") {
      if (!value() || !cli::ParseNumber(v, dpi) || dpi < 10 || dpi > 1440)
        return cli::UsageError(kName, "--dpi needs a resolution of 10 ... 1440");
    } else if (a == "--quality") {
      if (!value() || !cli::ParseNumber(v, quality) || quality < 0 || quality > 100)
        return cli::UsageError(kName, "--quality needs a JPEG quality of 0 ... 100");
    } else if (a == "--lang") {
      if (!value() || !cli::ParseInt(v, language) || language < 0 || language > 3)
        return cli::UsageError(kName, "--lang needs 0 (German), 1 (English), 2 (French) or 3 (Dutch)");
    } else if (a == "--no-open") {
      open = false;
    } else if (a == "--progress") {
      progress = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else if (in.empty()) {
      in = a;
    } else if (dir.empty()) {
      dir = a;
    } else {
      return cli::UsageError(kName, "only FILE and DIR");
    }
  }
  if (in.empty() || dir.empty()) return cli::UsageError(kName, "FILE and DIR are needed");

  Document doc;
  if (!cli::OpenProject(doc, in)) return 1;
  auto setup = cli::MakeRenderSetup(doc, kName);
  if (!setup) return 1;

  // The button texts in the language of --lang or else of options.dat, as
  // the window shows them; the translation file is not changed by this run.
  const std::string progpath = cli::ProgramFolder();
  i18n::TranslationTable table;
  if (table.Load(progpath) == i18n::LoadStatus::Loaded) {
    table.SetFile({});
    i18n::SetCurrentTable(&table);
    i18n::SetLanguage(language >= 0 ? static_cast<int>(language) : options::LoadOptions(progpath).language);
  }

  output::HtmlCatalogOptions opts;
  opts.progpath = progpath;
  opts.dpi = dpi;
  opts.compress = 100 - quality;
  opts.layout = static_cast<int32_t>(layout);
  opts.printer = platform::DefaultPrinterPage();
  output::HtmlCatalogProgressFn report;
  if (progress)
    report = [](const output::HtmlCatalogProgress& p) {
      std::fprintf(stderr, "page %d\n", p.page);
      return true;
    };
  const output::HtmlCatalogResult r = output::ExportHtmlCatalog(setup->session, dir, opts, report);
  i18n::SetCurrentTable(nullptr);
  if (!r.ok) {
    std::fprintf(stderr, "quillane-cli %s: %s\n", kName, r.error.c_str());
    return 1;
  }
  std::printf("%s: %d pages (made even) as %d x %d pixel pictures, %d of %zu navigation pictures\n",
              r.catalogFile.c_str(), r.anzpages, r.width, r.height, r.picturesCopied,
              output::kHtmlNavPictures.size());
  if (open && !platform::OpenWithDefaultApplication(r.catalogFile))
    std::fprintf(stderr, "quillane-cli %s: could not open %s in a browser\n", kName, r.catalogFile.c_str());
  return 0;
}

const cli::CliRegistrar reg({kName, "export-html FILE DIR [--layout 0-7] [--dpi N] [--quality Q] [--lang 0-3] [--no-open] [--progress]",
                             "write the catalog as an HTML page-turning catalog into DIR (default 50 dpi, JPEG "
                             "quality 95) and open DIR/catalog.htm",
                             RunExportHtml});

}  // namespace
