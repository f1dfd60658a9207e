// quillane-cli as a library: parses a command line and runs the command it
// names. The executable's main() and the tests call the same entry.
#pragma once

#include <string>
#include <vector>

#include "cli/command.h"

namespace cli {

// Every command, in the order --help lists them.
const std::vector<CommandEntry>& CommandList();

// Runs `args` (without the program name): "COMMAND [OPTIONS] [FILES]", or
// "--help". No command prints the overview on io.err and returns kUsage;
// --help prints it (or a command's usage) on io.out and returns kOk. Never
// throws: parse errors become kUsage with a message, a failed allocation
// kFileError.
int RunCommandLine(const std::vector<std::string>& args, Console& io);

// The folder of the running executable, with a trailing '/'.
std::string ProgramFolder();

}  // namespace cli
