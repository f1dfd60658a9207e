// quillane-cli export-csv: writes the products of a project file as a CSV
// file, all categories with the category column or one category without it.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "core/codepage.h"
#include "csv/csvexport.h"

namespace cli {

CommandRun ExportCsv(CLI::App& app) {
  struct Args {
    std::string in, out;
    bool all = false;
    int category = 0;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->in, "project file")->required();
  app.add_option("OUT", a->out, "CSV file to write")->required();
  CLI::Option* all =
      app.add_flag("--all", a->all, "all categories, with a leading category column (default)");
  AddCategoryOption(app, "--category", a->category, "only this category, without the category column")
      ->excludes(all);
  return [a](Console& io) {
    Document doc;
    if (!OpenProject(io, doc, a->in)) return int(kFileError);
    const bool whole = a->category == 0;
    if (!whole && static_cast<uint32_t>(a->category) > doc.kats.Count())
      return UsageError(io, "export-csv",
                        "the project has " + std::to_string(doc.kats.Count()) + " categories");
    std::u16string error;
    if (!csv::ExportCSVFile(doc, a->out, whole, a->category - 1, error))
      return FileError(io, "export-csv", ql::ToUtf8(error));
    return int(kOk);
  };
}

}  // namespace cli
