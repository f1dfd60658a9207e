#include <gtest/gtest.h>

#include "fixture.h"

using namespace render;
using layouttest::RecordingSurface;
using layouttest::SurfaceOp;

namespace {

struct Layout3Test : layouttest::FamilyTest {
  // Four columns: cells (210 - 24 - 12) / 4 = 43.5 mm = 513 px, pitch 559 px.
  static constexpr int32_t kCell4 = 513, kPitch4 = 513 + 2 * 23;
  static int32_t Col4(int k) { return 141 + k * kPitch4; }

  Layout3Test() { set.LinesInVariantCheck = false; }

  std::u16string Name(const char16_t* prefix, int i) {
    std::u16string s = prefix;
    s.push_back(static_cast<char16_t>(u'0' + i));
    return s;
  }
  const SurfaceOp& Text(const RecordingSurface& s, const std::u16string& t) {
    const SurfaceOp* op = s.FindText(t);
    EXPECT_TRUE(op) << std::string(t.begin(), t.end());
    static const SurfaceOp none{};
    return op ? *op : none;
  }
};

}  // namespace

TEST_F(Layout3Test, SixProductsInFourColumnsAndTheNextCategoryBelowTheTallerCell) {
  for (bool fourchecked : {true, false}) {
    SCOPED_TRACE(fourchecked);
    doc.NewAll();
    set.FourColumns = fourchecked;  // none checked: four as well
    set.dreiColumns = set.ZweiColumns = false;
    Category& c = Cat(u"K");
    for (int i = 0; i < 4; ++i) Prod(c, Name(u"P", i), u"d");
    Prod(c, u"P4", Lines(3, u"e"));
    Prod(c, u"P5", Lines(6, u"f"));
    Category& next = Cat(u"Next");
    next.options = std::make_unique<CategoryOptions>();
    next.options->nonewpage = true;
    Prod(next, u"Q");
    RecordingSurface s;
    Render(s, 1, 2);
    EXPECT_EQ(session.anzpages, 1);
    const double y0 = FirstProductY();
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Text(s, Name(u"P", i)).x1, Col4(i));
      EXPECT_EQ(Text(s, Name(u"P", i)).y1, Pos(y0 + 0.3));
    }
    // A cell: half line, name, RandBildEd, description and one line, half line.
    const double r1 = y0 + 0.6 + 2 + 3 * lh;
    EXPECT_EQ(Text(s, u"P4").x1, Col4(0));
    EXPECT_EQ(Text(s, u"P5").x1, Col4(1));
    EXPECT_EQ(Text(s, u"P5").y1, Pos(r1 + 0.3));
    EXPECT_EQ(Text(s, u"f05").y1, Pos(r1 + 0.3 + lh + 2 + 5 * lh));
    // The category sharing the page starts below P5 (the taller), 3 x
    // RandBildEd lower; the heading text sits a quarter text height down.
    const double r2 = r1 + 0.6 + 2 + 8 * lh;
    EXPECT_EQ(Text(s, u"Next").y1, Pos(r2 + 6) + 100 / 4);
  }
}

TEST_F(Layout3Test, TwoColumnsOf87MmAndPicturesInTheirCell) {
  set.FourColumns = false;
  set.ZweiColumns = true;
  Category& c = Cat(u"K");
  Product& a = Prod(c, u"A");
  AddPicture(a, u"narrow.png", 5, 500, 250);
  Product& b = Prod(c, u"B");
  AddPicture(b, u"wide.png", 10, 1000, 500);  // wider than the cell
  for (bool centre : {false, true}) {
    SCOPED_TRACE(centre);
    set.BildZentr = centre;
    RecordingSurface s;
    Render(s, 1, 2);
    // (210 - 24 - 12) / 2 = 87 mm; the second cell 91 mm right of the margin
    // (pixels: length(87) + 2 x picmarginpx), ending 8 mm before the right one.
    EXPECT_EQ(Text(s, u"B").x1, 141 + Len(87) + 2 * 23);
    EXPECT_DOUBLE_EQ(12 + 91 + 87.0, 210 - 12 - 8.0);
    const auto pics = PictureOps(s);
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_EQ(pics[0].x1, Pos(centre ? 12 + (87 - 50) / 2.0 : 12));
    EXPECT_EQ(pics[1].x1, Pos(12 + 91));  // at the cell width: nothing to centre
    EXPECT_EQ(pics[1].x2, Len(87));
    EXPECT_EQ(pics[1].y2, 500 * Len(87) / 1000);
    EXPECT_EQ(pics[0].y1, pics[1].y1);
  }
}

