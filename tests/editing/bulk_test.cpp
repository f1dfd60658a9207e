#include "editing/bulk.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/codepage.h"
#include "editing/numbers.h"
#include "fixture.h"
#include "i18n/languages.h"

using namespace editing;

namespace {
const NumberLocale kDe{u',', u'.'};
const NumberLocale kEn{u'.', u','};
}  // namespace

TEST(LocaleNumbers, ParseAndFormat) {
  double v = 0;
  EXPECT_TRUE(ParseLocaleNumber(u" 12,50 ", kDe, v));
  EXPECT_EQ(v, 12.5);
  EXPECT_TRUE(ParseLocaleNumber(u"-1,5E2", kDe, v));
  EXPECT_EQ(v, -150);
  for (const char16_t* bad : {u"Preis", u"", u"1.250,00", u"12,5,0", u"1e", u",", u"1e999", u"12 €"})
    EXPECT_FALSE(ParseLocaleNumber(bad, kDe, v)) << ql::ToUtf8(bad);
  EXPECT_FALSE(ParseLocaleNumber(u"12,50", kEn, v));

  EXPECT_EQ(FormatFixed2(13.75, kDe), u"13,75");
  EXPECT_EQ(FormatFixed2(90, kDe), u"90,00");
  EXPECT_EQ(FormatFixed2(1234567.891, kEn), u"1234567.89");
  EXPECT_EQ(FormatFixed2(2.675, kDe), u"2,68");
  EXPECT_EQ(FormatFixed2(9.995, kDe), u"10,00");
  EXPECT_EQ(FormatFixed2(-0.001, kDe), u"0,00");
  EXPECT_EQ(FormatFixed2(-3.5, kDe), u"-3,50");
}

TEST(LocaleNumbers, LocaleNames) {
  NumberLocale l;
  ASSERT_TRUE(NumberLocaleFromName("de_DE.UTF-8", l));
  EXPECT_EQ(l.decimal, u',');
  ASSERT_TRUE(NumberLocaleFromName("en_US", l));
  EXPECT_EQ(l.decimal, u'.');
  ASSERT_TRUE(NumberLocaleFromName("de_CH", l));
  EXPECT_EQ(l.decimal, u'.');
  ASSERT_TRUE(NumberLocaleFromName("fr_FR@euro", l));
  EXPECT_EQ(l.decimal, u',');
  ASSERT_TRUE(NumberLocaleFromName("ca_ES", l));
  EXPECT_EQ(l.decimal, u',');
  ASSERT_TRUE(NumberLocaleFromName("C", l));
  EXPECT_EQ(l.decimal, u'.');
  EXPECT_FALSE(NumberLocaleFromName("xx_YY", l));
  EXPECT_FALSE(NumberLocaleFromName("", l));
}

TEST(LocaleNumbers, EnvironmentLocaleTakesTheFirstVariableSet) {
  const char* const vars[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    const char* v = std::getenv(vars[i]);
    had[i] = v != nullptr;
    if (v) saved[i] = v;
  }
  ::unsetenv("LC_ALL");
  ::setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
  ::setenv("LANG", "en_US.UTF-8", 1);
  EXPECT_EQ(EnvironmentNumberLocale().decimal, u',');
  ::setenv("LC_ALL", "en_GB", 1);
  EXPECT_EQ(EnvironmentNumberLocale().decimal, u'.');
  ::setenv("LC_ALL", "xx_YY", 1);  // unknown: the C format, not the next variable
  EXPECT_EQ(EnvironmentNumberLocale().decimal, u'.');

  // Whether a language is named at all (else the interface language decides).
  EXPECT_TRUE(EnvironmentNamesLanguage());
  for (const char* none : {"C", "POSIX", "C.UTF-8", "POSIX@x"}) {
    ::setenv("LC_ALL", none, 1);
    EXPECT_FALSE(EnvironmentNamesLanguage()) << none;
  }
  ::unsetenv("LC_ALL");
  EXPECT_TRUE(EnvironmentNamesLanguage()) << "LC_NUMERIC names German";
  ::unsetenv("LC_NUMERIC");
  ::unsetenv("LANG");
  EXPECT_FALSE(EnvironmentNamesLanguage());
  EXPECT_EQ(InterfaceNumberLocale(0).decimal, u',');  // German
  EXPECT_EQ(InterfaceNumberLocale(1).decimal, u'.');  // English
  EXPECT_EQ(InterfaceNumberLocale(2).decimal, u',');  // French
  EXPECT_EQ(InterfaceNumberLocale(3).decimal, u',');  // Dutch
  EXPECT_EQ(InterfaceNumberLocale(3).thousands, u'.');
  EXPECT_EQ(InterfaceNumberLocale(7).decimal, u'.');
  EXPECT_EQ(InterfaceNumberLocale(-1).decimal, u'.');
  // Every interface language writes numbers as its locale does.
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    NumberLocale named;
    ASSERT_TRUE(NumberLocaleFromName(l.code, named)) << l.code;
    EXPECT_EQ(InterfaceNumberLocale(l.column).decimal, named.decimal) << l.code;
    EXPECT_EQ(InterfaceNumberLocale(l.column).thousands, named.thousands) << l.code;
  }
  for (int i = 0; i < 3; ++i) had[i] ? ::setenv(vars[i], saved[i].c_str(), 1) : ::unsetenv(vars[i]);
}

