// Program options kept next to the executable: options.dat holds exactly one
// little-endian i32, the user-interface language (its column of the
// translation table, one of i18n::InterfaceLanguages()).
#pragma once

#include <string>

namespace options {

constexpr int kGerman = 0;   // the key column: texts as written
constexpr int kEnglish = 1;  // the language without options.dat

// progpath with a trailing '/' added when it lacks one ("" stays "").
std::string WithTrailingSeparator(const std::string& folder);

struct LoadedOptions {
  int language = kEnglish;
  // False when the file was missing, shorter than four bytes or held a
  // value that is no interface language; the language is English then.
  bool fromFile = false;
};

// Reads progpath + "options.dat". Missing, short or unreadable files and
// values that are no interface language give English; nothing is reported.
LoadedOptions LoadOptions(const std::string& progpath);

// Creates or replaces progpath + "options.dat" with `language` (through a
// temporary file and a rename). Returns false, and reports nothing, when
// the folder is not writable.
bool SaveOptions(const std::string& progpath, int language);

}  // namespace options
