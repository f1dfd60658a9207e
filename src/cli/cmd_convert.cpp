// quillane-cli convert: reads a project file of either format and writes it
// in the current format.
#include <cstdio>

#include "command.h"
#include "core/codepage.h"
#include "project/fileio.h"
#include "project/projectfile.h"

namespace {

int RunConvert(const cli::Args& args) {
  if (args.size() != 2) return cli::UsageError("convert", "IN and OUT expected");
  const std::string& in = args[0];
  const std::string& out = args[1];
  // The older format is never written; a ".pkd" name would be read back with
  // the wrong reader.
  if (project::HasOlderProjectExtension(out))
    return cli::UsageError("convert", "OUT must not end in .pkd: the current format is written");

  Document doc;
  std::u16string error;
  if (!OpenProjectFile(doc, in, ReadOptions::FromDocument(doc), &error) || !SaveProjectFile(doc, out, &error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  return 0;
}

const cli::CliRegistrar reg({"convert", "convert IN OUT.pk2",
                             "read a project file (.pk2 or the older .pkd) and save it in the current format",
                             RunConvert});

}  // namespace