TEST(ChangeAllPrices, PriceColumnsCountedFromEachRowsLastText) {
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"P"}).products[0];
  p.pricecols = 2;
  t.SetTable(p, {{u"Name", u"Nr", u"Preis", u"Ab 10"},
                 {u"5", u"7", u"9", u"12,50", u"100", u"", u""},
                 {u"1", u"2", u"kein Preis"}});
  PriceChange up10;
  up10.percent = 10;
  EXPECT_EQ(ChangeAllPrices(t.doc, up10, kDe), 3);
  // L = 5 in row 1: cells 3 and 4 (and the empty ones after) are prices.
  EXPECT_EQ(t.Row(p, 1), (std::vector<std::u16string>{u"5", u"7", u"9", u"13,75", u"110,00", u"", u""}));
  EXPECT_EQ(t.Row(p, 0), (std::vector<std::u16string>{u"Name", u"Nr", u"Preis", u"Ab 10"}));
  // Row 2: cells 1 and 2; "2" is a number, the text is left.
  EXPECT_EQ(t.Row(p, 2), (std::vector<std::u16string>{u"1", u"2,20", u"kein Preis"}));
  EXPECT_FALSE(t.doc.changed);
}

TEST(ChangeAllPrices, ModesAndLimits) {
  PriceChange c;
  double y = 0;
  c.mode = PriceChange::Mode::DecreasePercent;
  c.percent = 10;
  ASSERT_TRUE(ApplyPriceChange(c, 100, y));
  EXPECT_EQ(y, 90);
  c.mode = PriceChange::Mode::IncreaseAmount;
  c.amount = 2.5;
  ApplyPriceChange(c, 1, y);
  EXPECT_EQ(y, 3.5);
  c.mode = PriceChange::Mode::DecreaseAmount;
  ApplyPriceChange(c, 1, y);
  EXPECT_EQ(y, -1.5);
  c.mode = PriceChange::Mode::IncreasePercent;
  c.percent = 10000;
  EXPECT_FALSE(ApplyPriceChange(c, 1e306, y));  // would overflow: left alone

  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"P"}).products[0];
  p.pricecols = 1;
  t.SetTable(p, {{u"1e306"}});
  EXPECT_EQ(ChangeAllPrices(t.doc, c, kEn), 0);
  EXPECT_EQ(VariantText(p, 0, 0), u"1e306");
  c.percent = 20000;
  EXPECT_EQ(ChangeAllPrices(t.doc, c, kEn), -1);
}

TEST(SortAllVariants, NumericInPriceColumnsCodeUnitsElsewhere) {
  EditingDoc t;
  Category& k = t.AddCategory(u"K", {u"P", u"Q"});
  Product& p = k.products[0];
  p.pricecols = 1;
  t.SetTable(p, {{u"Nr", u"Preis"}, {u"A9", u"10,00"}, {u"A10", u"9,50"}, {u"B", u"x"}});
  ASSERT_EQ(SortAllVariants(t.doc, 2, kDe), 2);
  EXPECT_EQ(VariantText(p, 0, 1), u"Preis");  // the title row stays on top
  EXPECT_EQ(VariantText(p, 1, 1), u"9,50");
  EXPECT_EQ(VariantText(p, 2, 1), u"10,00");
  EXPECT_EQ(VariantText(p, 3, 1), u"x");  // "x" > "9,50" / "10,00" as text
  SortAllVariants(t.doc, 1, kDe);
  EXPECT_EQ(VariantText(p, 0, 0), u"Nr");
  EXPECT_EQ(VariantText(p, 1, 0), u"A10");
  EXPECT_EQ(VariantText(p, 2, 0), u"A9");
  EXPECT_EQ(SortAllVariants(t.doc, 0, kDe), -1);
  EXPECT_FALSE(t.doc.changed);
}

