// Price cells with a currency sign or code, as the shipped sample writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "editing/bulk.h"
#include "editing/numbers.h"
#include "project/projectfile.h"
#include "support/scripted_feedback.h"

using namespace editing;

namespace {
const NumberLocale kDe{u',', u'.'};
const NumberLocale kEn{u'.', u','};

std::u16string Changed(const std::u16string& text, double percent, const NumberLocale& loc = kDe) {
  PriceText p;
  if (!ParsePrice(text, loc, p)) return u"(no price)";
  return FormatPriceLike((100 + percent) * p.value / 100, p, loc);
}
}  // namespace

TEST(Prices, SignOrCodeKeepsItsSideAndSpacing) {
  EXPECT_EQ(Changed(u"4,95 €", 10), u"5,45 €");
  EXPECT_EQ(Changed(u"€ 4,95", 10), u"€ 5,45");
  EXPECT_EQ(Changed(u"€4,95", 10), u"€5,45");
  EXPECT_EQ(Changed(u"EUR 4,95", 10), u"EUR 5,45");
  EXPECT_EQ(Changed(u"4,95 EUR", 10), u"5,45 EUR");
  EXPECT_EQ(Changed(u"4,95\u00A0CHF", 10), u"5,45\u00A0CHF");
  EXPECT_EQ(Changed(u" 12,5  € ", 0), u" 12,50  € ");
  EXPECT_EQ(Changed(u"-2,00 £", 50), u"-3,00 £");
  EXPECT_EQ(Changed(u"$19.99", 0, kEn), u"$19.99");
  EXPECT_EQ(Changed(u"7", 100), u"14,00");
  // Thousands in groups stay grouped.
  EXPECT_EQ(Changed(u"1.290,00 €", 10), u"1.419,00 €");
  EXPECT_EQ(Changed(u"999,00 €", 10), u"1098,90 €");  // grouped only when it was
  EXPECT_EQ(Changed(u"1.290,00 €", -50), u"645,00 €");
  EXPECT_EQ(Changed(u"€ 1.234.567,5", 0), u"€ 1.234.567,50");
  EXPECT_EQ(Changed(u"-1.000 €", 0), u"-1.000,00 €");
  for (const char16_t* no :
       {u"auf Anfrage", u"€", u"EUR", u"€ 4,95 €", u"ab 4,95 €", u"4,95 Euro", u"Nr. 12", u"XEUR 4,95",
        u"4,95 EURO", u"", u"12 Stk.", u"1.29,00 €", u"12.3456 €", u".290 €", u"1..290 €"})
    EXPECT_EQ(Changed(no, 10), u"(no price)") << ql::ToUtf8(no);
}

TEST(Prices, ChangeAllPricesOnTheShippedSampleAndTheCountIsReported) {
  Document doc;
  std::u16string error;
  ASSERT_TRUE(OpenFileWithName(doc, QL_SOURCE_DIR "/data/sample/test.pk2", &error)) << ql::ToUtf8(error);
  // Every price cell of the sample, before.
  std::vector<std::u16string> before;
  int onRequest = 0, euro = 0;
  for (const Category& c : doc.kats)
    for (const Product& p : c.products)
      for (uint32_t r = 1; r < p.variants.Count(); ++r)
        for (const VariantCell& cell : p.variants[r].cells) {
          before.push_back(cell.text);
          onRequest += cell.text == u"auf Anfrage";
          euro += cell.text == u"4,95 €";
        }
  ASSERT_GT(euro, 0) << "the sample no longer holds \"4,95 €\"";

  PriceChange up10;
  up10.percent = 10;
  const int changed = ChangeAllPrices(doc, up10, kDe);
  EXPECT_GE(changed, euro);
  int after495 = 0, afterRequest = 0, differ = 0;
  size_t i = 0;
  for (const Category& c : doc.kats)
    for (const Product& p : c.products)
      for (uint32_t r = 1; r < p.variants.Count(); ++r)
        for (const VariantCell& cell : p.variants[r].cells) {
          if (before[i] == u"4,95 €") after495 += cell.text == u"5,45 €";
          afterRequest += cell.text == u"auf Anfrage";
          differ += cell.text != before[i];
          ++i;
        }
  EXPECT_EQ(after495, euro);
  EXPECT_EQ(afterRequest, onRequest);
  EXPECT_EQ(differ, changed);  // title row aside: every changed cell counted once

  ScriptedFeedback fb;
  ReportPricesChanged(fb, changed);
  ASSERT_EQ(fb.shown.size(), 1u);
  EXPECT_EQ(fb.shown[0].text, u"Geänderte Preise: " + ql::FromUtf8(std::to_string(changed)));
  EXPECT_FALSE(fb.shown[0].question);
}

TEST(Prices, EveryPriceColumnOfTheShippedSampleSortsNumerically) {
  auto open = [](Document& doc) {
    std::u16string error;
    ASSERT_TRUE(OpenFileWithName(doc, QL_SOURCE_DIR "/data/sample/test.pk2", &error)) << ql::ToUtf8(error);
  };
  Document probe;
  open(probe);
  uint32_t widest = 0;
  for (const Category& c : probe.kats)
    for (const Product& p : c.products)
      for (const VariantRow& r : p.variants) widest = std::max(widest, r.cells.Count());
  ASSERT_GT(widest, 0u);

  // Checked: every table whose rows all hold a price in the sorted column.
  int tables = 0, textOrderDiffers = 0;
  for (uint32_t k = 0; k < widest; ++k) {
    SCOPED_TRACE("column " + std::to_string(k + 1));
    Document doc;
    open(doc);
    ASSERT_GE(SortAllVariants(doc, static_cast<int>(k + 1), kDe), 0);
    for (const Category& c : doc.kats)
      for (const Product& p : c.products) {
        std::vector<double> values;
        std::vector<std::u16string> texts;
        bool allPrices = p.variants.Count() >= 3;
        for (uint32_t r = 1; r < p.variants.Count() && allPrices; ++r) {
          const VariantRow& row = p.variants[r];
          PriceText price;
          allPrices = k < row.cells.Count() &&
                      static_cast<int64_t>(k) >= int64_t(row.cells.Count()) - p.pricecols &&
                      ParsePrice(row.cells[k].text, kDe, price);
          if (allPrices) {
            values.push_back(price.value);
            texts.push_back(row.cells[k].text);
          }
        }
        if (!allPrices) continue;
        ++tables;
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << ql::ToUtf8(p.name);
        textOrderDiffers += !std::is_sorted(texts.begin(), texts.end());
      }
  }
  EXPECT_GT(tables, 0);
  EXPECT_GT(textOrderDiffers, 0) << "the sample no longer has prices whose text order is not their order";
}
