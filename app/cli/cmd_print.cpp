// quillane-cli print: prints a project's catalog, or one page of it, on a
// print queue of the system (the default one unless --printer names one),
// or through Qt's own PDF output with --to-pdf. The project file is not
// changed.
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>
#include <string>

#include "command.h"
#include "i18n/messages.h"
#include "output/printing.h"
#include "support.h"

namespace {

constexpr const char* kName = "print";

int RunPrint(const cli::Args& args) {
  std::string in, printerName, pdf;
  long layout = -1, page = 0;
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
    } else if (a == "--page") {
      if (!value(v) || !cli::ParseInt(v, page) || page < 1 || page > 1000000)
        return cli::UsageError(kName, "--page needs a page number 1 ... 1000000");
    } else if (a == "--printer") {
      if (!value(printerName) || printerName.empty())
        return cli::UsageError(kName, "--printer needs a queue name");
    } else if (a == "--to-pdf") {
      if (!value(pdf) || pdf.empty()) return cli::UsageError(kName, "--to-pdf needs a file name");
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else if (in.empty()) {
      in = a;
    } else {
      return cli::UsageError(kName, "only one FILE");
    }
  }
  if (in.empty()) return cli::UsageError(kName, "FILE is needed");
  if (!printerName.empty() && !pdf.empty())
    return cli::UsageError(kName, "--printer and --to-pdf exclude each other");

  Document doc;
  if (!cli::OpenProject(doc, in)) return 1;
  auto setup = cli::MakeRenderSetup(doc, kName);
  if (!setup) return 1;

  std::unique_ptr<QPrinter> printer;
  if (!pdf.empty()) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf));
  } else {
    QPrinterInfo info = printerName.empty() ? QPrinterInfo::defaultPrinter()
                                            : QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    if (info.isNull() && printerName.empty() && !QPrinterInfo::availablePrinters().isEmpty())
      info = QPrinterInfo::availablePrinters().first();
    if (info.isNull()) {
      std::fprintf(stderr, "quillane-cli %s: %s\n", kName,
                   printerName.empty() ? "there is no printer on this system (use --to-pdf FILE)"
                                       : ("there is no printer named " + printerName).c_str());
      return 1;
    }
    printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }

  const std::u16string title = i18n::Msg(21);
  const int32_t k = static_cast<int32_t>(layout);
  const output::PrintResult r =
      page > 0 ? output::PrintCatalogPage(setup->session, *printer, static_cast<int32_t>(page), title, k)
               : output::PrintCatalog(setup->session, *printer, title, k);
  if (!r.ok) {
    std::fprintf(stderr, "quillane-cli %s: %s\n", kName, r.error.c_str());
    return 1;
  }
  const std::string where =
      pdf.empty() ? "printer " + printer->printerName().toStdString() : "PDF file " + pdf;
  std::printf("%d of %d pages printed on %s at %d dpi\n", r.pages, r.anzpages, where.c_str(),
              printer->resolution());
  return 0;
}

const cli::CliRegistrar reg({kName,
                             "print FILE [--printer NAME | --to-pdf OUT.pdf] [--page N] [--layout 0-7]",
                             "print the catalog (or one page) on a print queue or through Qt's PDF printer",
                             RunPrint});

}  // namespace
