// For tests of messages in the user's language: the shipped translate.dat
// made current in one language, and a check that a message is a text of
// the shown-texts catalog (i18n/texts.h) in that language, its values put
// in. A message with English or German left in it is none.
#pragma once

#include <regex>
#include <string>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "i18n/texts.h"
#include "i18n/translate.h"

namespace testsupport {

// The translate.dat the build puts beside the programs, current in
// `language` (1 English, 2 French, 3 Dutch) while this lives; never saved.
class ShippedLanguage {
 public:
  explicit ShippedLanguage(int language) {
    loaded_ = table_.Load(std::string(QL_BIN_DIR) + "/") == i18n::LoadStatus::Loaded;
    table_.SetFile({});
    i18n::SetCurrentTable(&table_);
    i18n::SetLanguage(language);
  }
  ~ShippedLanguage() {
    i18n::SetLanguage(0);
    i18n::SetCurrentTable(nullptr);
  }
  ShippedLanguage(const ShippedLanguage&) = delete;
  ShippedLanguage& operator=(const ShippedLanguage&) = delete;
  bool loaded() const { return loaded_; }

 private:
  i18n::TranslationTable table_;
  bool loaded_ = false;
};

// Whether `message` (UTF-8) is `prefix` followed by one catalog text in the
// current language with anything in its placeholders. Texts made of
// placeholders alone ("%1: %2") do not count: the prefix stands for them.
inline bool IsCatalogText(const std::string& message, const std::string& prefix = std::string()) {
  if (message.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string rest = message.substr(prefix.size());
  static const std::regex kSpecial(R"([.^$|()\[\]{}*+?\\])");
  static const std::regex kPlaceholder(R"(%[1-9])");
  static const std::regex kWord("[A-Za-z]{2}");
  for (i18n::Text t : i18n::AllTexts()) {
    const std::string text = ql::ToUtf8(i18n::Tr(i18n::German(t)));
    if (!std::regex_search(std::regex_replace(text, kPlaceholder, ""), kWord)) continue;
    const std::string escaped = std::regex_replace(text, kSpecial, R"(\$&)");
    const std::regex pattern(std::regex_replace(escaped, kPlaceholder, "[\\s\\S]+"));
    if (std::regex_match(rest, pattern)) return true;
  }
  return false;
}

}  // namespace testsupport
