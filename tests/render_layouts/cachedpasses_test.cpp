// The session's layout caches between passes: whatever changes between two
// passes (a text edited in place, a table's rows and cells, the settings,
// the resolution and zoom, products deleted and added) the next pass of a
// warm session must draw every page exactly as a session with empty caches,
// in every layout.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "fixture.h"

namespace {

using namespace layouttest;
using render::RenderParams;
using render::RenderSession;

// Every recorded field of an operation.
std::string Describe(int32_t page, const SurfaceOp& op) {
  std::ostringstream s;
  s << "p" << page << " " << op.kind << " " << op.x1 << "," << op.y1 << "," << op.x2 << "," << op.y2 << ","
    << op.x3 << "," << op.y3 << "," << op.x4 << "," << op.y4 << " '" << ql::ToUtf8(op.text) << "' c"
    << op.color << " " << ql::ToUtf8(op.font.name) << "/" << op.font.size << "/" << op.font.bold
    << op.font.italic << "/" << op.font.color << "/" << op.font.ppi << " pen " << op.pen.color << "/"
    << op.pen.width << "/" << int(op.pen.style) << "/" << int(op.pen.kind) << " brush " << op.brush.color
    << "/" << int(op.brush.style) << " " << op.opaque;
  return s.str();
}

struct CachedPassTest : FamilyTest, ::testing::WithParamInterface<int32_t> {
  int32_t dpi = 300;
  double zoom = 100;
  bool printit = true;

  CachedPassTest() {
    set.DoLineBreakinTableCellsCheck = true;
    set.DefMaxCellWidthCheck = true;
    set.MaxCellWidthEd = 22;
    set.ArtNotBlockCheck = false;
  }

  RenderParams At(render::DrawingSurface& s, int32_t page) const {
    RenderParams p = Params(s, page);
    p.dpi = dpi;
    p.zoomedvalue = zoom;
    p.printit = printit;
    p.width = static_cast<int32_t>(int64_t(kW) * dpi / 300 * zoom / 100);
    p.height = static_cast<int32_t>(int64_t(kH) * dpi / 300 * zoom / 100);
    return p;
  }

  // Every page of the layout under test drawn by `s`, one call per page
  // after a pass that finds the page count.
  std::vector<std::string> Pages(RenderSession& s) {
    RecordingSurface scratch;
    render::RenderLayout(s, At(scratch, 1), GetParam());
    const int32_t pages = s.anzpages;
    std::vector<std::string> out;
    for (int32_t pg = 1; pg <= pages; ++pg) {
      RecordingSurface r;
      render::RenderLayout(s, At(r, pg), GetParam());
      for (const SurfaceOp& op : r.ops) out.push_back(Describe(pg, op));
    }
    return out;
  }
  std::vector<std::string> Fresh() {
    testsupport::FixedMeasurer m2;
    RenderSession fresh(doc, m2, loader);
    return Pages(fresh);
  }

  // Two categories of five products: wrapped names and descriptions,
  // pictures, tables with wrapping cells, prices and a coloured cell.
  void Build() {
    for (int k = 0; k < 2; ++k) {
      Category& c = Cat(u"Kategorie " + std::u16string(1, char16_t(u'A' + k)));
      for (int i = 0; i < 5; ++i) {
        const std::u16string n(1, char16_t(u'a' + i + 5 * k));
        Product& p =
            Prod(c, u"Produkt " + n + u" mit einem Namen der umbricht",
                 u"Die Beschreibung von " + n + u" laeuft ueber mehrere Zeilen im Satz. " + Lines(i + 1));
        AddPicture(p, u"bild" + n + u".bmp", 3, 40, 30 + 5 * i);
        AddTable(p, {{u"Name", u"Art. Nummer", u"Preis"},
                     {u"klein und fein und lang genug", u"GM-100", u"9,90##FFE0E0"},
                     {u"gross", u"GM-101", u"12,50"}});
        p.pricecols = 1;
      }
    }
  }

  Product& P(uint32_t cat, uint32_t i) { return doc.kats[cat].products[i]; }
  std::u16string& Cell(Product& p, uint32_t r, uint32_t c) { return p.variants[r].cells[c].text; }

