// The options several quillane-cli commands share, declared once so that
// they read, check and explain the same everywhere: a new command takes
// them from here rather than writing its own.
#pragma once

#include <cstdint>
#include <string>

#include "editing/numbers.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace cli {

// --layout N: the layout as the window names it, 1 ... the number of
// layouts (render/layouts/layouts.h). Not given: the project's own
// (LayoutCombo).
struct LayoutOption {
  int number = 0;  // 0: not given
  // The layout index the renderers and outputs take (0 = layout 1); -1
  // when not given. It is a parameter of the run, never written into the
  // document.
  int32_t Index() const { return number - 1; }
};
void AddLayoutOption(CLI::App& app, LayoutOption& layout);

// --dpi D: a whole number of pixels per inch, 10 ... 4000; `dpi` holds the
// command's default.
void AddDpiOption(CLI::App& app, int& dpi);

// --printer NAME: lay the catalog out on that print queue's page. Not given
// (empty): the A4 fallback page, the same on every machine whatever its
// printers. Returns the option so that a command can exclude it.
CLI::Option* AddPrinterOption(CLI::App& app, std::string& printer);

// --rgb | --cmyk, --profile ICC.
struct ColourOptions {
  bool rgb = false, cmyk = false;
  std::string profile;  // empty: the press profile beside the program
  bool Cmyk(bool byDefault) const { return cmyk || (!rgb && byDefault); }
};
void AddColourOptions(CLI::App& app, ColourOptions& colour);

// --page N: one page, 1 ... 100000; `page` holds the default.
void AddPageOption(CLI::App& app, int& page);

// --pages A-B, A-, or N: pages counted from 1; B >= A. Not given: all.
struct PageRange {
  int first = 1;
  int last = 0;  // 0: to the end
  bool Contains(int page) const { return page >= first && (last == 0 || page <= last); }
};
// "3-7", "3-", "4" into `out`; false for anything else.
bool ParsePageRange(const std::string& text, PageRange& out);
void AddPageRangeOption(CLI::App& app, PageRange& range);

// --locale NAME: the number format prices and decimal numbers are read
// with; not given, the environment's (LC_ALL, LC_NUMERIC, LANG).
struct LocaleOption {
  std::string name;
  editing::NumberLocale Get() const;  // the named one, else the environment's
};
void AddLocaleOption(CLI::App& app, LocaleOption& locale);

// A category as the user counts them (1 = first), under the option name
// `name` ("--category", "--products-into"); `number` stays 0 when the
// option is not given. Returns the option so that a command can declare
// which options exclude each other.
CLI::Option* AddCategoryOption(CLI::App& app, const std::string& name, int& number, const std::string& what);

// --lang N: an interface language by its column ("0 German, 1 English, ..."
// from i18n::InterfaceLanguages()); `language` stays -1 when not given.
// `what` says what the language is for.
void AddLanguageOption(CLI::App& app, int& language, const std::string& what);

}  // namespace cli
