// The translations shipped in data/translations.tsv and the translate.dat the
// build generates from it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "i18n/texts.h"
#include "i18n/translate.h"

namespace {

struct Row {
  int line = 0;
  std::vector<std::u16string> texts;  // in the header's columns, German first
};

std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char n = s[++i];
    out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
  }
  return out;
}

// The rows of the file; the header's language codes into `header`.
std::vector<Row> ReadTsv(std::vector<std::string>* header = nullptr) {
  std::ifstream in(std::string(QL_SOURCE_DIR) + "/data/translations.tsv");
  EXPECT_TRUE(in.good());
  std::vector<Row> rows;
  std::string line;
  bool headerRead = false;
  for (int n = 1; std::getline(in, line); ++n) {
    if (line.empty() || line[0] == '#') continue;
    Row r;
    r.line = n;
    size_t start = 0;
    for (;;) {
      const size_t tab = line.find('\t', start);
      r.texts.push_back(ql::FromUtf8(Unescape(line.substr(start, tab - start))));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (!headerRead) {
      headerRead = true;
      if (header)
        for (const std::u16string& code : r.texts) header->push_back(ql::ToUtf8(code));
      continue;
    }
    rows.push_back(r);
  }
  return rows;
}

std::u16string Trimmed(const std::u16string& s) {
  size_t a = 0, z = s.size();
  while (a < z && s[a] == u' ') ++a;
  while (z > a && s[z - 1] == u' ') --z;
  return s.substr(a, z - a);
}

// Placeholders, keywords and file patterns that must come through unchanged.
std::multiset<std::string> Fixed(const std::u16string& text) {
  const std::string s = ql::ToUtf8(text);
  std::multiset<std::string> found;
  static const std::regex kFixed(
      R"(%[A-Z]+%|%[1-9]|\btrue\b|\bfalse\b|\|.*$|\(\*\.[^)]*\)|[A-Za-z]:\\[^;]*|\bwww\.[a-z.]+)");
  for (std::sregex_iterator it(s.begin(), s.end(), kFixed), end; it != end; ++it) found.insert(it->str());
  return found;
}

// The header names the columns of the language table, each at its column.
TEST(ShippedTranslations, HeaderNamesEveryInterfaceLanguageAtItsColumn) {
  std::vector<std::string> header;
  ReadTsv(&header);
  ASSERT_EQ(header.size(), i18n::InterfaceLanguages().size());
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    ASSERT_GE(l.column, 0);
    ASSERT_LT(l.column, static_cast<int>(header.size())) << l.code;
    EXPECT_EQ(header[static_cast<size_t>(l.column)], l.code);
  }
  EXPECT_EQ(i18n::InterfaceLanguages().front().column, 0) << "German, the key, comes first in the menu";
}

TEST(ShippedTranslations, EveryRowHasEveryTranslationAndKeepsPlaceholders) {
  std::vector<std::string> header;
  const std::vector<Row> rows = ReadTsv(&header);
  ASSERT_GT(rows.size(), 300u);
  std::set<std::u16string> keys;
  for (const Row& r : rows) {
    ASSERT_EQ(r.texts.size(), header.size()) << "line " << r.line;
    EXPECT_TRUE(keys.insert(r.texts[0]).second) << "line " << r.line << ": German text twice";
    EXPECT_EQ(Trimmed(r.texts[0]), r.texts[0]) << "line " << r.line;
    const auto fixed = Fixed(r.texts[0]);
    for (size_t c = 1; c < header.size(); ++c) {
      EXPECT_FALSE(Trimmed(r.texts[c]).empty()) << "line " << r.line << " column " << c;
      EXPECT_EQ(Fixed(r.texts[c]), fixed) << "line " << r.line << " column " << c;
    }
  }
  for (int n : i18n::MessageNumbers())
    EXPECT_TRUE(keys.count(Trimmed(i18n::MessageTable(n)))) << "message " << n << " has no row";
  for (const char16_t* t : {u"Quillane", u"Morvetta Quillane 1.0", u"Produkt Kataloge (*.pk2)|*.pk2",
                            u"Produkt Kataloge (*.pk2;*.pkd)|*.pk2;*.pkd", u"Deutsch", u"Übersetzen...",
                            u"8 - Bilder und Text auf jeder Seite wechselnd links/rechts"})
    EXPECT_TRUE(keys.count(t)) << ql::ToUtf8(t);
}