TEST_F(Layout3Test, NamesArePaddedToTheLargestLineCountInTheFirstCall) {
  Category& c = Cat(u"K");
  Prod(c, u"A1");
  Prod(c, u"B1\r\nB2");
  Prod(c, u"C1\r\nC2\r\nC3");
  // Adding products may move them: take the first one after the last Add.
  Product& a = c.products[0];
  int i = 0;
  for (Product& p : c.products) AddPicture(p, Name(u"pic", i++), 2, 200, 200);
  const double top = FirstProductY() + 0.3;
  {
    // The very first call already pads (it lays the catalog out twice) and
    // draws the page only once.
    EXPECT_EQ(session.maxlinesforcaptionlasttime, 0);
    RecordingSurface s;
    Render(s, 1, 2);
    EXPECT_EQ(session.maxlinesforcaptionlasttime, 3);
    const auto pics = PictureOps(s);
    ASSERT_EQ(pics.size(), 3u);
    for (const auto& p : pics) EXPECT_EQ(p.y1, Pos(top + 3 * lh + 2));
    EXPECT_EQ(TextsStarting(s, u"A1").size(), 1u);
    EXPECT_EQ(TextsStarting(s, u"C3").size(), 1u);
  }
  {
    // A fourth line in any name: the next call runs twice again.
    a.name = u"A1\r\nA2\r\nA3\r\nA4";
    RecordingSurface s;
    const RenderParams p = Params(s, 1);
    RenderParams preview = p;
    preview.printit = false;
    RenderLayout(session, preview, 2);
    EXPECT_EQ(session.maxlinesforcaptionlasttime, 4);
    for (const auto& op : PictureOps(s)) EXPECT_EQ(op.y1, Pos(top + 4 * lh + 2));
    // The preview page (white with a border) was prepared once.
    int borders = 0;
    for (const auto& op : s.OfKind(SurfaceOp::Frame))
      if (op.x1 == 0 && op.y1 == 0 && op.x2 == kW && op.y2 == kH) ++borders;
    EXPECT_EQ(borders, 2);  // at the start and at the end
  }
}

