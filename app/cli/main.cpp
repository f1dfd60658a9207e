#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

#include "command.h"
#include "core/temppaths.h"
#include "render/layouts/layouts.h"

namespace cli {
namespace {
std::map<std::string, Command>& Registry() {
  static std::map<std::string, Command> r;
  return r;
}
std::string g_argv0;

void PrintHelp(FILE* out) {
  std::fprintf(out, "Quillane command-line tool\n\nusage: quillane-cli COMMAND [ARGS]\n\ncommands:\n");
  for (const auto& [name, c] : Registry()) std::fprintf(out, "  %-60s %s\n", c.usage, c.summary);
  std::fprintf(out, "\nExit codes: 0 success, 1 unreadable, unwritable or damaged file, 2 usage error.\n");
}
}  // namespace

CliRegistrar::CliRegistrar(const Command& c) { Registry()[c.name] = c; }

int UsageError(const char* name, const std::string& why) {
  auto it = Registry().find(name);
  if (!why.empty()) std::fprintf(stderr, "quillane-cli %s: %s\n", name, why.c_str());
  if (it != Registry().end()) std::fprintf(stderr, "usage: quillane-cli %s\n", it->second.usage);
  return 2;
}

std::string ProgramFolder() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  std::string path = n > 0 ? std::string(buf, static_cast<size_t>(n)) : g_argv0;
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace cli

int main(int argc, char** argv) {
  cli::g_argv0 = argc > 0 ? argv[0] : "";
  render::InstallAllLayouts();  // every command that renders sees all eight layouts
  ql::InstallInterruptCleanup();  // SIGINT/SIGTERM/SIGHUP remove temporary files, exit 128 + signal
  if (argc < 2) {
    cli::PrintHelp(stderr);
    return 2;
  }
  std::string cmd = argv[1];
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    cli::PrintHelp(stdout);
    return 0;
  }
  auto it = cli::Registry().find(cmd);
  if (it == cli::Registry().end()) {
    std::fprintf(stderr, "quillane-cli: unknown command '%s'\n\n", cmd.c_str());
    cli::PrintHelp(stderr);
    return 2;
  }
  cli::Args args(argv + 2, argv + argc);
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") {
      std::printf("usage: quillane-cli %s\n%s\n", it->second.usage, it->second.summary);
      return 0;
    }
  return it->second.run(args);
}
