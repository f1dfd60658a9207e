// The command-line tool's dispatcher. Each command lives in its own
// cmd_*.cpp and registers itself with a static CliRegistrar.
// Exit codes: 0 success, 1 a file could not be read, written or is damaged
// (message on stderr), 2 usage error.
#pragma once

#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;    // one line: "dump [--keep-empty-variants] FILE"
  const char* summary;  // what it does
  int (*run)(const Args& args);  // args after the command name
};

struct CliRegistrar {
  explicit CliRegistrar(const Command& c);
};

// Prints "usage: quillane-cli <usage of name>" to stderr and returns 2.
int UsageError(const char* name, const std::string& why = {});
// The folder of the executable, with a trailing separator.
std::string ProgramFolder();

}  // namespace cli
