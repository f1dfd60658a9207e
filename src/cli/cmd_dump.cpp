// quillane-cli dump: prints a project file as one JSON object.
#include <cstdio>

#include "command.h"
#include "core/codepage.h"
#include "project/dumpjson.h"
#include "project/projectfile.h"

namespace {

int RunDump(const cli::Args& args) {
  bool keepEmpty = false;
  std::string file;
  for (const std::string& a : args) {
    if (a == "--keep-empty-variants") {
      keepEmpty = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      return cli::UsageError("dump", "unknown option " + a);
    } else if (file.empty()) {
      file = a;
    } else {
      return cli::UsageError("dump", "only one FILE");
    }
  }
  if (file.empty()) return cli::UsageError("dump", "FILE missing");

  Document doc;
  ReadOptions options = ReadOptions::FromDocument(doc);
  options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = !keepEmpty;
  std::u16string error;
  if (!OpenProjectFile(doc, file, options, &error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  const std::string json = project::DumpJson(doc, file);
  std::fwrite(json.data(), 1, json.size(), stdout);
  if (std::fflush(stdout) != 0) {
    std::perror("quillane-cli dump");
    return 1;
  }
  return 0;
}

const cli::CliRegistrar reg({"dump", "dump [--keep-empty-variants] FILE",
                             "print a project file (.pk2, or .pkd in the older format) as JSON", RunDump});

}  // namespace
