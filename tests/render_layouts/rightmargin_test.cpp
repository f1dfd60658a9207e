// No text crosses the right margin: long category headings wrap at spaces
// (their band grows with them), a single word too wide for the line is set
// smaller, long contents entries wrap before their page number. Checked on
// every page of every layout, with the fixed metrics of the recording
// surface.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"
#include "render/units.h"
#include "support/big_catalog.h"
#include "support/recording_surface.h"

namespace {

using testsupport::FixedAdvance;
using testsupport::FixedPixelSize;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

constexpr int32_t kW = 2480, kH = 3508;

class PagesSink : public render::PageSink {
 public:
  render::DrawingSurface& MeasuringSurface() override { return measuring; }
  render::DrawingSurface* BeginPage(int32_t) override {
    pages.push_back(std::make_unique<RecordingSurface>());
    return pages.back().get();
  }
  bool EndPage(int32_t, render::DrawingSurface&) override { return true; }
  RecordingSurface measuring;
  std::vector<std::unique_ptr<RecordingSurface>> pages;
};

int32_t Width(const SurfaceOp& op) {
  return static_cast<int32_t>(op.text.size()) * FixedAdvance(FixedPixelSize(op.font.size, op.font.ppi));
}

class RightMargin : public ::testing::Test {
 protected:
  testsupport::FixedMeasurer m;
  testsupport::MemoryPictureLoader loader;

  // Every page of `doc` in layout `layout` (0 ... 7) on a 300-dpi A4 page.
  std::vector<std::unique_ptr<RecordingSurface>> Pages(Document& doc, int32_t layout) {
    render::RenderSession s(doc, m, loader);
    render::RenderParams p;
    p.dpi = 300;
    p.width = kW;
    p.height = kH;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = render::PageMm(kW, 300);
    p.heightmm = render::PageMm(kH, 300);
    PagesSink sink;
    render::RenderAllPages(s, p, sink, layout);
    return std::move(sink.pages);
  }

  // Each text of the page that ends past the right margin, with its page.
  std::vector<std::string> Crossings(Document& doc, int32_t layout) {
    std::vector<std::string> out;
    const int32_t right = kW - render::LengthPx(doc.settings.RechtsEd, 300, 100);
    const auto pages = Pages(doc, layout);
    for (size_t i = 0; i < pages.size(); ++i)
      for (const SurfaceOp& op : pages[i]->Texts())
        if (op.x1 + Width(op) > right)
          out.push_back("layout " + std::to_string(layout + 1) + " page " + std::to_string(i + 1) + ": \"" +
                        ql::ToUtf8(op.text) + "\" ends at " + std::to_string(op.x1 + Width(op)) + " > " +
                        std::to_string(right));
    return out;
  }

  // Header and footer stand against margins of their own (RandKopfEd,
  // LinkRandFussEd): without their texts only the catalog's texts remain.
  static void NoFurnitureTexts(CatalogSettings& set) {
    set.KopfEd.clear();
    set.FussEd.clear();
    set.FussEd2.clear();
    set.Fuss2Ed.clear();
  }

  static std::string Join(const std::vector<std::string>& v) {
    std::string s;
    for (size_t i = 0; i < v.size() && i < 12; ++i) s += v[i] + "\n";
    return s;
  }
};

TEST_F(RightMargin, SampleCatalogInEveryLayout) {
  Document doc;
  std::u16string err;
  ASSERT_TRUE(OpenProjectFile(doc, std::string(QL_SOURCE_DIR) + "/data/sample/test.pk2",
                              ReadOptions::FromDocument(doc), &err))
      << ql::ToUtf8(err);
  // Upper-case headings at a size where the sample's longest category names
  // are wider than the page.
  NoFurnitureTexts(doc.settings);
  doc.settings.CapsCheck = true;
  doc.settings.FontDialog2.size = 44;
  bool wide = false;
  for (const Category& c : doc.kats)
    wide |= static_cast<int32_t>(c.name.size()) * FixedAdvance(FixedPixelSize(44, 300)) > kW;
  ASSERT_TRUE(wide) << "the test needs a heading wider than the page";
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
    const std::vector<std::string> bad = Crossings(doc, layout);
    EXPECT_TRUE(bad.empty()) << bad.size() << " texts cross the margin\n" << Join(bad);
  }
}

