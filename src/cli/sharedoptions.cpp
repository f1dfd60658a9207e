#include "cli/sharedoptions.h"

#include <CLI/CLI.hpp>
#include <charconv>

#include "i18n/languages.h"
#include "render/layouts/layouts.h"

namespace cli {

void AddLayoutOption(CLI::App& app, LayoutOption& layout) {
  app.add_option("--layout", layout.number,
                 "layout 1 ... " + std::to_string(render::kLayoutCount) +
                     ", as the window numbers them (default: the project's)")
      ->type_name("N")
      ->check(CLI::Range(1, render::kLayoutCount));
}

void AddDpiOption(CLI::App& app, int& dpi) {
  app.add_option("--dpi", dpi, "resolution in pixels per inch, 10 ... 4000")
      ->type_name("D")
      ->check(CLI::Range(10, 4000))
      ->capture_default_str();
}

CLI::Option* AddPrinterOption(CLI::App& app, std::string& printer) {
  return app
      .add_option("--printer", printer,
                  "lay the catalog out on this print queue's page (default: A4 on every machine)")
      ->type_name("NAME");
}

void AddColourOptions(CLI::App& app, ColourOptions& colour) {
  CLI::Option* rgb = app.add_flag("--rgb", colour.rgb, "RGB colours");
  CLI::Option* cmyk = app.add_flag("--cmyk", colour.cmyk, "CMYK colours (default)");
  rgb->excludes(cmyk);
  app.add_option("--profile", colour.profile, "ICC profile for the CMYK conversion")->type_name("ICC");
}

void AddPageOption(CLI::App& app, int& page) {
  app.add_option("--page", page, "page number, 1 ... 100000")
      ->type_name("N")
      ->check(CLI::Range(1, 100000))
      ->capture_default_str();
}

bool ParsePageRange(const std::string& text, PageRange& out) {
  auto number = [](const std::string& s, int& v) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    v = std::stoi(s);
    return v >= 1;
  };
  const size_t dash = text.find('-');
  PageRange r;
  if (dash == std::string::npos) {
    if (!number(text, r.first)) return false;
    r.last = r.first;
  } else {
    if (!number(text.substr(0, dash), r.first)) return false;
    const std::string tail = text.substr(dash + 1);
    if (!tail.empty() && (!number(tail, r.last) || r.last < r.first)) return false;
  }
  out = r;
  return true;
}

void AddPageRangeOption(CLI::App& app, PageRange& range) {
  app.add_option_function<std::string>(
         "--pages",
         [&range](const std::string& v) {
           if (!ParsePageRange(v, range))
             throw CLI::ValidationError("--pages", "needs A-B, A- or N (from 1)");
         },
         "pages A to B, A to the end, or page N (default: all)")
      ->type_name("A-B");
}

editing::NumberLocale LocaleOption::Get() const {
  editing::NumberLocale loc = editing::EnvironmentNumberLocale();
  if (!name.empty()) editing::NumberLocaleFromName(name, loc);
  return loc;
}

void AddLocaleOption(CLI::App& app, LocaleOption& locale) {
  app.add_option("--locale", locale.name,
                 "number format of a locale such as de_DE (default: the environment's)")
      ->type_name("NAME")
      ->check(
          [](const std::string& v) {
            editing::NumberLocale ignored;
            return editing::NumberLocaleFromName(v, ignored) ? std::string() : "unknown locale " + v;
          },
          "LOCALE");
}

CLI::Option* AddCategoryOption(CLI::App& app, const std::string& name, int& number, const std::string& what) {
  return app.add_option(name, number, what + " (1 = first)")->type_name("N")->check(CLI::Range(1, 999999999));
}

void AddLanguageOption(CLI::App& app, int& language, const std::string& what) {
  app.add_option("--lang", language, what + ": " + i18n::InterfaceLanguageList() + " (default: options.dat)")
      ->type_name("N")
      ->check(
          [](const std::string& v) {
            int column = -1;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), column);
            const bool number = ec == std::errc() && end == v.data() + v.size();
            return number && i18n::FindInterfaceLanguage(column) ? std::string()
                                                                 : "no interface language " + v;
          },
          "LANGUAGE");
}

}  // namespace cli
