// quillane-cli import-csv: reads a CSV file into a project file and saves the
// result under a new name.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "core/settings.h"
#include "csv/csvimport.h"

namespace cli {

CommandRun ImportCsv(CLI::App& app) {
  struct Args {
    std::string project, csvfile, out;
    int into = 0;  // --products-into N
    bool withCategories = false, categories = false, titles = false;
    LocaleOption locale;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->project, "project file to import into")->required();
  app.add_option("IN", a->csvfile, "CSV file")->required();
  app.add_option("OUT", a->out, "project file to write (.pk2)")->required();
  CLI::Option* into =
      AddCategoryOption(app, "--products-into", a->into, "products without a category column into N");
  CLI::Option* with = app.add_flag("--with-categories", a->withCategories,
                                   "products with a leading category column (default)");
  CLI::Option* cats = app.add_flag("--categories", a->categories, "categories with their option columns");
  into->excludes(with)->excludes(cats);
  with->excludes(cats);
  app.add_flag("--template-titles", a->titles, "take the variant column titles from the template");
  AddLocaleOption(app, a->locale);
  return [a](Console& io) {
    if (int rc = CheckProjectOutputName(io, "import-csv", a->out)) return rc;
    csv::ImportContext ctx;
    ctx.pictureWidth = ViewState{}.BildBreitEd;
    ctx.decimalSeparator = a->locale.Get().decimal;
    Document doc;
    if (!OpenProject(io, doc, a->project)) return int(kFileError);
    doc.options.BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1 = a->titles;
    if (a->into > 0 && static_cast<uint32_t>(a->into) > doc.kats.Count())
      return UsageError(io, "import-csv",
                        "the project has " + std::to_string(doc.kats.Count()) + " categories");
    ConsoleFeedback fb(io);
    csv::ImportResult r;
    if (a->into > 0)
      r = csv::ImportCSVFile(doc, a->into - 1, a->csvfile, ctx, fb);
    else if (a->categories)
      r = csv::ImportCSVFileCategories(doc, -1, a->csvfile, ctx, fb);
    else
      r = csv::ImportCSVFileComplete(doc, -1, a->csvfile, ctx, fb);
    // A CSV file that could not be read completely leaves OUT unwritten.
    if (!r.opened || !r.complete) return int(kFileError);
    if (!SaveProject(io, doc, a->out)) return int(kFileError);
    io.out << r.records << " records: " << r.products << " products, " << r.categoriesCreated << " new and "
           << r.categoriesUpdated << " updated categories\n";
    return int(kOk);
  };
}

}  // namespace cli
