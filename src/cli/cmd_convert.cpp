// quillane-cli convert: reads a project file of either format and writes it
// in the current format.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/support.h"

namespace cli {

CommandRun Convert(CLI::App& app) {
  struct Args {
    std::string in, out;
  };
  auto a = std::make_shared<Args>();
  app.add_option("IN", a->in, "project file (.pk2 or .pkd)")->required();
  app.add_option("OUT", a->out, "project file to write (.pk2)")->required();
  return [a](Console& io) {
    if (int rc = CheckProjectOutputName(io, "convert", a->out)) return rc;
    Document doc;
    if (!OpenProject(io, doc, a->in) || !SaveProject(io, doc, a->out)) return int(kFileError);
    return int(kOk);
  };
}

}  // namespace cli
