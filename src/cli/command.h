// What a quillane-cli command is. A command is one function that declares
// its options on the CLI11 sub-command it is given and returns the function
// that runs it once the arguments are parsed; commands.cpp lists every
// command by name in one table (no self-registration: static registrar
// objects inside a static library are dropped by the linker).
//
// Exit codes, the same for every command: kOk, kFileError (a file could not
// be read or written, or is damaged; message on `err`), kUsage (bad
// arguments; message and usage line on `err`).
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace cli {

enum ExitCode : int { kOk = 0, kFileError = 1, kUsage = 2 };

// Where a command writes and where it finds the program's data files.
struct Console {
  std::ostream& out;     // results (JSON, counts, summaries)
  std::ostream& err;     // errors and progress
  std::string progpath;  // folder of translate.dat, options.dat and the colour profile, with a trailing '/'
};

using CommandRun = std::function<int(Console&)>;
// Declares the command's options and positionals on `app` (which already
// carries the command's name and summary) and returns what runs it. The
// returned function reads the values CLI11 stores, so it captures them by
// shared pointer, never by reference to a local.
using CommandSetup = std::function<CommandRun(CLI::App& app)>;

struct CommandEntry {
  const char* name;
  const char* summary;
  CommandSetup setup;
};

// Writes "quillane-cli NAME: WHY" and the hint to --help on io.err; returns
// kUsage. For checks CLI11 cannot express (two values that belong together).
int UsageError(Console& io, const std::string& name, const std::string& why);
// Writes "quillane-cli NAME: WHAT" on io.err and returns kFileError.
int FileError(Console& io, const std::string& name, const std::string& what);

}  // namespace cli
