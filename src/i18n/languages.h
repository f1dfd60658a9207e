// The interface languages: one row per language the program speaks. The
// language menu, Qt's catalogs, the translation editor's headings, the
// command line's --lang, options.dat, the number format of a window
// without a language in the environment and the HTML catalog's lang all
// read this table; data/translations.tsv names the same languages in its
// header (tests/i18n checks that the two agree).
#pragma once

#include <string>
#include <vector>

namespace i18n {

struct InterfaceLanguage {
  // Its column of translate.dat (1 ... 19 for a translation, 0 for German,
  // the key); the value of the program's `language` and of options.dat.
  int column;
  const char* code;         // ISO 639-1 code: the HTML catalog's lang, the TSV header
  const char* nativeName;   // UTF-8, the "Sprache" menu entry (its TSV row keeps it in every language)
  const char* englishName;  // its name in the command line's help
  const char* heading;      // UTF-8, the heading of its column in the translation editor
  const char* qtCatalog;    // Qt's catalog of its texts, without ".qm" ("qt_de")
  char16_t decimal;         // the decimal separator of numbers written in it
  char16_t thousands;       // and the separator of digit groups
};

// Every interface language in the order of the language menu, German first.
const std::vector<InterfaceLanguage>& InterfaceLanguages();

// The language of translate.dat column `column`; null when no language uses it.
const InterfaceLanguage* FindInterfaceLanguage(int column);

// The language of `column`, or English for a column no language uses.
const InterfaceLanguage& InterfaceLanguageOrEnglish(int column);

// "0 German, 1 English, ..." (the English names, for the command line's help).
std::string InterfaceLanguageList();

}  // namespace i18n
