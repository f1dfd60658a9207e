// quillane-cli: every command lives in the cli library (src/cli); this only
// hands it the arguments and the console.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/temppaths.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(true);
  ql::InstallInterruptCleanup();    // SIGINT/SIGTERM/SIGHUP remove temporary files, exit 128 + signal
  ql::StartTemporaryPathJournal();  // removes what killed runs left behind
  cli::Console io{std::cout, std::cerr, cli::ProgramFolder()};
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int code = cli::RunCommandLine(args, io);
  std::cout.flush();
  return code;
}
