// The export commands of quillane-cli, made from the table of outputs
// (output/catalogoutput.h): every output's command takes the project file,
// the target and the shared options (--layout, --dpi when it draws page
// pictures, --printer, --progress) and runs the output through the one
// interface. An output with options of its own adds them in its cmd_*.cpp;
// one without gets the shared options alone.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/sharedoptions.h"
#include "output/catalogoutput.h"

class Document;

namespace cli {

// The arguments every export command has.
struct ExportArgs {
  std::string in, target;
  LayoutOption layout;
  int dpi = 0;
  int page = 0;
  std::string printer;  // --printer: the queue whose page the catalog is laid out on
  bool progress = false;
};

// Declares FILE and `targetName` (required positionals, `targetHelp`),
// --layout, --dpi with the entry's default (only when it draws page
// pictures) and --progress on `app`; --printer is left to the command.
void AddExportArgs(CLI::App& app, const output::OutputEntry& entry, ExportArgs& a,
                   const std::string& targetName, const std::string& targetHelp);

// Opens the project, lays it out on the page of `a.printer` (when
// `choosePage`), runs `out` into a.target with the shared options, lists
// the pictures that could not be drawn and prints the output's summary.
// `prepare` (optional) changes this run's copy of the project (settings a
// command overrides for one run; the file is not written); `after`
// (optional) sees every result first and returns an exit code, or -1 to go
// on as usual.
struct ExportHooks {
  bool choosePage = true;
  std::function<void(Document&)> prepare;
  std::function<int(Console&, const output::OutputResult&)> after;
};
int RunExport(Console& io, const std::string& command, const ExportArgs& a, output::CatalogOutput& out,
              const ExportHooks& hooks = {});

// The command of an output that has no options of its own.
CommandRun GenericExport(CLI::App& app, const output::OutputEntry& entry);

}  // namespace cli
