// %CATEGORY% in the header and the footer names the category of each page's
// last heading, in every layout, the catalog's last page included.
#include "fixture.h"

namespace layouttest {
namespace {

struct PageCategoryTest : FamilyTest {
  PageCategoryTest() {
    set.KopfEd = u"Kopf %CATEGORY%";
    set.KopfEdmm = 2;
    set.FussEd = u"Fuss %category%";
    set.FussEd2 = set.FussEd;
    set.FilenameEdit1.clear();
    for (TFontSpec* f : {&set.FontDialog8, &set.FontDialog9}) *f = MakeFont(u"Fixed", 12, false, 0);
    // "Alpha" fills a few pages; "Beta" starts on a page of its own and runs
    // over more than one, so the last page holds no heading; the deactivated
    // "Gamma" after it is skipped.
    Category& a = Cat(u"Alpha");
    for (int i = 0; i < 10; ++i) Prod(a, u"A" + std::u16string(1, char16_t(u'0' + i)), Lines(12));
    Category& b = Cat(u"Beta");
    for (int i = 0; i < 40; ++i) Prod(b, u"B" + std::u16string(1, char16_t(u'0' + i)), Lines(12));
    Category& g = Cat(u"Gamma");
    Prod(g, u"G", Lines(2));
    g.options = std::make_unique<CategoryOptions>();
    g.options->deactivated = true;
  }
  // The one text op starting with `prefix` on a page (empty when none).
  static std::u16string Shown(const RecordingSurface& s, const std::u16string& prefix) {
    const auto ops = TextsStarting(s, prefix);
    EXPECT_EQ(ops.size(), 1u) << "one " << std::string(prefix.begin(), prefix.end()) << "line";
    return ops.empty() ? std::u16string() : ops.front().text.substr(prefix.size());
  }
};

TEST_F(PageCategoryTest, EveryPageShowsTheCategoryOfItsLastHeading) {
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
    SCOPED_TRACE("layout " + std::to_string(layout + 1));
    // A first pass learns the pages; the pages drawn after it show its names.
    RecordingSurface first;
    Render(first, 1, layout);
    const int32_t pages = session.anzpages;
    const int32_t betaPage = doc.kats[1].options->pagenr;
    ASSERT_GT(pages, betaPage + 1) << "Beta runs over more than one page";
    ASSERT_GT(betaPage, 1);
    for (int32_t page = 1; page <= pages; ++page) {
      SCOPED_TRACE("page " + std::to_string(page));
      RecordingSurface s;
      Render(s, page, layout);
      const std::u16string want = page < betaPage ? u"Alpha" : u"Beta";
      EXPECT_EQ(Shown(s, u"Kopf "), want);
      EXPECT_EQ(Shown(s, u"Fuss "), want);
    }
  }
}

TEST_F(PageCategoryTest, ACatalogWithoutCategoriesLeavesNoNameOfAnEarlierOne) {
  // Page 1 of an earlier catalog was "Beta"'s: an empty catalog's one page
  // has no category.
  doc.lastkat.Set(1, u"Beta");
  doc.kats.Clear();
  RecordingSurface once, again;
  Render(once, 1, 0);
  Render(again, 1, 0);
  EXPECT_EQ(Shown(again, u"Fuss "), u"");
}

}  // namespace
}  // namespace layouttest