  // Warms the session, applies `change`, and compares the warm session's
  // pages with a fresh session's. The change must show on the pages, or
  // the comparison would prove nothing.
  template <class Change>
  void ExpectFreshAfter(Change change) {
    Build();
    const std::vector<std::string> before = Pages(session);
    Pages(session);  // the second pass runs entirely from the caches
    change();
    const std::vector<std::string> cached = Pages(session);
    EXPECT_NE(cached, before) << "the change does not show on the pages";
    const std::vector<std::string> fresh = Fresh();
    ASSERT_EQ(cached.size(), fresh.size());
    for (size_t i = 0; i < cached.size(); ++i) ASSERT_EQ(cached[i], fresh[i]) << "operation " << i;
  }
};

TEST_P(CachedPassTest, TextsEditedInPlace) {
  ExpectFreshAfter([&] {
    P(0, 1).name += u" und jetzt noch viel laenger als zuvor";
    P(0, 2).description = u"kurz";
    // The same length with the spaces elsewhere: other line breaks.
    std::u16string& c = Cell(P(0, 3), 1, 0);
    c = u"kleinundfeinundlang genug  x  ";
    Cell(P(1, 0), 2, 2) += u"##00FF00";  // a colour suffix appears
    Cell(P(1, 1), 1, 2) = u"9,90";       // and one goes
    Cell(P(1, 2), 0, 1) = u"Artikel";    // a title
  });
}

TEST_P(CachedPassTest, RowsAndCellsAddedAndRemoved) {
  ExpectFreshAfter([&] {
    VariantRow* r = doc.AddRow(P(0, 0));
    r->cells.Add()->text = u"neu";
    r->cells.Add()->text = u"GM-102 mit einem langen Zusatz";
    r->cells.Add()->text = u"1,00";
    P(0, 2).variants.Delete(2);
    P(1, 3).variants[1].cells.Delete(1);
    P(1, 4).pricecols = 2;
  });
}

TEST_P(CachedPassTest, SettingsAndFontsChanged) {
  ExpectFreshAfter([&] {
    set.FontDialog7.size = 9;     // table cells
    set.FontDialog4.size = 14;    // descriptions
    set.FontDialog3.bold = true;  // names
    set.MaxCellWidthEd = 15;
  });
}

TEST_P(CachedPassTest, WrappingInCellsSwitchedOff) {
  ExpectFreshAfter([&] { set.DoLineBreakinTableCellsCheck = false; });
}

TEST_P(CachedPassTest, ResolutionAndZoomChanged) {
  ExpectFreshAfter([&] {
    dpi = 96;
    zoom = 150;
    printit = false;
  });
}

TEST_P(CachedPassTest, ProductsDeletedAndAdded) {
  ExpectFreshAfter([&] {
    // Deleting moves the later products into the earlier records.
    doc.kats[0].products.Delete(1);
    Product& p = Prod(doc.kats[1], u"Ein neues Produkt", u"Neu im Katalog. " + Lines(3));
    AddTable(p, {{u"Name", u"Preis"}, {u"eins zwei drei vier fuenf", u"1,00"}});
  });
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, CachedPassTest, ::testing::Range(0, render::kLayoutCount),
                         [](const ::testing::TestParamInfo<int32_t>& i) {
                           return "Layout" + std::to_string(i.param + 1);
                         });

// Products that no pass visits any more (here: whole categories switched
// off, as after an undo that replaced every record) do not keep their
// cached layout forever.
TEST_F(FamilyTest, SlotsOfProductsNoLongerLaidOutAreDropped) {
  for (int round = 0; round < 12; ++round) {
    if (round > 0) {
      Category& last = doc.kats[doc.kats.Count() - 1];
      last.options = std::make_unique<CategoryOptions>(NewCategoryOptions());
      last.options->deactivated = true;
    }
    Category& c = Cat(u"Runde " + std::u16string(1, char16_t(u'A' + round)));
    for (int i = 0; i < 200; ++i) {
      Product& p = Prod(c, u"P", u"Text");
      AddTable(p, {{u"Name"}, {u"x"}});
    }
    RecordingSurface s;
    Render(s, 1, 1);
    // At most twice the products of a pass, 1,024 spare, and this pass's new ones.
    EXPECT_LE(session.layoutcache().Slots(), 2 * 200 + 1024 + 200u) << round;
  }
}

}  // namespace
