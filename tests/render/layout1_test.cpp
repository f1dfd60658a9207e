#include <gtest/gtest.h>

#include <algorithm>

#include "layout_fixture.h"
#include "render/heading.h"

using namespace render;
using layouttest::LineMm;
using layouttest::Mm;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

namespace {

struct Layout1Test : layouttest::LayoutTest {
  const double lh = LineMm(12);     // every role font
  const double hmain = LineMm(30);  // heading of a main category
  const double hsub = LineMm(20);   // heading of a category with products
  const int32_t thsub = testsupport::FixedHeight(FixedPixelSize(20, 300));
  const int32_t thmain = testsupport::FixedHeight(FixedPixelSize(30, 300));
  using FixedPixelSize_t = int32_t (*)(int32_t, int32_t);
  static int32_t FixedPixelSize(int32_t pt, int32_t ppi) { return testsupport::FixedPixelSize(pt, ppi); }

  // Rows of a picture transfer on the recording surface: first row op.
  static const SurfaceOp* FirstRow(const RecordingSurface& s) {
    for (const auto& op : s.ops)
      if (op.kind == SurfaceOp::DibRow || op.kind == SurfaceOp::DibBlock) return &op;
    return nullptr;
  }
};

}  // namespace

TEST_F(Layout1Test, ConsecutiveMainCategoriesShareAPageInTheLargerSize) {
  Cat(u"Garten");
  Cat(u"Haus");
  RecordingSurface s;
  EXPECT_FALSE(Render(s, 1));
  EXPECT_EQ(session.anzpages, 1);
  const SurfaceOp* a = s.FindText(u"Garten");
  const SurfaceOp* b = s.FindText(u"Haus");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->font.size, 30);  // 1.5 x 20 pt
  EXPECT_EQ(a->x1, Len(10));
  EXPECT_EQ(a->y1, Pos(10) + thmain / 2);
  // 2.5 heading lines, then one line of the contents font.
  EXPECT_EQ(b->y1, Pos(10 + 2.5 * hmain + lh) + thmain / 2);
  ASSERT_TRUE(doc.kats[1].options);  // default options attached
  EXPECT_EQ(doc.kats[1].options->pagenr, 1);

  set.DonotIncreaseFontSizeCheck = true;
  RecordingSurface s2;
  Render(s2, 1);
  EXPECT_EQ(s2.FindText(u"Garten")->font.size, 20);
  EXPECT_EQ(s2.FindText(u"Haus")->y1, Pos(10 + 2.5 * hsub + lh) + thsub / 2);  // still a main category
}

TEST_F(Layout1Test, CategoryWithProductsStartsANewPageUnlessNonewpage) {
  set.OnlyOneColumnCheck = true;
  Category& a = Cat(u"A");
  Product& pa = Prod(a, u"P", Lines(3));
  Prod(Cat(u"B"), u"Q");
  RecordingSurface s;
  Render(s, 1);
  EXPECT_EQ(doc.kats[1].options->pagenr, 2);
  EXPECT_EQ(doc.lastkat.Get(1), u"A");

  // With nonewpage B follows on the same page until its heading's first
  // two lines no longer fit; then the page breaks before it.
  doc.kats[1].options->nonewpage = true;
  int n = 3;
  double lastfit = -1;
  for (; n < 80; ++n) {
    pa.description = Lines(n);
    RecordingSurface r;
    Render(r, 1);
    if (doc.kats[1].options->pagenr == 2) break;
    const SurfaceOp* bt = r.FindText(u"B");
    ASSERT_NE(bt, nullptr);
    lastfit = Mm(bt->y1 - thsub / 4);
  }
  ASSERT_LT(n, 80);
  ASSERT_GT(lastfit, 0);
  EXPECT_LE(lastfit + 2 * hsub, Bottom() + 0.05);
  EXPECT_GT(lastfit + lh + 2 * hsub, Bottom() - 0.05);  // one description line more
  RecordingSurface p2;
  Render(p2, 2);
  ASSERT_NE(p2.FindText(u"B"), nullptr);
  EXPECT_EQ(p2.FindText(u"B")->y1, Pos(10) + thsub / 4);
  EXPECT_EQ(doc.lastkat.Get(1), u"A");
}