TEST_F(Layout3Test, TableWiderThanTheCellIsDrawnInBands) {
  set.DefMaxCellWidthCheck = false;
  Category& c = Cat(u"K");
  Product& p = Prod(c, u"P");
  p.pricecols = 0;
  // Columns of 200 px (+ 3 x 11 px padding): two fit in the 513 px cell.
  AddTable(p, {{u"T0aaaaaa", u"T1aaaaaa", u"T2aaaaaa", u"T3aaaaaa", u"T4aaaaaa"},
               {u"v0", u"v1", u"v2", u"v3", u"v4"}});
  Product& w = Prod(c, u"W");
  w.pricecols = 0;
  AddTable(w, {{u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"}, {u"x"}});  // 750 px alone
  RecordingSurface s;
  Render(s, 1, 2);
  const int32_t pad = OneMmPx(300, 100);
  // Columns are placed in millimetres (200 px at 300 ppi, then three 1-mm
  // pads), text one pad inside its band.
  const int32_t x0 = Col4(0) + pad, x1 = Col4(0) + Pos(layouttest::Mm(200) + 3) + pad;
  const SurfaceOp &t0 = Text(s, u"T0aaaaaa"), &t1 = Text(s, u"T1aaaaaa"), &t2 = Text(s, u"T2aaaaaa"),
                  &t3 = Text(s, u"T3aaaaaa"), &t4 = Text(s, u"T4aaaaaa");
  EXPECT_EQ(t0.x1, x0);
  EXPECT_EQ(t1.x1, x1);
  EXPECT_EQ(t1.y1, t0.y1);
  // The next band starts with the first column that did not fit, below
  // the previous band, with its own title row.
  EXPECT_EQ(t2.x1, x0);
  EXPECT_EQ(t3.x1, x1);
  EXPECT_EQ(t3.y1, t2.y1);
  EXPECT_GT(t2.y1, Text(s, u"v1").y1);
  EXPECT_EQ(Text(s, u"v2").x1, x0);
  EXPECT_GT(Text(s, u"v2").y1, t2.y1);
  EXPECT_EQ(t4.x1, x0);
  EXPECT_GT(t4.y1, Text(s, u"v3").y1);
  EXPECT_EQ(TextsStarting(s, u"v").size(), 5u);
  // A single column wider than the cell: drawn at the cell width, wrapped.
  size_t chars = 0;
  for (const auto& op : TextsStarting(s, u"W")) {
    if (op.text.size() > 1 || op.text == u"W") {
      EXPECT_LE(static_cast<int32_t>(op.text.size()) * 25, kCell4);
      chars += op.text.size();
    }
  }
  EXPECT_EQ(chars, 1u + 30u);  // the name and every character of the title
}

TEST_F(Layout3Test, GridRestartsInColumnZeroAfterABreak) {
  Category& c = Cat(u"K");
  Prod(c, u"P0", u"d");
  Prod(c, u"P1", u"d");
  Prod(c, u"P2", Lines(50));  // fits on an empty page, not below the first row
  Prod(c, u"P3", u"d");
  RecordingSurface p1, p2;
  Render(p1, 1, 2);
  Render(p2, 2, 2);
  EXPECT_EQ(session.anzpages, 2);
  EXPECT_EQ(Text(p1, u"P1").x1, Col4(1));
  EXPECT_FALSE(p1.FindText(u"P2"));
  // Moved from column 2 to column 0 of the next page; the rest of the row
  // on page 1 stays empty.
  EXPECT_EQ(Text(p2, u"P2").x1, Col4(0));
  EXPECT_EQ(Text(p2, u"P2").y1, Pos(10 + 0.3));
  EXPECT_EQ(Text(p2, u"P3").x1, Col4(1));
  EXPECT_EQ(Text(p2, u"P3").y1, Pos(10 + 0.3));
}

TEST_F(Layout3Test, PagebreakafterInColumnOneEndsTheRow) {
  Category& c = Cat(u"K");
  Prod(c, u"P0");
  Prod(c, u"P1").pagebreakafter = true;
  Prod(c, u"P2");
  RecordingSurface p1, p2;
  Render(p1, 1, 2);
  Render(p2, 2, 2);
  EXPECT_EQ(Text(p1, u"P1").x1, Col4(1));
  EXPECT_FALSE(p1.FindText(u"P2"));
  EXPECT_EQ(Text(p2, u"P2").x1, Col4(0));
  EXPECT_EQ(Text(p2, u"P2").y1, Pos(10 + 0.3));
}

TEST_F(Layout3Test, ContinuedProductLetsTheRowGoOnAtTheTopOfTheNewPage) {
  Category& c = Cat(u"K");
  Product& p0 = Prod(c, u"P0");  // first on its page: its table continues on page 2
  p0.pricecols = 0;
  VariantRow* title = doc.AddRow(p0);
  title->cells.Add()->text = u"T";
  for (int i = 0; i < 70; ++i) doc.AddRow(p0)->cells.Add()->text = Name(u"r", i % 10);
  Prod(c, u"P1", u"e");
  RecordingSurface p2;
  Render(p2, 2, 2);
  ASSERT_FALSE(TextsStarting(p2, u"r").empty());
  EXPECT_EQ(Text(p2, u"P1").x1, Col4(1));
  EXPECT_EQ(Text(p2, u"P1").y1, Pos(10 + 0.3));
}
