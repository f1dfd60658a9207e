#include "cli/exportcommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/support.h"

namespace cli {

void AddExportArgs(CLI::App& app, const output::OutputEntry& entry, ExportArgs& a,
                   const std::string& targetName, const std::string& targetHelp) {
  app.add_option("FILE", a.in, "project file")->required();
  app.add_option(targetName, a.target, targetHelp)->required();
  AddLayoutOption(app, a.layout);
  if (entry.defaultDpi > 0) {
    a.dpi = static_cast<int>(entry.defaultDpi);
    AddDpiOption(app, a.dpi);
  }
  app.add_flag("--progress", a.progress, "write each finished page number on stderr");
}

int RunExport(Console& io, const std::string& command, const ExportArgs& a, output::CatalogOutput& out,
              const ExportHooks& hooks) {
  Document doc;
  if (!OpenProject(io, doc, a.in)) return kFileError;
  if (hooks.prepare) hooks.prepare(doc);
  auto setup = MakeRenderSetup(io, doc, command);
  if (!setup) return kFileError;
  output::OutputOptions common;
  common.layout = a.layout.Index();
  common.dpi = a.dpi;
  common.page = a.page;
  common.progpath = io.progpath;
  if (hooks.choosePage && !ChoosePrinterPage(io, command, a.printer, common.printer)) return kFileError;
  output::OutputProgressFn report;
  if (a.progress)
    report = [&io](const output::OutputProgress& p) {
      io.err << "page " << p.page << '\n';
      return true;
    };
  const output::OutputResult r = out.Write(setup->session, a.target, common, report);
  if (hooks.after) {
    const int code = hooks.after(io, r);
    if (code >= 0) return code;
  }
  if (!r.ok) return FileError(io, command, r.error);
  ReportPictureProblems(io, r.pictures, command);
  io.out << r.summary << '\n';
  return kOk;
}

CommandRun GenericExport(CLI::App& app, const output::OutputEntry& entry) {
  auto a = std::make_shared<ExportArgs>();
  const bool folder = entry.target == output::OutputTarget::Folder;
  AddExportArgs(app, entry, *a, folder ? "DIR" : "OUT", folder ? "folder to write into" : "file to write");
  AddPrinterOption(app, a->printer);
  AddPageOption(app, a->page);
  return [a, &entry](Console& io) {
    const std::unique_ptr<output::CatalogOutput> out = entry.make();
    return RunExport(io, entry.command, *a, *out);
  };
}

}  // namespace cli