TEST(ShippedTranslations, GeneratedTableTranslatesEveryRowAndMessage) {
  i18n::TranslationTable table;
  ASSERT_EQ(table.Load(std::string(QL_BIN_DIR) + "/"), i18n::LoadStatus::Loaded)
      << "translate.dat missing in " << QL_BIN_DIR;
  table.SetFile({});  // look up without touching the shipped file
  const std::vector<Row> rows = ReadTsv();
  ASSERT_EQ(table.Count(), rows.size());
  for (const Row& r : rows)
    for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages())
      ASSERT_EQ(table.TranslateText(r.texts[0], l.column), r.texts[static_cast<size_t>(l.column)])
          << "line " << r.line << " language " << l.code;
  EXPECT_EQ(table.Count(), rows.size());

  i18n::SetCurrentTable(&table);
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    if (l.column == 0) continue;
    const int lang = l.column;
    i18n::SetLanguage(lang);
    int translated = 0;
    for (int n : i18n::MessageNumbers()) {
      const std::u16string m = i18n::Msg(n);
      EXPECT_FALSE(m.empty());
      translated += m != i18n::MessageTable(n);
    }
    // All but the file name "test.pk2" (and "Import" and "Name" in English) differ from German.
    EXPECT_GE(translated, static_cast<int>(i18n::MessageNumbers().size()) - 3) << "language " << lang;
  }
  i18n::SetLanguage(2);
  EXPECT_EQ(i18n::Msg(24), u"sans titre");
  EXPECT_EQ(i18n::Msg(32), u"test.pk2");
  i18n::SetLanguage(4);  // Spanish
  EXPECT_EQ(i18n::Msg(24), u"sin título");
  EXPECT_EQ(i18n::Msg(12), u"El archivo aún no se ha guardado. ¿Desea guardarlo ahora?");
  EXPECT_EQ(i18n::Tr(u"Datei"), u"Archivo");
  EXPECT_EQ(i18n::Say(i18n::Text::PageMissing, {u"9", u"4"}),
            u"La página 9 no existe: el catálogo tiene 4 páginas.");
  i18n::SetCurrentTable(nullptr);
  i18n::SetLanguage(0);
  EXPECT_EQ(table.Count(), rows.size());  // every message was already there
}

// The texts the libraries show besides the numbered messages: every one has
// its row, and a message made of them reads in the chosen language.
TEST(ShippedTranslations, CatalogTextsAndSystemErrorsComeInEveryLanguage) {
  std::set<std::u16string> keys;
  for (const Row& r : ReadTsv()) keys.insert(r.texts[0]);
  for (i18n::Text t : i18n::AllTexts())
    EXPECT_TRUE(keys.count(i18n::German(t))) << ql::ToUtf8(i18n::German(t)) << " has no row";

  i18n::TranslationTable table;
  ASSERT_EQ(table.Load(std::string(QL_BIN_DIR) + "/"), i18n::LoadStatus::Loaded);
  table.SetFile({});
  const uint32_t rows = table.Count();
  i18n::SetCurrentTable(&table);
  i18n::SetLanguage(1);
  EXPECT_EQ(i18n::SystemErrorText(ENOENT), u"File not found");
  EXPECT_EQ(i18n::SystemErrorText(std::string(std::strerror(EACCES))), u"Permission denied");
  EXPECT_EQ(i18n::SystemErrorText(ENOSPC), u"Disk full");
  EXPECT_EQ(i18n::SystemErrorText(EDOM), u"System error " + ql::FromUtf8(std::to_string(EDOM)));
  EXPECT_EQ(i18n::SystemErrorText(std::string("something else")), u"something else");
  // Placeholders take the values after the lookup, in the translation's order.
  EXPECT_EQ(i18n::Say(i18n::Text::FileEndsEarly, {i18n::Say(i18n::Text::WhereGroup, {u"43"}), u"10", u"%2"}),
            u"The file ends early in group 43 (byte 10 of %2).");
  i18n::SetLanguage(2);
  EXPECT_EQ(i18n::SystemErrorText(ENOENT), u"Fichier introuvable");
  i18n::SetLanguage(0);
  EXPECT_EQ(i18n::SystemErrorText(ENOENT), u"Datei nicht gefunden");
  EXPECT_EQ(i18n::Say(i18n::Text::PageMissing, {u"9"}),
            u"Die Seite 9 gibt es nicht: der Katalog hat %2 Seiten.");
  i18n::SetCurrentTable(nullptr);
  EXPECT_EQ(table.Count(), rows) << "every text was in the table";
}

}  // namespace