TEST_F(Layout1Test, ProductWhosePicturesOverflowMovesWholeToTheNextPage) {
  Category& c = Cat(u"C");
  Prod(c, u"first");
  Product& p = Prod(c, u"second", u"text");
  AddPicture(p, u"tall.bmp", 10, 100, 250);  // 100 mm x 250 mm
  RecordingSurface s1;
  Render(s1, 1);
  EXPECT_EQ(p.pagenr, 2);
  EXPECT_EQ(s1.FindText(u"second"), nullptr);
  EXPECT_EQ(FirstRow(s1), nullptr);
  RecordingSurface s2;
  Render(s2, 2);
  // The page starts one description line below the top; separator, name and
  // the picture margin come before the picture.
  const double namey = 10 + lh + set.LineWidthEd / 2;
  ASSERT_NE(s2.FindText(u"second"), nullptr);
  EXPECT_EQ(s2.FindText(u"second")->y1, Pos(namey));
  const SurfaceOp* row = FirstRow(s2);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->y1, Pos(namey + lh + 2));
  EXPECT_EQ(row->x1, kW - Len(10) - Len(100));  // right-aligned
  EXPECT_EQ(p.pictures[0].pixwidth, 100);
}

TEST_F(Layout1Test, ProductTallerThanAPageStaysOnItsEmptyPageAndOverflows) {
  set.OnlyOneColumnCheck = true;
  Category& c = Cat(u"Lang");
  Product& p = Prod(c, u"P", Lines(80));
  RecordingSurface s1, s2;
  Render(s1, 1);
  EXPECT_EQ(p.pagenr, 1);
  EXPECT_EQ(session.anzpages, 2);
  Render(s2, 2);
  const auto l1 = TextsStarting(s1, u"l"), l2 = TextsStarting(s2, u"l");
  EXPECT_EQ(l1.size() + l2.size(), 80u);  // every line, once
  ASSERT_FALSE(l2.empty());
  EXPECT_EQ(l2[0].text, l1.size() < 10 ? u"l0" + std::u16string(1, char16_t(u'0' + l1.size()))
                                       : u"l" + std::u16string(1, char16_t(u'0' + l1.size() / 10)) +
                                             std::u16string(1, char16_t(u'0' + l1.size() % 10)));
  EXPECT_EQ(l2[0].y1, Pos(10 + lh));
  EXPECT_LE(Mm(l1.back().y1) + lh, Bottom() + 0.05);
  EXPECT_EQ(doc.lastkat.Get(1), u"Lang");

  // Pictures taller than a page do not leave an empty page behind.
  p.description = u"x";
  AddPicture(p, u"huge.bmp", 10, 100, 400);
  RecordingSurface s3, s4;
  Render(s3, 1);
  EXPECT_EQ(p.pagenr, 1);
  EXPECT_NE(FirstRow(s3), nullptr);
  EXPECT_NE(s3.FindText(u"P"), nullptr);
  // The description beside the picture would start below the page: it
  // continues on the next page.
  EXPECT_EQ(session.anzpages, 2);
  Render(s4, 2);
  ASSERT_NE(s4.FindText(u"x"), nullptr);
  EXPECT_EQ(s4.FindText(u"x")->y1, Pos(10 + lh));
}

TEST_F(Layout1Test, AllowPageBreakLetsAProductContinueOnTheNextPage) {
  set.OnlyOneColumnCheck = true;
  Category& c = Cat(u"C");
  Prod(c, u"small", Lines(30, u"a"));
  Product& big = Prod(c, u"big", Lines(40, u"z"));
  RecordingSurface s;
  Render(s, 1);
  EXPECT_EQ(big.pagenr, 2);
  EXPECT_TRUE(TextsStarting(s, u"z").empty());

  set.AllowPageBreak = true;
  RecordingSurface t1, t2;
  Render(t1, 1);
  EXPECT_EQ(big.pagenr, 1);
  Render(t2, 2);
  const size_t on1 = TextsStarting(t1, u"z").size(), on2 = TextsStarting(t2, u"z").size();
  EXPECT_GT(on1, 0u);
  EXPECT_EQ(on1 + on2, 40u);
}

