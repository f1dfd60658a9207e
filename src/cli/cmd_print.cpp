// quillane-cli print: prints a project's catalog, or one page of it, on a
// print queue of the system (the default one unless --printer names one),
// or through Qt's own PDF output with --to-pdf. The project file is not
// changed.
#include <CLI/CLI.hpp>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>
#include <ostream>

#include "cli/options.h"
#include "cli/support.h"
#include "i18n/messages.h"
#include "output/printing.h"

namespace cli {

CommandRun Print(CLI::App& app) {
  struct Args {
    std::string in, printer, pdf;
    LayoutOption layout;
    int page = 0;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->in, "project file")->required();
  CLI::Option* printer =
      app.add_option("--printer", a->printer, "print queue (default: the system's default)");
  CLI::Option* pdf = app.add_option("--to-pdf", a->pdf, "print through Qt's PDF printer into this file");
  printer->excludes(pdf);
  AddLayoutOption(app, a->layout);
  app.add_option("--page", a->page, "print only this page, from 1")->check(CLI::Range(1, 1000000));
  return [a](Console& io) {
    Document doc;
    if (!OpenProject(io, doc, a->in)) return int(kFileError);
    auto setup = MakeRenderSetup(io, doc, "print");
    if (!setup) return int(kFileError);

    std::unique_ptr<QPrinter> qprinter;
    if (!a->pdf.empty()) {
      qprinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
      qprinter->setOutputFormat(QPrinter::PdfFormat);
      qprinter->setOutputFileName(QString::fromStdString(a->pdf));
    } else {
      QPrinterInfo info = a->printer.empty() ? QPrinterInfo::defaultPrinter()
                                             : QPrinterInfo::printerInfo(QString::fromStdString(a->printer));
      if (info.isNull() && a->printer.empty() && !QPrinterInfo::availablePrinters().isEmpty())
        info = QPrinterInfo::availablePrinters().first();
      if (info.isNull())
        return FileError(io, "print",
                         a->printer.empty() ? "there is no printer on this system (use --to-pdf FILE)"
                                            : "there is no printer named " + a->printer);
      qprinter = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    const std::u16string title = i18n::Msg(21);
    const int32_t k = a->layout.Index();
    const output::PrintResult r = a->page > 0
                                      ? output::PrintCatalogPage(setup->session, *qprinter, a->page, title, k)
                                      : output::PrintCatalog(setup->session, *qprinter, title, k);
    if (!r.ok) return FileError(io, "print", r.error);
    const std::string where =
        a->pdf.empty() ? "printer " + qprinter->printerName().toStdString() : "PDF file " + a->pdf;
    io.out << r.pages << " of " << r.anzpages << " pages printed on " << where << " at "
           << qprinter->resolution() << " dpi\n";
    return int(kOk);
  };
}

}  // namespace cli
