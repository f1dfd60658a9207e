// quillane-cli print: prints a project's catalog, or one page of it, on a
// print queue of the system (the default one unless --printer names one),
// or through Qt's own PDF output with --to-pdf. The project file is not
// changed.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/exportcommand.h"
#include "cli/sharedoptions.h"
#include "cli/support.h"

namespace cli {

CommandRun Print(CLI::App& app) {
  struct Args {
    ExportArgs common;
    std::string queue, pdf;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->common.in, "project file")->required();
  CLI::Option* printer = app.add_option("--printer", a->queue, "print queue (default: the system's default)");
  CLI::Option* pdf = app.add_option("--to-pdf", a->pdf, "print through Qt's PDF printer into this file");
  printer->excludes(pdf);
  AddLayoutOption(app, a->common.layout);
  app.add_option("--page", a->common.page, "print only this page, from 1")->check(CLI::Range(1, 1000000));
  return [a](Console& io) {
    const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("print")->make();
    output::FormatOf<output::PrintOutputOptions>(*out)->toPdf = !a->pdf.empty();
    ExportArgs args = a->common;
    args.target = a->pdf.empty() ? a->queue : a->pdf;
    ExportHooks hooks;
    hooks.choosePage = false;  // the printer's own page
    return RunExport(io, "print", args, *out, hooks);
  };
}

}  // namespace cli