TEST(SortAllVariants, RowsWithoutTheCellOrWithoutTextStay) {
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"P"}).products[0];
  p.pricecols = 0;
  t.SetTable(p, {{u"T"}, {u"z"}, {u"", u""}, {u"y", u"a"}, {u"x", u"b"}});
  SortAllVariants(t.doc, 2, kEn);
  EXPECT_EQ(VariantText(p, 1, 0), u"z");  // no cell 1: stays
  EXPECT_EQ(VariantText(p, 3, 1), u"a");
  SortAllVariants(t.doc, 1, kEn);
  EXPECT_EQ(VariantText(p, 2, 0), u"");  // the empty row is never exchanged
  EXPECT_EQ(VariantText(p, 1, 0), u"x");
  EXPECT_EQ(VariantText(p, 0, 0), u"T");
}

TEST(WriteCellToAll, OnlyOnYesAndMarksChanged) {
  EditingDoc t;
  t.AddCategory(u"K", {u"P", u"Q"});
  t.AddCategory(u"L", {u"R"});
  ScriptedFeedback fb;
  fb.answers = {Answer::No, Answer::Yes};
  EXPECT_EQ(WriteCellToAllTables(t.doc, 1, 1, u"neu", fb), 0);
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(WriteCellToAllTables(t.doc, 1, 1, u"neu", fb), 3);
  EXPECT_TRUE(t.doc.changed);
  EXPECT_EQ(VariantText(t.doc.kats[1].products[0], 1, 1), u"neu");
  EXPECT_EQ(fb.shown[0].caption, u"Text für alle Produkte übernehmen?");
  EXPECT_NE(fb.shown[0].text.find(u"eintragen?: neu"), std::u16string::npos);
}

TEST(FindProducts, AsciiFoldingAndNumbers) {
  EditingDoc t;
  t.AddCategory(u"K", {u"Kette"});
  Category& l = t.AddCategory(u"L", {u"Ohrring", u"Äpfel", u"RING"});
  l.products[1].description = u"mit Ring";
  auto found = FindProducts(t.doc, u"ring", false);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, u"Ohrring");
  EXPECT_EQ(found[0].katnr, 1);
  EXPECT_EQ(found[1].prodnr, 2);
  EXPECT_EQ(FindProducts(t.doc, u"ring", true).size(), 3u);
  EXPECT_TRUE(FindProducts(t.doc, u"äpfel", false).empty());
  EXPECT_TRUE(FindProducts(t.doc, u"", true).empty());

  Selection s;
  ASSERT_TRUE(LocateFoundProduct(t.doc, u"1", u"2", s));
  EXPECT_EQ(s.kat, 1);
  EXPECT_EQ(s.prods, std::vector<int32_t>{2});
  EXPECT_FALSE(LocateFoundProduct(t.doc, u"1", u"3", s));
  EXPECT_FALSE(LocateFoundProduct(t.doc, u"-1", u"0", s));
  EXPECT_FALSE(LocateFoundProduct(t.doc, u"x", u"0", s));

  ScriptedFeedback fb;
  ReportNothingFound(fb);
  EXPECT_EQ(fb.shown[0].text, u"Es wurde kein passender Artikel gefunden.");
  EXPECT_EQ(fb.shown[0].caption, u"Nichts gefunden");
}

TEST(ReplaceInTables, CaseSensitiveGridSizedAndMarked) {
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"P"}).products[0];
  t.SetTable(p, {{u"Gold gold Gold"}, {u"Silber"}});
  // A cell beyond the grid is not searched.
  VariantRow* r = p.variants.Add();
  for (int i = 0; i <= 100; ++i) r->cells.Add();
  r->cells[100].text = u"Gold";
  EXPECT_EQ(ReplaceInAllTables(t.doc, u"", u"x"), 0);
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(ReplaceInAllTables(t.doc, u"Gold", u"Weißgold"), 1);
  EXPECT_EQ(VariantText(p, 0, 0), u"Weißgold gold Weißgold");
  EXPECT_EQ(VariantText(p, 2, 100), u"Gold");
  EXPECT_TRUE(t.doc.changed);
}
