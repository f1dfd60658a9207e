// quillane-cli edit: bulk edits of a project file for scripts (a seasonal
// price change, sorting variants, search and replace, collecting pictures).
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "command.h"
#include "core/codepage.h"
#include "editing/bulk.h"
#include "editing/collect.h"
#include "editing/numbers.h"
#include "project/feedback.h"
#include "project/fileio.h"
#include "project/projectfile.h"

namespace {

const char* const kName = "edit";

// Messages go to stderr; no question is asked on the way.
class CliFeedback : public Feedback {
 public:
  void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon) override {
    std::string t = ql::ToUtf8(text);
    if (!caption.empty()) t = ql::ToUtf8(caption) + ": " + t;
    std::fprintf(stderr, "%s\n", t.c_str());
  }
  Answer Ask(const std::u16string&, const std::u16string&, Buttons) override { return Answer::No; }
};

// The locale of the environment (LC_ALL, LC_NUMERIC, LANG), "C" when unknown.
editing::NumberLocale EnvironmentLocale() {
  editing::NumberLocale loc;
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      editing::NumberLocaleFromName(v, loc);
      break;
    }
  }
  return loc;
}

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
  if (!editing::ParseLocaleNumber(text, loc, v) && !editing::ParseLocaleNumber(text, editing::NumberLocale{}, v))
    return false;
  if (v > editing::kPriceChangeLimit) return false;
  using Mode = editing::PriceChange::Mode;
  out.mode = percent ? (increase ? Mode::IncreasePercent : Mode::DecreasePercent)
                     : (increase ? Mode::IncreaseAmount : Mode::DecreaseAmount);
  (percent ? out.percent : out.amount) = v;
  return true;
}

int RunEdit(const cli::Args& args) {
  std::vector<std::string> files;
  std::optional<std::string> prices, locale, pictures;
  std::optional<int> sortColumn;
  std::optional<std::pair<std::string, std::string>> replace;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::optional<std::string>& slot) {
      if (i + 1 >= args.size()) return false;
      slot = args[++i];
      return true;
    };
    if (a == "--prices") {
      if (!value(prices)) return cli::UsageError(kName, "--prices needs a value such as +5% or -2.50");
    } else if (a == "--locale") {
      if (!value(locale)) return cli::UsageError(kName, "--locale needs a name such as de_DE");
    } else if (a == "--collect-pictures") {
      if (!value(pictures) || pictures->empty()) return cli::UsageError(kName, "--collect-pictures needs a folder");
    } else if (a == "--sort-variants") {
      std::optional<std::string> col;
      if (!value(col)) return cli::UsageError(kName, "--sort-variants needs a column number");
      char* end = nullptr;
      long n = std::strtol(col->c_str(), &end, 10);
      if (col->empty() || *end != '\0' || n < 1 || n > 10000)
        return cli::UsageError(kName, "--sort-variants COL must be a whole number from 1 to 10000");
      sortColumn = static_cast<int>(n);
    } else if (a == "--replace") {
      if (i + 2 >= args.size()) return cli::UsageError(kName, "--replace needs FROM and TO");
      replace = std::make_pair(args[i + 1], args[i + 2]);
      i += 2;
      if (replace->first.empty()) return cli::UsageError(kName, "--replace FROM must not be empty");
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return cli::UsageError(kName, "FILE and OUT.pk2 expected");
  if (project::HasOlderProjectExtension(files[1]))
    return cli::UsageError(kName, "OUT must not end in .pkd: the current format is written");

  editing::NumberLocale loc = EnvironmentLocale();
  if (locale && !editing::NumberLocaleFromName(*locale, loc))
    return cli::UsageError(kName, "unknown locale " + *locale);
  editing::PriceChange change;
  if (prices && !ParsePriceArg(*prices, loc, change))
    return cli::UsageError(kName, "--prices must look like +P%, -P%, +A or -A (at most 10000)");

  Document doc;
  std::u16string error;
  if (!OpenProjectFile(doc, files[0], ReadOptions::FromDocument(doc), &error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  CliFeedback fb;
  int failedCopies = 0;
  if (prices) std::printf("prices: %d cells changed\n", editing::ChangeAllPrices(doc, change, loc));
  if (sortColumn) std::printf("sort: %d products\n", editing::SortAllVariants(doc, *sortColumn, loc));
  if (replace)
    std::printf("replace: %d cells changed\n",
                editing::ReplaceInAllTables(doc, ql::FromUtf8(replace->first), ql::FromUtf8(replace->second)));
  if (pictures) {
    editing::CollectResult r = editing::CollectPictures(doc, ql::FromUtf8(*pictures), fb);
    if (!r.folderOk) return 1;
    std::printf("pictures: %d copied, %d failed\n", r.copied, r.failed);
    failedCopies = r.failed;
  }
  std::fflush(stdout);
  if (!SaveProjectFile(doc, files[1], &error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  if (failedCopies > 0) {
    std::fprintf(stderr, "quillane-cli edit: %d picture file(s) could not be copied; their references were kept\n",
                 failedCopies);
    return 1;
  }
  return 0;
}

const cli::CliRegistrar reg({"edit",
                             "edit FILE OUT.pk2 [--prices +P%|-P%|+A|-A] [--sort-variants COL] [--replace FROM TO] "
                             "[--collect-pictures DIR] [--locale de_DE]",
                             "change all prices, sort variants, replace in tables, collect pictures (in that order)",
                             RunEdit});

}  // namespace