TEST_F(Layout1Test, TwoColumnsTogetherNarrowerByTwoGaps) {
  set.FourColumns = false;
  set.ZweiColumns = true;
  Prod(Cat(u"C"), u"P", Lines(10));
  RecordingSurface s;
  Render(s, 1);
  const auto lines = TextsStarting(s, u"l");
  ASSERT_EQ(lines.size(), 10u);
  const int32_t gap = Len(set.PlatzZwischenSpaltenEd);
  const int32_t col = (kW - 2 * Len(10) - 3 * gap) / 2;
  // (n + 3) div 2 = 6 lines in the first column, the rest in the second.
  for (int i = 0; i < 10; ++i) EXPECT_EQ(lines[i].x1, i < 6 ? Len(10) : Len(10) + col + gap) << i;
  EXPECT_EQ(lines[6].y1, lines[0].y1);
  EXPECT_EQ(Len(10) + 2 * col + gap, kW - Len(10) - 2 * gap - (kW - 2 * Len(10) - 3 * gap) % 2);
  // The column width decides the wrapping: a line of 45 characters (1125
  // px at 300 ppi) is wider than one column of 1033 px.
  doc.kats[0].products[0].description = std::u16string(20, u'w') + u" " + std::u16string(24, u'v');
  RecordingSurface s2;
  Render(s2, 1);
  EXPECT_NE(s2.FindText(std::u16string(20, u'w')), nullptr);
  EXPECT_NE(s2.FindText(std::u16string(24, u'v')), nullptr);
}

TEST_F(Layout1Test, Layout4ForcesLeftPicturesInOneColumnAndRestoresTheSetting) {
  set.BildLinks = false;
  set.BildRechts = true;
  Product& p = Prod(Cat(u"C"), u"P", Lines(12));
  AddPicture(p, u"pic.bmp", 3, 30, 30);
  RecordingSurface one;
  Render(one, 1, 3);
  EXPECT_TRUE(set.BildRechts);
  EXPECT_FALSE(set.BildLinks);
  EXPECT_FALSE(set.BildZentr);
  ASSERT_NE(FirstRow(one), nullptr);
  EXPECT_EQ(FirstRow(one)->x1, Len(10));
  for (const auto& op : TextsStarting(one, u"l")) EXPECT_EQ(op.x1, Len(10));

  RecordingSurface four;
  Render(four, 1, 0);
  EXPECT_EQ(FirstRow(four)->x1, kW - Len(10) - Len(30));
  int32_t maxx = 0;
  for (const auto& op : TextsStarting(four, u"l")) maxx = std::max(maxx, op.x1);
  EXPECT_GT(maxx, Len(10));  // layout 1 uses its columns
}

TEST_F(Layout1Test, DeactivatedProductsAndCategoriesTakeNoSpace) {
  Prod(Cat(u"C"), u"off", u"gone");
  Prod(doc.kats[0], u"on");
  Prod(Cat(u"D"), u"hidden");
  // Adding records may move them: take them after the last Add.
  Product& off = doc.kats[0].products[0];
  off.deactivated = true;
  off.pagenr = 77;
  Product& on = doc.kats[0].products[1];
  Category& d = doc.kats[1];
  d.options = std::make_unique<CategoryOptions>();
  d.options->deactivated = true;
  d.options->pagenr = 55;
  RecordingSurface s;
  Render(s, 1);
  EXPECT_EQ(off.pagenr, 77);
  EXPECT_EQ(on.pagenr, 1);
  EXPECT_EQ(d.options->pagenr, 55);
  EXPECT_EQ(s.FindText(u"off"), nullptr);
  EXPECT_EQ(s.FindText(u"hidden"), nullptr);
  EXPECT_EQ(session.anzpages, 1);
  // The first product sits right below the heading.
  EXPECT_EQ(s.FindText(u"on")->y1, Pos(10 + 2 * hsub + lh + set.LineWidthEd / 2));
}

TEST_F(Layout1Test, PagebreakafterAndFirstproductnewpage) {
  Category& c = Cat(u"C");
  Prod(c, u"one").pagebreakafter = true;
  Product& two = Prod(c, u"two");
  RecordingSurface s;
  Render(s, 1);
  EXPECT_EQ(two.pagenr, 2);
  c.products[0].pagebreakafter = false;
  c.options->firstproductnewpage = true;
  set.FirstPageNr = 5;
  Render(s, 1);
  EXPECT_EQ(c.options->pagenr, 5);
  EXPECT_EQ(c.products[0].pagenr, 6);
  EXPECT_EQ(two.pagenr, 6);
}

