// Decimal numbers in the user's locale, as the price commands read and
// write them: a decimal separator, no thousands separators on output.
#pragma once

#include <string>
#include <string_view>

namespace editing {

struct NumberLocale {
  char16_t decimal = u'.';
  char16_t thousands = u',';
};

// The number format of a locale name such as "de_DE", "en_US.UTF-8",
// "fr_FR@euro", "de" or "C". False for a name it does not know. This table
// is the program's one rule from a locale name to its separators; the
// window asks the platform's own locale instead (ui::UserNumberLocale).
bool NumberLocaleFromName(std::string_view name, NumberLocale& out);

// The number format of the process environment: the first of LC_ALL,
// LC_NUMERIC and LANG that is set, through NumberLocaleFromName; the "C"
// format when none is set or the name is unknown.
NumberLocale EnvironmentNumberLocale();

// Whether the environment names a language for numbers: the first of
// LC_ALL, LC_NUMERIC and LANG that is set is neither "C" nor "POSIX" (with
// any codeset or modifier). False when none is set.
bool EnvironmentNamesLanguage();

// The number format of an interface language (its column): the separators
// of its row in i18n::InterfaceLanguages(), English's for any other index.
NumberLocale InterfaceNumberLocale(int language);

// Reads a decimal number written with the locale's decimal separator:
// optional blanks, an optional sign, digits with at most one separator, an
// optional exponent ("1,5E3"). Thousands separators are not accepted. False
// for anything else, and for values beyond the range of a double.
bool ParseLocaleNumber(std::u16string_view text, const NumberLocale& loc, double& out);

// A price as written in a table cell: a number as ParseLocaleNumber reads
// it, with an optional currency sign (€, $, £, ¥, any sign of the Unicode
// currency block) or three-letter code ("EUR", "CHF") before or after it,
// separated by any blanks or none: "4,95 €", "€ 4,95", "EUR 4,95",
// "4,95EUR". The integer part may be grouped in threes with the locale's
// thousands separator ("1.290,00 €"). `before` and `after` receive
// everything around the number (the sign, its side and its spacing).
struct PriceText {
  double value = 0;
  std::u16string before, after;
  bool grouped = false;  // the integer part was written in groups
};
bool ParsePrice(std::u16string_view text, const NumberLocale& loc, PriceText& out);

// `value` written as the price `as` was: its texts around, two decimals,
// grouped in threes when it was.
std::u16string FormatPriceLike(double value, const PriceText& as, const NumberLocale& loc);

// Fixed-point with exactly two decimals (halves rounded away from zero on
// the shortest decimal form, so 2.675 gives 2.68), the locale's decimal
// separator and no thousands separators.
std::u16string FormatFixed2(double value, const NumberLocale& loc);

}  // namespace editing
