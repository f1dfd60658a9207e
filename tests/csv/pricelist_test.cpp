// The price list lines: shared column widths over the whole catalog, the
// padding of every row, products without rows, rows of empty cells, the
// wide positions beyond 1000, line breaks inside texts, and the text and
// HTML forms the command-line tool writes.
#include <gtest/gtest.h>

#include "csv/pricelistlines.h"
#include "project/document.h"

namespace {

Product& AddProduct(Document& doc, Category& cat, const std::u16string& name,
                    const std::vector<std::vector<std::u16string>>& rows) {
  Product& p = *doc.AddProduct(cat);
  p.name = name;
  for (const auto& cells : rows) {
    VariantRow& r = *doc.AddRow(p);
    for (const auto& t : cells) r.cells.Add()->text = t;
  }
  return p;
}

std::vector<std::u16string> Texts(const std::vector<csv::PriceLine>& lines) {
  std::vector<std::u16string> t;
  for (const auto& l : lines) t.push_back(l.text);
  return t;
}

TEST(PriceList, ColumnsAreSharedOverTheWholeCatalog) {
  Document doc;
  // A record reference lasts only until the next Add on its array.
  doc.AddCategory(u"Werkzeug");
  doc.AddCategory(u"Garten");
  AddProduct(doc, doc.kats[0], u"Spaten", {{u"Art. Nummer", u"Preis"}, {u"S-1", u"19,90"}});
  AddProduct(doc, doc.kats[1], u"Rechen", {{u"A-1", u"7,50 EUR"}});
  doc.kats[1].products[0].deactivated = true;  // deactivated products are listed too

  const std::vector<uint32_t> w = csv::PriceColumnWidths(doc);
  ASSERT_EQ(w.size(), 1000u);
  EXPECT_EQ(w[0], 11u);
  EXPECT_EQ(w[1], 8u);
  EXPECT_EQ(w[2], 0u);

  const auto lines = csv::BuildPriceList(doc, u"Preisliste");
  const std::vector<std::u16string> expect = {u"Preisliste",
                                              u"",
                                              u"Spaten",
                                              u"Art. Nummer Preis    ",
                                              u"S-1         19,90    ",
                                              u"",
                                              u"Rechen",
                                              u"A-1         7,50 EUR ",
                                              u""};
  EXPECT_EQ(Texts(lines), expect);
  // Title bold 14, names bold 10, everything else regular 10.
  EXPECT_TRUE(lines[0].bold);
  EXPECT_EQ(lines[0].points, 14);
  EXPECT_FALSE(lines[1].bold);
  EXPECT_EQ(lines[1].points, 10);
  for (size_t i : {2u, 6u}) {
    EXPECT_TRUE(lines[i].bold) << i;
    EXPECT_EQ(lines[i].points, 10) << i;
  }
  for (size_t i : {3u, 4u, 5u, 7u, 8u}) EXPECT_FALSE(lines[i].bold) << i;
}

TEST(PriceList, ProductsWithoutRowsAndRowsWithoutText) {
  Document doc;
  Category& c = *doc.AddCategory(u"K");
  AddProduct(doc, c, u"Ohne Tabelle", {});
  AddProduct(doc, c, u"Leer", {{u"Nr", u"Preis"}, {u"", u""}, {}});
  const auto lines = csv::BuildPriceList(doc, u"Preisliste");
  const std::vector<std::u16string> expect = {u"Preisliste", u"", u"Ohne Tabelle", u"",
                                              // The row of empty cells is its columns' widths plus one space
                                              // each; the row without cells gives no line at all.
                                              u"Leer", u"Nr Preis ", u"         ", u""};
  EXPECT_EQ(Texts(lines), expect);
}

TEST(PriceList, EmptyCatalogIsTheTitleAlone) {
  Document doc;
  EXPECT_EQ(Texts(csv::BuildPriceList(doc, u"Price list")),
            (std::vector<std::u16string>{u"Price list", u""}));
}

TEST(PriceList, LongTextsAreNotCutAndPositionsBeyond1000AreTwentyWide) {
  Document doc;
  Category& c = *doc.AddCategory(u"K");
  std::vector<std::u16string> wide(1002, u"x");
  wide[1000] = u"abc";
  wide[1001] = u"0123456789012345678901234";  // longer than 20: kept whole
  Product& p = AddProduct(doc, c, u"Breit", {wide});
  const std::vector<uint32_t> w = csv::PriceColumnWidths(doc);
  EXPECT_EQ(w[999], 1u);
  const std::u16string line = csv::PriceRowText(p.variants[0], w);
  std::u16string expect;
  for (int i = 0; i < 1000; ++i) expect += u"x ";
  expect += u"abc" + std::u16string(17, u' ') + u" ";
  expect += u"0123456789012345678901234 ";
  EXPECT_EQ(line, expect);
}

TEST(PriceList, LineBreaksInTextsStartNewLines) {
  Document doc;
  Category& c = *doc.AddCategory(u"K");
  AddProduct(doc, c, u"Zwei\nZeilen\r\nund\rdrei", {{u"a"}});
  const auto lines = csv::BuildPriceList(doc, u"Preisliste");
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(Texts(lines), (std::vector<std::u16string>{u"Preisliste", u"", u"Zwei", u"Zeilen", u"und",
                                                       u"drei", u"a ", u""}));
  for (size_t i = 2; i < 6; ++i) EXPECT_TRUE(lines[i].bold);
}

TEST(PriceList, TextAndHtmlForms) {
  Document doc;
  Category& c = *doc.AddCategory(u"K");
  AddProduct(doc, c, u"Topf <groß> & \"rund\"", {{u"Nr", u"Preis"}, {u"T-1", u"4,99"}});
  const auto lines = csv::BuildPriceList(doc, u"Preisliste");
  EXPECT_EQ(csv::PriceListPlainText(lines),
            "Preisliste\n\nTopf <gro\xC3\x9F> & \"rund\"\nNr  Preis \nT-1 4,99  \n\n");
  const std::string html = csv::PriceListHtml(lines, u"Preisliste", "monospace");
  EXPECT_NE(html.find("<p class=\"b\" style=\"font-size: 14pt\">Preisliste</p>"), std::string::npos);
  EXPECT_NE(html.find("<p class=\"b\">Topf &lt;gro\xC3\x9F&gt; &amp; &quot;rund&quot;</p>"),
            std::string::npos);
  EXPECT_NE(html.find("<p>T-1 4,99  </p>"), std::string::npos);
  EXPECT_NE(html.find("white-space: pre"), std::string::npos);
}

}  // namespace
