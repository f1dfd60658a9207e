// quillane-cli dump: prints a project file as one JSON object.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/support.h"
#include "project/dumpjson.h"

namespace cli {

CommandRun Dump(CLI::App& app) {
  struct Args {
    std::string file;
    bool keepEmpty = false;
  };
  auto a = std::make_shared<Args>();
  app.add_flag("--keep-empty-variants", a->keepEmpty, "keep trailing empty variant rows and columns");
  app.add_option("FILE", a->file, "project file")->required();
  return [a](Console& io) {
    Document doc;
    ReadOptions options = ReadOptions::FromDocument(doc);
    options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = !a->keepEmpty;
    if (!OpenProject(io, doc, a->file, options)) return int(kFileError);
    io.out << project::DumpJson(doc, a->file);
    io.out.flush();
    if (!io.out) return FileError(io, "dump", "the output could not be written");
    return int(kOk);
  };
}

}  // namespace cli
