// Pagination does not depend on the surface's resolution or zoom: the layout
// measures at 300 ppi with unzoomed fonts, and the recording surface's own
// metrics (which do scale with resolution and zoom, and round) decide nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture.h"

namespace {

using namespace layouttest;

struct ResolutionTest : FamilyTest {
  ResolutionTest() {
    set.DoLineBreakinTableCellsCheck = true;
    for (int k = 0; k < 3; ++k) {
      Category& c = Cat(u"Kategorie " + std::u16string(1, char16_t(u'A' + k)));
      for (int i = 0; i < 14; ++i) {
        Product& p = Prod(c, u"Produkt mit etwas längerem Namen " + std::u16string(1, char16_t(u'a' + i)),
                          Lines(2 + i % 5, u"Beschreibungszeile "));
        p.pricecols = 2;
        // Wide tables: layout 3 splits them into bands, long cells wrap.
        // Lengths vary so that some columns end close to the cell's edge and
        // some texts close to a line's end, where rounded surface metrics
        // would decide differently from the layout measurement.
        const std::u16string title = u"Artikelnummer" + std::u16string(i % 6, u'x');
        const std::u16string cell = u"Gießkanne Stahlblech" + std::u16string(i % 7, u'z');
        const std::u16string size = u"groß" + std::u16string(2 * (i % 5), u' ') + u"breit";
        AddTable(p, {{u"Name", title.c_str(), u"Größe", u"Preis", u"Ab 10 Stück"},
                     {cell.c_str(), u"GK-10-Z", u"10 l", u"24,95 €", u"22,50 €"},
                     {u"Brause", u"BR-1", size.c_str(), u"4,95 €", u"4,50 €"}});
        if (i % 3 == 0) AddPicture(p, u"p" + std::u16string(1, char16_t(u'a' + i)) + u".jpg", 3.5, 300, 200);
      }
    }
  }
  struct Pagination {
    int32_t pages = 0;
    std::vector<int32_t> starts;
    bool operator==(const Pagination& o) const { return pages == o.pages && starts == o.starts; }
  };
  Pagination Paginate(int32_t layout, int32_t dpi, double zoom) {
    RecordingSurface s;
    render::RenderParams p = Params(s, 0);
    p.dpi = dpi;
    p.zoomedvalue = zoom;
    p.width = render::LengthPx(210, dpi, zoom);
    p.height = render::LengthPx(297, dpi, zoom);
    p.heightmm = 297;
    render::RenderLayout(session, p, layout);
    render::RenderLayout(session, p, layout);
    Pagination out;
    out.pages = session.anzpages;
    for (const Category& c : doc.kats)
      for (const Product& prod : c.products) out.starts.push_back(prod.pagenr);
    return out;
  }
};

TEST_F(ResolutionTest, PageCountAndProductStartPagesAreTheSameAtEveryResolutionAndZoom) {
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
    const Pagination print = Paginate(layout, 300, 100);
    ASSERT_GT(print.pages, 2) << "layout " << layout + 1;
    for (int32_t dpi : {30, 72, 96, 150, 600}) {
      const Pagination other = Paginate(layout, dpi, 100);
      EXPECT_TRUE(other == print) << "layout " << layout + 1 << " at " << dpi << " dpi: " << other.pages
                                  << " pages, " << print.pages << " at 300 dpi";
    }
    for (double zoom : {25.0, 50.0, 400.0}) {
      const Pagination other = Paginate(layout, 96, zoom);
      EXPECT_TRUE(other == print) << "layout " << layout + 1 << " at zoom " << zoom << ": " << other.pages
                                  << " pages, " << print.pages << " at 300 dpi";
    }
  }
}

}  // namespace