TEST_F(RightMargin, LargeCatalogWithLongNamesInEveryLayout) {
  Document doc;
  testsupport::BuildBigCatalog(doc, {u"a.jpg", u"b.jpg"}, 300);
  NoFurnitureTexts(doc.settings);
  doc.settings.CapsCheck = true;
  doc.settings.FontDialog2.size = 28;
  // A heading of many words, one single word wider than the line, a
  // contents entry and product names longer than the line.
  doc.kats[2].name = u"Blumentöpfe und Pflanzgefäße für Balkon, Terrasse und Wintergarten";
  doc.kats[3].name = u"Rasenmähergrundausstattungszubehörersatzteile";
  doc.kats[0].options->tocwithproducts = true;
  doc.kats[2].products[0].name =
      u"Edelrose Gloria Dei im Terrakottatopf mit Rankgitter, Pflanzerde und Langzeitdünger für den "
      u"sonnigen Standort auf Balkon und Terrasse";
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
    const std::vector<std::string> bad = Crossings(doc, layout);
    EXPECT_TRUE(bad.empty()) << bad.size() << " texts cross the margin\n" << Join(bad);
  }
}

TEST_F(RightMargin, LongHeadingWrapsAndItsBandGrows) {
  Document doc;
  CatalogSettings& set = doc.settings;
  set.KopfEd.clear();
  set.FussEd.clear();
  set.FilenameEdit1.clear();
  set.CapsCheck = true;
  set.KatBereichUnterCheck = true;
  set.FontDialog2 = MakeFont(u"Fixed", 36, true, 0);
  Category* c = doc.AddCategory(u"Blumentöpfe und Pflanzgefäße aus Ton");
  c->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  doc.AddProduct(*c)->name = u"Topf";
  Category* w = doc.AddCategory(u"Rasenmähergrundausstattungszubehörersatzteile");
  w->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  doc.AddProduct(*w)->name = u"Messer";
  const auto pages = Pages(doc, 0);
  ASSERT_EQ(pages.size(), 2u);

  // The first heading: two lines at the heading size, the band two lines high.
  const std::vector<SurfaceOp> t = pages[0]->Texts();
  ASSERT_GE(t.size(), 2u);
  EXPECT_EQ(t[0].text, u"BLUMENTÖPFE UND PFLANZGEFÄSSE");
  EXPECT_EQ(t[1].text, u"AUS TON");
  EXPECT_EQ(t[0].font.size, 36);
  const int32_t th = testsupport::FixedHeight(FixedPixelSize(36, 300));
  EXPECT_EQ(t[1].y1 - t[0].y1, th);
  const std::vector<SurfaceOp> fills = pages[0]->OfKind(SurfaceOp::Fill);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].y2 - fills[0].y1, th + th / 2 + th);
  // The product follows below the second line.
  const SurfaceOp* prod = pages[0]->FindText(u"Topf");
  ASSERT_NE(prod, nullptr);
  EXPECT_GT(prod->y1, t[1].y1 + th);

  // The single long word: one line, set smaller, within the margin.
  const std::vector<SurfaceOp> u = pages[1]->Texts();
  ASSERT_FALSE(u.empty());
  EXPECT_EQ(u[0].text, u"RASENMÄHERGRUNDAUSSTATTUNGSZUBEHÖRERSATZTEILE");
  EXPECT_LT(u[0].font.size, 36);
  EXPECT_LE(u[0].x1 + Width(u[0]), kW - render::LengthPx(set.RechtsEd, 300, 100));
  EXPECT_GT(u[0].x1 + Width(u[0]), (kW - render::LengthPx(set.RechtsEd, 300, 100)) * 9 / 10);
}

}  // namespace
