#include "i18n/languages.h"

namespace i18n {

const std::vector<InterfaceLanguage>& InterfaceLanguages() {
  // A new language is one row here and its column in data/translations.tsv.
  static const std::vector<InterfaceLanguage> kLanguages = {
      {0, "de", "Deutsch", "German", "German", "qt_de", u',', u'.'},
      {1, "en", "English", "English", "English", "qt_en", u'.', u','},
      {2, "fr", "Français", "French", "Français", "qt_fr", u',', u'\u00A0'},
      {3, "nl", "Nederlands", "Dutch", "Nederlands", "qt_nl", u',', u'.'},
      {4, "es", "Español", "Spanish", "Español", "qt_es", u',', u'.'},
  };
  return kLanguages;
}

const InterfaceLanguage* FindInterfaceLanguage(int column) {
  for (const InterfaceLanguage& l : InterfaceLanguages())
    if (l.column == column) return &l;
  return nullptr;
}

const InterfaceLanguage& InterfaceLanguageOrEnglish(int column) {
  const InterfaceLanguage* l = FindInterfaceLanguage(column);
  return l ? *l : *FindInterfaceLanguage(1);
}

std::string InterfaceLanguageList() {
  std::string s;
  for (const InterfaceLanguage& l : InterfaceLanguages())
    s += (s.empty() ? "" : ", ") + std::to_string(l.column) + ' ' + l.englishName;
  return s;
}

}  // namespace i18n
