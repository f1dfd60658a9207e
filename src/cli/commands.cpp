// The list of quillane-cli's commands and the one place that parses a
// command line. A new command: write its cmd_*.cpp with one CommandSetup
// function, declare it below, add one line to the table. The export
// commands come from the table of outputs (output/catalogoutput.h); those
// with options of their own are listed in kOwnOptions.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <new>
#include <ostream>

#include "cli/cli.h"
#include "cli/exportcommand.h"
#include "i18n/messages.h"
#include "i18n/translate.h"
#include "project/optionsfile.h"

namespace cli {

CommandRun Dump(CLI::App& app);
CommandRun Convert(CLI::App& app);
CommandRun Messages(CLI::App& app);
CommandRun Render(CLI::App& app);
CommandRun Pages(CLI::App& app);
CommandRun Text(CLI::App& app);
CommandRun ExportPdf(CLI::App& app);
CommandRun ExportCsv(CLI::App& app);
CommandRun ImportCsv(CLI::App& app);
CommandRun Edit(CLI::App& app);
CommandRun ExportImages(CLI::App& app);
CommandRun ExportHtml(CLI::App& app);
CommandRun PriceList(CLI::App& app);
CommandRun Print(CLI::App& app);

namespace {

std::vector<CommandEntry> MakeCommandList() {
  std::vector<CommandEntry> commands = {
      {"dump", "print a project file (.pk2, or .pkd in the older format) as JSON", Dump},
      {"convert", "read a project file (.pk2 or the older .pkd) and save it in the current format", Convert},
      {"messages", "print every message number and text in one language", Messages},
      {"render", "draw one page as the preview shows it (or, with --print, as printed) into an image",
       Render},
      {"pages", "print the number of pages of the catalog in a layout", Pages},
      {"text",
       "list the text runs every page (or --page N) draws, in page pixels, as the preview lays them out",
       Text},
      {"export-csv", "write the products as CSV, all categories (default) or one", ExportCsv},
      {"import-csv", "import products or categories from CSV and save the project under a new name",
       ImportCsv},
      {"edit", "change all prices, sort variants, replace in tables, collect pictures (in that order)", Edit},
  };
  // The export commands whose outputs have options of their own; any
  // other output gets the shared options alone (GenericExport).
  static const std::pair<const char*, CommandSetup> kOwnOptions[] = {
      {"export-pdf", ExportPdf},
      {"export-images", ExportImages},
      {"export-html", ExportHtml},
      {"price-list", PriceList},
      {"print", Print},
  };
  for (const output::OutputEntry& o : output::OutputTable()) {
    const std::string name = o.command;
    if (std::any_of(commands.begin(), commands.end(), [&](const CommandEntry& c) { return name == c.name; }))
      continue;  // several outputs share this command
    CommandSetup setup = [&o](CLI::App& app) { return GenericExport(app, o); };
    for (const auto& [command, own] : kOwnOptions)
      if (name == command) setup = own;
    commands.push_back({o.command, o.summary, setup});
  }
  return commands;
}

}  // namespace

const std::vector<CommandEntry>& CommandList() {
  static const std::vector<CommandEntry> kCommands = MakeCommandList();
  return kCommands;
}

namespace {

const char* const kExitCodes =
    "Exit codes: 0 success, 1 unreadable, unwritable or damaged file, 2 usage error.\n"
    "Run 'quillane-cli COMMAND --help' for the options of a command.";

}  // namespace

namespace {

// The texts the libraries make (why a project file is damaged, why a
// printer cannot be used, the price list's title, ...) come in the
// program's language (options.dat, English without it), as the window shows
// them, from the translate.dat beside the program; this run never writes
// that file.
class MessageLanguage {
 public:
  explicit MessageLanguage(const std::string& progpath)
      : previousTable_(i18n::CurrentTable()), previousLanguage_(i18n::Language()) {
    if (table_.Load(progpath) == i18n::LoadStatus::Missing) return;
    table_.SetFile({});
    i18n::SetCurrentTable(&table_);
    i18n::SetLanguage(options::LoadOptions(progpath).language);
  }
  ~MessageLanguage() {
    i18n::SetCurrentTable(previousTable_);
    i18n::SetLanguage(previousLanguage_);
  }
  MessageLanguage(const MessageLanguage&) = delete;
  MessageLanguage& operator=(const MessageLanguage&) = delete;

 private:
  i18n::TranslationTable table_;
  i18n::TranslationTable* previousTable_;
  int previousLanguage_;
};

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, Console& io) {
  try {
    CLI::App app("Quillane command-line tool", "quillane-cli");
    app.footer(kExitCodes);
    app.require_subcommand(1);
    std::vector<std::pair<CLI::App*, CommandRun>> runs;
    for (const CommandEntry& c : CommandList()) {
      CLI::App* sub = app.add_subcommand(c.name, c.summary);
      sub->footer(kExitCodes);
      runs.emplace_back(sub, c.setup(*sub));
    }
    if (args.empty()) {
      io.err << app.help();
      return kUsage;
    }
    const std::string& first = args[0];
    const bool known = std::any_of(CommandList().begin(), CommandList().end(),
                                   [&](const CommandEntry& c) { return first == c.name; });
    if (!known && first != "--help" && first != "-h") {
      io.err << "quillane-cli: unknown command '" << first << "'\n\n" << app.help();
      return kUsage;
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
      app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
      io.out << app.help();
      return kOk;
    } catch (const CLI::ParseError& e) {
      return UsageError(io, known ? first : std::string("quillane-cli"), e.what());
    }
    for (auto& [sub, run] : runs)
      if (sub->parsed()) {
        MessageLanguage language(io.progpath);
        return run(io);
      }
    return kUsage;
  } catch (const std::bad_alloc&) {
    io.err << "quillane-cli: out of memory\n";
    return kFileError;
  }
}

std::string ProgramFolder() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  const std::string path = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace cli
