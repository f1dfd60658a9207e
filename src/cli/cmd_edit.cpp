// quillane-cli edit: bulk edits of a project file for scripts (a seasonal
// price change, sorting variants, search and replace, collecting pictures).
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "core/codepage.h"
#include "editing/bulk.h"
#include "editing/collect.h"
#include "imaging/pixoran.h"

namespace cli {

namespace {

// "+10%", "-2,50", "+2.5": a sign, a number (the locale's or a point as
// decimal separator) and an optional "%".
bool ParsePriceArg(const std::string& arg, const editing::NumberLocale& loc, editing::PriceChange& out) {
  if (arg.size() < 2 || (arg[0] != '+' && arg[0] != '-')) return false;
  const bool increase = arg[0] == '+';
  std::string num = arg.substr(1);
  const bool percent = !num.empty() && num.back() == '%';
  if (percent) num.pop_back();
  if (num.empty() || num[0] == '+' || num[0] == '-') return false;
  const std::u16string text = ql::FromUtf8(num);
  double v = 0;
  if (!editing::ParseLocaleNumber(text, loc, v) &&
      !editing::ParseLocaleNumber(text, editing::NumberLocale{}, v))
    return false;
  if (v > editing::kPriceChangeLimit) return false;
  using Mode = editing::PriceChange::Mode;
  out.mode = percent ? (increase ? Mode::IncreasePercent : Mode::DecreasePercent)
                     : (increase ? Mode::IncreaseAmount : Mode::DecreaseAmount);
  (percent ? out.percent : out.amount) = v;
  return true;
}

}  // namespace

CommandRun Edit(CLI::App& app) {
  struct Args {
    std::string in, out;
    std::optional<std::string> prices, pictures;
    int sortColumn = 0;
    std::pair<std::string, std::string> replace;
    LocaleOption locale;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->in, "project file")->required();
  app.add_option("OUT", a->out, "project file to write (.pk2)")->required();
  // CLI11 takes the word after --prices as its value even when it starts
  // with '-', so "--prices -5%" is a decrease, not an unknown option.
  app.add_option("--prices", a->prices, "change every price: +P%, -P%, +A or -A (at most 10000)")
      ->type_name("CHANGE");
  app.add_option("--sort-variants", a->sortColumn, "sort every variant table by column COL, 1 ... 10000")
      ->type_name("COL")
      ->check(CLI::Range(1, 10000));
  app.add_option("--replace", a->replace, "replace FROM by TO in every variant table")
      ->type_name("FROM TO")
      ->check(CLI::Validator(
                  [](const std::string& v) {
                    return v.empty() ? std::string("FROM must not be empty") : std::string();
                  },
                  "", "nonempty")
                  .application_index(0));
  app.add_option("--collect-pictures", a->pictures, "copy every picture into DIR and refer to the copies")
      ->type_name("DIR")
      ->check(CLI::Validator(
          [](const std::string& v) { return v.empty() ? std::string("needs a folder") : std::string(); }, "",
          ""));
  AddLocaleOption(app, a->locale);
  return [a](Console& io) {
    if (int rc = CheckProjectOutputName(io, "edit", a->out)) return rc;
    const editing::NumberLocale loc = a->locale.Get();
    editing::PriceChange change;
    if (a->prices && !ParsePriceArg(*a->prices, loc, change))
      return UsageError(io, "edit", "--prices must look like +P%, -P%, +A or -A (at most 10000)");
    Document doc;
    if (!OpenProject(io, doc, a->in)) return int(kFileError);
    ConsoleFeedback fb(io);
    int failedCopies = 0, refusedCopies = 0;
    if (a->prices) io.out << "prices: " << editing::ChangeAllPrices(doc, change, loc) << " cells changed\n";
    if (a->sortColumn > 0)
      io.out << "sort: " << editing::SortAllVariants(doc, a->sortColumn, loc) << " products\n";
    if (!a->replace.first.empty())
      io.out << "replace: "
             << editing::ReplaceInAllTables(doc, ql::FromUtf8(a->replace.first),
                                            ql::FromUtf8(a->replace.second))
             << " cells changed\n";
    if (a->pictures) {
      const editing::CollectResult r =
          editing::CollectPictures(doc, ql::FromUtf8(*a->pictures), fb, IsReadablePicture);
      if (!r.folderOk) return int(kFileError);
      io.out << "pictures: " << r.copied << " copied, " << r.failed << " failed, " << r.refused.size()
             << " refused\n";
      failedCopies = r.failed;
      refusedCopies = static_cast<int>(r.refused.size());
    }
    io.out.flush();
    if (!SaveProject(io, doc, a->out)) return int(kFileError);
    if (failedCopies > 0 || refusedCopies > 0)
      return FileError(io, "edit",
                       std::to_string(failedCopies + refusedCopies) +
                           " picture file(s) were not copied; their references were kept");
    return int(kOk);
  };
}

}  // namespace cli