TEST_F(Layout1Test, CachedPassesDrawExactlyWhatAFreshSessionDraws) {
  for (int k = 0; k < 3; ++k) {
    Category& c = Cat(u"K" + std::u16string(1, char16_t(u'0' + k)));
    for (int i = 0; i < 6; ++i) {
      Product& p = Prod(
          c, u"Produkt mit einem langen Namen " + std::u16string(1, char16_t(u'a' + i)),
          u"Eine Beschreibung, die ueber mehrere Zeilen laeuft und in Spalten gesetzt wird. " + Lines(i + 2));
      AddPicture(p, u"p" + std::u16string(1, char16_t(u'a' + i)) + u".bmp", 4, 40, 30 + 10 * i);
      VariantRow* r0 = doc.AddRow(p);
      for (const char16_t* t : {u"Name", u"Preis"}) r0->cells.Add()->text = t;
      VariantRow* r1 = doc.AddRow(p);
      for (const char16_t* t : {u"klein und fein", u"9,90##FF0000"}) r1->cells.Add()->text = t;
      p.pricecols = 1;
    }
  }
  RecordingSurface warm;
  Render(warm, 1);
  const int32_t pages = session.anzpages;
  ASSERT_GE(pages, 2);
  for (int32_t pg = 1; pg <= pages; ++pg) {
    RecordingSurface a;
    Render(a, pg);
    // A fresh session (empty caches) draws the same page.
    testsupport::FixedMeasurer m2;
    RenderSession fresh(doc, m2, loader);
    RecordingSurface b;
    RenderLayout(fresh, Params(b, pg), 0);
    ASSERT_EQ(a.ops.size(), b.ops.size()) << pg;
    for (size_t i = 0; i < a.ops.size(); ++i) {
      EXPECT_EQ(a.ops[i].kind, b.ops[i].kind);
      EXPECT_EQ(a.ops[i].x1, b.ops[i].x1);
      EXPECT_EQ(a.ops[i].y1, b.ops[i].y1);
      EXPECT_EQ(a.ops[i].text, b.ops[i].text);
    }
  }
  EXPECT_FALSE(Render(warm, pages));
  EXPECT_TRUE(Render(warm, pages - 1));
}

TEST_F(Layout1Test, CategoryPictureBeforeTheNameAndBesideTheIntroduction) {
  Category& c = Cat(u"C");
  c.options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  c.options->picfile = u"kat.bmp";
  c.options->picwidth = 3;  // 3 cm = 354 px, aspect 2:1
  dib pic;
  newdib(pic, 60, 30, 24);
  loader.files[u"kat.bmp"] = pic;
  c.options->introtext = u"Intro";
  Prod(c, u"P");
  RecordingSurface s;
  Render(s, 1);
  // Before the name: the picture is at most the band height less twice the
  // margin (100 + 50 - 2 x 23 = 104 px) high; the name follows it.
  const int32_t pm = Len(2);
  const int32_t b = thsub + thsub / 2 - 2 * pm;
  const SurfaceOp* first = nullptr;
  for (const auto& op : s.ops)
    if (op.kind == SurfaceOp::DibRow && !first) first = &op;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->y1, Pos(10) + pm);
  EXPECT_EQ(s.FindText(u"C")->x1, Len(10) + pm + 60 * b / 30);
  EXPECT_EQ(s.FindText(u"Intro")->x1, Pos(10));

  // Below the name and beside the introduction: the text moves right by the
  // picture width and margin, the products start below the picture, and
  // their separators span the whole text width again.
  c.options->picbelowname = 1;
  RecordingSurface s2;
  Render(s2, 1);
  const double pictop = 10 + 2 * hsub;
  EXPECT_EQ(s2.FindText(u"C")->x1, Len(10));
  EXPECT_EQ(s2.FindText(u"Intro")->x1, Pos(10 + 2 + 30));
  EXPECT_EQ(s2.FindText(u"Intro")->y1, Pos(pictop));
  const double below = pictop + 15 + 2;  // picture height 15 mm + margin
  EXPECT_EQ(s2.FindText(u"P")->y1, Pos(below + lh + set.LineWidthEd / 2));
  bool separator = false;
  for (const auto& op : s2.OfKind(SurfaceOp::Line))
    separator |= op.x1 == Len(10) && op.y1 == Pos(below + lh) && op.x2 == kW - Len(10);
  EXPECT_TRUE(separator);
}
