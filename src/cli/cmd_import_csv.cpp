// quillane-cli import-csv: reads a CSV file into a project file and saves the
// result under a new name.
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "core/codepage.h"
#include "core/settings.h"
#include "csv/csvimport.h"
#include "project/feedback.h"
#include "project/projectfile.h"

namespace {

// Messages of the import go to stderr; the imports ask no questions.
class StderrFeedback : public Feedback {
 public:
  int messages = 0;
  void ShowMessage(const std::u16string& text, const std::u16string&, MessageIcon) override {
    ++messages;
    std::fprintf(stderr, "%s\n", ql::ToUtf8(text).c_str());
  }
  Answer Ask(const std::u16string&, const std::u16string&, Buttons) override { return Answer::No; }
};

bool ParseCategoryNumber(const std::string& s, int32_t& out) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) return false;
  out = static_cast<int32_t>(std::strtol(s.c_str(), nullptr, 10));
  return out >= 1;
}

enum class Mode { ProductsInto, WithCategories, Categories };

int RunImportCsv(const cli::Args& args) {
  const char* me = "import-csv";
  std::vector<std::string> files;
  Mode mode = Mode::WithCategories;
  int modes = 0;
  int32_t number = 0;
  bool titles = false;
  std::string locale;
  bool haveLocale = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--products-into") {
      ++modes;
      mode = Mode::ProductsInto;
      if (++i == args.size() || !ParseCategoryNumber(args[i], number))
        return cli::UsageError(me, "--products-into needs a category number (1 = first)");
    } else if (a == "--with-categories") {
      ++modes;
      mode = Mode::WithCategories;
    } else if (a == "--categories") {
      ++modes;
      mode = Mode::Categories;
    } else if (a == "--template-titles") {
      titles = true;
    } else if (a == "--locale") {
      if (++i == args.size()) return cli::UsageError(me, "--locale needs a locale name such as de_DE");
      locale = args[i];
      haveLocale = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(me, "unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 3) return cli::UsageError(me, "FILE.pk2, IN.csv and OUT.pk2 expected");
  if (modes > 1) return cli::UsageError(me, "choose one of --products-into, --with-categories, --categories");

  csv::ImportContext ctx;
  ctx.pictureWidth = ViewState{}.BildBreitEd;
  if (!csv::DecimalSeparatorOfLocale(haveLocale ? locale : std::string(), ctx.decimalSeparator)) {
    if (haveLocale) return cli::UsageError(me, "unknown locale " + locale);
    ctx.decimalSeparator = u'.';
  }

  Document doc;
  std::u16string error;
  if (!OpenProjectFile(doc, files[0], ReadOptions::FromDocument(doc), &error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  doc.options.BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1 = titles;
  if (mode == Mode::ProductsInto && static_cast<uint32_t>(number) > doc.kats.Count()) {
    std::fprintf(stderr, "quillane-cli %s: the project has %u categories\n", me, doc.kats.Count());
    return 2;
  }

  StderrFeedback fb;
  csv::ImportResult r;
  switch (mode) {
    case Mode::ProductsInto: r = csv::ImportCSVFile(doc, number - 1, files[1], ctx, fb); break;
    case Mode::WithCategories: r = csv::ImportCSVFileComplete(doc, -1, files[1], ctx, fb); break;
    case Mode::Categories: r = csv::ImportCSVFileCategories(doc, -1, files[1], ctx, fb); break;
  }
  // A CSV file that could not be read completely leaves OUT unwritten.
  if (!r.opened || !r.complete) return 1;
  if (!SaveProjectFile(doc, files[2], &error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  std::printf("%u records: %u products, %u new and %u updated categories\n", r.records, r.products,
               r.categoriesCreated, r.categoriesUpdated);
  return 0;
}

const cli::CliRegistrar reg(
    {"import-csv",
     "import-csv FILE.pk2 IN.csv OUT.pk2 [--products-into N | --with-categories | --categories] "
     "[--template-titles] [--locale de_DE]",
     "import products (into category N, 1 = first, or with a leading category column, the default) or "
     "categories from CSV and save the project as OUT.pk2",
     RunImportCsv});

}  // namespace
